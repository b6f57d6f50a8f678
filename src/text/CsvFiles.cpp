#include "CsvFiles.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "CommaText.h"
#include "Cp932.h"
#include "Files.h"

namespace kaede {

// ---- TCsvTable -----------------------------------------------------------------------------

int TCsvTable::FieldCount(int row) const {
  if (row < 0 || row >= RowCount()) return 0;
  return static_cast<int>(FRowFirst[static_cast<size_t>(row) + 1] - FRowFirst[static_cast<size_t>(row)]);
}

std::string_view TCsvTable::Field(int row, int column) const {
  if (column < 0 || column >= FieldCount(row)) return std::string_view();
  size_t k = FRowFirst[static_cast<size_t>(row)] + static_cast<size_t>(column);
  size_t start = k == 0 ? 0 : FEnds[k - 1];
  return std::string_view(FText).substr(start, FEnds[k] - start);
}

TStrings TCsvTable::Row(int row) const {
  TStrings r;
  int n = FieldCount(row);
  r.reserve(static_cast<size_t>(n));
  for (int c = 0; c < n; ++c) r.emplace_back(Field(row, c));
  return r;
}

std::string TCsvTable::DisplayText(int row) const {
  std::string s = EncodeCommaText(Row(row));
  for (char& c : s)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return s;
}

void TCsvTable::Clear() {
  FText.clear();
  FEnds.clear();
  FRowFirst.assign(1, 0);
  FRowLine.clear();
}

void TCsvTable::EndRecord(int line) {
  FRowFirst.push_back(static_cast<uint32_t>(FEnds.size()));
  FRowLine.push_back(static_cast<uint32_t>(line));
}

void TCsvTable::DropOpenRecord(size_t textSize) {
  FEnds.resize(FRowFirst.back());
  FText.resize(textSize);
}

// ---- Reading -------------------------------------------------------------------------------

namespace {

constexpr size_t kNone = std::string_view::npos;

class TCsvReader {
public:
  TCsvReader(std::string_view text, bool utf8, const TCsvLimits& limits, TCsvFile& file)
      : FText(text), FUtf8(utf8), FLimits(limits), FFile(file) {}

  void Run() {
    while (FPos < FText.size()) ReadRecord();
  }

private:
  // Reads one record; when a quote of it never closes, reads it again with that quote taken
  // as an ordinary character. Such a quote cannot be followed by another one that never
  // closes within the part of the file its search covered (every quote there was doubled), so
  // no part of the file is read more than twice.
  void ReadRecord() {
    size_t start = FPos;
    int startLine = FLine;
    size_t textMark = FFile.Table.FieldBuffer().size();
    size_t issueMark = FFile.Issues.size();
    int issueCount = FFile.IssueCount;
    while (true) {
      size_t open = TryRecord(start);
      if (open == kNone) break;
      FFile.Table.DropOpenRecord(textMark);
      FFile.Issues.resize(issueMark);
      FFile.IssueCount = issueCount;
      FLiteralQuotes.insert(open);
      FPos = start;
      FLine = startLine;
      Note(startLine, SJ("閉じていない引用符 (\") は文字として読みました"));
      issueMark = FFile.Issues.size();
      issueCount = FFile.IssueCount;
    }
  }

  // Reads the record at start; gives kNone when it is complete, or the offset of a quote
  // that does not close.
  size_t TryRecord(size_t start) {
    FPos = start;
    FRecordLine = FLine;
    while (true) {
      if (FFile.Table.OpenFieldCount() >= FLimits.MaxFields)
        Fail(SJ("項目の数が多すぎます（1行に") + std::to_string(FLimits.MaxFields) + SJ("項目まで）"));
      std::string_view raw;
      if (FPos < FText.size() && FText[FPos] == '"' && !FLiteralQuotes.count(FPos)) {
        size_t open = FPos;
        if (!ReadQuoted(start)) return open;
        raw = FScratch;
      } else {
        size_t end = FPos;
        while (end < FText.size() && FText[end] != ',' && FText[end] != '\r' && FText[end] != '\n') ++end;
        raw = FText.substr(FPos, end - FPos);
        FPos = end;
      }
      AddField(raw);
      if (FPos - start > FLimits.MaxRecordBytes)
        Fail(SJ("行が長すぎます（1行") + std::to_string(FLimits.MaxRecordBytes) + SJ("バイトまで）"));
      if (FPos >= FText.size()) break;
      char c = FText[FPos++];
      if (c == ',') {
        if (FPos >= FText.size()) {  // a comma at the very end: one more, empty field
          AddField(std::string_view());
          break;
        }
        continue;
      }
      if (c == '\r' && FPos < FText.size() && FText[FPos] == '\n') ++FPos;
      ++FLine;
      break;
    }
    FFile.Table.EndRecord(FRecordLine);
    return kNone;
  }

  // Reads a quoted field into the scratch buffer (line breaks made CR LF), and any text after
  // its closing quote up to the end of the field. False when the quote does not close.
  bool ReadQuoted(size_t recordStart) {
    FScratch.clear();
    size_t p = FPos + 1;
    int line = FLine;
    while (true) {
      const void* hit = p < FText.size() ? std::memchr(FText.data() + p, '"', FText.size() - p) : nullptr;
      size_t q = hit ? static_cast<size_t>(static_cast<const char*>(hit) - FText.data()) : kNone;
      size_t end = q == kNone ? FText.size() : q;
      if (end - recordStart > FLimits.MaxRecordBytes) return false;
      for (size_t i = p; i < end; ++i) {
        char c = FText[i];
        if (c == '\r' || c == '\n') {
          if (c == '\r' && i + 1 < end && FText[i + 1] == '\n') ++i;
          FScratch += "\r\n";
          ++line;
        } else {
          FScratch += c;
        }
      }
      if (q == kNone) return false;
      if (q + 1 < FText.size() && FText[q + 1] == '"') {
        FScratch += '"';
        p = q + 2;
        continue;
      }
      p = q + 1;
      break;
    }
    // text after the closing quote belongs to the field
    while (p < FText.size() && FText[p] != ',' && FText[p] != '\r' && FText[p] != '\n') FScratch += FText[p++];
    FPos = p;
    FLine = line;
    return true;
  }

  void AddField(std::string_view raw) {
    std::string& out = FFile.Table.FieldBuffer();
    if (!FUtf8 || std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      out.append(raw);
    } else {
      FUnmappable.clear();
      out += Utf8ToCp932Lossy(raw, &FUnmappable);
      for (std::string& ch : FUnmappable) {
        TCsvIssue issue;
        issue.Record = FFile.Table.RowCount() + 1;
        issue.Line = FRecordLine;
        issue.Column = static_cast<int>(FFile.Table.OpenFieldCount()) + 1;
        issue.Character = std::move(ch);
        Keep(std::move(issue));
      }
    }
    if (out.size() > UINT32_MAX) Fail(SJ("ファイルが大きすぎます"));
    FFile.Table.EndField();
  }

  void Note(int line, const std::string& message) {
    TCsvIssue issue;
    issue.Record = FFile.Table.RowCount() + 1;
    issue.Line = line;
    issue.Message = message;
    Keep(std::move(issue));
  }

  void Keep(TCsvIssue issue) {
    ++FFile.IssueCount;
    if (FFile.Issues.size() < FLimits.MaxIssues) FFile.Issues.push_back(std::move(issue));
  }

  [[noreturn]] void Fail(const std::string& message) {
    Exception e(message);
    e.SetLineNo(FRecordLine);
    throw e;
  }

  std::string_view FText;
  bool FUtf8;
  const TCsvLimits& FLimits;
  TCsvFile& FFile;
  size_t FPos = 0;
  int FLine = 1;
  int FRecordLine = 1;
  std::unordered_set<size_t> FLiteralQuotes;  // quotes that never close: ordinary characters
  std::string FScratch;
  std::vector<std::string> FUnmappable;
};

}  // namespace

TCsvFile ParseCsvBytes(std::string_view bytes, TEncodingChoice choice, const TCsvLimits& limits) {
  if (bytes.size() > limits.MaxFileBytes)
    throw Exception(SJ("ファイルが大きすぎます（") + std::to_string(limits.MaxFileBytes >> 20) + SJ("MBまで）"));
  TDecodedText text = DecodeTextFile(bytes, choice);
  TCsvFile file;
  file.Encoding = text.Encoding;
  TCsvReader(text.Bytes, text.Encoding != TTextEncoding::Cp932, limits, file).Run();
  return file;
}

TCsvFile ReadCsvFile(const std::string& fileName, TEncodingChoice choice, const TCsvLimits& limits) {
  try {
    return ParseCsvBytes(ReadFileBytes(fileName, static_cast<int64_t>(limits.MaxFileBytes)), choice, limits);
  } catch (Exception& e) {
    e.SetFileName(fileName);
    throw;
  }
}

std::string CsvBytes(const std::vector<std::string>& records, TCsvEncoding encoding) {
  std::string out;
  if (encoding == TCsvEncoding::Utf8) out = "\xEF\xBB\xBF";
  for (const std::string& r : records) {
    out += encoding == TCsvEncoding::Utf8 ? SjisToUtf8(r, TConvMode::Strict) : r;
    out += "\r\n";
  }
  return out;
}

}  // namespace kaede
