// The workers of a parallel search and the ordered list of its tasks. The search is cut into
// tasks (decoupe.hpp), kept in the order of the one-thread search; each worker takes the earliest
// task not yet started, runs it with a sink of preparation.hpp, publishes what it prepared between two
// steps, and splits its task when others wait for work or when it has run for a while. One
// consumer takes, in order, what the task at the head of the list published (fusion.hpp). A task
// holds its start and end as states in O(depth) (Moteur::Etat); each worker runs its tasks on one
// search of its own, so that what a task costs does not grow with n beyond that.
//
// Bounded: the prepared lines waiting for the consumer take at most about twice the budget: the
// head task waits when its own lines reach it, the others when all lines together do. Nothing
// spins: waiting workers and the waiting consumer sleep on condition variables.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/moteur.hpp"
#include "output/pagination.hpp"
#include "parallele/parallele.hpp"
#include "parallele/preparation.hpp"
#include "parallele/temoin.hpp"

namespace unitfrac {

struct Tache {
  Tache(Moteur::Etat d, Moteur::Sortie s, long long num) : depart(std::move(d)), sortie(s), numero(num) {}

  const Moteur::Etat depart;  // the state the task starts from
  Moteur::Sortie sortie;  // where it ends; its worker brings it forward when it splits
  const long long numero;  // order of creation
  std::atomic<bool> annulee{false};  // dropped: its worker stops at its next check
  // Where its worker is: the depth and x1, x2, x3 (-1 past 64 bits), at its last check.
  std::atomic<long long> position[4] = {0, 0, 0, 0};

  // Under the team's lock.
  enum class Etat { attente, en_cours, finie } etat = Etat::attente;
  bool compte = false;             // its worker only counts (PuitsCompte)
  std::deque<Morceau> morceaux;    // lines published, not yet taken
  std::size_t octets = 0;          // their size (and, once counting is over, that of `reperes`)
  // Once finished:
  std::optional<Moteur::Etat> arrivee;  // the state after its last step
  bool fin_sur_derniere = false;   // that step ended the search right after its last solution
  Extremes extremes;
  Bons bons;                       // a count with the tally: the good numbers of its solutions
  long long nombre = 0;            // counting: its solutions,
  Morceau premiere, derniere;      // the first and the last prepared (a count: none),
  Copie valeurs_derniere;          // the last as values,
  std::vector<long long> reperes;  // and states on the way: rank, then Moteur::exporter's values
  std::vector<std::size_t> places; // where each state starts in `reperes`
  std::list<std::shared_ptr<Tache>>::iterator place;  // in the team's list
};

class Equipe {
 public:
  // Starts cfg.threads workers on the search from `depart` to its end, preparing lines in the form
  // `forme`: as many as `lancer` starts (fewer when the system gives no more threads). Each worker
  // runs its tasks on a search of its own, made at its first task: `depart` itself, lent for the
  // team's life (it is left in no particular state), for the first, a search with the same
  // settings for the others (a deep search holds megabytes).
  // `temoin` is told of each task and must outlive the team.
  Equipe(const Parallele& cfg, Moteur& depart, Forme forme, bool tally, const Pagination& pagination,
         const Lanceur& lancer, Temoin& temoin);
  // Stops the workers and waits for them.
  ~Equipe();

  // The workers started.
  int ouvriers() const { return static_cast<int>(ouvriers_.size()); }

  // What the consumer takes next from the head task: published lines, or the end of the task
  // once it is finished and everything it published has been taken. `finale`: these lines are the
  // last the task published, and it is finished.
  struct Prise {
    std::shared_ptr<Tache> tache;
    std::optional<Morceau> morceau;
    bool finale = false;
  };
  Prise prendre();
  // The same, waiting at most `attente`: no task in the Prise when nothing came.
  Prise prendre(std::chrono::milliseconds attente);
  // After the end of the head task: the next task becomes the head. When the state the head task
  // ended in is not the one the next task starts from, the tasks after it are dropped and a task
  // runs from that state to the end of the search. False when the search has ended.
  bool avancer();
  // Lines taken and written out: their room goes back to the workers (so that it is not freed by
  // one thread and taken anew by another, which makes the heap grow).
  void rendre(Morceau&& m);
  // The display's pagination, for the tasks started from now on: the consumer hands it over after
  // each batch of lines it took (a pause there may have changed it).
  void paging(const Pagination& pagination);
  // Stops every worker at its next check.
  void arreter();

  // What the workers did so far: steps at depth n - 2; and where the earliest task running is (its
  // first unknowns, in decimal).
  long long feuilles() const { return feuilles_.load(std::memory_order_relaxed); }
  std::vector<std::string> position() const;
  // The first unknowns of the state the head task started from (at most n - 1), separated by one
  // blank. `exact`: only when they are all of its unknowns (the search goes on from exactly there
  // when they are placed as a start sequence), none otherwise.
  std::optional<std::string> depart_tete(bool exact) const;

  // Tasks created so far, and how often the search went on from the end of a task because the
  // next one did not start there (tests).
  long long taches() const {
    std::lock_guard lk(m_);
    return compteur_;
  }
  long long reprises() const {
    std::lock_guard lk(m_);
    return reprises_;
  }

 private:
  void ouvrier();
  template <class Puits>
  void courir(const std::shared_ptr<Tache>& t, Puits& puits, Moteur& m);
  void publier(Tache& t, Morceau& m);
  bool attendre_budget(Tache& t);
  std::shared_ptr<Tache> inserer(std::list<std::shared_ptr<Tache>>::iterator avant, Moteur::Etat etat,
                                 Moteur::Sortie sortie);
  std::shared_ptr<Tache> premiere_en_attente() const;

  const Parallele cfg_;
  Temoin& temoin_;
  const Moteur& modele_;
  Moteur* prete_;  // `depart`, until a worker takes it (under the lock)
  const Forme forme_;
  const bool tally_;
  mutable std::mutex m_;
  std::condition_variable cv_ouvriers_, cv_conso_;
  std::list<std::shared_ptr<Tache>> ordre_;  // head first: the consumer's current task
  std::vector<Morceau> rendus_;  // room for lines, given back by the consumer
  std::size_t octets_ = 0;      // prepared lines waiting, all tasks together
  long long attente_ = 0;       // tasks not started
  long long compteur_ = 0;
  long long reprises_ = 0;
  // A copy of the display's pagination, under the lock: the workers read it to choose how to run
  // the tasks they start, while the consumer's own changes at a pause.
  Pagination pagination_;
  std::atomic<long long> attente_vue_{0};  // attente_, read by the workers without the lock
  std::atomic<bool> arret_{false};
  std::atomic<int> lances_{0};  // workers started, read by the workers
  std::atomic<long long> feuilles_{0};
  std::vector<std::thread> ouvriers_;
};

}  // namespace unitfrac
