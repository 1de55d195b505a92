#!/usr/bin/env bash
# Runs a grid of parameter values and seeds through GNU parallel, one run of
# a genetic-algorithm program or of tacticpool per point of the grid, and
# collects one row per run into a tab-separated table under a header row:
# the value, the seed, and the average and best of the last generation
# (with peakseek's best x, hillscan's best x and y, tacticbreed's best table)
# or tacticpool's five shares at the last step. Draws the table with
# sweep/sweep.gp (tacticpool: sweep/shares.gp) when gnuplot is installed,
# and records the sweep in ro-crate-metadata.json and SHA256SUMS.
#
# Usage: sweep/run.sh [options] [--resume] [-- PARALLEL_OPTIONS...]
#   -p PROGRAM  peakseek, hillscan, jobmatch, tacticbreed or tacticpool
#               (default tacticbreed)
#   -o OPTION   the option swept (default -noise for tacticbreed and
#               tacticpool, -mrate for the others)
#   -v VALUES   its values, blank-separated numbers (needed for an option
#               other than the default; for -noise "0 0.005 0.01 0.02 0.05
#               0.1 0.2", for -mrate "0.001 0.002 0.005 0.01 0.02 0.05 0.1")
#   -s SEEDS    seeds 1 to SEEDS for every value (default 10)
#   -a ARGS     further options for every run (default none; not -seed)
#   -b BIN_DIR  the programs' folder, the same path on every host
#               (default build/bin of the repository)
#   -d OUT_DIR  where table.txt, sweep.png and the record go
#               (default demo-out/sweep)
#   -n RUNS     runs per job (default: enough for about four jobs per core)
#   -k          keep every run's output, in OUT_DIR/outputs.txt
#   --resume    go on with the interrupted sweep of the same grid in OUT_DIR
#   -h, --help  this text
# Everything after -- goes to GNU parallel as it stands. By default the runs
# share the local cores; inside a Slurm allocation they go to its nodes and
# cores as srun steps. For example
#   sweep/run.sh -- --sshlogin 4/alpha,4/beta,:
# spreads them over the hosts alpha and beta and the local machine (":"),
# four jobs at a time on each; the hosts must reach BIN_DIR and the
# repository (a shared folder, or the same paths there) and accept ssh
# without a password. Every run starts in the repository's folder, where
# jobmatch finds data/hop1.dat, whichever host runs it.
# The new table is written in OUT_DIR/partial and moved into place only
# when every run has ended well: a sweep that fails or is interrupted
# leaves the earlier table untouched and says where its partial results
# are. A failed run is shown with its command line and the first lines of
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
per_job=""
keep=0
resume=0
given=("$@")

usage() { sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p'; }
die() { echo "sweep: $*" >&2; exit 1; }

# --resume may stand anywhere before "--"; getopts reads the rest.
flags=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  case $1 in
    --resume) resume=1 ;;
    --help) usage; exit 0 ;;
    *) flags+=("$1") ;;
  esac
  shift
done
parallel_options=("${@:2}")
set -- "${flags[@]}"
while getopts p:o:v:s:a:b:d:n:kh flag; do
  case $flag in
    p) program=$OPTARG ;;
    o) option=$OPTARG ;;
    v) values=$OPTARG ;;
    s) seeds=$OPTARG ;;
    a) args=$OPTARG ;;
    b) bin=$OPTARG ;;
    d) out=$OPTARG ;;
    n) per_job=$OPTARG ;;
    k) keep=1 ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 1 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 0 ] || die "unexpected \"$1\" (options for GNU parallel go after --)"


# ---------------------------------------------------------------------------
# Checks, all before any run.

# FIELD PROGRAM COLUMN: PROGRAM's entry in sweep/programs.tsv, which the
# page reads too.
field() {
  awk -F '\t' -v p="$1" -v c="$2" '
    NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i; next }
    $1 == p { print $col[c] }' "$root/sweep/programs.tsv"
}
# The help screen's entry for OPTION, or nothing when the program lacks it.
. "$root/scripts/help_screen.sh"
# Its fields: name, kind, default and help, separated by TABs.
help_entry() { help_entries "$bin/$program" | awk -F '\t' -v name="$1" '$1 == name'; }
number='^[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?$'

command -v parallel >/dev/null ||
  die "GNU parallel is not installed (Debian: apt-get install parallel)"
known=$(awk -F '\t' 'NR > 1 { print $1 }' "$root/sweep/programs.tsv")
if ! grep -qx -- "$program" <<<"$known"; then
  die "it sweeps $(awk '{ printf "%s%s", (NR > 1 ? (NR == n ? " or " : ", ") : ""), $0 }' \
    n="$(wc -l <<<"$known")" <<<"$known"), not \"$program\""
fi
[[ $seeds =~ ^[1-9][0-9]*$ ]] || die "-s wants a count of seeds"
[[ -z $per_job || $per_job =~ ^[1-9][0-9]*$ ]] || die "-n wants a count of runs"
[ -d "$bin" ] || die "no folder $bin (-b)"
bin=$(cd "$bin" && pwd)
[ -x "$bin/$program" ] || die "no program $bin/$program"
if [ -z "$option" ]; then
  option=$(field "$program" option)
  echo "sweep: no option given (-o); sweeping $program's $option"
fi
seed_is_ours() { die "-seed is the sweep's own: every value runs with seeds 1 to SEEDS (-s)"; }
[ "$option" = -seed ] && seed_is_ours
# Every option in ARGS must be the program's own, since a misspelt one would
# fail every run: a switch stands alone, any other option takes the next word.
# shellcheck disable=SC2206  # ARGS is meant to split into options
arg_words=($args)
for ((i = 0; i < ${#arg_words[@]}; i += step)); do
  name=${arg_words[i]}
  [ "$name" = -seed ] && seed_is_ours
  entry=$(help_entry "$name")
  [ -n "$entry" ] || die "$program has no option $name (in -a; see $bin/$program -help)"
  [ "$(cut -f 2 <<<"$entry")" = switch ] && step=1 || step=2
done
entry=$(help_entry "$option")
[ -n "$entry" ] || die "$program has no option $option (see $bin/$program -help)"
kind=$(cut -f 2 <<<"$entry")
[ "$kind" = number ] || die "$program's $option takes no number (it is a $kind option)"
if [ -z "$values" ]; then
  [ "$option" = "$(field "$program" option)" ] ||
    die "$option has no default values: give them with -v"
  values=$(field "$program" values)
fi
read -ra value_list <<<"$values"
[ ${#value_list[@]} -gt 0 ] || die "no values to sweep (-v)"
for value in "${value_list[@]}"; do
  [[ $value =~ $number ]] || die "-v: \"$value\" is not a number"
done
if ! mkdir -p "$out" 2>/dev/null || ! [ -w "$out" ]; then
  die "cannot write to the folder $out (-d)"
fi
out=$(cd "$out" && pwd)

# The x axis in words: the help text, as in "Mutation rate." -> "mutation rate".
words=$(cut -f 4 <<<"$entry" | sed -e 's/\.$//' -e 's/  */ /g')
words=$(tr '[:upper:]' '[:lower:]' <<<"${words:0:1}")${words:1}
total=$((${#value_list[@]} * seeds))

# ---------------------------------------------------------------------------
# The sweep's folder: partial/ holds the unfinished sweep: its grid, GNU
# parallel's job log and every ended run's record (runs.txt).

work=$out/partial
grid=$(printf '%s\n' "program $program" "option $option" "values ${value_list[*]}" \
  "seeds $seeds" "args $args")
if [ $resume = 1 ]; then
  [ -f "$work/grid" ] || die "no unfinished sweep in $out to resume"
  [ "$(cat "$work/grid")" = "$grid" ] ||
    die "$work holds a sweep of another grid, which --resume leaves as it is:
$(sed 's/^/  /' "$work/grid")"
  per_job=$(cat "$work/per_job")
  # A record cut off in mid-line must not swallow the next one's first line.
  [ -z "$(tail -c 1 "$work/runs.txt")" ] || echo >>"$work/runs.txt"
else
  [ ! -e "$work" ] || echo "sweep: starting afresh; the unfinished sweep in $work is dropped"
  rm -rf "$work"
  mkdir "$work" 2>/dev/null || die "cannot write to the folder $out (-d)"
  echo "$grid" >"$work/grid"
  if [ -z "$per_job" ]; then
    slots=${SLURM_NTASKS:-$(nproc)}
    per_job=$(((total + 4 * slots - 1) / (4 * slots)))
  fi
  echo "$per_job" >"$work/per_job"
  : >"$work/runs.txt"
fi
[ -e "$out/table.txt" ] &&
  echo "sweep: the earlier table $out/table.txt stays until this sweep is complete"
echo "sweep: $program $option over ${value_list[*]}, $seeds seeds each: $total runs"

# ---------------------------------------------------------------------------
# The runs.

. "$root/sweep/job.sh"
# The batches of runs, one per job: "seq:value:seed,..." in the grid's
# order, value by value, seed by seed.
batches() {
  local n=0 value seed batch=""
  for value in "${value_list[@]}"; do
    for seed in $(seq 1 "$seeds"); do
      n=$((n + 1))
      batch+=${batch:+,}$n:$value:$seed
      if [ $((n % per_job)) -eq 0 ] || [ $n -eq $total ]; then echo "$batch"; batch=""; fi
    done
  done
}
# GNU parallel's job log as the runs' records have it, for --resume: a
# sweep killed between a job's record and its line in the log (or the other
# way round) would otherwise run a job again, or never. A job whose runs all
# ended well is logged as done, one with a failed run as failed; the rest
# run again.
log_recorded_jobs() {
  [ -f "$work/joblog" ] || : >"$work/joblog"
  awk -F '\t' -v per="$per_job" -v total="$total" '
    FILENAME != ARGV[ARGC - 1] {
      if ($1 == "run") { seq = $2; good = 0 }
      if ($1 == "row") good = 1
      if ($1 == "end" && $2 == seq) ended[seq] = good
      next
    }
    FNR > 1 { logged[$1] = $0 }
    END {
      print "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand"
      for (job = 1; (job - 1) * per < total; job++) {
        done = 1; failed = 0
        for (n = (job - 1) * per + 1; n <= job * per && n <= total; n++)
          if (!(n in ended)) done = 0; else if (!ended[n]) failed = 1
        if (!done) continue
        if (job in logged) split(logged[job], f, "\t"); else f[7] = ""
        if (f[7] == failed "") print logged[job]
        else print job "\t:\t0\t0\t0\t0\t" failed "\t0\tsweep_runs"
      }
    }' "$work/runs.txt" "$work/joblog" >"$work/joblog.new"
  mv "$work/joblog.new" "$work/joblog"
}
job=(sweep_runs '{}')
if [ -n "${SLURM_JOB_ID:-}" ] && command -v srun >/dev/null; then
  job=(srun --nodes=1 --ntasks=1 --exact --quiet bash -c "'sweep_runs \"\$0\"'" '{}')
  parallel_options=(-j "${SLURM_NTASKS:-1}" "${parallel_options[@]}")
  echo "sweep: in Slurm allocation $SLURM_JOB_ID: ${SLURM_NTASKS:-1} runs at a time as srun steps"
fi
resuming=()
[ $resume = 1 ] && { log_recorded_jobs; resuming=(--resume-failed); }
progress=()
[ -t 2 ] && progress=(--bar)
interrupted=0
trap 'interrupted=1' INT TERM
[ -f "$work/start" ] || date -u +%Y-%m-%dT%H:%M:%SZ >"$work/start"
batches | parallel "${progress[@]}" --joblog "$work/joblog" "${resuming[@]}" \
  "${job_env[@]}" "${parallel_options[@]}" "${job[@]}" >>"$work/runs.txt" || true
end_time=$(date -u +%Y-%m-%dT%H:%M:%SZ)
trap - INT TERM

. "$root/sweep/finish.sh"
