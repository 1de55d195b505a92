# The five population shares of a tacticpool run over time, read from its
# lines on standard input; the picture goes to standard output. Argument:
# the run, for the title (default "tacticpool").
#   build/bin/tacticpool -steps 200 | gnuplot -c demo/tacticpool.gp > tacticpool.png
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"

set table $pool
plot "< cat" using 0:1:2:3:4:5 with table
unset table

set title (ARGC >= 1 ? ARG1 : "tacticpool") . ": population shares"
set xlabel "step"
set ylabel "population share"
set yrange [0:1]
set key outside right top
names  = "All-C TFT Random Pavlov All-D"
colors = "#3060c0 #20a040 #909090 #e08000 #c02020"
plot for [i = 2:6] $pool using 1:i with lines lw 2 \
  lc rgb word(colors, i - 1) title word(names, i - 1)
