#include <gtest/gtest.h>

#include "Fonts.h"
#include "TestUtil.h"

using namespace kaede;

TEST(Fonts, DefaultFontIsThreeCommasAndBack) {
  EXPECT_EQ(FontToText(DefaultFont()), ",,,");
  EXPECT_EQ(TextToFont(",,,"), DefaultFont());
  EXPECT_EQ(TextToFont(""), DefaultFont());
}

TEST(Fonts, NamedSizeStyleAndColour) {
  TFontRecord f;
  f.Name = Utf8ToSjis("ＭＳ 明朝");
  f.Size = 12;
  f.Style = fsBold;
  f.Color = clRed;
  EXPECT_SJ_EQ("ＭＳ 明朝,12,Bold,clRed", FontToText(f));
  EXPECT_SJ_EQ("ＭＳ 明朝,12,Bold,", FontToText(f, true));
  EXPECT_EQ(TextToFont(FontToText(f)), f);
  f.Style = fsBold | fsItalic;
  f.Color = 0x123456;
  EXPECT_SJ_EQ("ＭＳ 明朝,12,BoldItalic,$00123456", FontToText(f));
  EXPECT_EQ(TextToFont(FontToText(f)), f);
}

TEST(Fonts, DamagedTextFallsBackItemByItem) {
  TFontRecord f = TextToFont("Gothic,big,bolditalic,notacolour");
  EXPECT_EQ(f.Name, "Gothic");
  EXPECT_EQ(f.Size, 9);
  EXPECT_EQ(f.Style, fsBold | fsItalic);
  EXPECT_EQ(f.Color, clBlack);  // one bad setting does not stop the program
  EXPECT_EQ(TextToFont(",,italic,$000000FF").Color, clRed);
}

TEST(Fonts, ColourTexts) {
  EXPECT_EQ(ColorToText(0x0000FF), "clRed");
  EXPECT_EQ(ColorToText(0xEEEEEE), "$00EEEEEE");
  EXPECT_EQ(ColorToText(static_cast<TColor>(0xFF00000F)), "clBtnFace");
  EXPECT_EQ(TextToColor("$000000FF"), clRed);
  EXPECT_EQ(TextToColor("clred"), clRed);
  EXPECT_EQ(TextToColor("255"), clRed);
  EXPECT_EQ(TextToColor("clNone"), clNone);
  EXPECT_THROW(TextToColor("red"), Exception);
  EXPECT_THROW(TextToColor("$"), Exception);
  EXPECT_THROW(TextToColor("$1234567890"), Exception);
}

TEST(Fonts, TextIsCutAtWholeCharacters) {
  TFontRecord f;
  f.Name = Utf8ToSjis(std::string(200, 'a') + "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ");
  std::string t = FontToText(f);
  EXPECT_LE(t.size(), 255u);
  EXPECT_TRUE(IsValidSjis(t));
}
