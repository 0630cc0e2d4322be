// The last two unknowns when b passes 2^63, in GMP integers: every (x, y) with 1/x + 1/y = a/b and
// x among the candidates hi, hi - z, ... >= lo, from u = a·x - b, a divisor of b² (paires.hpp).
// Used by the search at depth n - 2 (recherche.hpp) where resoudre_paires does not reach.
#include "engine/grandes_paires.hpp"

#include <algorithm>
#include <functional>

namespace unitfrac {
namespace {

// The divisors u of b² in [L, U] with u ≡ -b (mod a), from b's primes: each prime's powers are
// taken while the product stays at most U, so about d(b²)/2 products are formed.
void par_diviseurs(const GrandProbleme& pb, const mpz_class& L, const mpz_class& U,
                   std::vector<mpz_class>& retenus) {
  mpz_class p;
  const std::function<void(std::size_t, const mpz_class&)> etendre = [&](std::size_t k,
                                                                          const mpz_class& w) {
    if (k == pb.fb.size()) {
      mpz_class s = w + pb.b;
      if (w >= L && mpz_divisible_p(s.get_mpz_t(), pb.a.get_mpz_t()) != 0) retenus.push_back(w);
      return;
    }
    mpz_class v = w;
    for (int e = 0; e <= 2 * pb.fb[k].second; ++e) {
      etendre(k + 1, v);
      mpz_mul_ui(v.get_mpz_t(), v.get_mpz_t(), pb.fb[k].first);
      if (v > U) break;
    }
  };
  etendre(0, mpz_class(1));
  std::sort(retenus.begin(), retenus.end(), std::greater<mpz_class>());
}

// The candidates x from xhaut down to xbas (step z) whose u = a·x - b divides b².
void par_candidats(const GrandProbleme& pb, const mpz_class& b2, const mpz_class& xhaut,
                   const mpz_class& xbas, std::vector<mpz_class>& retenus) {
  mpz_class u;
  for (mpz_class x = xhaut; x >= xbas; x -= pb.z) {
    u = pb.a * x - pb.b;
    if (mpz_divisible_p(b2.get_mpz_t(), u.get_mpz_t()) != 0) retenus.push_back(u);
  }
}

}  // namespace

// With u = a·x - b and v = a·y - b, uv = b², and x <= y exactly when u <= b (u < b for y > x).
// x in [lo, hi] gives u in [a·lo - b, a·hi - b]; y <= M gives v <= a·M - b, u >= b²/(a·M - b).
void resoudre_grandes_paires(const GrandProbleme& pb, std::vector<std::pair<mpz_class, mpz_class>>& out) {
  const mpz_class &a = pb.a, &b = pb.b;
  if (a <= 0 || b <= 0 || pb.z <= 0 || a > 2 * b) return;  // a > 2b: x <= 2b/a < 1
  const mpz_class z = pb.z;
  const mpz_class lo = std::max<mpz_class>(pb.lo, b / a + 1);
  const mpz_class hi = std::min<mpz_class>(pb.hi, 2 * b / a);
  if (lo > hi) return;

  const mpz_class b2 = b * b;
  mpz_class U = a * hi - b, L = a * lo - b;  // L >= 1 since lo > b/a
  if (pb.strict ? U >= b : U > b) U = pb.strict ? mpz_class(b - 1) : b;
  if (pb.M != 0 && pb.M < (b + b2) / a) {
    const mpz_class K = a * pb.M - b;
    if (K <= 0) return;
    mpz_class Lm;
    mpz_cdiv_q(Lm.get_mpz_t(), b2.get_mpz_t(), K.get_mpz_t());
    if (Lm > L) L = Lm;
  }
  if (L > U) return;

  // The candidates with u in [L, U] and x ≡ pb.hi (mod z): from xhaut down to xbas.
  mpz_class xbas, xhaut = (U + b) / a, ecart;
  const mpz_class lb = L + b;
  mpz_cdiv_q(xbas.get_mpz_t(), lb.get_mpz_t(), a.get_mpz_t());
  const mpz_class d_hi = xhaut - pb.hi;
  mpz_fdiv_r(ecart.get_mpz_t(), d_hi.get_mpz_t(), z.get_mpz_t());
  xhaut -= ecart;
  if (xhaut < xbas) return;
  const mpz_class candidats = (xhaut - xbas) / z + 1;

  mpz_class diviseurs = 1;  // d(b²)/2, about the products par_diviseurs forms
  for (const auto& [p, e] : pb.fb) diviseurs *= 2 * e + 1;
  diviseurs /= 2;

  std::vector<mpz_class> retenus;  // the u, decreasing (x decreasing)
  if (pb.fb_connue && (pb.diviseurs || diviseurs < candidats))
    par_diviseurs(pb, L, U, retenus);
  else
    par_candidats(pb, b2, xhaut, xbas, retenus);

  // x = (b + u)/a and y = (b + b²/u)/a, both exact: u ≡ -b (mod a) and uv = b² give v ≡ -b too.
  mpz_class x, y, classe;
  for (const mpz_class& u : retenus) {
    x = (u + b) / a;
    const mpz_class d = x - pb.hi;
    mpz_fdiv_r(classe.get_mpz_t(), d.get_mpz_t(), z.get_mpz_t());
    if (classe != 0) continue;
    y = (b + b2 / u) / a;
    const bool y_pair = mpz_even_p(y.get_mpz_t()) != 0;
    if ((pb.parite == 1 && y_pair) || (pb.parite == 2 && !y_pair)) continue;
    out.emplace_back(x, y);
  }
}

}  // namespace unitfrac
