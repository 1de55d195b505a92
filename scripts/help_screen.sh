# Reads a program's options from its help screen, which the program prints
# from its option table. Sourced by tests/man_test.sh, tests/boundary_sweep.sh
# and sweep/run.sh; web/src/help.mjs reads the screen by the same rules.

# help_entries PROGRAM: one line per option of PROGRAM's help screen, as
# NAME<TAB>KIND<TAB>DEFAULT<TAB>HELP. An entry is the option's line
# ("    -name  Help text. (default)") with its continuation lines (indented
# deeper than the names) joined on with one blank. KIND and DEFAULT come from
# the parenthesised value that ends the entry:
#   ("text")      string   text
#   (none)        string   (empty)
#   (ON) (OFF)    switch   ON or OFF
#   (no default)  handler  (empty), as for an entry with no value shown
#   (anything)    number   as shown
# The screen prints an int and a whole double alike ("%d", "%g"), so both are
# "number". The help screen goes to standard error and ends with status 1.
help_entries() {
  { "$1" -help 2>&1 >/dev/null || true; } | awk '
    function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
    function flush(   name, rest, kind, value, help) {
      if (entry == "") return
      name = entry; sub(/ .*/, "", name)
      rest = trim(substr(entry, length(name) + 1))
      kind = "handler"; value = ""; help = rest
      if (match(rest, /\(("[^"]*"|[^()]*)\)$/)) {
        value = substr(rest, RSTART + 1, RLENGTH - 2)
        help = trim(substr(rest, 1, RSTART - 1))
        if (value == "ON" || value == "OFF") kind = "switch"
        else if (value == "none") { kind = "string"; value = "" }
        else if (value == "no default") value = ""
        else if (value ~ /^"/) { kind = "string"; value = substr(value, 2, length(value) - 2) }
        else kind = "number"
      }
      print name "\t" kind "\t" value "\t" help
      entry = ""
    }
    { gsub(/\t/, " ") }
    /^Options with defaults in parentheses are:/ { on = 1; next }
    !on { next }
    /^    -[^ ]/ { flush(); entry = trim($0); next }
    /^     / && entry != "" { entry = entry " " trim($0); next }
    { flush() }
    END { flush() }'
}
