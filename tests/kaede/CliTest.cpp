#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CommaText.h"
#include "PersonLists.h"
#include "CliRun.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

TEST(KaedeCli, ListFiltersAndFindsLikeTheBook) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  std::string file = MakeBook(dir, 300);
  std::string arg = SjisToUtf8(file);
  TRun all = Kaede({"list", arg});
  ASSERT_EQ(all.Status, 0) << all.Err;
  EXPECT_EQ(CountLines(all.Out), 300);
  TPersonList book;
  book.Open(file, false);
  std::string first = SjisToUtf8(book.Persons(0)->Name() + "\t" + book.Persons(0)->Yomi());
  EXPECT_EQ(all.Out.rfind(first, 0), 0u) << all.Out.substr(0, 200);
  // every row together gives every entry once
  int total = 0;
  for (int row = 0; row <= 10; ++row) {
    TRun r = Kaede({"list", arg, "--filter-row", std::to_string(row)});
    ASSERT_EQ(r.Status, 0) << r.Err;
    total += CountLines(r.Out);
  }
  EXPECT_EQ(total, 300);
  std::string prefecture = SjisToUtf8(book.Classifications()[0]);
  book.FindMode = pfmClassify;
  book.FilterNo(0);
  TRun byClass = Kaede({"list", arg, "--classify", prefecture});
  EXPECT_EQ(CountLines(byClass.Out), book.Count());
  // find by name ignores spaces; with --all-fields it reaches the address
  std::string name = SjisToUtf8(DeleteSpaces(book.Persons(0)->Name()));
  TRun byName = Kaede({"list", arg, "--find", name});
  EXPECT_GE(CountLines(byName.Out), 1);
  TRun noAddress = Kaede({"list", arg, "--find", prefecture});
  EXPECT_EQ(CountLines(noAddress.Out), 0);
  TRun byAddress = Kaede({"list", arg, "--find", prefecture, "--all-fields"});
  EXPECT_EQ(CountLines(byAddress.Out), book.Count());
}

TEST(KaedeCli, UnifySavesAndErrorsGoToStandardError) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  std::string file = MakeBook(dir, 20);
  std::string arg = SjisToUtf8(file);
  TRun u = Kaede({"unify", arg});
  ASSERT_EQ(u.Status, 0) << u.Err;
  TPersonList book;
  book.Open(file, false);
  for (int i = 0; i < book.Count(); ++i) {
    EXPECT_EQ(book.Persons(i)->Postal().find('-'), std::string::npos);
    EXPECT_EQ(ConvertStr(book.Persons(i)->Yomi(), cvHiragana), book.Persons(i)->Yomi());
  }
  TRun missing = Kaede({"list", dir.Path() + "/ない.kad"});
  EXPECT_NE(missing.Status, 0);
  EXPECT_TRUE(missing.Out.empty());
  EXPECT_NE(missing.Err.find("kaede: 住所録 " + dir.Path() + "/ない.kad がありません\n"), std::string::npos) << missing.Err;
  TRun badRow = Kaede({"list", arg, "--filter-row", "11"});
  EXPECT_NE(badRow.Status, 0);
  EXPECT_NE(badRow.Err.find("--filter-row には 0 から 10 までの行の番号を指定します（「11」は使えません）"), std::string::npos)
      << badRow.Err;
  TRun badOption = Kaede({"list", arg, "--bogus"});
  EXPECT_EQ(badOption.Status, 1);
  EXPECT_EQ(badOption.Err, "kaede: オプション --bogus は使えません\n");
  EXPECT_EQ(Kaede({"list", arg, "--find"}).Err, "kaede: オプション --find には値が必要です\n");
  EXPECT_NE(Kaede({"list"}).Err.find("kaede: 使い方: kaede list BOOK.kad"), std::string::npos);
  TRun badClass = Kaede({"list", arg, "--classify", "無い分類"});
  EXPECT_NE(badClass.Status, 0);
  EXPECT_NE(badClass.Err.find("住所録に分類「無い分類」はありません"), std::string::npos) << badClass.Err;
  // a book with a bad line: the error names the line
  WriteFileAtomic(file, "a,b,,,,,,,,,2024/x/1\r\n");
  TRun bad = Kaede({"list", arg});
  EXPECT_NE(bad.Status, 0);
  EXPECT_NE(bad.Err.find("2024/x/1"), std::string::npos) << bad.Err;
}

TEST(KaedeCli, ImportThenExportThenImportAgain) {
  test::TempDir dir;
  std::string csv = dir.Path() + "/in.csv";
  WriteFileAtomic(Utf8ToSjis(csv), "姓,名,セイ,メイ,郵便番号,都道府県,市区町村,町域,番地,建物名,電話番号\n"
                                   "山田,太郎,ヤマダ,タロウ,153-0064,東京都,目黒区,下目黒,3-12-5,目黒ハイツ402,03-1234-5678\n"
                                   "佐藤,花子,サトウ,ハナコ,060-0042,北海道,札幌市中央区,大通西,4-1,,011-222-3333\n");
  std::string book = dir.Path() + "/住所録.kad";
  TRun r = Kaede({"import", csv, "--into", book});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("氏名 <- 姓 + 名"), std::string::npos);
  EXPECT_NE(r.Out.find("2件インポートしました"), std::string::npos);
  std::string out = dir.Path() + "/out.csv";
  r = Kaede({"export", book, "-o", out, "--columns", "氏名,よみ,郵便番号,住所１,住所２,電話", "--utf8"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  std::string text = ReadFileBytes(Utf8ToSjis(out));
  EXPECT_EQ(text,
            "\xEF\xBB\xBF氏名,よみ,郵便番号,住所１,住所２,電話\r\n"
            "\"佐藤 花子\",\"さとう はなこ\",0600042,北海道札幌市中央区大通西4-1,,011-222-3333\r\n"
            "\"山田 太郎\",\"やまだ たろう\",1530064,東京都目黒区下目黒3-12-5,目黒ハイツ402,03-1234-5678\r\n");
  r = Kaede({"import", out, "--into", dir.Path() + "/copy.kad"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Kaede({"list", dir.Path() + "/copy.kad"}).Out, Kaede({"list", book}).Out);
  // errors: a missing file, an unknown column
  EXPECT_NE(Kaede({"import", dir.Path() + "/none.csv", "--into", book}).Status, 0);
  EXPECT_NE(Kaede({"export", book, "-o", out, "--columns", "何か"}).Status, 0);
}

TEST(KaedeCli, ImportOfAContactsExportWithLabelledValues) {
  test::TempDir dir;
  std::string csv = dir.Path() + "/contacts.csv";
  WriteFileAtomic(Utf8ToSjis(csv),
                  "First Name,Last Name,Phonetic First Name,Phonetic Last Name,E-mail 1 - Label,E-mail 1 - Value,"
                  "Phone 1 - Label,Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Address 1 - Formatted,"
                  "Address 1 - Street,Address 1 - Postal Code,Birthday,Labels\n"
                  "太郎,山田,たろう,やまだ,* Home,taro@example.jp,Mobile,090-1111-2222,Home,03-1111-2222,"
                  "\"〒153-0064\n東京都目黒区下目黒3-12-5\",東京都目黒区下目黒3-12-5,153-0064,1980-04-01,"
                  "* myContacts ::: 友人\n"
                  ",,,,,,,,,,,,,,\n");
  std::string book = dir.Path() + "/住所録.kad";
  TRun r = Kaede({"import", csv, "--into", book});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("文字コード: UTF-8"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("1件インポートしました（値のない行 1 件は飛ばしました）"), std::string::npos) << r.Out;
  TPersonList list;
  list.Open(Utf8ToSjis(book), false);
  ASSERT_EQ(list.Count(), 1);
  TPerson* p = list.Persons(0);
  EXPECT_EQ(test::U8(p->Name()), "山田 太郎");
  EXPECT_EQ(test::U8(JoinStr(p->Mails().Lines(), "|")), "個人:taro@example.jp");
  EXPECT_EQ(test::U8(JoinStr(p->Tels().Lines(), "|")), "携帯:090-1111-2222|自宅:03-1111-2222");
  EXPECT_EQ(p->Postal(), "1530064");
  EXPECT_EQ(test::U8(JoinStr(p->Remarks().Lines(), "|")), "誕生日:1980/04/01");
  EXPECT_EQ(test::U8(JoinStr(p->Classify().Lines(), "|")), "友人");
}

TEST(KaedeCli, ImportsThatCannotBeReadOrMapNothingAreRefusedAndLeaveTheBookAlone) {
  test::TempDir dir;
  std::string book = dir.Path() + "/住所録.kad";
  WriteFileAtomic(Utf8ToSjis(book), SJ("既存,きそん\r\n"));
  std::string before = ReadFileBytes(Utf8ToSjis(book));
  // UTF-8 with one stray byte: the error names the line and column
  std::string bad = dir.Path() + "/bad.csv";
  WriteFileAtomic(Utf8ToSjis(bad), "氏名,よみ\n山田,やまだ\n鈴木,す\xFFずき\n");
  TRun r = Kaede({"import", bad, "--into", book});
  EXPECT_NE(r.Status, 0);
  EXPECT_NE(r.Err.find("3行目"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("11桁目"), std::string::npos) << r.Err;
  // nothing maps: refused, not an import of blank entries
  std::string none = dir.Path() + "/none.csv";
  std::string lines = "foo,bar\n";
  for (int i = 0; i < 50; ++i) lines += "1,2\n";
  WriteFileAtomic(Utf8ToSjis(none), lines);
  r = Kaede({"import", none, "--into", book});
  EXPECT_NE(r.Status, 0);
  EXPECT_NE(r.Err.find("割り当てられていません"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(book)), before);
  // the encoding can be named: a UTF-8 file read as Shift_JIS maps nothing here either
  std::string utf8 = dir.Path() + "/u.csv";
  WriteFileAtomic(Utf8ToSjis(utf8), "氏名\n山田\n");
  EXPECT_NE(Kaede({"import", utf8, "--into", book, "--encoding", "sjis"}).Status, 0);
  EXPECT_NE(Kaede({"import", utf8, "--into", book, "--encoding", "latin1"}).Status, 0);
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(book)), before);
  ASSERT_EQ(Kaede({"import", utf8, "--into", book}).Status, 0);
  EXPECT_NE(ReadFileBytes(Utf8ToSjis(book)), before);
}

TEST(KaedeCli, ExportsToStandardOutputAndVCardsBackIntoABook) {
  test::TempDir dir;
  std::string book = dir.Path() + "/住所録.kad";
  WriteFileAtomic(Utf8ToSjis(book), SJ("\"山田 太郎\",\"やまだ たろう\",携帯:090-1|自宅:03-2,個人:t@example.jp,,1530064,"
                                       "東京都目黒区下目黒|目黒ハイツ,家族,,メモ,2024/4/1,2024/5/1,,,\r\n"));
  TRun csv = Kaede({"export", book, "-o", "-", "--columns", "氏名,携帯", "--utf8"});
  ASSERT_EQ(csv.Status, 0) << csv.Err;
  EXPECT_EQ(csv.Out, "\xEF\xBB\xBF氏名,携帯\r\n\"山田 太郎\",090-1\r\n");
  EXPECT_NE(csv.Err.find("1件エクスポートしました"), std::string::npos);
  // a path that is no regular file is written into, never replaced
  TRun dev = Kaede({"export", book, "-o", "/dev/stdout", "--columns", "氏名,携帯", "--utf8"});
  ASSERT_EQ(dev.Status, 0) << dev.Err;
  EXPECT_EQ(dev.Out.rfind(csv.Out, 0), 0u) << dev.Out;
  EXPECT_EQ(Kaede({"export", book, "-o", "/dev/null"}).Status, 0);
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  // vCard out to standard output, and back in
  TRun cards = Kaede({"export", book, "-o", "-", "--vcard"});
  ASSERT_EQ(cards.Status, 0) << cards.Err;
  EXPECT_EQ(cards.Out.rfind("BEGIN:VCARD\r\nVERSION:3.0\r\n", 0), 0u) << cards.Out;
  std::string vcf = dir.Path() + "/out.vcf";
  WriteFileAtomic(Utf8ToSjis(vcf), cards.Out);
  TRun in = Kaede({"import", vcf, "--into", dir.Path() + "/copy.kad"});
  ASSERT_EQ(in.Status, 0) << in.Err;
  EXPECT_NE(in.Out.find("文字コード: vCard"), std::string::npos) << in.Out;
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(dir.Path() + "/copy.kad")), ReadFileBytes(Utf8ToSjis(book)));
  EXPECT_NE(Kaede({"export", book, "-o", "-", "--vcard", "--utf8"}).Status, 0);  // CSV switches do not go with it
}

// A book with a zero byte between its lines: unify stops with the line named and leaves the
// file as it was (it used to save the entries before the zero byte over the whole book).
TEST(KaedeCli, UnifyRefusesABookWithAZeroByteAndKeepsIt) {
  test::TempDir dir;
  std::string file = dir.File("零.kad");
  std::string text = Utf8ToSjis("一,いち\r\n") + std::string(4, '\0') + "\r\n" + Utf8ToSjis("三,さん\r\n四,よん\r\n");
  WriteFileAtomic(file, text);
  TRun u = Kaede({"unify", SjisToUtf8(file)});
  EXPECT_NE(u.Status, 0);
  EXPECT_NE(u.Err.find("2行目"), std::string::npos) << u.Err;
  EXPECT_TRUE(ReadFileBytes(file) == text);
  EXPECT_NE(Kaede({"list", SjisToUtf8(file)}).Status, 0);
}
