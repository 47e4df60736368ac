#include "uDataDir.h"
#include "TestSupport.h"

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
