#!/usr/bin/env bash
# A run's way to the verified leaderboard with the real programs: the autopilot wins mission 1, the game
# plays its keys again and keeps the replay as a player's game does, and a real kalscores with a real
# headless verifier accepts that replay with its own time and score. Altered copies (a claimed time or
# score changed, one input changed) are refused with the reason; a cut-short, foreign or oversized body
# is refused at the door; the same replay twice is kept once; the server answers throughout.
#   verified_runs.sh KALSCORES KALMIROV KALAUTOPILOT RUN_DIR
# Exits 77 (skipped) when curl or python3 is not installed.
set -euo pipefail

kalscores=$1
game=$2
autopilot=$3
run_dir=$4
if ! command -v curl >/dev/null || ! command -v python3 >/dev/null; then
  echo "verified_runs: curl or python3 not installed, skipped"
  exit 77
fi

. "$(dirname "$0")/start_server.sh"
with_work_folder
fail() { echo "verified_runs: $*"; [ -f "$work/server.log" ] && cat "$work/server.log"; exit 1; }

# A real run: the autopilot's keys for mission 1, played by the game with a player's folder.
(cd "$run_dir" && "$autopilot" --game "$game" --run-dir . --mission 1 --car 7 --seed 1 --record "$work/keys.txt") \
  >"$work/autopilot.log" 2>&1 || { cat "$work/autopilot.log"; fail "the autopilot did not win mission 1"; }
frames=$(awk 'END { print $1 + 100 }' "$work/keys.txt")
(cd "$run_dir" && XDG_DATA_HOME="$work/player" XDG_CONFIG_HOME="$work/player" timeout 300 \
  "$game" --headless --mission 1 --car 7 --seed 1 --profile "Jiří" --keys "$work/keys.txt" --frames "$frames") \
  >/dev/null 2>&1 || fail "the game did not play the autopilot's keys"
replay="$work/player/kalmirov/replay_01.dat"
[ -s "$replay" ] || fail "the game kept no replay of the won mission"

# The claims of a replay and altered copies of it: header fields at fixed offsets, frames of 37 bytes.
python3 - "$replay" "$work" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
work = sys.argv[2]
score, time = struct.unpack_from('<if', data, 60)
open(work + '/claims', 'w').write('%d %d\n' % (score, int(1000.0 * time)))
def write(name, body):
    open(work + '/' + name, 'wb').write(body)
faster = bytearray(data); struct.pack_into('<f', faster, 64, time - 1.0); write('forged-time.dat', faster)
richer = bytearray(data); struct.pack_into('<i', richer, 60, score + 100); write('forged-score.dat', richer)
# One input changed: the first tick after the countdown that accelerates (request bit 2) lets go instead.
tick = next(i for i in range(300, len(data) // 37) if data[72 + 37 * i] & 2)
steered = bytearray(data); steered[72 + 37 * tick] &= ~2; steered[72 + 37 * tick + 5] = 0; write('forged-input.dat', steered)
write('cut.dat', data[:-10])
other = bytearray(data); struct.pack_into('<H', other, 8, 3); write('old.dat', other)
write('huge.dat', data + bytes(2 << 20))
PY
read -r score time_ms <"$work/claims"

start_server "$kalscores" --port 0 --db "$work/scores.db" --game "$game" --game-data "$run_dir/data" --verifiers 2 ||
  fail "kalscores did not start"

upload() { # FILE -> "STATUS BODY"
  curl -s -o "$work/answer" -w '%{http_code}' -H 'Content-Type: application/octet-stream' \
    --data-binary @"$1" "$address/api/runs"
}
id_of() { sed -n 's/.*"id":\([0-9]*\).*/\1/p' "$work/answer"; }
verdict() { # ID -> the run's JSON once it is no longer waiting
  for _ in $(seq 600); do
    local json
    json=$(curl -sf "$address/api/runs/$1") || fail "no state for run $1"
    if ! grep -q '"state":"waiting"' <<<"$json"; then echo "$json"; return; fi
    sleep 0.2
  done
  fail "run $1 still waiting"
}

declare -A ids
for name in real forged-time forged-score forged-input; do
  file=$replay
  [ "$name" = real ] || file="$work/$name.dat"
  status=$(upload "$file")
  [ "$status" = 202 ] || fail "$name: upload answered $status: $(cat "$work/answer")"
  ids[$name]=$(id_of)
done
status=$(upload "$replay")
[ "$status" = 200 ] && [ "$(id_of)" = "${ids[real]}" ] || fail "the same replay again was not the same run ($status)"

# name, expected HTTP status, words of the reason
while read -r name expected words; do
  status=$(upload "$work/$name")
  [ "$status" = "$expected" ] || fail "$name: answered $status, not $expected: $(cat "$work/answer")"
  grep -q "$words" "$work/answer" || fail "$name: the reason does not say '$words': $(cat "$work/answer")"
done <<'CASES'
cut.dat 400 cut short
old.dat 400 version 3
huge.dat 413 at most
CASES

started=$(date +%s.%N)
real=$(verdict "${ids[real]}")
finished=$(date +%s.%N)
grep -q '"state":"accepted"' <<<"$real" || fail "the real run was not accepted: $real"
grep -q "\"timeMs\":$time_ms," <<<"$real" || fail "the accepted time is not the run's $time_ms ms: $real"
grep -q "\"score\":$score," <<<"$real" || fail "the accepted score is not the run's $score: $real"
grep -q '"nick":"Jiří"' <<<"$real" || fail "the nick did not come through: $real"
echo "verified_runs: the real run accepted ($time_ms ms, score $score) within $(python3 -c "print(round($finished - $started, 1))") s of asking"

while read -r name words; do
  json=$(verdict "${ids[$name]}")
  grep -q '"state":"refused"' <<<"$json" || fail "$name was not refused: $json"
  grep -q "$words" <<<"$json" || fail "$name: the reason does not say '$words': $json"
done <<'CASES'
forged-time claims a time
forged-score claims a score
forged-input claims a\|do not finish
CASES

board=$(curl -sf "$address/api/missions/1")
grep -q "\"id\":${ids[real]},\"verified\":true" <<<"$board" || fail "the leaderboard lacks the verified run: $board"
[ "$(grep -o '"verified":true' <<<"$board" | wc -l)" = 1 ] || fail "the leaderboard shows more than the one verified run: $board"
cmp -s <(curl -sf "$address/api/runs/${ids[real]}/replay") "$replay" || fail "the downloaded replay is not the upload"
page=$(curl -sf "$address/") # read whole: grep -q leaving early would break the pipe
grep -q 'Jiří' <<<"$page" || fail "the page lacks the verified run"
echo "verified_runs: forged and damaged runs refused with their reasons"
