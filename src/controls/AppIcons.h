#pragma once
// The programs' icons, drawn rather than loaded, so that no image file has to be found.
#include <QIcon>

namespace kaede {

// A maple leaf (楓) on a card: the address book.
QIcon AddressBookIcon();
// The leaf with a postal mark: the postal-code updater.
QIcon ZipIcon();

}  // namespace kaede
