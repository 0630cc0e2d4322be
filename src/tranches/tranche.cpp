// The shard's number and its result line (tranche.hpp).
#include "tranches/tranche.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ostream>

namespace unitfrac {

namespace {

constexpr std::string_view kEntete = "unitfrac-resultat 1";

bool entier(std::string_view s, long long& v) {
  if (s.empty()) return false;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

bool grand(std::string_view s, mpz_class& v) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos) return false;
  return v.set_str(std::string(s), 10) == 0;
}

}  // namespace

bool lire_tranche(std::string_view v, Tranche& t) {
  const std::size_t barre = v.find('/');
  if (barre == std::string_view::npos) return false;
  Tranche u;
  if (!entier(v.substr(0, barre), u.I) || !entier(v.substr(barre + 1), u.K)) return false;
  if (u.I < 1 || u.I > u.K || u.K > tranches_maximum) return false;
  t = u;
  return true;
}

std::vector<long long> fin_commune(const std::vector<long long>& a, const std::vector<long long>& b) {
  const std::size_t m = std::min(a.size(), b.size());
  for (std::size_t j = 0; j < m; ++j)
    if (a[j] != b[j]) return a[j] > b[j] ? a : b;
  return a.size() >= b.size() ? a : b;
}

void ecrire_resultat(std::ostream& out, const Resultat& r) {
  char secondes[32];
  std::snprintf(secondes, sizeof secondes, "%.3f", r.secondes);
  out << kEntete << "\tcalcul=" << r.calcul << "\tforme=" << r.forme << "\ttranche=" << r.tranche.I << '/'
      << r.tranche.K << "\tsolutions=" << r.solutions << "\txn_max=" << r.xn_max.get_str()
      << "\tx1_min=" << r.x1_min.get_str() << "\tsecondes=" << secondes << "\tbons=" << r.bons << '\n';
}

bool lire_resultat(std::string_view ligne, Resultat& r) {
  if (!ligne.empty() && ligne.back() == '\r') ligne.remove_suffix(1);
  if (!ligne.starts_with(kEntete)) return false;
  ligne.remove_prefix(kEntete.size());
  r = Resultat{};
  int vus = 0;
  while (!ligne.empty()) {
    if (ligne[0] != '\t') return false;
    ligne.remove_prefix(1);
    const std::size_t fin = std::min(ligne.find('\t'), ligne.size());
    const std::string_view champ = ligne.substr(0, fin);
    ligne.remove_prefix(fin);
    const std::size_t egal = champ.find('=');
    if (egal == std::string_view::npos) return false;
    const std::string_view cle = champ.substr(0, egal), v = champ.substr(egal + 1);
    bool ok = true;
    if (cle == "calcul") {
      r.calcul = v;
    } else if (cle == "forme") {
      r.forme = v;
      ok = v == "tableau" || v == "brut" || v == "compte";
    } else if (cle == "tranche") {
      ok = lire_tranche(v, r.tranche);
    } else if (cle == "solutions") {
      ok = entier(v, r.solutions) && r.solutions >= 0;
    } else if (cle == "xn_max") {
      ok = grand(v, r.xn_max);
    } else if (cle == "x1_min") {
      ok = grand(v, r.x1_min);
    } else if (cle == "secondes") {
      r.secondes = std::strtod(std::string(v).c_str(), nullptr);
    } else if (cle == "bons") {
      r.bons = v;
    } else {
      continue;  // a field of a later version of this line: ignored
    }
    if (!ok) return false;
    ++vus;
  }
  return vus == 8 && !r.calcul.empty();
}

}  // namespace unitfrac
