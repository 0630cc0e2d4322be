// Every input of the fuzz target's corpus (tests/fuzz/corpus: the seed dialogues and the inputs
// the fuzzer found worth keeping) run through the target's checks, in every build, without clang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/dialogue_fuzz.hpp"

namespace {

namespace fs = std::filesystem;

TEST(CorpusFuzz, EveryInputPassesTheTargetsChecks) {
  int vus = 0;
  for (const auto& e : fs::directory_iterator(UNITFRAC_CORPUS)) {
    std::ifstream f(e.path(), std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(unitfrac::fuzz::verifier_dialogue(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()), "")
        << e.path();
    ++vus;
  }
  EXPECT_GE(vus, 10);
}

}  // namespace
