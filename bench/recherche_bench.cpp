// Benchmarks of the search on P/Q = 1, count only: forward steps per second of the step-by-step
// search on each width (unchecked 64-bit baseline, checked 64-bit, 128-bit), the widening engine,
// and the search with the last two unknowns solved from divisors; then the n = 7 listing written
// to a file against the count.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>

#include "bench/libre64.hpp"
#include "engine/moteur.hpp"
#include "engine/puits.hpp"
#include "output/affiche.hpp"

namespace unitfrac {
namespace {

Reglages un(int type, int n) {
  Reglages reg;
  reg.type = type;
  reg.n = n;
  reg.x2.assign(n + 1, 0);
  reg.x3.assign(n + 1, 0);
  return reg;
}

// The step-by-step search on one integer type: solutions counted, forward steps per second.
template <class Int>
void pas_a_pas(benchmark::State& state) {
  const Reglages reg = un(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  long long pas = 0, solutions = 0;
  for (auto _ : state) {
    Recherche<Int> rech(reg);
    rech.paires(false);
    Compteur c;
    while (rech.profondeur() >= 0) {
      rech.avancer(c);
      ++pas;
    }
    solutions = c.K;
  }
  state.counters["pas/s"] = benchmark::Counter(static_cast<double>(pas), benchmark::Counter::kIsRate);
  state.counters["solutions"] = static_cast<double>(solutions);
}

void Libre64(benchmark::State& s) { pas_a_pas<bench::libre64>(s); }
void Verifie64(benchmark::State& s) { pas_a_pas<long long>(s); }
void Verifie128(benchmark::State& s) { pas_a_pas<i128>(s); }

// The widening engine as the program runs it, with or without the divisor pairs.
void moteur(benchmark::State& state, bool paires) {
  const Reglages reg = un(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  long long solutions = 0;
  for (auto _ : state) {
    Moteur m(reg);
    m.paires(paires);
    Compteur c;
    m.courir(c);
    solutions = c.K;
  }
  state.counters["solutions"] = static_cast<double>(solutions);
  state.counters["solutions/s"] = benchmark::Counter(static_cast<double>(solutions) * state.iterations(),
                                                      benchmark::Counter::kIsRate);
}
void Elargissant(benchmark::State& s) { moteur(s, false); }
void Paires(benchmark::State& s) { moteur(s, true); }

// Every solution of n = 7 written as the display writes it (L = 0) into a file.
void Liste(benchmark::State& state) {
  Reglages reg = un(static_cast<int>(state.range(0)), 7);
  const char* chemin = "/tmp/unitfrac_bench_liste.txt";
  for (auto _ : state) {
    std::ofstream fichier(chemin);
    Bons bons;
    Affichage aff(fichier, [](std::string_view) { return 0LL; }, reg, bons);  // L = 0: no pause
    aff.debut_calcul();
    aff.debut_run();
    Moteur m(reg);
    m.courir(aff);
  }
  std::remove(chemin);
}

void ArgsSixSept(benchmark::internal::Benchmark* b) {
  b->ArgNames({"type", "n"})->Args({1, 6})->Args({2, 6})->Args({1, 7})->Args({2, 7});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(Libre64)->Apply(ArgsSixSept);
BENCHMARK(Verifie64)->Apply(ArgsSixSept);
BENCHMARK(Verifie128)->Apply(ArgsSixSept);
BENCHMARK(Elargissant)->Apply(ArgsSixSept);
BENCHMARK(Paires)->Apply(ArgsSixSept);
BENCHMARK(Liste)->ArgName("type")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace unitfrac

BENCHMARK_MAIN();
