#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QStyleHints>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCharFormat>

#include "Cp932.h"
#include "QtCanvas.h"
#include "QtEditors.h"
#include "QtPrinters.h"
#include "QtText.h"

using namespace kaede;

namespace {

// A shown editor window with the keyboard focus.
struct TWindow {
  TQtEditor W;
  TWindow() {
    static bool installed = false;
    if (!installed) {
      InstallQtDrawing();
      installed = true;
    }
    W.resize(500, 400);
    W.show();
    W.activateWindow();
    W.setFocus();
    QApplication::processEvents();
  }
  TEditorCore& Core() { return W.EditorView().Core(); }
  std::string Text() { return SjisToUtf8(W.EditorView().Text()); }
  void Send(QInputMethodEvent& e) { QApplication::sendEvent(&W, &e); }
  void Preedit(const QString& text) {
    QInputMethodEvent e(text, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, static_cast<int>(text.size()), 1)});
    Send(e);
  }
  void Commit(const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    Send(e);
  }
};

}  // namespace

TEST(QtEditor, TypingKeysAndCommands) {
  TWindow w;
  QTest::keyClicks(&w.W, "abc");
  EXPECT_EQ(w.Text(), "abc");
  QTest::keyClick(&w.W, Qt::Key_Left);
  QTest::keyClick(&w.W, Qt::Key_Backspace);
  EXPECT_EQ(w.Text(), "ac");
  QTest::keyClick(&w.W, Qt::Key_Return);
  QTest::keyClicks(&w.W, "x");
  EXPECT_EQ(w.Text(), "a\r\nxc");
  QTest::keyClick(&w.W, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "a\r\nc");
  // Tab goes into the text while the style's tab mark is enabled
  QTest::keyClick(&w.W, Qt::Key_Tab);
  EXPECT_EQ(w.Text(), "a\r\n\tc");
  EXPECT_TRUE(w.W.hasFocus());
}

// A commit of the input method goes in exactly once, the key typed after it is not lost,
// and the preedit hides the caret while it lasts.
TEST(QtEditor, InputMethodPreeditAndCommit) {
  TWindow w;
  QTest::keyClicks(&w.W, "A");
  EXPECT_TRUE(w.W.EditorView().CaretShown());
  w.Preedit(QStringLiteral("にほんご"));
  EXPECT_EQ(SjisToUtf8(w.W.EditorView().Preedit()), "にほんご");
  EXPECT_FALSE(w.W.EditorView().CaretShown());
  EXPECT_EQ(w.Text(), "A");  // composing changes nothing yet
  w.Preedit(QStringLiteral("日本語"));
  w.Commit(QStringLiteral("日本語"));
  EXPECT_EQ(w.Text(), "A日本語");
  EXPECT_TRUE(w.W.EditorView().Preedit().empty());
  EXPECT_TRUE(w.W.EditorView().CaretShown());
  QTest::keyClicks(&w.W, "b");
  EXPECT_EQ(w.Text(), "A日本語b");
  // one undo step per commit
  QTest::keyClick(&w.W, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "A日本語");
  QTest::keyClick(&w.W, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "A");
  // a character CP932 cannot hold comes in as the geta mark, never as lost text
  w.Commit(QStringLiteral("\U0001F600"));
  EXPECT_EQ(w.Text(), "A〓");
}

// An input method that takes text around the caret back (a reconversion) replaces it with
// its result.
TEST(QtEditor, InputMethodReplacesTextAroundTheCaret) {
  TWindow w;
  w.Core().SetText(Utf8ToSjis("きょうは晴れ"));
  w.Core().MoveTo(TPoint{7, 0}, false);  // after きょう
  QInputMethodEvent e;
  e.setCommitString(QStringLiteral("今日"), -3, 3);
  w.Send(e);
  EXPECT_EQ(w.Text(), "今日は晴れ");
  EXPECT_EQ(w.Core().Caret(), (TPoint{5, 0}));
  QTest::keyClick(&w.W, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "きょうは晴れ");
}

TEST(QtEditor, InputMethodQueries) {
  TWindow w;
  w.Core().SetText(Utf8ToSjis("一行目\r\n二行目です"));
  w.Core().MoveTo(TPoint{5, 1}, false);  // after 二行
  EXPECT_TRUE(w.W.inputMethodQuery(Qt::ImEnabled).toBool());
  EXPECT_EQ(w.W.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("二行目です"));
  EXPECT_EQ(w.W.inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
  EXPECT_EQ(w.W.inputMethodQuery(Qt::ImTextBeforeCursor).toString(), QStringLiteral("二行"));
  // the cursor rectangle is the caret's, in the control's coordinates
  const QRect r = w.W.inputMethodQuery(Qt::ImCursorRectangle).toRect();
  const TRect c = w.W.EditorView().CaretViewRect();
  const QPoint o = w.W.ViewWidget()->geometry().topLeft();
  EXPECT_EQ(r, QRect(c.Left + o.x(), c.Top + o.y(), c.Right - c.Left, c.Bottom - c.Top));
  EXPECT_TRUE(w.W.rect().contains(r.center()));
  w.Core().Select(TPoint{1, 1}, TPoint{5, 1});
  EXPECT_EQ(w.W.inputMethodQuery(Qt::ImCurrentSelection).toString(), QStringLiteral("二行"));
  // read-only: the input method is off and its events change nothing
  w.W.Editor().SetReadOnly(true);
  EXPECT_FALSE(w.W.inputMethodQuery(Qt::ImEnabled).toBool());
  EXPECT_FALSE(w.W.testAttribute(Qt::WA_InputMethodEnabled));
  w.Commit(QStringLiteral("x"));
  EXPECT_EQ(w.Text(), "一行目\r\n二行目です");
}

// While a phrase is converted the candidates stand by it: the cursor rectangle follows the
// input method's cursor inside the composition to where the caret will be once it is
// committed, and in vertical writing it reaches down over the rest of the composition.
TEST(QtEditor, TheCandidatesStandByThePhraseBeingConverted) {
  for (const bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    TWindow w;
    w.W.Editor().EditorStyle().SetEditor(&TEditorValues::Vertical, vertical);
    w.Core().SetText(Utf8ToSjis("Hello World"));
    w.Core().MoveTo(TPoint{7, 0}, false);  // after "Hello "
    QApplication::processEvents();
    auto rect = [&w] { return w.W.inputMethodQuery(Qt::ImCursorRectangle).toRect(); };
    auto compose = [&w](int cursor) {
      QTextCharFormat focused;
      focused.setBackground(Qt::darkBlue);
      QInputMethodEvent e(QStringLiteral("日本語を"), {QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, cursor, 1, focused),
                                                     QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, cursor, 1)});
      w.Send(e);
    };
    const QRect before = rect();
    compose(0);
    const QRect atStart = rect();
    compose(3);
    const QRect atFourth = rect();
    w.Commit(QStringLiteral("日本語を"));
    ASSERT_EQ(w.Text(), "Hello 日本語をWorld");
    // the caret where the cursor stood (after 日本語) and at the composition's end
    w.Core().MoveTo(TPoint{13, 0}, false);
    const QRect afterThird = rect();
    w.Core().MoveTo(TPoint{15, 0}, false);
    const QRect afterAll = rect();
    ASSERT_EQ(w.Core().Caret().Y, 0) << "the line fits its row";
    EXPECT_EQ(atStart.topLeft(), before.topLeft());
    EXPECT_EQ(atFourth.topLeft(), afterThird.topLeft());
    EXPECT_NE(atFourth.topLeft(), atStart.topLeft());
    if (vertical) {
      EXPECT_GE(atStart.bottom(), afterAll.top()) << "the candidates would cover the composition";
      EXPECT_GE(atFourth.bottom(), afterAll.top());
      EXPECT_EQ(atStart.width(), atFourth.width());
    }
  }
}

TEST(QtEditor, ClipboardConvertsAtTheEdge) {
  TWindow w;
  w.Core().SetText(Utf8ToSjis("宛名①㈱"));
  w.Core().SelectAll();
  QTest::keyClick(&w.W, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("宛名①㈱"));
  QGuiApplication::clipboard()->setText(QStringLiteral("髙橋"));
  QTest::keyClick(&w.W, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(&w.W, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "宛名①㈱髙橋");
}

TEST(QtEditor, CaretBlinksWhileFocused) {
  TWindow w;
  if (!w.W.hasFocus()) GTEST_SKIP() << "no focus on this platform";
  EXPECT_TRUE(w.W.Blinking());
  const bool phase = w.W.EditorView().CaretPhase();
  // half a flash period, with room for a busy machine
  const int half = QGuiApplication::styleHints()->cursorFlashTime() / 2;
  for (int waited = 0; waited < 6 * half && w.W.EditorView().CaretPhase() == phase; waited += 50) QTest::qWait(50);
  EXPECT_NE(w.W.EditorView().CaretPhase(), phase);
  w.W.clearFocus();
  QApplication::processEvents();
  EXPECT_FALSE(w.W.Blinking());
  EXPECT_FALSE(w.W.EditorView().CaretShown());
}

// The widget paints vertical text through the Qt canvas: the column on the right is inked.
TEST(QtEditor, PaintsVerticalText) {
  TWindow w;
  w.W.Editor().EditorStyle().SetEditor(&TEditorValues::Vertical, true);
  w.Core().SetText(Utf8ToSjis("縦書きの文章です。"));
  QApplication::processEvents();
  QImage img = w.W.ViewWidget()->grab().toImage();
  ASSERT_FALSE(img.isNull());
  int dark = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = img.width() * 3 / 4; x < img.width(); ++x) dark += qGray(img.pixel(x, y)) < 100;
  EXPECT_GT(dark, 50);
}

// ---- Pages to look at ------------------------------------------------------------------------

namespace {

// Paints a view's client area as the window would, at the screen's resolution.
QImage Snapshot(TEditorView& v) {
  QImage img(v.ClientWidth(), v.ClientHeight(), QImage::Format_RGB32);
  img.fill(Qt::lightGray);
  QPainter p(&img);
  TQtCanvas canvas(&p, PageMetrics().ScreenDpi, v.ClientRect());
  v.Paint(canvas, v.ClientRect());
  return img;
}

void SetFace(TEditorStyle& s, int element, const char* utf8Face) {
  TViewInfo* vi = s.ViewInfo(element);
  TFontRecord f = vi->Font();
  f.Name = Utf8ToSjis(utf8Face);
  vi->SetFont(f);
}

int32_t Inked(const QImage& img) {
  int32_t n = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2) n += qGray(img.pixel(x, y)) < 90;
  return n;
}

// Prints the view to a PDF file and keeps a picture of its screen, in KAEDE_SAMPLE_DIR when set.
void Sample(TEditorView& v, const QString& name, const QTemporaryDir& tmp) {
  const char* keep = std::getenv("KAEDE_SAMPLE_DIR");
  const QString folder = keep ? QString::fromLocal8Bit(keep) : tmp.path();
  // the PDF printer sets the style's paper up for the screen too
  auto pdf = std::make_unique<TPdfPrinterBackend>();
  pdf->SetOutputFileName(FromQ(folder + "/" + name + ".pdf"));
  SheetPrinter().SetBackend(std::move(pdf));
  v.ForcePageSetup = true;
  v.EditorStyle().Changed(-1);
  v.Resize();
  QImage img = Snapshot(v);
  EXPECT_GT(Inked(img), 500) << name.toStdString();
  ASSERT_TRUE(img.save(folder + "/" + name + ".png"));
  EXPECT_GE(v.Print("sample", 0, 0), 1);
  EXPECT_GT(QFileInfo(folder + "/" + name + ".pdf").size(), 2000);
  SheetPrinter().SetBackend(nullptr);
}

}  // namespace

TEST(QtEditorPages, VerticalTwoPartitionsWithGridRubyAndEmphasis) {
  TWindow w;  // the drawing surfaces of Qt
  QTemporaryDir tmp;
  TEditorView v;
  TEditorStyle& s = v.EditorStyle();
  s.SetBase(&TBaseStyleValues::PaperVisible, true);
  s.SetBase(&TBaseStyleValues::PaperSize, 11);  // A5
  s.SetBase(&TBaseStyleValues::RatioValue, 100);
  s.SetEditor(&TEditorValues::Vertical, true);
  s.SetEditor(&TEditorValues::PartationCount, 2);
  s.SetEditor(&TEditorValues::LineCountInPage, 10);
  s.SetEditor(&TEditorValues::LineSpace, 4.0);
  s.SetEditor(&TEditorValues::GapLineStyle, 1);
  s.ViewInfo(TEditorStyle::viFootNote)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viVerticalRow)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viGapLine)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viRubi)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viBoten)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viPartationDivideLine)->SetStatus(1);
  SetFace(s, TEditorStyle::viNormal, "ＭＳ 明朝");
  v.SetBounds(640, 900);
  v.SetText(Utf8ToSjis(
      "　吾輩《わがはい》は猫である。名前はまだ無い。\r\n"
      "　どこで生れたかとんと見当《けんとう》がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\r\n"
      "　吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生［＃「書生」に傍点］という人間中で一番獰悪《どうあく》な種族であったそうだ。\r\n"
      "「ＡＢＣ」と１２３、12の数字。──これは線。……これは点。\r\n"
      "　この書生というのは時々我々を捕《つかま》えて煮《に》て食うという話である。"));
  v.Resize();
  EXPECT_EQ(v.Geometry().Partitions, 2);
  Sample(v, "editor-vertical-a5", tmp);
}

TEST(QtEditorPages, HorizontalWithHangingPunctuation) {
  TWindow w;
  QTemporaryDir tmp;
  TEditorView v;
  TEditorStyle& s = v.EditorStyle();
  s.SetBase(&TBaseStyleValues::PaperVisible, true);
  s.SetBase(&TBaseStyleValues::PaperSize, 11);
  s.SetBase(&TBaseStyleValues::RatioValue, 100);
  s.SetEditor(&TEditorValues::ColumnCountAuto, false);
  s.SetEditor(&TEditorValues::ColumnCount, 24);
  s.SetEditor(&TEditorValues::TailAdjust, true);
  s.ViewInfo(TEditorStyle::viColumnTailLine)->SetStatus(1);
  s.ViewInfo(TEditorStyle::viZenkakuSpace)->SetStatus(1);
  v.SetBounds(640, 900);
  v.SetText(Utf8ToSjis(
      "　親譲りの無鉄砲で小供の時から損ばかりしている。小学校に居る時分学校の二階から飛び降りて一週間ほど腰を抜かした事がある。"
      "なぜそんな無闇をしたと聞く人があるかも知れぬ。別段深い理由でもない。\r\n"
      "「十二の句読点が、行末に、ぶら下がる。」（括弧は行頭に来ない）Hello, world. http://example.jp/"));
  v.Resize();
  Sample(v, "editor-horizontal-a5", tmp);
}

// Every character of the code page, in vertical writing across the pages of the editor.
TEST(QtEditorPages, EveryCharacterVertical) {
  TWindow w;
  QTemporaryDir tmp;
  TEditorView v;
  TEditorStyle& s = v.EditorStyle();
  s.SetBase(&TBaseStyleValues::PaperVisible, true);
  s.SetBase(&TBaseStyleValues::RatioValue, 100);
  s.SetEditor(&TEditorValues::Vertical, true);
  s.SetEditor(&TEditorValues::TailHang, false);
  s.ViewInfo(TEditorStyle::viLineInfo)->SetStatus(0);
  SetFace(s, TEditorStyle::viNormal, "ＭＳ 明朝");
  std::string all;
  int n = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if ((lead > 0x9F && lead < 0xE0) || (lead >= 0xF0 && lead <= 0xF9)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) >= 0) {
        all += static_cast<char>(lead);
        all += static_cast<char>(trail);
        if (++n % 40 == 0) all += "\r\n";
      }
  }
  for (int b = 0x21; b <= 0xDF; ++b)
    if (b < 0x7F || b > 0xA0) all += static_cast<char>(b);
  v.SetBounds(900, 1300);
  v.SetText(all);
  v.Resize();
  EXPECT_GT(v.PageCount(), 3);
  Sample(v, "editor-every-cp932-vertical", tmp);
}
