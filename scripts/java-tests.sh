#!/usr/bin/env bash
# Runs the tests of the Java parts: the packer's and the plugin's unit tests, the
# comparison of the Java packer with the native orvo-pack over the same inputs, the
# Gradle recipe, and the sample Maven project built with the plugin and started under
# wine on a real Java runtime. Needs `make build` (the launchers, the native packer and
# the plugin in the local Maven repository).
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
trap orvo_stop_all EXIT

orvo_start_display
orvo_prepare_prefix

log="$ORVO_ROOT/build/java/test-output.log"
mkdir -p "$(dirname "$log")"
echo "== tests: java =="
# Every tag runs here; the quick build leaves out those that need wine or the native build.
# One run per module, so that a failure in one does not keep the other's tests from running
# (the plugin takes the packer from the local repository, where make build put it).
status=0
: >"$log"
for module in orvo-pack orvo-maven-plugin; do
  mvn --batch-mode -f "$ORVO_ROOT/java/pom.xml" -Drevision="$(cat "$ORVO_ROOT/VERSION")" -pl "$module" \
    -Dorvo.excludedGroups=none verify >>"$log" 2>&1 || status=1
done
grep -E 'Tests run:.*-- in |^native comparison:|^sample:|Tests run: [0-9]+, Failures' "$log" | sed 's/^\[[A-Z]*\] //'
if [ $status -ne 0 ]; then
  grep -E '\[ERROR\]' "$log" | head -n 40
  echo "(whole output: $log)"
  echo "== some java tests failed =="
else
  echo "== all java tests passed =="
fi
exit $status
