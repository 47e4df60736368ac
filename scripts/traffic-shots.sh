#!/bin/sh
# Pictures of the living city for doc/traffic: a busy street of mission 10 by day and by night,
# made by the traffic end-to-end test on the fixed clock under Xvfb.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build" --target kale2e gamedata
cd "$build/run"
xvfb-run -a -s "-screen 0 1280x720x24 -noreset" ../tests/kale2e --gtest_filter='TrafficE2E.ABusyStreetByDayAndByNight'
mkdir -p "$root/doc/traffic"
cp "$build/screenshots/traffic_day.png" "$build/screenshots/traffic_night.png" "$root/doc/traffic/"
