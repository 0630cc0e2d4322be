// The last two unknowns solved at once from the divisors of b² (paires.hpp): every (x, y) with
// 1/x + 1/y = a/b, x among the candidates hi, hi - z, ... >= lo. Five ways to find u = a·x - b,
// chosen by their estimated cost (paires.hpp): all divisors of b², a meet-in-the-middle on the
// congruence u ≡ -b (mod a), each candidate x, and two that follow from a | s + t where u = g·s²,
// b = g·s·t (by the sums s + t, by the cofactors g). The divisors are 64-bit words while b < 2^63
// and 128-bit ones up to 2^127; residues modulo a take the cheapest arithmetic that a's size allows.
#include "engine/paires.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "engine/entier.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;

// Estimated costs in tenths of a nanosecond, fitted on the problems of n = 8 and n = 9, P/Q = 1
// sampled by bench/paires_bench.cpp (each way timed alone on each problem): a fixed part, and per
// divisor listed, per element of either half and per match of the meet-in-the-middle, per
// candidate. 128-bit divisors cost about twice as much; a 128-bit candidate far more. The sums:
// a fixed part, per window and element of either half, per divisor that falls in a window (fitted
// on the problems of n = 8, one in 5000, each way timed alone). The cofactors: a fixed part, per g
// tried as a divisor, per divisor g listed, per square test (set by timing n = 8 shards and the
// n = 3 problems under a bound with each halved and doubled: the times barely move).
constexpr u64 kFixeDiviseurs = 600, kCoutDiviseur = 10;
constexpr u64 kFixeMilieu = 500, kCoutMilieu = 25, kCoutAccord = 60;
constexpr u64 kFixeCandidats = 100, kCoutCandidat = 39, kCoutCandidat128 = 4000;
constexpr u64 kFixeSommes = 1000, kCoutSomme = 20, kCoutDansFenetre = 200;
constexpr u64 kFixeCofacteurs = 300, kCoutEssai = 40, kCoutRacine = 30, kCoutCofacteur = 50;

// Square roots as one instruction: std::sqrt, declared again by <gmpxx.h>, is a library call.
inline double racine(double x) { return __builtin_sqrt(x); }

constexpr u64 kSature = ~u64{0} >> 8;  // cost estimates saturate here, far from overflow

inline u64 produit_sature(u64 a, u64 b) {
  u64 p;
  return __builtin_mul_overflow(a, b, &p) || p > kSature ? kSature : p;
}

// (hi·2^64 + lo) / d and its remainder, for hi < d: one division instruction.
inline u64 diviser128(u64 hi, u64 lo, u64 d, u64& r) {
#if defined(__x86_64__)
  u64 q;
  __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "rm"(d) : "cc");
  return q;
#else
  const u128 n = (u128{hi} << 64) | lo;
  r = static_cast<u64>(n % d);
  return static_cast<u64>(n / d);
#endif
}

inline u64 reste128(u64 hi, u64 lo, u64 d) {
  u64 r;
  diviser128(hi, lo, d, r);
  return r;
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

// ---- Residues modulo a, 2 <= a < 2^64: products of two residues, reduced -------------------------

// a < 2^32, by Barrett: with m = floor((2^64 - 1)/a), q = hi(x·m) is floor(x/a) or one less.
struct Mod32 {
  u64 a, m;
  explicit Mod32(u64 a_) : a(a_), m(~u64{0} / a_) {}
  Mod32(u64 a_, u64 m_) : a(a_), m(m_) {}
  u64 mul(u64 x, u64 y) const {
    const u64 p = x * y;
    const u64 q = static_cast<u64>((u128{p} * m) >> 64);
    const u64 r = p - q * a;
    return r >= a ? r - a : r;
  }
};

// a < 2^50: x·y/a in doubles is within 1 of its floor (a relative error of about 3·2^-53 on a
// quotient below 2^50), so x·y - q·a, exact modulo 2^64, lies in (-a, 2a).
struct Mod50 {
  u64 a;
  double inv;
  explicit Mod50(u64 a_) : a(a_), inv(1.0 / static_cast<double>(a_)) {}
  u64 mul(u64 x, u64 y) const {
    // Through signed values (below 2^50): one conversion instruction each way.
    const auto q = static_cast<u64>(static_cast<long long>(
        static_cast<double>(static_cast<long long>(x)) * static_cast<double>(static_cast<long long>(y)) * inv));
    auto r = static_cast<long long>(x * y - q * a);
    if (r < 0) r += static_cast<long long>(a);
    else if (r >= static_cast<long long>(a)) r -= static_cast<long long>(a);
    return static_cast<u64>(r);
  }
};

// Any a < 2^64: the remainder of the 128-bit product (x·y < a², so its high word is below a).
struct Mod64 {
  u64 a;
  explicit Mod64(u64 a_) : a(a_) {}
  u64 mul(u64 x, u64 y) const {
    const u128 p = u128{x} * y;
    return reste128(static_cast<u64>(p >> 64), static_cast<u64>(p), a);
  }
};

}  // namespace

// The coefficients of the extended Euclidean algorithm stay within a in absolute value.
u64 inverse_mod(u64 c, u64 a) {
  if (a < (u64{1} << 62)) {
    long long r0 = static_cast<long long>(a), r1 = static_cast<long long>(c % a), s0 = 0, s1 = 1;
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
  u64 r0 = a, r1 = c % a;
  i128 s0 = 0, s1 = 1;
  while (r1 != 0) {
    const u64 q = r0 / r1, t = r0 - q * r1;
    r0 = r1;
    r1 = t;
    const i128 ts = s0 - static_cast<i128>(q) * s1;
    s0 = s1;
    s1 = ts;
  }
  return static_cast<u64>(s0 < 0 ? s0 + static_cast<i128>(a) : s0);
}

namespace {

// v mod a without a division where v is already below a (the small primes of b mostly are).
inline u64 reduit(u64 v, u64 a) { return v < a ? v : v % a; }

// w·p when it does not exceed U; false otherwise (no division: the bound holds for the product).
template <class V, class P>
inline bool multiplier(V& w, P p, V U) {
  V r;
  if (__builtin_mul_overflow(w, static_cast<V>(p), &r) || r > U) return false;
  w = r;
  return true;
}

// u divides b², for 0 < u: with r = b mod u, g = gcd(u, r), u | r² exactly when u/g divides g.
bool divise_carre(u128 u, u128 b) {
  const u128 r = b % u;
  if (r == 0) return true;
  const u128 g = pgcd_binaire(u, r);
  return g % (u / g) == 0;
}

// ---- Divisors of b² ------------------------------------------------------------------------------

constexpr std::size_t kMaxTermes = 26;  // b < 2^127 has at most 25 distinct primes
constexpr int kMaxExposant = 254;       // the exponent of 2 in b², b < 2^127

// A prime of b² and the range of its exponent in u (0..2e, or narrower for 2 under a parity).
struct Terme {
  u64 p;
  int emin, emax;
  u64 nombre() const { return static_cast<u64>(emax - emin + 1); }
};

template <class V>
std::vector<V>& premiere_liste(TravailPaires& tr) {
  if constexpr (std::is_same_v<V, u64>) return tr.v64; else return tr.v128;
}
template <class V>
std::vector<V>& seconde_liste(TravailPaires& tr) {
  if constexpr (std::is_same_v<V, u64>) return tr.w64; else return tr.w128;
}

// Room for n elements at the front of v (grown, never shrunk, so that a steady state neither
// allocates nor fills).
template <class T>
T* place(std::vector<T>& v, std::size_t n) {
  if (v.size() < n) v.resize(n);
  return v.data();
}

// The number of products lister can make: the product of the exponent ranges, saturating.
inline u64 borne_liste(const Terme* t, int nt, int sauter) {
  u64 d = 1;
  for (int k = 0; k < nt; ++k)
    if (k != sauter) d = produit_sature(d, t[k].nombre());
  return d;
}

// Every product of p^e over the terms but the one at `sauter` (e in its range) that does not
// exceed U, in `val`; beside each in `res`, r0 times the product of f[k]^e over its terms, mod a
// (no residues when R is void). Without `borne`, every product is listed: the caller knows they
// all fit V. Returns how many.
template <class V, class R, bool borne_u = true>
std::size_t lister(const Terme* t, int nt, const u64* f, V U, u64 r0, const R* mod, std::vector<V>& vval,
                   std::vector<u64>& vres, int sauter = -1) {
  constexpr bool residus = !std::is_void_v<R>;
  const std::size_t borne = static_cast<std::size_t>(borne_liste(t, nt, sauter));
  V* const val = place(vval, borne);
  u64* const res = residus ? place(vres, borne) : nullptr;
  std::size_t n = 1;
  val[0] = 1;
  if constexpr (residus) res[0] = r0;
  // Each product and residue comes from an element listed before and a power of the prime: the
  // powers are formed once, so the products do not wait on one another (the residues' chain of
  // multiplications modulo a would otherwise set the pace).
  V pv[kMaxExposant + 1];
  u64 pr[kMaxExposant + 1];
  for (int k = 0; k < nt; ++k) {
    if (k == sauter) continue;
    const u64 p = t[k].p;
    int pas = t[k].emax;
    pv[0] = 1;
    pr[0] = 1;
    for (int e = 1; e <= pas; ++e) {
      if constexpr (borne_u) {
        pv[e] = pv[e - 1];
        if (!multiplier(pv[e], p, U)) {
          pas = e - 1;  // p^e passes U, and so does every product with it
          break;
        }
      } else {
        pv[e] = pv[e - 1] * p;
      }
      if constexpr (residus) pr[e] = mod->mul(pr[e - 1], f[k]);
    }
    const int emin = t[k].emin;
    if (emin > pas) return 0;  // p^emin passes U: no product at all
    if (emin > 0) {  // every product takes p^emin at least
      std::size_t garde = 0;
      for (std::size_t j = 0; j < n; ++j) {
        V w = val[j];
        if constexpr (borne_u) {
          if (!multiplier(w, pv[emin], U)) continue;
        } else {
          w *= pv[emin];
        }
        val[garde] = w;
        if constexpr (residus) res[garde] = mod->mul(res[j], pr[emin]);
        ++garde;
      }
      n = garde;
    }
    const std::size_t taille = n;
    for (std::size_t j = 0; j < taille; ++j) {
      const V w = val[j];
      for (int e = 1; e <= pas - emin; ++e) {
        V x = w;
        if constexpr (borne_u) {
          if (!multiplier(x, pv[e], U)) break;
        } else {
          x *= pv[e];
        }
        val[n] = x;
        if constexpr (residus) res[n] = mod->mul(res[j], pr[e]);
        ++n;
      }
    }
  }
  return n;
}

// The term with the most exponents: the divisor loops multiply it in last, without listing.
int plus_long(const Terme* t, int nt) {
  int k = -1;
  for (int j = 0; j < nt; ++j)
    if (k < 0 || t[j].nombre() > t[k].nombre()) k = j;
  return k;
}

// Divisors u of b² up to U with u ≡ -b (mod a), every one listed (64-bit: u + b < 2^64, tested
// for a multiple of a).
template <class F>
void par_diviseurs(const Terme* t, int nt, u64 A, u64 B, u64 U, TravailPaires& tr, F&& garder) {
  const TestMultiple multiple_de_a(A);
  const int dernier = plus_long(t, nt);
  const std::size_t nl = lister<u64, void>(t, nt, nullptr, U, 0, nullptr, tr.v64, tr.rv, dernier);
  const u64* const liste = tr.v64.data();
  if (dernier < 0) {
    for (std::size_t j = 0; j < nl; ++j)
      if (multiple_de_a(liste[j] + B)) garder(liste[j]);
    return;
  }
  const u64 p = t[dernier].p;
  const int emin = t[dernier].emin, emax = t[dernier].emax;
  for (std::size_t j = 0; j < nl; ++j) {
    u64 w = liste[j];
    bool dedans = true;
    for (int e = 0; e < emin && dedans; ++e) dedans = multiplier(w, p, U);
    if (!dedans) continue;
    for (int e = emin;; ++e) {
      if (multiple_de_a(w + B)) garder(w);
      if (e == emax || !multiplier(w, p, U)) break;
    }
  }
}

// The same on 128-bit divisors, by their residues modulo a.
template <class R, class F>
void par_diviseurs128(const Terme* t, int nt, const R& mod, u64 moins_b, u128 U, TravailPaires& tr,
                      F&& garder) {
  u64 f[kMaxTermes] = {};
  for (int k = 0; k < nt; ++k) f[k] = reduit(t[k].p, mod.a);
  const int dernier = plus_long(t, nt);
  const std::size_t nl = lister<u128, R>(t, nt, f, U, 1 % mod.a, &mod, tr.v128, tr.rv, dernier);
  if (dernier < 0) {
    for (std::size_t j = 0; j < nl; ++j)
      if (tr.rv[j] == moins_b) garder(tr.v128[j]);
    return;
  }
  const u64 p = t[dernier].p, fp = f[dernier];
  const int emin = t[dernier].emin, emax = t[dernier].emax;
  for (std::size_t j = 0; j < nl; ++j) {
    u128 w = tr.v128[j];
    u64 r = tr.rv[j];
    bool dedans = true;
    for (int e = 0; e < emin && dedans; ++e) {
      dedans = multiplier(w, p, U);
      r = mod.mul(r, fp);
    }
    if (!dedans) continue;
    for (int e = emin;; ++e) {
      if (r == moins_b) garder(w);
      if (e == emax || !multiplier(w, p, U)) break;
      r = mod.mul(r, fp);
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
void partager_termes(const Terme* t, int nt, Partage& h) {
  int ordre[kMaxTermes];
  for (int k = 0; k < nt; ++k) {  // by decreasing exponent range; the terms are few
    int j = k;
    for (; j > 0 && t[ordre[j - 1]].nombre() < t[k].nombre(); --j) ordre[j] = ordre[j - 1];
    ordre[j] = k;
  }
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
}

// Divisors u = s·t of b² up to U with u ≡ -b (mod a), a >= 2. With G the product of the powers
// p^emax of one half's primes and s' = G/s, s·t ≡ -b exactly when G·t ≡ -b·s' (multiply by s',
// prime to a): the t (the other half) go in a hash table by G·t mod a, and each s' looks up -b·s'
// mod a; both only multiply, no inverse modulo a is needed. The table is at most an eighth full,
// so most lookups stop at an empty slot at once; a residue is its own hash (the residues spread
// over [0, a), and below the table's size they cannot collide). The work is about the two halves'
// sizes, about sqrt(d(b²)) each, plus the matches, about d(b²)/a; s = G/s' is formed for matches.
template <class V, class R, class F>
void par_milieu(Partage h, const R& mod, u64 moins_b, V U, TravailPaires& tr, F&& garder) {
  const u64 A = mod.a;
  // G mod a, and G itself while it fits 128 bits; otherwise the halves swap if the other's does.
  const auto carre = [](const Terme* t, int nt, u128& G) {
    G = 1;
    for (int k = 0; k < nt; ++k)
      for (int e = 0; e < t[k].emax; ++e)
        if (__builtin_mul_overflow(G, u128{t[k].p}, &G)) return false;
    return true;
  };
  u128 G = 1, Gt = 1;
  bool complements = carre(h.s, h.ns, G);
  if (!complements && carre(h.t, h.nt, Gt)) {
    std::swap(h.s, h.t);
    std::swap(h.ns, h.nt);
    G = Gt;
    complements = true;
  }
  u64 gmod = 1;
  if (complements)
    for (int k = 0; k < h.ns; ++k) {
      const u64 pa = reduit(h.s[k].p, A);
      for (int e = 0; e < h.s[k].emax; ++e) gmod = mod.mul(gmod, pa);
    }

  // The t, with their residues (G·)t, in the table.
  u64 f[kMaxTermes] = {};
  for (int k = 0; k < h.nt; ++k) f[k] = reduit(h.t[k].p, A);
  const std::size_t nt = lister<V, R>(h.t, h.nt, f, U, gmod, &mod, premiere_liste<V>(tr), tr.rw);
  const V* const lt = premiere_liste<V>(tr).data();
  const u64* const rt = tr.rw.data();
  int bits = 6;
  while ((std::size_t{1} << bits) < 8 * nt) ++bits;
  const std::size_t taille = std::size_t{1} << bits;
  if (tr.cles.size() < taille) {
    tr.cles.assign(taille, 0);
    tr.indices.resize(taille);
  }
  u64* const cles = tr.cles.data();
  std::uint32_t* const indices = tr.indices.data();
  std::uint32_t* const places = place(tr.places, nt);
  const u64 masque = taille - 1;
  for (std::size_t j = 0; j < nt; ++j) {
    const u64 r = rt[j];
    u64 k = r & masque;
    while (cles[k] != 0) k = (k + 1) & masque;
    cles[k] = r + 1;
    indices[k] = static_cast<std::uint32_t>(j);
    places[j] = static_cast<std::uint32_t>(k);
  }

  // Every t of the table whose residue is r, with s = base·p^g: u = s·t kept when at most U.
  // With complements, base·p^g is s' and s = G/s'.
  const auto chercher = [&](u64 r, u128 base, u64 p, int g) {
    for (u64 k = r & masque; cles[k] != 0; k = (k + 1) & masque) {
      if (cles[k] != r + 1) continue;
      u128 s = base;
      for (int e = 0; e < g; ++e) s *= p;
      if (complements) s = G / s;
      u128 u;
      if (!__builtin_mul_overflow(s, u128{lt[indices[k]]}, &u) && u <= U) garder(static_cast<V>(u));
    }
  };

  // The other half: the s' = G/s, every divisor of G with the exponent of each p from 0 to
  // emax - emin (G/s' is the one bounded by U), keys -b·s'; or, past 128 bits, the s up to U
  // with keys -b·s⁻¹ from the inverses of the primes. The term with most exponents is multiplied
  // in while looking up.
  Terme termes[kMaxTermes];
  u64 fs[kMaxTermes] = {};
  for (int k = 0; k < h.ns; ++k) {
    termes[k] = complements ? Terme{h.s[k].p, 0, h.s[k].emax - h.s[k].emin} : h.s[k];
    fs[k] = reduit(h.s[k].p, A);
  }
  if (!complements) {  // the inverses, from one inversion of their product
    u64 cumul[kMaxTermes] = {};
    u64 c = 1;
    for (int k = 0; k < h.ns; ++k) {
      cumul[k] = c;
      c = mod.mul(c, fs[k]);
    }
    u64 ic = inverse_mod(c, A);
    for (int k = h.ns - 1; k >= 0; --k) {
      const u64 pk = fs[k];
      fs[k] = mod.mul(ic, cumul[k]);
      ic = mod.mul(ic, pk);
    }
  }
  const u128 borne = complements ? ~u128{0} : u128{U};
  const int dernier = plus_long(termes, h.ns);
  // Every s' divides G < 2^128: no product of them is checked.
  const std::size_t ns = complements
                             ? lister<u128, R, false>(termes, h.ns, fs, borne, moins_b, &mod, tr.w128, tr.rv, dernier)
                             : lister<u128, R>(termes, h.ns, fs, borne, moins_b, &mod, tr.w128, tr.rv, dernier);
  const u128* const ls = tr.w128.data();
  const u64* const rs = tr.rv.data();
  if (dernier < 0) {
    for (std::size_t j = 0; j < ns; ++j) chercher(rs[j], ls[j], 1, 0);
  } else {
    const u64 p = termes[dernier].p;
    const int emin = termes[dernier].emin;
    int emax = termes[dernier].emax;
    u128 pv[kMaxExposant + 1];
    u64 pr[kMaxExposant + 1];
    pv[0] = 1;
    pr[0] = 1;
    for (int g = 1; g <= emax; ++g) {
      pv[g] = pv[g - 1];
      if (!multiplier(pv[g], p, borne)) {
        emax = g - 1;
        break;
      }
      pr[g] = mod.mul(pr[g - 1], fs[dernier]);
    }
    if (complements && emax >= emin) {
      // No bound to check: every residue first meets its home slot, without a branch; the few
      // that find it taken (a ninth or so) are followed up afterwards.
      const int largeur = emax - emin + 1;
      u64* const suivis = place(tr.suivis, ns * static_cast<std::size_t>(largeur));
      std::size_t nsuivis = 0;
      for (std::size_t j = 0; j < ns; ++j) {
        const u64 rj = rs[j];
        for (int g = emin; g <= emax; ++g) {
          const u64 r = mod.mul(rj, pr[g]);
          suivis[nsuivis] = (static_cast<u64>(j) << 8) | static_cast<u64>(g);
          nsuivis += cles[r & masque] != 0;
        }
      }
      for (std::size_t c = 0; c < nsuivis; ++c) {
        const std::size_t j = static_cast<std::size_t>(suivis[c] >> 8);
        const int g = static_cast<int>(suivis[c] & 255);
        chercher(mod.mul(rs[j], pr[g]), ls[j], p, g);
      }
    } else {
      for (std::size_t j = 0; j < ns; ++j) {
        for (int g = emin; g <= emax; ++g) {
          if (!complements) {
            u128 w = ls[j];
            if (!multiplier(w, pv[g], borne)) break;
          }
          chercher(mod.mul(rs[j], pr[g]), ls[j], p, g);
        }
      }
    }
  }

  // The table empty again for the next call.
  for (std::size_t j = 0; j < nt; ++j) cles[places[j]] = 0;
}

// The meet-in-the-middle with the arithmetic modulo a that a's size allows.
template <class V, class F>
void milieu(const Partage& h, u64 A, u64 m, u64 moins_b, V U, TravailPaires& tr, F&& garder) {
  if (A < (u64{1} << 32))
    par_milieu(h, Mod32(A, m), moins_b, U, tr, garder);
  else if (A < (u64{1} << 50))
    par_milieu(h, Mod50(A), moins_b, U, tr, garder);
  else
    par_milieu(h, Mod64(A), moins_b, U, tr, garder);
}

template <class F>
void diviseurs128(const Terme* t, int nt, u64 A, u64 moins_b, u128 U, TravailPaires& tr, F&& garder) {
  if (A < (u64{1} << 32))
    par_diviseurs128(t, nt, Mod32(A), moins_b, U, tr, garder);
  else if (A < (u64{1} << 50))
    par_diviseurs128(t, nt, Mod50(A), moins_b, U, tr, garder);
  else
    par_diviseurs128(t, nt, Mod64(A), moins_b, U, tr, garder);
}

// Divisors u of b² in [L, U] with u ≡ -b (mod a), by the sum of their two square roots. Every
// divisor of b² is u = g·s² with b = g·s·t, s and t coprime, and then v = b²/u = g·t²; a·x = b + u
// = g·s·(s + t), and since g·s divides b, prime to a, a divides s + t = k·a. So for k = 1 up to
// kmax (k·a·sqrt(L) <= b + L, see chercher), s is a divisor of b of the window u/b = s/t in
// [L/b, U/b], i.e. s in [k·a·L/(b + L), k·a·U/(b + U)], at most sqrt(b) (s <= t, s·t <= b); t =
// k·a - s must divide b/s, and gcd(s, t) = gcd(s, k) = 1 makes each u come once. The divisors of
// b are two sorted halves d1·d2, swept against each window: about kmax·2·sqrt(d(b)) steps, far
// fewer than the meet-in-the-middle's residues when the window is narrow and kmax small, as for
// most remainders of n = 8 and n = 9.
template <class V, class F>
void par_sommes(const std::vector<Facteur>& fb, u64 A, V B, V L, V U, u64 kmax, TravailPaires& tr, F&& garder) {
  // s <= sqrt(b) < 2^64, and no window reaches past kmax's.
  u64 smax = static_cast<u64>(racine(static_cast<double>(B)));
  while (smax > 0 && u128{smax} * smax > B) --smax;
  while (u128{smax + 1} * (smax + 1) <= B) ++smax;
  const double dB = static_cast<double>(B), dA = static_cast<double>(A);
  const double fL = static_cast<double>(L) / (dB + static_cast<double>(L));
  const double fU = static_cast<double>(U) / (dB + static_cast<double>(U));
  // Window of k, widened by far more than the rounding of doubles: every s it lets in is checked
  // exactly.
  const auto fenetre = [&](u64 k, u64& bas, u64& haut) {
    const double ka = static_cast<double>(k) * dA;
    const double b = ka * fL * (1 - 1e-9) - 1, h = ka * fU * (1 + 1e-9) + 1;
    bas = b < 1 ? 1 : b > static_cast<double>(smax) ? smax + 1 : static_cast<u64>(b);  // smax < 2^64 - 1
    haut = h >= static_cast<double>(smax) ? smax : static_cast<u64>(h);
  };
  u64 bas = 0, plafond = 0;
  fenetre(kmax, bas, plafond);

  // The two halves of b's primes, by about equal numbers of divisors; each half's divisors up to
  // the ceiling, sorted.
  Terme termes[kMaxTermes];
  int nt = 0;
  for (const auto& [p, e] : fb) termes[nt++] = {p, 0, e};
  Partage h;
  partager_termes(termes, nt, h);
  const std::size_t m1 = lister<u64, void>(h.s, h.ns, nullptr, plafond, 0, nullptr, tr.v64, tr.rv);
  const std::size_t m2 = lister<u64, void>(h.t, h.nt, nullptr, plafond, 0, nullptr, tr.w64, tr.rw);
  u64* const d1 = tr.v64.data();
  u64* const d2 = tr.w64.data();
  std::sort(d1, d1 + m1);
  std::sort(d2, d2 + m2);

  for (u64 k = 1; k <= kmax; ++k) {
    u64 haut = 0;
    fenetre(k, bas, haut);
    if (bas > haut) continue;
    const u128 ka = u128{k} * A;
    std::size_t j = m2;
    for (std::size_t i = 0; i < m1 && j > 0; ++i) {
      const u64 a1 = d1[i];
      if (a1 > haut) break;
      while (j > 0 && u128{a1} * d2[j - 1] > haut) --j;
      for (std::size_t l = j; l > 0; --l) {
        const u128 s = u128{a1} * d2[l - 1];
        if (s < bas) break;
        // t = k·a - s >= s, s·t dividing b, s and t coprime; the cheap tests first.
        if (ka < 2 * s) continue;
        const u128 t = ka - s;
        u128 st;
        if (__builtin_mul_overflow(s, t, &st) || st > B) continue;
        const V q = B / static_cast<V>(s);
        if (static_cast<u128>(q) % t != 0 || pgcd_binaire(static_cast<u64>(s), k) != 1) continue;
        const u128 u = static_cast<u128>(q) / t * s * s;
        if (u >= L && u <= U) garder(static_cast<V>(u));
      }
    }
  }
}

// Whether v < 2^126 is a perfect square, and its root: most non-squares fail on v mod 64 (12 of
// the 64 residues are squares); for the others the root in doubles is within 1 below 2^104, and
// one Newton step brings it there above.
bool carre_parfait(u128 v, u64& r) {
  if (((u64{0x0202021202030213} >> (static_cast<u64>(v) & 63)) & 1) == 0) return false;
  const auto hi = static_cast<u64>(v >> 64), lo = static_cast<u64>(v);
  auto x = static_cast<u64>(racine(static_cast<double>(hi) * 0x1p64 + static_cast<double>(lo)));
  u64 reste;
  if ((hi >> 40) != 0 && hi < x) x = (x + diviser128(hi, lo, x, reste)) / 2;  // x, v/x < 2^63
  while (u128{x} * x > v) --x;
  while (u128{x + 1} * (x + 1) <= v) ++x;
  r = x;
  return u128{x} * x == v;
}

// Divisors u of b² in [L, U] with u ≡ -b (mod a), by their cofactor g. As for the sums (par_sommes),
// u = g·s², b = g·s·t, s + t = k·a; given g and k, s and t are the roots of X² - k·a·X + b/g, so
// (k·a)² - 4b/g must be a square. u/b = s/t in [L/b, U/b] gives k²·g in [h0², h1²] with
// h0 = (b + U)/(a·sqrt(U)) and h1 = (b + L)/(a·sqrt(L)) = kmax. The pairs (g, k) come either from
// b's divisors g up to h1², each with its range of k, or, when h0 is close to h1 and few integers
// lie in the ranges [h0²/k², h1²/k²], from trying each of them as a divisor of b. When kmax is
// small, as for most remainders with a large a, that is a handful of square tests.
struct Cofacteurs {
  double h0 = 0, h1 = 0;  // k·sqrt(g) in [h0, h1], both widened by far more than rounding
  bool essais = false;    // g tried in each range rather than listed from b's divisors
};

template <class V, class F>
void par_cofacteurs(const std::vector<Facteur>& fb, u64 A, V B, V L, V U, u64 kmax, const Cofacteurs& c,
                    TravailPaires& tr, F&& garder) {
  // The square test for one (g, k): k·a < 2^62 (checked by chercher), so (k·a)² fits.
  const auto essayer = [&](u64 g, V N, u64 k) {
    const u128 S = u128{k} * A;
    const u128 S2 = S * S;
    if (static_cast<u128>(N) > S2 / 4) return;
    u64 D;
    if (!carre_parfait(S2 - 4 * static_cast<u128>(N), D)) return;
    const u64 s = static_cast<u64>((S - D) / 2);
    if (pgcd_binaire(s, k) != 1) return;
    const u128 u = static_cast<u128>(g) * s * s;
    if (u >= L && u <= U) garder(static_cast<V>(u));
  };
  const double b2 = c.h0 * c.h0, h2 = c.h1 * c.h1;
  if (c.essais) {
    for (u64 k = 1; k <= kmax; ++k) {
      const double k2 = static_cast<double>(k) * static_cast<double>(k);
      const double gb = b2 / k2, gh = h2 / k2;
      u64 g = gb <= 1 ? 1 : static_cast<u64>(gb);
      const u64 g1 = static_cast<u64>(gh);
      for (g += static_cast<double>(g) < gb; g <= g1; ++g) {
        const V q = B / static_cast<V>(g);
        if (q * static_cast<V>(g) == B) essayer(g, q, k);
      }
    }
    return;
  }
  const u64 plafond = h2 >= 0x1p62 ? u64{1} << 62 : static_cast<u64>(h2);
  Terme termes[kMaxTermes];
  int nt = 0;
  for (const auto& [p, e] : fb) termes[nt++] = {p, 0, e};
  const std::size_t ng = lister<u64, void>(termes, nt, nullptr, plafond, 0, nullptr, tr.v64, tr.rv);
  const u64* const liste = tr.v64.data();
  for (std::size_t j = 0; j < ng; ++j) {
    const u64 g = liste[j];
    const double rg = racine(static_cast<double>(g));
    const double kb = c.h0 / rg, kh = c.h1 / rg;
    u64 k0 = kb <= 1 ? 1 : static_cast<u64>(kb);
    if (static_cast<double>(k0) < kb) ++k0;
    const u64 k1 = kh >= static_cast<double>(kmax) ? kmax : static_cast<u64>(kh);
    if (k0 > k1) continue;
    const V N = B / static_cast<V>(g);
    for (u64 k = k0; k <= k1; ++k) essayer(g, N, k);
  }
}

// b²/u for b < 2^127 and u | b², in any size.
mpz_class quotient_carre(u128 b, u128 u) {
  const mpz_class B = vers_mpz(static_cast<i128>(b)), W = vers_mpz(static_cast<i128>(u));
  mpz_class v = B * B;
  mpz_divexact(v.get_mpz_t(), v.get_mpz_t(), W.get_mpz_t());
  return v;
}

// The pairs with divisors on V (u64 while b < 2^63, u128 above).
template <class V>
void chercher(const ProblemePaire& pb, bool lister_tout, Paires& res, TravailPaires& travail) {
  const u64 A = static_cast<u64>(pb.a);
  const V B = static_cast<V>(pb.b);
  const u64 z = static_cast<u64>(pb.z);

  // x within [b/a + 1, 2b/a], i.e. u in [1, b]; then a·x <= 2b < 2^128 (2^64 for b < 2^63).
  // Divisions by a: by one reciprocal for 64-bit values (q = hi(x·m) is the quotient or one
  // less, m = floor((2^64 - 1)/a)), by the 128-bit division otherwise.
  const u64 inv_a = ~u64{0} / A;
  const auto diviser = [&](V x, V& reste) -> V {
    if constexpr (std::is_same_v<V, u64>) {
      u64 q = static_cast<u64>((u128{x} * inv_a) >> 64), r = x - q * A;
      if (r >= A) {
        ++q;
        r -= A;
      }
      reste = r;
      return q;
    } else {
      reste = x % A;
      return x / A;
    }
  };
  V reste_b = 0, reste = 0;
  const V qb = diviser(B, reste_b);
  const V xmin = qb + 1, xmax = 2 * qb + (2 * reste_b >= A ? 1 : 0);
  if (pb.lo > static_cast<i128>(xmax) || pb.hi < static_cast<i128>(xmin)) return;
  const V lo = pb.lo < static_cast<i128>(xmin) ? xmin : static_cast<V>(pb.lo);
  const V hi = pb.hi > static_cast<i128>(xmax) ? xmax : static_cast<V>(pb.hi);
  if (lo > hi) return;
  // x ≡ hi (mod z), from the unclipped hi.
  const u64 classe = z == 1   ? 0
                     : z == 2 ? static_cast<u64>(pb.hi & 1)
                              : static_cast<u64>(((pb.hi % pb.z) + pb.z) % pb.z);
  const V U = std::min<V>(A * hi - B, pb.strict ? B - 1 : B);
  V L = A * lo - B;  // >= 1
  if (pb.M != 0) {
    // y <= M: v = b²/u <= K = a·M - b, i.e. u >= b²/K. Without the bound y <= (b + b²)/a.
    // a·M can pass 2^127 (a bound far above the last unknowns): K is then past b², and in 64
    // bits u >= b²/K says nothing.
    i128 am = 0;
    const bool am_large = __builtin_mul_overflow(static_cast<i128>(A), pb.M, &am);
    if constexpr (std::is_same_v<V, u64>) {
      if (!am_large) {
        const i128 K = am - static_cast<i128>(B);
        if (K <= 0) return;
        const u128 b2 = u128{B} * B, k = static_cast<u128>(K);
        const u128 Lm = b2 / k + (b2 % k != 0);
        if (Lm > U) return;
        L = std::max(L, static_cast<V>(Lm));
      }
    } else {
      const mpz_class b2 = vers_mpz(static_cast<i128>(B)) * vers_mpz(static_cast<i128>(B));
      mpz_class Lm;
      const mpz_class k =
          am_large ? mpz_class(vers_mpz(static_cast<i128>(A)) * vers_mpz(pb.M) - vers_mpz(static_cast<i128>(B)))
                   : vers_mpz(am - static_cast<i128>(B));
      if (k <= 0) return;
      mpz_cdiv_q(Lm.get_mpz_t(), b2.get_mpz_t(), k.get_mpz_t());
      i128 l = 0;
      if (!en_i128(Lm, l) || static_cast<u128>(l) > U) return;
      L = std::max(L, static_cast<V>(l));
    }
  }
  if (L > U) return;
  // With u = g·s², b = g·s·t and s + t = k·a (par_sommes), s·t <= b and s/t >= L/b give
  // k·a·sqrt(L) <= b + L: a remainder with a large a may have no pair at all above L (a quarter of
  // the problems of n = 8). kmax is rounded up by a margin far above the rounding of doubles.
  const double kreel = (static_cast<double>(B) + static_cast<double>(L)) /
                       (static_cast<double>(A) * racine(static_cast<double>(L))) * (1 + 1e-9);
  if (kreel < 1) return;
  const u64 kmax = kreel >= 0x1p62 ? u64{1} << 62 : static_cast<u64>(kreel);

  // The primes of b² with the exponent range of each in u. With an odd a, z = 2 fixes the parity
  // of u = a·x - b, hence the exponent of 2 in it.
  Terme termes[kMaxTermes];
  int nt = 0;
  for (const auto& [p, e] : pb.fb) termes[nt++] = {p, 0, 2 * e};
  if (z == 2 && (A & 1) == 1) {
    const bool u_pair = ((classe + static_cast<u64>(B)) & 1) == 0;
    if (u_pair && (B & 1) == 1) return;  // every divisor of an odd b² is odd
    if (nt > 0 && termes[0].p == 2) {
      if (u_pair) {
        termes[0].emin = 1;
      } else {
        std::copy(termes + 1, termes + nt, termes);
        --nt;
      }
    }
  }

  // Keeps a u in [L, U] whose x has the class of hi and whose y has the parity asked.
  const auto garder = [&](V u) {
    if (u < L) return;
    if (z > 1 && ((u + B) / A) % z != classe) return;
    if (pb.parite != 0) {
      bool y_pair;
      if constexpr (std::is_same_v<V, u64>) {
        y_pair = (((u128{B} * B / u + B) / A) & 1) == 0;
      } else {
        const mpz_class y = (quotient_carre(B, u) + vers_mpz(static_cast<i128>(B))) / vers_mpz(static_cast<i128>(A));
        y_pair = mpz_even_p(y.get_mpz_t()) != 0;
      }
      if (y_pair != (pb.parite == 2)) return;
    }
    if (lister_tout) res.u.push_back(u);
    if (res.nombre == 0 || u > res.u_haut) res.u_haut = u;
    if (res.nombre == 0 || u < res.u_bas) res.u_bas = u;
    ++res.nombre;
  };

  // Candidates x with u in [L, U], of the class of hi modulo z: from xhaut down to xbas.
  const V xhaut0 = diviser(U + B, reste), xbas = diviser(L + B - 1, reste) + 1;
  const V ecart = z == 1 ? 0 : z == 2 ? ((xhaut0 ^ classe) & 1) : (xhaut0 % z + z - classe) % z;
  const V nb = xhaut0 < xbas + ecart ? 0
               : z == 1            ? xhaut0 - xbas + 1
               : z == 2            ? ((xhaut0 - ecart - xbas) >> 1) + 1
                                   : (xhaut0 - ecart - xbas) / z + 1;
  const V xhaut = xhaut0 - ecart;

  MethodePaires m = travail.methode;
  const bool milieu_possible = A >= 2;
  if (m == MethodePaires::milieu && !milieu_possible) m = MethodePaires::diviseurs;
  // The cofactors (par_cofacteurs): k·a below 2^62 so that (k·a)² fits. Trying each g of the
  // ranges costs about (h1² - h0²)·π²/6 + kmax divisions; listing b's divisors up to h1² costs
  // about as many as the products of powers of b's primes below it (counted prime by prime, an
  // upper bound), and the square tests, about (h1 - h0)·the sum of g^(-1/2) over them.
  Cofacteurs cof;
  cof.h1 = kreel;
  cof.h0 = (static_cast<double>(B) + static_cast<double>(U)) /
           (static_cast<double>(A) * racine(static_cast<double>(U))) * (1 - 1e-9);
  const bool cofacteurs_possible = kreel * static_cast<double>(A) < 0x1p62 && kreel < 0x1p20;
  const double h2 = cof.h1 * cof.h1;
  const double essais = (h2 - cof.h0 * cof.h0) * 1.645 + static_cast<double>(kmax);
  const double par_essais = essais * kCoutEssai * (std::is_same_v<V, u64> ? 1 : 4);  // 128-bit divisions
  u64 d = 1;  // d(b²), under the parity asked
  for (int k = 0; k < nt; ++k) d = produit_sature(d, termes[k].nombre());
  u64 cout_cofacteurs = kSature;
  // Listing costs at least one square test per k: when trying costs less, it is the way; when
  // that least costs more than a meet-in-the-middle would, the cofactors are not estimated.
  const double liste_min = (cof.h1 - cof.h0 + 1) * kCoutCofacteur;
  if (cofacteurs_possible && par_essais <= liste_min) {
    cof.essais = true;
    const double c = kFixeCofacteurs + par_essais;
    cout_cofacteurs = c >= static_cast<double>(kSature) ? kSature : static_cast<u64>(c);
  } else if (cofacteurs_possible && liste_min < kFixeMilieu + 4 * racine(static_cast<double>(d)) * kCoutMilieu) {
    double sigma = 1, nombre = 1;
    for (const auto& [p, e] : pb.fb) {
      const double dp = static_cast<double>(p);
      if (dp > h2) break;
      const double r = 1 / racine(dp);
      double pe = dp, re = r, somme = 1, puissances = 1;
      for (int f = 1; f <= e && pe <= h2; ++f, pe *= dp, re *= r) {
        somme += re;
        ++puissances;
      }
      sigma *= somme;
      nombre *= puissances;
    }
    const double par_liste = nombre * kCoutRacine + (cof.h1 - cof.h0 + 1) * sigma * kCoutCofacteur;
    cof.essais = par_essais <= par_liste;
    const double c = kFixeCofacteurs + std::min(par_essais, par_liste);
    cout_cofacteurs = c >= static_cast<double>(kSature) ? kSature : static_cast<u64>(c);
  }
  if (m == MethodePaires::cofacteurs && !cofacteurs_possible)
    m = milieu_possible ? MethodePaires::milieu : MethodePaires::diviseurs;
  const u64 nb64 = nb > kSature ? kSature : static_cast<u64>(nb);
  const u64 cout_candidats =
      kFixeCandidats + produit_sature(nb64, std::is_same_v<V, u64> ? kCoutCandidat : kCoutCandidat128);
  // Cheaper than the least any other way can cost (the halves of the meet-in-the-middle and of the
  // sums make at least 2·sqrt of their products): chosen without splitting b's primes.
  if (m == MethodePaires::automatique && cout_cofacteurs < cout_candidats) {
    const double dd = static_cast<double>(d);
    const double moindre = std::min({kFixeDiviseurs + dd / 2 * kCoutDiviseur, kFixeMilieu + 2 * racine(dd) * kCoutMilieu,
                                     kFixeSommes + static_cast<double>(kmax) * 2 * racine(racine(dd)) * kCoutSomme});
    if (static_cast<double>(cout_cofacteurs) <= moindre) m = MethodePaires::cofacteurs;
  }
  u64 c1 = 1, c2 = 1;  // about the halves of b's divisors that par_sommes sweeps
  for (const auto& [p, e] : pb.fb) {
    u64& c = c1 <= c2 ? c1 : c2;
    c = produit_sature(c, static_cast<u64>(e + 1));
  }
  const u64 pas_sommes = produit_sature(kmax, c1 + c2);
  // Forced (tests), the sums still give way where their windows are far too many.
  if (m == MethodePaires::sommes && pas_sommes > (u64{1} << 24))
    m = milieu_possible ? MethodePaires::milieu : MethodePaires::diviseurs;
  Partage partage;
  if (milieu_possible && (m == MethodePaires::milieu || m == MethodePaires::automatique))
    partager_termes(termes, nt, partage);
  if (m == MethodePaires::automatique) {
    constexpr u64 facteur = std::is_same_v<V, u64> ? 1 : 2;
    const u64 cout_diviseurs = kFixeDiviseurs + produit_sature(d / 2, kCoutDiviseur * facteur);
    const u64 cout_milieu =
        milieu_possible ? kFixeMilieu + produit_sature(partage.ds + partage.dt, kCoutMilieu * facteur) +
                              produit_sature(d < A ? 0 : d / A, kCoutAccord)
                        : kSature;
    // Plus the divisors s that fall in the windows, each tested by divisions: about the share
    // ln(R)/ln(b) of b's divisors per window, R the ratio of a window's ends (its logarithms only
    // where the sweeps alone would not already cost more than another way).
    u64 cout_sommes = kFixeSommes + produit_sature(pas_sommes, kCoutSomme);
    if (cout_sommes < std::min(cout_diviseurs, cout_milieu)) {
      const double dL = static_cast<double>(L), dU = static_cast<double>(U), dB = static_cast<double>(B);
      const double part = std::min(1.0, std::log(dU * (dB + dL) / (dL * (dB + dU))) / std::log(dB + 2));
      const double dans = static_cast<double>(kmax) * static_cast<double>(c1) * static_cast<double>(c2) * part;
      cout_sommes = dans * kCoutDansFenetre >= static_cast<double>(kSature)
                        ? kSature
                        : cout_sommes + static_cast<u64>(dans * kCoutDansFenetre);
    }
    const u64 meilleur = std::min({cout_diviseurs, cout_milieu, cout_sommes, cout_cofacteurs});
    m = cout_candidats <= meilleur      ? MethodePaires::candidats
        : cout_cofacteurs == meilleur ? MethodePaires::cofacteurs
        : cout_sommes == meilleur     ? MethodePaires::sommes
        : cout_milieu == meilleur  ? MethodePaires::milieu
                                   : MethodePaires::diviseurs;
  }

  const u64 moins_b = reste_b == 0 ? 0 : A - static_cast<u64>(reste_b);
  switch (m) {
    case MethodePaires::candidats:
      // Decreasing x, so the u come in order.
      for (V k = 0, x = xhaut; k < nb; ++k, x -= z) {
        const V u = A * x - B;
        if constexpr (std::is_same_v<V, u64>) {
          // u divides b² exactly when (b mod u)² ≡ 0 (mod u); u <= b.
          const u64 r = B % u;
          const u128 r2 = u128{r} * r;
          if (reste128(static_cast<u64>(r2 >> 64), static_cast<u64>(r2), u) == 0) garder(u);
        } else {
          if (divise_carre(u, B)) garder(u);
        }
      }
      return;
    case MethodePaires::milieu:
      milieu<V>(partage, A, inv_a, moins_b, U, travail, garder);
      break;
    case MethodePaires::sommes:
      par_sommes<V>(pb.fb, A, B, L, U, kmax, travail, garder);
      break;
    case MethodePaires::cofacteurs:
      par_cofacteurs<V>(pb.fb, A, B, L, U, kmax, cof, travail, garder);
      break;
    default:
      if constexpr (std::is_same_v<V, u64>)
        par_diviseurs(termes, nt, A, B, U, travail, garder);
      else
        diviseurs128(termes, nt, A, moins_b, U, travail, garder);
      break;
  }
  if (lister_tout) std::sort(res.u.begin(), res.u.end(), std::greater<u128>());
}

}  // namespace

std::uint64_t nombre_diviseurs_carre(const std::vector<Facteur>& fb) {
  u64 d = 1;
  for (const auto& [p, e] : fb) {
    if (__builtin_mul_overflow(d, static_cast<u64>(2 * e + 1), &d)) return ~u64{0};
  }
  return d;
}

// performance-critical: called once per head x[1..n-2] of a count; run bench/paires_bench.cpp
// before and after any change.
//
// With u = a·x - b and v = a·y - b, uv = b², and x <= y exactly when u <= b. Every bound on x and
// y becomes a bound on u: x in [lo, hi] gives u in [a·lo - b, a·hi - b], y <= M gives
// v <= a·M - b, i.e. u >= b²/(a·M - b).
bool chercher_paires(const ProblemePaire& pb, bool lister, Paires& res, TravailPaires& travail) {
  res.nombre = 0;
  res.u.clear();
  if (pb.a <= 0 || pb.b <= 0 || pb.z <= 0) return true;
  if (pb.a - pb.b > pb.b) return true;  // a > 2b: x = (b + u)/a <= 2b/a < 1
  if (pb.a >= (i128{1} << 64) || pb.fb.size() >= kMaxTermes) return false;
  if (pb.b < (i128{1} << 63))
    chercher<u64>(pb, lister, res, travail);
  else
    chercher<u128>(pb, lister, res, travail);
  return true;
}

i128 x_de(const ProblemePaire& pb, u128 u) {
  return static_cast<i128>((u + static_cast<u128>(pb.b)) / static_cast<u128>(pb.a));
}

bool y_de(const ProblemePaire& pb, u128 u, i128& y) {
  const auto b = static_cast<u128>(pb.b), a = static_cast<u128>(pb.a);
  if (b < (u128{1} << 64)) {
    // b(b + 1) < 2^128: b + b²/u cannot wrap.
    const u128 v = (b * b / u + b) / a;
    y = static_cast<i128>(v);
    return v < (u128{1} << 127);
  }
  return en_i128(y_de(pb, u), y);
}

mpz_class y_de(const ProblemePaire& pb, u128 u) {
  return (quotient_carre(static_cast<u128>(pb.b), u) + vers_mpz(pb.b)) / vers_mpz(pb.a);
}

bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out,
                     TravailPaires& travail) {
  if (pb.b >= (i128{1} << 63)) return false;
  thread_local Paires res;
  if (!chercher_paires(pb, true, res, travail)) return false;
  for (const u128 u : res.u) {
    i128 y = 0;
    y_de(pb, u, y);
    out.emplace_back(x_de(pb, u), y);
  }
  return true;
}

bool resoudre_paires(const ProblemePaire& pb, std::vector<std::pair<i128, i128>>& out) {
  thread_local TravailPaires travail;
  return resoudre_paires(pb, out, travail);
}

}  // namespace unitfrac
