#!/bin/bash
# Fresh Debian 12: installs what is needed, builds, and starts the panel with the virtual device.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install_packages.sh"
"$root/tools/build.sh"
exec "${BUILD_DIR:-$root/build}/dist/rx40panel"
