#pragma once
// The address check of a book: every entry's postal code and address compared with the
// postal-code dictionary, and entries without a reading. Texts are compared folded
// (FoldAddress), so that width, spaces, the forms of hyphens, ケ/ヶ/が and 3丁目/三丁目 do not
// count as differences. Each finding names its entry by Id and, when the dictionary leaves
// exactly one answer, the fix: a postal code, or what goes in front of the address.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Strs.h"

namespace kaede {

class TPerson;
class TPersonList;
class TPostalData;

// The kinds of finding, most certain first.
enum TCheckKind : uint8_t {
  ckUnknownCode = 0,   // the postal code is not in the dictionary
  ckCodeMismatch = 1,  // the code's towns are not the address's
  ckMissingCode = 2,   // the address gives a code, the entry has none
  ckUnknownTown = 3,   // the address's town (or city) is not in the dictionary
  ckEmptyYomi = 4,     // no reading: the list sorts the entry under 他
  ckKindCount = 5,
};
// The caption of a kind as the lists show it ("郵便番号が辞書にない" ...).
std::string CheckKindCaption(TCheckKind kind);

struct TCheckFinding {
  TCheckKind Kind = ckUnknownCode;
  int32_t Id = 0;         // the entry
  std::string Name;       // its name when it was checked
  std::string Detail;     // what is wrong, for the reader
  std::string FixPostal;  // the code to set (seven digits), or empty
  std::string FixPrefix;  // what goes in front of the first address line, or empty
  std::string SeenPostal; // the entry's postal code when it was checked
  bool HasFix() const { return !FixPostal.empty() || !FixPrefix.empty(); }
  // The fix as the lists show it; empty without one.
  std::string FixText() const;
};

// Address text in the form the check compares: ASCII and full-width spaces dropped, letters,
// digits and symbols half width and in lower case, the hyphens and the long-vowel mark as
// "-", ケ/ヶ/が/ｹ as ケ, and a number before 丁目 in kanji (3丁目, ３丁目 and 三丁目 alike).
std::string FoldAddress(std::string_view text);
// A postal code as typed (hyphen, full width, spaces) as seven digits when it is one; the
// text without those otherwise.
std::string FoldPostalCode(std::string_view text);

// The dictionary folded once for many checks. Building it reads the loaded dictionary's lines
// through TPostalData (its range look-ups give every entry's prefecture and city).
class TAddressChecker {
public:
  // The dictionary must be loaded (LoadData() true).
  explicit TAddressChecker(const TPostalData& data);
  ~TAddressChecker();
  TAddressChecker(const TAddressChecker&) = delete;
  TAddressChecker& operator=(const TAddressChecker&) = delete;

  // The findings of one entry, appended in the order of the kinds.
  void CheckPerson(const TPerson& person, std::vector<TCheckFinding>& out) const;
  // The findings of every entry of the book (not only the visible ones), sorted by kind and
  // then by the book's order.
  std::vector<TCheckFinding> CheckBook(const TPersonList& book) const;

  // The postal codes the dictionary gives an address (seven digits each, no repeats, in
  // dictionary order); empty when its city or town is not found.
  TStrings CodesOfAddress(std::string_view address) const;

private:
  struct TData;
  struct TResolved;
  void Resolve(std::string_view folded, TResolved& r) const;
  std::unique_ptr<TData> D;
};

// Applies the fixes of the findings that have one to the entries of the book, as one step of
// its history; an entry gone since the check is passed over, and so is a fix whose entry no
// longer has what the finding saw (a code already set, a prefix already there). Gives the
// number of entries changed; applied, when given, receives the indexes of the findings whose
// fix changed its entry.
int ApplyCheckFixes(TPersonList& book, const std::vector<TCheckFinding>& findings,
                    std::vector<size_t>* applied = nullptr);

}  // namespace kaede
