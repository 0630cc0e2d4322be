// Which shard of a calculation to run (--tranche I/K): shard I of K.
#pragma once

namespace unitfrac {

struct Tranche {
  long long I = 1, K = 1;
};

// The most shards a calculation is cut into.
inline constexpr long long tranches_maximum = 10'000'000;

}  // namespace unitfrac
