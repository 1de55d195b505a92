# A sweep table on standard input (a header row, then "value seed average
# best ..." per run): the average and the best of every run as dots,
# and their means over the seeds of each value as lines. The values stand
# evenly spaced in the order of the table, whatever their size; the picture
# goes to standard output. Arguments: the title, the label of the x axis
# and the label of the y axis.
#   gnuplot -c sweep/sweep.gp "tacticbreed" "chance of a mistake" \
#     "payoff per round" < demo-out/sweep/table.txt > sweep.png
load system(sprintf("dirname '%s'", ARG0)) . "/../demo/png.gp"

# "place value seed average best": place counts the values from 0.
set table $runs
plot "< awk 'NR > 1 && NF >= 4 { if (!n || $1 != v) { v = $1; n++ } print n - 1, $0 }'" \
  using 1:2:3:4:5 with table
unset table

set title (ARGC >= 1 ? ARG1 : "sweep")
set xlabel (ARGC >= 2 ? ARG2 : "value")
set ylabel (ARGC >= 3 ? ARG3 : "last generation")
set key outside right top vertical Left reverse width -3
set xrange [-0.5:*]
set offsets 0, 0.5, graph 0.05, graph 0.05
plot $runs using 1:5:xtic(2) with points pt 7 ps 0.5 lc rgb "#e0a0a0" title "best of a run", \
     $runs using 1:5 smooth unique with linespoints pt 7 lw 2 lc rgb "#c02020" \
       title "mean best", \
     $runs using 1:4 with points pt 7 ps 0.5 lc rgb "#a0a0c0" title "average of a run", \
     $runs using 1:4 smooth unique with linespoints pt 7 lw 2 lc rgb "#203080" \
       title "mean average"
