#!/usr/bin/env bash
# Configures and builds Kalmirov into build/ (Release); with KAL_SANITIZE=1 into build-asan/ with
# AddressSanitizer and UndefinedBehaviorSanitizer. With KAL_WERROR=1 warnings are errors (the tests
# build so); otherwise they are not, so a newer compiler than ours still builds the game.
# KAL_DATA_FROM=DIR links that generated data tree in instead of generating one; KAL_UNIT_TESTS=OFF
# leaves out the unit tests and the fuzz targets. Arguments
# name the targets to build (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${KAL_SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  # -O1 and line tables only: the sanitizers' reports keep their file and line, the build takes
  # half the time of -O2 -g.
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAL_SANITIZE=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
         "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
else
  dir=build
  flags=(-DCMAKE_BUILD_TYPE=Release)
fi
flags+=(-DKAL_DATA_FROM="${KAL_DATA_FROM:-}" -DKAL_UNIT_TESTS="${KAL_UNIT_TESTS:-ON}")
if [ "${KAL_WERROR:-0}" = 1 ]; then
  flags+=(-DKAL_WERROR=ON)
else
  flags+=(-DKAL_WERROR=OFF)
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$dir" -j "$(nproc)" --target "$@"
else
  cmake --build "$dir" -j "$(nproc)"
fi
