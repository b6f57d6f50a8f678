#include <gtest/gtest.h>

#include "EditorStyles.h"
#include "paper/StyleTestUtil.h"

using namespace kaede;
using namespace kaede::test;
using E = TEditorValues;

namespace {

struct TStyle {
  TEditorStyle* S = TDataItem::Make<TEditorStyle>();
  ~TStyle() { S->Free(); }
  TEditorStyle* operator->() { return S; }
};

const TKeyValues kBase = {{"Name", SJ("標準スタイル")}, {"DefaultIndex", "-1"}};

TKeyValues With(TKeyValues keys) {
  keys.insert(kBase.begin(), kBase.end());
  return keys;
}

// Every editor key away from its default, as the style writes it.
TKeyValues AllEditorKeys() {
  return With({
      {"Vertical", "1"}, {"ProportionalFont", "1"}, {"FreeCaret", "1"}, {"ColumnCountAuto", "0"},
      {"FontSizeAuto", "1"}, {"PageRoll", "1"}, {"TailHang", "0"}, {"TailAdjust", "1"}, {"WordWrap", "1"},
      {"EditIndent", "1"}, {"ItemizedStatement", "1"}, {"ReadOnly", "1"}, {"EofOverUnfilled", "1"},
      {"BigCaret", "1"}, {"LineInfoVerticalRow", "1"}, {"LineInfoFillZero", "1"}, {"SerifuNameRestore", "1"},
      {"UseZenkaku", "1"}, {"ConnectTatesen", "1"}, {"ImeControl", "2"}, {"PartationCount", "3"},
      {"ColumnCount", "40"}, {"LineInfoStyle", "4"}, {"AntiArius", "2"}, {"LineCountInPage", "20"},
      {"TabLength", "8"}, {"ViewIndent", "0"}, {"GapLineStyle", "1"}, {"HashiraIndentCount", "2"},
      {"TogakiIndentCount", "6"}, {"SerifuIndentCount", "3"}, {"LineInfoStartLineNo", "5"},
      {"LineInfoInterval", "5"}, {"StartLineInfoNo", "2"}, {"MaxPageCount", "10"}, {"MaxStrCount", "400"},
      {"LineSpace", "2.5"}, {"ColumnSpace", "0.5"}, {"TextLeftMargin", "3"}, {"TextRightMargin", "1.5"},
      {"PartationMargin", "6"}, {"ViewIndentStr", SJ("・")}, {"HangStr", SJ("、。")},
      {"ProhibitTopStr", SJ("）")}, {"ProhibitBottomStr", SJ("（")}, {"Quote", "|"},
      {"HashiraHeader", SJ("◆")}, {"SerifuHeader", SJ("『")}, {"SerifuFooter", SJ("』")},
      {"Exts", "txt,kad"}, {"HeadingStrs", SJ("■")}, {"KeyWordStrs", "\"a,b\",c"},
  });
}

}  // namespace

TEST(EditorStyle, ASectionWithOnlyVertical) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, With({{"Vertical", "1"}})));
  E want;
  want.Vertical = true;
  EXPECT_EQ(s->Editor(), want);
  EXPECT_EQ(WrittenKeys(*s.S), With({{"Vertical", "1"}}));
}

TEST(EditorStyle, EveryKeyAndElementRoundTrips) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, AllEditorKeys()));
  EXPECT_EQ(WrittenKeys(*s.S), AllEditorKeys());
  EXPECT_EQ(s->Editor().KeyWordStrs, (TStrings{"a,b", "c"}));
  EXPECT_EQ(s->Editor().MaxStrCount, 400);  // kept although nothing reads it
  ChangeEveryElement(*s.S);
  EXPECT_EQ(s->ViewInfos().size(), 6u + 29u);
  ExpectFileRoundTrip<TEditorStyle>(*s.S, [](const TEditorStyle& a, const TEditorStyle& b) {
    return a.Editor() == b.Editor();
  });
}

TEST(EditorStyle, DefaultsAreNotWrittenEvenAfterAnEdit) {
  TStyle s;
  s->SetEditor(&E::HangStr, std::string("x"));
  s->SetEditor(&E::HangStr, TEditorValues().HangStr);
  s->SetEditor(&E::HeadingStrs, DecodeCommaText(SJ("□,■,○,●,◎,§")));
  s->SetEditor(&E::TailHang, false);
  s->SetEditor(&E::ViewIndent, 2);
  EXPECT_EQ(WrittenKeys(*s.S), With({{"TailHang", "0"}, {"ViewIndent", "2"}}));
  // the divisors of the layout stay at least 1
  s->SetEditor(&E::PartationCount, 0);
  ASSERT_TRUE(LoadKeys(*s.S, With({{"AntiArius", "-2"}})));
  EXPECT_EQ(s->Editor().AntiArius, 1);
  EXPECT_EQ(s->Editor().PartationCount, 1);
}

TEST(EditorStyle, ElementsAndTheirDefaults) {
  TStyle s;
  TViewInfo* normal = s->ViewInfo(TEditorStyle::viNormal);
  EXPECT_EQ(normal, s->ViewInfo(52));
  EXPECT_SJ_EQ("ＭＳ ゴシック", normal->Font().Name);
  EXPECT_EQ(normal->Font().Size, 12);
  EXPECT_EQ(normal->TextColor(), RgbColor(0x182543));
  EXPECT_EQ(normal->BackColor(), RgbColor(0xFCFCEF));
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viHeading)->Font().Style, fsBold);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viMaxPageDivideLine)->LineWidth(), 2.0);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viUnfilled)->DecorateColor(), clBlack);  // not given: the element's own
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viEof)->Status(), 2);
  EXPECT_EQ(s->ViewInfo(81), nullptr);
}

TEST(EditorStyle, FontsAndColoursForAll) {
  TStyle s;
  s->SetFonts(SJ("@ＭＳ 明朝"), 10);
  EXPECT_SJ_EQ("ＭＳ 明朝", s->ViewInfo(TBaseStyle::viHeader)->Font().Name);
  EXPECT_SJ_EQ("@ＭＳ 明朝", s->ViewInfo(TEditorStyle::viNormal)->Font().Name);
  EXPECT_SJ_EQ("@ＭＳ 明朝", s->ViewInfo(TEditorStyle::viRubi)->Font().Name);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viMarkLineInfo)->Font().Size, 10);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viRubi)->Font().Size, 8);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viBoten)->Font().Size, 14);
  s->SetColors(TViewInfo::ciBack, clRed);
  for (int no = TEditorStyle::viNormal; no <= TEditorStyle::viEof; ++no) {
    bool kept = no == TEditorStyle::viSelect || no == TEditorStyle::viFootNote;
    EXPECT_EQ(s->ViewInfo(no)->BackColor() == clRed, !kept) << no;
  }
}

TEST(EditorStyle, MakePrintable) {
  TStyle s;
  s->ViewInfo(TEditorStyle::viCaretLine)->SetStatus(1);
  s->SetEditor(&E::AntiArius, 3);
  s->MakePrintable();
  EXPECT_TRUE(s->PaperVisible());
  EXPECT_EQ(s->Editor().LineSpace, 2.65);  // 10 pixels at 96 per inch
  EXPECT_EQ(s->Editor().TextLeftMargin, 2.12);
  EXPECT_EQ(s->Editor().AntiArius, 1);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viCaretLine)->Status(), 2);
  for (int no : {TEditorStyle::viReturn, TEditorStyle::viTab, TEditorStyle::viEof})
    EXPECT_FALSE(s->ViewInfo(no)->IsEnabled());
  // already on paper: the lengths stay, the rest is done again
  s->SetEditor(&E::AntiArius, 4);
  s->MakePrintable();
  EXPECT_EQ(s->Editor().LineSpace, 2.65);
  EXPECT_EQ(s->Editor().AntiArius, 1);
}
