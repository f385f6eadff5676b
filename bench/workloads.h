// Generated expression texts shared by the benchmarks, in the syntax that both this
// engine and muparser read.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

// Short expressions of the kind typed on a calculator: a few numbers, operators,
// brackets and functions.
inline std::vector<std::string> TypicalExpressions(std::size_t count) {
  std::mt19937 random(20261209);
  auto number = [&] {
    std::uniform_int_distribution<int> whole(0, 999);
    std::string n = std::to_string(whole(random));
    if (random() % 3 == 0) {
      n += '.';
      n += std::to_string(whole(random));
    }
    return n;
  };
  const char* functions[] = {"sin", "cos", "tan", "sqrt", "exp", "abs", "ln"};
  const char* operators[] = {"+", "-", "*", "/"};
  std::vector<std::string> out;
  out.reserve(count);
  while (out.size() < count) {
    std::string e = number();
    const int terms = 1 + static_cast<int>(random() % 4);
    for (int t = 0; t < terms; ++t) {
      e += operators[random() % 4];
      switch (random() % 4) {
        case 0:
          e += functions[random() % 7];
          e += '(';
          e += number();
          e += ')';
          break;
        case 1:
          e += '(';
          e += number();
          e += operators[random() % 4];
          e += number();
          e += ')';
          break;
        case 2:
          e += number();
          e += "^2";
          break;
        default: e += number(); break;
      }
    }
    out.push_back(e);
  }
  return out;
}

// "1+2*3-4/5+6..." of at least the given length in bytes.
inline std::string FlatChain(std::size_t bytes) {
  const char operators[] = {'+', '*', '-', '/'};
  std::string e;
  e.reserve(bytes + 2);
  for (int i = 0; e.size() + 1 < bytes; ++i) {
    e += static_cast<char>('1' + i % 9);
    e += operators[i % 4];
  }
  e += '1';
  return e;
}

inline std::string Nested(std::size_t depth) {
  std::string e(depth, '(');
  e += '1';
  e.append(depth, ')');
  return e;
}

inline std::string FunctionChain(std::size_t depth) {
  std::string e;
  e.reserve(depth * 5 + 1);
  for (std::size_t i = 0; i < depth; ++i) e += "abs(";
  e += '1';
  e.append(depth, ')');
  return e;
}

inline std::string MinusChain(std::size_t count) { return std::string(count, '-') + "1"; }

// The texts are ASCII, so widening is a plain copy.
inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
