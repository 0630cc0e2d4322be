// One run of the whole program on a fuzzer's bytes, and the checks of what must always hold.
// Used by the libFuzzer target (cible.cpp) and by the replay of its corpus in the test suite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace unitfrac::fuzz {

// Runs the program's loop with `donnees` as its standard input (a few answers capped, see
// dialogue_fuzz.cpp) and returns what went wrong, or an empty text when every check holds.
std::string verifier_dialogue(const std::uint8_t* donnees, std::size_t taille);

}  // namespace unitfrac::fuzz
