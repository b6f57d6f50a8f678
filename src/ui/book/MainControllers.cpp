#include "MainControllers.h"

#include <algorithm>

#include "AppHost.h"
#include "AppPaths.h"
#include "DataPathDialogs.h"
#include "Files.h"
#include "PersonColumns.h"
#include "VerInfos.h"

namespace kaede {

const TStrings& TMainController::KanaTabs() {
  static const TStrings tabs = SplitStr(SJ("あ,か,さ,た,な,は,ま,や,ら,わ,他"), ",");
  return tabs;
}

TMainController::TMainController(TKaedeAddressOption& options, IMainView& view, IDataListView& listView)
    : FOptions(options), FView(view), FFrame(std::make_unique<TDataListFrame>(std::make_unique<TPersonList>(), &listView)),
      FFolder(options.DataPath()) {
  FFrame->OnIndexChange = [this] { SelectionChanged(); };
  FFrame->OnSetingDone = [this] { ListReloaded(); };
  FFrame->OnChange = [this] {
    RefreshCounts();
    FView.UpdateActions();
  };
  FFrame->OnFindedAll = [this] {
    RefreshCounts();
    FView.UpdateActions();
  };
  Book().OnClassifyChange = [this](TDataList*) { RefreshClassifications(); };
  RebuildTabs(0);
}

TMainController::~TMainController() { Book().OnClassifyChange = nullptr; }

// ---- Start and end -------------------------------------------------------------------------

bool TMainController::PrepareDataFolder() {
  const std::string& folder = FFolder;
  if (DirectoryExists(folder)) return true;
  // A folder given on the command line is made on first use, with the sample book in it.
  std::string error = kaede::PrepareDataFolder(folder, {SJ("住所録.kad")}, ProgramDataFolder());
  if (error.empty()) return true;
  AppHost().ShowError(error);
  return DirectoryExists(folder);
}

void TMainController::Start() {
  if (AppHost().Terminated()) return;
  // A data folder on the command line is this run's folder (the command line is read again
  // below, too late for choosing the book). The books of this run live in that folder; a
  // folder chosen later is used from the next start on.
  std::string folder;
  if (FOptions.FindSwitch(TAppOption::ProgramArguments(), 'D', &folder))
    FOptions.SetDataPath(folder.empty() ? FOptions.ProgramFolder : folder);
  FFolder = FOptions.DataPath();
  PrepareDataFolder();
  FView.RebuildBookMenus(BookNames(), std::string());
  std::string file = FFolder + FOptions.StartFile();
  if (!FileExists(file)) {
    TStrings books = BookNames();
    file = books.empty() ? std::string() : BookFile(books[0]);
  }
  if (file.empty()) {
    // No book at all: one is made, and when the question is cancelled it gets the default
    // name, so that entries typed afterwards always have a file to go to. A start that quits
    // at once (/Q, scripts) asks nothing: it takes the default name, so that no question
    // waits for an answer nobody gives.
    const bool quitting = FOptions.FindSwitch(TAppOption::ProgramArguments(), 'Q');
    if (quitting || !NewBook()) {
      Book().Clear();
      try {
        Book().SetFileName(BookFile(SJ("住所録")));
      } catch (const Exception& e) {
        AppHost().ShowError(e.what());
      }
      BooksChanged();
    }
  } else {
    OpenBook(FileBaseName(file));
  }
  FOptions.OnParams = [this](const TStrings& files) {
    // a book of the data folder by its name, or a book file by its path (what the desktop
    // passes for a double-clicked book)
    if (!files.empty() && FileExists(BookFile(files[0]))) OpenBook(files[0]);
    else if (!files.empty() && FileExists(files[0])) OpenBook(files[0].find('/') == std::string::npos ? "./" + files[0] : files[0]);
    if (!FOptions.StartName.empty()) FFrame->SelectFirstMatch(FOptions.StartName);
  };
  FOptions.ParseCommandLine();
}

void TMainController::Close() {
  if (CompletePendingEdit) CompletePendingEdit();
  StoreStartFile();
  SaveBook();
}

void TMainController::StoreStartFile() {
  if (!Book().FileName.empty()) FOptions.SetStartFile(FileBaseName(Book().FileName) + ".kad");
}

// ---- Books ---------------------------------------------------------------------------------

TStrings TMainController::BookNames() const {
  TStrings files, names;
  ListFiles(FFolder, files, "*.kad");
  for (const std::string& f : files) names.push_back(f.substr(0, f.size() - 4));
  return names;
}

std::string TMainController::BookFile(const std::string& name) const { return FFolder + name + ".kad"; }

std::string TMainController::OpenBookName() const {
  const std::string& file = Book().FileName;
  if (file.empty()) return std::string();
  size_t slash = file.rfind('/');
  std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  return base.size() > 4 && base.compare(base.size() - 4, 4, ".kad") == 0 ? base.substr(0, base.size() - 4) : base;
}

bool TMainController::IsValidBookName(const std::string& name) {
  return !name.empty() && name[0] != '.' && SearchAll("/", name, 0).empty() && name.find('\0') == std::string::npos;
}

bool TMainController::SaveBook(bool report) {
  TPersonList& book = Book();
  if (!book.Modified() || book.FileName.empty() || book.InUse()) return true;
  try {
    book.SaveToFile(std::string());
    return true;
  } catch (const Exception& e) {
    if (report) AppHost().ShowError(e.what());
    return false;
  }
}

bool TMainController::OpenBook(const std::string& name) {
  // a pending edit belongs to the book that is open now: it is completed (and saved) first
  if (CompletePendingEdit) CompletePendingEdit();
  if (!SaveBook()) return false;
  // a book name never holds "/": one that does is the path of a book file
  std::string file = name.find('/') == std::string::npos ? BookFile(name) : name;
  if (!FileExists(file)) {
    AppHost().ShowError(file + SJ(" が見つかりません"));
    return false;
  }
  FHistory.clear();
  FHistoryPos = -1;
  bool ok = true;
  try {
    Book().Open(file, false);
  } catch (const Exception& e) {
    // what was read stays; the book is not saved over until the user allows it
    AppHost().ShowError(e.what());
    ok = false;
  }
  BooksChanged();
  if (ok && Book().InUse()) AppHost().ShowInfo(TPersonList::InUseMessage());
  return ok;
}

bool TMainController::AskBookName(const std::string& caption, const std::string& prompt, std::string& name,
                                  std::string& file) {
  if (!FView.InputText(caption, prompt, name)) return false;
  if (!IsValidBookName(name)) {
    AppHost().ShowError(SJ("住所録の名前には空の名前、「/」を含む名前、「.」で始まる名前は使えません"));
    return false;
  }
  file = BookFile(name);
  return !FileExists(file) || AppHost().Confirm(name + SJ(" という住所録はすでに存在します。削除してよろしいですか？"));
}

bool TMainController::StoreBookAs(const std::string& file) {
  bool ok = true;
  try {
    Book().SetFileName(file);
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
    ok = false;
  }
  BooksChanged();
  return ok;
}

void TMainController::BooksChanged() {
  FView.RebuildBookMenus(BookNames(), OpenBookName());
  FView.SetTitle(Title());
  // a book that just got its file can take entries ("追加" needs one)
  FView.UpdateActions();
}

bool TMainController::NewBook() {
  std::string name = SJ("新規住所録"), file;
  if (!AskBookName(SJ("新しい住所録"), SJ("新しい住所録の名前を入力してください"), name, file)) return false;
  if (CompletePendingEdit) CompletePendingEdit();
  if (!SaveBook()) return false;
  // the book that gives way goes to the trash, where it can still be restored
  if (FileExists(file) && file != Book().FileName) RecycleDelete(file);
  FHistory.clear();
  FHistoryPos = -1;
  Book().Clear();
  return StoreBookAs(file);
}

bool TMainController::RenameBook() {
  std::string old = OpenBookName();
  std::string name = old, file;
  if (Book().RefuseEditInUse()) return false;
  if (!AskBookName(SJ("住所録の名前変更"), SJ("住所録の名前を入力してください"), name, file) || name == old) return false;
  if (CompletePendingEdit) CompletePendingEdit();
  std::string oldFile = Book().FileName;
  if (FileExists(file)) RecycleDelete(file);
  if (!StoreBookAs(file)) return false;
  // The book has one name: the file under the old name goes to the trash, where it can still
  // be restored, instead of staying behind as a second book with the same entries.
  if (!oldFile.empty() && oldFile != file && FileExists(oldFile) && !RecycleDelete(oldFile))
    AppHost().ShowError(oldFile + SJ(" をゴミ箱に移せませんでした"));
  BooksChanged();
  return true;
}

bool TMainController::DeleteBook(const std::string& name) {
  if (!AppHost().Confirm(name + SJ(" をゴミ箱に捨てます。よろしいですか？"))) return false;
  std::string file = BookFile(name);
  bool open = file == Book().FileName;
  if (open && Book().RefuseEditInUse()) return false;
  if (open && CompletePendingEdit) CompletePendingEdit();
  if (!RecycleDelete(file)) {
    AppHost().ShowError(file + SJ(" をゴミ箱に移せませんでした"));
    return false;
  }
  if (open) {
    FHistory.clear();
    FHistoryPos = -1;
    // The deleted book must not come back with the next save: another book of the folder
    // is opened, and without one no book is open (entries wait for a new book).
    TStrings books = BookNames();
    if (!books.empty() && OpenBook(books[0])) return true;
    Book().Clear();
    Book().FileName.clear();
  }
  BooksChanged();
  return true;
}

// ---- Tabs ----------------------------------------------------------------------------------

void TMainController::RebuildTabs(int keepIndex) {
  FTabs.clear();
  FTabs.push_back(SJ("全"));
  const TStrings& names = Book().Classifications();
  FTabs.insert(FTabs.end(), names.begin(), names.end());
  FTabs.insert(FTabs.end(), KanaTabs().begin(), KanaTabs().end());
  FTabs.push_back(SJ("検索"));
  FClassifyTabs = static_cast<int>(names.size());
  FTabIndex = std::clamp(keepIndex, 0, static_cast<int>(FTabs.size()) - 1);
  FView.SetTabs(FTabs, FTabIndex);
}

void TMainController::TabChanged(int index) {
  if (index < 0 || index >= static_cast<int>(FTabs.size())) return;
  FTabIndex = index;
  TPersonList& book = Book();
  // every entry, or every entry of the New Year card list chosen
  auto showAll = [&book] {
    if (book.NengaFilter() == 0) {
      book.ClearFilter(true);
      return;
    }
    book.FindMode = pfmKanaRow;
    book.FilterNo(-1);
  };
  if (index == 0) {
    showAll();
  } else if (index == FindTab()) {
    std::string text = FFrame->View()->FindText();
    if (!text.empty()) {
      FFrame->SetFindOption(FFindOption);
      FFrame->ApplyFind(text);
    } else {
      showAll();
    }
  } else if (index <= FClassifyTabs) {
    book.FindMode = pfmClassify;
    book.FilterNo(index - 1);
  } else {
    book.FindMode = pfmKanaRow;
    book.FilterNo(index - 1 - FClassifyTabs);
  }
  FFrame->SetUseFind(index == FindTab());
  RefreshCounts();
  FView.UpdateActions();
}

void TMainController::ToggleFind() {
  int target = FTabIndex == FindTab() ? 0 : FindTab();
  FView.SetTabs(FTabs, target);
  TabChanged(target);
}

void TMainController::SetFindOption(int option) {
  FFindOption = option;
  FFrame->SetFindOption(option);
  FView.UpdateActions();
}

void TMainController::RefreshClassifications() {
  std::string current = FTabIndex >= 1 && FTabIndex <= FClassifyTabs ? FTabs[static_cast<size_t>(FTabIndex)] : std::string();
  int fromEnd = static_cast<int>(FTabs.size()) - FTabIndex;
  bool classifyTab = !current.empty();
  Book().RebuildClassifications();
  const TStrings& names = Book().Classifications();
  int keep;
  if (classifyTab) {
    auto it = std::find(names.begin(), names.end(), current);
    keep = it == names.end() ? 0 : 1 + static_cast<int>(it - names.begin());
  } else {
    keep = FTabIndex == 0 ? 0 : 1 + static_cast<int>(names.size()) + static_cast<int>(KanaTabs().size()) + 1 - fromEnd;
  }
  RebuildTabs(keep);
  // a classification tab filters by its number, which may have changed with the names
  if (classifyTab) TabChanged(FTabIndex);
  FView.RebuildClassifyMenus(names);
  if (OnClassificationsRefreshed) OnClassificationsRefreshed();
}

void TMainController::ShowAllTab() {
  FView.SetTabs(FTabs, 0);
  TabChanged(0);
}

// ---- Selection history ---------------------------------------------------------------------

void TMainController::SelectionChanged() {
  if (OnSelectionChanging && !OnSelectionChanging()) return;
  auto* person = static_cast<TPerson*>(FFrame->Selected());
  if (person) FView.ShowStatus(person->DatesText());
  int pos = FFrame->SelectedIndex();
  if (!FNavigating && pos >= 0 && (FHistoryPos < 0 || FHistory[static_cast<size_t>(FHistoryPos)] != pos)) {
    FHistory.resize(static_cast<size_t>(FHistoryPos + 1));
    FHistory.push_back(pos);
    FHistoryPos = static_cast<int>(FHistory.size()) - 1;
  }
  FView.UpdateActions();
}

void TMainController::Back() {
  if (!CanBack()) return;
  --FHistoryPos;
  FNavigating = true;
  FFrame->SelectIndex(std::min(FHistory[static_cast<size_t>(FHistoryPos)], Book().Count() - 1));
  FNavigating = false;
}

void TMainController::Forward() {
  if (!CanForward()) return;
  ++FHistoryPos;
  FNavigating = true;
  FFrame->SelectIndex(std::min(FHistory[static_cast<size_t>(FHistoryPos)], Book().Count() - 1));
  FNavigating = false;
}

void TMainController::ListReloaded() {
  RebuildTabs(0);
  FView.RebuildClassifyMenus(Book().Classifications());
  if (OnClassificationsRefreshed) OnClassificationsRefreshed();
  RefreshCounts();
  FView.SetTitle(Title());
  TabChanged(0);
}

// ---- Undo ----------------------------------------------------------------------------------

bool TMainController::CanUndo() const { return Book().History().CanUndo(); }
bool TMainController::CanRedo() const { return Book().History().CanRedo(); }

void TMainController::Undo() {
  if (Book().RefuseEditInUse()) return;
  if (CompletePendingEdit) CompletePendingEdit();
  if (!CanUndo()) return;
  Book().History().UndoStep();
  Book().SetModified(true);  // the book changed: it is saved with the next save, at the latest at the end
  RefreshCounts();
  RefreshClassifications();
  FView.UpdateActions();
}

void TMainController::Redo() {
  if (Book().RefuseEditInUse()) return;
  if (CompletePendingEdit) CompletePendingEdit();
  if (!CanRedo()) return;
  Book().History().RedoStep();
  Book().SetModified(true);
  RefreshCounts();
  RefreshClassifications();
  FView.UpdateActions();
}

// ---- Exchange ------------------------------------------------------------------------------

void TMainController::Export() {
  if (CompletePendingEdit) CompletePendingEdit();
  TCsvExporter exporter;
  exporter.Reset(PersonExchangeNames());
  FView.RunExportDialog(exporter, Book());
}

void TMainController::Import() {
  if (Book().RefuseEditInUse()) return;
  if (CompletePendingEdit) CompletePendingEdit();
  if (Book().AllCount() > 0 &&
      !AppHost().Confirm(SJ("現在の住所録にインポートします。") + "\r\n" +
                         SJ("別の住所録にインポートしたい場合はいったん「キャンセル」し、新しい住所録を作成してからインポートを実行してください。")))
    return;
  TCsvImportSession session;
  session.Start(PersonExchangeNames(), PersonColumnAlias);
  if (!FView.RunImportDialog(session)) return;
  TImportResult result;
  try {
    result = session.Import(Book());
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
    return;
  }
  CompleteImport(Book(), result);
  RefreshClassifications();
  Book().SetModified(true);
  SaveBook();
  if (!result.Skipped.empty()) {
    std::string text = SJ("次の行は取り込めませんでした：");
    for (size_t i = 0; i < result.Skipped.size() && i < 20; ++i)
      text += "\r\n" + std::to_string(result.Skipped[i].Line) + SJ("行目: ") + result.Skipped[i].Message;
    if (result.Skipped.size() > 20) text += "\r\n...";
    AppHost().ShowError(text);
  }
  AppHost().ShowInfo(TCsvImportSession::ResultMessage(result));
}

// ---- Refreshing ----------------------------------------------------------------------------

std::string TMainController::CountText() const {
  const TPersonList& book = Book();
  return std::to_string(book.AllCount()) + SJ("件中 ") + std::to_string(book.Count()) + SJ("件");
}

void TMainController::RefreshCounts() { FView.SetCountText(CountText()); }

std::string TMainController::Title() const {
  const std::string& file = Book().FileName;
  if (file.empty() || !FileExists(file)) return TVerInfo::ProductName();
  std::string title = TVerInfo::ProductName() + " - " + OpenBookName();
  if (Book().InUse()) title += SJ(" （読み取り専用：他のプログラムで使用中）");
  return title;
}

}  // namespace kaede
