#!/usr/bin/env bash
# Runs every test of both architectures under wine and a virtual display.
# Exits non-zero when any test failed, did not run, or was skipped. Ends with the
# ten slowest test programs and tests of the run.
#
# For a quicker look while working, the environment narrows the run:
#   ORVO_ARCHS="x86_64"   one architecture (default: "i686 x86_64")
#   ORVO_SUITES="e2e"     unit or end-to-end tests only (default: "native unit e2e";
#                         "native" is orvo-pack's unit tests built for this machine)
#   GTEST_FILTER=...      GoogleTest's own filter, passed to the test programs
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
trap orvo_stop_all EXIT

orvo_start_display
orvo_prepare_prefix
orvo_map_test_drive
# The service manager ends every service when the prefix's last ordinary process
# ends; the service tests start and stop services across several processes, so the
# prefix's server stays until orvo_stop_all ends it.
wineserver -p
# The prefix is this run's own, so the few tests that change a machine-wide setting
# for their length (and put it back) may run; on a developer's machine they refuse.
export ORVO_DISPOSABLE_MACHINE=1

archs=${ORVO_ARCHS:-i686 x86_64}
suites=${ORVO_SUITES:-native unit e2e}
pattern="^(${suites// /|})-"

status=0
logs=()
# run_tree LABEL BUILD-TREE: the tree's tests whose names match $pattern.
run_tree() {
  echo "== tests: $1 =="
  local log="$2/test-output.log"
  logs+=("$log")
  if ctest --test-dir "$2" -R "$pattern" --verbose --no-tests=error >"$log" 2>&1; then
    grep -E '^[0-9]+: \[==========\] [0-9]+ tests? from .* ran|^[0-9]+: \[  PASSED  \]' "$log"
  else
    status=1
    grep -E '^[0-9]+: \[  FAILED  \]|Failure$|Timeout|Not Run|over the size budget' "$log" | head -n 60
    echo "(whole output: $log)"
  fi
  tail -n 4 "$log" | grep -E 'tests passed|tests failed' || true
}

if [[ " $suites " == *" native "* ]]; then run_tree native "$ORVO_ROOT/build/native"; fi
for arch in $archs; do
  if [[ " $suites " == *" unit "* || " $suites " == *" e2e "* ]]; then run_tree "$arch" "$ORVO_ROOT/build/$arch"; fi
done
bash "$ORVO_ROOT/scripts/slowest-tests.sh" "${logs[@]}"
if [ $status -ne 0 ]; then echo "== some tests failed =="; else echo "== all tests passed =="; fi
exit $status
