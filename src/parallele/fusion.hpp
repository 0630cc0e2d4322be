// The ordered merge of a parallel search: what the workers prepared goes to the display in the
// order of the one-thread search, so that the display numbers, shows, pauses and tallies exactly
// as it does for the one-thread search. Used by the run driver when more than one thread is asked.
#pragma once

#include <optional>

#include "engine/moteur.hpp"
#include "output/affiche.hpp"
#include "parallele/parallele.hpp"
#include "parallele/temoin.hpp"
#include "suivi/veille.hpp"

namespace unitfrac {

// How a search ended: by itself (the report follows), stopped by the user at a pause before its
// last step, or interrupted (Ctrl-C).
enum class Issue { finie, arretee, interrompue };

// The search from `depart` to its end on cfg.threads workers, each solution handed to `aff` in
// order. With `veille`, its progress line is kept up and Ctrl-C heeded: the solutions found that
// come next in order are then handed over at once, without pause, and `reprise` gets the first
// unknowns of a state at or before the first solution not found.
// `depart` is lent to a worker: it is left in no particular state. When no thread can be started
// (`lancer` fails at once), nothing is done and there is no Issue: the caller runs the search.
// `temoin`, when given, is told of each task and of the whole.
std::optional<Issue> courir_en_parallele(Moteur& depart, Affichage& aff, const Reglages& reg,
                                         const Parallele& cfg, Veille* veille, std::string& reprise,
                                         const Lanceur& lancer = lancer_fil, Temoin* temoin = nullptr);

}  // namespace unitfrac
