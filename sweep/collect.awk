# Reads the runs' records that sweep/job.sh writes (runs.txt; a run run
# again after --resume has a later record, which counts) and writes, in
# the grid's order, into the folder work:
#   table.txt  the header and the row of every run that ended well
#   runs.tsv   seq, status, host, start, end, output checksums, value and
#              seed of every run that ended
#   failed.txt seq, status and the first error lines of every failed run
#   outputs.txt (keep=1) every run's output under a line naming the run
# and prints "ENDED FAILED NOT_RUN". Variables: work, header, values
# (blank-separated), seeds, command (a run's command up to its value),
# keep. With keep=1 it reads runs.txt twice (give it twice): the outputs,
# which may be large, are not held but sorted into the grid's order.
BEGIN {
  FS = "\t"; nvalues = split(values, value, " "); total = nvalues * seeds
  sorted = "sort -s -t '\t' -k1,1n -k2,2n | cut -f3- > '" work "/outputs.txt'"
}

# The first reading: each run's last complete record, less its outputs.
FNR == NR && $1 == "run" { seq = $2; text = ""; head = $0; from = FNR; next }
FNR == NR && $1 == "end" && $2 == seq { record[seq] = text; meta[seq] = head; start[seq] = from; seq = ""; next }
FNR == NR && seq != "" && ($1 == "row" || $1 == "error") { text = text $0 "\n" }
FNR == NR { next }

# The second: the outputs of those records, each line keyed by its run and
# stream for a stable sort.
$1 == "run" {
  kept = start[$2] == FNR ? $2 : ""
  if (kept != "") {
    v = value[int((kept - 1) / seeds) + 1]; s = (kept - 1) % seeds + 1
    print kept "\t1\t==> " command " " v " -seed " s " (standard output) <==" | sorted
    print kept "\t2\t==> " command " " v " -seed " s " (standard error) <==" | sorted
  }
  next
}
kept != "" && $1 == "stdout" { print kept "\t1\t" substr($0, 8) | sorted }
kept != "" && $1 == "stderr" { print kept "\t2\t" substr($0, 8) | sorted }
$1 == "end" { kept = "" }

function write(seq,  lines, n, i, f, v, s, row, errors) {
  split(meta[seq], f, "\t")
  v = value[int((seq - 1) / seeds) + 1]; s = (seq - 1) % seeds + 1
  printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", seq, f[3], f[4], f[5], f[6], f[7], f[8], v, s \
    > (work "/runs.tsv")
  n = split(record[seq], lines, "\n")
  row = ""; errors = ""
  for (i = 1; i < n; i++) {
    if (lines[i] ~ /^row\t/) row = substr(lines[i], 5)
    else errors = errors "\t" substr(lines[i], 7)
  }
  if (row != "") { print row > (work "/table.txt"); ended++ }
  else { print seq "\t" f[3] errors > (work "/failed.txt"); failed++ }
}

function summarise(  n) {
  print header > (work "/table.txt")
  printf "" > (work "/runs.tsv"); printf "" > (work "/failed.txt")
  for (n = 1; n <= total; n++) if (n in record) write(n); else not_run++
}

END {
  summarise()
  if (keep) { printf "" | sorted; close(sorted) }
  print ended + 0, failed + 0, not_run + 0
}
