#include "ui/RouteMaps.h"

#include "uMapCoords.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

namespace {

constexpr float PictureWidth = 1024, PictureHeight = 512; // pixels of the city map picture
constexpr float Radians = 3.14159265f / 180.0f;
constexpr float MapEndGap = 9; // screen pixels the map view's route stops short of each mark

// The route's colours: a dark casing under a bright line, readable on lawns, roofs and asphalt.
constexpr uint8_t RouteCasing[4] = {0, 0, 0, 170};
constexpr uint8_t RouteLine[4] = {255, 214, 0, 255};
constexpr uint8_t TargetColour[3] = {231, 0, 75};

void Colour(const uint8_t (&c)[4]) {
    glColor4ub(c[0], c[1], c[2], c[3]);
}

// One pass of the route as separate segments, each already on the screen.
void Segments(const std::vector<TRoutePoint>& screen, float width, const uint8_t (&colour)[4]) {
    glLineWidth(width);
    Colour(colour);
    glBegin(GL_LINES);
    for (size_t i = 0; i + 1 < screen.size(); i += 2) {
        glVertex2f(screen[i].X, screen[i].Y);
        glVertex2f(screen[i + 1].X, screen[i + 1].Y);
    }
    glEnd();
}

// A diamond of half size r round (x, y) with a white rim.
void Diamond(float x, float y, float r, uint8_t alpha) {
    glColor4ub(255, 255, 255, alpha);
    glBegin(GL_QUADS);
    glVertex2f(x, y - r - 2);
    glVertex2f(x + r + 2, y);
    glVertex2f(x, y + r + 2);
    glVertex2f(x - r - 2, y);
    glColor4ub(TargetColour[0], TargetColour[1], TargetColour[2], alpha);
    glVertex2f(x, y - r);
    glVertex2f(x + r, y);
    glVertex2f(x, y + r);
    glVertex2f(x - r, y);
    glEnd();
}

// Drops `gap` pixels of length from the start of the polyline.
void TrimStart(std::vector<TRoutePoint>& line, float gap) {
    while (line.size() >= 2 && gap > 0) {
        float dx = line[1].X - line[0].X, dy = line[1].Y - line[0].Y;
        float length = std::hypot(dx, dy);
        if (length > gap) {
            line[0] = {line[0].X + dx * gap / length, line[0].Y + dy * gap / length};
            return;
        }
        gap -= length;
        line.erase(line.begin());
    }
    if (line.size() < 2)
        line.clear();
}

} // namespace

bool ClipToSquare(TRoutePoint& a, TRoutePoint& b, float left, float bottom, float side) {
    // Liang-Barsky: the part of a + t (b - a), 0 <= t <= 1, inside all four sides.
    float dx = b.X - a.X, dy = b.Y - a.Y;
    float t0 = 0, t1 = 1;
    const float p[4] = {-dx, dx, -dy, dy};
    const float q[4] = {a.X - left, left + side - a.X, a.Y - bottom, bottom + side - a.Y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        float t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    TRoutePoint start = {a.X + dx * t0, a.Y + dy * t0};
    b = {a.X + dx * t1, a.Y + dy * t1};
    a = start;
    return true;
}

void DrawMiniMap(const TMiniMapView& view) {
    const float scale = MiniMapSide / 2 / MiniMapReach; // overlay pixels per metre
    const float cx = MiniMapLeft + MiniMapSide / 2, cy = MiniMapBottom + MiniMapSide / 2;
    const float right = MiniMapLeft + MiniMapSide, top = MiniMapBottom + MiniMapSide;
    auto screen = [&](float x, float y) {
        return TRoutePoint{cx + (x - view.CarX) * scale, cy + (y - view.CarY) * scale};
    };

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);

    glDisable(GL_TEXTURE_2D);
    glColor4ub(0, 0, 0, 200);
    glBegin(GL_QUADS);
    glVertex2f(MiniMapLeft - 3, MiniMapBottom - 3);
    glVertex2f(right + 3, MiniMapBottom - 3);
    glVertex2f(right + 3, top + 3);
    glVertex2f(MiniMapLeft - 3, top + 3);
    glEnd();

    // The picture's square round the car: picture pixels are MapPictureScale per metre.
    float u0 = MapPictureX(view.CarX - MiniMapReach) / PictureWidth;
    float u1 = MapPictureX(view.CarX + MiniMapReach) / PictureWidth;
    float v0 = MapPictureY(view.CarY - MiniMapReach) / PictureHeight;
    float v1 = MapPictureY(view.CarY + MiniMapReach) / PictureHeight;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, view.MapTexture);
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    glTexCoord2f(u0, v0);
    glVertex2f(MiniMapLeft, MiniMapBottom);
    glTexCoord2f(u1, v0);
    glVertex2f(right, MiniMapBottom);
    glTexCoord2f(u1, v1);
    glVertex2f(right, top);
    glTexCoord2f(u0, v1);
    glVertex2f(MiniMapLeft, top);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    if (view.Route && view.Route->size() >= 2) {
        std::vector<TRoutePoint> segments;
        for (size_t i = 0; i + 1 < view.Route->size(); ++i) {
            TRoutePoint a = screen((*view.Route)[i].X, (*view.Route)[i].Y);
            TRoutePoint b = screen((*view.Route)[i + 1].X, (*view.Route)[i + 1].Y);
            if (ClipToSquare(a, b, MiniMapLeft, MiniMapBottom, MiniMapSide)) {
                segments.push_back(a);
                segments.push_back(b);
            }
        }
        Segments(segments, 5, RouteCasing);
        Segments(segments, 3, RouteLine);
    }

    if (view.HasTarget) {
        // Past the edge the mark waits on the edge, on the side the target lies.
        TRoutePoint t = screen(view.TargetX, view.TargetY);
        bool inside = t.X >= MiniMapLeft && t.X <= right && t.Y >= MiniMapBottom && t.Y <= top;
        t.X = std::clamp(t.X, MiniMapLeft + 5, right - 5);
        t.Y = std::clamp(t.Y, MiniMapBottom + 5, top - 5);
        Diamond(t.X, t.Y, inside ? 6 : 4, inside ? 255 : 200);
    }

    // The car: an arrow the way it drives, white on a black rim.
    float travel = (view.CarHeading + 180) * Radians;
    float dx = std::cos(travel), dy = std::sin(travel);
    auto arrow = [&](float grow) {
        glBegin(GL_TRIANGLES);
        glVertex2f(cx + dx * (8 + grow), cy + dy * (8 + grow));
        glVertex2f(cx - dx * (5 + grow) - dy * (5 + grow), cy - dy * (5 + grow) + dx * (5 + grow));
        glVertex2f(cx - dx * (5 + grow) + dy * (5 + grow), cy - dy * (5 + grow) - dx * (5 + grow));
        glEnd();
    };
    glColor4ub(0, 0, 0, 255);
    arrow(2);
    glColor4ub(255, 255, 255, 255);
    arrow(0);
    glPopAttrib();
}

void DrawMapRoute(const std::vector<TRoutePoint>& route) {
    if (route.size() < 2)
        return;
    std::vector<TRoutePoint> line;
    for (const TRoutePoint& p : route)
        line.push_back({MapPictureX(p.X), MapPictureY(p.Y) + MapPictureScreenY});
    TrimStart(line, MapEndGap);
    std::reverse(line.begin(), line.end());
    TrimStart(line, MapEndGap);
    std::vector<TRoutePoint> segments;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        segments.push_back(line[i]);
        segments.push_back(line[i + 1]);
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    Segments(segments, 4, RouteCasing);
    Segments(segments, 2, RouteLine);
    glPopAttrib();
}
