// The search with the last two unknowns solved from the divisors of b², against the step-by-step
// search: the same solutions in the same order, the same stop at a pause, the same state after.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "engine/grandes_paires.hpp"

#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using test::chercher;
using test::Mode;
using test::reglages;

// Takes runs of solutions whole: collects the last of each run (a solution alone is a run of one)
// and counts them all.
struct ParLots : Collecteur {
  long long nombre = 0;
  template <class Int>
  void operator()(const std::vector<Int>& x) { lot(x, x, 1); }
  bool une_a_une(long long) const { return false; }
  template <class Int>
  void lot(const std::vector<Int>&, const std::vector<Int>& derniere, long long k) {
    Collecteur::operator()(derniere);
    nombre += k;
  }
};

// The smallest x1 and the largest xn of a non-empty list.
std::pair<mpz_class, mpz_class> extremes(const test::Liste& l) {
  std::pair e{mpz_class(l[0][0]), mpz_class(l[0].back())};
  for (const auto& sol : l) {
    e.first = std::min(e.first, mpz_class(sol[0]));
    e.second = std::max(e.second, mpz_class(sol.back()));
  }
  return e;
}

// The count, the last solution and the extremes that runs handed over whole give, against the list.
void comparer_par_lots(const ParLots& lots, const test::Liste& liste) {
  ASSERT_EQ(lots.nombre, static_cast<long long>(liste.size()));
  if (liste.empty()) return;
  EXPECT_EQ(lots.solutions.back(), liste.back());
  EXPECT_EQ(extremes(lots.solutions), extremes(liste));
}

TEST(RecherchePaires, GivesTheStepByStepList) {
  // With pairs always used, and with the engine's choice, against the step-by-step search, every
  // option: small P/Q; P/Q a little below 1 or 1/2 with Q near 2^62, whose remainders at depth
  // n - 2 have b past 2^63 and few candidates; start and end sequences; and a search that starts
  // at depth n - 1, n = 2 from x1 at its upper bound and n = 3 from every start sequence (v1, v2)
  // whose v1 is placed (or below when v2 cannot be placed). Runs handed over whole give the count,
  // the last solution and the extremes of the list.
  struct Groupe {
    int n;
    long long P, Q;
    std::vector<long long> bornes;
    std::vector<std::vector<long long>> debuts = {{}}, fins = {{}};
    bool premiere = false;  // x1 placed at its upper bound
  };
  std::vector<Groupe> groupes;
  for (int n = 2; n <= 6; ++n)
    for (long long P = 1; P <= 5; ++P)
      for (long long Q = 1; Q <= 9; ++Q)
        if (std::gcd(P, Q) == 1 && (n < 5 || P == Q)) groupes.push_back({n, P, Q, {0, 42, 1000}});
  const long long G = 4611686018427387905LL;
  for (const long long P : {G - 1, (G - 1) / 2})
    for (int n = 3; n <= 4; ++n) groupes.push_back({n, P, G, {0, 40, 9000000000000000000LL}});
  groupes.push_back({5, 1, 1, {0, 60, 2000}, {{}, {3}, {2, 4}, {2, 3, 9}, {2, 5, 7, 12}, {4, 5}},
                     {{}, {2}, {2, 4}, {2, 3, 12}, {3, 3, 4}, {2, 3, 7, 50}}});
  std::vector<std::vector<long long>> v1v2;
  for (long long v1 = 1; v1 <= 9; ++v1)
    for (long long v2 : {v1, v1 + 1, v1 + 2, 2 * v1, 7 * v1, 100 * v1}) v1v2.push_back({v1, v2});
  for (const auto& [P, Q] : {std::pair{1LL, 1LL}, {1LL, 6LL}, {2LL, 3LL}, {3LL, 2LL}, {5LL, 12LL}, {1LL, 12LL}}) {
    groupes.push_back({2, P, Q, {0, 30, 1000}, {{}}, {{}, {8}, {30}}, true});
    groupes.push_back({3, P, Q, {0, 30, 1000}, v1v2, {{}, {8}, {30, 40}}});
  }
  for (int n = 3; n <= 6; ++n)
    for (const auto& [P, Q] : {std::pair{1LL, 1LL}, {2LL, 3LL}, {5LL, 7LL}})
      if (n < 6 || P == Q) groupes.push_back({n, P, Q, {0, 500}});
  int compares = 0;
  for (const Groupe& e : groupes)
    for (int type = 1; type <= 2; ++type)
      for (int parite = 0; parite <= 2; ++parite)
        for (long long M : e.bornes)
          for (const auto& fin : e.fins) {
            Reglages reg = reglages(type, e.n, e.P, e.Q, parite, M);
            if (!fin.empty()) reg = test::avec_fin(reg, fin);
            for (const auto& debut : e.debuts) {
              SCOPED_TRACE(testing::Message() << "type " << type << " n " << e.n << " " << e.P << "/" << e.Q
                                              << " parite " << parite << " M " << M << " debut "
                                              << testing::PrintToString(debut) << " fin "
                                              << testing::PrintToString(fin));
              const test::Liste attendu = chercher(reg, Mode::pas_a_pas, debut, e.premiere);
              EXPECT_EQ(chercher(reg, Mode::toujours, debut, e.premiere), attendu);
              EXPECT_EQ(chercher(reg, Mode::auto_, debut, e.premiere), attendu);
              comparer_par_lots(test::courir(reg, ParLots{}, Mode::auto_, debut, e.premiere), attendu);
              ++compares;
            }
          }
  EXPECT_GT(compares, 20000);
}

// d(b²) for b the product of `facteurs`, each below 10^12, by trial division: what is left of a
// factor after the primes below 10^6 is 1 or a prime.
long long diviseurs_du_carre(const std::vector<long long>& facteurs) {
  std::map<long long, int> e;
  for (long long f : facteurs) {
    for (long long p = 2; p < 1000000; ++p)
      for (; f % p == 0; f /= p) ++e[p];
    if (f > 1) ++e[f];
  }
  long long d = 1;
  for (const auto& [p, k] : e) d *= 2 * k + 1;
  return d;
}

TEST(RecherchePaires, GivesTheDivisorCountWhereTryingEachValueWouldTakeYears) {
  // From a placed prefix the rest is 1/x + 1/y = 1/b, x = b + u with u | b²: (d(b²) + 1)/2
  // solutions with x <= y, (d(b²) - 1)/2 with x < y. b = 2^63 - 1 from x1 placed, n = 2; b = 2Q
  // from x1 = 2 for P/Q = 1/2 + 1/(2Q); b = Q(Q + 1) past 2^119 from x1 = Q + 1 for P/Q = 1/Q,
  // Q = 10^18, whose last unknowns pass 2^127 (GMP integers).
  const long long Q = 4611686018427387905LL, Q1 = 1000000000000000000LL;
  struct Cas { int n; long long P, Q; std::vector<long long> debut, b; };  // no debut: x1 placed
  for (const Cas& c : {Cas{2, 1, INT64_MAX, {}, {INT64_MAX}}, Cas{3, (Q + 1) / 2, Q, {2}, {2, Q}},
                       Cas{3, 1, Q1, {Q1 + 1}, {Q1, Q1 + 1}}})
    for (int type = 1; type <= 2; ++type)
      EXPECT_EQ(test::courir(reglages(type, c.n, c.P, c.Q), Compteur{}, Mode::auto_, c.debut, c.debut.empty()).K,
                (diviseurs_du_carre(c.b) + 3 - 2 * type) / 2) << "Q " << c.Q << " type " << type;
}

TEST(RecherchePaires, AGcdOfTheRemainderPastTwoToTheSixtyFourIsTakenWhole) {
  // P/Q = 3/t with x1 = x2 = t = 2^33 + 1: rem = 1/t is (t·t²)/(t³·t) before reduction, the gcd
  // t³ past 2^64. The first (d(t²) + 1)/2 solutions are the pairs with 1/x + 1/y = 1/t, each once.
  const long long t = 8589934593LL;
  const long long paires = (diviseurs_du_carre({t}) + 1) / 2;
  const test::Arret a = test::courir(reglages(1, 4, 3, t), test::Arret{{}, static_cast<std::size_t>(paires)},
                                     Mode::auto_, {t, t});
  ASSERT_EQ(static_cast<long long>(a.solutions.size()), paires);
  for (std::size_t k = 0; k < a.solutions.size(); ++k) {
    const auto& sol = a.solutions[k];
    EXPECT_EQ(mpq_class(1, mpz_class(sol[2])) + mpq_class(1, mpz_class(sol[3])), mpq_class(1, vers_mpz(t)))
        << sol[2] << " " << sol[3];
    if (k > 0) {
      EXPECT_LT(mpz_class(sol[2]), mpz_class(a.solutions[k - 1][2]));
    }
  }
}

TEST(RecherchePaires, PastTwoToTheSixtyThreeAStopAfterAnySolutionLeavesTheSameRest) {
  const Reglages reg = reglages(1, 3, 2305843009213693953LL, 4611686018427387905LL);
  const test::Liste attendu = chercher(reg);
  for (std::size_t k : {1, 2, 3, 100, 366}) {
    Moteur m(reg);
    test::Arret a{{}, k};
    m.courir(a);
    a.k = SIZE_MAX;
    m.courir(a);
    EXPECT_EQ(a.solutions, attendu) << "stop after " << k;
  }
}

TEST(RecherchePaires, AStopAfterAnySolutionLeavesTheSameStateAndTheSameRest) {
  struct Cas { int n; long long Q; std::vector<long long> debut; bool premiere; };
  for (const Cas& cas : {Cas{4, 1, {}, false}, Cas{2, 12, {}, true}, Cas{3, 2, {3, 12}, false},
                         Cas{3, 2, {3}, false}})
    for (int type = 1; type <= 2; ++type)
      for (std::size_t k = 1; k <= 14; ++k) {
        SCOPED_TRACE(testing::Message() << "n " << cas.n << " type " << type << " stop after " << k);
        const Reglages reg = reglages(type, cas.n, 1, cas.Q);
        Recherche<long long> a(reg), b(reg);
        a.paires(false);
        b.paires(true, MethodePaires::diviseurs);
        test::Arret sa{{}, k}, sb{{}, k};
        test::placer(a, cas.debut, cas.premiere);
        test::placer(b, cas.debut, cas.premiere);
        const auto avancer = [](Recherche<long long>& r, test::Arret& s) {
          while (r.profondeur() >= 0 && !s.arret()) r.avancer(s);
        };
        avancer(a, sa);
        avancer(b, sb);
        EXPECT_EQ(sa.solutions, sb.solutions);
        EXPECT_TRUE(a.meme_etat(b));
        sa.k = sb.k = SIZE_MAX;  // and on to the end from there
        avancer(a, sa);
        avancer(b, sb);
        EXPECT_EQ(sa.solutions, sb.solutions);
      }
}

// Appends to `l` the solutions of P/Q = 1 that start with `valeurs` and end with two unknowns x <= y
// (x < y when strict, x above the last value then too), y at most M when M is not 0: the pairs of
// the remainder a/b by the GMP step from b's factorisation, b dividing the product of `valeurs`.
void completer(const std::vector<long long>& valeurs, bool strict, long long M, test::Liste& l) {
  mpq_class rem(1);
  std::set<std::uint64_t> premiers;
  std::vector<Facteur> f, fb;
  for (long long v : valeurs) {
    rem -= mpq_class(1, vers_mpz(v));
    factoriser(static_cast<std::uint64_t>(v), f);
    for (const auto& [p, e] : f) premiers.insert(p);
  }
  mpz_class reste = rem.get_den();
  for (const std::uint64_t p : premiers)
    if (const auto k = mpz_remove(reste.get_mpz_t(), reste.get_mpz_t(), mpz_class(p).get_mpz_t()); k > 0)
      fb.emplace_back(p, static_cast<int>(k));
  EXPECT_EQ(reste, 1);
  const GrandProbleme gp{rem.get_num(), rem.get_den(), true, fb, vers_mpz(valeurs.back() + (strict ? 1 : 0)),
                         2 * rem.get_den() / rem.get_num(), 1, strict, 0, vers_mpz(M)};
  std::vector<std::pair<mpz_class, mpz_class>> paires;
  resoudre_grandes_paires(gp, paires);
  for (const auto& [x, y] : paires) {
    l.emplace_back();
    for (long long v : valeurs) l.back().push_back(std::to_string(v));
    l.back().insert(l.back().end(), {x.get_str(), y.get_str()});
  }
}

TEST(RecherchePaires, NineUnknownsHeadsPastTwoToTheSixtyThreeMatchTheGmpStep) {
  // n = 9, P/Q = 1, the prefix 2, 3, 7, 43, 1850, 75935: its heads x7 near 2/rem, 1.27·10^10,
  // leave b of about 2^67. The search over 41 heads (start and end sequences) against each head
  // solved alone by the GMP step, both types, with and without a bound, listed and in runs.
  const std::vector<long long> prefixe = {2, 3, 7, 43, 1850, 75935};
  const long long haut = 12685321425LL, bas = haut - 40;
  long long paires = 0;
  for (int type = 1; type <= 2; ++type)
    for (long long M : {0LL, 100000000000000000LL}) {
      SCOPED_TRACE(testing::Message() << "type " << type << " M " << M);
      test::Liste attendu;
      for (long long c = haut; c >= bas; --c) {
        std::vector<long long> valeurs = prefixe;
        valeurs.push_back(c);
        completer(valeurs, type == 2, M, attendu);
      }
      paires += static_cast<long long>(attendu.size());
      std::vector<long long> debut = prefixe, fin = prefixe;
      debut.push_back(haut);
      fin.push_back(bas);
      const Reglages reg = test::avec_fin(reglages(type, 9, 1, 1, 0, M), fin);
      EXPECT_EQ(chercher(reg, Mode::auto_, debut), attendu);
      comparer_par_lots(test::courir(reg, ParLots{}, Mode::auto_, debut), attendu);
    }
  EXPECT_GT(paires, 2000);
}

TEST(RecherchePaires, ABoundNoLastUnknownMeetsEndsTheSearchWithoutAPair) {
  // The start sequence leaves 1/x4 = 11/(6·2^60) - 1/2^60 - 1/2^61 - 1/(6·2^60), past M: the
  // bound ends the search at once, and no remainder a/b with a·M <= b reaches the pair step.
  Reglages reg = reglages(1, 4, 11, 6917529027641081856LL, 0, 3458764513820540928LL);
  for (Mode mode : {Mode::auto_, Mode::toujours})
    EXPECT_EQ(chercher(reg, mode, {1152921504606846976LL, 2305843009213693952LL, 6917529027641081856LL}),
              test::Liste{});
}

TEST(RecherchePaires, CountsForPOverQEqualToOne) {
  // Known counts, from the step-by-step search (which the list tests above check the pairs
  // against): type 1 and type 2, n = 1 to 7, every search within 64 bits.
  const long long type1[] = {1, 1, 3, 14, 147, 3462, 294314};
  const long long type2[] = {1, 0, 1, 6, 72, 2320, 245765};
  for (int n = 1; n <= 7; ++n)
    for (int type = 1; type <= 2; ++type) {
      int largeur = 0;
      EXPECT_EQ(test::courir(reglages(type, n, 1, 1), Compteur{}, Mode::auto_, {}, false, &largeur).K,
                (type == 1 ? type1 : type2)[n - 1]) << "type " << type << " n " << n;
      EXPECT_EQ(largeur, 64);
    }
  // The first two for n = 7 of type 1: all sevens, then the largest completion of x1 = 6.
  EXPECT_EQ(test::courir(reglages(1, 7, 1, 1), test::Arret{{}, 2}).solutions,
            test::liste({{7, 7, 7, 7, 7, 7, 7}, {6, 6, 6, 8, 8, 8, 8}}));
}

}  // namespace
}  // namespace unitfrac
