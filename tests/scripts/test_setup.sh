#!/usr/bin/env bash
# scripts/setup on machines that run 32-bit programs and on machines whose kernel refuses them,
# against a fake binfmt_misc folder, a fake Wine loader and qemu, and stand-ins for apt-get, mount
# and sudo that only record their calls. Usage: test_setup.sh <source tree>
set -uo pipefail
ROOT=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

REGISTRATION=':qemu-i386:M::\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:QEMU:F'

fail() { echo "FAIL [$CASE]: $*"; FAILURES=$((FAILURES + 1)); }

# A fresh fake machine: $1 = qemu major version installed ("" = none), $2 = whether the Wine loader
# starts natively (yes/no), $3 = binfmt_misc state (unmounted, empty, enabled, disabled).
machine() {
  local qemu=$1 native=$2 binfmt=$3 m
  MACHINES=$((${MACHINES:-0} + 1))
  m=$WORK/machine$MACHINES
  mkdir -p "$m/bin" "$m/binfmt" "$m/sources"
  M=$m
  export ZAV_BINFMT_DIR=$m/binfmt ZAV_WINE32=$m/wine32 ZAV_QEMU_I386=$m/qemu-i386-static
  export ZAV_APT_SOURCES_DIR=$m/sources ZAV_OS_RELEASE=$m/os-release BUILD_DIR=$m/build
  echo 'VERSION_CODENAME=bookworm' >"$m/os-release"
  : >"$m/calls"
  write_qemu "$qemu"
  # The loader starts natively, or once qemu is registered (the fake kernel reads "register").
  cat >"$m/wine32" <<EOF
#!/bin/sh
[ "$native" = yes ] && exit 0
grep -qxF '${REGISTRATION//QEMU/$m/qemu-i386-static}' "$m/binfmt/register" 2>/dev/null && [ "$native" != never ] && exit 0
echo "wine32: Exec format error" >&2
exit 126
EOF
  case $binfmt in
    unmounted) ;;
    empty) : >"$m/binfmt/register" ;;
    enabled | disabled) : >"$m/binfmt/register"; printf '%s\ninterpreter %s\n' "$binfmt" "$m/qemu-i386-static" >"$m/binfmt/qemu-i386" ;;
  esac
  for tool in apt-get mount; do
    cat >"$m/bin/$tool" <<EOF
#!/bin/sh
echo "$tool \$*" >>"$m/calls"
case "$tool \$*" in
  "mount -t binfmt_misc binfmt_misc $m/binfmt") : >"$m/binfmt/register" ;;
  "apt-get install"*"-t bookworm-backports qemu-user-static")
    printf '#!/bin/sh\necho "qemu-i386 version 10.0.2"\n' >"$m/qemu-i386-static"
    chmod +x "$m/qemu-i386-static" ;;
esac
EOF
  done
  printf '#!/bin/sh\nexec "$@"\n' >"$m/bin/sudo"
  chmod +x "$m/bin/"* "$m/wine32"
}

write_qemu() {
  [ -n "$1" ] || { rm -f "$M/qemu-i386-static"; return; }
  printf '#!/bin/sh\necho "qemu-i386 version %s.0.2 (Debian)"\n' "$1" >"$M/qemu-i386-static"
  chmod +x "$M/qemu-i386-static"
}

run_setup() {
  PATH="$M/bin:$PATH" "$ROOT/scripts/setup" >"$M/out" 2>&1 </dev/null
  RC=$?
}

expect_rc() { [ "$RC" -eq "$1" ] || fail "exit code $RC, expected $1; output: $(cat "$M/out")"; }
expect_quiet() { [ ! -s "$M/out" ] || fail "expected no output, got: $(cat "$M/out")"; }
expect_no_calls() { [ ! -s "$M/calls" ] || fail "expected no calls, got: $(cat "$M/calls")"; }
expect_call() { grep -qxF -- "$1" "$M/calls" || fail "expected call \"$1\", got: $(cat "$M/calls")"; }
expect_registered() {
  local want=${REGISTRATION//QEMU/$M/qemu-i386-static}
  [ "$(cat "$M/binfmt/register" 2>/dev/null)" = "$want" ] || fail "register holds \"$(cat "$M/binfmt/register" 2>/dev/null)\""
}

CASE="qemu already registered"
machine 10 no enabled
run_setup; expect_rc 0; expect_quiet; expect_no_calls

CASE="32-bit programs run natively"
machine "" yes unmounted
run_setup; expect_rc 0; expect_quiet; expect_no_calls

CASE="kernel refuses, binfmt_misc unmounted, only Debian's own qemu 7"
machine 7 no unmounted
run_setup; expect_rc 0
expect_call "mount -t binfmt_misc binfmt_misc $M/binfmt"
expect_call "apt-get update -qq"
expect_call "apt-get install -y -qq -t bookworm-backports qemu-user-static"
grep -qx 'Suites: bookworm-backports' "$M/sources/zav-backports.sources" || fail "no backports sources file"
grep -qx 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' "$M/sources/zav-backports.sources" ||
  fail "backports sources file without its key"
expect_registered
# A second run finds nothing missing: quiet, nothing installed again.
: >"$M/calls"
run_setup; expect_rc 0; expect_quiet; expect_no_calls

CASE="kernel refuses, qemu 10 installed, handler switched off"
machine 10 no disabled
run_setup; expect_rc 0
grep -q '^apt-get' "$M/calls" && fail "installed packages: $(cat "$M/calls")"
[ "$(cat "$M/binfmt/qemu-i386")" = "-1" ] || fail "the old handler was not removed"
expect_registered

CASE="kernel refuses, no qemu, binfmt_misc mounted"
machine "" no empty
run_setup; expect_rc 0
expect_call "apt-get install -y -qq -t bookworm-backports qemu-user-static"
grep -q '^mount' "$M/calls" && fail "mounted binfmt_misc again"
expect_registered

CASE="registration does not help"
machine 10 never empty
run_setup; expect_rc 1
grep -q "still does not start" "$M/out" || fail "no message: $(cat "$M/out")"

if [ "$FAILURES" -gt 0 ]; then
  echo "$FAILURES check(s) failed"
  exit 1
fi
echo "all setup cases passed"
