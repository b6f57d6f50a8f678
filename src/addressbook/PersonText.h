#pragma once
// The text form of an entry, one line of a book: its fields read from and written to it.
// Shared by the entry (PersonLists.cpp) and the book loader (BookFiles.cpp).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CommaText.h"
#include "Dates.h"

namespace kaede {

struct TPersonFields;

// Writes the fields as the entry's text form.
void AppendPersonText(std::string& out, const TPersonFields& f);
// Reads the fields of a text form whose elements stand at the spans (ScanCommaText). The
// fields the text does not hold keep their values, or are emptied with clearAbsent. An empty
// date field is the given day. Raises the date conversion error for a date that is not one.
void ReadPersonFields(std::string_view text, const std::vector<TCommaSpan>& spans, TPersonFields& f,
                      const TDateValue& day, bool clearAbsent);
// The same for a whole text; gives the number of fields it holds.
size_t ReadPersonFields(std::string_view text, TPersonFields& f, const TDateValue& day, bool clearAbsent);
// Whether a line whose elements stand at the spans is exactly the text form that its entry
// writes (reading it and writing it again gives the same bytes), told without reading the
// fields. The dates of the line must be dates. The scratch string is used and left changed.
bool IsPersonTextForm(std::string_view line, const std::vector<TCommaSpan>& spans, std::string& scratch);
// year/month/day as the text form writes a date.
void AppendDateText(std::string& out, const TDateValue& d);

}  // namespace kaede
