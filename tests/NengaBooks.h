#pragma once
// The New Year marks of a book file as it is on disk, for tests that check what a command or
// the window wrote.
#include <map>
#include <string>

#include "NengaMarks.h"
#include "PersonLists.h"
#include "TestUtil.h"

namespace kaede::test {

// Name -> marks line body (both CP932), for every entry of the book file that has marks.
inline std::map<std::string, std::string> MarksOfBookFile(const std::string& file) {
  TPersonList book;
  book.Open(file, false);
  std::map<std::string, std::string> m;
  for (int i = 0; i < book.AllCount(); ++i)
    if (TNengaMarks marks = NengaMarksOf(*book.AllPersons(i)); !marks.Empty()) m[book.AllPersons(i)->Name()] = marks.Body();
  return m;
}

}  // namespace kaede::test
