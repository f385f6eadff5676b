#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "engine/engine.h"
#include "engine/internal.h"

namespace {

using engine_internal::IsDigit;

template <class Char>
constexpr bool IsHexDigit(Char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <class Char>
constexpr Char Lower(Char c) { return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c + ('a' - 'A')) : c; }

// Case-insensitive match of an ASCII word at pos.
template <class Char>
bool MatchesWord(std::basic_string_view<Char> text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[pos + i]) != static_cast<Char>(word[i])) return false;
  }
  return true;
}

// Length of the floating constant at pos: digits (of the given kind), optional point and
// fraction, and an exponent after the marker that counts only with decimal digits; 0 if none.
template <class Char>
std::size_t ConstantLength(std::basic_string_view<Char> text, std::size_t pos, bool hex) {
  const auto isDigit = [hex](Char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
  const Char marker = hex ? 'p' : 'e';
  std::size_t i = pos;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && Lower(text[i]) == marker) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i - pos;
}

// from_chars, locale-independent and correctly rounded, on the bytes or on the ASCII copy
// of a wide span.
bool Convert(std::string_view span, std::chars_format format, double& value) {
  const std::from_chars_result r = std::from_chars(span.data(), span.data() + span.size(), value, format);
  if (r.ec != std::errc{}) return false;  // overflow or underflow
  // Nonzero results below the normal range are range errors too, not subnormals.
  return value == 0.0 || std::fabs(value) >= std::numeric_limits<double>::min();
}

bool Convert(std::wstring_view span, std::chars_format format, double& value) {
  char small[64];
  std::string large;
  char* first = small;
  if (span.size() > sizeof small) {
    large.resize(span.size());
    first = large.data();
  }
  for (std::size_t i = 0; i < span.size(); ++i) first[i] = static_cast<char>(span[i]);
  return Convert(std::string_view(first, span.size()), format, value);
}

// A zero result from a mantissa with a nonzero digit has underflowed.
template <class Char>
bool HasNonzeroDigit(std::basic_string_view<Char> mantissa) {
  for (Char c : mantissa) {
    if (c == 'e' || c == 'E' || c == 'p' || c == 'P') break;
    if (IsHexDigit(c) && c != '0') return true;
  }
  return false;
}

template <class Char>
bool ReadNumberOf(std::basic_string_view<Char> text, double& value) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  double magnitude = 0.0;
  if (MatchesWord(text, pos, "inf")) {
    magnitude = std::numeric_limits<double>::infinity();
  } else if (MatchesWord(text, pos, "nan")) {
    magnitude = std::numeric_limits<double>::quiet_NaN();
  } else if (MatchesWord(text, pos, "0x") && ConstantLength(text, pos + 2, true) > 0) {
    const auto span = text.substr(pos + 2, ConstantLength(text, pos + 2, true));
    if (!Convert(span, std::chars_format::hex, magnitude)) return false;
    if (magnitude == 0.0 && HasNonzeroDigit(span)) return false;
  } else {
    const std::size_t length = ConstantLength(text, pos, false);
    if (length == 0) return false;
    const auto span = text.substr(pos, length);
    if (!Convert(span, std::chars_format::general, magnitude)) return false;
    if (magnitude == 0.0 && HasNonzeroDigit(span)) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

std::wstring Widen(const char* first, const char* last) { return std::wstring(first, last); }

}  // namespace

bool ReadNumber(std::wstring_view text, double& value) { return ReadNumberOf(text, value); }

namespace engine_internal {

bool ReadUtf8Number(std::string_view text, double& value) { return ReadNumberOf(text, value); }

}  // namespace engine_internal

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
