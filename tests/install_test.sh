#!/usr/bin/env bash
# Installs the suite into a temporary prefix and checks that everything
# lands where the manual pages say, that an installed program runs, that
# jobmatch finds the installed sample file and that man finds the pages.
# Usage: install_test.sh CMAKE BUILD_DIR
set -u
cmake=${1:?usage: install_test.sh CMAKE BUILD_DIR}
build=${2:?usage: install_test.sh CMAKE BUILD_DIR}
programs="peakseek hillscan jobmatch tacticbreed tacticpool mapseries orbitpin"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix" "$prefix-moved"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! "$cmake" --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1; then
  cat "$prefix.log"; rm -f "$prefix.log"
  echo "FAIL: cmake --install did not succeed"
  exit 1
fi
rm -f "$prefix.log"

for p in $programs; do
  [ -x "$prefix/bin/$p" ] || fail "$p is not installed in bin"
  [ -f "$prefix/share/man/man1/$p.1" ] || fail "$p.1 is not installed in share/man/man1"
done
sample="$prefix/share/modelsuite/hop1.dat"
[ -f "$sample" ] || fail "hop1.dat is not installed in share/modelsuite"

# An installed program runs on its own, away from the build and source trees.
first=$(cd / && "$prefix/bin/mapseries" -points 3 | head -n 1)
[ "$first" = 0.432858 ] || fail "installed mapseries printed \"$first\", not 0.432858"

out=$(cd / && "$prefix/bin/jobmatch" -specs "$sample" -gens 1)
[ $? -eq 0 ] && grep -q '^best score    = ' <<<"$out" ||
  fail "installed jobmatch does not run on the installed sample file"

# Without -specs, jobmatch run from anywhere reads the installed sample, also
# when the installed tree has been moved; a file named with -specs is taken
# as named.
for place in "$prefix" "$prefix-moved"; do
  [ "$place" = "$prefix" ] || mv "$prefix" "$place"
  out=$(cd / && "$place/bin/jobmatch")
  [ $? -eq 0 ] && [ "$(grep -c '^best score    = ' <<<"$out")" -eq 30 ] ||
    fail "jobmatch installed in $place and run from / does not find its sample file"
done
mv "$prefix-moved" "$prefix"
err=$(cd / && "$prefix/bin/jobmatch" -specs data/hop1.dat 2>&1 >/dev/null)
[ "$err" = 'Cannot open specification file "data/hop1.dat".' ] ||
  fail "jobmatch -specs data/hop1.dat run from / printed \"$err\""

if command -v man >/dev/null; then
  found=$(MANPATH="$prefix/share/man" man -w peakseek 2>/dev/null)
  [ "$found" = "$prefix/share/man/man1/peakseek.1" ] ||
    fail "man does not find the installed peakseek page under MANPATH (got \"$found\")"
  man -l "$prefix/share/man/man1/orbitpin.1" 2>/dev/null | grep -q 'OGY' ||
    fail "man -l does not render the installed orbitpin page"
else
  echo "note: man is not installed; the lookup of the pages was not checked"
fi

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) with the installation"
  exit 1
fi
echo "installation complete and usable"
