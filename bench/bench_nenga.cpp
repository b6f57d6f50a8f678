// New Year card lists on a big book: a generated book of 100,000 entries with marks over ten
// years (2017-2026, varied per entry), opened from its file. Each list of the card year is
// measured after the first (the entries' marks for the year are read once and kept), the first
// list of a year on its own, and the year's counts; the memory of the open book with marks is
// reported beside the same book without them, and after every list of the card year has been
// made: the marks the lists keep are what the book costs beyond its text, which any reader of
// the format holds as it holds every other remark.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BookGenerator.h"
#include "Files.h"
#include "NengaMarks.h"
#include "PersonLists.h"

using namespace kaede;

namespace {

const int kEntries = std::getenv("KAEDE_BENCH_ENTRIES") ? std::atoi(std::getenv("KAEDE_BENCH_ENTRIES")) : 100000;

double RssMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

struct TBooks {
  std::string Plain, Marked;
};

const TBooks& Books() {
  static const TBooks books = [] {
    TBooks b;
    // held for the whole run, so that another program's clean-up of stale work folders
    // leaves it alone; removed at exit
    static TWorkFolder work;
    const std::string& dir = work.Path();
    b.Plain = dir + "/plain.kad";
    b.Marked = dir + "/marked.kad";
    WriteFileAtomic(b.Plain, bench::GenerateBookText(kEntries));
    TPersonList list;
    list.RecordUndo = false;
    list.Open(b.Plain, false);
    list.SaveToFile("");
    std::mt19937 rng(7);
    for (int i = 0; i < list.AllCount(); ++i) {
      TNengaMarks m;
      for (int y = 2017; y <= 2026; ++y) {
        uint32_t r = rng() % 100;
        uint8_t marks = r < 70 ? nmSent | nmReceived : r < 80 ? nmSent : r < 88 ? nmReceived : r < 92 ? nmMourning : 0;
        if (y == 2026 && r >= 97) marks |= nmStopped;
        m.Replace(y, marks);
      }
      SetNengaMarks(*list.AllPersons(i), m);
    }
    list.SaveToFile(b.Marked);
    return b;
  }();
  return books;
}

TPersonList& MarkedBook() {
  static TPersonList* list = [] {
    auto* l = new TPersonList();
    l->RecordUndo = false;
    l->Open(Books().Marked, false);
    return l;
  }();
  return *list;
}

void BM_NengaList(benchmark::State& state) {
  TPersonList& book = MarkedBook();
  const auto filter = static_cast<TNengaFilter>(state.range(0));
  book.SetNengaFilter(filter, 2026);
  book.FindMode = pfmKanaRow;
  book.FilterNo(-1);  // the first, which reads the marks
  for (auto _ : state) {
    book.FilterNo(-1);
    benchmark::DoNotOptimize(book.Count());
  }
  state.counters["entries"] = book.Count();
  book.SetNengaFilter(nfNone, 2027);
  book.ClearFilter(false);
}

// A list of a year the entries hold no bits for: every entry's marks are read from its line.
void BM_NengaListFirst(benchmark::State& state) {
  TPersonList& book = MarkedBook();
  int year = 2000;
  for (auto _ : state) {
    book.SetNengaFilter(nfUnsent, ++year);
    book.FindMode = pfmKanaRow;
    book.FilterNo(-1);
    benchmark::DoNotOptimize(book.Count());
  }
  book.SetNengaFilter(nfNone, 2027);
  book.ClearFilter(false);
}

void BM_NengaWithClassify(benchmark::State& state) {
  TPersonList& book = MarkedBook();
  book.SetNengaFilter(nfUnsent, 2027);
  book.FindMode = pfmClassify;
  book.FilterNo(0);
  for (auto _ : state) {
    book.FilterNo(0);
    benchmark::DoNotOptimize(book.Count());
  }
  book.SetNengaFilter(nfNone, 2027);
  book.ClearFilter(false);
}

void BM_NengaSummary(benchmark::State& state) {
  TPersonList& book = MarkedBook();
  SummarizeNenga(book, 2027);
  for (auto _ : state) benchmark::DoNotOptimize(SummarizeNenga(book, 2027).ToSend);
}

}  // namespace

BENCHMARK(BM_NengaList)->Arg(nfUnsent)->Arg(nfReceivedOnly)->Arg(nfMourning)->Arg(nfSent)->Arg(nfLastYear)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NengaListFirst)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NengaWithClassify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NengaSummary)->Unit(benchmark::kMillisecond);

// The memory a book holds open, in a fresh process (this program again with --memory-of), with
// or without the lists of 2026 made.
double MemoryOf(const std::string& file, bool lists = false) {
  char self[4096];
  ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  std::string cmd = std::string(self) + (lists ? " --memory-with-lists '" : " --memory-of '") + file + "'";
  double mb = -1;
  if (FILE* p = ::popen(cmd.c_str(), "r")) {
    if (std::fscanf(p, "%lf", &mb) != 1) mb = -1;
    ::pclose(p);
  }
  return mb;
}

int main(int argc, char** argv) {
  if (argc == 3 && (std::string(argv[1]) == "--memory-of" || std::string(argv[1]) == "--memory-with-lists")) {
    double before = RssMb();
    auto* book = new TPersonList();
    book->Open(argv[2], false);
    if (std::string(argv[1]) == "--memory-with-lists")
      for (TNengaFilter f : {nfUnsent, nfReceivedOnly, nfMourning, nfSent, nfLastYear}) {
        book->SetNengaFilter(f, 2026);
        book->FindMode = pfmKanaRow;
        book->FilterNo(-1);
      }
    std::printf("%.1f\n", RssMb() - before);
    return 0;
  }
  const TBooks& books = Books();
  std::printf("open book of %d entries: %.1f MB without marks, %.1f MB with marks over ten years (file %.1f MB, %.1f MB)\n",
              kEntries, MemoryOf(books.Plain), MemoryOf(books.Marked), ReadFileBytes(books.Plain).size() / 1048576.0,
              ReadFileBytes(books.Marked).size() / 1048576.0);
  const double open = MemoryOf(books.Marked), listed = MemoryOf(books.Marked, true);
  std::printf("the marked book after every list of 2026: %.1f MB against %.1f MB open (%+.1f %%)\n", listed, open,
              open > 0 ? 100.0 * (listed - open) / open : 0.0);
  std::printf("sizeof(TPerson) = %zu\n", sizeof(TPerson));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
