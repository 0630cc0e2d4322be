// Small helpers shared by the engine tests: settings from a few numbers, and whole searches
// collected as lists of decimal strings.
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

inline Liste liste(std::initializer_list<std::initializer_list<long long>> sols) {
  Liste l;
  for (const auto& s : sols) {
    std::vector<std::string> v;
    for (long long a : s) v.push_back(std::to_string(a));
    l.push_back(v);
  }
  return l;
}

// The whole search from depth 0 (or from x1 at its upper bound), through the widening engine.
inline Liste chercher(const Reglages& reg, bool premiere_placee = false) {
  Moteur m(reg);
  if (premiere_placee) m.placer_premiere();
  Collecteur c;
  m.courir(c);
  return c.solutions;
}

// The same search run on one integer type from the start; fails the test if it overflows.
template <class Int>
Liste chercher_en(const Reglages& reg) {
  Recherche<Int> rech(reg);
  Collecteur c;
  while (rech.i >= 0) {
    const Pas p = rech.type == 2 ? rech.suite2(c) : rech.suite(c);
    if (p == Pas::debordement) return {{"debordement"}};
  }
  return c.solutions;
}

}  // namespace unitfrac::test
