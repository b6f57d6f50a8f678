#pragma once
// A scripted printer backend for tests: printers with their papers, resolutions, offsets,
// supported settings and hidden flags, failures on demand, and a record of what was done
// (settings committed, documents and pages printed).
#include <memory>
#include <string>
#include <vector>

#include "SheetPrinters.h"

namespace kaede {

struct TFakePrinter {
  std::string Name = "Fake Printer";
  uint32_t Attributes = 0;
  uint32_t Supported = psOrientation | psPaperSize | psPaperLength | psPaperWidth | psScale | psCopies;
  // Papers with their sizes in tenths of a millimetre (portrait).
  struct TPaper {
    int32_t Number = kPaperA4;
    std::string Name = "A4";
    TPoint TenthMm{2100, 2970};
  };
  std::vector<TPaper> Papers;
  std::vector<TBinEntry> Bins;
  TPoint Dpi{600, 600};
  int ResolutionCount = 1;
  int MaxCopies = 99;
  // Unprintable border of the paper, in dots of the portrait sheet.
  int32_t MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
  // The committed page settings.
  TPrinterSettings Settings;
  // Failures: reading the paper list raises.
  bool FailPapers = false;

  // A4 and the postcard at 600 dots per inch, nothing hidden, no margins.
  static TFakePrinter Standard(const std::string& name = "Fake Printer");
};

class TRecordingCanvas;

// The surface of a fake print job: the job's shape, and what was drawn on it when a view
// drew through the default surfaces (page breaks recorded as NewPage operations).
class TFakePrintSurface : public TPrintSurface {
public:
  std::string Title;
  int Page = 0;  // pages begun so far
  std::shared_ptr<TRecordingCanvas> Recording;
};

class TFakePrinterBackend : public TPrinterBackend {
public:
  std::vector<TFakePrinter> Devices;
  int Current = 0;  // index into Devices; -1 none
  TStrings PortNames;

  // What happened.
  int Commits = 0;       // WriteSettings calls
  int Resets = 0;        // Reset calls
  int Documents = 0;     // finished documents
  int Pages = 0;         // pages of the last finished document
  int TotalPages = 0;    // pages of all finished documents
  std::vector<std::string> Titles;
  // What was drawn in the last finished document (none when nothing drew on it).
  std::shared_ptr<TRecordingCanvas> LastRecording;
  bool InDocument() const { return FSurface != nullptr; }

  // Failures on demand.
  bool FailBeginDoc = false;
  int FailNewPageAfter = -1;  // NewPage raises when this many pages were begun

  std::vector<TPrinterEntry> Printers() override;
  int PrinterIndex() override { return Devices.empty() ? -1 : Current; }
  void SetPrinterIndex(int index) override { Current = index; }
  void Reset() override { ++Resets; }
  TStrings Ports() override { return PortNames; }

  uint32_t SupportedSettings() override { return Device().Supported; }
  std::vector<TPaperEntry> Papers() override;
  std::vector<TBinEntry> Bins() override { return Device().Bins; }
  int ResolutionCount() override { return Device().ResolutionCount; }
  int MaxCopies() override { return Device().MaxCopies; }

  TPrinterSettings ReadSettings() override { return Device().Settings; }
  void WriteSettings(const TPrinterSettings& settings) override;
  // The committed paper (its number's size, or the user extent) in the committed orientation.
  TPrinterMetrics Metrics() override;

  TPrintSurface* BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  TPrintSurface* Canvas() override { return FSurface.get(); }

private:
  TFakePrinter& Device();
  std::unique_ptr<TFakePrintSurface> FSurface;
};

}  // namespace kaede
