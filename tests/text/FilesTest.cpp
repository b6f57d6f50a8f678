#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Files.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

TEST(Files, AtomicWriteReplacesContentAndKeepsPermissions) {
  test::TempDir dir;
  std::string name = dir.File("住所録.kad");
  WriteFileAtomic(name, "first\r\n");
  EXPECT_EQ(ReadFileBytes(name), "first\r\n");
  ::chmod(OsPath(name).c_str(), 0600);
  WriteFileAtomic(name, "second\r\n");
  EXPECT_EQ(ReadFileBytes(name), "second\r\n");
  struct stat st;
  ASSERT_EQ(::stat(OsPath(name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // the on-disk name is UTF-8
  EXPECT_TRUE(fs::exists(fs::path(dir.Path()) / "住所録.kad"));
  // no temporary file is left behind
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(Files, FailedWriteLeavesTheOldFileAndNamesIt) {
  test::TempDir dir;
  std::string name = dir.File("book.kad");
  WriteFileAtomic(name, "old");
  // A file-size limit makes the write fail half way, as a full disk would (also for root).
  struct rlimit saved;
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  try {
    WriteFileAtomic(name, std::string(4096, 'x'));
    ADD_FAILURE();
  } catch (const EFileError& e) {
    EXPECT_EQ(e.FileName(), name);
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadFileBytes(name), "old");
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);  // the temporary file is gone
}

TEST(Files, WritingThroughASymbolicLinkKeepsTheLink) {
  test::TempDir dir;
  std::string real = dir.Path() + "/real.kad";
  std::ofstream(real) << "x";
  fs::create_symlink(real, dir.Path() + "/link.kad");
  WriteFileAtomic(dir.File("link.kad"), "y");
  EXPECT_TRUE(fs::is_symlink(dir.Path() + "/link.kad"));
  EXPECT_EQ(ReadFileBytes(dir.File("real.kad")), "y");
}

TEST(Files, ReadingAMissingFileNamesIt) {
  test::TempDir dir;
  std::string name = dir.File("ない.kad");
  EXPECT_FALSE(FileExists(name));
  try {
    ReadFileBytes(name);
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_EQ(e.FileName(), name);
    EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
  }
  EXPECT_TRUE(DirectoryExists(Utf8ToSjis(dir.Path())));
}
