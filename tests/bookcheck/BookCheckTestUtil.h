#pragma once
// Books for the check tests, written as their text-form lines.
#include <string>

#include "Cp932.h"

namespace kaede::test {

// One entry's line: name, reading, telephones, mails, postal code and address (fields of the
// text form that follow are left empty unless given as the rest, from the classifications on).
inline std::string EntryLine(const char* name, const char* yomi, const char* tels, const char* mails,
                             const char* postal, const char* address, const char* rest = "") {
  std::string u = std::string("\"") + name + "\",\"" + yomi + "\",\"" + tels + "\",\"" + mails + "\",,\"" + postal +
                  "\",\"" + address + "\"" + (*rest ? "," : "") + rest;
  return Utf8ToSjis(u);
}

}  // namespace kaede::test
