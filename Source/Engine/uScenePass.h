// TScenePass: the 3D pass drawn at a share of the window's pixels and stretched to fill it, for a
// renderer that cannot shade every pixel of a large window in time. GL 1.1 has no off-screen
// targets: the scene is drawn into the back buffer's bottom-left corner, copied into a texture and
// drawn from it over the whole view; the 2D passes after it stay sharp. Owns that texture.
#pragma once

#include <cstdint>
#include <string>

// The share of each side of the view the scene is drawn at, 0 < scale <= 1. `percent` is the
// player's setting: 0 picks for itself (a software renderer, named by `renderer`, draws the scene at
// the game's own 640 x 480 or a little more; any other renderer draws it at full size), otherwise the
// percentage itself, 25 at least.
float SceneScale(int32_t percent, const std::string& renderer, int viewWidth, int viewHeight);

class TScenePass {
  public:
    TScenePass() = default;
    ~TScenePass();
    TScenePass(const TScenePass&) = delete;
    TScenePass& operator=(const TScenePass&) = delete;

    // Narrows the viewport to the scene's corner when the scale asks for fewer pixels than the
    // current viewport (the layout's) has, and clears the corner's depth; at full size it changes
    // nothing.
    void Begin(int32_t percent);
    // Asked as a frame begins: true when a pass at `percent` in the layout's viewport `view` would
    // draw into a corner, so the frame need not clear the depth of the whole window; the next Begin
    // then clears what depth it draws on, the corner's or, should the scale have changed since, the
    // window's. False until the first Begin has met the renderer.
    bool TakeDepthClear(int32_t percent, const int view[4]);
    // Stretches the corner over the layout's viewport and puts that viewport back.
    void End();

  private:
    // The corner's size for that scale and view; true when it is smaller than the view.
    bool Corner(int32_t percent, const int view[4], int& width, int& height) const;

    uint32_t Texture = 0;
    int TextureWidth = 0, TextureHeight = 0; // powers of two, as GL 1.1 needs
    int View[4] = {};                        // the layout's viewport
    int SceneWidth = 0, SceneHeight = 0;     // the corner drawn, in pixels
    bool Scaled = false;
    bool DepthOwed = false; // the frame left its depth clear to Begin
    std::string Renderer;   // GL_RENDERER, read once
};
