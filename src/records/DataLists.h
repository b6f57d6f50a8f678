#pragma once
// Data items and data lists: the records every part of the system keeps, shows and stores,
// with nested change brackets, notification, identity, sorting, filtering, find and files.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Strs.h"

namespace kaede {

class TDataList;
class TDataItem;

// The numeric criterion of find and filter that means "none".
inline constexpr int32_t kNoNumber = 2147483647;

// A single-subscriber event of an item. Items are many and their events are rarely
// connected, so an unconnected event takes one pointer instead of a whole std::function.
template <class Sig>
class TItemEventOf {
public:
  TItemEventOf() = default;
  TItemEventOf(const TItemEventOf& o) : FFn(o.FFn ? std::make_unique<std::function<Sig>>(*o.FFn) : nullptr) {}
  TItemEventOf& operator=(const TItemEventOf& o) {
    if (this != &o) FFn = o.FFn ? std::make_unique<std::function<Sig>>(*o.FFn) : nullptr;
    return *this;
  }
  template <class F>
  TItemEventOf& operator=(F&& f) {
    std::function<Sig> fn(std::forward<F>(f));
    FFn = fn ? std::make_unique<std::function<Sig>>(std::move(fn)) : nullptr;
    return *this;
  }
  TItemEventOf& operator=(std::nullptr_t) {
    FFn.reset();
    return *this;
  }
  explicit operator bool() const { return FFn != nullptr; }
  template <class... A>
  void operator()(A&&... args) const {
    if (FFn) (*FFn)(std::forward<A>(args)...);
  }

private:
  std::unique_ptr<std::function<Sig>> FFn;
};

using TItemNotifyEvent = TItemEventOf<void(TDataItem* sender, int arg)>;
using TItemEvent = TItemEventOf<void(TDataItem* sender)>;
using TListItemEvent = std::function<void(TDataItem* item)>;
using TListEvent = std::function<void(TDataList* sender)>;
using TIndexEvent = std::function<void(int index)>;
using TProgressEvent = std::function<void(int index, int total)>;

// A string list whose changes are changes of the item that holds it: every mutation is
// bracketed by the item's Changing(-1) and Changed(-1).
class TNotifyStrings {
public:
  explicit TNotifyStrings(TDataItem* item = nullptr) : FItem(item) {}
  TNotifyStrings(const TNotifyStrings&) = delete;
  TNotifyStrings& operator=(const TNotifyStrings&) = delete;

  int Count() const { return static_cast<int>(FLines.size()); }
  const std::string& operator[](int i) const { return FLines[static_cast<size_t>(i)]; }
  const TStrings& Lines() const { return FLines; }
  int IndexOf(const std::string& s) const;

  void Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Set(int index, const std::string& s);
  void Clear();
  void Assign(const TStrings& lines);
  void Exchange(int a, int b);
  // Without notification, for an item's ReadText/AssignFields that run inside its own bracket.
  TStrings& Raw() { return FLines; }

private:
  template <class F>
  void Change(F f);
  TDataItem* FItem;
  TStrings FLines;
};

// A collation key as an item keeps it: a short key (the key of a reading of a few characters)
// inside the item, a longer one in an allocation of its own.
class TSortKey {
public:
  TSortKey() = default;
  TSortKey(const TSortKey&) = delete;
  TSortKey& operator=(const TSortKey&) = delete;
  ~TSortKey() { delete[] Heap(); }
  void Assign(std::string_view key);
  std::string_view View() const { return {FLen > kInline ? Heap() : FData, FLen}; }

private:
  // The bytes of a short key, or the address of a long one (kept as bytes, so that a key takes
  // no more than these 24 bytes).
  static constexpr uint32_t kInline = 20;
  char* Heap() const {
    if (FLen <= kInline) return nullptr;
    char* p;
    std::memcpy(&p, FData, sizeof p);
    return p;
  }
  char FData[kInline] = {};
  uint32_t FLen = 0;
};

class TDataItem {
public:
  TDataItem() = default;
  TDataItem(const TDataItem&) = delete;
  TDataItem& operator=(const TDataItem&) = delete;
  virtual ~TDataItem();

  // Construction: CreateFields, Clear, next Id, SetList(list) (attaching it), Initialize,
  // Enabled. Every item is built through this sequence, usually by TDataList or Make<T>().
  void Create(TDataList* list);
  template <class T>
  static T* Make(TDataList* list = nullptr) {
    T* item = new T();
    item->Create(list);
    return item;
  }
  // Destruction: leaves the owner (with its notifications), DestroyFields, then frees.
  void Free();

  TDataList* Owner() const { return FOwner; }
  int32_t Id() const { return FId; }
  bool Marked = false;
  bool Enabled = false;
  // OnBeforeChange, OnAfterChange and OnChangeDone: declared at the end of the class, so that
  // the fields that filters and finds read share the item's first cache line.

  virtual void SetIndex(int newIndex);
  virtual bool Matches(const std::string& text);
  virtual bool MatchesNo(int no);
  virtual double GetSortValue() const;
  virtual std::string GetSortText() const;
  virtual std::string GetCaption() const;
  virtual std::string GetText() const;
  // Appends the text form to out; items with a long text form override it to write straight
  // into a file's buffer without a temporary string.
  virtual void AppendText(std::string& out) const { out += GetText(); }
  virtual std::string GetExportText() const;
  virtual void CreateFields() {}
  virtual void Initialize() {}
  virtual void DestroyFields() {}
  virtual void AssignFields(const TDataItem* source);
  virtual void ReadText(const std::string& /*text*/) {}
  virtual void Changing(int arg);
  virtual void Changed(int arg);
  // The end of a change made through one of the item's string lists (CreateStrings):
  // Changed(-1); an item whose lists mean more than an ordinary edit reports more first.
  virtual void StringsChanged(TNotifyStrings* /*list*/) { Changed(-1); }
  virtual void SetText(const std::string& text);
  virtual void SetImportText(const std::string& text);
  virtual void SetList(TDataList* list);
  virtual bool Equals(const TDataItem* other) const;
  virtual void Clear() {}
  virtual void BeginUpdate();
  virtual void EndUpdate();

  int Index() const;
  bool CanNotify() const;
  void BeginChange();
  void EndChange();
  void Assign(const TDataItem* source);
  // A string list whose edits are changes of this item (for multi-line fields).
  std::unique_ptr<TNotifyStrings> CreateStrings() { return std::make_unique<TNotifyStrings>(this); }

protected:
  // For a subclass that changes its sort text without Changing (a list-wide raw rewrite):
  // the collation key must be made again.
  void InvalidateSortKey();
  // Assigns a field through the change bracket, doing nothing for an unchanged value.
  template <class T, class V>
  void SetField(T& field, const V& value) {
    if (field == value) return;
    Changing(-1);
    field = value;
    Changed(-1);
  }

private:
  friend class TDataList;
  TDataList* FOwner = nullptr;
  int32_t FId = 0;
  // The sort keys taken when a change that the list hears of began; held only during such a
  // change, so that a book of many items does not carry a copy of every reading.
  struct TRemembered {
    double Value = 0;
    std::string Text;
  };
  std::unique_ptr<TRemembered> FRemembered;
  int32_t FUpdateCount = 0;
  int32_t FChangeCount = 0;
  // Collation key of the sort text, made when a sort needs it; every change of the item
  // (Changing) drops it.
  TSortKey FKey;
  bool FKeyValid = false;
  bool FUnplaced = false;  // in the owner's list of items the next sort must place

public:
  TItemNotifyEvent OnBeforeChange;
  TItemNotifyEvent OnAfterChange;
  TItemEvent OnChangeDone;
};

class TDataList {
public:
  TDataList();
  TDataList(const TDataList&) = delete;
  TDataList& operator=(const TDataList&) = delete;
  virtual ~TDataList();

  // The item class: a new, not yet constructed item of the list's kind.
  virtual TDataItem* NewInstance() const { return new TDataItem(); }

  bool AutoSort = false;
  bool ReadOnly = false;
  std::string FileName;
  bool NeedSort = false;
  bool Enabled = true;
  std::string HeaderLine;
  int32_t FindMode = 0;
  bool NotOwner = false;
  // Set when loading stopped at a bad line: the file that holds more than the list does. Saving
  // over that file is refused until the caller clears it (the user agreed to lose the rest).
  std::string IncompleteFile;

  TListItemEvent OnItemChanging;
  TListItemEvent OnItemChanged;
  TListEvent OnUpdated;
  TListEvent OnModifiedChange;
  TIndexEvent OnFound;
  TListEvent OnFilter;
  TListEvent OnSort;
  TProgressEvent OnProgress;

  bool Modified() const { return FModified; }
  const std::string& FindCriterion() const { return FFindText; }
  int32_t FindNumber() const { return FFindNumber; }
  bool Filtered() const { return FView != nullptr; }
  int UpdateCount() const { return FUpdateCount; }

  // Count and Items address the view: the filter view while a filter is active, else all.
  int Count() const { return static_cast<int>(View().size()); }
  TDataItem* Items(int index) const;
  int AllCount() const { return static_cast<int>(FItems.size()); }
  TDataItem* AllItems(int index) const;
  template <class T>
  T* ItemAs(int index) const { return static_cast<T*>(Items(index)); }
  template <class T>
  T* AllItemAs(int index) const { return static_cast<T*>(AllItems(index)); }

  virtual std::string GetCommaText();
  virtual const TStrings& GetStrings();
  virtual bool IsHeaderLine(const std::string& line, int index);
  virtual TDataItem* AddLine(const std::string& line, int index);
  virtual void ItemChanging(TDataItem* item);
  virtual void ItemChanged(TDataItem* item);
  virtual void Updated() {}
  virtual void ItemAdded(TDataItem* /*item*/) {}
  virtual void Attach(TDataItem* item);
  virtual void Detach(TDataItem* item);
  virtual void AddStrings(const TStrings* lines);
  virtual void SetCommaText(const std::string& text);
  virtual void SetStrings(const TStrings* lines);
  virtual void SetModified(bool value);
  virtual void Exchanged(int /*i*/, int /*j*/) {}
  virtual void SetFileName(const std::string& name) { FileName = name; }
  virtual void LoadFromFile(const std::string& name, bool append);
  virtual TDataItem* AddText(const std::string& text);
  virtual TDataItem* AddItem(const TDataItem* source);
  virtual TDataItem* InsertText(int index, const std::string& text);
  virtual bool Equals(const TDataList* other) const;
  virtual const TStrings& GetCaptions();
  virtual void AddList(TDataList* other);
  virtual void Assign(const TDataList* other);
  virtual void Clear();
  virtual void Sort();
  virtual void EndUpdate();
  virtual void Open(const std::string& name, bool append);
  virtual void SaveToFile(const std::string& name);

  void BeginUpdate();
  void BeginNotify(TDataItem* item);
  void EndNotify(TDataItem* item);
  bool CanNotify() const { return FUpdateCount == 0 && FNotifyLock == 0 && Enabled; }
  void SetItem(int index, const TDataItem* source);
  void Exchange(int i, int j);
  int Find(int32_t no, const std::string& text, bool inAll);
  int FindText(const std::string& text, bool inAll) { return Find(kNoNumber, text, inAll); }
  int FindNext(int start, bool backward);
  void Filter(int32_t no, const std::string& text);
  void FilterText(const std::string& text) { Filter(kNoNumber, text); }
  void FilterNo(int32_t no) { Filter(no, std::string()); }
  void ClearFilter(bool notify);
  int IndexOfId(int32_t id) const;
  TDataItem* NewItem() const;

  // The standard order: sort value, then collation of the sort text, then creation order.
  static int StandardCompare(TDataItem* a, TDataItem* b);

protected:
  // Adds one item per line of the text, as AddStrings does for a list of lines (CR LF, CR
  // and LF end a line, a zero byte ends the text); a failing line is numbered in the error.
  virtual void AddLines(std::string_view text);
  // Loading a file: its bytes, read whole before the list changes (a list may bound what it
  // accepts), then the items from them (a list may keep the bytes and read its items from
  // them lazily).
  virtual std::string ReadFileData(const std::string& name);
  virtual void AddFileData(std::string data) { AddLines(data); }
  // The file's lines as the list writes them (header line, then every item of the whole list).
  std::string FileText();
  // Writes the text of a save into the file (WriteFileAtomic); a list that guards its file
  // against other writers passes its guard here.
  virtual void WriteFile(const std::string& file, std::string_view text);

private:
  friend class TDataItem;
  const std::vector<TDataItem*>& View() const { return FView ? *FView : FItems; }
  void FreeItemsSilently();
  static std::string_view KeyOf(TDataItem* item);
  // Brings every item's collation key up to date.
  void PrepareKeys();
  // The items that changed or came in since the last sort (the others are in order).
  void Unplaced(TDataItem* item);
  void Placed(TDataItem* item);
  void PlaceUnplaced();
  void SortAll();

  std::vector<TDataItem*> FItems;
  std::unique_ptr<std::vector<TDataItem*>> FView;
  bool FModified = false;
  int32_t FNotifyLock = 0;
  int32_t FUpdateCount = 0;
  std::string FFindText;
  int32_t FFindNumber = kNoNumber;
  TStrings FScratch;
  size_t FTextSizeHint = 0;  // length of the file text last read or written
  std::vector<TDataItem*> FUnplaced;
  bool FOrderDirty = false;  // items were moved by hand, or too many changed, since the last sort
};

// Runs f between BeginUpdate and EndUpdate, closing the bracket when f raises.
template <class F>
void WithUpdate(TDataList& list, F f) {
  list.BeginUpdate();
  try {
    f();
  } catch (...) {
    list.EndUpdate();
    throw;
  }
  list.EndUpdate();
}

}  // namespace kaede
