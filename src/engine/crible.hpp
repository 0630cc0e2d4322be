// Factorisations of consecutive integers by a segmented sieve: the two-unknown step visits
// x(n-2) = c, c - z, c - 2z, ... and needs each one factored; sieving a segment of them with the
// primes up to the square root of its top costs a few nanoseconds a value where Pollard's rho on
// each would cost a microsecond past 2^24. Used by the two-unknown step (pas_paires.hpp).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/paires.hpp"

namespace unitfrac {

class Crible {
 public:
  // The factorisation of v (1 <= v < 2^52), primes increasing, into `out`. The loop calls it for
  // decreasing values not below `plancher`: the segment sieved covers v and the values below it,
  // down to `plancher` at most.
  void factoriser(std::uint64_t v, std::uint64_t plancher, std::vector<Facteur>& out);

 private:
  void cribler(std::uint64_t bas, std::uint64_t haut);

  std::uint64_t bas_ = 1, haut_ = 0;          // the segment sieved: [bas_, haut_]
  std::vector<std::uint64_t> reste_;          // each value with its primes up to the root removed
  std::vector<std::uint32_t> debut_;          // where each value's primes start in `premiers_`
  std::vector<std::uint32_t> premiers_;       // prime << 6 | exponent, by value
  std::vector<std::uint64_t> coups_;          // scratch: value index << 32 | prime << 6 | exponent
  std::vector<std::uint32_t> curseur_;        // scratch of the sort by value
};

}  // namespace unitfrac
