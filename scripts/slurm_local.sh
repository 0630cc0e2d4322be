#!/usr/bin/env bash
# A one-node Slurm cluster on this machine (Debian's slurm-wlm and munge, installed if missing),
# then the n = 7 count in 16 shards and the n = 8 count in 64 shards as job arrays through it, each
# merged with --fusion and checked against the known counts (OEIS A002966). Needs root; not run by
# CI. Usage: scripts/slurm_local.sh [path/to/unitfrac] (default: build/unitfrac, built if missing).
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$PWD
unitfrac=$(realpath "${1:-build/unitfrac}")
if [ ! -x "$unitfrac" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j"$(nproc)" --target unitfrac
fi

if ! command -v slurmctld >/dev/null || ! command -v munged >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq slurm-wlm munge >/dev/null
fi

# munge: a key of its own, then the daemon.
if [ ! -s /etc/munge/munge.key ]; then
  dd if=/dev/urandom of=/etc/munge/munge.key bs=1024 count=1 status=none
fi
chown munge:munge /etc/munge/munge.key && chmod 400 /etc/munge/munge.key
mkdir -p /run/munge && chown munge:munge /run/munge
pgrep -x munged >/dev/null || su -s /bin/sh munge -c /usr/sbin/munged

# Slurm: this host as controller and as the one compute node, its cores, no accounting.
hote=$(hostname -s)
coeurs=$(nproc)
memoire=$(( $(awk '/MemTotal/ {print $2}' /proc/meminfo) / 1024 - 1024 ))
mkdir -p /var/spool/slurmctld /var/spool/slurmd /var/log/slurm
chown slurm:slurm /var/spool/slurmctld /var/log/slurm 2>/dev/null || true
cat > /etc/slurm/slurm.conf <<CONF
ClusterName=unitfrac
SlurmctldHost=$hote
SlurmUser=root
AuthType=auth/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
ReturnToService=2
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
StateSaveLocation=/var/spool/slurmctld
SlurmdSpoolDir=/var/spool/slurmd
SlurmctldLogFile=/var/log/slurm/slurmctld.log
SlurmdLogFile=/var/log/slurm/slurmd.log
NodeName=$hote CPUs=$coeurs RealMemory=$memoire State=UNKNOWN
PartitionName=calcul Nodes=$hote Default=YES MaxTime=INFINITE State=UP
CONF
pkill -x slurmctld 2>/dev/null || true
pkill -x slurmd 2>/dev/null || true
slurmctld -c
slurmd -c
for _ in $(seq 60); do
  sinfo -h -o %T 2>/dev/null | grep -qE '^(idle|mixed)' && break
  scontrol update nodename="$hote" state=resume 2>/dev/null || true
  sleep 1
done
sinfo

# One array per count: a task per shard on one core, a result file each, then the merge.
travail=$(mktemp -d)
cd "$travail"
compter() {  # n K expected
  local n=$1 K=$2 attendu=$3
  local debut=$SECONDS
  local job
  job=$(sbatch --parsable --array="1-$K" --cpus-per-task=1 --output="n$n-%a.log" --requeue \
    --signal=B:INT@60 --wrap="exec $unitfrac -n $n -c --threads 1 --tranche \$SLURM_ARRAY_TASK_ID/$K --resultat n$n-\$SLURM_ARRAY_TASK_ID.res")
  # The merge as a job that waits for the whole array.
  local fusion
  fusion=$(sbatch --parsable --dependency="afterok:$job" --output="n$n-fusion.txt" \
    --wrap="exec $unitfrac --fusion n$n-*.res")
  while squeue -h -j "$job,$fusion" 2>/dev/null | grep -q .; do sleep 2; done
  local total
  total=$(cat "n$n-fusion.txt")
  local plus moyenne
  read -r plus moyenne < <(awk -F'\t' '{for (i = 1; i <= NF; i++) if ($i ~ /^secondes=/) {s = substr($i, 10); t += s; if (s > m) m = s}}
                                      END {printf "%.2f %.2f\n", m, t / NR}' n$n-*.res)
  echo "n = $n, K = $K: $total (expected $attendu), $((SECONDS - debut)) s wall, longest shard $plus s, mean $moyenne s"
  [ "$total" = "$attendu" ]
}
compter 7 16 294314
compter 8 64 159330691
cd "$racine"
rm -rf "$travail"
echo "slurm_local: the merged counts are right"
