// The text of a solution line after its number, the good number, and the extreme values of a run
// of solutions, at every integer width.
#include "output/ligne.hpp"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace unitfrac {

namespace {

static_assert(sizeof(long) == sizeof(long long), "mpz_*_si take the full 64-bit range here");

constexpr long long kMinLong = -0x7fffffffffffffffLL - 1;
constexpr long long kMaxLong = 0x7fffffffffffffffLL;

bool tient_64(i128 v) { return v >= kMinLong && v <= kMaxLong; }

// Room one value needs in decimal with the "  \t" after it: sign and digits (mpz: digits may be
// one too many, plus the terminator that mpz_get_str writes).
constexpr std::size_t place_valeur(long long) { return 20 + 3; }
constexpr std::size_t place_valeur(i128) { return 40 + 3; }
std::size_t place_valeur(const mpz_class& v) { return mpz_sizeinbase(v.get_mpz_t(), 10) + 2 + 3; }

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

// ",   Total = " and a sum that fits __int128 or, past it, n < 2^20 values of 128 bits (at most
// 47 digits).
constexpr std::size_t kPlaceTotal = 12 + 60;

}  // namespace

void affecter(mpz_class& m, long long v) { mpz_set_si(m.get_mpz_t(), v); }
void affecter(mpz_class& m, i128 v) {
  if (tient_64(v)) mpz_set_si(m.get_mpz_t(), static_cast<long>(v)); else m = vers_mpz(v);
}
void affecter(mpz_class& m, const mpz_class& v) { m = v; }

int comparer(const mpz_class& m, long long v) { return mpz_cmp_si(m.get_mpz_t(), v); }
int comparer(const mpz_class& m, i128 v) {
  if (tient_64(v)) return mpz_cmp_si(m.get_mpz_t(), static_cast<long>(v));
  return mpz_cmp(m.get_mpz_t(), vers_mpz(v).get_mpz_t());
}
int comparer(const mpz_class& m, const mpz_class& v) { return mpz_cmp(m.get_mpz_t(), v.get_mpz_t()); }

template <class Int>
std::size_t Queue::place(const std::vector<Int>& x, bool tally) const {
  const std::size_t n = x.size() - 1;
  if constexpr (est_mpz<Int>) {
    std::size_t t = 0, plus_grand = 0;
    for (std::size_t a = 1; a <= n; ++a) {
      const std::size_t p = place_valeur(x[a]);
      t += p;
      plus_grand = std::max(plus_grand, p);
    }
    return t + (tally ? 12 + plus_grand + 10 : 0);  // the sum has at most 7 more digits
  } else {
    return n * place_valeur(Int()) + (tally ? kPlaceTotal : 0);
  }
}

template <class Int>
void sommer(const std::vector<Int>& x, Bon& bon) {
  // n < 2^31 values below 2^63 sum below 2^94, so long long lines sum exactly in __int128;
  // __int128 lines fall back to mpz only when their sum overflows.
  const std::size_t n = x.size() - 1;
  bon.grand = est_mpz<Int>;
  if constexpr (est_mpz<Int>) {
    bon.g = 0;
    for (std::size_t a = 1; a <= n; ++a) bon.g += x[a];
  } else {
    bon.v = 0;
    for (std::size_t a = 1; a <= n && !bon.grand; ++a) bon.grand = add_ovf(bon.v, i128(x[a]), bon.v);
    if (bon.grand) {
      bon.g = 0;
      for (std::size_t a = 1; a <= n; ++a) bon.g += vers_mpz(x[a]);
    }
  }
}

char* Queue::separateur(char* p) const {
  if (brut_) {
    *p = ' ';
    return p + 1;
  }
  return texte(p, "  \t");
}

template <class Int>
char* Queue::ecrire(char* p, const std::vector<Int>& x, bool tally, Bon& bon) {
  const std::size_t n = x.size() - 1;
  if constexpr (std::is_same_v<Int, long long>) {
    p = valeurs(p, x);
  } else {
    for (std::size_t a = 1; a <= n; ++a) p = separateur(chiffres(p, x[a]));
  }
  if (brut_) --p;  // no blank after the last value
  if (!tally) return p;
  sommer(x, bon);
  if (brut_) return p;
  p = texte(p, ",   Total = ");
  return bon.grand ? chiffres(p, bon.g) : ecrire_decimal(p, bon.v);
}

char* Queue::valeurs(char* p, const std::vector<long long>& x) {
  const std::size_t n = x.size() - 1;
  std::size_t a = 1;
  if (precedent_.size() == x.size()) {
    while (a <= n && precedent_[a] == x[a]) ++a;
  } else {
    precedent_.assign(x.size(), 0);
    fin_.assign(x.size(), 0);
    texte_valeurs_.resize(n * place_valeur(0LL));
  }
  char* q = texte_valeurs_.data() + fin_[a - 1];
  for (; a <= n; ++a) {
    q = separateur(ecrire_decimal(q, x[a]));
    precedent_[a] = x[a];
    fin_[a] = static_cast<std::size_t>(q - texte_valeurs_.data());
  }
  std::memcpy(p, texte_valeurs_.data(), fin_[n]);
  return p + fin_[n];
}

template void sommer(const std::vector<long long>&, Bon&);
template void sommer(const std::vector<i128>&, Bon&);
template void sommer(const std::vector<mpz_class>&, Bon&);
template std::size_t Queue::place(const std::vector<long long>&, bool) const;
template std::size_t Queue::place(const std::vector<i128>&, bool) const;
template std::size_t Queue::place(const std::vector<mpz_class>&, bool) const;
template char* Queue::ecrire(char*, const std::vector<long long>&, bool, Bon&);
template char* Queue::ecrire(char*, const std::vector<i128>&, bool, Bon&);
template char* Queue::ecrire(char*, const std::vector<mpz_class>&, bool, Bon&);

}  // namespace unitfrac
