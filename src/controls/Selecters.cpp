#include "Selecters.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
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

void TSelecter::Popup(const QPoint& at) {
  FPressed = false;
  if (FModel.Checked >= 0) FModel.Highlighted = FModel.Checked;
  resize(ListSize());
  move(at);
  show();
  setFocus();
  update();
}

void TSelecter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  int h = RowHeight();
  for (int i = 0; i < static_cast<int>(FModel.Items.size()); ++i) {
    QRect row(0, i * h, width(), h);
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
  int i = static_cast<int>(e->position().y()) / RowHeight();
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
      resize(ListSize());
      update();
      break;
    case TSelecterModel::krNone:
      update();
      break;
  }
}

void TSelecter::hideEvent(QHideEvent*) {
  if (OnHide) OnHide();
}

}  // namespace kaede
