#include "CustomerBarcodes.h"

#include <vector>

#include "PostalDatas.h"
#include "Strs.h"

namespace kaede {

namespace {

// The three bars of the symbols 0-9, "-", CC1-CC8, as digits 1-4 of TBarKind.
const char* const kSymbolBars[] = {"144", "114", "132", "312", "123", "141", "321", "213", "231", "411",
                                   "414", "324", "342", "234", "432", "243", "423", "441", "111"};

// One character of the address once its width and case are settled.
struct TToken {
  enum TKind { Digit, Hyphen, Letter, Other } Kind;
  char Ch = 0;         // the ASCII character of a digit, hyphen or letter
  std::string Text;    // the CP932 character of any other
};

bool Is2(std::string_view s, size_t i, unsigned char lead, unsigned char lo, unsigned char hi) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == lead && static_cast<unsigned char>(s[i + 1]) >= lo &&
         static_cast<unsigned char>(s[i + 1]) <= hi;
}

// The value of a kanji numeral character: 0-9, 10/100/1000 for the places, -1 for none.
int KanjiDigit(const std::string& ch) {
  static const char* const kDigits[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  for (int d = 0; d < 10; ++d)
    if (ch == Utf8ToSjisLiteral(kDigits[d])) return d;
  if (ch == SJ("十")) return 10;
  if (ch == SJ("百")) return 100;
  if (ch == SJ("千")) return 1000;
  return -1;
}

// A run of kanji numerals as arabic digits: positional with 十, 百 and 千 (二十一 → 21, 百五 →
// 105), digit by digit without them (二〇 → 20).
std::string KanjiNumber(const std::vector<int>& run) {
  bool positional = false;
  for (int v : run) positional = positional || v >= 10;
  if (!positional) {
    std::string r;
    for (int v : run) r += static_cast<char>('0' + v);
    return r;
  }
  int64_t total = 0, digit = -1;
  for (int v : run) {
    if (v < 10) {
      digit = digit < 0 ? v : digit * 10 + v;
    } else {
      total += (digit < 0 ? 1 : digit) * v;
      digit = -1;
    }
  }
  if (digit >= 0) total += digit;
  return std::to_string(total);
}

// The characters of the address as tokens: full-width letters and digits as ASCII, letters
// in upper case, the separators "&", "/", "・" and "." left out, the dashes as hyphens (the
// long vowel mark only after a digit).
std::vector<TToken> Tokens(std::string_view s) {
  std::vector<TToken> t;
  for (size_t i = 0; i < s.size();) {
    const size_t n = CharLenAt(s, i);
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const unsigned char c2 = n == 2 ? static_cast<unsigned char>(s[i + 1]) : 0;
    const bool afterDigit = !t.empty() && t.back().Kind == TToken::Digit;
    TToken k{TToken::Other, 0, std::string(s.substr(i, n))};
    if (n == 1 && c >= '0' && c <= '9') k = {TToken::Digit, static_cast<char>(c), {}};
    else if (n == 1 && c >= 'a' && c <= 'z') k = {TToken::Letter, static_cast<char>(c - 'a' + 'A'), {}};
    else if (n == 1 && c >= 'A' && c <= 'Z') k = {TToken::Letter, static_cast<char>(c), {}};
    else if (n == 1 && c == '-') k = {TToken::Hyphen, '-', {}};
    else if (n == 1 && (c == '&' || c == '/' || c == '.' || c == 0xA5)) k.Text.clear();  // ･ too
    else if (Is2(s, i, 0x82, 0x4F, 0x58)) k = {TToken::Digit, static_cast<char>('0' + c2 - 0x4F), {}};
    else if (Is2(s, i, 0x82, 0x60, 0x79)) k = {TToken::Letter, static_cast<char>('A' + c2 - 0x60), {}};
    else if (Is2(s, i, 0x82, 0x81, 0x9A)) k = {TToken::Letter, static_cast<char>('A' + c2 - 0x81), {}};
    // － ‐ ―, and ー after a digit
    else if (c == 0x81 && (c2 == 0x7C || c2 == 0x5D || c2 == 0x5C || (c2 == 0x5B && afterDigit)))
      k = {TToken::Hyphen, '-', {}};
    // ＆ ／ ． ・
    else if (c == 0x81 && (c2 == 0x95 || c2 == 0x5E || c2 == 0x44 || c2 == 0x45)) k.Text.clear();
    if (k.Kind != TToken::Other || !k.Text.empty()) t.push_back(std::move(k));
    i += n;
  }
  return t;
}

// Kanji numerals directly before a block, lot or room mark become digits.
void ConvertKanjiNumbers(std::vector<TToken>& t) {
  static const char* const kMarks[] = {"丁目", "丁", "番地", "番", "号", "地割", "線", "の", "ノ"};
  auto markAt = [&](size_t i) {
    for (const char* m : kMarks) {
      const std::string& mark = Utf8ToSjisLiteral(m);
      std::string text;
      for (size_t j = i; j < t.size() && t[j].Kind == TToken::Other && text.size() < mark.size(); ++j) text += t[j].Text;
      if (text == mark) return true;
    }
    return false;
  };
  std::vector<TToken> r;
  for (size_t i = 0; i < t.size(); ++i) {
    if (KanjiDigit(t[i].Text) < 0 || t[i].Kind != TToken::Other) {
      r.push_back(std::move(t[i]));
      continue;
    }
    size_t end = i;
    std::vector<int> run;
    while (end < t.size() && t[end].Kind == TToken::Other && KanjiDigit(t[end].Text) >= 0)
      run.push_back(KanjiDigit(t[end++].Text));
    if (end < t.size() && markAt(end)) {
      for (char d : KanjiNumber(run)) r.push_back({TToken::Digit, d, {}});
    } else {
      for (size_t j = i; j < end; ++j) r.push_back(std::move(t[j]));
    }
    i = end - 1;
  }
  t = std::move(r);
}

bool IsLetter(const std::vector<TToken>& t, size_t i) { return i < t.size() && t[i].Kind == TToken::Letter; }

}  // namespace

std::string BarSymbolName(int value) {
  if (value >= 0 && value <= 9) return std::string(1, static_cast<char>('0' + value));
  if (value == kBarHyphen) return "-";
  if (value >= kBarCC1 && value <= kBarCC8) return "CC" + std::to_string(value - kBarCC1 + 1);
  if (value == kBarStart) return "STC";
  if (value == kBarStop) return "SPC";
  return "?";
}

std::string BarcodeAddressNumber(const std::string& afterTown) {
  std::vector<TToken> t = Tokens(afterTown);
  ConvertKanjiNumbers(t);
  // Letters together are a word, not a letter of a number; a single F after a digit is a
  // floor. Both count as any other run.
  std::vector<bool> other(t.size());
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i].Kind == TToken::Other) other[i] = true;
    if (t[i].Kind != TToken::Letter) continue;
    const bool alone = !(i > 0 && IsLetter(t, i - 1)) && !IsLetter(t, i + 1);
    const bool floor = alone && t[i].Ch == 'F' && i > 0 && t[i - 1].Kind == TToken::Digit;
    if (!alone || floor) other[i] = true;
  }
  std::string raw;
  bool pending = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (other[i]) {
      pending = true;
      continue;
    }
    if (pending) raw += '-';
    pending = false;
    raw += t[i].Ch;
  }
  // one hyphen of a row, none next to a letter, none in front
  std::string r;
  auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '-') {
      const char next = i + 1 < raw.size() ? raw[i + 1] : 0;
      if (r.empty() || r.back() == '-' || letter(r.back()) || letter(next)) continue;
    }
    r += c;
  }
  return r;
}

TCustomerBarcode EncodeCustomerBarcode(const std::string& postalDigits, const std::string& addressNumber) {
  TCustomerBarcode b;
  b.AddressNumber = addressNumber;
  std::vector<int8_t> address;
  for (char c : addressNumber) {
    if (c >= '0' && c <= '9') address.push_back(static_cast<int8_t>(c - '0'));
    else if (c == '-') address.push_back(kBarHyphen);
    else if (c >= 'A' && c <= 'Z') {
      const int n = c - 'A';
      address.push_back(static_cast<int8_t>(kBarCC1 + n / 10));
      address.push_back(static_cast<int8_t>(n % 10));
    }
  }
  // the 13th place holding a letter's control code keeps it and drops the letter's digit
  if (address.size() > 13) address.resize(13);
  while (address.size() < 13) address.push_back(kBarCC4);
  size_t at = 0;
  b.Symbols[at++] = kBarStart;
  int sum = 0;
  for (char c : postalDigits) {
    if (c < '0' || c > '9' || at > 7) continue;
    b.Symbols[at++] = static_cast<int8_t>(c - '0');
  }
  while (at <= 7) b.Symbols[at++] = 0;
  for (int8_t v : address) b.Symbols[at++] = v;
  for (size_t i = 1; i < at; ++i) sum += b.Symbols[i];
  b.Symbols[at++] = static_cast<int8_t>((19 - sum % 19) % 19);
  b.Symbols[at] = kBarStop;
  return b;
}

std::string TCustomerBarcode::SymbolText() const {
  std::string r;
  for (int8_t v : Symbols) r += (r.empty() ? "" : " ") + BarSymbolName(v);
  return r;
}

std::array<TBarKind, kBarcodeBars> TCustomerBarcode::Bars() const {
  std::array<TBarKind, kBarcodeBars> bars{};
  size_t n = 0;
  auto put = [&](const char* kinds) {
    for (const char* k = kinds; *k; ++k) bars[n++] = static_cast<TBarKind>(*k - '0');
  };
  for (int8_t v : Symbols) {
    if (v == kBarStart) put("13");
    else if (v == kBarStop) put("31");
    else put(kSymbolBars[v]);
  }
  return bars;
}

std::string BarcodeFailureText(TBarcodeFailure why) {
  switch (why) {
    case TBarcodeFailure::NoPostalCode: return SJ("郵便番号がありません");
    case TBarcodeFailure::UnknownPostalCode: return SJ("郵便番号が辞書にありません");
    case TBarcodeFailure::NoDictionary: return SJ("郵便番号辞書がありません");
    default: return std::string();
  }
}

namespace {

// The seven ASCII digits of a postal code as entered (half or full width, hyphens and
// spaces ignored); empty when it is not seven digits.
std::string PostalDigits(const std::string& postal) {
  std::string d;
  for (const TToken& t : Tokens(postal)) {
    if (t.Kind == TToken::Digit) d += t.Ch;
    else if (t.Kind != TToken::Hyphen && t.Text != " " && t.Text != SJ("　")) return std::string();
  }
  return d.size() == 7 ? d : std::string();
}

bool StartsAt(const std::string& s, size_t at, const std::string& word) {
  return !word.empty() && s.compare(at, word.size(), word) == 0;
}

// Where the town ends in the address, or npos: after an optional prefecture and city, with
// 大字 or 字 before the town; or the town found anywhere else on a character boundary.
size_t TownEnd(const std::string& address, const TPostalData::TPlace& place, const std::string& town) {
  size_t at = 0;
  while (StartsAt(address, at, " ") || StartsAt(address, at, SJ("　"))) at += address[at] == ' ' ? 1 : 2;
  if (StartsAt(address, at, place.Prefecture)) at += place.Prefecture.size();
  if (StartsAt(address, at, place.City)) at += place.City.size();
  const size_t afterCity = at;
  if (town.empty()) return afterCity > 0 ? afterCity : std::string::npos;
  for (const std::string& prefix : {SJ("大字"), SJ("字"), std::string()})
    if (StartsAt(address, afterCity, prefix + town)) return afterCity + prefix.size() + town.size();
  for (size_t hit = address.find(town, afterCity); hit != std::string::npos; hit = address.find(town, hit + 1))
    if (!IsTrailAt(address, hit)) return hit + town.size();
  return std::string::npos;
}

}  // namespace

std::string AddressAfterTown(TPostalData& dictionary, const std::string& postalDigits, const std::string& address) {
  size_t best = std::string::npos, bestTown = 0;
  for (const TPostalData::TPlace& place : dictionary.Places(postalDigits)) {
    std::string town = place.Town;
    const std::string& opener = SJ("（");
    for (size_t p = town.find(opener); p != std::string::npos; p = town.find(opener, p + 1))
      if (!IsTrailAt(town, p)) {
        town.resize(p);
        break;
      }
    const size_t end = TownEnd(address, place, town);
    if (end == std::string::npos) continue;
    // the longest town found wins (緑町 over 緑), an empty one only when none is found
    if (best == std::string::npos || town.size() > bestTown) {
      best = end;
      bestTown = town.size();
    }
  }
  return best == std::string::npos ? address : address.substr(best);
}

TBarcodeFailure MakeCustomerBarcode(TPostalData& dictionary, const std::string& postal, const std::string& address,
                                    TCustomerBarcode& out) {
  const std::string digits = PostalDigits(postal);
  if (digits.empty()) return TBarcodeFailure::NoPostalCode;
  if (!dictionary.LoadData()) return TBarcodeFailure::NoDictionary;
  if (dictionary.Places(digits).empty()) return TBarcodeFailure::UnknownPostalCode;
  out = EncodeCustomerBarcode(digits, BarcodeAddressNumber(AddressAfterTown(dictionary, digits, address)));
  return TBarcodeFailure::None;
}

}  // namespace kaede
