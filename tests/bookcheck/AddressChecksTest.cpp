#include <gtest/gtest.h>

#include <map>

#include "AddressChecks.h"
#include "BookCheckTestUtil.h"
#include "Files.h"
#include "NationalDictionary.h"
#include "PersonLists.h"
#include "PostalDatas.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string F(const char* utf8) { return SjisToUtf8(FoldAddress(Utf8ToSjis(utf8))); }

// The national dictionary, converted once for the program by the updater's converter.
class CheckNational : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!test::HaveSharedData()) return;
    Dir = new test::TempDir;
    ASSERT_TRUE(test::MakeNationalDictionary(Dir->Path()));
    Data = new TPostalData({Dir->Path()});
    ASSERT_TRUE(Data->LoadData());
    Checker = new TAddressChecker(*Data);
  }
  static void TearDownTestSuite() {
    delete Checker;
    delete Data;
    delete Dir;
  }
  std::string Codes(const char* address) {
    return SjisToUtf8(JoinStr(Checker->CodesOfAddress(Utf8ToSjis(address)), " "));
  }
  static test::TempDir* Dir;
  static TPostalData* Data;
  static TAddressChecker* Checker;
};
test::TempDir* CheckNational::Dir = nullptr;
TPostalData* CheckNational::Data = nullptr;
TAddressChecker* CheckNational::Checker = nullptr;

}  // namespace

TEST(FoldAddress, FoldsWhatPeopleWriteDifferentlyAndNothingElse) {
  EXPECT_EQ(F("東京都 千代田区　霞ヶ関１－２"), F("東京都千代田区霞が関1-2"));
  EXPECT_EQ(F("霞ケ関"), F("霞ヶ関"));
  for (const char* dash : {"1ー2", "1‐2", "1―2", "1－2", "1─2"}) EXPECT_EQ(F(dash), "1-2") << dash;
  EXPECT_EQ(F("赤羽台3丁目"), "赤羽台三丁目");
  EXPECT_EQ(F("赤羽台３丁目"), "赤羽台三丁目");
  EXPECT_EQ(F("十二丁目"), F("12丁目"));
  EXPECT_EQ(F("ＡＢＣビル"), "abcビル");
  // numbers that are not a 丁目, and different towns, stay apart
  EXPECT_EQ(F("3番地"), "3番地");
  EXPECT_NE(F("赤羽台"), F("赤羽代"));
  EXPECT_NE(F("本町2丁目"), F("本町3丁目"));
}

TEST_F(CheckNational, AddressesFindTheirCodesThroughTheFoldingRules) {
  KAEDE_NEEDS_SHARED_DATA();
  EXPECT_EQ(Codes("東京都千代田区霞ヶ関1-2-3"), "1000013");
  // the 北区 of several cities: the longest city name decides, a ward alone is Tokyo's
  EXPECT_EQ(Codes("大阪市北区梅田１丁目"), "5300001");
  EXPECT_EQ(Codes("北区赤羽台三丁目1"), "1150053");
  EXPECT_EQ(Codes("大阪府北区梅田"), "");  // no 北区 in that prefecture without its city
  // a town split over several codes gives them all, unless the 丁目 written chooses one;
  // Kyoto's street names come before the town
  EXPECT_EQ(Codes("北海道札幌市中央区大通西"), "0600042 0640820");
  EXPECT_EQ(Codes("北海道札幌市中央区大通西5-1"), "0600042 0640820");  // 5 need not be the 丁目
  EXPECT_EQ(Codes("北海道札幌市中央区大通西5丁目"), "0600042");
  EXPECT_EQ(Codes("北海道札幌市中央区大通西二十五丁目1"), "0640820");
  EXPECT_EQ(Codes("北海道札幌市中央区大通西30丁目"), "0600042 0640820");  // in no range: both stay
  EXPECT_EQ(Codes("京都市中京区烏丸通御池下る虎屋町566"), "6048171");
  // a village that has one code for all of it
  EXPECT_EQ(Codes("東京都御蔵島村123"), "1001301");
  EXPECT_EQ(Codes("東京都千代田区存在しない町1"), "");
}

TEST_F(CheckNational, FindingsOfPlantedFaultsTheirFixesAndOneUndoStep) {
  KAEDE_NEEDS_SHARED_DATA();
  TPersonList book;
  for (const std::string& line : {
           // right, in the forms people write: no finding
           test::EntryLine("正 一", "ただし はじめ", "", "", "100-0013", "東京都千代田区霞ヶ関１－２"),
           test::EntryLine("正 二", "ただし じろう", "", "", "1150053", "北区赤羽台三丁目1"),
           test::EntryLine("正 三", "ただし さぶろう", "", "", "4520961", "愛知県清須市春日一番割1"),
           test::EntryLine("正 四", "ただし しろう", "", "", "", "1600 Pennsylvania Ave, Washington"),
           test::EntryLine("正 五", "ただし ごろう", "", "", "6048171", "京都市中京区烏丸通御池下る虎屋町566"),
           // faults
           test::EntryLine("番号 無し", "ばんごう なし", "", "", "9999999", "大阪府大阪市北区梅田1-2"),
           test::EntryLine("番号 違い", "ばんごう ちがい", "", "", "115-0053", "大阪府大阪市北区梅田1-2"),
           test::EntryLine("番号 空", "ばんごう から", "", "", "", "東京都北区赤羽台1-2"),
           test::EntryLine("番号 二つ", "ばんごう ふたつ", "", "", "", "札幌市中央区大通西"),
           test::EntryLine("丁目 違い", "ちょうめ ちがい", "", "", "0640820", "札幌市中央区大通西4丁目1"),
           test::EntryLine("町名 誤り", "ちょうめい あやまり", "", "", "1150053", "東京都北区赤羽代1-2"),
           test::EntryLine("市名 無し", "しめい なし", "", "", "1150053", "赤羽台1-2-3"),
           test::EntryLine("読み 無し", "", "", "", "", ""),
       })
    book.AddText(line);
  book.History().Clear();
  std::vector<TCheckFinding> found = Checker->CheckBook(book);
  std::map<std::string, TCheckFinding> byName;
  for (const TCheckFinding& f : found) {
    EXPECT_EQ(byName.count(SjisToUtf8(f.Name)), 0u) << SjisToUtf8(f.Name);
    byName[SjisToUtf8(f.Name)] = f;
  }
  ASSERT_EQ(found.size(), 8u) << SjisToUtf8(found[0].Name + " " + found[0].Detail);
  // most certain first
  for (size_t i = 1; i < found.size(); ++i) EXPECT_LE(found[i - 1].Kind, found[i].Kind);
  EXPECT_EQ(byName["番号 無し"].Kind, ckUnknownCode);
  EXPECT_EQ(byName["番号 無し"].FixPostal, "5300001");
  EXPECT_EQ(byName["番号 違い"].Kind, ckCodeMismatch);
  EXPECT_EQ(byName["番号 違い"].FixPostal, "5300001");
  EXPECT_NE(SjisToUtf8(byName["番号 違い"].Detail).find("東京都北区赤羽台"), std::string::npos);
  EXPECT_EQ(byName["番号 空"].Kind, ckMissingCode);
  EXPECT_EQ(byName["番号 空"].FixPostal, "1150053");
  EXPECT_EQ(byName["番号 二つ"].Kind, ckMissingCode);
  EXPECT_FALSE(byName["番号 二つ"].HasFix());
  EXPECT_NE(SjisToUtf8(byName["番号 二つ"].Detail).find("〒064-0820"), std::string::npos);
  // the code of the other 丁目 of a split town, named with its 丁目
  EXPECT_EQ(byName["丁目 違い"].Kind, ckCodeMismatch);
  EXPECT_EQ(byName["丁目 違い"].FixPostal, "0600042");
  EXPECT_NE(SjisToUtf8(byName["丁目 違い"].Detail).find("大通西（２０～２８丁目）"), std::string::npos)
      << SjisToUtf8(byName["丁目 違い"].Detail);
  EXPECT_EQ(byName["町名 誤り"].Kind, ckUnknownTown);
  EXPECT_FALSE(byName["町名 誤り"].HasFix());
  EXPECT_NE(SjisToUtf8(byName["町名 誤り"].Detail).find("赤羽台"), std::string::npos);
  EXPECT_EQ(byName["市名 無し"].Kind, ckUnknownTown);
  EXPECT_EQ(SjisToUtf8(byName["市名 無し"].FixPrefix), "東京都北区");
  EXPECT_EQ(byName["読み 無し"].Kind, ckEmptyYomi);

  std::string before;
  for (int i = 0; i < book.AllCount(); ++i) before += book.AllPersons(i)->GetText() + "\n";
  EXPECT_EQ(ApplyCheckFixes(book, found), 5);
  auto person = [&](const char* name) {
    for (int i = 0; i < book.AllCount(); ++i)
      if (SjisToUtf8(book.AllPersons(i)->Name()) == name) return book.AllPersons(i);
    return static_cast<TPerson*>(nullptr);
  };
  EXPECT_EQ(person("番号 違い")->Postal(), "5300001");
  EXPECT_EQ(person("番号 空")->Postal(), "1150053");
  EXPECT_EQ(SjisToUtf8(person("市名 無し")->AddressText()), "東京都北区赤羽台1-2-3");
  // the fixed book checks clean of those faults
  EXPECT_EQ(Checker->CheckBook(book).size(), 3u);
  // a second run changes nothing: the fixes saw other values than there are now
  EXPECT_EQ(ApplyCheckFixes(book, found), 0);
  ASSERT_EQ(book.History().Count(), 1);
  book.History().UndoStep();
  std::string after;
  for (int i = 0; i < book.AllCount(); ++i) after += book.AllPersons(i)->GetText() + "\n";
  EXPECT_EQ(after, before);
}
