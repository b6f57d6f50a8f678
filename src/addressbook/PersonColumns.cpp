#include "PersonColumns.h"

#include <algorithm>

#include "CommaText.h"
#include "CsvExchange.h"
#include "Cp932.h"
#include "Dates.h"
#include "NengaMarks.h"
#include "PersonLists.h"
#include "TextEncodings.h"

namespace kaede {

namespace {

struct TColumnDef {
  const char* name;
  const char* aliases;
};

const TColumnDef kColumns[kPersonColumnCount] = {
    {"氏名", ""},
    {"よみ", "ふりがな"},
    {"敬称", ""},
    {"郵便番号", "7桁〒,〒"},
    {"住所１", "自宅住所,住所"},
    {"住所２", ""},
    {"メール", "E-MAIL,MAIL"},
    {"メール２", "メールアドレス2,MAIL2"},
    {"ホームページ", "URL,WEBページ"},
    {"電話", "TEL"},
    {"ファックス", "FAX"},
    {"携帯", ""},
    {"ポケベル", "ベル"},
    {"分類", "グループ"},
    {"肩書", "部署名"},
    {"肩書２", "部署名2"},
    {"肩書３", "役職"},
    {"勤務先名前", "会社名"},
    {"勤務先よみ", "勤務先ふりがな,会社よみ,会社ふりがな,会社名よみ,会社名ふりがな,ふりがな（会社）"},
    {"勤務先郵便番号", "勤務先〒,会社郵便番号,会社7桁〒,会社〒,〒（会社）"},
    {"勤務先住所１", "勤務先住所,会社住所,住所1（会社）"},
    {"勤務先住所２", "会社住所2,住所2（会社）"},
    {"勤務先ホームページ", "勤務先URL,会社ホームページ,会社URL"},
    {"勤務先電話", "勤務先TEL,会社電話,会社TEL"},
    {"勤務先ファックス", "勤務先FAX,会社ファックス,会社FAX"},
    {"勤務先携帯", "会社携帯"},
    {"勤務先ポケベル", "勤務先ベル,会社ポケベル,会社ベル"},
    {"連名１", "氏名（連名１）,家族１名前"},
    {"連名２", "氏名（連名２）,家族２名前"},
    {"連名３", "氏名（連名３）,家族３名前"},
    {"連名４", "氏名（連名４）,家族４名前"},
    {"連名５", "氏名（連名５）,家族５名前"},
    {"連名１敬称", "連名敬称１,敬称（連名１）,家族１敬称"},
    {"連名２敬称", "連名敬称２,敬称（連名２）,家族２敬称"},
    {"連名３敬称", "連名敬称３,敬称（連名３）,家族３敬称"},
    {"連名４敬称", "連名敬称４,敬称（連名４）,家族４敬称"},
    {"連名５敬称", "連名敬称５,敬称（連名５）,家族５敬称"},
    {"誕生日", ""},
    {"備考", ""},
    {"登録日", ""},
    {"更新日", ""},
};

// The kind and value of a "kind:value" entry; a line without ":" is all value.
void SplitEntry(const std::string& line, std::string& kind, std::string& value) {
  if (SearchAll(":", line, 0).empty()) {
    kind.clear();
    value = line;
  } else {
    kind = LeftOf(line, ":");
    value = RightOf(line, ":");
  }
}

// The number for column 9: the TEL entry, or else the first entry whose kind no other column
// takes (FAX, 携帯 and ポケベル have their own), so that home and IP numbers are not lost.
std::string ExportedTel(const TPerson& p) {
  std::string tel = TPerson::EntryValue("TEL", p.Tels());
  if (!tel.empty()) return tel;
  const std::string own[] = {"FAX", SJ("携帯"), SJ("ポケベル")};
  for (const std::string& line : p.Tels().Lines()) {
    std::string kind, value;
    SplitEntry(line, kind, value);
    bool taken = false;
    for (const std::string& k : own) taken = taken || kind == k;
    if (!taken && !value.empty()) return value;
  }
  return std::string();
}

std::string JoinedLines(const TStrings& lines, size_t from) {
  std::string r;
  for (size_t i = from; i < lines.size(); ++i) r += lines[i];
  return r;
}

}  // namespace

const TStrings& PersonExchangeNames() {
  static const TStrings names = [] {
    TStrings v = PersonColumnNames();
    v.push_back(NengaColumnName());
    return v;
  }();
  return names;
}

bool AnyNengaMarks(TDataList& list) {
  for (int i = 0; i < list.Count(); ++i)
    if (auto* p = dynamic_cast<TPerson*>(list.Items(i)); p && !NengaMarksOf(*p).Empty()) return true;
  return false;
}

const TStrings& PersonColumnNames() {
  static const TStrings names = [] {
    TStrings v;
    for (const TColumnDef& c : kColumns) v.push_back(Utf8ToSjis(c.name));
    return v;
  }();
  return names;
}

std::string PersonColumnAlias(const std::string& name) {
  static const TStrings aliases = [] {
    TStrings v;
    for (const TColumnDef& c : kColumns) v.push_back(Utf8ToSjis(c.aliases));
    return v;
  }();
  const TStrings& names = PersonColumnNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return aliases[i];
  return std::string();
}

TStrings PersonExportRow(const TPerson& p) {
  TStrings c(kPersonColumnCount);
  c[pcName] = p.Name();
  c[pcYomi] = p.Yomi();
  c[pcKeisyo] = p.Keisyo();
  c[pcPostal] = p.Postal();
  const TStrings& address = p.Address().Lines();
  if (!address.empty()) c[pcAddress1] = address[0];
  c[pcAddress2] = JoinedLines(address, 1);
  c[pcMail] = p.MailAddress(0);
  c[pcMail2] = p.MailAddress(1);
  c[pcUrl] = p.Url();
  c[pcTel] = ExportedTel(p);
  c[pcFax] = TPerson::EntryValue("FAX", p.Tels());
  c[pcMobile] = TPerson::EntryValue(SJ("携帯"), p.Tels());
  c[pcPager] = TPerson::EntryValue(SJ("ポケベル"), p.Tels());
  c[pcClassify] = p.Classify().Count() ? EncodeCommaText(p.Classify().Lines()) : std::string();
  TStrings title = SplitStr(p.Title(), " ");
  for (size_t i = 0; i < 3 && i < title.size(); ++i) c[pcTitle + i] = title[i];
  if (const TPerson* w = p.RelatedPerson(SJ("勤務先"))) {
    c[pcWorkName] = w->Name();
    c[pcWorkYomi] = w->Yomi();
    c[pcWorkPostal] = w->Postal();
    const TStrings& wa = w->Address().Lines();
    if (!wa.empty()) c[pcWorkAddress1] = wa[0];
    c[pcWorkAddress2] = JoinedLines(wa, 1);
    c[pcWorkUrl] = w->Url();
    c[pcWorkTel] = TPerson::EntryValue("TEL", w->Tels());
    c[pcWorkFax] = TPerson::EntryValue("FAX", w->Tels());
    c[pcWorkMobile] = TPerson::EntryValue(SJ("携帯"), w->Tels());
    c[pcWorkPager] = TPerson::EntryValue(SJ("ポケベル"), w->Tels());
  }
  const TStrings& renmei = p.Renmei().Lines();
  for (size_t i = 0; i < 5 && i < renmei.size(); ++i) {
    c[pcRenmei1 + i] = LeftOf(renmei[i], "|");
    c[pcRenmeiKeisyo1 + i] = RightOf(renmei[i], "|");
  }
  // the New Year card marks have a column of their own: 備考 goes out as one comma text and
  // comes back as one line, in which they would no longer read as marks
  TStrings remarks = RemarksWithoutNenga(p.Remarks().Lines());
  c[pcRemarks] = remarks.empty() ? std::string() : EncodeCommaText(remarks);
  c[pcRegistered] = DateToText(p.Registered());
  c[pcUpdated] = DateToText(p.Updated());
  c.push_back(NengaMarksOf(p).Body());
  return c;
}

std::string TPerson::GetExportText() const { return EncodeCommaText(PersonExportRow(*this)); }

TStrings ImportLines(const std::string& value) {
  TStrings lines;
  std::string line;
  auto finish = [&] {
    size_t b = line.find_first_not_of(' ');
    size_t e = line.find_last_not_of(' ');
    if (b != std::string::npos) lines.push_back(line.substr(b, e - b + 1));
    line.clear();
  };
  for (size_t i = 0; i < value.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(value[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      finish();
    } else if (c == '\t') {
      line += ' ';
    } else if (IsControlByte(c)) {
      // dropped: no control byte may reach a book line
    } else {
      line += static_cast<char>(c);
      // a trail byte is never a control byte, but it must not be read as one either
      if (IsLeadByte(c) && i + 1 < value.size()) line += value[++i];
    }
  }
  finish();
  return lines;
}

std::string ImportText(const std::string& value) {
  bool clean = std::none_of(value.begin(), value.end(), [](char c) { return IsControlByte(static_cast<unsigned char>(c)); });
  if (clean && (value.empty() || (value.front() != ' ' && value.back() != ' '))) return value;
  return JoinStr(ImportLines(value), " ");
}

std::string ImportDateText(const std::string& value) {
  // a date of zeros ("0/0/00") is how some programs write that there is none
  if (!value.empty() && value.find_first_not_of("0/-. ") == std::string::npos) return std::string();
  std::string v = value.substr(0, value.find('T'));
  auto digits = [](const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; };
  if (v.size() == 10 && v[4] == '-' && v[7] == '-' && digits(v.substr(0, 4)) && digits(v.substr(5, 2)) && digits(v.substr(8, 2)))
    return v.substr(0, 4) + "/" + v.substr(5, 2) + "/" + v.substr(8, 2);
  if (v.size() == 8 && digits(v)) return v.substr(0, 4) + "/" + v.substr(4, 2) + "/" + v.substr(6, 2);
  if (v.size() == 7 && v.compare(0, 2, "--") == 0 && v[4] == '-' && digits(v.substr(2, 2)) && digits(v.substr(5, 2)))
    return v.substr(2, 2) + "/" + v.substr(5, 2);
  if (v.size() == 6 && v.compare(0, 2, "--") == 0 && digits(v.substr(2))) return v.substr(2, 2) + "/" + v.substr(4, 2);
  return value;
}

bool TImportRecord::Empty() const {
  auto blank = [](const TStrings& list) {
    return std::all_of(list.begin(), list.end(), [](const std::string& v) { return ImportText(v).empty(); });
  };
  // a birthday of zeros is how some programs write that there is none
  for (size_t i = 0; i < Columns.size(); ++i) {
    const std::string& v = Columns[i];
    if (i == pcBirthday ? !ImportDateText(ImportText(v)).empty() : !ImportText(v).empty()) return false;
  }
  return blank(Tels) && blank(Mails) && blank(Remarks) && blank(Relations) && blank(Renmei) && Nenga.Empty();
}

void TPerson::SetImportText(const std::string& row) {
  TStrings c;
  DecodeCommaText(row, c);
  // Address and remark columns keep their lines; every other column is one line.
  TStrings lines[kPersonColumnCount];
  for (int i : {pcAddress1, pcAddress2, pcWorkAddress1, pcWorkAddress2, pcRemarks}) {
    if (i < static_cast<int>(c.size())) lines[i] = ImportLines(c[static_cast<size_t>(i)]);
  }
  for (size_t i = 0; i < c.size() && i < static_cast<size_t>(kPersonColumnCount); ++i)
    if (i != pcClassify) c[i] = ImportText(c[i]);
  auto col = [&](int i) -> const std::string& {
    static const std::string empty;
    return i < static_cast<int>(c.size()) ? c[static_cast<size_t>(i)] : empty;
  };
  // Dates are read first: a date that is not one stops the import of this row before
  // anything changed.
  auto dateOf = [](const std::string& text) { return TextToDate(LeftOf(text, " ")); };
  TDateValue registered = col(pcRegistered).empty() ? NoDate : dateOf(col(pcRegistered));
  TDateValue updated = col(pcUpdated).empty() ? NoDate : dateOf(col(pcUpdated));

  TPerson* work = nullptr;
  BeginChange();
  try {
    Clear();
    TPersonFields& f = F();
    if (!col(pcName).empty()) f.Name = col(pcName);
    if (!col(pcYomi).empty()) f.Yomi = ConvertStr(ConvertStr(col(pcYomi), cvZenkaku), cvHiragana);
    if (!col(pcKeisyo).empty() && col(pcKeisyo) != SJ("（自動）") && col(pcKeisyo) != SJ("(自動)"))
      f.Keisyo = col(pcKeisyo);
    if (!col(pcPostal).empty()) f.Postal = ReplaceStrAll(col(pcPostal), "-", "");
    for (int i : {pcAddress1, pcAddress2})
      for (const std::string& line : lines[i]) f.Address.Raw().push_back(line);
    for (int i : {pcMail, pcMail2})
      if (!col(i).empty()) f.Mails.Raw().push_back(SJ("メール:") + col(i));
    if (!col(pcUrl).empty()) f.Url = col(pcUrl);
    const std::string telKinds[] = {"TEL:", "FAX:", SJ("携帯:"), SJ("ポケベル:")};
    for (int i = 0; i < 4; ++i)
      if (!col(pcTel + i).empty()) f.Tels.Raw().push_back(telKinds[i] + col(pcTel + i));
    if (!col(pcClassify).empty()) {
      for (const std::string& name : DecodeCommaText(col(pcClassify)))
        if (std::string clean = ImportText(name); !clean.empty()) f.Classify.Raw().push_back(clean);
    }
    if (c.size() >= 17 && (!col(pcTitle).empty() || !col(pcTitle2).empty() || !col(pcTitle3).empty())) {
      // the pieces of a title, one space between them (and none after the last)
      TStrings pieces;
      for (int i : {pcTitle, pcTitle2, pcTitle3})
        if (!col(i).empty()) pieces.push_back(col(i));
      f.Title = JoinStr(pieces, " ");
    }
    bool hasWork = false;
    for (int i = pcWorkName; i <= pcWorkFax; ++i) hasWork = hasWork || !col(i).empty();
    if (hasWork && f.Name.empty() && !col(pcWorkName).empty()) {
      // a row of an organisation alone is that company's own entry: no nameless person and
      // no relation to one
      f.Name = col(pcWorkName);
      if (f.Yomi.empty() && !col(pcWorkYomi).empty()) f.Yomi = ConvertStr(ConvertStr(col(pcWorkYomi), cvZenkaku), cvHiragana);
      if (f.Postal.empty() && !col(pcWorkPostal).empty()) f.Postal = ReplaceStrAll(col(pcWorkPostal), "-", "");
      if (f.Address.Raw().empty())
        for (int i : {pcWorkAddress1, pcWorkAddress2})
          for (const std::string& line : lines[i]) f.Address.Raw().push_back(line);
      if (f.Url.empty() && !col(pcWorkUrl).empty()) f.Url = col(pcWorkUrl);
      if (!col(pcWorkTel).empty()) f.Tels.Raw().push_back("TEL:" + col(pcWorkTel));
      if (!col(pcWorkFax).empty()) f.Tels.Raw().push_back("FAX:" + col(pcWorkFax));
      hasWork = false;
    }
    if (hasWork) {
      work = TDataItem::Make<TPerson>(nullptr);
      TPersonFields& w = work->F();
      if (!col(pcWorkName).empty()) {
        w.Name = col(pcWorkName);
        w.Relations.Raw().push_back((f.Title.empty() ? SJ("社員") : f.Title) + ":" + f.Name);
        f.Relations.Raw().push_back(SJ("勤務先:") + col(pcWorkName));
        // the company name goes before the title; without a title it is the whole title
        f.Title = f.Title.empty() ? col(pcWorkName) : col(pcWorkName) + " " + f.Title;
      }
      if (!col(pcWorkYomi).empty()) w.Yomi = col(pcWorkYomi);
      if (!col(pcWorkPostal).empty()) w.Postal = ReplaceStrAll(col(pcWorkPostal), "-", "");
      for (int i : {pcWorkAddress1, pcWorkAddress2})
        for (const std::string& line : lines[i]) w.Address.Raw().push_back(line);
      if (!col(pcWorkUrl).empty()) w.Url = col(pcWorkUrl);
      if (!col(pcWorkTel).empty()) w.Tels.Raw().push_back("TEL:" + col(pcWorkTel));
      if (!col(pcWorkFax).empty()) w.Tels.Raw().push_back("FAX:" + col(pcWorkFax));
    }
    if (!col(pcWorkMobile).empty()) f.Tels.Raw().push_back(SJ("会社携帯:") + col(pcWorkMobile));
    if (!col(pcWorkPager).empty()) f.Tels.Raw().push_back(SJ("会社ベル:") + col(pcWorkPager));
    for (int i = 0; i < 5; ++i) {
      const std::string& name = col(pcRenmei1 + i);
      if (name.empty()) continue;
      const std::string& hon = col(pcRenmeiKeisyo1 + i);
      // "様" and automatic honorifics are what a joint name gets anyway: not stored
      bool keep = !hon.empty() && hon != SJ("様") && !LooseContains(hon, SJ("(自動)"));
      f.Renmei.Raw().push_back(keep ? name + "|" + hon : name);
    }
    if (std::string birthday = ImportDateText(col(pcBirthday)); !birthday.empty())
      f.Remarks.Raw().push_back(SJ("誕生日:") + birthday);
    for (const std::string& line : lines[pcRemarks]) f.Remarks.Raw().push_back(line);
    if (c.size() > static_cast<size_t>(pcNenga)) {
      // the 年賀状 column, with or without its prefix; what does not read as marks is kept
      std::string v = ImportText(c[pcNenga]);
      TNengaMarks marks;
      if (TNengaMarks::Parse(v, marks, false)) f.Remarks.Raw().push_back(marks.Line());
      else if (!v.empty()) f.Remarks.Raw().push_back(v.rfind(NengaPrefix(), 0) == 0 ? v : NengaPrefix() + v);
      UniteNengaLines(f.Remarks.Raw());
    }
    f.Registered = registered;
    f.Updated = updated;
    Invalidate();
  } catch (...) {
    if (work) work->Free();
    EndChange();
    throw;
  }
  EndChange();
  if (work) {
    // the place of work becomes an entry of the same book (one per imported row)
    if (TDataList* list = Owner()) list->AddText(work->GetText());
    work->Free();
  }
}

void ImportPerson(TPerson& p, const TImportRecord& r) {
  p.BeginChange();
  try {
    p.SetImportText(EncodeCommaText(r.Columns));
    auto add = [](TNotifyStrings& to, const TStrings& from) {
      for (const std::string& v : from)
        if (std::string clean = ImportText(v); !clean.empty()) to.Raw().push_back(clean);
    };
    add(p.Tels(), r.Tels);
    add(p.Mails(), r.Mails);
    add(p.Relations(), r.Relations);
    add(p.Renmei(), r.Renmei);
    for (const std::string& v : r.Remarks)
      for (const std::string& line : ImportLines(v)) p.Remarks().Raw().push_back(line);
    if (!r.Nenga.Empty()) p.Remarks().Raw().push_back(r.Nenga.Line());
    UniteNengaLines(p.Remarks().Raw());
  } catch (...) {
    p.EndChange();
    throw;
  }
  p.EndChange();
}

void CompleteImport(TPersonList& book, const TImportResult& result) {
  TUndoLock lock(book.History());
  book.UnifyFormat(ufAll);
  TDateValue today = Today();
  // every entry made since the import began: the imported ones and their places of work
  for (int i = 0; i < book.AllCount(); ++i) {
    TPerson* p = book.AllPersons(i);
    if (p->Id() >= result.FirstId && result.FirstId > 0 && SameDate(p->Registered(), NoDate)) p->SetRegistered(today);
  }
}

const TStrings& TableColumnNames() {
  static const TStrings names = SplitStr(SJ("名前,よみ,〒,住所,TEL,FAX,携帯,E-MAIL,ホームページ,分類,勤務先名,勤務先よみ,"
                                            "勤務先〒,勤務先住所,勤務先TEL,勤務先FAX,勤務先携帯,勤務先ホームページ,敬称,肩書,"
                                            "連名,備考,登録日,更新日,年賀状"),
                                         ",");
  return names;
}

std::string PersonTableCellText(const TPerson& p, const std::string& column, int& align) {
  // The place of work is looked up (a walk over the book) only for its own columns: a table
  // asks for every cell, twice, and most columns never need it.
  const std::string& work = SJ("勤務先");
  const TPerson* w = column.rfind(work, 0) == 0 ? p.RelatedPerson(work) : nullptr;
  auto centred = [&](std::string text) {
    align = 0;
    return text;
  };
  auto joined = [](const TStrings& lines, const std::string& sep) { return JoinStr(lines, sep); };
  if (column == SJ("名前")) return p.Name();
  if (column == SJ("よみ")) return p.Yomi();
  if (column == SJ("〒")) return centred(p.PrintPostal());
  if (column == SJ("住所")) return p.PrintAddressText();
  if (column == "TEL") {
    std::string v = TPerson::EntryValue("TEL", p.Tels());
    if (v.empty() && p.Tels().Count() > 0) v = p.TelNumber(0);
    return centred(v);
  }
  if (column == "FAX" || column == SJ("携帯")) return centred(TPerson::EntryValue(column, p.Tels()));
  if (column == "Mail" || column == "E-MAIL") {
    TStrings values;
    for (int i = 0; i < p.Mails().Count(); ++i) values.push_back(p.MailAddress(i));
    return joined(values, SJ("／"));
  }
  if (column == SJ("ホームページ")) return p.Url();
  if (column == SJ("勤務先名")) return w ? w->Name() : std::string();
  if (column == SJ("勤務先よみ")) return w ? w->Yomi() : std::string();
  if (column == SJ("勤務先〒")) return w ? w->Postal() : std::string();
  if (column == SJ("勤務先ホームページ")) return w ? w->Url() : std::string();
  if (column == SJ("勤務先住所")) return w ? w->AddressText() : std::string();
  if (column == SJ("勤務先TEL")) return centred(w ? TPerson::EntryValue("TEL", w->Tels()) : std::string());
  if (column == SJ("勤務先FAX")) return centred(w ? TPerson::EntryValue("FAX", w->Tels()) : std::string());
  if (column == SJ("勤務先携帯")) return centred(w ? TPerson::EntryValue(SJ("携帯"), w->Tels()) : std::string());
  if (column == SJ("敬称")) return p.Keisyo();
  if (column == SJ("肩書き") || column == SJ("肩書")) return p.Title();
  if (column == SJ("連名")) return joined(p.Renmei().Lines(), SJ("／"));
  if (column == SJ("備考")) return JoinStr(RemarksWithoutNenga(p.Remarks().Lines()), "");
  if (column == NengaColumnName()) {
    // the card year of the book's lists, the coming one when the book has none
    const TPersonList* list = p.PersonList();
    int year = list && list->NengaYear() ? list->NengaYear() : DefaultCardYear(Today());
    return centred(NengaTableText(NengaMarksOf(p), year));
  }
  if (column == SJ("登録日")) return DateToText(p.Registered());
  if (column == SJ("更新日")) return DateToText(p.Updated());
  return std::string();
}

}  // namespace kaede
