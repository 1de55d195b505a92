# Best and average fitness per generation of a genetic-algorithm run, read
# from its statistics blocks on standard input; the picture goes to standard
# output. Arguments: the run (for the title), the label of the y axis
# (default "fitness") and, optionally, the best value known for the problem,
# drawn as a dashed line.
#   build/bin/peakseek | gnuplot -c demo/gastats.gp peakseek > peakseek.png
#   build/bin/jobmatch | gnuplot -c demo/gastats.gp jobmatch total 96 > jobmatch.png
#   build/bin/tacticbreed 2>&1 >/dev/null |
#     gnuplot -c demo/gastats.gp tacticbreed "payoff per round" > tacticbreed.png
# (tacticbreed writes its statistics to standard error.)
dir = system(sprintf("dirname '%s'", ARG0))
load dir . "/png.gp"

# The blocks as columns (generation, average, best, ...) under a header.
set datafile separator "\t"
set table $stats
plot "< awk -f '" . dir . "/gastats.awk'" skip 1 using 1:2:3 with table
unset table
set datafile separator whitespace

set title (ARGC >= 1 ? ARG1 : "genetic algorithm") . ": best and average per generation"
set xlabel "generation"
set ylabel (ARGC >= 2 ? ARG2 : "fitness")
set key bottom right
# Room above the best line, which often runs along its ceiling.
set offsets 0, 0, graph 0.12, graph 0.02
if (ARGC >= 3) {
  known = real(ARG3)
  plot $stats using 1:3 with lines lw 2 lc rgb "#c02020" title "best", \
       $stats using 1:2 with lines lw 2 lc rgb "#203080" title "average", \
       known with lines dt 2 lw 1.5 lc rgb "#404040" title sprintf("best possible (%g)", known)
} else {
  plot $stats using 1:3 with lines lw 2 lc rgb "#c02020" title "best", \
       $stats using 1:2 with lines lw 2 lc rgb "#203080" title "average"
}
