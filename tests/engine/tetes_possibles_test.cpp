// The heads a loop under a bound may pass over: every head with a pair is kept, and most of the
// others are not (the loop would gain nothing otherwise).
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "engine/tetes_possibles.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;

// Whether 1/y + 1/z = A/B - 1/c for some c <= y <= z <= M, trying each y.
bool a_des_paires(u64 A, u64 B, u64 c, u64 M) {
  u64 a = A * c - B, b = B * c;
  const u64 g = std::gcd(a, b);
  a /= g;
  b /= g;
  for (u64 y = std::max(c, b / a + 1); y <= M && y * a <= 2 * b; ++y) {
    const u64 num = b * y, den = a * y - b;  // z = b·y/(a·y - b)
    if (num % den == 0 && num / den >= y && num / den <= M) return true;
  }
  return false;
}

TEST(TetesPossibles, KeepsEveryHeadWithPairsAndPassesOverMostOthers) {
  // Remainders with few and with many primes in B, A = 1 and A > 1, both classes of a parity,
  // budgets small enough that the heads with a large gcd are kept by their progressions.
  struct Cas {
    u64 A, B, M, z, bas, haut, budget;
    double part_max;  // the share of the heads kept at most
  };
  const std::vector<Cas> cas = {
      {1, 1000, 6000, 1, 1500, 3000, 1 << 20, 0.2}, {1, 1000, 6000, 1, 1500, 3000, 3000, 0.5},
      {1, 1000, 6000, 2, 1501, 2999, 1 << 20, 0.1}, {1, 1000, 6000, 2, 1500, 3000, 3000, 0.7},
      {1, 1024, 7000, 1, 1448, 3072, 1 << 20, 0.1}, {3, 1000, 3000, 1, 429, 1000, 1 << 20, 0.25},
      {2, 999, 4000, 1, 666, 1498, 1 << 20, 0.1},   {1, 720, 5000, 1, 1011, 2160, 1 << 20, 0.5},
      {5, 1331, 8000, 1, 286, 798, 1 << 20, 0.15},  {1, 997, 6000, 1, 1494, 2991, 1 << 20, 0.1},
  };
  for (const Cas& k : cas) {
    SCOPED_TRACE(testing::Message() << k.A << "/" << k.B << " M " << k.M << " z " << k.z << " budget " << k.budget);
    std::vector<Facteur> fB;
    factoriser(k.B, fB);
    TetesPossibles t;
    ASSERT_TRUE(t.construire(k.A, k.B, fB, k.M, k.z, k.bas, k.haut, k.budget));
    std::vector<u64> gardees{k.haut};
    for (u64 c = k.haut; c >= k.bas + k.z;) {
      c = t.suivante(c, k.bas);
      gardees.push_back(c);
    }
    ASSERT_EQ(gardees.back(), k.haut - k.z * ((k.haut - k.bas) / k.z));  // down to the lowest head
    std::size_t i = 0, avec = 0;
    for (u64 c = k.haut; c >= k.bas && c <= k.haut; c -= k.z) {
      while (gardees[i] > c) ++i;
      if (a_des_paires(k.A, k.B, c, k.M)) {
        ++avec;
        EXPECT_EQ(gardees[i], c) << "head " << c << " has pairs";
      }
    }
    EXPECT_GT(avec, 0u);
    EXPECT_LE(static_cast<double>(gardees.size()), k.part_max * static_cast<double>((k.haut - k.bas) / k.z + 1));
  }
}

TEST(TetesPossibles, NoFilterWhenNoHeadCanBeSortedOrTheWorkPassesTheBudget) {
  std::vector<Facteur> f1000;
  factoriser(1000, f1000);
  TetesPossibles t;
  EXPECT_FALSE(t.construire(1, 1000, f1000, 0, 1, 1000, 3000, 1 << 20));     // no bound
  EXPECT_FALSE(t.construire(1, 1000, f1000, 1900, 1, 1000, 3000, 1 << 20));  // every head past M
  EXPECT_FALSE(t.construire(1, 1000, f1000, 6000, 1, 1000, 3000, 1));        // not even G = 1
  EXPECT_FALSE(t.actif());
  EXPECT_TRUE(t.construire(1, 1000, f1000, 6000, 1, 1000, 3000, 1 << 20));
  EXPECT_TRUE(t.couvre(1500, 2000));
  EXPECT_FALSE(t.couvre(999, 2000));
}

}  // namespace
}  // namespace unitfrac
