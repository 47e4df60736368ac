// TSqliteStore: the score store in one SQLite file (write-ahead log, schema created on first open).
// Owns the one database connection; a mutex lets one statement run at a time, which is also what
// makes the dedupe of uploads and the single verdict hold.
#pragma once

#include "ScoreStore.h"

#include <mutex>

struct sqlite3;

class TSqliteStore : public TScoreStore {
  public:
    explicit TSqliteStore(const std::string& fileName);
    ~TSqliteStore() override;

    std::string Where() const override { return FileName; }
    bool Insert(const TRun& run) override;
    std::vector<TRun> Leaderboard(int mission, int limit) const override;
    int64_t Count() const override;
    TUploadResult AddUpload(std::string_view body, const TReplayHeader& header) override;
    std::optional<TUploadStatus> Upload(int64_t id) const override;
    std::optional<std::string> UploadBody(int64_t id) const override;
    std::vector<int64_t> WaitingUploads(int limit) const override;
    int64_t WaitingCount() const override;
    bool RecordVerdict(int64_t id, const TVerdict& verdict) override;
    std::vector<TVerifiedRun> VerifiedLeaderboard(int mission, int limit) const override;

  private:
    void Execute(const char* sql) const;
    [[noreturn]] void Fail(const std::string& what) const;

    std::string FileName;
    sqlite3* Db = nullptr;
    mutable std::mutex Mutex; // one statement at a time on the one connection
};
