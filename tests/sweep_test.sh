#!/usr/bin/env bash
# Runs a tiny sweep through GNU parallel on the local cores and checks the
# table: one line per point of the grid, in the grid's order, each holding
# what the program itself reports for that value and seed in its last
# generation. Skipped (status 77) without GNU parallel.
# Usage: sweep_test.sh SOURCE_DIR BIN_DIR
set -u
src=${1:?usage: sweep_test.sh SOURCE_DIR BIN_DIR}
bin=${2:?usage: sweep_test.sh SOURCE_DIR BIN_DIR}

if ! command -v parallel >/dev/null; then
  echo "sweep_test: GNU parallel is not installed (Debian: apt-get install parallel); skipped"
  exit 77
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The last "average" and "best" numbers a program reports for one run.
last_stats() {
  "$@" 2>&1 | awk '/^average /{a = $NF} /^best (value|score|average score) *= /{b = $NF}
                   END {print a, b}'
}

# tacticbreed reports on standard error; the extra options and the options
# for parallel (here one job at a time) must reach every run.
small="-gens 3 -size 10 -bouts 5"
if ! "$src/sweep/run.sh" -p tacticbreed -o -noise -v "0 0.1" -s 2 -a "$small" \
     -b "$bin" -d "$out/tb" -- -j 1 > "$out/log" 2>&1; then
  cat "$out/log"; fail "the tacticbreed sweep did not succeed"
fi
table=$(grep -v '^#' "$out/tb/table.txt" 2>/dev/null)
[ "$(cut -d' ' -f1,2 <<<"$table" | tr '\n' ,)" = "0 1,0 2,0.1 1,0.1 2," ] ||
  fail "tacticbreed table does not follow the grid: $(tr '\n' , <<<"$table")"
while read -r value seed average best; do
  # shellcheck disable=SC2086
  want=$(last_stats "$bin/tacticbreed" $small -noise "$value" -seed "$seed")
  [ "$average $best" = "$want" ] ||
    fail "tacticbreed -noise $value -seed $seed: table has \"$average $best\", the run reports \"$want\""
done <<<"$table"

# peakseek reports on standard output.
if ! "$src/sweep/run.sh" -p peakseek -o -mrate -v "0.01 0.2" -s 1 -a "-gens 4" \
     -b "$bin" -d "$out/ps" > "$out/log" 2>&1; then
  cat "$out/log"; fail "the peakseek sweep did not succeed"
fi
row=$(grep '^0.2 1 ' "$out/ps/table.txt" 2>/dev/null | cut -d' ' -f3-)
want=$(last_stats "$bin/peakseek" -gens 4 -mrate 0.2 -seed 1)
[ -n "$row" ] && [ "$row" = "$want" ] ||
  fail "peakseek -mrate 0.2 -seed 1: table has \"$row\", the run reports \"$want\""

# tacticpool: the five shares of the last step, its option swept by default.
if ! "$src/sweep/run.sh" -p tacticpool -v "0.05" -s 2 -a "-steps 30" \
     -b "$bin" -d "$out/tp" > "$out/log" 2>&1; then
  cat "$out/log"; fail "the tacticpool sweep did not succeed"
fi
row=$(grep '^0.05 2 ' "$out/tp/table.txt" 2>/dev/null | cut -d' ' -f3-)
want=$("$bin/tacticpool" -steps 30 -noise 0.05 -seed 2 | tail -n 1 | awk '{print $1, $2, $3, $4, $5}')
[ -n "$row" ] && [ "$row" = "$want" ] ||
  fail "tacticpool -noise 0.05 -seed 2: table has \"$row\", the run's last step is \"$want\""

if command -v gnuplot >/dev/null; then
  [ "$(od -An -tx1 -N4 "$out/tb/sweep.png" 2>/dev/null | tr -d ' ')" = 89504e47 ] ||
    fail "no PNG picture of the sweep"
fi

# Runs that fail leave no line, and a sweep without a single line fails.
if "$src/sweep/run.sh" -o -nosuchoption -v 1 -s 1 -b "$bin" -d "$out/bad" \
     > "$out/log" 2>&1; then
  fail "a sweep in which every run fails reports success"
fi
# A failed run is shown with its command line and its own message, and the
# sweep fails even though other runs filled the table.
if "$src/sweep/run.sh" -p peakseek -o -len -v "1 4" -s 1 -a "-gens 2" -b "$bin" \
     -d "$out/bad" > "$out/log" 2>&1; then
  fail "a sweep in which a run fails reports success"
fi
grep -q -- "peakseek -gens 2 -len 1 -seed 1$" "$out/log" &&
  grep -q -- "-len must be from 2" "$out/log" ||
  fail "the failed run is not shown with its message: $(cat "$out/log")"

[ $failures -eq 0 ] || { echo "$failures problem(s) in the sweep"; exit 1; }
echo "sweep tables agree with the runs"
