// The heads of a prefix that may have pairs (tetes_possibles.hpp).
#include "engine/tetes_possibles.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace unitfrac {

namespace {

using u64 = std::uint64_t;

u128 racine_entiere(u128 v) {
  auto r = static_cast<u128>(std::sqrt(static_cast<double>(v)));
  while (r > 0 && r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

// The divisors of the number with primes `f` that are at most `plafond`, into `out` (unsorted).
void diviseurs_jusqua(const std::vector<Facteur>& f, u64 plafond, std::vector<u64>& out) {
  out.assign(plafond >= 1 ? 1 : 0, 1);
  for (const auto& [p, e] : f) {
    const std::size_t m = out.size();
    for (std::size_t i = 0; i < m; ++i) {
      u64 d = out[i];
      for (int k = 0; k < e && d <= plafond / p; ++k) {
        d *= p;
        out.push_back(d);
      }
    }
  }
}

u64 nombre_diviseurs(const std::vector<Facteur>& f) {
  u64 d = 1;
  for (const auto& fe : f) d *= static_cast<u64>(fe.second + 1);
  return d;
}

}  // namespace

bool TetesPossibles::construire(u64 A, u64 B, const std::vector<Facteur>& fB, u64 M, u64 z, u64 bas, u64 haut,
                                u64 budget) {
  actif_ = false;
  tetes_.clear();
  if (M == 0 || A == 0 || B == 0 || z == 0 || bas > haut || M >= (u64{1} << 62) || B >= (u64{1} << 62) ||
      haut >= (u64{1} << 62) / A)
    return false;
  // Heads whose pairs all pass M (hors borne: M·a < 2b, i.e. c·(M·A - 2B) < M·B) end the loop, and
  // heads with b/a <= 2 may be left to the step-by-step search: both are always visited.
  const u128 MA = u128{M} * A, MB = u128{M} * B;
  if (MA <= 2 * u128{B}) return false;
  const u128 c_min = (MB + (MA - 2 * u128{B}) - 1) / (MA - 2 * u128{B});
  u128 b0 = std::max<u128>({bas, 2 * u128{A} + 1, B / A + 1, c_min});
  if (b0 > haut) return false;
  A_ = A;
  B_ = B;
  z_ = z;
  bas0_ = bas;
  haut_ = haut;
  bas_ = haut - z * ((haut - static_cast<u64>(b0)) / z);  // the lowest head of the class not below b0

  // lambda/B = m/G (in lowest terms, G a divisor of B²) within [2·haut/(A·haut - B), 2M/(A·bas - B)].
  const u128 Yh = u128{A} * haut - B, Yb = u128{A} * bas_ - B;
  const auto m_bas = [&](u64 G) { return (2 * u128{haut} * G + Yh - 1) / Yh; };
  const auto m_haut = [&](u64 G) { return 2 * u128{M} * G / Yb; };

  // The divisors G of B², increasing, while the work (values of m times the divisors of B²/G) fits
  // the budget and costs less than visiting the heads of that G would: heads with a larger G are
  // visited.
  const u64 nombre = (haut - bas_) / z + 1;
  std::vector<Facteur> f2;
  for (const auto& [p, e] : fB) f2.emplace_back(p, 2 * e);
  std::vector<u64> gs;
  diviseurs_jusqua(f2, std::min<u64>(budget, u64{1} << 32), gs);
  std::sort(gs.begin(), gs.end());
  const auto reste_de = [&](u64 G) {  // the primes of B²/G
    std::vector<Facteur> r;
    for (auto [p, e] : f2) {
      for (u64 g = G; g % p == 0; g /= p) --e;
      if (e > 0) r.emplace_back(p, e);
    }
    return r;
  };
  u64 travail = 0;
  std::size_t ng = 0;
  g0_ = 0;
  for (; ng < gs.size(); ++ng) {
    const u64 G = gs[ng];
    const u128 lo = m_bas(G), hi = m_haut(G);
    const u128 nm = hi >= lo ? hi - lo + 1 : 0;
    const u128 w = nm * nombre_diviseurs(reste_de(G));
    // About one head in G has this gcd, and a head visited costs some 64 divisors.
    if (w > budget - travail || w > 64 * u128{nombre} / G + 256) {
      g0_ = G;
      break;
    }
    travail += static_cast<u64>(w);
  }
  if (ng == 0) return false;
  if (g0_ == 0) {
    // Every divisor of B² up to the cap is taken: the next ones are above it.
    const u128 cap = std::min<u64>(budget, u64{1} << 32);
    g0_ = static_cast<u64>(cap + 1);
  }

  // The heads from each lambda = B·m/G.
  const u128 AMB = MA - B;  // A·y - B for y = M
  std::vector<Facteur> fF, fE;
  std::vector<u64> ds;
  u64 vus = 0;
  for (std::size_t i = 0; i < ng; ++i) {
    const u64 G = gs[i];
    const std::vector<Facteur> fR = reste_de(G);
    u128 R = 1;  // B²/G
    for (const auto& [p, e] : fR)
      for (int k = 0; k < e; ++k) R *= p;
    for (u128 m = std::max<u128>(1, m_bas(G)), m1 = m_haut(G); m <= m1; ++m) {
      if (G > 1 && std::gcd(static_cast<u64>(m % G), G) != 1) continue;  // lambda/B = m/G in lowest terms
      u128 F;
      if (__builtin_mul_overflow(u128{A}, m, &F) || (F += G) >= (u128{1} << 63)) return false;
      fF.clear();
      factoriser(static_cast<u64>(F), fF);
      fusionner(fR, fF, fE);
      u128 E;
      if (__builtin_mul_overflow(R, F, &E) || E >= (u128{1} << 126)) return false;
      // e1 = A·y - B <= e2 = A·z - B, y >= bas, z <= M; e1 <= sqrt(E) < 2^63.
      const u128 e_bas = std::max<u128>(Yb, (E + AMB - 1) / AMB);
      const u128 e_haut = std::min(racine_entiere(E), AMB);
      if (e_bas > e_haut) continue;
      diviseurs_jusqua(fE, static_cast<u64>(e_haut), ds);
      vus += ds.size();
      if (vus > 4 * budget + 4096) return false;  // the estimate was far off: no filter
      const u128 D = u128{B} * m;  // c = y·z·G/(B·m)
      const u64 g1 = std::gcd(static_cast<u64>(D % G), G);
      const u128 D1 = D / g1;
      const u64 G1 = G / g1;
      // In doubles first, with margins far above their rounding: z <= M and c within the heads.
      const double dE = static_cast<double>(E), dA = static_cast<double>(A), dB = static_cast<double>(B);
      const double zmax = static_cast<double>(M) * (1 + 1e-9) + 1;
      const double cbas = static_cast<double>(bas_) * (1 - 1e-9) - 1, chaut = static_cast<double>(haut_) * (1 + 1e-9) + 1;
      const double lambda = static_cast<double>(D) / static_cast<double>(G);
      for (const u64 e1 : ds) {
        if (e1 < e_bas) continue;
        const u64 y = (e1 + B) / A;  // e1 < 2^63, B < 2^62
        if (y * A != e1 + B) continue;
        const double zd = (dE / static_cast<double>(e1) + dB) / dA;
        if (zd > zmax) continue;
        const double cd = static_cast<double>(y) * zd / lambda;
        if (cd < cbas || cd > chaut) continue;
        const u128 e2 = E / e1;
        if ((e2 + B) % A != 0) continue;
        const u128 zz = (e2 + B) / A;
        if (zz > M) continue;
        const u128 yz = y * zz;
        if (yz % D1 != 0) continue;
        const u128 q = yz / D1;
        if (q > haut_ / G1) continue;
        const u64 c = static_cast<u64>(q) * G1;
        if (c >= bas_ && c <= haut_ && (haut_ - c) % z == 0) tetes_.push_back(c);
      }
    }
  }
  std::sort(tetes_.begin(), tetes_.end(), std::greater<>());
  tetes_.erase(std::unique(tetes_.begin(), tetes_.end()), tetes_.end());

  // The heads with G at least g0_ are those where A·c - B is a multiple of a divisor d of B² at
  // least g0_ whose divisors d/p all lie below g0_ (d < g0_·p). Each gives a progression
  // c ≡ B/A (mod d) (A is prime to B) within the class of haut modulo z; with too many of them the
  // filter would cost more than it saves.
  suites_.clear();
  u64 pmax = 1;
  for (const auto& fe : fB) pmax = std::max(pmax, fe.first);
  if (u128{g0_} * pmax >= (u64{1} << 62)) return false;
  diviseurs_jusqua(f2, g0_ * pmax, gs);
  for (const u64 d : gs) {
    if (d < g0_) continue;
    bool minimal = true;
    for (const auto& fe : fB)
      if (d % fe.first == 0 && d / fe.first >= g0_) minimal = false;
    if (!minimal) continue;
    const u128 pas = u128{d} / std::gcd(d, z) * z;
    if (suites_.size() == kSuitesMax || pas >= (u64{1} << 62)) return false;
    // c ≡ B·A⁻¹ (mod d), then the one of c, c + d, ... with c ≡ haut (mod z), if any.
    const u64 r0 = static_cast<u64>(u128{B % d} * inverse_mod(A, d) % d);
    for (u64 t = 0; t < z; ++t) {
      const u128 r = r0 + u128{t} * d;
      if (r % z == haut % z) {
        suites_.push_back({static_cast<u64>(pas), static_cast<u64>(r % pas)});
        break;
      }
    }
  }

  actif_ = true;
  return true;
}

u64 TetesPossibles::suivante(u64 c, u64 limite) const {
  const u64 v = c - z_;
  if (v > haut_ || v < bas_) return v;
  const u64 dernier = c - z_ * ((c - limite) / z_);
  // The first of: the lowest head of the run, the first head below the range (bas_ is one of the
  // class), the next head with pairs possible from lambda, the next with G at least g0_.
  u64 meilleure = std::max(dernier, bas_ >= z_ + dernier ? bas_ - z_ : 0);
  const auto it = std::lower_bound(tetes_.begin(), tetes_.end(), v, std::greater<>());
  if (it != tetes_.end()) meilleure = std::max(meilleure, *it);
  for (const Suite& s : suites_) {
    if (v < s.r) continue;
    meilleure = std::max(meilleure, v - (v - s.r) % s.pas);
  }
  return meilleure;
}

}  // namespace unitfrac
