#pragma once
// How the line breaker measures text: the pixel advance of every byte of a text drawn in a
// font of a given pixel height, upright or in vertical writing. The drawing surfaces provide
// their own implementation; the fixed-width one below serves tests and callers without a
// surface.
#include <cstdint>
#include <string_view>

namespace kaede {

class TTextMetrics {
public:
  virtual ~TTextMetrics() = default;
  // Fills out[0 .. text.size()) with the advance of each byte: a double-byte character's
  // advance on its lead byte and 0 on its trail byte. Advances depend on the character only,
  // so that the width of a text is the sum of the widths of its characters. height >= 1.
  virtual void Advances(std::string_view text, int32_t height, bool vertical, int32_t* out) const = 0;
};

// Every single-byte character height / 2 pixels wide, every double-byte character height.
class TFixedMetrics : public TTextMetrics {
public:
  void Advances(std::string_view text, int32_t height, bool vertical, int32_t* out) const override;
};

}  // namespace kaede
