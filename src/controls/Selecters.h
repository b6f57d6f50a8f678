#pragma once
// A pop-up list (the tab strip's selector for tabs that do not fit).
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace kaede {

// The list's behaviour without a window: highlight, check mark and keys.
class TSelecterModel {
public:
  enum TKeyResult { krNone, krSelect, krHide, krDeleted };

  std::vector<std::string> Items;
  int Highlighted = 0;
  int Checked = -1;
  // The selector's own shortcut key (a Qt key code; 0 for none).
  int ShortCut = 0;
  // Asked before the highlighted item is deleted with the Delete key.
  std::function<bool(int index)> OnDelete;

  // Enter, Space and "M" select; Escape hides; up and down move the highlight; Delete removes
  // the highlighted item when allowed; the shortcut moves to the next item, round; Control
  // does nothing; any other key hides.
  TKeyResult Key(int qtKey);
};

// Where a pop-up of a size opens beside an anchor (both in screen coordinates) within the
// available area of the screen: below the anchor with their left edges aligned; above it when
// it would pass the bottom and fits there; ending at the anchor's right edge when it would pass
// the right; always inside the area, and cut to the area's height or width when larger (the
// pop-up then scrolls).
QRect PlacePopup(const QRect& anchor, const QSize& size, const QRect& available);

class TSelecter : public QWidget {
  Q_OBJECT
public:
  explicit TSelecter(QWidget* owner);

  std::function<void(int index)> OnSelect;
  std::function<void()> OnHide;
  QMenu* PopupMenu = nullptr;

  TSelecterModel& Model() { return FModel; }
  void SetItems(const std::vector<std::string>& items);
  void SetChecked(int index) { FModel.Checked = index; }
  int Selected() const { return FModel.Highlighted; }
  // Shows the list with its top left corner at a screen point, or beside a rectangle of the
  // screen (below it, or above it where there is no room below), within the screen's
  // available area.
  void Popup(const QPoint& at);
  void Popup(const QRect& anchor);
  // The first row shown when the list is taller than the screen allows.
  int TopRow() const { return FTop; }
  bool IsShown() const { return isVisible(); }
  // The list's size: widest text + 28 (at least 8), items x (font height + 8).
  QSize ListSize() const;

protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void hideEvent(QHideEvent*) override;

private:
  int RowHeight() const;
  int RowsShown() const;
  int RowAt(int y) const;
  void KeepHighlightShown();
  TSelecterModel FModel;
  bool FPressed = false;  // a button went down on the list since it was shown
  int FTop = 0;
};

}  // namespace kaede
