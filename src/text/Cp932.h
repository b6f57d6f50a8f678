#pragma once
// Code page 932 (Shift-JIS as Windows writes it) inside, UTF-8 and UTF-16 at the edges.
//
// Text in the core is std::string holding CP932 bytes. Japanese literals in the sources are
// UTF-8; SJ("...") turns one into CP932 once per call site and keeps the result, so every
// translation unit uses the same execution character set and the same bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "Errors.h"

namespace kaede {

// What to do with input that cannot be converted.
enum class TConvMode {
  Strict,   // raise EEncodingError naming the offset of the first bad byte
  Replace,  // put a visible replacement in its place (U+FFFD on the Unicode side, "〓" on the CP932 side)
};

inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// The Unicode code point of one CP932 character (one byte, or lead + trail), or -1 when the
// bytes are not a CP932 character. Single bytes 0x80, 0xA0 and 0xFD-0xFF are not characters.
int32_t Cp932ToUnicode(unsigned char lead, unsigned char trail = 0);
// The CP932 code of a code point: 0x00-0xFF for one byte, 0x8140-0xFCFC for two; -1 when the
// code point has no CP932 form. Where several codes map to one code point, the one that a
// conversion back produces is given (for example U+7E8A gives 0xFA5C, not 0xED40).
int32_t UnicodeToCp932(char32_t cp);
// Appends the CP932 bytes of a code (as given by UnicodeToCp932) to a string.
void AppendCp932Code(std::string& out, int32_t code);
// Appends the UTF-8 bytes of a code point to a string.
void AppendUtf8(std::string& out, char32_t cp);

std::string SjisToUtf8(std::string_view sjis, TConvMode mode = TConvMode::Replace);
std::u16string SjisToUtf16(std::string_view sjis, TConvMode mode = TConvMode::Replace);
// The same into a buffer, which keeps its room for the next text.
void SjisToUtf16(std::string_view sjis, std::u16string& out, TConvMode mode = TConvMode::Replace);
std::string Utf8ToSjis(std::string_view utf8, TConvMode mode = TConvMode::Strict);
std::string Utf16ToSjis(std::u16string_view utf16, TConvMode mode = TConvMode::Strict);

// True when every byte sequence of the text is a CP932 character.
bool IsValidSjis(std::string_view s);
// The bytes at..at+n-1 (as far as the text goes) as "0x81 0x40", for messages.
std::string HexBytes(std::string_view s, size_t at, size_t n);
// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view s);

// The CP932 form of a UTF-8 literal; raises when the literal holds a character that CP932
// cannot hold (a programming error, found by the first test that runs the call site).
std::string Utf8ToSjisLiteral(const char* utf8);

}  // namespace kaede

// A Japanese literal in CP932, converted once per call site.
#define SJ(utf8_literal)                                                      \
  ([]() -> const std::string& {                                               \
    static const std::string kaede_sj_value = ::kaede::Utf8ToSjisLiteral(utf8_literal); \
    return kaede_sj_value;                                                    \
  }())
