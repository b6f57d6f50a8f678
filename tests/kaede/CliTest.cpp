#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "CommaText.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

// Runs the kaede program with the arguments (no shell) and collects its output.
TRun Kaede(std::vector<std::string> args) {
  args.insert(args.begin(), KAEDE_CLI);
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::close(out[0]);
    ::close(err[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    _exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  TRun r;
  auto drain = [](int fd, std::string& to) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) to.append(buf, static_cast<size_t>(n));
    ::close(fd);
  };
  drain(out[0], r.Out);  // the outputs here are small: reading one after the other is safe
  drain(err[0], r.Err);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

int CountLines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// A book of the first entries of the synthetic address book.
std::string MakeBook(const test::TempDir& dir, int count) {
  std::string csv = ReadFileBytes(test::SharedData("fake/synthetic_addressbook_5000_cp932.csv"));
  TStrings lines, f;
  SplitLines(csv, lines);
  TPersonList book;
  book.BeginUpdate();
  for (int i = 1; i <= count; ++i) {
    DecodeCommaText(lines[static_cast<size_t>(i)], f);
    auto* p = static_cast<TPerson*>(book.AddText(""));
    p->SetName(f[1] + " " + f[2]);
    p->SetYomi(f[3] + " " + f[4]);  // katakana, as an import would bring it
    p->SetPostal(f[6]);
    TStrings address{f[7] + f[8] + f[9] + f[10]};
    p->SetAddress(&address);
    p->AddClassify(f[7]);
  }
  book.EndUpdate();
  std::string file = dir.File("合成.kad");
  book.SetFileName(file);
  return file;
}

}  // namespace

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
  EXPECT_NE(missing.Err.find("ない.kad"), std::string::npos) << missing.Err;
  TRun badRow = Kaede({"list", arg, "--filter-row", "11"});
  EXPECT_NE(badRow.Status, 0);
  TRun badClass = Kaede({"list", arg, "--classify", "無い分類"});
  EXPECT_NE(badClass.Status, 0);
  EXPECT_NE(badClass.Err.find("無い分類"), std::string::npos) << badClass.Err;
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
