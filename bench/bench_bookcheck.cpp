// The address check and the duplicate finder over a generated book of 100,000 entries (the
// count from KAEDE_BENCH_ENTRIES) whose addresses are real towns of the national dictionary:
// 1 % of the entries get the code of another town, 1 % come a second time with the spaces of
// the name and the width of the address changed. Counters: what share of the planted faults
// was found, and the false findings per entry. "FreshProcess" is what a run of kaede check
// pays: the dictionary read from its files, folded, and the whole book checked.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "AddressChecks.h"
#include "AppPaths.h"
#include "CommaText.h"
#include "Duplicates.h"
#include "Files.h"
#include "KaedeZipPipelines.h"
#include "PersonLists.h"
#include "PostalDatas.h"

using namespace kaede;

namespace {

std::string Shared(const char* rel) { return std::string(KAEDE_SHARED_DATA) + "/" + rel; }

int EntryCount() {
  const char* n = std::getenv("KAEDE_BENCH_ENTRIES");
  return n ? std::max(100, std::atoi(n)) : 100000;
}

// The national dictionary, converted once into a private folder.
const std::string& Dictionary() {
  static struct TDict {
    std::string Path;
    TDict() {
      std::string tmpl = (std::filesystem::temp_directory_path() / "kaede-bench-XXXXXX").string();
      Path = ::mkdtemp(tmpl.data());
      TKaedeZipPipeline pipeline;  // the updater's own way from the archive to the dictionary
      pipeline.Source = Shared("kenall/ken_all_2026-06-05.zip");
      pipeline.TargetFolder = IncludeTrailingDelimiter(Path);
      pipeline.Force = true;
      if (!pipeline.Run()) throw Exception("the national file could not be converted");
    }
    ~TDict() { std::filesystem::remove_all(Path); }
  } dict;
  return dict.Path;
}

struct TPlanted {
  TPersonList Book;
  std::set<int32_t> WrongCodes;                   // entries given another town's code
  std::vector<std::pair<int32_t, int32_t>> Twins;  // an entry and its second coming
};

void Plant(TPlanted& t) {
  {
    TPostalData data({Dictionary()});
    data.LoadData();
    const TStrings& postal = data.Lists().Postal;
    // names from the synthetic book: family names and given names combined, all different
    TStrings lines, f, family, given, familyKana, givenKana;
    SplitLines(ReadFileBytes(Shared("fake/synthetic_addressbook_5000_cp932.csv")), lines);
    std::set<std::string> seenFamily, seenGiven;
    for (size_t i = 1; i < lines.size(); ++i) {
      DecodeCommaText(lines[i], f);
      if (f.size() < 5) continue;
      if (seenFamily.insert(f[1]).second) family.push_back(f[1]), familyKana.push_back(f[3]);
      if (seenGiven.insert(f[2]).second) given.push_back(f[2]), givenKana.push_back(f[4]);
    }
    std::mt19937 rng(20261210);
    const int n = EntryCount();
    t.Book.BeginUpdate();
    std::vector<TPerson*> persons;
    for (int k = 0; k < n; ++k) {
      size_t line = rng() % postal.size();
      const std::string& entry = postal[line];
      auto* p = static_cast<TPerson*>(t.Book.AddText(""));
      size_t a = static_cast<size_t>(k) % family.size(), b = (static_cast<size_t>(k) / family.size()) % given.size();
      p->SetName(family[a] + " " + given[b]);
      p->SetYomi(familyKana[a] + " " + givenKana[b]);
      p->SetPostal(entry.substr(0, 7));
      TStrings address{data.PrefectureOf(static_cast<int>(line)) + data.CityOf(static_cast<int>(line)) +
                       LeftOf(entry.substr(7), SJ("（")) + std::to_string(1 + k % 9) + "-" + std::to_string(1 + k % 23)};
      p->SetAddress(&address);
      TStrings tels{SJ("携帯:090-") + std::to_string(1000 + k / 10000) + "-" + std::to_string(10000 + k % 10000).substr(1)};
      p->SetTels(&tels);
      persons.push_back(p);
    }
    TAddressChecker checker(data);
    for (int k = 0; k < n / 100; ++k) {
      TPerson* p = persons[rng() % persons.size()];
      if (t.WrongCodes.count(p->Id())) continue;
      std::string other = postal[rng() % postal.size()].substr(0, 7);
      TStrings codes = checker.CodesOfAddress(p->AddressText());
      if (std::find(codes.begin(), codes.end(), other) != codes.end()) continue;  // no fault after all
      p->SetPostal(other);
      t.WrongCodes.insert(p->Id());
    }
    for (int k = 0; k < n / 100; ++k) {
      TPerson* p = persons[rng() % persons.size()];
      auto* twin = static_cast<TPerson*>(t.Book.AddText(p->GetText()));
      twin->SetName(k % 2 ? ReplaceStrAll(p->Name(), " ", "") : ReplaceStrAll(p->Name(), " ", SJ("　")));
      TStrings address{ConvertStr(p->AddressText(), cvZenkaku)};
      twin->SetAddress(&address);
      t.Twins.emplace_back(p->Id(), twin->Id());
    }
    t.Book.EndUpdate();
  }
}

TPlanted& Book() {
  static TPlanted* planted = [] {
    auto* t = new TPlanted;  // lives for the run
    Plant(*t);
    return t;
  }();
  return *planted;
}

void Score(benchmark::State& state, TPlanted& t, const std::vector<TCheckFinding>& findings,
           const std::vector<TDuplicateGroup>& groups) {
  std::set<int32_t> found;
  size_t falseFindings = 0;
  for (const TCheckFinding& f : findings) {
    if (t.WrongCodes.count(f.Id)) found.insert(f.Id);
    else ++falseFindings;
  }
  std::map<int32_t, size_t> groupOf;
  for (size_t g = 0; g < groups.size(); ++g)
    for (int32_t id : groups[g].Ids) groupOf[id] = g;
  size_t twinsFound = 0;
  std::set<size_t> twinGroups;
  for (auto [a, b] : t.Twins)
    if (groupOf.count(a) && groupOf.count(b) && groupOf[a] == groupOf[b]) ++twinsFound, twinGroups.insert(groupOf[a]);
  falseFindings += groups.size() - twinGroups.size();
  state.counters["entries"] = t.Book.AllCount();
  state.counters["codes_found_%"] = 100.0 * found.size() / std::max<size_t>(1, t.WrongCodes.size());
  state.counters["twins_found_%"] = 100.0 * twinsFound / std::max<size_t>(1, t.Twins.size());
  state.counters["false_%"] = 100.0 * falseFindings / t.Book.AllCount();
}

// A fresh run: dictionary files read, folded, the book checked and its duplicates found.
void BM_FreshProcess(benchmark::State& state) {
  TPlanted& t = Book();
  std::vector<TCheckFinding> findings;
  std::vector<TDuplicateGroup> groups;
  for (auto _ : state) {
    TPostalData data({Dictionary()});
    data.LoadData();
    TAddressChecker checker(data);
    findings = checker.CheckBook(t.Book);
    groups = FindDuplicates(t.Book);
  }
  Score(state, t, findings, groups);
}
BENCHMARK(BM_FreshProcess)->Unit(benchmark::kMillisecond)->Iterations(3);

// The parts of it one by one.
void BM_FoldDictionary(benchmark::State& state) {
  TPostalData data({Dictionary()});
  data.LoadData();
  for (auto _ : state) TAddressChecker checker(data);
}
BENCHMARK(BM_FoldDictionary)->Unit(benchmark::kMillisecond);

void BM_CheckBook(benchmark::State& state) {
  TPostalData data({Dictionary()});
  data.LoadData();
  TAddressChecker checker(data);
  for (auto _ : state) benchmark::DoNotOptimize(checker.CheckBook(Book().Book));
}
BENCHMARK(BM_CheckBook)->Unit(benchmark::kMillisecond);

void BM_FindDuplicates(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindDuplicates(Book().Book));
}
BENCHMARK(BM_FindDuplicates)->Unit(benchmark::kMillisecond);

}  // namespace

// The book is made of the national file's towns: without the shared data there is nothing to
// measure, which is said and is no failure.
int main(int argc, char** argv) {
  if (!std::filesystem::is_regular_file(Shared("kenall/ken_all_2026-06-05.zip"))) {
    std::printf("bench_bookcheck: no national postal file at %s, nothing measured\n", KAEDE_SHARED_DATA);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
