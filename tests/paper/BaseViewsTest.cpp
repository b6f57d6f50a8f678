#include <gtest/gtest.h>

#include <algorithm>

#include "BaseViews.h"
#include "Cp932.h"
#include "TestUtil.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// A view with its own style on a fake window.
struct TViewFixture {
  TFakeViewHost Host;
  TBaseView View;
  explicit TViewFixture(int32_t w = 816, int32_t h = 616) {
    View.SetHost(&Host);
    View.SetBounds(w, h);
  }
  TBaseStyle& Style() { return *View.Style(); }
  template <class T>
  void Set(T TBaseStyleValues::*field, T value) {
    Style().SetBase(field, value);
  }
};

std::vector<std::string> TextsOf(const TRecordingCanvas& c) {
  std::vector<std::string> r;
  for (const TCanvasOp* op : c.Texts()) r.push_back(op->Text);
  return r;
}

bool HasText(const TRecordingCanvas& c, const std::string& text) {
  auto t = TextsOf(c);
  return std::find(t.begin(), t.end(), text) != t.end();
}

// A view with a fixed number of pages (as the table and the editor set theirs).
class TPagedView : public TBaseView {
public:
  int32_t Pages = 5;
  std::vector<int32_t> Drawn;

protected:
  void Arrange(const TRect& r) override {
    TBaseView::Arrange(r);
    SetPageCount(Pages);
  }
  void DrawPageContent(int32_t page, const TRect& c, const TRect& clip) override {
    TBaseView::DrawPageContent(page, c, clip);
    Drawn.push_back(page);
  }
};

}  // namespace

class BaseView : public TViewTest {};

TEST_F(BaseView, WholePageZoomChoosesTheRuleThatFits) {
  TViewFixture f;
  f.Set(&TBaseStyleValues::PaperVisible, true);
  PageMetrics().PaperScreen = {794, 1123};
  f.View.Resize();
  // 794 / 1123 is narrower than 800 / 600: the height rule
  EXPECT_EQ(f.View.PaperBox().Height, 600);
  EXPECT_EQ(f.View.PaperBox().Width, 424);
  EXPECT_DOUBLE_EQ(f.View.Zoom(), 424.0 / 794);
  // vertical tiling centres the sheet that fits; 8 pixels from the top
  EXPECT_EQ(f.View.PaperBox().X, (816 - 424) / 2);
  EXPECT_EQ(f.View.PaperBox().Y, 8);

  f.View.SetRatioValue(-1);  // page width
  EXPECT_EQ(f.View.PaperBox().Width, 800);
  EXPECT_EQ(f.View.PaperBox().Height, RoundHalfEven(800 * 1123.0 / 794));
  f.View.SetRatioValue(50);
  EXPECT_EQ(f.View.PaperBox().Width, 397);
  EXPECT_DOUBLE_EQ(f.View.Zoom(), 0.5);
}

TEST_F(BaseView, ATinyClientStillGetsASheetOfOnePixel) {
  for (int32_t ratio : {0, -1, -2}) {
    TViewFixture f(10, 16);
    f.Set(&TBaseStyleValues::PaperVisible, true);
    f.Set(&TBaseStyleValues::RatioValue, ratio);
    EXPECT_GE(f.View.PaperBox().Width, 1) << ratio;
    EXPECT_GE(f.View.PaperBox().Height, 1) << ratio;
    EXPECT_GT(f.View.Zoom(), 0) << ratio;
    // nothing divides by zero further on: paint and hit-test work
    TRecordingCanvas c;
    f.View.Paint(c, f.View.ClientRect());
    f.View.HitTest({5, 5});
  }
}

TEST_F(BaseView, ZoomStepsAndLimits) {
  TViewFixture f;
  f.Set(&TBaseStyleValues::PaperVisible, true);
  int ratioEvents = 0;
  f.View.OnRatioChange = [&] { ++ratioEvents; };
  f.View.SetRatioValue(195);
  f.View.ZoomIn();
  EXPECT_EQ(f.View.RatioValue(), 205);
  f.View.ZoomIn();  // 205 % is above the limit: unchanged
  EXPECT_EQ(f.View.RatioValue(), 205);
  f.View.SetRatioValue(25);
  f.View.ZoomOut();
  EXPECT_EQ(f.View.RatioValue(), 15);
  f.View.SetRatioValue(20);
  f.View.ZoomOut();
  EXPECT_EQ(f.View.RatioValue(), 20);
  // zoom steps store the value without the event; setting the value sends it
  EXPECT_EQ(ratioEvents, 3);
  // Ctrl+Page Up / Page Down are the zoom commands, whole page resets the zoom
  EXPECT_EQ(f.View.KeyToCommand(vkPrior, ssCtrl), vcZoomIn);
  EXPECT_EQ(f.View.KeyToCommand(vkNext, ssCtrl), vcZoomOut);
  EXPECT_EQ(f.View.KeyToCommand(vkNext, 0), vcNone);
  EXPECT_TRUE(f.View.ExecuteCommand(vcWholePage));
  EXPECT_EQ(f.View.RatioValue(), 0);
  EXPECT_FALSE(f.View.ExecuteCommand(42));
}

TEST_F(BaseView, DividedSheetsLayPagesFromTheRightWhenReversed) {
  TViewFixture f;
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::PaperLevelDivide, 2);
  f.Set(&TBaseStyleValues::PaperVerticalDivide, 2);
  f.Set(&TBaseStyleValues::PaperTileHReverse, true);
  TRect a = f.View.PaperAreaRect(f.View.SheetRect(0));
  int32_t midX = a.Left + f.View.PageCellBox().Width, midY = a.Top + f.View.PageCellBox().Height;
  TRect p0 = f.View.PageRect(0, a), p1 = f.View.PageRect(1, a), p3 = f.View.PageRect(3, a);
  EXPECT_EQ(p0.Right, a.Right);
  EXPECT_EQ(p0.Top, a.Top);
  EXPECT_EQ(p1.Left, a.Left);  // the last column reaches the area's edge
  EXPECT_EQ(p1.Top, a.Top);
  EXPECT_EQ(p3.Left, a.Left);
  EXPECT_EQ(p3.Bottom, a.Bottom);
  EXPECT_LE(std::abs(p1.Right - midX), 1);
  EXPECT_LE(std::abs(p0.Bottom - midY), 1);
  EXPECT_EQ(f.View.SheetCount(), 1);
  EXPECT_EQ(f.View.PageCount(), 4);
}

TEST_F(BaseView, FooterMacrosAndPageNumbers) {
  TViewFixture f;
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::PaperLevelDivide, 2);
  TRecordingCanvas c;
  f.View.Paint(c, f.View.ClientRect());
  EXPECT_TRUE(HasText(c, SJ("－ 1 －")));
  EXPECT_TRUE(HasText(c, SJ("－ 2 －")));

  f.Set(&TBaseStyleValues::StartPageNo, 0);
  f.Set(&TBaseStyleValues::HeaderStr, std::string("&d &t&b&P pages&b&&p&o&e"));
  c.Ops.clear();
  f.View.Paint(c, f.View.ClientRect());
  EXPECT_TRUE(HasText(c, SJ("－  －")));  // page number 0 shows nothing
  EXPECT_TRUE(HasText(c, SJ("－ 1 －")));
  EXPECT_TRUE(HasText(c, "2026/12/9 8:05"));  // the host's clock
  EXPECT_TRUE(HasText(c, "2 pages"));
  // "&&p": the first "&" takes the second as its letter; the odd/even macros follow the page
  EXPECT_TRUE(HasText(c, "p"));
  EXPECT_TRUE(HasText(c, "p1"));

  // the centre part is centred on the page, the right part ends at the distance from the right
  const TCanvasOp* centre = nullptr;
  for (const TCanvasOp* op : c.Texts())
    if (op->Text == "2 pages" && !centre) centre = op;
  ASSERT_TRUE(centre);
  TRect page0 = f.View.PageRect(0, f.View.PaperAreaRect(f.View.SheetRect(0)));
  int32_t w = 0;
  for (int32_t a : centre->Advances) w += a;
  EXPECT_EQ(centre->X, page0.Left + (page0.Right - page0.Left - w) / 2);
}

TEST_F(BaseView, MacroExpansionRules) {
  auto expand = [](char l) { return l == 'x' ? std::string("X") : std::string(); };
  EXPECT_EQ(ExpandMacros("a&xb&", expand), "aXb&");
  EXPECT_EQ(ExpandMacros("&&x", expand), "x");
  EXPECT_EQ(ExpandMacros(SJ("&あ&x"), expand), "X");  // a double-byte letter goes whole
  THeaderParts p = SplitHeaderFormat("L&bC&bR&bmore");
  EXPECT_EQ(p.Left, "L");
  EXPECT_EQ(p.Center, "C");
  EXPECT_EQ(p.Right, "R&bmore");
  EXPECT_EQ(SplitHeaderFormat("only").Left, "only");
  EXPECT_EQ(SplitHeaderFormat("&bmid").Center, "mid");
}

TEST_F(BaseView, ReverseTilingAndTheOffsetClamp) {
  TViewFixture f(400, 300);
  TBaseStyle& s = f.Style();
  s.BeginUpdate();
  s.SetBase(&TBaseStyleValues::PaperVisible, true);
  s.SetBase(&TBaseStyleValues::RatioValue, 25);
  s.SetBase(&TBaseStyleValues::PaperTileVReverse, true);
  s.EndUpdate();
  TRect r0 = f.View.SheetRect(0), r1 = f.View.SheetRect(1);
  EXPECT_EQ(r1.Bottom + 8, r0.Top);  // the next sheet lies above
  EXPECT_EQ(r0.Bottom, 300 - 8);
  // offsets run from 0 to the limit when reversed, else from minus the limit to 0
  f.View.SetOffset({0, -50});
  EXPECT_EQ(f.View.Offset().Y, 0);
  f.View.SetOffset({0, 1000000});
  EXPECT_EQ(f.View.Offset().Y, f.View.ScrollLimit().Y);
  f.View.SetOffset({0, 0});
  // scroll commands swap with the tiling direction
  f.View.ExecuteCommand(vcScrollForward);
  EXPECT_EQ(f.View.Offset().Y, f.View.ScrollStep().Y);
  EXPECT_FALSE(f.View.ScrollStepping());
  f.View.ExecuteCommand(vcScrollHome);
  EXPECT_EQ(f.View.Offset(), (TPoint{0, 0}));
  f.View.ExecuteCommand(vcScrollEnd);
  EXPECT_GT(f.View.Offset().Y, 0);
}

TEST_F(BaseView, ScrollingOneAxisMovesPixelsAndPaintsTheStrip) {
  TViewFixture f(400, 300);
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::RatioValue, 100);
  int changes = 0;
  f.View.OnOffsetChange = [&] { ++changes; };
  f.Host.Clear();
  f.View.ScrollBy(0, -30);
  ASSERT_EQ(f.Host.Scrolls.size(), 1u);
  EXPECT_EQ(f.Host.Scrolls[0].Dy, -30);
  ASSERT_EQ(f.Host.Invalidated.size(), 1u);
  EXPECT_EQ(f.Host.Invalidated[0], (TRect{0, 270, 400, 300}));
  EXPECT_EQ(changes, 1);
  // both axes: everything is painted again
  f.Host.Clear();
  f.View.SetOffset({-10, -40});
  EXPECT_TRUE(f.Host.Scrolls.empty());
  EXPECT_EQ(f.Host.Invalidated.back(), f.View.ClientRect());
  // a host that cannot move pixels gets a full repaint
  f.Host.Clear();
  f.Host.CanScroll = false;
  f.View.ScrollBy(0, -5);
  EXPECT_EQ(f.Host.Invalidated.back(), f.View.ClientRect());
  // nothing is asked of the host while painting is locked
  f.Host.Clear();
  f.View.BeginPaint();
  f.View.ScrollBy(0, -5);
  f.View.EndPaint(false);
  EXPECT_TRUE(f.Host.Scrolls.empty());
  EXPECT_TRUE(f.Host.Invalidated.empty());
}

TEST_F(BaseView, VisibleRangeFollowsTheOffset) {
  TFakeViewHost host;
  TPagedView v;
  v.Pages = 10;
  v.SetHost(&host);
  v.SetBounds(400, 300);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  v.Style()->SetBase(&TBaseStyleValues::RatioValue, 25);
  EXPECT_EQ(v.SheetCount(), 10);
  EXPECT_EQ(v.FirstSheet(), 0);
  int32_t step = v.PaperBox().Height + 8;
  EXPECT_EQ(v.LastSheet(), 300 / step + 1);
  EXPECT_EQ(v.Extent().Y, step * 10 + 8);
  v.SetOffset({0, -(3 * step)});
  EXPECT_EQ(v.FirstSheet(), 3);
  EXPECT_EQ(v.FirstPage(), 3);
  v.SetOffset({0, -1000000});
  EXPECT_EQ(v.Offset().Y, -v.ScrollLimit().Y);
  EXPECT_EQ(v.LastSheet(), v.SheetCount() - 1);
  EXPECT_EQ(v.LastPage(), v.PageCount() - 1);
}

TEST_F(BaseView, HitTestNamesTheAreasUnderThePoint) {
  TViewFixture f(400, 300);
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.View.HitTest({1, 1});
  EXPECT_EQ(f.View.HitAreas(), 1u << haOutside);
  TRect sheet = f.View.SheetRect(0);
  TRect content = f.View.ContentRect(f.View.PageRect(0, f.View.PaperAreaRect(sheet)));
  f.View.HitTest({content.Left + 1, content.Top + 1});
  EXPECT_TRUE(f.View.HitArea(haSheet));
  EXPECT_TRUE(f.View.HitArea(haPrintable));
  EXPECT_TRUE(f.View.HitArea(haContent));
  EXPECT_FALSE(f.View.HitArea(haOutside));
  f.View.HitTest({sheet.Left + 1, sheet.Top + 1});  // in the margin
  EXPECT_TRUE(f.View.HitArea(haSheet));
  EXPECT_FALSE(f.View.HitArea(haContent));
}

TEST_F(BaseView, PaintingDrawsOnlyWhatMeetsTheClip) {
  TViewFixture f(400, 300);
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::RatioValue, 25);
  f.Set(&TBaseStyleValues::PaperLevelDivide, 2);
  f.Set(&TBaseStyleValues::PaperVerticalDivide, 2);
  std::vector<int32_t> painted;
  f.View.OnPaint = [&](const TPaintInfo& p) { painted.push_back(p.PageNo); };
  TRecordingCanvas c;
  c.SetBaseClip({0, 0, 400, 60});  // only the first sheet meets it
  f.View.Paint(c, f.View.ClientRect());
  EXPECT_EQ(painted, (std::vector<int32_t>{1, 2}));  // the upper half of the sheet
  for (const TCanvasOp& op : c.Ops)
    if (op.Kind == TCanvasOp::opFillRect) {
      EXPECT_GE(op.Rect.Top, 0);
      EXPECT_LE(op.Rect.Bottom, 60);
    }
  // while painting is locked nothing is drawn
  c.Ops.clear();
  f.View.BeginPaint();
  f.View.Paint(c, f.View.ClientRect());
  f.View.EndPaint(false);
  EXPECT_TRUE(c.Ops.empty());
}

TEST_F(BaseView, PrintingPageThreeAtTwoPagesPerSheetPrintsTheSecondSheet) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TViewFixture f;
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::PaperLevelDivide, 2);
  std::vector<int32_t> pages;
  std::vector<int32_t> dpis;
  f.View.OnPaint = [&](const TPaintInfo& p) {
    pages.push_back(p.PageNo);
    dpis.push_back(p.Canvas->Dpi());
  };
  EXPECT_EQ(f.View.Print("job", 1, 1), 1);
  EXPECT_EQ(printer.Documents, 1);
  EXPECT_EQ(printer.Titles.back(), "job");
  EXPECT_EQ(pages, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(dpis, (std::vector<int32_t>{600, 600}));
  // back on screen
  EXPECT_FALSE(f.View.Printing());
  EXPECT_LT(f.View.PaperBox().Width, 1000);
}

TEST_F(BaseView, PrintRangesAreClampedAndAnEmptyRangePrintsNothing) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TFakeViewHost host;
  TPagedView v;
  v.SetHost(&host);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  v.Style()->SetBase(&TBaseStyleValues::PaperLevelDivide, 2);
  EXPECT_EQ(v.SheetCount(), 3);

  // page 3 at two pages per sheet: the whole second sheet on one printed page
  EXPECT_EQ(v.Print("t", 3, 3), 1);
  EXPECT_EQ(v.Drawn, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(printer.Pages, 1);

  // an entry count where sheets are meant: up to the last sheet
  v.Drawn.clear();
  EXPECT_EQ(v.Print("t", 0, 0, 2, 250), 2);
  EXPECT_EQ(v.Drawn, (std::vector<int32_t>{2, 3, 4, 5}));
  EXPECT_EQ(printer.Pages, 2);

  // first after last, or beyond the end: no job at all
  int docs = printer.Documents;
  EXPECT_THROW(v.Print("t", 5, 3), EPrintRangeEmpty);
  EXPECT_THROW(v.Print("t", 0, 0, 9, 12), EPrintRangeEmpty);
  EXPECT_EQ(printer.Documents, docs);
  EXPECT_FALSE(printer.InDocument());
  EXPECT_FALSE(v.Printing());

  // without a printer nothing happens
  SheetPrinter().SetBackend(nullptr);
  EXPECT_EQ(v.Print("t", 0, 0), 0);
}

TEST_F(BaseView, AFailedPrintEndsTheJobAndReturnsToTheScreen) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  printer.FailNewPageAfter = 1;
  TFakeViewHost host;
  TPagedView v;
  v.SetHost(&host);
  v.SetBounds(400, 300);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  const TBox screenBox = v.PaperBox();
  const double screenZoom = v.Zoom();
  EXPECT_THROW(v.Print("t", 0, 0), ESheetPrinter);
  EXPECT_FALSE(printer.InDocument());
  EXPECT_EQ(printer.Documents, 1);  // ended
  EXPECT_FALSE(v.Printing());
  EXPECT_EQ(v.PaperBox(), screenBox);
  EXPECT_DOUBLE_EQ(v.Zoom(), screenZoom);
  EXPECT_EQ(v.Canvas().Dpi(), 96);
  // a job that cannot start leaves the view on the screen as well
  printer.FailBeginDoc = true;
  EXPECT_THROW(v.Print("t", 0, 0), ESheetPrinter);
  EXPECT_FALSE(v.Printing());
  EXPECT_EQ(v.PaperBox(), screenBox);
}

TEST_F(BaseView, PrintedSheetsUseThePrinterMetricsAndOffsets) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  printer.Devices[0].MarginLeft = 50;
  printer.Devices[0].MarginTop = 60;
  TFakeViewHost host;
  TPagedView v;
  v.Pages = 1;
  v.SetHost(&host);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  v.Style()->SetBase(&TBaseStyleValues::HeaderStr, std::string("H"));
  TRect content;
  v.OnPaint = [&](const TPaintInfo& p) { content = p.DrawRect; };
  v.Print("t", 0, 0);
  // A4 at 600 dpi with 20 mm margins, drawn from the printable corner
  EXPECT_EQ(content.Left, RoundHalfEven(20 * 600 / 25.4) - 50);
  EXPECT_EQ(content.Top, RoundHalfEven(20 * 600 / 25.4) - 60);
  EXPECT_EQ(content.Right - content.Left, 4961 - 2 * 472);
  ASSERT_TRUE(printer.LastRecording);
  const TCanvasOp* header = nullptr;
  for (const TCanvasOp* op : printer.LastRecording->Texts())
    if (op->Text == "H") header = op;
  ASSERT_TRUE(header);
  EXPECT_EQ(header->X, RoundHalfEven(5 * 600 / 25.4) - 50);
  EXPECT_EQ(header->Y, RoundHalfEven(5 * 600 / 25.4) - 60);
  EXPECT_EQ(header->Font.Height, PointsToPixels(9, 600));  // points at the printer's resolution
}

TEST_F(BaseView, PrintedRulesAreAsWideAsOnScreen) {
  InstallFakePrinter(600);
  TFakeViewHost host;
  TPagedView v;
  v.SetHost(&host);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  v.Style()->SetBase(&TBaseStyleValues::RatioValue, 100);
  TViewInfo line;
  line.Create(nullptr);
  line.SetDecorate(1);
  line.SetLineWidth(0.5);  // millimetres
  v.SetLinePen(&line);
  EXPECT_EQ(v.Canvas().Pen().Width, RoundHalfEven(0.5 * 96 / 25.4));
  int32_t printed = 0;
  v.OnPaint = [&](const TPaintInfo&) {
    v.SetLinePen(&line);
    printed = v.Canvas().Pen().Width;
  };
  v.Print("t", 0, 0);
  EXPECT_EQ(printed, RoundHalfEven(0.5 * 600 / 25.4));
  line.DestroyFields();
}

TEST_F(BaseView, AutoScrollRunsTowardsThePointer) {
  TViewFixture f(400, 300);
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::RatioValue, 100);
  f.View.SetOffset({0, -200});
  const int32_t y0 = f.View.Offset().Y;
  // a drag leaves the view upwards
  f.View.MouseDown({TMouseButton::Left, ssLeft, 100, 100});
  EXPECT_EQ(f.Host.FocusRequests, 1);
  f.View.MouseMove({TMouseButton::Left, ssLeft, 100, 110});
  EXPECT_TRUE(f.View.Dragging());
  f.View.MouseMove({TMouseButton::Left, ssLeft, 100, -30});
  ASSERT_TRUE(f.Host.Timers.count(TBaseView::kAutoScrollTimer));
  f.Host.Pointer = {100, -30};
  f.View.TimerTick(TBaseView::kAutoScrollTimer);
  // the content above comes into view, faster the further the pointer is
  EXPECT_EQ(f.View.Offset().Y, y0 + f.View.ScrollStep().Y);
  EXPECT_EQ(f.Host.Timers[TBaseView::kAutoScrollTimer], 150 - 30);
  f.Host.Pointer = {100, -500};
  f.View.TimerTick(TBaseView::kAutoScrollTimer);
  EXPECT_EQ(f.Host.Timers[TBaseView::kAutoScrollTimer], 15);
  f.Host.Pointer = {100, 400};
  const int32_t y1 = f.View.Offset().Y;
  f.View.TimerTick(TBaseView::kAutoScrollTimer);
  EXPECT_EQ(f.View.Offset().Y, y1 - f.View.ScrollStep().Y);
  // back inside: the timer stops; the release ends the drag
  f.View.MouseMove({TMouseButton::Left, ssLeft, 100, 100});
  EXPECT_FALSE(f.Host.Timers.count(TBaseView::kAutoScrollTimer));
  f.View.MouseUp({TMouseButton::Left, 0, 100, 100});
  EXPECT_FALSE(f.View.Dragging());
  // a fixed command runs at the fixed interval
  f.View.AutoScrollCommand = vcScrollHome;
  f.View.MouseDown({TMouseButton::Left, ssLeft, 100, 100});
  f.View.MouseMove({TMouseButton::Left, ssLeft, 100, 120});
  f.View.MouseMove({TMouseButton::Left, ssLeft, 100, -1});
  f.View.TimerTick(TBaseView::kAutoScrollTimer);
  EXPECT_EQ(f.View.Offset().Y, 0);
  EXPECT_EQ(f.Host.Timers[TBaseView::kAutoScrollTimer], 150);
  f.View.EndDrag();
  EXPECT_FALSE(f.Host.Timers.count(TBaseView::kAutoScrollTimer));
}

TEST_F(BaseView, ClicksDoubleClicksAndPressesWithoutPaper) {
  TViewFixture f(300, 200);
  int clicks = 0, doubles = 0, downs = 0;
  f.View.OnClick = [&] { ++clicks; };
  f.View.OnDblClick = [&] { ++doubles; };
  f.View.OnMouseDown = [&](const TViewMouseEvent&) { ++downs; };
  f.View.MouseDown({TMouseButton::Left, ssLeft, 10, 10});
  f.View.MouseUp({TMouseButton::Left, 0, 10, 10});
  f.View.DblClick();
  f.View.MouseDown({TMouseButton::Left, ssLeft | ssDouble, 10, 10});  // the press of the double click
  f.View.MouseUp({TMouseButton::Left, 0, 10, 10});
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 1);
  // without paper the view is its client area, with the zoom of a percentage
  EXPECT_EQ(f.View.SheetRect(0), f.View.ClientRect());
  EXPECT_EQ(f.View.ContentBox(), (TBox{0, 0, 300, 200}));
  f.View.SetRatioValue(150);
  EXPECT_DOUBLE_EQ(f.View.Zoom(), 1.5);
  EXPECT_EQ(f.View.LengthToPixels(10), 15);
}

TEST_F(BaseView, AStyleChangeResetsTheOffsetAndTakesTheZoom) {
  TViewFixture f(400, 300);
  f.Set(&TBaseStyleValues::PaperVisible, true);
  f.Set(&TBaseStyleValues::RatioValue, 100);
  f.View.SetOffset({0, -100});
  EXPECT_NE(f.View.Offset().Y, 0);
  f.Set(&TBaseStyleValues::RatioValue, 50);
  EXPECT_EQ(f.View.Offset(), (TPoint{0, 0}));
  EXPECT_EQ(f.View.RatioValue(), 50);
  // a borrowed style is only re-applied
  TBaseStyle* other = TDataItem::Make<TBaseStyle>();
  other->SetBase(&TBaseStyleValues::PaperVisible, true);
  other->SetBase(&TBaseStyleValues::RatioValue, 30);
  f.View.SetStyle(other);  // the owned style takes it by assignment
  EXPECT_EQ(f.View.RatioValue(), 30);
  EXPECT_NE(f.View.Style(), other);
  other->Free();
  TBaseStyle* borrowed = TDataItem::Make<TBaseStyle>();
  {
    TBaseView v(borrowed);
    EXPECT_FALSE(v.OwnsStyle());
    EXPECT_EQ(v.Style(), borrowed);
  }
  borrowed->Free();
}

TEST_F(BaseView, AUserPaperIsCommittedToThePrinterItPrintsOn) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TFakeViewHost host;
  TPagedView v;
  v.Pages = 1;
  v.SetHost(&host);
  TBaseStyle& s = *v.Style();
  s.BeginUpdate();
  s.SetBase(&TBaseStyleValues::PaperVisible, true);
  s.SetPaperWidth(200);  // a round-trip card
  s.SetPaperHeight(148);
  s.EndUpdate();
  const TPrinterSettings& committed = printer.Devices[0].Settings;
  EXPECT_EQ(committed.PaperNumber, kPaperUser);
  EXPECT_EQ(committed.PaperWidth, 2000);
  EXPECT_EQ(committed.PaperLength, 1480);
  EXPECT_EQ(PageMetrics().PaperDots, (TPoint{4724, 3496}));
  TRect content;
  v.OnPaint = [&](const TPaintInfo& p) { content = p.DrawRect; };
  v.Print("card", 0, 0);
  EXPECT_EQ(content.Right - content.Left, 4724 - 2 * 472);
  // back to A4: committed as well
  s.SetPaperSize(kPaperA4);
  EXPECT_EQ(committed.PaperNumber, kPaperA4);
  EXPECT_EQ(PageMetrics().PaperDots, (TPoint{4961, 7016}));
}

namespace {

// Prints with a copy of its style whose paper margin is white, as the postcard does.
class TWhitePrintView : public TPagedView {
public:
  int Started = 0, Finished = 0;

protected:
  void PrintStarting() override {
    ++Started;
    Style()->SaveBackup();
    Style()->ViewInfo(TBaseStyle::viPaperMargin)->SetBackColor(clWhite);
  }
  void PrintFinished() override {
    ++Finished;
    Style()->RestoreBackup();
  }
};

}  // namespace

TEST_F(BaseView, TheScreenStyleComesBackAfterAFailedPrint) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TFakeViewHost host;
  TWhitePrintView v;
  v.SetHost(&host);
  v.SetBounds(400, 300);
  v.Style()->SetBase(&TBaseStyleValues::PaperVisible, true);
  v.Style()->ViewInfo(TBaseStyle::viPaperMargin)->SetBackColor(0x00CCFFFF);
  printer.FailNewPageAfter = 1;
  EXPECT_THROW(v.Print("t", 0, 0), ESheetPrinter);
  EXPECT_EQ(v.Started, 1);
  EXPECT_EQ(v.Finished, 1);
  EXPECT_EQ(v.Style()->ViewInfo(TBaseStyle::viPaperMargin)->BackColor(), 0x00CCFFFF);
  EXPECT_FALSE(v.Printing());
  EXPECT_EQ(v.Canvas().Dpi(), 96);
  // an empty range never starts: nothing to restore either
  EXPECT_THROW(v.Print("t", 9, 9), EPrintRangeEmpty);
  EXPECT_EQ(v.Started, 2);
  EXPECT_EQ(v.Finished, 2);
}
