#!/usr/bin/env bash
# Checks for the Debian packages that building, testing, drawing and fuzzing
# the suite use; the one list of them. Needed: a C++ compiler, CMake and
# GoogleTest. Optional: the tools of the web page, fuzzing, the pictures, the
# manual-page checks, the sweep and its Slurm cluster, whose tests skip
# without them.
# As root (or through sudo) it installs every missing package, optional ones
# too. Elsewhere it lists the missing ones with the command to run and with
# what goes without each, and fails only when a needed one is missing.
#
# Usage: scripts/setup.sh [--bench]
#   --bench  also the benchmark's tools (hyperfine needed, libga-dev for the
#            GA library's peer programs)
set -euo pipefail

bench=0
case ${1:-} in
  "") ;;
  --bench) bench=1 ;;
  -h | --help) sed -n '2,/^set -eu/s/^# \{0,1\}//p' "$0"; exit 0 ;;
  *) echo "setup: unknown argument \"$1\"; usage: scripts/setup.sh [--bench]" >&2; exit 1 ;;
esac

has() { command -v "$1"; }

# Whether the clang on the path links a fuzz target with its fuzzer, address
# and undefined-behaviour runtimes, whatever its version and architecture
# (Debian has them for clang N in libclang-rt-N-dev).
fuzzer_runtime_links() {
  local dir status
  dir=$(mktemp -d)
  echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' \
    >"$dir/probe.cc"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cc" -o "$dir/probe" && status=0 || status=1
  rm -rf "$dir"
  return $status
}

# Fills needed, optional and skipped: the missing packages, and for each
# optional one what goes without it.
check() {
  needed=() optional=() skipped=()
  # need PACKAGE TEST...: PACKAGE is missing unless the test command succeeds.
  need() { local package=$1; shift; "$@" >/dev/null 2>&1 || needed+=("$package"); }
  # want PACKAGE "WHAT GOES WITHOUT IT" TEST...: the same for an optional one.
  want() {
    local package=$1 without=$2
    shift 2
    "$@" >/dev/null 2>&1 || { optional+=("$package"); skipped+=("$package: $without"); }
  }

  need cmake        has cmake
  need g++          has g++
  need libgtest-dev test -f /usr/include/gtest/gtest.h
  want gnuplot-nox  "demo/run.sh and sweep/run.sh draw no pictures" has gnuplot
  want groff-base   "ctest skips man_pages" has groff
  want man-db       "the install test does not look the pages up with man" has man
  want mandoc       "man_pages leaves out mandoc's lint" has mandoc
  want parallel     "ctest skips sweep; sweep/run.sh cannot run" has parallel
  want slurm-wlm    "ctest skips slurm" test -x /usr/sbin/slurmctld
  want munge        "ctest skips slurm" test -x /usr/sbin/munged
  if has clang++ >/dev/null; then
    local version
    version=$(clang++ -dumpversion)
    want "libclang-rt-${version%%.*}-dev" "fuzz/run.sh cannot link its targets" fuzzer_runtime_links
  else
    want clang "ctest skips compiler_identity; fuzz/run.sh cannot build (then run this again for clang's fuzzer runtime)" has clang++
  fi
  want emscripten   "ctest skips web_build, web_node and web_browser" has emcc
  want chromium     "ctest skips web_browser" has chromium
  # A Node.js from elsewhere may be on the path; Debian's must not replace it.
  want nodejs       "ctest skips web_build, web_node and web_browser" has node
  want npm          "ctest skips web_build, web_node and web_browser" has npm
  if [ $bench = 1 ]; then
    need python3    has python3
    need hyperfine  has hyperfine
    want libga-dev  "bench/run.sh times no GA library peers" test -f /usr/include/ga/ga.h
  fi
  return 0
}

apt_install() {
  echo "setup: installing $*"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "$@" >/dev/null
}

check
if [ "$(id -u)" -eq 0 ]; then
  # Twice: the fuzzer runtime is named by the clang version, known only once
  # clang is installed. What the second check still misses did not install.
  for _ in 1 2; do
    [ $((${#needed[@]} + ${#optional[@]})) -gt 0 ] || break
    apt_install "${needed[@]}" "${optional[@]}"
    check
  done
  if [ $((${#needed[@]} + ${#optional[@]})) -gt 0 ]; then
    echo "setup: still missing after installing: ${needed[*]} ${optional[*]}" >&2
    exit 1
  fi
  echo "setup: every package is installed"
  exit 0
fi

# The missing packages, what goes without each optional one, and the command
# that installs them.
report() {
  [ ${#needed[@]} -eq 0 ] || echo "setup: these needed Debian packages are missing: ${needed[*]}"
  if [ ${#optional[@]} -gt 0 ]; then
    echo "setup: these optional Debian packages are missing:"
    printf '  %s\n' "${skipped[@]}"
  fi
  echo "setup: to install them, run this as root (or through sudo):"
  echo "  apt-get update && apt-get install $(echo "${needed[@]}" "${optional[@]}")"
}

if [ ${#needed[@]} -gt 0 ]; then
  report >&2
  exit 1
fi
[ ${#optional[@]} -eq 0 ] || report
echo "setup: every needed package is installed"
