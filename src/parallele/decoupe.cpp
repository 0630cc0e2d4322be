// Splitting a task at its shallowest unknown that leaves work to give.
#include "parallele/decoupe.hpp"

namespace unitfrac {

std::optional<Moteur> partager(const Moteur& courant, int& sortie) {
  for (int d = sortie + 1; d < courant.profondeur(); ++d) {
    Moteur suite = courant;
    suite.sauter(d);
    if (suite.profondeur() > sortie) {
      sortie = d;
      return suite;
    }
  }
  return std::nullopt;
}

}  // namespace unitfrac
