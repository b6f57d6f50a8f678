#pragma once
// What the editing screens share about entries: detached working copies and the kinds they
// offer for telephone, mail and relation lines and for the honorific.
#include <memory>
#include <string>

#include "PersonLists.h"

namespace kaede {

struct TFreeItem {
  void operator()(TDataItem* item) const {
    if (item) item->Free();
  }
};
// An entry in no list, owned by its holder.
using TPersonCopy = std::unique_ptr<TPerson, TFreeItem>;
inline TPersonCopy NewPersonCopy() { return TPersonCopy(TDataItem::Make<TPerson>()); }

// Kinds offered by the line edit dialog, as comma text.
inline std::string TelKinds() { return SJ("自宅,IP,携帯,FAX"); }
inline std::string MailKinds() { return SJ("個人,会社,PC,携帯"); }
inline std::string RelationKinds() { return SJ("勤務先,実家,学校,所属団体,夫,妻,親類,息子,娘,恋人"); }

// The honorifics offered, in order. The first stands for an empty (automatic) honorific.
TStrings KeisyoItems();
inline std::string AutoKeisyo() { return SJ("（自動）"); }

}  // namespace kaede
