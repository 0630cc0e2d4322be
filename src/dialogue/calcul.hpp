// One calculation at the console: the dialogue that sets it up (questions, reduction of P/Q,
// start and end sequences), then the run driver (data check, heading, search loop, closing line,
// report, closing lines). Owned by the program loop, which calls `calcul` once per calculation.
#pragma once

#include <ostream>

#include "engine/moteur.hpp"
#include "input/controle.hpp"
#include "output/affiche.hpp"
#include "output/bons.hpp"
#include "parallele/parallele.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

// The largest number of unknowns accepted: a larger answer is refused and asked again.
inline constexpr long long n_maximum = 1000000;

// The line written after "FIN DU CALCUL".
inline constexpr const char* credit = " \t  unitfrac : toutes les solutions, en nombres entiers exacts.";

class Calculs {
 public:
  Calculs(Lecteur& lecteur, std::ostream& out, const Parallele& par = {})
      : lecteur_(lecteur), out_(out), par_(par), aff_(out, lecteur, reg_, bons_) {}

  // One whole calculation; returns 0.
  int calcul();

 private:
  // The questions; returns the search placed as the answers ask (depth 0, x1 placed, or the
  // start sequence placed).
  Moteur dialogue();
  void fin_dialogue();  // good numbers, bound parity, paging
  void entree_debut(Moteur& moteur);
  void entree_fin();
  void run(Moteur& moteur);

  Lecteur& lecteur_;
  std::ostream& out_;
  const Parallele par_;
  Reglages reg_;
  Bons bons_;
  Affichage aff_;
};

}  // namespace unitfrac
