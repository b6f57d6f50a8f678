#pragma once
// Array and small record types shared across the system.
#include <cstdint>
#include <vector>

namespace kaede {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TRect&) const = default;
};

// A pair of caret positions (start and end of a selection) used by the editor.
struct T2Caret {
  TPoint Start;
  TPoint End;
  bool operator==(const T2Caret&) const = default;
};

// Eight integers filled in one call (the editor keeps small position records this way).
struct TEightIntegers {
  int32_t Values[8] = {};
};

// A ruby of the text notation: the base text and the ruby text over it, as byte positions
// (1-based) and byte lengths in the line.
struct TRubiInfo {
  int32_t BaseStart = 0;
  int32_t BaseLength = 0;
  int32_t RubiStart = 0;
  int32_t RubiLength = 0;
  bool operator==(const TRubiInfo&) const = default;
};

// An emphasis of the text notation: its kind (0-9) and the first and last byte it covers.
struct TBotenInfo {
  int32_t Kind = 0;
  int32_t Start = 0;
  int32_t End = 0;
  bool operator==(const TBotenInfo&) const = default;
};

using TBooleans = std::vector<bool>;
using TIntegers = std::vector<int32_t>;
using TDoubles = std::vector<double>;
using TPoints = std::vector<TPoint>;
using TRects = std::vector<TRect>;
using T2Carets = std::vector<T2Caret>;
using TRubiInfos = std::vector<TRubiInfo>;
using TBotenInfos = std::vector<TBotenInfo>;

inline TPoint MakePoint(int32_t x, int32_t y) { return TPoint{x, y}; }
inline void SetPoint(TPoint& p, int32_t x, int32_t y) { p.X = x; p.Y = y; }
inline void SwapInt(int32_t& a, int32_t& b) { int32_t t = a; a = b; b = t; }
void FillEight(TEightIntegers& r, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
               int32_t h);

// The local time of day as (hour 0-23, minute 0-59); used by the page's time field.
struct THourMinute {
  int32_t Hour = 0;
  int32_t Minute = 0;
};
THourMinute NowHourMinute();

}  // namespace kaede
