// The last two unknowns at once when the remainder's denominator b passes 2^63 (then b² passes
// 128 bits): the same pairs as resoudre_paires (paires.hpp), in GMP integers. Used by the search at
// depth n - 2 on __int128 and GMP integers; rare, so written for clarity rather than speed.
#pragma once

#include <gmpxx.h>

#include <utility>
#include <vector>

#include "engine/paires.hpp"

namespace unitfrac {

// The two-unknown problem 1/x + 1/y = a/b, in arbitrary precision.
struct GrandProbleme {
  mpz_class a, b;            // the remainder a/b, in lowest terms
  bool fb_connue = false;    // true when fb holds the factorisation of b
  std::vector<Facteur> fb;   // primes increasing
  mpz_class lo, hi;          // the candidates for x: hi, hi - z, hi - 2z, ... down to lo
  int z = 1;
  bool strict = false;       // y > x; otherwise y >= x
  int parite = 0;            // 0 any, 1 y odd, 2 y even (x has the parity of hi already)
  mpz_class M;               // y <= M when M is not 0
  bool diviseurs = false;    // from the divisors whenever b is factored (tests)
};

// Appends to `out` every (x, y) of the problem, in decreasing order of x: from the divisors u of b²
// (u = a·x - b, as in paires.hpp) when b's factorisation is known and they are fewer than the
// candidates (or pb.diviseurs asks for them), otherwise from each candidate x in turn.
void resoudre_grandes_paires(const GrandProbleme& pb, std::vector<std::pair<mpz_class, mpz_class>>& out);

}  // namespace unitfrac
