// The last two unknowns at once: every (x, y) with 1/x + 1/y = a/b comes from a divisor u of b²
// with u ≡ -b (mod a), as x = (b + u)/a and y = (b + b²/u)/a, since (a·x - b)(a·y - b) = b².
// Used by the search at depth n - 2 in place of trying x one value at a time.
#pragma once

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

// Appends to `out` every (x, y) of the problem, in decreasing order of x (in any order when
// travail.trier is false). Returns false, with `out` unchanged, when the arithmetic would not fit
// 128 bits (b² must stay below 2^126); the caller then tries x one value at a time.
bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out);

// How resoudre_paires finds the u = a·x - b: the cheapest way by its own estimate, or one way
// forced (for the tests and the benchmarks). Measured costs, with d = d(b²):
// - diviseurs: every divisor of b² up to the bound on u, tested for u ≡ -b (mod a); about
//   100 + 1.0·d/2 ns;
// - milieu: b's primes split in two halves of about sqrt(d) divisors each, u = s·t with the t in a
//   hash table by residue mod a and each s looking up -b/s (mod a); about 80 ns + 2.8 ns per
//   divisor of either half + 5 ns per match (about d/a); only for 2 <= a < 2^32;
// - candidats: each candidate x, testing whether a·x - b divides b²; about 20 + 4 ns per candidate.
//   This way does not read pb.fb: when the candidates are few, the caller may force it and skip
//   factorising b.
enum class MethodePaires { automatique, diviseurs, milieu, candidats };

// Scratch space of resoudre_paires, kept between calls so that a steady state allocates nothing.
// The two-argument form uses one per thread.
struct TravailPaires {
  std::vector<std::uint64_t> diviseurs;  // divisors of b² not above the bound on u (one half)
  std::vector<std::uint64_t> autres;     // the other half's divisors, for `milieu`
  std::vector<std::uint32_t> residus;    // -b/s (mod a) beside each s of `autres`
  std::vector<std::uint64_t> table;      // hash table of the residues of `diviseurs` mod a
  std::vector<std::uint32_t> indices;    // beside each slot of `table`, its place in `diviseurs`
  std::uint32_t tour = 0;                // slots of `table` from another call have another tour
  std::vector<std::uint64_t> retenus;    // the u = a·x - b that pass every test
  MethodePaires methode = MethodePaires::automatique;
  bool trier = true;  // false: the pairs come in any order (the caller only counts them)

  // Scratch only: a copy starts empty (a copied search must not carry megabytes of tables).
  TravailPaires() = default;
  TravailPaires(const TravailPaires& o) : methode(o.methode), trier(o.trier) {}
  TravailPaires& operator=(const TravailPaires& o) {
    if (this != &o) *this = TravailPaires(o);
    return *this;
  }
  TravailPaires(TravailPaires&&) = default;
  TravailPaires& operator=(TravailPaires&&) = default;
};
bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out,
                     TravailPaires& travail);

// The number of divisors of b² from b's factorisation: the product of (2e + 1), saturating.
std::uint64_t nombre_diviseurs_carre(const std::vector<Facteur>& fb);

// The factorisation of a product: `out` = the primes of both (increasing) with exponents added.
void fusionner(const std::vector<Facteur>& f1, const std::vector<Facteur>& f2, std::vector<Facteur>& out);

// The prime factorisation of v >= 1, primes increasing (empty for 1): a table of smallest prime
// factors for small values, trial division, then Pollard-Brent rho with a deterministic
// Miller-Rabin test.
void factoriser(std::uint64_t v, std::vector<Facteur>& out);

}  // namespace unitfrac
