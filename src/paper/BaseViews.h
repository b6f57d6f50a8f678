#pragma once
// The page engine under every printable view (the table, the editor, the postcard). A style
// becomes geometry: sheets of paper, each divided into pages, each page with a margin frame,
// a header, a footer and a content rectangle. The view draws that frame, lets the subclass
// draw each page's content, and does the same on the printer in the printer's own metrics,
// so that the preview and the print share one layout. It also owns zoom, the scroll offset,
// the visible range, the header and footer macros, the scroll and zoom commands, auto-scroll
// while dragging and hit testing.
//
// The view is plain C++: it draws through TCanvas and reaches its window through IViewHost
// (repaints, moving pixels, timers, cursor, clock, focus). The host control places it, gives it
// its size and forwards paints, mouse and keys; tests drive it with a fake host and the
// recording canvas.
//
// Coordinates are pixels of the current surface: the view's client area on screen (0, 0 at
// its top-left corner), printer dots while printing or measuring.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "BaseStyles.h"
#include "Canvas.h"
#include "SheetPrinters.h"

namespace kaede {

// ---- Input ---------------------------------------------------------------------------------

// Modifier keys and mouse buttons held during an event.
enum TShiftBits : uint32_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = uint32_t;
enum class TMouseButton : uint8_t { Left, Right, Middle };

// Key codes: the virtual-key numbers the views and styles speak of (the host control maps the
// toolkit's keys to them). Letters and digits are their upper-case ASCII codes.
enum TKeyCode : int32_t {
  vkBack = 8, vkTab = 9, vkReturn = 13, vkShift = 16, vkControl = 17, vkMenu = 18, vkEscape = 27, vkSpace = 32,
  vkPrior = 33, vkNext = 34, vkEnd = 35, vkHome = 36, vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40,
  vkInsert = 45, vkDelete = 46, vkF1 = 112,
};

// Commands of ExecuteCommand.
enum TViewCommand : int32_t {
  vcNone = 0,
  vcScrollForward = 1,  // the offset moves by one step towards later content (down)
  vcScrollBack = 2,     // towards earlier content (up)
  vcScrollRight = 3,    // the content to the right comes into view
  vcScrollLeft = 4,     // the content to the left comes into view
  vcScrollHome = 5,     // back to the start
  vcScrollEnd = 6,      // to the last sheet
  vcWholePage = 7,      // zoom: whole page
  vcZoomIn = 8,
  vcZoomOut = 9,
};

// Areas of HitTest.
enum THitArea : int32_t { haOutside = 1, haSheet = 2, haPrintable = 3, haContent = 4 };

// Mouse cursors a view asks its host for.
// vcrVerticalIBeam: the text cursor lying across a column of vertical text; vcrReverseArrow:
// the arrow pointing up and right, over a margin whose click selects a whole line.
enum TViewCursor : int32_t {
  vcrDefault = 0, vcrIBeam = 1, vcrHand = 2, vcrDrag = 3, vcrNoDrop = 4, vcrVerticalIBeam = 5, vcrReverseArrow = 6
};

// The clock of the header and footer macros.
struct TClockValue {
  int32_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0;
};
// The local time now.
TClockValue ClockNow();

// ---- Host ----------------------------------------------------------------------------------

// What a view needs of the window that shows it. Every call has a harmless default so that a
// view can also live without a window (measuring and printing from the command line).
class IViewHost {
public:
  virtual ~IViewHost() = default;
  // r (view coordinates) must be painted again.
  virtual void InvalidateRect(const TRect& /*r*/) {}
  // Moves the pixels already shown within clip by (dx, dy); the strip that is uncovered is
  // invalidated by the view. False when the host cannot (the view then invalidates clip).
  virtual bool ScrollPixels(int32_t /*dx*/, int32_t /*dy*/, const TRect& /*clip*/) { return false; }
  // Paints what is invalid now (inside loops that run commands repeatedly).
  virtual void Update() {}
  // Timers of the view; the host calls TBaseView::TimerTick(id) on each expiry.
  virtual void StartTimer(int /*id*/, int32_t /*intervalMs*/) {}
  virtual void StopTimer(int /*id*/) {}
  virtual void SetCursor(int32_t /*cursor*/) {}
  // The pointer's position in view coordinates.
  virtual TPoint PointerPos() const { return {0, 0}; }
  // The host control has the keyboard focus / takes it.
  virtual bool HostFocused() const { return true; }
  virtual void FocusHost() {}
  // Pixels the pointer must move with the button down before a drag starts.
  virtual int32_t DragThreshold() const { return 4; }
  // The view's hint (tool tip) is allowed or not.
  virtual void EnableHints(bool /*on*/) {}
  // The clock of the macros "&d" and "&t".
  virtual TClockValue Now() const { return ClockNow(); }
};

// Runs a function when it goes out of scope (the closing half of a bracket that must close
// also when the body raises).
template <class F>
class TAtScopeExit {
public:
  explicit TAtScopeExit(F f) : FFn(std::move(f)) {}
  ~TAtScopeExit() { FFn(); }
  TAtScopeExit(const TAtScopeExit&) = delete;
  TAtScopeExit& operator=(const TAtScopeExit&) = delete;

private:
  F FFn;
};

// ---- Geometry and drawing helpers ----------------------------------------------------------

// x, y, width, height.
struct TBox {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const TBox&) const = default;
};

inline bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
// The common part (empty, never inverted, when there is none).
TRect IntersectRects(const TRect& a, const TRect& b);
inline bool RectsMeet(const TRect& a, const TRect& b) { return !IsEmptyRect(IntersectRects(a, b)); }
inline bool PointInRect(const TRect& r, int32_t x, int32_t y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}
inline TRect OffsetRect(const TRect& r, int32_t dx, int32_t dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
inline TRect BoxRect(const TBox& b) { return {b.X, b.Y, b.X + b.Width, b.Y + b.Height}; }

// The line routines of all views, with the canvas's pen. Nothing is drawn when the line lies
// outside clip (half the pen width counted); the ends are clipped. A dotted pen of width 1
// draws alternating pixels. With dbl, a second line two pen widths (at least 2 pixels)
// further down (horizontal) or right (vertical).
void DrawHLine(TCanvas& c, int32_t x1, int32_t x2, int32_t y, const TRect& clip, bool dbl = false);
void DrawVLine(TCanvas& c, int32_t x, int32_t y1, int32_t y2, const TRect& clip, bool dbl = false);
// The four sides of r (right and bottom one pixel further for a one-pixel pen); with dbl a
// second frame 2 pixels outside.
void DrawFrameRect(TCanvas& c, const TRect& r, const TRect& clip, bool dbl = false);
// The band of outer around inner (all of outer when inner is empty), within clip, with the
// canvas's brush; a hatched brush draws no outline.
void FillBand(TCanvas& c, const TRect& outer, const TRect& inner, const TRect& clip);
// outer within clip, solid in color.
void FillClipped(TCanvas& c, const TRect& outer, const TRect& clip, TColor color);

// The three parts (left, centre, right) of a header or footer format split at "&b".
struct THeaderParts {
  std::string Left, Center, Right;
};
THeaderParts SplitHeaderFormat(const std::string& format);
// Replaces "&" and the character after it by expand(character), from the last to the first;
// an "&" that ends the text or follows another "&" stays. A double-byte character after "&"
// is passed as 0 and replaced whole.
std::string ExpandMacros(const std::string& text, const std::function<std::string(char)>& expand);

// ---- The view ------------------------------------------------------------------------------

// What OnPaint gets for every page drawn.
struct TPaintInfo {
  TCanvas* Canvas = nullptr;
  int32_t PageNo = 0;  // page index + 1
  TRect DrawRect;      // the page's content rectangle
  TRect ClipRect;      // the clip of the pass
};

struct TViewMouseEvent {
  TMouseButton Button = TMouseButton::Left;
  TShiftState Shift = 0;
  int32_t X = 0, Y = 0;
};

// State of a drag over the view.
enum class TDragState : uint8_t { Enter, Leave, Move };

// A print range asked for that holds no sheet (first after last, or beyond the end): nothing
// is printed and no print job is started.
class EPrintRangeEmpty : public Exception {
public:
  using Exception::Exception;
};

class TBaseView {
public:
  // The view uses `style` without owning it (the host control's style); without one it makes
  // a style with `styleFactory` (a TBaseStyle by default), owns it and follows its changes.
  explicit TBaseView(TBaseStyle* style = nullptr, std::function<TBaseStyle*()> styleFactory = nullptr);
  virtual ~TBaseView();
  TBaseView(const TBaseView&) = delete;
  TBaseView& operator=(const TBaseView&) = delete;

  // ---- Host and size ----
  // The window that shows the view (none: a view without window, for printing and tests).
  void SetHost(IViewHost* host);
  IViewHost* Host() const { return FHost; }
  // The client size; a change runs Resize.
  void SetBounds(int32_t width, int32_t height);
  int32_t ClientWidth() const { return FWidth; }
  int32_t ClientHeight() const { return FHeight; }
  TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

  // ---- Style ----
  TBaseStyle* Style() const { return FStyle; }
  bool OwnsStyle() const { return FOwnsStyle; }
  // Nothing for none. An owned style takes s by assignment; a borrowed one is replaced.
  void SetStyle(TBaseStyle* s);
  // The view's own font (hints, and the canvas font after a zoom change).
  const TFontRecord& ViewFont() const { return FViewFont; }
  void SetViewFont(const TFontRecord& f) { FViewFont = f; }

  // ---- State ----
  bool Printing() const { return FPrinting; }
  bool Measuring() const { return FMeasuring; }
  // A print's pages are being drawn only to see where their ink goes (before the job starts),
  // not onto the printer.
  bool Probing() const { return FProbing; }
  bool ScrollStepping() const { return FScrollStepping; }
  double Zoom() const { return FZoom; }
  TPoint Offset() const { return FOffset; }
  TPoint Extent() const { return FExtent; }
  TPoint ScrollStep() const { return FScrollStep; }
  TPoint ScrollLimit() const { return FScrollLimit; }
  int32_t SheetCount() const { return FSheetCount; }
  int32_t PageCount() const { return FPageCount; }
  int32_t FirstSheet() const { return FFirstSheet; }
  int32_t LastSheet() const { return FLastSheet; }
  int32_t FirstPage() const { return FFirstPage; }
  int32_t LastPage() const { return FLastPage; }
  int32_t CurrentPage() const { return FCurrentPage; }
  const TBox& PaperBox() const { return FPaperBox; }
  const TBox& PaperAreaBox() const { return FPaperAreaBox; }
  const TBox& PrintableBox() const { return FPrintableBox; }
  const TBox& PageCellBox() const { return FPageCellBox; }
  const TBox& ContentBox() const { return FContentBox; }
  uint32_t HitAreas() const { return FHitAreas; }
  bool HitArea(THitArea a) const { return (FHitAreas & (1u << a)) != 0; }
  bool Dragging() const { return FDragging; }
  // The surface drawn on or measured with now: the paint's canvas inside a paint, the
  // printer's while printing (a measuring canvas at the page resolution when no job runs),
  // otherwise a measuring canvas at the screen's resolution.
  TCanvas& Canvas();

  // ---- Zoom ----
  // Above 0 a percentage, 0 whole page, -1 page width, -2 page height.
  int32_t RatioValue() const { return FRatioValue; }
  void SetRatioValue(int32_t value);
  void ZoomIn();
  void ZoomOut();

  // ---- Settings ----
  bool FocusHostOnClick = true;
  bool AutoScrollEnabled = true;
  // A fixed auto-scroll command (0: chosen by the pointer's position) and its interval.
  int32_t AutoScrollCommand = 0;
  int32_t AutoScrollInterval = 150;
  // The commands auto-scroll runs with the pointer above, below, left of and right of the
  // view: the ones that bring the content on that side into view.
  int32_t CommandAbove = vcScrollBack, CommandBelow = vcScrollForward;
  int32_t CommandLeft = vcScrollLeft, CommandRight = vcScrollRight;
  // The sheet before which a marker line is drawn with MarkLine (an element of the
  // subclass's style, never freed here).
  int32_t MarkSheet = -1;
  TViewInfo* MarkLine = nullptr;
  // The next ApplyStyle sets the page up even when the paper did not change.
  bool ForcePageSetup = false;
  std::string Hint;

  // ---- Events ----
  std::function<void(const TPaintInfo&)> OnPaint;
  std::function<void()> OnPainting, OnPainted;
  std::function<void()> OnOffsetChanging, OnOffsetChange, OnExtentChange, OnRatioChange;
  std::function<void(const TViewMouseEvent&)> OnMouseDown, OnMouseMove, OnMouseUp;
  std::function<void()> OnClick, OnDblClick;
  // After every Resize (the control's own resize handling).
  std::function<void()> OnResize;

  // ---- Locks ----
  void BeginPaint() { ++FPaintLock; }
  void EndPaint(bool repaint);
  bool PaintLocked() const { return FPaintLock > 0; }
  void BeginResize() { ++FResizeLock; }
  void EndResize(bool doResize);

  // ---- Layout ----
  // Arrange in the client rectangle, Extent, ScrollLimit, visible range (nothing while the
  // resize lock is held or without a style).
  void Resize();
  void SetPageCount(int32_t n);
  // Sets the printer up for the style's paper (see BaseViews.cpp).
  void ApplyPageSetup(bool force);
  TRect SheetRect(int32_t sheet) const;
  TRect GapRect(int32_t sheet, const TRect& sheetRect) const;
  TRect PaperAreaRect(const TRect& sheetRect) const;
  TRect PageRect(int32_t page, const TRect& paperArea) const;
  TRect ContentRect(const TRect& pageRect) const;
  TRect PrintableRect(const TRect& sheetRect) const;
  // A style length (mm) in pixels of the current surface: printer dots while printing or
  // measuring, zoomed screen pixels otherwise.
  int32_t ToPixels(double mm) const;
  // ToPixels with paper; without paper the length is read as screen pixels × zoom.
  int32_t LengthToPixels(double length) const;
  bool IsVisible(const TViewInfo* e) const { return e && e->IsVisible(FPrinting); }
  // The canvas pen and brush of a line element (nothing when it draws no line).
  void SetLinePen(const TViewInfo* e);
  // The canvas font: font at `height` pixels, or (0) at its point size × zoom.
  void SetFont(const TFontRecord& font, int32_t height);

  // ---- Painting ----
  // Paints rect (view coordinates) on canvas: the host's paint handler calls this.
  void Paint(TCanvas& canvas, const TRect& rect);
  // Paints rect on the current canvas (printing, or inside Paint).
  void PaintArea(const TRect& rect);
  void Invalidate();
  void InvalidateRect(const TRect& r);

  // ---- Scrolling ----
  virtual void SetOffset(TPoint p);
  void ScrollBy(int32_t dx, int32_t dy);
  void StepScroll(int32_t command) { ExecuteCommand(command); }
  // Bookkeeping of the scroll bars of the host control: true while they move the offset.
  void SetScrollStepping(bool on) { FScrollStepping = on; }

  // ---- Commands and input ----
  virtual int32_t KeyToCommand(int32_t key, TShiftState shift);
  virtual bool ExecuteCommand(int32_t command);
  void MouseDown(const TViewMouseEvent& e);
  void MouseMove(const TViewMouseEvent& e);
  void MouseUp(const TViewMouseEvent& e);
  // A double click. The host passes the press that comes with it to MouseDown afterwards
  // (with ssDouble); that press is ignored.
  void DblClick();
  // A drag of the view's own passes over it; accept tells whether it may drop.
  void DragOver(int32_t x, int32_t y, TDragState state, bool& accept);
  void EndDrag();
  // The host's timer expired.
  void TimerTick(int id);
  static constexpr int kAutoScrollTimer = 1;
  bool AutoScrollTimerRunning() const { return FAutoScrollTimer; }
  int32_t AutoScrollTimerInterval() const { return FAutoScrollIntervalNow; }
  // Stops auto-scrolling (a key was released, the host lost the focus).
  void StopAutoScroll();
  virtual void HitTest(TPoint p);

  // ---- Printing ----
  // Prints pages (or sheets) from..to, numbered from 1, 0 meaning not given; pages take
  // precedence. Ranges are clamped to what exists; a range with nothing in it raises
  // EPrintRangeEmpty before any job starts. Returns the number of sheets printed (0 without
  // a printer). Whatever fails, the job is ended and the view is back in screen metrics.
  virtual int32_t Print(const std::string& title, int32_t fromPage, int32_t toPage, int32_t fromSheet = 0,
                        int32_t toSheet = 0);
  // Prints the sheets of the ranges (numbers from 1, each "from, to"; pages when `pages`) in
  // one job, in order, each once: "1,3" prints sheets 1 and 3 and nothing between. The
  // number of sheets printed; EPrintRangeEmpty when the ranges hold none.
  int32_t PrintRanges(const std::string& title, const std::vector<std::pair<int32_t, int32_t>>& ranges, bool pages);

protected:
  // The sheets (from 0) a print of ranges takes; empty: every sheet of the range.
  std::vector<int32_t> FPrintSet;

  // ---- Overridable behaviour ----
  virtual bool CanDrag() { return true; }
  virtual TPoint GetExtent();
  virtual std::string ExpandMacro(char letter);
  // Zoom and boxes; subclasses call it first, then set their page count.
  virtual void Arrange(const TRect& rect);
  virtual void DrawSheetBefore(int32_t sheet, const TRect& sheetRect, const TRect& clip, const TRect& paperArea);
  virtual void DrawSheetAfter(int32_t sheet, const TRect& sheetRect, const TRect& clip, const TRect& paperArea);
  virtual void DrawPageFrame(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& contentRect);
  virtual void DrawPageAfter(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& contentRect);
  virtual void DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip);
  virtual void DoPainting();
  virtual void DoPainted();
  virtual void MouseDownHook(const TViewMouseEvent& /*e*/) {}
  virtual void MouseMoveHook(const TViewMouseEvent& /*e*/) {}
  virtual void MouseUpHook(const TViewMouseEvent& /*e*/) {}
  virtual void DragOverHook(int32_t x, int32_t y, TDragState state, bool& accept);
  // A drag was started by the mouse (the view's own drag-and-drop begins here).
  virtual void StartDrag() {}
  virtual void OffsetChanged() {}
  virtual void AutoScrollTick();
  virtual void ApplyStyle();
  virtual void StyleChanging() {}
  virtual void StyleChanged();
  virtual void SetPrinting(bool on);
  // The host changed (the table view applies its style once it has one).
  virtual void HostChanged() {}
  // Around a print: PrintStarting runs before the view switches to the printer (a view that
  // prints with a changed copy of its style makes it here); PrintFinished always runs after
  // it is back in screen metrics, also when the print failed, before it is laid out again
  // (the screen style is restored here).
  virtual void PrintStarting() {}
  virtual void PrintFinished() {}

  // ---- For subclasses ----
  void SetMeasuring(bool on) { FMeasuring = on; }
  // The visible range from the offset and the client size (nothing while printing).
  void UpdateVisibleRange();

  TPoint FOffset{0, 0};
  TPoint FExtent{0, 0};
  TPoint FScrollStep{0, 0};
  TPoint FScrollLimit{0, 0};
  TBox FPaperBox, FPaperAreaBox, FPrintableBox, FPageCellBox, FContentBox;
  int32_t FFirstSheet = 0, FLastSheet = 0, FFirstPage = 0, FLastPage = 0;
  int32_t FCurrentPage = 0;

private:
  void ConnectStyle();
  void DrawHeaderFooter(const TRect& page, const TRect& clip, const TRect& content, bool header);
  void DrawPageDivide(const TRect& page, const TRect& clip);
  void DrawMarkLine(int32_t sheet, const TRect& sheetRect, const TRect& paperArea, const TRect& clip);
  void ResetCanvasFontAfterZoom();
  void ArrangeInnerBoxes();
  void RefreshPrintCanvas();
  void StepOffset(int32_t dx, int32_t dy);

  IViewHost* FHost = nullptr;
  int32_t FWidth = 200, FHeight = 200;
  TBaseStyle* FStyle = nullptr;
  bool FOwnsStyle = false;
  TFontRecord FViewFont = DefaultFont();

  bool FPrinting = false;
  bool FMeasuring = false;
  bool FProbing = false;
  // Before a job: asks the printer's clip check when the medium's border would take some of
  // the first or last sheet's ink; raises EPrintStopped when it says stop.
  void CheckClipping(int32_t firstSheet, int32_t lastSheet, const TRect& paper);
  bool FScrollStepping = false;
  double FZoom = 1.0;
  double FLastArrangeZoom = 0;
  int32_t FRatioValue = 0;
  int32_t FSheetCount = 1, FPageCount = 1;
  int32_t FPaintLock = 0, FResizeLock = 0;

  // Paper state at the last ApplyStyle.
  bool FAppliedOnce = false;
  bool FLastPaperVisible = false;
  int32_t FLastPaperSize = 0, FLastPaperWidth = 0, FLastPaperHeight = 0;
  bool FLastOrientation = false;

  // Surfaces.
  TCanvas* FPaintCanvas = nullptr;
  std::unique_ptr<TCanvas> FScreenCanvas;
  int32_t FScreenCanvasDpi = 0;
  std::unique_ptr<TCanvas> FPrintCanvas;

  // Mouse and drag.
  bool FLeftDown = false;
  TPoint FPressPos{0, 0};
  bool FDragging = false;
  bool FIgnoreNextPress = false;
  uint32_t FHitAreas = 0;
  bool FAutoScrollTimer = false;
  int32_t FAutoScrollIntervalNow = 100;
};

}  // namespace kaede
