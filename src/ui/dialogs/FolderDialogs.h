#pragma once
// The folder chooser: the desktop's folder dialog, starting at a folder.
#include <string>

class QWidget;

namespace kaede {

class TFolderDialog {
public:
  std::string InitialFolder;  // CP932
  std::string Title;
  std::string Folder;  // the chosen folder after Execute gave true

  // Shows the dialog modally over the owner; true when a folder was chosen.
  bool Execute(QWidget* owner = nullptr);
};

}  // namespace kaede
