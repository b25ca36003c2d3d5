#!/usr/bin/env bash
# Measures vigilon.exe under Wine, side by side with an idle Win32 window program (the stand-in
# watched program) as the baseline, all in one run, and prints the README's tables:
#   - processor time per minute while watching 1, 10 and 50 running programs on a desktop with
#     about 300 other windows, for vigilon.exe and for the Wine server that answers its requests;
#   - processor time while waiting for the window of a program that never opens one;
#   - the time from a watched program's exit to its new start;
#   - peak working set; the size of the exe.
# Usage: [VIGILON_EXE=other/vigilon.exe] bench/figures.sh [seconds per case, default 60]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/common.sh"
seconds=${1:-60}
build="$VIGILON_ROOT/build/mingw"
exe=${VIGILON_EXE:-$build/vigilon.exe}  # another build of vigilon.exe to compare
driver="$build/tests/e2e/driver.exe"
ticks=$(getconf CLK_TCK)
root="$WINEPREFIX/drive_c/vigilon-bench"

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" >/dev/null
cleanup() {
  stop_prefix
  stop_xvfb
  rm -rf "$root"
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb
ensure_prefix
rm -rf "$root" && mkdir -p "$root"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
peak_kib() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }
wine_server() { pgrep -n -x wineserver64 || pgrep -n -x wineserver; }
win_path() { echo "C:\\vigilon-bench\\$1"; }

# A stand-in copy at <root>/<name>.exe captioned <caption>, recording to <name>.txt.
stand_in() {
  local name=$1 caption=$2 options=${3:-}
  cp "$build/tests/e2e/watched_program.exe" "$root/$name.exe"
  printf '%s\r\n%s\r\n%s\r\n' "$caption" "$(win_path "$name.txt")" "$options" >"$root/$name.exe.cfg"
}

# A program folder <root>/<case> with vigilon.exe watching <count> stand-ins "<case> P<nn>".
program_folder() {
  local case=$1 count=$2 options=${3:-} i ini="$root/$1/vigilon.ini"
  mkdir -p "$root/$case"
  cp "$exe" "$root/$case/"
  printf '[Apps]\r\nNumber=%d\r\n' "$count" >"$ini"
  for i in $(seq -w 1 "$count"); do printf 'App%d=P%s\r\n' "$((10#$i))" "$i" >>"$ini"; done
  for i in $(seq -w 1 "$count"); do
    stand_in "$case-p$i" "$case P$i" "$options"
    printf '[P%s]\r\nCaption=%s P%s\r\nEXE=%s\r\n' "$i" "$case" "$i" "$(win_path "$case-p$i.exe")" >>"$ini"
  done
}

hidden_count() {
  wine "$driver" list >"$root/windows.txt" 2>/dev/null </dev/null || true
  grep -c $'\t'"$1"' P[0-9]*'$'\tvisible=0' "$root/windows.txt" || true
}
all_hidden() { [ "$(hidden_count "$1")" -ge "$2" ]; }
started() { grep -q '^start|' "$root/$1.txt" 2>/dev/null; }

# CPU seconds used by each pid over `seconds`, printed in order.
measure() {
  local before=() after=() pid i
  for pid in "$@"; do before+=("$(cpu_ticks "$pid")"); done
  sleep "$seconds"
  for pid in "$@"; do after+=("$(cpu_ticks "$pid")"); done
  for i in "${!before[@]}"; do
    awk -v d=$((after[i] - before[i])) -v t="$ticks" 'BEGIN { printf "%.2f ", d / t }'
  done
  echo
}
# Milliseconds from the last "gone" line of a program in a history to the "launch" line after it.
gone_to_launch() {
  tr -d '\r' <"$1" | awk -F'\t' -v p="$2" '
    function ms(t) { split(substr(t, 12), a, /[:.]/); return ((a[1] * 60 + a[2]) * 60 + a[3]) * 1000 + a[4] }
    $3 == p && $2 == "gone" { gone = ms($1) }
    $3 == p && $2 == "launch" && gone != "" { last = ms($1) - gone; gone = "" }
    END { print last }'
}
per_minute() { awk -v v="$1" -v s="$seconds" 'BEGIN { printf "%.2f s (%.2f %%)", v * 60 / s, 100 * v / s }'; }

# The baseline, and a crowd of 300 other top-level windows.
stand_in baseline "Baseline window"
wine "$(win_path baseline.exe)" >/dev/null 2>&1 </dev/null &
baseline=$!
stand_in crowd "Crowd host" "extra-windows=300"
wine "$(win_path crowd.exe)" >/dev/null 2>&1 </dev/null &
wait_for 60 started baseline
wait_for 60 started crowd
sleep 2

echo "| watched programs (with ~300 other windows) | vigilon.exe CPU per minute | Wine server CPU per minute | idle window program CPU per minute |"
echo "|---|---|---|---|"
for count in 1 10 50; do
  case=w$count
  program_folder "$case" "$count"
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 300 all_hidden "$case" "$count"
  read -r v s b < <(measure "$vigilon" "$(wine_server)" "$baseline")
  echo "| $count | $(per_minute "$v") | $(per_minute "$s") | $(per_minute "$b") |"
  if [ "$count" = 50 ]; then
    vigilon_peak=$(peak_kib "$vigilon")
    # Exit to new start, 20 times: the stand-in stamps both events, and Vigilon's history stamps
    # when it saw the program gone and when it asked for the new start.
    latencies=()
    requests=()
    for round in $(seq 1 20); do
      record="$root/$case-p01.txt"
      starts=$(grep -c '^start|' "$record")
      wine "$driver" close "$case P01" >/dev/null 2>&1 </dev/null
      wait_for 30 eval '[ "$(grep -c "^start|" "$record")" -gt "$starts" ]'
      closed=$(grep '^close|' "$record" | tail -n 1 | cut -d'|' -f2 | tr -d '\r')
      again=$(grep '^start|' "$record" | tail -n 1 | awk -F'|' '{ print $NF }' | tr -d '\r')
      latencies+=($((again - closed)))
      requests+=("$(gone_to_launch "$root/$case/vigilon.log" P01)")
      wait_for 30 all_hidden "$case" "$count"
    done
  fi
  kill "$vigilon" 2>/dev/null || true
  wait "$vigilon" 2>/dev/null || true
done

program_folder wait 1 "exit-at-once"
wine "$(win_path 'wait\vigilon.exe')" >/dev/null 2>&1 </dev/null &
vigilon=$!
wait_for 60 started wait-p1
read -r v s b < <(measure "$vigilon" "$(wine_server)" "$baseline")
echo
echo "| waiting for a window that never appears | vigilon.exe | Wine server | idle window program |"
echo "|---|---|---|---|"
echo "| CPU per minute | $(per_minute "$v") | $(per_minute "$s") | $(per_minute "$b") |"
kill "$vigilon" 2>/dev/null || true

sorted=$(printf '%s\n' "${latencies[@]}" | sort -n | tr '\n' ' ')
requested=$(printf '%s\n' "${requests[@]}" | sort -n | tr '\n' ' ')
requested_max=$(printf '%s\n' "${requests[@]}" | sort -n | tail -n 1)
baseline_peak=$(peak_kib "$baseline")
echo
echo "| figure | vigilon.exe | baseline (idle window program) | ratio |"
echo "|---|---|---|---|"
echo "| exit to new start, 20 rounds (ms) | $sorted| | |"
echo "| gone to relaunch request in the history, 20 rounds (ms; most $requested_max) | $requested| | |"
awk -v v="$vigilon_peak" -v b="$baseline_peak" 'BEGIN { printf "| peak working set under Wine (KiB) | %d | %d | %.2f |\n", v, b, v / b }'
echo "| exe size (bytes) | $(stat -c %s "$exe") | | |"
kill "$baseline" 2>/dev/null || true
