// The validated console reader: writes the question, reads tokens until one has the form the mode
// asks for, and leaves the answer in `valeur2` or `valeur`. Used by every question of the dialogue,
// by the sequence entries and by the pause of the display.
#include "input/controle.hpp"

#include <algorithm>
#include <cstddef>
#include <locale>
#include <new>

namespace unitfrac {

namespace {

// A token must fit the 199 characters of the entry buffer; a longer one is refused.
constexpr std::size_t kLongueurMax = 199;

// Reads one token as `in >> s` does (white space skipped, then every character up to the next
// white space, which stays in the input) but keeps only what decides it: the characters before
// the first zero byte, at most kLongueurMax + 1 of them, enough to refuse a longer one. The rest
// is read and dropped as it comes, so a token of any length costs no memory. False when no token
// can come: end of input, or a read error. A failed allocation is not one: it goes on up.
bool lire_jeton(std::istream& in, std::string& jeton) {
  jeton.clear();
  const std::istream::sentry avant(in);  // skips the white space
  if (!avant) return false;
  const auto& ct = std::use_facet<std::ctype<char>>(in.getloc());
  std::streambuf& sb = *in.rdbuf();
  try {
    bool garde = true;  // false after a zero byte or once jeton is full
    for (int c; (c = sb.sbumpc()) != std::char_traits<char>::eof();) {
      const char ch = std::char_traits<char>::to_char_type(c);
      if (ct.is(std::ctype_base::space, ch)) {
        sb.sputbackc(ch);  // the white space after a token stays in the input
        return true;
      }
      if (!garde) continue;
      if (ch == '\0' || jeton.size() > kLongueurMax) garde = false;
      else jeton.push_back(ch);
    }
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    in.setstate(std::ios::badbit);
    return false;
  }
  in.setstate(std::ios::eofbit);
  return true;
}

// Writes the first `compte` characters of `texte`, nothing when `compte` <= 0, never past its end.
void ecrire_debut(std::ostream& out, const std::string& texte, int compte) {
  if (compte <= 0) return;
  out.write(texte.data(),
            static_cast<std::streamsize>(std::min(texte.size(), static_cast<std::size_t>(compte))));
}

}  // namespace

// The three choices: a single character among those of the mode.
bool lire_choix(Cas cas, std::string_view jeton, int& choix) {
  if (jeton.size() != 1) return false;
  const char c = jeton[0];
  const char plus_petit = cas == Cas::type ? '1' : '0';
  const char plus_grand = cas == Cas::oui_non ? '1' : '2';
  if (c < plus_petit || c > plus_grand) return false;
  choix = c - '0';
  return true;
}

// The two integers: "0", or an optional sign (a minus for Cas::relatif only), a digit 1-9, then digits.
// A negative number is built by subtracting its digits, so -2^63 is reached exactly; any step
// leaving the signed 64-bit range refuses the token rather than wrapping.
bool lire_entier(Cas cas, std::string_view jeton, long long& nombre) {
  if (jeton == "0") {
    nombre = 0;
    return true;
  }
  long long signe = 1;  // valtest's value of a leading sign
  std::size_t debut = 0;  // index of the first digit
  long long valeur = 0;
  for (std::size_t k = 0; k < jeton.size(); ++k) {
    const char c = jeton[k];
    long long d = 0;
    if (valtest(c, d) == 0) return false;
    if (c == '+' || c == '-') {
      if (k != 0 || (c == '-' && cas == Cas::positif)) return false;
      signe = d;
      debut = 1;
      continue;
    }
    if (k == debut && c == '0') return false;  // leading zero, or zero after a sign
    if (__builtin_mul_overflow(valeur, 10LL, &valeur)) return false;
    if (signe > 0 ? __builtin_add_overflow(valeur, d, &valeur)
                  : __builtin_sub_overflow(valeur, d, &valeur))
      return false;
  }
  if (debut == jeton.size()) return false;  // a lone sign
  nombre = valeur;
  return true;
}

int valtest(char caract1, long long& valtest1) {
  if (caract1 >= '0' && caract1 <= '9') {
    valtest1 = caract1 - '0';
    return 1;
  }
  if (caract1 == '+' || caract1 == '-') {
    valtest1 = caract1 == '+' ? 1 : -1;
    return 1;
  }
  valtest1 = 0;
  return 0;
}

int Lecteur::controle(Cas cas, std::string_view chaine) {
  const std::string_view question = chaine.substr(0, chaine.find('\0'));
  std::string jeton;
  jeton.reserve(kLongueurMax + 1);
  int refaire = 1;  // 1 while the question must be asked again
  while (refaire == 1) {
    if (cas == Cas::positif && nmess == 1) {
      ecrire_debut(out_, messa1, lm1);
      ecrire_debut(out_, messa2, lm2);
      ecrire_debut(out_, messa3, lm3);
    } else {
      out_ << question;
    }
    verifier_ecriture(out_);

    // End of input would leave every later question unanswered: give up rather than ask forever.
    if (!lire_jeton(in_, jeton)) throw FinDeSaisie();
    if (jeton.empty() || jeton.size() > kLongueurMax) continue;

    if (cas <= Cas::parite) {
      int choix = 0;
      if (lire_choix(cas, jeton, choix)) {
        valeur2 = choix;
        refaire = 0;
      }
    } else {
      long long nombre = 0;
      if (lire_entier(cas, jeton, nombre) && !(cas == Cas::positif && xn == 1 && nombre == 0)) {
        valeur = nombre;
        refaire = 0;
      }
    }
  }
  return 0;
}

}  // namespace unitfrac
