#!/usr/bin/env bash
# Builds the libFuzzer targets (ASan + UBSan, clang) and runs each for a bounded time on a
# working copy of its seed corpus. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Findings are written to build/fuzz/findings/; the script fails if any target finds one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(FuzzRun FuzzMessage FuzzParameters FuzzGzipInput FuzzFilter FuzzCapture FuzzCaptureRun)
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
# FuzzGzipInput compresses its input itself: whole logs are its seeds too.
declare -A corpus=([FuzzRun]=run [FuzzMessage]=message [FuzzParameters]=parameters [FuzzGzipInput]=run [FuzzFilter]=filter [FuzzCapture]=capture [FuzzCaptureRun]=capture)
mkdir -p build/fuzz/findings
status=0
for t in "${targets[@]}"; do
  work="build/fuzz/corpus-work/${corpus[$t]}"
  mkdir -p "$work"
  cp -n tests/fuzz/corpus/"${corpus[$t]}"/* "$work"/ 2>/dev/null || true
  echo "== $t: ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      "build/fuzz/tests/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -max_len=4096 -artifact_prefix="build/fuzz/findings/$t-" -print_final_stats=1 "$work" \
      > "build/fuzz/$t.log" 2>&1; then
    echo "$t found a failure; see build/fuzz/$t.log and build/fuzz/findings/"
    tail -40 "build/fuzz/$t.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|cov: ' "build/fuzz/$t.log" | tail -3
  fi
done
exit $status
