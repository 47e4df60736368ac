// TQuadBatch: textured, tinted quads gathered on the CPU and handed to the driver as client-side
// vertex arrays (GL 1.1), one draw for each run of quads that share a texture, in the order they
// were added, so the blended picture is the same as quad by quad. Owns its vertex storage, which
// keeps its capacity from frame to frame.
#pragma once

#include <cstdint>
#include <vector>

struct TBatchVertex {
    float S, T;
    float Red, Green, Blue, Alpha; // 0..1
    float X, Y, Z;
};

class TQuadBatch {
  public:
    // Turns the vertex, texture coordinate and colour arrays on; End draws what is left, leaves the
    // last colour current (as glEnd would) and turns them off again. No texture is bound until the
    // first SetTexture.
    void Begin();
    void End();
    // Binds `texture` for the quads that follow; the quads gathered under another texture are drawn
    // first. Setting the bound texture again costs nothing.
    void SetTexture(uint32_t texture);
    // The colour of the vertices that follow.
    void SetColor(float red, float green, float blue, float alpha);
    void SetColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    // One corner; every four make a quad.
    void Vertex(float s, float t, float x, float y, float z = 0) {
        Vertices.push_back({s, t, Red, Green, Blue, Alpha, x, y, z});
    }
    // Draws the gathered quads.
    void Flush();

  private:
    std::vector<TBatchVertex> Vertices;
    float Red = 1, Green = 1, Blue = 1, Alpha = 1;
    uint32_t Bound = 0;
    bool HasTexture = false;
};
