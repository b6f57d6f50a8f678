#pragma once
// Boyer-Moore search that is safe for double-byte text: a match never starts on the trail
// byte of a character, and case folding applies to full-width letters as well.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kaede {

enum { soIgnoreCase = 1, soDoubleByte = 2 };

class TStringSearch {
public:
  TStringSearch(const std::string& pattern, int options);

  const std::string& Pattern() const { return FPattern; }
  int Options() const { return FOptions; }

  // The 0-based offset of the first match at or after `from`, or npos. With the double-byte
  // option, matches on trail bytes are skipped; character boundaries are found by scanning
  // from `*boundary` (a known character start not after `from`, updated as the scan goes)
  // or from the start of the text when it is null.
  size_t Find(std::string_view text, size_t from = 0, size_t* boundary = nullptr) const;

private:
  size_t RawFind(std::string_view text, size_t from) const;
  bool VerifyFolded(std::string_view text, size_t at) const;

  std::string FPattern;
  std::string FLower, FUpper;  // the pattern's two case forms (ignore-case mode)
  int FOptions;
  size_t FBad[256];
  std::vector<size_t> FGood;  // good-suffix shifts (exact mode)
};

// Iteration over all matches of a pattern in a text.
struct TStringSearchRec {
  TStringSearchRec(const std::string& text, const std::string& pattern, int options);
  // Next match as a 1-based position; 0 when exhausted.
  size_t Next();

  std::string Text;
  std::string Pattern;
  size_t Position = 0;  // current match, 1-based; 0 when exhausted or not started
  TStringSearch Search;

private:
  size_t FFrom = 0;
  size_t FBoundary = 0;
  bool FDone = false;
};

}  // namespace kaede
