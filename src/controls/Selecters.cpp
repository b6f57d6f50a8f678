#include "Selecters.h"

#include <QKeyEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>

#include "QtText.h"

namespace kaede {

TSelecterModel::TKeyResult TSelecterModel::Key(int qtKey) {
  int n = static_cast<int>(Items.size());
  if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Space || qtKey == Qt::Key_M) return krSelect;
  if (qtKey == Qt::Key_Escape) return krHide;
  if (qtKey == Qt::Key_Control) return krNone;
  if (qtKey == Qt::Key_Up) {
    if (Highlighted > 0) --Highlighted;
    return krNone;
  }
  if (qtKey == Qt::Key_Down) {
    if (Highlighted < n - 1) ++Highlighted;
    return krNone;
  }
  if (qtKey == Qt::Key_Delete) {
    if (Highlighted < 0 || Highlighted >= n) return krNone;
    if (OnDelete && !OnDelete(Highlighted)) return krNone;
    Items.erase(Items.begin() + Highlighted);
    if (Checked == Highlighted) Checked = -1;
    else if (Checked > Highlighted) --Checked;
    Highlighted = std::min(Highlighted, static_cast<int>(Items.size()) - 1);
    return krDeleted;
  }
  if (ShortCut != 0 && qtKey == ShortCut) {
    Highlighted = n > 0 ? (Highlighted + 1) % n : 0;
    return krNone;
  }
  return krHide;
}

QRect PlacePopup(const QRect& anchor, const QSize& size, const QRect& available) {
  const int w = std::min(size.width(), available.width());
  const int h = std::min(size.height(), available.height());
  int top = anchor.bottom() + 1;
  if (top + h - 1 > available.bottom()) {
    // above the anchor when it fits there, else on the side with more room
    const int above = anchor.top() - h;
    if (above >= available.top() || anchor.top() - available.top() > available.bottom() - anchor.bottom()) top = above;
  }
  int left = anchor.left();
  if (left + w - 1 > available.right()) left = anchor.right() - w + 1;
  top = std::clamp(top, available.top(), available.bottom() - h + 1);
  left = std::clamp(left, available.left(), available.right() - w + 1);
  return QRect(left, top, w, h);
}

TSelecter::TSelecter(QWidget* owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void TSelecter::SetItems(const std::vector<std::string>& items) {
  FModel.Items = items;
  FModel.Highlighted = std::clamp(FModel.Highlighted, 0, std::max(0, static_cast<int>(items.size()) - 1));
}

int TSelecter::RowHeight() const { return QFontMetrics(font()).height() + 8; }

QSize TSelecter::ListSize() const {
  QFontMetrics fm(font());
  int w = 0;
  for (const std::string& s : FModel.Items) w = std::max(w, fm.horizontalAdvance(ToQ(s)));
  return QSize(std::max(8, w + 28), static_cast<int>(FModel.Items.size()) * RowHeight());
}

int TSelecter::RowsShown() const { return std::max(1, height() / RowHeight()); }

int TSelecter::RowAt(int y) const { return y < 0 ? -1 : y / RowHeight() + FTop; }

void TSelecter::KeepHighlightShown() {
  const int n = static_cast<int>(FModel.Items.size());
  const int shown = RowsShown();
  if (FModel.Highlighted < FTop) FTop = FModel.Highlighted;
  if (FModel.Highlighted >= FTop + shown) FTop = FModel.Highlighted - shown + 1;
  FTop = std::clamp(FTop, 0, std::max(0, n - shown));
}

void TSelecter::Popup(const QPoint& at) { Popup(QRect(at.x(), at.y() - 1, 1, 1)); }

void TSelecter::Popup(const QRect& anchor) {
  FPressed = false;
  if (FModel.Checked >= 0) FModel.Highlighted = FModel.Checked;
  QScreen* screen = QGuiApplication::screenAt(anchor.center());
  if (!screen && parentWidget()) screen = parentWidget()->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  QSize size = ListSize();
  QRect g = screen ? PlacePopup(anchor, size, screen->availableGeometry()) : QRect(anchor.bottomLeft() + QPoint(0, 1), size);
  // whole rows only when the list is cut to the screen
  if (g.height() < size.height()) g.setHeight(std::max(RowHeight(), g.height() / RowHeight() * RowHeight()));
  setGeometry(g);
  FTop = 0;
  KeepHighlightShown();
  show();
  setFocus();
  update();
}

void TSelecter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  int h = RowHeight();
  for (int i = FTop; i < static_cast<int>(FModel.Items.size()) && (i - FTop) * h < height(); ++i) {
    QRect row(0, (i - FTop) * h, width(), h);
    if (i == FModel.Highlighted) {
      QRect hl = row.adjusted(1, 1, -3, -1);
      p.setPen(ToQColor(13003057));
      p.setBrush(ToQColor(15717318));
      p.drawRect(hl);
    }
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(16, row.top(), width() - 16, h), Qt::AlignVCenter | Qt::AlignLeft, ToQ(FModel.Items[static_cast<size_t>(i)]));
    if (i == FModel.Checked) {
      QPoint c(8, row.center().y());
      p.drawLine(c.x() - 4, c.y(), c.x() - 1, c.y() + 3);
      p.drawLine(c.x() - 1, c.y() + 3, c.x() + 4, c.y() - 3);
    }
  }
}

void TSelecter::mouseMoveEvent(QMouseEvent* e) {
  int i = RowAt(static_cast<int>(e->position().y()));
  if (i >= 0 && i < static_cast<int>(FModel.Items.size()) && i != FModel.Highlighted) {
    FModel.Highlighted = i;
    update();
  }
}

void TSelecter::mousePressEvent(QMouseEvent* e) {
  // a press outside the list closes it (the pop-up's own behaviour)
  FPressed = true;
  QWidget::mousePressEvent(e);
}

void TSelecter::mouseReleaseEvent(QMouseEvent* e) {
  bool inside = rect().contains(e->position().toPoint());
  // The release of the click that opened the list comes here too: outside the list it ends
  // that click and leaves the list open for a choice.
  if (!FPressed && !inside) return;
  FPressed = false;
  if (e->button() == Qt::LeftButton) {
    hide();
    if (inside && OnSelect) OnSelect(FModel.Highlighted);
  } else if (e->button() == Qt::RightButton && inside && PopupMenu) {
    if (OnSelect) OnSelect(FModel.Highlighted);
    PopupMenu->popup(e->globalPosition().toPoint());
  }
}

void TSelecter::keyPressEvent(QKeyEvent* e) {
  switch (FModel.Key(e->key())) {
    case TSelecterModel::krSelect:
      hide();
      if (OnSelect) OnSelect(FModel.Highlighted);
      break;
    case TSelecterModel::krHide:
      hide();
      break;
    case TSelecterModel::krDeleted:
      resize(width(), std::min(height(), ListSize().height()));
      KeepHighlightShown();
      update();
      break;
    case TSelecterModel::krNone:
      KeepHighlightShown();
      update();
      break;
  }
}

void TSelecter::wheelEvent(QWheelEvent* e) {
  const int n = static_cast<int>(FModel.Items.size());
  const int step = e->angleDelta().y() > 0 ? -1 : e->angleDelta().y() < 0 ? 1 : 0;
  FTop = std::clamp(FTop + step * 3, 0, std::max(0, n - RowsShown()));
  update();
}

void TSelecter::hideEvent(QHideEvent*) {
  if (OnHide) OnHide();
}

}  // namespace kaede
