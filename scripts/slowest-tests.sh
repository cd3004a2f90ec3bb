#!/usr/bin/env bash
# Prints the ten slowest test programs and the ten slowest tests of the verbose ctest
# logs given as arguments (scripts/run-tests.sh gives those of its run), so that a
# run says where its time went.
set -euo pipefail

# One line per timing: "<seconds> <program> <test or ->".
timings() {
  awk '
    # "    Start 1: unit-x86_64", as the program starts
    match($0, /^ +Start +[0-9]+: [^ ]+$/) {
      split(substr($0, RSTART, RLENGTH), part, /[: ]+/)
      program[FILENAME, part[3]] = part[4]
      next
    }
    # "1/3 Test #1: unit-x86_64 ......   Passed   12.34 sec", as it ends
    match($0, /Test +#[0-9]+: [^ ]+/) {
      split(substr($0, RSTART, RLENGTH), part, /[#: ]+/)
      program[FILENAME, part[2]] = part[3]
      if (match($0, /[0-9.]+ sec$/)) printf "%.2f %s -\n", substr($0, RSTART, RLENGTH - 4), part[3]
      next
    }
    # "2: [       OK ] Suite.Case (1234 ms)", and the same with FAILED
    match($0, /^[0-9]+: \[ +(OK|FAILED) +\] [^ ]+ \([0-9]+ ms\)$/) {
      number = substr($0, 1, index($0, ":") - 1)
      name = $0; sub(/^[^\]]*\] /, "", name); sub(/ \(.*$/, "", name)
      ms = $0; sub(/^.*\(/, "", ms); sub(/ ms\)$/, "", ms)
      ++count
      seconds[count] = ms / 1000; file[count] = FILENAME; test[count] = number; name_of[count] = name
    }
    END {
      for (i = 1; i <= count; ++i) {
        label = ((file[i], test[i]) in program) ? program[file[i], test[i]] : "test#" test[i]
        printf "%.2f %s %s\n", seconds[i], label, name_of[i]
      }
    }' "$@"
}

all=$(timings "$@")
echo "== slowest test programs =="
awk '$3 == "-" { printf "%9.2f s  %s\n", $1, $2 }' <<<"$all" | sort -rn | head -n 10
echo "== slowest tests =="
awk '$3 != "-" { printf "%9.2f s  %s  %s\n", $1, $2, $3 }' <<<"$all" | sort -rn | head -n 10
