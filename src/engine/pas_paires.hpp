// The two-unknown step of the search, apart from reporting: for a head x[1..n-2], the bounds of
// x(n-1) and every pair (x(n-1), xn) that completes it, from the divisors of b² while b < 2^127
// (paires.hpp), in GMP beyond (grandes_paires.hpp). For the loop over x(n-2) it keeps what the
// heads of one prefix x[1..n-3] share (the prefix's remainder A/B in lowest terms, the primes of
// B) and factors the values of x(n-2) with a sieve; under a bound it tells the loop which heads
// cannot have pairs (tetes_possibles.hpp). The search (recherche.hpp) reports the pairs.
#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/crible.hpp"
#include "engine/entier.hpp"
#include "engine/grandes_paires.hpp"
#include "engine/paires.hpp"
#include "engine/tetes_possibles.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

class PasPaires {
 public:
  explicit PasPaires(const Reglages& reg);
  // The caches are scratch: a copy starts without them (a task's copy of a search stays small).
  PasPaires(const PasPaires& o);
  PasPaires& operator=(const PasPaires& o);
  PasPaires(PasPaires&&) = default;
  PasPaires& operator=(PasPaires&&) = default;

  // The settings again (the bound and the end sequence are entered after the placements).
  void regler(const Reglages& reg);

  // How the pairs are found: by the cheapest way, or one way forced (tests, benchmarks).
  MethodePaires methode = MethodePaires::automatique;

  // ---- A head given by its remainder (one step of the search) ----
  // The head x[1..n-2] whose remainder is num/den (not reduced), its candidates x(n-1) from r down
  // to c_bas: its pairs, all listed or only counted.
  template <class Int>
  void tete(const std::vector<Int>& x, const Int& num, const Int& den, const Int& c_bas, const Int& r,
            bool lister);

  // ---- The heads of one prefix (the loop over x(n-2)) ----
  enum class Statut { paires, sans, hors_borne, repli };
  // What the bound computation gives for x(n-1) after a head: hors_borne, no candidate at or above
  // x(n-2) (sans), or pairs to look for among r, r - z, ... down to c_bas; repli when this head is
  // left to the step-by-step search (r below minr, values past what the loop holds).
  struct Bornes {
    Statut statut = Statut::repli;
    bool hors_borne = false;
    i128 minr = 0, r = 0, c_bas = 0;
  };
  // The prefix x[1..n-3] (n >= 3) with partial sum N3/D3, whose heads x(n-2) the loop takes from
  // `haut` down to no lower than `bas`. False when they are out of the loop's reach: an unknown past
  // 2^64, or a head's b past 2^126.
  template <class Int>
  bool prefixe(const std::vector<Int>& x, const Int& N3, const Int& D3, std::uint64_t haut, std::uint64_t bas);
  // Head x(n-2) = c of that prefix: its bounds, and for Statut::paires its pairs, listed or counted.
  const Bornes& tete(std::uint64_t c, bool lister);
  // Under a bound M, a loop of at least `seuil_filtre` heads skips those that cannot have pairs
  // (tetes_possibles.hpp), sorted at a cost of at most `budget_filtre` divisors (0: half the
  // heads, from 4096 to 2^27). With a filter, the next head after c not below `limite` that the
  // loop must visit.
  static constexpr std::uint64_t kSeuilFiltre = std::uint64_t{1} << 12;
  std::uint64_t seuil_filtre = kSeuilFiltre, budget_filtre = 0;
  bool filtre_actif() const { return filtre_.actif(); }
  std::uint64_t tete_suivante(std::uint64_t c, std::uint64_t limite) const { return filtre_.suivante(c, limite); }

  // ---- The pairs of the current head, in decreasing order of x(n-1) ----
  long long nombre() const { return grande_ ? static_cast<long long>(grandes_.size()) : paires_.nombre; }
  // Lists them when they were only counted.
  void lister();
  // f(sol), sol the solution x[1..n] (x[0] = 0) of pair k, in the narrowest integer type that holds
  // every value of the head's solutions.
  template <class F>
  void solution(std::size_t k, F&& f);
  // That type: 0 long long, 1 __int128, 2 mpz_class.
  int rang() const { return rang_; }
  // f(first, last): the solutions of the first and the last pair, in that type.
  template <class F>
  void extremes(F&& f);
  // Whether x(n-1) = t leaves a remainder that no xn <= M completes (t above b/a): the cut-off of
  // the end sequence at depth n - 1.
  bool hors_borne_apres(const mpz_class& t) const;

  // The factorisation of b = Q·x[1]···x[n-2]/g into fb (g divides Q·x[1]···x[n-2]), from the
  // factorisations kept along the prefix. False when an unknown is past 2^63.
  template <class Int, class G>
  bool factoriser_reste(const std::vector<Int>& x, const G& g, std::vector<Facteur>& fb);

 private:
  template <class Int>
  bool mettre_prefixe(const std::vector<Int>& x, int k);
  template <class Int>
  void garder_tete(const std::vector<Int>& x);
  template <class W>
  void reste_tete(W A, W B, std::uint64_t c, W& a, W& b);
  bool resoudre(bool lister);
  void choisir_largeur();
  template <class S>
  std::vector<S>& vecteur(int j);
  template <class S>
  void completer(std::vector<S>& s, long long& version, const mpz_class* px, const mpz_class* py,
                 i128 x128, i128 y128);

  // Settings.
  int n_ = 1, type_ = 1, parite_ = 0, z_ = 1;
  long long P_ = 1, Q_ = 1, M_ = 0;
  std::vector<Facteur> fq_;  // factorisation of Q

  // Factorisations kept along the prefix: fval_[t] is the value x[t] had when fx_[t] was made;
  // prefixe_ is that of Q·x[1]···x[k] for the values in fval_[1..k] (k = kprefixe_).
  std::vector<std::uint64_t> fval_;
  std::vector<std::vector<Facteur>> fx_;
  std::vector<Facteur> prefixe_, tous_;
  int kprefixe_ = -1;  // -1: prefixe_ is not up to date

  // The loop's prefix: x[1..n-3], its remainder A/B in lowest terms and B's primes.
  bool boucle_ = false;
  std::vector<std::uint64_t> px_;
  u128 A_ = 0, B_ = 0;
  std::vector<Facteur> fB_;
  std::uint64_t bas_ = 0;
  Crible crible_;
  std::vector<Facteur> fc_;
  Bornes bornes_;
  TetesPossibles filtre_;
  std::uint64_t essai_bas_ = 1, essai_haut_ = 0;  // the heads a filter was last tried for

  // The current head.
  bool grande_ = false;
  ProblemePaire pb_;
  Paires paires_;
  bool listees_ = false;
  MethodePaires methode_tete_ = MethodePaires::automatique;  // the way its pairs are found
  TravailPaires travail_;
  GrandProbleme gp_;
  std::vector<std::pair<mpz_class, mpz_class>> grandes_;

  // Its unknowns x[1..n-2] in 128 bits (when they fit) or in GMP, and the solutions made of them:
  // `version_` changes with x[1..n-3], and each vector knows the version its prefix was copied from.
  // In the loop, x[1..n-3] stay in px_ and x(n-2) is tete_ (a deep search copies no prefix twice).
  std::vector<i128> t128_;
  std::vector<mpz_class> tmpz_;
  bool t128_ok_ = true;
  bool t128_boucle_ = false;  // the head is the loop's: px_, then tete_
  i128 tete_ = 0;
  int rang_prefixe_ = 0;  // the narrowest type holding x[1..n-2]: 0 long long, 1 __int128, 2 GMP
  int rang_ = 0;          // the same for the head's solutions
  long long version_ = 0;
  std::vector<long long> s64_[2];
  std::vector<i128> s128_[2];
  std::vector<mpz_class> smpz_[2];
  long long v64_[2] = {-1, -1}, v128_[2] = {-1, -1}, vmpz_[2] = {-1, -1};
};

// ---------------------------------------------------------------------------------------------

namespace pas_paires_detail {

// v in [1, 2^64) as a 64-bit word.
template <class Int>
bool en_mot(const Int& v, std::uint64_t& out) {
  if constexpr (est_mpz<Int>) {
    if (sgn(v) <= 0 || mpz_sizeinbase(v.get_mpz_t(), 2) > 64) return false;
    out = mpz_get_ui(v.get_mpz_t());
    return true;
  } else {
    if (v <= 0 || static_cast<i128>(v) > static_cast<i128>(UINT64_MAX)) return false;
    out = static_cast<std::uint64_t>(v);
    return true;
  }
}

inline mpz_class vers_mpz_u(u128 v) {
  mpz_class r = vers_mpz(static_cast<i128>(v >> 1));
  r *= 2;
  r += static_cast<unsigned long>(v & 1);
  return r;
}

}  // namespace pas_paires_detail

template <class Int>
void PasPaires::tete(const std::vector<Int>& x, const Int& num, const Int& den, const Int& c_bas, const Int& r,
                     bool lister) {
  garder_tete(x);
  // The remainder in lowest terms, and the problem in 128 bits where it fits.
  i128 a128 = 0, b128 = 0, lo = 0, hi = 0, g128 = 1;
  mpz_class a, b, g;
  if constexpr (est_mpz<Int>) {
    mpz_gcd(g.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    mpz_divexact(a.get_mpz_t(), num.get_mpz_t(), g.get_mpz_t());
    mpz_divexact(b.get_mpz_t(), den.get_mpz_t(), g.get_mpz_t());
    grande_ = !(en_i128(a, a128) && en_i128(b, b128));
  } else {
    g128 = pgcd128(static_cast<i128>(num), static_cast<i128>(den));
    a128 = static_cast<i128>(num) / g128;
    b128 = static_cast<i128>(den) / g128;
    grande_ = false;
  }
  grande_ = grande_ || a128 >= (i128{1} << 64) || !convertir(c_bas, lo) || !convertir(r, hi);
  if (!grande_) {
    pb_.a = a128;
    pb_.b = b128;
    pb_.lo = lo;
    pb_.hi = hi;
    pb_.fb.clear();
    // A few candidates are cheaper to try one by one than b's factorisation is to make.
    const i128 candidats = (hi - lo) / z_ + 1;
    MethodePaires m = methode;
    bool facteurs = true;
    if (candidats <= 20 && m == MethodePaires::automatique) m = MethodePaires::candidats;
    if (m != MethodePaires::candidats) {
      if constexpr (est_mpz<Int>) facteurs = factoriser_reste(x, g, pb_.fb);
      else facteurs = factoriser_reste(x, g128, pb_.fb);
    }
    if (!facteurs) m = MethodePaires::candidats;
    methode_tete_ = m;
    if (resoudre(lister)) {
      choisir_largeur();
      return;
    }
  }
  // Past 128 bits: GMP.
  if constexpr (!est_mpz<Int>) {
    a = vers_mpz(a128);
    b = vers_mpz(b128);
    g = vers_mpz(g128);
  }
  gp_.a = a;
  gp_.b = b;
  gp_.fb.clear();
  gp_.fb_connue = factoriser_reste(x, g, gp_.fb);
  convertir(c_bas, gp_.lo);
  convertir(r, gp_.hi);
  gp_.z = z_;
  gp_.strict = type_ == 2;
  gp_.parite = parite_;
  gp_.M = vers_mpz(M_);
  gp_.diviseurs = methode == MethodePaires::diviseurs;
  grandes_.clear();
  resoudre_grandes_paires(gp_, grandes_);
  grande_ = true;
  choisir_largeur();
}

template <class Int>
bool PasPaires::prefixe(const std::vector<Int>& x, const Int& N3, const Int& D3, std::uint64_t haut,
                        std::uint64_t bas) {
  using pas_paires_detail::en_mot;
  const int k = n_ - 3;
  bas_ = bas;
  bool meme = boucle_;
  for (int t = 1; t <= k && meme; ++t) {
    std::uint64_t v;
    meme = en_mot(x[t], v) && v == px_[t];
  }
  if (!meme) {
    boucle_ = false;
    for (int t = 1; t <= k; ++t)
      if (!en_mot(x[t], px_[t]) || px_[t] > static_cast<std::uint64_t>(INT64_MAX)) return false;

    // A/B = P/Q - N3/D3 in lowest terms: in 128 bits when N3 and D3 fit 64, in GMP otherwise.
    mpz_class a, b;
    long long n3 = 0, d3 = 0;
    if (convertir(N3, n3) && convertir(D3, d3)) {
      const i128 num = static_cast<i128>(P_) * d3 - static_cast<i128>(n3) * Q_;
      const i128 den = static_cast<i128>(Q_) * d3;
      const i128 g = pgcd128(num, den);
      a = vers_mpz(num / g);
      b = vers_mpz(den / g);
    } else {
      mpz_class n, d, g;
      convertir(N3, n);
      convertir(D3, d);
      a = vers_mpz(P_) * d - n * vers_mpz(Q_);
      b = vers_mpz(Q_) * d;
      mpz_gcd(g.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
      a /= g;
      b /= g;
    }
    i128 a128 = 0, b128 = 0;
    if (sgn(a) <= 0 || !en_i128(a, a128) || a128 >= (i128{1} << 64) || !en_i128(b, b128)) return false;
    A_ = static_cast<u128>(a128);
    B_ = static_cast<u128>(b128);
    if (!mettre_prefixe(x, k)) return false;
    // B's primes are among those of Q·x[1]···x[k], with the exponents the reduction left.
    fB_.clear();
    u128 reste = B_;
    for (const auto& [p, e] : prefixe_) {
      int f = 0;
      while (reste % p == 0) {
        reste /= p;
        ++f;
      }
      if (f > 0) fB_.emplace_back(p, f);
    }
    if (reste != 1) return false;
    boucle_ = true;
    t128_boucle_ = false;
  }
  // Every head's b = B·c/g (and x(n-1) <= 2b) must fit: B·haut < 2^126.
  u128 borne;
  if (__builtin_mul_overflow(B_, u128{haut}, &borne) || borne >= (u128{1} << 126)) return false;
  // The filter of heads, built once for the heads of a run (not again for a range it was already
  // tried on, nor for a new prefix's, which drops it).
  if (!meme) {
    filtre_.vider();
    essai_haut_ = 0;
  }
  const auto zz = static_cast<std::uint64_t>(z_);
  if (M_ > 0 && haut > bas && (haut - bas) / zz >= seuil_filtre && !filtre_.couvre(bas, haut) &&
      !(bas >= essai_bas_ && haut <= essai_haut_) && (B_ >> 64) == 0) {
    essai_bas_ = bas;
    essai_haut_ = haut;
    const std::uint64_t budget =
        budget_filtre != 0 ? budget_filtre
                           : std::clamp<std::uint64_t>((haut - bas) / zz / 2, 4096, std::uint64_t{1} << 27);
    filtre_.construire(static_cast<std::uint64_t>(A_), static_cast<std::uint64_t>(B_), fB_,
                       static_cast<std::uint64_t>(M_), zz, bas, haut, budget);
  }
  if (!t128_boucle_) {
    t128_ok_ = true;
    t128_boucle_ = true;
    ++version_;
  }
  return true;
}

template <class Int>
bool PasPaires::mettre_prefixe(const std::vector<Int>& x, int k) {
  using pas_paires_detail::en_mot;
  bool meme = kprefixe_ == std::max(k, 0);
  for (int t = 1; t <= k; ++t) {
    std::uint64_t v;
    if (!en_mot(x[t], v) || v > static_cast<std::uint64_t>(INT64_MAX)) return false;
    if (fval_[t] != v) {
      fval_[t] = v;
      factoriser(v, fx_[t]);
      meme = false;
    }
  }
  if (!meme) {
    prefixe_ = fq_;
    for (int t = 1; t <= k; ++t) {
      fusionner(prefixe_, fx_[t], tous_);
      prefixe_.swap(tous_);
    }
    kprefixe_ = std::max(k, 0);
  }
  return true;
}

template <class Int, class G>
bool PasPaires::factoriser_reste(const std::vector<Int>& x, const G& g, std::vector<Facteur>& fb) {
  using pas_paires_detail::en_mot;
  const int k = n_ - 2;
  if (!mettre_prefixe(x, k - 1)) return false;
  if (k >= 1) {
    std::uint64_t v = 0;
    if (!en_mot(x[k], v) || v > static_cast<std::uint64_t>(INT64_MAX)) return false;
    if (fval_[k] != v) {
      fval_[k] = v;
      factoriser(v, fx_[k]);
      kprefixe_ = kprefixe_ == k ? -1 : kprefixe_;
    }
    fusionner(prefixe_, fx_[k], fb);
  } else {
    fb = prefixe_;
  }
  // Less the primes of g: g divides Q·x[1]···x[k], so they are among those of fb.
  if constexpr (est_mpz<G>) {
    mpz_class reste = g;
    if (reste == 1) return true;
    std::size_t j = 0;
    for (const auto& [p, e] : fb) {
      int f = e;
      while (mpz_divisible_ui_p(reste.get_mpz_t(), p) != 0) {
        mpz_divexact_ui(reste.get_mpz_t(), reste.get_mpz_t(), p);
        --f;
      }
      if (f > 0) fb[j++] = {p, f};
    }
    fb.resize(j);
  } else {
    u128 reste = static_cast<u128>(g);
    if (reste == 1) return true;
    std::size_t j = 0;
    for (const auto& [p, e] : fb) {
      int f = e;
      while (reste % p == 0) {
        reste /= p;
        --f;
      }
      if (f > 0) fb[j++] = {p, f};
    }
    fb.resize(j);
  }
  return true;
}

// x[1..n-2] of a head given whole: in 128 bits when they fit, in GMP otherwise.
template <class Int>
void PasPaires::garder_tete(const std::vector<Int>& x) {
  const int k = n_ - 2;
  if (static_cast<int>(t128_.size()) != n_ + 1) t128_.assign(n_ + 1, 0);
  bool change = t128_boucle_;
  t128_boucle_ = false;
  bool ok = true;
  int rang = 0;
  for (int t = 1; t <= k && ok; ++t) {
    i128 v = 0;
    ok = convertir(x[t], v);
    if (!ok) break;
    if (t < k && t128_[t] != v) change = true;
    t128_[t] = v;
    if (v > INT64_MAX) rang = 1;
  }
  if (!ok) {
    rang = 2;
    // Made at the first head past 128 bits only: a deep search would pay a million allocations.
    if (static_cast<int>(tmpz_.size()) != n_ + 1) tmpz_.assign(n_ + 1, mpz_class(0));
    for (int t = 1; t <= k; ++t) {
      mpz_class m;
      convertir(x[t], m);
      if (t < k && (t128_ok_ || tmpz_[t] != m)) change = true;
      tmpz_[t] = m;
    }
  }
  if (ok != t128_ok_) change = true;
  t128_ok_ = ok;
  rang_prefixe_ = rang;
  if (change) ++version_;
}

template <class S>
std::vector<S>& PasPaires::vecteur(int j) {
  if constexpr (std::is_same_v<S, long long>) return s64_[j];
  else if constexpr (std::is_same_v<S, i128>) return s128_[j];
  else return smpz_[j];
}

// s = x[1..n-2] of the head, then the pair (from px, py in GMP when given, else x128, y128).
template <class S>
void PasPaires::completer(std::vector<S>& s, long long& version, const mpz_class* px, const mpz_class* py,
                          i128 x128, i128 y128) {
  const int k = n_ - 2;
  if (static_cast<int>(s.size()) != n_ + 1) {
    s.assign(n_ + 1, S(0));
    version = -1;
  }
  const int jusqua = version == version_ ? k : 1;
  const auto valeur = [&](int t) {
    return !t128_boucle_ ? t128_[t] : t == k ? tete_ : static_cast<i128>(px_[t]);
  };
  for (int t = k; t >= jusqua; --t) {
    if constexpr (est_mpz<S>) {
      if (t128_ok_) s[t] = vers_mpz(valeur(t)); else s[t] = tmpz_[t];
    } else {
      s[t] = static_cast<S>(valeur(t));
    }
  }
  version = version_;
  if constexpr (est_mpz<S>) {
    if (px != nullptr) {
      s[n_ - 1] = *px;
      s[n_] = *py;
    } else {
      s[n_ - 1] = vers_mpz(x128);
      s[n_] = vers_mpz(y128);
    }
  } else {
    if (px != nullptr) {
      i128 a = 0, b = 0;
      en_i128(*px, a);
      en_i128(*py, b);
      s[n_ - 1] = static_cast<S>(a);
      s[n_] = static_cast<S>(b);
    } else {
      s[n_ - 1] = static_cast<S>(x128);
      s[n_] = static_cast<S>(y128);
    }
  }
}

template <class F>
void PasPaires::solution(std::size_t k, F&& f) {
  const auto faire = [&](auto type) {
    using S = decltype(type);
    std::vector<S>& s = vecteur<S>(0);
    long long& v = std::is_same_v<S, long long> ? v64_[0] : std::is_same_v<S, i128> ? v128_[0] : vmpz_[0];
    if (grande_) {
      completer(s, v, &grandes_[k].first, &grandes_[k].second, 0, 0);
    } else if constexpr (est_mpz<S>) {
      const u128 u = paires_.u[k];
      const mpz_class x = (pas_paires_detail::vers_mpz_u(u) + vers_mpz(pb_.b)) / vers_mpz(pb_.a);
      const mpz_class y = y_de(pb_, u);
      completer(s, v, &x, &y, 0, 0);
    } else {
      const u128 u = paires_.u[k];
      i128 y = 0;
      y_de(pb_, u, y);
      completer(s, v, nullptr, nullptr, x_de(pb_, u), y);
    }
    f(static_cast<const std::vector<S>&>(s));
  };
  if (rang_ == 0) faire(0LL);
  else if (rang_ == 1) faire(i128{0});
  else faire(mpz_class(0));
}

template <class F>
void PasPaires::extremes(F&& f) {
  const auto faire = [&](auto type) {
    using S = decltype(type);
    std::vector<S>* s[2] = {&vecteur<S>(0), &vecteur<S>(1)};
    long long* v = std::is_same_v<S, long long> ? v64_ : std::is_same_v<S, i128> ? v128_ : vmpz_;
    // One solution: the first is the last.
    const int jusqua = nombre() == 1 ? 1 : 2;
    if (jusqua == 1) s[1] = s[0];
    for (int j = 0; j < jusqua; ++j) {
      if (grande_) {
        const auto& p = j == 0 ? grandes_.front() : grandes_.back();
        completer(*s[j], v[j], &p.first, &p.second, 0, 0);
        continue;
      }
      const u128 u = j == 0 ? paires_.u_haut : paires_.u_bas;
      if constexpr (est_mpz<S>) {
        const mpz_class x = (pas_paires_detail::vers_mpz_u(u) + vers_mpz(pb_.b)) / vers_mpz(pb_.a);
        const mpz_class y = y_de(pb_, u);
        completer(*s[j], v[j], &x, &y, 0, 0);
      } else {
        i128 y = 0;
        y_de(pb_, u, y);
        completer(*s[j], v[j], nullptr, nullptr, x_de(pb_, u), y);
      }
    }
    f(static_cast<const std::vector<S>&>(*s[0]), static_cast<const std::vector<S>&>(*s[1]));
  };
  if (rang_ == 0) faire(0LL);
  else if (rang_ == 1) faire(i128{0});
  else faire(mpz_class(0));
}

}  // namespace unitfrac
