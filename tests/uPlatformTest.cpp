#include "uPlatform.h"
#include "TestSupport.h"
#include "uErrors.h"
#include "uHarness.h"
#include "uOptions.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(uPlatform, FixedClockMovesOnlyWhenWaitedOn) {
    TFixedClock clock;
    EXPECT_EQ(clock.Now(), 0.0);
    clock.WaitUntil(0.01);
    EXPECT_DOUBLE_EQ(clock.Now(), 0.01);
    clock.WaitUntil(0.005); // never backwards
    EXPECT_DOUBLE_EQ(clock.Now(), 0.01);
}

TEST(uPlatform, RealClockWaitsAtLeastUntilTheTime) {
    TRealClock clock;
    double start = clock.Now();
    clock.WaitUntil(start + 0.01);
    EXPECT_GE(clock.Now() - start, 0.01);
}

TEST(uPlatform, InstalledClockIsTheGameClock) {
    TFixedClock fixed;
    fixed.Advance(3.5);
    TClock* previous = SetClock(&fixed);
    EXPECT_DOUBLE_EQ(GetTime(), 3.5);
    SetClock(previous);
    EXPECT_NE(GetTime(), 3.5);
}

TEST(uPlatform, GamePathsBecomeNative) {
    EXPECT_EQ(NativePath(".\\Data\\Player\\profiles.dat"), "./data/player/profiles.dat");
    EXPECT_EQ(NativePath(".\\data\\bitmaps\\lamp.bmp"), "./data/bitmaps/lamp.bmp");
    EXPECT_EQ(NativePath("/tmp/Kal/X.bmp"), "/tmp/Kal/X.bmp");
}

TEST(uPlatform, GamePathsIntoDataPointIntoTheDataFolder) {
    std::string previous = SetDataFolder("/opt/Kal/share/");
    EXPECT_EQ(NativePath(".\\Data\\Bitmaps\\Lamp.bmp"), "/opt/Kal/share/bitmaps/lamp.bmp");
    EXPECT_EQ(NativePath("data/city/city.tmf"), "/opt/Kal/share/city/city.tmf");
    EXPECT_EQ(NativePath(".\\database\\x.bin"), "./database/x.bin") << "only the folder named data";
    EXPECT_EQ(NativePath("/tmp/data/x.bmp"), "/tmp/data/x.bmp");
    EXPECT_EQ(DataFolder(), "/opt/Kal/share");
    SetDataFolder(previous);
    EXPECT_EQ(NativePath(".\\data\\x.bmp"), "./data/x.bmp");
}

TEST(uPlatform, FormatMessageFillsThePlaceholder) {
    EXPECT_EQ(FormatMessage("Texture %s already added.", "lamp"), "Texture lamp already added.");
    EXPECT_EQ(FormatMessage("no placeholder", "x"), "no placeholder");
}

TEST(uHarness, OptionsAreTakenOutOfTheArguments) {
    std::vector<std::string> args = {"-w",       "--keys", "k.txt",  "-ns",      "--shot",       "10:a.png",
                                     "--frames", "20",     "--shot", "20:b.png", "--fixed-clock"};
    THarnessOptions options = ParseHarnessOptions(args);
    EXPECT_EQ(args, (std::vector<std::string>{"-w", "-ns"}));
    EXPECT_EQ(options.KeyScript, "k.txt");
    EXPECT_EQ(options.FrameLimit, 20u);
    ASSERT_EQ(options.Shots.size(), 2u);
    EXPECT_EQ(options.Shots[0].first, 10u);
    EXPECT_EQ(options.Shots[1].second, "b.png");
    EXPECT_TRUE(options.FixedClock);
    EXPECT_TRUE(options.Unattended());
}

// Every program reads its command line through one parser: each bad argument is refused with the
// option named and what it needs, never half-read into a wrong number.
TEST(uOptions, BadArgumentsAreRefusedWithTheOptionNamed) {
    struct TCase {
        std::vector<std::string> Args;
        const char* Message; // empty: accepted
    } cases[] = {
        {{"--mission", "15", "--limit", "2.5", "-w"}, ""},
        {{"--mission"}, "--mission needs a value"},
        {{"--mission", "16"}, "--mission needs a whole number from 1 to 15, not \"16\""},
        {{"--mission", "3x"}, "--mission needs a whole number from 1 to 15, not \"3x\""},
        {{"--mission", ""}, "--mission needs a whole number from 1 to 15, not \"\""},
        {{"--mission", "99999999999999999999"}, "--mission needs a whole number"},
        {{"--limit", "-1"}, "--limit needs a number from 0 to 600, not \"-1\""},
        {{"--limit", "nan"}, "--limit needs a number"},
        {{"--lmit", "5"}, "unknown option --lmit"},
        {{"--frames", "ten"}, "--frames needs a whole number"},
        {{"--shot", "10"}, "--shot needs FRAME:FILE"},
        {{"--shot", "x:a.png"}, "--shot needs a whole number"},
    };
    for (const TCase& c : cases) {
        int mission = 0;
        double limit = 0;
        bool windowed = false;
        std::vector<std::string> args = c.Args;
        std::string error;
        try {
            ParseHarnessOptions(args);
            TOptionParser()
                .Int("--mission", mission, 1, 15)
                .Real("--limit", limit, 0, 600)
                .Flag("-w", windowed)
                .Parse(args);
        } catch (const EOptionError& e) {
            error = e.what();
        }
        EXPECT_EQ(error.substr(0, std::strlen(c.Message)), c.Message) << c.Args[0];
        if (*c.Message == 0) {
            EXPECT_TRUE(mission == 15 && limit == 2.5 && windowed);
        }
    }
}

TEST(uHarness, ScreenshotsRoundTripTopRowFirst) {
    TTempDir dir;
    std::vector<uint8_t> bottomUp(4 * 2 * 3, 0);
    bottomUp[0] = 255; // bottom-left pixel red
    ASSERT_TRUE(WritePNG(dir.File("s.png"), 4, 2, bottomUp));
    int w, h;
    std::vector<uint8_t> topDown;
    ASSERT_TRUE(ReadPNG(dir.File("s.png"), w, h, topDown));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(topDown[(1 * 4 + 0) * 3], 255); // now in the second (bottom) row
    EXPECT_EQ(topDown[0], 0);
}
