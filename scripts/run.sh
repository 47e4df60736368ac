#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from its run directory.
# Arguments go to the game: -w opens a window instead of full screen, -ns starts without sound.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build/run
exec ./kalmirov "$@"
