// One calculation: the questions in their order, the start and end sequences with their checks,
// then the run: data check, heading, the search loop, the partial-table closing line, the report
// and the closing lines.
#include "dialogue/calcul.hpp"

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "dialogue/regles.hpp"
#include "engine/moteur.hpp"
#include "engine/recherche.hpp"
#include "parallele/fusion.hpp"

namespace unitfrac {

namespace {

// Asks the value of position sc of a sequence, framed as "x<sc> =  ([0] si fin) ?".
long long demander_valeur(Lecteur& lecteur, int sc) {
  lecteur.nmess = 1;
  lecteur.messa1 = "\n \t  x";
  lecteur.lm1 = 6;
  lecteur.messa2 = std::to_string(sc);
  lecteur.lm2 = static_cast<int>(lecteur.messa2.size());
  lecteur.messa3 = " =  ([0] si fin) ?  ";
  lecteur.lm3 = 20;
  lecteur.controle(Cas::positif, "");
  lecteur.nmess = 0;
  return lecteur.valeur;
}

}  // namespace

int Calculs::calcul() {
  Moteur moteur = dialogue();
  conduire(out_, reg_, moteur, aff_, bons_, ex_);
  return 0;
}

Moteur Calculs::dialogue() {
  // Reset: the settings of the previous calculation, the tally, the display's group counter.
  reg_ = Reglages{};
  bons_.vider();
  lecteur_.xn = 0;

  lecteur_.controle(Cas::type, " \n \n \t Type d'equation :  1  ou  2  ?  : \t");
  reg_.type = lecteur_.valeur2;

  // n must fit the vectors of n + 1 positions: a larger answer is asked again.
  lecteur_.xn = 1;
  do {
    lecteur_.controle(Cas::positif, " \n \n \t Nombre d'inconnues,  n ? : \t");
  } while (lecteur_.valeur > n_maximum);
  lecteur_.xn = 0;
  reg_.n = static_cast<int>(lecteur_.valeur);
  reg_.x2.assign(reg_.n + 1, 0);
  reg_.x3.assign(reg_.n + 1, 0);
  aff_.debut_calcul();

  lecteur_.xn = 1;
  lecteur_.controle(Cas::positif, "\n \t Valeur de P ? : \t");
  reg_.P1 = lecteur_.valeur;
  lecteur_.controle(Cas::positif, "\n \t Valeur de Q ? : \t");
  lecteur_.xn = 0;
  reg_.Q1 = lecteur_.valeur;

  reduire(reg_);

  lecteur_.controle(Cas::oui_non,
                    " \n  \n \t Voulez vous selectionner les solutions a afficher, Oui [1] / Non [0]  ? \t");
  reg_.tri = lecteur_.valeur2;
  if (reg_.tri != 1) {
    fin_dialogue();  // nothing is placed: the search starts at depth 0
    return preparer(reg_);
  }

  lecteur_.controle(Cas::parite, "\n \t Parite des inconnues,  PAIRE = 2 ,  IMPAIRE = 1 , INDIFFERENTE = 0 ? \t: ");
  reg_.parite = lecteur_.valeur2;
  if (reg_.parite == 1 || reg_.parite == 2) reg_.z = 2;

  lecteur_.controle(
      Cas::oui_non, " \n \t Commencer la recherche a partir de valeurs des premieres inconnues,   Oui [1] / Non [0] ?\t: ");
  reg_.seq = lecteur_.valeur2;
  if (reg_.seq == 1) reg_.s = entree_sequence(reg_.x2);

  lecteur_.controle(
      Cas::oui_non, "\n \t Terminer la recherche pour certaines valeurs des premieres inconnues,  Oui [1] / Non [0] ?\t: ");
  reg_.seq2 = lecteur_.valeur2;
  if (reg_.seq2 == 1) entree_fin();

  out_ << '\n'
       << "\n \t (Pour P/Q = 1, on prouve mathematiquement que la plus grande valeur de xn possible est "
          "T(n) = T(n-1)x(T(n-1) + 1) , T1 valant 1.) \n";

  lecteur_.controle(Cas::positif, "\n  \t Majorant pour xn,  M [rentrez zero sinon] ?  : \t");
  reg_.M = lecteur_.valeur;

  fin_dialogue();
  // The placements read nothing and write nothing, so they can follow the last question.
  return preparer(reg_);
}

void Calculs::fin_dialogue() {
  if (reg_.P == reg_.Q) {
    lecteur_.controle(Cas::oui_non,
                      "\n \t Voulez vous voire et compter les nombres Bons des solutions affichees,  "
                      "Oui [1] / Non [0]  ? : ");
    reg_.cptbon = lecteur_.valeur2;
  }
  ajuster_borne(reg_);

  out_ << "\n \n \n \t S'il y a un grand nombre de solutions, vous pouvez faire une pause au bout de K "
          "solutions. ";
  lecteur_.controle(Cas::relatif,
                    "\n \n \t Valeur de K ou autre option que vous avez choisie : \n \n \t [K] / [zero, "
                    "pas de limite] / [-K (K>1), pas de limite et affichage toutes les K solutions] ?    \t");
  aff_.paginer(lecteur_.valeur);
}

// Values of the first unknowns, asked one position at a time until 0 or n - 1 values; a value out
// of order gets the message of the type and its position is asked again. Returns the count.
int Calculs::entree_sequence(std::vector<long long>& x) {
  int s = 0;
  while (s < reg_.n - 1) {
    const long long v = demander_valeur(lecteur_, s + 1);
    if (v == 0) break;
    if (s >= 1 && !en_ordre(reg_.type, x[s], v)) {
      out_ << message_ordre(reg_.type);
      continue;
    }
    x[++s] = v;
  }
  return s;
}

// The end sequence is entered until it lies at or below the start sequence.
void Calculs::entree_fin() {
  for (;;) {
    std::fill(reg_.x3.begin(), reg_.x3.end(), 0);
    reg_.s2 = entree_sequence(reg_.x3);
    if (serie_valide(reg_)) return;
      out_ << " \n \t La deuxieme serie de valeurs doit etre sous la premiere, recommencez cette derniere! \n";
  }
}

namespace {

// Steps between two checks of the watch when the search runs in this thread.
constexpr long long kPasVeille = 4096;

// The search run to its end, until the user stops it at a pause, or until Ctrl-C: in this thread
// alone, or with several threads, alone for a while first (most searches end within that) and
// then on the workers. When interrupted, `reprise` gets the first unknowns of a state at or
// before the first solution not found.
Issue chercher(Moteur& moteur, Affichage& aff, const Reglages& reg, const Execution& ex, std::string& reprise) {
  Veille* const veille = ex.veille;
  Parallele p = ex.parallele;
  if (p.threads <= 0) p.threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  auto issue = [&](Moteur::Fin fin) {
    aff.interrompre_sur(nullptr);
    if (fin != Moteur::Fin::sortie && veille != nullptr && veille->interrompue()) {
      // Needed only when no solution was found: the last one found says where to go on from.
      if (!aff.derniere_trouvee()) reprise = moteur.etat().premieres(std::min(moteur.profondeur(), reg.n - 1));
      return Issue::interrompue;
    }
    return moteur.profondeur() < 0 ? Issue::finie : Issue::arretee;
  };
  // Between two steps: Ctrl-C, and the progress line when it is due.
  auto veiller = [&] {
    if (!veille->tic()) return false;
    // Between two steps every solution before the state has been handed over, and none after it.
    if (veille->garde_due() && moteur.profondeur() >= 0 && moteur.profondeur() < reg.n)
      veille->garder(moteur.etat().premieres(moteur.profondeur()), aff.K1);
    if (veille->due())
      veille->montrer({aff.K1, moteur.feuilles(), moteur.premieres(std::min(moteur.profondeur(), 3))});
    return true;
  };
  Cadence cadence(kPasVeille, reg.n);
  // Ctrl-C also stops the search in this thread between two solutions of one step.
  const auto ici = [&] {
    if (veille != nullptr) aff.interrompre_sur(veille->drapeau());
  };
  ici();
  if (p.threads > 1) {
    if (p.pas_echauffement > 0) {
      long long reste = p.pas_echauffement;
      const auto fin = moteur.courir_jusqua(aff, -1, 1, [&] {
        return --reste > 0 && (!cadence.tour() || veille == nullptr || veiller());
      });
      if (fin != Moteur::Fin::controle || (veille != nullptr && veille->interrompue())) return issue(fin);
    }
    aff.interrompre_sur(nullptr);  // the display now takes what the workers found, all of it
    if (const auto fin = courir_en_parallele(moteur, aff, reg, p, veille, reprise, lancer_fil, ex.temoin))
      return *fin;
    // No thread could be started: the search goes on in this one.
    ici();
  }
  if (veille == nullptr) {
    moteur.courir(aff);
    return issue(Moteur::Fin::sortie);
  }
  return issue(moteur.courir_jusqua(aff, -1, 1, [&] { return !cadence.tour() || veiller(); }));
}

// After Ctrl-C, on standard error: how many solutions were found, the last one, and how to take
// the search up again from there. Written at once: standard error is unbuffered, and a deep search
// has a million values to give.
void resumer(std::ostream& err, const Affichage& aff, const std::string& position, double secondes) {
  const std::string derniere = aff.derniere();
  // The last solution found comes first again from its first n - 1 values.
  const std::size_t blanc = derniere.rfind(' ');
  const std::string_view debut = derniere.empty() ? std::string_view(position)
                                 : blanc == std::string::npos ? std::string_view()
                                                              : std::string_view(derniere).substr(0, blanc);
  std::string s;
  s.reserve(derniere.size() + 2 * debut.size() + 400);
  s += "unitfrac: recherche interrompue apres " + duree_lisible(secondes) + ", ";
  if (aff.K1 == 0) {
    s += "aucune solution trouvee.\n";
  } else if (derniere.empty()) {  // all of them before this run (a checkpoint)
    s += std::to_string(aff.K1) + " solution(s) trouvee(s).\n";
  } else {
    s += std::to_string(aff.K1) + " solution(s) trouvee(s), la derniere : ";
    s += derniere;
    s += ".\n";
  }
  if (debut.empty()) {
    s += "unitfrac: pour reprendre, recommencez le calcul.\n";
  } else {
    s += "unitfrac: pour reprendre, selectionnez les solutions avec la sequence de debut ";
    s += debut;
    s += " (option --debut ";
    const std::size_t virgules = s.size();
    s += debut;
    std::replace(s.begin() + static_cast<std::ptrdiff_t>(virgules), s.end(), ' ', ',');
    s += ")";
    if (!derniere.empty()) s += " ; la premiere solution listee sera la derniere trouvee ici";
    s += ".\n";
  }
  err << s << std::flush;
}

}  // namespace

void conduire(std::ostream& out, const Reglages& reg, Moteur& moteur, Affichage& aff, const Bons& bons,
              const Execution& ex, const PointReprise* acquis) {
  // The plain form and the count write the solutions' lines or nothing: no heading, no report.
  const bool tableau = aff.forme() == Forme::tableau;
  if (!donnees_valides(reg)) {
    if (tableau) out << "\n \n \t Les donnees ne verifient pas les conditions requises :   P/Q >= n/M \n \n";
    return;
  }
  using Mode = Pagination::Mode;
  if (tableau && acquis == nullptr) {  // a checkpoint's text begins with it
    if (reg.n == 1) out << "\n \t CAS TRIVIAL \n";
    const Mode mode = aff.pagination().mode();
    if (mode == Mode::pages || mode == Mode::tout) out << '\n' << "\n \t \t Tableau des solutions numerotees : ";
    if (mode == Mode::partiel) out << '\n' << "\n \t \t Tableau partiel des solutions numerotees : ";
    out << "\n\n";
  }

  aff.debut_run();
  if (acquis != nullptr) {
    // What the run that wrote the checkpoint had written, again; and where it had got to.
    out << acquis->texte;
    std::vector<mpz_class> derniere;
    std::istringstream valeurs(acquis->derniere);
    if (!acquis->derniere.empty()) derniere.emplace_back(0);
    for (mpz_class v; valeurs >> v;) derniere.push_back(v);
    aff.reprendre(acquis->solutions, acquis->xn_max, acquis->x1_min, derniere);
  }
  if (impairs_impossibles(reg) || pairs_impossibles(reg)) moteur.finir();

  if (moteur.profondeur() >= 0) {
    Veille* const veille = ex.veille;
    std::string reprise;
    const auto fin_veille = [&] {
      if (veille == nullptr) return;
      aff.autour_pause = nullptr;
      veille->fin();
    };
    // After Ctrl-C: the lines found go out, the last checkpoint and the summary follow.
    const auto conclure = [&](const std::string& depuis) {
      fin_veille();
      aff.vider();
      aff.verifier();
      // The last checkpoint: from the last solution found, which comes first again. Not when that
      // would count it twice: in a count's tally, or as a line of the table already written (the
      // checkpoint before stays).
      if (veille->garder) {
        const bool deux_fois = aff.forme() == Forme::compte ? reg.cptbon == 1 : aff.pagination().derniere_montree();
        if (!aff.derniere_trouvee()) {  // none found by this run: from where it stopped
          veille->garder(depuis, aff.K1);
        } else if (!deux_fois) {
          const std::string derniere = aff.derniere();
          veille->garder(derniere.substr(0, derniere.rfind(' ')), aff.K1 - 1);
        }
      }
      out.flush();
      resumer(veille->erreurs(), aff, depuis, std::chrono::duration<double>(veille->ecoule()).count());
      throw Interruption{};
    };
    // Forgotten when the search is over, however it ends (not from within: it may be running).
    struct Oublier {
      Veille* v;
      ~Oublier() {
        if (v != nullptr) v->conclure = nullptr;
      }
    } oublier{veille};
    if (veille != nullptr) {
      veille->debut(moteur);
      aff.autour_pause = [veille](bool d) { veille->question(d); };
      veille->conclure = conclure;
    }
    // The search's own settings: a shard's end is an end sequence that the report does not show.
    const Issue issue = chercher(moteur, aff, moteur.reglages(), ex, reprise);
    if (issue == Issue::interrompue) conclure(reprise);
    fin_veille();
    aff.vider();
    aff.verifier();
    if (issue == Issue::arretee) return;  // the user stopped at a pause
    if (aff.pagination().mode() == Mode::partiel && aff.K1 != 0) aff.ligne_finale();
    aff.vider();
  }

  if (!tableau) return;
  resultat(out, reg, aff, bons);
  out << '\n' << " \n \t FIN DU CALCUL" << '\n' << credit << "\n\n";
}

}  // namespace unitfrac
