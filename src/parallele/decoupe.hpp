// Splitting the search into tasks. A task runs the one-thread search from a state (between two
// steps) until it reaches its exit (Moteur::Sortie); the tasks, one after another, make up the
// one-thread search. A task splits at its shallowest unknown that has values still to come: it
// keeps half of them and gives away the rest.
#pragma once

#include <optional>

#include "engine/moteur.hpp"

namespace unitfrac {

// From `courant`, the state of a task whose exit is `sortie`: at the smallest depth d below the
// exit depth where x[d] has values still to come in the task, the task keeps the current value and
// half of those, down to some v, and ends once past x[d] = v (`sortie` becomes that exit); the
// state the search reaches there is returned, and a task from it to the old exit does the rest.
// None, with `sortie` unchanged, when there is nothing to give. `courant` is used to find that
// state and left as it was. `vide` (0 for a new task) keeps, from one call to the next, the depth
// down to which the task has nothing to give: those positions stay as they are until the task
// ends, so each is looked at once, and a call costs the depth only when it gives work away.
std::optional<Moteur::Etat> partager(Moteur& courant, Moteur::Sortie& sortie, int& vide);

}  // namespace unitfrac
