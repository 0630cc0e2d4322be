// Prime factorisation of 64-bit integers for the two-unknown step (paires.cpp): a table of smallest
// prime factors below 2^24, trial division by the primes below 2^8, then Miller-Rabin and
// Pollard-Brent rho in Montgomery arithmetic. Called once per new value of x(n-2) in a count, so
// about 10^8 times on values mostly below 10^8.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/paires.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

// ---- Table of smallest prime factors ------------------------------------------------------------

constexpr u64 kTable = u64{1} << 24;  // values below this are factored by table look-ups alone

// For odd m < kTable, at index m/2: the smallest prime factor of m when m is composite, 0 when m is
// prime (or 1). A composite below 2^24 has a factor of at most 2^12, so 16 bits hold it.
class Crible {
 public:
  explicit Crible(u64 taille) : spf_(new std::uint16_t[taille / 2]()) {
    for (u64 p = 3; p * p < taille; p += 2) {
      if (spf_[p / 2] != 0) continue;
      for (u64 m = p * p; m < taille; m += 2 * p)
        if (spf_[m / 2] == 0) spf_[m / 2] = static_cast<std::uint16_t>(p);
    }
  }
  std::uint16_t operator[](u64 m) const { return spf_[m / 2]; }

 private:
  std::unique_ptr<std::uint16_t[]> spf_;
};

// Built once, on first use; read-only afterwards, so threads can share them. The small table
// serves the small unknowns of every search at once; the large one (16 MB, tens of milliseconds
// to build) only the searches that reach larger values.
constexpr u64 kPetiteTable = u64{1} << 16;
const Crible& crible(std::uint32_t m) {
  if (m < kPetiteTable) {
    static const Crible petit(kPetiteTable);
    return petit;
  }
  static const Crible grand(kTable);
  return grand;
}

// Factors an odd m, 1 <= m < kTable, whose prime factors are all at least the last prime in out.
void factoriser_table(std::uint32_t m, std::vector<Facteur>& out) {
  const Crible& c = crible(m);
  while (m > 1) {
    const std::uint32_t p = c[m];
    if (p == 0) {
      out.emplace_back(m, 1);
      return;
    }
    int e = 0;
    do {
      m /= p;
      ++e;
    } while (m % p == 0);
    out.emplace_back(p, e);
  }
}

// ---- Trial division -----------------------------------------------------------------------------

// An odd p divides v exactly when v·p⁻¹ (mod 2^64) <= (2^64 - 1)/p; the product is then v/p.
struct Diviseur {
  u64 p, inv, lim;
};

constexpr int kNbEssais = 53;  // the odd primes below 256

constexpr std::array<Diviseur, kNbEssais> faire_essais() {
  std::array<Diviseur, kNbEssais> t{};
  int k = 0;
  for (u64 p = 3; p < 256; p += 2) {
    bool premier = true;
    for (u64 q = 3; q * q <= p; q += 2)
      if (p % q == 0) premier = false;
    if (premier) t[k++] = {p, inverse_mod_2_64(p), ~u64{0} / p};
  }
  return t;
}

constexpr std::array<Diviseur, kNbEssais> kEssais = faire_essais();
static_assert(kEssais[kNbEssais - 1].p == 251);

// ---- Montgomery arithmetic modulo an odd n, on 32-bit words below 2^32, 64-bit ones above ---

template <class W>
struct Double;
template <>
struct Double<std::uint32_t> {
  using type = u64;
};
template <>
struct Double<u64> {
  using type = u128;
};

// Residues are kept as r·2^w mod n, in [0, n), w the word width. redc(T) = T·2^-w mod n for
// T < n·2^w: with m = lo(T)·n⁻¹ the low words of T and m·n agree, so the result is
// hi(T) - hi(m·n), plus n if negative.
template <class W>
struct Montgomery {
  using DW = typename Double<W>::type;
  static constexpr int kBits = 8 * sizeof(W);
  W n, ninv, r1, r2;  // modulus, n⁻¹ mod 2^w, 2^w mod n, 2^2w mod n

  explicit Montgomery(W n_) : n(n_), ninv(static_cast<W>(inverse_mod_2_64(n_))) {
    r1 = static_cast<W>((DW{1} << kBits) % n);
    r2 = static_cast<W>((DW{r1} * r1) % n);
  }
  W redc(DW t) const {
    const W m = static_cast<W>(t) * ninv;
    const W h = static_cast<W>(t >> kBits), mh = static_cast<W>((DW{m} * n) >> kBits);
    return h >= mh ? h - mh : h - mh + n;
  }
  W mul(W a, W b) const { return redc(DW{a} * b); }
  W vers(u64 a) const { return mul(static_cast<W>(a % n), r2); }
  W add(W a, W b) const {  // a, b < n
    const W s = a + b;
    return (s < a || s >= n) ? s - n : s;
  }
  W sub(W a, W b) const { return a >= b ? a - b : a - b + n; }
};

// Strong probable-prime test to base a, n odd > 2.
template <class W>
bool temoin_passe(const Montgomery<W>& m, u64 a, W d, int s) {
  const W un = m.r1, moins_un = m.n - m.r1;
  W base = m.vers(a);
  if (base == 0) return true;  // a multiple of n says nothing
  W x = un;
  for (W e = d; e != 0; e >>= 1) {  // x = a^d
    if (e & 1) x = m.mul(x, base);
    base = m.mul(base, base);
  }
  if (x == un || x == moins_un) return true;
  for (int k = 1; k < s; ++k) {
    x = m.mul(x, x);
    if (x == moins_un) return true;
    if (x == un) return false;
  }
  return false;
}

// Deterministic Miller-Rabin for odd n > 2: the bases 2, 7, 61 leave no strong pseudoprime below
// 2^32 (Jaeschke), the first twelve primes none below 2^64.
bool est_premier_impair(u64 n) {
  const int s = __builtin_ctzll(n - 1);
  if (n < (u64{1} << 32)) {
    const Montgomery<std::uint32_t> m(static_cast<std::uint32_t>(n));
    const auto d = static_cast<std::uint32_t>((n - 1) >> s);
    for (u64 a : {2, 7, 61})
      if (!temoin_passe(m, a, d, s)) return false;
    return true;
  }
  const Montgomery<u64> m(n);
  const u64 d = (n - 1) >> s;
  for (u64 a : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37})
    if (!temoin_passe(m, a, d, s)) return false;
  return true;
}

// A non-trivial factor of an odd composite n (not a prime power of a prime below 256, n > 2^24)
// by Brent's variant of Pollard's rho, f(y) = y² + c, gcds taken on products of 64 differences.
template <class W>
u64 rho(W n) {
  const Montgomery<W> m(n);
  constexpr W kLot = 64;
  for (u64 c0 = 1;; ++c0) {
    const W c = m.vers(c0);
    W y = m.vers(2), x = y, ys = y, q = m.r1;
    u64 g = 1;
    for (W r = 1; g == 1; r <<= 1) {
      x = y;
      for (W k = 0; k < r; ++k) y = m.add(m.mul(y, y), c);
      for (W k = 0; k < r && g == 1; k += kLot) {
        ys = y;
        const W lot = std::min<W>(kLot, r - k);
        for (W j = 0; j < lot; ++j) {
          y = m.add(m.mul(y, y), c);
          q = m.mul(q, m.sub(x, y));
        }
        g = pgcd_binaire<u64>(q, n);
      }
    }
    if (g == n) {  // the batch overshot: step again one difference at a time from its start
      do {
        ys = m.add(m.mul(ys, ys), c);
        g = pgcd_binaire<u64>(m.sub(x, ys), n);
      } while (g == 1);
    }
    if (g != n) return g;  // otherwise the cycle closed on itself: try another constant
  }
}

// Appends the prime factors of v (odd, > 1, no prime factor below 256), unordered, with repetition
// counted in the exponents of equal entries.
void eclater(u64 v, std::vector<Facteur>& out) {
  if (v < kTable) {
    factoriser_table(static_cast<std::uint32_t>(v), out);
    return;
  }
  if (est_premier_impair(v)) {
    out.emplace_back(v, 1);
    return;
  }
  const u64 d = v < (u64{1} << 32) ? rho(static_cast<std::uint32_t>(v)) : rho(v);
  eclater(d, out);
  eclater(v / d, out);
}

}  // namespace

void factoriser(std::uint64_t v, std::vector<Facteur>& out) {
  out.clear();
  if (v <= 1) return;
  if (const int e2 = __builtin_ctzll(v); e2 > 0) {
    out.emplace_back(2, e2);
    v >>= e2;
  }
  if (v < kTable) {
    factoriser_table(static_cast<std::uint32_t>(v), out);
    return;
  }
  // Trial division until the cofactor falls within the table. Once p² > v, v is prime.
  for (const Diviseur& d : kEssais) {
    if (d.p * d.p > v) {
      out.emplace_back(v, 1);
      return;
    }
    u64 q = v * d.inv;
    if (q > d.lim) continue;
    int e = 0;
    do {
      v = q;
      ++e;
      q = v * d.inv;
    } while (q <= d.lim);
    out.emplace_back(d.p, e);
    if (v < kTable) {
      factoriser_table(static_cast<std::uint32_t>(v), out);
      return;
    }
  }
  // v > 2^24 with every prime factor above 256: at most 7 of them. Split, then sort and merge.
  const std::size_t debut = out.size();
  eclater(v, out);
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(debut), out.end());
  std::size_t w = debut;
  for (std::size_t k = debut; k < out.size(); ++k) {
    if (w > debut && out[w - 1].first == out[k].first)
      out[w - 1].second += out[k].second;
    else
      out[w++] = out[k];
  }
  out.resize(w);
}

}  // namespace unitfrac
