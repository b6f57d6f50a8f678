#include "RelationListBoxes.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>

#include "QtText.h"

namespace kaede {

std::string RelationItemName(const std::string& line, const std::string& sep) {
  return ContainsStr(line, sep) ? LeftOf(line, sep) : std::string();
}

std::string RelationItemValue(const std::string& line, const std::string& sep) {
  return ContainsStr(line, sep) ? RightOf(line, sep) : line;
}

std::string RelationItemLine(const std::string& name, const std::string& value, const std::string& sep) {
  return name + sep + value;
}

int AlignedTextLeft(TItemAlignment alignment, int left, int right, int textWidth) {
  switch (alignment) {
    case TItemAlignment::Right:
      return right - textWidth - 4;
    case TItemAlignment::Center:
      return left + (right - left - textWidth) / 2;
    case TItemAlignment::Left:
      break;
  }
  return left + 4;
}

// Draws one line as a kind cell and a value cell.
class TRelationItemDelegate : public QStyledItemDelegate {
public:
  explicit TRelationItemDelegate(TRelationListBox* list) : QStyledItemDelegate(list), FList(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    return QSize(s.width(), FList->RowHeight());
  }

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    const QPalette& pal = FList->palette();
    const bool enabled = FList->isEnabled();
    const bool selected = option.state & QStyle::State_Selected;
    const int row = index.row();
    QFontMetrics fm(FList->font());
    const int textTop = r.top() + (r.height() - fm.height()) / 2;
    const int nameWidth = FList->NameWidth();
    p->save();
    p->setFont(FList->font());

    // kind cell
    QRect kind(r.left(), r.top(), nameWidth, r.height());
    QColor face = pal.color(QPalette::Active, QPalette::Button);
    p->fillRect(kind, face);
    p->setPen(enabled ? pal.color(QPalette::Active, QPalette::ButtonText) : pal.color(QPalette::Disabled, QPalette::ButtonText));
    QString name = ToQ(FList->ItemName(row));
    int nameLeft = AlignedTextLeft(FList->ItemNameAlignment, 0, nameWidth, fm.horizontalAdvance(name));
    p->setClipRect(kind);
    p->drawText(QPoint(r.left() + nameLeft, textTop + fm.ascent()), name);
    p->setClipping(false);
    if (FList->Item3D && nameWidth > 1) {
      p->setPen(face.lighter(130));
      p->drawLine(kind.topLeft(), kind.topRight());
      p->drawLine(kind.topLeft(), kind.bottomLeft());
      p->setPen(face.darker(130));
      p->drawLine(kind.bottomLeft(), kind.bottomRight());
      p->drawLine(kind.topRight(), kind.bottomRight());
    }

    // value cell
    QRect value(r.left() + nameWidth, r.top(), r.width() - nameWidth, r.height());
    QColor back, text;
    if (selected) {
      back = pal.color(QPalette::Active, QPalette::Highlight);
      text = pal.color(QPalette::Active, QPalette::HighlightedText);
    } else if (enabled) {
      back = pal.color(QPalette::Active, QPalette::Base);
      text = pal.color(QPalette::Active, QPalette::Text);
    } else {
      back = face;
      text = pal.color(QPalette::Disabled, QPalette::Text);
    }
    p->fillRect(value, back);
    p->setPen(text);
    QString val = ToQ(FList->ItemValue(row));
    int valueLeft = AlignedTextLeft(FList->ItemValueAlignment, nameWidth, r.width(), fm.horizontalAdvance(val));
    p->setClipRect(value);
    p->drawText(QPoint(r.left() + valueLeft, textTop + fm.ascent()), val);
    p->setClipping(false);
    p->setPen(face);
    p->drawLine(value.left(), r.bottom(), value.right(), r.bottom());
    if (selected && FList->hasFocus()) {
      QStyleOptionFocusRect fo;
      fo.rect = value;
      fo.palette = pal;
      fo.backgroundColor = back;
      FList->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fo, p, FList);
    }
    p->restore();
  }

private:
  TRelationListBox* FList;
};

TRelationListBox::TRelationListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new TRelationItemDelegate(this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  // the area below the last row takes the list's colour, the button face when disabled
  QPalette pal = palette();
  pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Active, QPalette::Button));
  setPalette(pal);
}

void TRelationListBox::SetDevideChar(const std::string& sep) {
  FDevideChar = sep;
  viewport()->update();
}

int TRelationListBox::RowHeight() const { return QFontInfo(font()).pixelSize() + 6; }

void TRelationListBox::SetLines(const TStrings& lines) {
  clear();
  for (const std::string& line : lines) addItem(ToQ(line));
}

TStrings TRelationListBox::Lines() const {
  TStrings lines;
  for (int i = 0; i < count(); ++i) lines.push_back(Line(i));
  return lines;
}

std::string TRelationListBox::Line(int i) const {
  const QListWidgetItem* it = item(i);
  return it ? FromQ(it->text()) : std::string();
}

std::string TRelationListBox::ItemName(int i) const {
  return i >= 0 && i < count() ? RelationItemName(Line(i), FDevideChar) : std::string();
}

std::string TRelationListBox::ItemValue(int i) const {
  return i >= 0 && i < count() ? RelationItemValue(Line(i), FDevideChar) : std::string();
}

void TRelationListBox::SetItemValue(int i, const std::string& value) {
  if (i < 0 || i >= count()) return;
  item(i)->setText(ToQ(RelationItemLine(ItemName(i), value, FDevideChar)));
}

int TRelationListBox::SelectedLine() const {
  int row = currentRow();
  return row >= 0 && item(row) && item(row)->isSelected() ? row : -1;
}

void TRelationListBox::UpdateNameWidth() {
  QFontMetrics fm(font());
  int width = 0;
  for (int i = 0; i < count(); ++i) width = std::max(width, fm.horizontalAdvance(ToQ(ItemName(i))) + 8);
  FNameWidth = width;
}

void TRelationListBox::paintEvent(QPaintEvent* e) {
  UpdateNameWidth();
  QListWidget::paintEvent(e);
  if (count() == 0 && hasFocus()) {
    QPainter p(viewport());
    QStyleOptionFocusRect fo;
    fo.rect = QRect(0, 0, viewport()->width(), RowHeight());
    fo.palette = palette();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fo, &p, this);
  }
}

void TRelationListBox::changeEvent(QEvent* e) {
  QListWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) doItemsLayout();
}

void TRelationListBox::focusInEvent(QFocusEvent* e) {
  QListWidget::focusInEvent(e);
  if (SelectedLine() < 0 && count() > 0) setCurrentRow(0);
  viewport()->update();
}

void TRelationListBox::focusOutEvent(QFocusEvent* e) {
  QListWidget::focusOutEvent(e);
  viewport()->update();
}

void TRelationListBox::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && OnEnter) {
    OnEnter();
    return;
  }
  QListWidget::keyPressEvent(e);
}

void TRelationListBox::mouseDoubleClickEvent(QMouseEvent* e) {
  QListWidget::mouseDoubleClickEvent(e);
  if (OnDoubleClick) OnDoubleClick();
}

}  // namespace kaede
