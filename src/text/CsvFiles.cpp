#include "CsvFiles.h"

#include "Cp932.h"
#include "CommaText.h"
#include "Files.h"

namespace kaede {
namespace {

const char kBom[] = "\xEF\xBB\xBF";

inline bool IsBlank(unsigned char c) { return c >= 0x01 && c <= 0x20; }


// Which field (1-based) of a record a byte offset falls in, by a plain count of the commas
// outside quotes before it.
int FieldAt(const std::string& record, size_t offset) {
  int field = 1;
  bool quoted = false;
  for (size_t i = 0; i < offset && i < record.size(); ++i) {
    if (record[i] == '"') quoted = !quoted;
    else if (record[i] == ',' && !quoted) ++field;
  }
  return field;
}

}  // namespace

bool EndsInsideQuotes(const std::string& record) {
  const char* p = record.data();
  const char* end = p + record.size();
  while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
  while (p < end) {
    if (*p == '"') {
      ++p;
      while (true) {
        if (p >= end) return true;
        if (*p == '"') {
          if (p + 1 < end && p[1] == '"') {
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        ++p;
      }
    } else {
      while (p < end && *p != ',' && !IsBlank(static_cast<unsigned char>(*p))) ++p;
    }
    while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p < end && *p == ',') {
      ++p;
      while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    }
  }
  return false;
}

TCsvFile ParseCsvBytes(const std::string& bytes) {
  TCsvFile file;
  std::string text = bytes;
  bool bom = text.compare(0, 3, kBom) == 0;
  if (bom || (IsValidUtf8(text) && !IsValidSjis(text))) {
    file.Encoding = TCsvEncoding::Utf8;
    if (bom) text.erase(0, 3);
  }
  std::string record;
  std::vector<std::string> parts;  // the physical lines of the record being read
  bool open = false;
  auto finish = [&]() {
    file.Records.push_back(std::move(record));
    record.clear();
    parts.clear();
    open = false;
  };
  for (std::string& line : SplitLinesKeepingZeros(text)) {
    if (file.Encoding == TCsvEncoding::Utf8) {
      // Convert character by character where needed, so that each character CP932 cannot
      // hold is reported where it stands.
      try {
        line = Utf8ToSjis(line, TConvMode::Strict);
      } catch (const EEncodingError&) {
        std::string converted;
        size_t i = 0;
        while (i < line.size()) {
          unsigned char c = static_cast<unsigned char>(line[i]);
          size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
          if (i + len > line.size()) len = line.size() - i;
          std::string ch = line.substr(i, len);
          try {
            converted += Utf8ToSjis(ch, TConvMode::Strict);
          } catch (const EEncodingError&) {
            std::string prefix = record.empty() ? converted : record + "\r\n" + converted;
            file.Issues.push_back(TCsvIssue{static_cast<int>(file.Records.size()) + 1, FieldAt(prefix, prefix.size()),
                                            ch});
            converted += SJ("〓");
          }
          i += len;
        }
        line = converted;
      }
    }
    if (open) record += "\r\n" + line;
    else record = line;
    parts.push_back(line);
    open = true;
    if (!EndsInsideQuotes(record)) finish();
  }
  if (open) {
    // A quote that never closes would swallow the rest of the file into one record: the
    // lines it held are records of their own instead, as in a file without line breaks
    // inside fields.
    std::vector<std::string> lines = parts;
    for (std::string& l : lines) {
      record = std::move(l);
      finish();
    }
  }
  return file;
}

TCsvFile ReadCsvFile(const std::string& fileName) { return ParseCsvBytes(ReadFileBytes(fileName)); }

std::string CsvBytes(const std::vector<std::string>& records, TCsvEncoding encoding) {
  std::string out;
  if (encoding == TCsvEncoding::Utf8) out = kBom;
  for (const std::string& r : records) {
    out += encoding == TCsvEncoding::Utf8 ? SjisToUtf8(r, TConvMode::Strict) : r;
    out += "\r\n";
  }
  return out;
}

}  // namespace kaede
