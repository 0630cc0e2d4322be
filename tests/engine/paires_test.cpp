// The two-unknown step and the factorisation behind it: factoriser against trial division,
// resoudre_paires against trying every candidate x with exact arithmetic, on random remainders, and
// resoudre_grandes_paires the same way in exact rationals past 2^64.
// (The whole search with the pair step is compared with the step-by-step search elsewhere.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "engine/crible.hpp"
#include "engine/grandes_paires.hpp"
#include "engine/paires.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;
using ListePaires = std::vector<std::pair<i128, i128>>;

// ---- factoriser ---------------------------------------------------------------------------------

// Trial division by 2 and the odd numbers; only for values whose second-largest prime factor is
// small, or below about 2^40.
std::vector<Facteur> par_essais(u64 v) {
  std::vector<Facteur> f;
  for (u64 p = 2; p <= v / p; p += (p == 2 ? 1 : 2)) {
    int e = 0;
    while (v % p == 0) {
      v /= p;
      ++e;
    }
    if (e > 0) f.emplace_back(p, e);
  }
  if (v > 1) f.emplace_back(v, 1);
  return f;
}

// v is prime: trial division leaves it whole.
bool premier_par_essais(u64 v) { return par_essais(v) == std::vector<Facteur>{{v, 1}}; }

// The factorisation of v multiplies back to v from increasing primes with positive exponents: each
// factor factors as itself, and those below 2^32 pass trial division.
void verifier_premiers(u64 v) {
  std::vector<Facteur> f, sous;
  factoriser(v, f);
  u128 produit = 1;
  u64 avant = 0;
  for (const auto& [p, e] : f) {
    ASSERT_GT(p, avant) << v;
    ASSERT_GT(e, 0) << v;
    avant = p;
    for (int k = 0; k < e; ++k) produit *= p;
    factoriser(p, sous);
    ASSERT_EQ(sous, (std::vector<Facteur>{{p, 1}})) << v;
    if (p < (u64{1} << 32)) {
      ASSERT_TRUE(premier_par_essais(p)) << p;
    }
  }
  ASSERT_EQ(produit, u128{v}) << v;
}

// From 1 (no factor) up to 200000 and around the end of the table of smallest factors against trial
// division; the segmented sieve, downwards as the search asks, against factoriser, also on segments
// whose top is at or just above the square of a prime (the largest prime it sieves with).
TEST(Facteurs, SmallValuesMatchTrialDivisionAndTheSieveMatchesFactoriser) {
  std::vector<Facteur> f, g;
  const u64 p = 65537, q = 1000003;
  for (const auto& [de, a] : {std::pair{u64{1}, u64{200000}}, {(u64{1} << 24) - 5000, (u64{1} << 24) + 5000},
                              {p * p - 3000, p * p + 2 * p}, {q * q - 3000, q * q + 1}}) {
    Crible crible;
    for (u64 v = a; v-- > de;) {
      factoriser(v, f);
      ASSERT_EQ(f, v < (u64{1} << 25) ? par_essais(v) : f) << v;
      crible.factoriser(v, de, g);
      ASSERT_EQ(g, f) << v;
    }
  }
}

TEST(Facteurs, LargePrimesSquaresAndProductsOfTwoLargePrimes) {
  // Values whose factorisation is known by construction.
  std::vector<std::pair<u64, std::vector<Facteur>>> cas;
  // The largest primes below 2^64 and 2^63, found by trial division.
  for (u64 p : {18446744073709551557ULL, 18446744073709551533ULL, 9223372036854775783ULL})
    cas.push_back({p, {{p, 1}}});
  std::vector<u64> moyens;  // primes just below 2^32, and just above 2^31: their products
  for (u64 v = (u64{1} << 32) - 1; moyens.size() < 6; v -= 2)
    if (premier_par_essais(v)) moyens.push_back(v);
  for (u64 v = (u64{1} << 31) + 1; moyens.size() < 12; v += 2)
    if (premier_par_essais(v)) moyens.push_back(v);
  for (std::size_t i = 0; i < moyens.size(); ++i)
    for (std::size_t j = i; j < moyens.size(); ++j) {
      const u64 p = std::min(moyens[i], moyens[j]), q = std::max(moyens[i], moyens[j]);
      cas.push_back({p * q, p == q ? std::vector<Facteur>{{p, 2}} : std::vector<Facteur>{{p, 1}, {q, 1}}});
    }
  // Squares and cubes of primes above the trial-division primes, and p·q·r of ~21-bit primes.
  for (u64 p : {1048573, 1048571, 2097143, 2097133}) {
    cas.push_back({p * p, {{p, 2}}});
    cas.push_back({p * p * p, {{p, 3}}});
  }
  cas.push_back({1048571ULL * 1048573ULL * 2097133ULL, {{1048571, 1}, {1048573, 1}, {2097133, 1}}});
  cas.push_back({2ULL * 3 * 257 * 257 * 1048573ULL * 2097143ULL,
                 {{2, 1}, {3, 1}, {257, 2}, {1048573, 1}, {2097143, 1}}});
  // Strong pseudoprimes to several small bases, and Carmichael numbers: by trial division below
  // 2^40, the two others from primes that multiply back.
  for (u64 v : {2047ULL, 3215031751ULL, 561ULL, 41041ULL, 825265ULL, 321197185ULL, 4759123141ULL})
    cas.push_back({v, par_essais(v)});
  for (u64 v : {3825123056546413051ULL, 1122004669633ULL}) verifier_premiers(v);
  std::vector<Facteur> f;
  for (const auto& [v, attendu] : cas) {
    factoriser(v, f);
    EXPECT_EQ(f, attendu) << v;
  }
}

TEST(Facteurs, RandomSixtyFourBitValuesMultiplyBackFromPrimes) {
  std::mt19937_64 g(2024);
  for (int k = 0; k < 2000; ++k) {
    u64 v = g();
    if (k % 2 == 0) {  // a product of random primes of 10 to 26 bits, with a random cofactor
      v = 1 + g() % 1000;
      while (true) {
        u64 p = 1024 + g() % (u64{1} << (10 + g() % 16));
        while (!premier_par_essais(p)) ++p;
        if (v > ~u64{0} / p) break;
        v *= p;
      }
    }
    if (v != 0) verifier_premiers(v);
  }
}

// ---- resoudre_paires against every candidate ----------------------------------------------------

// Every candidate x = hi, hi - z, ... >= max(lo, 1): y = bx/(ax - b) when that is a positive
// integer. In the problem's integers: 128 bits (b·x below 2^127) or GMP.
template <class Probleme, class Int = decltype(Probleme::a)>
std::vector<std::pair<Int, Int>> par_candidats(const Probleme& pb) {
  std::vector<std::pair<Int, Int>> r;
  for (Int x = pb.hi; x >= pb.lo && x >= 1; x -= pb.z) {
    const Int d = pb.a * x - pb.b;
    if (d <= 0) break;  // 1/x >= a/b: no y, nor for any smaller x
    const Int n = pb.b * x;
    if (n % d != 0) continue;
    const Int y = n / d;
    if (y < x || (pb.strict && y == x)) continue;
    if ((pb.parite == 1 && y % 2 == 0) || (pb.parite == 2 && y % 2 != 0)) continue;
    if (pb.M != 0 && y > pb.M) continue;
    r.emplace_back(x, y);
  }
  return r;
}

std::string texte(const ProblemePaire& pb) {
  return en_decimal(pb.a) + "/" + en_decimal(pb.b) + " x in [" + en_decimal(pb.lo) + ", " +
         en_decimal(pb.hi) + "] z=" + std::to_string(pb.z) +
         " strict=" + std::to_string(pb.strict) + " parite=" + std::to_string(pb.parite) +
         " M=" + en_decimal(pb.M);
}

// A random b built from primes of a few sizes, with many divisors, below 2^bits.
u64 b_aleatoire(std::mt19937_64& g, int bits) {
  static const u64 petits[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47};
  const u64 borne = u64{1} << bits;
  u64 b = 1;
  for (int essais = 0; essais < 40; ++essais) {
    u64 p = petits[g() % 15];
    if (g() % 4 == 0) {  // a medium prime
      p = 50 + g() % 5000;
      while (!premier_par_essais(p)) ++p;
    }
    if (b > (borne - 1) / p) break;
    b *= p;
  }
  return b;
}

// Every way of resoudre_paires and its own choice give the list of par_candidats, appended; trying
// each candidate also without b's factorisation, which it does not need.
void verifier(const ProblemePaire& pb, TravailPaires& t, long long* trouvees = nullptr) {
  ListePaires attendu = par_candidats(pb);
  if (trouvees != nullptr) *trouvees += static_cast<long long>(attendu.size());
  attendu.insert(attendu.begin(), {-7, -7});
  const MethodePaires methodes[] = {MethodePaires::automatique, MethodePaires::diviseurs,  MethodePaires::milieu,
                                    MethodePaires::sommes,      MethodePaires::cofacteurs, MethodePaires::candidats,
                                    MethodePaires::candidats};
  for (int v = 0; v < 7; ++v) {
    ProblemePaire q = pb;
    if (v == 6) q.fb.clear();
    t.methode = methodes[v];
    ListePaires obtenu = {{-7, -7}};  // appended to, never cleared
    ASSERT_TRUE(resoudre_paires(q, obtenu, t)) << texte(pb);
    ASSERT_EQ(obtenu, attendu) << texte(pb) << " methode " << static_cast<int>(t.methode) << " factored " << (v < 6);
  }
}

// The options every random problem draws alike: the step z, strict order, the parity of y.
template <class Probleme>
void tirer_options(std::mt19937_64& g, Probleme& pb) {
  pb.z = 1 + static_cast<int>(g() % 2);
  pb.strict = g() % 2 == 0;
  pb.parite = static_cast<int>(g() % 3);
}

TEST(Paires, MatchEveryCandidateOnRandomRemainders) {
  // Two kinds of random b with many divisors. Up to 2^40: a small (many solutions, long windows
  // cut below), below b/5000, or up to 2b; x in a random sub-window of at most 2000 values of the
  // natural (b/a, 2b/a], at times from below 1 or up beyond 2b/a. Below 2^63: a near b/3000, x over
  // the whole natural window.
  struct Tirage { unsigned graine; int fois; bool grands; long long min_trouvees; };
  for (const Tirage& tir : {Tirage{777, 5000, false, 1501}, Tirage{99, 400, true, 0}}) {
    SCOPED_TRACE(testing::Message() << "seed " << tir.graine);
    std::mt19937_64 g(tir.graine);
    TravailPaires t;
    long long trouvees = 0;
    for (int k = 0; k < tir.fois; ++k) {
      ProblemePaire pb;
      const u64 b = b_aleatoire(g, tir.grands ? 63 : 8 + static_cast<int>(g() % 33));
      factoriser(b, pb.fb);
      u64 a;
      if (tir.grands) {
        a = std::max<u64>(1, b / (1 + g() % 3000) + g() % 100);
      } else {
        const u64 amax = k % 3 == 0 ? 50 : k % 3 == 1 ? std::max<u64>(1, b / (1 + g() % 5000)) : 2 * b;
        a = 1 + g() % amax;
      }
      while (std::gcd(a, b) != 1) ++a;
      pb.a = a;
      pb.b = b;
      const i128 bas = i128{b / a} + 1, haut = i128{2 * b / a};
      pb.lo = bas;
      pb.hi = haut;
      if (!tir.grands) {
        const i128 largeur = haut - bas + 1;
        const i128 w = std::min<i128>(largeur + 4, 2000);
        pb.lo = bas - 2;  // where most solutions lie: small u = a·x - b
        if (g() % 2 == 0)
          pb.lo += static_cast<i128>(g() % static_cast<u64>(std::max<i128>(1, largeur - w + 4)));
        pb.hi = pb.lo + static_cast<i128>(g() % static_cast<u64>(w));
        if (g() % 8 == 0 && pb.hi - bas < 2000) pb.lo = -static_cast<i128>(g() % 5);  // below 1
        if (g() % 8 == 0) pb.hi += 1000000;  // bounds beyond 2b/a
      }
      tirer_options(g, pb);
      if (tir.grands) {
        if (g() % 2 == 0) pb.M = static_cast<i128>(b) * static_cast<i128>(b) / (1 + g() % 1000000);
      } else if (g() % 3 == 0) {
        pb.M = static_cast<i128>(b) * (1 + g() % 4) / (1 + g() % 8) + 1;
      }
      verifier(pb, t, &trouvees);
    }
    EXPECT_GE(trouvees, tir.min_trouvees);  // the cases are not mostly empty
  }
}

// A GMP integer that fits 128 bits, in 128 bits.
i128 en_128(const mpz_class& v) {
  i128 r = 0;
  EXPECT_TRUE(en_i128(v, r)) << v;
  return r;
}

TEST(Paires, PastTwoToTheSixtyThreeEveryWayListsAndCountsTheCandidatesPairs) {
  // b past 2^64, s·p·..., s with many divisors, checked in exact rationals against every candidate.
  // Two kinds. b = s·p, s below 2^32 and p a prime of 40 to 60 bits; a small with x near its lowest
  // value (small u = a·x - b, where most pairs lie), or a near b/3000 with every x. And b up to
  // 2^126, s below 2^30 times primes of 20 to 40 bits; a small (many pairs near the lowest x), of 33
  // to 49 bits or 51 to 63 bits (the three arithmetics modulo a), or past 2^64 (left to GMP); at
  // most 1500 candidates. The GMP step from b's factorisation, from its divisors, and unfactored;
  // for a below 2^64 (and y bounded below 2^126) every way of chercher_paires, listing and counting.
  struct Tirage { unsigned graine; int fois; bool plusieurs; long long min_trouvees, min_grands; };
  const mpz_class borne_M = vers_mpz(i128{1} << 126);
  for (const Tirage& tir : {Tirage{4242, 300, false, 301, 0}, Tirage{31337, 600, true, 201, 51}}) {
    SCOPED_TRACE(testing::Message() << "seed " << tir.graine);
    std::mt19937_64 g(tir.graine);
    TravailPaires t;
    long long trouvees = 0, grands = 0;
    for (int k = 0; k < tir.fois; ++k) {
      const u64 s = b_aleatoire(g, tir.plusieurs ? 30 : 32);
      mpz_class b = vers_mpz(static_cast<long long>(s));
      std::vector<Facteur> fb;
      factoriser(s, fb);
      const auto multiplier = [&] {  // by a prime of 20 to 40 bits, or 40 to 60
        mpz_class p =
            vers_mpz(static_cast<long long>((u64{1} << ((tir.plusieurs ? 20 : 40) + g() % 20)) + g() % 1000000));
        mpz_nextprime(p.get_mpz_t(), p.get_mpz_t());
        b *= p;
        fb.emplace_back(mpz_get_ui(p.get_mpz_t()), 1);
      };
      if (!tir.plusieurs) multiplier();
      while (tir.plusieurs && mpz_sizeinbase(b.get_mpz_t(), 2) < 64 + g() % 62) multiplier();
      if (mpz_sizeinbase(b.get_mpz_t(), 2) > 126) continue;
      std::sort(fb.begin(), fb.end());
      GrandProbleme gp;
      gp.b = b;
      for (const auto& [p, e] : fb)  // equal primes merged
        if (!gp.fb.empty() && gp.fb.back().first == p) gp.fb.back().second += e; else gp.fb.emplace_back(p, e);
      if (tir.plusieurs) {
        const int bits[] = {5, 33 + static_cast<int>(g() % 17), 51 + static_cast<int>(g() % 13)};
        gp.a = k % 4 == 3 ? vers_mpz(i128{1} << 64) + static_cast<unsigned long>(g() % 1000)
                          : vers_mpz(static_cast<long long>(1 + g() % (u64{1} << (bits[k % 4] - 1))));
      } else {
        gp.a = k % 2 == 0 ? mpz_class(1 + g() % 50) : mpz_class(b / (1 + g() % 3000) + g() % 100);
      }
      while (gcd(gp.a, b) != 1) gp.a += 1;
      gp.lo = b / gp.a - 2;
      if (tir.plusieurs) {
        gp.hi = gp.lo + mpz_class(static_cast<unsigned long>(g() % 1500));
        if (k % 5 == 1) gp.lo = gp.hi - 40;  // a window that starts far from the densest pairs
      } else {
        gp.hi = k % 2 == 0 ? mpz_class(gp.lo + 2000) : mpz_class(2 * b / gp.a + 5);
      }
      tirer_options(g, gp);
      // A bound y <= M, up to 2^126 for the second kind: a·M can then pass 2^127.
      if (g() % 3 == 0) gp.M = b * b / gp.a / (1 + g() % 1000);
      if (tir.plusieurs && gp.M > borne_M) gp.M = 0;
      const auto attendu = par_candidats(gp);
      trouvees += static_cast<long long>(attendu.size());
      for (const auto& [connue, diviseurs] : {std::pair{true, true}, {true, false}, {false, false}}) {
        gp.fb_connue = connue;
        gp.diviseurs = diviseurs;
        std::vector<std::pair<mpz_class, mpz_class>> obtenu;
        resoudre_grandes_paires(gp, obtenu);
        ASSERT_EQ(obtenu, attendu) << gp.a << "/" << b << " k " << k << " factored " << connue;
      }
      if (gp.M > borne_M) continue;
      const ProblemePaire pb{en_128(gp.a), en_128(b), gp.fb, en_128(gp.lo), en_128(gp.hi),
                             gp.z, gp.strict, gp.parite, en_128(gp.M)};
      SCOPED_TRACE(texte(pb));
      Paires compte;
      if (gp.a >= vers_mpz(i128{1} << 64)) {  // beyond the residues on 64 bits: the GMP step's
        EXPECT_FALSE(chercher_paires(pb, false, compte, t));
        ++grands;
        continue;
      }
      // Listed each way, as (x, y) in GMP integers; the engine's own choice last.
      for (MethodePaires m : {MethodePaires::diviseurs, MethodePaires::milieu, MethodePaires::sommes,
                              MethodePaires::cofacteurs, MethodePaires::candidats, MethodePaires::automatique}) {
        t.methode = m;
        Paires liste;
        ASSERT_TRUE(chercher_paires(pb, true, liste, t));
        std::vector<std::pair<mpz_class, mpz_class>> obtenu;
        for (const u128 u : liste.u) obtenu.emplace_back(vers_mpz(x_de(pb, u)), y_de(pb, u));
        ASSERT_EQ(obtenu, attendu) << "methode " << static_cast<int>(m);
      }
      // Counted only, by the engine's choice: the number, and the first and the last pair by their u.
      ASSERT_TRUE(chercher_paires(pb, false, compte, t));
      ASSERT_EQ(compte.nombre, static_cast<long long>(attendu.size()));
      if (compte.nombre > 0) {
        EXPECT_EQ(vers_mpz(x_de(pb, compte.u_haut)), attendu.front().first);
        EXPECT_EQ(y_de(pb, compte.u_bas), attendu.back().second);
      }
    }
    EXPECT_GE(trouvees, tir.min_trouvees);  // the cases are not mostly empty
    EXPECT_GE(grands, tir.min_grands);
  }
}

TEST(Paires, SmallHandWorkedCasesAndDenominatorsOfTwoToTheSixtyThreeOrMore) {
  // Solved by hand; b of 2^63 or more is left to the caller, with nothing appended.
  struct Cas { i128 a, b; std::vector<Facteur> fb; i128 lo, hi; bool strict, resolu; ListePaires attendu; };
  const std::vector<Cas> cas = {
      {1, 2, {{2, 1}}, 3, 4, false, true, {{4, 4}, {3, 6}}},  // 1/x + 1/y = 1/2
      {1, 2, {{2, 1}}, 3, 4, true, true, {{3, 6}}},           // x < y drops (4, 4)
      {2, 1, {}, 1, 1, false, true, {{1, 1}}},                // 1/x + 1/y = 2
      {3, 1, {}, 1, 1, false, true, {}},                      // 1/x + 1/y = 3: none
      {1, i128{1} << 63, {{2, 63}}, 1, i128{1} << 64, false, false, {}},
  };
  for (std::size_t k = 0; k < cas.size(); ++k) {
    ProblemePaire pb;
    pb.a = cas[k].a, pb.b = cas[k].b, pb.fb = cas[k].fb, pb.lo = cas[k].lo, pb.hi = cas[k].hi;
    pb.strict = cas[k].strict;
    ListePaires out = {{-7, -7}}, attendu = cas[k].attendu;  // appended to
    attendu.insert(attendu.begin(), {-7, -7});
    EXPECT_EQ(resoudre_paires(pb, out), cas[k].resolu) << "row " << k;
    EXPECT_EQ(out, attendu) << "row " << k;
  }
  // y from u where b² passes 128 bits: 1/x + 1/y = 1/2^64, u = 4 gives y = 2^126 + 2^64; u = 1
  // a y past 2^127.
  ProblemePaire p64;
  p64.a = 1, p64.b = i128{1} << 64;
  i128 y = 0;
  EXPECT_TRUE(y_de(p64, 4, y));
  EXPECT_EQ(y, (i128{1} << 126) + (i128{1} << 64));
  EXPECT_FALSE(y_de(p64, 1, y));
  EXPECT_EQ(nombre_diviseurs_carre({{2, 3}, {3, 1}, {5, 2}}), 7u * 3u * 5u);
  EXPECT_EQ(nombre_diviseurs_carre({}), 1u);
  // In GMP integers, a bound M = b/a: every y is above it (1/y < a/b), and a·M - b = 0 must stop the
  // step before it divides by it.
  GrandProbleme g;
  g.a = 1, g.b = mpz_class(3) << 60, g.lo = 1, g.hi = 2 * g.b, g.M = g.b;
  std::vector<std::pair<mpz_class, mpz_class>> aucune;
  resoudre_grandes_paires(g, aucune);
  EXPECT_TRUE(aucune.empty());
}

}  // namespace
}  // namespace unitfrac
