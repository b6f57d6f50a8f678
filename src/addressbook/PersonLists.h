#pragma once
// The address book: one entry (TPerson) and the book in memory (TPersonList) with undo,
// automatic sorting by reading, the list of classification names and the operations that
// change many entries at once. A book file holds one entry's text form per line.
#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Dates.h"
#include "Files.h"
#include "UndoLists.h"

namespace kaede {

class TPersonList;

// Find modes of the person list: how its entries read the find criteria.
enum TPersonFindMode {
  pfmName = 0,      // text in the name (spaces ignored)
  pfmAllFields = 1, // text anywhere in the entry's text form (spaces ignored)
  pfmKanaRow = 2,   // number: kana row of the reading (negative: every entry)
  pfmClassify = 3,  // number: classification number of the list
};

// Switches of UnifyFormat (bit i is switch i); 0 means all of them.
enum TUnifySwitch : unsigned {
  ufNameSpace = 1u << 0,     // full-width spaces of the name become ASCII (a one-character
                             // family or given name keeps its full-width space)
  ufYomiSpace = 1u << 1,     // full-width spaces of the reading become ASCII
  ufYomiHiragana = 1u << 2,  // the reading becomes full-width hiragana
  ufAddressHankaku = 1u << 3,  // letters, digits and symbols of the address become half width
  ufPostalDigits = 1u << 4,  // "-" leaves the postal code
  ufCompanyMarks = 1u << 5,  // 株式会社/有限会社 become ㈱/㈲ in the name and the relations
  ufAll = 0x3F,
};

// Whether a text is one of the honorifics a joint name can carry ("様", "ちゃん", "Mr." ...).
bool IsJointHonorific(const std::string& text);
// Splits the stored joint names of an entry into lines, keeping each name with its honorific.
void ReadJointNames(const std::string& field, TStrings& lines);

// The fields of an entry held as its own strings and lists.
struct TPersonFields {
  explicit TPersonFields(TDataItem* item)
      : Address(item), Mails(item), Tels(item), Classify(item), Relations(item), Remarks(item), Renmei(item) {}
  std::string Yomi;
  std::string Name;
  std::string Postal;
  TNotifyStrings Address;
  TNotifyStrings Mails;
  std::string Url;
  TNotifyStrings Tels;
  TNotifyStrings Classify;
  TNotifyStrings Relations;
  TNotifyStrings Remarks;
  TDateValue Registered;
  TDateValue Updated;
  std::string Keisyo;
  std::string Title;
  TNotifyStrings Renmei;
  std::unique_ptr<TStrings> JointNames;  // the joint names with honorifics, made on demand
};

class TPerson : public TDataItem {
public:
  TPerson();

  // ---- Fields ----
  const std::string& Name() const { return F().Name; }
  const std::string& Yomi() const { return F().Yomi; }
  const std::string& Postal() const { return F().Postal; }
  const std::string& Url() const { return F().Url; }
  const std::string& Keisyo() const { return F().Keisyo; }
  const std::string& Title() const { return F().Title; }
  const TDateValue& Registered() const { return F().Registered; }
  const TDateValue& Updated() const { return F().Updated; }
  // The multi-line fields: editing them through these lists is a change of the entry.
  TNotifyStrings& Address() { return F().Address; }
  TNotifyStrings& Mails() { return F().Mails; }
  TNotifyStrings& Tels() { return F().Tels; }
  TNotifyStrings& Classify() { return F().Classify; }
  TNotifyStrings& Relations() { return F().Relations; }
  TNotifyStrings& Remarks() { return F().Remarks; }
  TNotifyStrings& Renmei() { return F().Renmei; }
  const TNotifyStrings& Address() const { return F().Address; }
  const TNotifyStrings& Mails() const { return F().Mails; }
  const TNotifyStrings& Tels() const { return F().Tels; }
  const TNotifyStrings& Classify() const { return F().Classify; }
  const TNotifyStrings& Relations() const { return F().Relations; }
  const TNotifyStrings& Remarks() const { return F().Remarks; }
  const TNotifyStrings& Renmei() const { return F().Renmei; }

  void SetName(const std::string& v) { SetField(F().Name, v); }
  void SetYomi(const std::string& v) { SetField(F().Yomi, v); }
  void SetPostal(const std::string& v) { SetField(F().Postal, v); }
  void SetUrl(const std::string& v) { SetField(F().Url, v); }
  void SetKeisyo(const std::string& v) { SetField(F().Keisyo, v); }
  void SetTitle(const std::string& v) { SetField(F().Title, v); }
  void SetRegistered(const TDateValue& v);
  void SetUpdated(const TDateValue& v);
  // Replace the list's content in one change (nothing for no lines).
  void SetAddress(const TStrings* lines) { SetLines(F().Address, lines); }
  void SetRemarks(const TStrings* lines) { SetLines(F().Remarks, lines); }
  void SetTels(const TStrings* lines) { SetLines(F().Tels, lines); }
  void SetMails(const TStrings* lines) { SetLines(F().Mails, lines); }
  // As the others; a single empty line leaves no joint names at all.
  void SetRenmei(const TStrings* lines);

  // ---- Classifications ----
  void AddClassify(const std::string& name);
  void RemoveClassify(const std::string& name);
  void RenameClassify(const std::string& oldName, const std::string& newName);
  // Whether the name is one of the entry's classifications.
  bool HasClassify(std::string_view name) const;
  bool HasClassifyBit(int no) const { return no >= 0 && no < 256 && FClassifyBits.test(static_cast<size_t>(no)); }
  // Bit i is set when the name at position i (i < 256) is one of the entry's classifications.
  void SetClassifyBits(const TStrings& names);

  // ---- Entry values ----
  std::string TelNumber(int index) const;
  std::string MailAddress(int index) const;
  // The value of the first "kind:value" entry of the list whose kind is Kind; empty when none.
  static std::string EntryValue(const std::string& kind, const TNotifyStrings& list);

  // ---- Derived values for printing ----
  TPerson* RelatedPerson(const std::string& kind) const;
  std::string AddressText() const;
  std::string PrintAddressText() const;
  const TStrings& PrintAddress() const;
  std::string PrintPostal() const;
  std::string PrintName() const;
  std::string PrintTitle() const;
  std::string Honorific() const;
  std::string NameWithHonorific() const;
  // The joint names with their honorifics; none when there are no joint names.
  const TStrings* JointNames() const;
  std::string DatesText() const;

  void UnifyFormat(unsigned options);

  // ---- Data item ----
  bool Matches(const std::string& text) override;
  bool MatchesNo(int no) override;
  std::string GetSortText() const override;
  std::string GetCaption() const override;
  std::string GetText() const override;
  // The 41-column exchange row (comma text) and reading an entry back from one; see
  // PersonColumns.h. Importing may add the entry's place of work to the same list.
  std::string GetExportText() const override;
  void SetImportText(const std::string& row) override;
  void AppendText(std::string& out) const override;
  void Clear() override;
  void AssignFields(const TDataItem* source) override;
  void ReadText(const std::string& text) override;
  void Changing(int arg) override;
  void Changed(int arg) override;
  // An edit of the classification list is reported to the book as well.
  void StringsChanged(TNotifyStrings* list) override;

  TPersonList* PersonList() const;
  // The remark lines that begin with the prefix, found without making the entry's own fields
  // when it reads from its line (quick for the many entries whose line does not hold it).
  TStrings RemarkLinesStartingWith(const std::string& prefix) const;
  // Whether the entry still reads its fields from its line in the book's text (see below).
  bool ReadsFromLine() const { return FLine != nullptr; }

private:
  friend class TPersonList;
  void SetLines(TNotifyStrings& list, const TStrings* lines);
  // Drops what is derived from the fields (joint-name display list, search text).
  void Invalidate();
  // The entry's own fields, made from its line when it still reads from one.
  TPersonFields& F() const {
    if (!FFields) Own();
    return *FFields;
  }
  void Own() const;
  // The name, reading and classification field without making the entry's own fields; the
  // scratch string holds the value when the line had to be unquoted.
  std::string_view NameText(std::string& scratch) const;
  std::string_view YomiText(std::string& scratch) const;
  std::string_view LineField(uint32_t at, uint32_t len, uint8_t escapedFlag, std::string& scratch) const;
  template <class Fn>
  void ForEachClassify(Fn f) const;

  // What filters and finds read comes first, next to the item's own first fields.
  uint32_t FSearchSlot[2] = {0, 0};  // this entry's place in the list's search indexes
  std::bitset<256> FClassifyBits;
  bool FClassifyPending = false;  // the bits wait to be set by the book
  // An entry read from a book keeps only where its line lies in the book's text (which the
  // list holds) until it is changed or its fields are asked for: opening a big book costs one
  // buffer and one small object per entry, not dozens of strings. The name, the reading and
  // the classifications, which sorting, finding and filtering read for every entry, are
  // located in the line.
  enum : uint8_t {
    lfTextForm = 1,         // the line is exactly the entry's text form
    lfNameEscaped = 2,      // the value holds quotes, doubled in the line
    lfYomiEscaped = 4,
    lfClassifyEscaped = 8,
  };
  mutable const char* FLine = nullptr;
  uint32_t FLineLen = 0;
  uint32_t FNameAt = 0, FNameLen = 0;
  uint32_t FYomiAt = 0, FYomiLen = 0;
  uint32_t FClassifyAt = 0, FClassifyLen = 0;
  uint8_t FLineFlags = 0;
  uint8_t FLineKanaRow = 10;  // the kana row of the reading in the line
  // What the New Year card lists read of the entry for the book's card year (TNengaBit); 0
  // until asked, and again after every change.
  mutable uint8_t FNengaBits = 0;
  mutable std::unique_ptr<TPersonFields> FFields;
};

// A book that another program holds cannot be saved from here.
class EBookInUse : public Exception {
public:
  using Exception::Exception;
};

class TPersonList : public TUndoDataList {
public:
  TPersonList();
  ~TPersonList() override;
  TDataItem* NewInstance() const override { return new TPerson(); }

  TPerson* Persons(int index) const { return ItemAs<TPerson>(index); }
  TPerson* AllPersons(int index) const { return AllItemAs<TPerson>(index); }
  // Every classification name used by an entry, once each, in order of first appearance.
  const TStrings& Classifications() const { return FClassifications; }
  TListEvent OnClassifyChange;

  // Adds one entry from its text form (undoably) with today's registration date.
  TPerson* AddPerson(const std::string& text);
  // Stores the name and saves the whole list to it at once (a new or renamed book).
  void SetFileName(const std::string& name) override;
  void Updated() override;
  void ItemAdded(TDataItem* item) override;
  void Detach(TDataItem* item) override;
  void ItemChanged(TDataItem* item) override;
  void Clear() override;
  // Opening a book takes its lock (see TFileLock) and keeps it while the book is open. When
  // another program holds the book, it opens read-only and InUse() tells so.
  void LoadFromFile(const std::string& name, bool append) override;
  // Refuses to write a book that another program holds (EBookInUse), and asks (AppHost's
  // Confirm) before it replaces a book file that changed on disk since it was read or last
  // saved; without a yes the save raises ESaveConflict and the file stays as it is.
  void SaveToFile(const std::string& name) override;
  // The book is open read-only because another program holds it.
  bool InUse() const { return FInUse; }
  // What the user is told when the book is in use and when an edit is refused.
  static std::string InUseMessage();
  // For the commands that change the book: when it is in use, shows InUseMessage() as an
  // error (AppHost) and returns true.
  bool RefuseEditInUse() const;
  // The file as it is on disk now counts as the book's own (after the book's file was moved
  // away on purpose, a later save writes it anew without asking).
  void AcceptFileOnDisk() {
    FBookStamp = FileStampOf(FileName);
    FStampFile = FileName;
  }

  // Lists every name used, in order of first appearance, and sets every entry's bits.
  void RebuildClassifications();
  // Sets the bits of the entries whose classifications changed, adding names that are new at
  // the end; true when a name was added or bits changed.
  bool UpdateClassifications();
  void ClassifyChanged();
  void RenameRelations(const std::string& oldName, const std::string& newName);
  void AddClassify(int index, const std::string& name);
  void RenameClassify(const std::string& oldName, const std::string& newName);
  void DeleteClassify(const std::string& name);
  void UnifyFormat(unsigned options);

  // The New Year card list that filters and finds keep (TNengaFilter of NengaMarks.h; 0 keeps
  // every entry) and its card year. Each entry's marks for that year are read once and kept
  // until the entry changes or the year does.
  void SetNengaFilter(int filter, int year);
  int NengaFilter() const { return FNengaFilter; }
  int NengaYear() const { return FNengaYear; }
  // The entry's marks of the year as the lists read them (TNengaBit).
  uint8_t NengaBitsOf(const TPerson* person, int year);
  bool NengaKeeps(const TPerson* person);

  // Grows with every change of the book's entries (edits, additions, removals, undo, a book
  // read anew), so that a view made from the book can tell that it is out of date.
  uint64_t ChangeStamp() const { return FChangeStamp; }

  // The lock this list holds on its book file (see TFileLock).
  const TFileLock& BookLock() const { return FBookLock; }

  // The find text with spaces removed, prepared once per find rather than once per entry.
  const std::string& PreparedFindText(const std::string& text);
  void ItemChanging(TDataItem* item) override;

  // The texts that finds search, for every entry in list order: the name, or the whole text
  // form, without spaces, in one buffer. A find searches the buffer once per find text and
  // each entry then only looks its result up. Made on the first find, dropped by any change.
  struct TSearchIndex {
    std::string Text;
    std::vector<uint32_t> Starts;  // where each entry's text starts, and the end
    std::vector<TPerson*> Persons;
    bool Valid = false;
    std::string HitPattern;  // the find text the hits are for
    std::vector<uint8_t> Hits;
    bool HitsValid = false;
  };

  // Limits of a book file, each an error naming the file (and the line): they keep a damaged or
  // hostile file from taking unbounded memory and time. A real book is far inside them (an
  // entry's line is a few hundred bytes of 15 fields), and every book this program writes
  // keeps them: a line is written with 15 fields and two dates (at least 30 bytes), however
  // its fields are. Neither the length of a line nor the number of lines in its lists is
  // bounded on its own: a field takes whatever was typed or imported (a memo of 80 KB, a list
  // of empty lines), and a book that was saved must open again. The whole book's bytes bound
  // them, and keep every place in a line within 32 bits.
  struct TBookLimits {
    size_t Bytes = size_t{256} << 20;
    size_t Lines = 2000000;
    // Past this many lines, a book's lines are on average at least LineAverage bytes long.
    size_t ShortLines = 65536;
    size_t LineAverage = 16;
    size_t LineFields = 64;
  };
  TBookLimits Limits;

protected:
  // The book's bytes, at most kMaxBookBytes of them.
  std::string ReadFileData(const std::string& name) override;
  // The list keeps the bytes; its entries read their fields from them (a long book on two
  // threads).
  void AddFileData(std::string data) override;
  void AddLines(std::string_view text) override;

private:
  friend class TPerson;
  void WriteFile(const std::string& file, std::string_view text) override;
  [[noreturn]] void RaiseInUse(const std::string& file) const;
  // A book's text as read, with the day it was read (an empty date field means that day).
  struct TBookText {
    std::string Bytes;
    TDateValue Day;
  };
  void ReadBook(const TBookText& book);
  struct TLineReader;
  void ReadBookLine(TPerson* p, std::string_view line, TLineReader& reader) const;
  const TBookText* BookTextOf(const char* line) const;
  std::vector<std::unique_ptr<TBookText>> FBookTexts;
  void InvalidateSearch();
  // Whether the find text (spaces removed) occurs in the entry's search text of that index.
  bool SearchMatches(int which, const TPerson* person, const std::string& pattern);

  TStrings FClassifications;
  // The number of each name in Classifications, looked up by views as well.
  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, TNameHash, std::equal_to<>> FClassifyIndex;
  std::vector<TPerson*> FClassifyPending;  // entries whose bits wait to be set
  void MarkClassify(TPerson* p);
  bool PlaceClassifyBits(TPerson* p);
  TFileLock FBookLock;
  TFileStamp FBookStamp;    // the book's file as it was read or last written
  std::string FStampFile;   // the file that stamp is of
  bool FInUse = false;      // another program holds the book
  // While a save writes the book's own file: the lock that moves to the new file and the
  // stamp the file on disk must still have.
  TFileLock* FSaveLock = nullptr;
  TFileStamp* FSaveStamp = nullptr;
  std::string FFindRaw, FFindPrepared;
  int FNengaFilter = 0;
  int FNengaYear = 0;       // the year the entries' bits are of
  TSearchIndex FSearch[2];  // 0 names, 1 all fields
  uint64_t FChangeStamp = 0;
};

// ---- Tasks of the address book ----

class TUndoTaskAddClassify : public TTask {
public:
  TUndoTaskAddClassify(TPersonList* list, std::string name, int32_t id) : FList(list), FName(std::move(name)), FId(id) {}
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;

private:
  TPersonList* FList;
  std::string FName;
  int32_t FId;
};

// Undo gives every entry that held the name its classifications back as they were (the name
// in its place among them, not at the end).
class TUndoTaskDelClassify : public TTask {
public:
  // Remembers the entries that hold the name now, with their classifications.
  TUndoTaskDelClassify(TPersonList* list, std::string name);
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;

private:
  TPersonList* FList;
  std::string FName;
  std::vector<std::pair<int32_t, TStrings>> FBefore;  // Id and classifications of each holder
};

// Undo gives every entry that held the old name its classifications back as they were, so
// that a rename onto a name already in use (which merges the two) undoes exactly.
class TUndoTaskEditClassify : public TTask {
public:
  TUndoTaskEditClassify(TPersonList* list, std::string oldName, std::string newName);
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;

private:
  TPersonList* FList;
  std::string FOld, FNew;
  std::vector<std::pair<int32_t, TStrings>> FBefore;  // Id and classifications of each holder
};

}  // namespace kaede
