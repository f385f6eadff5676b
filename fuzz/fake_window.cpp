#include "fake_window.h"

#include "ui/refresh.h"

FuzzWindow g_window;

void ResetFuzzWindow() {
  g_window = FuzzWindow{};
  g_window.display = L"0";
  g_window.title = kWindowTitle;
  for (const ButtonDef& key : g_buttons) g_window.keyTexts[key.id - kFirstKeyId] = key.label;
}

void ClearCallCounts() {
  g_window.displayCalls = g_window.titleCalls = g_window.keyCalls = g_window.focusCalls = 0;
  g_window.clipboardReads = g_window.clipboardWrites = 0;
  g_window.focusedLast = false;
}

namespace {

void Seen(WindowHandle window) {
  if (window != FuzzHandle()) g_window.foreignHandle = true;
  g_window.focusedLast = false;
}

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text) {
  Seen(window);
  ++g_window.displayCalls;
  g_window.display = text;
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  Seen(window);
  ++g_window.titleCalls;
  g_window.title = title;
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text) {
  Seen(window);
  ++g_window.keyCalls;
  if (id < kFirstKeyId || id > kLastKeyId) {
    g_window.unknownKey = true;
    return;
  }
  g_window.keyTexts[id - kFirstKeyId] = text;
}

void FocusMainWindow(WindowHandle window) {
  Seen(window);
  ++g_window.focusCalls;
  g_window.focusedLast = true;
}

std::wstring ReadClipboardText(WindowHandle window) {
  Seen(window);
  ++g_window.clipboardReads;
  return g_window.clipboard;
}

void WriteClipboardText(WindowHandle window, const std::wstring& text) {
  Seen(window);
  ++g_window.clipboardWrites;
  g_window.clipboard = text;
}
