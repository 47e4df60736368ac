#!/usr/bin/env bash
# The sync test of the given games: each is played headless on a key script with --sync-test 8 and
# must end with "sync test: 0 mismatches in T ticks".
# Usage: SyncTest.sh KALMIROV RUN_DIR KEYS FRAMES GAME...
set -euo pipefail
game=$1 run=$2 keys=$3 frames=$4
shift 4
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd "$run"
status=0
for n in "$@"; do
  out=$(HOME=$home XDG_DATA_HOME=$home ./"$(basename "$game")" --headless --mission "$n" --seed 7 \
        --keys "$keys" --frames "$frames" --sync-test 8 2>&1) || true
  line=$(printf '%s\n' "$out" | grep '^sync test: [0-9]* mismatch' || true)
  echo "game $n: ${line:-no closing line}"
  if ! [[ $line =~ ^sync\ test:\ 0\ mismatches\ in\ [1-9][0-9]*\ ticks$ ]]; then
    printf '%s\n' "$out" | tail -n 5
    status=1
  fi
done
exit $status
