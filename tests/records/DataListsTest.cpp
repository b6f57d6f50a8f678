#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Collation.h"
#include "CommaText.h"
#include "DataLists.h"
#include "Files.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// An item with a name (its sort text) and a number (its sort value); text form "name,number".
class TNamed : public TDataItem {
public:
  std::string Name;
  double Value = 0;
  bool FailOnRead = false;

  void SetName(const std::string& v) { SetField(Name, v); }
  void SetValue(double v) { SetField(Value, v); }
  double GetSortValue() const override { return Value; }
  std::string GetSortText() const override { return Name; }
  std::string GetCaption() const override { return Name; }
  std::string GetText() const override {
    std::string v = std::to_string(static_cast<int>(Value));
    return EncodeCommaText({Name, v});
  }
  void ReadText(const std::string& text) override {
    auto f = DecodeCommaText(text);
    if (f.size() > 1 && f[1] == "bad") throw Exception("bad value");
    Name = f.size() > 0 ? f[0] : "";
    Value = f.size() > 1 ? std::atof(f[1].c_str()) : 0;
  }
  void AssignFields(const TDataItem* source) override {
    TDataItem::AssignFields(source);
    if (auto s = dynamic_cast<const TNamed*>(source)) {
      Name = s->Name;
      Value = s->Value;
    }
  }
  void Clear() override {
    Name.clear();
    Value = 0;
  }
};

class TNamedList : public TDataList {
public:
  TDataItem* NewInstance() const override { return new TNamed(); }
  TNamed* At(int i) const { return ItemAs<TNamed>(i); }
};

// Counts the notifications a list raises.
struct Recorder {
  int changing = 0, changed = 0, updated = 0, modifiedChanges = 0, filters = 0, sorts = 0;
  std::vector<int> found;
  std::vector<TDataItem*> changedItems;
  void Attach(TDataList& l) {
    l.OnItemChanging = [this](TDataItem*) { ++changing; };
    l.OnItemChanged = [this](TDataItem* i) {
      ++changed;
      changedItems.push_back(i);
    };
    l.OnUpdated = [this](TDataList*) { ++updated; };
    l.OnModifiedChange = [this](TDataList*) { ++modifiedChanges; };
    l.OnFilter = [this](TDataList*) { ++filters; };
    l.OnSort = [this](TDataList*) { ++sorts; };
    l.OnFound = [this](int i) { found.push_back(i); };
  }
};

std::vector<std::string> Names(const TNamedList& l) {
  std::vector<std::string> r;
  for (int i = 0; i < l.Count(); ++i) r.push_back(l.At(i)->Name);
  return r;
}

}  // namespace

namespace {
// An item whose text form is the whole line.
class TRaw : public TDataItem {
public:
  std::string Text;
  std::string GetText() const override { return Text; }
  void ReadText(const std::string& t) override { Text = t; }
};
class TRawList : public TDataList {
public:
  TDataItem* NewInstance() const override { return new TRaw(); }
};
}  // namespace

TEST(DataList, CommaTextOfTheWholeList) {
  TRawList l;
  l.AddText("");
  EXPECT_EQ(l.GetCommaText(), "\"\"");  // one empty text
  TRawList back;
  back.SetCommaText("\"\"");
  EXPECT_EQ(back.Count(), 1);
  EXPECT_EQ(back.Items(0)->GetText(), "");
  back.SetCommaText("\"a b\",x,");
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Items(0)->GetText(), "a b");
  EXPECT_EQ(back.Items(2)->GetText(), "");
  EXPECT_EQ(back.GetCommaText(), "\"a b\",x,");
  back.SetCommaText("");
  EXPECT_EQ(back.Count(), 0);
}

TEST(DataList, AddTextOfSeveralLinesReportsOnce) {
  TNamedList l;
  Recorder r;
  r.Attach(l);
  TDataItem* last = l.AddText("a,1\r\nb,2");
  EXPECT_EQ(l.Count(), 2);
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(r.changing, 1);
  ASSERT_EQ(r.changedItems.size(), 1u);
  EXPECT_EQ(r.changedItems[0], last);
  EXPECT_EQ(static_cast<TNamed*>(last)->Name, "b");
}

TEST(DataList, EqualKeysKeepCreationOrderThroughAnyNumberOfSorts) {
  TNamedList l;
  for (int i = 0; i < 3; ++i) l.AddText(SJ("やまだ") + ",0");
  std::vector<int32_t> ids;
  for (int i = 0; i < 3; ++i) ids.push_back(l.Items(i)->Id());
  l.Exchange(0, 2);
  for (int k = 0; k < 5; ++k) {
    l.Sort();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(l.Items(i)->Id(), ids[static_cast<size_t>(i)]);
  }
}

TEST(DataList, SortsByValueThenJapaneseCollationThenId) {
  TNamedList l;
  Recorder r;
  r.Attach(l);
  for (const char* n : {"かとう", "アオキ", "がとう", "ｱｵｷ", "あおき", "さとう"}) l.AddText(Utf8ToSjis(n) + ",0");
  l.AddText(SJ("ん") + ",-1");
  l.Sort();
  std::vector<std::string> got;
  for (auto& n : Names(l)) got.push_back(SjisToUtf8(n));
  // あ=ア=ｱ keep creation order among themselves; か before が; negative values first
  EXPECT_EQ(got, (std::vector<std::string>{"ん", "アオキ", "ｱｵｷ", "あおき", "かとう", "がとう", "さとう"}));
  EXPECT_EQ(r.sorts, 1);
  EXPECT_FALSE(l.NeedSort);
}

TEST(DataList, AutoSortFollowsKeyChangesOnly) {
  TNamedList l;
  l.AutoSort = true;
  Recorder r;
  r.Attach(l);
  l.AddText("b,0");
  l.AddText("a,0");
  EXPECT_EQ(Names(l), (std::vector<std::string>{"a", "b"}));
  int sorts = r.sorts;
  l.At(0)->SetName("c");  // the sort text changed: re-sorted
  EXPECT_EQ(Names(l), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(r.sorts, sorts + 1);
  l.At(0)->SetName("b");  // unchanged value: no change at all
  EXPECT_EQ(r.sorts, sorts + 1);
}

TEST(DataList, ModifiedAfterEditsButNotAfterBulkOperations) {
  test::TempDir dir;
  std::string file = dir.File("list.txt");
  WriteFileAtomic(file, "a,1\r\nb,2\r\n");
  TNamedList l;
  l.LoadFromFile(file, false);
  EXPECT_FALSE(l.Modified());
  EXPECT_EQ(l.FileName, file);
  l.AddText("c,3");
  EXPECT_TRUE(l.Modified());
  l.Clear();
  EXPECT_FALSE(l.Modified());
}

TEST(DataList, ChangeBracketsGiveOneNotification) {
  TNamedList l;
  Recorder r;
  r.Attach(l);
  auto* item = static_cast<TNamed*>(l.AddText("a,1"));
  r.changed = 0;
  int done = 0;
  item->OnChangeDone = [&](TDataItem*) { ++done; };
  item->BeginChange();
  item->SetName("x");
  item->BeginChange();
  item->SetValue(5);
  item->EndChange();
  EXPECT_EQ(r.changed, 0);
  item->EndChange();
  EXPECT_EQ(r.changed, 1);
  EXPECT_EQ(done, 1);
  // Inside a notify bracket neither the list nor its items report.
  l.BeginNotify(nullptr);
  item->SetName("y");
  item->SetName("z");
  l.EndNotify(item);
  EXPECT_EQ(r.changed, 2);
}

TEST(DataList, FilterShowsMatchesAndNewItemsUnderNestedBrackets) {
  TNamedList l;
  Recorder r;
  r.Attach(l);
  for (const char* n : {"apple", "banana", "cherry", "grape"}) l.AddText(std::string(n) + ",0");
  l.FilterText("an");
  EXPECT_EQ(Names(l), std::vector<std::string>{"banana"});
  EXPECT_TRUE(l.At(0)->Marked);
  EXPECT_EQ(l.AllCount(), 4);
  EXPECT_EQ(r.filters, 1);
  l.AddText("kiwi,0");  // shown although it does not match
  EXPECT_EQ(Names(l), (std::vector<std::string>{"banana", "kiwi"}));
  // Items() outside the view gives none
  EXPECT_EQ(l.Items(2), nullptr);
  EXPECT_EQ(l.Items(-1), nullptr);
  // an update bracket drops the filter silently; nested brackets close once
  l.BeginUpdate();
  EXPECT_FALSE(l.Filtered());
  EXPECT_EQ(r.filters, 1);
  l.BeginUpdate();
  l.AddText("lemon,0");
  l.EndUpdate();
  EXPECT_EQ(r.updated, 0);
  l.EndUpdate();
  EXPECT_EQ(r.updated, 1);
  EXPECT_EQ(l.Count(), 6);
  EXPECT_FALSE(l.At(1)->Marked);
  l.FilterNo(2);
  EXPECT_EQ(Names(l), std::vector<std::string>{"cherry"});
  l.ClearFilter(true);
  EXPECT_EQ(l.Count(), 6);
  EXPECT_EQ(l.FindNumber(), kNoNumber);
  EXPECT_EQ(r.filters, 3);
}

TEST(DataList, FindAndFindNext) {
  TNamedList l;
  Recorder r;
  r.Attach(l);
  for (const char* n : {"x", "ab", "y", "abc"}) l.AddText(std::string(n) + ",0");
  EXPECT_EQ(l.Find(kNoNumber, "", false), -1);
  EXPECT_EQ(l.FindText("ab", false), 1);
  EXPECT_EQ(l.FindNext(2, false), 3);
  EXPECT_EQ(l.FindNext(l.Count(), false), -1);  // nothing tested, no event
  EXPECT_EQ(r.found, (std::vector<int>{1, 3}));
  l.FindText("x", false);
  r.found.clear();
  EXPECT_EQ(l.FindNext(1, true), 0);
  l.FindText("y", false);
  r.found.clear();
  EXPECT_EQ(l.FindNext(1, true), -1);  // runs out backwards
  EXPECT_EQ(r.found, std::vector<int>{-1});
  EXPECT_EQ(l.Find(3, "", false), 3);  // by number
  // find in all items while a filter hides them
  l.FilterText("x");
  EXPECT_EQ(l.FindText("abc", false), -1);
  EXPECT_EQ(l.FindText("abc", true), 3);
}

TEST(DataList, AssignReusesItemsSoIdsSurvive) {
  TNamedList a, b;
  for (int i = 0; i < 3; ++i) a.AddText("a" + std::to_string(i) + ",0");
  for (int i = 0; i < 5; ++i) b.AddText("b" + std::to_string(i) + ",0");
  int32_t first = a.Items(0)->Id(), second = a.Items(1)->Id();
  a.Assign(&b);
  EXPECT_EQ(a.Count(), 5);
  EXPECT_EQ(a.Items(0)->Id(), first);
  EXPECT_TRUE(a.Equals(&b));
  TNamedList c;
  c.AddText("c,0");
  a.Assign(&c);  // shorter: the surplus goes from the end
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(a.Items(0)->Id(), first);
  EXPECT_NE(a.IndexOfId(first), -1);
  EXPECT_EQ(a.IndexOfId(second), -1);
  EXPECT_FALSE(a.Modified());
}

TEST(DataList, OpenWithNoNameDoesNothingAndInsertPlacesTheItem) {
  TNamedList l;
  l.Open("", false);
  EXPECT_EQ(l.Count(), 0);
  l.AddText("a,0");
  l.AddText("c,0");
  l.InsertText(1, "b,0");
  EXPECT_EQ(Names(l), (std::vector<std::string>{"a", "b", "c"}));
  l.At(2)->SetIndex(0);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"c", "a", "b"}));
  l.At(0)->Free();
  EXPECT_EQ(Names(l), (std::vector<std::string>{"a", "b"}));
  TDataItem* loose = l.NewItem();
  EXPECT_EQ(loose->Owner(), nullptr);
  loose->Free();
}

TEST(DataList, SaveWritesEveryItemEvenWhenFiltered) {
  test::TempDir dir;
  std::string file = dir.File("out.txt");
  TNamedList l;
  l.AddText(SJ("ソ表") + ",1");
  l.AddText("b,2");
  l.FilterText("b");
  l.SaveToFile(file);
  EXPECT_EQ(ReadFileBytes(file), SJ("ソ表") + ",1\r\nb,2\r\n");
  EXPECT_FALSE(l.Modified());
  EXPECT_TRUE(l.FileName.empty());  // saving under a name does not adopt it
}

TEST(DataList, BadLineStopsLoadingNamesFileAndLineAndBlocksOverwrite) {
  test::TempDir dir;
  std::string file = dir.File("book.txt");
  WriteFileAtomic(file, "a,1\r\nb,2\r\nc,bad\r\nd,4\r\n");
  TNamedList l;
  Recorder r;
  r.Attach(l);
  try {
    l.LoadFromFile(file, false);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.FileName(), file);
    EXPECT_EQ(e.LineNo(), 3);
    EXPECT_NE(std::string(e.what()).find("bad value"), std::string::npos);
  }
  EXPECT_EQ(Names(l), (std::vector<std::string>{"a", "b"}));  // the lines before stay
  EXPECT_EQ(l.UpdateCount(), 0);                              // the bracket is closed
  EXPECT_EQ(r.updated, 1);
  // Saving the partial list over the file would drop line 4: refused, file untouched.
  EXPECT_THROW(l.SaveToFile(""), Exception);
  EXPECT_EQ(ReadFileBytes(file), "a,1\r\nb,2\r\nc,bad\r\nd,4\r\n");
  l.IncompleteFile.clear();  // the user agreed
  l.SaveToFile("");
  EXPECT_EQ(ReadFileBytes(file), "a,1\r\nb,2\r\n");
}

TEST(DataList, UnreadableFileKeepsTheItems) {
  TNamedList l;
  l.AddText("keep,1");
  EXPECT_THROW(l.LoadFromFile(Utf8ToSjis("/nonexistent/ない.txt"), false), EFileError);
  EXPECT_EQ(Names(l), std::vector<std::string>{"keep"});
  EXPECT_EQ(l.UpdateCount(), 0);
}

TEST(DataList, SetCommaTextNumbersTheFailingElement) {
  TNamedList l;
  try {
    l.SetCommaText("\"a,1\",\"b,2\",\"c,bad\"");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.ContextNo(), 3);
  }
}

TEST(DataList, ItemsLeavingTheirListAreSafe) {
  TNamedList l;
  l.AddText("a,0");
  TDataItem* b = l.AddText("b,0");
  l.FilterText("b");
  delete b;  // even a plain delete leaves the list and its view
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.AllCount(), 1);
}

TEST(DataList, RandomEditsKeepAnAutoSortedListInOrder) {
  std::mt19937 rng(99);
  TNamedList l;
  l.AutoSort = true;
  std::uniform_int_distribution<int> op(0, 3), letter(0, 25);
  for (int step = 0; step < 500; ++step) {
    int o = op(rng);
    if (o == 0 || l.Count() < 2) {
      l.AddText(std::string(1, static_cast<char>('a' + letter(rng))) + ",0");
    } else if (o == 1) {
      l.At(letter(rng) % l.Count())->Free();
    } else {
      l.At(letter(rng) % l.Count())->SetName(std::string(2, static_cast<char>('a' + letter(rng))));
    }
    for (int i = 1; i < l.Count(); ++i)
      ASSERT_LE(TDataList::StandardCompare(l.Items(i - 1), l.Items(i)), 0) << step;
  }
}

TEST(DataList, ManyNewKeysSortLikePairwiseCollation) {
  // enough items that the keys are made on two threads
  std::mt19937 rng(5);
  const char* kana[] = {"あ", "か", "が", "さ", "ざ", "た", "な", "は", "ば", "ぱ", "ア", "ｶ", "ー", "っ", "ゃ"};
  TRawList l;
  l.BeginUpdate();
  for (int i = 0; i < 25000; ++i) {
    std::string s;
    for (int k = 0; k < 4; ++k) s += Utf8ToSjis(kana[rng() % 15]);
    l.AddText(s);
  }
  l.EndUpdate();
  l.Sort();
  for (int i = 1; i < l.Count(); ++i) {
    int c = CollateCompare(l.Items(i - 1)->GetText(), l.Items(i)->GetText());
    ASSERT_LE(c, 0) << i;
    if (c == 0) {
      ASSERT_LT(l.Items(i - 1)->Id(), l.Items(i)->Id());
    }
  }
}
