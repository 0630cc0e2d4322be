// The non-template parts of the search: gcd and the parity cases ruled out before a search.
#include "engine/recherche.hpp"

namespace unitfrac {

long long pgcd(long long P3, long long Q3) {
  // Euclid's remainder steps give the same divisor as repeated subtraction, in O(log) steps.
  while (Q3 != 0) {
    const long long t = P3 % Q3;
    P3 = Q3;
    Q3 = t;
  }
  return P3;
}

bool pairs_impossibles(const Reglages& reg) {
  return reg.parite == 2 && 2 * static_cast<i128>(reg.P) > static_cast<i128>(reg.n) * reg.Q;
}

bool impairs_impossibles(const Reglages& reg) {
  return reg.parite == 1 && (reg.Q % 2 == 0 || reg.n % 2 != reg.P % 2);
}

void fusionner(const std::vector<Facteur>& f1, const std::vector<Facteur>& f2, std::vector<Facteur>& out) {
  out.clear();
  std::size_t a = 0, b = 0;
  while (a < f1.size() || b < f2.size()) {
    if (b == f2.size() || (a < f1.size() && f1[a].first < f2[b].first)) {
      out.push_back(f1[a++]);
    } else if (a == f1.size() || f2[b].first < f1[a].first) {
      out.push_back(f2[b++]);
    } else {
      out.emplace_back(f1[a].first, f1[a].second + f2[b].second);
      ++a, ++b;
    }
  }
}

// The widths the program uses.
template class Recherche<long long>;
template class Recherche<i128>;
template class Recherche<mpz_class>;

}  // namespace unitfrac
