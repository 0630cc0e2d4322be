// The rules shared by the dialogue and the command line for one calculation's settings; see
// regles.hpp. Used by Calculs (the questions) and by the option mode (options.cpp).
#include "dialogue/regles.hpp"

#include <algorithm>
#include <cassert>

#include "engine/recherche.hpp"
#include "tranches/plan.hpp"

namespace unitfrac {

void reduire(Reglages& reg) {
  reg.pg = reg.P1 == reg.Q1 ? reg.Q1 : pgcd(reg.P1, reg.Q1);
  reg.P = reg.P1 / reg.pg;
  reg.Q = reg.Q1 / reg.pg;
}

bool en_ordre(int type, long long precedente, long long valeur) {
  return type == 2 ? valeur > precedente : valeur >= precedente;
}

const char* message_ordre(int type) {
  return type == 2 ? " \n \t La valeur doit etre strictement superieure a la precedente. Recommencez ! \n"
                   : " \n \t La valeur doit etre superieur ou egale a la precedente. Recommencez ! \n";
}

bool serie_valide(const Reglages& reg) {
  const int g = std::min(reg.s, reg.s2);
  for (int c = 1; c <= g; ++c)
    if (reg.x2[c] != reg.x3[c]) return reg.x2[c] > reg.x3[c];
  return true;
}

void ajuster_borne(Reglages& reg) {
  reg.Ma = reg.M;
  if (reg.parite == 1 && reg.M % 2 == 0 && reg.M != 0) reg.M -= 1;
  if (reg.parite == 2 && reg.M % 2 != 0) reg.M -= 1;
}

bool donnees_valides(const Reglages& reg) {
  return reg.Ma == 0 || static_cast<i128>(reg.P) * reg.Ma >= static_cast<i128>(reg.n) * reg.Q;
}

Moteur preparer(const Reglages& reg) {
  if (reg.tri != 1) return Moteur(reg);
  Reglages avant = reg;  // the settings as they stand when the dialogue places the first unknowns
  avant.M = avant.Ma = 0;
  avant.seq2 = avant.s2 = 0;
  Moteur moteur(avant);
  if (reg.seq == 1) {
    // Each start value is placed while the ones before it went in unchanged.
    int stop1 = 0;
    for (int s = 1; s <= reg.s && stop1 == 0; ++s) moteur.placer_debut(reg.x2[s], s, stop1);
  } else if (reg.n > 1) {
    // With a single unknown the search from depth 0 is already the whole answer Q/P.
    moteur.placer_premiere();
  }
  moteur.regler(reg);
  return moteur;
}

namespace {

std::vector<long long> sequence(const std::vector<long long>& x, int s) {
  return {x.begin() + 1, x.begin() + 1 + s};
}

void poser_sequence(const Reglages& reg, const std::vector<long long>& v, std::vector<long long>& x, int& s) {
  x.assign(static_cast<std::size_t>(reg.n) + 1, 0);
  std::copy(v.begin(), v.end(), x.begin() + 1);
  s = static_cast<int>(v.size());
}

}  // namespace

Moteur preparer_tranche(const Reglages& reg, const Tranche& t, Reglages& reg_tranche) {
  reg_tranche = reg;
  if (t.K == 1) return preparer(reg);
  const Plan plan = planifier(preparer(reg), t.K);
  const auto coupure = [&plan](long long j) -> const std::vector<long long>& {
    return plan.coupures[static_cast<std::size_t>(j - 1)];
  };
  // The end: after the subtree of cut I (none: the end of the search), or the end sequence asked
  // for when it comes first.
  if (t.I < t.K && !coupure(t.I).empty()) {
    std::vector<long long> fin = coupure(t.I);
    if (reg.seq2 == 1) fin = fin_commune(fin, sequence(reg.x3, reg.s2));
    reg_tranche.tri = 1;
    reg_tranche.seq2 = 1;
    poser_sequence(reg, fin, reg_tranche.x3, reg_tranche.s2);
  }
  if (t.I == 1) return preparer(reg_tranche);
  // The start: right after the subtree of cut I - 1. Two equal cuts hold nothing between them.
  const std::vector<long long>& debut = coupure(t.I - 1);
  if (debut.empty() || (t.I < t.K && debut == coupure(t.I))) {
    Moteur vide = preparer(reg_tranche);
    vide.finir();
    return vide;
  }
  Reglages place = reg_tranche;
  place.tri = 1;
  place.seq = 1;
  poser_sequence(reg, debut, place.x2, place.s);
  Moteur moteur = preparer(place);
  const int d = static_cast<int>(debut.size());
  // A cut is a prefix the search visits, so it is placed as it stands.
  assert(moteur.profondeur() == d && moteur.valeur(d) == debut.back());
  moteur.sauter(d);
  moteur.regler(reg_tranche);
  return moteur;
}

}  // namespace unitfrac
