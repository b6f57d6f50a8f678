// Line layout of the editor: a full layout of a novel-length Japanese text at 40 cells, and
// the re-layout after typing one character in the middle of it.
#include <benchmark/benchmark.h>

#include "Cp932.h"
#include "EditLists.h"
#include "NovelText.h"

using namespace kaede;

namespace {

// A store laid out at 40 cells with the default style; with notation, ruby and annotations
// are hidden (they take no room).
struct TNovel {
  TEditList List;
  TEditorStyle* Style = TDataItem::Make<TEditorStyle>();
  explicit TNovel(bool notation) {
    if (notation) {
      Style->ViewInfo(TEditorStyle::viRubi)->SetStatus(1);
      Style->ViewInfo(TEditorStyle::viFootNote)->SetStatus(1);
    }
    List.AssignStyle(*Style);
    List.Columns = 40;
    List.SetText(NovelText());
  }
  ~TNovel() { Style->Free(); }
};

void FullLayout(benchmark::State& state) {
  TNovel novel(state.range(0) != 0);
  for (auto _ : state) {
    novel.List.Relayout();
    benchmark::DoNotOptimize(novel.List.Infos().Count());
  }
  state.counters["bytes"] = static_cast<double>(NovelText().size());
  state.counters["lines"] = novel.List.Count();
  state.counters["rows"] = novel.List.Infos().Count();
}
BENCHMARK(FullLayout)->Arg(0)->Arg(1)->ArgName("hidden_notation")->Unit(benchmark::kMillisecond);

// The same text broken by measured widths (fixed-width metrics, 40 half-width cells of 8 px).
void FullLayoutMeasured(benchmark::State& state) {
  TNovel novel(false);
  TFixedMetrics metrics;
  novel.Style->SetEditor(&TEditorValues::ProportionalFont, true);
  novel.List.AssignStyle(*novel.Style);
  novel.List.Columns = 0;
  novel.List.Metrics = &metrics;
  novel.List.FontHeight = 16;
  novel.List.LineWidth = 320;
  for (auto _ : state) {
    novel.List.Relayout();
    benchmark::DoNotOptimize(novel.List.Infos().Count());
  }
  state.counters["rows"] = novel.List.Infos().Count();
}
BENCHMARK(FullLayoutMeasured)->Unit(benchmark::kMillisecond);

// One character typed in the middle of the text (the paragraph there is broken again and the
// table updated); the character is deleted again outside the timing.
void TypeOneCharacter(benchmark::State& state) {
  TNovel novel(state.range(0) != 0);
  TEditList& list = novel.List;
  const int32_t line = list.Count() / 2;
  const TPoint at = list.ToDisplay(static_cast<int32_t>(list[line].size() / 2 / 2 * 2) + 1, line);
  const std::string ch = Utf8ToSjis("あ");
  for (auto _ : state) {
    TEditResult r = list.InsertText(at, ch, false);
    benchmark::DoNotOptimize(r.LastRow);
    state.PauseTiming();
    list.DeleteRange(at, r.Caret, false);
    state.ResumeTiming();
  }
}
BENCHMARK(TypeOneCharacter)->Arg(0)->Arg(1)->ArgName("hidden_notation")->Unit(benchmark::kMicrosecond);

// Enter in the middle of the text: a line split, every later record renumbered.
void SplitOneLine(benchmark::State& state) {
  TNovel novel(false);
  TEditList& list = novel.List;
  const int32_t line = list.Count() / 2;
  const TPoint at = list.ToDisplay(static_cast<int32_t>(list[line].size() / 2 / 2 * 2) + 1, line);
  for (auto _ : state) {
    TEditResult r = list.InsertText(at, "\r\n", false);
    benchmark::DoNotOptimize(r.LastRow);
    state.PauseTiming();
    list.DeleteRange(at, r.Caret, false);
    state.ResumeTiming();
  }
}
BENCHMARK(SplitOneLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
