# shellcheck shell=bash
# Sourced by the test and demo scripts: a wine prefix and a virtual display that
# live inside the build tree and end with the script.
ORVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$ORVO_ROOT/build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko download prompts: the launcher needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

orvo_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix in $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
  fi
  # An unexpected crash must end the test, not wait for someone to close winedbg.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  # Without a window manager wine draws the title bars itself, so that screenshots
  # show captions and close boxes as a user sees them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
}

orvo_start_display() {
  mkdir -p "$ORVO_ROOT/build/xvfb"
  exec 5> "$ORVO_ROOT/build/xvfb/display"
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -auth "$ORVO_ROOT/build/xvfb/auth" \
    >"$ORVO_ROOT/build/xvfb/xvfb.log" 2>&1 &
  ORVO_XVFB_PID=$!
  for _ in $(seq 50); do
    [ -s "$ORVO_ROOT/build/xvfb/display" ] && break
    sleep 0.1
  done
  DISPLAY=":$(head -n1 "$ORVO_ROOT/build/xvfb/display")"
  export DISPLAY
  echo "xvfb: display $DISPLAY"
}

# A drive letter whose root is an empty folder of this run (ORVO_TEST_DRIVE, e.g.
# "R:"), for tests of a launcher at the root of a drive; wine maps drives through
# links in the prefix's dosdevices folder. Removed again by orvo_stop_all.
orvo_map_test_drive() {
  local folder="$ORVO_ROOT/build/test-drive" link letter
  for link in "$WINEPREFIX"/dosdevices/?:; do
    [ "$(readlink "$link")" = "$folder" ] && rm -f "$link"
  done
  rm -rf "$folder" && mkdir -p "$folder"
  for letter in r s t u v w x y; do
    link="$WINEPREFIX/dosdevices/$letter:"
    [ -e "$link" ] || [ -L "$link" ] && continue
    ln -s "$folder" "$link"
    export ORVO_TEST_DRIVE="${letter^^}:"
    ORVO_TEST_DRIVE_LINK=$link
    return 0
  done
  echo "wine: no free drive letter for the test drive" >&2
}

orvo_stop_all() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${ORVO_TEST_DRIVE_LINK:-}" ] && rm -f "$ORVO_TEST_DRIVE_LINK"
  if [ -n "${ORVO_XVFB_PID:-}" ]; then kill "$ORVO_XVFB_PID" >/dev/null 2>&1 || true; fi
}
