// kaede nenga and the New Year card lists of the print commands, on a real book file: marks
// set from the command line, the cards still to send printed and marked, and the marks
// through CSV and vCard into new books.
#include <gtest/gtest.h>

#include <map>

#include "CliRun.h"
#include "Files.h"
#include "NengaBooks.h"
#include "NengaMarks.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

TStrings OutLines(const TRun& r) { return SplitStr(Utf8ToSjis(r.Out), "\n"); }

}  // namespace

TEST(KaedeNenga, MarksListsPrintsTheCardsToSendAndCarriesTheMarksThroughExchange) {
  KAEDE_NEEDS_SHARED_DATA();
  ConfigHome config;
  TempDir dir;
  const std::string sjisBook = MakeBook(dir, 30);
  const std::string book = SjisToUtf8(sjisBook);

  // 喪 for 2027 on the 2nd entry, 止 from 2026 on the 3rd, 受 of 2026 on the 4th
  ASSERT_EQ(Kaede({"nenga", book, "--year", "2027", "--mark", "喪", "--entries", "2"}).Status, 0);
  ASSERT_EQ(Kaede({"nenga", book, "--year", "2026", "--mark", "止", "--entries", "3"}).Status, 0);
  TRun r = Kaede({"nenga", book, "--year", "2026", "--mark", "受", "--entries", "4-4"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("1 of 1 entries marked 受 for 2026 and saved"), std::string::npos) << r.Out;

  r = Kaede({"nenga", book, "--year", "2027", "--unsent"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(CountLines(r.Out), 28);
  EXPECT_NE(r.Err.find("未送付 28 / 送付済み 0 / 受取 0 / 受取のみ 0 / 喪中 1"), std::string::npos) << r.Err;
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2026", "--unsent"}).Out), 29);  // the mourning is of 2027
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2028", "--unsent"}).Out), 29);  // 止 holds on
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2025", "--unsent"}).Out), 30);
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2027", "--last-year"}).Out), 1);
  const TStrings unsent = OutLines(Kaede({"nenga", book, "--year", "2027", "--unsent"}));

  // print the first five cards still to send and mark them
  const std::string pdf = dir.Path() + "/cards.pdf";
  r = Kaede({"print", "postcards", book, "--nenga-unsent", "2027", "--entries", "1-5", "--mark-sent", "-o", pdf});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("5 entries on 5 sheets"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("5 entries marked 送 for 2027"), std::string::npos) << r.Out;
  std::map<std::string, std::string> marks = MarksOfBookFile(sjisBook);
  EXPECT_EQ(marks.size(), 7u);  // entries 1 and 4 to 7 printed, 2 and 3 left out
  for (int i = 0; i < 5; ++i) {
    const std::string name = LeftOf(unsent[static_cast<size_t>(i)], "\t");
    EXPECT_EQ(marks[name].find(SJ("2027=送")) != std::string::npos, true) << SjisToUtf8(name);
  }
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2027", "--unsent"}).Out), 23);
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2027", "--sent"}).Out), 5);
  r = Kaede({"print", "table", book, "--nenga-sent", "2027", "-o", dir.Path() + "/sent.pdf"});
  EXPECT_EQ(r.Status, 0) << r.Err;

  // clear with a find; errors say what is wrong and change nothing
  const std::string first = SjisToUtf8(LeftOf(unsent[0], "\t"));
  r = Kaede({"nenga", book, "--year", "2027", "--mark", "送", "--unmark", "--find", first});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(CountLines(Kaede({"nenga", book, "--year", "2027", "--sent"}).Out), 4);
  const std::string before = ReadFileBytes(sjisBook);
  const std::pair<std::vector<std::string>, const char*> bads[] = {
      {{"nenga", book, "--mark", "済", "--entries", "1"}, "--mark には 送、受、喪、寒、止 の印を指定します（「済」は使えません）"},
      {{"nenga", book, "--year", "20x7", "--unsent"}, "--year には 1 から 9999 までの年を指定します（「20x7」は使えません）"},
      {{"nenga", book, "--mark", "送"}, "--mark には印を付ける宛名を --entries A-B か --find TEXT で指定します"},
      {{"nenga", book, "--year", "2027", "--mark", "送", "--entries", "40-"}, "印を付ける宛名がありません: 一覧は30件で、--entries 「40-」に当たる宛名はありません"},
      {{"list", book, "--nenga-unsent", "2027", "--nenga-sent", "2027"}, "--nenga-... の一覧は一つだけ指定します"}};
  for (const auto& [bad, message] : bads) {
    r = Kaede(bad);
    EXPECT_EQ(r.Status, 1) << bad[2];
    EXPECT_NE(r.Err.find(std::string("kaede: ") + message), std::string::npos) << r.Err;
  }
  EXPECT_EQ(ReadFileBytes(sjisBook), before);

  // the marks go out with CSV (column 年賀状, chosen since there are marks) and vCard and come
  // back into new books the same
  marks = MarksOfBookFile(sjisBook);
  const std::string csv = dir.Path() + "/out.csv", vcf = dir.Path() + "/out.vcf";
  ASSERT_EQ(Kaede({"export", book, "-o", csv}).Status, 0);
  ASSERT_EQ(Kaede({"export", book, "--vcard", "-o", vcf}).Status, 0);
  ASSERT_EQ(Kaede({"import", csv, "--into", dir.Path() + "/fromcsv.kad"}).Status, 0);
  ASSERT_EQ(Kaede({"import", vcf, "--into", dir.Path() + "/fromvcf.kad"}).Status, 0);
  EXPECT_EQ(MarksOfBookFile(dir.File("fromcsv.kad")), marks);
  EXPECT_EQ(MarksOfBookFile(dir.File("fromvcf.kad")), marks);
}
