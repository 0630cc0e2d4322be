// The progress line of long searches and Ctrl-C during a search.
#include "suivi/veille.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

namespace unitfrac {

namespace {

using horloge = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Set by the handler of SIGINT, SIGTERM and SIGHUP while a search runs, with the signal's number.
// A signal handler can only reach the program through variables of this kind.
std::atomic<bool> interruption{false};
std::atomic<int> signal_recu{SIGINT};

void noter_interruption(int s) {
  signal_recu.store(s);
  interruption.store(true);
}

// Ctrl-C, a time limit or a preemption (SIGTERM: Slurm, timeout, kill), a closed terminal (SIGHUP).
constexpr int kSignaux[] = {SIGINT, SIGTERM, SIGHUP};

void traiter_interruptions(bool nous) {
  struct sigaction a {};
  a.sa_handler = nous ? noter_interruption : SIG_DFL;
  sigemptyset(&a.sa_mask);
  for (const int s : kSignaux) {
    // Under nohup, SIGHUP stays ignored.
    struct sigaction avant {};
    sigaction(s, nullptr, &avant);
    if (s != SIGHUP || avant.sa_handler != SIG_IGN) sigaction(s, &a, nullptr);
  }
}

constexpr auto kDebutEstimation = 500ms;  // the count of the work starts only in longer searches

}  // namespace

std::string duree_lisible(double s) {
  char buf[64];
  const auto e = static_cast<long long>(s);
  if (s < 60)
    std::snprintf(buf, sizeof buf, "%lld s", e);
  else if (s < 3600)
    std::snprintf(buf, sizeof buf, "%lld min %02lld s", e / 60, e % 60);
  else if (s < 86400)
    std::snprintf(buf, sizeof buf, "%lld h %02lld min", e / 3600, e % 3600 / 60);
  else if (s < 365.25 * 86400)
    std::snprintf(buf, sizeof buf, "%lld jours", e / 86400);
  else if (const double ans = s / (365.25 * 86400); ans < 10) {
    // "1,8 an", "4,2 ans": a decimal comma
    std::snprintf(buf, sizeof buf, "%d,%d %s", static_cast<int>(ans), static_cast<int>(ans * 10) % 10,
                  ans < 2 ? "an" : "ans");
  } else
    std::snprintf(buf, sizeof buf, "%.0f ans", ans);
  return buf;
}

Veille::Veille(std::ostream& err, Ligne ligne, bool interruptions)
    : err_(err), ligne_(ligne), interruptions_(interruptions) {}

Veille::~Veille() {
  if (en_recherche_) fin();
}

void Veille::debut(const Moteur& depart) {
  en_recherche_ = true;
  debut_ = sortie_ = horloge::now();
  ecrite_ = estime_ = debut_ - 1h;
  feuilles_debut_ = depart.feuilles();
  interruption.store(false);
  signal_recu.store(SIGINT);
  if (interruptions_) traiter_interruptions(true);
  estimation_.reset();
  depart_.reset();
  if (ligne_ != Ligne::aucune && depart.reglages().n <= Estimation::kInconnuesMax)
    depart_.emplace(depart.reglages(), depart.etat());
}

void Veille::fin() {
  effacer();
  if (interruptions_) traiter_interruptions(false);
  en_recherche_ = false;
  estimation_.reset();
  depart_.reset();
}

bool Veille::interrompue() const { return interruptions_ && interruption.load(); }

int Veille::signal() const { return signal_recu.load(); }

const std::atomic<bool>* Veille::drapeau() const { return interruptions_ ? &interruption : nullptr; }

void Veille::question(bool debut) {
  if (interruptions_ && en_recherche_) traiter_interruptions(!debut);
}

void Veille::fils_refuses(int demandes, int lances) {
  if (fils_signales_) return;
  fils_signales_ = true;
  effacer();
  err_ << "unitfrac: " << demandes << " fils de calcul demandes, ";
  if (lances == 0)
    err_ << "le systeme n'en donne aucun : la recherche se fait dans le fil principal.\n";
  else
    err_ << "le systeme n'en donne que " << lances << " : la recherche se fait avec eux.\n";
  err_ << std::flush;
}

std::chrono::steady_clock::duration Veille::ecoule() const { return horloge::now() - debut_; }

void Veille::avant_sortie() {
  if (ligne_ == Ligne::aucune) return;
  sortie_ = horloge::now();
  effacer();
}

void Veille::effacer() {
  if (!affichee_) return;
  err_ << "\r\033[K" << std::flush;
  affichee_ = false;
}

bool Veille::due() {
  if (ligne_ == Ligne::aucune || !en_recherche_) return false;
  const auto maintenant = horloge::now();
  // The count of the work, in slices of its own: every 100 ms, 20 ms until a first estimate
  // exists (a fraction of a second in all), then 1 ms a second to refine it.
  if (depart_ && maintenant - debut_ >= kDebutEstimation &&
      maintenant - estime_ >= (estimation_ && estimation_->prete() ? 1000ms : 100ms)) {
    if (!estimation_) estimation_.emplace(depart_->first, depart_->second);
    estimation_->travailler(estimation_->prete() ? 1ms : 20ms);
    estime_ = maintenant;
  }
  if (maintenant - ecrite_ < (ligne_ == Ligne::terminal ? periode_terminal : periode_lignes)) return false;
  ecrite_ = maintenant;
  return true;
}

void Veille::montrer(const Progres& p) {
  const auto maintenant = horloge::now();
  if (maintenant - sortie_ < silence) return;
  std::string t = texte(p, maintenant);
  if (ligne_ == Ligne::terminal) {
    // Cut from the end, with room left for the "^C" the terminal echoes after the line: a line
    // that wrapped would stay on the screen, since only its last row is erased.
    const std::size_t place = static_cast<std::size_t>(std::max(largeur - 3, 1));
    if (t.size() > place) t.resize(place);
    err_ << '\r' << t << "\033[K" << std::flush;
    affichee_ = true;
  } else {
    err_ << t << '\n' << std::flush;
  }
}

// What matters most comes first, so that cutting the line to a narrow terminal keeps it: the share
// done and the time left (at most 34 characters with "unitfrac: "), then the time spent and the
// solutions in order (those the display has had: the count an interruption would give), then the
// first unknowns being searched.
std::string Veille::texte(const Progres& p, horloge::time_point maintenant) {
  const double ecoule = std::chrono::duration<double>(maintenant - debut_).count();
  std::string t = "unitfrac: ";
  const double faites = static_cast<double>(p.feuilles - feuilles_debut_);
  if (estimation_ && estimation_->prete() && estimation_->feuilles() > 0 && faites > 0) {
    const double total = estimation_->feuilles();
    const double part = std::min(faites / total, 0.99);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f %%, ", 100 * part);
    t += buf;
    t += faites >= total ? "presque fini" : "reste " + duree_lisible((total - faites) * ecoule / faites);
  } else {
    t += depart_ ? "estimation en cours" : "reste inconnu";
  }
  t += " ; " + duree_lisible(ecoule) + ", " + std::to_string(p.solutions) + " solution(s)";
  for (std::size_t k = 0; k < p.premieres.size(); ++k)
    t += (k == 0 ? " ; en x1 = " : ", x" + std::to_string(k + 1) + " = ") + p.premieres[k];
  return t;
}

SortieVeillee::int_type SortieVeillee::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  veille_.avant_sortie();
  return dessous_->sputc(traits_type::to_char_type(c));
}

std::streamsize SortieVeillee::xsputn(const char* s, std::streamsize n) {
  veille_.avant_sortie();
  return dessous_->sputn(s, n);
}

int SortieVeillee::sync() { return dessous_->pubsync(); }

}  // namespace unitfrac
