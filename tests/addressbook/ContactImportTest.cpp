// Imports of the CSV files people bring: spreadsheets, and the exports of other address
// books with their own header sets.
#include <gtest/gtest.h>

#include <algorithm>

#include "CommaText.h"
#include "CsvExchange.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

TCsvImportSession Session() {
  TCsvImportSession s;
  s.Start(PersonColumnNames(), PersonColumnAlias);
  return s;
}

// Imports UTF-8 text into a fresh book and gives the book's entries by name.
struct TImported {
  TPersonList Book;
  TImportResult Result;
  TCsvImportSession S = Session();

  explicit TImported(const std::string& utf8) {
    EXPECT_TRUE(S.LoadBytes(utf8)) << SjisToUtf8(S.Error);
    Result = S.Import(Book);
    CompleteImport(Book, Result);
  }
  TPerson* Named(const char* utf8Name) {
    for (int i = 0; i < Book.AllCount(); ++i)
      if (Book.AllPersons(i)->Name() == Utf8ToSjis(utf8Name)) return Book.AllPersons(i);
    ADD_FAILURE() << "no entry " << utf8Name;
    return nullptr;
  }
};

TStrings U(std::initializer_list<const char*> utf8) {
  TStrings r;
  for (const char* s : utf8) r.push_back(Utf8ToSjis(s));
  return r;
}

// No line of a book may hold a control byte.
void ExpectCleanBook(const TPersonList& book) {
  for (int i = 0; i < book.AllCount(); ++i) {
    std::string line = book.AllPersons(i)->GetText();
    for (char c : line) ASSERT_FALSE(IsControlByte(static_cast<unsigned char>(c))) << SjisToUtf8(line);
  }
}

}  // namespace

TEST(ContactImport, ASpreadsheetNameWithASpaceStaysOneFieldAndNothingShifts) {
  TImported t("氏名,よみ,住所,電話\r\n山田 太郎,やまだ たろう,東京都目黒区下目黒3-12-5,03-1234-5678\r\n");
  ASSERT_EQ(t.Result.Added, 1);
  TPerson* p = t.Named("山田 太郎");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("やまだ たろう"));
  EXPECT_EQ(p->Address().Lines(), U({"東京都目黒区下目黒3-12-5"}));
  EXPECT_EQ(p->Tels().Lines(), TStrings{"TEL:03-1234-5678"});
}

TEST(ContactImport, QuotedLineBreaksBecomeLinesWhereTheFieldHasLinesAndAreJoinedElsewhere) {
  TImported t(
      "氏名,住所,備考,肩書,郵便番号\r\n"
      "\"佐藤\r\n花子\",\"北海道札幌市中央区大通西4-1\r\n札幌ビル 5F\",\"一行目\r\n\r\n三行目\",\"営業部\n課長\",\"060-\r\n0042\"\r\n"
      "次の人,東京都,,,\r\n");
  ASSERT_EQ(t.Result.Added, 2);
  TPerson* p = t.Named("佐藤 花子");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Address().Lines(), U({"北海道札幌市中央区大通西4-1", "札幌ビル 5F"}));
  EXPECT_EQ(p->Remarks().Lines(), U({"一行目", "三行目"}));
  EXPECT_EQ(p->Title(), SJ("営業部 課長"));
  EXPECT_EQ(p->Postal(), "060 0042");  // joined like any one-line field; the hyphen goes
  EXPECT_NE(t.Named("次の人"), nullptr);
  ExpectCleanBook(t.Book);
  // and the book reads back as it was
  test::TempDir dir;
  t.Book.SetFileName(dir.File("b.kad"));
  TPersonList back;
  back.Open(dir.File("b.kad"), false);
  EXPECT_EQ(back.AllCount(), 2);
  EXPECT_EQ(back.GetCommaText(), t.Book.GetCommaText());
}

TEST(ContactImport, NoControlByteFromAFileReachesABookLine) {
  // "~" stands for a zero byte
  std::string csv = "氏名,よみ,住所１,メール,分類,備考,勤務先名前\r\n"
                    "\"a~b\tc\x01\",\"x\x7Fy\",\"l1\x1Bz\r\nl2\",\"m@\x0Bx\",\"\"\"g\x02\"\",h\",\"\x0C\",\"co\rname\"\r\n";
  std::replace(csv.begin(), csv.end(), '~', '\0');
  TImported t(csv);
  ASSERT_EQ(t.Result.Added, 1);
  TPerson* p = t.Named("ab c");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("ｘｙ"));  // readings are made full width
  EXPECT_EQ(p->Address().Lines(), (TStrings{"l1z", "l2"}));
  EXPECT_EQ(p->Mails().Lines(), TStrings{SJ("メール:m@x")});
  EXPECT_EQ(p->Classify().Lines(), (TStrings{"g", "h"}));
  EXPECT_EQ(p->Remarks().Count(), 0);
  EXPECT_EQ(p->Relations().Lines(), TStrings{SJ("勤務先:co name")});
  EXPECT_EQ(t.Book.AllCount(), 2);  // with the place of work
  ExpectCleanBook(t.Book);
}

TEST(ContactImport, BlankLinesAreSkippedAndCountedAndNothingMappedIsRefused) {
  TImported t("氏名,電話,メモ欄\r\n山田,03-1,\r\n,,ここだけ\r\n,,\r\n\r\n鈴木,,\r\n");
  EXPECT_EQ(t.Result.Added, 2);  // the column メモ欄 is not mapped: its line counts as blank
  EXPECT_EQ(t.Result.Blank, 3);
  EXPECT_EQ(TCsvImportSession::ResultMessage(t.Result), SJ("2件インポートしました（値のない行 3 件は飛ばしました）"));
  // a file whose headers map to nothing
  TCsvImportSession s = Session();
  ASSERT_TRUE(s.LoadBytes("foo,bar\r\n1,2\r\n3,4\r\n"));
  EXPECT_FALSE(s.HasMapping());
  TPersonList book;
  try {
    s.Import(book);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), TCsvImportSession::NoMappingMessage());
  }
  EXPECT_EQ(book.AllCount(), 0);
  // mapping a column by hand allows it
  s.SelectedRow = pcName;
  s.SelectedColumn = 0;
  s.MapSelected();
  EXPECT_TRUE(s.HasMapping());
  EXPECT_EQ(s.Import(book).Added, 2);
}

TEST(ContactImport, EncodingsOfWholeFiles) {
  // a short UTF-8 file whose bytes happen to be valid CP932 maps its columns
  TImported t("氏名\r\n山田\r\n");
  EXPECT_EQ(t.S.File.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(t.S.EncodingText(), SJ("UTF-8（自動判定）"));
  EXPECT_EQ(t.Result.Added, 1);
  EXPECT_NE(t.Named("山田"), nullptr);
  // a UTF-8 file with one stray byte is refused with its place; nothing is imported
  TCsvImportSession s = Session();
  EXPECT_FALSE(s.LoadBytes("氏名,よみ\r\n山田,やまだ\r\n鈴木,す\xFFずき\r\n"));
  EXPECT_NE(SjisToUtf8(s.Error).find("3行目"), std::string::npos) << SjisToUtf8(s.Error);
  EXPECT_NE(SjisToUtf8(s.Error).find("11桁目"), std::string::npos) << SjisToUtf8(s.Error);
  EXPECT_EQ(s.LineCount(), 0);
  // the user can read the same bytes in another encoding
  std::string sjis = SJ("氏名\r\n山田\r\n");
  ASSERT_TRUE(s.LoadBytes(sjis));
  EXPECT_EQ(s.File.Encoding, TTextEncoding::Cp932);
  ASSERT_TRUE(s.Reload(TEncodingChoice::Cp932));
  EXPECT_EQ(s.EncodingText(), "Shift_JIS");
  EXPECT_FALSE(s.Reload(TEncodingChoice::Utf8));
  EXPECT_FALSE(s.Error.empty());
}

TEST(ContactImport, CompanyEntriesMadeByAnImportAreRegisteredAndTitlesHaveNoTrailingSpace) {
  TImported t("氏名,会社名,登録日\r\n山田 太郎,株式会社楓,\r\n鈴木 一郎,有限会社椿,2001/2/3\r\n");
  ASSERT_EQ(t.Result.Added, 2);
  ASSERT_EQ(t.Book.AllCount(), 4);
  for (int i = 0; i < t.Book.AllCount(); ++i)
    EXPECT_FALSE(SameDate(t.Book.AllPersons(i)->Registered(), NoDate)) << SjisToUtf8(t.Book.AllPersons(i)->Name());
  EXPECT_EQ(DateToText(t.Named("鈴木 一郎")->Registered()), "2001/2/3");  // a date the file gave stays
  EXPECT_EQ(t.Named("山田 太郎")->Title(), SJ("株式会社楓"));
}

// ---- Header sets of common exports ---------------------------------------------------------

TEST(HeaderSets, LabelledValuesWithLabelsPartsFormattedAddressesIsoDatesAndGroups) {
  TImported t(
      "First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Last Name,Name Prefix,Nickname,Birthday,Notes,"
      "Labels,E-mail 1 - Label,E-mail 1 - Value,E-mail 2 - Label,E-mail 2 - Value,Phone 1 - Label,Phone 1 - Value,"
      "Phone 2 - Label,Phone 2 - Value,Address 1 - Label,Address 1 - Formatted,Address 1 - Street,Address 1 - City,"
      "Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,Address 1 - Extended Address,"
      "Address 2 - Label,Address 2 - Formatted,Organization Name,Organization Title,Organization Department,"
      "Website 1 - Label,Website 1 - Value,Relation 1 - Label,Relation 1 - Value\r\n"
      "太郎,,山田,たろう,やまだ,,タロ,1980-04-01,\"メモ1\nメモ2\",* myContacts ::: * starred ::: 友人 ::: 年賀状,"
      "* Home,taro@example.jp,Work,t.yamada@example.com,Mobile,090-1111-2222 ::: 080-3333-4444,Home,03-5555-6666,"
      "Home,\"〒153-0064 東京都目黒区下目黒3-12-5\",下目黒3-12-5,目黒区,,東京都,153-0064,日本,目黒ハイツ402,"
      "Other,大阪府大阪市北区梅田1-1,,,,Home,https://taro.example.jp/,Spouse,山田 花子\r\n"
      "花子,,佐藤,,,,,--12-24,,* myContacts,,,,,,,,,,\"大阪府大阪市北区梅田1-1\",,,,,,,,,,株式会社楓,,,,,,\r\n"
      ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n");
  EXPECT_FALSE(t.S.HeaderSets.empty());
  EXPECT_EQ(t.Result.Added, 2);
  EXPECT_EQ(t.Result.Blank, 1);  // no wholly blank entry
  TPerson* p = t.Named("山田 太郎");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("やまだ たろう"));
  EXPECT_EQ(p->Postal(), "1530064");  // from the postal-code column, not the label
  EXPECT_EQ(p->Address().Lines(), U({"東京都目黒区下目黒3-12-5", "目黒ハイツ402"}));  // parts over the formatted form
  EXPECT_EQ(p->Mails().Lines(), U({"個人:taro@example.jp", "会社:t.yamada@example.com"}));
  EXPECT_EQ(p->Tels().Lines(), U({"携帯:090-1111-2222", "携帯:080-3333-4444", "自宅:03-5555-6666"}));
  EXPECT_EQ(p->Classify().Lines(), U({"友人", "年賀状"}));
  EXPECT_EQ(p->Url(), "https://taro.example.jp/");
  EXPECT_EQ(p->Remarks().Lines(),
            U({"誕生日:1980/04/01", "メモ1", "メモ2", "Other:大阪府大阪市北区梅田1-1", "Spouse:山田 花子"}));
  TPerson* q = t.Named("佐藤 花子");
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->Address().Lines(), U({"大阪府大阪市北区梅田1-1"}));  // the formatted form when no parts
  EXPECT_EQ(q->Remarks().Lines(), U({"誕生日:12/24"}));  // a date without a year
  EXPECT_EQ(q->Relations().Lines(), U({"勤務先:㈱楓"}));
  EXPECT_EQ(q->Classify().Count(), 0);
  // the mapping as the command line prints it
  EXPECT_EQ(t.S.MappingText(pcName), SJ("氏名") + " <- Last Name + First Name + Middle Name");
  EXPECT_EQ(t.S.MappingText(pcAddress1),
            SJ("住所１") + " <- Address 1 - Region + Address 1 - City + Address 1 - Street | Address 1 - Formatted");
  EXPECT_EQ(t.S.EntryMappingText(0), SJ("メール <- E-mail 1 - Value（種類: E-mail 1 - Label）"));
}

// A row of an organisation with no person's name is the company's own entry: its name, its
// telephones, mails and groups, and no nameless entry beside it.
TEST(HeaderSets, ARowOfAnOrganisationAloneBecomesTheCompanysEntry) {
  TImported t(
      "First Name,Last Name,Organization Name,Phone 1 - Label,Phone 1 - Value,E-mail 1 - Label,E-mail 1 - Value,Labels\r\n"
      ",,株式会社テスト,Work,03-1234-5678,Work,info@test.example,* myContacts ::: 取引先\r\n");
  EXPECT_EQ(t.Result.Added, 1);
  ASSERT_EQ(t.Book.AllCount(), 1);
  TPerson* p = t.Book.AllPersons(0);
  EXPECT_NE(SjisToUtf8(p->Name()).find("テスト"), std::string::npos) << SjisToUtf8(p->Name());
  EXPECT_EQ(p->Tels().Count(), 1);
  EXPECT_EQ(p->Mails().Count(), 1);
  EXPECT_EQ(p->Classify().Lines(), U({"取引先"}));
  EXPECT_EQ(p->Relations().Count(), 0);
}

TEST(HeaderSets, TheOlderLabelledFormWithTypesYomiAndGroupMembership) {
  TImported t(
      "Name,Given Name,Additional Name,Family Name,Yomi Name,Given Name Yomi,Additional Name Yomi,Family Name Yomi,"
      "Birthday,Notes,Group Membership,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,"
      "Address 1 - Type,Address 1 - Formatted,Address 1 - Postal Code,Organization 1 - Type,Organization 1 - Name,"
      "Organization 1 - Yomi Name,Organization 1 - Title\r\n"
      "鈴木 一郎,一郎,,鈴木,,いちろう,,すずき,1975-11-03,,* My Contacts ::: 同窓会,* Other,ichiro@example.jp,"
      "Work Fax,06-1234-0000,Home,大阪府堺市堺区南瓦町3-1,590-0078,,株式会社楓,かえで,課長\r\n");
  ASSERT_EQ(t.Result.Added, 1);
  TPerson* p = t.Named("鈴木 一郎");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("すずき いちろう"));
  EXPECT_EQ(p->Mails().Lines(), U({"メール:ichiro@example.jp"}));
  EXPECT_EQ(p->Tels().Lines(), TStrings{"FAX:06-1234-0000"});
  EXPECT_EQ(p->Postal(), "5900078");
  EXPECT_EQ(p->Address().Lines(), U({"大阪府堺市堺区南瓦町3-1"}));
  EXPECT_EQ(p->Classify().Lines(), U({"同窓会"}));
  EXPECT_EQ(p->Title(), SJ("株式会社楓 課長"));
  EXPECT_EQ(p->Remarks().Lines(), U({"誕生日:1975/11/03"}));
  TPerson* w = p->RelatedPerson(SJ("勤務先"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Yomi(), SJ("かえで"));
}

TEST(HeaderSets, FixedEnglishColumnsWithKindsFromTheirNames) {
  TImported t(
      "Title,First Name,Middle Name,Last Name,Suffix,Company,Department,Job Title,Business Street,Business City,"
      "Business State,Business Postal Code,Home Street,Home Street 2,Home City,Home State,Home Postal Code,"
      "Home Country/Region,Business Fax,Business Phone,Home Phone,Mobile Phone,Pager,E-mail Address,E-mail Type,"
      "E-mail Display Name,E-mail 2 Address,Birthday,Notes,Categories,Web Page,Given Yomi,Surname Yomi,Anniversary\r\n"
      "Mr.,Jiro,,Tanaka,,Kaede Inc.,Sales,Manager,,,,,2-3-4 Nishi,Apt 5,Sapporo,Hokkaido,060-0001,Japan,"
      "011-000-0001,011-000-0002,011-000-0003,090-0000-0004,020-0000-0005,jiro@example.com,SMTP,"
      "Jiro Tanaka (jiro@example.com),j2@example.com,0/0/00,,Friends;Golf,http://jiro.example.com/,じろう,たなか,0/0/00\r\n"
      ",,,,,,,,,,,,,,,,,,,,,,,,,,,0/0/00,,,,,,0/0/00\r\n");  // a row with no value but dates of zeros
  ASSERT_EQ(t.Result.Added, 1);
  EXPECT_EQ(t.Result.Blank, 1);
  TPerson* p = t.Named("Tanaka Jiro");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("たなか じろう"));
  EXPECT_EQ(p->Postal(), "0600001");
  EXPECT_EQ(p->Address().Lines(), (TStrings{"HokkaidoSapporo2-3-4 Nishi", "Apt 5"}));
  EXPECT_EQ(p->Tels().Lines(), U({"FAX:011-000-0001", "勤務先:011-000-0002", "自宅:011-000-0003", "携帯:090-0000-0004",
                                  "ポケベル:020-0000-0005"}));
  EXPECT_EQ(p->Mails().Lines(), U({"メール:jiro@example.com", "メール:j2@example.com"}));
  EXPECT_EQ(p->Classify().Lines(), (TStrings{"Friends", "Golf"}));
  EXPECT_EQ(p->Url(), "http://jiro.example.com/");
  EXPECT_EQ(p->Remarks().Count(), 0);  // a birthday of zeros is none
  EXPECT_EQ(p->Title(), "Kaede Inc. Sales Manager");
  EXPECT_EQ(p->Keisyo(), "");  // the name prefix column is not an honorific
}

TEST(HeaderSets, FixedJapaneseColumns) {
  TImported t(
      "敬称,名,ミドル ネーム,姓,フリガナ (名),フリガナ (姓),会社名,部署,役職,郵便番号 (自宅),都道府県 (自宅),"
      "市区町村 (自宅),番地 (自宅),番地 2 (自宅),自宅電話,携帯電話,会社電話,電子メール アドレス,電子メール 2 アドレス,"
      "誕生日,メモ,分類項目\r\n"
      "様,花子,,高橋,ハナコ,タカハシ,,,,920-0962,石川県,金沢市,広坂1-1,,076-000-0001,090-0000-0002,,"
      "hanako@example.jp,,1990/7/7,茶道,家族;友人\r\n");
  ASSERT_EQ(t.Result.Added, 1);
  TPerson* p = t.Named("高橋 花子");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("たかはし はなこ"));
  EXPECT_EQ(p->Postal(), "9200962");
  EXPECT_EQ(p->Address().Lines(), U({"石川県金沢市広坂1-1"}));
  EXPECT_EQ(p->Tels().Lines(), U({"自宅:076-000-0001", "携帯:090-0000-0002"}));
  EXPECT_EQ(p->Mails().Lines(), U({"メール:hanako@example.jp"}));
  EXPECT_EQ(p->Classify().Lines(), U({"家族", "友人"}));
  EXPECT_EQ(p->Remarks().Lines(), U({"誕生日:1990/7/7", "茶道"}));
}

TEST(HeaderSets, PrimaryMailColumnsAndABirthdayInThreeColumns) {
  TImported t(
      "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Work Phone,Home Phone,Fax Number,"
      "Pager Number,Mobile Number,Home Address,Home Address 2,Home City,Home State,Home ZipCode,Home Country,"
      "Job Title,Department,Organization,Web Page 1,Web Page 2,Birth Year,Birth Month,Birth Day,Notes\r\n"
      "三郎,伊藤,伊藤 三郎,,saburo@example.jp,s2@example.jp,03-1,03-2,03-3,,090-4,1-2-3,,千代田区,東京都,100-0001,,"
      ",,,http://a.example/,http://b.example/,1969,5,17,\r\n"
      ",,表示名だけ,,,,,,,,,,,,,,,,,,,,,,,\r\n");
  ASSERT_EQ(t.Result.Added, 2);
  TPerson* p = t.Named("伊藤 三郎");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Mails().Lines(), U({"メール:saburo@example.jp", "メール:s2@example.jp"}));
  EXPECT_EQ(p->Tels().Lines(), U({"勤務先:03-1", "自宅:03-2", "FAX:03-3", "携帯:090-4"}));
  EXPECT_EQ(p->Address().Lines(), U({"東京都千代田区1-2-3"}));
  EXPECT_EQ(p->Postal(), "1000001");
  EXPECT_EQ(p->Url(), "http://a.example/");
  EXPECT_EQ(p->Remarks().Lines(), U({"誕生日:1969/5/17", "URL:http://b.example/"}));
  EXPECT_NE(t.Named("表示名だけ"), nullptr);  // the whole name when its parts are empty
}

TEST(HeaderSets, JapaneseColumnsInPartsAndAMixtureOfSetsInOneFile) {
  // The columns of two kinds of export side by side: each set takes its own.
  TImported t(
      "姓,名,セイ,メイ,郵便番号,都道府県,市区町村,町域,番地,建物名,Phone 1 - Label,Phone 1 - Value,Home Phone,"
      "Business Phone,Mobile Phone\r\n"
      "木村,拓也,キムラ,タクヤ,530-0001,大阪府,大阪市北区,梅田,1-1,梅田ビル,Mobile,090-1,06-2,06-3,090-9\r\n");
  ASSERT_EQ(t.Result.Added, 1);
  TPerson* p = t.Named("木村 拓也");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Yomi(), SJ("きむら たくや"));
  EXPECT_EQ(p->Address().Lines(), U({"大阪府大阪市北区梅田1-1", "梅田ビル"}));
  EXPECT_EQ(p->Tels().Lines(), U({"携帯:090-1", "自宅:06-2", "勤務先:06-3", "携帯:090-9"}));
  EXPECT_EQ(t.S.HeaderSets.size(), 2u);
}

TEST(HeaderSets, LabelsOfOtherProgramsBecomeOurKinds) {
  EXPECT_EQ(TelKindOfLabel("* Mobile"), SJ("携帯"));
  EXPECT_EQ(TelKindOfLabel("Home"), SJ("自宅"));
  EXPECT_EQ(TelKindOfLabel("work"), SJ("勤務先"));
  EXPECT_EQ(TelKindOfLabel("Home Fax"), "FAX");
  EXPECT_EQ(TelKindOfLabel("Pager"), SJ("ポケベル"));
  EXPECT_EQ(TelKindOfLabel("Main"), "TEL");
  EXPECT_EQ(TelKindOfLabel(""), "TEL");
  EXPECT_EQ(TelKindOfLabel(SJ("実家")), SJ("実家"));  // a label of the user's own stays
  EXPECT_EQ(MailKindOfLabel("* Work"), SJ("会社"));
  EXPECT_EQ(MailKindOfLabel("Other"), SJ("メール"));
  EXPECT_EQ(SplitValues("* myContacts ::: * starred ::: A ::: B ", vfGroups), (TStrings{"A", "B"}));
  EXPECT_EQ(SplitValues("a;; b ;c", vfSemicolons), (TStrings{"a", "b", "c"}));
  EXPECT_EQ(HeaderKey(SJ("Ｅ－ｍａｉｌ　１ - Value")), "e-mail1-value");
  EXPECT_EQ(ImportDateText("1980-04-01"), "1980/04/01");
  EXPECT_EQ(ImportDateText("19800401"), "1980/04/01");
  EXPECT_EQ(ImportDateText("--0401"), "04/01");
  EXPECT_EQ(ImportDateText("1980-04-01T09:00:00Z"), "1980/04/01");
  EXPECT_EQ(ImportDateText("0/0/00"), "");
  EXPECT_EQ(ImportDateText(SJ("昭和55年4月1日")), SJ("昭和55年4月1日"));
}
