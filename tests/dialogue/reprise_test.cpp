// Checkpoints of a count (--reprise): killed by any signal at any moment and started again until
// it finishes, a count ends with the uninterrupted run's output; a checkpoint that does not fit
// is refused.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialogue/reprise.hpp"
#include "tests/dialogue/lancer.hpp"

namespace unitfrac {
namespace {

std::string lire(const std::string& fichier) {
  std::ifstream f(fichier, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// What changes when a checkpoint is renamed over the file: its inode and its time.
std::pair<ino_t, long long> version(const std::string& fichier) {
  struct stat st {};
  if (::stat(fichier.c_str(), &st) != 0) return {0, 0};
  return {st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

// Counts in `vus` the times the checkpoint `fichier` is rewritten from now on; true from the
// `changements`-th on (never when 0).
Guet compter_points(const std::string& fichier, int changements, int& vus) {
  vus = 0;
  return [=, &vus, avant = version(fichier)](const std::string&, long long) mutable {
    if (const auto v = version(fichier); v != avant) avant = v, ++vus;
    return changements > 0 && vus >= changements;
  };
}

// Every signal, one to three threads, with and without the tally, a shard: stopped after a random
// number of checkpoints each time, until done. Every checkpoint left behind reads whole.
TEST(Reprise, ACountKilledAndStartedAgainEndsAsIfNeverStopped) {
  const std::string dossier = testing::TempDir();
  const struct {
    std::vector<std::string> calcul;
    int signal;
    const char* threads;
  } cas[] = {
      {{"-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c"}, SIGKILL, "3"},
      {{"-t", "2", "-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c"}, SIGTERM, "2"},
      {{"-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c", "--tranche", "2/3"}, SIGHUP, "1"},
      {{"-n", "7", "-c", "-b", "--debut", "3", "--fin", "3"}, SIGINT, "2"},
      {{"-n", "7", "-c", "-b", "--debut", "4", "--fin", "4"}, SIGKILL, "1"},
  };
  unsigned graine = 7;
  for (const auto& c : cas) {
    std::vector<std::string> args = c.calcul;
    const std::string point = dossier + "/point";
    std::remove(point.c_str());
    args.insert(args.end(), {"--threads", c.threads});
    const std::string attendu = executer(args).sortie;
    args.insert(args.end(), {"--reprise", point, "--intervalle", "0"});
    // How many checkpoints a whole run writes (it depends on the speed of the build): each run
    // is stopped after about a quarter of them.
    int tous = 0;
    const Processus entier = executer(args, 0, compter_points(point, 0, tous));
    ASSERT_EQ(entier.statut, 0);
    ASSERT_EQ(entier.sortie, attendu);
    std::remove(point.c_str());
    const int quart = std::max(1, tous / 4);
    Processus dernier;
    int tours = 0, vus = 0;
    while (dernier.statut != 0 && tours++ < 200) {
      graine = graine * 1103515245 + 12345;
      // The first checkpoint of a run may come before it has done anything: at least two.
      const int apres = 2 + quart / 2 + static_cast<int>(graine >> 16) % quart;
      dernier = executer(args, c.signal, compter_points(point, apres, vus));
      PointReprise p;
      std::string erreur;
      ASSERT_NE(lire_point(point, p, erreur), LecturePoint::refuse) << erreur;
    }
    EXPECT_EQ(dernier.statut, 0);
    EXPECT_GE(tours, 2) << "the runs were not stopped: " << c.calcul[1] << c.calcul[2] << " signal " << c.signal;
    EXPECT_EQ(dernier.sortie, attendu) << c.calcul[1] << c.calcul[2] << " signal " << c.signal;
  }
}

// A finished checkpoint gives its result at once; one of another calculation or shard, one cut
// short, one with a byte changed, one of another version: one line, status 2, nothing written.
TEST(Reprise, ACheckpointThatDoesNotFitIsRefused) {
  const std::string point = testing::TempDir() + "/fini";
  std::remove(point.c_str());
  const std::vector<std::string> calcul = {"-n", "5", "-c", "-b", "--reprise", point};
  const Sortie premier = lancer_avec(calcul);
  ASSERT_EQ(premier.statut, 0);
  EXPECT_EQ(premier.out.substr(0, 4), "147\n");
  EXPECT_EQ(lancer_avec(calcul).out, premier.out);  // from the file, at once
  const std::string bon = lire(point);
  const auto remplacer = [&](std::size_t a, std::size_t n, const std::string& par) {
    std::string t = bon;
    return t.replace(a, n, par);
  };
  const struct {
    std::string contenu;
    std::vector<std::string> args;
    std::string message;
  } cas[] = {
      {bon, {"-n", "5", "-c", "--reprise", point}, "d'un autre calcul"},
      {bon, {"-n", "5", "-c", "-b", "--tranche", "1/2", "--reprise", point}, "d'un autre calcul"},
      {bon.substr(0, bon.size() / 2), calcul, "tronque ou abime"},
      {remplacer(bon.find("solutions=") + 10, 1, "9"), calcul, "tronque ou abime"},
      {remplacer(0, 18, "unitfrac-reprise 2"), calcul, "d'une autre version"},
      {"5\n", calcul, "ce n'est pas un point de reprise"},
  };
  for (const auto& c : cas) {
    std::ofstream(point, std::ios::binary | std::ios::trunc) << c.contenu;
    const Sortie s = lancer_avec(c.args);
    EXPECT_EQ(s.statut, 2) << c.message;
    EXPECT_EQ(s.out, "") << c.message;
    EXPECT_NE(s.err.find(c.message), std::string::npos) << s.err;
    EXPECT_EQ(std::count(s.err.begin(), s.err.end(), '\n'), 1) << s.err;
  }
  EXPECT_EQ(lancer_avec({"-n", "5", "--reprise", point}).statut, 2);  // a listing: counts only
}

}  // namespace
}  // namespace unitfrac
