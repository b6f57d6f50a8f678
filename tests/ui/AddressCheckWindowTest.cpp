// 住所チェック on the real window over the sample book with the national dictionary: a fix and
// a merge from the dialog, each undone and redone from the window, the book file read after
// every step; the dialog stays open beside the window and its list follows the undo, the
// redo and an edit in the pane.
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include "AddressCheckDialogs.h"
#include "Files.h"
#include "NationalDictionary.h"
#include "NengaBars.h"
#include "NengaMarks.h"
#include "PostalDatas.h"
#include "ui/WindowFixture.h"

using namespace kaede;

namespace {

// The line of the book file that starts with the name (UTF-8), or "" when none does.
std::string LineOf(const std::string& file, const std::string& quotedName) {
  // split as CP932: its search would read a UTF-8 byte before CR LF as a lead byte
  for (const std::string& sjis : SplitStr(ReadFileBytes(file), "\r\n"))
    if (std::string line = SjisToUtf8(sjis); line.rfind(quotedName, 0) == 0) return line;
  return std::string();
}

}  // namespace

TEST(AddressCheckWindow, FixAndMergeAreStepsOfTheBookAndReachItsFile) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dictDir;
  ASSERT_TRUE(test::MakeNationalDictionary(dictDir.Path()));
  TPostalData dictionary({dictDir.Path()});
  SetSharedPostalData(&dictionary);
  struct TRestore {
    ~TRestore() { SetSharedPostalData(nullptr); }
  } restore;

  test::TWindowFixture f;
  const std::string file = f.Book("住所録");
  {
    // 鈴木 正男 was given the code of the town next to his (田中門前町's)
    std::string text = ReadFileBytes(file);
    const std::string right = Utf8ToSjis("\"鈴木 正男\",\"すずき まさお\",自宅:075-781-3325,,,6068233,");
    const size_t at = text.find(right);
    ASSERT_NE(at, std::string::npos);
    text.replace(at + right.size() - 8, 7, "6068225");
    // and the phone brought 鈴木 一郎 once more, with his mobile number written another way
    text += Utf8ToSjis("鈴木一郎,すずきいちろう,携帯:09088124470,,,,,同窓会,,年賀状:2025,2025/1/1,2025/1/1,,,\r\n");
    WriteFileAtomic(file, text);
  }
  f.Open();
  ASSERT_NE(LineOf(file, "\"鈴木 正男\"").find(",6068225,"), std::string::npos);

  // the dialog stays open beside the window
  f.Trigger("ActionAddressCheck");
  auto* dialog = f.w->findChild<TAddressCheckDialog*>("AddressCheckDialog");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  auto rowsAre = [&](int n) {
    // the list follows the book on its own timer
    for (int i = 0; i < 60 && dialog->List()->topLevelItemCount() != n; ++i) QTest::qWait(50);
    return dialog->List()->topLevelItemCount() == n;
  };
  const int rowsBefore = dialog->List()->topLevelItemCount();
  // a double-click shows the entry in the window, also when the card list chosen hides it
  f.w->NengaBar()->FilterBox()->setCurrentIndex(nfSent);
  QApplication::processEvents();
  ASSERT_EQ(f.Book().Count(), 0);
  ASSERT_TRUE(dialog->SelectRowsOf(QString::fromUtf8("鈴木 正男")));
  emit dialog->List()->itemDoubleClicked(dialog->List()->selectedItems().value(0), 0);
  QApplication::processEvents();
  const std::string selected = f.PaneName();
  ASSERT_TRUE(dialog->FixButton()->isEnabled());
  dialog->FixButton()->click();
  const std::string afterFix = LineOf(file, "\"鈴木 正男\"");
  // the duplicates, shown alone by their filter
  dialog->Filter()->setCurrentIndex(dialog->Filter()->count() - 1);
  ASSERT_EQ(dialog->List()->topLevelItemCount(), 1);
  dialog->List()->topLevelItem(0)->setSelected(true);
  ASSERT_TRUE(dialog->MergeButton()->isEnabled());
  test::AnswerNextDialog([&](QDialog* m) {
    auto* merge = qobject_cast<TMergeDialog*>(m);
    ASSERT_NE(merge, nullptr);
    merge->NameBox()->setCurrentIndex(merge->NameBox()->findText(QString::fromUtf8("鈴木 一郎")));
    m->accept();
  });
  dialog->MergeButton()->click();
  test::DropPendingAnswers();
  const std::string afterMerge = LineOf(file, "\"鈴木 一郎\"");
  EXPECT_EQ(f.PaneName(), "鈴木 一郎");  // the window shows the entry that stays
  dialog->Filter()->setCurrentIndex(0);
  const int rowsAfter = dialog->List()->topLevelItemCount();

  EXPECT_EQ(selected, "鈴木 正男");
  EXPECT_EQ(rowsBefore, 2);  // the wrong code and the duplicate: the rest of the sample is right
  EXPECT_EQ(rowsAfter, 0);
  EXPECT_NE(afterFix.find(",6068233,"), std::string::npos) << afterFix;
  // the merged entry keeps its own address and both entries' classifications and remarks
  EXPECT_NE(afterMerge.find("大阪府大阪市北区梅田一丁目3-1"), std::string::npos) << afterMerge;
  EXPECT_NE(afterMerge.find("同窓会"), std::string::npos) << afterMerge;
  EXPECT_NE(afterMerge.find("年賀状:2025"), std::string::npos) << afterMerge;
  EXPECT_EQ(LineOf(file, "鈴木一郎,"), "");

  auto step = [&](const char* action) {
    f.Trigger(action);
    f.w->Entries().CompleteEdit();  // the step reaches the file with the next completed edit
  };
  step("ActionUndo");  // the merge
  EXPECT_NE(LineOf(file, "鈴木一郎,"), "");
  EXPECT_TRUE(rowsAre(1));  // the group is back in the open dialog
  EXPECT_EQ(LineOf(file, "\"鈴木 一郎\"").find("同窓会"), std::string::npos);
  EXPECT_EQ(LineOf(file, "\"鈴木 正男\""), afterFix);
  step("ActionUndo");  // the fix
  EXPECT_NE(LineOf(file, "\"鈴木 正男\"").find(",6068225,"), std::string::npos);
  EXPECT_TRUE(rowsAre(2));
  step("ActionRedo");
  EXPECT_EQ(LineOf(file, "\"鈴木 正男\""), afterFix);
  EXPECT_NE(LineOf(file, "鈴木一郎,"), "");
  step("ActionRedo");
  EXPECT_EQ(LineOf(file, "\"鈴木 一郎\""), afterMerge);
  EXPECT_EQ(LineOf(file, "鈴木一郎,"), "");
  EXPECT_TRUE(rowsAre(0));

  // an edit in the pane while the dialog is open: the reading emptied is found
  f.Pane().EditYomi()->setText(QString());
  f.w->Entries().CompleteEdit();
  ASSERT_TRUE(rowsAre(1));
  EXPECT_EQ(dialog->List()->topLevelItem(0)->text(0).toStdString(), "鈴木 一郎");
  EXPECT_EQ(dialog->List()->topLevelItem(0)->text(1).toStdString(), "読みがない");
  // its undo reaches the file after the pause of an edit, with nothing edited after it
  f.w->SaveNow();  // no save pending
  f.w->SetIdleSaveDelay(20);
  f.Trigger("ActionUndo");
  auto yomiBack = [&] { return LineOf(file, "\"鈴木 一郎\",\"すずき いちろう\"") != ""; };
  for (int i = 0; i < 40 && !yomiBack(); ++i) QTest::qWait(50);
  EXPECT_TRUE(yomiBack());
  EXPECT_TRUE(rowsAre(0));
  dialog->close();
}
