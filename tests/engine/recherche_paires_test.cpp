// The search with the last two unknowns solved from the divisors of b², against the step-by-step
// search: the same solutions in the same order, the same stop at a pause, the same state after.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::reglages;

// Start values placed as the start-sequence entry does, then the search; pairs off, automatic,
// or used wherever they can be.
enum class Mode { pas_a_pas, auto_, toujours };

test::Liste chercher(const Reglages& reg, Mode mode, const std::vector<long long>& debut = {}) {
  Moteur m(reg);
  m.paires(mode != Mode::pas_a_pas, mode == Mode::toujours);
  int stop1 = 0, s = 0;
  for (long long v : debut)
    if (++s, stop1 == 0) m.placer_debut(v, s, stop1);
  Collecteur c;
  m.courir(c);
  return c.solutions;
}

Reglages avec_fin(Reglages reg, std::vector<long long> fin) {
  reg.seq2 = 1;
  reg.s2 = static_cast<int>(fin.size());
  for (std::size_t c = 0; c < fin.size(); ++c) reg.x3[c + 1] = fin[c];
  return reg;
}

TEST(RecherchePaires, GivesTheStepByStepListOverAGridOfEquations) {
  int compares = 0;
  for (int type = 1; type <= 2; ++type)
    for (int n = 2; n <= 6; ++n)
      for (long long P = 1; P <= 5; ++P)
        for (long long Q = 1; Q <= 9; ++Q) {
          if (std::gcd(P, Q) != 1 || (n >= 5 && P != Q) || (n == 6 && type == 1)) continue;
          for (int parite = 0; parite <= 2; ++parite)
            for (long long M : {0LL, 42LL, 1000LL}) {
              const Reglages reg = reglages(type, n, P, Q, parite, M);
              if (pairs_impossibles(reg) || impairs_impossibles(reg)) continue;
              const test::Liste attendu = chercher(reg, Mode::pas_a_pas);
              SCOPED_TRACE(testing::Message() << "type " << type << " n " << n << " " << P << "/" << Q
                                              << " parite " << parite << " M " << M);
              EXPECT_EQ(chercher(reg, Mode::toujours), attendu);
              EXPECT_EQ(chercher(reg, Mode::auto_), attendu);
              ++compares;
            }
        }
  EXPECT_GT(compares, 500);
}

TEST(RecherchePaires, GivesTheStepByStepListWithStartAndEndSequences) {
  const std::vector<std::vector<long long>> debuts = {{}, {3}, {2, 4}, {2, 3, 9}, {2, 5, 7, 12}, {4, 5}};
  const std::vector<std::vector<long long>> fins = {{}, {2}, {2, 4}, {2, 3, 12}, {3, 3, 4}, {2, 3, 7, 50}};
  for (int type = 1; type <= 2; ++type)
    for (int parite = 0; parite <= 2; ++parite)
      for (long long M : {0LL, 60LL, 2000LL})
        for (const auto& debut : debuts)
          for (const auto& fin : fins) {
            const int n = 5;
            if (debut.size() > n - 1u || fin.size() > n - 1u) continue;
            Reglages reg = reglages(type, n, 1, 1, parite, M);
            if (pairs_impossibles(reg) || impairs_impossibles(reg)) continue;
            if (!fin.empty()) reg = avec_fin(reg, fin);
            SCOPED_TRACE(testing::Message() << "type " << type << " parite " << parite << " M " << M
                                            << " debut " << debut.size() << " fin " << fin.size());
            const test::Liste attendu = chercher(reg, Mode::pas_a_pas, debut);
            EXPECT_EQ(chercher(reg, Mode::toujours, debut), attendu);
          }
}

// Stops after the k-th solution, as the answer -1 at a pause does.
struct Arret {
  long long k, vus = 0;
  template <class Int>
  void operator()(const std::vector<Int>&) { ++vus; }
  bool arret() const { return vus >= k; }
};

TEST(RecherchePaires, AStopAfterAnySolutionLeavesTheSameState) {
  for (int type = 1; type <= 2; ++type) {
    const Reglages reg = reglages(type, 4, 1, 1);
    for (long long k = 1; k <= 14; ++k) {
      Recherche<long long> a(reg), b(reg);
      a.paires_actives = false;
      b.paires_toujours = true;
      Arret sa{k}, sb{k};
      while (a.i >= 0 && !sa.arret()) type == 2 ? a.suite2(sa) : a.suite(sa);
      while (b.i >= 0 && !sb.arret()) type == 2 ? b.suite2(sb) : b.suite(sb);
      SCOPED_TRACE(testing::Message() << "type " << type << " stop after " << k);
      EXPECT_EQ(sa.vus, sb.vus);
      ASSERT_EQ(a.i, b.i);
      if (a.i < 0) continue;
      for (int t = 1; t <= a.i; ++t) EXPECT_EQ(a.x[t], b.x[t]);
      EXPECT_EQ(a.N, b.N);
      EXPECT_EQ(a.D, b.D);
    }
  }
}

TEST(RecherchePaires, CountsForPOverQEqualToOne) {
  // Known counts, from the step-by-step search (which the list tests above check the pairs
  // against): type 1 and type 2, n = 1 to 7.
  const long long type1[] = {1, 1, 3, 14, 147, 3462, 294314};
  const long long type2[] = {1, 0, 1, 6, 72, 2320, 245765};
  for (int n = 1; n <= 7; ++n)
    for (int type = 1; type <= 2; ++type) {
      Moteur m(reglages(type, n, 1, 1));
      Compteur c;
      m.courir(c);
      EXPECT_EQ(c.K, (type == 1 ? type1 : type2)[n - 1]) << "type " << type << " n " << n;
      EXPECT_EQ(m.largeur_max(), 64);
    }
}

}  // namespace
}  // namespace unitfrac
