#!/usr/bin/env python3
"""Writes the transcript cases run by tests/dialogue/transcripts_test.cpp.

Each case is a whole console session: <theme>/<case>.in (the answers typed), <case>.out (the exact
standard output expected) and <case>.status (the exit status expected). Every expected output is
composed by hand below from the program's literal texts (the constants) and the solutions, counts
and extreme values worked out for the case; nothing here is taken from a run of the program.

Run from anywhere:  python3 tests/transcripts/make_transcripts.py
"""

import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------------------------
# Literal texts of the program, each written once.
# ---------------------------------------------------------------------------------------------

BANNER = (" \n   POUR MODIFIER LA TAILLE DU TEXTE : [TOUCHE CTRL] + [TOUCHE +/-]. PLEIN ECRAN : [F11] "
          " \n \n \t  ***  ECRIRE UNE FRACTION P/Q COMME SOMME DE n FRACTIONS UNITAIRES  ***. \n")
Q_EXPLI = " \n \t  Afficher des explications  ? Oui [1] / Non [0] ?\t: "
DASHES = "-" * 144
Q_NOUVEAU = "\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     "

# The explanation page, paragraph by paragraph. Paragraphs 11, 12, 14, 16 and 19 are worded by
# the program (their content is fixed, their wording left open); the others are fixed texts.
EXPLICATIONS = [
    " \n \t  Ce programme affiche toutes les solutions entieres positives des equations :",
    " \n \n \t \t \t   1/x1 + 1/x2 + 1/x3 +.....   1/xn = P/Q ",
    " \n \n \t  avec : 1 <= x1 <= x2 <= x3 <=....  <= xn <=  M  , TYPE 1 (inegalites larges). "
    "Soit par exemple : 1 = 1/2 + 1/4 + 1/4 . ",
    " \n \n \t   ou  : 1 <= x1 < x2 <  x3 <....  <   xn <=  M  , TYPE 2 (inegalites strictes). "
    "Soit par exemple : 1 = 1/2 + 1/3 + 1/6 . ",
    " \n \n \t  M , P , Q sont des entiers positifs qui doivent verifier  : P/Q >= n/M "
    "(L'utilisation de la borne M est optionnelle). \n ",
    " \n \t \t  Les inconnues pouvant etre : ou toutes PAIRES,  ou toutes IMPAIRES,  ou toutes de "
    "parites INDIFFERENTES. \n",
    " \n \t \t  Les solutions sont recherchees et  classees dans l'ordre dit alphabetique "
    "decroissant des inconnues. \n ",
    " \n \t \t      On peut eventuellement commencer leur recherche a partir d'une sequence de "
    "valeurs des premieres inconnues. \n \t \t      Les solutions retenues seront toutes "
    "inferieures ou egales a cette sequence dans l'ordre alphabetique decroissant. \n",
    " \n \t \t      On peut egalement faire cette recherche jusqu'a une sequence de valeurs des "
    "premieres inconnues. \n \t \t      Les solutions retenues seront toutes superieures ou "
    "egales a cette sequence dans l'ordre alphabetique decroissant.",
    " \n \n \t \t  n peut etre quelconque mais les calculs sont limites par les possibilites des "
    "ordinateurs, du langage et de l'algorithme utilises.  \n",
    # 11 (program's wording): good numbers when P/Q = 1, two lines.
    " \n \t \t  Quand P/Q = 1, on peut voir, compter et lister les nombres Bons (x1 + x2 + ... + xn) "
    "des solutions affichees."
    "\n \t \t  Dans cette liste, chaque nombre Bon est suivi de son nombre d'occurences entre "
    "crochets [ ]. ",
    # 12 (program's wording): the current version.
    " \n \n \t  Version actuelle : la recherche est plus rapide que dans les versions precedentes, "
    "surtout pour les deux dernieres inconnues. \n \t \t \n",
    " \t  Elle ne permet pas de manipuler des entiers superieures a (2^63-1) comme entrees ou en "
    "interne . Des erreurs ou des fautes se produiront.",
    # 14 (program's wording): the slower edition with unbounded integers.
    " \n \t  Pour les calculs qui demandent de plus grands entiers, utilisez l'edition plus lente "
    "en entiers illimites. ",
    " \n \n \t  Avec n = 7 et P/Q = 1, pour afficher les 294314 solutions (type 1) il faut environ "
    "8 minutes et seulement 10 secondes pour les compter. ",
    # 16 (program's wording): n = 8.
    " \n \t  Avec n = 8 et P/Q = 1, seule l'edition en entiers illimites donne les bonnes "
    "solutions (environ 160 000 000), et il lui faut plusieurs jours. ",
    " \n \n \t  Les dernieres versions calculent et affichent beaucoup plus rapidement les "
    "solutions quand elles sont toutes paires ou toutes impaires. ",
    " \n \t  Certains cas d'impossibilites quand les inconnues sont toutes impaires sont detectes. "
    "Cela evite des tests inutiles. ",
    # 19 (program's wording): input errors.
    " \n \n \t  Une erreur de saisie n'arrete pas le programme : la donnee est simplement "
    "redemandee. ",
]

# Calculation dialogue.
Q_TYPE = " \n \n \t Type d'equation :  1  ou  2  ?  : \t"
Q_N = " \n \n \t Nombre d'inconnues,  n ? : \t"
Q_P = "\n \t Valeur de P ? : \t"
Q_Q = "\n \t Valeur de Q ? : \t"
Q_TRI = " \n  \n \t Voulez vous selectionner les solutions a afficher, Oui [1] / Non [0]  ? \t"
Q_PARITE = "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: "
Q_SEQ = (" \n \t Commencer la recherche a partir de valeurs des premieres inconnues,   "
         "Oui [1] / Non [0] ?\t: ")
Q_SEQ2 = ("\n \t Terminer la recherche pour certaines valeurs des premieres inconnues,  "
          "Oui [1] / Non [0] ?\t: ")
NOTE_TN = ("\n \t (Pour P/Q = 1, on prouve mathematiquement que la plus grande valeur de xn possible "
           "est T(n) = T(n-1)x(T(n-1) + 1) , T1 valant 1.) \n")
Q_M = "\n  \t Majorant pour xn,  M [rentrez zero sinon] ?  : \t"
Q_BONS = ("\n \t Voulez vous voire et compter les nombres Bons des solutions affichees,  "
          "Oui [1] / Non [0]  ? : ")
NOTE_PAUSE = ("\n \n \n \t S'il y a un grand nombre de solutions, vous pouvez faire une pause au "
              "bout de K solutions. ")
Q_L = ("\n \n \t Valeur de K ou autre option que vous avez choisie : \n \n \t [K] / "
       "[zero, pas de limite] / [-K (K>1), pas de limite et affichage toutes les K solutions] ?    \t")

# Sequence entry: framing texts of position k, and the messages.
SEQ_AVANT = "\n \t  x"
SEQ_APRES = " =  ([0] si fin) ?  "
MSG_ORDRE_1 = " \n \t La valeur doit etre superieur ou egale a la precedente. Recommencez ! \n"
MSG_ORDRE_2 = " \n \t La valeur doit etre strictement superieure a la precedente. Recommencez ! \n"
MSG_SERIE = (" \n \t La deuxieme serie de valeurs doit etre sous la premiere, recommencez cette "
             "derniere! \n")

# Run driver.
MSG_DONNEES = "\n \n \t Les donnees ne verifient pas les conditions requises :   P/Q >= n/M \n \n"
CAS_TRIVIAL = "\n \t CAS TRIVIAL \n"
TABLEAU = "\n \t \t Tableau des solutions numerotees : "
TABLEAU_PARTIEL = "\n \t \t Tableau partiel des solutions numerotees : "
FIN_CALCUL = " \n \t FIN DU CALCUL"
CREDIT = " \t  unitfrac : toutes les solutions, en nombres entiers exacts."  # the program's credit line

# Solution lines and pause.
LIGNE_DEBUT = "\t  "
LIGNE_NUMERO = "  :   "
LIGNE_VALEUR = "  \t"
LIGNE_TOTAL = ",   Total = "
Q_PAUSE = ("\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / "
           "[zero, pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes "
           "les K solutions] ?    \t")
assert len(Q_PAUSE) == 189

# Final report.
R_EQUATION = " \t L'equation Diophantienne a  "
R_INCONNUES = "  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  "
R_ADMET = "  admet  "
R_SOLUTIONS = "   solution(s). \n "
R_TYPE_2 = " \n \t Les inconnues d'une meme solution etant toutes differentes. "
R_TYPE_1 = " \n \t Des inconnues d'une meme solution pouvant etre egales. "
R_PARITE = {
    2: "  Elles sont egalement toutes paires. \n \n ",
    1: "  Elles sont egalement  toutes impaires. \n \n ",
    0: "  Elles sont egalement  toutes de parites indifferentes. \n \n ",
}
R_SEQ_DEBUT = (" \t Les solutions sont toutes (avec l'ordre alpahabetique decroissant), inferieures ou "
               "egales a la sequence : \t ")
R_SEQ_FIN = (" \t Les solutions sont toutes (avec l'ordre alpahabetique decroissant), superieures ou "
             "egales a la sequence : \t ")
R_SEQ_SEP = "  |  "
R_SEQ_POINT = " . \n"
R_BORNE_1 = " \n \t  La plus grande inconnue, xn,  devant etre inferieure ou egale a   "
R_BORNE_2 = "  et prenant   "
R_BORNE_3 = "  pour plus grande valeur. "
R_MAX_XN = "  est la plus grande valeur prise par xn. "
R_MIN_X1 = "  est la plus petite valeur prise par x1. \n "
R_BONS = (" \n \t  Pour les solutions affichees, il y a ")
R_BONS_2 = ("  nombres Bons differents, qui sont par ordre croissant avec chacun leur nombre "
            "d'occurences  ")

# Exit statuses: normal end, and end of standard input before the user ends the program.
FIN_NORMALE = 1
FIN_SAISIE = 3


# ---------------------------------------------------------------------------------------------
# Composition helpers: each writes the pieces in the order the program writes them.
# ---------------------------------------------------------------------------------------------

class Case:
    """One session: the tokens typed and the text expected, built side by side."""

    def __init__(self, path, one_line=False):
        self.path = path
        self.tokens = []
        self.out = []
        self.status = FIN_NORMALE
        self.one_line = one_line  # all answers on one line, separated by blanks

    def write(self, *pieces):
        self.out.extend(str(p) for p in pieces)

    def ask(self, prompt, answer, refused=()):
        """A question answered by `answer` after the `refused` tokens: the question is written
        once per token read."""
        for token in refused:
            self.write(prompt)
            self.tokens.append(token)
        self.write(prompt)
        self.tokens.append(str(answer))

    def input_ends(self, prompt, refused=()):
        """The input ends at this question: the question, one newline, status 3."""
        for token in refused:
            self.write(prompt)
            self.tokens.append(token)
        self.write(prompt, "\n")
        self.status = FIN_SAISIE

    def save(self):
        base = os.path.join(HERE, self.path)
        os.makedirs(os.path.dirname(base), exist_ok=True)
        sep = " " if self.one_line else "\n"
        text_in = sep.join(self.tokens) + ("\n" if self.tokens else "")
        with open(base + ".in", "w", newline="") as f:
            f.write(text_in)
        with open(base + ".out", "w", newline="") as f:
            f.write("".join(self.out))
        with open(base + ".status", "w", newline="") as f:
            f.write("%d\n" % self.status)


def seq_prompt(k):
    """The framing texts written for position k of a start or end sequence."""
    return SEQ_AVANT + str(k) + SEQ_APRES


def opening(c, expli=0):
    c.write(BANNER)
    c.ask(Q_EXPLI, expli)
    if expli == 1:
        c.write("\n", "".join(EXPLICATIONS), "\n", " \n ", DASHES, " \n ")


def equation(c, typ, n, p, q):
    c.ask(Q_TYPE, typ)
    c.ask(Q_N, n)
    c.ask(Q_P, p)
    c.ask(Q_Q, q)


def selection_questions(c, parite, start=None, end=None, bound=0):
    """Selection answered 1. `start`/`end`: None for "no"; otherwise the list of pieces written
    after the "yes", in order: value() for a position answered, refused_value() for tokens the
    reader refuses, message() for an order or series message."""
    c.ask(Q_TRI, 1)
    c.ask(Q_PARITE, parite)
    if start is None:
        c.ask(Q_SEQ, 0)
    else:
        c.ask(Q_SEQ, 1)
        for piece in start:
            piece(c)
    if end is None:
        c.ask(Q_SEQ2, 0)
    else:
        c.ask(Q_SEQ2, 1)
        for piece in end:
            piece(c)
    c.write("\n", NOTE_TN)
    c.ask(Q_M, bound)


def value(k, token):
    """Position k of a sequence answered with `token`."""
    return lambda c: c.ask(seq_prompt(k), token)


def refused_value(k, tokens):
    """Position k of a sequence: tokens refused by the reader itself (no message)."""
    def piece(c):
        for t in tokens:
            c.write(seq_prompt(k))
            c.tokens.append(t)
    return piece


def message(text):
    return lambda c: c.write(text)


def paging(c, L, bons=None):
    """The good-number question (asked only when the reduced fraction is 1), the paging note and
    the paging question."""
    if bons is not None:
        c.ask(Q_BONS, bons)
    c.write(NOTE_PAUSE)
    c.ask(Q_L, L)


def heading(c, L):
    if L >= 0:
        c.write("\n", TABLEAU)
    elif L < -1:
        c.write("\n", TABLEAU_PARTIEL)
    c.write("\n\n")


def line(c, k, xs, total=None, partial=False):
    """Solution line number k; `total` is the good number worked out by hand (checked below
    against the values, to catch slips); `partial` adds the empty line of a partial table."""
    c.write(LIGNE_DEBUT, k, LIGNE_NUMERO)
    for v in xs:
        c.write(v, LIGNE_VALEUR)
    if total is not None:
        assert total == sum(xs), (c.path, k, xs, total)
        c.write(LIGNE_TOTAL, total)
    c.write("\n")
    if partial:
        c.write("\n")


def pause(c, answer, refused=()):
    c.ask(Q_PAUSE, answer, refused)
    c.write("\n\n")


def report(c, n, p1, q1, count, typ, m, m1, reduced=None, parite=None, start=None, end=None,
           bound=None, bons=None):
    """The final report. `reduced` = (P, Q) when the fraction was reduced; `parite` is None when
    the selection options were declined; `start`/`end` are the sequences as typed (None when not
    asked for); `bound` = M as entered when the adjusted bound is not 0; `bons` = the tally
    [(value, count), ...] when it is on."""
    c.write("\n\n", R_EQUATION, n, R_INCONNUES, p1, "/", q1)
    if reduced is not None:
        c.write(" = ", reduced[0], "/", reduced[1])
    c.write(" ,  (n = ", n, ") ,", R_ADMET, count, R_SOLUTIONS)
    c.write(R_TYPE_2 if typ == 2 else R_TYPE_1)
    if parite is None:
        c.write("\n")
    else:
        c.write(R_PARITE[parite])
        if start is not None:
            c.write(R_SEQ_DEBUT, "".join(str(v) + R_SEQ_SEP for v in start), R_SEQ_POINT)
        if end is not None:
            c.write(R_SEQ_FIN, "".join(str(v) + R_SEQ_SEP for v in end), R_SEQ_POINT)
    if bound is not None:
        c.write(R_BORNE_1, bound, R_BORNE_2, m, R_BORNE_3)
    if count >= 1:
        if bound is None:
            c.write(" \n \t  ", m, R_MAX_XN)
        c.write(" \n \t  ", m1, R_MIN_X1)
    if bons is not None:
        c.write(R_BONS, len(bons), R_BONS_2)
        for b, k in bons:
            c.write(": ", b, "[", k, "]  ")


def closing(c):
    c.write("\n", FIN_CALCUL, "\n", CREDIT, "\n\n")


def next_calc(c, answer, refused=()):
    """The separator line after a calculation and the new-calculation question."""
    c.write(DASHES, "\n\n")
    c.ask(Q_NOUVEAU, answer, refused)


def tiny_calc(c, typ=1, p=1, q=3, reduced=None):
    """n = 1, P/Q = 1/3 (or 2/6), no selection, all shown: the single solution (3)."""
    equation(c, typ, 1, p, q)
    c.ask(Q_TRI, 0)
    paging(c, 0)
    c.write(CAS_TRIVIAL)
    heading(c, 0)
    line(c, 1, [3])
    report(c, 1, p, q, 1, typ, m=3, m1=3, reduced=reduced)
    closing(c)


# Solution lists, in the order the search produces them (decreasing lexicographic order).
N3_P1_T1 = [(3, 3, 3), (2, 4, 4), (2, 3, 6)]
N4_P1_T1 = [(4, 4, 4, 4), (3, 4, 4, 6), (3, 3, 6, 6), (3, 3, 4, 12), (2, 6, 6, 6), (2, 5, 5, 10),
            (2, 4, 8, 8), (2, 4, 6, 12), (2, 4, 5, 20), (2, 3, 12, 12), (2, 3, 10, 15),
            (2, 3, 9, 18), (2, 3, 8, 24), (2, 3, 7, 42)]
N4_P1_T2 = [(2, 4, 6, 12), (2, 4, 5, 20), (2, 3, 10, 15), (2, 3, 9, 18), (2, 3, 8, 24),
            (2, 3, 7, 42)]
N3_2S3_T1 = [(4, 4, 6), (3, 6, 6), (3, 4, 12), (2, 12, 12), (2, 10, 15), (2, 9, 18), (2, 8, 24),
             (2, 7, 42)]
N3_2S3_T2 = [(3, 4, 12), (2, 10, 15), (2, 9, 18), (2, 8, 24), (2, 7, 42)]
N3_3S4_T2 = [(3, 4, 6), (2, 6, 12), (2, 5, 20)]


def lines(c, sols, first=1, totals=None, partial=False):
    for j, xs in enumerate(sols):
        line(c, first + j, xs, None if totals is None else totals[j], partial)


CASES = []


def case(fn):
    CASES.append(fn)
    return fn


# ---------------------------------------------------------------------------------------------
# opening/: banner, explanations, the calculation loop, end of input.
# ---------------------------------------------------------------------------------------------

@case
def opening_without_explanations():
    c = Case("opening/sans_explications")
    opening(c, 0)
    tiny_calc(c)
    next_calc(c, 0)
    return c


@case
def opening_with_explanations():
    c = Case("opening/avec_explications")
    opening(c, 1)
    tiny_calc(c)
    next_calc(c, 0)
    return c


@case
def opening_refused_answers():
    # Mode 1 accepts exactly "0" or "1": each other token rewrites the question in full.
    c = Case("opening/reponses_refusees", one_line=True)
    c.write(BANNER)
    c.ask(Q_EXPLI, 0, refused=["2", "oui", "01", "00", "+1", "10"])
    c.input_ends(Q_TYPE)
    return c


@case
def opening_two_calculations():
    # Second calculation: 2/6 reduces to 1/3 (type 2 this time); "2" refused at the question.
    c = Case("opening/deux_calculs")
    opening(c, 0)
    tiny_calc(c)
    next_calc(c, 1, refused=["2"])
    tiny_calc(c, typ=2, p=2, q=6, reduced=(1, 3))
    next_calc(c, 0)
    return c


@case
def opening_input_ends_at_explanations():
    c = Case("opening/fin_saisie_explications")
    c.write(BANNER)
    c.input_ends(Q_EXPLI)
    return c


@case
def opening_input_ends_after_refused_token():
    c = Case("opening/fin_saisie_apres_refus")
    c.write(BANNER)
    c.input_ends(Q_EXPLI, refused=["5"])
    return c


@case
def opening_input_ends_in_dialogue():
    c = Case("opening/fin_saisie_dialogue")
    opening(c, 0)
    c.ask(Q_TYPE, 1)
    c.ask(Q_N, 3)
    c.ask(Q_P, 2)
    c.input_ends(Q_Q)
    return c


@case
def opening_input_ends_at_new_calculation():
    c = Case("opening/fin_saisie_nouveau_calcul")
    opening(c, 0)
    tiny_calc(c)
    c.write(DASHES, "\n\n")
    c.input_ends(Q_NOUVEAU)
    return c


# ---------------------------------------------------------------------------------------------
# report/: the final report.
# ---------------------------------------------------------------------------------------------

@case
def report_fraction_4_6():
    # 4/6 = 2/3, n = 2, type 1: 1/3 + 1/3 and 1/2 + 1/6. Largest x2 6, smallest x1 2.
    c = Case("report/fraction_4_6")
    opening(c, 0)
    equation(c, 1, 2, 4, 6)
    c.ask(Q_TRI, 0)
    paging(c, 0)
    heading(c, 0)
    lines(c, [(3, 3), (2, 6)])
    report(c, 2, 4, 6, 2, 1, m=6, m1=2, reduced=(2, 3))
    closing(c)
    next_calc(c, 0)
    return c


@case
def report_fraction_6_6_with_tally():
    # 6/6 = 1/1: the good-number question is asked; n = 2 gives (2, 2), good number 4.
    c = Case("report/fraction_6_6_bons")
    opening(c, 0)
    equation(c, 1, 2, 6, 6)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=1)
    heading(c, 0)
    line(c, 1, (2, 2), total=4)
    report(c, 2, 6, 6, 1, 1, m=2, m1=2, reduced=(1, 1), bons=[(4, 1)])
    closing(c)
    next_calc(c, 0)
    return c


@case
def report_fraction_1_1():
    # 1/1: nothing is added after the fraction; the good-number question is asked (answered 0).
    c = Case("report/fraction_1_1")
    opening(c, 0)
    equation(c, 1, 2, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=0)
    heading(c, 0)
    line(c, 1, (2, 2))
    report(c, 2, 1, 1, 1, 1, m=2, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def report_odd_with_bound_10():
    # Odd parity with Q = 2: no all-odd solution, 0 solutions; M = 10 as entered (9 after the
    # parity adjustment), largest xn 0; no sentence on x1.
    c = Case("report/impaire_borne_10")
    opening(c, 0)
    equation(c, 1, 2, 1, 2)
    selection_questions(c, parite=1, bound=10)
    paging(c, 0)
    heading(c, 0)
    report(c, 2, 1, 2, 0, 1, m=0, m1=None, parite=1, bound=10)
    closing(c)
    next_calc(c, 0)
    return c


@case
def report_even_with_bound_9():
    # n = 3, P/Q = 1, even parity, M = 9 (8 after the adjustment): only (2, 4, 4).
    c = Case("report/paire_borne_9")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    selection_questions(c, parite=2, bound=9)
    paging(c, 0, bons=0)
    heading(c, 0)
    line(c, 1, (2, 4, 4))
    report(c, 3, 1, 1, 1, 1, m=4, m1=2, parite=2, bound=9)
    closing(c)
    next_calc(c, 0)
    return c


@case
def report_n4_tally():
    # n = 4, P/Q = 1, type 1, tally on: 14 solutions; good numbers in order of arrival
    # 16 17 18 22 20 22 22 24 31 29 30 32 37 54; tally of 12 values, 22 three times.
    c = Case("report/n4_bons")
    opening(c, 0)
    equation(c, 1, 4, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=1)
    heading(c, 0)
    lines(c, N4_P1_T1, totals=[16, 17, 18, 22, 20, 22, 22, 24, 31, 29, 30, 32, 37, 54])
    report(c, 4, 1, 1, 14, 1, m=42, m1=2,
           bons=[(16, 1), (17, 1), (18, 1), (20, 1), (22, 3), (24, 1), (29, 1), (30, 1), (31, 1),
                 (32, 1), (37, 1), (54, 1)])
    closing(c)
    next_calc(c, 0)
    return c


# ---------------------------------------------------------------------------------------------
# paging/: pauses, partial tables, stop.
# ---------------------------------------------------------------------------------------------

@case
def paging_2_then_0():
    # n = 3, P/Q = 2/3, type 2: 5 solutions; pause after line 2, answered 0: no more pauses.
    c = Case("paging/L2_reponse_0")
    opening(c, 0)
    equation(c, 2, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, 2)
    heading(c, 2)
    lines(c, N3_2S3_T2[:2])
    pause(c, 0)
    lines(c, N3_2S3_T2[2:], first=3)
    report(c, 3, 2, 3, 5, 2, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_2_then_1():
    # Same, answered 1: a pause after each later line, the last one included.
    c = Case("paging/L2_reponse_1")
    opening(c, 0)
    equation(c, 2, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, 2)
    heading(c, 2)
    lines(c, N3_2S3_T2[:2])
    pause(c, 1)
    line(c, 3, N3_2S3_T2[2])
    pause(c, 1)
    line(c, 4, N3_2S3_T2[3])
    pause(c, 1)
    line(c, 5, N3_2S3_T2[4])
    pause(c, 1)
    report(c, 3, 2, 3, 5, 2, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_refused_at_pause():
    # n = 3, P/Q = 3/4, type 2 (3 solutions), L = 1; at the first pause "a", "-" and "+0" are
    # refused (question written again each time), then 0.
    c = Case("paging/pause_reponses_refusees")
    opening(c, 0)
    equation(c, 2, 3, 3, 4)
    c.ask(Q_TRI, 0)
    paging(c, 1)
    heading(c, 1)
    line(c, 1, N3_3S4_T2[0])
    pause(c, 0, refused=["a", "-", "+0"])
    lines(c, N3_3S4_T2[1:], first=2)
    report(c, 3, 3, 4, 3, 2, m=20, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_input_ends_at_pause():
    c = Case("paging/fin_saisie_pause")
    opening(c, 0)
    equation(c, 2, 3, 3, 4)
    c.ask(Q_TRI, 0)
    paging(c, 1)
    heading(c, 1)
    line(c, 1, N3_3S4_T2[0])
    c.input_ends(Q_PAUSE)
    return c


@case
def paging_minus3_seven():
    # n = 3, P/Q = 2/3, type 1, bound M = 24: the 7 solutions with xn <= 24 (all but
    # (2, 7, 42)). L = -3: lines 1, 4, 7 shown, each followed by an empty line; the closing line
    # repeats solution 7 numbered 7. Report: bound 24, largest xn 24, smallest x1 2.
    sols = N3_2S3_T1[:7]
    c = Case("paging/Lm3_sept")
    opening(c, 0)
    equation(c, 1, 3, 2, 3)
    selection_questions(c, parite=0, bound=24)
    paging(c, -3)
    heading(c, -3)
    line(c, 1, sols[0], partial=True)
    line(c, 4, sols[3], partial=True)
    line(c, 7, sols[6], partial=True)
    line(c, 7, sols[6])
    report(c, 3, 2, 3, 7, 1, m=24, m1=2, parite=0, bound=24)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_minus3_eight():
    # n = 3, P/Q = 2/3, type 1: 8 solutions. L = -3: lines 1, 4, 7, then the closing line with
    # solution 8.
    sols = N3_2S3_T1
    c = Case("paging/Lm3_huit")
    opening(c, 0)
    equation(c, 1, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, -3)
    heading(c, -3)
    line(c, 1, sols[0], partial=True)
    line(c, 4, sols[3], partial=True)
    line(c, 7, sols[6], partial=True)
    line(c, 8, sols[7])
    report(c, 3, 2, 3, 8, 1, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_minus2():
    # n = 3, P/Q = 2/3, type 2: 5 solutions; L = -2 shows 1, 3, 5; closing line repeats 5.
    sols = N3_2S3_T2
    c = Case("paging/Lm2")
    opening(c, 0)
    equation(c, 2, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, -2)
    heading(c, -2)
    line(c, 1, sols[0], partial=True)
    line(c, 3, sols[2], partial=True)
    line(c, 5, sols[4], partial=True)
    line(c, 5, sols[4])
    report(c, 3, 2, 3, 5, 2, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_minus_k_above_count():
    # n = 3, P/Q = 3/4, type 2: 3 solutions; L = -10: line 1 only, closing line solution 3.
    sols = N3_3S4_T2
    c = Case("paging/Lm10")
    opening(c, 0)
    equation(c, 2, 3, 3, 4)
    c.ask(Q_TRI, 0)
    paging(c, -10)
    heading(c, -10)
    line(c, 1, sols[0], partial=True)
    line(c, 3, sols[2])
    report(c, 3, 3, 4, 3, 2, m=20, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_pause_minus3():
    # n = 4, P/Q = 1, type 1 (14 solutions), L = 4: pause after line 4 answered -3: lines 5, 8,
    # 11, 14 shown as a partial table; closing line repeats 14.
    sols = N4_P1_T1
    c = Case("paging/pause_reponse_m3")
    opening(c, 0)
    equation(c, 1, 4, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 4, bons=0)
    heading(c, 4)
    lines(c, sols[:4])
    pause(c, -3)
    for k in (5, 8, 11, 14):
        line(c, k, sols[k - 1], partial=True)
    line(c, 14, sols[13])
    report(c, 4, 1, 1, 14, 1, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_pause_minus3_at_last():
    # n = 3, P/Q = 2/3, type 2 (5 solutions), L = 5: the pause comes after the last line;
    # answering -3 makes the copy of solution 5, and the closing line repeats it.
    sols = N3_2S3_T2
    c = Case("paging/pause_m3_derniere")
    opening(c, 0)
    equation(c, 2, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, 5)
    heading(c, 5)
    lines(c, sols)
    pause(c, -3)
    line(c, 5, sols[4])
    report(c, 3, 2, 3, 5, 2, m=42, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_pause_minus1():
    # n = 3, P/Q = 2/3, type 2, L = 2: pause after line 2 answered -1: the calculation ends
    # silently (no report, no closing lines); the dash line and the question follow.
    c = Case("paging/pause_reponse_m1")
    opening(c, 0)
    equation(c, 2, 3, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, 2)
    heading(c, 2)
    lines(c, N3_2S3_T2[:2])
    pause(c, -1)
    next_calc(c, 0)
    return c


@case
def paging_pause_minus1_at_last():
    # n = 3, P/Q = 1, type 1, L = 3: the pause follows the last solution; the backtrack after it
    # ends the search, so -1 changes nothing: report and closing lines as usual.
    c = Case("paging/pause_m1_derniere")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 3, bons=0)
    heading(c, 3)
    lines(c, N3_P1_T1)
    pause(c, -1)
    report(c, 3, 1, 1, 3, 1, m=6, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def paging_partial_with_tally():
    # n = 4, P/Q = 1, type 2 (6 solutions), tally on, L = -5: lines 1 and 6 shown; the closing
    # line repeats solution 6, whose good number 54 is then recorded a second time.
    sols = N4_P1_T2
    c = Case("paging/Lm5_bons")
    opening(c, 0)
    equation(c, 2, 4, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, -5, bons=1)
    heading(c, -5)
    line(c, 1, sols[0], total=24, partial=True)
    line(c, 6, sols[5], total=54, partial=True)
    line(c, 6, sols[5], total=54)
    report(c, 4, 1, 1, 6, 2, m=42, m1=2, bons=[(24, 1), (54, 2)])
    closing(c)
    next_calc(c, 0)
    return c


# ---------------------------------------------------------------------------------------------
# driver/: data check, trivial case, impossible cases, stop at the paging question.
# ---------------------------------------------------------------------------------------------

@case
def driver_data_check_fails():
    # n = 4, P/Q = 1, M = 3: 1 x 3 < 4 x 1: message only.
    c = Case("driver/donnees_refusees")
    opening(c, 0)
    equation(c, 1, 4, 1, 1)
    selection_questions(c, parite=0, bound=3)
    paging(c, 0, bons=0)
    c.write(MSG_DONNEES)
    next_calc(c, 0)
    return c


@case
def driver_trivial():
    c = Case("driver/cas_trivial")
    opening(c, 0)
    tiny_calc(c)
    next_calc(c, 0)
    return c


@case
def driver_trivial_no_solution():
    # n = 1, P/Q = 2/3: 3/2 is not an integer, nothing listed.
    c = Case("driver/cas_trivial_sans_solution")
    opening(c, 0)
    equation(c, 1, 1, 2, 3)
    c.ask(Q_TRI, 0)
    paging(c, 0)
    c.write(CAS_TRIVIAL)
    heading(c, 0)
    report(c, 1, 2, 3, 0, 1, m=0, m1=None)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_trivial_with_selection():
    # n = 1, P/Q = 1/3, selection on, odd parity, no start sequence, M = 4 (3 after the parity
    # adjustment): x1 = 3 is odd and within the bound, so it is listed.
    c = Case("driver/cas_trivial_selection")
    opening(c, 0)
    equation(c, 1, 1, 1, 3)
    selection_questions(c, parite=1, bound=4)
    paging(c, 0)
    c.write(CAS_TRIVIAL)
    heading(c, 0)
    line(c, 1, [3])
    report(c, 1, 1, 3, 1, 1, m=3, m1=3, parite=1, bound=4)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_trivial_with_selection_even():
    # n = 1, P/Q = 1/3, even parity: x1 = 3 is odd, nothing listed.
    c = Case("driver/cas_trivial_selection_paire")
    opening(c, 0)
    equation(c, 2, 1, 1, 3)
    selection_questions(c, parite=2, bound=0)
    paging(c, 0)
    c.write(CAS_TRIVIAL)
    heading(c, 0)
    report(c, 1, 1, 3, 0, 2, m=0, m1=None, parite=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_odd_even_denominator():
    # n = 3, P/Q = 1/2, odd parity: Q even, no search; 0 solutions.
    c = Case("driver/impaire_q_pair")
    opening(c, 0)
    equation(c, 1, 3, 1, 2)
    selection_questions(c, parite=1, bound=0)
    paging(c, 0)
    heading(c, 0)
    report(c, 3, 1, 2, 0, 1, m=0, m1=None, parite=1)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_odd_n2_p1():
    # n = 2, P/Q = 1, odd parity: n even and P odd, no search. Tally on: it lists 0 values.
    c = Case("driver/impaire_n2_p1")
    opening(c, 0)
    equation(c, 1, 2, 1, 1)
    selection_questions(c, parite=1, bound=0)
    paging(c, 0, bons=1)
    heading(c, 0)
    report(c, 2, 1, 1, 0, 1, m=0, m1=None, parite=1, bons=[])
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_even_impossible_type2():
    # n = 2, P/Q = 3/2 > n/2, even parity, type 2: no all-even solution; 0 solutions.
    c = Case("driver/paire_impossible_type2")
    opening(c, 0)
    equation(c, 2, 2, 3, 2)
    selection_questions(c, parite=2, bound=0)
    paging(c, 0)
    heading(c, 0)
    report(c, 2, 3, 2, 0, 2, m=0, m1=None, parite=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_even_impossible_type1():
    # n = 2, P/Q = 3/2 > n/2, even parity, type 1: (1, 2) is not all even; 0 solutions.
    c = Case("driver/paire_impossible_type1")
    opening(c, 0)
    equation(c, 1, 2, 3, 2)
    selection_questions(c, parite=2, bound=0)
    paging(c, 0)
    heading(c, 0)
    report(c, 2, 3, 2, 0, 1, m=0, m1=None, parite=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_stop_at_paging_question():
    # L = -1 at the paging question: the two newlines of the heading step only.
    c = Case("driver/L_moins_1")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, -1, bons=0)
    heading(c, -1)
    next_calc(c, 0)
    return c


@case
def driver_stop_when_search_ruled_out():
    # L = -1 with an impossible all-odd case: the loop is skipped, report and closing written.
    c = Case("driver/L_moins_1_impossible")
    opening(c, 0)
    equation(c, 1, 2, 1, 2)
    selection_questions(c, parite=1, bound=0)
    paging(c, -1)
    heading(c, -1)
    report(c, 2, 1, 2, 0, 1, m=0, m1=None, parite=1)
    closing(c)
    next_calc(c, 0)
    return c


@case
def driver_n3_p1_type1():
    c = Case("driver/n3_p1_type1")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, N3_P1_T1)
    report(c, 3, 1, 1, 3, 1, m=6, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


# ---------------------------------------------------------------------------------------------
# sequences/: start and end sequences.
# ---------------------------------------------------------------------------------------------

def n3_p1_type1_with(path, start=None, end=None, sols=(), first=1, m=0, m1=None,
                     start_typed=None, end_typed=None, parite=0):
    """n = 3, P/Q = 1, type 1 with selection options: `start`/`end` are the sequence pieces;
    `start_typed`/`end_typed` the stored sequences printed by the report."""
    c = Case(path)
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    selection_questions(c, parite=parite, start=start, end=end, bound=0)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, sols, first=first)
    report(c, 3, 1, 1, len(sols), 1, m=m, m1=m1, parite=parite, start=start_typed,
           end=end_typed)
    closing(c)
    next_calc(c, 0)
    return c


@case
def seq_t1_start_2_4():
    # Two values asked (n - 1 = 2); lists (2, 4, 4), (2, 3, 6).
    return n3_p1_type1_with("sequences/t1_debut_2_4", start=[value(1, "2"), value(2, "4")],
                            sols=N3_P1_T1[1:], m=6, m1=2, start_typed=[2, 4])


@case
def seq_t1_start_2_5():
    # 5 is lowered to the bound 4 of x2 when placed; the report keeps 5.
    return n3_p1_type1_with("sequences/t1_debut_2_5", start=[value(1, "2"), value(2, "5")],
                            sols=N3_P1_T1[1:], m=6, m1=2, start_typed=[2, 5])


@case
def seq_t1_start_3_then_0():
    return n3_p1_type1_with("sequences/t1_debut_3_0", start=[value(1, "3"), value(2, "0")],
                            sols=N3_P1_T1, m=6, m1=2, start_typed=[3])


@case
def seq_t1_start_1():
    # 1 is below the lower bound 2 of x1: nothing listed; 0 at x2 ends the entry.
    return n3_p1_type1_with("sequences/t1_debut_1", start=[value(1, "1"), value(2, "0")],
                            sols=[], start_typed=[1])


@case
def seq_t1_end_2_4():
    # End sequence (2, 4), with 1 refused at x2 (below 2) first: lists (3, 3, 3), (2, 4, 4).
    return n3_p1_type1_with("sequences/t1_fin_2_4",
                            end=[value(1, "2"), value(2, "1"), message(MSG_ORDRE_1),
                                 value(2, "4")],
                            sols=N3_P1_T1[:2], m=4, m1=2, end_typed=[2, 4])


@case
def seq_t1_end_3():
    return n3_p1_type1_with("sequences/t1_fin_3", end=[value(1, "3"), value(2, "0")],
                            sols=N3_P1_T1[:1], m=3, m1=3, end_typed=[3])


@case
def seq_t1_out_of_order():
    # Start 7 (placed as 3, the bound of x1), then 5 < 7 refused with the type 1 message, then
    # 7 accepted: the report shows 7, 7; all three solutions have x1 <= 3.
    return n3_p1_type1_with("sequences/t1_ordre",
                            start=[value(1, "7"), value(2, "5"), message(MSG_ORDRE_1),
                                   value(2, "7")],
                            sols=N3_P1_T1, m=6, m1=2, start_typed=[7, 7])


@case
def seq_series_refused():
    # Start (2, 4). End (2, 5) is above it: refused; end (3) too; end (2, 3) accepted.
    return n3_p1_type1_with("sequences/serie_refusee",
                            start=[value(1, "2"), value(2, "4")],
                            end=[value(1, "2"), value(2, "5"), message(MSG_SERIE),
                                 value(1, "3"), value(2, "0"), message(MSG_SERIE),
                                 value(1, "2"), value(2, "3")],
                            sols=N3_P1_T1[1:], m=6, m1=2, start_typed=[2, 4], end_typed=[2, 3])


@case
def seq_refused_then_empty_end_with_bound():
    # Start (2, 4); end (3) refused; the new end entry begins with 0: an empty end sequence,
    # which constrains nothing even with the bound M = 6: (2, 4, 4), (2, 3, 6).
    c = Case("sequences/fin_vide_apres_refus_borne")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    selection_questions(c, parite=0, start=[value(1, "2"), value(2, "4")],
                        end=[value(1, "3"), value(2, "0"), message(MSG_SERIE), value(1, "0")],
                        bound=6)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, N3_P1_T1[1:])
    report(c, 3, 1, 1, 2, 1, m=6, m1=2, parite=0, start=[2, 4], end=[], bound=6)
    closing(c)
    next_calc(c, 0)
    return c


@case
def seq_input_ends_in_sequence():
    c = Case("sequences/fin_saisie_sequence")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 1)
    c.ask(Q_PARITE, 0)
    c.ask(Q_SEQ, 1)
    c.ask(seq_prompt(1), 2)
    c.input_ends(seq_prompt(2))
    return c


def type2_p1_with(path, n, start=None, end=None, sols=(), m=0, m1=None, start_typed=None,
                        end_typed=None, parite=0):
    """Type 2, P/Q = 1, with selection options."""
    c = Case(path)
    opening(c, 0)
    equation(c, 2, n, 1, 1)
    selection_questions(c, parite=parite, start=start, end=end, bound=0)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, sols)
    report(c, n, 1, 1, len(sols), 2, m=m, m1=m1, parite=parite, start=start_typed,
           end=end_typed)
    closing(c)
    next_calc(c, 0)
    return c


@case
def seq_t2_start_3_4():
    # n = 3: 3 placed, no x2 above 3 fits; the search goes on with x1 = 2: (2, 3, 6) only.
    return type2_p1_with("sequences/t2_debut_3_4", 3, start=[value(1, "3"), value(2, "4")],
                               sols=[(2, 3, 6)], m=6, m1=2, start_typed=[3, 4])


@case
def seq_t2_start_2_4_9():
    # n = 4: 2, 4 placed, 9 lowered to 8: all six solutions.
    return type2_p1_with("sequences/t2_debut_2_4_9", 4,
                               start=[value(1, "2"), value(2, "4"), value(3, "9")],
                               sols=N4_P1_T2, m=42, m1=2, start_typed=[2, 4, 9])


@case
def seq_t2_end_2_4():
    # n = 4, end (2, 4) then 0 at x3: (2, 4, 6, 12), (2, 4, 5, 20).
    return type2_p1_with("sequences/t2_fin_2_4", 4,
                               end=[value(1, "2"), value(2, "4"), value(3, "0")],
                               sols=N4_P1_T2[:2], m=20, m1=2, end_typed=[2, 4])


@case
def seq_t2_end_2_4_with_bound():
    # The same end sequence with M = 20: the same two solutions; the report gives the bound.
    c = Case("sequences/t2_fin_2_4_borne_20")
    opening(c, 0)
    equation(c, 2, 4, 1, 1)
    selection_questions(c, parite=0, end=[value(1, "2"), value(2, "4"), value(3, "0")], bound=20)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, N4_P1_T2[:2])
    report(c, 4, 1, 1, 2, 2, m=20, m1=2, parite=0, end=[2, 4], bound=20)
    closing(c)
    next_calc(c, 0)
    return c


@case
def seq_t2_out_of_order():
    # n = 4: "-2" and "x" refused by the reader at x1 (framing written again, no message); 3
    # accepted; 3 at x2 is not above 3: type 2 message; 0 ends. From x1 = 3 the search finds
    # the six solutions (all with x1 = 2).
    return type2_p1_with("sequences/t2_ordre", 4,
                               start=[refused_value(1, ["-2", "x"]), value(1, "3"),
                                      value(2, "3"), message(MSG_ORDRE_2), value(2, "0")],
                               sols=N4_P1_T2, m=42, m1=2, start_typed=[3])


@case
def seq_t2_even_start_4_5():
    # n = 4, even parity: 4 placed; 5 lowered to 4, not above x1, not placed; x1 lowered to 2:
    # (2, 4, 6, 12) only. 0 ends the entry at x3.
    return type2_p1_with("sequences/t2_paire_debut_4_5", 4,
                               start=[value(1, "4"), value(2, "5"), value(3, "0")],
                               sols=N4_P1_T2[:1], m=12, m1=2, start_typed=[4, 5], parite=2)


@case
def seq_n1_empty_sequences():
    # n = 1: both sequences asked for, no value asked; the report prints both, empty.
    c = Case("sequences/n1_sequences_vides")
    opening(c, 0)
    equation(c, 1, 1, 1, 3)
    selection_questions(c, parite=0, start=[], end=[], bound=0)
    paging(c, 0)
    c.write(CAS_TRIVIAL)
    heading(c, 0)
    line(c, 1, [3])
    report(c, 1, 1, 3, 1, 1, m=3, m1=3, parite=0, start=[], end=[])
    closing(c)
    next_calc(c, 0)
    return c


# ---------------------------------------------------------------------------------------------
# dialogue/: several calculations in one session; refused answers everywhere.
# ---------------------------------------------------------------------------------------------

@case
def dialogue_fewer_then_more_unknowns():
    # n = 3 (P/Q = 1, type 1, tally on), then n = 2 (P/Q = 1/2, type 1), then n = 4 (P/Q = 1,
    # type 2, tally on): each list and tally is that of its own calculation.
    c = Case("dialogue/moins_puis_plus")
    opening(c, 0)

    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=1)
    heading(c, 0)
    lines(c, N3_P1_T1, totals=[9, 10, 11])
    report(c, 3, 1, 1, 3, 1, m=6, m1=2, bons=[(9, 1), (10, 1), (11, 1)])
    closing(c)
    next_calc(c, 1)

    equation(c, 1, 2, 1, 2)
    c.ask(Q_TRI, 0)
    paging(c, 0)
    heading(c, 0)
    lines(c, [(4, 4), (3, 6)])
    report(c, 2, 1, 2, 2, 1, m=6, m1=3)
    closing(c)
    next_calc(c, 1)

    equation(c, 2, 4, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=1)
    heading(c, 0)
    lines(c, N4_P1_T2, totals=[24, 31, 30, 32, 37, 54])
    report(c, 4, 1, 1, 6, 2, m=42, m1=2,
           bons=[(24, 1), (30, 1), (31, 1), (32, 1), (37, 1), (54, 1)])
    closing(c)
    next_calc(c, 0)
    return c


@case
def dialogue_selection_then_none():
    # First calculation with start (2, 4); the second, without selection, lists all three and
    # its report has no selection lines.
    c = Case("dialogue/selection_puis_sans")
    opening(c, 0)
    equation(c, 1, 3, 1, 1)
    selection_questions(c, parite=0, start=[value(1, "2"), value(2, "4")], bound=0)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, N3_P1_T1[1:])
    report(c, 3, 1, 1, 2, 1, m=6, m1=2, parite=0, start=[2, 4])
    closing(c)
    next_calc(c, 1)
    equation(c, 1, 3, 1, 1)
    c.ask(Q_TRI, 0)
    paging(c, 0, bons=0)
    heading(c, 0)
    lines(c, N3_P1_T1)
    report(c, 3, 1, 1, 3, 1, m=6, m1=2)
    closing(c)
    next_calc(c, 0)
    return c


@case
def dialogue_refused_answers():
    # All answers on one line; each refused token rewrites its question in full.
    c = Case("dialogue/reponses_refusees", one_line=True)
    opening(c, 0)
    c.ask(Q_TYPE, 1, refused=["0", "3", "12"])
    c.ask(Q_N, "+3", refused=["0", "-3", "03", "1000001"])
    c.ask(Q_P, 1, refused=["+0", "1.0"])
    c.ask(Q_Q, "+1", refused=["00", "1a"])
    c.ask(Q_TRI, 0, refused=["2", "oui"])
    c.ask(Q_BONS, 0, refused=["-1"])
    c.write(NOTE_PAUSE)
    c.ask(Q_L, 0, refused=["--3", "+-1", "-0", "5-"])
    heading(c, 0)
    lines(c, N3_P1_T1)
    report(c, 3, 1, 1, 3, 1, m=6, m1=2)
    closing(c)
    next_calc(c, 0, refused=["+1"])
    return c


def main():
    # Rewrite every theme directory from scratch so that removed cases leave no files behind.
    for entry in os.listdir(HERE):
        full = os.path.join(HERE, entry)
        if os.path.isdir(full):
            shutil.rmtree(full)
    names = set()
    for fn in CASES:
        c = fn()
        assert c.path not in names, c.path
        names.add(c.path)
        c.save()
    print("%d transcripts written under %s" % (len(CASES), HERE))


if __name__ == "__main__":
    main()
