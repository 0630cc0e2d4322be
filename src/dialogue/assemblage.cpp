// Result lines of shards and their merge (assemblage.hpp).
#include "dialogue/assemblage.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "dialogue/calcul.hpp"
#include "dialogue/options.hpp"

namespace unitfrac {

namespace {

std::string liste(const std::vector<long long>& x, int s) {
  std::string t;
  for (int j = 1; j <= s; ++j) {
    if (j > 1) t += ',';
    t += std::to_string(x[static_cast<std::size_t>(j)]);
  }
  return t;
}

const char* forme_de(const Options& opt) { return opt.compte ? "compte" : opt.brut ? "brut" : "tableau"; }

struct Lue {
  Resultat r;
  std::string ou;  // "file, ligne N"
};

}  // namespace

bool lire_bons(const std::string& texte, Bons& bons) {
  std::vector<std::uint64_t> v;
  std::vector<long long> k;
  std::istringstream in(texte);
  for (std::string entree; std::getline(in, entree, ',');) {
    const std::size_t deux_points = entree.find(':');
    if (deux_points == std::string::npos) return false;
    mpz_class b;
    long long nombre = 0;
    std::size_t fin = 0;
    if (b.set_str(entree.substr(0, deux_points), 10) != 0 || b < 0) return false;
    try {
      nombre = std::stoll(entree.substr(deux_points + 1), &fin);
    } catch (const std::exception&) {
      return false;
    }
    if (fin != entree.size() - deux_points - 1 || nombre < 1) return false;
    if (mpz_fits_ulong_p(b.get_mpz_t()) != 0) {
      const std::uint64_t u = mpz_get_ui(b.get_mpz_t());
      if (!v.empty() && u <= v.back()) return false;
      v.push_back(u);
      k.push_back(nombre);
    } else {
      bons.ajouter(b, nombre);
    }
  }
  bons.ajouter(v, k);
  return true;
}

std::string texte_bons(const Bons& bons) {
  std::ostringstream b;
  bons.lister(b, "", ":", ",");
  std::string t = b.str();
  if (!t.empty()) t.pop_back();
  return t;
}

std::string options_du_calcul(const Reglages& reg) {
  std::string o = "-t " + std::to_string(reg.type) + " -n " + std::to_string(reg.n) + " -f " +
                  std::to_string(reg.P1) + "/" + std::to_string(reg.Q1);
  if (reg.tri == 1) {
    o += " -p " + std::to_string(reg.parite);
    if (reg.seq == 1) o += " --debut=" + liste(reg.x2, reg.s);
    if (reg.seq2 == 1) o += " --fin=" + liste(reg.x3, reg.s2);
    if (reg.Ma != 0) o += " -m " + std::to_string(reg.Ma);
  }
  if (reg.cptbon == 1) o += " -b";
  return o;
}

bool ecrire_resultat_tranche(const Options& opt, const Affichage& aff, const Bons& bons, double secondes) {
  Resultat r;
  r.calcul = options_du_calcul(opt.reg);
  r.forme = forme_de(opt);
  r.tranche = opt.tranche;
  r.solutions = aff.K1;
  r.xn_max = aff.m;
  r.x1_min = aff.K1 > 0 ? aff.m1 : mpz_class(0);
  r.secondes = secondes;
  if (opt.reg.cptbon == 1) r.bons = texte_bons(bons);
  const std::string nouveau = opt.resultat + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream f(nouveau, std::ios::binary | std::ios::trunc);
    ecrire_resultat(f, r);
    f.flush();
    if (!f) {
      std::remove(nouveau.c_str());
      return false;
    }
  }
  if (std::rename(nouveau.c_str(), opt.resultat.c_str()) != 0) {
    std::remove(nouveau.c_str());
    return false;
  }
  return true;
}

int fusionner_resultats(const Options& opt, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto refus = [&err](const std::string& message) {
    err << "unitfrac: " << message << '\n';
    return 2;
  };
  std::vector<Lue> lues;
  for (const std::string& nom : opt.fichiers) {
    std::ifstream f;
    std::istream* source = &in;
    if (nom != "-") {
      f.open(nom);
      if (!f) return refus(nom + " : lecture impossible (" + std::strerror(errno) + ")");
      source = &f;
    }
    long long numero = 0;
    for (std::string ligne; std::getline(*source, ligne);) {
      ++numero;
      if (ligne.find_first_not_of(" \t\r") == std::string::npos) continue;
      Lue l;
      l.ou = (nom == "-" ? std::string("entree standard") : nom) + ", ligne " + std::to_string(numero);
      if (!lire_resultat(ligne, l.r)) return refus(l.ou + " : ce n'est pas un resultat de --resultat");
      lues.push_back(std::move(l));
    }
  }
  if (lues.empty()) return refus("aucun resultat a assembler");
  const Resultat& premier = lues.front().r;
  const long long K = premier.tranche.K;
  std::vector<const Lue*> par_tranche(static_cast<std::size_t>(K), nullptr);
  for (const Lue& l : lues) {
    if (l.r.calcul != premier.calcul || l.r.forme != premier.forme)
      return refus(l.ou + " : resultat d'un autre calcul (" + l.r.calcul + ", " + l.r.forme + ") que " +
                   lues.front().ou + " (" + premier.calcul + ", " + premier.forme + ")");
    const std::string tranche = std::to_string(l.r.tranche.I) + "/" + std::to_string(l.r.tranche.K);
    if (l.r.tranche.K != K)
      return refus(l.ou + " : tranche " + tranche + " d'un autre decoupage que " + lues.front().ou + " (K = " +
                   std::to_string(K) + ")");
    const Lue*& place = par_tranche[static_cast<std::size_t>(l.r.tranche.I - 1)];
    if (place != nullptr) return refus("tranche " + tranche + " en double (" + place->ou + " et " + l.ou + ")");
    place = &l;
  }
  long long manquantes = 0, premiere = 0;
  for (long long I = 1; I <= K; ++I)
    if (par_tranche[static_cast<std::size_t>(I - 1)] == nullptr && manquantes++ == 0) premiere = I;
  if (manquantes > 0)
    return refus("il manque la tranche " + std::to_string(premiere) + "/" + std::to_string(K) +
                 (manquantes > 1 ? " et " + std::to_string(manquantes - 1) + " autre(s)" : ""));

  // The calculation again from its options, for the report.
  std::vector<std::string> mots;
  std::istringstream calcul(premier.calcul);
  for (std::string m; calcul >> m;) mots.push_back(m);
  const std::vector<std::string_view> args(mots.begin(), mots.end());
  Options o;
  std::string erreur;
  if (!analyser(args, o, erreur) || o.action != Options::Action::calcul)
    return refus(lues.front().ou + " : calcul illisible (" + premier.calcul + ")");

  long long K1 = 0;
  mpz_class m = 0, m1 = 0;
  Bons bons;
  for (const Lue* l : par_tranche) {
    if (l->r.solutions > 0) {
      if (K1 == 0 || l->r.x1_min < m1) m1 = l->r.x1_min;
      K1 += l->r.solutions;
    }
    if (l->r.xn_max > m) m = l->r.xn_max;
    if (!lire_bons(l->r.bons, bons)) return refus(l->ou + " : nombres Bons illisibles");
  }
  if (premier.forme == "tableau") {
    resultat(out, o.reg, K1, m, m1, bons);
    out << '\n' << " \n \t FIN DU CALCUL" << '\n' << credit << "\n\n";
    return 0;
  }
  if (premier.forme == "compte") out << K1 << '\n';
  if (o.reg.cptbon == 1) {
    out << '\n';
    bons.lister(out, "", " ", "\n");
  }
  return 0;
}

}  // namespace unitfrac
