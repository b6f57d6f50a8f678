// The dictionary commands on the command line: a much smaller dictionary fails unless
// --force is given, and an empty dictionary is an error with a message, not a silent "no match".
#include <gtest/gtest.h>

#include <filesystem>

#include "../updater/UpdaterTestUtil.h"
#include "CliProcess.h"
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
