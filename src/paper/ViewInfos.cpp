#include "ViewInfos.h"

#include <charconv>
#include <cstdlib>

#include "CommaText.h"
#include "Strs.h"

namespace kaede {

namespace {

// A decimal integer; 0 for anything else.
int32_t IntOrZero(const std::string& text) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end != 0 || v < INT32_MIN || v > INT32_MAX) return 0;
  return static_cast<int32_t>(v);
}

double FloatOrZero(const std::string& text) {
  try {
    return StrToFloatStrict(text);
  } catch (const Exception&) {
    return 0;
  }
}

}  // namespace

std::string ShortFloatText(double value) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

TViewInfoRecord ViewInfoRecord(int32_t status, const std::string& fontName, int32_t fontSize, int32_t styleCode,
                               int32_t decorate, double lineWidth, TColor textColor, TColor backColor,
                               TColor decorateColor) {
  return {status, fontName, fontSize, styleCode, decorate, lineWidth, textColor, backColor, decorateColor};
}

TColor TViewInfo::Color(int index) const {
  switch (index) {
    case ciText: return FFont.Color;
    case ciBack: return FBackColor;
    case ciDecorate: return FDecorateColor;
    default: return clNone;
  }
}

TLinePen TViewInfo::LinePen() const {
  switch (FDecorate) {
    case 1:
    case 3: return lpSolid;
    case 2:
    case 4: return lpDot;
    case 5: return lpDash;
    default: return lpNone;
  }
}

template <class T>
void TViewInfo::SetValue(T& field, const T& value, int valueNo) {
  if (field == value) return;
  Changing(valueNo);
  field = value;
  Changed(valueNo);
}

void TViewInfo::SetStatus(int32_t value) { SetValue(FStatus, value, vnStatus); }
void TViewInfo::SetBackColor(TColor value) { SetValue(FBackColor, value, vnBackColor); }
void TViewInfo::SetDecorate(int32_t value) { SetValue(FDecorate, value, vnDecorate); }
void TViewInfo::SetDecorateColor(TColor value) { SetValue(FDecorateColor, value, vnDecorateColor); }
void TViewInfo::SetLineWidth(double value) { SetValue(FLineWidth, value, vnLineWidth); }
void TViewInfo::SetTextColor(TColor value) { SetValue(FFont.Color, value, vnTextColor); }

void TViewInfo::SetFont(const TFontRecord& font) {
  int no;
  if (font.Name != FFont.Name || font.Style != FFont.Style) no = vnFontName;
  else if (font.Size != FFont.Size) no = vnFontSize;
  else if (font.Color != FFont.Color) no = vnTextColor;
  else return;
  Changing(no);
  FFont = font;
  Changed(no);
}

void TViewInfo::SetFontName(const std::string& name) {
  TFontRecord f = FFont;
  f.Name = name;
  SetFont(f);
}

void TViewInfo::SetFontSize(int32_t size) {
  TFontRecord f = FFont;
  f.Size = size;
  SetFont(f);
}

void TViewInfo::SetFontStyle(uint8_t style) {
  TFontRecord f = FFont;
  f.Style = style;
  SetFont(f);
}

void TViewInfo::SetColor(int index, TColor value) {
  switch (index) {
    case ciText: SetTextColor(value); break;
    case ciBack: SetBackColor(value); break;
    case ciDecorate: SetDecorateColor(value); break;
    default: break;
  }
}

std::string TViewInfo::GetText() const {
  return EncodeCommaText({std::to_string(FStatus), FontToText(FFont, true), std::to_string(FDecorate),
                          ShortFloatText(FLineWidth), ColorToText(FFont.Color), ColorToText(FBackColor),
                          ColorToText(FDecorateColor)});
}

// Field i counts only when present and not empty. A font field starts from the default font
// (black included); a colour text that is not a colour keeps the present colour, so that one
// damaged key cannot stop a style from loading.
void TViewInfo::ReadText(const std::string& text) {
  TStrings f = DecodeCommaText(text);
  auto has = [&](size_t i) { return i < f.size() && !f[i].empty(); };
  if (has(0)) FStatus = IntOrZero(f[0]);
  if (has(1)) TextToFont(f[1], FFont);
  if (has(2)) FDecorate = IntOrZero(f[2]);
  if (has(3)) FLineWidth = FloatOrZero(f[3]);
  if (has(4)) TryTextToColor(f[4], FFont.Color);
  if (has(5)) TryTextToColor(f[5], FBackColor);
  if (has(6)) TryTextToColor(f[6], FDecorateColor);
}

void TViewInfo::AssignFields(const TDataItem* source) {
  TDataItem::AssignFields(source);
  auto* s = dynamic_cast<const TViewInfo*>(source);
  if (!s) return;
  FStatus = s->FStatus;
  FFont = s->FFont;
  FDecorate = s->FDecorate;
  FLineWidth = s->FLineWidth;
  FDecorateColor = s->FDecorateColor;
  FBackColor = s->FBackColor;
}

void TViewInfo::Clear() {
  FStatus = 1;
  FFont = DefaultFont();
  FDecorate = 0;
  FLineWidth = 1;
  FBackColor = clWhite;
  FDecorateColor = clBlack;
}

void TViewInfo::ApplyRecord(const TViewInfoRecord& r) {
  Clear();
  if (r.Status >= 0) FStatus = r.Status;
  if (!r.FontName.empty()) FFont.Name = r.FontName;
  if (r.AutoFontSize) FFont.Size = 0;
  else if (r.FontSize > 0) FFont.Size = r.FontSize;
  if (r.StyleCode >= 0) FFont.Style = static_cast<uint8_t>(r.StyleCode & (fsBold | fsItalic));
  if (r.Decorate >= 0) FDecorate = r.Decorate;
  if (r.LineWidth >= 0) FLineWidth = r.LineWidth;
  if (r.TextColor != clNone) FFont.Color = r.TextColor;
  if (r.BackColor != clNone) FBackColor = r.BackColor;
  if (r.DecorateColor != clNone) FDecorateColor = r.DecorateColor;
}

TViewInfoRecord TViewInfo::Record() const {
  TViewInfoRecord r;
  r.Status = FStatus;
  r.FontName = FFont.Name;
  r.FontSize = FFont.Size;
  r.AutoFontSize = FFont.Size == 0;
  r.StyleCode = FFont.Style & (fsBold | fsItalic);
  r.Decorate = FDecorate;
  r.LineWidth = FLineWidth;
  r.TextColor = FFont.Color;
  r.BackColor = FBackColor;
  r.DecorateColor = FDecorateColor;
  return r;
}

bool TViewInfo::SameAs(const TViewInfo& o) const {
  return FStatus == o.FStatus && FFont == o.FFont && FDecorate == o.FDecorate && FLineWidth == o.FLineWidth &&
         FBackColor == o.FBackColor && FDecorateColor == o.FDecorateColor;
}

std::string TViewInfo::DiffText(const TViewInfoRecord& r) const {
  TStrings f(7);
  if (!(FStatus < 0 || FStatus == r.Status)) f[0] = std::to_string(FStatus);
  // The font field is left empty only when reading restores this very font from the record
  // (or from the default font where the record gives none). The default font itself is
  // written when the record names another one, or it would come back as the record's font.
  TFontRecord base = DefaultFont();
  if (!r.FontName.empty()) base.Name = r.FontName;
  if (r.AutoFontSize) base.Size = 0;
  else if (r.FontSize > 0) base.Size = r.FontSize;
  if (r.StyleCode >= 0) base.Style = static_cast<uint8_t>(r.StyleCode & (fsBold | fsItalic));
  bool sameFont = FFont.Name == base.Name && FFont.Size == base.Size &&
                  (FFont.Style & (fsBold | fsItalic)) == base.Style;
  if (!sameFont) f[1] = FontToText(FFont, true);
  if (!(FDecorate > 0 && FDecorate == r.Decorate)) f[2] = std::to_string(FDecorate);
  if (!(FLineWidth >= 0 && FLineWidth == r.LineWidth)) f[3] = ShortFloatText(FLineWidth);
  // A written font field resets the text colour to black on reading, so the colour goes
  // with it.
  if (!(FFont.Color != clNone && FFont.Color == r.TextColor && f[1].empty())) f[4] = ColorToText(FFont.Color);
  if (FBackColor == clNone || FBackColor != r.BackColor) f[5] = ColorToText(FBackColor);
  if (FDecorateColor == clNone || FDecorateColor != r.DecorateColor) f[6] = ColorToText(FDecorateColor);
  return EncodeCommaText(f);
}

}  // namespace kaede
