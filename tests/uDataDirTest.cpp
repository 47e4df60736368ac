#include "uDataDir.h"
#include "TestSupport.h"
#include "uPlatform.h"

#include <gtest/gtest.h>

TEST(uDataDir, NamedFolderThenTheOneBesideTheProgramThenTheInstalledOne) {
    TTempDir build, bare;
    std::filesystem::create_directories(build.Path / "data");
    const std::string beside = (build.Path / "data").string();
    const struct {
        TDataDirPlaces Places;
        std::string Expected;
    } cases[] = {
        {{"", build.Path.string(), "/usr/share/games/kalmirov"}, beside},
        {{"", bare.Path.string(), "/usr/share/games/kalmirov"}, "/usr/share/games/kalmirov"},
        {{"", "", "/usr/share/games/kalmirov"}, "/usr/share/games/kalmirov"},
        {{"/home/p/mydata", build.Path.string(), "/usr/share/games/kalmirov"}, "/home/p/mydata"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindDataDir(c.Places), c.Expected) << c.Places.Named << " | " << c.Places.ProgramDir;
}

TEST(uDataDir, GamePathsIntoDataPointIntoTheDataFolder) {
    std::string previous = SetDataFolder("/opt/Kal/share/");
    EXPECT_EQ(NativePath(".\\Data\\Bitmaps\\Lamp.bmp"), "/opt/Kal/share/bitmaps/lamp.bmp");
    EXPECT_EQ(NativePath("data/city/city.tmf"), "/opt/Kal/share/city/city.tmf");
    EXPECT_EQ(NativePath(".\\database\\x.bin"), "./database/x.bin") << "only the folder named data";
    EXPECT_EQ(NativePath("/tmp/data/x.bmp"), "/tmp/data/x.bmp");
    EXPECT_EQ(DataFolder(), "/opt/Kal/share");
    SetDataFolder(previous);
    EXPECT_EQ(NativePath(".\\data\\x.bmp"), "./data/x.bmp");
}
