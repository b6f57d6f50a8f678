#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include "ui/EntryFakes.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// A book of entries given as "name,reading" lines.
void Fill(TPersonList& book, std::initializer_list<const char*> lines) {
  for (const char* l : lines) book.AddPerson(S(l));
}

}  // namespace

TEST(RelationEditDialog, ShowsKindAndValueAndKeepsALineWithoutKind) {
  TFakeRelationEditView d;
  TStrings shown;
  d.script.OnRun = [&](TFakeRelationEditView& v) {
    shown = {v.kind, v.value};
    return true;
  };
  ASSERT_TRUE(d.logic.Execute(S("電話番号の修正"), TelKinds(), nullptr, S("自宅:03-1234-5678"), S("電話番号：")));
  EXPECT_EQ(U8L(shown), (std::vector<std::string>{"自宅", "03-1234-5678"}));
  EXPECT_EQ(U8L(d.kinds), (std::vector<std::string>{"自宅", "IP", "携帯", "FAX"}));
  EXPECT_SJ_EQ("電話番号の修正", d.caption);
  EXPECT_SJ_EQ("電話番号：", d.valueLabel);
  EXPECT_SJ_EQ("自宅:03-1234-5678", d.logic.EntryText());

  // a number stored without a kind shows as the value, and OK keeps the number
  ASSERT_TRUE(d.logic.Execute(S("電話番号の修正"), TelKinds(), nullptr, "03-1234-5678", S("電話番号：")));
  EXPECT_EQ(U8L(shown), (std::vector<std::string>{"", "03-1234-5678"}));
  EXPECT_EQ(d.logic.EntryText(), ":03-1234-5678");

  // a new line starts empty; the value keeps what follows the first ":"
  d.logic.SetEntryText("");
  EXPECT_EQ(d.kind + d.value, "");
  d.logic.SetEntryText("a:b:c");
  EXPECT_EQ(d.value, "b:c");
}

TEST(RelationEditDialog, TheChooserTakesANameFromACopyOfTheWholeBook) {
  TPersonList book;
  Fill(book, {"山田太郎,やまだたろう", "ABC商事,えーびーしーしょうじ", "加藤,かとう"});
  book.FindMode = pfmKanaRow;
  book.FilterNo(7);  // the main window shows only the や row
  ASSERT_EQ(book.Count(), 1);

  TFakeRelationEditView d;
  d.logic.SetShowChooser(true);
  EXPECT_TRUE(d.chooserShown);
  TPersonSelect& chooser = d.chooser.logic;
  d.chooser.script.OnRun = [&](TFakePersonSelectView& v) {
    EXPECT_EQ(v.logic.List().Count(), 3);
    v.logic.TabChanged(2);  // か
    EXPECT_EQ(Names(v.logic.List()), (std::vector<std::string>{"加藤"}));
    v.logic.Frame().SelectIndex(0);
    return true;
  };
  d.script.OnRun = [&](TFakeRelationEditView& v) {
    v.logic.ChooserClicked();
    return true;
  };
  ASSERT_TRUE(d.logic.Execute(S("関連先の追加"), RelationKinds(), &book, "", S("関連先：")));
  EXPECT_SJ_EQ(":加藤", d.logic.EntryText());
  EXPECT_EQ(d.logic.Book(), &book);
  EXPECT_EQ(book.Count(), 1);  // the book itself is untouched

  // OK without a selected entry, or cancel, changes nothing
  d.chooser.script.OnRun = [](TFakePersonSelectView& v) {
    v.logic.Frame().SelectIndex(-1);
    return true;
  };
  d.logic.ChooserClicked();
  EXPECT_SJ_EQ(":加藤", d.logic.EntryText());
  EXPECT_EQ(chooser.Tab(), 2);
}

TEST(PersonSelectDialog, TabsFilterByKanaRowAndANewBookKeepsTheTab) {
  TPersonList book;
  Fill(book, {"山田,やまだ", "青木,あおき", "和田,わだ", "ＡＢＣ,ABC"});
  TFakePersonSelectView d;
  d.logic.SetBook(&book);
  EXPECT_EQ(d.logic.List().Count(), 4);
  d.logic.TabChanged(1);
  EXPECT_EQ(Names(d.logic.List()), (std::vector<std::string>{"青木"}));
  d.logic.TabChanged(11);  // 他
  EXPECT_EQ(Names(d.logic.List()), (std::vector<std::string>{"ＡＢＣ"}));
  d.logic.TabChanged(10);  // わ
  EXPECT_EQ(Names(d.logic.List()), (std::vector<std::string>{"和田"}));
  // a new copy shows as the tab row says
  book.AddPerson(S("渡辺,わたなべ"));
  d.logic.SetBook(&book);
  EXPECT_EQ(Names(d.logic.List()), (std::vector<std::string>{"和田", "渡辺"}));
  d.logic.TabChanged(0);
  EXPECT_EQ(d.logic.List().Count(), 5);
  EXPECT_EQ(TPersonSelect::TabCaptions().size(), 12u);
}

TEST(PersonDetailDialog, AnEmptyHonorificIsAutomaticBothWays) {
  TPersonList book;
  TPerson* p = book.AddPerson(S("山田太郎,やまだたろう"));
  TFakeDetailView d;
  d.logic.SetPerson(p);
  EXPECT_SJ_EQ("（自動）", d.keisyo);
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_EQ(d.logic.Person().Keisyo(), "");
  EXPECT_EQ(p->Keisyo(), "");  // the dialog works on its own copy

  d.script.OnRun = [](TFakeDetailView& v) {
    v.keisyo = S("先生");
    v.title = S("部長");
    v.renmei = SL({"花子|様", ""});
    return true;
  };
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_SJ_EQ("先生", d.logic.Person().Keisyo());
  EXPECT_SJ_EQ("部長", d.logic.Person().Title());
  EXPECT_EQ(d.logic.Person().Renmei().Count(), 2);
  d.logic.SetPerson(&d.logic.Person());
  EXPECT_SJ_EQ("先生", d.keisyo);
  d.logic.SetPerson(nullptr);  // nothing
  EXPECT_SJ_EQ("先生", d.keisyo);
  // cancel leaves the copy as it was
  d.script.OnRun = [](TFakeDetailView& v) {
    v.keisyo = S("様");
    return false;
  };
  EXPECT_FALSE(d.logic.Execute());
  EXPECT_SJ_EQ("先生", d.logic.Person().Keisyo());
  EXPECT_EQ(KeisyoItems().size(), 16u);
}

TEST(SenderDialog, AnEmptyListShowsOneEmptySenderThatCannotBeDeleted) {
  TPersonList settings;
  TFakeSenderView d;
  d.logic.SetSenders(&settings);
  EXPECT_EQ(U8L(d.tabs), (std::vector<std::string>{"差出人1"}));
  ASSERT_TRUE(d.logic.Execute(3));  // outside the tabs: the first
  EXPECT_EQ(d.tab, 0);
  EXPECT_EQ(d.name, "");
  EXPECT_FALSE(d.deleteEnabled);
  d.logic.Delete();
  EXPECT_EQ(d.logic.Senders().Count(), 1);
  d.logic.SetSenders(nullptr);  // nothing
  EXPECT_EQ(d.logic.Senders().Count(), 1);
}

TEST(SenderDialog, DeletingTheSecondOfThreeShowsTheFormerThirdInItsPlace) {
  TPersonList settings;
  settings.AutoSort = false;
  Fill(settings, {"C,c", "A,a", "B,b"});
  TFakeSenderView d;
  d.logic.SetSenders(&settings);
  d.script.OnRun = [](TFakeSenderView& v) {
    v.logic.Delete();
    return true;
  };
  ASSERT_TRUE(d.logic.Execute(1));
  EXPECT_EQ(U8L(d.tabs), (std::vector<std::string>{"差出人1", "差出人2"}));
  EXPECT_EQ(d.tab, 1);
  EXPECT_EQ(d.name, "B");
  EXPECT_TRUE(d.deleteEnabled);
  EXPECT_EQ(Names(d.logic.Senders()), (std::vector<std::string>{"C", "B"}));
  // deleting the last tab selects the new last
  d.logic.Delete();
  EXPECT_EQ(d.tab, 0);
  EXPECT_EQ(d.name, "C");
  EXPECT_EQ(settings.Count(), 3);  // the dialog works on a copy
}

TEST(SenderDialog, ChangesGoIntoTheSenderOfTheCurrentTab) {
  TPersonList settings;
  TFakeSenderView d;
  d.logic.SetSenders(&settings);
  d.logic.Add();
  EXPECT_EQ(U8L(d.tabs), (std::vector<std::string>{"差出人1", "差出人2"}));
  EXPECT_EQ(d.tab, 1);
  d.logic.NameChanged(S("楓商店"));
  d.logic.AddressChanged("1000001", SL({"東京都千代田区千代田"}));
  d.logic.TelsChanged(SL({"TEL:03-0000-0000"}));
  d.logic.MailsChanged(SL({"PC:a@example.jp"}));
  d.logic.RenmeiChanged(SL({""}));
  TPerson* second = d.logic.Senders().Persons(1);
  EXPECT_SJ_EQ("楓商店", second->Name());
  EXPECT_EQ(second->Postal(), "1000001");
  EXPECT_EQ(second->Tels().Count(), 1);
  EXPECT_EQ(second->Mails()[0], "PC:a@example.jp");
  EXPECT_EQ(second->Renmei().Count(), 0);
  EXPECT_EQ(d.logic.Senders().Persons(0)->Name(), "");
  d.logic.TabChanged(0);
  EXPECT_EQ(d.name, "");
  d.logic.TabChanged(1);
  EXPECT_SJ_EQ("楓商店", d.name);
  EXPECT_EQ(d.postal, "1000001");
}

TEST(FormatDialog, OpensWithEverySwitchTickedEachTime) {
  TFakeUnifyView d;
  d.script.OnRun = [](TFakeUnifyView& v) {
    v.checks[1] = v.checks[4] = false;
    return true;
  };
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_EQ(d.logic.Options(), ufNameSpace | ufYomiHiragana | ufAddressHankaku | ufCompanyMarks);
  d.script.OnRun = [](TFakeUnifyView& v) {
    EXPECT_EQ(v.checks, (std::array<bool, 6>{true, true, true, true, true, true}));
    v.checks.fill(false);
    return true;
  };
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_EQ(d.logic.Options(), 0u);
  EXPECT_EQ(TPersonFormUnify::ItemCaptions().size(), 6u);
}

TEST(AddPersonDialog, StartsEmptyAndTheReadingFollowsTheName) {
  TFakeAddPersonView d;
  d.name = "old";
  d.yomi = "old";
  d.script.OnRun = [](TFakeAddPersonView& v) {
    EXPECT_EQ(v.name + v.yomi, "");
    EXPECT_TRUE(v.nameFocused);
    v.Type("山田", "やまだ");
    v.Type("太郎", "たろう");
    return true;
  };
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_SJ_EQ("山田太郎", d.logic.NameText());
  EXPECT_SJ_EQ("やまだたろう", d.logic.YomiText());
  // the next entry reads the same: its reading is taken again
  d.script.OnRun = [](TFakeAddPersonView& v) {
    v.Type("山田", "やまだ");
    return true;
  };
  ASSERT_TRUE(d.logic.Execute());
  EXPECT_SJ_EQ("やまだ", d.logic.YomiText());
}

// The Qt faces hand the fields to their logic both ways.
TEST(DialogWidgets, FieldsReachTheirLogic) {
  TRelationEditDialog relation;
  relation.Logic().SetEntryText(S("自宅:03-1234-5678"));
  EXPECT_SJ_EQ("自宅:03-1234-5678", relation.Logic().EntryText());
  relation.Logic().SetShowChooser(true);
  QLineEdit* value = relation.EditItemBody();
  EXPECT_EQ(value->geometry().right() + 1 + 4, relation.ButtonPersonSelect()->x());
  relation.Logic().SetShowChooser(false);
  EXPECT_EQ(value->geometry().right() + 1 + 16, relation.width());

  TPersonList settings;
  settings.AutoSort = false;
  settings.AddPerson(S("A,a,TEL:1"));
  settings.AddPerson(S("B,b"));
  TSenderPersonDialog senders;
  senders.Logic().SetSenders(&settings);
  EXPECT_EQ(senders.Tabs()->count(), 2);
  senders.Tabs()->setCurrentIndex(1);
  EXPECT_EQ(senders.EditName()->text(), QStringLiteral("B"));
  senders.EditName()->setText(QStringLiteral("楓"));
  senders.MemoTels()->setPlainText(QStringLiteral("自宅:03\n携帯:090"));
  TPerson* b = senders.Logic().Senders().Persons(1);
  EXPECT_SJ_EQ("楓", b->Name());
  EXPECT_EQ(b->Tels().Count(), 2);
  senders.Tabs()->setCurrentIndex(0);
  EXPECT_EQ(senders.MemoTels()->toPlainText(), QStringLiteral("TEL:1"));
  EXPECT_EQ(senders.Logic().Senders().Persons(0)->Tels().Count(), 1);  // showing writes nothing
}
