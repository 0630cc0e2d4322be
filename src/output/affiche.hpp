// Solution display and paging: numbers each solution the search reports, shows it or not by the
// paging value L, keeps the largest xn and smallest x1, records good numbers, pauses every K shown
// lines for a new L, and keeps the partial-table copy and its closing line.
// The search hands it every accepted solution; the run driver and the report read its counters.
#pragma once

#include <gmpxx.h>

#include <ostream>
#include <vector>

#include "engine/entier.hpp"
#include "input/controle.hpp"
#include "output/bons.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

class Affichage {
 public:
  Affichage(std::ostream& out, Lecteur& lecteur, const Reglages& reg, Bons& bons)
      : out_(out), lecteur_(lecteur), reg_(reg), bons_(bons) {}

  // Start of a calculation, once reg.n is set: K3 = 0 and the partial-table copy x1 back to
  // n + 1 zeros.
  void debut_calcul();
  // Start of the run: K1 = K2 = 0, m = 0.
  void debut_run();

  // One accepted solution in x[1..n] (x[0] is 0): `affiche`, then the partial-table copy when
  // L < -1 (read after a pause may have changed it).
  void operator()(const std::vector<long long>& x);
  void operator()(const std::vector<i128>& x);
  void operator()(const std::vector<mpz_class>& x);

  // The partial-table closing line: the last solution found (x1), numbered K1, with its good
  // number recorded when the tally is on. The run driver calls it when the search has ended by
  // itself, L < -1 and K1 != 0; it writes unconditionally.
  void ligne_finale();

  // Writes out the solution lines gathered so far; due before anything else goes to the stream.
  // A failed write is recorded (echec) rather than thrown, so that the search stops between steps.
  void vider();
  ~Affichage() { vider(); }

  // True once the user has asked to stop (L = -1), or once the lines could not be written: the
  // search must not take another step.
  bool arret() const { return L == -1 || echec_ != 0; }
  // Throws EchecEcriture when a write of solution lines has failed.
  void verifier() const;

  long long L = 0;   // paging value
  bool muet = false; // count only: solutions are numbered and measured, no line is written
  long long K1 = 0;  // solutions found
  long long K2 = 0;  // shown since the last pause
  long long K3 = 0;  // place in the current group of the every-K-th mode
  mpz_class m;       // largest xn over all solutions found
  mpz_class m1;      // smallest x1 over all solutions found

 private:
  template <class Int>
  void affiche(const std::vector<Int>& x);
  template <class Int>
  void ecrire_ligne(const std::vector<Int>& x, bool ligne_vide);
  template <class Int>
  std::vector<Int>& copie();

  std::ostream& out_;
  Lecteur& lecteur_;
  const Reglages& reg_;
  Bons& bons_;
  // Partial-table copy x1 (positions 0..n), kept in the width of the last solution found so
  // that copying never allocates once the vector has its size; x1_largeur_ says which is current.
  std::vector<long long> x1_ll_{0};
  std::vector<i128> x1_i128_;
  std::vector<mpz_class> x1_mpz_;
  int x1_largeur_ = 0;  // 0: long long, 1: __int128, 2: mpz_class
  mpz_class bon2_;      // good number of the line being written
  int echec_ = 0;             // errno of the first failed write of solution lines (-1: unknown)
  std::vector<char> bloc_;    // solution lines not yet written out
  std::size_t rempli_ = 0;    // bytes of bloc_ in use
  char* numero(char* p);
  char* valeurs(char* p, const std::vector<long long>& x);
  long long numero_ = -1;         // the number whose text is in texte_numero_
  char texte_numero_[24] = {};
  int chiffres_numero_ = 0;
  std::vector<long long> precedent_;  // the last 64-bit values written, their text and ends
  std::vector<std::size_t> fin_;
  std::vector<char> texte_valeurs_;
};

// The final report of a calculation.
void resultat(std::ostream& out, const Reglages& reg, const Affichage& aff, const Bons& bons);

}  // namespace unitfrac
