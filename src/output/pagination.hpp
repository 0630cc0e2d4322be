// The paging of the solutions: which of them are shown and when the display pauses, by the paging
// value L the user chose (at the start, then at each pause):
//   L > 0   every solution shown, a pause after every L lines shown, where a new L is read;
//   L = 0   every solution shown, no pause;
//   L = -1  none shown: the search stops;
//   L < -1  every (-L)-th shown, from the first (the partial table), to the end.
// A count is a mode of its own: none shown, no pause, whatever L.
// The display numbers the solutions and asks here, once per solution, whether it is shown.
#pragma once

#include <cassert>
#include <limits>

#include "engine/entier.hpp"

namespace unitfrac {

class Pagination {
 public:
  enum class Mode : unsigned char { pages, tout, arret, partiel, compte };

  // The paging value: the user's answer. A count keeps its mode.
  void regler(long long L) {
    L_ = L;
    choisir();
  }
  // A count (no solution shown) or not.
  void compter(bool oui) {
    compte_ = oui;
    choisir();
  }
  Mode mode() const { return mode_; }
  long long L() const { return L_; }
  // The partial table: the size of the groups of solutions of which the first is shown (-L, up to
  // 2^63).
  i128 groupe() const {
    assert(mode_ == Mode::partiel);
    return -static_cast<i128>(L_);
  }

  // Start of a calculation: the partial table's first group begins. Start of a run: no line shown
  // since a pause.
  void debut_calcul() { K3_ = 0; }
  void debut_run() { K2_ = 0; }

  // One more solution: whether it is shown. Once per solution found: kept inline.
  bool montrer() {
    if (mode_ == Mode::pages) {
      ++K2_;
      return true;
    }
    if (mode_ == Mode::tout) return true;
    if (mode_ != Mode::partiel) return false;  // stopped, or a count
    // The last of its group when K3 = -L - 1, written -(L + 1): L may be -2^63, and K3 + 1 may
    // then be 2^63.
    if (K3_ == -(L_ + 1)) {
      K3_ = 0;
      return false;
    }
    return ++K3_ == 1;
  }
  // How many solutions come before the next one that may be shown or paused on: none but in the
  // partial table (the rest of the current group) and in a count (the most a long long holds).
  long long avant_montree() const {
    constexpr long long plus = std::numeric_limits<long long>::max();
    if (mode_ == Mode::compte) return plus;
    if (mode_ != Mode::partiel || K3_ == 0) return 0;
    const i128 reste = groupe() - K3_;
    return reste > plus ? plus : static_cast<long long>(reste);
  }
  // `nombre` solutions none of which is shown (nombre <= avant_montree()).
  void passer(long long nombre) {
    assert(nombre >= 0 && (nombre == 0 || nombre <= avant_montree()));
    if (mode_ != Mode::partiel) return;
    const i128 k3 = static_cast<i128>(K3_) + nombre;
    K3_ = k3 == groupe() ? 0 : static_cast<long long>(k3);
  }
  // After `nombre` solutions found before this run (a checkpoint): the place in the group.
  void reprendre(long long nombre) {
    if (mode_ == Mode::partiel) K3_ = static_cast<long long>(static_cast<i128>(nombre) % groupe());
  }
  // The last solution began its group of the partial table, so it was shown.
  bool derniere_montree() const { return K3_ == 1; }

  // Right after the L-th line shown since the last pause. The answer read there is the new L.
  bool pause_due() const { return mode_ == Mode::pages && K2_ == L_; }
  void apres_pause(long long L) {
    regler(L);
    K2_ = 0;
  }

 private:
  void choisir() {
    mode_ = compte_    ? Mode::compte
            : L_ > 0   ? Mode::pages
            : L_ == 0  ? Mode::tout
            : L_ == -1 ? Mode::arret
                       : Mode::partiel;
  }

  long long L_ = 0;   // paging value
  long long K2_ = 0;  // shown since the last pause
  long long K3_ = 0;  // place in the current group of the partial table
  bool compte_ = false;
  Mode mode_ = Mode::tout;
};

}  // namespace unitfrac
