#include "EntryDialogs.h"

#include "AddPersonDialogs.h"
#include "PersonFormUnifyDialogs.h"
#include "SenderPersonDialogs.h"

namespace kaede {

TAddPerson& TEntryDialogs::AddPerson() {
  if (!FAddPerson) FAddPerson = new TAddPersonDialog(FOwner);
  return FAddPerson->Logic();
}

TPersonFormUnify& TEntryDialogs::FormatUnify() {
  if (!FFormatUnify) FFormatUnify = new TPersonFormUnifyDialog(FOwner);
  return FFormatUnify->Logic();
}

TSenderEditor& TEntryDialogs::Senders() {
  if (!FSenders) FSenders = new TSenderPersonDialog(FOwner);
  return FSenders->Logic();
}

}  // namespace kaede
