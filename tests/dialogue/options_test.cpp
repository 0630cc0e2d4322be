// Tests of the command line: each refusal (one line on standard error naming the option, status 2,
// nothing on standard output), the accepted forms, --help and --version, the option mode against
// the dialogue for the same answers over a grid, count shards, and whole runs of the executable
// for write errors and a closed pipe.
#include "dialogue/options.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dialogue/programme.hpp"
#include "tests/dialogue/lancer.hpp"

namespace unitfrac {
namespace {

// Arguments and the text that goes with them: a refusal's message, the settings the options give,
// or the dialogue's answers for the same calculation.
struct Cas { std::vector<std::string> args; std::string chaine; };

TEST(Options, RefusalsNameTheOptionOnOneLineAndExitWithStatus2) {
  const Cas cas[] = {
      {{"--foo"}, "option inconnue '--foo'"},
      {{"-n", "4", "-x"}, "option inconnue '-x'"},
      {{"-n"}, "l'option -n demande une valeur"},
      {{"--compte=1", "-n", "3"}, "l'option --compte ne prend pas de valeur"},
      {{"-n", "4", "en_trop"}, "argument inattendu 'en_trop'"},
      {{"--", "-n", "4"}, "argument inattendu '-n'"},
      {{"-t", "3", "-n", "4"}, "-t : valeur invalide '3'"},
      {{"-n", "0"}, "-n : valeur invalide '0'"},
      {{"--inconnues=1000001"}, "--inconnues : valeur invalide '1000001'"},
      {{"-n", "05"}, "-n : valeur invalide '05'"},
      {{"-n", "4", "-f", "1/0"}, "-f : valeur invalide '1/0'"},
      {{"-n", "4", "--fraction", "1/2/3"}, "--fraction : valeur invalide '1/2/3'"},
      {{"-n", "4", "-f", "-1"}, "-f : valeur invalide '-1'"},
      {{"-n", "4", "-f", "99999999999999999999"}, "-f : valeur invalide"},
      {{"-n", "4", "-p", "3"}, "-p : valeur invalide '3'"},
      {{"-n", "4", "-m", "-5"}, "-m : valeur invalide '-5'"},
      {{"-n", "4", "--debut", "3,2"}, "--debut : 2 apres 3"},
      {{"-t", "2", "-n", "4", "--fin", "3,3"}, "--fin : 3 apres 3"},
      {{"-n", "3", "--debut", "2,3,4"}, "--debut : au plus n - 1 = 2"},
      {{"-n", "4", "--debut", "2,x"}, "--debut : valeur invalide 'x'"},
      {{"-n", "4", "--debut", "2,0"}, "--debut : valeur invalide '0'"},
      {{"-n", "4", "--debut", "2,4", "--fin", "2,5"}, "--fin : la sequence de fin doit etre sous celle de --debut"},
      {{"-n", "4", "-m", "3"}, "-m 3 : les donnees ne verifient pas P/Q >= n/M"},
      {{"-n", "4", "-f", "4/6", "-b"}, "-b : seulement quand P/Q vaut 1"},
      {{"-n", "4", "-c", "-k", "3"}, "-c et -k s'excluent"},
      {{"-n", "4", "-k", "0"}, "-k : valeur invalide '0'"},
      {{"--threads", "0"}, "--threads : valeur invalide '0'"},
      {{"--threads=x", "-n", "4"}, "--threads : valeur invalide 'x'"},
      {{"--threads", "1025"}, "--threads : valeur invalide '1025' (un entier de 1 a 1024)"},
      {{"-f", "2/3"}, "il manque le nombre d'inconnues"},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(texte(c.args));
    const Sortie s = lancer_avec(c.args, "0\n1\n");  // the dialogue must not start
    verifier_refus(s, " (voir unitfrac --help)\n");
    EXPECT_TRUE(s.err.starts_with("unitfrac: " + c.chaine)) << s.err;
  }
}

// Options in a few words: what they ask for and the settings a calculation gets.
std::string resume(const Options& o) {
  const char* actions[] = {"dialogue", "aide", "version", "calcul"};
  std::ostringstream s;
  s << actions[static_cast<int>(o.action)] << " j" << o.parallele.threads << " st" << static_cast<int>(o.statut);
  if (o.action != Options::Action::calcul) return s.str();
  const Reglages& r = o.reg;
  s << " t" << r.type << " n" << r.n << ' ' << r.P1 << '/' << r.Q1 << '=' << r.P << '/' << r.Q << " tri"
    << r.tri << " p" << r.parite << " z" << r.z << " M" << r.Ma << '>' << r.M << " debut" << r.seq << ':';
  for (int k = 1; k <= r.s; ++k) s << r.x2[k] << ',';
  s << " fin" << r.seq2 << ':';
  for (int k = 1; k <= r.s2; ++k) s << r.x3[k] << ',';
  s << " bons" << r.cptbon << " L" << o.L << " compte" << o.compte;
  return s.str();
}

TEST(Options, AcceptedFormsGiveTheDialoguesSettings) {
  const Cas cas[] = {
      {{}, "dialogue j0 st0"},
      {{"--threads", "3", "--no-status"}, "dialogue j3 st2"},
      {{"--no-status", "--status", "--"}, "dialogue j0 st1"},
      {{"-h", "--foo"}, "aide j0 st0"},
      {{"--version"}, "version j0 st0"},
      {{"-n7"}, "calcul j0 st0 t1 n7 1/1=1/1 tri0 p0 z1 M0>0 debut0: fin0: bons0 L0 compte0"},
      {{"--inconnues=7", "--type", "2", "-c"}, "calcul j0 st0 t2 n7 1/1=1/1 tri0 p0 z1 M0>0 debut0: fin0: bons0 L0 compte1"},
      {{"-bn4", "-f", "6/6"}, "calcul j0 st0 t1 n4 6/6=1/1 tri0 p0 z1 M0>0 debut0: fin0: bons1 L0 compte0"},
      {{"-n", "4", "--fraction=4/6", "-k3"}, "calcul j0 st0 t1 n4 4/6=2/3 tri0 p0 z1 M0>0 debut0: fin0: bons0 L-3 compte0"},
      {{"-n", "4", "-f", "+3", "-k", "1"}, "calcul j0 st0 t1 n4 3/1=3/1 tri0 p0 z1 M0>0 debut0: fin0: bons0 L0 compte0"},
      {{"-n", "5", "-p", "1", "-m", "10"}, "calcul j0 st0 t1 n5 1/1=1/1 tri1 p1 z2 M10>9 debut0: fin0: bons0 L0 compte0"},
      {{"-n", "5", "-p2", "--borne", "9"}, "calcul j0 st0 t1 n5 1/1=1/1 tri1 p2 z2 M9>8 debut0: fin0: bons0 L0 compte0"},
      {{"-n", "4", "--debut=2,4,4", "--fin", "2"}, "calcul j0 st0 t1 n4 1/1=1/1 tri1 p0 z1 M0>0 debut1:2,4,4, fin1:2, bons0 L0 compte0"},
      {{"-n", "4", "--debut="}, "calcul j0 st0 t1 n4 1/1=1/1 tri1 p0 z1 M0>0 debut1: fin0: bons0 L0 compte0"},
      {{"-n", "4", "-m", "0", "--threads=2"}, "calcul j2 st0 t1 n4 1/1=1/1 tri1 p0 z1 M0>0 debut0: fin0: bons0 L0 compte0"},
  };
  for (const auto& c : cas) {
    const std::vector<std::string_view> vues(c.args.begin(), c.args.end());
    Options o;
    std::string erreur;
    EXPECT_TRUE(analyser(vues, o, erreur)) << texte(c.args) << erreur;
    EXPECT_EQ(resume(o), c.chaine) << texte(c.args);
  }
}

TEST(Options, HelpListsEveryOptionAndVersionIsTheProjects) {
  const Sortie aide = lancer_avec({"--help"});
  EXPECT_EQ(aide.statut, 0);
  EXPECT_EQ(aide.err, "");
  for (const char* o : {"-t, --type", "-n, --inconnues", "-f, --fraction", "-p, --parite", "--debut", "--fin",
                        "-m, --borne", "-b, --bons", "-k, --toutes", "-c, --compte", "--brut", "--threads", "--status",
                        "--no-status", "-h, --help", "--version", "Exemples"})
    EXPECT_NE(aide.out.find(o), std::string::npos) << o;
  EXPECT_EQ(lancer_avec({"--version"}).out, "unitfrac " UNITFRAC_VERSION "\n");
}

// The run driver's part of a dialogue's output: after the paging question, before the dashes.
std::string tableau_du_dialogue(const std::string& out) {
  const std::size_t fin = out.find(std::string(144, '-'));
  const std::size_t debut = out.rfind("] ?    \t", fin);
  return out.substr(debut + 8, fin - debut - 8);
}

// The grid: the options and the dialogue's answers for the same settings.
std::vector<Cas> grille() {
  struct Selection {
    std::vector<std::string> args;
    const char *parite, *debut, *fin, *borne;  // the answers; debut/fin nullptr: no sequence
  };
  const Selection selections[] = {
      {{}, nullptr, nullptr, nullptr, nullptr},
      {{"-p", "1"}, "1", nullptr, nullptr, "0"},
      {{"-p", "2", "-m", "30"}, "2", nullptr, nullptr, "30"},
      {{"-m", "20"}, "0", nullptr, nullptr, "20"},
      {{"--debut", "3,4"}, "0", "3 4", nullptr, "0"},
      {{"--fin", "2,4", "-m", "25"}, "0", nullptr, "2 4", "25"},
      {{"--debut", "3", "--fin", "2,5"}, "0", "3", "2 5", "0"},
  };
  std::vector<Cas> cas;
  for (const char* type : {"1", "2"})
    for (const int n : {1, 2, 3, 4})
      for (const auto& [p, q] : {std::pair{"1", "1"}, {"2", "3"}, {"6", "6"}, {"1", "2"}})
        for (const auto& sel : selections)
          for (const char* k : {"1", "3"})
            for (const bool bons : {false, true}) {
              const bool un = std::string(p) == q;  // P/Q reduces to 1
              const auto longueur = [](const char* s) { return s == nullptr ? 0 : (std::string(s).size() + 1) / 2; };
              if ((bons && !un) || longueur(sel.debut) > n - 1u || longueur(sel.fin) > n - 1u) continue;
              Cas& c = cas.emplace_back();
              c.args = {"-t", type, "-n", std::to_string(n), "-f", std::string(p) + "/" + q, "-k", k};
              c.args.insert(c.args.end(), sel.args.begin(), sel.args.end());
              if (bons) c.args.push_back("-b");
              // A sequence's answers: none, or its values and a 0 that ends it when it is short.
              const auto sequence = [&](const char* s) {
                return s == nullptr ? std::string(" 0") : std::string(" 1 ") + s + (longueur(s) < n - 1u ? " 0" : "");
              };
              std::string& r = c.chaine;
              r = std::string("0 ") + type + " " + std::to_string(n) + " " + p + " " + q;
              r += sel.parite == nullptr ? std::string(" 0")
                                         : " 1 " + (sel.parite + sequence(sel.debut) + sequence(sel.fin)) + " " + sel.borne;
              if (un) r += bons ? " 1" : " 0";
              r += std::string(" ") + (std::string(k) == "1" ? "0" : "-3") + " 0\n";
            }
  return cas;
}

// The tally of lines of values: "sum count" for each distinct sum, in increasing order.
std::string tally(const std::vector<std::vector<std::string>>& lignes) {
  std::map<mpz_class, long long> t;
  for (const auto& l : lignes) {
    mpz_class somme = 0;
    for (const std::string& v : l) somme += mpz_class(v);
    ++t[somme];
  }
  std::string s;
  for (const auto& [v, k] : t) s += v.get_str() + ' ' + std::to_string(k) + '\n';
  return s;
}

// The option mode writes what the dialogue writes for the same answers. The plain form of the same
// calculation writes the values of the table's lines one line each, separated by one blank, in the
// same order, but the closing line of a partial table when it repeats the line before it; with -b,
// then an empty line and the tally of those lines. The count with -b writes the count and the
// tally of every solution (the plain form's with -k 1). The report's tally is that of the table's
// lines.
TEST(Options, OneCalculationWritesTheTableOfTheDialogueAndThePlainFormItsSolutions) {
  std::vector<Cas> cas = grille();
  EXPECT_GT(cas.size(), 500u);
  // The last unknown passes 2^63 and 2^86, with the tally past 2^64.
  for (const char* k : {"1", "2"})
    cas.push_back({{"-n", "8", "--debut", "2,3,7,43,1807,3263460", "--fin", "2,3,7,43,1807,3263443", "-b", "-k", k}, ""});
  for (const Cas& c : cas) {
    const Sortie s = lancer_avec(c.args);
    EXPECT_EQ(s.statut, 0) << texte(c.args) << s.err;
    if (!c.chaine.empty()) {
      std::istringstream in(c.chaine);
      std::ostringstream dialogue;
      ASSERT_EQ(programme(in, dialogue), 1) << c.chaine;
      EXPECT_EQ(s.out, tableau_du_dialogue(dialogue.str())) << texte(c.args) << "\n" << c.chaine;
    }
    // The table's lines: "\t  " number "  :   " then each value followed by "  \t".
    std::vector<std::vector<std::string>> tableau, brut;
    std::istringstream lignes(s.out);
    std::string numero_avant;
    for (std::string l; std::getline(lignes, l);) {
      const std::size_t deux_points = l.find("  :   ");
      if (!l.starts_with("\t  ") || deux_points == std::string::npos) continue;
      std::vector<std::string> valeurs;
      for (std::size_t a = deux_points + 6, b; (b = l.find("  \t", a)) != std::string::npos; a = b + 3)
        valeurs.push_back(l.substr(a, b - a));
      tableau.push_back(valeurs);
      const std::string numero = l.substr(3, deux_points - 3);
      if (numero != numero_avant) brut.push_back(valeurs);
      numero_avant = numero;
    }
    const bool bons = std::find(c.args.begin(), c.args.end(), "-b") != c.args.end();
    std::string attendu;
    for (const auto& v : brut) {
      for (std::size_t a = 0; a < v.size(); ++a) attendu += (a ? " " : "") + v[a];
      attendu += '\n';
    }
    if (bons) attendu += '\n' + tally(brut);
    std::vector<std::string> args = c.args;
    args.push_back("--brut");
    EXPECT_EQ(lancer_avec(args).out, attendu) << texte(args);
    if (!bons) continue;
    // The report's entries ": value[count]  ".
    std::string rapport;
    const std::size_t debut = s.out.find("d'occurences  ");
    ASSERT_NE(debut, std::string::npos) << texte(c.args);
    std::istringstream entrees(s.out.substr(debut + 14, s.out.find('\n', debut) - debut - 14));
    for (std::string e; std::getline(entrees, e, ']');)
      if (const std::size_t a = e.find(": "), b = e.find('['); b != std::string::npos)
        rapport += e.substr(a + 2, b - a - 2) + ' ' + e.substr(b + 1) + '\n';
    EXPECT_EQ(rapport, tally(tableau)) << texte(c.args);
    const auto k = std::find(args.begin(), args.end(), "-k");
    if (*(k + 1) != "1") continue;
    *k = "-c";
    args.erase(k + 1);
    EXPECT_EQ(lancer_avec(args).out, std::to_string(brut.size()) + "\n\n" + tally(brut)) << texte(args);
  }
}

// The counts for P/Q = 1: OEIS A002966 (type 1) and A006585 (distinct unknowns, type 2); one
// number on one line.
TEST(Options, TheCountIsTheNumberOfSolutionsOnOneLine) {
  for (const auto& [type, n, total] : {std::tuple{"1", "4", "14\n"}, {"1", "7", "294314\n"}, {"2", "7", "245765\n"}}) {
    const Sortie s = lancer_avec({"-t", type, "-n", n, "--compte"});
    EXPECT_EQ(s.statut, 0);
    EXPECT_EQ(s.out, total) << type << " " << n;
  }
}

// Whole runs of the executable under bash: exit status and standard error.
TEST(Programme, WriteErrorsEndWithStatus4AndAClosedPipeQuietly) {
  const std::string exe = UNITFRAC_EXE;
  const std::string dossier = dossier_propre();
  // The command, its status, the expected start of standard error ("" for none).
  const struct { std::string commande; int statut; std::string err; } cas[] = {
      {exe + " -n 4 >/dev/full", 4, "unitfrac: echec d'ecriture sur la sortie standard (plus de place"},
      {"printf '0 1 4 1 1 0 0 0 0\\n' | " + exe + " >/dev/full", 4, "unitfrac: echec d'ecriture"},
      // A listing of two minutes stops at its first failed block.
      {"timeout 60 " + exe + " -n 8 >/dev/full", 4, "unitfrac: echec d'ecriture"},
      {exe + " -n 7 | head -c 10 >/dev/null; exit ${PIPESTATUS[0]}", 128 + SIGPIPE, ""},
      {"trap '' PIPE; " + exe + " -n 7 | head -c 10 >/dev/null; exit ${PIPESTATUS[0]}", 4, ""},
      {exe + " --nope >/dev/null", 2, "unitfrac: option inconnue '--nope'"},
      // The most threads allowed, and a deep search on two: the answer and status 0.
      {exe + " -n 7 --threads 1024 -c | grep -qx 294314", 0, ""},
      {exe + " -n 100000 -f 99999 -c --threads 2 | grep -qx 1", 0, ""},
  };
  for (const auto& c : cas) {
    std::ofstream(dossier + "/commande.sh") << c.commande << '\n';
    const int w = std::system(("bash '" + dossier + "/commande.sh' 2>'" + dossier + "/err'").c_str());
    const std::string err = lire_fichier(dossier + "/err");
    ASSERT_TRUE(WIFEXITED(w)) << c.commande;
    EXPECT_EQ(WEXITSTATUS(w), c.statut) << c.commande;
    EXPECT_EQ(err.substr(0, c.err.size()), c.err) << c.commande;
    EXPECT_EQ(err.empty() ? 0 : err.find('\n') + 1, err.size()) << c.commande << ": one line at most";
  }
}

}  // namespace
}  // namespace unitfrac
