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
