// The postal-code dictionary: conversion of the whole national file (unpacking included),
// loading, and look-ups over 10,000 real queries, each beside the plain scanning form.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include "Archives.h"
#include "CommaText.h"
#include "Files.h"
#include "KaedeZipPipelines.h"
#include "KenAllConverter.h"
#include "PostalDatas.h"

using namespace kaede;

namespace {

std::string Shared(const char* rel) { return std::string(KAEDE_SHARED_DATA) + "/" + rel; }

// A private folder for the run, removed at exit.
const std::string& Scratch() {
  static struct TScratch {
    std::string Path;
    TScratch() {
      std::string tmpl = (std::filesystem::temp_directory_path() / "kaede-bench-XXXXXX").string();
      Path = ::mkdtemp(tmpl.data());
    }
    ~TScratch() { std::filesystem::remove_all(Path); }
  } scratch;
  return scratch.Path;
}

TArchiverOptions Options() {
  TArchiverOptions o;
  o.jse = o.jso = o.n = 1;
  return o;
}

// Unpacks KEN_ALL.CSV, reads and converts it and writes the three files.
void Convert(const std::string& archive, const std::string& folder) {
  TArchiveFile a(archive);
  if (a.Extract(nullptr, Options(), {"KEN_ALL.CSV"}, folder) != 0) throw Exception("extract failed");
  TStrings records;
  SplitLines(ReadFileBytes(folder + "/KEN_ALL.CSV"), records);
  TPostalLists lists;
  if (!ConvertKenAll(records, lists)) throw Exception("convert failed");
  SavePostalFiles(folder, lists);
}

// The national dictionary, converted once.
const std::string& Dictionary() {
  static std::string folder = [] {
    std::string f = Scratch() + "/dict";
    Convert(Shared("kenall/ken_all_2026-06-05.zip"), f);
    return f;
  }();
  return folder;
}

TPostalData& Loaded() {
  static TPostalData data({Dictionary()});
  data.LoadData();
  return data;
}

// 10,000 postal codes and 10,000 addresses as people type them, from the synthetic address
// book (real codes and towns): codes with and without the hyphen; addresses with the
// prefecture and block number, and without the prefecture.
struct TQueries {
  std::vector<std::string> Codes, Addresses;
  TQueries() {
    TStrings lines;
    SplitLines(ReadFileBytes(Shared("fake/synthetic_addressbook_5000_cp932.csv")), lines);
    for (size_t i = 1; i < lines.size(); ++i) {
      TStrings f = DecodeCommaText(lines[i]);
      if (f.size() < 11) continue;
      Codes.push_back(f[6]);
      Codes.push_back(ReplaceStrAll(f[6], "-", ""));
      Addresses.push_back(f[7] + f[8] + f[9] + f[10]);
      Addresses.push_back(f[8] + f[9] + f[10] + (f.size() > 11 ? f[11] : std::string()));
    }
  }
};

const TQueries& Queries() {
  static TQueries q;
  return q;
}

void PerQuery(benchmark::State& state, size_t queries, int found) {
  state.counters["per_query"] =
      benchmark::Counter(static_cast<double>(queries), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["found"] = found;
}

void BM_ConvertFromZip(benchmark::State& state) {
  int n = 0;
  for (auto _ : state) Convert(Shared("kenall/ken_all_2026-06-05.zip"), Scratch() + "/zip" + std::to_string(n++));
}
BENCHMARK(BM_ConvertFromZip)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ConvertFromLzh(benchmark::State& state) {
  int n = 0;
  for (auto _ : state) Convert(Shared("kenall/ken_all_2026-06-05.lzh"), Scratch() + "/lzh" + std::to_string(n++));
}
BENCHMARK(BM_ConvertFromLzh)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole updater run from a local copy of the archive: copy, unpack, convert, write.
void BM_PipelineFromLocalZip(benchmark::State& state) {
  ::setenv("TMPDIR", Scratch().c_str(), 1);
  for (auto _ : state) {
    TKaedeZipPipeline p;
    p.Source = Shared("kenall/ken_all_2026-06-05.zip");
    p.TargetFolder = Scratch() + "/pipeline";
    if (!p.Run()) state.SkipWithError("pipeline failed");
  }
}
BENCHMARK(BM_PipelineFromLocalZip)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadIndexed(benchmark::State& state) {
  Dictionary();
  for (auto _ : state) {
    TPostalData data({Dictionary()});
    benchmark::DoNotOptimize(data.LoadData());
  }
}
BENCHMARK(BM_LoadIndexed)->Unit(benchmark::kMillisecond);

// What the scanning form needs: the three files read into lines, no index.
void BM_LoadLinesOnly(benchmark::State& state) {
  Dictionary();
  for (auto _ : state) {
    TPostalLists l;
    SplitLines(ReadFileBytes(Dictionary() + "/Ken.dat"), l.Ken);
    SplitLines(ReadFileBytes(Dictionary() + "/City.dat"), l.City);
    SplitLines(ReadFileBytes(Dictionary() + "/Postal.dat"), l.Postal);
    benchmark::DoNotOptimize(l.Postal.data());
  }
}
BENCHMARK(BM_LoadLinesOnly)->Unit(benchmark::kMillisecond);

template <class F>
void RunQueries(benchmark::State& state, const std::vector<std::string>& queries, F lookup) {
  int found = 0;
  for (auto _ : state) {
    found = 0;
    for (const std::string& q : queries) {
      int count = 0;
      benchmark::DoNotOptimize(lookup(q, count));
      found += count > 0;
    }
  }
  PerQuery(state, queries.size(), found);
}

void BM_PostalToAddress(benchmark::State& state) {
  TPostalData& d = Loaded();
  RunQueries(state, Queries().Codes, [&](const std::string& q, int& c) { return d.PostalToAddress(q, c); });
}
BENCHMARK(BM_PostalToAddress)->Unit(benchmark::kMillisecond);

void BM_PostalToAddressScan(benchmark::State& state) {
  TPostalScan scan(Loaded());
  RunQueries(state, Queries().Codes, [&](const std::string& q, int& c) { return scan.PostalToAddress(q, c); });
}
BENCHMARK(BM_PostalToAddressScan)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AddressToPostal(benchmark::State& state) {
  TPostalData& d = Loaded();
  RunQueries(state, Queries().Addresses, [&](const std::string& q, int& c) { return d.AddressToPostal(q, c); });
}
BENCHMARK(BM_AddressToPostal)->Unit(benchmark::kMillisecond);

void BM_AddressToPostalScan(benchmark::State& state) {
  TPostalScan scan(Loaded());
  RunQueries(state, Queries().Addresses, [&](const std::string& q, int& c) { return scan.AddressToPostal(q, c); });
}
BENCHMARK(BM_AddressToPostalScan)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
