// Solution display: numbers each solution the search reports, shows it or not as its pagination
// says (pagination.hpp), pausing there for a new paging value, keeps the largest xn and smallest x1,
// records good numbers, and keeps the partial-table copy and its closing line.
// The search hands it every accepted solution; the run driver and the report read its counters.
#pragma once

#include <gmpxx.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/entier.hpp"
#include "output/bons.hpp"
#include "output/ecriture.hpp"
#include "output/ligne.hpp"
#include "output/pagination.hpp"
#include "state/reglages.hpp"

namespace unitfrac {

// Where the pause asks for the new paging value: writes `question` and returns the answer (the
// dialogue's reader, on the console).
using Demande = std::function<long long(std::string_view question)>;

class Affichage {
 public:
  Affichage(std::ostream& out, Demande demande, const Reglages& reg, Bons& bons)
      : out_(out), demande_(std::move(demande)), reg_(reg), bons_(bons), tampon_(out) {}

  // Start of a calculation, once reg.n is set: the partial table's first group begins and its copy
  // x1 goes back to n + 1 zeros.
  void debut_calcul();
  // How the lines are written (the table's form unless told otherwise). In the plain form the
  // lines carry no number, no good number and no empty line after them, and the partial table's
  // closing line is written only when its solution was not shown; a count is the pagination's
  // count mode: nothing is shown, and with the tally on every solution's good number is recorded.
  void forme(Forme f) {
    forme_ = f;
    queue_ = Queue(f);
    pagination_.compter(f == Forme::compte);
  }
  Forme forme() const { return forme_; }
  // A count with the tally: every solution's good number is recorded, shown or not.
  bool tout_sommer() const { return forme_ == Forme::compte && reg_.cptbon == 1; }
  // The good numbers of solutions counted elsewhere (the tasks of a parallel search).
  void ajouter(const Bons& b) { bons_.ajouter(b); }
  // The paging value L, as the user chose it (the pauses read the next ones).
  void paginer(long long L) { pagination_.regler(L); }
  const Pagination& pagination() const { return pagination_; }
  // Start of the run: K1 = 0, no line shown since a pause, m = 0.
  void debut_run();
  // A run that goes on from a checkpoint: K1 solutions counted, xn up to m, x1 down to m1, the
  // last of them `derniere` (x[1..n], for the partial table's closing line; empty in a count).
  void reprendre(long long K1_avant, const mpz_class& m_avant, const mpz_class& m1_avant,
                 const std::vector<mpz_class>& derniere = {}) {
    K1 = K1_avant;
    K1_repris_ = K1_avant;
    m = m_avant;
    m1 = m1_avant;
    m1_pose_ = K1 > 0;
    pagination_.reprendre(K1_avant);
    if (!derniere.empty()) copier(derniere);
  }

  // One accepted solution in x[1..n] (x[0] is 0): `affiche`, then the copy of the last solution
  // found, which the partial-table closing line shows (it is the last found while L < -1, since
  // that mode lasts to the end once entered).
  void operator()(const std::vector<long long>& x);
  void operator()(const std::vector<i128>& x);
  void operator()(const std::vector<mpz_class>& x);

  // Runs of solutions handed over whole (see PuitsParLots): only when none of them is shown, that
  // is in the partial table between two shown lines, or in a count without the tally.
  bool une_a_une(long long nombre) const { return tout_sommer() || pagination_.avant_montree() < nombre; }
  template <class Int>
  void lot(const std::vector<Int>& premiere, const std::vector<Int>& derniere, long long nombre);

  // The same for solutions prepared by the workers of a parallel search: one solution given as
  // the text of its line after the number and its good number (read with the tally on only),
  // whose extreme values come through `etendre`; `nombre` solutions none of which is shown
  // (nombre <= pagination().avant_montree()); and the partial-table copy from the values of the
  // last solution of a batch.
  void operator()(std::string_view queue, const Bon& bon);
  void passer(long long nombre);
  void copier(const Copie& x) { x1_ = x; }
  // The values of the last solution found, in decimal, separated by one blank (empty before the
  // first of this run).
  std::string derniere() const;
  // Whether this run found one (derniere() not empty): a deep search's is megabytes of text.
  bool derniere_trouvee() const { return K1 != K1_repris_; }
  // No pause from now on: the lines found are written out at once (the search was interrupted).
  void sans_pause() { pauses_ = false; }
  // Called with true before the pause asks and with false after (the run driver gives Ctrl-C
  // back its default action while a pause waits for an answer).
  std::function<void(bool)> autour_pause;
  void etendre(const Extremes& e);

  // The partial-table closing line: the last solution found (x1), numbered K1, with its good
  // number recorded when the tally is on. The run driver calls it when the search has ended by
  // itself, in the partial table and K1 != 0; in the table's form it writes unconditionally.
  void ligne_finale();

  // Writes out the solution lines gathered so far; due before anything else goes to the stream.
  // A failed write is recorded rather than thrown, so that the search stops between two steps.
  void vider() { tampon_.vider(); }

  // True once the user has asked to stop (L = -1), or once the lines could not be written, or once
  // `drapeau` (see interrompre_sur) is up: the search must not take another step, nor report
  // another solution of the step it is in (a deep search spends seconds on one step's lines).
  bool arret() const {
    return pagination_.mode() == Pagination::Mode::arret || tampon_.echec() ||
           (drapeau_ != nullptr && drapeau_->load(std::memory_order_relaxed));
  }
  // A flag that stops the search fed to this display when it goes up (Ctrl-C), or none.
  void interrompre_sur(const std::atomic<bool>* drapeau) { drapeau_ = drapeau; }
  // Throws EchecEcriture when a write of solution lines has failed.
  void verifier() const { tampon_.verifier(); }

  long long K1 = 0;  // solutions found
  mpz_class m;       // largest xn over all solutions found
  mpz_class m1;      // smallest x1 over all solutions found

 private:
  void pause();
  template <class Int>
  void statistiques(const Int& x1, const Int& xn);
  template <class Int>
  void affiche(const std::vector<Int>& x);
  template <class Int>
  void ecrire_ligne(const std::vector<Int>& x, bool ligne_vide);
  void ecrire_texte(std::string_view queue, const Bon& bon, bool ligne_vide);
  template <class Int>
  void copier(const std::vector<Int>& x) { x1_.garder(x); }

  std::ostream& out_;
  Demande demande_;
  const Reglages& reg_;
  Bons& bons_;
  bool m1_pose_ = false;  // m1 holds the x1 of a solution of this run
  long long K1_repris_ = 0;  // solutions counted before this run (a checkpoint)
  bool pauses_ = true;
  const std::atomic<bool>* drapeau_ = nullptr;
  Forme forme_ = Forme::tableau;
  // The last solution found, x1 (positions 0..n).
  Copie x1_;
  Bon bon2_;            // good number of the line being written
  Pagination pagination_;
  Tampon tampon_;       // solution lines not yet written out
  char* tete(char* p);
  char* numero(char* p);
  long long numero_ = -1;         // the number whose text is in texte_numero_
  char texte_numero_[24] = {};
  int chiffres_numero_ = 0;
  Queue queue_;
};

// The final report of a calculation: K1 solutions, m the largest xn, m1 the smallest x1 (read
// only when K1 >= 1). The merge of shards (dialogue/assemblage.hpp) writes it from their sums.
void resultat(std::ostream& out, const Reglages& reg, long long K1, const mpz_class& m, const mpz_class& m1,
              const Bons& bons);
inline void resultat(std::ostream& out, const Reglages& reg, const Affichage& aff, const Bons& bons) {
  resultat(out, reg, aff.K1, aff.m, aff.m1, bons);
}

}  // namespace unitfrac
