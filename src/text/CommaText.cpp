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

void AppendCommaField(std::string& out, std::string_view item) {
  bool quote = false;
  for (char ch : item) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (kStops.Stop[c] || c == '"') {
      quote = true;
      break;
    }
  }
  if (!quote) {
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

void DecodeCommaText(std::string_view text, std::vector<std::string>& items) {
  // The strings already in the list are reused (cleared, their buffers kept), so that a
  // caller decoding line after line into one list allocates almost nothing.
  size_t count = 0;
  auto next = [&]() -> std::string& {
    if (count == items.size()) items.emplace_back();
    std::string& item = items[count++];
    item.clear();
    return item;
  };
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
  while (p < end) {
    std::string& item = next();
    if (*p == '"') {
      ++p;
      while (p < end) {
        const char* q = static_cast<const char*>(std::memchr(p, '"', static_cast<size_t>(end - p)));
        if (!q) {
          item.append(p, end);
          p = end;
          break;
        }
        item.append(p, q);
        if (q + 1 < end && q[1] == '"') {
          item += '"';
          p = q + 2;
        } else {
          p = q + 1;
          break;
        }
      }
    } else {
      const char* q = FindStop(p, end);
      item.append(p, static_cast<size_t>(q - p));  // the item was cleared: append is the short path
      p = q;
    }
    while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    if (p < end && *p == ',') {
      ++p;
      if (p == end) {
        next();
        break;
      }
      while (p < end && IsBlank(static_cast<unsigned char>(*p))) ++p;
    }
  }
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
