// TScoreStore: what kalscores keeps, in one SQLite file (write-ahead log, schema created on first
// open): the unverified runs of the old insert request, and every uploaded replay with its state —
// the waiting ones are the verifier's queue, so a restart picks up where it stopped. Owns the
// database connection; safe to use from the server's worker threads.
#pragma once

#include "RunVerdict.h"
#include "ScoreRequest.h"

#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

// The database cannot be opened, read or written; the message names the file and SQLite's reason.
class EStoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct TUploadResult {
    int64_t Id = 0;
    bool New = false; // false: the same bytes were uploaded before, under this id
};

struct TUploadStatus {
    int64_t Id = 0;
    TRunState State = TRunState::Waiting;
    std::string Reason; // why it was refused
    TRun Run;           // mission and car from the header until judged; then the server's own run
};

struct TVerifiedRun {
    int64_t Id = 0;
    TRun Run;
};

class TScoreStore {
  public:
    explicit TScoreStore(const std::string& fileName);
    ~TScoreStore();
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    // Stores a run of the old insert request (unverified); false when the same run (nick, mission, car, score
    // and time) is stored already.
    bool Insert(const TRun& run);
    // The best runs of a mission: fastest first, then the higher score, then the earlier arrival.
    std::vector<TRun> Leaderboard(int mission, int limit) const;
    int64_t Count() const;

    // Keeps an upload whose header was checked, waiting for its verdict; the same bytes again get the
    // first upload's id.
    TUploadResult AddUpload(std::string_view body, const TReplayHeader& header);
    std::optional<TUploadStatus> Upload(int64_t id) const;
    std::optional<std::string> UploadBody(int64_t id) const;
    // The oldest waiting uploads first.
    std::vector<int64_t> WaitingUploads(int limit) const;
    int64_t WaitingCount() const;
    // Records the verdict of a waiting upload; false when it was judged already (or is gone).
    bool RecordVerdict(int64_t id, const TVerdict& verdict);
    // The accepted runs of a mission, in the leaderboard's order.
    std::vector<TVerifiedRun> VerifiedLeaderboard(int mission, int limit) const;

  private:
    void Execute(const char* sql) const;
    [[noreturn]] void Fail(const std::string& what) const;

    std::string FileName;
    sqlite3* Db = nullptr;
    mutable std::mutex Mutex; // one statement at a time on the one connection
};
