#pragma once
// The logic of the CSV export and import dialogs: which columns go out in which order, and
// how the columns of a foreign file map onto the entry's exchange columns.
#include <functional>
#include <string>
#include <vector>

#include "ContactHeaderSets.h"
#include "CsvFiles.h"
#include "DataLists.h"
#include "PersonColumns.h"
#include "VCards.h"

namespace kaede {

// ---- Export --------------------------------------------------------------------------------

class TCsvExporter {
public:
  TStrings FieldNames;   // every field, in table order
  TStrings ExportNames;  // the chosen fields in output order (a field may come twice)
  bool FirstLine = true;  // a header line of the chosen names
  int SelectedField = 0;
  int SelectedExport = -1;

  // Both lists emptied, the field names filled in, the first field selected.
  void Reset(const TStrings& fieldNames);

  // Inserts the selected field before the selected export entry (at the end when none is).
  void Add();
  void AddAll();
  void Del();
  void DelAll();
  void Up();
  void Down();
  bool CanDel() const { return SelectedExport >= 0 && SelectedExport < static_cast<int>(ExportNames.size()); }
  bool CanDelAll() const { return !ExportNames.empty(); }
  // Any entry but the first can move up, any entry but the last down.
  bool CanUp() const { return SelectedExport > 0 && SelectedExport < static_cast<int>(ExportNames.size()); }
  bool CanDown() const { return SelectedExport >= 0 && SelectedExport < static_cast<int>(ExportNames.size()) - 1; }

  // The records to write: the header (when on), then one per visible item in view order.
  std::vector<std::string> Records(TDataList& list) const;
  // The file's bytes, and the number of data lines in count. A record that cannot be
  // written in the encoding raises an error naming its entry.
  std::string Bytes(TDataList& list, TCsvEncoding encoding, int& count) const;
  // Writes the file (atomically) and gives the number of data lines.
  int Write(TDataList& list, const std::string& fileName, TCsvEncoding encoding = TCsvEncoding::Cp932) const;
  static std::string ResultMessage(int count);  // "n件エクスポートしました"
};

// ---- Import --------------------------------------------------------------------------------

// A line the import could not take, with the reason.
struct TImportProblem {
  int Line = 0;  // 1-based line of the file
  std::string Message;
};

struct TImportResult {
  int Added = 0;                   // entries made from lines
  std::vector<int32_t> AddedIds;   // their Ids (places of work that came with them not included)
  // The first Id the import could give: every item made by it (places of work included) has
  // this Id or a later one.
  int32_t FirstId = 0;
  int Blank = 0;                   // lines without a value for any mapped field: skipped
  std::vector<TImportProblem> Skipped;
};

class TCsvImportSession {
public:
  using TAlias = std::function<std::string(const std::string& fieldName)>;

  TStrings FieldNames;
  TAlias Alias;
  TCsvFile File;
  std::string FileName;
  // The encoding asked for (automatic by default) and the message of the last load when it
  // found nothing to import (empty otherwise).
  TEncodingChoice EncodingChoice = TEncodingChoice::Auto;
  std::string Error;
  // Skip the first line (the header) when importing.
  bool NoFirstLine = true;
  int SelectedLine = -1;
  TStrings LineFields;  // the fields of the selected line
  int SelectedRow = 0;  // relation row: a field, or past the fields an entry mapping
  int SelectedColumn = -1;

  // A field maps to one column, or (for names and addresses that a file splits into parts)
  // to several columns joined in order; Fallback columns give the field when those give
  // nothing (a formatted address beside its parts); Forms say how values are read.
  std::vector<std::vector<int>> Map;
  std::vector<std::vector<int>> Fallback;
  std::vector<int> Forms;
  // Columns whose values become telephone, mail or remark entries of a kind (from the
  // export's header set), shown as relation rows after the fields.
  std::vector<TEntryMap> Entries;
  // Columns of another program that hold New Year card marks of a year: the marks a yes in
  // them sets, or 0 for a column whose cells hold the marks ("送受").
  struct TNengaColumn {
    int Column = -1;
    int Year = 0;
    uint8_t Marks = 0;
  };
  std::vector<TNengaColumn> NengaColumns;
  // The header sets recognised in the selected line (CP932 descriptions).
  TStrings HeaderSets;
  // A vCard file is read card by card instead of line by line: each card is one "line",
  // already mapped, and the mapping commands do nothing.
  TVCardFile Cards;
  bool IsVCard() const { return !Cards.Cards.empty(); }

  void Start(const TStrings& fieldNames, TAlias alias);
  // Reads the file: "指定ファイルは存在しません" and "選択したファイルは空なのでインポートできません"
  // leave no lines and give false; so does a file that cannot be read or is no text in the
  // encoding (the message names the line and column); otherwise the first line is selected
  // and mapped automatically.
  bool Load(const std::string& fileName);
  bool LoadBytes(const std::string& bytes);
  // Reads the same file again in another encoding.
  bool Reload(TEncodingChoice choice);
  // "UTF-8（自動判定）", "Shift_JIS" ...: what the lines were read as.
  std::string EncodingText() const;

  int LineCount() const { return IsVCard() ? static_cast<int>(Cards.Cards.size()) : File.RecordCount(); }
  // The fields of a line (CSV rules: spaces stay inside their fields).
  TStrings SplitLine(int line) const;
  // A line (or a card) as the file list shows it.
  std::string LineText(int line) const;
  void SelectLine(int line);

  void AutoMap();
  // Maps the selected row to the selected column, marks it used and moves to the next row.
  void MapSelected();
  // Adds the selected column to the selected row's columns (a split name or address).
  void AppendSelected();
  void Unmap();
  void UnmapAll();
  int RowCount() const { return static_cast<int>(FieldNames.size() + Entries.size()); }
  bool CanMap() const;
  bool CanUnmap() const;
  bool CanUnmapAll() const;
  bool ColumnUsed(int column) const;
  // Whether anything at all is mapped: an import without a mapping is refused.
  bool HasMapping() const;
  static std::string NoMappingMessage();

  // The value a field takes from a line's fields (its columns joined; empty when unmapped).
  std::string FieldValue(int field, const TStrings& fields) const;
  // A relation row as shown: the field name, ":" and its value in the selected line; past the
  // fields, an entry mapping as "電話（Phone 1 - Value）:携帯:090-…".
  std::string RowText(int row) const;
  // How the mapping reads, for the command line: "氏名 <- 姓 + 名".
  std::string MappingText(int field) const;
  std::string EntryMappingText(int entry) const;

  // What a line gives: the exchange columns and the entries of the header set.
  TImportRecord LineRecord(const TStrings& fields) const;

  // Adds one entry per line (from the second when NoFirstLine) inside one update bracket and
  // one undo group. A line whose entry cannot be made is skipped and reported; a line that
  // gives no value for any mapped field is skipped and counted; the lines before and after
  // are imported. Raises an error (adding nothing) when no column is mapped.
  TImportResult Import(TDataList& target);
  static std::string ResultMessage(int count);  // "n件インポートしました"
  // The same with the count of blank lines skipped.
  static std::string ResultMessage(const TImportResult& result);

private:
  void ClearMap();
  void MarkUsed(int column, bool used);
  int FindColumn(const std::string& name) const;
  bool TrySplit(int field);
  std::string ColumnName(int column) const;

  std::vector<bool> FUsed;
  std::string FBytes;  // the file as read, for reading it again in another encoding
};

}  // namespace kaede
