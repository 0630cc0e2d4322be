// Watching a long search: the progress line on standard error and Ctrl-C. The line shows, once a
// search has written nothing to standard output for about a second, the share done and the time
// left, the time spent, the solutions found in order, and the first unknowns being searched; it is
// erased before anything goes to standard output and at the end of the search, so that the
// screen shows standard output alone. Ctrl-C during a search asks it to stop; at a question it
// ends the program, as it does without this watch. Used by the run driver, from the main thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "engine/moteur.hpp"
#include "suivi/estimation.hpp"

namespace unitfrac {

// What a search tells at a check.
struct Progres {
  long long solutions = 0;  // found so far, in order (handed to the display)
  long long feuilles = 0;   // steps taken at depth n - 2 so far (Moteur::feuilles)
  std::vector<std::string> premieres;  // the first unknowns of the current position
};

class Veille {
 public:
  enum class Ligne { aucune, terminal, lignes };  // none; rewritten in place; plain lines (logs)

  // `err`: standard error. `ligne`: how the progress line is written. `interruptions`: Ctrl-C
  // during a search stops it (otherwise Ctrl-C keeps its default action).
  Veille(std::ostream& err, Ligne ligne, bool interruptions);
  ~Veille();

  // Around one search, from the state it starts in.
  void debut(const Moteur& depart);
  void fin();
  // Between two steps, as often as convenient: false once Ctrl-C has been pressed. When `due()`,
  // the caller hands the progress to `montrer`, which writes the line if nothing went to standard
  // output for a while.
  bool tic() const { return !interrompue(); }
  bool interrompue() const;
  // The signal that interrupted the search: SIGINT (Ctrl-C), SIGTERM or SIGHUP.
  int signal() const;
  // The flag Ctrl-C raises during a search, or none when Ctrl-C is not heeded.
  const std::atomic<bool>* drapeau() const;
  bool due();
  void montrer(const Progres& p);
  // Around a question asked during a search (a pause): Ctrl-C then ends the program.
  void question(bool debut);
  // Before anything is written to standard output.
  void avant_sortie();

  // Says once, for the whole program, that fewer threads than asked for could be started.
  void fils_refuses(int demandes, int lances);

  // Checkpoints: when set, `garder` is called every `intervalle` during a search with the first
  // unknowns of a state (separated by one blank) before which every solution has reached the
  // display, and after which none has, and the number of those solutions. The search asks with
  // `garde_due` where it has such a state.
  std::function<void(const std::string&, long long)> garder;
  // When set, what ends an interrupted search (the summary, then Interruption thrown), given the
  // first unknowns of a state at or before the first solution not found, or none when the last
  // one found says it. A parallel search calls it before it stops and waits for its workers:
  // one making its engine takes a fraction of a second in a deep search.
  std::function<void(const std::string&)> conclure;
  std::chrono::steady_clock::duration intervalle = std::chrono::seconds(60);
  bool garde_due() {
    if (!garder || std::chrono::steady_clock::now() - garde_ < intervalle) return false;
    garde_ = std::chrono::steady_clock::now();
    return true;
  }

  // The time since debut().
  std::chrono::steady_clock::duration ecoule() const;
  std::ostream& erreurs() { return err_; }

  // The width of the terminal lines are cut to; how long standard output must stay silent before
  // the line shows; how often the line is rewritten (terminal) or written again (plain lines).
  int largeur = 80;
  std::chrono::milliseconds silence{1000}, periode_terminal{250}, periode_lignes{1000};

 private:
  std::string texte(const Progres& p, std::chrono::steady_clock::time_point maintenant);
  void effacer();

  std::ostream& err_;
  const Ligne ligne_;
  std::chrono::steady_clock::time_point garde_ = std::chrono::steady_clock::now();
  const bool interruptions_;
  bool en_recherche_ = false;
  bool affichee_ = false;  // a line is on the terminal
  std::chrono::steady_clock::time_point debut_, sortie_, ecrite_, estime_;
  // Where the search started, for the count of the work (only with a line to show it).
  std::optional<std::pair<Reglages, Moteur::Etat>> depart_;
  std::optional<Estimation> estimation_;
  long long feuilles_debut_ = 0;
  bool fils_signales_ = false;
};

// Standard output through the watch: everything written to `dessous` is first announced to
// `veille` (which erases its line). Unbuffered: `dessous` buffers.
class SortieVeillee : public std::streambuf {
 public:
  SortieVeillee(std::streambuf* dessous, Veille& veille) : dessous_(dessous), veille_(veille) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  std::streambuf* dessous_;
  Veille& veille_;
};

// Thrown by the run driver once an interrupted search has written out what it found.
struct Interruption {};

// "1 h 05 min", "2 min 07 s", "12 s": a duration as a person reads it.
std::string duree_lisible(double secondes);

}  // namespace unitfrac
