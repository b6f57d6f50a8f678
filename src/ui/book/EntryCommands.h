#pragma once
// The commands of the main window that edit entries — add, delete, classifications, format
// unification, senders — and the wiring between the list frame and the editing pane by which
// every change of the working copy reaches the book as one undo step and a finished edit is
// saved.
//
// The window owns one TEntryCommands, gives it what it needs through IEntryHost and
// IEntryDialogs, and calls it from its actions and events.
#include <string>

#include "DataListFrames.h"
#include "PersonLists.h"

namespace kaede {

class TPersonEditor;
class TAddPerson;
class TPersonFormUnify;
class TSenderEditor;

// What the commands need from the main window.
class IEntryHost {
public:
  virtual ~IEntryHost() = default;
  // A transient message in the status bar (the dates of the entry).
  virtual void ShowStatus(const std::string& text) = 0;
  // The window's classification refresh: rebuild the names, the tabs and the menus, and call
  // TEntryCommands::RefreshEditorClassifications.
  virtual void ClassificationsChanged() = 0;
  // The whole and visible counts in the status bar.
  virtual void CountsChanged() = 0;
  // The list rows show the entries' names again.
  virtual void ListCaptionsChanged() = 0;
  // The postcard view shows the entry again.
  virtual void PrintAreaChanged() = 0;
  // A change of the entry in the pane reached the book (the file is written later).
  virtual void EntryWritten() {}
  // The classification number of the current tab; -1 when it is not a classification tab.
  virtual int ClassifyTabNo() const = 0;
  // Goes to the "全" tab and applies it.
  virtual void ShowAllTab() = 0;
  // The input box; value comes back whatever the answer, true for OK.
  virtual bool InputText(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // The sender list of the settings.
  virtual TPersonList& SenderList() = 0;
  // The sender index of the current postcard style (SenderNo - 1), 0 without a postcard view.
  virtual int PostSenderIndex() const = 0;
  // With a postcard view: its style's sender number becomes no and the view shows that sender.
  virtual void SetPostSenderNo(int no) = 0;
};

// The dialogs the commands run, made on first use and kept.
class IEntryDialogs {
public:
  virtual ~IEntryDialogs() = default;
  virtual TAddPerson& AddPerson() = 0;
  virtual TPersonFormUnify& FormatUnify() = 0;
  virtual TSenderEditor& Senders() = 0;
};

class TEntryCommands {
public:
  // The list frame owns the book; the editor is the editing pane's presenter. Connects the
  // editor's events and gives it the book.
  TEntryCommands(TDataListFrame& listFrame, TPersonEditor& editor, IEntryHost& host, IEntryDialogs& dialogs);
  ~TEntryCommands();
  TEntryCommands(const TEntryCommands&) = delete;
  TEntryCommands& operator=(const TEntryCommands&) = delete;

  TPersonList& Book() { return FBook; }
  // True while an edit is written back: the window ignores selection events then.
  bool Updating() const { return FUpdating; }

  // ---- Events of the window ----
  // The list's selection changed: the pane gets the selected entry. False when ignored
  // (while an edit is written back); the window then skips its own steps too.
  bool SelectionChanged();
  // The last step of the window's classification refresh.
  void RefreshEditorClassifications();
  // Completes a pending edit now: relations are renamed and the book is saved. The window
  // calls it before it puts another book in the list (opening, creating, deleting a book),
  // so that the last edit reaches the file of the book it was made in.
  void CompleteEdit();
  // The window closes: the pane lets go of its entry, which saves a pending edit.
  void Close();

  // ---- Actions ----
  // "追加": the add dialog, then a new entry with that name and reading (and the class of the
  // current classification tab), selected, its name ready for typing. One undo step.
  void Add();
  bool CanDelete() const { return FFrame.Selected() != nullptr; }
  // "削除": deletes the selected entry without asking; the entry at its place is selected.
  void Delete();
  // "分類の追加": asks for a name and gives it to the selected entry.
  void AddClassify();
  // "分類の削除" of a name: after a confirmation, removed from every entry.
  void DeleteClassify(const std::string& name);
  // "分類名の修正" of a name: asks for the new name (an empty one changes nothing).
  void EditClassify(const std::string& name);
  // "書式の最適化": the format dialog, then the unification over the book (nothing when no
  // switch is ticked).
  void FormatUnify();
  // "差出人": the sender dialog over the settings' senders.
  void EditSenders();
  // "差出人にする": visible while an entry is selected; its menu caption.
  bool CanMakeSender() const { return FFrame.Selected() != nullptr; }
  std::string MakeSenderCaption() const;
  void MakeSender();
  // "元に戻す" / "やり直し": one step of the book's history; the book is saved with the next
  // completed edit.
  void Undo();
  void Redo();

  // ---- Events of the editing pane (connected by the constructor) ----
  void EntryEdited();
  void EditCompleted();
  void RelationJump(const std::string& name);

private:
  TPerson* EditingEntry() const;
  void Save();
  void HistoryStep(bool undo);
  void AfterHistoryStep();

  TDataListFrame& FFrame;
  TPersonList& FBook;
  TPersonEditor& FEditor;
  IEntryHost& FHost;
  IEntryDialogs& FDialogs;
  bool FUpdating = false;
  int32_t FEditingId = 0;  // the entry the pane was given (0: none)
};

}  // namespace kaede
