// The history of "=" and the window states the user toggles beside it (the history pane,
// always on top). The history and the choice to keep it are saved at each change
// (saved_history.cpp); the pane and on-top states live only while the program runs.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "calculator/window_port.h"

inline constexpr std::size_t kHistoryCapacity = 100;
// Longer expressions keep only their end, so that a pasted megabyte costs nothing here.
inline constexpr std::size_t kHistoryExpressionLength = 256;
inline constexpr std::wstring_view kElisionMark = L"…";

extern std::deque<HistoryEntry> g_history;  // oldest first
extern bool g_historyShown;                 // the history pane is shown
extern bool g_alwaysOnTop;
extern bool g_keepHistory;                  // saved across restarts ("保存历史记录")

class Storage;

// What an entry keeps of the text that "=" evaluated.
std::wstring RememberedExpression(std::wstring_view expression);
// Appends an entry, drops the oldest beyond the capacity, and shows the list.
void RecordCalculation(WindowHandle window, std::wstring expression, std::wstring result);

// Enters the entry's result as a paste would; "错误" and "无穷大" enter nothing. Then
// gives the keyboard focus back to the main window, as after a key, and has the new
// text spoken.
void ChooseHistoryEntry(WindowHandle window, std::size_t index);
void ClearHistory(WindowHandle window);
void ToggleHistoryPane(WindowHandle window);
void ToggleAlwaysOnTop(WindowHandle window);
// Off removes the saved history and saves none until it is on again.
void ToggleKeepHistory(WindowHandle window);
// Removes an entry from the pane and from the saved history.
void DeleteHistoryEntry(WindowHandle window, std::size_t index);
// "expression = result" as one line.
void CopyHistoryEntry(WindowHandle window, std::size_t index);
// A command of the pane's menu on the entry at index.
void OnHistoryEntryCommand(WindowHandle window, int command, std::size_t index);

// At the window's start: reads the settings and the saved history from storage and shows
// it, and saves every later change there. A file that cannot be read whole is set aside
// and what could be read is saved anew. Without storage (nullptr) nothing is saved. A
// failed save changes nothing shown: the next change tries again.
void StartSavedHistory(WindowHandle window, Storage* storage);
// What history.cpp tells the saved history after each change it made to g_history.
void StampNewEntry(HistoryEntry& entry);  // its creation time and this window's id
void SaveAddedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveDeletedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveClearedHistory(WindowHandle window);
void ResetSavedHistory();  // no storage, keeping on, nothing unsaved

// A command of the context menu (calculator/context_menu.h); other ids do nothing.
void OnMenuCommand(WindowHandle window, int command);
bool MenuItemChecked(int command);

// What screen readers say when the pane opens: its name and how many entries it lists.
std::wstring HistoryPaneAnnouncement();

// The two lines an entry shows, and its name for screen readers.
std::wstring HistoryResultLine(const HistoryEntry& entry);
std::wstring HistoryItemName(const HistoryEntry& entry);

// Back to an empty, hidden history and a window that is not on top.
void ResetHistory();
