#include "uScenePass.h"
#include "uGLState.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

float SceneScale(int32_t percent, const std::string& renderer, int viewWidth, int viewHeight) {
    if (viewWidth <= 0 || viewHeight <= 0)
        return 1;
    if (percent > 0)
        return float(std::clamp(percent, 25, 100)) / 100.0f;
    bool software = renderer.find("llvmpipe") != std::string::npos ||
                    renderer.find("softpipe") != std::string::npos ||
                    renderer.find("Software") != std::string::npos;
    if (!software)
        return 1;
    // The game's own layout size in the longer of the two directions.
    return std::min(1.0f, std::max(640.0f / float(viewWidth), 480.0f / float(viewHeight)));
}

TScenePass::~TScenePass() {
    if (Texture != 0 && GraphicsAvailable())
        glDeleteTextures(1, &Texture);
}

bool TScenePass::Corner(int32_t percent, const int view[4], int& width, int& height) const {
    if (percent == 100 || Renderer.empty())
        return false;
    float scale = SceneScale(percent, Renderer, view[2], view[3]);
    width = std::max(1, int(std::lround(float(view[2]) * scale)));
    height = std::max(1, int(std::lround(float(view[3]) * scale)));
    return width < view[2] || height < view[3];
}

bool TScenePass::TakeDepthClear(int32_t percent, const int view[4]) {
    int width, height;
    DepthOwed = Corner(percent, view, width, height);
    return DepthOwed;
}

void TScenePass::Begin(int32_t percent) {
    Scaled = false;
    bool depthOwed = DepthOwed;
    DepthOwed = false;
    if (percent == 100) {
        if (depthOwed)
            glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    if (Renderer.empty()) {
        const GLubyte* name = glGetString(GL_RENDERER);
        Renderer = name ? reinterpret_cast<const char*>(name) : "unknown";
    }
    glGetIntegerv(GL_VIEWPORT, View);
    if (!Corner(percent, View, SceneWidth, SceneHeight)) {
        if (depthOwed)
            glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    Scaled = true;
    // Only the corner's depth is cleared, not the window's. The corner sits at the window's origin,
    // not the view's: the rasteriser rounds each vertex in window coordinates, so a scene drawn at
    // another place would come out a few edge pixels different.
    glViewport(0, 0, SceneWidth, SceneHeight);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, SceneWidth, SceneHeight);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void TScenePass::End() {
    if (!Scaled)
        return;
    auto powerOfTwo = [](int n) {
        int p = 1;
        while (p < n)
            p *= 2;
        return p;
    };
    int width = powerOfTwo(SceneWidth), height = powerOfTwo(SceneHeight);
    if (Texture == 0)
        glGenTextures(1, &Texture);
    glBindTexture(GL_TEXTURE_2D, Texture);
    if (width != TextureWidth || height != TextureHeight) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        // Four bytes a texel, as the back buffer holds them: the software renderer copies the
        // corner in without converting each pixel to a three-byte layout.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        TextureWidth = width;
        TextureHeight = height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, SceneWidth, SceneHeight);
    // Where the corner reaches beyond the view into the bars beside or below it, those go back to
    // the clear colour; inside the view the stretched scene covers it.
    glEnable(GL_SCISSOR_TEST);
    if (View[0] > 0) {
        glScissor(0, 0, std::min(View[0], SceneWidth), SceneHeight);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (View[1] > 0) {
        glScissor(0, 0, SceneWidth, std::min(View[1], SceneHeight));
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(View[0], View[1], View[2], View[3]);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST); // the copied alpha is whatever the back buffer holds
    glEnable(GL_TEXTURE_2D);
    // The texels as they are rather than tinted by white: the same pixels, but the software
    // renderer's shader, which runs over the whole view, no longer multiplies in a colour at each.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    PushOrtho(1, 1, -1, 1);
    float s = float(SceneWidth) / float(width), t = float(SceneHeight) / float(height);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(s, 0);
    glVertex2f(1, 0);
    glTexCoord2f(s, t);
    glVertex2f(1, 1);
    glTexCoord2f(0, t);
    glVertex2f(0, 1);
    glEnd();
    PopOrtho();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); // as every other pass draws
    glPopAttrib();
}
