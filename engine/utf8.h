// UTF-8 at the edges (the command-line tool's streams, the saved history); wide text inside,
// as the engine wants it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Strict UTF-8 to wide text: UTF-16 where wchar_t has 16 bits (Windows), UTF-32 elsewhere.
// False for bytes that are not UTF-8 (overlong forms, encoded surrogates, values above
// U+10FFFF, cut or stray continuation bytes); text is then incomplete.
bool Utf8ToWide(std::string_view bytes, std::wstring& text);

// How far a piece of a longer text decoded: bytes read, units written, and whether the
// bytes up to the first one not read can still be UTF-8.
struct Utf8Piece {
  std::size_t read;
  std::size_t written;
  bool valid;
};

// Decodes bytes into out, which has room for bytes.size() units. Reading stops at the first
// byte that is no UTF-8 (valid false) or at a character that the end of bytes cuts off
// (valid true: its bytes so far may still become a character).
Utf8Piece Utf8ToWideInto(std::string_view bytes, wchar_t* out);

// Appends text as UTF-8. A unit that is no character (a lone surrogate, a value above
// U+10FFFF) is written as U+FFFD.
void AppendUtf8(std::wstring_view text, std::string& out);

// The same on code units of a stated width, so that both forms are tested on every platform.
bool Utf8ToUtf16(std::string_view bytes, std::u16string& text);
bool Utf8ToUtf32(std::string_view bytes, std::u32string& text);
void AppendUtf8(std::u16string_view text, std::string& out);
void AppendUtf8(std::u32string_view text, std::string& out);
