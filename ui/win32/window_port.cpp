// The core's window port, carried out with the W functions of USER32.
#include "calculator/window_port.h"

#include <cstring>
#include <string>

#include "calculator/keypad.h"
#include "calculator/refresh.h"
#include "ui/win32/accessibility.h"
#include "ui/win32/display.h"
#include "ui/win32/history_pane.h"
#include "ui/win32/keyboard_help.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32.h"

namespace {

HWND AsWindow(WindowHandle window) { return static_cast<HWND>(window); }

// Another program may hold the clipboard for a moment; a few short tries ride that out.
bool OpenClipboardFor(HWND window) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(window)) return true;
    Sleep(10);
  }
  return false;
}

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

void SetDisplayText(WindowHandle window, const std::wstring& text, std::size_t caret,
                    std::size_t anchor) {
  ShowDisplayText(GetDlgItem(AsWindow(window), kDisplayId), text, caret, anchor);
}

void SetExpressionLine(WindowHandle window, bool shown, const std::wstring& text) {
  HWND display = GetDlgItem(AsWindow(window), kDisplayId);
  ShowExpressionLine(display, shown, text);
  // Read when a screen reader asks about the display; no event, so never spoken as it changes.
  DescribeControl(display, text);
}

void SetTitleText(WindowHandle window, const std::wstring& title) {
  SetWindowTextW(AsWindow(window), title.c_str());
}

void SetKeyText(WindowHandle window, int id, const std::wstring& text,
                const std::wstring& description, const std::wstring& shortcut) {
  HWND button = GetDlgItem(AsWindow(window), id);
  if (button == nullptr) return;
  // The window text stays the label: MSAA and UI Automation name the key by it.
  SetWindowTextW(button, text.c_str());
  DescribeControl(button, description);
  SetControlShortcut(button, shortcut);
  SetKeyTip(button, KeyToolTip(description, shortcut));
  InvalidateRect(button, nullptr, TRUE);
}

void FocusMainWindow(WindowHandle window) { SetFocus(AsWindow(window)); }

void WarningBeep(WindowHandle) { MessageBeep(MB_ICONWARNING); }

void Announce(WindowHandle window, const std::wstring& text) {
  HWND display = GetDlgItem(AsWindow(window), kDisplayId);
  // Screen readers read the display's own text from the live region itself.
  if (WindowText(display) == text) {
    AnnounceLiveRegion(display);
  } else {
    AnnounceText(AsWindow(window), text);
  }
}

std::wstring ReadClipboardText(WindowHandle window) {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardFor(AsWindow(window))) {
    return text;
  }
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Another program wrote this block: stop at its end even if it lacks the NUL.
      const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      std::size_t length = 0;
      while (length < capacity && chars[length] != L'\0') ++length;
      text.assign(chars, length);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool ClipboardHasText(WindowHandle) { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

void WriteClipboardText(WindowHandle window, const std::wstring& text) {
  if (!OpenClipboardFor(AsWindow(window))) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(block)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(block);
      // On success the clipboard owns the block; otherwise it is still ours to free.
      if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) GlobalFree(block);
    } else {
      GlobalFree(block);
    }
  }
  CloseClipboard();
}

void SetHistoryEntries(WindowHandle, const std::deque<HistoryEntry>& entries) {
  ListHistoryEntries(entries);
}

void ShowHistoryPane(WindowHandle window, bool shown) { ShowHistory(AsWindow(window), shown); }

void SetAlwaysOnTop(WindowHandle window, bool on) {
  SetWindowPos(AsWindow(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FocusHistoryPane(WindowHandle) { FocusHistory(); }

void ShowKeyboardHelp(WindowHandle window) { OpenKeyboardHelp(AsWindow(window)); }

void StartRetryTimer(WindowHandle window, int milliseconds) {
  SetTimer(AsWindow(window), IDT_RETRY_SAVING, static_cast<UINT>(milliseconds), nullptr);
}

void StopRetryTimer(WindowHandle window) { KillTimer(AsWindow(window), IDT_RETRY_SAVING); }
