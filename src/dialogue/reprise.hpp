// Checkpoints of a count or a partial table (--reprise FICHIER): the point the search can go on
// from and all that its output and report need so far, written every few seconds and at any stop,
// whole or not at all, and read back to go on after a kill or a crash.
#pragma once

#include <string>
#include <vector>

#include <gmpxx.h>

namespace unitfrac {

struct PointReprise {
  std::string calcul;  // the options of the calculation, the shard and the form: what it belongs to
  bool fini = false;   // the search has ended: the fields hold the result
  long long solutions = 0;
  mpz_class xn_max, x1_min;  // over the solutions counted (0 without any)
  std::string debut;         // the first unknowns to go on from, separated by one blank ("" from the start)
  std::string bons;          // the tally so far, "value:count," in increasing order
  // A partial table: what standard output holds so far, which a resumed run writes again first,
  // and the last solution found (x1 ... xn, one blank apart), which its closing line shows.
  std::string texte, derniere;
};

// Writes `p` to `fichier` through a new file flushed to disk and renamed over it: a kill at any
// instant leaves the old checkpoint or the new one. False, with errno set, when it cannot.
bool ecrire_point(const std::string& fichier, const PointReprise& p);

enum class LecturePoint { absent, lu, refuse };
// Reads `fichier`: absent when there is none yet; refuse, with a French reason in `erreur`, when
// it is truncated, corrupted (its checksum) or of another version of this format.
LecturePoint lire_point(const std::string& fichier, PointReprise& p, std::string& erreur);

}  // namespace unitfrac
