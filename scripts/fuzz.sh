#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) natively with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build/fuzz, and runs each for FUZZ_SECONDS seconds
# (default 60), one after the other, from its seeds in fuzz/corpus/<target> and what
# earlier runs found (build/fuzz/corpus/<target>). Prints the executions per target.
# Exits non-zero when a target crashed or broke an invariant; the input that did it
# is kept in build/fuzz/crashes/ and can be replayed with `build/fuzz/fuzz_<target> FILE`.
# An input that takes longer than the target's time budget (-timeout) fails the run as
# well. orvo-pack's targets take inputs up to 1 MiB, large enough for the directory and
# icon shapes that cost time or memory, and start from real files too: the launchers
# of build/i686 and build/x86_64 and the project's own icons.
#   FUZZ_TARGETS="pe_headers vm_parameters"   only these targets
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}
export CCACHE_BASEDIR="$root"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null || exit 1
mkdir -p "$build/crashes" "$build/logs"
if ! cmake --build "$build" >"$build/logs/build.log" 2>&1; then
  cat "$build/logs/build.log" >&2
  echo "fuzz: build failed" >&2
  exit 1
fi

all_targets=("$root"/fuzz/*.cpp)
all_targets=("${all_targets[@]##*/}")
targets=${FUZZ_TARGETS:-${all_targets[*]%.cpp}}
export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1

stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

# seeds TARGET: a folder of real files for the target beyond its committed seeds.
seeds() {
  local folder="$build/seeds/$1" file found=0
  rm -rf "$folder" && mkdir -p "$folder"
  case $1 in
    pack_pe_image) set -- "$root/build/i686/orvo.exe" "$root/build/x86_64/orvo64.exe" ;;
    pack_icon_file) set -- "$root/samples/hello/hello.ico" "$root/src/resources/orvo.ico" ;;
    *) set -- ;;
  esac
  for file in "$@"; do
    if [ -f "$file" ]; then cp "$file" "$folder/" && found=1; else echo "fuzz: seed $file is missing (make build first)" >&2; fi
  done
  [ $found -eq 1 ] && echo "$folder"
}

echo "== fuzz: ${seconds} s per target =="
printf '%-16s %14s %12s  %s\n' target executions exec/s result
failed=0
for target in $targets; do
  corpus="$build/corpus/$target"
  log="$build/logs/$target.log"
  mkdir -p "$corpus"
  # Seconds one input may take; orvo-pack's readers take linear time, so a slow one is a finding.
  case $target in
    pack_*) options=(-max_len=1048576 -timeout=5) ;;
    *) options=(-timeout=10) ;;
  esac
  options+=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$target-")
  [ -f "$root/fuzz/dict/$target.dict" ] && options+=(-dict="$root/fuzz/dict/$target.dict")
  mapfile -t extra_seeds < <(seeds "$target")
  "$build/fuzz_$target" "${options[@]}" "$corpus" "$root/fuzz/corpus/$target" "${extra_seeds[@]}" >"$log" 2>&1
  status=$?
  result=clean
  if [ $status -ne 0 ]; then
    failed=1
    result="FAILED ($(grep -m1 -oE 'invariant broken.*|ERROR: [A-Za-z]+: [^ ]+.*|runtime error: .*' "$log" || echo "exit $status"))"
  fi
  printf '%-16s %14s %12s  %s\n' "$target" "$(stat number_of_executed_units "$log")" \
    "$(stat average_exec_per_sec "$log")" "$result"
  [ $status -ne 0 ] && grep -E "^artifact_prefix|Test unit written to" "$log" | sed 's/^/    /'
done
if [ $failed -ne 0 ]; then echo "== fuzz: some targets failed (logs in $build/logs) =="; exit 1; fi
echo "== fuzz: every target ran clean =="
