// One calculation at the console: the dialogue that sets it up (questions, reduction of P/Q,
// start and end sequences), then the run driver `conduire` (data check, heading, search loop,
// closing line, report, closing lines), which the option mode shares. Owned by the program loop,
// which calls `calcul` once per calculation.
#pragma once

#include <ostream>
#include <vector>

#include "dialogue/reprise.hpp"
#include "engine/moteur.hpp"
#include "input/controle.hpp"
#include "output/affiche.hpp"
#include "output/bons.hpp"
#include "parallele/temoin.hpp"
#include "state/partage.hpp"
#include "state/reglages.hpp"
#include "suivi/veille.hpp"

namespace unitfrac {

// How the searches of a run are carried out: their threads and, when the program watches them,
// the progress line and Ctrl-C (`veille`), and whoever observes a parallel search (`temoin`).
struct Execution {
  Parallele parallele;
  Veille* veille = nullptr;
  Temoin* temoin = nullptr;
};

// The pause's question put to the console reader: a signed integer.
inline Demande demande_au(Lecteur& lecteur) {
  return [&lecteur](std::string_view question) {
    lecteur.controle(Cas::relatif, question);
    return lecteur.valeur;
  };
}

// The line written after "FIN DU CALCUL".
inline constexpr const char* credit = " \t  unitfrac : toutes les solutions, en nombres entiers exacts.";

// The run of one calculation from the placed search: the data check P/Q >= n/M, the heading, the
// search with its solution lines (shown by `aff`, whose L is the paging value), the partial-table
// closing line, the report and the closing lines. `ex` says how the search runs; `acquis`, the count, extremes and tally of a checkpoint the search goes on from.
// Throws EchecEcriture once the solution lines could not be written: the search stops at the
// first failed write.
void conduire(std::ostream& out, const Reglages& reg, Moteur& moteur, Affichage& aff, const Bons& bons,
              const Execution& ex, const PointReprise* acquis = nullptr);

class Calculs {
 public:
  Calculs(Lecteur& lecteur, std::ostream& out, const Execution& ex)
      : lecteur_(lecteur), out_(out), ex_(ex), aff_(out, demande_au(lecteur), reg_, bons_) {}

  // One whole calculation; returns 0.
  int calcul();

 private:
  // The questions; returns the search placed as the answers ask (depth 0, x1 placed, or the
  // start sequence placed).
  Moteur dialogue();
  void fin_dialogue();  // good numbers, bound parity, paging
  int entree_sequence(std::vector<long long>& x);
  void entree_fin();

  Lecteur& lecteur_;
  std::ostream& out_;
  const Execution& ex_;
  Reglages reg_;
  Bons bons_;
  Affichage aff_;
};

}  // namespace unitfrac
