// The 2D sprite kinds frame by frame, stepped the way the engine's 2D pass steps them (Update, then
// Animate, once per frame), with made-up texture ids and a host that records what the sprites ask.
#include "sprites/GoSprite.h"
#include "sprites/HintSprite.h"
#include "sprites/IntroSprite.h"
#include "sprites/LocationSprite.h"
#include "sprites/LogoSprite.h"
#include "Resources.h"
#include "sprites/SymbolSprite.h"
#include "sprites/TargetSprite.h"
#include "uErrors.h"

#include <gtest/gtest.h>

namespace {

class TRecordingHost : public TSpriteHost {
  public:
    void PlaySample(const std::string& key) override { Samples.push_back(key); }
    uint8_t MenuScreen() const override { return Screen; }
    void OpenMainMenu() override {
        ++MainMenuOpened;
        Screen = 1;
    }

    std::vector<std::string> Samples;
    uint8_t Screen = 0;
    int MainMenuOpened = 0;
};

const char* const TextureKeys[] = {"map_destination", "sipka_target",   "map_arrow",   "intro",
                                   "symbol_fuel",     "symbol_damage",  "symbol_time", "symbol_targets",
                                   "symbol_load",     "symbol_fragile", "hint",        "timer_one",
                                   "timer_two",       "timer_three",    "timer_go",    "quillmark"};

class Sprites : public ::testing::Test {
  protected:
    void SetUp() override {
        Resources().Clear();
        uint32_t id = 100;
        for (const char* key : TextureKeys)
            Resources().AddTexture(key, id++);
    }
    void TearDown() override { Resources().Clear(); }

    static uint32_t Tex(const char* key) { return Resources().GetTexture(key); }
    static void Frame(TSprite& sprite) {
        sprite.Update();
        sprite.Animate();
    }

    TRecordingHost Host;
};

} // namespace

TEST_F(Sprites, CountdownShowsFourPicturesOf127TicksWithTheirSounds) {
    TGoSprite go(Host);
    EXPECT_FALSE(go.Alive);
    EXPECT_EQ(go.X, 256);
    EXPECT_EQ(go.Y, 176);
    go.Start();
    EXPECT_EQ(Host.Samples, (std::vector<std::string>{"timer_tick"}));

    const char* pictures[4] = {"timer_one", "timer_two", "timer_three", "timer_go"};
    for (int phase = 0; phase < 4; ++phase) {
        for (int tick = 1; tick <= 126; ++tick) {
            go.Show(phase * 127 + tick);
            ASSERT_EQ(go.Texture, Tex(pictures[phase])) << "phase " << phase << " tick " << tick;
            ASSERT_EQ(go.Alpha, 255 - 2 * tick) << "phase " << phase << " tick " << tick;
        }
        // Tick 127: alpha 1, and the next picture is already up.
        go.Show(phase * 127 + 127);
        EXPECT_EQ(go.Alpha, 1);
        if (phase < 3) {
            EXPECT_EQ(go.Texture, Tex(pictures[phase + 1]));
        }
    }
    EXPECT_EQ(Host.Samples, (std::vector<std::string>{"timer_tick", "timer_tick", "timer_tick", "timer_go"}));
    EXPECT_EQ(go.Red, 229);
    EXPECT_EQ(go.Green, 138);
    EXPECT_EQ(go.Blue, 0);

    // A second start rewinds everything, tint included.
    go.Start();
    go.Show(1);
    EXPECT_EQ(go.Texture, Tex("timer_one"));
    EXPECT_EQ(go.Alpha, 253);
    EXPECT_EQ(go.Red, 255);
    EXPECT_EQ(go.Blue, 255);
}

TEST_F(Sprites, HintSlidesInStaysSlidesOutAndRestartsWhenShownAgain) {
    THintSprite hint(Host);
    EXPECT_FALSE(hint.Alive);
    hint.Show("Fuel!", "Palivo!");
    hint.Alive = true;
    EXPECT_EQ(hint.X, 20);
    EXPECT_EQ(hint.Y, -32);
    EXPECT_EQ(hint.Text[1], "Palivo!");
    for (int frame = 1; frame <= 47; ++frame)
        Frame(hint);
    EXPECT_EQ(hint.Y, 15);
    Frame(hint); // frame 48: resting
    EXPECT_EQ(hint.Y, 15);
    for (int frame = 49; frame <= 400; ++frame)
        Frame(hint);
    EXPECT_EQ(hint.Y, 15);
    for (int frame = 401; frame <= 447; ++frame)
        Frame(hint);
    EXPECT_EQ(hint.Y, -32);
    Frame(hint); // 448
    EXPECT_TRUE(hint.Alive);
    Frame(hint); // 449
    EXPECT_FALSE(hint.Alive);

    // Shown again halfway through its slide-in: back below the screen, counting from zero.
    hint.Show("a", "b");
    for (int frame = 0; frame < 20; ++frame)
        Frame(hint);
    EXPECT_EQ(hint.Y, -12);
    hint.Show("c", "d");
    EXPECT_EQ(hint.Y, -32);
    EXPECT_EQ(hint.Count, 0);
    Frame(hint);
    EXPECT_EQ(hint.Y, -31);
    EXPECT_EQ(hint.Text[0], "c");
}

TEST_F(Sprites, LocationMarkerSwellsEvery64FramesAndNeverVanishes) {
    TLocationSprite marker;
    marker.SetLocation(200, 300);
    // Centred on (96 + 0.875 * 200, 48 + 0.875 * 300 - 32) = (271, 278.5) of the screen.
    EXPECT_EQ(marker.X, 271 - 10);
    EXPECT_EQ(marker.Y, 279 - 10);
    for (int frame = 1; frame <= 130; ++frame) {
        Frame(marker);
        int32_t p = frame % 64;
        uint32_t size = 20 + uint32_t(p < 32 ? p : 64 - p) / 2;
        ASSERT_EQ(marker.Width, size) << frame;
        ASSERT_EQ(marker.Height, size) << frame;
        ASSERT_EQ(marker.Alpha, 255) << frame;
        ASSERT_EQ(marker.X, 271 - int32_t(size / 2)) << frame;
        ASSERT_EQ(marker.Y, 279 - int32_t(size / 2)) << frame;
    }
}

TEST_F(Sprites, IntroFadesInSlidesUpAndOpensTheMenuOnce) {
    TIntroSprite intro(Host);
    EXPECT_EQ(intro.Alpha, 1);
    EXPECT_EQ(intro.Y, -544);
    for (int frame = 1; frame <= 126; ++frame)
        Frame(intro);
    EXPECT_EQ(intro.Alpha, 253);
    Frame(intro);
    EXPECT_EQ(intro.Alpha, 255);
    for (int frame = 128; frame <= 300; ++frame)
        Frame(intro);
    EXPECT_EQ(intro.Alpha, 255);
    EXPECT_EQ(intro.Y, -544);
    Frame(intro); // 301: the slide begins
    EXPECT_EQ(intro.Y, -543);
    for (int frame = 302; frame <= 780; ++frame)
        Frame(intro);
    EXPECT_EQ(intro.Y, -64); // 480 pixels up
    Frame(intro);
    EXPECT_EQ(intro.Y, -64);
    for (int frame = 782; frame <= 999; ++frame)
        Frame(intro);
    EXPECT_EQ(Host.MainMenuOpened, 0);
    Frame(intro); // 1000
    EXPECT_EQ(Host.MainMenuOpened, 1);
    Host.Screen = 0; // even with no menu open later, the intro asks only once
    for (int frame = 0; frame < 50; ++frame)
        Frame(intro);
    EXPECT_EQ(Host.MainMenuOpened, 1);
}

TEST_F(Sprites, IntroLeavesAnOpenMenuAlone) {
    for (uint8_t screen : {1, 3, 6, 12}) {
        TRecordingHost host;
        host.Screen = screen;
        TIntroSprite intro(host);
        for (int frame = 0; frame < 1000; ++frame)
            Frame(intro);
        EXPECT_EQ(host.MainMenuOpened, 0) << int(screen);
    }
}

TEST_F(Sprites, LogoSlidesUpUntilItsBottomReachesTheScreen) {
    TLogoSprite low(Tex("quillmark"), 23, -3, 128, 32);
    EXPECT_EQ(low.Alpha, 255);
    for (int frame = 0; frame < 10; ++frame)
        Frame(low);
    EXPECT_EQ(low.Y, 0);
    EXPECT_EQ(low.Count, 20); // counted in both hooks
    TLogoSprite placed(Tex("quillmark"), 527, 0, 128, 32);
    TLogoSprite high(Tex("quillmark"), 527, 40, 128, 32);
    for (int frame = 0; frame < 10; ++frame) {
        Frame(placed);
        Frame(high);
    }
    EXPECT_EQ(placed.Y, 0);
    EXPECT_EQ(high.Y, 40);
}

TEST_F(Sprites, MapSymbolTurnsOneDegreePerFrame) {
    TTargetSprite target(100, 200);
    // Centred on (96 + 0.875 * 100, 48 + 0.875 * 200 - 32) = (183.5, 191) of the screen.
    EXPECT_EQ(target.X, 184 - 12);
    EXPECT_EQ(target.Y, 191 - 12);
    for (int frame = 0; frame < 90; ++frame)
        Frame(target);
    EXPECT_FLOAT_EQ(target.Angle, 90);
}

TEST_F(Sprites, SymbolKindsPickTheirTextureAndSlotsFillFromTheRight) {
    const char* keys[6] = {"symbol_fuel",    "symbol_damage", "symbol_time",
                           "symbol_targets", "symbol_load",   "symbol_fragile"};
    for (uint8_t kind = 0; kind < 6; ++kind) {
        TSymbolSprite symbol(Host, kind);
        EXPECT_EQ(symbol.Texture, Tex(keys[kind]));
    }
    TSymbolSprite symbol(Host, 2);
    symbol.SetSlot(0);
    EXPECT_EQ(symbol.X, 590);
    EXPECT_EQ(symbol.Y, 440);
    symbol.SetSlot(3);
    EXPECT_EQ(symbol.X, 440);
    EXPECT_THROW(TSymbolSprite(Host, 6), ERangeError);
}

TEST_F(Sprites, MissingTextureNamesTheKey) {
    Resources().RemoveTexture("timer_one");
    try {
        TGoSprite go(Host);
        ADD_FAILURE() << "created without its texture";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Texture timer_one not in resources.");
    }
}
