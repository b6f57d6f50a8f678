#pragma once
// The encoding of a text file that another program wrote (contacts exported as CSV or vCard),
// and its conversion to the CP932 text of the core.
//
// The choice: a byte-order mark decides (UTF-8, UTF-16 LE or BE); otherwise a file that is
// valid UTF-8 as a whole and holds at least one multi-byte sequence is UTF-8; otherwise a file
// that is valid CP932 is CP932 (plain ASCII is both and reads alike). A file valid as neither
// is refused with the line and column of its first bad byte, counted in the encoding that
// reads further into the file (the one it most likely is).
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"

namespace kaede {

enum class TTextEncoding { Cp932, Utf8, Utf16LE, Utf16BE };

// What the reader is asked to use: the automatic choice or one encoding.
enum class TEncodingChoice { Auto, Cp932, Utf8 };

// The name shown to the user: "Shift_JIS", "UTF-8", "UTF-16".
std::string EncodingName(TTextEncoding encoding);

// Bytes that are not text in the encoding asked for (or in either, for the automatic choice):
// the message names the line and column (1-based, the column in bytes of that line).
class ETextEncodingError : public Exception {
public:
  ETextEncodingError(const std::string& message, int line, int column);
  int Line() const { return FLine; }
  int Column() const { return FColumn; }

private:
  int FLine, FColumn;
};

struct TDecodedText {
  TTextEncoding Encoding = TTextEncoding::Cp932;
  // The text with its byte-order mark removed and UTF-16 turned into UTF-8; CP932 and UTF-8
  // stay as they were, so that CSV and vCard delimiters (all ASCII) can be found byte by byte.
  std::string Bytes;
};

// Chooses the encoding and checks the whole text; raises ETextEncodingError.
TDecodedText DecodeTextFile(std::string_view bytes, TEncodingChoice choice = TEncodingChoice::Auto);

// Converts UTF-8 (already checked) to CP932 in one pass. A character without a CP932 form
// becomes "〓" and, when `unmappable` is given, its UTF-8 bytes are appended there.
std::string Utf8ToCp932Lossy(std::string_view utf8, std::vector<std::string>* unmappable = nullptr);


// The 1-based line and byte column of an offset of a text (CR LF, CR and LF end lines).
void LineAndColumn(std::string_view text, size_t offset, int& line, int& column);

// Whether a byte is a control byte that no line of a book may hold (0x00-0x1F and 0x7F).
inline bool IsControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace kaede
