// What the calculator core needs from a window: its only way out. Each window program
// implements these functions for its platform; the tests and fuzzers implement a fake.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "calculator/history_entry.h"

// The main window, as the platform knows it; the core never looks inside.
using WindowHandle = void*;

// Shows the expression, its caret (an index into text, on a character boundary) and the
// selection between anchor and caret (none where they are equal).
void SetDisplayText(WindowHandle window, const std::wstring& text, std::size_t caret,
                    std::size_t anchor);
// The small line above the expression in the display band: shown or not, and its text
// (empty: nothing to show). Never read by screen readers while typing.
void SetExpressionLine(WindowHandle window, bool shown, const std::wstring& text);
void SetTitleText(WindowHandle window, const std::wstring& title);
// Sets the text of the key with this control id, what it does for screen readers, and
// its keyboard shortcut (empty: none; the tooltip is KeyToolTip of the two), and repaints
// it; no key, no effect.
void SetKeyText(WindowHandle window, int id, const std::wstring& text,
                const std::wstring& description, const std::wstring& shortcut);
void FocusMainWindow(WindowHandle window);
// The system's warning sound: an edit was refused.
void WarningBeep(WindowHandle window);
// Screen readers speak this text now, politely, wherever the keyboard focus is.
void Announce(WindowHandle window, const std::wstring& text);
// Plain text of the clipboard, empty when it holds none.
std::wstring ReadClipboardText(WindowHandle window);
// Whether it holds any, without reading it (for the menu's 粘贴).
bool ClipboardHasText(WindowHandle window);
void WriteClipboardText(WindowHandle window, const std::wstring& text);

// The history changed: the pane lists these entries, oldest first, newest in view.
void SetHistoryEntries(WindowHandle window, const std::deque<HistoryEntry>& entries);
// Shows or hides the history pane; the window grows or shrinks by its width.
void ShowHistoryPane(WindowHandle window, bool shown);
void SetAlwaysOnTop(WindowHandle window, bool on);
// Gives the keyboard focus to the shown history pane with its newest entry selected.
void FocusHistoryPane(WindowHandle window);
// Opens the small window that lists the keyboard (KeyboardOverview), or brings the one
// already open to the front.
void ShowKeyboardHelp(WindowHandle window);

// Calls RetrySaving (saved_history.h) once, milliseconds from now, on the window's thread;
// a new start replaces the one before. Stop: no call.
void StartRetryTimer(WindowHandle window, int milliseconds);
void StopRetryTimer(WindowHandle window);
