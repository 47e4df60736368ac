#include "CarShape.h"

namespace models {

namespace {

using namespace carbody;

const TRgb Black = Rgb(16, 16, 18);
const TRgb Chrome = Rgb(205, 208, 212);
const TRgb DarkGrey = Rgb(46, 46, 50);
const TRgb Amber = Rgb(240, 150, 30);
const TRgb LampRed = Rgb(200, 20, 20);
const TRgb White = Rgb(235, 235, 228);
const TRgb Rubber = Rgb(28, 28, 30);

TRgb SwatchColour(int swatch, const TCarPalette& p) {
    switch (swatch) {
    case swPaint:
        return p.Paint;
    case swBlack:
        return Black;
    case swChrome:
        return Chrome;
    case swDarkGrey:
        return DarkGrey;
    case swAmber:
        return Amber;
    case swRed:
        return LampRed;
    case swGlass:
        return Rgb(45, 60, 75);
    case swWhite:
        return White;
    case swCargo:
        return p.Cargo;
    case swRubber:
        return Rubber;
    default:
        return DarkGrey; // spare cells
    }
}

class TCarPainter {
  public:
    TCarPainter(const TCarDesign& d, const TCarPalette& p, const TBodyBuild& b)
        : D(d), P(p), Shape(d), Top(b.Hi.z), HalfW(std::max(b.Hi.y, -b.Lo.y)) {}

    TRgb PaintAt(float shade, float sparkleX, float sparkleY) const {
        TRgb c = Scale(P.Paint, shade);
        if (P.Metallic) {
            float n = Hash2(int(sparkleX * 900), int(sparkleY * 900), 7) - 0.5f;
            c = Scale(c, 1.0f + n * 0.08f);
        }
        return c;
    }

    TRgb Glass(float a, float b) const {
        // A dark pane with a soft sky reflection and one diagonal streak.
        TRgb c = Mix(Rgb(32, 42, 54), Rgb(92, 112, 132), Clamp01(b));
        float streak = std::fabs(std::fmod(a * 3 + b * 1.2f + 10.0f, 1.0f) - 0.5f);
        if (streak < 0.06f)
            c = Mix(c, Rgb(170, 185, 200), 0.45f);
        return c;
    }

    TRgb Bumper(float s, float t) const {
        if (D.ChromeBumpers)
            return Mix(Rgb(150, 152, 158), Rgb(240, 242, 246), 0.5f + 0.5f * std::sin(t * 40));
        return Mix(Rgb(24, 24, 26), Rgb(52, 52, 56), t);
    }

    TRgb Plate(float s, float t) const {
        // s, t across the plate 0..1: a white plate with a dark border and blocky characters.
        if (s < 0.04f || s > 0.96f || t < 0.1f || t > 0.9f)
            return Rgb(30, 30, 30);
        if (s > 0.08f && s < 0.92f && t > 0.25f && t < 0.75f) {
            int ch = int((s - 0.08f) / 0.84f * 7);
            float cs = std::fmod((s - 0.08f) / 0.84f * 7, 1.0f);
            if (ch != 3 && cs > 0.15f && cs < 0.85f && Hash2(ch, int(t * 5), 11) > 0.35f)
                return Rgb(20, 20, 24);
        }
        return Rgb(238, 238, 232);
    }

    TRgb CargoSide(float d, float z) const {
        float rel = (d - D.CargoFrom) / (D.CargoTo - D.CargoFrom);
        TRgb c = P.Cargo;
        if (D.CargoTarp) {
            // Tarpaulin over hoops: vertical folds, a rope along the bottom, straps.
            c = Scale(c, 0.9f + 0.1f * std::sin(rel * 60));
            if (std::fabs(std::fmod(rel * 6 + 0.5f, 1.0f) - 0.5f) < 0.012f)
                c = Scale(c, 0.6f);
            if (z < D.CargoBottom + 0.25f)
                c = z < D.CargoBottom + 0.08f ? Rgb(70, 60, 45) : Scale(P.Cargo, 0.8f);
        } else {
            // Ribbed aluminium box.
            c = Scale(c, 0.92f + 0.08f * (std::sin(rel * 140) > 0 ? 1.0f : 0.0f));
            if (z < D.CargoBottom + 0.08f || z > Top - 0.06f)
                c = Rgb(120, 122, 126);
        }
        return c;
    }

    TRgb Side(float d, float z) const {
        float zb = D.Bottom(d);
        if (z < zb - 0.003f)
            return DarkGrey;
        if (D.Arches)
            for (float axle : {D.FrontAxle, D.RearAxle}) {
                float dx = d - axle, dz = z - D.WheelRadius, R = Shape.ArchRadius();
                if (dx * dx + dz * dz < R * R && z < Shape.ArchTop(d) + 0.001f)
                    return Rgb(14, 14, 16);
                // A dark lip around the arch.
                if (dx * dx + dz * dz < (R + 0.03f) * (R + 0.03f) && z > zb)
                    return Scale(P.Paint, 0.55f);
            }
        if (Shape.InCargo(d) && z >= D.CargoBottom - 0.01f)
            return CargoSide(d, z);
        float belt = D.Belt(d), top = D.Top(d);
        if (Shape.Greenhouse(d) && z > belt + 0.01f) {
            for (auto [from, to] : D.Windows) {
                float m = D.PillarMargin;
                bool inside = d > from && d < to && z > belt + 0.035f && z < top - 0.05f &&
                              D.Top(d - m) > z + 0.045f && D.Top(d + m) > z + 0.045f;
                if (inside)
                    return Glass((d - from) / (to - from) * 0.6f, (z - belt) / std::max(0.1f, top - belt));
            }
            // Window rubbers and the pillars between panes are dark; above and beside them, paint.
            for (auto [from, to] : D.Windows)
                if (d > from - 0.03f && d < to + 0.03f && z < top - 0.02f)
                    return Rgb(24, 24, 26);
            return PaintAt(0.95f, d, z);
        }
        float shade = 0.72f + 0.3f * SmoothStep(zb, belt, z);
        if (z > belt - 0.09f && z < belt - 0.06f)
            shade *= 1.12f; // the crease under the shoulder catches the light
        TRgb c = PaintAt(shade, d, z);
        if (P.Stripes && z > belt - 0.20f && z < belt - 0.14f)
            c = P.Accent;
        for (float line : D.DoorLines)
            if (std::fabs(d - line) < 0.007f && z > zb + 0.04f && z < top - 0.04f)
                c = Scale(c, 0.45f);
        for (size_t i = 0; i + 1 < D.DoorLines.size(); i += 2) {
            // A handle behind the leading edge of each door.
            float h0 = D.DoorLines[i + 1] - 0.30f;
            if (d > h0 && d < h0 + 0.14f && z > belt - 0.11f && z < belt - 0.08f)
                c = D.ChromeBumpers ? Chrome : Black;
        }
        if (z < zb + 0.06f)
            c = Scale(c, 0.65f);
        bool bumperZone = d < D.BumperDepth || d > D.Length - D.BumperDepth;
        if (bumperZone && z > D.BumperLo && z < D.BumperHi)
            c = Bumper(d, (z - D.BumperLo) / (D.BumperHi - D.BumperLo));
        // Side marker lamps at both ends, just above the bumper.
        if (z > D.BumperHi + 0.03f && z < D.BumperHi + 0.08f) {
            if (d > 0.08f && d < 0.2f && !Shape.InCargo(d))
                c = Amber;
            if (d > D.Length - 0.2f && d < D.Length - 0.08f && !Shape.InCargo(d))
                c = LampRed;
        }
        return c;
    }

    TRgb TopView(float d, float y) const {
        float ay = std::fabs(y), hw = D.HalfWidth(d);
        if (ay > hw + 0.004f)
            return Rgb(22, 22, 24); // mirrors and what else sticks out
        if (Shape.InCargo(d)) {
            float rel = (d - D.CargoFrom) / (D.CargoTo - D.CargoFrom);
            TRgb c = Scale(P.Cargo, 1.05f - 0.25f * (ay / hw) * (ay / hw));
            if (D.CargoTarp && std::fabs(std::fmod(rel * 6 + 0.5f, 1.0f) - 0.5f) < 0.015f)
                c = Scale(c, 0.6f);
            if (!D.CargoTarp && (ay > hw - 0.05f || std::fabs(std::fmod(rel * 8, 1.0f) - 0.5f) < 0.02f))
                c = Rgb(120, 122, 126);
            return c;
        }
        if (Shape.InBed(d) && ay < hw - D.BedWall) {
            bool rib = std::fabs(std::fmod(y * 6 + 20.0f, 1.0f) - 0.5f) < 0.12f;
            return rib ? Rgb(70, 70, 74) : Rgb(48, 48, 52);
        }
        float edge = (ay / hw) * (ay / hw);
        TRgb c = PaintAt(1.08f - 0.3f * edge, d, y);
        float ht = std::min(D.TopHalfWidth(d), hw - 0.02f);
        if (Shape.Greenhouse(d) && ay < ht) {
            float slope = std::fabs(D.Top.Slope(d));
            float m = 0.05f;
            bool steep =
                std::fabs(D.Top.Slope(d - m)) > D.GlassSlope && std::fabs(D.Top.Slope(d + m)) > D.GlassSlope;
            if (slope > D.GlassSlope && steep && ay < ht - 0.07f)
                return Glass(ay * 0.8f + d * 0.1f, 0.5f + 0.4f * y / ht);
            if (slope <= D.GlassSlope && D.RoofRack && ay < ht - 0.1f &&
                std::fabs(std::fmod(d * 4, 1.0f) - 0.5f) < 0.06f)
                return Chrome;
            if (slope > D.GlassSlope)
                c = Scale(c, 0.8f);
        }
        if (P.Stripes && ay > 0.06f && ay < 0.19f)
            c = P.Accent;
        // Panel lines of the bonnet and boot lid.
        if (!Shape.Greenhouse(d) && std::fabs(ay - (hw - 0.09f)) < 0.006f && d > D.BumperDepth + 0.05f &&
            d < D.Length - D.BumperDepth - 0.05f)
            c = Scale(c, 0.5f);
        if (d < D.BumperDepth || d > D.Length - D.BumperDepth)
            c = Bumper(d, 0.5f);
        return c;
    }

    TRgb LampColour(const TLampSpot& lamp, float y, float z, TRgb glass, TRgb rim, bool& hit) const {
        float ly = lamp.Y, ay = lamp.Y == 0 ? y : std::fabs(y);
        bool in = lamp.Round ? InEllipse(ay, z, ly, lamp.Z, lamp.HalfW, lamp.HalfH)
                             : InRoundRect(ay, z, ly - lamp.HalfW, lamp.Z - lamp.HalfH, ly + lamp.HalfW,
                                           lamp.Z + lamp.HalfH, std::min(lamp.HalfW, lamp.HalfH) * 0.3f);
        hit = in;
        if (!in)
            return {};
        float ex = (ay - ly) / lamp.HalfW, ez = (z - lamp.Z) / lamp.HalfH;
        float rr = lamp.Round ? std::sqrt(ex * ex + ez * ez) : std::max(std::fabs(ex), std::fabs(ez));
        if (rr > 0.82f)
            return rim;
        return Mix(glass, White, Clamp01(0.6f - rr) * 0.8f);
    }

    // The frontmost (or rearmost) station whose section covers (y, z).
    float HitStation(float y, float z, bool front) const {
        const auto& s = Shape.Stations;
        for (size_t i = 0; i < s.size(); ++i) {
            float d = front ? s[i] : s[s.size() - 1 - i];
            float hw = Shape.HalfWidthAt(d, z);
            if (hw >= 0 && std::fabs(y) <= hw + 0.002f) {
                if (Shape.InBed(d) && std::fabs(y) < D.HalfWidth(d) - D.BedWall && z > D.BedFloor)
                    continue;
                return d;
            }
        }
        return front ? 0.0f : D.Length;
    }

    TRgb End(float y, float z, bool front) const {
        float d = HitStation(y, z, front);
        float ay = std::fabs(y);
        float belt = D.Belt(d), top = D.Top(d);
        // Plate, lamps and bumper first: on trucks they sit on boxes below the cab and the load.
        float plateZ = front ? D.PlateZ : D.RearPlateZ;
        if (ay < 0.26f && std::fabs(z - plateZ) < 0.06f)
            return Plate(front ? (0.26f - y) / 0.52f : (y + 0.26f) / 0.52f, (z - plateZ + 0.06f) / 0.12f);
        bool hit = false;
        for (const TLampSpot& lamp : front ? D.HeadLamps : D.TailLamps) {
            TRgb l = front ? LampColour(lamp, y, z, Rgb(205, 210, 200), Chrome, hit)
                           : LampColour(lamp, y, z, Rgb(190, 16, 16), Rgb(90, 10, 10), hit);
            if (hit) {
                // Tail lamps carry a white reversing segment on their inner end.
                if (!front && !lamp.Round && ay < lamp.Y - lamp.HalfW * 0.45f)
                    l = Rgb(225, 225, 220);
                return l;
            }
        }
        if (front)
            for (const TLampSpot& lamp : D.Indicators) {
                TRgb l = LampColour(lamp, y, z, Amber, Rgb(120, 70, 10), hit);
                if (hit)
                    return l;
            }
        if (z > D.BumperLo && z < D.BumperHi)
            return Bumper(y, (z - D.BumperLo) / (D.BumperHi - D.BumperLo));
        if (z < D.Bottom(d) - 0.003f)
            return DarkGrey;
        if (Shape.InCargo(d)) {
            TRgb c = P.Cargo;
            if (!front) {
                // Rear doors: a centre seam, hinges and lock bars.
                if (ay < 0.012f || std::fabs(ay - 0.45f * D.HalfWidth(d)) < 0.015f)
                    c = Scale(c, 0.55f);
                if (z < D.CargoBottom + 0.07f || z > Top - 0.07f || ay > D.HalfWidth(d) - 0.06f)
                    c = Rgb(110, 112, 116);
            } else if (z > Top - 0.08f && ay < 0.6f) {
                c = Amber; // clearance lamps over the cab
            }
            return c;
        }
        if (Shape.Greenhouse(d) && z > belt + 0.015f) {
            float hwz = Shape.HalfWidthAt(d, z);
            if (ay < hwz - 0.08f && z < top - 0.045f && z > belt + 0.05f)
                return Glass(y * 0.4f + (front ? 0.0f : 0.3f), (z - belt) / std::max(0.1f, top - belt));
            return Scale(PaintAt(0.95f, y, z), 0.85f);
        }
        TRgb c = PaintAt(0.92f + 0.1f * SmoothStep(D.Bottom(d), belt, z), y, z);
        if (P.Stripes && ay > 0.06f && ay < 0.19f && z > belt - 0.25f)
            c = P.Accent;
        if (front && D.Grille.HalfW > 0 &&
            InRoundRect(y, z, -D.Grille.HalfW, D.Grille.Z - D.Grille.HalfH, D.Grille.HalfW,
                        D.Grille.Z + D.Grille.HalfH, 0.02f)) {
            bool bar = std::fabs(std::fmod((z - D.Grille.Z) * 28 + 10.0f, 1.0f) - 0.5f) < 0.18f;
            c = D.GrilleChrome ? (bar ? Chrome : Rgb(20, 20, 22)) : (bar ? Rgb(55, 55, 60) : Rgb(14, 14, 16));
            if (std::fabs(ay - D.Grille.HalfW) < 0.02f || std::fabs(z - D.Grille.Z) > D.Grille.HalfH - 0.015f)
                c = D.GrilleChrome ? Chrome : Rgb(30, 30, 32);
        }
        return c;
    }

    TRgb Rim(float s, float t) const {
        float x = s * 2 - 1, y = t * 2 - 1, rr = std::sqrt(x * x + y * y);
        float rim = RimFraction;
        if (rr > 1.0f)
            return Rubber;
        if (rr > rim) {
            // Sidewall with a raised ring of lettering.
            TRgb c = Rgb(34, 34, 36);
            float a = std::atan2(y, x);
            if (rr > rim + (1 - rim) * 0.45f && rr < rim + (1 - rim) * 0.62f &&
                std::fabs(std::sin(a * 24)) > 0.7f && std::sin(a * 3) > 0.2f)
                c = Rgb(78, 78, 80);
            return c;
        }
        float a = std::atan2(y, x), q = rr / rim;
        TRgb metal = D.RimColour;
        switch (D.Rim) {
        case TRim::Steel: {
            TRgb c = Scale(metal, 0.9f + 0.1f * q);
            if (q > 0.55f && q < 0.72f && std::fabs(std::sin(a * 4)) > 0.85f)
                return Rgb(20, 20, 22); // ventilation holes
            if (q < 0.3f)
                c = Scale(metal, 1.1f);
            if (q > 0.92f)
                c = Scale(metal, 0.7f);
            return c;
        }
        case TRim::ChromeSpokes: {
            if (q > 0.9f || q < 0.28f)
                return Chrome;
            float spoke = std::fabs(std::sin(a * 2.5f));
            return spoke < 0.3f ? Chrome : Rgb(30, 30, 34);
        }
        case TRim::Alloy: {
            if (q > 0.9f)
                return Scale(metal, 0.85f);
            if (q < 0.25f)
                return Scale(metal, 1.05f);
            float spoke = std::fabs(std::sin(a * 5));
            return spoke < 0.45f ? Scale(metal, 1.0f + 0.1f * q) : Rgb(36, 36, 40);
        }
        case TRim::Hubcap: {
            TRgb c = Scale(Chrome, 0.85f + 0.15f * std::cos(q * 18));
            if (q > 0.95f)
                c = Rgb(40, 40, 44);
            return c;
        }
        case TRim::Truck: {
            TRgb c = Scale(metal, 0.85f + 0.15f * q);
            if (q < 0.42f)
                c = Rgb(60, 60, 62);
            for (int i = 0; i < 8; ++i) {
                float na = float(i) * 0.785398f;
                if (InEllipse(x / rim, y / rim, 0.3f * std::cos(na), 0.3f * std::sin(na), 0.05f, 0.05f))
                    return Chrome;
            }
            if (q > 0.62f && q < 0.78f && std::fabs(std::sin(a * 5)) > 0.8f)
                return Rgb(20, 20, 22);
            return c;
        }
        }
        return metal;
    }

    TRgb Tread(float s, float t) const {
        // s around the tyre, t across it: blocks with a centre groove, worn shoulders.
        TRgb c = Rgb(36, 36, 38);
        float across = std::fabs(t - 0.5f);
        if (across > 0.42f)
            return Rgb(30, 30, 32);
        bool groove = across < 0.03f || std::fabs(across - 0.22f) < 0.025f;
        bool sipe = std::fabs(std::fmod(s * 48 + (t > 0.5f ? 0.5f : 0.0f), 1.0f) - 0.5f) < 0.12f;
        if (groove || sipe)
            c = Rgb(14, 14, 15);
        return c;
    }

    const TCarDesign& D;
    const TCarPalette& P;
    TBodyShape Shape;
    float Top, HalfW;
    float RimFraction = 0.62f;
};

} // namespace

TAtlas PaintCarAtlas(const TCarDesign& design, const TCarPalette& palette) {
    TBodyBuild build = BuildRawBody(design);
    TCarPainter painter(design, palette, build);
    float L = design.Length, T = painter.Top, W = painter.HalfW;
    TAtlas atlas(AtlasSize, AtlasSize);
    atlas.Paint(SideRect.X0, SideRect.Y0, SideRect.X1, SideRect.Y1,
                [&](float s, float t) { return painter.Side(s * L, t * T); });
    atlas.Paint(TopRect.X0, TopRect.Y0, TopRect.X1, TopRect.Y1,
                [&](float s, float t) { return painter.TopView(s * L, t * 2 * W - W); });
    atlas.Paint(FrontRect.X0, FrontRect.Y0, FrontRect.X1, FrontRect.Y1,
                [&](float s, float t) { return painter.End(W - s * 2 * W, t * T, true); });
    atlas.Paint(RearRect.X0, RearRect.Y0, RearRect.X1, RearRect.Y1,
                [&](float s, float t) { return painter.End(s * 2 * W - W, t * T, false); });
    atlas.Paint(RimRect.X0, RimRect.Y0, RimRect.X1, RimRect.Y1,
                [&](float s, float t) { return painter.Rim(s, t); });
    atlas.Paint(TreadRect.X0, TreadRect.Y0, TreadRect.X1, TreadRect.Y1,
                [&](float s, float t) { return painter.Tread(s, t); });
    atlas.Paint(SwatchX, SwatchY, AtlasSize, AtlasSize, [&](float s, float t) {
        int col = std::min(7, int(s * 8)), row = std::min(5, int(t * 6));
        return SwatchColour(row * 8 + col, palette);
    });
    atlas.Paint(0, 480, SwatchX, AtlasSize, [&](float, float) { return DarkGrey; });
    return atlas;
}

} // namespace models
