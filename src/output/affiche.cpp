// Solution display: numbering, the solution line with its good number, the largest xn / smallest
// x1, the pause, and the partial-table copy with its closing line. The search calls operator()
// once per accepted solution (or hands over runs of hidden ones); the parallel search feeds it
// prepared lines; the run driver calls debut_run, arret and ligne_finale; the report reads K1, m
// and m1.
#include "output/affiche.hpp"

#include <cassert>
#include <cstring>

namespace unitfrac {

namespace {

// The question asked at a pause, read back as the new paging value.
constexpr std::string_view kPause =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / "
    "[zero, pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes les "
    "K solutions] ?    \t";
static_assert(kPause.size() == 189);

// Fixed parts of a line: "\t  ", the number (20), "  :   ", two newlines.
constexpr std::size_t kFixe = 3 + 20 + 6 + 2;

template <std::size_t N>
char* texte(char* p, const char (&s)[N]) {
  std::memcpy(p, s, N - 1);
  return p + (N - 1);
}

}  // namespace

void Affichage::debut_calcul() {
  pagination_.debut_calcul();
  copier(std::vector<long long>(static_cast<std::size_t>(reg_.n) + 1, 0));
}

void Affichage::debut_run() {
  K1 = 0;
  K1_repris_ = 0;
  pagination_.debut_run();
  m = 0;
  m1_pose_ = false;
}

// One solution line from x[1..n], numbered K1: "\t  ", K1, "  :   ", then the text of its
// values and good number, which is recorded; then a newline, and one more when `ligne_vide`
// (shown lines of the partial table). The whole line goes out in one write (tampon_).
template <class Int>
void Affichage::ecrire_ligne(const std::vector<Int>& x, bool ligne_vide) {
  const bool tally = reg_.cptbon == 1;
  const std::size_t taille = kFixe + queue_.place(x, tally);
  char* const debut = tampon_.reserver(taille);
  char* p = tete(debut);
  p = queue_.ecrire(p, x, tally, bon2_);
  *p++ = '\n';
  if (ligne_vide && forme_ == Forme::tableau) *p++ = '\n';
  assert(static_cast<std::size_t>(p - debut) <= taille);
  tampon_.ajouter(p);
  if (tally) bons_.inserer(bon2_);
}

// The same line from the prepared text of a solution.
void Affichage::ecrire_texte(std::string_view queue, const Bon& bon, bool ligne_vide) {
  char* p = tete(tampon_.reserver(kFixe + queue.size()));
  std::memcpy(p, queue.data(), queue.size());
  p += queue.size();
  *p++ = '\n';
  if (ligne_vide && forme_ == Forme::tableau) *p++ = '\n';
  tampon_.ajouter(p);
  if (reg_.cptbon == 1) bons_.inserer(bon);
}

// The start of a line of the table: "\t  ", K1, "  :   "; nothing in the plain form.
char* Affichage::tete(char* p) {
  if (forme_ == Forme::brut) return p;
  p = texte(p, "\t  ");
  p = numero(p);
  return texte(p, "  :   ");
}

// K1 in decimal. Lines are mostly numbered one after the other, so the text of the last number
// is kept and counted up in place.
char* Affichage::numero(char* p) {
  if (K1 != numero_ + 1 || numero_ < 0) {
    chiffres_numero_ = static_cast<int>(ecrire_decimal(texte_numero_, K1) - texte_numero_);
  } else {
    int j = chiffres_numero_ - 1;
    while (j >= 0 && texte_numero_[j] == '9') texte_numero_[j--] = '0';
    if (j >= 0) {
      ++texte_numero_[j];
    } else {  // 99...9 + 1
      std::memmove(texte_numero_ + 1, texte_numero_, static_cast<std::size_t>(chiffres_numero_));
      texte_numero_[0] = '1';
      ++chiffres_numero_;
    }
  }
  numero_ = K1;
  std::memcpy(p, texte_numero_, static_cast<std::size_t>(chiffres_numero_));
  return p + chiffres_numero_;
}

// The pause after the L-th line shown since the last one, unless the search was interrupted.
void Affichage::pause() {
  if (!pagination_.pause_due() || !pauses_) return;
  vider();
  if (autour_pause) autour_pause(true);
  struct Apres {
    const std::function<void(bool)>& f;
    ~Apres() {
      if (f) f(false);
    }
  } apres{autour_pause};
  pagination_.apres_pause(demande_(kPause));
  out_.write("\n\n", 2);
}

// m and m1 over the solutions found: x1 and xn of one more, or of the extremes of a run.
template <class Int>
void Affichage::statistiques(const Int& x1, const Int& xn) {
  if (comparer(m, xn) <= 0) affecter(m, xn);
  if (!m1_pose_ || comparer(m1, x1) >= 0) affecter(m1, x1);
  m1_pose_ = true;
}

// `affiche`: number the solution, show it or not as the pagination says, keep m and m1 over every
// solution, and pause after the L-th line shown since the last pause.
template <class Int>
void Affichage::affiche(const std::vector<Int>& x) {
  assert(x.size() == static_cast<std::size_t>(reg_.n) + 1 && x.size() >= 2);
  const std::size_t n = x.size() - 1;
  ++K1;
  if (pagination_.montrer()) ecrire_ligne(x, pagination_.mode() == Pagination::Mode::partiel);
  if (tout_sommer()) {
    sommer(x, bon2_);
    bons_.inserer(bon2_);
  }
  statistiques(x[1], x[n]);
  pause();
}

void Affichage::operator()(const std::vector<long long>& x) {
  affiche(x);
  copier(x);
}

void Affichage::operator()(const std::vector<i128>& x) {
  affiche(x);
  copier(x);
}

void Affichage::operator()(const std::vector<mpz_class>& x) {
  affiche(x);
  copier(x);
}

void Affichage::passer(long long nombre) {
  K1 += nombre;
  pagination_.passer(nombre);
}

template <class Int>
void Affichage::lot(const std::vector<Int>& /*premiere: none of the run is shown*/, const std::vector<Int>& derniere,
                    long long nombre) {
  passer(nombre);
  statistiques(derniere[1], derniere.back());
  copier(derniere);
}

template void Affichage::lot(const std::vector<long long>&, const std::vector<long long>&, long long);
template void Affichage::lot(const std::vector<i128>&, const std::vector<i128>&, long long);
template void Affichage::lot(const std::vector<mpz_class>&, const std::vector<mpz_class>&, long long);

// A count with the tally takes the good numbers of prepared solutions from the tally of their task.
void Affichage::operator()(std::string_view queue, const Bon& bon) {
  ++K1;
  if (pagination_.montrer()) ecrire_texte(queue, bon, pagination_.mode() == Pagination::Mode::partiel);
  pause();
}

std::string Affichage::derniere() const {
  std::string v;
  if (K1 == K1_repris_) return v;
  x1_.avec([&v](const auto& x) {
    for (std::size_t a = 1; a < x.size(); ++a) {
      if (a > 1) v += ' ';
      v += en_texte(x[a]);
    }
  });
  return v;
}

void Affichage::etendre(const Extremes& e) {
  if (!e.vide) statistiques(e.x1_min, e.xn_max);
}

// The closing line of a partial table: the last solution found, numbered K1, no empty line. In
// the plain form, only when that solution was not shown (its group of -L did not begin with it).
void Affichage::ligne_finale() {
  if (forme_ == Forme::compte || (forme_ == Forme::brut && pagination_.derniere_montree())) return;
  x1_.avec([this](const auto& x) { ecrire_ligne(x, false); });
}

}  // namespace unitfrac
