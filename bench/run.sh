#!/usr/bin/env bash
# Times the suite on fixed workloads against a baseline build of an earlier
# commit and against the peer programs, and checks that our output is
# byte-identical to the baseline's.
#
# Usage: bench/run.sh [BASELINE_REV]
#   BASELINE_REV  the commit to compare with (default: the last commit before
#                 the speed-ups, below)
# The GA workloads are also timed against floor (bench/floor.cc): the same
# draws and the same bytes written, nothing else.
# Environment: RUNS (timed runs per command, default 5), PEERS (folder of the
#   peer programs, default ../shared/peers beside the checkout), KEEP=1 keeps
#   the scratch folder.
# Needs: cmake, g++, hyperfine, python3; for the GA peers libga-dev.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
default_baseline=c9a3280db3c3 # the last commit before the speed-ups
baseline=${1:-$default_baseline}
RUNS=${RUNS:-5}
PEERS=${PEERS:-$top/../shared/peers}

die() { echo "bench: $*" >&2; exit 1; }
command -v hyperfine >/dev/null || die "hyperfine is missing (apt-get install hyperfine)"
git -C "$top" rev-parse --verify -q "$baseline^{commit}" >/dev/null ||
  die "unknown baseline commit $baseline"

scratch=$(mktemp -d)
cleanup() {
  git -C "$top" worktree remove --force "$scratch/baseline" 2>/dev/null || true
  [[ ${KEEP:-0} == 1 ]] || rm -rf "$scratch"
}
trap cleanup EXIT

build() { # SOURCE BUILD_DIR [MORE TARGETS]
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$2" -j2 --target peakseek hillscan jobmatch tacticbreed \
      tacticpool mapseries orbitpin "${@:3}" >/dev/null
}

echo "building ours and baseline $baseline ..." >&2
build "$top" "$scratch/ours" floor || die "build of the checkout failed"
git -C "$top" worktree add -q --detach "$scratch/baseline" "$baseline"
build "$scratch/baseline" "$scratch/base" || die "build of $baseline failed"
ours=$scratch/ours/bin
floor=$scratch/ours/bench/floor
base=$scratch/base/bin

peer_bin=$scratch/peers
have_galib=0
if [[ -d $PEERS ]]; then
  make -s -C "$PEERS" OUT="$peer_bin" naive >&2 || die "building the naive peers failed"
  make -s -C "$PEERS" OUT="$peer_bin" >&2 2>/dev/null && have_galib=1 ||
    echo "note: GAlib peers not built (apt-get install libga-dev)" >&2
fi

PROBLEM=$scratch/jobs50.dat
source "$top/bench/workloads.sh"

timed() { # TAG COMMAND...
  local tag=$1
  shift
  hyperfine -N --warmup 1 --runs "$RUNS" --output=null --style none \
    --export-json "$scratch/$tag.json" "$(printf '%q ' "$@")" >/dev/null 2>&1 ||
    { echo -; return; }
  median "$scratch/$tag.json"
}
processor() { # TAG TIME -> mean user + system seconds of that timing, if it ran
  [[ $2 == - ]] && { echo -; return; }
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print(r["user"] + r["system"])' \
    "$scratch/$1.json"
}
peak_mb() { # COMMAND... -> peak resident memory in MB
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}

identical=yes
cpu_rows=()
printf '| workload | ours (s) | baseline (s) | peer (s) | floor (s) | baseline/ours | peer/ours | ours/floor | ours MB | same output |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n'
for w in "${workloads[@]}"; do
  start_workload "$w"
  same=yes
  "$ours/$prog" "${argv[@]:1}" >"$scratch/ours.out" 2>"$scratch/ours.err"
  "$base/$prog" "${argv[@]:1}" >"$scratch/base.out" 2>"$scratch/base.err"
  same_output ours base || { same=NO; identical=no; }
  t_ours=$(timed ours "$ours/$prog" "${argv[@]:1}")
  t_base=$(timed base "$base/$prog" "${argv[@]:1}")
  t_peer=-
  if [[ $peer != - ]]; then
    read -r -a pargv <<<"$peer"
    if [[ -x $peer_bin/${pargv[0]} ]]; then
      t_peer=$(timed peer "$peer_bin/${pargv[0]}" "${pargv[@]:1}")
    fi
  fi
  t_floor=-
  case $prog in peakseek | hillscan | jobmatch | tacticbreed)
    t_floor=$(timed floor "$floor" "$prog" "$scratch/ours.out" "$scratch/ours.err" "${argv[@]:1}") ;;
  esac
  c_ours=$(processor ours "$t_ours") c_base=$(processor base "$t_base")
  c_peer=$(processor peer "$t_peer") c_floor=$(processor floor "$t_floor")
  cpu_rows+=("$(printf '| %s | %s | %s | %s | %s | %s | %s | %s |' "$name" "$(secs "$c_ours")" \
    "$(secs "$c_base")" "$(secs "$c_peer")" "$(secs "$c_floor")" "$(ratio "$c_base" "$c_ours")" \
    "$(ratio "$c_peer" "$c_ours")" "$(ratio "$c_ours" "$c_floor")")")
  mem=$(peak_mb "$ours/$prog" "${argv[@]:1}")
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$(secs "$t_ours")" \
    "$(secs "$t_base")" "$(secs "$t_peer")" "$(secs "$t_floor")" "$(ratio "$t_base" "$t_ours")" \
    "$(ratio "$t_peer" "$t_ours")" "$(ratio "$t_ours" "$t_floor")" "$mem" "$same"
done

echo
echo "Processor time (user + system, means of the same runs), which other work on a"
echo "shared machine inflates less than the time on the clock:"
printf '| workload | ours (s) | baseline (s) | peer (s) | floor (s) | baseline/ours | peer/ours | ours/floor |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|\n'
printf '%s\n' "${cpu_rows[@]}"

# The draws alone with the baseline's generator too, where its sources and
# libraries build bench/floor.cc.
base_floor=$scratch/base_floor
b=$scratch/baseline
${CXX:-g++} -std=c++20 -O3 -DNDEBUG -ffp-contract=off -DUNIT_TEST -I"$b/lib" -I"$b/ga" \
  "$top/bench/floor.cc" "$b/ga/peakseek.cc" "$b/ga/hillscan.cc" "$b/ga/jobmatch.cc" \
  "$b/ga/tacticbreed.cc" "$scratch/base/ga/libgacycle.a" "$scratch/base/lib/libmisc.a" \
  -lm -o "$base_floor" 2>/dev/null || base_floor=
echo
echo "Draws alone, scanned at a 1 % limit (bench/floor draws 100000000):"
echo "- ours: $("$floor" draws 100000000)"
[[ -z $base_floor ]] || echo "- baseline: $("$base_floor" draws 100000000)"


echo
echo "Peak memory (MB) at a short and a 10 to 100 times longer run:"
printf '| run | short | long |\n|---|---:|---:|\n'
mem_pair() { # NAME PROGRAM OPTION SHORT LONG OTHER...
  local name=$1 prog=$2 opt=$3 short=$4 long=$5
  shift 5
  printf '| %s | %s | %s |\n' "$name $opt $short / $long" \
    "$(peak_mb "$ours/$prog" "$opt" "$short" "$@")" "$(peak_mb "$ours/$prog" "$opt" "$long" "$@")"
}
mem_pair peakseek peakseek -gens 20 200 -size 10000 -len 64
mem_pair tacticbreed tacticbreed -gens 2 20 -size 1000 -hlen 3
mem_pair tacticpool tacticpool -steps 1000 100000
mem_pair mapseries mapseries -points 100000 10000000
mem_pair orbitpin orbitpin -points 20000 2000000 -skip 0

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"\
  "$(${CXX:-g++} --version | head -n 1), hyperfine $(hyperfine --version | cut -d' ' -f2)"
echo "Output identical to $baseline on every workload: $identical"
[[ $identical == yes ]]
