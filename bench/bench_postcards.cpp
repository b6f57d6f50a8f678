// Address prints: 1,000 vertical official postcards of the shared synthetic address book to a
// PDF file through the PDF printer and the Qt canvas (the work of kaede print postcards after
// the book is open), and one card drawn for the preview at screen resolution; 1,000 長形３号
// envelopes without and with the customer barcode (the barcode costs at most half again);
// and 10,000 cards of a book through a fresh kaede process (under 2 s and 200 MB). The
// counters give the file size, the peak memory of the process and the pages a second.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <filesystem>

#include "CommaText.h"
#include "Files.h"
#include "PersonLists.h"
#include "PostPrints.h"
#include "PostViews.h"
#include "PostalDatas.h"
#include "QtCanvas.h"
#include "QtPrinters.h"

using namespace kaede;

namespace {

const int kCards = std::getenv("KAEDE_BENCH_CARDS") ? std::atoi(std::getenv("KAEDE_BENCH_CARDS")) : 1000;

double MaxRssMb() {
  struct rusage ru;
  ::getrusage(RUSAGE_SELF, &ru);
  return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// The first `count` entries of the synthetic book (name, postal code, address and building)
// added to `b`.
void AddSyntheticEntries(TPersonList& b, int count) {
  const char* shared = std::getenv("KAEDE_SHARED_DATA");
  std::string csv = ReadFileBytes(std::string(shared ? shared : KAEDE_SHARED_DATA) +
                                  "/fake/synthetic_addressbook_5000_cp932.csv");
  TStrings lines, f;
  SplitLines(csv, lines);
  b.BeginUpdate();
  for (int i = 1; i <= count && i < static_cast<int>(lines.size()); ++i) {
    DecodeCommaText(lines[static_cast<size_t>(i)], f);
    auto* p = static_cast<TPerson*>(b.AddText(""));
    p->SetName(f[1] + " " + f[2]);
    p->SetYomi(f[3] + " " + f[4]);
    p->SetPostal(f[6]);
    TStrings address{f[7] + f[8] + f[9] + f[10]};
    if (!f[11].empty()) address.push_back(f[11]);
    p->SetAddress(&address);
  }
  b.EndUpdate();
}

TPersonList& Book() {
  static TPersonList* book = [] {
    auto* b = new TPersonList();
    AddSyntheticEntries(*b, kCards);
    return b;
  }();
  return *book;
}

TPostStyle& Card() {
  static TPostStyle* style = TDataItem::Make<TPostStyle>();
  return *style;
}

void BM_CardsToPdf(benchmark::State& state) {
  TPostPrintJob job;
  job.Style = &Card();
  for (int i = 0; i < Book().Count(); ++i) job.Persons.push_back(Book().Persons(i));
  job.Range = PostPrintRange(0, 0, Book().Count(), 1);
  job.Title = "cards";
  const std::string file = std::filesystem::temp_directory_path().string() + "/kaede-bench-cards.pdf";
  int32_t sheets = 0;
  for (auto _ : state) {
    auto backend = std::make_unique<TPdfPrinterBackend>();
    backend->SetOutputFileName(file);
    SheetPrinter().SetBackend(std::move(backend));
    sheets = PrintPostcards(job);
  }
  state.counters["cards"] = sheets;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  state.counters["peak_MB"] = MaxRssMb();
  state.counters["cards_per_s"] = benchmark::Counter(sheets, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CardsToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// A dictionary of the book's own postal codes, prefectures, cities and towns: the barcode
// looks every entry's town up in it as in the national one (an indexed look-up).
TPostalData& BookDictionary() {
  static TPostalData* data = [] {
    const std::string folder = std::filesystem::temp_directory_path().string() + "/kaede-bench-dict";
    const char* shared = std::getenv("KAEDE_SHARED_DATA");
    std::string csv = ReadFileBytes(std::string(shared ? shared : KAEDE_SHARED_DATA) +
                                    "/fake/synthetic_addressbook_5000_cp932.csv");
    TStrings lines, f;
    SplitLines(csv, lines);
    TPostalLists l;
    for (size_t i = 1; i < lines.size(); ++i) {
      DecodeCommaText(lines[i], f);
      const int index = static_cast<int>(l.Postal.size());
      l.Postal.push_back(ReplaceStrAll(f[6], "-", "") + f[9]);
      l.Ken.push_back(RangeLine(index, f[7]));
      l.City.push_back(RangeLine(index, f[8]));
    }
    SavePostalFiles(folder, l);
    auto* d = new TPostalData({folder});
    d->LoadData();
    return d;
  }();
  return *data;
}

// 1,000 長形３号 envelopes, the barcode off (0) or on (1), in the same run.
void BM_EnvelopesToPdf(benchmark::State& state) {
  static TPostStyle* style = [] {
    auto* s = TDataItem::Make<TPostStyle>();
    s->SetDefaultIndex(27);
    s->EnsurePreset();
    return s;
  }();
  style->SetPost(&TPostValues::Barcode, state.range(0) == 1);
  TPostPrintJob job;
  job.Style = style;
  for (int i = 0; i < Book().Count(); ++i) job.Persons.push_back(Book().Persons(i));
  job.Range = PostPrintRange(0, 0, Book().Count(), 1);
  job.Title = "envelopes";
  job.Dictionary = &BookDictionary();
  const std::string file = std::filesystem::temp_directory_path().string() + "/kaede-bench-envelopes.pdf";
  int32_t sheets = 0;
  std::vector<TBarcodeMissing> missing;
  for (auto _ : state) {
    auto backend = std::make_unique<TPdfPrinterBackend>();
    backend->SetOutputFileName(file);
    SheetPrinter().SetBackend(std::move(backend));
    missing.clear();
    sheets = PrintPostcards(job, &missing);
  }
  SheetPrinter().SetBackend(std::make_unique<TPdfPrinterBackend>());
  state.counters["envelopes"] = sheets;
  state.counters["without_barcode"] = static_cast<double>(missing.size());
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}
BENCHMARK(BM_EnvelopesToPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// 10,000 official cards of a book (the synthetic book twice) through `kaede print
// postcards` in a fresh process: the wall time and the process's peak memory.
void BM_TenThousandCardsFreshProcess(benchmark::State& state) {
  const std::string dir = std::filesystem::temp_directory_path().string() + "/kaede-bench-10000";
  std::filesystem::create_directories(dir);
  const std::string book = dir + "/book.kad", out = dir + "/cards.pdf";
  {
    TPersonList big;
    AddSyntheticEntries(big, 5000);
    AddSyntheticEntries(big, 5000);
    big.SaveToFile(book);
  }
  double peak = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
      if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
      ::execl(KAEDE_CLI, KAEDE_CLI, "print", "postcards", book.c_str(), "-o", out.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    struct rusage ru;
    ::wait4(pid, &status, 0, &ru);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("kaede print postcards failed");
    peak = std::max(peak, static_cast<double>(ru.ru_maxrss) / 1024.0);
  }
  state.counters["cards"] = 10000;
  state.counters["child_peak_MB"] = peak;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TenThousandCardsFreshProcess)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// One page of the preview: the card at 96 dpi and 100 % on an image, with the frames, the
// title and the stamp shown, as the view paints a page while paging through the book.
void BM_PreviewPage(benchmark::State& state) {
  const int32_t w = RoundHalfEven(100 * 96 / 25.4), h = RoundHalfEven(148 * 96 / 25.4);
  QImage image(w, h, QImage::Format_RGB32);
  TPostPictures pictures = LoadPostPictures(Card().Post());
  int i = 0;
  for (auto _ : state) {
    QPainter painter(&image);
    TQtCanvas canvas(&painter, 96, {0, 0, w, h});
    TPostPaint paint;
    paint.PageRect = {0, 0, w, h};
    paint.Person = Book().Persons(i++ % Book().Count());
    paint.Pictures = &pictures;
    TPostLayout(Card(), canvas, paint).Draw();
  }
}
BENCHMARK(BM_PreviewPage)->Unit(benchmark::kMillisecond);

// Paging through the preview: the view moves to the next entry's card and paints the visible
// area of the window (a 440 x 640 view at 96 dpi) on an image, as the window does.
void BM_PreviewPaging(benchmark::State& state) {
  TPostView view;
  view.SetStyle(&Card());
  view.SetBounds(440, 640);
  view.SetPersons(&Book());
  QImage image(440, 640, QImage::Format_RGB32);
  int i = 0;
  for (auto _ : state) {
    view.SelectPerson(i++ % Book().Count());
    QPainter painter(&image);
    TQtCanvas canvas(&painter, 96, view.ClientRect());
    view.Paint(canvas, view.ClientRect());
  }
}
BENCHMARK(BM_PreviewPaging)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallQtDrawing();
  // the paper sizes of the preview come from a printer, as in the window
  SheetPrinter().SetBackend(std::make_unique<TPdfPrinterBackend>());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SheetPrinter().SetBackend(nullptr);  // the printer goes before the toolkit
  return 0;
}
