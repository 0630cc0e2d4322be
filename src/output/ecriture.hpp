// A failed write to standard output (full disk, closed file or pipe): an exception and the check
// that raises it. The program ends with status 4, with one line on standard error unless the
// reader of a pipe has gone (EPIPE), which ends it quietly. And the block where solution lines
// gather before they are written.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <ios>
#include <ostream>
#include <stdexcept>
#include <vector>

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

// Bytes not yet written to `out`, gathered in one block: written out when it is full, when asked
// (before any other output to `out`), at the end, and after each addition when `out` is
// unit-buffered (a terminal). A failed write is recorded rather than thrown, so that the search
// stops between two steps.
class Tampon {
 public:
  explicit Tampon(std::ostream& out) : out_(out) {}
  Tampon(const Tampon&) = delete;
  Tampon& operator=(const Tampon&) = delete;
  ~Tampon() { vider(); }

  // Room for `taille` bytes at the end of the block; ajouter(fin) then takes those up to `fin`.
  char* reserver(std::size_t taille) {
    if (bloc_.size() - rempli_ < taille) {
      vider();
      if (bloc_.size() < taille) bloc_.resize(std::max<std::size_t>(taille, 1 << 16));
    }
    return bloc_.data() + rempli_;
  }
  void ajouter(const char* fin) {
    rempli_ = static_cast<std::size_t>(fin - bloc_.data());
    if (out_.flags() & std::ios::unitbuf) vider();
  }
  void vider() {
    if (rempli_ == 0) return;
    out_.write(bloc_.data(), static_cast<std::streamsize>(rempli_));
    rempli_ = 0;
    if (!out_ && echec_ == 0) echec_ = errno != 0 ? errno : -1;
  }
  // A write has failed; verifier() throws EchecEcriture then.
  bool echec() const { return echec_ != 0; }
  void verifier() const {
    if (echec_ != 0) throw EchecEcriture(echec_ > 0 ? echec_ : 0);
  }

 private:
  std::ostream& out_;
  std::vector<char> bloc_;
  std::size_t rempli_ = 0;  // bytes of bloc_ in use
  int echec_ = 0;           // errno of the first failed write (-1: unknown)
};

}  // namespace unitfrac
