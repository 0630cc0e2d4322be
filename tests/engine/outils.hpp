// Small helpers shared by the engine tests: settings from a few numbers, start and end sequences,
// and whole searches collected as lists of decimal strings.
#pragma once

#include <string>
#include <vector>

#include "engine/moteur.hpp"
#include "engine/puits.hpp"

namespace unitfrac::test {

using Liste = std::vector<std::vector<std::string>>;

inline Reglages reglages(int type, int n, long long P, long long Q, int parite = 0, long long M = 0) {
  Reglages reg;
  reg.type = type;
  reg.n = n;
  reg.P1 = reg.P = P;
  reg.Q1 = reg.Q = Q;
  reg.parite = parite;
  reg.z = parite == 0 ? 1 : 2;
  reg.M = reg.Ma = M;
  reg.x2.assign(n + 1, 0);
  reg.x3.assign(n + 1, 0);
  return reg;
}

// The same settings with the end sequence `fin` (switched on even when `fin` is empty).
inline Reglages avec_fin(Reglages reg, const std::vector<long long>& fin) {
  reg.seq2 = 1;
  reg.s2 = static_cast<int>(fin.size());
  for (std::size_t c = 0; c < fin.size(); ++c) reg.x3[c + 1] = fin[c];
  return reg;
}

inline Liste liste(std::initializer_list<std::initializer_list<long long>> sols) {
  Liste l;
  for (const auto& s : sols) {
    std::vector<std::string> v;
    for (long long a : s) v.push_back(std::to_string(a));
    l.push_back(v);
  }
  return l;
}

// Places the typed start values one by one as the start-sequence entry does (none after the first
// that is changed), then x1 at its upper bound when `premiere`: on a Moteur or a Recherche.
template <class R>
void placer(R& r, const std::vector<long long>& debut, bool premiere = false) {
  int stop1 = 0, s = 0;
  for (long long v : debut)
    if (++s, stop1 == 0) r.placer_debut(v, s, stop1);
  if (premiere) r.placer_premiere();
}

// The last two unknowns: each value tried in turn (the step-by-step search), from the divisors of
// b² where the engine finds it cheaper (its default), or wherever they can be used.
enum class Mode { pas_a_pas, auto_, toujours };

// The whole search through the widening engine into `puits`, after the placements; `largeur` gets
// the widest integers it used.
template <class Puits>
Puits courir(const Reglages& reg, Puits puits, Mode mode = Mode::auto_, const std::vector<long long>& debut = {},
             bool premiere = false, int* largeur = nullptr) {
  Moteur m(reg);
  m.paires(mode != Mode::pas_a_pas, mode == Mode::toujours);
  placer(m, debut, premiere);
  m.courir(puits);
  if (largeur != nullptr) *largeur = m.largeur_max();
  return puits;
}

// Its solutions, collected.
inline Liste chercher(const Reglages& reg, Mode mode, const std::vector<long long>& debut = {},
                      bool premiere = false, int* largeur = nullptr) {
  return courir(reg, Collecteur{}, mode, debut, premiere, largeur).solutions;
}

// The same with the engine's default, from depth 0 or from x1 at its upper bound.
inline Liste chercher(const Reglages& reg, bool premiere_placee = false) {
  return chercher(reg, Mode::auto_, {}, premiere_placee);
}

// Collects the solutions and stops after the k-th, as the answer -1 at a pause does.
struct Arret : Collecteur {
  std::size_t k;
  bool arret() const { return solutions.size() == k; }
};

}  // namespace unitfrac::test
