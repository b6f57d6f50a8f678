#include "CsvDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "AppHost.h"
#include "Cp932.h"
#include "QtText.h"

namespace kaede {

namespace {
const char kFilter[] = "CSVファイル (*.csv);;すべてのファイル (*)";

QDialogButtonBox* OkCancel(QDialog* d) {
  auto* b = new QDialogButtonBox(d);
  b->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
  b->addButton(ToQ(SJ("キャンセル")), QDialogButtonBox::RejectRole);
  QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return b;
}

void Fill(QListWidget* box, const TStrings& items, int selected) {
  box->blockSignals(true);
  box->clear();
  for (const std::string& s : items) box->addItem(ToQ(s));
  if (selected >= 0 && selected < box->count()) box->setCurrentRow(selected);
  box->blockSignals(false);
}
}  // namespace

// ---- Export --------------------------------------------------------------------------------

TCsvExportDialog::TCsvExportDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("エクスポート")));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout();
  FListBoxValue = new QListWidget(this);
  FListBoxExport = new QListWidget(this);
  auto* buttons = new QVBoxLayout();
  FAdd = new QPushButton(ToQ(SJ("項目追加")), this);
  FAddAll = new QPushButton(ToQ(SJ("項目全追加")), this);
  FDel = new QPushButton(ToQ(SJ("項目削除")), this);
  FDelAll = new QPushButton(ToQ(SJ("項目全削除")), this);
  FUp = new QPushButton(ToQ(SJ("上へ")), this);
  FDown = new QPushButton(ToQ(SJ("下へ")), this);
  for (QPushButton* b : {FAdd, FAddAll, FDel, FDelAll, FUp, FDown}) buttons->addWidget(b);
  buttons->addStretch();
  row->addWidget(FListBoxValue, 1);
  row->addLayout(buttons);
  row->addWidget(FListBoxExport, 1);
  layout->addLayout(row, 1);
  FCheckBoxFirstLine = new QCheckBox(ToQ(SJ("１行目に項目名を挿入する")), this);
  FCheckBoxUtf8 = new QCheckBox(ToQ(SJ("UTF-8（BOM付き）で保存する")), this);
  layout->addWidget(FCheckBoxFirstLine);
  layout->addWidget(FCheckBoxUtf8);
  QDialogButtonBox* ok = OkCancel(this);
  layout->addWidget(ok);
  connect(ok, &QDialogButtonBox::accepted, this, [this] { Ok(); });
  resize(520, 420);
  auto act = [this](void (TCsvExporter::*f)()) {
    return [this, f] {
      if (!FExporter) return;
      FExporter->SelectedField = FListBoxValue->currentRow();
      FExporter->SelectedExport = FListBoxExport->currentRow();
      (FExporter->*f)();
      Refresh();
    };
  };
  connect(FAdd, &QPushButton::clicked, this, act(&TCsvExporter::Add));
  connect(FAddAll, &QPushButton::clicked, this, act(&TCsvExporter::AddAll));
  connect(FDel, &QPushButton::clicked, this, act(&TCsvExporter::Del));
  connect(FDelAll, &QPushButton::clicked, this, act(&TCsvExporter::DelAll));
  connect(FUp, &QPushButton::clicked, this, act(&TCsvExporter::Up));
  connect(FDown, &QPushButton::clicked, this, act(&TCsvExporter::Down));
  connect(FListBoxExport, &QListWidget::currentRowChanged, this, [this](int r) {
    if (!FExporter) return;
    FExporter->SelectedExport = r;
    Refresh();
  });
  connect(FListBoxValue, &QListWidget::itemDoubleClicked, this, act(&TCsvExporter::Add));
}

void TCsvExportDialog::Refresh() {
  Fill(FListBoxExport, FExporter->ExportNames, FExporter->SelectedExport);
  FDel->setEnabled(FExporter->CanDel());
  FDelAll->setEnabled(FExporter->CanDelAll());
  FUp->setEnabled(FExporter->CanUp());
  FDown->setEnabled(FExporter->CanDown());
}

bool TCsvExportDialog::ExecuteExport(TCsvExporter& exporter, TDataList& list) {
  FExporter = &exporter;
  FList = &list;
  Fill(FListBoxValue, exporter.FieldNames, exporter.SelectedField);
  FCheckBoxFirstLine->setChecked(exporter.FirstLine);
  Refresh();
  bool ok = exec() == QDialog::Accepted;
  FExporter = nullptr;
  FList = nullptr;
  return ok;
}

void TCsvExportDialog::Ok() {
  FExporter->FirstLine = FCheckBoxFirstLine->isChecked();
  std::string file = FileNameForTesting;
  if (file.empty()) {
    QString name = QFileDialog::getSaveFileName(this, ToQ(SJ("エクスポート")), "Export.csv", QString::fromUtf8(kFilter));
    if (name.isEmpty()) {
      reject();
      return;
    }
    if (!name.contains('.')) name += ".csv";
    file = FromQ(name);
  }
  try {
    int n = FExporter->Write(*FList, file, FCheckBoxUtf8->isChecked() ? TCsvEncoding::Utf8 : TCsvEncoding::Cp932);
    hide();
    AppHost().ShowInfo(TCsvExporter::ResultMessage(n));
    accept();
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  }
}

// ---- Import --------------------------------------------------------------------------------

TCsvImportDialog::TCsvImportDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("インポート")));
  auto* layout = new QVBoxLayout(this);
  FPanelFileName = new QLabel(this);
  layout->addWidget(FPanelFileName);
  auto* row = new QHBoxLayout();
  FRelationListBox = new QListWidget(this);
  FListBoxFileValue = new QListWidget(this);
  auto* buttons = new QVBoxLayout();
  FAdd = new QPushButton(ToQ(SJ("項目割当")), this);
  FAppend = new QPushButton(ToQ(SJ("項目追加割当")), this);
  FAppend->setToolTip(ToQ(SJ("姓と名のように分かれた項目を、この欄にまとめて割り当てます")));
  FDel = new QPushButton(ToQ(SJ("解除")), this);
  FDelAll = new QPushButton(ToQ(SJ("全解除")), this);
  for (QPushButton* b : {FAdd, FAppend, FDel, FDelAll}) buttons->addWidget(b);
  buttons->addStretch();
  row->addWidget(FRelationListBox, 1);
  row->addLayout(buttons);
  row->addWidget(FListBoxFileValue, 1);
  layout->addLayout(row, 2);
  FListBoxFile = new QListWidget(this);
  layout->addWidget(FListBoxFile, 1);
  FCheckBoxNoFirstLine = new QCheckBox(ToQ(SJ("１行目はインポートしない(&F)")), this);
  layout->addWidget(FCheckBoxNoFirstLine);
  QDialogButtonBox* ok = OkCancel(this);
  layout->addWidget(ok);
  connect(ok, &QDialogButtonBox::accepted, this, [this] {
    FSession->NoFirstLine = FCheckBoxNoFirstLine->isChecked();
    accept();
  });
  resize(640, 560);
  auto act = [this](void (TCsvImportSession::*f)()) {
    return [this, f] {
      if (!FSession) return;
      FSession->SelectedRow = FRelationListBox->currentRow();
      FSession->SelectedColumn = FListBoxFileValue->currentRow();
      (FSession->*f)();
      Refresh();
    };
  };
  connect(FAdd, &QPushButton::clicked, this, act(&TCsvImportSession::MapSelected));
  connect(FAppend, &QPushButton::clicked, this, act(&TCsvImportSession::AppendSelected));
  connect(FDel, &QPushButton::clicked, this, act(&TCsvImportSession::Unmap));
  connect(FDelAll, &QPushButton::clicked, this, act(&TCsvImportSession::UnmapAll));
  connect(FListBoxFile, &QListWidget::currentRowChanged, this, [this](int r) {
    if (!FSession || r < 0) return;
    FSession->SelectLine(r);
    Refresh();
  });
  connect(FRelationListBox, &QListWidget::currentRowChanged, this, [this](int r) {
    if (!FSession) return;
    FSession->SelectedRow = r;
    Refresh();
  });
  connect(FListBoxFileValue, &QListWidget::currentRowChanged, this, [this](int c) {
    if (!FSession) return;
    FSession->SelectedColumn = c;
    Refresh();
  });
}

void TCsvImportDialog::Refresh() {
  TStrings rows;
  for (int f = 0; f < static_cast<int>(FSession->FieldNames.size()); ++f) rows.push_back(FSession->RowText(f));
  Fill(FRelationListBox, rows, FSession->SelectedRow);
  Fill(FListBoxFileValue, FSession->LineFields, FSession->SelectedColumn);
  FAdd->setEnabled(FSession->CanMap());
  FAppend->setEnabled(FSession->CanMap());
  FDel->setEnabled(FSession->CanUnmap());
  FDelAll->setEnabled(FSession->CanUnmapAll());
}

bool TCsvImportDialog::ExecuteImport(TCsvImportSession& session) {
  QString name = QFileDialog::getOpenFileName(this, ToQ(SJ("インポート")), QString(), QString::fromUtf8(kFilter));
  if (name.isEmpty()) return false;
  return ExecuteImportFile(session, FromQ(name));
}

bool TCsvImportDialog::ExecuteImportFile(TCsvImportSession& session, const std::string& fileName) {
  FSession = &session;
  bool loaded = false;
  try {
    loaded = session.Load(fileName);
  } catch (const Exception& e) {
    session.Error = e.what();
  }
  if (!loaded) AppHost().ShowError(session.Error);
  if (!session.File.Issues.empty()) {
    std::string text = SJ("次の文字はShift_JISにない文字のため「〓」に置き換えました：");
    for (size_t i = 0; i < session.File.Issues.size() && i < 20; ++i) {
      const TCsvIssue& is = session.File.Issues[i];
      // the character itself cannot be shown in this text: its code point is
      std::u16string u = QString::fromUtf8(is.Character.c_str()).toStdU16String();
      char32_t cp = u.size() == 2 ? 0x10000 + ((u[0] - 0xD800) << 10) + (u[1] - 0xDC00) : (u.empty() ? 0 : u[0]);
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
      text += "\r\n" + std::to_string(is.Record) + SJ("行目 ") + std::to_string(is.Column) + SJ("列目: ") + code;
    }
    AppHost().ShowError(text);
  }
  FPanelFileName->setText(ToQ(loaded ? fileName : std::string()));
  TStrings lines;
  for (int i = 0; loaded && i < session.LineCount(); ++i) lines.push_back(session.LineText(i));
  Fill(FListBoxFile, lines, loaded ? 0 : -1);
  FCheckBoxNoFirstLine->setChecked(session.NoFirstLine);
  Refresh();
  bool ok = exec() == QDialog::Accepted && loaded;
  FSession = nullptr;
  return ok;
}

}  // namespace kaede
