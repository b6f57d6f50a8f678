#include "Notations.h"

#include <algorithm>

namespace kaede {

namespace {

// Marks the bytes from every opener through the first closer after it. Spans that overlap
// (an opener before the closer of an earlier one) are marked as their union, once each.
void MarkSpans(const std::string& text, const std::string& opener, const std::string& closer, TBooleans& mask) {
  TIntegers openers = SearchAll(opener, text, 0);
  if (openers.empty()) return;
  TIntegers closers = SearchAll(closer, text, 0);
  const int32_t openLen = static_cast<int32_t>(opener.size()), closeLen = static_cast<int32_t>(closer.size());
  size_t j = 0;
  int32_t markedTo = 0;
  for (int32_t x : openers) {
    while (j < closers.size() && closers[j] < x + openLen) ++j;
    if (j == closers.size()) break;
    int32_t end = closers[j] + closeLen - 1;
    for (int32_t b = std::max(x, markedTo + 1); b <= end; ++b) mask[static_cast<size_t>(b)] = true;
    markedTo = std::max(markedTo, end);
  }
}

void MarkEvery(const std::string& text, const std::string& mark, TBooleans& mask) {
  for (int32_t p : SearchAll(mark, text, 0))
    for (size_t b = 0; b < mark.size(); ++b) mask[static_cast<size_t>(p) + b] = true;
}

std::string WithoutMasked(const std::string& text, const TBooleans& mask) {
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!mask[i + 1]) r += text[i];
  return r;
}

bool AnyTrue(const TBooleans& mask) { return std::find(mask.begin(), mask.end(), true) != mask.end(); }

uint16_t CodeAt(std::string_view text, size_t i) {
  if (CharLenAt(text, i) == 2)
    return static_cast<uint16_t>(static_cast<unsigned char>(text[i]) << 8 | static_cast<unsigned char>(text[i + 1]));
  return static_cast<unsigned char>(text[i]);
}

}  // namespace

// ---- Notation ------------------------------------------------------------------------------

TPoints FindPairs(const std::string& text, const std::string& opener, const std::string& closer) {
  TPoints r;
  TIntegers openers = SearchAll(opener, text, 0);
  const int32_t openLen = static_cast<int32_t>(opener.size()), closeLen = static_cast<int32_t>(closer.size());
  if (closer.empty()) {
    for (int32_t p : openers) r.push_back(TPoint{p, p + openLen - 1});
    return r;
  }
  if (openers.empty()) return r;
  TIntegers closers = SearchAll(closer, text, 0);
  size_t j = 0;
  for (size_t i = 0; i < openers.size(); ++i) {
    int32_t x = openers[i];
    while (j < closers.size() && closers[j] < x + openLen) ++j;
    if (j == closers.size()) break;
    if (i + 1 == openers.size() || closers[j] < openers[i + 1]) r.push_back(TPoint{x, closers[j] + closeLen - 1});
  }
  return r;
}

TPoints FindRubiBars(const std::string& text) { return FindPairs(text, SJ("｜"), std::string()); }

TPoints FindRubiBrackets(const std::string& text) { return FindPairs(text, SJ("《"), SJ("》")); }

TPoints FindNotes(const std::string& text) {
  TPoints r;
  const std::string& dot = SJ("傍点");
  const std::string& line = SJ("傍線");
  for (const TPoint& p : FindPairs(text, SJ("［＃"), SJ("］"))) {
    // the two characters before the closing bracket, when the annotation holds that much
    int32_t from = p.Y - 5;
    bool emphasis = from >= p.X + 4 && (text.compare(static_cast<size_t>(from - 1), 4, dot) == 0 ||
                                        text.compare(static_cast<size_t>(from - 1), 4, line) == 0);
    if (!emphasis) r.push_back(p);
  }
  return r;
}

TBotenInfos FindBotens(const std::string& text) {
  static const std::string kClosers[10] = {
      SJ("」に傍点］"),     SJ("」に白丸傍点］"), SJ("」に丸傍点］"),   SJ("」に黒三角傍点］"), SJ("」に白三角傍点］"),
      SJ("」に二重丸傍点］"), SJ("」に蛇の目傍点］"), SJ("」に白ゴマ傍点］"), SJ("」に傍線］"),     SJ("」に二重傍線］"),
  };
  TBotenInfos r;
  if (text.find(SJ("［＃「")) == std::string::npos) return r;
  for (int32_t kind = 0; kind < 10; ++kind) {
    const std::string& closer = kClosers[kind];
    for (const TPoint& p : FindPairs(text, SJ("［＃「"), closer)) {
      int32_t quoted = p.Y - p.X - 5 - static_cast<int32_t>(closer.size());
      // the emphasised text is the quoted length just before the annotation, and never
      // reaches before the start of the line
      r.push_back(TBotenInfo{kind, std::max(1, p.X - quoted), p.X - 1});
    }
  }
  return r;
}

TRubiInfos FindRubis(const std::string& text) {
  TRubiInfos r;
  TPoints pairs = FindRubiBrackets(text);
  if (pairs.empty()) return r;
  TIntegers bars = SearchAll(SJ("｜"), text, 0);
  int32_t previous = 0;  // opener of the previous ruby
  for (const TPoint& p : pairs) {
    const int32_t x = p.X;
    TRubiInfo info;
    info.RubiStart = x + 2;
    info.RubiLength = p.Y - x - 3;
    // the latest bar between the previous ruby and this one starts the base
    auto bar = std::lower_bound(bars.begin(), bars.end(), x);
    if (bar != bars.begin() && *(bar - 1) > previous) {
      info.BaseStart = *(bar - 1) + 2;
    } else if (x > 1) {
      info.BaseStart = WordRange(text, x - 1, 0).X;
    } else {
      info.BaseStart = x;
    }
    info.BaseLength = x - info.BaseStart;
    r.push_back(info);
    previous = x;
  }
  return r;
}

std::string DeletePairs(const std::string& text, const std::string& opener, const std::string& closer) {
  if (opener.empty() || text.find(opener) == std::string::npos) return text;
  TBooleans mask(text.size() + 2, false);
  if (closer.empty()) MarkEvery(text, opener, mask);
  else MarkSpans(text, opener, closer, mask);
  return WithoutMasked(text, mask);
}

std::string DeleteRubi(const std::string& text) {
  TBooleans mask = HiddenMask(text, std::string(), true, false, false);
  return AnyTrue(mask) ? WithoutMasked(text, mask) : text;
}

std::string DeleteNotes(const std::string& text) { return DeletePairs(text, SJ("［＃"), SJ("］")); }

TBooleans HiddenMask(const std::string& line, const std::string& leadingMark, bool hideRubi, bool hideLeadingMark,
                     bool hideNotes) {
  TBooleans mask;
  if (!hideRubi && !hideLeadingMark && !hideNotes) return mask;
  mask.assign(line.size() + 2, false);
  if (hideRubi) {
    MarkSpans(line, SJ("《"), SJ("》"), mask);
    MarkEvery(line, SJ("｜"), mask);
  }
  if (hideNotes) MarkSpans(line, SJ("［＃"), SJ("］"), mask);
  if (hideLeadingMark && StartsWithAny(line, TStrings{leadingMark}))
    for (size_t b = 1; b <= leadingMark.size(); ++b) mask[b] = true;
  return mask;
}

// ---- Character sets ------------------------------------------------------------------------

TCharSet::TCharSet(const std::string& chars) {
  for (size_t i = 0; i < chars.size(); i += CharLenAt(chars, i)) FCodes.push_back(CodeAt(chars, i));
  std::sort(FCodes.begin(), FCodes.end());
  FCodes.erase(std::unique(FCodes.begin(), FCodes.end()), FCodes.end());
}

bool TCharSet::Contains(std::string_view text, size_t i) const {
  if (i >= text.size() || FCodes.empty()) return false;
  return std::binary_search(FCodes.begin(), FCodes.end(), CodeAt(text, i));
}

// ---- Display columns -----------------------------------------------------------------------

int32_t TColumnText::BlanksBefore(int32_t pos) const {
  switch (NamePos) {
    case 0:
      return 0;
    case 5:  // two double-byte characters: two cells between them
      return pos == 3 ? 2 : 0;
    case 3:  // one double-byte character: two cells on each side
      return pos == 1 || pos == 3 ? 2 : 0;
    default:  // the opener itself moves to the seventh cell
      return pos == NamePos ? 7 - NamePos : 0;
  }
}

void TColumnText::UseMask(const TBooleans& mask) { Mask = AnyTrue(mask) ? &mask : nullptr; }

int32_t NameAlignPos(bool nameRestore, bool isSpeechLine, std::string_view piece, const std::string& opener) {
  if (!nameRestore || !isSpeechLine || opener.empty()) return 0;
  for (size_t i = 0; i < 6 && i < piece.size(); i += CharLenAt(piece, i))
    if (piece.compare(i, opener.size(), opener) == 0) return static_cast<int32_t>(i + 1);
  return 0;
}

namespace {
// The counter after byte k: the column of its last cell.
inline int32_t Advance(const TColumnText& t, int32_t k, int32_t count) {
  if (t.ExpandTabs && t.Text[static_cast<size_t>(k - 1)] == '\t') {
    int32_t w = std::max(1, t.TabLength);
    return count + w - count % w;
  }
  return count + 1;
}
}  // namespace

int32_t ColumnToIndex(const TColumnText& t, int32_t column, int32_t startColumn) {
  const int32_t n = static_cast<int32_t>(t.Text.size());
  if (t.Plain())
    return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(column) - startColumn, 1, n + 1));
  int32_t count = startColumn;
  for (int32_t k = 1; k <= n; ++k) {
    count += t.BlanksBefore(k);
    if (t.Hidden(k)) continue;
    count = Advance(t, k, count);
    if (count >= column) {
      while (k < n && t.Hidden(k + 1)) ++k;
      return k;
    }
  }
  return n + 1;
}

int32_t ColumnToCharIndex(const TColumnText& t, int32_t column, int32_t startColumn) {
  const int32_t n = static_cast<int32_t>(t.Text.size());
  int32_t count = startColumn, start = 1;
  for (int32_t k = 1; k <= n;) {
    const int32_t len = static_cast<int32_t>(CharLenAt(t.Text, static_cast<size_t>(k - 1)));
    if (t.Hidden(k)) {
      count += t.BlanksBefore(k) + (len == 2 ? t.BlanksBefore(k + 1) : 0);
      k += len;
      continue;
    }
    for (int32_t b = k; b < k + len; ++b) count = Advance(t, b, count + t.BlanksBefore(b));
    if (count >= column) return start;
    k += len;
    while (k <= n && t.Hidden(k)) {
      count += t.BlanksBefore(k);
      ++k;
    }
    start = k;
  }
  return n + 1;
}

int32_t NextCharIndex(const TColumnText& t, int32_t index) {
  const int32_t n = static_cast<int32_t>(t.Text.size());
  int32_t k = std::max(1, index);
  while (k <= n && t.Hidden(k)) ++k;
  if (k <= n) k += static_cast<int32_t>(CharLenAt(t.Text, static_cast<size_t>(k - 1)));
  while (k <= n && t.Hidden(k)) ++k;
  return std::min(k, n + 1);
}

int32_t IndexToColumn(const TColumnText& t, int32_t index, int32_t startColumn, bool withJump) {
  const int32_t n = static_cast<int32_t>(t.Text.size());
  index = std::clamp(index, 1, n + 1);
  if (t.Plain()) return startColumn + index;
  int32_t count = startColumn;
  for (int32_t k = 1; k < index; ++k) {
    count += t.BlanksBefore(k);
    if (!t.Hidden(k)) count = Advance(t, k, count);
  }
  if (withJump && index <= n) count += t.BlanksBefore(index);
  return count + 1;
}

std::string ColumnText(const TColumnText& t, int32_t startColumn, char tabFill) {
  if (t.Plain()) return std::string(t.Text);
  std::string r;
  r.reserve(t.Text.size() + 8);
  const int32_t n = static_cast<int32_t>(t.Text.size());
  int32_t count = startColumn;
  for (int32_t k = 1; k <= n; ++k) {
    int32_t blanks = t.BlanksBefore(k);
    r.append(static_cast<size_t>(blanks), ' ');
    count += blanks;
    if (t.Hidden(k)) continue;
    int32_t next = Advance(t, k, count);
    char c = t.Text[static_cast<size_t>(k - 1)];
    if (c == '\t' && t.ExpandTabs) r.append(static_cast<size_t>(next - count), tabFill);
    else r += c;
    count = next;
  }
  return r;
}

namespace {
// The column view of a whole line under the options of a style; the mask lives in `mask`.
TColumnText LineColumns(const std::string& line, const TColumnOptions& o, TBooleans& mask) {
  mask = HiddenMask(line, o.LeadingMark, o.HideRubi, o.HideLeadingMark, o.HideNotes);
  TColumnText t;
  t.Text = line;
  t.UseMask(mask);
  if (o.NameRestore)
    t.NamePos = NameAlignPos(true, IsEnclosed(line, o.SerifuHeader, o.SerifuFooter), line, o.SerifuHeader);
  t.TabLength = o.TabLength;
  t.ExpandTabs = o.ExpandTabs && line.find('\t') != std::string::npos;
  return t;
}
}  // namespace

int32_t ColumnToIndex(const std::string& line, int32_t column, int32_t startColumn, const TColumnOptions& o) {
  TBooleans mask;
  return ColumnToIndex(LineColumns(line, o, mask), column, startColumn);
}

int32_t IndexToColumn(const std::string& line, int32_t index, int32_t startColumn, const TColumnOptions& o,
                      bool withJump) {
  TBooleans mask;
  return IndexToColumn(LineColumns(line, o, mask), index, startColumn, withJump);
}

// ---- Hanging indent and item numbers -------------------------------------------------------

THangIndent HangIndent(const std::string& line, const TIndentOptions& o) {
  THangIndent r;
  const size_t n = line.size();
  if (o.Mode == 1) {
    if (n > 0 && o.Bullets.Contains(line, 0)) {
      size_t i = CharLenAt(line, 0);
      const std::string& full = SJ("　");
      // the spaces after the bullet, but not a space that ends the line
      if (i < n && line[i] == ' ') {
        while (i + 1 < n && line[i] == ' ') ++i;
      } else {
        while (i + 2 < n && line.compare(i, 2, full) == 0) i += 2;
      }
      r.Indent = static_cast<int32_t>(i);
    }
  } else if (o.Mode == 2) {
    if (StartsWithAny(line, TStrings{o.HashiraHeader})) {
      r.Indent = o.HashiraIndent;
    } else if (IsEnclosed(line, o.SerifuHeader, o.SerifuFooter)) {
      r.Indent = o.SerifuIndent;
    } else {
      r.Togaki = true;
      r.Indent = o.TogakiIndent;
    }
  }
  if (o.Itemized && r.Indent == 0) r.Indent = static_cast<int32_t>(ItemNoText(line).size());
  return r;
}

TItemNo ParseItemNo(const std::string& line) {
  TItemNo r;
  const size_t n = line.size();
  size_t i = 0;
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (n > 0 && CharLenAt(line, 0) == 1 && !isDigit(line[0])) r.Prefix = line.substr(0, 1), i = 1;
  const std::string& zero = SJ("０");
  auto fullDigitAt = [&](size_t k) {
    return k + 1 < n && line[k] == zero[0] && static_cast<unsigned char>(line[k + 1]) >= static_cast<unsigned char>(zero[1]) &&
           static_cast<unsigned char>(line[k + 1]) <= static_cast<unsigned char>(zero[1]) + 9;
  };
  size_t j = i;
  int digits = 0;
  int64_t number = 0;
  if (j < n && isDigit(line[j])) {
    for (; j < n && isDigit(line[j]); ++j, ++digits)
      if (digits < 18) number = number * 10 + (line[j] - '0');
  } else {
    r.FullWidth = true;
    for (; fullDigitAt(j); j += 2, ++digits)
      if (digits < 18)
        number = number * 10 + (static_cast<unsigned char>(line[j + 1]) - static_cast<unsigned char>(zero[1]));
    if (digits == 0) r.FullWidth = false;
  }
  // eighteen digits still fit the number and its successor; longer runs are not item numbers
  if (digits == 0 || digits > 18 || n - j < 2) return TItemNo();
  r.Number = number;
  const std::string& fullStop = SJ("．");
  const std::string& fullSpace = SJ("　");
  size_t end = n;
  for (size_t k = j; k + 1 < n; k += CharLenAt(line, k)) {
    size_t len = CharLenAt(line, k);
    bool stop = len == 1 ? (line[k] == '.' || line[k] == ' ')
                         : (line.compare(k, 2, fullStop) == 0 || line.compare(k, 2, fullSpace) == 0);
    if (stop) {
      end = k + len;
      break;
    }
  }
  if (end - j <= 6) r.Suffix = line.substr(j, end - j);
  r.Valid = true;
  return r;
}

namespace {
std::string ItemText(const TItemNo& item, int64_t number) {
  if (!item.Valid) return std::string();
  return item.Prefix + (item.FullWidth ? IntToZenkaku(number) : std::to_string(number)) + item.Suffix;
}
}  // namespace

std::string ItemNoText(const std::string& line) {
  TItemNo item = ParseItemNo(line);
  return ItemText(item, item.Number);
}

std::string NextItemNoText(const std::string& line) {
  TItemNo item = ParseItemNo(line);
  return ItemText(item, item.Number + 1);
}

}  // namespace kaede
