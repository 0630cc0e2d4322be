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
#include "state/reglages.hpp"

namespace unitfrac {

struct Options {
  enum class Action { dialogue, aide, version, calcul };
  enum class Statut { terminal, toujours, jamais };

  Action action = Action::dialogue;
  Parallele parallele;                // threads of the search (0: as many as hardware threads)
  Statut statut = Statut::terminal;   // progress line: when standard error is a terminal, always, never
  Reglages reg;                       // the calculation (Action::calcul), as the dialogue leaves it
  long long L = 0;                    // paging value: 0 every solution, -K every K-th
  bool compte = false;                // write only the number of solutions
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

// The whole program: returns the exit status (0 calculation or help done, 1 and 3 from the
// dialogue, 2 usage error, 4 failed write to `out`). Messages go to `err`.
int lancer(const std::vector<std::string_view>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace unitfrac
