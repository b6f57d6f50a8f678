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
#include "../tests/updater/UpdaterTestUtil.h"  // archives written on the spot

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
  if (a.Extract(nullptr, Options(), {"KEN_ALL.CSV"}, folder) != 0) throw Exception("extract failed: " + a.FailureText());
  TPostalLists lists;
  ConvertKenAllText(ReadFileBytes(folder + "/KEN_ALL.CSV"), lists);
  if (lists.Postal.empty()) throw Exception("convert failed");
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

// KEN_ALL.CSV of the national file converted from its text, line by line to the end (with the
// check of every byte), beside the older form that first split the text into a list of lines.
const std::string& NationalCsv() {
  static std::string text = [] {
    std::string f = Scratch() + "/csv";
    TArchiveFile a(Shared("kenall/ken_all_2026-06-05.zip"));
    if (a.Extract(nullptr, Options(), {"KEN_ALL.CSV"}, f) != 0) throw Exception("extract failed: " + a.FailureText());
    return ReadFileBytes(f + "/KEN_ALL.CSV");
  }();
  return text;
}

void BM_ConvertText(benchmark::State& state) {
  const std::string& text = NationalCsv();
  for (auto _ : state) {
    TPostalLists lists;
    ConvertKenAllText(text, lists);
    benchmark::DoNotOptimize(lists.Postal.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertText)->Unit(benchmark::kMillisecond);

void BM_ConvertSplitLines(benchmark::State& state) {
  const std::string& text = NationalCsv();
  for (auto _ : state) {
    TStrings records;
    SplitLines(text, records);
    TPostalLists lists;
    ConvertKenAll(records, lists);
    benchmark::DoNotOptimize(lists.Postal.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertSplitLines)->Unit(benchmark::kMillisecond);

// A small archive that expands to 100 MB of line ends: the update stops at the size bound of
// the unpacked file, without reading it.
void BM_PipelineRejectsNewlineBomb(benchmark::State& state) {
  ::setenv("TMPDIR", Scratch().c_str(), 1);
  static const std::string bomb = [] {
    std::string zip = Scratch() + "/bomb.zip";
    test::WriteArchive(zip, "zip", {{"KEN_ALL.CSV", std::string(100 << 20, '\n')}});
    return zip;
  }();
  for (auto _ : state) {
    TKaedeZipPipeline p;
    p.Source = bomb;
    p.TargetFolder = Scratch() + "/bomb-target";
    if (p.Run()) state.SkipWithError("the bomb was accepted");
  }
}
BENCHMARK(BM_PipelineRejectsNewlineBomb)->Unit(benchmark::kMillisecond)->Iterations(3);

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
