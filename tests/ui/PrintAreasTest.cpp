#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QMenu>
#include <QInputMethodEvent>
#include <QSplitter>
#include <QTest>
#include <filesystem>

#include "AppHost.h"
#include "BaseStyleFrames.h"
#include "EntryFakes.h"
#include "FakePrinters.h"
#include "Files.h"
#include "KaedeAddressMains.h"
#include "PrintAreas.h"
#include "PrintOffsetDialogs.h"
#include "QtCanvas.h"
#include "QtPaperControls.h"
#include "QtPrinters.h"
#include "StyleCategoryButtons.h"
#include "TestUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

namespace {

std::string SampleBook() { return std::string(KAEDE_BINARY_DIR) + "/bin/住所録.kad"; }

// Pages of a PDF file written by the PDF printer.
size_t PdfPages(const std::string& file) {
  std::string data = ReadFileBytes(file);
  size_t pages = 0;
  for (size_t at = data.find("/Type /Page"); at != std::string::npos; at = data.find("/Type /Page", at + 1))
    pages += data.compare(at, 12, "/Type /Pages") != 0;
  return pages;
}

// The PDF printer as the process's printer for a test's lifetime.
struct TPdfPrinter {
  TPdfPrinterBackend* Backend = new TPdfPrinterBackend();
  TPdfPrinter() {
    InstallQtDrawing();
    SheetPrinter().SetBackend(std::unique_ptr<TPrinterBackend>(Backend));
  }
  ~TPdfPrinter() { SheetPrinter().SetBackend(nullptr); }
};

TPostStyle* Card(TPostStyleList& list, int preset) { return list.Style(preset); }

}  // namespace

TEST(PrintRange, CardsOfferSheetsAndTheSelectedCardOfAOneCardSheet) {
  TPostStyleList posts;
  posts.Reset();
  // one card a sheet, entry 5 selected: that card alone
  EXPECT_EQ(PostcardPrintRange(*Card(posts, 0), 20, 20, 4), (TPrintRange{false, true, 1, 20, 5, 5, false}));
  // nothing selected: every sheet, never "0 to 0"
  EXPECT_EQ(PostcardPrintRange(*Card(posts, 0), 20, 20, -1), (TPrintRange{false, true, 1, 20, 1, 20, false}));
  // four cards a sheet: the numbers are sheets, and there are five of them, not twenty
  TPostStyle* four = Card(posts, 21);
  ASSERT_EQ(four->PagesPerSheet(), 4);
  EXPECT_EQ(PostcardPrintRange(*four, 5, 20, 7), (TPrintRange{false, true, 1, 5, 1, 5, false}));
  // an empty book: nothing to print
  EXPECT_TRUE(PostcardPrintRange(*Card(posts, 0), 1, 0, -1).Nothing);
  // the free-text card: its first sheet, even without entries
  TPostStyle* text = Card(posts, 5);
  ASSERT_TRUE(text->Post().Editor);
  EXPECT_EQ(PostcardPrintRange(*text, 1, 0, -1), (TPrintRange{false, true, 1, 1, 1, 1, false}));
  // a table: all of its pages
  EXPECT_EQ(TablePrintRange(3), (TPrintRange{false, false, 1, 3, 1, 3, true}));
  EXPECT_EQ(TablePrintRange(0).Max, 1);
}

TEST(PrintRange, TheChosenCardAndTheTablesPagesReachThePdf) {
  TPdfPrinter printer;
  test::TempDir dir;
  TPersonList book;
  book.LoadFromFile(Utf8ToSjis(SampleBook()), false);
  ASSERT_EQ(book.Count(), 20);
  TPostStyleList posts;
  posts.Reset();
  TTableStyleList tables;
  tables.Reset();

  auto cards = MakePostControl();
  cards->AssignStyle(posts.Style(0));
  cards->View().SetBounds(400, 600);
  SetPostBook(*cards, &book);
  EXPECT_EQ(cards->View().SheetCount(), 20);
  TPrintRange range = PostcardPrintRange(static_cast<TPostStyle&>(cards->Style()), cards->View().SheetCount(), book.Count(), 4);
  ASSERT_EQ(range.From, 5);
  ASSERT_EQ(range.To, 5);
  TPrintChoice choice;
  choice.ToFile = true;
  choice.FileName = dir.File("card.pdf");
  choice.From = range.From;
  choice.To = range.To;
  EXPECT_EQ(PrintChosenRange(cards->View(), "card", range, choice), 1);
  EXPECT_EQ(PdfPages(dir.File("card.pdf")), 1u);
  // a page set with gaps prints its sheets only: "1,3" is two cards, not three
  TPrintChoice gaps = choice;
  gaps.FileName = dir.File("gaps.pdf");
  gaps.Ranges = {{1, 1}, {3, 3}};
  EXPECT_EQ(PrintChosenRange(cards->View(), "card", PostcardPrintRange(static_cast<TPostStyle&>(cards->Style()), 20, 20, -1), gaps), 2);
  EXPECT_EQ(PdfPages(dir.File("gaps.pdf")), 2u);

  // a table of many rows: every page the dialog offers is printed
  // a book of 200 entries: the sample twenty ten times
  TPersonList many;
  for (int r = 0; r < 10; ++r)
    for (int i = 0; i < book.AllCount(); ++i) many.AddItem(book.AllPersons(i));
  auto table = MakeTableControl();
  table->AssignStyle(tables.Style(0));
  table->View().SetBounds(400, 600);
  SetTableBook(*table, &many);
  SetTableRows(*table, many.Count());
  TPrintRange pages = TablePrintRange(table->View().PageCount());
  ASSERT_GT(pages.Max, 1);
  TPrintChoice all;
  all.ToFile = true;
  all.FileName = dir.File("table.pdf");
  PrintChosenRange(table->View(), "table", pages, all);
  EXPECT_EQ(PdfPages(dir.File("table.pdf")), static_cast<size_t>(pages.Max));
  // numbers beyond the range offered are held to it
  TPrintChoice beyond = all;
  beyond.FileName = dir.File("beyond.pdf");
  beyond.From = pages.Max;
  beyond.To = pages.Max + 10;
  PrintChosenRange(table->View(), "table", pages, beyond);
  EXPECT_EQ(PdfPages(dir.File("beyond.pdf")), 1u);
}

namespace {

// A window on a copy of the sample book, with its settings in a private folder.
struct TWindowFixture : ::testing::Test {
  test::ConfigHome Home;
  test::TempDir Data;
  TKaedeAddressOption* Options = nullptr;
  void Start(const TStrings& more = {}) {
    if (!fs::exists(Data.Path() + "/住所録.kad")) fs::copy_file(SampleBook(), Data.Path() + "/住所録.kad");
    TStrings args{"/D" + Utf8ToSjis(Data.Path())};
    for (const std::string& a : more) args.push_back(a);
    TAppOption::SetProgramArguments(args);
    Options = TDataItem::Make<TKaedeAddressOption>();
  }
  void TearDown() override {
    if (Options) Options->Free();
    TAppOption::SetProgramArguments({});
  }
};

}  // namespace

TEST_F(TWindowFixture, ThePreviewOpensBesideThePanesAndGivesBackWhatItTook) {
  Start();
  {
    TKaedeAddressMain w(*Options);
    w.Start();
    w.resize(480, 240);
    w.show();
    QApplication::processEvents();
    const int width = w.width();
    QSplitter* splitter = w.findChild<QSplitter*>();
    ASSERT_NE(splitter, nullptr);
    const int pane = splitter->sizes()[1];
    EXPECT_FALSE(w.Action("ActionStyle")->isEnabled());
    const QList<int> before = splitter->sizes();
    w.Action("ActionPreview")->trigger();
    QApplication::processEvents();
    const QList<int> during = splitter->sizes();
    TPrintArea* area = w.PrintArea();
    ASSERT_TRUE(area->Opened());
    EXPECT_TRUE(w.Action("ActionPreview")->isChecked());
    EXPECT_TRUE(w.Action("ActionStyle")->isEnabled());
    EXPECT_TRUE(w.Action("Action7")->isEnabled());  // 100 %
    EXPECT_TRUE(area->PostVisible());
    if (w.WidenedBy() > 0) {
      EXPECT_EQ(w.width(), width + w.WidenedBy());
      EXPECT_EQ(splitter->sizes()[1], pane);  // the editing pane keeps its width
    }
    // the first card shows the first entry: its print range is that card
    EXPECT_EQ(area->CurrentPrintRange().From, 1);
    w.Action("ActionPreview")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(area->Opened());
    EXPECT_EQ(w.width(), width);
    EXPECT_EQ(splitter->sizes()[1], pane) << before[0] << " " << before[1] << " / " << during[0] << " " << during[1] << " "
                                          << during[2] << " widened " << w.WidenedBy() << " / " << splitter->sizes()[0];
    EXPECT_FALSE(w.Action("ActionStyle")->isEnabled());
    // open it again and leave it open: the next start opens it too
    w.Action("ActionPreview")->trigger();
    area->SelectButton(1, 1);  // 年賀はがき（差出人付き）
    w.close();
  }
  EXPECT_TRUE(Options->PostVisible());
  EXPECT_EQ(Options->SelectStyleKind(), 1);
  EXPECT_EQ(Options->SelectStyleNo(), 1);
  {
    TKaedeAddressMain w(*Options);
    w.Start();
    ASSERT_TRUE(w.PrintArea()->Opened());
    ASSERT_NE(w.PrintArea()->SelectedStyle(), nullptr);
    EXPECT_EQ(w.PrintArea()->SelectedStyle()->Name(), SJ("年賀はがき（差出人付き）"));
    w.close();
  }
}

TEST_F(TWindowFixture, APreviewOpenAtStartLeavesTheListItsStoredWidth) {
  Start();
  Options->SetPersonListWidth(180);
  Options->SetPostVisible(true);
  // (the test screen is too narrow for the window to grow: the preview borrows from the panes,
  // the list included, and gives it back when it closes)
  int shown = -1;
  for (int run = 0; run < 3; ++run) {
    TKaedeAddressMain w(*Options);
    w.Start();  // the preview opens before the window is shown
    w.show();
    QApplication::processEvents();
    ASSERT_TRUE(w.PrintArea()->Opened());
    const int list = w.findChild<QSplitter*>()->sizes()[0];
    EXPECT_LE(list, 180);
    if (shown >= 0) {
      EXPECT_EQ(list, shown) << "run " << run;
    }
    shown = list;
    w.close();
    EXPECT_EQ(Options->PersonListWidth(), 180) << "run " << run;
  }
}

TEST_F(TWindowFixture, ATableStyleShowsTheTableAndTheSettingsPanelEditsIt) {
  Start();
  TKaedeAddressMain w(*Options);
  w.Start();
  w.show();
  w.Action("ActionPreview")->trigger();
  TPrintArea* area = w.PrintArea();
  TStyleSelector& s = area->Buttons()->Selector();
  const int tableCategory = static_cast<int>(s.Categories().size()) - 1;
  s.SelectButton(tableCategory, 0);
  ASSERT_TRUE(area->TableVisible());
  EXPECT_FALSE(area->PostVisible());
  EXPECT_TRUE(area->CurrentPrintRange().AllChosen);
  // the panel replaces the buttons while it is shown
  w.Action("ActionStyle")->trigger();
  ASSERT_NE(area->TableFrame(), nullptr);
  EXPECT_FALSE(area->TableFrame()->isHidden());
  EXPECT_FALSE(area->Buttons()->isVisibleTo(area));
  EXPECT_TRUE(w.Action("ActionStyle")->isChecked());
  // an edit reaches the control and the list's style
  area->TableFrame()->Settings().SelectItem(24);
  area->TableFrame()->Settings().Value().UserText(SJ("名簿"));
  EXPECT_EQ(area->TablePreview()->Control().Style().Name(), SJ("名簿"));
  EXPECT_EQ(area->TableStyles().AllItems(0)->GetCaption(), SJ("名簿"));
  w.Action("ActionStyle")->trigger();
  EXPECT_TRUE(area->TableFrame()->isHidden());
  EXPECT_TRUE(area->Buttons()->isVisibleTo(area));
  w.close();
  // the style lists are kept with the settings
  TTableStyleList back;
  back.ReadFromRegistry(Options->AppKey);
  EXPECT_EQ(back.Style(0)->Name(), SJ("名簿"));
}

TEST_F(TWindowFixture, AStartStyleOpensThePreviewWithThatStyle) {
  Start({"/S" + SJ("年賀はがき")});
  TKaedeAddressMain w(*Options);
  w.Start();
  w.show();
  QApplication::processEvents();
  ASSERT_TRUE(w.PrintArea()->Opened());
  EXPECT_EQ(w.PrintArea()->SelectedStyle()->Name(), SJ("年賀はがき"));
  EXPECT_TRUE(w.PrintArea()->PostVisible());
  w.close();
}

// The style's queue was removed while the program ran: the dialog opens on the default, the
// user is told in Japanese, and nothing fails.
TEST_F(TWindowFixture, AStyleWhoseQueueHasGoneOpensTheDialogOnTheDefaultAndSaysSo) {
  test::TRecordingHost host;
  auto backend = std::make_unique<TFakePrinterBackend>();
  backend->Devices.push_back(TFakePrinter::Standard("Office"));
  SheetPrinter().SetBackend(std::move(backend));
  TAtScopeExit noPrinter([] { SheetPrinter().SetBackend(nullptr); });
  Start();
  TKaedeAddressMain w(*Options);
  w.Start();
  w.Action("ActionPreview")->trigger();
  TPrintArea* area = w.PrintArea();
  TBaseStyle* style = area->SelectedStyle();
  style->SetBase(&TBaseStyleValues::Printer, std::string("Gone"));
  area->ShowStyle(style);
  std::vector<std::string> opened;
  area->RunPrintDialog = [&](const TPrintRange&, TPrintChoice& choice) {
    opened.push_back(choice.PrinterName);
    return false;
  };
  w.Action("ActionPrint")->trigger();
  EXPECT_EQ(opened, std::vector<std::string>{""});
  EXPECT_EQ(host.Infos, std::vector<std::string>{"スタイルのプリンタ「Gone」が見つかりません。通常使うプリンタで印刷します。"});
  EXPECT_TRUE(host.Errors.empty());
  // a queue that is there is what the dialog opens on
  style->SetBase(&TBaseStyleValues::Printer, std::string("Office"));
  area->ShowStyle(style);
  w.Action("ActionPrint")->trigger();
  EXPECT_EQ(opened.back(), "Office");
  EXPECT_EQ(host.Infos.size(), 1u);
  w.close();
}

TEST_F(TWindowFixture, NothingToPrintIsSaidAndNoDialogOpens) {
  Start();
  TKaedeAddressMain w(*Options);
  w.Start();
  w.Action("ActionPreview")->trigger();
  TPrintArea* area = w.PrintArea();
  int dialogs = 0;
  area->RunPrintDialog = [&](const TPrintRange&, TPrintChoice&) {
    ++dialogs;
    return false;
  };
  // a find that matches nothing leaves no visible entry
  w.Controller().Book().FilterText("no such entry anywhere");
  w.UpdateActions();
  ASSERT_EQ(w.Controller().Book().Count(), 0);
  EXPECT_TRUE(area->CurrentPrintRange().Nothing);
  w.Action("ActionPrint")->trigger();
  EXPECT_EQ(dialogs, 0);
  w.Controller().Book().ClearFilter(true);
  w.UpdateActions();
  w.Action("ActionPrint")->trigger();
  EXPECT_EQ(dialogs, 1);
  w.close();
}

namespace {

// A card preview whose free text reports a selection and counts the commands it gets.
class TEditingPostPreview : public IPostPreview {
public:
  explicit TEditingPostPreview(QWidget* parent) : FWidget(new TQtPaperControl(MakePostControl(), parent)) {}
  QWidget* Widget() override { return FWidget; }
  TBaseControl& Control() override { return FWidget->Control(); }
  void SetList(TPersonList* book) override { SetPostBook(Control(), book); }
  void ShowEntry(int) override {}
  void SetSender(const TPerson*) override {}
  bool HasSelection() const override { return Selected; }
  void Cut() override { ++Cuts; }
  bool Selected = false;
  int Cuts = 0;

private:
  TQtPaperControl* FWidget;
};

}  // namespace

TEST_F(TWindowFixture, TheCardsEditPopupActsOnlyOnTheFreeTextOfAStyleThatEditsText) {
  TEditingPostPreview* post = nullptr;
  SetPostPreviewFactory([&post](QWidget* parent) {
    auto p = std::make_unique<TEditingPostPreview>(parent);
    post = p.get();
    return std::unique_ptr<IPostPreview>(std::move(p));
  });
  Start();
  {
    TKaedeAddressMain w(*Options);
    w.Start();
    w.Action("ActionPreview")->trigger();
    TPrintArea* area = w.PrintArea();
    ASSERT_NE(post, nullptr);
    auto entry = [area](const char* name) { return area->EditPopup()->findChild<QAction*>(name); };
    ASSERT_NE(entry("ActionCut"), nullptr);
    post->Selected = true;
    area->UpdateEditPopup();
    EXPECT_FALSE(entry("ActionCut")->isEnabled());  // the official card writes no free text
    EXPECT_FALSE(entry("ActionSelectAll")->isEnabled());
    // the printer test sheet is the settings menu's own entry, open whatever the card edits
    const QList<QAction*> popup = area->EditPopup()->actions();
    ASSERT_FALSE(popup.isEmpty());
    EXPECT_EQ(popup.back(), w.Action("ActionPrintOffsets"));
    EXPECT_TRUE(popup.back()->isEnabled());
    ASSERT_TRUE(area->SelectPostStyle(SJ("はがき（裏／横書き）")));
    area->UpdateEditPopup();
    EXPECT_TRUE(entry("ActionCut")->isEnabled());
    EXPECT_TRUE(entry("ActionCopy")->isEnabled());
    EXPECT_TRUE(entry("ActionSelectAll")->isEnabled());
    entry("ActionCut")->trigger();
    EXPECT_EQ(post->Cuts, 1);
    post->Selected = false;
    area->UpdateEditPopup();
    EXPECT_FALSE(entry("ActionCopy")->isEnabled());  // nothing selected
    QGuiApplication::clipboard()->setText("text");
    area->UpdateEditPopup();
    EXPECT_TRUE(entry("ActionPaste")->isEnabled());
    QGuiApplication::clipboard()->clear();
    area->UpdateEditPopup();
    EXPECT_FALSE(entry("ActionPaste")->isEnabled());
    w.close();
  }
  SetPostPreviewFactory(nullptr);
}

// The real card preview of a style that edits text: the free text takes typed keys and the
// input method's commit, and the edit popup's commands reach it.
TEST_F(TWindowFixture, TheFreeTextOfACardIsTypedAndCutInThePreview) {
  Start();
  TKaedeAddressMain w(*Options);
  w.Start();
  w.show();
  w.Action("ActionPreview")->trigger();
  TPrintArea* area = w.PrintArea();
  IPostPreview* post = area->PostPreview();
  ASSERT_NE(post, nullptr);
  QWidget* card = post->Widget();
  // the official card writes no free text: keys do not change it
  card->setFocus();
  QTest::keyClicks(card, QStringLiteral("x"));
  post->SelectAll();
  EXPECT_FALSE(post->HasSelection());
  ASSERT_TRUE(area->SelectPostStyle(SJ("はがき（裏／横書き）")));
  card->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(card->testAttribute(Qt::WA_InputMethodEnabled));
  QTest::keyClicks(card, QStringLiteral("abc"));
  QInputMethodEvent preedit(QStringLiteral("しんねん"), {});
  QApplication::sendEvent(card, &preedit);
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("新年"));
  QApplication::sendEvent(card, &commit);
  auto entry = [area](const char* name) { return area->EditPopup()->findChild<QAction*>(name); };
  area->UpdateEditPopup();
  entry("ActionSelectAll")->trigger();
  area->UpdateEditPopup();
  ASSERT_TRUE(entry("ActionCut")->isEnabled());
  entry("ActionCut")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc新年"));
  EXPECT_FALSE(post->HasSelection());
  // (the popup sets its entries as it opens)
  area->UpdateEditPopup();
  ASSERT_TRUE(entry("ActionPaste")->isEnabled());
  entry("ActionPaste")->trigger();
  entry("ActionPaste")->trigger();
  post->SelectAll();
  post->Copy();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc新年abc新年"));
  w.close();
}

// 印刷位置の補正: what is typed stays with its printer while another is shown, and the test
// sheet goes to the printer chosen in the dialog, whichever printer printed last (none here).
TEST(PrintOffsetDialog, TypedOffsetsStayWithTheirPrinterAndTheSheetGoesToTheChosenOne) {
  TPrintOffsetEditor editor({"queue-a", "queue-b"}, "");
  std::vector<std::pair<std::string, TPrintOffset>> printed;
  TPrintOffsetDialog d(editor, [&](const std::string& p, TPrintOffset o) { printed.push_back({p, o}); });
  auto* printer = d.findChild<QComboBox*>();
  const auto spins = d.findChildren<QDoubleSpinBox*>();
  ASSERT_EQ(spins.size(), 2);
  QPushButton* sheet = nullptr;
  for (QPushButton* b : d.findChildren<QPushButton*>())
    if (b->text().contains(QStringLiteral("位置合わせ"))) sheet = b;
  ASSERT_NE(sheet, nullptr);
  printer->setCurrentIndex(1);
  for (auto [spin, typed] : {std::pair{spins[0], "1.5"}, std::pair{spins[1], "-2"}}) {
    spin->selectAll();
    QTest::keyClicks(spin, QString::fromLatin1(typed));
  }
  printer->setCurrentIndex(0);
  EXPECT_EQ(spins[0]->value(), 0.0);
  printer->setCurrentIndex(1);
  EXPECT_DOUBLE_EQ(spins[0]->value(), 1.5);
  EXPECT_DOUBLE_EQ(spins[1]->value(), -2.0);
  ASSERT_TRUE(sheet->isEnabled());
  sheet->click();
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].first, "queue-b");
  EXPECT_TRUE((printed[0].second == TPrintOffset{1.5, -2}));
  EXPECT_TRUE((editor.Offset("queue-a") == TPrintOffset{}));
}
