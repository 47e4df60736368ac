#include "uPlatform.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>

namespace {

TMessageBoxHandler& MessageBoxHandler() {
    static TMessageBoxHandler handler = [](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    };
    return handler;
}

TRealClock& RealClock() {
    static TRealClock clock;
    return clock;
}

TClock* CurrentClock = nullptr;

std::string& InstalledDataDir() {
    static std::string folder;
    return folder;
}

} // namespace

void ShowMessageBox(const std::string& text, const std::string& caption) { MessageBoxHandler()(text, caption); }

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
    TMessageBoxHandler previous = MessageBoxHandler();
    MessageBoxHandler() = std::move(handler);
    return previous;
}

TRealClock::TRealClock() : Origin(0.0) { Origin = Now(); }

double TRealClock::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count() - Origin;
}

void TRealClock::WaitUntil(double time) {
    // Sleeps: a frame or two of the scheduler's lateness costs less than a core held busy.
    double left = time - Now();
    if (left > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(left));
}

void TFixedClock::WaitUntil(double time) {
    if (time > Time)
        Time = time;
}

TClock& Clock() { return CurrentClock ? *CurrentClock : RealClock(); }

TClock* SetClock(TClock* clock) {
    TClock* previous = CurrentClock;
    CurrentClock = clock;
    return previous;
}

std::string NativePath(const std::string& gamePath) {
    std::string path = gamePath;
    // Only paths below the working directory are game paths; absolute ones are kept as they are.
    bool relative = path.empty() || (path[0] != '/' && path[0] != '\\');
    for (char& c : path) {
        if (c == '\\')
            c = '/';
        else if (relative && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    const std::string& dataDir = InstalledDataDir();
    if (relative && !dataDir.empty())
        for (const char* prefix : {"./data", "data"}) {
            std::string_view view(path);
            if (view.starts_with(prefix) &&
                (view.size() == std::strlen(prefix) || view[std::strlen(prefix)] == '/'))
                return dataDir + path.substr(std::strlen(prefix));
        }
    return path;
}

std::string SetDataFolder(const std::string& folder) {
    std::string previous = InstalledDataDir();
    InstalledDataDir() = folder;
    // "/usr/share/games/kalmirov/" and ".../kalmirov" name one folder; the paths add their own slash.
    while (InstalledDataDir().size() > 1 && InstalledDataDir().back() == '/')
        InstalledDataDir().pop_back();
    return previous;
}

std::string DataFolder() {
    return InstalledDataDir().empty() ? std::string("data") : InstalledDataDir();
}
