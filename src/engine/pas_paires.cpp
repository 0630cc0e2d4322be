// The two-unknown step (pas_paires.hpp): the settings, the loop's heads, and the pairs of the
// current head.
#include "engine/pas_paires.hpp"

#include <algorithm>

namespace unitfrac {

PasPaires::PasPaires(const Reglages& reg) { regler(reg); }

PasPaires::PasPaires(const PasPaires& o)
    : methode(o.methode), seuil_filtre(o.seuil_filtre), budget_filtre(o.budget_filtre), n_(o.n_), type_(o.type_),
      parite_(o.parite_), z_(o.z_), P_(o.P_), Q_(o.Q_), M_(o.M_), fq_(o.fq_), fval_(o.fval_.size(), 0), fx_(o.fx_.size()), px_(o.px_.size(), 0) {
  pb_.z = o.pb_.z;
  pb_.strict = o.pb_.strict;
  pb_.parite = o.pb_.parite;
  pb_.M = o.pb_.M;
}

PasPaires& PasPaires::operator=(const PasPaires& o) {
  if (this != &o) *this = PasPaires(o);
  return *this;
}

void PasPaires::regler(const Reglages& reg) {
  n_ = reg.n;
  type_ = reg.type;
  parite_ = reg.parite;
  z_ = reg.z;
  P_ = reg.P;
  Q_ = reg.Q;
  M_ = reg.M;
  fq_.clear();
  factoriser(static_cast<std::uint64_t>(reg.Q), fq_);
  fval_.assign(static_cast<std::size_t>(reg.n) + 1, 0);
  fx_.assign(static_cast<std::size_t>(reg.n) + 1, {});
  px_.assign(static_cast<std::size_t>(reg.n) + 1, 0);
  kprefixe_ = -1;
  boucle_ = false;
  filtre_.vider();
  essai_haut_ = 0;
  t128_boucle_ = false;
  pb_.z = reg.z;
  pb_.strict = reg.type == 2;
  pb_.parite = reg.parite;
  pb_.M = reg.M;
}

bool PasPaires::resoudre(bool lister) {
  travail_.methode = methode_tete_;
  grande_ = !chercher_paires(pb_, lister, paires_, travail_);
  listees_ = lister;
  return !grande_;
}

void PasPaires::lister() {
  if (grande_ || listees_) return;
  travail_.methode = methode_tete_;
  chercher_paires(pb_, true, paires_, travail_);
  listees_ = true;
}

// Every value of a solution is at most its xn, and the largest xn is that of the last pair: the
// type that holds it holds the whole head.
void PasPaires::choisir_largeur() {
  int rang = rang_prefixe_;
  if (nombre() > 0) {
    if (grande_) {
      const mpz_class& y = grandes_.back().second;
      rang = std::max(rang, mpz_fits_slong_p(y.get_mpz_t()) ? 0 : mpz_sizeinbase(y.get_mpz_t(), 2) <= 127 ? 1 : 2);
    } else {
      i128 y = 0;
      if (!y_de(pb_, paires_.u_bas, y)) rang = 2;
      else if (y > INT64_MAX) rang = std::max(rang, 1);
    }
  }
  rang_ = rang;
}

bool PasPaires::hors_borne_apres(const mpz_class& t) const {
  mpz_class a, b;
  if (grande_) {
    a = gp_.a;
    b = gp_.b;
  } else {
    a = vers_mpz(pb_.a);
    b = vers_mpz(pb_.b);
  }
  const mpz_class at = a * t;
  return at > b && b * t > vers_mpz(M_) * (at - b);
}

// The head's remainder a/b in lowest terms, and b's primes in pb_.fb, on words W wide enough for
// B·c (see tete).
template <class W>
void PasPaires::reste_tete(W A, W B, std::uint64_t c, W& a, W& b) {
  const W num = A * c - B;
  W g = 1;
  std::vector<Facteur>& fb = pb_.fb;
  fb.clear();
  std::size_t i = 0, j = 0;
  while (i < fB_.size() || j < fc_.size()) {
    if (j == fc_.size() || (i < fB_.size() && fB_[i].first < fc_[j].first)) {
      fb.push_back(fB_[i++]);
      continue;
    }
    if (i == fB_.size() || fc_[j].first < fB_[i].first) {
      fb.push_back(fc_[j++]);
      continue;
    }
    const std::uint64_t p = fB_[i].first;
    const int eB = fB_[i++].second, ec = fc_[j++].second;
    int eg = std::min(eB, ec);
    if (eB == ec) {  // A·c and B both have p^e exactly: their difference may have more
      W q = num;
      for (int e = 0; e < ec; ++e) q /= p;
      while (eg < 2 * ec && q % p == 0) {
        q /= p;
        ++eg;
      }
    }
    for (int e = 0; e < eg; ++e) g *= p;
    if (eB + ec > eg) fb.emplace_back(p, eB + ec - eg);
  }
  a = num;
  b = B * c;
  if (g > 1) {
    a /= g;
    b /= g;
  }
}

// performance-critical: once per head of a count; run bench/paires_bench.cpp before and after a
// change.
//
// The head's remainder: A/B - 1/c = (A·c - B)/(B·c). A prime p of g = gcd(A·c - B, B·c) divides
// B·c, and if it divides c it divides B (p | A·c - B), and if it divides B it divides c (p does
// not divide A): so p divides both, and v_p(A·c - B) = min(v_p(c), v_p(B)) unless they are equal.
const PasPaires::Bornes& PasPaires::tete(std::uint64_t c, bool lister) {
  Bornes& t = bornes_;
  t = Bornes{};
  grande_ = false;
  tete_ = static_cast<i128>(c);
  rang_prefixe_ = c > static_cast<std::uint64_t>(INT64_MAX) ? 1 : 0;

  // When the loop passes over the heads without pairs, those it visits are few and far apart:
  // factored one by one, as sieving a segment for each would cost more.
  crible_.factoriser(c, filtre_.contient(c) ? c + 1 : bas_, fc_);
  u128 a = 0, b = 0;
  u128 bc, ac;
  const bool court = !__builtin_mul_overflow(B_, u128{c}, &bc) && bc < (u128{1} << 63) &&
                     !__builtin_mul_overflow(A_, u128{c}, &ac) && (ac >> 64) == 0;
  if (court) {  // b < 2^63: 64-bit divisions
    std::uint64_t a64 = 0, b64 = 0;
    reste_tete(static_cast<std::uint64_t>(A_), static_cast<std::uint64_t>(B_), c, a64, b64);
    a = a64;
    b = b64;
  } else {
    reste_tete(A_, B_, c, a, b);
  }
  if ((a >> 64) != 0) return t;  // repli: the residues need a below 2^64

  // The bounds of x(n-1) as the bound computation gives them: minr = floor(b/a) + 1 (of the
  // parity), r = floor(2b/a), at most M (of the parity).
  u128 q, rq;
  if (court) {
    q = static_cast<std::uint64_t>(b) / static_cast<std::uint64_t>(a);
    rq = static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(q) * static_cast<std::uint64_t>(a);
  } else {
    q = b / a;
    rq = b - q * a;
  }
  const u128 r2 = 2 * q + (2 * rq >= a ? 1 : 0);
  auto lo = static_cast<i128>(q), r1 = static_cast<i128>(r2);
  t.hors_borne = M_ != 0 && static_cast<u128>(M_) * a < 2 * b;
  if (parite_ == 0) lo += 1;
  if (M_ != 0 && r1 > M_) r1 = M_;
  if (parite_ == 1) {
    lo += (lo & 1) == 0 ? 1 : 2;
    if ((r1 & 1) == 0) r1 -= 1;
  } else if (parite_ == 2) {
    lo += (lo & 1) != 0 ? 1 : 2;
    if ((r1 & 1) != 0 && r1 != 1) r1 -= 1;
  }
  t.minr = lo;
  t.r = r1;
  if (t.hors_borne) {
    t.statut = Statut::hors_borne;
    return t;
  }
  const auto ci = static_cast<i128>(c);
  if (type_ == 2 ? r1 <= ci : r1 < ci) {
    t.statut = Statut::sans;
    return t;
  }
  if (r1 < lo) return t;  // repli: the step-by-step search places x(n-1) below its bound
  i128 lo_x = type_ == 2 ? ci + 1 : ci;
  if (lo_x < lo) lo_x = lo;
  t.c_bas = z_ == 1 ? lo_x : z_ == 2 ? r1 - ((r1 - lo_x) & ~i128{1}) : r1 - z_ * ((r1 - lo_x) / z_);
  pb_.a = static_cast<i128>(a);
  pb_.b = static_cast<i128>(b);
  pb_.lo = t.c_bas;
  pb_.hi = r1;
  methode_tete_ = methode;
  if (!resoudre(lister)) return t;
  choisir_largeur();
  t.statut = Statut::paires;
  return t;
}

}  // namespace unitfrac
