// Tests of the watch on long searches: the count of the work left against the steps the search
// really takes, the progress line in each of its forms, the program at pseudo-terminals 40, 80 and
// 120 columns wide (the line keeps the time left, and Ctrl-C leaves the summary alone on the
// screen), and Ctrl-C during a count and during a listing (what was written is the start of the
// whole output, the summary names the count and the last solution, status 130).
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/puits.hpp"
#include "suivi/veille.hpp"
#include "tests/engine/outils.hpp"

namespace unitfrac {
namespace {

using namespace std::chrono_literals;

TEST(DureeLisible, ReadsAtAGlance) {
  const std::pair<double, const char*> cas[] = {{0.4, "0 s"},         {59, "59 s"},
                                                {83, "1 min 23 s"},   {3600, "1 h 00 min"},
                                                {7500, "2 h 05 min"}, {3 * 86400.0, "3 jours"},
                                                {5.7e7, "1,8 an"},    {4e9, "127 ans"}};
  for (const auto& [s, t] : cas) EXPECT_EQ(duree_lisible(s), t) << s;
}

// The steps the search takes at depth n - 2, from its start to its end.
long long feuilles(const Moteur& depart) {
  Moteur m = depart;
  Compteur c;
  m.courir(c);
  return m.feuilles() - depart.feuilles();
}

TEST(Estimation, CountsTheStepsOfSmallSearchesAndConvergesWhereItMeasures) {
  struct Cas {
    int type, n;
    long long P, Q;
    int parite;
    long long M;
  };
  const Cas grille[] = {{1, 5, 1, 1, 0, 0}, {2, 6, 1, 1, 0, 0},  {1, 7, 1, 1, 0, 0},
                        {2, 7, 1, 1, 0, 0}, {1, 6, 3, 7, 0, 0},  {1, 7, 1, 1, 1, 0},
                        {2, 7, 1, 1, 0, 500}, {1, 6, 2, 3, 2, 0}};
  for (const Cas& c : grille) {
    Moteur m(test::reglages(c.type, c.n, c.P, c.Q, c.parite, c.M));
    m.placer_premiere();  // the search starts from x1 at its bound, as with the selections
    const double vrai = static_cast<double>(feuilles(m));
    Estimation exacte(m);
    while (!exacte.travailler(10ms)) {
    }
    EXPECT_TRUE(exacte.exacte());
    // Counted from the bounds: a few prefixes the search skips (an exact bound) are counted.
    EXPECT_NEAR(exacte.feuilles(), vrai, 0.01 * vrai + 2) << c.type << ' ' << c.n << ' ' << c.P << '/' << c.Q;

    if (c.n < 7) continue;
    Estimation mesuree(m, 20);  // few prefixes listed: the rest is measured by descents
    mesuree.travailler(300ms);
    EXPECT_FALSE(mesuree.exacte());
    EXPECT_NEAR(mesuree.feuilles(), vrai, 0.15 * vrai) << c.type << ' ' << c.n;
  }
}

TEST(Estimation, CountsFromAStateInTheMiddleOfTheSearch) {
  Moteur m(test::reglages(1, 7, 1, 1));
  Compteur c;
  const int sortie = -1;
  m.courir_jusqua(c, sortie, 2000, [] { return false; });  // 2000 steps in
  ASSERT_GE(m.profondeur(), 0);
  Estimation e(m);
  while (!e.travailler(10ms)) {
  }
  const double vrai = static_cast<double>(feuilles(m));
  EXPECT_NEAR(e.feuilles(), vrai, 0.01 * vrai + 2);
}

// The line in each of its forms, with the silence and the periods cut short.
TEST(Veille, WritesItsLineInPlaceOrAsPlainLinesAndErasesItBeforeOutput) {
  Moteur m(test::reglages(1, 5, 1, 1));
  const Progres p{12, 0, {"2", "3"}};
  for (const auto ligne : {Veille::Ligne::terminal, Veille::Ligne::lignes, Veille::Ligne::aucune}) {
    std::ostringstream err;
    Veille v(err, ligne, false);
    v.silence = v.periode_terminal = v.periode_lignes = 0ms;
    v.debut(m);
    if (v.due()) v.montrer(p);
    v.avant_sortie();
    v.fin();
    const std::string t = err.str();
    if (ligne == Veille::Ligne::aucune) {
      EXPECT_EQ(t, "");
      continue;
    }
    const std::string texte = "unitfrac: estimation en cours ; 0 s, 12 solution(s) ; en x1 = 2, x2 = 3";
    if (ligne == Veille::Ligne::terminal)
      EXPECT_EQ(t, "\r" + texte + "\033[K\r\033[K");
    else
      EXPECT_EQ(t, texte + "\n");
  }
}

// ---- The program itself -----------------------------------------------------------------------

struct Execution {
  std::string sortie, erreurs;
  int statut = -1;  // exit status, or 128 + signal
};

std::string lire_tout(int fd) {
  std::string s;
  char buf[1 << 16];
  for (ssize_t k; (k = read(fd, buf, sizeof buf)) > 0;) s.append(buf, static_cast<std::size_t>(k));
  return s;
}

int statut(int w) { return WIFEXITED(w) ? WEXITSTATUS(w) : 128 + WTERMSIG(w); }

// The program with `args`, its standard input from `entree` (nothing when empty), its standard
// output into a file, standard error into a pipe or, with `terminal`, a pseudo-terminal. With
// `interrompre`, SIGINT once the search is surely under way: 64 KB of output written, or a line of
// --status on standard error (no fixed delay: the machine may be busy).
// `signal`: sent once the search has written something (0: none).
Execution executer(const std::vector<std::string>& args, int signal = 0, const std::string& entree = "",
                   bool terminal = false) {
  char chemin[] = "/tmp/unitfrac_suiviXXXXXX";
  const int sortie = mkstemp(chemin);
  int err[2];
  if (terminal) {
    EXPECT_EQ(openpty(&err[0], &err[1], nullptr, nullptr, nullptr), 0);
  } else {
    EXPECT_EQ(pipe(err), 0);
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(sortie, 1);
    dup2(err[1], 2);
    close(err[0]);
    setenv("TERM", "xterm", 1);
    const int rien = open(entree.empty() ? "/dev/null" : entree.c_str(), O_RDONLY);
    dup2(rien, 0);
    std::vector<char*> argv{const_cast<char*>(UNITFRAC_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(UNITFRAC_EXE, argv.data());
    _exit(127);
  }
  close(err[1]);
  Execution e;
  char buf[1 << 16];
  for (bool envoye = signal == 0;;) {
    pollfd p{err[0], POLLIN, 0};
    if (poll(&p, 1, 50) < 0) break;
    if ((p.revents & (POLLIN | POLLHUP)) != 0) {
      const ssize_t k = read(err[0], buf, sizeof buf);
      if (k <= 0) break;
      e.erreurs.append(buf, static_cast<std::size_t>(k));
    }
    struct stat st {};
    if (!envoye && fstat(sortie, &st) == 0 && (st.st_size >= (1 << 16) || e.erreurs.find("unitfrac: ") != std::string::npos)) {
      kill(pid, signal);
      envoye = true;
    }
  }
  close(err[0]);
  int w = 0;
  waitpid(pid, &w, 0);
  e.statut = statut(w);
  lseek(sortie, 0, SEEK_SET);
  e.sortie = lire_tout(sortie);
  close(sortie);
  unlink(chemin);
  return e;
}

// What a terminal `largeur` columns wide shows of `brut`: a character past the last column goes to
// the next row, "\r" back to the start of the row, "\033[K" clears to its end.
std::string ecran(const std::string& brut, std::size_t largeur) {
  std::vector<std::string> lignes(1);
  std::size_t col = 0;
  for (std::size_t k = 0; k < brut.size(); ++k) {
    const char c = brut[k];
    if (c == '\r') {
      col = 0;
    } else if (c == '\n') {
      lignes.emplace_back();
      col = 0;
    } else if (brut.compare(k, 3, "\033[K") == 0) {
      lignes.back().resize(std::min(lignes.back().size(), col));
      k += 2;
    } else {
      if (col == largeur) {
        lignes.emplace_back();
        col = 0;
      }
      std::string& l = lignes.back();
      if (col < l.size()) l[col] = c; else l.push_back(c);
      ++col;
    }
  }
  std::string s;
  for (std::size_t k = 0; k < lignes.size(); ++k) s += lignes[k] + (k + 1 < lignes.size() ? "\n" : "");
  return s;
}

const std::vector<std::string> kCompteLong = {"-n", "8", "--debut", "2,4,5", "--fin", "2,4,5", "--compte"};

// A long count at a terminal of each width, Ctrl-C typed once the time left shows: the line, cut
// to the width, kept the share done and the time left; afterwards the screen holds the summary
// alone (not the line, not the "^C" the terminal echoes).
class Largeur : public testing::TestWithParam<int> {};

TEST_P(Largeur, TheLineKeepsTheTimeLeftAndCtrlCLeavesOnlyTheSummary) {
  const int largeur = GetParam();
  winsize w{};
  w.ws_col = static_cast<unsigned short>(largeur);
  w.ws_row = 24;
  int maitre = -1;
  const pid_t pid = forkpty(&maitre, nullptr, nullptr, &w);
  if (pid == 0) {
    setenv("TERM", "xterm", 1);
    execl(UNITFRAC_EXE, UNITFRAC_EXE, "-n", "8", "--compte", static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  std::string brut;
  char buf[4096];
  bool tape = false;
  const auto limite = std::chrono::steady_clock::now() + 120s;
  for (;;) {
    pollfd p{maitre, POLLIN, 0};
    if (poll(&p, 1, 1000) < 0) break;
    if ((p.revents & (POLLIN | POLLHUP)) != 0) {
      const ssize_t k = read(maitre, buf, sizeof buf);
      if (k <= 0) break;
      brut.append(buf, static_cast<std::size_t>(k));
    }
    if (!tape && (brut.find(", reste ") != std::string::npos || std::chrono::steady_clock::now() > limite)) {
      ASSERT_EQ(write(maitre, "\003", 1), 1);  // Ctrl-C, as typed
      tape = true;
    }
  }
  close(maitre);
  int etat = 0;
  waitpid(pid, &etat, 0);
  EXPECT_EQ(statut(etat), 130);
  // A line written: "\runitfrac: NN %, reste <time> ; ..." cut to the width less 3, the time whole.
  const std::size_t reste = brut.find(", reste ");
  ASSERT_NE(reste, std::string::npos) << brut;
  const std::size_t debut = brut.rfind('\r', reste) + 1;
  // It ends at its "\033[K", or where the terminal echoed the "^C" typed after it.
  const std::string ligne = brut.substr(debut, std::min(brut.find("\033[K", reste), brut.find("^C", reste)) - debut);
  EXPECT_TRUE(ligne.starts_with("unitfrac: ")) << ligne;
  EXPECT_LE(ligne.size(), static_cast<std::size_t>(largeur - 3)) << ligne;
  EXPECT_NE(ligne.find(" ;", reste - debut), std::string::npos) << ligne;
  const std::string vu = ecran(brut, static_cast<std::size_t>(largeur));
  EXPECT_TRUE(vu.starts_with("unitfrac: recherche interrompue apres ")) << vu;
  EXPECT_EQ(vu.find("^C"), std::string::npos) << vu;
  EXPECT_EQ(vu.find("reste"), std::string::npos) << vu;
}

INSTANTIATE_TEST_SUITE_P(Terminal, Largeur, testing::Values(40, 80, 120));

TEST(Terminal, EveryTranscriptGivesTheSameOutputWithStandardErrorATerminal) {
  std::vector<std::filesystem::path> cas;
  for (const auto& e : std::filesystem::recursive_directory_iterator(UNITFRAC_TRANSCRIPTS))
    if (e.path().extension() == ".in") cas.push_back(e.path());
  ASSERT_GT(cas.size(), 50u);
  for (const auto& in : cas) {
    auto out = in, statut = in;
    out.replace_extension(".out");
    statut.replace_extension(".status");
    const Execution e = executer({}, 0, in, true);
    std::ifstream f(out, std::ios::binary);
    EXPECT_EQ(e.sortie, std::string(std::istreambuf_iterator<char>(f), {})) << in;
    int attendu = 1;
    if (std::filesystem::exists(statut)) std::ifstream(statut) >> attendu;
    EXPECT_EQ(e.statut, attendu) << in;
  }
}

TEST(Terminal, PlainLinesWithStatusAndNothingWithoutATerminal) {
  std::vector<std::string> avec = kCompteLong;
  avec.push_back("--status");
  const Execution e = executer(avec);
  EXPECT_EQ(e.sortie, "14004302\n");
  EXPECT_NE(e.erreurs.find("unitfrac: "), std::string::npos);
  EXPECT_EQ(e.erreurs.find_first_of("\r\033"), std::string::npos);
  EXPECT_EQ(e.erreurs.back(), '\n');

  const Execution sans = executer({"-n", "7", "--compte"});
  EXPECT_EQ(sans.sortie, "294314\n");
  EXPECT_EQ(sans.erreurs, "");
}

// The summary after Ctrl-C: the count and the last solution.
struct Resume {
  long long nombre = -1;
  std::vector<std::string> derniere;
};

Resume lire_resume(const std::string& erreurs) {
  Resume r;
  const std::size_t a = erreurs.find(", ", erreurs.find("interrompue"));
  if (a == std::string::npos) return r;
  std::istringstream s(erreurs.substr(a + 2));
  s >> r.nombre;
  const std::size_t b = erreurs.find("la derniere :");
  if (b == std::string::npos) return r;
  std::istringstream v(erreurs.substr(b + 13, erreurs.find(".\n", b) - b - 13));
  for (std::string x; v >> x;) r.derniere.push_back(x);
  return r;
}

// The first n - 1 values, comma-separated, for --fin.
std::string prefixe(const std::vector<std::string>& x) {
  std::string s;
  for (std::size_t k = 0; k + 1 < x.size(); ++k) s += (k ? "," : "") + x[k];
  return s;
}

// Ctrl-C, SIGTERM (a time limit, kill, timeout) and SIGHUP (a closed terminal) alike: the status
// is 128 + the signal.
constexpr struct {
  int signal;
  const char* threads;
} kSignaux[] = {{SIGINT, "1"}, {SIGINT, "2"}, {SIGTERM, "2"}, {SIGHUP, "1"}};

TEST(Interruption, DuringACountTheSummaryNamesTheCountAndTheLastSolution) {
  for (const auto& [signal, threads] : kSignaux) {
    const Execution e = executer({"-n", "8", "--compte", "--status", "--threads", threads}, signal);
    EXPECT_EQ(e.statut, 128 + signal) << e.erreurs;
    EXPECT_EQ(e.sortie, "");
    const Resume r = lire_resume(e.erreurs);
    ASSERT_GT(r.nombre, 0) << e.erreurs;
    ASSERT_EQ(r.derniere.size(), 8u) << e.erreurs;
    EXPECT_NE(e.erreurs.find("--debut " + prefixe(r.derniere)), std::string::npos) << e.erreurs;
    // The solutions down to the last one found, counted again: the same number.
    const Execution jusqua = executer({"-n", "8", "--compte", "--fin", prefixe(r.derniere)});
    EXPECT_EQ(jusqua.sortie, std::to_string(r.nombre) + "\n") << threads << " threads";
  }
}

TEST(Interruption, DuringAListingTheLinesWrittenStartTheWholeListing) {
  for (const auto& [signal, threads] : kSignaux) {
    const Execution e = executer({"-n", "8", "--threads", threads}, signal);
    EXPECT_EQ(e.statut, 128 + signal) << e.erreurs;
    const Resume r = lire_resume(e.erreurs);
    ASSERT_EQ(r.derniere.size(), 8u) << e.erreurs;
    const Execution jusqua = executer({"-n", "8", "--fin", prefixe(r.derniere)});
    // The listing down to the last solution found starts with the same heading and lines; its own
    // closing lines and report follow.
    const std::size_t fin = e.sortie.rfind('\n') + 1;
    ASSERT_GT(fin, 0u);
    EXPECT_EQ(jusqua.sortie.substr(0, fin), e.sortie.substr(0, fin)) << threads << " threads";
    EXPECT_NE(jusqua.sortie.find("\t  " + std::to_string(r.nombre) + "  :   "), std::string::npos);
    EXPECT_EQ(jusqua.sortie.find("\t  " + std::to_string(r.nombre + 1) + "  :   "), std::string::npos);
  }
}

}  // namespace
}  // namespace unitfrac
