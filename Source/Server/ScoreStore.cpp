#include "ScoreStore.h"

#include <sqlite3.h>

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
)sql";

// A prepared statement, finalized when it goes out of scope.
class TStatement {
  public:
    TStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &Handle, nullptr); }
    ~TStatement() { sqlite3_finalize(Handle); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    sqlite3_stmt* Handle = nullptr;
};

} // namespace

TScoreStore::TScoreStore(const std::string& fileName) : FileName(fileName) {
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

TScoreStore::~TScoreStore() {
    sqlite3_close(Db);
}

void TScoreStore::Execute(const char* sql) const {
    char* error = nullptr;
    if (sqlite3_exec(Db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string reason = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        throw EStoreError(FileName + ": " + reason);
    }
}

void TScoreStore::Fail(const std::string& what) const {
    throw EStoreError(FileName + ": " + what + ": " + sqlite3_errmsg(Db));
}

bool TScoreStore::Insert(const TRun& run) {
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

std::vector<TRun> TScoreStore::Leaderboard(int mission, int limit) const {
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

int64_t TScoreStore::Count() const {
    std::lock_guard lock(Mutex);
    TStatement count(Db, "SELECT COUNT(*) FROM runs");
    if (count.Handle == nullptr || sqlite3_step(count.Handle) != SQLITE_ROW)
        Fail("cannot count the runs");
    return sqlite3_column_int64(count.Handle, 0);
}
