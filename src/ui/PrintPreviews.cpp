#include "PrintPreviews.h"

#include <algorithm>

#include "CommaText.h"
#include "PersonColumns.h"
#include "PostStyles.h"
#include "QtPaperControls.h"
#include "Tables.h"

namespace kaede {

// ---- The simple views ----------------------------------------------------------------------

// One card per visible entry (or one free page in the editor mode): the postal code in its
// boxes, the address and the name with the honorific, in the style's elements and layout
// rectangles; the sender likewise when the style shows it.
class TSimplePostView : public TBaseView {
public:
  explicit TSimplePostView(TBaseStyle* style) : TBaseView(style) {}
  TPersonList* Book = nullptr;
  const TPerson* Sender = nullptr;

  void Refresh() {
    Resize();
    Invalidate();
  }
  // Scrolls the card of an entry into view.
  void ShowPage(int32_t page) {
    if (page < 0) return;
    const int32_t pps = std::max(1, Style()->PagesPerSheet());
    TRect sheet = SheetRect(page / pps);
    TPoint o = Offset();
    SetOffset(Style()->Base().PaperTileVertical ? TPoint{o.X, o.Y + sheet.Top - 8} : TPoint{o.X + sheet.Left - 8, o.Y});
  }

protected:
  TPostStyle& Post() const { return static_cast<TPostStyle&>(*Style()); }
  void Arrange(const TRect& rect) override {
    TBaseView::Arrange(rect);
    int32_t cards = Post().Post().Editor ? 1 : (Book ? Book->Count() : 0);
    SetPageCount(std::max(1, cards));
  }
  // A rectangle of the card in pixels from the page's corner.
  TRect Place(const TRect& page, const TMmRect& r) const {
    int32_t ox = page.Left, oy = page.Top;
    if (Printing()) {
      ox -= PageMetrics().OffsetDots.X;
      oy -= PageMetrics().OffsetDots.Y;
    }
    return TRect{ox + ToPixels(r.Left), oy + ToPixels(r.Top), ox + ToPixels(r.Right()), oy + ToPixels(r.Bottom())};
  }
  // Text in an element inside a rectangle: vertical columns from the right, or lines from
  // the top; a size of 0 fits the longest line to the rectangle.
  void DrawBlock(const TRect& box, const TStrings& lines, int no, bool vertical, const TRect& clip) {
    TViewInfo* e = Post().ViewInfo(no);
    if (!IsVisible(e) || lines.empty()) return;
    size_t longest = 1;
    for (const std::string& l : lines) longest = std::max(longest, l.size() / 2 + l.size() % 2);
    const int32_t across = vertical ? box.Right - box.Left : box.Bottom - box.Top;
    const int32_t along = vertical ? box.Bottom - box.Top : box.Right - box.Left;
    int32_t height = e->Font().Size > 0 ? 0
                                        : std::max<int32_t>(1, std::min<int32_t>(across / static_cast<int32_t>(lines.size()),
                                                                                  along / static_cast<int32_t>(longest)));
    TFontRecord f = e->Font();
    SetFont(f, height);
    TCanvas& c = Canvas();
    TCanvasFont cf = c.Font();
    cf.Vertical = vertical;
    c.SetFont(cf);
    const int32_t h = cf.Height;
    for (size_t i = 0; i < lines.size(); ++i) {
      int32_t k = static_cast<int32_t>(i) * h * 6 / 5;
      if (vertical) c.TextOut(box.Right - k, box.Top, lines[i], nullptr, &clip, false);
      else c.TextOut(box.Left, box.Top + k, lines[i], nullptr, &clip, false);
    }
  }
  void DrawCode(const TRect& page, const std::string& code, const TMmRect& big, const TMmRect& small, double bigGap,
                double smallGap, int textNo, int frameNo, const TRect& clip) {
    std::string digits;
    for (char ch : code)
      if (ch >= '0' && ch <= '9') digits += ch;
    TViewInfo* frame = Post().ViewInfo(frameNo);
    TViewInfo* text = Post().ViewInfo(textNo);
    for (int i = 0; i < 7; ++i) {
      TMmRect r = i < 3 ? big.Moved(i * (big.Width + bigGap), 0) : small.Moved((i - 3) * (small.Width + smallGap), 0);
      TRect box = Place(page, r);
      if (IsVisible(frame)) {
        SetLinePen(frame);
        DrawFrameRect(Canvas(), box, clip);
      }
      if (IsVisible(text) && i < static_cast<int>(digits.size())) {
        SetFont(text->Font(), std::max(1, (box.Bottom - box.Top) * 3 / 4));
        std::string d(1, digits[static_cast<size_t>(i)]);
        int32_t w = Canvas().TextWidth(d);
        Canvas().TextOut(box.Left + (box.Right - box.Left - w) / 2, box.Top + (box.Bottom - box.Top) / 8, d, nullptr, &clip,
                         false);
      }
    }
  }
  void DrawPageAfter(int32_t page, const TRect& pageRect, const TRect& clip, const TRect& contentRect) override {
    TBaseView::DrawPageAfter(page, pageRect, clip, contentRect);
    const TPostValues& v = Post().Post();
    if (!v.Editor && Book && page >= 0 && page < Book->Count()) {
      const TPerson& p = *Book->Persons(page);
      DrawCode(pageRect, p.Postal(), v.AtenaPostCodeBigFrameLayout, v.AtenaPostCodeSmallFrameLayout, v.YubinBigInterval,
               v.YubinSmallInterval, TPostStyle::viAtenaPostCode, TPostStyle::viAtenaPostCodeFrame, clip);
      TStrings address(p.Address().Lines());
      DrawBlock(Place(pageRect, v.AtenaAddressLayout), address, TPostStyle::viAtenaAddress, v.PostVertical, clip);
      std::string name = v.Keisyo ? p.NameWithHonorific() : p.Name();
      TStrings names{name};
      if (v.Renmei)
        for (const std::string& r : p.Renmei().Lines()) names.push_back(r);
      DrawBlock(Place(pageRect, v.AtenaNameLayout), names, TPostStyle::viAtenaName, v.PostVertical, clip);
    }
    if (Sender) {
      DrawCode(pageRect, Sender->Postal(), v.SenderPostCodeBigFrameLayout, v.SenderPostCodeSmallFrameLayout,
               v.SenderYubinBigInterval, v.SenderYubinSmallInterval, TPostStyle::viSenderPostCode,
               TPostStyle::viSenderPostCodeFrame, clip);
      DrawBlock(Place(pageRect, v.SenderAddressLayout), TStrings(Sender->Address().Lines()), TPostStyle::viSenderAddress,
                v.PostVertical, clip);
      DrawBlock(Place(pageRect, v.SenderNameLayout), TStrings{Sender->Name()}, TPostStyle::viSenderName, v.PostVertical,
                clip);
    }
    TViewInfo* kind = Post().ViewInfo(TPostStyle::viPostKind);
    if (IsVisible(kind) && !v.PostKindStr.empty()) {
      SetFont(kind->Font(), 0);
      TRect top = Place(pageRect, TMmRect{0, 3, 100, 6});
      Canvas().TextOut(top.Left + (pageRect.Right - pageRect.Left - Canvas().TextWidth(v.PostKindStr)) / 2, top.Top,
                       v.PostKindStr, nullptr, &clip, false);
    }
  }
};

std::unique_ptr<TBaseControl> MakeSimplePostControl() {
  auto control = std::make_unique<TBaseControl>([](TBaseStyle* s) { return new TSimplePostView(s); },
                                                [] { return new TPostStyle(); });
  return control;
}

void SetSimplePostBook(TBaseControl& control, TPersonList* book) {
  if (auto* post = dynamic_cast<TSimplePostView*>(&control.View())) {
    post->Book = book;
    post->Refresh();
  }
}

std::unique_ptr<TBaseControl> MakeTableControl() { return std::make_unique<TTable>(); }

void SetTableBook(TBaseControl& control, TPersonList* book) {
  auto* table = dynamic_cast<TTable*>(&control);
  if (!table) return;
  TTableView& view = table->View();
  // the cells of the visible entries, by the columns of the style
  view.OnCellText = [book, &view](int32_t column, int32_t row, int32_t& align, std::string& text) {
    const TStrings& columns = view.ColumnNames();
    if (!book || row < 0 || row >= book->Count() || column < 0 || column >= static_cast<int32_t>(columns.size())) return;
    text = PersonTableCellText(*book->Persons(row), columns[static_cast<size_t>(column)], align);
  };
  view.Invalidate();
}

void SetTableRows(TBaseControl& control, int rows) {
  if (auto* table = dynamic_cast<TTable*>(&control)) table->View().SetRowCount(rows);
}

// ---- The previews as widgets ---------------------------------------------------------------

namespace {

class TSimplePostPreview : public IPostPreview {
public:
  explicit TSimplePostPreview(QWidget* parent) : FWidget(new TQtPaperControl(MakeSimplePostControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetSimplePostBook(Control(), book); }
  void ShowEntry(int position) override {
    auto& view = static_cast<TSimplePostView&>(Control().View());
    view.Refresh();
    view.ShowPage(position);
  }
  void SetSender(const TPerson* sender) override {
    auto& view = static_cast<TSimplePostView&>(Control().View());
    view.Sender = sender;
    view.Invalidate();
  }

private:
  TQtPaperControl* FWidget;
};

// The table control of the table print, its cells from the visible entries.
class TTablePreview : public ITablePreview {
public:
  explicit TTablePreview(QWidget* parent) : FWidget(new TQtPaperControl(MakeTableControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetTableBook(Control(), book); }
  void SetRowCount(int rows) override { SetTableRows(Control(), rows); }

private:
  TQtPaperControl* FWidget;
};

TPostPreviewFactory& PostFactory() {
  static TPostPreviewFactory f;
  return f;
}
TTablePreviewFactory& TableFactory() {
  static TTablePreviewFactory f;
  return f;
}

}  // namespace

void SetPostPreviewFactory(TPostPreviewFactory factory) { PostFactory() = std::move(factory); }
void SetTablePreviewFactory(TTablePreviewFactory factory) { TableFactory() = std::move(factory); }

std::unique_ptr<IPostPreview> MakePostPreview(QWidget* parent) {
  if (PostFactory()) return PostFactory()(parent);
  return std::make_unique<TSimplePostPreview>(parent);
}

std::unique_ptr<ITablePreview> MakeTablePreview(QWidget* parent) {
  if (TableFactory()) return TableFactory()(parent);
  return std::make_unique<TTablePreview>(parent);
}

}  // namespace kaede
