# A tacticpool sweep table on standard input (a header row, then "value
# seed" and the five shares per run): every run's shares as
# dots and their means over the seeds of each value as lines, one colour
# and point shape per strategy. The values stand evenly spaced in the order
# of the table; the picture goes to standard output. Arguments: the title
# and the label of the x axis.
#   gnuplot -c sweep/shares.gp "tacticpool" "probability of noise" \
#     < demo-out/sweep/table.txt > sweep.png
load system(sprintf("dirname '%s'", ARG0)) . "/../demo/png.gp"

# "place value seed shares...": place counts the values from 0.
set table $runs
plot "< awk 'NR > 1 && NF >= 7 { if (!n || $1 != v) { v = $1; n++ } print n - 1, $0 }'" \
  using 1:2:3:4:5:6:7:8 with table
unset table

set title (ARGC >= 1 ? ARG1 : "sweep")
set xlabel (ARGC >= 2 ? ARG2 : "value")
set ylabel "share at the last step"
set key outside right top
set xrange [-0.5:*]
set yrange [-0.03:1.03]
set offsets 0, 0.5, 0, 0
names  = "All-C TFT Random Pavlov All-D"
colors = "#3060c0 #20a040 #909090 #e08000 #c02020"
plot for [i = 4:8] $runs using 1:i:xtic(2) with points pt (i + 1) ps 0.6 \
       lc rgb word(colors, i - 3) notitle, \
     for [i = 4:8] $runs using 1:i smooth unique with linespoints pt (i + 1) lw 2 \
       lc rgb word(colors, i - 3) title word(names, i - 3)
