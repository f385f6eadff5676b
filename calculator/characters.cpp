#include "calculator/characters.h"

#include <algorithm>
#include <cstdint>

wchar_t AsciiForm(wchar_t ch) {
  // Full-width forms, as Chinese input methods type them and Chinese text carries them.
  if (ch >= 0xFF01 && ch <= 0xFF5E) return static_cast<wchar_t>(ch - 0xFEE0);
  switch (ch) {
    case L'\u3000':  // ideographic space
      return L' ';
    case L'\u3002':  // 。, the full stop a Chinese input method types for "."
      return L'.';
    case L'\u00D7':  // ×
      return L'*';
    case L'\u00F7':  // ÷
      return L'/';
    default:
      return ch;
  }
}

bool IsControlCharacter(wchar_t ch) {
  const auto code = static_cast<std::uint32_t>(ch);
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029;
}

bool IsAsciiDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

bool IsHighSurrogate(wchar_t ch) { return sizeof(wchar_t) == 2 && ch >= 0xD800 && ch <= 0xDBFF; }

bool IsLowSurrogate(wchar_t ch) { return sizeof(wchar_t) == 2 && ch >= 0xDC00 && ch <= 0xDFFF; }

std::size_t NextCharacter(std::wstring_view text, std::size_t pos) {
  if (pos >= text.size()) return text.size();
  const bool pair = IsHighSurrogate(text[pos]) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1]);
  return pos + (pair ? 2 : 1);
}

std::size_t PreviousCharacter(std::wstring_view text, std::size_t pos) {
  if (pos == 0) return 0;
  pos = std::min(pos, text.size());
  const bool pair = pos >= 2 && IsLowSurrogate(text[pos - 1]) && IsHighSurrogate(text[pos - 2]);
  return pos - (pair ? 2 : 1);
}

std::size_t CharacterBoundary(std::wstring_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  const bool inPair = pos > 0 && pos < text.size() && IsHighSurrogate(text[pos - 1]) &&
                      IsLowSurrogate(text[pos]);
  return inPair ? pos - 1 : pos;
}
