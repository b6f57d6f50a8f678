#include "NengaBars.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "NengaMarks.h"
#include "QtText.h"

namespace kaede {

TNengaBar::TNengaBar(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 0, 2, 0);
  layout->setSpacing(2);
  layout->addWidget(new QLabel(ToQ(SJ("年賀状")), this));
  FFilter = new QComboBox(this);
  for (const std::string& c : NengaFilterCaptions()) FFilter->addItem(ToQ(c));
  FFilter->setToolTip(ToQ(SJ("年賀状の年の一覧：タブの一覧をさらに絞ります")));
  layout->addWidget(FFilter);
  FYear = new QSpinBox(this);
  FYear->setRange(kNengaFirstYear, kNengaLastYear);
  FYear->setValue(DefaultCardYear(Today()));
  FYear->setSuffix(ToQ(SJ("年")));
  FYear->setToolTip(ToQ(SJ("年賀状の年")));
  layout->addWidget(FYear);
  FReceive = new QPushButton(ToQ(SJ("受取入力")), this);
  FReceive->setToolTip(ToQ(SJ("届いた年賀状を名前やよみで次々に記録します")));
  layout->addWidget(FReceive);
  // the counts are the list's tool tip (the window shows them under the pane as well): in
  // the tool bar they would push the list itself out of sight
  FSummary = new QLabel(this);
  FSummary->hide();
  connect(FFilter, &QComboBox::currentIndexChanged, this, [this] {
    if (OnChanged) OnChanged();
  });
  connect(FYear, &QSpinBox::valueChanged, this, [this] {
    if (OnChanged) OnChanged();
  });
  connect(FReceive, &QPushButton::clicked, this, [this] {
    if (OnReceive) OnReceive();
  });
}

int TNengaBar::Filter() const { return FFilter->currentIndex(); }
int TNengaBar::CardYear() const { return FYear->value(); }
void TNengaBar::SetFilter(int filter) { FFilter->setCurrentIndex(filter); }
void TNengaBar::SetCardYear(int year) { FYear->setValue(year); }
void TNengaBar::SetSummary(const std::string& text) {
  FSummary->setText(ToQ(text));
  FFilter->setToolTip(ToQ(text));
}
std::string TNengaBar::Summary() const { return FromQ(FSummary->text()); }

}  // namespace kaede
