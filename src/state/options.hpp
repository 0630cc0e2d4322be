// What the command line asks for: the dialogue, the help, the version, one calculation from options
// or the merge of shard results; the execution settings (threads, progress line) and the settings of
// that calculation, checked by the dialogue's own rules. Plain data, read by the launcher
// (dialogue/lanceur.hpp) and the subsystems it calls.
#pragma once

#include <string>
#include <vector>

#include "state/partage.hpp"
#include "state/reglages.hpp"
#include "state/tranche.hpp"

namespace unitfrac {

struct Options {
  enum class Action { dialogue, aide, version, calcul, fusion };
  enum class Statut { terminal, toujours, jamais };

  Action action = Action::dialogue;
  Parallele parallele;                // threads of the search (0: as many as hardware threads)
  Statut statut = Statut::terminal;   // progress line: when standard error is a terminal, always, never
  Reglages reg;                       // the calculation (Action::calcul), as the dialogue leaves it
  long long L = 0;                    // paging value: 0 every solution, -K every K-th
  bool compte = false;                // write only the number of solutions (and the tally)
  bool brut = false;                  // plain lines: the values of each solution, nothing else
  Tranche tranche;                    // the shard of the calculation to run (1/1: all of it)
  std::string resultat;               // where to write the result line for the merge ("" none)
  std::vector<std::string> fichiers;  // the results to merge (Action::fusion)
  std::string reprise;                // the checkpoint file of a count ("" none)
  int intervalle = 60;                // seconds between two checkpoints
};

}  // namespace unitfrac
