#!/bin/bash
# Cross-builds the Windows program folder for both widths and the installer (no standard input
# needed): installs the packages, builds each width's dependency prefix once (cached,
# tools/windows_deps.sh), builds the Linux tree for the host tools (the skin generator and the
# demo sounds, whose output is the same files), then the programs with MinGW-w64, stages the
# folders and makes the installer.
#   build-windows/dist         the 64-bit program folder (with its tests)
#   build-windows/i686/dist    the 32-bit program folder
#   build-windows/rx40panel-setup.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows
sudo_cmd=""
[ "$(id -u)" = 0 ] || sudo_cmd=sudo
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v i686-w64-mingw32-g++-posix >/dev/null ||
    ! command -v wine >/dev/null || ! command -v makensis >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update
    # shellcheck disable=SC2046
    $sudo_cmd apt-get install -y --no-install-recommends $(grep -v '^#' "$root/tools/packages.txt") \
        $(grep -v '^#' "$root/tools/packages-windows.txt")
fi

# The host's tools draw the skin and make the sounds.
cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target skin demo_sounds stage_folder

# ARCH BUILD_DIR TESTS(ON|OFF)
build_width() {
    local arch=$1 dir=$2 tests=$3 deps
    deps=$("$root/tools/windows_deps.sh" "$arch" | tail -1)
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DRX40_MINGW_ARCH="$arch" -DRX40_WINDOWS_DEPS="$deps" -DRX40_WINDOWS_TESTS="$tests" \
        -DCMAKE_BUILD_TYPE=Release
    cmake --build "$dir"
    local dist=$dir/dist
    mkdir -p "$dist/setting" "$dist/sound" "$dist/wav"
    rm -rf "$dist/ui"
    cp -r "$root/build/dist/ui" "$dist/ui"
    cp "$root/build/dist/sound/"*.mp3 "$dist/sound/"
    cp "$root/build/dist/icon.png" "$dist/"
    echo "Windows program folder ($arch): $dist"
}
build_width x86_64 "$build" ON
build_width i686 "$build/i686" OFF
"$root/tools/make-installer.sh" "$build/dist" "$build/i686/dist" "$build/rx40panel-setup.exe"
