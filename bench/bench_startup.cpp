// The programs as a user starts them: each run is a fresh process on a generated book, timed
// from start to exit, with its peak memory (the maximum resident set that the kernel reports
// for the child, as /usr/bin/time -v shows it).
//
// - kaede list BOOK --find TEXT --all-fields (open, sort, one find in all fields, exit) on the
//   100,000-entry book, and the Python script doing the same work on the same file;
// - KaedeAddress /D FOLDER /Q (start, open the folder's book, show the window, quit) on the
//   100,000-entry book, a 1,000-entry book and the 20-entry sample book;
// - kaede list on books of 100 MB that are not books (hostile input).
//
// KAEDE_BENCH_ENTRIES makes the big book smaller (for a quick run), KAEDE_BENCH_HOSTILE_MB the
// books that are not books; KAEDE_BENCH_NO_PYTHON
// leaves the script out; KAEDE_BENCH_NO_WINDOW leaves the window program out; KAEDE_BENCH_KEEP
// keeps the books (for profiling the programs on them).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BookGenerator.h"
#include "Files.h"
#include "PersonLists.h"

extern char** environ;

using namespace kaede;
namespace fs = std::filesystem;

namespace {

const int kBigEntries = std::getenv("KAEDE_BENCH_ENTRIES") ? std::atoi(std::getenv("KAEDE_BENCH_ENTRIES")) : 100000;
const size_t kHostileMb = std::getenv("KAEDE_BENCH_HOSTILE_MB") ? std::strtoul(std::getenv("KAEDE_BENCH_HOSTILE_MB"), nullptr, 10) : 100;

struct TRun {
  double Seconds = 0;
  double PeakMb = 0;
  int Status = -1;
};

// Runs a program with the environment of this one plus extra variables, its output thrown
// away; the wall time is taken around spawn and wait.
TRun RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  for (const std::string& x : extraEnv) {
    std::string key = x.substr(0, x.find('=') + 1);
    std::erase_if(env, [&](const std::string& v) { return v.compare(0, key.size(), key) == 0; });
    env.push_back(x);
  }
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  TRun run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return run;
  }
  int status = 0;
  struct rusage ru {};
  ::wait4(pid, &status, 0, &ru);
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakMb = static_cast<double>(ru.ru_maxrss) / 1024.0;
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// The folder of the generated books: big/, personal/ and sample/, one book each, written in
// the book's own order as the program writes every book; settings/ keeps the window
// program's settings away from the user's. The books are made by a child process: a child
// started later inherits the peak memory of this process at its start, so this process
// stays small.
const std::string& Work() {
  static const std::string dir = [] {
    std::string d = FromOsPath((fs::temp_directory_path() / ("kaede-bench-startup-" + std::to_string(::getpid()))).string());
    pid_t pid = ::fork();
    if (pid != 0) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the books could not be made\n");
        std::exit(1);
      }
      return d;
    }
    auto make = [&](const std::string& sub, int entries) {
      fs::create_directories(OsPath(d + "/" + sub));
      std::string book = d + "/" + sub + "/" + SJ("住所録") + ".kad";
      WriteFileAtomic(book, bench::GenerateBookText(entries));
      TPersonList list;
      list.Open(book, false);
      list.SaveToFile("");
    };
    make("big", kBigEntries);
    make("personal", 1000);
    fs::create_directories(OsPath(d + "/sample"));
    fs::copy_file(KAEDE_SAMPLE_BOOK, OsPath(d + "/sample/" + SJ("住所録") + ".kad"));
    fs::create_directories(OsPath(d + "/settings"));
    // Books that are not books, each 100 MB: one line of commas, nothing but line ends, and
    // lines of 56 KB whose list fields hold a short line for every 8 bytes.
    fs::create_directories(OsPath(d + "/hostile"));
    const size_t kHostile = kHostileMb << 20;
    WriteFileAtomic(d + "/hostile/commas.kad", std::string(kHostile, ','));
    WriteFileAtomic(d + "/hostile/newlines.kad", std::string(kHostile, '\n'));
    std::string bars = "x,y,";
    while (bars.size() < 56000) bars += "1234567|";  // a list line for every 8 bytes
    bars += "\r\n";
    std::string barBook;
    while (barBook.size() + bars.size() <= kHostile) barBook += bars;
    WriteFileAtomic(d + "/hostile/bars.kad", barBook);
    ::_exit(0);
  }();
  return dir;
}

std::string BigBook() { return OsPath(Work() + "/big/" + SJ("住所録") + ".kad"); }

// The median wall time of each benchmark, for the comparison printed at the end.
std::map<std::string, double>& Medians() {
  static std::map<std::string, double> m;
  return m;
}

void Report(benchmark::State& state, const std::string& key, const std::vector<TRun>& runs) {
  std::vector<double> t, mb;
  for (const TRun& r : runs) {
    t.push_back(r.Seconds * 1000);
    mb.push_back(r.PeakMb);
  }
  std::sort(t.begin(), t.end());
  std::sort(mb.begin(), mb.end());
  if (t.empty()) return;
  state.counters["min_ms"] = t.front();
  state.counters["median_ms"] = t[t.size() / 2];
  state.counters["max_ms"] = t.back();
  state.counters["peak_MB"] = mb[mb.size() / 2];
  Medians()[key] = t[t.size() / 2];
}

void Measure(benchmark::State& state, const std::string& key, const std::vector<std::string>& args,
             const std::vector<std::string>& env = {}, int expectedStatus = 0) {
  std::vector<TRun> runs;
  for (auto _ : state) {
    TRun r = RunProcess(args, env);
    if (r.Status != expectedStatus) {
      state.SkipWithError(("exit status " + std::to_string(r.Status) + " of " + args[0]).c_str());
      break;
    }
    state.SetIterationTime(r.Seconds);
    runs.push_back(r);
  }
  Report(state, key, runs);
}

void BM_ListFindAllFields(benchmark::State& state) {
  Measure(state, "list", {KAEDE_CLI, "list", BigBook(), "--find", "存在しない", "--all-fields"});
  state.counters["entries"] = kBigEntries;
}

void BM_PythonSameWork(benchmark::State& state) {
  if (std::getenv("KAEDE_BENCH_NO_PYTHON")) {
    state.SkipWithError("KAEDE_BENCH_NO_PYTHON");
    return;
  }
  Measure(state, "python", {"/usr/bin/python3", std::string(KAEDE_SOURCE_DIR) + "/bench/scripts/compare_addressbook.py", BigBook()});
}

// The window program started on the book of a folder; with /Q it shows the window, lets it
// paint and quits. Without a display it draws offscreen.
void WindowRun(benchmark::State& state, const char* folder) {
  if (std::getenv("KAEDE_BENCH_NO_WINDOW")) {
    state.SkipWithError("KAEDE_BENCH_NO_WINDOW");
    return;
  }
  // Settings of their own for each folder: the book opened at start is the one of the data
  // folder in the settings (a /D switch takes effect after it), so one run first stores it.
  std::string settings = Work() + "/settings/" + folder;
  fs::create_directories(OsPath(settings));
  std::vector<std::string> env{"XDG_CONFIG_HOME=" + OsPath(settings)};
  if (!std::getenv("DISPLAY")) env.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<std::string> args{KAEDE_WINDOW, "/D" + OsPath(Work() + "/" + folder + "/"), "/Q"};
  RunProcess(args, env);
  Measure(state, folder, args, env);
}

void BM_WindowBigBook(benchmark::State& state) { WindowRun(state, "big"); }
void BM_WindowPersonalBook(benchmark::State& state) { WindowRun(state, "personal"); }
void BM_WindowSampleBook(benchmark::State& state) { WindowRun(state, "sample"); }

// kaede list on the books that are not books: each ends in an error naming the line (the
// line of commas and the book of line ends) or reads to the end and lists every entry (the
// lines of short list lines), in time and memory in proportion to the file.
void Hostile(benchmark::State& state, const char* name, int expectedStatus) {
  Measure(state, name, {KAEDE_CLI, "list", OsPath(Work() + "/hostile/" + name), "--find", "x", "--all-fields"}, {},
          expectedStatus);
}
void BM_HostileCommas(benchmark::State& state) { Hostile(state, "commas.kad", 1); }
void BM_HostileNewlines(benchmark::State& state) { Hostile(state, "newlines.kad", 1); }
void BM_HostileBars(benchmark::State& state) { Hostile(state, "bars.kad", 0); }

BENCHMARK(BM_ListFindAllFields)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PythonSameWork)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowBigBook)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPersonalBook)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowSampleBook)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileCommas)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileNewlines)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileBars)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("books in %s; the big one has %d entries, %.1f MB\n", OsPath(Work()).c_str(), kBigEntries,
              static_cast<double>(fs::file_size(BigBook())) / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  auto& m = Medians();
  auto list = m.find("list");
  auto python = m.find("python");
  if (list != m.end() && python != m.end() && list->second > 0)
    std::printf("kaede list against the Python script (medians): %.1f times as fast\n", python->second / list->second);
  if (!std::getenv("KAEDE_BENCH_KEEP")) fs::remove_all(OsPath(Work()));
  return 0;
}
