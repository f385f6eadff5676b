#include "calculator/characters.h"

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
