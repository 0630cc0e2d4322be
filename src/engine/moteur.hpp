// The search at the width it needs: it runs on long long while every product fits, then goes on
// from the same point on __int128, and from there on mpz_class. Used by the dialogue (placements)
// and the run driver (the forward steps), by the tests and the benchmarks.
#pragma once

#include <variant>

#include "engine/recherche.hpp"

namespace unitfrac {

class Moteur {
 public:
  explicit Moteur(const Reglages& reg) : etat_(std::in_place_type<Recherche<long long>>, reg) {}

  // Settings entered after the placements (bound M, end sequence) are taken again.
  void regler(const Reglages& reg) {
    std::visit([&](auto& rech) { rech.regler(reg); }, etat_);
  }

  // Off: every unknown is tried one value at a time, as the reference search does.
  // Always: wherever the divisors can be used, even where trying each value would be cheaper.
  void paires(bool actives, bool toujours = false) {
    std::visit([&](auto& rech) {
      rech.paires_actives = actives;
      rech.paires_toujours = toujours;
    }, etat_);
  }

  int profondeur() const {
    return std::visit([](const auto& rech) { return rech.i; }, etat_);
  }
  void finir() {
    std::visit([](auto& rech) { rech.i = -1; }, etat_);
  }
  // 64, 128, or 0 for arbitrary precision.
  int largeur() const { return etat_.index() == 0 ? 64 : etat_.index() == 1 ? 128 : 0; }

  // One forward step of the search of type reg.type.
  template <class Sink>
  void pas(Sink& sink) {
    executer([&](auto& rech) { return rech.type == 2 ? rech.suite2(sink) : rech.suite(sink); });
  }

  // Forward steps while the depth is not negative and the sink does not ask to stop.
  template <class Sink>
  void courir(Sink& sink) {
    for (;;) {
      const bool fini = std::visit(
          [&](auto& rech) {
            // performance-critical: the whole search runs in this loop.
            while (rech.i >= 0 && !sink.arret()) {
              const Pas p = rech.type == 2 ? rech.suite2(sink) : rech.suite(sink);
              if (p == Pas::debordement) return false;
            }
            return true;
          },
          etat_);
      if (fini) return;
      elargir_etat();
    }
  }

  void placer_premiere() {
    executer([](auto& rech) { return rech.placer_premiere(); });
  }
  void placer_debut(long long deb3, int s, int& stop1) {
    executer([&](auto& rech) { return rech.placer_debut(deb3, s, stop1); });
  }

  template <class Int>
  const Recherche<Int>& recherche() const { return std::get<Recherche<Int>>(etat_); }

 private:
  // Runs an operation that returns Pas; when it would overflow, the state moves to the next
  // wider type (the operation left it as it found it) and the operation runs again there.
  template <class Op>
  void executer(Op&& op) {
    while (std::visit(op, etat_) == Pas::debordement) elargir_etat();
  }

  // Why a step-level retry rather than a self-widening integer: the search stays on plain machine
  // integers, with one overflow flag per product, and the wider engines cost nothing until needed.
  void elargir_etat() {
    if (etat_.index() == 0) {
      Recherche<i128> large(std::get<0>(etat_));
      etat_.emplace<Recherche<i128>>(std::move(large));
    } else {
      Recherche<mpz_class> grand(std::get<1>(etat_));
      etat_.emplace<Recherche<mpz_class>>(std::move(grand));
    }
  }

  std::variant<Recherche<long long>, Recherche<i128>, Recherche<mpz_class>> etat_;
};

}  // namespace unitfrac
