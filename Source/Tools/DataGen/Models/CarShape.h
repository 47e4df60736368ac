// The inside of the car builder shared by the body mesh and the atlas painter: the atlas layout
// every car uses, the body's cross-sections derived from the design's profile curves, and the raw
// triangles of body and boxes before texture coordinates are given.
#pragma once

#include "CarModels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace models::carbody {

// Atlas layout shared by every car (so a wheel can be drawn with any atlas of its model).
constexpr int AtlasSize = 512;
struct TRect {
    int X0, Y0, X1, Y1;
};
constexpr TRect SideRect{0, 0, 512, 160};
constexpr TRect TopRect{0, 160, 512, 352};
constexpr TRect FrontRect{0, 352, 128, 480};
constexpr TRect RearRect{128, 352, 256, 480};
constexpr TRect RimRect{256, 352, 384, 480};
constexpr TRect TreadRect{384, 352, 512, 416};
constexpr int SwatchX = 384, SwatchY = 416, SwatchCell = 16;

// Texture coordinate of (s, t) in 0..1 across an atlas area, kept 1.5 texels inside it so that
// linear filtering never reaches the neighbouring area.
UV AtRect(const TRect& r, float s, float t);
// The centre of a solid swatch cell.
UV SwatchUV(int swatch);

struct TRawTriangle {
    V3 P[3];
    int Swatch = -1;
};

// Everything the body builder and the painter derive from the design's curves.
class TBodyShape {
  public:
    explicit TBodyShape(const TCarDesign& d) : D(d) {
        std::vector<float> stations;
        for (const TCurve* curve : {&d.Bottom, &d.Belt, &d.Top, &d.HalfWidth, &d.TopHalfWidth})
            for (auto [x, y] : curve->Points)
                stations.push_back(x);
        stations.push_back(0);
        stations.push_back(d.Length);
        if (d.Arches)
            for (float axle : {d.FrontAxle, d.RearAxle}) {
                float reach = ArchRadius();
                for (int i = 0; i <= 8; ++i)
                    stations.push_back(axle - reach + reach * 2 * float(i) / 8);
            }
        if (d.BedFrom >= 0)
            for (float x : {d.BedFrom, d.BedFrom + 0.005f, d.BedTo, d.BedTo + 0.005f})
                stations.push_back(x);
        std::sort(stations.begin(), stations.end());
        for (float x : stations)
            if (x >= 0 && x <= d.Length && (Stations.empty() || x - Stations.back() > 0.0005f))
                Stations.push_back(x);
    }

    float ArchRadius() const { return D.WheelRadius + 0.05f; }
    float WellWidth() const { return D.WheelWidth + 0.12f; }

    float ArchTop(float d) const {
        float z = D.Bottom(d);
        if (!D.Arches)
            return z;
        for (float axle : {D.FrontAxle, D.RearAxle}) {
            float dx = d - axle, R = ArchRadius();
            if (std::fabs(dx) < R)
                z = std::max(z, D.WheelRadius + std::sqrt(R * R - dx * dx));
        }
        return std::min(z, D.Belt(d) - 0.12f);
    }

    bool InBed(float d) const { return D.BedFrom >= 0 && d > D.BedFrom + 0.001f && d < D.BedTo + 0.001f; }
    bool InCargo(float d) const { return D.CargoFrom >= 0 && d >= D.CargoFrom && d <= D.CargoTo; }
    bool Greenhouse(float d) const { return D.Top(d) - D.Belt(d) > 0.12f && !InCargo(d) && !InBed(d); }

    // Right half of the cross-section at d, counter-clockwise in (y, z) from the bottom centre
    // to the top centre; every section has the same number of points.
    std::vector<std::pair<float, float>> Section(float d) const {
        float zb = D.Bottom(d), za = ArchTop(d), belt = D.Belt(d), top = std::max(D.Top(d), belt + 0.01f);
        float hw = D.HalfWidth(d), ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        // Without arches the well points stay on the floor line, inside the rounded sill corner.
        float well = D.Arches ? std::min(WellWidth(), hw - 0.05f) : 0.06f;
        float g = Clamp01((top - belt - 0.02f) / 0.1f);
        float sideLow = std::min(za + 0.05f, belt - 0.07f);
        std::vector<std::pair<float, float>> s;
        s.emplace_back(0.0f, zb);
        s.emplace_back(hw - well - 0.001f, zb);
        s.emplace_back(hw - well, za);
        s.emplace_back(hw - 0.04f, za);
        s.emplace_back(hw, sideLow);
        s.emplace_back(hw, belt - 0.06f);
        s.emplace_back(hw - 0.03f, belt);
        float y7 = hw - 0.05f + (ht - (hw - 0.05f)) * g;
        float y8 = hw - 0.10f + (ht - 0.06f - (hw - 0.10f)) * g;
        s.emplace_back(y7, std::max(belt + 0.01f, top - 0.05f));
        if (InBed(d)) {
            float inner = hw - D.BedWall;
            s.emplace_back(inner, top);
            s.emplace_back(inner - 0.001f, D.BedFloor);
            s.emplace_back(0.0f, D.BedFloor);
        } else {
            s.emplace_back(y8, top);
            s.emplace_back(y8 * 0.5f, top + D.Crown * 0.75f);
            s.emplace_back(0.0f, top + D.Crown);
        }
        return s;
    }

    // Half width of the body at height z of station d; negative where the section does not reach.
    float HalfWidthAt(float d, float z) const {
        float zb = D.Bottom(d), belt = D.Belt(d), top = std::max(D.Top(d), belt + 0.01f) + D.Crown;
        if (z < zb || z > top)
            return -1;
        float hw = D.HalfWidth(d);
        if (z <= belt)
            return hw;
        float ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        return hw + (ht - hw) * Clamp01((z - belt) / std::max(0.01f, top - belt));
    }

    const TCarDesign& D;
    std::vector<float> Stations;
};

struct TBodyBuild {
    std::vector<TRawTriangle> Triangles;
    V3 Lo, Hi;
    float Clearance = 0;
};

// The body's loft, caps and boxes in design coordinates (ground at z = 0, front at x = 0), with the
// under-tray that gives the vehicle's clearance. Throws naming the car when its wheels do not fit.
TBodyBuild BuildRawBody(const TCarDesign& design);

} // namespace models::carbody
