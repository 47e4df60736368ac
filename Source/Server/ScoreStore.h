// TScoreStore: the runs kalscores has accepted, in one SQLite file (write-ahead log, schema created on
// first open). Owns the database connection; safe to use from the server's worker threads.
#pragma once

#include "ScoreRequest.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

// The database cannot be opened, read or written; the message names the file and SQLite's reason.
class EStoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TScoreStore {
  public:
    explicit TScoreStore(const std::string& fileName);
    ~TScoreStore();
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    // Stores a run; false when the same run (nick, mission, car, score and time) is stored already.
    bool Insert(const TRun& run);
    // The best runs of a mission: fastest first, then the higher score, then the earlier arrival.
    std::vector<TRun> Leaderboard(int mission, int limit) const;
    int64_t Count() const;

  private:
    void Execute(const char* sql) const;
    [[noreturn]] void Fail(const std::string& what) const;

    std::string FileName;
    sqlite3* Db = nullptr;
    mutable std::mutex Mutex; // one statement at a time on the one connection
};
