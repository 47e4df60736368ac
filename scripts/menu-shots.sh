#!/usr/bin/env bash
# Pictures of every in-game menu screen in English and Czech into doc/menu/: builds the end-to-end
# test program, starts a local highscore server that accepts every submission (so screen 5 shows
# its success), and runs the pictures test of the menu under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/doc/menu"
mkdir -p "$out"
bash scripts/build.sh kale2e kalmirov

# A server that answers every request with 200 on a free port.
port_file=$(mktemp)
python3 - "$port_file" <<'PY' &
import http.server, sys
class Accept(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Length", "2")
        self.end_headers()
        self.wfile.write(b"OK")
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Accept)
open(sys.argv[1], "w").write(str(server.server_port))
server.serve_forever()
PY
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done

cd build/run
KALMIROV_MENU_SHOTS="$out" KALMIROV_MENU_SHOTS_SERVER="http://127.0.0.1:$(cat "$port_file")" \
  xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../tests/kale2e --gtest_filter='MenuInProcess.PicturesOfEveryScreen'
ls "$out"/*.png | wc -l | xargs echo "pictures in doc/menu:"
