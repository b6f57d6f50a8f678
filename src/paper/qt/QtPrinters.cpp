#include "QtPrinters.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QString>

#include <QTransform>
#include <filesystem>
#include <random>

#include "BaseViews.h"
#include "CupsQueues.h"
#include "Files.h"

namespace kaede {

namespace {

QString ToQ(const std::string& sjis) { return QString::fromUtf8(SjisToUtf8(sjis)); }
std::string FromQ(const QString& s) { return Utf8ToSjis(s.toUtf8().toStdString(), TConvMode::Replace); }

// The papers the PDF printer offers, by their Windows numbers.
const int kPdfPapers[] = {kPaperA4, kPaperA3, kPaperA5, kPaperB4, kPaperB5, kPaperLetter, 5,
                          kPaperPostcard, kPaperDoublePostcard, 71, 72, 73, 74};

}  // namespace

// One printer through QPrinter. Its committed page settings are kept here as well, so that a
// custom size stays 256 even when Qt would recognise a standard size in it.
class TQtPrinterDevice {
public:
  // A print queue: its pages are made as a PDF document, fed upright, and sent to the queue
  // when the job ends.
  explicit TQtPrinterDevice(const TCupsQueue& queue)
      : FPdf(false), FQueue(queue.Name), FName(Utf8ToSjis(queue.Name, TConvMode::Replace)) {}
  // The PDF printer.
  TQtPrinterDevice() : FPdf(true), FName(TPdfPrinterBackend::kName) {}

  const std::string& Name() const { return FName; }
  std::string OutputFileName;

  uint32_t Supported() const {
    uint32_t bits = psOrientation | psPaperSize | psPaperLength | psPaperWidth | psCopies;
    return FPdf ? bits : bits | psCollate | psDuplex | psColor | psDefaultSource;
  }
  TPrintJobOptions Job;

  std::vector<TPaperEntry> Papers() {
    std::vector<TPaperEntry> r;
    if (FPdf) {
      for (int n : kPdfPapers) r.push_back({n, FromQ(QPageSize(QPageSize::id(n)).name())});
    } else {
      for (const TCupsMedium& m : Media()) {
        TPaperEntry e;
        e.Media = m.Name;
        e.Name = CupsMediumCaption(m);
        e.TenthMm = {static_cast<int32_t>(std::lround(m.Width / 10.0)), static_cast<int32_t>(std::lround(m.Length / 10.0))};
        e.Borderless = m.Borderless();
        e.MarginLeft = m.Left / 100.0;
        e.MarginTop = m.Top / 100.0;
        e.MarginRight = m.Right / 100.0;
        e.MarginBottom = m.Bottom / 100.0;
        e.Number = kPaperUser;
        // a standard size keeps its number, so that styles that name it find it
        for (int n : kPdfPapers) {
          TPoint t;
          if (!e.Borderless && StandardPaperSize(n, t) && std::abs(t.X - e.TenthMm.X) <= 5 && std::abs(t.Y - e.TenthMm.Y) <= 5)
            e.Number = n;
        }
        r.push_back(e);
      }
    }
    return r;
  }

  int MaxCopies() { return FPdf ? 1 : 999; }

  // The queue's media, asked for once per device (the list of devices is made afresh when
  // the printers are read again).
  const std::vector<TCupsMedium>& Media() {
    if (!FMediaRead) {
      FMediaRead = true;
      FMedia = CupsQueueMedia(FQueue);
    }
    return FMedia;
  }

  // The paper of the committed settings in millimetres, as the pages are drawn.
  QSizeF PaperMm() const {
    if (FSettings.PaperNumber == kPaperUser) return QSizeF(FSettings.PaperWidth / 10.0, FSettings.PaperLength / 10.0);
    QSizeF mm = QPageSize(QPageSize::id(FSettings.PaperNumber)).size(QPageSize::Millimeter);
    if (FSettings.Landscape) mm.transpose();
    return mm;
  }

  TPrinterSettings ReadSettings() {
    Printer();
    return FSettings;
  }

  void WriteSettings(const TPrinterSettings& s) {
    QPrinter& p = Printer();
    // Everything is checked before anything changes: a paper Qt cannot set leaves the
    // printer as it was and says so.
    QPageSize size;
    QPageLayout::Orientation orientation = s.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (s.PaperNumber == kPaperUser) {
      if (!s.ExtentPresent || s.PaperWidth <= 0 || s.PaperLength <= 0)
        throw ESHEETPrinterRangeError("TSheetPrinter.SetpaperExtent: The User Paper Extent is out of range");
      // A user paper comes out as wide and as high as asked: Qt and the print systems take
      // a page size upright, turned by the orientation. The PDF page is the nearest whole
      // points, which is as close to the millimetres as the writer allows.
      const double w = s.PaperWidth / 10.0, h = s.PaperLength / 10.0;
      const QSizeF upright(std::min(w, h), std::max(w, h));
      size = FPdf ? QPageSize(QSize(qRound(upright.width() * 72 / 25.4), qRound(upright.height() * 72 / 25.4)),
                              QString(), QPageSize::ExactMatch)
                  : QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
      orientation = w > h ? QPageLayout::Landscape : QPageLayout::Portrait;
    } else {
      QPageSize::PageSizeId id = QPageSize::id(s.PaperNumber);
      if (id == QPageSize::Custom)
        throw ESHEETPrinterRangeError("TSheetPrinter.SetPaperSizeNumber: Paper Number " +
                                      std::to_string(s.PaperNumber) + " is out of range");
      size = QPageSize(id);
    }
    if (!p.setPageSize(size)) throw ESheetPrinterNotSupported("TSheetPrinter.ApplySettings: PaperSize is not Supported");
    p.setPageOrientation(orientation);
    FSettings = s;
  }

  TPrinterMetrics Metrics() {
    QPrinter& p = Printer();
    TPrinterMetrics m;
    int dpi = p.resolution();
    m.Dpi = {dpi, dpi};
    // Qt keeps page sizes in whole points; the page model of the PDF printer keeps the
    // paper's own millimetres (a number Qt does not know keeps the page Qt has)
    QSizeF mm = PaperMm();
    if (!mm.isEmpty()) {
      m.PaperDots = {qRound(mm.width() * dpi / 25.4), qRound(mm.height() * dpi / 25.4)};
      m.PrintableDots = m.PaperDots;
      return m;
    }
    QRectF paper = p.paperRect(QPrinter::DevicePixel);
    QRectF page = p.pageRect(QPrinter::DevicePixel);
    m.PaperDots = {qRound(paper.width()), qRound(paper.height())};
    m.PrintableDots = {qRound(page.width()), qRound(page.height())};
    m.OffsetDots = {qRound(page.left() - paper.left()), qRound(page.top() - paper.top())};
    return m;
  }

  TPrintSurface* BeginDoc(const std::string& title) {
    QPrinter& p = Printer();
    if (FPainter) throw ESheetPrinter("TSheetPrinter.BeginDoc: A Print Job is Running");
    p.setDocName(ToQ(title));
    if (FPdf) {
      if (OutputFileName.empty()) throw ESheetPrinter("TSheetPrinter.BeginDoc: No Output File");
      p.setOutputFileName(QString::fromUtf8(OsPath(OutputFileName)));
    } else {
      FTitle = title;
      FJobFile = JobFileName();
      p.setOutputFileName(QString::fromStdString(FJobFile));
      // every page goes to the queue upright, as the medium is fed: a landscape card is drawn
      // turned a quarter clockwise on a portrait page, its left edge leading
      const QSizeF mm = PaperMm();
      FTurned = mm.width() > mm.height();
      const QSizeF fed = FedMm();
      p.setPageOrientation(QPageLayout::Portrait);
      p.setPageSize(QPageSize(fed, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
      FFedWidthDots = fed.width() * p.resolution() / 25.4;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&p)) throw ESheetPrinter("TSheetPrinter.BeginDoc: Cannot Start Print Job");
    FPainter = std::move(painter);
    Turn();
    FSurface.Painter = FPainter.get();
    FSurface.Printer = &p;
    return &FSurface;
  }

  void NewPage() {
    if (!FPainter) return;
    if (!FPrinter->newPage()) throw ESheetPrinter("TSheetPrinter.NewPage: Cannot Start a New Page");
    Turn();
  }

  void EndDoc() {
    if (!FPainter) return;
    std::unique_ptr<QPainter> painter = std::move(FPainter);
    FSurface = TQtPrintSurface();
    const bool ended = painter->end();
    if (FPdf) {
      if (!ended) throw ESheetPrinter("TSheetPrinter.EndDoc: Cannot End Print Job");
      return;
    }
    // the document is complete: it goes to the queue, and the file goes in any case
    const std::string file = std::move(FJobFile);
    TAtScopeExit remove([&] {
      std::error_code ec;
      std::filesystem::remove(file, ec);
    });
    if (!ended) throw ESheetPrinter("TSheetPrinter.EndDoc: Cannot End Print Job");
    const QSizeF mm = FedMm();
    std::vector<TCupsMedium> media;
    try {
      media = Media();
    } catch (const Exception&) {
      // a queue that does not tell its media still gets the job, with the paper as a custom size
    }
    const TCupsMedium* medium = MatchCupsMedium(media, mm.width(), mm.height(), Job.Borderless);
    LastJobId = SubmitCupsJob(FQueue, SjisToUtf8(FTitle), file, CupsJobOptions(medium, mm.width(), mm.height(), Job));
  }
  int LastJobId = 0;

  // Where a queue's document is made before it is sent.
  static std::string JobFileName() {
    static std::mt19937_64 random{std::random_device{}()};
    return (std::filesystem::temp_directory_path() / ("kaede-print-" + std::to_string(random()) + ".pdf")).string();
  }

  // The medium the pages are made for, upright: the one chosen on the properties page, else
  // the style's paper. With a chosen medium the content keeps its own size and place from
  // the page's top-left corner (nothing is scaled), turned as the style's paper would be.
  QSizeF FedMm() const {
    QSizeF mm = PaperMm();
    if (Job.MediumWidthMm > 0 && Job.MediumHeightMm > 0) mm = QSizeF(Job.MediumWidthMm, Job.MediumHeightMm);
    return QSizeF(std::min(mm.width(), mm.height()), std::max(mm.width(), mm.height()));
  }

  // A landscape card on the upright page: a quarter turn clockwise about the page's corner.
  void Turn() {
    if (FPdf || !FTurned || !FPainter) return;
    FPainter->resetTransform();
    FPainter->translate(FFedWidthDots, 0);
    FPainter->rotate(90);
  }

  TPrintSurface* Canvas() { return FPainter ? &FSurface : nullptr; }

private:
  // The printer object is made on first use (enumerating printers needs none).
  QPrinter& Printer() {
    if (FPrinter) return *FPrinter;
    // a PDF file, or the PDF the program makes for a print queue and hands to it with the job's
    // options; drawing positions are measured from the page's top-left corner
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    FPrinter->setOutputFormat(QPrinter::PdfFormat);
    FPrinter->setResolution(TPdfPrinterBackend::kDpi);
    FPrinter->setFullPage(true);
    FPrinter->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    FPrinter->setPageSize(QPageSize(QPageSize::A4));
    FPrinter->setPageOrientation(QPageLayout::Portrait);
    QPageLayout layout = FPrinter->pageLayout();
    int n = layout.pageSize().windowsId();
    FSettings = TPrinterSettings();
    FSettings.Landscape = layout.orientation() == QPageLayout::Landscape;
    if (n > 0 && n != kPaperUser) {
      FSettings.PaperNumber = n;
    } else {
      QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
      FSettings.PaperNumber = kPaperUser;
      FSettings.PaperWidth = qRound(mm.width() * 10);
      FSettings.PaperLength = qRound(mm.height() * 10);
      FSettings.ExtentPresent = true;
    }
    return *FPrinter;
  }

  bool FPdf;
  std::string FQueue;  // UTF-8; empty for the PDF printer
  std::string FName;
  bool FMediaRead = false;
  std::vector<TCupsMedium> FMedia;
  std::string FTitle, FJobFile;
  bool FTurned = false;
  double FFedWidthDots = 0;
  std::unique_ptr<QPrinter> FPrinter;
  TPrinterSettings FSettings;
  std::unique_ptr<QPainter> FPainter;
  TQtPrintSurface FSurface;
};

// ---- TQtDeviceBackend ----------------------------------------------------------------------

TQtDeviceBackend::~TQtDeviceBackend() = default;
uint32_t TQtDeviceBackend::SupportedSettings() { return Current().Supported(); }
std::vector<TPaperEntry> TQtDeviceBackend::Papers() { return Current().Papers(); }
int TQtDeviceBackend::MaxCopies() { return Current().MaxCopies(); }
TPrinterSettings TQtDeviceBackend::ReadSettings() { return Current().ReadSettings(); }
void TQtDeviceBackend::WriteSettings(const TPrinterSettings& settings) { Current().WriteSettings(settings); }
TPrinterMetrics TQtDeviceBackend::Metrics() { return Current().Metrics(); }
TPrintSurface* TQtDeviceBackend::BeginDoc(const std::string& title) { return Current().BeginDoc(title); }
void TQtDeviceBackend::NewPage() { Current().NewPage(); }
void TQtDeviceBackend::EndDoc() { Current().EndDoc(); }
TPrintSurface* TQtDeviceBackend::Canvas() { return Current().Canvas(); }
void TQtDeviceBackend::SetJobOptions(const TPrintJobOptions& options) { Current().Job = options; }

// ---- TPdfPrinterBackend --------------------------------------------------------------------

TPdfPrinterBackend::TPdfPrinterBackend() : FDevice(std::make_unique<TQtPrinterDevice>()) {}
TPdfPrinterBackend::~TPdfPrinterBackend() = default;
void TPdfPrinterBackend::SetOutputFileName(const std::string& fileName) { FDevice->OutputFileName = fileName; }
const std::string& TPdfPrinterBackend::OutputFileName() const { return FDevice->OutputFileName; }

// ---- TQtPrinterBackend ---------------------------------------------------------------------

TQtPrinterBackend::TQtPrinterBackend() { Enumerate(); }
TQtPrinterBackend::~TQtPrinterBackend() = default;

void TQtPrinterBackend::Enumerate() {
  std::string current;
  const std::vector<TCupsQueue> queues = CupsQueues();
  if (!FEnumerated) {
    for (const TCupsQueue& q : queues)
      if (q.IsDefault) current = Utf8ToSjis(q.Name, TConvMode::Replace);
  } else if (FCurrent >= 0 && FCurrent < static_cast<int>(FDevices.size())) {
    current = FDevices[static_cast<size_t>(FCurrent)]->Name();
  }
  FEnumerated = true;
  FDevices.clear();
  for (const TCupsQueue& q : queues) FDevices.push_back(std::make_unique<TQtPrinterDevice>(q));
  FCurrent = PdfIndex();
  FDefault = PdfIndex();
  for (size_t i = 0; i < FDevices.size(); ++i) {
    if (!current.empty() && FDevices[i]->Name() == current) FCurrent = static_cast<int>(i);
    if (queues[i].IsDefault) FDefault = static_cast<int>(i);
  }
}

std::vector<TPrinterEntry> TQtPrinterBackend::Printers() {
  std::vector<TPrinterEntry> r;
  for (const auto& d : FDevices) r.push_back({d->Name(), 0});
  r.push_back({TPdfPrinterBackend::kName, kPrinterAttributeFile});
  return r;
}

void TQtPrinterBackend::SetPrinterIndex(int index) {
  if (index >= 0 && index <= PdfIndex()) FCurrent = index;
}

void TQtPrinterBackend::Reset() { Enumerate(); }

TQtPrinterDevice& TQtPrinterBackend::Current() {
  if (FCurrent >= 0 && FCurrent < static_cast<int>(FDevices.size())) return *FDevices[static_cast<size_t>(FCurrent)];
  return FPdf.Device();
}

void InstallQtPrinters(TSheetPrinter& printer) { printer.SetBackend(std::make_unique<TQtPrinterBackend>()); }

}  // namespace kaede
