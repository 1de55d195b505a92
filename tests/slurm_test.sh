#!/usr/bin/env bash
# Starts a one-node Slurm cluster on the loopback address (munged, slurmctld
# and slurmd with a generated key and slurm.conf in a scratch folder),
# submits a sweep with sbatch, and compares its table.txt byte for byte with
# a local sweep of the same grid. Stops the daemons it started by their
# PIDs. Skipped (status 77) without Slurm, munge or GNU parallel.
# Usage: slurm_test.sh SOURCE_DIR BIN_DIR
set -u
src=${1:?usage: slurm_test.sh SOURCE_DIR BIN_DIR}
bin=${2:?usage: slurm_test.sh SOURCE_DIR BIN_DIR}
export PATH=$PATH:/usr/sbin:/sbin

for tool in parallel munged slurmctld slurmd sbatch srun sinfo; do
  command -v $tool >/dev/null || {
    echo "slurm_test: $tool is missing (Debian: apt-get install slurm-wlm munge parallel," \
      "or scripts/setup.sh); skipped"
    exit 77
  }
done

dir=$(mktemp -d)
chmod 700 "$dir"
pids=()
# munged is no child of the test (it forks itself away): its end is awaited
# by its PID, so that it writes nothing more into the scratch folder.
stop() {
  local pid munged
  munged=$(cat "$dir/munged.pid" 2>/dev/null)
  for pid in "${pids[@]}" $munged; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  for _ in $(seq 50); do [ -n "$munged" ] && kill -0 "$munged" 2>/dev/null && sleep 0.1; done
  rm -rf "$dir"
}
trap stop EXIT
die() {
  echo "FAIL: $*"
  for log in "$dir"/*.log; do echo "--- $log"; tail -n 20 "$log"; done
  exit 1
}

# munge: a fresh key and its own socket.
dd if=/dev/urandom of="$dir/munge.key" bs=1024 count=1 status=none
chmod 400 "$dir/munge.key"
munged --force --key-file="$dir/munge.key" --socket="$dir/munge.socket" \
  --pid-file="$dir/munged.pid" --log-file="$dir/munged.log" --seed-file="$dir/munge.seed" ||
  die "munged did not start"

# Two free ports: the test may run beside another cluster.
ports=$(comm -23 <(seq 20000 20999) <(ss -Htan 2>/dev/null | awk '{ sub(/.*:/, "", $4); print $4 }' | sort -u) |
  shuf -n 2)
read -r ctld_port node_port <<<"$(tr '\n' ' ' <<<"$ports")"
user=$(id -un)
node=$(uname -n)
node=${node%%.*}
mkdir -p "$dir/state" "$dir/spool"
cat > "$dir/slurm.conf" <<EOF
ClusterName=sweeptest
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge.socket
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
ReturnToService=2
NodeName=$node NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=sweeptest Nodes=$node Default=YES MaxTime=10 State=UP
EOF
export SLURM_CONF=$dir/slurm.conf
slurmctld -D -i -f "$SLURM_CONF" > "$dir/ctld.out.log" 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" -N "$node" > "$dir/slurmd.out.log" 2>&1 &
pids+=($!)
for _ in $(seq 60); do
  [ "$(sinfo -h -n "$node" -o %t 2>/dev/null)" = idle ] && break
  sleep 0.5
done
[ "$(sinfo -h -n "$node" -o %t 2>/dev/null)" = idle ] || die "the node did not come up"

# The same grid through Slurm (two tasks, so two runs at a time as srun
# steps), submitted as the README shows, and on the local cores.
grid=(-p tacticbreed -v "0 0.1" -s 3 -a "-gens 20 -size 10")
(cd "$src" && timeout 90 sbatch --wait --quiet --ntasks=2 --time=2 --output="$dir/job.log" \
  sweep/slurm.sbatch "${grid[@]}" -b "$bin" -d "$dir/slurm") || die "the sweep submitted with sbatch failed"
grep -q "launch task StepId=" "$dir/slurmd.log" || die "the sweep's runs did not go to srun steps"
"$src/sweep/run.sh" "${grid[@]}" -b "$bin" -d "$dir/local" > "$dir/local.log" 2>&1 || die "the local sweep failed"
cmp "$dir/local/table.txt" "$dir/slurm/table.txt" ||
  die "the table made through Slurm differs from the local one"
echo "the sweep through Slurm gives the local table"
