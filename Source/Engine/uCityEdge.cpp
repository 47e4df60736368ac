#include "uCityEdge.h"

#include "u3ds.h"
#include "uTextureGrid.h"

#include <cmath>

namespace {

// The walls round the town fill the outermost row of cells: the country starts at their inner face.
constexpr float InnerLow = 1, InnerHigh = GridSize - 1;
constexpr float Lift = 0.03f; // the meadow lies just above the ground tiles it covers

} // namespace

TCityEdge::TCityEdge(const TCamera& camera, const TMeshRecord& piece) : Camera(camera), Piece(piece) {
    float length = Piece.Extent.x, depth = Piece.Extent.y, z = Piece.Extent.z / 2 + Lift;
    if (!(length > 1) || !(depth > 1))
        return; // a degenerate piece draws nothing rather than thousands of slivers
    int count = int(std::ceil(GridSize / length));
    // South and north run on past the corners by one piece each way, so the corners are wooded too.
    for (int k = -1; k <= count; ++k) {
        float along = (float(k) + 0.5f) * length;
        Placed.push_back({VectorMake(along, InnerLow - depth / 2, z), 180});
        Placed.push_back({VectorMake(along, InnerHigh + depth / 2, z), 0});
    }
    for (int k = 0; k < count; ++k) {
        float along = (float(k) + 0.5f) * length;
        Placed.push_back({VectorMake(InnerHigh + depth / 2, along, z), -90});
        Placed.push_back({VectorMake(InnerLow - depth / 2, along, z), 90});
    }
}

void TCityEdge::CollectVisible(std::vector<TPiece>& pieces) const {
    pieces.clear();
    // Only what lies within the ground square round the camera target, and then only in the view.
    float reach = float(Camera.ViewDistance) + std::hypot(Piece.Extent.x, Piece.Extent.y) / 2;
    float radius = std::sqrt(VectorDot(Piece.Extent, Piece.Extent)) / 2;
    for (const TPiece& piece : Placed)
        if (std::fabs(piece.Centre.x - Camera.TargetX) < reach && std::fabs(piece.Centre.y - Camera.TargetY) < reach &&
            Camera.SphereVisible(piece.Centre, radius))
            pieces.push_back(piece);
}

void TCityEdge::Draw() {
    CollectVisible(VisibleScratch);
    for (const TPiece& piece : VisibleScratch)
        CallListAt(Piece.List, piece.Centre, piece.Heading);
}
