// Helpers shared by the tests: a message-box recorder, a temporary folder, an environment variable
// set for one test and the refusal of a reader.
#pragma once

#include "uErrors.h"
#include "uPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Records every message box shown while it lives, instead of printing it.
class TMessageRecorder {
  public:
    struct TMessage {
        std::string Text, Caption;
    };

    TMessageRecorder() {
        Previous = SetMessageBoxHandler([this](const std::string& text, const std::string& caption) {
            Messages.push_back({text, caption});
        });
    }
    ~TMessageRecorder() { SetMessageBoxHandler(Previous); }

    std::vector<TMessage> Messages;

  private:
    TMessageBoxHandler Previous;
};

// The player's notices (a damaged file moved aside, a failed save) shown as the game shows them, in the
// message box layer, where a TMessageRecorder sees them.
inline void TestNotice(const std::string& text) {
    ShowMessageBox(text, "Kalmirov");
}

// A fresh folder under the system's temporary directory, removed with everything in it.
class TTempDir {
  public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kalmirov-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const { return (Path / name).string(); }

    std::filesystem::path Path;
};

// Sets an environment variable for one test and puts the old value back.
class TEnvironment {
  public:
    TEnvironment(const char* name, const char* value) : Name(name) {
        if (const char* old = std::getenv(name))
            Old = old;
        Had = std::getenv(name) != nullptr;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TEnvironment() {
        if (Had)
            setenv(Name.c_str(), Old.c_str(), 1);
        else
            unsetenv(Name.c_str());
    }

  private:
    std::string Name, Old;
    bool Had = false;
};

// The data set tests read the generated data tree. A build that generates it or links one in must
// have it, so there a missing tree fails the tests instead of letting them pass unseen; other builds
// (a sanitizer build of the unit tests alone) skip them.
#if defined(KAL_DATA_REQUIRED)
#define NO_DATA_TREE(where)                                                                                  \
    GTEST_FAIL() << "no generated data tree under " << (where) << ": the build's data step did not run or failed"
#else
#define NO_DATA_TREE(where) GTEST_SKIP() << "no generated data tree under " << (where)
#endif

// What the engine's error raised by `read` says, or "parsed" when it raises none.
template <class TRead> std::string ReadError(TRead&& read) {
    try {
        read();
        return "parsed";
    } catch (const Exception& e) {
        return e.what();
    }
}
