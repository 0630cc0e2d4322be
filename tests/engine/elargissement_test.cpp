// Exactness at every size: searches whose products leave 64 and then 128 bits give, solution for
// solution, what a search run on GMP integers from the start gives.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::reglages;

// The reference: the start values placed, then the step-by-step search on GMP integers throughout.
test::Liste en_gmp(const Reglages& reg, const std::vector<long long>& debut = {}) {
  Recherche<mpz_class> rech(reg);
  rech.paires_actives = false;
  test::placer(rech, debut);
  Collecteur c;
  while (rech.i >= 0) rech.type == 2 ? rech.suite2(c) : rech.suite(c);
  return c.solutions;
}

// 1/2 + 1/5 + 1/10^18: Q·D passes 2^63 at depth 2.
constexpr long long P_court = 700000000000000001LL;
constexpr long long Q_court = 1000000000000000000LL;

TEST(Elargissement, PastSixtyFourBitsEveryOptionGivesTheExactList) {
  const std::vector<long long> bornes = {0, 1000000000000000000LL, 999999999999999999LL, 100};
  const std::vector<std::vector<long long>> debuts = {{}, {2}, {2, 5}, {3, 4}};
  const std::vector<std::vector<long long>> fins = {{}, {2, 5}, {2, 7}};
  int vus_128 = 0;
  for (int type = 1; type <= 2; ++type)
    for (int parite = 0; parite <= 2; ++parite)
      for (long long M : bornes)
        for (const auto& debut : debuts)
          for (const auto& fin : fins) {
            Reglages reg = reglages(type, 3, P_court, Q_court, parite, M);
            if (!fin.empty()) reg = test::avec_fin(reg, fin);
            int largeur = 0;
            EXPECT_EQ(test::chercher(reg, test::Mode::auto_, debut, false, &largeur), en_gmp(reg, debut))
                << "type " << type << " parite " << parite << " M " << M << " debut " << debut.size()
                << " fin " << fin.size();
            if (largeur != 64) ++vus_128;
          }
  EXPECT_GT(vus_128, 0);
  const test::Liste tout = test::chercher(reglages(1, 3, P_court, Q_court));
  EXPECT_NE(std::find(tout.begin(), tout.end(), std::vector<std::string>{"2", "5", "1000000000000000000"}),
            tout.end());
}

TEST(Elargissement, PastOneHundredTwentySevenBitsTheSearchGoesOnInGmp) {
  // P/Q = 1 - 1/(2^63 - 1), n = 4, M = 2^63 - 1: M·divis passes 2^127 at depth 3.
  const long long Q = 9223372036854775807LL;
  for (int type = 1; type <= 2; ++type) {
    const Reglages reg = reglages(type, 4, Q - 1, Q, 0, Q);
    int largeur = -1;
    EXPECT_EQ(test::chercher(reg, test::Mode::auto_, {}, false, &largeur), en_gmp(reg)) << "type " << type;
    EXPECT_EQ(largeur, 0) << "type " << type;
  }
}

// (That P/Q = 1 stays within 64 bits up to seven unknowns is checked with the counts.)

// The conversions between widths at their edges: 128-bit values to GMP and back, and in decimal;
// 2^127 does not fit; the pair step's unsigned 128-bit values past 2^127 to GMP.
TEST(Elargissement, ConversionsBetweenWidthsAreExactAtTheirEdges) {
  for (const char* t : {"0", "-5", "18446744073709551616", "-18446744073709551616", "1267650600228229401496703205383",
                        "-1267650600228229401496703205383", "170141183460469231731687303715884105727",
                        "-170141183460469231731687303715884105727"}) {
    i128 w = 0;
    ASSERT_TRUE(en_i128(mpz_class(t), w)) << t;
    EXPECT_EQ(vers_mpz(w), mpz_class(t));
    EXPECT_EQ(en_decimal(w), t);
  }
  i128 w = 0;
  EXPECT_FALSE(en_i128(mpz_class("170141183460469231731687303715884105728"), w));
  using u128 = unsigned __int128;
  EXPECT_EQ(pas_paires_detail::vers_mpz_u(~u128{0}), (mpz_class(1) << 128) - 1);
  EXPECT_EQ(pas_paires_detail::vers_mpz_u((u128{1} << 127) + 5), (mpz_class(1) << 127) + 5);
}

TEST(Elargissement, TheStateComesBackTo64BitsOnlyWhenWhatItHoldsFits) {
  const Reglages reg = reglages(1, 4, 1, 1);
  Recherche<i128> large(reg);
  large.i = 2;
  large.x[1] = 3, large.x[2] = 7;
  large.minr[1] = 2, large.minr[2] = 4;
  large.N = 10, large.D = 21;
  large.x[3] = static_cast<i128>(1) << 90;  // past the depth: a solution already reported
  Recherche<long long> etroit(reg);
  ASSERT_TRUE(etroit.charger(large));
  EXPECT_EQ(etroit.i, 2);
  EXPECT_EQ(etroit.x[2], 7);
  EXPECT_EQ(etroit.x[3], 0);
  EXPECT_EQ(etroit.N, 10);
  EXPECT_EQ(etroit.D, 21);
  large.D = static_cast<i128>(1) << 64;
  EXPECT_FALSE(etroit.charger(large));
  large.D = 21;
  large.x[2] = static_cast<i128>(1) << 70;
  EXPECT_FALSE(etroit.charger(large));
  Recherche<mpz_class> grand(reg);
  grand.i = 1;
  grand.x[1] = mpz_class("170141183460469231731687303715884105728");  // 2^127
  EXPECT_FALSE(large.charger(grand));
  grand.x[1] = mpz_class("-85070591730234615865843651857942052864");  // -2^126
  ASSERT_TRUE(large.charger(grand));
  EXPECT_EQ(large.x[1], -(static_cast<i128>(1) << 126));
}

}  // namespace
}  // namespace unitfrac
