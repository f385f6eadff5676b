// Building blocks of the hostile inputs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMillion = 1000000;
inline constexpr std::size_t kTenMegabytes = 10 * kMillion;

inline std::wstring Repeat(std::wstring_view piece, std::size_t count) {
  std::wstring text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}
