#!/bin/bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time.
#   tools/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
# Corpora and any crash inputs stay in build-fuzz/corpus/ and build-fuzz/crashes/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
command -v clang++ >/dev/null || { echo "needs clang: apt-get install -y clang libclang-rt-14-dev"; exit 2; }
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRX40_FUZZ=ON
targets="fuzz_para_category fuzz_named_category fuzz_xml_readers fuzz_response_body fuzz_dechunk"
# shellcheck disable=SC2086
cmake --build "$build" --target $targets

seed() { # TARGET: a few valid inputs to start from
    local dir=$build/corpus/$1
    mkdir -p "$dir"
    case $1 in
    fuzz_*category | fuzz_xml_readers)
        cp "$root/tests/data/online_list.xml" "$dir/list.xml"
        cp "$root/tests/data/hostile/"*.xml "$dir/" ;; # every input that once broke a reader
    fuzz_response_body)
        printf 'HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc' >"$dir/plain"
        printf 'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n' >"$dir/chunked"
        { printf 'HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n'; printf '<a/>' | gzip -c; } >"$dir/gzip" ;;
    fuzz_dechunk) printf '3\r\nabc\r\na;x=y\r\n0123456789\r\n0\r\n\r\n' >"$dir/chunks" ;;
    esac
}

status=0
mkdir -p "$build/crashes"
for t in $targets; do
    seed "$t"
    echo "== $t for ${seconds}s"
    # XML: the markup dictionary, and inputs long enough for deep nesting (100,000 levels).
    extra=()
    case $t in fuzz_*category | fuzz_xml_readers) extra=(-dict="$root/tests/fuzz/xml.dict" -max_len=400000) ;; esac
    if ! "$build/tests/fuzz/$t" "${extra[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/crashes/$t-" -print_final_stats=1 "$build/corpus/$t" 2>"$build/$t.log"; then
        echo "   FOUND a failure: see $build/$t.log and $build/crashes/"
        status=1
    fi
    grep -E "stat::number_of_executed_units|cov: " "$build/$t.log" | tail -2 | sed 's/^/   /'
done
exit $status
