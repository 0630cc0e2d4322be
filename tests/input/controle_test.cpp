// Tests of the validated console reader: which tokens each mode accepts, what it writes before
// each read, and how it stops at the end of input. Output is compared byte for byte; expected
// answers are worked by hand from the reader's token rules.
#include "input/controle.hpp"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace unitfrac {
namespace {

using namespace std::string_literals;
constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();

// Feeds `token` then "1" (accepted by every mode). Accepted: its answer after one question.
// Refused: nullopt, after the question written twice and the answer 1. Along the way the answer
// of the other kind, `refaire`, and nmess (set, but meaningful in mode 4 only) are checked.
std::optional<long long> reponse(int cas, const std::string& token) {
  std::istringstream in(token + "\n1");
  std::ostringstream out;
  Lecteur l(in, out);
  l.valeur = l.valeur2 = 42;
  l.nmess = cas != 4;
  l.messa1 = "cadre";
  l.lm1 = 5;
  l.controle(cas, "? ");
  long long r = cas <= 3 ? l.valeur2 : l.valeur;
  EXPECT_EQ(cas <= 3 ? l.valeur : l.valeur2, 42) << token;
  EXPECT_EQ(l.refaire, 0) << token;
  if (out.str() == "? ") return r;
  EXPECT_EQ(out.str(), "? ? ") << token;
  EXPECT_EQ(r, 1) << token;
  return std::nullopt;
}

TEST(ControleEntier, AcceptsExactlyTheWellFormedIntegersOfEachMode) {
  const std::optional<long long> R;
  struct Ligne { std::string token; std::optional<long long> mode4, mode5; };
  const std::vector<Ligne> table = {
      {"0", 0, 0}, {"00", R, R}, {"05", R, R}, {"10", 10, 10}, {"+5", 5, 5}, {"+10", 10, 10},
      {"+0", R, R}, {"+05", R, R}, {"-0", R, R}, {"-1", R, -1}, {"-12", R, -12},
      {"-100", R, -100}, {"+", R, R}, {"-", R, R}, {"5-", R, R}, {"1+2", R, R}, {"--3", R, R},
      {"+-1", R, R}, {"1.5", R, R}, {"12a", R, R},
      // the two ends of the 64-bit range exactly; anything beyond them refused, never wrapped
      {"9223372036854775807", kMax, kMax}, {"-9223372036854775808", R, kMin},
      {"9223372036854775808", R, R}, {"-9223372036854775809", R, R},
      {"10000000000000000000", R, R}, {"-10000000000000000000", R, R},
      {"12\0abc"s, 12, 12}, {"\0" "5"s, R, R}};
  for (const Ligne& l : table) {
    EXPECT_EQ(reponse(4, l.token), l.mode4) << "mode 4: " << l.token;
    EXPECT_EQ(reponse(5, l.token), l.mode5) << "mode 5: " << l.token;
  }
}

// A token of `longueur` characters '7' made as it is read, then the rest of the input. Notes the
// most heap memory in use (glibc's count) each time the reader asks for more.
class LongJeton : public std::streambuf {
 public:
  LongJeton(long long longueur, std::string suite) : reste_(longueur), suite_(std::move(suite)) {
    bloc_.assign(1 << 16, '7');
  }
  static std::size_t en_usage() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
  }
  std::size_t pic = 0;

 protected:
  int_type underflow() override {
    pic = std::max(pic, en_usage());
    if (reste_ > 0) {
      const auto k = static_cast<std::ptrdiff_t>(std::min<long long>(reste_, bloc_.size()));
      reste_ -= k;
      setg(bloc_.data(), bloc_.data(), bloc_.data() + k);
    } else if (!suite_.empty()) {
      bloc_.swap(suite_);
      suite_.clear();
      setg(bloc_.data(), bloc_.data(), bloc_.data() + bloc_.size());
    } else {
      return traits_type::eof();
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  long long reste_;
  std::string suite_, bloc_;
};

TEST(Controle, RefusesATokenOfAnyLengthWithFlatMemoryAndReadsTheNextAnswers) {
  for (const long long longueur : {1000000LL, 100000000LL}) {
    LongJeton jeton(longueur, " 5 -3");
    std::istream in(&jeton);
    std::ostringstream out;
    Lecteur l(in, out);
    const std::size_t avant = LongJeton::en_usage();
    l.controle(4, "? ");
    EXPECT_EQ(l.valeur, 5) << longueur;
    EXPECT_EQ(out.str(), "? ? ") << longueur;
    EXPECT_LT(jeton.pic, avant + 100000) << longueur;  // the token itself is at least 10^6 bytes
    l.controle(5, "? ");
    EXPECT_EQ(l.valeur, -3) << longueur;
  }
}

TEST(ControleChoix, AcceptsOnlyTheSingleDigitsOfEachMode) {
  const std::vector<std::vector<std::string>> acceptes = {{"0", "1"}, {"1", "2"}, {"0", "1", "2"}};
  const std::vector<std::vector<std::string>> refuses = {
      {"2", "00", "01", "10", "+1", "oui", "\0" "0"s}, {"0", "3", "-1", "11"}, {"3", "02", "x"}};
  for (int cas = 1; cas <= 3; ++cas) {
    for (const std::string& t : acceptes[cas - 1]) EXPECT_EQ(reponse(cas, t), t[0] - '0') << cas;
    for (const std::string& t : refuses[cas - 1]) EXPECT_EQ(reponse(cas, t), std::nullopt) << cas;
  }
  EXPECT_EQ(reponse(1, "1\0abc"s), 1);
}

TEST(Controle, TakesTheTokensOfOneLineOneByOneForSuccessiveQuestions) {
  std::istringstream in("0 3 3 1 0\n");
  std::ostringstream out;
  Lecteur l(in, out);
  l.xn = 1;
  l.controle(4, "n = ");
  l.controle(2, "Type ? ");
  EXPECT_EQ(l.valeur2, 1);
  l.controle(1, "Encore ? ");
  EXPECT_EQ(l.valeur2, 0);
  EXPECT_EQ(l.valeur, 3);  // 0 refused while xn is 1
  EXPECT_EQ(out.str(), "n = n = Type ? Type ? Encore ? ");
}

TEST(Controle, WritesOnlyTheFramingTextsWithNmessInModeFourEvenAfterARefusal) {
  std::istringstream in("x -1 8");
  std::ostringstream out;
  Lecteur l(in, out);
  l.nmess = 1;
  l.messa1 = "x1 = 9, ";
  l.messa2 = "x2 <= 5";
  l.messa3 = " : x3 ? ";
  l.lm1 = 8; l.lm2 = 2; l.lm3 = 50;  // all of messa1, "x2", all of messa3
  l.controle(4, "PROMPT");
  EXPECT_EQ(out.str(), "x1 = 9, x2 : x3 ? x1 = 9, x2 : x3 ? x1 = 9, x2 : x3 ? ");
  EXPECT_EQ(l.valeur, 8);
  l.lm1 = 0; l.lm2 = -3;
  out.str("");
  in.clear();
  in.str("4");
  l.controle(4, "PROMPT");
  EXPECT_EQ(out.str(), " : x3 ? ");
}

TEST(ControleFin, ThrowsFinDeSaisieOnceNoTokenCanCome) {
  struct Cas { int cas; std::string entree, sortie; };
  for (const Cas& c : std::vector<Cas>{
           {4, "", "? "}, {4, " \n\t", "? "}, {4, "x 0 -7 -", "? ? ? ? ? "}, {1, "2 3", "? ? ? "}}) {
    std::istringstream in(c.entree);
    std::ostringstream out;
    Lecteur l(in, out);
    l.xn = 1;
    EXPECT_THROW(l.controle(c.cas, "? "), FinDeSaisie) << c.entree;
    EXPECT_EQ(out.str(), c.sortie) << c.entree;
  }
  std::istringstream in("1");
  std::ostringstream out;
  in.setstate(std::ios::failbit);
  Lecteur l(in, out);
  EXPECT_THROW(l.controle(1, "? "), FinDeSaisie);
}

TEST(Valtest, GivesDigitsTheirValueSignsPlusOrMinusOneAndRefusesTheRest) {
  const std::string caracteres = "0123456789+-a. \0\xB2\xFF"s;
  const std::vector<int> resultats = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
  const std::vector<long long> valeurs = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, -1, 0, 0, 0, 0, 0, 0};
  for (std::size_t k = 0; k < caracteres.size(); ++k) {
    long long v = 99;
    EXPECT_EQ(valtest(caracteres[k], v), resultats[k]) << k;
    EXPECT_EQ(v, valeurs[k]) << k;
  }
}

}  // namespace
}  // namespace unitfrac
