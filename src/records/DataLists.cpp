#include "DataLists.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>

#include "Collation.h"
#include "CommaText.h"
#include "Files.h"

namespace kaede {

namespace {
int32_t gLastId = 0;

// Closes a bracket when the code inside it raises.
template <class Begin, class End, class F>
void Bracketed(Begin begin, End end, F f) {
  begin();
  try {
    f();
  } catch (...) {
    end();
    throw;
  }
  end();
}
}  // namespace

// ---- TNotifyStrings ------------------------------------------------------------------------

template <class F>
void TNotifyStrings::Change(F f) {
  if (FItem) FItem->Changing(-1);
  f();
  if (FItem) FItem->StringsChanged(this);
}

int TNotifyStrings::IndexOf(const std::string& s) const {
  for (size_t i = 0; i < FLines.size(); ++i)
    if (FLines[i] == s) return static_cast<int>(i);
  return -1;
}

void TNotifyStrings::Add(const std::string& s) {
  Change([&] { FLines.push_back(s); });
}
void TNotifyStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) return;
  Change([&] { FLines.insert(FLines.begin() + index, s); });
}
void TNotifyStrings::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Change([&] { FLines.erase(FLines.begin() + index); });
}
void TNotifyStrings::Set(int index, const std::string& s) {
  if (index < 0 || index >= Count() || FLines[static_cast<size_t>(index)] == s) return;
  Change([&] { FLines[static_cast<size_t>(index)] = s; });
}
void TNotifyStrings::Clear() {
  if (FLines.empty()) return;
  Change([&] { FLines.clear(); });
}
void TNotifyStrings::Assign(const TStrings& lines) {
  if (FLines == lines) return;
  Change([&] { FLines = lines; });
}
void TNotifyStrings::Exchange(int a, int b) {
  if (a < 0 || b < 0 || a >= Count() || b >= Count() || a == b) return;
  Change([&] { std::swap(FLines[static_cast<size_t>(a)], FLines[static_cast<size_t>(b)]); });
}

// ---- TDataItem -----------------------------------------------------------------------------

TDataItem::~TDataItem() {
  // An item deleted directly (not through Free) still leaves its list, silently, so that the
  // list never holds a dangling reference.
  if (FOwner) {
    FOwner->Placed(this);
    auto& items = FOwner->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    if (FOwner->FView) {
      auto& v = *FOwner->FView;
      v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    FOwner = nullptr;
  }
}

void TDataItem::Create(TDataList* list) {
  CreateFields();
  Clear();
  // The Id exists before the item enters its list, so that a list recording the addition
  // (for undo) can name the item by it.
  FId = ++gLastId;
  SetList(list);
  Initialize();
  Enabled = true;
}

void TDataItem::Free() {
  SetList(nullptr);
  DestroyFields();
  delete this;
}

void TDataItem::SetIndex(int newIndex) {
  if (!FOwner || FOwner->Count() < 2) return;
  auto& items = FOwner->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  if (it == items.end()) return;
  int cur = static_cast<int>(it - items.begin());
  int last = static_cast<int>(items.size()) - 1;
  if (newIndex < 0) newIndex = 0;
  if (newIndex > last) newIndex = last;
  if (newIndex == cur) return;
  items.erase(it);
  items.insert(items.begin() + newIndex, this);
  FOwner->FOrderDirty = true;
}

bool TDataItem::Matches(const std::string& text) { return !SearchAll(text, GetText(), 0).empty(); }

bool TDataItem::MatchesNo(int no) { return Index() == no; }

double TDataItem::GetSortValue() const { return 0; }
std::string TDataItem::GetSortText() const { return GetText(); }
std::string TDataItem::GetCaption() const { return std::string(); }
std::string TDataItem::GetText() const { return std::string(); }
std::string TDataItem::GetExportText() const { return GetText(); }

void TDataItem::AssignFields(const TDataItem* source) {
  if (source) Marked = source->Marked;
}

bool TDataItem::CanNotify() const {
  return FChangeCount == 0 && FUpdateCount == 0 && Enabled && (!FOwner || FOwner->CanNotify());
}

void TDataItem::InvalidateSortKey() {
  FKeyValid = false;
  if (FOwner) FOwner->Unplaced(this);
}

void TDataItem::Changing(int arg) {
  // Whatever changes may change the sort text: the collation key is made again when needed,
  // and the next sort places the item anew.
  FKeyValid = false;
  if (FOwner) FOwner->Unplaced(this);
  if (CanNotify() && OnBeforeChange) OnBeforeChange(this, arg);
  if (FOwner) {
    FOwner->ItemChanging(this);
    // The keys are remembered only when the list listens; otherwise (loading a book) the
    // copy would be wasted, and a change that does reach the list counts as a key change.
    if (FOwner->CanNotify()) {
      if (!FRemembered) FRemembered = std::make_unique<TRemembered>();
      FRemembered->Value = GetSortValue();
      FRemembered->Text = GetSortText();
    } else {
      FRemembered.reset();
    }
  }
}

void TDataItem::Changed(int arg) {
  if (!CanNotify()) return;
  if (OnAfterChange) OnAfterChange(this, arg);
  if (FOwner) {
    // A sort that is already pending stays pending.
    if (!FRemembered || GetSortValue() != FRemembered->Value || GetSortText() != FRemembered->Text) FOwner->NeedSort = true;
    FRemembered.reset();
    FOwner->ItemChanged(this);
  }
}

void TDataItem::SetText(const std::string& text) {
  Bracketed([&] { BeginChange(); }, [&] { EndChange(); }, [&] { ReadText(text); });
}

void TDataItem::SetImportText(const std::string& text) { SetText(text); }

void TDataItem::SetList(TDataList* list) {
  if (list == FOwner) return;
  if (FOwner) FOwner->Detach(this);
  if (list) list->Attach(this);
}

bool TDataItem::Equals(const TDataItem* other) const { return other && GetText() == other->GetText(); }

void TDataItem::BeginUpdate() {
  if (FUpdateCount == 0) Changing(-1);
  ++FUpdateCount;
}

void TDataItem::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) Changed(-1);
}

int TDataItem::Index() const {
  if (!FOwner) return -1;
  auto& items = FOwner->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TDataItem::BeginChange() {
  if (FChangeCount == 0) Changing(-1);
  ++FChangeCount;
}

void TDataItem::EndChange() {
  if (FChangeCount <= 0) return;
  if (--FChangeCount == 0) {
    Changed(-1);
    if (OnChangeDone) OnChangeDone(this);
  }
}

void TDataItem::Assign(const TDataItem* source) {
  if (!source) return;
  Bracketed([&] { BeginChange(); }, [&] { EndChange(); }, [&] { AssignFields(source); });
}

// ---- TDataList -----------------------------------------------------------------------------

TDataList::TDataList() = default;

TDataList::~TDataList() {
  Enabled = false;
  FView.reset();
  FreeItemsSilently();
}

void TDataList::FreeItemsSilently() {
  for (TDataItem* item : FUnplaced) item->FUnplaced = false;
  FUnplaced.clear();
  std::vector<TDataItem*> items;
  items.swap(FItems);
  for (TDataItem* item : items) {
    item->FOwner = nullptr;
    if (!NotOwner) {
      item->DestroyFields();
      delete item;
    }
  }
}

TDataItem* TDataList::Items(int index) const {
  const auto& v = View();
  if (index < 0 || index >= static_cast<int>(v.size())) return nullptr;
  return v[static_cast<size_t>(index)];
}

TDataItem* TDataList::AllItems(int index) const {
  if (index < 0 || index >= static_cast<int>(FItems.size())) return nullptr;
  return FItems[static_cast<size_t>(index)];
}

std::string TDataList::GetCommaText() { return EncodeCommaText(GetStrings()); }

const TStrings& TDataList::GetStrings() {
  FScratch.clear();
  if (!HeaderLine.empty()) FScratch.push_back(HeaderLine);
  for (TDataItem* item : View()) FScratch.push_back(item->GetText());
  return FScratch;
}

bool TDataList::IsHeaderLine(const std::string&, int) { return false; }

TDataItem* TDataList::AddLine(const std::string& line, int index) {
  if (IsHeaderLine(line, index)) {
    HeaderLine = line;
    return nullptr;
  }
  return AddText(line);
}

void TDataList::ItemChanging(TDataItem* item) {
  if (CanNotify() && OnItemChanging) OnItemChanging(item);
}

void TDataList::ItemChanged(TDataItem* item) {
  if (!CanNotify()) return;
  if (AutoSort && NeedSort) Sort();
  SetModified(true);
  if (OnItemChanged) OnItemChanged(item);
}

void TDataList::Attach(TDataItem* item) {
  ItemChanging(item);
  FItems.push_back(item);
  item->FOwner = this;
  Unplaced(item);
  ItemAdded(item);
  if (FView) FView->push_back(item);
  NeedSort = true;
  ItemChanged(item);
}

void TDataList::Detach(TDataItem* item) {
  ItemChanging(item);
  // Items are usually removed from near the end (undo, the last added), so search backwards.
  auto it = std::find(FItems.rbegin(), FItems.rend(), item);
  if (it != FItems.rend()) FItems.erase(std::next(it).base());
  Placed(item);
  item->FOwner = nullptr;
  if (FView) {
    auto v = std::find(FView->begin(), FView->end(), item);
    if (v != FView->end()) FView->erase(v);
  }
  ItemChanged(item);
}

void TDataList::AddStrings(const TStrings* lines) {
  if (!lines) return;
  WithUpdate(*this, [&] {
    FItems.reserve(FItems.size() + lines->size());
    for (size_t i = 0; i < lines->size(); ++i) {
      try {
        AddLine((*lines)[i], static_cast<int>(i));
      } catch (Exception& e) {
        e.SetLineNo(static_cast<int>(i) + 1);
        FItems.shrink_to_fit();
        throw;
      }
    }
    FItems.shrink_to_fit();
  });
}

void TDataList::AddLines(std::string_view text) {
  // The lines are taken straight from the text into one reused buffer: a book of a hundred
  // thousand lines is not copied into as many strings first.
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  WithUpdate(*this, [&] {
    size_t estimate = 1;
    for (const char* p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
      ++estimate;
    FItems.reserve(FItems.size() + estimate);
    std::string line;
    size_t i = 0, n = text.size();
    int index = 0;
    while (i < n) {
      // The line ends at the first CR or LF.
      const void* nl = std::memchr(text.data() + i, '\n', n - i);
      size_t k = nl ? static_cast<size_t>(static_cast<const char*>(nl) - text.data()) : n;
      const void* cr = std::memchr(text.data() + i, '\r', k - i);
      size_t j = cr ? static_cast<size_t>(static_cast<const char*>(cr) - text.data()) : k;
      line.assign(text.data() + i, j - i);
      try {
        AddLine(line, index);
      } catch (Exception& e) {
        e.SetLineNo(index + 1);
        FItems.shrink_to_fit();
        throw;
      }
      ++index;
      if (j < n && text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') j += 2;
      else if (j < n) ++j;
      i = j;
    }
    FItems.shrink_to_fit();
  });
}

void TDataList::SetCommaText(const std::string& text) {
  WithUpdate(*this, [&] {
    Clear();
    if (text.empty()) return;
    TStrings elements;
    DecodeCommaText(text, elements);
    for (size_t i = 0; i < elements.size(); ++i) {
      try {
        AddText(elements[i]);
      } catch (Exception& e) {
        if (AllCount() > 1) e.SetContextNo(static_cast<int>(i) + 1);
        throw;
      }
    }
  });
}

void TDataList::SetStrings(const TStrings* lines) {
  if (!lines) return;
  WithUpdate(*this, [&] {
    Clear();
    AddStrings(lines);
  });
}

void TDataList::SetModified(bool value) {
  if (value == FModified) return;
  FModified = value;
  if (OnModifiedChange) OnModifiedChange(this);
}

void TDataList::LoadFromFile(const std::string& name, bool append) {
  WithUpdate(*this, [&] {
    // The file is read whole before anything changes, so a file that cannot be read leaves
    // the list as it was.
    std::string data = ReadFileData(name);
    FTextSizeHint = data.size();
    try {
      if (!append) Clear();
      AddFileData(std::move(data));
    } catch (Exception& e) {
      e.SetFileName(name);
      if (!append) {
        // The list now holds the lines before the bad one. It belongs to this file from now
        // on (a later save must not write it over the book that was open before), and saving
        // it over this file would drop the lines after the bad one: refuse until cleared.
        FileName = name;
        IncompleteFile = name;
        ReadOnly = IsReadOnlyFile(name);
      }
      throw;
    }
    ReadOnly = IsReadOnlyFile(name);
    if (!append) {
      FileName = name;
      IncompleteFile.clear();
    }
    SetModified(false);
  });
}

std::string TDataList::ReadFileData(const std::string& name) { return ReadFileBytes(name); }

TDataItem* TDataList::AddText(const std::string& text) {
  TDataItem* last = nullptr;
  // An item whose text fails to parse does not stay half-read in the list.
  auto addOne = [&](const std::string& line) {
    TDataItem* item = NewInstance();
    item->Create(this);
    if (!line.empty()) {
      try {
        item->SetText(line);
      } catch (...) {
        item->Free();
        throw;
      }
    }
    last = item;
  };
  BeginNotify(nullptr);
  try {
    if (text.find('\r') == std::string::npos) {
      addOne(text);
    } else {
      TStrings lines;
      SplitLines(text, lines);
      for (const std::string& line : lines) addOne(line);
    }
  } catch (...) {
    EndNotify(last);
    throw;
  }
  EndNotify(last);
  return last;
}

TDataItem* TDataList::AddItem(const TDataItem* source) {
  TDataItem* item = nullptr;
  Bracketed([&] { BeginNotify(nullptr); }, [&] { EndNotify(nullptr); },
            [&] {
              item = AddText(std::string());
              item->Assign(source);
            });
  return item;
}

TDataItem* TDataList::InsertText(int index, const std::string& text) {
  TDataItem* item = NewInstance();
  item->Create(this);
  item->SetIndex(index);
  if (!text.empty()) item->SetText(text);
  return item;
}

bool TDataList::Equals(const TDataList* other) const {
  if (!other || Count() != other->Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (!Items(i)->Equals(other->Items(i))) return false;
  return true;
}

const TStrings& TDataList::GetCaptions() {
  FScratch.clear();
  for (TDataItem* item : View()) FScratch.push_back(item->GetCaption());
  return FScratch;
}

void TDataList::AddList(TDataList* other) {
  if (!other) return;
  Bracketed([&] { BeginNotify(nullptr); }, [&] { EndNotify(nullptr); },
            [&] {
              for (int i = 0; i < other->Count(); ++i) AddItem(other->Items(i));
            });
}

void TDataList::Assign(const TDataList* other) {
  if (!other || other == this) return;
  WithUpdate(*this, [&] {
    while (AllCount() > other->Count()) FItems.back()->Free();
    while (AllCount() < other->Count()) AddText(std::string());
    for (int i = 0; i < other->Count(); ++i) FItems[static_cast<size_t>(i)]->Assign(other->Items(i));
  });
}

void TDataList::Clear() {
  WithUpdate(*this, [&] {
    // Items leave without one notification each: the whole clear is one change.
    std::vector<TDataItem*> items;
    items.swap(FItems);
    for (TDataItem* item : FUnplaced) item->FUnplaced = false;
    FUnplaced.clear();
    FOrderDirty = false;
    for (TDataItem* item : items) {
      item->FOwner = nullptr;
      if (!NotOwner) item->Free();
    }
    FView.reset();
  });
}

void TSortKey::Assign(std::string_view key) {
  delete[] Heap();
  FLen = 0;
  if (key.size() > kInline) {
    char* p = new char[key.size()];
    std::memcpy(p, key.data(), key.size());
    std::memcpy(FData, &p, sizeof p);
  } else {
    std::memcpy(FData, key.data(), key.size());
  }
  FLen = static_cast<uint32_t>(key.size());
}

std::string_view TDataList::KeyOf(TDataItem* item) {
  if (!item->FKeyValid) {
    item->FKey.Assign(CollationKey(item->GetSortText()));
    item->FKeyValid = true;
  }
  return item->FKey.View();
}

void TDataList::PrepareKeys() {
  // Collation keys are the costly part of sorting a freshly loaded book; with many keys to
  // make, a second thread makes half of them. Each thread writes only its own items' keys
  // and has its own collator.
  std::vector<TDataItem*> stale;
  for (TDataItem* item : FItems)
    if (!item->FKeyValid) stale.push_back(item);
  size_t n = stale.size();
  const size_t kParallelFrom = 4096;
  if (n < kParallelFrom || std::thread::hardware_concurrency() < 2) {
    for (TDataItem* item : stale) KeyOf(item);
    return;
  }
  size_t half = n / 2;
  std::exception_ptr failure;
  std::thread helper([&] {
    try {
      for (size_t i = half; i < n; ++i) KeyOf(stale[i]);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  try {
    for (size_t i = 0; i < half; ++i) KeyOf(stale[i]);
  } catch (...) {
    helper.join();
    throw;
  }
  helper.join();
  if (failure) std::rethrow_exception(failure);
}

int TDataList::StandardCompare(TDataItem* a, TDataItem* b) {
  if (!a || !b) return 0;
  double va = a->GetSortValue(), vb = b->GetSortValue();
  if (va < vb) return -1;
  if (va > vb) return 1;
  int c = KeyOf(a).compare(KeyOf(b));
  if (c != 0) return c < 0 ? -1 : 1;
  return a->FId < b->FId ? -1 : a->FId > b->FId ? 1 : 0;
}

namespace {
// One item in a sort: its keys, with the first eight bytes of the collation key as a number
// so that most comparisons never touch the key's own memory.
struct TSortEntry {
  double value;
  uint64_t prefix;
  std::string_view key;
  int32_t id;
  TDataItem* item;
};

uint64_t KeyPrefix(std::string_view key) {
  uint64_t v = 0;
  size_t n = key.size() < 8 ? key.size() : 8;
  for (size_t i = 0; i < 8; ++i) v = v << 8 | (i < n ? static_cast<unsigned char>(key[i]) : 0u);
  return v;
}

bool SortLess(const TSortEntry& a, const TSortEntry& b) {
  if (a.value != b.value) return a.value < b.value;
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  int c = a.key.compare(b.key);
  if (c != 0) return c < 0;
  return a.id < b.id;
}
}  // namespace

void TDataList::Unplaced(TDataItem* item) {
  if (item->FUnplaced || FOrderDirty) return;  // a full sort is due anyway
  // Past a few thousand the next sort sorts everything: the list stops tracking, so that
  // taking items out of a long list of unplaced ones never costs a search each.
  const size_t kTrackedAtMost = 4096;
  if (FUnplaced.size() >= kTrackedAtMost) {
    for (TDataItem* u : FUnplaced) u->FUnplaced = false;
    FUnplaced.clear();
    FOrderDirty = true;
    return;
  }
  item->FUnplaced = true;
  FUnplaced.push_back(item);
}

void TDataList::Placed(TDataItem* item) {
  if (!item->FUnplaced) return;
  item->FUnplaced = false;
  auto it = std::find(FUnplaced.rbegin(), FUnplaced.rend(), item);
  if (it != FUnplaced.rend()) FUnplaced.erase(std::next(it).base());
}

void TDataList::Sort() {
  if (Count() < 2) return;
  // Since the last sort only the items that changed or came in (the unplaced ones) can be out
  // of order, unless items were moved by hand. A few of them are taken out and put back in
  // their places by binary search, touching a handful of items; otherwise all are sorted.
  const size_t kFewUnplaced = 64;
  if (!FOrderDirty && FUnplaced.size() <= kFewUnplaced) PlaceUnplaced();
  else SortAll();
  for (TDataItem* item : FUnplaced) item->FUnplaced = false;
  FUnplaced.clear();
  FOrderDirty = false;
  NeedSort = false;
  if (OnSort) OnSort(this);
}

void TDataList::PlaceUnplaced() {
  std::vector<TSortEntry> moved;
  moved.reserve(FUnplaced.size());
  for (TDataItem* item : FUnplaced) {
    auto it = std::find(FItems.rbegin(), FItems.rend(), item);
    if (it == FItems.rend()) continue;
    FItems.erase(std::next(it).base());
    std::string_view key = KeyOf(item);
    moved.push_back(TSortEntry{item->GetSortValue(), KeyPrefix(key), key, item->FId, item});
  }
  std::sort(moved.begin(), moved.end(), SortLess);
  for (const TSortEntry& m : moved) {
    auto at = std::upper_bound(FItems.begin(), FItems.end(), m, [](const TSortEntry& e, TDataItem* item) {
      std::string_view key = KeyOf(item);
      return SortLess(e, TSortEntry{item->GetSortValue(), KeyPrefix(key), key, item->FId, item});
    });
    FItems.insert(at, m.item);
  }
}

void TDataList::SortAll() {
  // Keys are computed once per item (and only again when it changed), so the collator never
  // runs inside the comparison.
  PrepareKeys();
  size_t n = FItems.size();
  std::vector<TSortEntry> entries;
  entries.reserve(n);
  for (TDataItem* item : FItems)
    entries.push_back(TSortEntry{item->GetSortValue(), KeyPrefix(item->FKey.View()), item->FKey.View(), item->FId, item});
  // A list is usually sorted already, or nearly: a book is saved in its order. The entries out
  // of order are taken out, sorted and merged back, so that such a sort costs one pass; many
  // entries out of order get a full sort.
  std::vector<TSortEntry> kept, moved;
  kept.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const TSortEntry& e = entries[i];
    bool out = !kept.empty() && SortLess(e, kept.back());
    if (!out && i + 1 < n && SortLess(entries[i + 1], e) && (kept.empty() || !SortLess(entries[i + 1], kept.back())))
      out = true;  // the next one fits after the last kept one only without this one
    (out ? moved : kept).push_back(e);
    if (moved.size() > n / 4) break;
  }
  if (moved.size() > n / 4) {
    std::sort(entries.begin(), entries.end(), SortLess);
  } else if (!moved.empty()) {
    std::sort(moved.begin(), moved.end(), SortLess);
    std::merge(kept.begin(), kept.end(), moved.begin(), moved.end(), entries.begin(), SortLess);
  }
  for (size_t i = 0; i < n; ++i) FItems[i] = entries[i].item;
}

void TDataList::BeginUpdate() {
  if (FUpdateCount == 0) ClearFilter(false);
  ++FUpdateCount;
}

void TDataList::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) {
    if (AutoSort) Sort();
    SetModified(false);
    Updated();
    if (OnUpdated) OnUpdated(this);
  }
}

void TDataList::Open(const std::string& name, bool append) {
  std::string file = name.empty() ? FileName : name;
  if (!file.empty() && FileExists(file)) LoadFromFile(file, append);
}

std::string TDataList::FileText() {
  std::string out;
  // The text is about as long as the last one written or read: one allocation, no copies.
  out.reserve(FTextSizeHint + FTextSizeHint / 16 + 256);
  if (!HeaderLine.empty()) {
    out += HeaderLine;
    out += "\r\n";
  }
  for (TDataItem* item : FItems) {
    item->AppendText(out);
    out += "\r\n";
  }
  FTextSizeHint = out.size();
  return out;
}

void TDataList::SaveToFile(const std::string& name) {
  std::string file = name.empty() ? FileName : name;
  if (file.empty()) return;
  if (!IncompleteFile.empty() && file == IncompleteFile) {
    Exception e(SJ("このファイルは途中までしか読み込めなかったため、上書きすると残りの行が失われます。保存を中止しました"));
    e.SetFileName(file);
    throw e;
  }
  WriteFile(file, FileText());
  SetModified(false);
}

void TDataList::WriteFile(const std::string& file, std::string_view text) { WriteFileAtomic(file, text); }

void TDataList::BeginNotify(TDataItem* item) {
  ItemChanging(item);
  ++FNotifyLock;
}

void TDataList::EndNotify(TDataItem* item) {
  if (FNotifyLock > 0) --FNotifyLock;
  ItemChanged(item);
}

void TDataList::SetItem(int index, const TDataItem* source) {
  if (TDataItem* item = Items(index)) item->Assign(source);
}

void TDataList::Exchange(int i, int j) {
  TDataItem* a = AllItems(i);
  TDataItem* b = AllItems(j);
  if (!a || !b) return;
  ItemChanging(a);
  ItemChanging(b);
  std::swap(FItems[static_cast<size_t>(i)], FItems[static_cast<size_t>(j)]);
  FOrderDirty = true;
  Exchanged(i, j);
  ItemChanged(a);
  ItemChanged(b);
}

int TDataList::Find(int32_t no, const std::string& text, bool inAll) {
  if (no == kNoNumber && text.empty()) return -1;
  FFindNumber = no;
  FFindText = text;
  const auto& seq = inAll ? FItems : View();
  for (size_t i = 0; i < seq.size(); ++i) {
    TDataItem* item = seq[i];
    if (i + 8 < seq.size()) __builtin_prefetch(seq[i + 8]);  // items lie far apart in memory
    if ((no != kNoNumber && item->MatchesNo(no)) || (!text.empty() && item->Matches(text))) {
      if (OnFound) OnFound(static_cast<int>(i));
      return static_cast<int>(i);
    }
  }
  return -1;
}

int TDataList::FindNext(int start, bool backward) {
  if (start < 0 || start >= Count()) return -1;
  for (int i = start; i >= 0 && i < Count(); i += backward ? -1 : 1) {
    TDataItem* item = Items(i);
    if ((FFindNumber != kNoNumber && item->MatchesNo(FFindNumber)) || (!FFindText.empty() && item->Matches(FFindText))) {
      if (OnFound) OnFound(i);
      return i;
    }
  }
  if (OnFound) OnFound(-1);
  return -1;
}

void TDataList::Filter(int32_t no, const std::string& text) {
  if (no == kNoNumber && text.empty()) {
    ClearFilter(true);
    return;
  }
  if (!FView) FView = std::make_unique<std::vector<TDataItem*>>();
  FView->clear();
  FFindNumber = no;
  FFindText = text;
  int total = AllCount();
  for (int i = 0; i < total; ++i) {
    TDataItem* item = FItems[static_cast<size_t>(i)];
    if (i + 8 < total) __builtin_prefetch(FItems[static_cast<size_t>(i) + 8]);  // items lie far apart in memory
    item->Marked = no != kNoNumber ? item->MatchesNo(no) : item->Matches(text);
    if (item->Marked) FView->push_back(item);
    if (OnProgress) OnProgress(i, total);
  }
  if (OnProgress) OnProgress(0, 0);
  if (OnFilter) OnFilter(this);
}

void TDataList::ClearFilter(bool notify) {
  if (FView) {
    for (TDataItem* item : *FView) item->Marked = false;
    FView.reset();
    FFindText.clear();
    FFindNumber = kNoNumber;
    FindMode = 0;
  }
  if (notify && OnFilter) OnFilter(this);
}

int TDataList::IndexOfId(int32_t id) const {
  const auto& v = View();
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i]->FId == id) return static_cast<int>(i);
  return -1;
}

TDataItem* TDataList::NewItem() const {
  TDataItem* item = NewInstance();
  item->Create(nullptr);
  return item;
}

}  // namespace kaede
