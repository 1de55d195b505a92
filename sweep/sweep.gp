# A sweep table on standard input ("value seed average best" per run, lines
# starting with # ignored): the average score of every run as a dot, and the
# mean over the seeds of each value as a line; the picture goes to standard
# output. Arguments: the title and the label of the x axis.
#   sweep/run.sh && gnuplot -c sweep/sweep.gp tacticbreed -noise \
#     < demo-out/sweep/table.txt > sweep.png
load system(sprintf("dirname '%s'", ARG0)) . "/../demo/png.gp"

set table $runs
plot "< cat" using 1:3 with table
unset table

set title (ARGC >= 1 ? ARG1 : "sweep")
set xlabel (ARGC >= 2 ? ARG2 : "value")
set ylabel "population average, last generation"
set key top right
set offsets graph 0.02, graph 0.02, graph 0.05, graph 0.05
plot $runs using 1:2 with points pt 7 ps 0.6 lc rgb "#909090" title "one run", \
     $runs using 1:2 smooth unique with linespoints pt 7 lw 2 lc rgb "#c02020" \
       title "mean over the seeds"
