// Print offsets and the printer test sheet through the command line, measured on 600-dpi
// pictures of the PDF pages.
#include <gtest/gtest.h>

#include <algorithm>

#include "BaseOptions.h"
#include "CliRun.h"
#include "PdfRender.h"
#include "PrintOffsets.h"
#include "StyleKeys.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

double ToMm(int px) { return px * 25.4 / 600; }
int ToPx(double mm) { return static_cast<int>(mm * 600 / 25.4 + 0.5); }

// The ink's bounding box inside a region (mm), in mm.
TMmRect InkBox(const TGrey& g, const TMmRect& region) {
  int l = g.W, t = g.H, r = -1, b = -1;
  for (int y = ToPx(region.Top); y < ToPx(region.Bottom()); ++y)
    for (int x = ToPx(region.Left); x < ToPx(region.Right()); ++x)
      if (g.Dark(x, y)) l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
  return r < 0 ? TMmRect{} : TMmRect{ToMm(l), ToMm(t), ToMm(r - l + 1), ToMm(b - t + 1)};
}

}  // namespace

TEST(KaedePrintOffset, TheOffsetMovesWhatIsPrintedByItsMillimetres) {
  KAEDE_NEEDS_SHARED_DATA();
  if (!HavePdfToPpm()) GTEST_SKIP() << "pdftoppm is not installed";
  ConfigHome config;
  TempDir dir;
  const std::string book = SjisToUtf8(MakeBook(dir, 1)), plain = dir.Path() + "/plain.pdf",
                    moved = dir.Path() + "/moved.pdf";
  ASSERT_EQ(Kaede({"print", "postcards", book, "-o", plain}).Status, 0);
  TRun r = Kaede({"print", "postcards", book, "--offset", "1.5,-0.8", "-o", moved});
  ASSERT_EQ(r.Status, 0) << r.Err;
  // the digits in the postal-code boxes
  const TMmRect region{35, 5, 62, 22};
  const TMmRect a = InkBox(RenderGrey(plain, 600), region), b = InkBox(RenderGrey(moved, 600), region);
  ASSERT_GT(a.Width, 40);
  EXPECT_NEAR(b.Left - a.Left, 1.5, 0.1);
  EXPECT_NEAR(b.Top - a.Top, -0.8, 0.1);
  EXPECT_NEAR(b.Width, a.Width, 0.1);

  // an offset kept for a printer does not move a PDF file; bad offsets are refused
  auto store = TSettingsStore::OpenRegistry("KaedeAddress");
  WritePrintOffset(*store, "PDF", {3, 3});
  store->Save();
  ASSERT_EQ(Kaede({"print", "postcards", book, "-o", moved}).Status, 0);
  EXPECT_NEAR(InkBox(RenderGrey(moved, 600), region).Left, a.Left, 0.05);
  for (const char* bad : {"11,0", "1", "x,1", "nan,0"}) {
    r = Kaede({"print", "postcards", book, "--offset", bad, "-o", moved});
    EXPECT_EQ(r.Status, 1) << bad;
    EXPECT_NE(r.Err.find("--offset には X,Y を -10 から 10 までのミリメートルで指定します"), std::string::npos) << r.Err;
  }
}

TEST(KaedePrintOffset, TheTestSheetsBoxesSitWhereTheOfficialCardHasThem) {
  if (!HavePdfToPpm()) GTEST_SKIP() << "pdftoppm is not installed";
  ConfigHome config;
  TempDir dir;
  const std::string out = dir.Path() + "/sheet.pdf";
  TRun r = Kaede({"print", "calibration", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("offset 0,0 mm"), std::string::npos) << r.Out;
  TGrey g = RenderGrey(out, 600);
  ASSERT_NEAR(g.W, ToPx(100), 5);  // the page in whole points
  // across the middle of the boxes: every left side where the official card has it, and
  // where a round-trip card has it on its address half
  const double lefts[] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
  for (const char* style : {"", "10"}) {
    SCOPED_TRACE(style);
    if (*style) {
      ASSERT_EQ(Kaede({"print", "calibration", "--style", style, "-o", out}).Status, 0);
      g = RenderGrey(out, 600);
    }
    const int y = ToPx(16);
    std::vector<double> edges;
    for (int x = ToPx(40); x < ToPx(97); ++x)
      if (g.Dark(x, y) && !g.Dark(x - 1, y)) edges.push_back(ToMm(x));
    ASSERT_EQ(edges.size(), 14u);  // a left and a right side each
    for (int i = 0; i < 7; ++i) {
      EXPECT_NEAR(edges[static_cast<size_t>(2 * i)], lefts[i], 0.1) << i;
      EXPECT_NEAR(edges[static_cast<size_t>(2 * i + 1)], lefts[i] + 5.7, 0.1) << i;
    }
  }
  // down the middle of the first box: its top 12 mm and its bottom 20 mm from the top
  std::vector<double> rows;
  for (int yy = ToPx(8); yy < ToPx(24); ++yy)
    if (g.Dark(ToPx(47), yy) && !g.Dark(ToPx(47), yy - 1)) rows.push_back(ToMm(yy));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NEAR(rows[0], 12.0, 0.1);
  EXPECT_NEAR(rows[1], 20.0, 0.1);

  // printed with an offset, the sheet says so and moves with it
  r = Kaede({"print", "calibration", "--offset", "-2,1", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("offset -2,1 mm"), std::string::npos) << r.Out;
  const TGrey m = RenderGrey(out, 600);
  int first = -1;
  for (int x = ToPx(35); x < ToPx(60) && first < 0; ++x)
    if (m.Dark(x, ToPx(17))) first = x;
  EXPECT_NEAR(ToMm(first), 44.3 - 2, 0.1);

  // on a sheet of labels the first label carries the sheet, its note whole within the label
  // (the 2x6 label: 85.7 mm wide, 19.3 mm from the sheet's left edge): nothing but the top
  // ruler in the last 4 mm before the label's right edge, where a cut note would end
  r = Kaede({"print", "calibration", "--style", "39", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const TGrey l = RenderGrey(out, 150);
  auto px = [](double mm) { return static_cast<int>(mm * 150 / 25.4 + 0.5); };
  int cut = 0;
  for (int y = px(21.5 + 8); y < px(21.5 + 42.3); ++y)
    for (int x = px(19.3 + 85.7 - 4); x < px(19.3 + 85.7); ++x) cut += l.Dark(x, y);
  EXPECT_EQ(cut, 0);
}
