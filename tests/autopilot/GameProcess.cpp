#include "GameProcess.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string MakeTempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kalautopilot-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot make a temporary folder");
    return pattern;
}

TGameProcess::TGameProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& directory, const std::string& home) {
    // A game that has gone away must not kill the driver with SIGPIPE: its exit status tells more.
    std::signal(SIGPIPE, SIG_IGN);
    int toGame[2], fromGame[2];
    if (pipe(toGame) != 0 || pipe(fromGame) != 0)
        throw std::runtime_error("Cannot make the pipes to the game");
    // posix_spawn has no working directory; the shell changes into it and replaces itself.
    std::vector<std::string> words = {"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"", directory, program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        if (entry.rfind("XDG_DATA_HOME=", 0) != 0 && entry.rfind("XDG_CONFIG_HOME=", 0) != 0)
            environment.push_back(entry);
    }
    environment.push_back("XDG_DATA_HOME=" + home);
    environment.push_back("XDG_CONFIG_HOME=" + home);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toGame[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromGame[1], 1);
    for (int fd : {toGame[0], toGame[1], fromGame[0], fromGame[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    int failed = posix_spawn(&Child, "/bin/sh", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(toGame[0]);
    close(fromGame[1]);
    if (failed != 0) {
        close(toGame[1]);
        close(fromGame[0]);
        throw std::runtime_error("Cannot start " + program);
    }
    Keys = fdopen(toGame[1], "w");
    State = fdopen(fromGame[0], "r");
}

TGameProcess::~TGameProcess() {
    if (Child > 0)
        Finish();
    if (State)
        std::fclose(State);
    std::free(Buffer);
}

bool TGameProcess::ReadLine(std::string& line) {
    ssize_t length = getline(&Buffer, &BufferSize, State);
    if (length <= 0)
        return false;
    line.assign(Buffer, size_t(length));
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return true;
}

void TGameProcess::Send(uint64_t pass, const std::string& keyLines) {
    if (!Keys)
        return;
    std::fputs(keyLines.c_str(), Keys);
    std::fprintf(Keys, "%llu go\n", static_cast<unsigned long long>(pass));
    std::fflush(Keys);
}

int TGameProcess::Finish() {
    if (Keys) {
        std::fclose(Keys);
        Keys = nullptr;
    }
    // The game may still be writing the frame it is in: read to the end so it never blocks.
    std::string line;
    while (ReadLine(line)) {
    }
    int status = 0;
    if (Child > 0) {
        struct rusage usage {};
        wait4(Child, &status, 0, &usage);
        PeakKilobytes = usage.ru_maxrss;
        Child = -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

long TGameProcess::ResidentKilobytes() const {
    if (Child <= 0)
        return 0;
    std::ifstream status("/proc/" + std::to_string(Child) + "/status");
    std::string field;
    while (status >> field)
        if (field == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    return 0;
}
