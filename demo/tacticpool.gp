# The five population shares of a tacticpool run over time, read from its
# lines on standard input (the first line is step 0); the picture goes to
# standard output. Arguments: the run, for the title (default
# "tacticpool"), and "log" for a logarithmic step axis, which shows the
# first few steps, where the weak strategies die out, beside the long rest
# (step 0 is then left out).
#   build/bin/tacticpool -steps 60 | gnuplot -c demo/tacticpool.gp > tacticpool.png
#   build/bin/tacticpool -steps 1000 -noise 0.05 |
#     gnuplot -c demo/tacticpool.gp "tacticpool -noise 0.05" log > noise.png
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"

set table $pool
plot "< cat" using 0:1:2:3:4:5 with table
unset table

set title (ARGC >= 1 ? ARG1 : "tacticpool") . ": population shares"
set xlabel "step"
set ylabel "population share"
if (ARGC >= 2 && ARG2 eq "log") {
  set logscale x
  set xrange [1:*]
}
set autoscale xfix
# A little room below 0 and above 1, so that no share runs along an axis.
set yrange [-0.03:1.03]
set key outside right top
names  = "All-C TFT Random Pavlov All-D"
colors = "#3060c0 #20a040 #909090 #e08000 #c02020"
plot for [i = 2:6] $pool using 1:i with lines lw 2 \
  lc rgb word(colors, i - 1) title word(names, i - 1)
