#include "TextEncodings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#include "Cp932.h"
#include "Files.h"

namespace kaede {

namespace {

constexpr size_t kNone = std::string_view::npos;

// One UTF-8 sequence at s[i]: its code point and length, or length 0 when the bytes there
// are not well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
size_t Utf8At(std::string_view s, size_t i, char32_t& cp) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  size_t len;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07, min = 0x10000;
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    unsigned char t = b(i + k);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

struct TUtf8Scan {
  size_t FirstBad = kNone;
  size_t MultiByte = 0;  // well-formed sequences of two bytes or more
};

TUtf8Scan ScanUtf8(std::string_view s) {
  TUtf8Scan r;
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    size_t len = Utf8At(s, i, cp);
    if (len == 0) {
      r.FirstBad = i;
      return r;
    }
    ++r.MultiByte;
    i += len;
  }
  return r;
}

// The offset of the first byte that does not start a CP932 character, or kNone.
size_t FirstBadCp932(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
    } else if (IsLeadByte(c)) {
      if (i + 1 >= s.size() || Cp932ToUnicode(c, static_cast<unsigned char>(s[i + 1])) < 0) return i;
      i += 2;
    } else {
      if (Cp932ToUnicode(c) < 0) return i;
      ++i;
    }
  }
  return kNone;
}

std::string Utf16ToUtf8(std::string_view s, bool little, size_t& badAt) {
  std::string out;
  out.reserve(s.size() * 3 / 2);
  badAt = kNone;
  auto unit = [&](size_t i) -> char32_t {
    unsigned char a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return little ? static_cast<char32_t>(a | (b << 8)) : static_cast<char32_t>((a << 8) | b);
  };
  size_t i = 0;
  while (i + 1 < s.size()) {
    char32_t cp = unit(i);
    size_t used = 2;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      char32_t lo = i + 3 < s.size() ? unit(i + 2) : 0;
      if (lo < 0xDC00 || lo > 0xDFFF) {
        badAt = i;
        return out;
      }
      cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
      used = 4;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      badAt = i;
      return out;
    }
    AppendUtf8(out, cp);
    i += used;
  }
  if (i < s.size()) badAt = i;  // an odd last byte
  return out;
}

[[noreturn]] void Refuse(std::string_view text, size_t offset, const char* encodingUtf8, bool neither = false) {
  int line, column;
  LineAndColumn(text, offset, line, column);
  std::string message = neither ? SJ("UTF-8 としても Shift_JIS としても読めません。") : std::string();
  message += std::to_string(column) + SJ("桁目のバイト ") + HexBytes(text, offset, 1) + SJ(" は ") + encodingUtf8 + SJ(" の文字ではありません");
  throw ETextEncodingError(message, line, column);
}

}  // namespace

ETextEncodingError::ETextEncodingError(const std::string& message, int line, int column)
    : Exception(message), FLine(line), FColumn(column) {
  SetLineNo(line);
}

std::string EncodingName(TTextEncoding encoding) {
  switch (encoding) {
    case TTextEncoding::Cp932: return "Shift_JIS";
    case TTextEncoding::Utf8: return "UTF-8";
    case TTextEncoding::Utf16LE:
    case TTextEncoding::Utf16BE: return "UTF-16";
  }
  return std::string();
}

void LineAndColumn(std::string_view text, size_t offset, int& line, int& column) {
  line = 1;
  size_t start = 0;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
      start = i + 1;
    }
  }
  column = static_cast<int>(offset - start) + 1;
}

TDecodedText DecodeTextFile(std::string_view bytes, TEncodingChoice choice) {
  TDecodedText r;
  // A byte-order mark decides whatever was asked.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    r.Encoding = TTextEncoding::Utf8;
    bytes.remove_prefix(3);
  } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    bool little = bytes[0] == '\xFF';
    r.Encoding = little ? TTextEncoding::Utf16LE : TTextEncoding::Utf16BE;
    size_t bad;
    r.Bytes = Utf16ToUtf8(bytes.substr(2), little, bad);
    if (bad != kNone) {
      // the line is counted in what was read before the bad unit
      int line, column;
      LineAndColumn(r.Bytes, r.Bytes.size(), line, column);
      throw ETextEncodingError(std::to_string(column) + SJ("桁目の後は UTF-16 の文字ではありません"), line, column);
    }
    return r;
  } else if (choice == TEncodingChoice::Utf8) {
    r.Encoding = TTextEncoding::Utf8;
  } else if (choice == TEncodingChoice::Cp932) {
    r.Encoding = TTextEncoding::Cp932;
  } else {
    // The automatic choice. Plain ASCII is valid CP932, so a text that is neither valid UTF-8
    // with multi-byte characters nor valid CP932 is valid in neither encoding.
    TUtf8Scan u = ScanUtf8(bytes);
    if (u.FirstBad == kNone && u.MultiByte > 0) {
      r.Encoding = TTextEncoding::Utf8;
    } else if (size_t s = FirstBadCp932(bytes); s != kNone) {
      if (u.FirstBad >= s) Refuse(bytes, u.FirstBad, "UTF-8", true);
      Refuse(bytes, s, "Shift_JIS", true);
    }
    r.Bytes.assign(bytes);
    return r;
  }
  // One encoding, from the mark or from the user: the whole text must be valid in it.
  if (r.Encoding == TTextEncoding::Utf8) {
    TUtf8Scan u = ScanUtf8(bytes);
    if (u.FirstBad != kNone) Refuse(bytes, u.FirstBad, "UTF-8");
  } else {
    size_t s = FirstBadCp932(bytes);
    if (s != kNone) Refuse(bytes, s, "Shift_JIS");
  }
  r.Bytes.assign(bytes);
  return r;
}

std::string Utf8ToCp932Lossy(std::string_view utf8, std::vector<std::string>* unmappable) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    char32_t cp = 0;
    size_t len = Utf8At(utf8, i, cp);
    int32_t code = len ? UnicodeToCp932(cp) : -1;
    if (len == 0) len = 1;  // not reached for checked text; one bad byte is one replacement
    if (code < 0) {
      if (unmappable) unmappable->emplace_back(utf8.substr(i, len));
      out += SJ("〓");
    } else {
      AppendCp932Code(out, code);
    }
    i += len;
  }
  return out;
}

}  // namespace kaede
