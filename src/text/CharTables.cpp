#include "CharTables.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <memory>
#include <vector>

#include "Cp932.h"

namespace kaede::chartables {
namespace {

// Character-type flags from which the kind is decided.
enum : uint32_t {
  fHalf = 1,
  fFull = 2,
  fAlpha = 4,
  fSymbol = 8,
  fKatakana = 16,
  fHiragana = 32,
  fIdeograph = 64,
};

// Full-width forms of the half-width katakana block U+FF61-U+FF9F, in code point order.
const char16_t kHalfKanaToFull[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

uint32_t Flags(char32_t cp, bool twoBytes) {
  uint32_t f = 0;
  if (twoBytes) f |= fFull;
  else if ((cp >= 0x20 && cp <= 0x7E) || (cp >= 0xFF61 && cp <= 0xFF9F)) f |= fHalf;
  else return 0;  // control characters have no type
  int8_t cat = u_charType(cp);
  if (u_isalpha(cp)) f |= fAlpha;
  switch (cat) {
    case U_DASH_PUNCTUATION: case U_START_PUNCTUATION: case U_END_PUNCTUATION:
    case U_CONNECTOR_PUNCTUATION: case U_OTHER_PUNCTUATION: case U_INITIAL_PUNCTUATION:
    case U_FINAL_PUNCTUATION: case U_MATH_SYMBOL: case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL: case U_OTHER_SYMBOL:
      f |= fSymbol;
      break;
    default:
      break;
  }
  if (uscript_hasScript(cp, USCRIPT_KATAKANA)) f |= fKatakana;
  if (uscript_hasScript(cp, USCRIPT_HIRAGANA)) f |= fHiragana;
  if (u_hasBinaryProperty(cp, UCHAR_IDEOGRAPHIC)) f |= fIdeograph;
  return f;
}

uint8_t KindOf(char32_t cp, bool twoBytes) {
  if (cp == 0x20) return 12;
  if (cp == 0x3000) return 13;
  if (cp == 0xFF3F || cp == 0x3005) return 10;  // ＿ and 々 count as ideographs
  uint32_t f = Flags(cp, twoBytes);
  if (f == fSymbol) return 11;
  if (f == fHalf) return 1;
  if (f == (fHalf | fAlpha)) return 2;
  if ((f & fHalf) && (f & fSymbol)) return 3;
  if ((f & fHalf) && (f & fKatakana)) return 4;
  if (f == fFull) return 5;
  if (f == (fFull | fAlpha)) return 6;
  if (!(f & fHalf) && (f & fSymbol)) return 7;
  if (!(f & fHalf) && (f & fKatakana)) return 8;
  if (f & fHiragana) return 9;
  if (f & fIdeograph) return 10;
  return 0;
}

// Voiced counterparts: katakana whose code point + 1 is the voiced form (カ..ト, ハ..ホ), and
// ハ..ホ whose code point + 2 is the semi-voiced form.
bool TakesVoicedMark(char32_t k) {
  if (k >= 0x30AB && k <= 0x30C8) {  // カ..ト: the unvoiced ones sit at odd offsets, skipping ッ
    if (k >= 0x30C3) return k == 0x30C4 || k == 0x30C6 || k == 0x30C8;  // ツ テ ト
    return (k - 0x30AB) % 2 == 0;
  }
  if (k >= 0x30CF && k <= 0x30DB) return (k - 0x30CF) % 3 == 0;  // ハ ヒ フ ヘ ホ
  return false;
}
bool TakesSemiVoicedMark(char32_t k) { return k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0; }

struct TTables {
  std::vector<uint8_t> kind;                  // per code index
  std::vector<uint32_t> map[6];               // per conversion kind, 0 = unchanged
  std::vector<uint32_t> fullToHalfKana;       // BMP code point -> half-width byte(s), 0 = none

  TTables() : kind(65536, 0) {
    for (auto& m : map) m.assign(65536, 0);
    fullToHalfKana.assign(65536, 0);
    // Reverse of the half-width kana block, with voiced and semi-voiced composites.
    for (int i = 0; i < 63; ++i) fullToHalfKana[kHalfKanaToFull[i]] = 0xA1 + i;
    for (int i = 0; i < 63; ++i) {
      char32_t k = kHalfKanaToFull[i];
      if (TakesVoicedMark(k)) fullToHalfKana[k + 1] = (0xA1 + i) << 8 | 0xDE;
      if (TakesSemiVoicedMark(k)) fullToHalfKana[k + 2] = (0xA1 + i) << 8 | 0xDF;
    }
    fullToHalfKana[0x30F4] = 0xB3 << 8 | 0xDE;  // ヴ = ｳﾞ

    auto fill = [&](uint32_t code, char32_t cp, bool twoBytes) {
      kind[code] = KindOf(cp, twoBytes);
      auto setIf = [&](int k, char32_t target) {
        if (target == cp) return;
        int32_t t = UnicodeToCp932(target);
        if (t >= 0 && static_cast<uint32_t>(t) != code) map[k][code] = static_cast<uint32_t>(t);
      };
      setIf(0, u_toupper(cp));
      setIf(1, u_tolower(cp));
      if ((cp >= 0x30A1 && cp <= 0x30F6)) setIf(2, cp - 0x60);
      if (cp == 0x30FD || cp == 0x30FE) setIf(2, cp - 0x60);
      if ((cp >= 0x3041 && cp <= 0x3096)) setIf(3, cp + 0x60);
      if (cp == 0x309D || cp == 0x309E) setIf(3, cp + 0x60);
      // Full width: ASCII to the full-width forms, the space to the ideographic space, and
      // the half-width kana to their katakana.
      if (cp >= 0x21 && cp <= 0x7E && !twoBytes) setIf(4, cp - 0x21 + 0xFF01);
      if (cp == 0x20 && !twoBytes) setIf(4, 0x3000);
      if (cp >= 0xFF61 && cp <= 0xFF9F) setIf(4, kHalfKanaToFull[cp - 0xFF61]);
      // Half width: the reverse, voiced katakana decomposing into two half-width bytes.
      if (cp >= 0xFF01 && cp <= 0xFF5E) setIf(5, cp - 0xFF01 + 0x21);
      if (cp == 0x3000) setIf(5, 0x20);
      if (twoBytes && cp <= 0xFFFF && fullToHalfKana[cp] != 0) {
        uint32_t h = fullToHalfKana[cp];
        map[5][code] = h > 0xFF ? (0x10000 | h) : h;
      }
    };
    for (uint32_t b = 0; b < 256; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b))) continue;
      int32_t cp = Cp932ToUnicode(static_cast<unsigned char>(b));
      if (cp >= 0) fill(b, static_cast<char32_t>(cp), false);
    }
    for (uint32_t lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (uint32_t trail = 0x40; trail <= 0xFC; ++trail) {
        int32_t cp = Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (cp >= 0) fill(lead << 8 | trail, static_cast<char32_t>(cp), true);
      }
    }
  }
};

const TTables& T() {
  static const TTables t;
  return t;
}

}  // namespace

uint8_t Kind(uint32_t code) { return code < 65536 ? T().kind[code] : 0; }

uint32_t Map(int kind, uint32_t code) {
  if (kind < 0 || kind > 5 || code >= 65536) return code;
  uint32_t m = T().map[kind][code];
  return m ? m : code;
}

uint32_t ComposeVoiced(unsigned char kana, unsigned char mark) {
  if (kana < 0xA6 || kana > 0xDD || (mark != 0xDE && mark != 0xDF)) return 0;
  char32_t k = kHalfKanaToFull[kana - 0xA1];
  char32_t composed = 0;
  if (mark == 0xDE) {
    if (k == 0x30A6) composed = 0x30F4;  // ｳﾞ = ヴ
    else if (TakesVoicedMark(k)) composed = k + 1;
  } else if (TakesSemiVoicedMark(k)) {
    composed = k + 2;
  }
  if (!composed) return 0;
  int32_t c = UnicodeToCp932(composed);
  return c > 0 ? static_cast<uint32_t>(c) : 0;
}

}  // namespace kaede::chartables
