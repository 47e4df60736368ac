#include "web/HighscoreSubmit.h"
#include "uErrors.h"
#include "player/Config.h"
#include "TestSupport.h"
#include "uErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* PATH = "/games_kalmirov_highscore.php?action=insert&nick=";

THighscoreEntry Entry(const std::string& nick, uint8_t car, int32_t score, int32_t timeMs) {
    THighscoreEntry entry;
    entry.Nick = nick;
    entry.CarType = car;
    entry.Score = score;
    entry.TimeMs = timeMs;
    return entry;
}

} // namespace

TEST(UrlEncode, KeepsTheSafeBytesAndEscapesTheRest) {
    EXPECT_EQ(UrlEncode("Rychl\xE1 2"), "Rychl%E1+%32");
    EXPECT_EQ(UrlEncode(""), "");
    EXPECT_EQ(UrlEncode("AZaz*-.@_"), "AZaz*-.@_");
    EXPECT_EQ(UrlEncode("0189"), "%30%31%38%39") << "digits are escaped too";
    EXPECT_EQ(UrlEncode("a&b=c%d+e/f?"), "a%26b%3Dc%25d%2Be%2Ff%3F");
    EXPECT_EQ(UrlEncode("  "), "++");
    EXPECT_EQ(UrlEncode("\x01\x7F\x80\xFF"), "%01%7F%80%FF");
    EXPECT_EQ(UrlEncode("\x8A\x9A"), "%8A%9A") << "upper-case hex digits";
}

TEST(UrlEncode, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(UrlEncode(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(UrlEncode(std::string("\0x", 2)), "");
}

TEST(UrlEncode, IsAtMostThreeTimesAsLong) {
    std::string worst(128, '\xE1');
    EXPECT_EQ(UrlEncode(worst).size(), 384u);
}

// The old protocol's insert requests of a table, one URL an entry in rank order; empty nicks and zero
// scores are no entries, and the longest nick keeps the URL bounded.
TEST(InsertUrls, OneRequestAnEntryInRankOrderSkippingEmptyOnes) {
    THighscores table;
    table.Tables[3][0] = Entry("Rychl\xE1 2", 5, 1200, 31234);
    table.Tables[3][1] = Entry("", 1, 500, 40000);
    table.Tables[3][2] = Entry("Zero", 2, 0, 41000);
    table.Tables[3][3] = Entry("Pepa", 7, 20, 99999);
    table.Tables[4][0] = Entry("Other", 0, 1, 1000); // another mission's table
    table.Tables[10][0] = Entry(std::string(200, '\x9A'), 7, 2147483647, 2147483647);
    const std::string server = "http://scores.local:9000";
    EXPECT_EQ(InsertUrls(table, 3, server),
              (std::vector<std::string>{server + PATH + "Rychl%E1+%32&mission=3&car=5&score=1200&time=31234",
                                        server + PATH + "Pepa&mission=3&car=7&score=20&time=99999"}));
    EXPECT_TRUE(InsertUrls(table, 1, server).empty());
    std::string nick;
    for (int i = 0; i < 128; ++i)
        nick += "%9A";
    EXPECT_EQ(InsertUrls(table, 10, server),
              std::vector<std::string>{server + PATH + nick + "&mission=10&car=7&score=2147483647&time=2147483647"});
    EXPECT_THROW(InsertUrls(table, 16, server), ERangeError);
    EXPECT_THROW(InsertUrls(table, -1, server), ERangeError);
}

TEST(HighscoreServerAddress, EnvironmentOverridesTheSettingsAndTrailingSlashesGo) {
    TConfig config;
    TConfig* previous = SetConfig(&config);
    {
        TEnvironment unset("KALMIROV_HIGHSCORE_SERVER", nullptr);
        EXPECT_EQ(HighscoreServerAddress(), "http://127.0.0.1:8080");
        config.HighscoreServer = "http://scores.local:9000/";
        EXPECT_EQ(HighscoreServerAddress(), "http://scores.local:9000");
    }
    {
        TEnvironment set("KALMIROV_HIGHSCORE_SERVER", "http://127.0.0.1:5555//");
        EXPECT_EQ(HighscoreServerAddress(), "http://127.0.0.1:5555");
    }
    {
        TEnvironment empty("KALMIROV_HIGHSCORE_SERVER", "");
        EXPECT_EQ(HighscoreServerAddress(), "http://scores.local:9000")
            << "an empty variable counts as unset";
    }
    SetConfig(previous);
}
