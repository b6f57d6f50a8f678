#include "PrintPreviews.h"

#include <algorithm>

#include "CommaText.h"
#include "PersonColumns.h"
#include "PostStyles.h"
#include "QtPaperControls.h"
#include "TableStyles.h"

namespace kaede {

// ---- The simple views ----------------------------------------------------------------------

// The visible entries as a ruled table: a header row of the style's columns on every page
// (or the first only), then one row per entry.
class TSimpleTableView : public TBaseView {
public:
  explicit TSimpleTableView(TBaseStyle* style) : TBaseView(style) {}
  TPersonList* Book = nullptr;
  int Rows = 0;

  void Refresh() {
    Resize();
    Invalidate();
  }

protected:
  TTableStyle& Table() const { return static_cast<TTableStyle&>(*Style()); }
  TStrings Columns() const { return DecodeCommaText(Table().Table().ValueNames); }
  int32_t RowHeight() {
    SetFont(Table().Normal()->Font(), 0);
    return std::max(1, Canvas().Font().Height + 2 * ToPixels(Table().Table().InBoxVerticalMargin));
  }
  int32_t RowsPerPage(bool firstPage) {
    int32_t perPage = std::max(1, ContentBox().Height / RowHeight());
    bool header = firstPage || !Table().Table().ValueNameOnlyFirstPage;
    return std::max(1, perPage - (header ? 1 : 0));
  }
  void Arrange(const TRect& rect) override {
    TBaseView::Arrange(rect);
    int32_t first = RowsPerPage(true), rest = RowsPerPage(false);
    int32_t pages = Rows <= first ? 1 : 1 + (Rows - first + rest - 1) / rest;
    SetPageCount(pages);
  }
  void DrawPageContent(int32_t page, const TRect& content, const TRect& clip) override {
    TCanvas& c = Canvas();
    FillClipped(c, content, clip, Table().Normal()->BackColor());
    const TStrings cols = Columns();
    if (cols.empty()) return;
    const int32_t rowH = RowHeight();
    const int32_t colW = std::max(1, (content.Right - content.Left) / static_cast<int32_t>(cols.size()));
    const int32_t margin = ToPixels(Table().Table().InBoxLevelMargin);
    // pages are numbered from 0 here
    int32_t first = 0;
    for (int32_t p = 0; p < page; ++p) first += RowsPerPage(p == 0);
    const bool header = page == 0 || !Table().Table().ValueNameOnlyFirstPage;
    int32_t y = content.Top;
    auto cell = [&](int col, const std::string& text, const TViewInfo* e, int align) {
      TRect r{content.Left + col * colW, y, content.Left + (col + 1) * colW, y + rowH};
      TRect inner = IntersectRects(r, clip);
      if (IsEmptyRect(inner)) return;
      SetFont(e->Font(), 0);
      int32_t w = c.TextWidth(text);
      int32_t x = align == 0 ? r.Left + (colW - w) / 2 : r.Left + margin;
      c.TextOut(x, r.Top + (rowH - c.Font().Height) / 2, text, nullptr, &inner, false);
    };
    TViewInfo* line = Table().Line();
    if (header) {
      FillClipped(c, TRect{content.Left, y, content.Left + colW * static_cast<int32_t>(cols.size()), y + rowH}, clip,
                  line->BackColor());
      for (size_t i = 0; i < cols.size(); ++i) cell(static_cast<int>(i), cols[i], line, 0);
      y += rowH;
    }
    const int32_t count = RowsPerPage(page == 0);
    for (int32_t r = first; r < first + count && r < Rows; ++r) {
      const TPerson* person = Book && r < Book->Count() ? Book->Persons(r) : nullptr;
      for (size_t i = 0; i < cols.size(); ++i) {
        int align = -1;
        std::string text = person ? PersonTableCellText(*person, cols[i], align) : std::string();
        cell(static_cast<int>(i), text, Table().Normal(), align);
      }
      y += rowH;
    }
    // the rules
    SetLinePen(line);
    const int32_t right = content.Left + colW * static_cast<int32_t>(cols.size());
    for (int32_t ry = content.Top; ry <= y; ry += rowH) DrawHLine(c, content.Left, right, ry, clip);
    for (size_t i = 0; i <= cols.size(); ++i) DrawVLine(c, content.Left + static_cast<int32_t>(i) * colW, content.Top, y, clip);
  }
};

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

std::unique_ptr<TBaseControl> MakeSimpleTableControl() {
  return std::make_unique<TBaseControl>([](TBaseStyle* s) { return new TSimpleTableView(s); },
                                        [] { return new TTableStyle(); });
}

void SetSimpleViewList(TBaseControl& control, TPersonList* book) {
  if (auto* post = dynamic_cast<TSimplePostView*>(&control.View())) {
    post->Book = book;
    post->Refresh();
  } else if (auto* table = dynamic_cast<TSimpleTableView*>(&control.View())) {
    table->Book = book;
    table->Refresh();
  }
}

void SetSimpleTableRows(TBaseControl& control, int rows) {
  if (auto* table = dynamic_cast<TSimpleTableView*>(&control.View()); table && table->Rows != rows) {
    table->Rows = rows;
    table->Refresh();
  }
}

// ---- The previews as widgets ---------------------------------------------------------------

namespace {

class TSimplePostPreview : public IPostPreview {
public:
  explicit TSimplePostPreview(QWidget* parent) : FWidget(new TQtPaperControl(MakeSimplePostControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetSimpleViewList(Control(), book); }
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

class TSimpleTablePreview : public ITablePreview {
public:
  explicit TSimpleTablePreview(QWidget* parent) : FWidget(new TQtPaperControl(MakeSimpleTableControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetSimpleViewList(Control(), book); }
  void SetRowCount(int rows) override { SetSimpleTableRows(Control(), rows); }

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
  return std::make_unique<TSimpleTablePreview>(parent);
}

}  // namespace kaede
