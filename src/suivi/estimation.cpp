// The work left in a search, counted or estimated by slices (see estimation.hpp).
#include "suivi/estimation.hpp"

#include <algorithm>

namespace unitfrac {

namespace {

// Prefixes listed at most, and descents made from each prefix measured, on the first pass.
constexpr i128 kCadreMax = 50000;  // values of one position listed one by one at most
constexpr int kSondesInitiales = 2;
constexpr int kSondesProfondeur = 1000;
// Levels those descents go down in all at most: a descent costs the depth, a million in the
// deepest searches.
constexpr int kNiveauxProfondeur = 200000;
// Descents or prefixes between two looks at the clock: one when each may cost milliseconds.
constexpr int kLot = 64, kProfondeurLente = 1000;

}  // namespace

Estimation::Estimation(const Reglages& reg, const Moteur::Etat& depart, double strates)
    : r_(reg), strates_max_(strates) {
  n_ = reg.n;
  z_ = reg.z;
  f_ = n_ - 2;
  x_.assign(n_ + 2, 0);
  N_.assign(n_ + 2, 0);
  D_.assign(n_ + 2, 1);
  // The state as Moteur::exporter writes it: the depth, N, D, x[1..i], minr[1..i].
  std::vector<i128> e;
  const auto lire = [&e](const auto& valeurs) {
    e.resize(valeurs.size());
    for (std::size_t k = 0; k < valeurs.size(); ++k)
      if (!convertir(valeurs[k], e[k])) return false;
    return true;
  };
  if (f_ < 0 || !(depart.v.empty() ? lire(depart.grand) : lire(depart.v)) || e.empty() || e[0] < 0) {
    pret_ = true;  // nothing to count, or past 128 bits: no step at depth n - 2 is counted
    return;
  }
  const int i = static_cast<int>(e[0]);
  const i128* x = e.data() + 3;  // x[1..i]
  const i128* minr = x + i;
  choisir_profondeur();
  // The search goes on with the subtree of the state's prefix, then with the later values of each
  // of its positions, the deepest first.
  for (int t = 1; t <= i; ++t) {
    if (!poser(t, x[t - 1])) {
      pret_ = true;
      return;
    }
  }
  for (int t = 1; t <= std::min(i, f_); ++t) {
    const i128 lo = r_.plus_bas(t, x_, minr[t - 1]);
    if (x_[t] - z_ >= lo) pile_.push_back({t, x_[t] - z_, lo});
  }
  if (i <= f_) visiter(i);
}

// A number in [0, nombre), nombre >= 1, at random.
i128 Estimation::au_hasard(i128 nombre) {
  if (nombre <= static_cast<i128>(UINT64_MAX))
    return static_cast<i128>(hasard_() % static_cast<std::uint64_t>(nombre));
  const auto c = static_cast<i128>(std::uniform_real_distribution<double>(0, 1)(hasard_) *
                                   static_cast<double>(nombre));
  return std::min(c, nombre - 1);
}

// x[d] = v and the partial sum of x[1..d]; false when it leaves 128 bits.
bool Estimation::poser(int d, i128 v) {
  x_[d] = v;
  return !mul_ovf(N_[d - 1], v, N_[d]) && !add_ovf(N_[d], D_[d - 1], N_[d]) &&
         !mul_ovf(D_[d - 1], v, D_[d]);
}

// The candidates of position d + 1 after x[1..d], as the search visits them: hi, hi - z, ...
// down to lo, `nombre` of them.
Estimation::Suite Estimation::bornes(int d, i128& lo, i128& hi, i128& nombre) const {
  switch (r_.candidats(d, D_[d], N_[d], x_, lo, hi)) {
    case Recherche<i128>::Candidats::oui: break;
    case Recherche<i128>::Candidats::fin: return Suite::fin;
    default: return Suite::aucune;  // none, or past 128 bits
  }
  nombre = (hi - lo) / z_ + 1;
  return Suite::candidats;
}

// One descent from x[1..d] to depth n - 3, one candidate chosen at random at each level: the
// product of the numbers of candidates met, times those of x(n-2) at the end, estimates the
// steps at depth n - 2 below x[1..d] (its mean over descents is exactly their number).
double Estimation::sonder(int d) {
  if (d >= f_) return d == f_ ? 1 : 0;
  double poids = 1;
  for (int k = d;; ++k) {
    i128 lo, hi, nombre;
    if (bornes(k, lo, hi, nombre) != Suite::candidats) return 0;
    if (k == f_ - 1) return poids * static_cast<double>(nombre);
    poids *= static_cast<double>(nombre);
    if (!poser(k + 1, hi - z_ * au_hasard(nombre))) return 0;
  }
}

// The prefix x[1..d] just placed: counted, or opened.
void Estimation::visiter(int d) {
  if (d == f_) {
    exact_ += 1;
    return;
  }
  i128 lo, hi, nombre;
  if (const Suite s = bornes(d, lo, hi, nombre); s != Suite::candidats) {
    if (s == Suite::fin) fin_ = true;
    return;
  }
  if (d == f_ - 1)
    exact_ += static_cast<double>(nombre);
  else
    pile_.push_back({d + 1, hi, lo});
}

// The next prefixes in the order of the search: one prefix listed, or the steps of a whole range
// of values counted or measured; false when there is nothing left.
bool Estimation::pas_suivant() {
  if (pile_.empty() || fin_) return false;
  const Cadre c = pile_.back();
  const i128 nombre = (c.v - c.lo) / z_ + 1;
  if (c.d == f_) {
    pile_.pop_back();
    exact_ += static_cast<double>(nombre);
  } else if (c.d > s_ || nombre > kCadreMax) {
    pile_.pop_back();
    Strate s{prefixes_.size()};
    prefixes_.push_back(c.d);
    prefixes_.insert(prefixes_.end(), x_.begin() + 1, x_.begin() + c.d);
    prefixes_.push_back(c.v);
    prefixes_.push_back(c.lo);
    strates_.push_back(s);
    for (int k = 0; k < kSondesInitiales; ++k) raffiner(strates_.size() - 1);
  } else {
    pile_.back().v -= z_;
    if (c.v - z_ < c.lo) pile_.pop_back();
    if (poser(c.d, c.v)) visiter(c.d);
  }
  return true;
}

// Strata as deep as possible while they stay few: the number of prefixes at each depth, from
// descents from the empty prefix.
void Estimation::choisir_profondeur() {
  s_ = std::max(0, f_ - 1);
  if (f_ <= 1) return;
  std::vector<double> noeuds(static_cast<std::size_t>(f_), 0);
  const int sondes = std::clamp(kNiveauxProfondeur / f_, 2, kSondesProfondeur);
  for (int k = 0; k < sondes; ++k) {
    double poids = 1;
    for (int d = 0; d < f_ - 1; ++d) {
      i128 lo, hi, nombre;
      if (bornes(d, lo, hi, nombre) != Suite::candidats) break;
      poids *= static_cast<double>(nombre);
      noeuds[static_cast<std::size_t>(d + 1)] += poids;
      if (!poser(d + 1, hi - z_ * au_hasard(nombre))) break;
    }
  }
  s_ = 0;
  while (s_ < f_ - 1 && noeuds[static_cast<std::size_t>(s_ + 1)] / sondes <= strates_max_) ++s_;
}

// One more descent from stratum k: a value of its range at random, then down to depth n - 3.
void Estimation::raffiner(std::size_t k) {
  Strate& s = strates_[k];
  const auto d = static_cast<int>(prefixes_[s.debut]);
  const i128 hi = prefixes_[s.debut + static_cast<std::size_t>(d)];
  const i128 lo = prefixes_[s.debut + static_cast<std::size_t>(d) + 1];
  bool ok = true;
  for (int t = 1; t < d && ok; ++t) ok = poser(t, prefixes_[s.debut + static_cast<std::size_t>(t)]);
  const i128 nombre = (hi - lo) / z_ + 1;
  if (ok && poser(d, hi - z_ * au_hasard(nombre))) s.somme += static_cast<double>(nombre) * sonder(d);
  ++s.sondes;
}

bool Estimation::travailler(std::chrono::nanoseconds duree) {
  const auto fin = std::chrono::steady_clock::now() + duree;
  const int lot = f_ > kProfondeurLente ? 1 : kLot;
  for (;;) {
    for (int k = 0; k < lot; ++k) {
      if (!pret_) {
        if (!pas_suivant()) pret_ = true;
      } else if (!strates_.empty()) {
        raffiner(prochaine_);
        prochaine_ = (prochaine_ + 1) % strates_.size();
      } else {
        return true;
      }
    }
    if (std::chrono::steady_clock::now() >= fin) return pret_;
  }
}

double Estimation::feuilles() const {
  double t = exact_;
  for (const Strate& s : strates_) t += s.somme / static_cast<double>(s.sondes);
  return t;
}

}  // namespace unitfrac
