#include "EditorCores.h"

#include <algorithm>

#include "Cp932.h"
#include "Strs.h"

namespace kaede {

namespace {
bool Before(TPoint a, TPoint b) { return a.Y < b.Y || (a.Y == b.Y && a.X < b.X); }

int32_t Digits(int64_t n) { return static_cast<int32_t>(std::to_string(std::max<int64_t>(n, 0)).size()); }

// Text as the clipboard compares it: line breaks in one form.
std::string PlainBreaks(const std::string& s) { return ReplaceStrAll(s, "\r\n", "\n"); }
}  // namespace

TEditorCore::TEditorCore(IEditorHost* host) : FHost(host ? host : &FNoHost), FClipboard(&FLocalClipboard) {
  FDocs.AddText(std::string());
  FDocs.SetCurrent(0);
  History().SetEditor(this);
}

TEditorCore::~TEditorCore() = default;

TEditorUndo& TEditorCore::History() const { return Document().History(); }

void TEditorCore::SetText(const std::string& text) {
  Lines().SetText(text);
  History().Clear();
  FSel = TSelection{};
  Document().Caret = TPoint{1, 0};
  Document().Marks.clear();
  FHost->TextChanged(0, -1);
  Moved();
}

// ---- Positions -----------------------------------------------------------------------------

TPoint TEditorCore::ValidPosition(TPoint p) const {
  const TEditList& l = Lines();
  p.Y = std::clamp(p.Y, 0, std::max(0, l.Infos().Count() - 1));
  const TDisplayLine& d = l.Info(p.Y);
  p.X = std::max(p.X, d.Indent + 1);
  const int32_t endColumn = l.RowEndColumn(p.Y);
  if (p.X > endColumn) {
    if (!Style().Editor().FreeCaret) return TPoint{endColumn, p.Y};
    const int32_t cells = FHost->CellsPerLine();
    if (cells > 0) p.X = std::min(p.X, std::max(endColumn, cells + 1));
    return p;
  }
  // onto the start of the character at that column
  TPoint at = l.ToDisplay(l.ToLogical(p));
  if (at.Y == p.Y) p.X = at.X;
  return p;
}

TPoint TEditorCore::RowStartOf(int32_t row) const { return TPoint{Lines().Info(row).Indent + 1, row}; }

TPoint TEditorCore::TextEndPosition() const {
  const TEditList& l = Lines();
  const int32_t last = l.Count() - 1;
  return l.ToDisplay(static_cast<int32_t>(l[last].size()) + 1, last);
}

TPoint TEditorCore::CharAfter(TPoint p) const {
  const TEditList& l = Lines();
  const int32_t columns = l.RowColumns(p.Y);
  if (p.X > columns) {
    if (Style().Editor().FreeCaret) {
      TPoint next = ValidPosition(TPoint{p.X + 1, p.Y});
      if (next != p) return next;
    }
    if (!l.Info(p.Y).LastRow) return RowStartOf(p.Y + 1);
    const int32_t line = l.Info(p.Y).LineIndex;
    return line + 1 < l.Count() ? l.ToDisplay(1, line + 1) : p;
  }
  return l.SelectUnit(suChar, p).End;
}

TPoint TEditorCore::CharBefore(TPoint p) const {
  const TEditList& l = Lines();
  const TDisplayLine& d = l.Info(p.Y);
  if (p.X > l.RowColumns(p.Y) + 1) return TPoint{p.X - 1, p.Y};  // beyond the end: one cell back
  if (p.X <= d.Indent + 1) {
    if (p.Y == 0) return p;
    if (d.Row > 0) return TPoint{l.RowEndColumn(p.Y - 1), p.Y - 1};
    const int32_t line = d.LineIndex - 1;
    return l.ToDisplay(static_cast<int32_t>(l[line].size()) + 1, line);
  }
  for (int32_t column = p.X - 1; column > d.Indent; --column) {
    TPoint at = l.ToDisplay(l.ToLogical(column, p.Y));
    if (at.Y == p.Y && at.X < p.X) return at;
  }
  return RowStartOf(p.Y);
}

TPoint TEditorCore::WordAfter(TPoint p) const {
  const TEditList& l = Lines();
  const TPoint at = l.ToLogical(p);
  const std::string& line = l[at.Y];
  if (at.X > static_cast<int32_t>(line.size())) return CharAfter(p);
  return l.ToDisplay(WordRange(line, at.X, 0).Y, at.Y);
}

TPoint TEditorCore::WordBefore(TPoint p) const {
  const TEditList& l = Lines();
  const TPoint at = l.ToLogical(p);
  if (at.X <= 1 || p.X > l.RowColumns(p.Y) + 1) return CharBefore(p);
  const std::string& line = l[at.Y];
  const int32_t prev = static_cast<int32_t>(ToLeadPos(line, static_cast<size_t>(std::min<int32_t>(at.X - 1, static_cast<int32_t>(line.size())))));
  return l.ToDisplay(WordRange(line, prev, 0).X, at.Y);
}

// ---- Caret, selection and jumps ------------------------------------------------------------

T2Caret TEditorCore::SelectionRange() const {
  if (!FSel.Has) return T2Caret{Caret(), Caret()};
  if (FSel.Box) {
    return T2Caret{TPoint{std::min(FSel.Anchor.X, FSel.End.X), std::min(FSel.Anchor.Y, FSel.End.Y)},
                   TPoint{std::max(FSel.Anchor.X, FSel.End.X), std::max(FSel.Anchor.Y, FSel.End.Y)}};
  }
  return Before(FSel.End, FSel.Anchor) ? T2Caret{FSel.End, FSel.Anchor} : T2Caret{FSel.Anchor, FSel.End};
}

TEditorPlace TEditorCore::CurrentPlace() const {
  TEditorPlace p;
  p.Caret = Caret();
  p.Logical = Lines().ToLogical(p.Caret);
  p.Scroll = FHost->ScrollOffset();
  p.HasSelection = FSel.Has;
  p.Box = FSel.Box;
  p.Anchor = FSel.Anchor;
  p.End = FSel.End;
  return p;
}

void TEditorCore::RestorePlace(const TEditorPlace& place) {
  const TEditList& l = Lines();
  // the display position still names the same text unless the lines were broken anew
  Document().Caret = l.ToLogical(place.Caret) == place.Logical ? ValidPosition(place.Caret)
                                                               : ValidPosition(l.ToDisplay(place.Logical));
  FSel.Has = place.HasSelection;
  FSel.Box = place.Box;
  FSel.Anchor = place.Anchor;
  FSel.End = place.End;
  FHost->SetScrollOffset(place.Scroll);
  Moved();
}

TEditorCore::TLogicalPlace TEditorCore::SaveLogical() const {
  const TEditList& l = Lines();
  return TLogicalPlace{l.ToLogical(Caret()), l.ToLogical(FSel.Anchor), l.ToLogical(FSel.End), FSel};
}

void TEditorCore::RestoreLogical(const TLogicalPlace& place) {
  const TEditList& l = Lines();
  Document().Caret = ValidPosition(l.ToDisplay(place.Caret));
  FSel = place.Selection;
  if (FSel.Has) {
    FSel.Anchor = l.ToDisplay(place.Anchor);
    FSel.End = l.ToDisplay(place.End);
  }
}

void TEditorCore::Moved() {
  FHost->CaretMoved();
  if (OnCaretMove) OnCaretMove();
}

void TEditorCore::RecordJump(const TEditorPlace& before) {
  TEditorUndo& h = History();
  if (h.Locked()) return;
  const TEditorPlace after = CurrentPlace();
  if (after == before) return;
  auto* last = dynamic_cast<editor::TTaskJump*>(h.LastTask());
  if (last && !h.Undone() && last->MergeKind == 1) {
    last->After = after;
    return;
  }
  h.Add(std::make_unique<editor::TTaskJump>(before, after, 1));
}

void TEditorCore::MoveTo(TPoint position, bool extend, bool box) {
  const TEditorPlace before = CurrentPlace();
  const TPoint p = ValidPosition(position);
  if (extend) {
    if (!FSel.Has) {
      FSel.Has = true;
      FSel.Anchor = Caret();
      FSel.Box = box;
    }
    FSel.End = p;
  } else {
    FSel = TSelection{};
  }
  Document().Caret = p;
  RecordJump(before);
  FHost->ShowCaret();
  Moved();
}

void TEditorCore::Select(TPoint anchor, TPoint end, bool box) {
  const TEditorPlace before = CurrentPlace();
  FSel.Has = true;
  FSel.Box = box;
  FSel.Anchor = box ? anchor : ValidPosition(anchor);
  FSel.End = box ? end : ValidPosition(end);
  Document().Caret = ValidPosition(end);
  RecordJump(before);
  FHost->ShowCaret();
  Moved();
}

void TEditorCore::SelectAll() { Select(TPoint{1, 0}, TextEndPosition()); }

void TEditorCore::ClearSelection() {
  if (!FSel.Has) return;
  FSel = TSelection{};
  Moved();
}

// ---- Keys ----------------------------------------------------------------------------------

TEditorCommand TEditorCore::KeyToCommand(TEditorKey key, TKeyState s, char letter) const {
  using C = TEditorCommand;
  const bool v = Vertical();
  switch (key) {
    case TEditorKey::Left:
    case TEditorKey::Right:
    case TEditorKey::Up:
    case TEditorKey::Down: {
      // along the writing direction: characters (words with Ctrl); across it: lines (a
      // scroll by one line with Ctrl). Vertical lines follow from right to left.
      const bool along = v ? (key == TEditorKey::Up || key == TEditorKey::Down)
                           : (key == TEditorKey::Left || key == TEditorKey::Right);
      const bool back = v ? (key == TEditorKey::Up || key == TEditorKey::Right)
                          : (key == TEditorKey::Left || key == TEditorKey::Up);
      if (along) return s.Ctrl ? (back ? C::WordBack : C::WordForward) : (back ? C::CharBack : C::CharForward);
      return s.Ctrl ? (back ? C::ScrollBack : C::ScrollForward) : (back ? C::RowBack : C::RowForward);
    }
    case TEditorKey::Home: return s.Ctrl ? C::TextStart : C::RowStart;
    case TEditorKey::End: return s.Ctrl ? C::TextEnd : C::RowEnd;
    case TEditorKey::PageUp: return C::PageBack;
    case TEditorKey::PageDown: return C::PageForward;
    case TEditorKey::Backspace:
      return s.Ctrl ? C::DeleteWordBack : s.Shift ? C::DeleteRowBack : C::DeleteCharBack;
    case TEditorKey::Delete:
      return s.Ctrl ? C::DeleteWordForward : s.Shift ? C::DeleteRowForward : C::DeleteCharForward;
    case TEditorKey::Insert: return s.Ctrl ? C::MarkLine : s.Shift ? C::None : C::ToggleOverwrite;
    case TEditorKey::F3: return s.Shift ? C::FindPrevious : C::FindNext;
    case TEditorKey::Letter:
      if (!s.Ctrl || s.Alt) return C::None;
      switch (letter) {
        case 'H': return C::DeleteCharBack;
        case 'X': return C::Cut;
        case 'C': return C::Copy;
        case 'V': return C::Paste;
        case 'A': return C::SelectAll;
        case 'Z': return s.Shift ? C::Redo : C::Undo;
        case 'Y': return C::Redo;
        case 'R': return C::Reformat;
        case 'U': return C::Join;
        default: return C::None;
      }
    default: return C::None;
  }
}

bool TEditorCore::Execute(TEditorCommand command, bool extend) {
  using C = TEditorCommand;
  const TPoint caret = Caret();
  const TEditList& l = Lines();
  // a text that cannot change scrolls under the arrow keys
  if (ReadOnly() && command >= C::CharBack && command <= C::RowForward) {
    const bool back = command == C::CharBack || command == C::RowBack;
    const bool along = command == C::CharBack || command == C::CharForward;
    if (along && Style().Editor().PageRoll) FHost->ScrollPages(back ? -1 : 1);
    else FHost->ScrollLines(back ? -1 : 1);
    return true;
  }
  switch (command) {
    case C::CharBack: MoveTo(CharBefore(caret), extend); return true;
    case C::CharForward: MoveTo(CharAfter(caret), extend); return true;
    case C::RowBack:
      if (caret.Y > 0) MoveTo(TPoint{caret.X, caret.Y - 1}, extend);
      return true;
    case C::RowForward:
      if (caret.Y + 1 < l.Infos().Count()) MoveTo(TPoint{caret.X, caret.Y + 1}, extend);
      return true;
    case C::WordBack: MoveTo(WordBefore(caret), extend); return true;
    case C::WordForward: MoveTo(WordAfter(caret), extend); return true;
    case C::ScrollBack: FHost->ScrollLines(-1); return true;
    case C::ScrollForward: FHost->ScrollLines(1); return true;
    case C::RowStart: MoveTo(RowStartOf(caret.Y), extend); return true;
    case C::RowEnd: MoveTo(TPoint{l.RowEndColumn(caret.Y), caret.Y}, extend); return true;
    case C::TextStart: MoveTo(TPoint{1, 0}, extend); return true;
    case C::TextEnd: MoveTo(TextEndPosition(), extend); return true;
    case C::PageBack:
    case C::PageForward: {
      const int32_t dir = command == C::PageBack ? -1 : 1;
      FHost->ScrollPages(dir);
      const int32_t lines = FHost->LinesPerPage();
      if (lines > 0) MoveTo(TPoint{caret.X, std::clamp(caret.Y + dir * lines, 0, l.Infos().Count() - 1)}, extend);
      return true;
    }
    case C::DeleteCharBack: DeleteBackward(suChar); return true;
    case C::DeleteWordBack: DeleteBackward(suWord); return true;
    case C::DeleteRowBack: DeleteBackward(suRow); return true;
    case C::DeleteCharForward: DeleteForward(suChar); return true;
    case C::DeleteWordForward: DeleteForward(suWord); return true;
    case C::DeleteRowForward: DeleteForward(suRow); return true;
    case C::Cut: Cut(); return true;
    case C::Copy: Copy(); return true;
    case C::Paste: Paste(); return true;
    case C::SelectAll: SelectAll(); return true;
    case C::Undo: Undo(); return true;
    case C::Redo: Redo(); return true;
    case C::Reformat: Reformat(); return true;
    case C::Join: Join(); return true;
    case C::FindNext: FindNext(true); return true;
    case C::FindPrevious: FindNext(false); return true;
    case C::MarkLine: ToggleMark(); return true;
    case C::ToggleOverwrite: FOverwrite = !FOverwrite; Moved(); return true;
    case C::None: return false;
  }
  return false;
}

void TEditorCore::KeyChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (c == '\t') {
    if (Style().ViewInfo(TEditorStyle::viTab)->IsEnabled()) InsertAtCaret("\t", mkTyping);
  } else if (c == '\r' || c == '\n') {
    InsertAtCaret("\r\n", mkNone);
  } else if ((u >= 0x20 && u <= 0x7E) || (u >= 0xA1 && u <= 0xDF)) {
    InsertAtCaret(std::string(1, c), mkTyping);
  }
}

void TEditorCore::TypeText(const std::string& text) {
  if (text.empty()) return;
  const bool one = CharLenAt(text, 0) == text.size() && text != "\r" && text != "\n";
  InsertAtCaret(text, one ? mkTyping : mkNone);
}

// ---- Editing -------------------------------------------------------------------------------

bool TEditorCore::ReadOnly() const { return Style().Editor().ReadOnly || FHost->FileReadOnly(); }

void TEditorCore::AfterEdit(const TEditResult& r) {
  FHost->TextChanged(r.FirstRow, r.LastRow);
  if (OnChange) OnChange();
}

void TEditorCore::RecordEdit(const std::string& deleted, const std::string& inserted, TPoint position,
                             const TEditorPlace& before, int32_t merge, bool box, const T2Carets& rows,
                             int32_t linesBefore) {
  TEditorUndo& h = History();
  if (h.Locked() || (deleted.empty() && inserted.empty())) return;
  const TEditorPlace after = CurrentPlace();
  auto* last = dynamic_cast<editor::TTaskEdit*>(h.LastTask());
  if (merge != mkNone && !box && last && !last->Box && !h.Undone() && last->MergeKind == merge) {
    // one step for a run of typing or of deletes at one place
    bool merged = false;
    if (merge == mkDeleteForward && position == last->Position && last->Inserted.empty()) {
      last->Deleted += deleted;
      merged = true;
    } else if (merge == mkDeleteBackward && last->Inserted.empty() &&
               TEditList::EndOfText(position, deleted) == last->Position) {
      last->Deleted = deleted + last->Deleted;
      last->Position = position;
      merged = true;
    } else if (merge == mkTyping && position == TEditList::EndOfText(last->Position, last->Inserted)) {
      last->Inserted += inserted;
      last->Deleted += deleted;
      merged = true;
    }
    if (merged) {
      last->After = after;
      return;
    }
  }
  auto task = std::make_unique<editor::TTaskEdit>();
  task->Deleted = deleted;
  task->Inserted = inserted;
  task->Before = before;
  task->After = after;
  task->Position = position;
  task->Box = box;
  task->Rows = rows;
  task->MergeKind = merge;
  task->LinesBefore = linesBefore;
  h.Add(std::move(task));
}

void TEditorCore::InsertAtCaret(const std::string& text, int32_t merge, bool box) {
  if (ReadOnly() || text.empty()) return;
  if (HasSelection() && FSel.Box) DeleteSelection();
  const TEditorPlace before = CurrentPlace();
  TEditList& l = Lines();
  std::string deleted;
  TPoint position;
  if (HasSelection()) {
    const T2Caret s = SelectionRange();
    deleted = l.GetRangeText(s.Start, s.End, false);
    position = l.ToLogical(s.Start);
    TEditResult r = l.DeleteRange(s.Start, s.End, false);
    Document().Caret = r.Caret;
    AfterEdit(r);
    merge = mkNone;
  }
  FSel = TSelection{};
  const TPoint caret = Caret();
  if (box) {
    const int32_t linesBefore = l.Count();
    TEditResult r = l.InsertText(caret, text, true);
    if (r.Carets.empty()) return;
    Document().Caret = ValidPosition(r.Caret);
    // a box insert over a stream selection is two steps: the delete, then the box
    if (!deleted.empty()) RecordEdit(deleted, std::string(), position, before, mkNone);
    RecordEdit(std::string(), r.Text, r.LogicalCarets.front().Start, deleted.empty() ? before : CurrentPlace(),
               mkNone, true, r.LogicalCarets, linesBefore);
    AfterEdit(r);
    Moved();
    return;
  }
  const TPoint at = l.ToLogical(caret);
  if (deleted.empty()) position = at;
  const std::string& line = l[at.Y];
  const bool lineBreak = text.find_first_of("\r\n") != std::string::npos;
  const bool lineEnd = caret.X > l.RowColumns(caret.Y) && l.Info(caret.Y).LastRow;
  TEditResult r;
  std::string inserted;
  if (FOverwrite && !lineBreak && !lineEnd) {
    // as many cells as the new text has bytes; a double-byte character cut in half leaves a space
    std::string put = text;
    int32_t end = std::min<int32_t>(at.X + static_cast<int32_t>(text.size()), static_cast<int32_t>(line.size()) + 1);
    if (end <= static_cast<int32_t>(line.size()) && IsTrailBytePos(line, static_cast<size_t>(end))) {
      ++end;
      put += ' ';
    }
    deleted += line.substr(static_cast<size_t>(at.X - 1), static_cast<size_t>(end - at.X));
    r = l.ReplaceText(at, TPoint{end, at.Y}, put);
    inserted = put;
  } else {
    // a free caret's padding goes in at the line's end, where the caret's position is taken
    r = l.InsertText(caret, text, false);
    inserted = r.Text;
  }
  Document().Caret = ValidPosition(r.Caret);
  RecordEdit(deleted, inserted, position, before, merge);
  AfterEdit(r);
  FHost->ShowCaret();
  Moved();
}

void TEditorCore::DeleteRange(TPoint a, TPoint b, int32_t merge) {
  if (ReadOnly()) return;
  TEditList& l = Lines();
  if (Before(b, a)) std::swap(a, b);
  const TEditorPlace before = CurrentPlace();
  const TPoint position = l.ToLogical(a);
  TEditResult r = l.DeleteRange(a, b, false);
  if (r.Text.empty()) return;
  FSel = TSelection{};
  Document().Caret = ValidPosition(r.Caret);
  RecordEdit(r.Text, std::string(), position, before, merge);
  AfterEdit(r);
  FHost->ShowCaret();
  Moved();
}

void TEditorCore::DeleteSelection() {
  if (!HasSelection() || ReadOnly()) return;
  const T2Caret s = SelectionRange();
  if (!FSel.Box) {
    DeleteRange(s.Start, s.End, mkNone);
    return;
  }
  const TEditorPlace before = CurrentPlace();
  TEditResult r = Lines().DeleteRange(s.Start, s.End, true);
  FSel = TSelection{};
  if (r.LogicalCarets.empty()) return;
  Document().Caret = ValidPosition(r.Caret);
  RecordEdit(r.Text, std::string(), r.LogicalCarets.front().Start, before, mkNone, true, r.LogicalCarets);
  AfterEdit(r);
  Moved();
}

void TEditorCore::DeleteBackward(int32_t unit) {
  if (ReadOnly()) return;
  if (HasSelection()) {
    DeleteSelection();
    return;
  }
  const TEditList& l = Lines();
  const TPoint caret = Caret();
  if (caret.X > l.RowColumns(caret.Y) + 1) {
    MoveTo(CharBefore(caret), false);  // beyond the end of the line the caret only steps back
    return;
  }
  const TPoint at = l.ToLogical(caret);
  const bool lineStart = at.X <= 1;
  if (lineStart && at.Y == 0) return;
  TPoint from = caret;
  switch (unit) {
    case suChar: from = CharBefore(caret); break;
    case suWord: from = lineStart ? CharBefore(caret) : WordBefore(caret); break;
    case suRow:
      if (lineStart) return;
      from = RowStartOf(caret.Y);
      if (from == caret) from = CharBefore(caret);
      break;
    case suLine:
      if (lineStart) return;
      from = l.ToDisplay(1, at.Y);
      break;
    default: from = l.SelectUnit(unit, caret).Start; break;
  }
  if (from != caret) DeleteRange(from, caret, mkDeleteBackward);
}

void TEditorCore::DeleteForward(int32_t unit) {
  if (ReadOnly()) return;
  if (HasSelection()) {
    DeleteSelection();
    return;
  }
  const TEditList& l = Lines();
  const TPoint caret = Caret();
  if (caret.X > l.RowColumns(caret.Y) + 1 || caret == TextEndPosition()) return;
  const TPoint at = l.ToLogical(caret);
  const bool lineEnd = at.X > static_cast<int32_t>(l[at.Y].size());
  TPoint to = caret;
  switch (unit) {
    case suChar: to = l.SelectUnit(suChar, caret).End; break;
    case suWord: to = lineEnd ? l.SelectUnit(suChar, caret).End : WordAfter(caret); break;
    case suRow: to = TPoint{l.RowColumns(caret.Y) + 1, caret.Y}; break;
    case suLine: to = l.ToDisplay(static_cast<int32_t>(l[at.Y].size()) + 1, at.Y); break;
    default: to = l.SelectUnit(unit, caret).End; break;
  }
  if (to != caret) DeleteRange(caret, to, mkDeleteForward);
}

// ---- Clipboard -----------------------------------------------------------------------------

std::string TEditorCore::CopyFailedMessage() { return SJ("クリップボードバグの発生。作者にお知らせください。3"); }
std::string TEditorCore::PasteFailedMessage() { return SJ("クリップボードバグの発生。作者にお知らせください。4"); }

bool TEditorCore::Copy(int32_t unit) {
  const TEditList& l = Lines();
  std::string text;
  bool box = false;
  if (HasSelection()) {
    const T2Caret s = SelectionRange();
    box = FSel.Box;
    text = l.GetRangeText(s.Start, s.End, box);
  } else if (unit > 0) {
    const T2Caret u = l.SelectUnit(unit, Caret());
    text = l.GetRangeText(u.Start, u.End, false);
  } else {
    return false;
  }
  if (!FClipboard->SetText(text)) {
    FHost->ShowError(CopyFailedMessage());
    return false;
  }
  FBoxText = box ? text : std::string();
  return true;
}

void TEditorCore::Cut(int32_t unit) {
  if (ReadOnly()) return;
  if (HasSelection()) {
    if (Copy(unit)) DeleteSelection();  // a failed copy leaves the text as it is
    return;
  }
  if (unit <= 0) return;
  const T2Caret u = Lines().SelectUnit(unit, Caret());
  const std::string text = Lines().GetRangeText(u.Start, u.End, false);
  if (!FClipboard->SetText(text)) {
    FHost->ShowError(CopyFailedMessage());
    return;
  }
  FBoxText.clear();
  DeleteRange(u.Start, u.End, mkNone);
}

void TEditorCore::Paste() {
  if (ReadOnly()) return;
  std::string text;
  bool has = false;
  if (!FClipboard->GetText(text, has)) {
    FHost->ShowError(PasteFailedMessage());
    return;
  }
  if (!has || text.empty()) return;
  const bool box = !FBoxText.empty() && PlainBreaks(text) == PlainBreaks(FBoxText);
  InsertAtCaret(text, mkNone, box);
}

// ---- History -------------------------------------------------------------------------------

void TEditorCore::Undo() {
  if (ReadOnly()) return;
  History().UndoStep();
}

void TEditorCore::Redo() {
  if (ReadOnly()) return;
  History().RedoStep();
}

// ---- Reformatting, find, marks -------------------------------------------------------------

T2Caret TEditorCore::SelectedLines() const {
  const TEditList& l = Lines();
  const T2Caret s = SelectionRange();
  int32_t first = l.Info(s.Start.Y).LineIndex, last = l.Info(s.End.Y).LineIndex;
  // a selection that ends at the start of a line does not take that line
  if (HasSelection() && !FSel.Box && last > first && l.ToLogical(s.End).X <= 1) --last;
  return T2Caret{TPoint{1, std::max(0, first)}, TPoint{1, std::max(0, last)}};
}

void TEditorCore::Reformat() {
  if (ReadOnly()) return;
  const int32_t cells = FHost->CellsPerLine() > 0 ? FHost->CellsPerLine() : Style().Editor().ColumnCount;
  if (cells < 4) return;
  TEditList& l = Lines();
  const T2Caret lines = SelectedLines();
  const int32_t first = lines.Start.Y, last = lines.End.Y;
  auto task = std::make_unique<editor::TTaskRestore>();
  task->Before = CurrentPlace();
  task->FirstLine = first;
  task->BeforeLines.assign(l.Lines().begin() + first, l.Lines().begin() + last + 1);
  const int32_t firstRow = l.ToDisplay(1, first).Y, lastRow = l.ToDisplay(1, last).Y + l.RowsToLineEnd(l.ToDisplay(1, last).Y);
  TWrapResult w = l.HardWrap(firstRow, lastRow, cells);
  int32_t made = 0;
  for (int32_t c : w.Counts) made += c;
  task->AfterLines.assign(l.Lines().begin() + first, l.Lines().begin() + first + made);
  if (task->AfterLines == task->BeforeLines) return;
  FSel = TSelection{};
  Document().Caret = ValidPosition(l.ToDisplay(1, first));
  task->After = CurrentPlace();
  task->Wrap = true;
  if (!History().Locked()) History().Add(std::move(task));
  TEditResult r;
  r.FirstRow = std::max(0, firstRow - 1);
  r.LastRow = -1;
  AfterEdit(r);
  Moved();
}

void TEditorCore::Join() {
  if (ReadOnly() || !HasSelection()) return;
  TEditList& l = Lines();
  const T2Caret lines = SelectedLines();
  const int32_t first = lines.Start.Y, last = lines.End.Y;
  if (last <= first) return;
  auto task = std::make_unique<editor::TTaskRestore>();
  task->Before = CurrentPlace();
  task->FirstLine = first;
  task->BeforeLines.assign(l.Lines().begin() + first, l.Lines().begin() + last + 1);
  std::string joined;
  for (const std::string& s : task->BeforeLines) joined += s;
  task->AfterLines = TStrings{joined};
  TEditResult r = l.ReplaceText(TPoint{1, first}, TPoint{static_cast<int32_t>(l[last].size()) + 1, last}, joined);
  FSel = TSelection{};
  Document().Caret = ValidPosition(l.ToDisplay(1, first));
  task->After = CurrentPlace();
  task->Wrap = false;
  if (!History().Locked()) History().Add(std::move(task));
  r.LastRow = -1;
  AfterEdit(r);
  Moved();
}

bool TEditorCore::FindNext(bool forward) {
  if (FindText.empty()) return false;
  const TEditList& l = Lines();
  const TPoint from = forward || !HasSelection() ? Caret() : SelectionRange().Start;
  const TPoint found = l.FindNth(FindText, from, 1, forward);
  if (found.Y < 0) return false;
  const TPoint end = l.ToDisplay(TEditList::EndOfText(l.ToLogical(found), FindText));
  Select(found, end);
  return true;
}

bool TEditorCore::IsMarked(int32_t line) const {
  const TPoints& marks = Document().Marks;
  return std::any_of(marks.begin(), marks.end(), [&](const TPoint& p) { return p.Y == line; });
}

void TEditorCore::ToggleMark() {
  const int32_t line = Lines().Info(Caret().Y).LineIndex;
  if (line < 0) return;
  TPoints& marks = Document().Marks;
  auto it = std::find_if(marks.begin(), marks.end(), [&](const TPoint& p) { return p.Y == line; });
  if (it != marks.end()) marks.erase(it);
  else marks.push_back(TPoint{1, line});
  const int32_t row = Lines().ToDisplay(1, line).Y;
  FHost->TextChanged(row, row + Lines().RowsToLineEnd(row));
}

// ---- Status --------------------------------------------------------------------------------

std::string TEditorCore::WorkingInfo() const {
  const TEditList& l = Lines();
  const TPoint caret = Caret();
  std::string s = " ";
  int32_t line = caret.Y + 1, lineDigits = Digits(std::max(99, l.DisplayCount()));
  if (FHost->PagesInUse()) {
    const int32_t perPage = FHost->LinesPerPage();
    const int32_t page = perPage > 0 ? caret.Y / perPage + 1 : 1;
    s += IntToStrPad(page, Digits(std::max(page, FHost->PageCount())), PadSpace) + SJ("頁 ");
    if (perPage > 0) {
      line = caret.Y % perPage + 1;
      lineDigits = Digits(std::max(99, perPage));
    }
  }
  s += IntToStrPad(line, lineDigits, PadSpace) + SJ("行 ");
  const int32_t cells = FHost->CellsPerLine() > 0 ? FHost->CellsPerLine() : l.LongestLine();
  s += IntToStrPad(caret.X, Digits(std::max(cells, caret.X)), PadSpace) + SJ("桁");
  return s;
}

}  // namespace kaede
