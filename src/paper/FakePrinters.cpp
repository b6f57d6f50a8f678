#include "FakePrinters.h"

#include "Canvas.h"

#include <memory>

namespace kaede {

TFakePrinter TFakePrinter::Standard(const std::string& name) {
  TFakePrinter p;
  p.Name = name;
  p.Papers = {{kPaperA4, "A4", {2100, 2970}}, {kPaperPostcard, "Postcard", {1000, 1480}}};
  p.Bins = {{7, "Auto"}};
  return p;
}

TFakePrinter& TFakePrinterBackend::Device() {
  if (Current < 0 || Current >= static_cast<int>(Devices.size()))
    throw ESheetPrinter("fake printer: no current printer");
  return Devices[static_cast<size_t>(Current)];
}

std::vector<TPrinterEntry> TFakePrinterBackend::Printers() {
  std::vector<TPrinterEntry> r;
  for (const TFakePrinter& d : Devices) r.push_back({d.Name, d.Attributes});
  return r;
}

std::vector<TPaperEntry> TFakePrinterBackend::Papers() {
  TFakePrinter& d = Device();
  if (d.FailPapers) throw ESheetPrinter("fake printer: the paper list cannot be read");
  std::vector<TPaperEntry> r;
  for (const TFakePrinter::TPaper& p : d.Papers) r.push_back({p.Number, p.Name});
  return r;
}

void TFakePrinterBackend::WriteSettings(const TPrinterSettings& settings) {
  Device().Settings = settings;
  ++Commits;
}

TPrinterMetrics TFakePrinterBackend::Metrics() {
  TFakePrinter& d = Device();
  TPoint tenth{0, 0};
  const TPrinterSettings& s = d.Settings;
  if (s.PaperNumber == kPaperUser && s.ExtentPresent) {
    tenth = {s.PaperWidth, s.PaperLength};
  } else {
    bool found = false;
    for (const TFakePrinter::TPaper& p : d.Papers) {
      if (p.Number == s.PaperNumber) {
        tenth = p.TenthMm;
        found = true;
        break;
      }
    }
    if (!found) StandardPaperSize(s.PaperNumber, tenth);
  }
  auto dots = [](int32_t t, int32_t dpi) { return RoundHalfEven(t * dpi / 254.0); };
  TPrinterMetrics m;
  m.Dpi = d.Dpi;
  m.PaperDots = {dots(tenth.X, d.Dpi.X), dots(tenth.Y, d.Dpi.Y)};
  m.OffsetDots = {d.MarginLeft, d.MarginTop};
  m.PrintableDots = {m.PaperDots.X - d.MarginLeft - d.MarginRight, m.PaperDots.Y - d.MarginTop - d.MarginBottom};
  if (s.Landscape) {
    std::swap(m.PaperDots.X, m.PaperDots.Y);
    std::swap(m.PrintableDots.X, m.PrintableDots.Y);
    // the portrait sheet turned a quarter: its bottom margin becomes the left one
    m.OffsetDots = {d.MarginBottom, d.MarginLeft};
  }
  return m;
}

TPrintSurface* TFakePrinterBackend::BeginDoc(const std::string& title) {
  if (FailBeginDoc) throw ESheetPrinter("fake printer: the job cannot be started");
  FSurface = std::make_unique<TFakePrintSurface>();
  FSurface->Title = title;
  FSurface->Page = 1;
  Titles.push_back(title);
  return FSurface.get();
}

void TFakePrinterBackend::NewPage() {
  if (!FSurface) throw ESheetPrinter("fake printer: a new page outside a job");
  if (FailNewPageAfter >= 0 && FSurface->Page >= FailNewPageAfter) throw ESheetPrinter("fake printer: the page failed");
  ++FSurface->Page;
  if (FSurface->Recording) FSurface->Recording->NewPage();
}

void TFakePrinterBackend::EndDoc() {
  if (!FSurface) return;
  Pages = FSurface->Page;
  TotalPages += Pages;
  ++Documents;
  LastRecording = FSurface->Recording;
  FSurface.reset();
}

}  // namespace kaede
