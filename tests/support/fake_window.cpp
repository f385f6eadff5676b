#include "fake_window.h"

#include "ui/keypad.h"
#include "ui/refresh.h"

FakeWindow g_fakeWindow;

// As a window program creates its window: the start text, the bare title and the labels.
void ResetFakeWindow() {
  g_fakeWindow = FakeWindow{};
  g_fakeWindow.display = L"0";
  g_fakeWindow.title = kWindowTitle;
  for (const ButtonDef& key : g_buttons) g_fakeWindow.keyTexts[key.id] = key.label;
}

namespace {

void Record(WindowHandle window, std::string call) {
  if (window != FakeHandle()) g_fakeWindow.foreignHandleSeen = true;
  g_fakeWindow.calls.push_back(std::move(call));
}

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text) {
  Record(window, "display");
  g_fakeWindow.display = text;
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  Record(window, "title");
  g_fakeWindow.title = title;
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text) {
  Record(window, "key " + std::to_string(id));
  g_fakeWindow.keyTexts[id] = text;
}

void FocusMainWindow(WindowHandle window) { Record(window, "focus"); }

std::wstring ReadClipboardText(WindowHandle window) {
  Record(window, "read clipboard");
  return g_fakeWindow.clipboard;
}

void WriteClipboardText(WindowHandle window, const std::wstring& text) {
  Record(window, "write clipboard");
  g_fakeWindow.clipboard = text;
}
