#!/usr/bin/env bash
# Runs a grid of parameter values and seeds through GNU parallel, one run of
# a genetic-algorithm program or of tacticpool per point of the grid, and
# collects one summary line per run into a table: the value, the seed, and
# the average and best of the last generation (tacticpool: the five shares
# at the last step). Draws the table with sweep/sweep.gp (tacticpool:
# sweep/shares.gp) when gnuplot is installed.
#
# Usage: sweep/run.sh [options] [-- PARALLEL_OPTIONS...]
#   -p PROGRAM  peakseek, hillscan, jobmatch, tacticbreed or tacticpool
#               (default tacticbreed)
#   -o OPTION   the option swept (default -noise for tacticbreed and
#               tacticpool, -mrate for the others)
#   -v VALUES   its values, blank-separated (default for -noise
#               "0 0.005 0.01 0.02 0.05 0.1 0.2", for -mrate
#               "0.001 0.002 0.005 0.01 0.02 0.05 0.1")
#   -s SEEDS    seeds 1 to SEEDS for every value (default 10)
#   -a ARGS     further options for every run (default none)
#   -b BIN_DIR  the programs' folder, the same path on every host
#               (default build/bin of the repository)
#   -d OUT_DIR  where table.txt and sweep.png go (default demo-out/sweep)
#   -h, --help  this text
# Everything after -- goes to GNU parallel as it stands. By default the runs
# share the local cores (one job per core); for example
#   sweep/run.sh -- --sshlogin 4/alpha,4/beta,:
# spreads them over the hosts alpha and beta and the local machine (":"),
# four jobs at a time on each; the hosts must reach BIN_DIR (a shared
# folder, or the same build there) and accept ssh without a password.
# A run that fails is shown with its command line and the first lines of
# its error output; the sweep then ends with status 1.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
program=tacticbreed
option=""
values=""
seeds=10
args=""
bin=$root/build/bin
out=$root/demo-out/sweep

usage() { sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p'; }
[ "${1:-}" = --help ] && { usage; exit 0; }
while getopts p:o:v:s:a:b:d:h flag; do
  case $flag in
    p) program=$OPTARG ;;
    o) option=$OPTARG ;;
    v) values=$OPTARG ;;
    s) seeds=$OPTARG ;;
    a) args=$OPTARG ;;
    b) bin=$OPTARG ;;
    d) out=$OPTARG ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ "${1:-}" = -- ] && shift

die() { echo "sweep: $*" >&2; exit 1; }
command -v parallel >/dev/null ||
  die "GNU parallel is not installed (Debian: apt-get install parallel)"
[[ $seeds =~ ^[1-9][0-9]*$ ]] || die "-s wants a count of seeds"
bin=$(cd "$bin" && pwd)
[ -x "$bin/$program" ] || die "no program $bin/$program"

# The help screen's entry for OPTION: "-name  Help text. (default)", with
# its continuation lines joined; empty when the program has no such option.
. "$root/scripts/help_screen.sh"
help_entry() { help_entries "$bin/$program" | awk -v name="$1" '$1 == name'; }

if [ -z "$option" ]; then
  case $program in tacticbreed | tacticpool) option=-noise ;; *) option=-mrate ;; esac
  echo "sweep: no option given (-o); sweeping $program's $option"
fi
if [ -z "$values" ]; then
  case $option in
    -mrate) values="0.001 0.002 0.005 0.01 0.02 0.05 0.1" ;;
    *) values="0 0.005 0.01 0.02 0.05 0.1 0.2" ;;
  esac
fi
entry=$(help_entry "$option")
[ -n "$entry" ] || die "$program has no option $option (see $bin/$program -help)"
# The x axis in words: the help text without the default, as in
# "Mutation rate. (0.01)" -> "mutation rate".
words=$(sed -e 's/^ *[^ ]* *//' -e 's/ *([^)]*) *$//' -e 's/\.$//' -e 's/  */ /g' <<<"$entry")
words=$(tr '[:upper:]' '[:lower:]' <<<"${words:0:1}")${words:1}

mkdir -p "$out"
out=$(cd "$out" && pwd)
table=$out/table.txt
[ -e "$table" ] && echo "sweep: replacing the earlier table $table"

read -ra value_list <<<"$values"
total=$((${#value_list[@]} * seeds))
echo "sweep: $program $option over ${value_list[*]}, $seeds seeds each: $total runs"

runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT
# Each run's standard output and error are kept apart under its sequence
# number ({#}), on this machine whichever host ran it; the job log has its
# exit status and command line. Sequence numbers follow the grid, value by
# value, seed by seed.
progress=()
[ -t 2 ] && progress=(--bar)
# shellcheck disable=SC2086  # ARGS is meant to split into options
parallel "${progress[@]}" --results "$runs/{#}" --joblog "$runs/joblog" "$@" \
  "$bin/$program" $args "$option" '{1}' -seed '{2}' \
  ::: "${value_list[@]}" ::: $(seq 1 "$seeds") >/dev/null || true

# The exit status (a signal counts as 128+N) and the command line of every
# run that ended, by sequence number.
declare -A status=() command=()
while IFS=$'\t' read -r seq _ _ _ _ _ exitval signal line; do
  [ "$seq" = Seq ] && continue
  status[$seq]=$((signal ? 128 + signal : exitval))
  command[$seq]=$line
done < <(cat "$runs/joblog" 2>/dev/null)

# tacticbreed writes its statistics to standard error, the others to
# standard output.
stats_of() { [ "$program" = tacticbreed ] && echo "$runs/$1.err" || echo "$runs/$1"; }

# A run's line of the table: the value, the seed, and the average and best
# of its last generation, or tacticpool's five shares at its last step.
row_of() {
  if [ "$program" = tacticpool ]; then
    tail -n 1 "$runs/$1" | awk -v v="$2" -v s="$3" '{ print v, s, $1, $2, $3, $4, $5 }'
  else
    awk -v last=1 -f "$root/demo/gastats.awk" "$(stats_of "$1")" |
      awk -F '\t' -v v="$2" -v s="$3" 'NR == 2 { print v, s, $2, $3 }'
  fi
}
if [ "$program" = tacticpool ]; then
  columns="seed and the shares of All-C, TFT, Random, Pavlov and All-D at the last step"
else
  columns="seed, average and best of the last generation"
fi

failed=()
{
  echo "# $program${args:+ $args}: $option, $columns"
  n=0
  for value in "${value_list[@]}"; do
    for seed in $(seq 1 "$seeds"); do
      n=$((n + 1))
      if [ "${status[$n]:-}" != 0 ]; then failed+=("$n"); continue; fi
      row_of "$n" "$value" "$seed"
    done
  done
} > "$table"

# A failed run: its command line, its status and the first lines it wrote
# to standard error.
show_failure() {
  if [ -z "${status[$1]:-}" ]; then echo "  run $1 did not end"; return; fi
  echo "  ${command[$1]}"
  echo "    exit status ${status[$1]}:"
  head -n 4 "$runs/$1.err" 2>/dev/null | sed 's/^/    | /'
}

if [ ${#failed[@]} -gt 0 ]; then
  {
    echo "sweep: ${#failed[@]} of $total runs failed; their lines are missing from the table"
    for n in "${failed[@]:0:3}"; do show_failure "$n"; done
    [ ${#failed[@]} -le 3 ] || echo "  and $((${#failed[@]} - 3)) more"
  } >&2
fi

count=$(($(wc -l < "$table") - 1))
echo "$count runs in $table"
[ "$count" -gt 0 ] || exit 1
if command -v gnuplot >/dev/null; then
  case $program in
    tacticbreed) measure="payoff per round" ;;
    jobmatch) measure=total ;;
    *) measure=fitness ;;
  esac
  if [ "$program" = tacticpool ]; then
    gnuplot -c "$root/sweep/shares.gp" "$program${args:+ $args}: last step over $seeds seeds" \
      "$words ($option)" < "$table" > "$out/sweep.png"
  else
    gnuplot -c "$root/sweep/sweep.gp" "$program${args:+ $args}: last generation over $seeds seeds" \
      "$words ($option)" "$measure, last generation" < "$table" > "$out/sweep.png"
  fi
  echo "picture in $out/sweep.png"
else
  echo "gnuplot is not installed: no picture (Debian: apt-get install gnuplot-nox)"
fi
[ ${#failed[@]} -eq 0 ]
