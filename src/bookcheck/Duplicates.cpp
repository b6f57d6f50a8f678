#include "Duplicates.h"

#include "NengaMarks.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "AddressChecks.h"
#include "NengaMarks.h"
#include "PersonLists.h"
#include "UndoLists.h"

namespace kaede {

namespace {

// Old forms of name kanji and the form they compare as (two-byte codes of CP932).
const std::unordered_map<uint16_t, uint16_t>& KanjiForms() {
  static const std::unordered_map<uint16_t, uint16_t> forms = [] {
    const char* const pairs[][2] = {
        {"髙", "高"}, {"﨑", "崎"}, {"嵜", "崎"}, {"邊", "辺"}, {"邉", "辺"}, {"齋", "斎"}, {"齊", "斎"},
        {"澤", "沢"}, {"濱", "浜"}, {"濵", "浜"}, {"廣", "広"}, {"國", "国"}, {"櫻", "桜"}, {"嶋", "島"},
        {"嶌", "島"}, {"德", "徳"}, {"惠", "恵"}, {"眞", "真"}, {"冨", "富"}, {"槇", "槙"}, {"瀨", "瀬"},
        {"栁", "柳"}, {"來", "来"}, {"藏", "蔵"}, {"實", "実"}, {"榮", "栄"}, {"壽", "寿"},
    };
    std::unordered_map<uint16_t, uint16_t> m;
    for (const auto& p : pairs) {
      std::string from = Utf8ToSjis(p[0], TConvMode::Replace), to = Utf8ToSjis(p[1], TConvMode::Replace);
      if (from.size() != 2 || to.size() != 2 || from == to) continue;
      auto code = [](const std::string& s) {
        return static_cast<uint16_t>(static_cast<unsigned char>(s[0]) << 8 | static_cast<unsigned char>(s[1]));
      };
      m[code(from)] = code(to);
    }
    return m;
  }();
  return forms;
}

// The characters that CP932 has twice (the NEC-selected rows ED and EE, and row 87 of NEC's
// symbols, beside the IBM extensions and the standard symbols): each code and the one this
// program writes for the same character. Files made elsewhere may hold either.
const std::unordered_map<uint16_t, uint16_t>& DoubledCodes() {
  static const std::unordered_map<uint16_t, uint16_t> codes = [] {
    std::unordered_map<uint16_t, uint16_t> m;
    for (int lead : {0x87, 0xED, 0xEE, 0xFA, 0xFB, 0xFC})
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        int32_t cp = Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        int32_t back = cp < 0 ? -1 : UnicodeToCp932(static_cast<char32_t>(cp));
        if (back >= 0x8140 && back != (lead << 8 | trail)) m[static_cast<uint16_t>(lead << 8 | trail)] = static_cast<uint16_t>(back);
      }
    return m;
  }();
  return codes;
}

// The family name: what comes before the first space (ASCII or full width), folded; empty
// when there is no space.
std::string FamilyOf(const std::string& name, bool reading) {
  size_t cut = std::string::npos;
  const std::string& wide = SJ("　");
  for (size_t i = 0; i < name.size(); i += CharLenAt(name, i))
    if (name[i] == ' ' || name.compare(i, 2, wide) == 0) {
      cut = i;
      break;
    }
  if (cut == std::string::npos || cut == 0) return std::string();
  return reading ? FoldForFind(name.substr(0, cut)) : FoldPersonName(name.substr(0, cut));
}

std::string Digits(const std::string& text) {
  std::string r;
  for (char c : HankakuAscii(text))
    if (c >= '0' && c <= '9') r += c;
  return r;
}

std::string Lower(const std::string& text) {
  std::string r = HankakuAscii(text);
  while (!r.empty() && r.back() == ' ') r.pop_back();
  while (!r.empty() && r.front() == ' ') r.erase(0, 1);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return r;
}

// The value of a "kind:value" line; the whole line when it has no kind.
std::string ValueOf(const std::string& line) { return line.find(':') != std::string::npos ? RightOf(line, ":") : line; }
std::string KindOf(const std::string& line) { return line.find(':') != std::string::npos ? LeftOf(line, ":") : std::string(); }

// What the rules compare of one entry.
struct TFacts {
  int32_t Id = 0;
  std::string Name, Yomi, Family, YomiFamily, Postal, Address;
  TStrings Tels, Mails;
};

TFacts FactsOf(const TPerson& p) {
  TFacts f;
  f.Id = p.Id();
  f.Name = FoldPersonName(p.Name());
  f.Yomi = FoldForFind(p.Yomi());
  f.Family = FamilyOf(p.Name(), false);
  f.YomiFamily = FamilyOf(p.Yomi(), true);
  f.Postal = FoldPostalCode(p.Postal());
  std::string address = p.AddressText();
  if (!address.empty()) f.Address = FoldAddress(address);
  for (int i = 0; i < p.Tels().Count(); ++i) {
    std::string d = Digits(ValueOf(p.Tels()[i]));
    if (d.size() >= 6) f.Tels.push_back(d);  // fewer digits say nothing of who it is
  }
  for (int i = 0; i < p.Mails().Count(); ++i) {
    std::string m = Lower(ValueOf(p.Mails()[i]));
    if (m.find('@') != std::string::npos) f.Mails.push_back(m);
  }
  return f;
}

bool Shares(const TStrings& a, const TStrings& b) {
  for (const std::string& x : a)
    if (std::find(b.begin(), b.end(), x) != b.end()) return true;
  return false;
}

// One family name given, the other name (without a space) starting with it counts as well.
bool SameFamily(const std::string& famA, const std::string& famB, const std::string& a, const std::string& b) {
  if (!famA.empty() && !famB.empty()) return famA == famB;
  if (!famA.empty()) return b.compare(0, famA.size(), famA) == 0 && b.size() > famA.size();
  if (!famB.empty()) return a.compare(0, famB.size(), famB) == 0 && a.size() > famB.size();
  return false;
}

// The facts that make the two one entry; 0 when they are not.
unsigned Match(const TFacts& a, const TFacts& b) {
  unsigned shared = 0;
  if (!a.Postal.empty() && a.Postal == b.Postal) shared |= dfPostal;
  if (!a.Address.empty() && a.Address == b.Address) shared |= dfAddress;
  if (Shares(a.Tels, b.Tels)) shared |= dfTel;
  if (Shares(a.Mails, b.Mails)) shared |= dfMail;
  if (!a.Name.empty() && a.Name == b.Name) return shared ? shared | dfName : 0;
  if (!(shared & (dfTel | dfMail))) return 0;
  bool family = SameFamily(a.Family, b.Family, a.Name, b.Name) ||
                (a.Family.empty() && b.Family.empty() && SameFamily(a.YomiFamily, b.YomiFamily, a.Yomi, b.Yomi));
  return family ? shared | dfFamily : 0;
}

// Buckets larger than this (a company's switchboard number on hundreds of entries) are left
// out: their pairs would cost time out of proportion, and they say little.
constexpr size_t kMaxBucket = 64;

struct TUnion {
  std::vector<size_t> Parent;
  std::vector<unsigned> Facts;
  explicit TUnion(size_t n) : Parent(n), Facts(n, 0) { std::iota(Parent.begin(), Parent.end(), 0); }
  size_t Root(size_t i) {
    while (Parent[i] != i) i = Parent[i] = Parent[Parent[i]];
    return i;
  }
  void Join(size_t a, size_t b, unsigned facts) {
    a = Root(a), b = Root(b);
    if (a != b) {
      if (b < a) std::swap(a, b);
      Parent[b] = a;
      Facts[a] |= Facts[b];
    }
    Facts[a] |= facts;
  }
};

bool Earlier(const TDateValue& a, const TDateValue& b) {
  return std::tie(a.Year, a.Month, a.Day) < std::tie(b.Year, b.Month, b.Day);
}

struct TFreePerson {
  void operator()(TPerson* p) const { p->Free(); }
};

// Adds the lines of from that are not in into yet; same(a, b) tells a repeat.
template <class Same>
void UniteLines(TStrings& into, const TStrings& from, Same same) {
  for (const std::string& line : from)
    if (std::none_of(into.begin(), into.end(), [&](const std::string& have) { return same(have, line); }))
      into.push_back(line);
}

// "kind:value" lines that are the same entry: the same value as compared, and the same kind
// unless one of them has none.
template <class Fold>
auto SameEntry(Fold fold) {
  return [fold](const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::string ka = KindOf(a), kb = KindOf(b), fa = fold(ValueOf(a));
    return (ka == kb || ka.empty() || kb.empty()) && !fa.empty() && fa == fold(ValueOf(b));
  };
}

}  // namespace

std::string FoldPersonName(std::string_view name) {
  std::string s(name);
  // one code for each character first: 髙 as EEE0 or as FBFC, ㈱ as FA58 or as 878D
  const auto& doubled = DoubledCodes();
  for (size_t i = 0; i + 1 < s.size(); i += CharLenAt(s, i)) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    if (CharLenAt(s, i) != 2 || (lead != 0x87 && lead < 0xED)) continue;  // only those rows have doubles
    auto it = doubled.find(static_cast<uint16_t>(static_cast<unsigned char>(s[i]) << 8 | static_cast<unsigned char>(s[i + 1])));
    if (it == doubled.end()) continue;
    s[i] = static_cast<char>(it->second >> 8);
    s[i + 1] = static_cast<char>(it->second & 0xFF);
  }
  for (const char* mark : {"㈱", "(株)", "（株）"}) s = ReplaceStrAll(s, Utf8ToSjis(mark), SJ("株式会社"));
  for (const char* mark : {"㈲", "(有)", "（有）"}) s = ReplaceStrAll(s, Utf8ToSjis(mark), SJ("有限会社"));
  std::string folded = FoldForFind(s);
  const auto& forms = KanjiForms();
  for (size_t i = 0; i + 1 < folded.size(); i += CharLenAt(folded, i)) {
    if (CharLenAt(folded, i) != 2) continue;
    uint16_t code = static_cast<uint16_t>(static_cast<unsigned char>(folded[i]) << 8 | static_cast<unsigned char>(folded[i + 1]));
    auto it = forms.find(code);
    if (it == forms.end()) continue;
    folded[i] = static_cast<char>(it->second >> 8);
    folded[i + 1] = static_cast<char>(it->second & 0xFF);
  }
  return folded;
}

std::string DuplicateFactsText(unsigned facts) {
  TStrings parts;
  if (facts & dfName) parts.push_back(SJ("名前"));
  if (facts & dfFamily) parts.push_back(SJ("姓"));
  if (facts & dfPostal) parts.push_back(SJ("郵便番号"));
  if (facts & dfAddress) parts.push_back(SJ("住所"));
  if (facts & dfTel) parts.push_back(SJ("電話"));
  if (facts & dfMail) parts.push_back(SJ("メール"));
  return JoinStr(parts, SJ("・"));
}

std::vector<TDuplicateGroup> FindDuplicates(const TPersonList& book) {
  const size_t n = static_cast<size_t>(book.AllCount());
  std::vector<TFacts> facts;
  facts.reserve(n);
  for (size_t i = 0; i < n; ++i) facts.push_back(FactsOf(*book.AllPersons(static_cast<int>(i))));
  std::unordered_map<std::string, std::vector<size_t>> byName, byTel, byMail;
  for (size_t i = 0; i < n; ++i) {
    if (!facts[i].Name.empty()) byName[facts[i].Name].push_back(i);
    for (const std::string& t : facts[i].Tels) byTel[t].push_back(i);
    for (const std::string& m : facts[i].Mails) byMail[m].push_back(i);
  }
  TUnion groups(n);
  for (auto* buckets : {&byName, &byTel, &byMail})
    for (auto& [key, members] : *buckets) {
      if (members.size() < 2 || members.size() > kMaxBucket) continue;
      members.erase(std::unique(members.begin(), members.end()), members.end());
      for (size_t a = 0; a < members.size(); ++a)
        for (size_t b = a + 1; b < members.size(); ++b)
          if (unsigned f = Match(facts[members[a]], facts[members[b]])) groups.Join(members[a], members[b], f);
    }
  std::unordered_map<size_t, size_t> groupOfRoot;
  std::vector<TDuplicateGroup> result;
  for (size_t i = 0; i < n; ++i) {
    size_t root = groups.Root(i);
    if (groups.Facts[root] == 0) continue;
    auto [it, added] = groupOfRoot.try_emplace(root, result.size());
    if (added) result.push_back({{}, groups.Facts[root]});
    result[it->second].Ids.push_back(facts[i].Id);
  }
  return result;
}

void UniteRemarks(TStrings& into, const TStrings& from) {
  // Every line once; the New Year marks' lines of both become one line with the marks of both,
  // united per year, in the place of the first.
  UniteLines(into, from, [](const std::string& a, const std::string& b) { return a == b; });
  UniteNengaLines(into);
}

TPerson* MergePersons(TPersonList& book, const std::vector<int32_t>& ids, const TMergeChoice& choice) {
  std::unordered_map<int32_t, TPerson*> byId;
  for (int i = 0; i < book.AllCount(); ++i) byId[book.AllPersons(i)->Id()] = book.AllPersons(i);
  std::vector<TPerson*> persons;
  for (int32_t id : ids) {
    auto it = byId.find(id);
    if (it != byId.end() && std::find(persons.begin(), persons.end(), it->second) == persons.end())
      persons.push_back(it->second);
  }
  auto chosen = [&](int32_t id) -> TPerson* {
    for (TPerson* p : persons)
      if (p->Id() == id) return p;
    throw Exception(SJ("統合する項目の中にない項目が選ばれています"));
  };
  if (persons.size() < 2) throw Exception(SJ("統合する項目が二つ以上ありません（ほかの操作で削除されました）"));
  TPerson* keep = chosen(choice.Name);
  const TPerson* yomi = chosen(choice.Yomi);
  const TPerson* address = chosen(choice.Address);
  std::stable_partition(persons.begin(), persons.end(), [&](TPerson* p) { return p == keep; });

  std::unique_ptr<TPerson, TFreePerson> merged(TDataItem::Make<TPerson>());
  merged->Assign(keep);
  merged->SetYomi(yomi->Yomi());
  merged->SetPostal(address->Postal());
  merged->Address().Assign(address->Address().Lines());
  TStrings tels = keep->Tels().Lines(), mails = keep->Mails().Lines(), relations = keep->Relations().Lines(),
           remarks = keep->Remarks().Lines(), renmei = keep->Renmei().Lines();
  TDateValue registered = keep->Registered(), updated = keep->Updated();
  for (size_t i = 1; i < persons.size(); ++i) {
    const TPerson* p = persons[i];
    UniteLines(tels, p->Tels().Lines(), SameEntry(Digits));
    UniteLines(mails, p->Mails().Lines(), SameEntry(Lower));
    UniteLines(relations, p->Relations().Lines(), [](const std::string& a, const std::string& b) { return a == b; });
    UniteRemarks(remarks, p->Remarks().Lines());
    UniteLines(renmei, p->Renmei().Lines(), [](const std::string& a, const std::string& b) { return a == b; });
    for (const std::string& c : p->Classify().Lines()) merged->AddClassify(c);
    if (merged->Url().empty()) merged->SetUrl(p->Url());
    if (merged->Keisyo().empty()) merged->SetKeisyo(p->Keisyo());
    if (merged->Title().empty()) merged->SetTitle(p->Title());
    if (p->Registered().Year != 0 && (registered.Year == 0 || Earlier(p->Registered(), registered)))
      registered = p->Registered();
    if (Earlier(updated, p->Updated())) updated = p->Updated();
  }
  merged->Tels().Assign(tels);
  merged->Mails().Assign(mails);
  merged->Relations().Assign(relations);
  merged->Remarks().Assign(remarks);
  merged->Renmei().Assign(renmei);
  merged->SetRegistered(registered);
  merged->SetUpdated(updated);

  TUndoGroup group(book.History(), SJ("統合"));
  keep->Assign(merged.get());
  const std::string keptName = keep->Name();
  for (size_t i = 1; i < persons.size(); ++i) {
    int32_t id = persons[i]->Id();
    std::string name = persons[i]->Name();
    if (book.RecordUndo && !book.History().Locked()) book.History().Add(std::make_unique<TTaskDel>(&book, id));
    book.MoveToTrash(id);
    book.RenameRelations(name, keptName);
  }
  return keep;
}

}  // namespace kaede
