#!/usr/bin/env bash
# Fails when a source file includes a header from its own floor's level or above,
# other than its own folder. The floors and their order live in docs/architecture.md
# (the fenced "floors" block); a folder of src/ missing there fails the check too,
# so a new folder is placed on a floor before it is used.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)

declare -A floor_of=()
level=0
fence='```'
while read -r line; do
  level=$((level + 1))
  for folder in $line; do floor_of[$folder]=$level; done
done < <(sed -n "/^${fence}floors\$/,/^${fence}\$/{/^${fence}/d;p}" "$ORVO_ROOT/docs/architecture.md")
[ ${#floor_of[@]} -gt 0 ] || { echo "layers: no floors block in docs/architecture.md" >&2; exit 1; }

faults=0
for dir in "$ORVO_ROOT"/src/*/; do
  folder=$(basename "$dir")
  if [ -z "${floor_of[$folder]:-}" ]; then
    echo "layers: src/$folder is on no floor of docs/architecture.md"
    faults=$((faults + 1))
    continue
  fi
  while IFS=: read -r file number target; do
    if [ "$target" = "$folder" ]; then continue; fi
    if [ -z "${floor_of[$target]:-}" ] || [ "${floor_of[$target]}" -le "${floor_of[$folder]}" ]; then
      echo "layers: ${file#"$ORVO_ROOT"/}:$number includes $target/ from $folder/"
      faults=$((faults + 1))
    fi
  done < <(grep -rHnE '^\s*#\s*include\s+"[a-z_]+/' "$dir" |
           sed -E 's/^([^:]+):([0-9]+):\s*#\s*include\s+"([a-z_]+)\/.*/\1:\2:\3/')
done

if [ $faults -ne 0 ]; then
  echo "layers: $faults include(s) point up or sideways" >&2
  exit 1
fi
echo "layers: every include points down"
