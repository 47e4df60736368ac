// The two kinds of score store the server's tests run against, and a clean place for each test: a
// SQLite file in a temporary folder, or a schema of its own (dropped afterwards) in the PostgreSQL
// that the PG* environment variables name. Where no PostgreSQL answers, Unreachable says why.
#pragma once

#include "ScoreStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <string>

enum class TStoreKind { Sqlite, Postgres };

inline void PrintTo(TStoreKind kind, std::ostream* out) {
    *out << (kind == TStoreKind::Sqlite ? "Sqlite" : "Postgres");
}

inline std::string StoreKindName(const testing::TestParamInfo<TStoreKind>& info) {
    return testing::PrintToString(info.param);
}

class TStoreScratch {
  public:
    explicit TStoreScratch(TStoreKind kind) {
        if (kind == TStoreKind::Sqlite) {
            Where = Dir.File("scores.db");
            return;
        }
        Admin = PQconnectdb("");
        if (PQstatus(Admin) != CONNECTION_OK) {
            Unreachable =
                std::string("no PostgreSQL reachable through PGHOST, PGPORT, PGUSER, PGPASSWORD and "
                            "PGDATABASE (ctest's kalscorestests_postgres makes one): ") +
                PQerrorMessage(Admin);
            return;
        }
        PQsetNoticeProcessor(
            Admin, [](void*, const char*) {}, nullptr);
        static std::atomic<int> made{0};
        Schema = "kal_test_" + std::to_string(getpid()) + "_" + std::to_string(made++);
        Run("CREATE SCHEMA " + Schema);
        // The schema first on the search path, and the test's connections named after it.
        Where = "postgresql://?options=-csearch_path%3D" + Schema + "&application_name=" + Schema;
    }
    ~TStoreScratch() {
        if (!Schema.empty())
            Run("DROP SCHEMA " + Schema + " CASCADE");
        PQfinish(Admin);
    }
    TStoreScratch(const TStoreScratch&) = delete;
    TStoreScratch& operator=(const TStoreScratch&) = delete;

    // Runs one statement of the test's own on the PostgreSQL; false when it fails.
    bool Run(const std::string& sql) {
        PGresult* result = PQexec(Admin, sql.c_str());
        bool done = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
        EXPECT_TRUE(done) << sql << ": " << PQerrorMessage(Admin);
        PQclear(result);
        return done;
    }

    std::string Where;       // the SQLite file or the PostgreSQL URL
    std::string Unreachable; // why there is no PostgreSQL to test with
    std::string Schema;      // also the application name of the store's connections

  private:
    TTempDir Dir;
    PGconn* Admin = nullptr;
};
