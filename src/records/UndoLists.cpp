#include "UndoLists.h"

#include <algorithm>

#include "Cp932.h"

namespace kaede {

namespace {
// "verb [caption]" for the item with that Id, or empty when the item is gone.
std::string TaskCaption(const std::string& verb, const TUndoDataList* list, int32_t id) {
  const TDataItem* item = ItemOfIdOrTrash(list, id);
  return item ? verb + item->GetCaption() + "]" : std::string();
}
}  // namespace

const TDataItem* ItemOfIdOrTrash(const TUndoDataList* list, int32_t id) {
  if (TDataItem* item = list->ItemOfId(id)) return item;
  const TDataList& trash = list->Trash();
  return trash.Items(trash.IndexOfId(id));
}

// ---- Tasks ---------------------------------------------------------------------------------

std::string TTaskAdd::GetUndoCaption() const { return TaskCaption(SJ("追加 ["), FList, FId); }
void TTaskAdd::Undo() { FList->MoveToTrash(FId); }
void TTaskAdd::Redo() { FList->RestoreFromTrash(FId); }

std::string TTaskDel::GetUndoCaption() const { return TaskCaption(SJ("削除 ["), FList, FId); }
void TTaskDel::Undo() { FList->RestoreFromTrash(FId); }
void TTaskDel::Redo() { FList->MoveToTrash(FId); }

TTaskEdit::TTaskEdit(TUndoDataList* list, int32_t id, const TDataItem* before, const TDataItem* after)
    : TItemTask(list, id), FBefore(list->NewItem()), FAfter(list->NewItem()) {
  FBefore->Assign(before);
  FAfter->Assign(after);
}

TTaskEdit::~TTaskEdit() {
  FBefore->Free();
  FAfter->Free();
}

std::string TTaskEdit::GetUndoCaption() const { return TaskCaption(SJ("修正 ["), FList, FId); }
void TTaskEdit::Undo() {
  if (TDataItem* item = FList->ItemOfId(FId)) item->Assign(FBefore);
}
void TTaskEdit::Redo() {
  if (TDataItem* item = FList->ItemOfId(FId)) item->Assign(FAfter);
}

// ---- TUndoDataList -------------------------------------------------------------------------

TUndoDataList::TUndoDataList() : FHistory(std::make_unique<TUndo>()), FTrash(std::make_unique<TTrashList>(this)) {}

TUndoDataList::~TUndoDataList() {
  Enabled = false;
  FHistory.reset();
  FTrash.reset();
  if (FBefore) FBefore->Free();
  FBefore = nullptr;
}

TDataItem* TUndoDataList::ItemOfId(int32_t id) const {
  for (int i = 0; i < AllCount(); ++i)
    if (AllItems(i)->Id() == id) return AllItems(i);
  return nullptr;
}

bool TUndoDataList::MoveToTrash(int32_t id) {
  TDataItem* item = ItemOfId(id);
  if (!item) return false;
  Unrecorded([&] { item->SetList(FTrash.get()); });
  return true;
}

bool TUndoDataList::RestoreFromTrash(int32_t id) {
  TDataItem* item = FTrash->Items(FTrash->IndexOfId(id));
  if (!item) return false;
  Unrecorded([&] { item->SetList(this); });
  return true;
}

TDataItem* TUndoDataList::AddText(const std::string& text) {
  if (!Recording()) {
    TDataItem* item = nullptr;
    Unrecorded([&] { item = TDataList::AddText(text); });
    return item;
  }
  // A text of several lines adds several items; all of them leave again with one undo step.
  std::vector<int32_t> added;
  FAdded = &added;
  auto record = [&] {
    FAdded = nullptr;
    std::erase_if(added, [&](int32_t id) { return ItemOfId(id) == nullptr; });
    if (added.size() == 1) {
      FHistory->Add(std::make_unique<TTaskAdd>(this, added[0]));
      return;
    }
    TUndoGroup group(*FHistory);
    for (int32_t id : added) FHistory->Add(std::make_unique<TTaskAdd>(this, id));
  };
  TDataItem* item = nullptr;
  try {
    Unrecorded([&] { item = TDataList::AddText(text); });
  } catch (...) {
    record();  // the lines before a bad one stay in the list, and undoably so
    throw;
  }
  record();
  return item;
}

void TUndoDataList::Attach(TDataItem* item) {
  bool record = item && Recording();
  Unrecorded([&] { TDataList::Attach(item); });
  if (!item) return;
  if (FAdded) FAdded->push_back(item->Id());
  else if (record) FHistory->Add(std::make_unique<TTaskAdd>(this, item->Id()));
}

void TUndoDataList::Detach(TDataItem* item) {
  // Leaving the list is not an edit of the item; deletions are recorded by Delete.
  Unrecorded([&] { TDataList::Detach(item); });
}

void TUndoDataList::Delete(int index) {
  TDataItem* item = Items(index);
  if (!item) return;
  if (Recording()) FHistory->Add(std::make_unique<TTaskDel>(this, item->Id()));
  Unrecorded([&] { item->SetList(FTrash.get()); });
}

void TUndoDataList::ItemChanging(TDataItem* item) {
  TDataList::ItemChanging(item);
  if (item && item->Owner() == this && Recording() && item->CanNotify()) {
    if (!FBefore) FBefore = NewItem();
    FBefore->Assign(item);
  }
}

void TUndoDataList::ItemChanged(TDataItem* item) {
  if (item && item->Owner() == this && Recording() && item->CanNotify() && FBefore) {
    // Consecutive edits of one item are one step, but only while that step is the current,
    // done one: an edit after an undo starts a new step instead of vanishing into the undone one.
    auto* last = dynamic_cast<TTaskEdit*>(FHistory->LastTask());
    bool current = FHistory->InGroup() || (FHistory->CurrentTask() == last && !FHistory->Undone());
    if (last && last->Id() == item->Id() && current) last->SetAfter(item);
    else FHistory->Add(std::make_unique<TTaskEdit>(this, item->Id(), FBefore, item));
  }
  TDataList::ItemChanged(item);
}

void TUndoDataList::Clear() {
  FHistory->Clear();
  // The trash only serves the history: with the history gone, its items can never return.
  Unrecorded([&] {
    FTrash->Clear();
    TDataList::Clear();
  });
}

void TUndoDataList::Assign(const TDataList* other) {
  Unrecorded([&] { TDataList::Assign(other); });
}

void TUndoDataList::AddStrings(const TStrings* lines) {
  Unrecorded([&] { TDataList::AddStrings(lines); });
}

void TUndoDataList::SetStrings(const TStrings* lines) {
  Unrecorded([&] { TDataList::SetStrings(lines); });
}

void TUndoDataList::AddList(TDataList* other) {
  Unrecorded([&] { TDataList::AddList(other); });
}

void TUndoDataList::LoadFromFile(const std::string& name, bool append) {
  Unrecorded([&] { TDataList::LoadFromFile(name, append); });
}

}  // namespace kaede
