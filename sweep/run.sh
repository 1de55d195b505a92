#!/usr/bin/env bash
# Runs a grid of parameter values and seeds through GNU parallel, one run of
# a genetic-algorithm program per point of the grid, and collects one
# summary line per run into a table: the value, the seed, and the average
# and best of the last generation. Draws the table with sweep/sweep.gp when
# gnuplot is installed.
#
# Usage: sweep/run.sh [options] [-- PARALLEL_OPTIONS...]
#   -p PROGRAM  peakseek, hillscan, jobmatch or tacticbreed (default tacticbreed)
#   -o OPTION   the option swept (default -noise)
#   -v VALUES   its values, blank-separated (default "0 0.005 0.01 0.02 0.05 0.1 0.2")
#   -s SEEDS    seeds 1 to SEEDS for every value (default 10)
#   -a ARGS     further options for every run (default none)
#   -b BIN_DIR  the programs' folder, the same path on every host
#               (default build/bin of the repository)
#   -d OUT_DIR  where table.txt and sweep.png go (default demo-out/sweep)
# Everything after -- goes to GNU parallel as it stands. By default the runs
# share the local cores (one job per core); for example
#   sweep/run.sh -- --sshlogin 4/alpha,4/beta,:
# spreads them over the hosts alpha and beta and the local machine (":"),
# four jobs at a time on each; the hosts must reach BIN_DIR (a shared
# folder, or the same build there) and accept ssh without a password.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
program=tacticbreed
option=-noise
values="0 0.005 0.01 0.02 0.05 0.1 0.2"
seeds=10
args=""
bin=$root/build/bin
out=$root/demo-out/sweep

usage() { sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p' >&2; exit 1; }
while getopts p:o:v:s:a:b:d: flag; do
  case $flag in
    p) program=$OPTARG ;;
    o) option=$OPTARG ;;
    v) values=$OPTARG ;;
    s) seeds=$OPTARG ;;
    a) args=$OPTARG ;;
    b) bin=$OPTARG ;;
    d) out=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ "${1:-}" = -- ] && shift

command -v parallel >/dev/null ||
  { echo "sweep: GNU parallel is not installed (Debian: apt-get install parallel)" >&2; exit 1; }
[[ $seeds =~ ^[1-9][0-9]*$ ]] || { echo "sweep: -s wants a count of seeds" >&2; exit 1; }
bin=$(cd "$bin" && pwd)
[ -x "$bin/$program" ] || { echo "sweep: no program $bin/$program" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
table=$out/table.txt

label="$program${args:+ $args}"
read -ra value_list <<<"$values"
# Every statistics line of every run, tagged "VALUE SEED<tab>" by
# parallel; tacticbreed writes its statistics to standard error, the others
# to standard output, so both streams are taken. -k keeps the grid's order.
# shellcheck disable=SC2086  # ARGS is meant to split into options
runs=$(parallel -k --tag "$@" \
  "$bin/$program" $args "$option" {1} -seed {2} '2>&1' \
  ::: "${value_list[@]}" ::: $(seq 1 "$seeds")) ||
  echo "sweep: some runs failed; their lines are missing from the table" >&2

# The last average and best of each run: the labels differ from program to
# program ("average value", "best value", "best score", "best average score").
{
  echo "# $label: $option, seed, average and best of the last generation"
  awk -F '\t' '
    { key = $1; line = $2; value = line; sub(/.*= */, "", value) }
    !(key in seen) { seen[key] = 1; order[++n] = key }
    line ~ /^average / { average[key] = value }
    line ~ /^best (value|score|average score) *= / { best[key] = value }
    END {
      for (i = 1; i <= n; i++)
        if (order[i] in best) print order[i], average[order[i]], best[order[i]]
    }' <<<"$runs"
} > "$table"

count=$(($(wc -l < "$table") - 1))
echo "$count runs in $table"
[ "$count" -gt 0 ] || exit 1
if command -v gnuplot >/dev/null; then
  gnuplot -c "$root/sweep/sweep.gp" "$label: last generation over $seeds seeds" \
    "$option" < "$table" > "$out/sweep.png"
  echo "picture in $out/sweep.png"
else
  echo "gnuplot is not installed: no picture (Debian: apt-get install gnuplot-nox)"
fi
