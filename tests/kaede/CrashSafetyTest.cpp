// kill -9 at random moments while the command line saves a big book and while it updates the
// dictionary: each time the files on disk are the old or the new ones, never a mix, and the
// next run cleans up what the killed one left.
#include <gtest/gtest.h>

#include <sys/time.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "CliProcess.h"
#include "Files.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& utf8Path) { return ReadFileBytes(Utf8ToSjis(utf8Path)); }

// Makes the files of the folder look two days old, as leftovers of an earlier day.
void AgeAll(const std::string& folder) {
  struct timeval times[2];
  ::gettimeofday(&times[0], nullptr);
  times[0].tv_sec -= 2 * 24 * 60 * 60;
  times[1] = times[0];
  for (auto& e : fs::directory_iterator(folder)) ::lutimes(e.path().c_str(), times);
}

// Runs the command to its end and returns how long it took.
double Timed(const std::vector<std::string>& args, const std::string& errFile) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(test::WaitKaede(test::StartKaede(args, errFile)), 0) << ReadFileBytes(Utf8ToSjis(errFile));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Starts the command and kills it after the given time (when it is still running).
void KillAfter(const std::vector<std::string>& args, const std::string& errFile, double seconds) {
  test::TCliProcess p = test::StartKaede(args, errFile);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  ::kill(p.Pid, SIGKILL);
  test::WaitKaede(p);
}

// Kill times over the whole run, half of them in its last fifth, where the files are replaced.
std::vector<double> KillTimes(double full, int count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> anywhere(0, full), late(full * 0.8, full * 1.05);
  std::vector<double> r;
  for (int i = 0; i < count; ++i) r.push_back(i % 2 ? late(random) : anywhere(random));
  return r;
}

}  // namespace

TEST(CrashSafety, KillingASaveOfABigBookLeavesTheOldOrTheNewBook) {
  test::TempDir dir;
  std::string original = dir.Path() + "/original.kad";
  {
    TPersonList list;
    list.BeginUpdate();
    for (int i = 0; i < 20000; ++i) {
      auto* p = static_cast<TPerson*>(list.AddText(""));
      p->SetName(Utf8ToSjis("山田 太郎" + std::to_string(i)));
      p->SetYomi(Utf8ToSjis("ヤマダ タロウ"));  // katakana: the unification rewrites every entry
      p->SetPostal("100-0001");
      TStrings address{Utf8ToSjis("東京都千代田区千代田１－" + std::to_string(i))};
      p->SetAddress(&address);
    }
    list.EndUpdate();
    list.SetFileName(Utf8ToSjis(original));
  }
  std::string book = dir.Path() + "/book.kad";
  const std::string old = Read(original);
  ASSERT_GT(old.size(), 1u << 20);
  fs::copy_file(original, book);
  const std::vector<std::string> unify{"unify", book};
  double full = Timed(unify, dir.Path() + "/err");
  const std::string unified = Read(book);
  ASSERT_NE(unified, old);

  int olds = 0, news = 0;
  for (double t : KillTimes(full, 20, 20)) {
    fs::copy_file(original, book, fs::copy_options::overwrite_existing);
    KillAfter(unify, dir.Path() + "/err", t);
    std::string now = Read(book);
    ASSERT_TRUE(now == old || now == unified) << "a mixed book after a kill at " << t << " s";
    (now == old ? olds : news) += 1;
  }
  RecordProperty("old", olds);
  RecordProperty("new", news);
  // what the killed saves left is removed by the next save, once it is a day old
  AgeAll(dir.Path());
  fs::copy_file(original, book, fs::copy_options::overwrite_existing);
  Timed(unify, dir.Path() + "/err");
  EXPECT_EQ(Read(book), unified);
  EXPECT_EQ(test::FolderNames(dir.Path()), (std::vector<std::string>{"book.kad", "err", "original.kad"}));
}

TEST(CrashSafety, KillingADictionaryUpdateLeavesTheOldOrTheNewDictionary) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  const std::string tmp = dir.Path() + "/tmp", dict = dir.Path() + "/dict";
  fs::create_directories(tmp);
  // the new dictionary is the national file's
  const std::string zip = test::SharedData("kenall/ken_all_2026-06-05.zip");
  ::setenv("TMPDIR", tmp.c_str(), 1);
  const std::vector<std::string> update{"postal-update", "--source", zip, "--to", dict};
  Timed(update, dir.Path() + "/err");
  const std::vector<std::string> files{"City.dat", "Ken.dat", "Postal.dat"};
  std::map<std::string, std::string> newer;
  for (const std::string& f : files) newer[f] = Read(dict + "/" + f);
  // an old dictionary of a few entries, planted by hand
  std::map<std::string, std::string> older{{"Ken.dat", "     0X\r\n"}, {"City.dat", "     0Y\r\n"}, {"Postal.dat", "1000001\r\n"}};
  auto plantOld = [&] {
    fs::remove_all(dict);
    fs::create_directories(dict);
    for (const auto& [f, text] : older) WriteFileAtomic(Utf8ToSjis(dict + "/" + f), text);
  };
  plantOld();
  double full = Timed(update, dir.Path() + "/err");

  int olds = 0, news = 0;
  for (double t : KillTimes(full, 20, 7)) {
    plantOld();
    KillAfter(update, dir.Path() + "/err", t);
    // every file on its own is whole
    for (const std::string& f : files) {
      if (!fs::exists(dict + "/" + f)) continue;
      std::string now = Read(dict + "/" + f);
      ASSERT_TRUE(now == older[f] || now == newer[f]) << f << " is cut after a kill at " << t << " s";
    }
    // and the next reader sees one whole set, finishing or undoing a cut replacement first
    test::TCliProcess look = test::StartKaede({"postal", "1000001", "--dict", dict}, dir.Path() + "/look.err");
    test::WaitKaede(look);
    bool allOld = true, allNew = true;
    for (const std::string& f : files) {
      std::string now = Read(dict + "/" + f);
      allOld = allOld && now == older[f];
      allNew = allNew && now == newer[f];
    }
    ASSERT_TRUE(allOld || allNew) << "a mixed dictionary after a kill at " << t << " s";
    EXPECT_EQ(test::FolderNames(dict), files);
    (allOld ? olds : news) += 1;
  }
  RecordProperty("old", olds);
  RecordProperty("new", news);
  // the next run removes the work folders of the killed ones
  plantOld();
  Timed(update, dir.Path() + "/err");
  EXPECT_TRUE(test::FolderNames(tmp).empty());
  ::unsetenv("TMPDIR");
}
