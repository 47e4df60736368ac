// TScoreStore: what kalscores keeps, behind one interface with two homes — a SQLite file
// (TSqliteStore) or a PostgreSQL database (TPostgresStore): the unverified runs of the old insert
// request, and every uploaded replay with its state. The waiting uploads are the verifier's queue,
// so a restart picks up where it stopped. Every store is safe to use from the server's worker threads.
#pragma once

#include "RunVerdict.h"
#include "uErrors.h"
#include "ScoreRequest.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The database cannot be opened, read or written; the message names the file or the server (never a
// password) and the database's own reason.
class EStoreError : public Exception {
  public:
    using Exception::Exception;
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
    virtual ~TScoreStore() = default;
    TScoreStore() = default;
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    // The file, or the PostgreSQL server and database, for the log (never a password).
    virtual std::string Where() const = 0;

    // Stores a run of the old insert request (unverified); false when the same run (nick, mission, car, score
    // and time) is stored already.
    virtual bool Insert(const TRun& run) = 0;
    // The best runs of a mission: fastest first, then the higher score, then the earlier arrival.
    virtual std::vector<TRun> Leaderboard(int mission, int limit) const = 0;
    virtual int64_t Count() const = 0;

    // Keeps an upload whose header was checked, waiting for its verdict; the same bytes again get the
    // first upload's id, even when they arrive at the same moment.
    virtual TUploadResult AddUpload(std::string_view body, const TReplayHeader& header) = 0;
    virtual std::optional<TUploadStatus> Upload(int64_t id) const = 0;
    virtual std::optional<std::string> UploadBody(int64_t id) const = 0;
    // The oldest waiting uploads first.
    virtual std::vector<int64_t> WaitingUploads(int limit) const = 0;
    virtual int64_t WaitingCount() const = 0;
    // Records the verdict of a waiting upload; false when it was judged already (or is gone). Of two
    // verdicts on one upload, however close, exactly one is kept.
    virtual bool RecordVerdict(int64_t id, const TVerdict& verdict) = 0;
    // The accepted runs of a mission, in the leaderboard's order.
    virtual std::vector<TVerifiedRun> VerifiedLeaderboard(int mission, int limit) const = 0;
};

// True for a PostgreSQL connection URL ("postgresql://…" or "postgres://…").
bool IsPostgresUrl(std::string_view where);

// The store `where` names: a PostgreSQL connection URL opens that database, anything else is a SQLite
// file. The schema is created on first use; EStoreError when the store cannot be opened.
std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& where);
