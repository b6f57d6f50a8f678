#pragma once
// String operations on code page 932 text. Positions are 1-based byte indexes, lengths are
// bytes, and no operation splits a double-byte character.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Cp932.h"
#include "KaedeTypes.h"

namespace kaede {

using TStrings = std::vector<std::string>;

// ---- Characters ----------------------------------------------------------------------------

// Byte length (1 or 2) of the character that starts at 0-based offset i.
inline size_t CharLenAt(std::string_view s, size_t i) {
  return (i + 1 < s.size() && IsLeadByte(s[i])) ? 2 : 1;
}
// True when 0-based offset i holds the trail byte of a double-byte character. The bytes
// before i that could be lead bytes are counted backwards: the run starts on a character
// boundary, its bytes pair up, so i is a trail byte exactly when the run is odd.
inline bool IsTrailAt(std::string_view s, size_t i) {
  size_t run = 0;
  while (run < i && IsLeadByte(s[i - 1 - run])) ++run;
  return run % 2 == 1;
}
// True when 1-based position pos falls on the trail byte of a double-byte character.
bool IsTrailBytePos(std::string_view s, size_t pos);
// The 1-based position moved back to the lead byte when it falls on a trail byte.
size_t ToLeadPos(std::string_view s, size_t pos);

// ---- Number texts --------------------------------------------------------------------------

enum { PadSpace = 0, PadZero = 1 };
std::string IntToStrPad(int64_t value, int width, int padKind);
std::string IntToZenkaku(int64_t value);
std::string IntToKansuji(int64_t value);
std::string ZenkakuKansuji(const std::string& text);
std::string IndexToShortcutChar(int index);

// ---- Strings and lists ---------------------------------------------------------------------

std::string DupeStr(const std::string& text, int count);
std::string SpaceStr(int count, bool fullWidth);
std::string CutStr(const std::string& text, int n, bool ellipsis);
std::string DeleteSpaces(const std::string& text);
// The form in which find compares texts: without ASCII and full-width spaces, kana as
// full-width hiragana (half-width kana with their voiced marks composed), letters, digits and
// symbols as half-width ASCII, letters in lower case. やまだ, ヤマダ and ﾔﾏﾀﾞ fold alike, and so
// do Ｓｍｉｔｈ and smith. Appends to out.
void AppendFoldedForFind(std::string& out, std::string_view text);
std::string FoldForFind(std::string_view text);
std::string ReplaceStrAll(const std::string& text, const std::string& oldText, const std::string& newText);
std::string EscapeCrLf(const std::string& text);
std::string ExpandTab(const std::string& text, int tabWidth, char fill);
std::string QuoteCsvLine(const std::string& line);
void SplitStr(const std::string& text, const std::string& sep, TStrings& list);
TStrings SplitStr(const std::string& text, const std::string& sep);
// Calls piece(view) for every piece of the text between single-byte separators, as SplitStr
// splits it: a separator that is the trail byte of a double-byte character does not count,
// an empty text gives no piece and a separator at the end no empty last piece.
template <class F>
void ForEachSplit(std::string_view text, char sep, F piece) {
  const char* base = text.data();
  size_t n = text.size(), start = 0;
  for (const char* p = base; n > 0 && (p = static_cast<const char*>(std::memchr(p, sep, n - static_cast<size_t>(p - base))));
       ++p) {
    size_t at = static_cast<size_t>(p - base);
    if (IsTrailAt(text, at)) continue;
    piece(text.substr(start, at - start));
    start = at + 1;
  }
  if (start < n) piece(text.substr(start));
}
std::string JoinStr(const TStrings& list, const std::string& sep);
std::string LeftOf(const std::string& text, const std::string& sep);
std::string RightOf(const std::string& text, const std::string& sep);
std::string DoubleRectToStr(double a, double b, double c, double d);
// Fields whose piece is missing keep their value; a piece that is not a number raises.
void StrToDoubleRect(const std::string& text, double& a, double& b, double& c, double& d);
// One number in the general format with three significant digits (as DoubleRectToStr writes).
std::string FloatToGeneral3(double v);
// A number as the settings and style files write it; raises Exception when not a number.
double StrToFloatStrict(const std::string& text);
bool StartsWithAny(const std::string& text, const TStrings& list);
bool IsEnclosed(const std::string& text, const std::string& opener, const std::string& closer);
bool LooseContains(const std::string& needle, const std::string& haystack);

// ---- Search --------------------------------------------------------------------------------

enum { SearchIgnoreCase = 1, SearchWholeWord = 2 };
// True when the pattern occurs in the text starting on a character boundary (exact bytes).
bool ContainsStr(std::string_view text, std::string_view pattern);
TIntegers SearchAll(const std::string& pattern, const std::string& text, int options);
TPoints SearchAllRanges(const std::string& pattern, const std::string& text, int options);
bool IsWordBound(const std::string& text, const std::string& pattern, int pos);

// ---- Character kinds, words, links ---------------------------------------------------------

enum TCharKind {
  ckOther = 0,
  ckHalfOther = 1,
  ckHalfLetter = 2,
  ckHalfSymbol = 3,
  ckHalfKatakana = 4,
  ckFullOther = 5,
  ckFullLetter = 6,
  ckFullSymbol = 7,
  ckFullKatakana = 8,
  ckHiragana = 9,
  ckIdeograph = 10,
  ckWidthlessSymbol = 11,
  ckSpace = 12,
  ckFullSpace = 13,
};
// The kind of one character (the first character of the text; empty gives ckOther).
int CharKind(std::string_view ch);
int StrKinds(const std::string& text);
bool IsHankakuStr(const std::string& text);
bool IsUrlStr(const std::string& text);
bool IsMailStr(const std::string& text);
// (start, end-exclusive) of the word around the position; modes 0 same kind, 1 URL, 2 mail,
// 3 joinable kinds.
TPoint WordRange(const std::string& text, int pos, int mode);
std::string WordAt(const std::string& text, int pos, int mode);
TPoints FindUrls(const std::string& text);
TPoints FindMails(const std::string& text);

enum TConvertKind { cvUpper = 0, cvLower = 1, cvHiragana = 2, cvKatakana = 3, cvZenkaku = 4, cvHankaku = 5 };
std::string ConvertStr(const std::string& text, int kind);
// Half width for what has an ASCII form (letters, digits, symbols, the space); katakana and
// the other characters stay as they are.
std::string HankakuAscii(const std::string& text);
int KanaRow(std::string_view text);

}  // namespace kaede
