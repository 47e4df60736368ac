// The platform seams of the engine: message boxes and the clock. The game installs the real ones;
// tests replace them with a recorder and a fixed clock so that logic runs without a desktop.
#pragma once

#include <functional>
#include <string>

// A modal message with one OK button. The default handler writes to stderr.
using TMessageBoxHandler = std::function<void(const std::string& text, const std::string& caption)>;

void ShowMessageBox(const std::string& text, const std::string& caption);
// Installs a handler and returns the previous one.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

// The only clock of the game, in seconds. Real time by default.
class TClock {
  public:
    virtual ~TClock() = default;
    virtual double Now() = 0;
    // Returns once Now() >= time.
    virtual void WaitUntil(double time) = 0;
};

// Real time from a monotonic clock; waits by sleeping.
class TRealClock : public TClock {
  public:
    TRealClock();
    double Now() override;
    void WaitUntil(double time) override;

  private:
    double Origin;
};

// Time that only moves when someone waits: a frame capped at 10 ms then lasts exactly 10 ms,
// however fast or slow the machine, so runs with a key script repeat exactly.
class TFixedClock : public TClock {
  public:
    double Now() override { return Time; }
    void WaitUntil(double time) override;
    // Moves time forward by the given seconds (for tests).
    void Advance(double seconds) { Time += seconds; }

  private:
    double Time = 0.0;
};

TClock& Clock();
// Installs a clock (not owned; must outlive its use) and returns the previous one; nullptr restores
// the real clock.
TClock* SetClock(TClock* clock);
// Seconds on the game clock (the only clock the game reads).
inline double GetTime() { return Clock().Now(); }

// Turns a game path (".\data\bitmaps\lamp.bmp") into this system's form ("./data/bitmaps/lamp.bmp"):
// backslashes become slashes and, in relative paths, letters become lower case, as every file of the
// data set is named. Absolute paths keep their case. Once a data folder is installed (SetDataFolder), a
// path into "data" points into that folder instead ("/usr/share/games/kalmirov/bitmaps/lamp.bmp").
std::string NativePath(const std::string& gamePath);

// The folder of the data set for the game paths below "data"; empty (the default) leaves them relative
// to the working directory, as the tools and the tests run. Returns the previous one.
std::string SetDataFolder(const std::string& folder);
// The folder game paths into "data" name: the installed one, or "data" of the working directory.
std::string DataFolder();
