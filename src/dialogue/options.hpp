// The command line read into Options (state/options.hpp), and the help text.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "state/options.hpp"

namespace unitfrac {

// Reads the arguments (without the program name) into `opt`. False, with a one-line French
// message naming the option in `erreur`, for an unknown option, a missing or ill-formed value,
// or settings the dialogue would not accept.
bool analyser(const std::vector<std::string_view>& args, Options& opt, std::string& erreur);

// The usage text of --help.
void aide(std::ostream& out);

}  // namespace unitfrac
