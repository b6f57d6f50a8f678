#include "KaedeTypes.h"

#include <ctime>

namespace kaede {

void FillEight(TEightIntegers& r, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
               int32_t h) {
  int32_t v[8] = {a, b, c, d, e, f, g, h};
  for (int i = 0; i < 8; ++i) r.Values[i] = v[i];
}

THourMinute NowHourMinute() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return THourMinute{tm.tm_hour, tm.tm_min};
}

}  // namespace kaede
