#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a number of seconds, each seeded from the
# matching files under tests/data and the kept regression cases, and prints per target the
# executions and whether it found anything. Usage: fuzz/run.sh BUILD_DIR SECONDS [READER...]
set -uo pipefail
build=${1:?build directory}
seconds=${2:?seconds per target}
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/tests/data

# Seeds per reader: file name patterns searched under tests/data.
declare -A seeds=(
  [project_file]='*.vpf'
  [settings_file]='*.vsf'
  [ip_list]='*.vip'
  [csv_table]='*.csv *.txt'
  [ipxact]='*.gwip'
  [system_file]='*.tessel'
  [wizard_lines]='*.lst *.v *.vhd'
  [retrieval_lines]='*.v *.vhd'
  [catalog]='*.xml'
  [device_list]='devices.xml'
  [netlist]='*.json'
)

found_any=0
printf '%-16s %12s  %s\n' target executions result
[ $# -gt 0 ] || set -- "${!seeds[@]}"
for reader in "$@"; do
  [ -n "${seeds[$reader]:-}" ] || { echo "no fuzz target for $reader" >&2; exit 2; }
  program=$build/fuzz/fuzz_$reader
  [ -x "$program" ] || { echo "missing $program (build the fuzz_targets target first)" >&2; exit 2; }
  corpus=$build/fuzz-corpus/$reader
  artifacts=$build/fuzz-artifacts/$reader
  log=$build/fuzz-logs/$reader.log
  rm -rf "$artifacts"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  for pattern in ${seeds[$reader]}; do
    find "$data" -path "$data/fuzz" -prune -o -type f -name "$pattern" -size -1024k -print0 |
      xargs -0 -r cp -f -t "$corpus" 2>/dev/null
  done
  [ -d "$data/fuzz/$reader" ] && cp -f "$data/fuzz/$reader"/* "$corpus" 2>/dev/null
  "$program" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  [ -n "$runs" ] || runs=$(grep -o '^#[0-9]*' "$log" | tail -n 1 | tr -d '#')
  if [ $status -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    result="FOUND: see $log and $artifacts/"
    found_any=1
  else
    result="nothing found"
  fi
  printf '%-16s %12s  %s\n' "$reader" "${runs:-?}" "$result"
done
[ $found_any -eq 0 ] || echo "Keep each finding in tests/data/fuzz/<reader>/ once the reader is fixed."
exit $found_any
