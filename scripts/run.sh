#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher from the game's run directory.
# Arguments go to the program: -w first plays in a window instead of full screen, -ns (first or
# second) starts without sound; the practice options (--mission N ...) skip the launcher.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build/run
exec ./kalmirov "$@"
