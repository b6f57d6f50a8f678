#include "CsvExchange.h"

#include <algorithm>
#include <memory>

#include "CommaText.h"
#include "Cp932.h"
#include "Files.h"
#include "UndoLists.h"

namespace kaede {

// ---- TCsvExporter --------------------------------------------------------------------------

void TCsvExporter::Reset(const TStrings& fieldNames) {
  FieldNames = fieldNames;
  ExportNames.clear();
  SelectedField = FieldNames.empty() ? -1 : 0;
  SelectedExport = -1;
}

void TCsvExporter::Add() {
  if (SelectedField < 0 || SelectedField >= static_cast<int>(FieldNames.size())) return;
  int at = SelectedExport >= 0 && SelectedExport < static_cast<int>(ExportNames.size()) ? SelectedExport
                                                                                       : static_cast<int>(ExportNames.size());
  ExportNames.insert(ExportNames.begin() + at, FieldNames[static_cast<size_t>(SelectedField)]);
}

void TCsvExporter::AddAll() { ExportNames = FieldNames; }

void TCsvExporter::Del() {
  if (!CanDel()) return;
  ExportNames.erase(ExportNames.begin() + SelectedExport);
  if (SelectedExport >= static_cast<int>(ExportNames.size())) SelectedExport = static_cast<int>(ExportNames.size()) - 1;
}

void TCsvExporter::DelAll() {
  ExportNames.clear();
  SelectedExport = -1;
}

void TCsvExporter::Up() {
  if (!CanUp()) return;
  std::swap(ExportNames[static_cast<size_t>(SelectedExport)], ExportNames[static_cast<size_t>(SelectedExport - 1)]);
  --SelectedExport;
}

void TCsvExporter::Down() {
  if (!CanDown()) return;
  std::swap(ExportNames[static_cast<size_t>(SelectedExport)], ExportNames[static_cast<size_t>(SelectedExport + 1)]);
  ++SelectedExport;
}

std::vector<std::string> TCsvExporter::Records(TDataList& list) const {
  std::vector<std::string> records;
  if (FirstLine) records.push_back(EncodeCommaText(ExportNames));
  // where each chosen name stands in the exchange row
  std::vector<int> at;
  for (const std::string& name : ExportNames) {
    auto it = std::find(FieldNames.begin(), FieldNames.end(), name);
    at.push_back(it == FieldNames.end() ? -1 : static_cast<int>(it - FieldNames.begin()));
  }
  TStrings row, out(ExportNames.size());
  for (int i = 0; i < list.Count(); ++i) {
    DecodeCommaText(list.Items(i)->GetExportText(), row);
    for (size_t k = 0; k < at.size(); ++k) out[k] = at[k] >= 0 && at[k] < static_cast<int>(row.size()) ? row[static_cast<size_t>(at[k])] : std::string();
    records.push_back(EncodeCommaText(out));
  }
  return records;
}

int TCsvExporter::Write(TDataList& list, const std::string& fileName, TCsvEncoding encoding) const {
  std::vector<std::string> records = Records(list);
  WriteFileAtomic(fileName, CsvBytes(records, encoding));
  return static_cast<int>(records.size()) - (FirstLine ? 1 : 0);
}

std::string TCsvExporter::ResultMessage(int count) { return std::to_string(count) + SJ("件エクスポートしました"); }

// ---- TCsvImportSession ---------------------------------------------------------------------

namespace {

// The comparison form of a header: spaces gone, upper case, full width, hiragana.
std::string Loose(const std::string& s) {
  return ConvertStr(ConvertStr(ConvertStr(DeleteSpaces(s), cvUpper), cvZenkaku), cvHiragana);
}

// Headers that name a part of a field, for files that split names and addresses into parts.
// Each part lists the header names it is known by (compared in the loose form, whole).
struct TSplitRule {
  const char* field;
  std::vector<std::vector<const char*>> parts;
  size_t required;  // how many leading parts must be present
};

const std::vector<TSplitRule>& SplitRules() {
  static const std::vector<TSplitRule> rules = {
      {"氏名",
       {{"姓", "氏", "名字", "苗字", "Family Name", "Last Name", "Surname"},
        {"名", "Given Name", "First Name"}},
       1},
      {"よみ",
       {{"セイ", "姓(よみ)", "姓（よみ）", "姓よみ", "姓ふりがな", "ふりがな(姓)", "ふりがな（姓）", "よみ(姓)",
         "Phonetic Last Name", "Phonetic Family Name", "Family Name Yomi"},
        {"メイ", "名(よみ)", "名（よみ）", "名よみ", "名ふりがな", "ふりがな(名)", "ふりがな（名）", "よみ(名)",
         "Phonetic First Name", "Phonetic Given Name", "Given Name Yomi"}},
       1},
      {"住所１",
       {{"都道府県", "Address 1 - Region"},
        {"市区町村", "市町村", "Address 1 - City"},
        {"町域", "町名", "町域名", "Address 1 - Street"},
        {"番地", "丁目番地", "丁目・番地"}},
       0},
      {"住所２", {{"建物名", "建物", "ビル名", "マンション名", "アパート・マンション名", "Address 1 - Extended Address"}}, 1},
  };
  return rules;
}

// Further whole header names of single fields that common programs write.
struct TSynonym {
  const char* field;
  std::vector<const char*> names;
};

const std::vector<TSynonym>& Synonyms() {
  static const std::vector<TSynonym> synonyms = {
      {"氏名", {"名前", "お名前", "フルネーム", "Name", "Full Name"}},
      {"よみ", {"フリガナ", "よみがな", "Yomi Name"}},
      {"郵便番号", {"Address 1 - Postal Code", "Postal Code"}},
      {"メール", {"E-mail 1 - Value", "E-mail Address"}},
      {"電話", {"Phone 1 - Value", "Phone"}},
      {"誕生日", {"生年月日", "Birthday"}},
      {"備考", {"メモ", "Notes"}},
  };
  return synonyms;
}

bool IsAddressField(const std::string& name) {
  return name == SJ("住所１") || name == SJ("住所２") || name == SJ("勤務先住所１") || name == SJ("勤務先住所２");
}

}  // namespace

void TCsvImportSession::Start(const TStrings& fieldNames, TAlias alias) {
  FieldNames = fieldNames;
  Alias = std::move(alias);
  File = TCsvFile();
  FileName.clear();
  Error.clear();
  LineFields.clear();
  SelectedLine = -1;
  SelectedRow = 0;
  SelectedColumn = -1;
  ClearMap();
}

bool TCsvImportSession::Load(const std::string& fileName) {
  FileName = fileName;
  if (!FileExists(fileName)) {
    File = TCsvFile();
    Error = SJ("指定ファイルは存在しません");
    return false;
  }
  return LoadBytes(ReadFileBytes(fileName));
}

bool TCsvImportSession::LoadBytes(const std::string& bytes) {
  File = ParseCsvBytes(bytes);
  ClearMap();
  if (File.Records.empty()) {
    Error = SJ("選択したファイルは空なのでインポートできません");
    LineFields.clear();
    SelectedLine = -1;
    return false;
  }
  Error.clear();
  SelectLine(0);
  AutoMap();
  return true;
}

TStrings TCsvImportSession::SplitLine(int line) const {
  TStrings fields;
  if (line < 0 || line >= LineCount()) return fields;
  const std::string& text = File.Records[static_cast<size_t>(line)];
  DecodeCommaText(text.find('"') == std::string::npos ? QuoteCsvLine(text) : text, fields);
  return fields;
}

void TCsvImportSession::SelectLine(int line) {
  SelectedLine = line;
  LineFields = SplitLine(line);
  SelectedRow = 0;
}

void TCsvImportSession::ClearMap() {
  Map.assign(FieldNames.size(), {});
  FUsed.reset();
}

void TCsvImportSession::MarkUsed(int column, bool used) {
  if (column >= 0 && column < 256) FUsed.set(static_cast<size_t>(column), used);
}

int TCsvImportSession::FindColumn(const std::string& name) const {
  for (int c = 0; c < static_cast<int>(LineFields.size()); ++c)
    if (!ColumnUsed(c) && LooseContains(name, LineFields[static_cast<size_t>(c)])) return c;
  return -1;
}

bool TCsvImportSession::TrySplit(int field) {
  const std::string& name = FieldNames[static_cast<size_t>(field)];
  for (const TSplitRule& rule : SplitRules()) {
    if (Utf8ToSjis(rule.field) != name) continue;
    std::vector<int> columns;
    for (size_t part = 0; part < rule.parts.size(); ++part) {
      int found = -1;
      for (int c = 0; c < static_cast<int>(LineFields.size()) && found < 0; ++c) {
        if (ColumnUsed(c)) continue;
        std::string header = Loose(LineFields[static_cast<size_t>(c)]);
        for (const char* alt : rule.parts[part])
          if (header == Loose(Utf8ToSjis(alt))) found = c;
      }
      if (found >= 0) columns.push_back(found);
      else if (part < rule.required) return false;
    }
    // an address needs two of its parts to be an address split in parts
    if (columns.empty() || (rule.required == 0 && columns.size() < 2)) return false;
    Map[static_cast<size_t>(field)] = columns;
    for (int c : columns) MarkUsed(c, true);
    return true;
  }
  return false;
}

void TCsvImportSession::AutoMap() {
  ClearMap();
  // One column per field, by the field's name and then by its aliases.
  for (size_t f = 0; f < FieldNames.size(); ++f) {
    int c = FindColumn(FieldNames[f]);
    if (c < 0 && Alias) {
      for (const std::string& alias : SplitStr(Alias(FieldNames[f]), ",")) {
        if (alias.empty()) continue;
        c = FindColumn(alias);
        if (c >= 0) break;
      }
    }
    if (c >= 0) {
      Map[f] = {c};
      MarkUsed(c, true);
    }
  }
  // Fields still without a column: names and addresses in parts, and common whole names.
  for (size_t f = 0; f < FieldNames.size(); ++f) {
    if (!Map[f].empty() || TrySplit(static_cast<int>(f))) continue;
    for (const TSynonym& s : Synonyms()) {
      if (Utf8ToSjis(s.field) != FieldNames[f]) continue;
      for (int c = 0; c < static_cast<int>(LineFields.size()) && Map[f].empty(); ++c) {
        if (ColumnUsed(c)) continue;
        std::string header = Loose(LineFields[static_cast<size_t>(c)]);
        for (const char* n : s.names)
          if (header == Loose(Utf8ToSjis(n))) {
            Map[f] = {c};
            MarkUsed(c, true);
            break;
          }
      }
    }
  }
}

void TCsvImportSession::MapSelected() {
  if (!CanMap() || SelectedRow < 0 || SelectedRow >= static_cast<int>(Map.size())) return;
  for (int c : Map[static_cast<size_t>(SelectedRow)]) MarkUsed(c, false);
  Map[static_cast<size_t>(SelectedRow)] = {SelectedColumn};
  MarkUsed(SelectedColumn, true);
  if (SelectedRow < static_cast<int>(Map.size()) - 1) ++SelectedRow;
}

void TCsvImportSession::AppendSelected() {
  if (!CanMap() || SelectedRow < 0 || SelectedRow >= static_cast<int>(Map.size())) return;
  Map[static_cast<size_t>(SelectedRow)].push_back(SelectedColumn);
  MarkUsed(SelectedColumn, true);
}

bool TCsvImportSession::CanUnmap() const {
  return SelectedRow >= 0 && SelectedRow < static_cast<int>(Map.size()) && !Map[static_cast<size_t>(SelectedRow)].empty();
}

void TCsvImportSession::Unmap() {
  if (!CanUnmap()) return;
  for (int c : Map[static_cast<size_t>(SelectedRow)]) MarkUsed(c, false);
  Map[static_cast<size_t>(SelectedRow)].clear();
}

void TCsvImportSession::UnmapAll() { ClearMap(); }

std::string TCsvImportSession::FieldValue(int field, const TStrings& fields) const {
  if (field < 0 || field >= static_cast<int>(Map.size())) return std::string();
  const std::vector<int>& columns = Map[static_cast<size_t>(field)];
  // parts of a name or reading are joined with one space, parts of an address directly
  std::string sep = IsAddressField(FieldNames[static_cast<size_t>(field)]) ? "" : " ";
  std::string value;
  for (int c : columns) {
    if (c < 0 || c >= static_cast<int>(fields.size()) || fields[static_cast<size_t>(c)].empty()) continue;
    if (!value.empty()) value += sep;
    value += fields[static_cast<size_t>(c)];
  }
  return value;
}

std::string TCsvImportSession::RowText(int field) const {
  if (field < 0 || field >= static_cast<int>(FieldNames.size())) return std::string();
  return FieldNames[static_cast<size_t>(field)] + ":" + FieldValue(field, LineFields);
}

std::string TCsvImportSession::MappingText(int field) const {
  if (field < 0 || field >= static_cast<int>(Map.size()) || Map[static_cast<size_t>(field)].empty()) return std::string();
  TStrings headers = SplitLine(0);
  std::string r = FieldNames[static_cast<size_t>(field)] + " <- ";
  bool first = true;
  for (int c : Map[static_cast<size_t>(field)]) {
    if (!first) r += " + ";
    first = false;
    r += c < static_cast<int>(headers.size()) ? headers[static_cast<size_t>(c)] : "#" + std::to_string(c + 1);
  }
  return r;
}

TImportResult TCsvImportSession::Import(TDataList& target) {
  TImportResult result;
  auto* undoList = dynamic_cast<TUndoDataList*>(&target);
  std::unique_ptr<TUndoGroup> group;
  if (undoList) group = std::make_unique<TUndoGroup>(undoList->History(), SJ("インポート"));
  target.BeginUpdate();
  try {
    std::unique_ptr<TDataItem, void (*)(TDataItem*)> probe(target.NewItem(), [](TDataItem* i) { i->Free(); });
    TStrings record(FieldNames.size());
    for (int line = NoFirstLine ? 1 : 0; line < LineCount(); ++line) {
      TStrings fields = SplitLine(line);
      for (size_t f = 0; f < FieldNames.size(); ++f) record[f] = FieldValue(static_cast<int>(f), fields);
      std::string row = EncodeCommaText(record);
      // An entry that cannot be made from its line (a date that is not one) is found on a
      // loose copy first, so that the book never holds a half-read entry.
      try {
        probe->SetImportText(row);
      } catch (const Exception& e) {
        result.Skipped.push_back(TImportProblem{line + 1, e.Message()});
        continue;
      }
      TDataItem* item = target.AddText(std::string());
      item->SetImportText(row);
      ++result.Added;
      result.AddedIds.push_back(item->Id());
    }
  } catch (...) {
    target.EndUpdate();
    throw;
  }
  target.EndUpdate();
  return result;
}

std::string TCsvImportSession::ResultMessage(int count) { return std::to_string(count) + SJ("件インポートしました"); }

}  // namespace kaede
