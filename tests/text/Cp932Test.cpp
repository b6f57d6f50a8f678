#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>

#include "Cp932.h"
#include "TestUtil.h"

using namespace kaede;

namespace {
std::string HexOf(const std::string& s) {
  std::string r;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    r += buf;
  }
  return r;
}
}  // namespace

TEST(Cp932, RoundTripsTheCharactersThatOtherTablesGetWrong) {
  // ①, the wave dash and the minus of CP932, the IBM kanji 髙, and half-width kana
  const char* samples[] = {"①", "～", "－", "髙", "ｱｲｳｴｵﾞﾟ", "∥", "￢", "＼", "ﾊﾟｿｺﾝ"};
  for (const char* s : samples) EXPECT_EQ(SjisToUtf8(Utf8ToSjis(s)), s);
  // U+301C, the wave dash of other tables, is not CP932: it must not pass silently
  EXPECT_THROW(Utf8ToSjis("〜"), EEncodingError);
  EXPECT_EQ(Utf8ToSjis("～"), "\x81\x60");
  EXPECT_EQ(Utf8ToSjis("－"), "\x81\x7C");
  EXPECT_EQ(Utf8ToSjis("髙"), "\xFB\xFC");
  EXPECT_EQ(Utf8ToSjis("①"), "\x87\x40");
  EXPECT_EQ(Utf8ToSjis("ｱ"), "\xB1");
  EXPECT_EQ(SJ("住所録"), Utf8ToSjis("住所録"));
}

TEST(Cp932, BytesThatAreNotCp932AreReportedOrVisiblyReplaced) {
  for (std::string bad : {std::string("a\x80z"), std::string("a\xA0z"), std::string("a\xFDz"),
                          std::string("a\x85\x40z"), std::string("a\x81")}) {
    EXPECT_FALSE(IsValidSjis(bad));
    try {
      SjisToUtf8(bad, TConvMode::Strict);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const EEncodingError& e) {
      EXPECT_EQ(e.Offset(), 1u);
    }
    std::string replaced = SjisToUtf8(bad, TConvMode::Replace);
    EXPECT_NE(replaced.find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(replaced.front(), 'a');
  }
  // A lead byte followed by a byte that cannot be a trail byte loses only itself: the quote
  // after it survives.
  EXPECT_EQ(SjisToUtf8("\x81\"x"), "\xEF\xBF\xBD\"x");
}

TEST(Cp932, UnicodeThatCp932CannotHoldIsReportedWithItsOffset) {
  try {
    Utf8ToSjis("ab😀");
    FAIL();
  } catch (const EEncodingError& e) {
    EXPECT_EQ(e.Offset(), 2u);
  }
  EXPECT_EQ(Utf8ToSjis("a😀b", TConvMode::Replace), "a" + SJ("〓") + "b");
  EXPECT_THROW(Utf8ToSjis("a\xC3"), EEncodingError);  // truncated sequence
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));        // an encoded surrogate
  EXPECT_TRUE(IsValidUtf8("日本語"));
}

TEST(Cp932, EveryDecodableCharacterEncodesBackToACharacterThatDecodesAlike) {
  int characters = 0;
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = IsLeadByte(static_cast<unsigned char>(lead)) ? 0x40 : 0; trail < (IsLeadByte(static_cast<unsigned char>(lead)) ? 0xFD : 1); ++trail) {
      int32_t cp = Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (cp < 0) continue;
      ++characters;
      int32_t code = UnicodeToCp932(static_cast<char32_t>(cp));
      ASSERT_GE(code, 0) << std::hex << lead << " " << trail;
      int32_t again = code > 0xFF ? Cp932ToUnicode(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code))
                                  : Cp932ToUnicode(static_cast<unsigned char>(code));
      EXPECT_EQ(again, cp);
    }
  }
  // JIS X 0208 with the NEC and IBM extensions, the user-defined area and the single bytes
  EXPECT_GT(characters, 9700);
  // Duplicates resolve to one code: the NEC-selected IBM kanji 0xED40 comes back as 0xFA5C.
  EXPECT_EQ(UnicodeToCp932(static_cast<char32_t>(Cp932ToUnicode(0xED, 0x40))), 0xFA5C);
}

TEST(Cp932, Utf16ConversionsHandleSurrogatesAndHalfWidthKana) {
  EXPECT_EQ(SjisToUtf16(SJ("ｶﾞ漢")), u"ｶﾞ漢");
  EXPECT_EQ(Utf16ToSjis(u"ｶﾞ漢"), SJ("ｶﾞ漢"));
  EXPECT_THROW(Utf16ToSjis(u"\U0001F600"), EEncodingError);
  EXPECT_EQ(Utf16ToSjis(u"\U0001F600x", TConvMode::Replace), SJ("〓") + "x");
}

// The tables are made from the platform's converter in one pass per direction; character for
// character they say what the converter says when asked about each character alone.
TEST(Cp932, TablesAgreeWithTheConverterCharacterByCharacter) {
  iconv_t toU = iconv_open("UTF-32LE", "CP932");
  iconv_t fromU = iconv_open("CP932", "UTF-32LE");
  ASSERT_NE(toU, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(fromU, reinterpret_cast<iconv_t>(-1));
  auto convert = [](iconv_t cd, std::string in) -> std::string {
    char out[16];
    char* ip = in.data();
    char* op = out;
    size_t il = in.size(), ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return "none";
    return std::string(out, sizeof out - ol);
  };
  auto utf32 = [](std::u16string_view u) {
    std::string r;
    for (char16_t c : u) r += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), 0, 0};
    return r;
  };
  std::vector<std::string> chars;
  for (int b = 0; b < 256; ++b)
    if (!IsLeadByte(static_cast<unsigned char>(b))) chars.emplace_back(1, static_cast<char>(b));
  for (int lead = 0x81; lead <= 0xFC; ++lead)
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (IsLeadByte(static_cast<unsigned char>(lead)) && trail != 0x7F)
        chars.push_back(std::string{static_cast<char>(lead), static_cast<char>(trail)});
  int decoded = 0;
  std::vector<bool> occurs(0x10000, false);  // code points that some character decodes to
  for (const std::string& c : chars) {
    std::string expected = convert(toU, c);
    bool ok = IsValidSjis(c);
    ASSERT_EQ(ok, expected != "none") << HexOf(c);
    if (!ok) continue;
    ++decoded;
    std::u16string u = SjisToUtf16(c, TConvMode::Strict);
    ASSERT_EQ(utf32(u), expected) << HexOf(c);
    if (u.size() == 1) occurs[u[0]] = true;
  }
  EXPECT_GT(decoded, 7000);
  for (char32_t cp = 1; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    // Only the code points of characters are encoded (the converter also maps a few others
    // to look-alike characters, which the tables leave out).
    std::string in{static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF), 0, 0};
    std::string expected = occurs[cp] ? convert(fromU, in) : "none";
    std::u16string u(1, static_cast<char16_t>(cp));
    std::string got;
    try {
      got = Utf16ToSjis(u, TConvMode::Strict);
    } catch (const EEncodingError&) {
      got = "none";
    }
    ASSERT_EQ(got, expected) << std::hex << static_cast<uint32_t>(cp);
  }
  iconv_close(toU);
  iconv_close(fromU);
}
