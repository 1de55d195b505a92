# Turns the statistics blocks of peakseek, hillscan, jobmatch or tacticbreed
# into tab-separated columns under a header line: generation, average, best,
# then the program's other fields in the order it prints them (peakseek:
# best_x, best_dna; hillscan: best_x, best_y, best_dna; jobmatch: best_dna;
# tacticbreed: best_table). With -v last=1 only the last generation is kept.
#   peakseek | awk -f demo/gastats.awk > stats.tsv
#   tacticbreed 2>&1 >/dev/null | awk -f demo/gastats.awk
# Lines outside the blocks, such as tacticbreed's population, are skipped.

# The column of a block's key; the keys differ from program to program.
function column(key) {
  if (key == "time") return "generation"
  if (key ~ /^average (value|score)$/) return "average"
  if (key ~ /^best (value|score|average score)$/) return "best"
  if (key == "best") return "best_table"
  gsub(/ /, "_", key)
  return tolower(key)
}

# Ends the block read so far; the first one fixes the columns and the header.
function flush(  i, line) {
  if (!inblock) return
  inblock = 0
  if (ncols == 0) {
    cols[++ncols] = "generation"; cols[++ncols] = "average"; cols[++ncols] = "best"
    for (i = 1; i <= nkeys; i++)
      if (keys[i] !~ /^(generation|average|best)$/) cols[++ncols] = keys[i]
    for (i = 1; i <= ncols; i++) printf "%s%s", cols[i], (i < ncols ? "\t" : "\n")
  }
  line = ""
  for (i = 1; i <= ncols; i++) line = line (i > 1 ? "\t" : "") field[cols[i]]
  if (last) held = line; else print line
}

/^---$/ { flush(); inblock = 1; nkeys = 0; delete field; next }

inblock && / = / {
  key = $0; sub(/ *= .*/, "", key)
  value = $0; sub(/^[^=]*= */, "", value)
  if (key == "best (x, y)") {
    gsub(/[()]/, "", value); split(value, xy, /, */)
    add("best_x", xy[1]); add("best_y", xy[2])
  } else {
    gsub(/"/, "", value)
    add(column(key), value)
  }
  next
}

{ flush() }

function add(name, value) { keys[++nkeys] = name; field[name] = value }

END { flush(); if (last && held != "") print held }
