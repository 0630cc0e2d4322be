// The search engine on its own: exact partial sums, the bounds of the next unknown, the step by
// step traces of both searches, solution lists in order, and known counts.
#include <gtest/gtest.h>

#include "engine/moteur.hpp"
#include "engine/puits.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::chercher;
using test::liste;
using test::reglages;

TEST(Somme, PluAndMoinKeepTheUnreducedFractionAndUndoEachOther) {
  Recherche<long long> rech(reglages(1, 3, 1, 1));
  rech.x[1] = 3;
  rech.i = 1;
  rech.plu();
  EXPECT_EQ(rech.N, 1);
  EXPECT_EQ(rech.D, 3);
  rech.x[2] = 6;
  rech.i = 2;
  rech.plu();
  EXPECT_EQ(rech.N, 9);  // 1/3 + 1/6 kept as 9/18
  EXPECT_EQ(rech.D, 18);
  rech.moin();
  EXPECT_EQ(rech.N, 1);
  EXPECT_EQ(rech.D, 3);
  rech.i = 1;
  rech.moin();
  EXPECT_EQ(rech.N, 0);
  EXPECT_EQ(rech.D, 1);
}

TEST(Pgcd, GivesTheGreatestCommonDivisorQuicklyForAnySize) {
  EXPECT_EQ(pgcd(12, 18), 6);
  EXPECT_EQ(pgcd(7, 7), 7);
  EXPECT_EQ(pgcd(1, 40), 1);
  EXPECT_EQ(pgcd(40, 1), 1);
  EXPECT_EQ(pgcd(1, 9000000000000000000LL), 1);  // repeated subtraction would take 9e18 steps
  EXPECT_EQ(pgcd(9223372036854775807LL, 9223372036854775806LL), 1);
}

struct LigneMaxi {
  int n;
  int parite;
  long long M;
  std::vector<long long> fixes;
  long long pd, qn, qd, divid, divis, minr, r1, reste;
};

TEST(Maxi, GivesTheWorkedBoundsRowByRow) {
  const std::vector<LigneMaxi> lignes = {
      {3, 0, 0, {}, 1, 0, 1, 3, 1, 2, 3, 0},
      {3, 0, 0, {2}, 2, 1, 2, 4, 1, 3, 4, 0},
      {3, 0, 0, {2, 3}, 6, 5, 6, 6, 1, 7, 6, 0},
      {4, 0, 10, {2, 3}, 6, 5, 6, 12, 1, 7, 10, 2},
      {3, 1, 0, {}, 1, 0, 1, 3, 1, 3, 3, 0},
      {3, 2, 0, {}, 1, 0, 1, 3, 1, 2, 2, 1},
      {3, 2, 0, {2, 4}, 8, 6, 8, 8, 2, 4, 4, 0},
  };
  for (const auto& l : lignes) {
    Recherche<long long> rech(reglages(1, l.n, 1, 1, l.parite, l.M));
    for (long long v : l.fixes) {
      rech.x[++rech.i] = v;
      rech.plu();
    }
    const int k = rech.i;
    ASSERT_EQ(rech.maxi(k, rech.D, rech.N), Pas::fait);
    SCOPED_TRACE(testing::Message() << "n=" << l.n << " k=" << k << " parite=" << l.parite);
    EXPECT_EQ(rech.pd, l.pd);
    EXPECT_EQ(rech.qn, l.qn);
    EXPECT_EQ(rech.qd, l.qd);
    EXPECT_EQ(rech.divid, l.divid);
    EXPECT_EQ(rech.divis, l.divis);
    EXPECT_EQ(rech.minr[k + 1], l.minr);
    EXPECT_EQ(rech.r1, l.r1);
    EXPECT_EQ(rech.reste, l.reste);
    EXPECT_EQ(rech.i, k);
  }
  // The bound row: 10 x divis < divid, no completion within 10.
  Recherche<long long> rech(reglages(1, 4, 1, 1, 0, 10));
  rech.x[1] = 2, rech.i = 1, rech.plu();
  rech.x[2] = 3, rech.i = 2, rech.plu();
  rech.maxi(2, rech.D, rech.N);
  EXPECT_TRUE(rech.hors_borne);
}

TEST(Maxi, EndsTheSearchOrGivesNoValueWhenTheSumIsReachedOrTooLarge) {
  Recherche<long long> rech(reglages(1, 3, 3, 1));  // P/Q = n: (1, 1, 1)
  rech.maxi(0, 1, 0);
  EXPECT_EQ(rech.r1, 1);
  EXPECT_EQ(rech.reste, 0);
  EXPECT_EQ(rech.minr[1], 1);
  Recherche<long long> trop(reglages(1, 3, 4, 1));  // P/Q > n
  trop.maxi(0, 1, 0);
  EXPECT_EQ(trop.r1, 0);
  EXPECT_NE(trop.reste, 0);
  Recherche<long long> atteint(reglages(1, 3, 1, 2));  // x1 = 2 already makes 1/2
  atteint.x[1] = 2, atteint.i = 1, atteint.plu();
  atteint.maxi(1, atteint.D, atteint.N);
  EXPECT_EQ(atteint.i, -1);
  // Remainder exactly 1/m at the last position: minr = m + 1, r1 = m, exact.
  Recherche<long long> dernier(reglages(1, 2, 1, 1));
  dernier.x[1] = 3, dernier.i = 1, dernier.plu();
  dernier.maxi(1, dernier.D, dernier.N);
  EXPECT_EQ(dernier.minr[2], 2);  // rem = 2/3: floor(3/2) + 1
  Recherche<long long> exact(reglages(1, 2, 5, 6));
  exact.x[1] = 2, exact.i = 1, exact.plu();
  exact.maxi(1, exact.D, exact.N);  // rem = 1/3
  EXPECT_EQ(exact.minr[2], 4);
  EXPECT_EQ(exact.r1, 3);
  EXPECT_EQ(exact.reste, 0);
}

TEST(Maxi, AdjustsBoundsToTheParity) {
  // Odd parity: r1 = 0 becomes -1 (P/Q = 4 > n = 3).
  Recherche<long long> impair(reglages(1, 3, 4, 1, 1));
  impair.maxi(0, 1, 0);
  EXPECT_EQ(impair.r1, -1);
  // Even parity: r1 = 1 stays 1 (P/Q = 2, n = 2: floor(2/2) = 1).
  Recherche<long long> pair(reglages(1, 2, 2, 1, 2));
  pair.maxi(0, 1, 0);
  EXPECT_EQ(pair.r1, 1);
  EXPECT_EQ(pair.reste, 0);
}

TEST(Maxi, EndSequenceCutOffFiresOnlyWithABoundAndAtTheEndValue) {
  Reglages reg = reglages(1, 4, 1, 1, 0, 4);
  reg.seq2 = 1;
  reg.s2 = 1;
  reg.x3[1] = 2;
  Recherche<long long> rech(reg);
  rech.x[1] = 2, rech.i = 1, rech.plu();  // rem 1/2, 4 x 1 < 3 x 2
  rech.maxi(1, rech.D, rech.N);
  EXPECT_EQ(rech.i, -1);
  reg.seq2 = 0;
  Recherche<long long> sans(reg);
  sans.x[1] = 2, sans.i = 1, sans.plu();
  sans.maxi(1, sans.D, sans.N);
  EXPECT_EQ(sans.i, 1);
  reg.seq2 = 1;
  reg.M = 0;
  Recherche<long long> sans_borne(reg);
  sans_borne.x[1] = 2, sans_borne.i = 1, sans_borne.plu();
  sans_borne.maxi(1, sans_borne.D, sans_borne.N);
  EXPECT_EQ(sans_borne.i, 1);
}

struct Trace {
  int i;
  std::vector<long long> prefixe;
  long long N, D;
};

template <class Int>
void suivre(Recherche<Int>& rech, const std::vector<Trace>& traces) {
  rech.paires_actives = false;
  Compteur c;
  for (std::size_t k = 0; k < traces.size(); ++k) {
    rech.type == 2 ? rech.suite2(c) : rech.suite(c);
    SCOPED_TRACE(testing::Message() << "step " << k + 1);
    ASSERT_EQ(rech.i, traces[k].i);
    if (rech.i < 0) continue;
    for (int t = 1; t <= rech.i; ++t) EXPECT_EQ(rech.x[t], traces[k].prefixe[t - 1]);
    EXPECT_EQ(rech.N, traces[k].N);
    EXPECT_EQ(rech.D, traces[k].D);
  }
}

TEST(Suite, FollowsTheTypeOneTraceForThreeUnknowns) {
  Recherche<long long> rech(reglages(1, 3, 1, 1));
  suivre(rech, {{1, {2}, 1, 2}, {2, {2, 3}, 5, 6}, {-1, {}, 0, 0}});
}

TEST(Suite2, FollowsTheTypeTwoTraceForFourUnknowns) {
  Recherche<long long> rech(reglages(2, 4, 1, 1));
  suivre(rech, {{1, {3}, 1, 3},           {2, {3, 4}, 7, 12},        {1, {2}, 1, 2},
                {2, {2, 5}, 7, 10},       {3, {2, 5, 6}, 52, 60},    {2, {2, 4}, 6, 8},
                {3, {2, 4, 7}, 50, 56},   {3, {2, 4, 6}, 44, 48},    {3, {2, 4, 5}, 38, 40},
                {2, {2, 3}, 5, 6},        {3, {2, 3, 11}, 61, 66},   {3, {2, 3, 10}, 56, 60},
                {3, {2, 3, 9}, 51, 54},   {3, {2, 3, 8}, 46, 48},    {3, {2, 3, 7}, 41, 42},
                {-1, {}, 0, 0}});
}

struct CasListe {
  int type, n;
  long long P, Q;
  int parite;
  long long M;
  test::Liste attendu;
};

TEST(Recherche, ListsEverySolutionOnceInDecreasingOrder) {
  const std::vector<CasListe> cas = {
      {1, 4, 1, 1, 0, 0, liste({{4, 4, 4, 4}, {3, 4, 4, 6}, {3, 3, 6, 6}, {3, 3, 4, 12}, {2, 6, 6, 6},
                                {2, 5, 5, 10}, {2, 4, 8, 8}, {2, 4, 6, 12}, {2, 4, 5, 20},
                                {2, 3, 12, 12}, {2, 3, 10, 15}, {2, 3, 9, 18}, {2, 3, 8, 24},
                                {2, 3, 7, 42}})},
      {1, 4, 1, 1, 0, 12, liste({{4, 4, 4, 4}, {3, 4, 4, 6}, {3, 3, 6, 6}, {3, 3, 4, 12}, {2, 6, 6, 6},
                                 {2, 5, 5, 10}, {2, 4, 8, 8}, {2, 4, 6, 12}, {2, 3, 12, 12}})},
      {1, 4, 1, 1, 2, 0, liste({{4, 4, 4, 4}, {2, 6, 6, 6}, {2, 4, 8, 8}, {2, 4, 6, 12}})},
      {1, 3, 1, 1, 1, 0, liste({{3, 3, 3}})},
      {1, 3, 1, 1, 2, 0, liste({{2, 4, 4}})},
      {1, 3, 1, 1, 0, 4, liste({{3, 3, 3}, {2, 4, 4}})},
      {1, 3, 1, 1, 0, 3, liste({{3, 3, 3}})},
      {1, 3, 2, 3, 0, 0, liste({{4, 4, 6}, {3, 6, 6}, {3, 4, 12}, {2, 12, 12}, {2, 10, 15}, {2, 9, 18},
                                {2, 8, 24}, {2, 7, 42}})},
      {1, 2, 1, 1, 0, 0, liste({{2, 2}})},
      {1, 2, 2, 1, 0, 0, liste({{1, 1}})},
      {1, 2, 3, 1, 0, 0, {}},
      {1, 1, 1, 3, 0, 0, liste({{3}})},
      {1, 1, 2, 3, 0, 0, {}},
      {2, 4, 1, 1, 0, 20, liste({{2, 4, 6, 12}, {2, 4, 5, 20}, {2, 3, 10, 15}, {2, 3, 9, 18}})},
      {2, 4, 1, 1, 0, 12, liste({{2, 4, 6, 12}})},
      {2, 4, 1, 1, 2, 0, liste({{2, 4, 6, 12}})},
      {2, 3, 1, 1, 2, 0, {}},
      {2, 3, 2, 3, 0, 0, liste({{3, 4, 12}, {2, 10, 15}, {2, 9, 18}, {2, 8, 24}, {2, 7, 42}})},
      {2, 3, 3, 4, 0, 0, liste({{3, 4, 6}, {2, 6, 12}, {2, 5, 20}})},
      {2, 2, 1, 1, 0, 0, {}},
      {2, 2, 1, 2, 0, 0, liste({{3, 6}})},
      {2, 2, 2, 3, 0, 0, liste({{2, 6}})},
      {2, 2, 3, 2, 0, 0, liste({{1, 2}})},
      {2, 1, 1, 3, 0, 0, liste({{3}})},
      {2, 1, 2, 3, 0, 0, {}},
      {2, 3, 3, 1, 0, 0, {}},
  };
  for (const auto& c : cas) {
    const Reglages reg = reglages(c.type, c.n, c.P, c.Q, c.parite, c.M);
    SCOPED_TRACE(testing::Message() << "type " << c.type << " n=" << c.n << " " << c.P << "/" << c.Q
                                    << " parite " << c.parite << " M=" << c.M);
    EXPECT_EQ(chercher(reg), c.attendu);
    if (c.n >= 2) {
      EXPECT_EQ(chercher(reg, true), c.attendu) << "from x1 at its upper bound";
    }
  }
}

TEST(Recherche, SingleUnknownWithX1PlacedFirstStillFindsQOverP) {
  // With n = 1 the placement of x1 is the whole solution; the search starts at depth 0.
  EXPECT_EQ(chercher(reglages(1, 1, 1, 3)), liste({{3}}));
  EXPECT_EQ(chercher(reglages(1, 1, 1, 3, 1, 0)), liste({{3}}));
  EXPECT_EQ(chercher(reglages(1, 1, 1, 4, 1, 0)), test::Liste{});
  EXPECT_EQ(chercher(reglages(1, 1, 1, 3, 0, 2)), test::Liste{});
}

TEST(Recherche, ParityCasesRuledOutBeforeTheSearch) {
  EXPECT_TRUE(pairs_impossibles(reglages(2, 2, 3, 2, 2)));  // P/Q = 3/2 > n/2 = 1
  EXPECT_FALSE(pairs_impossibles(reglages(1, 2, 1, 1, 2)));  // (2, 2)
  EXPECT_FALSE(pairs_impossibles(reglages(1, 2, 3, 2, 0)));
  EXPECT_TRUE(impairs_impossibles(reglages(1, 2, 1, 2, 1)));  // Q even
  EXPECT_TRUE(impairs_impossibles(reglages(1, 2, 1, 1, 1)));  // n even, P odd
  EXPECT_FALSE(impairs_impossibles(reglages(1, 3, 1, 1, 1)));
}

TEST(Recherche, FiveUnknownsOfTypeTwoTakeTwoHundredSixtyThreeSteps) {
  Recherche<long long> rech(reglages(2, 5, 1, 1));
  rech.paires_actives = false;
  Collecteur c;
  int pas = 0;
  while (rech.i >= 0) {
    rech.suite2(c);
    ++pas;
  }
  EXPECT_EQ(pas, 263);
  ASSERT_EQ(c.solutions.size(), 72u);
  EXPECT_EQ(c.solutions[0], liste({{3, 4, 5, 6, 20}})[0]);
  EXPECT_EQ(c.solutions[1], liste({{2, 5, 6, 12, 20}})[0]);
  EXPECT_EQ(c.solutions[2], liste({{2, 5, 6, 10, 30}})[0]);
  EXPECT_EQ(c.solutions[70], liste({{2, 3, 7, 44, 924}})[0]);
  EXPECT_EQ(c.solutions[71], liste({{2, 3, 7, 43, 1806}})[0]);
}

// The first two of the n = 7 solutions, then the count; the whole search stays within 64 bits.
struct PremieresEtCompte {
  std::vector<std::vector<long long>> premieres;
  long long K = 0;
  template <class Int>
  void operator()(const std::vector<Int>& x) {
    if (premieres.size() < 2) {
      std::vector<long long> s;
      for (std::size_t a = 1; a < x.size(); ++a) s.push_back(static_cast<long long>(x[a]));
      premieres.push_back(s);
    }
    ++K;
  }
  void operator()(const std::vector<mpz_class>&) { ++K; }
  bool arret() const { return false; }
};

TEST(Recherche, SevenUnknownsOfTypeOneGive294314SolutionsWithin64Bits) {
  Moteur m(reglages(1, 7, 1, 1));
  PremieresEtCompte p;
  m.courir(p);
  EXPECT_EQ(p.K, 294314);
  ASSERT_EQ(p.premieres.size(), 2u);
  EXPECT_EQ(p.premieres[0], (std::vector<long long>{7, 7, 7, 7, 7, 7, 7}));
  EXPECT_EQ(p.premieres[1], (std::vector<long long>{6, 6, 6, 8, 8, 8, 8}));
  EXPECT_EQ(m.largeur_max(), 64);
}

}  // namespace
}  // namespace unitfrac
