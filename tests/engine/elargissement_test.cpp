// Exactness at every size: searches whose products leave 64 and then 128 bits give, solution for
// solution, what a search run on GMP integers from the start gives.
#include <gtest/gtest.h>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::reglages;

// Start values placed as the start-sequence entry does, then the search: on the widening engine,
// or on one integer type throughout.
test::Liste en_elargissant(const Reglages& reg, const std::vector<long long>& debut, int* largeur) {
  Moteur m(reg);
  int stop1 = 0, s = 0;
  for (long long v : debut)
    if (++s, stop1 == 0) m.placer_debut(v, s, stop1);
  Collecteur c;
  m.courir(c);
  if (largeur) *largeur = m.largeur_max();
  return c.solutions;
}

test::Liste en_gmp(const Reglages& reg, const std::vector<long long>& debut) {
  Recherche<mpz_class> rech(reg);
  rech.paires_actives = false;
  int stop1 = 0, s = 0;
  for (long long v : debut)
    if (++s, stop1 == 0) rech.placer_debut(v, s, stop1);
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
            reg.seq2 = fin.empty() ? 0 : 1;
            reg.s2 = static_cast<int>(fin.size());
            for (std::size_t c = 0; c < fin.size(); ++c) reg.x3[c + 1] = fin[c];
            int largeur = 0;
            const test::Liste l = en_elargissant(reg, debut, &largeur);
            EXPECT_EQ(l, en_gmp(reg, debut)) << "type " << type << " parite " << parite << " M " << M
                                             << " debut " << debut.size() << " fin " << fin.size();
            if (largeur != 64) ++vus_128;
          }
  EXPECT_GT(vus_128, 0);
  const test::Liste tout = en_elargissant(reglages(1, 3, P_court, Q_court), {}, nullptr);
  EXPECT_NE(std::find(tout.begin(), tout.end(),
                      std::vector<std::string>{"2", "5", "1000000000000000000"}),
            tout.end());
}

TEST(Elargissement, PastOneHundredTwentySevenBitsTheSearchGoesOnInGmp) {
  // P/Q = 1 - 1/(2^63 - 1), n = 4, M = 2^63 - 1: M·divis passes 2^127 at depth 3.
  const long long Q = 9223372036854775807LL;
  for (int type = 1; type <= 2; ++type) {
    const Reglages reg = reglages(type, 4, Q - 1, Q, 0, Q);
    int largeur = -1;
    const test::Liste l = en_elargissant(reg, {}, &largeur);
    EXPECT_EQ(largeur, 0) << "type " << type;
    EXPECT_EQ(l, en_gmp(reg, {})) << "type " << type;
  }
}

TEST(Elargissement, POverQEqualToOneStaysWithin64BitsUpToSixUnknowns) {
  // The seven-unknown count checks the same in its own test.
  for (int n = 1; n <= 6; ++n)
    for (int type = 1; type <= 2; ++type) {
      int largeur = 0;
      en_elargissant(reglages(type, n, 1, 1), {}, &largeur);
      EXPECT_EQ(largeur, 64) << "n " << n << " type " << type;
    }
}

}  // namespace
}  // namespace unitfrac

namespace unitfrac {
namespace {

TEST(Elargissement, TheStateComesBackTo64BitsOnlyWhenWhatItHoldsFits) {
  const Reglages reg = test::reglages(1, 4, 1, 1);
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
