// Benchmarks of the search shared among threads, through the whole program as a user runs it
// (the dialogue's answers, the output thrown away or written to a file): counts of P/Q = 1 for
// n = 5, 7 and 8 on 1 and 2 threads, the largest task a thread ran as a share of all the work, and
// the full n = 8 listing into a file with its peak memory. n = 8 runs take minutes: pick them with
// --benchmark_filter, one at a time for the peak memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "dialogue/programme.hpp"

namespace unitfrac {
namespace {

// The dialogue for one calculation of P/Q = 1 with n unknowns: every solution listed (L = 0), or
// counted (the first and last shown).
std::string reponses(int type, int n, bool liste) {
  return "0 " + std::to_string(type) + " " + std::to_string(n) + " 1 1 0 0 " +
         (liste ? "0" : "-1000000000000") + " 0\n";
}

void compte(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
  // The time of each task, from the workers.
  struct Durees : Temoin {
    std::mutex m;
    double total = 0, plus_longue = 0;
    long long taches = 0;
    void apres_tache(long long, std::chrono::nanoseconds d) override {
      std::lock_guard lk(m);
      total += static_cast<double>(d.count());
      plus_longue = std::max(plus_longue, static_cast<double>(d.count()));
      ++taches;
    }
  } durees;
  Execution ex;
  ex.parallele.threads = static_cast<int>(state.range(2));
  ex.temoin = &durees;
  double mur = 0;
  for (auto _ : state) {
    std::istringstream in(reponses(type, n, false));
    std::ostringstream out;
    const auto debut = std::chrono::steady_clock::now();
    programme(in, out, ex);
    mur += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - debut).count();
    benchmark::DoNotOptimize(out.str().size());
  }
  if (durees.taches > 0) {
    state.counters["tasks"] = static_cast<double>(durees.taches) / static_cast<double>(state.iterations());
    state.counters["largest_task_%"] = 100 * durees.plus_longue / durees.total;
    state.counters["busy_%"] = 100 * durees.total / (mur * ex.parallele.threads);
  }
}

// The full listing into a file; the peak memory of the process so far.
void liste(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Execution ex;
  ex.parallele.threads = static_cast<int>(state.range(1));
  const char* chemin = "/tmp/unitfrac_bench_liste.txt";
  for (auto _ : state) {
    std::ofstream fichier(chemin);
    std::istringstream in(reponses(1, n, true));
    programme(in, fichier, ex);
  }
  std::remove(chemin);
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  state.counters["peak_MB"] = static_cast<double>(u.ru_maxrss) / 1024;
}

BENCHMARK(compte)
    ->ArgNames({"type", "n", "threads"})
    ->ArgsProduct({{1, 2}, {5, 7}, {1, 2}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(compte)
    ->Name("compte8")
    ->ArgNames({"type", "n", "threads"})
    ->ArgsProduct({{1, 2}, {8}, {1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(liste)->ArgNames({"n", "threads"})->Args({7, 1})->Args({7, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(liste)
    ->Name("liste8")
    ->ArgNames({"n", "threads"})
    ->Args({8, 1})
    ->Args({8, 2})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace unitfrac

BENCHMARK_MAIN();
