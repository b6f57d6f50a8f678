#include "CommaText.h"

#include <cstdint>
#include <cstring>

namespace kaede {

// The bytes that matter here (quote, comma, 0x01-0x20) are never the trail byte of a
// double-byte character (trail bytes are 0x40-0xFC), so scanning byte by byte never mistakes
// part of a character for one of them.
namespace {
inline bool IsBlank(unsigned char c) { return c >= 0x01 && c <= 0x20; }

// Bytes that end an unquoted element: the comma and 0x01-0x20.
struct TStopTable {
  bool Stop[256] = {};
  constexpr TStopTable() {
    Stop[static_cast<unsigned char>(',')] = true;
    for (int c = 0x01; c <= 0x20; ++c) Stop[c] = true;
  }
};
constexpr TStopTable kStops;

// The first byte at or after p (before end) that ends an unquoted element. Eight bytes at a
// time are skipped while none of them is a comma or a byte below 0x21 (the test may also stop
// at a zero byte, which the byte check then passes over).
const char* FindStop(const char* p, const char* end) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  constexpr uint64_t kCommas = kOnes * ',';
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    uint64_t comma = w ^ kCommas;
    uint64_t candidates = ((comma - kOnes) & ~comma & kHighs) | ((w - kOnes * 0x21) & ~w & kHighs);
    if (candidates) break;
    p += 8;
  }
  while (p < end && !kStops.Stop[static_cast<unsigned char>(*p)]) ++p;
  return p;
}
}  // namespace

bool NeedsCommaQuotes(std::string_view item) {
  // Eight bytes at a time while none of them is a quote, a comma or a byte below 0x21.
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const char* p = item.data();
  const char* end = p + item.size();
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    uint64_t comma = w ^ (kOnes * ','), quote = w ^ (kOnes * '"');
    if (((comma - kOnes) & ~comma & kHighs) | ((quote - kOnes) & ~quote & kHighs) | ((w - kOnes * 0x21) & ~w & kHighs))
      break;
    p += 8;
  }
  for (; p < end; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (kStops.Stop[c] || c == '"') return true;
  }
  return false;
}

void AppendCommaField(std::string& out, std::string_view item) {
  if (!NeedsCommaQuotes(item)) {
    out.append(item);
    return;
  }
  out += '"';
  for (char ch : item) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

std::string EncodeCommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  size_t total = 0;
  for (const std::string& s : items) total += s.size() + 1;
  out.reserve(total + 8);
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    AppendCommaField(out, items[i]);
  }
  return out;
}

namespace {
// The one reader of comma text: calls element(span) for every element in order, at most
// maxItems times; false when the text holds more elements than that.
template <class F>
bool ForEachCommaElement(std::string_view text, size_t maxItems, F element) {
  const char* base = text.data();
  const char* p = base;
  const char* end = p + text.size();
  size_t count = 0;
  auto emit = [&](const char* b, const char* e, bool escaped) {
    if (count == maxItems) return false;
    ++count;
    element(TCommaSpan{static_cast<size_t>(b - base), static_cast<size_t>(e - base), escaped});
    return true;
  };
  while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
  while (p < end) {
    if (*p == '"') {
      // The element runs to the next quote that is not doubled, or to the end.
      const char* from = ++p;
      bool escaped = false;
      const char* to = end;
      while (p < end) {
        const char* q = static_cast<const char*>(std::memchr(p, '"', static_cast<size_t>(end - p)));
        if (!q) {
          p = end;
          break;
        }
        if (q + 1 < end && q[1] == '"') {
          escaped = true;
          p = q + 2;
        } else {
          to = q;
          p = q + 1;
          break;
        }
      }
      if (!emit(from, to, escaped)) return false;
    } else {
      const char* q = FindStop(p, end);
      if (!emit(p, q, false)) return false;
      p = q;
    }
    while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p < end && *p == ',') {
      ++p;
      if (p == end) return emit(end, end, false);
      while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    }
  }
  return true;
}
}  // namespace

void AppendCommaValue(std::string& out, std::string_view text, const TCommaSpan& span) {
  std::string_view v = text.substr(span.Begin, span.End - span.Begin);
  if (!span.Escaped) {
    out.append(v);
    return;
  }
  for (size_t i = 0; i < v.size(); ++i) {
    out += v[i];
    if (v[i] == '"' && i + 1 < v.size() && v[i + 1] == '"') ++i;
  }
}

bool ScanCommaText(std::string_view text, std::vector<TCommaSpan>& spans, size_t maxItems) {
  spans.clear();
  return ForEachCommaElement(text, maxItems, [&](const TCommaSpan& span) { spans.push_back(span); });
}

void DecodeCommaText(std::string_view text, std::vector<std::string>& items) {
  // The strings already in the list are reused (cleared, their buffers kept), so that a
  // caller decoding line after line into one list allocates almost nothing.
  size_t count = 0;
  ForEachCommaElement(text, SIZE_MAX, [&](const TCommaSpan& span) {
    if (count == items.size()) items.emplace_back();
    std::string& item = items[count++];
    item.clear();
    AppendCommaValue(item, text, span);
  });
  items.resize(count);
}

std::vector<std::string> DecodeCommaText(std::string_view text) {
  std::vector<std::string> items;
  DecodeCommaText(text, items);
  return items;
}

namespace {
void AppendLines(std::string_view text, std::vector<std::string>& lines) {
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t j = i;
    while (j < n && text[j] != '\r' && text[j] != '\n') ++j;
    lines.emplace_back(text.substr(i, j - i));
    if (j < n && text[j] == '\r' && j + 1 < n && text[j + 1] == '\n') j += 2;
    else if (j < n) ++j;
    i = j;
  }
}
}  // namespace

void SplitLines(std::string_view text, std::vector<std::string>& lines) {
  lines.clear();
  AppendLines(text.substr(0, text.find('\0')), lines);
}

std::vector<std::string> SplitLinesKeepingZeros(std::string_view text) {
  std::vector<std::string> lines;
  AppendLines(text, lines);
  return lines;
}

}  // namespace kaede
