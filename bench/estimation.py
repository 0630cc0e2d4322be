#!/usr/bin/env python3
"""The quality of the time left that the progress line shows, on whole counts.

Runs `unitfrac --status` (one plain line a second on standard error) to the end, then compares,
at 10 %, 25 % and 50 % of the run, the time left the line showed with the time that was really
left. Usage: bench/estimation.py BUILD/unitfrac [n] [threads]   (both types; n = 8 by default)
"""
import re
import subprocess
import sys
import time

UNITES = {"s": 1, "min": 60, "h": 3600, "jours": 86400, "ans": 365.25 * 86400}


def secondes(texte):
    """'1 min 23 s' -> 83."""
    total = 0.0
    for nombre, unite in re.findall(r"(\d+) (s|min|h|jours|ans)\b", texte):
        total += int(nombre) * UNITES[unite]
    return total


def mesurer(programme, type_, n, threads):
    debut = time.monotonic()
    p = subprocess.Popen([programme, "-t", str(type_), "-n", str(n), "--compte", "--status", "--threads", str(threads)],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    lignes = []  # (when, time left shown)
    for ligne in p.stderr:
        m = re.search(r"reste ([^;]*) ;", ligne)
        if m:
            lignes.append((time.monotonic() - debut, secondes(m.group(1))))
    compte = p.stdout.read().strip()
    p.wait()
    total = time.monotonic() - debut
    print(f"type {type_}, n = {n}, {threads} thread(s): {compte} solutions in {total:.1f} s")
    for part in (0.10, 0.25, 0.50):
        quand = part * total
        proche = min(lignes, key=lambda l: abs(l[0] - quand), default=None)
        if proche is None:
            print(f"  {part:4.0%}: no line")
            continue
        vrai = total - proche[0]
        print(f"  {part:4.0%} (line at {proche[0]:5.1f} s): shown {proche[1]:6.0f} s, really {vrai:6.1f} s, "
              f"ratio {proche[1] / vrai:4.2f}")


if __name__ == "__main__":
    programme = sys.argv[1]
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 8
    threads = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    for type_ in (1, 2):
        mesurer(programme, type_, n, threads)
