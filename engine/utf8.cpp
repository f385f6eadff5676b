#include "engine/utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// Decodes the longest run of whole characters; out has room for bytes.size() units.
template <class Char>
Utf8Piece DecodeInto(std::string_view bytes, Char* out) {
  const char* const p = bytes.data();
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  Char* w = out;
  for (;;) {
    // ASCII sixteen bytes at a time: a long line is mostly ASCII, and this loop vectorizes.
    while (n - i >= 16) {
      std::uint64_t head = 0;
      std::uint64_t tail = 0;
      std::memcpy(&head, p + i, 8);
      std::memcpy(&tail, p + i + 8, 8);
      if (((head | tail) & 0x8080808080808080u) != 0) break;
      for (std::size_t k = 0; k < 16; ++k) w[k] = static_cast<Char>(static_cast<unsigned char>(p[i + k]));
      w += 16;
      i += 16;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) *w++ = static_cast<Char>(p[i++]);
    if (i == n) break;
    const auto b = static_cast<unsigned char>(p[i]);
    const LeadByte lead = ClassifyLead(b);
    if (lead.length == 0) return {i, static_cast<std::size_t>(w - out), false};
    if (n - i < lead.length) {
      // Cut off by the end: valid so far unless a byte already present is wrong.
      bool valid = true;
      if (n - i >= 2) {
        const auto second = static_cast<unsigned char>(p[i + 1]);
        valid = second >= lead.low && second <= lead.high;
        if (n - i == 3) valid = valid && (static_cast<unsigned char>(p[i + 2]) & 0xC0) == 0x80;
      }
      return {i, static_cast<std::size_t>(w - out), valid};
    }
    const auto second = static_cast<unsigned char>(p[i + 1]);
    if (second < lead.low || second > lead.high) return {i, static_cast<std::size_t>(w - out), false};
    char32_t c = static_cast<char32_t>(b & (0x7F >> lead.length));
    c = (c << 6) | (second & 0x3Fu);
    for (std::size_t k = 2; k < lead.length; ++k) {
      const auto next = static_cast<unsigned char>(p[i + k]);
      if ((next & 0xC0) != 0x80) return {i, static_cast<std::size_t>(w - out), false};
      c = (c << 6) | (next & 0x3Fu);
    }
    if constexpr (sizeof(Char) == 2) {
      if (c >= 0x10000) {
        c -= 0x10000;
        *w++ = static_cast<Char>(0xD800 + (c >> 10));
        c = 0xDC00 + (c & 0x3FF);
      }
    }
    *w++ = static_cast<Char>(c);
    i += lead.length;
  }
  return {n, static_cast<std::size_t>(w - out), true};
}

template <class Char>
bool Decode(std::string_view bytes, std::basic_string<Char>& text) {
  text.resize(bytes.size());
  const Utf8Piece piece = DecodeInto(bytes, text.data());
  text.resize(piece.written);
  return piece.valid && piece.read == bytes.size();
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
Utf8Piece Utf8ToWideInto(std::string_view bytes, wchar_t* out) { return DecodeInto(bytes, out); }
bool Utf8ToUtf16(std::string_view bytes, std::u16string& text) { return Decode(bytes, text); }
bool Utf8ToUtf32(std::string_view bytes, std::u32string& text) { return Decode(bytes, text); }

void AppendUtf8(std::wstring_view text, std::string& out) { Encode(text, out); }
void AppendUtf8(std::u16string_view text, std::string& out) { Encode(text, out); }
void AppendUtf8(std::u32string_view text, std::string& out) { Encode(text, out); }
