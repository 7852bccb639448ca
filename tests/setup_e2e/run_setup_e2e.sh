#!/usr/bin/env bash
# Runs the installer tests in a Wine prefix of their own (installs and uninstalls must not disturb
# the prefix the other tests use). The prefix is booted once; its registry is saved right after
# that boot, and every run starts by putting it back and removing what an install leaves (the
# product folders, Windows Installer's cache), so a run that stopped halfway spoils no later run.
# Arguments: the build folder and the source folder.
set -uo pipefail
export BUILD_DIR=$1
source "$2/scripts/lib.sh"

# The server starts alone and the first program boots the prefix by itself: an explicit
# "wineboot -i" beside that first program starts a second services.exe under qemu, and the two
# then answer service starts in turn, so a service start times out (error 1053).
setup_prefix_start() {
  (setsid wineserver -p </dev/null >/dev/null 2>&1 &)
  local i
  for i in $(seq 1 100); do
    [ -n "$(zav_wine_socket)" ] && break
    sleep 0.1
  done
  for i in $(seq 1 20); do
    setsid wine cmd /c echo ok </dev/null 2>/dev/null | grep -q ok && return 0
    sleep 1
  done
  zav_log "Wine did not come up in $WINEPREFIX"
  return 1
}

export WINEPREFIX=$ZAV_BUILD/wineprefix-setup
clean=$WINEPREFIX/.zav-clean
work=$ZAV_BUILD/setup-test
zav_wine_stop
if [ ! -f "$clean/booted" ]; then
  rm -rf "$WINEPREFIX"
  setup_prefix_start || exit 1
  zav_wine_stop
  mkdir -p "$clean"
  cp "$WINEPREFIX"/*.reg "$clean/"
  touch "$clean/booted"
fi
cp "$clean"/*.reg "$WINEPREFIX/"
rm -rf "$WINEPREFIX/drive_c/Program Files (x86)/Norvane" "$WINEPREFIX/drive_c/windows/Installer" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Norvane RAID Vantrel" "$work"
rm -f "$ZAV_BIN/zavservice_dummy.log"
mkdir -p "$work/work"

ZAV_PACKAGE_NO_BUILD=1 "$ZAV_ROOT/scripts/package" || exit 1
ZAV_PACKAGE_NO_BUILD=1 ZAV_PACKAGE_VERSION=0.9.0.0 ZAV_DIST=$work/dist-old "$ZAV_ROOT/scripts/package" || exit 1

windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
export ZAV_SETUP_DIST=$(windows_path "$ZAV_BUILD/dist")
export ZAV_SETUP_OLD_DIST=$(windows_path "$work/dist-old")
export ZAV_SETUP_WORK=$(windows_path "$work/work")

trap zav_wine_stop EXIT
setup_prefix_start || exit 1
wine "$ZAV_BIN/setup_e2e_tests.exe" --gtest_color=no
