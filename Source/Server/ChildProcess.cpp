#include "ChildProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Between fork and exec in a threaded program only async-signal-safe calls may run.
[[noreturn]] void StartChild(int outputFd, char** argv, char** envp, const char* workDir,
                             const TProcessLimits& limits) {
    setpgid(0, 0);
    int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, STDIN_FILENO);
    dup2(nothing, STDERR_FILENO);
    dup2(outputFd, STDOUT_FILENO);
    rlimit cpu{rlim_t(limits.CpuSeconds), rlim_t(limits.CpuSeconds) + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    rlimit memory{rlim_t(limits.MemoryBytes), rlim_t(limits.MemoryBytes)};
    setrlimit(RLIMIT_AS, &memory);
    rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
    if (chdir(workDir) == 0)
        execve(argv[0], argv, envp);
    _exit(127);
}

} // namespace

TProcessResult RunChildProcess(const std::vector<std::string>& argv,
                               const std::vector<std::string>& environment, const std::string& workDir,
                               const TProcessLimits& limits, const std::atomic<bool>& stop) {
    TProcessResult result;
    std::vector<std::string> args = argv, env = environment;
    std::vector<char*> argp = Pointers(args), envp = Pointers(env);
    int pipeFds[2];
    if (argv.empty() || pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.Failure = "cannot start the game";
        return result;
    }
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        StartChild(pipeFds[1], argp.data(), envp.data(), workDir.c_str(), limits);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        result.Failure = "cannot start the game";
        return result;
    }
    setpgid(child, child); // either side may get there first

    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limits.WallSeconds);
    bool open = true;
    while (open) {
        if (stop) {
            result.Failure = "stopped";
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            result.Failure = "timed out after " + std::to_string(int(limits.WallSeconds)) + " s";
            break;
        }
        pollfd watch{pipeFds[0], POLLIN, 0};
        if (poll(&watch, 1, 100) <= 0)
            continue;
        char buffer[4096];
        ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) {
            open = got < 0 && errno == EINTR;
            continue;
        }
        size_t room = limits.MaxOutputBytes - result.Output.size();
        result.Output.append(buffer, std::min(room, size_t(got)));
    }
    close(pipeFds[0]);
    if (!result.Failure.empty())
        kill(-child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    kill(-child, SIGKILL); // anything it left behind in its group
    if (!result.Failure.empty())
        return result;
    if (WIFSIGNALED(status))
        result.Failure =
            WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL
                ? "over its processor time or killed (signal " + std::to_string(WTERMSIG(status)) + ")"
                : "ended by signal " + std::to_string(WTERMSIG(status));
    else if (WEXITSTATUS(status) == 127)
        result.Failure = "the game program could not be started";
    else if (WEXITSTATUS(status) != 0)
        result.Failure = "exit status " + std::to_string(WEXITSTATUS(status));
    return result;
}
