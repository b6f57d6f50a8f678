#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "AppPaths.h"
#include "Archives.h"
#include "CommaText.h"
#include "Files.h"
#include "KenAllConverter.h"
#include "PostalDatas.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// A small dictionary with the cases the look-ups must tell apart: an entry with an empty
// town, a code shared by two towns, a ward 北区 of Tokyo before 大阪市北区, two cities named
// 府中市 in different prefectures, and a town with a note.
TPostalLists SmallLists() {
  TPostalLists l;
  for (const char* p : {"1000000", "1000001千代田", "1020072飯田橋", "1140001東十条", "1140002王子", "1830023宮町",
                        "5300001梅田", "5300002曽根崎新地", "7260002鵜飼町", "0720819共練町東", "0720819共練町西",
                        "0600042大通西（１～１９丁目）"})
    l.Postal.push_back(S(p));
  l.Ken = {RangeLine(0, S("東京都")), RangeLine(6, S("大阪府")), RangeLine(8, S("広島県")), RangeLine(9, S("北海道"))};
  l.City = {RangeLine(0, S("千代田区")), RangeLine(3, S("北区")),     RangeLine(5, S("府中市")),
            RangeLine(6, S("大阪市北区")), RangeLine(8, S("府中市")), RangeLine(9, S("美唄市")),
            RangeLine(11, S("札幌市中央区"))};
  return l;
}

struct TResult {
  std::string Text;  // UTF-8, lines joined by "|"
  int Count;
};

TResult Postal(TPostalData& d, const char* code) {
  int count = -1;
  std::string r = d.PostalToAddress(S(code), count);
  return {ReplaceStrAll(SjisToUtf8(r), "\r\n", "|"), count};
}

TResult Address(TPostalData& d, const char* address) {
  int count = -1;
  std::string r = d.AddressToPostal(S(address), count);
  return {ReplaceStrAll(SjisToUtf8(r), "\r\n", "|"), count};
}

class SmallDictionary : public ::testing::Test {
protected:
  void SetUp() override {
    SavePostalFiles(Dir.Path(), SmallLists());
    Data = std::make_unique<TPostalData>(std::vector<std::string>{Dir.Path()});
  }
  test::TempDir Dir;
  std::unique_ptr<TPostalData> Data;
};

}  // namespace

TEST_F(SmallDictionary, FilesAreCp932LinesWithCrLfAndPaddedIndexes) {
  std::string ken = ReadFileBytes(Dir.Path() + "/Ken.dat");
  EXPECT_EQ(ken.substr(0, 6), "     0");
  EXPECT_EQ(ken.substr(ken.size() - 2), "\r\n");
  EXPECT_EQ(SjisToUtf8(ken), "     0東京都\r\n     6大阪府\r\n     8広島県\r\n     9北海道\r\n");
  // nothing but the three files is left behind
  int files = 0;
  for (auto& e : fs::directory_iterator(Dir.Path())) (void)e, ++files;
  EXPECT_EQ(files, 3);
}

TEST_F(SmallDictionary, PostalCodeGivesPrefectureCityAndTown) {
  EXPECT_EQ(Postal(*Data, "1000001").Text, "東京都千代田区千代田");
  // a hyphen anywhere is ignored; anything but seven bytes finds nothing
  EXPECT_EQ(Postal(*Data, "100-0001").Text, "東京都千代田区千代田");
  EXPECT_EQ(Postal(*Data, "10-00-001").Count, 1);
  for (const char* none : {"10000011", "100001", "", "１０００００１", "9999999"}) {
    TResult r = Postal(*Data, none);
    EXPECT_EQ(r.Count, 0) << none;
    EXPECT_EQ(r.Text, "") << none;
  }
  // an entry with an empty town gives the prefecture and city alone
  EXPECT_EQ(Postal(*Data, "1000000").Text, "東京都千代田区");
  // a shared code gives one candidate per entry, in file order
  TResult shared = Postal(*Data, "072-0819");
  EXPECT_EQ(shared.Text, "北海道美唄市共練町東|北海道美唄市共練町西");
  EXPECT_EQ(shared.Count, 2);
}

TEST_F(SmallDictionary, AddressLookupFollowsTheCityRangeAndItsReplacementRule) {
  // a block number after the town still matches
  EXPECT_EQ(Address(*Data, "東京都千代田区千代田１－２－３").Text, "1000001 東京都千代田区千代田");
  // the city-level entry is replaced by the next matching entry that contains it; the entry
  // after that does not contain its predecessor and is listed beside it
  TResult city = Address(*Data, "東京都千代田区");
  EXPECT_EQ(city.Text, "1000001 東京都千代田区千代田|1020072 東京都千代田区飯田橋");
  EXPECT_EQ(city.Count, 2);
  // a stored note matches only an input contained in the stored text, and is repeated
  EXPECT_EQ(Address(*Data, "北海道札幌市中央区大通西").Text,
            "0600042 北海道札幌市中央区大通西（１～１９丁目） （１～１９丁目）");
  EXPECT_EQ(Address(*Data, "北海道札幌市中央区大通西５丁目").Count, 0);
  // no city, no result
  EXPECT_EQ(Address(*Data, "東京都").Count, 0);
  EXPECT_EQ(Address(*Data, "").Count, 0);
}

TEST_F(SmallDictionary, TheCityIsTheLongestContainedNamePreferringThePrefecture) {
  // 北区 of Tokyo comes first in City.dat but 大阪市北区 is the city meant
  EXPECT_EQ(Address(*Data, "大阪府大阪市北区梅田").Text, "5300001 大阪府大阪市北区梅田");
  EXPECT_EQ(Address(*Data, "大阪市北区曽根崎新地１丁目").Text, "5300002 大阪市北区曽根崎新地");
  // two cities 府中市: the prefecture decides, and without one the first in file order
  EXPECT_EQ(Address(*Data, "広島県府中市鵜飼町").Text, "7260002 広島県府中市鵜飼町");
  EXPECT_EQ(Address(*Data, "府中市宮町２丁目").Text, "1830023 府中市宮町");
  // a prefecture whose cities do not occur: the longest contained name elsewhere is taken
  EXPECT_EQ(Address(*Data, "広島県北区王子").Text, "1140002 広島県北区王子");
}

TEST(PostalData, RangesOutOfOrderAreReadAsAScanFromTheTopReadsThem) {
  test::TempDir dir;
  TPostalLists l;
  for (int i = 0; i < 12; ++i) l.Postal.push_back("100000" + std::to_string(i % 10));
  l.Ken = {RangeLine(2, "A"), RangeLine(0, "B"), RangeLine(6, "C"), RangeLine(4, "D"), RangeLine(9, "E")};
  l.City = {RangeLine(0, "x")};
  SavePostalFiles(dir.Path(), l);
  TPostalData data({dir.Path()});
  ASSERT_TRUE(data.LoadData());
  TPostalScan scan(data);
  for (int i = -1; i < 14; ++i) EXPECT_EQ(data.PrefectureOf(i), scan.PrefectureOf(i)) << i;
  EXPECT_EQ(data.PrefectureOf(1), "");  // the scan stops at once: 2 > 1
  EXPECT_EQ(data.PrefectureOf(5), "B");
  EXPECT_EQ(data.PrefectureOf(100), "E");  // the last range runs to the end
}

TEST(PostalData, NamesNeverMatchAcrossACharacterBoundary) {
  // ° (0x81 0x8B) and 襦 (0xE6 0x40) are two characters whose middle bytes spell 区 (0x8B 0xE6)
  std::string input = "\x81\x8B\xE6\x40";
  ASSERT_TRUE(IsValidSjis(input));
  test::TempDir dir;
  TPostalLists l;
  l.Postal = {"1234567"};
  l.Ken = {RangeLine(0, S("東京都"))};
  l.City = {RangeLine(0, "\x8B\xE6")};
  SavePostalFiles(dir.Path(), l);
  TPostalData data({dir.Path()});
  int count = -1;
  EXPECT_EQ(data.AddressToPostal(input, count), "");
  EXPECT_EQ(count, 0);
  TPostalScan scan(data);
  EXPECT_EQ(scan.AddressToPostal(input, count), "");
  EXPECT_EQ(data.AddressToPostal(S("区"), count), S("1234567 区"));
}

TEST(PostalData, MissingFilesGiveNothingUntilTheyAppear) {
  test::TempDir dir;
  TPostalData data({dir.Path() + "/none", dir.Path()});
  int count = -1;
  EXPECT_EQ(data.PostalToAddress("1000001", count), "");
  EXPECT_EQ(count, 0);
  EXPECT_EQ(data.AddressToPostal(S("東京都千代田区"), count), "");
  EXPECT_FALSE(data.Loaded());
  // two of three files are not a dictionary
  TPostalLists l = SmallLists();
  SavePostalFiles(dir.Path(), l);
  fs::remove(dir.Path() + "/City.dat");
  EXPECT_EQ(data.PostalToAddress("1000001", count), "");
  EXPECT_FALSE(data.Loaded());
  // the next look-up after the files appear loads them
  SavePostalFiles(dir.Path(), l);
  EXPECT_EQ(SjisToUtf8(data.PostalToAddress("1000001", count)), "東京都千代田区千代田");
  EXPECT_TRUE(data.Loaded());
  EXPECT_EQ(data.Folder(), dir.Path() + "/");
}

TEST(PostalData, AMalformedRangeLineNamesFileAndLineAndLoadsNothing) {
  test::TempDir dir;
  TPostalLists l = SmallLists();
  l.City[2] = "   x5" + S("府中市");
  SavePostalFiles(dir.Path(), l);
  TPostalData data({dir.Path()});
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      int count;
      data.PostalToAddress("1000001", count);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.FileName(), dir.Path() + "/City.dat");
      EXPECT_EQ(e.LineNo(), 3);
    }
    EXPECT_FALSE(data.Loaded());
    EXPECT_TRUE(data.Lists().Postal.empty());
  }
  // an empty range line is not a number either
  l = SmallLists();
  l.Ken.push_back("");
  SavePostalFiles(dir.Path(), l);
  EXPECT_THROW(data.LoadData(), Exception);
  // a file far larger than any dictionary is refused before it is read into memory
  SavePostalFiles(dir.Path(), SmallLists());
  fs::resize_file(dir.Path() + "/Postal.dat", kMaxPostalFileSize + 1);  // sparse: costs no disk
  EXPECT_THROW(data.LoadData(), EFileError);
  EXPECT_FALSE(data.Loaded());
  // once repaired, the dictionary loads
  SavePostalFiles(dir.Path(), SmallLists());
  EXPECT_TRUE(data.LoadData());
}

TEST(PostalData, AFailedSaveKeepsTheWholeOldDictionary) {
  test::TempDir dir;
  SavePostalFiles(dir.Path(), SmallLists());
  std::string oldKen = ReadFileBytes(dir.Path() + "/Ken.dat");
  std::string oldPostal = ReadFileBytes(dir.Path() + "/Postal.dat");
  // Postal.dat.new cannot be made: Ken.dat and City.dat must not be replaced either
  fs::create_directory(dir.Path() + "/Postal.dat.new");
  fs::create_directory(dir.Path() + "/Postal.dat.new/keep");
  TPostalLists l;
  l.Postal = {"9999999"};
  l.Ken = {RangeLine(0, "X")};
  l.City = {RangeLine(0, "Y")};
  EXPECT_THROW(SavePostalFiles(dir.Path(), l), EFileError);
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/Ken.dat"), oldKen);
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/Postal.dat"), oldPostal);
  EXPECT_FALSE(fs::exists(dir.Path() + "/Ken.dat.new"));
  EXPECT_FALSE(fs::exists(dir.Path() + "/City.dat.new"));
  // a missing folder is created
  SavePostalFiles(dir.Path() + "/a/b", l);
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/a/b/Postal.dat"), "9999999\r\n");
}

TEST(AppPaths, TheDictionaryGoesBesideAWritableProgramOrIntoTheUserFolder) {
  test::TempDir dir;
  ::setenv("XDG_DATA_HOME", (dir.Path() + "/data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (dir.Path() + "/config").c_str(), 1);
  std::string program = ProgramFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), '/');
  EXPECT_TRUE(FileExists(program + "postal_tests"));
  EXPECT_EQ(UserDataFolder(), dir.Path() + "/data/KaedeAddress/");
  EXPECT_EQ(SettingsFileName("KaedeZip"), dir.Path() + "/config/KaedeProject/KaedeZip.ini");
  // writable program folder: written and read there first
  EXPECT_EQ(DictionaryFolder(dir.Path()), dir.Path() + "/");
  EXPECT_EQ(DictionaryFolders(dir.Path()), (std::vector<std::string>{dir.Path() + "/", UserDataFolder()}));
  // a program folder that cannot be written: the user's folder first, then the program's
  std::string locked = dir.Path() + "/missing/";
  EXPECT_EQ(DictionaryFolder(locked), UserDataFolder());
  EXPECT_EQ(DictionaryFolders(locked), (std::vector<std::string>{UserDataFolder(), locked}));
  // the bin/ folder of an installed copy is never written, even when it may be (root, ~/.local)
  fs::create_directories(dir.Path() + "/usr/bin");
  fs::create_directories(dir.Path() + "/usr/share/KaedeAddress");
  EXPECT_EQ(DictionaryFolder(dir.Path() + "/usr/bin/"), UserDataFolder());
  EXPECT_EQ(DictionaryFolders(dir.Path() + "/usr/bin"), (std::vector<std::string>{UserDataFolder(), dir.Path() + "/usr/bin/"}));
  ::unsetenv("XDG_DATA_HOME");
  ::unsetenv("XDG_CONFIG_HOME");
}

// ---- The national file -----------------------------------------------------------------

namespace {

// The dictionary of the full national file, converted once for the test program.
class NationalFile : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!test::HaveSharedData()) return;
    Dir = new test::TempDir;
    TArchiveFile zip(test::SharedData("kenall/ken_all_2026-06-05.zip"));
    ASSERT_EQ(zip.Extract({"KEN_ALL.CSV"}, Dir->Path()), 0);
    TStrings records;
    SplitLines(ReadFileBytes(Dir->Path() + "/KEN_ALL.CSV"), records);
    TPostalLists lists;
    ASSERT_TRUE(ConvertKenAll(records, lists));
    SavePostalFiles(Dir->Path(), lists);
    Data = new TPostalData({Dir->Path()});
    ASSERT_TRUE(Data->LoadData());
  }
  static void TearDownTestSuite() {
    delete Data;
    delete Dir;
  }
  static test::TempDir* Dir;
  static TPostalData* Data;
};
test::TempDir* NationalFile::Dir = nullptr;
TPostalData* NationalFile::Data = nullptr;

}  // namespace

TEST_F(NationalFile, KnownCodesAndAddresses) {
  KAEDE_NEEDS_SHARED_DATA();
  EXPECT_EQ(Postal(*Data, "1000001").Text, "東京都千代田区千代田");
  TResult sapporo = Postal(*Data, "060-0000");
  EXPECT_EQ(sapporo.Text, "北海道札幌市中央区");
  EXPECT_EQ(sapporo.Count, 1);
  // a town name split over several records comes back whole
  EXPECT_EQ(Postal(*Data, "0660005").Text,
            "北海道千歳市協和（８８－２、２７１－１０、３４３－２、４０４－１、４２７－３、４３１－１２、４４３－６、"
            "６０８－２、６４１－８、８１４、８４２－５、１１３７－３、１３９２、１６５７、１７５２番地）");
  // towns that share a code stay apart
  EXPECT_EQ(Postal(*Data, "0720819").Text, "北海道美唄市共練町東|北海道美唄市共練町西");
  EXPECT_EQ(Postal(*Data, "4520961").Count, 66);
  EXPECT_EQ(Address(*Data, "大阪府大阪市北区梅田1-2").Text, "5300001 大阪府大阪市北区梅田");
  EXPECT_EQ(Address(*Data, "東京都北区赤羽台").Text, "1150053 東京都北区赤羽台");
}

TEST_F(NationalFile, IndexedLookupsAgreeWithTheScans) {
  KAEDE_NEEDS_SHARED_DATA();
  TPostalScan scan(*Data);
  const TStrings& postal = Data->Lists().Postal;
  int n = static_cast<int>(postal.size());
  for (int i = 0; i < n; i += 41) {
    ASSERT_EQ(Data->PrefectureOf(i), scan.PrefectureOf(i)) << i;
    ASSERT_EQ(Data->CityOf(i), scan.CityOf(i)) << i;
  }
  int a = 0, b = 0;
  std::vector<std::string> codes = {"0000000", "abcdefg", "100-00011", "999-9999"};
  for (int i = 0; i < n; i += 397) codes.push_back(postal[static_cast<size_t>(i)].substr(0, 3) + "-" + postal[static_cast<size_t>(i)].substr(3, 4));
  for (const std::string& code : codes) ASSERT_EQ(Data->PostalToAddress(code, a), scan.PostalToAddress(code, b)) << code;
  // addresses as people type them: with and without the prefecture, with a block number, cut
  // before a note, and a city alone
  int found = 0;
  for (int i = 0; i < n; i += 661) {
    std::string p = Data->PrefectureOf(i), c = Data->CityOf(i), town = postal[static_cast<size_t>(i)].substr(7);
    std::string cut = LeftOf(town, SJ("（"));
    for (const std::string& input : {p + c + cut + SJ("１－２－３"), c + cut, p + c, p + c + town}) {
      std::string indexed = Data->AddressToPostal(input, a);
      ASSERT_EQ(indexed, scan.AddressToPostal(input, b)) << SjisToUtf8(input);
      ASSERT_EQ(a, b);
      found += a > 0;
    }
  }
  EXPECT_GT(found, 500);
}
