#pragma once
// The undo steps of the text editor: caret jumps, edits and reformatting, recorded on the
// document's own history. Steps remember logical positions (byte, line), so that they still
// find their text after the display lines were broken again at another width.
#include <string>

#include "EditLists.h"
#include "Undos.h"

namespace kaede {

class TEditorCore;

// The history of one document; its host is the editor that shows the document.
class TEditorUndo : public TUndo {
public:
  explicit TEditorUndo(TEditorCore* editor = nullptr) : TUndo(editor), FEditor(editor) {}
  TEditorCore* Editor() const { return FEditor; }
  void SetEditor(TEditorCore* editor) { FEditor = editor; }

private:
  TEditorCore* FEditor;
};

// Caret, selection and scroll position as a step keeps them.
struct TEditorPlace {
  TPoint Caret{1, 0};    // display (column, display line), for the captions
  TPoint Logical{1, 0};  // the caret as (byte, line)
  TPoint Scroll;
  bool HasSelection = false;
  bool Box = false;
  TPoint Anchor, End;  // the selection (display)
  bool operator==(const TEditorPlace&) const = default;
};

// Merge kinds of edits: consecutive steps of the same kind (other than none) become one.
enum { mkNone = 0, mkDeleteForward = 1, mkDeleteBackward = 2, mkTyping = 3 };

// The editor's steps live in a namespace of their own: the data lists' history has a
// TTaskEdit of its own, unrelated to this one.
namespace editor {

// A caret move. Consecutive moves of the same kind merge into one step.
class TTaskJump : public TTask {
public:
  TTaskJump(const TEditorPlace& before, const TEditorPlace& after, int32_t mergeKind)
      : Before(before), After(after), MergeKind(mergeKind) {}
  // "カーソル移動 [line:column] ← [line:column]", the position before first, lines from 1.
  std::string GetUndoCaption() const override;
  std::string GetRedoCaption() const override;
  void Undo() override;
  void Redo() override;

  TEditorPlace Before, After;
  int32_t MergeKind;

private:
  std::string Caption(const char* arrow) const;
};

// One change of the text: what was deleted and what was inserted at one place (or, for a
// box, row by row).
class TTaskEdit : public TTask {
public:
  std::string GetUndoCaption() const override { return Caption(false); }
  std::string GetRedoCaption() const override { return Caption(true); }
  void Undo() override;
  void Redo() override;

  std::string Deleted, Inserted;
  TEditorPlace Before, After;
  TPoint Position{1, 1};  // logical (byte, line) where the edit starts
  bool Box = false;
  // A box edit: per row, the logical range [Start, End) the row's piece took (insert) or gave
  // up (delete), in the order of the rows.
  T2Carets Rows;
  int32_t LinesBefore = 0;  // a box insert may add lines at the end of the text
  int32_t MergeKind = mkNone;

private:
  std::string Caption(bool redo) const;
};

// A reformat: logical lines broken into one line per display line, or joined into one.
class TTaskRestore : public TTask {
public:
  std::string GetUndoCaption() const override;
  void Undo() override;
  void Redo() override;

  int32_t FirstLine = 0;
  TStrings BeforeLines, AfterLines;  // the lines from FirstLine on, before and after
  TEditorPlace Before, After;
  bool Wrap = true;  // false: a join
};

}  // namespace editor

// The caption text of an edit: cut to 20 bytes, line breaks as \n, in double quotes.
std::string EditCaptionText(const std::string& text);

}  // namespace kaede
