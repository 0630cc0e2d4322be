// The depth-first search for 1/x1 + ... + 1/xn = P/Q, generic in its integer type: the search
// state, the exact partial sum N/D, the bounds of the next unknown (`maxi`), the forward and
// backtracking steps of both types, the end-sequence test and the placements of the first
// unknowns. Knows nothing of the console: every solution goes to a sink.
//
// Every step that could leave the range of Int does that arithmetic, checked, before it reports
// anything or changes the state; when it would overflow it returns Pas::debordement with the
// state as it found it (apart from bound results that the next step computes again), so that the same step can
// be run again by an engine of a wider type (see moteur.hpp).
#pragma once

#include <algorithm>
#include <cassert>
#include <concepts>
#include <cstdint>
#include <numeric>
#include <type_traits>
#include <vector>

#include "engine/entier.hpp"
#include "engine/pas_paires.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

// Greatest common divisor of two positive integers, by Euclid's remainder algorithm.
long long pgcd(long long P3, long long Q3);

// Even parity with P/Q > n/2: every unknown would be at least 2, so the sum is at most n/2 and no
// all-even solution exists.
bool pairs_impossibles(const Reglages& reg);
// Odd parity with Q even, or n and P of different parities: a sum of n odd unit fractions, over
// the odd common denominator, has a numerator of the parity of n.
bool impairs_impossibles(const Reglages& reg);

// Outcome of a step that may overflow.
enum class Pas { fait, debordement };

// The sink of a search receives each solution as sink(x), x[1..n] (x[0] = 0), and is asked
// sink.arret() after each: true stops the search (the step still backtracks as it would). The
// solutions of the two-unknown step come in the narrowest integer type that holds them, whatever
// the width the search runs on, so a sink takes vectors of long long, __int128 and mpz_class.
// A sink that needs only some of the solutions may also take a run of consecutive solutions at
// once: before such a run of `nombre` solutions the search asks sink.une_a_une(nombre), and when
// it is false hands over the first and the last of the run with sink.lot(premiere, derniere,
// nombre). The solutions of a run share x[1..n-2] and come in decreasing order of x(n-1), so the
// last has the smallest x1 and the largest xn.
template <class Sink>
concept PuitsParLots = requires(Sink& s, const std::vector<long long>& x, const std::vector<i128>& y,
                                const std::vector<mpz_class>& w, long long k) {
  { s.une_a_une(k) } -> std::convertible_to<bool>;
  s.lot(x, x, k);
  s.lot(y, y, k);
  s.lot(w, w, k);
};

template <class Int>
class Recherche {
 public:
  explicit Recherche(const Reglages& reg);

  // Takes the settings again: the bound M and the end sequence are entered after the first
  // unknowns are placed.
  void regler(const Reglages& reg);

  // Takes over the state of an engine of another width, between two steps. False when the
  // unknowns x[1..i], their bounds or N/D do not fit Int (this engine is then not usable); what
  // the next step computes again (bound results, positions past i) is kept only where it fits.
  template <class Autre>
  bool charger(const Recherche<Autre>& o);

  // The invariants of the state between two steps (Debug builds check them after every step): D is
  // the product of x[1..i] and N the sum of D/x[t], so N/D is the sum of their unit fractions;
  // while every unknown is at or above its lower bound, they keep the order of the type and the
  // sum stays below P/Q. Costs O(i) in wide integers.
  bool coherent() const;

  // What the bound computation gives position k + 1 after x[1..k] (its last value xk) with
  // partial sum Nk/Dk: the lowest value minr, the highest r1 and the remainder `reste` of
  // (n - k)/rem (0: the positions k + 1..n all at r1 complete the sum), whether no completion has
  // every unknown within M, and the products it formed. `fin`: the search ends there (the sum has
  // reached P/Q, or the cut-off of the end sequence fires). Touches nothing of the search, so a
  // walk over the tree (engine/travail.hpp) reads the bounds of any prefix.
  struct Bornes {
    Int minr{0}, r1{0}, reste{0}, pd{0}, qn{0}, qd{0}, divid{0}, divis{0};
    bool hors_borne = false, fin = false;
  };
  Pas bornes(int k, const Int& Dk, const Int& Nk, const Int& xk, Bornes& b) const;
  // The values of position k + 1 after x[1..k] = xs[1..k] with partial sum Nk/Dk, in the order the
  // search visits them: hi, hi - z, ... down to lo (`oui`); none (`aucun`: no completion within M,
  // or hi < lo); or the search ends at this prefix (`fin`). Touches nothing of the search, so the
  // estimate of the work left (suivi/estimation.hpp) reads it for any prefix.
  enum class Candidats { oui, aucun, fin, debordement };
  Candidats candidats(int k, const Int& Dk, const Int& Nk, const std::vector<Int>& xs, Int& lo, Int& hi) const;
  // The lowest value position t takes after x[1..t-1] = xs[1..t-1] when its bound gives `lo`: not
  // below the previous unknown in the order of the type, nor below the end sequence while xs
  // follows it.
  Int plus_bas(int t, const std::vector<Int>& xs, Int lo) const;

  // One forward step of the non-decreasing (type 1) or strictly increasing (type 2) search. With
  // the two-unknown step, a step at depth n - 2 may take several heads x(n-2) in turn (see
  // `boucler`).
  template <class Sink>
  Pas suite(Sink& sink);
  template <class Sink>
  Pas suite2(Sink& sink);
  // One backtracking step; cannot overflow (every value it forms is below one already held).
  void arriere();
  void arriere2();

  // Leaves the rest of the subtree of x[1..d] (d <= i) unexplored: drops the positions past d and
  // backtracks from depth d, which is what the search does once that subtree is exhausted.
  // Cannot overflow (every value it forms is below one already held).
  void sauter(int d);
  // Whether the next step of both searches is the same: the depth, and for a search that has not
  // ended x[1..i], minr[1..i] and N/D, all that a step reads before writing.
  template <class Autre>
  bool meme_etat(const Recherche<Autre>& o) const;

  // First-unknown placement: x1 at its upper bound, depth 1.
  Pas placer_premiere();
  // Placement of the start value `deb3` typed at position s (depth s - 1 on entry). Sets stop1 to
  // 1 when placing must stop after this value.
  Pas placer_debut(long long deb3, int s, int& stop1);

  // One forward step of the search of the settings' type (`suite` or `suite2`). A step that would
  // overflow leaves the count of heads as it found it, since a wider engine takes it again.
  template <class Sink>
  Pas avancer(Sink& sink) {
    const long long avant = tetes_;
    const Pas p = type == 2 ? suite2(sink) : suite(sink);
    if (p == Pas::debordement) tetes_ = avant;
    return p;
  }

  // The state the next step reads: the depth (-1 once the search has ended), the unknowns x[0..n]
  // (x[1..i] placed), their lowest values minr and the partial sum N/D.
  int profondeur() const { return i; }
  const std::vector<Int>& inconnues() const { return x; }
  const std::vector<Int>& minimums() const { return minr; }
  const Int& numerateur() const { return N; }
  const Int& denominateur() const { return D; }
  // Ends the search.
  void finir() { i = -1; }
  // The positions past d dropped, and x[d] replaced by v <= x[d]: the state the search has when it
  // comes to x[d] = v after the same x[1..d-1].
  void ramener(int d, const Int& v);
  // The state the next step reads, appended to `out`: the depth, N, D, x[1..i], minr[1..i] (the
  // depth alone once the search has ended). False, with nothing appended, when a value does not
  // fit Out.
  template <class Out>
  bool exporter(std::vector<Out>& out) const;
  // Back to a state written by `exporter` (of a search with the same settings), between two steps.
  // The values in `p` must fit Int.
  template <class In>
  void importer(const In* p);

  // After a step: true when it reported a solution and stopping the search right after the last
  // one would leave the state that the whole step left (not so when a pair step reported it
  // before its last candidate).
  bool derniere_complete() const { return derniere_complete_; }
  // Heads x(n-2) visited so far (steps at depth n - 2, with those a bound leaves unvisited).
  long long tetes() const { return tetes_; }
  // Solve the last two unknowns in one step at depth n - 2 (off: the plain step-by-step search,
  // the reference), by the method `m` (forced by tests and benchmarks); with `filtrer`, every loop
  // over x(n-2) under a bound skips the heads that cannot have pairs, however short (tests).
  void paires(bool actives, MethodePaires m = MethodePaires::automatique, bool filtrer = false) {
    paires_actives_ = actives;
    pas_.methode = m;
    pas_.seuil_filtre = filtrer ? 0 : PasPaires::kSeuilFiltre;
    pas_.budget_filtre = filtrer ? 256 : 0;
  }
  // Where the run of steps ends, when d > 0: once x[d] falls below v. A step that passes over
  // values of a position at once stops there, as single steps would.
  void borner(int d, long long v) {
    borne_d_ = d;
    borne_v_ = v;
  }

 private:
  template <class>
  friend class Recherche;

  // How the report of a head's pairs ended: every pair reported, the search ends there, the sink
  // asked to stop after the pair whose x(n-1) is `px_arret_`; or nothing reported, the pairs to
  // be reported one by one leaving Int (a stop after one of them needs a state wider than Int).
  enum class Rapport { complet, fin, arret, debordement };
  // How the solutions of a head stand against the end sequence: all at or above it, all below,
  // or each to be tested.
  enum class Fin { dessus, dessous, chacune };

  // Adds 1/x[i] to N/D (N := x[i]·N + D, D := D·x[i]); removes it again by exact division. Used
  // unchecked only where the new values are known to be no larger than values already held.
  void plu();
  void moin();
  // N/D + 1/v into nN/nD (N·v + D over D·v), checked: false when it leaves Int.
  bool ajouter(const Int& v, Int& nN, Int& nD) const {
    return !mul_ovf(v, N, nN) && !add_ovf(nN, D, nN) && !mul_ovf(D, v, nD);
  }
  // The bounds (see `bornes`) into the search: minr[k+1], r1, reste, hors_borne; ends the search
  // (i = -1, r1 = 0) where `fin` says so.
  Pas maxi(int k, const Int& Dk, const Int& Nk);
  // The end-sequence test on the complete solution x[1..n]: false when it lies below the end
  // sequence (the search must end, nothing reported).
  bool test_fin() const { return test_fin(x); }

  // The steps the divisors take instead of trying values one by one: the end below the end
  // sequence, the pair step from depth n - 1, the heads at depth n - 2. True, with the step's
  // result in `res`, when one of them took the step.
  template <class Sink>
  bool par_diviseurs(Sink& sink, Pas& res);
  enum class Boucle { non, faite, debordement };
  template <class Sink>
  Boucle boucler(Sink& sink);
  template <class Sink>
  bool essayer_paires(Sink& sink, Pas& res);
  template <class Sink>
  bool reprendre_paires(Sink& sink, Pas& res);
  template <class Sink, class C>
  Rapport rapporter(Sink& sink, Fin fin, bool coupe, i128 t, const C& c_bas);
  template <class S>
  bool test_fin(const std::vector<S>& sol) const;
  Fin fin_tete(int k) const;
  bool sous_la_fin() const;
  void quitter_position();
  void marcher(int p);
  void sortir_avant_derniere(bool marche);
  void arreter_apres(bool derniere, bool marche, const Int& minr1);
  i128 coupure(int k) const;

  // The search state.
  std::vector<Int> x;     // x[1..i] the fixed unknowns; x[0] = 0
  std::vector<Int> minr;  // minr[t] the smallest admissible value of position t
  Int N, D;               // partial sum 1/x[1] + ... + 1/x[i], unreduced: D = x[1]···x[i]
  int i = 0;              // depth; -1 once the search has ended
  int z = 1;              // step between candidates
  Int r, r1, reste;       // candidate, upper bound and its remainder from the last `maxi`
  Int pd, qn, qd, divid, divis;  // P·D, N·Q, Q·D, (n-k)·Q·D, P·D - N·Q of the last `maxi`
  Int e;                  // value of the run of equal unknowns lowered by `arriere`
  bool hors_borne = false;  // M·divis < divid: no completion with every unknown at most M
  bool derniere_complete_ = false;  // see derniere_complete()

  // Cached settings, in the engine's own type.
  Int P, Q, M;
  int n = 1, type = 1, parite = 0, seq2 = 0, s2 = 0;
  std::vector<long long> x3;  // end sequence as typed

  bool paires_actives_ = true;  // see paires()
  long long tetes_ = 0;          // see tetes()
  int borne_d_ = 0;              // see borner()
  long long borne_v_ = 0;
  // The heads x(n-2) one step takes at most.
  static constexpr long long tetes_par_pas_ = 64;
  // The two-unknown step.
  PasPaires pas_;

  Bornes bornes_;  // maxi's scratch
  Int px_arret_;  // x(n-1) of the pair after which the sink stopped
  bool px_ok_ = false;
};

// ---------------------------------------------------------------------------------------------

template <class Int>
Recherche<Int>::Recherche(const Reglages& reg)
    : x(reg.n + 1, Int(0)), minr(reg.n + 1, Int(0)), N(0), D(1), z(reg.z), pas_(reg) {
  regler(reg);
  r = r1 = reste = pd = qn = qd = divid = divis = e = Int(0);
}

template <class Int>
void Recherche<Int>::regler(const Reglages& reg) {
  P = elargir<Int>(reg.P);
  Q = elargir<Int>(reg.Q);
  pas_.regler(reg);
  M = elargir<Int>(reg.M);
  n = reg.n;
  type = reg.type;
  parite = reg.parite;
  z = reg.z;
  seq2 = reg.seq2;
  s2 = reg.s2;
  x3 = reg.x3;
}

template <class Int>
template <class Autre>
bool Recherche<Int>::charger(const Recherche<Autre>& o) {
  i = o.i;
  hors_borne = o.hors_borne;
  derniere_complete_ = o.derniere_complete_;
  if (!convertir(o.N, N) || !convertir(o.D, D)) return false;
  for (int t = 0; t <= n; ++t) {
    if (!convertir(o.x[t], x[t])) {
      if (t <= i) return false;
      x[t] = 0;
    }
    if (!convertir(o.minr[t], minr[t])) {
      if (t <= i) return false;
      minr[t] = 0;
    }
  }
  Int* const a[] = {&r, &r1, &reste, &pd, &qn, &qd, &divid, &divis, &e};
  const Autre* const b[] = {&o.r, &o.r1, &o.reste, &o.pd, &o.qn, &o.qd, &o.divid, &o.divis, &o.e};
  for (int j = 0; j < 9; ++j)
    if (!convertir(*b[j], *a[j])) *a[j] = 0;
  return true;
}

template <class Int>
void Recherche<Int>::ramener(int d, const Int& v) {
  assert(i >= d && v <= x[d]);
  for (; i > d; --i) moin();
  moin();
  x[d] = v;
  plu();
}

template <class Int>
template <class Out>
bool Recherche<Int>::exporter(std::vector<Out>& out) const {
  const std::size_t debut = out.size();
  out.push_back(Out(i));
  if (i < 0) return true;
  Out v;
  const auto mettre = [&](const Int& a) { return convertir(a, v) && (out.push_back(v), true); };
  bool ok = mettre(N) && mettre(D);
  for (int t = 1; t <= i && ok; ++t) ok = mettre(x[t]);
  for (int t = 1; t <= i && ok; ++t) ok = mettre(minr[t]);
  if (!ok) out.resize(debut);
  return ok;
}

template <class Int>
template <class In>
void Recherche<Int>::importer(const In* p) {
  long long profondeur = 0;
  convertir(p[0], profondeur);
  i = static_cast<int>(profondeur);
  if (i < 0) return;
  convertir(p[1], N);
  convertir(p[2], D);
  for (int t = 1; t <= i; ++t) convertir(p[2 + t], x[t]);
  for (int t = 1; t <= i; ++t) convertir(p[2 + i + t], minr[t]);
}

template <class Int>
bool Recherche<Int>::coherent() const {
  // Every check walks the placed unknowns: deep searches (n up to a million) would turn quadratic.
  if (i < 0 || i > 64) return true;
  for (int t = 1; t <= i; ++t)
    if (x[t] < minr[t]) return true;  // placed below its bound: the next step ends the search
  mpz_class d(1), s(0);
  for (int t = 1; t <= i; ++t) d *= vers_mpz(x[t]);
  for (int t = 1; t <= i; ++t) s += d / vers_mpz(x[t]);
  if (d != vers_mpz(D) || s != vers_mpz(N)) return false;
  for (int t = 2; t <= i; ++t)
    if (type == 2 ? x[t] <= x[t - 1] : x[t] < x[t - 1]) return false;
  return vers_mpz(N) * vers_mpz(Q) < vers_mpz(P) * vers_mpz(D) || i == n;
}

template <class Int>
void Recherche<Int>::plu() {
  N = x[i] * N + D;
  D = D * x[i];
}

template <class Int>
void Recherche<Int>::moin() {
  if (i < 2) {
    N = 0;
    D = 1;
    return;
  }
  // D is the product of x[1..i] and N its elementary symmetric sum of degree i - 1, so both
  // divisions are exact.
  assert(D % x[i] == 0);
  D = D / x[i];
  assert((N - D) % x[i] == 0);
  N = (N - D) / x[i];
}

template <class Int>
Pas Recherche<Int>::bornes(int k, const Int& Dk, const Int& Nk, const Int& xk, Bornes& b) const {
  b.fin = false;
  if (mul_ovf(P, Dk, b.pd) || mul_ovf(Nk, Q, b.qn)) return Pas::debordement;
  if (b.pd <= b.qn) {  // the partial sum has reached P/Q
    b.fin = true;
    return Pas::fait;
  }
  if (mul_ovf(Q, Dk, b.qd) || mul_ovf(Int(n - k), b.qd, b.divid)) return Pas::debordement;
  b.divis = b.pd - b.qn;  // both non-negative and pd > qn: no overflow
  Int& lo = b.minr;
  lo = b.qd / b.divis;           // floor of 1/rem
  b.r1 = b.divid / b.divis;      // floor of (n - k)/rem
  b.reste = b.divid % b.divis;
  b.hors_borne = false;
  Int mdivis(0);
  if (M != 0) {
    if (mul_ovf(M, b.divis, mdivis)) return Pas::debordement;
    b.hors_borne = mdivis < b.divid;
  }
  if (parite == 0) {
    if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
  }
  if (M != 0 && b.r1 > M) {
    b.r1 = M;
    b.reste = b.divid - mdivis;  // positive: M < r1 = floor(divid/divis)
  }
  const bool derniere = k + 1 == n;
  if (parite == 1) {
    if (est_pair(lo)) {
      if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
    } else if (!derniere) {
      if (add_ovf(lo, Int(2), lo)) return Pas::debordement;
    }
    if (est_pair(b.r1)) {
      b.r1 -= 1;
      if (b.reste == 0) b.reste = 1;
    }
  } else if (parite == 2) {
    if (!est_pair(lo)) {
      if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
    } else if (!derniere) {
      if (add_ovf(lo, Int(2), lo)) return Pas::debordement;
    }
    if (!est_pair(b.r1) && b.r1 != 1) {
      b.r1 -= 1;
      if (b.reste == 0) b.reste = 1;
    }
  }
  // End-sequence cut-off: x[1..k] sit at the smallest values their order allows from x3[1] and
  // cannot be completed within M, so every later candidate lies below the end sequence.
  if (seq2 == 1 && M != 0 && b.hors_borne && egal(xk, coupure(k))) b.fin = true;
  return Pas::fait;
}

template <class Int>
Pas Recherche<Int>::maxi(int k, const Int& Dk, const Int& Nk) {
  Bornes& b = bornes_;
  if (bornes(k, Dk, Nk, x[k], b) == Pas::debordement) return Pas::debordement;
  pd = b.pd;
  qn = b.qn;
  if (b.fin && b.pd <= b.qn) {
    i = -1;
    r1 = 0;
    return Pas::fait;
  }
  qd = b.qd;
  divid = b.divid;
  divis = b.divis;
  minr[k + 1] = b.minr;
  reste = b.reste;
  hors_borne = b.hors_borne;
  r1 = b.fin ? Int(0) : b.r1;
  if (b.fin) i = -1;
  return Pas::fait;
}

template <class Int>
typename Recherche<Int>::Candidats Recherche<Int>::candidats(int k, const Int& Dk, const Int& Nk,
                                                             const std::vector<Int>& xs, Int& lo, Int& hi) const {
  Bornes b;
  if (bornes(k, Dk, Nk, xs[k], b) == Pas::debordement) return Candidats::debordement;
  if (b.fin) return Candidats::fin;
  if (M != 0 && b.hors_borne) return Candidats::aucun;
  // With an exact bound the search reports the solution made of it and goes on below it at once:
  // the subtree of that value is not visited.
  hi = b.reste == 0 ? Int(b.r1 - z) : b.r1;
  lo = plus_bas(k + 1, xs, b.minr);
  return hi < lo ? Candidats::aucun : Candidats::oui;
}

template <class Int>
Int Recherche<Int>::plus_bas(int t, const std::vector<Int>& xs, Int lo) const {
  lo = std::max(lo, type == 2 ? Int(xs[t - 1] + 1) : xs[t - 1]);
  bool meme = seq2 == 1 && t <= s2;
  for (int a = 1; a < t && meme; ++a) meme = compare(xs[a], x3[a]) == 0;
  if (meme && compare(lo, x3[t]) < 0) convertir(x3[t], lo);
  return lo;
}

template <class Int>
template <class S>
bool Recherche<Int>::test_fin(const std::vector<S>& sol) const {
  for (int c = 1; c <= s2; ++c) {
    const int d = compare(sol[c], x3[c]);
    if (d > 0) return true;
    if (d < 0) return false;
  }
  return true;
}

// x[1..i] lies below the end sequence on the positions both have: every solution still to come is
// below it too, so the search can end now (it would end at the first of them, or find none).
template <class Int>
bool Recherche<Int>::sous_la_fin() const {
  const int m = std::min(i, s2);
  for (int c = 1; c <= m; ++c) {
    const int d = compare(x[c], x3[c]);
    if (d != 0) return d < 0;
  }
  return false;
}

// How the solutions with the head x[1..k] stand against the end sequence.
template <class Int>
typename Recherche<Int>::Fin Recherche<Int>::fin_tete(int k) const {
  if (seq2 != 1) return Fin::dessus;
  const int m = std::min(k, s2);
  for (int c = 1; c <= m; ++c) {
    const int d = compare(x[c], x3[c]);
    if (d != 0) return d > 0 ? Fin::dessus : Fin::dessous;
  }
  return s2 <= k ? Fin::dessus : Fin::chacune;
}

// The value of x[k] at which the end-sequence cut-off of the bound computation may fire.
template <class Int>
i128 Recherche<Int>::coupure(int k) const {
  return static_cast<i128>(x3[1]) + (type == 2 ? static_cast<i128>(k - 1) * z : 0);
}

template <class Int>
void Recherche<Int>::sauter(int d) {
  assert(d <= i);
  while (i > d) {
    moin();
    --i;
  }
  if (type == 2)
    arriere2();
  else
    arriere();
}

template <class Int>
template <class Autre>
bool Recherche<Int>::meme_etat(const Recherche<Autre>& o) const {
  if (i < 0 || o.i < 0) return i < 0 && o.i < 0;
  if (i != o.i || !egaux(N, o.N) || !egaux(D, o.D)) return false;
  for (int t = 1; t <= i; ++t)
    if (!egaux(x[t], o.x[t]) || !egaux(minr[t], o.minr[t])) return false;
  return true;
}

template <class Int>
template <class Sink>
bool Recherche<Int>::par_diviseurs(Sink& sink, Pas& res) {
  if (seq2 == 1 && sous_la_fin()) {
    i = -1;
    res = Pas::fait;
    return true;
  }
  if (i == n - 1 && i >= 1 && reprendre_paires(sink, res)) return true;
  if (i == n - 2 && n >= 3) {
    const Boucle b = boucler(sink);
    if (b == Boucle::non) return false;
    res = b == Boucle::faite ? Pas::fait : Pas::debordement;
    return true;
  }
  return false;
}

// performance-critical: this and `suite2` are the hot loop of every count; run the benchmark
// before and after any change.
template <class Int>
template <class Sink>
Pas Recherche<Int>::suite(Sink& sink) {
  derniere_complete_ = false;
  if (paires_actives_) {
    Pas res;
    if (par_diviseurs(sink, res)) return res;
  }
  if (maxi(i, D, N) == Pas::debordement) return Pas::debordement;
  r = r1;
  if (i == -1) return Pas::fait;
  if (i == n - 2) ++tetes_;
  if (M != 0 && hors_borne) {
    if (paires_actives_)
      quitter_position();
    else
      arriere();
    return Pas::fait;
  }
  if (r < x[i]) {
    arriere();
    return Pas::fait;
  }
  if (i == n - 2 && paires_actives_) {
    Pas res;
    if (essayer_paires(sink, res)) return res;
  }
  if (reste != 0) {
    if (i >= n - 1) {
      arriere();
      return Pas::fait;
    }
    Int nN(0), nD(0);  // descend: x[i+1] := r
    if (!ajouter(r, nN, nD)) return Pas::debordement;
    x[++i] = r;
    N = nN;
    D = nD;
    return Pas::fait;
  }
  // reste = 0: positions i+1..n all equal to r complete the sum exactly. After the report the
  // next position is fixed at r (the prefix then has this one completion only); its sum is
  // formed first, so that an overflow is known before anything is reported.
  const bool fixer = i < n - 1;
  Int nN(0), nD(0);
  if (fixer && !ajouter(r, nN, nD))
    return Pas::debordement;
  for (int t = i + 1; t <= n; ++t) x[t] = r;
  if (seq2 == 1 && !test_fin()) {
    i = -1;
    return Pas::fait;
  }
  derniere_complete_ = true;
  sink(x);
  if (fixer) {
    x[++i] = r;
    N = nN;
    D = nD;
  }
  arriere();
  return Pas::fait;
}

template <class Int>
void Recherche<Int>::arriere() {
  if (i <= 0 || x[1] < minr[1]) {
    i = -1;
    return;
  }
  // Drop the positions whose next lower candidate is below their lower bound.
  while (x[i] - z < minr[i]) {
    moin();
    --i;
    if (i == 0) {
      i = -1;
      return;
    }
  }
  int c = i;
  if (x[c] > x[c - 1]) {
    // Same parity and x[c] > x[c-1], so x[c] - z >= x[c-1]: the order holds.
    moin();
    x[c] -= z;
    plu();
    return;
  }
  // x[c] = x[c-1]: go back to the first position of the run of equal values and lower it; the
  // lower bounds never decrease along the positions, so e - z >= minr[c] there too.
  e = x[c];
  if (e == z) {
    i = -1;
    return;
  }
  while (x[c - 1] == e) {
    moin();
    i = c - 1;
    c = c - 1;
  }
  moin();
  x[c] = e - z;
  if (c == 1 && (x[1] < minr[1] || x[1] <= 0)) {
    i = -1;
    return;
  }
  plu();
}

template <class Int>
template <class Sink>
Pas Recherche<Int>::suite2(Sink& sink) {
  derniere_complete_ = false;
  if (paires_actives_) {
    Pas res;
    if (par_diviseurs(sink, res)) return res;
  }
  if (maxi(i, D, N) == Pas::debordement) return Pas::debordement;
  r = r1;
  if (i == -1) return Pas::fait;
  if (i == n - 2) ++tetes_;
  if (M != 0 && hors_borne) {
    if (paires_actives_)
      quitter_position();
    else
      arriere2();
    return Pas::fait;
  }
  if (r <= x[i]) {
    arriere2();
    return Pas::fait;
  }
  if (i == n - 2 && paires_actives_) {
    Pas res;
    if (essayer_paires(sink, res)) return res;
  }
  if (reste != 0) {
    if (i >= n - 1) {
      arriere2();
      return Pas::fait;
    }
  } else if (i == n - 1) {
    x[n] = r;  // 1/r is exactly the remainder
    if (seq2 == 1 && !test_fin()) {
      i = -1;
      return Pas::fait;
    }
    derniere_complete_ = true;
    sink(x);
    arriere2();
    return Pas::fait;
  }
  Int nN(0), nD(0);  // fix x[i+1] := r
  if (!ajouter(r, nN, nD)) return Pas::debordement;
  x[++i] = r;
  N = nN;
  D = nD;
  // With reste = 0 the value r could only be completed by repeating it, which the strict order
  // excludes: move on to the next candidate at once.
  if (reste == 0) arriere2();
  return Pas::fait;
}

template <class Int>
void Recherche<Int>::arriere2() {
  if (i <= 0 || x[1] < minr[1]) {
    i = -1;
    return;
  }
  if (i == 1) {
    if (x[1] - z < minr[1]) {
      i = -1;
      return;
    }
    x[1] -= z;
    N = 1;
    D = x[1];
    return;
  }
  int c = i;
  while (x[c] - z < minr[c]) {
    moin();
    i = c - 1;
    if (i == 0) {
      i = -1;
      return;
    }
    c = c - 1;
    if (x[1] < minr[1]) {
      i = -1;
      return;
    }
  }
  if (x[c] - z > x[c - 1]) {
    moin();
    x[c] -= z;
    plu();
    return;
  }
  // x[c] - z = x[c-1]: walk down the run of unknowns spaced exactly z apart.
  marcher(c - 1);
}

// The walk of `arriere2` from depth p + 1: drop each unknown that sits exactly z above its
// predecessor, then lower the first that does not.
template <class Int>
void Recherche<Int>::marcher(int p) {
  for (;;) {
    if (x[p + 1] - z == x[p]) {
      moin();  // i = p + 1
      i = p;
      if (p <= 0) {
        i = -1;
        return;
      }
      --p;
      if (x[1] < minr[1]) {
        i = -1;
        return;
      }
      continue;
    }
    moin();
    x[p + 1] -= z;
    plu();
    return;
  }
}

namespace recherche_detail {

// Three-way comparison of a value of any width with an __int128.
template <class T>
int comparer128(const T& a, i128 b) {
  if constexpr (est_mpz<T>) {
    const int c = cmp(a, vers_mpz(b));
    return (c > 0) - (c < 0);
  } else {
    const auto v = static_cast<i128>(a);
    return (v > b) - (v < b);
  }
}

// v in [1, 2^64) as a 64-bit word.
template <class Int>
bool en_mot(const Int& v, std::uint64_t& out) {
  return pas_paires_detail::en_mot(v, out);
}

}  // namespace recherche_detail

// Out of bound at depth i (no completion with every unknown at most M): a lower x[i] leaves a
// smaller remainder, out of bound too, so each value down to the lowest one the search gives x[i]
// would only backtrack. That is done at once: x[i] moves to that lowest value (to the lowest not
// below `borne_v_` when the run ends there) and the search backtracks from it; unless the cut-off of
// the end sequence fires at one of the values passed over, which ends the search.
template <class Int>
void Recherche<Int>::quitter_position() {
  const int k = i;
  const auto arriere_du_type = [this] { type == 2 ? arriere2() : arriere(); };
  if (k < 1 || x[1] < minr[1]) return arriere_du_type();
  Int bas = type == 2 ? x[k - 1] + 1 : x[k - 1];
  if (bas < minr[k]) bas = minr[k];
  if (borne_d_ == k && compare(bas, borne_v_) < 0) bas = elargir<Int>(borne_v_);
  if (x[k] <= bas) return arriere_du_type();
  const Int c_bas = x[k] - z * ((x[k] - bas) / z);
  if (seq2 == 1 && M != 0) {
    const i128 t = coupure(k);
    mpz_class d = vers_mpz(x[k]) - vers_mpz(t);
    if (sgn(d) > 0 && recherche_detail::comparer128(c_bas, t) <= 0 &&
        mpz_divisible_ui_p(d.get_mpz_t(), static_cast<unsigned long>(z)) != 0) {
      i = -1;
      return;
    }
  }
  if (k == n - 2) {
    long long sautees = 0;
    convertir(Int((x[k] - c_bas) / z), sautees);
    tetes_ += sautees;
  }
  moin();
  x[k] = c_bas;
  plu();
  arriere_du_type();
}

// performance-critical: the loop of a count at depth n - 2; run the benchmarks before and after a
// change.
//
// The heads x(n-2) = c, c - z, ... of the prefix x[1..n-3] in one step, as the steps at depth
// n - 2 would take them: each head's bounds and pairs (pas_paires.hpp), reported; a head out of
// bound ends the prefix's heads at once (see quitter_position); and the state left as the search
// leaves it after the last head taken: at the next head, or, after the lowest one, backtracked out
// of position n - 2. At most `tetes_par_pas_` heads, none below borne_v_ when the run ends there.
// False, with the state at the current head, when that head is left to the single-head step
// (an unusual state, or values out of the loop's reach).
template <class Int>
template <class Sink>
typename Recherche<Int>::Boucle Recherche<Int>::boucler(Sink& sink) {
  using u64 = std::uint64_t;
  const int k = n - 2;
  if (x[1] < minr[1]) return Boucle::non;
  Int bas = type == 2 ? x[k - 1] + 1 : x[k - 1];
  if (bas < minr[k]) bas = minr[k];
  u64 c = 0, c_bas = 0;
  if (x[k] < bas || !recherche_detail::en_mot(x[k], c)) return Boucle::non;
  recherche_detail::en_mot(Int(x[k] - z * ((x[k] - bas) / z)), c_bas);
  // The heads below borne_v_ are the next run's.
  u64 plus_bas = c_bas;
  if (borne_d_ == k && borne_v_ > 0 && static_cast<u64>(borne_v_) > c_bas) plus_bas = static_cast<u64>(borne_v_);
  Int N3(0), D3(1);
  if (k >= 2) {
    D3 = D / x[k];
    N3 = (N - D3) / x[k];
  }
  if (!pas_.prefixe(x, N3, D3, c, plus_bas)) return Boucle::non;
  const auto placer = [&](u64 v) {
    x[k] = elargir<Int>(static_cast<i128>(v));
    N = x[k] * N3 + D3;
    D = D3 * x[k];
  };
  using Statut = PasPaires::Statut;
  const Fin avant = fin_tete(k - 1);
  const bool coupes = seq2 == 1 && M != 0;
  const i128 t_k = coupure(k), t_1 = coupure(n - 1);
  for (long long prises = 0;;) {
    Fin fin = avant;
    if (avant == Fin::chacune) {  // x[1..k-1] is the end sequence's start, which goes on
      const int d = recherche_detail::comparer128(static_cast<i128>(c), x3[k]);
      fin = d > 0 ? Fin::dessus : d < 0 ? Fin::dessous : s2 == k ? Fin::dessus : Fin::chacune;
    }
    if (fin == Fin::dessous) {
      i = -1;
      return Boucle::faite;
    }
    const bool lots = PuitsParLots<Sink> && fin == Fin::dessus && !coupes;
    const PasPaires::Bornes& t = pas_.tete(c, !lots);
    if (t.statut == Statut::repli) {
      placer(c);
      return Boucle::non;
    }
    ++tetes_;
    const auto ci = static_cast<i128>(c);
    if (coupes && t.hors_borne && ci == t_k) {
      i = -1;
      return Boucle::faite;
    }
    if (t.statut == Statut::hors_borne) {
      // Every lower head is out of bound too (see quitter_position).
      const u64 h = c - static_cast<u64>(z) * ((c - plus_bas) / static_cast<u64>(z));
      if (coupes && t_k < ci && t_k >= static_cast<i128>(h) && (ci - t_k) % z == 0) {
        i = -1;
        return Boucle::faite;
      }
      tetes_ += static_cast<long long>((c - h) / static_cast<u64>(z));
      placer(h);
      if (h == c_bas) {
        type == 2 ? arriere2() : arriere();
      } else {
        placer(h - static_cast<u64>(z));  // past h, below borne_v_: the run ends here
      }
      return Boucle::faite;
    }
    const bool marche = type == 2 && !(t.c_bas - z < t.minr);
    if (t.statut == Statut::paires) {
      const bool coupe = coupes && t_1 >= t.c_bas && t_1 <= t.r && (t.r - t_1) % z == 0 &&
                         pas_.hors_borne_apres(vers_mpz(t_1));
      const Rapport rap = rapporter(sink, fin, coupe, t_1, t.c_bas);
      if (rap == Rapport::debordement) {
        // At a wider width from this head, which is then not counted here: at once when it is
        // this step's first, otherwise by the next step.
        placer(c);
        if (prises == 0) return Boucle::debordement;
        --tetes_;
        return Boucle::faite;
      }
      if (rap == Rapport::fin) {
        i = -1;
        return Boucle::faite;
      }
      if (rap == Rapport::arret) {
        placer(c);
        Int minr1(0);
        convertir(t.minr, minr1);
        arreter_apres(derniere_complete_, marche, minr1);
        return Boucle::faite;
      }
    }
    if (c == c_bas) {
      placer(c);
      if (t.statut == Statut::sans)
        type == 2 ? arriere2() : arriere();
      else
        sortir_avant_derniere(marche);
      return Boucle::faite;
    }
    // The heads that cannot have pairs are passed over (counted as visited), down to the lowest
    // this run takes and, while the end sequence's start goes on, not past its value of x(n-2).
    u64 suivante = c - static_cast<u64>(z);
    if (!coupes && pas_.filtre_actif() && suivante > plus_bas) {
      u64 limite = plus_bas;
      if (avant == Fin::chacune) limite = std::max(limite, static_cast<u64>(x3[k]));
      if (suivante > limite) {
        suivante = pas_.tete_suivante(c, limite);
        tetes_ += static_cast<long long>((c - suivante) / static_cast<u64>(z)) - 1;
      }
    }
    c = suivante;
    if (++prises == tetes_par_pas_ || c < plus_bas) {
      placer(c);
      return Boucle::faite;
    }
  }
}

// The pairs of the current head (pas_paires.hpp), x(n-1) from its largest candidate down to
// c_bas: handed over as one run where the sink takes it (it shows none of them and they all lie
// at or above the end sequence), otherwise one by one in order, each tested against the end
// sequence when `fin` asks it, up to the cut-off at x(n-1) <= t when `coupe`, and up to a stop.
template <class Int>
template <class Sink, class C>
typename Recherche<Int>::Rapport Recherche<Int>::rapporter(Sink& sink, Fin fin, bool coupe, i128 t,
                                                           const C& c_bas) {
  const long long nombre = pas_.nombre();
  if (nombre == 0) return coupe ? Rapport::fin : Rapport::complet;
  if constexpr (PuitsParLots<Sink>) {
    if (fin == Fin::dessus && !coupe && !sink.une_a_une(nombre)) {
      pas_.extremes([&](const auto& premiere, const auto& derniere) {
        derniere_complete_ = egaux(derniere[n - 1], c_bas);
        sink.lot(premiere, derniere, nombre);
      });
      return Rapport::complet;
    }
  }
  constexpr int rang = std::is_same_v<Int, long long> ? 0 : std::is_same_v<Int, i128> ? 1 : 2;
  if (pas_.rang() > rang) return Rapport::debordement;
  pas_.lister();
  Rapport res = Rapport::complet;
  for (long long k = 0; k < nombre && res == Rapport::complet; ++k) {
    pas_.solution(static_cast<std::size_t>(k), [&](const auto& sol) {
      if (coupe && recherche_detail::comparer128(sol[n - 1], t) <= 0) {
        res = Rapport::fin;
        return;
      }
      if (fin == Fin::chacune && !test_fin(sol)) {
        res = Rapport::fin;
        return;
      }
      derniere_complete_ = egaux(sol[n - 1], c_bas);
      sink(sol);
      if (sink.arret()) {
        px_ok_ = convertir(sol[n - 1], px_arret_);
        res = Rapport::arret;
      }
    });
  }
  if (res == Rapport::complet && coupe) res = Rapport::fin;
  return res;
}

// The last two unknowns of the head x[1..n-2] in one step, x(n-1) from r down to c_bas, the last
// value from which its backtracking step leaves position n - 1: what the step-by-step search does
// over that whole subtree. False when the step is left to the step-by-step search (an unusual
// state: r below the bound of x(n-1), x1 below its own); then nothing has changed.
template <class Int>
template <class Sink>
bool Recherche<Int>::essayer_paires(Sink& sink, Pas& res) {
  const int k = n - 2;
  if (r < minr[n - 1] || (k >= 1 && x[1] < minr[1])) return false;
  Int lo = type == 2 ? x[k] + 1 : x[k];
  if (lo < minr[n - 1]) lo = minr[n - 1];
  const Int c_bas = r - z * ((r - lo) / z);
  res = Pas::fait;
  const Fin fin = fin_tete(k);
  if (fin == Fin::dessous) {
    i = -1;
    return true;
  }
  const bool coupes = seq2 == 1 && M != 0;
  pas_.tete(x, divis, qd, c_bas, r, !(PuitsParLots<Sink> && fin == Fin::dessus && !coupes));
  const i128 t = coupure(n - 1);
  bool coupe = false;
  if (coupes) {
    const mpz_class tm = vers_mpz(t), hi = vers_mpz(r), d = hi - tm;
    coupe = tm >= vers_mpz(c_bas) && tm <= hi && mpz_divisible_ui_p(d.get_mpz_t(), static_cast<unsigned long>(z)) != 0 &&
            pas_.hors_borne_apres(tm);
  }
  const bool marche = type == 2 && !(c_bas - z < minr[n - 1]);
  const Rapport rap = rapporter(sink, fin, coupe, t, c_bas);
  if (rap == Rapport::debordement)
    res = Pas::debordement;
  else if (rap == Rapport::fin)
    i = -1;
  else if (rap == Rapport::arret)
    arreter_apres(derniere_complete_, marche, minr[n - 1]);
  else
    sortir_avant_derniere(marche);
  return true;
}

// The search at depth n - 1 with x(n-1) set by a placement (n = 2 with the selection options, a
// start sequence of n - 1 values) or by a stop at a pause inside the two-unknown step, not by the
// step that enters the position: what is left of the prefix x[1..n-2]'s subtree is its candidates
// x(n-1), x(n-1) - z, ... down to the same last one, so the two-unknown step does it from depth
// n - 2 with x(n-1) in place of the bound r. Returns false, with the state as it was, where that
// step does not apply; Pas::debordement (true) also leaves the state as it was: the step at depth
// n - 1 forms P·D and Q·D, larger than the products formed here.
template <class Int>
template <class Sink>
bool Recherche<Int>::reprendre_paires(Sink& sink, Pas& res) {
  // x(n-1) below its bound: the next bound computation ends the search.
  if (x[n - 1] < minr[n - 1]) return false;
  const Int N0 = N, D0 = D, r0 = r;
  moin();  // the sum of x[1..n-2]
  const auto remettre = [&] {
    i = n - 1;
    N = N0;
    D = D0;
    r = r0;
  };
  if (mul_ovf(P, D, pd) || mul_ovf(N, Q, qn) || mul_ovf(Q, D, qd)) {
    remettre();
    res = Pas::debordement;
    return true;
  }
  if (pd <= qn) {  // not the state of a placement: x(n-1) is not above 1/rem
    remettre();
    return false;
  }
  divis = pd - qn;
  i = n - 2;
  r = x[n - 1];
  res = Pas::fait;
  if (essayer_paires(sink, res)) return true;
  remettre();
  return false;
}

// The backtracking step from x(n-1) = c_bas, its last candidate, done from the head at depth
// n - 2 without forming the sum with c_bas. Type 1: c_bas - z is below minr[n-1] (the position is
// dropped) or c_bas = x[n-2] (the run walk starts from x[n-2], which is at least minr[n-1] - z
// >= minr[n-2] - z above its bound): either way `arriere` from depth n - 2 does the same. Type 2:
// the same when c_bas - z is below minr[n-1]; otherwise (`marche`) c_bas - z = x[n-2] and the
// walk goes on from position n - 2 without looking at its bound, as `arriere2` would from n - 1.
template <class Int>
void Recherche<Int>::sortir_avant_derniere(bool marche) {
  const int k = n - 2;
  i = k;
  if (k == 0) {
    i = -1;
    return;
  }
  if (!marche) {
    type == 2 ? arriere2() : arriere();
  } else if (x[1] < minr[1]) {
    i = -1;
  } else {
    marcher(k - 1);
  }
}

// The sink stopped after a pair of the head at depth n - 2 (x(n-1) in px_arret_ when it fits):
// the step that reported it still backtracks, to the next candidate with minr[n-1] = minr1, or,
// after the last one (`derniere`), out of position n - 1.
template <class Int>
void Recherche<Int>::arreter_apres(bool derniere, bool marche, const Int& minr1) {
  if (derniere) {
    sortir_avant_derniere(marche);
    return;
  }
  if (!px_ok_) return;  // stopped anyway, at the head
  const Int c1 = px_arret_ - z;
  Int nN(0), nD(0);
  if (!ajouter(c1, nN, nD)) return;
  x[n - 1] = c1;
  minr[n - 1] = minr1;
  i = n - 1;
  N = nN;
  D = nD;
}

template <class Int>
Pas Recherche<Int>::placer_premiere() {
  if (maxi(0, Int(1), Int(0)) == Pas::debordement) return Pas::debordement;
  x[1] = r1;
  i = 1;
  N = 1;
  D = x[1];
  return Pas::fait;
}

template <class Int>
Pas Recherche<Int>::placer_debut(long long deb3, int s, int& stop1) {
  if (maxi(i, D, N) == Pas::debordement) return Pas::debordement;
  r = r1;
  Int deb = elargir<Int>(deb3);
  if ((parite == 1 && est_pair(deb)) || (parite == 2 && !est_pair(deb))) deb -= 1;
  if (r < deb) deb = r;
  if (i == s - 1 && minr[s] <= deb && (type != 2 || deb > x[s - 1])) {
    Int nN(0), nD(0);
    if (!ajouter(deb, nN, nD)) return Pas::debordement;
    x[s] = deb;
    i = s;
    N = nN;
    D = nD;
    if (compare(deb, deb3) != 0) stop1 = 1;
    return Pas::fait;
  }
  // The value cannot be placed: move to the next candidate prefix below the typed one.
  stop1 = 1;
  if (type == 2)
    arriere2();
  else
    arriere();
  return Pas::fait;
}

}  // namespace unitfrac
