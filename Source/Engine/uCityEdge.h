// TCityEdge: the country round the town. One mesh piece (a meadow with a fence on its town side and
// a wood beyond) is repeated along the four sides of the city, outside its cells, behind the walls
// that keep the cars in; the pieces near the camera are drawn. Owns nothing but the placement.
#pragma once

#include "Resources.h"
#include "uCamera.h"

#include <vector>

class TCityEdge {
  public:
    // `piece`: the loaded mesh, centred on its bounding box by the loader; its local +Y points away
    // from the town and its town side is the bounding box's low Y.
    TCityEdge(const TCamera& camera, const TMeshRecord& piece);

    struct TPiece {
        dVector3 Centre;
        float Heading; // degrees about Z, counter-clockwise
    };
    // The pieces the next Draw draws, for the camera as it is now.
    void CollectVisible(std::vector<TPiece>& pieces) const;
    void Draw();

  private:
    const TCamera& Camera;
    TMeshRecord Piece;
    std::vector<TPiece> Placed; // every piece round the town, placed once
    std::vector<TPiece> VisibleScratch;
};
