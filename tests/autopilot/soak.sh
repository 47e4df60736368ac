#!/usr/bin/env bash
# The soak: one headless game process plays KAL_SOAK_GAMES games (default 200) one after another,
# the given games (MISSION:CAR) in turn, switching between them through the game's own screens as a
# player would, in whatever build it is given (the sanitizer build: any finding ends the game with a
# non-zero status, which fails the soak; a game the autopilot does not win in time is no finding).
# KAL_SOAK_GAME_SECONDS (default 45) gives each game up after that much game time: the soak is about
# many games in one session, not about winning them. The game's resident memory is reported after
# every tenth game and must stay flat after a warm-up (the rule is in tests/autopilot/Session.cpp).
#   soak.sh AUTOPILOT GAME RUN_DIR MISSION:CAR...
set -uo pipefail
autopilot=$1 game=$2 run_dir=$3
shift 3
# The sanitizer holds freed memory back in a quarantine (256 MB by default), which fills over a
# hundred games and more, the resident memory creeping up all the while; a 16 MB one fills within the
# warm-up (the readings then wander by about 5 MB), so that growth after it is the game's own. A use after
# free is still caught within that window, and LeakSanitizer reports at the end what was never freed.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$autopilot" --game "$game" --run-dir "$run_dir" --session "${KAL_SOAK_GAMES:-200}" \
  --limit "${KAL_SOAK_GAME_SECONDS:-45}" --seed "${KAL_SOAK_SEED:-1}" "$@"
