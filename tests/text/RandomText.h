#pragma once
// Random CP932 text for property tests: ASCII (with quotes, commas, spaces and control
// bytes), half-width kana and double-byte characters whose trail bytes look like ASCII.
#include <random>
#include <string>

#include "Cp932.h"

namespace kaede::test {

inline std::string RandomSjis(std::mt19937& rng, int maxChars) {
  static const int kTrailLikeAscii[] = {0x8340, 0x835C, 0x8362, 0x837C, 0x8940, 0x955C, 0x8A5C, 0x8260, 0x8281, 0x82A0};
  std::uniform_int_distribution<int> len(0, maxChars), pick(0, 9), ascii(0x01, 0x7E), kana(0xA1, 0xDF),
      lead(0x88, 0x9F), trail(0x40, 0xFC), tricky(0, 9);
  std::string s;
  int n = len(rng);
  for (int i = 0; i < n; ++i) {
    int k = pick(rng);
    if (k < 4) {
      s += static_cast<char>(ascii(rng));
    } else if (k == 4) {
      s += "\",\" ";  // quotes, commas and spaces
    } else if (k == 5) {
      s += static_cast<char>(kana(rng));
    } else if (k == 6) {
      int c = kTrailLikeAscii[tricky(rng)];
      s += static_cast<char>(c >> 8);
      s += static_cast<char>(c & 0xFF);
    } else {
      while (true) {
        unsigned char l = static_cast<unsigned char>(lead(rng)), t = static_cast<unsigned char>(trail(rng));
        if (Cp932ToUnicode(l, t) >= 0) {
          s += static_cast<char>(l);
          s += static_cast<char>(t);
          break;
        }
      }
    }
  }
  return s;
}

}  // namespace kaede::test
