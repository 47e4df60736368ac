// Pedestrians: four figures (suit, summer dress, heavy man in jeans, teenager in a hoodie), each in
// three walking poses. The game steps the poses 1, 2, 3, 2: pose 1 has the left leg forward, pose 3
// the right, pose 2 passes with the legs together, arms swinging against the legs. A figure faces
// -y (the pedestrian walks towards -y at heading 0) with its feet on z = 0.
#include "BMPWriter.h"
#include "ModelSet.h"
#include "Writer3ds.h"

#include <algorithm>

namespace models {

namespace {

// Atlas of a figure, 128 x 128: one 32 x 32 cell per cloth, the head and the torso get 64 x 64.
enum TCloth { clSkin, clHair, clTop, clBottom, clShoes, clAccent, clCount };
struct TCell {
    int X0, Y0, X1, Y1;
};
constexpr int HumanAtlas = 128;
constexpr TCell HeadCell{0, 64, 64, 128};
constexpr TCell TorsoCell{64, 64, 128, 128};
constexpr TCell ClothCells[clCount] = {{0, 0, 32, 32},   {32, 0, 64, 32}, {64, 0, 96, 32},
                                       {96, 0, 128, 32}, {0, 32, 32, 64}, {32, 32, 64, 64}};

UV CellUV(const TCell& c, float s, float t) {
    s = 0.04f + 0.92f * Clamp01(s);
    t = 0.04f + 0.92f * Clamp01(t);
    return {(float(c.X0) + s * float(c.X1 - c.X0)) / HumanAtlas,
            (float(c.Y0) + t * float(c.Y1 - c.Y0)) / HumanAtlas};
}

enum class TTopStyle { Suit, Dress, TShirt, Hoodie };

struct TFigure {
    char Letter = '1';         // file name digit: human<N><a|b|c>
    float Height = 1.8f;       // metres
    float ShoulderHalf = 0.2f; // half distance between the shoulder joints
    float HipHalf = 0.09f;     // half distance between the hip joints
    float TorsoDepth = 0.1f;   // half depth of the chest front to back
    float Belly = 0;           // extra half depth at the waist
    float LimbRadius = 0.07f;  // thigh radius; the rest scale from it
    TTopStyle Top = TTopStyle::Suit;
    bool ShortSleeves = false;
    bool LongHair = false;
    bool Cap = false;
    TRgb Skin, Hair, Cloth, Trousers, Shoes, Accent;
};

// Joint angles of one pose, degrees; positive swings forward (towards -y).
struct TPose {
    float LeftHip, LeftKnee, RightHip, RightKnee;
    float LeftShoulder, LeftElbow, RightShoulder, RightElbow;
};

// How finely a figure is built. The game draws the far model beyond the engine's FarMeshDepth, where
// a figure stands small in the picture and its limbs are a few pixels wide: fewer sides show the same
// outline, and the caps where two parts meet inside each other or at a bent joint cover a pixel or
// none.
struct TDetail {
    int Limb = 6;       // sides of legs, arms and neck
    int Hand = 4;       // sides of the hands
    int Body = 8;       // sides of pelvis, torso, skirt and cap
    int HeadAround = 8; // the head's sphere
    int HeadDown = 6;
    bool JointCaps = true;
};
constexpr TDetail NearDetail{};
constexpr TDetail FarDetail{4, 3, 6, 6, 4, false};

// The ends of a limb that sit in a joint or inside another part; a figure without joint caps leaves
// them open.
enum TJoint : uint8_t { NoJoint = 0, JointAtA = 1, JointAtB = 2, JointsAtBoth = 3 };

const TPose Poses[3] = {
    {24, 6, -26, 28, -22, 18, 24, 30}, // left leg forward, right arm forward
    {2, 4, -2, 14, 2, 14, -2, 14},     // passing
    {-26, 28, 24, 6, 24, 30, -22, 18}, // right leg forward, left arm forward
};

class THumanBuilder {
  public:
    THumanBuilder(const TFigure& f, const TDetail& detail = NearDetail) : F(f), D(detail) {}

    // A tapered prism of `sides` around the segment a-b, elliptical (radius x, radius y at each
    // end), textured around and along from a cloth cell.
    void Limb(V3 a, V3 b, float ra, float rb, const TCell& cell, int sides, TJoint joints = NoJoint,
              float depthScale = 1.0f, float depthScaleB = -1.0f) {
        if (depthScaleB < 0)
            depthScaleB = depthScale;
        V3 axis = b - a;
        float len = Length(axis);
        V3 dir = axis * (1.0f / len);
        // A frame around the segment whose `front` axis points forward (-y) as far as it can; the
        // texture wraps round from the front, so a torso shows its chest at s = 0 and 1.
        V3 side = Cross(dir, V3{0, -1, 0});
        if (Length(side) < 0.2f)
            side = Cross(dir, V3{0, 0, 1});
        side = side * (1.0f / Length(side));
        V3 front = Cross(side, dir);
        auto ring = [&](V3 centre, float r, float depth, int i) {
            float ang = 2 * Pi * float(i % sides) / float(sides) + Pi / float(sides);
            return centre + front * (r * depth * std::cos(ang)) +
                   side * (r * std::sin(ang)); // s = 0 and 1 in front
        };
        V3 middle = (a + b) * 0.5f;
        for (int i = 0; i < sides; ++i) {
            float s0 = float(i) / float(sides), s1 = float(i + 1) / float(sides);
            V3 p0 = ring(a, ra, depthScale, i), p1 = ring(a, ra, depthScale, i + 1);
            V3 q0 = ring(b, rb, depthScaleB, i), q1 = ring(b, rb, depthScaleB, i + 1);
            UV u00 = CellUV(cell, s0, 0), u10 = CellUV(cell, s1, 0), u01 = CellUV(cell, s0, 1),
               u11 = CellUV(cell, s1, 1);
            B.TriangleAway(p0, p1, q1, u00, u10, u11, LocalAxis(a, b, p0, q1));
            B.TriangleAway(p0, q1, q0, u00, u11, u01, LocalAxis(a, b, p0, q1));
            UV centreUV = CellUV(cell, 0.5f, 0.5f);
            if (D.JointCaps || !(joints & JointAtA))
                B.TriangleAway(a, p1, p0, centreUV, u10, u00, middle);
            if (D.JointCaps || !(joints & JointAtB))
                B.TriangleAway(b, q0, q1, centreUV, u01, u11, middle);
        }
    }

    // A box between two corners, one cloth cell.
    void Box(V3 lo, V3 hi, const TCell& cell) {
        V3 c[8];
        for (int i = 0; i < 8; ++i)
            c[i] = {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
        const int quads[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                 {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
        V3 middle = (lo + hi) * 0.5f;
        for (const auto& q : quads) {
            UV a = CellUV(cell, 0, 0), b = CellUV(cell, 1, 0), cc = CellUV(cell, 1, 1),
               d = CellUV(cell, 0, 1);
            B.TriangleAway(c[q[0]], c[q[1]], c[q[2]], a, b, cc, middle);
            B.TriangleAway(c[q[0]], c[q[2]], c[q[3]], a, cc, d, middle);
        }
    }

    // A low sphere (8 around and 6 down near, fewer far) mapped by angle and height onto the head
    // cell; the face at -y.
    void Head(V3 centre, float r) {
        const int around = D.HeadAround, down = D.HeadDown;
        auto point = [&](int i, int j) {
            float ang = 2 * Pi * float(i) / around; // i = 0 looks forward (-y)
            float lat = Pi / 2 - Pi * float(j) / down;
            return V3{centre.x + r * 0.9f * std::cos(lat) * std::sin(ang),
                      centre.y - r * std::cos(lat) * std::cos(ang), centre.z + r * 1.12f * std::sin(lat)};
        };
        auto uv = [&](int i, int j) { return CellUV(HeadCell, float(i) / around, 1 - float(j) / down); };
        for (int j = 0; j < down; ++j)
            for (int i = 0; i < around; ++i) {
                V3 a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1), d = point(i, j + 1);
                if (j > 0)
                    B.TriangleAway(a, b, c, uv(i, j), uv(i + 1, j), uv(i + 1, j + 1), centre);
                if (j < down - 1)
                    B.TriangleAway(a, c, d, uv(i, j), uv(i + 1, j + 1), uv(i, j + 1), centre);
            }
    }

    V3 LocalAxis(V3 a, V3 b, V3 p, V3 q) const {
        // The point of the segment a-b nearest to the quad's middle: the inside of a limb.
        V3 m = (p + q) * 0.5f, ab = b - a;
        float t = Clamp01(Dot(m - a, ab) / Dot(ab, ab));
        return a + ab * t;
    }

    TMeshBuilder Build(const TPose& pose) {
        float h = F.Height;
        float footH = 0.07f, hipZ = 0.52f * h, thigh = 0.235f * h, shin = 0.225f * h;
        float shoulderZ = 0.815f * h, neckZ = 0.85f * h, headZ = 0.925f * h, headR = 0.068f * h;
        float upper = 0.17f * h, fore = 0.15f * h;
        float r = F.LimbRadius;
        auto rad = [](float deg) { return deg * Pi / 180; };
        auto legEnd = [&](float hip, float knee, float& ankleZ, float& ankleY) {
            float a = rad(hip), k = rad(knee);
            float kneeY = -std::sin(a) * thigh, kneeZ = -std::cos(a) * thigh;
            ankleY = kneeY - std::sin(a - k) * shin;
            ankleZ = kneeZ - std::cos(a - k) * shin;
        };
        float lz, ly, rz, ry;
        legEnd(pose.LeftHip, pose.LeftKnee, lz, ly);
        legEnd(pose.RightHip, pose.RightKnee, rz, ry);
        // Lower the hips until the lower foot stands on the ground.
        float hip = -std::min(lz, rz) + footH;
        hipZ = std::min(hipZ, hip);
        float drop = 0.52f * h - hipZ;
        shoulderZ -= drop;
        neckZ -= drop;
        headZ -= drop;

        const TCell& skin = ClothCells[clSkin];
        const TCell& top = ClothCells[clTop];
        const TCell& bottom = ClothCells[clBottom];
        const TCell& shoes = ClothCells[clShoes];
        const TCell& legCloth = F.Top == TTopStyle::Dress ? skin : bottom;

        for (int side = 0; side < 2; ++side) {
            // The figure's left is +x.
            float x = side == 0 ? F.HipHalf : -F.HipHalf;
            float hipDeg = side == 0 ? pose.LeftHip : pose.RightHip;
            float kneeDeg = side == 0 ? pose.LeftKnee : pose.RightKnee;
            float a = rad(hipDeg), k = rad(kneeDeg);
            V3 hipJoint{x, 0, hipZ};
            V3 knee = hipJoint + V3{0, -std::sin(a) * thigh, -std::cos(a) * thigh};
            V3 ankle = knee + V3{0, -std::sin(a - k) * shin, -std::cos(a - k) * shin};
            Limb(hipJoint, knee, r, r * 0.8f, legCloth, D.Limb, JointsAtBoth);
            Limb(knee, ankle, r * 0.8f, r * 0.55f, legCloth, D.Limb, JointsAtBoth);
            float footZ = ankle.z - footH;
            Box({x - 0.05f, ankle.y - 0.17f, footZ}, {x + 0.05f, ankle.y + 0.06f, footZ + footH + 0.01f},
                shoes);
        }
        // Pelvis and torso, deeper at the waist for a belly.
        Limb({0, 0, hipZ - 0.05f}, {0, 0, hipZ + 0.12f}, F.HipHalf + r * 0.9f, F.HipHalf + r,
             F.Top == TTopStyle::Dress ? top : bottom, D.Body, JointAtB,
             (F.TorsoDepth + F.Belly * 0.5f) / (F.HipHalf + r));
        float waistR = F.ShoulderHalf * 0.78f, chestR = F.ShoulderHalf + r * 0.5f;
        Limb({0, 0, hipZ + 0.1f}, {0, 0, shoulderZ + 0.03f}, waistR, chestR, TorsoCell, D.Body, JointAtA,
             (F.TorsoDepth + F.Belly) / waistR, F.TorsoDepth / chestR);
        if (F.Top == TTopStyle::Dress) {
            // A flared skirt from the waist to just above the knees.
            Limb({0, 0, hipZ + 0.12f}, {0, 0, hipZ - 0.27f * h * 0.75f}, waistR * 1.05f, F.HipHalf + r * 2.2f,
                 top, D.Body, JointAtA, 0.85f);
        }
        Limb({0, 0, shoulderZ}, {0, 0, neckZ + 0.03f}, 0.045f * h / 1.8f, 0.045f * h / 1.8f, skin, D.Limb,
             JointsAtBoth);
        Head({0, -0.01f, headZ}, headR);
        if (F.LongHair)
            Box({-headR * 0.85f, 0.0f, headZ - headR * 1.6f},
                {headR * 0.85f, headR * 0.95f, headZ + headR * 0.6f}, ClothCells[clHair]);
        if (F.Cap) {
            Limb({0, 0, headZ + headR * 0.55f}, {0, 0, headZ + headR * 1.2f}, headR * 1.0f, headR * 0.8f,
                 ClothCells[clAccent], D.Body);
            Box({-headR * 0.7f, -headR * 1.5f, headZ + headR * 0.5f},
                {headR * 0.7f, -headR * 0.6f, headZ + headR * 0.62f}, ClothCells[clAccent]);
        }
        for (int side = 0; side < 2; ++side) {
            float x = side == 0 ? F.ShoulderHalf : -F.ShoulderHalf;
            float out = side == 0 ? 1.0f : -1.0f;
            float b = rad(side == 0 ? pose.LeftShoulder : pose.RightShoulder);
            float e = rad(side == 0 ? pose.LeftElbow : pose.RightElbow);
            V3 shoulder{x, 0, shoulderZ - 0.02f};
            V3 elbow = shoulder + V3{out * 0.03f, -std::sin(b) * upper, -std::cos(b) * upper};
            V3 wrist = elbow + V3{out * 0.01f, -std::sin(b + e) * fore, -std::cos(b + e) * fore};
            V3 hand = wrist + V3{0, -std::sin(b + e) * 0.08f, -std::cos(b + e) * 0.08f};
            const TCell& sleeve = F.ShortSleeves ? skin : top;
            Limb(shoulder, elbow, r * 0.72f, r * 0.6f, top, D.Limb, JointAtB);
            Limb(elbow, wrist, r * 0.6f, r * 0.48f, sleeve, D.Limb, JointsAtBoth);
            Limb(wrist, hand, r * 0.45f, r * 0.4f, skin, D.Hand, JointAtA);
        }
        return std::move(B);
    }

    const TFigure& F;
    const TDetail& D;
    TMeshBuilder B;
};

TAtlas PaintHuman(const TFigure& f) {
    TAtlas atlas(HumanAtlas, HumanAtlas);
    const TRgb colours[clCount] = {f.Skin, f.Hair, f.Cloth, f.Trousers, f.Shoes, f.Accent};
    for (int c = 0; c < clCount; ++c) {
        const TCell& cell = ClothCells[c];
        TRgb base = colours[c];
        bool denim = c == clBottom && f.Top == TTopStyle::TShirt;
        atlas.Paint(cell.X0, cell.Y0, cell.X1, cell.Y1, [&](float s, float t) {
            TRgb col = Scale(base, 0.85f + 0.2f * t);
            if (denim)
                col = Scale(col, 0.92f + 0.16f * Noise2(s * 24, t * 24, 5));
            if (c != clSkin && std::fabs(s - 0.5f) < 0.03f)
                col = Scale(col, 0.8f); // a seam down the back
            return col;
        });
    }
    // Head: s around (0 and 1 at the face, which looks to -y), t up. Hair on top and at the back.
    atlas.Paint(HeadCell.X0, HeadCell.Y0, HeadCell.X1, HeadCell.Y1, [&](float s, float t) {
        float fromFace = std::min(s, 1 - s); // 0 at the middle of the face, 0.5 at the back
        float hairline =
            f.Hair.r + f.Hair.g + f.Hair.b < 0.01f ? 2.0f : 0.72f - 0.35f * SmoothStep(0.1f, 0.3f, fromFace);
        if (f.Cap)
            hairline = std::min(hairline, 0.74f);
        if (t > hairline)
            return Scale(f.Hair, 0.9f + 0.2f * Noise2(s * 30, t * 30, 3));
        TRgb c = f.Skin;
        // Eyes, brows, nose shadow and mouth on the face.
        float ex = std::fabs(fromFace - 0.075f);
        if (ex < 0.025f && std::fabs(t - 0.55f) < 0.03f)
            c = Rgb(30, 30, 40);
        if (ex < 0.035f && std::fabs(t - 0.62f) < 0.012f)
            c = Scale(f.Hair, 0.8f);
        if (fromFace < 0.04f && std::fabs(t - 0.33f) < 0.018f)
            c = Rgb(150, 70, 70);
        if (fromFace > 0.2f && fromFace < 0.26f && std::fabs(t - 0.5f) < 0.08f)
            c = Scale(f.Skin, 0.85f); // ears
        return c;
    });
    // Torso: s around (the chest at s = 0 and 1), t up.
    atlas.Paint(TorsoCell.X0, TorsoCell.Y0, TorsoCell.X1, TorsoCell.Y1, [&](float s, float t) {
        float fromFront = std::min(s, 1 - s);
        TRgb c = Scale(f.Cloth, 0.88f + 0.16f * t);
        switch (f.Top) {
        case TTopStyle::Suit:
            if (fromFront < 0.08f && t > 0.45f)
                c = Rgb(235, 235, 235); // shirt in the open jacket
            if (fromFront < 0.025f && t > 0.42f)
                c = f.Accent; // tie
            if (fromFront < 0.1f && std::fabs(t - 0.35f) < 0.02f)
                c = Scale(f.Cloth, 0.7f);
            break;
        case TTopStyle::Dress:
            if (t < 0.12f)
                c = Scale(f.Cloth, 0.75f); // belt
            if (fromFront < 0.06f && t > 0.85f)
                c = f.Skin; // neckline
            break;
        case TTopStyle::TShirt:
            if (fromFront < 0.12f && t > 0.4f && t < 0.7f && InEllipse(fromFront, t, 0, 0.55f, 0.1f, 0.1f))
                c = f.Accent; // print on the chest
            break;
        case TTopStyle::Hoodie:
            if (fromFront < 0.015f && t > 0.3f)
                c = Rgb(60, 60, 60); // zip
            if (fromFront < 0.14f && t < 0.3f && t > 0.1f)
                c = Scale(f.Cloth, 0.82f); // pocket
            if (fromFront > 0.35f && t > 0.7f)
                c = Scale(f.Cloth, 0.8f); // hood
            break;
        }
        return c;
    });
    return atlas;
}

TFigure Figure(char letter, float height, float shoulderHalf, float hipHalf, float torsoDepth, float belly,
               float limbRadius, TTopStyle top) {
    TFigure f;
    f.Letter = letter;
    f.Height = height;
    f.ShoulderHalf = shoulderHalf;
    f.HipHalf = hipHalf;
    f.TorsoDepth = torsoDepth;
    f.Belly = belly;
    f.LimbRadius = limbRadius;
    f.Top = top;
    return f;
}

std::vector<TFigure> Figures() {
    TFigure suit = Figure('1', 1.82f, 0.20f, 0.09f, 0.11f, 0.0f, 0.075f, TTopStyle::Suit);
    suit.Skin = Rgb(226, 186, 156);
    suit.Hair = Rgb(58, 40, 26);
    suit.Cloth = Rgb(44, 50, 68);
    suit.Trousers = Rgb(40, 46, 62);
    suit.Shoes = Rgb(22, 18, 16);
    suit.Accent = Rgb(170, 24, 30);
    TFigure dress = Figure('2', 1.72f, 0.17f, 0.085f, 0.10f, 0.0f, 0.065f, TTopStyle::Dress);
    dress.ShortSleeves = true;
    dress.LongHair = true;
    dress.Skin = Rgb(236, 198, 170);
    dress.Hair = Rgb(222, 186, 96);
    dress.Cloth = Rgb(200, 30, 48);
    dress.Trousers = Rgb(200, 30, 48);
    dress.Shoes = Rgb(120, 20, 30);
    dress.Accent = Rgb(250, 250, 250);
    TFigure heavy = Figure('3', 1.76f, 0.23f, 0.11f, 0.14f, 0.07f, 0.085f, TTopStyle::TShirt);
    heavy.ShortSleeves = true;
    heavy.Skin = Rgb(214, 168, 136);
    heavy.Hair = Rgb(150, 148, 140);
    heavy.Cloth = Rgb(56, 140, 64);
    heavy.Trousers = Rgb(52, 76, 128);
    heavy.Shoes = Rgb(96, 60, 32);
    heavy.Accent = Rgb(240, 210, 60);
    TFigure teen = Figure('4', 1.68f, 0.18f, 0.085f, 0.10f, 0.0f, 0.068f, TTopStyle::Hoodie);
    teen.Cap = true;
    teen.Skin = Rgb(190, 140, 104);
    teen.Hair = Rgb(24, 20, 18);
    teen.Cloth = Rgb(236, 196, 40);
    teen.Trousers = Rgb(28, 28, 32);
    teen.Shoes = Rgb(236, 236, 236);
    teen.Accent = Rgb(200, 36, 36);
    return {suit, dress, heavy, teen};
}

} // namespace

size_t HumanTriangles(int figure, int pose, bool far) {
    std::vector<TFigure> figures = Figures();
    THumanBuilder builder(figures.at(size_t(figure)), far ? FarDetail : NearDetail);
    return builder.Build(Poses[pose]).TriangleCount();
}

void WritePedestrians(const TFileSink& sink) {
    for (const TFigure& figure : Figures()) {
        std::string texture = std::string("human") + figure.Letter + ".bmp";
        sink("meshes/" + texture, EncodeBMP(PaintHuman(figure).Image()));
        for (int pose = 0; pose < 3; ++pose) {
            std::string name = std::string("meshes/human") + figure.Letter + char('a' + pose);
            THumanBuilder near(figure, NearDetail), far(figure, FarDetail);
            TMeshBuilder nearMesh = near.Build(Poses[pose]), farMesh = far.Build(Poses[pose]);
            sink(name + ".3ds", Encode3DS(SingleMaterialModel("person", "clothes", texture, nearMesh)));
            sink(name + "_far.3ds", Encode3DS(SingleMaterialModel("person", "clothes", texture, farMesh)));
        }
    }
}

} // namespace models
