// Line layout of the editor: a full layout of a novel-length Japanese text at 40 cells, and
// the re-layout after typing one character in the middle of it.
#include <benchmark/benchmark.h>

#include <random>

#include "Cp932.h"
#include "EditLists.h"

using namespace kaede;

namespace {

// About 1 MB of novel-like text: paragraphs of narration and speech in kanji and kana with
// punctuation, some Latin words and some ruby.
const std::string& NovelText() {
  static const std::string text = [] {
    static const char* const kWords[] = {
        "私", "は", "彼女", "の", "手紙", "を", "読み", "返し", "た", "窓", "の外", "では", "雨", "が", "降り続いて",
        "いる", "町", "外れ", "古い", "駅舎", "に", "着いた", "とき", "すでに", "日", "は", "暮れかけて", "いた",
        "汽車", "待合室", "には", "誰も", "いない", "ただ", "時計", "の", "音", "だけ", "が", "響いて", "いる",
        "思い出", "静かな", "夜", "海", "風", "記憶", "言葉", "約束", "遠く", "から", "聞こえる", "歌",
        "ゆっくりと", "歩き", "出した", "振り返る", "ことも", "なく", "坂道", "を", "上って", "行く"};
    static const char* const kLatin[] = {"Tokyo", "station", "radio", "coffee", "OK", "No.7", "Bach"};
    static const char* const kRubi[] = {"｜邂逅《かいこう》", "黄昏《たそがれ》", "｜眩暈《めまい》", "微睡《まどろ》み"};
    std::mt19937 rng(42);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string utf8;
    utf8.reserve(1800000);
    while (true) {
      std::string para;
      bool speech = pick(4) == 0;
      para += speech ? "「" : "　";
      int sentences = 1 + pick(5);
      for (int s = 0; s < sentences; ++s) {
        int words = 6 + pick(18);
        for (int w = 0; w < words; ++w) {
          int k = pick(100);
          if (k < 3) para += kRubi[pick(4)];
          else if (k < 6) para += std::string(kLatin[pick(7)]) + " ";
          else para += kWords[pick(static_cast<int>(std::size(kWords)))];
          if (pick(9) == 0) para += "、";
        }
        para += "。";
      }
      if (speech) para += "」";
      utf8 += para + "\n";
      if (utf8.size() > 1500000) break;  // about 1 MB once in CP932
    }
    std::string sjis = Utf8ToSjis(utf8);
    std::string r;
    for (char c : sjis) {
      if (c == '\n') r += "\r\n";
      else r += c;
    }
    return r;
  }();
  return text;
}

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
