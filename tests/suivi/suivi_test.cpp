// Tests of the watch on long searches: the count of the work left against the steps the search
// really takes, the progress line in each of its forms, the program at pseudo-terminals 40, 80 and
// 120 columns wide (the line keeps the time left, and Ctrl-C leaves the summary alone on the
// screen), and Ctrl-C during a count and during a listing (what was written is the start of the
// whole output, the summary names the count and the last solution, status 130).
#include <gtest/gtest.h>

#include <csignal>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "engine/puits.hpp"
#include "suivi/veille.hpp"
#include "tests/dialogue/lancer.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using namespace std::chrono_literals;

TEST(DureeLisible, ReadsAtAGlance) {
  const std::pair<double, const char*> cas[] = {{0.4, "0 s"},           {59, "59 s"},       {83, "1 min 23 s"},
                                                {3600, "1 h 00 min"},   {7500, "2 h 05 min"}, {3 * 86400.0, "3 jours"},
                                                {5.7e7, "1,8 an"},      {4e9, "127 ans"}};
  for (const auto& [s, t] : cas) EXPECT_EQ(duree_lisible(s), t) << s;
}

// The count of the work from `depart`, every prefix listed, against the steps the search really
// takes at depth n - 2 from there to its end: a few prefixes the search skips (an exact bound) are
// counted, hence the margin. Returns the steps taken.
double compter_exactement(const Moteur& depart) {
  Estimation e(depart.reglages(), depart.etat());
  while (!e.travailler(10ms)) {
  }
  EXPECT_TRUE(e.exacte());
  Moteur m = depart;
  Compteur c;
  m.courir(c);
  const auto vrai = static_cast<double>(m.feuilles() - depart.feuilles());
  EXPECT_NEAR(e.feuilles(), vrai, 0.01 * vrai + 2);
  return vrai;
}

TEST(Estimation, CountsTheStepsOfSmallSearchesFromTheStartOrTheMiddleAndConvergesWhereItMeasures) {
  using test::reglages;
  for (const Reglages& c : {reglages(1, 5, 1, 1), reglages(2, 6, 1, 1), reglages(1, 7, 1, 1), reglages(2, 7, 1, 1),
                            reglages(1, 6, 3, 7), reglages(1, 7, 1, 1, 1), reglages(2, 7, 1, 1, 0, 500),
                            reglages(1, 6, 2, 3, 2)}) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", n = " << c.n << ", " << c.P << '/' << c.Q);
    Moteur m(c);
    m.placer_premiere();  // the search starts from x1 at its bound, as with the selections
    const double vrai = compter_exactement(m);
    Moteur milieu(c);  // and from a state in the middle of the search, 2000 steps in
    Compteur rien;
    milieu.courir_jusqua(rien, -1, 2000, [] { return false; });
    if (milieu.profondeur() >= 0) compter_exactement(milieu);
    if (c.n < 7) continue;
    Estimation mesuree(m.reglages(), m.etat(), 20);  // few prefixes listed: the rest is measured by descents
    mesuree.travailler(300ms);
    EXPECT_FALSE(mesuree.exacte());
    EXPECT_NEAR(mesuree.feuilles(), vrai, 0.15 * vrai);
  }
}

// The line in each of its forms, with the silence and the periods cut short.
TEST(Veille, WritesItsLineInPlaceOrAsPlainLinesAndErasesItBeforeOutput) {
  Moteur m(test::reglages(1, 5, 1, 1));
  const std::string texte = "unitfrac: estimation en cours ; 0 s, 12 solution(s) ; en x1 = 2, x2 = 3";
  using enum Veille::Ligne;
  const std::pair<Veille::Ligne, std::string> cas[] = {
      {terminal, "\r" + texte + "\033[K\r\033[K"}, {lignes, texte + "\n"}, {aucune, ""}};
  for (const auto& [ligne, attendu] : cas) {
    std::ostringstream err;
    Veille v(err, ligne, false);
    v.silence = v.periode_terminal = v.periode_lignes = 0ms;
    v.debut(m);
    if (v.due()) v.montrer(Progres{12, 0, {"2", "3"}});
    v.avant_sortie();
    v.fin();
    EXPECT_EQ(err.str(), attendu);
  }
  // A search too deep to measure says so, rather than that an estimate is coming.
  std::ostringstream err;
  Veille v(err, lignes, false);
  v.silence = v.periode_lignes = 0ms;
  v.debut(Moteur(test::reglages(1, Estimation::kInconnuesMax + 1, 1, 1)));
  if (v.due()) v.montrer(Progres{0, 0, {"1"}});
  v.fin();
  EXPECT_EQ(err.str(), "unitfrac: reste inconnu ; 0 s, 0 solution(s) ; en x1 = 1\n");
}

// ---- The program itself -----------------------------------------------------------------------

// What a terminal `largeur` columns wide shows of `brut`: a character past the last column goes to
// the next row, "\r" back to the start of the row, "\033[K" clears to its end.
std::string ecran(const std::string& brut, std::size_t largeur) {
  std::vector<std::string> lignes(1);
  std::size_t col = 0;
  for (std::size_t k = 0; k < brut.size(); ++k) {
    if (brut[k] == '\r' || brut[k] == '\n') {
      if (brut[k] == '\n') lignes.emplace_back();
      col = 0;
    } else if (brut.compare(k, 3, "\033[K") == 0) {
      lignes.back().resize(std::min(lignes.back().size(), col));
      k += 2;
    } else {
      if (col == largeur) {  // past the last column: on the next row
        lignes.emplace_back();
        col = 0;
      }
      std::string& l = lignes.back();
      if (col < l.size()) l[col] = brut[k]; else l.push_back(brut[k]);
      ++col;
    }
  }
  std::string s;
  for (const std::string& l : lignes) s += l + '\n';
  return s;
}

// A long count at a terminal of each width, Ctrl-C typed once the time left shows: the line, cut
// to the width, kept the share done and the time left; afterwards the screen holds the summary
// alone (not the line, not the "^C" the terminal echoes).
TEST(Terminal, AtEachWidthTheLineKeepsTheTimeLeftAndCtrlCLeavesOnlyTheSummary) {
  for (const int largeur : {40, 80, 120}) {
    SCOPED_TRACE(testing::Message() << largeur << " columns");
    const Sortie e = executer({"-n", "8", "--compte"}, SIGINT, guetter(", reste "), "", largeur);
    const std::string& brut = e.err;
    EXPECT_EQ(e.statut, 130);
    // A line written: "\runitfrac: NN %, reste <time> ; ..." cut to the width less 3, the time whole.
    const std::size_t reste = brut.find(", reste ");
    ASSERT_NE(reste, std::string::npos) << brut;
    const std::size_t debut = brut.rfind('\r', reste) + 1;
    // It ends at its "\033[K", or where the terminal echoed the "^C" typed after it.
    const std::string ligne = brut.substr(debut, std::min(brut.find("\033[K", reste), brut.find("^C", reste)) - debut);
    EXPECT_TRUE(ligne.starts_with("unitfrac: ")) << ligne;
    EXPECT_LE(ligne.size(), static_cast<std::size_t>(largeur - 3)) << ligne;
    EXPECT_NE(ligne.find(" ;", reste - debut), std::string::npos) << ligne;
    const std::string vu = ecran(brut, static_cast<std::size_t>(largeur));
    EXPECT_TRUE(vu.starts_with("unitfrac: recherche interrompue apres ")) << vu;
    EXPECT_EQ(vu.find("^C"), std::string::npos) << vu;
    EXPECT_EQ(vu.find("reste"), std::string::npos) << vu;
  }
}

TEST(Terminal, PlainLinesWithStatusAndNothingWithoutATerminal) {
  const Sortie e = executer({"-n", "8", "--debut", "2,4,5", "--fin", "2,4,5", "--compte", "--status"});
  EXPECT_EQ(e.out, "14004302\n");
  EXPECT_NE(e.err.find("unitfrac: "), std::string::npos);
  EXPECT_NE(e.err.find(" ; en x1 = 2, x2 = 4, x3 = 5\n"), std::string::npos);  // three unknowns at most
  EXPECT_EQ(e.err.find_first_of("\r\033"), std::string::npos);
  EXPECT_EQ(e.err.back(), '\n');

  const Sortie sans = executer({"-n", "7", "--compte"});
  EXPECT_EQ(sans.out, "294314\n");
  EXPECT_EQ(sans.err, "");
}

// Ctrl-C, SIGTERM (a time limit, kill, timeout) and SIGHUP (a closed terminal) alike, on one
// thread or two, during a count and during a listing: the status is 128 + the signal, the summary
// names the count and the last solution and says to go on from its first n - 1 values. The signal
// goes during a count once a --status line counts a solution (before that there is no last one),
// during a listing once 64 KB of lines are written.
TEST(Interruption, DuringACountOrAListingTheSummaryNamesTheCountAndTheLastSolution) {
  const std::pair<int, const char*> kSignaux[] = {{SIGINT, "1"}, {SIGINT, "2"}, {SIGTERM, "2"}, {SIGHUP, "1"}};
  // The summary: a count of at least one and a last solution of 8 values, the first 7 caught.
  const std::regex resume("interrompue apres .*?, ([1-9][0-9]*) solution\\(s\\) trouvee\\(s\\), "
                          "la derniere : ((?:[0-9]+ ){7})[0-9]+\\.\n");
  for (const bool compte : {true, false}) {
    for (const auto& [signal, threads] : kSignaux) {
      SCOPED_TRACE(testing::Message() << (compte ? "count" : "listing") << ", signal " << signal << ", threads " << threads);
      std::vector<std::string> args = {"-n", "8", "--threads", threads};
      if (compte) args.insert(args.end(), {"--compte", "--status"});
      const Sortie e = executer(args, signal, guetter(compte ? " [1-9][0-9]* solution" : ""));
      EXPECT_EQ(e.statut, 128 + signal) << e.err;
      std::smatch m;
      ASSERT_TRUE(std::regex_search(e.err, m, resume)) << e.err;
      const long long nombre = std::stoll(m[1]);
      std::string prefixe = m[2];  // "x1 x2 ... x7 ", made "x1,x2,...,x7"
      prefixe.pop_back();
      std::replace(prefixe.begin(), prefixe.end(), ' ', ',');
      EXPECT_NE(e.err.find("--debut " + prefixe + ")"), std::string::npos) << e.err;
      // The same calculation down to the last solution found: the end sequence its first n - 1
      // values.
      args.insert(args.end(), {"--fin", prefixe});
      const Sortie j = executer(args);
      if (compte) {
        // Nothing written, and the solutions counted again: the same number.
        EXPECT_EQ(e.out, "");
        EXPECT_EQ(j.out, std::to_string(nombre) + "\n");
        continue;
      }
      // The lines written start the whole listing: the heading and lines are those of the listing
      // down to the last solution found, which is numbered with the count; its own closing lines
      // and report follow.
      const std::size_t fin = e.out.rfind('\n') + 1;
      ASSERT_GT(fin, 0u);
      EXPECT_EQ(j.out.substr(0, fin), e.out.substr(0, fin));
      EXPECT_NE(j.out.find("\t  " + std::to_string(nombre) + "  :   "), std::string::npos);
      EXPECT_EQ(j.out.find("\t  " + std::to_string(nombre + 1) + "  :   "), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace unitfrac
