// The search engine on its own: exact partial sums, the bounds of the next unknown, the step by
// step traces of both searches, solution lists in order, and known counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "engine/moteur.hpp"
#include "engine/puits.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::chercher;
using test::liste;
using test::reglages;

TEST(Pgcd, GivesTheGreatestCommonDivisorQuicklyForAnySize) {
  // gcd(1, 9·10^18) by repeated subtraction would take 9·10^18 steps.
  for (const auto& [a, b, d] : {std::tuple{12LL, 18LL, 6LL}, {7LL, 7LL, 7LL}, {1LL, 40LL, 1LL}, {40LL, 1LL, 1LL},
                                {1LL, 9000000000000000000LL, 1LL}, {9223372036854775807LL, 9223372036854775806LL, 1LL}})
    EXPECT_EQ(pgcd(a, b), d) << a << " " << b;
}

TEST(Maxi, GivesTheWorkedBoundsRowByRow) {
  // After the unknowns `fixes`: the lowest and highest value of the next one (minr, r1) and what
  // r1 leaves (reste), worked by hand from rem = P/Q - sum 1/x; or the end of the search (i = -1)
  // when the sum is reached, or when the end sequence is at its cut-off with a bound.
  // The settings and the unknowns placed; then i, minr, r1, reste and hors_borne (no completion
  // with every unknown at most M).
  struct Ligne { int n; long long P, Q; int parite; long long M; std::vector<long long> fixes, fin; int i;
                 long long minr, r1, reste; bool hors_borne; };
  const std::vector<Ligne> lignes = {
      {3, 1, 1, 0, 0, {}, {}, 0, 2, 3, 0, false},
      {3, 1, 1, 0, 0, {2}, {}, 1, 3, 4, 0, false},
      {3, 1, 1, 0, 0, {2, 3}, {}, 2, 7, 6, 0, false},
      {4, 1, 1, 0, 10, {2, 3}, {}, 2, 7, 10, 2, true},  // 10·divis < divid: r1 held to M
      {3, 1, 1, 1, 0, {}, {}, 0, 3, 3, 0, false},
      {3, 1, 1, 2, 0, {}, {}, 0, 2, 2, 1, false},
      {3, 1, 1, 2, 0, {2, 4}, {}, 2, 4, 4, 0, false},
      {3, 3, 1, 0, 0, {}, {}, 0, 1, 1, 0, false},   // P/Q = n: (1, 1, 1)
      {3, 4, 1, 0, 0, {}, {}, 0, 1, 0, 3, false},   // P/Q > n: no value
      {3, 4, 1, 1, 0, {}, {}, 0, 1, -1, 3, false},  // odd: r1 = 0 becomes -1
      {2, 2, 1, 2, 0, {}, {}, 0, 2, 1, 0, false},   // even: r1 = 1 stays
      {3, 1, 2, 0, 0, {2}, {}, -1, 0, 0, 0, false},  // x1 = 2 already makes 1/2
      {2, 1, 1, 0, 0, {3}, {}, 1, 2, 1, 1, false},   // last unknown, rem = 2/3
      {2, 5, 6, 0, 0, {2}, {}, 1, 4, 3, 0, false},   // last unknown, rem = 1/3 exactly
      // The end-sequence cut-off fires only with a bound and at the end value.
      {4, 1, 1, 0, 4, {2}, {2}, -1, 0, 0, 0, false},
      {4, 1, 1, 0, 4, {2}, {}, 1, 3, 4, 2, true},
      {4, 1, 1, 0, 0, {2}, {2}, 1, 3, 6, 0, false},
  };
  for (std::size_t r = 0; r < lignes.size(); ++r) {
    const Ligne& l = lignes[r];
    SCOPED_TRACE(testing::Message() << "row " << r);
    Reglages reg = reglages(1, l.n, l.P, l.Q, l.parite, l.M);
    if (!l.fin.empty()) reg = test::avec_fin(reg, l.fin);
    const Recherche<long long> rech(reg);
    long long N = 0, D = 1;
    for (long long v : l.fixes) N = N * v + D, D *= v;
    const int k = static_cast<int>(l.fixes.size());
    Recherche<long long>::Bornes b;
    ASSERT_EQ(rech.bornes(k, D, N, k > 0 ? l.fixes.back() : 0, b), Pas::fait);
    ASSERT_EQ(b.fin, l.i < 0);
    if (l.i < 0) continue;
    EXPECT_EQ(std::tuple(b.minr, b.r1, b.reste, b.hors_borne), std::tuple(l.minr, l.r1, l.reste, l.hors_borne));
  }
}

TEST(Suite, FollowsTheTracesOfBothTypes) {
  // After each step, step-by-step: the depth, the prefix and the partial sum N/D, kept unreduced
  // (1/2 + 1/5 + 1/6 as 52/60) by the forward steps and undone exactly by the backtracking ones.
  struct Trace { int i; std::vector<long long> prefixe; long long N, D; };
  struct Cas { int type, n; std::vector<Trace> traces; };
  const std::vector<Cas> cas = {
      {1, 3, {{1, {2}, 1, 2}, {2, {2, 3}, 5, 6}, {-1, {}, 0, 0}}},
      {2, 4, {{1, {3}, 1, 3},         {2, {3, 4}, 7, 12},      {1, {2}, 1, 2},
              {2, {2, 5}, 7, 10},     {3, {2, 5, 6}, 52, 60},  {2, {2, 4}, 6, 8},
              {3, {2, 4, 7}, 50, 56}, {3, {2, 4, 6}, 44, 48},  {3, {2, 4, 5}, 38, 40},
              {2, {2, 3}, 5, 6},      {3, {2, 3, 11}, 61, 66}, {3, {2, 3, 10}, 56, 60},
              {3, {2, 3, 9}, 51, 54}, {3, {2, 3, 8}, 46, 48},  {3, {2, 3, 7}, 41, 42},
              {-1, {}, 0, 0}}},
  };
  for (const Cas& c : cas) {
    Recherche<long long> rech(reglages(c.type, c.n, 1, 1));
    rech.paires(false);
    Compteur compte;
    for (std::size_t k = 0; k < c.traces.size(); ++k) {
      rech.avancer(compte);
      SCOPED_TRACE(testing::Message() << "type " << c.type << " step " << k + 1);
      const Trace& t = c.traces[k];
      ASSERT_EQ(rech.profondeur(), t.i);
      if (t.i < 0) continue;
      for (int d = 1; d <= t.i; ++d) EXPECT_EQ(rech.inconnues()[d], t.prefixe[d - 1]);
      EXPECT_EQ(rech.numerateur(), t.N);
      EXPECT_EQ(rech.denominateur(), t.D);
    }
  }
}

TEST(Recherche, ListsEverySolutionOnceInDecreasingOrder) {
  // The non-decreasing solutions worked by hand, in decreasing order; those of type 2 (strictly
  // increasing), of a parity (every unknown odd, or even), of a bound M (the last unknown at most
  // M) and of an end sequence (the search ends at the first solution that starts below it, with or
  // without the cut-off of a bound) are the ones of the hand list that qualify, in the same order.
  // Every option, from depth 0 and (n >= 2) from x1 at its upper bound.
  struct Cas { int n; long long P, Q; test::Liste tous; };
  const std::vector<Cas> cas = {
      {4, 1, 1, liste({{4, 4, 4, 4}, {3, 4, 4, 6}, {3, 3, 6, 6}, {3, 3, 4, 12}, {2, 6, 6, 6}, {2, 5, 5, 10},
                       {2, 4, 8, 8}, {2, 4, 6, 12}, {2, 4, 5, 20}, {2, 3, 12, 12}, {2, 3, 10, 15},
                       {2, 3, 9, 18}, {2, 3, 8, 24}, {2, 3, 7, 42}})},
      {3, 1, 1, liste({{3, 3, 3}, {2, 4, 4}, {2, 3, 6}})},
      {3, 2, 3, liste({{4, 4, 6}, {3, 6, 6}, {3, 4, 12}, {2, 12, 12}, {2, 10, 15}, {2, 9, 18}, {2, 8, 24},
                       {2, 7, 42}})},
      {3, 3, 4, liste({{4, 4, 4}, {3, 4, 6}, {3, 3, 12}, {2, 8, 8}, {2, 6, 12}, {2, 5, 20}})},
      {3, 3, 1, liste({{1, 1, 1}})},
      {2, 1, 1, liste({{2, 2}})},
      {2, 2, 1, liste({{1, 1}})},
      {2, 3, 1, {}},
      {2, 1, 2, liste({{4, 4}, {3, 6}})},
      {2, 2, 3, liste({{3, 3}, {2, 6}})},
      {2, 3, 2, liste({{1, 2}})},
      {1, 1, 3, liste({{3}})},
      {1, 1, 4, liste({{4}})},
      {1, 2, 3, {}},
  };
  const std::vector<std::vector<long long>> fins = {{}, {3}, {2}, {2, 5}, {2, 4}, {3, 3}, {2, 3, 9}};
  for (const auto& c : cas)
    for (int type = 1; type <= 2; ++type)
      for (int parite = 0; parite <= 2; ++parite)
        for (long long M : {0, 2, 3, 4, 12, 20})
          for (const auto& fin : fins) {
            if (fin.size() > static_cast<std::size_t>(c.n)) continue;
            test::Liste attendu;
            for (const auto& sol : c.tous) {
              std::vector<long long> x;
              for (const auto& v : sol) x.push_back(std::stoll(v));
              bool garde = (M == 0 || x.back() <= M) &&
                           !std::lexicographical_compare(x.begin(), x.begin() + fin.size(), fin.begin(), fin.end());
              for (std::size_t a = 0; a < x.size(); ++a)
                if ((type == 2 && a > 0 && x[a] == x[a - 1]) || (parite != 0 && x[a] % 2 != parite % 2))
                  garde = false;
              if (garde) attendu.push_back(sol);
            }
            const Reglages reg = test::avec_fin(reglages(type, c.n, c.P, c.Q, parite, M), fin);
            SCOPED_TRACE(testing::Message() << "type " << type << " n=" << c.n << " " << c.P << "/" << c.Q
                                            << " parite " << parite << " M=" << M << " fin "
                                            << testing::PrintToString(fin));
            if (pairs_impossibles(reg) || impairs_impossibles(reg)) {  // ruled out before the search
              EXPECT_EQ(attendu, test::Liste{});
              continue;
            }
            EXPECT_EQ(chercher(reg), attendu);
            if (c.n >= 2) {
              EXPECT_EQ(chercher(reg, true), attendu) << "from x1 at its upper bound";
            }
          }
}

TEST(Recherche, ParityCasesRuledOutBeforeTheSearch) {
  EXPECT_TRUE(pairs_impossibles(reglages(2, 2, 3, 2, 2)));  // P/Q = 3/2 > n/2 = 1
  EXPECT_FALSE(pairs_impossibles(reglages(1, 2, 1, 1, 2)));  // (2, 2)
  EXPECT_FALSE(pairs_impossibles(reglages(1, 2, 3, 2, 0)));
  EXPECT_TRUE(impairs_impossibles(reglages(1, 2, 1, 2, 1)));  // Q even
  EXPECT_TRUE(impairs_impossibles(reglages(1, 2, 1, 1, 1)));  // n even, P odd
  EXPECT_FALSE(impairs_impossibles(reglages(1, 3, 1, 1, 1)));
  // Two of them that the search alone also gets right.
  EXPECT_EQ(chercher(reglages(1, 1, 1, 4, 1)), test::Liste{});
  EXPECT_EQ(chercher(reglages(2, 2, 3, 1, 1), true), test::Liste{});
}

TEST(Recherche, FiveUnknownsOfTypeTwoTakeTwoHundredSixtyThreeSteps) {
  Recherche<long long> rech(reglages(2, 5, 1, 1));
  rech.paires(false);
  Collecteur c;
  int pas = 0;
  for (; rech.profondeur() >= 0; ++pas) rech.avancer(c);
  EXPECT_EQ(pas, 263);
  ASSERT_EQ(c.solutions.size(), 72u);
  const test::Liste bouts = {c.solutions[0], c.solutions[1], c.solutions[2], c.solutions[70], c.solutions[71]};
  EXPECT_EQ(bouts, liste({{3, 4, 5, 6, 20}, {2, 5, 6, 12, 20}, {2, 5, 6, 10, 30}, {2, 3, 7, 44, 924},
                          {2, 3, 7, 43, 1806}}));
}

}  // namespace
}  // namespace unitfrac
