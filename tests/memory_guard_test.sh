#!/usr/bin/env bash
# Runs that would need more memory than the machine or the process limits
# allow are refused at once with the allocator's message, before they touch
# it; runs that fit still run. Each run is watched: it fails the test, and is
# killed, when it holds more than 1 GB or takes more than 20 s.
# Usage: memory_guard_test.sh BIN_DIR   (not for sanitizer builds, whose
# runtime reserves address space of its own)
set -u
bin=${1:?usage: memory_guard_test.sh BIN_DIR}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
err=$(mktemp)
trap 'rm -f "$err"' EXIT

# watched COMMAND...: runs COMMAND (output to /dev/null, standard error to
# $err) and sets `status`, 137 when it had to be killed.
watched() {
  local pid rss ticks=0
  "$@" >/dev/null 2>"$err" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    if [ "${rss:-0}" -gt 1000000 ] || [ $ticks -gt 400 ]; then
      kill -9 "$pid"
      fail "$* held ${rss:-?} kB after $((ticks / 20)) s"
    fi
    sleep 0.05
    ticks=$((ticks + 1))
  done
  wait "$pid" 2>/dev/null
  status=$?
}

# refused PATTERN COMMAND...: the run ends with status 1 and a message
# matching PATTERN.
refused() {
  local pattern=$1
  shift
  watched "$@"
  [ $status -eq 1 ] && grep -qx "$pattern" "$err" ||
    fail "$* ended with status $status and \"$(head -c 200 "$err")\""
}

# The strategy tables (1431655765 bytes each, 286 GB in all) and the strings
# of a population (38.8 GB in all; which block is refused depends on the
# memory of the machine).
refused 'malloc failed to get 1431655765 bytes\.' "$bin/tacticbreed" -hlen 15 -gens 1
if [ "$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)" -lt 37000000 ]; then
  refused 'malloc failed to get [0-9]* bytes\.' "$bin/hillscan" -size 200000000 -len 40 -gens 1
else
  echo "note: this machine has room for hillscan -size 200000000 -len 40; not run"
fi

# Under an address-space limit of 400 MB: strings of 2 x 501 MB do not fit,
# strings of 2 x 101 MB do.
refused 'malloc failed to get 501000000 bytes\.' \
  bash -c 'ulimit -v 400000 && exec "$0" -size 1000000 -len 500 -gens 1' "$bin/peakseek"
watched bash -c 'ulimit -v 400000 && exec "$0" -size 1000000 -len 100 -gens 1' "$bin/peakseek"
[ $status -eq 0 ] || fail "a run that fits 400 MB ended with status $status: $(head -c 200 "$err")"

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) with the memory guard"
  exit 1
fi
echo "memory guard: every run ended as it should"
