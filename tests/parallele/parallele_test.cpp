// Tasks split at every chance make up the one-thread search. The parallel search against the
// one-thread search, whole dialogues byte for byte: every transcript, and a grid of calculations
// over both types, parities, bounds, start and end sequences and every paging mode with pauses
// answered each way. The workers are set to split, yield and check as often as they can, so that
// even these small searches run as many tasks as they can be cut into; some tests hold chosen
// tasks back so that later ones finish first.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

#include "dialogue/lanceur.hpp"
#include "dialogue/options.hpp"
#include "dialogue/programme.hpp"
#include "engine/puits.hpp"
#include "parallele/decoupe.hpp"
#include "parallele/fusion.hpp"
#include "tests/dialogue/lancer.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

namespace fs = std::filesystem;

// Told of the whole search: counts tasks and resumptions. May also give away wrong splits, or hold
// back the tasks k with k % 7 == lent.
struct Espion : Temoin {
  bool faux = false;
  int lent = -1;
  long long taches = 0, reprises = 0;
  void avant_tache(long long k) override {
    // Yields rather than sleeps: the other workers run ahead whatever the clock says.
    if (k % 7 == lent)
      for (int j = 0; j < 20000; ++j) std::this_thread::yield();
  }
  void bilan(long long t, long long r) override { taches += t, reprises += r; }
  bool partages_faux() const override { return faux; }
};

Sortie executer(const std::string& entree, const Parallele& par, Temoin* temoin = nullptr) {
  std::istringstream in(entree);
  std::ostringstream out;
  const int statut = programme(in, out, {par, nullptr, temoin});
  return {statut, out.str(), ""};
}

// Settings that cut even a small search into as many tasks as it has unknowns to split at. On one
// thread, the one-thread search, the reference: the other settings matter only to several.
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
  using test::reglages;
  for (const Reglages& reg : {reglages(1, 5, 1, 1), reglages(2, 6, 1, 1), reglages(1, 6, 1, 1, 2), reglages(2, 5, 3, 7),
                              reglages(1, 5, 5, 6, 1), reglages(2, 6, 1, 1, 0, 400), reglages(1, 5, 2, 3)}) {
    for (const bool placee : {false, true}) {
      Moteur depart(reg);
      if (placee) depart.placer_premiere();
      for (const int pas : {1, 7}) {
        test::Liste solutions;
        EXPECT_LT(courir_en_taches(depart, {}, pas, solutions).profondeur(), 0);
        EXPECT_EQ(solutions, test::chercher(reg, placee)) << reg.type << ' ' << reg.n << ' ' << pas;
      }
    }
  }
}

TEST(Parallele, EveryTranscriptGivesItsExpectedOutputOnSeveralThreads) {
  int cas = 0;
  for (const auto& e : fs::recursive_directory_iterator(UNITFRAC_TRANSCRIPTS)) {
    if (e.path().extension() != ".in") continue;
    ++cas;
    fs::path out = e.path(), statut = e.path();
    const std::string attendu = lire_fichier(out.replace_extension(".out"));
    const int code = fs::exists(statut.replace_extension(".status")) ? std::stoi(lire_fichier(statut)) : 1;
    for (const int threads : {2, 3, 8}) {
      const Sortie r = executer(lire_fichier(e.path()), serre(threads));
      EXPECT_EQ(r.out, attendu) << e.path() << " on " << threads << " threads";
      EXPECT_EQ(r.statut, code) << e.path();
    }
  }
  EXPECT_GT(cas, 50);
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
  // n, P, Q, and the answers from the parity to the bound (start and end sequences, bound).
  const std::tuple<int, long long, long long, const char*> grille[] = {
      {5, 1, 1, ""}, {6, 1, 1, ""}, {5, 2, 3, ""}, {5, 3, 7, ""}, {5, 1, 1, "1 0 0 0"}, {6, 1, 1, "2 0 0 0"},
      {6, 1, 1, "0 0 0 60"}, {6, 1, 1, "0 1 2 4 0 1 2 3 0 0"}, {6, 1, 1, "0 1 3 0 1 2 5 0 200"},
      {5, 5, 6, "1 0 1 3 0 0"}, {7, 1, 1, "0 1 2 3 7 0 1 2 3 7 50 0 0"},
      // The last unknown passes 2^63 (and 2^86) at the end: workers widen to 128 bits.
      {8, 1, 1, "0 1 2 3 7 43 1807 3263460 0 1 2 3 7 43 1807 3263443 0 0"},
  };
  Espion espion;
  const char* paging[][2] = {{"0", ""}, {"-7", ""}, {"-1000", ""}, {"-2", ""},
                             {"5", "3 0"}, {"4", "-3"}, {"6", "2 2 -1"}, {"3", "-9999"}};
  for (const auto& [n, P, Q, selection] : grille) {
    for (const int type : {1, 2}) {
      for (const auto& [L, pauses] : paging) {
        // The tally on wherever it is asked for, but for the long lists (it costs the display).
        const std::string in = dialogue(type, n, P, Q, selection, std::stoll(L), pauses, n <= 6);
        const Sortie un = executer(in, serre(1));
        for (const int threads : {2, 3, 8}) {
          Parallele p = serre(threads);
          p.pas_controle = 16;
          const Sortie r = executer(in, p, &espion);
          ASSERT_EQ(r.out, un.out) << in << " on " << threads << " threads";
          ASSERT_EQ(r.statut, un.statut) << in;
        }
      }
    }
  }
  std::printf("%lld tasks, %lld resumed\n", espion.taches, espion.reprises);
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
  std::string attendu;  // the plain form: the values one blank apart, a line each
  for (const auto& s : test::chercher(reg))
    for (std::size_t a = 0; a < s.size(); ++a) attendu += s[a] + (a + 1 < s.size() ? " " : "\n");
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
      Bons bons;
      Affichage aff(out, [](std::string_view) { return 0LL; }, reg, bons);  // no pause
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

// Interrupted, the search ends through the watch's `conclure` (the run driver writes its summary
// there) before it waits for its workers: here one that holds its task until then, as a worker
// making its engine for a deep search does for a fraction of a second.
TEST(Parallele, AnInterruptionConcludesBeforeItWaitsForTheWorkers) {
  using namespace std::chrono_literals;
  struct Retenue : Temoin {
    std::mutex m;
    std::condition_variable cv;
    bool tenue = false, conclue = false;
    void avant_tache(long long k) override {
      if (k != 1) return;
      std::raise(SIGINT);  // noted by the watch: the search is running
      std::unique_lock lk(m);
      tenue = true;
      cv.wait_for(lk, 60s, [&] { return conclue; });
    }
  } temoin;
  const Reglages reg = test::reglages(1, 7, 1, 1);
  std::ostringstream out, err;
  Bons bons;
  Affichage aff(out, [](std::string_view) { return 0LL; }, reg, bons);
  aff.debut_calcul();
  aff.forme(Forme::compte);
  aff.debut_run();
  Moteur moteur(reg);
  Veille veille(err, Veille::Ligne::aucune, true);
  veille.debut(moteur);
  bool tenue = false;
  veille.conclure = [&](const std::string&) {
    std::lock_guard lk(temoin.m);
    tenue = temoin.tenue;
    temoin.conclue = true;
    temoin.cv.notify_all();
  };
  std::string reprise;
  const auto issue = courir_en_parallele(moteur, aff, reg, serre(2), &veille, reprise, lancer_fil, &temoin);
  veille.fin();
  EXPECT_EQ(issue, Issue::interrompue);
  EXPECT_TRUE(tenue) << "concluded only once every worker had stopped";
}

// With n unknowns a step may cost O(n): a deep search looks up after every step, a shallow one
// after many fast ones.
TEST(Cadence, DeepSearchesLookUpAfterEveryStep) {
  Cadence profonde(256, 1 << 20), courte(256, 8);
  int tours = 0;
  for (int k = 0; k < 100000; ++k) {
    EXPECT_TRUE(profonde.tour());
    tours += courte.tour() ? 1 : 0;
  }
  EXPECT_LT(tours, 100000);
}

// Splits that give away a wrong state (caught: the search goes on from where the task ended), and
// chosen tasks held back so that later ones finish first: the one-thread output still, whatever the
// paging.
TEST(Parallele, WrongSplitsAndTasksFinishingOutOfOrderStillGiveTheOneThreadOutput) {
  for (const int type : {1, 2}) {
    for (const long long L : {0LL, -5LL, -100000LL}) {
      const std::string in = dialogue(type, 6, 1, 1, "", L);
      const std::string un = executer(in, serre(1)).out;
      Espion faux;
      faux.faux = true;
      EXPECT_EQ(executer(in, serre(2), &faux).out, un) << in;
      EXPECT_GT(faux.reprises, 0) << in;
      for (const int lent : {0, 1, 2, 5}) {
        Espion retard;
        retard.lent = lent;
        EXPECT_EQ(executer(in, serre(3), &retard).out, un) << in << "task " << lent << " held back";
      }
    }
  }
}

}  // namespace
}  // namespace unitfrac
