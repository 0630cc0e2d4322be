// The final report of a calculation: the equation as entered and reduced, the number of solutions,
// the kind of equation, the selections in force, the extreme values of xn and x1, and the
// good-number tally. The run driver calls it once when the search has ended by itself.
#include <ostream>

#include "output/affiche.hpp"

namespace unitfrac {

namespace {

// The start and end sequences: each value followed by "  |  ", then " . \n".
void sequence(std::ostream& out, const std::vector<long long>& x, int s) {
  for (int j = 1; j <= s; ++j) {
    ecrire(out, x[static_cast<std::size_t>(j)]);
    out << "  |  ";
  }
  out << " . \n";
}

}  // namespace

// Written with no newline of its own at the end: the run driver's closing lines follow.
void resultat(std::ostream& out, const Reglages& reg, long long K1, const mpz_class& m, const mpz_class& m1,
              const Bons& bons) {
  out << "\n\n";
  out << " \t L'equation Diophantienne a  ";
  ecrire(out, static_cast<long long>(reg.n));
  out << "  inconnues : 1/x1 + 1/x2 + 1/x3 +.....   1/xn =  ";
  ecrire(out, reg.P1);
  out << "/";
  ecrire(out, reg.Q1);
  if (reg.pg != 1) {
    out << " = ";
    ecrire(out, reg.P);
    out << "/";
    ecrire(out, reg.Q);
  }
  out << " ,  (n = ";
  ecrire(out, static_cast<long long>(reg.n));
  out << ") ,  admet  ";
  ecrire(out, K1);
  out << "   solution(s). \n ";

  if (reg.type == 2) {
    out << " \n \t Les inconnues d'une meme solution etant toutes differentes. ";
  } else {
    out << " \n \t Des inconnues d'une meme solution pouvant etre egales. ";
  }

  if (reg.tri == 0) {
    out << "\n";
  } else if (reg.tri == 1) {
    if (reg.parite == 2) {
      out << "  Elles sont egalement toutes paires. \n \n ";
    } else if (reg.parite == 1) {
      out << "  Elles sont egalement  toutes impaires. \n \n ";
    } else if (reg.parite == 0) {
      out << "  Elles sont egalement  toutes de parites indifferentes. \n \n ";
    }
    if (reg.seq == 1) {
      out << " \t Les solutions sont toutes (avec l'ordre alpahabetique decroissant), inferieures "
             "ou egales a la sequence : \t ";
      sequence(out, reg.x2, reg.s);
    }
    if (reg.seq2 == 1) {
      out << " \t Les solutions sont toutes (avec l'ordre alpahabetique decroissant), superieures "
             "ou egales a la sequence : \t ";
      sequence(out, reg.x3, reg.s2);
    }
  }

  // With a bound, the largest xn sits in the bound's sentence even without solutions.
  if (reg.M != 0) {
    out << " \n \t  La plus grande inconnue, xn,  devant etre inferieure ou egale a   ";
    ecrire(out, reg.Ma);
    out << "  et prenant   ";
    ecrire(out, m);
    out << "  pour plus grande valeur. ";
  }

  if (K1 >= 1) {
    if (reg.M == 0) {
      out << " \n \t  ";
      ecrire(out, m);
      out << "  est la plus grande valeur prise par xn. ";
    }
    out << " \n \t  ";
    ecrire(out, m1);
    out << "  est la plus petite valeur prise par x1. \n ";
  }

  if (reg.cptbon == 1) {
    out << " \n \t  Pour les solutions affichees, il y a ";
    ecrire(out, bons.nbon());
    out << "  nombres Bons differents, qui sont par ordre croissant avec chacun leur nombre "
           "d'occurences  ";
    bons.lister(out, ": ", "[", "]  ");
  }
}

}  // namespace unitfrac
