#!/usr/bin/env bash
# Benchmark of the controller and PD commands against the simulator: wall time of
# "zavcli -ctrlinfo -a0" on the default and the large scenario beside a run that stops at an
# unknown token (all under one warm Wine server), and the packets each command sends, counted
# from the simulator's journal. Usage: BUILD_DIR=build tests/bench/bench_cmds.sh [runs]
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
RUNS=${1:-10}

[ -f "$ZAV_BIN/zavcli.exe" ] || { zav_log "build first: $ZAV_BIN/zavcli.exe is missing"; exit 1; }
trap zav_wine_stop EXIT
zav_wine_start || exit 1

WORK=$(mktemp -d)
export ZAVSIM_STATE=$WORK/state.json ZAVSIM_JOURNAL=$WORK/journal.txt
wine "$ZAV_BIN/zavdevmap.exe" "Scsi Port 2=megasas2" >/dev/null 2>&1
cd "$ZAV_BIN" || exit 1

sim() { wine ./zavsim.exe "$@" >/dev/null 2>&1; }
cli() { wine ./zavcli.exe "$@" </dev/null >/dev/null 2>&1; }

# Milliseconds of each of RUNS runs of zavcli with the given arguments; prints min, median, max.
time_runs() {
  local i start end times=()
  for i in $(seq 1 "$RUNS"); do
    start=$(date +%s%N)
    cli "$@"
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "min %d ms, median %d ms, max %d ms", a[1], a[int((NR+1)/2)], a[NR]}'
}

packets() { # packets journalled by one run of zavcli with the given arguments
  sim journal clear
  cli "$@"
  grep -vc '^zavsim ' "$ZAVSIM_JOURNAL" 2>/dev/null || echo 0
}

echo "== Wall time, $RUNS runs each, warm Wine server"
sim load default
cli -nosuchtoken # warm-up
printf '%-40s %s\n' "unknown token (no library load)" "$(time_runs -nosuchtoken)"
printf '%-40s %s\n' "ctrlinfo -a0, default scenario" "$(time_runs -ctrlinfo -a0)"
sim load large
printf '%-40s %s\n' "ctrlinfo -a0, large scenario" "$(time_runs -ctrlinfo -a0)"
printf '%-40s %s\n' "pdinfo -a0, large scenario" "$(time_runs -pdinfo -a0)"

echo
echo "== Packets per command (journal), default scenario"
echo "start-up refresh and tear-down are the packets of -help, whose handler sends none"
printf '%-44s %8s %8s %10s\n' command total handler prescribed
row() { # prescribed-count, then the zavcli arguments
  local want=$1 total
  shift
  sim load default
  [ "$1" = "-ctrlpr" ] && [ "${2:-}" = "-stop" ] && cli -ctrlpr -start
  total=$(packets "$@")
  printf '%-44s %8d %8d %10s\n' "$*" "$total" $(( total - BASE )) "$want"
}
sim load default
BASE=$(packets -help)
row 0 -help
row 1 -v
row 6 -ctrlinfo -a0
row 3 -cbinfo -a0
row 1 -cblearn -a0
row 2 -ctrlautorbld -enbl
row 6 -ctrlsetprop -trm
row 3 -ctrlpr -enblauto -day
row 4 -ctrlpr -setstarttime 0301202610
row "2+3L+P+1" -ctrlpr -start
row "1+P+1" -ctrlpr -stop
row "T" -pdinfo -pd[0:0]
row "T" -pdinfo
row 1 -pdlocate -start -pd[0:1]
row 1 -pdoffline -pd[0:6]
row 1 -pdmakegood -pd[0:6]
echo "prescribed: packets the command's own steps name (a PD action also looks up the device id"
echo "and sequence number first); L = LDs, P = PD queries until one qualifies, T = the temperature"
echo "page queries of each shown PD"
rm -rf "$WORK"
