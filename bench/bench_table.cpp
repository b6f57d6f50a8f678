// The table print: a 10,000-row table of a generated book to a PDF file through the same
// layout and drawing code as the window, and the repaint of one visible A4 page at 100 %
// (the window's drawing on an image, as the widget paints into its backing store).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "BookGenerator.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "Tables.h"

namespace kaede::bench {
namespace {

namespace fs = std::filesystem;

// The process's peak resident memory since the last reset, in MB (Linux).
double PeakMb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A generated book of `count` entries, opened.
struct TBook {
  std::string Folder = (fs::temp_directory_path() / "kaede-bench-table").string();
  TPersonList List;
  explicit TBook(int count) {
    fs::create_directories(Folder);
    std::string file = FromOsPath(Folder + "/book.kad");
    WriteFileAtomic(file, GenerateBookText(count));
    List.Open(file, false);
  }
};

TBook& Book() {
  static TBook book(10000);
  return book;
}

// A table of the book on the first predefined table style.
struct TBookTable {
  TTable Table;
  explicit TBookTable(TPersonList& list, int32_t ratio = 0) {
    TTableView& v = Table.View();
    v.OnCellText = [&list, &v](int32_t col, int32_t row, int32_t& align, std::string& text) {
      if (row >= 0 && row < list.Count())
        text = PersonTableCellText(*list.Persons(row), v.ColumnNames()[static_cast<size_t>(col)], align);
    };
    TTableStyleList styles;
    styles.Reset();
    TTableStyle* s = styles.Style(0);
    s->SetBase(&TBaseStyleValues::RatioValue, ratio);
    Table.AssignStyle(s);
    v.SetRowCount(list.Count());
  }
};

void TableToPdf(benchmark::State& state) {
  TPersonList& list = Book().List;
  const std::string pdf = FromOsPath(Book().Folder + "/table.pdf");
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(pdf);
  SheetPrinter().SetBackend(std::move(backend));
  int32_t pages = 0;
  double peak = 0;
  for (auto _ : state) {
    ResetPeak();
    TBookTable t(list);  // the layout (measuring every cell) counts: the command does it too
    pages = t.Table.View().Print("table", 0, 0);
    peak = std::max(peak, PeakMb());
  }
  SheetPrinter().SetBackend(nullptr);
  const std::string bytes = ReadFileBytes(pdf);
  size_t fonts = 0;
  for (size_t at = bytes.find("/FontFile2"); at != std::string::npos; at = bytes.find("/FontFile2", at + 1)) ++fonts;
  state.counters["rows"] = list.Count();
  state.counters["pages"] = pages;
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["fonts_embedded"] = static_cast<double>(fonts);
  state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(TableToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void RepaintPageAt100(benchmark::State& state) {
  SheetPrinter().SetBackend(std::make_unique<TPdfPrinterBackend>());  // measured for A4 at 600 dpi
  TBookTable t(Book().List, 100);
  TTableView& v = t.Table.View();
  // a view as large as the page at 100 %, the second page in view
  const int32_t w = PageMetrics().PaperScreen.X + 16, h = PageMetrics().PaperScreen.Y + 16;
  t.Table.SetSize(w + 20, h + 20);
  t.Table.HandleCreated();
  v.SetOffset({0, -(v.PaperBox().Height + 8)});
  QImage image(v.ClientWidth(), v.ClientHeight(), QImage::Format_ARGB32_Premultiplied);
  const TRect all = v.ClientRect();
  for (auto _ : state) {
    QPainter painter(&image);
    TQtCanvas canvas(&painter, PageMetrics().ScreenDpi, all);
    v.Paint(canvas, all);
  }
  SheetPrinter().SetBackend(nullptr);
  state.counters["rows_per_page"] = v.RowsPerPage();
  state.counters["view_px"] = static_cast<double>(v.ClientWidth()) * v.ClientHeight();
}
BENCHMARK(RepaintPageAt100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kaede::bench

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  kaede::InstallQtDrawing();
  ::benchmark::Initialize(&argc, argv);
  if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}
