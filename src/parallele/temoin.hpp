// What a parallel search tells whoever watches it from outside (tests, benchmarks): by default
// nothing. A test may also have every split give away a wrong state, which the merge must catch.
#pragma once

#include <chrono>

namespace unitfrac {

class Temoin {
 public:
  virtual ~Temoin() = default;
  // A worker, before it runs task number `numero`, and after, with the time it took.
  virtual void avant_tache(long long /*numero*/) {}
  virtual void apres_tache(long long /*numero*/, std::chrono::nanoseconds /*duree*/) {}
  // At the end: how many tasks the search made, and how often it went on from the end of a task
  // because the next one did not start there.
  virtual void bilan(long long /*taches*/, long long /*reprises*/) {}
  virtual bool partages_faux() const { return false; }
};

}  // namespace unitfrac
