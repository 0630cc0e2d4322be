// The last two unknowns solved at once from the divisors of b², for the search at depth n - 2
// (recherche.hpp): every (x, y) with 1/x + 1/y = a/b, x among the candidates hi, hi - z, ... >= lo.
// When the candidates are fewer than the divisors to look at, x is tried directly instead.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/paires.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// Costs in the same unit, measured with bench/paires_bench.cpp: one candidate x tried directly
// (two divisions) against one divisor of b² enumerated and tested (a multiplication or two).
constexpr u64 kCoutCandidat = 8;
constexpr u64 kCoutDiviseur = 1;

// (hi·2^64 + lo) mod d, for hi < d.
inline u64 reste128(u64 hi, u64 lo, u64 d) {
#if defined(__x86_64__)
  u64 q, r;
  __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "rm"(d) : "cc");
  (void)q;
  return r;
#else
  return static_cast<u64>(((u128{hi} << 64) | lo) % d);
#endif
}

// Divisibility by a fixed A = 2^k·A' (A' odd): n is a multiple of A exactly when
// rotr(n·A'⁻¹ mod 2^64, k) <= (2^64 - 1)/A (Granlund and Montgomery).
struct TestMultiple {
  u64 inv, lim;
  int k;
  explicit TestMultiple(u64 A) : k(__builtin_ctzll(A)) {
    const u64 impair = A >> k;
    u64 x = impair;  // Newton's iteration doubles the correct low bits: 3, 6, ..., 96
    for (int t = 0; t < 5; ++t) x *= 2 - impair * x;
    inv = x;
    lim = ~u64{0} / A;
  }
  bool operator()(u64 n) const {
    const u64 q = n * inv;
    return (k == 0 ? q : (q >> k) | (q << (64 - k))) <= lim;
  }
};

// Floor division of i128 values with a positive divisor, and the residue of v modulo z > 0.
inline i128 div_bas(i128 v, i128 d) {
  const i128 q = v / d;
  return (v % d != 0 && v < 0) ? q - 1 : q;
}
inline i128 residu(i128 v, i128 z) {
  const i128 r = v % z;
  return r < 0 ? r + z : r;
}

}  // namespace

std::uint64_t nombre_diviseurs_carre(const std::vector<Facteur>& fb) {
  u64 d = 1;
  for (const auto& [p, e] : fb) {
    if (__builtin_mul_overflow(d, static_cast<u64>(2 * e + 1), &d)) return ~u64{0};
  }
  return d;
}

bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out) {
  thread_local TravailPaires travail;
  return resoudre_paires(pb, out, travail);
}

// performance-critical: called once per prefix x[1..n-2] of a count; run bench/paires_bench.cpp
// before and after any change.
//
// With u = a·x - b and v = a·y - b, uv = b², and x <= y exactly when u <= b. Every bound on x and
// y becomes a bound on u: x in [lo, hi] gives u in [a·lo - b, a·hi - b], y <= M gives
// v <= a·M - b, i.e. u >= b²/(a·M - b). With b < 2^63 every u fits 64 bits and u + b too.
bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out,
                     TravailPaires& travail) {
  if (pb.b >= (i128{1} << 63)) return false;
  if (pb.a <= 0 || pb.b <= 0 || pb.z <= 0) return true;
  if (pb.a > 2 * pb.b) return true;  // x = (b + u)/a <= 2b/a < 1
  const u64 A = static_cast<u64>(pb.a), B = static_cast<u64>(pb.b);
  const i128 z = pb.z, classe = residu(pb.hi, z);  // x ≡ hi (mod z)

  // x within [1, 2b/a] (u in [1, b]): every product below stays under 2^65.
  const i128 lo = std::max<i128>(pb.lo, i128{B / A} + 1);
  const i128 hi = std::min<i128>(pb.hi, i128{2 * B / A});
  if (lo > hi) return true;
  i128 U = std::min<i128>(i128{A} * hi - B, pb.strict ? B - 1 : B);
  i128 L = i128{A} * lo - B;  // >= 1
  const u128 b2 = u128{B} * B;
  if (pb.M != 0) {
    const i128 ymax = (i128{B} + static_cast<i128>(b2)) / A;  // y <= (b + b²)/a
    if (pb.M < ymax) {
      const i128 K = i128{A} * pb.M - B;  // bound on v, below 2^127
      if (K <= 0) return true;
      L = std::max<i128>(L, (static_cast<i128>(b2) + K - 1) / K);
    }
  }
  if (L > U) return true;
  const u64 uhaut = static_cast<u64>(U), ubas = static_cast<u64>(L);

  std::vector<u64>& retenus = travail.retenus;
  retenus.clear();

  // Candidates x with u in [L, U], of the class of hi modulo z.
  const i128 xhaut0 = div_bas(U + B, A), xbas = div_bas(L + B - 1, A) + 1;  // u = a·x - b
  const i128 xhaut = xhaut0 - residu(xhaut0 - classe, z);
  const i128 nb_candidats = xhaut < xbas ? 0 : (xhaut - xbas) / z + 1;
  const u64 nd = nombre_diviseurs_carre(pb.fb);
  const u64 cout_diviseurs = nd / 2 > ~u64{0} / kCoutDiviseur ? ~u64{0} : nd / 2 * kCoutDiviseur;

  if (nb_candidats <= static_cast<i128>(cout_diviseurs / kCoutCandidat)) {
    // Each candidate: u divides b² exactly when (b mod u)² ≡ 0 (mod u); u <= b.
    for (i128 x = xhaut; x >= xbas; x -= z) {
      const u64 u = static_cast<u64>(i128{A} * x - B);
      const u64 r = B % u;
      const u128 r2 = u128{r} * r;
      if (reste128(static_cast<u64>(r2 >> 64), static_cast<u64>(r2), u) == 0) retenus.push_back(u);
    }
  } else {
    // Divisors of b² in [L, U] with u ≡ -b (mod a). The divisors not above U of all primes but
    // one are listed first; the last prime, the one of largest exponent, multiplies them in the
    // final loop, where each value is tested without being stored.
    const TestMultiple multiple_de_a(A);
    std::vector<u64>& liste = travail.diviseurs;
    liste.clear();
    const std::size_t np = pb.fb.size();
    std::size_t dernier = np;  // index of the prime kept for the final loop
    int emax = 0;
    for (std::size_t k = 0; k < np; ++k) {
      if (pb.fb[k].second > emax) {
        emax = pb.fb[k].second;
        dernier = k;
      }
    }
    // With an odd a, z = 2 fixes the parity of u = a·x - b; that of u is chosen by the power of 2.
    int e2min = 0, e2max = -1;  // exponent range of 2 in u, -1 when free
    if (z == 2 && (A & 1) == 1) {
      const bool u_pair = ((classe + B) & 1) == 0;
      const int e2 = np > 0 && pb.fb[0].first == 2 ? 2 * pb.fb[0].second : 0;
      if (u_pair && e2 == 0) return true;
      e2min = u_pair ? 1 : 0;
      e2max = u_pair ? e2 : 0;
      if (np > 0 && pb.fb[0].first == 2 && dernier == 0) {  // 2 is then listed, not kept last
        dernier = np;
        emax = 0;
        for (std::size_t k = 1; k < np; ++k) {
          if (pb.fb[k].second > emax) {
            emax = pb.fb[k].second;
            dernier = k;
          }
        }
      }
    }
    liste.push_back(1);
    if (e2max >= 0) {
      liste.clear();
      u64 w = u64{1} << e2min;
      for (int e = e2min; e <= e2max && w <= uhaut; ++e, w <<= 1) liste.push_back(w);
    }
    for (std::size_t k = 0; k < np; ++k) {
      const auto [p, e] = pb.fb[k];
      if (k == dernier || (p == 2 && e2max >= 0)) continue;
      const u64 lim = uhaut / p;  // w·p <= U exactly when w <= U/p
      const std::size_t taille = liste.size();
      for (std::size_t j = 0; j < taille; ++j) {
        u64 w = liste[j];
        for (int t = 0; t < 2 * e && w <= lim; ++t) {
          w *= p;
          liste.push_back(w);
        }
      }
    }
    if (dernier == np) {
      for (const u64 w : liste)
        if (w >= ubas && multiple_de_a(w + B)) retenus.push_back(w);
    } else {
      const u64 p = pb.fb[dernier].first, lim = uhaut / p;
      const int e = 2 * pb.fb[dernier].second;
      for (const u64 w0 : liste) {
        u64 w = w0;
        for (int t = 0;; ++t) {
          if (w >= ubas && multiple_de_a(w + B)) retenus.push_back(w);
          if (t == e || w > lim) break;
          w *= p;
        }
      }
    }
    std::sort(retenus.begin(), retenus.end(), std::greater<u64>());
  }

  // x = (b + u)/a and y = (b + b²/u)/a, both exact: u ≡ -b (mod a) and uv = b² give v ≡ -b too.
  for (const u64 u : retenus) {
    const u64 x = (u + B) / A;
    if (z > 1 && residu(i128{x}, z) != classe) continue;
    const u128 y = (b2 / u + B) / A;
    if ((pb.parite == 1 && (y & 1) == 0) || (pb.parite == 2 && (y & 1) == 1)) continue;
    out.emplace_back(static_cast<i128>(x), static_cast<i128>(y));
  }
  return true;
}

}  // namespace unitfrac
