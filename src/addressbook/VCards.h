#pragma once
// Entries in and out of vCard files (versions 2.1, 3.0 and 4.0).
//
// Reading takes what a phone or another address book writes: N and FN for the name, the
// phonetic name (X-PHONETIC-LAST-NAME / X-PHONETIC-FIRST-NAME, the SOUND;X-IRMC-N of older
// phones, SORT-STRING or SORT-AS) for the reading, ADR with its postal code, TEL and EMAIL
// with their types as kinds, BDAY, NOTE, ORG, TITLE, URL and CATEGORIES; folded lines,
// QUOTED-PRINTABLE, and CHARSET=SHIFT_JIS or UTF-8 per property (a property without one is
// read in the encoding of the file). Each card becomes an import record, read like a line of
// a CSV file, so that what a card gives goes through the same checks.
//
// Writing gives vCard 3.0 in UTF-8 with the standard properties, and with X-KAEDE-...
// properties and parameters for what only this address book has (kinds of telephones and
// mails, relations, the honorific, joint names, the dates), so that a book written and read
// back keeps every field.
#include <string>
#include <string_view>
#include <vector>

#include "PersonColumns.h"
#include "TextEncodings.h"

namespace kaede {

class TDataList;
class TPerson;

struct TVCard {
  TImportRecord Record;
  int Line = 0;  // the line of its BEGIN:VCARD
};

struct TVCardFile {
  std::vector<TVCard> Cards;
  // Characters without a CP932 form, as UTF-8 (they became "〓"), with their card's line.
  std::vector<std::pair<int, std::string>> Unmappable;
};

// Whether the bytes start (after a byte-order mark and blank lines) with BEGIN:VCARD.
bool LooksLikeVCard(std::string_view bytes);

// Raises Exception (with the line) for a file that holds no card or is past the size limit.
TVCardFile ParseVCards(std::string_view bytes);
TVCardFile ReadVCardFile(const std::string& fileName);

// One card of an entry, and the cards of the visible entries of a list, with CR LF line
// ends. A byte that is not CP932 raises an error naming the entry.
std::string PersonToVCard(const TPerson& person);
std::string VCardsOfList(TDataList& list);

}  // namespace kaede
