// The window over a book that another program holds: told at opening, "読み取り専用" in the
// title, and every edit refused with the same message while the file stays as it was.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "EntryFakes.h"
#include "Files.h"
#include "KaedeAddressMains.h"
#include "PersonFrames.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

TEST(ReadOnlyBookWindow, ABookHeldElsewhereOpensReadOnlyAndRefusesEdits) {
  test::ConfigHome home;
  test::TempDir data;
  std::string file = Utf8ToSjis(data.Path() + "/家族.kad");
  WriteFileAtomic(file, Utf8ToSjis("青木 一郎,あおき いちろう\r\n加藤 恵子,かとう けいこ\r\n"));
  const std::string before = ReadFileBytes(file);
  TPersonList holder;  // another address book that has the book open
  holder.Open(file, false);
  ASSERT_TRUE(holder.BookLock().Held());

  test::TRecordingHost messages;
  TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(data.Path())});
  auto* options = TDataItem::Make<TKaedeAddressOption>();
  {
    TKaedeAddressMain w(*options);
    w.resize(900, 560);
    w.Start();
    w.show();
    QApplication::processEvents();
    const std::string inUse = SjisToUtf8(TPersonList::InUseMessage());
    EXPECT_EQ(messages.Infos, std::vector<std::string>{inUse});
    EXPECT_NE(w.windowTitle().toStdString().find("読み取り専用"), std::string::npos) << w.windowTitle().toStdString();
    TPersonList& book = w.Controller().Book();
    ASSERT_EQ(book.AllCount(), 2);
    ASSERT_TRUE(book.InUse());

    // typing into the name: refused, and the pane shows the entry as it is
    QLineEdit* name = w.PersonFrame()->EditName();
    std::string oldName = name->text().toStdString();
    ASSERT_FALSE(oldName.empty());
    name->setFocus();
    QTest::keyClicks(name, "X");
    QApplication::processEvents();
    EXPECT_EQ(name->text().toStdString(), oldName);
    for (int i = 0; i < book.AllCount(); ++i) EXPECT_EQ(book.AllPersons(i)->Name().find('X'), std::string::npos);
    ASSERT_FALSE(messages.Errors.empty());
    EXPECT_EQ(messages.Errors.back(), inUse);

    // the commands that change the book say the same and change nothing
    for (const char* action : {"ActionDel", "ActionAddClassify", "ActionFormatUnify", "ActionImport", "ActionRenameAddress"}) {
      SCOPED_TRACE(action);
      messages.Errors.clear();
      w.Action(action)->trigger();
      QApplication::processEvents();
      EXPECT_EQ(messages.Errors, std::vector<std::string>{inUse});
    }
    EXPECT_EQ(book.AllCount(), 2);
    w.close();
  }
  options->Free();
  TAppOption::SetProgramArguments({});
  EXPECT_EQ(ReadFileBytes(file), before);
}
