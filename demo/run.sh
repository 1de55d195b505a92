#!/usr/bin/env bash
# Runs every program of the suite on its defaults and on a few telling
# settings, keeps each output as a text file and draws the pictures with
# gnuplot (one plot script of this folder per kind of picture).
#
# Usage: demo/run.sh [BIN_DIR [OUT_DIR]]
#   BIN_DIR  the built programs (default: build/bin of the repository)
#   OUT_DIR  where the outputs go (default: demo-out of the repository)
set -euo pipefail
export LC_ALL=C   # seq and awk print numbers with a decimal point
trap 'echo "demo: failed: $BASH_COMMAND" >&2' ERR

demo=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$demo")
bin=$(cd "${1:-$root/build/bin}" && pwd) ||
  { echo "demo: no programs in ${1:-$root/build/bin}; build first:" \
         "cmake -S . -B build && cmake --build build -j2" >&2; exit 1; }
out=${2:-$root/demo-out}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for p in peakseek hillscan jobmatch tacticbreed tacticpool mapseries orbitpin; do
  [ -x "$bin/$p" ] || { echo "demo: $bin/$p is missing; build first" >&2; exit 1; }
done

# step FILE DESCRIPTION: announce one output file.
step() { printf '  %-34s %s\n' "$1" "$2"; }

echo "Text outputs in $out:"

step peakseek.txt "peakseek, defaults"
"$bin/peakseek" > "$out/peakseek.txt"

step hillscan.txt "hillscan, defaults"
"$bin/hillscan" > "$out/hillscan.txt"
# The defaults stall on a lesser hill; a larger population finds the peak.
step hillscan-size40.txt "hillscan -size 40 -gens 100"
"$bin/hillscan" -size 40 -gens 100 > "$out/hillscan-size40.txt"

# The default specification file is data/hop1.dat under the working directory.
step jobmatch.txt "jobmatch, defaults (data/hop1.dat)"
(cd "$root" && "$bin/jobmatch") > "$out/jobmatch.txt"

step tacticbreed.txt "tacticbreed, defaults (statistics)"
"$bin/tacticbreed" 2> "$out/tacticbreed.txt"
step tacticbreed-hlen2.txt "tacticbreed -hlen 2 (statistics)"
step tacticbreed-hlen2-population.txt "tacticbreed -hlen 2 -dump (final population)"
"$bin/tacticbreed" -hlen 2 -dump > "$out/tacticbreed-hlen2-population.txt" \
  2> "$out/tacticbreed-hlen2.txt"

# The default of 100000 steps would make a 4.6 MB file; 2000 show the story.
step tacticpool.txt "tacticpool -steps 2000"
"$bin/tacticpool" -steps 2000 > "$out/tacticpool.txt"
step tacticpool-noise.txt "tacticpool -steps 2000 -noise 0.05"
"$bin/tacticpool" -steps 2000 -noise 0.05 > "$out/tacticpool-noise.txt"

step mapseries.txt "mapseries, defaults"
"$bin/mapseries" > "$out/mapseries.txt"
step mapseries-60.txt "mapseries -points 60"
"$bin/mapseries" -points 60 > "$out/mapseries-60.txt"
step bifurcation.txt "mapseries -r R -skip 500 -points 150, R = 0.7 .. 1"
# Each run is announced by an "r R" line, which awk turns into a tag of the
# values that follow (one awk for all runs keeps the loop fast).
for r in $(seq 0.7 0.001 1); do
  echo "r $r"
  "$bin/mapseries" -r "$r" -skip 500 -points 150
done | awk '$1 == "r" {r = $2; next} {print r, $1}' > "$out/bifurcation.txt"

step orbitpin.txt "orbitpin, defaults"
"$bin/orbitpin" > "$out/orbitpin.txt"
step orbitpin-noise.txt "orbitpin -gauss 0.002"
"$bin/orbitpin" -gauss 0.002 > "$out/orbitpin-noise.txt"

if ! command -v gnuplot >/dev/null; then
  cat <<EOF
gnuplot is not installed, so no pictures were drawn. Install it (Debian:
apt-get install gnuplot-nox) and run demo/run.sh again, or draw a picture
from a text output by hand, for instance:
  gnuplot -c demo/gastats.gp peakseek < $out/peakseek.txt > peakseek.png
and turn the statistics of a genetic algorithm into a table:
  awk -f demo/gastats.awk $out/peakseek.txt
EOF
  exit 0
fi

# picture PNG SCRIPT INPUT [ARGS...]: draw one picture from one text output.
picture() {
  local png=$1 script=$2 input=$3
  shift 3
  step "$png" "from $input"
  gnuplot -c "$demo/$script" "$@" < "$out/$input" > "$out/$png"
}

echo "Pictures in $out:"
# The arguments are those of the one-line commands in the README, so that
# the pictures there can be made either way.
picture peakseek.png gastats.gp peakseek.txt peakseek
picture hillscan.png gastats.gp hillscan-size40.txt "hillscan -size 40 -gens 100"
# 96 is the best total of data/hop1.dat.
picture jobmatch.png gastats.gp jobmatch.txt jobmatch total 96
picture tacticbreed.png gastats.gp tacticbreed-hlen2.txt \
  "tacticbreed -hlen 2" "payoff per round"
# The pictures show the steps in which the shares change: the first 60
# without noise, the first 1000 with it (the first lines of a longer run are
# those of a shorter one).
step tacticpool.png "from the first 60 lines of tacticpool.txt"
head -n 60 "$out/tacticpool.txt" |
  gnuplot -c "$demo/tacticpool.gp" "tacticpool -steps 60" > "$out/tacticpool.png"
step tacticpool-noise.png "from the first 1000 lines of tacticpool-noise.txt"
head -n 1000 "$out/tacticpool-noise.txt" |
  gnuplot -c "$demo/tacticpool.gp" "tacticpool -steps 1000 -noise 0.05" log \
  > "$out/tacticpool-noise.png"
picture mapseries.png mapseries.gp mapseries-60.txt \
  "logistic map 4 r x (1 - x), r = 1, x0 = 0.123456"
picture bifurcation.png bifurcation.gp bifurcation.txt \
  "bifurcation diagram of the logistic map 4 r x (1 - x)"
picture orbitpin.png orbitpin.gp orbitpin.txt 50 100 200
picture orbitpin-noise.png orbitpin.gp orbitpin-noise.txt 50 100 200 \
  "orbitpin -gauss 0.002"
