# Picture settings shared by the plot scripts of this folder: a 640x400 PNG
# written to standard output, by the cairo terminal where gnuplot has it and
# by the plain png terminal otherwise.
if (strstrt(GPVAL_TERMINALS, " pngcairo ") > 0) {
  set terminal pngcairo size 640,400 font "sans,10" noenhanced
} else {
  set terminal png size 640,400 noenhanced
}
set grid
set border 3
set tics nomirror
