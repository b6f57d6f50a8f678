#include "NengaMarks.h"

#include <algorithm>

#include "ContactHeaderSets.h"
#include "Cp932.h"
#include "PersonLists.h"

namespace kaede {

namespace {

// The mark characters in the order they are written.
const std::vector<std::pair<std::string, uint8_t>>& MarkChars() {
  static const std::vector<std::pair<std::string, uint8_t>> chars = {
      {SJ("送"), nmSent}, {SJ("受"), nmReceived}, {SJ("喪"), nmMourning}, {SJ("寒"), nmWinter}, {SJ("止"), nmStopped}};
  return chars;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool ParseYear(std::string_view s, int& year) {
  if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string_view::npos) return false;
  year = 0;
  for (char c : s) year = year * 10 + (c - '0');
  return year >= kNengaFirstYear && year <= kNengaLastYear;
}

}  // namespace

// ---- TNengaMarks -------------------------------------------------------------------------------

uint8_t TNengaMarks::Of(int year) const {
  auto it = std::lower_bound(FYears.begin(), FYears.end(), year, [](const auto& e, int y) { return e.first < y; });
  return it != FYears.end() && it->first == year ? it->second : 0;
}

void TNengaMarks::Replace(int year, uint8_t marks) {
  marks &= nmAllMarks;
  auto it = std::lower_bound(FYears.begin(), FYears.end(), year, [](const auto& e, int y) { return e.first < y; });
  if (it != FYears.end() && it->first == year) {
    if (marks) it->second = marks;
    else FYears.erase(it);
  } else if (marks) {
    FYears.insert(it, {year, marks});
  }
}

void TNengaMarks::Set(int year, uint8_t marks, bool on) {
  uint8_t now = Of(year);
  Replace(year, on ? static_cast<uint8_t>(now | marks) : static_cast<uint8_t>(now & ~marks));
}

bool TNengaMarks::StoppedBy(int year) const {
  for (const auto& [y, m] : FYears) {
    if (y > year) break;
    if (m & nmStopped) return true;
  }
  return false;
}

void TNengaMarks::Merge(const TNengaMarks& other) {
  for (const auto& [y, m] : other.FYears) Set(y, m, true);
}

std::string TNengaMarks::Body() const {
  std::string out;
  for (const auto& [y, m] : FYears) {
    if (!out.empty()) out += ',';
    out += std::to_string(y) + "=" + NengaMarkText(m);
  }
  return out;
}

std::string TNengaMarks::Line() const { return FYears.empty() ? std::string() : NengaPrefix() + Body(); }

bool TNengaMarks::Parse(std::string_view text, TNengaMarks& marks, bool prefixed) {
  marks.FYears.clear();
  if (prefixed) {
    if (text.substr(0, NengaPrefix().size()) != NengaPrefix()) return false;
    text.remove_prefix(NengaPrefix().size());
  }
  TNengaMarks read;
  bool any = false;
  size_t from = 0;
  while (from <= text.size()) {
    size_t comma = text.find(',', from);
    std::string_view item = Trimmed(text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
    from = comma == std::string_view::npos ? text.size() + 1 : comma + 1;
    if (item.empty() && comma == std::string_view::npos && any) break;  // a comma at the end
    size_t eq = item.find('=');
    int year = 0;
    uint8_t m = 0;
    if (eq == std::string_view::npos || !ParseYear(Trimmed(item.substr(0, eq)), year) ||
        !ParseNengaMarkText(Trimmed(item.substr(eq + 1)), m) || m == 0)
      return false;
    read.Set(year, m, true);
    any = true;
  }
  if (!any) return false;
  marks = std::move(read);
  return true;
}

// ---- Texts -------------------------------------------------------------------------------------

const std::string& NengaPrefix() {
  static const std::string prefix = SJ("年賀状:");
  return prefix;
}

const std::string& NengaColumnName() {
  static const std::string name = SJ("年賀状");
  return name;
}

std::string NengaMarkText(uint8_t marks) {
  std::string out;
  for (const auto& [c, m] : MarkChars())
    if (marks & m) out += c;
  return out;
}

bool ParseNengaMarkText(std::string_view text, uint8_t& marks) {
  marks = 0;
  size_t i = 0;
  while (i < text.size()) {
    bool found = false;
    for (const auto& [c, m] : MarkChars()) {
      if (text.substr(i, c.size()) == c) {
        marks |= m;
        i += c.size();
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

// ---- Remarks -----------------------------------------------------------------------------------

int NengaLineIndex(const TStrings& remarks) {
  TNengaMarks m;
  for (size_t i = 0; i < remarks.size(); ++i)
    if (TNengaMarks::Parse(remarks[i], m)) return static_cast<int>(i);
  return -1;
}

TStrings RemarksWithoutNenga(const TStrings& remarks) {
  TStrings out = remarks;
  int at = NengaLineIndex(out);
  if (at >= 0) out.erase(out.begin() + at);
  return out;
}

TStrings RemarksWithNenga(const TStrings& remarks, const TNengaMarks& marks) {
  TStrings out = remarks;
  int at = NengaLineIndex(out);
  if (marks.Empty()) {
    if (at >= 0) out.erase(out.begin() + at);
  } else if (at >= 0) {
    out[static_cast<size_t>(at)] = marks.Line();
  } else {
    out.push_back(marks.Line());
  }
  return out;
}

void UniteNengaLines(TStrings& remarks) {
  TNengaMarks all, one;
  int first = -1;
  for (size_t i = 0; i < remarks.size();) {
    if (!TNengaMarks::Parse(remarks[i], one)) {
      ++i;
      continue;
    }
    all.Merge(one);
    if (first < 0) {
      first = static_cast<int>(i++);
    } else {
      remarks.erase(remarks.begin() + static_cast<long>(i));
    }
  }
  if (first >= 0) remarks[static_cast<size_t>(first)] = all.Line();
}

// ---- Entries -----------------------------------------------------------------------------------

TNengaMarks NengaMarksOf(const TPerson& person) {
  TNengaMarks m;
  for (const std::string& line : person.RemarkLinesStartingWith(NengaPrefix()))
    if (TNengaMarks::Parse(line, m)) return m;
  return TNengaMarks();
}

void SetNengaMarks(TPerson& person, const TNengaMarks& marks) {
  if (NengaMarksOf(person) == marks) return;
  TStrings lines = RemarksWithNenga(person.Remarks().Lines(), marks);
  // a step of its own, not merged into an edit of the same entry before it
  TPersonList* book = person.PersonList();
  if (!book) {
    person.SetRemarks(&lines);
    return;
  }
  TUndoGroup group(book->History(), SJ("年賀状の記録"));
  person.SetRemarks(&lines);
}

bool MarkNenga(TPerson& person, int year, uint8_t marks, bool on) {
  TNengaMarks m = NengaMarksOf(person);
  TNengaMarks before = m;
  m.Set(year, marks, on);
  if (m == before) return false;
  SetNengaMarks(person, m);
  return true;
}

int MarkNengaEntries(TPersonList& book, const std::vector<TPerson*>& entries, int year, uint8_t marks, bool on) {
  int changed = 0;
  // one step; no update bracket, inside which the book would record no edit
  TUndoGroup group(book.History(), SJ("年賀状の記録"));
  for (TPerson* p : entries)
    if (p && MarkNenga(*p, year, marks, on)) ++changed;
  if (changed) book.SetModified(true);
  return changed;
}

void MergeNengaMarks(TPerson& into, const TPerson& from) {
  TNengaMarks m = NengaMarksOf(into);
  m.Merge(NengaMarksOf(from));
  SetNengaMarks(into, m);
}

// ---- Card year and lists -----------------------------------------------------------------------

int DefaultCardYear(const TDateValue& today) { return today.Month >= 10 ? today.Year + 1 : today.Year; }

const TStrings& NengaFilterCaptions() {
  static const TStrings captions = {SJ("（すべて）"), SJ("未送付"), SJ("受取のみ"), SJ("喪中"),
                                    SJ("送付済み"), SJ("前年やり取り"), SJ("受取"), SJ("年賀状じまい")};
  return captions;
}

uint8_t NengaBits(const TNengaMarks& marks, int year) {
  uint8_t m = marks.Of(year), last = marks.Of(year - 1);
  uint8_t bits = nbKnown | (m & (nbSent | nbReceived | nbMourning | nbWinter));
  if (marks.StoppedBy(year)) bits |= nbStopped;
  if (last & nmSent) bits |= nbLastSent;
  if (last & nmReceived) bits |= nbLastReceived;
  return bits;
}

bool NengaBitsPass(uint8_t b, TNengaFilter filter) {
  switch (filter) {
    case nfNone: return true;
    case nfUnsent: return !(b & (nbSent | nbMourning | nbWinter | nbStopped));
    case nfReceivedOnly: return (b & nbReceived) && !(b & nbSent);
    case nfMourning: return b & nbMourning;
    case nfSent: return b & nbSent;
    case nfLastYear: return b & (nbLastSent | nbLastReceived);
    case nfReceived: return b & nbReceived;
    case nfStopped: return b & nbStopped;
    case nfCount: break;
  }
  return false;
}

bool NengaPasses(const TNengaMarks& marks, TNengaFilter filter, int year) {
  return NengaBitsPass(NengaBits(marks, year), filter);
}

TNengaSummary SummarizeNenga(TPersonList& book, int year) {
  TNengaSummary s;
  for (int i = 0; i < book.AllCount(); ++i) {
    uint8_t b = book.NengaBitsOf(book.AllPersons(i), year);
    if (NengaBitsPass(b, nfUnsent)) ++s.ToSend;
    if (b & nbSent) ++s.Sent;
    if (b & nbReceived) ++s.Received;
    if (NengaBitsPass(b, nfReceivedOnly)) ++s.ReceivedOnly;
    if (b & nbMourning) ++s.Mourning;
  }
  return s;
}

std::string NengaSummaryText(const TNengaSummary& s, int year) {
  return std::to_string(year) + SJ("年 未送付 ") + std::to_string(s.ToSend) + SJ(" / 送付済み ") + std::to_string(s.Sent) +
         SJ(" / 受取 ") + std::to_string(s.Received) + SJ(" / 受取のみ ") + std::to_string(s.ReceivedOnly) +
         SJ(" / 喪中 ") + std::to_string(s.Mourning);
}

std::string NengaTableText(const TNengaMarks& marks, int year) {
  auto part = [&](int y) {
    std::string yy = std::to_string(((y % 100) + 100) % 100);
    if (yy.size() < 2) yy = "0" + yy;
    std::string m = NengaMarkText(marks.Of(y));
    return yy + ":" + (m.empty() ? SJ("－") : m);
  };
  return part(year - 1) + " " + part(year);
}

std::vector<TPerson*> NengaCandidates(TPersonList& book, const std::string& text, size_t most) {
  std::vector<TPerson*> found;
  if (DeleteSpaces(text).empty()) return found;
  // the name find of the book, without the card list the book may be showing
  const int filter = book.NengaFilter(), year = book.NengaYear();
  const int32_t mode = book.FindMode;
  book.SetNengaFilter(nfNone, year);
  book.FindMode = pfmName;
  for (int i = 0; i < book.AllCount() && found.size() < most; ++i)
    if (book.AllPersons(i)->Matches(text)) found.push_back(book.AllPersons(i));
  book.FindMode = mode;
  book.SetNengaFilter(filter, year);
  return found;
}

// ---- Per-year columns of other programs --------------------------------------------------------

bool NengaColumnOfHeader(const std::string& header, int& year, uint8_t& marks) {
  std::string key = HeaderKey(header);
  // one year of four digits, not part of a longer number
  size_t at = std::string::npos;
  for (size_t i = 0; i + 4 <= key.size(); ++i) {
    if (IsLeadByte(key[i])) {
      ++i;
      continue;
    }
    bool digits = std::all_of(key.begin() + static_cast<long>(i), key.begin() + static_cast<long>(i + 4),
                              [](char c) { return c >= '0' && c <= '9'; });
    bool longer = i + 4 < key.size() && key[i + 4] >= '0' && key[i + 4] <= '9';
    if (digits && !longer && (i == 0 || !(key[i - 1] >= '0' && key[i - 1] <= '9'))) {
      if (at != std::string::npos) return false;  // two years
      at = i;
      i += 3;
    }
  }
  if (at == std::string::npos) return false;
  year = std::stoi(key.substr(at, 4));
  if (year < 1900 || year > 2199) return false;
  std::string rest = key.substr(0, at) + key.substr(at + 4);
  // every word of the rest must be one of these
  static const std::vector<std::pair<std::string, uint8_t>> words = [] {
    std::vector<std::pair<std::string, uint8_t>> w;
    for (const auto& [text, m] : std::initializer_list<std::pair<const char*, uint8_t>>{
             {"年賀状じまい", nmStopped}, {"じまい", nmStopped}, {"寒中見舞い", nmWinter}, {"寒中見舞", nmWinter},
             {"寒中", nmWinter}, {"喪中", nmMourning}, {"送付", nmSent}, {"発送", nmSent}, {"差出", nmSent},
             {"受取", nmReceived}, {"受け取り", nmReceived}, {"受領", nmReceived}, {"年賀状", 0}, {"年賀", 0},
             {"年度", 0}, {"年", 0}, {"済み", 0}, {"済", 0}, {"送", nmSent}, {"受", nmReceived}, {"喪", nmMourning},
             {"寒", nmWinter}, {"止", nmStopped}, {"（", 0}, {"）", 0}, {"(", 0}, {")", 0}, {"-", 0}, {"/", 0}, {":", 0}})
      w.emplace_back(Utf8ToSjis(text), m);
    return w;
  }();
  uint8_t found = 0;
  int kinds = 0;
  for (size_t i = 0; i < rest.size();) {
    bool matched = false;
    for (const auto& [w, m] : words) {
      if (rest.compare(i, w.size(), w) != 0) continue;
      if (m && !(found & m)) {
        found |= m;
        ++kinds;
      }
      i += w.size();
      matched = true;
      break;
    }
    if (!matched) return false;
  }
  // a bare year ("2025") or a year of cards ("年賀2025") holds the marks themselves
  if (kinds == 0) {
    marks = 0;
    return true;
  }
  marks = kinds == 1 ? found : 0;
  return true;
}

uint8_t NengaMarksOfCell(const std::string& cell, uint8_t columnMarks) {
  std::string v = std::string(Trimmed(HeaderKey(cell)));
  if (v.empty()) return 0;
  if (columnMarks == 0) {
    // the marks in the cell, whatever stands between them ("送・受", "送/受")
    uint8_t m = 0;
    for (size_t i = 0; i < v.size(); i += CharLenAt(v, i))
      for (const auto& [c, mark] : MarkChars())
        if (v.compare(i, c.size(), c) == 0) m |= mark;
    return m;
  }
  static const TStrings no = [] {
    TStrings n;
    for (const char* s : {"0", "×", "x", "-", "－", "ー", "未", "なし", "無", "no", "false", "n", "いいえ"})
      n.push_back(HeaderKey(Utf8ToSjis(s, TConvMode::Replace)));
    return n;
  }();
  return std::find(no.begin(), no.end(), v) != no.end() ? 0 : columnMarks;
}

}  // namespace kaede
