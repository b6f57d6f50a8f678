#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include "QtCanvas.h"
#include "QtPaperControls.h"
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
  QTest::qWait(60);
  int afterWait = w.Logic->Runs();
  EXPECT_GT(afterWait, 103);  // about every 10 ms
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
