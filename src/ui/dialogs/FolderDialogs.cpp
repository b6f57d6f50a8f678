#include "FolderDialogs.h"

#include <QFileDialog>

#include "QtText.h"

namespace kaede {

bool TFolderDialog::Execute(QWidget* owner) {
  QString dir = QFileDialog::getExistingDirectory(owner, ToQ(Title), ToQ(InitialFolder), QFileDialog::ShowDirsOnly);
  if (dir.isEmpty()) return false;
  Folder = FromQ(dir);
  return true;
}

}  // namespace kaede
