#include "BaseStyleFrames.h"

#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <atomic>

#include "CommaText.h"
#include "QtText.h"
#include "ValueFrames.h"

namespace kaede {

namespace {
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

// ---- TBaseFrame ----------------------------------------------------------------------------

TBaseFrame::TBaseFrame(QWidget* parent) : QWidget(parent) {
  static std::atomic<int> counter{0};
  setObjectName(QString("Frame%1").arg(++counter));
  FClose = new QToolButton(this);
  FClose->setText(Q("×"));
  FClose->setToolTip(Q("閉じる"));
  FClose->setAutoRaise(true);
  connect(FClose, &QToolButton::clicked, this, [this] { hide(); });
}

void TBaseFrame::setVisible(bool visible) {
  const bool change = visible == isHidden();
  if (change && OnVisibleChanging) OnVisibleChanging();
  QWidget::setVisible(visible);
  if (change && parentWidget() && OnVisibleChanged) OnVisibleChanged();
}

void TBaseFrame::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (GradationBackground) {
    QLinearGradient g(rect().topLeft(), rect().topRight());
    g.setColorAt(0, ToQColor(GradationStartColor));
    g.setColorAt(1, ToQColor(GradationEndColor));
    p.fillRect(rect(), g);
  } else {
    p.fillRect(rect(), palette().color(QPalette::Window));
  }
}

// ---- TBaseStyleFrame -----------------------------------------------------------------------

TBaseStyleFrame::TBaseStyleFrame(TStyleFrameKind kind, IStyleDialogs& dialogs, QWidget* parent)
    : TBaseFrame(parent), FSettings(std::make_unique<TStyleSettings>(kind, dialogs)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* tools = new QWidget(this);
  auto* toolRow = new QHBoxLayout(tools);
  toolRow->setContentsMargins(0, 0, 0, 0);
  toolRow->setSpacing(2);
  FDefault = new QToolButton(tools);
  FDefault->setText(Q("既定"));
  FDefault->setToolTip(Q("デフォルトスタイル"));
  FDefault->setPopupMode(QToolButton::MenuButtonPopup);
  FRestore = new QToolButton(tools);
  FRestore->setText(Q("元に戻す"));
  FRestore->setToolTip(Q("元に戻す"));
  FPrint = new QToolButton(tools);
  FPrint->setText(Q("印刷用"));
  FPrint->setToolTip(Q("印刷に適したスタイル"));
  FPrint->setEnabled(false);
  // buttons with their faces, so that a disabled one still reads on the gradient
  for (QToolButton* b : {FDefault, FRestore, FPrint}) toolRow->addWidget(b);
  toolRow->addStretch();
  layout->addWidget(tools);
  // the title panel, with the close button on it
  auto* title = new QWidget(this);
  title->setAutoFillBackground(true);
  QPalette tp = title->palette();
  tp.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  title->setPalette(tp);
  auto* titleRow = new QHBoxLayout(title);
  titleRow->setContentsMargins(2, 2, 2, 2);
  FTitle = new QLabel(Q(" スタイルの設定"), title);
  FTitle->setStyleSheet("color: white; font-weight: bold;");
  titleRow->addWidget(FTitle, 1);
  FClose->setParent(title);
  FClose->setStyleSheet("color: white;");
  titleRow->addWidget(FClose);
  layout->addWidget(title);
  FTree = new QTreeWidget(this);
  FTree->setHeaderHidden(true);
  FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(FTree, 1);
  FValue = new TValueFrame(FSettings->Value(), this);
  layout->addWidget(FValue);
  BuildTree();

  connect(FTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    const QVariant no = item ? item->data(0, Qt::UserRole) : QVariant();
    FSettings->SelectItem(no.isValid() ? no.toInt() : -1);
  });
  connect(FDefault, &QToolButton::clicked, this, [this] {
    BuildDefaultMenu();
    FSettings->ChooseDefault(0);
  });
  connect(FRestore, &QToolButton::clicked, this, [this] { FSettings->Restore(); });
  connect(FPrint, &QToolButton::clicked, this, [this] { FSettings->MakePrintable(); });
  FSettings->OnRefresh = [this] { Refresh(); };
  BuildDefaultMenu();
  FSettings->SelectItem(-1);
  setMinimumWidth(280);
}

TBaseStyleFrame::~TBaseStyleFrame() {
  FSettings->OnRefresh = nullptr;
  delete FValue;  // while the editor it shows still exists
}

void TBaseStyleFrame::BuildDefaultMenu() {
  if (FDefaultMenu) return;
  FDefaultMenu = new QMenu(this);
  TStrings names = DecodeCommaText(FSettings->DefaultNames());
  for (size_t i = 0; i < names.size(); ++i) {
    const int index = static_cast<int>(i);
    FDefaultMenu->addAction(ToQ(names[i]), this, [this, index] { FSettings->ChooseDefault(index); });
  }
  FDefault->setMenu(FDefaultMenu);
}

void TBaseStyleFrame::BuildTree() {
  FTree->clear();
  for (const auto& c : FSettings->Tree()) {
    auto* cat = new QTreeWidgetItem(FTree, QStringList(ToQ(c.Caption)));
    for (int no : c.Items) {
      auto* item = new QTreeWidgetItem(cat, QStringList(ToQ(FSettings->Item(no).Info.Name)));
      item->setData(0, Qt::UserRole, no);
    }
  }
  FTree->expandAll();
}

QTreeWidgetItem* TBaseStyleFrame::Node(int item) const {
  for (int c = 0; c < FTree->topLevelItemCount(); ++c) {
    QTreeWidgetItem* cat = FTree->topLevelItem(c);
    for (int i = 0; i < cat->childCount(); ++i)
      if (cat->child(i)->data(0, Qt::UserRole).toInt() == item) return cat->child(i);
  }
  return nullptr;
}

void TBaseStyleFrame::SelectItem(int item) {
  if (QTreeWidgetItem* node = Node(item)) FTree->setCurrentItem(node);
}

void TBaseStyleFrame::Refresh() { FPrint->setEnabled(FSettings->PrintStyleEnabled()); }

void TBaseStyleFrame::showEvent(QShowEvent* e) {
  TBaseFrame::showEvent(e);
  FTree->setFocus();
}

// ---- The two panels of the print area ------------------------------------------------------

TTableStyleFrame::TTableStyleFrame(IStyleDialogs& dialogs, QWidget* parent) : TBaseStyleFrame(sfTable, dialogs, parent) {
  GradationStartColor = 8421504;
}

TPostStyleFrame::TPostStyleFrame(IStyleDialogs& dialogs, QWidget* parent) : TBaseStyleFrame(sfPost, dialogs, parent) {}

}  // namespace kaede
