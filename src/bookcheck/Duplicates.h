#pragma once
// Entries that are probably one person or company, and their merge into one entry.
//
// Names compare folded (FoldPersonName). Two entries are probably one when they have the same
// folded name and share one more fact (the postal code, the folded address, a telephone
// number by its digits, a mail address without case), or when they share a telephone number
// or a mail address and the same family name. The same name alone is not enough.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Strs.h"

namespace kaede {

class TPerson;
class TPersonList;

// The facts that matched in a group.
enum TDuplicateFact : unsigned {
  dfName = 1u << 0,
  dfPostal = 1u << 1,
  dfAddress = 1u << 2,
  dfTel = 1u << 3,
  dfMail = 1u << 4,
  dfFamily = 1u << 5,  // the same family name (with a shared telephone or mail)
};
// The facts as the lists show them: "名前・電話" ...
std::string DuplicateFactsText(unsigned facts);

// A name in the form duplicates compare: no spaces, width and kana folded as finds fold
// them, the old forms of common name kanji as their new forms (髙 高, 﨑 崎, 邊 邉 辺,
// 齋 齊 斎 ...), and ㈱ (株) （株） as 株式会社, ㈲ (有) （有） as 有限会社.
std::string FoldPersonName(std::string_view name);

struct TDuplicateGroup {
  std::vector<int32_t> Ids;  // the entries, in the book's order
  unsigned Facts = 0;        // what matched between them
};

// The groups of probable duplicates among all entries of the book, in the order of their
// first entries.
std::vector<TDuplicateGroup> FindDuplicates(const TPersonList& book);

// Which entry's name, reading and address (with its postal code) the merged entry keeps.
struct TMergeChoice {
  int32_t Name = 0;     // the entry that stays; its name stays with it
  int32_t Yomi = 0;
  int32_t Address = 0;
};

// Unites the remark lines of a merged entry with those gathered so far: every line once, in
// order of first appearance.
void UniteRemarks(TStrings& into, const TStrings& from);

// Merges the entries (two or more, by Id) into the entry of choice.Name, as one step of the
// book's history: its telephones, mails, classifications, relations, remarks and joint names
// are those of all of them, each once; the home page, honorific and title are its own or the
// first one another entry has; the registration is the earliest, the update the latest. The
// other entries leave the book, and every relation in the book that named one of them names
// the kept entry. Raises Exception when fewer than two of the entries are in the book or the
// choice names an entry outside them. Gives the kept entry.
TPerson* MergePersons(TPersonList& book, const std::vector<int32_t>& ids, const TMergeChoice& choice);

}  // namespace kaede
