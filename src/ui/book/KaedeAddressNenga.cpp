// The main window's New Year cards: the card list beside the tabs, the entry's marks below the
// editing pane, the counts of the card year beside the list, marking what was printed, and
// 受取入力.
#include <algorithm>

#include <QHBoxLayout>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "AppHost.h"
#include "CoolTabSets.h"
#include "DataListFrames.h"
#include "KaedeAddressMains.h"
#include "MessageStatusBars.h"
#include "NengaBars.h"
#include "NengaMarks.h"
#include "NengaMarksEdits.h"
#include "NengaReceiveDialogs.h"
#include "PersonFrames.h"
#include "PrintAreas.h"

namespace kaede {

QWidget* TKaedeAddressMain::BuildNenga(QWidget* pane) {
  // the card list and year at the end of the tool bar, right above the tabs they narrow (a
  // tool bar folds what does not fit, so the window keeps the narrow widths it allows)
  FNengaBar = new TNengaBar(this);
  FNengaBar->OnChanged = [this] { NengaListChanged(); };
  FNengaBar->OnReceive = [this] { ReceiveCards(); };

  auto* box = new QWidget(pane->parentWidget());
  auto* boxLayout = new QVBoxLayout(box);
  boxLayout->setContentsMargins(0, 0, 0, 0);
  boxLayout->setSpacing(0);
  pane->setParent(box);
  boxLayout->addWidget(pane, 1);
  FNengaEdit = new TNengaMarksEdit(box);
  FNengaEdit->setFixedHeight(130);
  FNengaEdit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  boxLayout->addWidget(FNengaEdit, 0);
  FNengaEdit->OnToggle = [this](int year, uint8_t mark, bool on) { MarkFromPane(year, mark, on); };
  return box;
}

void TKaedeAddressMain::NengaListChanged() {
  FNengaMarkedId = 0;
  if (FEntries) FEntries->CompleteEdit();
  FController->Book().SetNengaFilter(FNengaBar->Filter(), FNengaBar->CardYear());
  // the list narrows whatever tab is chosen
  FController->TabChanged(FController->TabIndex());
}

void TKaedeAddressMain::RefilterNenga() {
  FNengaMarkedId = 0;
  TPersonList& book = FController->Book();
  if (book.NengaFilter() == 0) return;
  if (FEntries) FEntries->CompleteEdit();
  auto* p = static_cast<TPerson*>(FController->ListFrame().Selected());
  const int32_t id = p ? p->Id() : 0;
  const int row = FController->ListFrame().SelectedIndex();
  FController->TabChanged(FController->TabIndex());
  int at = id ? book.IndexOfId(id) : -1;
  // an entry that left the list: the one that took its place
  if (at < 0 && book.Count() > 0) at = std::clamp(row, 0, book.Count() - 1);
  if (at >= 0) FController->ListFrame().SelectIndex(at);
}

void TKaedeAddressMain::RefilterNengaLater() {
  // after the selection's own handling has finished
  QTimer::singleShot(0, this, [this] {
    if (FNengaMarkedId != 0) RefilterNenga();
  });
}

void TKaedeAddressMain::RefreshNenga() {
  if (!FNengaEdit || !FController) return;
  TPersonList& book = FController->Book();
  const int year = FNengaBar->CardYear();
  auto* p = static_cast<TPerson*>(FController->ListFrame().Selected());
  if (FNengaMarkedId != 0 && (!p || p->Id() != FNengaMarkedId)) RefilterNengaLater();
  if (p) {
    TNengaMarks marks = NengaMarksOf(*p);
    FNengaEdit->ShowMarks(&marks, year);
  } else {
    FNengaEdit->ShowMarks(nullptr, year);
  }
  // short, for the status bar: 未送付 12 送 30 受 25 受のみ 3 喪 2
  TNengaSummary n = SummarizeNenga(book, year);
  std::string summary = SJ("未送付 ") + std::to_string(n.ToSend) + SJ(" 送 ") + std::to_string(n.Sent) + SJ(" 受 ") +
                        std::to_string(n.Received) + SJ(" 受のみ ") + std::to_string(n.ReceivedOnly) + SJ(" 喪 ") +
                        std::to_string(n.Mourning);
  FNengaBar->SetSummary(summary);
  FNengaEdit->SetSummary(summary);
}

void TKaedeAddressMain::MarkFromPane(int year, uint8_t mark, bool on) {
  TPersonList& book = FController->Book();
  auto* p = static_cast<TPerson*>(FController->ListFrame().Selected());
  if (!p || book.RefuseEditInUse()) {
    RefreshNenga();
    return;
  }
  // what is typed in the pane goes to the book first, so that the mark is a step of its own
  FEntries->CompleteEdit();
  if (MarkNenga(*p, year, mark, on)) {
    // the pane's working copy carries the marks on, so that its next write keeps them
    TStrings remarks = p->Remarks().Lines();
    FPersonFrame->Editor().Person().SetRemarks(&remarks);
    book.SetModified(true);
    FPersonFrame->Editor().SetEdited(true);
    FController->SaveBook();
    if (book.NengaFilter() != 0) FNengaMarkedId = p->Id();
  }
  UpdateActions();
}

void TKaedeAddressMain::OfferMarkPrinted(const std::vector<std::pair<int, int>>& entries) {
  TPersonList& book = FController->Book();
  const int year = FNengaBar->CardYear();
  std::vector<TPerson*> printed;
  for (auto [first, last] : entries)
    for (int i = first; i <= last && i < book.Count(); ++i) printed.push_back(book.Persons(i));
  if (printed.empty() || book.InUse()) return;
  if (!AppHost().Confirm(std::to_string(printed.size()) + SJ("件を印刷しました。") + std::to_string(year) +
                         SJ("年の年賀状を「送」にしますか？")))
    return;
  if (FEntries) FEntries->CompleteEdit();
  if (MarkNengaEntries(book, printed, year, nmSent, true) > 0) {
    auto* p = static_cast<TPerson*>(FController->ListFrame().Selected());
    if (p) {
      TStrings remarks = p->Remarks().Lines();
      FPersonFrame->Editor().Person().SetRemarks(&remarks);
    }
    FPersonFrame->Editor().SetEdited(true);
    FController->SaveBook();
    // printed again, 未送付 would give the same cards once more
    RefilterNenga();
  }
  UpdateActions();
}

void TKaedeAddressMain::ReceiveCards() {
  TPersonList& book = FController->Book();
  if (book.RefuseEditInUse()) return;
  if (FEntries) FEntries->CompleteEdit();
  const int before = book.AllCount();
  TNengaReceiveDialog dialog(book, FNengaBar->CardYear(), this);
  dialog.OnMarked = [this] { RefreshNenga(); };
  if (RunReceiveDialog) RunReceiveDialog(dialog);
  else dialog.exec();
  if (dialog.Marked() == 0 && book.AllCount() == before) return;
  // the pane shows the book's entry again (its marks changed), and the book is saved
  FController->TabChanged(FController->TabIndex());
  if (auto* p = static_cast<TPerson*>(FController->ListFrame().Selected())) FPersonFrame->Editor().SetPerson(p);
  FPersonFrame->Editor().SetEdited(true);
  FController->SaveBook();
  UpdateActions();
}

}  // namespace kaede
