# Shared by the scripts: paths, the project's own Wine prefix, and the installation folder in it.
# Source it; it defines functions only and never leaves anything running once zav_wine_stop ran.

ZAV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ZAV_BUILD=$BUILD_DIR ;; *) ZAV_BUILD=$ZAV_ROOT/$BUILD_DIR ;; esac
ZAV_BIN=$ZAV_BUILD/bin

export WINEPREFIX=$ZAV_BUILD/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The installation folder as the tools see it (InstallDir) and as this machine sees it.
ZAV_INSTALL_WIN='C:\Program Files (x86)\Norvane\Zav\'
ZAV_INSTALL=$WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Norvane/Zav
ZAV_LOGDIR_WIN='C:\Program Files (x86)\Norvane\Zav\log\'
ZAV_LOGDIR2_WIN='C:\Program Files (x86)\Norvane\Zav\raidlog\'

zav_log() { printf '%s\n' "$*" >&2; }

zav_need_setup() {
  command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || return 0
  command -v cmake >/dev/null 2>&1 || return 0
  command -v wine >/dev/null 2>&1 || return 0
  command -v Xvfb >/dev/null 2>&1 || return 0
  [ -f /usr/src/googletest/CMakeLists.txt ] || return 0
  [ -d /usr/include/nlohmann ] || return 0
  dpkg -s wine32:i386 >/dev/null 2>&1 || return 0
  return 1
}

zav_ensure_setup() {
  if zav_need_setup; then
    "$ZAV_ROOT/scripts/setup" || return 1
  fi
}

# The folder in which the Wine server of this prefix keeps its socket.
zav_wine_socket() {
  local id
  id=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  ls -d "${TMPDIR:-/tmp}"/wine-*/"$id"/socket /tmp/.wine-"$(id -u)"/"$id"/socket 2>/dev/null | head -n 1
}

# A persistent Wine server with detached descriptors, so that background services started by the
# first Wine process never hold the caller's pipes open. The server must be listening before any
# Wine program runs: a program that finds none starts a short-lived server of its own, which quits
# between two tests and takes the volatile device-map keys with it.
zav_wine_start() {
  mkdir -p "$WINEPREFIX"
  (setsid wineserver -p </dev/null >/dev/null 2>&1 &)
  local i
  for i in $(seq 1 100); do
    [ -n "$(zav_wine_socket)" ] && break
    sleep 0.1
  done
  (setsid sh -c 'wineboot -i' </dev/null >/dev/null 2>&1 &)
  for i in $(seq 1 240); do
    if wine cmd /c echo ok 2>/dev/null | grep -q ok; then
      return 0
    fi
    sleep 0.5
  done
  zav_log "Wine did not come up in $WINEPREFIX"
  return 1
}

zav_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  zav_xvfb_stop
}

# A private X display for the graphical tool, started before the prefix boots (a prefix booted
# without a display may refuse windows later). Keeps a display the caller already has. Without
# Xvfb the graphical tests skip themselves.
ZAV_XVFB_PID=
zav_xvfb_start() {
  [ -n "${DISPLAY:-}" ] && return 0
  command -v Xvfb >/dev/null 2>&1 || return 0
  local fifo display
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/zav_xvfb.XXXXXX")
  mkfifo "$fifo" || return 0
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  ZAV_XVFB_PID=$!
  read -r -t 20 display <"$fifo" || display=
  rm -f "$fifo"
  if [ -z "$display" ]; then
    kill "$ZAV_XVFB_PID" 2>/dev/null
    ZAV_XVFB_PID=
    zav_log "Xvfb did not start; the graphical tests will be skipped"
    return 0
  fi
  export DISPLAY=:$display
}

zav_xvfb_stop() {
  if [ -n "$ZAV_XVFB_PID" ]; then
    kill "$ZAV_XVFB_PID" 2>/dev/null || true
    ZAV_XVFB_PID=
  fi
}

# Without a window manager every window close waits for one; unmanaged windows close at once.
zav_wine_x11_settings() {
  local stamp=$WINEPREFIX/.zav_x11_unmanaged
  [ -f "$stamp" ] && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 && touch "$stamp"
}

# Registry values of the product (32-bit view) and the controller's port in the device map.
zav_write_registry() {
  local name value
  for name in InstallDir LogDir LogDir2; do
    case $name in
      InstallDir) value=$ZAV_INSTALL_WIN ;;
      LogDir) value=$ZAV_LOGDIR_WIN ;;
      LogDir2) value=$ZAV_LOGDIR2_WIN ;;
    esac
    wine reg add 'HKLM\SOFTWARE\Norvane\Zav' /v "$name" /d "$value" /f /reg:32 >/dev/null 2>&1 ||
      { zav_log "cannot write registry value $name"; return 1; }
  done
  if [ -f "$ZAV_BIN/zavdevmap.exe" ]; then
    wine "$ZAV_BIN/zavdevmap.exe" "Scsi Port 2=megasas2" >/dev/null || return 1
  fi
}

# Copies the programs, the simulator and the shipped data files into the installation folder.
zav_install() {
  mkdir -p "$ZAV_INSTALL" "$ZAV_INSTALL/log" "$ZAV_INSTALL/raidlog"
  local f
  for f in "$ZAV_BIN"/*.exe "$ZAV_BIN"/*.dll; do
    [ -f "$f" ] || continue
    case "$(basename "$f")" in
      *_tests.exe|bench_*.exe) continue ;;
    esac
    cp -u "$f" "$ZAV_INSTALL/"
  done
  if [ -d "$ZAV_ROOT/dist" ]; then
    for f in "$ZAV_ROOT"/dist/*; do
      [ -f "$f" ] && cp "$f" "$ZAV_INSTALL/"
    done
  fi
}

zav_prepare_runtime() {
  zav_xvfb_start
  zav_wine_start || return 1
  zav_wine_x11_settings
  zav_write_registry
  zav_install
}
