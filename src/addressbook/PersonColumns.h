#pragma once
// The fixed 41-column form in which entries go out to and come in from CSV files, the
// alternative column names the import recognises, and the cells of the table print.
#include <string>
#include <vector>

#include "NengaMarks.h"
#include "Strs.h"

namespace kaede {

class TDataList;
class TPerson;
class TPersonList;
struct TImportResult;

inline constexpr int kPersonColumnCount = 41;

// Column indexes of the exchange form that other code names.
enum TPersonColumn {
  pcName = 0, pcYomi = 1, pcKeisyo = 2, pcPostal = 3, pcAddress1 = 4, pcAddress2 = 5,
  pcMail = 6, pcMail2 = 7, pcUrl = 8, pcTel = 9, pcFax = 10, pcMobile = 11, pcPager = 12,
  pcClassify = 13, pcTitle = 14, pcTitle2 = 15, pcTitle3 = 16,
  pcWorkName = 17, pcWorkYomi = 18, pcWorkPostal = 19, pcWorkAddress1 = 20, pcWorkAddress2 = 21,
  pcWorkUrl = 22, pcWorkTel = 23, pcWorkFax = 24, pcWorkMobile = 25, pcWorkPager = 26,
  pcRenmei1 = 27, pcRenmeiKeisyo1 = 32, pcBirthday = 37, pcRemarks = 38, pcRegistered = 39, pcUpdated = 40,
  // After the 41 columns, the exchange row carries the New Year card marks ("2025=送受,...").
  pcNenga = 41,
};

// The 41 column names in table order ("氏名", "よみ", ... "更新日").
const TStrings& PersonColumnNames();
// The names the CSV exchange offers: the 41 columns and "年賀状" (the New Year card marks).
const TStrings& PersonExchangeNames();
// Whether a visible entry of the list carries New Year card marks (the export then chooses
// the 年賀状 column by default).
bool AnyNengaMarks(TDataList& list);
// The alternative names of a column (comma text), empty for names without any.
std::string PersonColumnAlias(const std::string& name);

// The values of an entry's exchange row: the 41 columns, then the marks (pcNenga).
TStrings PersonExportRow(const TPerson& person);

// An exchange row with what its 41 columns cannot hold: entries of any kind ("自宅:03-…"),
// further mail addresses, remark lines, relations and joint names. Sources that know more
// than the columns (other programs' exports with labelled values, vCard) fill these.
struct TImportRecord {
  TStrings Columns = TStrings(kPersonColumnCount);
  TStrings Tels, Mails, Remarks, Relations, Renmei;
  TNengaMarks Nenga;  // New Year card marks (from per-year columns or a card's property)
  // True when no column and no entry holds anything but spaces.
  bool Empty() const;
};

// Fills an empty entry from a record in one change: the columns as SetImportText reads
// them, then the entries. May add the entry's place of work to its list, as SetImportText.
void ImportPerson(TPerson& person, const TImportRecord& record);

// Text from another program made fit for a line of a book. No control byte survives: a line
// break separates lines, a tab becomes a space, every other control byte is dropped, and
// spaces at the ends of each line go. ImportLines gives the non-empty lines; ImportText gives
// them joined with one space.
TStrings ImportLines(const std::string& value);
std::string ImportText(const std::string& value);
// A date as other programs write it, in the form of the book's dates: "1980-04-01" and
// "19800401" give "1980/04/01", a date without a year ("--04-01", "--0401") gives "04/01",
// a time after the date is dropped; any other text is left as it is.
std::string ImportDateText(const std::string& value);

// The columns the table print offers, in order.
const TStrings& TableColumnNames();
// The text of a table cell; align is left as it is or set to 0 (centre) for the centred columns.
std::string PersonTableCellText(const TPerson& person, const std::string& column, int& align);

// What follows an import into a book: every entry's format unified, and the new entries
// (the places of work that came with them included) that carry no registration date
// registered today (a date the file gave is kept). Neither is an undo step of its own:
// undoing the import takes the new entries away as one step.
void CompleteImport(TPersonList& book, const TImportResult& result);

}  // namespace kaede
