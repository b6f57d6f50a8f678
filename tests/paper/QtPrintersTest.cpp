#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPrinterInfo>
#include <cstdlib>

#include "Files.h"
#include "QtPrinters.h"
#include "QtTestApp.h"
#include "TestUtil.h"

using namespace kaede;

TEST(QtPrinters, ThePdfPrinterIsAlwaysThere) {
  EnsureApp();
  auto backend = std::make_unique<TQtPrinterBackend>();
  TQtPrinterBackend* b = backend.get();
  std::vector<TPrinterEntry> printers = b->Printers();
  ASSERT_EQ(static_cast<int>(printers.size()), QPrinterInfo::availablePrinters().size() + 1);
  EXPECT_EQ(printers.back().Name, "PDF");
  EXPECT_EQ(b->PdfIndex(), static_cast<int>(printers.size()) - 1);
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    EXPECT_EQ(b->PrinterIndex(), b->PdfIndex());
  }
  TSheetPrinter p(std::move(backend));
  EXPECT_TRUE(p.HasPrinter());
  b->SetPrinterIndex(b->PdfIndex());
  EXPECT_EQ(p.PixelsPerInch(), (TPoint{600, 600}));
  b->Reset();  // the printers again: the PDF printer stays current
  EXPECT_EQ(b->PrinterIndex(), b->PdfIndex());
}

TEST(QtPrinters, PdfPaperAndPageMetrics) {
  EnsureApp();
  TSheetPrinter p(std::make_unique<TPdfPrinterBackend>());
  EXPECT_EQ(p.PaperSizeDots(), (TPoint{4961, 7016}));
  EXPECT_EQ(p.PaperSizeTenthMm(), (TPoint{2100, 2970}));
  EXPECT_EQ(p.PhysicalOffset(), (TPoint{0, 0}));
  EXPECT_EQ(p.PrintableSize(), p.PaperSizeDots());
  EXPECT_EQ(p.GetPaperSizeNumber(), kPaperA4);
  EXPECT_TRUE(p.HasPaperNumber(kPaperPostcard));
  EXPECT_TRUE(p.HasPaperNumber(73));  // 長形３号

  p.SetPaperSizeNumber(kPaperPostcard);
  p.SetOrientation(true);
  p.ApplySettings();
  EXPECT_EQ(p.PaperSizeDots(), (TPoint{3496, 2362}));
  EXPECT_TRUE(p.GetOrientation());

  // a user size stays a user size even where it matches a standard paper
  p.SetPaperExtent(1000, 1480);
  p.SetOrientation(false);
  p.ApplySettings();
  EXPECT_EQ(p.GetPaperSizeNumber(), kPaperUser);
  EXPECT_EQ(p.GetUserPaperExtent(), (TPoint{1000, 1480}));
  EXPECT_EQ(p.PaperSizeDots(), (TPoint{2362, 3496}));

  TPageMetrics m;
  ReadPrinterMetrics(p, m);
  ReadPaperMetrics(false, 0, 0, p, m);
  EXPECT_EQ(m.PageDpi, 600);
  EXPECT_EQ(m.PaperDots, (TPoint{2362, 3496}));
}

TEST(QtPrinters, ThePdfPrinterWritesItsPages) {
  EnsureApp();
  test::TempDir dir;
  auto* pdf = new TPdfPrinterBackend();
  TSheetPrinter p{std::unique_ptr<TPrinterBackend>(pdf)};
  EXPECT_THROW(p.BeginDoc("no file"), ESheetPrinter);
  pdf->SetOutputFileName(dir.File("印刷.pdf"));
  p.BeginDoc(SJ("宛名"));
  auto* surface = dynamic_cast<TQtPrintSurface*>(p.Canvas());
  ASSERT_TRUE(surface && surface->Painter);
  surface->Painter->drawRect(100, 100, 2000, 3000);
  p.NewPage();
  surface->Painter->drawLine(0, 0, 4000, 6000);
  p.EndDoc();
  EXPECT_EQ(p.Canvas(), nullptr);
  std::string data = ReadFileBytes(dir.File("印刷.pdf"));
  EXPECT_EQ(data.rfind("%PDF", 0), 0u);
  size_t pages = 0;
  for (size_t at = data.find("/Type /Page"); at != std::string::npos; at = data.find("/Type /Page", at + 1))
    pages += data.compare(at, 12, "/Type /Pages") != 0;
  EXPECT_EQ(pages, 2u);
}
