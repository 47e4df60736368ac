#!/usr/bin/env bash
# Builds the Debian packages of Kalmirov into build-package/ (or the folder given):
#   kalmirov_<version>_amd64.deb         the game, its data set, desktop entry, icons, manual
#   kalmirov-server_<version>_amd64.deb  the highscore server kalscores as a systemd service
# The tree is configured for /usr with the game in /usr/games, where it finds its data in
# /usr/share/games/kalmirov. It takes the data tree of build/ when there is one (KAL_DATA_FROM names
# another), else generates its own. With KAL_WERROR=1 warnings are errors, as in scripts/build.sh;
# use the value build/ was made with, and ccache compiles nothing twice.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-package}
data=${KAL_DATA_FROM:-}
if [ -z "$data" ] && [ -d build/run/data/city ]; then
  data="$PWD/build/run/data"
fi
werror=OFF
if [ "${KAL_WERROR:-0}" = 1 ]; then
  werror=ON
fi
# The install step builds only what it installs, not every test and tool of the tree. The programs
# link with a read-only global offset table, as Debian's hardening asks (the compile flags stay those
# of build/, so that ccache has the objects already).
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKAL_INSTALL_BINDIR=games -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DKAL_WERROR="$werror" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" -DKAL_DATA_FROM="$data" >/dev/null
cmake --build "$out" -j "$(nproc)" --target kalmirov kalscores installfiles
rm -f "$out"/*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/*.deb
