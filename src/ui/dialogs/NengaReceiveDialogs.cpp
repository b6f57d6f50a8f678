#include "NengaReceiveDialogs.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppHost.h"
#include "CommaText.h"
#include "NengaMarks.h"
#include "PersonLists.h"
#include "QtText.h"
#include "Strs.h"

namespace kaede {

namespace {
// More than this many matches: the name is too short to pick from.
constexpr size_t kMostChoices = 12;
}

TNengaReceiveDialog::TNengaReceiveDialog(TPersonList& book, int year, QWidget* parent)
    : QDialog(parent), FBook(book), FYear(year) {
  setWindowTitle(ToQ(SJ("受取入力 ") + std::to_string(year) + SJ("年")));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQ(SJ("届いた年賀状の名前かよみを入れて Enter：受 を記録します")), this));
  FEdit = new QLineEdit(this);
  FEdit->installEventFilter(this);
  layout->addWidget(FEdit);
  FChoices = new QListWidget(this);
  FChoices->installEventFilter(this);
  layout->addWidget(FChoices, 1);
  FAdd = new QPushButton(ToQ(SJ("住所録にない人を追加")), this);
  FAdd->setEnabled(false);
  layout->addWidget(FAdd);
  FLog = new QLabel(this);
  FLog->setWordWrap(true);
  layout->addWidget(FLog);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(FAdd, &QPushButton::clicked, this, [this] { AddNew(); });
  connect(FChoices, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    int i = FChoices->row(item);
    if (i >= 0 && i < static_cast<int>(FFound.size())) Mark(FFound[static_cast<size_t>(i)]);
  });
  resize(520, 340);  // wide enough for the addresses of the names to pick from
}

bool TNengaReceiveDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (watched == FEdit && enter) {
      Enter();
      return true;
    }
    if (watched == FEdit && k->key() == Qt::Key_Down && FChoices->count() > 0) {
      FChoices->setFocus();
      FChoices->setCurrentRow(0);
      return true;
    }
    if (watched == FChoices && enter && FChoices->currentRow() >= 0) {
      Mark(FFound[static_cast<size_t>(FChoices->currentRow())]);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TNengaReceiveDialog::Enter() {
  std::string text = FromQ(FEdit->text());
  FChoices->clear();
  FFound = NengaCandidates(FBook, text, kMostChoices + 1);
  FAdd->setEnabled(!DeleteSpaces(text).empty());
  if (FFound.size() == 1) {
    Mark(FFound[0]);
    return;
  }
  if (FFound.empty()) {
    FLog->setText(ToQ(SJ("「") + text + SJ("」は住所録にありません。追加できます。")));
    return;
  }
  if (FFound.size() > kMostChoices) {
    FFound.clear();
    FLog->setText(ToQ(SJ("「") + text + SJ("」に合う人が多すぎます。もう少し入れてください。")));
    return;
  }
  // the address tells two of one name apart, as the card in the hand does
  for (TPerson* p : FFound) {
    std::string marks = NengaMarkText(NengaMarksOf(*p).Of(FYear));
    FChoices->addItem(ToQ(p->Name() + "  " + p->Yomi() + (marks.empty() ? "" : "  " + marks) + "  " + JoinStr(p->Address().Lines(), " ")));
  }
  FLog->setText(ToQ(std::to_string(FFound.size()) + SJ("人が合います。選んで Enter")));
}

void TNengaReceiveDialog::Mark(TPerson* p) {
  if (FBook.RefuseEditInUse()) return;
  bool changed = MarkNenga(*p, FYear, nmReceived, true);
  if (changed) {
    ++FMarked;
    FBook.SetModified(true);
  }
  FLog->setText(ToQ(p->Name() + (changed ? SJ(" に 受 を記録しました") : SJ(" は記録済みです")) + SJ("（") +
                    std::to_string(FMarked) + SJ("件）")));
  FChoices->clear();
  FFound.clear();
  FAdd->setEnabled(false);
  FEdit->clear();
  FEdit->setFocus();
  if (OnMarked) OnMarked();
}

void TNengaReceiveDialog::AddNew() {
  std::string name = FromQ(FEdit->text());
  if (DeleteSpaces(name).empty() || FBook.RefuseEditInUse()) return;
  TUndoGroup group(FBook.History(), SJ("受取入力の追加"));
  TPerson* p = FBook.AddPerson(EncodeCommaText({name}));
  p->SetUpdated(p->Registered());  // a new entry is updated the day it is registered
  Mark(p);
}

}  // namespace kaede
