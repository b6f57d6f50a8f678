#include "StrSrch.h"

#include <cstring>

#include "Strs.h"

namespace kaede {

TStringSearch::TStringSearch(const std::string& pattern, int options) : FPattern(pattern), FOptions(options) {
  size_t m = FPattern.size();
  if (FOptions & soIgnoreCase) {
    FLower = ConvertStr(FPattern, cvLower);
    FUpper = ConvertStr(FPattern, cvUpper);
    if (FLower.size() != m || FUpper.size() != m) FLower = FUpper = FPattern;
  } else {
    FLower = FUpper = FPattern;
  }
  for (size_t& b : FBad) b = m;
  for (size_t j = 0; j + 1 < m; ++j) {
    FBad[static_cast<unsigned char>(FLower[j])] = m - 1 - j;
    FBad[static_cast<unsigned char>(FUpper[j])] = m - 1 - j;
  }
  if (!(FOptions & soIgnoreCase) && m > 1) {
    // Good-suffix shifts from the pattern's borders (the classic two-pass construction).
    FGood.assign(m + 1, 0);
    std::vector<size_t> border(m + 1);
    size_t i = m, j = m + 1;
    border[i] = j;
    while (i > 0) {
      while (j <= m && FPattern[i - 1] != FPattern[j - 1]) {
        if (FGood[j] == 0) FGood[j] = j - i;
        j = border[j];
      }
      --i;
      --j;
      border[i] = j;
    }
    j = border[0];
    for (i = 0; i <= m; ++i) {
      if (FGood[i] == 0) FGood[i] = j;
      if (i == j) j = border[j];
    }
  }
}

bool TStringSearch::VerifyFolded(std::string_view text, size_t at) const {
  // Each character of the text matches one case form as a whole, so that a lead byte of one
  // form and a trail byte of the other never pass for a character of the pattern.
  for (size_t j = 0; j < FPattern.size();) {
    size_t len = CharLenAt(FLower, j);
    bool lower = std::memcmp(text.data() + at + j, FLower.data() + j, len) == 0;
    bool upper = std::memcmp(text.data() + at + j, FUpper.data() + j, len) == 0;
    if (!lower && !upper) return false;
    j += len;
  }
  return true;
}

size_t TStringSearch::RawFind(std::string_view text, size_t from) const {
  size_t m = FPattern.size(), n = text.size();
  if (m == 0 || from >= n || n - from < m) return std::string::npos;
  bool folded = FOptions & soIgnoreCase;
  if (m == 1) {
    unsigned char a = static_cast<unsigned char>(FLower[0]), b = static_cast<unsigned char>(FUpper[0]);
    for (size_t i = from; i < n; ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (c == a || c == b) return i;
    }
    return std::string::npos;
  }
  if (!folded) {
    size_t s = from;
    while (s + m <= n) {
      size_t j = m;
      while (j > 0 && FPattern[j - 1] == text[s + j - 1]) --j;
      if (j == 0) return s;
      size_t bad = FBad[static_cast<unsigned char>(text[s + j - 1])];
      // shift by the bad character relative to position j, at least the good suffix
      size_t badShift = bad > m - j ? bad - (m - j) : 1;
      size_t goodShift = FGood[j];
      s += badShift > goodShift ? badShift : goodShift;
    }
    return std::string::npos;
  }
  // Case-folded: each pattern byte accepts its lower or upper form (Horspool shifts).
  size_t s = from;
  while (s + m <= n) {
    size_t j = m;
    while (j > 0) {
      char c = text[s + j - 1];
      if (c != FLower[j - 1] && c != FUpper[j - 1]) break;
      --j;
    }
    if (j == 0 && VerifyFolded(text, s)) return s;
    s += FBad[static_cast<unsigned char>(text[s + m - 1])];
  }
  return std::string::npos;
}

size_t TStringSearch::Find(std::string_view text, size_t from, size_t* boundary) const {
  size_t local = 0;
  size_t& b = boundary ? *boundary : local;
  while (true) {
    size_t hit = RawFind(text, from);
    if (hit == std::string::npos || !(FOptions & soDoubleByte)) return hit;
    if (b > hit) b = 0;  // a stale hint: start over from the beginning
    while (b < hit) b += CharLenAt(text, b);
    if (b == hit) return hit;
    from = hit + 1;  // the match starts on a trail byte: resume one byte after it
  }
}

TStringSearchRec::TStringSearchRec(const std::string& text, const std::string& pattern, int options)
    : Text(text), Pattern(pattern), Search(pattern, options) {}

size_t TStringSearchRec::Next() {
  if (FDone) return 0;
  size_t hit = Search.Find(Text, FFrom, &FBoundary);
  if (hit == std::string::npos) {
    FDone = true;
    Position = 0;
    return 0;
  }
  Position = hit + 1;
  FFrom = hit + Pattern.size();
  return Position;
}

}  // namespace kaede
