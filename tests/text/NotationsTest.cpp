#include <gtest/gtest.h>

#include "Notations.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {
std::string S(const char* utf8) { return Utf8ToSjis(utf8); }
}  // namespace

TEST(Notations, PairsDoNotNestAndOpenersWithoutCloserStayUnpaired) {
  // the first opener's closer comes after the second opener: only the second pairs
  EXPECT_EQ(FindPairs(S("《a《b》c》"), S("《"), S("》")), (TPoints{{4, 8}}));
  EXPECT_EQ(FindPairs(S("《a》《b"), S("《"), S("》")), (TPoints{{1, 5}}));
  EXPECT_EQ(FindRubiBars(S("｜a｜")), (TPoints{{1, 2}, {4, 5}}));
  EXPECT_TRUE(FindPairs("abc", S("《"), S("》")).empty());
}

TEST(Notations, EmphasisAnnotationsAreNotNotes) {
  std::string line = S("強調［＃「強調」に傍点］と注［＃注記］");
  TPoints notes = FindNotes(line);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(line.substr(static_cast<size_t>(notes[0].X - 1), static_cast<size_t>(notes[0].Y - notes[0].X + 1)),
            S("［＃注記］"));
  EXPECT_EQ(FindNotes(S("［＃線］［＃「a」に傍線］")).size(), 1u);
}

TEST(Notations, EmphasisCoversTheQuotedLengthBeforeTheAnnotation) {
  EXPECT_EQ(FindBotens(S("あ強調［＃「強調」に傍点］")), (TBotenInfos{{0, 3, 6}}));
  EXPECT_EQ(FindBotens(S("強［＃「強」に丸傍点］弱［＃「弱」に二重傍線］")), (TBotenInfos{{2, 1, 2}, {9, 23, 24}}));
  // a quotation longer than the text before it does not reach before the line
  EXPECT_EQ(FindBotens(S("強［＃「強調」に傍点］")), (TBotenInfos{{0, 1, 2}}));
}

TEST(Notations, RubyBaseIsTheWordBeforeOrTheTextAfterTheBar) {
  // 漢字 (kanji run) before 《
  EXPECT_EQ(FindRubis(S("これは漢字《かんじ》")), (TRubiInfos{{7, 4, 13, 6}}));
  // a bar starts the base
  EXPECT_EQ(FindRubis(S("これは｜漢字《かんじ》")), (TRubiInfos{{9, 4, 15, 6}}));
  // a bar before an earlier ruby does not serve a later one
  TRubiInfos two = FindRubis(S("｜甲《こう》と乙《おつ》"));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0], (TRubiInfo{3, 2, 7, 4}));
  EXPECT_EQ(two[1], (TRubiInfo{15, 2, 19, 4}));
  // no character before the ruby: an empty base
  EXPECT_EQ(FindRubis(S("《る》")), (TRubiInfos{{1, 0, 3, 2}}));
}

TEST(Notations, DeletingNotation) {
  EXPECT_SJ_EQ("漢字です", DeleteRubi(S("｜漢字《かんじ》です")));
  EXPECT_SJ_EQ("本文と続き［＃未完", DeleteNotes(S("本文［＃注］と続き［＃未完")));
  EXPECT_SJ_EQ("《未完", DeleteRubi(S("《未完")));
  // an opener before a closed pair: both spans go, as the editor hides them
  EXPECT_EQ(DeletePairs(S("《a《b》c"), S("《"), S("》")), "c");
  EXPECT_EQ(DeletePairs(S("a｜b｜"), S("｜"), ""), "ab");
}

TEST(Notations, HiddenMask) {
  EXPECT_TRUE(HiddenMask(S("a《b》"), "", false, false, false).empty());
  std::string line = S("a《b》c《d");
  TBooleans m = HiddenMask(line, "", true, false, false);
  ASSERT_EQ(m.size(), line.size() + 2);
  TBooleans want(line.size() + 2, false);
  for (int b = 2; b <= 6; ++b) want[b] = true;  // 《b》, not the unclosed 《d
  EXPECT_EQ(m, want);
  // the leading mark only at the start of the line
  TBooleans lead = HiddenMask(S("○場面○"), S("○"), false, true, false);
  EXPECT_TRUE(lead[1] && lead[2]);
  EXPECT_FALSE(lead[7] || lead[8]);
}

TEST(Notations, ColumnsSkipHiddenBytesAndExpandTabs) {
  TColumnOptions o;
  o.HideRubi = true;
  std::string line = S("a《xy》b");  // b is byte 8
  EXPECT_EQ(IndexToColumn(line, 8, 0, o, true), 2);
  // a column after a character lands after the notation that follows it
  EXPECT_EQ(ColumnToIndex(line, 1, 0, o), 7);
  EXPECT_EQ(ColumnToIndex(line, 2, 0, o), 8);
  EXPECT_EQ(ColumnToIndex(line, 5, 0, o), 9);

  TColumnOptions tabs;
  tabs.ExpandTabs = true;
  EXPECT_EQ(IndexToColumn("a\tb", 3, 0, tabs, true), 5);
  EXPECT_EQ(IndexToColumn("a\tb", 3, 2, tabs, true), 5);  // the indent counts towards the tab stop
  EXPECT_EQ(ColumnToIndex("a\tb", 3, 0, tabs), 2);
  // without any switch, the index is the column
  EXPECT_EQ(ColumnToIndex("abcdef", 4, 0, TColumnOptions()), 4);
  EXPECT_EQ(ColumnToIndex("abc", 9, 0, TColumnOptions()), 4);
}

TEST(Notations, SpeakerNamesAreSpreadToSixCells) {
  TColumnOptions o;
  o.NameRestore = true;
  // two characters before the opener: two blank cells after the first, the opener at 7
  std::string two = S("太郎「はい」");
  EXPECT_EQ(IndexToColumn(two, 3, 0, o, true), 5);
  EXPECT_EQ(IndexToColumn(two, 5, 0, o, true), 7);
  EXPECT_EQ(ColumnToIndex(two, 5, 0, o), 3);
  // one character: two blank cells on each side
  std::string one = S("母「はい」");
  EXPECT_EQ(IndexToColumn(one, 1, 0, o, true), 3);
  EXPECT_EQ(IndexToColumn(one, 1, 0, o, false), 1);
  EXPECT_EQ(IndexToColumn(one, 3, 0, o, true), 7);
  // an opener at the start moves three characters in
  EXPECT_EQ(IndexToColumn(S("「はい」"), 1, 0, o, true), 7);
  // any other name: the blanks before the opener
  EXPECT_EQ(IndexToColumn(S("A「はい」"), 2, 0, o, true), 7);
  // not a speech line (text after the closer): nothing moves
  EXPECT_EQ(IndexToColumn(S("「はい」と"), 1, 0, o, true), 1);
  TColumnText t;
  std::string text = two;
  t.Text = text;
  t.NamePos = 5;
  EXPECT_SJ_EQ("太  郎「はい」", ColumnText(t, 0, ' '));
}

TEST(Notations, CharacterStartsKeepNotationWithItsCharacter) {
  std::string line = S("a《x》bあ");
  TBooleans mask = HiddenMask(line, "", true, false, false);
  TColumnText t;
  t.Text = line;
  t.UseMask(mask);
  EXPECT_EQ(ColumnToCharIndex(t, 1, 0), 1);
  EXPECT_EQ(ColumnToCharIndex(t, 2, 0), 7);
  EXPECT_EQ(ColumnToCharIndex(t, 4, 0), 8);  // the trail cell of あ: its lead
  EXPECT_EQ(ColumnToCharIndex(t, 5, 0), 10);
  EXPECT_EQ(NextCharIndex(t, 1), 7);
  EXPECT_EQ(NextCharIndex(t, 8), 10);
}

TEST(Notations, HangingIndents) {
  TIndentOptions o;
  o.Bullets = TCharSet(S("・※"));
  EXPECT_EQ(HangIndent(S("・　　項目"), o), (THangIndent{6, false}));
  EXPECT_EQ(HangIndent(S("※  note"), o), (THangIndent{4, false}));
  EXPECT_EQ(HangIndent(S("・  "), o), (THangIndent{3, false}));  // not the space that ends the line
  EXPECT_EQ(HangIndent(S("本文"), o), (THangIndent{0, false}));
  o.Itemized = true;
  EXPECT_EQ(HangIndent(S("12. 項目"), o), (THangIndent{3, false}));

  TIndentOptions play;
  play.Mode = 2;
  EXPECT_EQ(HangIndent(S("○公園"), play), (THangIndent{4, false}));
  EXPECT_EQ(HangIndent(S("太郎「はい」"), play), (THangIndent{2, false}));
  EXPECT_EQ(HangIndent(S("太郎が歩く。"), play), (THangIndent{4, true}));
}

TEST(Notations, ItemNumbers) {
  EXPECT_SJ_EQ("１．", ItemNoText(S("１．言葉")));
  EXPECT_SJ_EQ("２．", NextItemNoText(S("１．言葉")));
  EXPECT_EQ(ItemNoText("1."), "");  // one byte after the digits
  EXPECT_EQ(NextItemNoText("(9) nine"), "(10) ");
  EXPECT_EQ(NextItemNoText("#7"), "");
  // the suffix runs to the end when no terminator comes before the last byte
  EXPECT_EQ(ItemNoText("3a."), "3a.");
  // a suffix longer than six bytes is dropped
  EXPECT_EQ(ItemNoText("4abcdefgh"), "4");
  // runs too long for a number are not item numbers
  EXPECT_EQ(NextItemNoText("123456789012345678901. x"), "");
  EXPECT_EQ(NextItemNoText("999999999999999999. x"), "1000000000000000000.");
}
