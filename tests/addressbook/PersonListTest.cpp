#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "CommaText.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

std::vector<std::string> Names(const TPersonList& l) {
  std::vector<std::string> r;
  for (int i = 0; i < l.Count(); ++i) r.push_back(SjisToUtf8(l.Persons(i)->Name()));
  return r;
}

// The book's file text as a save would write it.
std::string SavedText(TPersonList& l, const test::TempDir& dir) {
  std::string f = dir.File("snapshot.kad");
  l.SaveToFile(f);
  return ReadFileBytes(f);
}

}  // namespace

TEST(PersonList, UndoAndRedoRestoreTheFileTextAtEveryStep) {
  test::TempDir dir;
  SetTodayForTesting(TDateValue{2024, 4, 1});
  TPersonList l;
  l.AddText(S("\"佐藤 一郎\",\"さとう いちろう\""));
  l.History().Clear();
  std::vector<std::string> texts{SavedText(l, dir)};
  TPerson* p = l.AddPerson(S("\"田中 花子\",\"たなか はなこ\""));
  EXPECT_EQ(p->Registered().Month, 4);
  texts.push_back(SavedText(l, dir));
  // three edits of the entry without switching entries: one step
  p->SetYomi(S("あべ はなこ"));  // moves it before 佐藤
  TStrings tels{S("自宅:03-0000-0000")};
  p->SetTels(&tels);
  p->Classify().Add(S("友人"));
  EXPECT_EQ(l.Classifications().size(), 1u);
  texts.push_back(SavedText(l, dir));
  l.Delete(0);
  texts.push_back(SavedText(l, dir));
  ASSERT_EQ(l.History().Count(), 3);
  EXPECT_EQ(Names(l), std::vector<std::string>{"佐藤 一郎"});
  for (int step = 3; step > 0; --step) {
    l.History().UndoStep();
    EXPECT_EQ(SavedText(l, dir), texts[static_cast<size_t>(step - 1)]) << "after undo to " << step - 1;
  }
  EXPECT_FALSE(l.History().CanUndo());
  l.RebuildClassifications();
  EXPECT_TRUE(l.Classifications().empty());
  for (int step = 1; step <= 3; ++step) {
    l.History().RedoStep();
    EXPECT_EQ(SavedText(l, dir), texts[static_cast<size_t>(step)]) << "after redo to " << step;
  }
  EXPECT_FALSE(l.History().CanRedo());
}

// The synthetic address book becomes a book file, which loads and saves byte for byte.
TEST(PersonList, SyntheticBookLoadsAndSavesByteForByte) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  std::string csv = ReadFileBytes(test::SharedData("fake/synthetic_addressbook_5000_cp932.csv"));
  TStrings lines, f;
  SplitLines(csv, lines);
  ASSERT_EQ(lines.size(), 5001u);
  TPersonList made;
  made.BeginUpdate();
  for (size_t i = 1; i < lines.size(); ++i) {
    DecodeCommaText(lines[i], f);
    ASSERT_EQ(f.size(), 16u) << i;
    auto* p = static_cast<TPerson*>(made.AddText(""));
    p->BeginChange();
    p->SetName(f[1] + S("　") + f[2]);
    p->SetYomi(ConvertStr(f[3] + " " + f[4], cvHiragana));
    std::string postal = f[6];
    std::erase(postal, '-');
    p->SetPostal(postal);
    TStrings address{f[7] + f[8] + f[9] + f[10]};
    if (!f[11].empty()) address.push_back(f[11]);
    p->SetAddress(&address);
    if (!f[12].empty()) p->Tels().Add(S("自宅:") + f[12]);
    if (!f[13].empty()) p->Tels().Add(S("携帯:") + f[13]);
    if (!f[14].empty()) p->Mails().Add(S("個人:") + f[14]);
    p->AddClassify(f[7]);
    if (i % 3 == 0) p->AddClassify(S("年賀状"));
    p->Remarks().Add(S("生年月日 ") + f[15]);
    p->SetRegistered(TDateValue{2020, static_cast<int32_t>(i % 12) + 1, static_cast<int32_t>(i % 28) + 1});
    p->EndChange();
  }
  made.EndUpdate();
  std::string book = dir.File("合成.kad");
  made.SetFileName(book);  // writes the book at once
  TPersonList loaded;
  loaded.Open(book, false);
  EXPECT_EQ(loaded.Count(), 5000);
  EXPECT_FALSE(loaded.Modified());
  EXPECT_EQ(loaded.FileName, book);
  EXPECT_EQ(loaded.Classifications().size(), made.Classifications().size());
  std::string again = dir.File("again.kad");
  loaded.SaveToFile(again);
  EXPECT_TRUE(ReadFileBytes(again) == ReadFileBytes(book));
  // the entries are in reading order, ties in file order
  for (int i = 1; i < loaded.Count(); ++i)
    ASSERT_LE(TDataList::StandardCompare(loaded.Items(i - 1), loaded.Items(i)), 0);
  // every entry is found by its name, spaces ignored
  loaded.FindMode = pfmName;
  EXPECT_EQ(loaded.FindText(DeleteSpaces(loaded.Persons(1234)->Name()), false), 1234);
}

TEST(PersonList, EqualReadingsKeepFileOrderThroughLoadSortAndSave) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  std::string text = S("三,さとう\r\n一,かとう\r\n二,かとう\r\n四,あおき\r\n三,かとう");  // no final CR LF
  WriteFileAtomic(book, text);
  TPersonList l;
  l.Open(book, false);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"四", "一", "二", "三", "三"}));
  EXPECT_SJ_EQ("さとう", l.Persons(4)->Yomi());  // the last line without CR LF is an entry
  l.Sort();
  l.SaveToFile("");
  TPersonList again;
  again.Open(book, false);
  EXPECT_EQ(Names(again), (std::vector<std::string>{"四", "一", "二", "三", "三"}));
  EXPECT_SJ_EQ("かとう", again.Persons(3)->Yomi());
}

TEST(PersonList, BadLineStopsLoadingAndProtectsTheFile) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  std::string text = S("一,いち\r\n二,に,,,,,,,,,2024/2/30\r\n三,さん,,,,,,,,,2024/2/x\r\n四,よん\r\n");
  WriteFileAtomic(book, text);
  TPersonList l;
  try {
    l.Open(book, false);
    FAIL();
  } catch (const EDateToStrError& e) {
    EXPECT_EQ(e.FileName(), book);
    EXPECT_EQ(e.LineNo(), 3);
  }
  EXPECT_EQ(l.Count(), 2);
  l.AddPerson(S("五,ご"));
  EXPECT_THROW(l.SaveToFile(""), Exception);
  EXPECT_EQ(ReadFileBytes(book), text);
}

TEST(PersonList, RenamingABookLeavesBothFiles) {
  test::TempDir dir;
  TPersonList l;
  l.SetFileName(dir.File("A.kad"));
  EXPECT_TRUE(FileExists(dir.File("A.kad")));
  l.AddPerson(S("一,いち"));
  l.SaveToFile("");
  l.SetFileName(dir.File("B.kad"));
  EXPECT_EQ(ReadFileBytes(dir.File("A.kad")), ReadFileBytes(dir.File("B.kad")));
  EXPECT_EQ(l.FileName, dir.File("B.kad"));
}

TEST(PersonList, AnotherInstanceSeesTheBookInUseAndCannotOverwriteIt) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, S("一,いち\r\n"));
  TPersonList first;
  first.Open(book, false);
  EXPECT_TRUE(first.BookLock().Held());
  EXPECT_EQ(FileAccessState(book), 1);
  TPersonList second;
  second.Open(book, false);
  EXPECT_EQ(second.Count(), 1);
  second.AddPerson(S("二,に"));
  EXPECT_THROW(second.SaveToFile(""), Exception);
  first.AddPerson(S("三,さん"));
  first.SaveToFile("");  // the lock follows the book to the new file
  EXPECT_EQ(FileAccessState(book), 1);
  first.Clear();
  first.FileName.clear();
  {
    TPersonList gone;
  }
  EXPECT_THROW(second.SaveToFile(""), Exception);
}

TEST(PersonList, ClassificationsTheirBitsAndFilters) {
  TPersonList l;
  l.AddText(S("一,いち,,,,,,会社"));
  l.AddText(S("二,に,,,,,,友人|会社"));
  l.AddText(S("三,さん"));
  int events = 0;
  l.OnClassifyChange = [&](TDataList* sender) {
    EXPECT_EQ(sender, nullptr);
    ++events;
  };
  // entries in reading order: いち, さん, に; names in order of first appearance
  EXPECT_EQ(Names(l), (std::vector<std::string>{"一", "三", "二"}));
  ASSERT_EQ(l.Classifications().size(), 2u);
  EXPECT_SJ_EQ("会社", l.Classifications()[0]);
  l.AddClassify(1, S("家族"));
  EXPECT_GE(events, 1);
  ASSERT_EQ(l.Classifications().size(), 3u);
  EXPECT_SJ_EQ("家族", l.Classifications()[2]);
  EXPECT_TRUE(l.Persons(1)->HasClassifyBit(2));
  l.FindMode = pfmClassify;
  l.FilterNo(0);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"一", "二"}));
  l.ClearFilter(true);
  l.FindMode = pfmKanaRow;
  l.FilterNo(2);  // さ row
  EXPECT_EQ(Names(l), std::vector<std::string>{"三"});
  l.FilterNo(-1);
  EXPECT_EQ(l.Count(), 3);
  l.ClearFilter(true);
  EXPECT_EQ(l.FindMode, 0);
  l.RenameClassify(S("友人"), S("親友"));  // keeps its number
  EXPECT_SJ_EQ("親友", l.Classifications()[1]);
  EXPECT_TRUE(l.Persons(2)->HasClassifyBit(1));
  l.DeleteClassify(S("会社"));
  EXPECT_EQ(l.Persons(0)->Classify().Count(), 0);
  EXPECT_EQ(l.Classifications().size(), 3u);  // numbers stay until the next rebuild
  l.RebuildClassifications();
  EXPECT_EQ(l.Classifications().size(), 2u);
  EXPECT_SJ_EQ("分類の削除 [会社]", l.History().LastTask()->GetUndoCaption());
}

TEST(PersonList, ClassificationUndoTouchesOnlyWhatTheCommandChanged) {
  TPersonList l;
  l.AddText(S("一,いち,,,,,,家族"));
  l.AddText(S("二,に,,,,,,友人"));
  l.AddText(S("三,さん,,,,,,家族|友人"));
  l.History().Clear();
  // Undoing the addition of 家族 to 二 leaves the entries that had it before alone.
  l.AddClassify(2, S("家族"));
  l.History().UndoStep();
  EXPECT_EQ(l.Persons(0)->Classify().Count(), 1);
  EXPECT_EQ(l.Persons(1)->Classify().Count(), 2);
  EXPECT_EQ(l.Persons(2)->Classify().Count(), 1);
  l.History().RedoStep();
  EXPECT_EQ(l.Persons(2)->Classify().Count(), 2);
  l.History().UndoStep();
  // Adding a name the entry has already records nothing.
  int before = l.History().Count();
  l.AddClassify(0, S("家族"));
  EXPECT_EQ(l.History().Count(), before);
  // A deletion while a filter hides some holders is undone for all of them.
  l.FindMode = pfmKanaRow;
  l.FilterNo(0);  // only いち is visible
  l.DeleteClassify(S("家族"));
  l.ClearFilter(true);
  l.History().UndoStep();
  EXPECT_SJ_EQ("家族", l.Persons(0)->Classify()[0]);
  EXPECT_GE(l.Persons(1)->Classify().IndexOf(S("家族")), 0);
  {
    // ... each name back in its place among the entry's others: the text is what it was
    // (the name used to come back at the end).
    TPersonList d;
    d.AddText(S("四,よん,,,,,,家族|友人|会社"));
    std::string beforeDelete = d.GetCommaText();
    d.DeleteClassify(S("家族"));
    d.History().UndoStep();
    EXPECT_EQ(d.GetCommaText(), beforeDelete);
  }
  // A rename onto a name in use merges the two; undo brings both back exactly.
  std::string beforeRename = l.GetCommaText();
  l.RenameClassify(S("友人"), S("家族"));
  EXPECT_EQ(l.Persons(1)->Classify().Count(), 1);
  EXPECT_SJ_EQ("分類名の修正 [家族]", l.History().LastTask()->GetUndoCaption());
  l.History().UndoStep();
  EXPECT_EQ(l.GetCommaText(), beforeRename);
  l.History().RedoStep();
  EXPECT_EQ(l.Persons(1)->Classify().Count(), 1);
}

TEST(PersonList, RenameRelations) {
  TPersonList l;
  l.AddText(S("一,いち,,,,,,,妻:山田|夫:山田太郎"));
  l.AddText(S("二,に,,,,,,,妻:山田|親類"));
  l.History().Clear();
  l.RenameRelations(S("山田"), S("山田花子"));
  std::vector<std::string> got;
  for (int i = 0; i < 2; ++i)
    for (auto& r : l.Persons(i)->Relations().Lines()) got.push_back(SjisToUtf8(r));
  EXPECT_EQ(got, (std::vector<std::string>{"妻:山田花子", "夫:山田太郎", "妻:山田花子", "親類"}));
  EXPECT_EQ(l.History().Count(), 1);  // one step for the whole rename
  l.History().UndoStep();
  EXPECT_SJ_EQ("妻:山田", l.Persons(1)->Relations()[0]);
  // An empty old name would rename every relation without a name: nothing happens.
  int before = l.History().Count();
  l.RenameRelations("", S("誰か"));
  l.RenameRelations(S("山田"), S("山田"));
  EXPECT_SJ_EQ("親類", l.Persons(1)->Relations()[1]);
  EXPECT_EQ(l.History().Count(), before);
}

TEST(PersonList, FindByNameAndAllFieldsAndRelatedEntries) {
  TPersonList l;
  l.AddText(S("\"株式会社 ABC\",かぶしきがいしゃえーびーしー,代表:03-1111-1111,,,1000001,東京都千代田区1-1"));
  l.AddText(S("山田　太郎,\"やまだ たろう\",,,,,,,勤務先:株式会社ABC"));
  l.FindMode = pfmName;
  EXPECT_EQ(l.FindText(S("山田太郎"), false), 1);
  EXPECT_EQ(l.FindText(S("千代田"), false), -1);
  l.FindMode = pfmAllFields;
  EXPECT_EQ(l.FindText(S("千代田 区"), false), 0);
  EXPECT_EQ(l.FindText(S("1111,,,100"), false), 0);  // across fields of the text form
  l.FindMode = pfmKanaRow;
  EXPECT_EQ(l.FindText(S("山田"), false), -1);
  TPerson* taro = l.Persons(1);
  ASSERT_EQ(taro->RelatedPerson(S("勤務先")), l.Persons(0));
  EXPECT_SJ_EQ("東京都千代田区1-1", taro->PrintAddressText());
  EXPECT_EQ(taro->PrintPostal(), "1000001");
  EXPECT_EQ(taro->PrintAddress().size(), 1u);
  EXPECT_EQ(taro->RelatedPerson(S("実家")), nullptr);
  // a found entry is found again after it changed (no stale search text)
  l.FindMode = pfmAllFields;
  taro->Remarks().Add(S("メモ"));
  EXPECT_EQ(l.FindText(S("メモ"), false), 1);
}

TEST(PersonList, UnifyFormatOfTheWholeBookResortsAndIsNotRecorded) {
  TPersonList l;
  l.AddText(S("一,イ"));
  l.AddText(S("二,あ"));
  int before = l.History().Count();
  l.UnifyFormat(ufYomiHiragana);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"二", "一"}));
  EXPECT_SJ_EQ("い", l.Persons(1)->Yomi());
  EXPECT_EQ(l.History().Count(), before);
  EXPECT_TRUE(l.Modified());
}

TEST(PersonList, ABookThatCannotBeWrittenUnderANewNameKeepsItsName) {
  test::TempDir dir;
  TPersonList l;
  l.SetFileName(dir.File("A.kad"));
  EXPECT_THROW(l.SetFileName(dir.File("missing/B.kad")), EFileError);
  EXPECT_EQ(l.FileName, dir.File("A.kad"));
}

TEST(PersonList, EntriesAssignedFromAnotherListGetThisListsClassificationNumbers) {
  TPersonList senders;
  senders.AddText(S("差出人,さしだしにん,,,,,,会社|家族"));
  TPersonList book;
  book.AddText(S("一,いち,,,,,,家族|会社"));
  TPerson* entry = book.AddPerson(S("二,に"));
  entry->Assign(senders.Persons(0));  // same names, numbered the other way round in the senders
  book.FindMode = pfmClassify;
  book.FilterNo(0);  // 家族 in this book
  EXPECT_EQ(book.Count(), 2);
  book.ClearFilter(true);
  // An entry whose classifications changed inside a notify bracket is filtered right as well.
  book.BeginNotify(nullptr);
  book.Persons(0)->Classify().Clear();
  book.EndNotify(nullptr);
  book.FindMode = pfmClassify;
  book.FilterNo(0);
  EXPECT_EQ(book.Count(), 1);
}

TEST(PersonList, AReadOnlyBookIsNotReplacedBySaving) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, S("一,いち\r\n"));
  ::chmod(OsPath(book).c_str(), 0444);
  TPersonList l;
  l.Open(book, false);
  l.AddPerson(S("二,に"));
  EXPECT_THROW(l.SaveToFile(""), EFileError);
  EXPECT_EQ(ReadFileBytes(book), S("一,いち\r\n"));
  EXPECT_TRUE(l.Modified());
}

// A long book is read on two threads: the result, and the handling of a bad line in either
// half, are those of reading line by line.
TEST(PersonList, LongBooksReadLikeShortOnes) {
  test::TempDir dir;
  std::string text;
  const int n = 10000;
  for (int i = 0; i < n; ++i) {
    std::string yomi = S(i % 3 == 0 ? "かとう" : i % 3 == 1 ? "あおき" : "さとう");
    text += "e" + std::to_string(i) + "," + yomi + ",,,,100-" + std::to_string(1000 + i % 9000) + ",,";
    text += i % 7 == 0 ? S("家族") : std::string();
    text += ",,,2020/1/" + std::to_string(1 + i % 28) + "\r\n";
  }
  std::string book = dir.File("long.kad");
  WriteFileAtomic(book, text);
  TPersonList l;
  l.Open(book, false);
  ASSERT_EQ(l.Count(), n);
  // equal readings in file order: e1, e4, e7, ... then e0, e3, ... then e2, e5, ...
  EXPECT_EQ(l.Persons(0)->Name(), "e1");
  EXPECT_EQ(l.Persons(1)->Name(), "e4");
  EXPECT_EQ(l.Persons(n - 1)->Name(), "e9998");
  EXPECT_EQ(l.Persons(0)->Postal(), "1001001");
  EXPECT_EQ(l.Classifications().size(), 1u);
  l.FindMode = pfmClassify;
  l.FilterNo(0);
  EXPECT_EQ(l.Count(), (n + 6) / 7);
  l.ClearFilter(true);
  std::string saved = dir.File("saved.kad");
  l.SaveToFile(saved);
  TPersonList again;
  again.Open(saved, false);
  EXPECT_TRUE(ReadFileBytes(saved) == [&] { again.SaveToFile(dir.File("again.kad")); return ReadFileBytes(dir.File("again.kad")); }());
  for (int bad : {123, 8000}) {  // in the first half and in the second
    std::string broken = text;
    size_t at = 0;
    for (int i = 0; i < bad; ++i) at = broken.find("\r\n", at) + 2;
    broken.insert(at, "x,y,,,,,,,,,1/x/1\r\n");
    WriteFileAtomic(book, broken);
    TPersonList partial;
    try {
      partial.Open(book, false);
      ADD_FAILURE();
    } catch (const EDateToStrError& e) {
      EXPECT_EQ(e.LineNo(), bad + 1);
      EXPECT_EQ(e.FileName(), book);
    }
    EXPECT_EQ(partial.AllCount(), bad);
    EXPECT_EQ(partial.UpdateCount(), 0);
    EXPECT_THROW(partial.SaveToFile(""), Exception);  // the rest of the book is protected
  }
}
