#include "PrintOffsetDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "BaseOptions.h"
#include "QtText.h"
#include "UiErrors.h"

namespace kaede {

TPrintOffsetEditor::TPrintOffsetEditor(TStrings printers, std::string current)
    : FPrinters(std::move(printers)), FCurrent(std::move(current)) {}

void TPrintOffsetEditor::Load(const TSettingsStore& store) {
  for (const std::string& p : FPrinters) FOffsets[p] = ReadPrintOffset(store, p);
}

void TPrintOffsetEditor::Save(TSettingsStore& store) const {
  for (const auto& [printer, o] : FChanged) WritePrintOffset(store, printer, o);
}

TPrintOffset TPrintOffsetEditor::Offset(const std::string& printer) const {
  auto it = FChanged.find(printer);
  if (it != FChanged.end()) return it->second;
  it = FOffsets.find(printer);
  return it != FOffsets.end() ? it->second : TPrintOffset{};
}

void TPrintOffsetEditor::SetOffset(const std::string& printer, TPrintOffset o) {
  o = ClampPrintOffset(o);
  if (o == Offset(printer)) return;
  FChanged[printer] = o;
}

TPrintOffsetDialog::TPrintOffsetDialog(TPrintOffsetEditor& editor, TPrintTestSheet printTestSheet, QWidget* parent)
    : QDialog(parent), FEditor(editor), FPrint(std::move(printTestSheet)) {
  setWindowTitle(ToQ(SJ("印刷位置の補正")));
  auto* form = new QFormLayout;
  FPrinter = new QComboBox(this);
  for (const std::string& p : editor.Printers()) FPrinter->addItem(ToQ(p));
  form->addRow(ToQ(SJ("プリンタ")), FPrinter);
  auto spin = [&] {
    auto* s = new QDoubleSpinBox(this);
    s->setRange(-kMaxPrintOffset, kMaxPrintOffset);
    s->setSingleStep(0.1);
    s->setDecimals(1);
    s->setSuffix(ToQ(SJ(" ㎜")));
    return s;
  };
  FX = spin();
  FY = spin();
  form->addRow(ToQ(SJ("横（右へ）")), FX);
  form->addRow(ToQ(SJ("縦（下へ）")), FY);
  FTestSheet = new QPushButton(ToQ(SJ("位置合わせ用紙を印刷(&T)")), this);
  // without a printer there is nothing to keep a value for (a PDF file takes none)
  const bool none = editor.Printers().empty();
  auto* hint = new QLabel(ToQ(none ? SJ("補正できるプリンタがありません（PDF ファイルには補正をかけません）。")
                                   : SJ("普通紙に印刷した用紙をはがきに重ね、枠とのずれを補正に加えます。")),
                          this);
  hint->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(hint);
  layout->addWidget(FTestSheet);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(FPrinter, &QComboBox::currentIndexChanged, this, [this] { ShowPrinter(); });
  for (QDoubleSpinBox* s : {FX, FY}) connect(s, &QDoubleSpinBox::valueChanged, this, [this] { TakeValues(); });
  connect(FTestSheet, &QPushButton::clicked, this, [this] {
    TakeValues();
    const int i = FPrinter->currentIndex();
    if (i < 0) return;
    const std::string printer = FEditor.Printers()[static_cast<size_t>(i)];
    ShowErrors([&] {
      try {
        FPrint(printer, FEditor.Offset(printer));
      } catch (const std::exception& e) {
        throw Exception(SJ("位置合わせ用紙を印刷できませんでした: ") + e.what());
      }
    });
  });
  const auto& printers = editor.Printers();
  for (size_t i = 0; i < printers.size(); ++i)
    if (printers[i] == editor.Current()) FPrinter->setCurrentIndex(static_cast<int>(i));
  ShowPrinter();
}

void TPrintOffsetDialog::ShowPrinter() {
  const int i = FPrinter->currentIndex();
  const std::string printer = i >= 0 ? FEditor.Printers()[static_cast<size_t>(i)] : std::string();
  const TPrintOffset o = FEditor.Offset(printer);
  FLoading = true;
  FX->setValue(o.X);
  FY->setValue(o.Y);
  FLoading = false;
  FX->setEnabled(!printer.empty());
  FY->setEnabled(!printer.empty());
  // the test sheet goes to the printer chosen here, whichever prints now
  FTestSheet->setEnabled(!printer.empty() && FPrint != nullptr);
}

void TPrintOffsetDialog::TakeValues() {
  const int i = FPrinter->currentIndex();
  if (FLoading || i < 0) return;
  FEditor.SetOffset(FEditor.Printers()[static_cast<size_t>(i)], {FX->value(), FY->value()});
}

bool EditPrintOffsets(TStrings printers, const std::string& current, TPrintOffsetDialog::TPrintTestSheet printTestSheet,
                      QWidget* parent) {
  TPrintOffsetEditor editor(std::move(printers), current);
  auto store = TSettingsStore::OpenRegistry("KaedeAddress");
  editor.Load(*store);
  TPrintOffsetDialog dialog(editor, std::move(printTestSheet), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  editor.Save(*store);
  store->Save();
  return true;
}

}  // namespace kaede
