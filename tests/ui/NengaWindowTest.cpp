// New Year cards in the real window: the cards still to send chosen, printed to PDF and
// marked 送 (one undo takes them all back), the cards that came recorded with 受取入力 from the
// keyboard, and a mark ticked in the pane's grid, each checked in the book file written.
#include <QComboBox>
#include <QListWidget>
#include <QSpinBox>
#include <QPushButton>
#include <QTableWidget>
#include <map>

#include "Files.h"
#include "MessageStatusBars.h"
#include "NengaBars.h"
#include "NengaBooks.h"
#include "NengaMarks.h"
#include "NengaMarksEdits.h"
#include "NengaReceiveDialogs.h"
#include "PrintAreas.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "SheetPrinters.h"
#include "WindowFixture.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// Name -> marks of the book file as it is on disk, in UTF-8.
std::map<std::string, std::string> MarksOnDisk(const std::string& file) {
  std::map<std::string, std::string> m;
  for (const auto& [name, marks] : MarksOfBookFile(file)) m[SjisToUtf8(name)] = SjisToUtf8(marks);
  return m;
}

}  // namespace

TEST(NengaWindow, PrintTheCardsToSendMarkThemAndRecordTheCardsThatCame) {
  TWindowFixture f(false);
  const std::string file = f.Book("住所録");
  WriteFileAtomic(file, Utf8ToSjis("青木,あおき\r\n伊藤,いとう,,,,,,,,年賀状:2027=喪\r\n上田,うえだ,,,,,,,,年賀状:2026=止\r\n"
                                   "江川,えがわ\r\n太田,おおた\r\n\"加藤 一郎\",\"かとう いちろう\"\r\n"
                                   "\"加藤 花子\",\"かとう はなこ\"\r\n木村,きむら,,,,,,,,年賀状:2027=寒\r\n"
                                   "佐々木,ささき,,,,,,,,\"年賀状:2025=送,2026=送受\"\r\n"));
  auto* pdf = new TPdfPrinterBackend();
  InstallQtDrawing();
  SheetPrinter().SetBackend(std::unique_ptr<TPrinterBackend>(pdf));
  f.Open();
  TKaedeAddressMain& w = *f.w;

  // 未送付 of 2027 narrows the 全 tab: mourning, stopped and winter greeting are left out
  w.NengaBar()->YearBox()->setValue(2027);
  w.NengaBar()->FilterBox()->setCurrentIndex(nfUnsent);
  QApplication::processEvents();
  ASSERT_EQ(f.Book().Count(), 6);
  EXPECT_NE(w.NengaBar()->Summary().find(SJ("未送付 6 送 0")), std::string::npos);

  // print them all to the PDF printer and accept the offer
  f.Trigger("ActionPreview");
  const std::string out = f.data.Path() + "/cards.pdf";
  w.PrintArea()->RunPrintDialog = [&](const TPrintRange& range, TPrintChoice& choice) {
    choice.ToFile = true;
    choice.FileName = Utf8ToSjis(out);
    choice.From = range.Min;
    choice.To = range.Max;
    return true;
  };
  // with the customer barcode on, the cards without a postal code are named after the print
  auto& shown = static_cast<TPostStyle&>(w.PrintArea()->PostPreview()->Control().Style());
  shown.SetPost(&TPostValues::Barcode, true);
  f.host.ConfirmAnswer = true;
  f.Trigger("ActionPrint");
  ASSERT_FALSE(f.host.Infos.empty());
  EXPECT_NE(f.host.Infos.back().find("6件の宛名はカスタマバーコードを付けずに印刷しました。\n青木：郵便番号がありません"),
            std::string::npos) << f.host.Infos.back();
  ASSERT_FALSE(f.host.Confirms.empty());
  EXPECT_NE(f.host.Confirms.back().find("6件を印刷しました。2027年の年賀状を「送」にしますか？"), std::string::npos);
  std::map<std::string, std::string> marks = MarksOnDisk(file);
  for (const char* name : {"青木", "江川", "太田", "加藤 一郎", "加藤 花子"}) EXPECT_EQ(marks[name], "2027=送") << name;
  EXPECT_EQ(marks["佐々木"], "2025=送,2026=送受,2027=送");
  EXPECT_EQ(marks["伊藤"], "2027=喪");
  EXPECT_EQ(marks.size(), 9u);
  // the list follows: nothing is left to send, a second print would give no card twice
  EXPECT_EQ(f.Book().Count(), 0);

  // one undo takes all six back, into the list as well
  f.Trigger("ActionUndo");
  w.SaveNow();
  marks = MarksOnDisk(file);
  EXPECT_EQ(marks.size(), 4u);
  EXPECT_EQ(marks["佐々木"], "2025=送,2026=送受");
  EXPECT_EQ(f.Book().Count(), 6);

  // 送 ticked in the pane's grid: the entry stays under the pointer until another is chosen
  f.ClickRow(0);
  const std::string sent = f.PaneName(), next = f.RowName(1);
  {
    QTableWidget* grid = w.NengaEdit()->Grid();
    grid->item(w.NengaEdit()->RowOfYear(2027), TNengaMarksEdit::ColumnOfMark(nmSent))->setCheckState(Qt::Checked);
    QApplication::processEvents();
  }
  EXPECT_EQ(f.Book().Count(), 6);
  EXPECT_EQ(f.PaneName(), sent);
  f.ClickRow(1);
  QApplication::processEvents();
  EXPECT_EQ(f.Book().Count(), 5);
  EXPECT_EQ(f.RowName(0), next);
  EXPECT_EQ(f.PaneName(), next);  // the entry clicked, not the one that took its row
  f.Trigger("ActionUndo");
  EXPECT_EQ(f.Book().Count(), 6);

  // 受取入力 of five cards from the keyboard: readings and names, one pick among two 加藤
  w.NengaBar()->FilterBox()->setCurrentIndex(nfNone);
  w.RunReceiveDialog = [&](TNengaReceiveDialog& d) {
    d.show();
    QApplication::setActiveWindow(&d);
    for (const char* typed : {"あおき", "江川", "おおた", "ささき"}) {
      TypeText(d.Edit(), QString::fromUtf8(typed));
      QTest::keyClick(d.Edit(), Qt::Key_Return);
      EXPECT_TRUE(d.Edit()->text().isEmpty()) << typed;
    }
    TypeText(d.Edit(), QString::fromUtf8("かとう"));
    QTest::keyClick(d.Edit(), Qt::Key_Return);
    ASSERT_EQ(d.Choices()->count(), 2);
    QTest::keyClick(d.Edit(), Qt::Key_Down);
    QTest::keyClick(d.Choices(), Qt::Key_Down);
    QTest::keyClick(d.Choices(), Qt::Key_Return);
    EXPECT_EQ(d.Marked(), 5);
    // a card from someone not in the book: a new entry, registered and updated today
    TypeText(d.Edit(), QString::fromUtf8("新井 一"));
    QTest::keyClick(d.Edit(), Qt::Key_Return);
    d.AddButton()->click();
    EXPECT_EQ(d.Marked(), 6);
    d.accept();
  };
  w.NengaBar()->ReceiveButton()->click();
  QApplication::processEvents();
  marks = MarksOnDisk(file);
  for (const char* name : {"青木", "江川", "太田", "加藤 花子"}) EXPECT_EQ(marks[name], "2027=受") << name;
  EXPECT_EQ(marks["佐々木"], "2025=送,2026=送受,2027=受");
  EXPECT_EQ(marks.count("加藤 一郎"), 0u);
  EXPECT_EQ(marks["新井 一"], "2027=受");
  const std::string today = SjisToUtf8(DateToText(Today()));
  EXPECT_NE(SjisToUtf8(ReadFileBytes(file)).find("\"新井 一\",,,,,,,,,年賀状:2027=受," + today + "," + today + ","),
            std::string::npos);

  // the pane's grid: 喪 ticked for 2027 on the selected entry, as one step of the book
  f.ClickRow(0);
  const std::string selected = SjisToUtf8(f.Book().Persons(0)->Name());
  QTableWidget* grid = w.NengaEdit()->Grid();
  const int row = w.NengaEdit()->RowOfYear(2027);
  ASSERT_GE(row, 0);
  grid->item(row, TNengaMarksEdit::ColumnOfMark(nmMourning))->setCheckState(Qt::Checked);
  QApplication::processEvents();
  w.SaveNow();
  EXPECT_NE(MarksOnDisk(file)[selected].find("喪"), std::string::npos) << selected;
  EXPECT_EQ(f.Pane().MemoRemark()->toPlainText().indexOf(QString::fromUtf8("年賀状")), -1);  // not a raw remark
  SheetPrinter().SetBackend(nullptr);
}
