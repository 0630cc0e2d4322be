// Exact integers for the search: checked arithmetic on long long and __int128, and GMP's mpz_class,
// behind one set of small functions so that the search is written once for every width.
// Used by the engine (all arithmetic), the display and the report (printing any width in decimal).
#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>

namespace unitfrac {

using i128 = __int128;
using u128 = unsigned __int128;

template <class Int>
inline constexpr bool est_mpz = std::is_same_v<Int, mpz_class>;

// Checked operations: each returns true when the exact result does not fit Int (out is then
// meaningless). For mpz_class nothing can overflow and they always return false.
inline bool mul_ovf(long long a, long long b, long long& out) { return __builtin_mul_overflow(a, b, &out); }
inline bool add_ovf(long long a, long long b, long long& out) { return __builtin_add_overflow(a, b, &out); }
inline bool mul_ovf(i128 a, i128 b, i128& out) { return __builtin_mul_overflow(a, b, &out); }
inline bool add_ovf(i128 a, i128 b, i128& out) { return __builtin_add_overflow(a, b, &out); }
inline bool sub_ovf(i128 a, i128 b, i128& out) { return __builtin_sub_overflow(a, b, &out); }
inline bool mul_ovf(const mpz_class& a, const mpz_class& b, mpz_class& out) {
  mpz_mul(out.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
  return false;
}
inline bool add_ovf(const mpz_class& a, const mpz_class& b, mpz_class& out) {
  mpz_add(out.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
  return false;
}

// Greatest common divisor of two unsigned 64- or 128-bit values by Stein's binary method: shifts
// and subtractions, no division.
inline int zeros_bas(std::uint64_t v) { return __builtin_ctzll(v); }
inline int zeros_bas(u128 v) {
  const auto bas = static_cast<std::uint64_t>(v);
  return bas != 0 ? __builtin_ctzll(bas) : 64 + __builtin_ctzll(static_cast<std::uint64_t>(v >> 64));
}
template <class U>
U pgcd_binaire(U a, U b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int k = zeros_bas(a | b);
  a >>= zeros_bas(a);
  do {
    b >>= zeros_bas(b);
    if (a > b) std::swap(a, b);
    b -= a;
  } while (b != 0);
  return a << k;
}

// Greatest common divisor of two non-negative values, by Euclid's remainder steps.
// The inverse of an odd value modulo 2^64: Newton's iteration, each round doubling the correct low
// bits (3 to start with, for any odd value).
constexpr std::uint64_t inverse_mod_2_64(std::uint64_t impair) {
  std::uint64_t x = impair;
  for (int t = 0; t < 5; ++t) x *= 2 - impair * x;
  return x;
}

inline i128 pgcd128(i128 a, i128 b) {
  while (b != 0) {
    const i128 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// Widening conversions, exact.
mpz_class vers_mpz(long long v);
mpz_class vers_mpz(i128 v);
inline const mpz_class& vers_mpz(const mpz_class& v) { return v; }

template <class To>
To elargir(long long v) {
  if constexpr (est_mpz<To>) return vers_mpz(v); else return static_cast<To>(v);
}
template <class To>
To elargir(i128 v) {
  if constexpr (est_mpz<To>) return vers_mpz(v); else return static_cast<To>(v);
}
template <class To>
To elargir(const mpz_class& v) {
  static_assert(est_mpz<To>, "mpz_class only widens to itself");
  return v;
}

// Exact conversion to a width that may be narrower: false, with `out` unspecified, when the value
// does not fit.
bool en_i128(const mpz_class& v, i128& out);
inline bool convertir(long long v, long long& out) { out = v; return true; }
inline bool convertir(long long v, i128& out) { out = v; return true; }
inline bool convertir(long long v, mpz_class& out) { mpz_set_si(out.get_mpz_t(), v); return true; }
inline bool convertir(i128 v, long long& out) {
  out = static_cast<long long>(v);
  return out == v;
}
inline bool convertir(i128 v, i128& out) { out = v; return true; }
inline bool convertir(i128 v, mpz_class& out) { out = vers_mpz(v); return true; }
inline bool convertir(const mpz_class& v, long long& out) {
  if (!mpz_fits_slong_p(v.get_mpz_t())) return false;
  out = mpz_get_si(v.get_mpz_t());
  return true;
}
inline bool convertir(const mpz_class& v, i128& out) { return en_i128(v, out); }
inline bool convertir(const mpz_class& v, mpz_class& out) { out = v; return true; }

// The value of an integer known to lie in [0, 2^64).
inline std::uint64_t en_u64(long long v) { return static_cast<std::uint64_t>(v); }
inline std::uint64_t en_u64(i128 v) { return static_cast<std::uint64_t>(v); }
inline std::uint64_t en_u64(const mpz_class& v) { return mpz_get_ui(v.get_mpz_t()); }

// Parity and comparison with a long long, for every width.
inline bool est_pair(long long v) { return (v & 1) == 0; }
inline bool est_pair(i128 v) { return (v & 1) == 0; }
inline bool est_pair(const mpz_class& v) { return mpz_even_p(v.get_mpz_t()) != 0; }

// Three-way comparison with a value typed as a long long, and equality with an __int128.
inline int compare(long long a, long long b) { return (a > b) - (a < b); }
inline int compare(i128 a, long long b) { return (a > b) - (a < b); }
inline int compare(const mpz_class& a, long long b) {
  const int c = mpz_cmp_si(a.get_mpz_t(), static_cast<long>(b));
  return (c > 0) - (c < 0);
}
// Exact equality of two integers of any widths.
template <class A, class B>
bool egaux(const A& a, const B& b) {
  if constexpr (std::is_same_v<A, B>) return a == b;
  else if constexpr (!est_mpz<A> && !est_mpz<B>) return static_cast<i128>(a) == static_cast<i128>(b);
  else return vers_mpz(a) == vers_mpz(b);
}
inline bool egal(long long a, i128 b) { return static_cast<i128>(a) == b; }
inline bool egal(i128 a, i128 b) { return a == b; }
inline bool egal(const mpz_class& a, i128 b) { return a == vers_mpz(b); }

// Plain decimal, no width or fill. The char-buffer form writes at most 40 characters for
// long long and __int128 and returns the end of what it wrote.
char* ecrire_decimal(char* buf, long long v);
char* ecrire_decimal(char* buf, i128 v);
void ecrire(std::ostream& os, long long v);
void ecrire(std::ostream& os, i128 v);
void ecrire(std::ostream& os, const mpz_class& v);
std::string en_decimal(i128 v);
inline std::string en_texte(long long v) { return std::to_string(v); }
inline std::string en_texte(i128 v) { return en_decimal(v); }
inline std::string en_texte(const mpz_class& v) { return v.get_str(); }

}  // namespace unitfrac
