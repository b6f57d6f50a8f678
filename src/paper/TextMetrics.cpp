#include "TextMetrics.h"

#include "Strs.h"

namespace kaede {

void TFixedMetrics::Advances(std::string_view text, int32_t height, bool /*vertical*/, int32_t* out) const {
  for (size_t i = 0; i < text.size();) {
    if (CharLenAt(text, i) == 2) {
      out[i] = height;
      out[i + 1] = 0;
      i += 2;
    } else {
      out[i++] = height / 2;
    }
  }
}

}  // namespace kaede
