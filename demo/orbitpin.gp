# An orbitpin run, read from its lines on standard input: x(t) above with the
# control windows shaded, the perturbation p(t) below; the picture goes to
# standard output. Arguments: on1, off and on2 as given to orbitpin
# (default 50, 100 and 200), then the run, for the title (default
# "orbitpin").
#   build/bin/orbitpin | gnuplot -c demo/orbitpin.gp 50 100 200 > orbitpin.png
load system(sprintf("dirname '%s'", ARG0)) . "/png.gp"
on1 = ARGC >= 1 ? real(ARG1) : 50
off = ARGC >= 2 ? real(ARG2) : 100
on2 = ARGC >= 3 ? real(ARG3) : 200

# Columns of a line: label, line number n, x, y, p.
set table $orbit
plot "< cat" using 2:3:5 with table
unset table

# Line n comes from a controlled step when on1 < n <= off or n > on2.
set style rect fc rgb "#d8ecd8" fs solid 1.0 noborder
set object 1 rect from on1 + 0.5, graph 0 to off + 0.5, graph 1 behind
set object 2 rect from on2 + 0.5, graph 0 to graph 1, graph 1 behind
set lmargin 10
set multiplot layout 2, 1 \
  title (ARGC >= 4 ? ARG4 : "orbitpin") . ": control on in the shaded windows"
set ylabel "x(t)"
set format x ""
plot $orbit using 1:2 with lines lw 1.5 lc rgb "#203080" notitle
set ylabel "p(t)"
set xlabel "t"
set format x "%g"
plot $orbit using 1:3 with lines lw 1.5 lc rgb "#b03020" notitle
unset multiplot
