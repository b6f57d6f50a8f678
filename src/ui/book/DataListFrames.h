#pragma once
// The list frame: shows a data list's visible items as a list of captions with an optional
// find box, keeps a sensible selection through every change of the list, and reports
// selection, reload, filter and find events to its owner.
//
// TDataListFrame holds the behaviour and talks to its widgets through IDataListView, so that
// tests drive it without a display; TDataListFrameWidget is the Qt face.
#include <QAbstractListModel>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "DataLists.h"

class QLineEdit;
class QListView;
class QLabel;

namespace kaede {

class IDataListView {
public:
  virtual ~IDataListView() = default;
  // The list shows this many rows (its captions come from the list on demand).
  virtual void SetRowCount(int count) = 0;
  virtual int RowCount() const = 0;
  virtual int SelectedRow() const = 0;
  // Selects a row; -1 clears the selection.
  virtual void SelectRow(int row) = 0;
  virtual void ShowFindPanel(bool show) = 0;
  virtual bool FindPanelShown() const = 0;
  virtual std::string FindText() const = 0;
  virtual void FocusFind() {}
  virtual void FocusList() {}
};

class TDataListFrame {
public:
  using TNotify = std::function<void()>;
  TNotify OnSetingDone;
  TNotify OnChanging;
  TNotify OnChange;
  TNotify OnFindedAll;
  TNotify OnIndexChange;
  TNotify OnFinded;

  // The frame owns its list and connects to its events.
  TDataListFrame(std::unique_ptr<TDataList> list, IDataListView* view);
  virtual ~TDataListFrame();

  TDataList& List() { return *FList; }
  const TDataList& List() const { return *FList; }
  IDataListView* View() { return FView; }
  int SelectedIndex() const { return FView->SelectedRow(); }
  TDataItem* Selected() const { return FList->Items(SelectedIndex()); }
  // Copies source into the selected item (in an undo list: one edit step).
  void SetSelected(const TDataItem* source);
  void AssignList(const TDataList* source);
  void SelectIndex(int index);
  int FindOption() const { return FFindOption; }
  void SetFindOption(int option);
  void ApplyFind(const std::string& text);
  virtual void FilterByText(const std::string& text);
  bool SelectFirstMatch(const std::string& text);
  bool SelectNextMatch(const std::string& text);
  void ResortKeepSelection();
  bool UseFind() const { return FView->FindPanelShown(); }
  void SetUseFind(bool value);

  // From the widgets: the find box's text changed; a row was clicked.
  void FindTextChanged(const std::string& text) { ApplyFind(text); }
  void ListClicked() { Raise(OnIndexChange); }

private:
  static void Raise(const TNotify& e) {
    if (e) e();
  }
  void Reloaded();
  void ItemChanging();
  void ItemChanged(TDataItem* item);
  void Filtered();
  void Sorted();

  std::unique_ptr<TDataList> FList;
  IDataListView* FView;
  int FChangingCount = 0;
  int FFindOption = 0;
};

// The list's visible items as rows of captions; the frame tells it when the count changed.
class TDataListModel : public QAbstractListModel {
  Q_OBJECT
public:
  explicit TDataListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
  void SetList(TDataList* list) { FList = list; }
  void SetRowCount(int count);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Repaints the rows without changing their number.
  void RefreshRows();

private:
  TDataList* FList = nullptr;
  int FRows = 0;
};

class TDataListFrameWidget : public QWidget, public IDataListView {
  Q_OBJECT
public:
  explicit TDataListFrameWidget(QWidget* parent = nullptr);

  // Binds the frame's logic (created by the owner with this widget as its view).
  void Bind(TDataListFrame* frame);

  void SetRowCount(int count) override;
  int RowCount() const override;
  int SelectedRow() const override;
  void SelectRow(int row) override;
  void ShowFindPanel(bool show) override;
  bool FindPanelShown() const override;
  std::string FindText() const override;
  void FocusFind() override;
  void FocusList() override;

  QListView* ListView() { return FListView; }
  // Shows the captions again (an entry's name changed).
  void RefreshRows();
  QLineEdit* FindEdit() { return FEditFind; }

protected:
  void focusInEvent(QFocusEvent*) override;

private:
  TDataListFrame* FFrame = nullptr;
  TDataListModel* FModel;
  QWidget* FPanelFind;
  QLabel* FLabelFind;
  QLineEdit* FEditFind;
  QListView* FListView;
  bool FSelecting = false;
  int FReportedRow = -1;  // the selected row the frame was last told of
};

}  // namespace kaede
