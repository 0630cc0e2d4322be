// What main runs: `lancer` reads the command line and does what it asks, and the one-calculation
// mode it runs for options that describe a calculation.
#pragma once

#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

#include "dialogue/calcul.hpp"
#include "state/options.hpp"

namespace unitfrac {

// One calculation from options: the table of solutions and the report exactly as the dialogue
// writes them after the same answers, or only the number of solutions. The search runs on
// opt.parallele, watched by `veille` and observed by `temoin` when they are given.
void calcul_options(const Options& opt, std::ostream& out, Veille* veille = nullptr, Temoin* temoin = nullptr);

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
