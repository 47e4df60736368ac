// TRunVerifier: kalscores' workers that drive every waiting upload again in the server's own headless
// game and record the verdict. The queue is the store's waiting uploads, so nothing is lost when the
// server stops mid-drive: the upload is still waiting when it starts again. Owns its worker threads;
// the store and the driver are not owned and must outlive it.
#pragma once

#include "RunVerdict.h"
#include "ScoreStore.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

// Drives one replay and reports what the game saw. The real one runs the game program (TGameDriver);
// `stop` set asks it to give up at once.
class TReplayDriver {
  public:
    virtual ~TReplayDriver() = default;
    virtual TDriveReport Drive(std::string_view body, const TReplayHeader& header,
                               const std::atomic<bool>& stop) = 0;
};

class TRunVerifier {
  public:
    TRunVerifier(TScoreStore& store, TReplayDriver& driver, int workers);
    ~TRunVerifier();
    TRunVerifier(const TRunVerifier&) = delete;
    TRunVerifier& operator=(const TRunVerifier&) = delete;

    // A new upload is waiting.
    void Wake();

  private:
    void Work();
    bool TakeNext(int64_t& id);

    TScoreStore& Store;
    TReplayDriver& Driver;
    std::mutex Mutex;
    std::condition_variable Wakeup;
    std::set<int64_t> InFlight; // uploads a worker is driving now
    std::atomic<bool> Stopping{false};
    std::vector<std::thread> Workers;
};
