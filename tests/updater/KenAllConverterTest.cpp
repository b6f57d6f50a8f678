#include <gtest/gtest.h>

#include "Archives.h"
#include "CommaText.h"
#include "Files.h"
#include "KenAllConverter.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// One record of the published file (UTF-8 here, CP932 in the result).
std::string Rec(const char* code, const char* ken, const char* city, const char* town) {
  return Utf8ToSjis(std::string("01101,\"060  \",\"") + code + "\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼ\",\"ﾁｮｳ\",\"" + ken + "\",\"" +
                    city + "\",\"" + town + "\",0,0,0,0,0,0");
}

std::vector<std::string> U8(const TStrings& lines) {
  std::vector<std::string> r;
  for (const std::string& l : lines) r.push_back(SjisToUtf8(l));
  return r;
}

using V = std::vector<std::string>;

}  // namespace

TEST(KenAllConverter, TownsRangesAndSpecialTexts) {
  TStrings records = {
      Rec("0600000", "北海道", "札幌市中央区", "以下に掲載がない場合"),
      Rec("0640941", "北海道", "札幌市中央区", "旭ケ丘"),
      "01101,\"060  \",\"0600001\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼ\",\"ﾁｮｳ\",\"" + Utf8ToSjis("北海道") + "\",\"",  // 8 fields
      Rec("0691500", "北海道", "夕張郡栗山町", "栗山町の次に番地がくる場合"),
      Rec("0300000", "青森県", "青森市", ""),
      Rec("0300001", "青森県", "青森市", "大矢沢"),
      Rec("0300002", "青森県", "弘前市", "本町"),
  };
  TPostalLists l;
  std::vector<size_t> seen;
  ASSERT_TRUE(ConvertKenAll(records, l, [&](size_t k, size_t n) {
    EXPECT_EQ(n, records.size());
    seen.push_back(k);
  }));
  EXPECT_EQ(U8(l.Postal), (V{"0600000", "0640941旭ケ丘", "0691500（栗山町の次に番地がくる場合）", "0300000",
                            "0300001大矢沢", "0300002本町"}));
  // the first range is index 0 as five spaces and "0"; a prefecture and city changing in one
  // record give one line each with the same index
  EXPECT_EQ(U8(l.Ken), (V{"     0北海道", "     3青森県"}));
  EXPECT_EQ(U8(l.City), (V{"     0札幌市中央区", "     2夕張郡栗山町", "     3青森市", "     5弘前市"}));
  EXPECT_EQ(seen.size(), records.size());
  EXPECT_EQ(seen.back(), records.size() - 1);
}

TEST(KenAllConverter, OnlyAContinuedTownIsJoined) {
  TStrings records = {
      // a town name over three records: joined into one line
      Rec("0660005", "北海道", "千歳市", "協和（８８－２、２７１－１０、"),
      Rec("0660005", "北海道", "千歳市", "３４３－２、４０４－１、"),
      Rec("0660005", "北海道", "千歳市", "１７５２番地）"),
      // the same code again after the note closed is another town
      Rec("0660005", "北海道", "千歳市", "協和（その他）"),
      // two towns of one code: each its own line
      Rec("0720819", "北海道", "美唄市", "共練町東"),
      Rec("0720819", "北海道", "美唄市", "共練町西"),
      // an open note does not swallow the next code
      Rec("0720820", "北海道", "美唄市", "南美唄町（"),
      Rec("0720821", "北海道", "美唄市", "光珠内町"),
  };
  TPostalLists l;
  ASSERT_TRUE(ConvertKenAll(records, l));
  EXPECT_EQ(U8(l.Postal), (V{"0660005協和（８８－２、２７１－１０、３４３－２、４０４－１、１７５２番地）",
                            "0660005協和（その他）", "0720819共練町東", "0720819共練町西", "0720820南美唄町（",
                            "0720821光珠内町"}));
  EXPECT_EQ(U8(l.City), (V{"     0千歳市", "     2美唄市"}));
}

TEST(KenAllConverter, InputThatGivesNoDictionaryFails) {
  TPostalLists l;
  EXPECT_FALSE(ConvertKenAll({}, l));
  // an error page, a header row, records of other columns
  EXPECT_FALSE(ConvertKenAll({"<!DOCTYPE html>", "<html lang=\"ja\"><head><title>404</title></head>", "</html>"}, l));
  EXPECT_FALSE(ConvertKenAll({Utf8ToSjis("コード,旧,郵便番号,カナ,カナ,カナ,都道府県,市区町村,町域")}, l));
  EXPECT_FALSE(ConvertKenAll({"a,b,c", "1,2,3,4,5,6,7,8"}, l));
  // text that is not CP932 (the UTF-8 edition of the file)
  std::string utf8 = "01101,\"0600000\",\"0600000\",\"a\",\"b\",\"c\",\"北海道\",\"札幌市中央区\",\"旭ケ丘\",0,0,0,0,0,0";
  EXPECT_FALSE(ConvertKenAll({Rec("0600000", "北海道", "札幌市", ""), utf8}, l));
  EXPECT_TRUE(l.Postal.empty() && l.Ken.empty() && l.City.empty());
  // more entries than the index can address
  TStrings many;
  for (int i = 0; i < 6; ++i) many.push_back(Rec(("010000" + std::to_string(i)).c_str(), "北海道", "札幌市", ""));
  EXPECT_FALSE(ConvertKenAll(many, l, {}, 5));
  EXPECT_TRUE(ConvertKenAll(many, l, {}, 6));
}

TEST(KenAllConverter, TheNationalFileFromZipAndFromLhaGivesOneDictionary) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  TPostalLists fromZip, fromLha;
  int run = 0;
  for (const char* archive : {"kenall/ken_all_2026-06-05.zip", "kenall/ken_all_2026-06-05.lzh"}) {
    std::string folder = dir.Path() + "/" + std::to_string(run);
    TArchiveFile a(test::SharedData(archive));
    TArchiverOptions o;
    o.jse = o.jso = o.n = 1;
    ASSERT_EQ(a.Extract(nullptr, o, {"ken_all.csv"}, folder), 0) << archive;
    TStrings records;
    SplitLines(ReadFileBytes(folder + "/KEN_ALL.CSV"), records);
    EXPECT_EQ(records.size(), 124825u);
    ASSERT_TRUE(ConvertKenAll(records, run == 0 ? fromZip : fromLha));
    ++run;
  }
  EXPECT_EQ(fromZip.Postal.size(), 124511u);
  EXPECT_EQ(fromZip.Ken.size(), 47u);
  EXPECT_EQ(fromZip.City.size(), 1892u);
  EXPECT_TRUE(fromZip.Postal == fromLha.Postal);
  EXPECT_TRUE(fromZip.Ken == fromLha.Ken);
  EXPECT_TRUE(fromZip.City == fromLha.City);
  EXPECT_EQ(SjisToUtf8(fromZip.Ken.front()), "     0北海道");
  EXPECT_EQ(SjisToUtf8(fromZip.Ken.back().substr(6)), "沖縄県");
}
