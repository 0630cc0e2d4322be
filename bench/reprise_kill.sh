#!/usr/bin/env bash
# A count killed with SIGKILL every P seconds and started again with its checkpoint until it
# finishes, against one run without a stop: the total wall and the count at the end.
#   bench/reprise_kill.sh [path/to/unitfrac] [P] [options of the count]
#   e.g. bench/reprise_kill.sh build/unitfrac 10 -n 8 -c --intervalle 1
set -uo pipefail
unitfrac=${1:-build/unitfrac}
periode=${2:-10}
shift 2 || true
[ $# -gt 0 ] || set -- -n 8 -c --intervalle 1
point=$(mktemp -u /tmp/reprise_kill.XXXXXX)
debut=$(date +%s.%N)
tours=0
while :; do
  tours=$((tours + 1))
  timeout -s KILL "$periode" "$unitfrac" "$@" --reprise "$point" > "$point.sortie" 2>/dev/null
  [ $? -eq 0 ] && break
done
fin=$(date +%s.%N)
echo "killed every $periode s: $(head -1 "$point.sortie") in $tours runs, $(echo "$fin - $debut" | bc) s wall"
debut=$(date +%s.%N)
"$unitfrac" "$@" > "$point.sortie"
fin=$(date +%s.%N)
echo "without a stop:    $(head -1 "$point.sortie"), $(echo "$fin - $debut" | bc) s wall"
rm -f "$point" "$point.sortie" "$point.nouveau"
