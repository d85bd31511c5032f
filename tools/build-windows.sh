#!/bin/bash
# Cross-builds the Windows program folder into build-windows/dist (no standard input needed):
# installs the packages, builds the dependency prefix once (cached, tools/windows_deps.sh),
# builds the Linux tree for the host tools (the skin generator and the demo sounds, whose output
# is the same files), then rx40panel.exe with MinGW-w64, and stages the folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${RX40_MINGW_ARCH:-x86_64}
build=$root/build-windows
sudo_cmd=""
[ "$(id -u)" = 0 ] || sudo_cmd=sudo
if ! command -v "$arch-w64-mingw32-g++-posix" >/dev/null || ! command -v wine >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update
    # shellcheck disable=SC2046
    $sudo_cmd apt-get install -y --no-install-recommends $(grep -v '^#' "$root/tools/packages.txt") \
        $(grep -v '^#' "$root/tools/packages-windows.txt")
fi
deps=$("$root/tools/windows_deps.sh" "$arch" | tail -1)

# The host's tools draw the skin and make the sounds.
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target skin demo_sounds stage_folder

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DRX40_MINGW_ARCH="$arch" -DRX40_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build"

dist=$build/dist
mkdir -p "$dist/setting" "$dist/sound" "$dist/wav"
rm -rf "$dist/ui"
cp -r "$root/build/dist/ui" "$dist/ui"
cp "$root/build/dist/sound/"*.mp3 "$dist/sound/"
cp "$root/build/dist/icon.png" "$root/build/dist/current_version.txt" "$dist/"
echo "Windows program folder: $dist"
