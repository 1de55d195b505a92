#!/usr/bin/env bash
# Boundary sweep: runs every program of the suite with every option at
# boundary values (alone, and in pairs and groups that interact), each run in
# a sanitizer build under a time limit, and checks how each run ends:
#   - by exit, never by a signal or with a sanitizer report;
#   - with status 0 or 1, and status 1 only with a message on standard error.
# A run still going at the time limit is a "long run": it passes when no
# sanitizer report appeared (counts of 2147483647 generations, steps or
# points cannot end within any limit) and is listed for review.
#
#   tests/boundary_sweep.sh BIN_DIR [SOURCE_DIR]
#
# The options are read from each program's help screen, so new options are
# swept without changes here. Runs start in SOURCE_DIR (default: the folder
# above this script), where jobmatch finds its sample task file.
# Environment: SWEEP_TIMEOUT seconds per run (default 2), SWEEP_JOBS runs at
# a time (default 2), SWEEP_PROGRAMS to restrict the programs swept.
set -u -o pipefail

bin=${1:?usage: boundary_sweep.sh BIN_DIR [SOURCE_DIR]}
bin=$(cd "$bin" && pwd)
src=${2:-$(cd "$(dirname "$0")/.." && pwd)}
limit=${SWEEP_TIMEOUT:-2}
jobs=${SWEEP_JOBS:-2}
programs=(${SWEEP_PROGRAMS:-peakseek hillscan jobmatch tacticbreed tacticpool mapseries orbitpin})

# Giant requests fail as on a machine without that much memory, so they take
# the programs' own "malloc failed" path; memory kept until exit is by design.
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1:max_allocation_size_mb=1024:hard_rss_limit_mb=6144:exitcode=86
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86

values=(0 -1 1 2147483647 -2147483648 1e308 -1e308 1e-308 4.9e-324 inf -inf nan abc "")
pair_values=(0 -1 1 2 2147483647 -2147483648)
# Further values for options whose boundaries lie elsewhere.
declare -A extra=(
  [hlen]="15 16 31 32"          # the strategy table outgrows memory, then int
  [func]="log tent sin gauss"   # every map by name
  [specs]="/dev/null /"         # an empty file, a folder
)
# Options whose repeated work would make the swept runs slow; each run sets
# them small unless it sweeps that option itself.
declare -A caps=(
  [peakseek]="-gens 5"
  [hillscan]="-gens 5"
  [jobmatch]="-gens 3"
  [tacticbreed]="-gens 2 -size 2 -bouts 5 -rounds 5"
  [tacticpool]="-steps 50"
)
work_options=(size len gens hlen bouts rounds steps points skip)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cases=$work/cases
: >"$cases"
US=$'\x1f'

# One run: the program and its arguments, empty arguments included.
emit() {
  local IFS=$US
  printf '%s\n' "$*${US}END" >>"$cases"
}

. "$(dirname "${BASH_SOURCE[0]}")/../scripts/help_screen.sh"

# NAME KIND lines from the option entries of a help screen (KIND: string,
# switch, handler or number).
list_options() { help_entries "$bin/$1" | cut -f1,2 | tr '\t' ' '; }

# The capped options of a program, less those named in "$@".
capped() {
  local prog=$1
  shift
  local -a c=(${caps[$prog]:-})
  local i out=()
  for ((i = 0; i < ${#c[@]}; i += 2)); do
    local skip=0 o
    for o in "$@"; do [ "${c[i]}" = "$o" ] && skip=1; done
    [ $skip = 1 ] || out+=("${c[i]}" "${c[i+1]}")
  done
  [ ${#out[@]} -eq 0 ] || printf '%s\n' "${out[@]}"
}

values_for() { # option name without the dash
  printf '%s\n' "${values[@]}"
  local v
  for v in ${extra[$1]:-}; do printf '%s\n' "$v"; done
}

pair_values_for() {
  printf '%s\n' "${pair_values[@]}"
  local v
  for v in ${extra[$1]:-}; do printf '%s\n' "$v"; done
}

for prog in "${programs[@]}"; do
  if [ ! -x "$bin/$prog" ]; then
    echo "missing program $bin/$prog" >&2
    exit 1
  fi
  declare -A kind=()
  names=()
  while read -r name k; do
    kind[$name]=$k
    names+=("$name")
  done < <(list_options "$prog")
  if [ ${#names[@]} -eq 0 ]; then
    echo "$prog: no options found on its help screen" >&2
    exit 1
  fi

  # Every option alone (with the caps), at every value; switches once and twice.
  for name in "${names[@]}"; do
    mapfile -t base < <(capped "$prog" "$name")
    case ${kind[$name]} in
      switch)
        emit "$prog" "${base[@]}" "$name"
        emit "$prog" "${base[@]}" "$name" "$name" ;;
      handler) ;;
      *)
        while IFS= read -r v; do emit "$prog" "${base[@]}" "$name" "$v"; done \
          < <(values_for "${name#-}") ;;
    esac
  done

  # Pairs of the options that set how much work a run does.
  present=()
  for w in "${work_options[@]}"; do [ -n "${kind[-$w]:-}" ] && present+=("-$w"); done
  for ((i = 0; i < ${#present[@]}; i++)); do
    for ((j = i + 1; j < ${#present[@]}; j++)); do
      a=${present[i]} b=${present[j]}
      mapfile -t base < <(capped "$prog" "$a" "$b")
      while IFS= read -r va; do
        while IFS= read -r vb; do
          emit "$prog" "${base[@]}" "$a" "$va" "$b" "$vb"
        done < <(pair_values_for "${b#-}")
      done < <(pair_values_for "${a#-}")
    done
  done

  # Payoffs all at one value: zero, negative and non-finite sums.
  if [ -n "${kind[-CC]:-}" ] && [ -n "${kind[-DD]:-}" ]; then
    mapfile -t base < <(capped "$prog")
    for v in 0 -1 1e308 -1e308 inf nan; do
      emit "$prog" "${base[@]}" -CC "$v" -CD "$v" -DC "$v" -DD "$v"
    done
  fi

  # Initial populations (-I...) all at one value, and mixed signs summing to 0.
  pops=()
  for name in "${names[@]}"; do [[ $name == -I* ]] && pops+=("$name"); done
  if [ ${#pops[@]} -gt 1 ]; then
    mapfile -t base < <(capped "$prog")
    for v in 0 -1 1e308 -1e308 4.9e-324 inf -inf nan; do
      args=()
      for p in "${pops[@]}"; do args+=("$p" "$v"); done
      emit "$prog" "${base[@]}" "${args[@]}"
    done
    args=("${pops[0]}" 1 "${pops[1]}" -1)
    for p in "${pops[@]:2}"; do args+=("$p" 0); done
    emit "$prog" "${base[@]}" "${args[@]}"
    args=()
    for p in "${pops[@]}"; do args+=("$p" 0); done
    emit "$prog" "${base[@]}" "${args[@]}" -CC 0 -CD 0 -DC 0 -DD 0
    emit "$prog" "${base[@]}" "${args[@]}" -rounds 0
  fi

  # Control timings: every order of the switching times around the length.
  if [ -n "${kind[-on1]:-}" ] && [ -n "${kind[-off]:-}" ] && [ -n "${kind[-on2]:-}" ]; then
    t=(-1 0 1 2147483647)
    for a in "${t[@]}"; do for b in "${t[@]}"; do for c in "${t[@]}"; do for p in "${t[@]}"; do
      emit "$prog" -on1 "$a" -off "$b" -on2 "$c" -points "$p"
    done; done; done; done
  fi

  # Each map with its parameters at the boundaries.
  if [ -n "${kind[-func]:-}" ]; then
    for f in ${extra[func]}; do
      for name in -r -aux -x0; do
        [ -n "${kind[$name]:-}" ] || continue
        for v in 0 -1 2147483647 1e308 -1e308 4.9e-324 inf -inf nan; do
          emit "$prog" -func "$f" "$name" "$v"
        done
      done
    done
  fi
  unset kind
done

# Runs one case; writes one result line (and the details of a failure).
run_case() {
  local line=$1
  local -a f
  IFS=$US read -r -a f <<<"$line"
  unset 'f[${#f[@]}-1]'
  local prog=${f[0]}
  local -a args=("${f[@]:1}")
  local err=$work/err.$BASHPID
  timeout -k 2 "$limit" "$bin/$prog" "${args[@]}" >/dev/null 2>"$err"
  local status=$?
  local shown="$prog${args[*]:+ ${args[*]@Q}}"
  local verdict=PASS why=""
  if [ -s "$err" ] && grep -aqE 'ERROR: (Address|Leak)Sanitizer|runtime error:|Sanitizer:DEADLYSIGNAL|SUMMARY: (Address|UndefinedBehavior)Sanitizer|hard rss limit' "$err"; then
    verdict=FAIL why="sanitizer report"
  elif [ "$status" = 124 ]; then
    verdict=LONG
  elif [ "$status" -gt 128 ]; then
    verdict=FAIL why="killed by signal $((status - 128))"
  elif [ "$status" != 0 ] && [ "$status" != 1 ]; then
    verdict=FAIL why="exit status $status"
  elif [ "$status" = 1 ] && [ ! -s "$err" ]; then
    verdict=FAIL why="exit status 1 without a message"
  fi
  if [ $verdict = FAIL ]; then
    {
      echo "FAIL: $shown: $why"
      grep -aE -m1 -A12 'ERROR:|runtime error:|DEADLYSIGNAL' "$err" | sed 's/^/    /' ||
        tail -n 5 "$err" | sed 's/^/    /'
    } >"$err.$RANDOM.fail"
  fi
  : >"$err"
  printf '%s\t%s\n' "$verdict" "$shown"
}
export -f run_case
export work src bin limit US

total=$(wc -l <"$cases")
echo "boundary sweep: $total runs of ${programs[*]}, $limit s each at most, $jobs at a time"
start=$SECONDS
cd "$src" || exit 1
shuf --random-source=<(yes) "$cases" | tr '\n' '\0' |
  xargs -0 -n 10 -P "$jobs" bash -c 'for c; do run_case "$c"; done' _ >"$work/results"

passed=$(grep -c '^PASS' "$work/results")
long=$(grep -c '^LONG' "$work/results")
failed=$(grep -c '^FAIL' "$work/results")
if [ "$long" -gt 0 ]; then
  echo "long runs (stopped at $limit s without a sanitizer report):"
  grep '^LONG' "$work/results" | cut -f2 | sed 's/^/  /'
fi
shopt -s nullglob
for f in "$work"/*.fail; do cat "$f"; done
echo "sweep took $((SECONDS - start)) s; $long long runs"
echo "$((passed + long)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ $((passed + long + failed)) -eq "$total" ]
