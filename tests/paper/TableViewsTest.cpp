#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "Cp932.h"
#include "Tables.h"
#include "TestUtil.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// Cell texts "名前 r", "〒 r", "住所 r ..." (the address longer), centred postal codes.
void Rows(TTableView& v, int32_t count, std::set<int32_t>* asked = nullptr) {
  v.OnCellText = [asked](int32_t col, int32_t row, int32_t& align, std::string& text) {
    if (asked) asked->insert(row);
    switch (col) {
      case 0: text = SJ("名前") + std::to_string(row); break;
      case 1:
        text = std::to_string(100 + row % 900) + "-0001";
        align = caCenter;
        break;
      default: text = SJ("東京都千代田区千代田") + std::to_string(row) + SJ("番地"); break;
    }
  };
  v.SetRowCount(count);
}

// A table control in a fake window.
struct TTableFixture {
  TFakeViewHost Host;
  TTable Table;
  TTableFixture(int32_t w = 600, int32_t h = 500) {
    Table.SetSize(w, h);
    Table.HandleCreated();
    Table.View().SetHost(&Host);  // the control applies its style
  }
  TTableView& View() { return Table.View(); }
  TTableStyle& Style() { return Table.Style(); }
};

// The rows whose name cells were drawn between page breaks of a recording.
std::vector<std::vector<int32_t>> RowsByPage(const TRecordingCanvas& c) {
  std::vector<std::vector<int32_t>> pages(1);
  const std::string name = SJ("名前");
  for (const TCanvasOp& op : c.Ops) {
    if (op.Kind == TCanvasOp::opNewPage) pages.emplace_back();
    if (op.Kind == TCanvasOp::opText && op.Text.rfind(name, 0) == 0 && op.Text != name)
      pages.back().push_back(std::stoi(op.Text.substr(name.size())));
  }
  return pages;
}

int32_t Count(const TRecordingCanvas& c, TCanvasOp::TKind kind) {
  return static_cast<int32_t>(std::count_if(c.Ops.begin(), c.Ops.end(), [&](const TCanvasOp& o) { return o.Kind == kind; }));
}

}  // namespace

class TableView : public TViewTest {};

TEST_F(TableView, PagesFollowRowsPerPageAtEveryZoomAndOnThePrinter) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TTableFixture f;
  Rows(f.View(), 250);
  const int32_t rpp = f.View().RowsPerPage();
  ASSERT_GT(rpp, 1);
  const int32_t pages = (250 + rpp - 1) / rpp;
  EXPECT_EQ(f.View().PageCount(), pages);
  for (int32_t ratio : {50, 100, 200}) {
    f.View().SetRatioValue(ratio);
    EXPECT_EQ(f.View().RowsPerPage(), rpp) << ratio;
    EXPECT_EQ(f.View().PageCount(), pages) << ratio;
  }
  // the rows per page were measured in the printer's dots
  const TTableStyle& st = f.Style();
  const int32_t font = PointsToPixels(9, 600), margin = RoundHalfEven(st.Table().InBoxVerticalMargin * 600 / 25.4);
  const int32_t content = 7016 - 2 * RoundHalfEven(20 * 600 / 25.4), header = font + 2 * margin;
  EXPECT_EQ(rpp, (content - header) / (font + 2 * margin + 1));

  EXPECT_EQ(f.View().Print("table", 0, 0), pages);
  ASSERT_TRUE(printer.LastRecording);
  auto printed = RowsByPage(*printer.LastRecording);
  ASSERT_EQ(static_cast<int32_t>(printed.size()), pages);
  for (int32_t p = 0; p < pages; ++p) {
    ASSERT_FALSE(printed[p].empty());
    EXPECT_EQ(printed[p].front(), p * rpp) << p;  // the print breaks where the screen does
    EXPECT_EQ(printed[p].back(), std::min(250, (p + 1) * rpp) - 1) << p;
  }
  EXPECT_EQ(f.View().PageCount(), pages);  // and the screen is the screen again
}

TEST_F(TableView, AnEmptyTableHasOnePageOfBackColour) {
  TTableFixture f;
  f.Style().Normal()->SetBackColor(0x00DDEEFF);
  Rows(f.View(), 0);
  EXPECT_EQ(f.View().PageCount(), 1);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  EXPECT_EQ(Count(c, TCanvasOp::opText), 1);  // the footer alone
  TRect content = f.View().ContentRect(f.View().PageRect(0, f.View().PaperAreaRect(f.View().SheetRect(0))));
  bool filled = false;
  for (const TCanvasOp& op : c.Ops)
    if (op.Kind == TCanvasOp::opFillRect && op.Rect == content) filled = op.Brush.Color == 0x00DDEEFF;
  EXPECT_TRUE(filled);
}

TEST_F(TableView, HeaderOnlyOnTheFirstPageGivesLaterPagesTallerRows) {
  TTableFixture f;
  f.Style().SetTable(&TTableStyleValues::ValueNameOnlyFirstPage, true);
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 25);  // the first sheets in view
  Rows(f.View(), 250);
  const int32_t rpp = f.View().RowsPerPage();
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  // the header texts appear once, on the first page
  int headers = 0;
  for (const TCanvasOp* op : c.Texts())
    if (op->Text == SJ("住所")) ++headers;
  EXPECT_EQ(headers, 1);
  auto rowTop = [&](int32_t row) {
    for (const TCanvasOp* op : c.Texts())
      if (op->Text == SJ("名前") + std::to_string(row)) return op->Rect.Top;  // the cell's clip
    return -1;
  };
  const int32_t first = rowTop(1) - rowTop(0), later = rowTop(rpp + 1) - rowTop(rpp);
  ASSERT_GT(first, 0);
  EXPECT_GE(later, first);
  TRect content1 = f.View().ContentRect(f.View().PageRect(1, f.View().PaperAreaRect(f.View().SheetRect(1))));
  EXPECT_EQ(rowTop(rpp), content1.Top + 1);  // rows start at the content's top
}

TEST_F(TableView, TheLastPageClosesItsTableAndKeepsTheRowHeight) {
  TTableFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 25);
  Rows(f.View(), 0);
  Rows(f.View(), f.View().RowsPerPage() + 3);
  const int32_t rpp = f.View().RowsPerPage();
  ASSERT_EQ(f.View().PageCount(), 2);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  const TRect sheet1 = f.View().SheetRect(1);
  const TRect content = f.View().ContentRect(f.View().PageRect(1, f.View().PaperAreaRect(sheet1)));
  // horizontal rules on the second page: header top and bottom, the three rows and the close
  std::set<int32_t> ys;
  for (const TCanvasOp& op : c.Ops)
    if (op.Kind == TCanvasOp::opLine && op.Points[0].Y == op.Points[1].Y && op.Points[0].Y >= content.Top &&
        op.Points[0].Y < content.Bottom)
      ys.insert(op.Points[0].Y);
  ASSERT_GE(ys.size(), 4u);
  std::vector<int32_t> y(ys.begin(), ys.end());
  const int32_t pitch = y[2] - y[1];
  EXPECT_NEAR(y[3] - y[2], pitch, 1);
  EXPECT_NEAR(y.back() - y[y.size() - 2], pitch, 1);  // the closing rule under the last row
  EXPECT_EQ(static_cast<int32_t>(y.size()), 1 + 3 + 1);  // header top, three row tops, close
  (void)rpp;
}

TEST_F(TableView, ColumnsAreMeasuredWidenedAndNarrowed) {
  TTableFixture f;
  f.Style().SetTable(&TTableStyleValues::ValueNames, SJ("名前,〒,住所"));
  // short texts: every column at least 16 mm in the measuring dots
  f.View().OnCellText = [](int32_t, int32_t, int32_t&, std::string& t) { t = "x"; };
  f.View().SetRowCount(3);
  const int32_t min16 = RoundHalfEven(16 * 360 / 25.4);
  const int32_t content = 2976 - 2 * RoundHalfEven(20 * 360 / 25.4);
  for (double r : f.View().ColumnRatios()) EXPECT_DOUBLE_EQ(r, static_cast<double>(min16) / content);
  // a very long address: the table is narrowed until it fits the content
  f.View().OnCellText = [](int32_t col, int32_t, int32_t&, std::string& t) {
    t = col == 2 ? std::string(400, 'A') : std::string("x");
  };
  f.View().SetRowCount(4);
  EXPECT_LE(f.View().TableWidth(), f.View().ContentBox().Width);
  // on screen the columns keep the print's proportions of the content width
  const auto& w = f.View().ColumnWidths();
  const auto& ratios = f.View().ColumnRatios();
  ASSERT_EQ(w.size(), 3u);
  EXPECT_NEAR(w[0], ratios[0] * f.View().ContentBox().Width, 1.0);
  EXPECT_LT(f.View().TableWidth(), f.View().ContentBox().Width);
}

TEST_F(TableView, TinyPagesNeitherLoopNorDivideByZero) {
  TTableFixture f;
  TTableStyle& st = f.Style();
  st.BeginUpdate();
  st.SetBase(&TBaseStyleValues::MarginLeft, 104.9);  // 0.2 mm of content width
  st.SetBase(&TBaseStyleValues::MarginRight, 104.9);
  st.SetTable(&TTableStyleValues::InBoxVerticalMargin, 200.0);  // not one row fits
  st.SetTable(&TTableStyleValues::ValueNames, SJ("名前,〒,住所,TEL,FAX"));
  st.EndUpdate();
  Rows(f.View(), 10);
  EXPECT_EQ(f.View().RowsPerPage(), 1);
  EXPECT_EQ(f.View().PageCount(), 10);
  for (int32_t w : f.View().ColumnWidths()) EXPECT_GE(w, 1);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  // a zero-width content area: the loop stops at one pixel per column
  st.SetBase(&TBaseStyleValues::MarginLeft, 200.0);
  EXPECT_EQ(f.View().TableWidth(), 5);
}

TEST_F(TableView, CellsAlignAsTheHostSays) {
  TTableFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  f.View().OnCellText = [](int32_t col, int32_t, int32_t& align, std::string& t) {
    t = "ab";
    align = col;  // centre, left, right
  };
  f.View().SetRowCount(1);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  std::vector<const TCanvasOp*> cells;
  for (const TCanvasOp* op : c.Texts())
    if (op->Text == "ab") cells.push_back(op);
  ASSERT_EQ(cells.size(), 3u);
  const int32_t tw = cells[0]->Advances[0] + cells[0]->Advances[1];
  const TRect r0 = cells[0]->Rect, r1 = cells[1]->Rect, r2 = cells[2]->Rect;
  EXPECT_EQ(cells[0]->X, r0.Left + (r0.Right - r0.Left - tw) / 2);
  EXPECT_EQ(cells[1]->X, r1.Left + f.View().CellMarginX());
  EXPECT_EQ(cells[2]->X, r2.Right - f.View().CellMarginX() - tw);
}

TEST_F(TableView, DrawingAsksOnlyForTheRowsItPaints) {
  TTableFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  std::set<int32_t> asked;
  Rows(f.View(), 500, &asked);
  asked.clear();
  TRecordingCanvas c;
  c.SetBaseClip({0, 0, 600, 200});
  f.View().Paint(c, {0, 0, 600, 200});
  ASSERT_FALSE(asked.empty());
  EXPECT_LT(*asked.rbegin(), f.View().RowsPerPage());
  EXPECT_LT(asked.size(), static_cast<size_t>(f.View().RowsPerPage()));
}

TEST_F(TableView, DoubleRulesAndKeys) {
  TTableFixture f;
  f.Style().Line()->SetDecorate(3);
  Rows(f.View(), 2);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  std::map<int32_t, int> vertical;  // x of vertical rules
  for (const TCanvasOp& op : c.Ops)
    if (op.Kind == TCanvasOp::opLine && op.Points[0].X == op.Points[1].X) ++vertical[op.Points[0].X];
  bool paired = false;
  for (const auto& [x, n] : vertical)
    if (vertical.count(x + 2)) paired = true;  // the second line two pixels to the right
  EXPECT_TRUE(paired);
  EXPECT_EQ(f.View().KeyToCommand(vkDown, 0), vcScrollForward);
  EXPECT_EQ(f.View().KeyToCommand(vkUp, 0), vcScrollBack);
  EXPECT_EQ(f.View().KeyToCommand(vkPrior, ssCtrl), vcZoomIn);
}

TEST_F(TableView, ScreenTextsKeepThePrintsShareOfTheirCells) {
  TTableFixture f;
  f.Style().SetBase(&TBaseStyleValues::RatioValue, 39);  // the font's pixel height rounds up here
  f.View().OnCellText = [](int32_t, int32_t, int32_t&, std::string& t) { t = std::string(20, 'a'); };
  f.View().SetRowCount(1);
  TRecordingCanvas c;
  f.View().Paint(c, f.View().ClientRect());
  const TCanvasOp* cell = nullptr;
  for (const TCanvasOp* op : c.Texts())
    if (op->Text == std::string(20, 'a')) cell = op;
  ASSERT_TRUE(cell);
  int32_t width = 0;
  for (int32_t a : cell->Advances) width += a;
  // fixed-width metrics: 22 dots a letter at the measuring resolution (9 points at 360 dpi)
  const int32_t print = 20 * (PointsToPixels(9, 360) / 2);
  EXPECT_EQ(width, RoundHalfEven(print * 96 * f.View().Zoom() / 360));
  EXPECT_NE(width, 20 * (cell->Font.Height / 2));  // what the rounded font alone would give
}
