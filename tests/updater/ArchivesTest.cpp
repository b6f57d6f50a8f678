#include <gtest/gtest.h>

#include <filesystem>

#include "Archives.h"
#include "Files.h"
#include "TestUtil.h"
#include "UpdaterTestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

std::string Lzh(const std::string& rel) { return test::SharedData("lzh/" + rel); }

// Every file below the folder, as paths relative to it ("/" for folders at the end).
std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> r;
  for (auto& e : fs::recursive_directory_iterator(folder))
    r.push_back(fs::relative(e.path(), folder).string() + (e.is_directory() && !e.is_symlink() ? "/" : ""));
  std::sort(r.begin(), r.end());
  return r;
}

// The file below the folder whose relative path is the given one apart from ASCII case
// (archivers of DOS times wrote names in capitals); empty when there is none.
std::string FindFile(const std::string& folder, std::string rel) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (auto& e : fs::recursive_directory_iterator(folder))
    if (lower(fs::relative(e.path(), folder).string()) == lower(rel)) return e.path().string();
  return std::string();
}

TArchiverOptions LhaOptions() {
  TArchiverOptions o;
  o.n = 1;
  o.jse = 1;
  o.jso = 1;
  return o;
}

int ExtractAll(const std::string& archive, const std::string& folder, TArchiverType type = atAutoDetect) {
  TArchiveFile a(archive);
  if (type != atAutoDetect) a.SetArchiverType(type);
  return a.Extract(nullptr, LhaOptions(), {}, folder);
}

}  // namespace

TEST(Archives, TheFormatComesFromTheExtensionWithoutRegardToCase) {
  KAEDE_NEEDS_SHARED_DATA();
  EXPECT_EQ(ArchiverTypeOfName("KEN_ALL.LZH"), atLha);
  EXPECT_EQ(ArchiverTypeOfName("dir.zip/x.Jar"), atZip);
  EXPECT_EQ(ArchiverTypeOfName("a.tar.gz"), atTgz);
  EXPECT_EQ(ArchiverTypeOfName("a.bz2"), atBZ2);
  EXPECT_EQ(ArchiverTypeOfName("a.deb"), atTar);
  EXPECT_EQ(ArchiverTypeOfName("noext"), atNone);
  // a self-extracting program is asked for its content
  test::TempDir dir;
  fs::copy_file(Lzh("lha255e/lh5.lzh"), dir.Path() + "/sfx.EXE");
  fs::copy_file(test::SharedData("kenall/ken_all_2026-06-05.zip"), dir.Path() + "/zip.exe");
  test::WriteAll(dir.Path() + "/plain.exe", std::string(4096, 'x'));
  EXPECT_EQ(ArchiverTypeOfName(dir.Path() + "/sfx.EXE"), atLha);
  EXPECT_EQ(ArchiverTypeOfName(dir.Path() + "/zip.exe"), atZip);
  EXPECT_EQ(ArchiverTypeOfName(dir.Path() + "/plain.exe"), atNone);
  // the first bytes, for a file whose name cannot be trusted
  EXPECT_EQ(SniffArchiverType("PK\x03\x04"), atZip);
  EXPECT_EQ(SniffArchiverType(std::string_view("\x20\x00-lh5-....", 11)), atLha);
  EXPECT_EQ(SniffArchiverType("<!DOCTYPE html>"), atNone);
  EXPECT_EQ(SniffArchiverType(""), atNone);
}

TEST(Archives, TheLhaCommandLineAndItsRequiredSwitches) {
  TArchiveFile a("/tmp/KaedeTemp0/ken_all.lzh");
  TArchiver& lha = *a.Archiver();
  EXPECT_EQ(lha.BuildExtractCommand(LhaOptions(), a.FileName(), {}, "/tmp/KaedeTemp0", false),
            "x -+ -n1 -jse1 -jso1 \"/tmp/KaedeTemp0/ken_all.lzh\" \"/tmp/KaedeTemp0/\"");
  // switches in their fixed order, texts quoted whole, a folder switch ending in a delimiter,
  // the owner window forcing n, members and the user's additions last
  TArchiverOptions o = LhaOptions();
  o.n = 0;
  o.a = 2;
  o.w = "/data";
  o.jx = {"*.bak", "*.tmp"};
  o.gyx = 0;
  o.UserOptions = "-q";
  o.UserFileList = "rest";
  EXPECT_EQ(lha.BuildExtractCommand(o, "a b.lzh", {"KEN_ALL.CSV"}, "out/", true),
            "x -+ -a2 -n1 \"-w/data/\" -jse1 -jso1 \"-jx*.bak\" \"-jx*.tmp\" -gyx0 -q \"a b.lzh\" \"out/\" "
            "\"KEN_ALL.CSV\" rest");

  // a missing jse or jso stops before the library is called
  test::TempDir dir;
  for (int which = 0; which < 2; ++which) {
    TArchiverOptions bad = LhaOptions();
    (which == 0 ? bad.jse : bad.jso) = -1;
    try {
      a.Extract(nullptr, bad, {}, dir.Path() + "/out");
      FAIL();
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), which == 0 ? "jse オプションが設定されていません。" : "jso オプションが設定されていません。");
    }
  }
  EXPECT_FALSE(fs::exists(dir.Path() + "/out"));
}

TEST(Archives, FormatsWithoutALibraryAndOperationsWithoutSupportSayWhy) {
  test::TempDir dir;
  auto message = [&](auto f) {
    try {
      f();
    } catch (const EArchiver& e) {
      return SjisToUtf8(e.Message());
    }
    return std::string("no error");
  };
  test::WriteAll(dir.Path() + "/old.arj", "\x60\xEA");
  TArchiveFile arj(dir.Path() + "/old.arj");
  EXPECT_EQ(message([&] { arj.Extract(nullptr, LhaOptions(), {}, dir.Path()); }),
            "ARJ 形式書庫 を扱うには UNARJ32J.DLL が 必要です。");
  TArchiveFile none(dir.Path() + "/x.txt");
  EXPECT_EQ(message([&] { none.Extract({}, dir.Path()); }), "書庫の形式を判別できません。");
  TArchiveFile gca(dir.Path() + "/x.gca");
  EXPECT_EQ(gca.ArchiverType(), atGCA);
  EXPECT_EQ(message([&] { gca.Extract({}, dir.Path()); }), "書庫の形式を判別できません。");
  EXPECT_EQ(message([&] { gca.SetArchiverType(atBel); }), "書庫の形式を特定できませんでした。");
  TArchiveFile lha("x.lzh");
  EXPECT_EQ(message([&] { lha.Pack(); }), "この形式では書庫ファイルの作成をサポートしておりません。");
  TArchiveFile zip("x.zip");
  EXPECT_EQ(message([&] { zip.Pack(); }), "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。");
}

TEST(Archives, EverySupportedLhaMethodAndHeaderLevelGivesTheReferenceText) {
  KAEDE_NEEDS_SHARED_DATA();
  const std::string reference = test::ReadAll(Lzh("gpl-2.reference.txt"));
  int checked = 0;
  for (const char* set : {"explzh_723", "lha255e", "lha_unix114i"}) {
    for (auto& e : fs::directory_iterator(Lzh(set))) {
      std::string name = e.path().filename().string();
      bool stored = name.find("lh0") != std::string::npos;
      if (name.find("_long") != std::string::npos) continue;
      if (name.find("lh0") == std::string::npos && name.find("lh5") == std::string::npos &&
          name.find("lh6") == std::string::npos && name.find("lh7") == std::string::npos)
        continue;
      test::TempDir dir;
      ASSERT_EQ(ExtractAll(e.path().string(), dir.Path()), 0) << name;
      ASSERT_EQ(Tree(dir.Path()).size(), 1u) << name;
      std::string file = FindFile(dir.Path(), stored ? "gpl-2.gz" : "gpl-2");
      ASSERT_FALSE(file.empty()) << name;
      if (stored) {
        // the stored member is gpl-2.gz; its gzip stream unpacks through the same component
        ASSERT_EQ(ExtractAll(file, dir.Path() + "/gz"), 0) << name;
        file = FindFile(dir.Path() + "/gz", "gpl-2");
      }
      EXPECT_EQ(test::ReadAll(file), reference) << name;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 26);
  // the long -lh6- and -lh7- members agree with each other
  test::TempDir l6, l7;
  ASSERT_EQ(ExtractAll(Lzh("lha_unix114i/lh6_long.lzh"), l6.Path()), 0);
  ASSERT_EQ(ExtractAll(Lzh("lha_unix114i/lh7_long.lzh"), l7.Path()), 0);
  std::string long6 = test::ReadAll(l6.Path() + "/long.txt");
  EXPECT_EQ(long6.size(), 1241658u);
  EXPECT_EQ(long6, test::ReadAll(l7.Path() + "/long.txt"));
  // folders come out as folders, also from an archive that marks them read-only
  for (const char* sub : {"lha255e/subdir.lzh", "lha_unix114i/h1_subdir.lzh", "explzh_723/h2_subdir.lzh"}) {
    test::TempDir dir;
    EXPECT_EQ(ExtractAll(Lzh(sub), dir.Path()), 0) << sub;
    EXPECT_EQ(test::ReadAll(FindFile(dir.Path(), "subdir/subdir2/hello.txt")).substr(0, 5), "hello") << sub;
  }
}

TEST(Archives, UnsupportedMethodsAndTruncatedArchivesFailAndLeaveNoFile) {
  KAEDE_NEEDS_SHARED_DATA();
  for (const char* bad : {"unlha32/lh2.lzh", "unlha32/lh3.lzh", "unlha32/h2_lhx.lzh", "unlha32/lhx_long.lzh"}) {
    test::TempDir dir;
    EXPECT_NE(ExtractAll(Lzh(bad), dir.Path()), 0) << bad;
    EXPECT_TRUE(Tree(dir.Path()).empty()) << bad;
  }
  test::TempDir dir;
  for (const std::string& whole : {Lzh("lha_unix114i/h1_lh5.lzh"), test::SharedData("kenall/ken_all_2026-06-05.zip"),
                                   Lzh("lha_unix114i/lh7_long.lzh")}) {
    std::string data = test::ReadAll(whole);
    // every cut loses part of the member's data (a ZIP that loses only its directory still
    // gives its members whole, checked against their CRC)
    for (size_t keep : {data.size() / 2, data.size() * 9 / 10, size_t(10)}) {
      std::string cut = dir.Path() + "/cut" + fs::path(whole).extension().string();
      test::WriteAll(cut, data.substr(0, keep));
      test::TempDir out;
      EXPECT_NE(ExtractAll(cut, out.Path()), 0) << whole << " " << keep;
      EXPECT_TRUE(Tree(out.Path()).empty()) << whole << " " << keep;
    }
  }
}

TEST(Archives, HostileMembersNeverReachOutsideTheFolder) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir root, archives;
  std::string outside = root.Path() + "/outside";
  std::string into = root.Path() + "/into";
  fs::create_directory(outside);
  fs::create_directory(into);
  auto check = [&](const std::string& archive, const std::vector<std::string>& expected) {
    SCOPED_TRACE(archive);
    TArchiveFile a(archive);
    EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {}, into), arcUnsafeMember);
    EXPECT_EQ(Tree(into), expected);
    EXPECT_TRUE(Tree(outside).empty());
    EXPECT_EQ(Tree(root.Path()).size(), 2 + expected.size());  // into/, outside/ and what is inside into
    fs::remove_all(into);
    fs::create_directory(into);
  };
  for (const char* format : {"pax", "zip"}) {
    std::string name = archives.Path() + "/hostile." + (std::string(format) == "zip" ? "zip" : "tar");
    test::WriteArchive(name, format,
                       {{"../outside/up.txt", "x"},
                        {outside + "/absolute.txt", "x"},
                        {"link", "", test::TArchiveEntry::Symlink, outside},
                        {"link/through.txt", "x"},
                        {"hard", "", test::TArchiveEntry::Hardlink, "/etc/hostname"},
                        {"sub/./../../outside/dots.txt", "x"},
                        {"good.txt", "fine"}});
    // "link" is refused, so link/through.txt lands in a real folder inside; a ZIP cannot hold
    // a hard link and stores "hard" as an empty file
    if (std::string(format) == "zip") check(name, {"good.txt", "hard", "link/", "link/through.txt"});
    else check(name, {"good.txt", "link/", "link/through.txt"});
  }
  // LHA names with DOS separators, and Unix symbolic links of the sample archives
  std::string lha = archives.Path() + "/hostile.lzh";
  test::WriteAll(lha, test::LhaStored({{"..\\outside\\up.txt", "x"}, {"\\abs.txt", "x"}, {"C:\\drive.txt", "x"},
                                       {"ok.txt", "fine"}}));
  check(lha, {"ok.txt"});
  for (const char* link : {"h0_symlink.lzh", "h1_symlink.lzh", "h1_symlink2.lzh", "h1_symlink3.lzh", "h2_symlink3.lzh"})
    check(Lzh(std::string("lha_unix114i/") + link), {});
}

TEST(Archives, OnlyTheRequestedMemberFoundWithoutRegardToCase) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  std::string arc = dir.Path() + "/a.zip";
  test::WriteArchive(arc, "zip", {{"KEN_ALL.CSV", "csv"}, {"readme.txt", "r"}, {"../evil", "e"}});
  TArchiveFile a(arc);
  std::string out = dir.Path() + "/out";
  EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {"ken_all.csv"}, out), 0);
  EXPECT_EQ(Tree(out), std::vector<std::string>{"KEN_ALL.CSV"});
  EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {"missing.csv"}, out), arcMemberNotFound);
  // members in folders are named with "/" or "\"
  std::string sub = dir.Path() + "/sub";
  EXPECT_EQ(TArchiveFile(Lzh("lha255e/subdir.lzh")).Extract(nullptr, LhaOptions(), {"SUBDIR\\subdir2\\HELLO.TXT"}, sub), 0);
  EXPECT_FALSE(FindFile(sub, "subdir/subdir2/hello.txt").empty());
}

TEST(Archives, JapaneseMemberNamesOfLhaAreReadAsCp932) {
  test::TempDir dir;
  std::string arc = dir.Path() + "/jp.lzh";
  test::WriteAll(arc, test::LhaStored({{Utf8ToSjis("住所録\\表示.txt"), "data"}}));
  TArchiveFile a(arc);
  std::vector<std::string> seen;
  a.OnEnumMember = [&](TArchiveFile*, const TMemberInfo& m, bool&) { seen.push_back(SjisToUtf8(m.Name)); };
  a.OutputSize = 256;
  EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {}, dir.Path() + "/out"), 0);
  EXPECT_EQ(seen, std::vector<std::string>{"住所録/表示.txt"});
  EXPECT_EQ(test::ReadAll(dir.Path() + "/out/住所録/表示.txt"), "data");
  EXPECT_NE(SjisToUtf8(a.Output()).find("住所録/表示.txt"), std::string::npos);
  // the member is found by its CP932 name too
  EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {Utf8ToSjis("住所録/表示.txt")}, dir.Path() + "/one"), 0);
}

TEST(Archives, SizeLimitAndAbortLeaveNoHalfFile) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  TArchiveFile a(Lzh("lha_unix114i/h1_lh5.lzh"));
  a.MaxMemberSize = 1000;
  EXPECT_EQ(a.Extract(nullptr, LhaOptions(), {}, dir.Path()), arcTooLarge);
  EXPECT_TRUE(Tree(dir.Path()).empty());
  // a member that does not say its size is stopped while it is written
  std::string gz = dir.Path() + "/big.gz";
  test::WriteArchive(gz, "raw", {{"big", std::string(100000, 'a')}}, "gzip");
  TArchiveFile g(gz);
  g.MaxMemberSize = 5000;
  EXPECT_EQ(g.Extract({}, dir.Path() + "/gz"), arcTooLarge);
  EXPECT_TRUE(Tree(dir.Path() + "/gz").empty());
  // a progress handler sees the member start and can stop it; n becomes 1 in the command
  a.MaxMemberSize = int64_t(1) << 30;
  std::vector<int> states;
  a.OnProgress = [&](TArchiveFile*, int state, const TExtractingInfo& info, bool& abort) {
    states.push_back(state);
    EXPECT_EQ(info.MemberName, "gpl-2");
    abort = state == 1;
  };
  TArchiverOptions o = LhaOptions();
  o.n = -1;
  EXPECT_EQ(a.Extract(nullptr, o, {}, dir.Path() + "/p"), arcAborted);
  EXPECT_EQ(states, (std::vector<int>{0, 1}));
  EXPECT_NE(a.LastCommand().find(" -n1 "), std::string::npos);
  EXPECT_TRUE(Tree(dir.Path() + "/p").empty());
}
