// Checkpoints of a count (--reprise): killed by any signal at any moment and started again until
// it finishes, a count ends with the uninterrupted run's output; a checkpoint that does not fit
// is refused.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "dialogue/reprise.hpp"
#include "tests/dialogue/lancer.hpp"

namespace unitfrac {
namespace {

// The count a checkpoint holds, 0 when there is none yet; every checkpoint read is whole.
long long acquis(const std::string& fichier) {
  PointReprise p;
  std::string erreur;
  const LecturePoint l = lire_point(fichier, p, erreur);
  EXPECT_NE(l, LecturePoint::refuse) << erreur;
  return l == LecturePoint::lu ? p.solutions : 0;
}

// Every signal, one to three threads, with and without the tally, a shard: each run is stopped once
// a checkpoint it wrote holds a count drawn between what it started from and the total, until a
// run finishes. An event, so a busy machine changes nothing but the time it takes.
TEST(Reprise, ACountKilledAndStartedAgainEndsAsIfNeverStopped) {
  const std::string point = dossier_propre() + "/point";
  const struct { std::vector<std::string> calcul; int signal; const char* threads; } cas[] = {
      {{"-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c"}, SIGKILL, "3"},
      {{"-t", "2", "-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c"}, SIGTERM, "2"},
      {{"-n", "8", "--debut", "2,3,12", "--fin", "2,3,12", "-c", "--tranche", "2/3"}, SIGHUP, "1"},
      {{"-n", "7", "-c", "-b", "--debut", "3", "--fin", "3"}, SIGINT, "2"},
      {{"-n", "7", "-c", "-b", "--debut", "3", "--fin", "3"}, SIGKILL, "1"},
  };
  unsigned graine = 7;
  int arrets = 0;  // runs stopped, all rows together (a short one may end before its event)
  for (const auto& c : cas) {
    SCOPED_TRACE(texte(c.calcul) + "signal " + std::to_string(c.signal));
    std::vector<std::string> args = c.calcul;
    args.insert(args.end(), {"--threads", c.threads});
    const std::string attendu = executer(args).out;
    const long long total = std::stoll(attendu);
    args.insert(args.end(), {"--reprise", point, "--intervalle", "0"});
    std::remove(point.c_str());
    Sortie dernier;
    int tours = 0;
    while (dernier.statut != 0 && tours++ < 200) {
      graine = graine * 1103515245 + 12345;
      const long long depuis = acquis(point);
      const long long cible = depuis + 1 + (total - depuis) * (10 + (graine >> 16) % 40) / 100;
      dernier = executer(args, c.signal, [&](const std::string&, long long) { return acquis(point) >= cible; });
      arrets += dernier.statut != 0;
    }
    acquis(point);
    EXPECT_EQ(dernier.statut, 0);
    EXPECT_EQ(dernier.out, attendu);
  }
  EXPECT_GE(arrets, 3) << "the runs were hardly ever stopped";
}

// A finished checkpoint gives its result at once; one of another calculation or shard, one cut
// short, one with a byte changed, one of another version: one line, status 2, nothing written.
TEST(Reprise, ACheckpointThatDoesNotFitIsRefused) {
  const std::string point = dossier_propre() + "/fini";
  std::remove(point.c_str());
  const std::vector<std::string> calcul = {"-n", "5", "-c", "-b", "--reprise", point};
  const Sortie premier = lancer_avec(calcul);
  ASSERT_EQ(premier.statut, 0);
  EXPECT_EQ(premier.out.substr(0, 4), "147\n");
  EXPECT_EQ(lancer_avec(calcul).out, premier.out);  // from the file, at once
  const std::string bon = lire_fichier(point);
  const auto remplacer = [&](std::size_t a, std::size_t n, const std::string& par) {
    std::string t = bon;
    return t.replace(a, n, par);
  };
  const struct { std::string contenu; std::vector<std::string> args; std::string message; } cas[] = {
      {bon, {"-n", "5", "-c", "--reprise", point}, "d'un autre calcul"},
      {bon, {"-n", "5", "-c", "-b", "--tranche", "1/2", "--reprise", point}, "d'un autre calcul"},
      {bon.substr(0, bon.size() / 2), calcul, "tronque ou abime"},
      {remplacer(bon.find("solutions=") + 10, 1, "9"), calcul, "tronque ou abime"},
      {remplacer(0, 18, "unitfrac-reprise 2"), calcul, "d'une autre version"},
      {"5\n", calcul, "ce n'est pas un point de reprise"},
  };
  for (const auto& c : cas) {
    std::ofstream(point, std::ios::binary | std::ios::trunc) << c.contenu;
    verifier_refus(lancer_avec(c.args), c.message);
  }
  EXPECT_EQ(lancer_avec({"-n", "5", "--reprise", point}).statut, 2);  // a listing: counts only
}

}  // namespace
}  // namespace unitfrac
