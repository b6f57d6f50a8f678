#include "PersonParts.h"

namespace kaede {

TStrings KeisyoItems() {
  TStrings items;
  for (const char* k : {"（自動）", "様", "御中", "先生", "殿", "さん", "君", "くん", "ちゃん", "宛", "行", "Mr.", "Mrs.",
                        "Ms.", "Miss.", "（なし）"})
    items.push_back(Utf8ToSjis(k));
  return items;
}

}  // namespace kaede
