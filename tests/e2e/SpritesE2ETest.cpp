// Fonts, sprites and snow in a real GL context under Xvfb: a made-up glyph sheet checks the glyph
// orientation pixel by pixel; the game's own fonts and pictures from the data set draw a scene with
// Czech text, the count-down, a street-lamp glow and falling snow over a ground plane, saved by the
// harness and checked pixel by pixel.
#include "BMPWriter.h"
#include "sprites/GoSprite.h"
#include "sprites/LampSprite.h"
#include "TestSupport.h"
#include "sprites/TrackSprite.h"
#include "uAtomicFile.h"
#include "uByteReader.h"
#include "uEngine.h"
#include "uGLFont.h"
#include "uRandom.h"
#include "uText1250.h"

#include <GL/gl.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct TShot {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb; // top row first

    // Layout coordinates: origin bottom-left.
    const uint8_t* At(int x, int y) const {
        return &Rgb[(size_t(Height - 1 - y) * size_t(Width) + size_t(x)) * 3];
    }
    int Brightness(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] + p[1] + p[2];
    }
    // Pixels of the rectangle [x0, x1) x [y0, y1) brighter than `threshold` (sum of the channels).
    int Lit(int x0, int y0, int x1, int y1, int threshold = 120) const {
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                lit += Brightness(x, y) > threshold;
        return lit;
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

THarnessOptions ShotAt(uint64_t frame, const std::string& file) {
    THarnessOptions options;
    options.FixedClock = true;
    options.Shots.emplace_back(frame, file);
    return options;
}

class TSilentHost : public TSpriteHost {
  public:
    void PlaySample(const std::string& key) override { Samples.push_back(key); }
    uint8_t MenuScreen() const override { return 0; }
    void OpenMainMenu() override {}
    std::vector<std::string> Samples;
};

// The flat ground the scene stands on, opaque and writing depth as the city's tiles do.
void DrawGround(float cx, float cy, float half) {
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3ub(40, 60, 40);
    glBegin(GL_QUADS);
    glVertex3f(cx - half, cy - half, 0);
    glVertex3f(cx + half, cy - half, 0);
    glVertex3f(cx + half, cy + half, 0);
    glVertex3f(cx - half, cy + half, 0);
    glEnd();
    glPopAttrib();
}

class SpritesE2E : public ::testing::Test {
  protected:
    void SetUp() override { Resources().Clear(); }
    void TearDown() override { Resources().Clear(); }
    TTempDir Dir;
};

} // namespace

TEST_F(SpritesE2E, GlyphsStandUprightAndAdvanceByTheirWidths) {
    // A 256 x 256 sheet of 16-pixel cells. 'A' is filled only in its top half, 'B' only in its left
    // quarter; rows are stored upside down, so the glyph's top is the cell's first stored row.
    TBMPImage sheet;
    sheet.Width = sheet.Height = 256;
    sheet.Format = TBMPFormat::Alpha;
    sheet.Pixels.assign(256 * 256, 0);
    auto fill = [&](int code, int rowFrom, int rowTo, int colFrom, int colTo) {
        for (int r = rowFrom; r < rowTo; ++r)
            for (int c = colFrom; c < colTo; ++c)
                sheet.Pixels[size_t((code / 16 * 16 + r) * 256 + code % 16 * 16 + c)] = 255;
    };
    fill('A', 0, 8, 0, 16);
    fill('B', 0, 16, 0, 4);
    ASSERT_TRUE(WriteFileAtomic(Dir.File("font.bmp"), EncodeBMP(sheet)));
    std::vector<uint8_t> widths(256, 32);
    widths['B'] = 8; // a quarter cell: only the filled part shows
    widths['z'] = 0; // drawn without advancing
    ASSERT_TRUE(WriteFileAtomic(Dir.File("font.dat"), widths));

    std::string shotFile = ShotPath("font_glyphs.png");
    TMessageRecorder messages;
    {
        TEngine engine(640, 480, false, 32, ShotAt(1, shotFile));
        TGLFont font(Dir.File("font.bmp"), Dir.File("font.dat"), 640, 480);
        font.Alpha = 255;
        engine.BeginFrame();
        font.DrawText("A", 100, 100, 64);
        font.DrawText("BzA", 300, 100, 64);             // 'B' 16 pixels wide, then 'A' right after it
        font.DrawTextWrapped("A A A", 100, 400, 32, 0); // three lines, 30 pixels apart
        engine.EndFrame();
    }
    EXPECT_TRUE(messages.Messages.empty());
    TShot shot = LoadShot(shotFile);
    EXPECT_GT(shot.Brightness(132, 150), 700); // top half of 'A'
    EXPECT_LT(shot.Brightness(132, 115), 10);  // bottom half empty
    EXPECT_GT(shot.Brightness(306, 130), 700); // 'B'
    EXPECT_GT(shot.Brightness(340, 150), 700); // 'A' at 300 + 16
    EXPECT_LT(shot.Brightness(340, 115), 10);
    EXPECT_LT(shot.Brightness(383, 150), 10); // nothing past 316 + 64
    // Wrapped lines: tops at 432, 402, 372 (each line 32 high, 30 below the previous one).
    EXPECT_GT(shot.Brightness(116, 424), 700);
    EXPECT_GT(shot.Brightness(116, 394), 700);
    EXPECT_GT(shot.Brightness(116, 364), 700);
    EXPECT_LT(shot.Brightness(116, 345), 10);
    EXPECT_LT(shot.Brightness(140, 424), 10); // the space was dropped, nothing after the 'A'
}

TEST_F(SpritesE2E, EngineSetsLampsAndReplacesTheWeather) {
    THarnessOptions fixedClock;
    fixedClock.FixedClock = true;
    TEngine engine(640, 480, false, 32, fixedClock);
    Resources().AddTexture("lamp", 1);
    TLampSprite lamp(VectorMake(1, 1, 1.34f)), other(VectorMake(2, 2, 1.34f));
    TTrackSprite track(1);
    engine.AddSprite3D(&lamp);
    engine.AddSprite3D(&track);
    engine.AddSprite3D(&other);
    other.Alive = false; // leaving: not touched
    engine.SetLamps(220, 5.0f);
    EXPECT_EQ(lamp.Alpha, 220);
    EXPECT_FLOAT_EQ(lamp.Width, 5.0f);
    EXPECT_FLOAT_EQ(lamp.Height, 5.0f);
    EXPECT_EQ(other.Alpha, 96);
    EXPECT_EQ(track.Alpha, 64);
    EXPECT_FLOAT_EQ(track.Width, 0.15f);

    EXPECT_EQ(engine.ParticleSystem, nullptr);
    engine.SetParticleEffect(ParticleSnow, 1);
    for (int frame = 0; frame < 5; ++frame) {
        engine.BeginFrame();
        engine.Camera.Apply();
        engine.DrawSprites3D();
        engine.EndFrame();
    }
    ASSERT_NE(engine.ParticleSystem, nullptr);
    EXPECT_EQ(engine.ParticleSystem->Count, 5);
    EXPECT_EQ(engine.ParticleType, ParticleSnow);
    engine.SetParticleEffect(ParticleSnow, 1); // snow again: starts from none
    ASSERT_NE(engine.ParticleSystem, nullptr);
    EXPECT_EQ(engine.ParticleSystem->Count, 0);
    engine.SetParticleEffect(ParticleNone, 0);
    EXPECT_EQ(engine.ParticleSystem, nullptr);
    EXPECT_EQ(engine.ParticleType, ParticleNone);
}

// Needs the data set (fonts and pictures) in the run directory.
TEST_F(SpritesE2E, SceneWithCzechTextCountdownLampAndSnow) {
    const char* files[] = {".\\data\\fonts\\menu_item.bmp",  ".\\data\\fonts\\menu_item.dat",
                           ".\\data\\fonts\\menu_text.bmp",  ".\\data\\fonts\\menu_text.dat",
                           ".\\data\\bitmaps\\lamp.bmp",     ".\\data\\bitmaps\\particle_star.bmp",
                           ".\\data\\bitmaps\\timer_one.bmp"};
    for (const char* file : files)
        ASSERT_TRUE(FileExists(NativePath(file))) << NativePath(file) << " missing: build with the data set";

    const int Frames = 300;
    std::string shotFile = ShotPath("sprites_scene.png");
    TMessageRecorder messages;
    dVector3 lampPoint = VectorMake(252, 256, 1.34f);
    TScreenPoint lampOnScreen{};
    {
        TEngine engine(640, 480, false, 32, ShotAt(Frames, shotFile));
        SeedRandom(2024);
        TGLFont item(".\\data\\fonts\\menu_item.bmp", ".\\data\\fonts\\menu_item.dat", 640, 480);
        TGLFont text(".\\data\\fonts\\menu_text.bmp", ".\\data\\fonts\\menu_text.dat", 640, 480);
        item.Alpha = 255;
        text.Alpha = 255;
        text.SetColor(0xFFFFFFu);
        item.SetColor(255, 200, 0);
        uint32_t timer = engine.LoadTexture(".\\data\\bitmaps\\timer_one.bmp");
        for (const char* key : {"timer_one", "timer_two", "timer_three", "timer_go"})
            Resources().AddTexture(key, timer);
        Resources().AddTexture("lamp", engine.LoadTexture(".\\data\\bitmaps\\lamp.bmp"));
        uint32_t star = engine.LoadTexture(".\\data\\bitmaps\\particle_star.bmp");

        TSilentHost host;
        TGoSprite go(host);
        TLampSprite lamp(lampPoint);
        lamp.Flicker = false;
        engine.AddSprite3D(&lamp);
        engine.SetParticleEffect(ParticleSnow, star);

        engine.Camera.SetTarget(256, 256);
        engine.Camera.SetDistance(10);
        engine.Camera.SetPitch(0.6f);
        engine.Camera.SetHeading(0);
        lampOnScreen = engine.Camera.Project(lampPoint.x, lampPoint.y, lampPoint.z);

        std::string heading = UpperCp1250(Utf8ToCp1250("Řidič s čepicí"));
        std::string hint = UpperCp1250(Utf8ToCp1250("Příliš žluťoučký kůň úpěl ďábelské ódy"));
        for (int frame = 1; frame <= Frames; ++frame) {
            if (frame == Frames - 39) { // the count-down is 40 ticks into its first picture at the shot
                go.Start();
                engine.AddSprite(&go);
            }
            if (frame > Frames - 39)
                go.Show(frame - (Frames - 40));
            engine.BeginFrame();
            engine.Camera.Apply();
            DrawGround(256, 256, 40);
            engine.DrawSprites3D();
            engine.DrawSprites();
            item.DrawText(heading, 20, 430, 32);
            text.DrawTextWrapped(hint, 20, 90, 16, 8);
            item.DrawText("R", 480, 20, 48);
            item.DrawText(Utf8ToCp1250("Ř"), 560, 20, 48);
            engine.EndFrame();
        }
        EXPECT_EQ(go.Alpha, 255 - 2 * 40);
        EXPECT_EQ(host.Samples, std::vector<std::string>{"timer_tick"});
        EXPECT_EQ(engine.ParticleSystem->Count, Frames);
    }
    EXPECT_TRUE(messages.Messages.empty()) << messages.Messages[0].Text;

    TShot shot = LoadShot(shotFile);
    ASSERT_EQ(shot.Width, 640);
    ASSERT_EQ(shot.Height, 480);
    // Both texts are drawn where they belong (bright over the dark ground), and not past their end.
    const int TextBright = 450;
    EXPECT_GT(shot.Lit(20, 430, 300, 462, TextBright), 150);
    EXPECT_GT(shot.Lit(20, 40, 300, 106, TextBright), 150);
    // Past their ends only a snowflake or two is that bright.
    EXPECT_LT(shot.Lit(400, 430, 640, 462, TextBright), 20);
    EXPECT_LT(shot.Lit(200, 60, 460, 106, TextBright), 20); // wrapped after about 8 glyph heights
    // The caron: Ř reaches well above the top of R.
    auto isOrange = [&](int x, int y) {
        return shot.At(x, y)[0] > 180 && shot.At(x, y)[0] > shot.At(x, y)[2] + 100;
    };
    auto top = [&](int x0, int x1) {
        int highest = -1;
        for (int y = 20; y < 80; ++y)
            for (int x = x0; x < x1; ++x)
                if (isOrange(x, y))
                    highest = y;
        return highest;
    };
    int plainTop = top(480, 530), caronTop = top(560, 610);
    EXPECT_GT(plainTop, 40);
    EXPECT_GT(caronTop, plainTop + 4);
    // Item text is orange: red above blue.
    int orange = 0;
    for (int y = 430; y < 462; ++y)
        for (int x = 20; x < 300; ++x)
            orange += shot.At(x, y)[0] > shot.At(x, y)[2] + 80;
    EXPECT_GT(orange, 100);
    // The count-down picture in the middle of the screen, at alpha 175.
    EXPECT_GT(shot.Lit(256, 176, 384, 304, 300), 1000);
    // The lamp glow: warm and brighter than the ground around it.
    int lx = int(lampOnScreen.X), ly = int(lampOnScreen.Y);
    ASSERT_GT(lx, 10);
    ASSERT_LT(lx, 630);
    ASSERT_GT(ly, 10);
    ASSERT_LT(ly, 470);
    const uint8_t* glow = shot.At(lx, ly);
    EXPECT_GT(glow[0] + glow[1] + glow[2], 40 + 60 + 40 + 60);
    EXPECT_GE(glow[0], glow[2]);
    // Snow: small bright flakes over the ground, away from the text, the count-down and the glow.
    int flakes = 0;
    for (int y = 110; y < 420; ++y)
        for (int x = 0; x < 640; ++x) {
            bool countdown = x >= 250 && x < 390 && y >= 170 && y < 310;
            bool nearLamp = std::abs(x - lx) < 120 && std::abs(y - ly) < 120;
            if (!countdown && !nearLamp && shot.Brightness(x, y) > 40 + 60 + 40 + 30)
                ++flakes;
        }
    EXPECT_GT(flakes, 30) << flakes;
}
