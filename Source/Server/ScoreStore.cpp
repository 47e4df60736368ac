#include "ScoreStore.h"

#include "PostgresStore.h"
#include "SqliteStore.h"

bool IsPostgresUrl(std::string_view where) {
    return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& where) {
    if (IsPostgresUrl(where))
        return std::make_unique<TPostgresStore>(where);
    return std::make_unique<TSqliteStore>(where);
}
