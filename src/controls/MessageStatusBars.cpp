#include "MessageStatusBars.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "Cp932.h"
#include "QtText.h"

namespace kaede {

// ---- TStatusBarModel -----------------------------------------------------------------------

bool TStatusBarModel::SetMes(const std::string& text) {
  if (text == FMes) return false;
  FMes = text.empty() ? DefaultMes : text;
  return !text.empty();
}

bool TStatusBarModel::TimerFired() {
  FMes = DefaultMes;
  return FAutoSave;
}

bool TStatusBarModel::SetModified(bool v) {
  FModified = v;
  if (!v) return SetMes(DefaultMes);
  if (!FAutoSave) return SetMes(SJ("修正が加えられました。"));
  std::string t = SJ("自動保存までの待ち時間は ");
  if (SaveTime >= 60) t += std::to_string(SaveTime / 60) + SJ("分");
  if (SaveTime % 60 != 0) t += std::to_string(SaveTime % 60) + SJ("秒");
  return SetMes(t + SJ("です。"));
}

void TStatusBarModel::Layout(int width) {
  if (Panels.empty()) return;
  Panels.back().Width = 18;
  Panels[0].Width = 2 + 20 * static_cast<int>(StateIcons.size());
  if (Panels.size() < 2) return;
  int others = 0;
  for (size_t i = 2; i < Panels.size(); ++i) others += Panels[i].Width;
  Panels[1].Width = std::max(0, width - Panels[0].Width - others);
}

bool TStatusBarModel::SetPanelText(int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(Panels.size())) return false;
  TStatusPanel& p = Panels[static_cast<size_t>(index)];
  if (p.Text == text) return false;
  p.Text = text;
  return true;
}

// ---- TMessageStatusBar ---------------------------------------------------------------------

TMessageStatusBar::TMessageStatusBar(QWidget* parent) : QWidget(parent) {
  setFixedHeight(20);
  FModel.Panels.resize(3);
  FTimer.setInterval(7000);
  FTimer.setSingleShot(false);
  connect(&FTimer, &QTimer::timeout, this, [this] {
    if (!FModel.TimerFired()) FTimer.stop();
    update();
  });
}

void TMessageStatusBar::SetPanelCount(int count) {
  FModel.Panels.resize(static_cast<size_t>(std::max(2, count)));
  FModel.Layout(width());
  update();
}

void TMessageStatusBar::SetMes(const std::string& text) {
  if (FModel.SetMes(text)) FTimer.start();
  update();
}

void TMessageStatusBar::SetDefaultMes(const std::string& text) {
  bool showing = FModel.Mes() == FModel.DefaultMes;
  FModel.DefaultMes = text;
  if (showing) FModel.SetMes(std::string());
  update();
}

void TMessageStatusBar::SetModified(bool v) {
  if (FModel.SetModified(v)) FTimer.start();
  update();
}

void TMessageStatusBar::SetPanelText(int index, const std::string& text) {
  if (FModel.SetPanelText(index, text)) update(PanelRect(index));
}

void TMessageStatusBar::FitPanel(int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(FModel.Panels.size())) return;
  QFontMetrics fm(MakeFont(SJ("ＭＳ ゴシック"), font().pointSizeF()));
  TStatusPanel& p = FModel.Panels[static_cast<size_t>(index)];
  int w = fm.horizontalAdvance(ToQ(text)) + (p.ImageIndex >= 0 ? 36 : 16);
  if (w != p.Width) {
    p.Width = w;
    FModel.Layout(width());
    update();
  }
}

QRect TMessageStatusBar::PanelRect(int index) const {
  int x = 0;
  for (int i = 0; i < index && i < static_cast<int>(FModel.Panels.size()); ++i) x += FModel.Panels[static_cast<size_t>(i)].Width;
  if (index < 0 || index >= static_cast<int>(FModel.Panels.size())) return QRect();
  return QRect(x, 0, FModel.Panels[static_cast<size_t>(index)].Width, height());
}

void TMessageStatusBar::resizeEvent(QResizeEvent*) { FModel.Layout(width()); }

void TMessageStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QColor bar = palette().color(QPalette::Window);
  p.fillRect(rect(), bar);
  p.setRenderHint(QPainter::Antialiasing);
  // panel 1: the message
  QRect m = PanelRect(1);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(m.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, ToQ(FModel.Mes()));
  // labelled panels
  QFont label = MakeFont(SJ("ＭＳ ゴシック"), font().pointSizeF());
  for (int i = 2; i < static_cast<int>(FModel.Panels.size()); ++i) {
    const TStatusPanel& panel = FModel.Panels[static_cast<size_t>(i)];
    if (panel.Text.empty()) continue;
    QRect r = PanelRect(i);
    QRectF box(r.left() + 2, 3, r.width() - 4, height() - 4);
    QColor back = ToQColor(panel.BackColor);
    QColor edge((back.red() + bar.red()) / 2, (back.green() + bar.green()) / 2, (back.blue() + bar.blue()) / 2);
    QPainterPath path;
    path.addRoundedRect(box, 3, 3);
    p.fillPath(path, back);
    p.setPen(edge);
    p.drawPath(path);
    p.setFont(label);
    p.setPen(ToQColor(panel.TextColor));
    QString t = ToQ(panel.Text);
    int tw = QFontMetrics(label).horizontalAdvance(t);
    int x = panel.Alignment == 1 ? r.right() - tw - 4 : panel.Alignment == 2 ? r.left() + (r.width() - tw) / 2 : r.left() + 8;
    p.drawText(QRect(x, 0, tw + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, t);
  }
}

}  // namespace kaede
