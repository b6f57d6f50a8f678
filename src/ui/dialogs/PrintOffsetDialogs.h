#pragma once
// The dialog of the print offsets (印刷位置の補正): a horizontal and a vertical offset for each
// printer, kept in the settings, and the printer test sheet that shows how far a printer is
// off. TPrintOffsetEditor holds what the dialog edits; the dialog forwards to it.
#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "PrintOffsets.h"
#include "Strs.h"

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace kaede {

class TSettingsStore;

class TPrintOffsetEditor {
public:
  // The printers offered and the one printing now (CP932 names).
  TPrintOffsetEditor(TStrings printers, std::string current);
  const TStrings& Printers() const { return FPrinters; }
  const std::string& Current() const { return FCurrent; }
  // Reads the stored offsets of every printer.
  void Load(const TSettingsStore& store);
  // Writes the changed ones (the others stay as they are).
  void Save(TSettingsStore& store) const;
  TPrintOffset Offset(const std::string& printer) const;
  // Clamped to -10 ... 10 mm in 0.1 mm steps.
  void SetOffset(const std::string& printer, TPrintOffset o);

private:
  TStrings FPrinters;
  std::string FCurrent;
  std::map<std::string, TPrintOffset> FOffsets, FChanged;
};

class TPrintOffsetDialog : public QDialog {
public:
  // The test sheet a printer prints with the offset given.
  using TPrintTestSheet = std::function<void(const std::string& printer, TPrintOffset offset)>;
  // printTestSheet prints the test sheet on the printer chosen in the dialog with the offset
  // as it stands there.
  TPrintOffsetDialog(TPrintOffsetEditor& editor, TPrintTestSheet printTestSheet, QWidget* parent = nullptr);

private:
  void ShowPrinter();
  void TakeValues();
  TPrintOffsetEditor& FEditor;
  TPrintTestSheet FPrint;
  QComboBox* FPrinter;
  QDoubleSpinBox *FX, *FY;
  QPushButton* FTestSheet;
  bool FLoading = false;
};

// Runs the dialog over the address book's settings; true when the offsets were saved.
bool EditPrintOffsets(TStrings printers, const std::string& current, TPrintOffsetDialog::TPrintTestSheet printTestSheet,
                      QWidget* parent);

}  // namespace kaede
