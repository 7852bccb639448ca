# Shared by the scripts: paths, the project's own Wine prefix, and the installation folder in it.
# Source it; it defines functions only and never leaves anything running once zav_wine_stop ran.

# The project's folder, found without starting a program (scripts/zavcli sources this per call).
case "${BASH_SOURCE[0]}" in
  */*) ZAV_ROOT=${BASH_SOURCE[0]%/*}/.. ;;
  *) ZAV_ROOT=.. ;;
esac
case "$ZAV_ROOT" in /*) ;; *) ZAV_ROOT=$PWD/$ZAV_ROOT ;; esac
ZAV_ROOT=${ZAV_ROOT%/scripts/..}
case "$ZAV_ROOT" in */..|*/.|*/./*|*/../*) ZAV_ROOT=$(cd "$ZAV_ROOT" && pwd) ;; esac
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

# Packages the scripts need that are missing (cheap checks only: this runs before every command).
zav_need_packages() {
  command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || return 0
  command -v cmake >/dev/null 2>&1 || return 0
  command -v wine >/dev/null 2>&1 || return 0
  command -v Xvfb >/dev/null 2>&1 || return 0
  command -v wixl >/dev/null 2>&1 || return 0
  [ -f /usr/src/googletest/CMakeLists.txt ] || return 0
  [ -d /usr/include/nlohmann ] || return 0
  [ -e "$ZAV_WINE32" ] || return 0 # Wine's 32-bit loader (package wine32:i386)
  return 1
}

# Where the kernel's binfmt_misc handlers and Wine's 32-bit loader are (tests of scripts/setup
# point these elsewhere).
ZAV_BINFMT_DIR=${ZAV_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
ZAV_WINE32=${ZAV_WINE32:-/usr/lib/wine/wine}

# Whether this machine runs Wine's 32-bit side: natively, or through qemu registered with
# binfmt_misc. Some kernels refuse 32-bit programs ("Exec format error").
zav_runs_32bit() {
  local entry=$ZAV_BINFMT_DIR/qemu-i386 state=""
  [ -r "$entry" ] && IFS= read -r state <"$entry"
  [ "$state" = enabled ] && return 0
  "$ZAV_WINE32" --version >/dev/null 2>&1
}

zav_need_setup() {
  zav_need_packages && return 0
  zav_runs_32bit || return 0
  return 1
}

zav_ensure_setup() {
  if zav_need_setup; then
    "$ZAV_ROOT/scripts/setup" || return 1
  fi
}

# The folder in which the Wine server of this prefix keeps its socket and lock file (named after
# the prefix folder's device and inode). Sets ZAV_SERVER_DIR, empty when there is none yet. Uses
# shell built-ins where it can: scripts/zavcli runs this before every command.
zav_find_server_dir() {
  ZAV_SERVER_DIR=
  [ -d "$WINEPREFIX" ] || return 0
  local ids id dir
  ids=$(stat -c '%d %i' "$WINEPREFIX") || return 0
  printf -v id 'server-%x-%x' ${ids% *} ${ids#* }
  for dir in "${TMPDIR:-/tmp}"/wine-*/"$id" /tmp/.wine-"$EUID"/"$id"; do
    if [ -d "$dir" ]; then
      ZAV_SERVER_DIR=$dir
      return 0
    fi
  done
}

zav_wine_server_dir() {
  zav_find_server_dir
  [ -n "$ZAV_SERVER_DIR" ] && echo "$ZAV_SERVER_DIR"
}

zav_wine_socket() {
  zav_find_server_dir
  [ -n "$ZAV_SERVER_DIR" ] && [ -S "$ZAV_SERVER_DIR/socket" ] && echo "$ZAV_SERVER_DIR/socket"
}

# Process id of this prefix's running Wine server in ZAV_SERVER_PID, empty when none runs: the
# server holds a lock on the "lock" file of its folder for as long as it lives (a socket file
# alone may be stale).
zav_find_server() {
  ZAV_SERVER_PID=
  zav_find_server_dir
  local dir=$ZAV_SERVER_DIR inode n kind mode access pid where rest
  [ -n "$dir" ] && [ -e "$dir/lock" ] && [ -S "$dir/socket" ] || return 0
  inode=$(stat -c %i "$dir/lock") || return 0
  while read -r n kind mode access pid where rest; do
    if [ "${where##*:}" = "$inode" ]; then
      ZAV_SERVER_PID=$pid
      return 0
    fi
  done </proc/locks
}

zav_wine_server_pid() {
  zav_find_server
  [ -n "$ZAV_SERVER_PID" ] && echo "$ZAV_SERVER_PID"
}

# Marks a prefix whose first boot completed; a prefix without it is rebuilt from scratch.
ZAV_BOOT_STAMP=$WINEPREFIX/.zav-booted
# Records which server got the registry values and the device map (lost when the server stops).
ZAV_RUNTIME_STAMP=$WINEPREFIX/.zav-runtime
# Names the server for which zav_prepare_runtime last completed (id and start time).
ZAV_READY_STAMP=$WINEPREFIX/.zav-ready

# Detached from the caller's descriptors: background services started by the first Wine process
# of a server inherit them, and a caller reading a pipe (ctest, CI) would wait for them forever.
# The lock of zav_prepare_runtime is not passed on: a server or service that inherited it would
# hold it for as long as it runs, and every later script would wait for it.
zav_detached() {
  if [ -n "${ZAV_LOCK_FD:-}" ]; then
    setsid -w "$@" </dev/null >>"$ZAV_BUILD/wine-start.log" 2>&1 {ZAV_LOCK_FD}>&-
  else
    setsid -w "$@" </dev/null >>"$ZAV_BUILD/wine-start.log" 2>&1
  fi
}

zav_start_server() {
  if [ -n "${ZAV_LOCK_FD:-}" ]; then
    (setsid wineserver -p"$1" </dev/null >/dev/null 2>&1 &) {ZAV_LOCK_FD}>&-
  else
    (setsid wineserver -p"$1" </dev/null >/dev/null 2>&1 &)
  fi
}

# Starts this prefix's Wine server unless it runs. With a number of seconds the server exits by
# itself that long after its last program ended; without, it runs until zav_wine_stop.
# A prefix whose first boot never completed is deleted and booted again.
zav_wine_start() {
  local idle=${1:-} i
  [ -d "$ZAV_BUILD" ] || mkdir -p "$ZAV_BUILD"
  if [ -d "$WINEPREFIX" ] && [ ! -f "$ZAV_BOOT_STAMP" ]; then
    zav_log "Wine prefix $WINEPREFIX did not finish its first boot; building it again"
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
  fi
  [ -d "$WINEPREFIX" ] || mkdir -p "$WINEPREFIX"
  zav_find_server
  if [ -z "$ZAV_SERVER_PID" ]; then
    zav_start_server "$idle"
    for i in $(seq 1 100); do
      zav_find_server
      [ -n "$ZAV_SERVER_PID" ] && break
      sleep 0.1
    done
  fi
  [ -f "$ZAV_BOOT_STAMP" ] && return 0

  zav_log "booting Wine prefix $WINEPREFIX (once)"
  # A prefix booted without a display may refuse windows later: boot on a private one if needed,
  # and start the server again without it afterwards, since it ends with this script.
  local boot_display=""
  if [ -z "${DISPLAY:-}" ] && [ -z "$ZAV_XVFB_PID" ]; then
    if [ -n "${ZAV_LOCK_FD:-}" ]; then zav_xvfb_start {ZAV_LOCK_FD}>&-; else zav_xvfb_start; fi
    [ -n "$ZAV_XVFB_PID" ] && boot_display=yes
  fi
  local rc=1
  if zav_detached wineboot -i && zav_detached wine cmd /c echo ok; then
    touch "$ZAV_BOOT_STAMP"
    rc=0
  else
    zav_log "Wine did not come up in $WINEPREFIX"
  fi
  if [ -n "$boot_display" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    zav_xvfb_stop
    unset DISPLAY
    [ $rc -eq 0 ] && zav_wine_start "$idle"
  fi
  return $rc
}

zav_wine_stop() {
  [ -d "$WINEPREFIX" ] || return 0
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
  zav_detached wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f && touch "$stamp"
}

# Registry values of the product (32-bit view) and the controller's port in the device map,
# written by the project's own 32-bit helper, which changes a value only when it is missing or
# different. The device map is volatile, so this is needed once per start of the Wine server; the
# stamp names the server that got it, and later calls against the same server do nothing.
zav_write_registry() {
  local pid line="" fields=() started="" want have=""
  [ -n "${ZAV_SERVER_PID:-}" ] || zav_find_server
  pid=$ZAV_SERVER_PID
  # The server's start time (field 22 of its stat line) tells it from a later one with the same id.
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] && read -r line <"/proc/$pid/stat"
  read -r -a fields <<<"${line##*) }"
  started=${fields[19]:-}
  want="server $pid $started|$ZAV_INSTALL_WIN|$ZAV_LOGDIR_WIN|$ZAV_LOGDIR2_WIN"
  [ -f "$ZAV_RUNTIME_STAMP" ] && IFS= read -r have <"$ZAV_RUNTIME_STAMP"
  if [ -n "$pid" ] && [ "$have" = "$want" ]; then
    return 0
  fi
  rm -f "$ZAV_RUNTIME_STAMP"
  if [ ! -f "$ZAV_BIN/zavdevmap.exe" ]; then
    zav_log "build first: $ZAV_BIN/zavdevmap.exe is missing"
    return 1
  fi
  if ! zav_detached wine "$ZAV_BIN/zavdevmap.exe" --value "InstallDir=$ZAV_INSTALL_WIN" \
    --value "LogDir=$ZAV_LOGDIR_WIN" --value "LogDir2=$ZAV_LOGDIR2_WIN" "Scsi Port 2=megasas2"; then
    zav_log "cannot write the product's registry values or the device map (see $ZAV_BUILD/wine-start.log)"
    return 1
  fi
  printf '%s\n' "$want" >"$ZAV_RUNTIME_STAMP"
}

# Copies the programs, the simulator and the shipped data files into the installation folder,
# each only when its size or time differs from the installed copy (copies keep the time).
zav_install() {
  [ -d "$ZAV_INSTALL/raidlog" ] && [ -d "$ZAV_INSTALL/log" ] ||
    mkdir -p "$ZAV_INSTALL" "$ZAV_INSTALL/log" "$ZAV_INSTALL/raidlog"
  local f size mtime name sources=()
  for f in "$ZAV_BIN"/*.exe "$ZAV_BIN"/*.dll "$ZAV_ROOT"/dist/*; do
    [ -f "$f" ] || continue
    case "${f##*/}" in
      *_tests.exe|bench_*.exe) continue ;;
    esac
    sources+=("$f")
  done
  [ ${#sources[@]} -gt 0 ] || return 0
  local -A installed=()
  while IFS='|' read -r size mtime name; do
    installed[$name]="$size|$mtime"
  done < <(cd "$ZAV_INSTALL" && stat -c '%s|%.9Y|%n' -- * 2>/dev/null)
  while IFS='|' read -r size mtime f; do
    name=${f##*/}
    [ "${installed[$name]:-}" = "$size|$mtime" ] || cp -p "$f" "$ZAV_INSTALL/"
  done < <(stat -c '%s|%.9Y|%n' -- "${sources[@]}")
}

# Everything a program of the installation needs: a booted prefix, a running server, the
# registry values and device map, the installed files. Arguments as zav_wine_start. Callers that
# prepare at the same time wait for each other, so no call deletes a prefix that another boots.
zav_prepare_runtime() {
  local rc=0
  [ -d "$ZAV_BUILD" ] || mkdir -p "$ZAV_BUILD"
  exec {ZAV_LOCK_FD}>"$ZAV_BUILD/.wineprefix.lock"
  if flock -w 1800 "$ZAV_LOCK_FD"; then
    rm -f "$ZAV_READY_STAMP"
    { zav_wine_start "$@" && zav_wine_x11_settings && zav_write_registry && zav_install; } || rc=1
    [ $rc -eq 0 ] && zav_mark_ready
  else
    zav_log "another script holds $ZAV_BUILD/.wineprefix.lock"
    rc=1
  fi
  exec {ZAV_LOCK_FD}>&-
  ZAV_LOCK_FD=
  return $rc
}

# Identity of a running process: its id and start time (field 22 of its stat line), read without
# starting a program. Sets ZAV_PROC_ID, empty when the process does not run or is no Wine server.
zav_server_identity() {
  local pid=$1 line="" fields=()
  ZAV_PROC_ID=
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] && read -r line <"/proc/$pid/stat" 2>/dev/null
  [[ $line == *" (wineserver"* ]] || return 0 # wineserver or wineserver64
  read -r -a fields <<<"${line##*) }"
  ZAV_PROC_ID="$pid ${fields[19]:-}"
}

zav_mark_ready() {
  zav_server_identity "${ZAV_SERVER_PID:-}"
  [ -n "$ZAV_PROC_ID" ] && printf '%s\n' "$ZAV_PROC_ID" >"$ZAV_READY_STAMP"
}

# Whether the runtime that zav_prepare_runtime last completed still stands, checked with shell
# built-ins only (scripts/zavcli runs this before every command): the same Wine server runs, the
# prefix finished its boot, and no program or data file to install is newer than that preparation.
zav_runtime_ready() {
  local want="" f
  [ -f "$ZAV_READY_STAMP" ] && [ -f "$ZAV_BOOT_STAMP" ] && [ -d "$ZAV_INSTALL" ] || return 1
  IFS= read -r want <"$ZAV_READY_STAMP" || return 1
  zav_server_identity "${want%% *}"
  [ -n "$ZAV_PROC_ID" ] && [ "$ZAV_PROC_ID" = "$want" ] || return 1
  for f in "$ZAV_BIN"/*.exe "$ZAV_BIN"/*.dll "$ZAV_ROOT"/dist/*; do
    [ "$f" -nt "$ZAV_READY_STAMP" ] && return 1
  done
  return 0
}

# Whether a source file of the tools or the simulator is newer than the given program (shell
# built-ins only).
zav_sources_newer_than() {
  local program=$1 f
  [ -f "$program" ] || return 0
  shopt -s globstar nullglob
  for f in "$ZAV_ROOT"/common/** "$ZAV_ROOT"/cli/** "$ZAV_ROOT"/sim/**; do
    if [ -f "$f" ] && [ "$f" -nt "$program" ]; then
      shopt -u globstar nullglob
      return 0
    fi
  done
  shopt -u globstar nullglob
  return 1
}
