#include <gtest/gtest.h>

#include "Strs.h"
#include "TestUtil.h"

using namespace kaede;
using kaede::test::U8;

TEST(NumberTexts, PaddingZenkakuAndShortcuts) {
  EXPECT_EQ(IntToStrPad(7, 3, PadZero), "007");
  EXPECT_EQ(IntToStrPad(7, 3, PadSpace), "  7");
  EXPECT_EQ(IntToStrPad(12345, 3, PadZero), "12345");
  EXPECT_SJ_EQ("－１２０", IntToZenkaku(-120));
  EXPECT_EQ(IndexToShortcutChar(0), "1");
  EXPECT_EQ(IndexToShortcutChar(8), "9");
  EXPECT_EQ(IndexToShortcutChar(9), "0");
  EXPECT_EQ(IndexToShortcutChar(10), "A");
  EXPECT_EQ(IndexToShortcutChar(11), "B");
}

TEST(NumberTexts, KanjiNumeralsWithPlaceWords) {
  struct { int64_t v; const char* k; } cases[] = {
      {0, ""},           {1, "一"},           {10, "十"},       {15, "十五"},       {1000, "千"},
      {1001, "千一"},    {10000, "一万"},     {110000, "十一万"}, {1000000, "百万"}, {100000000, "一億"},
      {20000305, "二千万三百五"}, {2147483647, "二十一億四千七百四十八万三千六百四十七"}, {100010000, "一億一万"},
  };
  for (auto& c : cases) EXPECT_SJ_EQ(c.k, IntToKansuji(c.v)) << c.v;
  EXPECT_SJ_EQ("一二〇三", ZenkakuKansuji("1203"));
  EXPECT_SJ_EQ("〇九〇", ZenkakuKansuji(SJ("０9０")));
  EXPECT_SJ_EQ("ー二", ZenkakuKansuji(SJ("ｰ2")));  // other characters are only widened
}

TEST(Strings, CuttingNeverSplitsACharacter) {
  std::string s = SJ("あいう");
  EXPECT_EQ(CutStr(s, 3, false), SJ("あ"));  // byte 3 is a lead byte: one byte less
  EXPECT_EQ(CutStr(s, 4, false), SJ("あい"));
  EXPECT_EQ(CutStr(s, 4, true), SJ("あい") + "...");
  EXPECT_EQ(CutStr(s, 6, true), s);  // not cut, no ellipsis
  EXPECT_EQ(CutStr(s, 0, true), "");
  EXPECT_EQ(CutStr("abc", 2, false), "ab");
}

TEST(Strings, SpacesTabsAndReplacement) {
  EXPECT_EQ(SpaceStr(5, false), "     ");
  EXPECT_EQ(SpaceStr(5, true), SJ("　　") + " ");
  EXPECT_EQ(SpaceStr(4, true), SJ("　　"));
  EXPECT_EQ(DeleteSpaces(SJ("山田　太郎 様")), SJ("山田太郎様"));
  EXPECT_EQ(ExpandTab("a\tb", 4, ' '), "a   b");
  EXPECT_EQ(ExpandTab("\t", 4, '.'), "....");
  EXPECT_EQ(ExpandTab(SJ("あ") + "\tx", 4, ' '), SJ("あ") + "  x");
  EXPECT_EQ(ReplaceStrAll("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(EscapeCrLf("a\r\nb\nc"), "a\\nb\nc");
  // "ソ" is 0x83 0x5C: its trail byte is not a backslash to replace
  EXPECT_EQ(ReplaceStrAll(SJ("ソ\\"), "\\", "/"), SJ("ソ/"));
}

TEST(Strings, SplitJoinAndSides) {
  EXPECT_EQ(SplitStr("a||b", "|"), (TStrings{"a", "", "b"}));
  EXPECT_EQ(SplitStr("a|b|", "|"), (TStrings{"a", "b"}));
  EXPECT_EQ(SplitStr("", "|"), TStrings{});
  EXPECT_EQ(SplitStr("abc", "|"), TStrings{"abc"});
  EXPECT_EQ(SplitStr("|a", "|"), (TStrings{"", "a"}));
  EXPECT_EQ(JoinStr({"a", "", "b"}, "|"), "a||b");
  EXPECT_EQ(LeftOf("TEL:03-1234", ":"), "TEL");
  EXPECT_EQ(RightOf("TEL:03-1234", ":"), "03-1234");
  EXPECT_EQ(LeftOf("abc", ":"), "abc");
  EXPECT_EQ(RightOf("abc", ":"), "");
  // a trail byte that looks like the separator does not split
  EXPECT_EQ(SplitStr(SJ("表|示"), "|").size(), 2u);
  EXPECT_EQ(SplitStr(SJ("ソ"), "\\").size(), 1u);
}

TEST(Strings, CsvQuotingAndEnclosure) {
  EXPECT_EQ(QuoteCsvLine("a,b"), "\"a\",\"b\"");
  EXPECT_EQ(QuoteCsvLine("a,\"b\""), "a,\"b\"");
  EXPECT_TRUE(IsEnclosed(SJ("（株）"), SJ("（"), SJ("）")));
  EXPECT_TRUE(IsEnclosed(SJ("東町（一"), SJ("（"), SJ("）")));
  EXPECT_FALSE(IsEnclosed(SJ("（一）東"), SJ("（"), SJ("）")));
  EXPECT_FALSE(IsEnclosed(SJ("東町"), SJ("（"), SJ("）")));
  EXPECT_TRUE(StartsWithAny("https://x", {"", "http"}));
  EXPECT_FALSE(StartsWithAny("ftp://x", {"", "http"}));
}

TEST(Strings, DoubleRectsInGeneralFormat) {
  EXPECT_EQ(DoubleRectToStr(0, 12.5, 100, 148), "0|12.5|100|148");
  EXPECT_EQ(DoubleRectToStr(1.23456, -0.5, 999.4, 0.000123), "1.23|-0.5|999|0.000123");
  EXPECT_EQ(FloatToGeneral3(1234), "1.23E03");
  EXPECT_EQ(FloatToGeneral3(0.000001234), "1.23E-06");
  EXPECT_EQ(FloatToGeneral3(999.6), "1E03");
  double a = 1, b = 2, c = 3, d = 4;
  StrToDoubleRect("5|6.5", a, b, c, d);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 6.5);
  EXPECT_EQ(c, 3);  // missing pieces leave the field
  EXPECT_THROW(StrToDoubleRect("5|x", a, b, c, d), Exception);
  StrToDoubleRect(DoubleRectToStr(10, 20.5, 30.25, 148), a, b, c, d);
  EXPECT_EQ(c, 30.2);  // three significant digits, ties to even in the written form
}

TEST(Strings, LooseContainsIgnoresSpacesCaseWidthAndKana) {
  EXPECT_TRUE(LooseContains(SJ("ﾌﾘｶﾞﾅ"), SJ("お名前（ふりがな）")));
  EXPECT_TRUE(LooseContains("tel", SJ("ＴＥＬ番号")));
  EXPECT_TRUE(LooseContains(SJ("郵便 番号"), SJ("郵便番号")));
  EXPECT_TRUE(LooseContains("", "anything"));
  EXPECT_FALSE(LooseContains(SJ("住所2"), SJ("住所1")));
}

TEST(Search, PositionsAreWholeCharactersAndNeverOverlap) {
  EXPECT_EQ(SearchAll("aa", "aaaa", 0), (TIntegers{1, 3}));
  EXPECT_EQ(SearchAll("\\", SJ("ソ"), 0), TIntegers{});
  EXPECT_EQ(SearchAll("\\", SJ("ソ\\"), 0), TIntegers{3});
  // "@" 0x40 is a trail byte of many characters (for example "ぁ" 0x82 0x9F is not, "ァ" 0x83 0x40 is)
  EXPECT_EQ(SearchAll("@", SJ("ァ@"), 0), TIntegers{3});
  EXPECT_EQ(SearchAll("ABC", "xabcABC", SearchIgnoreCase), (TIntegers{2, 5}));
  EXPECT_EQ(SearchAll(SJ("ＡＢ"), SJ("ａｂＡｂ"), SearchIgnoreCase), (TIntegers{1, 5}));
  EXPECT_EQ(SearchAll("cat", "cat concat cat.", SearchWholeWord), (TIntegers{1, 12}));
  EXPECT_EQ(SearchAllRanges("ab", "xabab", 0), (TPoints{{2, 3}, {4, 5}}));
  EXPECT_EQ(SearchAll("", "abc", 0), TIntegers{});
  // Case folding never pairs a lead byte of one form with a trail byte of the other:
  // "ⅰ" is 0xEE 0xEF and "Ⅰ" 0x87 0x54, and 0xEE 0x54 is another character.
  EXPECT_EQ(SearchAll(SJ("ⅰ"), std::string("\xEE\x54"), SearchIgnoreCase), TIntegers{});
  EXPECT_EQ(SearchAll(SJ("ⅰ"), SJ("Ⅰⅰ"), SearchIgnoreCase), (TIntegers{1, 3}));
}

TEST(Search, WholeWordBoundsAcceptDoubleByteNeighbours) {
  std::string t = SJ("山田") + "abc" + SJ("様");
  EXPECT_TRUE(IsWordBound(t, "abc", 5));
  EXPECT_FALSE(IsWordBound("xabc", "abc", 2));
  EXPECT_TRUE(IsWordBound("(abc)", "abc", 2));
  EXPECT_FALSE(IsWordBound("abc", "abcd", 1));  // would run past the end
}

TEST(Words, RangesByKindUrlAndMail) {
  std::string t = SJ("山田") + "abc" + SJ("です");
  EXPECT_EQ(WordRange(t, 1, 0), (TPoint{1, 5}));
  EXPECT_EQ(WordRange(t, 2, 0), (TPoint{1, 5}));  // a trail byte moves to its lead byte
  EXPECT_EQ(WordRange(t, 6, 0), (TPoint{5, 8}));
  EXPECT_EQ(WordAt(t, 9, 0), SJ("です"));
  EXPECT_EQ(WordRange(t, 0, 0), (TPoint{0, 0}));
  EXPECT_EQ(WordRange(t, 100, 0), (TPoint{static_cast<int32_t>(t.size()) + 1, static_cast<int32_t>(t.size()) + 1}));
  // mode 3 joins digits and symbols to letters: "No.12"
  EXPECT_EQ(WordAt("No.12 x", 4, 3), "No.12");
}

TEST(Words, UrlsAndMailsInText) {
  std::string t = "see http://a.jp/x" + SJ("と") + "https://b.example/y";
  TPoints urls = FindUrls(t);
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_EQ(t.substr(urls[0].X - 1, urls[0].Y - urls[0].X + 1), "http://a.jp/x");
  EXPECT_EQ(t.substr(urls[1].X - 1, urls[1].Y - urls[1].X + 1), "https://b.example/y");
  EXPECT_TRUE(FindUrls("http://ab").empty());   // 9 bytes: too short
  EXPECT_EQ(FindUrls("http://abc").size(), 1u);  // 10 bytes counts
  TPoints mails = FindMails(SJ("宛先") + "taro@example.jp" + SJ("まで"));
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0], (TPoint{5, 19}));
  EXPECT_TRUE(FindMails("a@b.c").empty());  // 5 bytes: too short
  EXPECT_TRUE(FindMails("@abcdefg").empty());  // nothing before the "@"
  EXPECT_TRUE(IsUrlStr("https://x.jp/?a=1#b"));
  EXPECT_FALSE(IsUrlStr("https://x.jp/a%20b"));
  EXPECT_TRUE(IsMailStr("a.b-c@x.jp"));
  EXPECT_FALSE(IsMailStr("a+b@x.jp"));
}

TEST(KanaRows, RowsOfTheFirstCharacter) {
  EXPECT_EQ(KanaRow(SJ("あいだ")), 0);
  EXPECT_EQ(KanaRow(SJ("がっこう")), 1);
  EXPECT_EQ(KanaRow(SJ("ざ")), 2);
  EXPECT_EQ(KanaRow(SJ("ぱん")), 5);
  EXPECT_EQ(KanaRow(SJ("よしだ")), 7);
  EXPECT_EQ(KanaRow(SJ("わたなべ")), 9);
  EXPECT_EQ(KanaRow(SJ("ん")), 9);
  EXPECT_EQ(KanaRow(SJ("を")), -2);
  EXPECT_EQ(KanaRow(SJ("ぁ")), -2);
  EXPECT_EQ(KanaRow(SJ("ぃ")), -1);
  EXPECT_EQ(KanaRow(SJ("ゃ")), -1);
  EXPECT_EQ(KanaRow(SJ("ゅ")), 0);
  EXPECT_EQ(KanaRow(SJ("ー")), 0);
  EXPECT_EQ(KanaRow("abc"), 10);
  EXPECT_EQ(KanaRow(SJ("カ")), 10);
  EXPECT_EQ(KanaRow(""), 10);
}

TEST(Strings, FindFoldsKanaWidthCaseAndSpaces) {
  // the three ways of writing a reading fold alike, voiced marks composed
  EXPECT_SJ_EQ("やまだ", FoldForFind(Utf8ToSjis("ヤマダ")));
  EXPECT_SJ_EQ("やまだ", FoldForFind(Utf8ToSjis("ﾔﾏﾀﾞ")));
  EXPECT_SJ_EQ("やまだ", FoldForFind(Utf8ToSjis("や ま　だ")));
  EXPECT_SJ_EQ("ぱーてぃー", FoldForFind(Utf8ToSjis("ﾊﾟｰﾃｨｰ")));
  // letters, digits and symbols become half-width ASCII in lower case
  EXPECT_EQ(FoldForFind(Utf8ToSjis("Ｓｍｉｔｈ　０３－１２")), "smith03-12");
  EXPECT_EQ(FoldForFind("TARO@Example.JP"), "taro@example.jp");
  // kanji, and kana without a hiragana form, stay as they are; a lone voiced mark is kept
  EXPECT_SJ_EQ("山田ヴヵ", FoldForFind(Utf8ToSjis("山田ヴヵ")));
  EXPECT_SJ_EQ("か゛", FoldForFind(Utf8ToSjis("ｶ ﾞ")));
  // never a split character: a text ending in a lead byte keeps it
  EXPECT_EQ(FoldForFind(std::string("a\x82")), std::string("a\x82"));
  EXPECT_EQ(FoldForFind(""), "");
}
