#!/usr/bin/env bash
# The final state line of every autopilot game (the fifteen games of the test command, seed 1,
# headless), one file per game in OUT_DIR: for comparing two builds that must play alike, e.g.
#   scripts/final-states.sh build /tmp/before && (after a change) scripts/final-states.sh build /tmp/after
#   diff -r /tmp/before /tmp/after
# BUILD_DIR is a Release build folder with kalmirov and kalautopilot built. Two games at a time.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
games=$(sed -n 's/^set(KAL_AUTOPILOT_GAMES \(.*\))$/\1/p' "$(dirname "$0")/../tests/autopilot/CMakeLists.txt")
for game in $games; do
  echo "$game"
done | xargs -P 2 -I{} bash -c '
  mission=${1%%:*}; car=${1##*:}
  cd "$2/run" && "$2/tests/autopilot/kalautopilot" --game "$2/run/kalmirov" --run-dir . --mission "$mission" --car "$car" \
    --seed 1 --final "$3/game$mission.state" >"$3/game$mission.log" 2>&1 || echo "game $mission not won: see $3/game$mission.log"
' _ {} "$build" "$out"
ls "$out"/*.state | wc -l
