#include "EditorUndos.h"

#include "Cp932.h"
#include "EditorCores.h"
#include "Strs.h"

namespace kaede {

namespace {
TEditorCore* EditorOf(const TTask& task) {
  auto* history = dynamic_cast<TEditorUndo*>(task.History());
  return history ? history->Editor() : nullptr;
}

std::string Position(TPoint caret) {
  return "[" + std::to_string(caret.Y + 1) + ":" + std::to_string(caret.X) + "]";
}
}  // namespace

std::string EditCaptionText(const std::string& text) { return "\"" + EscapeCrLf(CutStr(text, 20, false)) + "\""; }

namespace editor {

// ---- TTaskJump -----------------------------------------------------------------------------

std::string TTaskJump::Caption(const char* arrow) const {
  return SJ("カーソル移動 ") + Position(Before.Caret) + " " + arrow + " " + Position(After.Caret);
}

std::string TTaskJump::GetUndoCaption() const { return Caption(SJ("←").c_str()); }
std::string TTaskJump::GetRedoCaption() const { return Caption(SJ("→").c_str()); }

void TTaskJump::Undo() {
  if (TEditorCore* e = EditorOf(*this)) e->RestorePlace(Before);
}

void TTaskJump::Redo() {
  if (TEditorCore* e = EditorOf(*this)) e->RestorePlace(After);
}

// ---- TTaskEdit -----------------------------------------------------------------------------

namespace {

// The pieces of a box edit, row by row: taken out from the bottom up, or put in from the top
// down (lines added where the box reaches past the last line).
TEditResult TakeBox(TEditList& lines, const T2Carets& rows) {
  TEditResult last;
  for (size_t k = rows.size(); k-- > 0;) last = lines.ReplaceText(rows[k].Start, rows[k].End, std::string());
  return last;
}

TEditResult PutBox(TEditList& lines, const T2Carets& rows, const std::string& text) {
  const TStrings pieces = TextLines(text);
  TEditResult last;
  for (size_t k = 0; k < rows.size(); ++k) {
    while (rows[k].Start.Y >= lines.Count()) lines.Add(std::string());
    last = lines.ReplaceText(rows[k].Start, rows[k].Start, k < pieces.size() ? pieces[k] : std::string());
  }
  return last;
}

}  // namespace

std::string TTaskEdit::Caption(bool redo) const {
  if (Inserted.empty()) return SJ("【文字削除】") + EditCaptionText(Deleted);
  if (Deleted.empty()) return SJ("【文字挿入】") + EditCaptionText(Inserted);
  return SJ("【文字上書き】") + EditCaptionText(Deleted) + " " + (redo ? SJ("→") : SJ("←")) + " " +
         EditCaptionText(Inserted);
}

void TTaskEdit::Undo() {
  TEditorCore* e = EditorOf(*this);
  if (!e) return;
  TEditList& lines = e->Lines();
  TEditResult last;
  if (Box) {
    // what went in leaves from the bottom up, with the lines added for it; what came out goes
    // back from the top down
    if (!Inserted.empty()) {
      last = TakeBox(lines, Rows);
      while (lines.Count() > LinesBefore && lines.Count() > 1 && lines[lines.Count() - 1].empty())
        last = lines.ReplaceText(TPoint{static_cast<int32_t>(lines[lines.Count() - 2].size()) + 1, lines.Count() - 2},
                                 TPoint{1, lines.Count() - 1}, std::string());
    } else {
      last = PutBox(lines, Rows, Deleted);
    }
    last.FirstRow = 0;
    last.LastRow = -1;
  } else {
    last = lines.ReplaceText(Position, TEditList::EndOfText(Position, Inserted), Deleted);
  }
  e->AfterEdit(last);
  e->RestorePlace(Before);
}

void TTaskEdit::Redo() {
  TEditorCore* e = EditorOf(*this);
  if (!e) return;
  TEditList& lines = e->Lines();
  TEditResult last;
  if (Box) {
    last = Inserted.empty() ? TakeBox(lines, Rows) : PutBox(lines, Rows, Inserted);
    last.FirstRow = 0;
    last.LastRow = -1;
  } else {
    last = lines.ReplaceText(Position, TEditList::EndOfText(Position, Deleted), Inserted);
  }
  e->AfterEdit(last);
  e->RestorePlace(After);
}

// ---- TTaskRestore --------------------------------------------------------------------------

std::string TTaskRestore::GetUndoCaption() const { return SJ("整形"); }

namespace {
void PutLines(TEditorCore& e, int32_t first, const TStrings& from, const TStrings& to) {
  TEditList& lines = e.Lines();
  const int32_t last = first + static_cast<int32_t>(from.size()) - 1;
  if (from.empty() || last >= lines.Count()) return;
  TEditResult r = lines.ReplaceText(TPoint{1, first}, TPoint{static_cast<int32_t>(lines[last].size()) + 1, last},
                                    JoinStr(to, "\r\n"));
  r.LastRow = -1;
  e.AfterEdit(r);
}
}  // namespace

void TTaskRestore::Undo() {
  if (TEditorCore* e = EditorOf(*this)) {
    PutLines(*e, FirstLine, AfterLines, BeforeLines);
    e->RestorePlace(Before);
  }
}

void TTaskRestore::Redo() {
  if (TEditorCore* e = EditorOf(*this)) {
    PutLines(*e, FirstLine, BeforeLines, AfterLines);
    e->RestorePlace(After);
  }
}

}  // namespace editor

}  // namespace kaede
