#include "EditorGeometry.h"

#include <cmath>
#include <cstdlib>

#include "Cp932.h"
#include "EditLists.h"
#include "SheetPrinters.h"
#include "Strs.h"

namespace kaede {

namespace {
int32_t Round(double v) { return RoundHalfEven(v); }

bool Enabled(const TEditorStyle& s, int element) { return s.ViewInfo(element)->IsEnabled(); }

// n equal shares of a leftover, the remainder one pixel each over the first items: the
// extra pixels of the first `count` items (each item k < count gets base, and one more
// (or less) while k < |rem|).
int64_t LeftoverBefore(int32_t leftover, int32_t items, int32_t count) {
  if (items <= 0 || leftover == 0) return 0;
  const int32_t m = std::clamp(count, 0, items);
  const int32_t base = leftover / items, rem = leftover % items;
  return static_cast<int64_t>(m) * base + (rem >= 0 ? std::min(m, rem) : -std::min(m, -rem));
}

int32_t LeftoverAt(int32_t leftover, int32_t items, int32_t k) {
  if (items <= 0 || leftover == 0 || k < 0 || k >= items) return 0;
  const int32_t base = leftover / items, rem = leftover % items;
  return base + (k < std::abs(rem) ? (rem > 0 ? 1 : -1) : 0);
}
}  // namespace

// ---- Layout --------------------------------------------------------------------------------

void TEditorGeometry::Compute(const TEditorStyle& style, const TEditorLayoutInput& in, const TEditorReference* ref,
                              TEditorReference* keep) {
  const TEditorValues& e = style.Editor();
  auto length = [&](double v) { return in.Length ? in.Length(v) : Round(v * in.Zoom); };
  Vertical = e.Vertical;
  Zoom = in.Zoom > 0 ? in.Zoom : 1;
  Width = std::max(0, in.Width);
  Height = std::max(0, in.Height);
  const int32_t along = Vertical ? Height : Width;
  CrossExtent = Vertical ? Width : Height;

  // partitions along the writing, the last one taking what is left
  Partitions = std::max(1, e.PartationCount);
  PartitionGap = length(e.PartationMargin);
  PartitionExtent = std::max(0, (along - (Partitions - 1) * PartitionGap) / Partitions);
  PartitionRects.clear();
  for (int32_t i = 0; i < Partitions; ++i) {
    const int32_t start = i * (PartitionExtent + PartitionGap);
    const int32_t end = i + 1 == Partitions ? std::max(start, along) : start + PartitionExtent;
    PartitionRects.push_back(Vertical ? TRect{0, start, Width, end} : TRect{start, 0, end, Height});
  }

  const bool lineInfo = Enabled(style, TEditorStyle::viLineInfo);
  Margin = lineInfo ? Round(LineNumberDigits(style, in.LineInfoDigits) * std::abs(in.LineInfoFontHeight) / 2.0) + 8 : 0;
  TextLeft = length(e.TextLeftMargin);
  TextRight = length(e.TextRightMargin);
  LineExtent = PartitionExtent - Margin - TextLeft - TextRight;
  Spacing = length(e.ColumnSpace);
  TailHang = e.TailHang;
  ReturnMark = Enabled(style, TEditorStyle::viReturn);
  const int32_t hang = TailHang ? 2 : 0, ret = ReturnMark ? 1 : 0;

  // the font: kept in proportion after a reference pass, or made to fill a fixed cell count
  // (the line extent is already in pixels of the surface: no second zoom)
  if (ref && ref->Valid) {
    FontHeight = Round(Height * ref->FontShare);
  } else if (e.FontSizeAuto && !e.ColumnCountAuto && e.ColumnCount >= 1) {
    FontHeight = Round(std::trunc((static_cast<double>(LineExtent) / (e.ColumnCount + hang + ret) - Spacing) * 2));
  } else {
    FontHeight = std::abs(in.FontHeight);
  }
  FontHeight = std::max(1, FontHeight);
  LineSpace = length(e.LineSpace);
  CellPitch = std::max(1, Round(FontHeight / 2.0) + Spacing);
  LinePitch = std::max(1, FontHeight + LineSpace);

  if (ref && ref->Valid) {
    Cells = std::max(1, ref->Cells);
    Rows = std::max(1, ref->Rows);
  } else {
    Cells = e.ColumnCountAuto || e.ColumnCount < 1 ? LineExtent / CellPitch - hang - ret : e.ColumnCount;
    if (Enabled(style, TEditorStyle::viGapLine) && e.GapLineStyle == 1) Cells -= Cells % 2;
    Cells = std::max(1, Cells);
    Rows = std::max(1, CrossExtent / LinePitch);
  }
  if (keep) {
    keep->Valid = true;
    keep->Cells = Cells;
    keep->Rows = Rows;
    keep->AlongShare = along > 0 ? static_cast<double>(hang + Cells + ret) * CellPitch / along : 0;
    keep->AcrossShare = CrossExtent > 0 ? static_cast<double>(LinePitch) * Rows / CrossExtent : 0;
    keep->FontShare = Height > 0 ? static_cast<double>(FontHeight) / Height : 0;
    keep->LineExtent = LineExtent;
    keep->Spacing = Spacing;
    keep->PageWidth = Width;
  }
  AlongLeftover = AcrossLeftover = 0;
  if (ref && ref->Valid) {
    AlongLeftover = Round(along * ref->AlongShare) - (hang + Cells + ret) * CellPitch;
    int32_t cross = Round(CrossExtent * ref->AcrossShare) - LinePitch * Rows;
    if (cross > 0) {
      // the whole pixels per row go into the line space; only the remainder is spread
      LineSpace += cross / Rows;
      LinePitch += cross / Rows;
      cross %= Rows;
    }
    AcrossLeftover = cross;
  }
  if (lineInfo && Enabled(style, TEditorStyle::viGapLine) && e.GapLineStyle == 2 && Vertical)
    Margin = Round(LinePitch * 1.5);
  const int32_t perPartition = e.LineCountInPage > 0 && (in.PaperShown || e.PageRoll) ? e.LineCountInPage : Rows;
  LinesPerPage = Partitions * perPartition;
  GridInset = Enabled(style, TEditorStyle::viGapLine) && e.GapLineStyle == 1 ? std::max(1, Round(FontHeight * 0.1)) : 0;
  AnnotationMode = Enabled(style, TEditorStyle::viRubi) || Enabled(style, TEditorStyle::viBoten) ||
                   (Enabled(style, TEditorStyle::viFootNote) && Enabled(style, TEditorStyle::viFootNoteMark));
}

int32_t TEditorGeometry::StoreCells(const TEditorStyle& style) const {
  const TEditorValues& e = style.Editor();
  if (e.ColumnCountAuto) return e.ProportionalFont ? 0 : Cells;
  return e.ColumnCount;
}

int32_t TEditorGeometry::StoreLineWidth(const TEditorStyle& style, int32_t hangWidth) const {
  int32_t w = LineExtent;
  if (TailHang) w -= style.Editor().ProportionalFont ? hangWidth : 2 * CellPitch;
  if (ReturnMark) w -= CellPitch;
  return std::max(0, w);
}

// ---- Cells and rows ------------------------------------------------------------------------

int32_t TEditorGeometry::CellPitchAt(int32_t k) const { return CellPitch + LeftoverAt(AlongLeftover, Cells, k); }

int32_t TEditorGeometry::CellOffset(int32_t column) const {
  const int32_t n = std::max(0, column - 1);
  return static_cast<int32_t>(static_cast<int64_t>(n) * CellPitch + LeftoverBefore(AlongLeftover, Cells, n));
}

int32_t TEditorGeometry::CellOffset(int32_t column, const TIntegers* offsets) const {
  if (!offsets || offsets->empty()) return CellOffset(column);
  const int32_t n = static_cast<int32_t>(offsets->size());
  if (column >= 1 && column <= n) return (*offsets)[static_cast<size_t>(column - 1)];
  if (column < 1) return 0;
  return offsets->back() + CellOffset(column) - CellOffset(n);
}

int32_t TEditorGeometry::RowPitchAt(int32_t k) const { return LinePitch + LeftoverAt(AcrossLeftover, Rows, k); }

int32_t TEditorGeometry::RowOffset(int32_t index) const {
  const int32_t n = std::max(0, index);
  return static_cast<int32_t>(static_cast<int64_t>(n) * LinePitch + LeftoverBefore(AcrossLeftover, Rows, n));
}

TRect TEditorGeometry::Cross(const TRect& partition, int32_t from, int32_t to) const {
  if (Vertical) return TRect{partition.Right - to, partition.Top, partition.Right - from, partition.Bottom};
  return TRect{partition.Left, partition.Top + from, partition.Right, partition.Top + to};
}

TRowPlace TEditorGeometry::PlaceRow(int32_t k, int32_t pageFirst) const {
  TRowPlace p;
  const int32_t perPartition = RowsPerPartition();
  const int32_t rel = k - pageFirst;
  p.Partition = rel < 0 ? 0 : std::min(rel / perPartition, Partitions - 1);
  p.Index = rel - p.Partition * perPartition;
  const TRect part = PartitionRects.empty() ? TRect{0, 0, Width, Height} : PartitionRects[static_cast<size_t>(p.Partition)];
  const int32_t from = RowOffset(p.Index);
  p.Row = Cross(part, from, from + RowPitchAt(p.Index));
  p.TextStart = (Vertical ? part.Top : part.Left) + Margin + TextLeft;
  const int32_t H = FontHeight;
  if (AnnotationMode) {
    // against the side away from the annotations; the line space lies on their side
    if (Vertical) p.Band = TRect{p.Row.Left + 1 + GridInset, p.Row.Top, p.Row.Left + H + 1 + GridInset, p.Row.Bottom};
    else p.Band = TRect{p.Row.Left, p.Row.Bottom - H - 1 - GridInset, p.Row.Right, p.Row.Bottom - 1 - GridInset};
  } else {
    if (Vertical) {
      const int32_t right = p.Row.Right - LineSpace / 2;
      p.Band = TRect{right - H, p.Row.Top, right, p.Row.Bottom};
    } else {
      const int32_t top = p.Row.Top + LineSpace / 2;
      p.Band = TRect{p.Row.Left, top, p.Row.Right, top + H};
    }
  }
  return p;
}

// ---- Caret and hit testing -----------------------------------------------------------------

TRect TEditorGeometry::CaretRect(const TRowPlace& p, int32_t column, bool bigCaret, int32_t charCells,
                                 const TIntegers* offsets) const {
  const int32_t thick = bigCaret ? std::clamp(Round(Zoom * 4), 1, 8) : std::clamp(Round(Zoom * 3), 1, 3);
  const int32_t at = p.TextStart + CellOffset(column, offsets);
  int32_t a0 = at - thick / 2, a1 = a0 + thick;
  if (charCells > 0) {
    a0 = at - 1;
    a1 = p.TextStart + CellOffset(column + charCells, offsets) + 1;
  }
  // across: the whole line pitch for the thick caret, the text band otherwise
  int32_t c0, c1;
  if (Vertical) {
    c0 = bigCaret ? p.Row.Left + 1 : p.Band.Left;
    c1 = bigCaret ? p.Row.Right : p.Band.Right;
    return TRect{c0, a0, c1, a1};
  }
  c0 = bigCaret ? p.Row.Top : p.Band.Top;
  c1 = bigCaret ? p.Row.Bottom - 1 : p.Band.Bottom;
  return TRect{a0, c0, a1, c1};
}

int32_t TEditorGeometry::ColumnAt(const TRowPlace& p, int32_t along, const TIntegers* offsets) const {
  const int32_t d = along - p.TextStart;
  if (d <= 0) return 1;
  // the advance of column c (0 for the trail byte of a character with its own advance)
  auto pitchOf = [&](int32_t c) {
    return offsets ? CellOffset(c + 1, offsets) - CellOffset(c, offsets) : std::max(1, CellPitchAt(c - 1));
  };
  int32_t column = 1, pos = 0;
  for (int32_t k = 0; k < 100000; ++k, ++column) {
    const int32_t pitch = pitchOf(column);
    if (pitch <= 0) continue;
    if (pos + pitch > d) {
      if (d - pos > pitch / 2) {
        ++column;
        while (offsets && column < 100000 && pitchOf(column) == 0) ++column;  // off the trail byte
      }
      break;
    }
    pos += pitch;
  }
  return column;
}

int32_t TEditorGeometry::RowIndexAt(const TRect& partition, int32_t across) const {
  const int32_t d = Vertical ? partition.Right - 1 - across : across - partition.Top;
  if (d < 0) return -1;
  const int32_t perPartition = RowsPerPartition();
  for (int32_t k = 0; k < perPartition; ++k)
    if (d < RowOffset(k + 1)) return k;
  return -1;
}

// ---- Line numbers --------------------------------------------------------------------------

int32_t LineNumberDigits(const TEditorStyle& style, int32_t storeDigits) {
  const TEditorValues& e = style.Editor();
  int32_t digits = e.Vertical && e.LineInfoVerticalRow ? 2 : std::max(storeDigits, 3);
  if (e.LineInfoStyle == 2 || e.LineInfoStyle == 3) ++digits;
  return digits;
}

std::string LineNumberText(const TEditorStyle& style, const TEditList& lines, int32_t k) {
  const TEditorValues& e = style.Editor();
  const int32_t p = e.LineCountInPage;
  int64_t n = 0;
  switch (e.LineInfoStyle) {
    case 0: n = k + 1; break;
    case 1: {
      const TDisplayLine& d = lines.Info(k);
      if (d.Row != 0 || d.LineIndex < 0) return std::string();
      n = d.LineIndex + 1;
      break;
    }
    case 2:
      if (p > 0 && k % p == 0) return "P" + std::to_string(k / p + 1);
      n = p > 0 ? k % p + 1 : k + 1;
      break;
    case 3:
      if (p > 0 && k % p == 0) return "P" + std::to_string(k / p + 1);
      return std::string();
    case 4: n = lines.Info(k).HeadingNo; break;
    default: return std::string();
  }
  n -= e.LineInfoStartLineNo;
  const int32_t v = e.LineInfoInterval;
  if (v > 1 && (n < e.StartLineInfoNo || (n - e.StartLineInfoNo) % v > 0)) return std::string();
  if (n <= 0) return std::string();
  return std::to_string(n);
}

// ---- Annotations ---------------------------------------------------------------------------

TIntegers RubyAdvances(int32_t k, const TIntegers& baseAdvances, int32_t h) {
  TIntegers a(static_cast<size_t>(std::max(0, k)), 0);
  if (k <= 0) return a;
  if (k == 1) {
    a[0] = h;
    return a;
  }
  a[static_cast<size_t>(k - 2)] = h;
  a[static_cast<size_t>(k - 1)] = 0;
  // the characters before the last: only a share longer than one character divides the
  // base among them (k − 2 is 0 for a single full-width character)
  if (k <= 2) return a;
  const int32_t n = k - 2;
  if (static_cast<int32_t>(baseAdvances.size()) == k) {
    for (int32_t i = 0; i < n; ++i) a[static_cast<size_t>(i)] = baseAdvances[static_cast<size_t>(i)];
    return a;
  }
  int64_t t = 0;
  for (int32_t v : baseAdvances) t += v;
  int32_t w = Round(static_cast<double>(t - h) / n);
  const int32_t half = Round(h / 2.0);
  if (w < half) {
    for (int32_t i = 0; i < n; ++i) a[static_cast<size_t>(i)] = half;
    return a;
  }
  for (int32_t i = 0; i < n; ++i) a[static_cast<size_t>(i)] = w;
  const int64_t s = static_cast<int64_t>(n) * w + h - t;
  for (int64_t i = 0; i < std::min<int64_t>(std::abs(s), n); ++i) a[static_cast<size_t>(i)] += s > 0 ? -1 : 1;
  return a;
}

int32_t RubyCut(const std::string& ruby, int32_t n, int32_t cut) {
  if (n <= 0) return 0;
  const int32_t r = static_cast<int32_t>(ruby.size());
  int32_t c = std::clamp(Round(static_cast<double>(r) * cut / n), 0, r);
  if (c > 0 && c < r && IsTrailBytePos(ruby, static_cast<size_t>(c) + 1)) ++c;
  return c;
}

std::vector<bool> VerticalRowPairs(const std::string& text, int32_t indent) {
  std::vector<bool> r(text.size(), false);
  auto member = [&](size_t i) {
    if (i >= text.size() || CharLenAt(text, i) != 1) return false;
    const char c = text[i];
    return (c >= '0' && c <= '9') || c == '!' || c == '?' || c == ' ';
  };
  size_t i = 0;
  while (i < text.size()) {
    if (!member(i)) {
      i += CharLenAt(text, i);
      continue;
    }
    size_t j = i;
    while (member(j)) ++j;
    const bool afterIndent = static_cast<int32_t>(i) <= indent;  // the indent is no neighbour
    size_t from = i;
    if (afterIndent) {
      from = std::max(i, static_cast<size_t>(std::max(0, indent)));
    }
    if (j - from == 2 && !(text[from] == ' ' && text[from + 1] == ' ')) r[from] = r[from + 1] = true;
    i = j;
  }
  return r;
}

std::string EmphasisMark(int32_t kind) {
  switch (kind) {
    case 0: return SJ("、");
    case 1: return SJ("○");
    case 2: return SJ("●");
    case 3: return SJ("▲");
    case 4: return SJ("△");
    case 5:
    case 6: return SJ("◎");
    case 7: return SJ("、");
    default: return std::string();
  }
}

}  // namespace kaede
