#!/usr/bin/env python3
"""Mutation testing: how many small faults planted in the code the test suite catches.

Seeded and repeatable: the same sources and seed give the same mutants, and a mutant is chosen
by a hash of its line's text (not its place), so edits elsewhere leave the choice as it was. Each mutant changes one
place in src/engine, src/parallele, src/output or src/input: a comparison flipped (< and <=,
> and >=, == and !=), && and || swapped, or an integer constant moved by one; two more are named
(faults once found that no test caught). Each is built in a copy of the tree and the tests run
against it; a mutant is killed when the build of the tests passes and a test fails (or times
out), and survives when every test passes. Mutants that do not compile are left out of the score.

Usage: scripts/mutation.py [--mutants 60] [--seed 7] [--timeout 600] [--liste] [--depuis K] [--jusqua K]
                          [--numeros K,L,...]
Prints one line a mutant and the score, killed / (killed + survived). Takes about two minutes a
mutant on two cores."""
import argparse
import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

RACINE = pathlib.Path(__file__).resolve().parent.parent
DOSSIERS = ["src/engine", "src/parallele", "src/output", "src/input"]

# Binary operators, with the blanks around them that the formatting gives (so templates, shifts and
# streams do not match).
OPERATEURS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ",
              " != ": " == ", " && ": " || ", " || ": " && "}

# Named mutants: (file, the text, what it becomes), each found once to survive every test.
NOMMES = [
    ("src/engine/grandes_paires.cpp", "if (K <= 0) return;", "if (K < 0) return;"),
    ("src/parallele/equipe.hpp", "std::size_t octets = 0;", "std::size_t octets = 1;"),
]


def code(ligne):
    """The line without its comment and string literals (blanked, so that positions stay)."""
    ligne = re.sub(r'"(\\.|[^"\\])*"', lambda m: " " * len(m.group(0)), ligne)
    ligne = re.sub(r"'(\\.|[^'\\])'", lambda m: " " * len(m.group(0)), ligne)
    i = ligne.find("//")
    return ligne if i < 0 else ligne[:i] + " " * (len(ligne) - i)


def sites(racine):
    """Every place a mutation can go: (file, line index, column, old text, new text)."""
    r = []
    for dossier in DOSSIERS:
        for chemin in sorted((racine / dossier).glob("*.[ch]pp")):
            rel = str(chemin.relative_to(racine))
            for n, ligne in enumerate(chemin.read_text().splitlines()):
                c = code(ligne)
                s = c.strip()
                if not s or s.startswith("#") or s.startswith("static_assert") or "assert(" in s:
                    continue
                for ancien, nouveau in OPERATEURS.items():
                    for m in re.finditer(re.escape(ancien), c):
                        r.append((rel, n, m.start(), ancien, nouveau))
                for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", c):
                    v = int(m.group(1))
                    if v > 1 << 20:
                        continue
                    r.append((rel, n, m.start(), m.group(1), str(v + 1 if v in (0, 1) else v - 1)))
    return r


def appliquer(racine, site):
    fichier, n, col, ancien, nouveau = site
    chemin = racine / fichier
    lignes = chemin.read_text().split("\n")
    ligne = lignes[n]
    assert ligne[col:col + len(ancien)] == ancien, site
    lignes[n] = ligne[:col] + nouveau + ligne[col + len(ancien):]
    texte_avant = chemin.read_text()
    chemin.write_text("\n".join(lignes))
    return chemin, texte_avant


def nomme(racine, fichier, ancien, nouveau):
    lignes = (racine / fichier).read_text().split("\n")
    for n, ligne in enumerate(lignes):
        col = ligne.find(ancien)
        if col >= 0:
            return (fichier, n, col, ancien, nouveau)
    return None


def executer(cmd, cwd, timeout):
    try:
        return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--mutants", type=int, default=60)
    a.add_argument("--seed", type=int, default=7)
    a.add_argument("--timeout", type=int, default=600, help="seconds for the tests of one mutant")
    a.add_argument("--liste", action="store_true", help="list the mutants without running them")
    a.add_argument("--depuis", type=int, default=1, help="go on from this mutant (numbered from 1)")
    a.add_argument("--jusqua", type=int, default=0, help="stop after this mutant (0: the last)")
    a.add_argument("--numeros", default="", help="only these mutants, e.g. 19,26,36")
    opt = a.parse_args()

    tous = sites(RACINE)

    def cle(site):
        fichier, n, col, ancien, nouveau = site
        ligne = (RACINE / fichier).read_text().split("\n")[n]
        rang = sum(1 for s in tous if s[:2] == site[:2] and s[3] == ancien and s[2] < col)
        texte = f"{opt.seed}|{fichier}|{ligne.strip()}|{ancien}|{nouveau}|{rang}"
        return hashlib.sha256(texte.encode()).hexdigest()

    choix = sorted(tous, key=cle)[:opt.mutants]
    for f, anc, nouv in NOMMES:
        s = nomme(RACINE, f, anc, nouv)
        if s is not None:
            choix.append(s)
    if opt.liste:
        for s in choix:
            print(f"{s[0]}:{s[1] + 1}: '{s[3].strip()}' -> '{s[4].strip()}'")
        print(f"{len(choix)} mutants of {len(tous)} places")
        return 0

    travail = pathlib.Path(tempfile.mkdtemp(prefix="unitfrac-mutants-"))
    arbre = travail / "arbre"
    fichiers = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=RACINE, check=True,
                              capture_output=True, text=True).stdout.split()
    for f in fichiers:
        (arbre / f).parent.mkdir(parents=True, exist_ok=True)
        if (RACINE / f).is_file():
            shutil.copy2(RACINE / f, arbre / f)
    build = travail / "build"
    subprocess.run(["cmake", "-S", str(arbre), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release"], check=True,
                   stdout=subprocess.DEVNULL)
    construire = ["cmake", "--build", str(build), "-j2", "--target", "unitfrac", "unitfrac_tests"]
    subprocess.run(construire, check=True, stdout=subprocess.DEVNULL)
    tester = [str(build / "unitfrac_tests"), "--gtest_fail_fast", "--gtest_brief=1"]
    if executer(tester, build, opt.timeout) != 0:
        print("the tests fail without any mutant", file=sys.stderr)
        return 1

    tues = survivants = invalides = 0
    numeros = {int(k) for k in opt.numeros.split(",") if k}
    for k, site in enumerate(choix):
        if k + 1 < opt.depuis or (opt.jusqua and k + 1 > opt.jusqua) or (numeros and k + 1 not in numeros):
            continue
        chemin, avant = appliquer(arbre, site)
        try:
            if executer(construire, build, 1800) != 0:
                etat = "invalid"
                invalides += 1
            elif executer(tester, build, opt.timeout) != 0:
                etat = "killed"
                tues += 1
            else:
                etat = "SURVIVED"
                survivants += 1
        finally:
            chemin.write_text(avant)
            os.utime(chemin)
        print(f"{k + 1:3} {etat:8} {site[0]}:{site[1] + 1}: '{site[3].strip()}' -> '{site[4].strip()}'", flush=True)
    executer(construire, build, 1800)
    shutil.rmtree(travail, ignore_errors=True)
    total = tues + survivants
    print(f"score: {tues}/{total} killed ({100.0 * tues / max(total, 1):.1f} %), {invalides} did not compile")
    return 0


if __name__ == "__main__":
    sys.exit(main())
