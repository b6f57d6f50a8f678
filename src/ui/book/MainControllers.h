#pragma once
// The main window's behaviour without its widgets: books (open, new, rename, delete), the
// filter tabs, the selection history, counts and title, import and export, undo and redo.
// The window implements IMainView and forwards its actions here.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CsvExchange.h"
#include "DataListFrames.h"
#include "KaedeAddressOptions.h"
#include "PersonLists.h"

namespace kaede {

class IMainView {
public:
  virtual ~IMainView() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // Replaces the tab texts and selects a tab without running the tab's filter.
  virtual void SetTabs(const TStrings& tabs, int index) = 0;
  virtual void SetCountText(const std::string& text) = 0;
  // A transient message in the status bar.
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void RebuildBookMenus(const TStrings& books, const std::string& openBook) = 0;
  virtual void RebuildClassifyMenus(const TStrings& names) = 0;
  // Enables, checks and shows the actions after a change of selection, list or view.
  virtual void UpdateActions() = 0;
  // The one-line input box; the typed text comes back in value even when cancelled.
  virtual bool InputText(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // The CSV dialogs; true when closed with OK.
  virtual bool RunExportDialog(TCsvExporter& exporter, TDataList& list) = 0;
  virtual bool RunImportDialog(TCsvImportSession& session) = 0;
};

class TMainController {
public:
  // The book names of the kana tabs after the classification tabs, and the last two tabs.
  static const TStrings& KanaTabs();  // あ か さ た な は ま や ら わ 他

  TMainController(TKaedeAddressOption& options, IMainView& view, IDataListView& listView);
  ~TMainController();

  TPersonList& Book() { return static_cast<TPersonList&>(FFrame->List()); }
  const TPersonList& Book() const { return static_cast<const TPersonList&>(FFrame->List()); }
  TDataListFrame& ListFrame() { return *FFrame; }
  TKaedeAddressOption& Options() { return FOptions; }

  // Completes an edit in progress (which saves the book); the editing frame installs it.
  std::function<void()> CompletePendingEdit;
  // Asked first when the selection changed (the editing pane takes the entry); false while
  // an edit is being written back, when the window ignores the change.
  std::function<bool()> OnSelectionChanging;
  // After the classifications were rebuilt (the editing pane shows the new names).
  std::function<void()> OnClassificationsRefreshed;

  // ---- Start and end ----
  // Opens the start book: the data folder + "StartFile", else the first book of the folder,
  // else a new book (named by the user, or "住所録" when the question is cancelled); then
  // the command line (a book name to open, /N to select).
  void Start();
  // Stores what the settings keep of the window and saves a modified book.
  void Close();
  // The open book becomes the book of the next start.
  void StoreStartFile();

  // ---- Books ----
  // The books of the data folder this run started with.
  TStrings BookNames() const;
  std::string BookFile(const std::string& name) const;
  std::string OpenBookName() const;
  // A book of the data folder by its name, or (for a name with "/") a book file by its path.
  bool OpenBook(const std::string& name);
  bool NewBook();
  bool RenameBook();
  bool DeleteBook(const std::string& name);
  // Saves the book when it has unsaved changes; a failure gives false, and is reported unless
  // `report` is false (a save in a pause of typing, which the next save reports).
  bool SaveBook(bool report = true);
  // Refused names: empty, holding "/", starting with "." (a book stays in its folder).
  static bool IsValidBookName(const std::string& name);

  // ---- Tabs and find ----
  const TStrings& Tabs() const { return FTabs; }
  int TabIndex() const { return FTabIndex; }
  void TabChanged(int index);
  int FindTab() const { return static_cast<int>(FTabs.size()) - 1; }
  // The classification number of the current tab, -1 when it is not a classification tab.
  int ClassifyTabNo() const { return FTabIndex >= 1 && FTabIndex <= FClassifyTabs ? FTabIndex - 1 : -1; }
  void ShowAllTab();
  void ToggleFind();
  int FindOption() const { return FFindOption; }
  void SetFindOption(int option);

  // ---- Selection history ----
  bool CanBack() const { return FHistoryPos > 0; }
  bool CanForward() const { return FHistoryPos >= 0 && FHistoryPos < static_cast<int>(FHistory.size()) - 1; }
  void Back();
  void Forward();

  // ---- Undo ----
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();

  // ---- Exchange ----
  void Export();
  void Import();

  // ---- Refreshing ----
  void RefreshClassifications();
  void RefreshCounts();
  std::string CountText() const;
  std::string Title() const;

private:
  void SelectionChanged();
  void ListReloaded();
  void RebuildTabs(int keepIndex);
  bool PrepareDataFolder();
  // Asks for a book name, checks it and, when a book of that name exists, whether it may go.
  bool AskBookName(const std::string& caption, const std::string& prompt, std::string& name, std::string& file);
  bool StoreBookAs(const std::string& file);
  void BooksChanged();

  TKaedeAddressOption& FOptions;
  IMainView& FView;
  std::unique_ptr<TDataListFrame> FFrame;
  std::string FFolder;  // the data folder of this run, with its trailing delimiter
  TStrings FTabs;
  int FTabIndex = 0;
  int FClassifyTabs = 0;
  int FFindOption = 0;
  std::vector<int> FHistory;
  int FHistoryPos = -1;
  bool FNavigating = false;
};

}  // namespace kaede
