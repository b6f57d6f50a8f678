// One writer per book: the lock held while a book is open, the read-only second opener, and
// the question before a save replaces a file that another program changed.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppHost.h"
#include "Files.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// Answers every question with the given answer and counts the questions.
class TAnsweringHost : public IAppHost {
public:
  explicit TAnsweringHost(bool answer) : Answer(answer) { SetAppHost(this); }
  ~TAnsweringHost() override { SetAppHost(nullptr); }
  bool Confirm(const std::string& text) override {
    Questions.push_back(text);
    return Answer;
  }
  void ShowError(const std::string&) override {}
  bool Answer;
  std::vector<std::string> Questions;
};

}  // namespace

TEST(BookLock, TheSecondOpenerGetsTheBookReadOnlyForAsLongAsTheFirstHasIt) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, S("一,いち\r\n"));
  auto first = std::make_unique<TPersonList>();
  first->Open(book, false);
  EXPECT_FALSE(first->InUse());
  EXPECT_FALSE(first->ReadOnly);

  TPersonList second;
  second.Open(book, false);
  EXPECT_TRUE(second.InUse());
  EXPECT_TRUE(second.ReadOnly);
  EXPECT_EQ(second.Count(), 1);  // readable all the same
  second.AddPerson(S("二,に"));
  try {
    second.SaveToFile("");
    ADD_FAILURE();
  } catch (const EBookInUse& e) {
    EXPECT_EQ(e.FileName(), book);
    EXPECT_EQ(e.Message(), TPersonList::InUseMessage());
  }
  // saving again and again, the first keeps the book: a third opener is read-only too
  for (int i = 0; i < 3; ++i) {
    first->AddPerson(S("三,さん"));
    first->SaveToFile("");
    TPersonList third;
    third.Open(book, false);
    EXPECT_TRUE(third.InUse());
  }
  // opening the same book again keeps the lock (it is not in use by somebody else)
  first->Open(book, false);
  EXPECT_FALSE(first->InUse());
  EXPECT_EQ(first->Count(), 4);

  // the second stays read-only after the first is gone: what it holds may be out of date
  first.reset();
  EXPECT_THROW(second.SaveToFile(""), EBookInUse);
  TPersonList fourth;
  fourth.Open(book, false);
  EXPECT_FALSE(fourth.InUse());
  fourth.AddPerson(S("四,よん"));
  fourth.SaveToFile("");
  EXPECT_EQ(fourth.AllCount(), 5);
  // a copy under another name is no save of the book and is allowed read-only too
  second.SaveToFile(dir.File("copy.kad"));
  EXPECT_TRUE(FileExists(dir.File("copy.kad")));
}

TEST(BookLock, ASaveAsksBeforeItReplacesAFileChangedOnDisk) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, S("一,いち\r\n"));
  TPersonList list;
  list.Open(book, false);
  list.AddPerson(S("二,に"));
  // another program that takes no lock writes the book meanwhile
  std::string theirs = S("他,ほか\r\n");
  WriteFileAtomic(book, theirs);
  {
    TAnsweringHost no(false);
    EXPECT_THROW(list.SaveToFile(""), ESaveConflict);
    EXPECT_EQ(no.Questions.size(), 1u);
    EXPECT_EQ(ReadFileBytes(book), theirs);
    EXPECT_TRUE(list.Modified());
  }
  {
    TAnsweringHost yes(true);
    list.SaveToFile("");
    EXPECT_EQ(yes.Questions.size(), 1u);
    EXPECT_FALSE(list.Modified());
    // from now on the file is the list's own again: no more questions
    list.AddPerson(S("三,さん"));
    list.SaveToFile("");
    EXPECT_EQ(yes.Questions.size(), 1u);
  }
  TPersonList check;
  check.Open(dir.File("book.kad"), false);  // read-only: the list above still has it
  EXPECT_EQ(check.AllCount(), 3);
}

TEST(BookLock, ANewBookDoesNotReplaceAFileThatAppearedUnderItsName) {
  test::TempDir dir;
  std::string book = dir.File("new.kad");
  TPersonList list;
  list.SetFileName(book);  // made now, empty, and held
  EXPECT_TRUE(FileExists(book));
  TPersonList other;
  other.SetFileName(dir.File("other.kad"));
  // the other one renames itself onto the held name: refused
  EXPECT_THROW(other.SetFileName(book), EBookInUse);
  EXPECT_EQ(other.FileName, dir.File("other.kad"));

  // a name whose file appears between the check and the save
  std::string late = dir.File("late.kad");
  TPersonList lateList;
  lateList.AddPerson(S("一,いち"));
  WriteFileAtomic(late, S("先,さき\r\n"));
  {
    TAnsweringHost no(false);
    EXPECT_THROW(lateList.SetFileName(late), ESaveConflict);
  }
  EXPECT_EQ(ReadFileBytes(late), S("先,さき\r\n"));
  EXPECT_TRUE(lateList.FileName.empty());

  // a rename that is refused keeps the book where it was, and held
  {
    TAnsweringHost no(false);
    EXPECT_THROW(list.SetFileName(late), ESaveConflict);
  }
  EXPECT_EQ(list.FileName, book);
  EXPECT_EQ(list.BookLock().Path(), book);
  TPersonList probe;
  probe.Open(book, false);
  EXPECT_TRUE(probe.InUse());
  list.AddPerson(S("二,に"));
  list.SaveToFile("");  // and its own file saves without a question
}

TEST(BookLock, ABookDeletedOnPurposeIsWrittenAnewWithoutAQuestion) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, S("一,いち\r\n"));
  TPersonList list;
  list.Open(book, false);
  fs::remove(OsPath(book));
  list.AcceptFileOnDisk();
  TAnsweringHost no(false);
  list.AddPerson(S("二,に"));
  list.SaveToFile("");
  EXPECT_TRUE(no.Questions.empty());
  EXPECT_TRUE(FileExists(book));
}
