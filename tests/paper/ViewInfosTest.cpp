#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "TestUtil.h"
#include "ViewInfos.h"

using namespace kaede;

namespace {

struct TElement {
  TViewInfo* E = TDataItem::Make<TViewInfo>();
  std::vector<std::pair<char, int>> Events;  // 'b' before, 'a' after, with the ValueNo
  TElement() {
    E->OnBeforeChange = [this](TDataItem*, int no) { Events.push_back({'b', no}); };
    E->OnAfterChange = [this](TDataItem*, int no) { Events.push_back({'a', no}); };
  }
  ~TElement() { E->Free(); }
};

}  // namespace

TEST(ViewInfo, TextFormOfTheDefaultsAndOfAnotherFont) {
  TElement t;
  EXPECT_EQ(t.E->GetText(), "1,\",,,\",0,1,clBlack,clWhite,clBlack");
  t.E->SetFontName("MS UI Gothic");
  t.E->SetLineWidth(0.5);
  t.E->SetBackColor(RgbColor(0xEEEEEE));
  EXPECT_EQ(t.E->GetText(), "1,\"MS UI Gothic,,,\",0,0.5,clBlack,$00EEEEEE,clBlack");
  TElement back;
  back.E->SetText(t.E->GetText());
  EXPECT_TRUE(back.E->SameAs(*t.E));
}

TEST(ViewInfo, ReadingChangesOnlyTheFieldsGiven) {
  TElement t;
  t.E->SetText(SJ("1,\"ＭＳ 明朝,12,Bold,clRed\",3,2,clBlue,clAqua,clLime"));
  t.E->SetText("2");
  EXPECT_EQ(t.E->Status(), 2);
  EXPECT_EQ(t.E->Font().Size, 12);
  EXPECT_EQ(t.E->TextColor(), TColor(0xFF0000));
  t.E->SetText(",,,,,,$00EEEEEE");
  EXPECT_EQ(t.E->DecorateColor(), TColor(0xEEEEEE));
  EXPECT_EQ(t.E->BackColor(), TColor(0xFFFF00));
  EXPECT_EQ(t.E->Decorate(), 3);
  // a font field starts from the default font, black included
  t.E->SetText(SJ(",\"ＭＳ ゴシック,,italic\""));
  EXPECT_SJ_EQ("ＭＳ ゴシック", t.E->Font().Name);
  EXPECT_EQ(t.E->Font().Size, 9);
  EXPECT_EQ(t.E->Font().Style, fsItalic);
  EXPECT_EQ(t.E->TextColor(), clBlack);
  // numbers that are not numbers read as 0
  t.E->SetText("x,,y,z");
  EXPECT_EQ(t.E->Status(), 0);
  EXPECT_EQ(t.E->Decorate(), 0);
  EXPECT_EQ(t.E->LineWidth(), 0);
}

TEST(ViewInfo, ColourTextsByNameOrNumberAndAnUnreadableOneKeepsTheColour) {
  TElement t;
  t.E->SetText(",,,,$000000FF");
  EXPECT_EQ(t.E->TextColor(), clRed);
  t.E->SetText(",,,,clRed,16711680");
  EXPECT_EQ(t.E->BackColor(), TColor(0xFF0000));
  EXPECT_NE(t.E->GetText().find(",clRed,clBlue,"), std::string::npos);
  t.E->SetText(",,,,nocolour,$XYZ,clGreen");
  EXPECT_EQ(t.E->TextColor(), clRed);
  EXPECT_EQ(t.E->BackColor(), TColor(0xFF0000));
  EXPECT_EQ(t.E->DecorateColor(), TColor(0x008000));
}

TEST(ViewInfo, ChangesTellWhatChanged) {
  TElement t;
  t.E->SetFontSize(12);
  t.E->SetFontName(SJ("ＭＳ 明朝"));
  t.E->SetFontStyle(fsBold);
  t.E->SetTextColor(clRed);
  t.E->SetTextColor(clRed);  // unchanged: nothing
  t.E->SetBackColor(clBlack);
  t.E->SetDecorate(2);
  t.E->SetDecorateColor(clRed);
  t.E->SetLineWidth(2);
  t.E->SetStatus(0);
  t.E->SetColor(7, clRed);  // no such colour
  std::vector<std::pair<char, int>> want;
  for (int no : {3, 2, 2, 5, 6, 7, 8, 9, 0}) {
    want.push_back({'b', no});
    want.push_back({'a', no});
  }
  EXPECT_EQ(t.Events, want);
  t.Events.clear();
  TElement other;
  other.E->Assign(t.E);
  EXPECT_TRUE(other.E->SameAs(*t.E));
  EXPECT_EQ(other.Events, (std::vector<std::pair<char, int>>{{'b', -1}, {'a', -1}}));
}

TEST(ViewInfo, DrawingRules) {
  TElement t;
  EXPECT_TRUE(t.E->IsVisible(true));
  t.E->SetStatus(2);
  EXPECT_TRUE(t.E->IsVisible(false));
  EXPECT_FALSE(t.E->IsVisible(true));
  EXPECT_TRUE(t.E->IsEnabled());
  t.E->SetStatus(-1);
  EXPECT_FALSE(t.E->IsEnabled());
  const TLinePen pens[] = {lpNone, lpSolid, lpDot, lpSolid, lpDot, lpDash, lpNone};
  for (int d = 0; d <= 6; ++d) {
    t.E->SetDecorate(d);
    EXPECT_EQ(t.E->LinePen(), pens[d]) << d;
    EXPECT_EQ(t.E->IsDoubleLine(), d == 3 || d == 4);
  }
}

// Reading the difference text over the record restores the element, whatever the record.
TEST(ViewInfo, DifferenceTextsRestoreTheElementOverItsRecord) {
  TViewInfoRecord mincho;
  mincho.Status = 1;
  mincho.FontName = SJ("ＭＳ 明朝");
  mincho.FontSize = 12;
  mincho.StyleCode = 1;
  mincho.Decorate = 1;
  mincho.LineWidth = 0.4;
  mincho.TextColor = RgbColor(0x182543);
  mincho.BackColor = RgbColor(0xFCFCEF);
  mincho.DecorateColor = clRed;
  TViewInfoRecord partial;
  partial.Status = 2;
  partial.BackColor = clWhite;
  for (const TViewInfoRecord& r : {mincho, partial, TViewInfoRecord()}) {
    auto roundTrip = [&](const std::function<void(TViewInfo*)>& change) {
      TElement t;
      t.E->ApplyRecord(r);
      change(t.E);
      TElement back;
      back.E->ApplyRecord(r);
      back.E->SetText(t.E->DiffText(r));
      EXPECT_TRUE(back.E->SameAs(*t.E)) << test::U8(t.E->DiffText(r));
      return t.E->DiffText(r);
    };
    // unchanged: only what the record does not give
    roundTrip([](TViewInfo*) {});
    // the default font where the record names another one
    roundTrip([](TViewInfo* e) { e->SetFont(DefaultFont()); });
    // another font with the record's colour
    roundTrip([](TViewInfo* e) { e->SetFontName(SJ("ＭＳ ゴシック")); });
    roundTrip([](TViewInfo* e) {
      e->SetStatus(0);
      e->SetDecorate(0);
      e->SetLineWidth(0);
      e->SetBackColor(clNone);
      e->SetDecorateColor(clNone);
    });
  }
  TElement same;
  same.E->ApplyRecord(mincho);
  EXPECT_EQ(same.E->DiffText(mincho), ",,,,,,");
  TElement plain;
  plain.E->SetStatus(2);
  plain.E->SetFont(DefaultFont());
  EXPECT_EQ(plain.E->DiffText(mincho), "2,\",,,\",0,1,clBlack,clWhite,clBlack");
}
