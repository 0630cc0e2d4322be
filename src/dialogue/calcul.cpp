// One calculation: the questions in their order, the start and end sequences with their checks,
// then the run: data check, heading, the search loop, the partial-table closing line, the report
// and the closing lines.
#include "dialogue/calcul.hpp"

#include <algorithm>
#include <string>

#include "engine/moteur.hpp"
#include "engine/recherche.hpp"
#include "parallele/fusion.hpp"

namespace unitfrac {

namespace {

const char* const ordre_type1 =
    " \n \t La valeur doit etre superieur ou egale a la precedente. Recommencez ! \n";
const char* const ordre_type2 =
    " \n \t La valeur doit etre strictement superieure a la precedente. Recommencez ! \n";

// Asks the value of position sc of a sequence, framed as "x<sc> =  ([0] si fin) ?".
long long demander_valeur(Lecteur& lecteur, int sc) {
  lecteur.nmess = 1;
  lecteur.messa1 = "\n \t  x";
  lecteur.lm1 = 6;
  lecteur.messa2 = std::to_string(sc);
  lecteur.lm2 = static_cast<int>(lecteur.messa2.size());
  lecteur.messa3 = " =  ([0] si fin) ?  ";
  lecteur.lm3 = 20;
  lecteur.controle(4, "");
  lecteur.nmess = 0;
  return lecteur.valeur;
}

}  // namespace

int Calculs::calcul() {
  Moteur moteur = dialogue();
  run(moteur);
  return 0;
}

Moteur Calculs::dialogue() {
  // Reset: the settings of the previous calculation, the tally, the display's group counter.
  reg_ = Reglages{};
  bons_.vider();
  lecteur_.xn = 0;

  lecteur_.controle(2, " \n \n \t Type d'equation :  1  ou  2  ?  : \t");
  reg_.type = lecteur_.valeur2;

  // n must fit the vectors of n + 1 positions: a larger answer is asked again.
  lecteur_.xn = 1;
  do {
    lecteur_.controle(4, " \n \n \t Nombre d'inconnues,  n ? : \t");
  } while (lecteur_.valeur > n_maximum);
  lecteur_.xn = 0;
  reg_.n = static_cast<int>(lecteur_.valeur);
  reg_.x2.assign(reg_.n + 1, 0);
  reg_.x3.assign(reg_.n + 1, 0);
  aff_.debut_calcul();

  lecteur_.xn = 1;
  lecteur_.controle(4, "\n \t Valeur de P ? : \t");
  reg_.P1 = lecteur_.valeur;
  lecteur_.controle(4, "\n \t Valeur de Q ? : \t");
  lecteur_.xn = 0;
  reg_.Q1 = lecteur_.valeur;

  if (reg_.P1 == reg_.Q1) {
    reg_.pg = reg_.Q1;
    reg_.P = 1;
  } else {
    reg_.pg = pgcd(reg_.P1, reg_.Q1);
    reg_.P = reg_.P1 / reg_.pg;
  }
  reg_.Q = reg_.Q1 / reg_.pg;

  lecteur_.controle(1,
                    " \n  \n \t Voulez vous selectionner les solutions a afficher, Oui [1] / Non [0]  ? \t");
  reg_.tri = lecteur_.valeur2;
  if (reg_.tri != 1) {
    fin_dialogue();  // nothing is placed: the search starts at depth 0
    return Moteur(reg_);
  }

  lecteur_.controle(3, "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: ");
  reg_.parite = lecteur_.valeur2;
  if (reg_.parite == 1 || reg_.parite == 2) reg_.z = 2;

  Moteur moteur(reg_);
  lecteur_.controle(
      1, " \n \t Commencer la recherche a partir de valeurs des premieres inconnues,   Oui [1] / Non [0] ?\t: ");
  reg_.seq = lecteur_.valeur2;
  if (reg_.seq == 1) {
    entree_debut(moteur);
  } else if (reg_.n > 1) {
    // With a single unknown the search from depth 0 is already the whole answer Q/P.
    moteur.placer_premiere();
  }

  lecteur_.controle(
      1, "\n \t Terminer la recherche pour certaines valeurs des premieres inconnues,  Oui [1] / Non [0] ?\t: ");
  lecteur_.refaire = 1;
  reg_.seq2 = lecteur_.valeur2;
  if (reg_.seq2 == 1) entree_fin();

  out_ << '\n'
       << "\n \t (Pour P/Q = 1, on prouve mathematiquement que la plus grande valeur de xn possible est "
          "T(n) = T(n-1)x(T(n-1) + 1) , T1 valant 1.) \n";

  lecteur_.controle(4, "\n  \t Majorant pour xn,  M [rentrez zero sinon] ?  : \t");
  reg_.M = lecteur_.valeur;

  fin_dialogue();
  moteur.regler(reg_);
  return moteur;
}

void Calculs::fin_dialogue() {
  if (reg_.P == reg_.Q) {
    lecteur_.controle(1,
                      "\n \t Voulez vous voire et compter les nombres Bons des solutions affichees,  "
                      "Oui [1] / Non [0]  ? : ");
    reg_.cptbon = lecteur_.valeur2;
  }
  reg_.Ma = reg_.M;
  if (reg_.parite == 1 && reg_.M % 2 == 0 && reg_.M != 0) reg_.M -= 1;
  if (reg_.parite == 2 && reg_.M % 2 != 0) reg_.M -= 1;

  out_ << "\n \n \n \t S'il y a un grand nombre de solutions, vous pouvez faire une pause au bout de K "
          "solutions. ";
  lecteur_.controle(5,
                    "\n \n \t Valeur de K ou autre option que vous avez choisie : \n \n \t [K] / [zero, "
                    "pas de limite] / [-K (K>1), pas de limite et affichage toutes les K solutions] ?    \t");
  aff_.L = lecteur_.valeur;
}

// Start values are stored as typed; while they can be placed unchanged they also fix the first
// unknowns of the search, and the first one that cannot ends the placing.
void Calculs::entree_debut(Moteur& moteur) {
  const int n = reg_.n;
  long long deb3 = 1;
  int stop1 = 0;
  reg_.s = 0;
  while (deb3 != 0 && reg_.s < n - 1) {
    const int s = reg_.s;
    const long long deb = demander_valeur(lecteur_, s + 1);
    bool re = false;
    if (s >= 1 && deb != 0) {
      if (reg_.type == 2 ? deb <= reg_.x2[s] : deb < reg_.x2[s]) {
        out_ << (reg_.type == 2 ? ordre_type2 : ordre_type1);
        re = true;
      }
    }
    deb3 = deb;
    if (re) continue;
    if (deb == 0) break;
    reg_.s = s + 1;
    reg_.x2[reg_.s] = deb;
    if (stop1 == 0) moteur.placer_debut(deb, reg_.s, stop1);
  }
}

// The end sequence is entered until it lies at or below the start sequence.
void Calculs::entree_fin() {
  const int n = reg_.n;
  for (;;) {
    std::fill(reg_.x3.begin(), reg_.x3.end(), 0);
    reg_.s2 = 0;
    while (reg_.s2 < n - 1) {
      const int s2 = reg_.s2;
      const long long deb2 = demander_valeur(lecteur_, s2 + 1);
      if (s2 >= 1 && deb2 != 0) {
        if (reg_.type == 2 ? deb2 <= reg_.x3[s2] : deb2 < reg_.x3[s2]) {
          out_ << (reg_.type == 2 ? ordre_type2 : ordre_type1);
          continue;
        }
      }
      if (deb2 == 0) break;
      reg_.s2 = s2 + 1;
      reg_.x3[reg_.s2] = deb2;
    }
    lecteur_.refaire = 0;
    const int g = std::min(reg_.s, reg_.s2);
    bool echec = false;
    for (int c = 1; c <= g; ++c) {
      if (reg_.x2[c] != reg_.x3[c]) {
        echec = reg_.x2[c] < reg_.x3[c];
        break;
      }
    }
    if (!echec) return;
    lecteur_.refaire = 1;
    out_ << " \n \t La deuxieme serie de valeurs doit etre sous la premiere, recommencez cette derniere! \n";
  }
}

void Calculs::run(Moteur& moteur) {
  // P/Q >= n/M with the bound as entered, compared exactly.
  if (reg_.Ma != 0 && static_cast<i128>(reg_.P) * reg_.Ma < static_cast<i128>(reg_.n) * reg_.Q) {
    out_ << "\n \n \t Les donnees ne verifient pas les conditions requises :   P/Q >= n/M \n \n";
    return;
  }
  if (reg_.n == 1) out_ << "\n \t CAS TRIVIAL \n";

  if (aff_.L >= 0) out_ << '\n' << "\n \t \t Tableau des solutions numerotees : ";
  if (aff_.L < -1) out_ << '\n' << "\n \t \t Tableau partiel des solutions numerotees : ";
  out_ << "\n\n";

  aff_.debut_run();
  if (impairs_impossibles(reg_) || pairs_impossibles(reg_)) moteur.finir();

  if (moteur.profondeur() >= 0) {
    // With several threads, the search first runs alone for a while: most searches end within
    // that, and the workers start only for the others.
    if (par_.threads > 1 && par_.pas_echauffement > 0)
      moteur.courir_jusqua(aff_, -1, par_.pas_echauffement, [] { return false; });
    else if (par_.threads <= 1)
      moteur.courir(aff_);
    const bool termine = moteur.profondeur() < 0 ||
                         (par_.threads > 1 && !aff_.arret() && courir_en_parallele(moteur, aff_, reg_, par_));
    if (!termine) {  // the user stopped at a pause
      aff_.vider();
      return;
    }
    if (aff_.L < -1 && aff_.K1 != 0) aff_.ligne_finale();
    aff_.vider();
  }

  resultat(out_, reg_, aff_, bons_);
  out_ << '\n' << " \n \t FIN DU CALCUL" << '\n' << credit << "\n\n";
}

}  // namespace unitfrac
