#pragma once
// The page view of the text editor: the paper view with the editor's text laid out in
// partitions and pages, in vertical or horizontal writing, painted with the style's elements,
// with a caret, the input method's preedit text, hit testing and mouse selection. The editing
// itself is TEditorCore's; the view tells it what the screen knows and draws what it holds.
//
// Commands of keys that belong to the editor are passed through the paper view's command
// numbers from kEditorCommandBase on, so that the host control runs them with its key repeat.
#include <functional>
#include <string>
#include <vector>

#include "BaseViews.h"
#include "EditorCores.h"
#include "EditorGeometry.h"
#include "EditorPainters.h"

namespace kaede {

constexpr int32_t kEditorCommandBase = 1000;

// Web and mail addresses a click may open: http, https and mailto only.
bool OpenableUrl(const std::string& url);
// The address to open for a mail address in the text ("mailto:" in front unless it is there).
std::string MailUrl(const std::string& mail);

// What lies under a point of the view.
enum TEditorArea { eaNone, eaMargin, eaText, eaUrl, eaMail, eaSelection, eaFootNote };

struct TEditorHit {
  bool Found = false;
  TPoint Position{1, 0};  // display position (caret place) under the point
  int32_t Area = eaNone;
};

class TEditorView : public TBaseView, public IEditorHost {
public:
  // The view uses `style` (the host control's) without owning it; without one it makes its own
  // with styleFactory (an editor style by default; a derived view passes its own style class).
  explicit TEditorView(TEditorStyle* style = nullptr, std::function<TBaseStyle*()> styleFactory = nullptr);
  ~TEditorView() override;

  TEditorStyle& EditorStyle() const { return *static_cast<TEditorStyle*>(Style()); }
  TEditorCore& Core() { return FCore; }
  const TEditorCore& Core() const { return FCore; }
  TEditList& Lines() const { return FCore.Lines(); }
  const TEditorGeometry& Geometry() const { return FGeometry; }
  const TEditorReference& Reference() const { return FReference; }

  // The document's text (a composition standing in it is no part of it).
  std::string Text() const;
  void SetText(const std::string& text) { FCore.SetText(text); }

  // ---- Caret on screen -------------------------------------------------------------------
  // The caret in view coordinates (empty when its line is not on a page shown).
  TRect CaretViewRect() const;
  // The caret's rectangle if it stood at a display position.
  TRect CaretViewRectAt(TPoint pos) const;
  // Where the input method's candidates go below: the caret, or while composing the input
  // method's cursor in the composition; in vertical writing the column's width from there
  // down over the rest of the composition in that column.
  TRect InputRect() const;
  // The blink phase and whether the caret is shown at all (focus, no preedit, editable).
  void SetCaretPhase(bool on);
  bool CaretPhase() const { return FCaretOn; }
  void SetFocused(bool focused);
  bool CaretShown() const;
  // The input method's text being composed. It stands in the text at the caret while it is
  // composed (the text after it moves on and breaks at the line end as typed text does), but
  // is no part of the document: nothing is recorded for undo, the text is not marked as
  // modified, and it is taken out again before any edit or commit. Segments are byte ranges
  // of the text; the focused one (the phrase being converted) is drawn highlighted, and the
  // input method's cursor (a byte offset, -1: none) as a bar. The caret hides meanwhile.
  struct TPreeditSegment {
    int32_t Start = 0, Length = 0;
    bool Focused = false;
  };
  void SetPreedit(const std::string& text, const std::vector<TPreeditSegment>& segments = {}, int32_t cursor = -1);
  const std::string& Preedit() const { return FPreedit; }
  // The document's text without a preedit standing in it.
  std::string CommittedLine(int32_t line) const;

  // ---- Hit testing and mouse -------------------------------------------------------------
  TEditorHit HitText(TPoint p) const;
  // A double click at the last press: the word (text), the logical line (margin), or the
  // address under it opened.
  void HandleDoubleClick();

  // ---- Text positions on screen ----------------------------------------------------------
  // The first display line of a page (paper), or the first one the scroll position shows.
  int32_t PageFirstLine(int32_t page) const;
  // The rectangle of display line k in view coordinates (empty when not shown).
  TRect RowViewRect(int32_t k) const;

  // ---- Events ----------------------------------------------------------------------------
  std::function<void()> OnCaretMove, OnChange;
  std::function<void(const std::string& url)> OnOpenUrl;
  std::function<void(const std::string& message)> OnError;
  // A click while a composition stands: the host has its input method commit the composition
  // (it goes in where it was shown) before the caret moves; what is left standing is dropped.
  std::function<void()> OnCommitComposition;

  // ---- Paper view ------------------------------------------------------------------------
  int32_t KeyToCommand(int32_t key, TShiftState shift) override;
  bool ExecuteCommand(int32_t command) override;
  // The layout for the current size, zoom and style (part of Resize).
  void Layout() { Arrange(ClientRect()); }

  // ---- IEditorHost -----------------------------------------------------------------------
  TPoint ScrollOffset() const override { return Offset(); }
  void SetScrollOffset(TPoint offset) override { SetOffset(offset); }
  void ScrollLines(int32_t lines) override;
  void ScrollPages(int32_t pages) override;
  void ShowCaret() override;
  int32_t CellsPerLine() const override { return FGeometry.Cells; }
  int32_t LinesPerPage() const override { return FGeometry.LinesPerPage; }
  bool PagesInUse() const override;
  int32_t PageCount() const override { return TBaseView::PageCount(); }
  void TextChanged(int32_t firstRow, int32_t lastRow) override;
  void CaretMoved() override;
  void ShowError(const std::string& message) override {
    if (OnError) OnError(message);
  }

protected:
  void Arrange(const TRect& rect) override;
  TPoint GetExtent() override;
  void DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip) override;
  void ApplyStyle() override;
  bool CanDrag() override { return false; }
  void MouseDownHook(const TViewMouseEvent& e) override;
  void MouseMoveHook(const TViewMouseEvent& e) override;
  void MouseUpHook(const TViewMouseEvent& e) override;
  void AutoScrollTick() override;

private:
  TEditorLayoutInput LayoutInput() const;
  int32_t NormalFontPx() const;
  void ConfigureStore(const TEditorGeometry& g, int32_t dpi);
  TEditorPaintState PaintState() const;
  // The page's content rectangle (view coordinates) of display line k, and its page's first line.
  bool RowPage(int32_t k, TRect& content, int32_t& pageFirst) const;
  void DrawCaret(TCanvas& c, const TRect& content, int32_t pageFirst);
  void CheckPageCount();
  // The cell states of a row as the last paint made them, when they are still current.
  const RLineStatus* PaintedStatus(int32_t row) const;

  TEditorCore FCore;
  TEditorGeometry FGeometry, FRefGeometry;
  TEditorReference FReference;
  std::unique_ptr<TCanvas> FMeasure;  // measures text for the line store
  int32_t FMeasureDpi = 0;
  std::vector<RLineStatus> FStatuses;
  uint64_t FVersion = 1;
  bool FCaretOn = true;
  bool FFocused = false;
  std::string FPreedit;
  std::vector<TPreeditSegment> FPreeditSegments;
  int32_t FPreeditCursor = -1;
  TPoint FPreeditFrom{1, 0};  // logical (byte, line) where the preedit stands
  void RemovePreedit();
  // Display position of a byte offset inside the preedit.
  TPoint PreeditPosition(int32_t offset) const;
  void DrawPreedit(TCanvas& c, const TPoint& origin, int32_t pageFirst);
  bool FSelecting = false;
  bool FBoxSelecting = false;
  TPoint FPressPos{0, 0};
  int32_t FLastCaretRow = 0;
  int32_t FDrawnCount = 1;  // display lines at the last change
};

}  // namespace kaede
