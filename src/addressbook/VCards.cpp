#include "VCards.h"

#include <algorithm>

#include "CommaText.h"
#include "Cp932.h"
#include "CsvFiles.h"
#include "Dates.h"
#include "Files.h"
#include "NengaMarks.h"
#include "PersonLists.h"

namespace kaede {

namespace {

// ---- Reading: lines and properties ----------------------------------------------------------

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool IsStandardType(const std::string& upper) {
  static const char* const known[] = {"PREF", "VOICE", "HOME", "WORK", "CELL", "MOBILE", "FAX", "PAGER", "MSG",
                                      "BBS", "MODEM", "CAR", "ISDN", "VIDEO", "PCS", "INTERNET", "X400", "TEXT",
                                      "TEXTPHONE", "MAIN", "OTHER", "IPHONE", "QUOTED-PRINTABLE", "8BIT", "DOM",
                                      "INTL", "POSTAL", "PARCEL"};
  return std::find(std::begin(known), std::end(known), upper) != std::end(known);
}

std::string WithoutQuotes(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '"') out += c;
  return out;
}

struct TProperty {
  std::string Name;  // upper case, without its group ("item1.EMAIL" gives EMAIL)
  std::vector<std::pair<std::string, std::string>> Params;  // upper-case names; bare values have the name TYPE
  std::string Value;  // the raw bytes after the colon
  int Line = 0;

  // The values of a parameter, each comma-separated piece on its own. A quoted value is a
  // list of types when every piece is a standard type ("cell,voice"), else one value.
  std::vector<std::string> Param(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& p : Params) {
      if (p.first != name) continue;
      TStrings pieces;
      std::string cur;
      bool quoted = false;
      for (char c : p.second) {
        if (c == '"') {
          quoted = !quoted;
          if (!quoted) {
            TStrings inner = SplitStr(cur, ",");
            bool types = std::all_of(inner.begin(), inner.end(), [](const std::string& t) { return IsStandardType(Upper(t)); });
            if (types) pieces.insert(pieces.end(), inner.begin(), inner.end());
            else pieces.push_back(cur);
            cur.clear();
          }
        } else if (c == ',' && !quoted) {
          if (!cur.empty()) pieces.push_back(cur);
          cur.clear();
        } else {
          cur += c;
        }
      }
      if (!cur.empty() || pieces.empty()) pieces.push_back(cur);
      out.insert(out.end(), pieces.begin(), pieces.end());
    }
    return out;
  }
  bool Has(const std::string& name, const std::string& value) const {
    for (const std::string& v : Param(name))
      if (Upper(v) == value) return true;
    return false;
  }
  // The first value of a parameter, as written.
  std::string First(const std::string& name) const {
    for (const auto& p : Params)
      if (p.first == name) return WithoutQuotes(p.second);
    return std::string();
  }
};

// Splits a content line into name, parameters and value; quotes protect ";" ":" and ",".
bool ParseProperty(const std::string& line, TProperty& p) {
  size_t i = 0;
  bool quoted = false;
  std::vector<std::string> parts;
  std::string cur;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') quoted = !quoted;  // kept: a quoted parameter value is one value
    if (!quoted && c == ':') break;
    if (!quoted && c == ';') {
      parts.push_back(cur);
      cur.clear();
      continue;
    }
    cur += c;
  }
  if (i >= line.size()) return false;
  parts.push_back(cur);
  p.Value = line.substr(i + 1);
  std::string name = Upper(parts[0]);
  size_t dot = name.rfind('.');
  p.Name = dot == std::string::npos ? name : name.substr(dot + 1);
  p.Params.clear();
  for (size_t k = 1; k < parts.size(); ++k) {
    size_t eq = parts[k].find('=');
    if (eq == std::string::npos) p.Params.emplace_back("TYPE", parts[k]);
    else p.Params.emplace_back(Upper(parts[k].substr(0, eq)), parts[k].substr(eq + 1));
  }
  return !p.Name.empty();
}

bool IsQuotedPrintable(const std::string& headerUpper) {
  return headerUpper.find("QUOTED-PRINTABLE") != std::string::npos;
}

// The content lines of a file: folded lines joined (a line starting with a space or tab
// continues the one before), quoted-printable soft breaks ("=" at the end) joined, and, in
// the oldest form, a backslash at the end of a line taken as a line break of the value.
std::vector<std::pair<int, std::string>> ContentLines(std::string_view text) {
  std::vector<std::pair<int, std::string>> out;
  size_t pos = 0;
  int line = 0;
  bool softBreak = false;  // the last line ended with a quoted-printable "="
  bool backslash = false;  // the last line ended with a backslash line break
  bool v21 = false;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::string_view phys = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    ++line;
    if (!out.empty() && (softBreak || backslash)) {
      out.back().second.append(phys);
    } else if (!out.empty() && !phys.empty() && (phys[0] == ' ' || phys[0] == '\t')) {
      out.back().second.append(phys.substr(1));
    } else if (phys.empty()) {
      softBreak = backslash = false;
      continue;
    } else {
      out.emplace_back(line, std::string(phys));
    }
    std::string& cur = out.back().second;
    if (Upper(cur.substr(0, 8)) == "VERSION:") v21 = cur.find("2.1", 8) != std::string::npos;
    size_t colon = cur.find(':');
    softBreak = !cur.empty() && cur.back() == '=' && colon != std::string::npos &&
                IsQuotedPrintable(Upper(cur.substr(0, colon)));
    if (softBreak) cur.pop_back();
    // an odd number of backslashes at the end, after an ASCII byte (a CP932 trail byte may
    // be 0x5C too; an even number is an escaped backslash)
    size_t slashes = 0;
    while (slashes < cur.size() && cur[cur.size() - 1 - slashes] == '\\') ++slashes;
    backslash = v21 && !softBreak && slashes % 2 == 1 && cur.size() > slashes &&
                static_cast<unsigned char>(cur[cur.size() - 1 - slashes]) < 0x80 && colon != std::string::npos;
    if (backslash) {
      cur.pop_back();
      cur += "\r\n";
    }
  }
  return out;
}

std::string DecodeQuotedPrintable(const std::string& s) {
  std::string out;
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '=' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool IsSjisCharset(const std::string& charset) {
  std::string c = Upper(charset);
  return c == "SHIFT_JIS" || c == "SHIFT-JIS" || c == "SJIS" || c == "CP932" || c == "X-SJIS" || c == "WINDOWS-31J" ||
         c == "MS_KANJI" || c == "CSSHIFTJIS";
}

// CP932 text of a value's bytes: in the charset the property names, else in the file's.
std::string ToCp932(const std::string& bytes, bool utf8, TVCardFile& file, int line) {
  bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return bytes;
  bool validUtf8 = IsValidUtf8(bytes), validSjis = IsValidSjis(bytes);
  if ((utf8 && validUtf8) || (!validSjis && validUtf8)) {
    std::vector<std::string> bad;
    std::string out = Utf8ToCp932Lossy(bytes, &bad);
    for (std::string& b : bad) file.Unmappable.emplace_back(line, std::move(b));
    return out;
  }
  if (validSjis) return bytes;
  return Utf8ToSjis(SjisToUtf8(bytes, TConvMode::Replace), TConvMode::Replace);
}

// Splits CP932 text at a separator that no backslash escapes.
TStrings SplitEscaped(const std::string& s, char sep) {
  TStrings out(1);
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (IsLeadByte(c) && i + 1 < s.size()) {
      out.back() += c;
      out.back() += s[++i];
    } else if (c == '\\' && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0x80) {
      // (a backslash before a double-byte character escapes nothing: the character stays whole)
      out.back() += c;
      out.back() += s[++i];
    } else if (c == sep) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

// Undoes the backslash escapes of a CP932 value: \n gives a line break, \\ \, \; and \: their
// character. A backslash before a double-byte character stays as it is, and the character whole.
std::string Unescape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (IsLeadByte(c) && i + 1 < s.size()) {
      out += c;
      out += s[++i];
    } else if (c == '\\' && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0x80) {
      char n = s[++i];
      if (n == 'n' || n == 'N') out += "\r\n";
      else if (n == '\\' || n == ',' || n == ';' || n == ':') out += n;
      else out += '\\', out += n;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Non-empty pieces joined with a separator.
std::string JoinNonEmpty(const TStrings& parts, const std::string& sep) {
  TStrings kept;
  for (const std::string& p : parts)
    if (!Trim(p).empty()) kept.push_back(Trim(p));
  return JoinStr(kept, sep);
}

// A type of the card's own naming ("実家"), when it has one: not a standard type, not an
// extension (X-...), and fit to be a kind.
std::string CustomType(const TProperty& p) {
  for (const std::string& t : p.Param("TYPE")) {
    std::string u = Upper(Trim(t));
    if (u.empty() || u.rfind("X-", 0) == 0) continue;
    if (IsStandardType(u)) continue;
    if (t.find_first_of(":|") != std::string::npos) continue;
    return Trim(t);
  }
  return std::string();
}

std::string TelKind(const TProperty& p) {
  if (p.Has("TYPE", "FAX")) return "FAX";
  if (p.Has("TYPE", "CELL") || p.Has("TYPE", "MOBILE")) return SJ("携帯");
  if (p.Has("TYPE", "PAGER")) return SJ("ポケベル");
  if (p.Has("TYPE", "HOME")) return SJ("自宅");
  if (p.Has("TYPE", "WORK")) return SJ("勤務先");
  return "TEL";
}

std::string MailKind(const TProperty& p) {
  if (p.Has("TYPE", "CELL") || p.Has("TYPE", "MOBILE")) return SJ("携帯");
  if (p.Has("TYPE", "HOME")) return SJ("個人");
  if (p.Has("TYPE", "WORK")) return SJ("会社");
  return SJ("メール");
}

// A kind as this address book writes it into its own parameter, read back exactly.
std::string OwnKind(const TProperty& p, TVCardFile& file, bool utf8) {
  std::string kind = p.First("X-KAEDE-KIND");
  if (kind.empty()) return std::string();
  kind = ToCp932(kind, utf8, file, p.Line);
  // a kind never holds the separators of an entry
  if (kind.find(':') != std::string::npos || kind.find('|') != std::string::npos) return std::string();
  return kind;
}

bool IsJapan(const std::string& country) {
  std::string c = Upper(Trim(country));
  return c.empty() || c == "JP" || c == "JAPAN" || c == SJ("日本") || c == SJ("日本国");
}

// One card's properties into an import record.
TVCard ReadCard(const std::vector<TProperty>& props, bool fileUtf8, TVCardFile& file) {
  TVCard card;
  TImportRecord& r = card.Record;
  bool own = std::any_of(props.begin(), props.end(),
                         [](const TProperty& p) { return p.Name.rfind("X-KAEDE-", 0) == 0; });
  std::string version;
  for (const TProperty& p : props)
    if (p.Name == "VERSION") version = Trim(p.Value);
  bool defaultUtf8 = fileUtf8 || version == "3.0" || version == "4.0";
  auto text = [&](const TProperty& p) -> std::string {
    std::string raw = p.Value;
    if (p.Has("ENCODING", "QUOTED-PRINTABLE") || p.Has("TYPE", "QUOTED-PRINTABLE")) raw = DecodeQuotedPrintable(raw);
    std::string charset = p.First("CHARSET");
    bool utf8 = charset.empty() ? defaultUtf8 : !IsSjisCharset(charset);
    return ToCp932(raw, utf8, file, p.Line);
  };
  auto components = [&](const TProperty& p) {
    TStrings parts = SplitEscaped(text(p), ';');
    for (std::string& s : parts) s = Unescape(s);
    return parts;
  };
  auto part = [](const TStrings& parts, size_t i) { return i < parts.size() ? parts[i] : std::string(); };

  std::string fn, nName, phoneticLast, phoneticFirst, phoneticMiddle, sound, sortString, sortAs, bday, label;
  bool haveAddress = false;
  std::string company, title;
  TStrings units, urls, notes;
  for (const TProperty& p : props) {
    const std::string& n = p.Name;
    if (n == "FN") {
      fn = Unescape(text(p));
    } else if (n == "N") {
      TStrings c = components(p);
      nName = JoinNonEmpty({part(c, 0), part(c, 1), part(c, 2)}, " ");
      std::string as = p.First("SORT-AS");
      if (!as.empty()) sortAs = JoinNonEmpty(SplitEscaped(Unescape(ToCp932(as, true, file, p.Line)), ','), " ");
    } else if (n == "X-PHONETIC-LAST-NAME") {
      phoneticLast = Unescape(text(p));
    } else if (n == "X-PHONETIC-FIRST-NAME") {
      phoneticFirst = Unescape(text(p));
    } else if (n == "X-PHONETIC-MIDDLE-NAME") {
      phoneticMiddle = Unescape(text(p));
    } else if (n == "SOUND" && p.Has("TYPE", "X-IRMC-N")) {
      TStrings c = components(p);
      sound = JoinNonEmpty({part(c, 0), part(c, 1), part(c, 2)}, " ");
    } else if (n == "SORT-STRING") {
      sortString = Unescape(text(p));
    } else if (n == "TEL") {
      std::string value = Trim(Unescape(text(p)));
      if (value.rfind("tel:", 0) == 0) value.erase(0, 4);
      std::string kind = OwnKind(p, file, defaultUtf8);
      if (kind.empty()) kind = ToCp932(CustomType(p), true, file, p.Line);
      if (kind.find(SJ("〓")) != std::string::npos) kind.clear();
      if (!value.empty()) r.Tels.push_back((kind.empty() ? TelKind(p) : kind) + ":" + value);
    } else if (n == "EMAIL") {
      std::string value = Trim(Unescape(text(p)));
      std::string kind = OwnKind(p, file, defaultUtf8);
      if (!value.empty()) r.Mails.push_back((kind.empty() ? MailKind(p) : kind) + ":" + value);
    } else if (n == "ADR") {
      TStrings c = components(p);
      // post office box, extended address, street, locality, region, postal code, country: a
      // Japanese address reads from the region down, others from the street up
      TStrings lines;
      if (IsJapan(part(c, 6))) {
        lines = {part(c, 4) + part(c, 3) + part(c, 2), part(c, 1), part(c, 0)};
      } else {
        lines = {part(c, 2), part(c, 1), part(c, 0), JoinNonEmpty({part(c, 3), part(c, 4)}, " "), part(c, 6)};
      }
      std::string address = JoinNonEmpty(lines, "\r\n");
      std::string postal = Trim(part(c, 5));
      if (address.empty() && postal.empty()) continue;
      if (!haveAddress) {
        haveAddress = true;
        r.Columns[pcPostal] = postal;
        r.Columns[pcAddress1] = address;
      } else {
        // further addresses are kept in the remarks
        std::string kind = p.Has("TYPE", "WORK") ? SJ("勤務先住所") : SJ("住所");
        r.Remarks.push_back(kind + ":" + JoinNonEmpty({postal, address}, " "));
      }
    } else if (n == "LABEL") {
      if (label.empty()) label = Unescape(text(p));
    } else if (n == "BDAY") {
      bday = Trim(Unescape(text(p)));
    } else if (n == "NOTE") {
      notes.push_back(Unescape(text(p)));
    } else if (n == "ORG") {
      TStrings c = components(p);
      company = Trim(part(c, 0));
      units.assign(c.begin() + (c.empty() ? 0 : 1), c.end());
    } else if (n == "TITLE") {
      title = Trim(Unescape(text(p)));
    } else if (n == "URL") {
      std::string u = Trim(Unescape(text(p)));
      if (!u.empty()) urls.push_back(u);
    } else if (n == "CATEGORIES") {
      TStrings c = SplitEscaped(text(p), ',');
      TStrings names;
      for (const std::string& s : c)
        if (!Trim(Unescape(s)).empty()) names.push_back(Trim(Unescape(s)));
      TStrings old = DecodeCommaText(r.Columns[pcClassify]);
      if (r.Columns[pcClassify].empty()) old.clear();
      old.insert(old.end(), names.begin(), names.end());
      if (!old.empty()) r.Columns[pcClassify] = EncodeCommaText(old);
    } else if (n == "X-KAEDE-RELATION") {
      r.Relations.push_back(Unescape(text(p)));
    } else if (n == "X-KAEDE-KEISYO") {
      r.Columns[pcKeisyo] = Unescape(text(p));
    } else if (n == "X-KAEDE-RENMEI") {
      r.Renmei.push_back(Unescape(text(p)));
    } else if (n == "X-KAEDE-REGISTERED") {
      r.Columns[pcRegistered] = Trim(Unescape(text(p)));
    } else if (n == "X-KAEDE-UPDATED") {
      r.Columns[pcUpdated] = Trim(Unescape(text(p)));
    } else if (n == "X-KAEDE-NENGA") {
      // New Year card marks; a value that does not read as marks is kept as a remark
      std::string v = Trim(Unescape(text(p)));
      TNengaMarks marks;
      if (TNengaMarks::Parse(v, marks, false)) r.Nenga.Merge(marks);
      else if (!v.empty()) r.Remarks.push_back(NengaPrefix() + v);
    }
  }
  r.Columns[pcName] = !Trim(fn).empty() ? Trim(fn) : nName;
  std::string phonetic = JoinNonEmpty({phoneticLast, phoneticFirst, phoneticMiddle}, " ");
  r.Columns[pcYomi] = !phonetic.empty() ? phonetic : !sound.empty() ? sound : !sortAs.empty() ? sortAs : sortString;
  if (!haveAddress && !label.empty()) r.Columns[pcAddress1] = label;
  // this address book's own card keeps its birthday in the remarks, which come back whole
  if (!bday.empty() && !own) r.Columns[pcBirthday] = bday;
  if (!urls.empty()) r.Columns[pcUrl] = urls[0];
  for (size_t i = 1; i < urls.size(); ++i) r.Remarks.push_back("URL:" + urls[i]);
  r.Columns[pcRemarks] = JoinStr(notes, "\r\n");
  if (own) {
    // this address book's own card: the title is kept whole, and the place of work is the
    // relation the card names (its entry comes as a card of its own)
    r.Columns[pcTitle] = title;
  } else {
    // another program's card: the organisation becomes the place of work, as in a CSV file
    r.Columns[pcWorkName] = company;
    r.Columns[pcTitle] = part(units, 0);
    r.Columns[pcTitle2] = JoinNonEmpty(TStrings(units.begin() + std::min<size_t>(1, units.size()), units.end()), " ");
    r.Columns[pcTitle3] = title;
  }
  return card;
}

}  // namespace

const size_t kMaxCards = 200000;

bool LooksLikeVCard(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    // UTF-16: the ASCII of its first characters is enough to tell
    bool little = bytes[0] == '\xFF';
    std::string start;
    for (size_t i = 2; i + 1 < bytes.size() && start.size() < 64; i += 2) {
      unsigned char hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
      unsigned char lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
      start += hi == 0 && lo < 0x80 ? static_cast<char>(lo) : '?';
    }
    return LooksLikeVCard(start);
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  size_t i = bytes.find_first_not_of(" \t\r\n");
  if (i == std::string_view::npos) return false;
  return Upper(std::string(bytes.substr(i, 11))) == "BEGIN:VCARD";
}

TVCardFile ParseVCards(std::string_view bytes, size_t maxCards) {
  if (bytes.size() > TCsvLimits().MaxFileBytes) throw Exception(SJ("ファイルが大きすぎます"));
  TVCardFile file;
  std::string text;
  bool fileUtf8 = false;
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    text = DecodeTextFile(bytes).Bytes;  // UTF-16 becomes UTF-8
    fileUtf8 = true;
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
      bytes.remove_prefix(3);
      fileUtf8 = true;
    }
    text.assign(bytes);
    fileUtf8 = fileUtf8 || IsValidUtf8(text);
  }
  std::vector<TProperty> props;
  bool inCard = false;
  int depth = 0, begin = 0;
  for (auto& [line, content] : ContentLines(text)) {
    TProperty p;
    p.Line = line;
    if (!ParseProperty(content, p)) continue;
    std::string value = Upper(Trim(p.Value));
    if (p.Name == "BEGIN" && value == "VCARD") {
      if (inCard) {
        ++depth;  // a card inside a card (AGENT): skipped
        continue;
      }
      inCard = true;
      begin = line;
      props.clear();
    } else if (p.Name == "END" && value == "VCARD") {
      if (depth > 0) {
        --depth;
        continue;
      }
      if (!inCard) continue;
      inCard = false;
      // each card takes a record of its own: their number is bounded like a book's entries
      if (file.Cards.size() >= maxCards) {
        Exception e(SJ("カードが多すぎます（") + std::to_string(maxCards) + SJ("枚まで）"));
        e.SetLineNo(begin);
        throw e;
      }
      TVCard card = ReadCard(props, fileUtf8, file);
      card.Line = begin;
      file.Cards.push_back(std::move(card));
    } else if (inCard && depth == 0) {
      props.push_back(std::move(p));
    }
  }
  if (file.Cards.empty()) {
    Exception e(SJ("vCard のデータ（BEGIN:VCARD から END:VCARD まで）がありません"));
    if (inCard) e.SetLineNo(begin);
    throw e;
  }
  return file;
}

TVCardFile ReadVCardFile(const std::string& fileName) {
  try {
    return ParseVCards(ReadFileBytes(fileName, static_cast<int64_t>(TCsvLimits().MaxFileBytes)));
  } catch (Exception& e) {
    e.SetFileName(fileName);
    throw;
  }
}

// ---- Writing --------------------------------------------------------------------------------

namespace {

// A CP932 value with the vCard escapes: backslash, comma, semicolon and line breaks.
std::string Escape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (IsLeadByte(c) && i + 1 < s.size()) {
      out += c;
      out += s[++i];
    } else if (c == '\\' || c == ',' || c == ';') {
      out += '\\';
      out += c;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

// A parameter value, quoted when it holds a separator.
std::string ParamValue(const std::string& s) {
  std::string v = ReplaceStrAll(s, "\"", "'");
  bool quote = v.find_first_of(",;:") != std::string::npos;
  return quote ? "\"" + v + "\"" : v;
}

// Appends one content line: CP932 converted to UTF-8 and folded at 75 bytes, never inside a
// character.
void Line(std::string& out, const std::string& sjis) {
  std::string u = SjisToUtf8(sjis, TConvMode::Strict);
  size_t start = 0, width = 75;
  while (u.size() - start > width) {
    size_t cut = start + width;
    while (cut > start && (static_cast<unsigned char>(u[cut]) & 0xC0) == 0x80) --cut;
    out.append(u, start, cut - start);
    out += "\r\n ";
    start = cut;
    width = 74;  // the leading space counts
  }
  out.append(u, start, std::string::npos);
  out += "\r\n";
}

// The first space (ASCII or full width) of a text, for splitting a name in two.
void SplitAtSpace(const std::string& s, std::string& first, std::string& rest) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ') {
      first = s.substr(0, i);
      rest = s.substr(i + 1);
      return;
    }
    if (IsLeadByte(s[i])) {
      if (s.compare(i, 2, SJ("　")) == 0) {
        first = s.substr(0, i);
        rest = s.substr(i + 2);
        return;
      }
      ++i;
    }
  }
  first = s;
  rest.clear();
}

// The BDAY value of the first remark "誕生日:" that holds a date: year/month/day gives
// 1980-04-01, month/day gives --04-01; empty when there is none.
std::string BirthdayValue(const TStrings& remarks) {
  for (const std::string& line : remarks) {
    if (line.rfind(SJ("誕生日:"), 0) != 0) continue;
    TStrings parts = SplitStr(Trim(line.substr(SJ("誕生日:").size())), "/");
    auto number = [](const std::string& s, size_t maxDigits) {
      return !s.empty() && s.size() <= maxDigits && s.find_first_not_of("0123456789") == std::string::npos;
    };
    auto two = [](const std::string& s) { return s.size() == 1 ? "0" + s : s; };
    if (parts.size() == 3 && parts[0].size() == 4 && number(parts[0], 4) && number(parts[1], 2) && number(parts[2], 2))
      return parts[0] + "-" + two(parts[1]) + "-" + two(parts[2]);
    if (parts.size() == 2 && number(parts[0], 2) && number(parts[1], 2)) return "--" + two(parts[0]) + "-" + two(parts[1]);
  }
  return std::string();
}

std::string TelTypes(const std::string& kind) {
  if (kind == "TEL") return "VOICE";
  if (kind == "FAX") return "FAX";
  if (kind == SJ("携帯") || kind == SJ("会社携帯")) return "CELL";
  if (kind == SJ("ポケベル") || kind == SJ("会社ベル")) return "PAGER";
  if (kind == SJ("自宅")) return "HOME,VOICE";
  if (kind == SJ("勤務先")) return "WORK,VOICE";
  return "VOICE";
}

std::string MailTypes(const std::string& kind) {
  if (kind == SJ("個人")) return "INTERNET,HOME";
  if (kind == SJ("会社")) return "INTERNET,WORK";
  if (kind == SJ("携帯")) return "INTERNET,CELL";
  return "INTERNET";
}

void Entries(std::string& out, const char* name, const TNotifyStrings& list, std::string (*types)(const std::string&)) {
  for (const std::string& entry : list.Lines()) {
    bool hasKind = !SearchAll(":", entry, 0).empty();
    std::string kind = hasKind ? LeftOf(entry, ":") : std::string();
    std::string value = hasKind ? RightOf(entry, ":") : entry;
    std::string line = std::string(name) + ";TYPE=" + types(kind);
    if (!kind.empty()) line += ";X-KAEDE-KIND=" + ParamValue(kind);
    Line(out, line + ":" + Escape(value));
  }
}

}  // namespace

std::string PersonToVCard(const TPerson& p) {
  std::string out;
  try {
    Line(out, "BEGIN:VCARD");
    Line(out, "VERSION:3.0");
    Line(out, "PRODID:-//Kaede Address//vCard//JA");
    Line(out, "FN:" + Escape(p.Name()));
    std::string family, given;
    SplitAtSpace(p.Name(), family, given);
    Line(out, "N:" + Escape(family) + ";" + Escape(given) + ";;;");
    if (!p.Yomi().empty()) {
      std::string last, first;
      SplitAtSpace(p.Yomi(), last, first);
      Line(out, "X-PHONETIC-LAST-NAME:" + Escape(last));
      if (!first.empty()) Line(out, "X-PHONETIC-FIRST-NAME:" + Escape(first));
      Line(out, "SORT-STRING:" + Escape(p.Yomi()));
    }
    Entries(out, "TEL", p.Tels(), TelTypes);
    Entries(out, "EMAIL", p.Mails(), MailTypes);
    if (p.Address().Count() > 0 || !p.Postal().empty()) {
      std::string street = Escape(JoinStr(p.Address().Lines(), "\r\n"));
      Line(out, "ADR;TYPE=HOME:;;" + street + ";;;" + Escape(p.Postal()) + ";");
    }
    if (!p.Url().empty()) Line(out, "URL:" + Escape(p.Url()));
    if (p.Classify().Count() > 0) {
      TStrings names;
      for (const std::string& c : p.Classify().Lines()) names.push_back(Escape(c));
      Line(out, "CATEGORIES:" + JoinStr(names, ","));
    }
    // the New Year card marks go in a property of their own, before the remarks without them
    if (TNengaMarks marks = NengaMarksOf(p); !marks.Empty()) Line(out, "X-KAEDE-NENGA:" + Escape(marks.Body()));
    if (TStrings remarks = RemarksWithoutNenga(p.Remarks().Lines()); !remarks.empty())
      Line(out, "NOTE:" + Escape(JoinStr(remarks, "\r\n")));
    // a birthday in the remarks ("誕生日:1980/04/01", or "誕生日:04/01" without a year) also
    // goes out as BDAY, which phones and other address books show
    std::string birthday = BirthdayValue(p.Remarks().Lines());
    if (!birthday.empty()) Line(out, "BDAY:" + birthday);
    if (!p.Title().empty()) Line(out, "TITLE:" + Escape(p.Title()));
    std::string work = TPerson::EntryValue(SJ("勤務先"), p.Relations());
    if (!work.empty()) Line(out, "ORG:" + Escape(work));
    for (const std::string& r : p.Relations().Lines()) Line(out, "X-KAEDE-RELATION:" + Escape(r));
    if (!p.Keisyo().empty()) Line(out, "X-KAEDE-KEISYO:" + Escape(p.Keisyo()));
    for (const std::string& r : p.Renmei().Lines()) Line(out, "X-KAEDE-RENMEI:" + Escape(r));
    if (!SameDate(p.Registered(), NoDate)) Line(out, "X-KAEDE-REGISTERED:" + DateToText(p.Registered()));
    if (!SameDate(p.Updated(), NoDate)) Line(out, "X-KAEDE-UPDATED:" + DateToText(p.Updated()));
    Line(out, "END:VCARD");
  } catch (const EEncodingError& e) {
    throw Exception(SJ("「") + p.Name() + SJ("」に Shift_JIS の文字でないバイトがあるため、vCard に書き出せません（") +
                    e.Message() + SJ("）"));
  }
  return out;
}

std::string VCardsOfList(TDataList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i)
    if (auto* p = dynamic_cast<TPerson*>(list.Items(i))) out += PersonToVCard(*p);
  return out;
}

}  // namespace kaede
