// Exact conversions and plain-decimal printing for the three integer widths of the search.
// The display and the report print solutions, counts and good numbers with these; the search
// widens its integers to __int128 and mpz_class with vers_mpz.
#include "engine/entier.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace unitfrac {

namespace {

using u128 = unsigned __int128;

static_assert(sizeof(long) == 8, "mpz_set_si and mpz_set_ui take 64-bit values here");

// |v| as unsigned: negating in the unsigned type is exact even for the most negative value.
u128 magnitude(i128 v) { return v < 0 ? u128(0) - static_cast<u128>(v) : static_cast<u128>(v); }

constexpr std::uint64_t kDix19 = 10000000000000000000ULL;  // largest power of ten below 2^64

}  // namespace

mpz_class vers_mpz(long long v) {
  mpz_class r;
  mpz_set_si(r.get_mpz_t(), v);
  return r;
}

// |v| < 2^128 is the two 64-bit halves hi * 2^64 + lo.
mpz_class vers_mpz(i128 v) {
  const u128 u = magnitude(v);
  mpz_class r;
  mpz_set_ui(r.get_mpz_t(), static_cast<unsigned long>(u >> 64));
  mpz_mul_2exp(r.get_mpz_t(), r.get_mpz_t(), 64);
  mpz_add_ui(r.get_mpz_t(), r.get_mpz_t(), static_cast<unsigned long>(u));
  if (v < 0) mpz_neg(r.get_mpz_t(), r.get_mpz_t());
  return r;
}

bool en_i128(const mpz_class& v, i128& out) {
  if (mpz_sizeinbase(v.get_mpz_t(), 2) > 127) return false;  // |v| < 2^127
  mpz_class m = abs(v);
  const u128 bas = mpz_get_ui(m.get_mpz_t());
  mpz_fdiv_q_2exp(m.get_mpz_t(), m.get_mpz_t(), 64);
  const u128 u = (static_cast<u128>(mpz_get_ui(m.get_mpz_t())) << 64) | bas;
  out = static_cast<i128>(u);
  if (sgn(v) < 0) out = -out;
  return true;
}

char* ecrire_decimal(char* buf, long long v) { return std::to_chars(buf, buf + 20, v).ptr; }

// |v| <= 2^127 < 10^39, so it splits into at most three base-10^19 digits: the leading one is
// written as is, the others with their 19 places zero-filled. Two 128-bit divisions per value
// instead of one per decimal digit.
char* ecrire_decimal(char* buf, i128 v) {
  u128 u = magnitude(v);
  if (v < 0) *buf++ = '-';
  std::uint64_t bas[2];
  int k = 0;
  while (u >= kDix19) {
    bas[k++] = static_cast<std::uint64_t>(u % kDix19);
    u /= kDix19;
  }
  buf = std::to_chars(buf, buf + 20, static_cast<std::uint64_t>(u)).ptr;
  while (k > 0) {
    std::uint64_t c = bas[--k];
    char* const fin = buf + 19;
    for (char* q = fin; q != buf; c /= 10) *--q = static_cast<char>('0' + c % 10);
    buf = fin;
  }
  return buf;
}

void ecrire(std::ostream& os, long long v) {
  char buf[24];
  os.write(buf, ecrire_decimal(buf, v) - buf);
}

void ecrire(std::ostream& os, i128 v) {
  char buf[48];
  os.write(buf, ecrire_decimal(buf, v) - buf);
}

// mpz_get_str needs the digit count (possibly one too many) plus sign and terminator.
void ecrire(std::ostream& os, const mpz_class& v) {
  std::string s(mpz_sizeinbase(v.get_mpz_t(), 10) + 2, '\0');
  mpz_get_str(s.data(), 10, v.get_mpz_t());
  os.write(s.data(), static_cast<std::streamsize>(std::strlen(s.data())));
}

std::string en_decimal(i128 v) {
  char buf[48];
  return std::string(buf, ecrire_decimal(buf, v));
}

}  // namespace unitfrac
