// Splitting a task at its shallowest unknown that leaves work to give.
#include "parallele/decoupe.hpp"

#include <algorithm>

namespace unitfrac {

std::optional<Moteur::Etat> partager(Moteur& courant, Moteur::Sortie& sortie, int& vide) {
  const Reglages& reg = courant.reglages();
  const int premier = std::max(1, sortie.profondeur + 1);
  vide = std::max(vide, premier - 1);
  for (int d = vide + 1; d <= courant.profondeur(); ++d) {
    // The values x[d] takes after the current one: from x[d] - z down to the lowest the search
    // gives it after x[1..d-1] (and not below the task's own bound on x[d]).
    const long long xd = courant.valeur(d), minr = courant.borne_basse(d);
    const long long avant = d == 1 ? 0 : courant.valeur(d - 1);
    if (xd < 0 || minr < 0 || avant < 0) continue;
    long long bas = std::max(minr, reg.type == 2 ? avant + 1 : avant);
    if (sortie.d == d) bas = std::max(bas, sortie.v);
    if (xd - reg.z < bas) {
      // Nothing to give here, for as long as the task runs: the search can lower x[d] only
      // after x[d+1..] are exhausted, and then only if it has values left, which it has not.
      if (vide == d - 1) vide = d;
      continue;
    }
    // Half of them stay with the task, which ends after the subtree of x[d] = v.
    const long long apres = (xd - reg.z - bas) / reg.z + 1;
    const long long v = xd - reg.z * (apres / 2);
    const Moteur::Etat ici = courant.etat();
    courant.placer(d, v);
    courant.sauter(d);
    std::optional<Moteur::Etat> suite;
    if (courant.profondeur() > sortie.profondeur) suite = courant.etat();
    courant.reprendre(ici);
    if (!suite) continue;
    sortie = {d - 1, d, v};
    return suite;
  }
  return std::nullopt;
}

}  // namespace unitfrac
