#include "AppSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "AppIcons.h"
#include "VerInfos.h"

namespace kaede {

void SetUpApplicationNames() {
  QApplication::setApplicationName(QString::fromStdString(TVerInfo::InternalName()));
  QApplication::setDesktopFileName("KaedeAddress");
  QApplication::setWindowIcon(AddressBookIcon());
}

bool LoadQtTranslations(QCoreApplication& app) {
  // The program speaks Japanese whatever the desktop's language: so do Qt's dialogs.
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* t = new QTranslator(&app);
  if (!t->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    delete t;
    return false;
  }
  QCoreApplication::installTranslator(t);
  return true;
}

}  // namespace kaede
