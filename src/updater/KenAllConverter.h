#pragma once
// Conversion of the published postal-code file (KEN_ALL.CSV: CP932, one record per line,
// comma text) into the lines of the dictionary's three files, and the checks of what it gave.
#include <cstddef>
#include <functional>
#include <string_view>

#include "PostalDatas.h"

namespace kaede {

// Called before each record with its position and the whole (records, or bytes of a text).
using TConvertProgress = std::function<void(size_t record, size_t records)>;

// What a conversion read.
struct TKenAllStats {
  size_t Lines = 0;    // lines of the text
  size_t Records = 0;  // records that gave or continued an entry
  size_t Skipped = 0;  // records with fewer than 9 fields or whose field 3 is not seven digits
};

// Builds the lists record by record. Only fields 3 (postal code), 7 (prefecture), 8 (city)
// and 9 (town) are used; a record with fewer than 9 fields or whose field 3 is not seven
// digits is skipped.
//
// Every record starts a Postal.dat line of its code and town, except that a town name
// continued over several records (a "（" whose "）" has not come yet, the next record having
// the same code) is joined onto the line it continues. A town "以下に掲載がない場合" is stored
// empty, and one containing "の次に番地がくる場合" is enclosed in "（" and "）". A change of
// prefecture or city adds a Ken.dat or City.dat line with the index of the current Postal.dat
// line.
class TKenAllBuilder {
public:
  explicit TKenAllBuilder(size_t maxLines = kMaxPostalLines) : FMaxLines(maxLines) {}
  // False, with Error() telling why, for a name that is not CP932 text (a file in another
  // encoding) or when the entries would exceed maxLines (what the six-character index of the
  // range files can address by default).
  bool Add(const std::string& record);
  const std::string& Error() const { return FError; }
  const TPostalLists& Lists() const { return FLists; }
  TPostalLists TakeLists() { return std::move(FLists); }
  const TKenAllStats& Stats() const { return FStats; }

private:
  size_t FMaxLines;
  TPostalLists FLists;
  TKenAllStats FStats;
  TStrings FFields;
  std::string FPreviousCode, FPreviousKen, FPreviousCity, FError;
  int FOpenParens = 0;  // unclosed "（" of the last Postal.dat line
};

// Fills the lists from the records (the lines of the file). Returns false, with the lists
// cleared, when the records give no valid record or the builder refuses one.
bool ConvertKenAll(const TStrings& records, TPostalLists& lists, const TConvertProgress& progress = {},
                   size_t maxLines = kMaxPostalLines);

// Converts the whole text of the file, line by line to its very end, in time and memory in
// proportion to the text (the lines are not copied out first). A NUL or other control byte,
// a name that is not CP932 text, or more than maxLines entries raise an Exception with the
// line number. Lists stay empty when no record gave an entry. Progress is reported before
// each line that is not empty, with its byte position in the text.
TKenAllStats ConvertKenAllText(std::string_view text, TPostalLists& lists, const TConvertProgress& progress = {},
                               size_t maxLines = kMaxPostalLines);

// The size of a dictionary, for the check of a new one against the one it replaces.
struct TDictionarySummary {
  bool Present = false;
  size_t Entries = 0;      // lines of Postal.dat
  size_t Prefectures = 0;  // different names of Ken.dat
};
TDictionarySummary SummarizePostalLists(const TPostalLists& lists);
// The dictionary in the folder; not Present when it is missing or cannot be read.
TDictionarySummary SummarizeDictionary(const std::string& folder);
// Why the built dictionary does not look like a whole national file next to the current one:
// fewer than half of its entries, or fewer prefectures (up to the 47 there are). Empty when
// it looks right or there is no current dictionary to compare with.
std::string ImplausibleReason(const TDictionarySummary& current, const TDictionarySummary& built);

}  // namespace kaede
