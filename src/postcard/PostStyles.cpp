#include "PostStyles.h"

#include <algorithm>

#include "SheetPrinters.h"

namespace kaede {

namespace {

using V = TPostValues;

// SenderNo is stored apart: it is read and written for predefined styles too.
const TStyleKey<V> kPostKeys[] = {
    {"WithLid", &V::WithLid},
    {"PostVertical", &V::PostVertical},
    {"Editor", &V::Editor},
    {"Keisyo", &V::Keisyo},
    {"Renmei", &V::Renmei},
    {"PostCodeKind", &V::PostCodeKind},
    {"SenderPostCodeKind", &V::SenderPostCodeKind},
    {"StampKind", &V::StampKind},
    {"HeaderImageKind", &V::HeaderImageKind},
    {"FooterImageKind", &V::FooterImageKind},
    {"YubinBigInterval", &V::YubinBigInterval},
    {"YubinBigLineWidth", &V::YubinBigLineWidth},
    {"YubinSmallInterval", &V::YubinSmallInterval},
    {"YubinSmallLineWidth", &V::YubinSmallLineWidth},
    {"SenderYubinBigInterval", &V::SenderYubinBigInterval},
    {"SenderYubinBigLineWidth", &V::SenderYubinBigLineWidth},
    {"SenderYubinSmallInterval", &V::SenderYubinSmallInterval},
    {"SenderYubinSmallLineWidth", &V::SenderYubinSmallLineWidth},
    {"LidMargin", &V::LidMargin},
    {"PostKindStr", &V::PostKindStr},
    {"RoundTripStr", &V::RoundTripStr},
    {"AtenaPostCodeBigFrameLayout", &V::AtenaPostCodeBigFrameLayout},
    {"AtenaPostCodeSmallFrameLayout", &V::AtenaPostCodeSmallFrameLayout},
    {"AtenaPostCodeTextLayout", &V::AtenaPostCodeTextLayout},
    {"AtenaAddressLayout", &V::AtenaAddressLayout},
    {"AtenaNameLayout", &V::AtenaNameLayout},
    {"AtenaTelLayout", &V::AtenaTelLayout},
    {"AtenaMailLayout", &V::AtenaMailLayout},
    {"SenderPostCodeBigFrameLayout", &V::SenderPostCodeBigFrameLayout},
    {"SenderPostCodeSmallFrameLayout", &V::SenderPostCodeSmallFrameLayout},
    {"SenderPostCodeTextLayout", &V::SenderPostCodeTextLayout},
    {"SenderAddressLayout", &V::SenderAddressLayout},
    {"SenderNameLayout", &V::SenderNameLayout},
    {"SenderTelLayout", &V::SenderTelLayout},
    {"SenderMailLayout", &V::SenderMailLayout},
    {"StampLayout", &V::StampLayout},
    {"HeaderLayout", &V::HeaderLayout},
    {"FooterLayout", &V::FooterLayout},
    {"AddressNumerals", &V::AddressNumerals},
    {"BuildingNumerals", &V::BuildingNumerals},
    {"Barcode", &V::Barcode},
    {"BarcodeSize", &V::BarcodeSize},
    {"BarcodeLayout", &V::BarcodeLayout},
};

const uint32_t kCardColor = 0xFEFCFA;

// Colours as 0xRRGGBB, -1 for none given; the back colour is the card's.
TViewInfoRecord Element(int32_t status, const std::string& font, int32_t size, int32_t decorate, double width,
                        int64_t text, int64_t decorateColor) {
  auto color = [](int64_t c) { return c < 0 ? clNone : RgbColor(static_cast<uint32_t>(c)); };
  return ViewInfoRecord(status, font, size, -1, decorate, width, color(text), RgbColor(kCardColor),
                        color(decorateColor));
}

}  // namespace

std::span<const TStyleKey<TPostValues>> PostStyleKeys() { return kPostKeys; }

const TStyleKey<TPostValues>& PostSenderNoKey() {
  static const TStyleKey<V> key{"SenderNo", &V::SenderNo};
  return key;
}

TBarcodeMetrics BarcodeMetrics(double points) {
  const double k = std::clamp(points, 8.0, 11.5) / 10.0;
  // 67 bars: 66 pitches and the last bar's width
  return {k, 1.2 * k, 0.6 * k, 3.6 * k, 1.2 * k, 2.4 * k, 66 * 1.2 * k + 0.6 * k};
}

TMmRect BarcodeBounds(const TPostValues& values) {
  const TBarcodeMetrics m = BarcodeMetrics(values.BarcodeSize);
  return {values.BarcodeLayout.Left, values.BarcodeLayout.Top, m.Length, m.Long};
}

double PostCodeBoxesSpan(const TMmRect& big, const TMmRect& small, double smallInterval) {
  return small.Left + 4 * small.Width + 3 * smallInterval - big.Left;
}

double EnvelopeCodeFrameLeft(double paperWidth, double stampRight, double boxesSpan) {
  double free = (paperWidth - 1) - stampRight - boxesSpan;
  return stampRight + 0.7 * std::max(0.0, free);
}

void TPostStyle::CreateFields() {
  TEditorStyle::CreateFields();
  // The card's own defaults of the inherited elements.
  ElementRecord(viFooter).Status = 0;
  for (int no = viNormal; no <= viEof; ++no) {
    TViewInfoRecord& r = ElementRecord(no);
    if (no <= viRubi) r.FontName = SJ("@ＭＳ 明朝");
    if (no <= viMarkLineInfo) r.FontSize = 9;
    if (no != viSelect && no != viFootNote) {
      r.TextColor = clBlack;
      r.BackColor = RgbColor(kCardColor);
    }
  }
  ElementRecord(viCaretLine).Status = 0;
  ElementRecord(viGapLine).DecorateColor = RgbColor(0xA6CAF0);
  ElementRecord(viLineInfo).Status = 0;
  ElementRecord(viUnfilled).Status = 0;

  const std::string& mincho = SJ("ＭＳ 明朝");
  AddElement(viAtenaPostCode, "AtenaPostCode", Element(1, mincho, 9, 0, 0.4, 0x000000, 0xFF0000));
  AddElement(viAtenaPostCodeFrame, "AtenaPostCodeFrame", Element(2, "", 0, 1, 0.0, -1, 0xFF0000));
  AddElement(viAtenaAddress, "AtenaAddress", Element(1, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viAtenaName, "AtenaName", Element(1, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viAtenaTel, "AtenaTel", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viAtenaMail, "AtenaMail", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viSenderPostCode, "SenderPostCode", Element(0, mincho, 9, 0, 0.4, 0x000000, 0xFF0000));
  AddElement(viSenderPostCodeFrame, "SenderPostCodeFrame", Element(2, "", 0, 2, 0.0, -1, 0xFF0000));
  AddElement(viSenderAddress, "SenderAddress", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viSenderName, "SenderName", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viSenderTel, "SenderTel", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viSenderMail, "SenderMail", Element(0, mincho, 0, 0, 0.0, 0x000000, 0x000000));
  AddElement(viPostKind, "PostKind", Element(2, SJ("ＭＳ ゴシック"), 9, 0, 0.0, 0xFF0000, 0xFF0000));
  AddElement(viRoundTrip, "RoundTrip", Element(0, mincho, 9, 1, 0.2, 0x22AA22, 0xEEEEEE));
  AddElement(viHalfLine, "HalfLine", Element(0, "", 0, 2, 0.8, -1, 0x0D31B5));
  // the address, names, telephones and mail addresses take the size their rectangles give
  for (int no : {viAtenaAddress, viAtenaName, viAtenaTel, viAtenaMail, viSenderAddress, viSenderName, viSenderTel, viSenderMail}) {
    ElementRecord(no).AutoFontSize = true;
    ViewInfo(no)->ApplyRecord(ElementRecord(no));
  }
}

void TPostStyle::AssignFields(const TDataItem* source) {
  TEditorStyle::AssignFields(source);
  if (auto* s = dynamic_cast<const TPostStyle*>(source)) FPost = s->FPost;
}

void TPostStyle::Clear() {
  TEditorStyle::Clear();
  FBase.Name = SJ("官製はがき");
  FBase.Category = SJ("官製はがき");
  FBase.PaperVisible = true;
  Paper(100, 148);
  Margins(8, 83, 8, 13);
  FEd.Vertical = true;
  FEd.TextLeftMargin = 0;
  FEd.LineSpace = 2;
  FPost = TPostValues();
  ResetElements(viAtenaPostCode, viHalfLine);
  // The manuscript grid of a card is one pixel wide (a width below 0); the editor's width
  // of 1 would be a millimetre on paper. An element record cannot give a negative width,
  // so it is set here, where the defaults are made.
  ViewInfo(viGapLine)->ReadText(",,,-1");
}

void TPostStyle::ClearForPreset() {
  int32_t senderNo = FPost.SenderNo;
  Clear();
  FPost.SenderNo = senderNo;
}

void TPostStyle::ReadSection(TSettingsStore& store, const std::string& section) {
  TEditorStyle::ReadSection(store, section);
  FPost.SenderNo = store.ReadInteger(section, PostSenderNoKey().Name, 1);
  if (DefaultIndex() >= 0) return;
  ReadStyleKeys<V>(store, section, kPostKeys, FPost, TPostValues());
  ReadElements(store, section, viAtenaPostCode, viHalfLine);
}

void TPostStyle::WriteSection(TSettingsStore& store, const std::string& section) {
  TEditorStyle::WriteSection(store, section);
  if (FPost.SenderNo != 1) store.WriteInteger(section, PostSenderNoKey().Name, FPost.SenderNo);
  if (DefaultIndex() >= 0) return;
  WriteStyleKeys<V>(store, section, kPostKeys, FPost, TPostValues());
  WriteElements(store, section, viAtenaPostCode, viHalfLine);
}

void TPostStyle::SetWithSender(bool on) {
  Updating([&] {
    for (int no : {viSenderPostCode, viSenderAddress, viSenderName, viSenderTel, viSenderMail})
      ViewInfo(no)->SetStatus(on ? 1 : 0);
  });
}

// ---- TPostStyleList ------------------------------------------------------------------------

TPostStyleList::TPostStyleList() : TBaseStyleList([] { return new TPostStyle(); }, kPostPresetCount) {
  DefaultExt = ".kps";
  FileFilter = SJ("Kaede Address スタイルファイル(*.kps)|*.kps");
}

}  // namespace kaede
