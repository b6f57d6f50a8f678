#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "AppHost.h"
#include "Files.h"
#include "MainControllers.h"
#include "PersonColumns.h"
#include "TestUtil.h"
#include "ui/FakeViews.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

class TScriptedHost : public IAppHost {
public:
  std::vector<bool> confirms;  // answers, in order; true when empty
  std::vector<std::string> infos, errors, asked;
  void ShowInfo(const std::string& t) override { infos.push_back(t); }
  void ShowError(const std::string& t) override { errors.push_back(t); }
  bool Confirm(const std::string& t) override {
    asked.push_back(t);
    if (confirms.empty()) return true;
    bool a = confirms.front();
    confirms.erase(confirms.begin());
    return a;
  }
};

class TFakeMainView : public IMainView {
public:
  std::string title, counts, status;
  TStrings tabs, books, classifyMenus;
  int tab = 0;
  std::vector<std::pair<bool, std::string>> inputs;  // answers of the input box, in order
  std::function<bool(TCsvImportSession&)> importDialog;
  void SetTitle(const std::string& t) override { title = t; }
  void SetTabs(const TStrings& t, int index) override {
    tabs = t;
    tab = index;
  }
  void SetCountText(const std::string& t) override { counts = t; }
  void ShowStatus(const std::string& t) override { status = t; }
  void RebuildBookMenus(const TStrings& b, const std::string&) override { books = b; }
  void RebuildClassifyMenus(const TStrings& n) override { classifyMenus = n; }
  void UpdateActions() override {}
  bool InputText(const std::string&, const std::string&, std::string& value) override {
    if (inputs.empty()) return false;
    auto [ok, text] = inputs.front();
    inputs.erase(inputs.begin());
    value = Utf8ToSjis(text);
    return ok;
  }
  bool RunExportDialog(TCsvExporter&, TDataList&) override { return false; }
  bool RunImportDialog(TCsvImportSession& s) override { return importDialog && importDialog(s); }
};

struct Fixture {
  test::ConfigHome home;
  test::TempDir data;
  TScriptedHost host;
  TFakeMainView view;
  test::TFakeListView list;
  TKaedeAddressOption* options;
  std::unique_ptr<TMainController> c;

  Fixture() {
    SetAppHost(&host);
    TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(data.Path())});
    options = TDataItem::Make<TKaedeAddressOption>();
  }
  ~Fixture() {
    c.reset();
    options->Free();
    SetAppHost(nullptr);
    TAppOption::SetProgramArguments({});
  }
  std::string Book(const char* utf8Name) const { return Utf8ToSjis(data.Path() + "/" + utf8Name + ".kad"); }
  void WriteBook(const char* utf8Name, const char* utf8Lines) { WriteFileAtomic(Book(utf8Name), Utf8ToSjis(utf8Lines)); }
  void Start() {
    c = std::make_unique<TMainController>(*options, view, list);
    c->Start();
  }
  std::string Selected() {
    auto* p = static_cast<TPerson*>(c->ListFrame().Selected());
    return p ? SjisToUtf8(p->Name()) : "<none>";
  }
};

}  // namespace

TEST(MainWindow, AnEmptyDataFolderAsksForANameAndCancelGivesTheDefaultBook) {
  Fixture f;
  f.Start();
  EXPECT_TRUE(FileExists(f.Book("住所録")));  // cancelled: the default book exists
  EXPECT_EQ(f.view.title, SJ("Kaede Address - 住所録"));
  EXPECT_EQ(f.c->BookNames(), TStrings{SJ("住所録")});
}

TEST(MainWindow, StartOpensTheStartBookOrTheFirstAndAnsweredNameMakesABook) {
  {
    Fixture f;
    f.view.inputs = {{true, "仕事"}};
    f.Start();
    EXPECT_TRUE(FileExists(f.Book("仕事")));
    EXPECT_EQ(f.c->OpenBookName(), SJ("仕事"));
  }
  Fixture f;
  f.WriteBook("b", "b1,b\r\n");
  f.WriteBook("a", "a1,a\r\n");
  f.Start();
  EXPECT_EQ(f.c->OpenBookName(), "a");  // the first book by name
  EXPECT_EQ(f.view.counts, SJ("1件中 1件"));
}

TEST(MainWindow, BackAndForwardFollowTheSelections) {
  Fixture f;
  f.WriteBook("住所録", "a,あ\r\nb,い\r\nc,う\r\nd,え\r\ne,お\r\n");
  f.Start();
  ASSERT_EQ(f.Selected(), "a");
  for (int i : {1, 4, 2}) f.c->ListFrame().SelectIndex(i);
  EXPECT_TRUE(f.c->CanBack());
  f.c->Back();
  EXPECT_EQ(f.Selected(), "e");
  f.c->Back();
  EXPECT_EQ(f.Selected(), "b");
  EXPECT_TRUE(f.c->CanForward());
  f.c->ListFrame().SelectIndex(3);  // a new selection discards the way forward
  EXPECT_FALSE(f.c->CanForward());
  f.c->Back();
  EXPECT_EQ(f.Selected(), "b");
}

TEST(MainWindow, TabsFilterByClassificationKanaRowAndFind) {
  Fixture f;
  f.WriteBook("住所録",
              "山田,やまだ,,,,,,家族\r\n加藤,かとう,,,,,,友人|家族\r\n佐藤,さとう\r\nSmith,smith\r\n後藤,ごとう\r\n");
  f.Start();
  // 全, 家族, 友人, あ..わ, 他, 検索
  ASSERT_EQ(f.view.tabs.size(), 1u + 2 + 11 + 1);
  // classifications in the order they first appear in the book (sorted by reading)
  EXPECT_EQ(f.view.tabs[1], SJ("友人"));
  EXPECT_EQ(f.view.tabs[2], SJ("家族"));
  f.c->TabChanged(2);
  EXPECT_EQ(f.c->Book().Count(), 2);
  int ka = 1 + 2 + 1;  // "か"
  f.c->TabChanged(ka);
  EXPECT_EQ(f.c->Book().Count(), 2);  // かとう and ごとう
  EXPECT_EQ(f.view.counts, SJ("5件中 2件"));
  f.c->TabChanged(f.c->FindTab() - 1);  // 他
  EXPECT_EQ(f.Selected(), "Smith");
  f.c->ToggleFind();
  EXPECT_TRUE(f.list.findShown);
  f.list.findText = SJ("藤");
  f.c->ListFrame().FindTextChanged(f.list.findText);
  EXPECT_EQ(f.c->Book().Count(), 3);
  f.c->TabChanged(1 + 2);  // 検索 -> あ: the find box goes, the row filter comes
  EXPECT_FALSE(f.list.findShown);
  EXPECT_EQ(f.c->Book().Count(), 0);
  f.c->ToggleFind();
  f.c->ToggleFind();  // back to 全
  EXPECT_EQ(f.view.tab, 0);
  EXPECT_EQ(f.c->Book().Count(), 5);
}

TEST(MainWindow, BookNamesAreCheckedAndRenamingLeavesTheOldFileInTheTrash) {
  Fixture f;
  ::setenv("XDG_DATA_HOME", (f.data.Path() + "/share").c_str(), 1);
  f.WriteBook("住所録", "a,a\r\n");
  f.WriteBook("仕事", "w,w\r\n");
  f.Start();
  for (const char* bad : {"", "../x", ".hidden", "a/b"}) {
    f.view.inputs = {{true, bad}};
    EXPECT_FALSE(f.c->RenameBook()) << bad;
  }
  EXPECT_EQ(f.host.errors.size(), 4u);
  // onto an existing book: asked, and refused when the answer is no
  f.host.confirms = {false};
  f.view.inputs = {{true, "仕事"}};
  EXPECT_FALSE(f.c->RenameBook());
  EXPECT_EQ(ReadFileBytes(f.Book("仕事")), "w,w\r\n");
  f.view.inputs = {{true, "家族"}};
  EXPECT_TRUE(f.c->RenameBook());
  // one book under its new name; the old file can be restored from the trash
  EXPECT_FALSE(FileExists(f.Book("住所録")));
  EXPECT_TRUE(fs::exists(f.data.Path() + "/share/Trash/files/住所録.kad"));
  EXPECT_TRUE(FileExists(f.Book("家族")));
  TStrings books = f.view.books;
  std::sort(books.begin(), books.end());
  EXPECT_EQ(books, (TStrings{SJ("家族"), SJ("仕事")}));  // in byte order
  EXPECT_EQ(f.view.title, SJ("Kaede Address - 家族"));
  ::unsetenv("XDG_DATA_HOME");
}

TEST(MainWindow, DeletingTheOpenBookEmptiesTheListAndTheTitle) {
  Fixture f;
  ::setenv("XDG_DATA_HOME", (f.data.Path() + "/share").c_str(), 1);
  f.WriteBook("住所録", "a,a\r\nb,b\r\n");
  f.Start();
  EXPECT_TRUE(f.c->DeleteBook(SJ("住所録")));
  EXPECT_FALSE(FileExists(f.Book("住所録")));
  EXPECT_EQ(f.c->Book().AllCount(), 0);
  EXPECT_EQ(f.view.title, "Kaede Address");
  EXPECT_TRUE(fs::exists(f.data.Path() + "/share/Trash/files/住所録.kad"));
  ::unsetenv("XDG_DATA_HOME");
}

TEST(MainWindow, UndoMarksTheBookAndClosingSavesIt) {
  Fixture f;
  f.WriteBook("住所録", "a,a\r\nb,b\r\n");
  f.Start();
  f.c->Book().Delete(0);
  f.c->SaveBook();
  EXPECT_EQ(ReadFileBytes(f.Book("住所録")).find("a,a"), std::string::npos);
  f.c->Undo();  // the deleted entry comes back ...
  EXPECT_TRUE(f.c->Book().Modified());
  f.c->Close();  // ... and reaches the file when the window closes
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find("a,a"), std::string::npos);
  EXPECT_EQ(f.options->StartFile(), SJ("住所録.kad"));
}

TEST(MainWindow, APendingEditIsCompletedBeforeAnotherBookOpens) {
  Fixture f;
  f.WriteBook("住所録", "a,a\r\n");
  f.WriteBook("仕事", "w,w\r\n");
  f.Start();
  int completed = 0;
  f.c->CompletePendingEdit = [&] {
    ++completed;
    // the edit reaches the book that was open when it was made
    static_cast<TPerson*>(f.c->Book().Items(0))->SetName("edited");
    f.c->SaveBook();
  };
  f.c->OpenBook(SJ("仕事"));
  EXPECT_EQ(completed, 1);
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find("edited"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(f.Book("仕事")), "w,w\r\n");
}

TEST(MainWindow, TheSyntheticFileImportsThroughTheDialogAndUndoesInOneStep) {
  KAEDE_NEEDS_SHARED_DATA();
  Fixture f;
  f.WriteBook("住所録", "既存,きそん\r\n");
  f.Start();
  f.c->Book().SetModified(true);
  f.c->SaveBook();  // the book as the program writes it
  std::string before = ReadFileBytes(f.Book("住所録"));
  f.view.importDialog = [](TCsvImportSession& s) {
    return s.Load(Utf8ToSjis(test::SharedData("fake/synthetic_addressbook_5000_cp932.csv")));
  };
  f.c->Import();
  EXPECT_EQ(f.c->Book().AllCount(), 5001);
  EXPECT_EQ(f.host.infos.back(), SJ("5000件インポートしました"));
  EXPECT_FALSE(f.c->Book().Modified());  // saved
  f.c->Undo();
  EXPECT_EQ(f.c->Book().AllCount(), 1);
  f.c->Close();
  EXPECT_EQ(ReadFileBytes(f.Book("住所録")), before);
}

TEST(MainWindow, ABookGivenByItsPathOpensAsTheDesktopPassesADoubleClickedOne) {
  test::TempDir elsewhere;
  std::string path = Utf8ToSjis(elsewhere.Path() + "/家族.kad");
  WriteFileAtomic(path, SJ("父,ちち\r\n母,はは\r\n"));
  Fixture f;
  f.WriteBook("住所録", "a,あ\r\n");
  TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(f.data.Path()), path});
  f.Start();
  EXPECT_EQ(f.c->Book().FileName, path);
  EXPECT_EQ(f.c->Book().AllCount(), 2);
  EXPECT_EQ(f.view.title, SJ("Kaede Address - 家族"));
  EXPECT_EQ(f.options->DataPath(), Utf8ToSjis(f.data.Path()) + "/");  // the data folder stays
}

TEST(MainWindow, AnImportWithNothingMappedIsRefusedWithAMessage) {
  Fixture f;
  f.WriteBook("住所録", "a,あ\r\n");
  f.Start();
  f.view.importDialog = [](TCsvImportSession& s) { return s.LoadBytes("foo,bar\r\n1,2\r\n"); };
  f.c->Import();
  ASSERT_FALSE(f.host.errors.empty());
  EXPECT_NE(f.host.errors.back().find(TCsvImportSession::NoMappingMessage()), std::string::npos);
  EXPECT_EQ(f.c->Book().AllCount(), 1);
}
