// The validated console reader: writes a question, reads one whitespace-delimited token and asks
// again, silently, until the token fits the mode. Every answer of the dialogue, of the sequence
// entries and of the pause in the display goes through `controle`.
#pragma once

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "output/ecriture.hpp"

namespace unitfrac {

// Thrown by `controle` when standard input has ended or can no longer be read: no answer can come.
// The program catches it at the top, writes one newline and ends with status 3.
struct FinDeSaisie : std::runtime_error {
  FinDeSaisie() : std::runtime_error("fin de la saisie") {}
};

// What an answer may be: the modes of `controle`, numbered 1 to 5 as the questions know them.
enum class Cas {
  oui_non = 1,  // 0 or 1, into `valeur2`
  type,         // 1 or 2
  parite,       // 0, 1 or 2
  positif,      // a non-negative integer, into `valeur` (0 refused while `xn` is 1)
  relatif,      // a signed integer
};

// The reader's token rules, for answers that come from elsewhere (the command line): the three
// choices give `choix`, the two integers `nombre`. The token "0" passes Cas::positif here; a
// caller refuses it where the reader would (`xn`).
bool lire_choix(Cas cas, std::string_view jeton, int& choix);
bool lire_entier(Cas cas, std::string_view jeton, long long& nombre);

// Classifies one character of an integer answer: 1 for a digit or a sign, 0 otherwise.
// `valtest1` receives the digit's value, 1 for '+', -1 for '-', 0 for anything else.
int valtest(char caract1, long long& valtest1);

class Lecteur {
 public:
  Lecteur(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // Writes `chaine` and reads until an answer fits `cas`. Always returns 0; throws FinDeSaisie
  // at end of input, EchecEcriture when the question could not be written.
  int controle(Cas cas, std::string_view chaine);

  int valeur2 = 0;       // answer of the three choices
  long long valeur = 0;  // answer of the two integers
  int xn = 0;            // 1: Cas::positif refuses 0
  int nmess = 0;         // 1: Cas::positif writes the framing texts instead of the question
  std::string messa1, messa2, messa3;  // framing texts of the sequence questions
  int lm1 = 0, lm2 = 0, lm3 = 0;       // how many characters of each framing text are written

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace unitfrac
