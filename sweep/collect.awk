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
# option, keep.
BEGIN { FS = "\t"; nvalues = split(values, value, " "); total = nvalues * seeds }

$1 == "run" { seq = $2; text = ""; head = $0; next }
$1 == "end" && $2 == seq { record[seq] = text; meta[seq] = head; seq = ""; next }
seq != "" { text = text $0 "\n" }

function write(seq,  lines, n, i, f, status, v, s, row, errors) {
  split(meta[seq], f, "\t")
  status = f[3]
  v = value[int((seq - 1) / seeds) + 1]; s = (seq - 1) % seeds + 1
  printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", seq, status, f[4], f[5], f[6], f[7], f[8], v, s \
    > (work "/runs.tsv")
  n = split(record[seq], lines, "\n")
  row = ""; errors = ""
  for (i = 1; i < n; i++) {
    if (lines[i] ~ /^row\t/) row = substr(lines[i], 5)
    else if (lines[i] ~ /^error\t/) errors = errors "\t" substr(lines[i], 7)
  }
  if (row != "") { print row > (work "/table.txt"); ended++ }
  else { print seq "\t" status errors > (work "/failed.txt"); failed++ }
  if (keep) {
    output("standard output", "stdout", lines, n, v, s)
    output("standard error", "stderr", lines, n, v, s)
  }
}

# A run's stream under a line that names the run and the stream.
function output(title, tag, lines, n, v, s,  i) {
  print "==> " command " " v " -seed " s " (" title ") <==" > (work "/outputs.txt")
  for (i = 1; i < n; i++)
    if (index(lines[i], tag "\t") == 1) print substr(lines[i], length(tag) + 2) > (work "/outputs.txt")
}

END {
  print header > (work "/table.txt")
  printf "" > (work "/runs.tsv"); printf "" > (work "/failed.txt")
  if (keep) printf "" > (work "/outputs.txt")
  for (n = 1; n <= total; n++) if (n in record) write(n); else not_run++
  print ended + 0, failed + 0, not_run + 0
}
