// The results of shards: the one a calculation run with --resultat writes, and their merge
// (--fusion) into the report lines of the whole calculation.
#pragma once

#include <chrono>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "state/options.hpp"
#include "tranches/tranche.hpp"
#include "output/affiche.hpp"
#include "output/bons.hpp"

namespace unitfrac {

// The good numbers of a result or a checkpoint ("value:count,..." in increasing order) added to
// the tally; false when ill-formed.
bool lire_bons(const std::string& texte, Bons& bons);
// The tally in that form.
std::string texte_bons(const Bons& bons);

// The options that give the calculation `reg` (what identifies the calculation in a result).
std::string options_du_calcul(const Reglages& reg);

// The result of the calculation `opt` that `aff` and `bons` hold, written to opt.resultat whole
// or not at all (a new file renamed over the old one). False when it cannot be written.
bool ecrire_resultat_tranche(const Options& opt, const Affichage& aff, const Bons& bons, double secondes);

// The merge of the results in opt.fichiers ("-": `in`): the report lines of the unsharded run on
// `out` and 0; or one French line on `err` and 2 for an unreadable file or line, a shard missing
// or twice, or results of different calculations.
int fusionner_resultats(const Options& opt, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace unitfrac
