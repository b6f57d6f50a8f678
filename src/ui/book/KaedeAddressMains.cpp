#include "KaedeAddressMains.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDesktopServices>
#include <QUrl>
#include <QMoveEvent>
#include <QShowEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QSessionManager>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "AddressCheckDialogs.h"
#include "AppHost.h"
#include "AppPaths.h"
#include "CoolTabSets.h"
#include "CsvDialogs.h"
#include "DataListFrames.h"
#include "EditAddresses.h"
#include "EntryDialogs.h"
#include "Files.h"
#include "MessageBoxes.h"
#include "MessageStatusBars.h"
#include "NengaBars.h"
#include "PersonFrames.h"
#include "PostPrints.h"
#include "PostViews.h"
#include "PostalDatas.h"
#include "PrintAreas.h"
#include "PrintOffsetDialogs.h"
#include "QtText.h"
#include "SessionGuards.h"
#include "TableViews.h"
#include "UiErrors.h"
#include "VerInfos.h"

namespace kaede {

std::string OfficialSiteUrl() { return KAEDE_HOMEPAGE_URL; }

namespace {
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The keys of undo and redo mean the book's history in the editing pane as well: a field's
// own undo would bring back its text alone (a cleared name without the reading cleared with
// it), while each change of a field is already a step of the book.
class TBookUndoKeys : public QObject {
public:
  explicit TBookUndoKeys(QObject* parent) : QObject(parent) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) ||
          (k->key() == Qt::Key_Y && k->modifiers() == Qt::ControlModifier)) {
        event->ignore();  // not taken by the field: the window's shortcut runs
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};
}  // namespace

TKaedeAddressMain::TKaedeAddressMain(TKaedeAddressOption& options, QWidget* parent)
    : QMainWindow(parent), FOptions(options) {
  setWindowTitle(ToQ(TVerInfo::ProductName()));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // the filter tabs, hanging from the top, in the window's colours
  FTabs = new TCoolTabSet(central);
  FTabs->setFixedHeight(24);
  FTabs->IsTopPosition = true;
  FTabs->SelectedFontColor = 0xFFFFFF;
  FTabs->UnSelectedFontColor = 4539717;
  FTabs->SelectedStartColor = 10265319;
  FTabs->SelectedEndColor = 1711974;
  FTabs->UnSelectedStartColor = 15987699;
  FTabs->UnSelectedEndColor = 12566463;
  FTabs->Space = 0;
  layout->addWidget(FTabs);
  FSplitter = new QSplitter(Qt::Horizontal, central);
  FList = new TDataListFrameWidget(FSplitter);
  FPersonFrame = new TPersonFrame(FSplitter);
  // the New Year card list above the tabs, the entry's marks below the editing pane
  QWidget* pane = BuildNenga(FPersonFrame);
  // the cards' barcodes find towns in the dictionary the entry pane reads
  SetUsualPostDictionary(&SharedPostalData);
  FPrintArea = new TPrintArea(FOptions, FSplitter);
  FPrintPane = FPrintArea;
  FPrintPane->hide();  // opened by the preview command
  FSplitter->addWidget(FList);
  FSplitter->addWidget(pane);
  FSplitter->addWidget(FPrintPane);
  FSplitter->setStretchFactor(1, 1);
  // the list's width the user sets while the print area is open is the list's own
  connect(FSplitter, &QSplitter::splitterMoved, this, [this](int, int index) {
    if (index == 1 && FPrintArea->Opened()) FPaneWidths[0] = FSplitter->sizes()[0];
  });
  layout->addWidget(FSplitter, 1);
  setCentralWidget(central);
  FStatus = new TMessageStatusBar(this);
  FStatus->SetPanelCount(4);
  FStatus->Model().Panels[2].Width = 50;
  statusBar()->addWidget(FStatus, 1);
  statusBar()->setSizeGripEnabled(true);

  FController = std::make_unique<TMainController>(FOptions, *this, *FList);
  FList->Bind(&FController->ListFrame());
  // the editing pane and the entry commands: every change of the working copy reaches the
  // book as one undo step, and a finished edit is saved
  FEntryDialogs = std::make_unique<TEntryDialogs>(this);
  FEntries = std::make_unique<TEntryCommands>(FController->ListFrame(), FPersonFrame->Editor(), *this, *FEntryDialogs);
  FController->CompletePendingEdit = [this] { FEntries->CompleteEdit(); };
  FController->OnSelectionChanging = [this] { return FEntries->SelectionChanged(); };
  FController->OnClassificationsRefreshed = [this] { FEntries->RefreshEditorClassifications(); };
  FTabs->Model().OnTabChanged = [this] {
    if (!FSettingTabs) FController->TabChanged(FTabs->TabIndex());
    RemeasureTable();
  };
  ConnectPrintArea();
  BuildActions();
  BuildMenus();
  // the printer test sheet from the card preview too, as the settings menu runs it
  FPrintArea->AddEditPopupAction(FActions["ActionPrintOffsets"]);
  RestoreLayout();
  UpdateActions();

  // An edit must survive the end of the session: a pause in typing writes the book, the
  // session manager's request before logout saves everything, and so do the termination
  // signals, after which the window closes.
  FIdleSave = new QTimer(this);
  FIdleSave->setSingleShot(true);
  FIdleSave->setInterval(3000);
  connect(FIdleSave, &QTimer::timeout, this, [this] { IdleSave(); });
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SaveNow(); });
  FSignals = new TTerminationSignals(this);
  FSignals->OnSignal = [this](int) { Terminate(); };

  // Settings and styles are written soon after they change, as an edited entry is.
  FSettingsSave = new QTimer(this);
  FSettingsSave->setSingleShot(true);
  FSettingsSave->setInterval(2000);
  connect(FSettingsSave, &QTimer::timeout, this, [this] { SaveSettings(); });
  FOptions.OnAfterChange = [this](TDataItem*, int) { SettingsChanged(); };
  for (TDataList* styles : {static_cast<TDataList*>(&FPrintArea->PostStyles()), static_cast<TDataList*>(&FPrintArea->TableStyles())}) {
    styles->OnItemChanged = [this](TDataItem*) { SettingsChanged(); };
    styles->OnUpdated = [this](TDataList*) { SettingsChanged(); };
  }
}

TKaedeAddressMain::~TKaedeAddressMain() {
  FOptions.OnAfterChange = nullptr;
  for (TDataList* styles : {static_cast<TDataList*>(&FPrintArea->PostStyles()), static_cast<TDataList*>(&FPrintArea->TableStyles())}) {
    styles->OnItemChanged = nullptr;
    styles->OnUpdated = nullptr;
  }
  // the commands let go of the pane and the list before they go
  FController->CompletePendingEdit = nullptr;
  FController->OnSelectionChanging = nullptr;
  FController->OnClassificationsRefreshed = nullptr;
  FEntries.reset();
  FTabs->Model().OnTabChanged = nullptr;
  FList->Bind(nullptr);
}

QAction* TKaedeAddressMain::Action(const char* name) const {
  auto it = FActions.find(name);
  return it == FActions.end() ? nullptr : it->second;
}

void TKaedeAddressMain::BuildActions() {
  auto make = [this](const char* name, const char* caption, std::function<void()> run, QKeySequence key = {}) {
    auto* a = new QAction(Q(caption), this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    if (run) connect(a, &QAction::triggered, this, [run] { run(); });
    FActions[name] = a;
    return a;
  };
  TMainController& c = *FController;
  make("ActionUndo", "元に戻す(&U)", [this] { Undo(); }, QKeySequence::Undo);
  make("ActionRedo", "やり直し(&R)", [this] { Redo(); }, QKeySequence(Qt::CTRL | Qt::Key_Y));
  FActions["ActionRedo"]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  make("ActionNewAddress", "新しい住所録(&N)...", [&c] { c.NewBook(); });
  make("ActionRenameAddress", "住所録の名前変更(&R)...", [&c] { c.RenameBook(); });
  make("ActionImport", "インポート(&I)...", [&c] { c.Import(); });
  make("ActionExprot", "エクスポート(&E)...", [&c] { c.Export(); });
  make("ActionPreview", "印刷プレビュー(&Y)", [this] { TogglePreview(); })->setCheckable(true);
  make("ActionPrint", "印刷(&P)...", [this] {
    if (!FPrintArea->isVisible()) TogglePreview();
    RemeasureTable();
    FPrintArea->Print();
  }, QKeySequence::Print);
  make("ActionQuit", "終了(&Z)", [this] { close(); }, QKeySequence(Qt::CTRL | Qt::Key_Q));
  make("ActionAdd", "追加(&A)...", [this] { FEntries->Add(); }, QKeySequence(Qt::Key_Insert));
  make("ActionDel", "削除(&D)", [this] { FEntries->Delete(); }, QKeySequence(Qt::SHIFT | Qt::Key_Delete));
  make("ActionAddClassify", "分類の追加(&C)...", [this] { FEntries->AddClassify(); });
  make("ActionFormatUnify", "書式の最適化(&F)...", [this] { FEntries->FormatUnify(); });
  make("ActionAddressCheck", "住所チェック(&K)...", [this] { CheckAddresses(); });
  make("ActionFind", "検索(&F)", [&c] { c.ToggleFind(); }, QKeySequence(Qt::CTRL | Qt::Key_F));
  auto* name = make("ActionFindName", "名前のみ検索(&Z)", [&c] { c.SetFindOption(0); });
  auto* all = make("ActionFindAll", "すべての項目を検索", [&c] { c.SetFindOption(1); });
  auto* group = new QActionGroup(this);
  for (QAction* a : {name, all}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  make("ActionBack", "戻る(&B)", [&c] { c.Back(); }, QKeySequence(Qt::ALT | Qt::Key_Left));
  make("ActionFowerd", "進む(&Z)", [&c] { c.Forward(); }, QKeySequence(Qt::ALT | Qt::Key_Right));
  make("ActionSenderPerson", "差出人(&S)...", [this] { FEntries->EditSenders(); });
  make("ActionIsSenderPerson", "差出人にする", [this] { FEntries->MakeSender(); });
  make("ActionKaedeZip", "郵便番号データの更新(&P)...", [this] { StartCompanion("KaedeZip", std::string()); });
  make("ActionChnageDataFolder", "住所録フォルダの変更(&F)...", [this] {
    FEntries->CompleteEdit();
    FOptions.ChooseDataPath(std::string());
  });
  make("ActionStyle", "スタイルの設定(&Y)", [this] { FPrintArea->ToggleStyleFrame(); });
  make("ActionPrintOffsets", "印刷位置の補正(&O)...", [this] { EditOffsets(); });
  make("ActionHelp", "ヘルプ(&H)", [] {
    std::string manual = ProgramDataFolder() + "help/index.html";
    if (!FileExists(manual) || !ShellOpen(manual)) AppHost().ShowError(manual + SJ(" を開けません"));
  }, QKeySequence::HelpContents);
  make("ActionOfficialSite", "公式サイト(&S)", [] {
    const std::string url = OfficialSiteUrl();
    if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(url))))
      AppHost().ShowError(SJ("公式サイト ") + url + SJ(" をブラウザで開けませんでした。ブラウザが設定されているか確かめてください。"));
  });
  make("ActionUpdate", "更新の確認(&U)", [this] {
    std::string v = std::to_string(TVerInfo::Major()) + "." + std::to_string(TVerInfo::Minor()) + std::to_string(TVerInfo::Release());
    StartCompanion("KaedeUpdate", "kaedeaddress " + v);
  });
  make("ActionVersion", "バージョン情報(&V)...", [this] {
    // which postal-code dictionary answers the look-ups: the user's update or the shipped one
    std::string dictionary;
    try {
      dictionary = DescribeDictionary(DictionaryInfo(SharedPostalData()));
    } catch (const Exception& e) {
      dictionary = SJ("郵便番号辞書を読み込めませんでした: ") + e.what();
    }
    QMessageBox::about(this, ToQ(TVerInfo::ProductName()),
                       ToQ(TVerInfo::ProductName() + SJ(" バージョン ") + TVerInfo::FileVersion() + "\n\n" + dictionary));
  });
  // The book's undo and redo keys act in the whole window, the editing pane's fields
  // included; the find box keeps its own.
  auto* undoKeys = new TBookUndoKeys(this);
  for (QWidget* field : std::initializer_list<QWidget*>{
           FPersonFrame->EditName(), FPersonFrame->EditYomi(), FPersonFrame->EditUrl(), FPersonFrame->MemoRemark(),
           FPersonFrame->EditAddress()->EditPostal(), FPersonFrame->EditAddress()->MemoAddress()})
    field->installEventFilter(undoKeys);
  auto* delKey = new QShortcut(QKeySequence(Qt::Key_Delete), FList->ListView(), nullptr, nullptr, Qt::WidgetShortcut);
  connect(delKey, &QShortcut::activated, this, [this] {
    if (FEntries->CanDelete()) FEntries->Delete();
  });
  // the classification popup of the editing pane
  FPopupClassify = new QMenu(this);
  FPopupClassify->addAction(FActions["ActionAddClassify"]);
  auto currentClassify = [this]() -> std::string {
    QListWidgetItem* item = FPersonFrame->CheckListBoxClassify()->currentItem();
    return item ? FromQ(item->text()) : std::string();
  };
  FPopupClassify->addAction(Q("分類の削除"), this, [this, currentClassify] {
    std::string name = currentClassify();
    if (!name.empty()) FEntries->DeleteClassify(name);
  })->setObjectName("PopupClassifyDel");
  FPopupClassify->addAction(Q("分類の修正"), this, [this, currentClassify] {
    std::string name = currentClassify();
    if (!name.empty()) FEntries->EditClassify(name);
  })->setObjectName("PopupClassifyEdit");
  FPersonFrame->SetClassifyPopup(FPopupClassify);
  // A build without the project's web site, and without the update tool (a separate program
  // not installed here), hides those entries rather than have them do nothing.
  FActions["ActionOfficialSite"]->setVisible(!OfficialSiteUrl().empty());
  FActions["ActionUpdate"]->setVisible(FileExists(ProgramFolder() + "KaedeUpdate"));
}

void TKaedeAddressMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* book = bar->addMenu(Q("住所録(&A)"));
  FMenuBooks = book->addMenu(Q("住所録の切替(&C)"));
  book->addAction(FActions["ActionRenameAddress"]);
  book->addAction(FActions["ActionNewAddress"]);
  FMenuDeleteBooks = book->addMenu(Q("住所録の削除(&D)..."));
  book->addSeparator();
  book->addAction(FActions["ActionImport"]);
  book->addAction(FActions["ActionExprot"]);
  book->addSeparator();
  book->addAction(FActions["ActionAddressCheck"]);
  book->addSeparator();
  book->addAction(FActions["ActionPreview"]);
  book->addAction(FActions["ActionPrint"]);
  book->addSeparator();
  book->addAction(FActions["ActionQuit"]);

  QMenu* edit = bar->addMenu(Q("編集(&E)"));
  edit->addAction(FActions["ActionRedo"]);
  edit->addAction(FActions["ActionUndo"]);
  edit->addSeparator();
  edit->addAction(FActions["ActionAdd"]);
  edit->addAction(FActions["ActionDel"]);
  edit->addSeparator();
  edit->addAction(FActions["ActionAddClassify"]);
  FMenuClassifyDel = edit->addMenu(Q("分類の削除(&Z)"));
  FMenuClassifyEdit = edit->addMenu(Q("分類名の修正(&E)"));
  edit->addSeparator();
  edit->addAction(FActions["ActionFormatUnify"]);

  QMenu* find = bar->addMenu(Q("検索(&F)"));
  find->addAction(FActions["ActionFind"]);
  QMenu* option = find->addMenu(Q("検索オプション(&Y)"));
  option->addAction(FActions["ActionFindName"]);
  option->addAction(FActions["ActionFindAll"]);
  find->addSeparator();
  find->addAction(FActions["ActionBack"]);
  find->addAction(FActions["ActionFowerd"]);

  QMenu* settings = bar->addMenu(Q("設定(&C)"));
  settings->addAction(FActions["ActionSenderPerson"]);
  settings->addAction(FActions["ActionIsSenderPerson"]);
  QMenu* zoom = settings->addMenu(Q("倍率(&Z)"));
  zoom->setObjectName("MenuZoom");
  const char* zooms[] = {"画面いっぱい(&Z)", "横幅いっぱい(&Y)", "縦幅いっぱい(&X)", "&400%", "&200%", "&150%", "12&5%", "1&00%",
                         "&75%", "50%", "25%"};
  const int ratios[] = {0, -1, -2, 400, 200, 150, 125, 100, 75, 50, 25};
  for (int i = 0; i < 11; ++i) {
    QAction* a = zoom->addAction(Q(zooms[i]), this, [this, r = ratios[i]] { FPrintArea->Zoom(r); });
    std::string name = i == 0 ? "ActionRatioFullScreen" : "Action" + std::to_string(i);
    a->setObjectName(QString::fromStdString(name));
    FActions[name] = a;
  }
  settings->addSeparator();
  settings->addAction(FActions["ActionKaedeZip"]);
  settings->addAction(FActions["ActionChnageDataFolder"]);
  settings->addAction(FActions["ActionStyle"]);
  settings->addAction(FActions["ActionPrintOffsets"]);

  QMenu* help = bar->addMenu(Q("ヘルプ(&H)"));
  help->addAction(FActions["ActionHelp"]);
  help->addAction(FActions["ActionOfficialSite"]);
  help->addAction(FActions["ActionUpdate"]);
  help->addAction(FActions["ActionVersion"]);

  QToolBar* tools = addToolBar(Q("ツールバー"));
  tools->setObjectName("ActionToolBar");
  tools->setMovable(false);
  for (const char* a : {"ActionAdd", "ActionDel", "ActionUndo", "ActionPreview", "ActionPrint", "ActionStyle"}) {
    // the tool bar shows the bare caption: "追加", not "追加(&A)..."
    QString text = FActions[a]->text();
    text.remove(QRegularExpression("\\(&.\\)|&|\\.\\.\\.$"));
    FActions[a]->setIconText(text);
    tools->addAction(FActions[a]);
  }
  FActions["ActionPreview"]->setIconText(Q("プレビュー"));
  FActions["ActionStyle"]->setIconText(Q("スタイル"));
  tools->addSeparator();
  tools->addWidget(FNengaBar);
}

void TKaedeAddressMain::RestoreLayout() {
  // The panes' stored widths, with room for the editing pane's fields in the fonts of this
  // desktop (at least 470 pixels, as the window was designed).
  resize(std::max({470, FOptions.PersonListWidth() + FOptions.PersonFrameWidth() + 40, 760}), 580);
  if (QScreen* screen = QApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
    QRect r = KeepOnScreen(geometry());
    move(r.topLeft());
    resize(r.size());
  }
  FSplitter->setSizes({FOptions.PersonListWidth(), std::max(FOptions.PersonFrameWidth(), width() - FOptions.PersonListWidth()), 0});
  if (!FOptions.FormState().empty()) {
    TFormState now{x(), y(), width(), height(), 0};
    TFormState s = TextToFormState(FOptions.FormState(), now);
    if (s.State != 0) {
      setWindowState(Qt::WindowMaximized);
    } else {
      QRect r = KeepOnScreen(QRect(s.Left, s.Top, s.Width, s.Height));
      move(r.topLeft());
      resize(r.size());
    }
  }
}

void TKaedeAddressMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (FPlaced) return;
  FPlaced = true;
  // The window manager adds its frame some time after the window is shown (the window then
  // moves into the frame): the frame, not only the window's inside, must lie on the screen.
  FFitFrame.start();
  QTimer::singleShot(0, this, [this] { FitFrameOnScreen(); });
  QTimer::singleShot(500, this, [this] { FitFrameOnScreen(); });
}

void TKaedeAddressMain::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  if (FFitFrame.isValid() && FFitFrame.elapsed() < 2000) FitFrameOnScreen();
}

void TKaedeAddressMain::FitFrameOnScreen() {
  if (isMaximized() || isFullScreen() || isMinimized()) return;
  QRect frame = frameGeometry();
  QSize border = frame.size() - size();
  QRect fitted = KeepOnScreen(frame);
  if (fitted == frame) return;
  move(fitted.topLeft());
  resize(fitted.size() - border);
}

QRect TKaedeAddressMain::KeepOnScreen(const QRect& saved) const {
  // A layout stored on a larger screen, or on a screen that is gone, comes back whole on the
  // available part of a screen that is there: the one under the stored window, else the
  // primary one.
  QScreen* screen = QGuiApplication::screenAt(saved.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return saved;
  return FitRect(saved, screen->availableGeometry(), minimumSizeHint());
}

QRect FitRect(const QRect& saved, const QRect& area, const QSize& minimum) {
  if (area.isEmpty()) return saved;
  int w = std::min(std::max(saved.width(), minimum.width()), area.width());
  int h = std::min(std::max(saved.height(), minimum.height()), area.height());
  int x = std::clamp(saved.x(), area.left(), area.right() + 1 - w);
  int y = std::clamp(saved.y(), area.top(), area.bottom() + 1 - h);
  return QRect(x, y, w, h);
}

void TKaedeAddressMain::Start() {
  FController->Start();
  StartPrintArea();
}

void TKaedeAddressMain::SetIdleSaveDelay(int ms) { FIdleSave->setInterval(ms); }

void TKaedeAddressMain::EntryWritten() {
  FIdleSave->start();
  RemeasureTable();  // an edited entry may print wider or narrower
}

void TKaedeAddressMain::SetSettingsSaveDelay(int ms) { FSettingsSave->setInterval(ms); }

void TKaedeAddressMain::SettingsChanged() {
  if (!FSavingSettings) FSettingsSave->start();
}

void TKaedeAddressMain::SaveSettings() {
  // what the window keeps of itself changes as it is stored: that is no new change
  FSavingSettings = true;
  StoreLayout();
  FOptions.SaveOptions();
  FSavingSettings = false;
}

void TKaedeAddressMain::IdleSave() {
  // The entry stays in the pane: relations follow a new name when the edit is completed.
  // A failure here is reported when the edit is completed and saved again.
  FController->SaveBook(false);
}

void TKaedeAddressMain::SaveNow() {
  FIdleSave->stop();
  FSettingsSave->stop();
  FEntries->CompleteEdit();
  FController->SaveBook();
  StoreLayout();
  FOptions.SaveOptions();
}

void TKaedeAddressMain::Terminate() {
  FIdleSave->stop();
  // A question open at the time (the first start's name of the new book, any dialog of a
  // command) is answered as cancelled, so that its loop ends and the program can: the
  // session would otherwise wait on it until it kills the program.
  for (int i = 0; i < 20; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    else modal->close();
    if (QApplication::activeModalWidget() == modal) break;
  }
  // closing saves the pending edit, the book and the window's layout
  close();
  if (OnQuitRequested) OnQuitRequested();
}

void TKaedeAddressMain::StoreLayout() {
  StorePrintArea();
  QList<int> sizes = FSplitter->sizes();
  // With the print area open the panes are stored as they are without it: the room it
  // borrowed is not theirs, and the next start lends it again (a list that gave room on a
  // small screen would otherwise shrink at every start).
  if (FPrintArea->Opened()) sizes = {FPaneWidths[0], FPaneWidths[1]};
  if (sizes.size() >= 2) {
    FOptions.SetPersonListWidth(sizes[0]);
    FOptions.SetPersonFrameWidth(sizes[1]);
  }
  TFormState s{x(), y(), width() - FWidenedBy, height(), 0};
  if (isMaximized() || isMinimized()) s = TFormState{40, 40, 600, 400, isMinimized() ? 1 : 2};
  FOptions.SetFormState(FormStateToText(s));
  FController->StoreStartFile();
}

void TKaedeAddressMain::closeEvent(QCloseEvent* e) {
  FIdleSave->stop();
  FSettingsSave->stop();
  StoreLayout();
  FEntries->Close();  // the pane lets go of its entry: a pending edit is saved
  FController->Close();
  e->accept();
}

// ---- IMainView -----------------------------------------------------------------------------

void TKaedeAddressMain::SetTitle(const std::string& title) { setWindowTitle(ToQ(title)); }

void TKaedeAddressMain::SetTabs(const TStrings& tabs, int index) {
  FSettingTabs = true;
  FTabs->SetTabs(tabs);
  FTabs->SetTabIndex(index);
  FSettingTabs = false;
  FTabs->update();
}

void TKaedeAddressMain::SetCountText(const std::string& text) {
  FStatus->FitPanel(2, text);
  FStatus->SetPanelText(2, text);
}

void TKaedeAddressMain::ShowStatus(const std::string& text) { FStatus->SetMes(text); }

void TKaedeAddressMain::RebuildBookMenus(const TStrings& books, const std::string& openBook) {
  FMenuBooks->clear();
  FMenuDeleteBooks->clear();
  for (const std::string& b : books) {
    QAction* open = FMenuBooks->addAction(ToQ(b), this, [this, b] { FController->OpenBook(b); });
    open->setCheckable(true);
    open->setChecked(b == openBook);
    FMenuDeleteBooks->addAction(ToQ(b), this, [this, b] { FController->DeleteBook(b); });
  }
  FMenuBooks->setEnabled(!books.empty());
  FMenuDeleteBooks->setEnabled(!books.empty());
}

void TKaedeAddressMain::RebuildClassifyMenus(const TStrings& names) {
  FMenuClassifyDel->clear();
  FMenuClassifyEdit->clear();
  for (const std::string& n : names) {
    FMenuClassifyDel->addAction(ToQ(n), this, [this, n] { FEntries->DeleteClassify(n); });
    FMenuClassifyEdit->addAction(ToQ(n), this, [this, n] { FEntries->EditClassify(n); });
  }
  FMenuClassifyDel->setEnabled(!names.empty());
  FMenuClassifyEdit->setEnabled(!names.empty());
}

void TKaedeAddressMain::UpdateActions() {
  TMainController& c = *FController;
  FActions["ActionUndo"]->setEnabled(c.CanUndo());
  FActions["ActionRedo"]->setEnabled(c.CanRedo());
  RefreshNenga();
  FActions["ActionBack"]->setEnabled(c.CanBack());
  FActions["ActionFowerd"]->setEnabled(c.CanForward());
  FActions["ActionFindName"]->setChecked(c.FindOption() == 0);
  FActions["ActionFindAll"]->setChecked(c.FindOption() == 1);
  FActions["ActionFind"]->setCheckable(true);
  FActions["ActionFind"]->setChecked(c.TabIndex() == c.FindTab());
  FActions["ActionExprot"]->setEnabled(c.Book().Count() > 0);
  bool book = !c.Book().FileName.empty();
  FActions["ActionAdd"]->setEnabled(book);
  FActions["ActionDel"]->setEnabled(FEntries && FEntries->CanDelete());
  FActions["ActionAddClassify"]->setEnabled(FEntries && FEntries->CanDelete());
  FActions["ActionFormatUnify"]->setEnabled(c.Book().AllCount() > 0);
  FActions["ActionAddressCheck"]->setEnabled(c.Book().AllCount() > 0);
  FActions["ActionIsSenderPerson"]->setVisible(FEntries && FEntries->CanMakeSender());
  if (FEntries && FEntries->CanMakeSender()) FActions["ActionIsSenderPerson"]->setText(ToQ(FEntries->MakeSenderCaption()));
  UpdatePrintActions();
}

bool TKaedeAddressMain::InputText(const std::string& caption, const std::string& prompt, std::string& value) {
  return kaede::InputText(caption, prompt, value);
}

bool TKaedeAddressMain::RunExportDialog(TCsvExporter& exporter, TDataList& list) {
  if (!FExportDialog) FExportDialog = new TCsvExportDialog(this);
  return FExportDialog->ExecuteExport(exporter, list);
}

bool TKaedeAddressMain::RunImportDialog(TCsvImportSession& session) {
  if (!FImportDialog) FImportDialog = new TCsvImportDialog(this);
  return FImportDialog->ExecuteImport(session);
}

// ---- IEntryHost ----------------------------------------------------------------------------

void TKaedeAddressMain::ClassificationsChanged() { FController->RefreshClassifications(); }
void TKaedeAddressMain::CountsChanged() {
  FController->RefreshCounts();
  RemeasureTable();
}
void TKaedeAddressMain::ListCaptionsChanged() {
  FList->RefreshRows();
  RemeasureTable();
}

void TKaedeAddressMain::RemeasureTable() {
  // the table's columns are measured for the rows it shows: other rows, or an edited row,
  // are measured again (on screen, and so on paper)
  if (!FPrintArea->TableVisible() || !FPrintArea->TablePreview()) return;
  if (auto* table = dynamic_cast<TTableView*>(&FPrintArea->TablePreview()->Control().View())) table->Remeasure();
}
int TKaedeAddressMain::ClassifyTabNo() const { return FController->ClassifyTabNo(); }
void TKaedeAddressMain::ShowAllTab() { FController->ShowAllTab(); }
TPersonList& TKaedeAddressMain::SenderList() { return FOptions.SenderList(); }
QWidget* TKaedeAddressMain::EditPane() { return FPersonFrame; }

void TKaedeAddressMain::Undo() { HistoryStep(false); }

void TKaedeAddressMain::Redo() { HistoryStep(true); }

void TKaedeAddressMain::HistoryStep(bool redo) {
  if (redo) FEntries->Redo();
  else FEntries->Undo();
  FController->Book().SetModified(true);
  RefilterNenga();
  FIdleSave->start();  // the step reaches the file after the pause of an edit
  UpdateActions();
  RemeasureTable();
}

void TKaedeAddressMain::EditOffsets() {
  ShowErrors([&] {
    TSheetPrinter& printer = SheetPrinter();
    TStrings names;
    if (printer.Backend())
      for (const TPrinterEntry& e : printer.Backend()->Printers())
        if (e.Name != "PDF") names.push_back(e.Name);  // a PDF file takes no offset
    EditPrintOffsets(names, CurrentPrinterName(printer), [this](const std::string& queue, TPrintOffset offset) {
      // the selected postcard style's sheet (the official card's for any other style),
      // printed on the dialog's printer with the offset as it stands in the dialog; the
      // printer that printed before prints again afterwards
      TSheetPrinter& sheets = SheetPrinter();
      const std::string before = CurrentPrinterName(sheets);
      if (queue != before && !sheets.SelectPrinter(queue))
        throw Exception(SJ("プリンタ ") + queue + SJ(" を選べません"));
      TPostStyle* style = TDataItem::Make<TPostStyle>();
      TAtScopeExit done([&] {
        style->Free();
        SetPrintOffsetOverride(std::nullopt);
        if (queue != before && !before.empty()) sheets.SelectPrinter(before);
      });
      if (auto* selected = dynamic_cast<const TPostStyle*>(FPrintArea->SelectedStyle())) style->Assign(selected);
      SetPrintOffsetOverride(offset);
      PrintCalibrationSheet(*style, SJ("プリンタ位置合わせ"));
    }, this);
  });
}

void TKaedeAddressMain::CheckAddresses() {
  TPersonList& book = FController->Book();
  if (book.RefuseEditInUse()) return;
  FEntries->CompleteEdit();
  if (FCheckDialog) {
    FCheckDialog->Follow();
    FCheckDialog->raise();
    FCheckDialog->activateWindow();
    return;
  }
  TPostalData& data = SharedPostalData();
  bool loaded = false;
  ShowErrors([&] { loaded = data.LoadData(); });
  if (!loaded) {
    AppHost().ShowError(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）がないため住所チェックができません。"
                           "「郵便番号データの更新」で辞書を作成してください。探した場所: ") +
                        JoinStr(DictionaryFolders(), SJ("、")));
    return;
  }
  std::unique_ptr<TAddressCheckSession> session;
  ShowErrors([&] { session = std::make_unique<TAddressCheckSession>(book, data); });
  if (!session) return;
  // beside the window, so that the entries found can be looked at and edited there
  auto* dialog = new TAddressCheckDialog(std::move(session), this);
  FCheckDialog = dialog;
  dialog->setObjectName("AddressCheckDialog");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->OnSelectEntry = [this, &book](int32_t id) {
    if (book.IndexOfId(id) < 0) ShowAllTab();  // hidden by the tab's filter
    // or by the New Year card list
    if (book.IndexOfId(id) < 0 && book.NengaFilter() != 0) FNengaBar->FilterBox()->setCurrentIndex(0);
    int index = book.IndexOfId(id);
    if (index >= 0) FController->ListFrame().SelectIndex(index);
  };
  dialog->OnBookChanging = [this] { FEntries->CompleteEdit(); };
  dialog->OnBookChanged = [this, &book] {
    // the entries changed outside the pane: it shows the selected one as the book has it now,
    // and the book is written at once, as after an import
    FController->ListFrame().ResortKeepSelection();
    FEntries->SelectionChanged();
    book.SetModified(true);
    ListCaptionsChanged();
    CountsChanged();
    ClassificationsChanged();
    ShowErrors([&] { book.SaveToFile(std::string()); });
    UpdateActions();
  };
  // Ctrl+Z and Ctrl+Y undo and redo the book from the dialog as from the window
  dialog->addAction(FActions["ActionUndo"]);
  dialog->addAction(FActions["ActionRedo"]);
  dialog->show();
}

void TKaedeAddressMain::StartCompanion(const char* program, const std::string& args) {
  std::string file = ProgramFolder() + program;
  if (!FileExists(file) || !ShellOpen(file, args)) AppHost().ShowError(file + SJ(" を起動できません（ファイルが見つかりません）"));
}

}  // namespace kaede
