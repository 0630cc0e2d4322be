// The command line: the table of options, the parser (short and long forms, --opt=value and
// --opt value, bundled flags, "--" ends the options), the checks that give a calculation exactly
// the settings the dialogue would give it or refuse it, and the help text.
#include "dialogue/options.hpp"

#include <optional>
#include <utility>

#include "dialogue/regles.hpp"
#include "input/controle.hpp"
#include "tranches/tranche.hpp"

namespace unitfrac {

namespace {

enum class Cle {
  aide, version, threads, status, no_status, fusion,  // execution
  type, inconnues, fraction, parite, debut, fin, borne, bons, toutes, compte, brut, tranche, resultat, reprise, intervalle  // one calculation
};

struct Definition {
  std::string_view longue;
  char courte;  // 0: long form only
  bool avec_valeur;
  Cle cle;
};

constexpr Definition kDefinitions[] = {
    {"help", 'h', false, Cle::aide},        {"version", 0, false, Cle::version},
    {"threads", 0, true, Cle::threads},     {"status", 0, false, Cle::status},
    {"no-status", 0, false, Cle::no_status}, {"type", 't', true, Cle::type},
    {"inconnues", 'n', true, Cle::inconnues}, {"fraction", 'f', true, Cle::fraction},
    {"parite", 'p', true, Cle::parite},     {"debut", 0, true, Cle::debut},
    {"fin", 0, true, Cle::fin},             {"borne", 'm', true, Cle::borne},
    {"bons", 'b', false, Cle::bons},        {"toutes", 'k', true, Cle::toutes},
    {"compte", 'c', false, Cle::compte},    {"brut", 0, false, Cle::brut},
    {"tranche", 0, true, Cle::tranche},     {"resultat", 0, true, Cle::resultat},
    {"fusion", 0, false, Cle::fusion},      {"reprise", 0, true, Cle::reprise},
    {"intervalle", 0, true, Cle::intervalle},
};

const Definition* par_nom(std::string_view nom) {
  for (const Definition& d : kDefinitions)
    if (d.longue == nom) return &d;
  return nullptr;
}

const Definition* par_lettre(char c) {
  for (const Definition& d : kDefinitions)
    if (d.courte != 0 && d.courte == c) return &d;
  return nullptr;
}

// What the arguments gave beyond `Options`, for the checks that need several of them. Each
// string is the option as the user typed it (to name it in a message), empty when absent.
struct Lu {
  bool calcul = false;
  std::string n, borne, bons, toutes, compte, reprise;
  std::string debut, fin;              // the options as typed
  std::string_view liste_debut, liste_fin;  // their values
};

std::string cite(std::string_view v) {
  std::string s(1, '\'');
  s.append(v);
  s += '\'';
  return s;
}

// One option and its value into `opt` and `lu`; the value's form is checked by the reader's rules.
bool appliquer(const Definition& d, const std::string& nom, std::string_view v, Options& opt, Lu& lu,
               std::string& erreur) {
  const auto refus = [&](const std::string& attendu) {
    erreur = nom + " : valeur invalide " + cite(v) + " (" + attendu + ")";
    return false;
  };
  Reglages& reg = opt.reg;
  long long x = 0;
  int c = 0;
  if (d.cle >= Cle::type) lu.calcul = true;
  switch (d.cle) {
    case Cle::aide: opt.action = Options::Action::aide; break;
    case Cle::version: opt.action = Options::Action::version; break;
    case Cle::threads:
      if (!lire_entier(Cas::positif, v, x) || x < 1 || x > fils_maximum)
        return refus("un entier de 1 a " + std::to_string(fils_maximum));
      opt.parallele.threads = static_cast<int>(x);
      break;
    case Cle::status: opt.statut = Options::Statut::toujours; break;
    case Cle::no_status: opt.statut = Options::Statut::jamais; break;
    case Cle::type:
      if (!lire_choix(Cas::type, v, c)) return refus("1 ou 2");
      reg.type = c;
      break;
    case Cle::inconnues:
      if (!lire_entier(Cas::positif, v, x) || x < 1 || x > n_maximum)
        return refus("un entier de 1 a " + std::to_string(n_maximum));
      reg.n = static_cast<int>(x);
      lu.n = nom;
      break;
    case Cle::fraction: {
      // "P/Q" or "P" (Q = 1), each a positive integer as the dialogue accepts it.
      const auto barre = v.find('/');
      const std::string_view p = v.substr(0, barre);
      const std::string_view q = barre == std::string_view::npos ? "1" : v.substr(barre + 1);
      if (!lire_entier(Cas::positif, p, reg.P1) || reg.P1 == 0 || !lire_entier(Cas::positif, q, reg.Q1) || reg.Q1 == 0)
        return refus("P/Q ou P, entiers positifs");
      break;
    }
    case Cle::parite:
      if (!lire_choix(Cas::parite, v, c)) return refus("2 paires, 1 impaires, 0 indifferentes");
      reg.parite = c;
      reg.tri = 1;
      break;
    case Cle::debut:
      lu.debut = nom;
      lu.liste_debut = v;
      reg.tri = 1;
      break;
    case Cle::fin:
      lu.fin = nom;
      lu.liste_fin = v;
      reg.tri = 1;
      break;
    case Cle::borne:
      if (!lire_entier(Cas::positif, v, x)) return refus("un entier positif, 0 pour aucune borne");
      reg.M = x;
      reg.tri = 1;
      lu.borne = nom;
      break;
    case Cle::bons: lu.bons = nom; break;
    case Cle::toutes:
      if (!lire_entier(Cas::positif, v, x) || x == 0) return refus("un entier positif");
      opt.L = x == 1 ? 0 : -x;
      lu.toutes = nom;
      break;
    case Cle::compte:
      opt.compte = true;
      lu.compte = nom;
      break;
    case Cle::brut: opt.brut = true; break;
    case Cle::tranche:
      if (!lire_tranche(v, opt.tranche)) return refus("I/K, 1 <= I <= K <= " + std::to_string(tranches_maximum));
      break;
    case Cle::resultat:
      if (v.empty()) return refus("un nom de fichier");
      opt.resultat = v;
      break;
    case Cle::fusion: opt.action = Options::Action::fusion; break;
    case Cle::reprise:
      if (v.empty()) return refus("un nom de fichier");
      opt.reprise = v;
      lu.reprise = nom;
      break;
    case Cle::intervalle:
      if (!lire_entier(Cas::positif, v, x) || x > 1000000) return refus("des secondes, de 0 a 1000000");
      opt.intervalle = static_cast<int>(x);
      break;
  }
  return true;
}

// A start or end sequence "a,b,c" into x[1..s], with the dialogue's checks: positive values, at
// most n - 1 of them, in the order of the type. An empty list is the dialogue's 0 at position 1.
bool lire_sequence(const std::string& nom, std::string_view liste, const Reglages& reg,
                   std::vector<long long>& x, int& s, std::string& erreur) {
  s = 0;
  if (liste.empty()) return true;
  for (std::size_t debut = 0;;) {
    const std::size_t virgule = liste.find(',', debut);
    const std::string_view jeton = liste.substr(debut, virgule == std::string_view::npos ? virgule : virgule - debut);
    long long v = 0;
    if (!lire_entier(Cas::positif, jeton, v) || v == 0) {
      erreur = nom + " : valeur invalide " + cite(jeton) + " (entiers positifs separes par des virgules)";
      return false;
    }
    if (s == reg.n - 1) {
      erreur = nom + " : au plus n - 1 = " + std::to_string(reg.n - 1) + " valeur(s)";
      return false;
    }
    if (s >= 1 && !en_ordre(reg.type, x[s], v)) {
      erreur = nom + " : " + std::string(jeton) + " apres " + std::to_string(x[s]) +
               (reg.type == 2 ? " : chaque valeur doit etre strictement superieure a la precedente (type 2)"
                              : " : chaque valeur doit etre superieure ou egale a la precedente (type 1)");
      return false;
    }
    x[++s] = v;
    if (virgule == std::string_view::npos) return true;
    debut = virgule + 1;
  }
}

// The settings of the calculation, completed and checked as the dialogue does after its answers.
bool completer(Options& opt, const Lu& lu, std::string& erreur) {
  Reglages& reg = opt.reg;
  if (lu.n.empty()) {
    erreur = "il manque le nombre d'inconnues, -n N (--inconnues N)";
    return false;
  }
  if (opt.compte && !lu.toutes.empty()) {
    erreur = lu.compte + " et " + lu.toutes + " s'excluent";
    return false;
  }
  if (!lu.reprise.empty() && !opt.compte && opt.L >= 0) {
    erreur = lu.reprise + " : seulement pour un compte (-c) ou un tableau partiel (-k K, K >= 2)";
    return false;
  }
  if (reg.P1 == 0) reg.P1 = reg.Q1 = 1;  // no --fraction: P/Q = 1
  reduire(reg);
  if (reg.parite != 0) reg.z = 2;
  reg.x2.assign(static_cast<std::size_t>(reg.n) + 1, 0);
  reg.x3.assign(static_cast<std::size_t>(reg.n) + 1, 0);
  if (!lu.debut.empty()) {
    reg.seq = 1;
    if (!lire_sequence(lu.debut, lu.liste_debut, reg, reg.x2, reg.s, erreur)) return false;
  }
  if (!lu.fin.empty()) {
    reg.seq2 = 1;
    if (!lire_sequence(lu.fin, lu.liste_fin, reg, reg.x3, reg.s2, erreur)) return false;
  }
  if (!serie_valide(reg)) {
    erreur = lu.fin + " : la sequence de fin doit etre sous celle de " + lu.debut;
    return false;
  }
  ajuster_borne(reg);
  if (!donnees_valides(reg)) {
    erreur = lu.borne + " " + std::to_string(reg.Ma) + " : les donnees ne verifient pas P/Q >= n/M";
    return false;
  }
  if (!lu.bons.empty()) {
    if (reg.P != reg.Q) {
      erreur = lu.bons + " : seulement quand P/Q vaut 1";
      return false;
    }
    reg.cptbon = 1;
  }
  opt.action = Options::Action::calcul;
  return true;
}

}  // namespace

bool analyser(const std::vector<std::string_view>& args, Options& opt, std::string& erreur) {
  opt = Options{};
  Lu lu;
  const auto fini = [&] { return opt.action == Options::Action::aide || opt.action == Options::Action::version; };
  std::size_t k = 0;
  // One option: its value attached (--opt=v, -nv) or else the next argument; then applied.
  const auto prendre = [&](const Definition* d, const std::string& nom, std::optional<std::string_view> attachee) {
    if (d == nullptr) {
      erreur = "option inconnue " + cite(nom);
      return false;
    }
    if (d->avec_valeur && !attachee && k + 1 < args.size()) attachee = args[++k];
    if (d->avec_valeur && !attachee) {
      erreur = "l'option " + nom + " demande une valeur";
      return false;
    }
    if (!d->avec_valeur && attachee) {
      erreur = "l'option " + nom + " ne prend pas de valeur";
      return false;
    }
    return appliquer(*d, nom, attachee.value_or(""), opt, lu, erreur);
  };
  for (; k < args.size() && !fini(); ++k) {
    const std::string_view a = args[k];
    if (a == "--") {
      for (++k; k < args.size(); ++k) opt.fichiers.emplace_back(args[k]);
      break;
    }
    if (a.starts_with("--")) {
      const std::size_t egal = a.find('=');
      const std::string nom(a.substr(0, egal));
      std::optional<std::string_view> attachee;
      if (egal != std::string_view::npos) attachee = a.substr(egal + 1);
      if (!prendre(par_nom(std::string_view(nom).substr(2)), nom, attachee)) return false;
    } else if (a.size() > 1 && a[0] == '-') {
      // Bundled flags (-bc); a letter that takes a value takes the rest of the argument (-n7) or
      // the next argument (-n 7).
      for (std::size_t j = 1; j < a.size() && !fini(); ++j) {
        const Definition* d = par_lettre(a[j]);
        std::optional<std::string_view> attachee;
        if (d != nullptr && d->avec_valeur && j + 1 < a.size()) attachee = a.substr(j + 1);
        if (!prendre(d, std::string{'-', a[j]}, attachee)) return false;
        if (d->avec_valeur) break;
      }
    } else {
      opt.fichiers.emplace_back(a);  // a result to merge
    }
  }
  if (fini()) return true;
  if (opt.action == Options::Action::fusion) {
    if (lu.calcul) {
      erreur = "--fusion ne prend que des fichiers de resultats";
      return false;
    }
    if (opt.fichiers.empty()) opt.fichiers.emplace_back("-");
    return true;
  }
  if (!opt.fichiers.empty()) {
    erreur = "argument inattendu " + cite(opt.fichiers.front());
    return false;
  }
  if (!lu.calcul) return true;
  return completer(opt, lu, erreur);
}

void aide(std::ostream& out) {
  out << "Usage : unitfrac [OPTION]...\n"
         "Ecrit une fraction P/Q comme somme de n fractions unitaires : toutes les solutions en\n"
         "entiers positifs de 1/x1 + 1/x2 + ... + 1/xn = P/Q, dans l'ordre alphabetique decroissant.\n"
         "\n"
         "Sans option de calcul, unitfrac pose ses questions (le dialogue). Avec -n, il fait un seul\n"
         "calcul sans question et ecrit le tableau des solutions et le bilan tels que le dialogue\n"
         "les ecrit pour les memes reponses. Entre crochets, la question du dialogue qui correspond.\n"
         "\n"
         "Calcul :\n"
         "  -t, --type=T        1 : x1 <= x2 <= ... <= xn (par defaut) ; 2 : x1 < x2 < ... < xn\n"
         "                      [Type d'equation]\n"
         "  -n, --inconnues=N   nombre d'inconnues, de 1 a 1000000 ; obligatoire [Nombre d'inconnues]\n"
         "  -f, --fraction=P/Q  la fraction, P/Q ou P ; 1 par defaut [Valeur de P, Valeur de Q]\n"
         "  -p, --parite=X      2 toutes paires, 1 toutes impaires, 0 indifferentes [Parite]\n"
         "      --debut=A,B,... seulement les solutions inferieures ou egales a cette sequence des\n"
         "                      premieres inconnues [Commencer la recherche a partir de valeurs...]\n"
         "      --fin=A,B,...   seulement les solutions superieures ou egales a cette sequence\n"
         "                      [Terminer la recherche pour certaines valeurs...]\n"
         "  -m, --borne=M       xn <= M ; 0 : aucune borne [Majorant pour xn]\n"
         "                      (-p, --debut, --fin et -m valent la reponse 1 a la selection)\n"
         "  -b, --bons          compter les nombres Bons, si P/Q vaut 1 [nombres Bons]\n"
         "  -k, --toutes=K      une solution sur K, tableau partiel [Valeur de K : -K]\n"
         "  -c, --compte        ecrire seulement le nombre de solutions, sur une ligne ; avec -b,\n"
         "                      puis une ligne vide et les nombres Bons de toutes les solutions\n"
         "                      (comme --brut -b)\n"
         "      --brut          une solution par ligne, ses valeurs separees par une espace, sans\n"
         "                      titre, numero ni bilan ; avec -k K, les solutions que montre le\n"
         "                      tableau partiel (1, K+1, 2K+1, ...) puis la derniere trouvee si elle\n"
         "                      n'y est pas ; avec -b, puis une ligne vide et une ligne \"somme\n"
         "                      nombre\" par nombre Bon des lignes ecrites, par ordre croissant\n"
         "\n"
         "Tranches :\n"
         "      --tranche=I/K   un long calcul sur plusieurs machines : seulement la tranche I\n"
         "                      des K tranches de travail a peu pres egal du calcul (1 <= I <=\n"
         "                      K <= 10000000) ; chaque tranche numerote ses solutions a partir\n"
         "                      de 1 ; les tranches 1 a K a la suite donnent les lignes du calcul\n"
         "                      entier, dans le meme ordre ; la coupe ne depend que du calcul et de K\n"
         "      --resultat=F    ecrire a la fin dans le fichier F le resultat de la tranche, sur une\n"
         "                      ligne, pour --fusion (remplace F d'un coup : jamais a moitie ecrit)\n"
         "      --fusion        lire les resultats des fichiers donnes (- ou aucun : l'entree standard)\n"
         "                      et ecrire le bilan du calcul entier, comme le calcul sans tranche (avec\n"
         "                      -c, le nombre) ; refuse une tranche manquante, en double ou d'un autre\n"
         "                      calcul (etat 2) ; avec -k K, les nombres Bons sont ceux des solutions\n"
         "                      que montre chaque tranche\n"
         "      --reprise=F     un compte (-c) ou un tableau partiel (-k K, K >= 2, avec ou sans\n"
         "                      --brut), avec ou sans -b, une tranche ou non, qui survit a un arret :\n"
         "                      toutes les S secondes et a tout arret, le point ou reprendre, le\n"
         "                      compte et les lignes ecrites jusque-la dans F (un nouveau fichier\n"
         "                      ecrit sur le disque puis renomme : jamais a moitie ecrit) ; relance\n"
         "                      avec le meme F et les memes options, le calcul reecrit ces lignes,\n"
         "                      reprend de la et finit comme sans arret ; F d'un autre calcul,\n"
         "                      tronque ou abime est refuse (etat 2)\n"
         "      --intervalle=S  secondes entre deux points de reprise, 60 par defaut (0 : a chaque\n"
         "                      occasion)\n"
         "\n"
         "Execution :\n"
         "      --threads=N     nombre de fils de calcul, de 1 a 1024 ; par defaut, un par coeur\n"
         "                      (si le systeme en donne moins, avec ceux qu'il donne)\n"
         "      --status        ligne d'avancement sur la sortie d'erreur, toujours\n"
         "      --no-status     jamais de ligne d'avancement (par defaut : vers un terminal)\n"
         "  -h, --help          cette aide\n"
         "      --version       la version\n"
         "\n"
         "Etat de sortie : 0 calcul fait (options) ; 1 fin du dialogue (reponse 0 a Nouveau\n"
         "calcul) ; 2 option ou valeur refusee ; 3 fin de l'entree ; 4 echec d'ecriture sur la\n"
         "sortie standard ou du fichier de --resultat ; 130 interruption (Ctrl-C) ; 143 et 129,\n"
         "SIGTERM et SIGHUP pendant une recherche, qui font comme Ctrl-C.\n"
         "\n"
         "Exemples :\n"
         "  unitfrac -n 4                     les 14 solutions de 1 = 1/x1 + 1/x2 + 1/x3 + 1/x4\n"
         "  unitfrac -t 2 -n 7 --compte       le nombre de solutions a inconnues differentes\n"
         "  unitfrac -n 5 -f 3/5 -p 1 -m 99   les solutions impaires de 3/5 avec xn <= 99\n"
         "  unitfrac -n 7 --brut > s.txt      les solutions une par ligne, pour un autre programme\n"
         "  unitfrac -n 6 -c -b               le nombre de solutions et leurs nombres Bons\n"
         "  unitfrac -n 8 -c --tranche 3/64 --resultat t3   la tranche 3 sur 64 du compte\n"
         "  unitfrac --fusion t*              le compte entier, les 64 tranches faites\n";
}

}  // namespace unitfrac
