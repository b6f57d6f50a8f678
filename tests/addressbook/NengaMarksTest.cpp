// New Year card marks: their remark line, the lists of a card year over a book read from its
// file, and the marks through CSV and vCard and other programs' per-year columns.
#include <gtest/gtest.h>

#include "CommaText.h"
#include "Cp932.h"
#include "CsvExchange.h"
#include "Files.h"
#include "NengaMarks.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

TStrings Names(TPersonList& book) {
  TStrings v;
  for (int i = 0; i < book.Count(); ++i) v.push_back(book.Persons(i)->GetCaption());
  return v;
}

// The entries a list keeps for a year, through the book's own filter (all entries shown).
TStrings Listed(TPersonList& book, TNengaFilter filter, int year) {
  book.SetNengaFilter(filter, year);
  book.FindMode = pfmKanaRow;
  book.FilterNo(-1);
  TStrings v = Names(book);
  book.SetNengaFilter(nfNone, year);
  book.ClearFilter(false);
  return v;
}

}  // namespace

TEST(NengaMarks, TheLineReadsBackAndWhatIsNotMarksStaysARemark) {
  TNengaMarks m;
  ASSERT_TRUE(TNengaMarks::Parse(SJ("年賀状: 2100=受 ,1990=送受止,2027=喪"), m));
  EXPECT_EQ(m.Line(), SJ("年賀状:1990=送受止,2027=喪,2100=受"));  // years in order, marks in order
  EXPECT_EQ(m.Of(1990), nmSent | nmReceived | nmStopped);
  EXPECT_TRUE(m.StoppedBy(2026) && !m.StoppedBy(1989));
  for (const char* bad : {"年賀状:", "年賀状:2025", "年賀状:2025=", "年賀状:2025=済", "年賀状:25年=送", "年賀状:10000=送",
                          "年賀状:2025=送;2026=受", "年賀状 2025=送"})
    EXPECT_FALSE(TNengaMarks::Parse(Utf8ToSjis(bad), m)) << bad;

  // an entry of a book: a line that does not read is kept, the marks go in a line of their own
  TPersonList book;
  book.RecordUndo = true;
  TPerson* p = static_cast<TPerson*>(book.AddText(SJ("山田,やまだ,,,,,,,,メモ|年賀状:来年から出さない")));
  book.History().Clear();
  EXPECT_TRUE(NengaMarksOf(*p).Empty());
  ASSERT_TRUE(MarkNenga(*p, 2026, nmSent | nmReceived, true));
  EXPECT_FALSE(MarkNenga(*p, 2026, nmSent, true));  // no change, no step
  EXPECT_EQ(p->Remarks().Lines(), (TStrings{SJ("メモ"), SJ("年賀状:来年から出さない"), SJ("年賀状:2026=送受")}));
  EXPECT_EQ(RemarksWithoutNenga(p->Remarks().Lines()), (TStrings{SJ("メモ"), SJ("年賀状:来年から出さない")}));
  p->SetName(SJ("山田 太郎"));
  EXPECT_EQ(NengaMarksOf(*p).Body(), SJ("2026=送受"));
  MarkNenga(*p, 2026, nmSent | nmReceived, false);
  EXPECT_EQ(p->Remarks().Count(), 2);  // no marks, no line
  book.History().UndoStep();
  EXPECT_EQ(NengaMarksOf(*p).Body(), SJ("2026=送受"));
  book.History().UndoStep();  // the rename, then the marks
  EXPECT_EQ(p->Name(), SJ("山田"));
  EXPECT_EQ(NengaMarksOf(*p).Body(), SJ("2026=送受"));
  book.History().UndoStep();
  EXPECT_TRUE(NengaMarksOf(*p).Empty());
  book.History().RedoStep();
  EXPECT_EQ(NengaMarksOf(*p).Body(), SJ("2026=送受"));

  // two entries made one: the marks of both, per year
  TPerson* q = static_cast<TPerson*>(book.AddText(SJ("山田,やまだ,,,,,,,,\"年賀状:2026=喪,2027=寒\"")));
  MergeNengaMarks(*p, *q);
  EXPECT_EQ(NengaMarksOf(*p).Body(), SJ("2026=送受喪,2027=寒"));
}

TEST(NengaMarks, TheListsOfAYearOverABookReadFromItsFile) {
  test::TempDir dir;
  std::string file = dir.File("book.kad");
  WriteFileAtomic(file, SJ("あ,あ,,,,,,友人,,\"年賀状:2025=送受,2026=送受\",0/0/0,0/0/0\r\n"
                           "い,い,,,,,,,,\"年賀状:2026=受,2027=喪\",0/0/0,0/0/0\r\n"
                           "う,う,,,,,,友人,,年賀状:2026=止,0/0/0,0/0/0\r\n"
                           "か,か,,,,,,,,年賀状:2027=寒,0/0/0,0/0/0\r\n"
                           "き,き,,,,,,,,年賀状:2027=送受|年賀状:2028=送,0/0/0,0/0/0\r\n"
                           "く,く,,,,,,,,\"メモ,年賀状:2027=送\",0/0/0,0/0/0\r\n"));
  TPersonList book;
  book.Open(file, false);
  auto v = [](std::initializer_list<const char*> names) {
    TStrings r;
    for (const char* n : names) r.push_back(Utf8ToSjis(n));
    return r;
  };
  // 喪 of 2027 keeps い out of 2027 only; 止 of 2026 keeps う out of 2026 and later years;
  // a second marks line is an ordinary remark (き has 2027 only), as is marks inside a remark
  EXPECT_EQ(Listed(book, nfUnsent, 2027), v({"あ", "く"}));
  EXPECT_EQ(Listed(book, nfUnsent, 2026), v({"い", "か", "き", "く"}));
  EXPECT_EQ(Listed(book, nfUnsent, 2025), v({"い", "う", "か", "き", "く"}));
  EXPECT_EQ(Listed(book, nfUnsent, 2100), v({"あ", "い", "か", "き", "く"}));
  EXPECT_EQ(Listed(book, nfMourning, 2027), v({"い"}));
  EXPECT_EQ(Listed(book, nfReceivedOnly, 2026), v({"い"}));
  EXPECT_EQ(Listed(book, nfSent, 2027), v({"き"}));
  EXPECT_EQ(Listed(book, nfLastYear, 2027), v({"あ", "い"}));
  EXPECT_EQ(book.AllPersons(0)->ReadsFromLine(), true);  // the lists did not make fields

  // with the classification filter and with a find; a change is seen by the next list
  book.SetNengaFilter(nfUnsent, 2027);
  book.FindMode = pfmClassify;
  book.FilterNo(0);  // 友人
  EXPECT_EQ(Names(book), v({"あ"}));
  MarkNenga(*book.AllPersons(0), 2027, nmSent, true);
  book.FilterNo(0);
  EXPECT_TRUE(Names(book).empty());
  book.FindMode = pfmName;
  book.FilterText(SJ("く"));
  EXPECT_EQ(Names(book), v({"く"}));
  // the table column: the year before's and the card year's marks
  int align = 1;
  EXPECT_EQ(PersonTableCellText(*book.AllPersons(1), NengaColumnName(), align), SJ("26:受 27:喪"));
  EXPECT_EQ(PersonTableCellText(*book.AllPersons(3), NengaColumnName(), align), SJ("26:－ 27:寒"));
  TNengaSummary s = SummarizeNenga(book, 2027);
  EXPECT_EQ(s.ToSend, 1);
  EXPECT_EQ(s.Sent, 2);
  EXPECT_EQ(s.Mourning, 1);
  EXPECT_EQ(s.Received, 1);
  EXPECT_EQ(s.ReceivedOnly, 0);
}

TEST(NengaMarks, GoThroughCsvAndVCardAndComeFromOtherProgramsColumns) {
  TPersonList book;
  book.AddText(SJ("\"山田 太郎\",やまだ,,,,,,,,\"メモ|年賀状:2026=送受,2027=喪\""));
  book.AddText(SJ("鈴木,すずき,,,,,,,,年賀状:そのうち"));
  TCsvExporter e;
  e.Reset(PersonExchangeNames());
  e.AddAll();
  std::vector<std::string> records = e.Records(book);
  ASSERT_EQ(records.size(), 3u);
  TStrings row = DecodeCommaText(records[2]);
  EXPECT_EQ(row[pcRemarks], SJ("メモ"));  // 備考 without the marks
  EXPECT_EQ(row.back(), SJ("2026=送受,2027=喪"));
  EXPECT_EQ(DecodeCommaText(records[1])[pcRemarks], SJ("年賀状:そのうち"));  // not marks: a remark

  std::string csv;
  for (const std::string& r : records) csv += r + "\r\n";
  TCsvImportSession s;
  s.Start(PersonExchangeNames(), PersonColumnAlias);
  ASSERT_TRUE(s.LoadBytes(csv));
  TPersonList back;
  ASSERT_EQ(s.Import(back).Added, 2);
  EXPECT_EQ(back.Persons(1)->Remarks().Lines(), (TStrings{SJ("メモ"), SJ("年賀状:2026=送受,2027=喪")}));
  EXPECT_EQ(back.Persons(0)->Remarks().Lines(), (TStrings{SJ("年賀状:そのうち")}));

  TPersonList cards;
  TVCardFile file = ParseVCards(VCardsOfList(book));
  ASSERT_EQ(file.Cards.size(), 2u);
  for (const TVCard& c : file.Cards) ImportPerson(*static_cast<TPerson*>(cards.AddText("")), c.Record);
  EXPECT_EQ(cards.Persons(1)->Remarks().Lines(), back.Persons(1)->Remarks().Lines());
  EXPECT_EQ(cards.Persons(0)->Remarks().Lines(), back.Persons(0)->Remarks().Lines());

  // another program's export: a column per year and mark, a column per year of marks
  TCsvImportSession o;
  o.Start(PersonExchangeNames(), PersonColumnAlias);
  ASSERT_TRUE(o.LoadBytes(SJ("氏名,２０２５年賀状送付,2025受取,喪中2026,年賀2024,備考\r\n"
                             "佐藤,○,1,,送・受,メモ\r\n"
                             "田中,,×,済,,\r\n")));
  TPersonList other;
  ASSERT_EQ(o.Import(other).Added, 2);
  EXPECT_EQ(NengaMarksOf(*other.Persons(0)).Body(), SJ("2024=送受,2025=送受"));
  EXPECT_EQ(other.Persons(0)->Remarks().Lines(), (TStrings{SJ("メモ"), SJ("年賀状:2024=送受,2025=送受")}));
  EXPECT_EQ(NengaMarksOf(*other.Persons(1)).Body(), SJ("2026=喪"));
}
