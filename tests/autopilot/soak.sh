#!/usr/bin/env bash
# The soak: the autopilot plays all the given games (MISSION:CAR) over and over until
# KAL_SOAK_SECONDS (default 1800) have passed, in whatever build it is given (the sanitizer build:
# any finding ends the game with a non-zero status, which fails the soak; a game the autopilot does
# not win in time is no finding). Each game's peak resident memory is noted per loop; from the
# second loop on it must stay within 10 % (and 8 MB) of the first. KAL_SOAK_GAME_SECONDS (default 45)
# ends each game after that much game time, so that a loop through all the games in the slow sanitizer
# build takes minutes, not an hour: the soak is about many games one after another, not about winning.
#   soak.sh AUTOPILOT GAME RUN_DIR MISSION:CAR...
set -uo pipefail
autopilot=$1 game=$2 run_dir=$3
shift 3
limit=${KAL_SOAK_SECONDS:-1800}
game_seconds=${KAL_SOAK_GAME_SECONDS:-45}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
declare -A first
start=$SECONDS loop=0 failures=0 played=0
while [ $((SECONDS - start)) -lt "$limit" ]; do
  loop=$((loop + 1))
  for entry in "$@"; do
    [ $((SECONDS - start)) -lt "$limit" ] || break
    mission=${entry%%:*} car=${entry##*:}
    out=$("$autopilot" --game "$game" --run-dir "$run_dir" --mission "$mission" --car "$car" --seed "$loop" \
      --limit "$game_seconds" 2>&1)
    status=$?
    played=$((played + 1))
    line=$(grep -E '^(mission|race) ' <<<"$out" | tail -1)
    peak=$(sed -n 's/.*game peak memory \([0-9]*\) MB.*/\1/p' <<<"$line")
    echo "loop $loop, $((SECONDS - start)) s: $line"
    game_status=$(sed -n 's/.*game exit status \([0-9]*\).*/\1/p' <<<"$line")
    if [ -z "$peak" ] || { [ $status -ne 0 ] && [ "${game_status:-1}" != 0 ]; }; then
      echo "$out" | tail -40
      failures=$((failures + 1))
      continue
    fi
    if [ -z "${first[$mission]:-}" ]; then
      first[$mission]=$peak
    elif [ "$peak" -gt $((first[$mission] * 110 / 100 + 8)) ]; then
      echo "game $mission: peak memory $peak MB in loop $loop, $((first[$mission])) MB in the first"
      failures=$((failures + 1))
    fi
  done
done
echo "soak: $played games in $loop loops over $((SECONDS - start)) s, $failures failures"
[ $failures -eq 0 ]
