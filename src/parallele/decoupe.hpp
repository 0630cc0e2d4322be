// Splitting the search into tasks. A task runs the one-thread search from a state (between two
// steps) until its depth falls to its exit depth or below; the tasks, one after another, make up
// the one-thread search. A task splits by giving away what comes after the subtree of its
// shallowest unknown that leaves work to give.
#pragma once

#include <optional>

#include "engine/moteur.hpp"

namespace unitfrac {

// From `courant`, the state of a task whose exit depth is `sortie`: for the smallest d with
// sortie < d < depth such that the state after the subtree of x[1..d] (Moteur::sauter) still lies
// within the task (its depth above `sortie`), returns that state and sets `sortie` to d. The task
// then ends where the state returned begins, and a task from that state to the old `sortie` does
// the rest. None, with `sortie` unchanged, when there is nothing to give.
std::optional<Moteur> partager(const Moteur& courant, int& sortie);

}  // namespace unitfrac
