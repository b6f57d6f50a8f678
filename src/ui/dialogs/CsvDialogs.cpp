#include "CsvDialogs.h"

#include <QCheckBox>
#include <QComboBox>
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
#include "Files.h"
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
  FCheckBoxVCard = new QCheckBox(ToQ(SJ("vCard 形式（.vcf）で保存する(&V)")), this);
  FCheckBoxVCard->setToolTip(ToQ(SJ("項目の選択によらず、住所録の項目をすべて vCard 3.0 (UTF-8) で書き出します")));
  layout->addWidget(FCheckBoxFirstLine);
  layout->addWidget(FCheckBoxUtf8);
  layout->addWidget(FCheckBoxVCard);
  // a vCard holds every field: the columns and their options do not apply
  connect(FCheckBoxVCard, &QCheckBox::toggled, this, [this](bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{FListBoxValue, FListBoxExport, FCheckBoxFirstLine, FCheckBoxUtf8})
      w->setEnabled(!on);
    if (FExporter) Refresh();
  });
  QDialogButtonBox* ok = OkCancel(this);
  layout->addWidget(ok);
  connect(ok, &QDialogButtonBox::accepted, this, [this] { Ok(); });
  resize(520, 420);
  // The commands are kept as plain functions: a closure holding a pointer to a member
  // function was read out of a dead stack frame when a button was clicked.
  using TCommand = void (*)(TCsvExporter&);
  auto act = [this](TCommand command) {
    return [this, command] {
      if (!FExporter) return;
      FExporter->SelectedField = FListBoxValue->currentRow();
      FExporter->SelectedExport = FListBoxExport->currentRow();
      command(*FExporter);
      Refresh();
    };
  };
  connect(FAdd, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.Add(); }));
  connect(FAddAll, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.AddAll(); }));
  connect(FDel, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.Del(); }));
  connect(FDelAll, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.DelAll(); }));
  connect(FUp, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.Up(); }));
  connect(FDown, &QPushButton::clicked, this, act([](TCsvExporter& e) { e.Down(); }));
  connect(FListBoxExport, &QListWidget::currentRowChanged, this, [this](int r) {
    if (!FExporter) return;
    FExporter->SelectedExport = r;
    Refresh();
  });
  connect(FListBoxValue, &QListWidget::itemDoubleClicked, this, act([](TCsvExporter& e) { e.Add(); }));
}

void TCsvExportDialog::Refresh() {
  Fill(FListBoxExport, FExporter->ExportNames, FExporter->SelectedExport);
  bool columns = !FCheckBoxVCard->isChecked();
  FAdd->setEnabled(columns);
  FAddAll->setEnabled(columns);
  FDel->setEnabled(columns && FExporter->CanDel());
  FDelAll->setEnabled(columns && FExporter->CanDelAll());
  FUp->setEnabled(columns && FExporter->CanUp());
  FDown->setEnabled(columns && FExporter->CanDown());
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
  bool vcard = FCheckBoxVCard->isChecked();
  // without a column every line would be empty: nothing is written, the dialog stays open
  // (a vCard holds every field and needs no columns)
  if (!vcard && FExporter->ExportNames.empty()) {
    AppHost().ShowError(SJ("エクスポートする項目を選んでください"));
    return;
  }
  FExporter->FirstLine = FCheckBoxFirstLine->isChecked();
  std::string file = FileNameForTesting;
  if (file.empty()) {
    QString name = vcard ? QFileDialog::getSaveFileName(this, ToQ(SJ("エクスポート")), "Export.vcf",
                                                        QString::fromUtf8("vCardファイル (*.vcf);;すべてのファイル (*)"))
                         : QFileDialog::getSaveFileName(this, ToQ(SJ("エクスポート")), "Export.csv", QString::fromUtf8(kFilter));
    if (name.isEmpty()) {
      reject();
      return;
    }
    if (!name.contains('.')) name += vcard ? ".vcf" : ".csv";
    file = FromQ(name);
  }
  try {
    int n = 0;
    if (vcard) {
      WriteFileAtomic(file, VCardsOfList(*FList));
      n = FList->Count();
    } else {
      n = FExporter->Write(*FList, file, FCheckBoxUtf8->isChecked() ? TCsvEncoding::Utf8 : TCsvEncoding::Cp932);
    }
    hide();
    AppHost().ShowInfo(TCsvExporter::ResultMessage(n));
    accept();
  } catch (const Exception& e) {
    AppHost().ShowError(e.what());
  }
}

// ---- Import --------------------------------------------------------------------------------

namespace {
const char kImportFilter[] =
    "CSV・vCardファイル (*.csv *.CSV *.vcf *.VCF *.vcard);;CSVファイル (*.csv *.CSV);;vCardファイル (*.vcf *.VCF *.vcard);;"
    "すべてのファイル (*)";

// The choices of the encoding box, in its order.
const TEncodingChoice kChoices[] = {TEncodingChoice::Auto, TEncodingChoice::Cp932, TEncodingChoice::Utf8};

// The code point of a UTF-8 character, as "U+XXXX" (the character itself may have no CP932
// form to show it in).
std::string CodePointText(const std::string& utf8) {
  std::u16string u = QString::fromUtf8(utf8.c_str()).toStdU16String();
  char32_t cp = u.size() == 2 ? 0x10000 + ((u[0] - 0xD800) << 10) + (u[1] - 0xDC00) : (u.empty() ? 0 : u[0]);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
  return code;
}

// What the reading noticed: characters replaced by "〓", quotes read as characters.
std::string IssuesText(const TCsvImportSession& session) {
  TStrings lines;
  for (const TCsvIssue& is : session.File.Issues) {
    if (lines.size() >= 20) break;
    if (is.Character.empty()) lines.push_back(std::to_string(is.Line) + SJ("行目: ") + is.Message);
    else
      lines.push_back(std::to_string(is.Line) + SJ("行目 ") + std::to_string(is.Column) + SJ("列目: ") + CodePointText(is.Character) +
                      SJ(" は Shift_JIS にない文字のため「〓」に置き換えました"));
  }
  for (const auto& [line, character] : session.Cards.Unmappable) {
    if (lines.size() >= 20) break;
    lines.push_back(std::to_string(line) + SJ("行目のカード: ") + CodePointText(character) +
                    SJ(" は Shift_JIS にない文字のため「〓」に置き換えました"));
  }
  int more = session.File.IssueCount + static_cast<int>(session.Cards.Unmappable.size()) - static_cast<int>(lines.size());
  if (more > 0) lines.push_back(SJ("ほか ") + std::to_string(more) + SJ(" 件"));
  return JoinStr(lines, "\r\n");
}
}  // namespace

TCsvImportDialog::TCsvImportDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("インポート")));
  auto* layout = new QVBoxLayout(this);
  FPanelFileName = new QLabel(this);
  layout->addWidget(FPanelFileName);
  auto* encodingRow = new QHBoxLayout();
  auto* encodingCaption = new QLabel(ToQ(SJ("文字コード(&C):")), this);
  FEncoding = new QComboBox(this);
  FEncoding->addItem(ToQ(SJ("自動判定")));
  FEncoding->addItem("Shift_JIS");
  FEncoding->addItem("UTF-8");
  encodingCaption->setBuddy(FEncoding);
  FEncodingText = new QLabel(this);
  encodingRow->addWidget(encodingCaption);
  encodingRow->addWidget(FEncoding);
  encodingRow->addWidget(FEncodingText, 1);
  layout->addLayout(encodingRow);
  FHeaderSets = new QLabel(this);
  FHeaderSets->setWordWrap(true);
  layout->addWidget(FHeaderSets);
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
  FMessage = new QLabel(this);
  FMessage->setWordWrap(true);
  FMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(FMessage);
  FCheckBoxNoFirstLine = new QCheckBox(ToQ(SJ("１行目はインポートしない(&F)")), this);
  layout->addWidget(FCheckBoxNoFirstLine);
  QDialogButtonBox* ok = OkCancel(this);
  FOk = nullptr;
  for (QAbstractButton* b : ok->buttons())
    if (ok->buttonRole(b) == QDialogButtonBox::AcceptRole) FOk = qobject_cast<QPushButton*>(b);
  layout->addWidget(ok);
  connect(ok, &QDialogButtonBox::accepted, this, [this] { Ok(); });
  resize(680, 600);
  // a command on the selected row and column
  auto act = [this](void (*command)(TCsvImportSession&)) {
    return [this, command] {
      if (!FSession) return;
      FSession->SelectedRow = FRelationListBox->currentRow();
      FSession->SelectedColumn = FListBoxFileValue->currentRow();
      command(*FSession);
      Refresh();
    };
  };
  connect(FAdd, &QPushButton::clicked, this, act([](TCsvImportSession& s) { s.MapSelected(); }));
  connect(FAppend, &QPushButton::clicked, this, act([](TCsvImportSession& s) { s.AppendSelected(); }));
  connect(FDel, &QPushButton::clicked, this, act([](TCsvImportSession& s) { s.Unmap(); }));
  connect(FDelAll, &QPushButton::clicked, this, act([](TCsvImportSession& s) { s.UnmapAll(); }));
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
  connect(FEncoding, &QComboBox::activated, this, [this](int index) { Reload(index); });
}

void TCsvImportDialog::Refresh() {
  TStrings rows;
  for (int f = 0; f < FSession->RowCount(); ++f) rows.push_back(FSession->RowText(f));
  Fill(FRelationListBox, rows, FSession->SelectedRow);
  Fill(FListBoxFileValue, FSession->IsVCard() ? TStrings() : FSession->LineFields, FSession->SelectedColumn);
  FAdd->setEnabled(FSession->CanMap());
  FAppend->setEnabled(FSession->CanMap());
  FDel->setEnabled(FSession->CanUnmap());
  FDelAll->setEnabled(FSession->CanUnmapAll());
}

void TCsvImportDialog::FillLines() {
  TStrings lines;
  for (int i = 0; FLoaded && i < FSession->LineCount(); ++i) lines.push_back(FSession->LineText(i));
  Fill(FListBoxFile, lines, FLoaded ? 0 : -1);
  FEncodingText->setText(ToQ(FLoaded ? FSession->EncodingText() : std::string()));
  bool sets = FLoaded && !FSession->HeaderSets.empty();
  FHeaderSets->setText(sets ? ToQ(SJ("見出しの形式: ") + JoinStr(FSession->HeaderSets, SJ("、"))) : QString());
  FHeaderSets->setVisible(sets);
  // a vCard says what each value is: nothing to choose
  bool csv = !FSession->IsVCard();
  FEncoding->setEnabled(csv);
  FCheckBoxNoFirstLine->setVisible(csv);
  std::string message = FLoaded ? IssuesText(*FSession) : FSession->Error;
  FMessage->setText(ToQ(message));
  FMessage->setVisible(!message.empty());
}

void TCsvImportDialog::Reload(int encodingIndex) {
  if (!FSession || encodingIndex < 0 || encodingIndex > 2) return;
  FLoaded = FSession->Reload(kChoices[encodingIndex]);
  FillLines();
  Refresh();
}

bool TCsvImportDialog::Prepare(TCsvImportSession& session, const std::string& fileName) {
  FSession = &session;
  FLoaded = false;
  try {
    FLoaded = session.Load(fileName);
  } catch (const Exception& e) {
    session.Error = e.what();
  }
  FPanelFileName->setText(ToQ(fileName));
  for (int i = 0; i < 3; ++i)
    if (kChoices[i] == session.EncodingChoice) FEncoding->setCurrentIndex(i);
  FillLines();
  FCheckBoxNoFirstLine->setChecked(session.NoFirstLine);
  Refresh();
  return FLoaded;
}

void TCsvImportDialog::Ok() {
  if (!FSession || !FLoaded) {
    reject();
    return;
  }
  if (!FSession->HasMapping()) {
    AppHost().ShowError(TCsvImportSession::NoMappingMessage());
    return;
  }
  FSession->NoFirstLine = FCheckBoxNoFirstLine->isChecked();
  accept();
}

bool TCsvImportDialog::ExecuteImport(TCsvImportSession& session) {
  QString name = QFileDialog::getOpenFileName(this, ToQ(SJ("インポート")), QString(), QString::fromUtf8(kImportFilter));
  if (name.isEmpty()) return false;
  return ExecuteImportFile(session, FromQ(name));
}

bool TCsvImportDialog::ExecuteImportFile(TCsvImportSession& session, const std::string& fileName) {
  if (!Prepare(session, fileName)) AppHost().ShowError(session.Error);
  bool ok = exec() == QDialog::Accepted && FLoaded;
  FSession = nullptr;
  return ok;
}

}  // namespace kaede
