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
// None, with `sortie` unchanged, when there is nothing to give.
std::optional<Moteur> partager(const Moteur& courant, Moteur::Sortie& sortie);

}  // namespace unitfrac
