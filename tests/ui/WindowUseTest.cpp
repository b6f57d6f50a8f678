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
