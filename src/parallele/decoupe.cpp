// Splitting a task at its shallowest unknown that leaves work to give.
#include "parallele/decoupe.hpp"

#include <algorithm>

namespace unitfrac {

std::optional<Moteur> partager(const Moteur& courant, Moteur::Sortie& sortie) {
  const Reglages& reg = courant.reglages();
  for (int d = std::max(1, sortie.profondeur + 1); d <= courant.profondeur(); ++d) {
    // The values x[d] takes after the current one: from x[d] - z down to the lowest the search
    // gives it after x[1..d-1] (and not below the task's own bound on x[d]).
    const long long xd = courant.valeur(d), minr = courant.borne_basse(d);
    const long long avant = d == 1 ? 0 : courant.valeur(d - 1);
    if (xd < 0 || minr < 0 || avant < 0) continue;
    long long bas = std::max(minr, reg.type == 2 ? avant + 1 : avant);
    if (sortie.d == d) bas = std::max(bas, sortie.v);
    if (xd - reg.z < bas) continue;
    // Half of them stay with the task, which ends after the subtree of x[d] = v.
    const long long apres = (xd - reg.z - bas) / reg.z + 1;
    const long long v = xd - reg.z * (apres / 2);
    Moteur suite = courant;
    suite.placer(d, v);
    suite.sauter(d);
    if (suite.profondeur() <= sortie.profondeur) continue;
    sortie = {d - 1, d, v};
    return suite;
  }
  return std::nullopt;
}

}  // namespace unitfrac
