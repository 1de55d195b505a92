#!/usr/bin/env bash
# Builds the seven programs with GCC at -O2 and -O3 and with Clang at -O0
# (there with the unit tests too, compiled as they are without their main),
# every warning an error (-Wshadow included), and checks that the three builds
# print the same bytes (standard output, standard error and exit status) for
# each run below. Runs that print results that are
# not a number are the point: the sign bit of a NaN follows the order in which
# a compiler takes the operands, so only a fixed rendering keeps them equal.
#
# Usage: tests/compiler_identity.sh SOURCE_DIR
# Exits 77 (skipped) when clang++ is missing.
set -euo pipefail

src=$(cd "$1" && pwd)
command -v clang++ >/dev/null || { echo "clang++ is missing: skipped"; exit 77; }

runs=(
  "peakseek"
  "hillscan"
  "jobmatch"
  "tacticbreed"
  "tacticpool"
  "mapseries"
  "orbitpin"
  "orbitpin -gauss 0 -seed 21 -B -0.3 -A 1.0"
  "orbitpin -A -1"
  "orbitpin -points 20000 -gauss 0.1 -seed 3"
  "peakseek -target nan -gens 2"
  "peakseek -var nan -gens 2"
  "peakseek -size 40 -gens 20 -var 0 -target 0.5 -len 2"
  "tacticpool -steps 5 -rounds 0"
  "tacticpool -steps 50 -CC 1e308 -DC 1e308"
  "tacticpool -steps 100 -Iallc 0 -Itft 0 -Irand 0 -Ipav 0 -Ialld 0"
  "mapseries -x0 nan -points 2"
  "tacticbreed -CC nan -gens 3 -size 10"
)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

build() { # NAME COMPILER FLAGS [TARGET]
  local testing=OFF
  [[ ${4:-programs} == unit_tests ]] && testing=ON
  cmake -S "$src" -B "$scratch/$1" -DCMAKE_CXX_COMPILER="$2" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="$3" \
    -DBUILD_TESTING=$testing -DSANITIZE=OFF >/dev/null
  cmake --build "$scratch/$1" -j2 --target "${4:-programs}" >/dev/null
}
builds=(gcc-O2 gcc-O3 clang-O0)
build gcc-O2 g++ "-O2 -Werror"
build gcc-O3 g++ "-O3 -Werror"
build clang-O0 clang++ "-O0 -Werror" unit_tests

# Each run's three streams, one file per build; jobmatch reads its default
# problem from the top of the source tree.
status=0
for k in "${!runs[@]}"; do
  read -r -a argv <<<"${runs[$k]}"
  for b in "${builds[@]}"; do
    set +e
    (cd "$src" && "$scratch/$b/bin/${argv[0]}" "${argv[@]:1}") \
      >"$scratch/$k.$b.out" 2>"$scratch/$k.$b.err"
    echo $? >"$scratch/$k.$b.status"
    set -e
    for s in out err status; do
      if ! cmp -s "$scratch/$k.gcc-O2.$s" "$scratch/$k.$b.$s"; then
        echo "FAIL: ${runs[$k]}: $b differs from gcc-O2 on its $s"
        status=1
      fi
    done
  done
done
[[ $status == 0 ]] && echo "${#runs[@]} runs print the same bytes in ${builds[*]}"
exit "$status"
