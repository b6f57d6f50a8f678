#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QStyleHints>
#include <QTest>

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
  std::string Text() { return SjisToUtf8(Core().Text()); }
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
  QTest::qWait(QGuiApplication::styleHints()->cursorFlashTime() / 2 + 100);
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
