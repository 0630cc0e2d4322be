// Solution display and paging: numbering, the four modes of the paging value L, the solution
// line with its good number, the largest xn / smallest x1, the pause, and the partial-table copy
// with its closing line. The search calls operator() once per accepted solution; the run driver
// calls debut_run, arret and ligne_finale; the report reads K1, m and m1.
#include "output/affiche.hpp"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace unitfrac {

namespace {

// The question asked at a pause, read back as the new paging value.
constexpr std::string_view kPause =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / "
    "[zero, pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes les "
    "K solutions] ?    \t";
static_assert(kPause.size() == 189);

static_assert(sizeof(long) == sizeof(long long), "mpz_*_si take the full 64-bit range here");

constexpr long long kMinLong = -0x7fffffffffffffffLL - 1;
constexpr long long kMaxLong = 0x7fffffffffffffffLL;

bool tient_64(i128 v) { return v >= kMinLong && v <= kMaxLong; }

// Exact m = v and comparisons of the mpz statistics with a value of any width, in place:
// no allocation unless a __int128 value leaves the 64-bit range.
void affecter(mpz_class& a, long long v) { mpz_set_si(a.get_mpz_t(), v); }
void affecter(mpz_class& a, i128 v) {
  if (tient_64(v)) mpz_set_si(a.get_mpz_t(), static_cast<long>(v)); else a = vers_mpz(v);
}
void affecter(mpz_class& a, const mpz_class& v) { a = v; }

int comparer(const mpz_class& a, long long v) { return mpz_cmp_si(a.get_mpz_t(), v); }
int comparer(const mpz_class& a, i128 v) {
  if (tient_64(v)) return mpz_cmp_si(a.get_mpz_t(), static_cast<long>(v));
  return mpz_cmp(a.get_mpz_t(), vers_mpz(v).get_mpz_t());
}
int comparer(const mpz_class& a, const mpz_class& v) { return mpz_cmp(a.get_mpz_t(), v.get_mpz_t()); }

// Room one value needs in decimal: sign and digits (mpz: digits may be one too many, plus the
// terminator that mpz_get_str writes).
constexpr std::size_t place(long long) { return 20; }
constexpr std::size_t place(i128) { return 40; }
std::size_t place(const mpz_class& v) { return mpz_sizeinbase(v.get_mpz_t(), 10) + 2; }

char* chiffres(char* p, i128 v) { return ecrire_decimal(p, v); }
char* chiffres(char* p, const mpz_class& v) {
  mpz_get_str(p, 10, v.get_mpz_t());
  return p + std::strlen(p);
}

template <std::size_t N>
char* texte(char* p, const char (&s)[N]) {
  std::memcpy(p, s, N - 1);
  return p + (N - 1);
}

// Fixed parts of a line: "\t  ", the number (20), "  :   ", ",   Total = ", two newlines.
constexpr std::size_t kFixe = 3 + 20 + 6 + 12 + 2;

template <class Int>
constexpr int largeur_de() {
  if constexpr (std::is_same_v<Int, long long>) return 0;
  else if constexpr (std::is_same_v<Int, i128>) return 1;
  else return 2;
}

}  // namespace

void Affichage::vider() {
  if (rempli_ == 0) return;
  out_.write(bloc_.data(), static_cast<std::streamsize>(rempli_));
  rempli_ = 0;
  if (!out_ && echec_ == 0) echec_ = errno != 0 ? errno : -1;
}

void Affichage::verifier() const {
  if (echec_ != 0) throw EchecEcriture(echec_ > 0 ? echec_ : 0);
}

void Affichage::debut_calcul() {
  K3 = 0;
  x1_ll_.assign(static_cast<std::size_t>(reg_.n) + 1, 0);
  x1_largeur_ = 0;
}

void Affichage::debut_run() {
  K1 = 0;
  K2 = 0;
  m = 0;
}

template <class Int>
std::vector<Int>& Affichage::copie() {
  if constexpr (largeur_de<Int>() == 0) return x1_ll_;
  else if constexpr (largeur_de<Int>() == 1) return x1_i128_;
  else return x1_mpz_;
}

// One solution line from x[1..n], numbered K1: "\t  ", K1, "  :   ", each value and "  \t",
// with the tally on ",   Total = " and the sum, which is recorded; then a newline, and one more
// when `ligne_vide` (shown lines of the partial table). The whole line goes out in one write.
template <class Int>
void Affichage::ecrire_ligne(const std::vector<Int>& x, bool ligne_vide) {
  const std::size_t n = x.size() - 1;
  const bool tally = reg_.cptbon == 1;

  // The good number: n < 2^31 values below 2^63 sum below 2^94, so long long lines sum exactly
  // in __int128; __int128 lines fall back to mpz only when their sum overflows.
  i128 somme = 0;
  bool somme_i128 = !est_mpz<Int>;
  if (tally) {
    if constexpr (est_mpz<Int>) {
      bon2_ = 0;
      for (std::size_t a = 1; a <= n; ++a) bon2_ += x[a];
    } else {
      for (std::size_t a = 1; a <= n && somme_i128; ++a) somme_i128 = !add_ovf(somme, i128(x[a]), somme);
      if (!somme_i128) {
        bon2_ = 0;
        for (std::size_t a = 1; a <= n; ++a) bon2_ += vers_mpz(x[a]);
      } else {
        affecter(bon2_, somme);
      }
    }
  }

  std::size_t taille = kFixe + (somme_i128 ? 40 : place(bon2_));
  if constexpr (est_mpz<Int>) {
    for (std::size_t a = 1; a <= n; ++a) taille += place(x[a]) + 3;
  } else {
    taille += n * (place(Int()) + 3);
  }
  // Lines gather in a block written out when full, before any other output (the pause, the end of
  // the run) and, at a terminal, at once.
  if (bloc_.size() - rempli_ < taille) {
    vider();
    if (bloc_.size() < taille) bloc_.resize(std::max<std::size_t>(taille, 1 << 16));
  }
  char* const debut = bloc_.data() + rempli_;
  char* p = texte(debut, "\t  ");
  p = numero(p);
  p = texte(p, "  :   ");
  if constexpr (std::is_same_v<Int, long long>) {
    p = valeurs(p, x);
  } else {
    for (std::size_t a = 1; a <= n; ++a) {
      p = chiffres(p, x[a]);
      p = texte(p, "  \t");
    }
  }
  if (tally) {
    p = texte(p, ",   Total = ");
    p = somme_i128 ? ecrire_decimal(p, somme) : chiffres(p, bon2_);
  }
  *p++ = '\n';
  if (ligne_vide) *p++ = '\n';
  assert(static_cast<std::size_t>(p - debut) <= taille);
  rempli_ += static_cast<std::size_t>(p - debut);
  if (out_.flags() & std::ios::unitbuf) vider();

  if (tally) bons_.inserer(bon2_);
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

// The values of a 64-bit solution, each followed by "  \t". Consecutive solutions mostly share
// their first unknowns: the text of the last values is kept with where each ends, and written
// again only from the first value that changed.
char* Affichage::valeurs(char* p, const std::vector<long long>& x) {
  const std::size_t n = x.size() - 1;
  std::size_t a = 1;
  if (precedent_.size() == x.size()) {
    while (a <= n && precedent_[a] == x[a]) ++a;
  } else {
    precedent_.assign(x.size(), 0);
    fin_.assign(x.size(), 0);
    texte_valeurs_.resize(n * 23);
  }
  char* q = texte_valeurs_.data() + fin_[a - 1];
  for (; a <= n; ++a) {
    q = ecrire_decimal(q, x[a]);
    q = texte(q, "  \t");
    precedent_[a] = x[a];
    fin_[a] = static_cast<std::size_t>(q - texte_valeurs_.data());
  }
  std::memcpy(p, texte_valeurs_.data(), fin_[n]);
  return p + fin_[n];
}

// `affiche`: number the solution, show it or not by L, keep m and m1 over every solution, and
// pause after the L-th line shown since the last pause.
template <class Int>
void Affichage::affiche(const std::vector<Int>& x) {
  assert(x.size() == static_cast<std::size_t>(reg_.n) + 1 && x.size() >= 2);
  const std::size_t n = x.size() - 1;
  ++K1;

  bool montre = false;
  if (L > 0) {
    ++K2;
    montre = true;
  } else if (L == 0) {
    montre = true;
  } else if (L < -1) {
    // Groups of -L solutions; the first of each is shown. L == -v rather than v == -L: the
    // user may have typed the most negative 64-bit value.
    const long long v = K3 + 1;
    if (L == -v) {
      K3 = 0;
    } else {
      K3 = v;
      montre = v == 1;
    }
  }
  if (montre && !muet) ecrire_ligne(x, L < -1);

  if (comparer(m, x[n]) <= 0) affecter(m, x[n]);
  if (K1 == 1 || comparer(m1, x[1]) >= 0) affecter(m1, x[1]);

  // K2 grows only while L > 0, so this is the paused display right after its L-th line.
  if (L != 0 && K2 == L) {
    vider();
    lecteur_.controle(5, kPause);
    L = lecteur_.valeur;
    out_.write("\n\n", 2);
    K2 = 0;
  }
}

// The partial-table copy follows `affiche` and reads L after it, since a pause may change it.
void Affichage::operator()(const std::vector<long long>& x) {
  affiche(x);
  if (L < -1) {
    copie<long long>() = x;
    x1_largeur_ = largeur_de<long long>();
  }
}

void Affichage::operator()(const std::vector<i128>& x) {
  affiche(x);
  if (L < -1) {
    copie<i128>() = x;
    x1_largeur_ = largeur_de<i128>();
  }
}

void Affichage::operator()(const std::vector<mpz_class>& x) {
  affiche(x);
  if (L < -1) {
    copie<mpz_class>() = x;
    x1_largeur_ = largeur_de<mpz_class>();
  }
}

// The closing line of a partial table: the last solution found, numbered K1, no empty line.
void Affichage::ligne_finale() {
  switch (x1_largeur_) {
    case 0: ecrire_ligne(x1_ll_, false); break;
    case 1: ecrire_ligne(x1_i128_, false); break;
    default: ecrire_ligne(x1_mpz_, false); break;
  }
}

}  // namespace unitfrac
