#pragma once
// Conversion of the published postal-code file (KEN_ALL.CSV: CP932, one record per line,
// comma text) into the lines of the dictionary's three files.
#include <cstddef>
#include <functional>

#include "PostalDatas.h"

namespace kaede {

// Called before each record with its 0-based position and the number of records.
using TConvertProgress = std::function<void(size_t record, size_t records)>;

// Fills the lists from the records (the lines of the file). Only fields 3 (postal code),
// 7 (prefecture), 8 (city) and 9 (town) are used; a record with fewer than 9 fields or whose
// field 3 is not seven digits is skipped.
//
// Every record starts a Postal.dat line of its code and town, except that a town name
// continued over several records (a "（" whose "）" has not come yet, the next record having
// the same code) is joined onto the line it continues. A town "以下に掲載がない場合" is stored
// empty, and one containing "の次に番地がくる場合" is enclosed in "（" and "）". A change of
// prefecture or city adds a Ken.dat or City.dat line with the index of the current Postal.dat
// line.
//
// Returns false, with the lists cleared, when the records give no valid record, more than
// maxLines entries (by default what the six-character index can address), or a name that is
// not CP932 text (a file in another encoding).
bool ConvertKenAll(const TStrings& records, TPostalLists& lists, const TConvertProgress& progress = {},
                   size_t maxLines = kMaxPostalLines);

}  // namespace kaede
