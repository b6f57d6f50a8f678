// kaede print postcards: a book to PDF, and clear errors that leave no file behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "Files.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// The pages of a PDF file as Qt writes them ("/Type /Page" without the "s" of the tree).
int PdfPages(const std::string& file) {
  std::string pdf = ReadFileBytes(file);
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

bool Exists(const std::string& utf8) { return std::filesystem::exists(utf8); }

}  // namespace

TEST(KaedePrintPostcards, ABookBecomesOnePdfPageASheet) {
  KAEDE_NEEDS_SHARED_DATA();
  ConfigHome config;
  TempDir dir;
  std::string book = SjisToUtf8(MakeBook(dir, 30));
  std::string out = dir.Path() + "/cards.pdf";
  TRun r = Kaede({"print", "postcards", book, "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("30 entries on 30 sheets"), std::string::npos) << r.Out;
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(out)).rfind("%PDF", 0), 0u);
  EXPECT_EQ(PdfPages(Utf8ToSjis(out)), 30);
  EXPECT_FALSE(Exists(out + ".part"));

  // twelve labels a sheet: entries 5-5 print one sheet; a selection and a range of it
  r = Kaede({"print", "postcards", book, "--style", "39", "--entries", "5-5", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PdfPages(Utf8ToSjis(out)), 1);
  r = Kaede({"print", "postcards", book, "--style", "ラベル用紙2×6（宛名）", "--entries", "3-", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PdfPages(Utf8ToSjis(out)), 3);  // entries 3-30 on sheets 1-3
}

TEST(KaedePrintPostcards, ErrorsAreClearAndLeaveNoFile) {
  KAEDE_NEEDS_SHARED_DATA();
  ConfigHome config;
  TempDir dir;
  std::string book = SjisToUtf8(MakeBook(dir, 5));
  std::string out = dir.Path() + "/cards.pdf";
  WriteFileAtomic(Utf8ToSjis(out), "an older file");
  struct TCase {
    std::vector<std::string> Args;
    const char* Error;
  };
  const TCase cases[] = {
      {{"--style", "no such style"}, "はがきのスタイル「no such style」はありません"},
      {{"--style", "42"}, "はがきのスタイル「42」はありません。スタイル一覧の名前か 0 から "},
      {{"--style", dir.Path() + "/none.kps"}, "はがきのスタイルファイル"},
      {{"--find", "誰もいない"}, "に印刷する宛名がありません"},
      {{"--entries", "6-9"}, "--entries 「6-9」に当たる宛名はありません"},
      {{"--entries", "5-2"}, "--entries には宛名の番号を 1 から数えて A-B、A- または A の形で指定します（「5-2」は使えません）"},
      {{"--entries", "x"}, "（「x」は使えません）"},
      {{"--sender", "1"}, "差出人 1 はありません: 設定の差出人は0人です"},
      {{"--filter-row", "11"}, "--filter-row には 0 から 10 までの行の番号を指定します（「11」は使えません）"},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> args = {"print", "postcards", book, "-o", out};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TRun r = Kaede(args);
    EXPECT_EQ(r.Status, 1) << c.Args[0] << " " << c.Args[1];
    EXPECT_NE(r.Err.find(c.Error), std::string::npos) << r.Err;
    EXPECT_EQ(ReadFileBytes(Utf8ToSjis(out)), "an older file");
    EXPECT_FALSE(Exists(out + ".part"));
  }
  TRun r = Kaede({"print", "postcards", book, "-o", dir.Path() + "/no/such/folder/cards.pdf"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("に書き込めません: フォルダがないか、書き込めないフォルダです"), std::string::npos) << r.Err;
  r = Kaede({"print", "postcards", book});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("使い方: kaede print postcards"), std::string::npos) << r.Err;
  // asked for, the usage is the answer, not an error
  r = Kaede({"print", "postcards", "--help"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("--barcode on|off"), std::string::npos) << r.Out;
  r = Kaede({"print", "postcards", dir.Path() + "/none.kad", "-o", out});
  EXPECT_NE(r.Err.find("がありません"), std::string::npos) << r.Err;
}
