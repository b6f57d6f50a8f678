#include "PersonLists.h"

#include <string.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>
#include <typeinfo>
#include <unordered_map>

#include "AppHost.h"
#include "CommaText.h"
#include "Cp932.h"
#include "NengaMarks.h"
#include "PersonText.h"
#include "Strs.h"

namespace kaede {

namespace {

bool HasSpace(const std::string& s) {
  // A quick test; DeleteSpaces decides character by character when it says yes.
  return s.find(' ') != std::string::npos || s.find(SJ("　")) != std::string::npos;
}

// Whether a field holds a byte that no line of a book may hold: a line break would end the
// entry's line inside the field (the book would open with the entry cut in pieces), and a
// zero byte makes the line unreadable.
bool HasLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The field without them: a line break (CR LF, CR or LF) becomes `lineBreak`, a zero byte goes.
// Line breaks come only from text pasted or imported into a one-line field, and a CP932 text
// holds these bytes only as themselves (a second byte is 0x40 or above).
std::string WithoutLineBreaks(std::string_view s, char lineBreak) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\0') continue;
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += lineBreak;
    } else {
      out += c;
    }
  }
  return out;
}

// A field of an entry's line; a line break in it is written as `lineBreak` (a space in a
// one-line field, the separator of items in a list).
void AppendLineField(std::string& out, std::string_view field, char lineBreak = ' ') {
  if (HasLineBreakOrZero(field)) AppendCommaField(out, WithoutLineBreaks(field, lineBreak));
  else AppendCommaField(out, field);
}

void AppendJoined(std::string& out, const TStrings& lines) {
  // Lists are joined with "|" into one field; the joined text is then quoted as needed. A line
  // break inside an item starts a new item, as the list is read again.
  thread_local std::string joined;
  joined.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += '|';
    joined += lines[i];
  }
  AppendLineField(out, joined, '|');
}

void AppendInt(std::string& out, int32_t v) {
  char buf[16];
  char* p = buf + sizeof buf;
  uint32_t u = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  if (v < 0) *--p = '-';
  out.append(p, static_cast<size_t>(buf + sizeof buf - p));
}


// What a find by name looks through: the name and its reading, folded for find. A line
// break, which no find text holds, keeps a match from running from the one into the other.
void AppendFoldedNameForFind(std::string& out, std::string_view name, std::string_view yomi) {
  AppendFoldedForFind(out, name);
  out += '\n';
  AppendFoldedForFind(out, yomi);
}

bool IsSet(const TDateValue& d) { return !SameDate(d, NoDate); }

// Every entry of the whole list by Id (classification tasks reach hidden entries too).
std::unordered_map<int32_t, TPerson*> PersonsById(TPersonList* list) {
  std::unordered_map<int32_t, TPerson*> byId;
  byId.reserve(static_cast<size_t>(list->AllCount()));
  for (int i = 0; i < list->AllCount(); ++i) byId.emplace(list->AllPersons(i)->Id(), list->AllPersons(i));
  return byId;
}

// "verb [name]"; empty for an empty name.
std::string ClassifyCaption(const std::string& verb, const std::string& name) {
  return name.empty() ? std::string() : verb + name + "]";
}

}  // namespace

// ---- TPerson -------------------------------------------------------------------------------

TPerson::TPerson() = default;

TPersonList* TPerson::PersonList() const {
  TDataList* owner = Owner();
  if (!owner) return nullptr;
  // Filters and finds ask this for every entry: the exact type is a quick test.
  if (typeid(*owner) == typeid(TPersonList)) return static_cast<TPersonList*>(owner);
  return dynamic_cast<TPersonList*>(owner);
}

void TPerson::Own() const {
  auto fields = std::make_unique<TPersonFields>(const_cast<TPerson*>(this));
  if (FLine) {
    // The line was read once when the book was opened, so it reads again without an error,
    // to the same fields (an empty date is the day the book was read).
    const TPersonList* list = PersonList();
    const TPersonList::TBookText* book = list ? list->BookTextOf(FLine) : nullptr;
    ReadPersonFields(std::string_view(FLine, FLineLen), *fields, book ? book->Day : Today(), false);
    FLine = nullptr;
  }
  FFields = std::move(fields);
}

std::string_view TPerson::LineField(uint32_t at, uint32_t len, uint8_t escapedFlag, std::string& scratch) const {
  std::string_view line(FLine, FLineLen);
  if (!(FLineFlags & escapedFlag)) return line.substr(at, len);
  scratch.clear();
  AppendCommaValue(scratch, line, TCommaSpan{at, at + len, true});
  return scratch;
}

std::string_view TPerson::NameText(std::string& scratch) const {
  if (FLine) return LineField(FNameAt, FNameLen, lfNameEscaped, scratch);
  return FFields ? std::string_view(FFields->Name) : std::string_view();
}

std::string_view TPerson::YomiText(std::string& scratch) const {
  if (FLine) return LineField(FYomiAt, FYomiLen, lfYomiEscaped, scratch);
  return FFields ? std::string_view(FFields->Yomi) : std::string_view();
}

template <class Fn>
void TPerson::ForEachClassify(Fn f) const {
  if (FLine) {
    std::string scratch;
    ForEachSplit(LineField(FClassifyAt, FClassifyLen, lfClassifyEscaped, scratch), '|', f);
  } else if (FFields) {
    for (const std::string& name : FFields->Classify.Lines()) f(std::string_view(name));
  }
}

bool TPerson::HasClassify(std::string_view name) const {
  bool found = false;
  ForEachClassify([&](std::string_view c) { found = found || c == name; });
  return found;
}

void TPerson::StringsChanged(TNotifyStrings* list) {
  if (FFields && list == &FFields->Classify)
    if (TPersonList* book = PersonList()) {
      book->MarkClassify(this);
      if (CanNotify()) book->ClassifyChanged();
    }
  Changed(-1);
}

void TPerson::Invalidate() {
  FNengaBits = 0;
  if (FFields) FFields->JointNames.reset();
}

TStrings TPerson::RemarkLinesStartingWith(const std::string& prefix) const {
  TStrings out;
  auto take = [&](const TStrings& lines) {
    for (const std::string& l : lines)
      if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
  };
  if (!FLine) {
    take(F().Remarks.Lines());
    return out;
  }
  std::string_view line(FLine, FLineLen);
  if (line.find(prefix) == std::string_view::npos) return out;
  // the remarks are the tenth field, read as the entry would read them
  thread_local std::vector<TCommaSpan> spans;
  ScanCommaText(line, spans, 64);
  if (spans.size() <= 9) return out;
  std::string field;
  AppendCommaValue(field, line, spans[9]);
  take(SplitStr(field, "|"));
  return out;
}

void TPerson::Changing(int arg) {
  F();  // a change needs the entry's own fields (and the state before it, for undo)
  Invalidate();
  TDataItem::Changing(arg);
}

void TPerson::Changed(int arg) {
  Invalidate();
  TDataItem::Changed(arg);
}

void TPerson::SetRegistered(const TDateValue& v) {
  if (SameDate(v, F().Registered)) return;
  Changing(-1);
  F().Registered = v;
  Changed(-1);
}

void TPerson::SetUpdated(const TDateValue& v) {
  if (SameDate(v, F().Updated)) return;
  Changing(-1);
  F().Updated = v;
  Changed(-1);
}

void TPerson::SetLines(TNotifyStrings& list, const TStrings* lines) {
  if (!lines || list.Lines() == *lines) return;
  Changing(-1);
  list.Raw() = *lines;
  Changed(-1);
}

void TPerson::SetRenmei(const TStrings* lines) {
  if (!lines) return;
  TStrings v = *lines;
  if (v.size() == 1 && v[0].empty()) v.clear();
  if (F().Renmei.Lines() == v) return;
  Changing(-1);
  F().Renmei.Raw() = std::move(v);
  Changed(-1);
}

void TPerson::AddClassify(const std::string& name) {
  if (!HasClassify(name)) F().Classify.Add(name);
}

// An entry that does not hold the name is left as it is (reading from its line), so that a
// change of one classification across a big book touches only the entries that hold it.
void TPerson::RemoveClassify(const std::string& name) {
  if (HasClassify(name)) F().Classify.Delete(F().Classify.IndexOf(name));
}

void TPerson::RenameClassify(const std::string& oldName, const std::string& newName) {
  if (oldName == newName || !HasClassify(oldName)) return;
  TNotifyStrings& classify = F().Classify;
  int i = classify.IndexOf(oldName);
  // Renaming onto a name the entry already has merges the two instead of listing it twice.
  if (classify.IndexOf(newName) >= 0) classify.Delete(i);
  else classify.Set(i, newName);
}

void TPerson::SetClassifyBits(const TStrings& names) {
  FClassifyBits.reset();
  for (size_t i = 0; i < names.size() && i < 256; ++i)
    if (HasClassify(names[i])) FClassifyBits.set(i);
}

std::string TPerson::TelNumber(int index) const {
  const TNotifyStrings& tels = F().Tels;
  return index >= 0 && index < tels.Count() ? RightOf(tels[index], ":") : std::string();
}

std::string TPerson::MailAddress(int index) const {
  const TNotifyStrings& mails = F().Mails;
  return index >= 0 && index < mails.Count() ? RightOf(mails[index], ":") : std::string();
}

std::string TPerson::EntryValue(const std::string& kind, const TNotifyStrings& list) {
  std::string prefix = kind + ":";
  for (const std::string& line : list.Lines())
    if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
  return std::string();
}

TPerson* TPerson::RelatedPerson(const std::string& kind) const {
  std::string value = DeleteSpaces(EntryValue(kind, F().Relations));
  TDataList* list = Owner();
  if (value.empty() || !list) return nullptr;
  std::string scratch, name;
  for (int i = 0; i < list->AllCount(); ++i) {
    auto* p = static_cast<TPerson*>(list->AllItems(i));
    name.assign(p->NameText(scratch));
    if (ContainsStr(HasSpace(name) ? DeleteSpaces(name) : name, value)) return p;
  }
  return nullptr;
}

std::string TPerson::AddressText() const { return JoinStr(F().Address.Lines(), ""); }

std::string TPerson::PrintAddressText() const {
  if (F().Address.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->AddressText();
  return AddressText();
}

const TStrings& TPerson::PrintAddress() const {
  if (F().Address.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->F().Address.Lines();
  return F().Address.Lines();
}

std::string TPerson::PrintPostal() const {
  if (F().Address.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->F().Postal;
  return F().Postal;
}

namespace {
std::string ExpandCompanyMarks(const std::string& s) {
  return ReplaceStrAll(ReplaceStrAll(s, SJ("㈱"), SJ("株式会社")), SJ("㈲"), SJ("有限会社"));
}
}  // namespace

std::string TPerson::PrintName() const { return ExpandCompanyMarks(F().Name); }
std::string TPerson::PrintTitle() const { return ExpandCompanyMarks(F().Title); }

std::string TPerson::Honorific() const {
  const TPersonFields& f = F();
  if (f.Keisyo == SJ("（なし）")) return std::string();
  if (!f.Keisyo.empty() || f.Name.empty()) return f.Keisyo;
  for (const std::string* company : {&SJ("株式会社"), &SJ("有限会社"), &SJ("㈱"), &SJ("㈲")})
    if (ContainsStr(f.Name, *company)) return SJ("御中");
  return SJ("様");
}

std::string TPerson::NameWithHonorific() const {
  std::string h = Honorific();
  return IsHankakuStr(h) ? h + PrintName() : PrintName() + h;
}

const TStrings* TPerson::JointNames() const {
  TPersonFields& f = F();
  if (f.Renmei.Count() == 0) return nullptr;
  if (!f.JointNames) {
    auto names = std::make_unique<TStrings>();
    for (const std::string& line : f.Renmei.Lines()) {
      std::string honorific = RightOf(line, "|");
      names->push_back(LeftOf(line, "|") + (honorific.empty() ? SJ("様") : honorific));
    }
    f.JointNames = std::move(names);
  }
  return f.JointNames.get();
}

std::string TPerson::DatesText() const {
  const TPersonFields& f = F();
  std::string r;
  if (IsSet(f.Registered)) r = SJ("登録日: ") + DateToText(f.Registered);
  if (IsSet(f.Updated)) {
    if (!r.empty()) r += "  ";
    r += SJ("更新日: ") + DateToText(f.Updated);
  }
  return r;
}

void TPerson::UnifyFormat(unsigned options) {
  if (options == 0) options = ufAll;
  TPersonFields& f = F();
  const std::string& full = SJ("　");
  if (options & ufNameSpace) {
    TIntegers hits = SearchAll(full, f.Name, 0);
    int len = static_cast<int>(f.Name.size());
    // A one-character family or given name keeps its full-width space: 林　太郎.
    if (!hits.empty() && hits[0] != 3 && hits[0] != len - 3) f.Name = ReplaceStrAll(f.Name, full, " ");
  }
  // The width conversion comes first: it would turn the ASCII spaces of the space switch
  // back into full-width ones.
  if (options & ufYomiHiragana) f.Yomi = ConvertStr(ConvertStr(f.Yomi, cvZenkaku), cvHiragana);
  if (options & ufYomiSpace) f.Yomi = ReplaceStrAll(f.Yomi, full, " ");
  // Letters, digits and symbols become half width; katakana stays full width, since
  // half-width kana in an address would be printed on cards (and in vertical writing).
  if (options & ufAddressHankaku)
    for (std::string& line : f.Address.Raw()) line = HankakuAscii(line);
  if (options & ufPostalDigits) std::erase(f.Postal, '-');
  if (options & (ufYomiHiragana | ufYomiSpace)) InvalidateSortKey();
  if (options & ufCompanyMarks) {
    auto marks = [](const std::string& s) {
      return ReplaceStrAll(ReplaceStrAll(s, SJ("株式会社"), SJ("㈱")), SJ("有限会社"), SJ("㈲"));
    };
    f.Name = marks(f.Name);
    for (std::string& line : f.Relations.Raw()) line = marks(line);
  }
  Invalidate();
}

bool TPerson::Matches(const std::string& text) {
  TPersonList* list = PersonList();
  int mode = list ? list->FindMode : pfmName;
  if (mode != pfmName && mode != pfmAllFields) return false;
  const std::string& pattern = list ? list->PreparedFindText(text) : FoldForFind(text);
  if (pattern.empty()) return false;
  if (list) return list->SearchMatches(mode == pfmName ? 0 : 1, this, pattern) && list->NengaKeeps(this);
  if (mode == pfmAllFields) return ContainsStr(FoldForFind(GetText()), pattern);
  std::string name, yomi, folded;
  AppendFoldedNameForFind(folded, NameText(name), YomiText(yomi));
  return ContainsStr(folded, pattern);
}

bool TPerson::MatchesNo(int no) {
  TPersonList* list = PersonList();
  int mode = list ? list->FindMode : pfmName;
  if (mode == pfmKanaRow) {
    std::string scratch;
    bool row = no < 0 || (FLine ? FLineKanaRow == no : KanaRow(YomiText(scratch)) == no);
    return row && (!list || list->NengaKeeps(this));
  }
  if (mode == pfmClassify) {
    if (!list->FClassifyPending.empty()) list->UpdateClassifications();  // a change not yet reported
    return HasClassifyBit(no) && list->NengaKeeps(this);
  }
  return false;
}

std::string TPerson::GetSortText() const {
  std::string scratch;
  return std::string(YomiText(scratch));
}

std::string TPerson::GetCaption() const {
  std::string scratch;
  return std::string(NameText(scratch));
}

std::string TPerson::GetText() const {
  std::string out;
  AppendText(out);
  return out;
}

void TPerson::AppendText(std::string& out) const {
  if (FLine && (FLineFlags & lfTextForm)) {
    out.append(FLine, FLineLen);
    return;
  }
  if (FLine) {
    // A line in another form than the one this entry writes (an older or foreign writer):
    // read into a scratch copy, so that writing the book does not make every entry's fields.
    thread_local TPersonFields scratch(nullptr);
    const TPersonList* list = PersonList();
    const TPersonList::TBookText* book = list ? list->BookTextOf(FLine) : nullptr;
    ReadPersonFields(std::string_view(FLine, FLineLen), scratch, book ? book->Day : Today(), true);
    AppendPersonText(out, scratch);
    return;
  }
  static const TPersonFields empty(nullptr);
  AppendPersonText(out, FFields ? *FFields : empty);
}

void TPerson::Clear() {
  FLine = nullptr;
  if (!FFields) return;
  TPersonFields& f = *FFields;
  f.Name.clear();
  f.Yomi.clear();
  f.Postal.clear();
  f.Url.clear();
  f.Keisyo.clear();
  f.Title.clear();
  for (TNotifyStrings* l : {&f.Address, &f.Mails, &f.Tels, &f.Classify, &f.Relations, &f.Remarks, &f.Renmei}) l->Raw().clear();
  f.Registered = NoDate;
  f.Updated = NoDate;
  Invalidate();
}

void TPerson::AssignFields(const TDataItem* source) {
  TDataItem::AssignFields(source);
  auto* s = dynamic_cast<const TPerson*>(source);
  if (!s || s == this) return;
  bool wasEnabled = Enabled;
  Enabled = false;
  TPersonFields& d = F();
  const TPersonFields& sf = s->F();
  // Bits copied from an entry of another list (or a detached copy) may number the names
  // differently: the book sets them again.
  if (d.Classify.Lines() != sf.Classify.Lines() || s->Owner() != Owner())
    if (TPersonList* list = PersonList()) list->MarkClassify(this);
  d.Name = sf.Name;
  d.Yomi = sf.Yomi;
  d.Postal = sf.Postal;
  d.Address.Raw() = sf.Address.Lines();
  d.Mails.Raw() = sf.Mails.Lines();
  d.Url = sf.Url;
  d.Tels.Raw() = sf.Tels.Lines();
  d.Classify.Raw() = sf.Classify.Lines();
  d.Relations.Raw() = sf.Relations.Lines();
  d.Remarks.Raw() = sf.Remarks.Lines();
  d.Registered = sf.Registered;
  d.Updated = sf.Updated;
  d.Keisyo = sf.Keisyo;
  d.Title = sf.Title;
  d.Renmei.Raw() = sf.Renmei.Lines();
  FClassifyBits = s->FClassifyBits;
  Invalidate();
  Enabled = wasEnabled;
}

void TPerson::ReadText(const std::string& text) {
  // Fields the text does not hold keep their values, so a line-backed entry is made whole first.
  size_t n = ReadPersonFields(text, F(), Today(), false);
  if (n > 7)
    if (TPersonList* list = PersonList()) list->MarkClassify(this);
  Invalidate();
}

// ---- The text form -------------------------------------------------------------------------

// year/month/day as DateToText writes it, without a temporary string.
void AppendDateText(std::string& out, const TDateValue& d) {
  AppendInt(out, d.Year);
  out += '/';
  AppendInt(out, d.Month);
  out += '/';
  AppendInt(out, d.Day);
}

void AppendPersonText(std::string& out, const TPersonFields& f) {
  AppendLineField(out, f.Name);
  out += ',';
  AppendLineField(out, f.Yomi);
  out += ',';
  AppendJoined(out, f.Tels.Lines());
  out += ',';
  AppendJoined(out, f.Mails.Lines());
  out += ',';
  AppendLineField(out, f.Url);
  out += ',';
  AppendLineField(out, f.Postal);
  out += ',';
  AppendJoined(out, f.Address.Lines());
  out += ',';
  AppendJoined(out, f.Classify.Lines());
  out += ',';
  AppendJoined(out, f.Relations.Lines());
  out += ',';
  AppendJoined(out, f.Remarks.Lines());
  out += ',';
  AppendDateText(out, f.Registered);
  out += ',';
  AppendDateText(out, f.Updated);
  out += ',';
  AppendLineField(out, f.Keisyo);
  out += ',';
  AppendLineField(out, f.Title);
  out += ',';
  AppendJoined(out, f.Renmei.Lines());
}

namespace {
// Splits a list field at "|" into the list, reusing the strings already in it.
void AssignSplit(std::string_view field, TStrings& list) {
  size_t count = 0;
  ForEachSplit(field, '|', [&](std::string_view piece) {
    if (count < list.size()) list[count].assign(piece);
    else list.emplace_back(piece);
    ++count;
  });
  list.resize(count);
}
}  // namespace

void ReadPersonFields(std::string_view text, const std::vector<TCommaSpan>& spans, TPersonFields& f,
                      const TDateValue& day, bool clearAbsent) {
  thread_local std::string value;
  size_t n = spans.size();
  auto field = [&](size_t k) -> std::string_view {
    if (!spans[k].Escaped) return text.substr(spans[k].Begin, spans[k].End - spans[k].Begin);
    value.clear();
    AppendCommaValue(value, text, spans[k]);
    return value;
  };
  auto str = [&](size_t k, std::string& to) {
    if (k < n) to.assign(field(k));
    else if (clearAbsent) to.clear();
  };
  auto list = [&](size_t k, TNotifyStrings& to) {
    if (k < n) AssignSplit(field(k), to.Raw());
    else if (clearAbsent) to.Raw().clear();
  };
  auto date = [&](size_t k, TDateValue& to) {
    if (k < n) {
      std::string_view v = field(k);
      to = v.empty() ? day : TextToDate(std::string(v));
    } else if (clearAbsent) {
      to = NoDate;
    }
  };
  str(0, f.Name);
  str(1, f.Yomi);
  list(2, f.Tels);
  list(3, f.Mails);
  str(4, f.Url);
  str(5, f.Postal);
  if (n > 5) std::erase(f.Postal, '-');
  list(6, f.Address);
  list(7, f.Classify);
  list(8, f.Relations);
  list(9, f.Remarks);
  date(10, f.Registered);
  date(11, f.Updated);
  str(12, f.Keisyo);
  str(13, f.Title);
  if (n > 14) ReadJointNames(std::string(field(14)), f.Renmei.Raw());
  else if (clearAbsent) f.Renmei.Raw().clear();
}

size_t ReadPersonFields(std::string_view text, TPersonFields& f, const TDateValue& day, bool clearAbsent) {
  thread_local std::vector<TCommaSpan> spans;
  ScanCommaText(text, spans, SIZE_MAX);
  ReadPersonFields(text, spans, f, day, clearAbsent);
  size_t n = spans.size();
  if (spans.capacity() > 4096) std::vector<TCommaSpan>().swap(spans);  // a text of many commas
  return n;
}

bool IsJointHonorific(const std::string& text) {
  static const TStrings honorifics = SplitStr(SJ("様,御中,先生,殿,さん,君,くん,ちゃん,宛,行,Mr.,Mrs.,Ms.,Miss.,（なし）"), ",");
  for (const std::string& h : honorifics)
    if (h == text) return true;
  return false;
}

void ReadJointNames(const std::string& field, TStrings& lines) {
  // A joint name is stored as "name|honorific", and the joint names of an entry are joined
  // with "|" as well, so "花子|ちゃん|次郎" holds two joint names: a piece that is an
  // honorific belongs to the name before it. The pieces are gathered in one pass.
  SplitStr(field, "|", lines);
  size_t kept = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (kept > 0 && IsJointHonorific(lines[i]) && !lines[kept - 1].empty() && SearchAll("|", lines[kept - 1], 0).empty()) {
      lines[kept - 1] += "|" + lines[i];
    } else {
      if (kept != i) lines[kept] = std::move(lines[i]);
      ++kept;
    }
  }
  lines.resize(kept);
}

// ---- TPersonList ---------------------------------------------------------------------------

TPersonList::TPersonList() {
  AutoSort = true;
  RecordUndo = true;
}

TPersonList::~TPersonList() { Enabled = false; }

TPerson* TPersonList::AddPerson(const std::string& text) {
  auto* p = static_cast<TPerson*>(AddText(text));
  // The registration date belongs to the addition: undoing the addition is one step.
  if (p) Unrecorded([&] { p->SetRegistered(Today()); });
  return p;
}

std::string TPersonList::InUseMessage() {
  return SJ("この住所録は他のプログラムで使用中のため、読み取り専用で開いています。変更はできません。");
}

bool TPersonList::RefuseEditInUse() const {
  if (!FInUse) return false;
  AppHost().ShowError(InUseMessage());
  return true;
}

void TPersonList::RaiseInUse(const std::string& file) const {
  EBookInUse e(InUseMessage());
  e.SetFileName(file);
  throw e;
}

void TPersonList::SetFileName(const std::string& name) {
  // A book that could not be written under the new name keeps its old one.
  std::string old = FileName;
  FileName = name;
  try {
    SaveToFile(std::string());
  } catch (...) {
    FileName = old;
    throw;
  }
}

void TPersonList::LoadFromFile(const std::string& name, bool append) {
  if (append) {
    TUndoDataList::LoadFromFile(name, append);
    return;
  }
  // The lock comes first, so that what is read is what its holder last saved.
  // (A book read again keeps the lock it has.)
  const bool same = FBookLock.Held() && FBookLock.Path() == name;
  TFileLock lock;
  bool inUse = !same && !lock.Acquire(name) && lock.Busy();
  TFileStamp stamp = FileStampOf(name);
  auto adopt = [&] {
    if (!same) FBookLock = std::move(lock);
    FInUse = inUse;
    FBookStamp = stamp;
    FStampFile = name;
    if (inUse) ReadOnly = true;
  };
  try {
    TUndoDataList::LoadFromFile(name, append);
  } catch (...) {
    // a book that was partly read belongs to this file now; one that could not be read at all
    // leaves the list, and its lock, as they were
    if (FileName == name) adopt();
    throw;
  }
  adopt();
}

void TPersonList::SaveToFile(const std::string& name) {
  std::string file = name.empty() ? FileName : name;
  if (file.empty()) return;
  if (IsWriteProtected(file)) {
    // Saving replaces the file by renaming a new one over it, which a read-only file would
    // not stop: the read-only mark is honoured here.
    EFileError e(SJ("ファイルが読み取り専用のため、保存できません"));
    e.SetFileName(file);
    throw e;
  }
  if (file != FileName) {
    // a copy under another name: the book's own file and lock are not concerned
    TUndoDataList::SaveToFile(name);
    return;
  }
  // The lock and the stamp the save goes by: the book's own, or for a new or renamed book
  // those of its new name. That name must be free: an existing file there is taken only when
  // nobody holds it, and only after the question below. They become the book's when the
  // save succeeded (a book read-only for being in use is then a book of its own).
  const bool moved = FStampFile != file;
  if (FInUse && !moved) RaiseInUse(file);
  TFileLock newLock;
  TFileStamp stamp = FBookStamp;
  if (moved) {
    if (!newLock.Acquire(file) && newLock.Busy()) RaiseInUse(file);
    stamp = TFileStamp();
    stamp.Known = true;  // expected: no file
  }
  FSaveLock = moved ? &newLock : &FBookLock;
  FSaveStamp = &stamp;
  try {
    try {
      TUndoDataList::SaveToFile(name);
    } catch (const ESaveConflict&) {
      if (!AppHost().Confirm(SJ("この住所録は読み込んだ後に他のプログラムによって変更されています。上書きすると、その変更は失われます。") +
                             "\r\n" + SJ("上書きしてよろしいですか？")))
        throw;
      stamp = FileStampOf(file);
      TUndoDataList::SaveToFile(name);
    }
  } catch (...) {
    FSaveLock = nullptr;
    FSaveStamp = nullptr;
    throw;
  }
  FSaveLock = nullptr;
  FSaveStamp = nullptr;
  if (moved) {
    FBookLock = std::move(newLock);
    FStampFile = file;
    FInUse = false;
    ReadOnly = false;
  }
  FBookStamp = stamp;
}

void TPersonList::WriteFile(const std::string& file, std::string_view text) {
  if (!FSaveStamp) {
    TUndoDataList::WriteFile(file, text);
    return;
  }
  TAtomicWriteGuard guard;
  guard.Expected = FSaveStamp;
  guard.Lock = FSaveLock;
  TFileStamp written;
  guard.Written = &written;
  WriteFileAtomic(file, text, guard);
  *FSaveStamp = written;
}

void TPersonList::Updated() { RebuildClassifications(); }

void TPersonList::ItemAdded(TDataItem* item) {
  TUndoDataList::ItemAdded(item);
  // An entry that comes in (new, or back from the trash) may carry bits of other numbers.
  MarkClassify(static_cast<TPerson*>(item));
}

void TPersonList::Detach(TDataItem* item) {
  auto* p = static_cast<TPerson*>(item);
  // An entry that leaves the book (into the trash, or to another list) no longer reads from
  // the book's text, which stays with the book.
  p->F();
  p->FNengaBits = 0;  // kept for this book's card year
  if (p->FClassifyPending) {
    p->FClassifyPending = false;
    std::erase(FClassifyPending, p);
  }
  TUndoDataList::Detach(item);
}

void TPersonList::ItemChanged(TDataItem* item) {
  InvalidateSearch();  // also when a find ran between the start and the end of the change
  // Entries that came in or were assigned other classifications: the names and the bits
  // follow before anyone hears of the change.
  if (!FClassifyPending.empty() && CanNotify() && UpdateClassifications() && OnClassifyChange)
    OnClassifyChange(nullptr);
  TUndoDataList::ItemChanged(item);
}

void TPersonList::Clear() {
  ++FChangeStamp;
  for (TSearchIndex& x : FSearch) x = TSearchIndex();
  for (TPerson* p : FClassifyPending) p->FClassifyPending = false;
  FClassifyPending.clear();
  TUndoDataList::Clear();
  FFindRaw.clear();
  FFindPrepared.clear();
  // No entry reads from the texts any more (the entries in the trash have their own fields).
  FBookTexts.clear();
}

void TPersonList::MarkClassify(TPerson* p) {
  // Inside an update bracket the names are rebuilt for every entry when it closes.
  if (p->FClassifyPending || UpdateCount() > 0) return;
  p->FClassifyPending = true;
  FClassifyPending.push_back(p);
}

bool TPersonList::PlaceClassifyBits(TPerson* p) {
  // New names join at the end, so that the numbers of the names already listed stay what the
  // screens know them as; names no entry uses any more leave at the next rebuild.
  bool added = false;
  std::bitset<256> bits;
  p->ForEachClassify([&](std::string_view name) {
    // A book has a handful of names: looking through them beats hashing each entry's names.
    int no = -1;
    const size_t kFew = 16;
    if (FClassifications.size() <= kFew) {
      for (size_t k = 0; k < FClassifications.size() && no < 0; ++k)
        if (FClassifications[k] == name) no = static_cast<int>(k);
    } else if (auto it = FClassifyIndex.find(name); it != FClassifyIndex.end()) {
      no = it->second;
    }
    if (no < 0) {
      no = static_cast<int>(FClassifications.size());
      FClassifyIndex.emplace(std::string(name), no);
      FClassifications.emplace_back(name);
      added = true;
    }
    if (no < 256) bits.set(static_cast<size_t>(no));
  });
  bool changed = added || bits != p->FClassifyBits;
  p->FClassifyBits = bits;
  p->FClassifyPending = false;
  return changed;
}

void TPersonList::RebuildClassifications() {
  FClassifications.clear();
  FClassifyIndex.clear();
  // The entries of a book share a few combinations of classifications: the bits of a
  // combination, as its line writes it, are found once (its names are listed by then).
  std::unordered_map<std::string_view, std::bitset<256>> combinations;
  for (int i = 0; i < AllCount(); ++i) {
    TPerson* p = AllPersons(i);
    if (!p->FLine || (p->FLineFlags & TPerson::lfClassifyEscaped)) {
      PlaceClassifyBits(p);
      continue;
    }
    std::string_view field(p->FLine + p->FClassifyAt, p->FClassifyLen);
    auto it = combinations.find(field);
    if (it != combinations.end()) {
      p->FClassifyBits = it->second;
      p->FClassifyPending = false;
      continue;
    }
    PlaceClassifyBits(p);
    if (combinations.size() < 4096) combinations.emplace(field, p->FClassifyBits);
  }
  for (TPerson* p : FClassifyPending) p->FClassifyPending = false;
  FClassifyPending.clear();
}

bool TPersonList::UpdateClassifications() {
  std::vector<TPerson*> pending;
  pending.swap(FClassifyPending);
  bool changed = false;
  for (TPerson* p : pending) changed = PlaceClassifyBits(p) || changed;
  return changed;
}

void TPersonList::ClassifyChanged() {
  if (!CanNotify()) return;
  UpdateClassifications();
  if (OnClassifyChange) OnClassifyChange(nullptr);
}

void TPersonList::RenameRelations(const std::string& oldName, const std::string& newName) {
  // An empty old name would match every relation without a name part.
  if (oldName.empty() || oldName == newName) return;
  // One undo step for the whole rename, whatever number of entries it touches.
  TUndoGroup group(History());
  std::vector<TPerson*> persons;
  persons.reserve(static_cast<size_t>(AllCount()));
  for (int i = 0; i < AllCount(); ++i) persons.push_back(AllPersons(i));
  // An entry whose line does not hold the old name at all cannot name it (a name with a quote
  // is doubled in the line, so such a name is looked for in every entry's own fields).
  bool quoted = oldName.find('"') != std::string::npos;
  for (TPerson* p : persons) {
    if (p->FLine && !quoted && !::memmem(p->FLine, p->FLineLen, oldName.data(), oldName.size())) continue;
    TNotifyStrings& relations = p->F().Relations;
    for (int j = 0; j < relations.Count(); ++j) {
      const std::string& line = relations[j];
      if (line.find(':') == std::string::npos) continue;
      if (RightOf(line, ":") == oldName) relations.Set(j, LeftOf(line, ":") + ":" + newName);
    }
  }
}

void TPersonList::AddClassify(int index, const std::string& name) {
  TPerson* p = Persons(index);
  if (!p || p->HasClassify(name)) return;  // nothing to add, nothing to undo
  BeginNotify(nullptr);
  try {
    if (Recording()) History().Add(std::make_unique<TUndoTaskAddClassify>(this, name, p->Id()));
    Unrecorded([&] { p->AddClassify(name); });
  } catch (...) {
    EndNotify(nullptr);
    throw;
  }
  EndNotify(nullptr);
  // EndNotify has reported the new classifications when the list may notify; otherwise the
  // report waits for the next change the list hears of.
  if (!FClassifyPending.empty()) ClassifyChanged();
}

void TPersonList::RenameClassify(const std::string& oldName, const std::string& newName) {
  if (oldName == newName) return;
  BeginNotify(nullptr);
  try {
    if (Recording()) History().Add(std::make_unique<TUndoTaskEditClassify>(this, oldName, newName));
    Unrecorded([&] {
      for (int i = 0; i < AllCount(); ++i) AllPersons(i)->RenameClassify(oldName, newName);
    });
    // The name keeps its number (and its place in the list of names) under the new name.
    auto it = FClassifyIndex.find(oldName);
    if (it != FClassifyIndex.end() && !FClassifyIndex.count(newName)) {
      int no = it->second;
      FClassifyIndex.erase(it);
      FClassifyIndex.emplace(newName, no);
      FClassifications[static_cast<size_t>(no)] = newName;
    }
  } catch (...) {
    EndNotify(nullptr);
    throw;
  }
  EndNotify(nullptr);
  // EndNotify has reported the new classifications when the list may notify; otherwise the
  // report waits for the next change the list hears of.
  if (!FClassifyPending.empty()) ClassifyChanged();
}

void TPersonList::DeleteClassify(const std::string& name) {
  BeginNotify(nullptr);
  try {
    if (Recording()) History().Add(std::make_unique<TUndoTaskDelClassify>(this, name));
    Unrecorded([&] {
      for (int i = 0; i < AllCount(); ++i) AllPersons(i)->RemoveClassify(name);
    });
  } catch (...) {
    EndNotify(nullptr);
    throw;
  }
  EndNotify(nullptr);
  // EndNotify has reported the new classifications when the list may notify; otherwise the
  // report waits for the next change the list hears of.
  if (!FClassifyPending.empty()) ClassifyChanged();
}

void TPersonList::SetNengaFilter(int filter, int year) {
  FNengaFilter = filter > nfNone && filter < nfCount ? filter : nfNone;
  NengaBitsOf(nullptr, year);
}

uint8_t TPersonList::NengaBitsOf(const TPerson* p, int year) {
  if (year != FNengaYear) {
    // the bits kept are of another year: every entry reads its marks again
    for (int i = 0; i < AllCount(); ++i) AllPersons(i)->FNengaBits = 0;
    FNengaYear = year;
  }
  if (!p) return 0;
  if (!(p->FNengaBits & nbKnown)) p->FNengaBits = NengaBits(NengaMarksOf(*p), year);
  return p->FNengaBits;
}

bool TPersonList::NengaKeeps(const TPerson* p) {
  if (FNengaFilter == nfNone) return true;
  return NengaBitsPass(NengaBitsOf(p, FNengaYear), static_cast<TNengaFilter>(FNengaFilter));
}

void TPersonList::UnifyFormat(unsigned options) {
  BeginNotify(nullptr);
  for (int i = 0; i < AllCount(); ++i) AllPersons(i)->UnifyFormat(options);
  NeedSort = true;  // readings may have changed
  InvalidateSearch();
  EndNotify(nullptr);
  ClassifyChanged();
}

void TPersonList::ItemChanging(TDataItem* item) {
  InvalidateSearch();
  TUndoDataList::ItemChanging(item);
}

void TPersonList::InvalidateSearch() {
  ++FChangeStamp;
  FSearch[0].Valid = FSearch[1].Valid = false;
}

bool TPersonList::SearchMatches(int which, const TPerson* person, const std::string& pattern) {
  TSearchIndex& x = FSearch[which];
  if (!x.Valid) {
    x.Text.clear();
    x.Starts.clear();
    x.Persons.clear();
    size_t estimate = 0;
    for (int i = 0; i < AllCount(); ++i) {
      const TPerson* p = AllPersons(i);
      estimate += p->FLine ? (which == 0 ? p->FNameLen : p->FLineLen) : 64;
    }
    x.Text.reserve(estimate);
    x.Starts.reserve(static_cast<size_t>(AllCount()) + 1);
    x.Persons.reserve(static_cast<size_t>(AllCount()));
    std::string line;
    for (int i = 0; i < AllCount(); ++i) {
      TPerson* p = AllPersons(i);
      p->FSearchSlot[which] = static_cast<uint32_t>(x.Persons.size());
      x.Persons.push_back(p);
      x.Starts.push_back(static_cast<uint32_t>(x.Text.size()));
      if (which == 0) {
        std::string yomi;
        AppendFoldedNameForFind(x.Text, p->NameText(line), p->YomiText(yomi));
      } else if (p->FLine && (p->FLineFlags & TPerson::lfTextForm)) {
        AppendFoldedForFind(x.Text, std::string_view(p->FLine, p->FLineLen));
      } else {
        line.clear();
        p->AppendText(line);
        AppendFoldedForFind(x.Text, line);
      }
    }
    x.Starts.push_back(static_cast<uint32_t>(x.Text.size()));
    // The estimate is close; only a text much shorter than it is copied to a smaller buffer.
    if (x.Text.capacity() - x.Text.size() > x.Text.size() / 4) x.Text.shrink_to_fit();
    x.Valid = true;
    x.HitsValid = false;
  }
  if (!x.HitsValid || x.HitPattern != pattern) {
    x.Hits.assign(x.Persons.size(), 0);
    std::string_view all(x.Text);
    for (size_t from = 0; from < all.size();) {
      const void* hit = ::memmem(all.data() + from, all.size() - from, pattern.data(), pattern.size());
      if (!hit) break;
      size_t at = static_cast<size_t>(static_cast<const char*>(hit) - all.data());
      // The entry whose text holds the start of the match; the match counts when it lies
      // wholly inside that text and starts on a character of it.
      size_t e = static_cast<size_t>(std::upper_bound(x.Starts.begin(), x.Starts.end(), at) - x.Starts.begin()) - 1;
      std::string_view text = all.substr(x.Starts[e], x.Starts[e + 1] - x.Starts[e]);
      size_t rel = at - x.Starts[e];
      if (rel + pattern.size() <= text.size() && !IsTrailAt(text, rel)) {
        x.Hits[e] = 1;
        from = x.Starts[e + 1];  // this entry matches; go on with the next one
      } else {
        from = at + 1;
      }
    }
    x.HitPattern = pattern;
    x.HitsValid = true;
  }
  uint32_t slot = person->FSearchSlot[which];
  return slot < x.Persons.size() && x.Persons[slot] == person && x.Hits[slot];
}

const std::string& TPersonList::PreparedFindText(const std::string& text) {
  if (text != FFindRaw || (FFindPrepared.empty() && !text.empty())) {
    FFindRaw = text;
    FFindPrepared = FoldForFind(text);
  }
  return FFindPrepared;
}

// ---- Tasks ---------------------------------------------------------------------------------

std::string TUndoTaskAddClassify::GetUndoCaption() const { return ClassifyCaption(SJ("分類の追加 ["), FName); }

// Undoing the addition takes the name from the entry it was added to; other entries that
// had the name before keep it.
void TUndoTaskAddClassify::Undo() {
  if (auto* p = static_cast<TPerson*>(FList->ItemOfId(FId))) {
    FList->BeginNotify(nullptr);
    p->RemoveClassify(FName);
    FList->EndNotify(nullptr);
  }
}

void TUndoTaskAddClassify::Redo() {
  if (auto* p = static_cast<TPerson*>(FList->ItemOfId(FId))) {
    FList->BeginNotify(nullptr);
    p->AddClassify(FName);
    FList->EndNotify(nullptr);
  }
}

TUndoTaskDelClassify::TUndoTaskDelClassify(TPersonList* list, std::string name) : FList(list), FName(std::move(name)) {
  // Every holder, hidden by a filter or not: the deletion takes the name from all of them.
  for (int i = 0; i < list->AllCount(); ++i) {
    TPerson* p = list->AllPersons(i);
    if (p->HasClassify(FName)) FBefore.emplace_back(p->Id(), p->Classify().Lines());
  }
}

std::string TUndoTaskDelClassify::GetUndoCaption() const { return ClassifyCaption(SJ("分類の削除 ["), FName); }

void TUndoTaskDelClassify::Undo() {
  std::unordered_map<int32_t, TPerson*> byId = PersonsById(FList);
  FList->BeginNotify(nullptr);
  for (const auto& [id, lines] : FBefore) {
    auto it = byId.find(id);
    if (it != byId.end()) it->second->Classify().Assign(lines);
  }
  FList->EndNotify(nullptr);
}

void TUndoTaskDelClassify::Redo() { FList->DeleteClassify(FName); }

TUndoTaskEditClassify::TUndoTaskEditClassify(TPersonList* list, std::string oldName, std::string newName)
    : FList(list), FOld(std::move(oldName)), FNew(std::move(newName)) {
  for (int i = 0; i < list->AllCount(); ++i) {
    TPerson* p = list->AllPersons(i);
    if (p->HasClassify(FOld)) FBefore.emplace_back(p->Id(), p->Classify().Lines());
  }
}

std::string TUndoTaskEditClassify::GetUndoCaption() const { return ClassifyCaption(SJ("分類名の修正 ["), FNew); }

void TUndoTaskEditClassify::Undo() {
  std::unordered_map<int32_t, TPerson*> byId = PersonsById(FList);
  FList->BeginNotify(nullptr);
  for (const auto& [id, lines] : FBefore) {
    auto it = byId.find(id);
    if (it != byId.end()) it->second->Classify().Assign(lines);
  }
  FList->EndNotify(nullptr);
}

void TUndoTaskEditClassify::Redo() { FList->RenameClassify(FOld, FNew); }

}  // namespace kaede
