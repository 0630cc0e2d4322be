// How a search is shared among threads. The defaults suit the program; the tests set small values
// so that even tiny searches split, yield and check as often as they can.
#pragma once

#include <chrono>
#include <cstddef>

namespace unitfrac {

// The most threads a search may be given: past a few hundred, waking the idle ones costs more
// than they bring (on two cores, 4096 threads make n = 7 twenty times slower than 2).
inline constexpr int fils_maximum = 1024;

struct Parallele {
  int threads = 0;  // workers; 0: one per hardware thread; 1: the search runs in the calling thread alone
  long long pas_echauffement = 1 << 13;  // steps run alone first: most searches end within them
  long long pas_controle = 256;          // steps between two checks of a worker
  // A task gives away the rest of its work when it has run `unite` since it last did, or, when
  // fewer tasks wait than there are workers, `unite_min`.
  std::chrono::microseconds unite{100000}, unite_min{2000};
  std::size_t budget = std::size_t{4} << 20;  // bytes of prepared lines that may wait for the display
  long long seuil_compte = 1 << 14;      // every-K-th display with K at least this: workers count
};

}  // namespace unitfrac
