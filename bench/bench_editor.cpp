// The editor view on screen: painting a full A5 page of text at 100 % (vertical and
// horizontal writing) through the Qt canvas, and one keystroke in the middle of a 1 MB text
// followed by the repaint of what it changed.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "EditorViews.h"
#include "NovelText.h"
#include "QtCanvas.h"
#include "QtPrinters.h"

using namespace kaede;

namespace {

// A window that only collects what the view asks to repaint.
struct TDirty : IViewHost {
  TRect Area{};
  void InvalidateRect(const TRect& r) override {
    if (IsEmptyRect(r)) return;
    Area = IsEmptyRect(Area) ? r
                             : TRect{std::min(Area.Left, r.Left), std::min(Area.Top, r.Top), std::max(Area.Right, r.Right),
                                     std::max(Area.Bottom, r.Bottom)};
  }
};

// An editor view over an A5 page at 100 %, or a window-sized view without paper.
struct TBench {
  TDirty Host;
  TEditorView View;
  QImage Image;
  TBench(bool paper, bool vertical, const std::string& text) {
    TEditorStyle& s = View.EditorStyle();
    s.SetBase(&TBaseStyleValues::PaperVisible, paper);
    s.SetBase(&TBaseStyleValues::PaperSize, 11);  // A5
    s.SetBase(&TBaseStyleValues::RatioValue, 100);
    s.SetEditor(&TEditorValues::Vertical, vertical);
    s.SetEditor(&TEditorValues::LineSpace, paper ? 3.0 : 8.0);
    s.ViewInfo(TEditorStyle::viRubi)->SetStatus(1);
    s.ViewInfo(TEditorStyle::viFootNote)->SetStatus(1);
    View.SetHost(&Host);
    View.SetBounds(paper ? 600 : 1000, paper ? 830 : 700);
    View.SetText(text);
    View.Resize();
    Image = QImage(View.ClientWidth(), View.ClientHeight(), QImage::Format_RGB32);
  }
  void Paint(const TRect& r) {
    QPainter p(&Image);
    TQtCanvas canvas(&p, PageMetrics().ScreenDpi, r);
    View.Paint(canvas, r);
  }
};

std::string FirstPage() {
  const std::string& all = NovelText();
  size_t n = 0;
  for (int lines = 0; lines < 60 && n < all.size(); ++lines) n = all.find("\r\n", n) + 2;
  return all.substr(0, n);
}

void BM_PaintA5Page(benchmark::State& state) {
  TBench b(true, state.range(0) != 0, FirstPage());
  for (auto _ : state) {
    b.View.TextChanged(0, 0);  // the cell states are worked out again, as after an edit
    b.Paint(b.View.ClientRect());
  }
  state.counters["lines"] = b.View.Geometry().LinesPerPage;
  state.counters["cells"] = b.View.Geometry().Cells;
  state.SetLabel(state.range(0) ? "vertical" : "horizontal");
}
BENCHMARK(BM_PaintA5Page)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The blink of the caret: the same page again, the cell states kept.
void BM_PaintA5PageAgain(benchmark::State& state) {
  TBench b(true, true, FirstPage());
  b.Paint(b.View.ClientRect());
  for (auto _ : state) b.Paint(b.View.ClientRect());
}
BENCHMARK(BM_PaintA5PageAgain)->Unit(benchmark::kMillisecond);

// A character typed in the middle of a 1 MB text: the edit, the line broken again, the
// display table updated, and the repaint of the rows it asked for.
void BM_KeystrokeIn1MB(benchmark::State& state) {
  const bool paper = state.range(0) != 0;
  TBench b(paper, paper, NovelText());
  const int32_t middle = b.View.Lines().Infos().Count() / 2;
  b.View.Core().MoveTo(TPoint{3, middle}, false);
  b.View.ShowCaret();
  b.Paint(b.View.ClientRect());
  const std::string ch = Utf8ToSjis("字");
  int64_t pixels = 0;
  for (auto _ : state) {
    b.Host.Area = TRect{};
    b.View.Core().TypeText(ch);
    b.Paint(b.Host.Area);
    pixels += static_cast<int64_t>(b.Host.Area.Right - b.Host.Area.Left) * (b.Host.Area.Bottom - b.Host.Area.Top);
  }
  state.counters["repainted_px"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
  state.SetLabel(paper ? "A5 pages, vertical" : "window, horizontal");
}
BENCHMARK(BM_KeystrokeIn1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  InstallQtDrawing();
  SheetPrinter().SetBackend(std::make_unique<TPdfPrinterBackend>());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SheetPrinter().SetBackend(nullptr);  // the printer goes before the application object
  return 0;
}
