#include <gtest/gtest.h>

#include "EditListInfos.h"
#include "EditTestUtil.h"

using namespace kaede;
using namespace kaede::test;
using E = TEditorStyle;

namespace {

// The breaker's options of the default editor style.
TBreakOptions DefaultBreak() {
  TEditList list;
  return list.BreakOptions();
}

TIntegers Fixed(const std::string& line, int32_t cells, const TBreakOptions& o, int32_t indent = 0,
                bool first = false) {
  return BreakLine(line, 0, cells, 0, indent, first, o, TMeasure());
}

std::string Times(const char* utf8, int n) { return DupeStr(S(utf8), n); }

// A store with a style set up by `setup` and a fixed cell count.
struct TStore {
  TEditList List;
  TStyleHolder Style;
  explicit TStore(int32_t columns, const std::function<void(TStyleHolder&)>& setup = {}) {
    if (setup) setup(Style);
    List.AssignStyle(*Style.S);
    List.Columns = columns;
  }
  TEditList* operator->() { return &List; }
};

TIntegers Lengths(const TEditList& list) {
  TIntegers r;
  for (const TDisplayLine& d : list.Infos().Items()) r.push_back(d.Length);
  return r;
}

}  // namespace

// ---- The breaker ---------------------------------------------------------------------------

TEST(BreakLine, AFullStopHangsBeyondTheLastCell) {
  TBreakOptions o = DefaultBreak();
  std::string line = Times("あ", 20) + S("。");
  EXPECT_EQ(Fixed(line, 40, o), (TIntegers{42}));
  o.TailHang = false;
  EXPECT_EQ(Fixed(line, 40, o), (TIntegers{40, 2}));
  // only one character hangs
  EXPECT_EQ(Fixed(Times("あ", 20) + S("。。"), 40, DefaultBreak()), (TIntegers{42, 2}));
}

TEST(BreakLine, ProhibitedCharactersMoveOneCharacter) {
  TBreakOptions o = DefaultBreak();
  o.TailHang = false;
  o.TailAdjust = true;
  // "）" must not start a line: the character before it goes down with it
  EXPECT_EQ(Fixed(S("あいうえ）かき"), 8, o), (TIntegers{6, 8}));
  // "「" must not end a line
  EXPECT_EQ(Fixed(S("あいう「えお"), 8, o), (TIntegers{6, 6}));
  // only one character is examined: a run of prohibited characters is not followed
  EXPECT_EQ(Fixed(S("あいうえ））か"), 8, o), (TIntegers{6, 8}));
  // a piece never gives up its only character
  o.ProhibitBottomStr = TCharSet(S("「"));
  EXPECT_EQ(BreakLine(S("「「「"), 8, 0, 0, 0, false, o, TMeasure{nullptr, 16}), (TIntegers{2, 2, 2}))
      << "one cell per line";
}

TEST(BreakLine, WordsAreProtected) {
  TBreakOptions o = DefaultBreak();
  o.WordWrap = true;
  EXPECT_EQ(Fixed("abc defghij", 8, o), (TIntegers{4, 7}));
  // a word longer than the line is broken inside
  EXPECT_EQ(Fixed("abcdefghijkl", 8, o), (TIntegers{8, 4}));
  // digits are a word of their own kind
  EXPECT_EQ(Fixed("abcde12345", 8, o), (TIntegers{5, 5}));
  o.WordWrap = false;
  EXPECT_EQ(Fixed("abc defghij", 8, o), (TIntegers{8, 3}));
}

TEST(BreakLine, CellCountsAndEdges) {
  TBreakOptions o = DefaultBreak();
  EXPECT_EQ(Fixed("abcdefghijkl", 3, o), (TIntegers{8, 4})) << "a cell count of 3 behaves as 8";
  EXPECT_EQ(Fixed("", 8, o), (TIntegers{0}));
  EXPECT_EQ(Fixed("abcdefghijkl", 0, o), (TIntegers{12})) << "no width and no cells";
  // a double-byte character that does not fit whole goes to the next line
  EXPECT_EQ(Fixed(S("aあいうえ"), 8, o), (TIntegers{7, 2}));
  // the indent takes cells of every piece after the first, and of the first when it applies
  EXPECT_EQ(Fixed("abcdefghijklmnop", 10, o, 4, false), (TIntegers{10, 6}));
  EXPECT_EQ(Fixed("abcdefghijklmnop", 10, o, 4, true), (TIntegers{6, 6, 4}));
  // a CR LF ends a piece and belongs to it
  EXPECT_EQ(Fixed("ab\r\ncdefghijklm", 8, o), (TIntegers{4, 8, 3}));
}

TEST(BreakLine, ExpandedTabsAndSpreadNamesDoNotFitByTheirBytes) {
  TBreakOptions o = DefaultBreak();
  o.Columns.ExpandTabs = true;
  o.Columns.TabLength = 4;
  // eight bytes, but twelve cells
  EXPECT_EQ(Fixed("a\tb\tc\tde", 8, o), (TIntegers{4, 4})) << "each tab runs to its stop";
  o.Columns.NameRestore = true;
  // the opener stands at cell 7, so four characters of speech follow it in 16 cells
  EXPECT_EQ(Fixed(S("太郎「あいうえおか」"), 16, o), (TIntegers{14, 6}));
}

TEST(BreakLine, NotationStaysWithACharacter) {
  TBreakOptions o = DefaultBreak();
  o.Columns.HideRubi = true;
  o.Columns.HideNotes = true;
  // the line after 7 cells of indent fits one cell: the character that does not fit whole
  // still takes the bar before it
  EXPECT_EQ(Fixed(S("｜漢字《かんじ》"), 8, o, 7, true), (TIntegers{4, 12}));
  // ruby stays with its base when the next character hangs or is prohibited
  EXPECT_EQ(Fixed(S("あいう漢《かん》。え"), 8, o), (TIntegers{18, 2}));
  o.TailHang = false;
  o.TailAdjust = true;
  EXPECT_EQ(Fixed(S("あいう漢《かん》）え"), 8, o), (TIntegers{6, 14}));
  // a piece keeps its one visible character although the next one must not start a line
  EXPECT_EQ(Fixed(S("［＃注記］1)abc"), 8, o, 7, true), (TIntegers{11, 1, 1, 1, 1}));
}

TEST(BreakLine, MeasuredLinesForTextBoxes) {
  TBreakOptions o;
  o.ProportionalFont = true;
  o.HangStr = TCharSet(S("、。"));
  TFixedMetrics metrics;
  TMeasure m{&metrics, 16, false};
  // ten full-width characters of 16 pixels fill 160 pixels
  EXPECT_EQ(BreakLine(Times("あ", 25), 160, 0, 0, 0, false, o, m), (TIntegers{20, 20, 10}));
  EXPECT_EQ(BreakLine(Times("あ", 10) + S("。") + Times("あ", 5), 160, 0, 0, 0, false, o, m), (TIntegers{22, 10}));
  // a hanging indent takes the width of the first character from the later lines
  EXPECT_EQ(BreakLine(Times("あ", 25), 160, 0, 0, 2, false, o, m), (TIntegers{20, 18, 12}));
  // letter spacing counts between characters
  EXPECT_EQ(BreakLine(Times("あ", 10), 160, 0, 2, 0, false, o, m), (TIntegers{16, 4}));
  // a line that fits stays whole; CR LF ends a piece
  EXPECT_EQ(BreakLine(S("短い"), 160, 0, 0, 0, false, o, m), (TIntegers{4}));
  EXPECT_EQ(BreakLine(S("一行\r\n二行"), 160, 0, 0, 0, false, o, m), (TIntegers{6, 4}));
  // notation that the options hide takes no room
  o.Columns.HideRubi = true;
  EXPECT_EQ(BreakLine(Times("あ", 8) + S("漢《かん》あ"), 160, 0, 0, 0, false, o, m), (TIntegers{28}));
  EXPECT_EQ(BreakLine(Times("あ", 9) + S("漢《かん》あ"), 160, 0, 0, 0, false, o, m), (TIntegers{28, 2}));
}

TEST(BreakLine, AFontHeightOfZeroMeasuresAsOne) {
  TBreakOptions o = DefaultBreak();
  // no surface: cells of half a pixel
  TIntegers pieces = BreakLine(std::string(500, 'a'), 100, 0, 0, 0, false, o, TMeasure{nullptr, 0});
  EXPECT_EQ(pieces, (TIntegers{197, 197, 106}));
  o.ProportionalFont = true;
  TFixedMetrics metrics;
  pieces = BreakLine(std::string(500, 'a') + S("あいう"), 10, 0, 0, 0, false, o, TMeasure{&metrics, 0});
  EXPECT_EQ(pieces.size(), 1u) << "single-byte characters of width 0 all fit";
  pieces = BreakLine(S("あいう"), 2, 0, 0, 0, false, o, TMeasure{&metrics, 0});
  EXPECT_EQ(pieces, (TIntegers{4, 2}));
}

// ---- Text and records ----------------------------------------------------------------------

TEST(EditList, NewAndSetText) {
  TEditList list;
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Infos().Count(), 1);
  EXPECT_EQ(list.Info(0).Length, 0);
  EXPECT_FALSE(list.Modified());
  list.SetText("a\r\n");
  EXPECT_EQ(list.Lines(), (TStrings{"a", ""}));
  EXPECT_EQ(list.GetText(), "a\r\n");
  EXPECT_FALSE(list.Modified());
  // every line break ends a line, so that no line holds one
  list.SetText("x\ny\rz\r\n");
  EXPECT_EQ(list.Lines(), (TStrings{"x", "y", "z", ""}));
  list.SetText("");
  EXPECT_EQ(list.Lines(), (TStrings{""}));
  EXPECT_EQ(list.Info(7).LineIndex, -1) << "outside the table: the empty record";
}

TEST(EditList, StringOperationsKeepTheTableCurrent) {
  TStore s(8);
  int changes = 0;
  s->OnModifiedChange = [&] { ++changes; };
  s->SetText("abcdefghij\r\nxy");
  EXPECT_EQ(Lengths(s.List), (TIntegers{8, 2, 2}));
  s->Insert(1, "0123456789012345678");
  EXPECT_EQ(Lengths(s.List), (TIntegers{8, 2, 8, 8, 3, 2}));
  EXPECT_EQ(s->Info(5).LineIndex, 2);
  s->Put(0, "ab");
  EXPECT_EQ(Lengths(s.List), (TIntegers{2, 8, 8, 3, 2}));
  s->Delete(1);
  EXPECT_EQ(Lengths(s.List), (TIntegers{2, 2}));
  EXPECT_EQ(s->Info(1).LineIndex, 1);
  s->Delete(0);
  s->Delete(0);
  EXPECT_EQ(s->Lines(), (TStrings{""})) << "the store keeps one line";
  ExpectConsistent(s.List);
  EXPECT_TRUE(s->Modified());
  EXPECT_EQ(changes, 1);
  s->Clear();
  EXPECT_FALSE(s->Modified());
}

TEST(EditList, APositionAfterAWrappedPieceStartsTheNextRow) {
  TStore s(8);
  s->SetText("abcdefghijkl");
  EXPECT_EQ(s->ToDisplay(9, 0), (TPoint{1, 1}));
  EXPECT_EQ(s->ToLogical(1, 1), (TPoint{9, 0}));
  EXPECT_EQ(s->ToDisplay(8, 0), (TPoint{8, 0}));
  EXPECT_EQ(s->ToDisplay(1, 5), (TPoint{1, -1})) << "no such line";
  EXPECT_EQ(s->ToLogical(3, 99), (TPoint{9, 0})) << "beyond the table: the start of the last row";
  EXPECT_EQ(s->RowColumns(0), 8);
  EXPECT_EQ(s->RowEndColumn(0), 8);
  EXPECT_EQ(s->RowEndColumn(1), 5);
  EXPECT_TRUE(s->IsLineEnd(5, 1));
  EXPECT_EQ(s->RowsToLineEnd(0), 1);
  s->SetText(S("あいうえおか"));
  EXPECT_EQ(s->RowEndColumn(0), 7) << "on the lead byte of the last character";
}

TEST(EditList, LongLinesKeepTheirPositions) {
  // a pasted line far longer than 65,535 bytes
  TStore s(40);
  std::string line;
  for (int i = 0; i < 5000; ++i) line += S("日本語の文章、") + "abcde ";
  s->SetText(line);
  ExpectConsistent(s.List);
  const TDisplayLine& last = s->Info(s->Infos().Count() - 1);
  EXPECT_GT(last.Start, 65535);
  EXPECT_GT(last.Row, 2000);
  int32_t b = static_cast<int32_t>(line.size()) - 7;
  b = static_cast<int32_t>(ToLeadPos(line, static_cast<size_t>(b)));
  EXPECT_EQ(s->ToLogical(s->ToDisplay(b, 0)), (TPoint{b, 0}));
  EXPECT_EQ(s->GetRangeText(s->ToDisplay(b, 0), s->ToDisplay(static_cast<int32_t>(line.size()) + 1, 0), false),
            line.substr(static_cast<size_t>(b - 1)));
}

TEST(EditList, HangingIndentsOfItemisedLines) {
  TStore s(20);
  s->SetText(S("・　箇条書きの項目がここから長く続いていきます"));
  ASSERT_GE(s->Infos().Count(), 3);
  EXPECT_EQ(s->Info(0).Indent, 0);
  EXPECT_EQ(s->Info(0).Length, 20);
  EXPECT_EQ(s->Info(1).Indent, 4);
  EXPECT_EQ(s->Info(1).Length, 16);
  EXPECT_EQ(s->RowColumns(1), 20);
  EXPECT_EQ(s->DisplayText(1).substr(0, 4), "    ");
  EXPECT_EQ(s->ToDisplay(21, 0), (TPoint{5, 1}));
  EXPECT_EQ(s->ToLogical(2, 1), (TPoint{21, 0})) << "a column in the indent is the row's start";

  TStore numbered(12, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::ItemizedStatement, true); });
  numbered->SetText("12. abcdefghijklmnopq");
  EXPECT_EQ(Lengths(numbered.List), (TIntegers{12, 9}));
  EXPECT_EQ(numbered->Info(1).Indent, 3);

  // a stage direction of a screenplay is indented from its first row
  TStore play(12, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::ViewIndent, 2); });
  play->SetText(S("太郎が歩く。") + "\r\n" + S("○公園の広場") + "\r\n" + S("太郎「はい」"));
  EXPECT_EQ(play->Info(0).Indent, 4);
  EXPECT_EQ(play->Info(play->ToDisplay(1, 1).Y).Indent, 0);
  EXPECT_EQ(play->Info(play->ToDisplay(1, 2).Y).Indent, 0);
}

TEST(EditList, DisplayText) {
  TStore s(40, [](TStyleHolder& st) {
    st->SetEditor(&TEditorValues::SerifuNameRestore, true);
    st.Enable(E::viRubi, true);
  });
  s->SetText(S("太郎「漢字《かんじ》です」") + "\r\n" + S("a\tb"));
  EXPECT_SJ_EQ("太  郎「漢字です」", s->DisplayText(0));
  EXPECT_EQ(s->DisplayText(1), "a\t\t\tb") << "a tab as tab characters up to its stop";
  EXPECT_EQ(s->ToDisplay(5, 0), (TPoint{7, 0}));
  EXPECT_EQ(s->ToDisplay(19, 0), (TPoint{13, 0})) << "after the ruby";
  EXPECT_EQ(s->RowIndexToColumn(0, 7), 9) << "漢, where the ruby's base starts";
  for (int32_t row = 0; row < 2; ++row)
    EXPECT_EQ(static_cast<int32_t>(s->DisplayText(row).size()), s->RowColumns(row)) << "one byte per cell";

  // a wrapped line that is not a speech line keeps its name where it is
  TStore wrapped(12, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::SerifuNameRestore, true); });
  wrapped->SetText(S("「こんにちは、いい天気」と言った"));
  EXPECT_EQ(wrapped->ToDisplay(1, 0), (TPoint{1, 0}));
  EXPECT_SJ_EQ("「こんにちは、", wrapped->DisplayText(0));

  // scene headings drawn in boxes lose their mark on the first row only
  TStore boxed(8, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::GapLineStyle, 2); });
  boxed->SetText(S("○公園の○広場"));
  EXPECT_SJ_EQ("公園の○", boxed->DisplayText(0));
  EXPECT_SJ_EQ("  広場", boxed->DisplayText(1)) << "the bullet indent of ○ stays";
}

TEST(EditList, AStyleChangeAsksForALayoutOnlyWhenBreakingChanges) {
  TEditList list;
  TStyleHolder st;
  list.AssignStyle(*st.S);
  EXPECT_FALSE(list.NeedsLayout());
  st->SetEditor(&TEditorValues::LineSpace, 3.0);
  st.Enable(E::viCaretLine, false);
  list.AssignStyle(*st.S);
  EXPECT_FALSE(list.NeedsLayout());
  st->SetEditor(&TEditorValues::TailHang, false);
  list.AssignStyle(*st.S);
  EXPECT_TRUE(list.NeedsLayout());
  list.Relayout();
  EXPECT_FALSE(list.NeedsLayout());
  st.Enable(E::viRubi, true);
  list.AssignStyle(*st.S);
  EXPECT_TRUE(list.NeedsLayout());
  list.Relayout();
  st->SetEditor(&TEditorValues::ProportionalFont, true);
  list.AssignStyle(*st.S);
  list.Relayout();
  list.AssignStyle(*st.S);
  EXPECT_TRUE(list.NeedsLayout()) << "measured lines are always laid out again";
}

TEST(EditList, HeadingNumbers) {
  TStore s(40, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::LineInfoStyle, 4); });
  int headingChanges = 0;
  s->OnHeadingChange = [&] { ++headingChanges; };
  s->SetText(S("□はじめに") + "\r\n" + S("本文") + "\r\n" + S("■次に"));
  EXPECT_EQ(s->Info(0).HeadingNo, 1);
  EXPECT_EQ(s->Info(1).HeadingNo, 0);
  EXPECT_EQ(s->Info(2).HeadingNo, 2);
  EXPECT_EQ(s->LineInfoDigits(), 1);
  s->InsertText(TPoint{1, 1}, S("◎"), false);
  EXPECT_EQ(s->Info(1).HeadingNo, 2);
  EXPECT_EQ(s->Info(2).HeadingNo, 3);
  EXPECT_EQ(s->SegmentLine(2).front().HeadingNo, 3);
  EXPECT_EQ(s->SegmentLine(0).front().HeadingNo, 1);
  EXPECT_TRUE(s->SegmentLine(3).empty());
  EXPECT_GE(headingChanges, 1);
  // switching the numbering off and on needs no full layout
  TStyleHolder off;
  off->SetEditor(&TEditorValues::LineInfoStyle, 0);
  s->AssignStyle(*off.S);
  EXPECT_EQ(s->Info(2).HeadingNo, 0);
  s->AssignStyle(*s.Style.S);
  EXPECT_EQ(s->Info(2).HeadingNo, 3);
}

TEST(EditList, LineInfoDigits) {
  TStore s(40, [](TStyleHolder& st) {
    st->SetEditor(&TEditorValues::LineInfoStyle, 2);
    st->SetEditor(&TEditorValues::LineCountInPage, 20);
  });
  s->SetText(DupeStr("x\r\n", 999));
  EXPECT_EQ(s->LineInfoDigits(), 2) << "1000 lines of 20: page 50";
  s.Style->SetEditor(&TEditorValues::LineCountInPage, 5);
  s->AssignStyle(*s.Style.S);
  EXPECT_EQ(s->LineInfoDigits(), 4) << "200 pages, and one more for fewer than ten lines";
}

// ---- Layout progress -----------------------------------------------------------------------

TEST(EditList, ACancelledLayoutLeavesNoRecordPastTheText) {
  TStore s(8);
  s->ProgressStep = 100;
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::string(30, 'a') + "\r\n";
  s->SetText(text);
  ASSERT_EQ(s->Infos().Count(), 300 * 4 + 1);
  // wider lines: fewer records; the clock makes the layout look long, and the user cancels
  int64_t now = 0;
  s->Clock = [&] { return now += 100000; };
  std::vector<TLayoutProgress> kinds;
  s->OnProgress = [&](TLayoutProgress kind, int32_t, bool& cancel) {
    kinds.push_back(kind);
    if (kind == TLayoutProgress::LongLayout) cancel = true;
  };
  s->Columns = 40;
  s->Relayout();
  EXPECT_EQ(kinds, (std::vector<TLayoutProgress>{TLayoutProgress::Start, TLayoutProgress::LongLayout,
                                                 TLayoutProgress::End}));
  EXPECT_GT(s->EstimatedTime(), 28);
  EXPECT_EQ(s->EstimatedTime() % 10, 0);
  ExpectConsistent(s.List);
  EXPECT_EQ(s->Infos().Count(), 301);
  EXPECT_TRUE(s->NeedsLayout());
  // the next layout finishes the work
  s->OnProgress = nullptr;
  s->Relayout();
  ExpectConsistent(s.List);
  EXPECT_FALSE(s->NeedsLayout());
}

TEST(EditList, LayoutWaitsForTheLock) {
  TStore s(8);
  s->Lock();
  s->SetText("abcdefghijkl\r\nx");
  EXPECT_EQ(Lengths(s.List), (TIntegers{12, 1})) << "unbroken until the layout";
  ExpectConsistent(s.List);
  s->Relayout();
  EXPECT_EQ(s->Infos().Count(), 2);
  s->Unlock();
  s->Relayout();
  EXPECT_EQ(Lengths(s.List), (TIntegers{8, 4, 1}));
}

// ---- Edits ---------------------------------------------------------------------------------

TEST(EditList, InsertAndDeleteStream) {
  TStore s(8);
  s->SetText("abcdefghij\r\nxyz");  // rows: abcdefgh, ij, xyz
  TEditResult r = s->InsertText(TPoint{2, 1}, "12\r\n34", false);
  EXPECT_EQ(s->Lines(), (TStrings{"abcdefghi12", "34j", "xyz"}));
  EXPECT_EQ(r.Text, "12\r\n34");
  EXPECT_EQ(r.Caret, s->ToDisplay(3, 1));
  EXPECT_EQ(r.FirstRow, 0) << "a continuation row: the row before it may change";
  EXPECT_EQ(r.LastRow, s->DisplayCount() - 1) << "a line was split";
  r = s->DeleteRange(s->ToDisplay(2, 0), s->ToDisplay(3, 1), false);
  EXPECT_EQ(r.Text, "bcdefghi12\r\n34");
  EXPECT_EQ(s->Lines(), (TStrings{"aj", "xyz"}));
  EXPECT_EQ(r.Caret, (TPoint{2, 0}));
  // an edit that keeps the row count redraws its line only
  r = s->InsertText(TPoint{1, 1}, "Q", false);
  EXPECT_EQ(s->Lines()[1], "Qxyz");
  EXPECT_EQ(r.FirstRow, 1);
  EXPECT_EQ(r.LastRow, 1);
  ExpectConsistent(s.List);
  // nothing between equal positions, nothing outside the table
  EXPECT_EQ(s->DeleteRange(TPoint{2, 0}, TPoint{2, 0}, false).Text, "");
  EXPECT_EQ(s->InsertText(TPoint{1, 40}, "z", false).Text, "");
}

TEST(EditList, TypingBeyondTheEndPadsWithSpaces) {
  TStore s(40, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::UseZenkaku, true); });
  s->SetText("ab");
  TEditResult r = s->InsertText(TPoint{8, 0}, "x", false);
  EXPECT_SJ_EQ("ab　　 x", s->Lines()[0]);
  EXPECT_SJ_EQ("　　 x", r.Text);
  EXPECT_EQ(r.Caret, (TPoint{9, 0}));
}

TEST(EditList, EnterRepeatsTheIndentAndTheNextItemNumber) {
  TStore s(40, [](TStyleHolder& st) {
    st->SetEditor(&TEditorValues::EditIndent, true);
    st->SetEditor(&TEditorValues::ItemizedStatement, true);
  });
  s->SetText("1. first");
  TEditResult r = s->InsertText(TPoint{9, 0}, "\r\n", false);
  EXPECT_EQ(s->Lines(), (TStrings{"1. first", "2."}));
  EXPECT_EQ(r.Text, "\r\n2.");
  EXPECT_EQ(r.Caret, (TPoint{3, 1}));
  s->SetText("  indented");
  s->InsertText(TPoint{11, 0}, "\r\n", false);
  EXPECT_EQ(s->Lines(), (TStrings{"  indented", "  "}));
  // a break at the start of an item line carries no number forward
  s->SetText("1. item");
  s->InsertText(TPoint{1, 0}, "\r\n", false);
  EXPECT_EQ(s->Lines(), (TStrings{"", "1. item"}));
}

TEST(EditList, BoxTextAndBoxEdits) {
  TStore s(40);
  const std::string text = S("abcdef\r\nあいうえお\r\nxy");
  s->SetText(text);
  // cells 2 to 4: a double-byte character across the left edge is taken, one across the
  // right edge is left
  EXPECT_SJ_EQ("bcd\r\nあい\r\ny", s->GetRangeText(TPoint{2, 0}, TPoint{5, 2}, true));
  TEditResult r = s->DeleteRange(TPoint{5, 2}, TPoint{2, 0}, true);
  EXPECT_SJ_EQ("bcd\r\nあい\r\ny", r.Text);
  EXPECT_EQ(s->GetText(), S("aef\r\nうえお\r\nx"));
  ASSERT_EQ(r.Carets.size(), 3u);
  EXPECT_EQ(r.Carets[1], (T2Caret{TPoint{1, 1}, TPoint{5, 1}}));
  EXPECT_EQ(r.LogicalCarets[1], (T2Caret{TPoint{1, 1}, TPoint{5, 1}}));
  // the rows go back where they came from
  TEditResult back = s->InsertText(TPoint{2, 0}, r.Text, true);
  EXPECT_EQ(s->GetText(), text);
  EXPECT_EQ(back.LogicalCarets.size(), 3u);
  // a box beyond the last line adds lines, and short lines are padded
  s->InsertText(TPoint{4, 2}, "1\r\n2", true);
  EXPECT_EQ(s->GetText(), text + " 1\r\n   2");
  ExpectConsistent(s.List);
}

TEST(EditList, HardWrapAndUnWrap) {
  TStore s(8, [](TStyleHolder& st) { st->SetEditor(&TEditorValues::ViewIndent, 2); });
  const std::string text = S("太郎は公園を歩いていく。") + "\r\n" + S("○広場") + "\r\nend";
  s->SetText(text);
  TWrapResult w = s->HardWrap(0, s->ToDisplay(1, 1).Y, 8);
  EXPECT_EQ(w.FirstLine, 0);
  EXPECT_EQ(w.Counts, (TIntegers{6, 1}));
  EXPECT_EQ(w.Indents, (TIntegers{4, 4}));
  EXPECT_EQ(w.FirstIndents, (TIntegers{4, 0}));
  EXPECT_SJ_EQ("    太郎", s->Lines()[0]);
  EXPECT_SJ_EQ("    は公", s->Lines()[1]);
  EXPECT_EQ(s->Count(), 8);
  s->UnWrap(w);
  EXPECT_EQ(s->GetText(), text);
  ExpectConsistent(s.List);
  EXPECT_TRUE(s->HardWrap(0, 0, 0).Counts.empty());
}

TEST(EditList, FindNth) {
  TStore s(4);
  s->SetText("abab\r\nxxab\r\nAB");
  EXPECT_EQ(s->FindNth("ab", TPoint{1, 0}, 1, true), s->ToDisplay(3, 0));
  EXPECT_EQ(s->FindNth("ab", TPoint{1, 0}, 2, true), s->ToDisplay(3, 1));
  EXPECT_EQ(s->FindNth("ab", TPoint{1, 0}, 3, true), (TPoint{-1, -1}));
  s->IgnoreCase = true;
  EXPECT_EQ(s->FindNth("ab", TPoint{1, 0}, 3, true), s->ToDisplay(1, 2));
  EXPECT_EQ(s->FindNth("ab", s->ToDisplay(1, 2), 1, false), s->ToDisplay(3, 1));
  EXPECT_EQ(s->FindNth("ab", s->ToDisplay(1, 2), 3, false), s->ToDisplay(1, 0));
}

TEST(EditList, SelectUnits) {
  TStore s(40, [](TStyleHolder& st) {
    st.Enable(E::viRubi, true);
    st->SetEditor(&TEditorValues::LineCountInPage, 2);
  });
  s->SetText(S("漢字《かんじ》です abc") + "\r\nxyz\r\nend");
  // a character takes the notation that follows it
  EXPECT_EQ(s->SelectUnit(suChar, TPoint{3, 0}).End, (TPoint{5, 0}));
  EXPECT_EQ(s->ToLogical(5, 0), (TPoint{15, 0}));
  // at the end of a line: to the start of the next
  EXPECT_EQ(s->SelectUnit(suChar, TPoint{13, 0}).End, (TPoint{1, 1}));
  EXPECT_EQ(s->SelectUnit(suWord, TPoint{11, 0}), (T2Caret{TPoint{10, 0}, TPoint{13, 0}}));
  EXPECT_EQ(s->SelectUnit(suWord, TPoint{13, 0}), (T2Caret{TPoint{10, 0}, TPoint{13, 0}})) << "past the end";
  EXPECT_EQ(s->SelectUnit(suLine, TPoint{2, 1}), (T2Caret{TPoint{1, 1}, TPoint{1, 2}}));
  EXPECT_EQ(s->SelectUnit(suLine, TPoint{2, 2}), (T2Caret{TPoint{1, 2}, TPoint{4, 2}}));
  EXPECT_EQ(s->SelectUnit(suPage, TPoint{2, 1}), (T2Caret{TPoint{1, 0}, TPoint{1, 2}}));
  EXPECT_EQ(s->SelectUnit(suPage, TPoint{2, 2}), (T2Caret{TPoint{1, 2}, TPoint{4, 2}}));
  EXPECT_EQ(s->SelectUnit(suAll, TPoint{2, 1}), (T2Caret{TPoint{1, 0}, TPoint{4, 2}}));
  EXPECT_EQ(s->GetRangeText(TPoint{1, 0}, TPoint{5, 0}, false), S("漢字《かんじ》"));
}

// ---- Documents -----------------------------------------------------------------------------

TEST(EditListInfos, NewDocumentsTakeTheViewsStyleAndGeometry) {
  TEditListInfoList docs;
  TStyleHolder st;
  st->SetEditor(&TEditorValues::WordWrap, true);
  docs.AssignStyle(*st.S);
  docs.SetGeometry(nullptr, 16, 0, 8, 0);
  auto* a = static_cast<TEditListInfo*>(docs.AddText(""));
  EXPECT_EQ(a->Caret, (TPoint{1, 0}));
  EXPECT_TRUE(a->Lines().Style().Editor().WordWrap);
  a->Lines().SetText("abc defghij");
  EXPECT_EQ(a->Lines().Infos().Count(), 2);
  EXPECT_EQ(a->Lines().Info(0).Length, 4);
  // a new geometry reaches the documents already there
  docs.SetGeometry(nullptr, 16, 0, 40, 0);
  a->Lines().Relayout();
  EXPECT_EQ(a->Lines().Infos().Count(), 1);

  auto* b = static_cast<TEditListInfo*>(docs.AddText(""));
  std::vector<std::pair<TEditListInfo*, TEditListInfo*>> calls;
  docs.OnCurrentChanging = [&](TEditListInfo* old) { calls.push_back({old, nullptr}); };
  docs.OnCurrentChanged = [&](TEditListInfo* now) { calls.push_back({nullptr, now}); };
  docs.SetCurrent(0);
  docs.SetCurrent(1);
  docs.SetCurrent(1);
  using P = std::pair<TEditListInfo*, TEditListInfo*>;
  EXPECT_EQ(calls, (std::vector<P>{{nullptr, nullptr}, {nullptr, a}, {a, nullptr}, {nullptr, b}}));
  EXPECT_EQ(docs.CurrentInfo(), b);
}

TEST(EditList, EditsMadeWhileTheLayoutReportsProgress) {
  // a progress handler that lets the user type: the table stays whole, and a layout is due
  TStore s(8);
  s->ProgressStep = 10;
  s->SetText(DupeStr(std::string(20, 'a') + "\r\n", 100));
  s->Columns = 12;
  bool typed = false;
  s->OnProgress = [&](TLayoutProgress kind, int32_t, bool&) {
    if (kind == TLayoutProgress::Step && !typed) {
      typed = true;
      s->InsertText(TPoint{1, 0}, "xyz\r\n", false);
    }
  };
  s->Relayout();
  EXPECT_TRUE(typed);
  EXPECT_EQ(s->Lines()[0], "xyz");
  ExpectConsistent(s.List);
  EXPECT_TRUE(s->NeedsLayout());
  s->OnProgress = nullptr;
  s->Relayout();
  EXPECT_EQ(s->Info(1).Length, 12);
  EXPECT_FALSE(s->NeedsLayout());
}
