#!/usr/bin/env bash
# Times the WebAssembly build under Node against the native build on the
# workloads of bench/run.sh, checks that both print the same bytes, and
# prints one markdown table; then the page in headless Chromium (if
# /usr/bin/chromium or $CHROMIUM is there): the first plot of a bare load and
# runs with large output, against native (bench/page.mjs), and against the
# page of BASELINE_REV in the same run if one is named.
#
# Usage: bench/web.sh [BASELINE_REV]   (after web/build.sh)
#   BASELINE_REV  a commit whose page (web/src) is timed beside this one,
#                 with the same WebAssembly programs
# Environment: RUNS (timed runs per command, default 5), BIN (the native
#   programs, default: a Release build made in a scratch folder), PAGE_ONLY=1
#   (the page's table only), LARGE (the page's command lines with large
#   output, comma-separated; bench/page.mjs has the default).
# Needs: cmake, g++, node, hyperfine, python3.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${RUNS:-5}
die() { echo "bench: $*" >&2; exit 1; }
command -v hyperfine >/dev/null || die "hyperfine is missing (apt-get install hyperfine)"
[[ -f $top/web/dist/suite.mjs ]] || die "run web/build.sh first"
baseline=${1:-}
[[ -z $baseline ]] || git -C "$top" rev-parse --verify -q "$baseline^{commit}" >/dev/null ||
  die "unknown baseline commit $baseline"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [[ -z ${BIN:-} ]]; then
  echo "building the native programs ..." >&2
  cmake -S "$top" -B "$scratch/native" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$scratch/native" -j2 --target programs >/dev/null
  BIN=$scratch/native/bin
fi

PROBLEM=$scratch/jobs50.dat
source "$top/bench/workloads.sh"

timed() { # COMMAND...
  hyperfine -N --warmup 1 --runs "$RUNS" --output=null --style none \
    --export-json "$scratch/t.json" "$(printf '%q ' "$@")" >/dev/null 2>&1 || { echo -; return; }
  median "$scratch/t.json"
}
# The run alone, in one Node process: the module compiled once, then a
# fresh instance per run, the output handed over as bytes, as the page's
# worker runs it.
in_process() { # PROGRAM ARGS...
  node --input-type=module -e '
    const fs = await import("node:fs");
    const {run} = await import(process.argv[1]);
    const [program, ...args] = process.argv.slice(2);
    const files = Object.fromEntries(args.filter((a) => a.startsWith("/") && fs.existsSync(a))
                                         .map((a) => [a, fs.readFileSync(a)]));
    const options = {files, collect: false, bytes: true, onStdout() {}, onStderr() {}};
    const times = [];
    for (let i = 0; i <= Number(process.env.RUNS); i++) {
      const start = performance.now();
      await run(program, args, options);
      if (i > 0) times.push((performance.now() - start) / 1000);
    }
    times.sort((a, b) => a - b);
    console.log(times[times.length >> 1]);' "$top/web/dist/suite.mjs" "$@"
}

identical=yes
[[ ${PAGE_ONLY:-0} == 1 ]] && workloads=() ||
  printf '| workload | native (s) | node (s) | node/native | in-process (s) | in-process/native | same output |\n|---|---:|---:|---:|---:|---:|---|\n'
for w in "${workloads[@]}"; do
  start_workload "$w"
  same=yes
  (cd "$top" && "$BIN/$prog" "${argv[@]:1}" >"$scratch/native.out" 2>"$scratch/native.err") || true
  (cd "$top" && node web/cli.mjs "${argv[@]}" >"$scratch/wasm.out" 2>"$scratch/wasm.err") || true
  same_output native wasm || { same=NO; identical=no; }
  t_native=$(cd "$top" && timed "$BIN/$prog" "${argv[@]:1}")
  t_node=$(cd "$top" && timed node web/cli.mjs "${argv[@]}")
  t_in=$(cd "$top" && RUNS=$RUNS in_process "${argv[@]}")
  printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$(secs "$t_native")" \
    "$(secs "$t_node")" "$(ratio "$t_node" "$t_native")" "$(secs "$t_in")" \
    "$(ratio "$t_in" "$t_native")" "$same"
done

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
  "node $(node --version), $(emcc --version 2>/dev/null | head -n 1 | cut -d' ' -f1-10)"
(( ${#workloads[@]} )) && echo "Output identical to native on every workload: $identical"
if [[ -x ${CHROMIUM:-/usr/bin/chromium} ]]; then
  base_dist=
  if [[ -n $baseline ]]; then # this build's programs under the baseline's page
    base_dist=$scratch/baseline-dist
    cp -r "$top/web/dist" "$base_dist"
    git -C "$top" archive "$baseline" web/src | tar -x -C "$scratch"
    for f in "$top"/web/src/*; do rm -f "$base_dist/${f##*/}"; done
    cp "$scratch"/web/src/* "$base_dist/"
  fi
  echo
  (cd "$top" && RUNS=$RUNS BASELINE=$base_dist node bench/page.mjs "$BIN")
fi
[[ $identical == yes ]]
