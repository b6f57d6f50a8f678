#include <gtest/gtest.h>

#include <random>

#include "CommaText.h"
#include "CsvExchange.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "TestUtil.h"
#include "VCards.h"

using namespace kaede;

namespace {

TVCardFile Sample(const char* name) {
  return ReadVCardFile(Utf8ToSjis(test::SharedData(std::string("contacts/android_vcard/") + name)));
}

TStrings U(std::initializer_list<const char*> utf8) {
  TStrings r;
  for (const char* s : utf8) r.push_back(Utf8ToSjis(s));
  return r;
}

std::string Col(const TVCard& c, int column) { return SjisToUtf8(c.Record.Columns[static_cast<size_t>(column)]); }

// Imports vCard text into the book as the import dialog does.
TImportResult Import(TPersonList& book, const std::string& bytes) {
  TCsvImportSession s;
  s.Start(PersonColumnNames(), PersonColumnAlias);
  EXPECT_TRUE(s.LoadBytes(bytes)) << SjisToUtf8(s.Error);
  EXPECT_TRUE(s.IsVCard());
  TImportResult r = s.Import(book);
  CompleteImport(book, r);
  return r;
}

}  // namespace

TEST(VCardSamples, JapanesePhoneCardsInShiftJisWithPhoneticNames) {
  KAEDE_NEEDS_SHARED_DATA();
  TVCardFile one = Sample("v21_japanese_1.vcf");
  ASSERT_EQ(one.Cards.size(), 1u);
  EXPECT_EQ(Col(one.Cards[0], pcName), "安藤ロイド");
  EXPECT_EQ(Col(one.Cards[0], pcYomi), "ｱﾝﾄﾞｳﾛｲﾄﾞ");  // the reading of the older phones
  EXPECT_EQ(one.Cards[0].Record.Tels, TStrings{"TEL:0300000000"});
  // quoted-printable Shift_JIS over soft line breaks, the postal code of the address
  TVCardFile two = Sample("v21_japanese_2.vcf");
  ASSERT_EQ(two.Cards.size(), 1u);
  EXPECT_EQ(Col(two.Cards[0], pcName), "安藤 ロイド 1");
  EXPECT_EQ(Col(two.Cards[0], pcYomi), "ｱﾝﾄﾞｳ ﾛｲﾄﾞ1");
  EXPECT_EQ(Col(two.Cards[0], pcPostal), "150-8512");
  EXPECT_EQ(Col(two.Cards[0], pcAddress1), "東京都渋谷区桜丘町26-1セルリアンタワー6階");
  EXPECT_EQ(Col(two.Cards[0], pcRemarks), "メモ");
  // Shift_JIS whose trail bytes are backslashes (能 圭 予), in 2.1 and 3.0, LF line ends
  for (const char* name : {"v21_japanese_3.vcf", "v30_japanese.vcf"}) {
    TVCardFile f = Sample(name);
    ASSERT_EQ(f.Cards.size(), 1u) << name;
    EXPECT_EQ(Col(f.Cards[0], pcName), "伊能 圭一 伊予") << name;
  }
  // three cards, telephone types as kinds
  TVCardFile many = Sample("v21_multiple_entry.vcf");
  ASSERT_EQ(many.Cards.size(), 3u);
  EXPECT_EQ(Col(many.Cards[2], pcName), "安藤ロイド5");
  EXPECT_EQ(many.Cards[0].Record.Tels, (TStrings{"TEL:9", "TEL:10", "TEL:11", "FAX:12"}));
  EXPECT_EQ(many.Cards[1].Record.Tels[1], SJ("ポケベル:14"));
  EXPECT_EQ(many.Cards[1].Line, 12);
}

TEST(VCardSamples, OtherCardsOfVersions21And30) {
  KAEDE_NEEDS_SHARED_DATA();
  TVCardFile c = Sample("v21_complicated.vcf");
  ASSERT_EQ(c.Cards.size(), 1u);
  const TImportRecord& r = c.Cards[0].Record;
  EXPECT_EQ(Col(c.Cards[0], pcName), "Joe Due");
  EXPECT_EQ(Col(c.Cards[0], pcWorkName), "Gump Shrimp Co.");
  EXPECT_EQ(Col(c.Cards[0], pcTitle), "Sales Dept.;Manager");  // an escaped semicolon stays in its part
  EXPECT_EQ(Col(c.Cards[0], pcTitle3), "Shrimp Man");
  EXPECT_EQ(r.Tels, U({"勤務先:(111) 555-1212", "自宅:(404) 555-1212", "携帯:0311111111", "TEL:0322222222",
                       "TEL:0333333333"}));
  EXPECT_EQ(r.Mails, U({"メール:forrestgump@walladalla.com", "携帯:cell@example.com"}));
  // the second note is quoted-printable with soft breaks; the photo is left out
  EXPECT_EQ(Col(c.Cards[0], pcRemarks),
            "The following note is the example from RFC 2045.\r\nNow's the time for all folk to come to the aid of "
            "their country.");
  EXPECT_EQ(Col(c.Cards[0], pcPostal), "30314");
  ASSERT_EQ(r.Remarks.size(), 1u);  // the second address
  // an address continued with backslashes at the ends of its lines, abroad: street first
  TVCardFile a = Sample("v21_adr_multiple_line.vcf");
  ASSERT_EQ(a.Cards.size(), 1u);
  EXPECT_EQ(Col(a.Cards[0], pcAddress1), "Grindelberg 999\r\nHamburg\r\nDeutschland");
  EXPECT_EQ(SjisToUtf8(a.Cards[0].Record.Remarks[0]),
            "住所:99999 Hermann v. Brevern\r\n9999999\r\nPackstation 999\r\nHamburg\r\nDeutschland");
  EXPECT_EQ(Col(a.Cards[0], pcBirthday), "20081203");
  // escaped separators and a final escaped backslash that continues nothing
  TVCardFile b = Sample("v21_backslash.vcf");
  ASSERT_EQ(b.Cards.size(), 1u);
  EXPECT_EQ(Col(b.Cards[0], pcName), "A;B\\C;D:E\\");
  // 3.0: organisation parts, sort string, grouped properties, a folded photo, LF line ends
  TVCardFile s = Sample("v30_simple.vcf");
  EXPECT_EQ(Col(s.Cards[0], pcWorkName), "Open");
  EXPECT_EQ(Col(s.Cards[0], pcYomi), "android");
  TVCardFile ios = Sample("v30_ios_613_multiline.vcf");
  EXPECT_EQ(Col(ios.Cards[0], pcName), "Bob Smith");
  EXPECT_EQ(Col(ios.Cards[0], pcUrl), "www.smithauto.com");
  EXPECT_EQ(ios.Cards[0].Record.Mails, U({"メール:bob@smithauto.com"}));
  EXPECT_EQ(ios.Cards[0].Record.Tels, U({"携帯:(650) 555-1212"}));
  // quoted parameter values with separators and characters CP932 cannot hold
  for (const char* name : {"v30_comma_separated.vcf", "v30_multibyte_param.vcf"}) {
    TVCardFile f = Sample(name);
    ASSERT_EQ(f.Cards.size(), 1u) << name;
    EXPECT_EQ(Col(f.Cards[0], pcName), "F G M");
    EXPECT_EQ(f.Cards[0].Record.Tels, TStrings{"TEL:1"}) << name;
  }
}

TEST(VCardSamples, EverySampleImportsIntoABookWithCleanLines) {
  KAEDE_NEEDS_SHARED_DATA();
  TPersonList book;
  int cards = 0;
  for (const char* name : {"v21_adr_multiple_line.vcf", "v21_backslash.vcf", "v21_complicated.vcf",
                           "v21_japanese_1.vcf", "v21_japanese_2.vcf", "v21_japanese_3.vcf", "v21_multiple_entry.vcf",
                           "v30_comma_separated.vcf", "v30_ios_613_multiline.vcf", "v30_japanese.vcf",
                           "v30_multibyte_param.vcf", "v30_simple.vcf"}) {
    std::string bytes = ReadFileBytes(Utf8ToSjis(test::SharedData(std::string("contacts/android_vcard/") + name)));
    TImportResult r = Import(book, bytes);
    EXPECT_TRUE(r.Skipped.empty()) << name;
    cards += r.Added;
  }
  EXPECT_EQ(cards, 14);
  for (int i = 0; i < book.AllCount(); ++i)
    for (char c : book.AllPersons(i)->GetText()) ASSERT_FALSE(IsControlByte(static_cast<unsigned char>(c)));
  // an imported card reads as an entry
  book.FindMode = pfmName;
  int i = book.FindText(SJ("安藤 ロイド 1"), true);
  ASSERT_GE(i, 0);
  TPerson* p = book.AllPersons(i);
  EXPECT_EQ(p->Yomi(), SJ("あんどう ろいど１"));
  EXPECT_EQ(p->Postal(), "1508512");
  EXPECT_EQ(p->Remarks().Lines(), U({"メモ"}));
}

TEST(VCards, CardsWrittenByOtherProgramsInUtf8Versions30And40) {
  std::string text =
      "BEGIN:VCARD\r\n"
      "VERSION:4.0\r\n"
      "FN:山田 太郎\r\n"
      "N;SORT-AS=\"やまだ,たろう\":山田;太郎;;;\r\n"
      "TEL;VALUE=uri;TYPE=\"cell,voice\":tel:090-1111-2222\r\n"
      "TEL;TYPE=home:03-1111-\r\n"
      " 2222\r\n"
      "TEL;TYPE=実家:0120-000-000\r\n"
      "EMAIL;TYPE=work:taro@example.com\r\n"
      "ADR;TYPE=home:;目黒ハイツ402;下目黒3-12-5;目黒区;東京都;153-0064;日本\r\n"
      "BDAY:--0401\r\n"
      "NOTE:一行目\\n二行目\\, そして\\; 三\\\\\r\n"
      "CATEGORIES:友人,年賀状\\,暑中見舞い\r\n"
      "URL:https://a.example/\r\n"
      "URL:https://b.example/\r\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\n"
      "VERSION:3.0\n"
      "N:佐藤;花子;;;\n"
      "X-PHONETIC-FIRST-NAME:はなこ\n"
      "X-PHONETIC-LAST-NAME:さとう\n"
      "ORG:株式会社楓;営業部\n"
      "TITLE:課長\n"
      "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E3=83=A1=E3=83=A2\n"
      "END:VCARD\n"
      "BEGIN:VCARD\n"
      "VERSION:3.0\n"
      "END:VCARD\n";
  EXPECT_TRUE(LooksLikeVCard("\xEF\xBB\xBF\r\n" + text));
  {
    // a file in UTF-16 (with its mark) is told and read too
    std::u16string u = u"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 花子\r\nEND:VCARD\r\n";
    std::string le = "\xFF\xFE";
    for (char16_t ch : u) le += static_cast<char>(ch & 0xFF), le += static_cast<char>(ch >> 8);
    EXPECT_TRUE(LooksLikeVCard(le));
    TVCardFile f = ParseVCards(le);
    ASSERT_EQ(f.Cards.size(), 1u);
    EXPECT_EQ(Col(f.Cards[0], pcName), "山田 花子");
  }
  EXPECT_FALSE(LooksLikeVCard("氏名,よみ\r\n"));
  TPersonList book;
  TImportResult r = Import(book, text);
  EXPECT_EQ(r.Added, 2);
  EXPECT_EQ(r.Blank, 1);  // the empty card
  book.FindMode = pfmName;
  TPerson* p = book.AllPersons(book.FindText(SJ("山田 太郎"), true));
  EXPECT_EQ(p->Yomi(), SJ("やまだ たろう"));
  EXPECT_EQ(p->Tels().Lines(), U({"携帯:090-1111-2222", "自宅:03-1111-2222", "実家:0120-000-000"}));
  EXPECT_EQ(p->Mails().Lines(), U({"会社:taro@example.com"}));
  EXPECT_EQ(p->Postal(), "1530064");
  EXPECT_EQ(p->Address().Lines(), U({"東京都目黒区下目黒3-12-5", "目黒ハイツ402"}));
  EXPECT_EQ(p->Classify().Lines(), U({"友人", "年賀状,暑中見舞い"}));
  EXPECT_EQ(p->Url(), "https://a.example/");
  EXPECT_EQ(p->Remarks().Lines(), U({"誕生日:04/01", "一行目", "二行目, そして; 三\\", "URL:https://b.example/"}));
  TPerson* q = book.AllPersons(book.FindText(SJ("佐藤 花子"), true));
  EXPECT_EQ(q->Yomi(), SJ("さとう はなこ"));
  EXPECT_EQ(q->Title(), SJ("株式会社楓 営業部 課長"));
  EXPECT_EQ(q->Remarks().Lines(), U({"メモ"}));
  ASSERT_NE(q->RelatedPerson(SJ("勤務先")), nullptr);  // the organisation became the place of work
  EXPECT_EQ(book.AllCount(), 3);
  // not a card at all
  EXPECT_THROW(ParseVCards("BEGIN:VCARD\r\nFN:x\r\n"), Exception);
}

TEST(VCards, ABookWrittenAsCardsAndReadBackKeepsEveryField) {
  TPersonList book;
  auto add = [&](const char* utf8) { return static_cast<TPerson*>(book.AddText(Utf8ToSjis(utf8))); };
  add("株式会社楓,かぶしきがいしゃかえで,TEL:03-5|FAX:03-6,,https://kaede.example.jp/,1030027,"
      "東京都中央区日本橋|楓ビル,,\"社員:山田 太郎\",,2020/1/2,2021/3/4,,,");
  add("\"山田 太郎\",\"やまだ たろう\",TEL:03-1|FAX:03-2|携帯:090-3|ポケベル:020-4|自宅:03-9|会社携帯:080-1|IP:050-1,"
      "個人:t@example.jp|会社:y@example.jp|予備:z@example.jp,https://t.example.jp/,1530064,"
      "東京都目黒区下目黒|三丁目|12-5,家族|年賀状|a;b,\"勤務先:株式会社楓|妻:山田 花子\","
      "\"学生時代の友人|誕生日:1980/04/01|\\; と \\\\\",2024/4/1,2026/11/20,先生,\"営業部 課長 代理\","
      "花子|ちゃん|次郎|健太|くん|梅|様|松|竹");
  add("空の人,,,,,,,,,,2020/1/1,2020/1/1,,,");
  book.UnifyFormat(ufAll);  // as every import leaves a book
  std::string cards = VCardsOfList(book);
  // lines end with CR LF and are folded at 75 bytes
  for (size_t at = 0, end; (end = cards.find("\r\n", at)) != std::string::npos; at = end + 2)
    EXPECT_LE(end - at, 75u) << cards.substr(at, end - at);
  EXPECT_NE(cards.find("X-PHONETIC-LAST-NAME:やまだ\r\n"), std::string::npos);
  EXPECT_NE(cards.find("TEL;TYPE=CELL;X-KAEDE-KIND=携帯:090-3\r\n"), std::string::npos);
  EXPECT_NE(cards.find("ORG:㈱楓\r\n"), std::string::npos);
  EXPECT_NE(cards.find("BDAY:1980-04-01\r\n"), std::string::npos);  // from the remark, for other programs

  TPersonList back;
  TImportResult r = Import(back, cards);
  EXPECT_EQ(r.Added, 3);
  ASSERT_EQ(back.AllCount(), 3);  // the place of work is not made twice
  book.Sort();
  back.Sort();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(test::U8(back.AllPersons(i)->GetText()), test::U8(book.AllPersons(i)->GetText()));
}

TEST(VCards, AByteThatIsNotCp932IsReportedWithItsEntry) {
  TPersonList book;
  book.AddText("ok,ok");
  book.AddText(std::string("bad\x81", 4) + ",x");
  try {
    VCardsOfList(book);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(std::string("bad\x81", 4)), std::string::npos);
  }
}

TEST(VCards, TheNumberOfCardsIsBounded) {
  EXPECT_GE(kMaxCards, 100000u);  // a book of 100,000 entries fits
  std::string one = "BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n";
  std::string many;
  for (int i = 0; i < 11; ++i) many += one;
  EXPECT_EQ(ParseVCards(many, 11).Cards.size(), 11u);
  try {
    ParseVCards(many, 10);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.LineNo(), 31);  // the card past the limit
  }
}

TEST(VCards, DamagedCardsNeverCrashAndNeverPutControlOrBadBytesIntoABook) {
  // Cards cut, doubled and sprinkled with bytes of every kind (quotes, backslashes, "=",
  // colons, line breaks, lead bytes without trail bytes) are read or refused, never more.
  std::string base =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:" + SJ("能;予") + "\r\n"
      "ADR;HOME;ENCODING=QUOTED-PRINTABLE:;=93=8C=8B=9E=\r\n=93=73;;;;150-0001;\r\nTEL;CELL:090\r\n"
      "NOTE:a\\nb\\\r\n c\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\n y\r\nEMAIL;TYPE=\"a,b\":m@x\r\nEND:VCARD\r\n";
  const char extra[] = {'\0', '\r', '\n', ':', ';', '=', '\\', '"', ',', ' ', '\x81', '\xE3', '\xFF', '\x1B'};
  std::mt19937 rng(21);
  TPersonList book;
  int read = 0;
  for (int round = 0; round < 400; ++round) {
    std::string s = base;
    int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      size_t at = rng() % (s.size() + 1);
      switch (rng() % 3) {
        case 0: s.insert(at, 1, extra[rng() % sizeof extra]); break;
        case 1: if (at < s.size()) s.erase(at, 1 + rng() % 4); break;
        default: s.insert(at, s.substr(rng() % s.size(), rng() % 20)); break;
      }
    }
    TVCardFile f;
    try {
      f = ParseVCards(s);
    } catch (const Exception&) {
      continue;
    }
    ++read;
    for (const TVCard& c : f.Cards) {
      if (c.Record.Empty()) continue;
      auto* p = static_cast<TPerson*>(book.AddText(""));
      ImportPerson(*p, c.Record);
    }
  }
  EXPECT_GT(read, 100);
  for (int i = 0; i < book.AllCount(); ++i) {
    std::string line = book.AllPersons(i)->GetText();
    for (char c : line) ASSERT_FALSE(IsControlByte(static_cast<unsigned char>(c)));
    ASSERT_TRUE(IsValidSjis(line)) << test::U8(line);
  }
}

TEST(VCards, ABackslashBeforeADoubleByteCharacterLeavesTheCharacterWhole) {
  // In Shift_JIS a backslash may stand before a double-byte character (escaping nothing), and
  // 0x5C is also the second byte of characters like 表 and ソ: neither may cut a character in
  // two, or the book the import saves would not open again.
  // (一 is 0x88 0xEA, whose second byte is a first byte too; 表 ends in 0x5C.)
  std::string value = SJ("a\\一表n;表\\;ソ\\\\x");
  std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:" + value + "\r\nFN;CHARSET=SHIFT_JIS:" + value +
                     "\r\nNOTE;CHARSET=SHIFT_JIS:" + value + "\r\nEND:VCARD\r\n";
  TVCardFile f = ParseVCards(card);
  ASSERT_EQ(f.Cards.size(), 1u);
  TPersonList book;
  Import(book, card);
  ASSERT_EQ(book.AllCount(), 1);
  std::string line = book.AllPersons(0)->GetText();
  EXPECT_TRUE(IsValidSjis(line)) << test::U8(line);
  EXPECT_NE(line.find(SJ("a\\一表n")), std::string::npos) << test::U8(line);
  EXPECT_NE(line.find(SJ("ソ\\x")), std::string::npos) << test::U8(line);

  test::TempDir dir;
  std::string saved = dir.File("book.kad");
  book.SaveToFile(saved);
  TPersonList again;
  ASSERT_NO_THROW(again.Open(saved, false));
  EXPECT_EQ(again.AllPersons(0)->GetText(), line);
}
