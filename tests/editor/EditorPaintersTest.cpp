#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "EditorPainters.h"
#include "SheetPrinters.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// A page of text laid out and painted onto a recording canvas.
struct TPage {
  TStyleHolder St;
  TEditList Lines;
  TEditorGeometry G;
  TEditorPaintState State;
  TRecordingCanvas Canvas;
  explicit TPage(std::function<void(TStyleHolder&)> setup = nullptr) {
    St.Enable(TEditorStyle::viLineInfo, false);
    St->SetEditor(&TEditorValues::TextLeftMargin, 0.0);
    if (setup) setup(St);
  }
  void Layout(const char* utf8, int32_t w = 400, int32_t h = 300, int32_t font = 16) {
    TEditorLayoutInput in;
    in.Width = w;
    in.Height = h;
    in.FontHeight = font;
    in.LineInfoFontHeight = font;
    in.Length = [](double v) { return RoundHalfEven(v); };
    Lines.AssignStyle(*St.S);
    G.Compute(*St.S, in);
    Lines.Columns = G.StoreCells(*St.S);
    Lines.FontHeight = font;
    Lines.SetText(S(utf8));
    in.LineInfoDigits = Lines.LineInfoDigits();
    G.Compute(*St.S, in);
  }
  void Paint() {
    Canvas.Ops.clear();
    TEditorPainter(*St.S, Lines, G, State).PaintPage(Canvas, TPoint{0, 0}, 0);
  }
  std::vector<const TCanvasOp*> Texts(const char* utf8) const {
    std::vector<const TCanvasOp*> r;
    for (const TCanvasOp* op : Canvas.Texts())
      if (op->Text == S(utf8)) r.push_back(op);
    return r;
  }
};

}  // namespace

// Text goes out run by run, each with the cell pitches as advances; a change of element
// starts a new run.
TEST(EditorPainter, RunsAtTheCellPitches) {
  TPage pg([](TStyleHolder& s) { s->SetEditor(&TEditorValues::KeyWordStrs, TStrings{S("猫")}); });
  pg.Layout("吾輩は猫である");
  pg.State.Caret = TPoint{1, 5};  // no caret line here
  pg.Paint();
  auto before = pg.Texts("吾輩は");
  auto cat = pg.Texts("猫");
  auto after = pg.Texts("である");
  ASSERT_EQ(before.size(), 1u);
  ASSERT_EQ(cat.size(), 1u);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(before[0]->Advances, (TIntegers{16, 0, 16, 0, 16, 0}));
  EXPECT_EQ(cat[0]->X, 48);
  EXPECT_EQ(cat[0]->Font.Color, pg.St->ViewInfo(TEditorStyle::viKeyWord)->TextColor());
  EXPECT_EQ(cat[0]->Font.Style, pg.St->ViewInfo(TEditorStyle::viKeyWord)->Font().Style);
  EXPECT_EQ(after[0]->X, 64);
  // centred across the row: half the line space above the text
  EXPECT_EQ(before[0]->Y, 5);
  EXPECT_EQ(before[0]->Font.Height, 16);

  // a selection is a run of its own over its back colour
  pg.State.HasSelection = true;
  pg.State.SelStart = TPoint{3, 0};
  pg.State.SelEnd = TPoint{7, 0};
  pg.Paint();
  ASSERT_EQ(pg.Texts("輩は").size(), 1u);
  EXPECT_EQ(pg.Texts("輩は")[0]->X, 16);
}

TEST(EditorPainter, VerticalRunsAndUprightPairs) {
  TPage pg([](TStyleHolder& s) {
    s->SetEditor(&TEditorValues::Vertical, true);
    s.Enable(TEditorStyle::viVerticalRow, true);
  });
  pg.Layout("第12回と第123回", 300, 400);
  pg.Paint();
  auto pair = pg.Texts("12");
  ASSERT_EQ(pair.size(), 1u);
  EXPECT_FALSE(pair[0]->Font.Vertical);  // upright, side by side
  EXPECT_EQ(pair[0]->Advances, (TIntegers{8, 8}));
  EXPECT_EQ(pair[0]->Y, 16);
  // three digits stay in the vertical run, on their side
  bool found = false;
  for (const TCanvasOp* op : pg.Canvas.Texts())
    if (op->Text.find("123") != std::string::npos) found = op->Font.Vertical;
  EXPECT_TRUE(found);
  auto first = pg.Texts("第");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_TRUE(first[0]->Font.Vertical);
  EXPECT_EQ(first[0]->X, 300 - 5);  // the column's right edge: half the line space in
  EXPECT_EQ(first[0]->Y, 0);
}

// A ruby is drawn over its base in the ruby font, centred on it, above the text band; two
// over two keep the base's advances.
TEST(EditorPainter, RubyOverItsBase) {
  TPage pg([](TStyleHolder& s) { s.Enable(TEditorStyle::viRubi, true); });
  pg.Layout("あ｜東京都《とうきょうと》へ", 400, 300, 16);
  pg.State.FontPx = [](int e) { return e == TEditorStyle::viRubi ? 10 : 16; };
  pg.Paint();
  auto ruby = pg.Texts("とうきょうと");
  ASSERT_EQ(ruby.size(), 1u);
  // six ruby characters over three: w = round(38 ÷ 10) = 4 is below half the ruby height
  EXPECT_EQ(ruby[0]->Advances, (TIntegers{5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 10, 0}));
  EXPECT_EQ(ruby[0]->X, 16 - (60 - 48) / 2);  // centred on the base, 6 pixels wider each side
  EXPECT_EQ(ruby[0]->Font.Height, 10);
  // above the text band in annotation mode: between row bottom − H − h − 2 and − H − 2
  EXPECT_EQ(ruby[0]->Y, 26 - 16 - 10 - 2);

  TPage two([](TStyleHolder& s) { s.Enable(TEditorStyle::viRubi, true); });
  two.Layout("漢字《かん》", 400, 300, 16);
  two.State.FontPx = [](int) { return 10; };
  two.G.CellPitch = 8;
  two.Paint();
  auto kan = two.Texts("かん");
  ASSERT_EQ(kan.size(), 1u);
  EXPECT_EQ(kan[0]->Advances, (TIntegers{8, 8, 10, 0}));
  EXPECT_EQ(kan[0]->X, 3);  // 26 pixels over 32: 3 pixels in
}

TEST(EditorPainter, EmphasisMarksBesideTheCharacters) {
  TPage pg([](TStyleHolder& s) { s.Enable(TEditorStyle::viBoten, true); });
  pg.Layout("あ強調［＃「強調」に丸傍点］", 400, 300, 16);
  pg.Paint();
  auto marks = pg.Texts("●●");
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0]->Font.Height, 5);
  EXPECT_EQ(marks[0]->Advances, (TIntegers{8, 8, 8, 8}));  // a mark every 16 pixels
  EXPECT_EQ(marks[0]->X, 16 + 4);
  const int32_t bandTop = 26 - 16 - 1;  // annotation mode: the text against the row's bottom
  EXPECT_EQ(marks[0]->Y, bandTop - 6);
}

TEST(EditorPainter, LineNumbersMarksAndUnfilledCells) {
  TPage pg([](TStyleHolder& s) {
    s.Enable(TEditorStyle::viLineInfo, true);
    s->SetEditor(&TEditorValues::LineInfoStyle, 2);
    s->SetEditor(&TEditorValues::LineCountInPage, 2);
  });
  pg.Layout("ab\r\ncd\r\nef");
  pg.State.Caret = TPoint{1, 1};
  pg.Paint();
  EXPECT_EQ(pg.Texts("P1").size(), 1u);
  EXPECT_EQ(pg.Texts("2").size(), 1u);
  EXPECT_EQ(pg.Texts("P2").size(), 1u);
  // the caret line's margin and background, the unfilled cells after the text
  const TColor caretBack = pg.St->ViewInfo(TEditorStyle::viCaretLine)->BackColor();
  const TColor unfilled = pg.St->ViewInfo(TEditorStyle::viUnfilled)->BackColor();
  int caretFills = 0, unfilledFills = 0, marginFills = 0;
  for (const TCanvasOp& op : pg.Canvas.Ops) {
    if (op.Kind != TCanvasOp::opFillRect) continue;
    // the whole caret row (its back colour is also the plain text's)
    if (op.Brush.Color == caretBack && op.Rect.Top == 26 && op.Rect.Bottom == 52 &&
        op.Rect.Right - op.Rect.Left >= pg.G.Cells * 8)
      ++caretFills;
    if (op.Brush.Color == unfilled) ++unfilledFills;
    if (op.Brush.Color == pg.St->ViewInfo(TEditorStyle::viCaretLineInfo)->BackColor()) ++marginFills;
  }
  EXPECT_EQ(caretFills, 1);
  EXPECT_EQ(marginFills, 1);
  EXPECT_GE(unfilledFills, pg.G.LinesPerPage);  // three text lines and the empty rows below
}

// Display lines past the text: painted as unfilled rows, or not at all with EofOverUnfilled.
TEST(EditorPainter, RowsAfterTheText) {
  TPage a;
  a.Layout("x");
  a.Paint();
  const size_t all = a.Canvas.Ops.size();
  TPage b([](TStyleHolder& s) { s->SetEditor(&TEditorValues::EofOverUnfilled, true); });
  b.Layout("x");
  b.Paint();
  EXPECT_LT(b.Canvas.Ops.size(), all);
  EXPECT_GT(a.G.LinesPerPage, 5);
}

TEST(EditorPainter, CaretRectangleAtTheCaret) {
  TPage pg;
  pg.Layout("あいう\r\nabc");
  pg.State.Caret = TPoint{3, 1};
  TEditorPainter painter(*pg.St.S, pg.Lines, pg.G, pg.State);
  EXPECT_EQ(painter.CaretRect(TPoint{10, 20}, 0, false), (TRect{10 + 16 - 1, 20 + 26 + 5, 10 + 16 + 2, 20 + 26 + 21}));
  // overwrite: the caret covers the character under it
  pg.State.Caret = TPoint{3, 0};
  TRect r = TEditorPainter(*pg.St.S, pg.Lines, pg.G, pg.State).CaretRect(TPoint{0, 0}, 0, true);
  EXPECT_EQ(r.Right - r.Left, 16 + 2);
}

namespace {
// Narrow "i" and "l", wide "m", full-width characters a whole height.
class TNarrowMetrics : public TTextMetrics {
public:
  void Advances(std::string_view text, int32_t height, bool, int32_t* out) const override {
    for (size_t i = 0; i < text.size();) {
      if (CharLenAt(text, i) == 2) {
        out[i] = height, out[i + 1] = 0, i += 2;
        continue;
      }
      out[i] = text[i] == 'i' || text[i] == 'l' ? height / 4 : text[i] == 'm' ? height * 3 / 4 : height / 2;
      ++i;
    }
  }
};
}  // namespace

// Proportional text: every character its measured width plus the spacing; the caret and the
// hit test follow those widths, and a screen line is stretched to where the printed one ends.
TEST(EditorPainter, ProportionalCellsTakeTheirMeasuredWidths) {
  TNarrowMetrics metrics;
  TPage pg([](TStyleHolder& s) { s->SetEditor(&TEditorValues::ProportionalFont, true); });
  pg.Layout("mili字x");
  pg.State.Metrics = &metrics;
  pg.State.Caret = TPoint{1, 5};
  TEditorPainter painter(*pg.St.S, pg.Lines, pg.G, pg.State);
  RLineStatus st;
  painter.MakeStatus(0, st);
  EXPECT_EQ(st.Offsets, (TIntegers{0, 12, 16, 20, 24, 40, 40, 48}));
  pg.Paint();
  ASSERT_EQ(pg.Canvas.Texts().size(), 1u);
  EXPECT_EQ(pg.Canvas.Texts()[0]->Advances, (TIntegers{12, 4, 4, 4, 16, 0, 8}));
  // caret and hit test by the measured widths
  pg.State.Caret = TPoint{4, 0};
  TRect caret = TEditorPainter(*pg.St.S, pg.Lines, pg.G, pg.State).CaretRect(TPoint{0, 0}, 0, false);
  EXPECT_EQ((caret.Left + caret.Right) / 2, 20);
  const TRowPlace p = pg.G.PlaceRow(0, 0);
  EXPECT_EQ(pg.G.ColumnAt(p, 21, &st.Offsets), 4);
  EXPECT_EQ(pg.G.ColumnAt(p, 25, &st.Offsets), 5);  // inside 字, before its middle
  EXPECT_EQ(pg.G.ColumnAt(p, 33, &st.Offsets), 7);  // past its middle: after it, off the trail byte
  // the same proportions on the printer: nothing to spread
  pg.State.ReferenceFontHeight = 32;
  pg.State.ReferenceSpacing = 0;
  RLineStatus same;
  TEditorPainter(*pg.St.S, pg.Lines, pg.G, pg.State).MakeStatus(0, same);
  EXPECT_EQ(same.Offsets.back(), 48);
  // the printer's spacing makes its line 120 dots at twice the height: the screen line
  // grows to 60 pixels, the extra pixels spread over the characters from the first
  pg.State.ReferenceSpacing = 4;
  RLineStatus wide;
  TEditorPainter(*pg.St.S, pg.Lines, pg.G, pg.State).MakeStatus(0, wide);
  EXPECT_EQ(wide.Offsets.back(), 60);
  EXPECT_EQ(wide.Offsets, (TIntegers{0, 14, 20, 26, 32, 50, 50, 60}));
}
