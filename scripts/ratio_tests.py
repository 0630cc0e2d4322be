#!/usr/bin/env python3
"""Test code against source code: non-blank, non-comment lines of C++ under tests/ (the fuzz
harness included) and of Python there, against those of src/. Prints both counts and the ratio.
Usage: scripts/ratio_tests.py [root]"""
import pathlib
import re
import sys

racine = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)


def lignes_cpp(chemin):
    texte = chemin.read_text(encoding="utf-8", errors="replace")
    texte = re.sub(r"/\*.*?\*/", "", texte, flags=re.S)  # block comments
    n = 0
    for ligne in texte.splitlines():
        ligne = ligne.strip()
        if ligne and not ligne.startswith("//"):
            n += 1
    return n


def lignes_python(chemin):
    n = 0
    for ligne in chemin.read_text(encoding="utf-8").splitlines():
        ligne = ligne.strip()
        if ligne and not ligne.startswith("#"):
            n += 1
    return n


def compter(dossier):
    cpp = sum(lignes_cpp(p) for p in sorted(dossier.rglob("*")) if p.suffix in (".cpp", ".hpp", ".h", ".cc"))
    py = sum(lignes_python(p) for p in sorted(dossier.rglob("*.py")))
    return cpp, py


src_cpp, _ = compter(racine / "src")
tests_cpp, tests_py = compter(racine / "tests")
tests = tests_cpp + tests_py
print(f"src: {src_cpp} lines of C++")
print(f"tests: {tests_cpp} lines of C++, {tests_py} of Python")
print(f"ratio tests/src: {100.0 * tests / src_cpp:.2f} %")
