// Whole-dialogue transcript tests: each tests/transcripts/<theme>/<case>.in is fed as standard input
// to the real program, whose standard output must equal <case>.out byte for byte and whose exit
// status must equal the number in <case>.status (1 when that file is absent).
// The expected files are written by tests/transcripts/make_transcripts.py.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// One transcript: the input file and its test name.
struct Transcript {
  fs::path input;    // <case>.in; <case>.out and <case>.status sit beside it
  std::string name;  // the path below the transcript directory, sanitized to [A-Za-z0-9_]
};

// gtest prints parameters in failure messages; show the input path.
void PrintTo(const Transcript& t, std::ostream* os) { *os << t.input.string(); }

std::string sanitize(const std::string& s) {
  std::string out;
  for (const char c : s) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    out += ok ? c : '_';
  }
  return out;
}

// Every *.in file below the transcript directory, sorted by path so the order is stable.
std::vector<Transcript> list_transcripts() {
  std::vector<Transcript> found;
  const fs::path root(UNITFRAC_TRANSCRIPTS);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return found;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".in") continue;
    fs::path rel = fs::relative(entry.path(), root);
    rel.replace_extension();
    found.push_back({entry.path(), sanitize(rel.generic_string())});
  }
  std::sort(found.begin(), found.end(),
            [](const Transcript& a, const Transcript& b) { return a.input < b.input; });
  return found;
}

// Listed at static-initialization time, before gtest registers the parameterized tests.
const std::vector<Transcript> all_transcripts = list_transcripts();

bool read_file(const fs::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// What one run of the program gave.
struct RunResult {
  std::string out;        // everything written to standard output
  int status = -1;        // exit status, when it exited
  std::string failure;    // non-empty when the run itself went wrong (spawn, signal, timeout)
};

// Runs the program with `input` as standard input, standard output read through a pipe and
// standard error sent to /dev/null. A run that outlives `limit` is killed.
RunResult run_program(const fs::path& input, std::chrono::seconds limit) {
  RunResult run;
  int pipefd[2];
  if (pipe(pipefd) != 0) {
    run.failure = "pipe() failed";
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipefd[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipefd[0]);
  posix_spawn_file_actions_addclose(&actions, pipefd[1]);

  const std::string exe = UNITFRAC_EXE;
  char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipefd[1]);
  if (rc != 0) {
    close(pipefd[0]);
    run.failure = "posix_spawn(" + exe + ") failed with error " + std::to_string(rc);
    return run;
  }

  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool timed_out = false;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      break;
    }
    pollfd p{pipefd[0], POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timed_out = ready == 0;
      if (!timed_out) run.failure = "poll() failed";
      break;
    }
    const ssize_t got = read(pipefd[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // end of file: the program closed its standard output
    run.out.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipefd[0]);
  if (timed_out) {
    kill(pid, SIGKILL);
    run.failure = "no end after " + std::to_string(limit.count()) + " s; killed";
  }

  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wstatus)) {
    run.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus) && run.failure.empty()) {
    run.failure = "killed by signal " + std::to_string(WTERMSIG(wstatus));
  }
  return run;
}

// The text with tabs, newlines and other control bytes made visible.
std::string escape(const std::string& s) {
  std::string out;
  for (const unsigned char c : s) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          static const char hex[] = "0123456789abcdef";
          out += "\\x";
          out += hex[c >> 4];
          out += hex[c & 0xf];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

// Where two outputs first differ, with the surrounding bytes of each.
std::string describe_difference(const std::string& expected, const std::string& actual) {
  const std::size_t common = std::min(expected.size(), actual.size());
  std::size_t at = 0;
  while (at < common && expected[at] == actual[at]) ++at;
  constexpr std::size_t before = 80;
  constexpr std::size_t after = 120;
  const std::size_t from = at > before ? at - before : 0;
  std::ostringstream msg;
  msg << "standard output differs at byte " << at << " (expected " << expected.size()
      << " bytes, got " << actual.size() << ")\n"
      << "  common part : ..." << escape(expected.substr(from, at - from)) << "\n"
      << "  expected    : " << (at < expected.size() ? escape(expected.substr(at, after)) : "<end>")
      << "\n"
      << "  actual      : " << (at < actual.size() ? escape(actual.substr(at, after)) : "<end>")
      << "\n";
  return msg.str();
}

class TranscriptTest : public ::testing::TestWithParam<Transcript> {};

TEST_P(TranscriptTest, OutputAndStatusMatch) {
  const Transcript& t = GetParam();
  fs::path out_path = t.input;
  out_path.replace_extension(".out");
  fs::path status_path = t.input;
  status_path.replace_extension(".status");

  std::string expected;
  ASSERT_TRUE(read_file(out_path, expected)) << "cannot read " << out_path;
  int expected_status = 1;
  std::string status_text;
  if (read_file(status_path, status_text)) {
    std::istringstream parse(status_text);
    ASSERT_TRUE(parse >> expected_status) << "no number in " << status_path;
  }

  const RunResult run = run_program(t.input, std::chrono::seconds(60));
  ASSERT_TRUE(run.failure.empty()) << run.failure;
  EXPECT_TRUE(run.out == expected) << describe_difference(expected, run.out);
  EXPECT_EQ(run.status, expected_status) << "exit status";
}

INSTANTIATE_TEST_SUITE_P(Dialogue, TranscriptTest, ::testing::ValuesIn(all_transcripts),
                         [](const ::testing::TestParamInfo<Transcript>& info) {
                           return info.param.name;
                         });

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TranscriptTest);

// No transcript directory or no case at all would let the suite pass silently.
TEST(TranscriptFiles, AtLeastOneTranscriptIsListed) {
  EXPECT_FALSE(all_transcripts.empty()) << "no *.in file under " << UNITFRAC_TRANSCRIPTS;
}

}  // namespace
