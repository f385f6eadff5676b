#include "engine/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

// The compiler's own UTF-8 encoding of a literal is the reference.
std::string Bytes(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string Encode32(std::u32string_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}

std::string Encode16(std::u16string_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

struct CharacterRow {
  std::u8string_view utf8;
  std::u16string_view utf16;
  std::u32string_view utf32;
};

// Both ends of every sequence length, the surrogate gap and the top of the code space.
constexpr CharacterRow kCharacters[] = {
    {u8"", u"", U""},
    {u8"\u0001", u"\u0001", U"\u0001"},
    {u8"1+2*(3-4)/5^6", u"1+2*(3-4)/5^6", U"1+2*(3-4)/5^6"},
    {u8"\u0080", u"\u0080", U"\u0080"},
    {u8"\u07FF", u"\u07FF", U"\u07FF"},
    {u8"\u0800", u"\u0800", U"\u0800"},
    {u8"\uD7FF", u"\uD7FF", U"\uD7FF"},
    {u8"\uE000", u"\uE000", U"\uE000"},
    {u8"\uFFFF", u"\uFFFF", U"\uFFFF"},
    {u8"\U00010000", u"\U00010000", U"\U00010000"},
    {u8"\U0001F600", u"\U0001F600", U"\U0001F600"},
    {u8"\U0010FFFF", u"\U0010FFFF", U"\U0010FFFF"},
    {u8"错误 无穷大 π²", u"错误 无穷大 π²", U"错误 无穷大 π²"},
};

TEST(Utf8Codec, DecodesAndEncodesLikeTheCompiler) {
  for (const CharacterRow& row : kCharacters) {
    const std::string bytes = Bytes(row.utf8);
    SCOPED_TRACE(testing::PrintToString(bytes));
    std::u16string utf16;
    std::u32string utf32;
    EXPECT_TRUE(Utf8ToUtf16(bytes, utf16));
    EXPECT_EQ(utf16, row.utf16);
    EXPECT_TRUE(Utf8ToUtf32(bytes, utf32));
    EXPECT_EQ(utf32, row.utf32);
    EXPECT_EQ(Encode16(row.utf16), bytes);
    EXPECT_EQ(Encode32(row.utf32), bytes);
  }
}

TEST(Utf8Codec, WideTextHasThePlatformsForm) {
  // UTF-16 with a surrogate pair on Windows, one UTF-32 unit elsewhere: the literal knows.
  std::wstring text;
  ASSERT_TRUE(Utf8ToWide(Bytes(u8"1+\U0001F600\u00E9"), text));
  EXPECT_EQ(text, L"1+\U0001F600\u00E9");
  std::string out;
  AppendUtf8(text, out);
  EXPECT_EQ(out, Bytes(u8"1+\U0001F600\u00E9"));
}

TEST(Utf8Codec, EveryScalarValueRoundTrips) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (!IsScalarValue(c)) continue;
    const std::string bytes = Encode32(std::u32string(1, c));
    const std::size_t length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    std::u32string utf32;
    std::u16string utf16;
    if (bytes.size() != length || !Utf8ToUtf32(bytes, utf32) || utf32 != std::u32string(1, c) ||
        !Utf8ToUtf16(bytes, utf16) || utf16.size() != (c < 0x10000 ? 1u : 2u) ||
        Encode16(utf16) != bytes) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned long>(c);
      return;
    }
  }
}

// Rejected: overlong forms, encoded surrogates, values above U+10FFFF, bytes that never
// start a character, stray or missing continuation bytes.
constexpr std::string_view kNotUtf8[] = {
    "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
    "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xED\xA0\x80\xED\xB0\x80",
    "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xF7\xBF\xBF\xBF", "\xF8\x88\x80\x80\x80",
    "\xFE", "\xFF", "\x80", "\xBF", "\xC2", "\xE2\x82", "\xF0\x9F\x98", "\xC2" "A",
    "\xE2\x28\xA1", "\xE2\x82\x28", "\xF0\x9F\x28\x80", "\xF0\x9F\x98\x28",
};

TEST(Utf8Codec, RejectsWhatIsNotUtf8Anywhere) {
  for (std::string_view bad : kNotUtf8) {
    for (const std::string& bytes :
         {std::string(bad), "1+" + std::string(bad), std::string(bad) + "2", "1+" + std::string(bad) + "2"}) {
      SCOPED_TRACE(testing::PrintToString(bytes));
      std::u16string utf16;
      std::u32string utf32;
      std::wstring wide;
      EXPECT_FALSE(Utf8ToUtf16(bytes, utf16));
      EXPECT_FALSE(Utf8ToUtf32(bytes, utf32));
      EXPECT_FALSE(Utf8ToWide(bytes, wide));
    }
  }
}

// A sequence is accepted exactly when it is the one encoding of one scalar value: this
// catches any overlong or out-of-range form that the tables above miss.
TEST(Utf8Codec, AcceptsOnlyTheShortestEncoding) {
  auto check = [](const std::string& bytes) {
    std::u32string utf32;
    const bool accepted = Utf8ToUtf32(bytes, utf32);
    const bool canonical = utf32.size() == 1 && IsScalarValue(utf32[0]) && Encode32(utf32) == bytes;
    if (accepted != canonical) {
      ADD_FAILURE() << testing::PrintToString(bytes) << (accepted ? " accepted" : " rejected");
      return false;
    }
    return true;
  };
  for (int a = 0x80; a <= 0xFF; ++a) {
    for (int b = 0; b <= 0xFF; ++b) {
      if (!check({static_cast<char>(a), static_cast<char>(b)})) return;
      if (a < 0xE0) continue;
      for (int c : {0x00, 0x7F, 0x80, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF}) {
        if (!check({static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)})) return;
        if (a < 0xF0) continue;
        for (int d : {0x7F, 0x80, 0xBF, 0xC0}) {
          if (!check({static_cast<char>(a), static_cast<char>(b), static_cast<char>(c),
                      static_cast<char>(d)})) {
            return;
          }
        }
      }
    }
  }
}

TEST(Utf8Codec, UnitsThatAreNoCharacterBecomeReplacements) {
  const std::string replacement = Bytes(u8"\uFFFD");
  struct Row16 {
    std::u16string text;
    std::string expected;
  };
  const Row16 rows16[] = {
      {std::u16string{0xD800}, replacement},
      {std::u16string{0xDFFF}, replacement},
      {std::u16string{u'1', 0xD83D}, "1" + replacement},
      {std::u16string{0xDE00, 0xD83D}, replacement + replacement},
      {std::u16string{0xD83D, u'x', 0xDE00}, replacement + "x" + replacement},
      {std::u16string{0xD83D, 0xDE00}, Bytes(u8"\U0001F600")},
  };
  for (const Row16& row : rows16) EXPECT_EQ(Encode16(row.text), row.expected);

  EXPECT_EQ(Encode32(std::u32string{0xD800}), replacement);
  EXPECT_EQ(Encode32(std::u32string{0x110000}), replacement);
  EXPECT_EQ(Encode32(std::u32string{0xFFFFFFFF, U'2'}), replacement + "2");
}

TEST(Utf8Codec, LongTextKeepsEveryCharacter) {
  std::string bytes;
  std::u32string expected;
  for (int i = 0; i < 100000; ++i) {
    bytes += Bytes(u8"9π\U0001F600");
    expected += U"9π\U0001F600";
  }
  std::u32string utf32;
  ASSERT_TRUE(Utf8ToUtf32(bytes, utf32));
  EXPECT_EQ(utf32, expected);
  EXPECT_EQ(Encode32(utf32), bytes);
}

}  // namespace
