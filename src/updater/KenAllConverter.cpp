#include "KenAllConverter.h"

#include "CommaText.h"

namespace kaede {
namespace {

bool IsSevenDigits(const std::string& s) {
  if (s.size() != 7) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// The number of "（" minus the number of "）" in the text, character by character.
int ParenBalance(std::string_view s) {
  const std::string& open = SJ("（");
  const std::string& close = SJ("）");
  int balance = 0;
  for (size_t i = 0; i < s.size(); i += CharLenAt(s, i)) {
    if (s.compare(i, 2, open) == 0) ++balance;
    else if (s.compare(i, 2, close) == 0) --balance;
  }
  return balance;
}

}  // namespace

bool ConvertKenAll(const TStrings& records, TPostalLists& lists, const TConvertProgress& progress, size_t maxLines) {
  lists = TPostalLists();
  auto fail = [&] {
    lists = TPostalLists();
    return false;
  };
  std::string previousCode, previousKen, previousCity;
  int openParens = 0;  // unclosed "（" of the last Postal.dat line
  TStrings f;
  const size_t n = records.size();
  for (size_t k = 0; k < n; ++k) {
    if (progress) progress(k, n);
    DecodeCommaText(records[k], f);
    if (f.size() < 9 || !IsSevenDigits(f[2])) continue;
    const std::string &code = f[2], &ken = f[6], &city = f[7], &town = f[8];
    if (!IsValidSjis(ken) || !IsValidSjis(city) || !IsValidSjis(town)) return fail();
    if (code == previousCode && openParens > 0) {
      lists.Postal.back() += town;
      openParens += ParenBalance(town);
    } else {
      std::string t = town == SJ("以下に掲載がない場合") ? std::string() : town;
      if (!SearchAll(SJ("の次に番地がくる場合"), t, 0).empty()) t = SJ("（") + t + SJ("）");
      if (lists.Postal.size() >= maxLines) return fail();
      lists.Postal.push_back(code + t);
      openParens = ParenBalance(t);
      previousCode = code;
    }
    int index = static_cast<int>(lists.Postal.size()) - 1;
    if (ken != previousKen) {
      previousKen = ken;
      lists.Ken.push_back(RangeLine(index, ken));
    }
    if (city != previousCity) {
      previousCity = city;
      lists.City.push_back(RangeLine(index, city));
    }
  }
  if (lists.Postal.empty()) return fail();
  return true;
}

}  // namespace kaede
