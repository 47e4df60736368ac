#include "ScoreStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TRun MakeRun(const std::string& nick, int mission, int car, int score, int timeMs) {
    return TRun{nick, mission, car, score, timeMs};
}

} // namespace

TEST(TScoreStore, BestTimeFirstThenHigherScoreThenEarlierArrival) {
    TTempDir dir;
    TScoreStore store(dir.File("scores.db"));
    EXPECT_TRUE(store.Insert(MakeRun("slow", 2, 1, 900, 50000)));
    EXPECT_TRUE(store.Insert(MakeRun("fast", 2, 3, 100, 20000)));
    EXPECT_TRUE(store.Insert(MakeRun("tie low", 2, 0, 100, 30000)));
    EXPECT_TRUE(store.Insert(MakeRun("tie high", 2, 0, 500, 30000)));
    EXPECT_TRUE(store.Insert(MakeRun("tie low later", 2, 1, 100, 30000)));
    EXPECT_TRUE(store.Insert(MakeRun("other mission", 3, 0, 1, 1)));
    std::vector<TRun> board = store.Leaderboard(2, 100);
    std::vector<std::string> nicks;
    for (const TRun& run : board)
        nicks.push_back(run.Nick);
    EXPECT_EQ(nicks, (std::vector<std::string>{"fast", "tie high", "tie low", "tie low later", "slow"}));
    EXPECT_EQ(board[0], MakeRun("fast", 2, 3, 100, 20000));
    EXPECT_EQ(store.Leaderboard(2, 2).size(), 2u);
    EXPECT_TRUE(store.Leaderboard(4, 100).empty());
    EXPECT_EQ(store.Count(), 6);
}

TEST(TScoreStore, ExactRepeatIsIgnoredAndAnyDifferenceIsANewRun) {
    TTempDir dir;
    TScoreStore store(dir.File("scores.db"));
    TRun run = MakeRun("Žáček", 1, 2, 300, 45000);
    EXPECT_TRUE(store.Insert(run));
    EXPECT_FALSE(store.Insert(run));
    EXPECT_TRUE(store.Insert(MakeRun("žáček", 1, 2, 300, 45000))) << "nicks differ in case";
    EXPECT_TRUE(store.Insert(MakeRun("Žáček", 1, 3, 300, 45000)));
    EXPECT_TRUE(store.Insert(MakeRun("Žáček", 1, 2, 301, 45000)));
    EXPECT_TRUE(store.Insert(MakeRun("Žáček", 1, 2, 300, 45001)));
    EXPECT_TRUE(store.Insert(MakeRun("Žáček", 2, 2, 300, 45000)));
    EXPECT_EQ(store.Count(), 6);
}

TEST(TScoreStore, RunsSurviveReopeningInWriteAheadLogMode) {
    TTempDir dir;
    std::string file = dir.File("scores.db");
    {
        TScoreStore store(file);
        store.Insert(MakeRun("Šárka", 7, 6, 1234, 98765));
    }
    TScoreStore again(file);
    EXPECT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Leaderboard(7, 10).at(0), MakeRun("Šárka", 7, 6, 1234, 98765));
    EXPECT_FALSE(again.Insert(MakeRun("Šárka", 7, 6, 1234, 98765)));
    // The journal mode is kept in the file's header: byte 18 and 19 are 2 in WAL mode.
    std::ifstream header(file, std::ios::binary);
    char bytes[20];
    header.read(bytes, 20);
    EXPECT_EQ(bytes[18], 2);
    EXPECT_EQ(bytes[19], 2);
}

TEST(TScoreStore, FileThatCannotBeOpenedIsAnErrorNamingIt) {
    TTempDir dir;
    std::string file = dir.File("missing/folder/scores.db");
    try {
        TScoreStore store(file);
        FAIL() << "opened " << file;
    } catch (const EStoreError& error) {
        EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
    }
    std::ofstream(dir.File("junk.db")) << "this is not a database, just some text that is long enough";
    EXPECT_THROW(TScoreStore store(dir.File("junk.db")), EStoreError);
}
