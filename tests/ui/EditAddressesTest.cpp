#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "EditAddresses.h"
#include "RelationListBoxes.h"
#include "ui/EntryFakes.h"

using namespace kaede;
using namespace kaede::test;

namespace {

struct Completer {
  TSmallDictionary dictionary;
  TFakeAddressView view;
  int changes = 0;
  Completer() { view.completer.OnChange = [this] { ++changes; }; }
};

}  // namespace

TEST(AddressCompleter, TheSeventhDigitFillsAnEmptyAddressWithoutTheNote) {
  Completer c;
  c.view.TypePostal("060004");
  EXPECT_EQ(c.view.memo, "");
  EXPECT_EQ(c.changes, 1);
  c.view.TypePostal("0600042");
  EXPECT_SJ_EQ("北海道札幌市中央区大通西", c.view.memo);
  EXPECT_EQ(c.view.focus, "memo");
  // the filled memo and the code both report a change
  EXPECT_EQ(c.changes, 3);
  // a code with a hyphen is the same code
  c.view.memo.clear();
  c.view.TypePostal("060-0042");
  EXPECT_SJ_EQ("北海道札幌市中央区大通西", c.view.memo);
}

TEST(AddressCompleter, ASharedCodeOffersItsTownsBelowTheMemo) {
  Completer c;
  c.view.TypePostal("0720819");
  ASSERT_TRUE(c.view.pickShown);
  EXPECT_TRUE(c.view.pickBelowMemo);
  EXPECT_TRUE(c.view.completer.PickAddress());
  EXPECT_EQ(U8L(c.view.pick), (std::vector<std::string>{"北海道美唄市共練町東", "北海道美唄市共練町西"}));
  EXPECT_EQ(c.view.memo, "");
  c.view.completer.Pick(1);
  EXPECT_FALSE(c.view.pickShown);
  EXPECT_SJ_EQ("北海道美唄市共練町西", c.view.memo);
  EXPECT_EQ(c.view.focus, "memo");
  // closing the list without a selection changes nothing
  c.view.TypePostal("");
  c.view.memo.clear();
  c.view.TypePostal("0720819");
  c.view.completer.Pick(-1);
  EXPECT_EQ(c.view.memo, "");
  EXPECT_EQ(c.view.focus, "memo");
}

TEST(AddressCompleter, ACodeTypedOverAnAddressLooksNothingUpUntilAsked) {
  Completer c;
  c.view.memo = S("どこか");
  c.view.TypePostal("1000001");
  EXPECT_SJ_EQ("どこか", c.view.memo);
  EXPECT_EQ(c.view.focus, "");
  c.view.completer.LookUpAddress();  // "〒 → 住所"
  EXPECT_SJ_EQ("東京都千代田区千代田", c.view.memo);
}

TEST(AddressCompleter, AnAddressWithoutCodeFindsItsCode) {
  Completer c;
  c.view.TypeMemo("東京都千代田");
  EXPECT_EQ(c.view.postal, "");
  c.view.TypeMemo("東京都千代田区千代田１－１");
  EXPECT_EQ(c.view.postal, "100-0001");  // shown with its hyphen
  EXPECT_EQ(c.view.focus, "");  // the caret stays in the address being typed
  EXPECT_SJ_EQ("東京都千代田区千代田１－１", c.view.memo);
  // with a code present, further typing looks nothing up
  c.view.TypeMemo("東京都千代田区皇居外苑");
  EXPECT_EQ(c.view.postal, "100-0001");  // shown with its hyphen
  c.view.completer.LookUpPostal();  // "〒 ← 住所"
  EXPECT_EQ(c.view.postal, "100-0002");  // shown with its hyphen
}

TEST(AddressCompleter, PickingACodeTakesTheAddressWithItsNoteOnce) {
  Completer c;
  c.view.TypeMemo("北海道札幌市中央区");
  ASSERT_TRUE(c.view.pickShown);
  EXPECT_FALSE(c.view.pickBelowMemo);
  EXPECT_FALSE(c.view.completer.PickAddress());
  ASSERT_EQ(c.view.pick.size(), 2u);
  // the list shows the codes as the field does; the pick takes the code as the book keeps it
  EXPECT_EQ(SjisToUtf8(c.view.pick[1]).substr(0, 9), "064-0820 ");
  c.view.completer.Pick(1);
  EXPECT_EQ(c.view.postal, "064-0820");  // shown with its hyphen
  EXPECT_EQ(c.view.completer.PostalText(), "0640820");
  EXPECT_SJ_EQ("北海道札幌市中央区大通西", c.view.memo);
  EXPECT_EQ(c.view.focus, "postal");
}

TEST(AddressCompleter, CompositionsAreNotLookedUpAndOffersWhileTypingKeepTheCaret) {
  Completer c;
  c.view.TypeMemo("東京都");
  EXPECT_EQ(c.changes, 1);
  // the steps of a composition report no change: the committed text is the same
  c.view.completer.SetComposing(true);
  c.view.completer.MemoChanged();
  EXPECT_EQ(c.changes, 1);
  // the commit is looked up; the offer waits without the focus
  c.view.completer.SetComposing(false);
  c.view.TypeMemo("東京都千代田区");
  EXPECT_EQ(c.changes, 2);
  ASSERT_TRUE(c.view.pickShown);
  EXPECT_EQ(c.view.focus, "");
  // a commit that starts the next composition is a change, but not yet looked up
  c.view.completer.SetComposing(true);
  c.view.TypeMemo("東京都千代田区千代田");
  EXPECT_EQ(c.changes, 3);
  EXPECT_EQ(c.view.postal, "");
  c.view.completer.SetComposing(false);
  c.view.TypeMemo("東京都千代田区千代田１");
  EXPECT_EQ(c.view.postal, "100-0001");  // shown with its hyphen
  EXPECT_FALSE(c.view.pickShown);
  c.view.TypePostal("");
  // an address that finds nothing any more takes the old offer away
  c.view.TypeMemo("東京都千代田区");
  ASSERT_TRUE(c.view.pickShown);
  c.view.TypeMemo("大阪府");
  EXPECT_FALSE(c.view.pickShown);
  // asked for with "〒 ← 住所", the offer takes the focus, and one code takes it to the code
  c.view.memo = S("東京都千代田区");
  c.view.completer.LookUpPostal();
  EXPECT_EQ(c.view.focus, "pick");
  c.view.memo = S("東京都千代田区千代田");
  c.view.completer.LookUpPostal();
  EXPECT_FALSE(c.view.pickShown);
  EXPECT_EQ(c.view.postal, "100-0001");  // shown with its hyphen
  EXPECT_EQ(c.view.focus, "postal");
}

TEST(AddressCompleter, ProgramValuesAndAMissingDictionaryLookNothingUp) {
  Completer c;
  c.view.completer.SetPostalText("1000001");
  TStrings lines = SL({"a", "b"});
  c.view.completer.SetAddressLines(&lines);
  c.view.completer.SetAddressLines(nullptr);
  EXPECT_EQ(c.view.memo, "a\r\nb");
  EXPECT_EQ(c.changes, 0);
  EXPECT_EQ(c.view.completer.AddressLines(), lines);
  c.view.completer.Clear();
  EXPECT_EQ(c.view.postal + c.view.memo, "");
  EXPECT_EQ(c.changes, 2);

  TPostalData none(std::vector<std::string>{});
  SetSharedPostalData(&none);
  c.view.TypePostal("1000001");
  EXPECT_EQ(c.view.memo, "");
  EXPECT_FALSE(c.view.pickShown);
  EXPECT_EQ(c.changes, 3);
}

TEST(AddressCompleter, PickListAndNoteRules) {
  EXPECT_EQ(PickListHeight(2), 36);
  EXPECT_EQ(PickListHeight(7), 116);
  EXPECT_EQ(PickListHeight(8), 120);
  EXPECT_EQ(PickListHeight(500), 120);
  EXPECT_SJ_EQ("札幌市大通西", CutBeforeNote(S("札幌市大通西 （１丁目）")));
  EXPECT_SJ_EQ("札幌市", CutBeforeNote(S("札幌市")));
}

TEST(EditAddressWidget, TypingACodeFillsTheMemoAndSharedCodesOpenTheListBelowIt) {
  TSmallDictionary dictionary;
  QWidget parent;
  parent.resize(400, 300);
  auto* edit = new TEditAddress(&parent);
  edit->setGeometry(10, 10, 300, 60);
  int changes = 0;
  edit->OnChange() = [&] { ++changes; };
  parent.show();
  edit->EditPostal()->setText(QStringLiteral("1000001"));
  EXPECT_EQ(edit->MemoAddress()->toPlainText(), QStringLiteral("東京都千代田区千代田"));
  EXPECT_GE(changes, 2);
  TStrings none;
  edit->SetAddressLines(&none);
  edit->SetPostalText("");
  edit->EditPostal()->setText(QStringLiteral("0720819"));
  QListWidget* pick = edit->PickList();
  ASSERT_NE(pick, nullptr);
  EXPECT_TRUE(pick->isVisible());
  EXPECT_EQ(pick->parentWidget(), &parent);
  QRect memo(edit->MemoAddress()->mapTo(&parent, QPoint(0, 0)), edit->MemoAddress()->size());
  EXPECT_EQ(pick->geometry(), QRect(memo.left(), memo.bottom() + 1, memo.width(), 36));
  // the postal field stays wide enough for a code in any font
  EXPECT_GT(edit->EditPostal()->width(), edit->EditPostal()->fontMetrics().horizontalAdvance(QStringLiteral("000-0000")));
}

TEST(RelationLines, KindAndValueOfALine) {
  EXPECT_SJ_EQ("自宅", RelationItemName(S("自宅:03-1234-5678")));
  EXPECT_EQ(RelationItemValue(S("自宅:03-1234-5678")), "03-1234-5678");
  EXPECT_EQ(RelationItemValue("a:b:c"), "b:c");
  // a line without a separator is a value without a kind
  EXPECT_EQ(RelationItemName("03-1234-5678"), "");
  EXPECT_EQ(RelationItemValue("03-1234-5678"), "03-1234-5678");
  EXPECT_EQ(RelationItemLine("", "x"), ":x");
  EXPECT_EQ(AlignedTextLeft(TItemAlignment::Left, 30, 100, 20), 34);
  EXPECT_EQ(AlignedTextLeft(TItemAlignment::Right, 30, 100, 20), 76);
  EXPECT_EQ(AlignedTextLeft(TItemAlignment::Center, 30, 100, 21), 54);
}

TEST(RelationListBox, ValuesKindColumnAndSeparator) {
  TRelationListBox list;
  list.resize(200, 100);
  list.SetLines(SL({"自宅:03-1234-5678", "090-1111-2222"}));
  EXPECT_SJ_EQ("自宅", list.ItemName(0));
  EXPECT_EQ(list.ItemName(1), "");
  EXPECT_EQ(list.ItemValue(1), "090-1111-2222");
  EXPECT_EQ(list.ItemValue(2), "");
  EXPECT_EQ(list.ItemName(-1), "");
  list.SetItemValue(1, "090-3333-4444");
  EXPECT_EQ(list.Line(1), ":090-3333-4444");
  list.SetItemValue(5, "x");
  EXPECT_EQ(list.count(), 2);
  list.grab();
  EXPECT_EQ(list.NameWidth(), list.fontMetrics().horizontalAdvance(QStringLiteral("自宅")) + 8);
  list.SetDevideChar("=");
  EXPECT_EQ(list.ItemValue(0), list.Line(0));
  list.SetLines({});
  list.grab();
  EXPECT_EQ(list.NameWidth(), 0);
  EXPECT_EQ(list.RowHeight(), QFontInfo(list.font()).pixelSize() + 6);
}

TEST(AddressCompleter, CodesAreShownWithAHyphenAndKeptAsTheBookKeepsThem) {
  EXPECT_EQ(PostalForDisplay("1530064"), "153-0064");
  EXPECT_EQ(PostalForDisplay("153-0064"), "153-0064");
  EXPECT_EQ(PostalForDisplay("153"), "153");  // not a whole code: as it is
  EXPECT_EQ(PostalForDisplay(""), "");
  EXPECT_EQ(PostalForBook("153-0064"), "1530064");
  EXPECT_EQ(PostalForBook(" 1530064 "), "1530064");
  EXPECT_EQ(PostalForBook(S("１５３－００６４")), "1530064");
  // what is not a code is kept exactly as typed
  EXPECT_EQ(PostalForBook("153-00"), "153-00");
  EXPECT_EQ(PostalForBook("15-30064"), "15-30064");
  EXPECT_SJ_EQ("未定", PostalForBook(S("未定")));
  Completer c;
  c.view.completer.SetPostalText("1530064");
  EXPECT_EQ(c.view.postal, "153-0064");
  EXPECT_EQ(c.view.completer.PostalText(), "1530064");
  // a code typed without its hyphen gets it when the field is left, without a change
  c.view.TypePostal("1000001");
  int changes = c.changes;
  c.view.completer.TidyPostal();
  EXPECT_EQ(c.view.postal, "100-0001");
  EXPECT_EQ(c.changes, changes);
}
