#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>

#include "Cp932.h"
#include "FakePrinters.h"
#include "Files.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "QtTestApp.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

TCanvasFont Gothic(int32_t height, uint8_t style = 0) {
  TCanvasFont f;
  f.Name = SJ("ＭＳ Ｐゴシック");
  f.Height = height;
  f.Style = style;
  return f;
}

int32_t Sum(const std::vector<int32_t>& v) { return std::accumulate(v.begin(), v.end(), 0); }

// A white image with a canvas over it.
struct TImageCanvas {
  QImage Image;
  QPainter Painter;
  std::unique_ptr<TQtCanvas> Canvas;
  TImageCanvas(int w, int h, int dpi = 96) : Image(w, h, QImage::Format_RGB32) {
    Image.fill(Qt::white);
    Painter.begin(&Image);
    Canvas = std::make_unique<TQtCanvas>(&Painter, dpi, TRect{0, 0, w, h});
  }
  QImage Done() {
    Canvas.reset();
    Painter.end();
    return Image;
  }
};

bool IsWhite(const QImage& img, int x, int y) { return img.pixel(x, y) == qRgb(255, 255, 255); }

// Dark pixels inside r.
int DarkIn(const QImage& img, const TRect& r) {
  int n = 0;
  for (int y = std::max(0, r.Top); y < std::min(img.height(), r.Bottom); ++y)
    for (int x = std::max(0, r.Left); x < std::min(img.width(), r.Right); ++x)
      if (qGray(img.pixel(x, y)) < 128) ++n;
  return n;
}

}  // namespace

TEST(QtCanvas, AdvancesKeepTheirProportionsAtEveryResolution) {
  EnsureApp();
  const TQtTextMetrics& m = QtMetrics(SJ("ＭＳ Ｐゴシック"), 0);
  std::string text = SJ("山田太郎 Yamada, 東京都千代田区1-2-3");
  std::vector<int32_t> screen(text.size()), print(text.size()), again(text.size());
  m.Advances(text, 12, false, screen.data());
  m.Advances(text, 100, false, print.data());
  m.Advances(text, 12, false, again.data());
  EXPECT_EQ(screen, again);
  // full-width characters take the em; trail bytes carry nothing
  EXPECT_EQ(screen[0], 12);
  EXPECT_EQ(screen[1], 0);
  EXPECT_EQ(print[0], 100);
  // the text scales with the height, within the rounding of each character
  double scaled = Sum(screen) * 100.0 / 12.0;
  int chars = 0;
  for (size_t i = 0; i < text.size(); i += CharLenAt(text, i)) ++chars;
  EXPECT_NEAR(Sum(print), scaled, chars * 100.0 / 12.0 * 0.5 + 1);
  // a proportional face gives narrow punctuation
  int32_t comma = 0, y = 0;
  m.Advances(",", 12, false, &comma);
  m.Advances("Y", 12, false, &y);
  EXPECT_LT(comma, y);

  // a measuring canvas (no painter) at any resolution measures alike
  auto c = std::make_unique<TQtCanvas>(nullptr, 600, TRect{0, 0, 10, 10});
  c->SetFont(Gothic(12));
  EXPECT_EQ(c->TextWidth(text), Sum(screen));
  EXPECT_EQ(c->TextHeight(text), 12);
  // bold is its own face
  EXPECT_EQ(&QtMetrics(SJ("ＭＳ Ｐゴシック"), fsBold), &QtMetrics(SJ("ＭＳ Ｐゴシック"), fsBold | fsUnderline));
  EXPECT_NE(&QtMetrics(SJ("ＭＳ Ｐゴシック"), fsBold), &m);
  // a face that is not installed and not mapped is reported as such
  EXPECT_TRUE(c->FaceExists(SJ("ＭＳ 明朝")));
  EXPECT_TRUE(c->FaceExists(SJ("@ＭＳ 明朝")));
  EXPECT_FALSE(c->FaceExists("No Such Face 42"));
}

TEST(QtCanvas, FillsLinesAndClipsOnAnImage) {
  EnsureApp();
  TImageCanvas ic(100, 60);
  TCanvas& c = *ic.Canvas;
  c.SetBrush({TBrushStyle::Solid, clRed});
  c.FillRect({10, 10, 20, 20});
  c.SetPen({TPenStyle::Solid, 1, clBlack});
  c.Line(30, 5, 40, 5);  // the end point is not drawn
  c.Line(30, 10, 30, 15);
  c.SetClipRect({50, 0, 60, 60});
  c.SetBrush({TBrushStyle::Solid, static_cast<TColor>(0xFF0000)});
  c.FillRect({40, 40, 70, 50});
  EXPECT_EQ(c.ClipBounds(), (TRect{50, 0, 60, 60}));
  c.ResetClip();
  c.SetBrush({TBrushStyle::Clear, clBlack});
  c.FillRect({0, 0, 100, 60});  // a clear brush fills nothing
  c.SetPen({TPenStyle::Dot, 1, clBlack});
  c.Line(0, 55, 10, 55);
  QImage img = ic.Done();

  EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
  EXPECT_TRUE(IsWhite(img, 20, 20));
  EXPECT_EQ(img.pixel(30, 5), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(39, 5), qRgb(0, 0, 0));
  EXPECT_TRUE(IsWhite(img, 40, 5));
  EXPECT_EQ(img.pixel(30, 14), qRgb(0, 0, 0));
  EXPECT_TRUE(IsWhite(img, 30, 15));
  EXPECT_TRUE(IsWhite(img, 45, 45));  // outside the clip
  EXPECT_EQ(img.pixel(55, 45), qRgb(0, 0, 255));
  EXPECT_TRUE(IsWhite(img, 65, 45));
  // the dotted pen alternates single pixels
  EXPECT_EQ(img.pixel(0, 55), qRgb(0, 0, 0));
  EXPECT_TRUE(IsWhite(img, 1, 55));
  EXPECT_EQ(img.pixel(2, 55), qRgb(0, 0, 0));
}

TEST(QtCanvas, TextStaysInItsEmBoxAndItsClip) {
  EnsureApp();
  TImageCanvas ic(200, 80);
  TCanvas& c = *ic.Canvas;
  c.SetFont(Gothic(20));
  std::string text = SJ("漢字かなABC");
  int32_t w = c.TextWidth(text);
  c.TextOut(10, 10, text);
  // clipped to the left half of the second character, on an opaque grey background
  TRect clip{10, 45, 10 + 30, 45 + 30};
  c.SetBrush({TBrushStyle::Solid, static_cast<TColor>(0xCCCCCC)});
  c.TextOut(10, 45, text, nullptr, &clip, true);
  QImage img = ic.Done();

  EXPECT_GT(DarkIn(img, {10, 10, 10 + w, 30}), 50);
  // nothing above, below or after the em box of the run
  EXPECT_EQ(DarkIn(img, {0, 0, 200, 9}), 0);
  EXPECT_EQ(DarkIn(img, {0, 32, 200, 44}), 0);
  EXPECT_EQ(DarkIn(img, {10 + w + 2, 0, 200, 44}), 0);
  // the opaque clip is filled, nothing outside it is touched
  EXPECT_EQ(img.pixel(clip.Right - 1, clip.Bottom - 1), qRgb(0xCC, 0xCC, 0xCC));
  EXPECT_GT(DarkIn(img, clip), 20);
  EXPECT_TRUE(IsWhite(img, clip.Right, clip.Top + 5));
  EXPECT_EQ(DarkIn(img, {clip.Right, 44, 200, 80}), 0);
}

TEST(QtCanvas, APrintJobOnThePdfPrinterHasExtractableText) {
  EnsureApp();
  InstallQtDrawing();
  test::TempDir dir;
  std::string pdf = dir.File("canvas.pdf");
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(pdf);
  TSheetPrinter printer(std::move(backend));
  printer.BeginDoc("canvas");
  {
    std::unique_ptr<TCanvas> c = Surfaces().PrintCanvas(printer.Canvas(), 600);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Dpi(), 600);
    c->SetFont(Gothic(100));
    c->TextOut(600, 600, SJ("住所録の一覧表"));
    printer.NewPage();
    c->TextOut(600, 600, SJ("二頁目"));
  }
  printer.EndDoc();
  std::string txt = dir.Path() + "/canvas.txt";
  std::string cmd = "pdftotext -layout '" + OsPath(pdf) + "' '" + txt + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "pdftotext is not installed";
  std::ifstream in(txt);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(content.find("住所録の一覧表"), std::string::npos) << content;
  EXPECT_NE(content.find("二頁目"), std::string::npos) << content;
  EXPECT_NE(content.find('\f'), std::string::npos);  // two pages
  SetSurfaceFactory(nullptr);
}

TEST(QtCanvas, FakeJobsStillRecordWithTheQtSurfacesInstalled) {
  EnsureApp();
  InstallQtDrawing();
  TFakePrinterBackend backend;
  backend.Devices = {TFakePrinter::Standard()};
  TPrintSurface* surface = backend.BeginDoc("job");
  {
    std::unique_ptr<TCanvas> c = Surfaces().PrintCanvas(surface, 600);
    ASSERT_TRUE(c);
    c->TextOut(1, 2, "x");
  }
  backend.EndDoc();
  ASSERT_TRUE(backend.LastRecording);
  EXPECT_EQ(backend.LastRecording->Ops.size(), 1u);
  // pictures come through Qt once installed; a missing file gives none
  EXPECT_FALSE(LoadPicture("no-such-picture.bmp"));
  SetSurfaceFactory(nullptr);
  SetPictureLoader(nullptr);
}

TEST(QtCanvas, ShapesHatchesAndPictures) {
  EnsureApp();
  InstallQtDrawing();
  test::TempDir dir;
  // a 2 x 2 picture: red, green / blue, white
  QImage src(2, 2, QImage::Format_RGB32);
  src.setPixel(0, 0, qRgb(255, 0, 0));
  src.setPixel(1, 0, qRgb(0, 255, 0));
  src.setPixel(0, 1, qRgb(0, 0, 255));
  src.setPixel(1, 1, qRgb(255, 255, 255));
  ASSERT_TRUE(src.save(QString::fromStdString(dir.Path() + "/stamp.bmp")));
  std::shared_ptr<TPicture> pic = LoadPicture(dir.File("stamp.bmp"));
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->Width(), 2);

  TImageCanvas ic(120, 60);
  TCanvas& c = *ic.Canvas;
  c.DrawPicture({0, 0, 20, 20}, *pic);
  c.SetPen({TPenStyle::Clear, 1, clBlack});
  c.SetBrush({TBrushStyle::Solid, clBlack});
  c.Polygon({{30, 0}, {50, 0}, {30, 20}});
  c.Ellipse({60, 0, 80, 20});
  c.SetBrush({TBrushStyle::Cross, clBlack});
  c.FillRect({0, 30, 40, 60});
  c.SetPen({TPenStyle::Solid, 3, clBlack});
  c.Polyline({{50, 40}, {110, 40}});
  QImage img = ic.Done();

  EXPECT_EQ(img.pixel(2, 2), qRgb(255, 0, 0));  // the picture stretched to its rectangle
  EXPECT_EQ(img.pixel(17, 17), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(32, 2), qRgb(0, 0, 0));  // inside the triangle
  EXPECT_TRUE(IsWhite(img, 48, 18));           // beyond its slope
  EXPECT_EQ(img.pixel(70, 10), qRgb(0, 0, 0));  // the ellipse's centre
  EXPECT_TRUE(IsWhite(img, 60, 0));             // its corner
  int dark = DarkIn(img, {0, 30, 40, 60});
  EXPECT_GT(dark, 40);  // the cross hatch draws lines and leaves the rest
  EXPECT_LT(dark, 40 * 30 / 2);
  EXPECT_EQ(DarkIn(img, {50, 38, 110, 43}), 60 * 3);  // three pixels wide
  SetSurfaceFactory(nullptr);
  SetPictureLoader(nullptr);
}
