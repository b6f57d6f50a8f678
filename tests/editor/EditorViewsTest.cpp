#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "Editors.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// An editor control on a fake window, its style set up by the test.
struct TEditorFixture {
  TFakeViewHost Host;
  TEditor Ed;
  explicit TEditorFixture(std::function<void(TEditorStyle&)> setup = nullptr, int32_t w = 600, int32_t h = 800) {
    Ed.EditorView().SetHost(&Host);
    Ed.HandleCreated();
    if (setup) {
      Ed.BeginStyleUpdate();
      setup(Ed.EditorStyle());
      Ed.EndStyleUpdate(false);
    }
    Ed.SetSize(w, h);
    Ed.Layout();
  }
  TEditorView& View() { return Ed.EditorView(); }
  TEditorCore& Core() { return Ed.Core(); }
  void Text(const char* utf8) {
    Core().SetText(Utf8ToSjis(utf8));
    View().Resize();
  }
  TRecordingCanvas Paint() {
    TRecordingCanvas c;
    c.SetBaseClip(View().ClientRect());
    View().Paint(c, View().ClientRect());
    return c;
  }
  void Key(int32_t key, TShiftState shift = 0) { Ed.KeyDown(key, shift); }
  TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
};

void Vertical(TEditorStyle& s) { s.SetEditor(&TEditorValues::Vertical, true); }

}  // namespace

class EditorView : public TViewTest {};

TEST_F(EditorView, WithoutPaperTheTextFillsTheWindow) {
  TEditorFixture f;
  f.Text("吾輩は猫である。\r\n名前はまだ無い。");
  const TEditorGeometry& g = f.View().Geometry();
  EXPECT_GT(g.Cells, 20);
  EXPECT_EQ(f.View().PageCount(), 1);
  TRecordingCanvas c = f.Paint();
  bool found = false;
  for (const TCanvasOp* op : c.Texts()) found = found || op->Text == Utf8ToSjis("吾輩は猫である。");
  EXPECT_TRUE(found);
  // the extent along the lines and across them, for the scroll bars
  EXPECT_EQ(f.View().Extent().Y, f.Core().Lines().DisplayCount() * g.LinePitch);
}

// With the paper shown, a reference pass in printer metrics decides the cells and rows, and
// the pages follow from the display lines.
TEST_F(EditorView, PaperPagesFollowTheReferencePass) {
  InstallFakePrinter(600);
  TEditorFixture f([](TEditorStyle& s) {
    Vertical(s);
    s.SetBase(&TBaseStyleValues::PaperVisible, true);
    s.SetEditor(&TEditorValues::LineCountInPage, 10);
  });
  std::string text;
  for (int i = 0; i < 25; ++i) text += "あ\r\n";
  f.Core().SetText(Utf8ToSjis(text.c_str()));
  f.View().Resize();
  const TEditorReference& ref = f.View().Reference();
  ASSERT_TRUE(ref.Valid);
  EXPECT_EQ(f.View().Geometry().Cells, ref.Cells);
  EXPECT_EQ(f.View().Geometry().LinesPerPage, 10);
  EXPECT_EQ(f.View().PageCount(), 3);  // 26 display lines, 10 a page
  // the line store is broken in the printer's metrics: its line width is in printer dots
  EXPECT_GT(f.Core().Lines().LineWidth, f.View().Geometry().LineExtent);
  // typing lines until a fourth page is needed grows the page count
  f.Core().MoveTo(TPoint{1, 25}, false);
  for (int i = 0; i < 5; ++i) f.Core().KeyChar('\r');
  EXPECT_EQ(f.View().PageCount(), 4);
}

TEST_F(EditorView, KeysMoveByTheWritingDirection) {
  TEditorFixture f(Vertical);
  f.Text("あいう\r\nかきく");
  f.Key(vkLeft);  // the next line lies to the left
  EXPECT_EQ(f.Core().Caret(), (TPoint{1, 1}));
  f.Key(vkDown);
  EXPECT_EQ(f.Core().Caret(), (TPoint{3, 1}));
  f.Key(vkUp, ssShift);
  EXPECT_TRUE(f.Core().HasSelection());
  f.Key(vkBack);
  EXPECT_EQ(SjisToUtf8(f.Core().Text()), "あいう\r\nきく");
  f.Key('Z', ssCtrl);
  EXPECT_EQ(SjisToUtf8(f.Core().Text()), "あいう\r\nかきく");
  // the paper view's zoom keys come first
  EXPECT_EQ(f.View().KeyToCommand(vkPrior, ssCtrl), vcZoomIn);
}

// A click puts the caret where the point is; the caret's own rectangle hits its position.
TEST_F(EditorView, ClicksAndTheCaretMeetInBothDirections) {
  for (bool vertical : {false, true}) {
    TEditorFixture f([&](TEditorStyle& s) { s.SetEditor(&TEditorValues::Vertical, vertical); });
    f.Text("abcdefghij\r\nあいうえお\r\n12345");
    for (TPoint p : {TPoint{1, 0}, TPoint{5, 0}, TPoint{11, 0}, TPoint{3, 1}, TPoint{11, 1}, TPoint{6, 2}}) {
      f.Core().MoveTo(p, false);
      const TRect caret = f.View().CaretViewRect();
      ASSERT_FALSE(IsEmptyRect(caret)) << vertical;
      TEditorHit hit = f.View().HitText(f.Centre(caret));
      ASSERT_TRUE(hit.Found);
      EXPECT_EQ(hit.Position, p) << "vertical " << vertical << " at " << p.X << "," << p.Y;
      f.Core().MoveTo(TPoint{1, 0}, false);
      f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, f.Centre(caret).X, f.Centre(caret).Y});
      f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, f.Centre(caret).X, f.Centre(caret).Y});
      EXPECT_EQ(f.Core().Caret(), p);
    }
  }
}

TEST_F(EditorView, DragSelectsAndDoubleClickSelectsAWord) {
  TEditorFixture f;
  f.Text("漢字かなカナ\r\nabc");
  f.Core().MoveTo(TPoint{5, 0}, false);
  TPoint a = f.Centre(f.View().CaretViewRect());
  f.Core().MoveTo(TPoint{9, 0}, false);
  TPoint b = f.Centre(f.View().CaretViewRect());
  f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, a.X, a.Y});
  f.View().MouseMove(TViewMouseEvent{TMouseButton::Left, ssLeft, b.X, b.Y});
  f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, b.X, b.Y});
  EXPECT_EQ(f.Core().SelectionRange(), (T2Caret{TPoint{5, 0}, TPoint{9, 0}}));
  // a double click on かな selects the run of hiragana
  f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, a.X + 2, a.Y});
  f.View().DblClick();
  EXPECT_EQ(f.Core().SelectionRange(), (T2Caret{TPoint{5, 0}, TPoint{9, 0}}));
}

TEST_F(EditorView, OnlyWebAndMailAddressesOpen) {
  EXPECT_TRUE(OpenableUrl("http://example.jp/"));
  EXPECT_TRUE(OpenableUrl("HTTPS://example.jp/a?b=c"));
  EXPECT_TRUE(OpenableUrl("mailto:a@example.jp"));
  EXPECT_FALSE(OpenableUrl("file:///etc/passwd"));
  EXPECT_FALSE(OpenableUrl("javascript:alert(1)"));
  EXPECT_FALSE(OpenableUrl("http://"));
  EXPECT_FALSE(OpenableUrl("ftp://example.jp"));
  EXPECT_FALSE(OpenableUrl("\\\\server\\share"));
  EXPECT_EQ(MailUrl("a@example.jp"), "mailto:a@example.jp");
  EXPECT_EQ(MailUrl("MAILTO:a@example.jp"), "MAILTO:a@example.jp");

  // a double click on an address in the text asks to open it
  TEditorFixture f;
  f.Text("see http://example.jp/x now");
  std::vector<std::string> opened;
  f.View().OnOpenUrl = [&](const std::string& u) { opened.push_back(u); };
  f.Core().MoveTo(TPoint{10, 0}, false);
  TPoint p = f.Centre(f.View().CaretViewRect());
  f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, p.X + 2, p.Y});
  f.View().DblClick();
  EXPECT_EQ(opened, (std::vector<std::string>{"http://example.jp/x"}));
}

// A click while composing has the input method commit the composition where it stood before
// the caret moves, and the click hits the character it was on as shown; an input method that
// commits nothing leaves the text as it was.
TEST_F(EditorView, AClickCommitsTheCompositionWhereItWasShown) {
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    TEditorFixture f([&](TEditorStyle& s) { s.SetEditor(&TEditorValues::Vertical, vertical); });
    f.Text("abcdefghij");
    f.Ed.FocusGained();
    f.Core().MoveTo(TPoint{4, 0}, false);  // after abc
    int commits = 0;
    f.View().OnCommitComposition = [&] {
      // what an input method does when asked: the composition comes back as its commit
      ++commits;
      const std::string text = f.View().Preedit();
      f.View().SetPreedit(std::string());
      f.Core().TypeText(text);
    };
    f.View().SetPreedit(Utf8ToSjis("かんじ"));
    // the f as shown, after the composition: byte 12 of the line that holds it
    f.Core().MoveTo(TPoint{12, 0}, false);
    const TPoint atF = f.Centre(f.View().CaretViewRect());
    f.Core().MoveTo(TPoint{4, 0}, false);
    f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, atF.X, atF.Y});
    f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, atF.X, atF.Y});
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(SjisToUtf8(f.View().Text()), "abcかんじdefghij");
    EXPECT_TRUE(f.View().Preedit().empty());
    EXPECT_EQ(f.Core().Caret(), (TPoint{12, 0}));
    // a click without a composition asks for nothing
    f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, atF.X, atF.Y});
    f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, atF.X, atF.Y});
    EXPECT_EQ(commits, 1);
    // an input method that keeps its composition to itself: it is dropped, nothing goes in
    f.View().OnCommitComposition = [&] { ++commits; };
    f.View().SetPreedit(Utf8ToSjis("ご"));
    f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, atF.X, atF.Y});
    f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, atF.X, atF.Y});
    EXPECT_EQ(commits, 2);
    EXPECT_EQ(SjisToUtf8(f.View().Text()), "abcかんじdefghij");
    EXPECT_TRUE(f.View().Preedit().empty());
  }
}

TEST_F(EditorView, CaretHidesForPreeditAndReadOnly) {
  TEditorFixture f;
  f.Text("abc");
  f.Ed.FocusGained();
  EXPECT_TRUE(f.View().CaretShown());
  f.View().SetPreedit(Utf8ToSjis("かんじ"));
  EXPECT_FALSE(f.View().CaretShown());
  TRecordingCanvas c = f.Paint();
  bool preedit = false;
  // drawn inside the line, after the text before the caret
  for (const TCanvasOp* op : c.Texts()) preedit = preedit || op->Text.find(Utf8ToSjis("かんじ")) != std::string::npos;
  EXPECT_TRUE(preedit);
  f.View().SetPreedit(std::string());
  EXPECT_TRUE(f.View().CaretShown());
  f.Ed.SetReadOnly(true);
  EXPECT_FALSE(f.View().CaretShown());
  EXPECT_TRUE(f.Core().ReadOnly());
}

TEST_F(EditorView, ControlPublishesWorkingInfoAndTabs) {
  TEditorFixture f;
  std::vector<std::string> infos;
  f.Ed.OnWorkingInfo = [&](const std::string& s) { infos.push_back(SjisToUtf8(s)); };
  f.Text("abc\r\ndef");
  f.Core().MoveTo(TPoint{2, 1}, false);
  ASSERT_FALSE(infos.empty());
  EXPECT_NE(infos.back().find("2行"), std::string::npos);
  EXPECT_NE(infos.back().find("2桁"), std::string::npos);
  EXPECT_TRUE(f.Ed.WantTabs);  // the tab mark is enabled by default
  f.Ed.EditorStyle().ViewInfo(TEditorStyle::viTab)->SetStatus(0);
  EXPECT_FALSE(f.Ed.WantTabs);
  // the input method state comes back at the next focus, or the style decides
  f.Ed.FocusWent(true);
  EXPECT_EQ(f.Ed.FocusGained(), TEditor::imOpen);
  f.Ed.FocusWent(false);
  EXPECT_EQ(f.Ed.FocusGained(), TEditor::imLeave);
  f.Ed.EditorStyle().SetEditor(&TEditorValues::ImeControl, 2);
  EXPECT_EQ(f.Ed.FocusGained(), TEditor::imClose);
  EXPECT_EQ(f.Ed.PendingResults(), 0);
}

// Printing draws the pages in printer dots through the same painter.
TEST_F(EditorView, PrintsThePagesOfText) {
  TFakePrinterBackend& printer = InstallFakePrinter(600);
  TEditorFixture f([](TEditorStyle& s) {
    Vertical(s);
    s.SetBase(&TBaseStyleValues::PaperVisible, true);
    s.SetEditor(&TEditorValues::LineCountInPage, 5);
  });
  std::string text;
  for (int i = 0; i < 12; ++i) text += "縦書きの行\r\n";
  f.Core().SetText(Utf8ToSjis(text.c_str()));
  f.View().Resize();
  ASSERT_EQ(f.View().PageCount(), 3);
  EXPECT_EQ(f.View().Print("t", 0, 0), 3);
  ASSERT_TRUE(printer.LastRecording);
  int pages = 1, lines = 0;
  for (const TCanvasOp& op : printer.LastRecording->Ops) {
    if (op.Kind == TCanvasOp::opNewPage) ++pages;
    if (op.Kind == TCanvasOp::opText && op.Text == Utf8ToSjis("縦書きの行")) {
      ++lines;
      EXPECT_TRUE(op.Font.Vertical);
      EXPECT_GT(op.Font.Height, 50);  // printer dots
    }
  }
  EXPECT_EQ(pages, 3);
  EXPECT_EQ(lines, 12);
}

// A new width breaks the lines again; the caret and the selection stay at their text.
TEST_F(EditorView, ResizeKeepsTheCaretAtItsText) {
  TEditorFixture f(nullptr, 600, 400);
  std::string text(300, 'a');
  text[250] = 'X';
  f.Text(text.c_str());
  const TPoint x = f.Core().Lines().ToDisplay(251, 0);
  f.Core().Select(TPoint{1, 0}, x);
  ASSERT_EQ(f.Core().Lines().ToLogical(f.Core().Caret()), (TPoint{251, 0}));
  f.Ed.SetSize(300, 400);
  EXPECT_NE(f.Core().Lines().ToDisplay(251, 0), x);  // broken at another place
  EXPECT_EQ(f.Core().Lines().ToLogical(f.Core().Caret()), (TPoint{251, 0}));
  EXPECT_EQ(f.Core().Lines().ToLogical(f.Core().Selection().Anchor), (TPoint{1, 0}));
}

// A footnote mark beside the text is a hit area of its own once it has been painted.
TEST_F(EditorView, FootnoteMarksAreHitAreas) {
  TEditorFixture f([](TEditorStyle& s) {
    s.ViewInfo(TEditorStyle::viFootNote)->SetStatus(1);
    s.ViewInfo(TEditorStyle::viFootNoteMark)->SetStatus(1);
  });
  f.Text("本文［＃注記］の続き");
  TRecordingCanvas c = f.Paint();
  const TCanvasOp* star = nullptr;
  for (const TCanvasOp* op : c.Texts())
    if (op->Text == Utf8ToSjis("＊")) star = op;
  ASSERT_NE(star, nullptr);
  EXPECT_EQ(f.View().HitText(TPoint{star->X + 2, star->Y + 2}).Area, eaFootNote);
  // the notation itself takes no room: the text after it follows on
  EXPECT_EQ(f.Core().Lines().DisplayText(0), Utf8ToSjis("本文の続き"));
}

// A view that was never laid out (no window yet) answers hit tests and caret questions
// without touching geometry it does not have.
TEST_F(EditorView, NothingLaidOutYet) {
  TEditorView v;
  EXPECT_FALSE(v.HitText(TPoint{5, 5}).Found);
  v.SetText(Utf8ToSjis("abc"));
  v.Core().MoveTo(TPoint{2, 0}, false);
  EXPECT_EQ(v.Core().Caret(), (TPoint{2, 0}));
  (void)v.InputRect();
}

// Without paper the window follows the caret: down to a later line, and along a line longer
// than the window.
TEST_F(EditorView, TheWindowFollowsTheCaret) {
  TEditorFixture f([](TEditorStyle& s) {
    s.SetEditor(&TEditorValues::ColumnCountAuto, false);
    s.SetEditor(&TEditorValues::ColumnCount, 0);  // lines are not broken
  }, 300, 200);
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line\r\n";
  text += std::string(200, 'x');
  f.Text(text.c_str());
  f.Key(vkEnd, ssCtrl);
  const TRect c = f.View().CaretViewRect();
  ASSERT_FALSE(IsEmptyRect(c));
  EXPECT_GE(c.Left, 0);
  EXPECT_LE(c.Right, f.View().ClientWidth());
  EXPECT_LT(f.View().Offset().X, 0);
  EXPECT_LT(f.View().Offset().Y, 0);
  f.Key(vkHome, ssCtrl);
  EXPECT_EQ(f.View().Offset(), (TPoint{0, 0}));
}

// Joining lines leaves the rows after the text that showed the old last lines: they are
// repainted too, so no stale line stays on screen.
TEST_F(EditorView, RowsLeftBehindByAnEditAreRepainted) {
  TEditorFixture f;
  f.Text("one\r\ntwo\r\nthree\r\nfour");
  const TRect lastRow = f.View().RowViewRect(3);
  f.Host.Clear();
  f.Core().Select(TPoint{4, 1}, TPoint{1, 2});  // the break between two and three
  f.Host.Clear();
  f.Key(vkDelete);
  ASSERT_EQ(f.Core().Lines().DisplayCount(), 3);
  bool covered = false;
  for (const TRect& r : f.Host.Invalidated)
    covered = covered || (r.Left <= lastRow.Left && r.Top <= lastRow.Top && r.Right >= lastRow.Right && r.Bottom >= lastRow.Bottom);
  EXPECT_TRUE(covered);
}

// Texts with every kind of notation under random styles: painting, printing, hit tests and
// caret positions never step outside the text, and a click on the caret finds the caret.
TEST_F(EditorView, RandomTextsAndStylesPaintAndHitSafely) {
  std::mt19937 rng(1414);
  std::uniform_int_distribution<int> coin(0, 1), small(0, 4);
  int checked = 0;
  for (int round = 0; round < 30; ++round) {
    TEditorFixture f([&](TEditorStyle& s) {
      s.SetEditor(&TEditorValues::Vertical, coin(rng) == 1);
      s.SetEditor(&TEditorValues::PartationCount, 1 + small(rng) % 3);
      s.SetEditor(&TEditorValues::LineInfoStyle, small(rng));
      s.SetEditor(&TEditorValues::LineCountInPage, small(rng) * 3);
      s.SetEditor(&TEditorValues::GapLineStyle, small(rng) % 3);
      s.SetEditor(&TEditorValues::ProportionalFont, coin(rng) == 1);
      s.SetEditor(&TEditorValues::FreeCaret, coin(rng) == 1);
      s.SetEditor(&TEditorValues::SerifuNameRestore, coin(rng) == 1);
      for (int e : {TEditorStyle::viRubi, TEditorStyle::viBoten, TEditorStyle::viFootNote, TEditorStyle::viFootNoteMark,
                    TEditorStyle::viGapLine, TEditorStyle::viVerticalRow, TEditorStyle::viZenkakuSpace,
                    TEditorStyle::viHankakuSpace, TEditorStyle::viLineInfo, TEditorStyle::viTab})
        s.ViewInfo(e)->SetStatus(small(rng) % 3);
      s.SetBase(&TBaseStyleValues::PaperVisible, coin(rng) == 1);
    }, 500 + small(rng) * 40, 400 + small(rng) * 40);
    std::string text;
    for (int l = 0; l < 6; ++l) text += (l ? "\r\n" : "") + RandomNotatedText(rng, 12);
    f.Core().SetText(text);
    f.View().Resize();
    TRecordingCanvas c = f.Paint();
    const int32_t rows = f.Core().Lines().Infos().Count();
    std::uniform_int_distribution<int> row(0, rows - 1), col(1, 30), px(-10, 600);
    for (int i = 0; i < 20; ++i) {
      f.View().HitText(TPoint{px(rng), px(rng)});
      f.Core().MoveTo(TPoint{col(rng), row(rng)}, coin(rng) == 1);
      const TPoint caret = f.Core().Caret();
      const TRect r = f.View().CaretViewRect();
      if (IsEmptyRect(r) || !PointInRect(f.View().ClientRect(), f.Centre(r).X, f.Centre(r).Y)) continue;
      const TEditorHit hit = f.View().HitText(f.Centre(r));
      if (hit.Area == eaFootNote) continue;
      EXPECT_EQ(hit.Position, caret) << "round " << round;
      ++checked;
    }
    f.Paint();
  }
  EXPECT_GT(checked, 100);  // most carets land in the window
}

// Dragging a selection below the window scrolls it and takes the selection along.
TEST_F(EditorView, DraggingOutOfTheWindowScrollsAndSelects) {
  TEditorFixture f(nullptr, 400, 200);
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
  f.Text(text.c_str());
  const TPoint a = f.Centre(f.View().CaretViewRect());
  f.View().MouseDown(TViewMouseEvent{TMouseButton::Left, ssLeft, a.X, a.Y});
  f.Host.Pointer = TPoint{100, 260};
  f.View().MouseMove(TViewMouseEvent{TMouseButton::Left, ssLeft, 100, 260});
  ASSERT_TRUE(f.View().AutoScrollTimerRunning());
  const int32_t before = f.Core().Caret().Y;
  for (int i = 0; i < 5; ++i) f.View().TimerTick(TBaseView::kAutoScrollTimer);
  EXPECT_LT(f.View().Offset().Y, 0);
  EXPECT_GT(f.Core().Caret().Y, before);
  EXPECT_TRUE(f.Core().HasSelection());
  EXPECT_EQ(f.Core().SelectionRange().Start, (TPoint{1, 0}));
  f.View().MouseUp(TViewMouseEvent{TMouseButton::Left, 0, 100, 260});
  EXPECT_FALSE(f.View().AutoScrollTimerRunning());
}

// The pointer's shape follows what lies under it.
TEST_F(EditorView, CursorFollowsTheArea) {
  TEditorFixture f(Vertical);
  f.Text("本文 http://example.jp/ です");
  auto over = [&](TPoint caret) {
    f.Core().MoveTo(caret, false);
    const TPoint p = f.Centre(f.View().CaretViewRect());
    f.View().MouseMove(TViewMouseEvent{TMouseButton::Left, 0, p.X, p.Y + 3});
    return f.Host.Cursor;
  };
  EXPECT_EQ(over(TPoint{1, 0}), vcrVerticalIBeam);
  EXPECT_EQ(over(TPoint{9, 0}), vcrHand);
  const TRect row = f.View().RowViewRect(0);
  f.View().MouseMove(TViewMouseEvent{TMouseButton::Left, 0, (row.Left + row.Right) / 2, row.Top + 4});
  EXPECT_EQ(f.Host.Cursor, vcrReverseArrow);  // the line-number margin
}

namespace {
// A view and a style of a control built on the editor (as the postcard control is).
class TCardStyle : public TEditorStyle {
public:
  TBaseStyle* NewSame() const override { return new TCardStyle(); }
};
class TCardView : public TEditorView {
public:
  using TEditorView::TEditorView;
  int32_t Pages = 3;
  std::vector<int32_t> Drawn;

protected:
  void Arrange(const TRect& r) override {
    TEditorView::Arrange(r);
    SetPageCount(Pages);
  }
  void DrawPageContent(int32_t page, const TRect& content, const TRect& clip) override {
    Drawn.push_back(page);
    TEditorView::DrawPageContent(page, content, clip);
  }
};
}  // namespace

TEST_F(EditorView, ControlsBuiltOnTheEditorBringTheirOwnViewAndStyle) {
  TEditorView own(nullptr, [] { return static_cast<TBaseStyle*>(new TCardStyle()); });
  EXPECT_NE(dynamic_cast<TCardStyle*>(own.Style()), nullptr);

  TEditor ed([](TBaseStyle* s) -> TBaseView* { return new TCardView(static_cast<TEditorStyle*>(s)); },
             [] { return static_cast<TBaseStyle*>(new TCardStyle()); });
  auto& view = static_cast<TCardView&>(ed.EditorView());
  EXPECT_NE(dynamic_cast<TCardStyle*>(&ed.Style()), nullptr);
  EXPECT_EQ(view.Style(), &ed.Style());
  TFakeViewHost host;
  view.SetHost(&host);
  ed.HandleCreated();
  ed.BeginStyleUpdate();
  ed.Style().SetBase(&TBaseStyleValues::PaperVisible, true);
  ed.EndStyleUpdate(false);
  ed.SetSize(500, 700);
  ed.Layout();
  EXPECT_EQ(view.PageCount(), 3);
  ed.Core().SetText(Utf8ToSjis("自由な文面"));
  TRecordingCanvas c;
  view.Paint(c, view.ClientRect());
  ASSERT_FALSE(view.Drawn.empty());
  EXPECT_EQ(view.Drawn.front(), 0);
}
