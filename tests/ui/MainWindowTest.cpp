#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QPixmap>
#include <filesystem>

#include "AppHost.h"
#include "CoolTabSets.h"
#include "DataListFrames.h"
#include "Files.h"
#include "KaedeAddressMains.h"
#include "MessageStatusBars.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {
// The sample book as the build makes it for the program folder.
std::string SampleBook() { return std::string(KAEDE_BINARY_DIR) + "/bin/住所録.kad"; }
}  // namespace

TEST(SampleBook, HoldsTwentyEntriesThatLoadWithoutError) {
  TPersonList book;
  book.LoadFromFile(Utf8ToSjis(SampleBook()), false);
  EXPECT_EQ(book.AllCount(), 20);
  book.RebuildClassifications();
  EXPECT_EQ(book.Classifications(), (TStrings{SJ("友人"), SJ("家族"), SJ("年賀状"), SJ("仕事")}));
  int joint = 0, companies = 0;
  for (int i = 0; i < book.AllCount(); ++i) {
    TPerson* p = book.AllPersons(i);
    EXPECT_FALSE(p->Yomi().empty());
    joint += p->Renmei().Count() > 0;
    companies += p->Honorific() == SJ("御中");
  }
  EXPECT_GE(joint, 3);
  EXPECT_GE(companies, 3);
}

TEST(MainWindowScreen, TheSampleBookOnTheKaTab) {
  test::ConfigHome home;
  test::TempDir data;
  fs::copy_file(SampleBook(), data.Path() + "/住所録.kad");
  TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(data.Path())});
  auto* options = TDataItem::Make<TKaedeAddressOption>();
  {
    TKaedeAddressMain w(*options);
    w.resize(900, 560);
    w.Start();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.windowTitle().toStdString(), "Kaede Address - 住所録");
    // the か tab: after 全 and the four classifications come あ, か ...
    const TStrings& tabs = w.Controller().Tabs();
    auto ka = std::find(tabs.begin(), tabs.end(), SJ("か"));
    ASSERT_NE(ka, tabs.end());
    w.TabSet()->SetTabIndex(static_cast<int>(ka - tabs.begin()));
    QApplication::processEvents();
    EXPECT_EQ(w.Controller().Book().Count(), 3);  // 加藤 恵子, 楓建設, 小林 修
    EXPECT_EQ(w.ListWidget()->SelectedRow(), 0);
    EXPECT_EQ(w.ListWidget()->ListView()->model()->rowCount(), 3);
    EXPECT_TRUE(w.Action("ActionAdd")->isEnabled());
    EXPECT_TRUE(w.Action("ActionDel")->isEnabled());
    EXPECT_TRUE(w.Action("ActionPrint")->isEnabled());  // printing opens the print area when it is closed
    EXPECT_FALSE(w.Action("ActionStyle")->isEnabled());  // the style settings need the open print area
    fs::create_directories(std::string(KAEDE_BINARY_DIR) + "/screenshots");
    QPixmap shot = w.grab();
    EXPECT_TRUE(shot.save(QString::fromStdString(std::string(KAEDE_BINARY_DIR) + "/screenshots/main-window-ka.png")));
    w.close();
  }
  options->Free();
  TAppOption::SetProgramArguments({});
}
