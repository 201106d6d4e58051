#!/usr/bin/env bash
# Fuzzes every reader for SECONDS each (default 300), one fuzzer at a time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Builds the fuzzers with clang and the address and undefined-behaviour
# sanitizers in build-fuzz, writes seeds from the demo city, and keeps every
# input that crashes, leaks or hangs under tests/fuzz/regressions/<target>/,
# where the regression test (tests/fuzz) runs it in the ordinary build.
# Logs go to $FUZZ_LOG_DIR (default build-fuzz/fuzz-logs). The exit status is
# 1 when any fuzzer found something.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-300}
shift || true
all=(settings catalogue tables names layer bookmarks icons housenumber addressline osmxml)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    bash scripts/deps.sh --fuzz
fi
bash scripts/deps.sh

build=$root/build-fuzz
flags="-g -fno-omit-frame-pointer -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DURBICA_FUZZ=ON -DURBICA_BUILD_TESTS=OFF -DURBICA_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j2 --target urbica-fuzzseeds $(printf 'fuzz_%s ' "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

seeds=$build/fuzz-seeds
rm -rf "$seeds"
"$build/bin/urbica-fuzzseeds" "$seeds"

logs=${FUZZ_LOG_DIR:-$build/fuzz-logs}
mkdir -p "$logs"
found=0
for t in "${targets[@]}"; do
    corpus=$build/fuzz-corpus/$t
    artifacts=$build/fuzz-artifacts/$t
    regressions=$root/tests/fuzz/regressions/$t
    work=$(mktemp -d "${TMPDIR:-/tmp}/urbica-fuzz-run.XXXXXX")
    [ -d /dev/shm ] && { rmdir "$work"; work=$(mktemp -d /dev/shm/urbica-fuzz-run.XXXXXX); }
    mkdir -p "$corpus" "$artifacts"
    rm -f "$artifacts"/*
    dirs=("$corpus")
    for d in "$seeds/$t" "$root/tests/fuzz/seeds/$t" "$regressions"; do [ -d "$d" ] && dirs+=("$d"); done
    echo "== $t: ${seconds}s"
    status=0
    URBICA_FUZZ_TMP=$work "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=200 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "${dirs[@]}" >"$logs/$t.log" 2>&1 || status=$?
    rm -rf "$work"
    grep -E '^#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$logs/$t.log" || true
    kept=0
    for a in "$artifacts"/*; do
        [ -e "$a" ] || continue
        case $(basename "$a") in crash-* | leak-* | timeout-* | oom-*) ;; *) continue ;; esac
        mkdir -p "$regressions"
        cp "$a" "$regressions/"
        echo "   kept $(basename "$a") in tests/fuzz/regressions/$t/"
        kept=1
    done
    if [ $status -ne 0 ] || [ $kept -ne 0 ]; then
        echo "   FOUND (exit $status), see $logs/$t.log"
        found=1
    fi
done
exit $found
