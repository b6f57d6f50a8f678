#pragma once
// The text form in which fonts are stored (settings, styles) and the colour text inside it.
// Fonts here are plain records; the screens turn them into the toolkit's fonts.
#include <cstdint>
#include <string>

namespace kaede {

enum TFontStyleBits : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Colours are 32-bit values 0x00BBGGRR; 0xFF0000nn are the system colours.
using TColor = int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

struct TFontRecord {
  std::string Name;  // CP932 face name
  int32_t Size = 9;  // points; 0: automatic (the size the drawing chooses, 9 points where it has no rule)
  uint8_t Style = 0;  // TFontStyleBits
  TColor Color = clBlack;
  bool operator==(const TFontRecord&) const = default;
};

// The default font: "ＭＳ Ｐゴシック", 9 points, plain, black.
TFontRecord DefaultFont();

// A colour by its name ("clRed") when it has one, else "$" and eight upper-case hexadecimal
// digits ("$00EEEEEE").
std::string ColorToText(TColor color);
// A colour name, a decimal number or "$" and hexadecimal digits; false for anything else.
bool TryTextToColor(const std::string& text, TColor& color);
// As TryTextToColor; raises Exception naming the text when it is not a colour.
TColor TextToColor(const std::string& text);

// name,size,style,colour with empty items for the defaults (the default font gives ",,,");
// withoutColor leaves the colour out. At most 255 bytes, never cutting a character.
std::string FontToText(const TFontRecord& font, bool withoutColor = false);
// Reads the text form over the default font. A size that is not a number gives 9 points; a
// colour text that is not a colour keeps the default colour, so that one damaged setting
// cannot stop the program from starting.
void TextToFont(const std::string& text, TFontRecord& font);
TFontRecord TextToFont(const std::string& text);

}  // namespace kaede
