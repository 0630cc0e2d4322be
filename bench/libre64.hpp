// A 64-bit integer whose arithmetic is never checked for overflow: the search instantiated on it
// is the plain 64-bit search, the baseline that measures what the overflow checks cost.
// Used by the benchmarks only.
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>

#include "engine/entier.hpp"

namespace unitfrac::bench {

struct libre64 {
  long long v = 0;
  libre64() = default;
  libre64(long long w) : v(w) {}  // NOLINT: converts like the built-in type
  template <class T>
    requires std::same_as<T, i128>
  explicit libre64(T w) : v(static_cast<long long>(w)) {}
  explicit operator i128() const { return v; }
  explicit operator std::uint64_t() const { return static_cast<std::uint64_t>(v); }
  auto operator<=>(const libre64&) const = default;
  bool operator==(const libre64&) const = default;
  libre64& operator-=(const libre64& o) { v -= o.v; return *this; }
  libre64& operator+=(const libre64& o) { v += o.v; return *this; }
  friend libre64 operator+(libre64 a, libre64 b) { return a.v + b.v; }
  friend libre64 operator-(libre64 a, libre64 b) { return a.v - b.v; }
  friend libre64 operator*(libre64 a, libre64 b) { return a.v * b.v; }
  friend libre64 operator/(libre64 a, libre64 b) { return a.v / b.v; }
  friend libre64 operator%(libre64 a, libre64 b) { return a.v % b.v; }
};

inline bool mul_ovf(libre64 a, libre64 b, libre64& out) { out = a * b; return false; }
inline bool add_ovf(libre64 a, libre64 b, libre64& out) { out = a + b; return false; }
inline bool sub_ovf(libre64 a, libre64 b, libre64& out) { out = a - b; return false; }
inline bool est_pair(libre64 a) { return (a.v & 1) == 0; }
inline int compare(libre64 a, long long b) { return (a.v > b) - (a.v < b); }
inline bool egal(libre64 a, i128 b) { return static_cast<i128>(a.v) == b; }
inline std::uint64_t en_u64(libre64 a) { return static_cast<std::uint64_t>(a.v); }
inline mpz_class vers_mpz(libre64 a) { return unitfrac::vers_mpz(a.v); }
inline bool convertir(libre64 v, long long& out) { out = v.v; return true; }
inline bool convertir(libre64 v, i128& out) { out = v.v; return true; }
inline bool convertir(libre64 v, mpz_class& out) { out = unitfrac::vers_mpz(v.v); return true; }
inline bool convertir(long long v, libre64& out) { out = v; return true; }
inline bool convertir(i128 v, libre64& out) {
  out = static_cast<long long>(v);
  return out.v == v;
}
inline bool convertir(const mpz_class& v, libre64& out) {
  long long w = 0;
  if (!unitfrac::convertir(v, w)) return false;
  out = w;
  return true;
}

}  // namespace unitfrac::bench
