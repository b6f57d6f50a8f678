// Find compares folded texts: the reading finds the name in either find mode, written in
// hiragana, katakana or half-width katakana.
#include <gtest/gtest.h>

#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {
std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

struct Book {
  TPersonList list;
  Book() {
    for (const char* line : {"\"山田 太郎\",\"やまだ たろう\",自宅:03-1111-2222", "ヤマダ電気,やまだでんき", "佐藤,さとう,,Ｓａｔｏ@Example.jp",
                             "田中,たなか"})
      list.AddText(S(line));
  }
  int Count(int mode, const char* utf8) {
    list.FindMode = mode;
    int n = 0;
    for (int i = 0; i < list.AllCount(); ++i) n += list.AllPersons(i)->Matches(S(utf8));
    return n;
  }
};
}  // namespace

TEST(FindFolding, TheReadingFindsTheNameInEitherModeAndAnyKana) {
  Book b;
  for (int mode : {pfmName, pfmAllFields}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(b.Count(mode, "やまだ"), 2);
    EXPECT_EQ(b.Count(mode, "ヤマダ"), 2);
    EXPECT_EQ(b.Count(mode, "ﾔﾏﾀﾞ"), 2);
    EXPECT_EQ(b.Count(mode, "ﾔﾏﾀﾞ ﾀﾛｳ"), 1);
    EXPECT_EQ(b.Count(mode, "山田"), 1);
  }
  // a match may not run from the end of the name into its reading
  EXPECT_EQ(b.Count(pfmName, "中た"), 0);
  // width and case of letters and digits fold in the other fields too
  EXPECT_EQ(b.Count(pfmAllFields, "sato@example"), 1);
  EXPECT_EQ(b.Count(pfmAllFields, "０３－１１１１"), 1);
  EXPECT_EQ(b.Count(pfmName, "sato@example"), 0);  // the name alone holds no mail address
}

TEST(FindFolding, TheSearchBufferFollowsAChangedReading) {
  Book b;
  auto nameAt = [&](int i) { return i < 0 ? std::string("-") : SjisToUtf8(b.list.Persons(i)->Name()); };
  b.list.FindMode = pfmName;
  EXPECT_EQ(nameAt(b.list.FindText(S("ｻﾄｳ"), false)), "佐藤");
  int sato = b.list.FindText(S("ｻﾄｳ"), false);
  b.list.Persons(sato)->SetYomi(S("かとう"));
  b.list.Sort();
  EXPECT_EQ(nameAt(b.list.FindText(S("ｻﾄｳ"), false)), "-");
  EXPECT_EQ(nameAt(b.list.FindText(S("カトウ"), false)), "佐藤");
  // a filter by text shows the entries whose name or reading folds to it
  b.list.FilterText(S("ヤマダ"));
  EXPECT_EQ(b.list.Count(), 2);
}
