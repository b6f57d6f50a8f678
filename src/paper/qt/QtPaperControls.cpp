#include "QtPaperControls.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QScreen>
#include <map>

#include "MemoLabels.h"
#include "QtCanvas.h"
#include "QtText.h"
#include "SheetPrinters.h"

namespace kaede {

int32_t QtKeyToKeyCode(int k) {
  switch (k) {
    case Qt::Key_Backspace: return vkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vkReturn;
    case Qt::Key_Shift: return vkShift;
    case Qt::Key_Control: return vkControl;
    case Qt::Key_Alt: return vkMenu;
    case Qt::Key_Escape: return vkEscape;
    case Qt::Key_Space: return vkSpace;
    case Qt::Key_PageUp: return vkPrior;
    case Qt::Key_PageDown: return vkNext;
    case Qt::Key_End: return vkEnd;
    case Qt::Key_Home: return vkHome;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return vkUp;
    case Qt::Key_Right: return vkRight;
    case Qt::Key_Down: return vkDown;
    case Qt::Key_Insert: return vkInsert;
    case Qt::Key_Delete: return vkDelete;
    default: break;
  }
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return vkF1 + (k - Qt::Key_F1);
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;  // ASCII
  return 0;
}

TShiftState QtShiftState(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  TShiftState s = 0;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::AltModifier) s |= ssAlt;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (b & Qt::LeftButton) s |= ssLeft;
  if (b & Qt::RightButton) s |= ssRight;
  if (b & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

namespace {

// The two cursors the platform has no shape for, drawn once: the text cursor turned across a
// column of vertical text, and the arrow mirrored to point up and to the right.
QCursor DrawnCursor(bool verticalIBeam) {
  // kept for the whole run: the application object goes before static objects would
  static const QCursor* const cursors = new QCursor[2]{
      [] {
        QPixmap pm(17, 17);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        const QPolygon arrow({{16, 0}, {16, 12}, {13, 9}, {10, 15}, {8, 14}, {11, 8}, {6, 8}});
        p.setPen(Qt::white);
        p.setBrush(Qt::black);
        p.drawPolygon(arrow);
        return QCursor(pm, 16, 0);
      }(),
      [] {
        QPixmap pm(17, 17);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(Qt::black);
        p.drawLine(3, 8, 13, 8);
        p.drawLine(1, 6, 1, 10);
        p.drawLine(2, 7, 2, 9);
        p.drawLine(15, 6, 15, 10);
        p.drawLine(14, 7, 14, 9);
        return QCursor(pm, 8, 8);
      }()};
  return cursors[verticalIBeam ? 1 : 0];
}

TMouseButton ButtonOf(Qt::MouseButton b) {
  if (b == Qt::RightButton) return TMouseButton::Right;
  if (b == Qt::MiddleButton) return TMouseButton::Middle;
  return TMouseButton::Left;
}

TViewMouseEvent MouseEventOf(const QMouseEvent* e, TShiftState extra = 0) {
  QPoint p = e->position().toPoint();
  return {ButtonOf(e->button()), QtShiftState(e->modifiers(), e->buttons()) | extra, p.x(), p.y()};
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

}  // namespace

// ---- The view's widget ---------------------------------------------------------------------

class TQtViewWidget : public QWidget, public IViewHost {
public:
  TQtViewWidget(TBaseView* view, QWidget* control) : QWidget(control), FView(view), FControl(control) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the view paints every pixel it owns
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    FHintPause.setSingleShot(true);
    QObject::connect(&FHintPause, &QTimer::timeout, this, [this] { ShowHint(); });
    FHintLife.setSingleShot(true);
    QObject::connect(&FHintLife, &QTimer::timeout, this, [this] { HideHint(); });
  }
  ~TQtViewWidget() override { Detach(); }

  THintWindow* HintWindow() const { return FHint.get(); }

  // The view goes before this widget: no call reaches it afterwards.
  void Detach() {
    HideHint();
    for (auto& [id, timer] : FTimers) timer->stop();
    if (FView) FView->SetHost(nullptr);
    FView = nullptr;
  }

  // IViewHost
  void InvalidateRect(const TRect& r) override { update(ToQRect(r)); }
  bool ScrollPixels(int32_t dx, int32_t dy, const TRect& clip) override {
    scroll(dx, dy, ToQRect(clip));
    return true;
  }
  void Update() override { repaint(); }
  void StartTimer(int id, int32_t intervalMs) override {
    std::unique_ptr<QTimer>& t = FTimers[id];
    if (!t) {
      t = std::make_unique<QTimer>();
      QObject::connect(t.get(), &QTimer::timeout, this, [this, id] {
        if (FView) FView->TimerTick(id);
      });
    }
    t->start(std::max<int32_t>(1, intervalMs));
  }
  void StopTimer(int id) override {
    auto it = FTimers.find(id);
    if (it != FTimers.end()) it->second->stop();
  }
  void SetCursor(int32_t cursor) override {
    switch (cursor) {
      case vcrIBeam: setCursor(Qt::IBeamCursor); break;
      case vcrHand: setCursor(Qt::PointingHandCursor); break;
      case vcrDrag: setCursor(Qt::DragMoveCursor); break;
      case vcrNoDrop: setCursor(Qt::ForbiddenCursor); break;
      case vcrVerticalIBeam: setCursor(DrawnCursor(true)); break;
      case vcrReverseArrow: setCursor(DrawnCursor(false)); break;
      default: unsetCursor(); break;
    }
  }
  TPoint PointerPos() const override {
    QPoint p = mapFromGlobal(QCursor::pos());
    return {p.x(), p.y()};
  }
  bool HostFocused() const override { return FControl->hasFocus(); }
  void FocusHost() override { FControl->setFocus(Qt::MouseFocusReason); }
  int32_t DragThreshold() const override { return QApplication::startDragDistance(); }
  void EnableHints(bool on) override {
    FHints = on;
    if (!on) HideHint();
  }

  // The hint waits for the style's pause with the pointer resting on the view, then stays
  // below the pointer for as many seconds as its text has bytes (at most a minute). A move
  // to another hint, leaving the view, a press or hiding ends it.
  void PointerMoved() {
    const std::string text = FView && FHints ? FView->Hint : std::string();
    if (text.empty()) return HideHint();
    if (FHint && FHint->isVisible() && text == FShownHint) return;
    HideHint();
    const TBaseStyle* style = FView->Style();
    FHintPause.start(std::max<int32_t>(0, style ? style->HintPause : 500));
  }
  void ShowHint() {
    if (!FView || !FHints || FView->Hint.empty() || !isVisible()) return;
    if (!FHint) {
      FHint = std::make_unique<THintWindow>(this);
      // the hint's own measure: equal margins of 2 and a line spacing of 3
      FHint->SetMargins(2, 2, 2, 2);
      FHint->SetLineSpace(3);
    }
    FHint->setFont(font());
    const QPoint at = FPointer + QPoint(0, 20);
    if (QScreen* s = QGuiApplication::screenAt(at) ? QGuiApplication::screenAt(at) : screen()) FHint->SetDefaultWidth(s->availableGeometry().width());
    FShownHint = FView->Hint;
    FHint->ShowHint(FShownHint, at);
    FHintLife.start(static_cast<int>(std::min<size_t>(FShownHint.size(), 60) * 1000));
  }
  void HideHint() {
    FHintPause.stop();
    FHintLife.stop();
    FShownHint.clear();
    if (FHint) FHint->hide();
  }

protected:
  void paintEvent(QPaintEvent* e) override {
    if (!FView) return;
    QPainter painter(this);
    QRect r = e->rect();
    TQtCanvas canvas(&painter, PageMetrics().ScreenDpi, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    FView->Paint(canvas, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  }
  void mousePressEvent(QMouseEvent* e) override {
    HideHint();
    if (FView) FView->MouseDown(MouseEventOf(e));
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (FView) FView->MouseMove(MouseEventOf(e));
    FPointer = e->globalPosition().toPoint();
    PointerMoved();
  }
  void leaveEvent(QEvent* e) override {
    HideHint();
    QWidget::leaveEvent(e);
  }
  void hideEvent(QHideEvent* e) override {
    HideHint();
    QWidget::hideEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (FView) FView->MouseUp(MouseEventOf(e));
  }
  // The wheel turns over the view belongs to the control.
  void wheelEvent(QWheelEvent* e) override { static_cast<TQtPaperControl*>(FControl)->HandleWheel(e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (!FView) return;
    FView->DblClick();
    FView->MouseDown(MouseEventOf(e, ssDouble));  // ignored by the view, as the press of a double click
  }
  bool event(QEvent* e) override {
    // the view's hint has a window of its own, timed by the style's pause
    if (e->type() == QEvent::ToolTip) return true;
    return QWidget::event(e);
  }

private:
  TBaseView* FView;
  QWidget* FControl;
  std::map<int, std::unique_ptr<QTimer>> FTimers;
  bool FHints = true;
  QTimer FHintPause, FHintLife;
  std::unique_ptr<THintWindow> FHint;
  std::string FShownHint;
  QPoint FPointer;  // where the pointer last moved on the view, on the screen
};

// ---- The control ---------------------------------------------------------------------------

TQtPaperControl::TQtPaperControl(std::unique_ptr<TBaseControl> control, QWidget* parent)
    : QWidget(parent), FControl(control ? std::move(control) : std::make_unique<TBaseControl>()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setMinimumSize(50, 50);
  FHBar = new QScrollBar(Qt::Horizontal, this);
  FVBar = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {FHBar, FVBar}) {
    bar->setFocusPolicy(Qt::NoFocus);
    bar->hide();
  }
  connect(FHBar, &QScrollBar::valueChanged, this, [this](int v) { FControl->HScroll(TScrollCode::Track, v); });
  connect(FVBar, &QScrollBar::valueChanged, this, [this](int v) { FControl->VScroll(TScrollCode::Track, v); });
  FRepeat.setTimerType(Qt::PreciseTimer);
  connect(&FRepeat, &QTimer::timeout, this, [this] { FControl->RepeatTick(); });

  FView = new TQtViewWidget(&FControl->View(), this);
  FControl->ScrollBarSize = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  FControl->WheelLines = QApplication::wheelScrollLines();
  FControl->SetHost(this);
  FControl->View().SetHost(FView);
  resize(200, 200);
  FControl->SetSize(width(), height());
  FControl->HandleCreated();
}

THintWindow* TQtPaperControl::HintWindow() const { return FView ? FView->HintWindow() : nullptr; }

TQtPaperControl::~TQtPaperControl() {
  // the repeat and the view's timers stop before anything goes
  FRepeat.stop();
  FControl->FocusLost();
  FControl->SetHost(nullptr);
  FView->Detach();
}

QWidget* TQtPaperControl::ViewWidget() const { return FView; }

void TQtPaperControl::PlaceView(const TRect& r) { FView->setGeometry(ToQRect(r)); }

void TQtPaperControl::PlaceScrollBar(bool vertical, const TRect& r, bool visible) {
  QScrollBar* bar = vertical ? FVBar : FHBar;
  bar->setGeometry(ToQRect(r));
  bar->setVisible(visible);
}

void TQtPaperControl::SetScrollBar(bool vertical, const TScrollBarState& s) {
  QScrollBar* bar = vertical ? FVBar : FHBar;
  QSignalBlocker block(bar);
  bar->setEnabled(s.Enabled);
  bar->setRange(0, s.Max);
  bar->setPageStep(std::max(1, s.LargeStep));
  bar->setSingleStep(std::max(1, s.SmallStep));
  bar->setValue(s.Position);
}

bool TQtPaperControl::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    // the control's own keys come before the window's shortcuts (Shift+Del, Ctrl+Z, Ins ...)
    auto* k = static_cast<QKeyEvent*>(e);
    if (FControl->OwnsKey(QtKeyToKeyCode(k->key()), QtShiftState(k->modifiers()))) {
      e->accept();
      return true;
    }
  }
  if (e->type() == QEvent::KeyPress && FControl->WantTabs) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  return QWidget::event(e);
}

bool TQtPaperControl::focusNextPrevChild(bool next) {
  return FControl->WantTabs ? false : QWidget::focusNextPrevChild(next);
}

void TQtPaperControl::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  FControl->SetSize(width(), height());
}

void TQtPaperControl::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  const QRect all = rect();
  switch (FControl->BorderStyle()) {
    case TControlBorderStyle::cbSingle:
      painter.setPen(palette().color(QPalette::Active, QPalette::Highlight));
      painter.drawRect(all.adjusted(0, 0, -1, -1));
      painter.setPen(Qt::white);
      painter.drawRect(all.adjusted(1, 1, -2, -2));
      break;
    case TControlBorderStyle::cb3D: {
      QStyleOptionFrame opt;
      opt.initFrom(this);
      opt.rect = all;
      opt.lineWidth = 2;
      opt.midLineWidth = 0;
      opt.state |= QStyle::State_Sunken;
      style()->drawPrimitive(QStyle::PE_Frame, &opt, &painter, this);
      break;
    }
    case TControlBorderStyle::cbNone: break;
  }
  QRect r = e->rect();
  TRect clip{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  TQtCanvas canvas(&painter, PageMetrics().ScreenDpi, clip);
  FControl->PaintBand(canvas, clip);
}

void TQtPaperControl::keyPressEvent(QKeyEvent* e) {
  int32_t key = QtKeyToKeyCode(e->key());
  if (key != 0 && FControl->KeyDown(key, QtShiftState(e->modifiers()), e->isAutoRepeat())) {
    e->accept();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TQtPaperControl::keyReleaseEvent(QKeyEvent* e) {
  FControl->KeyUp(QtKeyToKeyCode(e->key()), e->isAutoRepeat());
  QWidget::keyReleaseEvent(e);
}

void TQtPaperControl::wheelEvent(QWheelEvent* e) { HandleWheel(e); }

void TQtPaperControl::HandleWheel(QWheelEvent* e) {
  FWheelRest += e->angleDelta().y();
  const int notches = FWheelRest / 120;
  FWheelRest -= notches * 120;
  if (notches != 0 && FControl->Wheel(notches, QtShiftState(e->modifiers()))) {
    e->accept();
    return;
  }
  if (notches == 0 && e->angleDelta().y() != 0) {
    e->accept();  // part of a notch: kept for the next event
    return;
  }
  QWidget::wheelEvent(e);
}

void TQtPaperControl::focusOutEvent(QFocusEvent* e) {
  FControl->FocusLost();
  QWidget::focusOutEvent(e);
}

void TQtPaperControl::hideEvent(QHideEvent* e) {
  FControl->FocusLost();
  QWidget::hideEvent(e);
}

void TQtPaperControl::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && !isActiveWindow()) FControl->FocusLost();
  QWidget::changeEvent(e);
}

}  // namespace kaede
