// unitfrac: writes a fraction P/Q as a sum of n unit fractions, through a French console dialogue.
// The only place that touches std::cin and std::cout.
#include <unistd.h>

#include <charconv>
#include <iostream>
#include <string_view>
#include <thread>

#include "dialogue/programme.hpp"

namespace {

// "--threads N" or "--threads=N", N >= 1; false for anything else.
bool lire_threads(int argc, char** argv, int& a, int& threads) {
  std::string_view arg = argv[a], valeur;
  if (arg == "--threads") {
    if (a + 1 >= argc) return false;
    valeur = argv[++a];
  } else if (arg.substr(0, 10) == "--threads=") {
    valeur = arg.substr(10);
  } else {
    return false;
  }
  const auto [fin, ec] = std::from_chars(valeur.data(), valeur.data() + valeur.size(), threads);
  return ec == std::errc() && fin == valeur.data() + valeur.size() && threads >= 1 && threads <= 1024;
}

}  // namespace

int main(int argc, char** argv) {
  unitfrac::Parallele par;
  par.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  for (int a = 1; a < argc; ++a) {
    if (!lire_threads(argc, argv, a, par.threads)) {
      std::cerr << "unitfrac : option invalide '" << argv[a] << "' (--threads N, N entier >= 1)\n";
      return 2;
    }
  }
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);  // the reader flushes before every read itself
  // At a terminal every line is shown at once; into a pipe or a file the output stays buffered
  // between reads, for speed.
  if (isatty(STDOUT_FILENO)) std::cout << std::unitbuf;
  return unitfrac::programme(std::cin, std::cout, par);
}
