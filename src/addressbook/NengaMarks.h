#pragma once
// New Year cards (年賀状) from one year to the next: per entry and year, whether a card was
// sent (送) and received (受), whether a mourning notice came (喪), whether a winter greeting
// went instead (寒) and whether the exchange stopped from that year on (止).
//
// The marks live in the entry itself, as one remark line with a fixed prefix
// ("年賀状:2025=送受,2026=送受,2027=喪"), so that a book stays the fifteen-field format and the
// marks travel with the entry wherever its remarks go. A line with the prefix that does not
// read as marks is an ordinary remark and is kept as it is.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Dates.h"
#include "Strs.h"

namespace kaede {

class TPerson;
class TPersonList;

enum TNengaMark : uint8_t {
  nmSent = 1,       // 送 we sent a card
  nmReceived = 2,   // 受 we received one
  nmMourning = 4,   // 喪 they sent a mourning notice for that New Year
  nmWinter = 8,     // 寒 we sent a winter greeting instead
  nmStopped = 16,   // 止 no more cards either way from this year on
  nmAllMarks = 31,
};

// The marks of one entry, by year (ascending, each year once, no year without marks).
class TNengaMarks {
public:
  uint8_t Of(int year) const;
  // Sets (on) or clears the marks of the year; a year left without marks goes.
  void Set(int year, uint8_t marks, bool on);
  void Replace(int year, uint8_t marks);
  bool Empty() const { return FYears.empty(); }
  // 止 in this year or an earlier one.
  bool StoppedBy(int year) const;
  // Every year of the other marks joins these (the marks of a year are united).
  void Merge(const TNengaMarks& other);
  const std::vector<std::pair<int, uint8_t>>& Years() const { return FYears; }
  bool operator==(const TNengaMarks& other) const { return FYears == other.FYears; }

  // The remark line ("年賀状:2025=送受,2027=喪"); empty when there are no marks.
  std::string Line() const;
  // The part after the prefix ("2025=送受,2027=喪").
  std::string Body() const;
  // Reads a remark line (with the prefix) or, with prefixed false, a body. False for text
  // that is not marks (the result is then empty).
  static bool Parse(std::string_view text, TNengaMarks& marks, bool prefixed = true);

private:
  std::vector<std::pair<int, uint8_t>> FYears;
};

// Years that marks may carry.
inline constexpr int kNengaFirstYear = 1;
inline constexpr int kNengaLastYear = 9999;

// "年賀状:" — the prefix of the marks line.
const std::string& NengaPrefix();
// "年賀状" — the name of the CSV column and of the table column.
const std::string& NengaColumnName();
// The marks as their characters in the order 送受喪寒止 ("送受"), and back; false for text
// that holds anything else.
std::string NengaMarkText(uint8_t marks);
bool ParseNengaMarkText(std::string_view text, uint8_t& marks);

// Where the marks line stands among remark lines (the first line that reads as marks), -1
// when there is none.
int NengaLineIndex(const TStrings& remarks);
// The remark lines without the marks line (what 備考 shows and exports).
TStrings RemarksWithoutNenga(const TStrings& remarks);
// The remark lines with the marks in place of the old marks line (at the end when there was
// none; no line for no marks).
TStrings RemarksWithNenga(const TStrings& remarks, const TNengaMarks& marks);
// Every line of the remarks that reads as marks becomes one line, in the place of the first.
void UniteNengaLines(TStrings& remarks);

// The marks of an entry, read without making the entry's own fields when it still reads from
// its line in the book.
TNengaMarks NengaMarksOf(const TPerson& person);
// Gives the entry these marks in one change of the entry (nothing when they are the same).
void SetNengaMarks(TPerson& person, const TNengaMarks& marks);
// Sets or clears marks of one year; true when the entry changed.
bool MarkNenga(TPerson& person, int year, uint8_t marks, bool on);
// Marks several entries of a book in one undo step ("年賀状の記録"); gives how many changed.
int MarkNengaEntries(TPersonList& book, const std::vector<TPerson*>& entries, int year, uint8_t marks, bool on);
// Two entries become one (a merge of duplicates): the marks of both, united per year, go to
// into. One change of into; nothing when from has no marks into lacks.
void MergeNengaMarks(TPerson& into, const TPerson& from);

// ---- The card year and its lists -------------------------------------------------------------

// The year the lists are about: next year from October to December, this year before.
int DefaultCardYear(const TDateValue& today);

enum TNengaFilter {
  nfNone = 0,
  nfUnsent,        // 未送付: not sent, no mourning, no winter greeting, not stopped
  nfReceivedOnly,  // 受取のみ: received but not sent (the replies still owed)
  nfMourning,      // 喪中: mourning this year
  nfSent,          // 送付済み
  nfLastYear,      // 前年やり取り: sent or received the year before
  nfReceived,      // 受取: received
  nfStopped,       // 年賀状じまい: stopped by this year
  nfCount,
};
// The captions of the filters in their order ("（すべて）", "未送付", ...).
const TStrings& NengaFilterCaptions();

// What the lists read of an entry for one card year, in one byte.
enum TNengaBit : uint8_t {
  nbSent = 1, nbReceived = 2, nbMourning = 4, nbWinter = 8, nbStopped = 16,
  nbLastSent = 32, nbLastReceived = 64,
  nbKnown = 128,  // the byte is filled in
};
uint8_t NengaBits(const TNengaMarks& marks, int year);
bool NengaBitsPass(uint8_t bits, TNengaFilter filter);
bool NengaPasses(const TNengaMarks& marks, TNengaFilter filter, int year);

struct TNengaSummary {
  int ToSend = 0, Sent = 0, Received = 0, ReceivedOnly = 0, Mourning = 0;
};
// The counts of the card year over every entry of the book.
TNengaSummary SummarizeNenga(TPersonList& book, int year);
// "2027年 未送付 12 / 送付済み 30 / 受取 25 / 受取のみ 3 / 喪中 2"
std::string NengaSummaryText(const TNengaSummary& summary, int year);

// The table column: the marks of the year before and of the card year ("26:送受 27:送").
std::string NengaTableText(const TNengaMarks& marks, int year);

// 受取入力: the entries of the book whose name or reading holds the text, folded as finds fold
// it (spaces ignored), whatever list the book shows; at most `most` of them.
std::vector<TPerson*> NengaCandidates(TPersonList& book, const std::string& text, size_t most);

// ---- Other programs' per-year columns --------------------------------------------------------

// What a CSV header says about marks: a year and the marks a non-empty value sets
// ("2026年賀状送付" gives 2026 and 送, "喪中2025" gives 2025 and 喪), or marks 0 for a column of a
// year whose values are the marks themselves ("2025", "年賀2025" holding "送受"). False for a
// header that names no year of marks.
bool NengaColumnOfHeader(const std::string& header, int& year, uint8_t& marks);
// The marks a cell of such a column gives: for a column of one mark, that mark when the cell
// says yes ("○", "1", "済", the mark itself ...); for a year column, the marks in the cell.
uint8_t NengaMarksOfCell(const std::string& cell, uint8_t columnMarks);

}  // namespace kaede
