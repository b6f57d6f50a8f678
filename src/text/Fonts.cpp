#include "Fonts.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Cp932.h"
#include "Strs.h"

namespace kaede {
namespace {

struct TColorName {
  const char* Name;
  uint32_t Value;
};

// Where two names share a value, the first one is written.
const TColorName kColorNames[] = {
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},       {"clGreen", 0x008000},
    {"clOlive", 0x008080},        {"clNavy", 0x800000},         {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},         {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},          {"clLime", 0x00FF00},         {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},      {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},        {"clMoneyGreen", 0xC0DCC0},   {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},        {"clMedGray", 0xA4A0A0},      {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},    {"clScrollBar", 0xFF000000},  {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002}, {"clInactiveCaption", 0xFF000003}, {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},     {"clWindowFrame", 0xFF000006}, {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008}, {"clCaptionText", 0xFF000009}, {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B}, {"clAppWorkSpace", 0xFF00000C}, {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E}, {"clBtnFace", 0xFF00000F},  {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},   {"clBtnText", 0xFF000012},    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014}, {"cl3DDkShadow", 0xFF000015}, {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},   {"clInfoBk", 0xFF000018},     {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B}, {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D}, {"clMenuBar", 0xFF00001E},
};

bool SameTextAscii(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

TFontRecord DefaultFont() {
  TFontRecord f;
  f.Name = SJ("ＭＳ Ｐゴシック");
  return f;
}

std::string ColorToText(TColor color) {
  for (const TColorName& c : kColorNames)
    if (static_cast<uint32_t>(color) == c.Value) return c.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(color));
  return buf;
}

bool TryTextToColor(const std::string& text, TColor& color) {
  for (const TColorName& c : kColorNames) {
    if (SameTextAscii(text, c.Name)) {
      color = static_cast<TColor>(c.Value);
      return true;
    }
  }
  if (text.empty()) return false;
  bool hex = text[0] == '$';
  std::string digits = hex ? text.substr(1) : text;
  size_t start = !hex && (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
  if (digits.size() <= start || digits.size() - start > (hex ? 8u : 11u)) return false;
  for (size_t i = start; i < digits.size(); ++i)
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(digits[i])) : std::isdigit(static_cast<unsigned char>(digits[i]))))
      return false;
  long long v = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return false;
  color = static_cast<TColor>(static_cast<uint32_t>(v));
  return true;
}

TColor TextToColor(const std::string& text) {
  TColor c = clBlack;
  if (!TryTextToColor(text, c)) throw Exception("\"" + text + "\"" + SJ(" は色として正しくありません"));
  return c;
}

std::string FontToText(const TFontRecord& font, bool withoutColor) {
  TStrings items(4);
  if (font.Name != SJ("ＭＳ Ｐゴシック")) items[0] = font.Name;
  if (font.Size != 9) items[1] = std::to_string(font.Size);
  bool bold = font.Style & fsBold, italic = font.Style & fsItalic;
  items[2] = bold && italic ? "BoldItalic" : bold ? "Bold" : italic ? "Italic" : "";
  if (!withoutColor && font.Color != clBlack) items[3] = ColorToText(font.Color);
  return CutStr(JoinStr(items, ","), 255, false);
}

void TextToFont(const std::string& text, TFontRecord& font) {
  font = DefaultFont();
  TStrings items = SplitStr(text, ",");
  for (size_t i = 0; i < items.size() && i < 4; ++i) {
    const std::string& v = items[i];
    if (v.empty()) continue;
    switch (i) {
      case 0:
        font.Name = v;
        break;
      case 1: {
        char* end = nullptr;
        long size = std::strtol(v.c_str(), &end, 10);
        font.Size = end && *end == 0 && size >= 0 && size < 10000 ? static_cast<int32_t>(size) : 9;
        break;
      }
      case 2: {
        std::string up = ConvertStr(v, cvUpper);
        font.Style = static_cast<uint8_t>((up.find("BOLD") != std::string::npos ? fsBold : 0) |
                                          (up.find("ITALIC") != std::string::npos ? fsItalic : 0));
        break;
      }
      default:
        TryTextToColor(v, font.Color);  // an unreadable colour keeps the default
        break;
    }
  }
}

TFontRecord TextToFont(const std::string& text) {
  TFontRecord f;
  TextToFont(text, f);
  return f;
}

}  // namespace kaede
