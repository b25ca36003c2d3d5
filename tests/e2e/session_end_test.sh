#!/usr/bin/env bash
# End of the Windows session, as `wineboot -e` brings it about: Vigilon asks the watched program to
# close, then ends. Run by ctest with the build folder as argument, inside the test prefix.
set -u
build=$1
source "$(dirname "$0")/../../scripts/lib/common.sh"

folder="$WINEPREFIX/drive_c/vigilon-session-test"
rm -rf "$folder" && mkdir -p "$folder"
cp "$build/vigilon.exe" "$folder/"
cp "$build/tests/e2e/watched_program.exe" "$folder/held.exe"
printf 'SessionEnd Held\r\nC:\\vigilon-session-test\\held.txt\r\n\r\n' >"$folder/held.exe.cfg"
printf '[Apps]\r\nNumber=1\r\nApp1=Held\r\n[Held]\r\nCaption=SessionEnd\r\nEXE=C:\\vigilon-session-test\\held.exe\r\n' \
  >"$folder/vigilon.ini"

fail() { echo "FAIL: $*"; exit 1; }
started() { grep -q '^start|' "$folder/held.txt" 2>/dev/null; }
hidden() {
  wine "$build/tests/e2e/driver.exe" list >"$folder/windows.txt" 2>/dev/null </dev/null
  grep -q $'SessionEnd Held\tvisible=0' "$folder/windows.txt"
}
closed() { grep -q '^close|' "$folder/held.txt" 2>/dev/null; }

wine 'C:\vigilon-session-test\vigilon.exe' >"$folder/vigilon.log" 2>&1 </dev/null &
vigilon=$!
wait_for 30 started || fail "the watched program was not started"
wait_for 30 hidden || fail "the watched program was not hidden"
wineboot -e >"$folder/wineboot.log" 2>&1 </dev/null
wait_for 30 closed || fail "the watched program was not asked to close"
wait_for 30 eval '! kill -0 $vigilon 2>/dev/null' || fail "Vigilon did not end with the session"
rm -rf "$folder"
echo "session end: the watched program was asked to close and Vigilon ended"
