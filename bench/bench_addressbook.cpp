// The address book at full size: a generated book of 100,000 entries is opened (read, parsed
// and sorted), saved, filtered by kana row, searched in all fields and edited with undo. At
// the end the Python comparison script reads and sorts the same file in the same run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BookGenerator.h"
#include "Files.h"
#include "PersonLists.h"

using namespace kaede;

namespace {

// KAEDE_BENCH_ENTRIES makes a smaller book for profiling runs.
const int kEntries = std::getenv("KAEDE_BENCH_ENTRIES") ? std::atoi(std::getenv("KAEDE_BENCH_ENTRIES")) : 100000;

// The generated book, saved once in the book's own order so that a save reproduces it (as
// every book this program writes), and the same entries in generation order (a file that
// some other program wrote, which the open must sort).
const std::string& BookFile() {
  static const std::string file = [] {
    // held for the whole run, so that another program's clean-up of stale work folders
    // leaves it alone; removed at exit
    static TWorkFolder work;
    const std::string& dir = work.Path();
    std::string name = dir + "/bench.kad";
    WriteFileAtomic(name, bench::GenerateBookText(kEntries));
    WriteFileAtomic(dir + "/unsorted.kad", ReadFileBytes(name));
    TPersonList list;
    list.Open(name, false);
    list.SaveToFile("");
    return name;
  }();
  return file;
}

const std::string& UnsortedBookFile() {
  static const std::string file = BookFile().substr(0, BookFile().rfind('/')) + "/unsorted.kad";
  return file;
}

double MaxRssMb() {
  struct rusage ru;
  ::getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// The resident memory of the process now.
double RssMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

TPersonList& LoadedBook() {
  static TPersonList* list = [] {
    auto* l = new TPersonList();
    l->Open(BookFile(), false);
    return l;
  }();
  return *list;
}

// Opens the book again and again; freeing the entries is not timed.
void OpenRepeatedly(benchmark::State& state, const std::string& file) {
  for (auto _ : state) {
    TPersonList list;
    list.Open(file, false);
    benchmark::DoNotOptimize(list.Count());
    state.PauseTiming();
    list.Clear();
    state.ResumeTiming();
  }
}

void BM_Open(benchmark::State& state) {
  OpenRepeatedly(state, BookFile());
  state.counters["entries"] = kEntries;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(OsPath(BookFile()))) / 1e6;
}

void BM_OpenUnsorted(benchmark::State& state) { OpenRepeatedly(state, UnsortedBookFile()); }

void BM_Save(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  std::string out = BookFile() + ".saved.kad";
  for (auto _ : state) list.SaveToFile(out);
  if (ReadFileBytes(out) != ReadFileBytes(BookFile())) state.SkipWithError("the saved book differs from the file read");
  std::filesystem::remove(OsPath(out));
}

void BM_FilterKanaRow(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  int row = 0;
  for (auto _ : state) {
    list.FindMode = pfmKanaRow;
    list.FilterNo(row);
    benchmark::DoNotOptimize(list.Count());
    row = (row + 1) % 10;
  }
  list.ClearFilter(false);
}

void BM_FilterClassify(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  for (auto _ : state) {
    list.FindMode = pfmClassify;
    list.FilterNo(3);
    benchmark::DoNotOptimize(list.Count());
  }
  list.ClearFilter(false);
}

// A text that no entry holds: every entry is tested (the worst case of a find).
void BM_FindAllFields(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  list.FindMode = pfmAllFields;
  list.FindText(SJ("存在しない"), true);  // the first find builds the entries' search texts
  for (auto _ : state) benchmark::DoNotOptimize(list.FindText(SJ("存在しない"), true));
}

void BM_FindAllFieldsFirstTime(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TPersonList list;
    list.Open(BookFile(), false);
    list.FindMode = pfmAllFields;
    state.ResumeTiming();
    benchmark::DoNotOptimize(list.FindText(SJ("存在しない"), true));
    state.PauseTiming();
    list.Clear();
    state.ResumeTiming();
  }
}

void BM_FindName(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  list.FindMode = pfmName;
  for (auto _ : state) benchmark::DoNotOptimize(list.FindText(SJ("存在しない"), true));
}

// One edit of an entry as the editing screen writes it back: a changed copy assigned to the
// entry, recorded for undo (and re-sorted, since the reading changes).
void BM_EditWithUndo(benchmark::State& state) {
  TPersonList& list = LoadedBook();
  TPerson* copy = static_cast<TPerson*>(list.NewItem());
  int n = 0;
  for (auto _ : state) {
    TPerson* p = list.Persons(list.Count() / 2);
    copy->Assign(p);
    copy->SetYomi(SJ("ん") + std::to_string(n++));
    p->Assign(copy);
    benchmark::DoNotOptimize(list.History().Count());
  }
  list.History().UndoStep();
  copy->Free();
}

BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenUnsorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKanaRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterClassify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllFieldsFirstTime)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditWithUndo)->Unit(benchmark::kMillisecond);

// The Python reference on the same file: csv module + PyICU sort keys, and a plain
// substring search over all rows.
void RunPythonComparison() {
  std::string script = std::string(KAEDE_SOURCE_DIR) + "/bench/scripts/compare_addressbook.py";
  std::fflush(stdout);
  pid_t pid = ::fork();
  if (pid == 0) {
    std::string file = OsPath(BookFile());
    ::execl("/usr/bin/python3", "python3", script.c_str(), file.c_str(), static_cast<char*>(nullptr));
    std::perror("python3");
    _exit(127);
  }
  int status = 0;
  if (pid > 0) ::waitpid(pid, &status, 0);
}

}  // namespace

// The memory an open book holds, measured in a fresh process (this program started again
// with --memory-of BOOK) that does nothing else.
int MeasureMemory(const char* file) {
  double before = RssMb();
  TPersonList list;
  auto start = std::chrono::steady_clock::now();
  list.Open(FromOsPath(file), false);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  double open = RssMb();
  std::printf("fresh process: open (load + sort) %.0f ms; the open book holds %.1f MB (process peak %.1f MB)", ms,
              open - before, MaxRssMb());
  list.FindMode = pfmAllFields;
  list.FindText(SJ("存在しない"), true);
  list.FindMode = pfmName;
  list.FindText(SJ("存在しない"), true);
  std::printf("; %.1f MB with the search indexes of both finds (peak %.1f MB)\n", RssMb() - before, MaxRssMb());
  return 0;
}

void ReportBookMemory(const char* self) {
  std::fflush(stdout);
  pid_t pid = ::fork();
  if (pid == 0) {
    std::string file = OsPath(BookFile());
    ::execl(self, self, "--memory-of", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid > 0) ::waitpid(pid, &status, 0);
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--memory-of") return MeasureMemory(argv[2]);
  // The repeated runs measure a program that has been running for a while: the memory given
  // back by the previous book or file text is reused instead of being returned to the system
  // and faulted in anew on this machine at some 3 microseconds a page (the fresh-process
  // figure above shows that case).
  ::mallopt(M_TRIM_THRESHOLD, 512 << 20);
  ::mallopt(M_MMAP_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("book: %s, %d entries\n", OsPath(BookFile()).c_str(), kEntries);
  ReportBookMemory("/proc/self/exe");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!std::getenv("KAEDE_BENCH_NO_PYTHON")) RunPythonComparison();
  std::string dir = OsPath(BookFile());
  std::filesystem::remove_all(std::filesystem::path(dir).parent_path());
  return 0;
}
