// unitfrac: writes a fraction P/Q as a sum of n unit fractions, through a French console dialogue
// or, from options, one calculation without questions. The only place that touches std::cin,
// std::cout and std::cerr.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include <iostream>
#include <string_view>
#include <vector>

#include "dialogue/lanceur.hpp"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);  // the reader flushes before every read itself
  // At a terminal every line is shown at once; into a pipe or a file the output stays buffered
  // between reads, for speed.
  if (isatty(STDOUT_FILENO)) std::cout << std::unitbuf;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  unitfrac::Console console;
  const char* term = std::getenv("TERM");
  console.terminal = isatty(STDERR_FILENO) && !(term != nullptr && std::string_view(term) == "dumb");
  winsize w{};
  if (console.terminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &w) == 0 && w.ws_col > 0) console.largeur = w.ws_col;
  console.interruptions = true;
  return unitfrac::lancer(args, std::cin, std::cout, std::cerr, console);
}
