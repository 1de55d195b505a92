# Reads a program's options from its help screen, which the program prints
# from its option table. Sourced by tests/man_test.sh, tests/boundary_sweep.sh
# and sweep/run.sh.

# help_entries PROGRAM: one line per option of PROGRAM's help screen, the
# option's line ("    -name  Help text. (default)") with its continuation
# lines (indented deeper than the names) joined on with a blank between.
# The help screen goes to standard error and ends with status 1.
help_entries() {
  { "$1" -help 2>&1 >/dev/null || true; } | awk '
    /^Options with defaults in parentheses are:/ { on = 1; next }
    !on { next }
    /^    -[^ ]/ { flush(); entry = $0; next }
    /^     / && entry != "" { entry = entry " " $0; next }
    { flush() }
    END { flush() }
    function flush() { if (entry != "") print entry; entry = "" }'
}
