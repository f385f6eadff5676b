#include "fake_window.h"

#include "calculator/refresh.h"
#include "calculator/keypad.h"
#include "calculator/saved_history.h"

FakeWindow g_fakeWindow;

void ResetFakeWindow() {
  g_fakeWindow = FakeWindow{};
  g_fakeWindow.display = L"0";
  g_fakeWindow.title = kWindowTitle;
  for (const ButtonDef& key : g_buttons) {
    g_fakeWindow.keyTexts[key.id] = key.label;
    g_fakeWindow.keyDescriptions[key.id] = key.description;
  }
}

int FakeWindow::CountCalls(std::string_view word) const {
  int count = 0;
  for (const std::string& call : calls) count += call.starts_with(word);
  return count;
}

namespace {

void Record(WindowHandle window, std::string call) {
  if (window != FakeHandle()) g_fakeWindow.foreignHandleSeen = true;
  g_fakeWindow.calls.push_back(std::move(call));
}

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text, std::size_t caret,
                    std::size_t anchor) {
  Record(window, "display");
  g_fakeWindow.display = text;
  g_fakeWindow.caret = caret;
  g_fakeWindow.anchor = anchor;
}

void SetExpressionLine(WindowHandle window, bool shown, const std::wstring& text) {
  Record(window, "line");
  g_fakeWindow.lineShown = shown;
  g_fakeWindow.line = text;
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  Record(window, "title");
  g_fakeWindow.title = title;
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text,
                const std::wstring& description, const std::wstring& shortcut) {
  Record(window, "key " + std::to_string(id));
  if (FindButton(id) == nullptr) {
    g_fakeWindow.unknownKeySeen = true;
    return;
  }
  g_fakeWindow.keyTexts[id] = text;
  g_fakeWindow.keyDescriptions[id] = description;
  g_fakeWindow.keyShortcuts[id] = shortcut;
}

void FocusMainWindow(WindowHandle window) { Record(window, "focus"); }

void FocusHistoryPane(WindowHandle window) { Record(window, "to pane"); }

void WarningBeep(WindowHandle window) { Record(window, "beep"); }

void ShowKeyboardHelp(WindowHandle window) { Record(window, "help"); }

std::wstring ReadClipboardText(WindowHandle window) {
  Record(window, "read clipboard");
  return g_fakeWindow.clipboard;
}

bool ClipboardHasText(WindowHandle window) {
  Record(window, "clipboard?");
  return !g_fakeWindow.clipboard.empty();
}

void WriteClipboardText(WindowHandle window, const std::wstring& text) {
  Record(window, "write clipboard");
  g_fakeWindow.clipboard = text;
}

void Announce(WindowHandle window, const std::wstring& text) {
  Record(window, "announce");
  g_fakeWindow.announced.push_back(text);
}

void SetHistoryEntries(WindowHandle window, const std::deque<HistoryEntry>& entries) {
  Record(window, "history");
  g_fakeWindow.history = entries;
}

void ShowHistoryPane(WindowHandle window, bool shown) {
  Record(window, "pane");
  g_fakeWindow.historyShown = shown;
}

void SetAlwaysOnTop(WindowHandle window, bool on) {
  Record(window, "on top");
  g_fakeWindow.alwaysOnTop = on;
}

void FireRetryTimer() {
  if (g_fakeWindow.retryTimerMs == 0) return;
  g_fakeWindow.retryTimerMs = 0;
  RetrySaving(FakeHandle());
}

// The timer never goes off by itself: a test fires it (FireRetryTimer).
void StartRetryTimer(WindowHandle window, int milliseconds) {
  Record(window, "retry timer");
  g_fakeWindow.retryTimerMs = milliseconds;
}

void StopRetryTimer(WindowHandle window) {
  Record(window, "stop retry timer");
  g_fakeWindow.retryTimerMs = 0;
}
