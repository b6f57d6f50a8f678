#pragma once
// The dialogs of the entry commands as the main window makes them: each on first use, owned
// by the window and kept, so that it keeps its last state between uses.
#include "EntryCommands.h"

class QWidget;

namespace kaede {

class TAddPersonDialog;
class TPersonFormUnifyDialog;
class TSenderPersonDialog;

class TEntryDialogs : public IEntryDialogs {
public:
  explicit TEntryDialogs(QWidget* owner) : FOwner(owner) {}
  TAddPerson& AddPerson() override;
  TPersonFormUnify& FormatUnify() override;
  TSenderEditor& Senders() override;

private:
  QWidget* FOwner;
  TAddPersonDialog* FAddPerson = nullptr;
  TPersonFormUnifyDialog* FFormatUnify = nullptr;
  TSenderPersonDialog* FSenders = nullptr;
};

}  // namespace kaede
