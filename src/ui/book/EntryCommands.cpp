#include "EntryCommands.h"

#include "AddPersonDialogs.h"
#include "AppHost.h"
#include "PersonFormUnifyDialogs.h"
#include "PersonFrames.h"
#include "PersonParts.h"
#include "SenderPersonDialogs.h"
#include "UiErrors.h"

namespace kaede {

namespace {

// Sets a flag for its lifetime and gives the old value back afterwards.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = FOld; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

TEntryCommands::TEntryCommands(TDataListFrame& listFrame, TPersonEditor& editor, IEntryHost& host, IEntryDialogs& dialogs)
    : FFrame(listFrame), FBook(dynamic_cast<TPersonList&>(listFrame.List())), FEditor(editor), FHost(host), FDialogs(dialogs) {
  FEditor.Book = &FBook;
  FEditor.OnChange = [this] { EntryEdited(); };
  FEditor.OnModifiedDone = [this] { EditCompleted(); };
  FEditor.OnRelationJump = [this](const std::string& name) { RelationJump(name); };
}

TEntryCommands::~TEntryCommands() {
  FEditor.OnChange = nullptr;
  FEditor.OnModifiedDone = nullptr;
  FEditor.OnRelationJump = nullptr;
  FEditor.Book = nullptr;
}

TPerson* TEntryCommands::EditingEntry() const {
  if (FEditingId == 0) return nullptr;
  TDataItem* selected = FFrame.Selected();
  if (selected && selected->Id() == FEditingId) return static_cast<TPerson*>(selected);
  for (int i = 0; i < FBook.AllCount(); ++i)
    if (FBook.AllItems(i)->Id() == FEditingId) return FBook.AllPersons(i);
  return nullptr;
}

void TEntryCommands::Save() {
  if (FBook.InUse()) return;  // the edit was refused already
  ShowErrors([&] { FBook.SaveToFile(std::string()); });
}


// ---- Events of the window ------------------------------------------------------------------

bool TEntryCommands::SelectionChanged() {
  if (FUpdating) return false;
  auto* selected = static_cast<TPerson*>(FFrame.Selected());
  // the pane completes the edit of the entry it had (FEditingId names it until then)
  FEditor.SetPerson(selected);
  FEditingId = selected ? selected->Id() : 0;
  return true;
}

void TEntryCommands::RefreshEditorClassifications() {
  // the names may have new numbers: the working copy's bits follow them
  FEditor.Person().SetClassifyBits(FBook.Classifications());
  FEditor.SetClassifications(&FBook.Classifications());
}

void TEntryCommands::CompleteEdit() { FEditor.SetEdited(false); }

void TEntryCommands::Close() {
  FEditor.SetPerson(nullptr);
  FEditingId = 0;
}

// ---- Events of the editing pane ------------------------------------------------------------

void TEntryCommands::EntryEdited() {
  TPerson* entry = EditingEntry();
  if (!entry) return;
  if (FBook.InUse()) {
    // the book belongs to another program: the pane shows the entry as it is again
    TFlagGuard updating(FUpdating);
    FEditor.SetPerson(entry);
    FBook.RefuseEditInUse();
    return;
  }
  TPerson& p = FEditor.Person();
  bool nameChanged = entry->Name() != p.Name();
  bool yomiChanged = entry->Yomi() != p.Yomi();
  bool classifyChanged = entry->Classify().Lines() != p.Classify().Lines();
  TFlagGuard updating(FUpdating);
  // the date goes with the change itself, so that the write-back is one change of the entry
  p.SetUpdated(Today());
  entry->Assign(&p);
  if (classifyChanged) FHost.ClassificationsChanged();
  if (yomiChanged) FFrame.ResortKeepSelection();
  if (nameChanged) FHost.ListCaptionsChanged();
  FHost.ShowStatus(entry->DatesText());
  FHost.PrintAreaChanged();
  FHost.EntryWritten();
}

void TEntryCommands::EditCompleted() {
  TFlagGuard updating(FUpdating);
  // The entry as the book holds it now (a deleted one waits in the trash): an undo since the
  // edit may have taken the new name back, and relations must not be renamed to a name that
  // no entry has. An entry that is nowhere left with the book it belonged to, when another
  // book took its place, and the relations of the new book are not its business.
  const TDataItem* entry = EditingEntry();
  if (!entry && FEditingId != 0) entry = FBook.Trash().Items(FBook.Trash().IndexOfId(FEditingId));
  if (entry) {
    std::string oldName = FEditor.Unedited().Name();
    std::string newName = static_cast<const TPerson*>(entry)->Name();
    if (oldName != newName) FBook.RenameRelations(oldName, newName);
  }
  Save();
}

void TEntryCommands::RelationJump(const std::string& name) {
  // a relation without a name would only throw the tab away
  if (name.empty()) return;
  FBook.FindMode = pfmName;
  if (FFrame.SelectNextMatch(name)) return;
  FHost.ShowAllTab();
  FBook.FindMode = pfmName;
  FFrame.SelectNextMatch(name);
}

// ---- Actions -------------------------------------------------------------------------------

void TEntryCommands::Add() {
  if (FBook.RefuseEditInUse()) return;
  TAddPerson& dlg = FDialogs.AddPerson();
  if (!dlg.Execute()) return;
  std::string name = dlg.NameText();
  // The edit of the entry left behind is its own step, not part of the addition.
  CompleteEdit();
  TPerson* p;
  {
    // the new entry with its name, reading and classification is one step
    TUndoGroup group(FBook.History(), SJ("追加 [") + name + "]");
    p = FBook.AddPerson(std::string());
    p->SetName(name);
    p->SetYomi(dlg.YomiText());
    int no = FHost.ClassifyTabNo();
    const TStrings& names = FBook.Classifications();
    if (no >= 0 && no < static_cast<int>(names.size())) p->AddClassify(names[static_cast<size_t>(no)]);
  }
  FFrame.SelectIndex(FBook.IndexOfId(p->Id()));
  FEditor.FocusName();
  FEditor.SetEdited(true);
  FHost.CountsChanged();
}

void TEntryCommands::Delete() {
  if (FBook.RefuseEditInUse()) return;
  int at = FFrame.SelectedIndex();
  if (at < 0) return;
  // the edit of the entry is completed (and its relation rename recorded) before it goes
  CompleteEdit();
  FBook.Delete(at);
  FEditor.SetEdited(true);
  FHost.CountsChanged();
  FHost.ClassificationsChanged();
  FFrame.SelectIndex(at);
}

void TEntryCommands::AddClassify() {
  if (FBook.RefuseEditInUse()) return;
  std::string name;
  if (!FHost.InputText(SJ("分類の追加"), SJ("新しい分類名を入力してください。"), name) || name.empty()) return;
  FBook.AddClassify(FFrame.SelectedIndex(), name);
  FEditor.SetEdited(true);
}

void TEntryCommands::DeleteClassify(const std::string& name) {
  if (FBook.RefuseEditInUse()) return;
  if (!AppHost().Confirm("\"" + name + "\"" + SJ("という分類を削除します。よろしいですか？"))) return;
  FBook.DeleteClassify(name);
  FEditor.SetEdited(true);
}

void TEntryCommands::EditClassify(const std::string& name) {
  if (FBook.RefuseEditInUse()) return;
  std::string newName = name;
  // an empty name would leave the entries with a classification nobody can see or choose
  if (!FHost.InputText(SJ("分類名の修正"), SJ("分類名を入力してください。"), newName) || newName.empty()) return;
  FBook.RenameClassify(name, newName);
  FEditor.SetEdited(true);
}

void TEntryCommands::FormatUnify() {
  if (FBook.RefuseEditInUse()) return;
  TPersonFormUnify& dlg = FDialogs.FormatUnify();
  if (!dlg.Execute()) return;
  // With no switch ticked the user asked for no change: the book-wide rewrite, which cannot
  // be undone, does not run with all switches instead.
  if (dlg.Options() == 0) return;
  CompleteEdit();
  {
    // One step of the history: each entry the unification changes is recorded as an edit.
    TUndoGroup group(FBook.History(), SJ("書式の最適化"));
    TPersonCopy unified = NewPersonCopy();
    for (int i = 0; i < FBook.AllCount(); ++i) {
      TPerson* p = FBook.AllPersons(i);
      unified->Assign(p);
      unified->UnifyFormat(dlg.Options());
      if (unified->GetText() != p->GetText()) p->Assign(unified.get());
    }
  }
  FFrame.ResortKeepSelection();
  // the unified entries reach the file with the next completed edit, as other commands do
  FEditor.SetEdited(true);
  FHost.ListCaptionsChanged();
  FHost.ClassificationsChanged();
}

void TEntryCommands::EditSenders() {
  TSenderEditor& dlg = FDialogs.Senders();
  TPersonList& senders = FHost.SenderList();
  dlg.SetSenders(&senders);
  int index = FHost.PostSenderIndex();
  if (!dlg.Execute(index)) return;
  senders.Assign(&dlg.Senders());
  FHost.SetPostSenderNo(index + 1);
}

std::string TEntryCommands::MakeSenderCaption() const {
  const TDataItem* p = FFrame.Selected();
  return SJ("“") + (p ? p->GetCaption() : std::string()) + SJ("”を差出人とする(&A)");
}

void TEntryCommands::MakeSender() {
  const auto* p = static_cast<const TPerson*>(FFrame.Selected());
  if (!p) return;
  TPersonList& senders = FHost.SenderList();
  senders.AddItem(p);
  int count = senders.Count();
  FHost.SetPostSenderNo(count);
  AppHost().ShowInfo(SJ("“") + p->Name() + SJ("”を差出人") + std::to_string(count) + SJ("としました。"));
}

void TEntryCommands::Undo() {
  if (FBook.RefuseEditInUse()) return;
  if (!FBook.History().CanUndo()) return;
  HistoryStep(true);
}

void TEntryCommands::Redo() {
  if (FBook.RefuseEditInUse()) return;
  if (!FBook.History().CanRedo()) return;
  HistoryStep(false);
}

void TEntryCommands::HistoryStep(bool undo) {
  {
    // The pane does not follow the selection inside the step: completing its edit there would
    // rename relations while the history is locked, with no step to take the rename back.
    TFlagGuard updating(FUpdating);
    if (undo) FBook.History().UndoStep();
    else FBook.History().RedoStep();
  }
  auto* selected = static_cast<TPerson*>(FFrame.Selected());
  if (selected && selected->Id() == FEditingId) {
    // the same entry: the pane shows it as the step left it, and an edit still pending stays
    // pending (its rename of relations follows when the pane leaves the entry, as it would
    // have without the step)
    FEditor.Reload(selected);
  } else {
    SelectionChanged();
  }
  AfterHistoryStep();
}

void TEntryCommands::AfterHistoryStep() {
  // the book changed outside the pane: the next completed edit saves it
  FEditor.SetEdited(true);
  FHost.CountsChanged();
  FHost.ClassificationsChanged();
}

}  // namespace kaede
