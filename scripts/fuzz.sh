#!/usr/bin/env bash
# Fuzzes the readers of documents, vCards and CSV files: builds the fuzz
# targets with clang, ASan and UBSan in build-fuzz, runs each for
# FUZZ_SECONDS (30 by default) on a fresh copy of its seed corpus
# (tests/fuzz/corpus/<reader>), with its dictionary where it has one, and
# exits non-zero on any crash, leak or sanitizer report. FUZZ_TARGETS names
# the readers to fuzz, all three by default. Inputs that failed are kept in
# build-fuzz/artifacts/<reader>, the output in build-fuzz/<reader>.log.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-30}"
read -r -a readers <<< "${FUZZ_TARGETS:-document_reader vcard_reader csv_reader}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALLVISTA_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build "$build" --target "${readers[@]/#/fuzz_}" -j2

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"

failed=0
for reader in "${readers[@]}"; do
  corpus="$build/corpus/$reader"
  artifacts="$build/artifacts/$reader"
  log="$build/$reader.log"
  rm -rf "$corpus" "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  cp "$root/tests/fuzz/corpus/$reader"/* "$corpus/"
  dictionary=()
  [ -f "$root/tests/fuzz/$reader.dict" ] && dictionary=(-dict="$root/tests/fuzz/$reader.dict")

  echo "== fuzz_$reader for $seconds s"
  status=0
  "$build/tests/fuzz/fuzz_$reader" "$corpus" "${dictionary[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" 2>&1 | tee "$log" || status=$?

  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: fuzz_$reader failed (exit $status); see $log and $artifacts" >&2
    failed=1
  elif grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$log"; then
    echo "fuzz.sh: a sanitizer reported a fault in fuzz_$reader; see $log" >&2
    failed=1
  elif [ -n "$(ls -A "$artifacts")" ]; then
    echo "fuzz.sh: fuzz_$reader left failing inputs in $artifacts" >&2
    failed=1
  fi
done

[ "$failed" -eq 0 ] || exit 1
echo "fuzz.sh: no faults in ${readers[*]}, $seconds s each"
