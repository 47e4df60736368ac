#include "web/HighscoreSubmit.h"
#include "uErrors.h"
#include "player/Config.h"
#include "TestHttpServer.h"
#include "TestSupport.h"
#include "uErrors.h"

#include <gtest/gtest.h>

#include <chrono>

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

class TSubmitTest : public ::testing::Test {
  protected:
    TEnvironment NoProxy{"no_proxy", "*"};
    TMessageRecorder Messages;
    THighscores Table;
};

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

TEST_F(TSubmitTest, SendsTheEntriesInRankOrderSkippingEmptyNicksAndZeroScores) {
    Table.Tables[3][0] = Entry("Rychl\xE1 2", 5, 1200, 31234);
    Table.Tables[3][1] = Entry("", 1, 500, 40000);
    Table.Tables[3][2] = Entry("Zero", 2, 0, 41000);
    Table.Tables[3][3] = Entry("Pepa", 7, 20, 99999);
    Table.Tables[4][0] = Entry("Other", 0, 1, 1000); // another mission's table
    TTestHttpServer server;
    EXPECT_TRUE(SubmitHighscores(Table, 3, server.Address()));
    auto requests = server.Recorded();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Target, std::string(PATH) + "Rychl%E1+%32&mission=3&car=5&score=1200&time=31234");
    EXPECT_EQ(requests[1].Target, std::string(PATH) + "Pepa&mission=3&car=7&score=20&time=99999");
    EXPECT_EQ(requests[0].UserAgent, "Kalmirov");
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(TSubmitTest, EmptyTableSendsNothingAndSucceeds) {
    TTestHttpServer server;
    EXPECT_TRUE(SubmitHighscores(Table, 1, server.Address()));
    EXPECT_TRUE(SubmitHighscores(Table, 0, "http://127.0.0.1:" + std::to_string(ClosedLocalPort())));
    EXPECT_TRUE(server.Recorded().empty());
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(TSubmitTest, SubmittingAgainSendsTheSameEntriesAgain) {
    Table.Tables[1][0] = Entry("Ann", 0, 10, 5000);
    TTestHttpServer server;
    EXPECT_TRUE(SubmitHighscores(Table, 1, server.Address()));
    EXPECT_TRUE(SubmitHighscores(Table, 1, server.Address()));
    auto requests = server.Recorded();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Target, requests[1].Target);
}

TEST_F(TSubmitTest, FirstRefusedRequestStopsAndShowsItsStatusText) {
    for (int i = 0; i < 4; ++i)
        Table.Tables[2][size_t(i)] = Entry("P" + std::string(1, char('a' + i)), 1, 10 + i, 1000 + i);
    TTestHttpServer server(1, 404);
    EXPECT_FALSE(SubmitHighscores(Table, 2, server.Address()));
    EXPECT_EQ(server.Recorded().size(), 2u) << "the first went through, the second failed, no more";
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text,
              "The highscores could not be sent to the server " + server.Address() + ": 404 Not Found.");
}

TEST_F(TSubmitTest, ClosedPortFailsQuicklyWithAMessageBox) {
    Table.Tables[5][0] = Entry("Ann", 0, 10, 5000);
    Table.Tables[5][1] = Entry("Bob", 0, 10, 6000);
    auto start = std::chrono::steady_clock::now();
    std::string server = "http://127.0.0.1:" + std::to_string(ClosedLocalPort());
    EXPECT_FALSE(SubmitHighscores(Table, 5, server));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
    ASSERT_EQ(Messages.Messages.size(), 1u) << "one box, not one per entry";
    std::string named = "The highscores could not be sent to the server " + server + ": ";
    EXPECT_EQ(Messages.Messages[0].Text.rfind(named, 0), 0u) << Messages.Messages[0].Text;
}

TEST_F(TSubmitTest, LongestNickKeepsTheUrlBounded) {
    Table.Tables[10][0] = Entry(std::string(200, '\x9A'), 7, 2147483647, 2147483647);
    TTestHttpServer server;
    EXPECT_TRUE(SubmitHighscores(Table, 10, server.Address()));
    auto requests = server.Recorded();
    ASSERT_EQ(requests.size(), 1u);
    std::string nick;
    for (int i = 0; i < 128; ++i)
        nick += "%9A";
    EXPECT_EQ(requests[0].Target,
              std::string(PATH) + nick + "&mission=10&car=7&score=2147483647&time=2147483647");
}

TEST_F(TSubmitTest, TableOutsideTheSixteenIsARangeError) {
    EXPECT_THROW(SubmitHighscores(Table, 16, "http://127.0.0.1:1"), ERangeError);
    EXPECT_THROW(SubmitHighscores(Table, -1, "http://127.0.0.1:1"), ERangeError);
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
