#include <gtest/gtest.h>

#include <random>

#include "EditTestUtil.h"
#include "EditorCores.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// A view that records what the editing commands ask of it.
struct TFakeHost : IEditorHost {
  TPoint Offset;
  int32_t Cells = 0, PerPage = 0, Pages = 1;
  bool Paged = false, FileRO = false;
  int32_t ScrolledLines = 0, ScrolledPages = 0;
  std::vector<std::string> Errors;
  std::vector<std::pair<int32_t, int32_t>> Changes;
  TPoint ScrollOffset() const override { return Offset; }
  void SetScrollOffset(TPoint p) override { Offset = p; }
  void ScrollLines(int32_t n) override { ScrolledLines += n; }
  void ScrollPages(int32_t n) override { ScrolledPages += n; }
  int32_t CellsPerLine() const override { return Cells; }
  int32_t LinesPerPage() const override { return PerPage; }
  bool PagesInUse() const override { return Paged; }
  int32_t PageCount() const override { return Pages; }
  void TextChanged(int32_t a, int32_t b) override { Changes.emplace_back(a, b); }
  void ShowError(const std::string& m) override { Errors.push_back(m); }
  bool FileReadOnly() const override { return FileRO; }
};

// An editor over a style of the test, broken at a cell count.
struct TEd {
  TStyleHolder St;
  TFakeHost Host;
  TLocalClipboard Clip;
  TEditorCore E{&Host};
  explicit TEd(int32_t columns = 0, std::function<void(TStyleHolder&)> setup = nullptr) {
    if (setup) setup(St);
    E.Documents().AssignStyle(*St.S);
    E.Documents().SetGeometry(nullptr, 16, 0, columns, 0);
    E.SetClipboard(&Clip);
    Host.Cells = columns;
  }
  void Text(const char* utf8) { E.SetText(S(utf8)); }
  std::string Now() const { return SjisToUtf8(E.Text()); }
  std::string UndoCaption() const {
    TTask* t = E.History().CurrentTask();
    return t ? SjisToUtf8(t->GetUndoCaption()) : std::string();
  }
  std::string RedoCaption() const {
    TTask* t = E.History().LastTask();
    return t ? SjisToUtf8(t->GetRedoCaption()) : std::string();
  }
  void Type(const char* utf8) {
    for (const std::string& ch : Chars(S(utf8))) E.TypeText(ch);
  }
  static std::vector<std::string> Chars(const std::string& s) {
    std::vector<std::string> r;
    for (size_t i = 0; i < s.size(); i += CharLenAt(s, i)) r.push_back(s.substr(i, CharLenAt(s, i)));
    return r;
  }
};

}  // namespace

TEST(EditorCore, TypingMergesIntoOneStepAndUndoesAsOne) {
  TEd t;
  t.Text("XY");
  t.E.MoveTo(TPoint{2, 0}, false);
  t.Type("abc");
  EXPECT_EQ(t.Now(), "XabcY");
  EXPECT_EQ(t.E.Caret(), (TPoint{5, 0}));
  EXPECT_EQ(t.UndoCaption(), "【文字挿入】\"abc\"");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "XY");
  EXPECT_EQ(t.E.Caret(), (TPoint{2, 0}));
  t.E.Redo();
  EXPECT_EQ(t.Now(), "XabcY");
  EXPECT_EQ(t.E.Caret(), (TPoint{5, 0}));
  // a caret move between two runs of typing keeps them apart
  t.E.Execute(TEditorCommand::TextStart);
  t.Type("全角");
  EXPECT_EQ(t.Now(), "全角XabcY");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "XabcY");
  // a text of several characters (a paste, a conversion result) is a step of its own
  t.E.TypeText(S("日本"));
  t.E.TypeText(S("語"));
  t.E.Undo();
  EXPECT_EQ(t.Now(), "日本XabcY");
}

TEST(EditorCore, DeletesMergeInTextOrder) {
  TEd t;
  t.Text("あいうえお");
  t.E.MoveTo(TPoint{7, 0}, false);  // after う
  t.E.Execute(TEditorCommand::DeleteCharBack);
  t.E.Execute(TEditorCommand::DeleteCharBack);
  EXPECT_EQ(t.Now(), "あえお");
  EXPECT_EQ(t.UndoCaption(), "【文字削除】\"いう\"");
  t.E.Execute(TEditorCommand::DeleteCharForward);
  t.E.Execute(TEditorCommand::DeleteCharForward);
  EXPECT_EQ(t.Now(), "あ");
  EXPECT_EQ(t.UndoCaption(), "【文字削除】\"えお\"");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "あえお");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "あいうえお");
  EXPECT_EQ(t.E.Caret(), (TPoint{7, 0}));

  // Backspace at the start of a line joins it with the line before; nothing at the start
  t.Text("ab\r\ncd");
  t.E.MoveTo(TPoint{1, 1}, false);
  t.E.Execute(TEditorCommand::DeleteWordBack);  // the word unit acts as the character unit here
  EXPECT_EQ(t.Now(), "abcd");
  EXPECT_EQ(t.UndoCaption(), "【文字削除】\"\\n\"");
  t.E.Execute(TEditorCommand::TextStart);
  t.E.Execute(TEditorCommand::DeleteCharBack);
  EXPECT_EQ(t.Now(), "abcd");
  // Delete at the very end does nothing; Shift+Backspace and Shift+Delete take the rest of the line
  t.E.Execute(TEditorCommand::TextEnd);
  t.E.Execute(TEditorCommand::DeleteCharForward);
  EXPECT_EQ(t.Now(), "abcd");
  t.E.MoveTo(TPoint{3, 0}, false);
  t.E.Execute(TEditorCommand::DeleteRowForward);
  EXPECT_EQ(t.Now(), "ab");
  t.E.Execute(TEditorCommand::DeleteRowBack);
  EXPECT_EQ(t.Now(), "");
}

TEST(EditorCore, WordDeletesAndMoves) {
  TEd t;
  t.Text("漢字かなABC");
  t.E.Execute(TEditorCommand::WordForward);
  EXPECT_EQ(t.E.Caret(), (TPoint{5, 0}));
  t.E.Execute(TEditorCommand::WordForward);
  EXPECT_EQ(t.E.Caret(), (TPoint{9, 0}));
  t.E.Execute(TEditorCommand::DeleteWordBack);
  EXPECT_EQ(t.Now(), "漢字ABC");
  t.E.Execute(TEditorCommand::DeleteWordForward);
  EXPECT_EQ(t.Now(), "漢字");
  t.E.Execute(TEditorCommand::WordBack);
  EXPECT_EQ(t.E.Caret(), (TPoint{1, 0}));
}

TEST(EditorCore, OverwriteReplacesCellsAndFillsAHalfCharacter) {
  TEd t;
  t.Text("あいう");
  t.E.SetOverwrite(true);
  t.E.MoveTo(TPoint{3, 0}, false);
  t.E.TypeText("x");  // one cell over い: the whole character goes, a space fills its half
  EXPECT_EQ(t.Now(), "あx う");
  EXPECT_EQ(t.UndoCaption(), "【文字上書き】\"い\" ← \"x \"");
  EXPECT_EQ(t.RedoCaption(), "【文字上書き】\"い\" → \"x \"");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "あいう");
  // at the end of the line, and for a line break, overwrite inserts
  t.E.Execute(TEditorCommand::TextEnd);
  t.E.TypeText("z");
  EXPECT_EQ(t.Now(), "あいうz");
  t.E.MoveTo(TPoint{1, 0}, false);
  t.E.KeyChar('\r');
  EXPECT_EQ(t.Now(), "\r\nあいうz");
}

TEST(EditorCore, ArrowsFollowTheWritingDirection) {
  TEd h(8);
  h.Text("abcdefghijkl");  // two display lines at 8 cells
  h.E.MoveTo(TPoint{3, 0}, false);
  auto run = [](TEd& t, TEditorKey key, TKeyState s = {}) { t.E.Execute(t.E.KeyToCommand(key, s), s.Shift); };
  run(h, TEditorKey::Right);
  EXPECT_EQ(h.E.Caret(), (TPoint{4, 0}));
  run(h, TEditorKey::Down);
  EXPECT_EQ(h.E.Caret(), (TPoint{4, 1}));

  TEd v(8, [](TStyleHolder& s) { s->SetEditor(&TEditorValues::Vertical, true); });
  v.Text("abcdefghijkl");
  v.E.MoveTo(TPoint{3, 0}, false);
  run(v, TEditorKey::Left);  // lines follow from right to left
  EXPECT_EQ(v.E.Caret(), (TPoint{3, 1}));
  run(v, TEditorKey::Down);
  EXPECT_EQ(v.E.Caret(), (TPoint{4, 1}));
  run(v, TEditorKey::Right);
  EXPECT_EQ(v.E.Caret(), (TPoint{4, 0}));
  run(v, TEditorKey::Up, TKeyState{true, false, false});  // Shift: the selection grows
  EXPECT_EQ(v.E.Caret(), (TPoint{3, 0}));
  EXPECT_TRUE(v.E.HasSelection());
  EXPECT_EQ(v.E.KeyToCommand(TEditorKey::Left, TKeyState{false, true, false}), TEditorCommand::ScrollForward);
  EXPECT_EQ(v.E.KeyToCommand(TEditorKey::Down, TKeyState{false, true, false}), TEditorCommand::WordForward);
  run(v, TEditorKey::Down);  // a move without Shift drops the selection
  EXPECT_FALSE(v.E.HasSelection());

  // Right at the end of a wrapped row goes on in the next row; Left from the start of a row
  // goes back to the last character of the row before
  h.E.MoveTo(TPoint{8, 0}, false);
  run(h, TEditorKey::Right);
  EXPECT_EQ(h.E.Caret(), (TPoint{1, 1}));
  run(h, TEditorKey::Left);
  EXPECT_EQ(h.E.Caret(), (TPoint{8, 0}));
}

TEST(EditorCore, CaretMovesAreOneJumpStep) {
  TEd t;
  t.Text("abcdef\r\nxyz");
  t.E.Execute(TEditorCommand::CharForward);
  t.E.Execute(TEditorCommand::CharForward);
  t.E.Execute(TEditorCommand::RowForward);
  ASSERT_EQ(t.E.History().Count(), 1);
  EXPECT_EQ(t.UndoCaption(), "カーソル移動 [1:1] ← [2:3]");
  EXPECT_EQ(t.RedoCaption(), "カーソル移動 [1:1] → [2:3]");
  t.Host.Offset = TPoint{0, -40};
  t.E.Undo();
  EXPECT_EQ(t.E.Caret(), (TPoint{1, 0}));
  EXPECT_EQ(t.Host.Offset, (TPoint{0, 0}));  // the scroll position comes back too
  t.E.Redo();
  EXPECT_EQ(t.E.Caret(), (TPoint{3, 1}));
}

TEST(EditorCore, ReformatAndJoinAreUndoable) {
  TEd t(8);
  t.Text("abcdefghijkl\r\nxyz");
  t.Host.Cells = 3;
  t.E.Execute(TEditorCommand::Reformat);  // fewer than 4 cells per line: nothing
  EXPECT_EQ(t.Now(), "abcdefghijkl\r\nxyz");
  EXPECT_EQ(t.E.History().Count(), 0);
  t.Host.Cells = 8;
  t.E.Execute(TEditorCommand::Reformat);
  EXPECT_EQ(t.Now(), "abcdefgh\r\nijkl\r\nxyz");
  EXPECT_EQ(t.UndoCaption(), "整形");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcdefghijkl\r\nxyz");
  t.E.Redo();
  EXPECT_EQ(t.Now(), "abcdefgh\r\nijkl\r\nxyz");

  t.E.Select(TPoint{1, 0}, TPoint{2, 2});
  t.E.Execute(TEditorCommand::Join);
  EXPECT_EQ(t.Now(), "abcdefghijklxyz");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcdefgh\r\nijkl\r\nxyz");
  // without a selection there is nothing to join
  t.E.ClearSelection();
  t.E.Execute(TEditorCommand::Join);
  EXPECT_EQ(t.Now(), "abcdefgh\r\nijkl\r\nxyz");
}

TEST(EditorCore, BoxTextPastesAsABoxOtherTextAsAStream) {
  TEd t;
  t.Text("abcd\r\nefgh\r\nijkl");
  t.E.Select(TPoint{2, 0}, TPoint{4, 1}, true);
  t.E.Execute(TEditorCommand::Copy);
  EXPECT_EQ(t.Clip.Text, "bc\r\nfg");
  t.E.MoveTo(TPoint{1, 1}, false);
  t.E.Execute(TEditorCommand::Paste);
  EXPECT_EQ(t.Now(), "abcd\r\nbcefgh\r\nfgijkl");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcd\r\nefgh\r\nijkl");
  t.E.Redo();
  EXPECT_EQ(t.Now(), "abcd\r\nbcefgh\r\nfgijkl");
  t.E.Undo();
  // text copied elsewhere goes in as a stream
  t.Clip.Text = "XY\nZ";
  t.E.MoveTo(TPoint{1, 0}, false);
  t.E.Execute(TEditorCommand::Paste);
  EXPECT_EQ(t.Now(), "XY\r\nZabcd\r\nefgh\r\nijkl");
  t.E.Undo();
  // a box cut, undone row by row
  t.E.Select(TPoint{2, 0}, TPoint{4, 2}, true);
  t.E.Execute(TEditorCommand::Cut);
  EXPECT_EQ(t.Now(), "ad\r\neh\r\nil");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcd\r\nefgh\r\nijkl");
  // a box pasted below the last line adds lines, and its undo takes them away again
  t.Clip.Text = "bc\r\nfg\r\njk";
  t.E.MoveTo(TPoint{1, 2}, false);
  t.E.Execute(TEditorCommand::Paste);
  EXPECT_EQ(t.Now(), "abcd\r\nefgh\r\nbcijkl\r\nfg\r\njk");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcd\r\nefgh\r\nijkl");
}

TEST(EditorCore, ClipboardFailuresLeaveTheTextAlone) {
  TEd t;
  t.Text("abc");
  t.E.Select(TPoint{1, 0}, TPoint{3, 0});
  t.Clip.Fail = true;
  t.E.Execute(TEditorCommand::Cut);
  EXPECT_EQ(t.Now(), "abc");
  t.E.Execute(TEditorCommand::Paste);
  EXPECT_EQ(t.Now(), "abc");
  ASSERT_EQ(t.Host.Errors.size(), 2u);
  EXPECT_EQ(SjisToUtf8(t.Host.Errors[0]), "クリップボードバグの発生。作者にお知らせください。3");
  EXPECT_EQ(SjisToUtf8(t.Host.Errors[1]), "クリップボードバグの発生。作者にお知らせください。4");
  // an empty clipboard pastes nothing, and copying nothing touches nothing
  t.Clip.Fail = false;
  t.Clip.Has = false;
  t.E.ClearSelection();
  t.E.Execute(TEditorCommand::Paste);
  t.E.Execute(TEditorCommand::Copy);
  EXPECT_EQ(t.Now(), "abc");
  EXPECT_FALSE(t.Clip.Has);
}

TEST(EditorCore, ReadOnlyRefusesEveryChangeAndArrowsScroll) {
  TEd t(0, [](TStyleHolder& s) { s->SetEditor(&TEditorValues::ReadOnly, true); });
  t.Text("abc");
  t.E.TypeText("x");
  t.E.KeyChar('y');
  t.E.Execute(TEditorCommand::DeleteCharForward);
  t.Clip.Text = "z";
  t.Clip.Has = true;
  t.E.Execute(TEditorCommand::Paste);
  t.E.SelectAll();
  t.E.Execute(TEditorCommand::Cut);
  EXPECT_EQ(t.Now(), "abc");
  t.E.Execute(TEditorCommand::Copy);  // copying is not a change
  EXPECT_EQ(t.Clip.Text, "abc");
  t.E.Execute(TEditorCommand::RowForward);
  t.E.Execute(TEditorCommand::CharForward);
  EXPECT_EQ(t.Host.ScrolledLines, 2);

  TEd f;
  f.Text("abc");
  f.Host.FileRO = true;  // a file that cannot be written counts as read-only too
  f.E.TypeText("x");
  EXPECT_EQ(f.Now(), "abc");
}

TEST(EditorCore, FreeCaretPadsAndStepsBack) {
  TEd t(20, [](TStyleHolder& s) { s->SetEditor(&TEditorValues::FreeCaret, true); });
  t.Text("ab");
  t.E.MoveTo(TPoint{6, 0}, false);
  EXPECT_EQ(t.E.Caret(), (TPoint{6, 0}));
  t.E.Execute(TEditorCommand::DeleteCharForward);  // beyond the end: nothing to delete
  EXPECT_EQ(t.Now(), "ab");
  t.E.Execute(TEditorCommand::DeleteCharBack);  // beyond the end: one cell back only
  EXPECT_EQ(t.E.Caret(), (TPoint{5, 0}));
  EXPECT_EQ(t.Now(), "ab");
  t.E.TypeText("x");
  EXPECT_EQ(t.Now(), "ab  x");
  t.E.Undo();
  EXPECT_EQ(t.Now(), "ab");
  t.E.Redo();
  EXPECT_EQ(t.Now(), "ab  x");
}

// Steps keep logical positions: after the lines were broken at another width, undo still
// finds its text.
TEST(EditorCore, UndoAfterTheLinesWereBrokenAgain) {
  TEd t(8);
  t.Text("abcdefghijklmnop");
  t.E.MoveTo(TPoint{3, 1}, false);  // before k
  t.Type("XY");
  EXPECT_EQ(t.Now(), "abcdefghijXYklmnop");
  t.E.Documents().SetGeometry(nullptr, 16, 0, 12, 0);
  t.E.Lines().Relayout();
  t.E.Undo();
  EXPECT_EQ(t.Now(), "abcdefghijklmnop");
  EXPECT_EQ(t.E.Lines().ToLogical(t.E.Caret()), (TPoint{11, 0}));
}

TEST(EditorCore, FindNextAndPreviousSelectTheMatch) {
  TEd t;
  t.Text("猫と犬と猫\r\n猫");
  t.E.FindText = S("猫");
  EXPECT_TRUE(t.E.FindNext(true));
  EXPECT_EQ(t.E.SelectionRange(), (T2Caret{TPoint{9, 0}, TPoint{11, 0}}));
  EXPECT_TRUE(t.E.FindNext(true));
  EXPECT_EQ(t.E.SelectionRange(), (T2Caret{TPoint{1, 1}, TPoint{3, 1}}));
  EXPECT_FALSE(t.E.FindNext(true));
  EXPECT_TRUE(t.E.FindNext(false));
  EXPECT_EQ(t.E.SelectionRange(), (T2Caret{TPoint{9, 0}, TPoint{11, 0}}));
  EXPECT_TRUE(t.E.FindNext(false));
  EXPECT_EQ(t.E.SelectionRange(), (T2Caret{TPoint{1, 0}, TPoint{3, 0}}));
}

TEST(EditorCore, WorkingInfoPadsEachNumber) {
  TEd t(40);
  t.Text("abc\r\ndef");
  t.E.MoveTo(TPoint{3, 1}, false);
  EXPECT_EQ(SjisToUtf8(t.E.WorkingInfo()), "  2行  3桁");
  t.Host.Paged = true;
  t.Host.PerPage = 20;
  t.Host.Pages = 12;
  EXPECT_EQ(SjisToUtf8(t.E.WorkingInfo()), "  1頁  2行  3桁");
}

TEST(EditorCore, KeyCharsTakeOnlyPrintableCharacters) {
  TEd t;
  t.Text("");
  t.E.KeyChar('a');
  t.E.KeyChar('\x01');
  t.E.KeyChar('\x7F');
  t.E.KeyChar('\xB1');  // ｱ
  t.E.KeyChar('\t');    // tabs only when the tab mark is enabled (it is by default)
  EXPECT_EQ(t.Now(), "aｱ\t");
  EXPECT_EQ(t.E.History().Count(), 1);
}

TEST(EditorCore, MarkedLines) {
  TEd t;
  t.Text("a\r\nb");
  t.E.MoveTo(TPoint{1, 1}, false);
  t.E.Execute(TEditorCommand::MarkLine);
  EXPECT_TRUE(t.E.IsMarked(1));
  EXPECT_FALSE(t.E.IsMarked(0));
  t.E.Execute(TEditorCommand::MarkLine);
  EXPECT_FALSE(t.E.IsMarked(1));
}

// Any sequence of edits undone step by step gives every earlier text back, and redone gives
// the last one again.
TEST(EditorCore, RandomEditsUndoAndRedoExactly) {
  std::mt19937 rng(14);
  for (int round = 0; round < 40; ++round) {
    TEd t(round % 3 == 0 ? 0 : 10, [&](TStyleHolder& s) {
      s->SetEditor(&TEditorValues::FreeCaret, round % 2 == 0);
      s->SetEditor(&TEditorValues::EditIndent, round % 4 == 1);
    });
    std::string text;
    for (int l = 0; l < 4; ++l) text += (l ? "\r\n" : "") + RandomNotatedText(rng, 6);
    t.E.SetText(text);
    std::vector<std::string> texts{t.E.Text()};
    std::uniform_int_distribution<int> op(0, 9), pos(0, 40);
    for (int step = 0; step < 25; ++step) {
      const int32_t rows = t.E.Lines().Infos().Count();
      t.E.MoveTo(TPoint{1 + pos(rng) % 12, pos(rng) % rows}, false);
      const size_t before = t.E.History().Count();
      switch (op(rng)) {
        case 0: t.E.TypeText(S("字")); break;
        case 1: t.E.KeyChar('x'); break;
        case 2: t.E.KeyChar('\r'); break;
        case 3: t.E.Execute(TEditorCommand::DeleteCharBack); break;
        case 4: t.E.Execute(TEditorCommand::DeleteWordForward); break;
        case 5:
          t.E.Select(t.E.Caret(), TPoint{1 + pos(rng) % 12, pos(rng) % rows}, pos(rng) % 2 == 0);
          t.E.Execute(TEditorCommand::Copy);
          t.E.Execute(TEditorCommand::Cut);
          break;
        case 6: t.E.Execute(TEditorCommand::Paste); break;
        case 7: t.E.SetOverwrite(!t.E.Overwrite()), t.E.TypeText("ab"); break;
        case 8:
          t.E.Select(t.E.Caret(), TPoint{1, pos(rng) % rows});
          t.E.Execute(pos(rng) % 2 ? TEditorCommand::Join : TEditorCommand::Reformat);
          break;
        default: t.E.TypeText(S("かな\r\n")); break;
      }
      ExpectConsistent(t.E.Lines());
      // every step that changed the text left a task; jumps in between are steps too
      if (t.E.Text() != texts.back()) {
        ASSERT_GT(t.E.History().Count(), before) << "round " << round << " step " << step;
        texts.push_back(t.E.Text());
      }
    }
    // undo everything: the texts come back in reverse order
    std::vector<std::string> seen{t.E.Text()};
    while (t.E.History().CanUndo()) {
      t.E.Undo();
      ExpectConsistent(t.E.Lines());
      if (t.E.Text() != seen.back()) seen.push_back(t.E.Text());
    }
    std::reverse(seen.begin(), seen.end());
    ASSERT_EQ(seen, texts) << "round " << round;
    while (t.E.History().CanRedo()) t.E.Redo();
    ASSERT_EQ(t.E.Text(), texts.back()) << "round " << round;
  }
}
