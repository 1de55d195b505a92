# shellcheck shell=bash disable=SC2154  # sourced by sweep/run.sh, which sets its variables
# One job of a sweep, sourced by sweep/run.sh: sweep_runs runs a batch of
# grid points on whichever host GNU parallel (or srun) gives it and writes
# one record per run to standard output, which GNU parallel passes back
# whole, job by job. A record, every line tab-separated:
#   run SEQ STATUS HOST START END STDOUT_SHA256 STDERR_SHA256
#   row VALUE SEED MEASURES...        (status 0 and statistics found)
#   error LINE                        (its first lines of error output)
#   stdout LINE / stderr LINE         (with -k: every line it wrote)
#   end SEQ
# A record without its "end" line was cut off and does not count. Batching
# several runs to a job keeps GNU parallel's start-up cost per job from
# outweighing runs of a few milliseconds.

# sweep_runs "SEQ:VALUE:SEED,...": the settings come from the SWEEP_
# variables below, which reach other hosts through GNU parallel's --env and
# srun's environment. Fails when one of its runs failed, so that --resume
# runs the batch again.
sweep_runs() {
  local tmp run seq value seed status host start end sums row failed=0
  tmp=$(mktemp -d) || return 1
  host=${HOSTNAME:-$(uname -n)}
  cd "$SWEEP_HOME" || return 1
  for run in ${1//,/ }; do
    IFS=: read -r seq value seed <<<"$run"
    TZ=UTC printf -v start '%(%Y-%m-%dT%H:%M:%SZ)T' -1
    status=0
    # shellcheck disable=SC2086  # the options are meant to split
    "$SWEEP_BIN/$SWEEP_PROGRAM" $SWEEP_ARGS "$SWEEP_OPTION" "$value" -seed "$seed" \
      >"$tmp/stdout" 2>"$tmp/stderr" || status=$?
    TZ=UTC printf -v end '%(%Y-%m-%dT%H:%M:%SZ)T' -1
    sums=$(cd "$tmp" && sha256sum stdout stderr | awk '{ printf "\t%s", $1 }')
    printf 'run\t%s\t%s\t%s\t%s\t%s%s\n' "$seq" "$status" "$host" "$start" "$end" "$sums"
    row=""
    [ $status -ne 0 ] || row=$(sweep_row "$tmp/$SWEEP_STATS")
    if [ -n "$row" ]; then
      printf 'row\t%s\t%s\t%s\n' "$value" "$seed" "$row"
    else
      failed=1
      head -n 4 "$tmp/stderr" | sed 's/^/error\t/'
    fi
    if [ "$SWEEP_KEEP" = 1 ]; then
      sed 's/^/stdout\t/' "$tmp/stdout"
      sed 's/^/stderr\t/' "$tmp/stderr"
    fi
    printf 'end\t%s\n' "$seq"
  done
  rm -rf "$tmp"
  return $failed
}

# The measures of one run, tab-separated, from its statistics: the named
# columns of the last statistics block (demo/gastats.awk's reading), or
# the first fields of the last line (tacticpool's shares).
sweep_row() {
  if [ "$SWEEP_READS" = line ]; then
    tail -n 1 "$1" | awk -v n="$(wc -w <<<"$SWEEP_MEASURES")" '
      NF >= n { for (i = 1; i <= n; i++) printf "%s%s", $i, (i < n ? "\t" : "\n") }'
  else
    awk -v last=1 "$SWEEP_GASTATS" "$1" | awk -F '\t' -v want="$SWEEP_MEASURES" '
      NR == 1 { for (i = 1; i <= NF; i++) col[$i] = i; next }
      { n = split(want, w, " ")
        for (i = 1; i <= n; i++) printf "%s%s", (w[i] in col ? $col[w[i]] : ""), (i < n ? "\t" : "\n") }'
  fi
}

export -f sweep_runs sweep_row
export SWEEP_HOME=$root SWEEP_BIN=$bin SWEEP_PROGRAM=$program SWEEP_OPTION=$option
export SWEEP_ARGS=$args SWEEP_KEEP=$keep
SWEEP_STATS=$(field "$program" stats)
SWEEP_READS=$(field "$program" reads)
SWEEP_MEASURES=$(field "$program" measures)
SWEEP_GASTATS=$(cat "$root/demo/gastats.awk")
export SWEEP_STATS SWEEP_READS SWEEP_MEASURES SWEEP_GASTATS
job_env=()
for name in sweep_runs sweep_row SWEEP_HOME SWEEP_BIN SWEEP_PROGRAM SWEEP_OPTION SWEEP_ARGS \
  SWEEP_KEEP SWEEP_STATS SWEEP_READS SWEEP_MEASURES SWEEP_GASTATS; do
  job_env+=(--env "$name")
done
