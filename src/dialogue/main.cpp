// unitfrac: writes a fraction P/Q as a sum of n unit fractions, through a French console dialogue
// or, from options, one calculation without questions. The only place that touches std::cin,
// std::cout and std::cerr.
#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "dialogue/options.hpp"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);  // the reader flushes before every read itself
  // At a terminal every line is shown at once; into a pipe or a file the output stays buffered
  // between reads, for speed.
  if (isatty(STDOUT_FILENO)) std::cout << std::unitbuf;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return unitfrac::lancer(args, std::cin, std::cout, std::cerr);
}
