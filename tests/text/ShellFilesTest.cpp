#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Files.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the lifetime of the guard.
class TEnv {
public:
  TEnv(const char* name, const std::string& value) : FName(name) {
    const char* old = std::getenv(name);
    FHad = old != nullptr;
    if (FHad) FOld = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TEnv() {
    if (FHad) ::setenv(FName, FOld.c_str(), 1);
    else ::unsetenv(FName);
  }

private:
  const char* FName;
  bool FHad;
  std::string FOld;
};

std::string Slurp(const std::string& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(ShellFiles, FileBaseName) {
  EXPECT_SJ_EQ("住所録", FileBaseName(Utf8ToSjis("/home/u/データ/住所録.kad")));
  EXPECT_EQ(FileBaseName("a.b.kad"), "a");
  EXPECT_EQ(FileBaseName("/x.y/plain"), "plain");
  EXPECT_EQ(FileBaseName(""), "");
}

TEST(ShellFiles, RecycleDeleteWritesTheTrashRecordAndNumbersCollisions) {
  test::TempDir dir;
  TEnv env("XDG_DATA_HOME", dir.Path() + "/data");
  std::string book = dir.File("住所 録.kad");
  WriteFileAtomic(book, "one");
  ASSERT_TRUE(RecycleDelete(book));
  EXPECT_FALSE(FileExists(book));
  std::string trash = dir.Path() + "/data/Trash";
  EXPECT_EQ(Slurp(trash + "/files/住所 録.kad"), "one");
  std::string info = Slurp(trash + "/info/住所 録.kad.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
  // the path is percent-encoded UTF-8
  EXPECT_NE(info.find("%E4%BD%8F%E6%89%80%20%E9%8C%B2.kad\n"), std::string::npos) << info;
  EXPECT_NE(info.find("\nDeletionDate="), std::string::npos);
  // A second file of the same name gets a numbered name; the first stays.
  WriteFileAtomic(book, "two");
  ASSERT_TRUE(RecycleDelete(book));
  EXPECT_EQ(Slurp(trash + "/files/住所 録.kad"), "one");
  EXPECT_EQ(Slurp(trash + "/files/住所 録.2.kad"), "two");
  EXPECT_TRUE(fs::exists(trash + "/info/住所 録.2.kad.trashinfo"));
  EXPECT_FALSE(RecycleDelete(book));  // gone already
}

TEST(ShellFiles, MoveFileIntoCreatesTheFolderAndReplaces) {
  test::TempDir dir;
  std::string src = dir.File("a.kad");
  WriteFileAtomic(src, "new");
  std::string folder = dir.File("sub/deeper");
  ASSERT_TRUE(MoveFileInto(folder, src));
  EXPECT_EQ(Slurp(dir.Path() + "/sub/deeper/a.kad"), "new");
  WriteFileAtomic(src, "newer");
  ASSERT_TRUE(MoveFileInto(folder + "/", src));
  EXPECT_EQ(Slurp(dir.Path() + "/sub/deeper/a.kad"), "newer");
  EXPECT_FALSE(FileExists(src));
  EXPECT_FALSE(MoveFileInto(folder, src));  // nothing to move
  EXPECT_FALSE(MoveFileInto("", dir.File("sub/deeper/a.kad")));
}

TEST(ShellFiles, ListFilesSortsInCollationOrderAndSkipsFolders) {
  test::TempDir dir;
  for (const char* n : {"かとう.kad", "アオキ.kad", "b.kad", "A.kad", "メモ.txt"}) WriteFileAtomic(dir.File(n), "");
  fs::create_directory(dir.Path() + "/folder.kad");
  TStrings names;
  ListFiles(Utf8ToSjis(dir.Path() + "/"), names, "*.kad");
  std::vector<std::string> got;
  for (auto& n : names) got.push_back(SjisToUtf8(n));
  EXPECT_EQ(got, (std::vector<std::string>{"A.kad", "b.kad", "アオキ.kad", "かとう.kad"}));
  ListFiles(Utf8ToSjis(dir.Path() + "/missing"), names, "*.kad");
  EXPECT_TRUE(names.empty());
}

TEST(ShellFiles, FileAccessStates) {
  test::TempDir dir;
  std::string f = dir.File("book.kad");
  EXPECT_EQ(FileAccessState(f), 2);
  WriteFileAtomic(f, "x");
  EXPECT_EQ(FileAccessState(f), 0);
  {
    // a running address book holds the book: another sees it in use
    TFileLock lock;
    ASSERT_TRUE(lock.Acquire(f));
    EXPECT_EQ(FileAccessState(f), 1);
    TFileLock second;
    EXPECT_FALSE(second.Acquire(f));
    EXPECT_TRUE(second.Busy());
  }
  EXPECT_EQ(FileAccessState(f), 0);
  ::chmod(OsPath(f).c_str(), 0444);
  EXPECT_EQ(FileAccessState(f), 1);  // read-only, even for a user who may write anyway
  ::chmod(OsPath(f).c_str(), 0644);
  EXPECT_EQ(FileAccessState(Utf8ToSjis(dir.Path())), -1);  // a folder cannot be opened as a book
}

TEST(ShellFiles, ShellOpenPassesTheTargetAsOneArgumentWithoutAShell) {
  test::TempDir dir;
  // A stand-in opener that records its arguments, one per line.
  std::string opener = dir.Path() + "/xdg-open";
  std::ofstream(opener) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << dir.Path()
                        << "/args.tmp\"\nmv \"" << dir.Path() << "/args.tmp\" \"" << dir.Path() << "/args\"\n";
  ::chmod(opener.c_str(), 0755);
  TEnv path("PATH", dir.Path() + ":/usr/bin:/bin");
  std::string target = "mailto:a b@example.com; touch " + dir.Path() + "/pwned $(id) `id`";
  ASSERT_TRUE(ShellOpen(target));
  std::string args;
  for (int i = 0; i < 500 && !fs::exists(dir.Path() + "/args"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  args = Slurp(dir.Path() + "/args");
  EXPECT_EQ(args, target + "\n");
  EXPECT_FALSE(fs::exists(dir.Path() + "/pwned"));
  EXPECT_FALSE(ShellOpen(""));
}

TEST(ShellFiles, MyDocumentsFolderFollowsTheUserDirsSettings) {
  test::TempDir dir;
  TEnv home("HOME", dir.Path());
  TEnv config("XDG_CONFIG_HOME", dir.Path() + "/cfg");
  EXPECT_EQ(SjisToUtf8(MyDocumentsFolder()), dir.Path() + "/Documents");
  fs::create_directories(dir.Path() + "/cfg");
  std::ofstream(dir.Path() + "/cfg/user-dirs.dirs") << "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/文書\"\n";
  EXPECT_EQ(SjisToUtf8(MyDocumentsFolder()), dir.Path() + "/文書");
  std::ofstream(dir.Path() + "/cfg/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/\"\n";  // not configured
  EXPECT_EQ(SjisToUtf8(MyDocumentsFolder()), dir.Path() + "/Documents");
}

TEST(ShellFiles, WorkFoldersArePrivateAndNeverReused) {
  test::TempDir dir;
  TEnv tmp("TMPDIR", dir.Path());
  fs::create_directory(dir.Path() + "/KaedeTemp0");
  std::string a = MakeWorkFolder();
  EXPECT_EQ(SjisToUtf8(a), dir.Path() + "/KaedeTemp1");
  struct stat st;
  ASSERT_EQ(::stat(OsPath(a).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(SjisToUtf8(MakeWorkFolder()), dir.Path() + "/KaedeTemp2");
}
