// The whole program run in this process on a list of arguments, for the tests of the command line:
// its exit status, standard output and standard error.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/lanceur.hpp"

namespace unitfrac {

struct Sortie {
  int statut;
  std::string out, err;
};

inline Sortie lancer_avec(const std::vector<std::string>& args, const std::string& entree = "") {
  const std::vector<std::string_view> vues(args.begin(), args.end());
  std::istringstream in(entree);
  std::ostringstream out, err;
  const int statut = lancer(vues, in, out, err);
  return {statut, out.str(), err.str()};
}

// The arguments as one line, for failure messages.
inline std::string texte(const std::vector<std::string>& args) {
  std::string t;
  for (const auto& a : args) t += a + ' ';
  return t;
}

}  // namespace unitfrac
