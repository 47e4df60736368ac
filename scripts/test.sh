#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, end-to-end (under Xvfb) and fuzz
# tests of the Release build and the test of its Debian packages (which installs and purges them; as
# root only), then the unit, launcher and fuzz tests again under the sanitizers. Both
# builds treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export KAL_WERROR=1

bash scripts/build.sh
# The long fuzz runs (ctest -L fuzz-long, 10 million runs a target), the soak and the games the
# autopilot cannot win yet ("pending") run only on demand.
(cd build && ctest --output-on-failure -j "$jobs" -LE 'fuzz-long|soak|pending')

# The launcher's tests read the pictures of the data tree: the sanitizer build links the Release
# build's.
KAL_DATA_FROM="$PWD/build/run/data" KAL_SANITIZE=1 bash scripts/build.sh kaltests kalscores kalscorestests kallaunchertests gamedata \
  $(cd fuzz && ls Fuzz*.cpp | grep -v FuzzDriver | sed 's/\.cpp$//')
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -LE 'e2e|fuzz-long|autopilot|pending|soak')
