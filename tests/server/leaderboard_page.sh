#!/usr/bin/env bash
# Opens kalscores' leaderboard in headless Chromium and checks the screenshot: a real server on a free
# local port, filled with a few runs (Czech nicks included) the way the game sends them.
#   leaderboard_page.sh KALSCORES OUTPUT.png
# Exits 77 (skipped) when Chromium or curl is not installed.
set -euo pipefail

kalscores=$1
output=$2
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ] || ! command -v curl >/dev/null; then
  echo "leaderboard_page: chromium or curl not installed, skipped"
  exit 77
fi

. "$(dirname "$0")/start_server.sh"
with_work_folder

start_server "$kalscores" --port 0 --db "$work/scores.db" ||
  { echo "leaderboard_page: kalscores did not start"; cat "$work/server.log"; exit 1; }

# nick (escaped Windows-1250), mission, car, score, time in ms
runs=(
  "Rychl%E1+%32 1 5 1200 31234"
  "P%F8emysl+%8E%E1%E8ek 1 0 950 29870"
  "%8Akoda+fan 1 7 400 45012"
  "Ji%F8%ED 2 2 2210 52300"
  "Anna 2 1 1800 49999"
  "%C8ert%EDk 3 3 700 61050"
  "Road%3CKing%3E 7 4 3100 75400"
  "Old%F8ich 10 6 20 480000"
)
for run in "${runs[@]}"; do
  read -r nick mission car score time <<<"$run"
  curl -sf -o /dev/null -A Kalmirov \
    "$address/games_kalmirov_highscore.php?action=insert&nick=$nick&mission=$mission&car=$car&score=$score&time=$time"
done

profile="$work/profile"
mkdir -p "$profile"
rm -f "$output"
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
  --screenshot="$output" --window-size=1000,800 "$address/" >"$work/chromium.log" 2>&1 || true
if [ ! -s "$output" ]; then
  echo "leaderboard_page: no screenshot"
  cat "$work/chromium.log"
  exit 1
fi

# A PNG of 1000 x 800 (the width and height sit at bytes 16..23 of its header).
size=$(od -An -tu1 -j16 -N8 "$output" | tr -s ' ')
if [ "$size" != " 0 0 3 232 0 0 3 32" ]; then
  echo "leaderboard_page: unexpected PNG header size bytes:$size"
  exit 1
fi
# The page really drew the runs: the server logged the browser's request and the page has the nicks.
grep -q 'GET / -> 200' "$work/server.log" || { echo "leaderboard_page: the browser did not fetch the page"; exit 1; }
page=$(curl -sf "$address/")
for nick in "Přemysl Žáček" "Škoda fan" "Road&lt;King&gt;"; do
  grep -qF "$nick" <<<"$page" || { echo "leaderboard_page: '$nick' missing from the page"; exit 1; }
done
echo "leaderboard_page: screenshot in $output"
