// The three dictionary files are replaced as one set: never a new Ken.dat beside an old
// Postal.dat, also when a replacement fails or was killed part way.
#include <gtest/gtest.h>

#include <filesystem>

#include "Files.h"
#include "PostalDatas.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

TPostalLists Set(const std::string& tag) {
  TPostalLists l;
  l.Postal = {"1000001" + tag};
  l.Ken = {RangeLine(0, "K" + tag)};
  l.City = {RangeLine(0, "C" + tag)};
  return l;
}

// The tag of each file ("old", "new"), read from the folder.
std::vector<std::string> Tags(const std::string& dir) {
  std::vector<std::string> r;
  for (const char* name : {"Ken.dat", "City.dat", "Postal.dat"}) {
    std::string text = ReadFileBytes(Utf8ToSjis(dir + "/" + name));
    r.push_back(text.substr(7, text.size() - 9));  // after the index or the code, before CR LF
  }
  return r;
}

const std::vector<std::string> kFiles{"City.dat", "Ken.dat", "Postal.dat"};

}  // namespace

TEST(PostalFileSets, AFileThatCannotBeReplacedLeavesTheWholeOldSet) {
  test::TempDir dir;
  SavePostalFiles(dir.Path(), Set("old"));
  EXPECT_EQ(Tags(dir.Path()), (std::vector<std::string>{"old", "old", "old"}));
  // Postal.dat cannot be replaced: something else took its name
  fs::rename(dir.Path() + "/Postal.dat", dir.Path() + "/kept");
  fs::create_directories(dir.Path() + "/Postal.dat/inside");
  EXPECT_THROW(SavePostalFiles(dir.Path(), Set("new")), EFileError);
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(dir.Path() + "/Ken.dat")), RangeLine(0, "Kold") + "\r\n");
  EXPECT_EQ(ReadFileBytes(Utf8ToSjis(dir.Path() + "/City.dat")), RangeLine(0, "Cold") + "\r\n");
  EXPECT_TRUE(fs::is_directory(dir.Path() + "/Postal.dat/inside"));
  EXPECT_EQ(test::FolderNames(dir.Path()), (std::vector<std::string>{"City.dat", "Ken.dat", "Postal.dat", "kept"}));
}

TEST(PostalFileSets, AReplacementCutShortIsFinishedOrUndoneByTheNextSaveOrRead) {
  test::TempDir dir;
  const std::string d = dir.Path() + "/";
  auto plant = [&](const std::string& file, const std::string& text) { WriteFileAtomic(Utf8ToSjis(d + file), text); };
  auto line = [](const std::string& file, const std::string& tag) {
    return (file == "Postal.dat" ? "1000001" + tag : RangeLine(0, (file == "Ken.dat" ? "K" : "C") + tag)) + "\r\n";
  };
  struct TCase {
    const char* Name;
    std::string Marker;        // empty: none
    std::vector<bool> Renamed;  // the new file already has the name
    std::vector<std::string> Expected;
  } cases[] = {
      // killed while the new files were written: they go, the old set stays
      {"writing", "", {false, false, false}, {"old", "old", "old"}},
      // killed during the renames: the rest follows
      {"renaming", "forward 111", {true, false, false}, {"new", "new", "new"}},
      {"renaming, no old set", "forward 000", {true, true, false}, {"new", "new", "new"}},
      // killed while a failed replacement was being undone
      {"undoing", "back 111", {true, true, false}, {"old", "old", "old"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(dir.Path());
    fs::create_directory(dir.Path());
    bool hadOld = c.Marker.empty() || c.Marker.back() == '1';
    for (size_t i = 0; i < 3; ++i) {
      const std::string& f = kFiles[i == 0 ? 1 : i == 1 ? 0 : 2];  // Ken, City, Postal
      if (c.Renamed[i]) {
        plant(f, line(f, "new"));
        if (hadOld) plant(f + ".old", line(f, "old"));
      } else {
        if (hadOld) {
          plant(f, line(f, "old"));
          fs::create_hard_link(d + f, d + f + ".old");
        }
        plant(f + ".new", line(f, "new"));
      }
    }
    if (!c.Marker.empty()) plant(".postal-replace", c.Marker);
    // a reader finishes it before it reads
    TPostalData data({Utf8ToSjis(dir.Path())});
    ASSERT_TRUE(data.LoadData());
    EXPECT_EQ(Tags(dir.Path()), c.Expected);
    EXPECT_EQ(test::FolderNames(dir.Path()), kFiles);
  }
  // the next save finishes one as well, and then writes its own set
  plant("Ken.dat.new", line("Ken.dat", "half"));
  SavePostalFiles(dir.Path(), Set("next"));
  EXPECT_EQ(Tags(dir.Path()), (std::vector<std::string>{"next", "next", "next"}));
  EXPECT_EQ(test::FolderNames(dir.Path()), kFiles);
}
