// Two command-line imports into one book at the same time: one of them gets the book, the
// other is refused with a non-zero exit status; no entry of a successful import is lost.
#include <gtest/gtest.h>

#include "CliProcess.h"
#include "Files.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

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
    ASSERT_EQ(test::WaitKaede(test::StartKaede({"import", Csv, "--into", solo}, Dir.Path() + "/solo.err")), 0);
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
      test::TCliProcess a = test::StartKaede({"import", Csv, "--into", book}, Dir.Path() + "/a.err");
      test::TCliProcess b = test::StartKaede({"import", Csv, "--into", book}, Dir.Path() + "/b.err");
      int sa = test::WaitKaede(a), sb = test::WaitKaede(b);
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
