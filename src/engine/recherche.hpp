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
#include "engine/grandes_paires.hpp"
#include "engine/paires.hpp"
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
// sink.arret() after each: true stops the search (the step still backtracks as it would).
// A sink that needs only some of the solutions may also take a run of consecutive solutions at
// once: before such a run of `nombre` solutions the search asks sink.une_a_une(nombre), and when
// it is false hands over the first and the last of the run with sink.lot(premiere, derniere,
// nombre). The solutions of a run share x[1..n-2] and come in decreasing order of x(n-1), so the
// last has the smallest x1 and the largest xn.
template <class Sink, class Int>
concept PuitsParLots = requires(Sink& s, const std::vector<Int>& x, long long k) {
  { s.une_a_une(k) } -> std::convertible_to<bool>;
  s.lot(x, x, k);
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

  // Adds 1/x[i] to N/D (N := x[i]·N + D, D := D·x[i]); removes it again by exact division. Used
  // unchecked only where the new values are known to be no larger than values already held.
  void plu();
  void moin();

  // Bounds of position k + 1 after x[1..k] with partial sum Nk/Dk: minr[k+1], r1, reste,
  // hors_borne. Ends the search (i = -1, returns fait with r1 = 0) when the partial sum has
  // reached P/Q or the end-sequence cut-off fires.
  Pas maxi(int k, const Int& Dk, const Int& Nk);

  // One forward step of the non-decreasing (type 1) or strictly increasing (type 2) search.
  template <class Sink>
  Pas suite(Sink& sink);
  template <class Sink>
  Pas suite2(Sink& sink);
  // One backtracking step; cannot overflow (every value it forms is below one already held).
  void arriere();
  void arriere2();

  // The end-sequence test on the complete solution x[1..n]: false when it lies below the end
  // sequence (the search must end, nothing reported).
  bool test_fin() const;

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
  // After a step: true when it reported a solution and stopping the search right after the last
  // one would leave the state that the whole step left (not so when a pair step reported it
  // before its last candidate).
  bool derniere_complete = false;

  // Cached settings, in the engine's own type.
  Int P, Q, M;
  int n = 1, type = 1, parite = 0, seq2 = 0, s2 = 0;
  std::vector<long long> x3;  // end sequence as typed

  // Solve the last two unknowns in one step at depth n - 2, from the divisors of b² or by trying
  // each candidate in 128 bits (off: the plain step-by-step search, the reference).
  bool paires_actives = true;
  // Enumerate the divisors of b² wherever the factorisation can be had, even where another way
  // is cheaper (tests).
  bool paires_toujours = false;

 private:
  template <class>
  friend class Recherche;

  template <class Sink>
  bool essayer_paires(Sink& sink, Pas& res);
  template <class Sink>
  bool reprendre_paires(Sink& sink, Pas& res);
  template <class Sink>
  bool essayer_grandes_paires(Sink& sink, Pas& res);
  void marcher(int p);
  void sortir_avant_derniere(const Int& c_bas);
  void arreter_apres(const Int& c, const Int& c_bas);
  bool chercher_paires(i128 a, i128 b, const Int& c_bas, MethodePaires methode);
  template <class G>
  bool factoriser_reste(G g, std::vector<Facteur>& fb);

  // Factorisations kept along the prefix: fval_[t] is the value x[t] had when fx_[t] was made.
  std::vector<std::uint64_t> fval_;
  std::vector<std::vector<Facteur>> fx_;
  std::vector<Facteur> fq_;    // factorisation of Q
  std::vector<Facteur> prefixe_;  // factorisation of Q·x[1]···x[n-3], for the values in fval_
  bool prefixe_valide_ = false;
  std::vector<Facteur> tous_;     // scratch
  ProblemePaire pb_;
  TravailPaires travail_;
  std::vector<std::pair<i128, i128>> paires_;
  std::vector<Int> premiere_;  // the first solution of a run handed over whole
  GrandProbleme gp_;  // the same problem past 2^63, for essayer_grandes_paires
  std::vector<std::pair<mpz_class, mpz_class>> grandes_;
  std::vector<std::pair<Int, Int>> paires_int_;
};

// ---------------------------------------------------------------------------------------------

template <class Int>
Recherche<Int>::Recherche(const Reglages& reg)
    : x(reg.n + 1, Int(0)), minr(reg.n + 1, Int(0)), N(0), D(1), z(reg.z) {
  regler(reg);
  r = r1 = reste = pd = qn = qd = divid = divis = e = Int(0);
}

template <class Int>
void Recherche<Int>::regler(const Reglages& reg) {
  P = elargir<Int>(reg.P);
  Q = elargir<Int>(reg.Q);
  fq_.clear();
  factoriser(static_cast<std::uint64_t>(reg.Q), fq_);
  fval_.assign(reg.n + 1, 0);
  fx_.resize(reg.n + 1);
  prefixe_valide_ = false;
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
Pas Recherche<Int>::maxi(int k, const Int& Dk, const Int& Nk) {
  if (mul_ovf(P, Dk, pd) || mul_ovf(Nk, Q, qn)) return Pas::debordement;
  if (pd <= qn) {  // the partial sum has reached P/Q
    i = -1;
    r1 = 0;
    return Pas::fait;
  }
  if (mul_ovf(Q, Dk, qd) || mul_ovf(Int(n - k), qd, divid)) return Pas::debordement;
  divis = pd - qn;  // both non-negative and pd > qn: no overflow
  Int& lo = minr[k + 1];
  lo = qd / divis;  // floor of 1/rem
  r1 = divid / divis;  // floor of (n - k)/rem
  reste = divid % divis;
  hors_borne = false;
  Int mdivis(0);
  if (M != 0) {
    if (mul_ovf(M, divis, mdivis)) return Pas::debordement;
    hors_borne = mdivis < divid;
  }
  if (parite == 0) {
    if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
  }
  if (M != 0 && r1 > M) {
    r1 = M;
    reste = divid - mdivis;  // positive: M < r1 = floor(divid/divis)
  }
  const bool derniere = k + 1 == n;
  if (parite == 1) {
    if (est_pair(lo)) {
      if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
    } else if (!derniere) {
      if (add_ovf(lo, Int(2), lo)) return Pas::debordement;
    }
    if (est_pair(r1)) {
      r1 -= 1;
      if (reste == 0) reste = 1;
    }
  } else if (parite == 2) {
    if (!est_pair(lo)) {
      if (add_ovf(lo, Int(1), lo)) return Pas::debordement;
    } else if (!derniere) {
      if (add_ovf(lo, Int(2), lo)) return Pas::debordement;
    }
    if (!est_pair(r1) && r1 != 1) {
      r1 -= 1;
      if (reste == 0) reste = 1;
    }
  }
  // End-sequence cut-off: x[1..k] sit at the smallest values their order allows from x3[1] and
  // cannot be completed within M, so every later candidate lies below the end sequence.
  if (seq2 == 1 && M != 0) {
    const i128 t = static_cast<i128>(x3[1]) + (type == 2 ? static_cast<i128>(k - 1) * z : 0);
    if (egal(x[k], t) && hors_borne) {
      i = -1;
      r1 = 0;
      return Pas::fait;
    }
  }
  return Pas::fait;
}

template <class Int>
bool Recherche<Int>::test_fin() const {
  for (int c = 1; c <= s2; ++c) {
    const int d = compare(x[c], x3[c]);
    if (d > 0) return true;
    if (d < 0) return false;
  }
  return true;
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

// performance-critical: this and `suite2` are the hot loop of every count; run the benchmark
// before and after any change.
template <class Int>
template <class Sink>
Pas Recherche<Int>::suite(Sink& sink) {
  derniere_complete = false;
  if (i == n - 1 && i >= 1 && paires_actives) {
    Pas res;
    if (reprendre_paires(sink, res)) return res;
  }
  if (maxi(i, D, N) == Pas::debordement) return Pas::debordement;
  r = r1;
  if (i == -1) return Pas::fait;
  if (M != 0 && hors_borne) {
    arriere();
    return Pas::fait;
  }
  if (r < x[i]) {
    arriere();
    return Pas::fait;
  }
  if (i == n - 2 && paires_actives) {
    Pas res;
    if (essayer_paires(sink, res)) return res;
  }
  if (reste != 0) {
    if (i >= n - 1) {
      arriere();
      return Pas::fait;
    }
    Int nN(0), nD(0);  // descend: x[i+1] := r
    if (mul_ovf(r, N, nN) || add_ovf(nN, D, nN) || mul_ovf(D, r, nD)) return Pas::debordement;
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
  if (fixer && (mul_ovf(r, N, nN) || add_ovf(nN, D, nN) || mul_ovf(D, r, nD)))
    return Pas::debordement;
  for (int t = i + 1; t <= n; ++t) x[t] = r;
  if (seq2 == 1 && !test_fin()) {
    i = -1;
    return Pas::fait;
  }
  derniere_complete = true;
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
  derniere_complete = false;
  if (i == n - 1 && i >= 1 && paires_actives) {
    Pas res;
    if (reprendre_paires(sink, res)) return res;
  }
  if (maxi(i, D, N) == Pas::debordement) return Pas::debordement;
  r = r1;
  if (i == -1) return Pas::fait;
  if (M != 0 && hors_borne) {
    arriere2();
    return Pas::fait;
  }
  if (r <= x[i]) {
    arriere2();
    return Pas::fait;
  }
  if (i == n - 2 && paires_actives) {
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
    derniere_complete = true;
    sink(x);
    arriere2();
    return Pas::fait;
  }
  Int nN(0), nD(0);  // fix x[i+1] := r
  if (mul_ovf(r, N, nN) || add_ovf(nN, D, nN) || mul_ovf(D, r, nD)) return Pas::debordement;
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

// The last two unknowns at depth n - 2 (rem = a/b): does, in one step, what the step-by-step
// search would do over the whole subtree of x(n-1). The candidates it would visit are c = r,
// r - z, ... down to c_bas, the last value from which its backtracking step leaves position
// n - 1; each c with an exact completion y (y >= c, or y > c for type 2, of the parity, at most M)
// is one solution. The pairs come from the divisors of b², or from each candidate in turn where
// that is cheaper, in exact 128-bit arithmetic and without touching the state, so the products
// of position n - 1 (past 64 bits for n = 8) are never formed. Returns false when
// the step is left to the step-by-step search; then nothing has changed. A value that does not
// fit Int is known before the first solution is reported.
template <class Int>
template <class Sink>
bool Recherche<Int>::essayer_paires(Sink& sink, Pas& res) {
  if constexpr (est_mpz<Int>) {
    return essayer_grandes_paires(sink, res);
  } else {
    const int k = n - 2;
    // The unusual states (x1 below its bound, r below the bound of x(n-1)) end the search at the
    // next step; they are left to the step-by-step search.
    if (r < minr[n - 1] || (k >= 1 && x[1] < minr[1])) return false;
    Int lo = type == 2 ? x[k] + 1 : x[k];
    if (lo < minr[n - 1]) lo = minr[n - 1];
    const Int c_bas = r - z * ((r - lo) / z);
    i128 a = static_cast<i128>(divis), b = static_cast<i128>(qd);
    const i128 g = b < (static_cast<i128>(1) << 64)
                       ? std::gcd(static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(b))
                       : pgcd128(a, b);
    a /= g;
    b /= g;
    if (b >= (static_cast<i128>(1) << 63)) return essayer_grandes_paires(sink, res);
    // A few candidates are cheaper to try one by one than b's factorisation is to make.
    const i128 candidats = static_cast<i128>((r - c_bas) / z) + 1;
    MethodePaires methode = paires_toujours ? MethodePaires::diviseurs : MethodePaires::automatique;
    if ((candidats <= 20 && !paires_toujours) || !factoriser_reste(g, pb_.fb))
      methode = MethodePaires::candidats;
    // A sink that may take the pairs as one run needs them sorted only if it asks for them one
    // by one (the end-sequence test needs them in order).
    constexpr bool par_lots = PuitsParLots<Sink, Int>;
    travail_.trier = !par_lots || seq2 == 1;
    if (!chercher_paires(a, b, c_bas, methode)) return false;
    if constexpr (std::is_same_v<Int, long long>) {
      for (const auto& [px, py] : paires_)
        if (py > static_cast<i128>(INT64_MAX)) {
          res = Pas::debordement;
          return true;
        }
    }
    // End-sequence cut-off at depth n - 1: when the search reaches x(n-1) = t with no completion
    // within M, it ends there.
    bool coupe = false;
    i128 t = 0;
    if (seq2 == 1 && M != 0) {
      t = static_cast<i128>(x3[1]) + (type == 2 ? static_cast<i128>(n - 2) * z : 0);
      const i128 hi = static_cast<i128>(r), bas = static_cast<i128>(c_bas), m = static_cast<i128>(M);
      if (t >= bas && t <= hi && (hi - t) % z == 0 && a * t > b && b * t > m * (a * t - b)) coupe = true;
    }
    res = Pas::fait;
    if (!travail_.trier) {
      const auto nombre = static_cast<long long>(paires_.size());
      if constexpr (par_lots) {
        if (nombre > 0 && !sink.une_a_une(nombre)) {
          auto bas = paires_.begin(), haut = paires_.begin();
          for (auto p = paires_.begin(); p != paires_.end(); ++p) {
            if (p->first < bas->first) bas = p;
            if (p->first > haut->first) haut = p;
          }
          premiere_ = x;
          premiere_[n - 1] = static_cast<Int>(haut->first);
          premiere_[n] = static_cast<Int>(haut->second);
          x[n - 1] = static_cast<Int>(bas->first);
          x[n] = static_cast<Int>(bas->second);
          derniere_complete = bas->first == static_cast<i128>(c_bas);
          sink.lot(premiere_, x, nombre);
          sortir_avant_derniere(c_bas);
          return true;
        }
      }
      std::sort(paires_.begin(), paires_.end(),
                [](const auto& u, const auto& v) { return u.first > v.first; });
    }
    for (const auto& [px, py] : paires_) {
      if (coupe && px <= t) {
        i = -1;
        return true;
      }
      x[n - 1] = static_cast<Int>(px);
      x[n] = static_cast<Int>(py);
      if (seq2 == 1 && !test_fin()) {
        i = -1;
        return true;
      }
      derniere_complete = px == static_cast<i128>(c_bas);
      sink(x);
      if (sink.arret()) {
        // The user stopped at a pause: the step that reported this solution still backtracks,
        // to the next candidate, or out of position n - 1 from the last one.
        const Int c = static_cast<Int>(px);
        Int nN(0), nD(0);
        if (c == c_bas) {
          sortir_avant_derniere(c_bas);
        } else if (!mul_ovf(c - z, N, nN) && !add_ovf(nN, D, nN) && !mul_ovf(D, c - z, nD)) {
          x[n - 1] = c - z;
          i = n - 1;
          N = nN;
          D = nD;
        }  // otherwise the state stays at depth n - 2: the search is stopped either way
        return true;
      }
    }
    if (coupe) {
      i = -1;
      return true;
    }
    sortir_avant_derniere(c_bas);
    return true;
  }
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
  const bool fait = essayer_paires(sink, res);
  if (fait && res == Pas::fait) return true;
  remettre();
  return fait;
}

// The pairs of the candidates c_bas..r (step z) into paires_, in decreasing order of x.
template <class Int>
bool Recherche<Int>::chercher_paires(i128 a, i128 b, const Int& c_bas, MethodePaires methode) {
  if constexpr (est_mpz<Int>) {
    return false;
  } else {
    pb_.a = a;
    pb_.b = b;
    pb_.lo = static_cast<i128>(c_bas);
    pb_.hi = static_cast<i128>(r);
    pb_.z = z;
    pb_.strict = type == 2;
    pb_.parite = parite;
    pb_.M = static_cast<i128>(M);
    paires_.clear();
    travail_.methode = methode;
    return resoudre_paires(pb_, paires_, travail_);
  }
}

// The backtracking step from x(n-1) = c_bas, its last candidate, done from the prefix at depth
// n - 2 without forming the sum with c_bas. Type 1: c_bas - z is below minr[n-1] (the position is
// dropped) or c_bas = x[n-2] (the run walk starts from x[n-2], which is at least minr[n-1] - z
// >= minr[n-2] - z above its bound): either way `arriere` from depth n - 2 does the same. Type 2:
// the same when c_bas - z is below minr[n-1]; otherwise c_bas - z = x[n-2] and the walk goes on
// from position n - 2 without looking at its bound, as `arriere2` would from n - 1.
template <class Int>
void Recherche<Int>::sortir_avant_derniere(const Int& c_bas) {
  const int k = n - 2;
  i = k;
  if (k == 0) {
    i = -1;
    return;
  }
  if (type != 2) {
    arriere();
  } else if (c_bas - z < minr[n - 1]) {
    arriere2();
  } else if (x[1] < minr[1]) {
    i = -1;
  } else {
    marcher(k - 1);
  }
}

// The factorisation of b = Q·D/g (rem = divis/qd with qd = Q·D, g their gcd) into fb: the primes
// and exponents of Q·x[1]···x[n-2], from the factorisations kept along the prefix, less those of
// g (g divides Q·D, so its primes are among them). The product for Q·x[1]···x[n-3] is kept while
// those unknowns stay; only x[n-2] is new at each call. False when an unknown is past 2^63.
template <class Int>
template <class G>
bool Recherche<Int>::factoriser_reste(G g, std::vector<Facteur>& fb) {
  const int k = n - 2;
  for (int t = 1; t <= k; ++t)
    if (x[t] <= 0 || x[t] > INT64_MAX) return false;
  bool meme = prefixe_valide_;
  for (int t = 1; t < k && meme; ++t) meme = fval_[t] == en_u64(x[t]);
  if (!meme) {
    prefixe_ = fq_;
    for (int t = 1; t < k; ++t) {
      fval_[t] = en_u64(x[t]);
      fx_[t].clear();
      factoriser(fval_[t], fx_[t]);
      fusionner(prefixe_, fx_[t], tous_);
      prefixe_.swap(tous_);
    }
    prefixe_valide_ = true;
  }
  const std::uint64_t v = en_u64(x[k]);
  if (fval_[k] != v) {
    fx_[k].clear();
    factoriser(v, fx_[k]);
    fval_[k] = v;
  }
  fusionner(prefixe_, fx_[k], fb);
  if (g > 1) {
    std::size_t j = 0;
    for (const auto& [p, e] : fb) {
      int f = e;
      while (g % p == 0) {
        g /= p;
        --f;
      }
      if (f > 0) fb[j++] = {p, f};
    }
    fb.resize(j);
  }
  return true;
}

// The two-unknown step where rem = a/b has b past 2^63, and every step on GMP integers: what
// essayer_paires does, with the pairs from resoudre_grandes_paires (b factored from the unknowns
// as there). A pair that does not fit Int is known before anything is reported: Pas::debordement,
// and the state is as it was.
template <class Int>
template <class Sink>
bool Recherche<Int>::essayer_grandes_paires(Sink& sink, Pas& res) {
  const int k = n - 2;
  if (r < minr[n - 1] || (k >= 1 && x[1] < minr[1])) return false;
  Int lo = x[k];
  if (type == 2) lo += 1;
  if (lo < minr[n - 1]) lo = minr[n - 1];
  const Int c_bas = r - z * ((r - lo) / z);
  GrandProbleme& gp = gp_;
  gp.a = vers_mpz(divis);
  gp.b = vers_mpz(qd);
  mpz_class g;
  mpz_gcd(g.get_mpz_t(), gp.a.get_mpz_t(), gp.b.get_mpz_t());
  gp.a /= g;
  gp.b /= g;
  gp.fb.clear();
  gp.fb_connue = factoriser_reste(g, gp.fb);
  gp.lo = vers_mpz(c_bas);
  gp.hi = vers_mpz(r);
  gp.z = z;
  gp.strict = type == 2;
  gp.parite = parite;
  gp.M = vers_mpz(M);
  gp.diviseurs = paires_toujours;
  grandes_.clear();
  resoudre_grandes_paires(gp, grandes_);
  paires_int_.resize(grandes_.size());
  for (std::size_t j = 0; j < grandes_.size(); ++j)
    if (!convertir(grandes_[j].first, paires_int_[j].first) ||
        !convertir(grandes_[j].second, paires_int_[j].second)) {
      res = Pas::debordement;
      return true;
    }
  // End-sequence cut-off at depth n - 1, as in essayer_paires.
  bool coupe = false;
  mpz_class t = vers_mpz(x3[1]);
  if (seq2 == 1 && M != 0) {
    if (type == 2) t += (n - 2) * z;
    const mpz_class hi = vers_mpz(r), bas = vers_mpz(c_bas), m = vers_mpz(M), at = gp.a * t;
    coupe = t >= bas && t <= hi && (hi - t) % z == 0 && at > gp.b && gp.b * t > m * (at - gp.b);
  }
  res = Pas::fait;
  for (const auto& [px, py] : paires_int_) {
    if (coupe && vers_mpz(px) <= t) {
      i = -1;
      return true;
    }
    x[n - 1] = px;
    x[n] = py;
    if (seq2 == 1 && !test_fin()) {
      i = -1;
      return true;
    }
    derniere_complete = px == c_bas;
    sink(x);
    if (sink.arret()) {
      arreter_apres(px, c_bas);
      return true;
    }
  }
  if (coupe) {
    i = -1;
    return true;
  }
  sortir_avant_derniere(c_bas);
  return true;
}

// The user stopped at a pause after the pair with x(n-1) = c: the step that reported it still
// backtracks, to the next candidate, or out of position n - 1 from the last one.
template <class Int>
void Recherche<Int>::arreter_apres(const Int& c, const Int& c_bas) {
  if (c == c_bas) {
    sortir_avant_derniere(c_bas);
    return;
  }
  const Int c1 = c - z;
  Int nN(0), nD(0);
  if (mul_ovf(c1, N, nN) || add_ovf(nN, D, nN) || mul_ovf(D, c1, nD)) return;  // stopped anyway
  x[n - 1] = c1;
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
    if (mul_ovf(N, deb, nN) || add_ovf(nN, D, nN) || mul_ovf(D, deb, nD)) return Pas::debordement;
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
