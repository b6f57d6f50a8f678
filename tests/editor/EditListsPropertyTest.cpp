// Properties of the breaker and the store on random Japanese text with notation, and the
// incrementally kept display table against a fresh layout after random edits.
#include <gtest/gtest.h>

#include "EditTestUtil.h"

using namespace kaede;
using namespace kaede::test;
using E = TEditorStyle;

namespace {

bool Coin(std::mt19937& rng) { return std::uniform_int_distribution<int>(0, 1)(rng) == 1; }
int Pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// A style with random breaking switches and notation elements.
void RandomStyle(std::mt19937& rng, TStyleHolder& st) {
  st->SetEditor(&TEditorValues::TailHang, Coin(rng));
  st->SetEditor(&TEditorValues::TailAdjust, Coin(rng));
  st->SetEditor(&TEditorValues::WordWrap, Coin(rng));
  st->SetEditor(&TEditorValues::SerifuNameRestore, Coin(rng));
  st->SetEditor(&TEditorValues::ViewIndent, Pick(rng, 0, 2));
  st->SetEditor(&TEditorValues::ItemizedStatement, Coin(rng));
  st->SetEditor(&TEditorValues::GapLineStyle, Pick(rng, 0, 2));
  st->SetEditor(&TEditorValues::TabLength, Pick(rng, 1, 8));
  st->SetEditor(&TEditorValues::LineInfoStyle, Coin(rng) ? 4 : 0);
  for (int element : {E::viRubi, E::viFootNote, E::viTab, E::viReturn}) st.Enable(element, Coin(rng));
}

const TFixedMetrics kMetrics;

// Random geometry: fixed cells, cells from a width without a surface, or measured widths.
void RandomGeometry(std::mt19937& rng, TStyleHolder& st, TEditList& list) {
  int mode = Pick(rng, 0, 2);
  st->SetEditor(&TEditorValues::ProportionalFont, mode == 2);
  list.AssignStyle(*st.S);
  list.Columns = mode == 0 ? Pick(rng, 1, 40) : 0;
  list.LineWidth = Pick(rng, 0, 400);
  list.FontHeight = Pick(rng, 0, 20);
  list.Spacing = Pick(rng, 0, 2);
  list.Metrics = mode == 2 ? &kMetrics : nullptr;
}

std::string Describe(const TEditList& list) {
  std::string r;
  for (const std::string& line : list.Lines()) r += SjisToUtf8(line) + " / ";
  return r + "cells " + std::to_string(list.Columns) + ", width " + std::to_string(list.LineWidth);
}

// Caret positions of a line: the start of every character with the notation before it.
TIntegers CaretBytes(const TEditList& list, int32_t line) {
  const std::string& text = list[line];
  const TColumnOptions& co = list.BreakOptions().Columns;
  TBooleans mask = HiddenMask(text, co.LeadingMark, co.HideRubi, co.HideLeadingMark, co.HideNotes);
  TColumnText t;
  t.Text = text;
  t.UseMask(mask);
  TIntegers r;
  const int32_t end = static_cast<int32_t>(text.size()) + 1;
  for (int32_t b = 1; b < end; b = NextCharIndex(t, b))
    if (b > 1 || NextCharIndex(t, 1) < end || !t.Hidden(1)) r.push_back(b);  // a line of notation only: after it
  r.push_back(end);
  return r;
}

// A document of random lines in a random style and geometry.
void RandomDocument(std::mt19937& rng, TEditList& list, TStyleHolder& st, int lines, int parts) {
  RandomStyle(rng, st);
  RandomGeometry(rng, st, list);
  std::string text;
  for (int i = lines; i > 0; --i) text += RandomNotatedText(rng, parts) + (i > 1 ? "\r\n" : "");
  list.SetText(text);
}

}  // namespace

TEST(BreakLineProperty, PiecesJoinBackAndSplitNoCharacterNorNotation) {
  std::mt19937 rng(20240610);
  for (int round = 0; round < 4000; ++round) {
    std::string line = RandomNotatedText(rng, 40);
    if (Coin(rng)) line += "\r\n" + RandomNotatedText(rng, 10);  // texts of other callers
    TBreakOptions o;
    o.ProportionalFont = Pick(rng, 0, 3) == 0;
    o.ColumnCountAuto = Pick(rng, 0, 5) > 0;
    o.TailHang = Coin(rng);
    o.TailAdjust = Coin(rng);
    o.WordWrap = Coin(rng);
    o.HangStr = TCharSet(S(";.､｡、。，．｣」』"));
    o.ProhibitTopStr = TCharSet(S("]}):;?!ﾞﾟ･~・：；？！゛゜‐’”）〕］｝〉》】ｬｭｮゃゅょャュョ"));
    o.ProhibitBottomStr = TCharSet(S("[{(‘“（〔［｛〈《「『【"));
    o.ReturnMark = Coin(rng);
    o.Columns.HideRubi = Coin(rng);
    o.Columns.HideNotes = Coin(rng);
    o.Columns.HideLeadingMark = Coin(rng);
    o.Columns.LeadingMark = S("○");
    o.Columns.ExpandTabs = Coin(rng);
    o.Columns.TabLength = Pick(rng, 0, 8);
    o.Columns.NameRestore = Coin(rng);
    const int32_t cells = Coin(rng) ? Pick(rng, 0, 30) : 0;
    TMeasure m{Coin(rng) ? &kMetrics : nullptr, Pick(rng, -20, 20), false};
    TIntegers pieces = BreakLine(line, Pick(rng, 0, 300), cells, Pick(rng, -1, 3), Pick(rng, 0, 10), Coin(rng), o, m);

    TBooleans mask = HiddenMask(line, o.Columns.LeadingMark, o.Columns.HideRubi, o.Columns.HideLeadingMark,
                                o.Columns.HideNotes);
    std::string joined;
    int32_t p = 1;
    for (int32_t len : pieces) {
      ASSERT_TRUE(len >= 1 || line.empty()) << SjisToUtf8(line);
      if (p > 1) {
        ASSERT_FALSE(IsTrailBytePos(line, static_cast<size_t>(p))) << "a piece ends on a lead byte: " << SjisToUtf8(line);
        // notation stays with the character before it, unless a line break comes between
        const char before = line[static_cast<size_t>(p - 2)];
        ASSERT_FALSE(!mask.empty() && mask[static_cast<size_t>(p)] && before != '\n' && before != '\r')
            << "notation split from its character: " << SjisToUtf8(line) << " at " << p << " cells " << cells
            << " hang " << o.TailHang << " adjust " << o.TailAdjust << " wrap " << o.WordWrap << " measured "
            << (m.Metrics != nullptr) << " height " << m.FontHeight;
      }
      bool visible = mask.empty() || line.empty();
      for (int32_t b = p; b < p + len && !visible; ++b) visible = !mask[static_cast<size_t>(b)];
      ASSERT_TRUE(visible || pieces.size() == 1 || (p > 1 && line[static_cast<size_t>(p - 2)] == '\n'))
          << "a piece of notation only: " << SjisToUtf8(line) << " at " << p;
      joined += line.substr(static_cast<size_t>(p - 1), static_cast<size_t>(len));
      p += len;
    }
    ASSERT_EQ(joined, line);
  }
}

TEST(EditListProperty, PositionsRoundTrip) {
  std::mt19937 rng(7);
  for (int round = 0; round < 150; ++round) {
    TEditList list;
    TStyleHolder st;
    RandomDocument(rng, list, st, Pick(rng, 1, 6), 20);
    SCOPED_TRACE(Describe(list));
    ExpectConsistent(list);
    // logical -> display -> logical, at every caret position
    for (int32_t line = 0; line < list.Count(); ++line)
      for (int32_t b : CaretBytes(list, line)) {
        TPoint d = list.ToDisplay(b, line);
        ASSERT_EQ(list.ToLogical(d), (TPoint{b, line})) << "byte " << b << " shown at " << d.X << "," << d.Y;
      }
    // display -> logical -> display settles on a caret position at once
    for (int32_t row = 0; row < list.Infos().Count(); ++row) {
      const int32_t columns = list.RowColumns(row);
      ASSERT_EQ(static_cast<int32_t>(list.DisplayText(row).size()), columns) << "row " << row;
      for (int32_t c = 1; c <= columns + 2; ++c) {
        TPoint d = list.ToDisplay(list.ToLogical(c, row));
        ASSERT_EQ(list.ToDisplay(list.ToLogical(d)), d) << "column " << c << " row " << row;
      }
    }
  }
}

TEST(EditListProperty, EditedTableEqualsAFreshLayout) {
  std::mt19937 rng(1234);
  for (int document = 0; document < 6; ++document) {
    TEditList list;
    TStyleHolder st;
    RandomDocument(rng, list, st, 26, 12);

    auto randomPosition = [&] {
      int32_t row = Pick(rng, 0, list.DisplayCount() - 1);
      return TPoint{Pick(rng, 1, list.RowColumns(row) + 3), row};
    };
    auto randomInsert = [&] {
      std::string s = RandomNotatedText(rng, 4);
      if (Pick(rng, 0, 3) == 0) s += "\r\n" + RandomNotatedText(rng, 4);
      return s;
    };
    for (int step = 0; step < 300; ++step) {
      const bool grow = list.GetText().size() < 3000;
      switch (Pick(rng, 0, 6)) {
        case 0:
        case 1:
          list.InsertText(randomPosition(), randomInsert(), false);
          break;
        case 2:
          if (!grow || Coin(rng)) list.DeleteRange(randomPosition(), randomPosition(), false);
          break;
        case 3:
          list.InsertText(randomPosition(), randomInsert() + "\r\n" + randomInsert(), true);
          break;
        case 4:
          list.DeleteRange(randomPosition(), randomPosition(), true);
          break;
        case 5:
          list.Put(Pick(rng, 0, list.Count() - 1), RandomNotatedText(rng, 8));
          break;
        default:
          if (Coin(rng)) list.Insert(Pick(rng, 0, list.Count()), RandomNotatedText(rng, 8));
          else list.Delete(Pick(rng, 0, list.Count() - 1));
          break;
      }
      ASSERT_NO_FATAL_FAILURE(ExpectConsistent(list)) << "step " << step;
      if (step % 25 == 24) {
        TEditList fresh;
        fresh.AssignStyle(*st.S);
        fresh.Columns = list.Columns;
        fresh.LineWidth = list.LineWidth;
        fresh.FontHeight = list.FontHeight;
        fresh.Spacing = list.Spacing;
        fresh.Metrics = list.Metrics;
        fresh.SetText(list.GetText());
        ASSERT_EQ(fresh.Lines(), list.Lines());
        ASSERT_TRUE(fresh.Infos().Items() == list.Infos().Items()) << "document " << document << " step " << step;
      }
    }
  }
}
