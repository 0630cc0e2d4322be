// How much work a search has: the number of steps it takes at depth n - 2 (each solves the last
// two unknowns of a prefix, and together they take nearly all its time), from a given state to
// the end of the search. The prefixes are listed down to a depth where they stay few enough;
// from depth n - 3 the count is exact (the candidates of x(n-2) are counted); below a shallower
// depth each prefix is measured by random descents weighted by the number of choices at each
// level (Knuth's estimator), and more descents refine the estimate as time allows.
// Works in slices of bounded time. Used by the progress line of long runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/moteur.hpp"

namespace unitfrac {

class Estimation {
 public:
  // Deeper searches are not measured: each descent would cost milliseconds, and the time spent
  // measuring would hold up the search's looks at Ctrl-C.
  static constexpr int kInconnuesMax = 10000;

  // The search with settings `reg` from the state `depart` (between two steps, Moteur::etat) to
  // its end. `strates` bounds the prefixes listed one by one.
  Estimation(const Reglages& reg, const Moteur::Etat& depart, double strates = 400000);

  // Works for about `duree`. True once a first estimate exists.
  bool travailler(std::chrono::nanoseconds duree);
  bool prete() const { return pret_; }
  // The steps at depth n - 2 from `depart` to the end of the search (once prete()).
  double feuilles() const;
  // Counted rather than estimated.
  bool exacte() const { return pret_ && strates_.empty(); }

 private:
  // Positions d waiting to be visited: values v, v - z, ... down to lo.
  struct Cadre {
    int d;
    i128 v, lo;
  };
  // The values v, v - z, ... >= lo of position d after a prefix, measured by descents: d, the
  // prefix x[1..d-1], v and lo in `prefixes_` from `debut`; the sum and number of estimates.
  struct Strate {
    std::size_t debut;
    double somme = 0;
    long long sondes = 0;
  };

  // After a prefix: candidates for the next position, none, or the end of the search.
  enum class Suite { candidats, aucune, fin };

  bool poser(int d, i128 v);
  Suite bornes(int d, i128& lo, i128& hi, i128& nombre) const;
  double sonder(int d);
  void visiter(int d);
  bool pas_suivant();
  void choisir_profondeur();
  void raffiner(std::size_t k);
  i128 au_hasard(i128 nombre);

  const Recherche<i128> r_;     // the candidates of the next position, from x_, N_, D_
  double strates_max_;
  int n_ = 0, f_ = 0, s_ = 0;   // unknowns, depth of the steps counted (n - 2), of the strata
  int z_ = 1;                   // step between candidates
  std::vector<i128> x_, N_, D_; // the prefix being visited and its partial sums
  std::vector<Cadre> pile_;
  bool fin_ = false;            // the end of the search is reached: nothing after it counts
  bool pret_ = false;
  double exact_ = 0;            // steps counted exactly
  std::vector<Strate> strates_;
  std::vector<i128> prefixes_;  // the values x[1..s] of each stratum, one after another
  std::size_t prochaine_ = 0;   // the stratum to refine next
  std::mt19937_64 hasard_{12345};
};

}  // namespace unitfrac
