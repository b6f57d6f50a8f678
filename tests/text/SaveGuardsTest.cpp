// Saving against other writers and leftovers: what WriteFileAtomic refuses to replace, the
// stamp check, the lock that moves with the file, bounded reading, and the clean-up of
// temporary files and work folders that interrupted runs left.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Files.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

void Age(const std::string& path, int seconds) {
  struct timeval times[2];
  ::gettimeofday(&times[0], nullptr);
  times[0].tv_sec -= seconds;
  times[1] = times[0];
  ::lutimes(path.c_str(), times);
}

class TEnv {
public:
  TEnv(const char* name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old, FHad = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~TEnv() {
    if (FHad) ::setenv(FName, FOld.c_str(), 1);
    else ::unsetenv(FName);
  }

private:
  const char* FName;
  std::string FOld;
  bool FHad = false;
};

}  // namespace

TEST(SaveGuards, WhatIsNotARegularFileIsNeverReplaced) {
  test::TempDir dir;
  std::string fifo = dir.Path() + "/pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_directory(dir.Path() + "/folder");
  fs::create_symlink(dir.Path() + "/nowhere", dir.Path() + "/dangling");
  fs::create_symlink(fifo, dir.Path() + "/to-pipe");
  for (const char* name : {"pipe", "folder", "dangling", "to-pipe"}) {
    SCOPED_TRACE(name);
    try {
      WriteFileAtomic(dir.File(name), "data");
      ADD_FAILURE() << "written";
    } catch (const EFileError& e) {
      EXPECT_EQ(e.FileName(), dir.File(name));
    }
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_directory(dir.Path() + "/folder"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() + "/dangling"));
  EXPECT_FALSE(fs::exists(dir.Path() + "/nowhere"));
  EXPECT_EQ(test::FolderNames(dir.Path()), (std::vector<std::string>{"dangling", "folder", "pipe", "to-pipe"}));
  // a device (as /dev/stdout can lead to) stays what it is
  EXPECT_THROW(WriteFileAtomic("/dev/null", "x"), EFileError);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SaveGuards, AFileChangedSinceItWasReadIsNotReplaced) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, "mine\r\n");
  TFileStamp read = FileStampOf(book);
  ASSERT_TRUE(read.Known && read.Exists);
  EXPECT_EQ(read, FileStampOf(book));

  // another program saves in between (a new file by rename, as every careful writer does)
  WriteFileAtomic(book, "theirs\r\n");
  TAtomicWriteGuard guard;
  guard.Expected = &read;
  EXPECT_THROW(WriteFileAtomic(book, "mine, changed\r\n", guard), ESaveConflict);
  EXPECT_EQ(ReadFileBytes(book), "theirs\r\n");
  // ... or rewrites it in place with the same length: the time tells
  read = FileStampOf(book);
  Age(OsPath(book), 5);
  read = FileStampOf(book);
  std::ofstream(OsPath(book), std::ios::binary | std::ios::in) << "THEIRS\r\n";
  EXPECT_THROW(WriteFileAtomic(book, "mine\r\n", guard), ESaveConflict);
  EXPECT_EQ(ReadFileBytes(book), "THEIRS\r\n");
  EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"book.kad"});  // no temporary file left

  // a new book expects no file; one that appeared meanwhile is not replaced either
  TFileStamp none = FileStampOf(dir.File("new.kad"));
  EXPECT_TRUE(none.Known && !none.Exists);
  guard.Expected = &none;
  WriteFileAtomic(dir.File("other.kad"), "x");
  fs::rename(dir.Path() + "/other.kad", dir.Path() + "/new.kad");
  EXPECT_THROW(WriteFileAtomic(dir.File("new.kad"), "mine", guard), ESaveConflict);
  EXPECT_EQ(ReadFileBytes(dir.File("new.kad")), "x");

  // unchanged: written, and the stamp of what was written comes back for the next save
  TFileStamp now = FileStampOf(book), written;
  guard.Expected = &now;
  guard.Written = &written;
  WriteFileAtomic(book, "mine again\r\n", guard);
  EXPECT_EQ(ReadFileBytes(book), "mine again\r\n");
  EXPECT_EQ(written, FileStampOf(book));
  EXPECT_NE(written, now);
}

TEST(SaveGuards, TheLockMovesToTheNewFileBeforeItTakesTheName) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, "1");
  TFileLock lock;
  ASSERT_TRUE(lock.Acquire(book));
  TAtomicWriteGuard guard;
  guard.Lock = &lock;
  for (int i = 0; i < 3; ++i) {
    WriteFileAtomic(book, std::to_string(i), guard);
    EXPECT_TRUE(lock.Held());
    EXPECT_EQ(lock.Path(), book);
    TFileLock other;
    EXPECT_FALSE(other.Acquire(book));
    EXPECT_TRUE(other.Busy());
    EXPECT_EQ(FileAccessState(book), 1);
  }
  lock.Release();
  TFileLock other;
  EXPECT_TRUE(other.Acquire(book));
  // a moved lock keeps holding
  TFileLock moved = std::move(other);
  EXPECT_FALSE(other.Held());
  EXPECT_TRUE(moved.Held());
  EXPECT_FALSE(TFileLock().Acquire(book));
}

TEST(SaveGuards, BoundedReadingStopsAtTheBoundEvenWithoutEnd) {
  test::TempDir dir;
  std::string f = dir.File("big");
  WriteFileAtomic(f, std::string(1000, 'x'));
  EXPECT_EQ(ReadFileBytes(f, 1000).size(), 1000u);
  try {
    ReadFileBytes(f, 999);
    ADD_FAILURE();
  } catch (const EFileError& e) {
    EXPECT_EQ(e.FileName(), f);
  }
  // a device that never ends, and one that tells no size
  EXPECT_THROW(ReadFileBytes("/dev/zero", 1 << 20), EFileError);
  EXPECT_EQ(ReadFileBytes("/dev/null", 0), "");
}

TEST(SaveGuards, StaleTemporaryFilesOfOurNamesGoAtTheFirstSaveIntoTheFolder) {
  test::TempDir dir;
  auto make = [&](const std::string& name, int age) {
    std::ofstream(dir.Path() + "/" + name) << "left over";
    Age(dir.Path() + "/" + name, age);
  };
  const int day = 24 * 60 * 60;
  make(".book.kad.tmp-Ab12Cd", day + 60);        // a killed save, two days old: goes
  make(".ken_all.lzh.part-x1y2z3", day + 60);    // a killed download: goes
  make(".book.kad.tmp-Zz99Yy", 60);              // a save that may be running now: stays
  make(".book.kad.tmp-Ab12C", day + 60);         // not our pattern: stays
  make("book.kad.tmp-Ab12Cd", day + 60);         // not hidden: stays
  make(".book.kad.tmp-Ab12C!", day + 60);        // stays
  fs::create_directory(dir.Path() + "/.dir.tmp-ABCDEF");  // a folder: stays
  Age(dir.Path() + "/.dir.tmp-ABCDEF", day + 60);
  std::ofstream(dir.Path() + "/target") << "t";
  fs::create_symlink(dir.Path() + "/target", dir.Path() + "/.link.tmp-ABCDEF");  // a link: stays
  Age(dir.Path() + "/.link.tmp-ABCDEF", day + 60);

  WriteFileAtomic(dir.File("book.kad"), "new");
  EXPECT_EQ(test::FolderNames(dir.Path()),
            (std::vector<std::string>{".book.kad.tmp-Ab12C", ".book.kad.tmp-Ab12C!", ".book.kad.tmp-Zz99Yy",
                                      ".dir.tmp-ABCDEF", ".link.tmp-ABCDEF", "book.kad", "book.kad.tmp-Ab12Cd",
                                      "target"}));
  EXPECT_EQ(ReadFileBytes(dir.File("target")), "t");
  EXPECT_EQ(RemoveStaleTemporaries(Utf8ToSjis(dir.Path()), 0), 1);  // now the young one too
}

TEST(SaveGuards, WorkFoldersGoOnEveryPathOutAndStaleOnesAtTheNextStart) {
  test::TempDir tmp;
  TEnv env("TMPDIR", tmp.Path());
  std::string kept;
  {
    TWorkFolder work;
    kept = OsPath(work.Path());
    EXPECT_EQ(fs::path(kept).filename(), "KaedeTemp0");
    std::ofstream(kept + "/ken_all.lzh") << "archive";
    fs::create_directory(kept + "/sub");
    // a running work folder is not stale for another run
    EXPECT_EQ(RemoveStaleWorkFolders(), 0);
    EXPECT_TRUE(fs::exists(kept + "/ken_all.lzh"));
    try {
      TWorkFolder second;
      EXPECT_EQ(fs::path(OsPath(second.Path())).filename(), "KaedeTemp1");
      throw std::runtime_error("a failed step");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(fs::exists(tmp.Path() + "/KaedeTemp1"));
  }
  EXPECT_FALSE(fs::exists(kept));

  // left by killed runs: folders of this user that nobody holds
  fs::create_directories(tmp.Path() + "/KaedeTemp3/deep");
  std::ofstream(tmp.Path() + "/KaedeTemp3/deep/KEN_ALL.CSV") << "x";
  fs::create_directory(tmp.Path() + "/KaedeTemp7");
  // not ours by name, or a link that must not lead the removal elsewhere
  fs::create_directory(tmp.Path() + "/KaedeTempX");
  fs::create_directory(tmp.Path() + "/elsewhere");
  std::ofstream(tmp.Path() + "/elsewhere/precious") << "keep";
  fs::create_directory_symlink(tmp.Path() + "/elsewhere", tmp.Path() + "/KaedeTemp9");
  EXPECT_EQ(RemoveStaleWorkFolders(), 2);
  EXPECT_EQ(test::FolderNames(tmp.Path()), (std::vector<std::string>{"KaedeTemp9", "KaedeTempX", "elsewhere"}));
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(tmp.Path() + "/elsewhere/precious")), "keep");
}
