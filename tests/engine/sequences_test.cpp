// Start sequences in the engine: placing typed start values (with the parity and bound
// adjustments and the one backtracking step), alone and with an end sequence. (End sequences alone,
// with and without a bound, are checked against the hand lists of recherche_test.cpp.)
#include <gtest/gtest.h>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::avec_fin;
using test::liste;
using test::reglages;

TEST(Debut, StartSequencesOfBothTypesAloneAndWithAnEndSequence) {
  // The typed start values placed, then the whole search; the lists worked by hand from those of
  // 1/x1 + ... = 1 without sequences.
  struct Cas { Reglages reg; std::vector<long long> debut; test::Liste attendu; };
  const std::vector<Cas> cas = {
      {reglages(1, 3, 1, 1), {2, 4}, liste({{2, 4, 4}, {2, 3, 6}})},
      {reglages(1, 3, 1, 1), {2, 5}, liste({{2, 4, 4}, {2, 3, 6}})},  // 5 lowered to the bound 4
      {reglages(1, 3, 1, 1), {3}, liste({{3, 3, 3}, {2, 4, 4}, {2, 3, 6}})},
      {reglages(1, 3, 1, 1), {1}, {}},  // 1 is below minr[1] = 2
      {reglages(1, 2, 3, 1), {1}, {}},  // P/Q above n
      {reglages(2, 3, 1, 1), {3, 4}, liste({{2, 3, 6}})},
      {reglages(2, 4, 1, 1), {2, 4, 9},
       liste({{2, 4, 6, 12}, {2, 4, 5, 20}, {2, 3, 10, 15}, {2, 3, 9, 18}, {2, 3, 8, 24}, {2, 3, 7, 42}})},
      // Even parity: 5 becomes 4, not above x1 = 4; one backtracking step lowers x1 to 2.
      {reglages(2, 4, 1, 1, 2), {4, 5}, liste({{2, 4, 6, 12}})},
      // With an end sequence too: the search ends at the first solution below it.
      {avec_fin(reglages(1, 3, 1, 1), {2, 4}), {3}, liste({{3, 3, 3}, {2, 4, 4}})},
      {avec_fin(reglages(2, 4, 1, 1), {2, 4}), {2, 4, 9}, liste({{2, 4, 6, 12}, {2, 4, 5, 20}})},
  };
  for (std::size_t k = 0; k < cas.size(); ++k) {
    SCOPED_TRACE(testing::Message() << "row " << k);
    EXPECT_EQ(test::chercher(cas[k].reg, test::Mode::auto_, cas[k].debut), cas[k].attendu);
  }
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
  EXPECT_EQ(m.valeur(2), 4);
}

}  // namespace
}  // namespace unitfrac
