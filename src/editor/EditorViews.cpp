#include "EditorViews.h"

#include <algorithm>
#include <cctype>

#include "Cp932.h"
#include "Strs.h"

namespace kaede {

namespace {
bool StartsWithNoCase(const std::string& s, const char* prefix) {
  const size_t n = std::char_traits<char>::length(prefix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

TRect Union(const TRect& a, const TRect& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}
}  // namespace

bool OpenableUrl(const std::string& url) {
  return (StartsWithNoCase(url, "http://") && url.size() > 7) || (StartsWithNoCase(url, "https://") && url.size() > 8) ||
         (StartsWithNoCase(url, "mailto:") && url.size() > 7);
}

std::string MailUrl(const std::string& mail) { return StartsWithNoCase(mail, "mailto:") ? mail : "mailto:" + mail; }

TEditorView::TEditorView(TEditorStyle* style, std::function<TBaseStyle*()> styleFactory)
    : TBaseView(style, styleFactory ? std::move(styleFactory) : [] { return static_cast<TBaseStyle*>(new TEditorStyle()); }),
      FCore(this) {
  FCore.Documents().AssignStyle(EditorStyle());
  OnDblClick = [this] { HandleDoubleClick(); };
}

TEditorView::~TEditorView() { FCore.SetHost(nullptr); }

// ---- Layout --------------------------------------------------------------------------------

int32_t TEditorView::NormalFontPx() const {
  const TFontRecord& f = EditorStyle().ViewInfo(TEditorStyle::viNormal)->Font();
  const TPageMetrics& m = PageMetrics();
  if (Printing() || Measuring()) return PointsToPixels(f.Size > 0 ? f.Size : 9, m.PageDpi);
  return std::max(1, RoundHalfEven(PointsToPixels(f.Size > 0 ? f.Size : 9, m.ScreenDpi) * Zoom()));
}

TEditorLayoutInput TEditorView::LayoutInput() const {
  TEditorLayoutInput in;
  in.Width = ContentBox().Width;
  in.Height = ContentBox().Height;
  in.Zoom = Zoom();
  in.PaperShown = EditorStyle().PaperVisible();
  in.Length = [this](double v) { return LengthToPixels(v); };
  in.FontHeight = NormalFontPx();
  // an automatic size (0) is the default 9 points
  auto points = [this](int no) { const int32_t s = EditorStyle().ViewInfo(no)->Font().Size; return s > 0 ? s : 9; };
  in.LineInfoFontHeight = std::max(
      1, RoundHalfEven(static_cast<double>(points(TEditorStyle::viLineInfo)) * in.FontHeight / points(TEditorStyle::viNormal)));
  in.LineInfoDigits = Lines().LineInfoDigits();
  return in;
}

void TEditorView::ConfigureStore(const TEditorGeometry& g, int32_t dpi) {
  const TEditorStyle& st = EditorStyle();
  if (!FMeasure || FMeasureDpi != dpi) {
    FMeasure = Surfaces().MeasureCanvas(dpi);
    FMeasureDpi = dpi;
  }
  FMeasure->SetFont(CanvasFont(st.ViewInfo(TEditorStyle::viNormal)->Font(), g.FontHeight, dpi, g.Vertical));
  // the hanging reserve of proportional lines: the width of a full stop
  const int32_t hang = FMeasure->TextWidth(SJ("。"));
  const TTextMetrics* metrics = &FMeasure->Metrics();
  const int32_t cells = g.StoreCells(st), width = g.StoreLineWidth(st, hang);
  TEditList& l = Lines();
  const bool changed = l.Columns != cells || l.LineWidth != width || l.FontHeight != g.FontHeight ||
                       l.Spacing != g.Spacing || l.Metrics != metrics;
  if (changed) FCore.Documents().SetGeometry(metrics, g.FontHeight, width, cells, g.Spacing);
  const bool always = st.Editor().ProportionalFont && st.Editor().ColumnCountAuto;
  if ((changed || l.NeedsLayout() || always) && !FSelecting) {
    // the caret and the selection stay at their text
    const TEditorCore::TLogicalPlace place = FCore.SaveLogical();
    l.Relayout();
    FCore.RestoreLogical(place);
    ++FVersion;
  }
}

void TEditorView::Arrange(const TRect& rect) {
  TBaseView::Arrange(rect);
  const TEditorStyle& st = EditorStyle();
  const bool paper = st.PaperVisible();
  if (paper && !Printing() && !Measuring()) {
    // a reference pass in the printer's metrics decides the cells and rows, so that the
    // screen breaks lines and pages where the print does
    SetMeasuring(true);
    TBaseView::Arrange(rect);
    FRefGeometry.Compute(st, LayoutInput(), nullptr, &FReference);
    ConfigureStore(FRefGeometry, PageMetrics().PageDpi);
    SetMeasuring(false);
    TBaseView::Arrange(rect);
    FGeometry.Compute(st, LayoutInput(), &FReference);
  } else if (paper) {
    FGeometry.Compute(st, LayoutInput(), nullptr, &FReference);
    FRefGeometry = FGeometry;
    ConfigureStore(FGeometry, PageMetrics().PageDpi);
  } else {
    FGeometry.Compute(st, LayoutInput());
    ConfigureStore(FGeometry, Printing() ? PageMetrics().PageDpi : PageMetrics().ScreenDpi);
    const int32_t g = FGeometry.CellPitch, h = FGeometry.LinePitch;
    FScrollStep = FGeometry.Vertical ? TPoint{h, 2 * g} : TPoint{2 * g, h};
  }
  const int32_t lines = std::max(1, FGeometry.LinesPerPage);
  SetPageCount(paper ? (Lines().DisplayCount() + lines - 1) / lines : 1);
  ++FVersion;
}

TPoint TEditorView::GetExtent() {
  if (EditorStyle().PaperVisible()) return TBaseView::GetExtent();
  const TEditorGeometry& g = FGeometry;
  const TEditorValues& e = EditorStyle().Editor();
  int32_t cells = g.Cells;
  if (!e.ColumnCountAuto) cells = e.ColumnCount == 0 ? Lines().LongestLine() : e.ColumnCount;
  int64_t along = static_cast<int64_t>(g.Partitions) * (static_cast<int64_t>(cells) * g.CellPitch + g.PartitionGap) +
                  g.Margin + g.TextLeft - (g.Partitions > 1 ? g.PartitionGap : 0);
  int64_t across = static_cast<int64_t>(Lines().DisplayCount()) * g.LinePitch;
  along = std::min<int64_t>(along, INT32_MAX / 2);
  across = std::min<int64_t>(across, INT32_MAX / 2);
  return g.Vertical ? TPoint{static_cast<int32_t>(across), static_cast<int32_t>(along)}
                    : TPoint{static_cast<int32_t>(along), static_cast<int32_t>(across)};
}

void TEditorView::ApplyStyle() {
  TBaseView::ApplyStyle();
  FCore.Documents().AssignStyle(EditorStyle());
  // the page limit: the paper view marks the sheet after it with the limit's divider
  const int32_t maxPages = EditorStyle().Editor().MaxPageCount;
  MarkSheet = maxPages > 0 ? maxPages / std::max(1, EditorStyle().PagesPerSheet()) : -1;
  MarkLine = maxPages > 0 ? EditorStyle().ViewInfo(TEditorStyle::viMaxPageDivideLine) : nullptr;
  ++FVersion;
}

bool TEditorView::PagesInUse() const {
  return EditorStyle().Editor().LineCountInPage > 0 || EditorStyle().PaperVisible();
}

void TEditorView::CheckPageCount() {
  if (!EditorStyle().PaperVisible()) {
    if (OnExtentChange) {
      FExtent = GetExtent();
      FScrollLimit = {std::max(0, FExtent.X - FScrollStep.X), std::max(0, FExtent.Y - FScrollStep.Y)};
      OnExtentChange();
    }
    return;
  }
  const int32_t lines = std::max(1, FGeometry.LinesPerPage);
  const int32_t pages = (Lines().DisplayCount() + lines - 1) / lines;
  if (std::max(1, pages) != TBaseView::PageCount()) {
    Resize();
    Invalidate();
  }
}

// ---- Positions on screen -------------------------------------------------------------------

int32_t TEditorView::PageFirstLine(int32_t page) const {
  if (EditorStyle().PaperVisible()) return page * std::max(1, FGeometry.LinesPerPage);
  const int32_t h = std::max(1, FGeometry.LinePitch);
  return std::max(0, (FGeometry.Vertical ? -Offset().X : -Offset().Y) / h);
}

bool TEditorView::RowPage(int32_t k, TRect& content, int32_t& pageFirst) const {
  if (k < 0) return false;
  if (!EditorStyle().PaperVisible()) {
    pageFirst = PageFirstLine(0);
    if (k < pageFirst || k >= pageFirst + FGeometry.LinesPerPage) return false;
    const TPoint o = Offset();
    content = FGeometry.Vertical ? TRect{0, o.Y, ClientWidth(), o.Y + ClientHeight()}
                                 : TRect{o.X, 0, o.X + ClientWidth(), ClientHeight()};
    return true;
  }
  const int32_t perPage = std::max(1, FGeometry.LinesPerPage);
  const int32_t page = k / perPage;
  if (page < FirstPage() || page > LastPage()) return false;
  const int32_t sheet = page / std::max(1, EditorStyle().PagesPerSheet());
  const TRect sheetRect = SheetRect(sheet);
  content = ContentRect(PageRect(page, PaperAreaRect(sheetRect)));
  pageFirst = page * perPage;
  return true;
}

TRect TEditorView::RowViewRect(int32_t k) const {
  TRect content;
  int32_t first = 0;
  if (!RowPage(k, content, first)) return TRect{};
  TRowPlace p = FGeometry.PlaceRow(k, first);
  return OffsetRect(p.Row, content.Left, content.Top);
}

TRect TEditorView::CaretViewRect() const { return CaretViewRectAt(FCore.Caret()); }

TRect TEditorView::CaretViewRectAt(TPoint pos) const {
  TRect content;
  int32_t first = 0;
  if (!RowPage(pos.Y, content, first)) return TRect{};
  TEditorPaintState s = PaintState();
  s.Caret = pos;
  TEditorPainter painter(EditorStyle(), Lines(), FGeometry, s);
  return painter.CaretRect(TPoint{content.Left, content.Top}, first, pos == FCore.Caret() && FCore.Overwrite());
}

TRect TEditorView::InputRect() const {
  // While composing, the input method's cursor inside the composition (the start of the
  // phrase being converted) rather than the place the composition began, so that the
  // candidates stand by the phrase they are for.
  const int32_t n = static_cast<int32_t>(FPreedit.size());
  const TPoint at = FPreedit.empty() ? FCore.Caret() : PreeditPosition(FPreeditCursor < 0 ? 0 : FPreeditCursor);
  const TRect r = CaretViewRectAt(at);
  if (!FGeometry.Vertical || IsEmptyRect(r)) return r;
  // in vertical writing the column's width, down the column over the rest of the composition
  // in this column, so that the candidates open below it and cover none of it
  const TRowPlace p = FGeometry.PlaceRow(at.Y, 0);
  const int32_t band = p.Band.Right - p.Band.Left;
  int32_t bottom = r.Bottom;
  if (!FPreedit.empty()) {
    const TPoint end = PreeditPosition(n);
    if (end.Y == at.Y) {
      const TRect e = CaretViewRectAt(end);
      if (!IsEmptyRect(e)) bottom = std::max(bottom, e.Bottom);
    } else {
      const TRect row = RowViewRect(at.Y);
      if (!IsEmptyRect(row)) bottom = std::max(bottom, row.Bottom);
    }
  }
  return TRect{r.Right - band, r.Top, r.Right, bottom};
}

bool TEditorView::CaretShown() const { return FFocused && FPreedit.empty() && !FCore.ReadOnly(); }

void TEditorView::SetCaretPhase(bool on) {
  if (on == FCaretOn) return;
  FCaretOn = on;
  InvalidateRect(CaretViewRect());
}

void TEditorView::SetFocused(bool focused) {
  if (focused == FFocused) return;
  FFocused = focused;
  FCaretOn = true;
  InvalidateRect(CaretViewRect());
}

void TEditorView::RemovePreedit() {
  if (FPreedit.empty()) return;
  TEditList& l = Lines();
  const bool modified = l.Modified();
  const TEditorCore::TLogicalPlace place = FCore.SaveLogical();
  l.ReplaceText(FPreeditFrom, TEditList::EndOfText(FPreeditFrom, FPreedit), std::string());
  FPreedit.clear();
  FPreeditSegments.clear();
  FPreeditCursor = -1;
  FCore.RestoreLogical(place);
  if (!modified) l.SetModified(false);
}

void TEditorView::SetPreedit(const std::string& text, const std::vector<TPreeditSegment>& segments, int32_t cursor) {
  if (text == FPreedit && cursor == FPreeditCursor && segments.size() == FPreeditSegments.size() &&
      std::equal(segments.begin(), segments.end(), FPreeditSegments.begin(), [](const TPreeditSegment& a, const TPreeditSegment& b) {
        return a.Start == b.Start && a.Length == b.Length && a.Focused == b.Focused;
      }))
    return;
  RemovePreedit();
  if (!text.empty() && !FCore.ReadOnly()) {
    // into the line store alone, past the core: no undo step, no change of the document
    TEditList& l = Lines();
    const bool modified = l.Modified();
    const TEditorCore::TLogicalPlace place = FCore.SaveLogical();
    FPreeditFrom = l.ToLogical(FCore.Caret());
    l.ReplaceText(FPreeditFrom, FPreeditFrom, text);
    FCore.RestoreLogical(place);
    if (!modified) l.SetModified(false);
    FPreedit = text;
    const int32_t n = static_cast<int32_t>(text.size());
    for (TPreeditSegment seg : segments) {
      seg.Start = std::clamp(seg.Start, 0, n);
      seg.Length = std::clamp(seg.Length, 0, n - seg.Start);
      if (seg.Length > 0) FPreeditSegments.push_back(seg);
    }
    FPreeditCursor = cursor < 0 ? -1 : std::min(cursor, n);
  }
  ++FVersion;
  CheckPageCount();
  Invalidate();
}

std::string TEditorView::CommittedLine(int32_t line) const {
  std::string text = Lines()[line];
  if (!FPreedit.empty() && line == FPreeditFrom.Y && FPreeditFrom.X - 1 <= static_cast<int32_t>(text.size()))
    text.erase(static_cast<size_t>(FPreeditFrom.X - 1), FPreedit.size());
  return text;
}

std::string TEditorView::Text() const {
  if (FPreedit.empty()) return FCore.Text();
  std::string text;
  for (int32_t i = 0; i < Lines().Count(); ++i) {
    if (i > 0) text += "\r\n";
    text += CommittedLine(i);
  }
  return text;
}

TPoint TEditorView::PreeditPosition(int32_t offset) const {
  return Lines().ToDisplay(FPreeditFrom.X + offset, FPreeditFrom.Y);
}

// ---- Painting ------------------------------------------------------------------------------

TEditorPaintState TEditorView::PaintState() const {
  TEditorPaintState s;
  s.Caret = FCore.Caret();
  s.ReadOnly = FCore.ReadOnly();
  s.HasSelection = FCore.HasSelection();
  s.Box = FCore.Selection().Box;
  const T2Caret sel = FCore.SelectionRange();
  s.SelStart = sel.Start;
  s.SelEnd = sel.End;
  for (const TPreeditSegment& seg : FPreeditSegments)
    if (seg.Focused && !Printing()) {
      // the phrase being converted stands out as a selection does
      s.HasSelection = true;
      s.Box = false;
      s.SelStart = PreeditPosition(seg.Start);
      s.SelEnd = PreeditPosition(seg.Start + seg.Length);
    }
  s.FindText = FCore.FindText;
  s.IgnoreCase = Lines().IgnoreCase;
  s.Printing = Printing();
  s.Dpi = Printing() ? PageMetrics().PageDpi : PageMetrics().ScreenDpi;
  const TEditorCore* core = &FCore;
  s.Marked = [core](int32_t line) { return core->IsMarked(line); };
  s.Metrics = FMeasure ? &FMeasure->Metrics() : nullptr;
  if (EditorStyle().PaperVisible() && !Printing()) {
    s.ReferenceFontHeight = FRefGeometry.FontHeight;
    s.ReferenceSpacing = FRefGeometry.Spacing;
  }
  return s;
}

void TEditorView::DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip) {
  TCanvas& c = Canvas();
  FillClipped(c, contentRect, clip, EditorStyle().ViewInfo(TEditorStyle::viNormal)->BackColor());
  const TEditorPaintState s = PaintState();
  TEditorPainter painter(EditorStyle(), Lines(), FGeometry, s);
  const int32_t first = PageFirstLine(page);
  TPoint origin{contentRect.Left, contentRect.Top};
  if (!EditorStyle().PaperVisible()) {
    // without paper the text scrolls along the lines; across, whole lines at a time
    const TPoint o = Offset();
    origin = FGeometry.Vertical ? TPoint{contentRect.Left, contentRect.Top + o.Y} : TPoint{contentRect.Left + o.X, contentRect.Top};
  }
  c.SetClipRect(IntersectRects(contentRect, clip));
  painter.PaintPage(c, origin, first, Printing() ? nullptr : &FStatuses, FVersion);
  const int32_t caretRow = FCore.Caret().Y;
  if (!Printing() && caretRow >= first && caretRow < first + FGeometry.LinesPerPage)
    DrawCaret(c, TRect{origin.X, origin.Y, contentRect.Right, contentRect.Bottom}, first);
  c.ResetClip();
}

void TEditorView::DrawCaret(TCanvas& c, const TRect& content, int32_t pageFirst) {
  const TEditorStyle& st = EditorStyle();
  const TPoint origin{content.Left, content.Top};
  const TEditorPaintState s = PaintState();
  TEditorPainter painter(st, Lines(), FGeometry, s);
  if (!FPreedit.empty()) {
    DrawPreedit(c, origin, pageFirst);
    return;
  }
  if (!CaretShown() || !FCaretOn) return;
  const TViewInfo* caret = st.ViewInfo(TEditorStyle::viCaret);
  const TColor color = caret->IsEnabled() ? caret->DecorateColor() : st.ViewInfo(TEditorStyle::viNormal)->TextColor();
  c.SetBrush(TBrush{TBrushStyle::Solid, color});
  c.FillRect(painter.CaretRect(origin, pageFirst, FCore.Overwrite()));
}

void TEditorView::DrawPreedit(TCanvas& c, const TPoint& origin, int32_t pageFirst) {
  // The preedit is painted with the text it stands in; over it go a line along its rows
  // (thick under the focused segment, whose cells are painted as selected) and the input
  // method's cursor.
  const TEditorStyle& st = EditorStyle();
  const TEditorPaintState base = PaintState();
  auto placeAt = [&](TPoint pos) {
    TEditorPaintState s = base;
    s.Caret = pos;
    return TEditorPainter(st, Lines(), FGeometry, s).CaretRect(origin, pageFirst, false);
  };
  const TColor ink = st.ViewInfo(TEditorStyle::viNormal)->TextColor();
  auto underline = [&](int32_t from, int32_t to, int32_t width) {
    const TPoint a = PreeditPosition(from), b = PreeditPosition(to);
    for (int32_t row = a.Y; row <= b.Y; ++row) {
      if (row < pageFirst || row >= pageFirst + FGeometry.LinesPerPage) continue;
      const TPoint start{row == a.Y ? a.X : 1, row};
      const TPoint end{row == b.Y ? b.X : Lines().RowEndColumn(row), row};
      const TRect r0 = placeAt(start), r1 = placeAt(end);
      const TRect band = OffsetRect(FGeometry.PlaceRow(row, pageFirst).Band, origin.X, origin.Y);
      c.SetBrush(TBrush{TBrushStyle::Solid, ink});
      if (FGeometry.Vertical) c.FillRect(TRect{band.Left, r0.Top, band.Left + width, std::max(r0.Top + 1, r1.Top)});
      else c.FillRect(TRect{r0.Left, band.Bottom - width, std::max(r0.Left + 1, r1.Left), band.Bottom});
    }
  };
  const int32_t n = static_cast<int32_t>(FPreedit.size());
  underline(0, n, 1);
  for (const TPreeditSegment& seg : FPreeditSegments)
    if (seg.Focused) underline(seg.Start, seg.Start + seg.Length, std::max(2, FGeometry.FontHeight / 12));
  if (FPreeditCursor >= 0 && FCaretOn) {
    const TRect bar = placeAt(PreeditPosition(FPreeditCursor));
    c.SetBrush(TBrush{TBrushStyle::Solid, ink});
    c.FillRect(bar);
  }
}

// ---- Editor host ---------------------------------------------------------------------------

void TEditorView::ScrollLines(int32_t lines) {
  const int32_t d = lines * FGeometry.LinePitch;
  if (EditorStyle().PaperVisible()) ScrollBy(FGeometry.Vertical ? d : 0, FGeometry.Vertical ? 0 : -d);
  else ScrollBy(FGeometry.Vertical ? -d : 0, FGeometry.Vertical ? 0 : -d);
}

void TEditorView::ScrollPages(int32_t pages) {
  if (EditorStyle().PaperVisible()) {
    const bool tileVertical = EditorStyle().Base().PaperTileVertical;
    const int32_t step = (tileVertical ? PaperBox().Height : PaperBox().Width) + 8;
    if (tileVertical) ScrollBy(0, -pages * step);
    else ScrollBy(-pages * step, 0);
    return;
  }
  ScrollLines(pages * std::max(1, FGeometry.LinesPerPage));
}

void TEditorView::ShowCaret() {
  const int32_t row = FCore.Caret().Y;
  if (!EditorStyle().PaperVisible()) {
    const int32_t first = PageFirstLine(0), perPage = std::max(1, FGeometry.LinesPerPage);
    int32_t target = first;
    if (row < first) target = row;
    else if (row >= first + perPage) target = row - perPage + 1;
    if (target != first) {
      const int32_t off = -target * FGeometry.LinePitch;
      SetOffset(FGeometry.Vertical ? TPoint{off, Offset().Y} : TPoint{Offset().X, off});
    }
    // along a line longer than the window
    const TRect c = CaretViewRect();
    if (IsEmptyRect(c)) return;
    const int32_t a0 = FGeometry.Vertical ? c.Top : c.Left, a1 = FGeometry.Vertical ? c.Bottom : c.Right;
    const int32_t size = FGeometry.Vertical ? ClientHeight() : ClientWidth();
    const int32_t scrolled = FGeometry.Vertical ? Offset().Y : Offset().X;
    int32_t d = 0;
    if (a1 - scrolled <= size) d = -scrolled;  // the start of the line shows the caret: no scroll
    else if (a0 < 0) d = -a0 + 2 * FGeometry.CellPitch;
    else if (a1 > size) d = size - a1 - 2 * FGeometry.CellPitch;
    if (d != 0) ScrollBy(FGeometry.Vertical ? 0 : d, FGeometry.Vertical ? d : 0);
    return;
  }
  // bring the caret's page into view first, then the caret inside it
  const int32_t page = row / std::max(1, FGeometry.LinesPerPage);
  if (page < FirstPage() || page > LastPage()) {
    const int32_t sheet = page / std::max(1, EditorStyle().PagesPerSheet());
    const TRect r = SheetRect(sheet);
    if (EditorStyle().Base().PaperTileVertical) ScrollBy(0, 8 - r.Top);
    else ScrollBy(8 - r.Left, 0);
  }
  const TRect c = CaretViewRect();
  if (IsEmptyRect(c)) return;
  int32_t dx = 0, dy = 0;
  if (c.Top < 0) dy = -c.Top + 8;
  else if (c.Bottom > ClientHeight()) dy = ClientHeight() - c.Bottom - 8;
  if (c.Left < 0) dx = -c.Left + 8;
  else if (c.Right > ClientWidth()) dx = ClientWidth() - c.Right - 8;
  if (dx || dy) ScrollBy(dx, dy);
}

void TEditorView::TextChanged(int32_t firstRow, int32_t lastRow) {
  ++FVersion;
  CheckPageCount();
  // an edit that reaches the last line, or changes the number of lines, leaves rows after the
  // text that showed lines before: they are drawn again too
  const int32_t count = Lines().DisplayCount();
  if (lastRow < 0 || lastRow >= count - 1 || count != FDrawnCount)
    lastRow = std::max(count, FDrawnCount) + std::max(1, FGeometry.LinesPerPage);
  FDrawnCount = count;
  // the rows on the pages shown, as one rectangle per page
  TRect dirty{};
  int32_t shown = 0;
  for (int32_t k = std::max(0, firstRow); k <= lastRow && shown < 4 * std::max(1, FGeometry.LinesPerPage); ++k) {
    const TRect r = RowViewRect(k);
    if (IsEmptyRect(r)) {
      if (shown > 0 && !EditorStyle().PaperVisible()) break;
      if (k > firstRow + 4 * std::max(1, FGeometry.LinesPerPage)) break;
      continue;
    }
    ++shown;
    dirty = Union(dirty, r);
  }
  if (!IsEmptyRect(dirty)) {
    // the line-number margin and the marks beside a row belong to it too
    InvalidateRect(dirty);
  }
  if (OnChange) OnChange();
}

void TEditorView::CaretMoved() {
  ++FVersion;
  const int32_t row = FCore.Caret().Y;
  InvalidateRect(RowViewRect(FLastCaretRow));
  InvalidateRect(RowViewRect(row));
  if (FCore.HasSelection() || FCore.Selection().Has) Invalidate();
  FLastCaretRow = row;
  FCaretOn = true;
  if (OnCaretMove) OnCaretMove();
}

// ---- Keys ----------------------------------------------------------------------------------

int32_t TEditorView::KeyToCommand(int32_t key, TShiftState shift) {
  const int32_t base = TBaseView::KeyToCommand(key, shift);
  if (base != vcNone) return base;
  TEditorKey k = TEditorKey::None;
  char letter = 0;
  switch (key) {
    case vkLeft: k = TEditorKey::Left; break;
    case vkRight: k = TEditorKey::Right; break;
    case vkUp: k = TEditorKey::Up; break;
    case vkDown: k = TEditorKey::Down; break;
    case vkHome: k = TEditorKey::Home; break;
    case vkEnd: k = TEditorKey::End; break;
    case vkPrior: k = TEditorKey::PageUp; break;
    case vkNext: k = TEditorKey::PageDown; break;
    case vkBack: k = TEditorKey::Backspace; break;
    case vkDelete: k = TEditorKey::Delete; break;
    case vkInsert: k = TEditorKey::Insert; break;
    default:
      if (key == vkF1 + 2) k = TEditorKey::F3;
      else if (key >= 'A' && key <= 'Z') k = TEditorKey::Letter, letter = static_cast<char>(key);
      break;
  }
  if (k == TEditorKey::None) return vcNone;
  const TKeyState state{(shift & ssShift) != 0, (shift & ssCtrl) != 0, (shift & ssAlt) != 0};
  const TEditorCommand cmd = FCore.KeyToCommand(k, state, letter);
  if (cmd == TEditorCommand::None) return vcNone;
  return kEditorCommandBase + static_cast<int32_t>(cmd) * 2 + (state.Shift ? 1 : 0);
}

bool TEditorView::ExecuteCommand(int32_t command) {
  if (command < kEditorCommandBase) return TBaseView::ExecuteCommand(command);
  const int32_t c = command - kEditorCommandBase;
  return FCore.Execute(static_cast<TEditorCommand>(c / 2), (c % 2) != 0);
}

// ---- Mouse ---------------------------------------------------------------------------------

const RLineStatus* TEditorView::PaintedStatus(int32_t row) const {
  if (FStatuses.empty()) return nullptr;
  const RLineStatus& s = FStatuses[static_cast<size_t>(std::max(0, row)) % FStatuses.size()];
  return s.Row == row && s.Version == FVersion ? &s : nullptr;
}

TEditorHit TEditorView::HitText(TPoint pt) const {
  TEditorHit hit;
  const TEditorGeometry& g = FGeometry;
  auto inPage = [&](const TRect& content, int32_t first) {
    const int32_t x = pt.X - content.Left, y = pt.Y - content.Top;
    for (int32_t part = 0; part < static_cast<int32_t>(g.PartitionRects.size()); ++part) {
      const TRect& r = g.PartitionRects[static_cast<size_t>(part)];
      const bool alongIn = g.Vertical ? (y >= r.Top && y < r.Bottom) : (x >= r.Left && x < r.Right);
      if (!alongIn) continue;
      const int32_t index = g.RowIndexAt(r, g.Vertical ? x : y, true);
      if (index < 0) return false;
      int32_t k = first + part * g.RowsPerPartition() + index;
      const int32_t rows = Lines().Infos().Count();
      if (k >= rows) k = rows - 1;
      const TRowPlace p = g.PlaceRow(k, first);
      const int32_t along = g.Vertical ? y : x;
      const int32_t marginStart = p.TextStart - g.TextLeft - g.Margin;
      hit.Found = true;
      if (g.Margin > 0 && along >= marginStart && along < marginStart + g.Margin) {
        hit.Area = eaMargin;
        hit.Position = TPoint{1, k};
        return true;
      }
      // the cells of the row: their states, and their own advances with proportional text
      // (the pointer moves over rows just painted: their states are taken as they are)
      RLineStatus made;
      const RLineStatus* painted = PaintedStatus(k);
      if (!painted) {
        TEditorPaintState s = PaintState();
        TEditorPainter(EditorStyle(), Lines(), g, s).MakeStatus(k, made);
      }
      const RLineStatus& st = painted ? *painted : made;
      const TIntegers* offsets = EditorStyle().Editor().ProportionalFont ? &st.Offsets : nullptr;
      hit.Position = FCore.ValidPosition(TPoint{g.ColumnAt(p, along, offsets), k});
      hit.Area = eaText;
      // what the cell under the point shows
      int32_t cell = 0;
      while (cell < static_cast<int32_t>(st.Columns.size()) && p.TextStart + g.CellOffset(cell + 2, offsets) <= along) ++cell;
      if (cell >= 0 && cell < static_cast<int32_t>(st.Columns.size())) {
        switch (st.Columns[static_cast<size_t>(cell)].Element) {
          case TEditorStyle::viUrl: hit.Area = eaUrl; break;
          case TEditorStyle::viMail: hit.Area = eaMail; break;
          case TEditorStyle::viSelect: hit.Area = eaSelection; break;
          default: break;
        }
      }
      return true;
    }
    return false;
  };
  // a footnote mark as it was last painted (it may stand out of its row)
  for (const RLineStatus& painted : FStatuses)
    for (const TRect& r : painted.Notes)
      if (painted.Row >= 0 && painted.Version == FVersion && PointInRect(r, pt.X, pt.Y)) {
        hit.Found = true;
        hit.Area = eaFootNote;
        hit.Position = FCore.ValidPosition(TPoint{1, painted.Row});
        return hit;
      }
  if (!EditorStyle().PaperVisible()) {
    TRect content;
    int32_t first = PageFirstLine(0);
    const TPoint o = Offset();
    content = g.Vertical ? TRect{0, o.Y, ClientWidth(), o.Y + ClientHeight()} : TRect{o.X, 0, o.X + ClientWidth(), ClientHeight()};
    inPage(content, first);
    return hit;
  }
  const int32_t perSheet = std::max(1, EditorStyle().PagesPerSheet());
  for (int32_t page = FirstPage(); page <= LastPage(); ++page) {
    const TRect content = ContentRect(PageRect(page, PaperAreaRect(SheetRect(page / perSheet))));
    if (!PointInRect(content, pt.X, pt.Y)) continue;
    if (inPage(content, PageFirstLine(page))) break;
  }
  return hit;
}

void TEditorView::MouseDownHook(const TViewMouseEvent& e) {
  // a click places the caret in the document's own text: the composition is committed first,
  // so that it goes in where the user saw it and the click hits the text as it was shown
  if (!FPreedit.empty() && OnCommitComposition) OnCommitComposition();
  SetPreedit(std::string());
  FPressPos = TPoint{e.X, e.Y};
  if (e.Button != TMouseButton::Left) return;
  const TEditorHit hit = HitText(FPressPos);
  if (!hit.Found) return;
  if (hit.Area == eaMargin) {
    const T2Caret row = Lines().SelectUnit(suRow, hit.Position);
    FCore.Select(row.Start, row.End);
    return;
  }
  FSelecting = true;
  FCore.MoveTo(hit.Position, (e.Shift & ssShift) != 0, (e.Shift & ssAlt) != 0);
}

void TEditorView::MouseMoveHook(const TViewMouseEvent& e) {
  const TEditorHit hit = HitText(TPoint{e.X, e.Y});
  if (Host()) {
    int32_t cursor = vcrDefault;
    if (hit.Found) {
      if (hit.Area == eaUrl || hit.Area == eaMail) cursor = vcrHand;
      else if (hit.Area == eaMargin) cursor = vcrReverseArrow;
      else if (hit.Area != eaFootNote) cursor = FGeometry.Vertical ? vcrVerticalIBeam : vcrIBeam;
    }
    Host()->SetCursor(cursor);
  }
  if (!FSelecting || !(e.Shift & ssLeft)) return;
  FBoxSelecting = (e.Shift & ssAlt) != 0;
  // a selection dragged out of the window scrolls it (the paper view's auto-scroll)
  bool accept = false;
  DragOverHook(e.X, e.Y, PointInRect(ClientRect(), e.X, e.Y) ? TDragState::Move : TDragState::Leave, accept);
  if (hit.Found && hit.Area != eaMargin) FCore.MoveTo(hit.Position, true, FBoxSelecting);
}

void TEditorView::MouseUpHook(const TViewMouseEvent&) {
  FSelecting = false;
  StopAutoScroll();
}

void TEditorView::AutoScrollTick() {
  TBaseView::AutoScrollTick();
  if (!FSelecting || !Host()) return;
  // the selection follows the pointer to the edge of the window
  const TPoint p = Host()->PointerPos();
  const TPoint inside{std::clamp(p.X, 0, std::max(0, ClientWidth() - 1)), std::clamp(p.Y, 0, std::max(0, ClientHeight() - 1))};
  const TEditorHit hit = HitText(inside);
  if (hit.Found && hit.Area != eaMargin) FCore.MoveTo(hit.Position, true, FBoxSelecting);
}

void TEditorView::HandleDoubleClick() {
  const TEditorHit hit = HitText(FPressPos);
  if (!hit.Found) return;
  FSelecting = false;
  TEditList& l = Lines();
  if (hit.Area == eaMargin) {
    const T2Caret line = l.SelectUnit(suLine, hit.Position);
    FCore.Select(line.Start, line.End);
    return;
  }
  const TPoint at = l.ToLogical(hit.Position);
  const std::string& text = l[at.Y];
  const int32_t pos = std::min<int32_t>(at.X, static_cast<int32_t>(text.size()));
  if (hit.Area == eaUrl || hit.Area == eaMail) {
    const std::string word = WordAt(text, pos, hit.Area == eaUrl ? 1 : 2);
    const std::string url = hit.Area == eaMail ? MailUrl(word) : word;
    if (OpenableUrl(url) && OnOpenUrl) OnOpenUrl(url);
    return;
  }
  const T2Caret word = l.SelectUnit(suWord, hit.Position);
  if (word.Start != word.End) FCore.Select(word.Start, word.End);
}

}  // namespace kaede
