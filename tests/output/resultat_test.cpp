// Tests of the final report where a whole dialogue would be clumsy: both sequence sentences at
// once with statistics past 64 bits. (The transcripts of report/ cover the other sentences.) The
// counters are set as the display leaves them; expected texts are worked by hand.
#include "output/affiche.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

TEST(Resultat, ListsBothSequencesValueByValueAndStatisticsBeyondSixtyFourBitsExactly) {
  Reglages reg = test::reglages(1, 3, 1, 2);
  reg.tri = reg.seq = reg.seq2 = 1;
  reg.s = reg.s2 = 2;
  reg.x2 = {0, 5, 7, 0};
  reg.x3 = {0, 4, 6, 0};
  std::ostringstream out;
  resultat(out, reg, 3, mpz_class("1361129467683753853853498429727072845824"), mpz_class(1) << 64, Bons());
  EXPECT_EQ(out.str(),
            "\n\n \t L'equation Diophantienne a  3  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  1/2 ,  "
            "(n = 3) ,  admet  3   solution(s). \n  \n \t Des inconnues d'une meme solution pouvant etre "
            "egales.   Elles sont egalement  toutes de parites indifferentes. \n \n  \t Les solutions sont "
            "toutes (avec l'ordre alpahabetique decroissant), inferieures ou egales a la sequence : \t 5  |  "
            "7  |   . \n \t Les solutions sont toutes (avec l'ordre alpahabetique decroissant), superieures ou "
            "egales a la sequence : \t 4  |  6  |   . \n \n \t  1361129467683753853853498429727072845824  est "
            "la plus grande valeur prise par xn.  \n \t  18446744073709551616  est la plus petite valeur "
            "prise par x1. \n ");
}

}  // namespace
}  // namespace unitfrac
