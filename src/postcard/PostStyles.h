#pragma once
// The postcard style: one kind of address print (postcard, round-trip card, envelope front
// or back, sheet of labels) with the switches of the address print, the postal-code boxes,
// seventeen layout rectangles in millimetres and fifteen view elements; and the list of
// postcard styles with its 42 predefined styles.
#include "EditorStyles.h"

namespace kaede {

// Layout rectangles are millimetres from the top-left corner of the card (for an envelope
// printed with its flap open, of the envelope body below the flap); a width or height of 0
// follows from the content.
struct TPostValues {
  bool WithLid = false;  // an envelope printed with its flap open above the front
  bool PostVertical = true;
  bool Editor = false;  // free-text mode
  bool Keisyo = true;   // the honorific
  bool Renmei = true;   // the joint names
  int32_t SenderNo = 1;  // stored for predefined styles too
  int32_t PostCodeKind = 1;  // 1 boxes, 2 text, 0 none
  int32_t SenderPostCodeKind = 1;
  int32_t StampKind = 1;
  int32_t HeaderImageKind = 0;
  int32_t FooterImageKind = 0;
  double YubinBigInterval = 0.7;
  double YubinBigLineWidth = 0.4;
  double YubinSmallInterval = 0.8;
  double YubinSmallLineWidth = 0.3;
  double SenderYubinBigInterval = 0.0;
  double SenderYubinBigLineWidth = 0.1;
  double SenderYubinSmallInterval = 0.0;
  double SenderYubinSmallLineWidth = 0.1;
  double LidMargin = 18.0;
  std::string PostKindStr = SJ("郵便はがき");
  std::string RoundTripStr;
  TMmRect AtenaPostCodeBigFrameLayout{44.0, 11.8, 6.4, 8.6};
  TMmRect AtenaPostCodeSmallFrameLayout{65.5, 12.0, 6.1, 8.3};
  TMmRect AtenaPostCodeTextLayout{20.0, 45.0, 0.0, 5.0};
  TMmRect AtenaAddressLayout{70.0, 27.0, 23.0, 106.0};
  TMmRect AtenaNameLayout{35.0, 27.0, 35.0, 106.0};
  TMmRect AtenaTelLayout{30.0, 27.0, 5.0, 106.0};
  TMmRect AtenaMailLayout{25.0, 27.0, 5.0, 106.0};
  TMmRect SenderPostCodeBigFrameLayout{6.0, 137.5, 4.0, 6.5};
  TMmRect SenderPostCodeSmallFrameLayout{19.0, 137.5, 4.0, 6.5};
  TMmRect SenderPostCodeTextLayout{18.0, 70.0, 0.0, 4.2};
  TMmRect SenderAddressLayout{25.0, 75.0, 10.0, 58.0};
  TMmRect SenderNameLayout{12.0, 75.0, 13.0, 58.0};
  TMmRect SenderTelLayout{8.5, 55.0, 3.5, 78.0};
  TMmRect SenderMailLayout{5.0, 55.0, 3.5, 78.0};
  TMmRect StampLayout{11.0, 11.5, 18.5, 0.0};
  TMmRect HeaderLayout{5.0, 10.0, 90.0, 0.0};
  TMmRect FooterLayout{5.0, 130.0, 90.0, 0.0};
  // How a vertical address writes its numbers: 0 each digit as a kanji (一二), 1 kanji with
  // places (十二; four digits and more digit by digit), 2 arabic digits set upright, two to a
  // cell (12). The building and room numbers (the lines after the first) have their own.
  int32_t AddressNumerals = 0;
  int32_t BuildingNumerals = 0;
  // The customer barcode of bulk mail: its size in points (8 to 11.5; 10 is the standard
  // 80 mm) and its top-left corner (the width and height follow from the size).
  bool Barcode = false;
  double BarcodeSize = 10.0;
  TMmRect BarcodeLayout{10.0, 135.0, 0.0, 0.0};
  bool operator==(const TPostValues&) const = default;
};

// Width of the seven postal-code boxes from the left edge of the first large box to the
// right edge of the last small one (three large boxes, then four small ones).
double PostCodeBoxesSpan(const TMmRect& big, const TMmRect& small, double smallInterval);
// Left edge of the first large postal-code box on an envelope front: after the stamp, at 70 %
// of the width that stays free between the stamp's right edge and 1 mm before the paper's
// right edge once the boxes' span is taken off (no free width puts it right after the stamp):
//   left = stampRight + 0.7 * max(0, (paperWidth - 1) - stampRight - boxesSpan)
double EnvelopeCodeFrameLeft(double paperWidth, double stampRight, double boxesSpan);

// The barcode's measures in millimetres at a size in points (clamped to 8-11.5): bars 0.6 mm
// wide at a pitch of 1.2 mm, long bars 3.6 mm, timing bars 1.2 mm, at 10 points.
struct TBarcodeMetrics {
  double Scale, Pitch, BarWidth, Long, Timing, Half, Length;
  static constexpr double kClear = 2.0;  // the clear zone around it
};
TBarcodeMetrics BarcodeMetrics(double points);
// Where the bars of the style's barcode lie on the card (without the clear zone).
TMmRect BarcodeBounds(const TPostValues& values);

// The stored keys of the postcard style's own settings but SenderNo, which is stored apart
// (also for predefined styles); and that key.
std::span<const TStyleKey<TPostValues>> PostStyleKeys();
const TStyleKey<TPostValues>& PostSenderNoKey();

inline constexpr int kPostPresetCount = 42;

class TPostStyle : public TEditorStyle {
public:
  enum {
    viAtenaPostCode = 152,
    viAtenaPostCodeFrame,
    viAtenaAddress,
    viAtenaName,
    viAtenaTel,
    viAtenaMail,
    viSenderPostCode,
    viSenderPostCodeFrame,
    viSenderAddress,
    viSenderName,
    viSenderTel,
    viSenderMail,
    viPostKind,
    viRoundTrip,
    viHalfLine,
  };

  TBaseStyle* NewSame() const override { return new TPostStyle(); }

  const TPostValues& Post() const { return FPost; }
  template <class T>
  void SetPost(T TPostValues::*field, const T& value) {
    ChangeValues(FPost, [&](TPostValues& v) { v.*field = value; });
  }
  // Shows (status 1) or hides the sender's postal code, address, name, telephone and mail.
  void SetWithSender(bool on);

  void CreateFields() override;
  void AssignFields(const TDataItem* source) override;
  void Clear() override;
  void ReadSection(TSettingsStore& store, const std::string& section) override;
  void WriteSection(TSettingsStore& store, const std::string& section) override;
  void ApplyPresetName(int index) override;
  void ApplyPreset(int index) override;

  // Name and category of predefined style `index` (CP932; empty outside 0-41).
  static std::string PresetName(int index);
  static std::string PresetCategory(int index);

protected:
  // The sender number is the user's choice even for a predefined style: it survives the
  // preset.
  void ClearForPreset() override;

  TPostValues FPost;

private:
  void Paper(int32_t width, int32_t height);
  void Margins(double left, double top, double right, double bottom);
  void Status(int no, int32_t status);
  void Envelope(int32_t width, int32_t height, double lid, bool back, bool flap);
};

// Postcard styles: 42 predefined ones, single styles exchanged as ".kps" files.
class TPostStyleList : public TBaseStyleList {
public:
  TPostStyleList();
  TPostStyle* Style(int index) { return static_cast<TPostStyle*>(TBaseStyleList::Style(index)); }
};

}  // namespace kaede
