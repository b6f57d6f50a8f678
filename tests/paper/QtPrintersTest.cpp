#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QPrinterInfo>
#include <cstdlib>

#include "Files.h"
#include "QtPrinters.h"
#include "QtTestApp.h"
#include "PdfRender.h"
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

namespace {

// The size of a PDF's first page in points ("W x H"), from pdfinfo; empty without it.
std::string PdfPageSize(const std::string& pdfUtf8) {
  std::string cmd = "pdfinfo '" + pdfUtf8 + "' 2>/dev/null | sed -n 's/^Page size: *\\([0-9.]* x [0-9.]*\\) pts.*/\\1/p'";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return {};
  char buf[128] = {};
  size_t n = std::fread(buf, 1, sizeof buf - 1, p);
  ::pclose(p);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

TEST(QtPrinters, AnUnknownPaperNumberIsARangeErrorAndChangesNothing) {
  EnsureApp();
  TSheetPrinter p(std::make_unique<TPdfPrinterBackend>());
  const TPoint a4 = p.PaperSizeDots();
  p.SetPaperSizeNumber(4242);
  EXPECT_THROW(p.ApplySettings(), ESHEETPrinterRangeError);
  p.DiscardSettings();
  EXPECT_EQ(p.GetPaperSizeNumber(), kPaperA4);
  EXPECT_EQ(p.PaperSizeDots(), a4);
  // a user size without an extent is no size either
  TPdfPrinterBackend b;
  TPrinterSettings s;
  s.PaperNumber = kPaperUser;
  EXPECT_THROW(b.WriteSettings(s), ESHEETPrinterRangeError);
}

TEST(QtPrinters, UserPagesComeOutAsWideAndAsHighAsAsked) {
  EnsureApp();
  if (std::system("pdfinfo -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdfinfo is not installed";
  test::TempDir dir;
  struct TCase {
    int32_t W, H;
    bool Landscape;
    const char* Points;
  };
  // a round-trip card (wider than high), a postcard, and the flag that only turns standard papers
  for (const TCase& c : {TCase{2000, 1480, false, "567 x 420"}, TCase{1000, 1480, false, "283 x 420"},
                         TCase{2000, 1480, true, "567 x 420"}}) {
    auto backend = std::make_unique<TPdfPrinterBackend>();
    TPdfPrinterBackend* b = backend.get();
    std::string pdf = dir.Path() + "/card" + std::to_string(c.W) + (c.Landscape ? "l" : "p") + ".pdf";
    b->SetOutputFileName(FromOsPath(pdf));
    TSheetPrinter p(std::move(backend));
    p.SetPaperExtent(c.W, c.H);
    p.SetOrientation(c.Landscape);
    p.ApplySettings();
    EXPECT_EQ(p.PaperSizeDots(), (TPoint{RoundHalfEven(c.W * 600 / 254.0), RoundHalfEven(c.H * 600 / 254.0)}));
    p.BeginDoc("card");
    p.EndDoc();
    EXPECT_EQ(PdfPageSize(pdf), c.Points) << c.W << " " << c.Landscape;
  }
}

TEST(QtPrinters, PdfDrawingStartsAtThePagesTopLeftCorner) {
  EnsureApp();
  if (std::system("pdftoppm -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  test::TempDir dir;
  std::string pdf = dir.Path() + "/corners.pdf";
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(FromOsPath(pdf));
  TSheetPrinter p(std::move(backend));
  p.SetPaperExtent(2000, 1480);
  p.ApplySettings();
  const TPoint size = p.PaperSizeDots();
  p.BeginDoc("corners");
  auto* s = static_cast<TQtPrintSurface*>(p.Canvas());
  ASSERT_TRUE(s && s->Painter);
  // a black square of 100 dots in each corner of the page model
  const int d = 100;
  for (QPoint at : {QPoint(0, 0), QPoint(size.X - d, 0), QPoint(0, size.Y - d), QPoint(size.X - d, size.Y - d)})
    s->Painter->fillRect(QRect(at, QSize(d, d)), Qt::black);
  p.EndDoc();
  test::TGrey g = test::RenderGrey(pdf, 60);  // 10 dots a pixel
  ASSERT_GT(g.W, 0);
  EXPECT_EQ(g.W, 473);  // 567 points
  for (QPoint at : {QPoint(2, 2), QPoint(g.W - 3, 2), QPoint(2, g.H - 3), QPoint(g.W - 3, g.H - 3)})
    EXPECT_LT(g.At(at.x(), at.y()), 64) << at.x() << "," << at.y();
  EXPECT_GT(g.At(g.W / 2, g.H / 2), 192);
}
