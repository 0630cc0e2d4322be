// unitfrac: writes a fraction P/Q as a sum of n unit fractions, through a French console dialogue.
// The only place that touches std::cin and std::cout.
#include <unistd.h>

#include <iostream>

#include "dialogue/programme.hpp"

int main() {
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);  // the reader flushes before every read itself
  // At a terminal every line is shown at once; into a pipe or a file the output stays buffered
  // between reads, for speed.
  if (isatty(STDOUT_FILENO)) std::cout << std::unitbuf;
  return unitfrac::programme(std::cin, std::cout);
}
