#include "ContactHeaderSets.h"

#include <algorithm>
#include <map>

#include "Cp932.h"

namespace kaede {

namespace {

enum TUse {
  uPart,      // a part of a field (field, part number)
  uFallback,  // the whole field when its parts give nothing
  uTel,       // telephone entries (kind: fixed, or from the label of the same number)
  uMail,      // mail entries
  uRemark,    // remark lines "kind:value"
  uLabel,     // the label of the entries of the same number
  uIgnore,    // known, not imported, and kept from the mapping by name
};

enum TNumbers { nAny, nFirst, nLater };

struct TRule {
  const char* header;  // UTF-8; "#" stands for a number, which may be absent (then it is 1)
  TUse use;
  const char* target = "";  // the field of a part or fallback; the fixed kind of an entry
  int part = 0;
  int form = vfPlain;
  TNumbers numbers = nAny;
};

struct TSet {
  const char* description;
  std::vector<const char*> signature;  // characteristic headers
  size_t need;                         // how many of them make the set
  std::vector<TRule> rules;            // the first rule that matches a header applies
};

// The exports with labelled, numbered values: names in parts with phonetic parts, numbered
// mail addresses, telephones, addresses, web sites and organisations, each value beside its
// label or type, a formatted address beside its parts, and group labels.
const TSet kLabelledValues = {
    "番号付きの値と種類の列（E-mail 1 - Value, Phone 1 - Label …）",
    {"e-mail#-value", "phone#-value", "address#-formatted", "address#-street", "website#-value"},
    1,
    {
        {"last name", uPart, "氏名", 0},
        {"family name", uPart, "氏名", 0},
        {"first name", uPart, "氏名", 1},
        {"given name", uPart, "氏名", 1},
        {"middle name", uPart, "氏名", 2},
        {"additional name", uPart, "氏名", 2},
        {"name", uFallback, "氏名"},
        {"phonetic last name", uPart, "よみ", 0},
        {"family name yomi", uPart, "よみ", 0},
        {"phonetic first name", uPart, "よみ", 1},
        {"given name yomi", uPart, "よみ", 1},
        {"phonetic middle name", uPart, "よみ", 2},
        {"additional name yomi", uPart, "よみ", 2},
        {"yomi name", uFallback, "よみ"},
        {"birthday", uPart, "誕生日"},
        {"notes", uPart, "備考", 0, vfMulti},
        {"labels", uPart, "分類", 0, vfGroups},
        {"group membership", uPart, "分類", 0, vfGroups},
        {"organization name", uPart, "勤務先名前"},
        {"organization phonetic name", uPart, "勤務先よみ"},
        {"organization department", uPart, "肩書"},
        {"organization title", uPart, "肩書３"},
        {"organization#-name", uPart, "勤務先名前", 0, vfPlain, nFirst},
        {"organization#-yomi name", uPart, "勤務先よみ", 0, vfPlain, nFirst},
        {"organization#-department", uPart, "肩書", 0, vfPlain, nFirst},
        {"organization#-title", uPart, "肩書３", 0, vfPlain, nFirst},
        {"organization#-*", uIgnore},
        {"e-mail#-value", uMail, "メール"},
        {"e-mail#-label", uLabel},
        {"e-mail#-type", uLabel},
        {"phone#-value", uTel, "TEL"},
        {"phone#-label", uLabel},
        {"phone#-type", uLabel},
        {"address#-postal code", uPart, "郵便番号", 0, vfPlain, nFirst},
        {"address#-region", uPart, "住所１", 0, vfPlain, nFirst},
        {"address#-city", uPart, "住所１", 1, vfPlain, nFirst},
        {"address#-street", uPart, "住所１", 2, vfMulti, nFirst},
        {"address#-extended address", uPart, "住所２", 0, vfMulti, nFirst},
        {"address#-formatted", uFallback, "住所１", 0, vfMulti, nFirst},
        {"address#-formatted", uRemark, "住所", 0, vfMulti, nLater},
        {"address#-label", uLabel, "", 0, vfPlain, nLater},
        {"address#-type", uLabel, "", 0, vfPlain, nLater},
        {"address#-*", uIgnore},
        {"website#-value", uPart, "ホームページ", 0, vfPlain, nFirst},
        {"website#-value", uRemark, "URL", 0, vfMulti, nLater},
        {"website#-label", uLabel, "", 0, vfPlain, nLater},
        {"website#-type", uLabel, "", 0, vfPlain, nLater},
        {"website#-*", uIgnore},
        {"name prefix", uIgnore},
        {"name suffix", uIgnore},
        {"nickname", uIgnore},
        {"file as", uIgnore},
        {"initials", uIgnore},
        {"short name", uIgnore},
        {"maiden name", uIgnore},
        {"photo", uIgnore},
    }};

// The exports with one fixed column per value and English headers ("Home Phone", "Business
// Street", "E-mail 2 Address"), the Japanese address read from state, city and street.
const TSet kFixedEnglish = {
    "項目ごとの英語の列（Home Phone, Business Street, E-mail Address …）",
    {"e-mail address", "e-mail 2 address", "mobile phone", "business phone", "business street", "home street",
     "home postal code", "business fax"},
    2,
    {
        {"last name", uPart, "氏名", 0},
        {"first name", uPart, "氏名", 1},
        {"middle name", uPart, "氏名", 2},
        {"surname yomi", uPart, "よみ", 0},
        {"given yomi", uPart, "よみ", 1},
        {"company", uPart, "勤務先名前"},
        {"company yomi", uPart, "勤務先よみ"},
        {"department", uPart, "肩書"},
        {"job title", uPart, "肩書３"},
        {"home state", uPart, "住所１", 0},
        {"home city", uPart, "住所１", 1},
        {"home street", uPart, "住所１", 2, vfMulti},
        {"home street 2", uPart, "住所２", 0},
        {"home street 3", uPart, "住所２", 1},
        {"home postal code", uPart, "郵便番号"},
        {"business state", uPart, "勤務先住所１", 0},
        {"business city", uPart, "勤務先住所１", 1},
        {"business street", uPart, "勤務先住所１", 2, vfMulti},
        {"business street 2", uPart, "勤務先住所２", 0},
        {"business street 3", uPart, "勤務先住所２", 1},
        {"business postal code", uPart, "勤務先郵便番号"},
        {"home phone#", uTel, "自宅"},
        {"mobile phone", uTel, "携帯"},
        {"business phone#", uTel, "勤務先"},
        {"company main phone", uTel, "勤務先"},
        {"business fax", uTel, "FAX"},
        {"home fax", uTel, "FAX"},
        {"other fax", uTel, "FAX"},
        {"pager", uTel, "ポケベル"},
        {"car phone", uTel, "車"},
        {"other phone", uTel, "TEL"},
        {"primary phone", uTel, "TEL"},
        {"e-mail#address", uMail, "メール"},
        {"e-mail#type", uIgnore},
        {"e-mail#display name", uIgnore},
        {"web page", uPart, "ホームページ"},
        {"personal web page", uRemark, "URL"},
        {"birthday", uPart, "誕生日"},
        {"anniversary", uRemark, "記念日"},
        {"notes", uPart, "備考", 0, vfMulti},
        {"categories", uPart, "分類", 0, vfSemicolons},
        {"title", uIgnore},
        {"suffix", uIgnore},
        {"nickname", uIgnore},
        {"home country/region", uIgnore},
        {"business country/region", uIgnore},
        {"other country/region", uIgnore},
    }};

// The same kind of export with Japanese headers ("自宅電話", "番地 (自宅)", "フリガナ (姓)").
const TSet kFixedJapanese = {
    "項目ごとの日本語の列（自宅電話, 番地 (自宅), 電子メール アドレス …）",
    {"携帯電話", "会社電話", "自宅電話", "電子メール アドレス", "番地 (自宅)", "郵便番号 (自宅)", "フリガナ (姓)",
     "番地 (会社)"},
    2,
    {
        {"姓", uPart, "氏名", 0},
        {"名", uPart, "氏名", 1},
        {"ミドル ネーム", uPart, "氏名", 2},
        {"フリガナ (姓)", uPart, "よみ", 0},
        {"フリガナ (名)", uPart, "よみ", 1},
        {"会社名", uPart, "勤務先名前"},
        {"フリガナ (会社名)", uPart, "勤務先よみ"},
        {"部署", uPart, "肩書"},
        {"役職", uPart, "肩書３"},
        {"都道府県 (自宅)", uPart, "住所１", 0},
        {"市区町村 (自宅)", uPart, "住所１", 1},
        {"番地 (自宅)", uPart, "住所１", 2, vfMulti},
        {"番地 2 (自宅)", uPart, "住所２", 0},
        {"番地 3 (自宅)", uPart, "住所２", 1},
        {"郵便番号 (自宅)", uPart, "郵便番号"},
        {"都道府県 (会社)", uPart, "勤務先住所１", 0},
        {"市区町村 (会社)", uPart, "勤務先住所１", 1},
        {"番地 (会社)", uPart, "勤務先住所１", 2, vfMulti},
        {"番地 2 (会社)", uPart, "勤務先住所２", 0},
        {"番地 3 (会社)", uPart, "勤務先住所２", 1},
        {"郵便番号 (会社)", uPart, "勤務先郵便番号"},
        {"国 (自宅)", uIgnore},
        {"国 (会社)", uIgnore},
        {"自宅電話#", uTel, "自宅"},
        {"携帯電話", uTel, "携帯"},
        {"会社電話#", uTel, "勤務先"},
        {"会社代表電話", uTel, "勤務先"},
        {"自宅 FAX", uTel, "FAX"},
        {"会社 FAX", uTel, "FAX"},
        {"その他の FAX", uTel, "FAX"},
        {"ポケットベル", uTel, "ポケベル"},
        {"その他の電話", uTel, "TEL"},
        {"電子メール#アドレス", uMail, "メール"},
        {"電子メール#の種類", uIgnore},
        {"電子メール#表示名", uIgnore},
        {"Web ページ", uPart, "ホームページ"},
        {"誕生日", uPart, "誕生日"},
        {"メモ", uPart, "備考", 0, vfMulti},
        {"分類項目", uPart, "分類", 0, vfSemicolons},
        {"分類", uPart, "分類", 0, vfSemicolons},
        {"敬称", uIgnore},
    }};

// The exports with "Primary Email", "Mobile Number" and the birthday in three columns.
const TSet kPrimaryMail = {
    "主と副のメールの列（Primary Email, Mobile Number, Home ZipCode …）",
    {"primary email", "secondary email", "mobile number", "home zipcode", "work zipcode", "fax number", "pager number",
     "birth year"},
    2,
    {
        {"last name", uPart, "氏名", 0},
        {"first name", uPart, "氏名", 1},
        {"display name", uFallback, "氏名"},
        {"primary email", uMail, "メール"},
        {"secondary email", uMail, "メール"},
        {"home phone", uTel, "自宅"},
        {"work phone", uTel, "勤務先"},
        {"mobile number", uTel, "携帯"},
        {"fax number", uTel, "FAX"},
        {"pager number", uTel, "ポケベル"},
        {"home state", uPart, "住所１", 0},
        {"home city", uPart, "住所１", 1},
        {"home address", uPart, "住所１", 2},
        {"home address 2", uPart, "住所２"},
        {"home zipcode", uPart, "郵便番号"},
        {"work state", uPart, "勤務先住所１", 0},
        {"work city", uPart, "勤務先住所１", 1},
        {"work address", uPart, "勤務先住所１", 2},
        {"work address 2", uPart, "勤務先住所２"},
        {"work zipcode", uPart, "勤務先郵便番号"},
        {"organization", uPart, "勤務先名前"},
        {"department", uPart, "肩書"},
        {"job title", uPart, "肩書３"},
        {"web page 1", uPart, "ホームページ"},
        {"web page 2", uRemark, "URL"},
        {"birth year", uPart, "誕生日", 0},
        {"birth month", uPart, "誕生日", 1},
        {"birth day", uPart, "誕生日", 2},
        {"notes", uPart, "備考", 0, vfMulti},
        {"nickname", uIgnore},
        {"screen name", uIgnore},
        {"home country", uIgnore},
        {"work country", uIgnore},
    }};

const TSet* const kSets[] = {&kLabelledValues, &kFixedEnglish, &kFixedJapanese, &kPrimaryMail};

// Whether a header key matches a pattern key: "#" takes a run of digits (none gives 1), "*"
// at the end takes the rest.
bool Matches(const std::string& pattern, const std::string& key, int& number) {
  number = 1;
  size_t p = 0, k = 0;
  while (p < pattern.size()) {
    char c = pattern[p];
    if (c == '*' && p + 1 == pattern.size()) return true;
    if (c == '#') {
      size_t start = k;
      while (k < key.size() && key[k] >= '0' && key[k] <= '9') ++k;
      if (k > start) {
        if (k - start > 4) return false;
        number = std::stoi(key.substr(start, k - start));
      }
      ++p;
      continue;
    }
    if (k >= key.size() || key[k] != c) return false;
    ++p;
    ++k;
  }
  return k == key.size();
}

struct TCompiledRule {
  std::string key;
  const TRule* rule;
};

const std::vector<TCompiledRule>& Compiled(const TSet& set) {
  static std::map<const TSet*, std::vector<TCompiledRule>> cache;
  auto it = cache.find(&set);
  if (it != cache.end()) return it->second;
  std::vector<TCompiledRule>& rules = cache[&set];
  for (const TRule& r : set.rules) rules.push_back({HeaderKey(Utf8ToSjis(r.header)), &r});
  return rules;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A label without the mark of the preferred value ("* Home") and without spaces at its ends.
std::string CleanLabel(const std::string& label) {
  std::string s = label;
  if (s.compare(0, 2, "* ") == 0) s.erase(0, 2);
  size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

}  // namespace

std::string HeaderKey(const std::string& header) {
  std::string s = HankakuAscii(header);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (IsLeadByte(c) && i + 1 < s.size()) {
      out += c;
      out += s[++i];
    } else if (c != ' ' && c != '_' && c != '\t') {
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  return out;
}

std::string TelKindOfLabel(const std::string& label) {
  std::string clean = CleanLabel(label), l = Lower(clean);
  if (l.empty() || l == "main" || l == "other" || l == "voice") return "TEL";
  if (l == "mobile" || l == "cell" || l == "iphone") return SJ("携帯");
  if (l == "home") return SJ("自宅");
  if (l == "work" || l == "business") return SJ("勤務先");
  if (l.find("fax") != std::string::npos) return "FAX";
  if (l == "pager") return SJ("ポケベル");
  return clean;
}

std::string MailKindOfLabel(const std::string& label) {
  std::string clean = CleanLabel(label), l = Lower(clean);
  if (l.empty() || l == "other" || l == "internet") return SJ("メール");
  if (l == "home") return SJ("個人");
  if (l == "work") return SJ("会社");
  if (l == "mobile") return SJ("携帯");
  return clean;
}

TStrings SplitValues(const std::string& value, int form) {
  TStrings values;
  auto keep = [&](std::string v) {
    size_t b = v.find_first_not_of(' '), e = v.find_last_not_of(' ');
    if (b != std::string::npos) values.push_back(v.substr(b, e - b + 1));
  };
  if (form == vfSemicolons) {
    for (const std::string& v : SplitStr(value, ";")) keep(v);
    return values;
  }
  if (form == vfPlain) {
    keep(value);
    return values;
  }
  for (const std::string& v : SplitStr(value, " ::: ")) {
    // labels that the exporting program keeps for itself start with "* " (its contacts, the
    // starred ones); they are no classification of the user's
    if (form == vfGroups && v.compare(0, 2, "* ") == 0) continue;
    keep(v);
  }
  return values;
}

THeaderMapping MatchHeaderSets(const TStrings& header, const TStrings& fieldNames) {
  THeaderMapping m;
  m.Fields.assign(fieldNames.size(), {});
  m.Fallback.assign(fieldNames.size(), {});
  m.Forms.assign(fieldNames.size(), vfPlain);
  std::vector<std::string> keys;
  for (const std::string& h : header) keys.push_back(HeaderKey(h));
  std::vector<bool> taken(header.size(), false);
  auto fieldOf = [&](const char* name) {
    std::string n = Utf8ToSjis(name);
    auto it = std::find(fieldNames.begin(), fieldNames.end(), n);
    return it == fieldNames.end() ? -1 : static_cast<int>(it - fieldNames.begin());
  };
  for (const TSet* set : kSets) {
    size_t found = 0;
    for (const char* sig : set->signature) {
      std::string sk = HeaderKey(Utf8ToSjis(sig));
      int n;
      if (std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return Matches(sk, k, n); })) ++found;
    }
    if (found < set->need) continue;
    m.Sets.push_back(Utf8ToSjis(set->description));
    std::vector<std::vector<std::pair<int, int>>> parts(fieldNames.size());
    std::map<std::pair<std::string, int>, int> labels;  // (pattern prefix, number) -> label column
    struct TPending {
      TEntryMap entry;
      std::string prefix;
      int number;
    };
    std::vector<TPending> pending;
    for (size_t c = 0; c < keys.size(); ++c) {
      if (taken[c]) continue;
      for (const TCompiledRule& cr : Compiled(*set)) {
        int number;
        if (!Matches(cr.key, keys[c], number)) continue;
        const TRule& r = *cr.rule;
        if ((r.numbers == nFirst && number != 1) || (r.numbers == nLater && number == 1)) continue;
        // entries and labels of the same number find each other by what precedes the number
        std::string prefix = cr.key.substr(0, cr.key.find('#'));
        int col = static_cast<int>(c);
        switch (r.use) {
          case uPart:
          case uFallback: {
            int f = fieldOf(r.target);
            if (f < 0) break;
            if (r.use == uPart) parts[static_cast<size_t>(f)].push_back({r.part, col});
            else m.Fallback[static_cast<size_t>(f)].push_back(col);
            if (r.form != vfPlain) m.Forms[static_cast<size_t>(f)] = r.form;
            break;
          }
          case uTel:
          case uMail:
          case uRemark: {
            TEntryMap e;
            e.List = r.use == uTel ? elTel : r.use == uMail ? elMail : elRemark;
            e.Column = col;
            e.Kind = Utf8ToSjis(r.target);
            pending.push_back({e, prefix, number});
            break;
          }
          case uLabel:
            labels[{prefix, number}] = col;
            break;
          case uIgnore:
            break;
        }
        taken[c] = true;
        m.Taken.push_back(col);
        break;
      }
    }
    for (TPending& p : pending) {
      auto it = labels.find({p.prefix, p.number});
      if (it != labels.end()) p.entry.LabelColumn = it->second;
      m.Entries.push_back(p.entry);
    }
    for (size_t f = 0; f < parts.size(); ++f) {
      if (parts[f].empty()) continue;
      std::stable_sort(parts[f].begin(), parts[f].end(),
                       [](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; });
      for (const auto& pc : parts[f]) m.Fields[f].push_back(pc.second);
    }
  }
  // Whatever else is numbered beside a label ("Relation 1 - Value", "Event 1 - Value",
  // "Custom Field 1 - Value") goes to the remarks under its label, once a set is known.
  if (!m.Sets.empty()) {
    for (size_t c = 0; c < keys.size(); ++c) {
      if (taken[c]) continue;
      size_t dash = keys[c].rfind("-value");
      if (dash == std::string::npos || dash + 6 != keys[c].size()) continue;
      std::string stem = keys[c].substr(0, dash);  // "relation1"
      TEntryMap e;
      e.List = elRemark;
      e.Column = static_cast<int>(c);
      e.Kind = header[c].substr(0, header[c].find(" - "));
      for (const char* suffix : {"-label", "-type"}) {
        auto it = std::find(keys.begin(), keys.end(), stem + suffix);
        if (it != keys.end()) {
          e.LabelColumn = static_cast<int>(it - keys.begin());
          taken[static_cast<size_t>(e.LabelColumn)] = true;
          m.Taken.push_back(e.LabelColumn);
        }
      }
      taken[c] = true;
      m.Taken.push_back(e.Column);
      m.Entries.push_back(e);
    }
  }
  return m;
}

}  // namespace kaede
