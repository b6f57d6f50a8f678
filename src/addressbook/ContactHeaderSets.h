#pragma once
// The header sets of the contact exports that people bring: which columns of a known kind of
// export hold which of the entry's fields, recognised by the headers themselves (a set counts
// when enough of its characteristic headers are present), never by a name the user picks.
//
// A set knows more than the one-column-per-field mapping of the import: value columns over
// their label or type columns ("E-mail 1 - Value" beside "E-mail 1 - Label"), numbered
// entries whose kind comes from their label (a "Mobile" phone is a 携帯 entry), names and
// addresses in parts with a whole form to fall back on, group lists, and the columns a set
// knows but does not import, which are kept away from the mapping by name.
#include <string>
#include <vector>

#include "Strs.h"

namespace kaede {

// How a column's values are read.
enum TValueForm {
  vfPlain = 0,
  vfMulti = 1,      // several values in one cell, separated by " ::: " (they become lines)
  vfGroups = 2,     // group labels separated by " ::: "; the export's own system labels dropped
  vfSemicolons = 3, // a list separated by ";"
};

// The entry lists a column can add to, beyond the exchange columns.
enum TEntryList { elTel = 0, elMail = 1, elRemark = 2 };

// A column whose values become entries of a list ("kind:value"), with the kind taken from a
// label column of the same number when there is one and it is not empty, else a fixed kind.
struct TEntryMap {
  TEntryList List = elTel;
  int Column = -1;
  int LabelColumn = -1;
  std::string Kind;  // CP932
};

struct THeaderMapping {
  // For each field (in the order of the field names given): its columns in order of their
  // parts, the columns it falls back on when those give nothing, and the form of its values.
  std::vector<std::vector<int>> Fields;
  std::vector<std::vector<int>> Fallback;
  std::vector<int> Forms;
  std::vector<TEntryMap> Entries;
  // Every column a set took, including labels and the columns it knows but leaves out.
  std::vector<int> Taken;
  // The descriptions of the sets found (CP932).
  TStrings Sets;
};

// Matches a header line against the sets.
THeaderMapping MatchHeaderSets(const TStrings& header, const TStrings& fieldNames);

// The kind of a telephone or mail entry for a label of another program ("* Mobile" gives
// "携帯"; a label of its own, such as "実家", is kept).
std::string TelKindOfLabel(const std::string& label);
std::string MailKindOfLabel(const std::string& label);

// The values of a cell in a form: a plain value is one value; " ::: " or ";" separate values;
// group labels lose the export's system labels ("* myContacts", "* starred" ...).
TStrings SplitValues(const std::string& value, int form);

// The comparison form of a header: ASCII and full-width letters and digits alike, lower case,
// spaces and underscores gone.
std::string HeaderKey(const std::string& header);

}  // namespace kaede
