#!/usr/bin/env bash
# Fuzzes the document reader: builds only the fuzz target with clang, ASan and
# UBSan in build-fuzz, runs it for FUZZ_SECONDS (60 by default) on a fresh copy
# of the seed corpus, and exits non-zero on any crash, leak or sanitizer
# report. Inputs that failed are kept in build-fuzz/artifacts, the output in
# build-fuzz/fuzz.log.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-60}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALLVISTA_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build "$build" --target fuzz_document_reader -j2

rm -rf "$build/corpus" "$build/artifacts"
mkdir -p "$build/corpus" "$build/artifacts"
cp "$root"/tests/fuzz/corpus/* "$build/corpus/"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"

status=0
"$build/tests/fuzz/fuzz_document_reader" "$build/corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" 2>&1 | tee "$build/fuzz.log" || status=$?

if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: the fuzzer failed (exit $status); see $build/fuzz.log and $build/artifacts" >&2
    exit "$status"
fi
if grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$build/fuzz.log"; then
    echo "fuzz.sh: a sanitizer reported a fault; see $build/fuzz.log" >&2
    exit 1
fi
if [ -n "$(ls -A "$build/artifacts")" ]; then
    echo "fuzz.sh: the fuzzer left failing inputs in $build/artifacts" >&2
    exit 1
fi
echo "fuzz.sh: no faults in $seconds s"
