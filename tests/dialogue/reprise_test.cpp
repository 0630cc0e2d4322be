// Checkpoints of a count or a partial table (--reprise): killed by any signal at any moment and
// started again until it finishes, it ends with the uninterrupted run's whole output; a checkpoint
// that does not fit is refused.
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

// Every signal, one to three threads, with and without the tally, a shard, a count and partial
// tables: each run is stopped once a checkpoint it wrote holds a count drawn between what it
// started from and the total, until a run finishes. An event, so a busy machine changes nothing
// but the time it takes. A table's last run writes the whole table, the lines before it again.
TEST(Reprise, ACountOrATableKilledAndStartedAgainEndsAsIfNeverStopped) {
  const std::string point = dossier_propre() + "/point";
  const std::vector<std::string> n8 = {"-n", "8", "--debut", "3,4", "--fin", "3,4"};
  const std::vector<std::string> n8t2 = {"-t", "2", "-n", "8", "--debut", "3,4", "--fin", "3,4"};
  const std::vector<std::string> n8tranche = {"-n", "8", "--debut", "3,4", "--fin", "3,4", "--tranche", "2/3"};
  const std::vector<std::string> n7b = {"-n", "7", "-b", "--debut", "3", "--fin", "3"};
  const std::vector<std::string> n8b = {"-n", "8", "-b", "--debut", "3,4", "--fin", "3,4"};
  const struct { std::vector<std::string> calcul, forme; int signal; const char* threads; } cas[] = {
      {n8, {"-c"}, SIGKILL, "3"},        {n8t2, {"-c"}, SIGTERM, "2"},  {n8tranche, {"-c"}, SIGHUP, "1"},
      {n7b, {"-c"}, SIGINT, "2"},        {n7b, {"-c"}, SIGKILL, "1"},   {n8b, {"-k", "20000"}, SIGKILL, "2"},
      {n8b, {"--brut", "-k", "7777"}, SIGTERM, "3"},
  };
  unsigned graine = 7;
  int arrets = 0;  // runs stopped, all rows together (a short one may end before its event)
  for (const auto& c : cas) {
    SCOPED_TRACE(texte(c.calcul) + texte(c.forme) + "signal " + std::to_string(c.signal));
    std::vector<std::string> args = c.calcul;
    args.insert(args.end(), {"--threads", c.threads});
    std::vector<std::string> compte = args;
    compte.push_back("-c");
    const long long total = std::stoll(executer(compte).out);
    args.insert(args.end(), c.forme.begin(), c.forme.end());
    const std::string attendu = executer(args).out;
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
    EXPECT_EQ(executer(args).out, attendu);  // from the finished checkpoint, at once
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
  // A whole listing, -k 1 too: checkpoints are for counts and partial tables.
  EXPECT_EQ(lancer_avec({"-n", "5", "--reprise", point}).statut, 2);
  EXPECT_EQ(lancer_avec({"-n", "5", "-k", "1", "--reprise", point}).statut, 2);
}

}  // namespace
}  // namespace unitfrac
