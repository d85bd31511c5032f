#!/bin/bash
# Builds the Windows dependencies (OpenSSL 3, libpng, libjpeg-turbo, FLAC, Ogg Vorbis, LAME,
# mpg123/out123) from Debian's source packages with MinGW-w64, static, into a prefix kept under
# the user's cache folder. The prefix is reused while the source versions and this script stay
# the same; a fresh machine builds it (about 4 minutes at -j2). Prints the prefix's path last.
#   tools/windows_deps.sh [x86_64|i686]
set -euo pipefail
arch=${1:-x86_64}
host=$arch-w64-mingw32
here=$(cd "$(dirname "$0")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/rx40panel
jobs=$(nproc)
packages=(openssl libpng1.6 libjpeg-turbo flac libogg libvorbis lame mpg123)

# Source packages through a private apt state: the system's sources and lists stay as they are.
apt_root=$cache/apt
mkdir -p "$apt_root/lists/partial" "$apt_root/archives/partial"
cat >"$apt_root/sources.list" <<'EOF'
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
EOF
cat >"$apt_root/apt.conf" <<EOF
Dir::Etc::sourcelist "$apt_root/sources.list";
Dir::Etc::sourceparts "-";
Dir::State::Lists "$apt_root/lists";
Dir::Cache "$apt_root";
APT::Get::Only-Source "true";
EOF
export APT_CONFIG=$apt_root/apt.conf
apt-get -qq update >&2

versions=""
for p in "${packages[@]}"; do
    v=$(apt-cache showsrc "$p" | sed -n 's/^Version: //p' | sort -V | tail -1)
    [ -n "$v" ] || { echo "no source package $p" >&2; exit 1; }
    versions+="$p=$v "
done
key=$( (echo "$arch $versions"; cat "$0") | sha256sum | cut -c1-16)
prefix=$cache/windows-deps/$arch-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$prefix.partial
rm -rf "$stage"
mkdir -p "$stage"
cd "$work"
# The security mirror may refuse the .dsc while the upstream tarball comes: look for the tarball.
for p in "${packages[@]}"; do
    mkdir -p "$work/$p"
    (cd "$work/$p" && apt-get source --download-only "$p" >/dev/null 2>&1 || true)
done
unpack() { # PACKAGE: the upstream tree's folder
    local tarball dir
    tarball=$(ls "$work/$1"/*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -1)
    [ -n "$tarball" ] || { echo "no source tarball for $1" >&2; exit 1; }
    mkdir -p "$work/$1/src"
    tar -xf "$tarball" -C "$work/$1/src"
    dir=$(find "$work/$1/src" -mindepth 1 -maxdepth 1 -type d | head -1)
    echo "$dir"
}
export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig
export CPPFLAGS="-I$stage/include" LDFLAGS="-L$stage/lib"
static_conf=(--host="$host" --prefix="$stage" --disable-shared --enable-static)

echo "building Windows dependencies for $arch into $prefix" >&2
(
    cd "$(unpack openssl)"
    target=mingw64
    [ "$arch" = i686 ] && target=mingw
    ./Configure $target --cross-compile-prefix="$host-" no-shared no-tests no-module \
        --prefix="$stage" --libdir=lib --openssldir=C:/ProgramData/ssl >/dev/null
    # The host's Perl turns the Windows path into a relative one.
    sed -i 's|^OPENSSLDIR=.*|OPENSSLDIR=C:/ProgramData/ssl|' Makefile
    make -j"$jobs" build_libs >/dev/null
    make install_dev >/dev/null
) >&2
(cd "$(unpack libogg)" && ./configure "${static_conf[@]}" >/dev/null && make -j"$jobs" install >/dev/null) >&2
(cd "$(unpack libvorbis)" && ./configure "${static_conf[@]}" --disable-docs --disable-examples >/dev/null &&
    make -j"$jobs" install >/dev/null) >&2
(cd "$(unpack flac)" && ./configure "${static_conf[@]}" --disable-programs --disable-examples \
    --disable-cpplibs --disable-doxygen-docs --disable-xmms-plugin --disable-ogg >/dev/null &&
    make -j"$jobs" install >/dev/null) >&2
(
    cd "$(unpack libpng1.6)"
    ./configure "${static_conf[@]}" CPPFLAGS="-I/usr/$host/include" LDFLAGS="-L/usr/$host/lib" >/dev/null
    make -j"$jobs" install >/dev/null
) >&2
(
    cd "$(unpack libjpeg-turbo)"
    mkdir build && cd build
    cmake .. -G Ninja -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" \
        -DCMAKE_C_COMPILER="$host-gcc-posix" -DCMAKE_RC_COMPILER="$host-windres" \
        -DCMAKE_INSTALL_PREFIX="$stage" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
        -DWITH_SIMD=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
    ninja install >/dev/null
    # The framework compiles the library's internals: it needs jpegint.h, and its own typedef of
    # boolean must not be hidden by the RPC header guard.
    cp ../jpegint.h "$stage/include/"
    sed -i 's/#ifndef __RPCNDR_H__/#if 1/' "$stage/include/jconfig.h"
) >&2
(cd "$(unpack lame)" && ./configure "${static_conf[@]}" --disable-frontend --disable-gtktest \
    --disable-decoder --enable-nasm=no >/dev/null && make -j"$jobs" install >/dev/null) >&2
(
    cd "$(unpack mpg123)"
    ./configure "${static_conf[@]}" --enable-modules=no --with-audio=win32 --with-default-audio=win32 \
        --with-cpu="$([ "$arch" = i686 ] && echo i586 || echo x86-64)" --enable-network=no >/dev/null
    make -j"$jobs" install >/dev/null
) >&2
echo "$versions" >"$stage/versions.txt"
touch "$stage/.complete"
rm -rf "$prefix"
mv "$stage" "$prefix"
echo "$prefix"
