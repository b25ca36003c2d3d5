#!/usr/bin/env bash
# A program folder that cannot be written to: the first start opens the editor, and Save tells the
# user that the settings file could not be written, naming it, instead of passing silently. The
# folder is made read-only with a read-only bind mount, which holds even for root; where mounting
# is not allowed the test is skipped (exit code 77). Run by ctest with the build folder as argument.
set -u
build=$1
source "$(dirname "$0")/../../scripts/lib/common.sh"

folder="$WINEPREFIX/drive_c/vigilon-readonly-test"
rm -rf "$folder" && mkdir -p "$folder"
cp "$build/vigilon.exe" "$folder/"
if ! mount --bind -o ro "$folder" "$folder" 2>/dev/null; then
  echo "SKIP: this machine does not allow a read-only bind mount"
  rm -rf "$folder"
  exit 77
fi
log_dir=$(mktemp -d)
cleanup() {
  umount "$folder" 2>/dev/null
  rm -rf "$folder" "$log_dir"
}
trap cleanup EXIT
if touch "$folder/probe" 2>/dev/null; then
  echo "SKIP: the read-only mount can still be written to"
  exit 77
fi

fail() { echo "FAIL: $*"; exit 1; }
driver() { wine "$build/tests/e2e/driver.exe" "$@" >"$log_dir/driver.txt" 2>/dev/null </dev/null; }
editor_shown() { driver list && grep -q $'Watching programs - so you don\'t have to\tvisible=1' "$log_dir/driver.txt"; }
message_shown() { driver message Vigilon; }

wine 'C:\vigilon-readonly-test\vigilon.exe' >"$log_dir/vigilon.log" 2>&1 </dev/null &
vigilon=$!
wait_for 30 editor_shown || fail "the editor did not open on the first start"
driver click 1012 || fail "no Save button"
wait_for 30 message_shown || fail "a failed save was not reported"
expected='The settings could not be saved to C:\vigilon-readonly-test\vigilon.ini.'
tr -d '\r' <"$log_dir/driver.txt" | grep -qF "$expected" || fail "unexpected message: $(cat "$log_dir/driver.txt")"
driver ok Vigilon
driver command 200
wait_for 30 eval '! kill -0 $vigilon 2>/dev/null' || fail "Vigilon did not end on Exit"
[ ! -e "$folder/vigilon.ini" ] || fail "a settings file appeared in the read-only folder"
echo "unwritable folder: the failed save was reported with the file's name"
