// The import dialog driven through its widgets: the encoding it shows and the user changes,
// refusing a mapping of nothing, and vCard files.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "CsvDialogs.h"
#include "Files.h"
#include "PersonColumns.h"
#include "QtText.h"
#include "TestUtil.h"
#include "ui/EntryFakes.h"

using namespace kaede;

namespace {

TCsvImportSession Session() {
  TCsvImportSession s;
  s.Start(PersonColumnNames(), PersonColumnAlias);
  return s;
}

std::string Text(QLabel* l) { return l->text().toStdString(); }
std::string Row(QListWidget* l, int row) { return l->item(row) ? l->item(row)->text().toStdString() : "<none>"; }

// Chooses an encoding the way a user does: the box opened with the keyboard, an item taken.
void ChooseEncoding(TCsvImportDialog& d, int index) {
  QComboBox* box = d.EncodingBox();
  box->setFocus();
  while (box->currentIndex() < index) QTest::keyClick(box, Qt::Key_Down);
  while (box->currentIndex() > index) QTest::keyClick(box, Qt::Key_Up);
}

}  // namespace

TEST(CsvImportDialog, ShowsTheEncodingItChoseAndTheUserCanChangeIt) {
  test::TRecordingHost host;
  test::TempDir dir;
  std::string file = dir.File("u.csv");
  WriteFileAtomic(file, "氏名,電話\n山田,03-1\n");
  TCsvImportSession s = Session();
  TCsvImportDialog d;
  ASSERT_TRUE(d.Prepare(s, file));
  d.show();
  EXPECT_EQ(Text(d.EncodingLabel()), "UTF-8（自動判定）");
  EXPECT_EQ(Row(d.RelationList(), pcName), "氏名:氏名");  // the header line is selected first
  EXPECT_EQ(Row(d.FileList(), 1), "山田,03-1");
  d.FileList()->setCurrentRow(1);
  EXPECT_EQ(Row(d.RelationList(), pcName), "氏名:山田");

  // read as Shift_JIS: nothing maps any more, and OK says so instead of importing
  ChooseEncoding(d, 1);
  EXPECT_EQ(Text(d.EncodingLabel()), "Shift_JIS");
  EXPECT_FALSE(s.HasMapping());
  EXPECT_FALSE(d.UnmapAllButton()->isEnabled());
  QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  ASSERT_EQ(host.Errors.size(), 1u);
  EXPECT_EQ(host.Errors[0], SjisToUtf8(TCsvImportSession::NoMappingMessage()));
  EXPECT_TRUE(d.isVisible());
  EXPECT_NE(d.result(), QDialog::Accepted);

  // mapped by hand, the dialog closes with OK
  d.RelationList()->setCurrentRow(pcName);
  d.ColumnList()->setCurrentRow(0);
  QTest::mouseClick(d.MapButton(), Qt::LeftButton);
  EXPECT_TRUE(s.HasMapping());
  // back to the automatic choice: the columns map again
  ChooseEncoding(d, 0);
  EXPECT_EQ(Text(d.EncodingLabel()), "UTF-8（自動判定）");
  d.FileList()->setCurrentRow(1);
  EXPECT_EQ(Row(d.RelationList(), pcTel), "電話:03-1");
  QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(host.Errors.size(), 1u);
}

TEST(CsvImportDialog, AFileInNeitherEncodingShowsWhereAndAnotherEncodingCanBeTried) {
  test::TRecordingHost host;
  test::TempDir dir;
  std::string file = dir.File("bad.csv");
  WriteFileAtomic(file, "氏名\n山田\n鈴\xFF" "木\n");
  TCsvImportSession s = Session();
  TCsvImportDialog d;
  EXPECT_FALSE(d.Prepare(s, file));
  d.show();
  EXPECT_TRUE(d.MessageLabel()->isVisible());
  EXPECT_NE(Text(d.MessageLabel()).find("3行目"), std::string::npos) << Text(d.MessageLabel());
  EXPECT_NE(Text(d.MessageLabel()).find("4桁目"), std::string::npos) << Text(d.MessageLabel());
  EXPECT_EQ(d.FileList()->count(), 0);
  ChooseEncoding(d, 2);  // UTF-8, asked for: the same byte is named
  EXPECT_EQ(d.FileList()->count(), 0);
  EXPECT_NE(Text(d.MessageLabel()).find("UTF-8"), std::string::npos);
  QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST(CsvImportDialog, TakesVCardFilesCardByCard) {
  test::TRecordingHost host;
  test::TempDir dir;
  std::string file = dir.File("c.vcf");
  WriteFileAtomic(file,
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎\r\nTEL;TYPE=CELL:090-1\r\nEMAIL:t@example.jp\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:佐藤 花子\r\nNOTE:📞 好き\r\nEND:VCARD\r\n");
  TCsvImportSession s = Session();
  TCsvImportDialog d;
  ASSERT_TRUE(d.Prepare(s, file));
  d.show();
  EXPECT_EQ(Text(d.EncodingLabel()), "vCard");
  EXPECT_FALSE(d.EncodingBox()->isEnabled());
  ASSERT_EQ(d.FileList()->count(), 2);
  EXPECT_EQ(Row(d.FileList(), 0), "\"山田 太郎\",携帯:090-1,メール:t@example.jp");
  EXPECT_EQ(Row(d.RelationList(), pcName), "氏名:山田 太郎");
  EXPECT_EQ(Row(d.RelationList(), pcTel), "電話:携帯:090-1");
  EXPECT_FALSE(d.MapButton()->isEnabled());
  // a character without a CP932 form is named under the cards
  EXPECT_NE(Text(d.MessageLabel()).find("U+1F4DE"), std::string::npos) << Text(d.MessageLabel());
  d.FileList()->setCurrentRow(1);
  EXPECT_EQ(Row(d.RelationList(), pcRemarks), "備考:〓 好き");
  QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  TPersonList book;
  EXPECT_EQ(s.Import(book).Added, 2);
}

TEST(CsvExportDialog, TheCommandButtonsWorkOnTheSelectedEntries) {
  test::TRecordingHost host;
  TCsvExportDialog d;
  TCsvExporter e;
  e.Reset(PersonColumnNames());
  TPersonList book;
  book.AddText(SJ("\"山田 太郎\",やまだ"));
  d.FileNameForTesting = std::string();
  QTimer::singleShot(0, &d, [&] {
    auto buttons = d.findChildren<QPushButton*>();
    auto button = [&](const char* caption) {
      for (QPushButton* b : buttons)
        if (b->text() == QString::fromUtf8(caption)) return b;
      return static_cast<QPushButton*>(nullptr);
    };
    QTest::mouseClick(button("項目全追加"), Qt::LeftButton);
    EXPECT_EQ(e.ExportNames.size(), PersonColumnNames().size());
    QTest::mouseClick(button("項目全削除"), Qt::LeftButton);
    EXPECT_TRUE(e.ExportNames.empty());
    QTest::mouseClick(button("項目追加"), Qt::LeftButton);  // the first field is selected
    EXPECT_EQ(e.ExportNames, TStrings{SJ("氏名")});
    d.reject();
  });
  EXPECT_FALSE(d.ExecuteExport(e, book));
}
