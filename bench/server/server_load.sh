#!/usr/bin/env bash
# Runs kalserverbench on both stores: a SQLite file in a temporary folder, then a throwaway PostgreSQL
# cluster (pg_virtualenv -t; skipped where PostgreSQL is not installed). Extra arguments go to every
# run (e.g. --drive-ms 1000 --verifiers 16).
#   server_load.sh KALSERVERBENCH [ARGS...]
set -euo pipefail
bench=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
echo "== SQLite"
"$bench" --db "$work/scores.db" "$@" | grep -v '^kalscores: run' || status=1
if command -v pg_virtualenv >/dev/null 2>&1; then
  echo "== PostgreSQL"
  pg_virtualenv -t sh -c '"$0" --db postgresql:// "$@" | grep -v "^kalscores: run"' "$bench" "$@" || status=1
fi
exit $status
