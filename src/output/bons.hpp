// The good-number tally: the distinct sums x1 + ... + xn of the displayed solutions, in increasing
// order, each with the number of displayed lines that produced it. Filled by the display (and, for
// a count with the tally, by the workers of a parallel search, one tally per task), listed by the
// final report and by the plain "sum count" lines, emptied at the start of every calculation.
#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string_view>
#include <vector>

#include "engine/entier.hpp"

namespace unitfrac {

// A good number: `v` when it fits __int128 (n values below 2^63 always do), `g` otherwise.
struct Bon {
  bool grand = false;
  i128 v = 0;
  mpz_class g;
};

class Bons {
 public:
  // Records one good number (never negative): raises its count, or adds it with count 1.
  void inserer(const mpz_class& b);
  void inserer(const Bon& b);
  // Adds the counts of another tally.
  void ajouter(const Bons& autre);
  // Adds good numbers with their counts: values below 2^64 sorted and distinct, in `v` and `k`;
  // a larger one alone (the merge of shards reads them so).
  void ajouter(const std::vector<std::uint64_t>& v, const std::vector<long long>& k);
  void ajouter(const mpz_class& b, long long nombre) { grands_[b] += nombre; }
  // Back to the empty tally.
  void vider();

  // The number of distinct good numbers.
  long long nbon() const;
  // For each distinct good number in increasing order: `avant`, the value, `milieu`, its count,
  // `apres` (the report: ": ", "[", "]  "; the plain form: "", " ", "\n").
  void lister(std::ostream& out, std::string_view avant, std::string_view milieu, std::string_view apres) const;
  // The memory it holds.
  std::size_t octets() const;

 private:
  void attendre(std::uint64_t v);
  void ranger() const;
  void fusionner(const std::vector<std::uint64_t>& v, const std::vector<long long>& k) const;

  // Values below 2^64 (nearly all): the sorted distinct ones with their counts, and the values
  // recorded since, sorted and merged in once they are as many (or when the tally is read). Each
  // value is sorted once and each merge moves at most two entries per value waiting: O(log m) per
  // record.
  mutable std::vector<std::uint64_t> valeurs_, attente_;
  mutable std::vector<long long> nombres_;
  std::map<mpz_class, long long> grands_;  // from 2^64 on: a small share
};

}  // namespace unitfrac
