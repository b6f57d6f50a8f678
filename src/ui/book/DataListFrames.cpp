#include "DataListFrames.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

#include "Cp932.h"
#include "QtText.h"

namespace kaede {

// ---- TDataListFrame ------------------------------------------------------------------------

TDataListFrame::TDataListFrame(std::unique_ptr<TDataList> list, IDataListView* view)
    : FList(std::move(list)), FView(view) {
  FList->OnUpdated = [this](TDataList*) { Reloaded(); };
  FList->OnItemChanging = [this](TDataItem*) { ItemChanging(); };
  FList->OnItemChanged = [this](TDataItem* item) { ItemChanged(item); };
  FList->OnFilter = [this](TDataList*) { Filtered(); };
  FList->OnSort = [this](TDataList*) { Sorted(); };
  FView->SetRowCount(FList->Count());
}

TDataListFrame::~TDataListFrame() {
  FList->OnUpdated = nullptr;
  FList->OnItemChanging = nullptr;
  FList->OnItemChanged = nullptr;
  FList->OnFilter = nullptr;
  FList->OnSort = nullptr;
}

void TDataListFrame::Reloaded() {
  FView->SetRowCount(FList->Count());
  FView->SelectRow(FList->Count() > 0 ? 0 : -1);
  Raise(OnIndexChange);
  Raise(OnSetingDone);
}

void TDataListFrame::ItemChanging() {
  FChangingCount = FView->RowCount();
  Raise(OnChanging);
}

void TDataListFrame::ItemChanged(TDataItem* item) {
  int row = FView->SelectedRow();
  if (FList->Count() != FChangingCount || FList->Count() != FView->RowCount()) FView->SetRowCount(FList->Count());
  FView->SelectRow(row);
  if (item) {
    // an edited entry that moved by sorting stays selected
    int at = FList->IndexOfId(item->Id());
    if (at >= 0) row = at;
  }
  if (row >= FList->Count()) row = FList->Count() - 1;
  FView->SelectRow(row);
  Raise(OnIndexChange);
  Raise(OnChange);
}

void TDataListFrame::Filtered() {
  FView->SetRowCount(FList->Count());
  FView->SelectRow(FList->Count() > 0 ? 0 : -1);
  Raise(OnIndexChange);
  Raise(OnFindedAll);
}

void TDataListFrame::Sorted() {
  FView->SetRowCount(FList->Count());
  FView->SelectRow(FList->Count() > 0 ? 0 : -1);
  Raise(OnIndexChange);
}

void TDataListFrame::SetSelected(const TDataItem* source) { FList->SetItem(SelectedIndex(), source); }

void TDataListFrame::AssignList(const TDataList* source) {
  if (source) FList->Assign(source);
}

void TDataListFrame::SelectIndex(int index) {
  if (index > FList->Count() - 1) index = FList->Count() - 1;
  FView->SelectRow(index < 0 ? -1 : index);
  Raise(OnIndexChange);
}

void TDataListFrame::SetFindOption(int option) {
  if (option == FFindOption) return;
  FFindOption = option;
  ApplyFind(FView->FindText());
}

void TDataListFrame::ApplyFind(const std::string& text) {
  FList->FindMode = FFindOption;
  FilterByText(text);
}

void TDataListFrame::FilterByText(const std::string& text) {
  if (!text.empty()) FList->FilterText(text);
  else FList->ClearFilter(true);
}

bool TDataListFrame::SelectFirstMatch(const std::string& text) {
  int i = FList->FindText(text, false);
  if (i < 0) return false;
  FView->SelectRow(i);
  Raise(OnIndexChange);
  Raise(OnFinded);
  return true;
}

bool TDataListFrame::SelectNextMatch(const std::string& text) {
  int s = FView->SelectedRow();
  if (FList->FindText(text, false) < 0) return false;
  int i = FList->FindNext(s + 1, false);
  if (i < 0) i = FList->FindNext(s + 1, true);
  if (i < 0) {
    // the selection is the last row: the search falls back to the first match, so that a
    // jump from the end of the list still reaches an entry above it
    i = FList->FindText(text, false);
    if (i < 0 || i == s) return i == s;
  }
  FView->SelectRow(i);
  Raise(OnIndexChange);
  Raise(OnFinded);
  return true;
}

void TDataListFrame::ResortKeepSelection() {
  TDataItem* sel = Selected();
  int32_t id = sel ? sel->Id() : 0;
  FList->Sort();
  if (sel) {
    int at = FList->IndexOfId(id);
    if (at >= 0) {
      FView->SelectRow(at);
      Raise(OnIndexChange);
    }
  }
}

void TDataListFrame::SetUseFind(bool value) {
  if (value == FView->FindPanelShown()) return;
  FView->ShowFindPanel(value);
  if (value) FView->FocusFind();
  else FView->FocusList();  // only from the find box: the focus stays where it is otherwise
}

// ---- TDataListModel ------------------------------------------------------------------------

void TDataListModel::SetRowCount(int count) {
  beginResetModel();
  FRows = count;
  endResetModel();
}

int TDataListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FRows; }

QVariant TDataListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !FList) return QVariant();
  TDataItem* item = FList->Items(index.row());
  return item ? QVariant(ToQ(item->GetCaption())) : QVariant();
}

void TDataListModel::RefreshRows() {
  if (FRows > 0) emit dataChanged(index(0), index(FRows - 1));
}

// ---- TDataListFrameWidget ------------------------------------------------------------------

TDataListFrameWidget::TDataListFrameWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FPanelFind = new QWidget(this);
  FPanelFind->setFixedHeight(29);
  auto* findLayout = new QHBoxLayout(FPanelFind);
  findLayout->setContentsMargins(8, 4, 4, 4);
  findLayout->setSpacing(2);
  FLabelFind = new QLabel(ToQ(SJ("検索語")), FPanelFind);
  FEditFind = new QLineEdit(FPanelFind);
  FEditFind->setAttribute(Qt::WA_InputMethodEnabled, true);
  findLayout->addWidget(FLabelFind);
  findLayout->addWidget(FEditFind, 1);
  FPanelFind->hide();
  layout->addWidget(FPanelFind);
  FListView = new QListView(this);
  FModel = new TDataListModel(this);
  FListView->setModel(FModel);
  FListView->setUniformItemSizes(true);
  FListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FListView->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(FListView, 1);
  connect(FEditFind, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (FFrame) FFrame->FindTextChanged(FromQ(t));
  });
  // A mouse click makes the row current before it marks it selected, the keys do it the other
  // way round: the frame hears of a selection once it is complete, and once per new row.
  auto selectionMoved = [this] {
    if (!FFrame || FSelecting) return;
    int row = SelectedRow();
    if (row == FReportedRow) return;
    FReportedRow = row;
    FFrame->ListClicked();
  };
  connect(FListView->selectionModel(), &QItemSelectionModel::currentChanged, this, selectionMoved);
  connect(FListView->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionMoved);
}

void TDataListFrameWidget::Bind(TDataListFrame* frame) {
  FFrame = frame;
  FModel->SetList(frame ? &frame->List() : nullptr);
  SetRowCount(frame ? frame->List().Count() : 0);
}

void TDataListFrameWidget::SetRowCount(int count) {
  // the frame reports the selection after a new row count itself
  FSelecting = true;
  FModel->SetRowCount(count);
  FReportedRow = SelectedRow();
  FSelecting = false;
}
int TDataListFrameWidget::RowCount() const { return FModel->rowCount(); }

int TDataListFrameWidget::SelectedRow() const {
  QModelIndex i = FListView->currentIndex();
  return i.isValid() && FListView->selectionModel()->isSelected(i) ? i.row() : -1;
}

void TDataListFrameWidget::SelectRow(int row) {
  FSelecting = true;
  if (row < 0 || row >= RowCount()) {
    FListView->selectionModel()->clear();
  } else {
    QModelIndex i = FModel->index(row);
    FListView->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    FListView->scrollTo(i);
  }
  FModel->RefreshRows();
  FReportedRow = SelectedRow();
  FSelecting = false;
}

void TDataListFrameWidget::RefreshRows() { FModel->RefreshRows(); }

void TDataListFrameWidget::ShowFindPanel(bool show) {
  // the find box going away gives its focus to the list, not to whatever follows it
  if (!show && FEditFind->hasFocus() && FListView->isVisible()) FListView->setFocus();
  FPanelFind->setVisible(show);
}
bool TDataListFrameWidget::FindPanelShown() const { return !FPanelFind->isHidden(); }
std::string TDataListFrameWidget::FindText() const { return FromQ(FEditFind->text()); }

void TDataListFrameWidget::FocusFind() {
  if (FEditFind->isVisible()) FEditFind->setFocus();
}

void TDataListFrameWidget::FocusList() {
  // the find box that is going away hands the focus to the list; a focus elsewhere (the tab
  // strip that chose the tab) stays
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != this && !isAncestorOf(focus) && focus->isVisible()) return;
  if (FListView->isVisible()) FListView->setFocus();
}

void TDataListFrameWidget::focusInEvent(QFocusEvent* e) {
  // Shift+Tab reaches the frame only from its own find box or list, on the way back: it goes
  // on to the control before the frame instead of returning into the list
  if (e->reason() == Qt::BacktabFocusReason && focusNextPrevChild(false)) return;
  if (FEditFind->isVisible()) FEditFind->setFocus();
  else FocusList();
}

}  // namespace kaede
