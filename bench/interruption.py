#!/usr/bin/env python3
"""How fast Ctrl-C acts: the time from SIGINT to the first byte of the summary and to the exit.

Starts the program with the given options, sends SIGINT after each delay in turn (one run each),
and prints when the summary began (standard error read from a pipe) and when the program ended.
A run that ended before the signal or before its search started (status 0 or killed) says so.
Usage: bench/interruption.py BUILD/unitfrac DELAYS OPTION...
  e.g. bench/interruption.py build/unitfrac 0.5,0.8,1.1 -n 1000000 -f 999995 -c --threads 2
"""
import os
import select
import signal
import subprocess
import sys
import time


def mesurer(programme, delai, options):
    p = subprocess.Popen([programme] + options, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    time.sleep(delai)
    envoi = time.monotonic()
    p.send_signal(signal.SIGINT)
    premier, taille = None, 0
    while select.select([p.stderr], [], [], 60)[0]:
        bloc = os.read(p.stderr.fileno(), 1 << 16)
        if not bloc:
            break
        premier = premier or time.monotonic()
        taille += len(bloc)
    p.wait()
    fin = time.monotonic()
    debut = f"{(premier - envoi) * 1000:.0f} ms" if premier else "none"
    print(f"SIGINT at {delai:.2f} s: summary after {debut}, exit after {(fin - envoi) * 1000:.0f} ms, "
          f"status {p.returncode}, {taille} bytes on standard error")


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    for delai in sys.argv[2].split(","):
        mesurer(sys.argv[1], float(delai), sys.argv[3:])
    return 0


if __name__ == "__main__":
    sys.exit(main())
