#include "ScoreRequest.h"

#include <gtest/gtest.h>

namespace {

const std::string GOOD_TAIL = "&mission=3&car=5&score=1200&time=31234";

std::optional<TRun> Parse(const std::string& query) {
    std::string reason;
    return ParseInsertQuery(query, reason);
}

// The reason a query is refused; empty when it is accepted.
std::string Refusal(const std::string& query) {
    std::string reason;
    return ParseInsertQuery(query, reason) ? "" : reason;
}

} // namespace

TEST(ScoreRequest, ReadsTheGamesRequestAndDecodesTheNickFromWindows1250) {
    std::optional<TRun> run = Parse("action=insert&nick=Rychl%E1+%32" + GOOD_TAIL);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->Nick, "Rychlá 2");
    EXPECT_EQ(run->Mission, 3);
    EXPECT_EQ(run->CarType, 5);
    EXPECT_EQ(run->Score, 1200);
    EXPECT_EQ(run->TimeMs, 31234);
    run = Parse("action=insert&nick=%8Ae%F0a+%8E%E1%E8ek&mission=10&car=0&score=0&time=1");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->Nick, "Šeđa Žáček");
}

TEST(ScoreRequest, KeysMayComeInAnyOrder) {
    std::optional<TRun> run = Parse("time=5&score=1&car=7&mission=1&nick=a&action=insert");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->TimeMs, 5);
    EXPECT_EQ(run->CarType, 7);
}

TEST(ScoreRequest, BoundsOfEveryNumber) {
    EXPECT_TRUE(Parse("action=insert&nick=a&mission=1&car=0&score=0&time=1"));
    EXPECT_TRUE(Parse("action=insert&nick=a&mission=10&car=7&score=10000000&time=86400000"));
    EXPECT_TRUE(Parse("action=insert&nick=a&mission=01&car=007&score=00&time=0001")) << "leading zeros";
    const char* refused[] = {
        "mission=0",      "mission=11", "mission=-1", "mission=",      "mission=3x",
        "mission=+3",     "car=8",      "car=-1",     "car=1.0",       "score=-1",
        "score=10000001", "score=1e3",  "time=0",     "time=86400001", "time=99999999999999999999",
        "time= 1",
    };
    for (const char* field : refused) {
        std::string key(field, std::string(field).find('='));
        std::string query = "action=insert&nick=a";
        for (const char* other : {"mission=1", "car=1", "score=1", "time=1"})
            if (std::string(other).rfind(key + "=", 0) != 0)
                query += std::string("&") + other;
        query += std::string("&") + field;
        std::string reason = Refusal(query);
        EXPECT_NE(reason.find(key + " must be a whole number"), std::string::npos) << query << ": " << reason;
    }
}

TEST(ScoreRequest, MissingRepeatedAndUnknownKeysAreRefused) {
    for (const char* key : {"action", "nick", "mission", "car", "score", "time"}) {
        std::string query;
        for (const char* part : {"action=insert", "nick=a", "mission=1", "car=1", "score=1", "time=1"})
            if (std::string(part).rfind(std::string(key) + "=", 0) != 0)
                query += (query.empty() ? "" : "&") + std::string(part);
        EXPECT_EQ(Refusal(query), std::string("missing parameter '") + key + "'");
    }
    EXPECT_EQ(Refusal("action=insert&nick=a&nick=b" + GOOD_TAIL), "parameter 'nick' is repeated");
    EXPECT_EQ(Refusal("action=insert&nick=a&cheat=1" + GOOD_TAIL), "unknown parameter 'cheat'");
    EXPECT_EQ(Refusal("action=insert&nick" + GOOD_TAIL), "parameter 'nick' has no value");
    EXPECT_EQ(Refusal(""), "missing parameter 'action'");
    EXPECT_EQ(Refusal("action=insert&&nick=a" + GOOD_TAIL), "parameter '' has no value");
    EXPECT_EQ(Refusal("action=delete&nick=a" + GOOD_TAIL), "action must be insert");
    EXPECT_EQ(Refusal("action=INSERT&nick=a" + GOOD_TAIL), "action must be insert");
}

TEST(ScoreRequest, NickIsOneTo128BytesWithoutControlBytes) {
    std::string longest;
    for (int i = 0; i < 128; ++i)
        longest += "%E1";
    std::optional<TRun> run = Parse("action=insert&nick=" + longest + GOOD_TAIL);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->Nick.size(), 256u) << "128 letters á, two UTF-8 bytes each";
    EXPECT_EQ(Refusal("action=insert&nick=" + longest + "a" + GOOD_TAIL), "nick must be 1 to 128 characters");
    EXPECT_EQ(Refusal("action=insert&nick=" + GOOD_TAIL), "nick must be 1 to 128 characters");
    for (const char* bad : {"%00", "%01", "%0A", "%0D", "%1F", "%7F", "a%09b"})
        EXPECT_EQ(Refusal("action=insert&nick=" + std::string(bad) + GOOD_TAIL),
                  "nick must not contain control characters")
            << bad;
    EXPECT_EQ(Refusal("action=insert&nick=%81" + GOOD_TAIL),
              "nick has a byte that is not a Windows-1250 character");
    EXPECT_TRUE(Parse("action=insert&nick=%80%A0%FF" + GOOD_TAIL)) << "euro, no-break space, dot above";
}

TEST(ScoreRequest, BrokenPercentEncodingIsRefused) {
    for (const char* bad : {"%", "%E", "a%G1", "%%41", "%-1", "ab%"})
        EXPECT_EQ(Refusal("action=insert&nick=" + std::string(bad) + GOOD_TAIL),
                  "nick has a broken percent-encoding")
            << bad;
    EXPECT_EQ(Refusal("action=insert&nick=a&mission=%3" + std::string("&car=1&score=1&time=1")),
              "mission has a broken percent-encoding");
}

TEST(ScoreRequest, PercentDecode) {
    EXPECT_EQ(PercentDecode("a+b%20c%e1%E1"), "a b c\xE1\xE1");
    EXPECT_EQ(PercentDecode(""), "");
    EXPECT_FALSE(PercentDecode("%2"));
    EXPECT_FALSE(PercentDecode("%zz"));
}

TEST(ScoreRequest, ReasonsQuoteOnlyPrintableShortKeys) {
    std::string reason = Refusal("action=insert&nick=a&" + std::string(100, 'k') + "\x01=1" + GOOD_TAIL);
    EXPECT_EQ(reason, "unknown parameter '" + std::string(32, 'k') + "'");
    reason = Refusal("action=insert&nick=a&<b>\x01=1" + GOOD_TAIL);
    EXPECT_EQ(reason, "unknown parameter '<b>?'");
}

TEST(ScoreRequest, ParseMission) {
    EXPECT_EQ(ParseMission("1"), 1);
    EXPECT_EQ(ParseMission("10"), 10);
    EXPECT_FALSE(ParseMission("0"));
    EXPECT_FALSE(ParseMission("11"));
    EXPECT_FALSE(ParseMission(""));
    EXPECT_FALSE(ParseMission("two"));
}
