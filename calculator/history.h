// The history of "=" and the window states the user toggles beside it (the history pane,
// always on top). Every change to the list is saved at once (saved_history.h); the pane
// and on-top states live only while the program runs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "calculator/history_entry.h"
#include "calculator/window_port.h"

// Longer expressions keep only their end, so that a pasted megabyte costs nothing here.
inline constexpr std::size_t kHistoryExpressionLength = 256;
inline constexpr std::wstring_view kElisionMark = L"…";

// What an entry keeps of the text that "=" evaluated.
std::wstring RememberedExpression(std::wstring_view expression);
// Whether RememberedExpression kept only the end.
bool IsElided(std::wstring_view remembered);
// Appends an entry, drops the oldest beyond the capacity, and shows the list.
void RecordCalculation(WindowHandle window, std::wstring expression, std::wstring result);

// Enters the entry's result as a paste would; "错误", "无穷大" and anything else that is no
// number "=" could have shown enter nothing. Then
// gives the keyboard focus back to the main window, as after a key, and has the new
// text spoken.
void ChooseHistoryEntry(WindowHandle window, std::size_t index);
void ClearHistory(WindowHandle window);
// Removes an entry from the pane and from the saved history.
void DeleteHistoryEntry(WindowHandle window, std::size_t index);
// "expression = result" as one line.
void CopyHistoryEntry(WindowHandle window, std::size_t index);
void ToggleHistoryPane(WindowHandle window);
void ToggleAlwaysOnTop(WindowHandle window);

// What screen readers say when the pane opens: its name and how many entries it lists.
std::wstring HistoryPaneAnnouncement();

// The two lines an entry shows, and its name for screen readers.
std::wstring HistoryResultLine(const HistoryEntry& entry);
std::wstring HistoryItemName(const HistoryEntry& entry);
