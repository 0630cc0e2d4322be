// The rules that the dialogue and the command line share for the settings of one calculation: the
// limit on n, the reduction of P/Q, the order of sequence values and the series check, the bound's
// parity adjustment, the check P/Q >= n/M, and the placement of the first unknowns, of the whole
// search or of one shard.
#pragma once

#include "engine/moteur.hpp"
#include "state/reglages.hpp"
#include "tranches/tranche.hpp"

namespace unitfrac {

// The largest number of unknowns accepted: a larger answer is refused.
inline constexpr long long n_maximum = 1000000;

// P/Q from P1/Q1 (both at least 1): pg = gcd(P1, Q1), P = P1 / pg, Q = Q1 / pg.
void reduire(Reglages& reg);

// A sequence value may follow `precedente`: type 1 at or above it, type 2 strictly above it.
bool en_ordre(int type, long long precedente, long long valeur);
// The dialogue's message for a value out of order.
const char* message_ordre(int type);

// The end sequence x3[1..s2] lies at or below the start sequence x2[1..s]: at the first common
// position where they differ the start value is the larger (true when they agree throughout).
bool serie_valide(const Reglages& reg);

// Ma = M as entered; M lowered to the imposed parity (odd: an even nonzero M - 1; even: odd M - 1).
void ajuster_borne(Reglages& reg);

// P/Q >= n/M with the bound as entered (always true without a bound), compared exactly.
bool donnees_valides(const Reglages& reg);

// The search placed as the settings ask: at depth 0 without selections; with them, the start
// sequence placed as far as it can be, or else x1 at its upper bound (n > 1). The placements come
// before the bound and the end sequence in the dialogue, so they run without them.
Moteur preparer(const Reglages& reg);

// The search of shard t of the calculation `reg`, and in `reg_tranche` the settings it runs on:
// those of `reg` with the end of the shard as end sequence. The search has ended already (depth
// -1) when the shard is empty. Shard 1 of 1 is the whole search.
Moteur preparer_tranche(const Reglages& reg, const Tranche& t, Reglages& reg_tranche);

}  // namespace unitfrac
