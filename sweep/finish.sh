# shellcheck shell=bash disable=SC2154  # sourced by sweep/run.sh, which sets its variables
# The end of a sweep, sourced by sweep/run.sh once GNU parallel is done:
# the table from the runs' records, the failures and the runs that never
# ran, and, for a complete sweep only, the table, picture and record moved
# into place.

command_of_run="$bin/$program${args:+ $args} $option"
read -r ended failed not_run < <(awk -v work="$work" -v keep="$keep" \
  -v header="$(printf '%s\t' "${option#-}" seed $(field "$program" measures) | sed 's/\t$//')" \
  -v values="${value_list[*]}" -v seeds="$seeds" -v command="$command_of_run" \
  -f "$root/sweep/collect.awk" "$work/runs.txt" $([ "$keep" = 0 ] || echo "$work/runs.txt"))

# The failed runs: the first three with their command line, status and
# first lines of error output.
if [ "$failed" -gt 0 ]; then
  {
    echo "sweep: $failed of $total runs failed; their rows are missing from the table"
    head -n 3 "$work/failed.txt" | awk -F '\t' -v values="${value_list[*]}" -v seeds="$seeds" \
      -v command="$command_of_run" '
      BEGIN { split(values, value, " ") }
      { print "  " command " " value[int(($1 - 1) / seeds) + 1] " -seed " ($1 - 1) % seeds + 1
        print "    exit status " $2 ($2 == 0 ? ", no statistics" : "") ":"
        for (i = 3; i <= NF; i++) print "    | " $i }'
    [ "$failed" -le 3 ] || echo "  and $((failed - 3)) more"
  } >&2
fi
[ "$not_run" -eq 0 ] ||
  echo "sweep: $not_run of $total runs did not run$([ $interrupted = 1 ] && echo ': the sweep was interrupted')" >&2

if [ "$failed" -gt 0 ] || [ "$not_run" -gt 0 ]; then
  echo "sweep: the partial table of the $ended runs that ended well is $work/table.txt;" \
    "the earlier results in $out are untouched" >&2
  echo "sweep: to go on, run the same command with --resume: it runs the failed runs and those" \
    "that did not run" >&2
  [ $interrupted = 1 ] && exit 130
  exit 1
fi

# Complete: the picture and the record, then everything moved into place.
echo "$ended runs in $out/table.txt"
title="$program${args:+ $args}: $(field "$program" at) over $seeds seeds"
# A picture that cannot be drawn costs the sweep nothing else.
draw() {
  if [ "$(field "$program" reads)" = line ]; then
    gnuplot -c "$root/sweep/shares.gp" "$title" "$words ($option)"
  else
    gnuplot -c "$root/sweep/sweep.gp" "$title" "$words ($option)" "$(field "$program" ylabel)"
  fi <"$work/table.txt" >"$work/sweep.png"
}
if command -v gnuplot >/dev/null; then
  if draw; then
    echo "picture in $out/sweep.png"
  else
    rm -f "$work/sweep.png"
    echo "sweep: gnuplot failed: no picture" >&2
  fi
else
  echo "gnuplot is not installed: no picture (Debian: apt-get install gnuplot-nox)"
fi
. "$root/sweep/record.sh"
for file in table.txt sweep.png outputs.txt ro-crate-metadata.json SHA256SUMS; do
  if [ -f "$work/$file" ]; then mv "$work/$file" "$out/$file"; else rm -f "$out/$file"; fi
done
rm -rf "$work"
