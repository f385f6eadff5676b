#include "tools/utf8.h"

#include <cstddef>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the sequence that a lead byte starts, and the range its second byte must lie
// in: the narrowed ranges are what shut out overlong forms, surrogates and values above
// U+10FFFF. Length 0: the byte cannot start a character.
struct LeadByte {
  std::size_t length;
  unsigned char low;
  unsigned char high;
};

LeadByte ClassifyLead(unsigned char b) {
  if (b < 0xC2) return {0, 0, 0};  // continuation byte, or C0/C1 (always overlong)
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};  // E0 80..9F would be overlong
  if (b == 0xED) return {3, 0x80, 0x9F};  // ED A0..BF would encode a surrogate
  if (b < 0xF0) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};  // F0 80..8F would be overlong
  if (b < 0xF4) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};  // F4 90 and up is beyond U+10FFFF
  return {0, 0, 0};
}

template <class Char>
void AppendCodePoint(char32_t c, std::basic_string<Char>& text) {
  if constexpr (sizeof(Char) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      text.push_back(static_cast<Char>(0xD800 + (c >> 10)));
      text.push_back(static_cast<Char>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  text.push_back(static_cast<Char>(c));
}

template <class Char>
bool Decode(std::string_view bytes, std::basic_string<Char>& text) {
  text.clear();
  text.reserve(bytes.size());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      text.push_back(static_cast<Char>(b));
      ++i;
      continue;
    }
    const LeadByte lead = ClassifyLead(b);
    if (lead.length == 0 || n - i < lead.length) return false;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second < lead.low || second > lead.high) return false;
    char32_t c = static_cast<char32_t>(b & (0x7F >> lead.length));
    c = (c << 6) | (second & 0x3Fu);
    for (std::size_t k = 2; k < lead.length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3Fu);
    }
    AppendCodePoint(c, text);
    i += lead.length;
  }
  return true;
}

void AppendUtf8Bytes(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

template <class Char>
void Encode(std::basic_string_view<Char> text, std::string& out) {
  out.reserve(out.size() + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A signed wchar_t below zero turns into a huge value here, which is replaced below.
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(Char) == 2) {
      c &= 0xFFFF;
      const bool high = c >= 0xD800 && c <= 0xDBFF;
      const char32_t low = i + 1 < text.size() ? static_cast<char32_t>(text[i + 1]) & 0xFFFF : 0;
      if (high && low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else if (IsSurrogate(c)) {
        c = kReplacement;
      }
    } else if (c > 0x10FFFF || IsSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8Bytes(c, out);
  }
}

}  // namespace

bool Utf8ToWide(std::string_view bytes, std::wstring& text) { return Decode(bytes, text); }
bool Utf8ToUtf16(std::string_view bytes, std::u16string& text) { return Decode(bytes, text); }
bool Utf8ToUtf32(std::string_view bytes, std::u32string& text) { return Decode(bytes, text); }

void AppendUtf8(std::wstring_view text, std::string& out) { Encode(text, out); }
void AppendUtf8(std::u16string_view text, std::string& out) { Encode(text, out); }
void AppendUtf8(std::u32string_view text, std::string& out) { Encode(text, out); }
