#!/usr/bin/env bash
# Remakes the game's screenshots in doc/game/ from a built tree: each is the game run unattended on
# the fixed 10 ms clock with a practice start, a key script and --shot, in a virtual display.
# Usage: scripts/game-shots.sh [build dir, default build]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
run="$(cd "${1:-$root/build}/run" && pwd)"
out="$root/doc/game"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$run"

# game NAME "OPTIONS" FRAMES KEYS [czech]: one run with its own player files.
game() {
  local name=$1 options=$2 frames=$3 keys=$4 home="$work/$1"
  mkdir -p "$home/kalmirov"
  printf '%b' "$keys" >"$home/keys.txt"
  if [ "${5:-}" = czech ]; then
    printf 'Language=1\n' >"$home/kalmirov/settings.ini"
  fi
  # shellcheck disable=SC2086 # the options are words
  XDG_DATA_HOME="$home" XDG_CONFIG_HOME="$home" xvfb-run -a -s "-screen 0 1280x720x24 -noreset" \
    ./kalmirov -w -ns --fixed-clock --frames "$frames" --keys "$home/keys.txt" \
    --dump-state "$home/state.jsonl" $options
}

# The loading frames come before the game loop: the first dump line tells how many there are, so the
# shots below are given in passes of the game loop ("GO" comes at pass 381).
game probe "--mission 1" 200 ""
loading=$(($(head -1 "$work/probe/state.jsonl" | sed 's/^{"frame":\([0-9]*\),.*/\1/') - 1))
at() { echo $((loading + 1 + $1)); }

# The loading bar: three passes over textures, meshes and city records; frame 40 is half way through
# the first.
game loading "--mission 1 --shot 40:$out/loading.png" 45 ""
# Mission 1 by day, straight down the riverside street after the first two targets.
game day "--mission 1 --shot $(at 780):$out/mission1_day.png" "$(at 781)" "390 down UP\n"
# Mission 3 at night with the headlights on, stopped just short of the first target once the hint
# has gone.
game night "--mission 3 --shot $(at 800):$out/mission3_night.png" "$(at 801)" \
  "385 down Q\n387 up Q\n390 down UP\n450 up UP\n"
# The race for two: car 1 drives off, car 2 stays; 12 units apart the leader scores an extra point,
# the race pauses for 300 frames and both cars are set down together, name tags shown again.
game race "--mission 11 --car 7 --shot $(at 800):$out/race_name_tags.png" "$(at 801)" "390 down UP\n"
# The city map over the paused mission 1, the location marker half grown.
game map "--mission 1 --shot $(at 595):$out/city_map.png" "$(at 596)" \
  "390 down UP\n470 up UP\n470 down DOWN\n520 up DOWN\n560 down TAB\n565 up TAB\n"
# Czech texts: the city map hint over mission 4, whose first target lies to the west, so its arrow
# stays clear of the hint.
game czech "--mission 4 --shot $(at 600):$out/mission4_czech.png" "$(at 601)" "" czech
echo "screenshots in $out"
