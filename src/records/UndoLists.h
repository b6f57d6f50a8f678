#pragma once
// A data list that records its own additions, deletions and item edits as undo tasks.
// Deleted items wait in a trash list so that undo brings back the same objects (same Id).
#include <memory>
#include <string>
#include <vector>

#include "DataLists.h"
#include "Undos.h"

namespace kaede {

class TUndoDataList;

// Holds the items that were deleted or whose addition was undone; it owns them and creates
// items of its list's class.
class TTrashList : public TDataList {
public:
  explicit TTrashList(const TDataList* list) : FList(list) {}
  TDataItem* NewInstance() const override { return FList->NewInstance(); }

private:
  const TDataList* FList;
};

// The item with that Id among the list's visible items or in its trash; none when in neither.
// Task captions name the item through it, so that the undo caption of a deletion (whose item
// waits in the trash) still names the item.
const TDataItem* ItemOfIdOrTrash(const TUndoDataList* list, int32_t id);

// A task about one item of a list, named by its Id.
class TItemTask : public TTask {
public:
  TItemTask(TUndoDataList* list, int32_t id) : FList(list), FId(id) {}
  int32_t Id() const { return FId; }

protected:
  TUndoDataList* FList;
  int32_t FId;
};

class TTaskAdd : public TItemTask {
public:
  using TItemTask::TItemTask;
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;
};

class TTaskDel : public TItemTask {
public:
  using TItemTask::TItemTask;
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;
};

// An edit of one item: the item as it was before and after. Consecutive edits of one item
// merge into one task by updating the after copy.
class TTaskEdit : public TItemTask {
public:
  TTaskEdit(TUndoDataList* list, int32_t id, const TDataItem* before, const TDataItem* after);
  ~TTaskEdit() override;
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;
  void SetAfter(const TDataItem* after) { FAfter->Assign(after); }
  const TDataItem* Before() const { return FBefore; }
  const TDataItem* After() const { return FAfter; }

private:
  TDataItem* FBefore;
  TDataItem* FAfter;
};

class TUndoDataList : public TDataList {
public:
  TUndoDataList();
  ~TUndoDataList() override;

  TUndo& History() { return *FHistory; }
  const TUndo& History() const { return *FHistory; }
  TDataList& Trash() { return *FTrash; }
  const TDataList& Trash() const { return *FTrash; }
  bool RecordUndo = false;

  TDataItem* AddText(const std::string& text) override;
  void Attach(TDataItem* item) override;
  void Detach(TDataItem* item) override;
  // Deletes the visible item at the index into the trash (undoably); nothing when there is none.
  virtual void Delete(int index);
  void ItemChanging(TDataItem* item) override;
  void ItemChanged(TDataItem* item) override;
  void Clear() override;
  void Assign(const TDataList* other) override;
  void AddStrings(const TStrings* lines) override;
  void SetStrings(const TStrings* lines) override;
  void AddList(TDataList* other) override;
  void LoadFromFile(const std::string& name, bool append) override;

  // Moves the item with that Id between the list and the trash, without recording.
  bool MoveToTrash(int32_t id);
  bool RestoreFromTrash(int32_t id);
  // The item with that Id, whether the filter shows it or not, or none. A step of the history
  // must find its item while a tab or a search hides it.
  TDataItem* ItemOfId(int32_t id) const;

protected:
  // Whether a change would be recorded now.
  bool Recording() const { return RecordUndo && !FHistory->Locked(); }
  // Runs f with the history locked, so that nothing it does is recorded.
  template <class F>
  void Unrecorded(F f) {
    TUndoLock lock(*FHistory);
    f();
  }

private:
  std::unique_ptr<TUndo> FHistory;
  std::unique_ptr<TTrashList> FTrash;
  TDataItem* FBefore = nullptr;  // the item as it was when its change began
  std::vector<int32_t>* FAdded = nullptr;  // collects the Ids attached during an AddText
};

}  // namespace kaede
