#include <gtest/gtest.h>

#include "AppHost.h"
#include "AppPaths.h"
#include "Files.h"
#include "KaedeAddressOptions.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// A host whose data-folder dialog answers as the test says, and which records messages.
class TScriptedHost : public IAppHost {
public:
  bool answerOk = true;
  std::string folder;
  int asked = 0;
  std::vector<std::string> infos, errors;
  void ShowInfo(const std::string& t) override { infos.push_back(t); }
  void ShowError(const std::string& t) override { errors.push_back(t); }
  std::unique_ptr<TDataPathChooser> CreateDataPathChooser() override {
    struct TChooser : TDataPathChooser {
      TScriptedHost* host;
      std::string word;
      explicit TChooser(TScriptedHost* h) : host(h) {}
      void SetWord(const std::string& w) override { word = w; }
      bool Execute(const std::string&) override {
        ++host->asked;
        return host->answerOk;
      }
      std::string Folder() const override { return host->folder; }
    };
    return std::make_unique<TChooser>(this);
  }
};

struct HostScope {
  TScriptedHost host;
  HostScope() { SetAppHost(&host); }
  ~HostScope() {
    SetAppHost(nullptr);
    TAppOption::SetProgramArguments({});
  }
};

TKaedeAddressOption* NewOption() { return TDataItem::Make<TKaedeAddressOption>(); }

}  // namespace

TEST(AddressOptions, TheFirstStartAsksForTheDataFolderAndCancelEndsTheProgram) {
  test::ConfigHome home;
  {
    HostScope s;
    s.host.folder = "/tmp/books";
    auto* o = NewOption();
    EXPECT_EQ(s.host.asked, 1);
    EXPECT_EQ(o->DataPath(), "/tmp/books/");
    ASSERT_EQ(s.host.infos.size(), 1u);
    EXPECT_EQ(s.host.infos[0], SJ("変更したフォルダは次回起動時から反映されます"));
    o->Free();  // saves: the next start asks nothing
    auto* again = NewOption();
    EXPECT_EQ(s.host.asked, 1);
    EXPECT_EQ(again->DataPath(), "/tmp/books/");
    again->Free();
  }
  {
    test::ConfigHome fresh;  // no settings at all: the first start again
    HostScope s;
    s.host.answerOk = false;
    auto* o = NewOption();
    EXPECT_TRUE(AppHost().Terminated());
    o->Free();
  }
}

TEST(AddressOptions, AFolderOnTheCommandLineAnswersTheFirstStartQuestion) {
  test::ConfigHome home;
  HostScope s;
  TAppOption::SetProgramArguments({"/D/tmp/kaede-data", SJ("住所録")});
  auto* o = NewOption();
  EXPECT_EQ(s.host.asked, 0);
  EXPECT_EQ(o->DataPath(), "/tmp/kaede-data/");
  TStrings files;
  o->OnParams = [&](const TStrings& f) { files = f; };
  o->ParseCommandLine();
  EXPECT_EQ(files, TStrings{SJ("住所録")});
  o->ParseCommandLine({"/D"});  // alone: the program folder
  EXPECT_EQ(o->DataPath(), o->ProgramFolder);
  o->ParseCommandLine({"/N" + SJ("山田"), "/S" + SJ("年賀状")});
  EXPECT_EQ(o->StartName, SJ("山田"));
  EXPECT_EQ(o->StartStyle, SJ("年賀状"));
  o->Free();
}

TEST(AddressOptions, ADoubleClickedBookIsAFileNeverTheDataFolderSwitch) {
  test::ConfigHome home;
  std::string book = "/data/books/" + SJ("家族.kad");
  {
    HostScope s;
    s.host.folder = "/tmp/books";
    TAppOption::SetProgramArguments({book});
    auto* o = NewOption();
    EXPECT_EQ(s.host.asked, 1);  // the first start still asks: the path answers nothing
    EXPECT_EQ(o->DataPath(), "/tmp/books/");
    TStrings files;
    o->OnParams = [&](const TStrings& f) { files = f; };
    o->ParseCommandLine();
    EXPECT_EQ(files, TStrings{book});
    EXPECT_EQ(o->DataPath(), "/tmp/books/");
    EXPECT_TRUE(o->StartName.empty());
    EXPECT_TRUE(o->StartStyle.empty());
    o->Free();  // saves
  }
  {
    HostScope s;
    TAppOption::SetProgramArguments({"/srv/" + SJ("名簿.kad"), "/nonexistent/folder/x"});
    auto* o = NewOption();
    o->ParseCommandLine();
    EXPECT_EQ(o->DataPath(), "/tmp/books/");  // what was saved stays
    EXPECT_TRUE(o->StartName.empty());
    EXPECT_TRUE(o->StartStyle.empty());
    o->Free();
  }
  {
    // "-D folder" answers the first start as "/Dfolder" does
    test::ConfigHome fresh;
    HostScope s;
    TAppOption::SetProgramArguments({"-D", "/tmp/kaede other", book});
    auto* o = NewOption();
    EXPECT_EQ(s.host.asked, 0);
    EXPECT_EQ(o->DataPath(), "/tmp/kaede other/");
    o->Free();
  }
}

TEST(AddressOptions, DefaultsLeaveTheSectionEmptyAndEveryKeyRoundTrips) {
  test::ConfigHome home;
  HostScope s;
  s.host.folder = "/tmp/d";
  auto* o = NewOption();
  o->SetDataPath("");
  o->Free();
  {
    auto store = TSettingsStore::OpenRegistry("");
    EXPECT_TRUE(store->SectionExists("Option"));
    EXPECT_TRUE(store->Keys("Option").empty());
  }
  o = NewOption();  // asks again: nothing was stored
  o->SetPostVisible(true);
  o->SetPersonListWidth(210);
  o->SetPersonFrameWidth(300);
  o->SetSelectStyleKind(2);
  o->SetSelectStyleNo(5);
  o->SetDataPath(SJ("/home/山田/住所録"));
  o->SetFormState("10|20|300|200|0");
  o->SetStartFile(SJ("仕事.kad"));
  auto* sender = static_cast<TPerson*>(o->SenderList().AddText(SJ("x,やまだ,自宅:03-1|携帯:090-2")));
  sender->SetName(SJ("\"山田\", 太郎 | 様"));
  o->SenderList().AddText(SJ("鈴木,すずき"));
  o->FindHistoryList().AddText(SJ("山田"));
  o->Free();
  {
    auto store = TSettingsStore::OpenRegistry("");
    EXPECT_EQ(store->Keys("Option").size(), 10u);
    // each sender's text form stands in double quotes, inner quotes doubled
    std::string senders = store->ReadString("Option", "SenderPersons", "");
    EXPECT_NE(senders.find("\"\"\"\"\"\""), std::string::npos) << test::U8(senders);
  }
  auto* back = NewOption();
  EXPECT_TRUE(back->PostVisible());
  EXPECT_EQ(back->PersonListWidth(), 210);
  EXPECT_EQ(back->PersonFrameWidth(), 300);
  EXPECT_EQ(back->SelectStyleKind(), 2);
  EXPECT_EQ(back->SelectStyleNo(), 5);
  EXPECT_EQ(back->DataPath(), SJ("/home/山田/住所録/"));
  EXPECT_EQ(back->FormState(), "10|20|300|200|0");
  EXPECT_EQ(back->StartFile(), SJ("仕事.kad"));
  ASSERT_EQ(back->SenderList().Count(), 2);
  auto* first = back->SenderList().Persons(0);
  EXPECT_EQ(first->Name(), SJ("\"山田\", 太郎 | 様"));
  EXPECT_EQ(first->Tels().Count(), 2);
  EXPECT_EQ(back->FindHistoryList().Count(), 1);
  back->Free();
}

TEST(AddressOptions, DamagedListValuesLoadEmptyAndAreReported) {
  test::ConfigHome home;
  HostScope s;
  {
    auto store = TSettingsStore::OpenRegistry("");
    store->WriteString("Option", "DataPath", "/tmp/x");
    // one sender whose registration date is not a date
    store->WriteString("Option", "SenderPersons", "\"a,b,,,,,,,,,2008-1-1\"");
    store->Save();
  }
  auto* o = NewOption();
  EXPECT_EQ(s.host.asked, 0);
  EXPECT_EQ(o->SenderList().Count(), 0);
  EXPECT_EQ(s.host.errors.size(), 1u);
  o->Free();
}

TEST(AddressOptions, FormStateKeepsWhatItCannotRead) {
  TFormState now{1, 2, 3, 4, 0};
  TFormState s = TextToFormState("10|20|300|200|1", now);
  EXPECT_EQ(s.Left, 10);
  EXPECT_EQ(s.Height, 200);
  EXPECT_EQ(s.State, 1);
  s = TextToFormState("10|x|300", now);
  EXPECT_EQ(s.Left, 10);
  EXPECT_EQ(s.Top, 2);
  EXPECT_EQ(s.Width, 300);
  EXPECT_EQ(s.Height, 4);
  EXPECT_EQ(FormStateToText(TFormState{}), "40|40|600|400|0");
}
