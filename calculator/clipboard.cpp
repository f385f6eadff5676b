#include "calculator/clipboard.h"

#include <string>

#include "calculator/characters.h"
#include "calculator/editing.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "calculator/undo.h"

void CopyDisplay(WindowHandle window) {
  UnlessOutOfMemory([&] { WriteClipboardText(window, HasSelection() ? SelectedText() : g_expr); });
}

void CutSelection(WindowHandle window) {
  if (!HasSelection()) return;
  UnlessOutOfMemory([&] {
    const UndoStep step;
    WriteClipboardText(window, SelectedText());
    DeleteSelection(window);
  });
}

void PasteClipboard(WindowHandle window) {
  UnlessOutOfMemory([&] {
    const UndoStep step;
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
