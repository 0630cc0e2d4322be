// The good-number tally: sorted distinct sums of the displayed solutions with their counts.
// The display records each shown line's sum here; the report lists the tally; the dialogue
// empties it at the start of every calculation.
#include "output/bons.hpp"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <iterator>

namespace unitfrac {

// bons_[1..nbon] is strictly increasing, so the first entry not below b (binary search,
// O(log nbon) comparisons) is where a front-to-back scan would stop: b's own entry if present,
// else the place that keeps the order. Inserting moves the later entries up, O(nbon).
void Bons::inserer(const mpz_class& b) {
  assert(bons_.size() == occur_.size() && !bons_.empty());
  const auto it = std::lower_bound(std::next(bons_.begin()), bons_.end(), b);
  const auto k = it - bons_.begin();
  if (it != bons_.end() && *it == b) {
    ++occur_[static_cast<std::size_t>(k)];
    return;
  }
  bons_.insert(it, b);
  occur_.insert(occur_.begin() + k, 1);
}

void Bons::inserer(const Bon& b) {
  if (b.grand) {
    inserer(b.g);
    return;
  }
  if (b.v >= INT64_MIN && b.v <= INT64_MAX)
    mpz_set_si(tampon_.get_mpz_t(), static_cast<long>(b.v));
  else
    tampon_ = vers_mpz(b.v);
  inserer(tampon_);
}

void Bons::vider() {
  bons_.assign(1, mpz_class(0));
  occur_.assign(1, 0);
}

}  // namespace unitfrac
