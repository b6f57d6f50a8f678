// Reading and importing CSV files: the cases that once took quadratic time (a quote that
// never closes, characters without a CP932 form), and an import of the kind people bring.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <random>
#include <string>

#include "BenchData.h"
#include "CsvExchange.h"
#include "CsvFiles.h"
#include "PersonColumns.h"
#include "PersonLists.h"

using namespace kaede;

namespace {

// Heap in use, for the memory a parse keeps per byte of input.
size_t HeapInUse() { return mallinfo2().uordblks; }

void Parse(benchmark::State& state, const std::string& bytes) {
  size_t records = 0, kept = 0;
  for (auto _ : state) {
    size_t before = HeapInUse();
    TCsvFile f = ParseCsvBytes(bytes);
    kept = HeapInUse() - before;
    records = static_cast<size_t>(f.RecordCount());
    benchmark::DoNotOptimize(f);
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["input_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["kept_bytes_per_input_byte"] = static_cast<double>(kept) / static_cast<double>(bytes.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// 100,000 lines after a quote that never closes (2.3 MB).
void BM_UnclosedQuote(benchmark::State& state) {
  std::string text = "name,note\r\nfirst,\"this quote never closes\r\n";
  for (int i = 0; i < 100000; ++i) text += "person " + std::to_string(100000 + i) + ",a note\r\n";
  Parse(state, text);
}
BENCHMARK(BM_UnclosedQuote)->Unit(benchmark::kMillisecond);

// 200,000 characters without a CP932 form (800 KB of emoji), each replaced and reported.
void BM_Emoji(benchmark::State& state) {
  std::string text = "name,note\n";
  for (int line = 0; line < 2000; ++line) {
    text += "x,";
    for (int i = 0; i < 100; ++i) text += "\xF0\x9F\x8D\xA3";  // U+1F363
    text += "\n";
  }
  Parse(state, text);
}
BENCHMARK(BM_Emoji)->Unit(benchmark::kMillisecond);

// A file of 100 MB-like shape scaled down: commas only (many empty fields per byte).
void BM_Commas(benchmark::State& state) {
  std::string text;
  for (int line = 0; line < 20000; ++line) text += std::string(200, ',') + "\n";
  Parse(state, text);
}
BENCHMARK(BM_Commas)->Unit(benchmark::kMillisecond);

// 5,000 rows in UTF-8 with quoted multi-line addresses, unquoted names with spaces and the
// columns of several header sets side by side, imported into a new book as the import
// dialog does (read, map, add, unify, register).
std::string MixedFile() {
  std::mt19937 rng(17);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const auto& families = bench::FamilyNames();
  const char* towns[] = {"東京都港区芝公園", "大阪府大阪市北区梅田", "北海道札幌市中央区大通西", "福岡県福岡市博多区博多駅前",
                         "愛知県名古屋市中区栄"};
  std::string text =
      "姓,名,セイ,メイ,郵便番号,住所,建物名,Phone 1 - Label,Phone 1 - Value,E-mail 1 - Label,E-mail 1 - Value,"
      "Home Phone,Mobile Phone,Business Phone,Labels,Notes,Birthday\r\n";
  for (int i = 0; i < 5000; ++i) {
    const auto& f = families[pick(families.size())];
    std::string given = "太郎";
    text += std::string(f.kanji) + "," + given + ",,,";
    text += std::to_string(100 + pick(900)) + "-" + std::to_string(1000 + pick(9000)) + ",";
    text += "\"" + std::string(towns[pick(5)]) + "\r\n" + std::to_string(1 + pick(9)) + "-" + std::to_string(1 + pick(30)) + "\",";
    text += i % 3 ? "楓ハイツ " + std::to_string(100 + pick(900)) + "号室," : ",";
    text += i % 2 ? "Mobile,090-" : "Home,03-";
    text += std::to_string(1000 + pick(9000)) + "-" + std::to_string(1000 + pick(9000)) + ",";
    text += "* Home,user" + std::to_string(i) + "@example.jp,";
    text += "06-1234-" + std::to_string(1000 + pick(9000)) + ",080-2222-" + std::to_string(1000 + pick(9000)) + ",,";
    text += "* myContacts ::: 友人 ::: 年賀状,";
    text += std::string(f.kanji) + " " + given + "の友人 大学時代,";
    text += "19" + std::to_string(50 + pick(50)) + "-0" + std::to_string(1 + pick(9)) + "-1" + std::to_string(pick(10)) + "\r\n";
  }
  return text;
}

void BM_Import5000MixedRows(benchmark::State& state) {
  std::string text = MixedFile();
  int added = 0;
  for (auto _ : state) {
    TCsvImportSession s;
    s.Start(PersonColumnNames(), PersonColumnAlias);
    s.LoadBytes(text);
    TPersonList book;
    TImportResult r = s.Import(book);
    CompleteImport(book, r);
    added = r.Added;
    benchmark::DoNotOptimize(book);
  }
  state.counters["entries"] = added;
  state.counters["input_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_Import5000MixedRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
