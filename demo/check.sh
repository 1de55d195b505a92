#!/usr/bin/env bash
# Checks what demo/run.sh left behind: every text output exists and holds
# lines, every picture is a PNG of 640x400 pixels and of a size that a drawn
# plot has (neither an empty file nor a runaway one).
# Usage: demo/check.sh [OUT_DIR]   (default: demo-out of the repository)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/demo-out}

texts="peakseek hillscan hillscan-size40 jobmatch tacticbreed tacticbreed-hlen2
       tacticbreed-hlen2-population tacticpool tacticpool-noise mapseries
       mapseries-60 bifurcation orbitpin orbitpin-noise"
pictures="peakseek hillscan jobmatch tacticbreed tacticpool tacticpool-noise
          mapseries bifurcation orbitpin orbitpin-noise"
min_bytes=2000
max_bytes=200000

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for t in $texts; do
  f="$out/$t.txt"
  if [ ! -s "$f" ]; then fail "$f is missing or empty"; continue; fi
  echo "ok   $t.txt ($(wc -l < "$f") lines)"
done

# The first 24 bytes of a PNG: the signature, then the IHDR chunk with the
# width and the height as 4-byte big-endian numbers.
for p in $pictures; do
  f="$out/$p.png"
  if [ ! -f "$f" ]; then fail "$f is missing"; continue; fi
  head=$(od -An -tx1 -N24 "$f" | tr -d ' \n')
  if [ "${head:0:16}" != 89504e470d0a1a0a ] || [ "${head:24:8}" != 49484452 ]; then
    fail "$f is not a PNG image"; continue
  fi
  width=$((16#${head:32:8}))
  height=$((16#${head:40:8}))
  bytes=$(wc -c < "$f")
  [ "$width" -eq 640 ] && [ "$height" -eq 400 ] ||
    fail "$f is ${width}x$height, not 640x400"
  [ "$bytes" -ge $min_bytes ] && [ "$bytes" -le $max_bytes ] ||
    fail "$f has $bytes bytes, outside $min_bytes to $max_bytes"
  echo "ok   $p.png (${width}x$height, $bytes bytes)"
done

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) in $out"
  exit 1
fi
echo "demo outputs complete in $out"
