// The engine core in a real GL context under Xvfb: a lit, textured 3DS model and 2D quads are drawn,
// saved as a screenshot by the harness, and the screenshot's pixels are checked.
#include "BMPWriter.h"
#include "TestSupport.h"
#include "Writer3ds.h"
#include "uAtomicFile.h"
#include "uEngine.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct TShot {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb; // top row first

    const uint8_t* At(int x, int layoutY) const { return &Rgb[(size_t(Height - 1 - layoutY) * Width + x) * 3]; }
    bool IsBlack(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] < 8 && p[1] < 8 && p[2] < 8;
    }
};

std::string ShotPath(const std::string& name) {
    std::filesystem::create_directories(KAL_SCREENSHOT_DIR);
    return std::string(KAL_SCREENSHOT_DIR) + "/" + name;
}

TShot LoadShot(const std::string& path) {
    TShot shot;
    EXPECT_TRUE(ReadPNG(path, shot.Width, shot.Height, shot.Rgb)) << path;
    return shot;
}

TBMPImage Checker(int size, const uint8_t a[3], const uint8_t b[3]) {
    TBMPImage image;
    image.Width = image.Height = size;
    image.Format = TBMPFormat::RGB;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint8_t* c = ((x / 8 + y / 8) % 2) ? a : b;
            image.Pixels.insert(image.Pixels.end(), c, c + 3);
        }
    return image;
}

TBMPImage Solid(int size, uint8_t value) {
    TBMPImage image;
    image.Width = image.Height = size;
    image.Format = TBMPFormat::Alpha;
    image.Pixels.assign(size_t(size * size), value);
    return image;
}

// A box 2 x 2 x 2 with a textured material, as a modeller would export it.
T3dsModel TexturedBox() {
    T3dsModel model;
    T3dsMaterial material;
    material.Name = "crate";
    material.TextureFile = "crate.bmp";
    model.Materials.push_back(material);
    T3dsObject box;
    box.Name = "box";
    box.MaterialName = "crate";
    const float s = 1;
    // Six faces, four vertices each (so every face has its own texture corners).
    const float corners[6][4][3] = {
        {{-s, -s, s}, {s, -s, s}, {s, s, s}, {-s, s, s}},     {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}},
        {{-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}}, {{s, s, -s}, {-s, s, -s}, {-s, s, s}, {s, s, s}},
        {{s, -s, -s}, {s, s, -s}, {s, s, s}, {s, -s, s}},     {{-s, s, -s}, {-s, -s, -s}, {-s, -s, s}, {-s, s, s}},
    };
    for (const auto& face : corners) {
        uint32_t base = uint32_t(box.Vertices.size());
        for (const auto& c : face)
            box.Vertices.push_back(VectorMake(c[0], c[1], c[2]));
        box.TexCoords.insert(box.TexCoords.end(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
        box.Faces.push_back({base, base + 1, base + 2});
        box.Faces.push_back({base, base + 2, base + 3});
    }
    model.Objects.push_back(box);
    return model;
}

class EngineE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        const uint8_t orange[3] = {240, 140, 20}, blue[3] = {30, 60, 200};
        ASSERT_TRUE(WriteFileAtomic(Dir.File("crate.bmp"), EncodeBMP(Checker(64, orange, blue))));
        ASSERT_TRUE(WriteFileAtomic(Dir.File("white.bmp"), EncodeBMP(Solid(8, 255))));
        ASSERT_TRUE(WriteFileAtomic(Dir.File("box.3ds"), Encode3DS(TexturedBox())));
    }

    THarnessOptions Harness(uint64_t shotFrame, const std::string& shot) {
        THarnessOptions options;
        options.FixedClock = true;
        options.Shots.emplace_back(shotFrame, shot);
        return options;
    }

    TTempDir Dir;
};

} // namespace

TEST_F(EngineE2E, LitTexturedModelAndQuads) {
    std::string shotFile = ShotPath("engine_scene.png");
    TMessageRecorder messages;
    {
        TEngine engine(640, 480, false, 32, Harness(3, shotFile));
        TMeshRecord box;
        engine.LoadMesh(Dir.File("box.3ds"), "", 1.5f, box);
        EXPECT_NE(box.List, 0u);
        EXPECT_FLOAT_EQ(box.Extent.x, 3.0f);
        TMesh mesh(box, 256, 256, 1.5f);
        mesh.Heading = 30;
        engine.AddMesh(&mesh);

        uint32_t white = engine.LoadTexture(Dir.File("white.bmp"));
        TSprite red(white, 20, 20, 100, 60, 255);
        red.SetColor(220, 30, 30);
        TSprite green(white, 520, 400, 100, 60, 128); // half transparent over black
        green.SetColor(0, 255, 0);
        engine.AddSprite(&red);
        engine.AddSprite(&green);

        engine.Camera.SetTarget(256, 256);
        engine.Camera.SetDistance(9);
        engine.Camera.SetPitch(0.6f);
        engine.Camera.SetHeading(0.8f);
        for (int frame = 0; frame < 3; ++frame) {
            engine.ReadKeyboard();
            engine.SaveKeyboard();
            engine.BeginFrame();
            engine.Camera.Apply();
            engine.DrawMeshes();
            engine.DrawSprites3D();
            engine.DrawSprites();
            engine.EndFrame();
        }
    }
    EXPECT_TRUE(messages.Messages.empty());

    TShot shot = LoadShot(shotFile);
    ASSERT_EQ(shot.Width, 640);
    ASSERT_EQ(shot.Height, 480);
    const uint8_t* r = shot.At(70, 50);
    EXPECT_GT(r[0], 200);
    EXPECT_LT(r[1], 50);
    const uint8_t* g = shot.At(570, 430);
    EXPECT_NEAR(g[1], 128, 3); // blended at alpha 128
    EXPECT_LT(g[0], 5);
    EXPECT_TRUE(shot.IsBlack(5, 5));
    EXPECT_TRUE(shot.IsBlack(320, 470));

    // The box fills the middle: both texture colours appear, lit to different brightness per side.
    int orange = 0, blue = 0, other = 0;
    std::vector<int> brightness;
    for (int y = 150; y < 330; y += 3)
        for (int x = 230; x < 410; x += 3) {
            const uint8_t* p = shot.At(x, y);
            if (p[0] > p[2] + 40)
                ++orange;
            else if (p[2] > p[0] + 40)
                ++blue;
            else
                ++other;
            brightness.push_back(p[0] + p[1] + p[2]);
        }
    EXPECT_GT(orange, 300);
    EXPECT_GT(blue, 300);
    std::sort(brightness.begin(), brightness.end());
    EXPECT_GT(brightness[brightness.size() * 9 / 10] - brightness[brightness.size() / 10], 60);
}

TEST_F(EngineE2E, GroundDrawnLastLooksAsIfDrawnFirstUnderTheNight) {
    // The same view twice: the ground first, the meshes over it and the night's overlay over all;
    // then the meshes dimmed by the night as they are drawn, and the ground on the pixels left empty.
    std::string oldFile = ShotPath("engine_ground_first.png"), newFile = ShotPath("engine_ground_last.png");
    {
        THarnessOptions harness = Harness(1, oldFile);
        harness.Shots.emplace_back(2, newFile);
        TEngine engine(640, 480, false, 32, harness);
        const uint8_t grey[3] = {120, 120, 120}, green[3] = {40, 160, 60};
        ASSERT_TRUE(WriteFileAtomic(Dir.File("ground.bmp"), EncodeBMP(Checker(64, grey, green))));
        int32_t ground = int32_t(engine.LoadTexture(Dir.File("ground.bmp")));
        int32_t crate = int32_t(engine.LoadTexture(Dir.File("crate.bmp")));
        engine.TextureGrid->SetTile(ground, 244, 244, 8, 0, false, false);
        engine.TextureGrid->SetTile(crate, 252, 244, 8, 1, false, false);
        engine.TextureGrid->SetTile(ground, 252, 252, 8, 0, true, false);
        TMeshRecord box;
        engine.LoadMesh(Dir.File("box.3ds"), "", 1.5f, box);
        TMesh standing(box, 256, 256, 1.5f), sunk(box, 250, 254, -1.0f); // the second half under the ground
        engine.AddMesh(&standing);
        engine.AddMesh(&sunk);
        engine.Camera.SetTarget(256, 256);
        engine.Camera.SetDistance(12);
        engine.Camera.SetPitch(0.6f);
        engine.Camera.SetHeading(0.8f);
        const uint8_t night = 112;

        engine.BeginFrame();
        engine.Camera.Apply();
        engine.DrawTextureGrid();
        engine.DrawMeshes();
        engine.BeginOverlay();
        engine.SetOverlayColor(0, 0, 0, night);
        engine.DrawOverlayRect(0, 0, 640, 480);
        engine.EndOverlay();
        engine.EndFrame();

        engine.BeginFrame();
        engine.Camera.Apply();
        engine.PrepareMeshes();
        engine.BeginOpaqueScene();
        engine.ShadeScene(night);
        engine.DrawPreparedMeshes();
        engine.EndShade();
        engine.DrawGroundWhereEmpty(1.0f - night / 255.0f);
        engine.EndFrame();
    }
    TShot before = LoadShot(oldFile), after = LoadShot(newFile);
    ASSERT_EQ(before.Rgb.size(), after.Rgb.size());
    int ground = 0, black = 0, different = 0;
    for (size_t i = 0; i < before.Rgb.size(); i += 3) {
        int d = 0;
        for (size_t k = 0; k < 3; ++k)
            d = std::max(d, std::abs(int(before.Rgb[i + k]) - int(after.Rgb[i + k])));
        different += d > 2;
        const uint8_t* p = &before.Rgb[i];
        black += p[0] < 4 && p[1] < 4 && p[2] < 4;
        ground += p[1] > p[0] + 20 && p[1] > p[2] + 20; // the green squares of the ground, dimmed
    }
    // The view holds ground, meshes and empty black, and the two ways draw the same picture.
    EXPECT_GT(ground, 5000);
    EXPECT_GT(black, 5000);
    EXPECT_EQ(different, 0);
}

TEST_F(EngineE2E, DeadSpritesLeaveAtTheNextWalkAndDoublesDrawTwice) {
    std::string shotFile = ShotPath("engine_lists.png");
    TEngine engine(640, 480, false, 32, Harness(2, shotFile));
    uint32_t white = engine.LoadTexture(Dir.File("white.bmp"));

    // Clears its own alive flag in its first update: drawn in that frame, gone from the next.
    struct TOneShot : TSprite {
        using TSprite::TSprite;
        int Updates = 0;
        void Update() override {
            ++Updates;
            Alive = false;
        }
    } once(white, 0, 0, 10, 10, 255);
    // Added twice at alpha 100: blended twice over black.
    TSprite twice(white, 300, 200, 40, 40, 100);
    engine.AddSprite(&once);
    engine.AddSprite(&twice);
    engine.AddSprite(&twice);
    for (int frame = 0; frame < 2; ++frame) {
        engine.BeginFrame();
        engine.DrawSprites();
        engine.EndFrame();
    }
    EXPECT_EQ(once.Updates, 1);
    EXPECT_EQ(engine.Sprites.Count(), 2);
    TShot shot = LoadShot(shotFile);
    EXPECT_TRUE(shot.IsBlack(5, 5));
    // 255 * 100/255 = 100, then 100 + (255 - 100) * 100/255 = 160.
    EXPECT_NEAR(shot.At(320, 220)[0], 160, 3);

    engine.RemoveSprite(&twice);
    EXPECT_TRUE(engine.Sprites.IsEmpty());
    engine.AddSprite(&once); // re-added after the walk dropped it: alive again
    EXPECT_TRUE(once.Alive);
    EXPECT_EQ(engine.Sprites.Count(), 1);
}

TEST_F(EngineE2E, FullScreenKeepsTheLayoutWithBars) {
    // Full screen at the display's own size: the 640 x 480 layout is scaled to fit.
    std::string shotFile = ShotPath("engine_fullscreen.png");
    TEngine engine(640, 480, true, 32, Harness(1, shotFile));
    int fbWidth, fbHeight;
    engine.FramebufferSize(fbWidth, fbHeight);
    uint32_t white = engine.LoadTexture(Dir.File("white.bmp"));
    TSprite all(white, 0, 0, 640, 480, 255);
    engine.AddSprite(&all);
    engine.BeginFrame();
    engine.DrawSprites();
    engine.EndFrame();
    TShot shot = LoadShot(shotFile);
    ASSERT_EQ(shot.Width, fbWidth);
    ASSERT_EQ(shot.Height, fbHeight);
    // The layout keeps 4:3, scaled to fit and centred: bars left and right on a wide screen, above
    // and below on a tall one.
    double scale = std::min(fbWidth / 640.0, fbHeight / 480.0);
    int w = int(std::lround(640 * scale)), h = int(std::lround(480 * scale));
    int x0 = (fbWidth - w) / 2, y0 = (fbHeight - h) / 2;
    auto at = [&](int x, int y) { return shot.Rgb[(size_t(y) * size_t(shot.Width) + size_t(x)) * 3]; };
    EXPECT_GT(at(x0 + 4, y0 + 4), 250);
    EXPECT_GT(at(x0 + w - 5, y0 + h - 5), 250);
    if (x0 > 4) {
        EXPECT_LT(at(x0 / 2, fbHeight / 2), 8);
        EXPECT_LT(at(fbWidth - x0 / 2 - 1, fbHeight / 2), 8);
    }
    if (y0 > 4) {
        EXPECT_LT(at(fbWidth / 2, y0 / 2), 8);
        EXPECT_LT(at(fbWidth / 2, fbHeight - y0 / 2 - 1), 8);
    }
    EXPECT_TRUE(x0 > 4 || y0 > 4 || (fbWidth * 3 == fbHeight * 4));
}

TEST_F(EngineE2E, FrameCapHoldsTenMillisecondsOnTheRealClock) {
    TEngine engine(640, 480, false, 32);
    double start = GetTime();
    for (int frame = 0; frame < 20; ++frame) {
        engine.BeginFrame();
        engine.EndFrame();
    }
    EXPECT_GE(GetTime() - start, 0.19);
    EXPECT_EQ(engine.FPS, 0.0f); // not a full second yet
}

TEST_F(EngineE2E, KeyScriptDrivesTheSnapshot) {
    std::ofstream(Dir.File("keys.txt")) << "1 down UP\n3 up UP\n";
    THarnessOptions options;
    options.KeyScript = Dir.File("keys.txt");
    options.FrameLimit = 4;
    TEngine engine(640, 480, false, 32, options);
    std::vector<int> held;
    while (!engine.HarnessFinished()) {
        engine.ReadKeyboard();
        held.push_back(engine.KeyDown(DIK_UP));
        engine.SaveKeyboard();
        engine.BeginFrame();
        engine.EndFrame();
    }
    EXPECT_EQ(held, (std::vector<int>{0, 1, 1, 0}));
}

TEST_F(EngineE2E, ModelColourDoesNotTintTheNextModel) {
    T3dsModel model = TexturedBox();
    model.Materials[0].TextureFile.clear(); // a plain red material
    model.Materials[0].Color[0] = 200;
    model.Materials[0].Color[1] = 0;
    model.Materials[0].Color[2] = 0;
    ASSERT_TRUE(WriteFileAtomic(Dir.File("red.3ds"), Encode3DS(model)));
    TEngine engine(640, 480, false, 32, Harness(1, ShotPath("engine_colour.png")));
    TMeshRecord red;
    engine.LoadMesh(Dir.File("red.3ds"), "", 1.0f, red);
    glColor3f(1, 1, 1);
    glCallList(red.List);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
}

TEST_F(EngineE2E, BrokenMeshIsAnErrorNamingTheFile) {
    // A primary chunk that claims more bytes than the file has.
    const std::vector<uint8_t> broken = {0x4D, 0x4D, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00};
    ASSERT_TRUE(WriteFileAtomic(Dir.File("broken.3ds"), broken));
    TEngine engine(640, 480, false, 32, Harness(1, ShotPath("engine_broken_mesh.png")));
    TMessageRecorder messages;
    TMeshRecord mesh;
    try {
        engine.LoadMesh(Dir.File("broken.3ds"), "", 1.0f, mesh);
        FAIL() << "a broken mesh loaded";
    } catch (const EFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("broken.3ds"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("primary chunk"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(messages.Messages.empty()) << "the loader leaves showing it to the program";
}
