#include <gtest/gtest.h>

#include "CommaText.h"
#include "CsvFiles.h"
#include "Files.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::vector<TStrings> Rows(const TCsvFile& f) {
  std::vector<TStrings> rows;
  for (int r = 0; r < f.RecordCount(); ++r) rows.push_back(f.Record(r));
  return rows;
}

// The message of the error a parse raises; empty when it succeeds.
std::string ParseError(std::string_view bytes, TEncodingChoice choice = TEncodingChoice::Auto,
                       const TCsvLimits& limits = TCsvLimits()) {
  try {
    ParseCsvBytes(bytes, choice, limits);
  } catch (const Exception& e) {
    return SjisToUtf8(e.what());
  }
  return std::string();
}

}  // namespace

TEST(CsvFiles, EncodingIsDetectedAndConverted) {
  std::string sjis = SJ("氏名,よみ\r\n山田,やまだ\r\n");
  TCsvFile a = ParseCsvBytes(sjis);
  EXPECT_EQ(a.Encoding, TTextEncoding::Cp932);
  ASSERT_EQ(a.RecordCount(), 2);
  EXPECT_EQ(a.Record(1), (TStrings{SJ("山田"), SJ("やまだ")}));

  TCsvFile b = ParseCsvBytes("氏名,よみ\n山田,やまだ\n");  // UTF-8 without a mark
  EXPECT_EQ(b.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(Rows(b), Rows(a));

  TCsvFile c = ParseCsvBytes("\xEF\xBB\xBFname\r\nabc\r\n");  // ASCII with a mark is UTF-8 too
  EXPECT_EQ(c.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(c.Record(0), TStrings{"name"});

  TCsvFile d = ParseCsvBytes("abc,def\r\n");  // plain ASCII reads as CP932 (the same bytes)
  EXPECT_EQ(d.Encoding, TTextEncoding::Cp932);

  // UTF-16 with its mark, either byte order
  std::u16string u16 = u"氏名,よみ\r\n山田,やまだ\r\n";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t ch : u16) {
    le += static_cast<char>(ch & 0xFF), le += static_cast<char>(ch >> 8);
    be += static_cast<char>(ch >> 8), be += static_cast<char>(ch & 0xFF);
  }
  EXPECT_EQ(Rows(ParseCsvBytes(le)), Rows(a));
  EXPECT_EQ(ParseCsvBytes(be).Encoding, TTextEncoding::Utf16BE);
  EXPECT_EQ(Rows(ParseCsvBytes(be)), Rows(a));
}

TEST(CsvFiles, AShortUtf8FileThatIsAlsoValidCp932ReadsAsUtf8) {
  // "氏名" in UTF-8 is E6 B0 8F E5 90 8D: as CP932 that is three valid characters
  std::string bytes = "氏名\r\n";
  ASSERT_TRUE(IsValidSjis(bytes));
  TCsvFile f = ParseCsvBytes(bytes);
  EXPECT_EQ(f.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(f.Record(0), TStrings{SJ("氏名")});
  // the user can still ask for CP932
  EXPECT_EQ(ParseCsvBytes(bytes, TEncodingChoice::Cp932).Record(0)[0], bytes.substr(0, 6));
}

TEST(CsvFiles, AFileValidInNeitherEncodingNamesTheLineAndColumnOfTheFirstBadByte) {
  // UTF-8 with one stray byte on the third line: UTF-8 reads further than CP932
  std::string text = "氏名,よみ\r\n山田,やまだ\r\nab,\xFF" "x\r\n";
  std::string e = ParseError(text);
  EXPECT_NE(e.find("3行目"), std::string::npos) << e;
  EXPECT_NE(e.find("4桁目"), std::string::npos) << e;
  EXPECT_NE(e.find("0xFF"), std::string::npos) << e;
  EXPECT_NE(e.find("UTF-8"), std::string::npos) << e;
  // CP932 with a byte that starts no character (0xA0) on the second line
  std::string sjis = SJ("氏名\r\n山田") + "\xA0\r\n" + SJ("佐藤") + "\r\n";
  e = ParseError(sjis);
  EXPECT_NE(e.find("2行目"), std::string::npos) << e;
  EXPECT_NE(e.find("5桁目"), std::string::npos) << e;
  EXPECT_NE(e.find("Shift_JIS"), std::string::npos) << e;
  // an encoding asked for is checked as a whole
  e = ParseError(SJ("山田\r\n"), TEncodingChoice::Utf8);
  EXPECT_NE(e.find("1行目"), std::string::npos) << e;
  // the file name comes first when the file is read from disk
  test::TempDir dir;
  WriteFileAtomic(dir.File("bad.csv"), text);
  try {
    ReadCsvFile(dir.File("bad.csv"));
    ADD_FAILURE();
  } catch (const ETextEncodingError& x) {
    EXPECT_EQ(x.Line(), 3);
    EXPECT_EQ(x.Column(), 4);
    EXPECT_EQ(SjisToUtf8(x.what()).rfind(dir.Path() + "/bad.csv 3行目", 0), 0u) << SjisToUtf8(x.what());
  }
}

TEST(CsvFiles, CharactersCp932CannotHoldAreReportedWhereTheyStand) {
  TCsvFile f = ParseCsvBytes("名前,メモ\n髙橋,🍣好き\n𠮷野,x\n");
  ASSERT_EQ(f.RecordCount(), 3);
  EXPECT_EQ(f.Record(1), (TStrings{SJ("髙橋"), SJ("〓好き")}));
  ASSERT_EQ(f.Issues.size(), 2u);
  EXPECT_EQ(f.Issues[0].Record, 2);
  EXPECT_EQ(f.Issues[0].Column, 2);
  EXPECT_EQ(f.Issues[0].Character, "🍣");
  EXPECT_EQ(f.Issues[1].Record, 3);
  EXPECT_EQ(f.Issues[1].Column, 1);
  EXPECT_EQ(f.Issues[1].Line, 3);
  // only so many are kept, all are counted
  std::string many = "a\n";
  for (int i = 0; i < 50; ++i) many += "🍣,🍣\n";
  TCsvLimits limits;
  limits.MaxIssues = 10;
  TCsvFile g = ParseCsvBytes(many, TEncodingChoice::Auto, limits);
  EXPECT_EQ(g.Issues.size(), 10u);
  EXPECT_EQ(g.IssueCount, 100);
}

TEST(CsvFiles, FieldsFollowTheCsvRulesNotTheCommaTextOnes) {
  // spaces are data, an unquoted name with a space is one field, quotes inside an unquoted
  // field are characters, text after a closing quote belongs to the field
  TCsvFile f = ParseCsvBytes(SJ("山田 太郎, やまだ たろう ,x\"y\r\n\"a\" b,\"\",c\r\n,\r\n\r\nlast"));
  ASSERT_EQ(f.RecordCount(), 5);
  EXPECT_EQ(f.Record(0), (TStrings{SJ("山田 太郎"), SJ(" やまだ たろう "), "x\"y"}));
  EXPECT_EQ(f.Record(1), (TStrings{"a b", "", "c"}));
  EXPECT_EQ(f.Record(2), (TStrings{"", ""}));
  EXPECT_EQ(f.Record(3), TStrings{""});  // an empty line is a record with one empty field
  EXPECT_EQ(f.Record(4), TStrings{"last"});  // a last line without an ending
  EXPECT_EQ(f.Table.Field(0, 7), "");  // beyond the fields: empty
  EXPECT_EQ(ParseCsvBytes("a,b,\r\n").Record(0), (TStrings{"a", "b", ""}));
  EXPECT_EQ(ParseCsvBytes("a,b,").Record(0), (TStrings{"a", "b", ""}));
  EXPECT_EQ(ParseCsvBytes("").RecordCount(), 0);
  // tabs and other control bytes are kept here; the import decides what becomes of them
  EXPECT_EQ(ParseCsvBytes(std::string("a\tb,c\0d\r\n", 9)).Record(0), (TStrings{"a\tb", std::string("c\0d", 3)}));
}

TEST(CsvFiles, QuotedLineBreaksJoinLines) {
  TCsvFile f = ParseCsvBytes(SJ("a,\"東京都\r\n港区\",c\r\nd,e\r\n\"x\"\"\ny\",z\n\"p\rq\",r"));
  ASSERT_EQ(f.RecordCount(), 4);
  EXPECT_EQ(f.Record(0), (TStrings{"a", SJ("東京都\r\n港区"), "c"}));
  EXPECT_EQ(f.Record(1), (TStrings{"d", "e"}));
  // line breaks inside fields become CR LF
  EXPECT_EQ(f.Record(2), (TStrings{"x\"\r\ny", "z"}));
  EXPECT_EQ(f.Record(3), (TStrings{"p\r\nq", "r"}));
  // records know the line they start on
  EXPECT_EQ(f.Table.LineOf(0), 1);
  EXPECT_EQ(f.Table.LineOf(1), 3);
  EXPECT_EQ(f.Table.LineOf(2), 4);
  EXPECT_EQ(f.Table.LineOf(3), 6);
  EXPECT_EQ(f.Table.DisplayText(0), SJ("a,\"東京都  港区\",c"));
}

TEST(CsvFiles, AQuoteThatNeverClosesDoesNotSwallowTheFile) {
  TCsvFile f = ParseCsvBytes("a,\"broken\r\nb,c\r\nd,e\r\n");
  EXPECT_EQ(Rows(f), (std::vector<TStrings>{{"a", "\"broken"}, {"b", "c"}, {"d", "e"}}));
  ASSERT_EQ(f.Issues.size(), 1u);
  EXPECT_EQ(f.Issues[0].Line, 1);
  EXPECT_FALSE(f.Issues[0].Message.empty());
  // a quote that stays open past the length of a record is the same
  TCsvLimits limits;
  limits.MaxRecordBytes = 64;
  std::string text = "x,\"open\r\n";
  for (int i = 0; i < 20; ++i) text += "row" + std::to_string(i) + ",v\r\n";
  text += "end,\"closes\"\r\n";
  TCsvFile g = ParseCsvBytes(text, TEncodingChoice::Auto, limits);
  ASSERT_EQ(g.RecordCount(), 22);
  EXPECT_EQ(g.Record(0), (TStrings{"x", "\"open"}));
  EXPECT_EQ(g.Record(21), (TStrings{"end", "closes"}));
}

TEST(CsvFiles, LimitsStopTheReadingWithTheLine) {
  TCsvLimits limits;
  limits.MaxFields = 3;
  EXPECT_EQ(ParseError("a,b,c\r\nd,e,f,g\r\n", TEncodingChoice::Auto, limits).rfind("2行目", 0), 0u);
  limits = TCsvLimits();
  limits.MaxRecordBytes = 10;
  std::string e = ParseError("short\r\nthis line is too long\r\n", TEncodingChoice::Auto, limits);
  EXPECT_EQ(e.rfind("2行目", 0), 0u) << e;
  limits = TCsvLimits();
  limits.MaxFileBytes = 4;
  EXPECT_FALSE(ParseError("a,b,c", TEncodingChoice::Auto, limits).empty());
  // a device is read no further than the limit
  EXPECT_THROW(ReadCsvFile("/dev/zero", TEncodingChoice::Auto, limits), EFileError);
}

TEST(CsvFiles, WritingCp932OrUtf8WithAMark) {
  std::vector<std::string> records = {SJ("氏名,よみ"), SJ("山田,やまだ")};
  EXPECT_EQ(CsvBytes(records, TCsvEncoding::Cp932), SJ("氏名,よみ\r\n山田,やまだ\r\n"));
  std::string u = CsvBytes(records, TCsvEncoding::Utf8);
  EXPECT_EQ(u, "\xEF\xBB\xBF氏名,よみ\r\n山田,やまだ\r\n");
  TCsvFile back = ParseCsvBytes(u);
  EXPECT_EQ(back.Record(1), (TStrings{SJ("山田"), SJ("やまだ")}));
}
