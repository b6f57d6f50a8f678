#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "AppOptions.h"
#include "BaseOptions.h"
#include "Files.h"
#include "HistoryLists.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;
using test::ConfigHome;

namespace {

// An option record with one value of each kind.
class TSample : public TBaseOption {
public:
  std::string Name;
  int Width = 150;
  bool Visible = false;
  double Margin = 12.5;

  void CreateFields() override {
    TBaseOption::CreateFields();
    Section = "Sample";
  }
  void Clear() override {
    Name.clear();
    Width = 150;
    Visible = false;
    Margin = 12.5;
  }
  void ReadSection(TSettingsStore& s, const std::string& sec) override {
    Name = s.ReadString(sec, "Name", "");
    Width = s.ReadInteger(sec, "Width", 150);
    Visible = s.ReadBool(sec, "Visible", false);
    Margin = s.ReadFloat(sec, "Margin", 12.5);
  }
  void WriteSection(TSettingsStore& s, const std::string& sec) override {
    if (!Name.empty()) s.WriteString(sec, "Name", Name);
    if (Width != 150) s.WriteInteger(sec, "Width", Width);
    if (Visible) s.WriteBool(sec, "Visible", Visible);
    if (Margin != 12.5) s.WriteFloat(sec, "Margin", Margin);
  }
};

}  // namespace

TEST(Settings, DefaultsLeaveTheSectionEmptyAndEveryValueRoundTrips) {
  ConfigHome home;
  TSample* o = TDataItem::Make<TSample>();
  o->Name = SJ("山田\"太郎\", 様 | a\\b\r\nnext");
  o->Width = -7;
  o->Visible = true;
  o->Margin = 0.1;
  o->SaveToRegistry("Test", "");
  TSample* back = TDataItem::Make<TSample>();
  EXPECT_TRUE(back->LoadFromRegistry("Test", ""));
  EXPECT_EQ(back->Name, o->Name);
  EXPECT_EQ(back->Width, -7);
  EXPECT_TRUE(back->Visible);
  EXPECT_EQ(back->Margin, 0.1);
  // back to the defaults: the section stays, empty
  o->Clear();
  o->SaveToRegistry("Test", "");
  auto store = TSettingsStore::OpenRegistry("Test");
  EXPECT_TRUE(store->SectionExists("Sample"));
  EXPECT_TRUE(store->Keys("Sample").empty());
  // a missing section leaves the fields as they are
  back->Width = 99;
  EXPECT_FALSE(back->LoadFromRegistry("Test", "Other"));
  EXPECT_EQ(back->Width, 99);
  o->Free();
  back->Free();
}

TEST(Settings, CorruptFilesLoadWhatTheyCanAndKeepWhatTheyCannot) {
  ConfigHome home;
  fs::create_directories(fs::path(home.File("Test")).parent_path());
  static const char kGarbage[] =
      "ExeName=/opt/kaede/KaedeAddress\r\n[Sample]\r\nWidth=abc\r\nno equals sign here\r\n"
      "\x01\x02\xff\xfe\x00\x81=\r\nVisible=1\r\nMargin=1e999\r\n[Other]\r\nKeep=me\r\n[Trunc";
  std::string garbage(kGarbage, sizeof kGarbage - 1);  // with its zero byte, without the last
  WriteFileAtomic(Utf8ToSjis(home.File("Test")), garbage);
  TSample* o = TDataItem::Make<TSample>();
  EXPECT_TRUE(o->LoadFromRegistry("Test", ""));
  EXPECT_EQ(o->Width, 150);    // not a number: the default
  EXPECT_TRUE(o->Visible);     // what could be read was read
  EXPECT_EQ(o->Margin, 12.5);  // out of range: the default
  auto store = TSettingsStore::OpenRegistry("Test");
  EXPECT_EQ(store->ReadString("", "ExeName", ""), "/opt/kaede/KaedeAddress");
  o->Width = 200;
  o->SaveToRegistry("Test", "");
  auto again = TSettingsStore::OpenRegistry("Test");
  EXPECT_EQ(again->ReadString("Other", "Keep", ""), "me");  // other sections untouched
  EXPECT_EQ(again->ReadString("", "ExeName", ""), "/opt/kaede/KaedeAddress");
  EXPECT_EQ(again->ReadInteger("Sample", "Width", 0), 200);
  o->Free();
}

TEST(Settings, AnUnreadableFileIsReportedOnceAndNeverOverwritten) {
  ConfigHome home;
  // a folder where the file should be cannot be read as a file
  fs::create_directories(home.File("Blocked"));
  std::vector<std::string> reports;
  SetSettingsErrorHandler([&](const std::string& m) { reports.push_back(m); });
  TSample* o = TDataItem::Make<TSample>();
  o->Width = 1;
  EXPECT_FALSE(o->LoadFromRegistry("Blocked", ""));
  o->SaveToRegistry("Blocked", "");
  o->LoadFromRegistry("Blocked", "");
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_TRUE(fs::is_directory(home.File("Blocked")));
  SetSettingsErrorHandler(nullptr);
  o->Free();
}

TEST(Settings, IniFilesFromOtherProgramsReadAsTheyWrite) {
  test::TempDir dir;
  std::string file = dir.File("style.kps");
  WriteFileAtomic(file, "; a comment\r\n[Sample]\r\nname = \"  padded  \"\r\nWIDTH=0x10\r\nvisible=true\r\n");
  auto store = TSettingsStore::OpenFile(file);
  EXPECT_EQ(store->ReadString("sample", "Name", ""), "  padded  ");  // names ignore case, quotes go
  EXPECT_EQ(store->ReadInteger("Sample", "Width", 0), 16);
  EXPECT_TRUE(store->ReadBool("Sample", "Visible", false));
  store->WriteString("Sample", "Path", "C:\\styles\\a.kps");  // backslashes stay as written
  store->WriteString("Sample", "Lines", "a\r\nb");                // one line per value
  store->Save();
  std::string text = ReadFileBytes(file);
  EXPECT_NE(text.find("Path=C:\\styles\\a.kps\r\n"), std::string::npos);
  EXPECT_NE(text.find("Lines=a  b\r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("; a comment\r\n", 0), 0u);
  // saving twice gives the same file
  TSettingsStore::OpenFile(file)->Save();
  EXPECT_EQ(ReadFileBytes(file), text);
}

namespace {
// An application with the switch letters of the address book that records what it is given.
struct TSwitchRecorder : TAppOption {
  std::vector<std::pair<char, std::string>> switches;
  void HandleSwitch(char letter, const std::string& value) override {
    TAppOption::HandleSwitch(letter, value);
    switches.emplace_back(letter, value);
  }
  bool IsSwitchLetter(char letter) const override {
    return letter == 'D' || letter == 'N' || letter == 'S' || TAppOption::IsSwitchLetter(letter);
  }
};
}  // namespace

TEST(CommandLine, SwitchesAndFiles) {
  ConfigHome home;
  auto* o = TDataItem::Make<TSwitchRecorder>();
  o->AppKey = "CmdTest";
  TStrings got;
  o->OnParams = [&](const TStrings& f) { got = f; };
  int quits = 0;
  o->OnQuit = [&] { ++quits; };
  o->ParseCommandLine({"/", "/n" + SJ("山田"), SJ("住所録.kad"), "/q", "/" + SJ("あ"), "/Dfolder"});
  EXPECT_EQ(got, (TStrings{"/", SJ("住所録.kad"), "/" + SJ("あ")}));
  ASSERT_EQ(o->switches.size(), 3u);
  EXPECT_EQ(o->switches[0], std::make_pair('N', SJ("山田")));
  EXPECT_EQ(o->switches[1], std::make_pair('Q', std::string()));
  EXPECT_EQ(o->switches[2], std::make_pair('D', std::string("folder")));
  EXPECT_EQ(quits, 1);
  o->ParseCommandLine({"/z"});
  EXPECT_TRUE(o->TrayMode());
  o->Free();
}

TEST(CommandLine, AbsolutePathsStartingWithAnyLetterAreFilesNeverSwitches) {
  ConfigHome home;
  auto* o = TDataItem::Make<TSwitchRecorder>();
  o->AppKey = "CmdPaths";
  int quits = 0;
  o->OnQuit = [&] { ++quits; };
  TStrings got;
  o->OnParams = [&](const TStrings& f) { got = f; };
  for (char c : std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
    std::string first(1, c);
    TStrings paths = {"/" + first + "ata/books/" + SJ("家族.kad"),  // what a double-click passes
                      "/" + first + "older/sub",                     // a folder path that does not exist (yet)
                      "/" + first + SJ("族.kad"),                    // a book right under the root
                      "/" + first + ".KAD"};
    o->switches.clear();
    o->ParseCommandLine(paths);
    EXPECT_TRUE(o->switches.empty()) << c;
    EXPECT_EQ(got, paths) << c;
  }
  EXPECT_EQ(quits, 0);
  // existing paths whose letters are switch letters
  TStrings existing;
  for (const char* p : {"/dev", "/sys", "/srv", "/snap", "/nix", "/dev/null"})
    if (FileExists(p) || DirectoryExists(p)) existing.push_back(p);
  ASSERT_FALSE(existing.empty());
  o->switches.clear();
  o->ParseCommandLine(existing);
  EXPECT_TRUE(o->switches.empty());
  EXPECT_EQ(got, existing);
  // the switches themselves: alone, with a value without "/", with an absolute value, and
  // in the "-X value" form
  o->switches.clear();
  o->ParseCommandLine({"/D", "/Dbooks", "/D/home/me/books", "-D", "/tmp/some folder", "-n", SJ("山田"), "-Q", "-S"});
  EXPECT_EQ(o->switches, (std::vector<std::pair<char, std::string>>{{'D', ""},
                                                                     {'D', "books"},
                                                                     {'D', "/home/me/books"},
                                                                     {'D', "/tmp/some folder"},
                                                                     {'N', SJ("山田")},
                                                                     {'Q', ""},
                                                                     {'S', ""}}));
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(quits, 1);
  // letters without a value take nothing after them, unknown letters are no switches
  o->switches.clear();
  o->ParseCommandLine({"/Qx", "/x", "-x", "/zz"});
  EXPECT_TRUE(o->switches.empty());
  EXPECT_EQ(got, (TStrings{"/Qx", "/x", "-x", "/zz"}));
  o->Free();
}

TEST(HistoryList, ShorterTextsReplaceLongerOnesAndTheCommaTextRoundTrips) {
  THistoryList l;
  l.AddText(SJ("山田太郎"));
  l.AddText(SJ("鈴木"));
  l.AddText(SJ("山田"));
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l.At(0)->Text(), SJ("鈴木"));
  EXPECT_EQ(l.At(1)->Text(), SJ("山田"));
  THistoryList three;
  std::string comma = SJ("\"a b\",東京,大阪");
  three.SetCommaText(comma);
  EXPECT_EQ(three.Count(), 3);
  EXPECT_EQ(three.GetCommaText(), comma);
  three.ReferenceTexts = {SJ("東京")};
  EXPECT_TRUE(three.At(1)->IsListed());
  EXPECT_FALSE(three.At(2)->IsListed());
  THistoryList other;
  other.MaxCount = 5;
  three.Assign(&other);  // only the size limit is taken from another history
  EXPECT_EQ(three.MaxCount, 5);
  EXPECT_EQ(three.Count(), 3);
}
