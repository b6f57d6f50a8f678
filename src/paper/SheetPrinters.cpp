#include "SheetPrinters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Cp932.h"

namespace kaede {

// ---- Rounding and lengths ------------------------------------------------------------------

int32_t RoundHalfEven(double value) {
  // nearbyint follows the default rounding mode, which is to nearest with ties to even
  double r = std::nearbyint(value);
  if (!(r > INT32_MIN)) return INT32_MIN;
  if (!(r < INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(r);
}

double RoundHundredths(double value) { return std::nearbyint(value * 100) / 100; }

bool StandardPaperSize(int32_t number, TPoint& tenthMm) {
  struct TSize {
    int32_t Number, Width, Height;
  };
  static const TSize kSizes[] = {
      {kPaperLetter, 2159, 2794}, {5, 2159, 3556},   {kPaperA3, 2970, 4200},       {kPaperA4, 2100, 2970},
      {kPaperA5, 1480, 2100},     {kPaperB4, 2570, 3640}, {kPaperB5, 1820, 2570}, {kPaperPostcard, 1000, 1480},
      {kPaperDoublePostcard, 2000, 1480}, {71, 2400, 3320}, {72, 2160, 2770}, {73, 1200, 2350}, {74, 900, 2050},
  };
  for (const TSize& s : kSizes) {
    if (s.Number == number) {
      tenthMm = {s.Width, s.Height};
      return true;
    }
  }
  return false;
}

// ---- Snapshot ------------------------------------------------------------------------------

TSheetAllPrintersInfo::TSheetAllPrintersInfo(TPrinterBackend* backend) {
  if (backend) FEntries = backend->Printers();
}

// ---- TSheetPrinter -------------------------------------------------------------------------

TSheetPrinter::TSheetPrinter(std::unique_ptr<TPrinterBackend> backend) { SetBackend(std::move(backend)); }

void TSheetPrinter::SetBackend(std::unique_ptr<TPrinterBackend> backend) {
  FBackend = std::move(backend);
  FPrinters = TSheetAllPrintersInfo(FBackend.get());
  FPrinterIndex = -1;
  FSupported = 0;
  FInfoFlags = 0;
  FPapers.clear();
  FBins.clear();
  DiscardSettings();
  FPorts.clear();
}

bool TSheetPrinter::HasPrinter() const {
  if (!FBackend) return false;
  for (const TPrinterEntry& e : FBackend->Printers())
    if (!(e.Attributes & kPrinterAttributeHidden)) return true;
  return false;
}

void TSheetPrinter::CheckNoPrinter() {
  if (HasPrinter()) return;
  FPrinterIndex = -1;
  throw ESheetPrinterNoPrinter("TSheetPrinter.CheckNoPrinter: No Printer");
}

int TSheetPrinter::GetIndex() {
  CheckNoPrinter();
  int index = FBackend->PrinterIndex();
  std::vector<TPrinterEntry> entries = FBackend->Printers();
  if (index < 0 || index >= static_cast<int>(entries.size())) return -1;
  if (entries[static_cast<size_t>(index)].Attributes & kPrinterAttributeHidden)
    throw ESheetPrinterIllegalIndex("TSheetPrinter.GetIndex: Printers.PrinterIndex is Illegal");
  int visible = 0;
  for (int i = 0; i < index; ++i)
    if (!(entries[static_cast<size_t>(i)].Attributes & kPrinterAttributeHidden)) ++visible;
  return visible;
}

// The capabilities are read again whenever the current printer is another one than the one
// they were read for. A list the printer does not give (an error or no entries) stays empty
// with its flag clear.
void TSheetPrinter::RefreshCaps() {
  int index = FBackend->PrinterIndex();
  if (index == FPrinterIndex) return;
  FInfoFlags = 0;
  FPapers.clear();
  FBins.clear();
  FResolutionCount = 0;
  FCopies = 0;
  try {
    FSupported = FBackend->SupportedSettings();
  } catch (const std::exception&) {
    FSupported = 0;
  }
  try {
    FPapers = FBackend->Papers();
    for (TPaperEntry& p : FPapers) {
      p.Name = CutStr(p.Name, 64, false);
      if (p.TenthMm.X <= 0) StandardPaperSize(p.Number, p.TenthMm);
    }
    if (!FPapers.empty()) FInfoFlags |= ifPapers;
  } catch (const std::exception&) {
    FPapers.clear();
  }
  try {
    FBins = FBackend->Bins();
    for (TBinEntry& b : FBins) b.Name = CutStr(b.Name, 24, false);
    if (!FBins.empty()) FInfoFlags |= ifBins;
  } catch (const std::exception&) {
    FBins.clear();
  }
  try {
    FResolutionCount = std::max(0, FBackend->ResolutionCount());
    if (FResolutionCount > 0) FInfoFlags |= ifResolutions;
  } catch (const std::exception&) {
    FResolutionCount = 0;
  }
  try {
    FCopies = std::max(0, FBackend->MaxCopies());
    if (FCopies > 0) FInfoFlags |= ifCopies;
  } catch (const std::exception&) {
    FCopies = 0;
  }
  FPrinterIndex = index;
}

void TSheetPrinter::CheckSupported(uint32_t bits, const char* message) {
  RefreshCaps();
  if ((FSupported & bits) != bits) throw ESheetPrinterNotSupported(message);
}

void TSheetPrinter::CheckPaperInfo(const char* message) {
  if (!(FInfoFlags & ifPapers)) throw ESheetPrinterNoInfo(message);
}

// The pending settings belong to the printer they were read from: when the current printer
// is another one, they are read afresh (settings of one printer are never written to
// another).
TPrinterSettings& TSheetPrinter::Pending() {
  int index = FBackend->PrinterIndex();
  if (!FHasPending || FPendingIndex != index) {
    TPrinterSettings s = FBackend->ReadSettings();
    std::vector<TPrinterEntry> entries = FBackend->Printers();
    FDeviceName = index >= 0 && index < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(index)].Name
                                                                         : std::string();
    FPending = s;
    FHasPending = true;
    FPendingIndex = index;
    FModified = false;
  }
  return FPending;
}

int TSheetPrinter::GetPaperSizeNumber() {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.GetPaperSizeNumber: PaperSize is not Supported");
  return Pending().PaperNumber;
}

void TSheetPrinter::SetPaperSizeNumber(int number) {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.SetPaperSizeNumber: PaperSize is not Supported");
  TPrinterSettings& p = Pending();
  if (p.PaperNumber == number) return;
  p.PaperNumber = number;
  if (number != kPaperUser) p.ExtentPresent = false;
  FModified = true;
}

bool TSheetPrinter::HasPaperNumber(int number) {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.HasPaperNumber: PaperSize is not Supported");
  CheckPaperInfo("TSheetPrinter.HasPapserSizeNumber: No PaperSize Info Available");
  return std::any_of(FPapers.begin(), FPapers.end(), [&](const TPaperEntry& p) { return p.Number == number; });
}

int TSheetPrinter::GetNumPaperSizes() {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.GetNumPaperSize: PaperSize is not Supported");
  CheckPaperInfo("TSheetPrinter.GetNumPaperSizes: No Papersize Info Available");
  return static_cast<int>(FPapers.size());
}

int TSheetPrinter::GetPaperNumbers(int index) {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.GetPaperSizeNumber: PaperSize is not Supported");
  CheckPaperInfo("TSheetPrinter.GetNumPaperSizeNumbers: No Papersize Info Available");
  if (index < 0 || index >= static_cast<int>(FPapers.size()))
    throw ESHEETPrinterRangeError("TSheetPrinter.GetPaperNumbers: Index is our of range");
  return FPapers[static_cast<size_t>(index)].Number;
}

TStrings TSheetPrinter::GetPaperSizeNames() {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.GetPaperSizeNames: PaperSize is not Supported");
  CheckPaperInfo("TSheetPrinter.GetPaperSizeNames: No Papersize Info Available");
  TStrings names;
  for (const TPaperEntry& p : FPapers) names.push_back(p.Name);
  return names;
}

int TSheetPrinter::GetPaperSizeIndex() {
  CheckNoPrinter();
  CheckSupported(psPaperSize, "TSheetPrinter.GetPaperSizeIndex: PaperSize is not Supported");
  CheckPaperInfo("TSheetPrinter.GetPaperSizeIndex: No Papersize Info Available");
  int number = Pending().PaperNumber;
  for (size_t i = 0; i < FPapers.size(); ++i)
    if (FPapers[i].Number == number) return static_cast<int>(i);
  throw ESHEETPrinterPaperSizeError("TSheetPrinter.GetPaperSizeIndex: Cannot Get Paper Index");
}

bool TSheetPrinter::GetOrientation() {
  CheckNoPrinter();
  CheckSupported(psOrientation, "TSheetPrinter.GetOrientation: Orientation is not Supported");
  return Pending().Landscape;
}

void TSheetPrinter::SetOrientation(bool landscape) {
  CheckNoPrinter();
  CheckSupported(psOrientation, "TSheetPrinter.SetOrientation: Orientation is not Supported");
  TPrinterSettings& p = Pending();
  if (p.Landscape == landscape) return;
  p.Landscape = landscape;
  FModified = true;
}

TPoint TSheetPrinter::GetUserPaperExtent() {
  CheckNoPrinter();
  RefreshCaps();
  const uint32_t need = psPaperSize | psPaperLength | psPaperWidth;
  if ((FSupported & need) != need || Pending().PaperNumber != kPaperUser || !FPending.ExtentPresent)
    throw ESheetPrinterNoUserPaperExtent("TSheetPrinter.GetUserpaperExtent: Cannot Get User paper Extent");
  return {FPending.PaperWidth, FPending.PaperLength};
}

void TSheetPrinter::SetPaperExtent(int width, int length) {
  CheckNoPrinter();
  CheckSupported(psPaperSize | psPaperLength | psPaperWidth,
                 "TSheetPrinter.SetpaperExtent: PaperSize is not Supported");
  TPrinterSettings& p = Pending();
  if (p.PaperNumber == kPaperUser && p.ExtentPresent && p.PaperWidth == width && p.PaperLength == length) return;
  p.PaperNumber = kPaperUser;
  p.PaperWidth = width;
  p.PaperLength = length;
  p.ExtentPresent = true;
  FModified = true;
}

uint32_t TSheetPrinter::SupportedSettings() {
  CheckNoPrinter();
  RefreshCaps();
  return FSupported;
}

int TSheetPrinter::Scale() {
  CheckNoPrinter();
  RefreshCaps();
  if (!(FSupported & psScale)) return 100;
  return Pending().Scale;
}

void TSheetPrinter::ApplySettings() {
  CheckNoPrinter();
  if (!FModified) return;
  if (FPendingIndex != FBackend->PrinterIndex()) {
    DiscardSettings();
    return;
  }
  FBackend->WriteSettings(FPending);
  DiscardSettings();
  FPrinterIndex = -1;
}

void TSheetPrinter::DiscardSettings() {
  FHasPending = false;
  FModified = false;
  FPendingIndex = -1;
}

const std::vector<TBinEntry>& TSheetPrinter::Bins() {
  CheckNoPrinter();
  RefreshCaps();
  return FBins;
}

int TSheetPrinter::ResolutionCount() {
  CheckNoPrinter();
  RefreshCaps();
  return FResolutionCount;
}

int TSheetPrinter::Copies() {
  CheckNoPrinter();
  RefreshCaps();
  return FCopies;
}

TPoint TSheetPrinter::PrintableSize() {
  CheckNoPrinter();
  return FBackend->Metrics().PrintableDots;
}

TPoint TSheetPrinter::PixelsPerInch() {
  CheckNoPrinter();
  return FBackend->Metrics().Dpi;
}

TPoint TSheetPrinter::PaperSizeDots() {
  CheckNoPrinter();
  return FBackend->Metrics().PaperDots;
}

TPoint TSheetPrinter::PaperSizeTenthMm() {
  TPoint dots = PaperSizeDots();
  TPoint dpi = PixelsPerInch();
  int64_t scale = Scale();
  // a printer that reports no resolution has no size rather than a division by zero
  auto tenth = [&](int32_t d, int32_t res) -> int32_t {
    if (res <= 0) return 0;
    return static_cast<int32_t>(static_cast<int64_t>(d) * scale * 254 / res / 100);
  };
  return {tenth(dots.X, dpi.X), tenth(dots.Y, dpi.Y)};
}

TPoint TSheetPrinter::PhysicalOffset() {
  CheckNoPrinter();
  return FBackend->Metrics().OffsetDots;
}

TPrintSurface* TSheetPrinter::Canvas() { return FBackend ? FBackend->Canvas() : nullptr; }

void TSheetPrinter::BeginDoc(const std::string& title) {
  if (!FBackend) throw ESheetPrinterNoPrinter("TSheetPrinter.CheckNoPrinter: No Printer");
  FBackend->BeginDoc(title);
}

void TSheetPrinter::NewPage() {
  if (FBackend) FBackend->NewPage();
}

void TSheetPrinter::EndDoc() {
  if (FBackend) FBackend->EndDoc();
}

TStrings TSheetPrinter::Ports() {
  if (FPorts.empty() && FBackend) {
    for (const std::string& p : FBackend->Ports())
      if (std::find(FPorts.begin(), FPorts.end(), p) == FPorts.end()) FPorts.push_back(p);
  }
  return FPorts;
}

void TSheetPrinter::PrintersChanged() {
  TSheetAllPrintersInfo now(FBackend.get());
  if (now.SameAs(FPrinters)) {
    FPorts.clear();
    Ports();
    return;
  }
  if (FBackend) FBackend->Reset();
  FPrinters = TSheetAllPrintersInfo(FBackend.get());
  FPrinterIndex = -1;
  DiscardSettings();
}

void TSheetPrinter::Refresh() {
  if (!FBackend) return;
  FBackend->Reset();
  FPrinters = TSheetAllPrintersInfo(FBackend.get());
  FPrinterIndex = -1;
  DiscardSettings();
}

bool TSheetPrinter::SelectPrinter(const std::string& name) {
  if (!FBackend) return false;
  std::vector<TPrinterEntry> entries = FBackend->Printers();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].Name != name || (entries[i].Attributes & kPrinterAttributeHidden)) continue;
    if (FBackend->PrinterIndex() != static_cast<int>(i)) {
      FBackend->SetPrinterIndex(static_cast<int>(i));
      DiscardSettings();
    }
    return FBackend->PrinterIndex() == static_cast<int>(i);
  }
  return false;
}

std::string TSheetPrinter::CurrentPrinterName() {
  if (!FBackend) return {};
  int index = FBackend->PrinterIndex();
  std::vector<TPrinterEntry> entries = FBackend->Printers();
  return index >= 0 && index < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(index)].Name : std::string();
}

void TSheetPrinter::SelectDefaultPrinter() {
  if (!FBackend) return;
  std::vector<TPrinterEntry> entries = FBackend->Printers();
  int index = FBackend->DefaultIndex();
  if (index < 0 || index >= static_cast<int>(entries.size()) || (entries[static_cast<size_t>(index)].Attributes & kPrinterAttributeHidden)) {
    index = -1;
    for (size_t i = 0; i < entries.size() && index < 0; ++i)
      if (!(entries[i].Attributes & kPrinterAttributeHidden)) index = static_cast<int>(i);
  }
  if (index >= 0) SelectPrinter(entries[static_cast<size_t>(index)].Name);
}

TStrings TSheetPrinter::QueueNames() {
  TStrings names;
  if (!FBackend) return names;
  for (const TPrinterEntry& e : FBackend->Printers())
    if (!(e.Attributes & (kPrinterAttributeHidden | kPrinterAttributeFile))) names.push_back(e.Name);
  return names;
}

bool TSheetPrinter::HasQueue(const std::string& name) {
  Refresh();
  const TStrings names = QueueNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

void TSheetPrinter::SetJobOptions(const TPrintJobOptions& options) {
  FJobOptions = options;
  FJobOptions.Copies = std::clamp(options.Copies, 1, 999);
  if (FBackend) FBackend->SetJobOptions(FJobOptions);
}

const std::vector<TPaperEntry>& TSheetPrinter::Papers() {
  CheckNoPrinter();
  RefreshCaps();
  return FPapers;
}

int FindPaperBySize(const std::vector<TPaperEntry>& papers, double widthMm, double heightMm, bool borderless) {
  auto near = [](double a, double b) { return std::abs(a - b) <= 0.5 + 1e-9; };
  int fallback = -1;
  for (size_t i = 0; i < papers.size(); ++i) {
    TPoint size = papers[i].TenthMm;
    if (size.X <= 0 && !StandardPaperSize(papers[i].Number, size)) continue;
    const double w = size.X / 10.0, h = size.Y / 10.0;
    if (!((near(w, widthMm) && near(h, heightMm)) || (near(w, heightMm) && near(h, widthMm)))) continue;
    if (papers[i].Borderless == borderless) return static_cast<int>(i);
    if (fallback < 0) fallback = static_cast<int>(i);
  }
  return fallback;
}

// ---- Clipping by the medium's border ---------------------------------------------------------

namespace {
// Millimetres to a tenth, without a trailing ".0".
std::string MmText(double mm) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", mm);
  std::string s = buf;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}
// What is lost past a limit, to a tenth of a millimetre; less than half a tenth is nothing
// (the rounding of dots).
double Lost(double mm) { return mm < 0.05 ? 0 : std::round(mm * 10) / 10; }
}  // namespace

std::string TClipLoss::Text() const {
  std::string edges;
  const std::pair<const char*, double> list[] = {{"上端", Top}, {"下端", Bottom}, {"左端", Left}, {"右端", Right}};
  for (const auto& [name, mm] : list) {
    if (mm <= 0) continue;
    if (!edges.empty()) edges += SJ("、");
    edges += Utf8ToSjis(name) + SJ("が") + MmText(mm) + "mm";
  }
  return SJ("プリンタ「") + Printer + SJ("」の用紙「") + Medium + SJ("」には印刷できない余白があり、内容の") + edges +
         SJ("欠けます。");
}

TClipLoss MediumClipLoss(const TPaperEntry& medium, double pageWidthMm, double pageHeightMm, const TMmBox& ink) {
  TClipLoss loss;
  loss.Medium = medium.Name;
  double w = medium.TenthMm.X / 10.0, h = medium.TenthMm.Y / 10.0;
  double l = medium.MarginLeft, t = medium.MarginTop, r = medium.MarginRight, b = medium.MarginBottom;
  if (pageWidthMm > pageHeightMm && w <= h) {
    // turned a quarter clockwise: the page's left edge leads (the medium's top), its top lies
    // on the medium's right edge
    const double ml = l, mt = t, mr = r, mb = b;
    l = mt;
    t = mr;
    r = mb;
    b = ml;
    std::swap(w, h);
  }
  loss.Left = Lost(l - ink.Left);
  loss.Top = Lost(t - ink.Top);
  loss.Right = Lost(ink.Right - (w - r));
  loss.Bottom = Lost(ink.Bottom - (h - b));
  return loss;
}

TSheetPrinter& SheetPrinter() {
  static TSheetPrinter printer;
  return printer;
}

// ---- Page metrics --------------------------------------------------------------------------

namespace {
std::function<int32_t()>& ScreenDpiSource() {
  static std::function<int32_t()> source = [] { return 96; };
  return source;
}
TPoint Scaled(TPoint p, double f) { return {RoundHalfEven(p.X * f), RoundHalfEven(p.Y * f)}; }
}  // namespace

TPageMetrics& PageMetrics() {
  static TPageMetrics metrics;
  return metrics;
}

void SetScreenDpiSource(std::function<int32_t()> source) { ScreenDpiSource() = std::move(source); }

void ResetPageMetrics(bool landscape, TPageMetrics& m) {
  m.PaperDots = landscape ? TPoint{4209, 2976} : TPoint{2976, 4209};
  m.OffsetDots = {0, 0};
  m.PrintableDots = m.PaperDots;
  m.PageDpi = 360;
  m.ScreenPerPage = m.ScreenDpi / 360.0;
  m.PaperScreen = Scaled(m.PaperDots, m.ScreenPerPage);
}

void ReadPrinterMetrics(TSheetPrinter& printer, TPageMetrics& m) {
  if (!printer.HasPrinter()) return;
  int32_t dpi = printer.PixelsPerInch().X;
  int32_t screen = ScreenDpiSource() ? ScreenDpiSource()() : 96;
  // a resolution of 0 would make every length infinite: such a printer leaves the metrics
  if (dpi <= 0 || screen <= 0) return;
  m.PageDpi = dpi;
  m.ScreenDpi = screen;
  m.ScreenPerPage = static_cast<double>(screen) / dpi;
}

void ReadPaperMetrics(bool userSize, double widthMm, double heightMm, TSheetPrinter& printer, TPageMetrics& m) {
  if (!printer.HasPrinter()) return;
  m.PaperDots = userSize ? TPoint{MmToDots(widthMm, m), MmToDots(heightMm, m)} : printer.PaperSizeDots();
  m.PrintableDots = printer.PrintableSize();
  m.OffsetDots = printer.PhysicalOffset();
  m.PaperScreen = Scaled(m.PaperDots, m.ScreenPerPage);
}

int32_t MmToScreen(double mm, const TPageMetrics& m) { return RoundHalfEven(m.ScreenDpi * mm / 25.4); }

double ScreenToMm(int32_t pixels, const TPageMetrics& m) {
  return std::nearbyint(static_cast<double>(pixels) / m.ScreenDpi * 25.4 * 100) / 100;
}

int32_t MmToDots(double mm, const TPageMetrics& m) { return RoundHalfEven(m.PageDpi * mm / 25.4); }

}  // namespace kaede
