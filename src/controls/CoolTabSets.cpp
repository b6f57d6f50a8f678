#include "CoolTabSets.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "Cp932.h"

#include "QtText.h"
#include "Selecters.h"

namespace kaede {

namespace {
QColor Blend(const QColor& a, const QColor& b, double t) {
  return QColor(static_cast<int>(a.red() + (b.red() - a.red()) * t), static_cast<int>(a.green() + (b.green() - a.green()) * t),
                static_cast<int>(a.blue() + (b.blue() - a.blue()) * t));
}
}  // namespace

// ---- TCoolTabSetModel ----------------------------------------------------------------------

void TCoolTabSetModel::SetTabs(const std::vector<std::string>& tabs) {
  FTabs = tabs;
  if (FTabIndex >= static_cast<int>(FTabs.size())) FTabIndex = static_cast<int>(FTabs.size()) - 1;
  Measure();
}

void TCoolTabSetModel::Measure() {
  FTextWidths.clear();
  for (const std::string& t : FTabs) FTextWidths.push_back(FMeasure ? FMeasure(t) : 0);
}

void TCoolTabSetModel::SetWidth(int width) { FWidth = width; }

int TCoolTabSetModel::RightEnd(int index) const {
  int r = 0;
  for (int i = 0; i <= index && i < static_cast<int>(FTabs.size()); ++i) r += i == 0 ? TextWidth(0) + 11 : 5 + TextWidth(i) + 4;
  return r;
}

int TCoolTabSetModel::TabAt(int x) const {
  int r = 0;
  for (int i = 0; i < static_cast<int>(FTabs.size()); ++i) {
    r += i == 0 ? TextWidth(0) + 11 : 5 + TextWidth(i) + 4;
    if (r >= x) return i;
  }
  return static_cast<int>(FTabs.size());
}

int TCoolTabSetModel::VisibleCount() const { return TabAt(FWidth - 12); }

int32_t TCoolTabSetModel::OverflowCrossColor() const {
  return FTabIndex >= VisibleCount() ? 3368703 : 0x222222;
}

int TCoolTabSetModel::DrawLeft(int index) const {
  int x = 0;
  for (int i = 0; i < index; ++i) x += TextWidth(i) + 9;
  return x;
}

int TCoolTabSetModel::HitTest(int x) const {
  int n = VisibleCount();
  // the selected tab is drawn on top, so it wins where tabs overlap
  if (FTabIndex >= 0 && FTabIndex < n) {
    int l = DrawLeft(FTabIndex);
    if (x >= l && x <= l + TextWidth(FTabIndex) + 14) return FTabIndex;
  }
  for (int i = n - 1; i >= 0; --i) {
    int l = DrawLeft(i);
    if (x >= l && x <= l + TextWidth(i) + 14) return i;
  }
  return -1;
}

std::vector<std::string> TCoolTabSetModel::HiddenTabs() const {
  int n = VisibleCount();
  return std::vector<std::string>(FTabs.begin() + std::min<size_t>(static_cast<size_t>(n), FTabs.size()), FTabs.end());
}

void TCoolTabSetModel::SetTabIndex(int value) {
  bool force = ForceExecuteChangeEvent;
  ForceExecuteChangeEvent = false;
  if ((value == FTabIndex && !force) || value < 0 || value >= static_cast<int>(FTabs.size())) return;
  if (OnTabChanging) OnTabChanging(value);
  FTabIndex = value;
  if (OnTabChanged) OnTabChanged();
}

// ---- TCoolTabSet ---------------------------------------------------------------------------

TCoolTabSet::TCoolTabSet(QWidget* parent)
    : QWidget(parent), FModel([this](const std::string& s) { return QFontMetrics(font()).horizontalAdvance(ToQ(s)); }) {
  resize(185, 22);
  // reached with Tab and by a click, so that the arrow keys can walk the tabs
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TCoolTabSet::event(QEvent* e) {
  // the arrows, Home and End belong to the strip while it has the focus
  if (e->type() == QEvent::ShortcutOverride && ClaimsKey(static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    if (OverflowButtonRect().contains(help->pos())) QToolTip::showText(help->globalPos(), ToQ(SJ("表示しきれない項目")), this);
    else QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}

TCoolTabSet::~TCoolTabSet() = default;

void TCoolTabSet::SetTabs(const std::vector<std::string>& tabs) {
  FModel.SetWidth(width());
  FModel.SetTabs(tabs);
  Changed();
}

void TCoolTabSet::Changed() {
  update();
  if (FSelector && FSelector->IsShown()) ShowOverflowSelector();
}

QRect TCoolTabSet::OverflowButtonRect() const {
  if (!FModel.OverflowShown()) return QRect();
  int top = IsTopPosition ? 3 : Space + 2;
  int bottom = IsTopPosition ? height() - Space - 2 : height() - 3;
  return QRect(width() - 12, top, 12, bottom - top);
}

void TCoolTabSet::ShowOverflowSelector() {
  if (!FSelector) {
    FSelector = std::make_unique<TSelecter>(this);
    FSelector->OnSelect = [this](int item) { SetTabIndex(FModel.VisibleCount() + item); update(); };
  }
  FModel.SetWidth(width());
  std::vector<std::string> hidden = FModel.HiddenTabs();
  FSelector->SetItems(hidden);
  FSelector->SetChecked(FModel.TabIndex() - FModel.VisibleCount());
  QRect b = OverflowButtonRect();
  // under the button, or above it, or ending at its right edge where the screen ends
  FSelector->Popup(QRect(mapToGlobal(b.topLeft()), b.size()));
}

void TCoolTabSet::resizeEvent(QResizeEvent*) {
  FModel.SetWidth(width());
  update();
}

void TCoolTabSet::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
  if (OverflowButtonRect().contains(e->position().toPoint())) {
    if (e->button() == Qt::LeftButton) ShowOverflowSelector();
    return;
  }
  int i = FModel.HitTest(static_cast<int>(e->position().x()));
  if (i >= 0) {
    SetTabIndex(i);
    update();
  }
}

int TCoolTabSetModel::KeyTarget(int qtKey) const {
  const int n = static_cast<int>(FTabs.size());
  if (n == 0) return -1;
  switch (qtKey) {
    case Qt::Key_Left: return FTabIndex > 0 ? FTabIndex - 1 : -1;
    case Qt::Key_Right: return FTabIndex < n - 1 ? FTabIndex + 1 : -1;
    case Qt::Key_Home: return FTabIndex != 0 ? 0 : -1;
    case Qt::Key_End: return FTabIndex != n - 1 ? n - 1 : -1;
    default: return -1;
  }
}

void TCoolTabSet::keyPressEvent(QKeyEvent* e) {
  const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const bool ours = e->key() == Qt::Key_Left || e->key() == Qt::Key_Right || e->key() == Qt::Key_Home || e->key() == Qt::Key_End;
  if (!plain || !ours) {
    QWidget::keyPressEvent(e);
    return;
  }
  const int target = FModel.KeyTarget(e->key());
  if (target >= 0) SetTabIndex(target);
  update();
}

bool TCoolTabSet::ClaimsKey(const QKeyEvent* e) {
  const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  return plain && (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right || e->key() == Qt::Key_Home || e->key() == Qt::Key_End);
}

void TCoolTabSet::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  update();
}

void TCoolTabSet::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  update();
}

void TCoolTabSet::PaintTab(QPainter& p, int index, bool selected) {
  int x = FModel.DrawLeft(index);
  int tw = FModel.TextWidth(index);
  int top = IsTopPosition ? 4 : Space + 1;
  int bottom = IsTopPosition ? height() - Space - 1 : height() - 4;
  QColor start = ToQColor(selected ? SelectedStartColor : UnSelectedStartColor);
  QColor end = ToQColor(selected ? SelectedEndColor : UnSelectedEndColor);
  int rows = std::max(1, bottom - top);
  for (int y = top; y < bottom; ++y) {
    double t = static_cast<double>(y - top) / rows;
    p.setPen(Blend(start, end, t));
    // the slant narrows towards the open edge (the bottom for tabs hanging from the top)
    int k = IsTopPosition ? (y - top) * 5 / rows : 5 - (y - top) * 5 / rows;
    p.drawLine(x + k, y, x + tw + 14 - k, y);
  }
  // two lines along the open edge, blended towards white or black
  if (IsTopPosition) {
    p.setPen(Blend(start, Qt::white, 0.1));
    p.drawLine(x + 6, top, x + tw + 9, top);
    p.setPen(Blend(start, Qt::white, 0.3));
    p.drawLine(x + 6, top + 1, x + tw + 9, top + 1);
  } else {
    p.setPen(Blend(end, Qt::black, 0.1));
    p.drawLine(x + 6, bottom - 1, x + tw + 9, bottom - 1);
    p.setPen(Blend(end, Qt::black, 0.3));
    p.drawLine(x + 6, bottom - 2, x + tw + 9, bottom - 2);
  }
  p.setPen(ToQColor(selected ? SelectedFontColor : UnSelectedFontColor));
  int shift = (selected && !IsTopPosition) ? 0 : 1;
  QRect body(x + 6, top + shift, tw + 4, bottom - top);
  p.drawText(body, Qt::AlignHCenter | Qt::AlignVCenter, ToQ(FModel.Tabs()[static_cast<size_t>(index)]));
  if (!selected && IsTopPosition) {
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(x, height() - 1, x + tw + 14, height() - 1);
  }
  // the focus mark: a dotted frame inside the selected tab's body while the strip has the focus
  if (selected && hasFocus()) {
    QPen pen(ToQColor(SelectedFontColor), 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(FocusMarkRect(index));
  }
}

QRect TCoolTabSet::FocusMarkRect(int index) const {
  if (index < 0 || index >= FModel.VisibleCount()) return QRect();
  const int x = FModel.DrawLeft(index);
  const int top = IsTopPosition ? 4 : Space + 1;
  const int bottom = IsTopPosition ? height() - Space - 1 : height() - 4;
  return QRect(x + 4, top + 2, FModel.TextWidth(index) + 6, std::max(1, bottom - top - 5));
}

void TCoolTabSet::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  if (Gradation) {
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, palette().color(QPalette::Dark));
    g.setColorAt(1, palette().color(QPalette::Button));
    p.fillRect(r, g);
  } else {
    p.fillRect(r, palette().color(QPalette::Window));
  }
  if (Space > 0) {
    QRect band = IsTopPosition ? QRect(0, height() - Space, width(), Space) : QRect(0, 0, width(), Space);
    p.fillRect(band, palette().color(QPalette::Window));
  }
  if (IsTopPosition) {
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, height() - 1, width(), height() - 1);
  }
  p.setFont(font());
  int n = FModel.VisibleCount();
  for (int i = 0; i < n; ++i)
    if (i != FModel.TabIndex()) PaintTab(p, i, false);
  if (FModel.TabIndex() >= 0 && FModel.TabIndex() < n) PaintTab(p, FModel.TabIndex(), true);
  QRect b = OverflowButtonRect();
  if (b.isValid()) {
    p.fillRect(b, palette().color(QPalette::Button));
    p.setPen(QPen(ToQColor(FModel.OverflowCrossColor()), 2));
    QPoint c = b.center();
    p.drawLine(c.x() - 3, c.y() - 3, c.x() + 3, c.y() + 3);
    p.drawLine(c.x() - 3, c.y() + 3, c.x() + 3, c.y() - 3);
  }
}

}  // namespace kaede
