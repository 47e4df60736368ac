// Crash safety of the player's files: a child process saves the profiles and the highscores in a
// tight loop and is killed with SIGKILL at random moments. After every kill each file must be a
// whole version the child wrote — the old one or the new one, never a mix or a torn file — and the
// game must read it without a message.
#include "player/Highscores.h"
#include "player/PlayerData.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Version n of the profiles: 1 + n % 32 records, each scored n, so that versions differ in size too.
TProfileList ProfilesVersion(int32_t n) {
    TProfileList list;
    for (int32_t i = 0; i <= n % MaxProfiles; ++i) {
        TProfileRecord record;
        record.Index = i;
        record.Nick = "player" + std::to_string(i);
        record.Score = n;
        list.Records.push_back(record);
    }
    return list;
}

// Version n of the highscores: every entry of every table timed and scored n.
THighscores HighscoresVersion(int32_t n) {
    THighscores table;
    for (auto& ranks : table.Tables)
        for (THighscoreEntry& entry : ranks) {
            entry.Nick = "run" + std::to_string(n);
            entry.Score = n;
            entry.TimeMs = n;
        }
    return table;
}

[[noreturn]] void SaveForever(const std::string& profiles, const std::string& highscores, int32_t from) {
    for (int32_t n = from;; ++n) {
        ProfilesVersion(n).SaveProfiles(profiles, TestNotice);
        HighscoresVersion(n).Save(highscores, TestNotice);
    }
}

// The version the profiles file holds; fails the test on any sign of a mix.
int32_t ProfilesVersionIn(const std::string& fileName) {
    TProfileList list;
    list.LoadProfiles(fileName, TestNotice);
    if (list.Records.empty()) {
        ADD_FAILURE() << fileName << " holds no records";
        return -1;
    }
    int32_t n = list.Records[0].Score;
    EXPECT_EQ(list.Records.size(), size_t(n % MaxProfiles + 1)) << "version " << n << " has the wrong length";
    for (const TProfileRecord& record : list.Records)
        EXPECT_EQ(record.Score, n) << "records of two versions in one file";
    return n;
}

int32_t HighscoresVersionIn(const std::string& fileName) {
    THighscores table;
    table.Load(fileName, TestNotice);
    int32_t n = table.Tables[0][0].TimeMs;
    for (const auto& ranks : table.Tables)
        for (const THighscoreEntry& entry : ranks) {
            EXPECT_EQ(entry.TimeMs, n) << "entries of two versions in one file";
            EXPECT_EQ(entry.Nick, "run" + std::to_string(n));
        }
    return n;
}

} // namespace

TEST(CrashSafety, KilledSavesLeaveTheOldOrTheNewFileNeverAMix) {
    TTempDir dir;
    const std::string profiles = dir.File("profiles.dat"), highscores = dir.File("highscore.dat");
    ASSERT_TRUE(ProfilesVersion(1).SaveProfiles(profiles, TestNotice));
    ASSERT_TRUE(HighscoresVersion(1).Save(highscores, TestNotice));
    TMessageRecorder messages;
    std::mt19937 random(20240611);
    int32_t profilesSeen = 1, highscoresSeen = 1;
    int changed = 0;
    const auto started = std::chrono::steady_clock::now();
    constexpr int Kills = 1000;
    for (int kill = 0; kill < Kills; ++kill) {
        pid_t child = fork();
        ASSERT_GE(child, 0) << "cannot start the saving process";
        if (child == 0)
            SaveForever(profiles, highscores, std::max(profilesSeen, highscoresSeen) + 1);
        // Random moments across several saves: before the first, inside one, between two.
        usleep(useconds_t(random() % 8000));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saver ended by itself";

        int32_t p = ProfilesVersionIn(profiles), h = HighscoresVersionIn(highscores);
        ASSERT_FALSE(HasFailure()) << "after kill " << kill + 1;
        EXPECT_GE(p, profilesSeen) << "an older version came back";
        EXPECT_GE(h, highscoresSeen) << "an older version came back";
        changed += p != profilesSeen;
        profilesSeen = p;
        highscoresSeen = h;
    }
    EXPECT_TRUE(messages.Messages.empty()) << messages.Messages[0].Text;
    EXPECT_FALSE(std::filesystem::exists(profiles + ".bad"));
    EXPECT_FALSE(std::filesystem::exists(highscores + ".bad"));
    EXPECT_GT(changed, Kills / 10) << "too few kills landed after a finished save to test anything";
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d kills in %.1f s; the files changed after %d of them, last versions %d and %d\n", Kills,
                seconds, changed, profilesSeen, highscoresSeen);
}
