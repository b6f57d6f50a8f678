#include "Undos.h"

namespace kaede {

// ---- TTaskGroup ----------------------------------------------------------------------------

std::string TTaskGroup::GetUndoCaption() const {
  if (!FCaption.empty() || FTasks.empty()) return FCaption;
  return FTasks.back()->GetUndoCaption();
}

std::string TTaskGroup::GetRedoCaption() const {
  if (!FCaption.empty() || FTasks.empty()) return FCaption;
  return FTasks.back()->GetRedoCaption();
}

void TTaskGroup::Undo() {
  for (auto it = FTasks.rbegin(); it != FTasks.rend(); ++it) (*it)->Undo();
}

void TTaskGroup::Redo() {
  for (auto& task : FTasks) task->Redo();
}

// ---- TUndo ---------------------------------------------------------------------------------

void TUndo::Add(std::unique_ptr<TTask> task) {
  if (!task || Locked()) return;
  if (FGroup) {
    task->FHistory = this;
    FGroup->FTasks.push_back(std::move(task));
    return;
  }
  Record(std::move(task));
}

void TUndo::Record(std::unique_ptr<TTask> task) {
  // Whatever could have been redone is gone once something new happens.
  size_t keep = static_cast<size_t>(FPosition < 0 ? 0 : FPosition) + (FUndone ? 0 : 1);
  if (keep < FTasks.size()) FTasks.resize(keep);
  task->FHistory = this;
  FTasks.push_back(std::move(task));
  FPosition = static_cast<int32_t>(FTasks.size()) - 1;
  FUndone = false;
}

bool TUndo::CanUndo() const {
  if (FTasks.empty()) return false;
  return !(FPosition <= 0 && FUndone);
}

bool TUndo::CanRedo() const {
  if (FTasks.empty()) return false;
  return !(FPosition >= static_cast<int32_t>(FTasks.size()) - 1 && !FUndone);
}

void TUndo::UndoStep() {
  TUndoLock lock(*this);
  if (!CanUndo()) return;
  if (FUndone) --FPosition;
  // A position left beyond the tasks by Clear cannot be undone (CanUndo is false then, as
  // the history is empty), so the index is in range here.
  FTasks[static_cast<size_t>(FPosition)]->Undo();
  FUndone = true;
}

void TUndo::RedoStep() {
  TUndoLock lock(*this);
  if (!CanRedo()) return;
  if (!FUndone) ++FPosition;
  FTasks[static_cast<size_t>(FPosition)]->Redo();
  FUndone = false;
}

void TUndo::UndoSteps(int count) {
  for (int i = 0; i < count; ++i) UndoStep();
}

void TUndo::RedoSteps(int count) {
  for (int i = 0; i < count; ++i) RedoStep();
}

void TUndo::Clear() { FTasks.clear(); }

TTask* TUndo::LastTask() const {
  if (FGroup) return FGroup->FTasks.empty() ? nullptr : FGroup->FTasks.back().get();
  return FTasks.empty() ? nullptr : FTasks.back().get();
}

TTask* TUndo::CurrentTask() const {
  if (!CanUndo()) return nullptr;
  int32_t p = FUndone ? FPosition - 1 : FPosition;
  if (p < 0 || p >= static_cast<int32_t>(FTasks.size())) return nullptr;
  return FTasks[static_cast<size_t>(p)].get();
}

void TUndo::BeginGroup(const std::string& caption) {
  if (FGroupDepth++ == 0) FGroup = std::make_unique<TTaskGroup>(caption);
}

void TUndo::EndGroup() {
  if (FGroupDepth <= 0) return;
  if (--FGroupDepth > 0) return;
  std::unique_ptr<TTaskGroup> group = std::move(FGroup);
  if (!group->FTasks.empty()) Record(std::move(group));
}

}  // namespace kaede
