#!/usr/bin/env bash
# Runs one test script for CTest. A script exits 77 (skipped) where a tool it
# needs is missing; that passes, except under CI=true: CI installs every
# tool, so there a skip would hide a lost test, and it fails, naming what the
# script found missing.
# Usage: script_test.sh COMMAND [ARGUMENTS...]
set -u -o pipefail
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" 2>&1 | tee "$out"
status=$?
if [[ $status == 77 && ${CI:-} == true ]]; then
  reason=$(grep -v '^[[:space:]]*$' "$out" | tail -n 1)
  echo "FAIL: no test may skip under CI=true; $(basename "$1") did: ${reason:-no reason given}"
  exit 1
fi
exit "$status"
