#pragma once
// Printers and page metrics. TSheetPrinter wraps the current printer of a printer backend:
// its capabilities, its page settings (changed through a private copy that is committed on
// request), its page metrics and its print jobs. The page metrics translate between
// millimetres, printer dots and screen pixels for every paper view.
//
// Backends: TFakePrinterBackend (FakePrinters.h) for tests, and in kaede_paper_qt the Qt
// printers with an always present PDF printer. Without a backend there is no printer and the
// page metrics stay at A4 at 360 dots per inch.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Errors.h"
#include "KaedeTypes.h"
#include "Strs.h"

namespace kaede {

// ---- Rounding and lengths ------------------------------------------------------------------

// To the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(double value);
// To two decimals, halves to the even neighbour (millimetres as styles keep them).
double RoundHundredths(double value);

// Paper numbers of the platform's standard numbering.
enum : int32_t {
  kPaperLetter = 1,
  kPaperA3 = 8,
  kPaperA4 = 9,
  kPaperA5 = 11,
  kPaperB4 = 12,
  kPaperB5 = 13,
  kPaperPostcard = 43,
  kPaperDoublePostcard = 69,
  kPaperUser = 256,  // a user-defined size given in tenths of a millimetre
};
// Width and height in tenths of a millimetre of a standard paper number (portrait); false
// for numbers this table does not know.
bool StandardPaperSize(int32_t number, TPoint& tenthMm);

// A box in millimetres by its edges.
struct TMmBox {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// ---- Exceptions ----------------------------------------------------------------------------

class ESheetPrinter : public Exception {
public:
  using Exception::Exception;
};
class ESheetPrinterNoPrinter : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESheetPrinterIllegalIndex : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESheetPrinterNotSupported : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESheetPrinterNoInfo : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESHEETPrinterRangeError : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESHEETPrinterPaperSizeError : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
class ESheetPrinterNoUserPaperExtent : public ESheetPrinter {
public:
  using ESheetPrinter::ESheetPrinter;
};
// The user stopped a job before it started (ClipCheck answered no); nothing was sent.
class EPrintStopped : public Exception {
public:
  using Exception::Exception;
};

// ---- Backend -------------------------------------------------------------------------------

// The only printer attribute used: a hidden printer does not count as a printer.
inline constexpr uint32_t kPrinterAttributeHidden = 0x20;
// The printer writes a file (the PDF printer) rather than feeding a print queue.
inline constexpr uint32_t kPrinterAttributeFile = 0x40;

struct TPrinterEntry {
  std::string Name;  // CP932
  uint32_t Attributes = 0;
  bool operator==(const TPrinterEntry&) const = default;
};

// Bits of SupportedSettings.
enum : uint32_t {
  psOrientation = 1u << 0,
  psPaperSize = 1u << 1,
  psPaperLength = 1u << 2,
  psPaperWidth = 1u << 3,
  psScale = 1u << 4,
  psCopies = 1u << 5,
  psDefaultSource = 1u << 6,
  psPrintQuality = 1u << 7,
  psColor = 1u << 8,
  psDuplex = 1u << 9,
  psYResolution = 1u << 10,
  psTTOption = 1u << 11,
  psCollate = 1u << 12,
  psFormName = 1u << 13,
  psLogPixels = 1u << 14,
  psICMMethod = 1u << 15,
  psICMIntent = 1u << 16,
};

struct TPaperEntry {
  TPaperEntry() = default;
  TPaperEntry(int32_t number, std::string name) : Number(number), Name(std::move(name)) {}
  int32_t Number = 0;
  std::string Name;  // CP932
  // A medium of a print queue: its own name (a PWG or PPD name), its size as it is fed
  // (tenths of a millimetre) and whether it is printed without borders. Number is the
  // standard number of that size, or 256.
  std::string Media;
  TPoint TenthMm;
  bool Borderless = false;
  // What the queue cannot print on, in millimetres of the medium as it is fed.
  double MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
};
struct TBinEntry {
  int32_t Number = 0;
  std::string Name;
};

// The page settings of a printer.
struct TPrinterSettings {
  int32_t PaperNumber = kPaperA4;
  bool Landscape = false;
  int32_t PaperWidth = 0;   // user size, tenths of a millimetre
  int32_t PaperLength = 0;  // user size, tenths of a millimetre
  bool ExtentPresent = false;
  int32_t Scale = 100;  // percent
  bool operator==(const TPrinterSettings&) const = default;
};

// What the current printer reports for its committed settings, in its own dots.
struct TPrinterMetrics {
  TPoint Dpi{600, 600};
  TPoint PaperDots;
  TPoint PrintableDots;
  TPoint OffsetDots;
};

// What a print job asks of the printer beyond its pages. Empty texts leave the printer's own
// default.
struct TPrintJobOptions {
  int32_t Copies = 1;
  bool Collate = true;
  bool Borderless = false;   // the medium without borders, where the printer offers one
  std::string Sides;         // one-sided, two-sided-long-edge, two-sided-short-edge
  std::string ColorMode;     // color, monochrome
  std::string Source;        // the paper source (media-source or the printer's InputSlot)
  // The printer's own options (name, value) as its properties page chose them.
  std::vector<std::pair<std::string, std::string>> Extra;
  // A medium chosen on the printer's properties page in place of the style's paper
  // (millimetres, either way round); 0 x 0: the style's paper.
  double MediumWidthMm = 0, MediumHeightMm = 0;
};

// What a queue's unprintable border would take off a job's content: the printer and medium,
// and the millimetres lost on each edge of the page as the style lays it out.
struct TClipLoss {
  std::string Printer;  // CP932
  std::string Medium;   // the medium's caption, CP932
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Any() const { return Left > 0 || Top > 0 || Right > 0 || Bottom > 0; }
  // A Japanese sentence: which printer, how much on which edge (CP932).
  std::string Text() const;
};
// The loss of content whose ink covers `ink` (millimetres on a page of pageWidth x
// pageHeight, as the style lays it out) printed on `medium`: a landscape page goes on a
// portrait medium turned a quarter clockwise (its left edge leading), so each edge of the
// page meets the medium's margin of the edge it lands on; ink past the medium's far edges is
// lost as well.
TClipLoss MediumClipLoss(const TPaperEntry& medium, double pageWidthMm, double pageHeightMm, const TMmBox& ink);

// The drawing surface of a print job; the drawing code of a backend's toolkit reaches its own
// painter through the backend's subclass.
class TPrintSurface {
public:
  virtual ~TPrintSurface() = default;
};

// The platform's printers. Every operation except Printers, PrinterIndex, SetPrinterIndex,
// Reset and Ports concerns the current printer. Capability reads may raise; the wrapper
// treats a failure as an empty list.
class TPrinterBackend {
public:
  virtual ~TPrinterBackend() = default;
  virtual std::vector<TPrinterEntry> Printers() = 0;
  // Index of the current printer in Printers(); -1 when there is none.
  virtual int PrinterIndex() = 0;
  // Index of the system's default printer in Printers(); -1 when none is marked.
  virtual int DefaultIndex() { return -1; }
  virtual void SetPrinterIndex(int index) = 0;
  // The printer list changed: drop everything cached and enumerate afresh.
  virtual void Reset() {}
  virtual TStrings Ports() { return {}; }

  virtual uint32_t SupportedSettings() = 0;
  virtual std::vector<TPaperEntry> Papers() = 0;
  virtual std::vector<TBinEntry> Bins() { return {}; }
  virtual int ResolutionCount() { return 1; }
  virtual int MaxCopies() { return 1; }

  virtual TPrinterSettings ReadSettings() = 0;
  virtual void WriteSettings(const TPrinterSettings& settings) = 0;
  virtual TPrinterMetrics Metrics() = 0;

  virtual TPrintSurface* BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // The surface of the running job; none outside a job.
  virtual TPrintSurface* Canvas() = 0;
  // The options of the next job (backends that cannot take them ignore them).
  virtual void SetJobOptions(const TPrintJobOptions& /*options*/) {}
};

// ---- Printer snapshot and wrapper ----------------------------------------------------------

class TSheetAllPrintersInfo {
public:
  TSheetAllPrintersInfo() = default;
  explicit TSheetAllPrintersInfo(TPrinterBackend* backend);
  int Count() const { return static_cast<int>(FEntries.size()); }
  const std::string& Name(int index) const { return FEntries.at(static_cast<size_t>(index)).Name; }
  uint32_t Attributes(int index) const { return FEntries.at(static_cast<size_t>(index)).Attributes; }
  bool SameAs(const TSheetAllPrintersInfo& other) const { return FEntries == other.FEntries; }

private:
  std::vector<TPrinterEntry> FEntries;
};

class TSheetPrinter {
public:
  explicit TSheetPrinter(std::unique_ptr<TPrinterBackend> backend = nullptr);
  TSheetPrinter(const TSheetPrinter&) = delete;
  TSheetPrinter& operator=(const TSheetPrinter&) = delete;

  // Replaces the backend and forgets everything read from the old one.
  void SetBackend(std::unique_ptr<TPrinterBackend> backend);
  TPrinterBackend* Backend() const { return FBackend.get(); }

  bool HasPrinter() const;
  void CheckNoPrinter();
  int GetIndex();

  int GetPaperSizeNumber();
  void SetPaperSizeNumber(int number);
  bool HasPaperNumber(int number);
  int GetNumPaperSizes();
  int GetPaperNumbers(int index);
  TStrings GetPaperSizeNames();
  int GetPaperSizeIndex();
  bool GetOrientation();
  void SetOrientation(bool landscape);
  // Width and length in tenths of a millimetre.
  TPoint GetUserPaperExtent();
  void SetPaperExtent(int width, int length);
  uint32_t SupportedSettings();
  int Scale();
  bool SettingsModified() const { return FModified; }
  void ApplySettings();
  void DiscardSettings();

  const std::vector<TBinEntry>& Bins();
  int ResolutionCount();
  int Copies();
  // The papers of the current printer with their media names and sizes.
  const std::vector<TPaperEntry>& Papers();

  TPoint PrintableSize();
  TPoint PixelsPerInch();
  TPoint PaperSizeDots();
  TPoint PaperSizeTenthMm();
  TPoint PhysicalOffset();

  TPrintSurface* Canvas();
  void BeginDoc(const std::string& title);
  void NewPage();
  void EndDoc();
  TStrings Ports();

  // The platform reported changed system settings (printers added, removed or reconfigured).
  void PrintersChanged();
  // Reads the printer list afresh (a queue added or removed meanwhile is there or gone).
  void Refresh();
  // Makes the printer of that name (CP932) the current one; false when there is none.
  bool SelectPrinter(const std::string& name);
  // The name of the printer the next job goes to; empty without a printer.
  std::string CurrentPrinterName();
  // The options of the next job; they stay until changed.
  void SetJobOptions(const TPrintJobOptions& options);
  const TPrintJobOptions& JobOptions() const { return FJobOptions; }
  // Makes the system's default printer the current one (the first when none is marked).
  void SelectDefaultPrinter();
  // The names of the print queues (not hidden, not the file writer), in the platform's order.
  TStrings QueueNames();
  // Whether a print queue of that name is listed now (read afresh first).
  bool HasQueue(const std::string& name);
  // Asked before a job starts when the current printer's medium for the job would lose some
  // of the content to its unprintable border; false stops the job before anything is sent.
  // Not set: no check.
  std::function<bool(const TClipLoss& loss)> ClipCheck;

private:
  enum { ifPapers = 1, ifBins = 2, ifResolutions = 4, ifCopies = 8 };
  void RefreshCaps();
  void CheckSupported(uint32_t bits, const char* message);
  void CheckPaperInfo(const char* message);
  TPrinterSettings& Pending();

  std::unique_ptr<TPrinterBackend> FBackend;
  TSheetAllPrintersInfo FPrinters;
  uint32_t FSupported = 0;
  std::vector<TPaperEntry> FPapers;
  std::vector<TBinEntry> FBins;
  int FResolutionCount = 0;
  int FCopies = 0;
  uint32_t FInfoFlags = 0;
  int FPrinterIndex = -1;  // capabilities were read for this printer
  bool FHasPending = false;
  int FPendingIndex = -1;  // printer the pending settings were read from
  TPrinterSettings FPending;
  bool FModified = false;
  std::string FDeviceName;
  TStrings FPorts;
  TPrintJobOptions FJobOptions;
};

// The paper of the list whose size is width x height millimetres within half a millimetre,
// either way round (the bordered one unless borderless); -1 when none is.
int FindPaperBySize(const std::vector<TPaperEntry>& papers, double widthMm, double heightMm, bool borderless = false);

// The process-wide printer (no printer until a backend is installed).
TSheetPrinter& SheetPrinter();

// ---- Page metrics --------------------------------------------------------------------------

struct TPageMetrics {
  int32_t PageDpi = 360;
  int32_t ScreenDpi = 96;
  double ScreenPerPage = 96.0 / 360;
  TPoint PaperDots{2976, 4209};
  TPoint PrintableDots{2976, 4209};
  TPoint OffsetDots{0, 0};
  TPoint PaperScreen{794, 1122};
};

// The process-wide page metrics.
TPageMetrics& PageMetrics();
// Where ReadPrinterMetrics learns the screen's pixels per inch (the window layer installs
// its own; the default answers 96).
void SetScreenDpiSource(std::function<int32_t()> source);

// The state without printer: A4 at 360 dots per inch (swapped for landscape).
void ResetPageMetrics(bool landscape, TPageMetrics& m = PageMetrics());
void ReadPrinterMetrics(TSheetPrinter& printer = SheetPrinter(), TPageMetrics& m = PageMetrics());
void ReadPaperMetrics(bool userSize, double widthMm, double heightMm, TSheetPrinter& printer = SheetPrinter(),
                      TPageMetrics& m = PageMetrics());
int32_t MmToScreen(double mm, const TPageMetrics& m = PageMetrics());
double ScreenToMm(int32_t pixels, const TPageMetrics& m = PageMetrics());
int32_t MmToDots(double mm, const TPageMetrics& m = PageMetrics());

}  // namespace kaede
