#include <gtest/gtest.h>

#include "Files.h"
#include "PostStyles.h"
#include "SheetPrinters.h"
#include "paper/StyleTestUtil.h"

using namespace kaede;
using namespace kaede::test;
using P = TPostValues;

namespace {

struct TStyle {
  TPostStyle* S = TDataItem::Make<TPostStyle>();
  ~TStyle() { S->Free(); }
  TPostStyle* operator->() { return S; }
};

bool SamePost(const TPostStyle& a, const TPostStyle& b) { return a.Post() == b.Post() && a.Editor() == b.Editor(); }

// What a user postcard style at its defaults writes: the base and editor keys whose postcard
// defaults differ from the defaults of the base and editor styles.
TKeyValues DefaultCardKeys() {
  return {{"Name", SJ("官製はがき")}, {"DefaultIndex", "-1"}, {"Category", SJ("官製はがき")},
          {"PaperVisible", "1"},      {"PaperSize", "256"},   {"PaperWidth", "100"},
          {"PaperHeight", "148"},     {"MarginLeft", "8"},    {"MarginTop", "83"},
          {"MarginRight", "8"},       {"MarginBottom", "13"}, {"Vertical", "1"},
          {"TextLeftMargin", "0"},    {"LineSpace", "2"}};
}

// Every postcard key away from its default, as the style writes it.
TKeyValues AllPostKeys() {
  TKeyValues k = {
      {"WithLid", "1"}, {"PostVertical", "0"}, {"Editor", "1"}, {"Keisyo", "0"}, {"Renmei", "0"},
      {"SenderNo", "3"}, {"PostCodeKind", "2"}, {"SenderPostCodeKind", "0"}, {"StampKind", "4"},
      {"HeaderImageKind", "1"}, {"FooterImageKind", "2"}, {"YubinBigInterval", "0.5"},
      {"YubinBigLineWidth", "0.2"}, {"YubinSmallInterval", "0.6"}, {"YubinSmallLineWidth", "0.25"},
      {"SenderYubinBigInterval", "0.3"}, {"SenderYubinBigLineWidth", "0.15"},
      {"SenderYubinSmallInterval", "0.35"}, {"SenderYubinSmallLineWidth", "0.05"}, {"LidMargin", "26.5"},
      {"PostKindStr", SJ("私製はがき")}, {"RoundTripStr", SJ("折り目")},
  };
  const char* rects[] = {"AtenaPostCodeBigFrameLayout", "AtenaPostCodeSmallFrameLayout", "AtenaPostCodeTextLayout",
                         "AtenaAddressLayout", "AtenaNameLayout", "AtenaTelLayout", "AtenaMailLayout",
                         "SenderPostCodeBigFrameLayout", "SenderPostCodeSmallFrameLayout", "SenderPostCodeTextLayout",
                         "SenderAddressLayout", "SenderNameLayout", "SenderTelLayout", "SenderMailLayout",
                         "StampLayout", "HeaderLayout", "FooterLayout"};
  int i = 0;
  for (const char* r : rects) {
    ++i;
    k[r] = std::to_string(i) + "|" + std::to_string(i) + ".5|10|137.55";
  }
  TKeyValues d = DefaultCardKeys();
  k.insert(d.begin(), d.end());
  return k;
}

}  // namespace

TEST(PostStyle, DefaultsAreAnOfficialPostcard) {
  TStyle s;
  EXPECT_EQ(WrittenKeys(*s.S), DefaultCardKeys());
  // the boxes of an official postcard, 12 mm from the top
  const P& p = s->Post();
  double left = p.AtenaPostCodeBigFrameLayout.Left;
  std::vector<double> lefts;
  for (int i = 0; i < 3; ++i) lefts.push_back(left + i * (p.AtenaPostCodeBigFrameLayout.Width + p.YubinBigInterval));
  for (int i = 0; i < 4; ++i)
    lefts.push_back(p.AtenaPostCodeSmallFrameLayout.Left +
                    i * (p.AtenaPostCodeSmallFrameLayout.Width + p.YubinSmallInterval));
  const double official[] = {44.0, 51.1, 58.2, 65.5, 72.4, 79.3, 86.2};
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(lefts[static_cast<size_t>(i)], official[i], 1e-9) << i;
  EXPECT_SJ_EQ("@ＭＳ 明朝", s->ViewInfo(TEditorStyle::viNormal)->Font().Name);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viNormal)->Font().Size, 9);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viRubi)->Font().Size, 8);
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viNormal)->BackColor(), RgbColor(0xFEFCFA));
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viSelect)->BackColor(), RgbColor(0xF1C58D));
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viGapLine)->DecorateColor(), RgbColor(0xA6CAF0));
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viFooter)->Status(), 0);
  EXPECT_EQ(s->ViewInfo(TPostStyle::viSenderPostCodeFrame)->Decorate(), 2);
  EXPECT_EQ(s->ViewInfo(TPostStyle::viRoundTrip)->DecorateColor(), RgbColor(0xEEEEEE));
}

TEST(PostStyle, EveryKeyRoundTripsThroughAStyleFile) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, AllPostKeys()));
  EXPECT_EQ(WrittenKeys(*s.S), AllPostKeys());
  // positions beyond three significant digits survive the file
  EXPECT_EQ(s->Post().FooterLayout, (TMmRect{17, 17.5, 10, 137.55}));
  ChangeEveryElement(*s.S);
  ExpectFileRoundTrip<TPostStyle>(*s.S, SamePost);
}

TEST(PostStyle, StoredRectanglesReadWhatIsThere) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, {{"AtenaAddressLayout", "60|20"}, {"AtenaNameLayout", "1|x|3|4"},
                              {"StampLayout", "12.3|11.5|18.5|0"}}));
  EXPECT_EQ(s->Post().AtenaAddressLayout, (TMmRect{60, 20, 23, 106}));  // the rest keeps its default
  EXPECT_EQ(s->Post().AtenaNameLayout, TPostValues().AtenaNameLayout);  // not numbers: the default
  EXPECT_EQ(s->Post().StampLayout.Left, 12.3);
}

TEST(PostStyle, TheSenderNumber) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, {{"SenderNo", "2"}}));
  EXPECT_EQ(s->Post().SenderNo, 2);
  TPostValues want;
  want.SenderNo = 2;
  EXPECT_EQ(s->Post(), want);
  // a predefined style reads the sender but nothing else of the card, and keeps it
  ASSERT_TRUE(LoadKeys(*s.S, {{"DefaultIndex", "1"}, {"SenderNo", "4"}, {"StampKind", "5"}}));
  s->EnsurePreset();
  EXPECT_EQ(s->Post().SenderNo, 4);
  EXPECT_EQ(s->Post().StampKind, 1);
  EXPECT_SJ_EQ("官製はがき（差出人付き）", s->Name());
  EXPECT_EQ(WrittenKeys(*s.S),
            (TKeyValues{{"Name", SJ("官製はがき（差出人付き）")}, {"DefaultIndex", "1"}, {"SenderNo", "4"}}));
}

TEST(PostStyle, WithSender) {
  TStyle s;
  int changes = 0;
  s->OnAfterChange = [&](TDataItem*, int) { ++changes; };
  s->SetWithSender(true);
  EXPECT_EQ(changes, 1);
  for (int no = TPostStyle::viSenderPostCode; no <= TPostStyle::viSenderMail; ++no)
    EXPECT_EQ(s->ViewInfo(no)->Status(), no == TPostStyle::viSenderPostCodeFrame ? 2 : 1) << no;
  s->SetWithSender(false);
  EXPECT_EQ(s->ViewInfo(TPostStyle::viSenderName)->Status(), 0);
}

TEST(PostStyle, TheEnvelopeRule) {
  // 70 % of what stays free right of the stamp once the seven boxes are placed
  EXPECT_DOUBLE_EQ(EnvelopeCodeFrameLeft(120, 33.5, 48.3), 33.5 + 0.7 * 37.2);
  EXPECT_DOUBLE_EQ(EnvelopeCodeFrameLeft(90, 29.75, 48.3), 29.75 + 0.7 * 10.95);
  EXPECT_DOUBLE_EQ(EnvelopeCodeFrameLeft(60, 29.75, 48.3), 29.75);  // nothing free: right after the stamp
  TPostValues d;
  EXPECT_NEAR(PostCodeBoxesSpan(d.AtenaPostCodeBigFrameLayout, d.AtenaPostCodeSmallFrameLayout, d.YubinSmallInterval),
              48.3, 1e-9);
  TPostStyleList list;
  list.Reset();
  const P& p = list.Style(27)->Post();  // 長形３号
  EXPECT_EQ(p.StampLayout, (TMmRect{15, 15, 18.5, 0}));
  EXPECT_EQ(p.AtenaPostCodeBigFrameLayout, (TMmRect{59.54, 12.2, 6.0, 8.3}));
  EXPECT_EQ(p.AtenaPostCodeSmallFrameLayout, (TMmRect{80.54, 12.4, 5.9, 8.1}));
  EXPECT_EQ(p.AtenaAddressLayout, (TMmRect{85, 35, 25, 180}));
  EXPECT_EQ(p.AtenaNameLayout, (TMmRect{50, 45, 30, 130}));
  const P& back = list.Style(29)->Post();
  EXPECT_EQ(back.SenderAddressLayout, (TMmRect{33, 148, 10, 67}));
  EXPECT_EQ(back.SenderNameLayout.Bottom(), back.SenderAddressLayout.Bottom());
  EXPECT_EQ(back.SenderPostCodeBigFrameLayout.Top, back.SenderAddressLayout.Bottom() + 3);
  EXPECT_EQ(list.Style(28)->Base().PaperHeight, 261);  // 26.5 rounds to 26 by itself
  EXPECT_EQ(list.Style(28)->Post().LidMargin, 26.5);
}

namespace {

struct TPresetRow {
  int No;
  const char* Name;
  const char* Category;
  int Paper, Width, Height, Across, Down;
  bool Editor, Vertical, PostVertical;
  int Stamp;
  bool Lid;
  int PostCode;
  bool Sender;
};

// name, category, paper number and size, division, free text, vertical text and address,
// stamp, flap, addressee postal code and whether the sender is printed
const TPresetRow kRows[] = {
    {0, "官製はがき", "官製はがき", 256, 100, 148, 1, 1, false, true, true, 1, false, 1, false},
    {1, "官製はがき（差出人付き）", "官製はがき", 256, 100, 148, 1, 1, false, true, true, 1, false, 1, true},
    {2, "官製はがき（差出人郵便番号上付き）", "官製はがき", 256, 100, 148, 1, 1, false, true, true, 1, false, 1, true},
    {3, "官製はがき（横書き）", "官製はがき", 256, 100, 148, 1, 1, false, true, false, 1, false, 1, false},
    {4, "官製はがき（横書き／差出人付き）", "官製はがき", 256, 100, 148, 1, 1, false, true, false, 1, false, 1, true},
    {5, "はがき（裏／横書き）", "官製はがき", 256, 100, 148, 1, 1, true, false, true, 0, false, 0, false},
    {6, "はがき（裏／横書き／差出人付き）", "官製はがき", 256, 100, 148, 1, 1, true, false, false, 0, false, 0, true},
    {7, "はがき（裏／縦書き）", "官製はがき", 256, 100, 148, 1, 1, true, true, true, 0, false, 0, false},
    {8, "年賀はがき", "年賀はがき", 256, 100, 148, 1, 1, false, true, true, 2, false, 1, false},
    {9, "年賀はがき（差出人付き）", "年賀はがき", 256, 100, 148, 1, 1, false, true, true, 2, false, 1, true},
    {10, "往復はがき（往信）", "往復はがき", 256, 200, 148, 1, 1, false, true, true, 3, false, 1, false},
    {11, "往復はがき（往信／差出人付き）", "往復はがき", 256, 200, 148, 1, 1, false, true, true, 3, false, 1, true},
    {12, "往復はがき（返信）", "往復はがき", 256, 200, 148, 1, 1, true, false, true, 4, false, 1, true},
    {13, "絵入りはがき", "その他のはがき", 256, 100, 148, 1, 1, false, true, true, 5, false, 1, false},
    {14, "絵入りはがき（差出人付き）", "その他のはがき", 256, 100, 148, 1, 1, false, true, true, 5, false, 1, true},
    {15, "絵入りはがき（本文表）", "その他のはがき", 256, 100, 148, 1, 1, true, true, true, 5, false, 1, false},
    {16, "絵入りはがき（本文表／差出人付き）", "その他のはがき", 256, 100, 148, 1, 1, true, true, true, 5, false, 1, true},
    {17, "無地はがき", "その他のはがき", 256, 100, 148, 1, 1, false, true, true, 6, false, 1, false},
    {18, "無地はがき（差出人付き）", "その他のはがき", 256, 100, 148, 1, 1, false, true, true, 6, false, 1, true},
    {19, "エアメールはがき", "その他のはがき", 256, 148, 100, 1, 1, true, false, false, 8, false, 0, false},
    {20, "エアメールはがき（差出人付き）", "その他のはがき", 256, 148, 100, 1, 1, true, false, false, 8, false, 0, true},
    {21, "四面連刷はがき", "その他のはがき", 256, 200, 294, 2, 2, false, true, true, 1, false, 1, false},
    {22, "四面連刷はがき（差出人付き）", "その他のはがき", 256, 200, 294, 2, 2, false, true, true, 1, false, 1, true},
    {23, "長形４号", "封筒長４", 256, 90, 205, 1, 1, false, true, true, 7, false, 1, false},
    {24, "長形４号（のりしろ付き）", "封筒長４", 256, 90, 223, 1, 1, false, true, true, 7, true, 1, false},
    {25, "長形４号（裏）", "封筒長４", 256, 90, 205, 1, 1, false, true, true, 0, false, 0, true},
    {26, "長形４号（裏／のりしろ付き）", "封筒長４", 256, 90, 223, 1, 1, false, true, true, 0, true, 0, true},
    {27, "長形３号", "封筒長３", 256, 120, 235, 1, 1, false, true, true, 7, false, 1, false},
    {28, "長形３号（のりしろ付き）", "封筒長３", 256, 120, 261, 1, 1, false, true, true, 7, true, 1, false},
    {29, "長形３号（裏）", "封筒長３", 256, 120, 235, 1, 1, false, true, true, 0, false, 0, true},
    {30, "長形３号（裏／のりしろ付き）", "封筒長３", 256, 120, 261, 1, 1, false, true, true, 0, true, 0, true},
    {31, "角形６号", "封筒角６", 256, 162, 229, 1, 1, false, true, true, 7, false, 1, false},
    {32, "角形６号（のりしろ付き）", "封筒角６", 256, 162, 255, 1, 1, false, true, true, 7, true, 1, false},
    {33, "角形６号（裏）", "封筒角６", 256, 162, 229, 1, 1, false, true, true, 0, false, 0, true},
    {34, "角形６号（裏／のりしろ付き）", "封筒角６", 256, 162, 255, 1, 1, false, true, true, 0, true, 0, true},
    {35, "角形３号", "封筒角３", 256, 216, 277, 1, 1, false, true, true, 7, false, 1, false},
    {36, "角形３号（のりしろ付き）", "封筒角３", 256, 216, 310, 1, 1, false, true, true, 7, true, 1, false},
    {37, "角形３号（裏）", "封筒角３", 256, 216, 277, 1, 1, false, true, true, 0, false, 0, true},
    {38, "角形３号（裏／のりしろ付き）", "封筒角３", 256, 216, 310, 1, 1, false, true, true, 0, true, 0, true},
    {39, "ラベル用紙2×6（宛名）", "ラベル", 9, 0, 0, 2, 6, false, false, false, 0, false, 2, false},
    {40, "ラベル用紙3×6（宛名）", "ラベル", 9, 0, 0, 3, 6, false, false, false, 0, false, 2, false},
    {41, "ラベル用紙2×5（名刺）", "ラベル", 9, 0, 0, 2, 5, false, false, false, 0, false, 2, false},
};

// A rectangle of a shown part lies on its page (a size of 0 follows the content).
void ExpectOnPage(const TMmRect& r, double width, double height, const std::string& what) {
  EXPECT_GE(r.Left, 0) << what;
  EXPECT_GE(r.Top, 0) << what;
  EXPECT_LE(r.Right(), width + 1e-9) << what;
  EXPECT_LE(r.Bottom(), height + 1e-9) << what;
}

void ExpectBoxesOnPage(const TMmRect& big, double bigGap, const TMmRect& small, double smallGap, double width,
                       double height, const std::string& what) {
  ExpectOnPage(big.Moved(2 * (big.Width + bigGap), 0), width, height, what + " big");
  ExpectOnPage(small.Moved(3 * (small.Width + smallGap), 0), width, height, what + " small");
  EXPECT_LE(big.Right() + 2 * (big.Width + bigGap), small.Left + 1e-9) << what;
}

}  // namespace

TEST(PostStyleList, TheFortyTwoPredefinedStyles) {
  TPostStyleList list;
  EXPECT_EQ(list.PresetCount, 42);
  EXPECT_EQ(list.DefaultExt, ".kps");
  EXPECT_SJ_EQ("Kaede Address スタイルファイル(*.kps)|*.kps", list.FileFilter);
  auto store = TSettingsStore::OpenFile("");
  list.ReadFromStore(*store);
  ASSERT_EQ(list.Count(), 42);
  for (const TPresetRow& row : kRows) {
    SCOPED_TRACE(row.Name);
    TPostStyle* s = list.Style(row.No);
    const TBaseStyleValues& b = s->Base();
    const P& p = s->Post();
    EXPECT_EQ(s->DefaultIndex(), row.No);
    EXPECT_SJ_EQ(row.Name, s->Name());
    EXPECT_SJ_EQ(row.Category, b.Category);
    EXPECT_TRUE(b.PaperVisible);
    EXPECT_EQ(b.PaperSize, row.Paper);
    EXPECT_EQ(b.PaperWidth, row.Width);
    EXPECT_EQ(b.PaperHeight, row.Height);
    EXPECT_EQ(b.PaperLevelDivide, row.Across);
    EXPECT_EQ(b.PaperVerticalDivide, row.Down);
    EXPECT_EQ(p.Editor, row.Editor);
    EXPECT_EQ(s->Editor().Vertical, row.Vertical);
    EXPECT_EQ(p.PostVertical, row.PostVertical);
    EXPECT_EQ(p.StampKind, row.Stamp);
    EXPECT_EQ(p.WithLid, row.Lid);
    EXPECT_EQ(p.PostCodeKind, row.PostCode);
    EXPECT_EQ(s->ViewInfo(TPostStyle::viSenderName)->Status(), row.Sender ? 1 : 0);
    // the shown parts lie on the page (of an envelope: on its body below the flap)
    double pageWidth = ((row.Paper == 9 ? 210 : b.PaperWidth) - b.PaperMarginLeft - b.PaperMarginRight) / b.PaperLevelDivide;
    double pageHeight = ((row.Paper == 9 ? 297 : b.PaperHeight) - b.PaperMarginTop - b.PaperMarginBottom) / b.PaperVerticalDivide;
    if (p.WithLid) pageHeight -= RoundHalfEven(p.LidMargin);
    auto shown = [&](int no) { return s->ViewInfo(no)->Status() != 0; };
    if (shown(TPostStyle::viAtenaAddress)) ExpectOnPage(p.AtenaAddressLayout, pageWidth, pageHeight, "address");
    if (shown(TPostStyle::viAtenaName)) ExpectOnPage(p.AtenaNameLayout, pageWidth, pageHeight, "name");
    if (shown(TPostStyle::viAtenaTel)) ExpectOnPage(p.AtenaTelLayout, pageWidth, pageHeight, "tel");
    if (shown(TPostStyle::viAtenaMail)) ExpectOnPage(p.AtenaMailLayout, pageWidth, pageHeight, "mail");
    if (p.PostCodeKind == 1 && shown(TPostStyle::viAtenaPostCode))
      ExpectBoxesOnPage(p.AtenaPostCodeBigFrameLayout, p.YubinBigInterval, p.AtenaPostCodeSmallFrameLayout,
                        p.YubinSmallInterval, pageWidth, pageHeight, "boxes");
    if (p.PostCodeKind == 2) ExpectOnPage(p.AtenaPostCodeTextLayout, pageWidth, pageHeight, "code text");
    if (row.Sender) {
      ExpectOnPage(p.SenderAddressLayout, pageWidth, pageHeight, "sender address");
      ExpectOnPage(p.SenderNameLayout, pageWidth, pageHeight, "sender name");
      if (shown(TPostStyle::viSenderTel)) ExpectOnPage(p.SenderTelLayout, pageWidth, pageHeight, "sender tel");
      if (shown(TPostStyle::viSenderMail)) ExpectOnPage(p.SenderMailLayout, pageWidth, pageHeight, "sender mail");
      if (p.SenderPostCodeKind == 1)
        ExpectBoxesOnPage(p.SenderPostCodeBigFrameLayout, p.SenderYubinBigInterval, p.SenderPostCodeSmallFrameLayout,
                          p.SenderYubinSmallInterval, pageWidth, pageHeight, "sender boxes");
    }
    if (p.StampKind > 0) ExpectOnPage(p.StampLayout, pageWidth, pageHeight, "stamp");
    // the page keeps a content area, however small
    EXPECT_GT(pageHeight - b.MarginTop - b.MarginBottom + (p.WithLid ? RoundHalfEven(p.LidMargin) : 0), 0);
    // predefined styles store nothing but their number and name
    EXPECT_EQ(WrittenKeys(*s).size(), 2u);
  }
}

TEST(PostStyleList, WhatThePresetsChangeBesides) {
  TPostStyleList list;
  list.Reset();
  EXPECT_EQ(list.Style(2)->Post().SenderPostCodeKind, 2);
  EXPECT_EQ(list.Style(6)->Base().MarginBottom, 45);
  EXPECT_EQ(list.Style(5)->ViewInfo(TPostStyle::viAtenaName)->Status(), 0);
  EXPECT_EQ(list.Style(8)->Post().FooterImageKind, 1);
  EXPECT_EQ(list.Style(8)->Base().MarginBottom, 30);
  TPostStyle* outward = list.Style(10);
  EXPECT_EQ(outward->Base().MarginLeft, 110);
  EXPECT_SJ_EQ("郵便往復はがき", outward->Post().PostKindStr);
  EXPECT_EQ(outward->ViewInfo(TPostStyle::viRoundTrip)->Status(), 2);
  TPostStyle* reply = list.Style(12);
  EXPECT_EQ(reply->Base().MarginLeft, 108);
  EXPECT_EQ(reply->Post().SenderPostCodeBigFrameLayout, reply->Post().AtenaPostCodeBigFrameLayout);
  EXPECT_EQ(reply->Post().SenderYubinSmallInterval, reply->Post().YubinSmallInterval);
  EXPECT_EQ(reply->ViewInfo(TPostStyle::viSenderTel)->Status(), 0);
  EXPECT_SJ_EQ("こ の 折 り 目 を 内 側 に し て 折 っ て 差 し 出 し て く だ さ い 。", reply->Post().RoundTripStr);
  EXPECT_EQ(list.Style(13)->Base().MarginBottom, 14);
  TPostStyle* blank = list.Style(17);
  EXPECT_EQ(blank->Post().PostKindStr, "Post Card");
  EXPECT_EQ(blank->ViewInfo(TPostStyle::viPostKind)->Font().Style, fsBold);
  TPostStyle* air = list.Style(20);
  EXPECT_EQ(air->Base().MarginTop, 35);
  EXPECT_EQ(air->Base().MarginRight, 80);
  EXPECT_EQ(air->Post().HeaderImageKind, 1);
  EXPECT_EQ(air->Post().FooterImageKind, 2);
  EXPECT_EQ(list.Style(36)->Post().LidMargin, 33);
  TPostStyle* label = list.Style(39);
  EXPECT_EQ(label->Base().PaperMarginLeft, 19.3);
  EXPECT_EQ(label->Base().PaperMarginBottom, 21.5);
  EXPECT_EQ(list.Style(40)->Base().PaperMarginLeft, 7.2);
  TPostStyle* cards = list.Style(41);
  EXPECT_FALSE(cards->Post().Keisyo);
  EXPECT_FALSE(cards->Post().Renmei);
  for (int i : {39, 40, 41}) {
    EXPECT_EQ(list.Style(i)->ViewInfo(TPostStyle::viPostKind)->Status(), 0);
    EXPECT_EQ(list.Style(i)->ViewInfo(TPostStyle::viAtenaPostCodeFrame)->Status(), 0);
  }
}

TEST(PostStyleList, ExchangedAsStyleFiles) {
  TempDir dir;
  TPostStyleList list;
  list.Reset();
  TPostStyle* s = list.Style(27);
  s->SetDefaultIndex(-1);  // an edited envelope
  s->SetPost(&P::StampKind, 2);
  std::string file = dir.File("封筒.kps");
  s->SaveToFile(file, "");
  auto store = TSettingsStore::OpenFile(file);
  EXPECT_EQ(store->Sections(), (TStrings{"Style"}));
  TStyle back;
  ASSERT_TRUE(back->LoadFromFile(file, ""));
  EXPECT_SJ_EQ("長形３号", back->Name());
  EXPECT_EQ(back->Post(), s->Post());
  EXPECT_EQ(back->Base(), s->Base());
  ExpectSameElements(*back.S, *s);
}
