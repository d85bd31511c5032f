#!/bin/bash
# Builds the Windows installer from the two staged program folders.
#   tools/make-installer.sh DIST64 DIST32 OUTFILE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist64=$(cd "$1" && pwd) dist32=$(cd "$2" && pwd) out=$(realpath -m "$3")
gen=$(dirname "$out")/installer
rm -rf "$gen"
mkdir -p "$gen"

# What the installer copies: the program folder but the virtual device (an optional component)
# and the user's folders, which are only created.
program_files() {
    (cd "$1" && find . -type f ! -name devbridge.dll ! -name rx40-devsim.exe ! -path './setting/*' \
        ! -path './wav/*' | sed 's|^\./||' | LC_ALL=C sort)
}
file_lines() {
    local dist=$1 dir="" d
    program_files "$dist" | while read -r f; do
        d=$(dirname "$f")
        [ "$d" = . ] && d=""
        if [ "$d" != "$dir" ]; then
            echo "SetOutPath \"\$INSTDIR${d:+\\$(echo "$d" | tr / '\\')}\""
            dir=$d
        fi
        echo "File \"$dist/$f\""
    done
}
file_lines "$dist64" >"$gen/files64.nsh"
file_lines "$dist32" >"$gen/files32.nsh"
cmp -s <(program_files "$dist64") <(program_files "$dist32") || {
    echo "the two program folders hold different files" >&2
    exit 1
}
{
    program_files "$dist64" | while read -r f; do echo "Delete \"\$INSTDIR\\$(echo "$f" | tr / '\\')\""; done
    # Folders deepest first; only empty ones go, so the user's own files keep theirs.
    (cd "$dist64" && find . -mindepth 1 -type d ! -name setting ! -name wav ! -name sound | sed 's|^\./||' |
        awk '{print length, $0}' | sort -rn | cut -d' ' -f2-) |
        while read -r d; do echo "RMDir \"\$INSTDIR\\$(echo "$d" | tr / '\\')\""; done
} >"$gen/uninstall.nsh"

# Text files with Windows line ends, beside the program and on the licence page.
unix2crlf() { sed 's/$/\r/' "$1"; }
unix2crlf "$root/LICENSE" >"$gen/LICENSE.txt"
unix2crlf "$root/packaging/windows/THIRD_PARTY_NOTICES.txt" >"$gen/THIRD_PARTY_NOTICES.txt"
cat "$gen/LICENSE.txt" "$gen/THIRD_PARTY_NOTICES.txt" >"$gen/license.txt"

version=$(head -1 "$dist64/current_version.txt" | tr -d '\r')
makensis -V2 -DVERSION="$version" -DDIST64="$dist64" -DDIST32="$dist32" -DGEN="$gen" -DOUTFILE="$out" \
    "$root/packaging/windows/rx40panel.nsi"
echo "installer: $out"
