#pragma once

#include <string>

#include "engine/engine.h"

// Tokens joined by single blanks, the way the tables write them.
inline std::wstring Join(const TokenList& tokens) {
  std::wstring text;
  for (const std::wstring& t : tokens) {
    if (!text.empty()) text += L' ';
    text += t;
  }
  return text;
}

// The inverse, for postfix lists written in the tables.
inline TokenList Split(const std::wstring& text) {
  TokenList tokens;
  std::wstring current;
  for (wchar_t c : text) {
    if (c == L' ') {
      if (!current.empty()) tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) tokens.push_back(current);
  return tokens;
}

// Restores the angle mode that a test changed.
struct AngleMode {
  explicit AngleMode(bool radians) : saved(g_radians) { g_radians = radians; }
  ~AngleMode() { g_radians = saved; }
  AngleMode(const AngleMode&) = delete;
  AngleMode& operator=(const AngleMode&) = delete;
  bool saved;
};
