// The work of a search, measured without running it: the search tree walked prefix by prefix
// with the bounds the search gives each position, and the heads x[1..n-2] (each one two-unknown
// step, together nearly all the time of a search) weighted by what their step costs, which grows
// with the size of b = Q·x[1]···x[n-2] reduced. The progress line (suivi/estimation.hpp) and the
// shards (tranches/plan.hpp) count the work ahead with it; the search counts the work done with
// `poids_tete`, in the same units.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/entier.hpp"
#include "engine/recherche.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

// The weight of one head whose b is at most bits long (b < 2^bits), relative to one of 40 bits:
// fitted on measured times of heads of n = 8 and n = 9 (bench/paires_bench.cpp).
double poids_tete(int bits);

// A prefix x[1..d] of the search and what the search gives the position after it.
class Arbre {
 public:
  explicit Arbre(const Reglages& reg);

  int n() const { return reg_.n; }
  int z() const { return reg_.z; }
  // x[d] = v with the partial sum of x[1..d]; false when it leaves 128 bits.
  bool poser(int d, i128 v);
  i128 x(int d) const { return x_[d]; }

  // The candidates of x[d+1] after x[1..d], as the search visits them: haut, haut - z, ... down
  // to bas, `nombre` of them. None (false) when the search backtracks at once, passes over them
  // (out of bound, an exact last value whose subtree is its one solution) or ends there (`fin`).
  struct Candidats {
    i128 haut = 0, bas = 0, nombre = 0;
    bool fin = false;  // the search ends at this prefix
  };
  bool candidats(int d, Candidats& c);

  // The heads x[1..n-3], c for c from haut down to bas (step z), weighted; x[1..n-3] posed.
  double poids_tetes(i128 haut, i128 bas);

 private:
  Reglages reg_;
  Recherche<i128> r_;           // the bound computation
  std::vector<i128> x_, N_, D_; // the prefix and its partial sums
};

}  // namespace unitfrac
