// The pieces of a solution line that do not depend on its number: the text after "  :   " (each
// value followed by "  \t", then with the tally ",   Total = " and the good number), the good
// number itself, and the largest xn / smallest x1 of a run of solutions. The display uses them for
// every line it writes; the workers of a parallel search use them to prepare lines ahead.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/entier.hpp"
#include "output/bons.hpp"

namespace unitfrac {

// How solutions are written: the table's numbered lines (each value followed by "  \t"), plain
// lines (the values separated by one blank, nothing else), or not at all (a count).
enum class Forme { tableau, brut, compte };

// The good number of x[1..n] into `bon`.
template <class Int>
void sommer(const std::vector<Int>& x, Bon& bon);

// The text of a line after its number (the whole line but its newline in the plain form).
// Consecutive 64-bit solutions mostly share their first unknowns, so the text of the last values
// is kept with where each ends, and only the values from the first one that changed are written
// again.
class Queue {
 public:
  explicit Queue(Forme forme = Forme::tableau) : brut_(forme == Forme::brut) {}

  // The most bytes that ecrire may write for x.
  template <class Int>
  std::size_t place(const std::vector<Int>& x, bool tally) const;
  // Writes the text of x[1..n] at p and returns its end; with the tally, the sum goes to `bon`
  // (and, in the table's form, ",   Total = " and the sum to the text).
  template <class Int>
  char* ecrire(char* p, const std::vector<Int>& x, bool tally, Bon& bon);

 private:
  char* valeurs(char* p, const std::vector<long long>& x);
  char* separateur(char* p) const;

  bool brut_;
  std::vector<long long> precedent_;  // the last 64-bit values written, their text and ends
  std::vector<std::size_t> fin_;
  std::vector<char> texte_valeurs_;
};

// One solution kept in the width it came in; keeping another of the same width reuses the room.
class Copie {
 public:
  template <class Int>
  void garder(const std::vector<Int>& x) {
    if constexpr (std::is_same_v<Int, long long>) {
      ll_ = x;
      largeur_ = 0;
    } else if constexpr (std::is_same_v<Int, i128>) {
      i128_ = x;
      largeur_ = 1;
    } else {
      mpz_ = x;
      largeur_ = 2;
    }
  }
  // f(x) with the solution kept, whatever its width.
  template <class F>
  decltype(auto) avec(F&& f) const {
    if (largeur_ == 1) return f(i128_);
    if (largeur_ == 2) return f(mpz_);
    return f(ll_);
  }

 private:
  std::vector<long long> ll_{0};
  std::vector<i128> i128_;
  std::vector<mpz_class> mpz_;
  int largeur_ = 0;
};

// m = v and the three-way comparison of m with v, exact at every width, without allocating
// unless an __int128 value leaves the 64-bit range.
void affecter(mpz_class& m, long long v);
void affecter(mpz_class& m, i128 v);
void affecter(mpz_class& m, const mpz_class& v);
int comparer(const mpz_class& m, long long v);
int comparer(const mpz_class& m, i128 v);
int comparer(const mpz_class& m, const mpz_class& v);

// The largest xn and the smallest x1 of the solutions seen.
struct Extremes {
  bool vide = true;
  mpz_class xn_max, x1_min;

  template <class Int>
  void ajouter(const Int& x1, const Int& xn) {
    if (vide || comparer(xn_max, xn) <= 0) affecter(xn_max, xn);
    if (vide || comparer(x1_min, x1) >= 0) affecter(x1_min, x1);
    vide = false;
  }
  void ajouter(const Extremes& e) {
    if (!e.vide) ajouter(e.x1_min, e.xn_max);
  }
};

}  // namespace unitfrac
