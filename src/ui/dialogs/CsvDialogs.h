#pragma once
// The export ("エクスポート") and import ("インポート") dialogs over the exchange logic.
#include <QDialog>

#include "CsvExchange.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QLabel;

namespace kaede {

class TCsvExportDialog : public QDialog {
  Q_OBJECT
public:
  explicit TCsvExportDialog(QWidget* parent = nullptr);
  // Shows the dialog for the list; on OK asks for the file and writes it. True when written.
  bool ExecuteExport(TCsvExporter& exporter, TDataList& list);

  // For tests: writes to this file instead of asking.
  std::string FileNameForTesting;

private:
  void Refresh();
  void Ok();
  TCsvExporter* FExporter = nullptr;
  TDataList* FList = nullptr;
  QListWidget* FListBoxValue;
  QListWidget* FListBoxExport;
  QCheckBox* FCheckBoxFirstLine;
  QCheckBox* FCheckBoxUtf8;
  QCheckBox* FCheckBoxVCard;
  QPushButton *FAdd, *FAddAll, *FDel, *FDelAll, *FUp, *FDown;
};

class TCsvImportDialog : public QDialog {
  Q_OBJECT
public:
  explicit TCsvImportDialog(QWidget* parent = nullptr);
  // Asks for the file (a cancelled file dialog gives false at once), loads it, shows the
  // mapping; true when closed with OK.
  bool ExecuteImport(TCsvImportSession& session);
  // The same with a file chosen beforehand (tests, the command line of the window).
  bool ExecuteImportFile(TCsvImportSession& session, const std::string& fileName);
  // Loads the file and fills the dialog without showing it (ExecuteImportFile then runs it);
  // false when the file gave nothing to import.
  bool Prepare(TCsvImportSession& session, const std::string& fileName);

  // The widgets, for tests that drive the dialog.
  QComboBox* EncodingBox() const { return FEncoding; }
  QLabel* EncodingLabel() const { return FEncodingText; }
  QLabel* MessageLabel() const { return FMessage; }
  QListWidget* FileList() const { return FListBoxFile; }
  QListWidget* RelationList() const { return FRelationListBox; }
  QListWidget* ColumnList() const { return FListBoxFileValue; }
  QPushButton* OkButton() const { return FOk; }
  QPushButton* UnmapAllButton() const { return FDelAll; }
  QPushButton* MapButton() const { return FAdd; }

private:
  void Refresh();
  void FillLines();
  void Reload(int encodingIndex);
  void Ok();
  TCsvImportSession* FSession = nullptr;
  bool FLoaded = false;
  QLabel* FPanelFileName;
  QLabel* FEncodingText;
  QLabel* FHeaderSets;
  QLabel* FMessage;
  QComboBox* FEncoding;
  QListWidget* FListBoxFile;
  QListWidget* FListBoxFileValue;
  QListWidget* FRelationListBox;
  QCheckBox* FCheckBoxNoFirstLine;
  QPushButton *FAdd, *FAppend, *FDel, *FDelAll, *FOk;
};

}  // namespace kaede
