# A mapseries time series, one value per line on standard input, against
# the iteration number; the picture goes to standard output. Argument: the
# title (default "mapseries").
#   build/bin/mapseries -points 60 | gnuplot -c demo/mapseries.gp > mapseries.png
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"

set title (ARGC >= 1 ? ARG1 : "mapseries")
set xlabel "t"
set ylabel "x(t)"
plot "< cat" using ($0 + 1):1 with linespoints pt 7 ps 0.4 lw 1 lc rgb "#203080" notitle
