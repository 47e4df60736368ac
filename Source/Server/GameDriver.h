// TGameDriver: drives an uploaded replay in the game program itself ("kalmirov --verify FILE"),
// headless, as a child process in a throwaway folder of its own (its settings and player files go
// there) under limits of processor time, memory and wall time that grow with the run's length.
#pragma once

#include "RunVerifier.h"

#include <string>

struct TGameDriverSetup {
    std::string GameProgram;     // path of kalmirov
    std::string DataDir;         // its data set (KALMIROV_DATA); empty: the game finds its own
    double StartSeconds = 30;    // allowed for loading the city, on top of the run's own time
    double WallPerRunSecond = 2; // wall seconds allowed per second of the run's ticks
    size_t MemoryBytes = size_t(2) << 30;
};

class TGameDriver : public TReplayDriver {
  public:
    explicit TGameDriver(TGameDriverSetup setup) : Setup(std::move(setup)) {}
    TDriveReport Drive(std::string_view body, const TReplayHeader& header,
                       const std::atomic<bool>& stop) override;

  private:
    TGameDriverSetup Setup;
};
