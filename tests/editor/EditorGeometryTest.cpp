#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "EditorGeometry.h"
#include "SheetPrinters.h"

using namespace kaede;
using namespace kaede::test;

namespace {

TEditorLayoutInput Input(int32_t w, int32_t h, int32_t font = 16) {
  TEditorLayoutInput in;
  in.Width = w;
  in.Height = h;
  in.FontHeight = font;
  in.LineInfoFontHeight = 16;
  in.Length = [](double v) { return RoundHalfEven(v); };
  return in;
}

// A style without line numbers and text margins, so that the line extent is the partition.
void Bare(TStyleHolder& s) {
  s.Enable(TEditorStyle::viLineInfo, false);
  s->SetEditor(&TEditorValues::TextLeftMargin, 0.0);
}

}  // namespace

TEST(EditorGeometry, PartitionsCellsAndRows) {
  TStyleHolder s;
  Bare(s);
  s->SetEditor(&TEditorValues::Vertical, true);
  s->SetEditor(&TEditorValues::PartationCount, 2);
  TEditorGeometry g;
  g.Compute(*s.S, Input(300, 200));
  ASSERT_EQ(g.PartitionRects.size(), 2u);
  EXPECT_EQ(g.PartitionExtent, 94);
  EXPECT_EQ(g.PartitionRects[0], (TRect{0, 0, 300, 94}));
  EXPECT_EQ(g.PartitionRects[1], (TRect{0, 106, 300, 200}));

  // horizontal, automatic cells: g = 8, q = 400 div 8 − 2 (hanging) − 1 (return mark)
  TStyleHolder h;
  Bare(h);
  g.Compute(*h.S, Input(400, 300));
  EXPECT_EQ(g.LineExtent, 400);
  EXPECT_EQ(g.CellPitch, 8);
  EXPECT_EQ(g.Cells, 47);
  EXPECT_EQ(g.LinePitch, 26);
  EXPECT_EQ(g.Rows, 300 / 26);
  EXPECT_EQ(g.LinesPerPage, g.Rows);
  // the manuscript grid wants an even count
  h.Enable(TEditorStyle::viGapLine, true);
  h->SetEditor(&TEditorValues::GapLineStyle, 1);
  g.Compute(*h.S, Input(400, 300));
  EXPECT_EQ(g.Cells, 46);
  EXPECT_EQ(g.GridInset, 2);  // round(16 × 0.1)
  // lines per page with a fixed count and the paper shown, times the partitions
  h->SetEditor(&TEditorValues::LineCountInPage, 20);
  h->SetEditor(&TEditorValues::PartationCount, 2);
  TEditorLayoutInput in = Input(400, 300);
  g.Compute(*h.S, in);
  EXPECT_EQ(g.LinesPerPage, 2 * g.Rows);
  in.PaperShown = true;
  g.Compute(*h.S, in);
  EXPECT_EQ(g.LinesPerPage, 40);
  EXPECT_EQ(g.RowsPerPartition(), 20);
}

TEST(EditorGeometry, LineNumberMargin) {
  TStyleHolder s;
  s->SetEditor(&TEditorValues::TextLeftMargin, 0.0);
  TEditorLayoutInput in = Input(400, 300);
  in.LineInfoDigits = 5;
  TEditorGeometry g;
  g.Compute(*s.S, in);
  EXPECT_EQ(g.Margin, RoundHalfEven(5 * 16 / 2.0) + 8);
  EXPECT_EQ(g.LineExtent, 400 - g.Margin);
  in.LineInfoDigits = 1;  // at least three digits
  g.Compute(*s.S, in);
  EXPECT_EQ(g.Margin, 32);
  // side by side in vertical writing: two digits, one more for page marks
  s->SetEditor(&TEditorValues::Vertical, true);
  s->SetEditor(&TEditorValues::LineInfoVerticalRow, true);
  s->SetEditor(&TEditorValues::LineInfoStyle, 2);
  g.Compute(*s.S, in);
  EXPECT_EQ(g.Margin, RoundHalfEven(3 * 8.0) + 8);
}

TEST(EditorGeometry, LineNumbersByStyle) {
  TStyleHolder s;
  TEditList lines;
  s->SetEditor(&TEditorValues::LineInfoStyle, 2);
  s->SetEditor(&TEditorValues::LineCountInPage, 20);
  lines.AssignStyle(*s.S);
  std::string text;
  for (int i = 0; i < 30; ++i) text += "x\r\n";
  lines.SetText(text);
  EXPECT_EQ(LineNumberText(*s.S, lines, 0), "P1");
  EXPECT_EQ(LineNumberText(*s.S, lines, 1), "2");
  EXPECT_EQ(LineNumberText(*s.S, lines, 20), "P2");
  s->SetEditor(&TEditorValues::LineInfoStyle, 3);
  EXPECT_EQ(LineNumberText(*s.S, lines, 1), "");
  EXPECT_EQ(LineNumberText(*s.S, lines, 20), "P2");
  s->SetEditor(&TEditorValues::LineInfoStyle, 0);
  s->SetEditor(&TEditorValues::LineInfoInterval, 5);
  std::vector<std::string> shown;
  for (int k = 0; k < 14; ++k)
    if (!LineNumberText(*s.S, lines, k).empty()) shown.push_back(LineNumberText(*s.S, lines, k));
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "6", "11"}));
  // numbers at or below 0 after the start number is taken off are not shown
  s->SetEditor(&TEditorValues::LineInfoInterval, 1);
  s->SetEditor(&TEditorValues::LineInfoStartLineNo, 2);
  EXPECT_EQ(LineNumberText(*s.S, lines, 1), "");
  EXPECT_EQ(LineNumberText(*s.S, lines, 2), "1");
}

// The zoomed pass keeps the reference's cells and rows and fills the same share of the page:
// the leftover pixels across are added once, not once to the line space and again to each
// row.
TEST(EditorGeometry, ZoomedPassSpreadsLeftoversOnce) {
  TStyleHolder s;
  Bare(s);
  TEditorLayoutInput ref = Input(4000, 6000, 160);  // printer dots
  ref.Length = [](double mm) { return RoundHalfEven(mm * 600 / 25.4); };
  TEditorReference keep;
  TEditorGeometry r;
  r.Compute(*s.S, ref, nullptr, &keep);
  ASSERT_TRUE(keep.Valid);

  TEditorLayoutInput in = Input(531, 797, 16);  // the same page at screen size
  in.Length = [](double mm) { return RoundHalfEven(mm * 96 / 25.4 * 0.6); };
  TEditorGeometry z;
  z.Compute(*s.S, in, &keep);
  EXPECT_EQ(z.Cells, r.Cells);
  EXPECT_EQ(z.Rows, r.Rows);
  EXPECT_EQ(z.FontHeight, RoundHalfEven(797 * keep.FontShare));
  // the rows together fill exactly the share the reference rows filled
  EXPECT_EQ(z.RowOffset(z.Rows), RoundHalfEven(797 * keep.AcrossShare));
  EXPECT_LT(std::abs(z.AcrossLeftover), z.Rows);
  int32_t sum = 0;
  for (int k = 0; k < z.Rows; ++k) sum += z.RowPitchAt(k);
  EXPECT_EQ(sum, z.RowOffset(z.Rows));
  // and the cells of a line the share along
  EXPECT_EQ(z.CellOffset(z.Cells + 3 + 1), RoundHalfEven(531 * keep.AlongShare));
}

// A fixed cell count with an automatic font: the cells fit the line at any zoom.
TEST(EditorGeometry, AutomaticFontFitsTheLineWithoutPaper) {
  TStyleHolder s;
  Bare(s);
  s->SetEditor(&TEditorValues::ColumnCountAuto, false);
  s->SetEditor(&TEditorValues::ColumnCount, 40);
  s->SetEditor(&TEditorValues::FontSizeAuto, true);
  for (double zoom : {1.0, 2.0}) {
    TEditorLayoutInput in = Input(860, 400);
    in.Zoom = zoom;
    TEditorGeometry g;
    g.Compute(*s.S, in);
    EXPECT_EQ(g.FontHeight, 40) << zoom;  // trunc((860 ÷ 43) × 2)
    EXPECT_LE((40 + 3) * g.CellPitch, g.LineExtent) << zoom;
  }
}

TEST(EditorGeometry, RowsAndBandsInBothDirections) {
  TStyleHolder s;
  Bare(s);
  TEditorGeometry g;
  g.Compute(*s.S, Input(400, 300));
  TRowPlace p = g.PlaceRow(3, 0);
  EXPECT_EQ(p.Row, (TRect{0, 78, 400, 104}));
  EXPECT_EQ(p.Band, (TRect{0, 83, 400, 99}));  // centred: half the line space above
  EXPECT_EQ(p.TextStart, 0);

  s->SetEditor(&TEditorValues::Vertical, true);
  s.Enable(TEditorStyle::viRubi, true);  // annotation mode: text against the left edge
  g.Compute(*s.S, Input(300, 400));
  EXPECT_TRUE(g.AnnotationMode);
  p = g.PlaceRow(1, 0);
  EXPECT_EQ(p.Row, (TRect{300 - 52, 0, 300 - 26, 400}));
  EXPECT_EQ(p.Band, (TRect{249, 0, 265, 400}));
  // partitions: the line after the last row of the first partition opens the second
  s->SetEditor(&TEditorValues::PartationCount, 2);
  g.Compute(*s.S, Input(300, 400));
  p = g.PlaceRow(g.Rows, 0);
  EXPECT_EQ(p.Partition, 1);
  EXPECT_EQ(p.Index, 0);
  EXPECT_EQ(p.TextStart, g.PartitionRects[1].Top);
}

// Every column's caret position hits that column again, in both directions and with the
// leftover pixels of a zoomed page.
TEST(EditorGeometry, CaretAndHitTestRoundTrip) {
  for (bool vertical : {false, true}) {
    TStyleHolder s;
    s->SetEditor(&TEditorValues::Vertical, vertical);
    TEditorGeometry g;
    g.Compute(*s.S, Input(420, 330, 15));
    g.AlongLeftover = 7;
    g.AcrossLeftover = 3;
    for (int32_t k : {0, 1, g.Rows - 1}) {
      TRowPlace p = g.PlaceRow(k, 0);
      EXPECT_EQ(g.RowIndexAt(g.PartitionRects[0], vertical ? (p.Row.Left + p.Row.Right) / 2 : (p.Row.Top + p.Row.Bottom) / 2), k);
      for (int32_t c = 1; c <= g.Cells + 2; ++c) {
        TRect caret = g.CaretRect(p, c, false, 0);
        int32_t along = vertical ? (caret.Top + caret.Bottom) / 2 : (caret.Left + caret.Right) / 2;
        EXPECT_EQ(g.ColumnAt(p, along), c) << vertical << " column " << c;
        // a point just inside a cell's first half stays on its column; past the middle goes on
        EXPECT_EQ(g.ColumnAt(p, p.TextStart + g.CellOffset(c) + 1), c);
        EXPECT_EQ(g.ColumnAt(p, p.TextStart + g.CellOffset(c) + g.CellPitchAt(c - 1) - 1), c + 1);
      }
    }
    EXPECT_EQ(g.RowIndexAt(g.PartitionRects[0], vertical ? -5 : 10000), -1);
  }
}

TEST(EditorGeometry, CaretShapes) {
  TStyleHolder s;
  Bare(s);
  TEditorGeometry g;
  g.Compute(*s.S, Input(400, 300));
  TRowPlace p = g.PlaceRow(0, 0);
  EXPECT_EQ(g.CaretRect(p, 3, false, 0), (TRect{16 - 1, 5, 16 + 2, 21}));  // 3 wide, font high
  EXPECT_EQ(g.CaretRect(p, 3, true, 0), (TRect{16 - 2, 0, 16 + 2, 25}));   // 4 wide, a line pitch − 1
  EXPECT_EQ(g.CaretRect(p, 3, false, 2), (TRect{15, 5, 33, 21}));          // overwrite: the character + 2
  g.Zoom = 3;
  EXPECT_EQ(g.CaretRect(p, 3, true, 0).Right - g.CaretRect(p, 3, true, 0).Left, 8);  // at most 8
}

TEST(EditorGeometry, RubyAdvancesCoverTheBase) {
  // four full-width characters over three: 7 7 6 6 6 6 10 0, exactly the base's 48 pixels
  EXPECT_EQ(RubyAdvances(8, TIntegers(6, 8), 10), (TIntegers{7, 7, 6, 6, 6, 6, 10, 0}));
  // as many ruby bytes as base columns: the base's own advances, the last character full
  TIntegers two = RubyAdvances(4, TIntegers(4, 8), 10);
  EXPECT_EQ(two, (TIntegers{8, 8, 10, 0}));
  // a long ruby over a short base: never below half the ruby height, nothing taken back
  EXPECT_EQ(RubyAdvances(8, TIntegers(2, 8), 10), (TIntegers{5, 5, 5, 5, 5, 5, 10, 0}));
  // one full-width character (two bytes) or a single byte: no division at all
  EXPECT_EQ(RubyAdvances(2, TIntegers(6, 8), 10), (TIntegers{10, 0}));
  EXPECT_EQ(RubyAdvances(1, TIntegers(6, 8), 10), (TIntegers{10}));
  EXPECT_TRUE(RubyAdvances(0, TIntegers(6, 8), 10).empty());
  // a ruby that comes out shorter than its base grows at its first characters:
  // w = round(25 ÷ 4) = 6, surplus 4 × 6 + 9 − 34 = −1: one pixel more on the first
  EXPECT_EQ(RubyAdvances(6, TIntegers{12, 11, 11}, 9), (TIntegers{7, 6, 6, 6, 9, 0}));
}

TEST(EditorGeometry, RubyCutNeverSplitsACharacter) {
  const std::string ruby = S("かんじ");  // 6 bytes
  EXPECT_EQ(RubyCut(ruby, 4, 2), 3 + 1);  // round(6 × 2 ÷ 4) = 3 ends on a lead byte: 4
  EXPECT_EQ(RubyCut(ruby, 6, 2), 2);
  EXPECT_EQ(RubyCut(ruby, 6, 0), 0);
  EXPECT_EQ(RubyCut(ruby, 6, 6), 6);
  EXPECT_EQ(RubyCut(ruby, 0, 3), 0);
}

TEST(EditorGeometry, UprightPairsInVerticalText) {
  auto pairs = [](const char* utf8, int32_t indent = 0) {
    std::string s = S(utf8);
    std::vector<bool> v = VerticalRowPairs(s, indent);
    std::string r;
    for (bool b : v) r += b ? '1' : '0';
    return r;
  };
  EXPECT_EQ(pairs("第12回"), "001100");
  EXPECT_EQ(pairs("第123回"), "0000000");
  EXPECT_EQ(pairs("!?"), "11");
  EXPECT_EQ(pairs("あ  い"), "000000");  // two spaces are no pair
  EXPECT_EQ(pairs("  12あ", 2), "001100");  // the indent's spaces do not join the run
  EXPECT_EQ(pairs("a1b"), "000");
}
