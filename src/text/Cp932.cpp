#include "Cp932.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace kaede {
namespace {

// Conversion tables built once from the C library's "CP932" converter, so that the mapping
// is exactly the platform's, then used without further calls into iconv.
struct TCp932Tables {
  std::array<int32_t, 256> single{};   // code point of a single byte, -1 when none
  std::vector<int32_t> dbcs;           // code point of (lead << 8 | trail), -1 when none
  std::vector<int32_t> encode;         // code for BMP code points, -1 when none

  TCp932Tables() : dbcs(65536, -1), encode(65536, -1) {
    iconv_t toU = iconv_open("UTF-32LE", "CP932");
    iconv_t fromU = iconv_open("CP932", "UTF-32LE");
    if (toU == reinterpret_cast<iconv_t>(-1) || fromU == reinterpret_cast<iconv_t>(-1))
      throw Exception("iconv: the CP932 converter is not available");
    // Every character is converted in one pass per direction (a call into the converter per
    // character made the tables a noticeable part of every program's start). A character
    // that does not convert stops the converter: it is marked as none and the pass goes on
    // after it.
    //
    // Decoding: each input character of `width` bytes gives exactly one code point.
    auto decodeAll = [&](const std::vector<unsigned char>& in, size_t width, auto store) {
      size_t count = in.size() / width;
      std::vector<uint32_t> out(count);
      char* ip = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
      size_t done = 0;  // characters handled so far
      while (done < count) {
        size_t il = (count - done) * width, ol = (count - done) * 4;
        char* op = reinterpret_cast<char*>(out.data() + done);
        iconv(toU, nullptr, nullptr, nullptr, nullptr);
        size_t r = iconv(toU, &ip, &il, &op, &ol);
        size_t read = count - done - il / width;
        for (size_t k = done; k < done + read; ++k) store(k, static_cast<int32_t>(out[k]));
        done += read;
        if (r != static_cast<size_t>(-1)) break;
        store(done, -1);  // the character the converter stopped at
        ++done;
        ip += width;
      }
    };
    single.fill(-1);
    std::vector<unsigned char> singles;
    std::vector<int> singleBytes;
    for (int b = 0; b < 256; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b))) continue;
      singles.push_back(static_cast<unsigned char>(b));
      singleBytes.push_back(b);
    }
    decodeAll(singles, 1, [&](size_t k, int32_t cp) { single[static_cast<size_t>(singleBytes[k])] = cp; });
    std::vector<unsigned char> pairs;
    std::vector<int> pairCodes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        pairs.push_back(static_cast<unsigned char>(lead));
        pairs.push_back(static_cast<unsigned char>(trail));
        pairCodes.push_back(lead << 8 | trail);
      }
    }
    decodeAll(pairs, 2, [&](size_t k, int32_t cp) { dbcs[static_cast<size_t>(pairCodes[k])] = cp; });
    // The reverse direction asks the converter for every code point that occurs, so that
    // duplicates (NEC and IBM extensions) resolve as the converter resolves them. Its output
    // is one or two bytes a character: each code point is followed by a line feed, which
    // never occurs inside a character's bytes, to tell the characters apart.
    std::vector<int32_t> points;
    auto note = [&](int32_t cp) {
      if (cp < 0 || cp > 0xFFFF || cp == '\n' || encode[static_cast<size_t>(cp)] != -1) return;
      encode[static_cast<size_t>(cp)] = -2;  // asked for
      points.push_back(cp);
    };
    for (int32_t cp : single) note(cp);
    for (int32_t cp : dbcs) note(cp);
    if (single['\n'] == '\n') encode['\n'] = '\n';
    std::vector<uint32_t> in;
    for (int32_t cp : points) {
      in.push_back(static_cast<uint32_t>(cp));
      in.push_back('\n');
    }
    std::vector<unsigned char> out(points.size() * 3 + 16);
    char* ip = reinterpret_cast<char*>(in.data());
    size_t il = in.size() * 4;
    char* op = reinterpret_cast<char*>(out.data());
    size_t ol = out.size();
    size_t next = 0;  // the point whose bytes come next in the output
    auto collect = [&]() {
      // The characters converted so far: bytes up to each line feed.
      const unsigned char* p = out.data();
      const unsigned char* end = reinterpret_cast<const unsigned char*>(op);
      while (p < end) {
        const unsigned char* lf = static_cast<const unsigned char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!lf) break;
        size_t n = static_cast<size_t>(lf - p);
        encode[static_cast<size_t>(points[next++])] = n == 1 ? p[0] : n == 2 ? (p[0] << 8 | p[1]) : -1;
        p = lf + 1;
      }
      op = reinterpret_cast<char*>(out.data());
      ol = out.size();
    };
    iconv(fromU, nullptr, nullptr, nullptr, nullptr);
    while (il > 0) {
      size_t r = iconv(fromU, &ip, &il, &op, &ol);
      collect();
      if (r != static_cast<size_t>(-1) || il == 0) break;
      if (errno == E2BIG) continue;
      // A code point without a character: none, and on after its line feed.
      encode[static_cast<size_t>(points[next++])] = -1;
      ip += 8;
      il = il >= 8 ? il - 8 : 0;
      iconv(fromU, nullptr, nullptr, nullptr, nullptr);
    }
    for (int32_t& code : encode)
      if (code == -2) code = -1;
    iconv_close(toU);
    iconv_close(fromU);
  }
};

const TCp932Tables& Tables() {
  static const TCp932Tables tables;
  return tables;
}

const int32_t kGetaCode = 0x81AC;

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string HexBytes(std::string_view s, size_t at, size_t n) {
  static const char* hex = "0123456789ABCDEF";
  std::string r;
  for (size_t i = at; i < at + n && i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    r += "0x";
    r += hex[c >> 4];
    r += hex[c & 15];
    if (i + 1 < at + n && i + 1 < s.size()) r += ' ';
  }
  return r;
}

namespace {

// Walks CP932 text, calling emit(code point) per character and bad(offset, length) for bytes
// that are not characters.
template <class Emit, class Bad>
void WalkSjis(std::string_view s, Emit emit, Bad bad) {
  const TCp932Tables& t = Tables();
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsLeadByte(c)) {
      unsigned char tr = i + 1 < n ? static_cast<unsigned char>(s[i + 1]) : 0;
      if (tr >= 0x40 && tr <= 0xFC && tr != 0x7F) {
        int32_t cp = t.dbcs[c << 8 | tr];
        if (cp >= 0) {
          emit(static_cast<char32_t>(cp));
          i += 2;
          continue;
        }
        bad(i, 2);
        i += 2;
        continue;
      }
      bad(i, 1);
      ++i;
      continue;
    }
    int32_t cp = t.single[c];
    if (cp >= 0) emit(static_cast<char32_t>(cp));
    else bad(i, 1);
    ++i;
  }
}

[[noreturn]] void RaiseBadSjis(std::string_view s, size_t at, size_t len) {
  throw EEncodingError("not CP932 text: bytes " + HexBytes(s, at, len) + " at offset " + std::to_string(at), at);
}

// Decodes UTF-8, calling emit(code point) per character and bad(offset) for malformed input.
template <class Emit, class Bad>
void WalkUtf8(std::string_view s, Emit emit, Bad bad) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if (c >= 0xC2 && c <= 0xDF) { cp = c & 0x1F; len = 2; }
    else if (c >= 0xE0 && c <= 0xEF) { cp = c & 0x0F; len = 3; }
    else if (c >= 0xF0 && c <= 0xF4) { cp = c & 0x07; len = 4; }
    else { bad(i); ++i; continue; }
    if (i + len > n) { bad(i); ++i; continue; }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      cp = cp << 6 | (cc & 0x3F);
    }
    if (ok) {
      if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
          (cp >= 0xD800 && cp <= 0xDFFF))
        ok = false;
    }
    if (!ok) { bad(i); ++i; continue; }
    emit(cp, i);
    i += len;
  }
}

}  // namespace

int32_t Cp932ToUnicode(unsigned char lead, unsigned char trail) {
  const TCp932Tables& t = Tables();
  if (IsLeadByte(lead)) return t.dbcs[lead << 8 | trail];
  return t.single[lead];
}

int32_t UnicodeToCp932(char32_t cp) {
  if (cp > 0xFFFF) return -1;
  return Tables().encode[cp];
}

void AppendCp932Code(std::string& out, int32_t code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

std::string SjisToUtf8(std::string_view sjis, TConvMode mode) {
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  WalkSjis(
      sjis, [&](char32_t cp) { AppendUtf8(out, cp); },
      [&](size_t at, size_t len) {
        if (mode == TConvMode::Strict) RaiseBadSjis(sjis, at, len);
        out += "\xEF\xBF\xBD";
      });
  return out;
}

std::u16string SjisToUtf16(std::string_view sjis, TConvMode mode) {
  std::u16string out;
  SjisToUtf16(sjis, out, mode);
  return out;
}

void SjisToUtf16(std::string_view sjis, std::u16string& out, TConvMode mode) {
  out.clear();
  out.reserve(sjis.size());
  WalkSjis(
      sjis, [&](char32_t cp) { out += static_cast<char16_t>(cp); },
      [&](size_t at, size_t len) {
        if (mode == TConvMode::Strict) RaiseBadSjis(sjis, at, len);
        out += u'\uFFFD';
      });
}

namespace {
void AppendEncoded(std::string& out, char32_t cp, TConvMode mode, size_t at) {
  int32_t code = UnicodeToCp932(cp);
  if (code < 0) {
    if (mode == TConvMode::Strict) {
      char buf[16];
      snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
      throw EEncodingError(std::string("the character ") + buf + " at offset " + std::to_string(at) +
                               " has no CP932 form",
                           at);
    }
    code = kGetaCode;
  }
  AppendCp932Code(out, code);
}
}  // namespace

std::string Utf8ToSjis(std::string_view utf8, TConvMode mode) {
  std::string out;
  out.reserve(utf8.size());
  WalkUtf8(
      utf8, [&](char32_t cp, size_t at) { AppendEncoded(out, cp, mode, at); },
      [&](size_t i) {
        if (mode == TConvMode::Strict)
          throw EEncodingError("malformed UTF-8: byte " + HexBytes(utf8, i, 1) + " at offset " + std::to_string(i), i);
        AppendCp932Code(out, kGetaCode);
      });
  return out;
}

std::string Utf16ToSjis(std::u16string_view utf16, TConvMode mode) {
  std::string out;
  out.reserve(utf16.size() * 2);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      AppendEncoded(out, cp, mode, i);
      ++i;
      continue;
    }
    AppendEncoded(out, cp, mode, i);
  }
  return out;
}

bool IsValidSjis(std::string_view s) {
  bool ok = true;
  WalkSjis(s, [](char32_t) {}, [&](size_t, size_t) { ok = false; });
  return ok;
}

bool IsValidUtf8(std::string_view s) {
  bool ok = true;
  WalkUtf8(s, [](char32_t, size_t) {}, [&](size_t) { ok = false; });
  return ok;
}

std::string Utf8ToSjisLiteral(const char* utf8) { return Utf8ToSjis(utf8, TConvMode::Strict); }

}  // namespace kaede
