// Shards (--tranche I/K): they split every calculation exactly, whatever the number of threads,
// and their results (--resultat) merge (--fusion) into the report of the whole calculation.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "dialogue/options.hpp"
#include "dialogue/regles.hpp"
#include "tests/dialogue/lancer.hpp"
#include "tranches/plan.hpp"

namespace unitfrac {
namespace {

std::vector<std::string> avec(std::vector<std::string> args, std::initializer_list<std::string> plus) {
  args.insert(args.end(), plus);
  return args;
}

// The K shards' plain listings one after the other are the whole listing, and their counts add up.
// Each task computes its shard alone: the shards run on 1 to 3 threads in turn, so a cut that
// depended on the threads would leave a gap or an overlap.
TEST(Tranches, SplitEveryCalculationExactly) {
  // The small ones also cut in more shards than they have values to cut at.
  const struct { std::vector<std::string> calcul; std::vector<int> K; } cas[] = {
      {{"-n", "6"}, {1, 2, 7, 64}},
      {{"-n", "7"}, {5}},
      {{"-t", "2", "-n", "6"}, {2, 7, 64}},
      {{"-n", "5", "-f", "3/4"}, {2, 7, 64, 300}},
      {{"-t", "2", "-n", "6", "-f", "2/3", "-p", "1"}, {2, 7, 64}},
      {{"-n", "6", "-p", "2"}, {2, 7, 64}},
      {{"-n", "6", "-m", "2000"}, {2, 7, 64}},
      {{"-n", "6", "--debut", "3,4", "--fin", "2,5"}, {2, 7, 64}},
      {{"-t", "2", "-n", "6", "--debut", "2,4,9", "--fin", "2,4,5,21"}, {2, 7, 64}},
      {{"-n", "3", "-f", "1/30"}, {2, 7, 300}},
      {{"-n", "2"}, {1, 7}},
  };
  for (const auto& [c, Ks] : cas) {
    const std::string tout = lancer_avec(avec(c, {"--brut"})).out;
    for (const int K : Ks) {
      std::string suite;
      long long somme = 0;
      for (int I = 1; I <= K; ++I) {
        const std::string tranche = std::to_string(I) + "/" + std::to_string(K);
        suite += lancer_avec(avec(c, {"--brut", "--tranche", tranche, "--threads", std::to_string(1 + I % 3)})).out;
        if (K <= 7) somme += std::stoll(lancer_avec(avec(c, {"-c", "--tranche", tranche})).out);
      }
      ASSERT_EQ(suite, tout) << texte(c) << "K = " << K;
      if (K <= 7) {
        EXPECT_EQ(somme, std::count(tout.begin(), tout.end(), '\n')) << texte(c) << "K = " << K;
      }
    }
  }
}

class Fusion : public testing::Test {
 protected:
  std::string dossier = dossier_propre();

  // The result files of the K shards of `calcul`, in `noms`.
  std::vector<std::string> tranches(const std::vector<std::string>& calcul, int K, const std::string& prefixe) {
    std::vector<std::string> noms;
    for (int I = 1; I <= K; ++I) {
      noms.push_back(dossier + "/" + prefixe + std::to_string(I) + ".res");
      const auto s = lancer_avec(avec(calcul, {"--tranche", std::to_string(I) + "/" + std::to_string(K),
                                               "--resultat", noms.back(), "--threads", "2"}));
      EXPECT_EQ(s.statut, 0) << s.err;
    }
    return noms;
  }
  Sortie fusion(std::vector<std::string> noms) {
    noms.insert(noms.begin(), "--fusion");
    return lancer_avec(noms);
  }
};

// The merged report is the unsharded run's, byte for byte: the count with its tally, the table's
// report (its lines after the table) with and without good numbers.
TEST_F(Fusion, GivesTheReportOfTheWholeCalculation) {
  const struct { std::vector<std::string> calcul; int K; } cas[] = {
      {{"-n", "7", "-c"}, 16},
      {{"-n", "7", "-c", "-b"}, 16},
      {{"-t", "2", "-n", "7", "-k", "100000"}, 16},
      {{"-n", "6", "-b"}, 5},
      {{"-n", "6", "-f", "3/2", "-p", "1", "-m", "500", "--fin", "3"}, 7},
      {{"-n", "5", "--brut", "-b"}, 3},
  };
  char prefixe[] = "fA_";
  for (const auto& c : cas) {
    const std::string tout = lancer_avec(c.calcul).out;
    const auto s = fusion(tranches(c.calcul, c.K, prefixe));
    ++prefixe[1];
    EXPECT_EQ(s.statut, 0) << s.err;
    std::string attendu = tout;
    const std::size_t rapport = tout.find("\n\n \t L'equation");
    if (rapport != std::string::npos) {
      attendu = tout.substr(rapport);
    } else if (std::find(c.calcul.begin(), c.calcul.end(), "--brut") != c.calcul.end()) {
      attendu = tout.substr(tout.find("\n\n") + 1);  // the tally after the listing
    }
    EXPECT_EQ(s.out, attendu) << texte(c.calcul);
  }
}

// A set with a shard missing, twice, of another cut or another calculation, or a line that is
// not a result: one line on standard error, status 2, nothing on standard output.
TEST_F(Fusion, RefusesAnIncompleteOrMixedSet) {
  const auto a = tranches({"-n", "5", "-c"}, 3, "a");
  const auto b = tranches({"-n", "5", "-c", "-t", "2"}, 3, "b");
  const auto quatre = tranches({"-n", "5", "-c"}, 4, "q");
  std::ofstream(dossier + "/autre.res") << "5\n";
  const struct { std::vector<std::string> fichiers; std::string message; } cas[] = {
      {{a[0], a[2]}, "il manque la tranche 2/3"},
      {{a[0], a[1], a[2], a[1]}, "tranche 2/3 en double"},
      {{a[0], a[1], b[2]}, "resultat d'un autre calcul"},
      {{a[0], a[1], quatre[2]}, "d'un autre decoupage"},
      {{a[0], dossier + "/autre.res"}, "ce n'est pas un resultat"},
      {{dossier + "/absent.res"}, "lecture impossible"},
  };
  for (const auto& c : cas) verifier_refus(fusion(c.fichiers), c.message);
  EXPECT_EQ(fusion(a).out, "147\n");
}

// Heads along one range of x7 weigh differently (past 2B/(A - 1) they have no pair): the cut
// inside the range must follow the weights, not take the first head's for all (a shard of 4.4
// times the mean here).
TEST(Tranches, CutsInsideARangeOfHeadsFollowTheirWeights) {
  Options opt;
  std::string erreur;
  const std::vector<std::string_view> args = {"-n", "9", "--debut", "3,3,4,13,157,24529", "--fin", "3,3,4,13,157,24529"};
  ASSERT_TRUE(analyser(args, opt, erreur)) << erreur;
  const Plan plan = planifier(preparer(opt.reg), 1000);
  ASSERT_TRUE(plan.exact);
  for (const double w : plan.poids) EXPECT_LE(w, 1.1 * plan.total / 1000);
}

TEST(Tranches, BadValuesAreRefused) {
  for (const char* v : {"0/4", "5/4", "0/0", "1/0", "3", "a/b", "1/4x", "-1/4", "1/20000000"}) {
    const auto s = lancer_avec({"-n", "5", "-c", "--tranche", v});
    verifier_refus(s, v);
    EXPECT_EQ(s.err, std::string("unitfrac: --tranche : valeur invalide '") + v +
                         "' (I/K, 1 <= I <= K <= 10000000) (voir unitfrac --help)\n");
  }
}

}  // namespace
}  // namespace unitfrac
