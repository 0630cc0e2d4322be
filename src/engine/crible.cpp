// The segmented sieve of the two-unknown step (crible.hpp).
#include "engine/crible.hpp"

#include <algorithm>
#include <cmath>

namespace unitfrac {
namespace {

using u64 = std::uint64_t;

// An odd prime with what exact division by it needs: v is a multiple of p exactly when
// v·p⁻¹ (mod 2^64) <= (2^64 - 1)/p, and the product is then v/p.
struct Premier {
  u64 p, inv, lim;
};

constexpr u64 inverse_impair(u64 p) {
  u64 x = p;  // correct to 3 bits for odd p; Newton's iteration doubles them
  for (int k = 0; k < 5; ++k) x *= 2 - p * x;
  return x;
}

std::vector<Premier> premiers_impairs(u64 limite) {
  std::vector<bool> compose(limite + 1, false);
  std::vector<Premier> t;
  for (u64 p = 3; p <= limite; p += 2) {
    if (compose[p]) continue;
    t.push_back({p, inverse_impair(p), ~u64{0} / p});
    for (u64 m = p * p; m <= limite; m += 2 * p) compose[m] = true;
  }
  return t;
}

// The odd primes up to at least `racine` (at most 2^26), in tables of 2^16, 2^20, 2^23 and 2^26
// built once each on first use and shared read-only by the threads.
const std::vector<Premier>& premiers(u64 racine) {
  if (racine < (u64{1} << 16)) {
    static const std::vector<Premier> t = premiers_impairs(u64{1} << 16);
    return t;
  }
  if (racine < (u64{1} << 20)) {
    static const std::vector<Premier> t = premiers_impairs(u64{1} << 20);
    return t;
  }
  if (racine < (u64{1} << 23)) {
    static const std::vector<Premier> t = premiers_impairs(u64{1} << 23);
    return t;
  }
  static const std::vector<Premier> t = premiers_impairs(u64{1} << 26);
  return t;
}

u64 racine_entiere(u64 v) {
  auto r = static_cast<u64>(std::sqrt(static_cast<double>(v)));
  while (r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

constexpr u64 kTable = u64{1} << 24;   // below this factoriser reads a table: faster than sieving
constexpr u64 kLimite = u64{1} << 52;  // a prime up to the root fits the 26 bits of an entry
constexpr u64 kLargeurMin = 1024, kLargeurMax = 1 << 16;

}  // namespace

void Crible::factoriser(u64 v, u64 plancher, std::vector<Facteur>& out) {
  if (v < kTable || v >= kLimite || plancher > v) {
    unitfrac::factoriser(v, out);
    return;
  }
  if (v < bas_ || v > haut_) {
    // A new segment below v. The primes up to the root cost a division each per segment, so the
    // segment is a few times longer than their number; a short range is factored value by value.
    const u64 racine = racine_entiere(v);
    const std::vector<Premier>& t = premiers(racine);
    const auto np = static_cast<u64>(
        std::upper_bound(t.begin(), t.end(), racine, [](u64 r, const Premier& q) { return r < q.p; }) -
        t.begin());
    u64 largeur = std::clamp<u64>(4 * np, kLargeurMin, kLargeurMax);
    largeur = std::min(largeur, v - plancher + 1);
    if (largeur < np / 8 + 16) {
      unitfrac::factoriser(v, out);
      return;
    }
    cribler(v - largeur + 1, v);
  }
  out.clear();
  const u64 j = v - bas_;
  for (std::uint32_t k = debut_[j]; k < debut_[j + 1]; ++k) out.emplace_back(premiers_[k] >> 6, premiers_[k] & 63);
  if (reste_[j] > 1) out.emplace_back(reste_[j], 1);  // above the root: one prime, once
}

// Every value of [bas, haut] divided by each prime up to the root of haut, each division recorded
// as a hit, the hits then gathered by value in the order of the primes.
void Crible::cribler(u64 bas, u64 haut) {
  const std::size_t largeur = haut - bas + 1;
  bas_ = bas;
  haut_ = haut;
  reste_.resize(largeur);
  coups_.clear();
  for (std::size_t j = 0; j < largeur; ++j) {
    u64 r = bas + j;
    const int e = __builtin_ctzll(r);
    if (e > 0) {
      r >>= e;
      coups_.push_back(u64{j} << 32 | u64{2} << 6 | static_cast<u64>(e));
    }
    reste_[j] = r;
  }
  const u64 racine = racine_entiere(haut);
  for (const Premier& q : premiers(racine)) {
    if (q.p > racine) break;
    const u64 m = bas % q.p;
    for (u64 j = m == 0 ? 0 : q.p - m; j < largeur; j += q.p) {
      u64 r = reste_[j] * q.inv;  // exact: bas + j is a multiple of p
      int e = 1;
      for (u64 s = r * q.inv; s <= q.lim; s = r * q.inv) {
        r = s;
        ++e;
      }
      reste_[j] = r;
      coups_.push_back(j << 32 | q.p << 6 | static_cast<u64>(e));
    }
  }
  // Counting sort by value, stable: each value's primes stay increasing.
  debut_.assign(largeur + 1, 0);
  for (const u64 c : coups_) ++debut_[(c >> 32) + 1];
  for (std::size_t j = 0; j < largeur; ++j) debut_[j + 1] += debut_[j];
  premiers_.resize(coups_.size());
  std::vector<std::uint32_t>& curseur = curseur_;
  curseur.assign(debut_.begin(), debut_.end() - 1);
  for (const u64 c : coups_) premiers_[curseur[c >> 32]++] = static_cast<std::uint32_t>(c);
}

}  // namespace unitfrac
