#pragma once
// Reading and writing CSV files for data exchange.
//
// Reading follows the common CSV rules: commas separate fields, a field that starts with a
// double quote runs to the next quote that is not doubled and may hold commas and line
// breaks, spaces are data, and CR LF, CR or LF end a record. Files from other programs are
// forgiven two things: text after a closing quote belongs to the field ("ab"c reads abc), and
// a quote that never closes (by the end of the file, or within the length of a record) is
// taken as an ordinary character of its field, so that one stray quote costs one line and not
// the rest of the file; that is reported as an issue.
//
// The encoding is chosen as DecodeTextFile (TextEncodings.h) chooses it; UTF-8 and UTF-16 are
// converted to CP932, and each character CP932 cannot hold becomes "〓" and is reported with
// its record and field. Reading takes time and memory in proportion to the file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Strs.h"
#include "TextEncodings.h"

namespace kaede {

// Encodings a CSV file is written in.
enum class TCsvEncoding { Cp932, Utf8 };

struct TCsvIssue {
  int Record = 0;  // 1-based record (row) of the file
  int Line = 0;    // 1-based line where it was found
  int Column = 0;  // 1-based field number; 0 for a note about the record
  std::string Character;  // a character without a CP932 form, as UTF-8; empty for a note
  std::string Message;    // CP932 text of a note (an unclosed quote)
};

// The bounds a file must keep; going past one stops the reading with an error naming the
// line, so that a damaged or hostile file cannot take unbounded memory.
struct TCsvLimits {
  size_t MaxFileBytes = size_t{128} << 20;
  size_t MaxFields = 4096;            // fields of one record
  size_t MaxRecordBytes = size_t{1} << 20;  // bytes of one record (lines of a quoted field included)
  size_t MaxIssues = 1000;            // issues kept (all are counted)
};

// The records of a file as CP932 fields, held in one buffer.
class TCsvTable {
public:
  int RowCount() const { return static_cast<int>(FRowLine.size()); }
  int FieldCount(int row) const;
  std::string_view Field(int row, int column) const;  // empty beyond the record's fields
  TStrings Row(int row) const;
  // The line of the file where a record starts (1-based).
  int LineOf(int row) const { return static_cast<int>(FRowLine[static_cast<size_t>(row)]); }
  // A record as one line for showing: comma text with line breaks shown as spaces.
  std::string DisplayText(int row) const;

  void Clear();
  // Building (the reader): fields are appended to the open record, EndRecord closes it.
  std::string& FieldBuffer() { return FText; }
  void EndField() { FEnds.push_back(static_cast<uint32_t>(FText.size())); }
  void EndRecord(int line);
  size_t OpenFieldCount() const { return FEnds.size() - FRowFirst.back(); }
  // Drops the open record (for reading it again).
  void DropOpenRecord(size_t textSize);

private:
  std::string FText;                   // every field, one after the other
  std::vector<uint32_t> FEnds;         // where each field ends in FText
  std::vector<uint32_t> FRowFirst{0};  // index in FEnds of each record's first field, and the end
  std::vector<uint32_t> FRowLine;
};

struct TCsvFile {
  TCsvTable Table;
  TTextEncoding Encoding = TTextEncoding::Cp932;
  std::vector<TCsvIssue> Issues;
  int IssueCount = 0;  // all issues, also those past the limit of kept ones

  int RecordCount() const { return Table.RowCount(); }
  TStrings Record(int row) const { return Table.Row(row); }
};

// Raises ETextEncodingError for bytes that are not text, Exception (with the line) for a file
// past the limits; ReadCsvFile adds the file name and raises EFileError when it cannot be read.
TCsvFile ParseCsvBytes(std::string_view bytes, TEncodingChoice choice = TEncodingChoice::Auto,
                       const TCsvLimits& limits = TCsvLimits());
TCsvFile ReadCsvFile(const std::string& fileName, TEncodingChoice choice = TEncodingChoice::Auto,
                     const TCsvLimits& limits = TCsvLimits());

// The file bytes for records (each a CP932 comma text): CP932 lines ended by CR LF, or UTF-8
// with a byte-order mark.
std::string CsvBytes(const std::vector<std::string>& records, TCsvEncoding encoding);

}  // namespace kaede
