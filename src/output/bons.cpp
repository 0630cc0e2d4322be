// The good-number tally: distinct sums of the displayed solutions with their counts, kept as a
// sorted table and a batch of values recorded since, merged in when the batch has grown.
// The display records each shown line's sum here; the report and the plain form list the tally;
// the dialogue empties it at the start of every calculation.
#include "output/bons.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <string>
#include <utility>

namespace unitfrac {

namespace {

constexpr std::size_t kLotMin = std::size_t{1} << 20;  // values waiting before a first merge

// Sorts [debut, fin) in place: the values go into 2048 buckets by their 11 highest bits that
// differ (each straight to its bucket, swapping out the one there), then each bucket is sorted
// the same way by the next bits. No second buffer: the memory of a tally is what costs most here.
void trier(std::uint64_t* debut, std::uint64_t* fin) {
  constexpr int kBits = 11;
  constexpr std::size_t kCases = std::size_t{1} << kBits;
  if (fin - debut <= 64) {
    std::sort(debut, fin);
    return;
  }
  std::uint64_t differents = 0;
  for (const std::uint64_t* p = debut; p != fin; ++p) differents |= *p ^ *debut;
  if (differents == 0) return;
  const int decalage = std::max(0, static_cast<int>(std::bit_width(differents)) - kBits);
  const auto cas = [decalage](std::uint64_t x) { return (x >> decalage) & (kCases - 1); };
  std::array<std::size_t, kCases + 1> bornes{};
  for (const std::uint64_t* p = debut; p != fin; ++p) ++bornes[cas(*p) + 1];
  for (std::size_t c = 0; c < kCases; ++c) bornes[c + 1] += bornes[c];
  std::array<std::size_t, kCases> prochain;
  std::copy(bornes.begin(), bornes.end() - 1, prochain.begin());
  for (std::size_t c = 0; c < kCases; ++c) {
    while (prochain[c] < bornes[c + 1]) {
      std::uint64_t x = debut[prochain[c]];
      for (std::size_t d = cas(x); d != c; d = cas(x)) std::swap(x, debut[prochain[d]++]);
      debut[prochain[c]++] = x;
    }
  }
  if (decalage > 0)
    for (std::size_t c = 0; c < kCases; ++c) trier(debut + bornes[c], debut + bornes[c + 1]);
}

}  // namespace

void Bons::attendre(std::uint64_t v) {
  // Reserved whole, the batch touches only the memory it fills, and never moves.
  if (attente_.capacity() == 0) attente_.reserve(std::max(kLotMin, valeurs_.size()));
  attente_.push_back(v);
  if (attente_.size() >= std::max(kLotMin, valeurs_.size())) ranger();
}

void Bons::inserer(const mpz_class& b) {
  assert(b >= 0);
  if (mpz_fits_ulong_p(b.get_mpz_t()) != 0)
    attendre(mpz_get_ui(b.get_mpz_t()));
  else
    ++grands_[b];
}

void Bons::inserer(const Bon& b) {
  if (b.grand)
    inserer(b.g);
  else if (b.v >= 0 && b.v <= static_cast<i128>(UINT64_MAX))
    attendre(static_cast<std::uint64_t>(b.v));
  else
    inserer(vers_mpz(b.v));
}

void Bons::ajouter(const Bons& autre) {
  for (const std::uint64_t v : autre.attente_) attendre(v);
  if (!autre.valeurs_.empty()) fusionner(autre.valeurs_, autre.nombres_);
  for (const auto& [g, k] : autre.grands_) grands_[g] += k;
}

void Bons::ajouter(const std::vector<std::uint64_t>& v, const std::vector<long long>& k) {
  if (v.empty()) return;
  ranger();
  if (valeurs_.empty()) {
    valeurs_ = v;
    nombres_ = k;
  } else {
    fusionner(v, k);
  }
}

void Bons::vider() {
  valeurs_.clear();
  nombres_.clear();
  attente_.clear();
  grands_.clear();
}

// The batch sorted and its repeats counted, in place, then merged into the table (or made the
// table when it is empty).
void Bons::ranger() const {
  if (attente_.empty()) return;
  trier(attente_.data(), attente_.data() + attente_.size());
  std::vector<long long> k;
  k.reserve(attente_.size());
  std::size_t b = 0;
  k.push_back(1);
  for (std::size_t a = 1; a < attente_.size(); ++a) {
    if (attente_[a] == attente_[b]) {
      ++k.back();
    } else {
      attente_[++b] = attente_[a];
      k.push_back(1);
    }
  }
  attente_.resize(b + 1);
  if (valeurs_.empty()) {
    valeurs_.swap(attente_);
    nombres_.swap(k);
  } else {
    fusionner(attente_, k);
  }
  attente_.clear();
}

// Merges sorted distinct values with their counts into the table, from the back and in place:
// the table grows by the values it did not hold, counted first.
void Bons::fusionner(const std::vector<std::uint64_t>& v, const std::vector<long long>& k) const {
  std::size_t nouveaux = 0;
  for (std::size_t a = 0, t = 0; a < v.size(); ++a) {
    while (t < valeurs_.size() && valeurs_[t] < v[a]) ++t;
    nouveaux += t == valeurs_.size() || valeurs_[t] != v[a];
  }
  const std::size_t m = valeurs_.size(), total = m + nouveaux;
  if (valeurs_.capacity() < total) {
    valeurs_.reserve(std::max(total, m + m / 2));
    nombres_.reserve(valeurs_.capacity());
  }
  valeurs_.resize(total);
  nombres_.resize(total);
  // Position `e` never overtakes the entries of the table not yet read (t <= e).
  std::size_t t = m, a = v.size(), e = total;
  while (a > 0) {
    --e;
    if (t > 0 && v[a - 1] < valeurs_[t - 1]) {
      --t;
      valeurs_[e] = valeurs_[t];
      nombres_[e] = nombres_[t];
    } else if (t > 0 && v[a - 1] == valeurs_[t - 1]) {
      --t;
      --a;
      valeurs_[e] = valeurs_[t];
      nombres_[e] = nombres_[t] + k[a];
    } else {
      --a;
      valeurs_[e] = v[a];
      nombres_[e] = k[a];
    }
  }
  assert(e == t);
}

long long Bons::nbon() const {
  ranger();
  return static_cast<long long>(valeurs_.size() + grands_.size());
}

void Bons::lister(std::ostream& out, std::string_view avant, std::string_view milieu, std::string_view apres) const {
  ranger();
  std::string tampon;
  const auto entree = [&](auto&& valeur, long long k) {
    char buf[24];
    tampon += avant;
    valeur();
    tampon += milieu;
    tampon.append(buf, ecrire_decimal(buf, k));
    tampon += apres;
    if (tampon.size() >= (1 << 16)) {
      out.write(tampon.data(), static_cast<std::streamsize>(tampon.size()));
      tampon.clear();
    }
  };
  for (std::size_t j = 0; j < valeurs_.size(); ++j)
    entree([&] {
      char buf[24];
      tampon.append(buf, std::to_chars(buf, buf + sizeof buf, valeurs_[j]).ptr);
    }, nombres_[j]);
  for (const auto& e : grands_) entree([&] { tampon += e.first.get_str(); }, e.second);
  out.write(tampon.data(), static_cast<std::streamsize>(tampon.size()));
}

std::size_t Bons::octets() const {
  return 8 * (valeurs_.capacity() + nombres_.capacity() + attente_.capacity()) + 64 * grands_.size();
}

}  // namespace unitfrac
