# shellcheck shell=bash disable=SC2154  # sourced by sweep/run.sh, which sets its variables
# The record of a complete sweep, sourced by sweep/run.sh: in the folder
# work, ro-crate-metadata.json (an RO-Crate of the Process Run Crate
# profile: the suite and its version, the sweep's and every run's command
# line, seed, option value, host, times, status and output checksums, and
# the checksums of the files kept) and SHA256SUMS, which `sha256sum -c`
# checks. web/src/record.mjs builds the same JSON from the same fields.

# The sweep's command line as given, --resume left out: the resumed sweep
# is the same sweep.
sweep_command=sweep/run.sh
for word in "${given[@]}"; do
  [ "$word" != --resume ] || continue
  [[ $word =~ ^[-A-Za-z0-9_./:=,+@%]+$ ]] || word="'${word//\'/\'\\\'\'}'"
  sweep_command+=" $word"
done
commit=""
if command -v git >/dev/null && git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
  commit=$(git -C "$root" rev-parse HEAD)
fi
# name, format, size and checksum of every file the record covers.
: >"$work/files.tsv"
for file in table.txt:text/tab-separated-values sweep.png:image/png outputs.txt:text/plain; do
  [ -f "$work/${file%%:*}" ] || continue
  printf '%s\t%s\t%s\t%s\n' "${file%%:*}" "${file#*:}" "$(wc -c <"$work/${file%%:*}")" \
    "$(sha256sum "$work/${file%%:*}" | cut -d' ' -f1)" >>"$work/files.tsv"
done
awk -v version="$(cat "$root/VERSION")" -v commit="$commit" -v command="$sweep_command" \
  -v start="$(cat "$work/start")" -v end="$end_time" -v program="$program" -v option="$option" \
  -v values="${value_list[*]}" -v seeds="$seeds" -v run_command="$command_of_run" \
  -v folder="$root" -f "$root/sweep/record.awk" "$work/files.tsv" "$work/runs.tsv" \
  >"$work/ro-crate-metadata.json"
(cd "$work" && sha256sum $(cut -f1 files.tsv) ro-crate-metadata.json >SHA256SUMS)
rm -f "$work/files.tsv"
