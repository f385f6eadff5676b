#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "engine/engine.h"
#include "engine/internal.h"

namespace {

using engine_internal::IsDigit;

constexpr bool IsHexDigit(wchar_t c) {
  return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

constexpr wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c + (L'a' - L'A') : c; }

// Case-insensitive match of an ASCII word at pos.
bool MatchesWord(std::wstring_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[pos + i]) != static_cast<wchar_t>(word[i])) return false;
  }
  return true;
}

// Length of the floating constant at pos: digits (of the given kind), optional point and
// fraction, and an exponent after the marker that counts only with decimal digits; 0 if none.
std::size_t ConstantLength(std::wstring_view text, std::size_t pos, bool (*isDigit)(wchar_t),
                           wchar_t marker) {
  std::size_t i = pos;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == L'.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && Lower(text[i]) == marker) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i - pos;
}

std::size_t DecimalLength(std::wstring_view text, std::size_t pos) {
  return ConstantLength(text, pos, IsDigit, L'e');
}

// After "0x": hex digits and a binary exponent "p".
std::size_t HexLength(std::wstring_view text, std::size_t pos) {
  return ConstantLength(text, pos, IsHexDigit, L'p');
}

// from_chars on the ASCII copy of a wide span: locale-independent and correctly rounded.
bool Convert(std::wstring_view span, std::chars_format format, double& value) {
  char small[64];
  std::string large;
  char* first = small;
  if (span.size() > sizeof small) {
    large.resize(span.size());
    first = large.data();
  }
  for (std::size_t i = 0; i < span.size(); ++i) first[i] = static_cast<char>(span[i]);
  const std::from_chars_result r = std::from_chars(first, first + span.size(), value, format);
  if (r.ec != std::errc{}) return false;  // overflow or underflow
  // Nonzero results below the normal range are range errors too, not subnormals.
  return value == 0.0 || std::fabs(value) >= std::numeric_limits<double>::min();
}

// A zero result from a mantissa with a nonzero digit has underflowed.
bool HasNonzeroDigit(std::wstring_view mantissa) {
  for (wchar_t c : mantissa) {
    if (c == L'e' || c == L'E' || c == L'p' || c == L'P') break;
    if (IsHexDigit(c) && c != L'0') return true;
  }
  return false;
}

std::wstring Widen(const char* first, const char* last) { return std::wstring(first, last); }

}  // namespace

bool ReadNumber(std::wstring_view text, double& value) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == L' ' || (text[pos] >= L'\t' && text[pos] <= L'\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
    negative = text[pos] == L'-';
    ++pos;
  }
  double magnitude = 0.0;
  if (MatchesWord(text, pos, "inf")) {
    magnitude = std::numeric_limits<double>::infinity();
  } else if (MatchesWord(text, pos, "nan")) {
    magnitude = std::numeric_limits<double>::quiet_NaN();
  } else if (MatchesWord(text, pos, "0x") && HexLength(text, pos + 2) > 0) {
    const std::wstring_view span = text.substr(pos + 2, HexLength(text, pos + 2));
    if (!Convert(span, std::chars_format::hex, magnitude)) return false;
    if (magnitude == 0.0 && HasNonzeroDigit(span)) return false;
  } else {
    const std::size_t length = DecimalLength(text, pos);
    if (length == 0) return false;
    const std::wstring_view span = text.substr(pos, length);
    if (!Convert(span, std::chars_format::general, magnitude)) return false;
    if (magnitude == 0.0 && HasNonzeroDigit(span)) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

std::wstring FormatGeneral(double value, int precision) {
  if (std::isinf(value)) return value < 0 ? L"-inf" : L"inf";
  char buffer[64];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  return Widen(buffer, r.ptr);
}

std::wstring FormatResult(double value) {
  if (std::isnan(value)) return std::wstring(kErrorText);
  if (std::isinf(value)) return std::wstring(kInfinityText);
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    // All digits of an integer, and no sign for -0.
    char buffer[32];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value));
    return Widen(buffer, r.ptr);
  }
  return FormatGeneral(value, 12);
}
