// Tests of the final report where a whole dialogue would be clumsy: both sequence sentences at
// once, and statistics past 64 bits. (The transcripts of report/ cover the other sentences.) The
// counters are set as the display leaves them; expected texts are worked by hand.
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
