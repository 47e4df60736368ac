// The real program from its launcher on the virtual display: a fresh player folder, the first-player
// box answered, the game started, quit through its menu, and the new profile found in the file with
// what the game handed back. A launcher script stands in for the person at the launcher, a key
// script for the person in the game.
#include "TestSupport.h"
#include "uByteReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

struct TRun {
    bool Finished = false;
    int ExitCode = -1;
};

// Runs the game program in the run directory with the given arguments; kills it after `limit`.
TRun RunGame(const std::vector<std::string>& args, std::chrono::seconds limit) {
    std::vector<std::string> words{KAL_GAME_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    TRun run;
    if (posix_spawn(&pid, KAL_GAME_PROGRAM, nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    run.Finished = true;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void WriteText(const std::string& fileName, const std::string& text) {
    std::ofstream out(fileName);
    out << text;
}

int32_t I32At(const std::vector<uint8_t>& bytes, size_t at) {
    return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                   uint32_t(bytes[at + 3]) << 24);
}

TEST(LauncherE2E, FirstPlayerStartsTheGameAndKeepsTheProfileAfterQuitting) {
    TTempDir home;
    // Escape opens the intro's menu; Up wraps to its last item, which quits; Enter chooses it.
    WriteText(home.File("quit.keys"), "20 down ESCAPE\n25 up ESCAPE\n"
                                      "30 down UP\n35 up UP\n"
                                      "40 down RETURN\n45 up RETURN\n");
    WriteText(home.File("launcher.txt"), "nick Jiří\nkeys " + home.File("quit.keys") + "\nstart\n");
    TEnvironment data("XDG_DATA_HOME", home.File("data").c_str());
    TEnvironment config("XDG_CONFIG_HOME", home.File("config").c_str());
    TEnvironment script("KALMIROV_LAUNCHER_SCRIPT", home.File("launcher.txt").c_str());
    TEnvironment platform("QT_QPA_PLATFORM", nullptr);

    TRun run = RunGame({"-w", "-ns"}, std::chrono::seconds(180));
    ASSERT_TRUE(run.Finished) << "the program did not end after the game";
    EXPECT_EQ(run.ExitCode, 0);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(home.File("data/kalmirov/profiles.dat"), bytes));
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(bytes[0], 1) << "written again after the game, with the player selected";
    EXPECT_EQ(I32At(bytes, 4), 0);
    EXPECT_EQ(I32At(bytes, 8), 0);
    ASSERT_EQ(bytes[12], 4);
    EXPECT_EQ(std::string(bytes.begin() + 13, bytes.begin() + 17), "Ji\xF8\xED"); // Windows-1250
    EXPECT_EQ(bytes[33], 1);
    EXPECT_EQ(I32At(bytes, 36), 0);
    EXPECT_EQ(I32At(bytes, 40), 0);
    // The game itself ran: it keeps its highscore table beside the profiles.
    EXPECT_TRUE(FileExists(home.File("data/kalmirov/highscore.dat")));
    EXPECT_TRUE(FileExists(home.File("config/kalmirov/settings.ini")));
}

TEST(LauncherE2E, WithoutADisplayTheProgramSaysSoAndFails) {
    TEnvironment display("DISPLAY", nullptr);
    TEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    TRun run = RunGame({}, std::chrono::seconds(30));
    ASSERT_TRUE(run.Finished);
    EXPECT_NE(run.ExitCode, 0);
}

} // namespace
