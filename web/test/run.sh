#!/usr/bin/env bash
# CTest's way into the web build and its tests. Exits 77 (skipped) where a
# tool they need is missing, or (web/build.sh) where the page's npm packages
# are neither installed nor within reach, so a machine without them still
# passes. DIST_DIR is the built page (default web/dist).
# Usage: run.sh build WASM_BUILD_DIR [DIST_DIR] | run.sh parse |
#        run.sh node|browser BIN_DIR [DIST_DIR] | run.sh native BIN_DIR
set -euo pipefail
web=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
skip() { echo "skipped: $*"; exit 77; }
dist=${3:-$web/dist}

command -v node >/dev/null || skip "node is missing"
node -e 'process.exit(Number(process.versions.node.split(".")[0]) >= 20 ? 0 : 1)' ||
  skip "node 20 or later is needed"
case $1 in
build)
  command -v emcc >/dev/null && command -v emcmake >/dev/null ||
    skip "emscripten is missing (apt-get install emscripten)"
  command -v npm >/dev/null || skip "npm is missing"
  command -v mandoc >/dev/null || skip "mandoc is missing (apt-get install mandoc)"
  BUILD_DIR=$2 DIST_DIR=$dist exec "$web/build.sh" ;;
parse)
  exec node --import "$web/test/generated.mjs" --test "$web/test/parse.test.mjs" ;;
node)
  [[ -f $dist/suite.mjs ]] || skip "$dist is not built"
  DIST_DIR=$dist BIN_DIR=$2 exec node --import "$web/test/generated.mjs" --test "$web/test/suite.test.mjs" "$web/test/cli.test.mjs" ;;
native)
  # The page's formulas, experiments, sweeps and help reading against the
  # native programs: no WebAssembly build needed.
  BIN_DIR=$2 exec node --import "$web/test/generated.mjs" --test "$web/test/formulas.test.mjs" "$web/test/experiments.test.mjs" \
    "$web/test/sweep.test.mjs" "$web/test/help.test.mjs" ;;
browser)
  [[ -f $dist/index.html && -d $web/node_modules/playwright-core ]] ||
    skip "$dist is not built"
  [[ -x ${CHROMIUM:=/usr/bin/chromium} ]] || skip "chromium is missing (apt-get install chromium)"
  DIST_DIR=$dist CHROMIUM=$CHROMIUM BIN_DIR=$2 exec node --import "$web/test/generated.mjs" --test "$web/test/browser.test.mjs" "$web/test/anywhere.test.mjs" ;;
*)
  echo "usage: run.sh build DIR [DIST_DIR] | parse | node|native|browser BIN_DIR [DIST_DIR]" >&2
  exit 2 ;;
esac
