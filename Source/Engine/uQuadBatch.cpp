#include "uQuadBatch.h"

#include <GL/gl.h>

void TQuadBatch::Begin() {
    Vertices.clear();
    HasTexture = false;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

void TQuadBatch::End() {
    bool drew = !Vertices.empty();
    TBatchVertex last = drew ? Vertices.back() : TBatchVertex{};
    Flush();
    // With the colour array on, the current colour is undefined after a draw; what follows may
    // still count on the last one, as it could after glEnd.
    if (drew)
        glColor4f(last.Red, last.Green, last.Blue, last.Alpha);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

void TQuadBatch::SetTexture(uint32_t texture) {
    if (HasTexture && texture == Bound)
        return;
    Flush();
    glBindTexture(GL_TEXTURE_2D, texture);
    Bound = texture;
    HasTexture = true;
}

void TQuadBatch::SetColor(float red, float green, float blue, float alpha) {
    Red = red;
    Green = green;
    Blue = blue;
    Alpha = alpha;
}

void TQuadBatch::SetColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    SetColor(float(red) / 255.0f, float(green) / 255.0f, float(blue) / 255.0f, float(alpha) / 255.0f);
}

void TQuadBatch::Flush() {
    if (Vertices.empty())
        return;
    constexpr GLsizei stride = sizeof(TBatchVertex);
    glTexCoordPointer(2, GL_FLOAT, stride, &Vertices[0].S);
    glColorPointer(4, GL_FLOAT, stride, &Vertices[0].Red);
    glVertexPointer(3, GL_FLOAT, stride, &Vertices[0].X);
    glDrawArrays(GL_QUADS, 0, GLsizei(Vertices.size()));
    Vertices.clear();
}
