#include "PostViews.h"

#include <algorithm>

#include "PersonLists.h"
#include "PostalDatas.h"

namespace kaede {

namespace {
TPostalData& (*gUsualDictionary)() = nullptr;

TPostalData& UsualDictionary() {
  if (gUsualDictionary) return gUsualDictionary();
  static TPostalData data;
  return data;
}
}  // namespace

void SetUsualPostDictionary(TPostalData& (*dictionary)()) { gUsualDictionary = dictionary; }

TPostView::TPostView(TPostStyle* style) : TEditorView(style, [] { return static_cast<TBaseStyle*>(new TPostStyle()); }) {}

TPostView::~TPostView() {
  if (FSender) FSender->Free();
  if (FScreenStyle) FScreenStyle->Free();
}

// ---- Entries -------------------------------------------------------------------------------

void TPostView::SetPersons(const TPersonList* list) {
  FPersons = list;
  FSelection.clear();
  FUseSelection = false;
  if (FCurrentPerson >= PersonCount()) FCurrentPerson = 0;
  BeginPaint();
  Resize();
  EndPaint(true);
}

void TPostView::SetPersons(std::vector<const TPerson*> persons) {
  FPersons = nullptr;
  FSelection = std::move(persons);
  FUseSelection = true;
  if (FCurrentPerson >= PersonCount()) FCurrentPerson = 0;
  BeginPaint();
  Resize();
  EndPaint(true);
}

int32_t TPostView::PersonCount() const {
  if (FUseSelection) return static_cast<int32_t>(FSelection.size());
  return FPersons ? FPersons->Count() : 0;
}

const TPerson* TPostView::PagePerson(int32_t page) const {
  if (PostStyle().Post().Editor) page = FCurrentPerson;
  if (page < 0 || page >= PersonCount()) return nullptr;
  return FUseSelection ? FSelection[static_cast<size_t>(page)] : FPersons->Persons(page);
}

// The sheet holding the entry's page comes to the top (the left with sheets side by side).
TPoint TPostView::CurrentOffset(TPoint p) const {
  const int32_t sheet = std::max(0, FCurrentPerson) / std::max(1, PostStyle().PagesPerSheet());
  if (PostStyle().Base().PaperTileVertical)
    p.Y = -sheet * (PaperBox().Height + 8);
  else
    p.X = -sheet * (PaperBox().Width + 8);
  return p;
}

void TPostView::SelectPerson(int32_t index) {
  FCurrentPerson = index;
  if (!PostStyle().Post().Editor && PostStyle().PaperVisible()) SetOffset(CurrentOffset(Offset()));
  Invalidate();
}

void TPostView::SetOffset(TPoint p) {
  if (FFollowCurrent) {
    FFollowCurrent = false;
    if (!PostStyle().Post().Editor && PostStyle().PaperVisible()) p = CurrentOffset(p);
  }
  TBaseView::SetOffset(p);
}

// ---- Sender and guides ---------------------------------------------------------------------

void TPostView::SetSender(const TPerson* person) {
  if (person) {
    if (!FSender) FSender = TDataItem::Make<TPerson>();
    FSender->Assign(person);
  }
  FHasSender = person != nullptr;
  Invalidate();
}

void TPostView::SetShowGuides(bool on) {
  if (FShowGuides == on) return;
  FShowGuides = on;
  Invalidate();
}

// ---- Style and layout ----------------------------------------------------------------------

void TPostView::ApplyStyle() {
  TEditorView::ApplyStyle();
  FPictures = LoadPostPictures(PostStyle().Post(), PictureFolder);
  if (FCurrentPerson >= PersonCount()) FCurrentPerson = 0;
}

void TPostView::Arrange(const TRect& rect) {
  TEditorView::Arrange(rect);
  SetPageCount(PostStyle().Post().Editor || Calibration ? 1 : std::max(1, PersonCount()));
}

TPoint TPostView::GetExtent() {
  if (!Printing() && !Measuring() && PostStyle().PaperVisible()) FFollowCurrent = true;
  return TEditorView::GetExtent();
}

int32_t TPostView::KeyToCommand(int32_t key, TShiftState shift) {
  if (!PostStyle().Post().Editor) {
    if (shift & ssCtrl) {
      if (key == vkHome) return vcScrollHome;
      if (key == vkEnd) return vcScrollEnd;
    } else if (!(shift & ssAlt)) {
      // the cards' text cannot be edited: the arrows move the paper
      switch (key) {
        case vkUp: return vcScrollBack;
        case vkDown: return vcScrollForward;
        case vkLeft: return vcScrollLeft;
        case vkRight: return vcScrollRight;
        default: break;
      }
    }
  }
  return TEditorView::KeyToCommand(key, shift);
}

// ---- Free text -----------------------------------------------------------------------------

bool TPostView::FileReadOnly() const { return !PostStyle().Post().Editor; }

std::string TPostView::FullMessage() { return SJ("これ以上入力することはできません"); }

void TPostView::TextChanged(int32_t firstRow, int32_t lastRow) {
  TEditorView::TextChanged(firstRow, lastRow);
  if (FRevising) return;
  const int32_t perPage = LinesPerPage();
  std::string now = Text();
  if (!PostStyle().Post().Editor || !PostStyle().PaperVisible() || perPage <= 0 ||
      Lines().DisplayCount() <= perPage || now.size() <= FAccepted.size()) {
    FAccepted = std::move(now);
    return;
  }
  // The insertion goes back with its undo step. Typed characters share one step, so when the
  // step took more than this insertion, what it took before is typed in again.
  FRevising = true;
  try {
    const std::string before = FAccepted;
    ShowError(FullMessage());
    Core().Undo();
    now = Text();
    if (now != before && now.size() < before.size()) {
      size_t p = 0;
      while (p < now.size() && now[p] == before[p]) ++p;
      size_t q = 0;
      while (q < now.size() - p && now[now.size() - 1 - q] == before[before.size() - 1 - q]) ++q;
      if (p + q == now.size()) Core().InsertAtCaret(before.substr(p, before.size() - p - q), mkNone);
    }
  } catch (...) {
    FRevising = false;
    throw;
  }
  FRevising = false;
  FAccepted = Text();
}

// ---- Painting ------------------------------------------------------------------------------

// While printing, only the pages of the range that hold an entry are drawn: the rest of a
// printed sheet stays blank.
bool TPostView::Drawn(int32_t page) const {
  if (Calibration) return page == 0;
  if (!Printing()) return true;
  return page >= FirstPage() && page <= LastPage() && PagePerson(page) != nullptr;
}

TPostPaint TPostView::PaintOf(int32_t page, const TRect& pageRect) const {
  TPostPaint p;
  p.PageRect = pageRect;
  p.Zoom = Zoom();
  p.Printing = Printing() && !PrintAsShown;
  p.PrintOffset = PageMetrics().OffsetDots;
  if (Printing() && PrintAsShown) p.PageRect = OffsetRect(pageRect, -p.PrintOffset.X, -p.PrintOffset.Y);
  p.ShowGuides = FShowGuides;
  p.PrintGuides = PrintGuides;
  p.Person = PagePerson(page);
  p.Sender = Sender();
  p.Pictures = &FPictures;
  p.Dictionary = Dictionary ? Dictionary : &UsualDictionary();
  p.WorkspaceColor = WorkspaceColor;
  return p;
}

void TPostView::DrawCard(int32_t page, const TRect& pageRect, const TRect& clip, bool background) {
  if (!Drawn(page)) return;
  TPostPaint paint = PaintOf(page, pageRect);
  TCanvas& c = Canvas();
  // on a divided sheet every card keeps to its own page
  const bool divided = PostStyle().PagesPerSheet() > 1;
  if (divided) {
    const TPoint shift = Printing() ? PageMetrics().OffsetDots : TPoint{};
    c.SetClipRect(IntersectRects(OffsetRect(pageRect, -shift.X, -shift.Y), OffsetRect(clip, -shift.X, -shift.Y)));
  }
  TPostLayout layout(PostStyle(), c, paint);
  if (Calibration) {
    if (background) layout.DrawCalibration(CalibrationNote);
  } else if (background) {
    layout.DrawBackground();
  } else {
    layout.DrawData();
    const int32_t entry = PostStyle().Post().Editor ? FCurrentPerson : page;
    if (Printing() && !Probing() && layout.BarcodeFailure() != TBarcodeFailure::None &&
        (FBarcodeMisses.empty() || FBarcodeMisses.back().Entry != entry))
      FBarcodeMisses.push_back({entry, layout.BarcodeFailure()});
  }
  if (divided) c.ResetClip();
}

void TPostView::DrawPageFrame(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& /*contentRect*/) {
  DrawCard(page, pageRect, clip, true);
}

void TPostView::DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip) {
  if (Calibration) return;
  if (PostStyle().Post().Editor) return TEditorView::DrawPageContent(page, contentRect, clip);
  if (Printing() && !PrintAsShown) return;
  FillClipped(Canvas(), contentRect, clip, PostStyle().ViewInfo(TPostStyle::viAtenaName)->BackColor());
}

void TPostView::DrawPageAfter(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& /*contentRect*/) {
  DrawCard(page, pageRect, clip, false);
}

// ---- Printing ------------------------------------------------------------------------------

void TPostView::PrintStarting() {
  FBarcodeMisses.clear();
  TPostStyle& style = PostStyle();
  if (!FScreenStyle) FScreenStyle = TDataItem::Make<TPostStyle>();
  FScreenStyle->Assign(&style);
  // the paper is white: every element on the card's colour is printed on white
  const TColor card = style.ViewInfo(TEditorStyle::viNormal)->BackColor();
  style.BeginUpdate();
  for (TViewInfo* e : style.ViewInfos())
    if (e->BackColor() == card) e->SetBackColor(clWhite);
  style.EndUpdate();
}

void TPostView::PrintFinished() {
  if (!FScreenStyle) return;
  PostStyle().Assign(FScreenStyle);
  FScreenStyle->Free();
  FScreenStyle = nullptr;
}

}  // namespace kaede
