// The search at the width it needs: it runs on long long while every product fits; a step that
// would overflow runs again, from the same state, on __int128, or on mpz_class when 128 bits do
// not suffice either; and the search comes back to long long as soon as its state fits again.
// Used by the dialogue (placements) and the run driver (the forward steps), by tests and benchmarks.
#pragma once

#include <cassert>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/recherche.hpp"

namespace unitfrac {

class Moteur {
 public:
  explicit Moteur(const Reglages& reg) : reg_(reg), r64_(reg) {}

  // Runs op on the search at the width in use and returns its result.
  template <class Op>
  decltype(auto) avec(Op&& op) const {
    if (largeur_ == 64) return op(r64_);
    if (largeur_ == 128) return op(*r128_);
    return op(*rmpz_);
  }

 private:
  // The same on the search at the width in use, which op may change.
  template <class Op>
  decltype(auto) appliquer_courant(Op&& op) {
    if (largeur_ == 64) return op(r64_);
    if (largeur_ == 128) return op(*r128_);
    return op(*rmpz_);
  }

 public:
  // A search with the same settings and switches, at its start.
  Moteur semblable() const {
    Moteur m(reg_);
    m.paires(actives_, toujours_);
    return m;
  }

  // Settings entered after the placements (bound M, end sequence) are taken again.
  void regler(const Reglages& reg) {
    reg_ = reg;
    r64_.regler(reg);
    if (r128_) r128_->regler(reg);
    if (rmpz_) rmpz_->regler(reg);
  }

  // Off: every unknown is tried one value at a time, as the reference search does. Always:
  // wherever the divisors can be used, even where trying each value would be cheaper, and every
  // loop under a bound passing over the heads without pairs.
  void paires(bool actives, bool toujours = false) {
    actives_ = actives;
    toujours_ = toujours;
    appliquer([&](auto& rech) { regler_paires(rech); });
  }

  int profondeur() const {
    return avec([](const auto& rech) { return rech.profondeur(); });
  }
  void finir() {
    appliquer([](auto& rech) { rech.finir(); });
  }
  // The widest integers used so far: 64, 128, or 0 for arbitrary precision.
  int largeur_max() const { return largeur_max_; }

  // One forward step of the search of type reg.type.
  template <class Sink>
  void pas(Sink& sink) {
    executer([&](auto& rech) { return un_pas(rech, sink); });
  }

  // How a run of forward steps ended: the depth fell to the exit depth or below, the sink asked to
  // stop, or the control function did.
  enum class Fin { sortie, arret, controle };

  // Where a run of steps ends: once the depth falls to `profondeur` or below, or, when d > 0,
  // once x[d] falls below v (the search has then left the values of x[d] from the current one
  // down to v, with their subtrees).
  struct Sortie {
    int profondeur = -1;
    int d = 0;
    long long v = 0;
  };
  bool sortie_atteinte(const Sortie& s) const {
    const int i = profondeur();
    if (i <= s.profondeur) return true;
    if (s.d == 0 || i < s.d) return false;
    if (largeur_ == 64) return r64_.inconnues()[s.d] < s.v;
    return avec([&s](const auto& rech) { return compare(rech.inconnues()[s.d], s.v) < 0; });
  }

  // Forward steps until the search reaches `sortie`, or the sink asks to stop. Every
  // `pas_controle` steps `controle()` is called between two steps; false from it ends the run.
  // `sortie` is checked after every step (not before the first), so `controle` may change it to
  // one the current state already meets: the run then ends after one more step.
  template <class Sink, class Controle>
  Fin courir_jusqua(Sink& sink, const Sortie& sortie, long long pas_controle, Controle&& controle) {
    if (profondeur() <= sortie.profondeur) return Fin::sortie;
    long long reste = pas_controle;
    for (;;) {
      if (sink.arret()) return Fin::arret;
      if (largeur_ == 64) {
        // performance-critical: the whole search runs in this loop while it fits 64 bits.
        for (;;) {
          r64_.borner(sortie.d, sortie.v);
          if (un_pas(r64_, sink) == Pas::debordement) {
            elargir();
            borner(sortie);
            pas(sink);
          }
          if (sortie_atteinte(sortie)) return Fin::sortie;
          if (--reste == 0) {
            reste = pas_controle;
            if (!controle()) return Fin::controle;
          }
          if (largeur_ != 64 || sink.arret()) break;
        }
      } else {
        borner(sortie);
        pas(sink);
        if (sortie_atteinte(sortie)) return Fin::sortie;
        if (--reste == 0) {
          reste = pas_controle;
          if (!controle()) return Fin::controle;
        }
      }
    }
  }
  template <class Sink, class Controle>
  Fin courir_jusqua(Sink& sink, int profondeur, long long pas_controle, Controle&& controle) {
    return courir_jusqua(sink, Sortie{profondeur}, pas_controle, std::forward<Controle>(controle));
  }

  // Steps taken at depth n - 2 by courir_jusqua: each solves the last two unknowns of a prefix,
  // and they take nearly all the time of a search.
  long long feuilles() const {
    return r64_.tetes() + (r128_ ? r128_->tetes() : 0) + (rmpz_ ? rmpz_->tetes() : 0);
  }
  const Reglages& reglages() const { return reg_; }

  // Forward steps while the depth is not negative and the sink does not ask to stop.
  template <class Sink>
  void courir(Sink& sink) {
    const int fin = -1;
    courir_jusqua(sink, fin, std::numeric_limits<long long>::max(), [] { return true; });
  }

  // The state the next step reads, appended to `out`: the depth, N, D, x[1..i], minr[1..i] (the
  // depth alone once the search has ended). False, with nothing appended, when a value does not
  // fit Out (long long, or mpz_class for any state).
  template <class Out>
  bool exporter(std::vector<Out>& out) const {
    return avec([&out](const auto& r) { return r.exporter(out); });
  }
  // Back to a state written by `exporter` (of a search with the same settings), between two steps.
  template <class In>
  void importer(const In* p) {
    if constexpr (std::is_same_v<In, long long>) {
      r64_.importer(p);
      largeur_ = 64;
    } else {
      if (!rmpz_) rmpz_.emplace(cree<mpz_class>());
      rmpz_->importer(p);
      largeur_ = 0;
      largeur_max_ = 0;
      retrecir();
    }
  }

  // A state held in O(depth) (the parallel search keeps its tasks' starts and ends so): what
  // `exporter` writes, in 64-bit values when they fit, whatever the width in use, so that the same
  // state always gives the same values; in GMP integers otherwise.
  struct Etat {
    std::vector<long long> v;
    std::vector<mpz_class> grand;
    bool operator==(const Etat&) const = default;
    int profondeur() const { return v.empty() ? static_cast<int>(grand[0].get_si()) : static_cast<int>(v[0]); }
    // x[1..d] in decimal, separated by one blank (d at most the depth).
    std::string premieres(int d) const {
      std::string s;
      for (int t = 1; t <= d; ++t)
        s.append(t > 1 ? " " : "").append(v.empty() ? grand[2 + t].get_str() : std::to_string(v[2 + t]));
      return s;
    }
  };
  Etat etat() const {
    Etat e;
    if (!exporter(e.v)) exporter(e.grand);
    return e;
  }
  void reprendre(const Etat& e) {
    if (e.v.empty())
      importer(e.grand.data());
    else
      importer(e.v.data());
  }

  // After a step: it reported a solution, and stopping right after the last one would leave the
  // state the step left (see Recherche::derniere_complete).
  bool derniere_complete() const {
    return avec([](const auto& rech) { return rech.derniere_complete(); });
  }

  // The positions past d dropped, and x[d] replaced by v <= x[d]: the state the search has when it
  // comes to x[d] = v after the same x[1..d-1].
  void placer(int d, long long v) {
    appliquer_courant([d, v](auto& rech) {
      using Int = std::decay_t<decltype(rech.numerateur())>;
      rech.ramener(d, unitfrac::elargir<Int>(v));
    });
    retrecir();
  }

  // Leaves the rest of the subtree of the first d unknowns unexplored (see Recherche::sauter).
  void sauter(int d) {
    appliquer_courant([d](auto& rech) { rech.sauter(d); });
    retrecir();
  }

  // Whether the next step of both searches is the same, whatever widths they run on.
  bool meme_etat(const Moteur& o) const {
    return avec([&o](const auto& a) { return o.avec([&a](const auto& b) { return a.meme_etat(b); }); });
  }

  // x[t] and minr[t] (t at most the depth) when they fit 64 bits, -1 otherwise.
  long long valeur(int t) const {
    return avec([t](const auto& rech) { return en_64(rech.inconnues()[t]); });
  }
  long long borne_basse(int t) const {
    return avec([t](const auto& rech) { return en_64(rech.minimums()[t]); });
  }

  // The values of the first d unknowns (d at most the depth), in decimal.
  std::vector<std::string> premieres(int d) const {
    return avec([d](const auto& rech) {
      std::vector<std::string> v;
      for (int t = 1; t <= d; ++t) v.push_back(en_texte(rech.inconnues()[t]));
      return v;
    });
  }

  void placer_premiere() {
    executer([](auto& rech) { return rech.placer_premiere(); });
  }
  void placer_debut(long long deb3, int s, int& stop1) {
    executer([&](auto& rech) { return rech.placer_debut(deb3, s, stop1); });
  }

 private:
  // One step, with the invariants of the state it leaves checked in Debug builds.
  template <class Int, class Sink>
  static Pas un_pas(Recherche<Int>& rech, Sink& sink) {
    const Pas p = rech.avancer(sink);
    assert(p == Pas::debordement || rech.coherent());
    return p;
  }

  // The end of the run, for the steps that pass over values at once.
  void borner(const Sortie& s) {
    appliquer_courant([&s](auto& rech) { rech.borner(s.d, s.v); });
  }

  template <class Int>
  void regler_paires(Recherche<Int>& rech) const {
    rech.paires(actives_, toujours_ ? MethodePaires::diviseurs : MethodePaires::automatique, toujours_);
  }

  template <class Int>
  static long long en_64(const Int& x) {
    long long v = 0;
    return convertir(x, v) ? v : -1LL;
  }

  template <class Op>
  void appliquer(Op&& op) {
    op(r64_);
    if (r128_) op(*r128_);
    if (rmpz_) op(*rmpz_);
  }

  // Runs an operation that returns Pas on the engine in use; when it would overflow (it then left
  // the state as it found it), the state moves to the next wider engine and it runs again there.
  template <class Op>
  void executer(Op&& op) {
    for (;;) {
      if (appliquer_courant(op) == Pas::fait) break;
      elargir();
    }
    retrecir();  // takes the step's derniere_complete along
  }

  // A step-level retry rather than a self-widening integer: the search stays on plain machine
  // integers with one overflow flag per product, and the wider engines cost nothing until needed.
  void elargir() {
    if (largeur_ == 64) {
      if (!r128_) r128_.emplace(cree<i128>());
      r128_->charger(r64_);
      largeur_ = 128;
      if (largeur_max_ == 64) largeur_max_ = 128;
    } else {
      if (!rmpz_) rmpz_.emplace(cree<mpz_class>());
      rmpz_->charger(*r128_);
      largeur_ = 0;
      largeur_max_ = 0;
    }
  }

  // Only one solution or one subtree usually needs the wider integers (the last unknown of
  // P/Q = 1 passes 2^63 from n = 8 on): back to the narrowest width the state fits.
  void retrecir() {
    if (largeur_ == 128) {
      if (r64_.charger(*r128_)) largeur_ = 64;
    } else if (largeur_ == 0) {
      if (r64_.charger(*rmpz_)) {
        largeur_ = 64;
      } else {
        if (!r128_) r128_.emplace(cree<i128>());
        if (r128_->charger(*rmpz_)) largeur_ = 128;
      }
    }
  }

  template <class Int>
  Recherche<Int> cree() const {
    Recherche<Int> rech(reg_);
    regler_paires(rech);
    return rech;
  }

  Reglages reg_;
  Recherche<long long> r64_;
  std::optional<Recherche<i128>> r128_;
  std::optional<Recherche<mpz_class>> rmpz_;
  int largeur_ = 64;
  int largeur_max_ = 64;
  bool actives_ = true, toujours_ = false;
};

}  // namespace unitfrac
