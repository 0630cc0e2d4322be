// What the workers of a parallel search make of the solutions of a task, for the display to number
// and write later in order: the prepared lines of every solution (PuitsLignes), or, where the
// display shows one solution in K for a large K, only their number, the first and the last
// (PuitsCompte); and the solutions of given ranks of a task run again (PuitsExtraction).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "output/ligne.hpp"

namespace unitfrac {

// Prepared lines of consecutive solutions: the text of each line after its number, and with the
// tally its good number.
struct Morceau {
  long long nombre = 0;
  Copie derniere;  // the values of the last, when filled by PuitsLignes (nombre > 0)
  std::string texte;                 // the texts one after another
  std::vector<std::uint32_t> fins;   // where each ends in `texte`
  // Tally on: the good number of each, or, past __int128, -1 - its place in `grands`.
  std::vector<i128> sommes;
  std::vector<mpz_class> grands;

  template <class Int>
  void ajouter(Queue& queue, const std::vector<Int>& x, bool tally) {
    const std::size_t debut = texte.size();
    texte.resize(debut + queue.place(x, tally));
    char* const p = texte.data() + debut;
    char* const fin = queue.ecrire(p, x, tally, bon_);
    texte.resize(debut + static_cast<std::size_t>(fin - p));
    fins.push_back(static_cast<std::uint32_t>(texte.size()));
    if (tally) garder(bon_);
    ++nombre;
  }
  // Record k of another.
  void ajouter_de(const Morceau& o, std::size_t k) {
    texte.append(o.queue(k));
    fins.push_back(static_cast<std::uint32_t>(texte.size()));
    if (!o.sommes.empty()) garder(o.bon(k, bon_));
    ++nombre;
  }
  std::string_view queue(std::size_t k) const {
    const std::size_t debut = k == 0 ? 0 : fins[k - 1];
    return std::string_view(texte).substr(debut, fins[k] - debut);
  }
  // The good number of record k, into `b` (kept by the caller from one record to the next: no
  // GMP integer made for each line).
  const Bon& bon(std::size_t k, Bon& b) const {
    if (sommes.empty()) return b;
    b.v = sommes[k];
    b.grand = b.v < 0;
    if (b.grand) b.g = grands[static_cast<std::size_t>(-1 - b.v)];
    return b;
  }
  void vider() {
    nombre = 0;
    texte.clear();
    fins.clear();
    sommes.clear();
    grands.clear();
  }
  // The memory it holds.
  std::size_t octets() const {
    return texte.capacity() + 4 * fins.capacity() + 16 * sommes.capacity() + 32 * grands.size();
  }

 private:
  void garder(const Bon& b) {
    if (b.grand) {
      sommes.push_back(-1 - static_cast<i128>(grands.size()));
      grands.push_back(b.g);
    } else {
      sommes.push_back(b.v);
    }
  }
  Bon bon_;
};

// Every solution prepared as a line; the search stops, even inside a step, once `arret` is up.
class PuitsLignes {
 public:
  PuitsLignes(Forme forme, bool tally, const std::atomic<bool>& arret) : queue_(forme), tally_(tally), arret_(arret) {}
  template <class Int>
  void operator()(const std::vector<Int>& x) {
    morceau.ajouter(queue_, x, tally_);
    morceau.derniere.garder(x);
    extremes.ajouter(x[1], x.back());
  }
  bool arret() const { return arret_.load(std::memory_order_relaxed); }

  Morceau morceau;  // what was prepared since it was last taken
  Extremes extremes;

 private:
  Queue queue_;
  bool tally_;
  const std::atomic<bool>& arret_;
};

// Solutions counted, with the first prepared and the last kept, and taken in runs; for a count
// (nothing written), without preparing lines, and with the tally one by one with the good number
// of each recorded.
class PuitsCompte {
 public:
  PuitsCompte(Forme forme, bool tally)
      : queue_(forme), tally_(tally), textes_(forme != Forme::compte), tout_sommer_(forme == Forme::compte && tally) {}
  template <class Int>
  void operator()(const std::vector<Int>& x) {
    if (nombre == 0 && textes_) premiere.ajouter(queue_, x, tally_);
    derniere_.garder(x);
    extremes.ajouter(x[1], x.back());
    if (tout_sommer_) {
      sommer(x, bon_);
      bons.inserer(bon_);
    }
    ++nombre;
  }
  bool une_a_une(long long) const { return tout_sommer_; }
  template <class Int>
  void lot(const std::vector<Int>& prem, const std::vector<Int>& dern, long long k) {
    if (nombre == 0 && textes_) premiere.ajouter(queue_, prem, tally_);
    derniere_.garder(dern);
    extremes.ajouter(dern[1], dern.back());
    nombre += k;
  }
  bool arret() const { return false; }
  // The last solution counted, as values, taken out (a deep search's is megabytes).
  Copie prendre_derniere() { return std::move(derniere_); }
  // The last solution counted, prepared.
  Morceau derniere() {
    Morceau m;
    if (nombre > 0) derniere_.avec([&](const auto& x) { m.ajouter(queue_, x, tally_); });
    return m;
  }

  long long nombre = 0;
  Morceau premiere;
  Extremes extremes;
  Bons bons;  // a count with the tally: the good numbers of all

 private:
  Queue queue_;
  Copie derniere_;
  bool tally_, textes_, tout_sommer_;
  Bon bon_;
};

// Solutions counted from rank `rang`; those whose ranks are in `voulus` (increasing) prepared.
class PuitsExtraction {
 public:
  PuitsExtraction(Forme forme, bool tally, long long rang, std::vector<long long> voulus)
      : rang_(rang), voulus_(std::move(voulus)), queue_(forme), tally_(tally) {}
  template <class Int>
  void operator()(const std::vector<Int>& x) {
    if (k_ < voulus_.size() && voulus_[k_] == rang_) {
      lignes.ajouter(queue_, x, tally_);
      ++k_;
    }
    ++rang_;
  }
  bool une_a_une(long long nombre) const { return k_ < voulus_.size() && voulus_[k_] < rang_ + nombre; }
  template <class Int>
  void lot(const std::vector<Int>&, const std::vector<Int>&, long long nombre) {
    rang_ += nombre;
  }
  bool arret() const { return k_ == voulus_.size(); }

  Morceau lignes;  // the solutions wanted, in order

 private:
  long long rang_;
  std::vector<long long> voulus_;
  std::size_t k_ = 0;
  Queue queue_;
  bool tally_;
};

}  // namespace unitfrac
