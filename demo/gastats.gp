# Best and average fitness per generation of a genetic-algorithm run, read
# from its statistics blocks on standard input; the picture goes to standard
# output. Arguments: the program (for the title) and the label of the y
# axis (default "fitness").
#   build/bin/peakseek | gnuplot -c demo/gastats.gp peakseek > peakseek.png
#   build/bin/jobmatch | gnuplot -c demo/gastats.gp jobmatch total > jobmatch.png
#   build/bin/tacticbreed 2>&1 >/dev/null |
#     gnuplot -c demo/gastats.gp tacticbreed "payoff per round" > tacticbreed.png
# (tacticbreed writes its statistics to standard error.)
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"

# One "generation average best" line per block; the labels differ from
# program to program ("best value", "best score", "best average score").
set table $stats
plot "< awk '/^time = /{t = $3} /^average /{a = $NF} /^best (value|score|average score) *= /{print t, a, $NF}'" \
  using 1:2:3 with table
unset table

set title (ARGC >= 1 ? ARG1 : "genetic algorithm") . ": best and average per generation"
set xlabel "generation"
set ylabel (ARGC >= 2 ? ARG2 : "fitness")
set key bottom right
plot $stats using 1:3 with lines lw 2 title "best", \
     $stats using 1:2 with lines lw 2 title "average"
