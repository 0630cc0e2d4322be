// Tests of the validated console reader: which tokens each mode accepts, what it writes before
// each read, and how it stops at the end of input. Output is compared byte for byte; expected
// answers are worked by hand from the reader's token rules.
#include "input/controle.hpp"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <array>
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
// of the other kind and nmess (set, but meaningful for Cas::positif only) are checked.
std::optional<long long> reponse(Cas cas, const std::string& token) {
  std::istringstream in(token + "\n1");
  std::ostringstream out;
  Lecteur l(in, out);
  l.valeur = l.valeur2 = 42;
  l.nmess = cas != Cas::positif;
  l.messa1 = "cadre";
  l.lm1 = 5;
  l.controle(cas, "? ");
  const bool choix = cas <= Cas::parite;
  const long long r = choix ? l.valeur2 : l.valeur;
  EXPECT_EQ(choix ? l.valeur : l.valeur2, 42) << token;
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
    EXPECT_EQ(reponse(Cas::positif, l.token), l.mode4) << "positif: " << l.token;
    EXPECT_EQ(reponse(Cas::relatif, l.token), l.mode5) << "relatif: " << l.token;
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
    l.controle(Cas::positif, "? ");
    EXPECT_EQ(l.valeur, 5) << longueur;
    EXPECT_EQ(out.str(), "? ? ") << longueur;
    EXPECT_LT(jeton.pic, avant + 100000) << longueur;  // the token itself is at least 10^6 bytes
    l.controle(Cas::relatif, "? ");
    EXPECT_EQ(l.valeur, -3) << longueur;
  }
}

TEST(ControleChoix, AcceptsOnlyTheSingleDigitsOfEachMode) {
  const std::vector<std::vector<std::string>> acceptes = {{"0", "1"}, {"1", "2"}, {"0", "1", "2"}};
  const std::vector<std::vector<std::string>> refuses = {
      {"2", "00", "01", "10", "+1", "oui", "\0" "0"s}, {"0", "3", "-1", "11"}, {"3", "02", "x"}};
  for (int k = 0; k < 3; ++k) {
    const Cas cas = std::array{Cas::oui_non, Cas::type, Cas::parite}[k];
    for (const std::string& t : acceptes[k]) EXPECT_EQ(reponse(cas, t), t[0] - '0') << k;
    for (const std::string& t : refuses[k]) EXPECT_EQ(reponse(cas, t), std::nullopt) << k;
  }
  EXPECT_EQ(reponse(Cas::oui_non, "1\0abc"s), 1);
}

TEST(Controle, TakesTheTokensOfOneLineOneByOneForSuccessiveQuestions) {
  std::istringstream in("0 3 3 1 0\n");
  std::ostringstream out;
  Lecteur l(in, out);
  l.xn = 1;
  l.controle(Cas::positif, "n = ");
  l.controle(Cas::type, "Type ? ");
  EXPECT_EQ(l.valeur2, 1);
  l.controle(Cas::oui_non, "Encore ? ");
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
  l.controle(Cas::positif, "PROMPT");
  EXPECT_EQ(out.str(), "x1 = 9, x2 : x3 ? x1 = 9, x2 : x3 ? x1 = 9, x2 : x3 ? ");
  EXPECT_EQ(l.valeur, 8);
  l.lm1 = 0; l.lm2 = -3;
  out.str("");
  in.clear();
  in.str("4");
  l.controle(Cas::positif, "PROMPT");
  EXPECT_EQ(out.str(), " : x3 ? ");
}

TEST(ControleFin, ThrowsFinDeSaisieOnceNoTokenCanCome) {
  struct Ligne { Cas cas; std::string entree, sortie; };
  for (const Ligne& c : std::vector<Ligne>{{Cas::positif, "", "? "},
                                           {Cas::positif, " \n\t", "? "},
                                           {Cas::positif, "x 0 -7 -", "? ? ? ? ? "},
                                           {Cas::oui_non, "2 3", "? ? ? "}}) {
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
  EXPECT_THROW(l.controle(Cas::oui_non, "? "), FinDeSaisie);
}

}  // namespace
}  // namespace unitfrac
