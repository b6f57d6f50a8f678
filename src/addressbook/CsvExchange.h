#pragma once
// The logic of the CSV export and import dialogs: which columns go out in which order, and
// how the columns of a foreign file map onto the entry's exchange columns.
#include <bitset>
#include <functional>
#include <string>
#include <vector>

#include "CsvFiles.h"
#include "DataLists.h"

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
  std::vector<TImportProblem> Skipped;
};

class TCsvImportSession {
public:
  using TAlias = std::function<std::string(const std::string& fieldName)>;

  TStrings FieldNames;
  TAlias Alias;
  TCsvFile File;
  std::string FileName;
  // The message of the last load when it found nothing to import; empty otherwise.
  std::string Error;
  // Skip the first line (the header) when importing.
  bool NoFirstLine = true;
  int SelectedLine = -1;
  TStrings LineFields;  // the fields of the selected line
  int SelectedRow = 0;  // relation row (field)
  int SelectedColumn = -1;

  // A field maps to one column, or (for names and addresses that a file splits into parts)
  // to several columns joined in order.
  std::vector<std::vector<int>> Map;

  void Start(const TStrings& fieldNames, TAlias alias);
  // Reads the file: "指定ファイルは存在しません" and "選択したファイルは空なのでインポートできません"
  // leave no lines and give false; otherwise the first line is selected and mapped automatically.
  bool Load(const std::string& fileName);
  bool LoadBytes(const std::string& bytes);

  int LineCount() const { return static_cast<int>(File.Records.size()); }
  // The fields of a line; a line without any double quote is split with every comma quoted,
  // so that spaces stay inside their fields.
  TStrings SplitLine(int line) const;
  void SelectLine(int line);

  void AutoMap();
  // Maps the selected row to the selected column, marks it used and moves to the next row.
  void MapSelected();
  // Adds the selected column to the selected row's columns (a split name or address).
  void AppendSelected();
  void Unmap();
  void UnmapAll();
  bool CanMap() const { return SelectedColumn >= 0 && SelectedColumn < static_cast<int>(LineFields.size()); }
  bool CanUnmap() const;
  bool CanUnmapAll() const { return FUsed.any(); }
  bool ColumnUsed(int column) const { return column >= 0 && column < 256 && FUsed.test(static_cast<size_t>(column)); }

  // The value a field takes from a line's fields (its columns joined; empty when unmapped).
  std::string FieldValue(int field, const TStrings& fields) const;
  // A relation row as shown: the field name, ":" and its value in the selected line.
  std::string RowText(int field) const;
  // How the mapping reads, for the command line: "氏名 <- 姓 + 名".
  std::string MappingText(int field) const;

  // Adds one entry per line (from the second when NoFirstLine) inside one update bracket and
  // one undo group. A line whose entry cannot be made is skipped and reported; the lines
  // before and after it are imported.
  TImportResult Import(TDataList& target);
  static std::string ResultMessage(int count);  // "n件インポートしました"

private:
  void ClearMap();
  void MarkUsed(int column, bool used);
  int FindColumn(const std::string& name) const;
  bool TrySplit(int field);

  std::bitset<256> FUsed;
};

}  // namespace kaede
