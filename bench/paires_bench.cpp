// Micro-benchmarks of the two-unknown step (engine/paires.hpp): factoriser and resoudre_paires on
// real problems, one in every 500 prefixes x[1..6] of the search for n = 8, P/Q = 1 (type 1).
// Run by hand before and after a change to paires.cpp or facteurs.cpp; prints the shape of the
// sample first (divisor counts of b² against the number of candidates for x).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

#include "engine/paires.hpp"
#include "engine/puits.hpp"
#include "engine/recherche.hpp"
#include "engine/tetes_possibles.hpp"

namespace unitfrac {
namespace {

using u64 = std::uint64_t;

struct Echantillon {
  std::vector<ProblemePaire> problemes;
  std::vector<u64> nouveaux;  // x[n-2] of each problem: the value factored afresh per prefix
  long long prefixes = 0;     // every prefix x[1..n-2] walked
};

// Walks every prefix x[1..n-2] as the search does (the last two unknowns are not descended) and
// keeps one problem in `pas`: x(n-1) runs from r1 down to max(minr[n-1], x[n-2]).
Echantillon prelever(int n, long long pas) {
  Reglages reg;
  reg.n = n;
  reg.type = 1;
  reg.x2.assign(n + 1, 0);
  reg.x3.assign(n + 1, 0);
  Recherche<i128> s(reg);
  Compteur c;
  Echantillon e;
  while (s.profondeur() >= 0) {
    const int i = s.profondeur();
    if (i != n - 2) {
      if (s.suite(c) == Pas::debordement) s.arriere();  // not met for n <= 8
      continue;
    }
    const i128 xi = s.inconnues()[i];
    Recherche<i128>::Bornes b;
    if (s.bornes(i, s.denominateur(), s.numerateur(), xi, b) == Pas::debordement) {
      s.arriere();
      continue;
    }
    if (b.fin) break;
    if (e.prefixes++ % pas == 0) {
      ProblemePaire pb;
      const i128 g = pgcd128(b.divis, b.qd);
      pb.a = b.divis / g;
      pb.b = b.qd / g;
      if (pb.b < (i128{1} << 64)) factoriser(static_cast<u64>(pb.b), pb.fb);
      pb.lo = std::max(b.minr, xi);
      pb.hi = b.r1;
      e.problemes.push_back(std::move(pb));
      e.nouveaux.push_back(static_cast<u64>(xi));
    }
    s.arriere();
  }
  return e;
}

const Echantillon& echantillon() {
  static const Echantillon e = prelever(8, 500);
  return e;
}

// Quantiles of a sample, and the shape of the problems.
template <class T>
void quantiles(const char* nom, std::vector<T> v) {
  std::sort(v.begin(), v.end());
  auto q = [&](double f) {
    return static_cast<double>(v[static_cast<std::size_t>(f * (v.size() - 1))]);
  };
  double somme = 0;
  for (const T& t : v) somme += static_cast<double>(t);
  std::printf("%-34s mean %10.4g  p10 %10.4g  p50 %10.4g  p90 %10.4g  p99 %10.4g  max %10.4g\n",
              nom, somme / static_cast<double>(v.size()), q(0.1), q(0.5), q(0.9), q(0.99), q(1.0));
}

void decrire(const Echantillon& e) {
  std::vector<double> nd, cand, ratio, bits_b, bits_a, solutions;
  std::vector<std::pair<i128, i128>> out;
  // Table: rows by decade of d(b²)/2, columns by decade of the number of candidates.
  long long table[8][10] = {};
  long long trop_grands = 0;
  for (const ProblemePaire& pb : e.problemes) {
    if (pb.b >= (i128{1} << 63)) {
      ++trop_grands;
      continue;
    }
    const double d = static_cast<double>(nombre_diviseurs_carre(pb.fb)) / 2;
    const double c = pb.hi < pb.lo ? 0 : static_cast<double>((pb.hi - pb.lo) / pb.z + 1);
    nd.push_back(d);
    cand.push_back(c);
    ratio.push_back(c / d);
    bits_b.push_back(std::log2(static_cast<double>(pb.b)));
    bits_a.push_back(std::log2(static_cast<double>(pb.a)));
    out.clear();
    resoudre_paires(pb, out);
    solutions.push_back(static_cast<double>(out.size()));
    const int li = std::min(7, static_cast<int>(std::log10(std::max(1.0, d))));
    const int co = std::min(9, static_cast<int>(std::log10(std::max(1.0, c))));
    ++table[li][co];
  }
  std::printf("n = 8, P/Q = 1: %lld prefixes x[1..6], %zu sampled, %lld with b >= 2^63\n",
              e.prefixes, e.problemes.size(), trop_grands);
  quantiles("d(b^2)/2", nd);
  quantiles("candidates (hi - lo)/z + 1", cand);
  quantiles("candidates / (d(b^2)/2)", ratio);
  quantiles("log2 b", bits_b);
  quantiles("log2 a", bits_a);
  std::vector<double> bits_x;
  for (const u64 v : e.nouveaux) bits_x.push_back(std::log2(static_cast<double>(v)));
  quantiles("log2 x[6] (factored per prefix)", bits_x);
  quantiles("solutions (x, y)", solutions);
  std::printf(
      "rows: d(b^2)/2 in [10^r, 10^(r+1)); columns: candidates in [10^c, 10^(c+1)); %% of the "
      "sample\n     ");
  for (int co = 0; co < 10; ++co) std::printf("  c=%d  ", co);
  std::printf("\n");
  for (int li = 0; li < 8; ++li) {
    std::printf("r=%d  ", li);
    for (int co = 0; co < 10; ++co)
      std::printf("%6.2f  ",
                  100.0 * static_cast<double>(table[li][co]) / static_cast<double>(nd.size()));
    std::printf("\n");
  }
  std::fflush(stdout);
}

// ---- Benchmarks: one iteration is one problem, taken in turn from the sample -------------------

void BM_Factoriser(benchmark::State& state) {
  const Echantillon& e = echantillon();
  std::vector<Facteur> f;
  std::size_t k = 0;
  for (auto _ : state) {
    factoriser(e.nouveaux[k], f);
    benchmark::DoNotOptimize(f.data());
    if (++k == e.nouveaux.size()) k = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Factoriser);

// factoriser on random values of a given size, and on products of two primes of half that size
// (the worst case of Pollard's rho), for values the sample above does not reach.
void BM_FactoriserAleatoire(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const bool semi = state.range(1) != 0;
  std::mt19937_64 g(42);
  std::vector<u64> valeurs;
  std::vector<Facteur> f;
  while (valeurs.size() < 4096) {
    if (!semi) {
      valeurs.push_back((g() >> (64 - bits)) | (u64{1} << (bits - 1)));
      continue;
    }
    u64 pq[2];
    for (u64& p : pq) {  // a prime of bits/2 bits
      do {
        p = (g() >> (64 - bits / 2)) | (u64{1} << (bits / 2 - 1)) | 1;
        factoriser(p, f);
      } while (f.size() != 1 || f[0].second != 1);
    }
    valeurs.push_back(pq[0] * pq[1]);
  }
  std::size_t k = 0;
  for (auto _ : state) {
    factoriser(valeurs[k], f);
    benchmark::DoNotOptimize(f.data());
    k = (k + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FactoriserAleatoire)
    ->ArgNames({"bits", "semiprime"})
    ->ArgsProduct({{24, 27, 32, 40, 48, 64}, {0, 1}});

// The problems of the sample with at most 4096 candidates for x, where every way is affordable:
// they calibrate the cost of a candidate against that of a divisor.
const std::vector<std::size_t>& courts() {
  static const std::vector<std::size_t> c = [] {
    std::vector<std::size_t> r;
    const Echantillon& e = echantillon();
    for (std::size_t k = 0; k < e.problemes.size(); ++k) {
      const ProblemePaire& pb = e.problemes[k];
      if (pb.hi - pb.lo <= 4096) r.push_back(k);
    }
    return r;
  }();
  return c;
}

void paires(benchmark::State& state, MethodePaires m, bool avec_facteurs, bool seulement_courts) {
  const Echantillon& e = echantillon();
  std::vector<std::size_t> tous;
  if (!seulement_courts) {
    tous.resize(e.problemes.size());
    std::iota(tous.begin(), tous.end(), std::size_t{0});
  }
  const std::vector<std::size_t>& indices = seulement_courts ? courts() : tous;
  TravailPaires travail;
  travail.methode = m;
  std::vector<std::pair<i128, i128>> out;
  std::vector<Facteur> f;
  std::size_t k = 0;
  long long trouvees = 0;
  for (auto _ : state) {
    const std::size_t j = indices[k];
    if (avec_facteurs) factoriser(e.nouveaux[j], f);
    out.clear();
    benchmark::DoNotOptimize(resoudre_paires(e.problemes[j], out, travail));
    trouvees += static_cast<long long>(out.size());
    if (++k == indices.size()) k = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["solutions/problem"] =
      static_cast<double>(trouvees) / static_cast<double>(state.iterations());
}

// The count alone (the path of a count), every way as the cost estimate chooses.
void BM_Compter(benchmark::State& state) {
  const Echantillon& e = echantillon();
  TravailPaires travail;
  Paires res;
  std::size_t k = 0;
  long long trouvees = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chercher_paires(e.problemes[k], false, res, travail));
    trouvees += res.nombre;
    if (++k == e.problemes.size()) k = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["solutions/problem"] = static_cast<double>(trouvees) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Compter);

using M = MethodePaires;
void BM_Paires(benchmark::State& s) { paires(s, M::automatique, false, false); }
void BM_PairesParDiviseurs(benchmark::State& s) { paires(s, M::diviseurs, false, false); }
void BM_PairesParMilieu(benchmark::State& s) { paires(s, M::milieu, false, false); }
void BM_PairesParCofacteurs(benchmark::State& s) { paires(s, M::cofacteurs, false, false); }
void BM_FactoriserEtPaires(benchmark::State& s) { paires(s, M::automatique, true, false); }
void BM_CourtsAutomatique(benchmark::State& s) { paires(s, M::automatique, false, true); }
void BM_CourtsParCandidats(benchmark::State& s) { paires(s, M::candidats, false, true); }
void BM_CourtsParDiviseurs(benchmark::State& s) { paires(s, M::diviseurs, false, true); }
void BM_CourtsParMilieu(benchmark::State& s) { paires(s, M::milieu, false, true); }
BENCHMARK(BM_Paires);
BENCHMARK(BM_PairesParDiviseurs);
BENCHMARK(BM_PairesParMilieu);
BENCHMARK(BM_PairesParCofacteurs);
BENCHMARK(BM_FactoriserEtPaires);
BENCHMARK(BM_CourtsAutomatique);
BENCHMARK(BM_CourtsParCandidats);
BENCHMARK(BM_CourtsParDiviseurs);
BENCHMARK(BM_CourtsParMilieu);

// The heads of a loop under a bound that may have pairs (tetes_possibles.hpp): building the filter
// and walking it, for the heads x1 of 1/x1 + 1/x2 + 1/x3 = 1/Q with x3 <= 6Q (x1 from 1.5Q to 3Q).
void BM_TetesPossibles(benchmark::State& state) {
  const auto Q = static_cast<u64>(state.range(0));
  std::vector<Facteur> fq;
  factoriser(Q, fq);
  std::size_t visitees = 0;
  for (auto _ : state) {
    TetesPossibles t;
    t.construire(1, Q, fq, 6 * Q, 1, Q + Q / 2, 3 * Q, 3 * Q / 4);  // the budget the search gives
    visitees = 1;
    for (u64 c = 3 * Q; c > Q + Q / 2; ++visitees) c = t.suivante(c, Q + Q / 2);
  }
  state.counters["heads visited"] = static_cast<double>(visitees);
}
BENCHMARK(BM_TetesPossibles)->Arg(1000000)->Arg(10000000)->Arg(100000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace unitfrac

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  unitfrac::decrire(unitfrac::echantillon());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
