// The rules shared by the dialogue and the command line for one calculation's settings; see
// regles.hpp. Used by Calculs (the questions) and by the option mode (options.cpp).
#include "dialogue/regles.hpp"

#include <algorithm>

#include "engine/recherche.hpp"

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

}  // namespace unitfrac
