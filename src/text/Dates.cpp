#include "Dates.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "Cp932.h"

namespace kaede {
namespace {

TDateValue ClockToday() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return TDateValue{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

TDateValue& TodayValue() {
  static TDateValue today = ClockToday();
  return today;
}

// A decimal integer: leading spaces, an optional sign, at least one digit, nothing after.
bool ParseInt(std::string_view s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i >= s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<int64_t>(INT32_MAX) + 1) return false;
  }
  if (neg) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = static_cast<int32_t>(v);
  return true;
}

}  // namespace

std::string DateToText(const TDateValue& d) {
  return std::to_string(d.Year) + "/" + std::to_string(d.Month) + "/" + std::to_string(d.Day);
}

TDateValue TextToDate(const std::string& text) {
  TDateValue result = Today();
  if (text.empty()) return result;
  // Slashes are single bytes that never occur as trail bytes, so a byte search is safe.
  size_t a = text.find('/');
  size_t b = a == std::string::npos ? std::string::npos : text.find('/', a + 1);
  bool ok = a != std::string::npos && b != std::string::npos;
  if (ok) {
    std::string_view t(text);
    ok = ParseInt(t.substr(0, a), result.Year) && ParseInt(t.substr(a + 1, b - a - 1), result.Month) &&
         ParseInt(t.substr(b + 1), result.Day);
  }
  if (!ok) throw EDateToStrError("\"" + text + "\"" + SJ(" を日付に変換することができませんでした"));
  return result;
}

bool SameDate(const TDateValue& a, const TDateValue& b) {
  return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day;
}

void RefreshToday() { TodayValue() = ClockToday(); }
TDateValue Today() { return TodayValue(); }
void SetTodayForTesting(const TDateValue& d) { TodayValue() = d; }

}  // namespace kaede
