// Comma text, and loading, sorting, saving, filtering and finding in a 100,000-item list.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "BenchData.h"
#include "CommaText.h"
#include "DataLists.h"
#include "Files.h"
#include "Strs.h"

using namespace kaede;

namespace {

constexpr int kItems = 100000;

// A list item like a small address-book entry: reading (the sort text), name, address.
class TEntry : public TDataItem {
public:
  std::string Yomi, Name, Address;
  std::string GetSortText() const override { return Yomi; }
  std::string GetText() const override { return EncodeCommaText({Name, Yomi, Address}); }
  void ReadText(const std::string& text) override {
    thread_local std::vector<std::string> f;
    DecodeCommaText(text, f);
    f.resize(3);
    Name = std::move(f[0]);
    Yomi = std::move(f[1]);
    Address = std::move(f[2]);
  }
  bool Matches(const std::string& text) override {
    return Name.find(text) != std::string::npos || Yomi.find(text) != std::string::npos;
  }
  bool MatchesNo(int no) override { return KanaRow(Yomi) == no; }
};

class TEntryList : public TDataList {
public:
  TDataItem* NewInstance() const override { return new TEntry(); }
};

const std::vector<std::string>& Lines() {
  static std::vector<std::string> lines = [] {
    std::mt19937 rng(42);
    std::vector<std::string> v;
    v.reserve(kItems);
    for (int i = 0; i < kItems; ++i) {
      bench::TFakePerson p = bench::FakePerson(rng);
      v.push_back(EncodeCommaText({p.Name, p.Yomi, p.Address}));
    }
    return v;
  }();
  return lines;
}

std::string FileName() {
  static std::string name = [] {
    std::string path = (std::filesystem::temp_directory_path() / "kaede-bench-records.txt").string();
    std::string data;
    for (const std::string& l : Lines()) data += l + "\r\n";
    WriteFileAtomic(FromOsPath(path), data);
    return FromOsPath(path);
  }();
  return name;
}

void BM_CommaTextParse(benchmark::State& state) {
  const auto& lines = Lines();
  std::vector<std::string> fields;
  for (auto _ : state) {
    for (const std::string& l : lines) {
      DecodeCommaText(l, fields);
      benchmark::DoNotOptimize(fields.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_CommaTextParse)->Unit(benchmark::kMillisecond);

void BM_CommaTextWrite(benchmark::State& state) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& l : Lines()) rows.push_back(DecodeCommaText(l));
  for (auto _ : state) {
    size_t total = 0;
    for (const auto& r : rows) total += EncodeCommaText(r).size();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_CommaTextWrite)->Unit(benchmark::kMillisecond);

void BM_LoadAndSort(benchmark::State& state) {
  std::string file = FileName();
  for (auto _ : state) {
    TEntryList list;
    list.LoadFromFile(file, false);
    list.Sort();
    benchmark::DoNotOptimize(list.Items(0));
    state.PauseTiming();  // freeing 100,000 items is not part of opening
    {
      TEntryList drop;
    }
    state.ResumeTiming();
    state.PauseTiming();
    list.Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadAndSort)->Unit(benchmark::kMillisecond);

struct TLoaded {
  TEntryList list;
  TLoaded() {
    list.LoadFromFile(FileName(), false);
    list.Sort();
  }
};
TLoaded& Loaded() {
  static TLoaded l;
  return l;
}

void BM_Save(benchmark::State& state) {
  TEntryList& list = Loaded().list;
  std::string out = FileName() + ".out";
  for (auto _ : state) list.SaveToFile(out);
  std::filesystem::remove(OsPath(out));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Resort(benchmark::State& state) {
  TEntryList& list = Loaded().list;
  for (auto _ : state) list.Sort();  // keys are cached: the cost of a re-sort after one edit
}
BENCHMARK(BM_Resort)->Unit(benchmark::kMillisecond);

void BM_FilterKanaRow(benchmark::State& state) {
  TEntryList& list = Loaded().list;
  for (auto _ : state) {
    list.FilterNo(1);  // the か row
    benchmark::DoNotOptimize(list.Count());
  }
  list.ClearFilter(false);
}
BENCHMARK(BM_FilterKanaRow)->Unit(benchmark::kMillisecond);

void BM_FilterText(benchmark::State& state) {
  TEntryList& list = Loaded().list;
  std::string text = Utf8ToSjis("はなこ");
  for (auto _ : state) {
    list.FilterText(text);
    benchmark::DoNotOptimize(list.Count());
  }
  list.ClearFilter(false);
}
BENCHMARK(BM_FilterText)->Unit(benchmark::kMillisecond);

void BM_FindLast(benchmark::State& state) {
  TEntryList& list = Loaded().list;
  std::string text = Utf8ToSjis("存在しない名前");
  for (auto _ : state) benchmark::DoNotOptimize(list.FindText(text, true));
}
BENCHMARK(BM_FindLast)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
