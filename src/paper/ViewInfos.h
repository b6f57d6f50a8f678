#pragma once
// View elements: how one kind of thing on a page is drawn (shown and printed or not, font and
// text colour, decoration, line width, background and decoration colours), with the one-line
// text form under which styles store them.
#include <cstdint>
#include <string>

#include "DataLists.h"
#include "Fonts.h"

namespace kaede {

// A colour given as 0xRRGGBB (as designers write it) in the 0x00BBGGRR form of TColor.
constexpr TColor RgbColor(uint32_t rrggbb) {
  return static_cast<TColor>(((rrggbb & 0xFF) << 16) | (rrggbb & 0xFF00) | ((rrggbb >> 16) & 0xFF));
}

// The default of an element as a style gives it: every field that is "not given" (-1, empty,
// 0 or less for the size, negative for the width, clNone for colours) keeps the element's own
// default.
struct TViewInfoRecord {
  int32_t Status = -1;
  std::string FontName;
  int32_t FontSize = 0;
  int32_t StyleCode = -1;  // 0 regular, 1 bold, 2 italic, 3 bold italic
  int32_t Decorate = -1;
  double LineWidth = -1;
  TColor TextColor = clNone;
  TColor BackColor = clNone;
  TColor DecorateColor = clNone;
  // The element's font size is automatic (0): where it is drawn the size follows from its
  // place (the card's address and name fill their rectangles).
  bool AutoFontSize = false;
};

// A record from its fields in the order of the text form.
TViewInfoRecord ViewInfoRecord(int32_t status, const std::string& fontName, int32_t fontSize, int32_t styleCode,
                               int32_t decorate, double lineWidth, TColor textColor, TColor backColor,
                               TColor decorateColor);

// How a line element's pen is drawn.
enum TLinePen { lpNone, lpSolid, lpDot, lpDash };

class TViewInfo : public TDataItem {
public:
  // Codes passed to Changing/Changed, telling what changed.
  enum TValueNo {
    vnAll = -1,
    vnStatus = 0,
    vnFontName = 2,  // name or style
    vnFontSize = 3,
    vnTextColor = 5,
    vnBackColor = 6,
    vnDecorate = 7,
    vnDecorateColor = 8,
    vnLineWidth = 9,
  };
  // Colour indices of Color/SetColor.
  enum { ciText = 0, ciBack = 1, ciDecorate = 2 };

  int32_t Status() const { return FStatus; }
  const TFontRecord& Font() const { return FFont; }
  int32_t Decorate() const { return FDecorate; }
  double LineWidth() const { return FLineWidth; }
  TColor TextColor() const { return FFont.Color; }
  TColor BackColor() const { return FBackColor; }
  TColor DecorateColor() const { return FDecorateColor; }
  TColor Color(int index) const;

  // Status 1 or 2.
  bool IsEnabled() const { return FStatus == 1 || FStatus == 2; }
  // Status 1, or status 2 while not printing.
  bool IsVisible(bool printing) const { return FStatus == 1 || (FStatus == 2 && !printing); }
  // Decoration 3 or 4: a second line two line widths (at least 2 pixels) beyond the first.
  bool IsDoubleLine() const { return FDecorate == 3 || FDecorate == 4; }
  TLinePen LinePen() const;

  void SetStatus(int32_t value);
  // A font change notifies vnFontName when the name or style changed, else vnFontSize when
  // the size changed, else vnTextColor when only the colour changed.
  void SetFont(const TFontRecord& font);
  void SetFontName(const std::string& name);
  void SetFontSize(int32_t size);
  void SetFontStyle(uint8_t style);
  void SetTextColor(TColor value);
  void SetBackColor(TColor value);
  void SetDecorate(int32_t value);
  void SetDecorateColor(TColor value);
  void SetLineWidth(double value);
  // Other indices do nothing.
  void SetColor(int index, TColor value);

  // status,"font",decorate,width,text colour,back colour,decorate colour
  std::string GetText() const override;
  // Fields that are missing or empty keep their values; see ViewInfos.cpp.
  void ReadText(const std::string& text) override;
  void AssignFields(const TDataItem* source) override;
  void Clear() override;

  // Clear, then every field the record gives.
  void ApplyRecord(const TViewInfoRecord& r);
  // The element as a record that gives every field.
  TViewInfoRecord Record() const;
  // Every field equal (floats exactly).
  bool SameAs(const TViewInfo& other) const;
  // The text form with the fields that reading over ApplyRecord(r) restores by itself left
  // empty: how styles store their elements.
  std::string DiffText(const TViewInfoRecord& r) const;

private:
  template <class T>
  void SetValue(T& field, const T& value, int valueNo);

  int32_t FStatus = 1;
  TFontRecord FFont = DefaultFont();
  int32_t FDecorate = 0;
  double FLineWidth = 1;
  TColor FBackColor = clWhite;
  TColor FDecorateColor = clBlack;
};

// The shortest decimal text that reads back as the same number ("0", "1", "0.5").
std::string ShortFloatText(double value);

}  // namespace kaede
