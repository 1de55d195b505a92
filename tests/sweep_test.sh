#!/usr/bin/env bash
# Runs tiny sweeps through GNU parallel on the local cores and checks the
# table (one row per point of the grid, in the grid's order, each holding
# what the program itself reports for that value and seed), that nothing
# earlier is lost when a sweep is refused, fails or is killed, that a
# resumed sweep gives the uninterrupted sweep's table, and that the record
# holds. Skipped (status 77) without GNU parallel.
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
tab=$'\t'

# The last "average" and "best" numbers a program reports for one run.
last_stats() {
  "$@" 2>&1 | awk '/^average /{a = $NF} /^best (value|score|average score) *= /{b = $NF}
                   END {print a "\t" b}'
}

# tacticbreed reports on standard error; the extra options and the options
# for parallel (here one job at a time) must reach every run.
small="-gens 3 -size 10 -bouts 5"
if ! "$src/sweep/run.sh" -p tacticbreed -o -noise -v "0 0.1" -s 2 -a "$small" \
     -b "$bin" -d "$out/tb" -- -j 1 > "$out/log" 2>&1; then
  cat "$out/log"; fail "the tacticbreed sweep did not succeed"
fi
[ "$(head -n 1 "$out/tb/table.txt")" = "noise${tab}seed${tab}average${tab}best${tab}best_table" ] ||
  fail "tacticbreed table's header: $(head -n 1 "$out/tb/table.txt")"
table=$(tail -n +2 "$out/tb/table.txt")
[ "$(cut -f1,2 <<<"$table" | tr '\t\n' ' ,')" = "0 1,0 2,0.1 1,0.1 2," ] ||
  fail "tacticbreed table does not follow the grid: $(tr '\n' , <<<"$table")"
while IFS=$'\t' read -r value seed average best _; do
  # shellcheck disable=SC2086
  want=$(last_stats "$bin/tacticbreed" $small -noise "$value" -seed "$seed")
  [ "$average$tab$best" = "$want" ] ||
    fail "tacticbreed -noise $value -seed $seed: table has \"$average $best\", the run reports \"$want\""
done <<<"$table"

# peakseek reports on standard output.
if ! "$src/sweep/run.sh" -p peakseek -o -mrate -v "0.01 0.2" -s 1 -a "-gens 4" \
     -b "$bin" -d "$out/ps" > "$out/log" 2>&1; then
  cat "$out/log"; fail "the peakseek sweep did not succeed"
fi
row=$(grep "^0.2${tab}1${tab}" "$out/ps/table.txt" 2>/dev/null | cut -f3,4)
want=$(last_stats "$bin/peakseek" -gens 4 -mrate 0.2 -seed 1)
[ -n "$row" ] && [ "$row" = "$want" ] ||
  fail "peakseek -mrate 0.2 -seed 1: table has \"$row\", the run reports \"$want\""

# jobmatch finds its default data/hop1.dat from any folder the sweep is
# started in.
(cd "$out" && "$src/sweep/run.sh" -p jobmatch -v 0.01 -s 1 -a "-gens 2" -b "$bin" -d jm) \
  > "$out/log" 2>&1 || fail "a jobmatch sweep started outside the repository failed: $(cat "$out/log")"

# tacticpool: the five shares of the last step, its option swept by default.
if ! "$src/sweep/run.sh" -p tacticpool -v "0.05" -s 2 -a "-steps 30" \
     -b "$bin" -d "$out/tp" > "$out/log" 2>&1; then
  cat "$out/log"; fail "the tacticpool sweep did not succeed"
fi
row=$(grep "^0.05${tab}2${tab}" "$out/tp/table.txt" 2>/dev/null | cut -f3-)
want=$("$bin/tacticpool" -steps 30 -noise 0.05 -seed 2 | tail -n 1 | cut -f1-5)
[ -n "$row" ] && [ "$row" = "$want" ] ||
  fail "tacticpool -noise 0.05 -seed 2: table has \"$row\", the run's last step is \"$want\""

if command -v gnuplot >/dev/null; then
  [ "$(od -An -tx1 -N4 "$out/tb/sweep.png" 2>/dev/null | tr -d ' ')" = 89504e47 ] ||
    fail "no PNG picture of the sweep"
fi

# The record: every checksum holds, and every run's recorded command gives
# its recorded output again.
(cd "$out/ps" && sha256sum --quiet -c SHA256SUMS) || fail "the record's checksums do not hold"
sed -n 's/^ *{"@id":"#run-[0-9]*",.*"name":"\([^"]*\)".*"stdoutSha256":"\([0-9a-f]*\)".*/\1\t\2/p' \
  "$out/ps/ro-crate-metadata.json" > "$out/runs"
[ "$(wc -l < "$out/runs")" = 2 ] || fail "the record names $(wc -l < "$out/runs") runs, not 2"
while IFS=$'\t' read -r line sum; do
  # shellcheck disable=SC2086
  [ "$(cd "$src" && $line | sha256sum | cut -d' ' -f1)" = "$sum" ] ||
    fail "the recorded run \"$line\" gives other output than recorded"
done < "$out/runs"

# Sweeps refused before any run: status 1, the reason, nothing written.
cp -r "$out/tb" "$out/kept"
while IFS='|' read -r flags message; do
  eval "set -- $flags"
  if "$src/sweep/run.sh" "$@" -s 1 -b "$bin" -d "$out/tb" > "$out/log" 2>&1; then
    fail "sweep $flags is not refused"
  fi
  grep -qF -- "$message" "$out/log" || fail "sweep $flags: no \"$message\" in: $(cat "$out/log")"
done <<'EOF'
-v "0.01 abc -1"|"abc" is not a number
-p orbitpin -o -gauss|not "orbitpin"
-p peakseek -o -gens|-gens has no default values
-v " "|no values to sweep
-o -seed -v 1|-seed is the sweep's own
-a "-gens 2 -seed 4"|-seed is the sweep's own
-a "-gens 2 -nosie 0.1"|tacticbreed has no option -nosie (in -a
-o -nosuchoption -v 1|tacticbreed has no option -nosuchoption
-p jobmatch -o -specs -v 1|jobmatch's -specs takes no number
-p peakseek -v 1 --resume|no unfinished sweep
EOF
"$src/sweep/run.sh" -v 0 -s 1 -b "$bin" -d /proc/sweep > "$out/log" 2>&1 &&
  fail "a sweep into an unwritable folder is not refused"
grep -q "cannot write to the folder /proc/sweep" "$out/log" || fail "unwritable folder: $(cat "$out/log")"

# A failed run is shown with its command line and its own message; the
# sweep fails, and the earlier table and picture stay as they were.
if "$src/sweep/run.sh" -p tacticbreed -o -hlen -v "0 1" -s 1 -a "$small" -b "$bin" \
     -d "$out/tb" > "$out/log" 2>&1; then
  fail "a sweep in which a run fails reports success"
fi
grep -q -- "tacticbreed $small -hlen 0 -seed 1$" "$out/log" && grep -q -- "-hlen must be" "$out/log" ||
  fail "the failed run is not shown with its message: $(cat "$out/log")"
grep -q "partial table of the 1 runs that ended well is $out/tb/partial/table.txt" "$out/log" ||
  fail "the failed sweep does not say where its partial table is: $(cat "$out/log")"
diff -r -x partial "$out/kept" "$out/tb" > /dev/null || fail "a failed sweep changed the earlier results"

# Killed midway (as a host or an allocation ends), then resumed: the table
# of an uninterrupted sweep, byte for byte. --resume on another grid
# changes nothing.
grid=(-p tacticbreed -v "0 0.1" -s 4 -a "-gens 300" -n 1 -b "$bin")
"$src/sweep/run.sh" "${grid[@]}" -d "$out/whole" > "$out/log" 2>&1 || fail "the whole sweep failed"
setsid "$src/sweep/run.sh" "${grid[@]}" -d "$out/cut" -- -j 1 > "$out/log" 2>&1 &
sweep=$!
for _ in $(seq 100); do
  [ "$(grep -cs '^end' "$out/cut/partial/runs.txt")" -ge 2 ] 2>/dev/null && break
  sleep 0.1
done
{ kill -KILL -- -$sweep; wait $sweep; } 2>/dev/null
ended=$(grep -c '^end' "$out/cut/partial/runs.txt")
[ "$ended" -lt 8 ] || fail "the sweep ended before it was killed; the resume test tests nothing"
"$src/sweep/run.sh" "${grid[@]:0:6}" -s 5 -a "-gens 300" -n 1 -b "$bin" -d "$out/cut" --resume \
  > "$out/log" 2>&1 && fail "--resume on another grid succeeds"
grep -q "holds a sweep of another grid" "$out/log" || fail "--resume on another grid: $(cat "$out/log")"
# The resumed sweep runs through a stand-in that counts the runs (and not
# the look at the help screen).
mkdir "$out/counted"
printf '#!/bin/sh\ncase "$*" in *-seed*) echo >> "%s" ;; esac\nexec "%s" "$@"\n' "$out/count" \
  "$bin/tacticbreed" > "$out/counted/tacticbreed"
chmod +x "$out/counted/tacticbreed"
"$src/sweep/run.sh" "${grid[@]}" -b "$out/counted" -d "$out/cut" --resume > "$out/log" 2>&1 ||
  { cat "$out/log"; fail "the resumed sweep failed"; }
[ "$(wc -l < "$out/count")" = $((8 - ended)) ] ||
  fail "the resumed sweep ran $(wc -l < "$out/count") runs; $ended of 8 had ended before"
cmp -s "$out/whole/table.txt" "$out/cut/table.txt" ||
  fail "the resumed table differs from the uninterrupted one"
[ ! -e "$out/whole/partial" ] || fail "a complete sweep leaves partial/ behind"

[ $failures -eq 0 ] || { echo "$failures problem(s) in the sweep"; exit 1; }
echo "sweep tables agree with the runs"
