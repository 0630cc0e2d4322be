// The program run for the tests of the command line: in this process on a list of arguments
// (`lancer_avec`), or as a process of its own (`executer`), stopped by a signal on an event; and
// what a refusal of its arguments or files looks like.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dialogue/lanceur.hpp"

namespace unitfrac {

// What a run gave: the exit status (as a process, 128 + the signal that ended it), standard output
// and standard error (as the pipe or the terminal passed it on).
struct Sortie {
  int statut = -1;
  std::string out, err;
};

inline Sortie lancer_avec(const std::vector<std::string>& args, const std::string& entree = "") {
  const std::vector<std::string_view> vues(args.begin(), args.end());
  std::istringstream in(entree);
  std::ostringstream out, err;
  const int statut = lancer(vues, in, out, err);
  return {statut, out.str(), err.str()};
}

// A refusal: status 2, nothing on standard output, and on standard error one line that holds
// `message`.
inline void verifier_refus(const Sortie& s, const std::string& message) {
  EXPECT_EQ(s.statut, 2) << message;
  EXPECT_EQ(s.out, "") << message;
  EXPECT_NE(s.err.find(message), std::string::npos) << s.err;
  EXPECT_EQ(s.err.find('\n') + 1, s.err.size()) << "one line: " << s.err;
}

// A directory of this test process's own under the temporary one, removed at its end: test
// processes that run at once (ctest -j, the tests of another build) never share a file.
inline std::string dossier_propre() {
  struct Dossier {
    std::string d = testing::TempDir() + "/unitfrac-" + std::to_string(getpid());
    Dossier() { std::filesystem::create_directories(d); }
    ~Dossier() {
      std::error_code e;
      std::filesystem::remove_all(d, e);
    }
  };
  static const Dossier dossier;
  return dossier.d;
}

// The whole content of a file ("" when there is none).
inline std::string lire_fichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The arguments as one line, for failure messages.
inline std::string texte(const std::vector<std::string>& args) {
  std::string t;
  for (const auto& a : args) t += a + ' ';
  return t;
}

// Looked at every few milliseconds with what standard error said so far and the bytes written
// to standard output: true when the awaited event has come.
using Guet = std::function<bool(const std::string& erreurs, long long octets)>;

// The usual event: standard error matches `motif` (when not empty), or 64 KB of output are
// written, so that the search is surely under way.
inline Guet guetter(const std::string& motif) {
  return [motif, re = std::regex(motif)](const std::string& erreurs, long long octets) {
    return octets >= (1 << 16) || (!motif.empty() && std::regex_search(erreurs, re));
  };
}

// The program with `args`, its standard input from the file `entree` (nothing when empty), its
// standard output into a file, standard error into a pipe or, with `largeur` > 0, a pseudo-terminal
// that many columns wide. `signal` (0: none) goes the first time `guet` says so; at a terminal it
// is a Ctrl-C typed. An event, never a fixed delay: the machine may be busy. A run (or a wait for
// the event) of more than 120 s fails the test, and the program is killed.
inline Sortie executer(const std::vector<std::string>& args, int signal = 0, const Guet& guet = nullptr,
                          const std::string& entree = "", int largeur = 0) {
  using namespace std::chrono_literals;
  char chemin[] = "/tmp/unitfrac_testXXXXXX";
  const int sortie = mkstemp(chemin);
  int err[2] = {-1, -1};  // at a terminal, err[0] is its master side
  winsize taille{24, static_cast<unsigned short>(largeur), 0, 0};
  const pid_t pid = largeur > 0 ? forkpty(&err[0], nullptr, nullptr, &taille) : pipe(err) == 0 ? fork() : -1;
  EXPECT_GE(pid, 0);
  if (pid == 0) {
    dup2(sortie, 1);
    if (largeur == 0) dup2(err[1], 2);
    setenv("TERM", "xterm", 1);
    dup2(open(entree.empty() ? "/dev/null" : entree.c_str(), O_RDONLY), 0);
    std::vector<char*> argv{const_cast<char*>(UNITFRAC_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(UNITFRAC_EXE, argv.data());
    _exit(127);
  }
  if (largeur == 0) close(err[1]);
  Sortie e;
  const auto limite = std::chrono::steady_clock::now() + 120s;
  char buf[1 << 16];
  for (bool envoye = signal == 0, tue = false;;) {
    pollfd p{err[0], POLLIN, 0};
    if (poll(&p, 1, 1) < 0) break;
    if ((p.revents & (POLLIN | POLLHUP)) != 0) {
      const ssize_t k = read(err[0], buf, sizeof buf);
      if (k <= 0) break;  // the end of the pipe, or EIO once the terminal has no process left
      e.err.append(buf, static_cast<std::size_t>(k));
    }
    struct stat st {};
    const bool vu = guet && fstat(sortie, &st) == 0 && guet(e.err, st.st_size);
    if (!envoye && vu) {
      if (largeur > 0)
        EXPECT_EQ(write(err[0], "\003", 1), 1);
      else
        kill(pid, signal);
      envoye = true;
    } else if (!tue && std::chrono::steady_clock::now() > limite) {
      ADD_FAILURE() << "the run or the event it waits for took more than 120 s: " << e.err;
      kill(pid, SIGKILL);
      tue = envoye = true;
    }
  }
  close(err[0]);
  int w = 0;
  waitpid(pid, &w, 0);
  e.statut = WIFEXITED(w) ? WEXITSTATUS(w) : 128 + WTERMSIG(w);
  lseek(sortie, 0, SEEK_SET);
  for (ssize_t k; (k = read(sortie, buf, sizeof buf)) > 0;) e.out.append(buf, static_cast<std::size_t>(k));
  close(sortie);
  unlink(chemin);
  return e;
}

}  // namespace unitfrac
