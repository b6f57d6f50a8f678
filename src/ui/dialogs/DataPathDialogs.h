#pragma once
// The dialog that asks for the data folder ("データの保存場所"), and what its OK does.
#include <QDialog>
#include <string>

#include "AppHost.h"
#include "Strs.h"

class QLabel;
class QLineEdit;

namespace kaede {

// Makes the folder (with its parents) and copies into it each required file that it lacks,
// from the program's data folder. Returns an empty text when the folder is ready; otherwise
// the message to show. missingInstall is set when a required file is missing from the
// program too (the installation is broken and the program ends).
std::string PrepareDataFolder(const std::string& folder, const TStrings& requiredFiles,
                              const std::string& programDataFolder, bool* missingInstall = nullptr);

class TDataPathDialog : public QDialog, public TDataPathChooser {
  Q_OBJECT
public:
  explicit TDataPathDialog(QWidget* parent = nullptr);

  void SetWord(const std::string& word) override;
  bool Execute(const std::string& fileNames) override;
  std::string Folder() const override;
  void SetFolder(const std::string& folder) override;

  QLineEdit* Edit() { return FEdit; }

protected:
  void accept() override;

private:
  QLabel* FNote;
  QLineEdit* FEdit;
  TStrings FRequired;
  std::string FCaption, FNoteText;
};

}  // namespace kaede
