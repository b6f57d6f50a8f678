#pragma once
// Calendar dates as three plain integers, their fixed text form and today's date.
#include <cstdint>
#include <string>

#include "Errors.h"

namespace kaede {

struct TDateValue {
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
};

// (0, 0, 0): an entry whose date was never set.
inline constexpr TDateValue NoDate{0, 0, 0};

class EDateToStrError : public Exception {
public:
  using Exception::Exception;
};

// year/month/day in plain decimal without padding: 2008/1/5; the no-date value gives 0/0/0.
std::string DateToText(const TDateValue& d);
// Reads year/month/day. An empty text gives today. Each part is a decimal integer with
// optional leading spaces and sign; anything else raises EDateToStrError. Values are not
// range-checked (2008/13/40 gives (2008, 13, 40)).
TDateValue TextToDate(const std::string& text);
bool SameDate(const TDateValue& a, const TDateValue& b);

// Today is one process-wide value, taken from the local clock at start and again on request.
void RefreshToday();
TDateValue Today();
// Tests fix today to make date-dependent results repeatable.
void SetTodayForTesting(const TDateValue& d);

}  // namespace kaede
