#include "SqliteStore.h"

#include <sqlite3.h>

#include <cstring>

namespace {

constexpr const char* SCHEMA = R"sql(
CREATE TABLE IF NOT EXISTS runs (
    id INTEGER PRIMARY KEY,
    nick TEXT NOT NULL,
    mission INTEGER NOT NULL,
    car INTEGER NOT NULL,
    score INTEGER NOT NULL,
    time_ms INTEGER NOT NULL,
    received_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')),
    UNIQUE (nick, mission, car, score, time_ms)
);
CREATE INDEX IF NOT EXISTS runs_by_time ON runs (mission, time_ms, score DESC, id);
CREATE TABLE IF NOT EXISTS uploads (
    id INTEGER PRIMARY KEY,
    digest TEXT NOT NULL,
    body BLOB NOT NULL,
    state INTEGER NOT NULL DEFAULT 0,
    reason TEXT NOT NULL DEFAULT '',
    nick TEXT NOT NULL DEFAULT '',
    mission INTEGER NOT NULL,
    car INTEGER NOT NULL,
    score INTEGER NOT NULL DEFAULT 0,
    time_ms INTEGER NOT NULL DEFAULT 0,
    received_at TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')),
    verified_at TEXT
);
CREATE INDEX IF NOT EXISTS uploads_by_digest ON uploads (digest);
CREATE INDEX IF NOT EXISTS uploads_waiting ON uploads (state, id);
CREATE INDEX IF NOT EXISTS uploads_by_time ON uploads (mission, time_ms, score DESC, id) WHERE state = 1;
)sql";

// A prepared statement, finalized when it goes out of scope.
class TStatement {
  public:
    TStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &Handle, nullptr); }
    std::string Text(int column) const {
        const unsigned char* text = sqlite3_column_text(Handle, column);
        return text == nullptr ? std::string()
                               : std::string(reinterpret_cast<const char*>(text),
                                             size_t(sqlite3_column_bytes(Handle, column)));
    }
    ~TStatement() { sqlite3_finalize(Handle); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    sqlite3_stmt* Handle = nullptr;
};

} // namespace

TSqliteStore::TSqliteStore(const std::string& fileName) : FileName(fileName) {
    if (sqlite3_open_v2(fileName.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string reason = Db != nullptr ? sqlite3_errmsg(Db) : "out of memory";
        sqlite3_close(Db);
        throw EStoreError(fileName + ": " + reason);
    }
    try {
        sqlite3_busy_timeout(Db, 5000);
        Execute("PRAGMA journal_mode=WAL");
        Execute("PRAGMA synchronous=NORMAL");
        Execute(SCHEMA);
    } catch (...) {
        sqlite3_close(Db);
        throw;
    }
}

TSqliteStore::~TSqliteStore() {
    sqlite3_close(Db);
}

void TSqliteStore::Execute(const char* sql) const {
    char* error = nullptr;
    if (sqlite3_exec(Db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string reason = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw EStoreError(FileName + ": " + reason);
    }
}

void TSqliteStore::Fail(const std::string& what) const {
    throw EStoreError(FileName + ": " + what + ": " + sqlite3_errmsg(Db));
}

bool TSqliteStore::Insert(const TRun& run) {
    std::lock_guard lock(Mutex);
    TStatement insert(
        Db, "INSERT OR IGNORE INTO runs (nick, mission, car, score, time_ms) VALUES (?, ?, ?, ?, ?)");
    if (insert.Handle == nullptr)
        Fail("cannot prepare the insert");
    sqlite3_bind_text(insert.Handle, 1, run.Nick.data(), int(run.Nick.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.Handle, 2, run.Mission);
    sqlite3_bind_int(insert.Handle, 3, run.CarType);
    sqlite3_bind_int(insert.Handle, 4, run.Score);
    sqlite3_bind_int(insert.Handle, 5, run.TimeMs);
    if (sqlite3_step(insert.Handle) != SQLITE_DONE)
        Fail("cannot store a run");
    return sqlite3_changes(Db) == 1;
}

std::vector<TRun> TSqliteStore::Leaderboard(int mission, int limit) const {
    std::lock_guard lock(Mutex);
    TStatement select(Db, "SELECT nick, car, score, time_ms FROM runs WHERE mission = ? "
                          "ORDER BY time_ms, score DESC, id LIMIT ?");
    if (select.Handle == nullptr)
        Fail("cannot prepare the leaderboard");
    sqlite3_bind_int(select.Handle, 1, mission);
    sqlite3_bind_int(select.Handle, 2, limit);
    std::vector<TRun> runs;
    int step;
    while ((step = sqlite3_step(select.Handle)) == SQLITE_ROW) {
        TRun run;
        const unsigned char* nick = sqlite3_column_text(select.Handle, 0);
        if (nick != nullptr)
            run.Nick.assign(reinterpret_cast<const char*>(nick),
                            size_t(sqlite3_column_bytes(select.Handle, 0)));
        run.Mission = mission;
        run.CarType = sqlite3_column_int(select.Handle, 1);
        run.Score = sqlite3_column_int(select.Handle, 2);
        run.TimeMs = sqlite3_column_int(select.Handle, 3);
        runs.push_back(std::move(run));
    }
    if (step != SQLITE_DONE)
        Fail("cannot read the leaderboard");
    return runs;
}

int64_t TSqliteStore::Count() const {
    std::lock_guard lock(Mutex);
    TStatement count(Db, "SELECT COUNT(*) FROM runs");
    if (count.Handle == nullptr || sqlite3_step(count.Handle) != SQLITE_ROW)
        Fail("cannot count the runs");
    return sqlite3_column_int64(count.Handle, 0);
}

TUploadResult TSqliteStore::AddUpload(std::string_view body, const TReplayHeader& header) {
    std::lock_guard lock(Mutex);
    std::string digest = UploadDigest(body);
    // The digest only finds candidates; the same upload is the same bytes.
    TStatement same(Db, "SELECT id, body FROM uploads WHERE digest = ?");
    if (same.Handle == nullptr)
        Fail("cannot prepare the upload look-up");
    sqlite3_bind_text(same.Handle, 1, digest.data(), int(digest.size()), SQLITE_TRANSIENT);
    int step;
    while ((step = sqlite3_step(same.Handle)) == SQLITE_ROW) {
        const void* kept = sqlite3_column_blob(same.Handle, 1);
        if (size_t(sqlite3_column_bytes(same.Handle, 1)) == body.size() &&
            (body.empty() || std::memcmp(kept, body.data(), body.size()) == 0))
            return {sqlite3_column_int64(same.Handle, 0), false};
    }
    if (step != SQLITE_DONE)
        Fail("cannot look up an upload");
    TStatement insert(Db, "INSERT INTO uploads (digest, body, mission, car) VALUES (?, ?, ?, ?)");
    if (insert.Handle == nullptr)
        Fail("cannot prepare the upload");
    sqlite3_bind_text(insert.Handle, 1, digest.data(), int(digest.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert.Handle, 2, body.data(), int(body.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert.Handle, 3, header.Mission);
    sqlite3_bind_int(insert.Handle, 4, header.CarType);
    if (sqlite3_step(insert.Handle) != SQLITE_DONE)
        Fail("cannot store an upload");
    return {sqlite3_last_insert_rowid(Db), true};
}

std::optional<TUploadStatus> TSqliteStore::Upload(int64_t id) const {
    std::lock_guard lock(Mutex);
    TStatement select(Db,
                      "SELECT state, reason, nick, mission, car, score, time_ms FROM uploads WHERE id = ?");
    if (select.Handle == nullptr)
        Fail("cannot prepare the upload's state");
    sqlite3_bind_int64(select.Handle, 1, id);
    int step = sqlite3_step(select.Handle);
    if (step == SQLITE_DONE)
        return std::nullopt;
    if (step != SQLITE_ROW)
        Fail("cannot read an upload's state");
    TUploadStatus status;
    status.Id = id;
    int state = sqlite3_column_int(select.Handle, 0);
    status.State = state == 1 ? TRunState::Accepted : state == 2 ? TRunState::Refused : TRunState::Waiting;
    status.Reason = select.Text(1);
    status.Run = {select.Text(2), sqlite3_column_int(select.Handle, 3), sqlite3_column_int(select.Handle, 4),
                  sqlite3_column_int(select.Handle, 5), sqlite3_column_int(select.Handle, 6)};
    return status;
}

std::optional<std::string> TSqliteStore::UploadBody(int64_t id) const {
    std::lock_guard lock(Mutex);
    TStatement select(Db, "SELECT body FROM uploads WHERE id = ?");
    if (select.Handle == nullptr)
        Fail("cannot prepare the upload's replay");
    sqlite3_bind_int64(select.Handle, 1, id);
    int step = sqlite3_step(select.Handle);
    if (step == SQLITE_DONE)
        return std::nullopt;
    if (step != SQLITE_ROW)
        Fail("cannot read an upload's replay");
    const void* blob = sqlite3_column_blob(select.Handle, 0);
    size_t size = size_t(sqlite3_column_bytes(select.Handle, 0));
    return size == 0 ? std::string() : std::string(static_cast<const char*>(blob), size);
}

std::vector<int64_t> TSqliteStore::WaitingUploads(int limit) const {
    std::lock_guard lock(Mutex);
    TStatement select(Db, "SELECT id FROM uploads WHERE state = 0 ORDER BY id LIMIT ?");
    if (select.Handle == nullptr)
        Fail("cannot prepare the verification queue");
    sqlite3_bind_int(select.Handle, 1, limit);
    std::vector<int64_t> ids;
    int step;
    while ((step = sqlite3_step(select.Handle)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(select.Handle, 0));
    if (step != SQLITE_DONE)
        Fail("cannot read the verification queue");
    return ids;
}

int64_t TSqliteStore::WaitingCount() const {
    std::lock_guard lock(Mutex);
    TStatement count(Db, "SELECT COUNT(*) FROM uploads WHERE state = 0");
    if (count.Handle == nullptr || sqlite3_step(count.Handle) != SQLITE_ROW)
        Fail("cannot count the waiting uploads");
    return sqlite3_column_int64(count.Handle, 0);
}

bool TSqliteStore::RecordVerdict(int64_t id, const TVerdict& verdict) {
    std::lock_guard lock(Mutex);
    // Only a waiting upload takes a verdict: each is judged once, whoever else got to it.
    TStatement update(Db,
                      "UPDATE uploads SET state = ?, reason = ?, nick = ?, mission = ?, car = ?, score = ?, "
                      "time_ms = ?, verified_at = strftime('%Y-%m-%dT%H:%M:%SZ', 'now') "
                      "WHERE id = ? AND state = 0");
    if (update.Handle == nullptr)
        Fail("cannot prepare a verdict");
    bool accepted = verdict.State == TRunState::Accepted;
    sqlite3_bind_int(update.Handle, 1, accepted ? 1 : 2);
    sqlite3_bind_text(update.Handle, 2, verdict.Reason.data(), int(verdict.Reason.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(update.Handle, 3, verdict.Run.Nick.data(), int(verdict.Run.Nick.size()),
                      SQLITE_TRANSIENT);
    // A refused run keeps the mission and car its header named.
    if (accepted) {
        sqlite3_bind_int(update.Handle, 4, verdict.Run.Mission);
        sqlite3_bind_int(update.Handle, 5, verdict.Run.CarType);
    } else {
        TStatement keep(Db, "SELECT mission, car FROM uploads WHERE id = ?");
        sqlite3_bind_int64(keep.Handle, 1, id);
        if (keep.Handle == nullptr || sqlite3_step(keep.Handle) != SQLITE_ROW)
            return false;
        sqlite3_bind_int(update.Handle, 4, sqlite3_column_int(keep.Handle, 0));
        sqlite3_bind_int(update.Handle, 5, sqlite3_column_int(keep.Handle, 1));
    }
    sqlite3_bind_int(update.Handle, 6, accepted ? verdict.Run.Score : 0);
    sqlite3_bind_int(update.Handle, 7, accepted ? verdict.Run.TimeMs : 0);
    sqlite3_bind_int64(update.Handle, 8, id);
    if (sqlite3_step(update.Handle) != SQLITE_DONE)
        Fail("cannot record a verdict");
    return sqlite3_changes(Db) == 1;
}

std::vector<TVerifiedRun> TSqliteStore::VerifiedLeaderboard(int mission, int limit) const {
    std::lock_guard lock(Mutex);
    TStatement select(Db, "SELECT id, nick, car, score, time_ms FROM uploads WHERE state = 1 AND mission = ? "
                          "ORDER BY time_ms, score DESC, id LIMIT ?");
    if (select.Handle == nullptr)
        Fail("cannot prepare the verified leaderboard");
    sqlite3_bind_int(select.Handle, 1, mission);
    sqlite3_bind_int(select.Handle, 2, limit);
    std::vector<TVerifiedRun> runs;
    int step;
    while ((step = sqlite3_step(select.Handle)) == SQLITE_ROW)
        runs.push_back({sqlite3_column_int64(select.Handle, 0),
                        {select.Text(1), mission, sqlite3_column_int(select.Handle, 2),
                         sqlite3_column_int(select.Handle, 3), sqlite3_column_int(select.Handle, 4)}});
    if (step != SQLITE_DONE)
        Fail("cannot read the verified leaderboard");
    return runs;
}
