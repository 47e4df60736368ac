// The generated models as the game reads them: every mesh key parses with the game's 3DS reader,
// every face has a textured material whose picture exists, sizes, triangle budgets, winding, and
// the body-on-wheels relation of the vehicle. The model generator is compiled into this test, so
// it checks exactly the bytes kalgen writes.
#include "../Source/Tools/DataGen/Models/AllModels.inc"

#include "u3ds.h"
#include "uBMP.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace models;

namespace {

std::string Directory(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}

class DataSetModels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Files = new std::map<std::string, std::vector<uint8_t>>();
        WriteModelSet([](const std::string& path, const std::vector<uint8_t>& bytes) {
            EXPECT_EQ(Files->count(path), 0u) << path << " written twice";
            (*Files)[path] = bytes;
        });
    }
    static void TearDownTestSuite() {
        delete Files;
        Files = nullptr;
    }

    static T3dsModel Model(const std::string& path) {
        T3dsModel model;
        EXPECT_TRUE(Files->count(path)) << path;
        if (Files->count(path)) {
            EXPECT_NO_THROW(model = Parse3DS(Files->at(path), path));
        }
        return model;
    }

    static TBMPImage Picture(const std::string& path) {
        TBMPImage image;
        EXPECT_TRUE(Files->count(path)) << path;
        if (Files->count(path)) {
            EXPECT_NO_THROW(image = ParseBMP(Files->at(path), path));
        }
        return image;
    }

    static const uint8_t* Texel(const TBMPImage& image, float u, float v) {
        int x = std::clamp(int(u * float(image.Width)), 0, image.Width - 1);
        int y = std::clamp(int(v * float(image.Height)), 0, image.Height - 1);
        return &image.Pixels[(size_t(y) * size_t(image.Width) + size_t(x)) * 3];
    }

    static std::map<std::string, std::vector<uint8_t>>* Files;
};

std::map<std::string, std::vector<uint8_t>>* DataSetModels::Files = nullptr;

double SignedVolume(const T3dsObject& object) {
    double volume = 0;
    for (const auto& f : object.Faces) {
        const dVector3 &a = object.Vertices[f[0]], &b = object.Vertices[f[1]], &c = object.Vertices[f[2]];
        volume += (double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                   double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                   double(a.z) * (double(b.x) * c.y - double(b.y) * c.x)) /
                  6.0;
    }
    return volume;
}

} // namespace

TEST_F(DataSetModels, EveryMeshKeyParsesWithTexturedMaterialsOnEveryFace) {
    std::set<std::string> keys;
    for (const TMeshEntry& entry : MeshTable()) {
        SCOPED_TRACE(entry.Key);
        EXPECT_TRUE(keys.insert(entry.Key).second) << "key listed twice";
        T3dsModel model = Model(entry.File);
        EXPECT_EQ(model.Version, 3u);
        ASSERT_FALSE(model.Objects.empty());
        for (const T3dsObject& object : model.Objects) {
            ASSERT_GE(object.Material, 0) << object.Name << " has no material";
            const T3dsMaterial& material = model.Materials[size_t(object.Material)];
            ASSERT_FALSE(material.TextureFile.empty()) << material.Name << " has no texture";
            // Without a replacement the loader takes the texture from the model's own directory.
            std::string texture =
                *entry.Texture ? std::string(entry.Texture) : Directory(entry.File) + material.TextureFile;
            TBMPImage image = Picture(texture);
            EXPECT_EQ(image.Format, TBMPFormat::RGB);
            EXPECT_EQ(image.Width & (image.Width - 1), 0) << "width not a power of two";
            EXPECT_EQ(image.Height & (image.Height - 1), 0) << "height not a power of two";
            // Every material of the file must also load from the model's own directory.
            Picture(Directory(entry.File) + material.TextureFile);
            ASSERT_EQ(object.TexCoords.size(), object.Vertices.size());
            for (const auto& uv : object.TexCoords) {
                EXPECT_GE(uv[0], 0.0f);
                EXPECT_LE(uv[0], 1.0f);
                EXPECT_GE(uv[1], 0.0f);
                EXPECT_LE(uv[1], 1.0f);
            }
        }
    }
    EXPECT_EQ(keys.size(), 66u);
}

TEST_F(DataSetModels, ExtentsMatchWhatTheGamePlacesThem) {
    for (const TMeshEntry& entry : MeshTable()) {
        SCOPED_TRACE(entry.Key);
        T3dsModel model = Model(entry.File);
        dVector3 extent;
        ASSERT_TRUE(CentreAndScale(model, entry.Scale, extent));
        std::string key = entry.Key;
        if (key.rfind("human", 0) == 0) {
            EXPECT_GT(extent.z, 1.55f);
            EXPECT_LT(extent.z, 1.90f);
            EXPECT_LT(extent.x, 0.8f);
        } else if (key.rfind("cube_", 0) == 0) {
            // 8 units scaled by 0.25: a 2 m box that turns 3 m above the station.
            EXPECT_FLOAT_EQ(extent.x, 2.0f);
            EXPECT_FLOAT_EQ(extent.z, 2.0f);
        } else if (key == "arrow") {
            // Centred 1 m above the ground: it must stay clear of the road.
            EXPECT_LT(extent.z, 1.9f);
            EXPECT_GT(extent.x, 0.8f);
        } else if (key.find("wheel") != std::string::npos) {
            EXPECT_FLOAT_EQ(extent.x, extent.z) << "a wheel is round about its axle (y)";
            EXPECT_LT(extent.y, extent.x);
        } else if (key.rfind("liaz", 0) == 0) {
            EXPECT_NEAR(extent.x, 8.0f, 0.3f);
        } else {
            EXPECT_GT(extent.x, 3.8f);
            EXPECT_LT(extent.x, 6.0f);
            EXPECT_GT(extent.y, 1.6f);
            EXPECT_LT(extent.y, 2.5f);
            EXPECT_GT(extent.x, extent.y * 2) << "the length runs along x";
        }
    }
    T3dsModel bmw = Model("cars/bmw/bmw.3ds");
    dVector3 extent;
    ASSERT_TRUE(CentreAndScale(bmw, 1, extent));
    EXPECT_NEAR(extent.x, 4.3f, 0.2f); // a saloon: about 4.2 x 1.7
    EXPECT_NEAR(extent.y, 1.75f, 0.15f);
}

TEST_F(DataSetModels, TriangleBudgets) {
    for (const TCarDesign& design : CarDesigns()) {
        SCOPED_TRACE(design.Name);
        TCarGeometry g = MeasureCar(design);
        EXPECT_LT(g.BodyTriangles, 1500u);
        EXPECT_LT(g.WheelTriangles, 300u);
        EXPECT_GT(g.BodyTriangles, 300u) << "suspiciously few triangles";
    }
    for (int figure = 0; figure < 4; ++figure)
        for (int pose = 0; pose < 3; ++pose) {
            EXPECT_LT(HumanTriangles(figure, pose), 800u) << figure << pose;
            EXPECT_LT(HumanTriangles(figure, pose, true), HumanTriangles(figure, pose) * 3 / 5)
                << figure << pose;
        }
}

TEST_F(DataSetModels, FacesPointOutwardsForTheCulledSide) {
    // OpenGL draws counter-clockwise faces only: every closed model must have a positive volume.
    std::set<std::string> seen;
    for (const TMeshEntry& entry : MeshTable()) {
        if (!seen.insert(entry.File).second)
            continue;
        T3dsModel model = Model(entry.File);
        for (const T3dsObject& object : model.Objects)
            EXPECT_GT(SignedVolume(object), 0.0) << entry.File;
    }
}

TEST_F(DataSetModels, BodySitsOnItsWheelsAsTheVehicleHangsThem) {
    // The vehicle puts the wheels H - 2r under the body centre and draws the mesh r lower, so the
    // mesh's lowest point is H/2 - 2r above the ground.
    for (const TCarDesign& design : CarDesigns()) {
        SCOPED_TRACE(design.Name);
        T3dsModel body = Model(design.Directory + "/" + design.MeshFile);
        T3dsModel wheel = Model(design.Directory + "/" + design.WheelFile);
        dVector3 bodyExtent, wheelExtent;
        ASSERT_TRUE(CentreAndScale(body, 1, bodyExtent));
        ASSERT_TRUE(CentreAndScale(wheel, 1, wheelExtent));
        float r = design.WheelRadius;
        EXPECT_NEAR(wheelExtent.z, 2 * r, 1e-4f) << "the wheel mesh is as large as the wheel sphere";
        float clearance = bodyExtent.z / 2 - 2 * r;
        TCarGeometry g = MeasureCar(design);
        EXPECT_NEAR(clearance, g.Clearance, 1e-4f);
        EXPECT_GT(clearance, 0.05f);
        EXPECT_LT(clearance, 0.45f);
        // Wheels stand inside the body outline, front axle at -x.
        EXPECT_GT(g.FrontAxle, 0.2f);
        EXPECT_GT(g.RearAxle, 0.15f);
        EXPECT_LT(g.FrontAxle * g.Length + r, g.Length / 2 + 1e-3f);
        EXPECT_LT(g.HalfTrack + design.WheelWidth / 2, g.Width / 2);
        EXPECT_LT(g.FrontLamp.x, -g.Length / 2 + 0.1f) << "headlamps at the front (-x)";
        EXPECT_GT(g.RearLamp.x, g.Length / 2 - 0.1f);
    }
}

TEST_F(DataSetModels, FrontEndCarriesTheFrontViewOfTheAtlas) {
    // Faces at the lowest x (the front) take their texture from the front view with the headlamps.
    for (const TCarDesign& design : CarDesigns()) {
        SCOPED_TRACE(design.Name);
        T3dsModel model = Model(design.Directory + "/" + design.MeshFile);
        const T3dsObject& body = model.Objects[0];
        int frontFaces = 0;
        for (const auto& f : body.Faces) {
            float x = (body.Vertices[f[0]].x + body.Vertices[f[1]].x + body.Vertices[f[2]].x) / 3;
            if (x > 0.005f)
                continue;
            ++frontFaces;
            for (uint32_t i : f) {
                EXPECT_LE(body.TexCoords[i][0], 128.0f / 512 + 1e-4f);
                EXPECT_GE(body.TexCoords[i][1], 352.0f / 512 - 1e-4f);
            }
        }
        EXPECT_GT(frontFaces, 8);
        // The headlamp glass is bright in the front view of every colour scheme.
        const TLampSpot& lamp = design.HeadLamps.front();
        TBMPImage atlas = Picture(design.Palettes.back().Path);
        TCarGeometry g = MeasureCar(design);
        float top = g.Height + g.Clearance;
        const uint8_t* p =
            Texel(atlas, (g.Width / 2 - lamp.Y) / g.Width * 128 / 512, (352 + lamp.Z / top * 128) / 512);
        EXPECT_GT(p[0] + p[1] + p[2], 450);
    }
}

TEST_F(DataSetModels, WheelsDrawTheSameTyreWithEveryColourAtlas) {
    // The Fabia's wheel is drawn with fabia_white.bmp, and any wheel may meet any atlas of its car:
    // wheel texture coordinates must land on the tyre and rim, never on paint.
    for (const TCarDesign& design : CarDesigns()) {
        SCOPED_TRACE(design.Name);
        T3dsModel wheel = Model(design.Directory + "/" + design.WheelFile);
        std::vector<TBMPImage> atlases;
        for (const TCarPalette& palette : design.Palettes)
            atlases.push_back(Picture(palette.Path));
        const T3dsObject& object = wheel.Objects[0];
        int dark = 0;
        for (const auto& uv : object.TexCoords) {
            const uint8_t* first = Texel(atlases[0], uv[0], uv[1]);
            for (const TBMPImage& atlas : atlases) {
                const uint8_t* p = Texel(atlas, uv[0], uv[1]);
                EXPECT_EQ(std::vector<uint8_t>(p, p + 3), std::vector<uint8_t>(first, first + 3));
            }
            if (first[0] + first[1] + first[2] < 150)
                ++dark;
        }
        EXPECT_GT(dark, int(object.TexCoords.size()) / 2) << "mostly black rubber";
    }
}

TEST_F(DataSetModels, PedestrianPosesStepWithoutJumping) {
    for (int figure = 1; figure <= 4; ++figure) {
        SCOPED_TRACE(figure);
        float centreY[3], height[3], width[3];
        for (int pose = 0; pose < 3; ++pose) {
            std::string file = "meshes/human" + std::to_string(figure) + char('a' + pose) + ".3ds";
            T3dsModel model = Model(file);
            float lo = 1e9f, hi = -1e9f, zlo = 1e9f, zhi = -1e9f, xlo = 1e9f, xhi = -1e9f;
            for (const dVector3& v : model.Objects[0].Vertices) {
                lo = std::min(lo, v.y);
                hi = std::max(hi, v.y);
                zlo = std::min(zlo, v.z);
                zhi = std::max(zhi, v.z);
                xlo = std::min(xlo, v.x);
                xhi = std::max(xhi, v.x);
            }
            centreY[pose] = (lo + hi) / 2;
            height[pose] = zhi - zlo;
            width[pose] = xhi - xlo;
            EXPECT_NEAR(zlo, 0.0f, 1e-4f) << "feet on the ground";
            EXPECT_NEAR((xlo + xhi) / 2, 0.0f, 0.01f);
        }
        // The loader centres every pose on its box: the body must not shuffle between poses.
        EXPECT_LT(std::fabs(centreY[0] - centreY[1]), 0.06f);
        EXPECT_LT(std::fabs(centreY[2] - centreY[1]), 0.06f);
        EXPECT_NEAR(centreY[0], centreY[2], 0.01f);
        EXPECT_NEAR(height[0], height[2], 0.01f);
        EXPECT_NEAR(width[0], width[2], 0.01f);
        EXPECT_LT(height[0], height[1]) << "the stride lowers the hips";
    }
}

TEST_F(DataSetModels, GenerationIsDeterministic) {
    std::map<std::string, std::vector<uint8_t>> again;
    WriteMarkers([&](const std::string& path, const std::vector<uint8_t>& bytes) { again[path] = bytes; });
    WriteCar(CarDesigns()[1],
             [&](const std::string& path, const std::vector<uint8_t>& bytes) { again[path] = bytes; });
    for (const auto& [path, bytes] : again)
        EXPECT_EQ(bytes, Files->at(path)) << path;
}

TEST(ModelKit, CurveIsLinearBetweenPointsAndFlatBeyond) {
    TCurve curve{{{0, 1}, {2, 3}, {2.5f, 0}}};
    EXPECT_FLOAT_EQ(curve(-1), 1);
    EXPECT_FLOAT_EQ(curve(1), 2);
    EXPECT_FLOAT_EQ(curve(2.25f), 1.5f);
    EXPECT_FLOAT_EQ(curve(9), 0);
    EXPECT_FLOAT_EQ(curve.Slope(1), 1);
    EXPECT_FLOAT_EQ(curve.Slope(2.2f), -6);
}

TEST(ModelKit, BuilderSharesEqualCornersOnlyWithEqualTextureCoordinates) {
    TMeshBuilder b;
    b.Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0}, {1, 0}, {0, 1});
    b.Triangle({1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0}, {1, 1}, {0, 1});
    EXPECT_EQ(b.Object.Vertices.size(), 4u);
    b.Triangle({1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0}, {1, 1}, {0, 1});
    EXPECT_EQ(b.Object.Vertices.size(), 5u);
    // Turned to face away from a point below: counter-clockwise seen from +z.
    TMeshBuilder c;
    c.TriangleAway({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {}, {}, {}, {0.3f, 0.3f, -1});
    const auto& f = c.Object.Faces[0];
    const dVector3 &p0 = c.Object.Vertices[f[0]], &p1 = c.Object.Vertices[f[1]],
                   &p2 = c.Object.Vertices[f[2]];
    float nz = (p1.x - p0.x) * (p2.y - p0.y) - (p1.y - p0.y) * (p2.x - p0.x);
    EXPECT_GT(nz, 0);
}

namespace {

// Colour of the car atlas at a point of one of its views (metres of the car, as the painter sees it).
struct TAtlasProbe {
    TBMPImage Image;
    TCarGeometry G;
    const uint8_t* At(int x, int y) const {
        return &Image.Pixels[(size_t(y) * size_t(Image.Width) + size_t(x)) * 3];
    }
    // Side view: d from the front, z above the ground.
    const uint8_t* Side(float d, float z) const {
        return At(int(d / G.Length * 511), int(z / (G.Height + G.Clearance) * 159));
    }
    // Top view: d from the front, y across.
    const uint8_t* Top(float d, float y) const {
        return At(int(d / G.Length * 511), 160 + int((y + G.Width / 2) / G.Width * 191));
    }
};

TAtlasProbe Probe(const TCarDesign& design, size_t palette = 0) {
    TAtlasProbe probe;
    probe.Image = PaintCarAtlas(design, design.Palettes.at(palette)).Image();
    probe.G = MeasureCar(design);
    return probe;
}

bool Bluish(const uint8_t* p) {
    return p[2] > p[0] + 10 && p[0] + p[1] + p[2] < 500;
}
int Brightness(const uint8_t* p) {
    return p[0] + p[1] + p[2];
}

const TCarDesign& Design(const std::vector<TCarDesign>& designs, const std::string& name) {
    for (const TCarDesign& d : designs)
        if (d.Name == name)
            return d;
    throw std::runtime_error("no design " + name);
}

} // namespace

TEST(CarAtlas, WindowsWheelArchesAndSillLandWhereTheBodyHasThem) {
    std::vector<TCarDesign> designs = CarDesigns();
    const TCarDesign& golf = Design(designs, "golf");
    TAtlasProbe p = Probe(golf);
    // Middle of the door window, half way between belt and roof: glass.
    float d = (golf.Windows[0].first + golf.Windows[0].second) / 2;
    EXPECT_TRUE(Bluish(p.Side(d, (golf.Belt(d) + golf.Top(d)) / 2)));
    // The door below it is lime paint, the sill darker than the shoulder.
    const uint8_t* door = p.Side(d, golf.Belt(d) - 0.2f);
    EXPECT_GT(door[1], door[2] + 60);
    EXPECT_LT(Brightness(p.Side(d, golf.Bottom(d) + 0.03f)), Brightness(p.Side(d, golf.Belt(d) - 0.12f)));
    // Above the front axle, inside the arch, the wheel well is black.
    EXPECT_LT(Brightness(p.Side(golf.FrontAxle, golf.WheelRadius + 0.05f)), 60);
    // From above: the windscreen is glass, the roof and bonnet are paint.
    EXPECT_TRUE(Bluish(p.Top(1.65f, 0.0f)));
    EXPECT_FALSE(Bluish(p.Top(2.7f, 0.0f)));
    EXPECT_FALSE(Bluish(p.Top(0.7f, 0.3f)));
}

TEST(CarAtlas, StripesBedAndLoadShowFromAbove) {
    std::vector<TCarDesign> designs = CarDesigns();
    TAtlasProbe mustang = Probe(Design(designs, "mustang"));
    const uint8_t* stripe = mustang.Top(0.8f, 0.12f);
    const uint8_t* beside = mustang.Top(0.8f, 0.4f);
    EXPECT_GT(stripe[1], 200) << "white stripe on the red bonnet";
    EXPECT_LT(beside[1], 60);
    TAtlasProbe black = Probe(Design(designs, "mustang"), 1);
    EXPECT_GT(black.Top(0.8f, 0.12f)[0], 180) << "gold stripe";
    EXPECT_GT(black.Top(0.8f, 0.12f)[0], black.Top(0.8f, 0.12f)[2] + 80);

    TAtlasProbe chevy = Probe(Design(designs, "chevy"));
    EXPECT_LT(Brightness(chevy.Top(4.2f, 0.3f)), 250) << "the open bed is dark";
    TAtlasProbe liaz = Probe(Design(designs, "liaz"), 1);
    const uint8_t* tarp = liaz.Top(5.0f, 0.3f);
    const uint8_t* cab = liaz.Top(1.0f, 0.3f);
    EXPECT_NEAR(tarp[0], 98, 30) << "the load keeps its tarpaulin colour in every scheme";
    EXPECT_GT(cab[1], cab[0] + 20) << "liaz_green: green cab";
}

TEST(CarDesign, WheelsThatLeaveNoClearanceAreRefusedByName) {
    TCarDesign design = CarDesigns()[1];
    design.WheelRadius = 0.45f; // (top - 4r) / 3 < 0: the body would hang below the road
    try {
        MeasureCar(design);
        FAIL() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("golf"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("clearance"), std::string::npos) << e.what();
    }
    design = CarDesigns()[1];
    design.WheelRadius = 0.2f; // the wheels would hold the body higher than its sills reach
    EXPECT_THROW(MeasureCar(design), std::runtime_error);
}

TEST(Writer3ds, RefusesObjectsPastTheSixteenBitCounts) {
    T3dsModel model;
    T3dsObject big;
    big.Name = "city block";
    big.Vertices.resize(65535);
    big.Faces = {{0, 1, 65534}};
    model.Objects.push_back(big);
    T3dsModel back;
    ASSERT_NO_THROW(back = Parse3DS(Encode3DS(model), "big.3ds"));
    EXPECT_EQ(back.Objects[0].Vertices.size(), 65535u);
    EXPECT_EQ(back.Objects[0].Faces[0][2], 65534u);

    model.Objects[0].Vertices.resize(65536);
    try {
        Encode3DS(model);
        FAIL() << "wrote a wrapped vertex count";
    } catch (const std::length_error& e) {
        EXPECT_NE(std::string(e.what()).find("city block"), std::string::npos);
    }
    model.Objects[0].Vertices.resize(3);
    model.Objects[0].Faces.assign(70000, {0, 1, 2});
    EXPECT_THROW(Encode3DS(model), std::length_error);
}

TEST(ModelKit, AtlasRefusesAreasOutsideAndClampsBrightColours) {
    TAtlas atlas(8, 4);
    EXPECT_THROW(atlas.Paint(0, 0, 9, 4, [](float, float) { return TRgb{}; }), std::runtime_error);
    EXPECT_THROW(atlas.Paint(4, 0, 4, 4, [](float, float) { return TRgb{}; }), std::runtime_error);
    atlas.Paint(0, 0, 8, 4, [](float s, float) { return s < 0.5f ? TRgb{2, -1, 0.5f} : TRgb{0, 0, 1}; });
    TBMPImage image = atlas.Image();
    ASSERT_EQ(image.Pixels.size(), 8u * 4u * 3u);
    EXPECT_EQ(image.Pixels[0], 255);
    EXPECT_EQ(image.Pixels[1], 0);
    EXPECT_EQ(image.Pixels[2], 128);
    EXPECT_EQ(image.Pixels[7 * 3 + 2], 255);
    // Each pixel is the mean of four samples: the pixel on the border of the two halves is not split.
    EXPECT_EQ(image.Pixels[3 * 3], 255);
}

TEST_F(DataSetModels, GiftShowsItsRibbonCrossFromAbove) {
    TBMPImage atlas = Picture("meshes/prezent.bmp");
    // The lid top sits in the upper right quarter of the 256 x 256 atlas: ribbon on its centre lines.
    const uint8_t* ribbon = Texel(atlas, (128 + 64) / 256.0f, 20 / 256.0f);
    const uint8_t* paper = Texel(atlas, (128 + 20) / 256.0f, 20 / 256.0f);
    EXPECT_GT(ribbon[1], 150);
    EXPECT_LT(paper[1], 80);
    EXPECT_GT(paper[0], 150);
}

TEST_F(DataSetModels, PedestriansFaceMinusY) {
    // The pedestrian walks towards -y at heading 0: the painted face (the head's texture seam, in
    // the left half of the upper half of the figure's atlas) must look that way.
    for (char figure : {'1', '2', '3', '4'}) {
        T3dsModel model = Model(std::string("meshes/human") + figure + "b.3ds");
        const T3dsObject& body = model.Objects[0];
        float sum = 0, faceY = 0;
        int head = 0, face = 0;
        for (size_t i = 0; i < body.Vertices.size(); ++i) {
            float u = body.TexCoords[i][0], v = body.TexCoords[i][1];
            if (v < 0.52f || u > 0.5f)
                continue;
            sum += body.Vertices[i].y;
            ++head;
            if (u < 0.025f && v > 0.6f && v < 0.95f) {
                faceY += body.Vertices[i].y;
                ++face;
            }
        }
        ASSERT_GT(face, 0) << figure;
        EXPECT_LT(faceY / float(face), sum / float(head) - 0.05f) << figure;
    }
}

TEST_F(DataSetModels, ModelsAreClosedSurfaces) {
    // Every edge of a closed surface is shared by exactly two faces, once in each direction: no
    // hole to look through into a body, no face turned against its neighbours. (The gift's bow is
    // made of open ribbons and is left out; a pedestrian's limbs are closed prisms whose end caps
    // may meet at a joint, so an edge there can belong to two of them. Their far models leave the ends
    // inside a joint open.)
    std::vector<std::string> files;
    for (const TCarDesign& design : CarDesigns())
        for (const std::string& file : {design.MeshFile, design.WheelFile})
            files.push_back(design.Directory + "/" + file);
    for (const TMeshEntry& entry : MeshTable()) {
        std::string file = entry.File;
        if ((file.rfind("meshes/human", 0) == 0 && !file.ends_with("_far.3ds")) ||
            file.rfind("meshes/cube", 0) == 0)
            files.push_back(file);
    }
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        T3dsModel model = Model(path);
        const T3dsObject& object = model.Objects[0];
        auto key = [&](uint32_t i) {
            const dVector3& v = object.Vertices[i];
            return std::make_tuple(std::lround(v.x * 1e4), std::lround(v.y * 1e4), std::lround(v.z * 1e4));
        };
        std::map<std::pair<decltype(key(0)), decltype(key(0))>, int> edges;
        for (const auto& f : object.Faces)
            for (int k = 0; k < 3; ++k)
                edges[{key(f[size_t(k)]), key(f[size_t((k + 1) % 3)])}] += 1;
        int open = 0, doubled = 0;
        for (const auto& [edge, count] : edges) {
            auto reverse = edges.find({edge.second, edge.first});
            if (reverse == edges.end())
                ++open;
            else if (count != 1 || reverse->second != 1)
                ++doubled;
        }
        EXPECT_EQ(open, 0);
        if (path.rfind("meshes/human", 0) != 0) {
            EXPECT_EQ(doubled, 0);
        }
    }
}
