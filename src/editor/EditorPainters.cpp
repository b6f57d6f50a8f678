#include "EditorPainters.h"

#include <algorithm>
#include <cmath>

#include "Notations.h"
#include "SheetPrinters.h"
#include "Strs.h"

namespace kaede {

namespace {
int32_t Round(double v) { return RoundHalfEven(v); }

TRect Shift(TRect r, TPoint o) { return TRect{r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y}; }

TRowPlace Shift(TRowPlace p, TPoint o, bool vertical) {
  p.Row = Shift(p.Row, o);
  p.Band = Shift(p.Band, o);
  p.TextStart += vertical ? o.Y : o.X;
  return p;
}

bool Meets(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool IsFullSpace(const std::string& s, size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 && static_cast<unsigned char>(s[i + 1]) == 0x40;
}
}  // namespace

TEditorPainter::TEditorPainter(const TEditorStyle& style, const TEditList& lines, const TEditorGeometry& geometry,
                               const TEditorPaintState& state)
    : FStyle(style), FLines(lines), FG(geometry), FState(state) {}

bool TEditorPainter::Visible(int element) const { return FStyle.ViewInfo(element)->IsVisible(FState.Printing); }

int32_t TEditorPainter::ElementFontPx(int element) const {
  if (FState.FontPx) return std::max(1, FState.FontPx(element));
  // an automatic size (0) is the default 9 points
  auto points = [this](int no) { const int32_t s = FStyle.ViewInfo(no)->Font().Size; return s > 0 ? s : 9; };
  return std::max(1, Round(static_cast<double>(points(element)) * FG.FontHeight / points(TEditorStyle::viNormal)));
}

TCanvasFont TEditorPainter::FontOf(int element, int32_t px, bool vertical) const {
  return CanvasFont(FStyle.ViewInfo(element)->Font(), px, FState.Dpi, vertical);
}

int32_t TEditorPainter::Off(int32_t column) const { return FG.CellOffset(column, FOffsets); }

int32_t TEditorPainter::Ext(int32_t c1, int32_t c2) const { return Off(c2 + 1) - Off(c1); }

TRect TEditorPainter::CellsRect(const TRowPlace& p, int32_t c1, int32_t c2, int32_t across0, int32_t across1) const {
  const int32_t a0 = p.TextStart + Off(c1), a1 = p.TextStart + Off(c2);
  return FG.Vertical ? TRect{across0, a0, across1, a1} : TRect{a0, across0, a1, across1};
}

// ---- Cell states ---------------------------------------------------------------------------

void TEditorPainter::MakeStatus(int32_t row, RLineStatus& st) const {
  st.Row = row;
  st.Notes.clear();
  const bool exists = row >= 0 && row < FLines.Infos().Count();
  st.Text = exists ? FLines.DisplayText(row) : std::string();
  const size_t n = st.Text.size();
  const TDisplayLine& info = FLines.Info(row);
  const int32_t line = info.LineIndex;
  int base = TEditorStyle::viNormal;
  if (Visible(TEditorStyle::viCaretLine) && row == FState.Caret.Y && !FState.ReadOnly) base = TEditorStyle::viCaretLine;
  else if (FStyle.ViewInfo(TEditorStyle::viHeading)->IsEnabled() && FLines.IsHeading(line)) base = TEditorStyle::viHeading;
  st.Columns.assign(n, TColumnStatus{base, 0, 0});
  for (size_t i = 0; i < n; ++i) st.Columns[i].Advance = FG.CellPitchAt(static_cast<int32_t>(i));
  if (FStyle.Editor().ProportionalFont && FState.Metrics && n > 0) MeasureCells(st);
  st.Offsets.assign(n + 1, 0);
  for (size_t i = 0; i < n; ++i) st.Offsets[i + 1] = st.Offsets[i] + st.Columns[i].Advance;
  if (!exists) return;
  auto enabled = [&](int e) { return FStyle.ViewInfo(e)->IsEnabled(); };
  auto set = [&](size_t i, int e) {
    if (i < n) st.Columns[i].Element = e;
  };
  if (enabled(TEditorStyle::viZenkakuSpace) || enabled(TEditorStyle::viHankakuSpace)) {
    for (size_t i = 0; i < n; i += CharLenAt(st.Text, i)) {
      if (enabled(TEditorStyle::viZenkakuSpace) && IsFullSpace(st.Text, i)) set(i, TEditorStyle::viZenkakuSpace), set(i + 1, TEditorStyle::viZenkakuSpace);
      else if (enabled(TEditorStyle::viHankakuSpace) && st.Text[i] == ' ') set(i, TEditorStyle::viHankakuSpace);
    }
  }
  if (FStyle.Editor().Vertical && enabled(TEditorStyle::viVerticalRow)) {
    std::vector<bool> pairs = VerticalRowPairs(st.Text, info.Indent);
    for (size_t i = 0; i < n; ++i)
      if (pairs[i]) set(i, TEditorStyle::viVerticalRow);
  }

  // words found in the whole logical line, so that one broken across rows is still found
  const std::string& text = FLines[line];
  TIntegers columns;
  auto mark = [&](int32_t first, int32_t last, int e) {
    const int32_t s = info.Start, end = info.Start + static_cast<int32_t>(columns.size()) - 1;
    for (int32_t b = std::max(first, s); b <= std::min(last, end); ++b) {
      const int32_t c = columns[static_cast<size_t>(b - s)];
      if (c >= 1) set(static_cast<size_t>(c - 1), e);
    }
  };
  auto ranges = [&](const TPoints& found, int e) {
    if (found.empty()) return;
    if (columns.empty()) FLines.RowByteColumns(row, columns);
    for (const TPoint& r : found) mark(r.X, r.Y, e);
  };
  if (enabled(TEditorStyle::viKeyWord)) {
    const int opt = FStyle.Editor().WordWrap ? SearchIgnoreCase | SearchWholeWord : 0;
    for (const std::string& kw : FStyle.Editor().KeyWordStrs)
      if (!kw.empty()) ranges(SearchAllRanges(kw, text, opt), TEditorStyle::viKeyWord);
  }
  if (enabled(TEditorStyle::viMail)) ranges(FindMails(text), TEditorStyle::viMail);
  if (enabled(TEditorStyle::viUrl)) ranges(FindUrls(text), TEditorStyle::viUrl);
  if (enabled(TEditorStyle::viFind) && !FState.FindText.empty())
    ranges(SearchAllRanges(FState.FindText, text, FState.IgnoreCase ? SearchIgnoreCase : 0), TEditorStyle::viFind);
  if (FState.HasSelection && row >= FState.SelStart.Y && row <= FState.SelEnd.Y) {
    int32_t from, to;
    if (FState.Box) {
      from = std::min(FState.SelStart.X, FState.SelEnd.X);
      to = std::max(FState.SelStart.X, FState.SelEnd.X);
    } else {
      from = row == FState.SelStart.Y ? FState.SelStart.X : 1;
      to = row == FState.SelEnd.Y ? FState.SelEnd.X : static_cast<int32_t>(n) + 2;
    }
    for (int32_t c = std::max(1, from); c < to && c <= static_cast<int32_t>(n); ++c) set(static_cast<size_t>(c - 1), TEditorStyle::viSelect);
  }
}

void TEditorPainter::MeasureCells(RLineStatus& st) const {
  // each character its measured width plus the spacing (a tab one cell pitch), on its lead cell
  std::string text = st.Text;
  for (char& ch : text)
    if (ch == '\t') ch = ' ';
  const size_t n = text.size();
  const bool vertical = FG.Vertical;
  std::vector<int32_t> adv(n);
  FState.Metrics->Advances(text, FG.FontHeight, vertical, adv.data());
  int64_t screen = 0;
  for (size_t i = 0; i < n; ++i) {
    const bool lead = !IsTrailAt(text, i);
    st.Columns[i].Advance = !lead ? 0 : st.Text[i] == '\t' ? FG.CellPitch : adv[i] + FG.Spacing;
    st.Columns[i].Spare = st.Columns[i].Advance;
    screen += st.Columns[i].Advance;
  }
  // with the paper shown the line ends where the printer's line ends, scaled to the screen
  if (FState.ReferenceFontHeight > 0 && FState.ReferenceFontHeight != FG.FontHeight) {
    std::vector<int32_t> ref(n);
    FState.Metrics->Advances(text, FState.ReferenceFontHeight, vertical, ref.data());
    int64_t printed = 0;
    for (size_t i = 0; i < n; ++i)
      if (!IsTrailAt(text, i)) printed += st.Text[i] == '\t' ? 0 : ref[i] + FState.ReferenceSpacing;
    int64_t tabs = 0;
    for (size_t i = 0; i < n; ++i) tabs += st.Text[i] == '\t' ? FG.CellPitch : 0;
    const int64_t target = RoundHalfEven(static_cast<double>(printed) * FG.FontHeight / FState.ReferenceFontHeight) + tabs;
    // one pixel at a time over the characters, from the first, as often as it takes
    int64_t diff = target - screen;
    int64_t chars = 0;
    for (size_t i = 0; i < n; ++i) chars += st.Columns[i].Advance > 0;
    for (int pass = 0; diff != 0 && chars > 0 && pass < 64; ++pass)
      for (size_t i = 0; i < n && diff != 0; ++i) {
        if (st.Columns[i].Advance <= 1) continue;
        st.Columns[i].Advance += diff > 0 ? 1 : -1;
        diff += diff > 0 ? -1 : 1;
      }
  }
}

// ---- Pages and rows ------------------------------------------------------------------------

void TEditorPainter::PaintPage(TCanvas& c, TPoint origin, int32_t pageFirst, std::vector<RLineStatus>* statuses,
                               uint64_t version) const {
  const TRect clip = c.ClipBounds();
  RLineStatus local;
  // room for the rows of a few pages shown at once, each row in its own slot
  const size_t slots = static_cast<size_t>(std::max(1, FG.LinesPerPage)) * 4;
  if (statuses && statuses->size() != slots) statuses->assign(slots, RLineStatus{});
  for (int32_t i = 0; i < FG.LinesPerPage; ++i) {
    const int32_t k = pageFirst + i;
    const TRowPlace p = FG.PlaceRow(k, pageFirst);
    if (!Meets(Shift(p.Row, origin), clip)) continue;
    RLineStatus& st = statuses ? (*statuses)[static_cast<size_t>(std::max(0, k)) % slots] : local;
    if (!statuses || st.Row != k || st.Version != version) {
      MakeStatus(k, st);
      st.Version = version;
    }
    PaintRow(c, origin, k, pageFirst, st);
  }
  if (Visible(TEditorStyle::viPartationDivideLine)) {
    for (size_t i = 1; i < FG.PartitionRects.size(); ++i) {
      const TRect a = Shift(FG.PartitionRects[i], origin);
      const int32_t mid = (FG.Vertical ? a.Top : a.Left) - FG.PartitionGap / 2 - 1;
      if (FG.Vertical) ElementLine(c, TEditorStyle::viPartationDivideLine, TPoint{a.Left, mid}, TPoint{a.Right, mid});
      else ElementLine(c, TEditorStyle::viPartationDivideLine, TPoint{mid, a.Top}, TPoint{mid, a.Bottom});
    }
  }
}

void TEditorPainter::PaintRow(TCanvas& c, TPoint origin, int32_t k, int32_t pageFirst, RLineStatus& st) const {
  FOffsets = &st.Offsets;
  struct TReset {
    const TIntegers*& Ref;
    ~TReset() { Ref = nullptr; }
  } reset{FOffsets};
  const TRowPlace p = Shift(FG.PlaceRow(k, pageFirst), origin, FG.Vertical);
  const bool exists = k >= 0 && k < FLines.Infos().Count();
  const bool caretRow = exists && k == FState.Caret.Y && !FState.ReadOnly;
  const bool eofOver = FStyle.Editor().EofOverUnfilled;
  const int32_t cells = static_cast<int32_t>(st.Text.size());
  if (Visible(TEditorStyle::viLineInfo)) PaintMargin(c, p, k, caretRow);
  if (!exists && eofOver) return;
  if (caretRow && Visible(TEditorStyle::viCaretLine)) {
    c.SetBrush(TBrush{TBrushStyle::Solid, FStyle.ViewInfo(TEditorStyle::viCaretLine)->BackColor()});
    c.FillRect(CellsRect(p, 1, std::max(cells, FG.Cells) + 1, FG.Vertical ? p.Row.Left : p.Row.Top,
                         FG.Vertical ? p.Row.Right : p.Row.Bottom));
  }
  if (Visible(TEditorStyle::viUnfilled) && cells < FG.Cells) {
    c.SetBrush(TBrush{TBrushStyle::Solid, FStyle.ViewInfo(TEditorStyle::viUnfilled)->BackColor()});
    const int32_t from = std::max(cells, 0) + 1 + (exists ? 1 : 0);  // the line-end mark keeps its cell
    if (from <= FG.Cells)
      c.FillRect(CellsRect(p, from, FG.Cells + 1, FG.Vertical ? p.Row.Left : p.Row.Top, FG.Vertical ? p.Row.Right : p.Row.Bottom));
  }
  if (exists) {
    PaintText(c, p, st);
    PaintMarks(c, p, st, k);
  }
  PaintLines(c, p, k);
  if (exists && FG.AnnotationMode) {
    if (Visible(TEditorStyle::viRubi)) PaintRuby(c, p, k);
    if (Visible(TEditorStyle::viBoten)) PaintEmphasis(c, p, k);
    if (Visible(TEditorStyle::viFootNote) && Visible(TEditorStyle::viFootNoteMark)) PaintNotes(c, p, k, st);
  }
}

void TEditorPainter::PaintMargin(TCanvas& c, const TRowPlace& p, int32_t k, bool caretRow) const {
  const bool exists = k < FLines.Infos().Count();
  int e = TEditorStyle::viLineInfo;
  if (caretRow && Visible(TEditorStyle::viCaretLineInfo)) e = TEditorStyle::viCaretLineInfo;
  else if (exists && Visible(TEditorStyle::viMarkLineInfo) && FState.Marked && FState.Marked(FLines.Info(k).LineIndex))
    e = TEditorStyle::viMarkLineInfo;
  const TViewInfo* vi = FStyle.ViewInfo(e);
  const int32_t start = p.TextStart - FG.TextLeft - FG.Margin;
  const TRect margin = FG.Vertical ? TRect{p.Row.Left, start, p.Row.Right, start + FG.Margin}
                                   : TRect{start, p.Row.Top, start + FG.Margin, p.Row.Bottom};
  c.SetBrush(TBrush{TBrushStyle::Solid, vi->BackColor()});
  c.FillRect(margin);
  if (!exists) return;
  const std::string number = LineNumberText(FStyle, FLines, k);
  if (number.empty()) return;
  const int32_t px = std::max(1, ElementFontPx(TEditorStyle::viLineInfo));
  const int32_t digit = std::max(1, px / 2);
  const int32_t len = digit * static_cast<int32_t>(number.size());
  std::vector<int32_t> adv(number.size(), digit);
  const bool sideBySide = FG.Vertical && FStyle.Editor().LineInfoVerticalRow;
  c.SetFont(FontOf(e, px, FG.Vertical && !sideBySide));
  const TRect& band = p.Band;
  if (!FG.Vertical) {
    // right-aligned, 4 pixels before the inner edge; page marks from half a digit in
    const int32_t x = number[0] == 'P' ? margin.Left + digit / 2 : margin.Right - 4 - len;
    c.TextOut(x, band.Top, number, adv.data(), &margin);
  } else if (sideBySide) {
    c.TextOut((band.Left + band.Right - len) / 2, margin.Top + (FG.Margin - px) / 2, number, adv.data(), &margin);
  } else {
    c.TextOut(band.Right, margin.Bottom - digit / 2 - len, number, adv.data(), &margin);
  }
}

void TEditorPainter::PaintText(TCanvas& c, const TRowPlace& p, const RLineStatus& st) const {
  const std::string& text = st.Text;
  const size_t n = text.size();
  const bool vertical = FG.Vertical;
  const int32_t H = FG.FontHeight;
  const bool connect = FStyle.Editor().ConnectTatesen;
  std::vector<int32_t> adv;
  size_t a = 0;
  while (a < n) {
    const int e = st.Columns[a].Element;
    size_t b = a;
    while (b < n && st.Columns[b].Element == e) b += CharLenAt(text, b);
    b = std::min(b, n);
    const TViewInfo* vi = FStyle.ViewInfo(e);
    const int32_t c1 = static_cast<int32_t>(a) + 1, c2 = static_cast<int32_t>(b) + 1;
    if (e != TEditorStyle::viNormal && e != TEditorStyle::viCaretLine) {
      c.SetBrush(TBrush{TBrushStyle::Solid, vi->BackColor()});
      c.FillRect(CellsRect(p, c1, c2, vertical ? p.Row.Left : p.Row.Top, vertical ? p.Row.Right : p.Row.Bottom));
    }
    if (e == TEditorStyle::viVerticalRow && vertical) {
      // a pair stands upright, side by side in the column; one character alone is centred
      c.SetFont(FontOf(e, H, false));
      for (size_t i = a; i + 1 < b + 1 && i < b; i += 2) {
        std::string pair = text.substr(i, std::min<size_t>(2, b - i));
        const int32_t half = std::max(1, H / 2);
        std::vector<int32_t> pa(pair.size(), half);
        std::string shown = pair;
        int32_t x = p.Band.Left;
        if (shown.size() == 2 && (shown[0] == ' ' || shown[1] == ' ')) {
          shown = std::string(1, shown[0] == ' ' ? shown[1] : shown[0]);
          x += (H - half) / 2;
        }
        const int32_t y = p.TextStart + Off(static_cast<int32_t>(i) + 1) + (Ext(static_cast<int32_t>(i) + 1, static_cast<int32_t>(i) + 2) - H) / 2;
        c.TextOut(x, y, shown, pa.data());
      }
      a = b;
      continue;
    }
    // the run at the cell pitches; tabs show as blanks (their marks come later)
    std::string run = text.substr(a, b - a);
    adv.assign(run.size(), 0);
    for (size_t i = 0; i < run.size();) {
      const size_t len = CharLenAt(run, i);
      adv[i] = st.Columns[a + i].Advance + (len == 2 ? st.Columns[a + i + 1].Advance : 0);
      if (run[i] == '\t') run[i] = ' ';
      i += len;
    }
    if (connect) {
      // an isolated pair of box-drawing dashes overlaps into one stroke
      const std::string dash = SJ("─");
      for (size_t i = 0; i + 4 <= run.size(); i += CharLenAt(run, i)) {
        if (run.compare(i, 2, dash) || run.compare(i + 2, 2, dash)) continue;
        if ((i >= 2 && !run.compare(i - 2, 2, dash)) || (i + 6 <= run.size() && !run.compare(i + 4, 2, dash))) continue;
        const int32_t first = adv[i], shorter = Round(first * 0.91);
        adv[i] = shorter;
        adv[i + 2] += first - shorter;
        i += 2;
      }
    }
    TCanvasFont f = FontOf(e, H, vertical);
    c.SetFont(f);
    const int32_t along = p.TextStart + Off(c1);
    if (run.find_first_not_of(' ') != std::string::npos) {
      if (vertical) c.TextOut(p.Band.Right, along, run, adv.data());
      else c.TextOut(along, p.Band.Top, run, adv.data());
    }
    const int d = vi->Decorate();
    if (d >= 1 && d <= 5) {
      const int32_t len = Ext(c1, c2 - 1);
      c.SetPen(TPen{d == 2 || d == 4 ? TPenStyle::Dot : d == 5 ? TPenStyle::Dash : TPenStyle::Solid, 1, vi->DecorateColor()});
      for (int line = 0; line < (d == 3 || d == 4 ? 2 : 1); ++line) {
        if (vertical) {
          const int32_t x = p.Band.Left - 1 - 2 * line;
          c.Line(x, along, x, along + len);
        } else {
          const int32_t y = p.Band.Bottom + 2 * line;
          c.Line(along, y, along + len, y);
        }
      }
    }
    a = b;
  }
}

void TEditorPainter::Arrow(TCanvas& c, const TRect& box, int direction, TColor color) const {
  const int32_t w = box.Right - box.Left, h = box.Bottom - box.Top;
  if (w < 3 || h < 3) return;
  const int32_t k = std::max(2, (std::min(w, h) - 1) / 6 + 1);
  c.SetPen(TPen{TPenStyle::Solid, 1, color});
  c.SetBrush(TBrush{TBrushStyle::Solid, color});
  const int32_t cx = box.Left + w / 2, cy = box.Top + h / 2;
  auto dot = [&](int32_t x, int32_t y) { c.FillRect(TRect{x, y, x + 1, y + 1}); };
  switch (direction) {
    case adLeft:
    case adRight: {
      c.Line(box.Left + 1, cy, box.Right - 1, cy);
      for (int32_t i = 0; i < k; ++i) {
        const int32_t x = direction == adLeft ? box.Left + 1 + i + 1 : box.Right - 2 - i - 1;
        dot(x, cy - i - 1), dot(x, cy + i + 1);
      }
      break;
    }
    default: {
      c.Line(cx, box.Top + 1, cx, box.Bottom - 1);
      for (int32_t i = 0; i < k; ++i) {
        const int32_t y = direction == adUp ? box.Top + 1 + i + 1 : box.Bottom - 2 - i - 1;
        dot(cx - i - 1, y), dot(cx + i + 1, y);
      }
      break;
    }
  }
}

void TEditorPainter::PaintMarks(TCanvas& c, const TRowPlace& p, const RLineStatus& st, int32_t k) const {
  const std::string& text = st.Text;
  const int32_t n = static_cast<int32_t>(text.size());
  const bool vertical = FG.Vertical;
  const TDisplayLine& info = FLines.Info(k);
  const bool lastRowOfText = k + 1 >= FLines.Infos().Count();
  const int mark = lastRowOfText ? TEditorStyle::viEof : TEditorStyle::viReturn;
  if (info.LastRow && Visible(mark)) {
    const int32_t H = FG.FontHeight;
    const int32_t a0 = p.TextStart + Off(n + 1), a1 = a0 + FG.CellPitchAt(n);
    TRect box;
    if (vertical) {
      const int32_t right = FG.AnnotationMode ? p.Band.Right : p.Band.Right - 1;
      box = TRect{right - (H - 1), a0, right, a1};
    } else {
      box = TRect{a0, p.Band.Top, a1, p.Band.Top + H - 1};
    }
    const bool selected = FState.HasSelection && !FState.Box && k >= FState.SelStart.Y && k < FState.SelEnd.Y;
    const int back = selected ? TEditorStyle::viSelect : (n > 0 ? st.Columns.back().Element : TEditorStyle::viNormal);
    c.SetBrush(TBrush{TBrushStyle::Solid, FStyle.ViewInfo(back)->BackColor()});
    c.FillRect(box);
    const int dir = vertical ? (lastRowOfText ? adUp : adLeft) : (lastRowOfText ? adLeft : adDown);
    Arrow(c, box, dir, FStyle.ViewInfo(mark)->DecorateColor());
  }
  const int32_t tab = std::max(1, FStyle.Editor().TabLength);
  for (int32_t i = 0; i < n; ++i) {
    const char ch = text[static_cast<size_t>(i)];
    if (ch == '\t' && Visible(TEditorStyle::viTab) &&
        (i == 0 || text[static_cast<size_t>(i - 1)] != '\t' || (i + 1) % tab == 1 % tab)) {
      TRect box = CellsRect(p, i + 1, i + 2, vertical ? p.Row.Left : p.Row.Top, vertical ? p.Row.Right : p.Row.Bottom);
      Arrow(c, box, vertical ? adDown : adRight, FStyle.ViewInfo(TEditorStyle::viTab)->DecorateColor());
    }
    const int e = st.Columns[static_cast<size_t>(i)].Element;
    const bool full = e == TEditorStyle::viZenkakuSpace && IsFullSpace(text, static_cast<size_t>(i));
    const bool half = e == TEditorStyle::viHankakuSpace && ch == ' ';
    if ((full || half) && Visible(e)) {
      const TViewInfo* vi = FStyle.ViewInfo(e);
      TRect box = CellsRect(p, i + 1, i + (full ? 3 : 2), vertical ? p.Band.Left : p.Band.Top, vertical ? p.Band.Right : p.Band.Bottom);
      box = TRect{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
      c.SetBrush(TBrush{TBrushStyle::Solid, vi->BackColor()});
      const int d = vi->Decorate();
      c.SetPen(TPen{d == 0 ? TPenStyle::Clear : d == 2 || d == 4 ? TPenStyle::Dot : TPenStyle::Solid, 1, vi->DecorateColor()});
      c.Polygon(TPoints{{box.Left, box.Top}, {box.Right - 1, box.Top}, {box.Right - 1, box.Bottom - 1}, {box.Left, box.Bottom - 1}});
    }
    if (full) ++i;
  }
}

void TEditorPainter::ElementLine(TCanvas& c, int element, TPoint a, TPoint b) const {
  const TViewInfo* vi = FStyle.ViewInfo(element);
  const int d = vi->Decorate();
  if (d <= 0) return;
  const int32_t width = std::max(1, d < 3 && vi->LineWidth() > 0 ? Round(vi->LineWidth() * (FState.Printing ? FState.Dpi / 25.4 : FG.Zoom)) : 1);
  c.SetPen(TPen{d == 2 || d == 4 ? TPenStyle::Dot : d == 5 ? TPenStyle::Dash : TPenStyle::Solid, width, vi->DecorateColor()});
  c.Line(a.X, a.Y, b.X, b.Y);
  if (vi->IsDoubleLine()) {
    const int32_t gap = std::max(2, 2 * width);
    if (a.X == b.X) c.Line(a.X + gap, a.Y, b.X + gap, b.Y);
    else c.Line(a.X, a.Y + gap, b.X, b.Y + gap);
  }
}

void TEditorPainter::PaintLines(TCanvas& c, const TRowPlace& p, int32_t k) const {
  const bool vertical = FG.Vertical;
  auto across = [&](int32_t along) {
    return vertical ? std::pair{TPoint{p.Row.Left, along}, TPoint{p.Row.Right, along}}
                    : std::pair{TPoint{along, p.Row.Top}, TPoint{along, p.Row.Bottom}};
  };
  if (Visible(TEditorStyle::viLineInfoTailLine) && FG.Margin > 0) {
    auto [a, b] = across(p.TextStart - FG.TextLeft - 1);
    ElementLine(c, TEditorStyle::viLineInfoTailLine, a, b);
  }
  if (Visible(TEditorStyle::viColumnTailLine)) {
    auto [a, b] = across(p.TextStart + FG.CellOffset(FG.Cells + 1));
    ElementLine(c, TEditorStyle::viColumnTailLine, a, b);
  }
  const bool exists = k < FLines.Infos().Count();
  if (Visible(TEditorStyle::viGapLine) && (exists || !FStyle.Editor().EofOverUnfilled)) {
    const int32_t style = FStyle.Editor().GapLineStyle;
    const TViewInfo* vi = FStyle.ViewInfo(TEditorStyle::viGapLine);
    c.SetPen(TPen{vi->Decorate() == 2 || vi->Decorate() == 4 ? TPenStyle::Dot : TPenStyle::Solid, 1, vi->DecorateColor()});
    if (style == 1) {
      // manuscript paper: a box round every cell pair's band
      const int32_t inset = FG.GridInset;
      const int32_t c0 = (vertical ? p.Band.Left : p.Band.Top) - inset, c1 = (vertical ? p.Band.Right : p.Band.Bottom) + inset;
      for (int32_t cell = 1; cell <= FG.Cells; cell += 2) {
        TRect r = CellsRect(p, cell, cell + 2, c0, c1);
        c.Polyline(TPoints{{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}, {r.Left, r.Top}});
      }
    } else if (style == 2 && exists && FLines.Info(k).Row == 0 && FLines.IsHeading(FLines.Info(k).LineIndex) &&
               FG.Margin > 0) {
      const int32_t start = p.TextStart - FG.TextLeft - FG.Margin;
      TRect r = vertical ? TRect{p.Row.Left + 1, start + 1, p.Row.Right - 1, start + FG.Margin - 1}
                         : TRect{start + 1, p.Row.Top + 1, start + FG.Margin - 1, p.Row.Bottom - 1};
      c.Polyline(TPoints{{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}, {r.Left, r.Top}});
    }
  }
  const int32_t perPage = FStyle.Editor().LineCountInPage;
  if (perPage > 0 && (k + 1) % perPage == 0) {
    const int32_t maxPages = FStyle.Editor().MaxPageCount;
    const int e = maxPages > 0 && (k + 1) / perPage == maxPages ? TEditorStyle::viMaxPageDivideLine : TEditorStyle::viPageDivideLine;
    if (Visible(e)) {
      const int32_t start = p.TextStart - FG.TextLeft - FG.Margin;
      const int32_t end = p.TextStart + FG.CellOffset(FG.Cells + 1) + (FG.TailHang ? 2 * FG.CellPitch : 0);
      if (vertical) ElementLine(c, e, TPoint{p.Row.Left, start}, TPoint{p.Row.Left, end});
      else ElementLine(c, e, TPoint{start, p.Row.Bottom - 1}, TPoint{end, p.Row.Bottom - 1});
    }
  }
}

// ---- Annotations ---------------------------------------------------------------------------

void TEditorPainter::PaintRuby(TCanvas& c, const TRowPlace& p, int32_t k) const {
  const TDisplayLine& info = FLines.Info(k);
  const std::string& text = FLines[info.LineIndex];
  const TRubiInfos rubies = FindRubis(text);
  if (rubies.empty()) return;
  const int32_t S = info.Start, L = info.Length, H = FG.FontHeight;
  const int32_t h = ElementFontPx(TEditorStyle::viRubi);
  const TViewInfo* vi = FStyle.ViewInfo(TEditorStyle::viRubi);
  TIntegers columns;
  FLines.RowByteColumns(k, columns);
  if (columns.empty()) return;
  auto column = [&](int32_t index) { return columns[static_cast<size_t>(std::clamp(index, 1, static_cast<int32_t>(columns.size())) - 1)]; };
  int32_t lastEnd = p.TextStart - 1;
  c.SetFont(FontOf(TEditorStyle::viRubi, h, FG.Vertical));
  for (const TRubiInfo& r : rubies) {
    const int32_t b = r.BaseStart, n = r.BaseLength;
    if (!(b <= S + L && r.RubiStart > S) || n <= 0) continue;
    std::string share = text.substr(static_cast<size_t>(r.RubiStart - 1), static_cast<size_t>(r.RubiLength));
    if (b < S) {
      share = share.substr(static_cast<size_t>(RubyCut(share, n, S - b)));
    } else if (r.RubiStart > S + L) {
      share = share.substr(0, static_cast<size_t>(RubyCut(share, n, S + L - b)));
    }
    if (share.empty()) continue;
    const int32_t c1 = column(std::max(b - S + 1, 1)), c2 = column(std::min(b - S + n, L));
    if (c2 < c1) continue;
    TIntegers base;
    for (int32_t col = c1; col <= c2; ++col) base.push_back(Ext(col, col));
    const int32_t t = Ext(c1, c2);
    TIntegers adv = RubyAdvances(static_cast<int32_t>(share.size()), base, h);
    int32_t B = 0;
    for (int32_t v : adv) B += v;
    int32_t along = p.TextStart + Off(c1) - (B - t) / 2;
    along = std::max(along, lastEnd + 1);
    lastEnd = along + B;
    TRect box;
    if (FG.Vertical) {
      int32_t right = p.Row.Left + H + h + 2;
      if (FStyle.ViewInfo(TEditorStyle::viGapLine)->IsEnabled() && FStyle.Editor().GapLineStyle == 1) {
        const int32_t a = p.Row.Left + H + 1 + 2 * FG.GridInset;
        right = p.Row.Right - Round((p.Row.Right - a - h) * 0.5);
      }
      box = TRect{right - h, along, right, along + B};
      c.TextOut(right, along, share, adv.data(), &box);
    } else {
      int32_t top = p.Row.Bottom - H - h - 2;
      if (FStyle.ViewInfo(TEditorStyle::viGapLine)->IsEnabled() && FStyle.Editor().GapLineStyle == 1) {
        const int32_t e = p.Row.Bottom - H - 1 - 2 * FG.GridInset;
        top = p.Row.Top + Round((e - p.Row.Top - h) * 0.5);
      }
      box = TRect{along, top, along + B, top + h};
      c.TextOut(along, top, share, adv.data(), &box);
    }
    if (vi->Decorate() > 0) {
      if (FG.Vertical) ElementLine(c, TEditorStyle::viRubi, TPoint{box.Left, box.Top}, TPoint{box.Left, box.Bottom});
      else ElementLine(c, TEditorStyle::viRubi, TPoint{box.Left, box.Bottom}, TPoint{box.Right, box.Bottom});
    }
  }
}

void TEditorPainter::PaintEmphasis(TCanvas& c, const TRowPlace& p, int32_t k) const {
  const TDisplayLine& info = FLines.Info(k);
  const std::string& text = FLines[info.LineIndex];
  const TBotenInfos all = FindBotens(text);
  if (all.empty()) return;
  const int32_t S = info.Start, L = info.Length, H = FG.FontHeight;
  TIntegers columns;
  FLines.RowByteColumns(k, columns);
  if (columns.empty()) return;
  const bool grid = FStyle.ViewInfo(TEditorStyle::viGapLine)->IsEnabled() && FStyle.Editor().GapLineStyle == 1;
  const TViewInfo* vi = FStyle.ViewInfo(TEditorStyle::viBoten);
  for (const TBotenInfo& bi : all) {
    const bool firstIn = bi.Start >= S && bi.Start <= S + L - 1, lastIn = bi.End >= S && bi.End <= S + L - 1;
    if (!firstIn && !lastIn) continue;
    const int32_t first = std::max(bi.Start, S), last = std::min(bi.End, S + L - 1);
    const int32_t col = columns[static_cast<size_t>(first - S)];
    const int32_t n = last - first + 1;
    const int32_t m0 = Ext(col, col + 1);
    if (bi.Kind >= 8) {
      // side lines along the text
      const int32_t z = Round(2 * FG.Zoom);
      const int32_t from = p.TextStart + Off(col) + z, to = p.TextStart + Off(col + n) - z;
      const int32_t w = std::max(1, Round(vi->LineWidth() > 0 ? vi->LineWidth() : 1));
      c.SetPen(TPen{TPenStyle::Solid, w, vi->DecorateColor()});
      for (int line = 0; line < (bi.Kind == 9 ? 2 : 1); ++line) {
        const int32_t off = line * std::max(2, 2 * w);
        if (FG.Vertical) {
          const int32_t x = p.Row.Left + H + 1 + Round(w / 2.0) + z + off;
          c.Line(x, from, x, to);
        } else {
          const int32_t y = p.Row.Bottom - Round(w / 2.0) - 1 + off;
          c.Line(from, y, to, y);
        }
      }
      continue;
    }
    const bool dots = bi.Kind == 0 || bi.Kind == 7;
    const int32_t mh = dots ? H : std::max(1, Round(H * 0.3));
    const int32_t F = dots ? Round(0.35 * mh) : Round(0.95 * mh);
    std::string marks;
    for (int32_t i = 0; i < n / 2; ++i) marks += EmphasisMark(bi.Kind);
    if (marks.empty()) continue;
    TIntegers adv(marks.size(), FG.CellPitch);
    for (size_t i = 0; i < adv.size(); ++i) adv[i] = FG.CellPitchAt(col - 1 + static_cast<int32_t>(i));
    if (FStyle.Editor().ProportionalFont) {
      // each mark at its character's centre
      for (size_t j = 0; 2 * j + 1 < adv.size(); ++j) {
        const int32_t cj = col + 2 * static_cast<int32_t>(j);
        adv[2 * j] = Round(Ext(cj, cj + 1) / 2.0) + Round(Ext(cj + 2, cj + 3) / 2.0);
        adv[2 * j + 1] = 0;
      }
    }
    int32_t J = 0;
    for (int32_t v : adv) J += v;
    TCanvasFont f = FontOf(TEditorStyle::viBoten, mh, FG.Vertical);
    f.Style = dots || FStyle.Editor().AntiArius == 4 ? static_cast<uint8_t>(f.Style | fsBold) : static_cast<uint8_t>(f.Style & ~fsBold);
    const int32_t start = p.TextStart + Off(col) + Round((m0 - F) * 0.4);
    auto draw = [&](const std::string& s, const TCanvasFont& font, int32_t dx, int32_t dy, const TRect& clip) {
      c.SetFont(font);
      if (FG.Vertical) c.TextOut(clip.Right + dx, start + dy, s, adv.data(), &clip);
      else c.TextOut(clip.Left + dx, clip.Top + dy - (dots ? mh - F : 0), s, adv.data(), &clip);
    };
    TRect clip;
    if (FG.Vertical) {
      int32_t x0 = p.Row.Left + H + 1, x1 = x0 + F + 1;
      if (grid) {
        x0 = p.Row.Left + H + 1 + 2 * FG.GridInset;
        x1 = p.Row.Right - Round((p.Row.Right - x0 - F) * 0.6);
      }
      clip = TRect{x0, start, x1, start + J};
      // vertical text is drawn from its column's right edge: the marks' column ends at x1
      c.SetFont(f);
      c.TextOut(x1, start, marks, adv.data(), &clip);
    } else {
      const int32_t e = p.Row.Bottom - H - 1 - (grid ? 2 * FG.GridInset : 0);
      const int32_t y = grid ? p.Row.Top + Round((e - p.Row.Top - F) * 0.6) : e - mh - 1;
      // the dots of kinds 0 and 7 keep only their lowest F pixels
      clip = TRect{start, dots ? y + mh - F : y, start + J, y + mh};
      c.SetFont(f);
      c.TextOut(start, y, marks, adv.data(), &clip);
    }
    if (bi.Kind == 6 || bi.Kind == 7) {
      const int32_t d = bi.Kind == 6 ? (mh <= 16 ? 1 : mh <= 24 ? 2 : 3) : (mh <= 16 ? 2 : mh <= 24 ? 3 : 4);
      TCanvasFont o = f;
      o.Height = std::max(1, mh - 2 * d);
      std::string over;
      for (int32_t i = 0; i < n / 2; ++i) over += bi.Kind == 6 ? SJ("●") : SJ("、");
      if (bi.Kind == 7) {
        o.Style = static_cast<uint8_t>(o.Style & ~fsBold);
        o.Color = FStyle.ViewInfo(TEditorStyle::viNormal)->BackColor();
      }
      int32_t dx, dy;
      if (bi.Kind == 6) {
        dx = FG.Vertical ? -d : d;
        dy = d;
      } else if (FG.Vertical) {
        dx = -Round(0.22 * d);
        dy = Round(0.22 * d);
      } else {
        dx = Round(0.6 * d);
        dy = Round(1.7 * d);
      }
      draw(over, o, dx, dy, clip);
    }
  }
}

void TEditorPainter::PaintNotes(TCanvas& c, const TRowPlace& p, int32_t k, RLineStatus& st) const {
  const std::string piece = FLines.RowText(k);
  const TPoints notes = FindNotes(piece);
  if (notes.empty()) return;
  TIntegers columns;
  FLines.RowByteColumns(k, columns);
  if (columns.empty()) return;
  const int32_t m = ElementFontPx(TEditorStyle::viFootNoteMark), H = FG.FontHeight;
  const bool grid = FStyle.ViewInfo(TEditorStyle::viGapLine)->IsEnabled() && FStyle.Editor().GapLineStyle == 1;
  const int32_t inset = grid ? FG.GridInset : 0;
  const TViewInfo* vi = FStyle.ViewInfo(TEditorStyle::viFootNoteMark);
  st.Notes.clear();
  for (const TPoint& note : notes) {
    const int32_t col = columns[static_cast<size_t>(std::clamp(note.X, 1, static_cast<int32_t>(columns.size())) - 1)];
    TRect sq;
    if (FG.Vertical) {
      const int32_t x = p.Row.Left + H + 1 + inset, y = p.TextStart + Off(col);
      sq = TRect{x, y, x + m, y + m};
    } else {
      const int32_t x = p.TextStart + Off(col), y = p.Row.Bottom - H - m - 1 - inset;
      sq = TRect{x, y, x + m, y + m};
    }
    c.SetFont(FontOf(TEditorStyle::viFootNoteMark, m, FG.Vertical));
    if (FG.Vertical) c.TextOut(sq.Right, sq.Top, SJ("＊"), nullptr, &sq);
    else c.TextOut(sq.Left, sq.Top, SJ("＊"), nullptr, &sq);
    if (vi->Decorate() > 0) ElementLine(c, TEditorStyle::viFootNoteMark, TPoint{sq.Left, sq.Bottom}, TPoint{sq.Right, sq.Bottom});
    st.Notes.push_back(TRect{sq.Left - 4, sq.Top - 4, sq.Right + 4, sq.Bottom + 4});
  }
}

// ---- Caret ---------------------------------------------------------------------------------

TRect TEditorPainter::CaretRect(TPoint origin, int32_t pageFirst, bool overwrite) const {
  const TPoint caret = FState.Caret;
  const TRowPlace p = Shift(FG.PlaceRow(caret.Y, pageFirst), origin, FG.Vertical);
  int32_t cells = 0;
  if (overwrite) {
    const std::string text = FLines.DisplayText(caret.Y);
    const size_t i = static_cast<size_t>(std::max(0, caret.X - 1));
    cells = i < text.size() ? static_cast<int32_t>(CharLenAt(text, i)) : 1;
  }
  if (!FStyle.Editor().ProportionalFont) return FG.CaretRect(p, caret.X, FStyle.Editor().BigCaret, cells);
  RLineStatus st;
  MakeStatus(caret.Y, st);
  return FG.CaretRect(p, caret.X, FStyle.Editor().BigCaret, cells, &st.Offsets);
}

}  // namespace kaede
