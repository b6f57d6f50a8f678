// The predefined styles laid out: every part a preset shows lies on its card and keeps clear
// of every other part and of the free-text area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "PostStyles.h"
#include "SheetPrinters.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

struct TPart {
  std::string Name;
  TMmRect Rect;
};

bool Overlap(const TMmRect& a, const TMmRect& b) {
  const double eps = 0.001;
  return a.Left < b.Right() - eps && b.Left < a.Right() - eps && a.Top < b.Bottom() - eps && b.Top < a.Bottom() - eps;
}

// The parts a style shows, in millimetres on its card. Sizes that follow from the content
// are estimated: a postal code as text is five of its font heights long ("〒" and eight
// half-width characters), the card pictures keep the proportions of the installed ones.
std::vector<TPart> ShownParts(const TPostStyle& s, double cardWidth, double cardHeight) {
  const TPostValues& p = s.Post();
  auto shown = [&](int no) { return s.ViewInfo(no)->Status() != 0; };
  std::vector<TPart> parts;
  auto boxes = [&](const char* name, const TMmRect& big, double bigGap, const TMmRect& small, double smallGap) {
    double right = small.Left + 4 * small.Width + 3 * smallGap;
    double top = std::min(big.Top, small.Top), bottom = std::max(big.Bottom(), small.Bottom());
    parts.push_back({name, {big.Left, top, right - big.Left, bottom - top}});
    EXPECT_LE(big.Left + 3 * big.Width + 2 * bigGap, small.Left) << name << ": the large boxes reach the small ones";
  };
  auto codeText = [&](const char* name, const TMmRect& r) {
    double h = r.Height * 0.65;
    parts.push_back({name, {r.Left, r.Top, 5 * h, r.Height}});
  };
  using S = TPostStyle;
  if (p.PostCodeKind == 1 && (shown(S::viAtenaPostCode) || shown(S::viAtenaPostCodeFrame)))
    boxes("addressee boxes", p.AtenaPostCodeBigFrameLayout, p.YubinBigInterval, p.AtenaPostCodeSmallFrameLayout,
          p.YubinSmallInterval);
  if (p.PostCodeKind == 2 && shown(S::viAtenaPostCode)) codeText("addressee code", p.AtenaPostCodeTextLayout);
  if (shown(S::viAtenaAddress)) parts.push_back({"addressee address", p.AtenaAddressLayout});
  if (shown(S::viAtenaName)) parts.push_back({"addressee name", p.AtenaNameLayout});
  if (shown(S::viAtenaTel)) parts.push_back({"addressee tel", p.AtenaTelLayout});
  if (shown(S::viAtenaMail)) parts.push_back({"addressee mail", p.AtenaMailLayout});
  if (p.SenderPostCodeKind == 1 && (shown(S::viSenderPostCode) || (shown(S::viSenderPostCodeFrame) && shown(S::viSenderName))))
    boxes("sender boxes", p.SenderPostCodeBigFrameLayout, p.SenderYubinBigInterval, p.SenderPostCodeSmallFrameLayout,
          p.SenderYubinSmallInterval);
  if (p.SenderPostCodeKind == 2 && shown(S::viSenderPostCode)) codeText("sender code", p.SenderPostCodeTextLayout);
  if (shown(S::viSenderAddress)) parts.push_back({"sender address", p.SenderAddressLayout});
  if (shown(S::viSenderName)) parts.push_back({"sender name", p.SenderNameLayout});
  if (shown(S::viSenderTel)) parts.push_back({"sender tel", p.SenderTelLayout});
  if (shown(S::viSenderMail)) parts.push_back({"sender mail", p.SenderMailLayout});
  if (shown(S::viPostKind) && !p.PostKindStr.empty()) parts.push_back({"title", {43, 5, 32, 9 * 25.4 / 72}});
  // the installed pictures: stamps 5 : 6, the airmail header 4 : 1, the New Year footer
  // 8 : 1 and the airmail footer 18 : 1
  auto picture = [&](const char* name, int32_t kind, const TMmRect& r, double heightPerWidth) {
    if (kind > 0) parts.push_back({name, {r.Left, r.Top, r.Width, r.Height > 0 ? r.Height : r.Width * heightPerWidth}});
  };
  picture("stamp", p.StampKind, p.StampLayout, 1.2);
  picture("header", p.HeaderImageKind, p.HeaderLayout, 0.25);
  picture("footer", p.FooterImageKind, p.FooterLayout, p.FooterImageKind == 2 ? 1.0 / 18 : 1.0 / 8);
  if (p.Barcode) {
    // with its clear zone on every side
    const TMmRect bars = BarcodeBounds(p);
    const double c = TBarcodeMetrics::kClear;
    parts.push_back({"barcode", {bars.Left - c, bars.Top - c, bars.Width + 2 * c, bars.Height + 2 * c}});
  }
  if (p.Editor) {
    const TBaseStyleValues& b = s.Base();
    parts.push_back({"free text", {b.MarginLeft, b.MarginTop, cardWidth - b.MarginLeft - b.MarginRight,
                                   cardHeight - b.MarginTop - b.MarginBottom}});
  }
  return parts;
}

// One piece of the style's sheet and its shown parts; an envelope printed with its flap open is
// measured from its body.
struct TPiece {
  double Width, Height;
  std::vector<TPart> Parts;
};

TPiece PieceOf(const TPostStyle& s) {
  const TBaseStyleValues& b = s.Base();
  const double width = ((b.PaperSize == kPaperA4 ? 210 : b.PaperWidth) - b.PaperMarginLeft - b.PaperMarginRight) /
                       b.PaperLevelDivide;
  double height = ((b.PaperSize == kPaperA4 ? 297 : b.PaperHeight) - b.PaperMarginTop - b.PaperMarginBottom) /
                  b.PaperVerticalDivide;
  if (s.Post().WithLid) height -= s.Post().LidMargin;
  return {width, height, ShownParts(s, width, height)};
}

}  // namespace

TEST(PostPresets, ShownPartsStayOnTheCardAndClearOfEachOther) {
  TPostStyleList list;
  list.Reset();
  for (int i = 0; i < kPostPresetCount; ++i) {
    const TPostStyle& s = *list.Style(i);
    SCOPED_TRACE(U8(s.Name()));
    const auto [width, height, parts] = PieceOf(s);
    for (const TPart& a : parts) {
      EXPECT_GE(a.Rect.Left, 0) << a.Name;
      EXPECT_GE(a.Rect.Top, 0) << a.Name;
      EXPECT_LE(a.Rect.Right(), width + 0.001) << a.Name;
      EXPECT_LE(a.Rect.Bottom(), height + 0.001) << a.Name;
    }
    for (size_t x = 0; x < parts.size(); ++x)
      for (size_t y = x + 1; y < parts.size(); ++y)
        EXPECT_FALSE(Overlap(parts[x].Rect, parts[y].Rect)) << parts[x].Name << " overlaps " << parts[y].Name;
  }
}

TEST(PostPresets, EnvelopesAndAddressLabelsCarryTheBarcodeWhereItHasRoom) {
  TPostStyleList list;
  list.Reset();
  for (int i = 0; i < kPostPresetCount; ++i) {
    const TPostStyle& s = *list.Style(i);
    const TPostValues& p = s.Post();
    const bool front = i >= 23 && i <= 38 && (i - 23) % 4 < 2;
    EXPECT_EQ(p.Barcode, front || i == 39) << U8(s.Name());
    if (!front) continue;
    // an envelope's bars keep 10 mm from its edges and lie below the addressee
    const TMmRect r = BarcodeBounds(p);
    const double height = s.Base().PaperHeight - (p.WithLid ? std::round(p.LidMargin) : 0);
    EXPECT_GE(r.Left, 10) << U8(s.Name());
    EXPECT_LE(r.Right(), s.Base().PaperWidth - 10) << U8(s.Name());
    EXPECT_LE(r.Bottom(), height - 10) << U8(s.Name());
    EXPECT_GT(r.Top, p.AtenaNameLayout.Bottom()) << U8(s.Name());
    EXPECT_GE(p.BarcodeSize, 8);
  }
}

// A user may switch the barcode on in a style with an addressee: where the style puts it
// then, it keeps its clear zone off every shown part and its bars 10 mm from the card's edges
// (a label's edges are not the piece's). Some cards have no room below the addressee: the
// sender's boxes, the lottery band or the message lie there (the cards of a four-card sheet
// are 1 mm lower), and airmail goes abroad; the small labels and business cards have none
// either.
TEST(PostPresets, TheBarcodeSwitchedOnFindsRoomBelowTheAddressee) {
  TPostStyleList list;
  list.Reset();
  const std::vector<int> noRoom = {1, 8, 9, 11, 14, 15, 16, 18, 19, 20, 21, 22, 40, 41};
  for (int i = 0; i < kPostPresetCount; ++i) {
    TPostStyle& s = *list.Style(i);
    if (s.ViewInfo(TPostStyle::viAtenaName)->Status() == 0 || std::count(noRoom.begin(), noRoom.end(), i)) continue;
    SCOPED_TRACE(U8(s.Name()));
    s.SetPost(&TPostValues::Barcode, true);
    const auto [width, height, parts] = PieceOf(s);
    auto barcode = std::find_if(parts.begin(), parts.end(), [](const TPart& t) { return t.Name == "barcode"; });
    ASSERT_NE(barcode, parts.end());
    const TPart bars = *barcode;
    for (const TPart& t : parts)
      if (&t != &*barcode) EXPECT_FALSE(Overlap(t.Rect, bars.Rect)) << t.Name << " overlaps the barcode";
    const double edge = i == 39 ? 0 : 10 - TBarcodeMetrics::kClear;
    EXPECT_GE(bars.Rect.Left, edge - 0.001);
    EXPECT_LE(bars.Rect.Right(), width - edge + 0.001);
    EXPECT_LE(bars.Rect.Bottom(), height - edge + 0.001);
    EXPECT_GE(s.Post().BarcodeSize, 8);
  }
}

TEST(PostPresets, RoundTripCardsAddressTheHalfWithTheTitle) {
  TPostStyleList list;
  list.Reset();
  for (int i : {10, 11, 12}) {
    const TPostStyle& s = *list.Style(i);
    SCOPED_TRACE(U8(s.Name()));
    const TPostValues& p = s.Post();
    // the title stands 43 mm from the card's left edge, the fold at 100 mm
    const TMmRect& boxes = i == 12 ? p.SenderPostCodeBigFrameLayout : p.AtenaPostCodeBigFrameLayout;
    const TMmRect& address = i == 12 ? p.SenderAddressLayout : p.AtenaAddressLayout;
    const TMmRect& name = i == 12 ? p.SenderNameLayout : p.AtenaNameLayout;
    EXPECT_EQ(boxes.Left, 44.0);
    EXPECT_LE(address.Right(), 100);
    EXPECT_LE(name.Right(), 100);
    EXPECT_LE(p.StampLayout.Right(), 43);
    // the free text lies beyond the fold
    EXPECT_GE(s.Base().MarginLeft, 100);
  }
}

TEST(PostPresets, TheManuscriptGridIsOnePixelWide) {
  TPostStyleList list;
  list.Reset();
  for (int i = 0; i < kPostPresetCount; ++i)
    EXPECT_EQ(list.Style(i)->ViewInfo(TEditorStyle::viGapLine)->LineWidth(), -1) << i;
  // a user style at its defaults still writes nothing of the grid
  TPostStyle* s = TDataItem::Make<TPostStyle>();
  EXPECT_EQ(s->ViewInfo(TEditorStyle::viGapLine)->LineWidth(), -1);
  EXPECT_TRUE(s->ViewInfo(TEditorStyle::viGapLine)->SameAs(*s->Defaults().ViewInfo(TEditorStyle::viGapLine)));
  s->Free();
}

TEST(PostPresets, TheMessageSideShowsNoBoxes) {
  TPostStyleList list;
  list.Reset();
  for (int i : {5, 6, 7}) {
    const TPostStyle& s = *list.Style(i);
    EXPECT_EQ(s.ViewInfo(TPostStyle::viAtenaPostCodeFrame)->Status(), 0) << i;
    EXPECT_EQ(s.ViewInfo(TPostStyle::viSenderPostCodeFrame)->Status(), 0) << i;
    EXPECT_TRUE(s.Post().Editor) << i;
  }
}
