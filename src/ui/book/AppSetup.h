#pragma once
// What the address book program sets up on its QApplication before the first window: its
// names and icon, and Qt's own Japanese texts for the standard dialogs.
class QCoreApplication;

namespace kaede {

// The names of the program for the desktop. No display name is set: the window system
// would append it to every title, which already starts with the product name.
void SetUpApplicationNames();
// Loads Qt's Japanese translations (file, folder, print and colour dialogs, the buttons of
// message boxes), as installed with Qt. True when they were found.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace kaede
