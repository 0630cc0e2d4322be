// What a parallel search needs besides its settings (state/partage.hpp): when to look up between
// two steps, and how to start a thread.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "state/partage.hpp"

namespace unitfrac {

// When a running search looks up between two steps (Ctrl-C, the progress line, splitting its
// work): every `pas` steps, or fewer when steps are slow (a deep search copies a million values
// for each solution), so that it looks up about every 5 ms. `tour()` after each step: true when
// it is time. With n unknowns a step can cost O(n) where the last ones took O(1), so that the
// measure comes too late: never more than 2^20 / n steps between two looks.
class Cadence {
 public:
  Cadence(long long pas, int n) : max_(std::clamp((1LL << 20) / std::max(n, 1), 1LL, std::max(pas, 1LL))) {}
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

}  // namespace unitfrac
