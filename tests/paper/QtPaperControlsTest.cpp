#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include "QtCanvas.h"
#include "MemoLabels.h"
#include "QtPaperControls.h"
#include "Tables.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

class TCountingView : public TBaseView {
public:
  using TBaseView::TBaseView;
  int Runs = 0;
  bool ExecuteCommand(int32_t command) override {
    if (command > 0) ++Runs;
    return TBaseView::ExecuteCommand(command);
  }
};

// Down scrolls (a command of the control; the base view has none for arrow keys).
class TDownControl : public TBaseControl {
public:
  TDownControl()
      : TBaseControl([](TBaseStyle* s) { return new TCountingView(s); }, [] { return new TBaseStyle(); }) {}
  int Runs() const { return static_cast<TCountingView&>(View()).Runs; }

protected:
  int32_t KeyToCommandHook(int32_t key, TShiftState) override { return key == vkDown ? vcScrollForward : 0; }
};

void Send(QWidget* w, QEvent::Type type, int key, bool autoRepeat) {
  QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
  QApplication::sendEvent(w, &e);
}

// A window with the control and a line edit to take the focus away.
struct TWindow {
  QWidget Top;
  TQtPaperControl* Control;
  QLineEdit* Other;
  TDownControl* Logic;
  TWindow() {
    auto logic = std::make_unique<TDownControl>();
    Logic = logic.get();
    auto* layout = new QVBoxLayout(&Top);
    Control = new TQtPaperControl(std::move(logic), &Top);
    Other = new QLineEdit(&Top);
    layout->addWidget(Control);
    layout->addWidget(Other);
    Top.resize(400, 400);
    Top.show();
    QApplication::setActiveWindow(&Top);
    Control->setFocus();
    QApplication::processEvents();
  }
  // The first press and 101 auto-repeats, each repeat after the release X11 sends with it.
  void HoldDown() {
    Send(Control, QEvent::KeyPress, Qt::Key_Down, false);
    for (int i = 0; i < 101; ++i) {
      Send(Control, QEvent::KeyRelease, Qt::Key_Down, true);
      Send(Control, QEvent::KeyPress, Qt::Key_Down, true);
    }
  }
};

}  // namespace

class QtPaperControl : public TViewTest {};

TEST_F(QtPaperControl, AHeldKeyRepeatsFastUntilItsRealRelease) {
  TWindow w;
  w.HoldDown();
  EXPECT_EQ(w.Logic->Runs(), 102);
  EXPECT_TRUE(w.Control->Repeating());
  // about every 10 ms; a loaded machine may take longer, so wait for it rather than a time
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.Logic->Runs() > 103; }, 5000));
  int afterWait = w.Logic->Runs();
  Send(w.Control, QEvent::KeyRelease, Qt::Key_Down, false);
  EXPECT_FALSE(w.Control->Repeating());
  QTest::qWait(30);
  EXPECT_EQ(w.Logic->Runs(), afterWait);
}

TEST_F(QtPaperControl, TheFastRepeatStopsWhenTheFocusGoes) {
  TWindow w;
  w.HoldDown();
  ASSERT_TRUE(w.Control->Repeating());
  w.Other->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(w.Control->Repeating());
  // and when the control is hidden
  w.Control->setFocus();
  w.HoldDown();
  ASSERT_TRUE(w.Control->Repeating());
  w.Control->hide();
  EXPECT_FALSE(w.Control->Repeating());
}

TEST_F(QtPaperControl, DestroyingTheControlWhileRepeatingIsSafe) {
  auto* w = new TWindow();
  w->HoldDown();
  ASSERT_TRUE(w->Control->Repeating());
  QPointer<TQtPaperControl> control = w->Control;
  delete w->Control;
  EXPECT_TRUE(control.isNull());
  QTest::qWait(30);  // no timer reaches the control that is gone
  delete w;
}

TEST_F(QtPaperControl, ScrollBarsAndViewMoveTogether) {
  TWindow w;
  w.Logic->Style().SetBase(&TBaseStyleValues::PaperVisible, true);
  w.Logic->Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  QApplication::processEvents();
  QScrollBar* bar = w.Control->ScrollBar(true);
  ASSERT_TRUE(bar->isVisible());
  ASSERT_TRUE(bar->isEnabled());
  EXPECT_EQ(bar->maximum(), w.Logic->View().ScrollLimit().Y);
  bar->setValue(120);  // as the thumb is dragged
  EXPECT_EQ(w.Logic->View().Offset().Y, -120);
  Send(w.Control, QEvent::KeyPress, Qt::Key_Down, false);
  Send(w.Control, QEvent::KeyRelease, Qt::Key_Down, false);
  EXPECT_EQ(bar->value(), 120 + w.Logic->View().ScrollStep().Y);
  // the wheel scrolls the view by whole notches
  QWheelEvent wheel(QPointF(50, 50), w.Control->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.Control->ViewWidget(), &wheel);
  EXPECT_EQ(bar->value(), 120 + w.Logic->View().ScrollStep().Y * (1 + QApplication::wheelScrollLines()));
}

TEST_F(QtPaperControl, AClickFocusesTheControlAndThePaperIsPainted) {
  TWindow w;
  w.Logic->Style().SetBase(&TBaseStyleValues::PaperVisible, true);
  w.Other->setFocus();
  QApplication::processEvents();
  QWidget* view = w.Control->ViewWidget();
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_TRUE(w.Control->hasFocus());
  QImage img = view->grab().toImage();
  TRect sheet = w.Logic->View().SheetRect(0);
  // white paper inside the sheet's frame, the frame black, the gap in the workspace colour
  QPoint mid((sheet.Left + sheet.Right) / 2, (sheet.Top + sheet.Bottom) / 2);
  EXPECT_EQ(img.pixelColor(mid), QColor(Qt::white));
  EXPECT_EQ(img.pixelColor(sheet.Left, mid.y()), QColor(Qt::black));
  EXPECT_NE(img.pixelColor(sheet.Left - 3, mid.y()), QColor(Qt::white));
}

TEST_F(QtPaperControl, KeysMapToTheViewsKeyCodes) {
  EXPECT_EQ(QtKeyToKeyCode(Qt::Key_Left), vkLeft);
  EXPECT_EQ(QtKeyToKeyCode(Qt::Key_PageDown), vkNext);
  EXPECT_EQ(QtKeyToKeyCode(Qt::Key_F3), vkF1 + 2);
  EXPECT_EQ(QtKeyToKeyCode(Qt::Key_A), 'A');
  EXPECT_EQ(QtKeyToKeyCode(Qt::Key_Exclam), 0);
  EXPECT_EQ(QtShiftState(Qt::ControlModifier | Qt::ShiftModifier, Qt::LeftButton), ssCtrl | ssShift | ssLeft);
}

namespace {

// A table control in a window, with 120 rows of invented entries. With KAEDE_SHOT_DIR set the
// window's pictures are saved there (and with KAEDE_SHOW_MS it stays that long on screen, for
// a screenshot of a real display).
struct TTableWindow {
  TQtPaperControl* Control;
  TTable* Logic;
  QWidget Top;
  explicit TTableWindow(const std::function<void(TTableStyle&)>& style = nullptr) {
    auto logic = std::make_unique<TTable>();
    Logic = logic.get();
    Logic->View().OnCellText = [](int32_t col, int32_t row, int32_t& align, std::string& text) {
      static const char* const names[] = {"山田 太郎", "佐藤 花子", "鈴木 一郎", "高橋 美穂", "田中 直樹"};
      static const char* const towns[] = {"東京都千代田区千代田1-1", "大阪府大阪市北区梅田3-1-1",
                                          "北海道札幌市中央区大通西4-1", "福岡県福岡市博多区博多駅前2-1"};
      if (col == 0) text = Utf8ToSjis(names[row % 5]);
      else if (col == 1) {
        text = std::to_string(1000001 + row * 7919 % 8999999);
        align = caCenter;
      } else text = Utf8ToSjis(towns[row % 4]);
    };
    Control = new TQtPaperControl(std::move(logic), &Top);
    auto* layout = new QVBoxLayout(&Top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Control);
    Top.resize(640, 480);
    Top.setWindowTitle("Kaede Address table preview");
    Top.show();
    TTableStyleList list;
    list.Reset();
    TTableStyle* s = list.Style(0);
    if (style) style(*s);
    Logic->AssignStyle(s);
    Logic->View().SetRowCount(120);
    QApplication::processEvents();
  }
  QImage Grab(const char* name) {
    QApplication::processEvents();
    QImage img = Top.grab().toImage();
    if (const char* dir = std::getenv("KAEDE_SHOT_DIR")) img.save(QString(dir) + "/" + name + ".png");
    if (const char* ms = std::getenv("KAEDE_SHOW_MS")) QTest::qWait(std::atoi(ms));
    return img;
  }
};

}  // namespace

TEST_F(QtPaperControl, ATableInAWindow) {
  TTableWindow w;
  TTableView& v = w.Logic->View();
  EXPECT_GT(v.PageCount(), 1);
  QImage img = w.Grab("table-whole-page");
  // the header row of the first page in the Line element's grey
  TRect sheet = v.SheetRect(0);
  TRect content = v.ContentRect(v.PageRect(0, v.PaperAreaRect(sheet)));
  QPoint viewAt = w.Control->ViewWidget()->mapTo(&w.Top, QPoint(0, 0));
  const int32_t tableLeft = content.Left + (content.Right - content.Left - v.TableWidth()) / 2;
  QPoint header(viewAt.x() + tableLeft + 2, viewAt.y() + content.Top + 2);
  EXPECT_EQ(img.pixelColor(header), QColor(0xEE, 0xEE, 0xEE));
  // at 100 % the scroll bar runs over all pages, and Page Down keys scroll
  w.Logic->Style().SetBase(&TBaseStyleValues::RatioValue, 100);
  QApplication::processEvents();
  EXPECT_TRUE(w.Control->ScrollBar(true)->isEnabled());
  w.Control->setFocus();
  QTest::keyClick(w.Control, Qt::Key_Down);
  EXPECT_EQ(v.Offset().Y, -v.ScrollStep().Y);
  w.Grab("table-100");
}

TEST_F(QtPaperControl, ADividedSheetAtAQuarter) {
  TTableWindow w([](TTableStyle& s) {
    s.SetBase(&TBaseStyleValues::PaperLevelDivide, 2);
    s.SetBase(&TBaseStyleValues::PaperVerticalDivide, 2);
    s.SetBase(&TBaseStyleValues::RatioValue, 25);
    s.ViewInfo(TBaseStyle::viPaperDivideLine)->SetStatus(1);
  });
  TTableView& v = w.Logic->View();
  EXPECT_EQ(v.PageCount(), (120 + v.RowsPerPage() - 1) / v.RowsPerPage());
  EXPECT_EQ(v.SheetCount(), (v.PageCount() + 3) / 4);
  QImage img = w.Grab("table-2x2-25");
  QPoint viewAt = w.Control->ViewWidget()->mapTo(&w.Top, QPoint(0, 0));
  // the divide line between the two pages of the first row of the sheet, in its grey
  TRect a = v.PaperAreaRect(v.SheetRect(0));
  TRect p0 = v.PageRect(0, a);
  QPoint line(viewAt.x() + p0.Right - 1, viewAt.y() + p0.Top + 5);
  EXPECT_EQ(img.pixelColor(line), QColor(170, 170, 170));
  // the gap between the first and the second sheet
  TRect s1 = v.SheetRect(1);
  EXPECT_NE(img.pixelColor(viewAt.x() + s1.Left + 5, viewAt.y() + s1.Top - 4), QColor(Qt::white));
}

namespace {
void MovePointer(QWidget* view, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), view->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view, &move);
}
}  // namespace

// The view's hint waits for the style's pause with the pointer on the view, is shown in the
// hint's text box below the pointer, and goes with a press, with the pointer leaving the view
// and when the view has no hint any more.
TEST_F(QtPaperControl, TheHintWaitsForTheStylesPauseAndGoesWhenThePointerLeaves) {
  TWindow w;
  w.Logic->Style().HintPause = 150;
  w.Logic->View().Hint = SJ("３頁目（右クリックでメニュー）");
  QWidget* view = w.Control->ViewWidget();
  auto shown = [&] { return w.Control->HintWindow() && w.Control->HintWindow()->isVisible(); };

  QElapsedTimer clock;
  clock.start();
  MovePointer(view, {42, 41});
  QTest::qWait(50);
  EXPECT_FALSE(shown());
  ASSERT_TRUE(QTest::qWaitFor(shown, 2000));
  EXPECT_GE(clock.elapsed(), 140);
  EXPECT_EQ(w.Control->HintWindow()->Caption(), SJ("３頁目（右クリックでメニュー）") + "\r\n");
  // below the pointer
  EXPECT_GE(w.Control->HintWindow()->geometry().top(), view->mapToGlobal(QPoint(42, 41)).y());

  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(42, 41));
  EXPECT_FALSE(shown());
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(42, 41));

  MovePointer(view, {60, 60});
  ASSERT_TRUE(QTest::qWaitFor(shown, 2000));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view, &leave);
  EXPECT_FALSE(shown());
  QTest::qWait(250);
  EXPECT_FALSE(shown()) << "the hint came back after the pointer left";

  w.Logic->View().Hint.clear();
  MovePointer(view, {70, 70});
  QTest::qWait(250);
  EXPECT_FALSE(shown());
}
