// What typed and pasted characters mean to the calculator.
#pragma once

// A character in the form the calculator reads: full-width forms (U+FF01 to U+FF5E) as
// their ASCII counterparts, the ideographic space as a space, "。" as ".", × and ÷ as
// * and /.
wchar_t AsciiForm(wchar_t ch);

// By code, not by the C library's class tests, so that the locale cannot change it:
// C0 and C1 controls, DEL, and the Unicode line and paragraph separators.
bool IsControlCharacter(wchar_t ch);

bool IsAsciiDigit(wchar_t ch);
bool IsAsciiLetter(wchar_t ch);
