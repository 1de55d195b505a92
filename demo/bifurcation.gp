# A bifurcation diagram: "r x" pairs on standard input, one point each; the
# picture goes to standard output. Argument: the title (default
# "bifurcation diagram").
#   for r in $(LC_ALL=C seq 0.7 0.001 1); do
#     echo "r $r"; build/bin/mapseries -r $r -skip 500 -points 150
#   done | awk '$1 == "r" {r = $2; next} {print r, $1}' |
#   gnuplot -c demo/bifurcation.gp > bifurcation.png
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"

set title (ARGC >= 1 ? ARG1 : "bifurcation diagram")
set xlabel "r"
set ylabel "x"
set xrange [0.7:1]
plot "< cat" using 1:2 with dots lc rgb "#203080" notitle
