#include "PersonParts.h"

namespace kaede {

TStrings KeisyoItems() {
  return {SJ("（自動）"), SJ("様"),     SJ("御中"), SJ("先生"), SJ("殿"), SJ("さん"), SJ("君"),  SJ("くん"),
          SJ("ちゃん"),   SJ("宛"),     SJ("行"),   "Mr.",      "Mrs.",     "Ms.",        "Miss.",    SJ("（なし）")};
}

}  // namespace kaede
