#include <gtest/gtest.h>

#include "AppHost.h"
#include "FakeViews.h"
#include "Files.h"
#include "MainControllers.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// A main view that counts the questions it is asked and answers none.
class TQuestionCountingView : public IMainView {
public:
  int Questions = 0;
  std::string Title;
  void SetTitle(const std::string& t) override { Title = t; }
  void SetTabs(const TStrings&, int) override {}
  void SetCountText(const std::string&) override {}
  void ShowStatus(const std::string&) override {}
  void RebuildBookMenus(const TStrings&, const std::string&) override {}
  void RebuildClassifyMenus(const TStrings&) override {}
  void UpdateActions() override {}
  bool InputText(const std::string&, const std::string&, std::string&) override {
    ++Questions;
    return false;
  }
  bool RunExportDialog(TCsvExporter&, TDataList&) override { return false; }
  bool RunImportDialog(TCsvImportSession&) override { return false; }
};

}  // namespace

TEST(QuitAfterStart, AnEmptyDataFolderGetsTheDefaultBookWithoutAQuestion) {
  test::ConfigHome home;
  test::TempDir data;
  IAppHost host;  // a host of its own: quitting ends this one
  SetAppHost(&host);
  TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(data.Path()), "/Q"});
  auto* options = TDataItem::Make<TKaedeAddressOption>();
  {
    TQuestionCountingView view;
    test::TFakeListView list;
    TMainController c(*options, view, list);
    c.Start();
    EXPECT_EQ(view.Questions, 0);
    EXPECT_TRUE(FileExists(Utf8ToSjis(data.Path() + "/住所録.kad")));
    EXPECT_EQ(c.OpenBookName(), SJ("住所録"));
    EXPECT_TRUE(AppHost().Terminated());  // and the program ends
  }
  options->Free();
  TAppOption::SetProgramArguments({});
  SetAppHost(nullptr);
}

TEST(QuitAfterStart, TheFirstStartTakesTheDefaultFolderWithoutAsking) {
  test::ConfigHome home;  // no settings yet: the first start
  IAppHost host;
  SetAppHost(&host);
  TAppOption::SetProgramArguments({"/Q"});
  auto* options = TDataItem::Make<TKaedeAddressOption>();
  // the headless host cancels the folder dialog, which would end the program here
  EXPECT_FALSE(AppHost().Terminated());
  EXPECT_EQ(options->DataPath(), TKaedeAddressOption::DefaultDataPath());
  options->Free();
  TAppOption::SetProgramArguments({});
  SetAppHost(nullptr);
}
