#!/usr/bin/env bash
# Installs the Debian packages that building, testing, drawing and fuzzing
# the suite need and that this machine lacks; the one list of them. As root
# (or through sudo) it installs them with apt-get; elsewhere it prints them
# with the command to run, and fails.
#
# Usage: scripts/setup.sh [--bench]
#   --bench  also the benchmark's tools (hyperfine, libga-dev)
set -euo pipefail

bench=0
case ${1:-} in
  "") ;;
  --bench) bench=1 ;;
  -h | --help) sed -n '2,/^set -eu/s/^# \{0,1\}//p' "$0"; exit 0 ;;
  *) echo "setup: unknown argument \"$1\"; usage: scripts/setup.sh [--bench]" >&2; exit 1 ;;
esac

missing=()
# want PACKAGE TEST...: PACKAGE is missing unless the test command succeeds.
want() { local package=$1; shift; "$@" >/dev/null 2>&1 || missing+=("$package"); }
has() { command -v "$1"; }
any_file() { compgen -G "$1"; }

want cmake              has cmake                         # build
want g++                has g++
want libgtest-dev       test -f /usr/include/gtest/gtest.h # tests
want gnuplot-nox        has gnuplot                       # demo pictures
want groff-base         has groff                         # manual page tests
want man-db             has man
want mandoc             has mandoc
want parallel           has parallel                      # sweep
want clang              has clang++                       # fuzzing, clang build
want libclang-rt-14-dev any_file '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a'
want bsdutils           has script                        # runs on a terminal
want emscripten         has emcc                          # the web page
want chromium           has chromium
# A Node.js from elsewhere may be on the path; Debian's must not replace it.
want nodejs             has node
want npm                has npm
if [ $bench = 1 ]; then
  want hyperfine        has hyperfine
  want libga-dev        test -f /usr/include/ga/ga.h
fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: every package needed is installed"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: these Debian packages are missing: ${missing[*]}" >&2
  echo "setup: install them as root, then run this again:" >&2
  echo "  sudo apt-get update && sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
