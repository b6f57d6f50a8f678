#include <gtest/gtest.h>

#include "CommaText.h"
#include "CsvFiles.h"
#include "TestUtil.h"

using namespace kaede;

TEST(CsvFiles, EncodingIsDetectedAndConverted) {
  std::string sjis = SJ("氏名,よみ\r\n山田,やまだ\r\n");
  TCsvFile a = ParseCsvBytes(sjis);
  EXPECT_EQ(a.Encoding, TCsvEncoding::Cp932);
  ASSERT_EQ(a.Records.size(), 2u);
  EXPECT_EQ(a.Records[1], SJ("山田,やまだ"));

  TCsvFile b = ParseCsvBytes("氏名,よみ\n山田,やまだ\n");  // UTF-8 without a mark
  EXPECT_EQ(b.Encoding, TCsvEncoding::Utf8);
  EXPECT_EQ(b.Records, a.Records);

  TCsvFile c = ParseCsvBytes("\xEF\xBB\xBFname\r\nabc\r\n");  // ASCII with a mark is UTF-8 too
  EXPECT_EQ(c.Encoding, TCsvEncoding::Utf8);
  EXPECT_EQ(c.Records[0], "name");

  TCsvFile d = ParseCsvBytes("abc,def\r\n");  // plain ASCII reads as CP932 (the same bytes)
  EXPECT_EQ(d.Encoding, TCsvEncoding::Cp932);
}

TEST(CsvFiles, CharactersCp932CannotHoldAreReportedWhereTheyStand) {
  TCsvFile f = ParseCsvBytes("名前,メモ\n髙橋,🍣好き\n𠮷野,x\n");
  ASSERT_EQ(f.Records.size(), 3u);
  EXPECT_EQ(f.Records[1], SJ("髙橋,〓好き"));
  ASSERT_EQ(f.Issues.size(), 2u);
  EXPECT_EQ(f.Issues[0].Record, 2);
  EXPECT_EQ(f.Issues[0].Column, 2);
  EXPECT_EQ(f.Issues[0].Character, "🍣");
  EXPECT_EQ(f.Issues[1].Record, 3);
  EXPECT_EQ(f.Issues[1].Column, 1);
}

TEST(CsvFiles, QuotedLineBreaksJoinLines) {
  TCsvFile f = ParseCsvBytes(SJ("a,\"東京都\r\n港区\",c\r\nd,e\r\n\"x\"\"\ny\",z\n"));
  ASSERT_EQ(f.Records.size(), 3u);
  EXPECT_EQ(DecodeCommaText(f.Records[0]), (std::vector<std::string>{"a", SJ("東京都\r\n港区"), "c"}));
  EXPECT_EQ(f.Records[1], "d,e");
  // line breaks inside fields become CR LF
  EXPECT_EQ(DecodeCommaText(f.Records[2]), (std::vector<std::string>{"x\"\r\ny", "z"}));
  // a quote inside an unquoted field opens nothing
  EXPECT_FALSE(EndsInsideQuotes("ab\"c,d"));
  EXPECT_TRUE(EndsInsideQuotes("a, \"b"));
  EXPECT_FALSE(EndsInsideQuotes("\"\""));
}

TEST(CsvFiles, AQuoteThatNeverClosesDoesNotSwallowTheFile) {
  TCsvFile f = ParseCsvBytes("a,\"broken\r\nb,c\r\nd,e\r\n");
  EXPECT_EQ(f.Records, (std::vector<std::string>{"a,\"broken", "b,c", "d,e"}));
}

TEST(CsvFiles, WritingCp932OrUtf8WithAMark) {
  std::vector<std::string> records = {SJ("氏名,よみ"), SJ("山田,やまだ")};
  EXPECT_EQ(CsvBytes(records, TCsvEncoding::Cp932), SJ("氏名,よみ\r\n山田,やまだ\r\n"));
  std::string u = CsvBytes(records, TCsvEncoding::Utf8);
  EXPECT_EQ(u, "\xEF\xBB\xBF氏名,よみ\r\n山田,やまだ\r\n");
  EXPECT_EQ(ParseCsvBytes(u).Records, records);
}
