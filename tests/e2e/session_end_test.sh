#!/usr/bin/env bash
# End of the Windows session, as `wineboot -e` brings it about: Vigilon asks the watched program to
# close, then ends. Run by ctest with the build folder as argument, inside the test prefix.
#
# wineboot ends the session one process at a time, in the order of their ids, and ends each process
# once it has handled its end-session messages; Windows goes by the shutdown level Vigilon sets
# instead. So the watched program must have a higher id than Vigilon, which it has only while the
# prefix's server hands out ids in order: a server that has run many processes (the suite before
# this test) hands out freed ids again, in no useful order. Any process left from earlier tests
# would be told of the end too, and one that no longer responds would hold wineboot up. The test
# therefore starts with a server of its own.
set -u
build=$1
source "$(dirname "$0")/../../scripts/lib/common.sh"
stop_prefix

folder="$WINEPREFIX/drive_c/vigilon-session-test"
rm -rf "$folder" && mkdir -p "$folder"
cp "$build/vigilon.exe" "$folder/"
cp "$build/tests/e2e/watched_program.exe" "$folder/held.exe"
printf 'SessionEnd Held\r\nC:\\vigilon-session-test\\held.txt\r\n\r\n' >"$folder/held.exe.cfg"
printf '[Apps]\r\nNumber=1\r\nApp1=Held\r\n[Held]\r\nCaption=SessionEnd\r\nEXE=C:\\vigilon-session-test\\held.exe\r\n' \
  >"$folder/vigilon.ini"

fail() {
  echo "FAIL: $*"
  echo "windows and their processes:"; cat "$folder/windows.txt" 2>/dev/null
  echo "the watched program's record:"; cat "$folder/held.txt" 2>/dev/null
  echo "Vigilon's history:"; cat "$folder/vigilon.log" 2>/dev/null
  exit 1
}
started() { grep -q '^start|' "$folder/held.txt" 2>/dev/null; }
# Hidden by Vigilon, as its history says: a window just created is not shown yet either, before
# Vigilon has found it.
hidden() {
  grep -q $'\thidden\tHeld\t' "$folder/vigilon.log" 2>/dev/null || return 1
  wine "$build/tests/e2e/driver.exe" list >"$folder/windows.txt" 2>/dev/null </dev/null
  grep -q $'SessionEnd Held\tvisible=0' "$folder/windows.txt"
}
closed() { grep -q '^close|' "$folder/held.txt" 2>/dev/null; }

# The history goes to vigilon.log in the program's folder; Wine's own output goes elsewhere.
wine 'C:\vigilon-session-test\vigilon.exe' >"$folder/wine-output.txt" 2>&1 </dev/null &
vigilon=$!
wait_for 30 started || fail "the watched program was not started"
wait_for 30 hidden || fail "the watched program was not hidden"
wineboot -e >"$folder/wineboot.log" 2>&1 </dev/null
wait_for 30 closed || fail "the watched program was not asked to close"
wait_for 30 eval '! kill -0 $vigilon 2>/dev/null' || fail "Vigilon did not end with the session"
rm -rf "$folder"
echo "session end: the watched program was asked to close and Vigilon ended"
