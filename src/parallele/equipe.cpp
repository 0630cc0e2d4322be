// The workers of a parallel search: taking tasks in order, running them, publishing their lines,
// splitting, and the consumer's side of the ordered list.
#include "parallele/equipe.hpp"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <system_error>
#include <type_traits>
#include <utility>

#include "parallele/decoupe.hpp"

namespace unitfrac {

namespace {

// Takes back `o` bytes from a count of waiting lines. A count that would go below zero is a fault
// in the bookkeeping: left alone it would wrap and hold every worker at the budget for good.
void retirer(std::size_t& compte, std::size_t o) {
  if (o > compte) throw std::logic_error("unitfrac: compte d'octets en attente faux");
  compte -= o;
}

}  // namespace

Equipe::Equipe(const Parallele& cfg, Moteur& depart, Forme forme, bool tally, const Pagination& pagination,
               const Lanceur& lancer, Temoin& temoin)
    : cfg_(cfg), temoin_(temoin), modele_(depart), prete_(&depart), forme_(forme), tally_(tally), pagination_(pagination) {
  inserer(ordre_.end(), depart.etat(), {});
  ouvriers_.reserve(static_cast<std::size_t>(cfg_.threads));
  for (int k = 0; k < cfg_.threads; ++k) {
    try {
      ouvriers_.push_back(lancer([this] { ouvrier(); }));
      ++lances_;
    } catch (const std::system_error&) {
      break;  // the workers started do the work
    }
  }
}

Equipe::~Equipe() {
  arreter();
  for (std::thread& t : ouvriers_) t.join();
}

void Equipe::arreter() {
  arret_ = true;
  std::lock_guard lk(m_);
  cv_ouvriers_.notify_all();
  cv_conso_.notify_all();
}

void Equipe::paging(const Pagination& pagination) {
  std::lock_guard lk(m_);
  pagination_ = pagination;
}

std::shared_ptr<Tache> Equipe::inserer(std::list<std::shared_ptr<Tache>>::iterator avant, Moteur::Etat etat,
                                       Moteur::Sortie sortie) {
  auto t = std::make_shared<Tache>(std::move(etat), sortie, compteur_++);
  t->place = ordre_.insert(avant, t);
  attente_vue_ = ++attente_;
  return t;
}

std::shared_ptr<Tache> Equipe::premiere_en_attente() const {
  for (const auto& t : ordre_)
    if (t->etat == Tache::Etat::attente) return t;
  return nullptr;
}

void Equipe::ouvrier() {
  std::optional<Moteur> propre;  // made at the first task: a worker that gets none costs nothing
  Moteur* m = nullptr;
  std::unique_lock lk(m_);
  for (;;) {
    std::shared_ptr<Tache> t;
    // The earliest task not started; past the head only while the budget allows.
    cv_ouvriers_.wait(lk, [&] {
      if (arret_) return true;
      t = premiere_en_attente();
      return t && (t == ordre_.front() || octets_ < cfg_.budget);
    });
    if (arret_) return;
    t->etat = Tache::Etat::en_cours;
    attente_vue_ = --attente_;
    t->compte = pagination_.mode() == Pagination::Mode::compte ||
                (pagination_.mode() == Pagination::Mode::partiel && pagination_.groupe() >= cfg_.seuil_compte);
    if (m == nullptr) m = std::exchange(prete_, nullptr);
    lk.unlock();
    temoin_.avant_tache(t->numero);
    const auto debut = std::chrono::steady_clock::now();
    if (m == nullptr) m = &propre.emplace(modele_.semblable());
    m->reprendre(t->depart);
    if (t->compte) {
      PuitsCompte puits(forme_, tally_);
      courir(t, puits, *m);
    } else {
      PuitsLignes puits(forme_, tally_, arret_);
      courir(t, puits, *m);
    }
    temoin_.apres_tache(t->numero, std::chrono::steady_clock::now() - debut);
    lk.lock();
  }
}

// Publishes the lines of `m` and leaves in it, empty, the room of lines the consumer gave back.
void Equipe::publier(Tache& t, Morceau& m) {
  std::lock_guard lk(m_);
  if (t.annulee) return;
  const std::size_t o = m.octets();
  octets_ += o;
  t.octets += o;
  t.morceaux.push_back(std::move(m));
  m = Morceau();
  if (!rendus_.empty()) {
    m = std::move(rendus_.back());
    rendus_.pop_back();
  }
  if (ordre_.front().get() == &t) cv_conso_.notify_one();
}

void Equipe::rendre(Morceau&& m) {
  if (m.octets() > (std::size_t{1} << 20)) return;  // a large one goes: it would hold memory idle
  m.vider();
  std::lock_guard lk(m_);
  if (rendus_.size() < 2 * ouvriers_.size()) rendus_.push_back(std::move(m));
}

// Waits while too many lines wait for the consumer: the head task on its own lines, the others
// on all. False when the task is dropped or the team stops meanwhile.
bool Equipe::attendre_budget(Tache& t) {
  std::unique_lock lk(m_);
  cv_ouvriers_.wait(lk, [&] {
    if (arret_ || t.annulee) return true;
    return ordre_.front().get() == &t ? t.octets < cfg_.budget : octets_ < cfg_.budget;
  });
  return !(arret_ || t.annulee);
}

template <class Puits>
void Equipe::courir(const std::shared_ptr<Tache>& t, Puits& puits, Moteur& m) {
  constexpr bool lignes = std::is_same_v<Puits, PuitsLignes>;
  std::vector<long long> reperes;
  std::vector<std::size_t> places;
  long long pas_depuis = 0;  // steps since the last state kept on the way
  int vide = 0;              // the positions down to this one have nothing left to give away
  auto debut = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration cout_partage{0};  // of the last look for work to give away
  // The team's count of steps at depth n - 2, brought up to date.
  long long feuilles = m.feuilles();
  auto compter = [&] {
    feuilles_.fetch_add(m.feuilles() - feuilles, std::memory_order_relaxed);
    feuilles = m.feuilles();
  };

  // Between two steps, every cfg_.pas_controle steps at most (see Cadence).
  auto controle = [&]() -> bool {
    if (t->annulee.load(std::memory_order_relaxed) || arret_.load(std::memory_order_relaxed))
      return false;
    compter();
    const int i = m.profondeur();
    t->position[0].store(i, std::memory_order_relaxed);
    for (int k = 1; k <= 3 && k <= i; ++k) t->position[k].store(m.valeur(k), std::memory_order_relaxed);
    if constexpr (lignes) {
      if (puits.morceau.nombre > 0) {
        publier(*t, puits.morceau);
      }
      if (!attendre_budget(*t)) return false;
    } else if (pas_depuis >= m.profondeur()) {
      // A state on the way, from which solutions of given ranks are found again: kept once the
      // steps since the last one outweigh writing it, in its place when no solution came since.
      std::size_t debut_etat = reperes.size();
      reperes.push_back(puits.nombre);
      if (m.exporter(reperes)) {
        if (!places.empty() && reperes[places.back()] == puits.nombre) {
          reperes.erase(reperes.begin() + static_cast<std::ptrdiff_t>(places.back()),
                        reperes.begin() + static_cast<std::ptrdiff_t>(debut_etat));
          debut_etat = places.back();
          places.pop_back();
        }
        places.push_back(debut_etat);
        pas_depuis = 0;
      } else {
        reperes.pop_back();
      }
    }
    const auto maintenant = std::chrono::steady_clock::now();
    const auto duree = maintenant - debut;
    // A split costs the depth (deep searches: milliseconds); the task runs 20 times that between two.
    if (duree >= 20 * cout_partage &&
        (duree >= cfg_.unite ||
         (duree >= cfg_.unite_min && attente_vue_.load(std::memory_order_relaxed) < lances_.load(std::memory_order_relaxed)))) {
      const Moteur::Sortie sortie = t->sortie;
      if (auto suite = partager(m, t->sortie, vide)) {
        if (temoin_.partages_faux()) {
          const Moteur::Etat ici = m.etat();
          m.reprendre(*suite);
          m.sauter(m.profondeur());
          *suite = m.etat();
          m.reprendre(ici);
        }
        std::lock_guard lk(m_);
        if (t->annulee) return false;
        inserer(std::next(t->place), std::move(*suite), sortie);
        cv_ouvriers_.notify_one();
      }
      debut = std::chrono::steady_clock::now();
      cout_partage = debut - maintenant;
    }
    return true;
  };

  Cadence cadence(cfg_.pas_controle, modele_.reglages().n);
  const auto pas = [&] { return ++pas_depuis, !cadence.tour() || controle(); };
  if (m.courir_jusqua(puits, t->sortie, 1, pas) != Moteur::Fin::sortie)
    return;
  compter();

  std::lock_guard lk(m_);
  if (t->annulee) return;
  if constexpr (lignes) {
    if (puits.morceau.nombre > 0) {
      const std::size_t o = puits.morceau.octets();
      octets_ += o;
      t->octets += o;
      t->morceaux.push_back(std::move(puits.morceau));
    }
  } else {
    t->nombre = puits.nombre;
    t->premiere = std::move(puits.premiere);
    if (forme_ != Forme::compte) t->derniere = puits.derniere();
    t->valeurs_derniere = puits.prendre_derniere();
    t->bons = std::move(puits.bons);
    t->reperes = std::move(reperes);
    t->places = std::move(places);
    const std::size_t o = t->reperes.size() * sizeof(long long) + t->bons.octets();
    octets_ += o;
    t->octets += o;
  }
  t->extremes = puits.extremes;
  t->fin_sur_derniere = m.profondeur() < 0 && m.derniere_complete();
  t->arrivee.emplace(m.etat());
  t->etat = Tache::Etat::finie;
  if (ordre_.front() == t) cv_conso_.notify_one();
}

Equipe::Prise Equipe::prendre() { return prendre(std::chrono::milliseconds::max()); }

Equipe::Prise Equipe::prendre(std::chrono::milliseconds attente) {
  std::unique_lock lk(m_);
  const std::shared_ptr<Tache> t = ordre_.front();
  auto pret = [&] { return !t->morceaux.empty() || t->etat == Tache::Etat::finie; };
  if (attente == std::chrono::milliseconds::max())
    cv_conso_.wait(lk, pret);
  else if (!cv_conso_.wait_for(lk, attente, pret))
    return {};
  Prise p{t, std::nullopt, false};
  if (!t->morceaux.empty()) {
    p.morceau = std::move(t->morceaux.front());
    t->morceaux.pop_front();
    const std::size_t o = p.morceau->octets();
    retirer(octets_, o);
    retirer(t->octets, o);
    p.finale = t->etat == Tache::Etat::finie && t->morceaux.empty();
    cv_ouvriers_.notify_all();
  }
  return p;
}

std::vector<std::string> Equipe::position() const {
  std::lock_guard lk(m_);
  std::vector<std::string> v;
  const auto t = std::find_if(ordre_.begin(), ordre_.end(),
                              [](const auto& u) { return u->etat == Tache::Etat::en_cours; });
  if (t == ordre_.end()) return v;
  const long long i = (*t)->position[0].load(std::memory_order_relaxed);
  for (int k = 1; k <= 3 && k <= i; ++k) {
    const long long x = (*t)->position[k].load(std::memory_order_relaxed);
    if (x < 0) break;
    v.push_back(std::to_string(x));
  }
  return v;
}

std::optional<std::string> Equipe::depart_tete(bool exact) const {
  std::lock_guard lk(m_);
  const Moteur::Etat& d = ordre_.front()->depart;
  const int n = modele_.reglages().n;
  if (exact && (d.profondeur() < 0 || d.profondeur() >= n)) return std::nullopt;
  return d.premieres(std::min(d.profondeur(), n - 1));
}

bool Equipe::avancer() {
  std::lock_guard lk(m_);
  const std::shared_ptr<Tache> t = ordre_.front();
  ordre_.pop_front();
  retirer(octets_, t->octets);
  cv_ouvriers_.notify_all();
  if (t->arrivee->profondeur() < 0) return false;
  // The last task always runs to the end of the search, so one follows a task that did not.
  if (!(*t->arrivee == ordre_.front()->depart)) {
    for (const auto& u : ordre_) {
      u->annulee = true;
      retirer(octets_, u->octets);
      if (u->etat == Tache::Etat::attente) attente_vue_ = --attente_;
    }
    ordre_.clear();
    inserer(ordre_.end(), *t->arrivee, {});
    ++reprises_;
  }
  return true;
}

}  // namespace unitfrac
