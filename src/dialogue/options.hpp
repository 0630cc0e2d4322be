// The command line: what the program is asked to do (the dialogue, the help, the version, or one
// calculation from options), the execution settings (threads, progress line), and the settings of
// that calculation, checked by the dialogue's own rules. main hands its arguments to `lancer`.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "parallele/parallele.hpp"
#include "suivi/veille.hpp"
#include "state/reglages.hpp"
#include "tranches/tranche.hpp"

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
  Veille* veille = nullptr;           // the progress line and Ctrl-C, when the program watches searches
};

// Reads the arguments (without the program name) into `opt`. False, with a one-line French
// message naming the option in `erreur`, for an unknown option, a missing or ill-formed value,
// or settings the dialogue would not accept.
bool analyser(const std::vector<std::string_view>& args, Options& opt, std::string& erreur);

// The usage text of --help.
void aide(std::ostream& out);

// One calculation from options: the table of solutions and the report exactly as the dialogue
// writes them after the same answers, or only the number of solutions.
void calcul_options(const Options& opt, std::ostream& out);

// What main knows of the console: standard error is a terminal that understands control codes
// (and its width), and Ctrl-C is to be heeded during searches.
struct Console {
  bool terminal = false;
  int largeur = 80;
  bool interruptions = false;
};

// The whole program: returns the exit status (0 calculation or help done, 1 and 3 from the
// dialogue, 2 usage error, 4 failed write to `out` or to the result file, 128 + the signal for a
// search interrupted by SIGINT (Ctrl-C), SIGTERM or SIGHUP). Messages and the progress line go to
// `err`.
int lancer(const std::vector<std::string_view>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const Console& console = {});

}  // namespace unitfrac
