// The dialogue fuzz target's run and checks: the fuzzer's bytes are the standard input of the whole
// program (`programme`), fed a token at a time so that a few answers can be capped to keep every
// search short, and the output is checked as it is written. Used by cible.cpp and corpus_test.cpp.
//
// Caps, so that one input runs in milliseconds without closing any path of the program. They
// rewrite, as the target feeds them, the answers to two questions; everything else is fed as it
// comes (refused tokens, huge P, M and sequence values, every paging answer):
// - n: an answer from 7 to 1000000 becomes 1 + (n - 1) mod 6; larger ones stay, the dialogue
//   refuses them itself.
// - Q: the search tree grows with Q/P from n = 3 on and with Q itself from n = 4 on, so Q above its
//   cap becomes 1 + (Q - 1) mod cap: 8·P for n = 3, min(32, 8·P) for n = 4, min(8, 2·P) for n = 5,
//   min(2, P) for n = 6 (n = 1 and 2 take any size: the search is one two-unknown step). Then,
//   from n = 2 on, Q loses its smallest prime factors until d(Q²) <= 500, for a two-unknown step
//   lists up to d(b²)/2 pairs (millions for the most divisible Q below 2^63).
// The paging answers need no cap: with these the longest search lists some thousands of solutions.
//
// Checks: the exit status is 1 (the user answered 0 to "Nouveau calcul", the last thing written)
// or 3 (the whole input was read and one newline ends the output); every byte written is a tab,
// a newline or printable ASCII; every word written (a run of letters) comes from a string literal
// of src/, so nothing of the input is ever echoed.
#include "tests/fuzz/dialogue_fuzz.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogue/programme.hpp"
#include "engine/paires.hpp"
#include "input/controle.hpp"

namespace unitfrac::fuzz {
namespace {

namespace fs = std::filesystem;

bool lettre(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// White space as the reader sees it (the classic locale).
bool blanc(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The words of the string literals of every source file below src/: the program's texts.
std::set<std::string> lire_vocabulaire() {
  std::set<std::string> mots;
  for (const auto& e : fs::recursive_directory_iterator(UNITFRAC_SOURCES)) {
    if (!e.is_regular_file()) continue;
    std::ifstream f(e.path(), std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::string mot;
    for (std::size_t k = 0; k < s.size(); ++k) {
      if (s.compare(k, 2, "//") == 0) {
        k = s.find('\n', k);
      } else if (s.compare(k, 2, "/*") == 0) {
        k = s.find("*/", k);
        if (k != std::string::npos) ++k;
      } else if (s[k] == '\'') {  // a character literal: 'c' or '\c'
        k = s.find('\'', k + (s[k + 1] == '\\' ? 3 : 2));
      } else if (s[k] == '"') {
        for (++k; k < s.size() && s[k] != '"'; ++k) {
          const bool echappe = s[k] == '\\';
          if (lettre(s[k]) && !echappe) mot += s[k];
          if (!mot.empty() && (echappe || !lettre(s[k]))) mots.insert(std::exchange(mot, ""));
          if (echappe) ++k;
        }
        if (!mot.empty()) mots.insert(std::exchange(mot, ""));
      }
      if (k == std::string::npos) break;
    }
  }
  return mots;
}

const std::set<std::string>& vocabulaire() {
  static const std::set<std::string> mots = lire_vocabulaire();
  return mots;
}

// The answer the reader takes from a token for a non-negative integer, or nothing when it refuses
// the token: what comes before a zero byte, at most 199 characters, by the reader's own rule.
std::optional<long long> entier(std::string_view jeton) {
  jeton = jeton.substr(0, jeton.find('\0'));
  long long v = 0;
  if (jeton.size() > 199 || !lire_entier(Cas::positif, jeton, v)) return std::nullopt;
  return v;
}

// Standard output: keeps the last bytes (the question being asked) and checks every byte and word.
class Sortie : public std::streambuf {
 public:
  std::string fin;     // the last bytes written, at least the last question
  std::string erreur;  // the first fault seen

  void terminer() { mot_fini(); }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      const char ch = traits_type::to_char_type(c);
      xsputn(&ch, 1);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    for (std::streamsize k = 0; k < n; ++k) {
      const char c = s[k];
      if (lettre(c)) {
        mot_ += c;
        continue;
      }
      mot_fini();
      if (c != '\t' && c != '\n' && (c < ' ' || c > '~') && erreur.empty())
        erreur = "byte " + std::to_string(static_cast<unsigned char>(c)) + " written";
    }
    fin.append(s, static_cast<std::size_t>(n));
    if (fin.size() > 4096) fin.erase(0, fin.size() - 1024);
    return n;
  }

 private:
  void mot_fini() {
    if (!mot_.empty() && erreur.empty() && vocabulaire().count(mot_) == 0)
      erreur = "word \"" + mot_ + "\" is not one of the program's";
    mot_.clear();
  }
  std::string mot_;
};

// Standard input: the fuzzer's bytes a token at a time (its white space before, the token and
// the one white-space byte after it), so that each token is served after its question is
// written; the answers to n and Q are capped as said above.
class Entree : public std::streambuf {
 public:
  Entree(std::string_view octets, const Sortie& sortie) : reste_(octets), sortie_(sortie) {}
  bool lue() const { return reste_.empty() && gptr() == egptr(); }

 protected:
  int_type underflow() override {
    if (reste_.empty()) return traits_type::eof();
    std::size_t k = 0;
    while (k < reste_.size() && blanc(reste_[k])) ++k;
    const std::size_t debut = k;
    while (k < reste_.size() && !blanc(reste_[k])) ++k;
    std::string jeton(reste_.substr(debut, k - debut));
    morceau_.assign(reste_.substr(0, debut));
    if (k < reste_.size()) ++k;
    const std::string_view apres = reste_.substr(debut + jeton.size(), k - debut - jeton.size());
    reste_.remove_prefix(k);
    plafonner(jeton);
    morceau_ += jeton;
    morceau_ += apres;
    setg(morceau_.data(), morceau_.data(), morceau_.data() + morceau_.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  bool question(std::string_view texte) const {
    return sortie_.fin.size() >= texte.size() &&
           std::string_view(sortie_.fin).substr(sortie_.fin.size() - texte.size()) == texte;
  }

  void plafonner(std::string& jeton) {
    const std::optional<long long> v = entier(jeton);
    if (!v || *v == 0) return;
    if (question("Nombre d'inconnues,  n ? : \t")) {
      if (*v > 1000000) return;  // refused by the dialogue, which asks again
      n_ = static_cast<int>(1 + (*v - 1) % 6);
      if (*v > 6) jeton = std::to_string(n_);
    } else if (question("Valeur de P ? : \t")) {
      P_ = *v;
    } else if (question("Valeur de Q ? : \t") && n_ >= 2) {
      const __int128 p = P_;  // 8·P may pass 2^63: then no cap
      const __int128 plafond = n_ == 2   ? INT64_MAX
                               : n_ == 3 ? 8 * p
                               : n_ == 4 ? std::min<__int128>(32, 8 * p)
                               : n_ == 5 ? std::min<__int128>(8, 2 * p)
                                         : std::min<__int128>(2, p);
      long long q = *v > plafond ? 1 + (*v - 1) % static_cast<long long>(plafond) : *v;
      std::vector<Facteur> f;
      factoriser(static_cast<std::uint64_t>(q), f);
      for (std::size_t k = 0; nombre_diviseurs_carre(f) > 500; ++k) {
        for (int e = 0; e < f[k].second; ++e) q /= static_cast<long long>(f[k].first);
        f[k].second = 0;
      }
      if (q != *v) jeton = std::to_string(q);
    }
  }

  std::string_view reste_;
  const Sortie& sortie_;
  std::string morceau_;
  int n_ = 1;
  long long P_ = 1;
};

}  // namespace

std::string verifier_dialogue(const std::uint8_t* donnees, std::size_t taille) {
  Sortie sortie;
  Entree entree(std::string_view(reinterpret_cast<const char*>(donnees), taille), sortie);
  std::istream in(&entree);
  std::ostream out(&sortie);
  const int statut = programme(in, out);
  sortie.terminer();
  if (!sortie.erreur.empty()) return sortie.erreur;
  if (statut == 1) {
    const std::string_view question = "\n \t  Nouveau calcul ?  Oui [1] / Fin [0]  :     ";
    if (!sortie.fin.ends_with(question)) return "status 1 not after the question \"Nouveau calcul\"";
  } else if (statut == 3) {
    if (!entree.lue()) return "status 3 before the end of the input";
    if (!sortie.fin.ends_with("\n")) return "status 3 without a final newline";
  } else {
    return "status " + std::to_string(statut);
  }
  return "";
}

}  // namespace unitfrac::fuzz
