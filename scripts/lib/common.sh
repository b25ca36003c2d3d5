# Shared by the project's scripts: paths, packages, Xvfb and the Wine prefix.
# Source it; it defines functions and variables and starts nothing by itself.

VIGILON_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Everything the build and the tests need, from Debian's packages.
VIGILON_PACKAGES=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 fonts-wine xvfb imagemagick clang-14 libclang-rt-14-dev wixl msitools
  osslsigncode openssl python3
)

export WINEPREFIX=${WINEPREFIX:-$VIGILON_ROOT/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

log() { printf '==> %s\n' "$*" >&2; }

# Polls a condition (a command and its arguments) until it holds or `seconds` have passed.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  for p in "${VIGILON_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  as_root apt-get update -q >/dev/null
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts Xvfb on the first free display and exports DISPLAY; VIGILON_XVFB_PID names it.
start_xvfb() {
  local n deadline
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VIGILON_XVFB_PID=$!
    deadline=$((SECONDS + 20))
    while [ $SECONDS -lt $deadline ] && kill -0 "$VIGILON_XVFB_PID" 2>/dev/null; do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        log "Xvfb on $DISPLAY"
        return 0
      fi
      sleep 0.1
    done
    kill "$VIGILON_XVFB_PID" 2>/dev/null || true
  done
  log "no free display for Xvfb"
  return 1
}

stop_xvfb() {
  if [ -n "${VIGILON_XVFB_PID:-}" ]; then
    kill "$VIGILON_XVFB_PID" 2>/dev/null || true
    wait "$VIGILON_XVFB_PID" 2>/dev/null || true
    VIGILON_XVFB_PID=
  fi
}

# Creates the Wine prefix on first use; a later run reuses it.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$WINEPREFIX/../wineboot.log" 2>&1 </dev/null
  fi
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >"$WINEPREFIX/../wine-reg.log" 2>&1 </dev/null
}

stop_prefix() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  wineserver -w >/dev/null 2>&1 </dev/null || true
}
