// Tasks split at every chance make up the one-thread search. The parallel search against the
// one-thread search, whole dialogues byte for byte: every transcript, and a grid of calculations over both types, parities, bounds, start and end
// sequences and every paging mode with pauses answered each way. The workers are set to split,
// yield and check as often as they can, so that even these small searches run as many tasks as
// they can be cut into; some tests hold chosen tasks back so that later ones finish first.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "dialogue/options.hpp"
#include "dialogue/programme.hpp"
#include "engine/puits.hpp"
#include "parallele/decoupe.hpp"
#include "parallele/fusion.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

namespace fs = std::filesystem;

struct Resultat {
  std::string sortie;
  int statut;
};

Resultat executer(const std::string& entree, const Parallele& par) {
  std::istringstream in(entree);
  std::ostringstream out;
  Options opt;
  opt.parallele = par;
  const int statut = programme(in, out, opt);
  return {out.str(), statut};
}

// The one-thread search, the reference.
Resultat seul(const std::string& entree) {
  Parallele p;
  p.threads = 1;
  return executer(entree, p);
}

// Settings that cut even a small search into as many tasks as it has unknowns to split at.
Parallele serre(int threads) {
  Parallele p;
  p.threads = threads;
  p.pas_echauffement = 0;
  p.pas_controle = 1;
  p.unite = p.unite_min = std::chrono::microseconds(0);
  p.budget = 100000;
  p.seuil_compte = 3;
  return p;
}

std::string lire(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// A task run to its exit, splitting every `pas` steps; the tasks given away run after it, the last
// given first (each comes right after the part its giver kept). Their solutions go to `solutions`
// in that order; each task must start where the one before it ended. Returns the state at the end.
Moteur courir_en_taches(const Moteur& depart, Moteur::Sortie sortie, int pas, test::Liste& solutions) {
  Moteur m = depart;
  Collecteur c;
  std::vector<std::pair<Moteur::Etat, Moteur::Sortie>> donnees;
  int vide = 0;
  m.courir_jusqua(c, sortie, pas, [&] {
    const Moteur::Sortie avant = sortie;
    const Moteur::Etat ici = m.etat();
    if (auto suite = partager(m, sortie, vide)) donnees.emplace_back(std::move(*suite), avant);
    EXPECT_TRUE(m.etat() == ici) << "the task goes on from where it was";
    return true;
  });
  solutions.insert(solutions.end(), c.solutions.begin(), c.solutions.end());
  for (auto t = donnees.rbegin(); t != donnees.rend(); ++t) {
    EXPECT_TRUE(m.etat() == t->first) << "a task does not start where the one before it ended";
    Moteur suivante = depart;
    suivante.reprendre(t->first);
    m = courir_en_taches(suivante, t->second, pas, solutions);
  }
  return m;
}

TEST(Decoupe, TasksSplitAtEveryChanceMakeUpTheOneThreadSearch) {
  struct Cas {
    int type, n;
    long long P, Q;
    int parite;
    long long M;
  };
  const Cas grille[] = {{1, 5, 1, 1, 0, 0}, {2, 6, 1, 1, 0, 0},   {1, 6, 1, 1, 2, 0}, {2, 5, 3, 7, 0, 0},
                        {1, 5, 5, 6, 1, 0}, {2, 6, 1, 1, 0, 400}, {1, 5, 2, 3, 0, 0}};
  for (const Cas& c : grille) {
    const Reglages reg = test::reglages(c.type, c.n, c.P, c.Q, c.parite, c.M);
    for (const bool placee : {false, true}) {
      Moteur depart(reg);
      if (placee) depart.placer_premiere();
      for (const int pas : {1, 7}) {
        test::Liste solutions;
        EXPECT_LT(courir_en_taches(depart, {}, pas, solutions).profondeur(), 0);
        EXPECT_EQ(solutions, test::chercher(reg, placee)) << c.type << ' ' << c.n << ' ' << pas;
      }
    }
  }
}

TEST(Parallele, EveryTranscriptGivesItsExpectedOutputOnSeveralThreads) {
  std::vector<fs::path> cas;
  for (const auto& e : fs::recursive_directory_iterator(UNITFRAC_TRANSCRIPTS))
    if (e.path().extension() == ".in") cas.push_back(e.path());
  ASSERT_GT(cas.size(), 50u);
  for (const int threads : {2, 3, 8}) {
    for (const fs::path& in : cas) {
      fs::path out = in, statut = in;
      out.replace_extension(".out");
      statut.replace_extension(".status");
      const Resultat r = executer(lire(in), serre(threads));
      EXPECT_EQ(r.sortie, lire(out)) << in << " on " << threads << " threads";
      EXPECT_EQ(r.statut, fs::exists(statut) ? std::stoi(lire(statut)) : 1) << in;
    }
  }
}

// One calculation without explanations, then 0 to "Nouveau calcul"; `selection` holds the answers
// from the parity to the bound, "" for no selection. After the paging value come the answers to
// the pauses.
std::string dialogue(int type, int n, long long P, long long Q, const std::string& selection,
                     long long L, const std::string& pauses = "", bool bons = false) {
  std::ostringstream s;
  s << "0 " << type << ' ' << n << ' ' << P << ' ' << Q << ' ';
  s << (selection.empty() ? "0 " : "1 " + selection + ' ');
  if (P == Q) s << (bons ? "1 " : "0 ");
  s << L << ' ' << pauses << " 0\n";
  return s.str();
}

TEST(Parallele, GridOfCalculationsMatchesTheOneThreadSearch) {
  struct Cas {
    int n;
    long long P, Q;
    const char* selection;  // parity, start sequence, end sequence, bound
  };
  const Cas grille[] = {
      {5, 1, 1, ""},
      {6, 1, 1, ""},
      {5, 2, 3, ""},
      {5, 3, 7, ""},
      {5, 1, 1, "1 0 0 0"},
      {6, 1, 1, "2 0 0 0"},
      {6, 1, 1, "0 0 0 60"},
      {6, 1, 1, "0 1 2 4 0 1 2 3 0 0"},
      {6, 1, 1, "0 1 3 0 1 2 5 0 200"},
      {5, 5, 6, "1 0 1 3 0 0"},
      {7, 1, 1, "0 1 2 3 7 0 1 2 3 7 50 0 0"},
      // The last unknown passes 2^63 (and 2^86) at the end: workers widen to 128 bits.
      {8, 1, 1, "0 1 2 3 7 43 1807 3263460 0 1 2 3 7 43 1807 3263443 0 0"},
  };
  long long taches = 0, reprises = 0;
  const char* paging[][2] = {{"0", ""}, {"-7", ""}, {"-1000", ""}, {"-2", ""},
                             {"5", "3 0"}, {"4", "-3"}, {"6", "2 2 -1"}, {"3", "-9999"}};
  for (const Cas& c : grille) {
    for (const int type : {1, 2}) {
      for (const auto& [L, pauses] : paging) {
        // The tally on wherever it is asked for, but for the long lists (it costs the display).
        const std::string in = dialogue(type, c.n, c.P, c.Q, c.selection, std::stoll(L), pauses, c.n <= 6);
        const Resultat un = seul(in);
        for (const int threads : {2, 3, 8}) {
          Parallele p = serre(threads);
          p.pas_controle = 16;
          p.bilan = [&](long long t, long long r) {
            taches += t;
            reprises += r;
          };
          const Resultat r = executer(in, p);
          ASSERT_EQ(r.sortie, un.sortie) << in << " on " << threads << " threads";
          ASSERT_EQ(r.statut, un.statut) << in;
        }
      }
    }
  }
  std::printf("%lld tasks, %lld resumed\n", taches, reprises);
}

// The plain form and the count with the tally, from options: the same output on several threads.
TEST(Parallele, PlainFormAndCountWithTallyMatchTheOneThreadSearch) {
  const std::vector<std::vector<std::string_view>> cas = {
      {"-n", "6", "--brut", "-b"},      {"-n", "6", "--brut", "-k", "7", "-b"},
      {"-t", "2", "-n", "6", "-c", "-b"}, {"-n", "7", "-p", "1", "-c", "-b"},
      {"-n", "7", "--brut", "-k", "1000", "-b"}};
  for (const auto& args : cas) {
    std::string un;
    for (const int threads : {1, 2, 8}) {
      Options opt;
      std::string erreur;
      ASSERT_TRUE(analyser(args, opt, erreur)) << erreur;
      opt.parallele = serre(threads);
      std::ostringstream out;
      calcul_options(opt, out);
      if (threads == 1) un = out.str();
      EXPECT_EQ(out.str(), un) << args[1] << ' ' << args[3] << " on " << threads << " threads";
    }
    EXPECT_NE(un.find("\n\n"), std::string::npos);
  }
}

// When the system gives fewer threads than asked (here a starter that fails after k), the search
// runs on those it gave, or, with none, is left to the caller; standard error says so once.
TEST(Parallele, ThreadsTheSystemRefusesAreDoneWithoutAndSaidOnce) {
  const Reglages reg = test::reglages(1, 6, 1, 1);
  std::string attendu;
  for (const auto& s : test::chercher(reg)) {
    for (std::size_t a = 0; a < s.size(); ++a) attendu += (a ? " " : "") + s[a];
    attendu += '\n';
  }
  for (const int donnes : {0, 1, 3}) {
    std::ostringstream err;
    Veille veille(err, Veille::Ligne::aucune, false);
    for (int fois = 0; fois < 2; ++fois) {
      int lances = 0;
      const Lanceur lanceur = [&](std::function<void()> f) {
        if (lances == donnes) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++lances;
        return std::thread(std::move(f));
      };
      std::istringstream in;
      std::ostringstream out;
      Lecteur lecteur(in, out);
      Bons bons;
      Affichage aff(out, lecteur, reg, bons);
      aff.debut_calcul();
      aff.forme(Forme::brut);
      aff.debut_run();
      Moteur moteur(reg);
      std::string reprise;
      const auto issue = courir_en_parallele(moteur, aff, reg, serre(8), &veille, reprise, lanceur);
      aff.vider();
      EXPECT_EQ(issue.has_value(), donnes > 0) << donnes;
      EXPECT_EQ(out.str(), donnes > 0 ? attendu : "") << donnes;
    }
    EXPECT_EQ(err.str(), "unitfrac: 8 fils de calcul demandes, le systeme n'en donne " +
                             (donnes == 0 ? std::string("aucun : la recherche se fait dans le fil principal.\n")
                                          : "que " + std::to_string(donnes) + " : la recherche se fait avec eux.\n"));
  }
}

TEST(Parallele, WrongSplitsAreCaughtAndTheSearchGoesOnFromWhereTheTaskEnded) {
  for (const int type : {1, 2}) {
    for (const char* L : {"0", "-5", "-100000"}) {
      const std::string in = dialogue(type, 6, 1, 1, "", std::stoll(L));
      Parallele p = serre(2);
      p.partages_faux = true;
      long long reprises = 0;
      p.bilan = [&](long long, long long r) { reprises += r; };
      EXPECT_EQ(executer(in, p).sortie, seul(in).sortie) << in;
      EXPECT_GT(reprises, 0) << in;
    }
  }
}

TEST(Parallele, TasksFinishingOutOfOrderStillGiveTheOneThreadOutput) {
  const std::string in = dialogue(1, 6, 1, 1, "", 0) + "";
  const Resultat un = seul(in);
  for (const int lent : {0, 1, 2, 5}) {
    Parallele p = serre(3);
    p.avant_tache = [lent](long long k) {
      if (k % 7 == lent) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    EXPECT_EQ(executer(in, p).sortie, un.sortie) << "task " << lent << " held back";
  }
}

}  // namespace
}  // namespace unitfrac
