#!/usr/bin/env bash
# The Debian packages as a player and an administrator meet them: builds both with scripts/package.sh,
# has lintian check them (no errors), installs them with dpkg, validates the installed AppStream
# metadata, desktop entry and systemd unit, plays 150 ticks of a mission with the desktop entry's
# command under Xvfb from a folder of its own, starts and stops the installed highscore server, then
# purges both and checks that nothing of them is left.
# Usage: PackageTest.sh SOURCE_DIR DATA_DIR WERROR(0|1). Needs root (or sudo without a password):
# without it the test is skipped (exit 77).
set -euo pipefail
source_dir=$1 data_dir=$2 werror=$3
start=$(date +%s)

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
else
  echo "package test: skipped, installing packages needs root or sudo without a password"
  exit 77
fi

# One package test on the machine at a time: they install the same packages.
exec 9>/tmp/kalmirov-package-test.lock
flock 9

packages=(kalmirov kalmirov-server)
for p in "${packages[@]}"; do
  if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'installed'; then
    echo "package test: $p is installed on this machine already; remove it first (dpkg --purge $p)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  "${as_root[@]}" dpkg --purge "${packages[@]}" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package test: $*" >&2
  exit 1
}
step() { echo "== $* ($(($(date +%s) - start)) s)"; }

step "building the packages"
KAL_WERROR=$werror KAL_DATA_FROM=$data_dir bash "$source_dir/scripts/package.sh" "$source_dir/build-package" \
  >"$work/build.log" 2>&1 || { tail -30 "$work/build.log"; fail "the packages were not built"; }
version=$(sed -n 's/^project(Kalmirov VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
game_deb="$source_dir/build-package/kalmirov_${version}_amd64.deb"
server_deb="$source_dir/build-package/kalmirov-server_${version}_amd64.deb"
[ -f "$game_deb" ] && [ -f "$server_deb" ] || fail "no kalmirov_${version}_amd64.deb and kalmirov-server_${version}_amd64.deb"

step "lintian"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$game_deb" "$server_deb" || fail "lintian finds errors"
else
  echo "lintian is not installed (scripts/setup.sh installs it): not checked"
fi

# What the packages hold, to look for after the purge.
for deb in "$game_deb" "$server_deb"; do
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep -v '^$' >>"$work/contents"
done

step "installing"
"${as_root[@]}" dpkg -i "$game_deb" "$server_deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
appstreamcli validate --no-net /usr/share/metainfo/cz.quillmark.kalmirov.metainfo.xml || fail "AppStream metadata"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/kalmirov.desktop || fail "desktop entry"
fi
if command -v systemd-analyze >/dev/null; then
  systemd-analyze verify /usr/lib/systemd/system/kalscores.service || fail "systemd unit"
fi
for size in 16 24 32 48 64 128 256; do
  file "/usr/share/icons/hicolor/${size}x${size}/apps/kalmirov.png" | grep -q "PNG image data, $size x $size," ||
    fail "no ${size}x${size} icon"
done

step "playing 150 ticks of mission 1"
mkdir -p "$work/elsewhere" "$work/home"
touch "$work/before"
command=$(sed -n 's/^Exec=//p' /usr/share/applications/kalmirov.desktop)
[ "$command" = /usr/games/kalmirov ] || fail "the desktop entry starts \"$command\", not /usr/games/kalmirov"
(cd "$work/elsewhere" &&
  HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
    timeout 120 xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "$command" -w -ns --fixed-clock --mission 1 \
    --frames 150 --shot "150:$work/shot.png" --dump-state "$work/state.jsonl") >"$work/game.log" 2>&1 ||
  { cat "$work/game.log"; fail "the installed game did not run"; }
last=$(tail -1 "$work/state.jsonl" | sed 's/^{"frame":\([0-9]*\),.*/\1/')
[ "$last" = 150 ] || fail "the game stopped at tick $last, not 150"
[ "$(stat -c %s "$work/shot.png")" -gt 20000 ] || fail "the shot of tick 150 is blank"
[ -z "$(find "$work/elsewhere" -mindepth 1)" ] || fail "the game wrote into its working folder"
changed=$(find /usr/games /usr/share/games/kalmirov -newer "$work/before" 2>/dev/null)
[ -z "$changed" ] || fail "the game wrote below /usr: $changed"
"${as_root[@]}" dpkg --verify kalmirov || fail "files of the package changed"

step "starting and stopping the server"
. "$(dirname "$0")/../server/start_server.sh"
start_server /usr/bin/kalscores --port 0 --db "$work/scores.db" || { cat "$work/server.log"; fail "the server did not start"; }
curl -sf "$address/api/missions/1" >/dev/null || fail "the server does not answer"
kill -TERM "$server_pid"
wait "$server_pid" || fail "the server did not end cleanly"
server_pid=
[ -f "$work/scores.db" ] || fail "the server made no database"

step "purging"
"${as_root[@]}" dpkg --purge "${packages[@]}" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge failed"; }
left=()
while read -r path; do
  # Folders such as /usr/share/applications may hold other packages' files and stay.
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    left+=("$path")
  fi
done <"$work/contents"
for path in /usr/share/games/kalmirov /usr/share/doc/kalmirov /usr/share/doc/kalmirov-server /var/lib/kalscores \
  /var/lib/private/kalscores; do
  [ -e "$path" ] || [ -L "$path" ] && left+=("$path")
done
# The service's enabling links and the helper's state.
while read -r path; do
  left+=("$path")
done < <(find /etc/systemd /var/lib/systemd -name '*kalscores*' 2>/dev/null)
for p in "${packages[@]}"; do
  compgen -G "/var/lib/dpkg/info/$p.*" >/dev/null && left+=("/var/lib/dpkg/info/$p.*")
done
[ ${#left[@]} -eq 0 ] || fail "left after the purge: ${left[*]}"
step "done"
