#pragma once
// The sort order of lists: Japanese collation (ICU locale "ja", default strength), so that
// あ, ア and ｱ sort together, か before が, and case and width differences come last.
#include <string>
#include <string_view>

namespace kaede {

// A binary key whose byte order (memcmp) is the collation order of the text.
std::string CollationKey(std::string_view sjis);
// -1, 0 or 1 as the two texts compare in the collation order.
int CollateCompare(std::string_view a, std::string_view b);

}  // namespace kaede
