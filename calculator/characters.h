// What typed and pasted characters mean to the calculator.
#pragma once

#include <cstddef>
#include <string_view>

// A character in the form the calculator reads: full-width forms (U+FF01 to U+FF5E) as
// their ASCII counterparts, the ideographic space as a space, "。" as ".", × and ÷ as
// * and /.
wchar_t AsciiForm(wchar_t ch);

// By code, not by the C library's class tests, so that the locale cannot change it:
// C0 and C1 controls, DEL, and the Unicode line and paragraph separators.
bool IsControlCharacter(wchar_t ch);

bool IsAsciiDigit(wchar_t ch);
bool IsAsciiLetter(wchar_t ch);

// Where wchar_t holds UTF-16 (Windows), a character beyond the first 65,536 is two units,
// and no position of the caret falls between them; elsewhere every unit is a character.
bool IsHighSurrogate(wchar_t ch);
bool IsLowSurrogate(wchar_t ch);
// The boundary after the character at pos, and before it; pos is a boundary itself.
std::size_t NextCharacter(std::wstring_view text, std::size_t pos);
std::size_t PreviousCharacter(std::wstring_view text, std::size_t pos);
// pos within the text, moved back off the middle of a pair.
std::size_t CharacterBoundary(std::wstring_view text, std::size_t pos);
