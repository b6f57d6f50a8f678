#include "BaseViews.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "Cp932.h"
#include "PrintOffsets.h"
#include "Strs.h"

namespace kaede {

namespace {

// System colours of the page frame.
constexpr TColor kAppWorkSpace = static_cast<TColor>(0xFF00000C);
// Gap between tiled sheets on screen, and the space around them.
constexpr int32_t kSheetGap = 8;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

TClockValue ClockNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

// ---- Geometry and drawing helpers ----------------------------------------------------------

TRect IntersectRects(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

namespace {

// The start of a clipped dotted line moved to the phase of its unclipped start, so that the
// dots of a line painted in pieces line up.
int32_t DotPhase(const TCanvas& c, int32_t from, int32_t clipped) {
  if (c.Pen().Style != TPenStyle::Dot || clipped <= from) return clipped;
  int32_t period = 2 * std::max<int32_t>(1, c.Pen().Width);
  int32_t k = (clipped - from) % period;
  return k == 0 ? clipped : clipped + period - k;
}

void OneHLine(TCanvas& c, int32_t x1, int32_t x2, int32_t y, const TRect& clip) {
  int32_t w = std::max<int32_t>(1, c.Pen().Width);
  int32_t above = w / 2;
  if (y - above >= clip.Bottom || y - above + w <= clip.Top) return;
  int32_t lo = std::min(x1, x2), hi = std::max(x1, x2);
  int32_t a = DotPhase(c, lo, std::max(lo, clip.Left)), b = std::min(hi, clip.Right);
  if (a >= b) return;
  c.Line(a, y, b, y);
}

void OneVLine(TCanvas& c, int32_t x, int32_t y1, int32_t y2, const TRect& clip) {
  int32_t w = std::max<int32_t>(1, c.Pen().Width);
  int32_t left = w / 2;
  if (x - left >= clip.Right || x - left + w <= clip.Left) return;
  int32_t lo = std::min(y1, y2), hi = std::max(y1, y2);
  int32_t a = DotPhase(c, lo, std::max(lo, clip.Top)), b = std::min(hi, clip.Bottom);
  if (a >= b) return;
  c.Line(x, a, x, b);
}

int32_t DoubleDistance(const TCanvas& c) { return std::max<int32_t>(2, 2 * std::max<int32_t>(1, c.Pen().Width)); }

}  // namespace

void DrawHLine(TCanvas& c, int32_t x1, int32_t x2, int32_t y, const TRect& clip, bool dbl) {
  if (c.Pen().Style == TPenStyle::Clear) return;
  OneHLine(c, x1, x2, y, clip);
  if (dbl) OneHLine(c, x1, x2, y + DoubleDistance(c), clip);
}

void DrawVLine(TCanvas& c, int32_t x, int32_t y1, int32_t y2, const TRect& clip, bool dbl) {
  if (c.Pen().Style == TPenStyle::Clear) return;
  OneVLine(c, x, y1, y2, clip);
  if (dbl) OneVLine(c, x + DoubleDistance(c), y1, y2, clip);
}

void DrawFrameRect(TCanvas& c, const TRect& r, const TRect& clip, bool dbl) {
  if (c.Pen().Style == TPenStyle::Clear || IsEmptyRect(r)) return;
  // the sides lie on the rectangle's own border pixels; a one-pixel pen closes the corners
  int32_t ext = std::max<int32_t>(1, c.Pen().Width) <= 1 ? 1 : 0;
  DrawHLine(c, r.Left, r.Right - 1 + ext, r.Top, clip);
  DrawHLine(c, r.Left, r.Right - 1 + ext, r.Bottom - 1, clip);
  DrawVLine(c, r.Left, r.Top, r.Bottom - 1 + ext, clip);
  DrawVLine(c, r.Right - 1, r.Top, r.Bottom - 1 + ext, clip);
  if (dbl) DrawFrameRect(c, {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2}, clip, false);
}

void FillBand(TCanvas& c, const TRect& outer, const TRect& inner, const TRect& clip) {
  TRect area = IntersectRects(outer, clip);
  if (IsEmptyRect(area)) return;
  if (!IsEmptyRect(inner) && inner.Left <= outer.Left && inner.Top <= outer.Top && inner.Right >= outer.Right &&
      inner.Bottom >= outer.Bottom)
    return;
  TPen pen = c.Pen();
  if (c.Brush().Style != TBrushStyle::Solid) pen.Style = TPenStyle::Clear;
  else pen.Color = c.Brush().Color;
  c.SetPen(pen);
  if (IsEmptyRect(inner)) {
    c.FillRect(area);
    return;
  }
  TRect in = IntersectRects(inner, outer);
  const TRect strips[] = {
      {outer.Left, outer.Top, outer.Right, in.Top},
      {outer.Left, in.Bottom, outer.Right, outer.Bottom},
      {outer.Left, in.Top, in.Left, in.Bottom},
      {in.Right, in.Top, outer.Right, in.Bottom},
  };
  for (const TRect& s : strips) {
    TRect part = IntersectRects(s, area);
    if (!IsEmptyRect(part)) c.FillRect(part);
  }
}

void FillClipped(TCanvas& c, const TRect& outer, const TRect& clip, TColor color) {
  TRect area = IntersectRects(outer, clip);
  if (IsEmptyRect(area)) return;
  c.SetBrush({TBrushStyle::Solid, color});
  c.FillRect(area);
}

THeaderParts SplitHeaderFormat(const std::string& format) {
  THeaderParts parts;
  size_t first = format.find("&b");
  if (first == std::string::npos) {
    parts.Left = format;
    return parts;
  }
  parts.Left = format.substr(0, first);
  size_t second = format.find("&b", first + 2);
  if (second == std::string::npos) {
    parts.Center = format.substr(first + 2);
  } else {
    parts.Center = format.substr(first + 2, second - first - 2);
    parts.Right = format.substr(second + 2);
  }
  return parts;
}

std::string ExpandMacros(const std::string& text, const std::function<std::string(char)>& expand) {
  // "&" never is a trail byte, so every "&" found is a character of its own
  std::string s = text;
  for (size_t pos = s.rfind('&'); pos != std::string::npos; pos = pos == 0 ? std::string::npos : s.rfind('&', pos - 1)) {
    if (pos + 1 >= s.size()) continue;
    if (pos > 0 && s[pos - 1] == '&') continue;
    size_t n = CharLenAt(s, pos + 1);
    char letter = n == 1 ? s[pos + 1] : '\0';
    s.replace(pos, 1 + n, expand(letter));
  }
  return s;
}

// ---- TBaseView: life and style -------------------------------------------------------------

TBaseView::TBaseView(TBaseStyle* style, std::function<TBaseStyle*()> styleFactory) {
  if (style) {
    FStyle = style;
  } else {
    FStyle = styleFactory ? styleFactory() : new TBaseStyle();
    FStyle->Create(nullptr);
    FOwnsStyle = true;
    ConnectStyle();
  }
}

TBaseView::~TBaseView() {
  if (FHost && FAutoScrollTimer) FHost->StopTimer(kAutoScrollTimer);
  if (FOwnsStyle && FStyle) {
    FStyle->OnBeforeChange = nullptr;
    FStyle->OnAfterChange = nullptr;
    FStyle->Free();
  }
}

void TBaseView::ConnectStyle() {
  FStyle->OnBeforeChange = [this](TDataItem*, int) { StyleChanging(); };
  FStyle->OnAfterChange = [this](TDataItem*, int) { StyleChanged(); };
}

void TBaseView::SetHost(IViewHost* host) {
  if (FHost == host) return;
  if (FHost && FAutoScrollTimer) FHost->StopTimer(kAutoScrollTimer);
  FAutoScrollTimer = false;
  FHost = host;
  HostChanged();
}

void TBaseView::SetBounds(int32_t width, int32_t height) {
  width = std::max<int32_t>(0, width);
  height = std::max<int32_t>(0, height);
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  Resize();
}

void TBaseView::SetStyle(TBaseStyle* s) {
  if (!s) return;
  if (FOwnsStyle) {
    if (s != FStyle) FStyle->Assign(s);  // notifies: StyleChanged
    else StyleChanged();
    return;
  }
  StyleChanging();
  FStyle = s;
  StyleChanged();
}

void TBaseView::StyleChanged() {
  BeginPaint();
  ApplyStyle();
  Resize();
  EndPaint(true);
}

void TBaseView::ApplyStyle() {
  const TBaseStyleValues& b = FStyle->Base();
  if (b.PaperVisible) {
    bool fresh = !FAppliedOnce || !FLastPaperVisible;
    bool changed = fresh || b.PaperSize != FLastPaperSize || b.PaperWidth != FLastPaperWidth ||
                   b.PaperHeight != FLastPaperHeight || b.Orientation != FLastOrientation;
    if (changed || ForcePageSetup) ApplyPageSetup(fresh || ForcePageSetup);
  }
  SetOffset({0, 0});
  FRatioValue = b.RatioValue;
  FAppliedOnce = true;
  FLastPaperVisible = b.PaperVisible;
  FLastPaperSize = b.PaperSize;
  FLastPaperWidth = b.PaperWidth;
  FLastPaperHeight = b.PaperHeight;
  FLastOrientation = b.Orientation;
  ForcePageSetup = false;
}

void TBaseView::SetRatioValue(int32_t value) {
  if (value == FRatioValue) return;
  FRatioValue = value;
  BeginPaint();
  SetOffset({0, 0});
  Resize();
  EndPaint(true);
  if (OnRatioChange) OnRatioChange();
}

void TBaseView::EndPaint(bool repaint) {
  if (FPaintLock <= 0) return;
  if (--FPaintLock == 0 && repaint) Invalidate();
}

void TBaseView::EndResize(bool doResize) {
  if (FResizeLock <= 0) return;
  if (--FResizeLock == 0 && doResize) Resize();
}

void TBaseView::Invalidate() {
  if (FPaintLock > 0 || !FHost) return;
  FHost->InvalidateRect(ClientRect());
}

void TBaseView::InvalidateRect(const TRect& r) {
  if (FPaintLock > 0 || !FHost || IsEmptyRect(r)) return;
  FHost->InvalidateRect(r);
}

// ---- Surfaces ------------------------------------------------------------------------------

TCanvas& TBaseView::Canvas() {
  if (FPrinting && FPrintCanvas) return *FPrintCanvas;
  if (FPaintCanvas) return *FPaintCanvas;
  int32_t dpi = PageMetrics().ScreenDpi;
  if (!FScreenCanvas || FScreenCanvasDpi != dpi) {
    FScreenCanvas = Surfaces().MeasureCanvas(dpi);
    FScreenCanvasDpi = dpi;
    FScreenCanvas->SetFont(CanvasFont(FViewFont, 0, dpi));
  }
  return *FScreenCanvas;
}

void TBaseView::RefreshPrintCanvas() {
  int32_t dpi = PageMetrics().PageDpi;
  TPrintSurface* job = SheetPrinter().Canvas();
  FPrintCanvas = job ? Surfaces().PrintCanvas(job, dpi) : nullptr;
  if (!FPrintCanvas) FPrintCanvas = Surfaces().MeasureCanvas(dpi);
  FPrintCanvas->SetFont(CanvasFont(FViewFont, 0, dpi));
}

void TBaseView::SetPrinting(bool on) {
  if (on == FPrinting) return;
  FPrinting = on;
  if (on) RefreshPrintCanvas();
  else FPrintCanvas.reset();
  TCanvas& c = Canvas();
  c.SetFont(CanvasFont(FViewFont, 0, c.Dpi()));
}

void TBaseView::SetFont(const TFontRecord& font, int32_t height) {
  TCanvas& c = Canvas();
  TCanvasFont f = CanvasFont(font, 0, c.Dpi());
  if (height != 0) f.Height = std::max<int32_t>(1, std::abs(height));
  else if (FZoom != 1.0) f.Height = std::max<int32_t>(1, RoundHalfEven(f.Height * FZoom));
  c.SetFont(f);
}

void TBaseView::ResetCanvasFontAfterZoom() {
  if (FZoom == FLastArrangeZoom) return;
  FLastArrangeZoom = FZoom;
  SetFont(FViewFont, 0);
}

void TBaseView::SetLinePen(const TViewInfo* e) {
  if (!e || e->Decorate() <= 0) return;
  TCanvas& c = Canvas();
  c.SetBrush({TBrushStyle::Solid, e->BackColor()});
  TPen pen;
  switch (e->LinePen()) {
    case lpNone: pen.Style = TPenStyle::Clear; break;
    case lpSolid: pen.Style = TPenStyle::Solid; break;
    case lpDot: pen.Style = TPenStyle::Dot; break;
    case lpDash: pen.Style = TPenStyle::Dash; break;
  }
  pen.Width = 1;
  // The width is a length of the style on every surface (millimetres with paper), so that a
  // printed rule is as wide as the rule on screen.
  if (e->LineWidth() > 0 && e->Decorate() < 3) pen.Width = std::max<int32_t>(1, LengthToPixels(e->LineWidth()));
  pen.Color = e->DecorateColor();
  c.SetPen(pen);
}

// ---- Lengths and layout --------------------------------------------------------------------

int32_t TBaseView::ToPixels(double mm) const {
  const TPageMetrics& m = PageMetrics();
  if (FPrinting || FMeasuring) return RoundHalfEven(mm * m.PageDpi / 25.4);
  return RoundHalfEven(mm * m.ScreenDpi / 25.4 * FZoom);
}

int32_t TBaseView::LengthToPixels(double length) const {
  if (FStyle && FStyle->PaperVisible()) return ToPixels(length);
  return RoundHalfEven(length * FZoom);
}

void TBaseView::ArrangeInnerBoxes() {
  const TBaseStyleValues& b = FStyle->Base();
  int32_t l = ToPixels(b.PaperMarginLeft), t = ToPixels(b.PaperMarginTop);
  int32_t r = ToPixels(b.PaperMarginRight), bm = ToPixels(b.PaperMarginBottom);
  FPaperAreaBox = {l, t, std::max(0, FPaperBox.Width - l - r), std::max(0, FPaperBox.Height - t - bm)};
  FPageCellBox = {FPaperAreaBox.X, FPaperAreaBox.Y,
                  RoundHalfEven(static_cast<double>(FPaperAreaBox.Width) / std::max(1, b.PaperLevelDivide)),
                  RoundHalfEven(static_cast<double>(FPaperAreaBox.Height) / std::max(1, b.PaperVerticalDivide))};
  int32_t ml = ToPixels(b.MarginLeft), mt = ToPixels(b.MarginTop);
  int32_t mr = ToPixels(b.MarginRight), mb = ToPixels(b.MarginBottom);
  FContentBox = {ml, mt, std::max(0, FPageCellBox.Width - ml - mr), std::max(0, FPageCellBox.Height - mt - mb)};
}

void TBaseView::Arrange(const TRect& rect) {
  FExtent = {0, 0};
  const TBaseStyleValues& b = FStyle->Base();
  const TPageMetrics& m = PageMetrics();
  const int32_t cw = rect.Right - rect.Left, ch = rect.Bottom - rect.Top;
  if (FPrinting || FMeasuring) {
    FZoom = 1;
    FPaperBox = {0, 0, m.PaperDots.X, m.PaperDots.Y};
    ArrangeInnerBoxes();
    // the printer draws from its printable area's corner
    if (FPrinting) {
      FContentBox.X -= m.OffsetDots.X;
      FContentBox.Y -= m.OffsetDots.Y;
    }
  } else if (b.PaperVisible) {
    if (m.PaperScreen.X < 1 || m.PaperScreen.Y < 1) return;
    const double px = m.PaperScreen.X, py = m.PaperScreen.Y;
    int32_t w = 0, h = 0;
    // A client of 16 pixels or less still gets a sheet of at least one pixel.
    auto byWidth = [&] {
      w = std::max(1, cw - 16);
      h = std::max(1, RoundHalfEven(w * py / px));
    };
    auto byHeight = [&] {
      h = std::max(1, ch - 16);
      w = std::max(1, RoundHalfEven(h * px / py));
    };
    if (FRatioValue > 0) {
      w = std::max(1, RoundHalfEven(px * FRatioValue / 100));
      h = std::max(1, RoundHalfEven(py * FRatioValue / 100));
      FZoom = FRatioValue / 100.0;
    } else {
      // below -2 (no zoom of its own) shows the whole page
      if (FRatioValue == -2) byHeight();
      else if (FRatioValue == -1) byWidth();
      else if (px / py >= static_cast<double>(std::max(1, cw - 16)) / std::max(1, ch - 16)) byWidth();
      else byHeight();
      FZoom = w / px;
    }
    FPaperBox.Width = w;
    FPaperBox.Height = h;
    const double f = m.ScreenPerPage * FZoom;
    FPrintableBox = {RoundHalfEven(m.OffsetDots.X * f), RoundHalfEven(m.OffsetDots.Y * f),
                     RoundHalfEven(m.PrintableDots.X * f), RoundHalfEven(m.PrintableDots.Y * f)};
    ArrangeInnerBoxes();
    ResetCanvasFontAfterZoom();
    if (b.PaperTileVertical && w <= cw) FPaperBox.X = (cw - w) / 2;
    else FPaperBox.X = b.PaperTileHReverse ? cw - w - kSheetGap : kSheetGap;
    if (!b.PaperTileVertical && h <= ch) FPaperBox.Y = (ch - h) / 2;
    else FPaperBox.Y = b.PaperTileVReverse ? ch - h - kSheetGap : kSheetGap;
    FScrollStep = {ToPixels(10), ToPixels(10)};
  } else {
    FZoom = FRatioValue >= 1 ? FRatioValue / 100.0 : 1;
    ResetCanvasFontAfterZoom();
    FPaperBox = FPaperAreaBox = FPageCellBox = FContentBox = {0, 0, cw, ch};
    FScrollStep = {ToPixels(10), ToPixels(10)};
  }
  SetPageCount(FStyle->PagesPerSheet());
}

void TBaseView::SetPageCount(int32_t n) {
  // the sheet count is always made again: the pages per sheet may have changed alone
  FPageCount = std::max<int32_t>(1, n);
  int32_t pps = std::max<int32_t>(1, FStyle ? FStyle->PagesPerSheet() : 1);
  FSheetCount = (FPageCount + pps - 1) / pps;
}

TPoint TBaseView::GetExtent() {
  if (!FStyle->PaperVisible()) return {FWidth, FHeight};
  const int32_t w = FPaperBox.Width, h = FPaperBox.Height;
  if (FStyle->Base().PaperTileVertical) return {w + 2 * kSheetGap, (h + kSheetGap) * FSheetCount + kSheetGap};
  return {(w + kSheetGap) * FSheetCount + kSheetGap, h + 2 * kSheetGap};
}

void TBaseView::Resize() {
  if (!FStyle || FResizeLock > 0) return;
  if (!FAppliedOnce) ApplyStyle();
  Arrange(ClientRect());
  FExtent = GetExtent();
  FScrollLimit = {std::max(0, FExtent.X - FScrollStep.X), std::max(0, FExtent.Y - FScrollStep.Y)};
  if (OnExtentChange) OnExtentChange();
  // an offset beyond the new limit comes back inside it
  BeginPaint();
  SetOffset(FOffset);
  EndPaint(false);
  UpdateVisibleRange();
  if (OnResize) OnResize();
}

void TBaseView::UpdateVisibleRange() {
  if (FPrinting) return;
  if (!FStyle || !FStyle->PaperVisible()) {
    FFirstSheet = FLastSheet = FFirstPage = FLastPage = 0;
    return;
  }
  const int32_t pps = std::max<int32_t>(1, FStyle->PagesPerSheet());
  int32_t step, offset, client;
  if (FStyle->Base().PaperTileVertical) {
    step = FPaperBox.Height + kSheetGap;
    offset = FOffset.Y;
    client = FHeight;
  } else {
    step = FPaperBox.Width + kSheetGap;
    offset = FOffset.X;
    client = FWidth;
  }
  step = std::max(1, step);
  FFirstSheet = std::min(std::abs(offset) / step, FSheetCount - 1);
  FLastSheet = std::min(client / step + FFirstSheet + 1, FSheetCount - 1);
  FFirstPage = FFirstSheet * pps;
  FLastPage = std::min(FLastSheet * pps + pps - 1, FPageCount - 1);
}

void TBaseView::ApplyPageSetup(bool force) {
  TSheetPrinter& pr = SheetPrinter();
  const TBaseStyleValues& b = FStyle->Base();
  const bool has = pr.HasPrinter();
  int32_t oldPaper = 0;
  bool oldLandscape = false;
  if (has) {
    try {
      oldPaper = pr.GetPaperSizeNumber();
      oldLandscape = pr.GetOrientation();
    } catch (const ESheetPrinterNotSupported&) {
    }
  }
  ResetPageMetrics(b.Orientation);
  if (!has || !(pr.SupportedSettings() & psPaperSize)) return;
  ReadPrinterMetrics();
  bool changed = false;
  if (b.PaperSize == kPaperUser) {
    bool differs = oldPaper != kPaperUser;
    if (!differs) {
      try {
        TPoint e = pr.GetUserPaperExtent();
        differs = e.X != b.PaperWidth * 10 || e.Y != b.PaperHeight * 10;
      } catch (const ESheetPrinter&) {
        differs = true;
      }
    }
    if (differs) {
      pr.SetPaperExtent(b.PaperWidth * 10, b.PaperHeight * 10);
      changed = true;
    }
  } else if (oldPaper != b.PaperSize && pr.HasPaperNumber(b.PaperSize)) {
    pr.SetPaperSizeNumber(b.PaperSize);
    changed = true;
  }
  if ((pr.SupportedSettings() & psOrientation) && oldLandscape != b.Orientation) {
    pr.SetOrientation(b.Orientation);
    changed = true;
  }
  if (!changed && !force) return;
  // Every change is committed, a user size as well: the job prints on the committed paper.
  if (pr.SettingsModified()) pr.ApplySettings();
  ReadPaperMetrics(b.PaperSize == kPaperUser, b.PaperWidth, b.PaperHeight);
}

// ---- Rectangles ----------------------------------------------------------------------------

TRect TBaseView::SheetRect(int32_t sheet) const {
  const int32_t w = FPaperBox.Width, h = FPaperBox.Height;
  if (FPrinting || FMeasuring) return {0, 0, w, h};
  if (!FStyle->PaperVisible()) return ClientRect();
  const TBaseStyleValues& b = FStyle->Base();
  int32_t left = FOffset.X + FPaperBox.X, top = FOffset.Y + FPaperBox.Y;
  if (b.PaperTileVertical) top += (b.PaperTileVReverse ? -1 : 1) * sheet * (h + kSheetGap);
  else left += (b.PaperTileHReverse ? -1 : 1) * sheet * (w + kSheetGap);
  return {left, top, left + w, top + h};
}

TRect TBaseView::GapRect(int32_t sheet, const TRect& r) const {
  const TBaseStyleValues& b = FStyle->Base();
  const bool reversed = b.PaperTileVertical ? b.PaperTileVReverse : b.PaperTileHReverse;
  const int32_t first = reversed ? FSheetCount - 1 : 0, last = reversed ? 0 : FSheetCount - 1;
  if (b.PaperTileVertical)
    return {0, sheet == first ? 0 : r.Top - 7, FWidth, sheet == last ? FHeight : r.Bottom + kSheetGap};
  return {sheet == first ? 0 : r.Left - 7, 0, sheet == last ? FWidth : r.Right + 7, FHeight};
}

TRect TBaseView::PaperAreaRect(const TRect& r) const {
  if (!FPrinting && !FMeasuring && !FStyle->PaperVisible()) return ClientRect();
  return OffsetRect(BoxRect(FPaperAreaBox), r.Left, r.Top);
}

TRect TBaseView::PageRect(int32_t page, const TRect& a) const {
  const TBaseStyleValues& b = FStyle->Base();
  const int32_t cols = std::max(1, b.PaperLevelDivide), pps = std::max(1, FStyle->PagesPerSheet());
  if (pps == 1) return a;
  const int32_t col = page % cols, row = (page % pps) / cols, rows = pps / cols;
  const int32_t cw = FPageCellBox.Width, ch = FPageCellBox.Height;
  TRect g;
  if (b.PaperTileHReverse) {
    g.Right = a.Right - col * cw;
    g.Left = col == cols - 1 ? a.Left : g.Right - cw;
  } else {
    g.Left = a.Left + col * cw;
    g.Right = col == cols - 1 ? a.Right : g.Left + cw;
  }
  if (b.PaperTileVReverse) {
    g.Bottom = a.Bottom - row * ch;
    g.Top = row == rows - 1 ? a.Top : g.Bottom - ch;
  } else {
    g.Top = a.Top + row * ch;
    g.Bottom = row == rows - 1 ? a.Bottom : g.Top + ch;
  }
  return g;
}

TRect TBaseView::ContentRect(const TRect& g) const { return OffsetRect(BoxRect(FContentBox), g.Left, g.Top); }

TRect TBaseView::PrintableRect(const TRect& r) const { return OffsetRect(BoxRect(FPrintableBox), r.Left, r.Top); }

// ---- Painting ------------------------------------------------------------------------------

void TBaseView::Paint(TCanvas& canvas, const TRect& rect) {
  TCanvas* saved = FPaintCanvas;
  FPaintCanvas = &canvas;
  TAtScopeExit restore([&] { FPaintCanvas = saved; });
  canvas.SetFont(CanvasFont(FViewFont, 0, canvas.Dpi()));
  PaintArea(rect);
}

void TBaseView::DoPainting() {
  if (OnPainting) OnPainting();
}

void TBaseView::DoPainted() {
  if (OnPainted) OnPainted();
}

void TBaseView::PaintArea(const TRect& area) {
  if (!FStyle || FPaintLock > 0) return;
  TCanvas& c = Canvas();
  const TRect clip = c.ClipBounds();
  if (IsEmptyRect(clip) || !RectsMeet(clip, area)) return;
  DoPainting();
  const TRect rect = FPrinting ? area : IntersectRects(area, clip);
  const TBaseStyleValues& b = FStyle->Base();
  const bool paper = b.PaperVisible;
  const bool screenPaper = paper && !FPrinting;
  const int32_t pps = paper ? std::max(1, FStyle->PagesPerSheet()) : 1;
  TViewInfo* paperMargin = FStyle->ViewInfo(TBaseStyle::viPaperMargin);
  TViewInfo* divide = FStyle->ViewInfo(TBaseStyle::viPaperDivideLine);
  TViewInfo* printRange = FStyle->ViewInfo(TBaseStyle::viPrintRange);
  int32_t printed = 0;
  for (int32_t s = FFirstSheet; s <= FLastSheet; ++s) {
    if (FPrinting) {
      // a print of ranges leaves out the sheets between them; every printed sheet after the
      // first starts a new page
      if (!FPrintSet.empty() && !std::binary_search(FPrintSet.begin(), FPrintSet.end(), s)) continue;
      if (printed++ > 0 && SheetPrinter().HasPrinter()) SheetPrinter().NewPage();
    }
    const TRect r = SheetRect(s);
    if (screenPaper) {
      c.SetBrush({TBrushStyle::Solid, kAppWorkSpace});
      FillBand(c, GapRect(s, r), r, rect);
    }
    const TRect a = PaperAreaRect(r);
    if (IsVisible(paperMargin)) {
      c.SetBrush({TBrushStyle::Solid, paperMargin->BackColor()});
      FillBand(c, r, a, rect);
    }
    DrawSheetBefore(s, r, rect, a);
    for (int32_t p = s * pps; p < s * pps + pps; ++p) {
      const TRect g = PageRect(p, a);
      if (IsEmptyRect(g) || !RectsMeet(g, rect)) continue;
      const TRect cr = ContentRect(g);
      DrawPageFrame(p, g, rect, cr);
      if (paper) {
        FCurrentPage = p;
        DrawHeaderFooter(g, rect, cr, true);
        DrawHeaderFooter(g, rect, cr, false);
      }
      if (!IsEmptyRect(cr) && RectsMeet(cr, rect)) {
        c.SetBrush({TBrushStyle::Solid, clWhite});
        DrawPageContent(p, cr, rect);
        if (OnPaint) OnPaint({&c, p + 1, cr, rect});
      }
      DrawPageAfter(p, g, rect, cr);
      if (paper && pps > 1) {
        if (IsVisible(divide) && divide->Decorate() > 0) {
          SetLinePen(divide);
        } else {
          c.SetPen({TPenStyle::Solid, 1, clWhite});
        }
        DrawFrameRect(c, g, rect, IsVisible(divide) && divide->IsDoubleLine());
      }
    }
    DrawSheetAfter(s, r, rect, a);
    if (screenPaper) {
      DrawMarkLine(s, r, a, rect);
      if (SheetPrinter().HasPrinter() && IsVisible(printRange) && b.PaperSize != kPaperUser) {
        c.SetBrush({HatchOfCode(printRange->Decorate()), printRange->DecorateColor()});
        // inside the sheet's frame
        FillBand(c, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, PrintableRect(r), rect);
      }
    }
  }
  DoPainted();
}

void TBaseView::DrawMarkLine(int32_t sheet, const TRect& r, const TRect& a, const TRect& clip) {
  if (sheet <= 0 || sheet != MarkSheet || !MarkLine || !IsVisible(MarkLine)) return;
  const TBaseStyleValues& b = FStyle->Base();
  SetLinePen(MarkLine);
  TCanvas& c = Canvas();
  const TRect gap = GapRect(sheet, r);
  const bool dbl = MarkLine->IsDoubleLine();
  if (b.PaperTileVertical) {
    int32_t y = b.PaperTileVReverse ? a.Bottom + 4 : a.Top - 4;
    DrawHLine(c, gap.Left, gap.Right, y, clip, dbl);
  } else {
    int32_t x = b.PaperTileHReverse ? a.Right + 4 : a.Left - 4;
    DrawVLine(c, x, gap.Top, gap.Bottom, clip, dbl);
  }
}

void TBaseView::DrawSheetBefore(int32_t, const TRect&, const TRect&, const TRect&) {}

void TBaseView::DrawSheetAfter(int32_t, const TRect& sheetRect, const TRect& clip, const TRect&) {
  if (FPrinting || !FStyle->PaperVisible()) return;
  TCanvas& c = Canvas();
  c.SetPen({TPenStyle::Solid, 1, clBlack});
  DrawFrameRect(c, sheetRect, clip);
}

void TBaseView::DrawPageFrame(int32_t, const TRect& pageRect, const TRect& clip, const TRect& contentRect) {
  TViewInfo* margin = FStyle->ViewInfo(TBaseStyle::viMargin);
  if (!IsVisible(margin)) return;
  TCanvas& c = Canvas();
  c.SetBrush({TBrushStyle::Solid, margin->BackColor()});
  FillBand(c, pageRect, contentRect, clip);
}

void TBaseView::DrawPageAfter(int32_t, const TRect&, const TRect&, const TRect&) {}

void TBaseView::DrawPageContent(int32_t, const TRect& contentRect, const TRect& clip) {
  FillClipped(Canvas(), contentRect, clip, clWhite);
}

void TBaseView::DrawHeaderFooter(const TRect& page, const TRect& clip, const TRect& content, bool header) {
  const TBaseStyleValues& b = FStyle->Base();
  TViewInfo* e = FStyle->ViewInfo(header ? TBaseStyle::viHeader : TBaseStyle::viFooter);
  const std::string& format = header ? b.HeaderStr : b.FooterStr;
  if (!IsVisible(e) || format.empty()) return;
  TRect band = page;
  if (header) band.Bottom = content.Top;
  else band.Top = content.Bottom;
  if (!RectsMeet(band, clip)) return;
  THeaderParts parts = SplitHeaderFormat(format);
  auto expand = [this](char letter) { return ExpandMacro(letter); };
  parts.Left = ExpandMacros(parts.Left, expand);
  parts.Center = ExpandMacros(parts.Center, expand);
  parts.Right = ExpandMacros(parts.Right, expand);
  SetFont(e->Font(), 0);
  TCanvas& c = Canvas();
  const int32_t d = ToPixels(header ? b.HeaderDistanceX : b.FooterDistanceX);
  int32_t y = header ? band.Top + ToPixels(b.HeaderDistanceY)
                     : band.Bottom - ToPixels(b.FooterDistanceY) - c.Font().Height;
  int32_t ox = 0;
  if (FPrinting) {
    ox = PageMetrics().OffsetDots.X;
    y -= PageMetrics().OffsetDots.Y;
  }
  if (!parts.Left.empty()) c.TextOut(band.Left + d - ox, y, parts.Left, nullptr, &clip, false);
  if (!parts.Center.empty()) {
    int32_t w = c.TextWidth(parts.Center);
    c.TextOut(band.Left + (band.Right - band.Left - w) / 2 - ox, y, parts.Center, nullptr, &clip, false);
  }
  if (!parts.Right.empty()) {
    int32_t w = c.TextWidth(parts.Right);
    c.TextOut(band.Right - d - w - ox, y, parts.Right, nullptr, &clip, false);
  }
}

std::string TBaseView::ExpandMacro(char letter) {
  const int32_t no = FStyle->Base().StartPageNo + FCurrentPage;
  switch (letter) {
    case 'P': return std::to_string(FPageCount);
    case 'p': return no > 0 ? std::to_string(no) : std::string();
    case 'o': return no > 0 && no % 2 == 1 ? std::to_string(no) : std::string();
    case 'e': return no > 0 && no % 2 == 0 ? std::to_string(no) : std::string();
    case 'd': {
      TClockValue t = FHost ? FHost->Now() : ClockNow();
      return std::to_string(t.Year) + "/" + std::to_string(t.Month) + "/" + std::to_string(t.Day);
    }
    case 't': {
      TClockValue t = FHost ? FHost->Now() : ClockNow();
      std::string m = std::to_string(t.Minute);
      return std::to_string(t.Hour) + ":" + (m.size() < 2 ? "0" + m : m);
    }
    default: return std::string();
  }
}

// ---- Scrolling and commands ----------------------------------------------------------------

void TBaseView::SetOffset(TPoint p) {
  const TBaseStyleValues& b = FStyle->Base();
  const TPoint lim{std::max(0, FScrollLimit.X), std::max(0, FScrollLimit.Y)};
  p.Y = b.PaperTileVReverse ? Clamp(p.Y, 0, lim.Y) : Clamp(p.Y, -lim.Y, 0);
  p.X = b.PaperTileHReverse ? Clamp(p.X, 0, lim.X) : Clamp(p.X, -lim.X, 0);
  if (p == FOffset) return;
  if (OnOffsetChanging) OnOffsetChanging();
  const int32_t dx = p.X - FOffset.X, dy = p.Y - FOffset.Y;
  if ((dx == 0) != (dy == 0) && FPaintLock == 0 && FHost) {
    // one axis: the pixels shown move, and only the uncovered strip is painted again
    DoPainting();
    bool moved = FHost->ScrollPixels(dx, dy, ClientRect());
    DoPainted();
    FOffset = p;
    UpdateVisibleRange();
    if (!moved) Invalidate();
    else if (dy > 0) InvalidateRect({0, 0, FWidth, std::min(dy, FHeight)});
    else if (dy < 0) InvalidateRect({0, std::max(0, FHeight + dy), FWidth, FHeight});
    else if (dx > 0) InvalidateRect({0, 0, std::min(dx, FWidth), FHeight});
    else InvalidateRect({std::max(0, FWidth + dx), 0, FWidth, FHeight});
  } else {
    FOffset = p;
    UpdateVisibleRange();
    Invalidate();
  }
  OffsetChanged();
  if (OnOffsetChange) OnOffsetChange();
}

void TBaseView::StepOffset(int32_t dx, int32_t dy) {
  FScrollStepping = true;
  TAtScopeExit done([&] { FScrollStepping = false; });
  SetOffset({FOffset.X + dx, FOffset.Y + dy});
}

void TBaseView::ScrollBy(int32_t dx, int32_t dy) { StepOffset(dx, dy); }

int32_t TBaseView::KeyToCommand(int32_t key, TShiftState shift) {
  if (shift & ssCtrl) {
    if (key == vkPrior) return vcZoomIn;
    if (key == vkNext) return vcZoomOut;
  }
  return vcNone;
}

bool TBaseView::ExecuteCommand(int32_t command) {
  const TBaseStyleValues& b = FStyle->Base();
  const int32_t vsign = b.PaperTileVReverse ? -1 : 1, hsign = b.PaperTileHReverse ? -1 : 1;
  switch (command) {
    case vcScrollForward: StepOffset(0, -vsign * FScrollStep.Y); return true;
    case vcScrollBack: StepOffset(0, vsign * FScrollStep.Y); return true;
    case vcScrollRight: StepOffset(-hsign * FScrollStep.X, 0); return true;
    case vcScrollLeft: StepOffset(hsign * FScrollStep.X, 0); return true;
    case vcScrollHome: SetOffset({0, 0}); return true;
    case vcScrollEnd:
      // the last sheet at the start of the view, on the tiling's axis and in its direction
      if (b.PaperTileVertical) SetOffset({0, vsign * (FPaperBox.Height - FExtent.Y + kSheetGap)});
      else SetOffset({hsign * (FPaperBox.Width - FExtent.X + kSheetGap), 0});
      return true;
    case vcWholePage:
      if (FRatioValue != 0) {
        SetRatioValue(0);
      } else {
        Resize();
        Invalidate();
      }
      return true;
    case vcZoomIn: ZoomIn(); return true;
    case vcZoomOut: ZoomOut(); return true;
    default: return false;
  }
}

void TBaseView::ZoomIn() {
  int32_t p = RoundHalfEven(FZoom * 100);
  if (p < 200) FRatioValue = p + 10;
  Resize();
  Invalidate();
}

void TBaseView::ZoomOut() {
  int32_t p = RoundHalfEven(FZoom * 100);
  if (p > 20) FRatioValue = p - 10;
  Resize();
  Invalidate();
}

// ---- Mouse, drag and auto-scroll -----------------------------------------------------------

void TBaseView::MouseDown(const TViewMouseEvent& e) {
  if (FIgnoreNextPress) {
    FIgnoreNextPress = false;
    return;
  }
  if (FocusHostOnClick && FHost && !FHost->HostFocused()) FHost->FocusHost();
  if (FHost) FHost->EnableHints(false);
  if (e.Button == TMouseButton::Left) {
    FLeftDown = true;
    FPressPos = {e.X, e.Y};
  }
  MouseDownHook(e);
  if (OnMouseDown) OnMouseDown(e);
}

void TBaseView::MouseMove(const TViewMouseEvent& e) {
  if (FDragging) {
    bool inside = PointInRect(ClientRect(), e.X, e.Y);
    bool accept = false;
    DragOver(e.X, e.Y, inside ? TDragState::Move : TDragState::Leave, accept);
  } else if (FLeftDown) {
    int32_t t = FHost ? FHost->DragThreshold() : 4;
    if ((std::abs(e.X - FPressPos.X) > t || std::abs(e.Y - FPressPos.Y) > t) && CanDrag()) {
      FDragging = true;
      StartDrag();
    }
  }
  MouseMoveHook(e);
  if (OnMouseMove) OnMouseMove(e);
}

void TBaseView::MouseUp(const TViewMouseEvent& e) {
  if (FDragging) {
    EndDrag();
    return;
  }
  bool click = FLeftDown && e.Button == TMouseButton::Left;
  if (e.Button == TMouseButton::Left) FLeftDown = false;
  MouseUpHook(e);
  if (OnMouseUp) OnMouseUp(e);
  if (click && OnClick) OnClick();
  if (FHost) FHost->EnableHints(true);
}

void TBaseView::DblClick() {
  if (OnDblClick) OnDblClick();
  FIgnoreNextPress = true;
}

void TBaseView::DragOver(int32_t x, int32_t y, TDragState state, bool& accept) { DragOverHook(x, y, state, accept); }

void TBaseView::DragOverHook(int32_t, int32_t, TDragState state, bool&) {
  if (!AutoScrollEnabled) return;
  if (state == TDragState::Leave) {
    if (!FAutoScrollTimer) {
      FAutoScrollTimer = true;
      FAutoScrollIntervalNow = 100;
      if (FHost) FHost->StartTimer(kAutoScrollTimer, FAutoScrollIntervalNow);
    }
  } else {
    StopAutoScroll();
  }
}

void TBaseView::EndDrag() {
  if (FHost) FHost->SetCursor(vcrDefault);
  FLeftDown = false;
  StopAutoScroll();
  FDragging = false;
}

void TBaseView::StopAutoScroll() {
  if (FAutoScrollTimer && FHost) FHost->StopTimer(kAutoScrollTimer);
  FAutoScrollTimer = false;
}

void TBaseView::TimerTick(int id) {
  if (id == kAutoScrollTimer && FAutoScrollTimer) AutoScrollTick();
}

void TBaseView::AutoScrollTick() {
  int32_t command = 0, distance = 0;
  if (AutoScrollCommand > 0) {
    command = AutoScrollCommand;
    FAutoScrollIntervalNow = AutoScrollInterval;
  } else {
    TPoint p = FHost ? FHost->PointerPos() : TPoint{0, 0};
    if (p.Y < 0) {
      command = CommandAbove;
      distance = -p.Y;
    } else if (p.X < 0) {
      command = CommandLeft;
      distance = -p.X;
    } else if (p.Y >= FHeight) {
      command = CommandBelow;
      distance = p.Y - FHeight + 1;
    } else if (p.X >= FWidth) {
      command = CommandRight;
      distance = p.X - FWidth + 1;
    }
    FAutoScrollIntervalNow = AutoScrollInterval - std::min(distance, RoundHalfEven(AutoScrollInterval * 0.9));
  }
  if (FHost) FHost->StartTimer(kAutoScrollTimer, FAutoScrollIntervalNow);
  if (command > 0) ExecuteCommand(command);
}

void TBaseView::HitTest(TPoint p) {
  FHitAreas = 0;
  const int32_t pps = FStyle->PaperVisible() ? std::max(1, FStyle->PagesPerSheet()) : 1;
  for (int32_t page = 0; page < FPageCount; ++page) {
    const int32_t sheet = page / pps;
    const TRect r = SheetRect(sheet);
    if (!PointInRect(r, p.X, p.Y)) continue;
    FHitAreas |= 1u << haSheet;
    if (PointInRect(PrintableRect(r), p.X, p.Y)) FHitAreas |= 1u << haPrintable;
    if (PointInRect(ContentRect(PageRect(page, PaperAreaRect(r))), p.X, p.Y)) FHitAreas |= 1u << haContent;
    if (page % pps == pps - 1) break;
  }
  if (FHitAreas == 0) FHitAreas = 1u << haOutside;
}

// ---- Printing ------------------------------------------------------------------------------

int32_t TBaseView::Print(const std::string& title, int32_t fromPage, int32_t toPage, int32_t fromSheet,
                         int32_t toSheet) {
  TSheetPrinter& pr = SheetPrinter();
  if (!pr.HasPrinter() || !FStyle) return 0;
  bool inJob = false;
  PrintStarting();
  // the printer's offset (what the user corrects) moves everything printed: it is taken off
  // the printable area's corner for the job and given back after it
  bool offsetApplied = false;
  TPoint physicalOffset;
  // Whatever happens, the job is ended and the view draws on the screen again.
  TAtScopeExit restore([&] {
    if (offsetApplied) PageMetrics().OffsetDots = physicalOffset;
    // the job's canvas goes before the job: it draws through the job's painter
    FPrintCanvas.reset();
    try {
      if (inJob) pr.EndDoc();
    } catch (...) {
    }
    SetPrinting(false);
    FMeasuring = false;
    try {
      PrintFinished();
    } catch (...) {
    }
    try {
      Resize();
    } catch (...) {
    }
    Invalidate();
  });
  SetPrinting(true);
  ApplyPageSetup(true);
  {
    TPageMetrics& m = PageMetrics();
    const TPrintOffset o = JobPrintOffset(pr);
    physicalOffset = m.OffsetDots;
    offsetApplied = true;
    m.OffsetDots.X -= RoundHalfEven(o.X * m.PageDpi / 25.4);
    m.OffsetDots.Y -= RoundHalfEven(o.Y * m.PageDpi / 25.4);
  }
  RefreshPrintCanvas();
  const TRect paper{0, 0, PageMetrics().PaperDots.X, PageMetrics().PaperDots.Y};
  Arrange(paper);

  // The range, clamped to the sheets and pages there are.
  const int32_t pps = FStyle->PaperVisible() ? std::max(1, FStyle->PagesPerSheet()) : 1;
  int32_t firstPage = 0, firstSheet = 0, lastPage = FPageCount - 1, lastSheet = FSheetCount - 1;
  if (fromPage > 0) {
    firstPage = fromPage - 1;
    firstSheet = firstPage / pps;
  } else if (fromSheet > 0) {
    firstSheet = fromSheet - 1;
    firstPage = firstSheet * pps;
  }
  if (toPage > 0) {
    lastPage = toPage - 1;
    lastSheet = lastPage / pps;
  } else if (toSheet > 0) {
    lastSheet = toSheet - 1;
    lastPage = toSheet * pps - 1;
  }
  firstSheet = std::max(0, firstSheet);
  firstPage = std::max(0, firstPage);
  lastSheet = std::min(lastSheet, FSheetCount - 1);
  lastPage = std::min(lastPage, FPageCount - 1);
  if (firstSheet > lastSheet || firstPage > lastPage)
    throw EPrintRangeEmpty(SJ("印刷する範囲がありません") + " (" + std::to_string(FPageCount) + " pages, " +
                           std::to_string(FSheetCount) + " sheets)");

  CheckClipping(firstSheet, lastSheet, paper);
  pr.BeginDoc(title);
  inJob = true;
  RefreshPrintCanvas();
  Arrange(paper);
  FFirstSheet = firstSheet;
  FLastSheet = lastSheet;
  FFirstPage = firstPage;
  FLastPage = lastPage;
  PaintArea(paper);
  FPrintCanvas.reset();
  inJob = false;
  pr.EndDoc();
  if (!FPrintSet.empty())
    return static_cast<int32_t>(std::count_if(FPrintSet.begin(), FPrintSet.end(),
                                              [&](int32_t s) { return s >= firstSheet && s <= lastSheet; }));
  return lastSheet - firstSheet + 1;
}

// The content is what the first and the last sheet of the job put on paper, drawn as they
// print onto a canvas that only keeps where ink goes: the layout of every sheet between is
// the same, and two sheets cost little beside a long job.
void TBaseView::CheckClipping(int32_t firstSheet, int32_t lastSheet, const TRect& paper) {
  TSheetPrinter& pr = SheetPrinter();
  if (!pr.ClipCheck || !FPrintCanvas) return;
  const std::vector<TPaperEntry>& papers = pr.Papers();
  const TPageMetrics& m = PageMetrics();
  if (m.PageDpi <= 0) return;
  const double pageW = m.PaperDots.X * 25.4 / m.PageDpi, pageH = m.PaperDots.Y * 25.4 / m.PageDpi;
  const TPrintJobOptions& job = pr.JobOptions();
  const bool chosen = job.MediumWidthMm > 0 && job.MediumHeightMm > 0;
  const int found = FindPaperBySize(papers, chosen ? job.MediumWidthMm : pageW, chosen ? job.MediumHeightMm : pageH, job.Borderless);
  if (found < 0) return;  // a custom size: the queue tells no border for it
  std::vector<int32_t> sheets = FPrintSet;
  if (sheets.empty()) sheets = {firstSheet, lastSheet};
  sheets = {sheets.front(), sheets.back()};
  if (sheets[0] == sheets[1]) sheets.pop_back();
  std::unique_ptr<TCanvas> measure = std::move(FPrintCanvas);
  TRect ink;
  {
    auto probe = std::make_unique<TInkCanvas>(*measure);
    probe->SetFont(measure->Font());
    TInkCanvas* inkCanvas = probe.get();
    FPrintCanvas = std::move(probe);
    FProbing = true;
    TAtScopeExit back([&] {
      FProbing = false;
      FPrintCanvas = std::move(measure);
    });
    const int32_t pps = FStyle->PaperVisible() ? std::max(1, FStyle->PagesPerSheet()) : 1;
    std::vector<int32_t> set = std::move(FPrintSet);
    TAtScopeExit keep([&] { FPrintSet = std::move(set); });
    for (int32_t s : sheets) {
      FFirstSheet = FLastSheet = s;
      FFirstPage = s * pps;
      FLastPage = std::min(s * pps + pps - 1, FPageCount - 1);
      PaintArea(paper);
    }
    ink = inkCanvas->Ink();
  }
  if (IsEmptyRect(ink)) return;
  const double f = 25.4 / m.PageDpi;
  TClipLoss loss = MediumClipLoss(papers[static_cast<size_t>(found)], pageW, pageH,
                                  {ink.Left * f, ink.Top * f, ink.Right * f, ink.Bottom * f});
  loss.Printer = pr.CurrentPrinterName();
  if (loss.Any() && !pr.ClipCheck(loss)) throw EPrintStopped(SJ("印刷を中止しました。"));
}

int32_t TBaseView::PrintRanges(const std::string& title, const std::vector<std::pair<int32_t, int32_t>>& ranges,
                               bool pages) {
  const int32_t pps = FStyle && FStyle->PaperVisible() ? std::max(1, FStyle->PagesPerSheet()) : 1;
  std::vector<int32_t> set;
  for (auto [from, to] : ranges) {
    if (from < 1 || to < from) continue;
    const int32_t a = pages ? (from - 1) / pps : from - 1, b = pages ? (to - 1) / pps : to - 1;
    for (int32_t s = a; s <= b && set.size() < 100000; ++s) set.push_back(s);
  }
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
  if (set.empty()) throw EPrintRangeEmpty(SJ("印刷する範囲がありません"));
  FPrintSet = set;
  TAtScopeExit clear([&] { FPrintSet.clear(); });
  return Print(title, 0, 0, set.front() + 1, set.back() + 1);
}

}  // namespace kaede
