#include "AddressCheckDialogs.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <set>
#include <tuple>

#include "DialogParts.h"
#include "PersonLists.h"
#include "PostalDatas.h"
#include "QtText.h"
#include "UiErrors.h"

namespace kaede {

// ---- TAddressCheckSession ------------------------------------------------------------------

TStrings TAddressCheckSession::FilterCaptions() {
  TStrings r{SJ("すべて")};
  for (int k = 0; k < ckKindCount; ++k) r.push_back(CheckKindCaption(static_cast<TCheckKind>(k)));
  r.push_back(SJ("重複の可能性"));
  return r;
}

TAddressCheckSession::TAddressCheckSession(TPersonList& book, const TPostalData& data)
    : FBook(book), FChecker(std::make_unique<TAddressChecker>(data)) {
  Refresh();
}

TAddressCheckSession::~TAddressCheckSession() = default;

void TAddressCheckSession::Refresh() {
  FFindings = FChecker->CheckBook(FBook);
  FGroups = FindDuplicates(FBook);
  FStamp = FBook.ChangeStamp();
}

bool TAddressCheckSession::Stale() const { return FBook.ChangeStamp() != FStamp; }

std::vector<TCheckRow> TAddressCheckSession::Rows(int filter) const {
  std::vector<TCheckRow> rows;
  if (filter != kDuplicateRows)
    for (size_t i = 0; i < FFindings.size(); ++i) {
      const TCheckFinding& f = FFindings[i];
      if (filter != kAllRows && filter != f.Kind) continue;
      rows.push_back({false, i, f.Id, f.Name, CheckKindCaption(f.Kind), f.Detail, f.FixText()});
    }
  if (filter == kAllRows || filter == kDuplicateRows)
    for (size_t i = 0; i < FGroups.size(); ++i) {
      TStrings names;
      for (int32_t id : FGroups[i].Ids)
        if (TDataItem* p = FBook.ItemOfId(id)) names.push_back(static_cast<TPerson*>(p)->Name());
      rows.push_back({true, i, FGroups[i].Ids.front(), JoinStr(names, SJ("、")), SJ("重複の可能性"),
                      DuplicateFactsText(FGroups[i].Facts) + SJ("が一致"), SJ("統合できます")});
    }
  return rows;
}

int TAddressCheckSession::Fix(const std::vector<TCheckRow>& rows) {
  std::vector<TCheckFinding> chosen;
  for (const TCheckRow& r : rows)
    if (!r.Duplicate && r.Index < FFindings.size()) chosen.push_back(FFindings[r.Index]);
  int changed = ApplyCheckFixes(FBook, chosen);
  Refresh();
  return changed;
}

TPerson* TAddressCheckSession::Merge(size_t group, const TMergeChoice& choice) {
  if (group >= FGroups.size()) return nullptr;
  TPerson* kept = MergePersons(FBook, FGroups[group].Ids, choice);
  Refresh();
  return kept;
}

// ---- TAddressCheckDialog -------------------------------------------------------------------

TAddressCheckDialog::TAddressCheckDialog(TAddressCheckSession& session, QWidget* parent)
    : QDialog(parent), FSession(session) {
  setWindowTitle(ToQ(SJ("住所チェック")));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(ToQ(SJ("表示(&V):")), this));
  FFilter = new QComboBox(this);
  for (const std::string& c : TAddressCheckSession::FilterCaptions()) FFilter->addItem(ToQ(c));
  top->addWidget(FFilter, 1);
  layout->addLayout(top);
  FList = new QTreeWidget(this);
  FList->setRootIsDecorated(false);
  FList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FList->setHeaderLabels({ToQ(SJ("項目")), ToQ(SJ("内容")), ToQ(SJ("詳細")), ToQ(SJ("修正案"))});
  FList->header()->setStretchLastSection(false);
  FList->header()->setSectionResizeMode(2, QHeaderView::Stretch);
  // the kinds whole (the longest, 郵便番号と住所が合わない, at the list's font); a detail
  // longer than its column is shown whole as the row's tip
  const QFontMetrics metrics(FList->font());
  int kindWidth = 0;
  for (const std::string& c : TAddressCheckSession::FilterCaptions()) kindWidth = std::max(kindWidth, metrics.horizontalAdvance(ToQ(c)));
  FList->setColumnWidth(0, 150);
  FList->setColumnWidth(1, kindWidth + 16);
  FList->setColumnWidth(3, 170);
  layout->addWidget(FList, 1);
  FCounts = new QLabel(this);
  layout->addWidget(FCounts);
  auto* buttons = new QHBoxLayout;
  FFix = new QPushButton(ToQ(SJ("修正(&F)")), this);
  FMerge = new QPushButton(ToQ(SJ("統合(&M)...")), this);
  auto* close = new QPushButton(ToQ(SJ("閉じる")), this);
  buttons->addWidget(FFix);
  buttons->addWidget(FMerge);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(FFilter, &QComboBox::currentIndexChanged, this, [this] { Fill(); });
  connect(FList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(FList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    size_t row = static_cast<size_t>(FList->indexOfTopLevelItem(item));
    if (row < FRows.size() && OnSelectEntry) OnSelectEntry(FRows[row].Id);
  });
  connect(FFix, &QPushButton::clicked, this, [this] { FixSelected(); });
  connect(FMerge, &QPushButton::clicked, this, [this] { MergeSelected(); });
  resize(900, 420);
  Fill();
  auto* follow = new QTimer(this);
  follow->setInterval(400);
  connect(follow, &QTimer::timeout, this, [this] {
    // not while a question of its own or of the window is open
    if (isVisible() && !QApplication::activeModalWidget()) Follow();
  });
  follow->start();
}

TAddressCheckDialog::TAddressCheckDialog(std::unique_ptr<TAddressCheckSession> session, QWidget* parent)
    : TAddressCheckDialog(*session, parent) {
  FOwned = std::move(session);
}

TAddressCheckDialog::~TAddressCheckDialog() = default;

void TAddressCheckDialog::Follow() {
  if (!FSession.Stale()) return;
  ShowErrors([&] { FSession.Refresh(); });
  Fill();
}

void TAddressCheckDialog::Fill() {
  // the rows chosen stay chosen when the list is made anew: a row is its entry and its kind
  std::set<std::tuple<bool, int32_t, std::string>> chosen;
  for (const TCheckRow& r : SelectedRows()) chosen.insert({r.Duplicate, r.Id, r.Kind});
  const int top = FList->topLevelItemCount() > 0 ? FList->indexOfTopLevelItem(FList->itemAt(0, 0)) : -1;
  FRows = FSession.Rows(FFilter->currentIndex() - 1);
  FList->clear();
  for (const TCheckRow& r : FRows) {
    auto* item = new QTreeWidgetItem(FList, {ToQ(r.Entry), ToQ(r.Kind), ToQ(r.Detail), ToQ(r.Fix)});
    for (int c = 0; c < 4; ++c) item->setToolTip(c, item->text(c));
    if (chosen.count({r.Duplicate, r.Id, r.Kind})) item->setSelected(true);
  }
  if (top > 0 && top < FList->topLevelItemCount()) FList->scrollToItem(FList->topLevelItem(top), QAbstractItemView::PositionAtTop);
  size_t fixes = 0;
  std::vector<size_t> perKind(ckKindCount, 0);
  for (const TCheckFinding& f : FSession.Findings()) {
    fixes += f.HasFix();
    ++perKind[f.Kind];
  }
  // each kind with its count, so that the filter shows where there is something to see
  const TStrings captions = TAddressCheckSession::FilterCaptions();
  for (int i = 1; i < FFilter->count() && i < static_cast<int>(captions.size()); ++i) {
    size_t n = i - 1 < ckKindCount ? perKind[static_cast<size_t>(i - 1)] : FSession.Groups().size();
    FFilter->setItemText(i, ToQ(captions[static_cast<size_t>(i)] + SJ("（") + std::to_string(n) + SJ("）")));
  }
  FCounts->setText(ToQ(SJ("見つかったこと: ") + std::to_string(FSession.Findings().size()) + SJ("件（修正案のあるもの ") +
                       std::to_string(fixes) + SJ("件）、重複の可能性: ") + std::to_string(FSession.Groups().size()) +
                       SJ("組")));
  UpdateButtons();
}

std::vector<TCheckRow> TAddressCheckDialog::SelectedRows() const {
  std::vector<TCheckRow> rows;
  for (int i = 0; i < FList->topLevelItemCount(); ++i)
    if (FList->topLevelItem(i)->isSelected() && static_cast<size_t>(i) < FRows.size()) rows.push_back(FRows[static_cast<size_t>(i)]);
  return rows;
}

bool TAddressCheckDialog::SelectRowsOf(const QString& entry) {
  bool any = false;
  FList->clearSelection();
  for (int i = 0; i < FList->topLevelItemCount(); ++i)
    if (FList->topLevelItem(i)->text(0) == entry) {
      FList->topLevelItem(i)->setSelected(true);
      any = true;
    }
  return any;
}

void TAddressCheckDialog::UpdateButtons() {
  bool fix = false;
  int groups = 0;
  for (const TCheckRow& r : SelectedRows()) {
    fix |= !r.Duplicate && !r.Fix.empty();
    groups += r.Duplicate;
  }
  FFix->setEnabled(fix);
  FMerge->setEnabled(groups == 1);
}

void TAddressCheckDialog::FixSelected() {
  if (OnBookChanging) OnBookChanging();
  Follow();  // what was typed may have changed what the rows say
  ShowErrors([&] {
    if (FSession.Book().RefuseEditInUse()) return;
    if (FSession.Fix(SelectedRows()) > 0 && OnBookChanged) OnBookChanged();
  });
  Fill();
}

void TAddressCheckDialog::MergeSelected() {
  if (OnBookChanging) OnBookChanging();
  Follow();
  for (const TCheckRow& r : SelectedRows()) {
    if (!r.Duplicate) continue;
    TMergeDialog merge(FSession.Book(), FSession.Groups()[r.Index], this);
    if (merge.exec() != QDialog::Accepted) return;
    // the book cannot change while the merge is asked: the group is the one chosen
    TPerson* kept = nullptr;
    ShowErrors([&] {
      if (FSession.Book().RefuseEditInUse()) return;
      kept = FSession.Merge(r.Index, merge.Choice());
      if (kept && OnBookChanged) OnBookChanged();
    });
    // the window shows the entry that stays
    if (kept && OnSelectEntry) OnSelectEntry(kept->Id());
    break;
  }
  Fill();
}

// ---- TMergeDialog --------------------------------------------------------------------------

TMergeDialog::TMergeDialog(TPersonList& book, const TDuplicateGroup& group, QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("統合")));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQ(SJ("一つにまとめる項目の名前・読み・住所を選んでください。\n電話、メール、分類、関係、"
                                      "備考、連名、年賀状の記録はすべての項目のものが一つずつ残ります。")),
                               this));
  auto* form = new QFormLayout;
  FName = new QComboBox(this);
  FYomi = new QComboBox(this);
  FAddress = new QComboBox(this);
  // the entry with the most in it is the one offered first
  size_t best = 0, bestSize = 0;
  for (int32_t id : group.Ids) {
    auto* p = static_cast<TPerson*>(book.ItemOfId(id));
    if (!p) continue;
    if (FIds.empty() || p->GetText().size() > bestSize) best = FIds.size(), bestSize = p->GetText().size();
    FIds.push_back(id);
    FName->addItem(ToQ(p->Name()));
    FYomi->addItem(ToQ(p->Yomi().empty() ? SJ("（読みなし）") : p->Yomi()));
    std::string address = p->Postal() + " " + p->AddressText();
    FAddress->addItem(ToQ(p->AddressText().empty() && p->Postal().empty() ? SJ("（住所なし）") : address));
  }
  for (QComboBox* box : {FName, FYomi, FAddress}) box->setCurrentIndex(static_cast<int>(best));
  form->addRow(ToQ(SJ("名前(&N):")), FName);
  form->addRow(ToQ(SJ("読み(&Y):")), FYomi);
  form->addRow(ToQ(SJ("住所(&A):")), FAddress);
  layout->addLayout(form);
  layout->addWidget(MakeOkCancel(this));
  resize(460, 200);
}

TMergeChoice TMergeDialog::Choice() const {
  auto id = [&](QComboBox* box) {
    int i = box->currentIndex();
    return i >= 0 && static_cast<size_t>(i) < FIds.size() ? FIds[static_cast<size_t>(i)] : 0;
  };
  return {id(FName), id(FYomi), id(FAddress)};
}

}  // namespace kaede
