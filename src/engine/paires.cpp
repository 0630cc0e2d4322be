// The last two unknowns solved at once from the divisors of b², for the search at depth n - 2
// (recherche.hpp): every (x, y) with 1/x + 1/y = a/b, x among the candidates hi, hi - z, ... >= lo.
// Three ways to find u = a·x - b, chosen by their estimated cost: all divisors of b², a
// meet-in-the-middle on the congruence u ≡ -b (mod a), or each candidate x.
#include "engine/paires.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace unitfrac {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// Estimated costs in tenths of a nanosecond, fitted on the problems of n = 8, P/Q = 1 sampled by
// bench/paires_bench.cpp (each way timed alone on each problem): a fixed part, and per divisor of
// b² below b; per divisor of either half and per match for the meet-in-the-middle; per candidate.
constexpr u64 kFixeDiviseurs = 1000, kCoutDiviseur = 10;
constexpr u64 kFixeMilieu = 770, kCoutMilieu = 28, kCoutAccord = 52;
constexpr u64 kFixeCandidats = 170, kCoutCandidat = 39;

constexpr u64 kSature = ~u64{0} >> 8;  // cost estimates saturate here, far from overflow

inline u64 produit_sature(u64 a, u64 b) {
  u64 p;
  return __builtin_mul_overflow(a, b, &p) || p > kSature ? kSature : p;
}

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

u64 inverse_mod_2_64(u64 impair) {  // Newton's iteration doubles the correct low bits: 3, 6, ... 96
  u64 x = impair;
  for (int t = 0; t < 5; ++t) x *= 2 - impair * x;
  return x;
}

// Divisibility by a fixed A = 2^k·A' (A' odd): n is a multiple of A exactly when
// rotr(n·A'⁻¹ mod 2^64, k) <= (2^64 - 1)/A (Granlund and Montgomery).
struct TestMultiple {
  u64 inv, lim;
  int k;
  explicit TestMultiple(u64 A)
      : inv(inverse_mod_2_64(A >> __builtin_ctzll(A))), lim(~u64{0} / A), k(__builtin_ctzll(A)) {}
  bool operator()(u64 n) const {
    const u64 q = n * inv;
    return (k == 0 ? q : (q >> k) | (q << (64 - k))) <= lim;
  }
};

// x mod a for any 64-bit x, a >= 2, by Barrett: with m = floor((2^64 - 1)/a), q = hi(x·m) is
// floor(x/a) or one less, since 2^64 - a·m <= a.
struct Barrett {
  u64 a, m;
  explicit Barrett(u64 a_) : a(a_), m(~u64{0} / a_) {}
  u64 mod(u64 x) const {
    const u64 q = static_cast<u64>((u128{x} * m) >> 64);
    const u64 r = x - q * a;
    return r >= a ? r - a : r;
  }
  u64 mul(u64 x, u64 y) const { return mod(x * y); }  // x, y < a < 2^32
};

// c⁻¹ mod a for gcd(c, a) = 1, a >= 2, by the extended Euclidean algorithm.
u64 inverse_mod(u64 c, u64 a) {
  long long r0 = static_cast<long long>(a), r1 = static_cast<long long>(c);
  long long s0 = 0, s1 = 1;
  while (r1 != 0) {
    const long long q = r0 / r1;
    long long t = r0 - q * r1;
    r0 = r1;
    r1 = t;
    t = s0 - q * s1;
    s0 = s1;
    s1 = t;
  }
  return static_cast<u64>(s0 < 0 ? s0 + static_cast<long long>(a) : s0);
}

constexpr std::size_t kMaxTermes = 16;  // b < 2^63 has at most 15 distinct primes

// A prime of b² and the range of its exponent in u (0..2e, or narrower for 2 under a parity).
struct Terme {
  u64 p;
  int emin, emax;
  u64 nombre() const { return static_cast<u64>(emax - emin + 1); }
};

// Every product of p^e over the terms but the one at `sauter` (e in its range) that does not
// exceed U, in `liste`. Only the first term may have emin > 0.
void lister(const Terme* t, int nt, u64 U, std::vector<u64>& liste, int sauter = -1) {
  liste.clear();
  liste.push_back(1);
  for (int k = 0; k < nt; ++k) {
    if (k == sauter) continue;
    const u64 p = t[k].p, lim = U / p;  // w·p <= U exactly when w <= U/p
    if (t[k].emin > 0) {                // only on the list {1}
      liste.clear();
      u64 w = 1;
      for (int e = 0; e < t[k].emin; ++e) {
        if (w > lim) return;  // p^emin > U: no product at all
        w *= p;
      }
      liste.push_back(w);
      for (int e = t[k].emin; e < t[k].emax && w <= lim; ++e) liste.push_back(w *= p);
      continue;
    }
    const std::size_t taille = liste.size();
    for (std::size_t j = 0; j < taille; ++j) {
      u64 w = liste[j];
      for (int e = 0; e < t[k].emax && w <= lim; ++e) liste.push_back(w *= p);
    }
  }
}

// The same, with beside each product w the residue c·w⁻¹ mod a, from the inverses of the primes.
void lister_inverses(const Terme* t, const u64* inv, int nt, u64 U, u64 c, const Barrett& br,
                     std::vector<u64>& liste, std::vector<std::uint32_t>& res) {
  liste.clear();
  res.clear();
  liste.push_back(1);
  res.push_back(static_cast<std::uint32_t>(c));
  for (int k = 0; k < nt; ++k) {
    const u64 p = t[k].p, lim = U / p, f = inv[k];
    if (t[k].emin > 0) {
      liste.clear();
      res.clear();
      u64 w = 1, r = c;
      for (int e = 0; e < t[k].emin; ++e) {
        if (w > lim) return;
        w *= p;
        r = br.mul(r, f);
      }
      liste.push_back(w);
      res.push_back(static_cast<std::uint32_t>(r));
      for (int e = t[k].emin; e < t[k].emax && w <= lim; ++e) {
        liste.push_back(w *= p);
        res.push_back(static_cast<std::uint32_t>(r = br.mul(r, f)));
      }
      continue;
    }
    const std::size_t taille = liste.size();
    for (std::size_t j = 0; j < taille; ++j) {
      u64 w = liste[j], r = res[j];
      for (int e = 0; e < t[k].emax && w <= lim; ++e) {
        liste.push_back(w *= p);
        res.push_back(static_cast<std::uint32_t>(r = br.mul(r, f)));
      }
    }
  }
}

// Divisors u of b² in [L, U] with u ≡ -B (mod A), by listing all but one term and multiplying by
// the powers of the last one (the one with most exponents) in the test loop itself.
void par_diviseurs(const Terme* t, int nt, u64 A, u64 B, u64 L, u64 U, TravailPaires& tr) {
  const TestMultiple multiple_de_a(A);
  int dernier = -1;
  for (int k = 0; k < nt; ++k)
    if (t[k].emin == 0 && (dernier < 0 || t[k].emax > t[dernier].emax)) dernier = k;
  lister(t, nt, U, tr.diviseurs, dernier);
  if (dernier < 0) {
    for (const u64 w : tr.diviseurs)
      if (w >= L && multiple_de_a(w + B)) tr.retenus.push_back(w);
    return;
  }
  const u64 p = t[dernier].p, lim = U / p;
  const int e = t[dernier].emax;
  for (const u64 w0 : tr.diviseurs) {
    u64 w = w0;
    for (int k = 0;; ++k) {
      if (w >= L && multiple_de_a(w + B)) tr.retenus.push_back(w);
      if (k == e || w > lim) break;
      w *= p;
    }
  }
}

// The two halves of the primes of b² for the meet-in-the-middle.
struct Partage {
  Terme s[kMaxTermes], t[kMaxTermes];
  int ns = 0, nt = 0;
  u64 ds = 1, dt = 1;  // their numbers of divisors
};

// Splits the terms in two halves of about equal numbers of divisors, the larger counts first.
void partager(const Terme* t, int nt, Partage& h) {
  int ordre[kMaxTermes];
  for (int k = 0; k < nt; ++k) ordre[k] = k;
  std::sort(ordre, ordre + nt, [&](int x, int y) { return t[x].nombre() > t[y].nombre(); });
  for (int k = 0; k < nt; ++k) {
    const Terme& m = t[ordre[k]];
    if (h.ds <= h.dt) {
      h.s[h.ns++] = m;
      h.ds = produit_sature(h.ds, m.nombre());
    } else {
      h.t[h.nt++] = m;
      h.dt = produit_sature(h.dt, m.nombre());
    }
  }
  // A term with emin > 0 must come first in its half.
  for (int k = 1; k < h.ns; ++k)
    if (h.s[k].emin > 0) std::swap(h.s[0], h.s[k]);
  for (int k = 1; k < h.nt; ++k)
    if (h.t[k].emin > 0) std::swap(h.t[0], h.t[k]);
}

// Divisors u = s·t of b² in [L, U] with u ≡ -B (mod A), 2 <= A < 2^32: the t (one half of the
// primes) go in a hash table by t mod A; each s (the other half) looks up -B·s⁻¹ mod A. The work is
// about the two halves' sizes, about sqrt(d(b²)) each, plus the matches, about d(b²)/A.
void par_milieu(const Partage& h, u64 A, u64 B, u64 L, u64 U, TravailPaires& tr) {
  const Barrett br(A);

  // The t by residue, in open addressing at most 1/16 full (most probes then stop at once, and
  // predictably). A slot holds residue << 32 | tour; it is empty unless its tour is the current
  // one, so the table is never cleared between calls.
  std::vector<u64>& lt = tr.diviseurs;
  lister(h.t, h.nt, U, lt);
  std::size_t taille = 64;
  while (taille < 16 * lt.size()) taille *= 2;
  if (tr.table.size() < taille) {
    tr.table.assign(taille, 0);
    tr.indices.resize(taille);
    tr.tour = 0;
  }
  if (++tr.tour == 0) {  // after 2^32 calls, the old tours must not come back
    std::fill(tr.table.begin(), tr.table.end(), 0);
    tr.tour = 1;
  }
  const u64 tour = tr.tour, masque = taille - 1;
  const int decalage = 64 - __builtin_ctzll(taille);
  u64* table = tr.table.data();
  std::uint32_t* indices = tr.indices.data();
  for (std::size_t j = 0; j < lt.size(); ++j) {
    const u64 r = br.mod(lt[j]);
    u64 k = (r * 0x9E3779B97F4A7C15ULL) >> decalage;
    while (static_cast<std::uint32_t>(table[k]) == tour) k = (k + 1) & masque;
    table[k] = (r << 32) | tour;
    indices[k] = static_cast<std::uint32_t>(j);
  }

  // The inverses of the primes of s modulo A, from one inversion of their product.
  u64 inv[kMaxTermes], cumul[kMaxTermes];
  u64 c = 1;
  for (int k = 0; k < h.ns; ++k) {
    cumul[k] = c;
    c = br.mul(c, br.mod(h.s[k].p));
  }
  u64 ic = inverse_mod(c, A);
  for (int k = h.ns - 1; k >= 0; --k) {
    inv[k] = br.mul(ic, cumul[k]);
    ic = br.mul(ic, br.mod(h.s[k].p));
  }
  const u64 moins_b = (A - br.mod(B)) % A;
  lister_inverses(h.s, inv, h.ns, U, moins_b, br, tr.autres, tr.residus);

  for (std::size_t j = 0; j < tr.autres.size(); ++j) {
    const u64 r = tr.residus[j], cle = (r << 32) | tour;
    for (u64 k = (r * 0x9E3779B97F4A7C15ULL) >> decalage;; k = (k + 1) & masque) {
      const u64 v = table[k];
      if (v == cle) {
        const u128 u = u128{tr.autres[j]} * lt[indices[k]];
        if (u >= L && u <= U) tr.retenus.push_back(static_cast<u64>(u));
      } else if (static_cast<std::uint32_t>(v) != tour) {
        break;
      }
    }
  }
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
  if (pb.b >= (i128{1} << 63) || pb.fb.size() > kMaxTermes) return false;
  if (pb.a <= 0 || pb.b <= 0 || pb.z <= 0) return true;
  if (pb.a > 2 * pb.b) return true;  // x = (b + u)/a <= 2b/a < 1
  const u64 A = static_cast<u64>(pb.a), B = static_cast<u64>(pb.b), z = static_cast<u64>(pb.z);

  // x within [b/a + 1, 2b/a], i.e. u in [1, b]; then a·x <= 2b < 2^64.
  const u64 xmin = B / A + 1, xmax = 2 * B / A;
  if (pb.lo > xmax || pb.hi < xmin) return true;
  const u64 lo = pb.lo < xmin ? xmin : static_cast<u64>(pb.lo);
  const u64 hi = pb.hi > xmax ? xmax : static_cast<u64>(pb.hi);
  if (lo > hi) return true;
  // x ≡ hi (mod z), from the unclipped hi.
  const u64 classe = z == 1   ? 0
                     : z == 2 ? static_cast<u64>(pb.hi & 1)
                              : static_cast<u64>(((pb.hi % pb.z) + pb.z) % pb.z);
  const u64 U = std::min(A * hi - B, pb.strict ? B - 1 : B);
  u64 L = A * lo - B;  // >= 1
  const u128 b2 = u128{B} * B;
  if (pb.M != 0) {
    const i128 ymax = (i128{B} + static_cast<i128>(b2)) / A;  // y <= (b + b²)/a
    if (pb.M < ymax) {
      const i128 K = i128{A} * pb.M - B;  // bound on v, below 2^127
      if (K <= 0) return true;
      const i128 Lm = (static_cast<i128>(b2) + K - 1) / K;
      if (Lm > U) return true;
      L = std::max(L, static_cast<u64>(Lm));
    }
  }
  if (L > U) return true;

  // The primes of b² with the exponent range of each in u. With an odd a, z = 2 fixes the parity
  // of u = a·x - b, hence the exponent of 2 in it.
  Terme termes[kMaxTermes];
  int nt = 0;
  for (const auto& [p, e] : pb.fb) termes[nt++] = {p, 0, 2 * e};
  if (z == 2 && (A & 1) == 1) {
    const bool u_pair = ((classe + B) & 1) == 0;
    if (u_pair && (B & 1) == 1) return true;  // every divisor of an odd b² is odd
    if (nt > 0 && termes[0].p == 2) {
      if (u_pair) {
        termes[0].emin = 1;
      } else {
        std::copy(termes + 1, termes + nt, termes);
        --nt;
      }
    }
  }

  std::vector<u64>& retenus = travail.retenus;
  retenus.clear();

  // Candidates x with u in [L, U], of the class of hi modulo z: from xhaut down to xbas.
  const u64 xhaut0 = (U + B) / A, xbas = (L + B - 1) / A + 1;
  const u64 ecart = z == 1 ? 0 : (xhaut0 % z + z - classe) % z;
  const u64 nb = xhaut0 < xbas + ecart ? 0 : (xhaut0 - ecart - xbas) / z + 1;
  const u64 xhaut = xhaut0 - ecart;

  MethodePaires m = travail.methode;
  const bool milieu_possible = A >= 2 && A < (u64{1} << 32);
  if (m == MethodePaires::milieu && !milieu_possible) m = MethodePaires::diviseurs;
  Partage partage;
  if (milieu_possible && m != MethodePaires::diviseurs && m != MethodePaires::candidats)
    partager(termes, nt, partage);
  if (m == MethodePaires::automatique) {
    u64 d = 1;
    for (int k = 0; k < nt; ++k) d = produit_sature(d, termes[k].nombre());
    const u64 cout_diviseurs = kFixeDiviseurs + produit_sature(d / 2, kCoutDiviseur);
    const u64 cout_candidats = kFixeCandidats + produit_sature(nb, kCoutCandidat);
    const u64 cout_milieu =
        milieu_possible ? kFixeMilieu + produit_sature(partage.ds + partage.dt, kCoutMilieu) +
                              produit_sature(d / A, kCoutAccord)
                        : kSature;
    m = cout_candidats <= std::min(cout_diviseurs, cout_milieu) ? MethodePaires::candidats
        : cout_milieu < cout_diviseurs                          ? MethodePaires::milieu
                                                                : MethodePaires::diviseurs;
  }

  switch (m) {
    case MethodePaires::candidats:
      // u = a·x - b divides b² exactly when (b mod u)² ≡ 0 (mod u); u <= b.
      for (u64 k = 0, x = xhaut; k < nb; ++k, x -= z) {
        const u64 u = A * x - B;
        const u64 r = B % u;
        const u128 r2 = u128{r} * r;
        if (reste128(static_cast<u64>(r2 >> 64), static_cast<u64>(r2), u) == 0)
          retenus.push_back(u);
      }
      break;
    case MethodePaires::milieu:
      par_milieu(partage, A, B, L, U, travail);
      if (travail.trier) std::sort(retenus.begin(), retenus.end(), std::greater<u64>());
      break;
    default:
      par_diviseurs(termes, nt, A, B, L, U, travail);
      if (travail.trier) std::sort(retenus.begin(), retenus.end(), std::greater<u64>());
      break;
  }

  // x = (b + u)/a and y = (b + b²/u)/a, both exact: u ≡ -b (mod a) and uv = b² give v ≡ -b too.
  for (const u64 u : retenus) {
    const u64 x = (u + B) / A;
    if (z > 1 && x % z != classe) continue;
    const u128 y = (b2 / u + B) / A;
    if ((pb.parite == 1 && (y & 1) == 0) || (pb.parite == 2 && (y & 1) == 1)) continue;
    out.emplace_back(static_cast<i128>(x), static_cast<i128>(y));
  }
  return true;
}

}  // namespace unitfrac
