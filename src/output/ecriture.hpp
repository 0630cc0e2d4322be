// A failed write to standard output (full disk, closed file or pipe): an exception and the check
// that raises it. The program ends with status 4, with one line on standard error unless the
// reader of a pipe has gone (EPIPE), which ends it quietly.
#pragma once

#include <cerrno>
#include <ostream>
#include <stdexcept>

namespace unitfrac {

// `erreur` is the errno of the failed write (0: unknown).
struct EchecEcriture : std::runtime_error {
  explicit EchecEcriture(int e) : std::runtime_error("echec d'ecriture"), erreur(e) {}
  int erreur;
};

// Flushes `out` and throws EchecEcriture when a write to it has failed.
inline void verifier_ecriture(std::ostream& out) {
  out.flush();
  if (!out) throw EchecEcriture(errno);
}

}  // namespace unitfrac
