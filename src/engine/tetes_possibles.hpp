// Which heads x(n-2) = c of a prefix can have pairs at all, so that a long loop under a bound M
// visits only those. For a solution 1/c + 1/y + 1/z = A/B (c <= y <= z <= M) let
// lambda = y·z/c. Then
//   (A·y - B)(A·z - B) = B·(B + A·lambda),
// and with the head's remainder a/b (G = gcd(A·c - B, B²), b = B·c/G) and its pair written as
// y = g·k·s, z = g·k·t (paires.cpp, the cofactors), lambda = g·k²·B/G: a multiple of B/G.
// lambda = (y + z)·B/(A·c - B) lies between 2c·B/(A·c - B) and 2M·B/(A·c - B), so for the heads
// whose G is small there are few values of lambda, and for each the pairs (y, z) come from the
// divisors of B·(B + A·lambda), each giving its head c = y·z/lambda. Heads whose G is at least
// the first divisor of B² not taken are kept as they come (they lie on a few progressions). What
// is kept is a superset of the heads with pairs: the step still works out every kept head in full.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/paires.hpp"

namespace unitfrac {

class TetesPossibles {
 public:
  // For the heads c ≡ haut (mod z) in [bas, haut] of the prefix A/B (B's primes fB), pairs with
  // y, z <= M: false, leaving no filter, when a value is out of reach or when listing the heads
  // with pairs would cost more than `budget` divisors.
  bool construire(std::uint64_t A, std::uint64_t B, const std::vector<Facteur>& fB, std::uint64_t M,
                  std::uint64_t z, std::uint64_t bas, std::uint64_t haut, std::uint64_t budget);
  void vider() { actif_ = false; }
  bool actif() const { return actif_; }
  // The heads [bas, haut] are within those it was built for.
  bool couvre(std::uint64_t bas, std::uint64_t haut) const {
    return actif_ && bas >= bas0_ && haut <= haut_ && (haut_ - haut) % z_ == 0;
  }
  // c lies within the heads it was built for.
  bool contient(std::uint64_t c) const { return actif_ && c >= bas_ && c <= haut_; }
  // The first of c - z, c - 2z, ... not below `limite` that may have pairs, or the last of them
  // not below `limite` (c - z >= limite).
  std::uint64_t suivante(std::uint64_t c, std::uint64_t limite) const;

 private:
  // A progression of heads c ≡ r (mod pas) whose G is at least g0_.
  struct Suite {
    std::uint64_t pas, r;
  };
  static constexpr std::size_t kSuitesMax = 16;
  bool actif_ = false;
  std::uint64_t A_ = 0, B_ = 0, z_ = 1, bas0_ = 0, bas_ = 0, haut_ = 0, g0_ = 1;
  std::vector<Suite> suites_;
  std::vector<std::uint64_t> tetes_;  // the heads with G below g0_ that may have pairs, decreasing
};

}  // namespace unitfrac
