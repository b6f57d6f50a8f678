#include "AddressChecks.h"

#include <algorithm>
#include <unordered_map>

#include "PersonLists.h"
#include "PostalDatas.h"
#include "Undos.h"

namespace kaede {

namespace {

struct TViewHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
template <class V>
using TViewMap = std::unordered_map<std::string, V, TViewHash, std::equal_to<>>;

inline uint16_t Code2(std::string_view s, size_t i) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[i]) << 8 | static_cast<unsigned char>(s[i + 1]));
}

std::string CodeText(uint32_t code) { return IntToStrPad(code, 7, PadZero); }
std::string ShownCode(const std::string& seven) {
  return SJ("〒") + (IsPostalCodeDigits(seven) ? seven.substr(0, 3) + "-" + seven.substr(3) : seven);
}

// The ends (0-based, exclusive) of the characters of s from `from` on, up to `from + max` bytes.
template <class F>
void ForEachEnd(std::string_view s, size_t from, size_t max, F f) {
  for (size_t i = from; i < s.size() && i - from < max;) {
    i += CharLenAt(s, i);
    if (i - from > max) break;
    f(i);
  }
}

// The 丁目 that the note of a dictionary town names, "（１～１９丁目）" or "（１丁目、３～５丁目）",
// as ranges; none when the note says anything else (番地, buildings, a list of places).
std::vector<std::pair<uint16_t, uint16_t>> ChomeRanges(std::string_view note) {
  std::vector<std::pair<uint16_t, uint16_t>> ranges;
  const std::string& open = SJ("（");
  const std::string& close = SJ("）");
  if (note.size() < open.size() + close.size() || note.substr(0, open.size()) != open ||
      note.substr(note.size() - close.size()) != close)
    return ranges;
  const std::string inner = HankakuAscii(std::string(note.substr(open.size(), note.size() - open.size() - close.size())));
  for (std::string item : SplitStr(inner, SJ("、"))) {
    const std::string& chome = SJ("丁目");
    if (item.size() > chome.size() && item.compare(item.size() - chome.size(), chome.size(), chome) == 0)
      item.resize(item.size() - chome.size());
    // ～ as the dictionary writes it, or as half width made it
    size_t dash = item.find(SJ("～")), dashLen = SJ("～").size();
    if (dash == std::string::npos) dash = item.find('~'), dashLen = 1;
    std::string first = dash == std::string::npos ? item : item.substr(0, dash);
    std::string last = dash == std::string::npos ? item : item.substr(dash + dashLen);
    auto number = [](const std::string& t) {
      if (t.empty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) return -1;
      return std::stoi(t);
    };
    int a = number(first), b = number(last);
    if (a <= 0 || b < a) return {};
    ranges.emplace_back(static_cast<uint16_t>(a), static_cast<uint16_t>(b));
  }
  if (ranges.empty() || inner.find(SJ("丁目")) == std::string::npos) return {};
  return ranges;
}

// The number of the 丁目 that starts s, written in kanji as FoldAddress leaves it ("十九丁目"),
// or 0.
int ChomeAt(std::string_view s) {
  static const std::string digits[] = {SJ("〇"), SJ("一"), SJ("二"), SJ("三"), SJ("四"),
                                       SJ("五"), SJ("六"), SJ("七"), SJ("八"), SJ("九")};
  const std::string& ten = SJ("十");
  auto digitAt = [&](size_t at) {
    for (int d = 1; d <= 9; ++d)
      if (s.compare(at, digits[d].size(), digits[d]) == 0) return d;
    return 0;
  };
  size_t at = 0;
  int value = 0;
  if (int d = digitAt(at)) value = d, at += 2;
  if (s.compare(at, ten.size(), ten) == 0) {
    value = (value ? value : 1) * 10;
    at += ten.size();
    if (int d = digitAt(at)) value += d, at += 2;
  }
  return value > 0 && s.compare(at, SJ("丁目").size(), SJ("丁目")) == 0 ? value : 0;
}

}  // namespace

// ---- Folding ---------------------------------------------------------------------------------

std::string FoldAddress(std::string_view text) {
  const std::string half = HankakuAscii(std::string(text));
  const std::string& ke = SJ("ケ");
  std::string out;
  out.reserve(half.size());
  for (size_t i = 0; i < half.size();) {
    size_t len = CharLenAt(half, i);
    unsigned char c = static_cast<unsigned char>(half[i]);
    if (len == 1) {
      ++i;
      if (c == ' ' || c == '\t') continue;
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
      // half-width ｹ, unless it is ｹﾞ
      if (c == 0xB9 && !(i < half.size() && static_cast<unsigned char>(half[i]) == 0xDE)) {
        out += ke;
        continue;
      }
      out += static_cast<char>(c);
      continue;
    }
    switch (Code2(half, i)) {
      case 0x8140:  // 　
        break;
      case 0x815B:  // ー
      case 0x815C:  // ―
      case 0x815D:  // ‐
      case 0x817C:  // －
      case 0x849F:  // ─
        out += '-';
        break;
      case 0x8396:  // ヶ
      case 0x82AA:  // が
        out += ke;
        break;
      default:
        out.append(half, i, 2);
    }
    i += 2;
  }
  // the number of a 丁目 in kanji, as the dictionary mostly writes it
  const std::string& chome = SJ("丁目");
  std::string r;
  r.reserve(out.size());
  size_t digits = std::string::npos;  // where the current run of ASCII digits starts in r
  for (size_t i = 0; i < out.size();) {
    size_t len = CharLenAt(out, i);
    if (len == 1 && out[i] >= '0' && out[i] <= '9') {
      if (digits == std::string::npos) digits = r.size();
    } else {
      if (digits != std::string::npos && out.compare(i, chome.size(), chome) == 0 && r.size() - digits <= 4) {
        std::string number = IntToKansuji(std::stoll(r.substr(digits)));
        r.replace(digits, std::string::npos, number);
      }
      digits = std::string::npos;
    }
    r.append(out, i, len);
    i += len;
  }
  return r;
}

std::string FoldPostalCode(std::string_view text) {
  std::string r;
  for (char c : HankakuAscii(std::string(text)))
    if (c != '-' && c != ' ') r += c;
  return r;
}

std::string CheckKindCaption(TCheckKind kind) {
  switch (kind) {
    case ckUnknownCode: return SJ("郵便番号が辞書にない");
    case ckCodeMismatch: return SJ("郵便番号と住所が合わない");
    case ckMissingCode: return SJ("郵便番号がない");
    case ckUnknownTown: return SJ("町域が辞書にない");
    case ckEmptyYomi: return SJ("読みがない");
    default: return std::string();
  }
}

std::string TCheckFinding::FixText() const {
  std::string r;
  if (!FixPostal.empty()) r = ShownCode(FixPostal);
  if (!FixPrefix.empty()) {
    if (!r.empty()) r += SJ("、");
    r += SJ("住所の前に「") + FixPrefix + SJ("」");
  }
  return r;
}

// ---- The folded dictionary -----------------------------------------------------------------

struct TAddressChecker::TData {
  struct TEntry {
    uint32_t Code = 0;
    int32_t City = 0;
    std::string Town;     // folded, without its note
    std::string RawTown;  // as stored, without its note
    std::vector<std::pair<uint16_t, uint16_t>> Chome;  // the 丁目 its note gives it, when it does
    std::string ChomeNote;                             // that note as stored, for the reader
  };
  struct TCity {
    std::string RawPref, RawCity;
    int32_t Pref = -1;
    std::vector<int32_t> Entries;
    TViewMap<std::vector<int32_t>> Towns;  // folded town -> entries
    size_t MaxTown = 0;
    uint32_t OnlyCode = 0;  // the code of every entry, when they all share one (a 一円 village)
  };
  std::vector<TEntry> Entries;
  std::vector<TCity> Cities;
  TViewMap<int32_t> Prefs;  // folded prefecture -> number
  size_t MaxPref = 0;
  TViewMap<std::vector<int32_t>> CityNames;  // folded city -> cities
  size_t MaxCity = 0;
  std::vector<uint64_t> Codes;  // code << 32 | entry

  void CodeEntries(uint32_t code, std::vector<int32_t>& out) const {
    out.clear();
    for (auto it = std::lower_bound(Codes.begin(), Codes.end(), static_cast<uint64_t>(code) << 32);
         it != Codes.end() && (*it >> 32) == code; ++it)
      out.push_back(static_cast<int32_t>(*it & 0xFFFFFFFFu));
  }
};

// Where an address lies in the dictionary.
struct TAddressChecker::TResolved {
  int32_t Pref = -1;               // the prefecture written at its start
  std::vector<int32_t> Cities;     // the cities it may be in
  size_t CityEnd = 0;              // where the text after the city starts
  std::vector<int32_t> Entries;    // the entries of its town (the longest town name found)
  size_t TownEnd = 0;              // where the text after that town starts
  std::string Folded;
  std::string_view Rest() const { return std::string_view(Folded).substr(CityEnd); }
};

TAddressChecker::TAddressChecker(const TPostalData& data) : D(std::make_unique<TData>()) {
  const TStrings& postal = data.Lists().Postal;
  TViewMap<int32_t> cityIds;
  const std::string& opener = SJ("（");
  D->Entries.reserve(postal.size());
  for (size_t i = 0; i < postal.size(); ++i) {
    const std::string& line = postal[i];
    if (line.size() < 7 || !IsPostalCodeDigits(std::string_view(line).substr(0, 7))) continue;
    std::string pref = data.PrefectureOf(static_cast<int>(i)), city = data.CityOf(static_cast<int>(i));
    std::string key = pref + '\t' + city;
    auto [it, added] = cityIds.try_emplace(key, static_cast<int32_t>(D->Cities.size()));
    if (added) {
      TData::TCity c;
      c.RawPref = pref;
      c.RawCity = city;
      auto [p, newPref] = D->Prefs.try_emplace(FoldAddress(pref), static_cast<int32_t>(D->Prefs.size()));
      if (newPref) D->MaxPref = std::max(D->MaxPref, p->first.size());
      c.Pref = p->second;
      std::string folded = FoldAddress(city);
      D->MaxCity = std::max(D->MaxCity, folded.size());
      D->CityNames[folded].push_back(it->second);
      D->Cities.push_back(std::move(c));
    }
    TData::TEntry e;
    e.Code = static_cast<uint32_t>(std::stoul(line.substr(0, 7)));
    e.City = it->second;
    e.RawTown = LeftOf(line.substr(7), opener);
    e.Town = FoldAddress(e.RawTown);
    if (line.size() > 7 + e.RawTown.size()) {
      e.Chome = ChomeRanges(std::string_view(line).substr(7 + e.RawTown.size()));
      if (!e.Chome.empty()) e.ChomeNote = line.substr(7 + e.RawTown.size());
    }
    int32_t n = static_cast<int32_t>(D->Entries.size());
    TData::TCity& c = D->Cities[static_cast<size_t>(e.City)];
    if (c.Entries.empty()) c.OnlyCode = e.Code;
    else if (c.OnlyCode != e.Code) c.OnlyCode = 0;
    c.Entries.push_back(n);
    if (!e.Town.empty()) {
      c.Towns[e.Town].push_back(n);
      c.MaxTown = std::max(c.MaxTown, e.Town.size());
    }
    D->Codes.push_back(static_cast<uint64_t>(e.Code) << 32 | static_cast<uint32_t>(n));
    D->Entries.push_back(std::move(e));
  }
  std::sort(D->Codes.begin(), D->Codes.end());
}

TAddressChecker::~TAddressChecker() = default;

void TAddressChecker::Resolve(std::string_view folded, TResolved& r) const {
  r = TResolved();
  r.Folded.assign(folded);
  std::string_view s = r.Folded;
  size_t pos = 0;
  ForEachEnd(s, 0, D->MaxPref, [&](size_t end) {
    auto it = D->Prefs.find(s.substr(0, end));
    if (it != D->Prefs.end()) r.Pref = it->second, pos = end;
  });
  // the longest city name at the start (inside the prefecture when one is written)
  ForEachEnd(s, pos, D->MaxCity, [&](size_t end) {
    auto it = D->CityNames.find(s.substr(pos, end - pos));
    if (it == D->CityNames.end()) return;
    std::vector<int32_t> cities;
    for (int32_t c : it->second)
      if (r.Pref < 0 || D->Cities[static_cast<size_t>(c)].Pref == r.Pref) cities.push_back(c);
    if (!cities.empty()) r.Cities = std::move(cities), r.CityEnd = end;
  });
  if (r.Cities.empty()) return;
  // the longest town name right after the city; failing that (the street names of Kyoto come
  // before the town), the longest one of two characters or more anywhere after it
  size_t best = 0;
  auto lookAt = [&](size_t from, size_t minLen) {
    for (int32_t c : r.Cities) {
      const TData::TCity& city = D->Cities[static_cast<size_t>(c)];
      ForEachEnd(s, from, city.MaxTown, [&](size_t end) {
        size_t len = end - from;
        if (len < minLen || len < best) return;
        auto it = city.Towns.find(s.substr(from, len));
        if (it == city.Towns.end()) return;
        if (len > best) r.Entries.clear(), best = len;
        r.Entries.insert(r.Entries.end(), it->second.begin(), it->second.end());
      });
    }
  };
  lookAt(r.CityEnd, 1);
  r.TownEnd = r.CityEnd + best;
  for (size_t from = r.CityEnd; best == 0 && from < s.size(); from += CharLenAt(s, from)) {
    lookAt(from, 4);
    r.TownEnd = from + best;
  }
  // a town split by its 丁目 over several codes (大通西 1-19 and 20-28): the 丁目 written
  // after it chooses among them
  if (r.Entries.size() > 1 && best > 0) {
    if (int chome = ChomeAt(s.substr(r.TownEnd))) {
      std::vector<int32_t> kept;
      for (int32_t e : r.Entries) {
        const auto& ranges = D->Entries[static_cast<size_t>(e)].Chome;
        if (ranges.empty() || std::any_of(ranges.begin(), ranges.end(), [&](const auto& range) {
              return chome >= range.first && chome <= range.second;
            }))
          kept.push_back(e);
      }
      if (!kept.empty()) r.Entries = std::move(kept);
    }
  }
  if (r.Entries.empty() && r.Cities.size() == 1) {
    const TData::TCity& city = D->Cities[static_cast<size_t>(r.Cities[0])];
    if (city.OnlyCode) r.Entries = city.Entries;
  }
  std::sort(r.Entries.begin(), r.Entries.end());
  r.Entries.erase(std::unique(r.Entries.begin(), r.Entries.end()), r.Entries.end());
}

TStrings TAddressChecker::CodesOfAddress(std::string_view address) const {
  TResolved r;
  Resolve(FoldAddress(address), r);
  TStrings codes;
  for (int32_t e : r.Entries) {
    std::string code = CodeText(D->Entries[static_cast<size_t>(e)].Code);
    if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
  }
  return codes;
}

namespace {

// How close a town is to what follows the city in the address: the characters they share at
// the start count most, then the characters of the town found anywhere in it.
size_t Closeness(std::string_view rest, std::string_view town) {
  size_t prefix = 0;
  while (prefix < rest.size() && prefix < town.size() && rest[prefix] == town[prefix]) ++prefix;
  size_t shared = 0;
  for (size_t i = 0; i < town.size(); i += CharLenAt(town, i))
    if (ContainsStr(rest, town.substr(i, CharLenAt(town, i)))) ++shared;
  return prefix * 64 + shared;
}

std::string CodesText(const TStrings& codes) {
  TStrings shown;
  for (const std::string& c : codes) shown.push_back(ShownCode(c));
  return JoinStr(shown, SJ("、"));
}

}  // namespace

void TAddressChecker::CheckPerson(const TPerson& person, std::vector<TCheckFinding>& out) const {
  auto add = [&](TCheckKind kind, std::string detail, std::string fixPostal = {}, std::string fixPrefix = {}) {
    TCheckFinding f;
    f.Kind = kind;
    f.Id = person.Id();
    f.Name = person.Name();
    f.Detail = std::move(detail);
    f.FixPostal = std::move(fixPostal);
    f.FixPrefix = std::move(fixPrefix);
    f.SeenPostal = person.Postal();
    out.push_back(std::move(f));
  };
  // the towns of some entries as a reader wants them, nearest to the address first
  auto townsText = [&](std::vector<int32_t> entries, std::string_view rest, bool withCode) {
    std::stable_sort(entries.begin(), entries.end(), [&](int32_t a, int32_t b) {
      return Closeness(rest, D->Entries[static_cast<size_t>(a)].Town) > Closeness(rest, D->Entries[static_cast<size_t>(b)].Town);
    });
    TStrings shown;
    for (int32_t e : entries) {
      const TData::TEntry& entry = D->Entries[static_cast<size_t>(e)];
      const TData::TCity& city = D->Cities[static_cast<size_t>(entry.City)];
      // a town split by its 丁目 says which of them the code is of
      std::string t = city.RawPref + city.RawCity + entry.RawTown + entry.ChomeNote;
      if (withCode) t += SJ("（") + ShownCode(CodeText(entry.Code)) + SJ("）");
      if (std::find(shown.begin(), shown.end(), t) == shown.end()) shown.push_back(t);
      if (shown.size() == 3) break;
    }
    if (entries.size() > 3) shown.push_back(SJ("ほか"));
    return JoinStr(shown, SJ("、"));
  };

  const std::string address = person.AddressText();
  // an address in Latin letters only lies abroad: the dictionary does not know it
  const bool checkAddress = !address.empty() && !IsHankakuStr(address);
  TResolved r;
  TStrings addressCodes;
  if (checkAddress) {
    Resolve(FoldAddress(address), r);
    for (int32_t e : r.Entries) {
      std::string code = CodeText(D->Entries[static_cast<size_t>(e)].Code);
      if (std::find(addressCodes.begin(), addressCodes.end(), code) == addressCodes.end()) addressCodes.push_back(code);
    }
  }
  const std::string onlyCode = addressCodes.size() == 1 ? addressCodes[0] : std::string();
  const std::string fromAddress =
      addressCodes.empty() ? std::string() : SJ("住所からは ") + CodesText(addressCodes);

  const std::string code = FoldPostalCode(person.Postal());
  if (!code.empty()) {
    std::vector<int32_t> entries;
    if (IsPostalCodeDigits(code)) D->CodeEntries(static_cast<uint32_t>(std::stoul(code)), entries);
    if (entries.empty()) {
      std::string detail = ShownCode(person.Postal()) + SJ(" は辞書にありません");
      if (!fromAddress.empty()) detail += SJ("。") + fromAddress;
      add(ckUnknownCode, detail, onlyCode);
    } else if (checkAddress && r.Cities.empty()) {
      // no city in the address: when it starts with a town of the code's one city, that city
      // (with its prefecture, when none is written) is what it lacks
      std::string prefix;
      const TData::TCity& city = D->Cities[static_cast<size_t>(D->Entries[static_cast<size_t>(entries[0])].City)];
      bool oneCity = std::all_of(entries.begin(), entries.end(), [&](int32_t e) {
        return D->Entries[static_cast<size_t>(e)].City == D->Entries[static_cast<size_t>(entries[0])].City;
      });
      if (oneCity && r.Pref < 0)
        for (int32_t e : entries) {
          const std::string& town = D->Entries[static_cast<size_t>(e)].Town;
          if (!town.empty() && r.Folded.compare(0, town.size(), town) == 0) prefix = city.RawPref + city.RawCity;
        }
      add(ckUnknownTown,
          SJ("住所の市区町村が辞書にありません。") + ShownCode(code) + SJ(" は ") + townsText(entries, r.Rest(), false),
          std::string(), prefix);
    } else if (checkAddress) {
      auto inCities = [&](int32_t e) {
        int32_t c = D->Entries[static_cast<size_t>(e)].City;
        return std::find(r.Cities.begin(), r.Cities.end(), c) != r.Cities.end();
      };
      bool sameCity = std::any_of(entries.begin(), entries.end(), inCities);
      bool match;
      if (!r.Entries.empty())
        match = std::any_of(entries.begin(), entries.end(),
                            [&](int32_t e) { return std::binary_search(r.Entries.begin(), r.Entries.end(), e); });
      else  // a town the dictionary does not list has the city's catch-all code
        match = std::any_of(entries.begin(), entries.end(),
                            [&](int32_t e) { return inCities(e) && D->Entries[static_cast<size_t>(e)].Town.empty(); });
      // 赤羽代 where the code is 赤羽台's: the town found (赤羽) begins the code's own town
      // and the address goes on in letters, not in a number: a misspelt town, not a wrong code
      std::string_view after = std::string_view(r.Folded).substr(r.TownEnd);
      const std::string_view found = std::string_view(r.Folded).substr(r.CityEnd, r.TownEnd - r.CityEnd);
      bool misspelt = !match && !r.Entries.empty() && !after.empty() && !(after[0] >= '0' && after[0] <= '9') &&
                      std::any_of(entries.begin(), entries.end(), [&](int32_t e) {
                        const std::string& town = D->Entries[static_cast<size_t>(e)].Town;
                        return inCities(e) && town.size() > found.size() && town.compare(0, found.size(), found) == 0;
                      });
      if (misspelt) {
        add(ckUnknownTown, SJ("町域が辞書にありません。") + ShownCode(code) + SJ(" の町域: ") +
                               townsText(entries, r.Rest(), false));
      } else if (!match && (!r.Entries.empty() || !sameCity)) {
        std::string detail = ShownCode(code) + SJ(" は ") + townsText(entries, r.Rest(), false) + SJ(" の番号です");
        if (!fromAddress.empty()) detail += SJ("。") + fromAddress;
        add(ckCodeMismatch, detail, onlyCode);
      } else if (!match) {
        add(ckUnknownTown, SJ("町域が辞書にありません。") + ShownCode(code) + SJ(" の町域: ") +
                               townsText(entries, r.Rest(), false));
      }
    }
  } else if (checkAddress) {
    if (!addressCodes.empty()) {
      add(ckMissingCode, fromAddress, onlyCode);
    } else if (r.Cities.empty()) {
      add(ckUnknownTown, SJ("住所の市区町村が辞書にありません"));
    } else {
      std::vector<int32_t> towns;
      for (int32_t c : r.Cities)
        for (int32_t e : D->Cities[static_cast<size_t>(c)].Entries)
          if (!D->Entries[static_cast<size_t>(e)].Town.empty()) towns.push_back(e);
      add(ckUnknownTown, SJ("町域が辞書にありません。近い町域: ") + townsText(towns, r.Rest(), true));
    }
  }
  if (DeleteSpaces(person.Yomi()).empty() && !person.Name().empty())
    add(ckEmptyYomi, SJ("読みがありません（一覧では「他」に並びます）"));
}

std::vector<TCheckFinding> TAddressChecker::CheckBook(const TPersonList& book) const {
  std::vector<TCheckFinding> out;
  for (int i = 0; i < book.AllCount(); ++i) CheckPerson(*book.AllPersons(i), out);
  std::stable_sort(out.begin(), out.end(), [](const TCheckFinding& a, const TCheckFinding& b) { return a.Kind < b.Kind; });
  return out;
}

// ---- Fixes ---------------------------------------------------------------------------------

int ApplyCheckFixes(TPersonList& book, const std::vector<TCheckFinding>& findings, std::vector<size_t>* applied) {
  std::unordered_map<int32_t, TPerson*> byId;
  for (int i = 0; i < book.AllCount(); ++i) byId[book.AllPersons(i)->Id()] = book.AllPersons(i);
  std::vector<int32_t> changed;
  TUndoGroup group(book.History(), SJ("住所チェックの修正"));
  for (size_t n = 0; n < findings.size(); ++n) {
    const TCheckFinding& f = findings[n];
    if (!f.HasFix()) continue;
    auto it = byId.find(f.Id);
    if (it == byId.end()) continue;
    TPerson* p = it->second;
    bool did = false;
    if (!f.FixPostal.empty() && p->Postal() == f.SeenPostal && FoldPostalCode(p->Postal()) != f.FixPostal) {
      p->SetPostal(f.FixPostal);
      did = true;
    }
    if (!f.FixPrefix.empty() && p->Address().Count() > 0) {
      const std::string first = p->Address()[0];
      const std::string prefix = FoldAddress(f.FixPrefix);
      if (FoldAddress(first).compare(0, prefix.size(), prefix) != 0) {
        p->Address().Set(0, f.FixPrefix + first);
        did = true;
      }
    }
    if (did && applied) applied->push_back(n);
    if (did && std::find(changed.begin(), changed.end(), f.Id) == changed.end()) changed.push_back(f.Id);
  }
  return static_cast<int>(changed.size());
}

}  // namespace kaede
