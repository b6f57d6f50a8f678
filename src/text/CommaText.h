#pragma once
// Comma text: a list of strings on one line, quoted where needed. Item text forms, settings
// values and CSV records all use it.
#include <string>
#include <string_view>
#include <vector>

namespace kaede {

// Writes the strings separated by ",". A string is quoted (inner quotes doubled) when it holds
// a double quote, a comma or a byte 0x01-0x20; an empty string is written as nothing, except
// that a list of exactly one empty string is written as "" so that it reads back as one item.
std::string EncodeCommaText(const std::vector<std::string>& items);
void AppendCommaField(std::string& out, std::string_view item);
// Whether AppendCommaField quotes the string.
bool NeedsCommaQuotes(std::string_view item);

// Reads comma text into the list (cleared first). Leading bytes 0x01-0x20 are skipped; an
// element starting with a quote runs to the next quote that is not doubled (to the end when
// none); any other element runs up to the next comma or byte 0x01-0x20; a comma that is the
// last character adds one empty element.
void DecodeCommaText(std::string_view text, std::vector<std::string>& items);
std::vector<std::string> DecodeCommaText(std::string_view text);

// Where one element of comma text stands in the text: Begin..End (byte offsets) is its content
// without the enclosing quotes; Escaped tells that the content holds doubled quotes, each of
// which stands for one quote.
struct TCommaSpan {
  size_t Begin = 0;
  size_t End = 0;
  bool Escaped = false;
};
// Reads comma text as DecodeCommaText does, giving where each element stands instead of a
// copy of it. Reads at most maxItems elements: false when the text holds more.
bool ScanCommaText(std::string_view text, std::vector<TCommaSpan>& spans, size_t maxItems);
// Appends the value of an element of the text (its doubled quotes made single).
void AppendCommaValue(std::string& out, std::string_view text, const TCommaSpan& span);

// Splits text into lines: CR LF, a lone CR and a lone LF end a line, a zero byte ends the
// text, and a last line without an ending still counts.
void SplitLines(std::string_view text, std::vector<std::string>& lines);
// The same, but a zero byte is kept as part of its line (settings and CSV files, where a
// damaged file must be read whole).
std::vector<std::string> SplitLinesKeepingZeros(std::string_view text);

}  // namespace kaede
