#include "Strs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CharTables.h"
#include "StrSrch.h"

namespace kaede {

// ---- Characters ----------------------------------------------------------------------------

bool IsTrailBytePos(std::string_view s, size_t pos) {
  if (pos < 2 || pos > s.size()) return false;
  return IsTrailAt(s, pos - 1);
}

size_t ToLeadPos(std::string_view s, size_t pos) { return IsTrailBytePos(s, pos) ? pos - 1 : pos; }

// ---- Number texts --------------------------------------------------------------------------

std::string IntToStrPad(int64_t value, int width, int padKind) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) >= width) return s;
  return std::string(width - s.size(), padKind == PadZero ? '0' : ' ') + s;
}

std::string IntToZenkaku(int64_t value) {
  std::string s = std::to_string(value), r;
  for (char c : s) {
    if (c == '-') r += SJ("－");
    else if (c == '+') r += SJ("＋");
    else r += ConvertStr(std::string(1, c), cvZenkaku);
  }
  return r;
}

std::string IntToKansuji(int64_t value) {
  if (value <= 0) return std::string();
  static const char* const kPlace[] = {"", "十", "百", "千"};
  static const char* const kGroup[] = {"", "万", "億", "兆", "京", "垓", "秭", "穣", "溝", "澗",
                                       "正", "載", "極", "恒河沙", "阿僧祇", "那由他", "不可思議", "無量大数"};
  static const char* const kDigit[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  std::string digits = std::to_string(value);
  std::string utf8;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    int k = n - 1 - i;
    int d = k % 4, q = k / 4;
    int digit = digits[i] - '0';
    const char* group = q < 18 ? kGroup[q] : "";
    if (digit == 0) {
      if (d == 0) {
        // the group word stands when its four digits are not all zero (at the start of the
        // text the window is the first four digits)
        int from = i - 3 < 0 ? 0 : i - 3;
        if (digits.substr(from, 4).find_first_not_of('0') != std::string::npos) utf8 += group;
      }
    } else if (digit == 1) {
      if (d > 0) utf8 += kPlace[d];
      else { utf8 += kDigit[1]; utf8 += group; }
    } else {
      utf8 += kDigit[digit];
      utf8 += d > 0 ? kPlace[d] : group;
    }
  }
  return Utf8ToSjis(utf8);
}

std::string ZenkakuKansuji(const std::string& text) {
  static const char* const kKanji[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  std::string z = ConvertStr(text, cvZenkaku), r;
  const std::string& zero = SJ("０");
  for (size_t i = 0; i < z.size();) {
    size_t len = CharLenAt(z, i);
    if (len == 2 && z[i] == zero[0] && static_cast<unsigned char>(z[i + 1]) >= static_cast<unsigned char>(zero[1]) &&
        static_cast<unsigned char>(z[i + 1]) <= static_cast<unsigned char>(zero[1]) + 9) {
      r += Utf8ToSjis(kKanji[static_cast<unsigned char>(z[i + 1]) - static_cast<unsigned char>(zero[1])]);
    } else {
      r.append(z, i, len);
    }
    i += len;
  }
  return r;
}

std::string IndexToShortcutChar(int index) {
  if (index >= 0 && index <= 8) return std::string(1, static_cast<char>('1' + index));
  if (index == 9) return "0";
  return std::string(1, static_cast<char>(55 + index));
}

// ---- Strings and lists ---------------------------------------------------------------------

std::string DupeStr(const std::string& text, int count) {
  std::string r;
  if (count <= 0) return r;
  r.reserve(text.size() * count);
  for (int i = 0; i < count; ++i) r += text;
  return r;
}

std::string SpaceStr(int count, bool fullWidth) {
  if (count <= 0) return std::string();
  if (!fullWidth) return std::string(count, ' ');
  return DupeStr(SJ("　"), count / 2) + (count % 2 ? " " : "");
}

std::string CutStr(const std::string& text, int n, bool ellipsis) {
  if (n < 1) return std::string();
  if (static_cast<size_t>(n) >= text.size()) return text;
  size_t cut = static_cast<size_t>(n);
  // byte n is a lead byte when a character starts there and takes two bytes
  size_t i = 0;
  while (i < cut) {
    size_t len = CharLenAt(text, i);
    if (i + len > cut) break;
    i += len;
  }
  std::string r = text.substr(0, i);
  if (ellipsis) r += "...";
  return r;
}

std::string DeleteSpaces(const std::string& text) {
  const std::string& full = SJ("　");
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLenAt(text, i);
    if (len == 1 && text[i] == ' ') { ++i; continue; }
    if (len == 2 && text.compare(i, 2, full) == 0) { i += 2; continue; }
    r.append(text, i, len);
    i += len;
  }
  return r;
}

std::string ReplaceStrAll(const std::string& text, const std::string& oldText, const std::string& newText) {
  if (oldText.empty()) return text;
  TIntegers hits = SearchAll(oldText, text, 0);
  if (hits.empty()) return text;
  std::string r;
  size_t last = 0;
  for (int32_t p : hits) {
    r.append(text, last, static_cast<size_t>(p - 1) - last);
    r += newText;
    last = static_cast<size_t>(p - 1) + oldText.size();
  }
  r.append(text, last, std::string::npos);
  return r;
}

std::string EscapeCrLf(const std::string& text) { return ReplaceStrAll(text, "\r\n", "\\n"); }

std::string ExpandTab(const std::string& text, int tabWidth, char fill) {
  if (tabWidth < 1) tabWidth = 1;
  std::string r;
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLenAt(text, i);
    if (len == 1 && text[i] == '\t') {
      size_t p = r.size() + 1;
      r.append(tabWidth - (p - 1) % tabWidth, fill);
    } else {
      r.append(text, i, len);
    }
    i += len;
  }
  return r;
}

std::string QuoteCsvLine(const std::string& line) {
  if (line.find('"') != std::string::npos) return line;
  std::string r(1, '"');
  r += ReplaceStrAll(line, ",", "\",\"");
  r += '"';
  return r;
}

void SplitStr(const std::string& text, const std::string& sep, TStrings& list) {
  list.clear();
  if (text.empty()) return;
  if (sep.size() == 1) {
    // One single-byte separator (the "|" of list fields): found with memchr, and skipped when
    // it is the trail byte of a double-byte character.
    const char c = sep[0];
    const char* base = text.data();
    size_t n = text.size(), count = 1;
    for (const char* p = base; (p = static_cast<const char*>(std::memchr(p, c, n - static_cast<size_t>(p - base)))); ++p)
      ++count;
    list.reserve(count);
    ForEachSplit(text, c, [&](std::string_view piece) { list.emplace_back(piece); });
    return;
  }
  TIntegers hits = sep.empty() ? TIntegers() : SearchAll(sep, text, 0);
  if (hits.empty()) {
    list.push_back(text);
    return;
  }
  size_t last = 0;
  for (int32_t p : hits) {
    list.push_back(text.substr(last, static_cast<size_t>(p - 1) - last));
    last = static_cast<size_t>(p - 1) + sep.size();
  }
  if (last < text.size()) list.push_back(text.substr(last));
}

TStrings SplitStr(const std::string& text, const std::string& sep) {
  TStrings r;
  SplitStr(text, sep, r);
  return r;
}

std::string JoinStr(const TStrings& list, const std::string& sep) {
  std::string r;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) r += sep;
    r += list[i];
  }
  return r;
}

std::string LeftOf(const std::string& text, const std::string& sep) {
  TIntegers hits = SearchAll(sep, text, 0);
  if (hits.empty()) return text;
  return text.substr(0, static_cast<size_t>(hits[0] - 1));
}

std::string RightOf(const std::string& text, const std::string& sep) {
  TIntegers hits = SearchAll(sep, text, 0);
  if (hits.empty()) return std::string();
  return text.substr(static_cast<size_t>(hits[0] - 1) + sep.size());
}

std::string FloatToGeneral3(double v) {
  if (v == 0 || !std::isfinite(v)) return v == 0 ? "0" : (std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF"));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2e", v);  // three significant digits: d.dde±x
  int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  std::string r;
  if (exponent < 3 && exponent >= -5) {
    int decimals = 2 - exponent;
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    r = buf;
    if (r.find('.') != std::string::npos) {
      while (!r.empty() && r.back() == '0') r.pop_back();
      if (!r.empty() && r.back() == '.') r.pop_back();
    }
    if (r == "-0") r = "0";
    return r;
  }
  std::string mant(buf, std::strchr(buf, 'e'));
  if (mant.find('.') != std::string::npos) {
    while (mant.back() == '0') mant.pop_back();
    if (mant.back() == '.') mant.pop_back();
  }
  std::snprintf(buf, sizeof buf, "%s%02d", exponent < 0 ? "-" : "", std::abs(exponent));
  return mant + "E" + buf;
}

std::string DoubleRectToStr(double a, double b, double c, double d) {
  return FloatToGeneral3(a) + "|" + FloatToGeneral3(b) + "|" + FloatToGeneral3(c) + "|" + FloatToGeneral3(d);
}

double StrToFloatStrict(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string t = text.substr(i);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (!t.empty()) {
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(t.c_str(), &end);
    if (end && *end == 0 && std::isfinite(v) && t.find_first_of("xXnN") == std::string::npos) return v;
  }
  throw Exception("\"" + text + "\"" + SJ(" は正しい数値ではありません"));
}

void StrToDoubleRect(const std::string& text, double& a, double& b, double& c, double& d) {
  TStrings pieces = SplitStr(text, "|");
  double* fields[4] = {&a, &b, &c, &d};
  for (size_t i = 0; i < 4 && i < pieces.size(); ++i) *fields[i] = StrToFloatStrict(pieces[i]);
}

bool StartsWithAny(const std::string& text, const TStrings& list) {
  for (const std::string& s : list)
    if (!s.empty() && text.compare(0, s.size(), s) == 0 && !IsTrailBytePos(text, s.size() + 1)) return true;
  return false;
}

bool IsEnclosed(const std::string& text, const std::string& opener, const std::string& closer) {
  if (SearchAll(opener, text, 0).empty()) return false;
  if (SearchAll(closer, text, 0).empty()) return true;
  return text.size() >= closer.size() && text.compare(text.size() - closer.size(), closer.size(), closer) == 0 &&
         !IsTrailBytePos(text, text.size() - closer.size() + 1);
}

namespace {
std::string LooseNormal(const std::string& s) {
  return ConvertStr(ConvertStr(ConvertStr(DeleteSpaces(s), cvUpper), cvZenkaku), cvHiragana);
}
}  // namespace

bool LooseContains(const std::string& needle, const std::string& haystack) {
  std::string n = LooseNormal(needle);
  if (n.empty()) return true;
  return !SearchAll(n, LooseNormal(haystack), 0).empty();
}

// ---- Search --------------------------------------------------------------------------------

bool IsWordBound(const std::string& text, const std::string& pattern, int pos) {
  static const char kDelims[] = " ',.!?:;[]()&%$#\"-";
  auto isDelim = [](char c) { return c != 0 && std::strchr(kDelims, c) != nullptr; };
  size_t m = pattern.size(), n = text.size();
  if (pos < 1 || static_cast<size_t>(pos) + m - 1 > n) return false;
  auto inDouble = [&](size_t p1) {  // 1-based byte belongs to a double-byte character
    return IsTrailBytePos(text, p1) || (p1 <= n && CharLenAt(text, p1 - 1) == 2);
  };
  bool left = pos == 1 || isDelim(text[pos - 2]) || inDouble(static_cast<size_t>(pos - 1));
  size_t after = static_cast<size_t>(pos) + m;  // 1-based position after the match
  bool right = after - 1 == n || isDelim(text[after - 1]) || inDouble(after);
  return left && right;
}

bool ContainsStr(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return false;
  const char* base = text.data();
  const char* p = base;
  const char* end = base + text.size();
  while (p < end) {
    const void* hit = ::memmem(p, static_cast<size_t>(end - p), pattern.data(), pattern.size());
    if (!hit) return false;
    size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
    if (!IsTrailAt(text, at)) return true;
    p = base + at + 1;  // the match began on a trail byte
  }
  return false;
}

TIntegers SearchAll(const std::string& pattern, const std::string& text, int options) {
  TIntegers r;
  if (pattern.empty() || text.empty()) return r;
  bool ignoreCase = options & SearchIgnoreCase;
  if (!ignoreCase && text.find(pattern) == std::string::npos) return r;
  TStringSearch search(pattern, (ignoreCase ? soIgnoreCase : 0) | soDoubleByte);
  size_t from = 0, boundary = 0;
  while (from < text.size()) {
    size_t hit = search.Find(text, from, &boundary);
    if (hit == std::string::npos) break;
    if (!(options & SearchWholeWord) || IsWordBound(text, pattern, static_cast<int>(hit + 1)))
      r.push_back(static_cast<int32_t>(hit + 1));
    from = hit + pattern.size();
  }
  return r;
}

TPoints SearchAllRanges(const std::string& pattern, const std::string& text, int options) {
  TPoints r;
  for (int32_t p : SearchAll(pattern, text, options))
    r.push_back(TPoint{p, p + static_cast<int32_t>(pattern.size()) - 1});
  return r;
}

// ---- Character kinds, words, links ---------------------------------------------------------

namespace {
uint32_t CodeAt(std::string_view s, size_t i, size_t& len) {
  len = CharLenAt(s, i);
  unsigned char lead = static_cast<unsigned char>(s[i]);
  if (len == 2) return chartables::CodeIndex(lead, static_cast<unsigned char>(s[i + 1]), true);
  return lead;
}

const char kUrlChars[] = ":/.-_~&?=#@abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const char kMailChars[] = "@.-_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool InSet(const char* set, std::string_view s, size_t i) {
  return CharLenAt(s, i) == 1 && s[i] != 0 && std::strchr(set, s[i]) != nullptr;
}

bool Joinable(int k0, int k) {
  if (k == k0) return true;
  auto in = [](int v, std::initializer_list<int> l) {
    for (int x : l)
      if (x == v) return true;
    return false;
  };
  if (in(k0, {1, 3, 5, 6, 7}) && in(k, {1, 2, 3, 5, 7})) return true;
  return in(k0, {5, 10}) && in(k, {5, 10});
}
}  // namespace

int CharKind(std::string_view ch) {
  if (ch.empty()) return ckOther;
  size_t len;
  return chartables::Kind(CodeAt(ch, 0, len));
}

int StrKinds(const std::string& text) {
  static const int kBits[14] = {0, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040,
                                0x0080, 0x0100, 0x0200, 0x0400, 0x0800, 0x1000, 0x2000};
  int r = 0;
  for (size_t i = 0; i < text.size();) {
    size_t len;
    r |= kBits[chartables::Kind(CodeAt(text, i, len))];
    i += len;
  }
  return r;
}

bool IsHankakuStr(const std::string& text) { return (StrKinds(text) & 0xE7F1) == 0; }

bool IsUrlStr(const std::string& text) {
  for (char c : text)
    if (c == 0 || !std::strchr(kUrlChars, c)) return false;
  return true;
}

bool IsMailStr(const std::string& text) {
  for (char c : text)
    if (c == 0 || !std::strchr(kMailChars, c)) return false;
  return true;
}

TPoint WordRange(const std::string& text, int pos, int mode) {
  int n = static_cast<int>(text.size());
  if (pos < 1) return TPoint{0, 0};
  if (pos > n) return TPoint{n + 1, n + 1};
  size_t start = ToLeadPos(text, static_cast<size_t>(pos)) - 1;  // 0-based
  size_t len0;
  int k0 = chartables::Kind(CodeAt(text, start, len0));
  bool url0 = InSet(kUrlChars, text, start), mail0 = InSet(kMailChars, text, start);
  auto joins = [&](size_t i) {
    size_t len;
    switch (mode) {
      case 1: return url0 && InSet(kUrlChars, text, i);
      case 2: return mail0 && InSet(kMailChars, text, i);
      case 3: return Joinable(k0, chartables::Kind(CodeAt(text, i, len)));
      default: return chartables::Kind(CodeAt(text, i, len)) == k0;
    }
  };
  // Character starts up to the start character, so that stepping left never lands on a trail byte.
  std::vector<size_t> starts;
  for (size_t i = 0; i < start;) {
    starts.push_back(i);
    i += CharLenAt(text, i);
  }
  size_t first = start;
  for (size_t k = starts.size(); k-- > 0;) {
    if (!joins(starts[k])) break;
    first = starts[k];
  }
  size_t end = start + len0;
  while (end < text.size() && joins(end)) end += CharLenAt(text, end);
  return TPoint{static_cast<int32_t>(first + 1), static_cast<int32_t>(end + 1)};
}

std::string WordAt(const std::string& text, int pos, int mode) {
  TPoint r = WordRange(text, pos, mode);
  if (r.X < 1 || r.X > static_cast<int>(text.size())) return std::string();
  return text.substr(static_cast<size_t>(r.X - 1), static_cast<size_t>(r.Y - r.X));
}

TPoints FindUrls(const std::string& text) {
  TPoints r;
  for (const char* scheme : {"http://", "https://"}) {
    for (int32_t p : SearchAll(scheme, text, 0)) {
      TPoint w = WordRange(text, p, 1);
      if (w.X == p && w.Y - w.X > 9) r.push_back(TPoint{w.X, w.Y - 1});
    }
  }
  return r;
}

TPoints FindMails(const std::string& text) {
  TPoints r;
  for (int32_t p : SearchAll("@", text, 0)) {
    TPoint w = WordRange(text, p, 2);
    if (w.X < p && w.Y - w.X > 6) r.push_back(TPoint{w.X, w.Y - 1});
  }
  return r;
}

std::string ConvertStr(const std::string& text, int kind) {
  if (kind < 0 || kind > 5) return text;
  std::string r;
  r.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size();) {
    size_t len;
    uint32_t code = CodeAt(text, i, len);
    if (kind == cvZenkaku && len == 1 && i + 1 < text.size()) {
      uint32_t composed = chartables::ComposeVoiced(static_cast<unsigned char>(text[i]),
                                                    static_cast<unsigned char>(text[i + 1]));
      if (composed) {
        AppendCp932Code(r, static_cast<int32_t>(composed));
        i += 2;
        continue;
      }
    }
    uint32_t m = chartables::Map(kind, code);
    if (m == code) {
      r.append(text, i, len);
    } else if (m > 0xFFFF) {
      r += static_cast<char>((m >> 8) & 0xFF);
      r += static_cast<char>(m & 0xFF);
    } else {
      AppendCp932Code(r, static_cast<int32_t>(m));
    }
    i += len;
  }
  return r;
}

void AppendFoldedForFind(std::string& out, std::string_view text) {
  for (size_t i = 0, n = text.size(); i < n;) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {  // ASCII, most of a text form: no table needed
      if (c != ' ') out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
      ++i;
      continue;
    }
    size_t len;
    uint32_t code = CodeAt(text, i, len);
    size_t used = len;
    if (len == 1 && code >= 0xA1 && code <= 0xDF) {
      // half-width kana: composed with a following voiced mark, then full width
      uint32_t composed = i + 1 < n ? chartables::ComposeVoiced(static_cast<unsigned char>(text[i]),
                                                                static_cast<unsigned char>(text[i + 1]))
                                    : 0;
      if (composed) used = 2;
      code = composed ? composed : chartables::Map(cvZenkaku, code);
    } else if (len == 2) {
      if (code == 0x8140) {  // the full-width space
        i += used;
        continue;
      }
      uint32_t half = chartables::Map(cvHankaku, code);
      if (half < 0x80) code = half;  // full-width letters, digits and symbols
    }
    if (code == ' ') {
      i += used;
      continue;
    }
    code = chartables::Map(cvHiragana, code);
    if (code < 0x80) {
      out += static_cast<char>(std::tolower(static_cast<int>(code)));
    } else if (code > 0xFFFF) {
      out += static_cast<char>((code >> 8) & 0xFF);
      out += static_cast<char>(code & 0xFF);
    } else {
      AppendCp932Code(out, static_cast<int32_t>(code));
    }
    i += used;
  }
}

std::string FoldForFind(std::string_view text) {
  std::string r;
  r.reserve(text.size());
  AppendFoldedForFind(r, text);
  return r;
}

std::string HankakuAscii(const std::string& text) {
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len;
    uint32_t code = CodeAt(text, i, len);
    uint32_t m = len == 2 ? chartables::Map(cvHankaku, code) : code;
    if (len == 2 && m >= 0x20 && m <= 0x7E) r += static_cast<char>(m);
    else r.append(text, i, len);
    i += len;
  }
  return r;
}

int KanaRow(std::string_view text) {
  // The row of every double-byte character, from the plain table, then the voiced, then the
  // semi-voiced one (the first table that holds a character decides), looked up in one step.
  static const std::vector<int8_t> rows = [] {
    std::vector<int8_t> r(65536, 10);
    std::vector<bool> seen(65536, false);
    const std::string tables[3] = {
        SJ("をぁぃぅぇぉゃゅょっーあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもや＠ゆ＠よらりるれろわん"),
        SJ("をぁぃぅぇぉゃゅょっーあいうえおがぎぐげござじずぜぞだぢづでどなにぬねのばびぶべぼまみむめもや＠ゆ＠よらりるれろわん"),
        SJ("をぁぃぅぇぉゃゅょっーあいうえおかきくけこさしすせそたちつてとなにぬねのぱぴぷぺぽまみむめもや＠ゆ＠よらりるれろわん")};
    const int aPos = 22;  // byte offset of "あ": eleven double-byte characters precede it
    for (const std::string& t : tables) {
      for (size_t i = 0; i + 1 < t.size(); i += 2) {
        unsigned code = static_cast<unsigned char>(t[i]) << 8 | static_cast<unsigned char>(t[i + 1]);
        if (seen[code]) continue;
        seen[code] = true;
        r[code] = static_cast<int8_t>((static_cast<int>(i) - aPos) / 10);
      }
    }
    return r;
  }();
  if (text.size() < 2 || !IsLeadByte(text[0])) return 10;
  return rows[static_cast<unsigned char>(text[0]) << 8 | static_cast<unsigned char>(text[1])];
}

}  // namespace kaede
