#pragma once
// A linear undo/redo history of tasks, shared by the address book and the text editor.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kaede {

class TUndo;

// One undoable step. Tasks never hold references to records; they remember identities and
// find the records again when they run.
class TTask {
public:
  virtual ~TTask() = default;
  virtual std::string GetUndoCaption() const { return std::string(); }
  virtual std::string GetRedoCaption() const { return GetUndoCaption(); }
  virtual void Undo() {}
  virtual void Redo() {}

  TUndo* History() const { return FHistory; }

private:
  friend class TUndo;
  friend class TTaskGroup;
  TUndo* FHistory = nullptr;
};

// Several tasks undone and redone as one step: undo runs them newest first, redo oldest first.
class TTaskGroup : public TTask {
public:
  explicit TTaskGroup(std::string caption) : FCaption(std::move(caption)) {}
  // The group's own caption, or the newest task's when the group was given none.
  std::string GetUndoCaption() const override;
  std::string GetRedoCaption() const override;
  void Undo() override;
  void Redo() override;

  int Count() const { return static_cast<int>(FTasks.size()); }
  TTask* Tasks(int index) const { return FTasks[static_cast<size_t>(index)].get(); }

private:
  friend class TUndo;
  std::string FCaption;
  std::vector<std::unique_ptr<TTask>> FTasks;
};

class TUndo {
public:
  explicit TUndo(void* host = nullptr) : FHost(host) {}
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;
  virtual ~TUndo() = default;

  void* Host() const { return FHost; }

  // Takes ownership of the task and records it after the current point, discarding whatever
  // could have been redone. While locked the task is dropped: callers check Locked() before
  // they build one. While a group is open the task joins the group.
  void Add(std::unique_ptr<TTask> task);
  bool CanUndo() const;
  bool CanRedo() const;
  void UndoStep();
  void RedoStep();
  void UndoSteps(int count);
  void RedoSteps(int count);
  // Frees every task. The position stays; the next task starts the history afresh.
  void Clear();
  // The newest task (whatever the position); inside an open group, the group's newest task.
  TTask* LastTask() const;
  // The task that the next undo would run, or none.
  TTask* CurrentTask() const;
  void Lock() { ++FLockCount; }
  void Unlock() {
    if (FLockCount > 0) --FLockCount;
  }
  bool Locked() const { return FLockCount > 0; }

  // Groups: every task recorded between BeginGroup and the matching EndGroup becomes one step.
  // Groups nest; only the outermost one is recorded, and only when it holds a task.
  void BeginGroup(const std::string& caption = std::string());
  void EndGroup();
  bool InGroup() const { return FGroupDepth > 0; }

  int Count() const { return static_cast<int>(FTasks.size()); }
  int Position() const { return FPosition; }
  bool Undone() const { return FUndone; }
  TTask* Tasks(int index) const { return FTasks[static_cast<size_t>(index)].get(); }

private:
  void Record(std::unique_ptr<TTask> task);

  void* FHost;
  std::vector<std::unique_ptr<TTask>> FTasks;
  int32_t FPosition = 0;
  bool FUndone = false;
  int32_t FLockCount = 0;
  int32_t FGroupDepth = 0;
  std::unique_ptr<TTaskGroup> FGroup;
};

// Holds the history's lock for the lifetime of the guard.
class TUndoLock {
public:
  explicit TUndoLock(TUndo& undo) : FUndo(undo) { FUndo.Lock(); }
  ~TUndoLock() { FUndo.Unlock(); }
  TUndoLock(const TUndoLock&) = delete;
  TUndoLock& operator=(const TUndoLock&) = delete;

private:
  TUndo& FUndo;
};

// Keeps a group open for the lifetime of the guard.
class TUndoGroup {
public:
  TUndoGroup(TUndo& undo, const std::string& caption = std::string()) : FUndo(undo) { FUndo.BeginGroup(caption); }
  ~TUndoGroup() { FUndo.EndGroup(); }
  TUndoGroup(const TUndoGroup&) = delete;
  TUndoGroup& operator=(const TUndoGroup&) = delete;

private:
  TUndo& FUndo;
};

}  // namespace kaede
