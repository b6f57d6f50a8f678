#include <gtest/gtest.h>

#include <random>

#include "CommaText.h"
#include "TestUtil.h"
#include "text/RandomText.h"

using namespace kaede;
using Strings = std::vector<std::string>;

TEST(CommaText, WritingQuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(EncodeCommaText({""}), "\"\"");
  EXPECT_EQ(EncodeCommaText({"a b", "x", ""}), "\"a b\",x,");
  EXPECT_EQ(EncodeCommaText({"say \"hi\""}), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(EncodeCommaText({"a,b", "tab\there"}), "\"a,b\",\"tab\there\"");
  EXPECT_EQ(EncodeCommaText({}), "");
  EXPECT_EQ(EncodeCommaText({"", ""}), ",");
  // a trail byte that looks like ASCII is not a reason to quote: "ソ" is 0x83 0x5C
  EXPECT_EQ(EncodeCommaText({SJ("ソ表")}), SJ("ソ表"));
}

TEST(CommaText, ReadingElements) {
  EXPECT_EQ(DecodeCommaText("\"\""), Strings{""});
  EXPECT_EQ(DecodeCommaText("a,b,"), (Strings{"a", "b", ""}));
  EXPECT_EQ(DecodeCommaText("a b"), (Strings{"a", "b"}));
  EXPECT_EQ(DecodeCommaText("\"a b\",x,"), (Strings{"a b", "x", ""}));
  EXPECT_EQ(DecodeCommaText("  a , b"), (Strings{"a", "b"}));
  EXPECT_EQ(DecodeCommaText("\"unclosed, to the end"), Strings{"unclosed, to the end"});
  EXPECT_EQ(DecodeCommaText("\"a\"\"b\""), Strings{"a\"b"});
  EXPECT_EQ(DecodeCommaText(""), Strings{});
  EXPECT_EQ(DecodeCommaText(","), (Strings{"", ""}));
  EXPECT_EQ(DecodeCommaText("a,,b"), (Strings{"a", "", "b"}));
}

TEST(CommaText, RandomStringsRoundTrip) {
  std::mt19937 rng(1209);
  std::uniform_int_distribution<int> count(1, 8);
  for (int round = 0; round < 5000; ++round) {
    Strings items(static_cast<size_t>(count(rng)));
    for (auto& s : items) s = test::RandomSjis(rng, 12);
    std::string line = EncodeCommaText(items);
    EXPECT_EQ(DecodeCommaText(line), items) << test::U8(line);
  }
}

TEST(CommaText, LinesEndAtCrLfCrOrLfAndAtAZeroByte) {
  Strings lines;
  SplitLines("a\r\nb\rc\nd", lines);
  EXPECT_EQ(lines, (Strings{"a", "b", "c", "d"}));
  SplitLines("a\r\n", lines);
  EXPECT_EQ(lines, Strings{"a"});
  SplitLines("a\r\n\r\nb", lines);
  EXPECT_EQ(lines, (Strings{"a", "", "b"}));
  SplitLines(std::string("a\nb\0c\n", 6), lines);
  EXPECT_EQ(lines, (Strings{"a", "b"}));
  SplitLines("", lines);
  EXPECT_TRUE(lines.empty());
}
