#include <gtest/gtest.h>

#include "CustomerBarcodes.h"
#include "PostalDatas.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }
std::string Number(const char* utf8) { return BarcodeAddressNumber(S(utf8)); }

// A dictionary with the towns of the cases below: two towns of one code where one name holds
// the other, a town with a note, an entry without a town.
class CustomerBarcode : public ::testing::Test {
protected:
  void SetUp() override {
    TPostalLists l;
    for (const char* p : {"2630023緑町", "0140113堀見内", "9100067新田塚", "9999901上町", "9999901上町東",
                          "9999902本郷（番地）", "9999903"})
      l.Postal.push_back(S(p));
    l.Ken = {RangeLine(0, S("千葉県")), RangeLine(1, S("秋田県")), RangeLine(2, S("福井県")), RangeLine(3, S("架空県"))};
    l.City = {RangeLine(0, S("千葉市稲毛区")), RangeLine(1, S("大仙市")), RangeLine(2, S("福井市")),
              RangeLine(3, S("見本市"))};
    SavePostalFiles(Dir.Path(), l);
  }
  std::string Make(const char* code, const char* address, TBarcodeFailure expected = TBarcodeFailure::None) {
    TPostalData dict({Dir.Path()});
    TCustomerBarcode b;
    EXPECT_EQ(MakeCustomerBarcode(dict, S(code), S(address), b), expected) << address;
    return expected == TBarcodeFailure::None ? b.AddressNumber + " | " + b.SymbolText() : std::string();
  }
  test::TempDir Dir;
};

}  // namespace

TEST_F(CustomerBarcode, TheWorkedExamplesOfThePostOffice) {
  EXPECT_EQ(Make("263-0023", "千葉市稲毛区緑町3丁目30-8　郵便ビル403号"),
            "3-30-8-403 | STC 2 6 3 0 0 2 3 3 - 3 0 - 8 - 4 0 3 CC4 CC4 CC4 5 SPC");
  // the 13th symbol is a letter's control code: it stays, the letter's digit goes
  EXPECT_EQ(Make("9100067", "福井県福井市新田塚3丁目80-25　J1ビル2-B"),
            "3-80-25J1-2B | STC 9 1 0 0 0 6 7 3 - 8 0 - 2 5 CC1 9 1 - 2 CC1 9 SPC");
  const std::string akita = Make("0140113", "秋田県大仙市堀見内　南田茂木　添60-1");
  EXPECT_EQ(akita.substr(0, akita.find(' ')), "60-1");
  EXPECT_EQ(akita.substr(akita.rfind("CC")), "CC8 SPC");  // the check symbol
}

TEST_F(CustomerBarcode, TheTownIsFoundWithAndWithoutItsPrefixes) {
  // without prefecture and city, with 大字 or 字, full-width digits, the longer of two towns
  EXPECT_EQ(Make("9999901", "上町東５－３"), "5-3 | STC 9 9 9 9 9 0 1 5 - 3 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 CC4 5 SPC");
  EXPECT_EQ(Make("9999901", "架空県見本市大字上町12番地").substr(0, 2), "12");
  EXPECT_EQ(Make("9999901", "見本市字上町東二十一番地").substr(0, 2), "21");
  // the note of a town is not part of its name; an entry without a town ends at the city
  EXPECT_EQ(Make("9999902", "見本市本郷七番地の2").substr(0, 3), "7-2");
  EXPECT_EQ(Make("9999903", "架空県見本市三十五号").substr(0, 2), "35");
  // the numbers of a town name are not the address number
  EXPECT_EQ(Make("9999901", "見本市上町三番").substr(0, 1), "3");
}

TEST_F(CustomerBarcode, EntriesWithoutABarcodeSayWhy) {
  Make("", "見本市上町1", TBarcodeFailure::NoPostalCode);
  Make("12345", "見本市上町1", TBarcodeFailure::NoPostalCode);
  Make("1000001", "千代田区千代田1", TBarcodeFailure::UnknownPostalCode);
  TPostalData none({Dir.File("nothing")});
  TCustomerBarcode b;
  EXPECT_EQ(MakeCustomerBarcode(none, "2630023", S("緑町1"), b), TBarcodeFailure::NoDictionary);
  EXPECT_FALSE(BarcodeFailureText(TBarcodeFailure::NoDictionary).empty());
}

TEST(CustomerBarcodeNumber, KanjiNumeralsBeforeEachMark) {
  EXPECT_EQ(Number("一丁目二番地三号"), "1-2-3");
  EXPECT_EQ(Number("十一丁五番十号"), "11-5-10");
  EXPECT_EQ(Number("第二十一地割百五"), "21");  // a numeral before no mark is a word
  EXPECT_EQ(Number("北十二線西三の四ノ五"), "12-3-4");  // 五 before no mark
  EXPECT_EQ(Number("二〇号"), "20");
  EXPECT_EQ(Number("千二百三十四番"), "1234");
  EXPECT_EQ(Number("十日市場町"), "");
}

TEST(CustomerBarcodeNumber, LettersFloorsAndHyphens) {
  EXPECT_EQ(Number("1-2-3 4F"), "1-2-3-4");                 // a floor at the end
  EXPECT_EQ(Number("1-2　4F401号室"), "1-2-4-401");         // a floor with more after it
  EXPECT_EQ(Number("１－２ Ａ棟 ｂ-３０１"), "1-2AB301");  // single letters, any width or case
  EXPECT_EQ(Number("5-6 ABCビル7"), "5-6-7");               // letters together are a word
  EXPECT_EQ(Number("8・9/10&11.12"), "89101112");           // separators go
  EXPECT_EQ(Number("－－1－－2ー3"), "1-2-3");              // repeated and leading hyphens
  EXPECT_EQ(Number("ｶﾞｰﾃﾞﾝ 7ｰ8"), "7-8");
}

TEST(CustomerBarcodeEncoding, PaddingCutAndBars) {
  // 13 symbols exactly; more are cut; letters take two
  TCustomerBarcode b = EncodeCustomerBarcode("1000001", "1-2-3-4-5-6-78");
  EXPECT_EQ(b.SymbolText().substr(0, 41), "STC 1 0 0 0 0 0 1 1 - 2 - 3 - 4 - 5 - 6 -");
  EXPECT_EQ(b.Symbols[20], 7);  // "8" is cut
  b = EncodeCustomerBarcode("1000001", "1-2-3-4-5-6Z");
  EXPECT_EQ(b.Symbols[19], kBarCC1 + 2);  // Z = CC3 5
  EXPECT_EQ(b.Symbols[20], 5);
  // every barcode's data and check add up to a multiple of 19
  for (const char* n : {"", "1", "60-1", "A", "Z9-Z9-Z9-Z9"}) {
    b = EncodeCustomerBarcode("9876543", n);
    int sum = 0;
    for (int i = 1; i <= 21; ++i) sum += b.Symbols[static_cast<size_t>(i)];
    EXPECT_EQ(sum % 19, 0) << n;
  }
  const auto bars = b.Bars();
  EXPECT_EQ(bars.size(), 67u);
  EXPECT_EQ(bars[0], TBarKind::Long);  // start 13
  EXPECT_EQ(bars[1], TBarKind::Lower);
  EXPECT_EQ(bars[2], TBarKind::Timing);  // 9 = 411
  EXPECT_EQ(bars[65], TBarKind::Lower);  // stop 31
  EXPECT_EQ(bars[66], TBarKind::Long);
}
