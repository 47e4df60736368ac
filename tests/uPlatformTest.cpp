#include "uErrors.h"
#include "uHarness.h"
#include "uPlatform.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

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
    std::vector<std::string> args = {"-w", "--keys", "k.txt", "-ns", "--shot", "10:a.png", "--frames", "20",
                                     "--shot", "20:b.png", "--fixed-clock"};
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

TEST(uHarness, BadOptionsAreReported) {
    std::vector<std::string> missing = {"--frames"};
    EXPECT_THROW(ParseHarnessOptions(missing), Exception);
    std::vector<std::string> notNumber = {"--frames", "ten"};
    EXPECT_THROW(ParseHarnessOptions(notNumber), Exception);
    std::vector<std::string> noFile = {"--shot", "10"};
    EXPECT_THROW(ParseHarnessOptions(noFile), Exception);
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
