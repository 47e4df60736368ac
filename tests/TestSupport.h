// Helpers shared by the tests: a message-box recorder and a temporary folder.
#pragma once

#include "uPlatform.h"

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
