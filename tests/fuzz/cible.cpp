// The libFuzzer target over the whole dialogue (dialogue_fuzz.cpp: caps and checks), with a
// watchdog of its own: an input still running after UNITFRAC_FUZZ_DELAI seconds (30 by default)
// is written to lent-<pid> in the working directory and the process ends with status 1.
// libFuzzer's -timeout once deadlocked in the sanitizer's allocator (its alarm interrupts the
// input); the watchdog is a thread beside it that interrupts nothing. Built with -DUNITFRAC_FUZZ=ON.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "tests/fuzz/dialogue_fuzz.hpp"

namespace {

// The input being run and when it started (milliseconds on the steady clock; 0 between inputs),
// set together under the lock.
struct Veille {
  std::mutex verrou;
  std::string entree;
  std::atomic<long long> debut{0};
};

Veille& veille() {
  static Veille v;
  return v;
}

long long maintenant_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

[[noreturn]] void surveiller(long long delai_s) {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::lock_guard<std::mutex> l(veille().verrou);
    const long long d = veille().debut.load();
    if (d == 0 || maintenant_ms() - d < delai_s * 1000) continue;
    const std::string nom = "lent-" + std::to_string(getpid());
    if (std::FILE* f = std::fopen(nom.c_str(), "wb")) {
      std::fwrite(veille().entree.data(), 1, veille().entree.size(), f);
      std::fclose(f);
    }
    std::fprintf(stderr, "unitfrac_fuzz : une entree tourne depuis plus de %lld s ; elle est dans %s\n",
                 delai_s, nom.c_str());
    std::_Exit(1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* d = std::getenv("UNITFRAC_FUZZ_DELAI");
  std::thread(surveiller, d != nullptr ? std::atoll(d) : 30LL).detach();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
  {
    const std::lock_guard<std::mutex> l(veille().verrou);
    veille().entree.assign(reinterpret_cast<const char*>(donnees), taille);
    veille().debut = maintenant_ms();
  }
  const std::string erreur = unitfrac::fuzz::verifier_dialogue(donnees, taille);
  veille().debut = 0;
  if (!erreur.empty()) {
    std::fprintf(stderr, "unitfrac_fuzz : %s\n", erreur.c_str());
    std::abort();
  }
  return 0;
}
