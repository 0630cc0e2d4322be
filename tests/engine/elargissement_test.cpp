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
  rech.paires(false);
  test::placer(rech, debut);
  Collecteur c;
  while (rech.profondeur() >= 0) rech.avancer(c);
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
  // States as `exporter` writes them: the depth, N, D, x[1..i], minr[1..i].
  const auto etat = [](std::vector<i128> v) {
    Recherche<i128> r(reglages(1, 4, 1, 1));
    r.importer(v.data());
    return r;
  };
  const i128 h = static_cast<i128>(1) << 64;
  // x[3] past the depth (a solution already reported) need not fit.
  Recherche<i128> large = etat({3, 0, 0, 3, 7, static_cast<i128>(1) << 90, 2, 4, 8});
  large.importer(std::vector<i128>{2, 10, 21, 3, 7, 2, 4}.data());
  Recherche<long long> etroit(reg);
  ASSERT_TRUE(etroit.charger(large));
  EXPECT_EQ(etroit.profondeur(), 2);
  EXPECT_EQ(etroit.inconnues(), (std::vector<long long>{0, 3, 7, 0, 0}));
  EXPECT_EQ(etroit.numerateur(), 10);
  EXPECT_EQ(etroit.denominateur(), 21);
  EXPECT_FALSE(etroit.charger(etat({2, 10, h, 3, 7, 2, 4})));
  EXPECT_FALSE(etroit.charger(etat({2, 10, 21, 3, h << 6, 2, 4})));
  Recherche<mpz_class> grand(reg);
  const std::vector<mpz_class> haut = {1, 0, 1, mpz_class(1) << 127, 2};
  grand.importer(haut.data());
  EXPECT_FALSE(large.charger(grand));
  const std::vector<mpz_class> bas = {1, 0, 1, -(mpz_class(1) << 126), 2};
  grand.importer(bas.data());
  ASSERT_TRUE(large.charger(grand));
  EXPECT_EQ(large.inconnues()[1], -(static_cast<i128>(1) << 126));
}

}  // namespace
}  // namespace unitfrac
