#pragma once
// The editing half of the text editor, without a window: the document, its caret and
// selection, and every command that moves the caret or changes the text, each recorded on the
// document's history. The editor view owns one and tells it what the screen knows (scroll
// position, cells per line, lines per page) through IEditorHost; the clipboard comes in
// through IClipboard, so that tests drive the same code as the keyboard.
#include <functional>
#include <memory>
#include <string>

#include "EditListInfos.h"
#include "EditorUndos.h"

namespace kaede {

// What the editing commands ask of the view that shows them.
class IEditorHost {
public:
  virtual ~IEditorHost() = default;
  virtual TPoint ScrollOffset() const { return TPoint{}; }
  virtual void SetScrollOffset(TPoint /*offset*/) {}
  // Scrolls by whole lines (positive: towards later text) without moving the caret.
  virtual void ScrollLines(int32_t /*lines*/) {}
  // Scrolls by pages (positive: towards later text).
  virtual void ScrollPages(int32_t /*pages*/) {}
  // Brings the caret into view.
  virtual void ShowCaret() {}
  // Cells per line of the current layout (0: lines are not broken by cells).
  virtual int32_t CellsPerLine() const { return 0; }
  // Display lines per page (0: no pages).
  virtual int32_t LinesPerPage() const { return 0; }
  // Whether the status shows pages (the paper is shown, or the style counts lines per page).
  virtual bool PagesInUse() const { return false; }
  virtual int32_t PageCount() const { return 1; }
  // Display lines firstRow..lastRow must be drawn again (lastRow -1: to the end).
  virtual void TextChanged(int32_t /*firstRow*/, int32_t /*lastRow*/) {}
  virtual void CaretMoved() {}
  virtual void ShowError(const std::string& /*message*/) {}
  // The file behind the document cannot be written.
  virtual bool FileReadOnly() const { return false; }
};

// The system clipboard, CP932 on this side. Both calls give false when the clipboard fails.
class IClipboard {
public:
  virtual ~IClipboard() = default;
  virtual bool SetText(const std::string& sjis) = 0;
  // hasText: whether the clipboard holds text at all.
  virtual bool GetText(std::string& sjis, bool& hasText) = 0;
};

// A clipboard of the process alone (tests, and the editor before a window gives it the
// system's).
class TLocalClipboard : public IClipboard {
public:
  bool SetText(const std::string& sjis) override {
    Text = sjis;
    Has = true;
    return !Fail;
  }
  bool GetText(std::string& sjis, bool& hasText) override {
    hasText = Has;
    sjis = Text;
    return !Fail;
  }
  std::string Text;
  bool Has = false;
  bool Fail = false;
};

struct TSelection {
  bool Has = false;
  bool Box = false;
  TPoint Anchor{1, 0}, End{1, 0};  // display positions; End is where the caret is
  bool operator==(const TSelection&) const = default;
};

// Keys as the editor sees them, whatever the toolkit.
enum class TEditorKey { None, Left, Right, Up, Down, Home, End, PageUp, PageDown, Backspace, Delete, Insert, F3,
                        Letter };
struct TKeyState {
  bool Shift = false, Ctrl = false, Alt = false;
};

// The editing commands (what a key does).
enum class TEditorCommand {
  None,
  CharBack, CharForward, RowBack, RowForward,  // along the writing direction / across lines
  WordBack, WordForward, ScrollBack, ScrollForward,
  RowStart, RowEnd, TextStart, TextEnd, PageBack, PageForward,
  DeleteCharBack, DeleteWordBack, DeleteRowBack, DeleteCharForward, DeleteWordForward, DeleteRowForward,
  Cut, Copy, Paste, SelectAll, Undo, Redo, Reformat, Join, FindNext, FindPrevious, MarkLine, ToggleOverwrite,
};

class TEditorCore {
public:
  explicit TEditorCore(IEditorHost* host = nullptr);
  virtual ~TEditorCore();
  TEditorCore(const TEditorCore&) = delete;
  TEditorCore& operator=(const TEditorCore&) = delete;

  void SetHost(IEditorHost* host) { FHost = host ? host : &FNoHost; }
  void SetClipboard(IClipboard* clipboard) { FClipboard = clipboard ? clipboard : &FLocalClipboard; }

  TEditListInfoList& Documents() { return FDocs; }
  TEditListInfo& Document() const { return *FDocs.CurrentInfo(); }
  TEditList& Lines() const { return Document().Lines(); }
  TEditorUndo& History() const;
  const TEditorStyle& Style() const { return Lines().Style(); }
  bool Vertical() const { return Style().Editor().Vertical; }

  // The text as a whole (CP932, lines joined by CR LF); setting it starts afresh: caret at
  // the start, nothing selected, an empty history.
  std::string Text() const { return Lines().GetText(); }
  void SetText(const std::string& text);

  // ---- Caret and selection -------------------------------------------------------------
  TPoint Caret() const { return Document().Caret; }
  const TSelection& Selection() const { return FSel; }
  bool HasSelection() const { return FSel.Has && FSel.Anchor != FSel.End; }
  // The selection ordered (start before end).
  T2Caret SelectionRange() const;
  // Moves the caret (made a valid position first); extend: the selection grows from its
  // anchor (or from the old caret); else it is dropped. Records a jump.
  void MoveTo(TPoint position, bool extend, bool box = false);
  void Select(TPoint anchor, TPoint end, bool box = false);
  void SelectAll();
  void ClearSelection();
  // A position moved onto a place the caret may stand.
  TPoint ValidPosition(TPoint position) const;
  bool Overwrite() const { return FOverwrite; }
  void SetOverwrite(bool value) { FOverwrite = value; }

  // ---- Keys and commands -----------------------------------------------------------------
  TEditorCommand KeyToCommand(TEditorKey key, TKeyState state, char letter = 0) const;
  // Runs a command; extend: Shift held with a movement. True when it was handled.
  bool Execute(TEditorCommand command, bool extend = false);
  // A character from the keyboard: tab, Enter (CR), printable ASCII or a half-width katakana
  // byte; other control characters are ignored.
  void KeyChar(char c);
  // Text typed or committed by the input method: merged with the typing before it when it is
  // one character.
  void TypeText(const std::string& text);

  // ---- Editing ---------------------------------------------------------------------------
  bool ReadOnly() const;
  // Inserts (or in overwrite mode writes over) text at the caret; the selection goes first.
  // merge: mkTyping for single typed characters, mkNone for pasted or multi-line text.
  void InsertAtCaret(const std::string& text, int32_t merge, bool box = false);
  // Deletes the unit (suChar ... suAll) before or after the caret, or the selection.
  void DeleteBackward(int32_t unit);
  void DeleteForward(int32_t unit);
  void DeleteSelection();
  // The selection, or without one the unit at the caret, to the clipboard (0: the
  // selection only). False when nothing was copied.
  bool Copy(int32_t unit = 0);
  void Cut(int32_t unit = 0);
  void Paste();
  void Undo();
  void Redo();
  // The selected logical lines (or the caret's) broken into one logical line per display line
  // at the current cells per line; nothing below 4 cells.
  void Reformat();
  // The selected logical lines joined into one.
  void Join();
  // Selects the next (or previous) occurrence of the find text; false when there is none.
  bool FindNext(bool forward);
  std::string FindText;
  void ToggleMark();
  bool IsMarked(int32_t line) const;
  // The box text last copied: pasting exactly this text inserts it as a box again.
  const std::string& BoxText() const { return FBoxText; }

  // " [page頁 ]line行 column桁", each number padded to the width of its largest value.
  std::string WorkingInfo() const;

  // Messages of clipboard failures.
  static std::string CopyFailedMessage();
  static std::string PasteFailedMessage();

  // The caret and the selection as logical positions, kept over a new layout of the lines
  // (another width, zoom or style) and put back afterwards at the same text.
  struct TLogicalPlace {
    TPoint Caret, Anchor, End;
    TSelection Selection;
  };
  TLogicalPlace SaveLogical() const;
  void RestoreLogical(const TLogicalPlace& place);

  // Called by the tasks of the history.
  void RestorePlace(const TEditorPlace& place);
  TEditorPlace CurrentPlace() const;
  void AfterEdit(const TEditResult& r);

  // Fired after the caret or the selection moved, and after the text changed.
  std::function<void()> OnCaretMove;
  std::function<void()> OnChange;

private:
  friend class editor::TTaskEdit;
  void RecordJump(const TEditorPlace& before);
  void RecordEdit(const std::string& deleted, const std::string& inserted, TPoint position, const TEditorPlace& before,
                  int32_t merge, bool box = false, const T2Carets& rows = T2Carets(), int32_t linesBefore = 0);
  TPoint CharBefore(TPoint p) const;
  TPoint CharAfter(TPoint p) const;
  TPoint WordBefore(TPoint p) const;
  TPoint WordAfter(TPoint p) const;
  TPoint RowStartOf(int32_t row) const;
  TPoint TextEndPosition() const;
  void DeleteRange(TPoint a, TPoint b, int32_t merge);
  void Moved();
  T2Caret SelectedLines() const;

  IEditorHost FNoHost;
  IEditorHost* FHost;
  TLocalClipboard FLocalClipboard;
  IClipboard* FClipboard;
  TEditListInfoList FDocs;
  TSelection FSel;
  bool FOverwrite = false;
  std::string FBoxText;
};

}  // namespace kaede
