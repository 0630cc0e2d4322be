// How a search is shared among threads. The defaults suit the program; the tests set small values
// so that even tiny searches split, yield and check as often as they can.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <thread>

namespace unitfrac {

// When a running search looks up between two steps (Ctrl-C, the progress line, splitting its
// work): every `pas` steps, or fewer when steps are slow (a deep search copies a million values
// for each solution), so that it looks up about every 5 ms. `tour()` after each step: true when
// it is time.
class Cadence {
 public:
  explicit Cadence(long long pas) : max_(pas) {}
  bool tour() {
    if (--reste_ > 0) return false;
    const auto maintenant = std::chrono::steady_clock::now();
    const double duree = std::chrono::duration<double>(maintenant - dernier_).count();
    dernier_ = maintenant;
    const double voulu = duree > 0 ? static_cast<double>(pas_) * 0.005 / duree : static_cast<double>(max_);
    pas_ = std::clamp(static_cast<long long>(voulu), 1LL, std::min(max_, 2 * pas_));
    reste_ = pas_;
    return true;
  }

 private:
  long long max_, pas_ = 1, reste_ = 1;  // from one step: the first may already be slow
  std::chrono::steady_clock::time_point dernier_ = std::chrono::steady_clock::now();
};

// Starts a thread running f; throws std::system_error when the system gives no more threads. The
// parallel search starts its workers through one, std::thread's by default; a test passes one that
// fails.
using Lanceur = std::function<std::thread(std::function<void()>)>;
inline std::thread lancer_fil(std::function<void()> f) { return std::thread(std::move(f)); }

// The most threads a search may be given: past a few hundred, waking the idle ones costs more
// than they bring (on two cores, 4096 threads make n = 7 twenty times slower than 2).
inline constexpr int fils_maximum = 1024;

struct Parallele {
  int threads = 0;  // workers; 0: one per hardware thread; 1: the search runs in the calling thread alone
  long long pas_echauffement = 1 << 13;  // steps run alone first: most searches end within them
  long long pas_controle = 256;          // steps between two checks of a worker
  // A task gives away the rest of its work when it has run `unite` since it last did, or, when
  // fewer tasks wait than there are workers, `unite_min`.
  std::chrono::microseconds unite{100000}, unite_min{2000};
  std::size_t budget = std::size_t{4} << 20;  // bytes of prepared lines that may wait for the display
  long long seuil_compte = 1 << 14;      // every-K-th display with K at least this: workers count
  std::function<void(long long)> avant_tache;  // tests: a worker calls it before task number k
  // Benchmarks: a worker calls it after running task number k for `duree` (split or not).
  std::function<void(long long, std::chrono::nanoseconds)> apres_tache;
  bool partages_faux = false;  // tests: every split gives away a wrong state, which the merge must catch
  // Tests: told at the end of a parallel search how many tasks it made, and how often the search
  // went on from the end of a task because the next one did not start there.
  std::function<void(long long taches, long long reprises)> bilan;
};

}  // namespace unitfrac
