#include "EditLists.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "CommaText.h"
#include "SheetPrinters.h"

namespace kaede {

// ---- Line breaking -------------------------------------------------------------------------

namespace {

enum : uint8_t { kSingle = 0, kLead = 1, kTrail = 2 };

// The character role of every byte of a line, by 1-based position.
void ScanBytes(const std::string& line, std::vector<uint8_t>& roles) {
  roles.assign(line.size() + 2, kSingle);
  for (size_t i = 0; i < line.size();) {
    if (CharLenAt(line, i) == 2) {
      roles[i + 1] = kLead;
      roles[i + 2] = kTrail;
      i += 2;
    } else {
      ++i;
    }
  }
}

// One line being broken: its bytes, their roles and the notation hidden in it.
class TLineBreaker {
public:
  TLineBreaker(const std::string& line, const TBreakOptions& o, const TMeasure& m)
      : FLine(line), FN(static_cast<int32_t>(line.size())), FO(o), FM(m),
        FHeight(std::max(1, std::abs(m.FontHeight))) {
    const TColumnOptions& co = o.Columns;
    FMask = HiddenMask(line, co.LeadingMark, co.HideRubi, co.HideLeadingMark, co.HideNotes);
    FExpandTabs = co.ExpandTabs && line.find('\t') != std::string::npos;
    FSpeech = co.NameRestore && IsEnclosed(line, co.SerifuHeader, co.SerifuFooter);
    ScanBytes(line, FRoles);
  }

  // The column view of the rest of the line from byte p.
  TColumnText From(int32_t p) const {
    TColumnText t;
    t.Text = std::string_view(FLine).substr(static_cast<size_t>(p - 1));
    t.UseMask(FMask);
    t.MaskBase = p - 1;
    t.NamePos = NameAlignPos(FSpeech, true, t.Text, FO.Columns.SerifuHeader);
    t.TabLength = FO.Columns.TabLength;
    t.ExpandTabs = FExpandTabs;
    return t;
  }
  bool Hidden(int32_t b) const { return !FMask.empty() && FMask[static_cast<size_t>(b)]; }
  bool ExpandsTabs() const { return FExpandTabs; }
  int32_t Height() const { return FHeight; }

  // The last byte of the character at q together with the notation that follows it.
  int32_t ClusterEnd(int32_t q) const {
    int32_t e = q + (FRoles[static_cast<size_t>(q)] == kLead ? 1 : 0);
    while (e < FN && Hidden(e + 1)) ++e;
    return e;
  }
  // The first byte of the last character of p..e (the notation after it belongs to it).
  int32_t LastClusterStart(int32_t p, int32_t e) const {
    while (e > p && Hidden(e)) --e;
    if (e > p && FRoles[static_cast<size_t>(e)] == kTrail) --e;
    return e;
  }
  // The bytes of the first character from p, with notation before and after it.
  int32_t FirstCluster(int32_t p) const {
    int32_t q = p;
    while (q <= FN && Hidden(q)) ++q;
    return q > FN ? FN - p + 1 : ClusterEnd(q) - p + 1;
  }
  bool AllHidden(int32_t from, int32_t to) const {
    if (FMask.empty()) return false;
    while (from <= to && Hidden(from)) ++from;
    return from > to;
  }
  bool IsLead(int32_t b) const { return FRoles[static_cast<size_t>(b)] == kLead; }
  bool IsSingle(int32_t b) const { return FRoles[static_cast<size_t>(b)] == kSingle; }

  // Total width of a text in the measuring font.
  int64_t Width(std::string_view text) const {
    FAdvances.resize(text.size() + 1);
    FM.Metrics->Advances(text, FHeight, FM.Vertical, FAdvances.data());
    int64_t w = 0;
    for (size_t i = 0; i < text.size(); ++i) w += FAdvances[i];
    return w;
  }

  // Bytes of the rest from p (shown with starting column i) that fit `room` pixels.
  int32_t FitMeasured(int32_t p, int32_t i, int32_t room, int32_t spacing) const {
    const TColumnText rest = From(p);
    const int32_t restLen = FN - p + 1;
    const int32_t unit = std::max(1, FHeight / 2 + spacing);
    // a window of about twice what fits, grown while everything in it fits
    int32_t window = static_cast<int32_t>(
        std::clamp<int64_t>(2 * static_cast<int64_t>(std::max(0, room)) / unit + 16, std::min(64, restLen), restLen));
    while (true) {
      if (window < restLen && IsLead(p + window - 1)) ++window;
      TColumnText part = rest;
      part.Text = rest.Text.substr(0, static_cast<size_t>(window));
      std::string shown = ColumnText(part, i, ' ');
      if (shown.empty() && window == restLen) return restLen;
      size_t limit = std::min(shown.find("\r\n"), shown.size());
      FAdvances.resize(shown.size() + 1);
      if (!shown.empty()) FM.Metrics->Advances(shown, FHeight, FM.Vertical, FAdvances.data());
      int64_t used = 0;
      size_t fit = 0;
      while (fit < limit) {
        size_t len = CharLenAt(shown, fit);
        if (fit + len > limit) break;
        int64_t w = FAdvances[fit] + (len == 2 ? FAdvances[fit + 1] : 0);
        if (used + w + static_cast<int64_t>(spacing) * static_cast<int64_t>(fit + len - 1) > room) break;
        used += w;
        fit += len;
      }
      if (fit == shown.size() && window < restLen) {
        window = std::min(restLen, window * 2);
        continue;
      }
      return ColumnToIndex(rest, static_cast<int32_t>(fit) + i, i);
    }
  }

private:
  const std::string& FLine;
  const int32_t FN;
  const TBreakOptions& FO;
  const TMeasure& FM;
  const int32_t FHeight;
  TBooleans FMask;
  std::vector<uint8_t> FRoles;
  bool FExpandTabs = false;
  bool FSpeech = false;
  mutable std::vector<int32_t> FAdvances;
};

}  // namespace

void BreakLine(const std::string& line, int32_t width, int32_t cells, int32_t spacing, int32_t indent,
               bool indentFirst, const TBreakOptions& o, const TMeasure& measure, TIntegers& pieces) {
  pieces.clear();
  const int32_t n = static_cast<int32_t>(line.size());
  if (n == 0 || (cells == 0 && width == 0)) {
    pieces.push_back(n);
    return;
  }
  indent = std::max(0, indent);
  const TLineBreaker lb(line, o, measure);
  const bool measured = o.ProportionalFont && o.ColumnCountAuto && measure.Metrics;
  if (!o.ProportionalFont) {
    // A line that fits its cells stays whole; tabs and a spread speaker name can make a line
    // wider than its bytes, so such lines are measured below.
    bool fits = cells > 0 && cells - (indentFirst ? indent : 0) >= n && !lb.ExpandsTabs() && lb.From(1).NamePos == 0;
    if ((!o.ColumnCountAuto && cells == 0) || fits) {
      pieces.push_back(n);
      return;
    }
  }
  if (measured && line.find("\r\n") == std::string::npos &&
      lb.Width(line) + static_cast<int64_t>(spacing) * n < width) {
    pieces.push_back(n);
    return;
  }
  if (cells >= 1 && cells <= 7) cells = 8;

  size_t crlf = line.find("\r\n");  // the next CR LF at or after the piece
  for (int32_t p = 1; p <= n;) {
    if (crlf != std::string::npos && crlf < static_cast<size_t>(p - 1)) crlf = line.find("\r\n", static_cast<size_t>(p - 1));
    const int32_t i = (indentFirst || p > 1) ? indent : 0;
    const int32_t rest = n - p + 1;
    int32_t len;
    if (cells > 0) {
      int32_t target = cells;
      if (crlf != std::string::npos && static_cast<int64_t>(crlf) - (p - 1) < cells)
        target = std::min(cells, static_cast<int32_t>(crlf) - (p - 1) + i + 1);
      len = ColumnToIndex(lb.From(p), target, i);
    } else if (o.ColumnCountAuto && measured) {
      int64_t room = width;
      if (i > 0) room -= lb.Width(std::string_view(line).substr(0, CharLenAt(line, 0)));
      len = lb.FitMeasured(p, i, static_cast<int32_t>(std::max<int64_t>(room, INT32_MIN)), spacing);
    } else if (o.ColumnCountAuto) {
      // cells of half the font height; a height of 0 measures as 1 so that nothing divides by 0
      double unit = std::max(0.5, spacing + lb.Height() / 2.0);
      int32_t target = std::max(0, RoundHalfEven(width / unit)) - (o.TailHang ? 2 : 0) - (o.ReturnMark ? 1 : 0);
      len = ColumnToIndex(lb.From(p), target, i);
    } else {
      len = rest;
    }

    if (len < rest) {
      if (len > 0 && lb.IsLead(p + len - 1)) --len;  // never split a double-byte character
      // a piece holds at least one character (with the notation around it)
      if (len < 1 || lb.AllHidden(p, p + len - 1)) len = lb.FirstCluster(p);
      bool hung = false;
      int32_t next = p + len;
      if (o.TailHang && !o.HangStr.Empty() && next <= n && !lb.Hidden(next) && o.HangStr.Contains(line, next - 1)) {
        len = lb.ClusterEnd(next) - p + 1;
        hung = true;
      }
      next = p + len;
      if (o.TailAdjust && !hung && !o.ProhibitBottomStr.Empty() && next <= n) {
        // a piece gives up its last character when that must not end a line, or when the
        // following one must not start a line; it never gives up its only character
        int32_t last = lb.LastClusterStart(p, next - 1);
        bool move = o.ProhibitBottomStr.Contains(line, last - 1) ||
                    (!o.ProhibitTopStr.Empty() && o.ProhibitTopStr.Contains(line, next - 1));
        if (move && last > p && !lb.AllHidden(p, last - 1)) len = last - p;
      }
      next = p + len;
      if (o.WordWrap && next <= n && lb.IsSingle(next)) {
        int kind = CharKind(std::string_view(line).substr(static_cast<size_t>(next - 1), 1));
        if (kind == ckHalfOther || kind == ckHalfLetter) {
          int32_t kept = len;
          while (kept > 0 && lb.IsSingle(p + kept - 1) && !lb.Hidden(p + kept - 1) &&
                 CharKind(std::string_view(line).substr(static_cast<size_t>(p + kept - 2), 1)) == kind)
            --kept;
          if (kept > 0 && !lb.AllHidden(p, p + kept - 1)) len = kept;
        }
      }
    } else {
      len = rest;
    }
    if (p + len <= n && line[static_cast<size_t>(p + len - 1)] == '\r') ++len;
    if (p + len <= n && line[static_cast<size_t>(p + len - 1)] == '\n') ++len;
    pieces.push_back(len);
    p += len;
  }
}

TIntegers BreakLine(const std::string& line, int32_t width, int32_t cells, int32_t spacing, int32_t indent,
                    bool indentFirst, const TBreakOptions& options, const TMeasure& measure) {
  TIntegers pieces;
  BreakLine(line, width, cells, spacing, indent, indentFirst, options, measure, pieces);
  return pieces;
}

TStrings TextLines(const std::string& text) {
  TStrings lines;
  SplitLines(text, lines);
  if (text.empty() || text.back() == '\r' || text.back() == '\n') lines.emplace_back();
  return lines;
}

// ---- The store -----------------------------------------------------------------------------

// One display line with what the column mapping needs: its bytes, the notation hidden in
// them, and whether its speaker name is spread.
struct TEditList::TRowView {
  TRowView() = default;
  TRowView(const TRowView&) = delete;
  TRowView& operator=(const TRowView&) = delete;
  TDisplayLine Rec;
  std::string Piece;
  TBooleans Mask;
  TColumnText Cols;
  bool Valid = false;
};

TEditList::TEditList() : FStyle(TDataItem::Make<TEditorStyle>()) {
  Clock = [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  };
  UpdateOptions();
  FLines.assign(1, std::string());
  FInfos.FItems.assign(1, TDisplayLine{0, 1, 0, 0, 0, true, 0});
}

TEditList::~TEditList() { FStyle->Free(); }

void TEditList::UpdateOptions() {
  const TEditorValues& v = FStyle->Editor();
  auto enabled = [&](int no) { return FStyle->ViewInfo(no)->IsEnabled(); };
  FBreak.ProportionalFont = v.ProportionalFont;
  FBreak.ColumnCountAuto = v.ColumnCountAuto;
  FBreak.TailHang = v.TailHang;
  FBreak.TailAdjust = v.TailAdjust;
  FBreak.WordWrap = v.WordWrap;
  FBreak.HangStr = TCharSet(v.HangStr);
  FBreak.ProhibitTopStr = TCharSet(v.ProhibitTopStr);
  FBreak.ProhibitBottomStr = TCharSet(v.ProhibitBottomStr);
  FBreak.ReturnMark = enabled(TEditorStyle::viReturn);
  TColumnOptions& co = FBreak.Columns;
  co.SerifuHeader = v.SerifuHeader;
  co.SerifuFooter = v.SerifuFooter;
  co.NameRestore = v.SerifuNameRestore;
  co.LeadingMark = v.HashiraHeader;
  co.HideLeadingMark = v.GapLineStyle == 2;
  co.HideRubi = enabled(TEditorStyle::viRubi);
  co.HideNotes = enabled(TEditorStyle::viFootNote);
  co.TabLength = v.TabLength;
  co.ExpandTabs = enabled(TEditorStyle::viTab);
  FIndent.Mode = v.ViewIndent;
  FIndent.Itemized = v.ItemizedStatement;
  FIndent.HashiraIndent = v.HashiraIndentCount;
  FIndent.SerifuIndent = v.SerifuIndentCount;
  FIndent.TogakiIndent = v.TogakiIndentCount;
  FIndent.SerifuFooter = v.SerifuFooter;
  FIndent.SerifuHeader = v.SerifuHeader;
  FIndent.HashiraHeader = v.HashiraHeader;
  FIndent.Bullets = TCharSet(v.ViewIndentStr);
  FHeadingNumbers = enabled(TEditorStyle::viLineInfo) && v.LineInfoStyle == 4;
  FHeadingStrs = v.HeadingStrs;
}

void TEditList::AssignStyle(const TEditorStyle& style) {
  const TEditorValues &a = FStyle->Editor(), &b = style.Editor();
  bool same = a.ViewIndent == b.ViewIndent && a.ItemizedStatement == b.ItemizedStatement &&
              a.ViewIndentStr == b.ViewIndentStr && a.HashiraHeader == b.HashiraHeader &&
              a.SerifuHeader == b.SerifuHeader && a.SerifuFooter == b.SerifuFooter &&
              a.HashiraIndentCount == b.HashiraIndentCount && a.TogakiIndentCount == b.TogakiIndentCount &&
              a.SerifuIndentCount == b.SerifuIndentCount && a.ProportionalFont == b.ProportionalFont &&
              a.ColumnCountAuto == b.ColumnCountAuto && a.ColumnCount == b.ColumnCount &&
              a.ColumnSpace == b.ColumnSpace && a.TabLength == b.TabLength && a.WordWrap == b.WordWrap &&
              a.TailHang == b.TailHang && a.TailAdjust == b.TailAdjust && a.HangStr == b.HangStr &&
              a.ProhibitBottomStr == b.ProhibitBottomStr && a.ProhibitTopStr == b.ProhibitTopStr &&
              a.GapLineStyle == b.GapLineStyle && a.SerifuNameRestore == b.SerifuNameRestore &&
              !(b.ProportionalFont && b.ColumnCountAuto);
  for (int no : {TEditorStyle::viReturn, TEditorStyle::viTab, TEditorStyle::viFootNote, TEditorStyle::viBoten,
                 TEditorStyle::viRubi})
    same = same && FStyle->ViewInfo(no)->IsEnabled() == style.ViewInfo(no)->IsEnabled();
  const bool numbered = FHeadingNumbers;
  const TStrings headings = FHeadingStrs;
  FStyle->Assign(&style);
  UpdateOptions();
  if (!same) FNeedsLayout = true;
  // heading numbers follow the numbering switch and the heading marks without a full layout
  else if (numbered != FHeadingNumbers || (FHeadingNumbers && headings != FHeadingStrs)) RenumberHeadings();
}

void TEditList::SetModified(bool value) {
  if (FModified == value) return;
  FModified = value;
  if (OnModifiedChange) OnModifiedChange();
}

void TEditList::Progress(TLayoutProgress kind, int32_t value, bool& cancel) {
  if (OnProgress) OnProgress(kind, value, cancel);
}

// ---- Breaking into records -----------------------------------------------------------------

void TEditList::BreakInto(int32_t line, std::vector<TDisplayLine>& out) const {
  static thread_local TIntegers pieces;
  const std::string& text = FLines[static_cast<size_t>(line)];
  THangIndent h = HangIndent(text, FIndent);
  h.Indent = std::max(0, h.Indent);
  BreakLine(text, LineWidth, Columns, Spacing, h.Indent, h.Togaki, FBreak,
            TMeasure{Metrics, FontHeight, FStyle->Editor().Vertical}, pieces);
  int32_t start = 1;
  for (size_t k = 0; k < pieces.size(); ++k) {
    out.push_back(TDisplayLine{line, start, pieces[k], static_cast<int32_t>(k), (k > 0 || h.Togaki) ? h.Indent : 0,
                               k + 1 == pieces.size(), 0});
    start += pieces[k];
  }
}

std::vector<TDisplayLine> TEditList::SegmentLine(int32_t line) const {
  std::vector<TDisplayLine> r;
  if (line < 0 || line >= Count()) return r;
  BreakInto(line, r);
  if (FHeadingNumbers && IsHeading(line)) {
    // one more than the last heading before the line
    const auto& items = FInfos.FItems;
    auto at = std::lower_bound(items.begin(), items.end(), line,
                               [](const TDisplayLine& d, int32_t l) { return d.LineIndex < l; });
    int32_t before = 0;
    while (at != items.begin() && before == 0) before = (--at)->HeadingNo;
    r.front().HeadingNo = before + 1;
  }
  return r;
}

int32_t TEditList::FirstRowOf(int32_t line) const {
  const auto& items = FInfos.FItems;
  auto it = std::lower_bound(items.begin(), items.end(), line,
                             [](const TDisplayLine& d, int32_t l) { return d.LineIndex < l; });
  if (it == items.end() || it->LineIndex != line) return -1;
  return static_cast<int32_t>(it - items.begin());
}

int32_t TEditList::RowCountOf(int32_t line, int32_t firstRow) const {
  int32_t r = firstRow;
  while (r < FInfos.Count() && FInfos[r].LineIndex == line) ++r;
  return r - firstRow;
}

void TEditList::RenumberHeadings() {
  int32_t count = 0;
  for (TDisplayLine& d : FInfos.FItems)
    d.HeadingNo = FHeadingNumbers && d.Row == 0 && IsHeading(d.LineIndex) ? ++count : 0;
}

bool TEditList::IsHeading(int32_t line) const {
  return line >= 0 && line < Count() && StartsWithAny(FLines[static_cast<size_t>(line)], FHeadingStrs);
}

bool TEditList::ReplaceLines(int32_t index, int32_t removeCount, const TStrings& lines) {
  bool heading = false;
  for (int32_t l = index; l < index + removeCount; ++l) heading = heading || IsHeading(l);
  // lines replaced in place; only the difference moves the lines after them
  const int32_t added = static_cast<int32_t>(lines.size()), same = std::min(added, removeCount);
  std::copy(lines.begin(), lines.begin() + same, FLines.begin() + index);
  FLines.erase(FLines.begin() + index + same, FLines.begin() + index + removeCount);
  FLines.insert(FLines.begin() + index + same, lines.begin() + same, lines.end());
  for (int32_t l = index; l < index + added; ++l) {
    heading = heading || IsHeading(l);
    FLongestLine = std::max(FLongestLine, static_cast<int32_t>(FLines[static_cast<size_t>(l)].size()));
  }
  SetModified(true);
  ++FEditCount;
  FLastEditHeading = heading;
  if (FBulk) return false;

  auto& items = FInfos.FItems;
  auto byLine = [](const TDisplayLine& d, int32_t l) { return d.LineIndex < l; };
  const size_t first = static_cast<size_t>(std::lower_bound(items.begin(), items.end(), index, byLine) - items.begin());
  const size_t last = static_cast<size_t>(
      std::lower_bound(items.begin() + static_cast<std::ptrdiff_t>(first), items.end(), index + removeCount, byLine) -
      items.begin());
  std::vector<TDisplayLine> fresh;
  for (int32_t l = index; l < index + added; ++l) BreakInto(l, fresh);
  if (added != removeCount)
    for (size_t r = last; r < items.size(); ++r) items[r].LineIndex += added - removeCount;
  const size_t oldRows = last - first;
  if (fresh.size() == oldRows) {
    std::copy(fresh.begin(), fresh.end(), items.begin() + static_cast<std::ptrdiff_t>(first));
  } else {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(first), items.begin() + static_cast<std::ptrdiff_t>(last));
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(first), fresh.begin(), fresh.end());
  }
  if (FHeadingNumbers && heading) RenumberHeadings();
  return fresh.size() != oldRows;
}

// ---- String-list operations ----------------------------------------------------------------

void TEditList::Insert(int32_t index, const std::string& line) {
  if (index < 0 || index > Count()) return;
  ReplaceLines(index, 0, TStrings{line});
}

void TEditList::Put(int32_t index, const std::string& line) {
  if (index < 0 || index >= Count()) return;
  ReplaceLines(index, 1, TStrings{line});
}

void TEditList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return;
  // the store always holds a line
  if (Count() == 1) ReplaceLines(0, 1, TStrings{std::string()});
  else ReplaceLines(index, 1, TStrings());
}

void TEditList::Clear() {
  ++FEditCount;
  FLines.assign(1, std::string());
  FInfos.FItems.assign(1, TDisplayLine{0, 1, 0, 0, 0, true, 0});
  FLongestLine = 0;
  SetModified(false);
  if (OnChange) OnChange();
}

void TEditList::SetText(const std::string& text) {
  FBulk = true;
  FLines = TextLines(text);
  FBulk = false;
  ++FEditCount;
  // unbroken lines until the layout breaks them (or while layout waits for the lock)
  FInfos.FItems.clear();
  SetPlaceholders(0, FInfos.FItems);
  RenumberHeadings();
  FNeedsLayout = true;
  Relayout();
  SetModified(false);
  if (OnChange) OnChange();
}

std::string TEditList::GetText() const { return JoinStr(FLines, "\r\n"); }

// ---- Full layout ---------------------------------------------------------------------------

void TEditList::SetPlaceholders(int32_t fromLine, std::vector<TDisplayLine>& items) const {
  for (int32_t l = fromLine; l < Count(); ++l)
    items.push_back(TDisplayLine{l, 1, static_cast<int32_t>(FLines[static_cast<size_t>(l)].size()), 0, 0, true, 0});
}

void TEditList::Relayout() {
  if (FBulk || FLockCount > 0) return;
  bool cancel = false;
  // The table is built aside and put in place at the end: a progress handler that lets the
  // user edit meanwhile edits a table that is whole.
  const uint64_t edits = FEditCount;
  auto editedMeanwhile = [&] { return FEditCount != edits; };
  Progress(TLayoutProgress::Start, 0, cancel);
  FLongestLine = 0;
  const TEditorValues& v = FStyle->Editor();
  const int32_t step = std::max(1, ProgressStep);
  int32_t granularity = v.ProportionalFont                          ? std::max(1, step / 10)
                        : (v.ColumnCountAuto || v.ColumnCount != 0) ? step
                                                                    : step * 10;
  const int64_t started = Clock();
  std::vector<TDisplayLine> items;
  items.reserve(FInfos.FItems.size());
  int32_t heading = 0;
  for (int32_t line = 0; line < Count() && !editedMeanwhile(); ++line) {
    const size_t first = items.size();
    BreakInto(line, items);
    if (FHeadingNumbers && IsHeading(line)) items[first].HeadingNo = ++heading;
    FLongestLine = std::max(FLongestLine, static_cast<int32_t>(FLines[static_cast<size_t>(line)].size()));
    if (line == step) {
      double elapsed = static_cast<double>(Clock() - started);
      int32_t estimate = RoundHalfEven(Count() / static_cast<double>(step) * elapsed / 1000.0 * 0.8);
      FEstimatedTime = estimate / 10 * 10;
      if (FEstimatedTime > 28) {
        granularity = std::max(1, step / 10);
        Progress(TLayoutProgress::LongLayout, static_cast<int32_t>(items.size()), cancel);
      }
    }
    if (!cancel && line > 0 && line % granularity == 0) Progress(TLayoutProgress::Step, line, cancel);
    if (cancel && !editedMeanwhile()) {
      // the lines not laid out keep one unbroken record each, so that no record points past
      // the text; the next layout breaks them
      SetPlaceholders(line + 1, items);
      break;
    }
  }
  if (editedMeanwhile()) {
    // the edits kept the table current for the text as it is now; a layout is still due
    cancel = true;
  } else {
    FInfos.FItems.swap(items);
    if (cancel) RenumberHeadings();
  }
  FNeedsLayout = cancel;
  Progress(TLayoutProgress::End, FInfos.Count(), cancel);
}

// ---- Positions -----------------------------------------------------------------------------

void TEditList::MakeRowView(int32_t row, TRowView& v) const {
  v.Rec = FInfos[row];
  v.Valid = v.Rec.LineIndex >= 0 && v.Rec.LineIndex < Count();
  v.Piece.clear();
  v.Mask.clear();
  v.Cols = TColumnText();
  if (v.Valid) {
    const std::string& line = FLines[static_cast<size_t>(v.Rec.LineIndex)];
    size_t start = std::min(line.size(), static_cast<size_t>(std::max(0, v.Rec.Start - 1)));
    size_t len = std::min(line.size() - start, static_cast<size_t>(std::max(0, v.Rec.Length)));
    v.Piece = line.substr(start, len);
    const TColumnOptions& co = FBreak.Columns;
    v.Mask = HiddenMask(v.Piece, co.LeadingMark, co.HideRubi, co.HideLeadingMark && v.Rec.Row == 0, co.HideNotes);
    v.Cols.NamePos =
        co.NameRestore
            ? NameAlignPos(true, IsEnclosed(line, co.SerifuHeader, co.SerifuFooter), v.Piece, co.SerifuHeader)
            : 0;
    v.Cols.TabLength = co.TabLength;
    v.Cols.ExpandTabs = co.ExpandTabs && v.Piece.find('\t') != std::string::npos;
  }
  v.Cols.Text = v.Piece;
  v.Cols.UseMask(v.Mask);
}

TPoint TEditList::ToDisplay(int32_t byte, int32_t line) const {
  int32_t row = FirstRowOf(line);
  if (row < 0) return TPoint{1, -1};
  byte = std::max(1, byte);
  while (!FInfos[row].LastRow && FInfos[row].Length < byte && row + 1 < FInfos.Count()) {
    byte -= FInfos[row].Length;
    ++row;
  }
  TRowView v;
  MakeRowView(row, v);
  return TPoint{std::max(1, IndexToColumn(v.Cols, byte, v.Rec.Indent, true)), row};
}

TPoint TEditList::ToLogical(int32_t column, int32_t row) const {
  if (row >= FInfos.Count()) {
    row = FInfos.Count() - 1;
    column = 1;
  }
  if (row < 0) return TPoint{1, 0};
  TRowView v;
  MakeRowView(row, v);
  if (!v.Valid) return TPoint{1, std::max(0, Count() - 1)};
  int32_t index = ColumnToCharIndex(v.Cols, std::max(1, column), v.Rec.Indent);
  return TPoint{std::max(1, v.Rec.Start) - 1 + index, v.Rec.LineIndex};
}

int32_t TEditList::RowIndexToColumn(int32_t row, int32_t index) const {
  TRowView v;
  MakeRowView(row, v);
  return IndexToColumn(v.Cols, index, v.Rec.Indent, true);
}

void TEditList::RowByteColumns(int32_t row, TIntegers& out) const {
  TRowView v;
  MakeRowView(row, v);
  const int32_t n = static_cast<int32_t>(v.Piece.size());
  out.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    out[static_cast<size_t>(i)] = IndexToColumn(v.Cols, i + 1, v.Rec.Indent, true);
}

int32_t TEditList::RowColumns(int32_t row) const {
  TRowView v;
  MakeRowView(row, v);
  if (!v.Valid) return 0;
  return IndexToColumn(v.Cols, static_cast<int32_t>(v.Piece.size()) + 1, v.Rec.Indent, false) - 1;
}

int32_t TEditList::RowEndColumn(int32_t row) const {
  TRowView v;
  MakeRowView(row, v);
  if (!v.Valid) return 1;
  const int32_t n = static_cast<int32_t>(v.Piece.size());
  if (v.Rec.LastRow) return std::max(1, IndexToColumn(v.Cols, n + 1, v.Rec.Indent, false));
  // on the last character: the caret after it stands at the start of the next row
  int32_t last = 0;
  for (int32_t k = 1; k <= n; k = NextCharIndex(v.Cols, k)) last = k;
  return std::max(1, last > 0 ? IndexToColumn(v.Cols, last, v.Rec.Indent, true) : v.Rec.Indent + 1);
}

std::string TEditList::RowText(int32_t row) const {
  TRowView v;
  MakeRowView(row, v);
  return v.Piece;
}

std::string TEditList::DisplayText(int32_t row) const {
  TRowView v;
  MakeRowView(row, v);
  if (!v.Valid) return std::string();
  return SpaceStr(v.Rec.Indent, FStyle->Editor().UseZenkaku) + ColumnText(v.Cols, v.Rec.Indent, '\t');
}

bool TEditList::IsLineEnd(int32_t column, int32_t row) const {
  return FInfos[row].LastRow && column == RowColumns(row) + 1;
}

int32_t TEditList::RowsToLineEnd(int32_t row) const {
  if (row < 0 || row >= FInfos.Count()) return 0;
  int32_t r = row;
  while (!FInfos[r].LastRow && r + 1 < FInfos.Count()) ++r;
  return r - row;
}

int32_t TEditList::LineInfoDigits() const {
  const TEditorValues& v = FStyle->Editor();
  const int64_t n = v.LineCountInPage, rows = DisplayCount();
  int64_t number = 0;
  switch (v.LineInfoStyle) {
    case 0: number = rows; break;
    case 1: number = Count(); break;
    case 2: number = n > 0 ? std::max(rows / n, n) : 0; break;
    case 3: number = n > 0 ? rows / n + 1 : 0; break;
    case 4:
      for (int32_t r = FInfos.Count() - 1; r >= 0 && number == 0; --r) number = FInfos[r].HeadingNo;
      break;
    default: break;
  }
  int32_t digits = static_cast<int32_t>(std::to_string(number).size());
  return digits + (n >= 1 && n <= 9 ? 1 : 0);
}

TPoint TEditList::TextEnd() const {
  const int32_t last = Count() - 1;
  return ToDisplay(static_cast<int32_t>(FLines[static_cast<size_t>(last)].size()) + 1, last);
}

int32_t TEditList::NextCharByte(int32_t byte, int32_t line) const {
  const std::string& text = FLines[static_cast<size_t>(line)];
  const TColumnOptions& co = FBreak.Columns;
  TBooleans mask = HiddenMask(text, co.LeadingMark, co.HideRubi, co.HideLeadingMark, co.HideNotes);
  TColumnText t;
  t.Text = text;
  t.UseMask(mask);
  return NextCharIndex(t, byte);
}

T2Caret TEditList::SelectUnit(int32_t kind, TPoint position) const {
  T2Caret r{position, position};
  const int32_t row = position.Y;
  if (row < 0 || row >= FInfos.Count()) return r;
  const TPoint at = ToLogical(position);
  const std::string& line = FLines[static_cast<size_t>(at.Y)];
  const int32_t len = static_cast<int32_t>(line.size());
  switch (kind) {
    case suChar:
      if (at.X <= len) r.End = ToDisplay(NextCharByte(at.X, at.Y), at.Y);
      else if (at.Y + 1 < Count()) r.End = ToDisplay(1, at.Y + 1);
      break;
    case suWord: {
      if (len == 0) break;
      TPoint w = WordRange(line, std::min(at.X, len), 0);
      r.Start = ToDisplay(w.X, at.Y);
      r.End = ToDisplay(w.Y, at.Y);
      break;
    }
    case suRow:
      r.Start = TPoint{FInfos[row].Indent + 1, row};
      r.End = TPoint{RowColumns(row) + 1, row};
      break;
    case suLine:
      r.Start = ToDisplay(1, at.Y);
      r.End = at.Y + 1 < Count() ? ToDisplay(1, at.Y + 1) : ToDisplay(len + 1, at.Y);
      break;
    case suPage: {
      const int32_t n = FStyle->Editor().LineCountInPage;
      if (n < 1) break;
      const int32_t first = row - row % n, next = first + n;
      r.Start = ToDisplay(FInfos[first].Start, FInfos[first].LineIndex);
      r.End = next < FInfos.Count() ? ToDisplay(FInfos[next].Start, FInfos[next].LineIndex) : TextEnd();
      break;
    }
    case suAll:
      r.Start = ToDisplay(1, 0);
      r.End = TextEnd();
      break;
    default: break;
  }
  return r;
}

// ---- Ranges and edits ----------------------------------------------------------------------

namespace {
bool Before(TPoint a, TPoint b) { return a.Y < b.Y || (a.Y == b.Y && a.X < b.X); }
}  // namespace

std::string TEditList::LogicalText(TPoint a, TPoint b) const {
  if (Before(b, a)) std::swap(a, b);
  const std::string& first = FLines[static_cast<size_t>(a.Y)];
  if (a.Y == b.Y) return first.substr(static_cast<size_t>(a.X - 1), static_cast<size_t>(b.X - a.X));
  std::string r = first.substr(static_cast<size_t>(a.X - 1));
  for (int32_t l = a.Y + 1; l < b.Y; ++l) r += "\r\n" + FLines[static_cast<size_t>(l)];
  r += "\r\n" + FLines[static_cast<size_t>(b.Y)].substr(0, static_cast<size_t>(b.X - 1));
  return r;
}

std::vector<TEditList::TBoxRow> TEditList::BoxRows(TPoint start, TPoint end) const {
  std::vector<TBoxRow> rows;
  int32_t r1 = std::max(0, std::min(start.Y, end.Y)), r2 = std::min(FInfos.Count() - 1, std::max(start.Y, end.Y));
  int32_t c1 = std::min(start.X, end.X), c2 = std::max(start.X, end.X);
  TRowView v;
  for (int32_t row = r1; row <= r2; ++row) {
    MakeRowView(row, v);
    if (!v.Valid) continue;
    int32_t i1 = ColumnToCharIndex(v.Cols, c1, v.Rec.Indent), i2 = ColumnToCharIndex(v.Cols, c2, v.Rec.Indent);
    TBoxRow b;
    b.Row = row;
    b.Line = v.Rec.LineIndex;
    b.From = v.Rec.Start - 1 + i1;
    b.To = v.Rec.Start - 1 + i2;
    b.Carets = T2Caret{TPoint{IndexToColumn(v.Cols, i1, v.Rec.Indent, true), row},
                       TPoint{IndexToColumn(v.Cols, i2, v.Rec.Indent, true), row}};
    rows.push_back(b);
  }
  return rows;
}

std::string TEditList::GetRangeText(TPoint start, TPoint end, bool box) const {
  if (box) {
    std::string r;
    bool first = true;
    for (const TBoxRow& b : BoxRows(start, end)) {
      if (!first) r += "\r\n";
      first = false;
      r += FLines[static_cast<size_t>(b.Line)].substr(static_cast<size_t>(b.From - 1),
                                                     static_cast<size_t>(b.To - b.From));
    }
    return r;
  }
  return LogicalText(ToLogical(start), ToLogical(end));
}

int32_t TEditList::RedrawFrom(int32_t row) const { return std::max(0, row - (FInfos[row].Row > 0 ? 1 : 0)); }

void TEditList::FinishEdit(TEditResult& r, int32_t firstRow, int32_t lastLine, bool wholeRest) {
  r.FirstRow = firstRow;
  const int32_t end = DisplayCount() - 1;
  if (wholeRest || FHeadingNumbers) {
    r.LastRow = end;
  } else {
    int32_t first = FirstRowOf(lastLine);
    r.LastRow = first < 0 ? end : first + RowCountOf(lastLine, first) - 1;
  }
  if ((FLastEditHeading || r.LastRow == end) && OnHeadingChange) OnHeadingChange();
}

TEditResult TEditList::DeleteRange(TPoint start, TPoint end, bool box) {
  if (box) return DeleteBox(start, end);
  TEditResult r;
  TPoint a = ToLogical(start), b = ToLogical(end);
  if (Before(b, a)) std::swap(a, b);
  r.Caret = ToDisplay(a);
  if (a == b || start.Y < 0 || start.Y >= FInfos.Count()) return r;
  r.Text = LogicalText(a, b);
  const int32_t row = RedrawFrom(r.Caret.Y);
  std::string joined = FLines[static_cast<size_t>(a.Y)].substr(0, static_cast<size_t>(a.X - 1)) +
                       FLines[static_cast<size_t>(b.Y)].substr(static_cast<size_t>(b.X - 1));
  bool rowsChanged = ReplaceLines(a.Y, b.Y - a.Y + 1, TStrings{joined});
  r.Caret = ToDisplay(a);
  FinishEdit(r, row, a.Y, rowsChanged || b.Y > a.Y);
  return r;
}

TEditResult TEditList::DeleteBox(TPoint start, TPoint end) {
  TEditResult r;
  r.Caret = start;
  std::vector<TBoxRow> rows = BoxRows(start, end);
  if (rows.empty()) return r;
  const int32_t redraw = RedrawFrom(rows.front().Row);
  bool rowsChanged = false, heading = false;
  for (size_t k = 0; k < rows.size(); ++k) {
    const TBoxRow& b = rows[k];
    if (k) r.Text += "\r\n";
    r.Text += FLines[static_cast<size_t>(b.Line)].substr(static_cast<size_t>(b.From - 1),
                                                         static_cast<size_t>(b.To - b.From));
    r.Carets.push_back(b.Carets);
    r.LogicalCarets.push_back(T2Caret{TPoint{b.From, b.Line}, TPoint{b.To, b.Line}});
  }
  // from the bottom up, so that the earlier rows of a line keep their byte positions
  for (size_t k = rows.size(); k-- > 0;) {
    const TBoxRow& b = rows[k];
    if (b.To <= b.From) continue;
    std::string text = FLines[static_cast<size_t>(b.Line)];
    text.erase(static_cast<size_t>(b.From - 1), static_cast<size_t>(b.To - b.From));
    rowsChanged = ReplaceLines(b.Line, 1, TStrings{text}) || rowsChanged;
    heading = heading || FLastEditHeading;
  }
  FLastEditHeading = heading;
  r.Caret = ToDisplay(rows.front().From, rows.front().Line);
  FinishEdit(r, redraw, rows.back().Line, rowsChanged);
  return r;
}

TPoint TEditList::InsertionPoint(TPoint position, std::string& pad) const {
  // a caret beyond the end of its display line: spaces fill the cells up to it
  const int32_t endColumn = RowColumns(position.Y) + 1;
  pad = SpaceStr(position.X - endColumn, FStyle->Editor().UseZenkaku);
  return ToLogical(std::min(position.X, endColumn), position.Y);
}

TEditResult TEditList::InsertText(TPoint position, const std::string& text, bool box) {
  TStrings pieces = TextLines(text);
  if (box) return InsertBox(position, pieces);
  TEditResult r;
  r.Caret = position;
  const int32_t row = position.Y;
  if (row < 0 || row >= FInfos.Count() || FInfos[row].LineIndex >= Count()) return r;
  const bool zenkaku = FStyle->Editor().UseZenkaku;
  std::string pad;
  const TPoint at = InsertionPoint(position, pad);
  const int32_t redraw = RedrawFrom(row);
  const std::string& old = FLines[static_cast<size_t>(at.Y)];
  const std::string head = old.substr(0, static_cast<size_t>(at.X - 1)), tail = old.substr(static_cast<size_t>(at.X - 1));
  TStrings lines{head + pad + pieces[0]};
  r.Text = pad + pieces[0];
  if (pieces.size() > 1) {
    // a new line repeats the indent of the text before the break, and continues its numbering
    std::string lead;
    if (FStyle->Editor().EditIndent) lead = SpaceStr(static_cast<int>(head.find_first_not_of(' ') == std::string::npos
                                                                         ? head.size()
                                                                         : head.find_first_not_of(' ')),
                                                     zenkaku);
    if (FStyle->Editor().ItemizedStatement) lead += NextItemNoText(head);
    for (size_t k = 1; k < pieces.size(); ++k) {
      lines.push_back(lead + pieces[k]);
      r.Text += "\r\n" + lines.back();
    }
  }
  const int32_t caretByte = static_cast<int32_t>(lines.back().size()) + 1;
  lines.back() += tail;
  bool rowsChanged = ReplaceLines(at.Y, 1, lines);
  const int32_t lastLine = at.Y + static_cast<int32_t>(lines.size()) - 1;
  r.Caret = ToDisplay(caretByte, lastLine);
  FinishEdit(r, redraw, lastLine, rowsChanged || lines.size() > 1);
  return r;
}

TPoint TEditList::EndOfText(TPoint from, const std::string& text) {
  TStrings pieces = TextLines(text);
  if (pieces.size() == 1) return TPoint{from.X + static_cast<int32_t>(text.size()), from.Y};
  return TPoint{static_cast<int32_t>(pieces.back().size()) + 1, from.Y + static_cast<int32_t>(pieces.size()) - 1};
}

TEditResult TEditList::ReplaceText(TPoint from, TPoint to, const std::string& text) {
  auto clamp = [&](TPoint p) {
    p.Y = std::clamp(p.Y, 0, Count() - 1);
    p.X = std::clamp(p.X, 1, static_cast<int32_t>(FLines[static_cast<size_t>(p.Y)].size()) + 1);
    // never inside a double-byte character
    p.X = static_cast<int32_t>(ToLeadPos(FLines[static_cast<size_t>(p.Y)], static_cast<size_t>(p.X)));
    return p;
  };
  from = clamp(from);
  to = clamp(to);
  if (Before(to, from)) std::swap(from, to);
  TEditResult r;
  r.Text = text;
  const int32_t redraw = RedrawFrom(std::max(0, ToDisplay(from).Y));
  TStrings pieces = TextLines(text);
  const std::string head = FLines[static_cast<size_t>(from.Y)].substr(0, static_cast<size_t>(from.X - 1));
  const std::string tail = FLines[static_cast<size_t>(to.Y)].substr(static_cast<size_t>(to.X - 1));
  pieces.front() = head + pieces.front();
  const int32_t caretByte = static_cast<int32_t>(pieces.back().size()) + 1;
  pieces.back() += tail;
  const int32_t lastLine = from.Y + static_cast<int32_t>(pieces.size()) - 1;
  bool rowsChanged = ReplaceLines(from.Y, to.Y - from.Y + 1, pieces);
  r.Caret = ToDisplay(caretByte, lastLine);
  FinishEdit(r, redraw, lastLine, rowsChanged || to.Y != from.Y || pieces.size() > 1);
  return r;
}

TEditResult TEditList::InsertBox(TPoint position, const TStrings& pieces) {
  TEditResult r;
  r.Caret = position;
  if (position.Y < 0 || position.Y >= FInfos.Count()) return r;
  const int32_t redraw = RedrawFrom(position.Y);
  bool rowsChanged = false, heading = false;
  int32_t lastLine = 0;
  for (size_t k = 0; k < pieces.size(); ++k) {
    const int32_t row = position.Y + static_cast<int32_t>(k);
    if (row >= FInfos.Count()) {
      ReplaceLines(Count(), 0, TStrings{std::string()});
      rowsChanged = true;
    }
    std::string pad;
    const TPoint at = InsertionPoint(TPoint{position.X, row}, pad);
    const std::string piece = pad + pieces[k];
    std::string text = FLines[static_cast<size_t>(at.Y)];
    text.insert(static_cast<size_t>(at.X - 1), piece);
    rowsChanged = ReplaceLines(at.Y, 1, TStrings{text}) || rowsChanged;
    heading = heading || FLastEditHeading;
    const int32_t to = at.X + static_cast<int32_t>(piece.size());
    r.Carets.push_back(T2Caret{ToDisplay(at), ToDisplay(to, at.Y)});
    r.LogicalCarets.push_back(T2Caret{at, TPoint{to, at.Y}});
    if (k) r.Text += "\r\n";
    r.Text += piece;
    lastLine = at.Y;
  }
  FLastEditHeading = heading;
  r.Caret = r.Carets.back().End;
  FinishEdit(r, redraw, lastLine, rowsChanged);
  return r;
}

// ---- Reformatting and search ---------------------------------------------------------------

TWrapResult TEditList::HardWrap(int32_t firstRow, int32_t lastRow, int32_t columns) {
  TWrapResult r;
  if (columns < 1 || FInfos.Count() == 0) return r;
  firstRow = std::clamp(firstRow, 0, FInfos.Count() - 1);
  lastRow = std::clamp(lastRow, 0, FInfos.Count() - 1);
  if (lastRow < firstRow) std::swap(firstRow, lastRow);
  const int32_t l1 = FInfos[firstRow].LineIndex, l2 = FInfos[lastRow].LineIndex;
  if (l1 < 0 || l2 >= Count()) return r;
  r.FirstLine = l1;
  const bool zenkaku = FStyle->Editor().UseZenkaku;
  const TMeasure measure{Metrics, FontHeight, FStyle->Editor().Vertical};
  std::vector<std::pair<int32_t, TStrings>> made;
  for (int32_t l = l1; l <= l2; ++l) {
    const std::string& text = FLines[static_cast<size_t>(l)];
    THangIndent h = HangIndent(text, FIndent);
    h.Indent = std::max(0, h.Indent);
    TIntegers pieces = BreakLine(text, LineWidth, columns, 0, h.Indent, h.Togaki, FBreak, measure);
    const std::string pad = SpaceStr(h.Indent, zenkaku);
    TStrings lines;
    int32_t start = 0;
    for (size_t k = 0; k < pieces.size(); ++k) {
      std::string piece = text.substr(static_cast<size_t>(start), static_cast<size_t>(pieces[k]));
      lines.push_back((k > 0 || h.Togaki ? pad : std::string()) + piece);
      start += pieces[k];
    }
    r.Counts.push_back(static_cast<int32_t>(lines.size()));
    r.Indents.push_back(static_cast<int32_t>(pad.size()));
    r.FirstIndents.push_back(h.Togaki ? static_cast<int32_t>(pad.size()) : 0);
    made.emplace_back(l, std::move(lines));
  }
  for (size_t k = made.size(); k-- > 0;) ReplaceLines(made[k].first, 1, made[k].second);
  return r;
}

void TEditList::UnWrap(const TWrapResult& wrap) {
  int32_t line = wrap.FirstLine;
  for (size_t k = 0; k < wrap.Counts.size() && line < Count(); ++k, ++line) {
    const int32_t count = std::min(wrap.Counts[k], Count() - line);
    if (count < 1) continue;
    // the padding HardWrap put there, in either width
    auto dropped = [](const std::string& s, int32_t n) {
      for (bool full : {true, false}) {
        std::string pad = SpaceStr(n, full);
        if (!pad.empty() && s.compare(0, pad.size(), pad) == 0) return s.substr(pad.size());
      }
      return s;
    };
    std::string joined = dropped(FLines[static_cast<size_t>(line)], k < wrap.FirstIndents.size() ? wrap.FirstIndents[k] : 0);
    for (int32_t j = 1; j < count; ++j)
      joined += dropped(FLines[static_cast<size_t>(line + j)], k < wrap.Indents.size() ? wrap.Indents[k] : 0);
    ReplaceLines(line, count, TStrings{joined});
  }
}

TPoint TEditList::FindNth(const std::string& text, TPoint start, int32_t n, bool forward) const {
  const TPoint none{-1, -1};
  if (text.empty() || n < 1) return none;
  const TPoint from = ToLogical(start);
  const int options = IgnoreCase ? SearchIgnoreCase : 0;
  int32_t found = 0;
  for (int32_t l = from.Y; forward ? l < Count() : l >= 0; l += forward ? 1 : -1) {
    TIntegers hits = SearchAll(text, FLines[static_cast<size_t>(l)], options);
    if (!forward) std::reverse(hits.begin(), hits.end());
    for (int32_t h : hits) {
      if (l == from.Y && (forward ? h <= from.X : h >= from.X)) continue;
      if (++found == n) return ToDisplay(h, l);
    }
  }
  return none;
}

}  // namespace kaede
