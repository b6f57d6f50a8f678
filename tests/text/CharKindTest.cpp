#include <gtest/gtest.h>

#include <map>

#include "Strs.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string Dbcs(int code) { return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

// Every character of code page 932, as its bytes.
std::vector<std::string> AllCharacters() {
  std::vector<std::string> all;
  for (int b = 0; b < 256; ++b)
    if (!IsLeadByte(static_cast<unsigned char>(b)) && Cp932ToUnicode(static_cast<unsigned char>(b)) >= 0)
      all.push_back(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFC; ++lead)
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (IsLeadByte(static_cast<unsigned char>(lead)) &&
          Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) >= 0)
        all.push_back(Dbcs(lead << 8 | trail));
  return all;
}

}  // namespace

TEST(CharKind, EveryCharacterOfEachClass) {
  auto kindOfRange = [](int from, int to, int expected) {
    for (int c = from; c <= to; ++c) {
      std::string ch = c < 0x100 ? std::string(1, static_cast<char>(c)) : Dbcs(c);
      if (c >= 0x100 && (c & 0xFF) == 0x7F) continue;
      if (!IsValidSjis(ch)) continue;
      EXPECT_EQ(CharKind(ch), expected) << std::hex << c << " " << SjisToUtf8(ch);
    }
  };
  kindOfRange('0', '9', ckHalfOther);
  kindOfRange('A', 'Z', ckHalfLetter);
  kindOfRange('a', 'z', ckHalfLetter);
  for (char c : std::string("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~")) EXPECT_EQ(CharKind(std::string(1, c)), ckHalfSymbol) << c;
  kindOfRange(0xA1, 0xA5, ckHalfSymbol);   // ｡｢｣､･
  kindOfRange(0xA6, 0xDF, ckHalfKatakana);  // ｦ..ﾝ with ｰ, ﾞ and ﾟ
  kindOfRange(0x824F, 0x8258, ckFullOther);  // ０..９
  kindOfRange(0x8260, 0x8279, ckFullLetter);  // Ａ..Ｚ
  kindOfRange(0x8281, 0x829A, ckFullLetter);  // ａ..ｚ
  kindOfRange(0x839F, 0x83D6, ckFullLetter);  // Greek
  kindOfRange(0x8440, 0x8491, ckFullLetter);  // Cyrillic
  kindOfRange(0x829F, 0x82F1, ckHiragana);    // ぁ..ん
  kindOfRange(0x8340, 0x8396, ckFullKatakana);  // ァ..ヶ
  kindOfRange(0x889F, 0x9872, ckIdeograph);     // the first level of kanji
  kindOfRange(0x989F, 0x9FFC, ckIdeograph);     // the second level
  kindOfRange(0x8740, 0x8753, ckFullOther);     // ①..⑳
  kindOfRange(0x849F, 0x84BE, ckFullSymbol);    // box drawing
  EXPECT_EQ(CharKind(" "), ckSpace);
  EXPECT_EQ(CharKind(SJ("　")), ckFullSpace);
  EXPECT_EQ(CharKind(SJ("々")), ckIdeograph);
  EXPECT_EQ(CharKind(SJ("＿")), ckIdeograph);
  EXPECT_EQ(CharKind(SJ("〆")), ckIdeograph);
  EXPECT_EQ(CharKind(SJ("ー")), ckFullKatakana);
  EXPECT_EQ(CharKind(SJ("ゝ")), ckHiragana);
  EXPECT_EQ(CharKind(SJ("ヽ")), ckFullKatakana);
  EXPECT_EQ(CharKind(SJ("゛")), ckFullSymbol);
  EXPECT_EQ(CharKind(SJ("、")), ckFullSymbol);
  EXPECT_EQ(CharKind(SJ("㈱")), ckFullSymbol);
  EXPECT_EQ(CharKind("\t"), ckOther);
  EXPECT_EQ(CharKind(std::string("\x80")), ckOther);
}

TEST(CharKind, EveryCharacterHasAKindAndHankakuMeansSingleByte) {
  std::map<int, int> counts;
  for (const std::string& ch : AllCharacters()) {
    int k = CharKind(ch);
    ASSERT_GE(k, 0);
    ASSERT_LE(k, 13);
    ++counts[k];
    if (ch.size() == 2) {
      EXPECT_FALSE(IsHankakuStr(ch)) << SjisToUtf8(ch);
    }
  }
  EXPECT_TRUE(IsHankakuStr("Hello, World! 123"));
  EXPECT_FALSE(IsHankakuStr(SJ("ｱ")));  // half-width kana is not hankaku text here
  EXPECT_EQ(StrKinds(SJ("Aあ　")), 0x0004 | 0x0200 | 0x2000);
  EXPECT_EQ(StrKinds(SJ("＿")), 0x0400);
  EXPECT_GT(counts[ckIdeograph], 6000);
  EXPECT_EQ(counts[ckHiragana], 85);  // ぁ..ん with ゝ and ゞ
}

TEST(ConvertStr, CaseMapsAsciiFullWidthGreekAndCyrillic) {
  EXPECT_EQ(ConvertStr(SJ("abcＡｂｃαДя"), cvUpper), SJ("ABCＡＢＣΑДЯ"));
  EXPECT_EQ(ConvertStr(SJ("ABCａＢｃΑд"), cvLower), SJ("abcａｂｃαд"));
  // trail bytes that look like letters are not case-mapped: "ポ" is 0x83 0x7C, "ア" 0x83 0x41
  EXPECT_EQ(ConvertStr(SJ("アポ"), cvLower), SJ("アポ"));
  for (int c = 'a'; c <= 'z'; ++c) {
    std::string s(1, static_cast<char>(c));
    EXPECT_EQ(ConvertStr(ConvertStr(s, cvUpper), cvLower), s);
  }
}

TEST(ConvertStr, HiraganaAndKatakanaRoundTrip) {
  for (int c = 0x829F; c <= 0x82F1; ++c) {
    std::string h = Dbcs(c);
    std::string k = ConvertStr(h, cvKatakana);
    EXPECT_EQ(CharKind(k), ckFullKatakana) << SjisToUtf8(h);
    EXPECT_EQ(ConvertStr(k, cvHiragana), h) << SjisToUtf8(h);
  }
  EXPECT_EQ(ConvertStr(SJ("ヴァイオリン・ヵヶ"), cvHiragana), SJ("ヴぁいおりん・ヵヶ"));  // no ゔ, ゕ or ゖ in CP932
  EXPECT_EQ(ConvertStr(SJ("ｱｲｳ"), cvHiragana), SJ("ｱｲｳ"));  // half width stays half width
  EXPECT_EQ(ConvertStr(SJ("ヽヾ"), cvHiragana), SJ("ゝゞ"));
}

TEST(ConvertStr, WidthConversionComposesAndDecomposesVoicedKana) {
  EXPECT_EQ(ConvertStr(SJ("ｶﾞｷﾞﾊﾟﾋﾟｳﾞｯｰ｡ｰﾞ"), cvZenkaku), SJ("ガギパピヴッー。ー゛"));
  EXPECT_EQ(ConvertStr(SJ("ガギパピヴッー。"), cvHankaku), SJ("ｶﾞｷﾞﾊﾟﾋﾟｳﾞｯｰ｡"));
  EXPECT_EQ(ConvertStr("Abc 1~\\", cvZenkaku), SJ("Ａｂｃ　１～＼"));
  EXPECT_EQ(ConvertStr(SJ("Ａｂｃ　１～＼"), cvHankaku), "Abc 1~\\");
  EXPECT_EQ(ConvertStr(SJ("ﾊﾞﾋﾟﾌﾟﾍﾞﾎﾟ"), cvZenkaku), SJ("バピプベポ"));
  EXPECT_EQ(ConvertStr(SJ("ｱﾞ"), cvZenkaku), SJ("ア゛"));  // ア takes no voiced mark
  EXPECT_EQ(ConvertStr(SJ("ひらがな"), cvHankaku), SJ("ひらがな"));  // no half-width hiragana
  EXPECT_EQ(ConvertStr(SJ("ヮヰヱヵヶ"), cvHankaku), SJ("ヮヰヱヵヶ"));  // no half-width forms

  // Every half-width character (and voiced pair) widens to one character that narrows back.
  for (int c = 0x21; c <= 0x7E; ++c) {
    std::string s(1, static_cast<char>(c));
    std::string z = ConvertStr(s, cvZenkaku);
    EXPECT_EQ(z.size(), 2u) << s;
    EXPECT_EQ(ConvertStr(z, cvHankaku), s) << s;
  }
  for (int c = 0xA1; c <= 0xDF; ++c) {
    std::string s(1, static_cast<char>(c));
    std::string z = ConvertStr(s, cvZenkaku);
    EXPECT_EQ(z.size(), 2u) << std::hex << c;
    EXPECT_EQ(ConvertStr(z, cvHankaku), s) << std::hex << c;
    for (char mark : {'\xDE', '\xDF'}) {
      std::string pair = s + mark;
      std::string zz = ConvertStr(pair, cvZenkaku);
      EXPECT_EQ(ConvertStr(zz, cvHankaku), pair) << std::hex << c;
    }
  }
}

TEST(ConvertStr, HalfWidthAsciiLeavesKatakanaAlone) {
  EXPECT_EQ(HankakuAscii(SJ("目黒ハイツ　１２０２号　Ａ－１")), SJ("目黒ハイツ 1202号 A-1"));
  EXPECT_EQ(HankakuAscii(SJ("ｶﾞ")), SJ("ｶﾞ"));
}
