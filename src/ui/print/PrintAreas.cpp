#include "PrintAreas.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStackedWidget>

#include "AppHost.h"
#include "BaseStyleFrames.h"
#include "CommaText.h"
#include "MessageBoxes.h"
#include "PersonColumns.h"
#include "PostViews.h"
#include "QtPrinters.h"
#include "QtText.h"
#include "StyleCategoryButtons.h"

namespace kaede {

// ---- Print ranges --------------------------------------------------------------------------

TPrintRange TablePrintRange(int32_t pageCount) {
  TPrintRange r;
  r.Max = std::max(1, pageCount);
  r.From = 1;
  r.To = r.Max;
  r.AllChosen = true;
  return r;
}

// The numbers are sheets and are offered as sheets: one card a sheet or several, the dialog's
// numbers are the ones the print takes.
TPrintRange PostcardPrintRange(const TPostStyle& style, int32_t sheetCount, int32_t visibleCount, int32_t selected) {
  TPrintRange r;
  r.Sheets = true;
  r.Max = std::max(1, sheetCount);
  if (style.Post().Editor) {
    r.From = r.To = 1;
    return r;
  }
  if (visibleCount <= 0) {
    r.Nothing = true;
    r.Min = r.Max = r.From = r.To = 0;
    return r;
  }
  if (style.PagesPerSheet() == 1 && selected >= 0 && selected < visibleCount) {
    r.From = r.To = std::clamp(selected + 1, r.Min, r.Max);
  } else {
    r.From = 1;
    r.To = r.Max;
  }
  return r;
}

int32_t PrintChosenRange(TBaseView& view, const std::string& title, const TPrintRange& range, const TPrintChoice& choice,
                         const std::function<bool(const TClipLoss&)>& confirmClip) {
  int32_t from = choice.From > 0 ? choice.From : range.Min;
  int32_t to = choice.To > 0 ? choice.To : range.Max;
  from = std::clamp(from, range.Min, range.Max);
  to = std::clamp(to, range.Min, range.Max);
  TSheetPrinter& printer = SheetPrinter();
  TPrinterBackend* backend = printer.Backend();
  if (auto* qt = dynamic_cast<TQtPrinterBackend*>(backend)) {
    if (choice.ToFile) {
      qt->Pdf().SetOutputFileName(choice.FileName);
      qt->SetPrinterIndex(qt->PdfIndex());
    } else {
      // the queues as they are now: one added meanwhile is there, one removed is an error
      printer.Refresh();
      if (choice.PrinterName.empty()) printer.SelectDefaultPrinter();
      else if (!printer.SelectPrinter(choice.PrinterName))
        throw Exception(SJ("プリンタ「") + choice.PrinterName +
                        SJ("」が見つかりません。プリンタが削除されたか、印刷システムに接続できません。"));
    }
  } else if (auto* pdf = dynamic_cast<TPdfPrinterBackend*>(backend); pdf && choice.ToFile) {
    pdf->SetOutputFileName(choice.FileName);
  }
  printer.SetJobOptions(choice.Job);
  printer.ClipCheck = confirmClip;
  TAtScopeExit noCheck([&] { printer.ClipCheck = nullptr; });
  if (!choice.Ranges.empty()) {
    std::vector<std::pair<int32_t, int32_t>> ranges;
    for (auto [a, b] : choice.Ranges) {
      a = std::clamp(a, range.Min, range.Max);
      b = std::clamp(b, range.Min, range.Max);
      if (a <= b) ranges.emplace_back(a, b);
    }
    return view.PrintRanges(title, ranges, !range.Sheets);
  }
  return range.Sheets ? view.Print(title, 0, 0, from, to) : view.Print(title, from, to, 0, 0);
}

// ---- TPrintArea ----------------------------------------------------------------------------

namespace {

// What the user is told after a print that had to leave some barcodes out: which cards, and
// why, so that the codes can be mended before the cards go to the post office.
std::string BarcodeMissesText(const TPostView& view) {
  const auto& misses = view.BarcodeMisses();
  std::string text = std::to_string(misses.size()) + SJ("件の宛名はカスタマバーコードを付けずに印刷しました。");
  const size_t shown = std::min<size_t>(misses.size(), 15);
  for (size_t i = 0; i < shown; ++i) {
    const TPerson* p = view.PagePerson(misses[i].Entry);
    text += "\n" + (p ? p->Name() : std::to_string(misses[i].Entry + 1)) + SJ("：") + BarcodeFailureText(misses[i].Why);
  }
  if (misses.size() > shown) text += "\n" + SJ("ほか") + std::to_string(misses.size() - shown) + SJ("件");
  return text + "\n\n" + SJ("住所録の「住所チェック」で郵便番号を確かめられます。");
}

// A stored filter "text|pattern|text|pattern" as the file dialogs take it.
QString QtFilter(const std::string& filter) {
  TStrings parts = SplitStr(filter, "|");
  QStringList out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    QString text = ToQ(parts[i]);
    QString pattern = ToQ(parts[i + 1]);
    out << (text.contains("(" + pattern + ")") ? text.replace("(" + pattern + ")", " (" + pattern + ")") : text + " (" + pattern + ")");
  }
  return out.join(";;");
}

// The style entries of the card's edit popup, after its text entries.
const std::vector<std::pair<QString, TStylePopupMenu::TEntry>>& EditPopupStyleEntries() {
  static const std::vector<std::pair<QString, TStylePopupMenu::TEntry>> entries = {
      {"PopupStyleAdd", TStylePopupMenu::peAdd},
      {"PopupStyleDelete", TStylePopupMenu::peDelete},
      {"PopupStyleReset", TStylePopupMenu::peReset},
      {"PopupStyleCust", TStylePopupMenu::peCust}};
  return entries;
}

}  // namespace

TPrintArea::TPrintArea(TKaedeAddressOption& options, QWidget* parent) : QWidget(parent), FOptions(options) {
  // the style lists are kept with the settings of the program
  FPostStyles.ReadFromRegistry(FOptions.AppKey);
  FTableStyles.ReadFromRegistry(FOptions.AppKey);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  FStack = new QStackedWidget(this);
  layout->addWidget(FStack, 1);
  RunPrintDialog = [this](const TPrintRange& range, TPrintChoice& choice) { return ExecPrintDialog(this, range, choice); };
}

TPrintArea::~TPrintArea() {
  // the panels and the previews go before the lists they show
  delete FPostFrame;
  delete FTableFrame;
  delete FButtons;
  FPost.reset();
  FTable.reset();
}

void TPrintArea::SetBook(TPersonList* book, TPersonList* senders) {
  FBook = book;
  FSenders = senders;
  if (FPost) FPost->SetList(book);
  if (FTable) FTable->SetList(book);
}

void TPrintArea::Refresh(int selected) {
  const bool moved = selected != FSelected;
  FSelected = selected;
  if (!Prepared() || !FBook) return;
  // the layout is made again when the number of entries changed; the pages are drawn again
  // in any case, since the entries shown may have changed
  const int count = FBook->Count();
  const bool recount = count != FCount;
  FCount = count;
  if (PostVisible()) {
    if (recount) FPost->SetList(FBook);
    if (recount || moved) FPost->ShowEntry(selected);
    FPost->Control().View().Invalidate();
  }
  if (TableVisible()) {
    FTable->SetRowCount(count);
    FTable->Control().View().Invalidate();
  }
}

void TPrintArea::Prepare() {
  if (Prepared()) return;
  FPost = MakePostPreview(FStack);
  FStack->addWidget(FPost->Widget());
  FPost->SetList(FBook);
  // the edit popup of the card's free text
  FEditPopup = new QMenu(this);
  const std::pair<const char*, const char*> entries[] = {
      {"ActionCut", "切り取り"}, {"ActionCopy", "コピー"}, {"ActionPaste", "貼り付け"}, {"ActionSelectAll", "すべて選択"}};
  for (const auto& [name, caption] : entries) {
    QAction* a = FEditPopup->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    const std::string n = name;
    connect(a, &QAction::triggered, this, [this, n] {
      if (n == "ActionCut") FPost->Cut();
      else if (n == "ActionCopy") FPost->Copy();
      else if (n == "ActionPaste") FPost->Paste();
      else FPost->SelectAll();
    });
  }
  // and the style entries, which do what the same entries of the style buttons' menu do
  FEditPopup->addSeparator();
  for (const auto& [name, entry] : EditPopupStyleEntries()) {
    QAction* a = FEditPopup->addAction(ToQ(entry == TStylePopupMenu::peReset ? SJ("スタイル初期状態") : TStylePopupMenu::Caption(entry)));
    a->setObjectName(name);
    const TStylePopupMenu::TEntry e = entry;
    connect(a, &QAction::triggered, this, [this, e] {
      if (FButtons) FButtons->Selector().RunMenu(e);
    });
  }
  if (!FPopupExtras.empty()) FEditPopup->addSeparator();
  for (QAction* a : FPopupExtras) FEditPopup->addAction(a);
  connect(FEditPopup, &QMenu::aboutToShow, this, [this] { UpdateEditPopup(); });
  FPost->Widget()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(FPost->Widget(), &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { FEditPopup->popup(FPost->Widget()->mapToGlobal(at)); });
  FButtons = new TStyleCategoryButtons(*this);
  TStyleSelector& s = FButtons->Selector();
  s.CategoryColor0 = 9212647;
  s.CategoryColor1 = 11318007;
  s.CategoryTextColor0 = clWhite;
  s.CategoryTextColor1 = clWhite;
  s.SelectedColor = 14481378;
  s.OnButtonClicked = [this] { ShowStyle(SelectedStyle()); };
  s.OnStyleCust = [this] { ToggleStyleFrame(); };
  FButtonScroll = new QScrollArea(this);
  FButtonScroll->setWidget(FButtons);
  FButtonScroll->setWidgetResizable(true);
  FButtonScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FButtonScroll->setFixedWidth(FButtons->width() + 18);
  layout()->addWidget(FButtonScroll);
  s.SetLists({&FPostStyles, &FTableStyles});
  ShowStyle(SelectedStyle());
}

void TPrintArea::EnsureTable() {
  if (FTable) return;
  FTable = MakeTablePreview(FStack);
  FStack->addWidget(FTable->Widget());
  FTable->SetList(FBook);
}

bool TPrintArea::PostVisible() const { return FPost && FStack->currentWidget() == FPost->Widget() && Opened(); }
bool TPrintArea::TableVisible() const { return FTable && FStack->currentWidget() == FTable->Widget() && Opened(); }

TBaseView* TPrintArea::VisibleView() const {
  if (!FPost && !FTable) return nullptr;
  QWidget* current = FStack->currentWidget();
  if (FPost && current == FPost->Widget()) return &FPost->Control().View();
  if (FTable && current == FTable->Widget()) return &FTable->Control().View();
  return nullptr;
}

TBaseStyle* TPrintArea::SelectedStyle() const { return FButtons ? FButtons->Selector().SelectedStyle() : nullptr; }
int TPrintArea::SelectedCategory() const { return FButtons ? FButtons->Selector().SelectedCategory() : 0; }
int TPrintArea::SelectedItem() const { return FButtons ? FButtons->Selector().SelectedItem() : 0; }

const TPerson* TPrintArea::SenderOf(const TPostStyle& style) const {
  if (!FSenders) return nullptr;
  int i = style.Post().SenderNo - 1;
  return i >= 0 && i < FSenders->AllCount() ? FSenders->AllPersons(i) : nullptr;
}

void TPrintArea::ShowStyle(TBaseStyle* style) {
  if (!style) return;
  if (auto* post = dynamic_cast<TPostStyle*>(style)) {
    FPost->Control().AssignStyle(post);
    FPost->SetSender(SenderOf(*post));
    FStack->setCurrentWidget(FPost->Widget());
    FPost->SetList(FBook);
    FPost->ShowEntry(FSelected);
  } else {
    EnsureTable();
    FTable->Control().AssignStyle(style);
    FStack->setCurrentWidget(FTable->Widget());
    FTable->SetRowCount(FBook ? FBook->Count() : 0);
  }
  // the chosen button is scrolled into view
  const QRect b = FButtons->ButtonRect(FButtons->Selector().SelectedCategory(), FButtons->Selector().SelectedItem());
  if (!b.isEmpty()) FButtonScroll->ensureVisible(b.center().x(), b.center().y(), 0, b.height());
  StateChanged();
}

bool TPrintArea::SelectPostStyle(const std::string& name) {
  for (int i = 0; i < FPostStyles.AllCount(); ++i) {
    TBaseStyle* s = FPostStyles.Style(i);
    if (s->Name() != name) continue;
    Prepare();
    FButtons->Selector().SelectStyle(s);
    ShowStyle(s);
    return true;
  }
  return false;
}

void TPrintArea::SelectButton(int category, int item) {
  Prepare();
  FButtons->Selector().SelectButton(category, item);
}

void TPrintArea::Zoom(int32_t ratio) {
  if (TBaseView* v = VisibleView()) v->SetRatioValue(ratio);
}

void TPrintArea::ConnectFrame(TBaseStyleFrame* frame, bool post) {
  auto control = [this, post]() -> TBaseControl& { return post ? FPost->Control() : FTable->Control(); };
  frame->OnVisibleChanging = [this, frame, control] {
    TBaseControl& c = control();
    c.View().BeginPaint();
    c.BeginStyleUpdate();
    frame->SetStyle(&c.Style());
  };
  frame->OnVisibleChanged = [this, frame, control, post] {
    TBaseControl& c = control();
    // the buttons give way to the panel
    FButtonScroll->setVisible(frame->isHidden());
    c.EndStyleUpdate(true);
    c.View().EndPaint(true);
    if (post) FPost->SetFrameVisible(!frame->isHidden());
    StateChanged();
  };
  frame->OnEditChange() = [this, frame, control, post] {
    control().AssignStyle(&frame->Style());
    if (TBaseStyle* s = SelectedStyle()) {
      if (TDataList* list = s->Owner()) list->SetItem(s->Index(), &frame->Style());
    }
    if (post) FPost->ShowEntry(FSelected);
    FButtons->update();
  };
}

void TPrintArea::ToggleStyleFrame() {
  if (!Prepared()) return;
  TBaseStyleFrame* frame = nullptr;
  if (FPost && FStack->currentWidget() == FPost->Widget()) {
    if (!FPostFrame) {
      FPostFrame = new TPostStyleFrame(*this, this);
      FPostFrame->hide();
      static_cast<QHBoxLayout*>(layout())->insertWidget(1, FPostFrame);
      ConnectFrame(FPostFrame, true);
    }
    frame = FPostFrame;
  } else if (FTable && FStack->currentWidget() == FTable->Widget()) {
    if (!FTableFrame) {
      FTableFrame = new TTableStyleFrame(*this, this);
      FTableFrame->SetColumnNames(EncodeCommaText(TableColumnNames()));
      FTableFrame->hide();
      static_cast<QHBoxLayout*>(layout())->insertWidget(1, FTableFrame);
      ConnectFrame(FTableFrame, false);
    }
    frame = FTableFrame;
  }
  if (frame) frame->setVisible(frame->isHidden());
}

bool TPrintArea::StyleFrameVisible() const {
  return (FPostFrame && !FPostFrame->isHidden()) || (FTableFrame && !FTableFrame->isHidden());
}

void TPrintArea::UpdateEditPopup() {
  if (!FEditPopup) return;
  const bool editing = PostVisible() && static_cast<const TPostStyle&>(FPost->Control().Style()).Post().Editor;
  const bool selection = editing && FPost->HasSelection();
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const bool text = editing && clipboard && !clipboard->text().isEmpty();
  for (QAction* a : FEditPopup->actions()) {
    if (a->isSeparator() || std::find(FPopupExtras.begin(), FPopupExtras.end(), a) != FPopupExtras.end()) continue;
    const QString n = a->objectName();
    bool style = false;
    for (const auto& [name, entry] : EditPopupStyleEntries())
      if (n == name) {
        a->setEnabled(FButtons && FButtons->Selector().MenuEnabled(entry));
        style = true;
      }
    if (!style) a->setEnabled(n == "ActionPaste" ? text : n == "ActionSelectAll" ? editing : selection);
  }
}

void TPrintArea::AddEditPopupAction(QAction* action) {
  FPopupExtras.push_back(action);
  if (!FEditPopup) return;  // added when the popup is made
  if (FPopupExtras.size() == 1) FEditPopup->addSeparator();
  FEditPopup->addAction(action);
}

TPrintRange TPrintArea::CurrentPrintRange() const {
  TBaseView* view = VisibleView();
  if (!view) {
    TPrintRange r;
    r.Nothing = true;
    return r;
  }
  if (FTable && view == &FTable->Control().View()) return TablePrintRange(view->PageCount());
  const auto& style = static_cast<const TPostStyle&>(FPost->Control().Style());
  return PostcardPrintRange(style, view->SheetCount(), FBook ? FBook->Count() : 0, FSelected);
}

void TPrintArea::Print() {
  TBaseView* view = VisibleView();
  if (!view) return;
  TPrintRange range = CurrentPrintRange();
  if (range.Nothing) {
    ShowInfo(SJ("印刷する宛名がありません。"));
    return;
  }
  TPrintChoice choice;
  // the dialog opens on the style's queue (the one it printed on last) and its paper; a
  // queue that has gone gives way to the system's default, and the user is told
  TBaseStyle* style = view->Style();
  choice.PrinterName = style->Base().Printer;
  if (!choice.PrinterName.empty() && !SheetPrinter().HasQueue(choice.PrinterName)) {
    ShowInfo(SJ("スタイルのプリンタ「") + choice.PrinterName + SJ("」が見つかりません。通常使うプリンタで印刷します。"));
    choice.PrinterName.clear();
  }
  TPoint tenth{style->Base().PaperWidth * 10, style->Base().PaperHeight * 10};
  if (style->Base().PaperSize != kPaperUser && StandardPaperSize(style->Base().PaperSize, tenth) && style->Base().Orientation)
    std::swap(tenth.X, tenth.Y);
  choice.PaperWidthMm = tenth.X / 10.0;
  choice.PaperHeightMm = tenth.Y / 10.0;
  if (!RunPrintDialog || !RunPrintDialog(range, choice)) return;
  try {
    PrintChosenRange(*view, style->Name(), range, choice, [this](const TClipLoss& loss) {
      return Confirm(loss.Text() + "\n" + SJ("このまま印刷しますか？"));
    });
    // the queue is remembered with the style, in the list as well as in the view's copy
    if (!choice.ToFile && !choice.PrinterName.empty() && choice.PrinterName != style->Base().Printer) {
      style->SetBase(&TBaseStyleValues::Printer, choice.PrinterName);
      if (TBaseStyle* listed = SelectedStyle(); listed && listed->Name() == style->Name())
        listed->SetBase(&TBaseStyleValues::Printer, choice.PrinterName);
    }
    if (auto* cards = dynamic_cast<const TPostView*>(view); cards && !cards->BarcodeMisses().empty())
      ShowInfo(BarcodeMissesText(*cards));
    // the entries on the sheets printed, for the window to offer marking them
    auto* post = PostVisible() ? dynamic_cast<const TPostStyle*>(view->Style()) : nullptr;
    if (post && !post->Post().Editor && range.Sheets && OnCardsPrinted) {
      std::vector<std::pair<int32_t, int32_t>> printed = choice.Ranges;
      if (printed.empty()) printed.emplace_back(choice.From > 0 ? choice.From : range.Min, choice.To > 0 ? choice.To : range.Max);
      const int32_t perSheet = std::max(1, post->PagesPerSheet());
      std::vector<std::pair<int, int>> entries;
      for (auto [fromSheet, toSheet] : printed) {
        const int32_t from = std::clamp(fromSheet, range.Min, range.Max), to = std::clamp(toSheet, range.Min, range.Max);
        const int32_t first = (from - 1) * perSheet, last = std::min(to * perSheet, FCount) - 1;
        if (first <= last) entries.emplace_back(first, last);
      }
      if (!entries.empty()) OnCardsPrinted(entries);
    }
  } catch (const EPrintStopped&) {
    // the user said stop: nothing was sent
  } catch (const EPrintRangeEmpty&) {
    ShowInfo(SJ("印刷する範囲にページがありません。"));
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  }
}

int TPrintArea::NeededWidth(int listHeight) const {
  // the card beside the list at its height, the splitter, and the style buttons
  return listHeight * 100 / 148 + 8 + 169 + 20;
}

void TPrintArea::SaveStyles() {
  try {
    FPostStyles.WriteToRegistry(FOptions.AppKey);
    FTableStyles.WriteToRegistry(FOptions.AppKey);
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  }
}

void TPrintArea::StateChanged() {
  if (OnStateChanged) OnStateChanged();
}

// ---- IStyleDialogs -------------------------------------------------------------------------

bool TPrintArea::InputText(const std::string& caption, const std::string& prompt, std::string& value) {
  return kaede::InputText(caption, prompt, value);
}

bool TPrintArea::Confirm(const std::string& text) { return AppHost().Confirm(text); }

void TPrintArea::ShowInfo(const std::string& text) { AppHost().ShowInfo(text); }

bool TPrintArea::OpenFileName(const std::string& /*defaultExt*/, const std::string& filter, std::string& file) {
  QString name = QFileDialog::getOpenFileName(this, QString(), QString(), QtFilter(filter));
  if (name.isEmpty()) return false;
  file = FromQ(name);
  return true;
}

bool TPrintArea::SaveFileName(const std::string& defaultExt, const std::string& filter, std::string& file) {
  QString name = QFileDialog::getSaveFileName(this, QString(), ToQ(file), QtFilter(filter));
  if (name.isEmpty()) return false;
  if (!defaultExt.empty() && !name.endsWith(ToQ(defaultExt), Qt::CaseInsensitive) && !name.contains('.'))
    name += ToQ(defaultExt);
  file = FromQ(name);
  return true;
}

}  // namespace kaede
