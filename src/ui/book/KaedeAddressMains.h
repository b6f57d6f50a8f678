#pragma once
// The address book's main window: menus and tool bar, the filter tabs, the list of entries,
// the editing pane, the print area (hidden until it exists) and the status bar. What it does
// is TMainController's; the window shows it and forwards the user's actions.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "EntryCommands.h"
#include "KaedeAddressOptions.h"
#include "MainControllers.h"

class QAction;
class QMenu;
class QSplitter;
class QToolBar;
class QTimer;

namespace kaede {

class TCoolTabSet;
class TMessageStatusBar;
class TDataListFrameWidget;
class TCsvExportDialog;
class TCsvImportDialog;
class TPersonFrame;
class TEntryDialogs;
class TPrintArea;
class TNengaBar;
class TNengaMarksEdit;
class TAddressCheckDialog;

// The project's home page, which 公式サイト opens in the browser.
std::string OfficialSiteUrl();

// A window rectangle moved and shrunk as little as needed to lie inside the area (a screen's
// available part), never below the minimum size unless the area is smaller still.
QRect FitRect(const QRect& saved, const QRect& area, const QSize& minimum);

class TKaedeAddressMain : public QMainWindow, public IMainView, public IEntryHost {
  Q_OBJECT
public:
  explicit TKaedeAddressMain(TKaedeAddressOption& options, QWidget* parent = nullptr);
  ~TKaedeAddressMain() override;

  TMainController& Controller() { return *FController; }
  // Opens the start book and handles the command line; call once after creating the window.
  void Start();
  // Completes a pending edit and writes the book and the settings now, without closing: the
  // session manager asks for it before logout.
  void SaveNow();
  // A termination signal arrived: what is pending is saved, the window closes and the
  // program is asked to end (OnQuitRequested; the program connects it to the event loop).
  void Terminate();
  std::function<void()> OnQuitRequested;
  // The pause in editing after which the book is written although the entry is still being
  // edited, in milliseconds.
  void SetIdleSaveDelay(int ms);
  // The settings and the styles are written this long after a change (not only at exit),
  // so that a program that is killed loses at most the last moments; in milliseconds.
  void SetSettingsSaveDelay(int ms);
  // A setting or a style changed: they are written after the delay.
  void SettingsChanged();

  // ---- IMainView ----
  void SetTitle(const std::string& title) override;
  void SetTabs(const TStrings& tabs, int index) override;
  void SetCountText(const std::string& text) override;
  void ShowStatus(const std::string& text) override;
  void RebuildBookMenus(const TStrings& books, const std::string& openBook) override;
  void RebuildClassifyMenus(const TStrings& names) override;
  void UpdateActions() override;
  bool InputText(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool RunExportDialog(TCsvExporter& exporter, TDataList& list) override;
  bool RunImportDialog(TCsvImportSession& session) override;

  // ---- IEntryHost ----
  void ClassificationsChanged() override;
  void CountsChanged() override;
  void ListCaptionsChanged() override;
  void PrintAreaChanged() override;
  void EntryWritten() override;
  int ClassifyTabNo() const override;
  void ShowAllTab() override;
  TPersonList& SenderList() override;
  int PostSenderIndex() const override;
  void SetPostSenderNo(int no) override;
  TEntryCommands& Entries() { return *FEntries; }
  TPersonFrame* PersonFrame() { return FPersonFrame; }

  // The widgets, for tests and screenshots.
  TCoolTabSet* TabSet() { return FTabs; }
  TMessageStatusBar* StatusBar() { return FStatus; }
  TDataListFrameWidget* ListWidget() { return FList; }
  QWidget* EditPane();
  QAction* Action(const char* name) const;
  TPrintArea* PrintArea() { return FPrintArea; }
  // The pixels the window was widened by when the print area opened (0: not widened).
  int WidenedBy() const { return FWidenedBy; }
  TNengaBar* NengaBar() { return FNengaBar; }
  TNengaMarksEdit* NengaEdit() { return FNengaEdit; }
  // After cards were printed, asks whether the printed entries get 送 of the card year
  // (AppHost's Confirm); yes marks them in one undo step.
  void OfferMarkPrinted(const std::vector<std::pair<int, int>>& entries);
  // 受取入力 for the card year (modal); the dialog is made here, run by the caller's
  // function when given (tests drive it), else shown with exec.
  void ReceiveCards();
  std::function<void(class TNengaReceiveDialog&)> RunReceiveDialog;

protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void moveEvent(QMoveEvent* e) override;

private:
  void BuildActions();
  void BuildMenus();
  void RestoreLayout();
  QRect KeepOnScreen(const QRect& saved) const;
  void FitFrameOnScreen();
  // Puts the window's layout and open book into the settings.
  void StoreLayout();
  void IdleSave();
  void RemeasureTable();
  void StartCompanion(const char* program, const std::string& args);
  // The print offsets of the printers, and the test sheet of the selected postcard style.
  void EditOffsets();
  void Undo();
  void Redo();
  // One step of the book's history, and what follows every step: the card list, the idle save.
  void HistoryStep(bool redo);
  // "住所チェック": the check of the book against the dictionary and its duplicates.
  void CheckAddresses();
  // The print area (KaedeAddressPrints.cpp).
  void ConnectPrintArea();
  void StartPrintArea();
  void StorePrintArea();
  void TogglePreview();
  void UpdatePrintActions();
  // New Year cards (KaedeAddressNenga.cpp).
  QWidget* BuildNenga(QWidget* pane);
  void NengaListChanged();
  void RefreshNenga();
  void MarkFromPane(int year, uint8_t mark, bool on);
  // With a card list chosen, entries whose marks changed may have left it or come into it:
  // the list is filtered again and keeps the selected entry when it is still in it.
  void RefilterNenga();
  // Marks ticked in the pane leave the list when another entry is chosen, not under the pointer.
  void RefilterNengaLater();

  TKaedeAddressOption& FOptions;
  TCoolTabSet* FTabs;
  TDataListFrameWidget* FList;
  TPersonFrame* FPersonFrame;
  std::unique_ptr<TEntryDialogs> FEntryDialogs;
  std::unique_ptr<TEntryCommands> FEntries;
  QMenu* FPopupClassify = nullptr;
  QWidget* FPrintPane;
  TPrintArea* FPrintArea;
  int FWidenedBy = 0;
  int FPaneWidths[2] = {0, 0};  // the list's and the editing pane's widths before the print area opened
  QSplitter* FSplitter;
  TMessageStatusBar* FStatus;
  TNengaBar* FNengaBar = nullptr;
  TNengaMarksEdit* FNengaEdit = nullptr;
  int32_t FNengaMarkedId = 0;  // the entry marked in the pane while a card list is chosen, until another is chosen
  std::unique_ptr<TMainController> FController;
  std::map<std::string, QAction*> FActions;
  QMenu* FMenuBooks = nullptr;
  QMenu* FMenuDeleteBooks = nullptr;
  QMenu* FMenuClassifyDel = nullptr;
  QMenu* FMenuClassifyEdit = nullptr;
  TCsvExportDialog* FExportDialog = nullptr;
  TCsvImportDialog* FImportDialog = nullptr;
  QPointer<TAddressCheckDialog> FCheckDialog;  // 住所チェック while it is open
  bool FSettingTabs = false;
  QTimer* FIdleSave = nullptr;
  QTimer* FSettingsSave = nullptr;
  bool FSavingSettings = false;
  void SaveSettings();
  bool FPlaced = false;     // the window was shown once
  QElapsedTimer FFitFrame;  // since the first showing, while the window manager adds its frame
  class TTerminationSignals* FSignals = nullptr;
};

}  // namespace kaede
