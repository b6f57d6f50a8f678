#pragma once
// The address book window as a person uses it: a data folder with the sample book (or none),
// the real window, and helpers that click, type and answer the modal boxes it opens.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "DataListFrames.h"
#include "EditAddresses.h"
#include "KaedeAddressMains.h"
#include "PersonFrames.h"
#include "ui/EntryFakes.h"

namespace kaede::test {

// The sample book as the build makes it for the program folder.
inline std::string SampleBookFile() { return std::string(KAEDE_BINARY_DIR) + "/bin/住所録.kad"; }

// Answers that were never needed are dropped when this changes (at the end of each test).
inline int& AnswerGeneration() {
  static int generation = 0;
  return generation;
}

// Runs the answer on the next modal dialog (or message box) that opens within the tries (10 ms
// apart), while the code under test waits in its exec(). The answer usually fills a field and
// accepts or rejects.
inline void AnswerNextDialog(std::function<void(QDialog*)> answer, int triesLeft = 200) {
  int generation = AnswerGeneration();
  QTimer::singleShot(10, qApp, [answer, triesLeft, generation] {
    if (generation != AnswerGeneration()) return;
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      answer(d);
      return;
    }
    if (triesLeft > 0) AnswerNextDialog(answer, triesLeft - 1);
  });
}
inline void DropPendingAnswers() { ++AnswerGeneration(); }

// Types text into the focused widget as an input method does: the kana as composition text,
// one preedit event per character, then the commit of the converted text.
inline void ComposeAndCommit(QWidget* target, const QString& kana, const QString& commit) {
  for (int i = 1; i <= kana.size(); ++i) {
    QInputMethodEvent preedit(kana.left(i), {});
    QApplication::sendEvent(target, &preedit);
  }
  QInputMethodEvent done;
  done.setCommitString(commit);
  QApplication::sendEvent(target, &done);
}

// Types text that has no key of its own (kana typed in direct input): one key event with the
// character's text for each character.
inline void TypeText(QWidget* target, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &release);
  }
  QApplication::processEvents();
}

class TWindowFixture {
public:
  ConfigHome home;
  TempDir data;
  TRecordingHost host;
  TKaedeAddressOption* options = nullptr;
  std::unique_ptr<TKaedeAddressMain> w;

  explicit TWindowFixture(bool sampleBook = true) {
    ::setenv("XDG_DATA_HOME", (data.Path() + "/share").c_str(), 1);
    std::filesystem::create_directories(data.Path() + "/books");
    if (sampleBook) std::filesystem::copy_file(SampleBookFile(), data.Path() + "/books/住所録.kad");
    TAppOption::SetProgramArguments({"/D" + Utf8ToSjis(data.Path() + "/books")});
    options = TDataItem::Make<TKaedeAddressOption>();
  }
  ~TWindowFixture() {
    DropPendingAnswers();
    if (w) w->close();
    w.reset();
    options->Free();
    TAppOption::SetProgramArguments({});
    ::unsetenv("XDG_DATA_HOME");
  }
  // The book file of a name (UTF-8) in the data folder, as a CP932 path.
  std::string Book(const char* utf8Name) const { return Utf8ToSjis(data.Path() + "/books/" + utf8Name + ".kad"); }

  void Open(int width = 1000, int height = 700) {
    w = std::make_unique<TKaedeAddressMain>(*options);
    if (width > 0) w->resize(width, height);  // 0: as the window restores itself
    w->Start();
    w->show();
    QApplication::setActiveWindow(w.get());
    QApplication::processEvents();
  }
  TPersonFrame& Pane() { return *w->PersonFrame(); }
  QListView* List() { return w->ListWidget()->ListView(); }
  QAction* Action(const char* name) { return w->Action(name); }
  TPersonList& Book() { return w->Controller().Book(); }
  std::string PaneName() { return Pane().EditName()->text().toStdString(); }
  std::string RowName(int row) { return SjisToUtf8(Book().Persons(row)->Name()); }

  // A left click on a row of the entry list, as the mouse gives it.
  void ClickRow(int row) {
    QRect r = List()->visualRect(List()->model()->index(row, 0));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QApplication::processEvents();
  }
  // Whether Ins on the entry list asks for a new entry (the question is turned down).
  bool InsertAsks() {
    bool asked = false;
    AnswerNextDialog([&asked](QDialog* d) {
      asked = true;
      d->reject();
    });
    QTest::keyClick(List(), Qt::Key_Insert);
    QTest::qWait(50);
    DropPendingAnswers();
    return asked;
  }
  // A menu of the menu bar, or a submenu of it, by its captions ("住所録(&A)", "住所録の切替(&C)").
  QMenu* Menu(const QString& top, const QString& sub = QString()) {
    QMenu* found = nullptr;
    for (QAction* a : w->menuBar()->actions())
      if (a->text() == top) found = a->menu();
    if (!found || sub.isEmpty()) return found;
    for (QAction* a : found->actions())
      if (a->text() == sub) return a->menu();
    return nullptr;
  }
  static QStringList Captions(QMenu* menu) {
    QStringList r;
    if (menu)
      for (QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) r << a->text();
    return r;
  }
  // Empties the address and the code of the entry in the pane, with the keys.
  void ClearAddress() {
    QWidget* memo = Pane().EditAddress()->MemoAddress();
    QWidget* postal = Pane().EditAddress()->EditPostal();
    for (QWidget* field : {memo, postal}) {
      field->setFocus();
      Key(field, Qt::Key_A, Qt::ControlModifier);
      Key(field, Qt::Key_Delete);
    }
  }
  void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    // the window system gives the window back its activation when a dialog closes; the
    // offscreen platform does not
    if (QApplication::activeWindow() != target->window()) {
      QApplication::setActiveWindow(target->window());
      target->setFocus();
    }
    QTest::keyClick(target, key, mods);
    QApplication::processEvents();
  }
  void Trigger(const char* action) {
    QAction* a = Action(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->isEnabled()) << action;
    a->trigger();
    QApplication::processEvents();
  }
};

}  // namespace kaede::test
