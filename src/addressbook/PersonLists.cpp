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
#include "Strs.h"

namespace kaede {

namespace {

bool HasSpace(const std::string& s) {
  // A quick test; DeleteSpaces decides character by character when it says yes.
  return s.find(' ') != std::string::npos || s.find(SJ("　")) != std::string::npos;
}

void AppendJoined(std::string& out, const TStrings& lines) {
  // Lists are joined with "|" into one field; the joined text is then quoted as needed.
  thread_local std::string joined;
  joined.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += '|';
    joined += lines[i];
  }
  AppendCommaField(out, joined);
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

// year/month/day as DateToText writes it, without a temporary string.
void AppendDate(std::string& out, const TDateValue& d) {
  AppendInt(out, d.Year);
  out += '/';
  AppendInt(out, d.Month);
  out += '/';
  AppendInt(out, d.Day);
}

// Appends the text without its ASCII and full-width spaces (as DeleteSpaces gives it).
void AppendWithoutSpaces(std::string& out, std::string_view text) {
  const std::string& full = SJ("　");
  for (size_t i = 0, n = text.size(); i < n;) {
    size_t len = CharLenAt(text, i);
    bool space = len == 1 ? text[i] == ' ' : text[i] == full[0] && text[i + 1] == full[1];
    if (!space) out.append(text.data() + i, len);
    i += len;
  }
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

void TPerson::StringsChanged(TNotifyStrings* list) {
  if (list == &FClassify)
    if (TPersonList* book = PersonList()) {
      book->MarkClassify(this);
      if (CanNotify()) book->ClassifyChanged();
    }
  Changed(-1);
}

void TPerson::Invalidate() { FJointNames.reset(); }

void TPerson::Changing(int arg) {
  Invalidate();
  TDataItem::Changing(arg);
}

void TPerson::Changed(int arg) {
  Invalidate();
  TDataItem::Changed(arg);
}

void TPerson::SetRegistered(const TDateValue& v) {
  if (SameDate(v, FRegistered)) return;
  Changing(-1);
  FRegistered = v;
  Changed(-1);
}

void TPerson::SetUpdated(const TDateValue& v) {
  if (SameDate(v, FUpdated)) return;
  Changing(-1);
  FUpdated = v;
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
  if (FRenmei.Lines() == v) return;
  Changing(-1);
  FRenmei.Raw() = std::move(v);
  Changed(-1);
}

void TPerson::AddClassify(const std::string& name) {
  if (FClassify.IndexOf(name) < 0) FClassify.Add(name);
}

void TPerson::RemoveClassify(const std::string& name) { FClassify.Delete(FClassify.IndexOf(name)); }

void TPerson::RenameClassify(const std::string& oldName, const std::string& newName) {
  int i = FClassify.IndexOf(oldName);
  if (i < 0 || oldName == newName) return;
  // Renaming onto a name the entry already has merges the two instead of listing it twice.
  if (FClassify.IndexOf(newName) >= 0) FClassify.Delete(i);
  else FClassify.Set(i, newName);
}

void TPerson::SetClassifyBits(const TStrings& names) {
  FClassifyBits.reset();
  for (size_t i = 0; i < names.size() && i < 256; ++i)
    if (FClassify.IndexOf(names[i]) >= 0) FClassifyBits.set(i);
}

std::string TPerson::TelNumber(int index) const {
  return index >= 0 && index < FTels.Count() ? RightOf(FTels[index], ":") : std::string();
}

std::string TPerson::MailAddress(int index) const {
  return index >= 0 && index < FMails.Count() ? RightOf(FMails[index], ":") : std::string();
}

std::string TPerson::EntryValue(const std::string& kind, const TNotifyStrings& list) {
  std::string prefix = kind + ":";
  for (const std::string& line : list.Lines())
    if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
  return std::string();
}

TPerson* TPerson::RelatedPerson(const std::string& kind) const {
  std::string value = DeleteSpaces(EntryValue(kind, FRelations));
  TDataList* list = Owner();
  if (value.empty() || !list) return nullptr;
  for (int i = 0; i < list->AllCount(); ++i) {
    auto* p = static_cast<TPerson*>(list->AllItems(i));
    if (ContainsStr(HasSpace(p->FName) ? DeleteSpaces(p->FName) : p->FName, value)) return p;
  }
  return nullptr;
}

std::string TPerson::AddressText() const { return JoinStr(FAddress.Lines(), ""); }

std::string TPerson::PrintAddressText() const {
  if (FAddress.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->AddressText();
  return AddressText();
}

const TStrings& TPerson::PrintAddress() const {
  if (FAddress.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->FAddress.Lines();
  return FAddress.Lines();
}

std::string TPerson::PrintPostal() const {
  if (FAddress.Count() == 0)
    if (TPerson* work = RelatedPerson(SJ("勤務先"))) return work->FPostal;
  return FPostal;
}

namespace {
std::string ExpandCompanyMarks(const std::string& s) {
  return ReplaceStrAll(ReplaceStrAll(s, SJ("㈱"), SJ("株式会社")), SJ("㈲"), SJ("有限会社"));
}
}  // namespace

std::string TPerson::PrintName() const { return ExpandCompanyMarks(FName); }
std::string TPerson::PrintTitle() const { return ExpandCompanyMarks(FTitle); }

std::string TPerson::Honorific() const {
  if (FKeisyo == SJ("（なし）")) return std::string();
  if (!FKeisyo.empty() || FName.empty()) return FKeisyo;
  for (const std::string* company : {&SJ("株式会社"), &SJ("有限会社"), &SJ("㈱"), &SJ("㈲")})
    if (ContainsStr(FName, *company)) return SJ("御中");
  return SJ("様");
}

std::string TPerson::NameWithHonorific() const {
  std::string h = Honorific();
  return IsHankakuStr(h) ? h + PrintName() : PrintName() + h;
}

const TStrings* TPerson::JointNames() const {
  if (FRenmei.Count() == 0) return nullptr;
  if (!FJointNames) {
    auto names = std::make_unique<TStrings>();
    for (const std::string& line : FRenmei.Lines()) {
      std::string honorific = RightOf(line, "|");
      names->push_back(LeftOf(line, "|") + (honorific.empty() ? SJ("様") : honorific));
    }
    FJointNames = std::move(names);
  }
  return FJointNames.get();
}

std::string TPerson::DatesText() const {
  std::string r;
  if (IsSet(FRegistered)) r = SJ("登録日: ") + DateToText(FRegistered);
  if (IsSet(FUpdated)) {
    if (!r.empty()) r += "  ";
    r += SJ("更新日: ") + DateToText(FUpdated);
  }
  return r;
}

void TPerson::UnifyFormat(unsigned options) {
  if (options == 0) options = ufAll;
  const std::string& full = SJ("　");
  if (options & ufNameSpace) {
    TIntegers hits = SearchAll(full, FName, 0);
    int len = static_cast<int>(FName.size());
    // A one-character family or given name keeps its full-width space: 林　太郎.
    if (!hits.empty() && hits[0] != 3 && hits[0] != len - 3) FName = ReplaceStrAll(FName, full, " ");
  }
  // The width conversion comes first: it would turn the ASCII spaces of the space switch
  // back into full-width ones.
  if (options & ufYomiHiragana) FYomi = ConvertStr(ConvertStr(FYomi, cvZenkaku), cvHiragana);
  if (options & ufYomiSpace) FYomi = ReplaceStrAll(FYomi, full, " ");
  // Letters, digits and symbols become half width; katakana stays full width, since
  // half-width kana in an address would be printed on cards (and in vertical writing).
  if (options & ufAddressHankaku)
    for (std::string& line : FAddress.Raw()) line = HankakuAscii(line);
  if (options & ufPostalDigits) std::erase(FPostal, '-');
  if (options & (ufYomiHiragana | ufYomiSpace)) InvalidateSortKey();
  if (options & ufCompanyMarks) {
    auto marks = [](const std::string& s) {
      return ReplaceStrAll(ReplaceStrAll(s, SJ("株式会社"), SJ("㈱")), SJ("有限会社"), SJ("㈲"));
    };
    FName = marks(FName);
    for (std::string& line : FRelations.Raw()) line = marks(line);
  }
  Invalidate();
}

bool TPerson::Matches(const std::string& text) {
  TPersonList* list = PersonList();
  int mode = list ? list->FindMode : pfmName;
  if (mode != pfmName && mode != pfmAllFields) return false;
  const std::string& pattern = list ? list->PreparedFindText(text) : DeleteSpaces(text);
  if (pattern.empty()) return false;
  if (list) return list->SearchMatches(mode == pfmName ? 0 : 1, this, pattern);
  return ContainsStr(DeleteSpaces(mode == pfmName ? FName : GetText()), pattern);
}

bool TPerson::MatchesNo(int no) {
  TPersonList* list = PersonList();
  int mode = list ? list->FindMode : pfmName;
  if (mode == pfmKanaRow) return no < 0 || KanaRow(FYomi) == no;
  if (mode == pfmClassify) {
    if (!list->FClassifyPending.empty()) list->UpdateClassifications();  // a change not yet reported
    return HasClassifyBit(no);
  }
  return false;
}

std::string TPerson::GetText() const {
  std::string out;
  AppendText(out);
  return out;
}

void TPerson::AppendText(std::string& out) const {
  AppendCommaField(out, FName);
  out += ',';
  AppendCommaField(out, FYomi);
  out += ',';
  AppendJoined(out, FTels.Lines());
  out += ',';
  AppendJoined(out, FMails.Lines());
  out += ',';
  AppendCommaField(out, FUrl);
  out += ',';
  AppendCommaField(out, FPostal);
  out += ',';
  AppendJoined(out, FAddress.Lines());
  out += ',';
  AppendJoined(out, FClassify.Lines());
  out += ',';
  AppendJoined(out, FRelations.Lines());
  out += ',';
  AppendJoined(out, FRemarks.Lines());
  out += ',';
  AppendDate(out, FRegistered);
  out += ',';
  AppendDate(out, FUpdated);
  out += ',';
  AppendCommaField(out, FKeisyo);
  out += ',';
  AppendCommaField(out, FTitle);
  out += ',';
  AppendJoined(out, FRenmei.Lines());
}

void TPerson::Clear() {
  FName.clear();
  FYomi.clear();
  FPostal.clear();
  FUrl.clear();
  FKeisyo.clear();
  FTitle.clear();
  for (TNotifyStrings* l : {&FAddress, &FMails, &FTels, &FClassify, &FRelations, &FRemarks, &FRenmei}) l->Raw().clear();
  FRegistered = NoDate;
  FUpdated = NoDate;
  Invalidate();
}

void TPerson::AssignFields(const TDataItem* source) {
  TDataItem::AssignFields(source);
  auto* s = dynamic_cast<const TPerson*>(source);
  if (!s || s == this) return;
  bool wasEnabled = Enabled;
  Enabled = false;
  // Bits copied from an entry of another list (or a detached copy) may number the names
  // differently: the book sets them again.
  if (FClassify.Lines() != s->FClassify.Lines() || s->Owner() != Owner())
    if (TPersonList* list = PersonList()) list->MarkClassify(this);
  FName = s->FName;
  FYomi = s->FYomi;
  FPostal = s->FPostal;
  FAddress.Raw() = s->FAddress.Lines();
  FMails.Raw() = s->FMails.Lines();
  FUrl = s->FUrl;
  FTels.Raw() = s->FTels.Lines();
  FClassify.Raw() = s->FClassify.Lines();
  FRelations.Raw() = s->FRelations.Lines();
  FRemarks.Raw() = s->FRemarks.Lines();
  FRegistered = s->FRegistered;
  FUpdated = s->FUpdated;
  FKeisyo = s->FKeisyo;
  FTitle = s->FTitle;
  FRenmei.Raw() = s->FRenmei.Lines();
  FClassifyBits = s->FClassifyBits;
  Invalidate();
  Enabled = wasEnabled;
}

void TPerson::ReadText(const std::string& text) {
  // One buffer for the fields of every line read on this thread: loading a book allocates
  // only for the values it keeps.
  thread_local TStrings f;
  DecodeCommaText(text, f);
  size_t n = f.size();
  if (n > 0) FName = f[0];
  if (n > 1) FYomi = f[1];
  if (n > 2) SplitStr(f[2], "|", FTels.Raw());
  if (n > 3) SplitStr(f[3], "|", FMails.Raw());
  if (n > 4) FUrl = f[4];
  if (n > 5) {
    FPostal = f[5];
    std::erase(FPostal, '-');
  }
  if (n > 6) SplitStr(f[6], "|", FAddress.Raw());
  if (n > 7) {
    SplitStr(f[7], "|", FClassify.Raw());
    if (TPersonList* list = PersonList()) list->MarkClassify(this);
  }
  if (n > 8) SplitStr(f[8], "|", FRelations.Raw());
  if (n > 9) SplitStr(f[9], "|", FRemarks.Raw());
  if (n > 10) FRegistered = TextToDate(f[10]);
  if (n > 11) FUpdated = TextToDate(f[11]);
  if (n > 12) FKeisyo = f[12];
  if (n > 13) FTitle = f[13];
  if (n > 14) ReadJointNames(f[14], FRenmei.Raw());
  Invalidate();
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
  // honorific belongs to the name before it.
  SplitStr(field, "|", lines);
  for (size_t i = 1; i < lines.size();) {
    if (IsJointHonorific(lines[i]) && !lines[i - 1].empty() && SearchAll("|", lines[i - 1], 0).empty()) {
      lines[i - 1] += "|" + lines[i];
      lines.erase(lines.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
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
  if (FInUse) RaiseInUse(file);
  if (FBookLock.Path() != file) {
    // A new or renamed book: its name must be free. An existing file there is taken only
    // when nobody holds it, and only after the question below.
    TFileLock lock;
    if (!lock.Acquire(file) && lock.Busy()) RaiseInUse(file);
    FBookLock = std::move(lock);
    FBookStamp = TFileStamp();
    FBookStamp.Known = true;  // expected: no file
  }
  FGuardedSave = true;
  try {
    try {
      TUndoDataList::SaveToFile(name);
    } catch (const ESaveConflict&) {
      FGuardedSave = false;
      if (!AppHost().Confirm(SJ("この住所録は読み込んだ後に他のプログラムによって変更されています。上書きすると、その変更は失われます。") +
                             "\r\n" + SJ("上書きしてよろしいですか？")))
        throw;
      FBookStamp = FileStampOf(file);
      FGuardedSave = true;
      TUndoDataList::SaveToFile(name);
    }
  } catch (...) {
    FGuardedSave = false;
    throw;
  }
  FGuardedSave = false;
}

void TPersonList::WriteFile(const std::string& file, std::string_view text) {
  if (!FGuardedSave) {
    TUndoDataList::WriteFile(file, text);
    return;
  }
  TAtomicWriteGuard guard;
  guard.Expected = &FBookStamp;
  guard.Lock = &FBookLock;
  TFileStamp written;
  guard.Written = &written;
  WriteFileAtomic(file, text, guard);
  FBookStamp = written;
}

void TPersonList::Updated() { RebuildClassifications(); }

void TPersonList::ItemAdded(TDataItem* item) {
  TUndoDataList::ItemAdded(item);
  // An entry that comes in (new, or back from the trash) may carry bits of other numbers.
  MarkClassify(static_cast<TPerson*>(item));
}

void TPersonList::Detach(TDataItem* item) {
  auto* p = static_cast<TPerson*>(item);
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
  for (TSearchIndex& x : FSearch) x = TSearchIndex();
  for (TPerson* p : FClassifyPending) p->FClassifyPending = false;
  FClassifyPending.clear();
  TUndoDataList::Clear();
  FFindRaw.clear();
  FFindPrepared.clear();
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
  for (const std::string& name : p->FClassify.Lines()) {
    auto [it, isNew] = FClassifyIndex.try_emplace(name, static_cast<int>(FClassifications.size()));
    if (isNew) {
      FClassifications.push_back(name);
      added = true;
    }
    if (it->second < 256) bits.set(static_cast<size_t>(it->second));
  }
  bool changed = added || bits != p->FClassifyBits;
  p->FClassifyBits = bits;
  p->FClassifyPending = false;
  return changed;
}

void TPersonList::AddLines(std::string_view text) {
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::vector<std::string_view> lines;
  for (size_t i = 0, n = text.size(); i < n;) {
    size_t j = text.find_first_of("\r\n", i);
    if (j == std::string_view::npos) j = n;
    lines.push_back(text.substr(i, j - i));
    if (j < n && text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') j += 2;
    else if (j < n) ++j;
    i = j;
  }
  const size_t kParallelFrom = 8192;
  if (lines.size() < kParallelFrom || std::thread::hardware_concurrency() < 2) {
    TUndoDataList::AddLines(text);
    return;
  }
  // A long book: the entries are made one after the other (their Ids keep the file's order),
  // then two threads read their texts. Inside the update bracket reading an entry touches the
  // entry alone: nothing is recorded, sorted, numbered or reported before the bracket closes.
  WithUpdate(*this, [&] {
    Unrecorded([&] {
      size_t n = lines.size(), half = n / 2;
      // Each thread allocates the entries it will read, so that an entry and its texts lie
      // together in memory (a save or a find walks them in order).
      std::vector<TPerson*> made(n, nullptr);
      auto allocate = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) made[i] = static_cast<TPerson*>(NewInstance());
      };
      {
        std::thread allocator([&] { allocate(half, n); });
        allocate(0, half);
        allocator.join();
      }
      for (size_t i = 0; i < n; ++i) {
        try {
          made[i]->Create(this);
        } catch (...) {
          for (size_t j = i; j < n; ++j) delete made[j];  // not yet in the list
          throw;
        }
      }
      struct TFailure {
        size_t Line = SIZE_MAX;
        std::exception_ptr Error;
      };
      auto readRange = [&](size_t from, size_t to, TFailure& failure) {
        std::string line;
        for (size_t i = from; i < to; ++i) {
          if (lines[i].empty()) continue;
          line.assign(lines[i]);
          try {
            made[i]->ReadText(line);
          } catch (...) {
            failure = TFailure{i, std::current_exception()};
            return;
          }
        }
      };
      TFailure first, second;
      std::thread helper([&] { readRange(half, n, second); });
      readRange(0, half, first);
      helper.join();
      const TFailure& failure = first.Error ? first : second;
      if (!failure.Error) return;
      // As when read line by line: the entries before the bad line stay, the rest go.
      for (size_t i = n; i-- > failure.Line;) made[i]->Free();
      try {
        std::rethrow_exception(failure.Error);
      } catch (Exception& e) {
        e.SetLineNo(static_cast<int>(failure.Line) + 1);
        throw;
      }
    });
  });
}

void TPersonList::RebuildClassifications() {
  FClassifications.clear();
  FClassifyIndex.clear();
  for (int i = 0; i < AllCount(); ++i) PlaceClassifyBits(AllPersons(i));
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
  for (TPerson* p : persons) {
    for (int j = 0; j < p->FRelations.Count(); ++j) {
      const std::string& line = p->FRelations[j];
      if (line.find(':') == std::string::npos) continue;
      if (RightOf(line, ":") == oldName) p->FRelations.Set(j, LeftOf(line, ":") + ":" + newName);
    }
  }
}

void TPersonList::AddClassify(int index, const std::string& name) {
  TPerson* p = Persons(index);
  if (!p || p->FClassify.IndexOf(name) >= 0) return;  // nothing to add, nothing to undo
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
  FSearch[0].Valid = FSearch[1].Valid = false;
}

bool TPersonList::SearchMatches(int which, const TPerson* person, const std::string& pattern) {
  TSearchIndex& x = FSearch[which];
  if (!x.Valid) {
    x.Text.clear();
    x.Starts.clear();
    x.Persons.clear();
    std::string line;
    for (int i = 0; i < AllCount(); ++i) {
      TPerson* p = AllPersons(i);
      p->FSearchSlot[which] = static_cast<uint32_t>(x.Persons.size());
      x.Persons.push_back(p);
      x.Starts.push_back(static_cast<uint32_t>(x.Text.size()));
      if (which == 0) {
        AppendWithoutSpaces(x.Text, p->FName);
      } else {
        line.clear();
        p->AppendText(line);
        AppendWithoutSpaces(x.Text, line);
      }
    }
    x.Starts.push_back(static_cast<uint32_t>(x.Text.size()));
    x.Text.shrink_to_fit();
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
    FFindPrepared = DeleteSpaces(text);
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
  for (int i = 0; i < list->AllCount(); ++i)
    if (list->AllPersons(i)->Classify().IndexOf(FName) >= 0) FIds.push_back(list->AllPersons(i)->Id());
}

std::string TUndoTaskDelClassify::GetUndoCaption() const { return ClassifyCaption(SJ("分類の削除 ["), FName); }

void TUndoTaskDelClassify::Undo() {
  std::unordered_map<int32_t, TPerson*> byId = PersonsById(FList);
  FList->BeginNotify(nullptr);
  for (int32_t id : FIds) {
    auto it = byId.find(id);
    if (it != byId.end()) it->second->AddClassify(FName);
  }
  FList->EndNotify(nullptr);
}

void TUndoTaskDelClassify::Redo() { FList->DeleteClassify(FName); }

TUndoTaskEditClassify::TUndoTaskEditClassify(TPersonList* list, std::string oldName, std::string newName)
    : FList(list), FOld(std::move(oldName)), FNew(std::move(newName)) {
  for (int i = 0; i < list->AllCount(); ++i) {
    TPerson* p = list->AllPersons(i);
    if (p->Classify().IndexOf(FOld) >= 0) FBefore.emplace_back(p->Id(), p->Classify().Lines());
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
