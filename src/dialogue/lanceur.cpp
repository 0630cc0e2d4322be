// What main runs: the command line read, then the dialogue, the help, the version, one
// calculation from options (the table, the plain form or the count, a shard, a checkpoint) or the
// merge of shard results; every failure turned into its exit status and its one line.
#include "dialogue/lanceur.hpp"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>
#include <utility>

#include "dialogue/assemblage.hpp"
#include "dialogue/calcul.hpp"
#include "dialogue/options.hpp"
#include "dialogue/programme.hpp"
#include "dialogue/regles.hpp"
#include "dialogue/reprise.hpp"
#include "input/controle.hpp"

#ifndef UNITFRAC_VERSION
#error "UNITFRAC_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace unitfrac {

namespace {

// Standard output, and a copy of all that goes through: a partial table keeps it in its
// checkpoints, for a resumed run to write again first.
class Copieur : public std::streambuf {
 public:
  explicit Copieur(std::streambuf* dessous) : dessous_(dessous) {}
  const std::string& texte() const { return texte_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (traits_type::eq_int_type(dessous_->sputc(traits_type::to_char_type(c)), traits_type::eof()))
      return traits_type::eof();
    texte_ += traits_type::to_char_type(c);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::streamsize k = dessous_->sputn(s, n);
    if (k > 0) texte_.append(s, static_cast<std::size_t>(k));
    return k;
  }
  int sync() override { return dessous_->pubsync(); }

 private:
  std::streambuf* dessous_;
  std::string texte_;
};

// A checkpoint that does not fit the calculation, or cannot be read.
struct RefusReprise {
  std::string message;
};

// The result file of a shard could not be written.
struct EchecResultat {
  std::string fichier;
  int erreur = 0;
};

// The reason of a failed write, for its one-line message.
std::string raison(int e) {
  switch (e) {
    case 0: return "cause inconnue";
    case ENOSPC: return "plus de place sur le disque";
    case EBADF: return "sortie fermee";
    default: return std::strerror(e);
  }
}

}  // namespace

void calcul_options(const Options& opt, std::ostream& sortie, Veille* veille, Temoin* temoin) {
  const Execution ex{opt.parallele, veille, temoin};
  std::istringstream rien;   // the reader of the pause, never used: without pause, L <= 0
  const Forme forme = opt.compte ? Forme::compte : opt.brut ? Forme::brut : Forme::tableau;
  // A partial table with checkpoints keeps a copy of what it writes.
  const bool copier = !opt.reprise.empty() && veille != nullptr && forme != Forme::compte;
  Copieur copie(sortie.rdbuf());
  std::ostream copiee(&copie);
  std::ostream& out = copier ? copiee : sortie;
  Lecteur lecteur(rien, out);
  Bons bons;
  Affichage aff(out, demande_au(lecteur), opt.reg, bons);
  aff.debut_calcul();
  aff.forme(forme);  // a count shows nothing whatever the paging value
  aff.paginer(opt.L);
  const auto debut = std::chrono::steady_clock::now();
  Reglages reg_tranche;
  Moteur moteur = preparer_tranche(opt.reg, opt.tranche, reg_tranche);
  // A count with a checkpoint goes on from it, and keeps it up to date.
  PointReprise point;
  const PointReprise* acquis = nullptr;
  if (!opt.reprise.empty() && ex.veille != nullptr) {
    // -k K: the paging value is -K, down to -2^63.
    const std::string k = std::to_string(static_cast<unsigned long long>(-(opt.L + 1)) + 1);
    point.calcul = options_du_calcul(opt.reg) + " --tranche " + std::to_string(opt.tranche.I) + "/" +
                   std::to_string(opt.tranche.K) +
                   (forme == Forme::compte ? " -c" : forme == Forme::brut ? " --brut -k " + k : " -k " + k);
    PointReprise lu;
    std::string erreur;
    const LecturePoint l = lire_point(opt.reprise, lu, erreur);
    if (l == LecturePoint::refuse) throw RefusReprise{opt.reprise + " : " + erreur};
    if (l == LecturePoint::lu) {
      if (lu.calcul != point.calcul)
        throw RefusReprise{opt.reprise + " : point de reprise d'un autre calcul (" + lu.calcul + ")"};
      if (!lire_bons(lu.bons, bons)) throw RefusReprise{opt.reprise + " : nombres Bons illisibles"};
      point = lu;
      acquis = &point;
      if (!point.fini && !point.debut.empty()) {
        // The search placed at the state the checkpoint names, with the shard's end.
        Reglages place = reg_tranche;
        place.tri = 1;
        place.seq = 1;
        place.x2.assign(static_cast<std::size_t>(place.n) + 1, 0);
        std::istringstream valeurs(point.debut);
        place.s = 0;
        for (long long v = 0; valeurs >> v && place.s < place.n - 1;) place.x2[static_cast<std::size_t>(++place.s)] = v;
        moteur = preparer(place);
        moteur.regler(reg_tranche);
      }
    }
    // Every few seconds during the search, at its end and at a stop: written whole or not at all.
    ex.veille->intervalle = std::chrono::seconds(opt.intervalle);
    bool signale = false;
    const auto garder = [&, &point = point](const std::string& depuis, long long solutions, bool fini) {
      PointReprise p;
      p.calcul = point.calcul;
      p.fini = fini;
      p.solutions = solutions;
      p.xn_max = aff.m;
      p.x1_min = aff.K1 > 0 ? aff.m1 : mpz_class(0);
      p.debut = depuis;
      if (opt.reg.cptbon == 1) p.bons = texte_bons(bons);
      if (copier) {
        aff.vider();  // every solution the display has taken is written, so in the copy
        p.texte = copie.texte();
        p.derniere = aff.derniere();
      }
      if (!ecrire_point(opt.reprise, p) && !signale) {
        signale = true;
        ex.veille->erreurs() << "unitfrac: echec d'ecriture du point de reprise " << opt.reprise << " ("
                              << std::strerror(errno) << ") ; le calcul continue\n";
      }
    };
    ex.veille->garder = [garder](const std::string& depuis, long long solutions) { garder(depuis, solutions, false); };
    struct Oublier {
      Veille* v;
      ~Oublier() { v->garder = nullptr; }
    } oublier{ex.veille};
    if (acquis != nullptr && acquis->fini) {
      // The result at once: what the run wrote before its last lines, and its count.
      out << acquis->texte;
      aff.reprendre(acquis->solutions, acquis->xn_max, acquis->x1_min);
    } else {
      conduire(out, opt.reg, moteur, aff, bons, ex, acquis);
      garder("", aff.K1, true);
    }
  } else {
    conduire(out, opt.reg, moteur, aff, bons, ex);
  }
  if (opt.compte) out << aff.K1 << '\n';
  if (forme != Forme::tableau && opt.reg.cptbon == 1) {
    out << '\n';
    bons.lister(out, "", " ", "\n");
  }
  verifier_ecriture(out);  // the copy's failures are standard output's
  if (!opt.resultat.empty()) {
    const double secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    if (!ecrire_resultat_tranche(opt, aff, bons, secondes)) throw EchecResultat{opt.resultat, errno};
  }
}

int lancer(const std::vector<std::string_view>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const Console& console) {
  Options opt;
  std::string erreur;
  if (!analyser(args, opt, erreur)) {
    err << "unitfrac: " << erreur << " (voir unitfrac --help)\n";
    return 2;
  }
  // The progress line: at a terminal, rewritten in place; asked for elsewhere, plain lines.
  Veille::Ligne ligne = Veille::Ligne::aucune;
  if (opt.statut == Options::Statut::toujours)
    ligne = console.terminal ? Veille::Ligne::terminal : Veille::Ligne::lignes;
  else if (opt.statut == Options::Statut::terminal && console.terminal)
    ligne = Veille::Ligne::terminal;
  Veille veille(err, ligne, console.interruptions);
  veille.largeur = console.largeur;

  // Everything written to `out` first erases the line.
  SortieVeillee sortie(out.rdbuf(), veille);
  struct Remettre {
    std::ostream& out;
    std::streambuf* avant;
    ~Remettre() { out.rdbuf(avant); }
  } remettre{out, ligne == Veille::Ligne::aucune ? out.rdbuf() : out.rdbuf(&sortie)};
  try {
    int statut = 0;
    switch (opt.action) {
      case Options::Action::aide: aide(out); break;
      case Options::Action::version: out << "unitfrac " << UNITFRAC_VERSION << '\n'; break;
      case Options::Action::calcul: calcul_options(opt, out, &veille); break;
      case Options::Action::dialogue: statut = programme(in, out, {opt.parallele, &veille}); break;
      case Options::Action::fusion: statut = fusionner_resultats(opt, in, out, err); break;
    }
    verifier_ecriture(out);
    return statut;
  } catch (const EchecEcriture& e) {
    // A reader that has gone (| head with SIGPIPE ignored) is no error worth a message.
    if (e.erreur != EPIPE) err << "unitfrac: echec d'ecriture sur la sortie standard (" << raison(e.erreur) << ")\n";
    return 4;
  } catch (const RefusReprise& e) {
    err << "unitfrac: " << e.message << '\n';
    return 2;
  } catch (const EchecResultat& e) {
    err << "unitfrac: echec d'ecriture du resultat dans " << e.fichier << " (" << raison(e.erreur) << ")\n";
    return 4;
  } catch (const Interruption&) {
    return 128 + veille.signal();
  }
}

}  // namespace unitfrac
