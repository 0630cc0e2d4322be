// The ordered merge of a parallel search: what the workers prepared goes to the display in the
// order of the one-thread search, so that the display numbers, shows, pauses and tallies exactly
// as it does for the one-thread search. Used by the run driver when more than one thread is asked.
#pragma once

#include "engine/moteur.hpp"
#include "output/affiche.hpp"
#include "parallele/parallele.hpp"

namespace unitfrac {

// The search from `depart` to its end on cfg.threads workers, each solution handed to `aff` in
// order. True when the search ended by itself (the report follows), false when the user stopped it
// at a pause before its last step.
bool courir_en_parallele(const Moteur& depart, Affichage& aff, const Reglages& reg,
                         const Parallele& cfg);

}  // namespace unitfrac
