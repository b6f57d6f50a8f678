// The window as a person uses it: the mouse on the list, the keys and the input method in the
// editing pane, the first start, books and folders. Each test drives the real widgets.
#include "ui/WindowFixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QStyle>
#include <QToolButton>
#include <QScreen>
#include <QWindow>
#include <csignal>

#include "AppSetup.h"
#include "CoolTabSets.h"
#include "CsvDialogs.h"
#include "DataPathDialogs.h"
#include "EditAddresses.h"
#include "Files.h"
#include "Selecters.h"

using namespace kaede;
using namespace kaede::test;

TEST(WindowUse, AClickOnANameFillsThePaneEnablesDeleteAndIsRemembered) {
  TWindowFixture f;
  f.Open();
  ASSERT_GE(f.Book().Count(), 5);
  f.ClickRow(3);
  EXPECT_TRUE(f.Pane().isEnabled());
  EXPECT_EQ(f.PaneName(), f.RowName(3));
  EXPECT_TRUE(f.Action("ActionDel")->isEnabled());
  f.ClickRow(1);
  EXPECT_EQ(f.PaneName(), f.RowName(1));
  // the clicks are in the back/forward history like any other selection
  f.Trigger("ActionBack");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 3);
  EXPECT_EQ(f.PaneName(), f.RowName(3));
  f.Trigger("ActionFowerd");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 1);
  // a click on the selected row changes nothing and records nothing
  f.ClickRow(1);
  EXPECT_FALSE(f.Action("ActionFowerd")->isEnabled());
  f.Trigger("ActionBack");
  EXPECT_EQ(f.w->ListWidget()->SelectedRow(), 3);
}

TEST(WindowUse, TheFirstStartOnAnEmptyFolderLeavesAddReadyWhateverTheAnswer) {
  for (bool answer : {true, false}) {
    SCOPED_TRACE(answer ? "named" : "cancelled");
    TWindowFixture f(false);
    AnswerNextDialog([answer](QDialog* d) {
      if (auto* edit = d->findChild<QLineEdit*>()) edit->setText(QStringLiteral("仕事"));
      answer ? d->accept() : d->reject();
    });
    f.Open();
    EXPECT_TRUE(FileExists(f.Book(answer ? "仕事" : "住所録")));
    EXPECT_TRUE(f.Action("ActionAdd")->isEnabled());
    // Ins opens the add dialog at once, without a change of tab first
    EXPECT_TRUE(f.InsertAsks());
  }
}

TEST(WindowUse, EnterGoesFromFieldToFieldAndAFoundAddressWaitsForTheBlockNumber) {
  TSmallDictionary dictionary;
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  TEditAddress* address = f.Pane().EditAddress();
  QLineEdit* postal = address->EditPostal();
  QPlainTextEdit* memo = address->MemoAddress();
  f.Pane().EditName()->setFocus();
  f.Key(f.Pane().EditName(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), f.Pane().EditYomi());
  // Enter from よみ passes over the 詳細... button to the postal code
  f.Key(f.Pane().EditYomi(), Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), postal);
  // an entry whose address and code are cleared, then a code typed digit by digit
  f.ClearAddress();
  postal->setFocus();
  QTest::keyClicks(postal, QStringLiteral("1000001"));
  QApplication::processEvents();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田"));
  ASSERT_EQ(QApplication::focusWidget(), memo);
  // the caret waits at the end: the block number is added, not typed over the address
  EXPECT_FALSE(memo->textCursor().hasSelection());
  QTest::keyClicks(memo, QStringLiteral("1-1"));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田1-1"));
  EXPECT_EQ(U8L(f.Book().Persons(0)->Address().Lines()), std::vector<std::string>{"東京都千代田区千代田1-1"});
}

namespace {
// What the platform does with input-method text: it goes to the widget that has the focus.
void Ime(const char* kana, const char* commit) {
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr);
  ComposeAndCommit(target, QString::fromUtf8(kana), QString::fromUtf8(commit));
  QApplication::processEvents();
}
}  // namespace

TEST(WindowUse, AnAddressTypedThroughTheInputMethodIsLookedUpOnlyWhenCommitted) {
  TSmallDictionary dictionary;
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  TEditAddress* address = f.Pane().EditAddress();
  QLineEdit* postal = address->EditPostal();
  QPlainTextEdit* memo = address->MemoAddress();
  f.ClearAddress();
  memo->setFocus();
  Ime("とうきょうと", "東京都");
  Ime("ちよだく", "千代田区");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区"));
  // the city has two codes: they are offered beside the field, which keeps the caret
  ASSERT_NE(address->PickList(), nullptr);
  EXPECT_TRUE(address->PickList()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), memo);
  // halfway through a composition nothing is looked up, nothing is written
  QInputMethodEvent half(QStringLiteral("ちよだ"), {});
  QApplication::sendEvent(memo, &half);
  QApplication::processEvents();
  EXPECT_EQ(postal->text(), QString());
  Ime("ちよだ", "千代田");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田"));
  // one town: its code fills the empty code field, and the caret stays in the address
  EXPECT_EQ(postal->text(), QStringLiteral("100-0001"));
  EXPECT_EQ(QApplication::focusWidget(), memo);
  EXPECT_FALSE(address->PickList()->isVisible());
  // the block number and a second line follow; Return is a new line, not a choice of town
  QTest::keyClicks(memo, QStringLiteral("1-1"));
  f.Key(memo, Qt::Key_Return);
  Ime("びる", "ビル");
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区千代田1-1\nビル"));
  EXPECT_EQ(postal->text(), QStringLiteral("100-0001"));
  EXPECT_EQ(U8L(f.Book().Persons(0)->Address().Lines()), (std::vector<std::string>{"東京都千代田区千代田1-1", "ビル"}));
}

TEST(WindowUse, CandidatesOfferedWhileTypingAreChosenWithDownOrAClick) {
  TSmallDictionary dictionary;
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  TEditAddress* address = f.Pane().EditAddress();
  QLineEdit* postal = address->EditPostal();
  QPlainTextEdit* memo = address->MemoAddress();
  f.ClearAddress();
  memo->setFocus();
  Ime("とうきょうとちよだく", "東京都千代田区");
  QListWidget* pick = address->PickList();
  ASSERT_TRUE(pick && pick->isVisible());
  // the waiting codes lie below the address, not over the lines being typed
  QWidget* host = pick->parentWidget();
  EXPECT_GE(pick->geometry().top(), memo->mapTo(host, QPoint(0, memo->height())).y());
  EXPECT_EQ(pick->item(0)->text().left(9), QStringLiteral("100-0001 "));
  // Escape puts the offer away, typing brings it back
  f.Key(memo, Qt::Key_Escape);
  EXPECT_FALSE(pick->isVisible());
  f.Key(memo, Qt::Key_Space);
  f.Key(memo, Qt::Key_Backspace);
  ASSERT_TRUE(pick->isVisible());
  // Down from the last line enters the list, Enter picks
  f.Key(memo, Qt::Key_Down);
  ASSERT_EQ(QApplication::focusWidget(), pick);
  f.Key(pick, Qt::Key_Down);
  f.Key(pick, Qt::Key_Return);
  EXPECT_EQ(postal->text(), QStringLiteral("100-0002"));
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("東京都千代田区皇居外苑"));
  // a code with two towns, typed: the towns wait below the address until one is clicked
  f.ClearAddress();
  postal->setFocus();
  QTest::keyClicks(postal, QStringLiteral("0720819"));
  QApplication::processEvents();
  ASSERT_TRUE(pick->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), postal);
  QTest::mouseClick(pick->viewport(), Qt::LeftButton, Qt::NoModifier, pick->visualItemRect(pick->item(1)).center());
  QApplication::processEvents();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("北海道美唄市共練町西"));
  EXPECT_FALSE(pick->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), memo);
  // leaving the address puts a waiting offer away
  f.ClearAddress();
  memo->setFocus();
  Ime("とうきょうとちよだく", "東京都千代田区");
  ASSERT_TRUE(pick->isVisible());
  f.Pane().EditUrl()->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(pick->isVisible());
}

TEST(WindowUse, AHiddenTabIsChosenFromTheOverflowSelectorWithClicks) {
  TWindowFixture f;
  f.Open(600, 600);
  TCoolTabSet* tabs = f.w->TabSet();
  tabs->setFixedWidth(260);  // as on a narrow screen: the last tabs do not fit
  QApplication::processEvents();
  ASSERT_TRUE(tabs->Model().OverflowShown());
  QRect button = tabs->OverflowButtonRect();
  int changes = 0;
  auto before = tabs->Model().OnTabChanged;
  tabs->Model().OnTabChanged = [&] {
    ++changes;
    before();
  };
  // press and release on the button: the release that ends the opening click leaves it open
  // (through the window system, which hands the release to the pop-up that opened meanwhile)
  QWindow* window = f.w->windowHandle();
  QPoint onButton = tabs->mapTo(f.w.get(), button.center());
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, onButton);
  TSelecter* selector = tabs->Selector();
  ASSERT_NE(selector, nullptr);
  ASSERT_TRUE(selector->isVisible());
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, onButton);
  QApplication::processEvents();
  ASSERT_TRUE(selector->isVisible());
  // a click on the last item chooses 検索
  int last = static_cast<int>(tabs->Model().HiddenTabs().size()) - 1;
  QPoint at(20, last * (selector->ListSize().height() / (last + 1)) + 4);
  QTest::mouseMove(selector, at);
  QTest::mouseClick(selector, Qt::LeftButton, Qt::NoModifier, at);
  QApplication::processEvents();
  EXPECT_FALSE(selector->isVisible());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tabs->TabIndex(), f.w->Controller().FindTab());
  EXPECT_EQ(f.w->Controller().TabIndex(), f.w->Controller().FindTab());
  EXPECT_TRUE(f.w->ListWidget()->FindPanelShown());
  // a click outside closes it without a choice
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, onButton);
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, onButton);
  ASSERT_TRUE(selector->isVisible());
  QTest::mouseClick(selector, Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
  QApplication::processEvents();
  EXPECT_FALSE(selector->isVisible());
  EXPECT_EQ(changes, 1);
}

TEST(WindowUse, ThePersonChooserShowsReadableTabsAndGivesTheChosenName) {
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  QAction* add = nullptr;
  for (QMenu* m : f.Pane().findChildren<QMenu*>())
    for (QAction* a : m->actions())
      if (a->text() == QStringLiteral("関連先の追加")) add = a;
  ASSERT_NE(add, nullptr);
  std::vector<int> narrow;
  std::string chosen;
  AnswerNextDialog([&](QDialog* relation) {
    QPushButton* choose = nullptr;
    for (QPushButton* b : relation->findChildren<QPushButton*>())
      if (b->text().startsWith(QStringLiteral("参照"))) choose = b;
    ASSERT_NE(choose, nullptr);
    AnswerNextDialog([&](QDialog* chooser) {
      auto* bar = chooser->findChild<QTabBar*>();
      ASSERT_NE(bar, nullptr);
      ASSERT_EQ(bar->count(), 12);
      for (int i = 0; i < bar->count(); ++i) {
        // every tab is wide enough for its text and the style's margins, inside the dialog
        QRect r = bar->tabRect(i);
        int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i)) + bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        if (r.width() < needed || r.right() > bar->width()) narrow.push_back(i);
      }
      chooser->grab().save(QString::fromStdString(std::string(KAEDE_BINARY_DIR) + "/screenshots/person-chooser.png"));
      QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(8).center());  // や
      auto* list = chooser->findChild<QListView*>();
      ASSERT_NE(list, nullptr);
      ASSERT_GT(list->model()->rowCount(), 0);
      chosen = list->model()->index(0, 0).data().toString().toStdString();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->model()->index(0, 0)).center());
      chooser->accept();
    });
    choose->click();
    relation->accept();
  });
  add->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(narrow.empty()) << "narrow tabs: " << narrow.size();
  EXPECT_EQ(chosen.rfind("山田", 0), 0u) << chosen;
  const TStrings& relations = f.Book().Persons(0)->Relations().Lines();
  ASSERT_FALSE(relations.empty());
  EXPECT_NE(SjisToUtf8(relations.back()).find(chosen), std::string::npos);
}

TEST(WindowUse, UndoAfterClearingANameBringsBackTheNameAndTheReading) {
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  std::string name = f.RowName(0);
  std::string yomi = SjisToUtf8(f.Book().Persons(0)->Yomi());
  QLineEdit* edit = f.Pane().EditName();
  edit->setFocus();
  f.Key(edit, Qt::Key_A, Qt::ControlModifier);
  f.Key(edit, Qt::Key_Delete);
  EXPECT_EQ(f.Pane().EditYomi()->text(), QString());  // clearing the name clears the reading
  // Ctrl+Z in the name field is the book's undo: the entry comes back whole
  f.Key(edit, Qt::Key_Z, Qt::ControlModifier);
  TPerson* p = nullptr;
  for (int i = 0; i < f.Book().Count(); ++i)
    if (SjisToUtf8(f.Book().Persons(i)->Name()) == name) p = f.Book().Persons(i);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(SjisToUtf8(p->Yomi()), yomi);
  EXPECT_EQ(f.Pane().EditName()->text().toStdString(), name);
  EXPECT_EQ(f.Pane().EditYomi()->text().toStdString(), yomi);
  // and Ctrl+Y does it again, from any field
  f.Key(f.Pane().MemoRemark(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(f.Book().AllCount(), 20);
  bool cleared = false;
  for (int i = 0; i < f.Book().Count(); ++i) cleared = cleared || f.Book().Persons(i)->Name().empty();
  EXPECT_TRUE(cleared);
  // the 編集 menu shows both keys
  EXPECT_EQ(f.Action("ActionUndo")->shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(f.Action("ActionRedo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
}

TEST(WindowUse, TwoLinesPastedIntoTheNameBecomeOneLineAndTheBookKeepsItsEntries) {
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  QLineEdit* edit = f.Pane().EditName();
  edit->setFocus();
  f.Key(edit, Qt::Key_A, Qt::ControlModifier);
  QApplication::clipboard()->setText(QStringLiteral("貼付\r\n太郎\n様"));
  f.Key(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("貼付 太郎 様"));
  // typing goes on where the paste ended
  QTest::keyClicks(edit, QStringLiteral("x"));
  EXPECT_EQ(edit->text(), QStringLiteral("貼付 太郎 様x"));
  f.w->SaveNow();
  TPersonList again;
  again.Open(f.Book("住所録"), false);
  EXPECT_EQ(again.AllCount(), 20);
  bool found = false;
  for (int i = 0; i < again.AllCount(); ++i) found = found || again.AllPersons(i)->Name() == SJ("貼付 太郎 様x");
  EXPECT_TRUE(found);
}

TEST(WindowUse, AnEditIsWrittenAfterAPauseAndWhenTheSessionEnds) {
  TWindowFixture f;
  f.Open();
  f.w->SetIdleSaveDelay(30);
  f.ClickRow(0);
  QLineEdit* url = f.Pane().EditUrl();
  url->setFocus();
  QApplication::processEvents();  // entering the field selects its text
  QTest::keyClicks(url, QStringLiteral("https://pause.example"));
  // still in the entry: after a pause the book is on disk
  QTest::qWait(120);
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find("https://pause.example"), std::string::npos);
  // a termination signal saves the edit in progress, closes the window and asks to quit
  f.w->SetIdleSaveDelay(60000);
  QTest::keyClicks(url, QStringLiteral("/term"));
  int quits = 0;
  f.w->OnQuitRequested = [&] { ++quits; };
  ::raise(SIGTERM);
  QTest::qWait(50);
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find("https://pause.example/term"), std::string::npos);
  EXPECT_FALSE(f.w->isVisible());
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(f.options->StartFile(), SJ("住所録.kad"));
}

// The session ends while the first start asks for the new book's name: the question is
// answered as cancelled and the program is asked to quit, instead of waiting on the question
// until the session kills it.
TEST(WindowUse, ATerminationDuringTheFirstStartsQuestionEndsTheQuestion) {
  TWindowFixture f(false);
  f.w = std::make_unique<TKaedeAddressMain>(*f.options);
  int quits = 0;
  f.w->OnQuitRequested = [&] { ++quits; };
  bool stuck = false;
  AnswerNextDialog([&stuck](QDialog* d) {
    ::raise(SIGTERM);
    QPointer<QDialog> dialog(d);
    QTimer::singleShot(3000, [dialog, &stuck] {
      if (dialog && dialog->isVisible()) stuck = true, dialog->reject();
    });
  });
  f.w->Start();
  EXPECT_FALSE(stuck);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(WindowUse, TheSessionManagersRequestSavesWithoutClosing) {
  TWindowFixture f;
  f.Open();
  f.w->SetIdleSaveDelay(60000);
  f.ClickRow(1);
  QTest::keyClicks(f.Pane().EditUrl(), QStringLiteral("x"));
  f.w->SaveNow();
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find(f.Pane().EditUrl()->text().toStdString()), std::string::npos);
  EXPECT_TRUE(f.w->isVisible());
  EXPECT_FALSE(f.Pane().Editor().Edited());
  // SIGHUP (the terminal went) is handled like SIGTERM
  int quits = 0;
  f.w->OnQuitRequested = [&] { ++quits; };
  ::raise(SIGHUP);
  QTest::qWait(50);
  EXPECT_EQ(quits, 1);
}

TEST(WindowUse, AStoredSizeLargerThanTheScreenComesBackOnTheScreen) {
  TWindowFixture f;
  f.options->SetFormState(FormStateToText(TFormState{3000, 2500, 5000, 4000, 0}));
  f.Open(0, 0);
  QApplication::processEvents();
  QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QRect frame = f.w->frameGeometry();
  EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
}

TEST(WindowUse, FittingAStoredRectangleOnAScreen) {
  QRect area(0, 0, 1024, 700);
  QSize min(300, 200);
  // a rectangle that fits stays as it is
  EXPECT_EQ(FitRect(QRect(10, 20, 800, 500), area, min), QRect(10, 20, 800, 500));
  // too large: as large as the area, at its corner
  EXPECT_EQ(FitRect(QRect(-50, -80, 1600, 1000), area, min), QRect(0, 0, 1024, 700));
  // partly off the right and bottom edges: moved in, size kept
  EXPECT_EQ(FitRect(QRect(900, 600, 400, 300), area, min), QRect(624, 400, 400, 300));
  // on a screen that is gone (far away): on this one
  EXPECT_EQ(FitRect(QRect(-3000, 5000, 400, 300), area, min), QRect(0, 400, 400, 300));
  // below the minimum size it grows, unless the area itself is smaller
  EXPECT_EQ(FitRect(QRect(0, 0, 50, 50), area, min), QRect(0, 0, 300, 200));
  EXPECT_EQ(FitRect(QRect(0, 0, 50, 50), QRect(100, 100, 200, 150), min), QRect(100, 100, 200, 150));
  // an area offset from the origin (a second screen, a panel on the left)
  EXPECT_EQ(FitRect(QRect(0, 0, 400, 300), QRect(1024, 30, 1280, 994), min), QRect(1024, 30, 400, 300));
}

namespace {
void AnswerInput(const char* text, bool ok = true) {
  AnswerNextDialog([text, ok](QDialog* d) {
    if (auto* edit = d->findChild<QLineEdit*>()) edit->setText(QString::fromUtf8(text));
    ok ? d->accept() : d->reject();
  });
}
QAction* Entry(QMenu* menu, const char* caption) {
  for (QAction* a : menu->actions())
    if (a->text() == QString::fromUtf8(caption)) return a;
  return nullptr;
}
}  // namespace

TEST(WindowUse, ARenamedBookIsListedOnceUnderItsNewName) {
  TWindowFixture f;
  WriteFileAtomic(f.Book("仕事"), Utf8ToSjis("w,w\r\n"));
  f.Open();
  QMenu* books = f.Menu(QStringLiteral("住所録(&A)"), QStringLiteral("住所録の切替(&C)"));
  ASSERT_NE(books, nullptr);
  AnswerInput("家族");
  f.Trigger("ActionRenameAddress");
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address - 家族"));
  QStringList listed = TWindowFixture::Captions(books);
  listed.sort();
  EXPECT_EQ(listed, (QStringList{QStringLiteral("仕事"), QStringLiteral("家族")}));
  EXPECT_FALSE(FileExists(f.Book("住所録")));
  EXPECT_TRUE(std::filesystem::exists(f.data.Path() + "/share/Trash/files/住所録.kad"));  // restorable
  std::string content = ReadFileBytes(f.Book("家族"));
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 20);
}

TEST(WindowUse, AfterDeletingTheOpenBookNothingRecreatesIt) {
  TWindowFixture f;
  WriteFileAtomic(f.Book("仕事"), Utf8ToSjis("w,w\r\n"));
  f.Open();
  QMenu* deletes = f.Menu(QStringLiteral("住所録(&A)"), QStringLiteral("住所録の削除(&D)..."));
  ASSERT_NE(deletes, nullptr);
  f.host.ConfirmAnswer = true;
  Entry(deletes, "住所録")->trigger();
  QApplication::processEvents();
  // the other book of the folder is open now
  EXPECT_FALSE(FileExists(f.Book("住所録")));
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address - 仕事"));
  EXPECT_EQ(f.Book().AllCount(), 1);
  // deleting the last book leaves no book open: nothing can be added to a deleted file
  Entry(deletes, "仕事")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address"));
  EXPECT_FALSE(f.Action("ActionAdd")->isEnabled());
  EXPECT_FALSE(f.InsertAsks());
  f.w->close();
  EXPECT_FALSE(FileExists(f.Book("住所録")));
  EXPECT_FALSE(FileExists(f.Book("仕事")));
  // a new book takes entries again
  f.w->show();
  AnswerInput("新規");
  f.Trigger("ActionNewAddress");
  EXPECT_TRUE(f.Action("ActionAdd")->isEnabled());
}

TEST(WindowUse, ChangingTheDataFolderStartsFromTheFolderInUseAndKeepsTheBooksOfThisRun) {
  TWindowFixture f;
  WriteFileAtomic(f.Book("仕事"), Utf8ToSjis("w,w\r\n"));
  f.host.MakeChooser = [] { return std::make_unique<TDataPathDialog>(); };
  f.Open();
  std::string offered;
  std::string other = f.data.Path() + "/elsewhere";
  AnswerNextDialog([&](QDialog* d) {
    auto* edit = d->findChild<QLineEdit*>();
    offered = edit->text().toStdString();
    edit->setText(QString::fromStdString(other));
    d->accept();
  });
  f.Trigger("ActionChnageDataFolder");
  EXPECT_EQ(offered, f.data.Path() + "/books");
  EXPECT_EQ(f.options->DataPath(), Utf8ToSjis(other + "/"));
  ASSERT_FALSE(f.host.Infos.empty());
  EXPECT_EQ(f.host.Infos.back(), "変更したフォルダは次回起動時から反映されます");
  // until the next start the books of this run stay listed, and switching works
  QMenu* books = f.Menu(QStringLiteral("住所録(&A)"), QStringLiteral("住所録の切替(&C)"));
  QAction* work = Entry(books, "仕事");
  ASSERT_NE(work, nullptr);
  work->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(f.host.Errors.empty()) << (f.host.Errors.empty() ? "" : f.host.Errors[0]);
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address - 仕事"));
}

TEST(WindowUse, ExportWithoutColumnsWritesNothingAndSaysSo) {
  TWindowFixture f;
  f.Open();
  std::string file = f.data.Path() + "/out.csv";
  int oks = 0;
  std::function<void(QDialog*)> answer = [&](QDialog* d) {
    auto* dlg = qobject_cast<TCsvExportDialog*>(d);
    ASSERT_NE(dlg, nullptr);
    dlg->FileNameForTesting = Utf8ToSjis(file);
    QAbstractButton* ok = nullptr;
    for (QAbstractButton* b : d->findChild<QDialogButtonBox*>()->buttons())
      if (b->text() == QStringLiteral("OK")) ok = b;
    ASSERT_NE(ok, nullptr);
    ok->click();  // no column chosen yet
    ++oks;
    EXPECT_TRUE(d->isVisible());
    for (QPushButton* b : d->findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("項目全追加")) b->click();
    ok->click();
  };
  AnswerNextDialog(answer);
  f.Trigger("ActionExprot");
  EXPECT_EQ(oks, 1);
  ASSERT_EQ(f.host.Errors.size(), 1u);
  EXPECT_EQ(f.host.Errors[0], "エクスポートする項目を選んでください");
  // with the columns chosen the file holds the header and the twenty entries
  ASSERT_TRUE(FileExists(Utf8ToSjis(file)));
  std::string content = ReadFileBytes(Utf8ToSjis(file));
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 21);
  EXPECT_EQ(f.host.Infos.back(), "20件エクスポートしました");
}

TEST(WindowUse, FormatUnificationIsOneStepThatUndoTakesBack) {
  TWindowFixture f;
  f.Open();
  auto entries = [&] {
    std::vector<std::string> r;
    for (int i = 0; i < f.Book().AllCount(); ++i) r.push_back(f.Book().AllPersons(i)->GetText());
    std::sort(r.begin(), r.end());
    return r;
  };
  std::vector<std::string> before = entries();
  auto companies = [&] {
    int n = 0;
    for (int i = 0; i < f.Book().AllCount(); ++i) n += SjisToUtf8(f.Book().AllPersons(i)->Name()).find("株式会社") != std::string::npos;
    return n;
  };
  ASSERT_GT(companies(), 0);
  AnswerNextDialog([](QDialog* d) { d->accept(); });  // all six switches, as the dialog opens
  f.Trigger("ActionFormatUnify");
  EXPECT_EQ(companies(), 0);  // 株式会社 became ㈱
  f.List()->setFocus();
  f.Key(f.List(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_GT(companies(), 0);
  EXPECT_FALSE(f.Action("ActionUndo")->isEnabled());  // the whole unification was one step
  EXPECT_TRUE(entries() == before);
}

TEST(WindowUse, ANewTelephoneLineStartsWithTheFirstKind) {
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  QAction* add = nullptr;
  for (QMenu* m : f.Pane().findChildren<QMenu*>())
    for (QAction* a : m->actions())
      if (a->text() == QStringLiteral("電話番号の追加")) add = a;
  ASSERT_NE(add, nullptr);
  QString kind;
  AnswerNextDialog([&](QDialog* d) {
    auto* combo = d->findChild<QComboBox*>();
    kind = combo->currentText();
    d->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLineEdit* e : d->findChildren<QLineEdit*>())
      if (e->parent() == d) e->setText(QStringLiteral("03-0000-1111"));
    d->accept();
  });
  add->trigger();
  QApplication::processEvents();
  EXPECT_EQ(kind, QStringLiteral("自宅"));
  EXPECT_EQ(SjisToUtf8(f.Book().Persons(0)->Tels().Lines().back()), "自宅:03-0000-1111");
}

TEST(WindowUse, QtsOwnDialogsSpeakJapaneseAndTitlesNameTheProductOnce) {
  SetUpApplicationNames();
  // the window system appends a display name to every title: none is set
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  ASSERT_TRUE(LoadQtTranslations(*qApp)) << "Qt's Japanese translations (qt6-translations-l10n) are missing";
  QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
  QFileDialog files(nullptr, QString(), QString());
  files.setOption(QFileDialog::DontUseNativeDialog);
  QStringList labels;
  for (QLabel* l : files.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.join(' ').contains(QStringLiteral("ファイル"))) << labels.join('|').toStdString();
  TWindowFixture f;
  f.Open();
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address - 住所録"));
}

TEST(WindowUse, FindingByTheReadingInHiraganaKatakanaOrHalfWidthKana) {
  TWindowFixture f;
  f.Open();
  f.Trigger("ActionFind");
  QLineEdit* find = f.w->ListWidget()->FindEdit();
  ASSERT_TRUE(find->isVisible());
  for (const char* option : {"ActionFindName", "ActionFindAll"}) {
    f.Trigger(option);
    for (const char* text : {"やまだ", "ヤマダ", "ﾔﾏﾀﾞ"}) {
      SCOPED_TRACE(std::string(option) + " " + text);
      find->clear();
      TypeText(find, QString::fromUtf8(text));
      ASSERT_EQ(f.Book().Count(), 2);  // 山田 太郎 and 山田 花子
      EXPECT_EQ(f.RowName(0).rfind("山田", 0), 0u);
      EXPECT_EQ(f.RowName(1).rfind("山田", 0), 0u);
    }
  }
}

TEST(WindowUse, TheCodeIsShownWithAHyphenTypedDirectlyAndStoredAsTheBookKeepsIt) {
  TSmallDictionary dictionary;
  TWindowFixture f;
  f.Open();
  f.ClickRow(0);
  std::string stored = f.Book().Persons(0)->Postal();
  ASSERT_EQ(stored.size(), 7u);
  QLineEdit* postal = f.Pane().EditAddress()->EditPostal();
  EXPECT_EQ(postal->text().toStdString(), stored.substr(0, 3) + "-" + stored.substr(3));
  // the code field takes keys directly; the address goes through the input method
  postal->setFocus();
  QInputMethodQueryEvent query(Qt::ImEnabled);
  QApplication::sendEvent(QGuiApplication::focusObject(), &query);
  EXPECT_FALSE(query.value(Qt::ImEnabled).toBool());
  f.Pane().EditAddress()->MemoAddress()->setFocus();
  QInputMethodQueryEvent memoQuery(Qt::ImEnabled);
  QApplication::sendEvent(QGuiApplication::focusObject(), &memoQuery);
  EXPECT_TRUE(memoQuery.value(Qt::ImEnabled).toBool());
  // a code typed without its hyphen is stored as seven digits and shown with the hyphen
  f.ClearAddress();
  postal->setFocus();
  QTest::keyClicks(postal, QStringLiteral("1000002"));
  f.Pane().EditUrl()->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(postal->text(), QStringLiteral("100-0002"));
  EXPECT_EQ(f.Book().Persons(0)->Postal(), "1000002");
  f.w->close();
  EXPECT_NE(ReadFileBytes(f.Book("住所録")).find(",1000002,"), std::string::npos);
}

TEST(WindowUse, ADataFolderOnTheCommandLineIsTheFolderOfThisRun) {
  TWindowFixture f;
  WriteFileAtomic(f.Book("仕事"), Utf8ToSjis("w,w\r\n"));
  // settings of an earlier run name the sample's folder ...
  f.options->SetDataPath(Utf8ToSjis(f.data.Path() + "/books"));
  // ... and this run is started with another one
  std::string other = f.data.Path() + "/other";
  std::filesystem::create_directories(other);
  WriteFileAtomic(Utf8ToSjis(other + "/家族.kad"), Utf8ToSjis("k,k\r\n"));
  TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(other)});
  f.Open();
  EXPECT_EQ(f.w->windowTitle(), QStringLiteral("Kaede Address - 家族"));
  QMenu* books = f.Menu(QStringLiteral("住所録(&A)"), QStringLiteral("住所録の切替(&C)"));
  EXPECT_EQ(TWindowFixture::Captions(books), QStringList{QStringLiteral("家族")});
}
