// The print dialog's glue: what the dialog opens on, and what it chose, as a print choice.
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include "PrintAreas.h"
#include "QtText.h"

namespace kaede {

namespace {
// Where the platform's dialog leaves the queue's own options (name, value, name, value ...)
// on the printer's engine.
const auto kQueueOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
}  // namespace

void PresetDialogPrinter(QPrinter& printer, const TPrintRange& range, const TPrintChoice& choice) {
  QPrinterInfo info = choice.PrinterName.empty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(ToQ(choice.PrinterName));
  if (!info.isNull()) printer.setPrinterName(info.printerName());
  if (choice.PaperWidthMm > 0 && choice.PaperHeightMm > 0) {
    // the queue's own size of the style's paper (bordered first), so that the properties
    // page opens on it; the paper is fed upright
    const double w = std::min(choice.PaperWidthMm, choice.PaperHeightMm), h = std::max(choice.PaperWidthMm, choice.PaperHeightMm);
    QPageSize found;
    for (const QPageSize& size : info.supportedPageSizes()) {
      const QSizeF mm = size.size(QPageSize::Millimeter);
      if (std::abs(mm.width() - w) > 0.5 || std::abs(mm.height() - h) > 0.5) continue;
      if (!found.isValid() || (found.key().contains("Borderless") && !size.key().contains("Borderless"))) found = size;
    }
    if (!found.isValid()) found = QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    printer.setPageSize(found);
    printer.setPageOrientation(QPageLayout::Portrait);
  }
  printer.setFromTo(range.From, range.To);
}

void ReadDialogChoice(QPrinter& printer, bool pageRange, TPrintChoice& choice) {
  choice.Ranges.clear();
  if (pageRange) {
    const QList<QPageRanges::Range> ranges = printer.pageRanges().toRangeList();
    if (ranges.size() > 1) {
      for (const QPageRanges::Range& r : ranges) choice.Ranges.emplace_back(r.from, r.to);
    } else {
      choice.From = printer.fromPage();
      choice.To = printer.toPage();
    }
  }
  if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty()) {
    choice.ToFile = true;
    choice.FileName = FromQ(printer.outputFileName());
  } else {
    choice.ToFile = false;
    choice.PrinterName = FromQ(printer.printerName());
  }
  TPrintJobOptions& job = choice.Job;
  job.Copies = std::max(1, printer.copyCount());
  job.Collate = printer.collateCopies();
  switch (printer.duplex()) {
    case QPrinter::DuplexNone: job.Sides = "one-sided"; break;
    case QPrinter::DuplexLongSide: job.Sides = "two-sided-long-edge"; break;
    case QPrinter::DuplexShortSide: job.Sides = "two-sided-short-edge"; break;
    default: job.Sides.clear(); break;
  }
  job.ColorMode = printer.colorMode() == QPrinter::Color ? "color" : "monochrome";
  const QPageSize page = printer.pageLayout().pageSize();
  const QString key = page.key();
  job.Borderless = key.contains("Borderless", Qt::CaseInsensitive) || key.contains("FullBleed", Qt::CaseInsensitive);
  // The dialog opens on the style's paper, so a size that differs from it was chosen by the
  // user on the properties page: that choice wins over the style (the user sees the paper
  // that is loaded, the style cannot), and the job asks the queue for that medium. The
  // content is not scaled to it: it keeps its size from the top-left corner of the page, so
  // a card proofed on A4 measures as it will on the card. The same size either way round,
  // or its borderless variant, is the style's paper.
  job.MediumWidthMm = job.MediumHeightMm = 0;
  const QSizeF mm = page.size(QPageSize::Millimeter);
  if (page.isValid() && choice.PaperWidthMm > 0 && choice.PaperHeightMm > 0) {
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.5; };
    const double w = choice.PaperWidthMm, h = choice.PaperHeightMm;
    const bool same = (near(mm.width(), w) && near(mm.height(), h)) || (near(mm.width(), h) && near(mm.height(), w));
    if (!same) {
      job.MediumWidthMm = mm.width();
      job.MediumHeightMm = mm.height();
    }
  }
  job.Extra.clear();
  const QStringList options = printer.printEngine() ? printer.printEngine()->property(kQueueOptions).toStringList() : QStringList();
  for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
    const std::string name = options[i].toStdString(), value = options[i + 1].toStdString();
    job.Extra.emplace_back(name, value);
  }
}

bool ExecPrintDialog(QWidget* parent, const TPrintRange& range, TPrintChoice& choice) {
  QPrinter printer(QPrinter::HighResolution);
  PresetDialogPrinter(printer, range, choice);
  QPrintDialog dialog(&printer, parent);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  dialog.setMinMax(range.Min, range.Max);
  dialog.setPrintRange(range.AllChosen ? QAbstractPrintDialog::AllPages : QAbstractPrintDialog::PageRange);
  if (dialog.exec() != QDialog::Accepted) return false;
  ReadDialogChoice(printer, dialog.printRange() == QAbstractPrintDialog::PageRange, choice);
  return true;
}

}  // namespace kaede
