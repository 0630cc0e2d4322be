// Program entry loop: the banner, the explanation page, and the loop of calculations with its
// separator line and new-calculation question. Used by main and by the whole-dialogue tests.
#include "dialogue/programme.hpp"

#include <string>

#include "dialogue/calcul.hpp"
#include "input/controle.hpp"

namespace unitfrac {

namespace {

const std::string tirets(144, '-');

}  // namespace

void explications(std::ostream& out) {
  out << " \n \t  Ce programme affiche toutes les solutions entieres positives des equations :"
      << " \n \n \t \t \t   1/x1 + 1/x2 + 1/x3 +.....   1/xn = P/Q "
      << " \n \n \t  avec : 1 <= x1 <= x2 <= x3 <=....  <= xn <=  M  , TYPE 1 (inegalites larges). "
         "Soit par exemple : 1 = 1/2 + 1/4 + 1/4 . "
      << " \n \n \t   ou  : 1 <= x1 < x2 <  x3 <....  <   xn <=  M  , TYPE 2 (inegalites strictes). "
         "Soit par exemple : 1 = 1/2 + 1/3 + 1/6 . "
      << " \n \n \t  M , P , Q sont des entiers positifs qui doivent verifier  : P/Q >= n/M "
         "(L'utilisation de la borne M est optionnelle). \n "
      << " \n \t \t  Les inconnues pouvant etre : ou toutes PAIRES,  ou toutes IMPAIRES,  ou toutes de "
         "parites INDIFFERENTES. \n"
      << " \n \t \t  Les solutions sont recherchees et  classees dans l'ordre dit alphabetique "
         "decroissant des inconnues. \n "
      << " \n \t \t      On peut eventuellement commencer leur recherche a partir d'une sequence de "
         "valeurs des premieres inconnues. \n \t \t      Les solutions retenues seront toutes "
         "inferieures ou egales a cette sequence dans l'ordre alphabetique decroissant. \n"
      << " \n \t \t      On peut egalement faire cette recherche jusqu'a une sequence de valeurs des "
         "premieres inconnues. \n \t \t      Les solutions retenues seront toutes superieures ou "
         "egales a cette sequence dans l'ordre alphabetique decroissant."
      << " \n \n \t \t  n peut etre quelconque mais les calculs sont limites par les possibilites des "
         "ordinateurs, du langage et de l'algorithme utilises.  \n"
      << " \n \t \t  Quand P/Q = 1, on peut voir, compter et lister les nombres Bons (x1 + x2 + ... + xn) "
         "des solutions affichees."
      << "\n \t \t  Dans cette liste, chaque nombre Bon est suivi de son nombre d'occurences entre "
         "crochets [ ]. "
      << " \n \n \t  Version actuelle : la recherche est plus rapide que dans les versions precedentes, "
         "surtout pour les deux dernieres inconnues. \n \t \t \n"
      << " \t  Elle ne permet pas de manipuler des entiers superieures a (2^63-1) comme entrees ou en "
         "interne . Des erreurs ou des fautes se produiront."
      << " \n \t  Pour les calculs qui demandent de plus grands entiers, utilisez l'edition plus lente "
         "en entiers illimites. "
      << " \n \n \t  Avec n = 7 et P/Q = 1, pour afficher les 294314 solutions (type 1) il faut environ "
         "8 minutes et seulement 10 secondes pour les compter. "
      << " \n \t  Avec n = 8 et P/Q = 1, seule l'edition en entiers illimites donne les bonnes "
         "solutions (environ 160 000 000), et il lui faut plusieurs jours. "
      << " \n \n \t  Les dernieres versions calculent et affichent beaucoup plus rapidement les "
         "solutions quand elles sont toutes paires ou toutes impaires. "
      << " \n \t  Certains cas d'impossibilites quand les inconnues sont toutes impaires sont detectes. "
         "Cela evite des tests inutiles. "
      << " \n \n \t  Une erreur de saisie n'arrete pas le programme : la donnee est simplement "
         "redemandee. ";
}

int programme(std::istream& in, std::ostream& out, const Execution& ex) {
  Lecteur lecteur(in, out);
  try {
    out << " \n   POUR MODIFIER LA TAILLE DU TEXTE : [TOUCHE CTRL] + [TOUCHE +/-]. PLEIN ECRAN : [F11] "
        << " \n \n \t  ***  ECRIRE UNE FRACTION P/Q COMME SOMME DE n FRACTIONS UNITAIRES  ***. \n";
    lecteur.controle(Cas::oui_non, " \n \t  Afficher des explications  ? Oui [1] / Non [0] ?\t: ");
    const int expli = lecteur.valeur2;
    if (expli == 1) {
      out << '\n';
      explications(out);
      out << '\n' << " \n " << tirets << " \n ";
    }
    Calculs calculs(lecteur, out, ex);
    int recalc = 1;
    while (recalc == 1) {
      calculs.calcul();
      out << tirets << "\n\n";
      lecteur.controle(Cas::oui_non, "\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     ");
      recalc = lecteur.valeur2;
    }
  } catch (const FinDeSaisie&) {
    out << '\n';
    out.flush();
    return 3;
  }
  out.flush();
  return 1;
}

}  // namespace unitfrac
