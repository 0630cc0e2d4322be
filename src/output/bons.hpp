// The good-number tally: the distinct sums x1 + ... + xn of the displayed solutions, in increasing
// order, each with the number of displayed lines that produced it. Filled by the display, listed
// by the final report, emptied at the start of every calculation.
#pragma once

#include <gmpxx.h>

#include <vector>

#include "engine/entier.hpp"

namespace unitfrac {

// A good number: `v` when it fits __int128 (n values below 2^63 always do), `g` otherwise.
struct Bon {
  bool grand = false;
  i128 v = 0;
  mpz_class g;
};

class Bons {
 public:
  // Records one good number: raises its count, or inserts it at its place with count 1.
  void inserer(const mpz_class& b);
  void inserer(const Bon& b);
  // Back to the empty tally: both vectors hold their single element 0 at position 0.
  void vider();

  long long nbon() const { return static_cast<long long>(bons_.size()) - 1; }
  // Position 0 holds 0 and is not a good number; positions 1..nbon are strictly increasing.
  const std::vector<mpz_class>& bons() const { return bons_; }
  const std::vector<long long>& occur() const { return occur_; }

 private:
  std::vector<mpz_class> bons_{mpz_class(0)};
  std::vector<long long> occur_{0};
  mpz_class tampon_;  // a Bon that fits __int128, as mpz_class
};

}  // namespace unitfrac
