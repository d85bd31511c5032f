#!/bin/bash
# Builds and runs every test under a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/tools/build.sh" "$@"
xvfb-run -a -s "-screen 0 1600x1000x24 -nolisten tcp -noreset" ctest --test-dir "$build" --output-on-failure -j2
