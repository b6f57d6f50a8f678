#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "AppPaths.h"
#include "CommaText.h"
#include "Downloads.h"
#include "Files.h"
#include "KaedeZipPipelines.h"
#include "KenAllConverter.h"
#include "TestUtil.h"
#include "UpdaterTestUtil.h"
#include "ZipSettings.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

const char* const kZipPath = "/zipcode/dl/kogaki/zip/ken_all.zip";
const char* const kLzhPath = "/zipcode/dl/kogaki/lzh/ken_all.lzh";

// A run of the pipeline against a local server, with its own temporary folder (TMPDIR) and
// target folder, and the published sample packed as ZIP and LHA archives.
class Pipeline : public ::testing::Test {
protected:
  void SetUp() override {
    KAEDE_NEEDS_SHARED_DATA();
    Tmp = Root.Path() + "/tmp";
    Target = Root.Path() + "/dict";
    fs::create_directory(Tmp);
    ::setenv("TMPDIR", Tmp.c_str(), 1);
    Csv = test::ReadAll(test::SharedData("kenall/KEN_ALL_sample_sjis.csv"));
    Zip = Root.Path() + "/sample.zip";
    test::WriteArchive(Zip, "zip", {{"KEN_ALL.CSV", Csv}});
    Lzh = test::LhaStored({{"KEN_ALL.CSV", Csv}});
    TStrings records;
    SplitLines(Csv, records);
    ASSERT_TRUE(ConvertKenAll(records, Expected));
  }
  void TearDown() override { ::unsetenv("TMPDIR"); }

  bool Run(const std::string& source) {
    TKaedeZipPipeline p;
    p.Source = source;
    p.TargetFolder = Target;
    p.DownloadOptions.TimeoutSeconds = 20;
    p.OnStatus = [&](const TZipStatus& s) { Statuses.push_back(s); };
    bool ok = p.Run();
    Last = p.Status();
    return ok;
  }
  // The dictionary in the target folder equals the conversion of the sample.
  void ExpectSampleDictionary() {
    EXPECT_EQ(ReadFileBytes(Target + "/Postal.dat"), JoinStr(Expected.Postal, "\r\n") + "\r\n");
    EXPECT_EQ(ReadFileBytes(Target + "/City.dat"), JoinStr(Expected.City, "\r\n") + "\r\n");
    EXPECT_EQ(ReadFileBytes(Target + "/Ken.dat"), JoinStr(Expected.Ken, "\r\n") + "\r\n");
  }
  void PlantOldDictionary() {
    TPostalLists old;
    old.Postal = {"1000001"};
    old.Ken = {"     0X"};
    old.City = {"     0Y"};
    SavePostalFiles(Target, old);
  }
  void ExpectOldDictionary() { EXPECT_EQ(ReadFileBytes(Target + "/Postal.dat"), "1000001\r\n"); }

  test::TempDir Root;
  test::THttpServer Server;
  std::string Tmp, Target, Csv, Zip, Lzh;
  TPostalLists Expected;
  std::vector<TZipStatus> Statuses;
  TZipStatus Last;
};

}  // namespace

TEST_F(Pipeline, DownloadsUnpacksAndConvertsReportingEachStep) {
  Server.Set(kZipPath, {200, test::ReadAll(Zip)});
  ASSERT_TRUE(Run(Server.Url(kZipPath)));
  ExpectSampleDictionary();
  // the texts in order, the percentage never going back, and the work folder gone
  std::vector<std::string> texts;
  int percent = 0;
  for (const TZipStatus& s : Statuses) {
    if (texts.empty() || texts.back() != SjisToUtf8(s.Text)) texts.push_back(SjisToUtf8(s.Text));
    EXPECT_GE(s.Percent, percent);
    percent = s.Percent;
    EXPECT_FALSE(s.Failed);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "郵便番号ファイルをゆうびんホームページからダウンロードしています...",
                       "郵便番号ファイルを解凍しています...",
                       "解凍した郵便番号ファイルを読み込んでいます...",
                       "解凍した郵便番号ファイルをKaede Addressで使用できる形式に変換しています...",
                       "Kaede Address の郵便番号ファイル（Ken.dat City.dat Postal.dat）は正常に更新されました。次回の "
                       "Kaede Address 起動から有効となります。［閉じる］ボタンをクリックして終了してください。"}));
  EXPECT_EQ(Statuses.front().Percent, 10);
  EXPECT_EQ(Last.Step, TZipStep::Done);
  EXPECT_EQ(Last.Percent, 100);
  EXPECT_TRUE(test::FolderNames(Tmp).empty());
}

TEST_F(Pipeline, TheFormatIsTakenFromTheContentAndTheLhaPathIsTheFallback) {
  // the ZIP address answers 404, the LHA archive is found on the same server
  Server.Set(kLzhPath, {200, Lzh});
  ASSERT_TRUE(Run(Server.Url(kZipPath)));
  ExpectSampleDictionary();
  EXPECT_EQ(Server.Requests(), (std::vector<std::string>{kZipPath, kLzhPath}));
  // a ZIP archive behind an .lzh name, and local sources
  Server.Set(kLzhPath, {200, test::ReadAll(Zip)});
  fs::remove_all(Target);
  ASSERT_TRUE(Run(Server.Url(kLzhPath)));
  ExpectSampleDictionary();
  fs::remove_all(Target);
  ASSERT_TRUE(Run(Zip));
  ExpectSampleDictionary();
  fs::remove_all(Target);
  ASSERT_TRUE(Run("file://" + Zip));
  ExpectSampleDictionary();
}

TEST_F(Pipeline, DownloadErrorsNameTheAddressAndKeepTheDictionary) {
  PlantOldDictionary();
  // 404 on both paths; a body cut short; a source that is not there
  Server.Set("/short", {200, test::ReadAll(Zip), "", 10000000});
  for (const std::string& source : {Server.Url(kZipPath), Server.Url("/short"), Root.Path() + "/none.zip"}) {
    try {
      Run(source);
      ADD_FAILURE() << source;
    } catch (const EDownloadError& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), "ダウンロードエラー - URL：" + source);
      EXPECT_FALSE(e.Reason().empty());
    }
    ExpectOldDictionary();
    EXPECT_TRUE(test::FolderNames(Tmp).empty()) << source;  // no half file, no empty work folder
  }
}

TEST_F(Pipeline, WhatIsNoArchiveOrNoDictionaryFailsAndKeepsTheDictionary) {
  PlantOldDictionary();
  std::string otherMember = Root.Path() + "/other.zip";
  test::WriteArchive(otherMember, "zip", {{"utf_ken_all.csv", Csv}});
  std::string htmlCsv = Root.Path() + "/html.zip";
  test::WriteArchive(htmlCsv, "zip", {{"KEN_ALL.CSV", "<html><body>maintenance</body></html>\r\n"}});
  std::string emptyCsv = Root.Path() + "/empty.zip";
  test::WriteArchive(emptyCsv, "zip", {{"ken_all.csv", ""}});
  Server.Set("/page", {200, "<!DOCTYPE html><html><body>maintenance</body></html>", "", -1, "text/html"});
  struct TCase {
    std::string Source;
    TZipStep Step;
    const char* Text;
  } cases[] = {
      {Server.Url("/page"), TZipStep::Unpack, "解凍に失敗しました。郵便番号の書庫（ZIP または LHA）ではありません。"},
      {otherMember, TZipStep::Unpack, "解凍に失敗しました。KEN_ALL.CSV: 書庫にありません"},
      {htmlCsv, TZipStep::Convert, "変換に失敗しました。KEN_ALL.CSV に郵便番号のデータがありません。"},
      {emptyCsv, TZipStep::Convert, "変換に失敗しました。KEN_ALL.CSV に郵便番号のデータがありません。"},
  };
  for (const TCase& c : cases) {
    Statuses.clear();
    EXPECT_FALSE(Run(c.Source)) << c.Source;
    EXPECT_TRUE(Last.Failed);
    EXPECT_EQ(Last.Step, c.Step) << c.Source;
    EXPECT_EQ(Last.Percent, 0);
    EXPECT_EQ(SjisToUtf8(Last.Text), c.Text) << c.Source;
    ExpectOldDictionary();
    EXPECT_TRUE(test::FolderNames(Tmp).empty()) << c.Source;
  }
  // no target folder
  TKaedeZipPipeline p;
  p.Source = Zip;
  EXPECT_FALSE(p.Run());
  EXPECT_EQ(SjisToUtf8(p.Status().Text), "変換に失敗しました。辞書を書き込むフォルダがありません。");
}

TEST(Download, RedirectsAreFollowedOnlyToTheWeb) {
  test::TempDir dir;
  test::THttpServer server;
  server.Set("/data", {200, "archive bytes"});
  server.Set("/moved", {302, "", server.Url("/data")});
  server.Set("/to-file", {302, "", "file:///etc/hostname"});
  DownloadFile(server.Url("/moved"), dir.Path() + "/a.zip");
  EXPECT_EQ(test::ReadAll(dir.Path() + "/a.zip"), "archive bytes");
  EXPECT_THROW(DownloadFile(server.Url("/to-file"), dir.Path() + "/b.zip"), EDownloadError);
  // an overlong answer is stopped
  TDownloadOptions small;
  small.MaxSize = 5;
  EXPECT_THROW(DownloadFile(server.Url("/data"), dir.Path() + "/c.zip", small), EDownloadError);
  // an error never replaces what the target held
  test::WriteAll(dir.Path() + "/keep.zip", "old");
  EXPECT_THROW(DownloadFile(server.Url("/missing"), dir.Path() + "/keep.zip"), EDownloadError);
  EXPECT_EQ(test::ReadAll(dir.Path() + "/keep.zip"), "old");
  EXPECT_EQ(test::FolderNames(dir.Path()), (std::vector<std::string>{"a.zip", "keep.zip"}));
}

TEST(Download, LocalSources) {
  std::string path;
  EXPECT_TRUE(LocalSourcePath("file:///tmp/ken%20all.zip", path));
  EXPECT_EQ(path, "/tmp/ken all.zip");
  EXPECT_TRUE(LocalSourcePath("file://localhost/x.lzh", path));
  EXPECT_EQ(path, "/x.lzh");
  EXPECT_TRUE(LocalSourcePath("ken_all.zip", path));
  EXPECT_EQ(path, "ken_all.zip");
  EXPECT_FALSE(LocalSourcePath("https://example.org/ken_all.zip", path));
  EXPECT_FALSE(LocalSourcePath("file://server/share/x.zip", path));
}

TEST(ZipSettings, SourceTargetAndFallbackComeFromTheSettingsStore) {
  test::TempDir dir;
  ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (dir.Path() + "/data").c_str(), 1);
  EXPECT_EQ(ConfiguredZipSource(), kDefaultZipSource);
  EXPECT_EQ(ConfiguredDictionaryFolder(), DictionaryFolder());
  fs::create_directory(dir.Path() + "/KaedeProject");
  test::WriteAll(dir.Path() + "/KaedeProject/KaedeZip.ini", "[option]\r\nsource=http://mirror.example/k.zip\r\n");
  test::WriteAll(dir.Path() + "/KaedeProject/KaedeAddress.ini",
                 "ExeName=" + dir.Path() + "/KaedeAddress\r\n[Option]\r\nExeName=/wrong/place\r\nDataPath=x\r\n");
  EXPECT_EQ(ConfiguredZipSource(), "http://mirror.example/k.zip");
  EXPECT_EQ(ConfiguredDictionaryFolder(), dir.Path() + "/");
  EXPECT_EQ(ReadSettingsValue("KaedeAddress", "Option", "DataPath"), "x");
  EXPECT_EQ(ReadSettingsValue("KaedeAddress", "Option", "Missing"), "");
  // a program folder that cannot be written sends the dictionary to the user's folder
  test::WriteAll(dir.Path() + "/KaedeProject/KaedeAddress.ini", "ExeName=/nonexistent/bin/KaedeAddress\r\n");
  EXPECT_EQ(ConfiguredDictionaryFolder(), dir.Path() + "/data/KaedeAddress/");
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("XDG_DATA_HOME");

  EXPECT_EQ(FallbackZipSource(kDefaultZipSource), "https://www.post.japanpost.jp/zipcode/dl/kogaki/lzh/ken_all.lzh");
  EXPECT_EQ(FallbackZipSource("http://127.0.0.1:8080"), "http://127.0.0.1:8080/zipcode/dl/kogaki/lzh/ken_all.lzh");
  EXPECT_EQ(FallbackZipSource("https://www.post.japanpost.jp/zipcode/dl/kogaki/lzh/ken_all.lzh"), "");
  EXPECT_EQ(FallbackZipSource("file:///tmp/ken_all.zip"), "");
  EXPECT_EQ(FallbackZipSource("/tmp/ken_all.zip"), "");
}
