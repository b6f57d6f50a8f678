#include <gtest/gtest.h>

#include "Canvas.h"
#include "Cp932.h"
#include "FakePrinters.h"
#include "SheetPrinters.h"

using namespace kaede;

TEST(Canvas, RecordsCallsWithTheStateAtTheTime) {
  TRecordingCanvas c(96);
  c.SetBrush({TBrushStyle::Solid, clRed});
  c.FillRect({1, 2, 3, 4});
  c.SetPen({TPenStyle::Dot, 1, clBlack});
  c.Line(0, 0, 10, 0);
  c.SetClipRect({0, 0, 5, 5});
  c.TextOut(1, 1, SJ("あa"));
  ASSERT_EQ(c.Ops.size(), 3u);
  EXPECT_EQ(c.Ops[0].Brush.Color, clRed);
  EXPECT_EQ(c.Ops[1].Pen.Style, TPenStyle::Dot);
  const TCanvasOp& t = c.Ops[2];
  EXPECT_EQ(t.Clip, (TRect{0, 0, 5, 5}));
  // measured with the fixed-width metrics at the default 12-pixel font
  EXPECT_EQ(t.Advances, (TIntegers{12, 0, 6}));
  EXPECT_EQ(c.TextWidth(SJ("あa")), 18);
  c.ResetClip();
  EXPECT_GT(c.ClipBounds().Right, 1000000);
}

TEST(Canvas, ClipStaysInsideTheBaseClip) {
  TRecordingCanvas c;
  c.SetBaseClip({0, 0, 100, 100});
  c.SetClipRect({50, 50, 200, 200});
  EXPECT_EQ(c.ClipBounds(), (TRect{50, 50, 100, 100}));
  c.SetClipRect({200, 200, 300, 300});  // outside: empty, never inverted
  TRect r = c.ClipBounds();
  EXPECT_LE(r.Right - r.Left, 0);
  EXPECT_GE(r.Right, r.Left);
}

TEST(Canvas, PointSizesBecomePixelsOfTheSurface) {
  EXPECT_EQ(PointsToPixels(9, 96), 12);
  EXPECT_EQ(PointsToPixels(9, 600), 75);
  EXPECT_EQ(PointsToPixels(0.01, 96), 1);
  TFontRecord f = DefaultFont();
  f.Size = 12;
  EXPECT_EQ(CanvasFont(f, 0, 600).Height, 100);
  EXPECT_EQ(CanvasFont(f, 33, 600, true).Height, 33);
  EXPECT_TRUE(CanvasFont(f, 33, 600, true).Vertical);
  EXPECT_EQ(HatchOfCode(4), TBrushStyle::Cross);
  EXPECT_EQ(HatchOfCode(9), TBrushStyle::Solid);
}

TEST(Canvas, FakePrintJobsKeepWhatWasDrawnPageByPage) {
  TFakePrinterBackend backend;
  backend.Devices = {TFakePrinter::Standard()};
  TPrintSurface* surface = backend.BeginDoc("job");
  {
    std::unique_ptr<TCanvas> c = Surfaces().PrintCanvas(surface, 600);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Dpi(), 600);
    c->SetBrush({TBrushStyle::Solid, clBlack});
    c->FillRect({0, 0, 10, 10});
    backend.NewPage();
    c->TextOut(5, 5, "x");
  }
  backend.EndDoc();
  ASSERT_TRUE(backend.LastRecording);
  const auto& ops = backend.LastRecording->Ops;
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].Brush.Color, clBlack);
  EXPECT_EQ(ops[1].Kind, TCanvasOp::opNewPage);
  EXPECT_EQ(ops[2].Text, "x");
  // an unknown surface has no canvas from the default factory
  TPrintSurface other;
  EXPECT_FALSE(Surfaces().PrintCanvas(&other, 600));
}
