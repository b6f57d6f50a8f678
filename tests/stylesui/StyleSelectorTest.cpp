#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "Files.h"
#include "PostStyles.h"
#include "StyleCategoryButtons.h"
#include "StyleDialogFakes.h"
#include "TableStyles.h"
#include "TestUtil.h"
#include "paper/StyleTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

using E = TStylePopupMenu;

// The two lists of the program with their predefined styles, in a selector.
struct TSelectorFixture : ::testing::Test {
  TPostStyleList Posts;
  TTableStyleList Tables;
  TFakeStyleDialogs Dialogs;
  TStyleSelector Selector{Dialogs};
  std::vector<std::string> Events;

  void SetUp() override {
    Posts.Reset();
    Tables.Reset();
    Selector.OnChanging = [this] { Events.push_back("changing"); };
    Selector.OnChange = [this] { Events.push_back("change"); };
    Selector.OnButtonClicked = [this] { Events.push_back("click"); };
    Selector.OnStyleCust = [this] { Events.push_back("cust"); };
    Selector.SetLists({&Posts, &Tables});
  }
  // The button of a style.
  void Select(TBaseStyle* s) {
    Selector.SelectStyle(s);
    ASSERT_EQ(Selector.SelectedStyle(), s);
  }
  std::vector<std::string> Captions(int category) const {
    std::vector<std::string> r;
    for (TBaseStyle* s : Selector.Categories()[static_cast<size_t>(category)].Styles) r.push_back(s->GetCaption());
    return r;
  }
};

TBaseStyle* UserStyle(TBaseStyleList& list, const std::string& name, const std::string& category) {
  auto* s = static_cast<TBaseStyle*>(list.AddText(std::string()));
  s->SetName(name);
  s->SetBase(&TBaseStyleValues::Category, category);
  return s;
}

}  // namespace

TEST_F(TSelectorFixture, CategoriesComeInTheOrderOfTheirFirstStyleWithAlternatingColours) {
  const auto& cats = Selector.Categories();
  ASSERT_EQ(cats.size(), 10u);
  const char* expected[] = {"官製はがき", "年賀はがき", "往復はがき", "その他のはがき", "封筒長４",
                            "封筒長３",   "封筒角６",   "封筒角３",   "ラベル",         "一覧表"};
  for (size_t i = 0; i < cats.size(); ++i) EXPECT_EQ(cats[i].Caption, Utf8ToSjis(expected[i])) << i;
  EXPECT_EQ(cats[0].Color, 8421504);
  EXPECT_EQ(cats[0].TextColor, clWhite);
  EXPECT_EQ(cats[1].Color, 12632256);
  EXPECT_EQ(cats[1].TextColor, clBlack);
  EXPECT_EQ(cats[0].Styles.size(), 8u);
  // the table presets are named when the buttons are built
  EXPECT_EQ(Captions(9)[1], SJ("【一覧表】名前と電話番号"));
  // the first style of the first list is selected, without a click
  EXPECT_EQ(Selector.SelectedStyle(), Posts.AllItems(0));
  EXPECT_TRUE(Events.empty());
}

TEST(StyleSelector, StylesOfBothListsShareACategoryOfTheSameName) {
  TPostStyleList posts;
  TTableStyleList tables(2);
  tables.Reset();
  for (const char* n : {"一", "二", "三"}) UserStyle(posts, Utf8ToSjis(n), SJ("一覧表"));
  TFakeStyleDialogs dialogs;
  TStyleSelector s(dialogs);
  s.SetLists({&posts, &tables});
  ASSERT_EQ(s.Categories().size(), 1u);
  EXPECT_EQ(s.Categories()[0].Styles.size(), 5u);
  // the last postcard style's neighbour below is a table style: no neighbour in its list
  s.SelectStyle(static_cast<TBaseStyle*>(posts.AllItems(2)));
  EXPECT_EQ(s.Menu().NextPos, -1);
  EXPECT_FALSE(s.Menu().Enabled(E::peNext));
  EXPECT_TRUE(s.Menu().Enabled(E::pePrev));
  // dragging a postcard style onto a table style is refused
  EXPECT_FALSE(s.Drop(0, 0, 0, 3));
  ASSERT_EQ(dialogs.Infos.size(), 1u);
  EXPECT_EQ(dialogs.Infos[0], SJ("入れ換えはできません"));
  EXPECT_EQ(posts.AllItems(0)->GetCaption(), SJ("一"));
  // within one list the two styles change places and the dragged one stays selected
  EXPECT_TRUE(s.Drop(0, 0, 0, 2));
  EXPECT_EQ(posts.AllItems(2)->GetCaption(), SJ("一"));
  EXPECT_EQ(s.SelectedStyle(), posts.AllItems(2));
}

TEST_F(TSelectorFixture, MenuEntriesFollowThePositionInTheCategory) {
  // 年賀はがき is the eighth postcard style but the first of its category
  Select(Posts.Style(8));
  TStylePopupMenu& m = Selector.Menu();
  EXPECT_FALSE(m.Enabled(E::pePrev));
  EXPECT_TRUE(m.Enabled(E::peNext));
  EXPECT_EQ(m.NextPos, 9);
  // the selector moves only within a category: first and last are never offered
  EXPECT_FALSE(m.Enabled(E::peFirst));
  EXPECT_FALSE(m.Enabled(E::peLast));
  for (E::TEntry e : {E::peCust, E::peAdd, E::peDelete, E::peRename, E::peOpen, E::peSave, E::peReset})
    EXPECT_TRUE(m.Enabled(e)) << e;
  Select(Posts.Style(9));
  EXPECT_TRUE(m.Enabled(E::pePrev));
  EXPECT_FALSE(m.Enabled(E::peNext));
  // moving it up exchanges it with its neighbour, rebuilds and reports the selection
  m.Run(E::pePrev);
  EXPECT_EQ(Posts.AllItems(8)->GetCaption(), SJ("年賀はがき（差出人付き）"));
  EXPECT_EQ(Selector.SelectedStyle(), Posts.AllItems(8));
  EXPECT_EQ(Events, (std::vector<std::string>{"changing", "click", "change"}));
  // outside category mode the list order decides
  TFakeStyleDialogs d;
  TStylePopupMenu plain(d);
  plain.Current = Posts.Style(8);
  EXPECT_TRUE(plain.Enabled(E::pePrev));
  EXPECT_TRUE(plain.Enabled(E::peFirst));
  plain.Run(E::peFirst);
  EXPECT_EQ(Posts.AllItems(0)->GetCaption(), SJ("年賀はがき（差出人付き）"));
  plain.Run(E::peLast);
  EXPECT_EQ(Posts.AllItems(41)->GetCaption(), SJ("年賀はがき（差出人付き）"));
}

TEST_F(TSelectorFixture, DeletingAsksFirstAndTheLastStyleOfAListStays) {
  TBaseStyle* last = Tables.Style(3);
  Select(last);
  Dialogs.Answers = {false};
  Selector.Menu().Run(E::peDelete);
  EXPECT_EQ(Tables.AllCount(), 4);
  EXPECT_TRUE(Events.empty());  // declined: nothing changed, nothing reported
  EXPECT_EQ(Dialogs.Questions.back(), "\"" + last->GetCaption() + "\"" + SJ(" を削除します。よろしいですか？"));
  Dialogs.Answers = {true};
  Selector.Menu().Run(E::peDelete);
  ASSERT_EQ(Tables.AllCount(), 3);
  EXPECT_EQ(Selector.SelectedStyle(), Tables.AllItems(2));  // the new last style
  for (int i = 0; i < 2; ++i) {
    Dialogs.Answers = {true};
    Selector.Menu().Run(E::peDelete);
  }
  ASSERT_EQ(Tables.AllCount(), 1);
  TStylePopupMenu& m = Selector.Menu();
  EXPECT_FALSE(m.Enabled(E::peDelete));
  // one style left can still be edited, copied, saved and reset
  for (E::TEntry e : {E::peCust, E::peAdd, E::peRename, E::peSave, E::peReset}) EXPECT_TRUE(m.Enabled(e)) << e;
  Dialogs.Answers = {true};
  m.Run(E::peReset);
  EXPECT_EQ(Tables.AllCount(), 4);
  EXPECT_EQ(Selector.SelectedStyle(), Tables.AllItems(0));
  // the settings command runs without the change events
  Events.clear();
  m.Run(E::peCust);
  EXPECT_EQ(Events, std::vector<std::string>{"cust"});
}

TEST_F(TSelectorFixture, AddedAndRenamedStylesKeepTheirNamesThroughTheSettings) {
  Select(Posts.Style(1));
  Dialogs.Answers = {true};
  Dialogs.Texts = {SJ("私のはがき")};
  Selector.Menu().Run(E::peAdd);
  EXPECT_EQ(Dialogs.Questions.back(), SJ("スタイルの追加|スタイル名を入力してください。|新規スタイル"));
  auto* copy = static_cast<TPostStyle*>(Posts.AllItems(2));
  EXPECT_EQ(copy->Name(), SJ("私のはがき"));
  EXPECT_EQ(Selector.SelectedStyle(), copy);
  EXPECT_EQ(copy->DefaultIndex(), -1);
  // a copy of the card with sender: the sender is shown
  EXPECT_EQ(copy->ViewInfo(TPostStyle::viSenderName)->Status(), 1);
  // renaming a predefined style
  Select(Posts.Style(0));
  Dialogs.Answers = {true};
  Dialogs.Texts = {SJ("年始の挨拶")};
  Selector.Menu().Run(E::peRename);
  EXPECT_EQ(Posts.AllItems(0)->GetCaption(), SJ("年始の挨拶"));
  // both names survive the settings
  TempDir dir;
  std::string file = dir.File("settings.ini");
  Posts.WriteToIniFile(file);
  TPostStyleList back;
  back.ReadFromIniFile(file);
  EXPECT_EQ(back.Style(0)->Name(), SJ("年始の挨拶"));
  EXPECT_EQ(back.Style(2)->Name(), SJ("私のはがき"));
  EXPECT_EQ(back.Style(2)->ViewInfo(TPostStyle::viSenderName)->Status(), 1);
  // cancelling the input box changes nothing
  Events.clear();
  Dialogs.Answers = {false};
  Selector.Menu().Run(E::peAdd);
  EXPECT_EQ(Posts.AllCount(), 43);
  EXPECT_TRUE(Events.empty());
}

TEST_F(TSelectorFixture, StyleFilesWrittenByTheProgramOpenEqualAndHandWrittenOnesOpen) {
  TempDir dir;
  auto* style = Posts.Style(3);
  style->SetDefaultIndex(-1);
  style->SetName(SJ("横書きの控え"));
  style->SetBase(&TBaseStyleValues::PaperLevelDivide, 2);
  style->ViewInfo(TPostStyle::viAtenaName)->SetFontSize(14);
  Select(style);
  Dialogs.Answers = {true};
  Dialogs.Texts = {dir.File("控え.kps")};
  Selector.Menu().Run(E::peSave);
  EXPECT_EQ(Dialogs.Questions.back(),
            "save|.kps|" + SJ("Kaede Address スタイルファイル(*.kps)|*.kps|横書きの控え.kps"));
  ASSERT_TRUE(FileExists(dir.File("控え.kps")));
  Dialogs.Answers = {true};
  Dialogs.Texts = {dir.File("控え.kps")};
  Selector.Menu().Run(E::peOpen);
  auto* opened = static_cast<TPostStyle*>(Posts.AllItems(4));
  EXPECT_EQ(Selector.SelectedStyle(), opened);
  EXPECT_EQ(WrittenKeys(*opened), WrittenKeys(*style));
  EXPECT_EQ(opened->Post(), style->Post());
  ExpectSameElements(*opened, *style);

  // a file written by hand in the stored form
  std::string hand = dir.File("hand.kps");
  WriteFileAtomic(hand, SJ("[Style]\r\nName=手書き\r\nDefaultIndex=-1\r\nPaperVerticalDivide=2\r\nVertical=0\r\n"
                           "AtenaName=1,\"ＭＳ 明朝,20\",0,0,clBlack,$00FAFCFE,clBlack\r\n"));
  Dialogs.Answers = {true};
  Dialogs.Texts = {hand};
  Selector.Menu().Run(E::peOpen);
  auto* h = static_cast<TPostStyle*>(Posts.AllItems(5));
  EXPECT_EQ(h->Name(), SJ("手書き"));
  EXPECT_EQ(h->Base().PaperVerticalDivide, 2);
  EXPECT_FALSE(h->Editor().Vertical);
  EXPECT_EQ(h->ViewInfo(TPostStyle::viAtenaName)->Font().Size, 20);
  // a predefined style saved to a file opens as that predefined style
  Select(Tables.Style(2));
  Dialogs.Answers = {true, true};
  Dialogs.Texts = {dir.File("table.kps"), dir.File("table.kps")};
  Selector.Menu().Run(E::peSave);
  Selector.Menu().Run(E::peOpen);
  EXPECT_EQ(Tables.AllItems(3)->GetCaption(), SJ("【一覧表】名前とメールとホームページ"));
}

TEST(StyleCategoryButtons, MouseClicksSelectAndTheRightButtonOpensTheMenu) {
  TPostStyleList posts;
  TTableStyleList tables;
  posts.Reset();
  tables.Reset();
  TFakeStyleDialogs dialogs;
  TStyleCategoryButtons w(dialogs);
  int clicks = 0;
  w.Selector().OnButtonClicked = [&] { ++clicks; };
  w.Selector().SetLists({&posts, &tables});
  w.resize(169, 2000);
  w.show();
  EXPECT_EQ(w.width(), 169);
  QRect b = w.ButtonRect(1, 1);  // 年賀はがき（差出人付き）
  ASSERT_FALSE(b.isEmpty());
  QTest::mouseClick(&w, Qt::LeftButton, {}, b.center());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(w.Selector().SelectedStyle(), posts.AllItems(9));
  EXPECT_EQ(w.PopupMenu(), nullptr);
  QTest::mousePress(&w, Qt::RightButton, {}, w.ButtonRect(9, 0).center());
  EXPECT_EQ(w.Selector().SelectedStyle(), tables.AllItems(0));
  ASSERT_NE(w.PopupMenu(), nullptr);
  w.PopupMenu()->UpdateEntries();
  EXPECT_FALSE(w.PopupMenu()->Action(E::pePrev)->isEnabled());
  EXPECT_TRUE(w.PopupMenu()->Action(E::peNext)->isEnabled());
  EXPECT_EQ(w.PopupMenu()->Action(E::peReset)->text(), QString::fromUtf8("初期状態"));
  w.PopupMenu()->hide();
  // dragging the first table button onto a postcard button is refused
  QTest::mousePress(&w, Qt::LeftButton, {}, w.ButtonRect(9, 0).center());
  QMouseEvent move(QEvent::MouseMove, QPointF(w.ButtonRect(0, 0).center()), w.mapToGlobal(QPointF(w.ButtonRect(0, 0).center())),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &move);
  QTest::mouseRelease(&w, Qt::LeftButton, {}, w.ButtonRect(0, 0).center());
  ASSERT_EQ(dialogs.Infos.size(), 1u);
  EXPECT_EQ(dialogs.Infos[0], SJ("入れ換えはできません"));
}
