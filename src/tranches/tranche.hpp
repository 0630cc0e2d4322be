// One shard of a calculation (--tranche I/K) and the result line a shard writes (--resultat)
// for the merge (dialogue/assemblage.hpp). Shard I runs the search from the end of the subtree of
// cut I - 1 of the plan (tranches/plan.hpp) to the end of that of cut I: the start as a placement
// followed by a jump over that subtree (dialogue/regles.hpp), the end as an end sequence.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include <gmpxx.h>

#include "state/tranche.hpp"

namespace unitfrac {

// "I/K" with 1 <= I <= K <= tranches_maximum.
bool lire_tranche(std::string_view v, Tranche& t);

// Of two end sequences (solutions at or before them in the order of the search), the one that
// keeps fewer solutions: where they differ the higher value, else the longer one.
std::vector<long long> fin_commune(const std::vector<long long>& a, const std::vector<long long>& b);

// What a shard writes for the merge.
struct Resultat {
  std::string calcul;  // the options that give the calculation
  std::string forme;   // tableau, brut or compte
  Tranche tranche;
  long long solutions = 0;
  mpz_class xn_max, x1_min;  // of the shard's solutions (0 without any)
  double secondes = 0;
  std::string bons;  // "value:count," for each good number in increasing order, with the tally
};

// One line: "unitfrac-resultat 1" then tab-separated key=value fields.
void ecrire_resultat(std::ostream& out, const Resultat& r);
// False when the line is not a result of this version.
bool lire_resultat(std::string_view ligne, Resultat& r);

}  // namespace unitfrac
