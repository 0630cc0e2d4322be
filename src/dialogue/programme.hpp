// The program's loop: banner, explanations, then one calculation after another until the user
// declines a new one. Works on any pair of streams so that whole dialogues can be tested.
#pragma once

#include <istream>
#include <ostream>

#include "dialogue/calcul.hpp"

namespace unitfrac {

// Runs the whole dialogue on `in` and `out`; returns the exit status: 1 when the user ends it,
// 3 when the input ends before the user does (one newline is written first). `ex` says how the
// searches run. Throws EchecEcriture when `out` fails.
int programme(std::istream& in, std::ostream& out, const Execution& ex = {});

// The explanation page, as written after the answer 1 to the explanation question.
void explications(std::ostream& out);

}  // namespace unitfrac
