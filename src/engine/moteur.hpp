// The search at the width it needs: it runs on long long while every product fits; a step that
// would overflow runs again, from the same state, on __int128, or on mpz_class when 128 bits do
// not suffice either; and the search comes back to long long as soon as its state fits again.
// Used by the dialogue (placements) and the run driver (the forward steps), by tests and benchmarks.
#pragma once

#include <optional>

#include "engine/recherche.hpp"

namespace unitfrac {

class Moteur {
 public:
  explicit Moteur(const Reglages& reg) : reg_(reg), r64_(reg) {}

  // Settings entered after the placements (bound M, end sequence) are taken again.
  void regler(const Reglages& reg) {
    reg_ = reg;
    r64_.regler(reg);
    if (r128_) r128_->regler(reg);
    if (rmpz_) rmpz_->regler(reg);
  }

  // Off: every unknown is tried one value at a time, as the reference search does. Always:
  // wherever the divisors can be used, even where trying each value would be cheaper.
  void paires(bool actives, bool toujours = false) {
    actives_ = actives;
    toujours_ = toujours;
    appliquer([&](auto& rech) {
      rech.paires_actives = actives;
      rech.paires_toujours = toujours;
    });
  }

  int profondeur() const {
    return largeur_ == 64 ? r64_.i : largeur_ == 128 ? r128_->i : rmpz_->i;
  }
  void finir() {
    appliquer([](auto& rech) { rech.i = -1; });
  }
  // The widest integers used so far: 64, 128, or 0 for arbitrary precision.
  int largeur_max() const { return largeur_max_; }

  // One forward step of the search of type reg.type.
  template <class Sink>
  void pas(Sink& sink) {
    executer([&](auto& rech) { return un_pas(rech, sink); });
  }

  // Forward steps while the depth is not negative and the sink does not ask to stop.
  template <class Sink>
  void courir(Sink& sink) {
    while (profondeur() >= 0 && !sink.arret()) {
      if (largeur_ == 64) {
        // performance-critical: the whole search runs in this loop while it fits 64 bits.
        Pas p = Pas::fait;
        while (r64_.i >= 0 && !sink.arret())
          if ((p = un_pas(r64_, sink)) == Pas::debordement) break;
        if (p == Pas::fait) return;
        elargir();
      }
      pas(sink);
    }
  }

  void placer_premiere() {
    executer([](auto& rech) { return rech.placer_premiere(); });
  }
  void placer_debut(long long deb3, int s, int& stop1) {
    executer([&](auto& rech) { return rech.placer_debut(deb3, s, stop1); });
  }

  const Recherche<long long>& recherche64() const { return r64_; }

 private:
  template <class Int, class Sink>
  static Pas un_pas(Recherche<Int>& rech, Sink& sink) {
    return rech.type == 2 ? rech.suite2(sink) : rech.suite(sink);
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
      const Pas p = largeur_ == 64 ? op(r64_) : largeur_ == 128 ? op(*r128_) : op(*rmpz_);
      if (p == Pas::fait) break;
      elargir();
    }
    retrecir();
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
    rech.paires_actives = actives_;
    rech.paires_toujours = toujours_;
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
