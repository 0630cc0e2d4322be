// The settings of one calculation: the answers of the dialogue, reduced and adjusted.
// The dialogue fills them; the search, the display and the report read them by const&.
#pragma once

#include <vector>

namespace unitfrac {

struct Reglages {
  int type = 1;          // 1: x1 <= ... <= xn; 2: x1 < ... < xn
  int n = 1;             // number of unknowns
  long long P1 = 0;      // numerator as entered
  long long Q1 = 0;      // denominator as entered
  long long pg = 1;      // gcd(P1, Q1)
  long long P = 1;       // reduced numerator
  long long Q = 1;       // reduced denominator
  int tri = 0;           // 1: the user selects solutions (parity, sequences, bound)
  int parite = 0;        // 0 any, 1 all odd, 2 all even
  int z = 1;             // step between candidates: 2 when a parity is imposed
  int seq = 0;           // 1: a start sequence was asked for
  int seq2 = 0;          // 1: an end sequence was asked for
  long long M = 0;       // bound on xn after the parity adjustment, 0 for none
  long long Ma = 0;      // bound on xn as entered
  int cptbon = 0;        // 1: good numbers are tallied
  int s = 0;             // number of start values stored
  std::vector<long long> x2 = {0};  // start sequence as typed, positions 1..s
  int s2 = 0;            // number of end values stored
  std::vector<long long> x3 = {0};  // end sequence as typed, positions 1..s2
};

}  // namespace unitfrac
