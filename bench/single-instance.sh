#!/usr/bin/env bash
# Times a start forwarded to a running single instance against a launcher start that
# stops at once, under wine, for each architecture built (ORVO_ARCHS, default both).
# Usage: bash bench/single-instance.sh [runs]   (runs of each kind, default 20)
# Needs `make build` first. Prints figures only; nothing is asserted.
set -euo pipefail
source "$(dirname "$0")/../scripts/wine-env.sh"
trap orvo_stop_all EXIT

runs=${1:-20}
windows_path() { echo "Z:${1//\//\\}"; }

orvo_start_display
orvo_prepare_prefix
for arch in ${ORVO_ARCHS:-i686 x86_64}; do
  build="$ORVO_ROOT/build/$arch"
  launcher=$([ "$arch" = x86_64 ] && echo orvo64.exe || echo orvo.exe)
  cmake --build "$build" --target orvo_bench_single_instance >/dev/null
  mkdir -p "$build/bench-tmp"
  echo "== single instance, $arch ($launcher), $runs runs of each kind, alternating =="
  ORVO_LAUNCHER=$(windows_path "$build/$launcher") \
  ORVO_TEST_TMP=$(windows_path "$build/bench-tmp") \
  ORVO_TEST_JVM_DIR=$(windows_path "$build/testjvm") \
    wine "$build/orvo_bench_single_instance.exe" "$runs"
done
