#include "Collation.h"

#include <unicode/ucol.h>

#include <cstring>
#include <memory>

#include "Cp932.h"

namespace kaede {
namespace {

struct TCollator {
  UCollator* col = nullptr;
  TCollator() {
    UErrorCode e = U_ZERO_ERROR;
    col = ucol_open("ja", &e);
    if (U_FAILURE(e)) throw Exception(std::string("ICU: the Japanese collator is not available: ") + u_errorName(e));
  }
  ~TCollator() { ucol_close(col); }
};

// One collator per thread: ICU collators are not safe for concurrent use.
UCollator* Collator() {
  thread_local TCollator c;
  return c.col;
}

}  // namespace

std::string CollationKey(std::string_view sjis) {
  thread_local std::u16string u;
  SjisToUtf16(sjis, u);
  UCollator* col = Collator();
  uint8_t buf[256];
  int32_t need = ucol_getSortKey(col, reinterpret_cast<const UChar*>(u.data()), static_cast<int32_t>(u.size()), buf,
                                 sizeof buf);
  if (need <= static_cast<int32_t>(sizeof buf)) return std::string(reinterpret_cast<char*>(buf), need > 0 ? need - 1 : 0);
  std::string key(static_cast<size_t>(need), '\0');
  ucol_getSortKey(col, reinterpret_cast<const UChar*>(u.data()), static_cast<int32_t>(u.size()),
                  reinterpret_cast<uint8_t*>(key.data()), need);
  key.resize(static_cast<size_t>(need - 1));  // drop the terminating zero byte
  return key;
}

int CollateCompare(std::string_view a, std::string_view b) {
  thread_local std::u16string ua, ub;
  SjisToUtf16(a, ua);
  SjisToUtf16(b, ub);
  UCollationResult r = ucol_strcoll(Collator(), reinterpret_cast<const UChar*>(ua.data()), static_cast<int32_t>(ua.size()),
                                    reinterpret_cast<const UChar*>(ub.data()), static_cast<int32_t>(ub.size()));
  return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

}  // namespace kaede
