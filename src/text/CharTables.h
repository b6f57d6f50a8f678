#pragma once
// Per-character tables over every code page 932 character: the character kind and the six
// locale mappings (upper, lower, hiragana, katakana, full width, half width). Built once from
// Unicode properties of each character's code point.
#include <cstdint>
#include <string>

namespace kaede::chartables {

// Table index of a character: the byte itself for single bytes, lead << 8 | trail for double.
inline uint32_t CodeIndex(unsigned char lead, unsigned char trail, bool twoBytes) {
  return twoBytes ? (static_cast<uint32_t>(lead) << 8 | trail) : lead;
}

uint8_t Kind(uint32_t code);
// The code a character maps to under a conversion kind (0-5), or the code itself when the
// mapping leaves it alone. Codes above 0xFFFF hold two single-byte characters (a half-width
// kana and its voiced mark): high byte first.
uint32_t Map(int kind, uint32_t code);
// Full-width composition of a half-width kana with a following voiced (0xDE) or semi-voiced
// (0xDF) mark: the double-byte code of the composed character, or 0 when they do not compose.
uint32_t ComposeVoiced(unsigned char kana, unsigned char mark);

}  // namespace kaede::chartables
