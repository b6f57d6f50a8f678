// The dictionary commands on the command line: a fresh install answers from the dictionary
// shipped with it, a user's update wins over it, a much smaller dictionary fails unless
// --force is given, and an empty dictionary is an error with a message, not a silent "no match".
#include <gtest/gtest.h>

#include <filesystem>

#include "../updater/UpdaterTestUtil.h"
#include "CliProcess.h"
#include "CliRun.h"
#include "Cp932.h"
#include "Files.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

struct TResult {
  int Status;
  std::string Err;  // UTF-8
};

TResult Kaede(const std::vector<std::string>& args, const std::string& errFile) {
  int status = test::WaitKaede(test::StartKaede(args, errFile));
  return {status, test::ReadAll(errFile)};
}

}  // namespace

TEST(PostalUpdateCli, AFreshHomeAnswersFromTheShippedDictionaryUntilTheUserUpdatesIt) {
  // a developer's own update beside the programs of the build tree would answer first
  std::string program = fs::path(KAEDE_CLI).parent_path().string();
  if (fs::exists(program + "/Postal.dat")) GTEST_SKIP() << "a dictionary lies in " << program;
  test::TempDir dir;
  std::string home = dir.Path() + "/home", user = home + "/.local/share/KaedeAddress";
  fs::create_directory(home);
  const char* oldHome = std::getenv("HOME");
  std::string savedHome = oldHome ? oldHome : "";
  ::setenv("HOME", home.c_str(), 1);
  ::unsetenv("XDG_DATA_HOME");

  // nothing in the home folder: the shipped dictionary answers, offline, and says so
  test::TRun r = test::Kaede({"postal", "1530064"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "東京都目黒区下目黒\n");
  r = test::Kaede({"address", "東京都目黒区下目黒三丁目"});
  EXPECT_EQ(r.Out, "1530064 東京都目黒区下目黒\n") << r.Err;
  // a code that no town has: status 1 and a line that says so, nothing on standard output
  r = test::Kaede({"postal", "9999999"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "kaede: 郵便番号「9999999」は辞書にありません\n");
  r = test::Kaede({"postal", "--info"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out.rfind("同梱の郵便番号辞書（20", 0), 0u) << r.Out;
  EXPECT_NE(r.Out.find(" のデータ、124,"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("/postal/\n"), std::string::npos) << r.Out;

  // a copy cut short (one file of three) is passed over
  fs::create_directories(user);
  test::WriteAll(user + "/Postal.dat", "1530064\r\n");
  EXPECT_EQ(test::Kaede({"postal", "1530064"}).Out, "東京都目黒区下目黒\n");

  // the user's update into the data folder wins, and --info names it with the day it was made
  std::string csv = SJ("13110,\"153  \",\"1530064\",\"ﾄｳｷｮｳﾄ\",\"ﾒｸﾞﾛｸ\",\"ｼﾓﾒｸﾞﾛ\",\"東京都\",\"目黒区\",\"下目黒新町\","
                       "0,0,1,0,0,0\r\n");
  std::string archive = dir.Path() + "/ken_all.lzh";
  test::WriteAll(archive, test::LhaStored({{"KEN_ALL.CSV", csv}}));
  r = test::Kaede({"postal-update", "--source", archive, "--to", user});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(test::Kaede({"postal", "153-0064"}).Out, "東京都目黒区下目黒新町\n");
  r = test::Kaede({"postal", "--info"});
  EXPECT_EQ(r.Out.rfind("更新した郵便番号辞書（20", 0), 0u) << r.Out;
  EXPECT_NE(r.Out.find(" に更新、1 件）: " + user + "/\n"), std::string::npos) << r.Out;

  // no dictionary anywhere: --info says so and where it looked
  r = test::Kaede({"postal", "--info", "--dict", dir.Path() + "/none"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find("がありません"), std::string::npos) << r.Out;
  ::setenv("HOME", savedHome.c_str(), 1);
}

TEST(PostalUpdateCli, ASmallerDictionaryNeedsForce) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  std::string tmp = dir.Path() + "/tmp", dict = dir.Path() + "/dict", err = dir.Path() + "/err";
  fs::create_directory(tmp);
  ::setenv("TMPDIR", tmp.c_str(), 1);
  std::string csv = test::ReadAll(test::SharedData("kenall/KEN_ALL_sample_sjis.csv"));
  std::string full = dir.Path() + "/full.lzh", one = dir.Path() + "/one.lzh";
  test::WriteAll(full, test::LhaStored({{"KEN_ALL.CSV", csv}}));
  test::WriteAll(one, test::LhaStored({{"KEN_ALL.CSV", csv.substr(0, csv.find("\r\n") + 2)}}));
  ASSERT_EQ(Kaede({"postal-update", "--source", full, "--to", dict}, err).Status, 0);
  std::string current = test::ReadAll(dict + "/Postal.dat");

  TResult r = Kaede({"postal-update", "--source", one, "--to", dict}, err);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("変換に失敗しました。新しい郵便番号データ（1件"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("--force"), std::string::npos);
  EXPECT_EQ(test::ReadAll(dict + "/Postal.dat"), current);
  r = Kaede({"postal-update", "--source", one, "--to", dict, "--force"}, err);
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(test::ReadAll(dict + "/Postal.dat"), current);
  EXPECT_TRUE(fs::is_empty(tmp));
  ::unsetenv("TMPDIR");
}

TEST(PostalUpdateCli, AnEmptyDictionaryIsAnErrorThatSaysSo) {
  test::TempDir dir;
  for (const char* f : {"Ken.dat", "City.dat", "Postal.dat"}) test::WriteAll(dir.Path() + "/" + f, "");
  TResult r = Kaede({"postal", "1000001", "--dict", dir.Path()}, dir.Path() + "/err");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("空です"), std::string::npos) << r.Err;
  r = Kaede({"address", "東京都千代田区", "--dict", dir.Path()}, dir.Path() + "/err");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("空です"), std::string::npos) << r.Err;
}
