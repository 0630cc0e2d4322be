// The last two unknowns at once: every (x, y) with 1/x + 1/y = a/b comes from a divisor u of b²
// with u ≡ -b (mod a), as x = (b + u)/a and y = (b + b²/u)/a, since (a·x - b)(a·y - b) = b².
// Used by the two-unknown step (pas_paires.hpp) for every remainder whose b is below 2^127; b² is
// never formed, the divisors are matched by their residues modulo a.
#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/entier.hpp"

namespace unitfrac {

// A prime and its exponent.
using Facteur = std::pair<std::uint64_t, int>;

// The two-unknown problem left at depth n - 2.
struct ProblemePaire {
  i128 a = 0, b = 0;  // the remainder a/b, in lowest terms, a, b > 0
  std::vector<Facteur> fb;  // the factorisation of b, primes increasing
  i128 lo = 0;        // x >= lo
  i128 hi = 0;        // x <= hi; the candidates are hi, hi - z, hi - 2z, ... down to lo
  int z = 1;          // step between candidates for x (2 when a parity is imposed)
  bool strict = false;  // y > x (strictly increasing order); otherwise y >= x
  int parite = 0;     // 0 any, 1 y odd, 2 y even (x has the parity of hi already)
  i128 M = 0;         // y <= M when M is not 0
};

// How the u = a·x - b are found: the cheapest way by an estimate of its cost, or one way forced
// (tests and benchmarks). With d = d(b²):
// - diviseurs: every divisor of b² up to the bound on u, tested for u ≡ -b (mod a): about d/2;
// - milieu: b's primes split in two halves of about sqrt(d) divisors each, u = s·t with the t in a
//   hash table by residue mod a and each s looking up -b/s (mod a): about 2·sqrt(d) plus the
//   matches (about d/a);
// - candidats: each candidate x, testing whether a·x - b divides b². This way does not read pb.fb:
//   when the candidates are few, the caller may force it and skip factorising b;
// - sommes: u = g·s² with b = g·s·t and a | s + t: for each multiple k·a of a up to a bound, the
//   divisors s of b in a window, from two sorted halves of b's divisors: about kmax·2·sqrt(d(b));
// - cofacteurs: the same u by g, a divisor of b up to kmax², and k: s and t are the roots of
//   X² - k·a·X + b/g, found by a square test; about kmax·(sum of g^(-1/2)) tests, and b's divisors
//   are not needed when few integers g are possible (they are then tried). With kmax of 1 to 10,
//   as for most remainders with a large a, a handful of tests.
enum class MethodePaires { automatique, diviseurs, milieu, candidats, sommes, cofacteurs };

// The pairs of a problem by their u = a·x - b (x grows with u): how many, the largest and the
// smallest u, and, when they are listed, every u in decreasing order.
struct Paires {
  long long nombre = 0;
  u128 u_haut = 0, u_bas = 0;
  std::vector<u128> u;
};

// Scratch space of chercher_paires, kept between calls so that a steady state allocates nothing.
struct TravailPaires {
  std::vector<std::uint64_t> v64, w64;  // products of one half of the primes, of the other
  std::vector<u128> v128, w128;
  std::vector<std::uint64_t> rv, rw;    // their residues modulo a
  std::vector<std::uint64_t> cles;      // hash table of the residues of one half: residue + 1
  std::vector<std::uint32_t> indices;   // beside each slot, its place in the half
  std::vector<std::uint32_t> places;    // slots in use, emptied after each call
  std::vector<std::uint64_t> suivis;    // lookups whose home slot was taken: place·256 + exponent
  MethodePaires methode = MethodePaires::automatique;

  // Scratch only: a copy starts empty (a copied search must not carry megabytes of tables).
  TravailPaires() = default;
  TravailPaires(const TravailPaires& o) : methode(o.methode) {}
  TravailPaires& operator=(const TravailPaires& o) {
    if (this != &o) *this = TravailPaires(o);
    return *this;
  }
  TravailPaires(TravailPaires&&) = default;
  TravailPaires& operator=(TravailPaires&&) = default;
};

// The pairs of the problem into `res`: with `lister`, every u in decreasing order, otherwise only
// their number and extremes. False, with res empty, when b >= 2^127, a >= 2^64 or b has more
// primes than b < 2^127 can have: the GMP step (grandes_paires.hpp) then serves.
bool chercher_paires(const ProblemePaire& pb, bool lister, Paires& res, TravailPaires& travail);

// x and y of the pair of u (u a divisor of b² found for pb). y when it is below 2^127 (false
// otherwise), or in any size.
i128 x_de(const ProblemePaire& pb, u128 u);
bool y_de(const ProblemePaire& pb, u128 u, i128& y);
mpz_class y_de(const ProblemePaire& pb, u128 u);

// The pairs (x, y) appended to `out`, in decreasing order of x, for b below 2^63 (false otherwise,
// `out` unchanged): the form the tests and benchmarks compare.
bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out,
                     TravailPaires& travail);
bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out);

// The number of divisors of b² from b's factorisation: the product of (2e + 1), saturating.
std::uint64_t nombre_diviseurs_carre(const std::vector<Facteur>& fb);

// The factorisation of a product: `out` = the primes of both (increasing) with exponents added.
void fusionner(const std::vector<Facteur>& f1, const std::vector<Facteur>& f2, std::vector<Facteur>& out);

// c⁻¹ mod a, for gcd(c, a) = 1 and a >= 2.
std::uint64_t inverse_mod(std::uint64_t c, std::uint64_t a);

// The prime factorisation of v >= 1, primes increasing (empty for 1): a table of smallest prime
// factors for small values, trial division, then Pollard-Brent rho with a deterministic
// Miller-Rabin test.
void factoriser(std::uint64_t v, std::vector<Facteur>& out);

}  // namespace unitfrac
