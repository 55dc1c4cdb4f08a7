# Sourced by the scripts that run Windows executables: makes sure there is an X display and a
# Wine prefix, keeps the Wine server up while they run, and stops on exit what it started.
# Uses DISPLAY and WINEPREFIX when they are given.
#   wine_session_start PREFIX_DIR    all of it, returning when Wine is ready
#   wine_session_begin PREFIX_DIR    the same, the prefix made ready in the background, while the
#   wine_session_ready               caller builds; then this waits for it

wine_session_started_xvfb=""
wine_session_started_server=""
wine_session_boot=""

wine_session_stop() {
  if [ -n "$wine_session_boot" ]; then
    kill "$wine_session_boot" 2>/dev/null || true
    wait "$wine_session_boot" 2>/dev/null || true
  fi
  if [ -n "$wine_session_started_server" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "$wine_session_started_xvfb" ]; then
    kill "$wine_session_started_xvfb" 2>/dev/null || true
    wait "$wine_session_started_xvfb" 2>/dev/null || true
  fi
}

# wine_session_start PREFIX_DIR: PREFIX_DIR is used when WINEPREFIX is not set.
wine_session_start() {
  wine_session_begin "$1" && wine_session_ready
}

wine_session_ready() {
  [ -n "$wine_session_boot" ] || return 0
  local status=0
  wait "$wine_session_boot" || status=$?
  wine_session_boot=""
  [ "$status" -eq 0 ] || echo "Wine's prefix could not be made ready in $WINEPREFIX" >&2
  return "$status"
}

wine_session_begin() {
  trap wine_session_stop EXIT
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ -z "${DISPLAY:-}" ]; then
    local number=90
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
      number=$((number + 1))
    done
    Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    wine_session_started_xvfb=$!
    export DISPLAY=":${number}"
    local tries=0
    until xdpyinfo >/dev/null 2>&1; do
      tries=$((tries + 1))
      if [ "$tries" -gt 100 ]; then echo "Xvfb did not start on $DISPLAY" >&2; return 1; fi
      sleep 0.1
    done
  fi
  if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$1"
    wine_session_started_server=1
  fi
  mkdir -p "$WINEPREFIX"
  # The server first, so that it is the persistent one for everything after. Our own prefix: one
  # kept up until we stop it. A given prefix: one that ends by itself a minute after its last
  # program, so nothing of the caller's is killed. Either fails harmlessly when one is running.
  if [ -n "$wine_session_started_server" ]; then
    wineserver -p >/dev/null 2>&1 || true
  else
    wineserver -p60 >/dev/null 2>&1 || true
  fi
  # Our Xvfb has no window manager: on it Wine's windows are its own (unmanaged), framed by Wine as
  # on Windows, where Wine would otherwise wait two seconds for a window manager each time one of
  # them closes. On a display of the caller's, its window manager manages them. A prefix of the
  # caller's is left as it is.
  local managed=Y
  [ -n "$wine_session_started_xvfb" ] && managed=N
  (
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 </dev/null
    fi
    if [ -n "$wine_session_started_server" ] &&
      ! grep -q "^\"Managed\"=\"$managed\"" "$WINEPREFIX/user.reg" 2>/dev/null; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f
    fi
    # Start Wine's background services now, with their output nowhere: started by the first test,
    # they would hold the test runner's output open and it would wait for them.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  ) >/dev/null 2>&1 </dev/null &
  wine_session_boot=$!
}
