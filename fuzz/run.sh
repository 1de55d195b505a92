#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each
# for the given number of seconds.
#
#   fuzz/run.sh [SECONDS] [TARGET...]     default: 30 s, every target
#
# Environment: FUZZ_BUILD   build and working folder (default: build-fuzz)
#              FUZZ_JOBS    targets run at the same time (default: 1)
#              CXX          clang++ to use (default: clang++)
# New inputs go to $FUZZ_BUILD/corpus/TARGET (the committed seeds in
# fuzz/corpus/TARGET are only read); inputs that fail are saved as
# $FUZZ_BUILD/findings/TARGET-*. Exits 1 when any target found something.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
seconds=${1:-30}
shift || true
build=${FUZZ_BUILD:-$repo/build-fuzz}
jobs=${FUZZ_JOBS:-1}
cxx=${CXX:-clang++}
case $cxx in *clang*) ;; *) cxx=clang++ ;; esac

all_targets=(options scanner pbm jobmatch)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

library=(lib/options.cc lib/wrap.cc lib/random.cc lib/alloc.cc lib/scanner.cc lib/pbm.cc lib/output.cc)
declare -A extra=(
  [options]=""
  [scanner]=""
  [pbm]=""
  [jobmatch]="ga/jobmatch.cc ga/gacycle.cc ga/roulette.cc ga/breed.cc ga/report.cc"
)
flags=(-std=c++20 -g -O1 -Wall -Wextra -Wshadow -ffp-contract=off
  -fsanitize=fuzzer,address,undefined,float-cast-overflow
  -fno-sanitize-recover=all -fno-omit-frame-pointer
  -include "$here/nothrow.h" -DUNIT_TEST -I"$repo/lib" -I"$repo/ga")
wraps=exit,--wrap=malloc,--wrap=calloc,--wrap=realloc,--wrap=free
wraps=$wraps,--wrap=fopen,--wrap=fopen64,--wrap=fclose

mkdir -p "$build/findings"
for t in "${targets[@]}"; do
  [ -n "${extra[$t]+set}" ] || { echo "unknown target $t" >&2; exit 2; }
  sources=("${library[@]}" ${extra[$t]} fuzz/harness.cc "fuzz/${t}_fuzz.cc")
  echo "building $t" >&2
  (cd "$repo" && "$cxx" "${flags[@]}" "${sources[@]}" -Wl,--wrap=$wraps \
     -o "$build/${t}_fuzz")
  mkdir -p "$build/corpus/$t"
done

run_one() {
  local t=$1
  local log="$build/$t.log"
  ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    "$build/${t}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$t-" \
      "$build/corpus/$t" "$here/corpus/$t" >"$log" 2>&1
  local status=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ $status -eq 0 ]; then
    echo "$t: ok, ${runs:-?} executions in $seconds s"
  else
    echo "$t: FOUND SOMETHING (status $status), log: $log"
    grep -m5 -E 'ERROR|runtime error|property violated|deadly signal|timeout' "$log" || true
  fi
  return $status
}
export -f run_one
export build seconds here

status=0
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}' || status=1
exit $status
