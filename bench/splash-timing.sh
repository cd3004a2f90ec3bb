#!/usr/bin/env bash
# Measures how long after a launcher's start its splash is on screen, under wine on
# the virtual display: the launcher's own window and the runtime's splash library,
# each on the real Java runtime. Needs a built tree (make build). Prints figures only.
#   bash bench/splash-timing.sh [runs]   (default 20)
set -euo pipefail
source "$(dirname "$0")/../scripts/wine-env.sh"
trap orvo_stop_all EXIT
runs=${1:-20}
build="$ORVO_ROOT/build/x86_64"
cmake --build "$build" --target orvo_splash_bench orvo_launcher >/dev/null
orvo_start_display
orvo_prepare_prefix

win() { local path="Z:$1"; printf '%s\n' "${path//\//\\}"; }
app="$ORVO_ROOT/build/bench/splash-app"
rm -rf "$app" && mkdir -p "$app"
cp "$build/orvo64.exe" "$app/App64.exe"
# A 480 x 300 picture of four colour blocks, as a PNG.
python3 - "$app/splash.png" <<'PY'
import struct, sys, zlib
w, h = 480, 300
rows = b"".join(b"\0" + b"".join(bytes(((255, 0, 0), (0, 160, 0), (0, 0, 255), (255, 255, 255))
                [(y >= h // 2) * 2 + (x >= w // 2)]) for x in range(w)) for y in range(h))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
PY
write_ini() {
  printf '[Java Runtime Environment]\r\nMain Class=orvo.test.Probe\r\nJRE Path=%s\r\n[Class Path]\r\nClass Path=%s\r\n[Display]\r\nSplash Screen=%s\r\nPreffer Native Splash Screen=%s\r\n' \
    "$(win "$ORVO_ROOT/build/runtime/jdk")" "$(win "$build/java/orvo-probe.jar")" "$(win "$app/splash.png")" "$1" \
    > "$app/App64.ini"
}
write_ini No
wine "$build/orvo_splash_bench.exe" "$(win "$app/App64.exe")" SplashScreenWindow "$runs"
write_ini Yes
wine "$build/orvo_splash_bench.exe" "$(win "$app/App64.exe")" JavaSplash "$runs"
