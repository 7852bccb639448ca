#!/usr/bin/env bash
# Runs the installer tests in a Wine prefix of their own (installs and uninstalls must not disturb
# the prefix the other tests use). The prefix is booted once and kept as a clean copy; every run
# starts from that copy, so a run that stopped halfway leaves nothing for the next one.
# Arguments: the build folder and the source folder.
set -uo pipefail
export BUILD_DIR=$1
source "$2/scripts/lib.sh"

base=$ZAV_BUILD/wineprefix-setup-base
work=$ZAV_BUILD/setup-test
export WINEPREFIX=$base
if [ ! -f "$base/.zav-booted" ]; then
  rm -rf "$base"
  zav_wine_start || exit 1
  zav_wine_stop
  touch "$base/.zav-booted"
fi

export WINEPREFIX=$ZAV_BUILD/wineprefix-setup
zav_wine_stop
rm -rf "$WINEPREFIX" "$work"
cp -a "$base" "$WINEPREFIX"
mkdir -p "$work/work"

ZAV_PACKAGE_NO_BUILD=1 "$ZAV_ROOT/scripts/package" || exit 1
ZAV_PACKAGE_NO_BUILD=1 ZAV_PACKAGE_VERSION=0.9.0.0 ZAV_DIST=$work/dist-old "$ZAV_ROOT/scripts/package" || exit 1

windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
export ZAV_SETUP_DIST=$(windows_path "$ZAV_BUILD/dist")
export ZAV_SETUP_OLD_DIST=$(windows_path "$work/dist-old")
export ZAV_SETUP_WORK=$(windows_path "$work/work")

trap zav_wine_stop EXIT
zav_wine_start || exit 1
wine "$ZAV_BIN/setup_e2e_tests.exe" --gtest_color=no
