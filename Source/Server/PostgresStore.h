// TPostgresStore: the score store in a PostgreSQL database, through libpq — the same tables and queries
// as the SQLite file, created on first use, every value passed as a statement parameter. Owns a small
// pool of connections, opened as they are needed up to a bound: requests arrive on the HTTP library's
// threads and verdicts on the verifier's workers, so no thread of ours lives long enough to own a
// connection, and the bound keeps the server from taking one of PostgreSQL's connection slots per
// thread. A connection found broken is made again once and the work done again (each piece of work is
// one transaction, and every write is safe to repeat); a second failure is an EStoreError.
#pragma once

#include "ScoreStore.h"

#include <condition_variable>
#include <mutex>

struct pg_conn;

class TPostgresStore : public TScoreStore {
  public:
    // `url`: "postgresql://[user[:password]@][host][:port][/database][?param=value&…]"; the PG*
    // environment variables fill in what it leaves out.
    explicit TPostgresStore(const std::string& url, int maxConnections = 8);
    ~TPostgresStore() override;

    std::string Where() const override { return "PostgreSQL " + Server; }
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
    class TLease;
    template <class TWork> auto WithConnection(TWork&& work) const;
    pg_conn* Connect() const;

    std::string Url;    // kept for new connections only, never shown: it may hold a password
    std::string Server; // "host:port/database" as the first connection found it, for the messages
    int MaxConnections;
    mutable std::mutex Mutex; // guards the pool
    mutable std::condition_variable Returned;
    mutable std::vector<pg_conn*> Idle;
    mutable int Opened = 0; // connections in use or idle
};
