#include <gtest/gtest.h>

#include "CommaText.h"
#include "CsvExchange.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

TPerson* Add(TPersonList& l, const char* utf8Text) { return static_cast<TPerson*>(l.AddText(Utf8ToSjis(utf8Text))); }

TStrings Row(const TPerson& p) { return DecodeCommaText(p.GetExportText()); }

TCsvImportSession Session() {
  TCsvImportSession s;
  s.Start(PersonColumnNames(), PersonColumnAlias);
  return s;
}

}  // namespace

TEST(ExchangeColumns, TableAndAliases) {
  ASSERT_EQ(PersonColumnNames().size(), 41u);
  EXPECT_EQ(PersonColumnNames()[0], SJ("氏名"));
  EXPECT_EQ(PersonColumnNames()[40], SJ("更新日"));
  EXPECT_EQ(PersonColumnAlias(SJ("郵便番号")), SJ("7桁〒,〒"));
  EXPECT_EQ(PersonColumnAlias(SJ("氏名")), "");
  EXPECT_EQ(PersonColumnAlias("nothing"), "");
  EXPECT_EQ(TableColumnNames().size(), 25u);  // the last is 年賀状
}

TEST(ExchangeColumns, JointNamesGoToTheirOwnColumnsAndComeBack) {
  TPersonList l;
  TPerson* p = Add(l, "\"山田 太郎\",\"やまだ たろう\"");
  p->Renmei().Assign({SJ("花子|ちゃん"), SJ("次郎")});
  TStrings r = Row(*p);
  EXPECT_EQ(r[pcRenmei1], SJ("花子"));
  EXPECT_EQ(r[pcRenmei1 + 1], SJ("次郎"));
  EXPECT_EQ(r[pcRenmeiKeisyo1], SJ("ちゃん"));
  EXPECT_EQ(r[pcRenmeiKeisyo1 + 1], "");
  TPerson* back = static_cast<TPerson*>(l.AddText(""));
  back->SetImportText(p->GetExportText());
  EXPECT_EQ(back->Renmei().Lines(), p->Renmei().Lines());
}

TEST(ExchangeColumns, HomeNumbersAreNotLostOnExport) {
  TPersonList l;
  TPerson* p = Add(l, "a,a,自宅:03-1111-2222|携帯:090-3333-4444");
  TStrings r = Row(*p);
  EXPECT_EQ(r[pcTel], "03-1111-2222");  // no TEL entry: the home number takes the column
  EXPECT_EQ(r[pcMobile], "090-3333-4444");
  TPerson* q = Add(l, "b,b,携帯:090-1|TEL:03-9|IP:050-1");
  EXPECT_EQ(Row(*q)[pcTel], "03-9");  // a TEL entry comes first
  TPerson* m = Add(l, "c,c,携帯:090-1|FAX:03-8");
  EXPECT_EQ(Row(*m)[pcTel], "");      // both have columns of their own
  int align = 1;
  EXPECT_EQ(PersonTableCellText(*p, "TEL", align), "03-1111-2222");
  EXPECT_EQ(align, 0);
}

TEST(ExchangeColumns, ImportRulesForHonorificTitleAndPlaceOfWork) {
  TPersonList l;
  TStrings c(41);
  c[pcName] = SJ("佐藤 健");
  c[pcYomi] = SJ("ｻﾄｳ ｹﾝ");
  c[pcKeisyo] = SJ("(自動)");
  c[pcPostal] = "123-4567";
  c[pcWorkName] = SJ("株式会社楓");
  c[pcWorkTel] = "03-1";
  c[pcRenmei1] = SJ("花子");
  c[pcRenmeiKeisyo1] = SJ("様");
  c[pcRenmei1 + 1] = SJ("蓮");
  c[pcRenmeiKeisyo1 + 1] = SJ("くん");
  c[pcRegistered] = "2007/03/05 12:00:00";
  TPerson* p = static_cast<TPerson*>(l.AddText(""));
  p->SetImportText(EncodeCommaText(c));
  EXPECT_EQ(p->Yomi(), SJ("さとう　けん"));
  EXPECT_EQ(p->Keisyo(), "");  // automatic
  EXPECT_EQ(p->Postal(), "1234567");
  EXPECT_EQ(p->Renmei().Lines(), (TStrings{SJ("花子"), SJ("蓮|くん")}));
  EXPECT_EQ(DateToText(p->Registered()), "2007/3/5");
  EXPECT_EQ(p->Relations().Lines(), TStrings{SJ("勤務先:株式会社楓")});
  EXPECT_EQ(p->Title(), SJ("株式会社楓"));  // the company name alone: no space after it
  ASSERT_EQ(l.Count(), 2);  // the place of work became an entry
  TPerson* w = p->RelatedPerson(SJ("勤務先"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Relations().Lines(), TStrings{SJ("社員:佐藤 健")});
  EXPECT_EQ(w->Tels().Lines(), TStrings{"TEL:03-1"});
  // a row of fewer than 17 columns never sets the title
  TPerson* q = static_cast<TPerson*>(l.AddText(""));
  q->SetImportText(EncodeCommaText({"x", "", "", "", "", "", "", "", "", "", "", "", "", "", SJ("部長")}));
  EXPECT_EQ(q->Title(), "");
  // the pieces of a title join with single spaces, without one at the end
  TStrings t(41);
  t[pcTitle] = SJ("営業部");
  TPerson* r = static_cast<TPerson*>(l.AddText(""));
  r->SetImportText(EncodeCommaText(t));
  EXPECT_EQ(r->Title(), SJ("営業部"));
}

TEST(ExchangeColumns, ARichEntryComesBackWhereTheExchangeFormAllows) {
  TPersonList l;
  TPerson* work = Add(l, "株式会社楓,かえで,TEL:03-5|FAX:03-6,,https://kaede.example.jp/,1030027,東京都中央区日本橋|楓ビル");
  (void)work;
  TPerson* p = Add(l,
                   "\"山田 太郎\",\"やまだ たろう\",TEL:03-1|FAX:03-2|携帯:090-3|ポケベル:020-4|自宅:03-9,"
                   "個人:t@example.jp|会社:y@example.jp|予備:z@example.jp,https://t.example.jp/,1530064,"
                   "東京都目黒区下目黒|三丁目|12-5,家族|年賀状,\"勤務先:株式会社楓|妻:山田 花子\","
                   "学生時代の友人|引っ越し予定,2024/4/1,2026/11/20,先生,\"営業部 課長 代理\",花子|ちゃん|次郎");
  TPersonList other;
  TPerson* back = static_cast<TPerson*>(other.AddText(""));
  back->SetImportText(p->GetExportText());
  // kept
  EXPECT_EQ(back->Name(), p->Name());
  EXPECT_EQ(back->Yomi(), SJ("やまだ　たろう"));  // readings come back full width
  EXPECT_EQ(back->Keisyo(), p->Keisyo());
  EXPECT_EQ(back->Postal(), p->Postal());
  EXPECT_EQ(back->Url(), p->Url());
  EXPECT_EQ(back->Classify().Lines(), p->Classify().Lines());
  EXPECT_EQ(back->Renmei().Lines(), (TStrings{SJ("花子|ちゃん"), SJ("次郎")}));
  EXPECT_TRUE(SameDate(back->Registered(), p->Registered()));
  EXPECT_TRUE(SameDate(back->Updated(), p->Updated()));
  // not kept, by the form's nature:
  // - address lines after the second are joined into the second
  EXPECT_EQ(back->Address().Lines(), (TStrings{SJ("東京都目黒区下目黒"), SJ("三丁目12-5")}));
  // - mail kinds become "メール" and only two mails go out
  EXPECT_EQ(back->Mails().Lines(), (TStrings{SJ("メール:t@example.jp"), SJ("メール:y@example.jp")}));
  // - telephone kinds other than TEL, FAX, 携帯 and ポケベル go out only as the TEL column
  EXPECT_EQ(back->Tels().Count(), 4);
  // - the title gains the company name (import puts the place of work before the title)
  EXPECT_EQ(back->Title(), SJ("株式会社楓 営業部 課長 代理"));
  // - relations other than the place of work are not exchanged
  EXPECT_EQ(back->Relations().Lines(), TStrings{SJ("勤務先:株式会社楓")});
  // - remarks go out as one comma text and come back as one line
  EXPECT_EQ(back->Remarks().Count(), 1);
  // - the place of work comes back as a new entry of the book
  EXPECT_EQ(other.Count(), 2);
}

TEST(CsvExport, HeaderAndVisibleEntriesQuotedWhereNeeded) {
  test::TempDir dir;
  TPersonList l;
  Add(l, "\"a, \"\"b\"\"\",あ");
  Add(l, "c,か");
  Add(l, "d,さ");
  TCsvExporter e;
  e.Reset(PersonColumnNames());
  e.SelectedField = pcName;
  e.Add();
  e.SelectedField = pcYomi;
  e.Add();
  std::string file = dir.File("out.csv");
  int n = e.Write(l, file);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(TCsvExporter::ResultMessage(n), SJ("3件エクスポートしました"));
  std::string text = ReadFileBytes(file);
  EXPECT_EQ(text, SJ("氏名,よみ\r\n\"a, \"\"b\"\"\",あ\r\nc,か\r\nd,さ\r\n"));
  l.FindMode = 0;
  l.FilterText("c");
  EXPECT_EQ(e.Write(l, file), 1);  // only what the view shows
}

TEST(CsvExport, EntriesMoveUpAndDownToTheEnds) {
  TCsvExporter e;
  e.Reset({"a", "b", "c"});
  e.AddAll();
  e.SelectedExport = 2;
  EXPECT_TRUE(e.CanUp());  // the last entry can move up
  EXPECT_FALSE(e.CanDown());
  e.Up();
  EXPECT_EQ(e.ExportNames, (TStrings{"a", "c", "b"}));
  e.SelectedExport = 1;
  EXPECT_TRUE(e.CanDown());  // and the one before it down
  e.Down();
  EXPECT_EQ(e.ExportNames, (TStrings{"a", "b", "c"}));
  e.SelectedExport = 0;
  EXPECT_FALSE(e.CanUp());
  e.SelectedExport = -1;
  e.SelectedField = 2;
  e.Add();  // nothing selected: at the end
  EXPECT_EQ(e.ExportNames.back(), "c");
  e.DelAll();
  EXPECT_FALSE(e.CanDelAll());
}

TEST(CsvImport, LinesSplitWithSpacesKeptAndColumnsMappedInFieldOrder) {
  TCsvImportSession s = Session();
  ASSERT_TRUE(s.LoadBytes(SJ("名前 ,電話,電話\r\na b,c,d\r\n\"a\" b,c\r\n")));
  EXPECT_EQ(s.SplitLine(1), (TStrings{"a b", "c", "d"}));
  // a CSV file is read by the CSV rules: text after a closing quote stays in its field
  EXPECT_EQ(s.SplitLine(2), (TStrings{"a b", "c"}));
  // two columns hold the field name "電話": the first goes to 電話; 勤務先電話 does not
  // contain it the other way round, so the second stays free
  EXPECT_EQ(s.Map[pcTel], std::vector<int>{1});
  EXPECT_TRUE(s.ColumnUsed(1));
  EXPECT_FALSE(s.ColumnUsed(2));
  EXPECT_EQ(s.Map[pcName], std::vector<int>{0});  // "名前" is a common whole name of the name
  s.SelectedRow = pcFax;
  s.SelectedColumn = 2;
  s.MapSelected();
  EXPECT_EQ(s.SelectedRow, pcFax + 1);
  EXPECT_EQ(s.RowText(pcFax), SJ("ファックス:電話"));
  s.SelectLine(1);
  EXPECT_EQ(s.RowText(pcFax), SJ("ファックス:d"));
  s.UnmapAll();
  EXPECT_FALSE(s.CanUnmapAll());
  EXPECT_EQ(s.RowText(pcTel), SJ("電話:"));
}

TEST(CsvImport, MissingAndEmptyFilesSayWhy) {
  test::TempDir dir;
  TCsvImportSession s = Session();
  EXPECT_FALSE(s.Load(dir.File("ない.csv")));
  EXPECT_EQ(s.Error, SJ("指定ファイルは存在しません"));
  WriteFileAtomic(dir.File("empty.csv"), "");
  EXPECT_FALSE(s.Load(dir.File("empty.csv")));
  EXPECT_EQ(s.Error, SJ("選択したファイルは空なのでインポートできません"));
  // nothing is mapped: the import is refused and adds nothing
  TPersonList l;
  EXPECT_THROW(s.Import(l), Exception);
  EXPECT_EQ(l.Count(), 0);
}

TEST(CsvImport, ABadLineIsSkippedAndReportedTheRestImportedAsOneUndoStep) {
  TPersonList l;
  Add(l, "既存,きそん");
  std::string before = l.GetCommaText();
  l.History().Clear();
  TCsvImportSession s = Session();
  ASSERT_TRUE(s.LoadBytes(SJ("氏名,登録日\r\n一,2020/1/1\r\n二,2020-01-02\r\n三,\r\n")));
  TImportResult r = s.Import(l);
  EXPECT_EQ(r.Added, 2);
  ASSERT_EQ(r.Skipped.size(), 1u);
  EXPECT_EQ(r.Skipped[0].Line, 3);
  EXPECT_NE(r.Skipped[0].Message.find("2020-01-02"), std::string::npos);
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l.UpdateCount(), 0);
  EXPECT_EQ(l.History().Count(), 1);
  l.History().UndoStep();
  EXPECT_FALSE(l.History().CanUndo());
  EXPECT_EQ(l.GetCommaText(), before);
  // with the first-line switch off the header is a line like the others (here its date
  // column holds no date)
  s.NoFirstLine = false;
  r = s.Import(l);
  EXPECT_EQ(r.Added, 2);
  ASSERT_EQ(r.Skipped.size(), 2u);
  EXPECT_EQ(r.Skipped[0].Line, 1);
}

TEST(CsvImport, AnImportThatWouldPassTheEntriesABookHoldsAddsNothing) {
  TPersonList l;
  Add(l, "既存,きそん");
  l.Limits.Lines = 3;
  TCsvImportSession s = Session();
  ASSERT_TRUE(s.LoadBytes(SJ("氏名\r\n一\r\n二\r\n三\r\n")));
  try {
    s.Import(l);
    ADD_FAILURE() << "imported";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(SJ("3件まで")), std::string::npos);
  }
  EXPECT_EQ(l.AllCount(), 1);
  // up to the limit it imports, and the book opens again
  ASSERT_TRUE(s.LoadBytes(SJ("氏名\r\n一\r\n二\r\n")));
  EXPECT_EQ(s.Import(l).Added, 2);
  test::TempDir dir;
  l.SaveToFile(dir.File("book.kad"));
  TPersonList again;
  again.Limits.Lines = 3;
  EXPECT_NO_THROW(again.Open(dir.File("book.kad"), false));
}

TEST(CsvImport, TheSyntheticBookImportsAlikeFromCp932AndUtf8) {
  KAEDE_NEEDS_SHARED_DATA();
  std::string texts[2];
  const char* files[2] = {"fake/synthetic_addressbook_5000_cp932.csv", "fake/synthetic_addressbook_5000_utf8.csv"};
  for (int k = 0; k < 2; ++k) {
    TCsvImportSession s = Session();
    ASSERT_TRUE(s.Load(Utf8ToSjis(test::SharedData(files[k]))));
    EXPECT_TRUE(s.File.Issues.empty());
    EXPECT_EQ(s.Map[pcName].size(), 2u);     // 姓 + 名
    EXPECT_EQ(s.Map[pcYomi].size(), 2u);     // セイ + メイ
    EXPECT_EQ(s.Map[pcAddress1].size(), 4u); // 都道府県 + 市区町村 + 町域 + 番地
    EXPECT_EQ(s.Map[pcAddress2].size(), 1u); // 建物名
    TPersonList l;
    TImportResult r = s.Import(l);
    EXPECT_EQ(r.Added, 5000);
    EXPECT_TRUE(r.Skipped.empty());
    // 3,土井,瑞希,ドイ,ミズキ,男,270-1363,千葉県,印西市,鹿黒,1254-9,鹿黒コート611号室,045-145-6013,070-6783-5163,...
    l.FindMode = 0;
    int i = l.FindText(SJ("土井 瑞希"), true);
    ASSERT_GE(i, 0);
    auto* p = l.AllPersons(i);
    EXPECT_EQ(p->Name(), SJ("土井 瑞希"));
    EXPECT_EQ(p->Yomi(), SJ("どい　みずき"));
    EXPECT_EQ(p->Postal(), "2701363");
    EXPECT_EQ(p->Address().Lines(), (TStrings{SJ("千葉県印西市鹿黒1254-9"), SJ("鹿黒コート611号室")}));
    EXPECT_EQ(p->Tels().Lines(), (TStrings{"TEL:045-145-6013", SJ("携帯:070-6783-5163")}));
    EXPECT_EQ(p->Mails().Lines(), TStrings{SJ("メール:mizuki.doi654@example.net")});
    EXPECT_EQ(p->Remarks().Lines(), TStrings{SJ("誕生日:1966/02/07")});
    l.Sort();
    texts[k] = l.GetCommaText();
  }
  EXPECT_EQ(texts[0], texts[1]);
}

TEST(JointNames, NamesKeepTheirHonorificsThroughTheBookFile) {
  TStrings lines;
  ReadJointNames(SJ("花子|ちゃん|次郎|健太|くん"), lines);
  EXPECT_EQ(lines, (TStrings{SJ("花子|ちゃん"), SJ("次郎"), SJ("健太|くん")}));
  ReadJointNames(SJ("様|花子"), lines);  // a first piece is always a name
  EXPECT_EQ(lines, (TStrings{SJ("様"), SJ("花子")}));
  ReadJointNames(SJ("花子|様|様"), lines);
  EXPECT_EQ(lines, (TStrings{SJ("花子|様"), SJ("様")}));
  TPersonList l;
  TPerson* p = Add(l, "a,a");
  p->Renmei().Assign({SJ("花子|様"), SJ("Mr.|x"), SJ("健太|くん")});
  TPerson* back = Add(l, "b,b");
  back->SetText(p->GetText());
  EXPECT_EQ(back->Renmei().Lines(), (TStrings{SJ("花子|様"), "Mr.", "x", SJ("健太|くん")}));
}

TEST(CsvExport, AByteThatIsNotCp932NamesItsEntryInAUtf8Export) {
  TPersonList l;
  Add(l, "a,あ");
  l.AddText(std::string("\"b\x81\",b"));
  TCsvExporter e;
  e.Reset(PersonColumnNames());
  e.AddAll();
  int n = 0;
  EXPECT_NO_THROW(e.Bytes(l, TCsvEncoding::Cp932, n));  // CP932 bytes go out as they are
  try {
    e.Bytes(l, TCsvEncoding::Utf8, n);
    ADD_FAILURE();
  } catch (const Exception& x) {
    EXPECT_NE(std::string(x.what()).find(SJ("「") + std::string("b\x81", 2) + SJ("」")), std::string::npos);
  }
}
