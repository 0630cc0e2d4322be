// Start and end sequences in the engine: placing typed start values (with the parity and bound
// adjustments and the one backtracking step), and the end-sequence test on each solution.
#include <gtest/gtest.h>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::liste;
using test::reglages;

// Places the typed start values one by one as the start-sequence entry does, then searches.
test::Liste depuis(const Reglages& reg, const std::vector<long long>& debut) {
  Moteur m(reg);
  int stop1 = 0;
  int s = 0;
  for (long long v : debut) {
    ++s;
    if (stop1 == 0) m.placer_debut(v, s, stop1);
  }
  Collecteur c;
  m.courir(c);
  return c.solutions;
}

TEST(Debut, StartSequencesOfTypeOne) {
  const Reglages reg = reglages(1, 3, 1, 1);
  EXPECT_EQ(depuis(reg, {2, 4}), liste({{2, 4, 4}, {2, 3, 6}}));
  EXPECT_EQ(depuis(reg, {2, 5}), liste({{2, 4, 4}, {2, 3, 6}}));  // 5 lowered to the bound 4
  EXPECT_EQ(depuis(reg, {3}), liste({{3, 3, 3}, {2, 4, 4}, {2, 3, 6}}));
  EXPECT_EQ(depuis(reg, {1}), test::Liste{});  // 1 is below minr[1] = 2
  EXPECT_EQ(depuis(reg, {}), liste({{3, 3, 3}, {2, 4, 4}, {2, 3, 6}}));
}

TEST(Debut, StartSequencesOfTypeTwo) {
  EXPECT_EQ(depuis(reglages(2, 3, 1, 1), {3, 4}), liste({{2, 3, 6}}));
  EXPECT_EQ(depuis(reglages(2, 4, 1, 1), {2, 4, 9}),
            liste({{2, 4, 6, 12}, {2, 4, 5, 20}, {2, 3, 10, 15}, {2, 3, 9, 18}, {2, 3, 8, 24},
                   {2, 3, 7, 42}}));
  // Even parity: 5 becomes 4, not above x1 = 4; one backtracking step lowers x1 to 2.
  EXPECT_EQ(depuis(reglages(2, 4, 1, 1, 2), {4, 5}), liste({{2, 4, 6, 12}}));
}

TEST(Debut, PlacementStopsWhereTheTypedValueIsChanged) {
  Moteur m(reglages(1, 3, 1, 1));
  int stop1 = 0;
  m.placer_debut(2, 1, stop1);
  EXPECT_EQ(stop1, 0);
  EXPECT_EQ(m.profondeur(), 1);
  m.placer_debut(5, 2, stop1);
  EXPECT_EQ(stop1, 1);
  EXPECT_EQ(m.profondeur(), 2);
  EXPECT_EQ(m.recherche64().x[2], 4);
}

TEST(Debut, FractionAboveNListsNothingWithOrWithoutAStartValue) {
  EXPECT_EQ(depuis(reglages(1, 2, 3, 1), {1}), test::Liste{});
  EXPECT_EQ(test::chercher(reglages(1, 2, 3, 1), true), test::Liste{});
  EXPECT_EQ(test::chercher(reglages(2, 2, 3, 1, 1), true), test::Liste{});
}

Reglages avec_fin(Reglages reg, const std::vector<long long>& fin) {
  reg.seq2 = 1;
  reg.s2 = static_cast<int>(fin.size());
  for (std::size_t c = 0; c < fin.size(); ++c) reg.x3[c + 1] = fin[c];
  return reg;
}

TEST(Fin, TheSearchEndsAtTheFirstSolutionBelowTheEndSequence) {
  EXPECT_EQ(test::chercher(avec_fin(reglages(2, 4, 1, 1), {2, 4})),
            liste({{2, 4, 6, 12}, {2, 4, 5, 20}}));
  EXPECT_EQ(test::chercher(avec_fin(reglages(1, 3, 1, 1), {2, 4})), liste({{3, 3, 3}, {2, 4, 4}}));
  EXPECT_EQ(test::chercher(avec_fin(reglages(1, 3, 1, 1), {3})), liste({{3, 3, 3}}));
  EXPECT_EQ(test::chercher(avec_fin(reglages(1, 3, 1, 1), {})),
            liste({{3, 3, 3}, {2, 4, 4}, {2, 3, 6}}));
}

TEST(Fin, TheCutOffWithABoundListsTheSameSolutions) {
  // n = 4, type 1, M = 12 and type 2, M = 20, with end sequences: the cut-off may end the search
  // earlier but never changes what is listed.
  const std::vector<std::vector<long long>> fins = {{3}, {2}, {2, 5}, {2, 4}, {3, 3}, {2, 3, 9}};
  for (int type = 1; type <= 2; ++type) {
    for (const auto& fin : fins) {
      Reglages avec = avec_fin(reglages(type, 4, 1, 1, 0, type == 1 ? 12 : 20), fin);
      Reglages sans_borne = avec;
      sans_borne.M = 0;
      test::Liste attendu;
      for (const auto& sol : test::chercher(sans_borne))
        if (std::stoll(sol.back()) <= avec.M) attendu.push_back(sol);
      EXPECT_EQ(test::chercher(avec), attendu) << "type " << type << " fin " << fin[0];
    }
  }
}

}  // namespace
}  // namespace unitfrac
