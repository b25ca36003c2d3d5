#!/usr/bin/env bash
# Measures vigilon.exe under Wine, side by side with an idle Win32 window program (the stand-in
# watched program) as the baseline and, when COMPARE_EXE names one, another build of vigilon.exe,
# all in one run, and prints the tables of docs/development.md as they stand there:
#   - processor time per minute while watching 1, 10 and 50 running programs on a desktop with
#     300 other windows, for each build and for the Wine server that answers its requests;
#   - processor time while waiting for the window of a program that never opens one;
#   - processor time with 50 programs: plain, with a memory limit on each, with the status window
#     open; with the metrics file on and off; the time /status takes to answer;
#   - processor time with 50 programs all Show=Maximized and OnTop=1, beside all Hidden;
#   - processor time with 50 programs all Window=None, found by their processes, beside 50 found
#     by their windows' captions;
#   - the time from a watched program's exit to its new start, and from the history's "gone" to
#     its "launch"; peak working set; the size of the exe;
#   - the time from Exit to the end of the process;
#   - starts per minute of a program that ends a second after each start, with and without
#     Backoff=1, and the time from a hang to the new start with HangSeconds=5.
# Usage: [VIGILON_EXE=this/vigilon.exe] [COMPARE_EXE=other/vigilon.exe] [FIGURES_ONLY="sections"]
#        bench/figures.sh [seconds per case]
# The seconds default to 60. The wait for a window lasts 61 s, so that case measures at most 55.
# HEALTH_KINDS narrows the health section to some of: off http tcp file run window.
# FIGURES_ONLY names the sections to measure, of: counts extras metrics placement heartbeat matching health waiting
# restraint exit windowless hours (all by default). With COMPARE_EXE, the comparison build is measured beside this
# one in the counts, in the status window's and the placement's cases, and waiting for a window.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib/common.sh"
seconds=${1:-60}
build="$VIGILON_ROOT/build/mingw"
exe=${VIGILON_EXE:-$build/vigilon.exe}
compare=${COMPARE_EXE:-}
driver="$build/tests/e2e/driver.exe"
ticks=$(getconf CLK_TCK)
root="$WINEPREFIX/drive_c/vigilon-bench"
crowd_size=300

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" >/dev/null
cleanup() {
  # The test server too: it would hold the lock of the machine's heavy jobs it inherited.
  [ -z "${ping_server:-}" ] || kill "$ping_server" 2>/dev/null || true
  stop_prefix
  stop_xvfb
  rm -rf "$root"
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb
ensure_prefix
# Unmanaged windows, as in the tests: with no window manager on the Xvfb, Wine's managed windows
# take about 2 s each to go, which would be measured as the stand-ins' and Vigilon's own ends.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
rm -rf "$root" && mkdir -p "$root"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
peak_kib() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }
win_path() { echo "C:\\vigilon-bench\\$1"; }

# The Wine server of this prefix: it works in a folder named after the prefix's device and inode.
wine_server() {
  local dir pid
  dir="server-$(stat -c '%D' "$WINEPREFIX")-$(printf '%x' "$(stat -c '%i' "$WINEPREFIX")")"
  for pid in $(pgrep -x 'wineserver64|wineserver'); do
    [ "$(basename "$(readlink "/proc/$pid/cwd")")" = "$dir" ] && { echo "$pid"; return 0; }
  done
  log "no Wine server works in a folder $dir"
  return 1
}

# A stand-in copy at <root>/<name>.exe captioned <caption>, recording to <name>.txt.
stand_in() {
  local name=$1 caption=$2 options=${3:-}
  cp "$build/tests/e2e/watched_program.exe" "$root/$name.exe"
  printf '%s\r\n%s\r\n%s\r\n' "$caption" "$(win_path "$name.txt")" "$options" >"$root/$name.exe.cfg"
}

# A program folder <root>/<case> with a copy of <exe> watching <count> stand-ins "<case> P<nn>",
# each section with the key lines <extra> when given, {exe} in them standing for the stand-in's
# file name.
program_folder() {
  local case=$1 count=$2 from=$3 options=${4:-} extra=${5:-} i ini="$root/$1/vigilon.ini"
  mkdir -p "$root/$case"
  cp "$from" "$root/$case/vigilon.exe"
  printf '[Apps]\r\nNumber=%d\r\n' "$count" >"$ini"
  for i in $(seq -w 1 "$count"); do printf 'App%d=P%s\r\n' "$((10#$i))" "$i" >>"$ini"; done
  for i in $(seq -w 1 "$count"); do
    stand_in "$case-p$i" "$case P$i" "$options"
    printf '[P%s]\r\nCaption=%s P%s\r\nEXE=%s\r\n' "$i" "$case" "$i" "$(win_path "$case-p$i.exe")" >>"$ini"
    [ -z "$extra" ] || printf '%s\r\n' "${extra//\{exe\}/$case-p$i.exe}" >>"$ini"
  done
}

list_windows() { wine "$driver" list >"$root/windows.txt" 2>/dev/null </dev/null || true; }
hidden_count() { list_windows; grep -c $'\t'"$1"' P[0-9]*'$'\tvisible=0' "$root/windows.txt" || true; }
all_hidden() { [ "$(hidden_count "$1")" -ge "$2" ]; }
crowd_ready() { list_windows; [ "$(grep -c $'\tCrowd [0-9]*\t' "$root/windows.txt" || true)" -ge "$crowd_size" ]; }
started() { grep -q '^start|' "$root/$1.txt" 2>/dev/null; }
status_window_open() { list_windows; grep -q $'\tVigilon Status\t' "$root/windows.txt"; }

# CPU seconds used by each pid over <span> seconds, printed in order.
measure() {
  local span=$1 before=() after=() pid i
  shift
  for pid in "$@"; do before+=("$(cpu_ticks "$pid")"); done
  sleep "$span"
  for pid in "$@"; do after+=("$(cpu_ticks "$pid")"); done
  for i in "${!before[@]}"; do
    awk -v d=$((after[i] - before[i])) -v t="$ticks" 'BEGIN { printf "%.2f ", d / t }'
  done
  echo
}
# CPU seconds over <span> as a per-minute figure, with the share of one core when asked.
per_minute() { awk -v v="$1" -v s="$2" -v share="${3:-}" 'BEGIN {
  printf "%.2f s", v * 60 / s; if (share != "") printf " (%.2f %%)", 100 * v / s }'; }

# Milliseconds from the last "gone" line of a program in a history to the "launch" line after it.
gone_to_launch() {
  tr -d '\r' <"$1" | awk -F'\t' -v p="$2" '
    function ms(t) { split(substr(t, 12), a, /[:.]/); return ((a[1] * 60 + a[2]) * 60 + a[3]) * 1000 + a[4] }
    $3 == p && $2 == "gone" { gone = ms($1) }
    $3 == p && $2 == "launch" && gone != "" { last = ms($1) - gone; gone = "" }
    END { print last }'
}

# Starts <exe> watching <count> stand-ins as case <case> (each section with the key line <extra>),
# waits until all are hidden, and leaves its pid in $vigilon.
start_watching() {
  local case=$1 count=$2 from=$3 extra=${4:-}
  program_folder "$case" "$count" "$from" "" "$extra"
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 300 all_hidden "$case" "$count" || {
    log "case $case: $(hidden_count "$case") of $count windows hidden after 300 s; its history ends:"
    tail -n 20 "$root/$case/vigilon.log" >&2 || true
    exit 1
  }
}
# Ends Vigilon, then closes the case's stand-ins: left running, the cases' processes add up until
# the X server takes no more clients (256), and then no new window opens.
stop_watching() {
  local case=${1:-}
  kill "$vigilon" 2>/dev/null || true
  wait "$vigilon" 2>/dev/null || true
  [ -z "$case" ] || wine "$driver" close-all "$case P" >/dev/null 2>&1 </dev/null || true
}

# Exit to new start, 20 times, with 50 programs watched: the stand-in stamps the close request,
# its window's end (WM_DESTROY) and its new start; Vigilon's history stamps when it saw the
# program gone and when it asked for the new start. The close request to the window's end is the
# stand-in's own teardown under Wine, before Vigilon can see anything.
relaunch_rounds() {
  local case=$1 count=$2 record starts closed destroyed again round
  latencies=()
  teardowns=()
  afterwards=()
  requests=()
  for round in $(seq 1 20); do
    record="$root/$case-p01.txt"
    starts=$(grep -c '^start|' "$record")
    wine "$driver" close "$case P01" >/dev/null 2>&1 </dev/null
    wait_for 30 eval '[ "$(grep -c "^start|" "$record")" -gt "$starts" ]'
    closed=$(grep '^close|' "$record" | tail -n 1 | cut -d'|' -f2 | tr -d '\r')
    destroyed=$(grep '^destroyed|' "$record" | tail -n 1 | cut -d'|' -f2 | tr -d '\r')
    again=$(grep '^start|' "$record" | tail -n 1 | awk -F'|' '{ print $NF }' | tr -d '\r')
    latencies+=($((again - closed)))
    teardowns+=($((destroyed - closed)))
    afterwards+=($((again - destroyed)))
    requests+=("$(gone_to_launch "$root/$case/vigilon.log" P01)")
    wait_for 30 all_hidden "$case" "$count"
  done
}

# The baseline, and a crowd of 300 other top-level windows, all there before anything is measured.
stand_in baseline "Baseline window"
wine "$(win_path baseline.exe)" >/dev/null 2>&1 </dev/null &
baseline=$!
stand_in crowd "Crowd host" "extra-windows=$crowd_size"
wine "$(win_path crowd.exe)" >/dev/null 2>&1 </dev/null &
wait_for 60 started baseline
wait_for 60 started crowd
wait_for 60 crowd_ready || { log "the $crowd_size crowd windows did not all appear"; exit 1; }
server=$(wine_server)

no_compare() { [ -z "$compare" ]; }
only=" ${FIGURES_ONLY:-counts extras metrics placement matching heartbeat health waiting restraint exit windowless hours} "
wanted() { [[ "$only" == *" $1 "* ]]; }
# The build a case runs: this one, or the comparison build while case_exe names it.
case_exe=
case_build() { echo "${case_exe:-$exe}"; }
if wanted counts; then
echo "| watched programs | vigilon.exe | Wine server | comparison build | its Wine server | idle window program |"
echo "|---|---|---|---|---|---|"
for count in 1 10 50; do
  start_watching "w$count" "$count" "$exe"
  read -r v s b < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  if [ "$count" = 50 ]; then
    vigilon_peak=$(peak_kib "$vigilon")
    relaunch_rounds "w$count" "$count"
  fi
  stop_watching "w$count"
  cv="-" cs="-"
  if ! no_compare; then
    start_watching "c$count" "$count" "$compare"
    read -r c1 c2 _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
    stop_watching "c$count"
    cv=$(per_minute "$c1" "$seconds" share) cs=$(per_minute "$c2" "$seconds")
  fi
  echo "| $count | $(per_minute "$v" "$seconds" share) | $(per_minute "$s" "$seconds") | $cv | $cs | $(per_minute "$b" "$seconds") |"
done
fi

# 50 programs again: with none of the extras, with a memory limit on each (never reached, so its
# memory is read every 5 s), and with the status window open, side by side. With the window open,
# /status is asked 20 times; the longest answer is kept, as Vigilon gives it, and as a whole
# command under Wine, with the start of a new process.
# 50 programs with the metrics file written (MetricsFile= in [Apps]) and without, side by side;
# with it, the file's age is checked to be under the 30 s at which it is written at the latest.
metrics_case() {
  local case=$1 metrics=$2 ini="$root/$1/vigilon.ini"
  program_folder "$case" 50 "$(case_build)"
  if [ -n "$metrics" ]; then
    METRICS_LINE="MetricsFile=$(win_path "$case\\vigilon.prom")" \
      awk '{ print } /^Number=/ { printf "%s\r\n", ENVIRON["METRICS_LINE"] }' "$ini" >"$ini.new"
    mv "$ini.new" "$ini"
  fi
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 300 all_hidden "$case" 50 || { log "case $case: not every window hidden after 300 s"; exit 1; }
  read -r mv ms _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  if [ -n "$metrics" ]; then
    [ -f "$root/$case/vigilon.prom" ] || { log "case $case: no metrics file"; exit 1; }
    metrics_age=$(($(date +%s) - $(stat -c %Y "$root/$case/vigilon.prom")))
  fi
  stop_watching "$case"
  echo "| $3 | $(per_minute "$mv" "$seconds" share) | $(per_minute "$ms" "$seconds") |"
}
metrics_figures() {
  echo
  echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
  echo "|---|---|---|"
  metrics_case metrics-off "" "metrics off"
  metrics_case metrics-on on "\`MetricsFile=\` set"
  echo "| age of the metrics file at the end (s) | $metrics_age | |"
}

extras_case() {
  local case=$1 extra=$2 window=${4:-}
  start_watching "$case" 50 "$(case_build)" "$extra"
  if [ -n "$window" ]; then
    wine "$driver" command 104 >/dev/null 2>&1 </dev/null
    wait_for 30 status_window_open
  fi
  read -r ev es _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  if [ -n "$window" ]; then
    status_answer=$(wine "$driver" status-time 20 2>/dev/null </dev/null | tr -d '\r')
    local before elapsed
    status_command=0
    for round in 1 2 3 4 5; do
      before=$(date +%s%3N)
      wine "$(win_path "$case\\vigilon.exe")" /status >"$root/status.txt" 2>/dev/null </dev/null || true
      elapsed=$(($(date +%s%3N) - before))
      [ "$elapsed" -le "$status_command" ] || status_command=$elapsed
    done
  fi
  stop_watching "$case"
  echo "| $3 | $(per_minute "$ev" "$seconds" share) | $(per_minute "$es" "$seconds") |"
}
if wanted extras; then
echo
echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
echo "|---|---|---|"
extras_case plain "" "no restart rules, status window closed"
extras_case memory "MaxMemoryMB=1048576" "\`MaxMemoryMB\` on every program"
extras_case status "" "status window open" window
if ! no_compare; then
  case_exe=$compare
  extras_case cplain "" "no restart rules, status window closed (comparison build)"
  extras_case cstatus "" "status window open (comparison build)" window
  case_exe=
fi
fi
# 50 programs found by their caption alone, and by their caption with Class= and Process= (each
# its own stand-in's file name) on every program, side by side: the class and the image are read
# once per window and process, so the passes should cost what they did.
if wanted matching; then
echo
echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
echo "|---|---|---|"
extras_case match-caption "" "found by \`Caption\` alone"
extras_case match-keys $'Class=VigilonWatchedProgram\r\nProcess={exe}' "\`Caption\`, \`Class\` and \`Process\` on every program"
fi
if wanted metrics; then metrics_figures; fi
if wanted extras; then
echo
echo "| \`/status\` with 50 programs | longest of its rounds (ms) |"
echo "|---|---|"
echo "| Vigilon's answer, 20 rounds | $status_answer |"
echo "| the whole command, a new process under Wine, 5 rounds | $status_command |"
fi

# 50 programs kept on screen, Show=Maximized and OnTop=1 on each, beside the same 50 Hidden (the
# default), side by side: what reading each window's placement at every pass costs once nothing
# has drifted. Windows kept on screen are never hidden: the case is ready once all are found.
found_count() { tr -d '\r' 2>/dev/null <"$root/$1/vigilon.log" | awk -F'\t' '$2 == "found"' | wc -l; }
all_found() { [ "$(found_count "$1")" -ge "$2" ]; }
placement_case() {
  local case=$1 extra=$2
  if [ -z "$extra" ]; then
    start_watching "$case" 50 "$(case_build)"
  else
    program_folder "$case" 50 "$(case_build)" "" "$extra"
    wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
    vigilon=$!
    wait_for 300 all_found "$case" 50 || { log "case $case: $(found_count "$case") of 50 windows found after 300 s"; exit 1; }
    sleep 5  # the last found are put in place by the passes after
  fi
  read -r pv ps _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  stop_watching "$case"
  echo "| $3 | $(per_minute "$pv" "$seconds" share) | $(per_minute "$ps" "$seconds") |"
}
placement_figures() {
  echo
  echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
  echo "|---|---|---|"
  placement_case hidden "" "all \`Show=Hidden\`, the default"
  placement_case shown $'Show=Maximized\r\nOnTop=1' "all \`Show=Maximized\` and \`OnTop=1\`"
  no_compare && return
  case_exe=$compare
  placement_case chidden "" "all \`Show=Hidden\`, the default (comparison build)"
  placement_case cshown $'Show=Maximized\r\nOnTop=1' "all \`Show=Maximized\` and \`OnTop=1\` (comparison build)"
  case_exe=
}
if wanted placement; then placement_figures; fi

# 50 programs without a window (Window=None), found by their processes, beside the same 50 found
# by their windows' captions, side by side. The windowless stand-ins open no window, so nothing can
# close them: each ends by itself a while after its case is over.
windowless_case() {
  local case=$1
  program_folder "$case" 50 "$(case_build)" "no-window exit-after-ms=$(((seconds + 330) * 1000))" "Window=None"
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 300 all_found "$case" 50 || { log "case $case: $(found_count "$case") of 50 processes found after 300 s"; exit 1; }
  read -r nv ns _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  stop_watching
  echo "| $2 | $(per_minute "$nv" "$seconds" share) | $(per_minute "$ns" "$seconds") |"
}
windowless_figures() {
  echo
  echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
  echo "|---|---|---|"
  extras_case wcaption "" "found by their windows' captions (\`Show=Hidden\`, the default)"
  windowless_case windowless "all \`Window=None\`, found by their processes"
}
if wanted windowless; then windowless_figures; fi

# 50 programs with opening hours round the clock on each (Hours=00:00-24:00), beside the same 50
# without, side by side: each program's hours are looked at on the local clock at every pass.
if wanted hours; then
echo
echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
echo "|---|---|---|"
extras_case hours-none "" "no \`Hours=\`"
extras_case hours-all "Hours=00:00-24:00" "\`Hours=00:00-24:00\` on every program"
fi
# 50 programs with a heartbeat every 10 s, the shortest period, to a server on 127.0.0.1 that
# answers 200, beside the same 50 without one. Keys for [Apps] go in after its Number line. A
# function of its own, so that another case (the metrics file) can stand beside it.
heartbeat_server() {
  python3 -c '
import http.server, sys
class Ok(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200); self.send_header("Content-Length", "2"); self.end_headers(); self.wfile.write(b"OK")
    def log_message(self, *args): pass
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), Ok).serve_forever()' "$1" >/dev/null 2>&1 </dev/null &
  ping_server=$!
}
apps_case() {
  local case=$1 apps=$2 label=$3
  program_folder "$case" 50 "$exe"
  if [ -n "$apps" ]; then
    awk -v add="$apps" '{ print } /^Number=/ { n = split(add, keys, ";"); for (i = 1; i <= n; i++) print keys[i] "\r" }' \
      "$root/$case/vigilon.ini" >"$root/$case/vigilon.ini.new" && mv "$root/$case/vigilon.ini.new" "$root/$case/vigilon.ini"
  fi
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 300 all_hidden "$case" 50 || { log "case $case: not every window hidden after 300 s"; exit 1; }
  read -r av as _ < <(measure "$seconds" "$vigilon" "$server" "$baseline")
  stop_watching "$case"
  echo "| $label | $(per_minute "$av" "$seconds" share) | $(per_minute "$as" "$seconds") |"
}
heartbeat_figures() {
  local port=$((20000 + $$ % 10000))
  heartbeat_server "$port"
  echo
  echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
  echo "|---|---|---|"
  apps_case hb_off "" "no heartbeat"
  apps_case hb_on "HeartbeatUrl=http://127.0.0.1:$port/ping?status={status}&msg={msg};HeartbeatSeconds=10" \
    "\`HeartbeatSeconds=10\` to a server on 127.0.0.1"
  kill "$ping_server" 2>/dev/null || true
  wait "$ping_server" 2>/dev/null || true
  ping_server=
}
if wanted heartbeat; then heartbeat_figures; fi

# 50 programs each with a health check every 30 s, beside the same 50 without, side by side: an
# http check of a server on 127.0.0.1 that answers 200, a connection to it, a file that is there,
# a command that ends with 0 (its own processes are not counted, only Vigilon's and the Wine
# server's time), and a window: check, judged from the captions the passes read. CheckAction=Report, so that no check restarts anything, whatever it
# finds; CheckGrace=0, so that the checks run from the start of the measurement.
health_figures() {
  local port=$((21000 + $$ % 10000)) keys=$'CheckSeconds=30\r\nCheckGrace=0\r\nCheckAction=Report'
  heartbeat_server "$port"
  echo
  echo "| 50 programs watched among 300 windows | vigilon.exe | Wine server |"
  echo "|---|---|---|"
  local kinds=" ${HEALTH_KINDS:-off http tcp file run window} "
  health_case() { [[ "$kinds" == *" ${1#hc_} "* ]] && extras_case "$@"; return 0; }
  health_case hc_off "" "no health checks"
  health_case hc_http "Check=http://127.0.0.1:$port/health"$'\r\n'"$keys" "\`Check=http://...\` every 30 s on every program"
  health_case hc_tcp "Check=tcp:127.0.0.1:$port"$'\r\n'"$keys" "\`Check=tcp:...\` every 30 s on every program"
  health_case hc_file "Check=file:C:\\windows\\win.ini"$'\r\n'"$keys" "\`Check=file:...\` every 30 s on every program"
  health_case hc_run "Check=run:C:\\windows\\system32\\cmd.exe /c exit 0"$'\r\n'"$keys" "\`Check=run:...\` every 30 s on every program"
  health_case hc_window "Check=window:Connection lost"$'\r\n'"$keys" "\`Check=window:...\` every 30 s on every program"
  kill "$ping_server" 2>/dev/null || true
  wait "$ping_server" 2>/dev/null || true
  ping_server=
}
if wanted health; then health_figures; fi

# Waiting for a window that never comes: measured while the 61-second wait runs, from its start.
wait_span=$((seconds < 55 ? seconds : 55))
waiting() {
  local case=$1 from=$2
  program_folder "$case" 1 "$from" "exit-at-once"
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 60 started "$case-p1"
  read -r wv ws wb < <(measure "$wait_span" "$vigilon" "$server" "$baseline")
  stop_watching "$case"
}
if wanted waiting; then
waiting wait "$exe"
cwv="-" cws="-"
if ! no_compare; then
  v=$wv s=$ws b=$wb
  waiting cwait "$compare"
  cwv=$(per_minute "$wv" "$wait_span" share) cws=$(per_minute "$ws" "$wait_span")
  wv=$v ws=$s wb=$b
fi
echo
echo "| | vigilon.exe | Wine server | comparison build | its Wine server | idle window program |"
echo "|---|---|---|---|---|---|"
echo "| per minute | $(per_minute "$wv" "$wait_span" share) | $(per_minute "$ws" "$wait_span") | $cwv | $cws | $(per_minute "$wb" "$wait_span") |"
fi

# Restraint: one program alone, with a key added to [Apps].
restraint_case() {
  local case=$1 options=$2 key=$3
  program_folder "$case" 1 "$exe" "$options"
  sed -i "s/^\[Apps\]\r\$/[Apps]\r\n$key\r/" "$root/$case/vigilon.ini"
  wine "$(win_path "$case\\vigilon.exe")" >/dev/null 2>&1 </dev/null &
  vigilon=$!
  wait_for 60 started "$case-p1"
}
start_count() { grep -c '^start|' "$root/$1-p1.txt" || true; }
crash_starts() {
  local case=$1 key=$2 first
  restraint_case "$case" "exit-after-ms=1000" "$key"
  first=$(start_count "$case")
  sleep 60
  echo $(($(start_count "$case") - first))
  stop_watching "$case"
}
if wanted restraint; then
plain_starts=$(crash_starts crashplain Backoff=0)
backoff_starts=$(crash_starts crashbackoff Backoff=1)
restraint_case hang "hang-after-ms=2000" HangSeconds=5
wait_for 60 eval '[ "$(start_count hang)" -ge 2 ]' || true
hung_at=$(grep '^hung|' "$root/hang-p1.txt" | head -n 1 | cut -d'|' -f2 | tr -d '\r')
restart_at=$(grep '^start|' "$root/hang-p1.txt" | sed -n 2p | awk -F'|' '{ print $NF }' | tr -d '\r')
stop_watching hang
fi

# Exit, 5 times: from the command to the end of the process, watching one program; and of that,
# from the command (the driver's own start under Wine included) to the history's `exit` line, and
# from that line, which Vigilon writes once the programs are shown again, to the end.
exit_line_ms() {
  local when
  when=$(tr -d '\r' <"$root/$1/vigilon.log" | awk -F'\t' '$2 == "exit" { print $1 }' | tail -n 1)
  [ -n "$when" ] && date -d "$when" +%s%3N
}
if wanted exit; then
exits=() to_exit_line=() from_exit_line=()
for round in 1 2 3 4 5; do
  restraint_case "exit$round" "" Backoff=0
  wait_for 60 all_hidden "exit$round" 1
  before=$(date +%s%3N)
  wine "$driver" command 200 >/dev/null 2>&1 </dev/null
  wait "$vigilon" 2>/dev/null || true
  after=$(date +%s%3N)
  exits+=($((after - before)))
  line=$(exit_line_ms "exit$round")
  to_exit_line+=($((line - before)))
  from_exit_line+=($((after - line)))
  wine "$driver" close-all "exit$round P" >/dev/null 2>&1 </dev/null || true
done
fi

# The figures in ascending order, then their maximum.
ascending() { printf '%s\n' "$@" | sort -n | tr '\n' ' ' | sed 's/ $//; s/ /, /g'; }
maximum() { printf '%s\n' "$@" | sort -n | tail -n 1; }
baseline_peak=$(peak_kib "$baseline")
echo
echo "| figure | vigilon.exe | baseline | ratio |"
echo "|---|---|---|---|"
if wanted counts; then
echo "| from a watched program's close request to its new start, 20 rounds, 50 programs watched (ms) | $(ascending "${latencies[@]}"); max $(maximum "${latencies[@]}") | | |"
echo "| of which its window's own teardown under Wine, from the close request to WM_DESTROY (ms) | $(ascending "${teardowns[@]}"); max $(maximum "${teardowns[@]}") | | |"
echo "| from its window's end to its new start (ms) | $(ascending "${afterwards[@]}"); max $(maximum "${afterwards[@]}") | | |"
echo "| from the history's \`gone\` to its \`launch\`, the same 20 rounds (ms) | $(ascending "${requests[@]}"); max $(maximum "${requests[@]}") | | |"
awk -v v="$vigilon_peak" -v b="$baseline_peak" \
  'BEGIN { printf "| peak working set under Wine (KiB), idle window program as baseline | %d | %d | %.2f |\n", v, b, v / b }'
fi
echo "| size of \`vigilon.exe\` (static runtime, stripped) | $(stat -c %s "$exe") bytes | | |"
if wanted exit; then
echo "| from **Exit** to the end of the process, 5 rounds (ms) | $(ascending "${exits[@]}"); max $(maximum "${exits[@]}") | | |"
echo "| of which from the command to the history's \`exit\` line, the command's own start included (ms) | $(ascending "${to_exit_line[@]}"); max $(maximum "${to_exit_line[@]}") | | |"
echo "| and from the \`exit\` line to the end of the process (ms) | $(ascending "${from_exit_line[@]}"); max $(maximum "${from_exit_line[@]}") | | |"
fi
if wanted restraint; then
echo
echo "| restraint | without | with |"
echo "|---|---|---|"
echo "| starts in a minute of a program that ends 1 s after each start (\`Backoff=1\`) | $plain_starts | $backoff_starts |"
echo "| from a hang to the new start (\`HangSeconds=5\`; the rule allows a pass, 5 s, 10 s to close and 2 s for the last question) (ms) | | $((restart_at - hung_at)) |"
fi
kill "$baseline" 2>/dev/null || true
