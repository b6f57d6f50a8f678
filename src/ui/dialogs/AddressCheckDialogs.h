#pragma once
// "住所チェック": the findings of the address check and the groups of probable duplicates of
// the open book in one list, filtered by kind; "修正" applies the proposed fixes of the selected
// rows and "統合..." merges a group, each as one undo step of the book. The dialog stays open
// beside the window, and its list follows the book as it is edited, undone or redone there.
// TAddressCheckSession is the logic (no widgets); the dialogs show it.
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "AddressChecks.h"
#include "Duplicates.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace kaede {

class TPersonList;
class TPostalData;

// One row of the list: a finding, or a group of duplicates.
struct TCheckRow {
  bool Duplicate = false;
  size_t Index = 0;  // into Findings() or Groups()
  int32_t Id = 0;    // the entry a double-click selects
  std::string Entry, Kind, Detail, Fix;
};

class TAddressCheckSession {
public:
  // Filters of Rows(): all rows, one kind of finding (TCheckKind), or the duplicates.
  static constexpr int kAllRows = -1;
  static constexpr int kDuplicateRows = ckKindCount;
  // The captions of the filters, in the order kAllRows, the kinds, kDuplicateRows.
  static TStrings FilterCaptions();

  // The dictionary must be loaded. Checks the book at once.
  TAddressCheckSession(TPersonList& book, const TPostalData& data);
  ~TAddressCheckSession();

  // Checks the book again (after a change).
  void Refresh();
  // The book changed since it was last checked.
  bool Stale() const;
  const std::vector<TCheckFinding>& Findings() const { return FFindings; }
  const std::vector<TDuplicateGroup>& Groups() const { return FGroups; }
  std::vector<TCheckRow> Rows(int filter) const;
  // Applies the fixes of the rows' findings as one undo step and checks again; gives the
  // number of entries changed.
  int Fix(const std::vector<TCheckRow>& rows);
  // Merges the group as one undo step and checks again; gives the kept entry.
  TPerson* Merge(size_t group, const TMergeChoice& choice);
  TPersonList& Book() { return FBook; }

private:
  TPersonList& FBook;
  std::unique_ptr<TAddressChecker> FChecker;
  std::vector<TCheckFinding> FFindings;
  std::vector<TDuplicateGroup> FGroups;
  uint64_t FStamp = 0;  // the book's ChangeStamp when it was checked
};

class TAddressCheckDialog : public QDialog {
  Q_OBJECT
public:
  TAddressCheckDialog(TAddressCheckSession& session, QWidget* parent = nullptr);
  // The same, owning the session.
  TAddressCheckDialog(std::unique_ptr<TAddressCheckSession> session, QWidget* parent = nullptr);
  ~TAddressCheckDialog() override;

  // A row was double-clicked: its entry is to be selected in the book.
  std::function<void(int32_t id)> OnSelectEntry;
  // A fix or a merge is about to change the book (what is being typed goes to it first).
  std::function<void()> OnBookChanging;
  // A fix or a merge changed the book.
  std::function<void()> OnBookChanged;
  // Checks the book again when it changed since the list was made; the selected rows stay
  // selected when they are still found. A timer calls it while the dialog is shown.
  void Follow();
  TAddressCheckSession& Session() { return FSession; }

  // The widgets, for tests and screenshots.
  QComboBox* Filter() { return FFilter; }
  QTreeWidget* List() { return FList; }
  QPushButton* FixButton() { return FFix; }
  QPushButton* MergeButton() { return FMerge; }
  // Selects the rows whose entry column is that text (UTF-16 as shown); false when none.
  bool SelectRowsOf(const QString& entry);

private:
  void Fill();
  std::vector<TCheckRow> SelectedRows() const;
  void UpdateButtons();
  void FixSelected();
  void MergeSelected();

  TAddressCheckSession& FSession;
  std::unique_ptr<TAddressCheckSession> FOwned;
  std::vector<TCheckRow> FRows;
  QComboBox* FFilter;
  QTreeWidget* FList;
  QLabel* FCounts;
  QPushButton* FFix;
  QPushButton* FMerge;
};

// "統合": which entry's name (the entry that stays), reading and address the merged entry
// keeps, each chosen among the group's entries.
class TMergeDialog : public QDialog {
  Q_OBJECT
public:
  TMergeDialog(TPersonList& book, const TDuplicateGroup& group, QWidget* parent = nullptr);
  TMergeChoice Choice() const;
  QComboBox* NameBox() { return FName; }
  QComboBox* YomiBox() { return FYomi; }
  QComboBox* AddressBox() { return FAddress; }

private:
  std::vector<int32_t> FIds;
  QComboBox* FName;
  QComboBox* FYomi;
  QComboBox* FAddress;
};

}  // namespace kaede
