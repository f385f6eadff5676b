// What the shared core needs from a window. Each window program implements these
// functions for its platform; the tests implement a recording fake.
#pragma once

#include <string>

// The main window, as the platform knows it; the core never looks inside.
using WindowHandle = void*;

void SetDisplayText(WindowHandle window, const std::wstring& text);
void SetTitleText(WindowHandle window, const std::wstring& title);
// Sets the text of the key with this control id and repaints it; no key, no effect.
void SetKeyText(WindowHandle window, int id, const std::wstring& text);
void FocusMainWindow(WindowHandle window);
// Plain text of the clipboard, empty when it holds none.
std::wstring ReadClipboardText(WindowHandle window);
void WriteClipboardText(WindowHandle window, const std::wstring& text);
