// What the dictionary update checks before it replaces anything: every line of the file read
// to its end, the new dictionary measured against the current one, archives that are cut
// short, lead out of their folder or expand too far, sources without end, and redirects.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <filesystem>

#include "BoundedRun.h"
#include "CommaText.h"
#include "Downloads.h"
#include "Files.h"
#include "KaedeZipPipelines.h"
#include "KenAllConverter.h"
#include "TestUtil.h"
#include "UpdaterTestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

// A pipeline over local archives with its own temporary folder and a target folder that holds
// the dictionary of the published sample (the current dictionary).
class UpdateChecks : public ::testing::Test {
protected:
  void SetUp() override {
    KAEDE_NEEDS_SHARED_DATA();
    Tmp = Root.Path() + "/tmp";
    Target = Root.Path() + "/dict";
    fs::create_directory(Tmp);
    ::setenv("TMPDIR", Tmp.c_str(), 1);
    Csv = test::ReadAll(test::SharedData("kenall/KEN_ALL_sample_sjis.csv"));
    TStrings records;
    SplitLines(Csv, records);
    ASSERT_TRUE(ConvertKenAll(records, Current));
    SavePostalFiles(Target, Current);
  }
  void TearDown() override { ::unsetenv("TMPDIR"); }

  std::string Zip(const std::string& name, const std::string& csv) {
    std::string path = Root.Path() + "/" + name;
    test::WriteArchive(path, "zip", {{"KEN_ALL.CSV", csv}});
    return path;
  }
  bool Run(const std::string& source, TKaedeZipPipeline* configured = nullptr) {
    TKaedeZipPipeline own;
    TKaedeZipPipeline& p = configured ? *configured : own;
    p.Source = source;
    p.TargetFolder = Target;
    bool ok = p.Run();
    Last = p.Status();
    return ok;
  }
  std::string LastText() const { return SjisToUtf8(Last.Text); }
  bool CurrentKept() { return ReadFileBytes(Target + "/Postal.dat") == JoinStr(Current.Postal, "\r\n") + "\r\n"; }

  test::TempDir Root;
  std::string Tmp, Target, Csv;
  TPostalLists Current;
  TZipStatus Last;
};

}  // namespace

TEST_F(UpdateChecks, AControlByteAnywhereIsAnErrorNamingTheLineAndTheFileIsReadToItsEnd) {
  TStrings lines;
  SplitLines(Csv, lines);
  ASSERT_GT(lines.size(), 2000u);
  for (char bad : {'\0', '\x1A', '\x7F'}) {
    SCOPED_TRACE(static_cast<int>(bad));
    std::string csv = Csv;
    // at the end of line 1201: the lines before it would make a dictionary of their own
    size_t at = 0;
    for (int i = 0; i < 1201; ++i) at = csv.find("\r\n", at) + 2;
    csv.insert(at - 2, 1, bad);
    EXPECT_FALSE(Run(Zip("bad.zip", csv)));
    EXPECT_EQ(Last.Step, TZipStep::Convert);
    EXPECT_EQ(LastText().rfind("変換に失敗しました。KEN_ALL.CSV の 1201行目: 制御文字 ", 0), 0u) << LastText();
    EXPECT_TRUE(CurrentKept());
    EXPECT_TRUE(test::FolderNames(Tmp).empty());
  }
  // every line is read: the last one without its line end too, and lines ended by CR alone
  TPostalLists whole, cut;
  std::string text = Csv;
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  ConvertKenAllText(text, whole);
  text.resize(text.size() - 2);
  TKenAllStats stats = ConvertKenAllText(text, cut);
  EXPECT_EQ(cut.Postal, whole.Postal);
  EXPECT_EQ(stats.Lines, lines.size());
  ConvertKenAllText(ReplaceStrAll(Csv, "\r\n", "\r"), cut);
  EXPECT_EQ(cut.Postal, whole.Postal);
  EXPECT_EQ(whole.Postal, Current.Postal);
}

TEST_F(UpdateChecks, ADictionaryMuchSmallerThanTheCurrentOneAsksOrFails) {
  TStrings lines;
  SplitLines(Csv, lines);
  std::string one = lines[0] + "\r\n";
  std::string third;
  for (size_t i = 0; i < lines.size() / 3; ++i) third += lines[i] + "\r\n";
  for (const std::string& csv : {one, third}) {
    std::string zip = Zip("small.zip", csv);
    // the command line: fails, and says why
    EXPECT_FALSE(Run(zip));
    EXPECT_TRUE(Last.Implausible);
    EXPECT_EQ(LastText().rfind("変換に失敗しました。新しい郵便番号データ（", 0), 0u) << LastText();
    EXPECT_TRUE(CurrentKept());
    // the window: asks; no keeps the dictionary
    std::vector<std::string> questions;
    TKaedeZipPipeline asking;
    bool answer = false;
    asking.OnConfirm = [&](const std::string& q) {
      questions.push_back(SjisToUtf8(q));
      return answer;
    };
    EXPECT_FALSE(Run(zip, &asking));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("置き換えますか"), std::string::npos);
    EXPECT_TRUE(CurrentKept());
    EXPECT_TRUE(test::FolderNames(Tmp).empty());
  }
  // yes, or --force, replaces it
  std::string zip = Zip("small.zip", one);
  TKaedeZipPipeline yes;
  yes.OnConfirm = [](const std::string&) { return true; };
  EXPECT_TRUE(Run(zip, &yes));
  EXPECT_EQ(ReadFileBytes(Target + "/Postal.dat").size(), Current.Postal[0].size() + 2);
  SavePostalFiles(Target, Current);
  TKaedeZipPipeline forced;
  forced.Force = true;
  EXPECT_TRUE(Run(zip, &forced));
  // the full file again is no question: the current one has a single entry now
  EXPECT_TRUE(Run(Zip("full.zip", Csv)));
  EXPECT_TRUE(CurrentKept());
}

TEST_F(UpdateChecks, ArchiveFailuresNameTheirCause) {
  std::string good = Zip("good.zip", Csv);
  std::string whole = test::ReadAll(good);
  std::string cut = Root.Path() + "/cut.zip";
  test::WriteAll(cut, whole.substr(0, whole.size() / 2));
  std::string outside = Root.Path() + "/outside.zip";
  test::WriteArchive(outside, "zip", {{"../KEN_ALL.CSV", Csv}});
  std::string link = Root.Path() + "/link.zip";
  test::WriteArchive(link, "zip", {{"KEN_ALL.CSV", "", test::TArchiveEntry::Symlink, "/etc/passwd"}});
  std::string missing = Root.Path() + "/missing.zip";
  test::WriteArchive(missing, "zip", {{"readme.txt", "no data"}});
  std::string big = Zip("big.zip", Csv + std::string(3 << 20, '\n'));
  struct TCase {
    std::string Source;
    const char* Cause;
  } cases[] = {
      {cut, "途中で切れています"},
      {outside, "../KEN_ALL.CSV: 書庫の外を指す名前は展開しません"},
      {link, "KEN_ALL.CSV: リンクや特殊ファイルは展開しません"},
      {missing, "KEN_ALL.CSV: 書庫にありません"},
      {big, "KEN_ALL.CSV: 展開後の大きさが上限（3145728バイト）を超えるため展開しません"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Source);
    TKaedeZipPipeline p;
    p.MaxCsvSize = 3 << 20;
    EXPECT_FALSE(Run(c.Source, &p));
    EXPECT_EQ(Last.Step, TZipStep::Unpack);
    EXPECT_EQ(LastText().rfind("解凍に失敗しました。", 0), 0u);
    EXPECT_NE(LastText().find(c.Cause), std::string::npos) << LastText();
    EXPECT_TRUE(CurrentKept());
    EXPECT_TRUE(test::FolderNames(Tmp).empty());
  }
}

TEST_F(UpdateChecks, StaleWorkFoldersOfKilledRunsGoAtTheNextRun) {
  fs::create_directories(Tmp + "/KaedeTemp0/sub");
  test::WriteAll(Tmp + "/KaedeTemp0/ken_all.lzh", std::string(1000, 'x'));
  test::WriteAll(Tmp + "/KaedeTemp0/sub/KEN_ALL.CSV", Csv);
  fs::create_directory(Tmp + "/KaedeTemp4");
  EXPECT_TRUE(Run(Zip("good.zip", Csv)));
  EXPECT_TRUE(test::FolderNames(Tmp).empty());
}

TEST_F(UpdateChecks, ANewlineBombAndASourceWithoutEndStopEarlyInLittleMemory) {
  // 100 MB of line ends packed into a small archive
  std::string bomb = Root.Path() + "/bomb.zip";
  test::WriteArchive(bomb, "zip", {{"KEN_ALL.CSV", std::string(100 << 20, '\n')}});
  ASSERT_LT(fs::file_size(bomb), 1u << 20);
  std::string said = Root.Path() + "/said";
  for (const std::string& source : {bomb, std::string("/dev/zero")}) {
    SCOPED_TRACE(source);
    test::TBoundedResult r = test::RunBounded(
        [&] {
          TKaedeZipPipeline p;
          p.Source = source;
          p.TargetFolder = Target;
          try {
            bool ok = p.Run();
            test::WriteAll(said, SjisToUtf8(p.Status().Text));
            return ok ? 0 : 1;
          } catch (const EDownloadError& e) {
            test::WriteAll(said, SjisToUtf8(e.Reason()));
            return 3;
          }
        },
        int64_t(600) << 20, 120);
    EXPECT_FALSE(r.OverMemory) << r.PeakRss;
    EXPECT_FALSE(r.OverTime);
    EXPECT_TRUE(r.Exited);
    EXPECT_EQ(r.Status, source == bomb ? 1 : 3);
    EXPECT_NE(test::ReadAll(said).find("上限"), std::string::npos) << test::ReadAll(said);
    EXPECT_TRUE(CurrentKept());
    EXPECT_TRUE(test::FolderNames(Tmp).empty());
  }
}

TEST(Download, RedirectsFromHttpsStayOnHttps) {
  EXPECT_STREQ(RedirectProtocols("https://www.post.japanpost.jp/zipcode/dl/kogaki/zip/ken_all.zip"), "https");
  EXPECT_STREQ(RedirectProtocols("HTTPS://example.org/a.zip"), "https");
  EXPECT_STREQ(RedirectProtocols("http://example.org/a.zip"), "http,https");
}
