// The cut of a calculation into K shards of about equal work, the same wherever it is computed:
// the search from its start to its end is cut at K - 1 points, each the state the search reaches
// right after the subtree of a prefix x[1..d] (tranches/tranche.hpp runs the search between two
// of them). The work is that of engine/travail.hpp: the heads weighted by their cost, counted
// where the tree is small and measured by seeded random descents where it is not. Used by the
// option --tranche and by the shard tests and benchmarks.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/moteur.hpp"

namespace unitfrac {

struct Plan {
  // The cut points in the order of the search: shard I (1 <= I <= K) runs from the end of the
  // subtree of coupures[I-2] (from the start for I = 1) to the end of that of coupures[I-1] (to
  // the end of the search for I = K). An empty prefix stands for the end of the search.
  std::vector<std::vector<long long>> coupures;
  std::vector<double> poids;  // the estimated work of each shard
  double total = 0;           // of the whole search, in heads of 40 bits
  bool exact = true;          // every weight counted (no descent)
};

// The plan of the search from `depart` (between two steps, as the dialogue leaves it) cut in K.
Plan planifier(const Moteur& depart, long long K);

}  // namespace unitfrac
