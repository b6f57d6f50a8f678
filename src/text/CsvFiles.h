#pragma once
// Reading and writing CSV files for data exchange. Records are comma text (CommaText.h).
//
// Files from other programs come in CP932 or UTF-8: a file is read as UTF-8 when it starts with
// a UTF-8 byte-order mark, or when it is valid UTF-8 but not valid CP932; otherwise as CP932.
// UTF-8 text is converted to CP932, and characters CP932 cannot hold are reported with their
// record and column (they become "〓" rather than vanishing). A quoted field may hold line
// breaks: the physical lines then join into one record.
#include <string>
#include <vector>

namespace kaede {

enum class TCsvEncoding { Cp932, Utf8 };

struct TCsvIssue {
  int Record = 0;  // 1-based
  int Column = 0;  // 1-based field number
  std::string Character;  // the character as UTF-8
};

struct TCsvFile {
  std::vector<std::string> Records;  // CP932 comma text, one per record
  TCsvEncoding Encoding = TCsvEncoding::Cp932;
  std::vector<TCsvIssue> Issues;
};

// The records of a file; raises EFileError when it cannot be read.
TCsvFile ReadCsvFile(const std::string& fileName);
TCsvFile ParseCsvBytes(const std::string& bytes);

// True when a record that ends here is still inside a quoted field (its line break belongs
// to the field), by the reading rules of comma text.
bool EndsInsideQuotes(const std::string& record);

// The file bytes for records: CP932 lines ended by CR LF, or UTF-8 with a byte-order mark.
std::string CsvBytes(const std::vector<std::string>& records, TCsvEncoding encoding);

}  // namespace kaede
