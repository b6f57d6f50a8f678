#include "CsvExchange.h"

#include <algorithm>
#include <memory>

#include "CommaText.h"
#include "Cp932.h"
#include "ContactHeaderSets.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "TextEncodings.h"
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

std::string TCsvExporter::Bytes(TDataList& list, TCsvEncoding encoding, int& count) const {
  std::vector<std::string> records = Records(list);
  count = static_cast<int>(records.size()) - (FirstLine ? 1 : 0);
  if (encoding == TCsvEncoding::Utf8) {
    // A byte that is not CP932 cannot go out as UTF-8: the error names the entry it is in.
    for (size_t i = 0; i < records.size(); ++i) {
      try {
        SjisToUtf8(records[i], TConvMode::Strict);
      } catch (const EEncodingError& e) {
        int item = static_cast<int>(i) - (FirstLine ? 1 : 0);
        std::string who = item >= 0 ? SJ("「") + list.Items(item)->GetCaption() + SJ("」") : SJ("項目名の行");
        throw Exception(who + SJ("に Shift_JIS の文字でないバイトがあるため、UTF-8 で書き出せません（") + e.Message() + SJ("）"));
      }
    }
  }
  return CsvBytes(records, encoding);
}

int TCsvExporter::Write(TDataList& list, const std::string& fileName, TCsvEncoding encoding) const {
  int count = 0;
  std::string bytes = Bytes(list, encoding, count);
  WriteFileAtomic(fileName, bytes);
  return count;
}

std::string TCsvExporter::ResultMessage(int count) { return std::to_string(count) + SJ("件エクスポートしました"); }

// ---- TCsvImportSession ---------------------------------------------------------------------

namespace {

// The comparison form of a header: spaces gone, upper case, full width, hiragana.
std::string Loose(const std::string& s) {
  return ConvertStr(ConvertStr(ConvertStr(DeleteSpaces(s), cvUpper), cvZenkaku), cvHiragana);
}

// Headers that name a part of a field, for files that split names and addresses into parts
// with Japanese headers. Each part lists the header names it is known by (compared in the
// loose form, whole).
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

// What separates the parts of a field: nothing inside an address, "/" inside a date given as
// year, month and day, one space elsewhere (a family and a given name).
std::string PartSeparator(const std::string& name) {
  if (IsAddressField(name)) return std::string();
  if (name == SJ("誕生日")) return "/";
  return " ";
}

std::string EntryListName(TEntryList list) {
  switch (list) {
    case elTel: return SJ("電話");
    case elMail: return SJ("メール");
    case elRemark: return SJ("備考");
  }
  return std::string();
}

std::string Cell(const TStrings& fields, int column) {
  return column >= 0 && column < static_cast<int>(fields.size()) ? fields[static_cast<size_t>(column)] : std::string();
}

// The entries ("kind:value") a mapping gives in a line: one per value of its cell, of the kind
// its label names (or its own kind without a label).
TStrings EntryValues(const TEntryMap& e, const TStrings& fields) {
  std::string label = e.LabelColumn >= 0 ? Cell(fields, e.LabelColumn) : std::string();
  std::string kind = e.Kind;
  if (!label.empty()) {
    if (e.List == elTel) kind = TelKindOfLabel(label);
    else if (e.List == elMail) kind = MailKindOfLabel(label);
    else if (TStrings l = SplitValues(label, vfMulti); !l.empty()) kind = l[0];
  }
  TStrings out;
  for (const std::string& v : SplitValues(Cell(fields, e.Column), vfMulti)) {
    // a remark of a date of zeros ("0/0/00") says there is no date
    if (e.List == elRemark && ImportDateText(v).empty()) continue;
    out.push_back(kind.empty() ? v : kind + ":" + v);
  }
  return out;
}

}  // namespace

void TCsvImportSession::Start(const TStrings& fieldNames, TAlias alias) {
  FieldNames = fieldNames;
  Alias = std::move(alias);
  File = TCsvFile();
  Cards = TVCardFile();
  FileName.clear();
  FBytes.clear();
  EncodingChoice = TEncodingChoice::Auto;
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
    Cards = TVCardFile();
    FBytes.clear();
    ClearMap();
    Error = SJ("指定ファイルは存在しません");
    return false;
  }
  try {
    FBytes = ReadFileBytes(fileName, static_cast<int64_t>(TCsvLimits().MaxFileBytes));
  } catch (const Exception& e) {
    File = TCsvFile();
    Cards = TVCardFile();
    FBytes.clear();
    ClearMap();
    Error = e.what();
    return false;
  }
  return Reload(EncodingChoice);
}

bool TCsvImportSession::LoadBytes(const std::string& bytes) {
  FBytes = bytes;
  return Reload(EncodingChoice);
}

bool TCsvImportSession::Reload(TEncodingChoice choice) {
  EncodingChoice = choice;
  ClearMap();
  LineFields.clear();
  SelectedLine = -1;
  File = TCsvFile();
  Cards = TVCardFile();
  try {
    if (LooksLikeVCard(FBytes)) Cards = ParseVCards(FBytes);
    else File = ParseCsvBytes(FBytes, choice);
  } catch (Exception& e) {
    if (!FileName.empty()) e.SetFileName(FileName);
    Error = e.what();
    return false;
  }
  if (LineCount() == 0) {
    Error = SJ("選択したファイルは空なのでインポートできません");
    return false;
  }
  Error.clear();
  SelectLine(0);
  if (!IsVCard()) AutoMap();
  return true;
}

std::string TCsvImportSession::EncodingText() const {
  if (IsVCard()) return "vCard";
  std::string name = EncodingName(File.Encoding);
  return EncodingChoice == TEncodingChoice::Auto ? name + SJ("（自動判定）") : name;
}

TStrings TCsvImportSession::SplitLine(int line) const {
  if (!IsVCard()) return File.Record(line);
  if (line < 0 || line >= LineCount()) return TStrings();
  return Cards.Cards[static_cast<size_t>(line)].Record.Columns;
}

std::string TCsvImportSession::LineText(int line) const {
  if (!IsVCard()) return File.Table.DisplayText(line);
  if (line < 0 || line >= LineCount()) return std::string();
  const TImportRecord& r = Cards.Cards[static_cast<size_t>(line)].Record;
  TStrings shown;
  for (const std::string& v : r.Columns)
    if (!v.empty()) shown.push_back(ImportText(v));
  for (const TStrings* list : {&r.Tels, &r.Mails})
    for (const std::string& v : *list) shown.push_back(v);
  return EncodeCommaText(shown);
}

void TCsvImportSession::SelectLine(int line) {
  SelectedLine = line;
  LineFields = SplitLine(line);
  SelectedRow = 0;
}

void TCsvImportSession::ClearMap() {
  Map.assign(FieldNames.size(), {});
  Fallback.assign(FieldNames.size(), {});
  Forms.assign(FieldNames.size(), vfPlain);
  Entries.clear();
  NengaColumns.clear();
  HeaderSets.clear();
  FUsed.clear();
}

void TCsvImportSession::MarkUsed(int column, bool used) {
  if (column < 0) return;
  if (static_cast<size_t>(column) >= FUsed.size()) FUsed.resize(static_cast<size_t>(column) + 1, false);
  FUsed[static_cast<size_t>(column)] = used;
}

bool TCsvImportSession::ColumnUsed(int column) const {
  return column >= 0 && static_cast<size_t>(column) < FUsed.size() && FUsed[static_cast<size_t>(column)];
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
  // The header sets of known exports come first: they know which of several similar columns
  // holds the value ("E-mail 1 - Value", not "E-mail 1 - Label") and keep the others away.
  THeaderMapping sets = MatchHeaderSets(LineFields, FieldNames);
  HeaderSets = sets.Sets;
  for (int c : sets.Taken) MarkUsed(c, true);
  for (size_t f = 0; f < FieldNames.size(); ++f) {
    Map[f] = sets.Fields[f];
    Fallback[f] = sets.Fallback[f];
    Forms[f] = sets.Forms[f];
  }
  Entries = sets.Entries;
  // Columns of New Year card marks per year ("2026年賀状送付", "喪中2025", "2025") before the
  // fields, so that 年賀状 and the other fields do not take them by their names.
  std::string nengaNames;
  for (int c = 0; c < static_cast<int>(LineFields.size()); ++c) {
    int year = 0;
    uint8_t marks = 0;
    if (ColumnUsed(c) || !NengaColumnOfHeader(LineFields[static_cast<size_t>(c)], year, marks)) continue;
    NengaColumns.push_back(TNengaColumn{c, year, marks});
    MarkUsed(c, true);
    nengaNames += (nengaNames.empty() ? "" : SJ("、")) + LineFields[static_cast<size_t>(c)];
  }
  if (!nengaNames.empty()) HeaderSets.push_back(SJ("年賀状の記録（") + nengaNames + SJ("）"));
  // One column per field, by the field's name and then by its aliases.
  for (size_t f = 0; f < FieldNames.size(); ++f) {
    if (!Map[f].empty() || !Fallback[f].empty()) continue;
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
    if (!Map[f].empty() || !Fallback[f].empty() || TrySplit(static_cast<int>(f))) continue;
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

bool TCsvImportSession::CanMap() const {
  return !IsVCard() && SelectedColumn >= 0 && SelectedColumn < static_cast<int>(LineFields.size()) && SelectedRow >= 0 &&
         SelectedRow < static_cast<int>(FieldNames.size());
}

void TCsvImportSession::MapSelected() {
  if (!CanMap()) return;
  size_t row = static_cast<size_t>(SelectedRow);
  for (int c : Map[row]) MarkUsed(c, false);
  for (int c : Fallback[row]) MarkUsed(c, false);
  Map[row] = {SelectedColumn};
  Fallback[row].clear();
  Forms[row] = vfPlain;
  MarkUsed(SelectedColumn, true);
  if (SelectedRow < static_cast<int>(Map.size()) - 1) ++SelectedRow;
}

void TCsvImportSession::AppendSelected() {
  if (!CanMap()) return;
  Map[static_cast<size_t>(SelectedRow)].push_back(SelectedColumn);
  MarkUsed(SelectedColumn, true);
}

bool TCsvImportSession::CanUnmap() const {
  if (SelectedRow < 0 || IsVCard()) return false;
  size_t row = static_cast<size_t>(SelectedRow);
  if (row < Map.size()) return !Map[row].empty() || !Fallback[row].empty();
  return row - Map.size() < Entries.size();
}

void TCsvImportSession::Unmap() {
  if (!CanUnmap()) return;
  size_t row = static_cast<size_t>(SelectedRow);
  if (row < Map.size()) {
    for (int c : Map[row]) MarkUsed(c, false);
    for (int c : Fallback[row]) MarkUsed(c, false);
    Map[row].clear();
    Fallback[row].clear();
    Forms[row] = vfPlain;
    return;
  }
  const TEntryMap& e = Entries[row - Map.size()];
  MarkUsed(e.Column, false);
  if (e.LabelColumn >= 0) MarkUsed(e.LabelColumn, false);
  Entries.erase(Entries.begin() + static_cast<long>(row - Map.size()));
}

void TCsvImportSession::UnmapAll() {
  if (!IsVCard()) ClearMap();
}

bool TCsvImportSession::CanUnmapAll() const {
  if (IsVCard()) return false;
  return std::find(FUsed.begin(), FUsed.end(), true) != FUsed.end() || !Entries.empty();
}

bool TCsvImportSession::HasMapping() const {
  if (IsVCard()) return true;  // a card says what each value is
  for (size_t f = 0; f < Map.size(); ++f)
    if (!Map[f].empty() || !Fallback[f].empty()) return true;
  return !Entries.empty() || !NengaColumns.empty();
}

std::string TCsvImportSession::NoMappingMessage() {
  return SJ("インポートする項目がひとつも割り当てられていません。ファイルの列を住所録の項目に割り当ててください。");
}

std::string TCsvImportSession::FieldValue(int field, const TStrings& fields) const {
  if (field < 0 || field >= static_cast<int>(Map.size())) return std::string();
  const std::string& name = FieldNames[static_cast<size_t>(field)];
  std::string sep = PartSeparator(name);
  auto join = [&](const std::vector<int>& columns) {
    std::string value;
    for (int c : columns) {
      if (c < 0 || c >= static_cast<int>(fields.size()) || fields[static_cast<size_t>(c)].empty()) continue;
      if (!value.empty()) value += sep;
      value += fields[static_cast<size_t>(c)];
    }
    return value;
  };
  std::string value = join(Map[static_cast<size_t>(field)]);
  if (value.empty()) value = join(Fallback[static_cast<size_t>(field)]);
  int form = Forms[static_cast<size_t>(field)];
  if (form == vfPlain || value.empty()) return value;
  TStrings values = SplitValues(value, form);
  // a list of classifications is comma text in the exchange row; other values become lines
  if (name == SJ("分類")) return values.empty() ? std::string() : EncodeCommaText(values);
  return JoinStr(values, "\r\n");
}

std::string TCsvImportSession::ColumnName(int column) const {
  TStrings headers = SplitLine(0);
  return column < static_cast<int>(headers.size()) ? headers[static_cast<size_t>(column)] : "#" + std::to_string(column + 1);
}

std::string TCsvImportSession::RowText(int row) const {
  if (row < 0) return std::string();
  if (IsVCard()) {
    if (row >= static_cast<int>(FieldNames.size()) || SelectedLine < 0 || SelectedLine >= LineCount()) return std::string();
    const TImportRecord& r = Cards.Cards[static_cast<size_t>(SelectedLine)].Record;
    std::string value = ImportText(r.Columns[static_cast<size_t>(row)]);
    // a card's telephones, mails and further remarks are shown with the field of their kind
    const TStrings* more = row == pcTel ? &r.Tels : row == pcMail ? &r.Mails : row == pcRemarks ? &r.Remarks : nullptr;
    if (more) {
      TStrings all;
      if (!value.empty()) all.push_back(value);
      all.insert(all.end(), more->begin(), more->end());
      value = JoinStr(all, SJ("／"));
    }
    return FieldNames[static_cast<size_t>(row)] + ":" + value;
  }
  if (row < static_cast<int>(FieldNames.size())) {
    std::string value = FieldValue(row, LineFields);
    // the entries that a header set adds to the telephones, mails or remarks show with them
    TEntryList list = row == pcTel ? elTel : row == pcMail ? elMail : elRemark;
    if (row == pcTel || row == pcMail || row == pcRemarks) {
      TStrings all;
      if (!value.empty()) all.push_back(ImportText(value));
      for (const TEntryMap& e : Entries)
        if (e.List == list)
          for (std::string& v : EntryValues(e, LineFields)) all.push_back(std::move(v));
      value = JoinStr(all, SJ("／"));
    }
    return FieldNames[static_cast<size_t>(row)] + ":" + value;
  }
  size_t e = static_cast<size_t>(row) - FieldNames.size();
  if (e >= Entries.size()) return std::string();
  const TEntryMap& m = Entries[e];
  std::string caption = EntryListName(m.List) + SJ("（") + ColumnName(m.Column) + SJ("）") + ":";
  TStrings values = EntryValues(m, LineFields);
  return caption + JoinStr(values, SJ("／"));
}

std::string TCsvImportSession::MappingText(int field) const {
  if (field < 0 || field >= static_cast<int>(Map.size())) return std::string();
  const std::vector<int>& columns = Map[static_cast<size_t>(field)];
  const std::vector<int>& fallback = Fallback[static_cast<size_t>(field)];
  if (columns.empty() && fallback.empty()) return std::string();
  std::string r = FieldNames[static_cast<size_t>(field)] + " <- ";
  for (size_t i = 0; i < columns.size(); ++i) r += (i ? " + " : "") + ColumnName(columns[i]);
  for (size_t i = 0; i < fallback.size(); ++i) r += (i || !columns.empty() ? " | " : "") + ColumnName(fallback[i]);
  return r;
}

std::string TCsvImportSession::EntryMappingText(int entry) const {
  if (entry < 0 || entry >= static_cast<int>(Entries.size())) return std::string();
  const TEntryMap& e = Entries[static_cast<size_t>(entry)];
  std::string r = EntryListName(e.List) + " <- " + ColumnName(e.Column);
  r += e.LabelColumn >= 0 ? SJ("（種類: ") + ColumnName(e.LabelColumn) + SJ("）") : SJ("（種類: ") + e.Kind + SJ("）");
  return r;
}

TImportRecord TCsvImportSession::LineRecord(const TStrings& fields) const {
  TImportRecord r;
  r.Columns.assign(FieldNames.size(), std::string());
  for (size_t f = 0; f < FieldNames.size(); ++f) r.Columns[f] = FieldValue(static_cast<int>(f), fields);
  for (const TEntryMap& e : Entries) {
    TStrings& to = e.List == elTel ? r.Tels : e.List == elMail ? r.Mails : r.Remarks;
    for (std::string& v : EntryValues(e, fields)) to.push_back(std::move(v));
  }
  for (const TNengaColumn& n : NengaColumns)
    if (n.Column < static_cast<int>(fields.size()))
      r.Nenga.Set(n.Year, NengaMarksOfCell(fields[static_cast<size_t>(n.Column)], n.Marks), true);
  return r;
}

TImportResult TCsvImportSession::Import(TDataList& target) {
  if (!HasMapping()) throw Exception(NoMappingMessage());
  TImportResult result;
  // A book holds at most so many entries when it is opened again: an import that would pass
  // that adds nothing, rather than leave a book that cannot be opened.
  if (auto* book = dynamic_cast<TPersonList*>(&target)) {
    const int first = NoFirstLine && !IsVCard() ? 1 : 0;
    size_t most = book->Limits.Lines, rows = static_cast<size_t>(std::max(0, LineCount() - first));
    if (static_cast<size_t>(book->AllCount()) + rows > most)
      throw Exception(SJ("住所録に入る件数を超えるため、インポートできません（") + std::to_string(most) +
                      SJ("件まで、この住所録には") + std::to_string(book->AllCount()) + SJ("件あります）"));
  }
  auto* undoList = dynamic_cast<TUndoDataList*>(&target);
  std::unique_ptr<TUndoGroup> group;
  if (undoList) group = std::make_unique<TUndoGroup>(undoList->History(), SJ("インポート"));
  target.BeginUpdate();
  try {
    std::unique_ptr<TDataItem, void (*)(TDataItem*)> probe(target.NewItem(), [](TDataItem* i) { i->Free(); });
    result.FirstId = probe->Id();
    auto fill = [](TDataItem* item, const TImportRecord& record) {
      if (auto* person = dynamic_cast<TPerson*>(item)) ImportPerson(*person, record);
      else item->SetImportText(EncodeCommaText(record.Columns));
    };
    // a CSV file may start with its header; a vCard file has none
    for (int line = NoFirstLine && !IsVCard() ? 1 : 0; line < LineCount(); ++line) {
      TImportRecord record = IsVCard() ? Cards.Cards[static_cast<size_t>(line)].Record : LineRecord(SplitLine(line));
      if (record.Empty()) {
        ++result.Blank;
        continue;
      }
      int fileLine = IsVCard() ? Cards.Cards[static_cast<size_t>(line)].Line : File.Table.LineOf(line);
      // An entry that cannot be made from its line (a date that is not one) is found on a
      // loose copy first, so that the book never holds a half-read entry.
      try {
        fill(probe.get(), record);
      } catch (const Exception& e) {
        result.Skipped.push_back(TImportProblem{fileLine, e.Message()});
        continue;
      }
      TDataItem* item = target.AddText(std::string());
      fill(item, record);
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

std::string TCsvImportSession::ResultMessage(const TImportResult& result) {
  std::string text = ResultMessage(result.Added);
  if (result.Blank > 0) text += SJ("（値のない行 ") + std::to_string(result.Blank) + SJ(" 件は飛ばしました）");
  return text;
}

}  // namespace kaede
