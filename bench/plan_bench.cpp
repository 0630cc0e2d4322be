// The plan of the shards of a calculation: the time to find it, its estimated shards against their
// mean, and the estimated work of the whole search. A plain program, not a micro-benchmark: one
// plan costs up to a minute.
//   unitfrac_plan_bench K [unitfrac options of the calculation]
//   e.g. unitfrac_plan_bench 10000 -n 9
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogue/options.hpp"
#include "dialogue/regles.hpp"
#include "tranches/plan.hpp"

int main(int argc, char** argv) {
  using namespace unitfrac;
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s K options...\n", argv[0]);
    return 2;
  }
  const long long K = std::stoll(argv[1]);
  const std::vector<std::string_view> args(argv + 2, argv + argc);
  Options opt;
  std::string erreur;
  if (!analyser(args, opt, erreur) || opt.action != Options::Action::calcul) {
    std::fprintf(stderr, "%s\n", erreur.c_str());
    return 2;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const Plan plan = planifier(preparer(opt.reg), K);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double moyenne = plan.total / static_cast<double>(K);
  const double plus = *std::max_element(plan.poids.begin(), plan.poids.end());
  long long vides = 0;
  for (const auto& c : plan.coupures) vides += c.empty();
  std::printf("plan %.3f s, %s, work %.4g heads of 40 bits, largest shard / mean %.3f, empty cuts %lld\n", s,
              plan.exact ? "exact" : "estimated", plan.total, plus / moyenne, vides);
  return 0;
}
