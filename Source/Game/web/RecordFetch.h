// TRecordFetch: the highscore screen's fetch of a mission's record in the background — the best
// verified run of the server's leaderboard (/api/missions/N), then its replay (/api/runs/ID/replay),
// checked as the game checks its own replays and kept as record_NN.dat for the ghost to race. Without
// a connection the record kept from an earlier fetch is offered. One worker thread; the screen reads a
// snapshot each frame, and Stop returns at once (a request under way is cancelled). Owns the worker,
// its HTTP client and the record once fetched.
#pragma once

#include "player/Replay.h"
#include "web/RunSubmission.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

enum class TRecordFetchState { Fetching, Ready, NoConnection, NoRecord, Refused };

// Why a record cannot be raced.
enum class TRecordProblem { None, Damaged, OtherMission, OtherVersion, OtherDataSet };

struct TRecordFetchJob {
    std::string Server;    // "http://host:port"
    int Mission = 0;       // 1..10
    std::string CacheFile; // record_NN.dat; empty: nothing is kept
    uint64_t DataSet = 0;  // the data set this game plays on
};

struct TRecordFetchView {
    TRecordFetchState State = TRecordFetchState::Fetching;
    TRecordProblem Problem = TRecordProblem::None; // for a refused record
    bool FromCache = false;                        // a ready record kept from an earlier fetch
    std::string Nick;                              // the record's, Windows-1250
    int32_t Score = 0;
    float Time = 0; // seconds
};

class TRecordFetch {
  public:
    // Starts at once; `makeClient` (default: libcurl) is called on the worker thread.
    explicit TRecordFetch(TRecordFetchJob job, TRunSubmission::TClientMaker makeClient = {});
    ~TRecordFetch(); // stops and joins
    TRecordFetch(const TRecordFetch&) = delete;
    TRecordFetch& operator=(const TRecordFetch&) = delete;

    TRecordFetchView View() const;
    void Stop();
    // The record once the view says it is ready (moved out: asked once); null before.
    std::unique_ptr<TReplay> TakeRecord();

  private:
    void Work();
    // Decodes and checks fetched or kept bytes; on success the record is ready.
    bool Accept(const std::vector<uint8_t>& bytes, bool fromCache);
    void Finish(TRecordFetchState state, TRecordProblem problem = TRecordProblem::None);

    TRecordFetchJob Job;
    TRunSubmission::TClientMaker MakeClient;
    mutable std::mutex Mutex;
    TRecordFetchView Shown;
    std::unique_ptr<TReplay> Record;
    std::atomic<bool> Stopping{false};
    std::thread Worker;
};

// What stands between decoded replay bytes and racing them in `mission` on `dataSet`.
TRecordProblem RecordProblem(const std::vector<uint8_t>& bytes, int mission, uint64_t dataSet, TReplay& replay);
