#include "NengaMarksEdits.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "QtText.h"

namespace kaede {

namespace {
const uint8_t kMarks[] = {nmSent, nmReceived, nmMourning, nmWinter, nmStopped};
}

TNengaMarksEdit::TNengaMarksEdit(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(22, 0, 4, 4);
  layout->setSpacing(2);
  auto* top = new QHBoxLayout();
  FCaption = new QLabel(ToQ(SJ("年賀状")), this);
  top->addWidget(FCaption);
  top->addStretch(1);
  FYear = new QSpinBox(this);
  FYear->setRange(kNengaFirstYear, kNengaLastYear);
  FYear->setToolTip(ToQ(SJ("この年の行を加えます")));
  auto* add = new QPushButton(ToQ(SJ("年を表示")), this);
  top->addWidget(FYear);
  top->addWidget(add);
  layout->addLayout(top);
  FSummary = new QLabel(this);
  FSummary->setWordWrap(true);
  FSummary->setVisible(false);
  layout->addWidget(FSummary);
  FGrid = new QTableWidget(0, 5, this);
  QStringList heads;
  for (uint8_t m : kMarks) heads << ToQ(NengaMarkText(m));
  FGrid->setHorizontalHeaderLabels(heads);
  FGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  FGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FGrid->verticalHeader()->setDefaultSectionSize(20);
  FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  // the arrows move between the cells; Tab goes on to the next control instead of walking
  // every cell, where it would never leave the grid
  FGrid->setTabKeyNavigation(false);
  FGrid->setToolTip(ToQ(SJ("送: 出した　受: 届いた　喪: 喪中　寒: 寒中見舞い　止: 年賀状じまい（この年から）")));
  layout->addWidget(FGrid, 1);

  connect(add, &QPushButton::clicked, this, [this] {
    int y = FYear->value();
    if (RowOfYear(y) < 0) FExtraYears.push_back(y);
    Fill();
  });
  connect(FGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (FFilling || !FEnabled) return;
    int year = FGrid->verticalHeaderItem(item->row())->text().toInt();
    uint8_t mark = kMarks[item->column()];
    bool on = item->checkState() == Qt::Checked;
    // the book's answer comes back through ShowMarks
    if (OnToggle) OnToggle(year, mark, on);
  });
  ShowMarks(nullptr, DefaultCardYear(Today()));
}

void TNengaMarksEdit::ShowMarks(const TNengaMarks* marks, int cardYear) {
  bool sameEntry = FEnabled && marks && FCardYear == cardYear;
  FEnabled = marks != nullptr;
  FMarks = marks ? *marks : TNengaMarks();
  if (FCardYear != cardYear) FYear->setValue(cardYear);
  FCardYear = cardYear;
  if (!sameEntry) FExtraYears.clear();
  Fill();
}

void TNengaMarksEdit::Fill() {
  FFilling = true;
  std::vector<int> years = {FCardYear, FCardYear - 1};
  for (const auto& [y, m] : FMarks.Years()) years.push_back(y);
  years.insert(years.end(), FExtraYears.begin(), FExtraYears.end());
  std::sort(years.begin(), years.end(), std::greater<int>());
  years.erase(std::unique(years.begin(), years.end()), years.end());
  FGrid->setRowCount(static_cast<int>(years.size()));
  for (int r = 0; r < static_cast<int>(years.size()); ++r) {
    int y = years[static_cast<size_t>(r)];
    auto* head = new QTableWidgetItem(QString::number(y));
    QFont f = head->font();
    f.setBold(y == FCardYear);
    head->setFont(f);
    FGrid->setVerticalHeaderItem(r, head);
    uint8_t m = FMarks.Of(y);
    for (int c = 0; c < 5; ++c) {
      auto* cell = new QTableWidgetItem();
      cell->setFlags(FEnabled ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable : Qt::NoItemFlags);
      cell->setCheckState(m & kMarks[c] ? Qt::Checked : Qt::Unchecked);
      // a year after a 止 is out of the lists: shown greyed
      if (FMarks.StoppedBy(y) && !(m & nmStopped)) cell->setBackground(palette().window());
      FGrid->setItem(r, c, cell);
    }
  }
  FGrid->setEnabled(FEnabled);
  FFilling = false;
}

void TNengaMarksEdit::SetSummary(const std::string& text) {
  FSummary->setText(ToQ(std::to_string(FCardYear) + SJ("年：") + text));
  FSummary->setVisible(!text.empty());
}

int TNengaMarksEdit::RowOfYear(int year) const {
  for (int r = 0; r < FGrid->rowCount(); ++r)
    if (FGrid->verticalHeaderItem(r) && FGrid->verticalHeaderItem(r)->text().toInt() == year) return r;
  return -1;
}

int TNengaMarksEdit::ColumnOfMark(uint8_t mark) {
  for (int c = 0; c < 5; ++c)
    if (kMarks[c] == mark) return c;
  return -1;
}

}  // namespace kaede
