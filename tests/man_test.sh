#!/usr/bin/env bash
# Checks the manual pages against the programs: every page formats without a
# warning, has the sections a reader looks for, and lists exactly the options
# of its program's help screen (which is printed from the option table), each
# with the default that the help screen shows, and gives the suite's version.
# Usage: man_test.sh BIN_DIR SOURCE_DIR
set -u
bin=${1:?usage: man_test.sh BIN_DIR SOURCE_DIR}
src=${2:?usage: man_test.sh BIN_DIR SOURCE_DIR}
programs="peakseek hillscan jobmatch tacticbreed tacticpool mapseries orbitpin"

if ! command -v groff >/dev/null; then
  echo "man_test: groff is not installed (Debian: apt-get install groff-base); skipped"
  exit 77
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The suite's version, which every page shows in its footer.
version=$(head -n 1 "$src/VERSION" 2>/dev/null)
[ -n "$version" ] || fail "VERSION gives no version"

. "$(dirname "${BASH_SOURCE[0]}")/../scripts/help_screen.sh"

# "-name default" for every option of the help screen; "-" where it shows
# none, as for a page entry without a "Default:".
help_options() {
  help_entries "$bin/$1" | awk -F '\t' '{ print $1, ($3 == "" ? "-" : $3) }'
}

# The text of a page with its font changes and escapes reduced to plain
# characters, so that it can be compared with what the program prints.
plain() {
  sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\(dq/"/g' -e 's/\\&//g' \
      -e 's/\\~/ /g' -e 's/\\e/\\/g' "$1"
}

# "-name default" for every entry of the OPTIONS section: the tag line after
# .TP names the option; "Default: X." in its paragraph gives the default.
page_options() {
  plain "$1" | awk '
    /^\.SH / { on = ($2 == "OPTIONS"); if (!on && name != "") show(); next }
    !on { next }
    /^\.TP/ { if (name != "") show(); tag = 1; next }
    tag { tag = 0; name = $2; value = "-"; next }
    /Default: / { value = $0; sub(/.*Default: /, "", value); sub(/\.$/, "", value) }
    function show() { print name, value; name = "" }
    END { if (name != "") show() }'
}

for p in $programs; do
  page="$src/man/man1/$p.1"
  if [ ! -f "$page" ]; then fail "$p: no manual page $page"; continue; fi

  lint=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$lint" ] || fail "$p: groff warns: $lint"
  if command -v mandoc >/dev/null; then
    lint=$(mandoc -T lint -W warning "$page" 2>&1)
    [ -z "$lint" ] || fail "$p: mandoc warns: $lint"
  fi

  sections="NAME|SYNOPSIS|DESCRIPTION|OPTIONS|OUTPUT|EXIT STATUS|EXAMPLES|SEE ALSO"
  [ "$p" = mapseries ] && sections="$sections|MAPS"
  [ "$p" = jobmatch ] && sections="$sections|FILES"
  IFS='|' read -ra wanted <<<"$sections"
  for s in "${wanted[@]}"; do
    grep -qx "\.SH \"\{0,1\}$s\"\{0,1\}" "$page" || fail "$p: no $s section"
  done
  grep -qx "$p \\\\- .*" "$page" || fail "$p: NAME line does not start with \"$p \\-\""
  grep -q "^\.TH $(echo "$p" | tr a-z A-Z) 1 [^ ]* \"modelsuite $version\" " "$page" ||
    fail "$p: .TH does not name $p in section 1 of modelsuite $version"

  help=$(help_options "$p")
  if [ -z "$help" ]; then fail "$p: its help screen lists no options"; continue; fi
  documented=$(page_options "$page")
  synopsis=$(plain "$page" | sed -n '/^\.SH SYNOPSIS/,/^\.SH /p')

  while read -r name value; do
    line=$(awk -v n="$name" '$1 == n' <<<"$documented")
    if [ -z "$line" ]; then fail "$p: option $name is missing from OPTIONS"; continue; fi
    got=${line#* }
    shopt -s nocasematch
    [[ "$got" == "$value" ]] || fail "$p: $name: page says default \"$got\", help screen \"$value\""
    shopt -u nocasematch
    grep -q -- "$name\( \|$\)" <<<"$synopsis" || fail "$p: option $name is missing from SYNOPSIS"
  done <<<"$help"

  while read -r name _; do
    [ "$name" = -help ] && continue
    awk -v n="$name" '$1 == n { found = 1 } END { exit !found }' <<<"$help" ||
      fail "$p: page documents $name, which the program does not have"
  done <<<"$documented"
  grep -q '^-help ' <<<"$documented" || fail "$p: -help is not documented"
done

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) in the manual pages"
  exit 1
fi
echo "all manual pages agree with their programs"
