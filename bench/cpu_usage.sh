#!/usr/bin/env bash
# Measures the processor time vigilon.exe uses under Wine, side by side with an idle Win32 window
# program (our watched-program stand-in) as the baseline, over the same 20 seconds:
#   watching   Vigilon watching 10 running programs
#   waiting    Vigilon waiting for the window of a program that never opens one
# Usage: bench/cpu_usage.sh [seconds]   (builds first with ./scripts/test or cmake --preset mingw)
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/common.sh"
seconds=${1:-20}
build="$VIGILON_ROOT/build/mingw"
driver="$build/tests/e2e/driver.exe"
ticks=$(getconf CLK_TCK)

cleanup() {
  stop_prefix
  stop_xvfb
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb
ensure_prefix

# CPU time of a process in clock ticks, user plus system.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || { echo "timed out: $*" >&2; return 1; }
    sleep 0.5
  done
}

# A program folder with vigilon.exe and `count` stand-ins captioned "<label> P<nn>"; `options` go to
# every stand-in.
make_folder() {
  local folder=$1 count=$2 options=$3 label=$4 i
  rm -rf "$folder" && mkdir -p "$folder"
  cp "$build/vigilon.exe" "$folder/"
  local win="C:\\$(basename "$folder")"
  printf '[Apps]\r\nNumber=%d\r\n' "$count" >"$folder/vigilon.ini"
  for i in $(seq 1 "$count"); do
    cp "$build/tests/e2e/watched_program.exe" "$folder/p$i.exe"
    printf '%s P%02d\r\n%s\\p%d.txt\r\n%s\r\n' "$label" "$i" "$win" "$i" "$options" >"$folder/p$i.exe.cfg"
    printf 'App%d=P%d\r\n' "$i" "$i" >>"$folder/vigilon.ini"
  done
  for i in $(seq 1 "$count"); do
    printf '[P%d]\r\nCaption=%s P%02d\r\nEXE=%s\\p%d.exe\r\n' "$i" "$label" "$i" "$win" "$i" >>"$folder/vigilon.ini"
  done
}

hidden_count() {
  wine "$driver" list >"$1/windows.txt" 2>/dev/null </dev/null
  grep -c $'\tWatched P[0-9]*\tvisible=0' "$1/windows.txt" || true
}
all_hidden() { [ "$(hidden_count "$1")" -ge "$2" ]; }
started() { [ -s "$1/p1.txt" ]; }

# Runs `wine exe` in the background and measures the process it became, and the baseline, for
# the same span. Prints "<vigilon seconds> <baseline seconds>".
measure() {
  local vigilon=$1 baseline=$2 v0 b0 v1 b1
  v0=$(cpu_ticks "$vigilon"); b0=$(cpu_ticks "$baseline")
  sleep "$seconds"
  v1=$(cpu_ticks "$vigilon"); b1=$(cpu_ticks "$baseline")
  awk -v v=$((v1 - v0)) -v b=$((b1 - b0)) -v t="$ticks" 'BEGIN { printf "%.2f %.2f\n", v / t, b / t }'
}

# The baseline: one idle Win32 window program.
base="$WINEPREFIX/drive_c/bench-baseline"
make_folder "$base" 1 "" Baseline
wine 'C:\bench-baseline\p1.exe' >/dev/null 2>&1 </dev/null &
baseline=$!
wait_for 30 started "$base"

report() {
  local name=$1 v=$2 b=$3
  awk -v n="$name" -v v="$v" -v b="$b" -v s="$seconds" 'BEGIN {
    printf "| %-40s | %6.2f s | %5.2f %% | %6.2f s | %5.2f %% |\n", n, v, 100 * v / s, b, 100 * b / s }'
}

echo "| case ($seconds s) | vigilon.exe CPU | of one core | idle window program CPU | of one core |"
echo "|---|---|---|---|---|"

watching="$WINEPREFIX/drive_c/bench-watching"
make_folder "$watching" 10 "" Watched
wine 'C:\bench-watching\vigilon.exe' >/dev/null 2>&1 </dev/null &
vigilon=$!
wait_for 120 all_hidden "$watching" 10
read -r v b < <(measure "$vigilon" "$baseline")
report "watching 10 running programs" "$v" "$b"
kill "$vigilon" 2>/dev/null || true
wait "$vigilon" 2>/dev/null || true

waiting="$WINEPREFIX/drive_c/bench-waiting"
make_folder "$waiting" 1 "exit-at-once" Waiting
wine 'C:\bench-waiting\vigilon.exe' >/dev/null 2>&1 </dev/null &
vigilon=$!
wait_for 30 started "$waiting"
read -r v b < <(measure "$vigilon" "$baseline")
report "waiting for a window that never appears" "$v" "$b"
# The stand-ins Vigilon started end with the prefix's processes (cleanup).
kill "$vigilon" "$baseline" 2>/dev/null || true
wait 2>/dev/null || true
rm -rf "$base" "$watching" "$waiting"
