#include "PostalDatas.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "AppPaths.h"
#include "CommaText.h"
#include "Files.h"

namespace kaede {
namespace {

const std::string kCrLf = "\r\n";

// ---- Range files ---------------------------------------------------------------------------

struct TRange {
  int32_t Start = 0;
  std::string Name;
};

// The index in bytes 1-6 of a range line: leading spaces, an optional sign and digits, nothing
// else. False when the field is not a number.
bool ParseRangeStart(std::string_view line, int32_t& value) {
  std::string_view f = line.substr(0, 6);
  size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '-' || f[i] == '+')) negative = f[i++] == '-';
  if (i == f.size()) return false;
  int32_t v = 0;
  for (; i < f.size(); ++i) {
    if (f[i] < '0' || f[i] > '9') return false;
    v = v * 10 + (f[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

std::vector<TRange> ParseRanges(const TStrings& lines, const std::string& fileName) {
  std::vector<TRange> ranges;
  ranges.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    TRange r;
    if (!ParseRangeStart(lines[i], r.Start)) {
      std::string message(1, '\'');
      message.append(lines[i], 0, 6).append(SJ("' は整数ではありません"));
      Exception e(message);
      e.SetFileName(fileName);
      e.SetLineNo(static_cast<int>(i + 1));
      throw e;
    }
    if (lines[i].size() > 6) r.Name = lines[i].substr(6);
    ranges.push_back(std::move(r));
  }
  return ranges;
}

// ---- Double-byte-safe search ---------------------------------------------------------------

// The 0-based offset of the first occurrence of part in text that starts on a character
// boundary, or npos. An empty part is never found.
size_t FindSj(std::string_view text, std::string_view part) {
  if (part.empty()) return std::string_view::npos;
  size_t boundary = 0;  // a known character start at or before the candidate
  for (size_t from = 0;;) {
    size_t hit = text.find(part, from);
    if (hit == std::string_view::npos) return hit;
    while (boundary < hit) boundary += CharLenAt(text, boundary);
    if (boundary == hit) return hit;
    from = hit + 1;
  }
}

// The same through the general search of Strs (the reference form).
size_t FindBySearchAll(std::string_view text, std::string_view part) {
  if (part.empty() || text.find(part) == std::string_view::npos) return std::string_view::npos;
  TIntegers hits = SearchAll(std::string(part), std::string(text), 0);
  return hits.empty() ? std::string_view::npos : static_cast<size_t>(hits[0] - 1);
}

// ---- Shared steps of the look-ups -----------------------------------------------------------

std::string WithoutHyphens(const std::string& code) {
  std::string key;
  for (char c : code)
    if (c != '-') key += c;
  return key;
}

void AppendCandidate(std::string& result, int& count, std::string_view line) {
  if (!result.empty()) result += kCrLf;
  result.append(line);
  ++count;
}

// Chooses the city among the City.dat lines (ascending) whose names occur in the input:
// lines inside the prefecture first, then the longest name, then file order. -1 when none.
template <class PrefectureOfFn>
int ChooseCity(const std::vector<int32_t>& lines, const TStrings& cityLines, bool havePrefecture,
               const std::string& prefecture, PrefectureOfFn prefectureOf) {
  int best = -1;
  bool bestInside = false;
  size_t bestLength = 0;
  for (int32_t line : lines) {
    const std::string& text = cityLines[static_cast<size_t>(line)];
    int32_t start = 0;
    ParseRangeStart(text, start);
    bool inside = havePrefecture && prefectureOf(start) == prefecture;
    size_t length = text.size() > 6 ? text.size() - 6 : 0;
    if (best < 0 || (inside && !bestInside) || (inside == bestInside && length > bestLength)) {
      best = line;
      bestInside = inside;
      bestLength = length;
    }
  }
  return best;
}

// Step 3 of the address look-up over the entries [from, to] of Postal.dat.
template <class FindFn>
std::string CollectAddressCandidates(const TStrings& postal, int64_t from, int64_t to, const std::string& prefecture,
                                     const std::string& city, const std::string& input, int& count, FindFn find) {
  std::string result;
  count = 0;
  if (from < 0) from = 0;
  to = std::min<int64_t>(to, static_cast<int64_t>(postal.size()) - 1);
  std::string full, previous;
  size_t lastStart = 0;  // where the last candidate line starts in result
  const std::string_view opener = SJ("（");
  for (int64_t i = from; i <= to; ++i) {
    std::string_view line = postal[static_cast<size_t>(i)];
    std::string_view code = line.substr(0, 7);
    std::string_view town = line.size() > 7 ? line.substr(7) : std::string_view();
    full.assign(prefecture).append(city).append(town);
    // One of the two can hold only when the lengths allow it.
    bool match = full.size() <= input.size() ? find(input, full) != std::string_view::npos
                                             : find(full, input) != std::string_view::npos;
    if (!match) continue;
    if (count > 0 && previous.size() < full.size() && find(full, previous) != std::string_view::npos) {
      result.resize(lastStart >= kCrLf.size() ? lastStart - kCrLf.size() : 0);
      --count;
    }
    lastStart = result.empty() ? 0 : result.size() + kCrLf.size();
    if (!result.empty()) result += kCrLf;
    result.append(code).append(" ").append(full);
    size_t paren = find(town, opener);
    if (paren != std::string_view::npos) result.append(" ").append(line.substr(7 + paren));
    ++count;
    previous = full;
  }
  return result;
}

// The range [from, to] of the City.dat line: up to the next line's index - 1, the last line
// to the end of Postal.dat.
void CityRange(const TStrings& cityLines, int line, size_t postalCount, int64_t& from, int64_t& to) {
  int32_t start = 0;
  ParseRangeStart(cityLines[static_cast<size_t>(line)], start);
  from = start;
  to = static_cast<int64_t>(postalCount) - 1;
  if (static_cast<size_t>(line) + 1 < cityLines.size()) {
    int32_t next = 0;
    ParseRangeStart(cityLines[static_cast<size_t>(line) + 1], next);
    to = static_cast<int64_t>(next) - 1;
  }
}

// ---- Name index ----------------------------------------------------------------------------

// The code of the character at offset i, as the key of the first-character buckets.
inline uint32_t CharKey(std::string_view s, size_t i) {
  uint32_t key = static_cast<unsigned char>(s[i]);
  if (CharLenAt(s, i) == 2) key = key << 8 | static_cast<unsigned char>(s[i + 1]);
  return key;
}

// Finds which names of a range file occur in a text: the names are bucketed by their first
// character, so each character of the text is compared only with the names that start with it.
class TNameIndex {
public:
  void Build(const std::vector<TRange>& ranges) {
    FRanges = &ranges;
    for (size_t i = 0; i < ranges.size(); ++i)
      if (!ranges[i].Name.empty()) FBuckets[CharKey(ranges[i].Name, 0)].push_back(static_cast<int32_t>(i));
  }

  // The lines whose names occur in the text, ascending and without repeats.
  void Contained(std::string_view text, std::vector<int32_t>& lines) const {
    lines.clear();
    for (size_t i = 0; i < text.size(); i += CharLenAt(text, i)) {
      auto it = FBuckets.find(CharKey(text, i));
      if (it == FBuckets.end()) continue;
      for (int32_t line : it->second) {
        const std::string& name = (*FRanges)[static_cast<size_t>(line)].Name;
        if (i + name.size() <= text.size() && text.compare(i, name.size(), name) == 0) lines.push_back(line);
      }
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  }

private:
  const std::vector<TRange>* FRanges = nullptr;
  std::unordered_map<uint32_t, std::vector<int32_t>> FBuckets;
};

// The name of the range holding the index. max[j] is the largest start of lines 0..j, so the
// first line whose start exceeds the index (where a scan from the top stops) is the first j
// with max[j] > index, even when the lines are out of order.
const std::string* RangeName(const std::vector<TRange>& ranges, const std::vector<int32_t>& max, int index) {
  size_t j = static_cast<size_t>(std::upper_bound(max.begin(), max.end(), index) - max.begin());
  return j == 0 ? nullptr : &ranges[j - 1].Name;
}

std::vector<int32_t> RunningMax(const std::vector<TRange>& ranges) {
  std::vector<int32_t> max(ranges.size());
  for (size_t i = 0; i < ranges.size(); ++i) max[i] = i == 0 ? ranges[i].Start : std::max(max[i - 1], ranges[i].Start);
  return max;
}

// The postal index key of a line: its first seven bytes when they are all digits.
bool DigitCode(std::string_view s, uint32_t& code) {
  if (s.size() < 7) return false;
  code = 0;
  for (size_t i = 0; i < 7; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    code = code * 10 + static_cast<uint32_t>(s[i] - '0');
  }
  return true;
}

constexpr int kIndexBits = 40;

}  // namespace

// ---- Files ---------------------------------------------------------------------------------

std::string RangeLine(int index, const std::string& name) { return IntToStrPad(index, 6, PadSpace) + name; }

// ---- TPostalData ---------------------------------------------------------------------------

struct TPostalData::TIndex {
  std::vector<TRange> Ken, City;
  std::vector<int32_t> KenMax, CityMax;
  TNameIndex KenNames, CityNames;
  std::vector<uint64_t> Codes;      // code << kIndexBits | line, for lines that start with seven digits
  std::vector<int32_t> OtherLines;  // lines of seven bytes or more that do not
};

TPostalData::TPostalData() : TPostalData(DictionaryFolders()) {}

TPostalData::TPostalData(std::vector<std::string> folders) : FFolders(std::move(folders)) {}

TPostalData::~TPostalData() = default;

bool TPostalData::LoadData() {
  if (FIndex) return true;
  for (const std::string& f : FFolders) {
    std::string dir = IncludeTrailingDelimiter(f);
    std::string ken = dir + kKenFileName, city = dir + kCityFileName, postal = dir + kPostalFileName;
    TPostalReadLock lock(dir);
    if (!FileExists(ken) || !FileExists(city) || !FileExists(postal)) continue;
    TPostalLists lists;
    SplitLines(ReadFileBytes(ken, kMaxPostalFileSize), lists.Ken);
    SplitLines(ReadFileBytes(city, kMaxPostalFileSize), lists.City);
    SplitLines(ReadFileBytes(postal, kMaxPostalFileSize), lists.Postal);
    auto index = std::make_unique<TIndex>();
    index->Ken = ParseRanges(lists.Ken, ken);
    index->City = ParseRanges(lists.City, city);
    index->KenMax = RunningMax(index->Ken);
    index->CityMax = RunningMax(index->City);
    index->KenNames.Build(index->Ken);
    index->CityNames.Build(index->City);
    index->Codes.reserve(lists.Postal.size());
    for (size_t i = 0; i < lists.Postal.size(); ++i) {
      uint32_t code;
      if (DigitCode(lists.Postal[i], code)) index->Codes.push_back(static_cast<uint64_t>(code) << kIndexBits | i);
      else if (lists.Postal[i].size() >= 7) index->OtherLines.push_back(static_cast<int32_t>(i));
    }
    std::sort(index->Codes.begin(), index->Codes.end());
    FLists = std::move(lists);
    FFolder = dir;
    FIndex = std::move(index);
    return true;
  }
  return false;
}

std::string TPostalData::PrefectureOf(int index) const {
  if (!FIndex) return std::string();
  const std::string* name = RangeName(FIndex->Ken, FIndex->KenMax, index);
  return name ? *name : std::string();
}

std::string TPostalData::CityOf(int index) const {
  if (!FIndex) return std::string();
  const std::string* name = RangeName(FIndex->City, FIndex->CityMax, index);
  return name ? *name : std::string();
}

template <class F>
void TPostalData::ForEachLineOf(const std::string& code, F add) {
  if (!LoadData()) return;
  std::string key = WithoutHyphens(code);
  if (key.size() != 7) return;
  uint32_t value;
  if (DigitCode(key, value)) {
    const std::vector<uint64_t>& codes = FIndex->Codes;
    auto it = std::lower_bound(codes.begin(), codes.end(), static_cast<uint64_t>(value) << kIndexBits);
    for (; it != codes.end() && (*it >> kIndexBits) == value; ++it) add(static_cast<size_t>(*it & ((1ull << kIndexBits) - 1)));
  } else {
    for (int32_t i : FIndex->OtherLines)
      if (FLists.Postal[static_cast<size_t>(i)].compare(0, 7, key) == 0) add(static_cast<size_t>(i));
  }
}

std::string TPostalData::PostalToAddress(const std::string& code, int& count) {
  count = 0;
  std::string result;
  ForEachLineOf(code, [&](size_t i) {
    const std::string& line = FLists.Postal[i];
    const std::string* pref = RangeName(FIndex->Ken, FIndex->KenMax, static_cast<int>(i));
    const std::string* city = RangeName(FIndex->City, FIndex->CityMax, static_cast<int>(i));
    if (!result.empty()) result += kCrLf;
    if (pref) result += *pref;
    if (city) result += *city;
    result.append(line, 7);
    ++count;
  });
  return result;
}

std::vector<TPostalData::TPlace> TPostalData::Places(const std::string& code) {
  std::vector<TPlace> r;
  ForEachLineOf(code, [&](size_t i) {
    const std::string* pref = RangeName(FIndex->Ken, FIndex->KenMax, static_cast<int>(i));
    const std::string* city = RangeName(FIndex->City, FIndex->CityMax, static_cast<int>(i));
    r.push_back({pref ? *pref : std::string(), city ? *city : std::string(), FLists.Postal[i].substr(7)});
  });
  return r;
}

std::string TPostalData::AddressToPostal(const std::string& address, int& count) {
  count = 0;
  if (!LoadData()) return std::string();
  thread_local std::vector<int32_t> lines;
  FIndex->KenNames.Contained(address, lines);
  bool havePrefecture = !lines.empty();
  std::string prefecture = havePrefecture ? FIndex->Ken[static_cast<size_t>(lines.front())].Name : std::string();
  FIndex->CityNames.Contained(address, lines);
  int city = ChooseCity(lines, FLists.City, havePrefecture, prefecture, [&](int i) -> const std::string& {
    static const std::string kNone;
    const std::string* name = RangeName(FIndex->Ken, FIndex->KenMax, i);
    return name ? *name : kNone;
  });
  if (city < 0) return std::string();
  int64_t from, to;
  CityRange(FLists.City, city, FLists.Postal.size(), from, to);
  return CollectAddressCandidates(FLists.Postal, from, to, prefecture, FIndex->City[static_cast<size_t>(city)].Name,
                                  address, count, FindSj);
}

// ---- TPostalScan ---------------------------------------------------------------------------

namespace {

std::string ScanRange(const TStrings& lines, int index) {
  const std::string* last = nullptr;
  for (const std::string& line : lines) {
    int32_t start = 0;
    ParseRangeStart(line, start);
    if (start > index) break;
    last = &line;
  }
  return last && last->size() > 6 ? last->substr(6) : std::string();
}

}  // namespace

std::string TPostalScan::PrefectureOf(int index) const { return ScanRange(FData.FLists.Ken, index); }

std::string TPostalScan::CityOf(int index) const { return ScanRange(FData.FLists.City, index); }

std::string TPostalScan::PostalToAddress(const std::string& code, int& count) const {
  count = 0;
  std::string result;
  if (!FData.Loaded()) return result;
  std::string key = WithoutHyphens(code);
  if (key.size() != 7) return result;
  const TStrings& postal = FData.FLists.Postal;
  for (size_t i = 0; i < postal.size(); ++i)
    if (postal[i].size() >= 7 && std::memcmp(postal[i].data(), key.data(), 7) == 0)
      AppendCandidate(result, count, PrefectureOf(static_cast<int>(i)) + CityOf(static_cast<int>(i)) + postal[i].substr(7));
  return result;
}

std::string TPostalScan::AddressToPostal(const std::string& address, int& count) const {
  count = 0;
  if (!FData.Loaded()) return std::string();
  const TPostalLists& l = FData.FLists;
  auto occurs = [&](const std::string& line) {
    return line.size() > 6 && FindBySearchAll(address, std::string_view(line).substr(6)) != std::string_view::npos;
  };
  std::string prefecture;
  bool havePrefecture = false;
  for (const std::string& line : l.Ken)
    if (occurs(line)) {
      prefecture = line.substr(6);
      havePrefecture = true;
      break;
    }
  std::vector<int32_t> lines;
  for (size_t i = 0; i < l.City.size(); ++i)
    if (occurs(l.City[i])) lines.push_back(static_cast<int32_t>(i));
  int city = ChooseCity(lines, l.City, havePrefecture, prefecture, [&](int i) { return PrefectureOf(i); });
  if (city < 0) return std::string();
  int64_t from, to;
  CityRange(l.City, city, l.Postal.size(), from, to);
  return CollectAddressCandidates(l.Postal, from, to, prefecture, l.City[static_cast<size_t>(city)].substr(6), address,
                                  count, FindBySearchAll);
}

}  // namespace kaede

namespace kaede {
namespace {

// The value of "key=" in the folder's source record; empty when there is none.
std::string SourceRecordValue(const std::string& folder, const std::string& key) {
  std::string file = folder + kPostalSourceFileName;
  if (!FileExists(file)) return std::string();
  std::string text;
  try {
    text = ReadFileBytes(file, 4096);
  } catch (const Exception&) {
    return std::string();  // not a record of ours: the date of the files is used instead
  }
  TStrings lines;
  SplitLines(text, lines);
  for (const std::string& line : lines)
    if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
  return std::string();
}

// The local day a file was last written, YYYY-MM-DD; empty when it cannot be told.
std::string FileDay(const std::string& file) {
  struct stat st;
  if (::stat(OsPath(file).c_str(), &st) != 0) return std::string();
  std::tm tm{};
  if (!::localtime_r(&st.st_mtime, &tm)) return std::string();
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", &tm);
  return day;
}

std::string WithThousands(size_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

TPostalDictionaryInfo DictionaryInfo(TPostalData& data) {
  TPostalDictionaryInfo info;
  if (!data.LoadData()) return info;
  info.Folder = data.Folder();
  info.Shipped = info.Folder == ShippedDictionaryFolder();
  info.Entries = data.Lists().Postal.size();
  info.Date = SourceRecordValue(info.Folder, "date");
  info.DateOfData = !info.Date.empty();
  if (!info.DateOfData) info.Date = FileDay(info.Folder + kPostalFileName);
  return info;
}

std::string DescribeDictionary(const TPostalDictionaryInfo& info) {
  if (info.Folder.empty()) return SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）がありません");
  std::string what = info.Shipped ? SJ("同梱の郵便番号辞書") : SJ("更新した郵便番号辞書");
  std::string date = info.Date.empty() ? std::string()
                     : info.DateOfData ? info.Date + SJ(" のデータ、")
                                       : info.Date + SJ(" に更新、");
  return what + SJ("（") + date + WithThousands(info.Entries) + SJ(" 件）: ") + info.Folder;
}

}  // namespace kaede
