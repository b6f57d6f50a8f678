// The window as a person uses it: the mouse on the list, the keys and the input method in the
// editing pane, the first start, books and folders. Each test drives the real widgets.
#include "ui/WindowFixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

#include "CoolTabSets.h"
#include "EditAddresses.h"
#include "Files.h"
#include "Selecters.h"

using namespace kaede;
using namespace kaede::test;

TEST(WindowUse, AClickOnANameFillsThePaneEnablesDeleteAndIsRemembered) {
  TWindowFixture f;
  f.Open();
  ASSERT_GE(f.Book().Count(), 5);
  f.ClickRow(3);
  EXPECT_TRUE(f.Pane().isEnabled());
  EXPECT_EQ(f.PaneName(), f.RowName(3));
  EXPECT_TRUE(f.Action("ActionDel")->isEnabled());
  f.ClickRow(1);
  EXPECT_EQ(f.PaneName(), f.RowName(1));
  // the clicks are in the back/forward history like any other selection
  f.Trigger("ActionBack");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 3);
  EXPECT_EQ(f.PaneName(), f.RowName(3));
  f.Trigger("ActionFowerd");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 1);
  // a click on the selected row changes nothing and records nothing
  f.ClickRow(1);
  EXPECT_FALSE(f.Action("ActionFowerd")->isEnabled());
  f.Trigger("ActionBack");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 3);
}

TEST(WindowUse, TheFirstStartOnAnEmptyFolderLeavesAddReadyWhateverTheAnswer) {
  for (bool answer : {true, false}) {
    SCOPED_TRACE(answer ? "named" : "cancelled");
    TWindowFixture f(false);
    AnswerNextDialog([answer](QDialog* d) {
      if (auto* edit = d->findChild<QLineEdit*>()) edit->setText(QStringLiteral("仕事"));
      answer ? d->accept() : d->reject();
    });
    f.Open();
    EXPECT_TRUE(FileExists(f.Book(answer ? "仕事" : "住所録")));
    EXPECT_TRUE(f.Action("ActionAdd")->isEnabled());
    // Ins opens the add dialog at once, without a change of tab first
    bool asked = false;
    AnswerNextDialog([&asked](QDialog* d) {
      asked = true;
      d->reject();
    });
    QTest::keyClick(f.List(), Qt::Key_Insert);
    QTest::qWait(50);
    EXPECT_TRUE(asked);
  }
}

TEST(WindowUse, EnterGoesFromFieldToFieldAndAFoundAddressWaitsForTheBlockNumber) {
  TSmallDictionary dictionary;
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  TEditAddress* address = f.Pane().EditAddress();
  QLineEdit* postal = address->EditPostal();
  QPlainTextEdit* memo = address->MemoAddress();
  f.Pane().EditName()->setFocus();
  f.Key(f.Pane().EditName(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.Pane().EditYomi());
  // Enter from よみ passes over the 詳細... button to the postal code
  f.Key(f.Pane().EditYomi(), Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), postal);
  // an entry whose address and code are cleared, then a code typed digit by digit
  memo->setFocus();
  f.Key(memo, Qt::Key_A, Qt::ControlModifier);
  f.Key(memo, Qt::Key_Delete);
  postal->setFocus();
  f.Key(postal, Qt::Key_A, Qt::ControlModifier);
  f.Key(postal, Qt::Key_Backspace);
  QTest::keyClicks(postal, QStringLiteral("1000001"));
  QApplication::processEvents();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田"));
  ASSERT_EQ(QApplication::focusWidget(), memo);
  // the caret waits at the end: the block number is added, not typed over the address
  EXPECT_FALSE(memo->textCursor().hasSelection());
  QTest::keyClicks(memo, QStringLiteral("1-1"));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田1-1"));
  EXPECT_EQ(U8L(f.Book().Persons(0)->Address().Lines()), std::vector<std::string>{"東京都千代田区千代田1-1"});
}
