#include <cstdint>
#include <string>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/refresh.h"

namespace {

// By code, not by the C library's class tests, so that the locale cannot change it:
// C0 and C1 controls, DEL, and the Unicode line and paragraph separators.
bool IsControlCharacter(wchar_t ch) {
  const auto code = static_cast<std::uint32_t>(ch);
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029;
}

}  // namespace

void CopyDisplay(WindowHandle window) {
  UnlessOutOfMemory([&] { WriteClipboardText(window, g_expr); });
}

void PasteClipboard(WindowHandle window) {
  UnlessOutOfMemory([&] {
    std::wstring piece = ReadClipboardText(window);
    std::erase_if(piece, IsControlCharacter);
    for (wchar_t& ch : piece) ch = AsciiForm(ch);
    if (piece.empty()) return;
    // A refused paste beeps, and the text it left alone is not read out again.
    if (EnterOperandText(window, piece, false)) {
      UpdateDisplayAloud(window);
    } else {
      UpdateDisplay(window);
    }
  });
}
