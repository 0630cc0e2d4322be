// Whole-dialogue transcript tests: each tests/transcripts/<theme>/<case>.in is fed as standard input
// to the real program, whose standard output must equal <case>.out byte for byte and whose exit
// status must equal the number in <case>.status (1 when that file is absent), on one thread or
// several, with standard error a pipe or a terminal.
// The expected files are reviewed data, composed by hand from the program's texts and the solutions
// worked out for each case; a new case is written the same way, never copied from a run.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/dialogue/lancer.hpp"

namespace {

namespace fs = std::filesystem;

// Every *.in below the transcript directory, in path order.
std::vector<fs::path> transcripts() {
  std::vector<fs::path> found;
  for (const auto& e : fs::recursive_directory_iterator(UNITFRAC_TRANSCRIPTS))
    if (e.is_regular_file() && e.path().extension() == ".in") found.push_back(e.path());
  std::sort(found.begin(), found.end());
  return found;
}

// Bytes made readable for a failure message.
std::string visible(const std::string& s) {
  std::string v;
  for (const char c : s) v += c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
  return v;
}

class Transcript : public testing::TestWithParam<fs::path> {};

TEST_P(Transcript, OutputAndStatusMatchOnAnyThreadsAndWithStandardErrorATerminal) {
  const fs::path in = GetParam();
  fs::path out = in, status = in;
  out.replace_extension(".out");
  status.replace_extension(".status");
  const int attendu = fs::exists(status) ? std::stoi(unitfrac::lire_fichier(status)) : 1;
  const std::string voulu = unitfrac::lire_fichier(out);
  // Standard error a pipe or a terminal 80 columns wide, where the progress line may show.
  for (const auto& [threads, largeur] : {std::pair{"1", 0}, {"3", 0}, {"2", 80}}) {
    SCOPED_TRACE(testing::Message() << threads << " thread(s), terminal " << largeur);
    const unitfrac::Sortie p = unitfrac::executer({"--threads", threads}, 0, nullptr, in.string(), largeur);
    if (p.out != voulu) {
      const auto d = std::mismatch(p.out.begin(), p.out.end(), voulu.begin(), voulu.end());
      const std::size_t i = static_cast<std::size_t>(d.first - p.out.begin());
      const std::size_t de = i > 80 ? i - 80 : 0;
      ADD_FAILURE() << "first difference at byte " << i << " (got " << p.out.size() << " bytes, expected "
                    << voulu.size() << ")\n got:      ..." << visible(p.out.substr(de, 200))
                    << "\n expected: ..." << visible(voulu.substr(de, 200));
    }
    EXPECT_EQ(p.statut, attendu);
  }
}

std::string nom(const testing::TestParamInfo<fs::path>& info) {
  std::string n = fs::relative(info.param, UNITFRAC_TRANSCRIPTS).replace_extension().generic_string();
  for (char& c : n)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Dialogue, Transcript, testing::ValuesIn(transcripts()), nom);

}  // namespace
