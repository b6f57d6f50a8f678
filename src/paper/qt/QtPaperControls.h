#pragma once
// The window of a paper view's host control: a focusable widget with a border, two scroll
// bars and an inner widget that shows the view. It forwards size, paints, mouse, keys, wheel
// and focus to the control's logic (TBaseControl) and its view (TBaseView), and gives them
// what they ask of a window (repaints, moving pixels, timers, cursor, scroll bars).
//
// Held keys: X11 and Wayland send a release before every auto-repeat and Qt cannot ask whether
// a key is down, so releases flagged as auto-repeat are ignored, and the accelerated repeat
// stops on the real release, on focus loss, on deactivation, when hidden and when destroyed.
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "BaseControls.h"

namespace kaede {

// The key code of a Qt key (0 for keys the views do not know).
int32_t QtKeyToKeyCode(int qtKey);
TShiftState QtShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

class TQtViewWidget;
class THintWindow;

class TQtPaperControl : public QWidget, private IControlHost {
public:
  // Hosts control (a plain TBaseControl when none is given).
  explicit TQtPaperControl(std::unique_ptr<TBaseControl> control = nullptr, QWidget* parent = nullptr);
  ~TQtPaperControl() override;

  TBaseControl& Control() const { return *FControl; }
  TBaseView& View() const { return FControl->View(); }
  QWidget* ViewWidget() const;
  QScrollBar* ScrollBar(bool vertical) const { return vertical ? FVBar : FHBar; }
  bool Repeating() const { return FRepeat.isActive(); }
  // The window of the view's hint (none before the first hint was shown).
  THintWindow* HintWindow() const;
  // A wheel turn over the control or its view.
  void HandleWheel(QWheelEvent* e);

protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool focusNextPrevChild(bool next) override;

private:
  void PlaceView(const TRect& r) override;
  void PlaceScrollBar(bool vertical, const TRect& r, bool visible) override;
  void SetScrollBar(bool vertical, const TScrollBarState& s) override;
  void InvalidateControl() override { update(); }
  void StartRepeat(int32_t intervalMs) override { FRepeat.start(intervalMs); }
  void StopRepeat() override { FRepeat.stop(); }

  std::unique_ptr<TBaseControl> FControl;
  TQtViewWidget* FView = nullptr;
  QScrollBar* FHBar = nullptr;
  QScrollBar* FVBar = nullptr;
  QTimer FRepeat;
  int FWheelRest = 0;  // eighths of a degree not yet a whole notch
};

}  // namespace kaede
