// Sinks for the search when no console is involved: a counter and a collector of solutions, in
// decimal text so that searches of any width compare directly. Used by the tests and benchmarks.
#pragma once

#include <string>
#include <vector>

#include "engine/entier.hpp"

namespace unitfrac {

struct Compteur {
  long long K = 0;
  template <class Int>
  void operator()(const std::vector<Int>&) { ++K; }
  bool arret() const { return false; }
};

struct Collecteur {
  std::vector<std::vector<std::string>> solutions;
  template <class Int>
  void operator()(const std::vector<Int>& x) {
    std::vector<std::string> s;
    for (std::size_t a = 1; a < x.size(); ++a) s.push_back(en_texte(x[a]));
    solutions.push_back(std::move(s));
  }
  bool arret() const { return false; }
};

}  // namespace unitfrac
