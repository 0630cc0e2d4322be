// The work of a search measured on its tree (travail.hpp).
#include "engine/travail.hpp"

#include <algorithm>
#include <cmath>

namespace unitfrac {

namespace {

// The time of a head by the bit length of its b, relative to a head of 40 bits, from the
// measures of bench/paires_bench.cpp (BM_TeteParTaille): the 64-bit step up to 2^63, the 128-bit
// one above, whose lists and residues cost more and whose b have more primes. Checked against
// heads of n = 9 timed at five places of the x7 range of three prefixes (1.9 us a head at 54 bits,
// 2 to 6.5 us at 67 to 69 bits, 0.2 to 0.5 us past 2B/(A - 1)): within a factor of 2.
constexpr double kPoids[] = {
    // 0..63 bits: the 64-bit step
    0.30, 0.30, 0.30, 0.30, 0.30, 0.30, 0.30, 0.30, 0.35, 0.35, 0.35, 0.35, 0.40, 0.40, 0.40, 0.40,
    0.45, 0.45, 0.50, 0.50, 0.55, 0.55, 0.60, 0.60, 0.65, 0.65, 0.70, 0.70, 0.75, 0.75, 0.80, 0.80,
    0.85, 0.85, 0.90, 0.90, 0.95, 0.95, 1.00, 1.00, 1.00, 1.05, 1.05, 1.10, 1.10, 1.15, 1.15, 1.20,
    1.20, 1.25, 1.25, 1.30, 1.30, 1.35, 1.35, 1.40, 1.40, 1.45, 1.45, 1.50, 1.50, 1.55, 1.55, 1.60,
};
constexpr double kPoids128 = 3.0;       // a head of 64 bits on the 128-bit step
constexpr double kPoidsParBit128 = 0.08;  // and the growth per bit above

}  // namespace

double poids_tete(int bits) {
  if (bits < 64) return kPoids[std::max(bits, 0)];
  return kPoids128 * (1.0 + kPoidsParBit128 * (bits - 64));
}

Arbre::Arbre(const Reglages& reg) : reg_(reg), r_(reg) {
  x_.assign(static_cast<std::size_t>(reg.n) + 2, 0);
  N_.assign(static_cast<std::size_t>(reg.n) + 2, 0);
  D_.assign(static_cast<std::size_t>(reg.n) + 2, 1);
}

bool Arbre::poser(int d, i128 v) {
  x_[d] = v;
  return !mul_ovf(N_[d - 1], v, N_[d]) && !add_ovf(N_[d], D_[d - 1], N_[d]) && !mul_ovf(D_[d - 1], v, D_[d]);
}

bool Arbre::candidats(int d, Candidats& c) {
  c = Candidats{};
  Recherche<i128>::Bornes b;
  if (r_.bornes(d, D_[d], N_[d], x_[d], b) == Pas::debordement) return false;
  if (b.fin) {
    c.fin = true;
    return false;
  }
  if (reg_.M != 0 && b.hors_borne) return false;
  // With an exact bound the search reports the solution made of it and goes on below it at once:
  // the subtree of that value is not visited.
  c.haut = b.reste == 0 ? b.r1 - reg_.z : b.r1;
  c.bas = std::max(b.minr, reg_.type == 2 ? x_[d] + 1 : x_[d]);
  // Below the end sequence nothing is visited.
  bool meme = reg_.seq2 == 1 && d + 1 <= reg_.s2;
  for (int a = 1; a <= d && meme; ++a) meme = x_[a] == reg_.x3[a];
  if (meme) c.bas = std::max(c.bas, static_cast<i128>(reg_.x3[d + 1]));
  if (c.haut < c.bas) return false;
  c.nombre = (c.haut - c.bas) / reg_.z + 1;
  return true;
}

// b = B·c/g <= B·c, with B the reduced denominator of the remainder A/B after x[1..n-3]: the heads
// split by the bit length of B·c, each range of c weighted as a whole. Above c = 2B/(A - 1) a
// head has no pair unless c shares a large factor with B (its a, b give k·a·sqrt(L) > b + L in
// the pair step), which it finds out before any divisor is listed: such heads weigh kLibre.
double Arbre::poids_tetes(i128 haut, i128 bas) {
  constexpr double kLibre = 0.12;
  const int k = reg_.n - 3;
  if (haut < bas) return 0;
  const i128 P = reg_.P, Q = reg_.Q;
  i128 num = 0, den = 0;
  double A = 0, B;
  if (!mul_ovf(P, D_[k], num) && !mul_ovf(N_[k], Q, den) && !sub_ovf(num, den, num) && !mul_ovf(Q, D_[k], den)) {
    const i128 g = pgcd128(num, den);
    A = static_cast<double>(num / g);
    B = static_cast<double>(den / g);
  } else {
    B = static_cast<double>(Q) * static_cast<double>(D_[k]);  // past 128 bits: bits are what count
  }
  const double libre = A > 3 ? 2 * B / (A - 1) : HUGE_VAL;
  const double z = reg_.z;
  double total = 0;
  double c = static_cast<double>(haut);
  const double fin = static_cast<double>(bas);
  while (c >= fin) {
    const int bits = static_cast<int>(std::floor(std::log2(B * c))) + 1;
    // The lowest c of this bit length: B·c >= 2^(bits-1); and of the same side of `libre`.
    const double seuil = std::ldexp(1.0, bits - 1) / B;
    double bas_classe = std::max(fin, std::ceil(seuil));
    const bool sans = c > libre;
    if (sans) bas_classe = std::max(bas_classe, std::floor(libre) + 1);
    const double nombre = std::max(1.0, std::floor((c - bas_classe) / z) + 1);
    total += nombre * poids_tete(bits) * (sans ? kLibre : 1.0);
    c -= nombre * z;
  }
  return total;
}

}  // namespace unitfrac
