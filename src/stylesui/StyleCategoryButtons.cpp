#include "StyleCategoryButtons.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "QtText.h"

namespace kaede {

// ---- TStyleSelector ------------------------------------------------------------------------

TStyleSelector::TStyleSelector(IStyleDialogs& dialogs) : FDialogs(dialogs), FMenu(dialogs) {
  FMenu.CategoryMode = true;
  FMenu.OnBeforeChange = [this] {
    if (OnChanging) OnChanging();
  };
  FMenu.OnAfterChange = [this] {
    Rebuild(FMenu.Current);
    if (OnButtonClicked) OnButtonClicked();
    if (OnChange) OnChange();
  };
  FMenu.OnStyleCust = [this] {
    if (OnStyleCust) OnStyleCust();
  };
}

void TStyleSelector::SetLists(const std::vector<TBaseStyleList*>& lists) {
  FLists = lists;
  Rebuild(nullptr);
}

void TStyleSelector::Rebuild(TBaseStyle* select) {
  FCategories.clear();
  FCategory = FItem = -1;
  for (TBaseStyleList* list : FLists) {
    for (int i = 0; i < list->AllCount(); ++i) {
      TBaseStyle* s = list->Style(i);  // a predefined style gets its name and category now
      const std::string& caption = s->Base().Category;
      auto it = std::find_if(FCategories.begin(), FCategories.end(), [&](const TStyleCategory& c) { return c.Caption == caption; });
      if (it == FCategories.end()) {
        bool even = FCategories.size() % 2 == 0;
        FCategories.push_back(TStyleCategory{caption, even ? CategoryColor0 : CategoryColor1,
                                             even ? CategoryTextColor0 : CategoryTextColor1, {}});
        it = FCategories.end() - 1;
      }
      it->Styles.push_back(s);
    }
  }
  if (!select && !FLists.empty() && FLists[0]->AllCount() > 0) select = static_cast<TBaseStyle*>(FLists[0]->AllItems(0));
  SelectStyle(select);
  if (FCategory < 0 && !FCategories.empty()) {
    FCategory = 0;
    FItem = 0;
  }
  UpdateMenu();
  if (OnRepaint) OnRepaint();
}

const TStyleCategory* TStyleSelector::CategoryAt(int category) const {
  return category >= 0 && category < static_cast<int>(FCategories.size()) ? &FCategories[static_cast<size_t>(category)] : nullptr;
}

TBaseStyle* TStyleSelector::StyleAt(int category, int item) const {
  const TStyleCategory* c = CategoryAt(category);
  return c && item >= 0 && item < static_cast<int>(c->Styles.size()) ? c->Styles[static_cast<size_t>(item)] : nullptr;
}

TBaseStyle* TStyleSelector::SelectedStyle() const { return StyleAt(FCategory, FItem); }

void TStyleSelector::SelectStyle(TBaseStyle* s) {
  if (!s) return;
  for (size_t c = 0; c < FCategories.size(); ++c)
    for (size_t i = 0; i < FCategories[c].Styles.size(); ++i)
      if (FCategories[c].Styles[i] == s) {
        FCategory = static_cast<int>(c);
        FItem = static_cast<int>(i);
        UpdateMenu();
        if (OnRepaint) OnRepaint();
        return;
      }
}

void TStyleSelector::SelectButton(int category, int item) {
  if (!StyleAt(category, item)) return;
  FCategory = category;
  FItem = item;
  UpdateMenu();
  if (OnRepaint) OnRepaint();
  if (OnButtonClicked) OnButtonClicked();
}

void TStyleSelector::Click(int category, int item) { SelectButton(category, item); }

void TStyleSelector::RightPress(int category, int item) { SelectButton(category, item); }

int TStyleSelector::PositionIn(TBaseStyle* s) {
  auto* list = s ? s->Owner() : nullptr;
  if (!list) return -1;
  for (int i = 0; i < list->AllCount(); ++i)
    if (list->AllItems(i) == s) return i;
  return -1;
}

void TStyleSelector::UpdateMenu() {
  TBaseStyle* s = SelectedStyle();
  FMenu.Current = s;
  FMenu.PrevPos = FMenu.NextPos = -1;
  if (!s) return;
  // a neighbour from the other list of a shared category is no neighbour in this list
  TBaseStyle* prev = StyleAt(FCategory, FItem - 1);
  TBaseStyle* next = StyleAt(FCategory, FItem + 1);
  if (prev && prev->Owner() == s->Owner()) FMenu.PrevPos = PositionIn(prev);
  if (next && next->Owner() == s->Owner()) FMenu.NextPos = PositionIn(next);
}

bool TStyleSelector::MenuEnabled(TStylePopupMenu::TEntry entry) {
  UpdateMenu();
  return FMenu.Enabled(entry);
}

void TStyleSelector::RunMenu(TStylePopupMenu::TEntry entry) {
  UpdateMenu();
  FMenu.Run(entry);
}

bool TStyleSelector::Drop(int fromCategory, int fromItem, int toCategory, int toItem) {
  TBaseStyle* from = StyleAt(fromCategory, fromItem);
  TBaseStyle* to = StyleAt(toCategory, toItem);
  if (!from || !to || from == to) return false;
  if (!from->Owner() || from->Owner() != to->Owner()) {
    FDialogs.ShowInfo(SJ("入れ換えはできません"));
    return false;
  }
  if (OnChanging) OnChanging();
  from->Owner()->Exchange(PositionIn(from), PositionIn(to));
  // the dragged style is selected and shown: what is highlighted is what the card shows and
  // what the settings panel edits
  Rebuild(from);
  if (OnButtonClicked) OnButtonClicked();
  if (OnChange) OnChange();
  return true;
}

// ---- TStyleCategoryButtons -----------------------------------------------------------------

TStyleCategoryButtons::TStyleCategoryButtons(IStyleDialogs& dialogs, QWidget* parent)
    : QWidget(parent), FSelector(dialogs) {
  setFixedWidth(169);
  setMouseTracking(false);
  FSelector.OnRepaint = [this] {
    Relayout();
    update();
  };
}

TStyleCategoryButtons::~TStyleCategoryButtons() { FSelector.OnRepaint = nullptr; }

int TStyleCategoryButtons::HeaderHeight() const { return fontMetrics().height() + 8; }
int TStyleCategoryButtons::ButtonHeight() const { return fontMetrics().height() + 10; }

void TStyleCategoryButtons::Relayout() {
  FHeaderRects.clear();
  FButtonRects.clear();
  int y = 0;
  const int w = width();
  for (const TStyleCategory& c : FSelector.Categories()) {
    FHeaderRects.push_back(QRect(0, y, w, HeaderHeight()));
    y += HeaderHeight() + 2;
    std::vector<QRect> buttons;
    for (size_t i = 0; i < c.Styles.size(); ++i) {
      buttons.push_back(QRect(4, y, w - 8, ButtonHeight()));
      y += ButtonHeight() + 2;
    }
    FButtonRects.push_back(std::move(buttons));
    y += 4;
  }
  setMinimumHeight(y);
  updateGeometry();
}

QSize TStyleCategoryButtons::sizeHint() const { return QSize(169, minimumHeight()); }

QRect TStyleCategoryButtons::ButtonRect(int category, int item) const {
  if (category < 0 || category >= static_cast<int>(FButtonRects.size())) return {};
  const auto& b = FButtonRects[static_cast<size_t>(category)];
  return item >= 0 && item < static_cast<int>(b.size()) ? b[static_cast<size_t>(item)] : QRect();
}

QRect TStyleCategoryButtons::CategoryRect(int category) const {
  return category >= 0 && category < static_cast<int>(FHeaderRects.size()) ? FHeaderRects[static_cast<size_t>(category)] : QRect();
}

bool TStyleCategoryButtons::HitTest(const QPoint& p, int& category, int& item) const {
  for (size_t c = 0; c < FButtonRects.size(); ++c)
    for (size_t i = 0; i < FButtonRects[c].size(); ++i)
      if (FButtonRects[c][i].contains(p)) {
        category = static_cast<int>(c);
        item = static_cast<int>(i);
        return true;
      }
  return false;
}

void TStyleCategoryButtons::paintEvent(QPaintEvent*) {
  if (FHeaderRects.size() != FSelector.Categories().size()) Relayout();
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const auto& cats = FSelector.Categories();
  for (size_t c = 0; c < cats.size(); ++c) {
    QRect h = FHeaderRects[c];
    QLinearGradient g(h.topLeft(), h.topRight());
    g.setColorAt(0, ToQColor(cats[c].Color));
    g.setColorAt(1, ToQColor(cats[c].Color).lighter(130));
    p.fillRect(h, g);
    p.setPen(ToQColor(cats[c].TextColor));
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(h.adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQ(cats[c].Caption));
    p.setFont(font());
    for (size_t i = 0; i < cats[c].Styles.size(); ++i) {
      QRect b = FButtonRects[c][i];
      const bool selected = static_cast<int>(c) == FSelector.SelectedCategory() && static_cast<int>(i) == FSelector.SelectedItem();
      const bool target = FDragging && static_cast<int>(c) == FDropCategory && static_cast<int>(i) == FDropItem;
      QColor face = selected ? ToQColor(FSelector.SelectedColor) : palette().color(QPalette::Button);
      QLinearGradient bg(b.topLeft(), b.bottomLeft());
      bg.setColorAt(0, face.lighter(110));
      bg.setColorAt(1, face);
      p.fillRect(b, bg);
      p.setPen(target ? QPen(Qt::black, 2, Qt::DashLine) : QPen(palette().color(QPalette::Mid)));
      p.drawRect(b.adjusted(0, 0, -1, -1));
      p.setPen(palette().color(QPalette::ButtonText));
      p.drawText(b.adjusted(6, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                 fontMetrics().elidedText(ToQ(cats[c].Styles[i]->GetCaption()), Qt::ElideRight, b.width() - 10));
    }
  }
}

void TStyleCategoryButtons::mousePressEvent(QMouseEvent* e) {
  int c, i;
  if (!HitTest(e->position().toPoint(), c, i)) return;
  if (e->button() == Qt::RightButton) {
    FSelector.RightPress(c, i);
    if (!FPopup) FPopup = new TStylePopupActionBar(FSelector.Menu(), this);
    FPopup->popup(e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  FPressCategory = c;
  FPressItem = i;
  FPressAt = e->position().toPoint();
  FDragging = false;
}

void TStyleCategoryButtons::mouseMoveEvent(QMouseEvent* e) {
  if (FPressCategory < 0 || !(e->buttons() & Qt::LeftButton)) return;
  if (!FDragging && (e->position().toPoint() - FPressAt).manhattanLength() < 6) return;
  FDragging = true;
  int c = -1, i = -1;
  HitTest(e->position().toPoint(), c, i);
  FDropCategory = c;
  FDropItem = i;
  setCursor(Qt::DragMoveCursor);
  update();
}

void TStyleCategoryButtons::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || FPressCategory < 0) return;
  const int fromC = FPressCategory, fromI = FPressItem;
  FPressCategory = FPressItem = -1;
  unsetCursor();
  if (!FDragging) {
    FSelector.Click(fromC, fromI);
    return;
  }
  FDragging = false;
  int c, i;
  if (HitTest(e->position().toPoint(), c, i) && (c != fromC || i != fromI)) FSelector.Drop(fromC, fromI, c, i);
  update();
}

}  // namespace kaede
