// Two command-line imports into one book at the same time: one of them gets the book, the
// other is refused with a non-zero exit status; no entry of a successful import is lost.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include "Files.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// A kaede process started in the background, its standard error into a file.
struct TProcess {
  pid_t Pid = -1;
  std::string ErrFile;
};

TProcess Start(std::vector<std::string> args, const std::string& errFile) {
  args.insert(args.begin(), KAEDE_CLI);
  TProcess p;
  p.ErrFile = errFile;
  p.Pid = ::fork();
  if (p.Pid == 0) {
    int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    _exit(127);
  }
  return p;
}

int Wait(const TProcess& p) {
  int status = 0;
  ::waitpid(p.Pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Entries(const std::string& book) {
  TPersonList list;
  list.Open(book, false);
  return list.AllCount();
}

class ConcurrentImport : public ::testing::Test {
protected:
  void SetUp() override {
    KAEDE_NEEDS_SHARED_DATA();
    Csv = test::SharedData("fake/synthetic_addressbook_5000_cp932.csv");
    // what one import adds, measured alone
    std::string solo = Dir.Path() + "/solo.kad";
    ASSERT_EQ(Wait(Start({"import", Csv, "--into", solo}, Dir.Path() + "/solo.err")), 0);
    PerImport = Entries(Utf8ToSjis(solo));
    ASSERT_GT(PerImport, 4000);
  }

  // Runs two imports into the book at once, several times; each time the book holds the
  // entries it had plus those of every import that reported success, and at least one did.
  void Race(const std::string& base, int baseCount) {
    std::string book = Dir.Path() + "/race.kad";
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(round);
      std::error_code ec;
      std::filesystem::remove(book, ec);
      if (!base.empty()) std::filesystem::copy_file(base, book);
      TProcess a = Start({"import", Csv, "--into", book}, Dir.Path() + "/a.err");
      TProcess b = Start({"import", Csv, "--into", book}, Dir.Path() + "/b.err");
      int sa = Wait(a), sb = Wait(b);
      int successes = (sa == 0) + (sb == 0);
      EXPECT_GE(successes, 1);
      EXPECT_EQ(Entries(Utf8ToSjis(book)), baseCount + successes * PerImport) << sa << " " << sb;
      // the one that was refused says why
      if (sa != 0) {
        EXPECT_NE(ReadFileBytes(Utf8ToSjis(a.ErrFile)), "");
      }
      if (sb != 0) {
        EXPECT_NE(ReadFileBytes(Utf8ToSjis(b.ErrFile)), "");
      }
    }
  }

  test::TempDir Dir;
  std::string Csv;
  int PerImport = 0;
};

}  // namespace

TEST_F(ConcurrentImport, IntoAnExistingBookNothingIsLost) {
  std::string base = Dir.Path() + "/base.kad";
  TPersonList list;
  for (int i = 0; i < 200; ++i) list.AddPerson(Utf8ToSjis("人" + std::to_string(i) + ",ひと"));
  list.SetFileName(Utf8ToSjis(base));
  Race(base, 200);
}

TEST_F(ConcurrentImport, IntoANewBookNothingIsLost) { Race(std::string(), 0); }
