# The benchmark's workloads and table helpers, shared by bench/run.sh (native
# builds against a baseline and the peers) and bench/web.sh (the WebAssembly
# build against native). Sourced; PROBLEM must name the file for the jobmatch
# problem, and scratch the folder of the runs' outputs.

# A 50 x 50 assignment problem from a fixed linear congruential sequence,
# in exact integer arithmetic (awk's doubles would round the products); the
# same problem as in tests/exact_output_run_test.cc.
python3 -c '
s = 12345
print(50)
for r in range(50):
    row = []
    for c in range(50):
        s = (s * 1103515245 + 12345) % 2147483648
        row.append(str(s // 65536 % 100))
    print(" ".join(row))' >"$PROBLEM"

# name|our arguments|peer command (- for none)
workloads=(
  "peakseek 10000x64x20|peakseek -size 10000 -len 64 -gens 20 -seed 7|galib_bump 10000 64 20 0.25 0.01 7"
  "peakseek 1000x64x200|peakseek -size 1000 -len 64 -gens 200 -seed 7|galib_bump 1000 64 200 0.25 0.01 7"
  "hillscan 10000x64x20|hillscan -size 10000 -len 64 -gens 20 -seed 7|galib_hills 10000 64 20 0.75 0.01 7 perbit"
  "hillscan 1000x64x200|hillscan -size 1000 -len 64 -gens 200 -seed 7|galib_hills 1000 64 200 0.75 0.01 7 perbit"
  "jobmatch 50x50 1000x200|jobmatch -specs $PROBLEM -size 1000 -gens 200|-"
  "tacticbreed hlen 3|tacticbreed -size 1000 -gens 20 -hlen 3|-"
  "tacticbreed noise 0.05|tacticbreed -size 1000 -gens 20 -hlen 3 -noise 0.05|-"
  "tacticpool 100000|tacticpool -steps 100000|-"
  "tacticpool noise 0.01|tacticpool -steps 100000 -noise 0.01|-"
  "mapseries 1e7|mapseries -points 10000000|naive_maps 10000000 1.0 0.123456"
  "orbitpin 2e6|orbitpin -points 2000000 -skip 0|naive_henon 2000000 1.29 0.3 0"
)

# The head of each benchmark's loop: name, args, peer, argv (the program and
# its arguments) and prog from the workload W, and a word of progress.
start_workload() { # W
  IFS='|' read -r name args peer <<<"$1"
  read -r -a argv <<<"$args"
  prog=${argv[0]}
  echo "timing $name ..." >&2
}
# Whether runs A and B, kept as $scratch/A.out, A.err and B.out, B.err,
# printed the same bytes; both streams count (tacticbreed reports on
# standard error), each apart.
same_output() { # A B
  cmp -s "$scratch/$1.out" "$scratch/$2.out" && cmp -s "$scratch/$1.err" "$scratch/$2.err"
}

median() { # hyperfine JSON -> median seconds
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' "$1"
}
ratio() { [[ $1 == - || $2 == - ]] && echo - || awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
secs() { [[ $1 == - ]] && echo - || awk -v t="$1" 'BEGIN { printf "%.4f", t }'; }
