// The plan of the shards (plan.hpp): the search ahead listed as pieces in its order, each the
// subtrees of a range of values of one position after a prefix, weighted; pieces too heavy for
// an even cut split until they are light; then the cut points where the running weight crosses
// each share.
#include "tranches/plan.hpp"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/travail.hpp"

namespace unitfrac {

namespace {

// The subtrees of x[d+1] = haut, haut - z, ... down to bas after the prefix x[1..d].
struct Morceau {
  int d = 0;
  std::size_t prefixe = 0;  // where x[1..d] start in the planner's values
  i128 haut = 0, bas = 0;
  double poids = 0;
  bool exact = false;
};

constexpr long long kFeuillesExactes = 4096;  // prefixes x[1..n-3] counted one by one in a piece
constexpr long long kFeuillesTout = 1 << 21;   // the whole search counted when it has no more
constexpr int kDescentes = 24;                 // descents that measure a piece
constexpr double kFinesse = 8;                 // pieces weigh at most total/(K·kFinesse)

class Planificateur {
 public:
  Planificateur(const Moteur& depart, long long K) : a_(depart.reglages()), K_(K) {
    const Reglages& reg = depart.reglages();
    n_ = reg.n;
    z_ = reg.z;
    // The search ahead of the start: the subtree of its prefix, then the later values of each of
    // its positions, the deepest first (their lowest values are the bounds the search keeps).
    const int i = depart.profondeur();
    if (i < 0 || n_ < 3) return;
    std::vector<i128> x(static_cast<std::size_t>(i) + 1, 0);
    for (int t = 1; t <= i; ++t) {
      long long v = depart.valeur(t);
      if (v < 0) {  // past 64 bits: a plan of one piece, the whole search in the first shard
        morceaux_.clear();
        return;
      }
      x[static_cast<std::size_t>(t)] = v;
      if (!a_.poser(t, v)) return;
    }
    for (int t = std::min(i, n_ - 2); t >= 1; --t) {
      const i128 bas = depart.borne_basse(t);
      i128 lo = std::max<i128>(bas, reg.type == 2 ? x[static_cast<std::size_t>(t) - 1] + 1 : x[static_cast<std::size_t>(t) - 1]);
      bool meme = reg.seq2 == 1 && t <= reg.s2;
      for (int s = 1; s < t && meme; ++s) meme = x[static_cast<std::size_t>(s)] == reg.x3[static_cast<std::size_t>(s)];
      if (meme) lo = std::max<i128>(lo, reg.x3[static_cast<std::size_t>(t)]);
      const i128 haut = t == i ? x[static_cast<std::size_t>(t)] : x[static_cast<std::size_t>(t)] - z_;
      if (haut < lo) continue;
      Morceau m;
      m.d = t - 1;
      m.prefixe = valeurs_.size();
      valeurs_.insert(valeurs_.end(), x.begin() + 1, x.begin() + t);
      m.haut = haut;
      m.bas = lo;
      morceaux_.push_back(m);
    }
    if (i == 0) {  // the whole search: x1's candidates
      Arbre::Candidats c;
      if (a_.candidats(0, c)) morceaux_.push_back({0, 0, c.haut, c.bas, 0, false});
    }
  }

  Plan faire() {
    Plan plan;
    // Small searches are counted whole, prefix by prefix: exact weights.
    std::vector<Morceau> feuilles;
    long long budget = kFeuillesTout;
    bool tout = true;
    for (const Morceau& m : morceaux_)
      if (!enumerer(m, feuilles, budget)) {
        tout = false;
        break;
      }
    if (tout) {
      morceaux_ = std::move(feuilles);
    } else {
      for (Morceau& m : morceaux_) estimer(m);
      raffiner();
    }
    plan.exact = tout;
    for (const Morceau& m : morceaux_) {
      plan.total += m.poids;
      plan.exact = plan.exact && m.exact;
    }
    couper(plan);
    return plan;
  }

 private:
  // x[1..d] of m posed in the tree.
  void poser(const Morceau& m) {
    for (int t = 1; t <= m.d; ++t) a_.poser(t, valeurs_[m.prefixe + static_cast<std::size_t>(t) - 1]);
  }

  // The pieces x[1..n-3] of each prefix below m, in order, with their exact weights, into `out`;
  // false when they pass the budget.
  bool enumerer(const Morceau& m, std::vector<Morceau>& out, long long& budget) {
    poser(m);
    std::vector<i128> prefixe(valeurs_.begin() + static_cast<std::ptrdiff_t>(m.prefixe),
                              valeurs_.begin() + static_cast<std::ptrdiff_t>(m.prefixe) + m.d);
    return descendre(m.d, m.haut, m.bas, prefixe, out, budget);
  }

  bool descendre(int d, i128 haut, i128 bas, std::vector<i128>& prefixe, std::vector<Morceau>& out, long long& budget) {
    if (d >= n_ - 3) {  // the values of x(n-2) (or deeper: one head) after x[1..n-3]
      if (--budget < 0) return false;
      Morceau f;
      f.d = d;
      f.prefixe = valeurs_.size();
      valeurs_.insert(valeurs_.end(), prefixe.begin(), prefixe.end());
      f.haut = haut;
      f.bas = bas;
      f.poids = d == n_ - 3 ? a_.poids_tetes(haut, bas) : a_.poids_tetes(prefixe.back(), prefixe.back());
      f.exact = true;
      out.push_back(f);
      return true;
    }
    for (i128 v = haut; v >= bas; v -= z_) {
      if (!a_.poser(d + 1, v)) return false;
      Arbre::Candidats c;
      if (!a_.candidats(d + 1, c)) {
        if (c.fin) return true;  // the search ends here
        continue;
      }
      prefixe.push_back(v);
      const bool ok = descendre(d + 1, c.haut, c.bas, prefixe, out, budget);
      prefixe.pop_back();
      if (!ok) return false;
    }
    return true;
  }

  // A number in [0, nombre) from the generator.
  static i128 hasard(std::mt19937_64& g, i128 nombre) {
    if (nombre <= static_cast<i128>(UINT64_MAX)) return static_cast<i128>(g() % static_cast<std::uint64_t>(nombre));
    const double f = static_cast<double>(g() >> 11) * 0x1.0p-53;
    return std::min<i128>(static_cast<i128>(f * static_cast<double>(nombre)), nombre - 1);
  }

  // The weight of m: exact when its prefixes x[1..n-3] are few, otherwise the mean of seeded
  // random descents (Knuth's estimator: the product of the numbers of candidates met times the
  // weight of the heads at the end).
  void estimer(Morceau& m) {
    std::vector<Morceau> feuilles;
    long long budget = kFeuillesExactes;
    const std::size_t avant = valeurs_.size();
    if (enumerer(m, feuilles, budget)) {
      m.poids = 0;
      for (const Morceau& f : feuilles) m.poids += f.poids;
      m.exact = true;
      valeurs_.resize(avant);
      return;
    }
    valeurs_.resize(avant);
    // The seed depends on the piece only: the same piece has the same weight everywhere.
    std::uint64_t graine = 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(m.d);
    for (int t = 0; t < m.d; ++t) graine = graine * 1000003 ^ static_cast<std::uint64_t>(valeurs_[m.prefixe + static_cast<std::size_t>(t)]);
    graine = graine * 1000003 ^ static_cast<std::uint64_t>(m.haut);
    graine = graine * 1000003 ^ static_cast<std::uint64_t>(m.bas);
    std::mt19937_64 g(graine);
    const i128 nombre = (m.haut - m.bas) / z_ + 1;
    double somme = 0;
    for (int k = 0; k < kDescentes; ++k) {
      poser(m);
      double poids = static_cast<double>(nombre);
      i128 v = m.haut - z_ * hasard(g, nombre);
      int d = m.d + 1;
      bool ok = a_.poser(d, v);
      while (ok && d < n_ - 3) {
        Arbre::Candidats c;
        if (!a_.candidats(d, c)) {
          ok = false;
          break;
        }
        poids *= static_cast<double>(c.nombre);
        v = c.haut - z_ * hasard(g, c.nombre);
        ok = a_.poser(++d, v);
      }
      if (!ok) continue;
      Arbre::Candidats c;
      if (a_.candidats(d, c)) somme += poids * a_.poids_tetes(c.haut, c.bas);
    }
    m.poids = somme / kDescentes;
    m.exact = false;
  }

  // Pieces heavier than total/(K·kFinesse) split: a range in two halves, a single value into
  // its children; until none is (or only single heads are).
  void raffiner() {
    for (int tour = 0; tour < 400; ++tour) {
      double total = 0;
      for (const Morceau& m : morceaux_) total += m.poids;
      const double seuil = total / (static_cast<double>(K_) * kFinesse);
      std::vector<Morceau> suivants;
      bool change = false;
      for (const Morceau& m : morceaux_) {
        if (m.poids <= seuil || m.d >= n_ - 3) {
          suivants.push_back(m);
          continue;
        }
        change = true;
        const i128 nombre = (m.haut - m.bas) / z_ + 1;
        if (nombre > 1) {
          Morceau h = m, b = m;
          h.bas = m.haut - z_ * (nombre / 2 - 1);
          b.haut = h.bas - z_;
          estimer(h);
          estimer(b);
          suivants.push_back(h);
          suivants.push_back(b);
          continue;
        }
        // One value: its children.
        poser(m);
        if (!a_.poser(m.d + 1, m.haut)) {
          suivants.push_back(m);
          continue;
        }
        Arbre::Candidats c;
        if (!a_.candidats(m.d + 1, c)) {
          Morceau vide = m;
          vide.poids = 0;
          vide.exact = true;
          suivants.push_back(vide);
          continue;
        }
        Morceau f;
        f.d = m.d + 1;
        f.prefixe = valeurs_.size();
        valeurs_.insert(valeurs_.end(), valeurs_.begin() + static_cast<std::ptrdiff_t>(m.prefixe),
                        valeurs_.begin() + static_cast<std::ptrdiff_t>(m.prefixe) + m.d);
        valeurs_.push_back(m.haut);
        f.haut = c.haut;
        f.bas = c.bas;
        estimer(f);
        suivants.push_back(f);
      }
      morceaux_ = std::move(suivants);
      if (!change) return;
    }
  }

  // The running weight against the shares I·total/K: a cut after the piece (or, within a piece
  // of heads, after the head) where it crosses each share.
  void couper(Plan& plan) {
    const double total = plan.total;
    plan.coupures.assign(static_cast<std::size_t>(std::max<long long>(K_ - 1, 0)), {});
    plan.poids.assign(static_cast<std::size_t>(K_), 0);
    double cumul = 0, debut = 0;
    long long I = 1;  // the next cut: after share I
    const auto cible = [&](long long j) { return total * static_cast<double>(j) / static_cast<double>(K_); };
    const auto placer = [&](std::vector<long long> p) {
      plan.coupures[static_cast<std::size_t>(I - 1)] = std::move(p);
      plan.poids[static_cast<std::size_t>(I - 1)] = cumul - debut;
      debut = cumul;
      ++I;
    };
    // The cut after the subtree of x[d+1] = v of m; a piece of one head (d = n - 2) is cut whole.
    const auto apres = [&](const Morceau& m, i128 v) {
      std::vector<long long> p;
      for (int t = 0; t < m.d; ++t) p.push_back(static_cast<long long>(valeurs_[m.prefixe + static_cast<std::size_t>(t)]));
      if (m.d < n_ - 2) p.push_back(static_cast<long long>(v));
      return p;
    };
    for (const Morceau& m : morceaux_) {
      if (I >= K_ || cumul + m.poids < cible(I) || m.d != n_ - 3) {
        cumul += m.poids;
        while (I < K_ && cumul >= cible(I)) placer(apres(m, m.bas));
        continue;
      }
      // Heads: as many at once as the share still takes (found by halving: a head's weight
      // changes along the range, by the size of b and where pairs become impossible).
      poser(m);
      i128 c = m.haut;
      while (c >= m.bas) {
        if (I >= K_) {
          cumul += a_.poids_tetes(c, m.bas);
          break;
        }
        const double w = a_.poids_tetes(c, c), reste = cible(I) - cumul;
        i128 prises = 1;
        if (w > 0 && reste > w) {
          i128 haut = (c - m.bas) / z_ + 1;
          while (prises < haut) {
            const i128 milieu = prises + (haut - prises + 1) / 2;
            if (a_.poids_tetes(c, c - z_ * (milieu - 1)) <= reste) prises = milieu;
            else haut = milieu - 1;
          }
        }
        const i128 dernier = c - z_ * (prises - 1);
        cumul += prises == 1 ? w : a_.poids_tetes(c, dernier);
        c = dernier - z_;
        while (I < K_ && cumul >= cible(I)) placer(apres(m, dernier));
      }
    }
    // The shard of the last cut placed takes the rest; those after it start and end at the end
    // of the search, empty.
    plan.poids[static_cast<std::size_t>(I - 1)] = total - debut;
    for (; I < K_; ++I) plan.coupures[static_cast<std::size_t>(I - 1)] = {};
  }

  Arbre a_;
  long long K_;
  int n_ = 0, z_ = 1;
  std::vector<i128> valeurs_;
  std::vector<Morceau> morceaux_;
};

}  // namespace

Plan planifier(const Moteur& depart, long long K) {
  Planificateur p(depart, K);
  return p.faire();
}

}  // namespace unitfrac
