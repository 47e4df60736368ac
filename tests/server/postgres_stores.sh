#!/usr/bin/env bash
# Runs the store and server tests against a throwaway PostgreSQL cluster: pg_virtualenv creates it in
# a temporary folder (-t, even as root: PostgreSQL itself then runs as the postgres user), runs the
# tests with PGHOST, PGPORT, PGUSER, PGPASSWORD and PGDATABASE naming it, then stops and removes it.
# Exit 77 (skipped) where PostgreSQL or pg_virtualenv is not installed.
#   postgres_stores.sh KALSCORESTESTS
set -euo pipefail
tests=$1
if ! command -v pg_virtualenv >/dev/null 2>&1 || ! ls /usr/lib/postgresql/*/bin/postgres >/dev/null 2>&1; then
  echo "postgres_stores: PostgreSQL is not installed (scripts/setup.sh installs it); skipped"
  exit 77
fi
# Only the PostgreSQL instances: the SQLite ones run on their own in ctest.
exec pg_virtualenv -t "$tests" --gtest_filter='*/Postgres:TPostgresStore.*' --gtest_brief=1
