#!/usr/bin/env bash
# A run's way to the verified leaderboard with the real programs: the autopilot wins mission 1, the game
# plays its keys again and keeps the replay as a player's game does, and a real kalscores with a real
# headless verifier accepts that replay with its own time and score. Altered copies (a claimed time or
# score changed, one input changed, another mission, another simulation version or data set, inputs
# that stop driving and never finish) are refused with the reason; a cut-short, foreign or oversized
# body is refused at the door, one trickling in too slowly cut off while the server answers others; the
# same replay twice is kept once. Last, headless Chromium draws the leaderboard with the verified run
# and its replay link into SHOT (default: verified_leaderboard.png beside RUN_DIR).
#   verified_runs.sh KALSCORES KALMIROV KALAUTOPILOT RUN_DIR [SHOT]
# Exits 77 (skipped) when curl or python3 is not installed, and after all other checks when Chromium
# is not.
set -euo pipefail

kalscores=$1
game=$2
autopilot=$3
run_dir=$4
shot=${5:-$(dirname "$run_dir")/verified_leaderboard.png}
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

# The claims of a replay and altered copies of it: header fields at fixed offsets (version 8, simulation
# version 10, data set digest 14, mission 22, score 72, time 76, frame count 80), frames of 37 bytes
# from 84 (controls, keys, four amounts, the pose).
python3 - "$replay" "$work" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
work = sys.argv[2]
score, time = struct.unpack_from('<if', data, 72)
open(work + '/claims', 'w').write('%d %d\n' % (score, int(1000.0 * time)))
def write(name, body):
    open(work + '/' + name, 'wb').write(body)
def changed(at, fmt, value):
    body = bytearray(data); struct.pack_into(fmt, body, at, value); return body
write('forged-time.dat', changed(76, '<f', time - 1.0))
write('forged-score.dat', changed(72, '<i', score + 100))
# One input changed: the first tick after the countdown that accelerates (request bit 2) lets go instead.
tick = next(i for i in range(300, len(data) // 37) if data[84 + 37 * i] & 2)
steered = bytearray(data); steered[84 + 37 * tick] &= ~2; steered[84 + 37 * tick + 5] = 0; write('forged-input.dat', steered)
write('other-mission.dat', changed(22, '<B', 5))
write('other-simulation.dat', changed(10, '<I', struct.unpack_from('<I', data, 10)[0] + 1))
write('other-data.dat', changed(14, '<Q', struct.unpack_from('<Q', data, 14)[0] ^ 1))
# Inputs that stop driving after three seconds and go on doing nothing for 260 s, longer than mission
# 1's limit: no controls, no keys, the last pose held.
frames = len(data[84:]) // 37
idle = bytes(9) + data[84 + 37 * (frames - 1) + 9:]
never = data[:84] + b''.join(data[84 + 37 * i:84 + 37 * (i + 1)] if i < 300 else idle for i in range(26000))
struct.pack_into('<I', never, 80, 26000); write('never.dat', never)
# Every pose a metre off: poses only draw the ghost, the inputs alone drive the run.
moved = bytearray(data)
for i in range(frames):
    x, y = struct.unpack_from('<ff', moved, 84 + 37 * i + 9)
    struct.pack_into('<ff', moved, 84 + 37 * i + 9, x + 1, y + 1)
write('moved-poses.dat', moved)
write('cut.dat', data[:-10])
write('old.dat', changed(8, '<H', 4))
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

# A client that sends its upload a byte every two seconds: cut off by the server's time-out, while the
# server goes on answering everyone else.
python3 - "${address#http://}" >"$work/slow.log" 2>&1 <<'PY' &
import socket, sys, time
host, port = sys.argv[1].split(':')
started = time.time()
s = socket.create_connection((host, int(port)))
s.sendall(b'POST /api/runs HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream\r\n'
          b'Content-Length: 5000\r\n\r\nKALRPLAY')
answer = b''
answered = None
s.settimeout(2)
while time.time() - started < 120 and answered is None:
    try:
        s.sendall(b'\0')
    except OSError:
        pass
    try:
        chunk = s.recv(4096)
    except socket.timeout:
        continue
    except OSError:
        break
    answered = time.time()
    answer += chunk
    s.settimeout(1)
    try:
        while chunk:
            chunk = s.recv(4096)
            answer += chunk
    except OSError:
        pass
print('%.0f %s' % ((answered or time.time()) - started, answer.split(b'\r\n')[0].decode(errors='replace')))
print(answer.decode(errors='replace').split('\r\n\r\n')[-1])
PY
slow_pid=$!

declare -A ids
for name in real forged-time forged-score forged-input other-mission other-simulation other-data never; do
  file=$replay
  [ "$name" = real ] || file="$work/$name.dat"
  status=$(upload "$file")
  [ "$status" = 202 ] || fail "$name: upload answered $status: $(cat "$work/answer")"
  ids[$name]=$(id_of)
done
# While the slow client trickles, the server answers at once.
asked=$(date +%s.%N)
curl -sf -o /dev/null "$address/api/missions/1" || fail "no answer while a slow upload trickles"
kill -0 "$slow_pid" 2>/dev/null || fail "the slow upload ended before the server was asked"
echo "verified_runs: answered in $(python3 -c "print(round($(date +%s.%N) - $asked, 2))") s while a slow upload trickles"
status=$(upload "$replay")
[ "$status" = 200 ] && [ "$(id_of)" = "${ids[real]}" ] || fail "the same replay again was not the same run ($status)"

# name, expected HTTP status, words of the reason
while read -r name expected words; do
  status=$(upload "$work/$name")
  [ "$status" = "$expected" ] || fail "$name: answered $status, not $expected: $(cat "$work/answer")"
  grep -q "$words" "$work/answer" || fail "$name: the reason does not say '$words': $(cat "$work/answer")"
done <<'CASES'
cut.dat 400 cut short
old.dat 400 version 4
huge.dat 413 at most
CASES

# The game's own verification of the copy with moved poses ends as the real run does.
mkdir -p "$work/verify"
moved=$(cd "$work/verify" && HOME="$work/verify" XDG_DATA_HOME="$work/verify" XDG_CONFIG_HOME="$work/verify" \
  KALMIROV_DATA="$run_dir/data" timeout 120 "$game" --verify "$work/moved-poses.dat" 2>&1) || true
grep -q "finished=1 score=$score .* timeMs=$time_ms " <<<"$moved" || fail "moved poses changed the run: $moved"

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
other-mission do not finish mission 5\|did not play
other-simulation made by another version of the game
other-data played on another data set
never do not finish mission 1 within its limit of 240 s
CASES
echo "verified_runs: the never-finishing run refused $(python3 -c "print(round($(date +%s.%N) - $started, 1))") s after asking for the real one's verdict"

# The slow client was cut off; the server answered others meanwhile (it answered every request above).
wait "$slow_pid" || true
read -r slow_seconds slow_status <"$work/slow.log" || true
grep -q 'took too long' "$work/slow.log" && [ "${slow_seconds:-999}" -lt 60 ] ||
  fail "the slow upload was not cut off by a time-out: $(cat "$work/slow.log")"
echo "verified_runs: the slow upload cut off after $slow_seconds s ($slow_status)"

board=$(curl -sf "$address/api/missions/1")
grep -q "\"id\":${ids[real]},\"verified\":true" <<<"$board" || fail "the leaderboard lacks the verified run: $board"
[ "$(grep -o '"verified":true' <<<"$board" | wc -l)" = 1 ] || fail "the leaderboard shows more than the one verified run: $board"
cmp -s <(curl -sf "$address/api/runs/${ids[real]}/replay") "$replay" || fail "the downloaded replay is not the upload"
page=$(curl -sf "$address/") # read whole: grep -q leaving early would break the pipe
grep -q 'Jiří' <<<"$page" || fail "the page lacks the verified run"
echo "verified_runs: forged and damaged runs refused with their reasons"

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "verified_runs: chromium not installed, no screenshot of the leaderboard; skipped"
  exit 77
fi
rm -f "$shot"
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$work/profile" \
  --screenshot="$shot" --window-size=1000,700 "$address/" >"$work/chromium.log" 2>&1 || true
[ -s "$shot" ] || { cat "$work/chromium.log"; fail "no screenshot of the leaderboard"; }
grep -q "href=\"/api/runs/${ids[real]}/replay\"" <<<"$page" || fail "the page lacks the run's replay link"
echo "verified_runs: the leaderboard with the verified run in $shot"
