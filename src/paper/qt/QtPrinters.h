#pragma once
// The print queues of the platform, drawn through Qt, and a PDF printer at 600 dots per inch that always
// exists, so that printing works (and documents can be produced) on a machine without any
// printer. Paper numbers are the Windows paper numbers that Qt's page sizes know (9 A4,
// 43 postcard, ...); 256 is a custom size in tenths of a millimetre.
#include <memory>
#include <string>
#include <vector>

#include "SheetPrinters.h"

class QPainter;
class QPrinter;

namespace kaede {

// The surface of a Qt print job: the painter on the printer.
class TQtPrintSurface : public TPrintSurface {
public:
  QPainter* Painter = nullptr;
  QPrinter* Printer = nullptr;
};

class TQtPrinterDevice;

// Backends whose printers are Qt printer devices; every operation goes to the current one.
class TQtDeviceBackend : public TPrinterBackend {
public:
  ~TQtDeviceBackend() override;
  uint32_t SupportedSettings() override;
  std::vector<TPaperEntry> Papers() override;
  int MaxCopies() override;
  TPrinterSettings ReadSettings() override;
  void WriteSettings(const TPrinterSettings& settings) override;
  TPrinterMetrics Metrics() override;
  TPrintSurface* BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  TPrintSurface* Canvas() override;
  void SetJobOptions(const TPrintJobOptions& options) override;

protected:
  virtual TQtPrinterDevice& Current() = 0;
};

// The PDF printer alone. Documents go to OutputFileName (CP932), which must be set before a
// job starts.
class TPdfPrinterBackend : public TQtDeviceBackend {
public:
  static constexpr const char* kName = "PDF";
  static constexpr int kDpi = 600;

  TPdfPrinterBackend();
  ~TPdfPrinterBackend() override;
  void SetOutputFileName(const std::string& fileName);
  const std::string& OutputFileName() const;
  TQtPrinterDevice& Device() { return *FDevice; }

  std::vector<TPrinterEntry> Printers() override { return {{kName, kPrinterAttributeFile}}; }
  int PrinterIndex() override { return 0; }
  void SetPrinterIndex(int /*index*/) override {}

protected:
  TQtPrinterDevice& Current() override { return *FDevice; }

private:
  std::unique_ptr<TQtPrinterDevice> FDevice;
};

// The print queues of the CUPS server (in its order), then the PDF printer. The current
// printer is the server's default queue, or the PDF printer when there is none. A queue's
// job is made as a PDF document of upright pages on the medium matched by size, and sent to
// the queue with the job's options when it ends.
class TQtPrinterBackend : public TQtDeviceBackend {
public:
  TQtPrinterBackend();
  ~TQtPrinterBackend() override;
  TPdfPrinterBackend& Pdf() { return FPdf; }
  int PdfIndex() const { return static_cast<int>(FDevices.size()); }

  std::vector<TPrinterEntry> Printers() override;
  int PrinterIndex() override { return FCurrent; }
  // The queue the print system marks as default; the PDF printer when there is none.
  int DefaultIndex() override { return FDefault; }
  void SetPrinterIndex(int index) override;
  // Enumerates the installed printers again; the current printer stays when it still exists.
  void Reset() override;

protected:
  TQtPrinterDevice& Current() override;

private:
  void Enumerate();
  std::vector<std::unique_ptr<TQtPrinterDevice>> FDevices;
  TPdfPrinterBackend FPdf;
  int FCurrent = 0;
  int FDefault = 0;
  bool FEnumerated = false;
};

// Installs the Qt printers as the process's printers (the window layer calls this at start).
void InstallQtPrinters(TSheetPrinter& printer = SheetPrinter());

}  // namespace kaede
