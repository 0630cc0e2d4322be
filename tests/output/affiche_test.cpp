// Tests of the solution display: the solution line, the four paging modes with pauses and the
// partial-table closing line, the pagination's decisions in groups of up to 2^63, the statistics
// over hidden solutions, the good-number tally, and exact decimal printing at every integer width.
// Solutions are fed to the display directly; expected texts are worked by hand from the line
// format and the paging rules.
#include "output/affiche.hpp"

#include "input/controle.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace unitfrac {
namespace {

const std::string kPause =
    "\n \n \t Nombre K de solutions suivantes a afficher ou autre option :  \n \n \t [K] / [zero, "
    "pas de limite] / [-1, arreter] / [-K (K>1), pas de  limite et affichage toutes les K "
    "solutions] ?    \t";

// The 14 solutions of 1 = 1/x1 + ... + 1/x4 with x1 <= ... <= x4, in decreasing order, found by
// hand (x1 = 4, then 3, then 2 with 1/x2 + 1/x3 + 1/x4 = 1/2).
const std::vector<std::vector<long long>> kUnQuatre = {
    {0, 4, 4, 4, 4},  {0, 3, 4, 4, 6},  {0, 3, 3, 6, 6},   {0, 3, 3, 4, 12}, {0, 2, 6, 6, 6},
    {0, 2, 5, 5, 10}, {0, 2, 4, 8, 8},  {0, 2, 4, 6, 12},  {0, 2, 4, 5, 20}, {0, 2, 3, 12, 12},
    {0, 2, 3, 10, 15}, {0, 2, 3, 9, 18}, {0, 2, 3, 8, 24}, {0, 2, 3, 7, 42}};

// The tally as "sum count" lines.
std::string lignes(const Bons& b) {
  std::ostringstream s;
  b.lister(s, "", " ", "\n");
  return s.str();
}

// A display on string streams, with the answers to its pauses as input.
struct Banc {
  Banc(int n, long long L, const std::string& reponses = "", int cptbon = 0) : in(reponses), lecteur(in, out) {
    reg.n = n;
    reg.cptbon = cptbon;
    aff.debut_calcul();
    aff.debut_run();
    aff.paginer(L);
  }
  // What the run driver does when the search has ended by itself.
  void fin() { if (aff.pagination().mode() == Pagination::Mode::partiel && aff.K1 != 0) aff.ligne_finale(); }
  // Everything written so far, the gathered solution lines included.
  std::string sortie() {
    aff.vider();
    return out.str();
  }

  std::istringstream in;
  std::ostringstream out;
  Reglages reg;
  Bons bons;
  Lecteur lecteur;
  Affichage aff{out,
                [this](std::string_view question) {
                  lecteur.controle(Cas::relatif, question);
                  return lecteur.valeur;
                },
                reg, bons};
};

using V = std::vector<long long>;
using V128 = std::vector<i128>;

// One solution (x[0] unused) shown with the tally on.
template <class Int>
std::string avec_total(const std::vector<Int>& x) {
  Banc b(static_cast<int>(x.size()) - 1, 0, "", 1);
  b.aff(x);
  return b.sortie();
}

// With the tally on the line ends with the good number, the sum of the values, exact at every
// width: 64 bits, 128 bits, a sum that leaves __int128, GMP values.
TEST(AfficheLigne, EndsWithTheGoodNumberPrintedExactlyAtEveryWidth) {
  EXPECT_EQ(avec_total(V{0, 3, 3, 3}), "\t  1  :   3  \t3  \t3  \t,   Total = 9\n");
  const i128 deux70 = i128(1) << 70, deux126 = i128(1) << 126;
  EXPECT_EQ(avec_total(V128{0, 3, deux70, deux70}),
            "\t  1  :   3  \t1180591620717411303424  \t1180591620717411303424  \t,   Total = "
            "2361183241434822606851\n");
  EXPECT_EQ(avec_total(V128{0, deux126, deux126, deux126}),
            "\t  1  :   85070591730234615865843651857942052864  \t"
            "85070591730234615865843651857942052864  \t85070591730234615865843651857942052864  \t"
            ",   Total = 255211775190703847597530955573826158592\n");

  Banc d(2, 0, "", 1);
  const mpz_class deux130("1361129467683753853853498429727072845824");
  d.aff(std::vector<mpz_class>{0, 5, deux130});
  EXPECT_EQ(d.sortie(),
            "\t  1  :   5  \t1361129467683753853853498429727072845824  \t,   Total = "
            "1361129467683753853853498429727072845829\n");
  EXPECT_EQ(d.aff.m, deux130);
  EXPECT_EQ(d.aff.m1, 5);
  EXPECT_EQ(lignes(d.bons), "1361129467683753853853498429727072845829 1\n");
}

// Paging: solution k is (20 - k, 20 + k). The expected output is a script: a number k is line k
// (its number, then each value followed by two blanks and a tab), "_" an empty line, "P" the pause
// question and the two newlines after it.
std::string derouler(const std::string& script) {
  std::istringstream mots(script);
  std::string mot, texte;
  while (mots >> mot) {
    if (mot == "_") texte += "\n";
    else if (mot == "P") texte += kPause + "\n\n";
    else texte += "\t  " + mot + "  :   " + std::to_string(20 - std::stoi(mot)) + "  \t" +
                  std::to_string(20 + std::stoi(mot)) + "  \t\n";
  }
  return texte;
}

TEST(AffichePagination, ShowsPausesAndClosesAsTheModeSays) {
  // The paging value, the solutions given, the answers to the pauses, the expected script.
  const std::tuple<long long, int, const char*, const char*> cas[] = {
      {0, 3, "", "1 2 3"}, {-1, 3, "", ""},  // all shown, none shown
      {2, 5, "2 2", "1 2 P 3 4 P 5"}, {2, 5, "0", "1 2 P 3 4 5"}, {2, 5, "1 1 1 1", "1 2 P 3 P 4 P 5 P"},
      {-3, 7, "", "1 _ 4 _ 7 _ 7"}, {-3, 8, "", "1 _ 4 _ 7 _ 8"}, {-2, 6, "", "1 _ 3 _ 5 _ 6"},
      {-10, 3, "", "1 _ 3"},  // a group larger than the count
      {4, 4, "-3", "1 2 3 4 P 4"}, {4, 12, "-3", "1 2 3 4 P 5 _ 8 _ 11 _ 12"},
  };
  for (const auto& [L, solutions, reponses, attendu] : cas) {
    SCOPED_TRACE(testing::Message() << "L = " << L << ", " << solutions << " solutions, " << reponses);
    Banc b(2, L, reponses);
    for (long long k = 1; k <= solutions; ++k) b.aff(V{0, 20 - k, 20 + k});
    b.fin();
    EXPECT_EQ(b.sortie(), derouler(attendu));
    EXPECT_EQ(b.aff.K1, solutions);
  }
}

TEST(AffichePause, AnsweringMinusOneStopsAfterTheLineJustWritten) {
  Banc b(2, 2, "-1");
  b.aff(V{0, 19, 21});
  EXPECT_FALSE(b.aff.arret());
  b.aff(V{0, 18, 22});
  EXPECT_TRUE(b.aff.arret());
  EXPECT_EQ(b.sortie(), derouler("1 2 P"));
}

TEST(AffichePause, PartialTableClosesWithTheLastSolutionWhateverItsWidth) {
  Banc b(2, -2);
  b.aff(V{0, 19, 21});
  b.aff(V128{0, 18, i128(1) << 64});
  b.fin();
  EXPECT_EQ(b.sortie(), derouler("1 _") + "\t  2  :   18  \t18446744073709551616  \t\n");
  EXPECT_EQ(b.aff.m, mpz_class("18446744073709551616"));
  EXPECT_EQ(b.aff.m1, 18);
}

// The partial table where no run goes: groups of 2^63 - 1 and 2^63 solutions passed over to their
// end, then to their last one; and the count, which shows none and passes over any number.
TEST(Pagination, GroupsUpTo2To63AndTheCountShowNone) {
  constexpr long long max = std::numeric_limits<long long>::max();
  for (const long long L : {-3LL, -max, -max - 1}) {
    SCOPED_TRACE(L);
    Pagination p;
    p.regler(L);
    const long long reste = L == -3 ? 2 : L == -max ? max - 1 : max;  // after the first of a group
    EXPECT_TRUE(p.montrer());
    EXPECT_EQ(p.avant_montree(), reste);
    p.passer(reste);  // to the end of the group: the next one is shown
    EXPECT_TRUE(p.montrer() && p.derniere_montree());
    p.passer(reste - 1);  // up to the last of the group
    EXPECT_TRUE(p.avant_montree() == 1 && !p.montrer() && p.montrer());
  }
  Pagination c;  // a count, whatever L
  c.regler(1);
  c.compter(true);
  EXPECT_TRUE(!c.montrer() && !c.pause_due() && c.avant_montree() == max);
}

// 5, 3, 7, 3, read; then every value below 200000 once, in decreasing order as the display
// records them, and values from 2^64 on; then another tally, read, added.
TEST(BonsTally, KeepsDistinctValuesInIncreasingOrderWithCounts) {
  Bons bons;
  for (int v : {5, 3, 7, 3}) bons.inserer(v);
  EXPECT_EQ(bons.nbon(), 3);
  EXPECT_EQ(lignes(bons), "3 2\n5 1\n7 1\n");
  const mpz_class deux64 = mpz_class(1) << 64;
  for (const mpz_class& v : {deux64, mpz_class(deux64 - 1)}) bons.inserer(v);
  for (int v = 199999; v >= 1; --v) bons.inserer(v);
  Bons autre;
  for (const mpz_class& v : {deux64, mpz_class(6)}) autre.inserer(v);
  bons.ajouter(autre);
  EXPECT_EQ(bons.nbon(), 200001);
  std::string attendu;
  for (int v = 1; v < 200000; ++v) attendu += std::to_string(v) + (v == 3 ? " 3\n" : v == 5 || v == 6 || v == 7 ? " 2\n" : " 1\n");
  attendu += "18446744073709551615 1\n18446744073709551616 2\n";
  EXPECT_EQ(lignes(bons), attendu);
  bons.vider();
  EXPECT_EQ(bons.nbon(), 0);
  EXPECT_EQ(lignes(bons), "");
}

// The four unknowns of 1 in several modes: the count and the extremes cover the hidden solutions;
// all shown with the tally on, the tally records each line. (Each of these lines ending with its
// sum, 16 to 54, is checked by the transcript report/n4_bons, which shows the same 14.)
TEST(AfficheStatistiques, CountAndExtremesCoverHiddenSolutionsAndTheTallyEachShownLine) {
  for (long long L : {0LL, -1LL, -3LL, -20LL}) {
    SCOPED_TRACE(L);
    Banc b(4, L, "", L == 0);
    for (const auto& x : kUnQuatre) b.aff(x);
    EXPECT_EQ(b.aff.K1, 14);
    EXPECT_EQ(b.aff.m, 42);
    EXPECT_EQ(b.aff.m1, 2);
    if (L != 0) continue;
    EXPECT_EQ(lignes(b.bons), "16 1\n17 1\n18 1\n20 1\n22 3\n24 1\n29 1\n30 1\n31 1\n32 1\n37 1\n54 1\n");
  }
}

TEST(BonsTally, PartialTableRecordsShownLinesAndTheClosingLine) {
  Banc b(4, -3, "", 1);
  for (std::size_t k = 0; k < 7; ++k) b.aff(kUnQuatre[k]);  // lines 1, 4, 7 shown
  b.fin();                                                      // solution 7 again
  EXPECT_EQ(lignes(b.bons), "16 1\n22 3\n");
}

// Plain decimal at every width, around the powers of ten and two where the digit count or the
// representation changes.
TEST(AfficheDecimal, WritesEveryWidthExactly) {
  const i128 max128 = std::numeric_limits<i128>::max(), min128 = std::numeric_limits<i128>::min();
  const i128 dix19 = 10000000000000000000ULL;
  const std::pair<i128, const char*> cas[] = {
      {0, "0"}, {1, "1"}, {-1, "-1"}, {10, "10"},
      {1000000000000000000LL, "1000000000000000000"}, {dix19 - 1, "9999999999999999999"},
      {dix19, "10000000000000000000"},                {dix19 + 1, "10000000000000000001"},
      {i128(1) << 63, "9223372036854775808"},         {(i128(1) << 63) - 1, "9223372036854775807"},
      {-(i128(1) << 63), "-9223372036854775808"},     {-(i128(1) << 63) + 1, "-9223372036854775807"},
      {i128(1) << 64, "18446744073709551616"},
      {dix19 * dix19 - 1, "99999999999999999999999999999999999999"},
      {dix19 * dix19, "100000000000000000000000000000000000000"},
      {max128, "170141183460469231731687303715884105727"},
      {min128, "-170141183460469231731687303715884105728"},
      {min128 + 1, "-170141183460469231731687303715884105727"},
  };
  for (const auto& [v, texte] : cas) {
    SCOPED_TRACE(texte);
    char buf[48];
    EXPECT_EQ(std::string(buf, ecrire_decimal(buf, v)), texte);
    EXPECT_EQ(en_decimal(v), texte);
    std::ostringstream os;
    os.width(50);  // ignored: no width or fill
    ecrire(os, v);
    ecrire(os, vers_mpz(v));
    std::string attendu = std::string(texte) + texte;
    if (v >= std::numeric_limits<long long>::min() && v <= std::numeric_limits<long long>::max()) {
      const auto ll = static_cast<long long>(v);
      EXPECT_EQ(std::string(buf, ecrire_decimal(buf, ll)), texte);
      EXPECT_EQ(vers_mpz(ll), mpz_class(texte));
      os.width(50);
      ecrire(os, ll);
      attendu += texte;
    }
    EXPECT_EQ(os.str(), attendu);
  }
}

}  // namespace
}  // namespace unitfrac
