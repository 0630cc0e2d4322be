// Tests of the final report: the equation as entered and reduced, the kind of equation, the
// selection sentences, the extreme values of xn and x1, and the good-number tally. The counters
// are set as the display leaves them; expected texts are worked by hand from the report's sentences.
#include "output/affiche.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace unitfrac {
namespace {

const std::string kTete = "\n\n \t L'equation Diophantienne a  ";
const std::string kInconnues = "  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  ";
const std::string kEgales = " \n \t Des inconnues d'une meme solution pouvant etre egales. ";

struct Rapport {
  Rapport(int n, long long P1, long long Q1, long long pg) : lecteur(in, ignore) {
    reg.n = n;
    reg.P1 = P1;
    reg.Q1 = Q1;
    reg.pg = pg;
    reg.P = P1 / pg;
    reg.Q = Q1 / pg;
    aff.debut_calcul();
    aff.debut_run();
  }
  void compter(long long K1, long long m, long long m1) {
    aff.K1 = K1;
    aff.m = vers_mpz(m);
    aff.m1 = vers_mpz(m1);
  }
  std::string texte() {
    std::ostringstream out;
    resultat(out, reg, aff, bons);
    return out.str();
  }

  std::istringstream in;
  std::ostringstream ignore;
  Reglages reg;
  Bons bons;
  Lecteur lecteur;
  Affichage aff{ignore, lecteur, reg, bons};
};

struct Equation {
  long long P1, Q1, pg;
  const char* ecrite;
};

class ResultatEquation : public testing::TestWithParam<Equation> {};

TEST_P(ResultatEquation, GivesTheReducedFractionOnlyWhenItDiffers) {
  const Equation& e = GetParam();
  Rapport r(2, e.P1, e.Q1, e.pg);
  r.compter(2, 6, 2);
  EXPECT_EQ(r.texte(), kTete + "2" + kInconnues + e.ecrite +
                           " ,  (n = 2) ,  admet  2   solution(s). \n " + kEgales +
                           "\n \n \t  6  est la plus grande valeur prise par xn.  \n \t  2  est la "
                           "plus petite valeur prise par x1. \n ");
}

INSTANTIATE_TEST_SUITE_P(Resultat, ResultatEquation,
                         testing::Values(Equation{4, 6, 2, "4/6 = 2/3"}, Equation{6, 6, 6, "6/6 = 1/1"},
                                         Equation{1, 1, 1, "1/1"}));

TEST(Resultat, BoundSentenceCarriesTheLargestXnEvenWithoutSolutions) {
  Rapport r(2, 1, 2, 1);
  r.reg.tri = 1;
  r.reg.parite = 1;
  r.reg.Ma = 10;
  r.reg.M = 9;
  EXPECT_EQ(r.texte(), kTete + "2" + kInconnues +
                           "1/2 ,  (n = 2) ,  admet  0   solution(s). \n " + kEgales +
                           "  Elles sont egalement  toutes impaires. \n \n  \n \t  La plus grande "
                           "inconnue, xn,  devant etre inferieure ou egale a   10  et prenant   0  "
                           "pour plus grande valeur. ");
}

TEST(Resultat, EvenParityWithABoundGivesOnlyTheSmallestX1Apart) {
  Rapport r(2, 1, 2, 1);
  r.reg.tri = 1;
  r.reg.parite = 2;
  r.reg.Ma = 7;
  r.reg.M = 6;
  r.compter(1, 4, 4);
  EXPECT_EQ(r.texte(), kTete + "2" + kInconnues +
                           "1/2 ,  (n = 2) ,  admet  1   solution(s). \n " + kEgales +
                           "  Elles sont egalement toutes paires. \n \n  \n \t  La plus grande "
                           "inconnue, xn,  devant etre inferieure ou egale a   7  et prenant   4  "
                           "pour plus grande valeur.  \n \t  4  est la plus petite valeur prise par "
                           "x1. \n ");
}

TEST(Resultat, ListsStartAndEndSequencesValueByValue) {
  Rapport r(3, 1, 2, 1);
  r.reg.tri = 1;
  r.reg.seq = 1;
  r.reg.s = 2;
  r.reg.x2 = {0, 5, 7, 0};
  r.reg.seq2 = 1;
  r.reg.s2 = 2;
  r.reg.x3 = {0, 4, 6, 0};
  r.compter(3, 12, 4);  // (5, 5, 10), (4, 8, 8), (4, 6, 12)
  EXPECT_EQ(r.texte(),
            kTete + "3" + kInconnues + "1/2 ,  (n = 3) ,  admet  3   solution(s). \n " + kEgales +
                "  Elles sont egalement  toutes de parites indifferentes. \n \n  \t Les solutions "
                "sont toutes (avec l'ordre alpahabetique decroissant), inferieures ou egales a la "
                "sequence : \t 5  |  7  |   . \n \t Les solutions sont toutes (avec l'ordre "
                "alpahabetique decroissant), superieures ou egales a la sequence : \t 4  |  6  |   "
                ". \n \n \t  12  est la plus grande valeur prise par xn.  \n \t  4  est la plus "
                "petite valeur prise par x1. \n ");
}

TEST(Resultat, ListsTheTallyOfTheFourUnknownsOfOne) {
  Rapport r(4, 1, 1, 1);
  r.reg.cptbon = 1;
  for (int b : {16, 17, 18, 22, 20, 22, 22, 24, 31, 29, 30, 32, 37, 54}) r.bons.inserer(b);
  r.compter(14, 42, 2);
  EXPECT_EQ(r.texte(),
            kTete + "4" + kInconnues + "1/1 ,  (n = 4) ,  admet  14   solution(s). \n " + kEgales +
                "\n \n \t  42  est la plus grande valeur prise par xn.  \n \t  2  est la plus petite "
                "valeur prise par x1. \n  \n \t  Pour les solutions affichees, il y a 12  nombres "
                "Bons differents, qui sont par ordre croissant avec chacun leur nombre "
                "d'occurences  : 16[1]  : 17[1]  : 18[1]  : 20[1]  : 22[3]  : 24[1]  : 29[1]  : "
                "30[1]  : 31[1]  : 32[1]  : 37[1]  : 54[1]  ");
}

TEST(Resultat, ListsAnEmptyTallyWhenNothingWasShown) {
  Rapport r(2, 1, 1, 1);  // 1/x1 + 1/x2 = 1 with x1 < x2 has no solution
  r.reg.type = 2;
  r.reg.cptbon = 1;
  EXPECT_EQ(r.texte(), kTete + "2" + kInconnues +
                           "1/1 ,  (n = 2) ,  admet  0   solution(s). \n  \n \t Les inconnues d'une "
                           "meme solution etant toutes differentes. \n \n \t  Pour les solutions "
                           "affichees, il y a 0  nombres Bons differents, qui sont par ordre "
                           "croissant avec chacun leur nombre d'occurences  ");
}

TEST(Resultat, PrintsStatisticsBeyondSixtyFourBitsExactly) {
  Rapport r(2, 1, 1, 1);
  r.compter(2, 0, 0);
  r.aff.m = mpz_class("1361129467683753853853498429727072845824");
  r.aff.m1 = mpz_class("18446744073709551616");
  EXPECT_EQ(r.texte(), kTete + "2" + kInconnues + "1/1 ,  (n = 2) ,  admet  2   solution(s). \n " +
                           kEgales +
                           "\n \n \t  1361129467683753853853498429727072845824  est la plus grande "
                           "valeur prise par xn.  \n \t  18446744073709551616  est la plus petite "
                           "valeur prise par x1. \n ");
}

}  // namespace
}  // namespace unitfrac
